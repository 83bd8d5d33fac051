#include <GdiPlus.hpp>
#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace GdiPlus;

namespace {

const TGPColor kWhite = TGPColor::Create(255, 255, 255, 255);
const TGPColor kBlack = TGPColor::Create(255, 0, 0, 0);
const TGPColor kRed = TGPColor::Create(255, 255, 0, 0);
const TGPColor kBlue = TGPColor::Create(255, 0, 0, 255);

struct TPicture {
  std::shared_ptr<IGPBitmap> Bitmap;
  std::shared_ptr<IGPGraphics> Graphics;
  TPicture(int W, int H) : Bitmap(TGPBitmap::Create(W, H)), Graphics(TGPGraphics::Create(Bitmap))
  {
    Graphics->Clear(kWhite);
  }
  // Ink of a black-on-white drawing: 0 for white, 255 for black.
  int Ink(int X, int Y) const { return 255 - Bitmap->GetPixel(X, Y).R(); }
  double TotalInk() const
  {
    double sum = 0;
    for (int y = 0; y < Bitmap->Height(); ++y)
      for (int x = 0; x < Bitmap->Width(); ++x)
        sum += Ink(x, y) / 255.0;
    return sum;
  }
  // The box of pixels with any ink.
  TGPRectF InkBox() const
  {
    int l = Bitmap->Width(), t = Bitmap->Height(), r = 0, b = 0;
    for (int y = 0; y < Bitmap->Height(); ++y)
      for (int x = 0; x < Bitmap->Width(); ++x)
        if (Ink(x, y) > 0) {
          l = std::min(l, x), t = std::min(t, y), r = std::max(r, x + 1), b = std::max(b, y + 1);
        }
    return r > l ? TGPRectF(float(l), float(t), float(r - l), float(b - t)) : TGPRectF();
  }
};

template <class F>
std::string MessageOf(F f)
{
  try {
    f();
  } catch (const EGdiplusException& e) {
    return e.Message();
  }
  return "";
}

const auto kBlackBrush = [] { return TGPSolidBrush::Create(kBlack); };

} // namespace

TEST(GdiPlusFill, AntiAliasingCoversEdgePixelsByTheirArea)
{
  TPicture p(24, 24);
  p.Graphics->SetSmoothingMode(SmoothingModeAntiAlias);
  p.Graphics->SetPixelOffsetMode(PixelOffsetModeHalf);
  p.Graphics->FillRectangle(kBlackBrush(), 2.5f, 2, 10, 10.25f);
  EXPECT_NEAR(p.Ink(2, 6), 128, 2); // half of the pixel
  EXPECT_EQ(p.Ink(3, 6), 255);
  EXPECT_NEAR(p.Ink(12, 6), 128, 2);
  EXPECT_NEAR(p.Ink(6, 12), 64, 2); // a quarter
  EXPECT_EQ(p.Ink(13, 6), 0);

  // A circle's ink adds up to its area.
  TPicture c(40, 40);
  c.Graphics->SetSmoothingMode(SmoothingModeHighQuality);
  c.Graphics->SetPixelOffsetMode(PixelOffsetModeHighQuality);
  c.Graphics->FillEllipse(kBlackBrush(), TGPRectF(5, 5, 30, 30));
  EXPECT_NEAR(c.TotalInk(), std::numbers::pi * 15 * 15, 5.0); // within Cairo's sampling

  // Without anti-aliasing every pixel is in or out.
  TPicture n(40, 40);
  n.Graphics->SetSmoothingMode(SmoothingModeNone);
  n.Graphics->FillEllipse(kBlackBrush(), TGPRectF(5, 5, 30, 30));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_TRUE(n.Ink(x, y) == 0 || n.Ink(x, y) == 255);
  EXPECT_NEAR(n.TotalInk(), std::numbers::pi * 15 * 15, 20);
}

TEST(GdiPlusFill, PixelCentresSitOnWholeCoordinatesUnlessOffsetByHalf)
{
  TPicture whole(12, 12), half(12, 12);
  for (TPicture* p : {&whole, &half})
    p->Graphics->SetSmoothingMode(SmoothingModeAntiAlias);
  half.Graphics->SetPixelOffsetMode(PixelOffsetModeHalf);
  whole.Graphics->FillRectangle(kBlackBrush(), 2, 2, 6, 6);
  half.Graphics->FillRectangle(kBlackBrush(), 2, 2, 6, 6);
  EXPECT_EQ(half.Ink(2, 5), 255);
  EXPECT_EQ(half.Ink(1, 5), 0);
  // Pixel 2 spans 1.5 to 2.5: the edge at 2 runs through its middle.
  EXPECT_EQ(whole.Ink(1, 5), 0);
  EXPECT_NEAR(whole.Ink(2, 5), 128, 2);
  EXPECT_EQ(whole.Ink(5, 5), 255);
  EXPECT_NEAR(whole.Ink(8, 5), 128, 2);
  EXPECT_NEAR(whole.TotalInk(), 36, 0.5);
}

TEST(GdiPlusFill, GradientsRunFromTheFirstColourToTheSecond)
{
  TPicture p(20, 101);
  p.Graphics->SetPixelOffsetMode(PixelOffsetModeHalf);
  auto vertical = TGPLinearGradientBrush::Create(TGPRectF(0, 0, 20, 101), kRed, kBlue, LinearGradientModeVertical);
  p.Graphics->FillRectangle(vertical, 0, 0, 20, 101);
  TGPColor top = p.Bitmap->GetPixel(10, 0), middle = p.Bitmap->GetPixel(10, 50), bottom = p.Bitmap->GetPixel(10, 100);
  EXPECT_GE(top.R(), 252);
  EXPECT_LE(top.B(), 3);
  EXPECT_LE(bottom.R(), 3);
  EXPECT_GE(bottom.B(), 252);
  EXPECT_NEAR(middle.R(), 128, 3);
  EXPECT_NEAR(middle.B(), 128, 3);
  EXPECT_EQ(p.Bitmap->GetPixel(0, 30), p.Bitmap->GetPixel(19, 30)); // constant across

  // Beyond its rectangle the gradient keeps its end colours.
  TPicture q(100, 4);
  auto horizontal = TGPLinearGradientBrush::Create(TGPPointF{40, 0}, TGPPointF{60, 0}, kRed, kBlue);
  q.Graphics->FillRectangle(horizontal, 0, 0, 100, 4);
  EXPECT_EQ(q.Bitmap->GetPixel(5, 1), kRed);
  EXPECT_EQ(q.Bitmap->GetPixel(95, 1), kBlue);

  // An angle of 90 degrees is the vertical gradient.
  auto angled = TGPLinearGradientBrush::Create(TGPRectF(0, 0, 20, 101), kRed, kBlue, 90.0f);
  EXPECT_EQ(angled->StartPoint(), vertical->StartPoint());
  EXPECT_NEAR(angled->EndPoint().Y, vertical->EndPoint().Y, 1e-3);
  EXPECT_EQ(MessageOf([] { TGPLinearGradientBrush::Create(TGPRectF(0, 0, 0, 10), kRed, kBlue, 0.0f); }),
            "(GDI+ Error) Invalid Parameter");

  // A gradient under a transform that only moves is the very one that a
  // scaling transform draws from the same place at half the coordinates.
  TPicture moved(60, 40), scaled(60, 40);
  for (TPicture* p : {&moved, &scaled})
    p->Graphics->SetSmoothingMode(SmoothingModeAntiAlias);
  moved.Graphics->TranslateTransform(7, 3);
  moved.Graphics->FillRectangle(TGPLinearGradientBrush::Create(TGPPointF{1, 0}, TGPPointF{37, 21}, kRed, kBlue), 0.5f,
                                0.25f, 45, 31);
  scaled.Graphics->ScaleTransform(2, 2);
  scaled.Graphics->TranslateTransform(3.5f, 1.5f);
  scaled.Graphics->FillRectangle(
    TGPLinearGradientBrush::Create(TGPPointF{0.5f, 0}, TGPPointF{18.5f, 10.5f}, kRed, kBlue), 0.25f, 0.125f, 22.5f,
    15.5f);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(moved.Bitmap->GetPixel(x, y), scaled.Bitmap->GetPixel(x, y)) << x << "," << y;
}

TEST(GdiPlusText, DrawStringInksWhereMeasureStringSays)
{
  TPicture p(300, 80);
  auto font = TGPFont::Create("DejaVu Sans", 16);
  for (TGPRectF layout : {TGPRectF(10, 10, 280, 60), TGPRectF(30, 20, 0, 0)}) {
    p.Graphics->Clear(kWhite);
    TGPRectF box = p.Graphics->MeasureString("Hello, world", font, layout);
    p.Graphics->DrawString("Hello, world", font, layout, nullptr, kBlackBrush());
    TGPRectF ink = p.InkBox();
    EXPECT_GE(ink.X, std::floor(box.X) - 1);
    EXPECT_GE(ink.Y, std::floor(box.Y) - 1);
    EXPECT_LE(ink.X + ink.Width, std::ceil(box.X + box.Width) + 1);
    EXPECT_LE(ink.Y + ink.Height, std::ceil(box.Y + box.Height) + 1);
    EXPECT_GT(ink.Width, box.Width * 0.85f); // the box is not loose either
    EXPECT_EQ(box.X, layout.X);
    EXPECT_EQ(box.Y, layout.Y);
  }
  // Two lines measure twice as high as one.
  TGPRectF one = p.Graphics->MeasureString("Ab", font, TGPPointF{0, 0});
  TGPRectF two = p.Graphics->MeasureString("Ab\nAb", font, TGPPointF{0, 0});
  EXPECT_FLOAT_EQ(two.Height, 2 * one.Height);
  EXPECT_FLOAT_EQ(two.Width, one.Width);
  // Centred on a point.
  auto centred = TGPStringFormat::Create();
  centred->SetAlignment(StringAlignmentCenter);
  TGPRectF c = p.Graphics->MeasureString("Ab", font, TGPPointF{100, 0}, centred);
  EXPECT_NEAR(c.X + c.Width / 2, 100, 0.01);
  EXPECT_NEAR(font->GetHeight(96), 16 * 96 / 72.0 * 1.164, 0.5); // DejaVu's line spacing
}

TEST(GdiPlusClip, RectanglesPathsAndRegionsCombine)
{
  TPicture p(40, 40);
  auto fillAll = [&] { p.Graphics->FillRectangle(kBlackBrush(), -10, -10, 60, 60); };
  p.Graphics->SetClip(TGPRectF(5, 5, 20, 10));
  fillAll();
  EXPECT_EQ(p.InkBox(), TGPRectF(5, 5, 20, 10));
  EXPECT_EQ(p.TotalInk(), 200);

  // A ring: the rectangle minus its middle.
  p.Graphics->Clear(kWhite);
  p.Graphics->SetClip(TGPRectF(0, 0, 30, 30));
  p.Graphics->ExcludeClip(TGPRectF(10, 10, 10, 10));
  fillAll();
  EXPECT_EQ(p.TotalInk(), 900 - 100);
  EXPECT_EQ(p.Ink(15, 15), 0);
  EXPECT_FALSE(p.Graphics->Clip()->IsVisible(15, 15));
  EXPECT_TRUE(p.Graphics->Clip()->IsVisible(5, 15));

  // Union and xor of two overlapping squares.
  auto region = TGPRegion::Create(TGPRectF(0, 0, 20, 20));
  region->Union(TGPRectF(10, 10, 20, 20));
  p.Graphics->Clear(kWhite);
  p.Graphics->SetClip(region);
  fillAll();
  EXPECT_EQ(p.TotalInk(), 400 + 400 - 100);
  region->Xor(TGPRectF(10, 10, 10, 10));
  p.Graphics->Clear(kWhite);
  p.Graphics->SetClip(region);
  fillAll();
  EXPECT_EQ(p.TotalInk(), 600);
  EXPECT_EQ(region->GetBounds(), TGPRectF(0, 0, 30, 30));

  // A path, in world coordinates at the time of the call.
  auto circle = TGPGraphicsPath::Create();
  circle->AddEllipse(TGPRectF(0, 0, 20, 20));
  p.Graphics->Clear(kWhite);
  p.Graphics->TranslateTransform(10, 10);
  p.Graphics->SetClip(circle);
  p.Graphics->ResetTransform();
  fillAll();
  EXPECT_EQ(p.Ink(20, 20), 255);
  EXPECT_EQ(p.Ink(11, 11), 0);
  EXPECT_NEAR(p.TotalInk(), std::numbers::pi * 100, 12);

  p.Graphics->IntersectClip(TGPRectF(100, 100, 5, 5));
  EXPECT_TRUE(p.Graphics->IsClipEmpty());
  p.Graphics->ResetClip();
  EXPECT_TRUE(p.Graphics->Clip()->IsInfinite());
  EXPECT_FALSE(p.Graphics->IsClipEmpty());
}

TEST(GdiPlusErrors, BadArgumentsRaiseAndLeaveTheGraphicsUsable)
{
  TPicture p(20, 20);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::string invalid = "(GDI+ Error) Invalid Parameter";
  EXPECT_EQ(MessageOf([&] { p.Graphics->FillRectangle(kBlackBrush(), 0, 0, -5, 5); }), invalid);
  EXPECT_EQ(MessageOf([&] { p.Graphics->DrawLine(TGPPen::Create(kBlack), 0, nan, 5, 5); }), invalid);
  EXPECT_EQ(MessageOf([&] { p.Graphics->ScaleTransform(0, 1); }), invalid);
  EXPECT_EQ(MessageOf([&] { p.Graphics->FillEllipse(kBlackBrush(), TGPRectF(0, 0, nan, 3)); }), invalid);
  EXPECT_EQ(MessageOf([&] { TGPPen::Create(kBlack, -1); }), invalid);
  EXPECT_EQ(MessageOf([&] { p.Graphics->FillPolygon(kBlackBrush(), {}); }), invalid);
  EXPECT_EQ(MessageOf([&] { p.Graphics->FillPath(kBlackBrush(), nullptr); }), invalid);
  EXPECT_EQ(MessageOf([&] { p.Graphics->SetSmoothingMode(SmoothingModeInvalid); }), invalid);
  EXPECT_EQ(MessageOf([&] { TGPMatrix::Create(0, 0, 0, 0, 0, 0)->Invert(); }), invalid);
  EXPECT_EQ(p.TotalInk(), 0);
  p.Graphics->FillRectangle(kBlackBrush(), 0, 0, 20, 20);
  EXPECT_EQ(p.TotalInk(), 400);
}

TEST(GdiPlusPath, FiguresArcsAndFillModes)
{
  auto path = TGPGraphicsPath::Create();
  path->AddArc(TGPRectF(10, 10, 0, 0), 180, 90); // a corner of no size is its point
  EXPECT_EQ(path->PointCount(), 1);
  path->AddArc(TGPRectF(0, 0, 20, 20), 270, 90); // quarter circle, joined by a line
  EXPECT_EQ(path->GetBounds(), TGPRectF(10, 0, 10, 10));
  EXPECT_EQ(MessageOf([&] { path->AddArc(TGPRectF(0, 0, -1, 5), 0, 90); }), "(GDI+ Error) Invalid Parameter");

  // Two nested squares drawn the same way round: a hole only with alternate.
  auto nested = TGPGraphicsPath::Create();
  nested->AddRectangle(TGPRectF(0, 0, 30, 30));
  nested->AddRectangle(TGPRectF(10, 10, 10, 10));
  EXPECT_FALSE(nested->IsVisible(15, 15));
  EXPECT_TRUE(nested->IsVisible(5, 15));
  nested->SetFillMode(FillModeWinding);
  EXPECT_TRUE(nested->IsVisible(15, 15));

  // A closed figure filled; an open one filled closes itself.
  TPicture p(30, 30);
  p.Graphics->SetPixelOffsetMode(PixelOffsetModeHalf);
  auto open = TGPGraphicsPath::Create();
  open->AddLine(0, 0, 20, 0);
  open->AddLine(20, 20, 0, 20);
  p.Graphics->FillPath(kBlackBrush(), open);
  EXPECT_EQ(p.TotalInk(), 400);

  auto m = TGPMatrix::Create();
  m->Translate(5, 0);
  m->Scale(2, 2); // prepended: scale first, then move
  EXPECT_EQ(m->TransformPoint({1, 1}), (TGPPointF{7, 2}));
  m->Translate(1, 0, MatrixOrderAppend);
  EXPECT_EQ(m->TransformPoint({1, 1}), (TGPPointF{8, 2}));
  auto inverse = m->Clone();
  inverse->Invert();
  EXPECT_EQ(inverse->TransformPoint({8, 2}), (TGPPointF{1, 1}));
  open->Transform(m);
  EXPECT_EQ(open->GetBounds(), TGPRectF(6, 0, 40, 40));
}

TEST(GdiPlusPen, WidthsBrushesAndHairlines)
{
  TPicture p(30, 30);
  auto pen = TGPPen::Create(TGPLinearGradientBrush::Create(TGPPointF{0, 0}, TGPPointF{30, 0}, kRed, kBlue), 4);
  EXPECT_EQ(pen->Color(), kRed);
  p.Graphics->DrawLine(pen, 0, 15, 30, 15);
  EXPECT_GT(p.Bitmap->GetPixel(2, 14).R(), 200);
  EXPECT_GT(p.Bitmap->GetPixel(27, 14).B(), 200);
  EXPECT_EQ(p.Bitmap->GetPixel(15, 17), kWhite);

  // Width 0 stays one pixel wide however the world is scaled.
  TPicture h(30, 30);
  h.Graphics->ScaleTransform(5, 5);
  h.Graphics->DrawLine(TGPPen::Create(kBlack, 0), 1, 1, 5, 1);
  EXPECT_EQ(h.InkBox().Height, 1);
  EXPECT_EQ(h.InkBox().Width, 20);

  // Without a scaling transform a gradient pen one unit wide draws the very
  // pixels of the hairline, with and without smoothing: short lines, a
  // chart's long wavy line, a long diagonal, a sharp mitred turn and closed
  // outlines.
  std::vector<TGPPointF> wave;
  for (int x = 0; x < 700; ++x)
    wave.push_back({x + 0.5f, float(30 + 25 * std::sin(x * 0.13))});
  const std::vector<std::vector<TGPPointF>> lines = {
      {{10.3f, 5.6f}, {17.8f, 52.2f}, {6, 40}, {7, 39}}, wave, {{1.5f, 58.2f}, {698.7f, 2.1f}},
      {{130, 1}, {400, 30}, {130, 58}}};
  for (TGPSmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone})
    for (const auto& points : lines)
      for (bool closed : {false, true}) {
        TPicture one(700, 60), hairline(700, 60);
        auto brush = TGPLinearGradientBrush::Create(TGPRectF(0, 0, 700, 60), kRed, kBlue, LinearGradientModeVertical);
        for (auto [q, width] : {std::pair{&one, 1.0f}, std::pair{&hairline, 0.0f}}) {
          q->Graphics->SetSmoothingMode(smoothing);
          q->Graphics->TranslateTransform(0.25f, 1);
          if (closed)
            q->Graphics->DrawPolygon(TGPPen::Create(brush, width), points);
          else
            q->Graphics->DrawLines(TGPPen::Create(brush, width), points);
        }
        EXPECT_GT(one.TotalInk(), 20);
        for (int y = 0; y < 60; ++y)
          for (int x = 0; x < 700; ++x)
            ASSERT_EQ(one.Bitmap->GetPixel(x, y), hairline.Bitmap->GetPixel(x, y)) << x << "," << y;
      }
}

TEST(GdiPlusImage, StretchSourceRectanglesAndColourMatrices)
{
  auto source = TGPBitmap::Create(2, 1);
  source->SetPixel(0, 0, kRed);
  source->SetPixel(1, 0, kBlue);
  TPicture p(20, 10);
  p.Graphics->SetInterpolationMode(InterpolationModeNearestNeighbor);
  p.Graphics->DrawImage(source, TGPRectF(0, 0, 20, 10));
  EXPECT_EQ(p.Bitmap->GetPixel(3, 5), kRed);
  EXPECT_EQ(p.Bitmap->GetPixel(16, 5), kBlue);
  p.Graphics->DrawImage(source, TGPRectF(0, 0, 10, 10), 1, 0, 1, 1); // only the blue pixel
  EXPECT_EQ(p.Bitmap->GetPixel(3, 5), kBlue);

  // Half alpha and grey through a colour matrix.
  auto attributes = TGPImageAttributes::Create();
  TGPColorMatrix m = IdentityColorMatrix();
  m[3][3] = 0.5f;
  attributes->SetColorMatrix(m);
  TPicture q(10, 10);
  q.Graphics->DrawImage(source, TGPRectF(0, 0, 10, 10), 0, 0, 1, 1, UnitPixel, attributes);
  EXPECT_EQ(q.Bitmap->GetPixel(5, 5), TGPColor::Create(255, 255, 127, 127)); // alpha 128 over white
  TGPColorMatrix grey{};
  for (std::size_t i = 0; i < 3; ++i)
    grey[0][i] = 0.299f, grey[1][i] = 0.587f, grey[2][i] = 0.114f;
  grey[3][3] = 1;
  attributes->SetColorMatrix(grey);
  q.Graphics->DrawImage(source, TGPRectF(0, 0, 10, 10), 0, 0, 1, 1, UnitPixel, attributes);
  EXPECT_EQ(q.Bitmap->GetPixel(5, 5), TGPColor::Create(255, 76, 76, 76));
}

TEST(GdiPlusImage, LockBitsAndGdiBitmaps)
{
  auto bitmap = TGPBitmap::Create(4, 3);
  TGPBitmapData data = bitmap->LockBits(TGPRectF(1, 1, 2, 2), ImageLockModeRead | ImageLockModeWrite,
                                        PixelFormat32bppARGB);
  EXPECT_EQ(data.Stride, 8);
  EXPECT_EQ(MessageOf([&] { bitmap->LockBits(TGPRectF(0, 0, 1, 1), ImageLockModeRead, PixelFormat32bppARGB); }),
            "(GDI+ Error) Wrong State");
  static_cast<std::uint32_t*>(data.Scan0)[3] = 0x80FF0000u; // half-transparent red at (2, 2)
  bitmap->UnlockBits(data);
  EXPECT_EQ(bitmap->GetPixel(2, 2).A(), 0x80);
  EXPECT_EQ(bitmap->GetPixel(2, 2).R(), 0xFF);
  EXPECT_EQ(MessageOf([&] { bitmap->LockBits(TGPRectF(3, 0, 2, 1), ImageLockModeRead, PixelFormat32bppARGB); }),
            "(GDI+ Error) Invalid Parameter");

  Win::HBITMAP gdi = bitmap->GetHBITMAP(TGPColor(0));
  EXPECT_EQ(Win::BitmapBits(gdi)[2 * 4 + 2], 0x80800000u); // premultiplied, as surfaces hold it
  auto opaque = TGPBitmap::FromHBITMAP(gdi);
  auto withAlpha = TGPBitmap::FromHBITMAP(gdi, true);
  Win::DeleteObject(gdi);
  EXPECT_EQ(opaque->PixelFormat(), PixelFormat32bppRGB);
  EXPECT_EQ(opaque->GetPixel(2, 2).A(), 255);
  EXPECT_EQ(opaque->GetPixel(0, 0), TGPColor::Create(255, 0, 0, 0));
  EXPECT_EQ(withAlpha->GetPixel(2, 2), bitmap->GetPixel(2, 2));
  const std::uint32_t straight[] = {0x80FF0000u, 0xFF00FF00u};
  auto fromArgb = TGPBitmap::FromArgb(2, 1, straight, 8);
  EXPECT_EQ(fromArgb->GetPixel(0, 0), TGPColor(0x80FF0000u));
  EXPECT_EQ(fromArgb->GetPixel(1, 0), TGPColor(0xFF00FF00u));
}

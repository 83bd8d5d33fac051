#include <GdiPlus.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace GdiPlus;

namespace {

const TGPColor White = TGPColor::Create(255, 255, 255, 255);
const TGPColor Black = TGPColor::Create(255, 0, 0, 0);

struct TCanvasFixture {
  std::shared_ptr<IGPBitmap> Bitmap;
  std::shared_ptr<IGPGraphics> Graphics;

  TCanvasFixture(int width, int height)
    : Bitmap(TGPBitmap::Create(width, height)), Graphics(TGPGraphics::Create(Bitmap))
  {
    Graphics->Clear(White);
  }

  void Draw(const String& text, const TGPRectF& rect, TGPFontStyle style = {}, TGPColor color = Black,
            std::shared_ptr<IGPStringFormat> format = nullptr)
  {
    Graphics->DrawString(text, TGPFont::Create("DejaVu Sans", 12, style), rect, format,
                         TGPSolidBrush::Create(color));
  }

  // The smallest rectangle (half-open) holding every pixel that is not white.
  Vcl::TRect Ink() const
  {
    Vcl::TRect r(Bitmap->Width(), Bitmap->Height(), -1, -1);
    for (int y = 0; y < Bitmap->Height(); ++y)
      for (int x = 0; x < Bitmap->Width(); ++x)
        if (Bitmap->GetPixel(x, y) != White) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }

  int InkInRow(int y) const
  {
    int n = 0;
    for (int x = 0; x < Bitmap->Width(); ++x)
      n += Bitmap->GetPixel(x, y) != White;
    return n;
  }
};

template <class F>
TGPStatus StatusOf(F f)
{
  try {
    f();
  } catch (const EGdiplusException& e) {
    return e.Status();
  }
  return Ok;
}

} // namespace

TEST(GdiPlusErrors, MessagesNameTheStatusOrItsNumber)
{
  try {
    GdipCheck(InvalidParameter);
    FAIL();
  } catch (const EGdiplusException& e) {
    EXPECT_STREQ(e.what(), "(GDI+ Error) Invalid Parameter");
    EXPECT_EQ(e.ClassName(), "EGdiplusException");
  }
  EXPECT_THAT([] { GdipCheck(static_cast<TGPStatus>(99)); },
              testing::ThrowsMessage<Vcl::Exception>("Unknown error: 99"));
  EXPECT_NO_THROW(GdipCheck(Ok));
}

TEST(GdiPlusErrors, BadObjectsAreRefused)
{
  EXPECT_EQ(StatusOf([] { TGPBitmap::Create(0, 10); }), InvalidParameter);
  EXPECT_EQ(StatusOf([] { TGPBitmap::Create(100000, 100000); }), InvalidParameter);
  EXPECT_EQ(StatusOf([] { TGPFont::Create("DejaVu Sans", 0); }), InvalidParameter);
  EXPECT_EQ(StatusOf([] { TGPFont::Create("DejaVu Sans", -3); }), InvalidParameter);
  EXPECT_EQ(StatusOf([] { TGPFont::Create("DejaVu Sans", std::numeric_limits<float>::quiet_NaN()); }),
            InvalidParameter);
  EXPECT_EQ(StatusOf([] { TGPGraphics::Create(nullptr); }), InvalidParameter);
  TCanvasFixture c(10, 10);
  EXPECT_EQ(StatusOf([&] { c.Bitmap->GetPixel(10, 0); }), InvalidParameter);
  EXPECT_EQ(StatusOf([&] {
              c.Graphics->DrawString("x", nullptr, TGPRectF(0, 0, 10, 10), nullptr,
                                     TGPSolidBrush::Create(Black));
            }),
            InvalidParameter);
}

TEST(GdiPlusColor, ColorRefsBecomeOpaqueArgbWithSystemColoursResolved)
{
  TGPColor red = TGPColor::CreateFromColorRef(0x000000FF);
  EXPECT_EQ(red, TGPColor::Create(255, 255, 0, 0));
  Win::COLORREF highlight = Win::GetSysColor(Win::COLOR_HIGHLIGHT);
  TGPColor sys = TGPColor::CreateFromColorRef(0xFF000000u | Win::COLOR_HIGHLIGHT);
  EXPECT_EQ(sys, TGPColor::Create(255, Win::GetRValue(highlight), Win::GetGValue(highlight),
                                  Win::GetBValue(highlight)));
}

TEST(GdiPlusBitmap, PixelsRoundTripStraightAlpha)
{
  auto bitmap = TGPBitmap::Create(3, 2);
  EXPECT_EQ(bitmap->Width(), 3);
  EXPECT_EQ(bitmap->Height(), 2);
  EXPECT_EQ(bitmap->GetPixel(2, 1), TGPColor(0));
  bitmap->SetPixel(1, 1, TGPColor::Create(255, 10, 20, 30));
  EXPECT_EQ(bitmap->GetPixel(1, 1), TGPColor::Create(255, 10, 20, 30));
}

TEST(GdiPlusText, DrawStringInksInsideTheLayoutRectangleFromItsTopLeft)
{
  TCanvasFixture c(200, 60);
  c.Draw("Hello", TGPRectF(20, 10, 170, 40));
  Vcl::TRect ink = c.Ink();
  EXPECT_GE(ink.Left, 20);
  EXPECT_LE(ink.Left, 23);
  EXPECT_GE(ink.Top, 10);
  EXPECT_LE(ink.Top, 14);
  EXPECT_LT(ink.Bottom, 10 + 20);
  EXPECT_GT(ink.Width(), 25);
}

TEST(GdiPlusText, TextIsClippedToTheRectangleUnlessNoClip)
{
  TCanvasFixture c(200, 40);
  auto noWrap = TGPStringFormat::Create(StringFormatFlagsNoWrap);
  c.Draw("Wide words here", TGPRectF(10, 5, 20, 30), {}, Black, noWrap);
  EXPECT_LE(c.Ink().Right, 30);
  EXPECT_GE(c.Ink().Right, 26);

  TCanvasFixture d(200, 40);
  d.Draw("Wide words here", TGPRectF(10, 5, 20, 30), {}, Black,
         TGPStringFormat::Create(StringFormatFlagsNoWrap | StringFormatFlagsNoClip));
  EXPECT_GT(d.Ink().Right, 60);
}

TEST(GdiPlusText, WordsWrapAtTheRectangleWidth)
{
  TCanvasFixture one(200, 80), two(200, 80);
  one.Draw("aaa bbb", TGPRectF(0, 0, 200, 80));
  two.Draw("aaa bbb", TGPRectF(0, 0, 40, 80));
  EXPECT_GT(two.Ink().Height(), one.Ink().Height() + 10);
  EXPECT_LT(two.Ink().Width(), one.Ink().Width());
}

TEST(GdiPlusText, StylesAndColour)
{
  TCanvasFixture regular(200, 40), bold(200, 40), underline(200, 40), red(200, 40);
  TGPRectF rect(5, 5, 190, 30);
  regular.Draw("Hello", rect);
  bold.Draw("Hello", rect, {FontStyleBold});
  underline.Draw("Hello", rect, {FontStyleUnderline});
  red.Draw("Hello", rect, {}, TGPColor::Create(255, 255, 0, 0));
  EXPECT_GT(bold.Ink().Width(), regular.Ink().Width());

  // The underline is a solid run below the glyphs' baseline.
  Vcl::TRect ink = regular.Ink();
  EXPECT_GT(underline.Ink().Bottom, ink.Bottom - 4);
  int bestRow = 0;
  for (int y = ink.Top; y < underline.Ink().Bottom; ++y)
    bestRow = std::max(bestRow, underline.InkInRow(y) - regular.InkInRow(y));
  EXPECT_GE(bestRow, ink.Width() - 6);

  bool sawPureRed = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      sawPureRed |= red.Bitmap->GetPixel(x, y) == TGPColor::Create(255, 255, 0, 0);
  EXPECT_TRUE(sawPureRed);
}

TEST(GdiPlusText, FormatAlignsLinesInTheRectangle)
{
  TCanvasFixture c(200, 60);
  auto format = TGPStringFormat::Create();
  format->SetAlignment(StringAlignmentCenter);
  format->SetLineAlignment(StringAlignmentFar);
  c.Draw("Hi", TGPRectF(0, 0, 200, 60), {}, Black, format);
  Vcl::TRect ink = c.Ink();
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 100, 3);
  EXPECT_GT(ink.Top, 35);
}

TEST(GdiPlusDC, DrawsOnTheDCBitmapThroughItsOriginAndClip)
{
  Win::HDC screen = Win::GetDC(nullptr);
  EXPECT_EQ(StatusOf([&] { TGPGraphics::Create(screen); }), InvalidParameter);
  Win::HDC dc = Win::CreateCompatibleDC(screen);
  Win::ReleaseDC(nullptr, screen);
  Win::HBITMAP bitmap = Win::CreateCompatibleBitmap(dc, 120, 40);
  Win::HGDIOBJ old = Win::SelectObject(dc, bitmap);
  Win::RECT all(0, 0, 120, 40);
  Win::HBRUSH white = Win::CreateSolidBrush(0xFFFFFF);
  Win::FillRect(dc, &all, white);
  Win::DeleteObject(white);
  Win::SetWindowOrgEx(dc, -30, 0, nullptr);     // logical 0 is device 30
  Win::IntersectClipRect(dc, -30, 0, 20, 40);   // device 0..50

  auto graphics = TGPGraphics::Create(dc);
  graphics->DrawString("MMMMMMMMMM", TGPFont::Create("DejaVu Sans", 12), TGPRectF(0, 5, 200, 30),
                       TGPStringFormat::Create(StringFormatFlagsNoWrap), TGPSolidBrush::Create(Black));
  Win::SelectClipRgn(dc, nullptr);
  int left = 120, right = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = -30; x < 90; ++x)
      if (Win::GetPixel(dc, x, y) != 0xFFFFFF) {
        left = std::min(left, x + 30);
        right = std::max(right, x + 31);
      }
  EXPECT_GE(left, 30);
  EXPECT_LE(left, 33);
  EXPECT_EQ(right, 50);
  graphics.reset();

  // A smoothed gradient line that the clip cuts, one unit wide, has the
  // pixels of the hairline.
  auto brush = TGPLinearGradientBrush::Create(TGPRectF(0, 0, 40, 40), TGPColor::Create(255, 255, 0, 0),
                                              TGPColor::Create(255, 0, 0, 255), LinearGradientModeVertical);
  std::vector<Win::COLORREF> pixels[2];
  for (float width : {1.0f, 0.0f}) {
    Win::FillRect(dc, &all, Win::HBRUSH(Win::GetStockObject(Win::WHITE_BRUSH)));
    Win::IntersectClipRect(dc, -30, 0, 15, 40);
    auto lines = TGPGraphics::Create(dc);
    lines->SetSmoothingMode(SmoothingModeAntiAlias);
    lines->DrawLine(TGPPen::Create(brush, width), 2.3f, 3.6f, 27.8f, 36.2f);
    lines.reset();
    Win::SelectClipRgn(dc, nullptr);
    for (int y = 0; y < 40; ++y)
      for (int x = -30; x < 90; ++x)
        pixels[width == 0].push_back(Win::GetPixel(dc, x, y));
  }
  EXPECT_EQ(pixels[0], pixels[1]);
  EXPECT_NE(std::count(pixels[0].begin(), pixels[0].end(), 0xFFFFFF), 40 * 120);
  Win::SelectObject(dc, old);
  Win::DeleteObject(bitmap);
  Win::DeleteDC(dc);
}

TEST(GdiPlusText, ControlCharactersTakeNoRoomAndBadUtf8DoesNotFail)
{
  TCanvasFixture plain(120, 30), controls(120, 30), broken(120, 30);
  plain.Draw("Hi", TGPRectF(0, 0, 120, 30));
  controls.Draw("H\ti\r\n\x01", TGPRectF(0, 0, 120, 30));
  EXPECT_EQ(controls.Ink(), plain.Ink());
  EXPECT_NO_THROW(broken.Draw("H\xC3(i\xE2\x82", TGPRectF(0, 0, 120, 30)));
  EXPECT_GT(broken.Ink().Width(), plain.Ink().Width());
  EXPECT_NO_THROW(broken.Draw("still fine", TGPRectF(0, 0, 120, 30)));
}

TEST(GdiPlusText, FacesAreTheOnesGdiTextResolves)
{
  // GDI text stands a monospaced face in for "Courier New"; so must GDI+.
  auto narrow = TGPBitmap::Create(200, 30), wide = TGPBitmap::Create(200, 30);
  for (auto& [bitmap, text] : {std::pair{narrow, "iiiiiiii"}, std::pair{wide, "MMMMMMMM"}}) {
    auto g = TGPGraphics::Create(bitmap);
    g->Clear(White);
    g->DrawString(text, TGPFont::Create("Courier New", 12), TGPRectF(0, 0, 200, 30), nullptr,
                  TGPSolidBrush::Create(Black));
  }
  auto extent = [](const std::shared_ptr<IGPBitmap>& b) {
    int right = 0;
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x)
        if (b->GetPixel(x, y) != White)
          right = std::max(right, x);
    return right;
  };
  EXPECT_NEAR(extent(narrow), extent(wide), 8);
}

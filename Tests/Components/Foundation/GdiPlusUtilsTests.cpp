#include <GdiPlusHelpers.hpp>
#include <GdiPlusUtils.hpp>
#include <QxSolidImages.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace Quorex;
using namespace GdiPlus;

namespace {

const TGPColor kWhite = TGPColor::Create(255, 255, 255, 255);
const TGPColor kBlack = TGPColor::Create(255, 0, 0, 0);

// Fills the path black on white, without smoothing, and counts the black pixels.
struct TFilled {
  std::shared_ptr<IGPBitmap> Bitmap = TGPBitmap::Create(40, 40);
  explicit TFilled(const std::shared_ptr<IGPGraphicsPath>& Path)
  {
    auto g = TGPGraphics::Create(Bitmap);
    g->Clear(kWhite);
    g->SetPixelOffsetMode(PixelOffsetModeHalf);
    g->FillPath(TGPSolidBrush::Create(kBlack), Path);
  }
  bool Black(int X, int Y) const { return Bitmap->GetPixel(X, Y) == kBlack; }
  int Count() const
  {
    int n = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        n += Black(x, y);
    return n;
  }
};

class TFailingStream : public Vcl::TMemoryStream {
public:
  Vcl::Int64 Size() override { throw Vcl::EReadError("Stream read error"); }
};

} // namespace

TEST(GdiPlusUtils, ConversionsOfRectanglesColoursAndFonts)
{
  EXPECT_EQ(ToGPRectF(Vcl::TRect(10, 20, 110, 70)), TGPRectF(10, 20, 100, 50));
  // Edges 2^32 - 1 apart: the sizes are not wrapped to -1.
  constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  EXPECT_EQ(ToGPRectF(Vcl::TRect(lo, lo, hi, hi)), TGPRectF(float(lo), float(lo), 4294967295.0f, 4294967295.0f));
  EXPECT_EQ(ToGPRectF(Vcl::TRect(hi, hi, lo, lo)), TGPRectF(float(hi), float(hi), -4294967295.0f, -4294967295.0f));
  EXPECT_EQ(ToGPColor(Vcl::TColor(0x00332211)), TGPColor::Create(255, 0x11, 0x22, 0x33));
  EXPECT_EQ(ToGPColor(Vcl::clBtnFace), TGPColor::Create(255, 0x0F, 0, 0)); // taken as it is
  EXPECT_EQ(ToGPFontStyle(Vcl::TFontStyles{Vcl::fsBold, Vcl::fsUnderline}).Bits(), 1u | 4u);
  EXPECT_EQ(ToGPFontStyle(Vcl::TFontStyles{Vcl::fsItalic, Vcl::fsStrikeOut}).Bits(), 2u | 8u);
  Vcl::TFont font;
  font.SetName("DejaVu Serif");
  font.SetSize(11);
  font.SetStyle(Vcl::TFontStyles{Vcl::fsItalic});
  auto gp = ToGPFont(&font);
  EXPECT_EQ(gp->FamilyName(), "DejaVu Serif");
  EXPECT_EQ(gp->Size(), 11.0f);
  EXPECT_EQ(gp->Style().Bits(), 2u);
  EXPECT_EQ(gp->Unit(), UnitPoint);
}

TEST(GdiPlusUtils, RoundedCornersLeaveTheCornerPixelsOutAndCornerZeroIsAPlainRectangle)
{
  auto plain = RoundRectPath(TGPRectF(5, 6, 20, 10), 0);
  EXPECT_EQ(plain->GetBounds(), TGPRectF(5, 6, 20, 10));
  TFilled rectangle(plain);
  EXPECT_EQ(rectangle.Count(), 200);
  EXPECT_TRUE(rectangle.Black(5, 6));
  EXPECT_TRUE(rectangle.Black(24, 15));
  EXPECT_FALSE(rectangle.Black(25, 15));

  TFilled f(RoundRectPath(TGPRectF(0, 0, 30, 20), 12));
  EXPECT_FALSE(f.Black(0, 0));
  EXPECT_FALSE(f.Black(29, 19));
  EXPECT_TRUE(f.Black(15, 0));
  EXPECT_TRUE(f.Black(0, 10));
  EXPECT_NEAR(f.Count(), 600 - (144 - std::acos(-1.0) * 36), 6); // four quarter discs of radius 6

  // The halves together are the whole.
  TFilled top(RoundHalfTopRectPath(TGPRectF(0, 0, 30, 20), 12));
  TFilled bottom(RoundHalfBottomRectPath(TGPRectF(0, 0, 30, 20), 12));
  EXPECT_EQ(top.Count() + bottom.Count(), f.Count());
  EXPECT_TRUE(top.Black(15, 9));
  EXPECT_FALSE(top.Black(15, 10));
  EXPECT_TRUE(bottom.Black(15, 10));
}

TEST(GdiPlusUtils, CornersOutsideTheRectangleAreClampedInsteadOfFailing)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto bitmap = TGPBitmap::Create(40, 40);
  auto g = TGPGraphics::Create(bitmap);
  auto brush = TGPSolidBrush::Create(kBlack);
  for (float corner : {-5.0f, nan, 1000.0f}) {
    EXPECT_NO_THROW(g->FillPath(brush, RoundRectPath(TGPRectF(2, 2, 30, 20), corner))) << corner;
    EXPECT_NO_THROW(g->FillPath(brush, RoundHalfTopRectPath(TGPRectF(2, 2, 30, 20), corner))) << corner;
    EXPECT_NO_THROW(g->FillPath(brush, RoundHalfBottomRectPath(TGPRectF(2, 2, 30, 20), corner))) << corner;
  }
  EXPECT_EQ(RoundRectPath(TGPRectF(2, 2, 30, 20), -5)->GetBounds(), TGPRectF(2, 2, 30, 20));
  // A corner as large as the rectangle's smaller side makes round ends.
  TFilled pill(RoundRectPath(TGPRectF(0, 0, 30, 20), 1000));
  EXPECT_FALSE(pill.Black(1, 1));
  EXPECT_TRUE(pill.Black(15, 1));
  EXPECT_TRUE(pill.Black(0, 10));
}

TEST(GdiPlusUtils, StreamAdapterStatReportsSizeTimeAndLocks)
{
  auto* stream = new Vcl::TMemoryStream();
  stream->WriteBuffer("12345", 5);
  TMyStreamAdapter adapter(stream, Vcl::soOwned);
  Win::STATSTG stat;
  stat.pwcsName = reinterpret_cast<char*>(&stat); // must be cleared
  stat.grfMode = 77;
  ASSERT_EQ(adapter.Stat(&stat, Win::STATFLAG_DEFAULT), Win::S_OK);
  EXPECT_EQ(stat.type, Win::STGTY_STREAM);
  EXPECT_EQ(stat.cbSize, 5u);
  EXPECT_EQ(stat.pwcsName, nullptr);
  EXPECT_EQ(stat.grfMode, 0u);
  EXPECT_EQ(stat.grfLocksSupported, Win::LOCK_WRITE);
  auto ticks = [](Win::FILETIME t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  EXPECT_EQ(ticks(stat.mtime), ticks(stat.ctime));
  EXPECT_EQ(ticks(stat.atime), ticks(stat.ctime));
  // File time counts 100 ns from 1601; the Unix epoch is 11644473600 s later.
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  double seconds = double(ticks(stat.mtime)) / 1e7 - 11644473600.0;
  EXPECT_NEAR(seconds, double(now) + double(local.tm_gmtoff), 5);
  EXPECT_EQ(adapter.Stat(nullptr, Win::STATFLAG_NONAME), Win::S_OK);

  TFailingStream failing;
  TMyStreamAdapter broken(&failing);
  EXPECT_EQ(broken.Stat(&stat, Win::STATFLAG_DEFAULT), Win::E_UNEXPECTED);
}

TEST(GdiPlusHelpers, GraphicsOnACanvasAndBitmapsBothWays)
{
  Vcl::TBitmap bitmap(10, 10);
  bitmap.SetPixelFormat(Vcl::pf32bit);
  bitmap.Canvas()->Brush()->SetColor(Vcl::clRed);
  bitmap.Canvas()->FillRect(Vcl::TRect(0, 0, 10, 10));
  auto g = ToGPGraphics(bitmap.Canvas());
  g->FillRectangle(TGPSolidBrush::Create(TGPColor::Create(255, 0, 0, 255)), 0, 0, 5, 10);
  g.reset();
  EXPECT_EQ(bitmap.Canvas()->Pixels(2, 5), Vcl::clBlue);
  EXPECT_EQ(bitmap.Canvas()->Pixels(7, 5), Vcl::clRed);

  auto copy = ToGPBitmap(&bitmap);
  EXPECT_EQ(copy->GetPixel(2, 5), TGPColor::Create(255, 0, 0, 255));
  EXPECT_EQ(copy->PixelFormat(), PixelFormat32bppRGB);

  auto translucent = TGPBitmap::Create(3, 3);
  translucent->SetPixel(1, 1, TGPColor::Create(128, 255, 0, 0));
  FromGPBitmap(&bitmap, translucent);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(Win::BitmapBits(bitmap.Handle())[4], 0x80800000u); // premultiplied over transparent black
  EXPECT_EQ(Win::BitmapBits(bitmap.Handle())[0], 0u);
  auto back = TGPBitmap::FromBitmap(&bitmap, true);
  EXPECT_EQ(back->GetPixel(1, 1), TGPColor::Create(128, 255, 0, 0));
}

TEST(GdiPlusHelpers, PngTransparencyReachesTheBitmap)
{
  Vcl::TPngImage png;
  png.CreateBlank(Vcl::COLOR_RGBALPHA, 8, 2, 1);
  png.SetPixels(0, 0, Vcl::clRed);
  png.SetPixels(1, 0, Vcl::clLime);
  png.AlphaScanline(0)[0] = 255;
  png.AlphaScanline(0)[1] = 64;
  auto bitmap = TGPBitmap::FromPngImage(&png);
  EXPECT_EQ(bitmap->GetPixel(0, 0), TGPColor::Create(255, 255, 0, 0));
  EXPECT_EQ(bitmap->GetPixel(1, 0).A(), 64);
  EXPECT_EQ(bitmap->GetPixel(1, 0).G(), 255);

  Vcl::TPngImage keyed;
  keyed.CreateBlank(Vcl::COLOR_RGB, 8, 2, 1);
  keyed.SetPixels(0, 0, Vcl::clBlue);
  keyed.SetPixels(1, 0, Vcl::clWhite);
  keyed.SetTransparentColor(Vcl::clWhite);
  auto k = TGPBitmap::FromPngImage(&keyed);
  EXPECT_EQ(k->GetPixel(0, 0), TGPColor::Create(255, 0, 0, 255));
  EXPECT_EQ(k->GetPixel(1, 0).A(), 0);
}

TEST(GdiPlusUtils, ImagesFromAnImageListComeOpaque)
{
  Vcl::TImageList list(nullptr);
  QxTest::AddSolid(&list, Vcl::clRed);
  auto bitmap = ToGPImage(&list, 0);
  EXPECT_EQ(bitmap->Width(), 16);
  EXPECT_EQ(bitmap->GetPixel(8, 8), TGPColor::Create(255, 255, 0, 0));
  EXPECT_THROW(ToGPImage(&list, 1), EGdiplusException);
  EXPECT_THROW(ToGPImage(&list, -1), EGdiplusException);
}

TEST(GdiPlusHelpers, GraphicsOnAControlsCanvas)
{
  Vcl::TCustomControl control(nullptr);
  Vcl::TBitmap surface;
  surface.SetSize(4, 4);
  control.Canvas()->SetHandle(surface.Canvas()->Handle());
  auto g = ToGPGraphics(&control);
  g->Clear(kBlack);
  EXPECT_EQ(Vcl::ColorToRGB(surface.Canvas()->Pixels(1, 1)), Vcl::clBlack);
  control.Canvas()->SetHandle(nullptr);
}

// A null object is the caller's programming error: refused with the assertion
// naming the unit, the arguments left as they were. The value conversions
// take no pointers and cannot be handed one.
TEST(GdiPlusHelpers, NullObjectsAreRefusedWithAnAssertion)
{
  Vcl::TBitmap bitmap;
  bitmap.SetSize(3, 2);
  const Win::HBITMAP before = bitmap.Handle();
  auto gpBitmap = TGPBitmap::Create(4, 4);
  const std::vector<std::pair<const char*, std::function<void()>>> calls = {
    {"GdiPlusUtils", [] { ToGPFont(nullptr); }},
    {"GdiPlusUtils", [] { ToGPImage(nullptr, 0); }},
    {"GdiPlusHelpers", [] { ToGPGraphics(static_cast<Vcl::TCanvas*>(nullptr)); }},
    {"GdiPlusHelpers", [] { ToGPGraphics(static_cast<Vcl::TGraphicControl*>(nullptr)); }},
    {"GdiPlusHelpers", [] { ToGPGraphics(static_cast<Vcl::TCustomControl*>(nullptr)); }},
    {"GdiPlusHelpers", [] { ToGPBitmap(nullptr); }},
    {"GdiPlusHelpers", [&] { FromGPBitmap(nullptr, gpBitmap); }},
    {"GdiPlusHelpers", [&] { FromGPBitmap(&bitmap, nullptr); }},
    {"System.Classes", [] { TMyStreamAdapter adapter(nullptr); }},
  };
  for (const auto& [unit, call] : calls)
    EXPECT_THAT(call, testing::ThrowsMessage<Vcl::EAssertionFailed>(
                        testing::HasSubstr("Assertion failure (" + std::string(unit))))
      << unit;
  EXPECT_EQ(bitmap.Handle(), before);
  EXPECT_EQ(bitmap.Width(), 3);
}

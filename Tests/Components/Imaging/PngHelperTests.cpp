#include <Quorex.Imaging.PngHelper.hpp>
#include <Quorex.Imaging.RectHelper.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace Vcl;
using namespace Quorex;
namespace H = Quorex::TPngImageHelper;

namespace {

// An 8-bit image whose pixel (x, y) has colour Colour(x, y) and, with alpha,
// alpha Alpha(x, y).
template <class ColourOf, class AlphaOf>
std::unique_ptr<TPngImage> MakePng(Byte ColorType, int W, int H, ColourOf Colour, AlphaOf Alpha)
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(ColorType, 8, W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      png->SetPixels(x, y, Colour(x, y));
      if (Byte* a = png->AlphaScanline(y))
        a[x] = Alpha(x, y);
    }
  return png;
}

std::unique_ptr<TPngImage> Solid(Byte ColorType, int W, int H, TColor C, Byte A = 255)
{
  return MakePng(ColorType, W, H, [=](int, int) { return C; }, [=](int, int) { return A; });
}

// A 2 x 1 palette image whose pixel x is palette entry x.
std::unique_ptr<TPngImage> PaletteImage(const std::vector<TPngPaletteEntry>& Entries)
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(COLOR_PALETTE, 8, 2, 1);
  png->SetPalette(Entries);
  png->Scanline(0)[0] = 0;
  png->Scanline(0)[1] = 1;
  return png;
}

// Each pixel's colour encodes its position, so copies can be checked.
TColor PositionColour(int X, int Y)
{
  return TColor(X) | (TColor(Y) << 8) | (TColor(X + Y) << 16);
}

Byte AlphaAt(const TPngImage& Png, int X, int Y)
{
  return Png.AlphaScanline(Y)[X];
}

} // namespace

TEST(PngHelperRegions, CopyFrameCutsGridCellsAndDropsTheRemainder)
{
  auto sheet = MakePng(COLOR_RGBALPHA, 100, 20, PositionColour, [](int x, int) { return Byte(x); });
  TPngImage cell;
  H::CopyFrame(cell, sheet.get(), 2, 0, 3, 1);
  ASSERT_EQ(cell.Width(), 33);
  ASSERT_EQ(cell.Height(), 20);
  EXPECT_EQ(cell.Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(cell.Pixels(0, 5), PositionColour(66, 5));
  EXPECT_EQ(cell.Pixels(32, 19), PositionColour(98, 19)); // column 99 belongs to no cell
  EXPECT_EQ(AlphaAt(cell, 32, 0), 98);
  auto made = H::Create(sheet.get(), 1, 0, 3, 1);
  EXPECT_EQ(made->Pixels(0, 0), PositionColour(33, 0));
}

TEST(PngHelperRegions, CopyFromTakesTheSourceFormatOrResizesTheTarget)
{
  auto source = MakePng(COLOR_RGBALPHA, 8, 8, PositionColour, [](int, int y) { return Byte(y * 10); });
  TPngImage target;
  H::CopyFrom(target, source.get(), TRect(2, 3, 5, 7));
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.Height(), 4);
  EXPECT_EQ(target.Pixels(0, 0), PositionColour(2, 3));
  EXPECT_EQ(AlphaAt(target, 2, 3), 60);

  auto big = Solid(COLOR_RGBALPHA, 20, 20, clRed);
  H::CopyFrom(*big, source.get(), TRect(0, 0, 4, 4));
  EXPECT_EQ(big->Width(), 4);
  EXPECT_EQ(big->Pixels(3, 3), PositionColour(3, 3));

  // Copying a region of an image into itself reads what was there before.
  H::CopyFrom(*source, source.get(), TRect(4, 4, 8, 8));
  EXPECT_EQ(source->Pixels(0, 0), PositionColour(4, 4));
  EXPECT_EQ(source->Pixels(3, 3), PositionColour(7, 7));
}

TEST(PngHelperRegions, BadRegionsAndTargetsAreRejectedBeforeAnythingChanges)
{
  auto source = MakePng(COLOR_RGBALPHA, 10, 10, PositionColour, [](int, int) { return Byte(255); });
  auto target = Solid(COLOR_RGBALPHA, 3, 3, clBlue);
  for (TRect bad : {TRect(-1, 0, 2, 2), TRect(0, 0, 11, 2), TRect(5, 5, 5, 8), TRect(6, 6, 2, 2)})
    EXPECT_THROW(H::CopyFrom(*target, source.get(), bad), EInvalidOperation);
  EXPECT_THROW(H::CopyFrame(*target, source.get(), 0, 0, 0, 1), EInvalidOperation);
  EXPECT_THROW(H::CopyFrame(*target, source.get(), 3, 0, 3, 1), EInvalidOperation);
  EXPECT_THROW(H::CopyFrame(*target, source.get(), 0, -1, 3, 2), EInvalidOperation);
  EXPECT_THROW(H::CopyFrame(*target, source.get(), 0, 0, 11, 1), EInvalidOperation); // cells of no pixels
  EXPECT_EQ(target->Width(), 3);
  EXPECT_EQ(target->Pixels(1, 1), clBlue);

  auto rgb = Solid(COLOR_RGB, 3, 3, clLime);
  const auto notRgba = testing::ThrowsMessage<EInvalidOperation>("ColorType <> COLOR_RGBALPHA");
  EXPECT_THAT([&] { H::CopyFrom(*rgb, source.get(), TRect(0, 0, 2, 2)); }, notRgba);
  EXPECT_EQ(rgb->Width(), 3);
  EXPECT_EQ(rgb->Pixels(0, 0), clLime);
  auto palette = Solid(COLOR_PALETTE, 2, 2, clBlack);
  EXPECT_THROW(H::CopyFrom(*palette, source.get(), TRect(0, 0, 2, 2)), EInvalidOperation);
  TPngImage empty;
  EXPECT_THAT([&] { H::CopyFrom(empty, rgb.get(), TRect(0, 0, 1, 1)); }, notRgba);
}

TEST(PngHelperAlpha, AlphaBlendRoundsHalfToEvenAndTakesAKeyedPaletteColourOut)
{
  auto rgb = Solid(COLOR_RGB, 2, 2, clGreen);
  H::AlphaBlend(*rgb, 127);
  ASSERT_EQ(rgb->Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(AlphaAt(*rgb, 1, 1), 128); // 255 * 128 / 256 = 127.5

  auto rgba = MakePng(COLOR_RGBALPHA, 3, 1, PositionColour, [](int x, int) { return Byte(x * 100); });
  H::AlphaBlend(*rgba, 255);
  EXPECT_EQ(AlphaAt(*rgba, 1, 0), 100);
  EXPECT_EQ(AlphaAt(*rgba, 2, 0), 200);
  H::AlphaBlend(*rgba, 0);
  EXPECT_EQ(AlphaAt(*rgba, 2, 0), 1); // 200 / 256 = 0.78

  auto palette = PaletteImage({{0, 0, 0, 255}, {255, 255, 255, 255}});
  palette->SetTransparentColor(clWhite);
  H::AlphaBlend(*palette, 100);
  ASSERT_EQ(palette->Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(AlphaAt(*palette, 0, 0), 100); // v itself, not scaled
  EXPECT_EQ(AlphaAt(*palette, 1, 0), 0);
  EXPECT_EQ(palette->Pixels(1, 0), clWhite);
}

TEST(PngHelperAlpha, SetTransparentTruncates)
{
  auto png = MakePng(COLOR_RGBALPHA, 3, 1, PositionColour, [](int x, int) { return Byte(x == 0 ? 200 : 255); });
  H::SetTransparent(*png, 128);
  EXPECT_EQ(AlphaAt(*png, 0, 0), 100); // 200 * 128 / 255 = 100.39
  EXPECT_EQ(AlphaAt(*png, 1, 0), 128);
  H::SetTransparent(*png, 255);
  EXPECT_EQ(AlphaAt(*png, 0, 0), 100);
  H::SetTransparent(*png, 0);
  EXPECT_EQ(AlphaAt(*png, 1, 0), 0);
  auto rgb = Solid(COLOR_RGB, 1, 1, clRed);
  EXPECT_THROW(H::SetTransparent(*rgb, 10), EInvalidOperation);
}

TEST(PngHelperAlpha, ForceAlphaChannelResolvesASystemKeyColour)
{
  auto png = MakePng(COLOR_RGB, 2, 1, [](int x, int) { return x == 0 ? ColorToRGB(clBtnFace) : clRed; },
                     [](int, int) { return Byte(255); });
  H::ForceAlphaChannel(*png, true, clBtnFace, 77);
  EXPECT_EQ(AlphaAt(*png, 0, 0), 0);
  EXPECT_EQ(AlphaAt(*png, 1, 0), 77);
}

TEST(PngHelperGrey, GrayLevelIsExact)
{
  EXPECT_EQ(PngMath::GrayLevel(255, 0, 0), 76); // 76.5 rounds to even
  // A long double evaluation of 0.3 R + 0.59 G + 0.11 B lands just below 3.5 here.
  EXPECT_EQ(PngMath::GrayLevel(0, 5, 5), 4);
  EXPECT_EQ(PngMath::GrayLevel(255, 255, 255), 255);
  auto png = MakePng(COLOR_RGBALPHA, 1, 1, [](int, int) { return clRed; }, [](int, int) { return Byte(9); });
  H::ConvertToGrayScale(*png);
  EXPECT_EQ(png->Pixels(0, 0), TColor(0x4C4C4C));
  EXPECT_EQ(AlphaAt(*png, 0, 0), 9);
}

TEST(PngHelperGrey, OneBytePixelsAreNotWalkedAsThree)
{
  auto grey = MakePng(COLOR_GRAYSCALE, 5, 1, [](int x, int) { return TColor(x * 0x101010); },
                      [](int, int) { return Byte(255); });
  H::ConvertToGrayScale(*grey);
  EXPECT_EQ(grey->Pixels(4, 0), TColor(0x404040));
  auto palette = PaletteImage({{0, 0, 255, 255}, {255, 0, 0, 255}});
  H::ConvertToGrayScale(*palette);
  EXPECT_EQ(palette->Header().ColorType, COLOR_PALETTE);
  EXPECT_EQ(palette->Pixels(1, 0), TColor(0x4C4C4C));
}

TEST(PngHelperResize, TwoByTwoToFourByFourUsesExactBinaryWeights)
{
  const Byte values[2][2] = {{0, 100}, {200, 40}}; // [y][x]
  auto png = MakePng(COLOR_RGBALPHA, 2, 2, [&](int x, int y) { return TColor(values[y][x]); },
                     [&](int x, int y) { return Byte(255 - values[y][x]); });
  H::SmoothResize(*png, 4, 4);
  ASSERT_EQ(png->Width(), 4);
  for (int ty = 0; ty < 4; ++ty)
    for (int tx = 0; tx < 4; ++tx) {
      // Positions 0, 0.25, 0.5, 0.75: the last column is not the last source column.
      const double fx = tx / 4.0, fy = ty / 4.0;
      const double v = values[0][0] * (1 - fx) * (1 - fy) + values[0][1] * fx * (1 - fy) +
                       values[1][0] * (1 - fx) * fy + values[1][1] * fx * fy;
      EXPECT_EQ(png->Pixels(tx, ty) & 0xFF, TColor(std::nearbyint(v))) << tx << "," << ty;
      EXPECT_EQ(AlphaAt(*png, tx, ty), Byte(std::nearbyint((255 - values[0][0]) * (1 - fx) * (1 - fy) +
                                                            (255 - values[0][1]) * fx * (1 - fy) +
                                                            (255 - values[1][0]) * (1 - fx) * fy +
                                                            (255 - values[1][1]) * fx * fy)));
    }
  EXPECT_EQ(png->Pixels(1, 1) & 0xFF, 59); // 58.75
}

TEST(PngHelperResize, UnsupportedInputsLeaveTheImageAlone)
{
  auto thin = Solid(COLOR_RGB, 1, 5, clRed);
  EXPECT_THROW(H::SmoothResize(*thin, 4, 4), EInvalidOperation);
  auto png = Solid(COLOR_RGB, 3, 3, clRed);
  EXPECT_THROW(H::SmoothResize(*png, 0, 4), EInvalidOperation);
  EXPECT_THROW(H::SmoothResize(*png, 4, -1), EInvalidOperation);
  EXPECT_EQ(png->Width(), 3);
  auto grey = Solid(COLOR_GRAYSCALE, 3, 3, clBlack);
  EXPECT_THAT([&] { H::SmoothResize(*grey, 4, 4); },
              testing::ThrowsMessage<Exception>("Only COLOR_RGBALPHA and COLOR_RGB formats are supported"));
  // Down-scaling never reads past the last row or column.
  auto big = MakePng(COLOR_RGB, 7, 5, PositionColour, [](int, int) { return Byte(255); });
  H::SmoothResize(*big, 3, 2);
  EXPECT_EQ(big->Width(), 3);
}

TEST(PngHelperCompose, DrawPngBlendsWithItsOwnFormula)
{
  auto black = Solid(COLOR_RGB, 2, 2, clBlack);
  auto white = Solid(COLOR_RGBALPHA, 1, 1, clWhite, 128);
  H::DrawPng(*black, white.get(), TPoint(1, 1), 255);
  ASSERT_EQ(black->Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(black->Pixels(1, 1), TColor(0x555555)); // 255 * 128 div 383 = 85
  EXPECT_EQ(AlphaAt(*black, 1, 1), 255);
  EXPECT_EQ(black->Pixels(0, 0), clBlack);

  // Factor 0 makes the source opaque; a source partly outside changes only the overlap.
  auto base = Solid(COLOR_RGBALPHA, 3, 3, clBlue, 0);
  auto over = Solid(COLOR_RGBALPHA, 3, 3, clRed, 0);
  int changes = 0;
  base->OnChange = [&](TObject*) { ++changes; };
  H::DrawPng(*base, over.get(), TPoint(2, -1), 0);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(base->Pixels(2, 0), clRed);
  EXPECT_EQ(AlphaAt(*base, 2, 1), 255);
  EXPECT_EQ(base->Pixels(1, 1), clBlue);
  EXPECT_EQ(AlphaAt(*base, 1, 1), 0);
  EXPECT_EQ(base->Pixels(2, 2), clBlue);

  // Both transparent: the base colour stays, alpha 0.
  auto clear = Solid(COLOR_RGBALPHA, 1, 1, clLime, 0);
  auto clearToo = Solid(COLOR_RGBALPHA, 1, 1, clRed, 0);
  H::DrawPng(*clear, clearToo.get(), TPoint(0, 0), 255);
  EXPECT_EQ(clear->Pixels(0, 0), clLime);
  EXPECT_EQ(AlphaAt(*clear, 0, 0), 0);
  EXPECT_THROW(H::DrawPng(*clear, nullptr, TPoint(0, 0), 255), EAssertionFailed);
}

TEST(RectHelper, PositionRect)
{
  const TRect bounds(10, 20, 20, 40);
  EXPECT_EQ(PositionRect(bounds, 11, 4, taCenter, taAlignTop), TRect(10, 20, 21, 24));
  EXPECT_EQ(PositionRect(bounds, 4, 4, taRightJustify, taAlignBottom), TRect(16, 36, 20, 40));
  EXPECT_EQ(PositionRect(bounds, TRect(5, 5, 9, 10), taLeftJustify, taVerticalCenter), TRect(10, 27, 14, 32));
  EXPECT_EQ(PositionRect(bounds, 13, 4, taCenter, taAlignTop).Left, 9); // (10 - 13) div 2 = -1
}

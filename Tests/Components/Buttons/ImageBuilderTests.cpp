#include <Quorex.Resources.hpp>
#include <Quorex.Vcl.Button.ImageBuilder.hpp>

#include <System.Classes.hpp>

#include <gtest/gtest.h>

#include <memory>

using namespace Vcl;
using namespace Quorex;
using Win::GetBValue;
using Win::GetGValue;
using Win::GetRValue;

namespace {

constexpr TColor HotTop = TColor(0x00FCF3E2), HotBottom = TColor(0x00FBE3B7);
constexpr TColor PressedTop = TColor(0x00F6E4C2);

// An opaque checkerboard of red and blue, red at the top-left; or red and
// blue columns, which a diagonal move does not map onto themselves.
std::unique_ptr<TPngImage> Checkerboard(Integer Width, Integer Height, bool Columns = false)
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(COLOR_RGBALPHA, 8, Width, Height);
  for (Integer y = 0; y < Height; ++y)
    for (Integer x = 0; x < Width; ++x) {
      png->SetPixels(x, y, (Columns ? x : x + y) % 2 ? clBlue : clRed);
      png->AlphaScanline(y)[x] = 255;
    }
  return png;
}

class ImageBuilder : public ::testing::Test {
protected:
  TPngImage& Image(Integer Index) { return *FList.PngImages()->Items(Index)->PngImage(); }
  Byte AlphaAt(Integer Index, Integer X, Integer Y)
  {
    TPngImage& png = Image(Index);
    return png.Header().ColorType == COLOR_RGBALPHA ? png.AlphaScanline(Y)[X] : 255;
  }
  Integer CoveredColumns(Integer Index, Integer Y)
  {
    Integer count = 0;
    for (Integer x = 0; x < Image(Index).Width(); ++x)
      count += AlphaAt(Index, x, Y) > 0;
    return count;
  }
  // The list as Build(Checkerboard(16, 16), 24 x 24) leaves it.
  void BuildCheckerboard() { TButtonImageBuilder::Build(&FList, Checkerboard(16, 16).get(), 24, 24); }
  void ExpectCheckerboardKept()
  {
    EXPECT_EQ(FList.Count(), 4);
    EXPECT_EQ(FList.Width(), 24);
    EXPECT_EQ(FList.Height(), 24);
    EXPECT_EQ(Image(1).Pixels(4, 4), clRed);
  }

  TPngImageList FList;
};

TEST_F(ImageBuilder, AutoImageSizeIsTwoThirdsOfTheShorterSideAtLeast16)
{
  EXPECT_EQ(TButtonImageBuilder::GetAutoImageSize(24, 24), 16);
  EXPECT_EQ(TButtonImageBuilder::GetAutoImageSize(48, 30), 20);
  EXPECT_EQ(TButtonImageBuilder::GetAutoImageSize(12, 40), 16);
  EXPECT_EQ(TButtonImageBuilder::GetAutoImageSize(0, -5), 16);
}

// Indexes 0 to 3 are disabled, normal, hot and pressed. A source of the image
// size is used as it is (a resize would blur the checkerboard), centred; the
// pressed one sits a quarter of the free space lower right.
TEST_F(ImageBuilder, BuildMakesTheFourLooksInOrderWithThePressedShift)
{
  FList.AddPng(Checkerboard(16, 16).get());
  BuildCheckerboard();
  ASSERT_EQ(FList.Count(), 4);
  EXPECT_EQ(FList.Width(), 24);
  EXPECT_EQ(FList.Height(), 24);

  // Disabled: grey and half transparent, in the middle of a clear image.
  const TColor grey = Image(0).Pixels(4, 4);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  EXPECT_EQ(AlphaAt(0, 4, 4), 128);
  EXPECT_EQ(AlphaAt(0, 3, 3), 0);
  EXPECT_EQ(AlphaAt(0, 20, 20), 0);

  // Normal: the source itself over the disabled one.
  EXPECT_EQ(Image(1).Pixels(4, 4), clRed);
  EXPECT_EQ(Image(1).Pixels(5, 4), clBlue);
  EXPECT_EQ(Image(1).Pixels(19, 19), clRed);
  EXPECT_EQ(AlphaAt(1, 4, 4), 255);
  EXPECT_EQ(AlphaAt(1, 3, 3), 0);

  // Hot: the same place on the two-tone hot background.
  EXPECT_EQ(Image(2).Pixels(4, 4), clRed);
  EXPECT_EQ(Image(2).Pixels(0, 0), HotTop);
  EXPECT_EQ(Image(2).Pixels(0, 23), HotBottom);
  EXPECT_EQ(Image(2).Pixels(20, 20), HotBottom);
  EXPECT_EQ(AlphaAt(2, 0, 0), 255);

  // Pressed: moved by (24 - 16) div 4 = 2 each way.
  EXPECT_EQ(Image(3).Pixels(6, 6), clRed);
  EXPECT_EQ(Image(3).Pixels(7, 6), clBlue);
  EXPECT_EQ(Image(3).Pixels(21, 21), clRed);
  EXPECT_EQ(Image(3).Pixels(5, 6), PressedTop);
  EXPECT_EQ(Image(3).Pixels(4, 4), PressedTop);
}

// A source larger than the image would move up-left when pressed; it stays
// where the hot one is.
TEST_F(ImageBuilder, APressedImageNeverMovesUpOrLeft)
{
  TButtonImageBuilder::Build(&FList, Checkerboard(20, 20, true).get(), 16, 16, 20, 20);
  ASSERT_EQ(FList.Count(), 4);
  for (Integer y = 0; y < 16; ++y)
    for (Integer x = 0; x < 16; ++x)
      ASSERT_EQ(Image(3).Pixels(x, y), Image(2).Pixels(x, y)) << x << ", " << y;
  // (20 - 16) div 2 = 2 columns cut on each side: column 0 shows column 2.
  EXPECT_EQ(Image(3).Pixels(0, 0), clRed);
  EXPECT_EQ(Image(3).Pixels(1, 0), clBlue);
}

TEST_F(ImageBuilder, ASourceOfAnotherSizeIsResizedToTheImageSize)
{
  TButtonImageBuilder::Build(&FList, Checkerboard(32, 32).get(), 48, 30);
  ASSERT_EQ(FList.Count(), 4);
  // Resized to 20 x 20 and centred: columns 14 to 33 of row 15 are covered.
  EXPECT_EQ(AlphaAt(1, 13, 15), 0);
  EXPECT_EQ(AlphaAt(1, 14, 15), 255);
  EXPECT_EQ(AlphaAt(1, 33, 15), 255);
  EXPECT_EQ(AlphaAt(1, 34, 15), 0);
}

// Sources that cannot be resized, and sizes of no pixels, raise before the
// list is touched: it keeps its images and its size.
TEST_F(ImageBuilder, AFailedBuildLeavesTheListAsItWas)
{
  BuildCheckerboard();
  auto onePixel = Checkerboard(1, 1);
  EXPECT_THROW(TButtonImageBuilder::Build(&FList, onePixel.get(), 32, 32), EInvalidOperation);
  ExpectCheckerboardKept();

  TPngImage palette;
  palette.CreateBlank(COLOR_PALETTE, 8, 8, 8);
  EXPECT_THROW(TButtonImageBuilder::Build(&FList, &palette, 32, 32), Exception);
  ExpectCheckerboardKept();

  TPngImage grey;
  grey.CreateBlank(COLOR_GRAYSCALE, 8, 8, 8);
  EXPECT_THROW(TButtonImageBuilder::Build(&FList, &grey, 32, 32), Exception);
  ExpectCheckerboardKept();

  EXPECT_THROW(TButtonImageBuilder::Build(&FList, Checkerboard(16, 16).get(), 0, 24, 16, 16), Exception);
  ExpectCheckerboardKept();
}

// The edits' way: an icon file from the library's resources, its image for
// the automatic size.
TEST_F(ImageBuilder, BuildsFromAnIconOfTheLibrarysResources)
{
  TResourceStream stream(HInstance(), "CLEAR_ICON", Win::RT_RCDATA);
  TIconEx icon;
  icon.LoadFromStream(&stream);
  TButtonImageBuilder::Build(&FList, &icon, 27, 27, false);
  ASSERT_EQ(FList.Count(), 4);
  EXPECT_EQ(FList.Width(), 27);
  // The 16-pixel image (the nearest smaller to 18), centred at (5, 5).
  EXPECT_EQ(AlphaAt(1, 13, 13), 255);
  EXPECT_EQ(AlphaAt(1, 4, 13), 0);
  EXPECT_EQ(AlphaAt(1, 21, 13), 0);
  const TColor cross = Image(1).Pixels(13, 13);
  EXPECT_GT(GetRValue(cross), 200);
  const Integer unscaled = CoveredColumns(1, 13);

  // Resized: the same image scaled to 18 pixels covers more of the row.
  TButtonImageBuilder::Build(&FList, &icon, 27, 27, true);
  EXPECT_EQ(AlphaAt(1, 13, 13), 255);
  EXPECT_EQ(AlphaAt(1, 3, 13), 0);
  EXPECT_GT(CoveredColumns(1, 13), unscaled);
}

TEST_F(ImageBuilder, DrawBackgroundMakesAnOpaqueTwoToneImageOrNothing)
{
  TPngImage png;
  png.CreateBlank(COLOR_RGBALPHA, 8, 4, 5);
  TButtonImageBuilder::DrawBackground(&png, clNone, clNone);
  EXPECT_EQ(png.Header().ColorType, COLOR_RGBALPHA);
  TButtonImageBuilder::DrawBackground(&png, clNone, clYellow);
  EXPECT_EQ(png.Header().ColorType, COLOR_RGB);
  EXPECT_EQ(png.Pixels(0, 1), clBlack);
  EXPECT_EQ(png.Pixels(3, 2), clYellow);
  EXPECT_EQ(png.Pixels(3, 4), clYellow);
}

} // namespace

// The library's own pictures, read by name from its module as the edits and
// the back button read them.
#include <Quorex.Imaging.IconEx.hpp>
#include <Quorex.Resources.hpp>

#include <System.Classes.hpp>
#include <Vcl.ImgList.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Vcl;
using namespace Quorex;
using Win::GetBValue;
using Win::GetGValue;
using Win::GetRValue;

namespace {

std::unique_ptr<TPngImage> NavBack(const char* Name)
{
  TResourceStream stream(HInstance(), Name, Win::RT_RCDATA);
  auto png = std::make_unique<TPngImage>();
  png->LoadFromStream(&stream);
  return png;
}

// Luma of the disc above the arrow, for comparing the states.
int DiscLuma(const TPngImage& Png)
{
  const TColor c = Png.Pixels(15, 7);
  return GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c);
}

TEST(LibraryPictures, BackButtonStatesAre30PixelPngsWithAlpha)
{
  const char* names[] = {"NAV_BACK_NORMAL", "NAV_BACK_HOT", "NAV_BACK_PRESSED", "NAV_BACK_DISABLED"};
  for (const char* name : names) {
    auto png = NavBack(name);
    EXPECT_EQ(png->Width(), 30) << name;
    EXPECT_EQ(png->Height(), 30) << name;
    ASSERT_EQ(png->Header().ColorType, COLOR_RGBALPHA) << name;
    EXPECT_EQ(png->AlphaScanline(0)[0], 0) << name;
    EXPECT_EQ(png->AlphaScanline(15)[15], 255) << name;
  }
  // A white arrow on blue; hot lighter, pressed darker; disabled grey.
  auto normal = NavBack("nav_back_normal");
  EXPECT_EQ(normal->Pixels(12, 15), clWhite);
  const TColor disc = normal->Pixels(15, 7);
  EXPECT_GT(GetBValue(disc), GetRValue(disc) + 60);
  EXPECT_GT(DiscLuma(*NavBack("NAV_BACK_HOT")), DiscLuma(*normal));
  EXPECT_LT(DiscLuma(*NavBack("NAV_BACK_PRESSED")), DiscLuma(*normal));
  const TColor disabled = NavBack("NAV_BACK_DISABLED")->Pixels(15, 7);
  EXPECT_LE(std::abs(GetRValue(disabled) - GetBValue(disabled)), 8);
}

TEST(LibraryPictures, EditIconsAreIconFilesOfFourSizes)
{
  for (const char* name : {"CLEAR_ICON", "SEARCH_ICON", "OPENURL_ICON"}) {
    SCOPED_TRACE(name);
    TResourceStream stream(HInstance(), name, Win::RT_RCDATA);
    TIconEx icon;
    icon.LoadFromStream(&stream);
    ASSERT_EQ(icon.GetIconCount(), 4);
    const Integer sizes[] = {16, 24, 32, 48};
    for (Integer i = 0; i < 4; ++i) {
      EXPECT_EQ(icon.GetIconDescriptions(i).Width, sizes[i]);
      EXPECT_EQ(icon.GetIconDescriptions(i).BitsPerPixel, 32);
    }
    TPngImage png;
    icon.ExtractIcon(TSize(24, 24), &png, false);
    EXPECT_EQ(png.Width(), 24);
    ASSERT_EQ(png.Header().ColorType, COLOR_RGBALPHA);
    EXPECT_EQ(png.AlphaScanline(0)[0], 0);
    EXPECT_EQ(png.AlphaScanline(12)[11], 255);
  }
}

// Masked lists key it out by colour, alpha lists by its alpha: both see the
// same folder.
TEST(LibraryPictures, TheFolderBitmapIsOfTheLibrarysPictureType)
{
  TResourceStream stream(HInstance(), "OPENFOLDERIMAGE", RT_QX_PICTURES);
  TBitmap bitmap;
  bitmap.LoadFromStream(&stream);
  ASSERT_EQ(bitmap.Width(), 16);
  ASSERT_EQ(bitmap.Height(), 16);
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clFuchsia);
  const TColor front = bitmap.Canvas()->Pixels(8, 10);
  EXPECT_GT(GetRValue(front), 200);
  EXPECT_LT(GetBValue(front), 150);

  TImageList list(16, 16);
  ASSERT_EQ(list.AddMasked(&bitmap, clFuchsia), 0);
  TBitmap drawn(16, 16);
  drawn.Canvas()->Brush()->SetColor(clWhite);
  drawn.Canvas()->FillRect(TRect(0, 0, 16, 16));
  list.Draw(drawn.Canvas(), 0, 0, 0);
  EXPECT_EQ(drawn.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(drawn.Canvas()->Pixels(8, 10), front);
}

TEST(LibraryPictures, AnUnknownNameOrTypeRaisesResNotFoundNamingIt)
{
  EXPECT_THAT([] { TResourceStream stream(HInstance(), "NAV_FORWARD_NORMAL", Win::RT_RCDATA); },
              testing::ThrowsMessage<EResNotFound>("Resource NAV_FORWARD_NORMAL not found"));
  EXPECT_THROW(TResourceStream(HInstance(), "OPENFOLDERIMAGE", Win::RT_RCDATA), EResNotFound);
  EXPECT_THROW(TResourceStream(HInstance(), "CLEAR_ICON", RT_QX_PICTURES), EResNotFound);
}

} // namespace

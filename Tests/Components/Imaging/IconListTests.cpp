#include <QxGraphicStreams.hpp>
#include <QxDPITesting.hpp>
#include <QxFormCompare.hpp>
#include <QxTestSupport.hpp>
#include <Quorex.Imaging.WincodecAdapter.hpp>
#include <Quorex.Vcl.IconList.hpp>

#include <System.Classes.Streaming.hpp>
#include <Winapi.Windows.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace Vcl;
using namespace Quorex;

namespace {

// A square icon of one colour (0xAARRGGBB, straight alpha).
void SolidIcon(TIcon& Icon, Integer Size, std::uint32_t Color)
{
  Win::HBITMAP color = Win::CreateBitmap32(Size, Size);
  Win::HBITMAP mask = Win::CreateBitmap32(Size, Size);
  std::fill_n(Win::BitmapBits(color), std::size_t(Size) * std::size_t(Size), Color);
  Win::ICONINFO info;
  info.hbmColor = color;
  info.hbmMask = mask;
  Icon.SetHandle(Win::CreateIconIndirect(&info));
  Win::DeleteObject(color);
  Win::DeleteObject(mask);
}

// Made by an independent tool: 16, 32 and 48 pixels, each size in colours
// of its own.
const TBytes& ThreeSizeFile()
{
  static const TBytes file = QxTest::ReadBytes(QxTest::SourceDir() + "/Tests/Fixtures/ico/icotool-32bit.ico");
  return file;
}

std::vector<std::uint32_t> Pixels(TBitmap& Bitmap)
{
  std::vector<std::uint32_t> pixels;
  for (Integer y = 0; y < Bitmap.Height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(Bitmap.ScanLine(y));
    pixels.insert(pixels.end(), row, row + Bitmap.Width());
  }
  return pixels;
}

// Straight alpha passes through premultiplied steps on some paths: a few
// units either way, and colour only where it shows.
::testing::AssertionResult SamePicture(const std::vector<std::uint32_t>& Actual,
                                       const std::vector<std::uint32_t>& Expected)
{
  if (Actual.size() != Expected.size())
    return ::testing::AssertionFailure() << Actual.size() << " pixels, not " << Expected.size();
  auto channel = [](std::uint32_t p, int c) { return int(p >> (8 * c) & 0xFF); };
  for (std::size_t i = 0; i < Actual.size(); ++i)
    for (int c = channel(Expected[i], 3) >= 64 ? 0 : 3; c < 4; ++c)
      if (std::abs(channel(Actual[i], c) - channel(Expected[i], c)) > 4)
        return ::testing::AssertionFailure()
               << "pixel " << i << ": 0x" << std::hex << Actual[i] << ", not 0x" << Expected[i];
  return ::testing::AssertionSuccess();
}

class IconListTest : public ::testing::Test {
protected:
  void TearDown() override
  {
    UseDPI(96);
    Win::WICSetAvailable(true);
    TQxImagingFactory::Release();
  }
  static void UseDPI(int Dpi)
  {
    Win::ScreenSettings().LogPixels = Dpi;
    Quorex::Internal::ResetDPICacheForTesting();
  }
  void AddIcon(TIconList& List, Integer Size, std::uint32_t Color)
  {
    TIcon icon;
    SolidIcon(icon, Size, Color);
    List.Icons()->Add()->SetIcon(&icon);
  }
  // Native image Index as 0xAARRGGBB, straight alpha.
  static std::vector<std::uint32_t> Image(TIconList& List, Integer Index)
  {
    TIcon icon;
    List.GetIcon(Index, &icon);
    TBitmap bitmap;
    bitmap.Assign(&icon);
    return Pixels(bitmap);
  }
  Integer changes = 0;
  void CountChanges(TIconList& List)
  {
    List.OnChange = [this](TObject*) { ++changes; };
  }
};

} // namespace

TEST_F(IconListTest, DefaultsAndSizeLimit)
{
  TIconList list;
  EXPECT_EQ(list.Width(), 16);
  EXPECT_FALSE(list.Masked());
  EXPECT_EQ(list.ColorDepth(), cd32Bit);
  EXPECT_TRUE(list.Scaled());
  EXPECT_TRUE(list.SmoothScaling());
  EXPECT_EQ(list.PixelsPerInch(), 96);
  list.SetWidth(256);
  EXPECT_EQ(list.Width(), 256);
  EXPECT_THAT([&] { list.SetHeight(257); },
              testing::ThrowsMessage<EIconListIncorrectSize>("The maximum supported size is 256x256"));
  EXPECT_EQ(list.Height(), 16);
  EXPECT_THROW(list.SetSize(300), EIconListError);
  EXPECT_EQ(list.Width(), 256);
}

TEST_F(IconListTest, PlainScalingFitsBigIconsAndCentresSmallOnes)
{
  TIconList list;
  list.SetSmoothScaling(false);
  AddIcon(list, 32, 0xFF0000FFu);
  AddIcon(list, 8, 0xFFFF0000u);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(Image(list, 0)[8 * 16 + 8], 0xFF0000FFu);
  const auto small = Image(list, 1);
  for (Integer y = 0; y < 16; ++y)
    for (Integer x = 0; x < 16; ++x) {
      const bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
      ASSERT_EQ(small[std::size_t(y * 16 + x)] >> 24, inside ? 0xFFu : 0u) << x << "," << y;
    }
  EXPECT_EQ(small[4 * 16 + 4], 0xFFFF0000u);
}

TEST_F(IconListTest, SmoothScalingTakesTheComponentOrTheOwnPath)
{
  for (bool available : {true, false}) {
    TQxImagingFactory::Release();
    Win::WICSetAvailable(available);
    for (bool masked : {false, true}) {
      TIconList list;
      list.SetMasked(masked); // masked lists never reach the component
      AddIcon(list, 48, 0xFF00FF00u);
      AddIcon(list, 32, 0x8000FF00u);
      ASSERT_EQ(list.Count(), 2);
      EXPECT_EQ(Image(list, 0)[8 * 16 + 8], 0xFF00FF00u) << available << masked;
      EXPECT_NEAR(int(Image(list, 1)[8 * 16 + 8] >> 24), 0x80, 1);
    }
  }
}

TEST_F(IconListTest, AnIconWithoutImagesKeepsLaterIndexesAligned)
{
  TIconList list;
  AddIcon(list, 16, 0xFFFF0000u);
  list.Icons()->Add();
  AddIcon(list, 16, 0xFF0000FFu);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(Image(list, 1)[0] >> 24, 0u);
  EXPECT_EQ(Image(list, 2)[0], 0xFF0000FFu);
}

TEST_F(IconListTest, UpdatesAndCollectionChangesRebuildOnce)
{
  TIconList list;
  CountChanges(list);
  list.BeginUpdate();
  for (int i = 0; i < 3; ++i)
    AddIcon(list, 16, 0xFF000000u);
  list.SetSize(24);
  EXPECT_EQ(changes, 0);
  list.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.Count(), 3);

  TIconList other;
  other.SetIcons(list.Icons());
  EXPECT_EQ(other.Count(), 3);
  other.Icons()->Delete(0);
  EXPECT_EQ(other.Count(), 2);
}

// Every size of an icon read from a file reaches the list's choice, whichever
// path makes the image, and the file stays as it was read.
TEST_F(IconListTest, AMultiSizeIconKeepsEveryFrame)
{
  TIcon icon;
  QxTest::LoadBytes(icon, ThreeSizeFile());
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(QxTest::SavedBytes(icon), ThreeSizeFile());
  TIcon copy;
  copy.Assign(&icon);
  EXPECT_EQ(QxTest::SavedBytes(copy), ThreeSizeFile());

  TIconEx whole(&icon);
  ASSERT_EQ(whole.GetIconCount(), 3);
  TBitmap frame48;
  whole.ExtractIcon(2, &frame48);
  const std::vector<std::uint32_t> expected = Pixels(frame48);
  for (bool smooth : {false, true})
    for (bool available : {true, false}) {
      TQxImagingFactory::Release();
      Win::WICSetAvailable(available);
      TIconList list;
      list.SetSize(48);
      list.SetSmoothScaling(smooth);
      list.Icons()->Add()->SetIcon(&icon);
      ASSERT_EQ(list.Count(), 1);
      EXPECT_TRUE(SamePicture(Image(list, 0), expected)) << "smooth " << smooth << ", component " << available;
      EXPECT_EQ(QxTest::SavedBytes(*list.Icons()->Items(0)->Icon()), ThreeSizeFile());
    }
}

TEST_F(IconListTest, FormResourceStoresIconsNotNativeImages)
{
  TIconList list;
  list.SetName("Icons1");
  list.SetSize(24);
  list.SetSmoothScaling(false);
  AddIcon(list, 24, 0xFF112233u);
  TIcon multi;
  QxTest::LoadBytes(multi, ThreeSizeFile());
  list.Icons()->Add()->SetIcon(&multi);
  const String text = WriteComponentRes(&list);
  EXPECT_EQ(text.find("ColorDepth"), String::npos) << text; // the default, by name
  EXPECT_EQ(text.find("Bitmap"), String::npos);
  EXPECT_NE(text.find("Icon.Data = {"), String::npos) << text;

  // Resources written before the icon streamed through its own data.
  String older = text;
  for (std::size_t at; (at = older.find("Icon.Data = {")) != String::npos;)
    older.replace(at, 13, "Icon = {");
  for (const String& resource : {text, older}) {
    auto copy = QxTest::ReadAs<TIconList>(resource);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Width(), 24);
    EXPECT_FALSE(copy->SmoothScaling());
    ASSERT_EQ(copy->Count(), 2);
    EXPECT_EQ(Image(*copy, 0)[0], 0xFF112233u);
    EXPECT_EQ(QxTest::SavedBytes(*copy->Icons()->Items(1)->Icon()), ThreeSizeFile());
    EXPECT_EQ(WriteComponentRes(copy.get()), text);
  }
}

TEST_F(IconListTest, LoadingFollowsTheScreenResolutionWithinLimits)
{
  TIconList list;
  list.SetName("Icons1");
  AddIcon(list, 16, 0xFF112233u);
  const String at16 = WriteComponentRes(&list);
  list.SetSize(256);
  const String at256 = WriteComponentRes(&list);
  UseDPI(144);

  auto list16 = QxTest::ReadAs<TIconList>(at16);
  EXPECT_EQ(list16->Width(), 24);
  EXPECT_EQ(list16->Height(), 24);
  EXPECT_EQ(list16->PixelsPerInch(), 144);
  EXPECT_EQ(list16->Count(), 1);

  EXPECT_EQ(QxTest::ReadAs<TIconList>(at256)->Width(), 256);

  // A stored resolution of 0 reads as 96.
  String zero = at16;
  zero.insert(zero.rfind("  Icons"), "  PixelsPerInch = 0\n");
  EXPECT_EQ(QxTest::ReadAs<TIconList>(zero)->Width(), 24);

  String unscaled = at16;
  unscaled.insert(unscaled.rfind("  Icons"), "  Scaled = False\n");
  EXPECT_EQ(QxTest::ReadAs<TIconList>(unscaled)->Width(), 16);
}

TEST_F(IconListTest, AThousandIconsLoadWithOneRebuild)
{
  TIconList list;
  list.SetName("Icons1");
  list.BeginUpdate();
  for (int i = 0; i < 1000; ++i)
    AddIcon(list, 16, 0xFF000000u | std::uint32_t(i));
  list.EndUpdate();
  const String text = WriteComponentRes(&list);

  // Read into a list that counts its changes: one rebuild, not one per icon.
  TIconList copy;
  CountChanges(copy);
  ReadComponentRes(text, &copy);
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(copy.Count(), 1000);
  EXPECT_EQ(Image(copy, 999)[0], 0xFF0003E7u);
}

#include <QxGraphicStreams.hpp>
#include <QxSolidImages.hpp>
#include "GraphicsTestHelpers.hpp"

#include <QxTestSupport.hpp>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Vcl;
using namespace GraphicsTest;

namespace {

// A 4 x 4 icon: red on the left half; the right half is transparent through
// the mask, or, with alpha, the left half is half-transparent red.
Win::HICON MakeIcon(bool alpha)
{
  Win::ICONINFO info;
  info.hbmColor = Win::CreateBitmap32(4, 4);
  info.hbmMask = Win::CreateBitmap32(4, 4);
  std::uint32_t* color = Win::BitmapBits(info.hbmColor);
  std::uint32_t* mask = Win::BitmapBits(info.hbmMask);
  for (int i = 0; i < 16; ++i) {
    const bool left = i % 4 < 2;
    color[i] = alpha ? (left ? 0x80FF0000u : 0u) : (left ? 0x00FF0000u : 0u);
    mask[i] = !alpha && !left ? 0xFFFFFFFFu : 0xFF000000u;
  }
  Win::HICON icon = Win::CreateIconIndirect(&info);
  Win::DeleteObject(info.hbmColor);
  Win::DeleteObject(info.hbmMask);
  return icon;
}

std::unique_ptr<TBitmap> DrawnOnWhite(TGraphic& graphic)
{
  auto target = QxTest::SolidBitmap(6, 6, clWhite, pfDevice);
  target->Canvas()->Draw(1, 1, &graphic);
  return target;
}

class TTestGraphic : public TBitmap {
  QX_CLASS(TTestGraphic, TBitmap)
};

} // namespace

TEST(GraphicsIcon, MaskedIconDrawsThroughItsMaskAndRoundTrips)
{
  TIcon icon;
  icon.SetHandle(MakeIcon(false));
  EXPECT_EQ(icon.Width(), 4);
  EXPECT_FALSE(Win::IconHasAlpha(icon.Handle()));
  auto drawn = DrawnOnWhite(icon);
  EXPECT_EQ(Pixel(*drawn, 1, 1), clRed);
  EXPECT_EQ(Pixel(*drawn, 2, 4), clRed);
  EXPECT_EQ(Pixel(*drawn, 3, 1), clWhite);
  EXPECT_EQ(Pixel(*drawn, 0, 0), clWhite);
  EXPECT_EQ(Pixel(*drawn, 5, 5), clWhite); // drawn at its own size

  const Bytes file = QxTest::SavedBytes(icon);
  EXPECT_EQ(file[12], 24); // 24-bit colour with the mask
  TIcon loaded;
  QxTest::LoadBytes(loaded, file);
  auto again = DrawnOnWhite(loaded);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(Pixel(*again, x, y), Pixel(*drawn, x, y)) << x << "," << y;
  EXPECT_THROW(loaded.SetSize(8, 8), EInvalidGraphicOperation);

  // Any graphic fades with an opacity: here through a copy of the background.
  auto faded = QxTest::SolidBitmap(6, 6, clWhite, pfDevice);
  faded->Canvas()->Draw(1, 1, &icon, 128);
  EXPECT_EQ(Win::GetRValue(Pixel(*faded, 1, 1)), 255);
  EXPECT_NEAR(Win::GetGValue(Pixel(*faded, 1, 1)), 127, 1);
  EXPECT_EQ(Pixel(*faded, 3, 1), clWhite);
}

TEST(GraphicsIcon, AlphaIconBlendsRoundTripsAndConvertsToABitmap)
{
  TIcon icon;
  icon.SetHandle(MakeIcon(true));
  EXPECT_TRUE(Win::IconHasAlpha(icon.Handle()));
  auto drawn = DrawnOnWhite(icon);
  const TColor blended = Pixel(*drawn, 1, 1);
  EXPECT_EQ(Win::GetRValue(blended), 255);
  EXPECT_NEAR(Win::GetGValue(blended), 127, 1);
  EXPECT_EQ(Pixel(*drawn, 4, 1), clWhite);

  const Bytes file = QxTest::SavedBytes(icon);
  EXPECT_EQ(file[12], 32);
  TIcon loaded;
  QxTest::LoadBytes(loaded, file);
  EXPECT_TRUE(Win::IconHasAlpha(loaded.Handle()));
  EXPECT_EQ(Pixel(*DrawnOnWhite(loaded), 1, 1), blended);

  TBitmap bitmap;
  bitmap.Assign(&icon);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap.AlphaFormat(), afDefined);
  EXPECT_EQ(Raw(bitmap, 0, 0), 0x80FF0000u);
  EXPECT_EQ(Raw(bitmap, 3, 0), 0u);

  TIcon masked;
  masked.SetHandle(MakeIcon(false));
  bitmap.Assign(&masked);
  EXPECT_EQ(Raw(bitmap, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Raw(bitmap, 3, 0), 0u);
}

TEST(GraphicsIcon, ChoosesTheNearestEntryAndRejectsBadFiles)
{
  TIcon small, large;
  small.SetHandle(MakeIcon(false));
  Bytes one = QxTest::SavedBytes(small);
  // Two entries: the 4 x 4 frame twice, the second claiming 32 x 32 in the
  // directory but being the same frame with a marker pixel.
  TIcon marked;
  marked.SetHandle(MakeIcon(true));
  Bytes other = QxTest::SavedBytes(marked);
  Bytes two{0, 0, 1, 0, 2, 0};
  const std::uint32_t frameA = std::uint32_t(one.size() - 22), frameB = std::uint32_t(other.size() - 22);
  auto entry = [&](std::uint8_t size, std::uint16_t bits, std::uint32_t bytes, std::uint32_t offset) {
    two.insert(two.end(), {size, size, 0, 0});
    U16(two, 1);
    U16(two, bits);
    U32(two, bytes);
    U32(two, offset);
  };
  entry(16, 24, frameA, 38);
  entry(32, 32, frameB, 38 + frameA);
  two.insert(two.end(), one.begin() + 22, one.end());
  two.insert(two.end(), other.begin() + 22, other.end());
  QxTest::LoadBytes(large, two);
  EXPECT_TRUE(Win::IconHasAlpha(large.Handle())); // 32 x 32 is the standard size
  TIcon wanted;
  wanted.SetSize(16, 16);
  QxTest::LoadBytes(wanted, two);
  EXPECT_FALSE(Win::IconHasAlpha(wanted.Handle()));
  // The file is kept whole, also by a copy, until the icon is given a handle.
  EXPECT_EQ(QxTest::SavedBytes(large), two);
  wanted.Assign(&large);
  EXPECT_EQ(QxTest::SavedBytes(wanted), two);
  wanted.SetHandle(MakeIcon(false));
  EXPECT_EQ(QxTest::SavedBytes(wanted), one);

  Win::HICON before = small.Handle();
  auto rejected = [&](const Bytes& bytes, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_THAT([&] { QxTest::LoadBytes(small, bytes); }, testing::ThrowsMessage<EInvalidGraphic>("Icon image is not valid"));
    EXPECT_EQ(small.Handle(), before);
  };
  for (std::size_t n = 0; n < one.size(); ++n) // a 24-bit frame needs its mask too
    rejected(Bytes(one.begin(), one.begin() + std::ptrdiff_t(n)), "truncated");
  Bytes cursor = one;
  cursor[2] = 2;
  rejected(cursor, "cursor type");
  Bytes outside = one;
  outside[18] = 0xF0;
  rejected(outside, "offset outside the file");
  Bytes png = one;
  png[22] = 0x89, png[23] = 'P', png[24] = 'N', png[25] = 'G';
  rejected(png, "PNG frame");
}

TEST(GraphicsPicture, FindsGraphicClassesByNameAndExtension)
{
  EXPECT_EQ(TPicture::FindGraphicClass("TBitmap"), &TBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("ticon"), &TIcon::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("TPNGObjectX"), nullptr);
  EXPECT_EQ(TPicture::GraphicClassForExtension(".BMP"), &TBitmap::StaticClass());
  EXPECT_EQ(TPicture::GraphicClassForExtension("ico"), &TIcon::StaticClass());
  EXPECT_EQ(TPicture::GraphicClassForExtension(""), nullptr);

  TPicture::RegisterFileFormat("", "", &TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("TTestGraphic"), &TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::GraphicClassForExtension(""), nullptr);
  TPicture::RegisterFileFormat("tst", "Test pictures", &TTestGraphic::StaticClass());

  const std::string dir = QxTest::TempDir();
  TBitmap bitmap(3, 2);
  bitmap.SaveToFile(dir + "/a.tst");
  TPicture picture;
  picture.LoadFromFile(dir + "/a.tst");
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Graphic()->ClassName(), "TTestGraphic");
  EXPECT_EQ(picture.Width(), 3);

  TPicture::UnregisterGraphicClass(&TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("TTestGraphic"), nullptr);
  EXPECT_THAT([&] { picture.LoadFromFile(dir + "/a.tst"); },
              testing::ThrowsMessage<EInvalidGraphic>("Unknown picture file extension (.tst)"));
  EXPECT_EQ(picture.Graphic()->ClassName(), "TTestGraphic"); // unchanged
  EXPECT_THROW(TPicture::RegisterFileFormat("x", "", &TPersistent::StaticClass()), EInvalidOperation);
}

TEST(GraphicsPicture, HoldsCopiesStreamsFormDataAndForwardsChanges)
{
  const std::string dir = QxTest::TempDir();
  TIcon icon;
  icon.SetHandle(MakeIcon(false));
  icon.SaveToFile(dir + "/i.ico");

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &picture);
    ++changes;
  };
  picture.LoadFromFile(dir + "/i.ico");
  EXPECT_EQ(picture.Graphic()->ClassName(), "TIcon");
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(changes, 1);

  TBytesStream data;
  picture.WriteData(&data);
  EXPECT_EQ(data.Bytes()[0], 5);
  data.SetPosition(0);
  TPicture copy;
  copy.ReadData(&data);
  EXPECT_EQ(copy.Graphic()->ClassName(), "TIcon");
  auto drawn = DrawnOnWhite(*copy.Graphic());
  EXPECT_EQ(Pixel(*drawn, 1, 1), clRed);
  EXPECT_EQ(Pixel(*drawn, 3, 1), clWhite);

  TBytesStream unknown;
  WriteGraphicClassName(&unknown, "TFoo");
  unknown.SetPosition(0);
  EXPECT_THROW(copy.ReadData(&unknown), EInvalidGraphic);
  EXPECT_EQ(copy.Graphic()->ClassName(), "TIcon");

  TBitmap* bitmap = picture.Bitmap(); // an icon is replaced by an empty bitmap
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(changes, 2);
  bitmap->SetSize(2, 2);
  bitmap->Canvas()->FillRect(TRect(0, 0, 2, 2));
  EXPECT_GE(changes, 4);

  TPicture other;
  other.Assign(&picture);
  EXPECT_NE(other.Graphic(), picture.Graphic());
  EXPECT_EQ(other.Graphic()->ClassName(), "TBitmap");
  other.Assign(nullptr);
  EXPECT_EQ(other.Graphic(), nullptr);
}

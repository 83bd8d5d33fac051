#include <QxGraphicStreams.hpp>
#include "GraphicsTestHelpers.hpp"

#include <QxTestSupport.hpp>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>

using namespace Vcl;
using namespace GraphicsTest;

namespace {

// A 5 x 3 picture with distinct, exactly representable colours.
void Paint(TBitmap& bitmap)
{
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      bitmap.Canvas()->SetPixels(x, y, TColor(Win::RGB(Byte(40 * x), Byte(70 * y), Byte(x * y + 5))));
}

std::vector<std::uint32_t> Surface(TBitmap& bitmap)
{
  std::vector<std::uint32_t> px;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      px.push_back(Raw(bitmap, x, y));
  return px;
}

Bytes ValidBmp()
{
  TBmpLayout layout;
  layout.Width = 2;
  layout.Height = 2;
  layout.Rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  return MakeBmp(layout);
}

bool HaveTool(const char* name)
{
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

TEST(GraphicsBmp, RoundTripsInEverySavedDepth)
{
  for (TPixelFormat format : {pf24bit, pf32bit, pfDevice}) {
    SCOPED_TRACE(int(format));
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(5, 3);
    Paint(bitmap);
    if (format == pf32bit)
      bitmap.ScanLine(1)[4 * 2 + 3] = 77; // alpha bytes travel in 32-bit files
    TBitmap loaded;
    QxTest::LoadBytes(loaded, QxTest::SavedBytes(bitmap));
    EXPECT_EQ(loaded.PixelFormat(), format == pf32bit ? pf32bit : pf24bit);
    EXPECT_EQ(Surface(loaded), Surface(bitmap));
  }

  TBitmap mono;
  mono.SetMonochrome(true);
  mono.SetSize(11, 3);
  mono.Canvas()->Brush()->SetColor(clWhite);
  mono.Canvas()->FillRect(TRect(0, 0, 11, 3));
  mono.Canvas()->SetPixels(9, 1, clBlack);
  const Bytes file = QxTest::SavedBytes(mono);
  EXPECT_EQ(file[28], 1); // bits per pixel
  TBitmap loaded;
  QxTest::LoadBytes(loaded, file);
  EXPECT_EQ(loaded.PixelFormat(), pf1bit);
  EXPECT_EQ(Pixel(loaded, 9, 1), clBlack);
  EXPECT_EQ(Pixel(loaded, 10, 1), clWhite);
  EXPECT_EQ(loaded.ScanLine(1)[1], 0xA0); // x 8 white, 9 black, 10 white
}

TEST(GraphicsBmp, ReadsPalettesBitFieldsTopDownAndCoreHeaders)
{
  TBitmap bitmap;
  TBmpLayout layout;
  layout.Width = 3;
  layout.Height = 2;

  layout.BitCount = 1; // bottom row first: 1 0 1 / 0 1 1
  layout.Palette = {0x0000FF, 0xFF0000};
  layout.Rows = {0b10100000, 0, 0, 0, 0b01100000, 0, 0, 0};
  QxTest::LoadBytes(bitmap, MakeBmp(layout));
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixel(bitmap, 0, 0), clBlue);
  EXPECT_EQ(Pixel(bitmap, 1, 0), clRed);
  EXPECT_EQ(Pixel(bitmap, 0, 1), clRed);

  layout.BitCount = 4;
  layout.Palette = {0, 0x00FF00, 0xFFFFFF};
  layout.ColorsUsed = 3;
  layout.Rows = {0x12, 0x00, 0, 0, 0x21, 0xF0, 0, 0}; // index 15 is outside the table: black
  QxTest::LoadBytes(bitmap, MakeBmp(layout));
  EXPECT_EQ(Pixel(bitmap, 0, 1), clLime);
  EXPECT_EQ(Pixel(bitmap, 1, 1), clWhite);
  EXPECT_EQ(Pixel(bitmap, 0, 0), clWhite);
  EXPECT_EQ(Pixel(bitmap, 2, 0), clBlack);
  layout.ColorsUsed = 0;

  layout.BitCount = 8;
  layout.Height = -2; // top-down
  layout.Palette = {0x102030, 0x405060};
  layout.ColorsUsed = 2;
  layout.Rows = {1, 0, 0, 0, 0, 1, 1, 0};
  QxTest::LoadBytes(bitmap, MakeBmp(layout));
  EXPECT_EQ(Pixel(bitmap, 0, 0), TColor(Win::RGB(0x40, 0x50, 0x60)));
  EXPECT_EQ(Pixel(bitmap, 0, 1), TColor(Win::RGB(0x10, 0x20, 0x30)));
  layout.Palette.clear();
  layout.ColorsUsed = 0;

  layout.BitCount = 16; // 5-5-5 by default
  layout.Height = 1;
  layout.Rows = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0};
  QxTest::LoadBytes(bitmap, MakeBmp(layout));
  EXPECT_EQ(Pixel(bitmap, 0, 0), clRed);
  EXPECT_EQ(Pixel(bitmap, 1, 0), clLime);
  EXPECT_EQ(Pixel(bitmap, 2, 0), clBlue);

  layout.Compression = Win::BI_BITFIELDS; // 5-6-5 masks after the info header
  layout.Masks = {0xF800, 0x07E0, 0x001F};
  layout.Rows = {0x00, 0xF8, 0xE0, 0x07, 0x10, 0x00, 0, 0};
  QxTest::LoadBytes(bitmap, MakeBmp(layout));
  EXPECT_EQ(Pixel(bitmap, 0, 0), clRed);
  EXPECT_EQ(Pixel(bitmap, 1, 0), clLime);
  EXPECT_EQ(Pixel(bitmap, 2, 0), TColor(Win::RGB(0, 0, 131))); // 16 of 31

  layout.HeaderSize = 124; // V5 with an alpha mask: A R G B in the high-to-low order
  layout.BitCount = 32;
  layout.Width = 1;
  layout.Masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
  layout.Rows = {0x80, 0x11, 0x22, 0x33};
  QxTest::LoadBytes(bitmap, MakeBmp(layout));
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(Raw(bitmap, 0, 0), 0x80112233u);

  TBmpLayout core;
  core.HeaderSize = 12;
  core.Width = 1;
  core.Height = 1;
  core.BitCount = 1; // a core colour table has all 2^n entries, of 3 bytes
  core.Palette = {0x00FF00, 0x0000FF};
  core.Rows = {0x80, 0, 0, 0};
  QxTest::LoadBytes(bitmap, MakeBmp(core));
  EXPECT_EQ(Pixel(bitmap, 0, 0), clBlue);
}

TEST(GraphicsBmp, CorruptFilesRaiseAndLeaveTheBitmapAlone)
{
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 3);
  Paint(bitmap);
  const std::vector<std::uint32_t> before = Surface(bitmap);
  auto expectRejected = [&](const Bytes& bytes, const char* what) {
    SCOPED_TRACE(what);
    TBytesStream stream(bytes);
    EXPECT_THAT([&] { bitmap.LoadFromStream(&stream); }, testing::ThrowsMessage<EInvalidGraphic>("Bitmap image is not valid"));
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(Surface(bitmap), before);
  };

  const Bytes valid = ValidBmp();
  for (std::size_t n = 1; n < valid.size(); ++n)
    expectRejected(Bytes(valid.begin(), valid.begin() + std::ptrdiff_t(n)), "truncated");

  // Little-endian fields written over a copy of a file; at() makes a wrong
  // offset a test failure, and lets the optimiser see every write in bounds.
  auto patched = [](Bytes b, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
      b.at(at + std::size_t(i)) = std::uint8_t(value >> (8 * i));
    return b;
  };
  expectRejected(patched(valid, 0, 'X', 1), "magic");
  expectRejected(patched(valid, 10, 20, 4), "pixels inside the header");
  expectRejected(patched(valid, 14, 41, 4), "header size");
  expectRejected(patched(valid, 18, 0, 4), "zero width");
  expectRejected(patched(valid, 22, 0x80000000u, 4), "INT_MIN height");
  expectRejected(patched(valid, 26, 2, 2), "planes");
  expectRejected(patched(valid, 28, 7, 2), "bit count");
  expectRejected(patched(valid, 30, 1, 4), "RLE");
  expectRejected(patched(valid, 30, Win::BI_BITFIELDS, 4), "24-bit bit fields");
  expectRejected(patched(valid, 46, 300, 4), "colours used");
  expectRejected(patched(patched(valid, 18, 100000, 4), 22, 100000, 4), "too large");
  expectRejected(patched(valid, 18, 0x7FFFFFFF, 4), "row size overflow");

  // An empty stream empties the bitmap, as the framework does.
  TBytesStream empty;
  bitmap.LoadFromStream(&empty);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(GraphicsBmp, FormDataCarriesALengthPrefix)
{
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 2);
  Paint(bitmap);
  TBytesStream data;
  bitmap.WriteData(&data);
  EXPECT_EQ(data.Size(), 4 + Int64(QxTest::SavedBytes(bitmap).size()));
  data.SetPosition(0);
  TBitmap loaded;
  loaded.ReadData(&data);
  EXPECT_EQ(Surface(loaded), Surface(bitmap));

  Bytes lying = BytesOf(data);
  lying[0] = 0xFF;
  TBytesStream bad(lying);
  EXPECT_THROW(loaded.ReadData(&bad), EReadError);
  EXPECT_EQ(Surface(loaded), Surface(bitmap));
}

TEST(GraphicsBmp, AgreesWithAnIndependentCodec)
{
  if (!HaveTool("ppmtobmp") || !HaveTool("bmptopnm"))
    GTEST_SKIP() << "netpbm is not installed";
  const std::string dir = QxTest::TempDir();
  // Four colours, so every depth from 8 bits up holds them exactly.
  {
    std::ofstream ppm(dir + "/in.ppm", std::ios::binary);
    ppm << "P6\n3 2\n255\n";
    const unsigned char px[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 255, 255, 0, 0};
    ppm.write(reinterpret_cast<const char*>(px), sizeof px);
  }
  const TColor expected[2][3] = {{clRed, clLime, clBlue}, {clWhite, clBlue, clRed}};
  for (const char* bpp : {"4", "8", "24"}) {
    SCOPED_TRACE(bpp);
    const std::string bmp = dir + "/out" + bpp + ".bmp";
    ASSERT_EQ(std::system(("ppmtobmp -bpp=" + std::string(bpp) + " " + dir + "/in.ppm > " + bmp + " 2>/dev/null").c_str()), 0);
    TBitmap bitmap;
    bitmap.LoadFromFile(bmp);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(Pixel(bitmap, x, y), expected[y][x]) << x << "," << y;

    bitmap.SaveToFile(dir + "/ours.bmp");
    ASSERT_EQ(std::system(("bmptopnm " + dir + "/ours.bmp > " + dir + "/back.ppm 2>/dev/null").c_str()), 0);
    const Bytes back = QxTest::ReadBytes(dir + "/back.ppm");
    ASSERT_GE(back.size(), 18u);
    const Bytes pixels(back.end() - 18, back.end());
    const Bytes want = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 255, 255, 0, 0};
    EXPECT_EQ(pixels, want);
  }
}

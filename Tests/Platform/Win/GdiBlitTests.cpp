#include <QxSurface.hpp>

#include <cstring>
#include <gtest/gtest.h>

using namespace Win;
using QxTest::TSurface;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = 0, kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255),
                   kGreen = RGB(0, 255, 0);

void Put(TSurface& c, int x, int y, std::uint32_t raw)
{
  BitmapBits(c.Bitmap)[y * c.Width() + x] = raw;
}

// A source canvas with a distinct colour in every pixel.
void Paint(TSurface& c)
{
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      SetPixel(c.DC, x, y, RGB(x * 40, y * 40, 100));
}

// A BITMAPINFO with room for a 256-entry colour table.
struct TDibInfo {
  TDibInfo() = default;
  TDibInfo(int width, int height, WORD bitCount, DWORD compression = BI_RGB)
  {
    Header.biWidth = width;
    Header.biHeight = height;
    Header.biBitCount = bitCount;
    Header.biCompression = compression;
  }
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// A 108-byte header: the basic one followed by the four masks and the
// colour-space fields.
struct TV4Header {
  BITMAPINFOHEADER Basic;
  DWORD Masks[4] = {};
  std::uint8_t Rest[52] = {};
};
static_assert(sizeof(TV4Header) == 108);

} // namespace

TEST(GdiBlit, BitBltCopiesAllBitsWithOrigins)
{
  TSurface src(4, 3), dst(6, 5, kBlack);
  Paint(src);
  Put(src, 1, 1, 0x80402010u); // premultiplied, half transparent
  SetWindowOrgEx(src.DC, 1, 0, nullptr);
  SetWindowOrgEx(dst.DC, -1, -1, nullptr);
  EXPECT_TRUE(BitBlt(dst.DC, 0, 0, 3, 2, src.DC, 1, 0, SRCCOPY));
  // Logical (1, 0) of the source is its surface's (0, 0); logical (0, 0) of
  // the destination is its surface's (1, 1).
  EXPECT_EQ(dst.At(1, 1), src.At(0, 0));
  EXPECT_EQ(dst.At(3, 2), src.At(2, 1));
  EXPECT_EQ(dst.Raw(2, 2), 0x80402010u) << "SRCCOPY keeps alpha";
  EXPECT_EQ(dst.At(4, 1), kBlack);
  EXPECT_EQ(dst.At(1, 3), kBlack);
  EXPECT_EQ(dst.At(0, 0), kBlack);
}

TEST(GdiBlit, OverlappingBlitOnOneSurface)
{
  TSurface c(5, 1);
  Paint(c);
  auto before = c.Pixels();
  BitBlt(c.DC, 1, 0, 4, 1, c.DC, 0, 0, SRCCOPY);
  for (int x = 1; x < 5; ++x)
    EXPECT_EQ(c.Raw(x, 0), before[std::size_t(x - 1)]);
}

TEST(GdiBlit, RasterOperations)
{
  TSurface src(1, 1, RGB(0x0F, 0xF0, 0x33)), dst(1, 1);
  auto run = [&](DWORD rop, COLORREF before) {
    dst.Clear(before);
    EXPECT_TRUE(BitBlt(dst.DC, 0, 0, 1, 1, src.DC, 0, 0, rop));
    return dst.At(0, 0);
  };
  EXPECT_EQ(run(SRCAND, RGB(0xFF, 0x0F, 0x01)), RGB(0x0F, 0x00, 0x01));
  EXPECT_EQ(run(SRCPAINT, RGB(0xF0, 0x0F, 0x01)), RGB(0xFF, 0xFF, 0x33));
  EXPECT_EQ(run(SRCINVERT, RGB(0xFF, 0xFF, 0xFF)), RGB(0xF0, 0x0F, 0xCC));
  EXPECT_EQ(run(NOTSRCCOPY, kBlack), RGB(0xF0, 0x0F, 0xCC));
  EXPECT_EQ(run(SRCERASE, kBlack), RGB(0x0F, 0xF0, 0x33));
  EXPECT_EQ(run(NOTSRCERASE, kBlack), RGB(0xF0, 0x0F, 0xCC));
  EXPECT_EQ(run(MERGEPAINT, RGB(0, 0x0F, 0)), RGB(0xF0, 0x0F, 0xCC));
  EXPECT_EQ(run(DSTINVERT, kBlack), kWhite);
  SelectObject(dst.DC, GetStockObject(GRAY_BRUSH));
  EXPECT_EQ(run(MERGECOPY, kBlack), RGB(0x00, 0x80, 0x00));
  EXPECT_EQ(run(PATCOPY, kBlack), RGB(128, 128, 128));
  EXPECT_EQ(run(PATPAINT, kBlack), RGB(0xF0 | 0x80, 0x8F, 0xCC | 0x80));
  EXPECT_EQ(dst.Raw(0, 0) >> 24, 255u);
  EXPECT_FALSE(BitBlt(dst.DC, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.DC, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS)) << "no source needed";
  EXPECT_EQ(dst.At(0, 0), kWhite);
}

TEST(GdiBlit, PatternFollowsTheDestinationPixels)
{
  TSurface src(4, 1, kWhite), dst(6, 1, kBlack);
  HBITMAP tile = CreateBitmap32(2, 1);
  BitmapBits(tile)[0] = 0xFF00FF00u;
  BitmapBits(tile)[1] = 0xFF000000u;
  HBRUSH pattern = CreatePatternBrush(tile);
  DeleteObject(tile);
  SelectObject(dst.DC, pattern);
  BitBlt(dst.DC, 1, 0, 4, 1, src.DC, 0, 0, MERGECOPY); // pattern AND source
  EXPECT_EQ(dst.Row(0, kGreen), "..#.#.");
  StretchBlt(dst.DC, 0, 0, 6, 1, src.DC, 0, 0, 2, 1, MERGECOPY);
  EXPECT_EQ(dst.Row(0, kGreen), "#.#.#.");
  SelectObject(dst.DC, GetStockObject(WHITE_BRUSH));
  DeleteObject(pattern);
}

TEST(GdiBlit, StretchNearestMirrorAndHalftone)
{
  TSurface src(2, 2), dst(4, 4);
  SetPixel(src.DC, 0, 0, kRed);
  SetPixel(src.DC, 1, 0, kGreen);
  SetPixel(src.DC, 0, 1, kBlue);
  SetPixel(src.DC, 1, 1, kBlack);
  EXPECT_EQ(SetStretchBltMode(dst.DC, COLORONCOLOR), BLACKONWHITE);
  StretchBlt(dst.DC, 0, 0, 4, 4, src.DC, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(dst.Row(0, kRed), "##..");
  EXPECT_EQ(dst.Row(1, kGreen), "..##");
  EXPECT_EQ(dst.Row(3, kBlue), "##..");
  // A negative width mirrors.
  StretchBlt(dst.DC, 4, 0, -4, 4, src.DC, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(dst.Row(0, kRed), "..##");
  EXPECT_EQ(dst.Row(0, kGreen), "##..");

  // Shrinking 2 x 2 to one pixel: HALFTONE averages, COLORONCOLOR picks.
  TSurface one(1, 1);
  SetStretchBltMode(one.DC, HALFTONE);
  StretchBlt(one.DC, 0, 0, 1, 1, src.DC, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), RGB(64, 64, 64));
  SetStretchBltMode(one.DC, COLORONCOLOR);
  StretchBlt(one.DC, 0, 0, 1, 1, src.DC, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), kBlack);
}

TEST(GdiBlit, AlphaBlendArithmetic)
{
  TSurface src(2, 1), dst(2, 1);
  BLENDFUNCTION blend;

  // Constant alpha only: every channel mixed by SCA / 255.
  src.Clear(kRed);
  dst.Clear(kBlue);
  blend.SourceConstantAlpha = 128;
  EXPECT_TRUE(AlphaBlend(dst.DC, 0, 0, 2, 1, src.DC, 0, 0, 2, 1, blend));
  EXPECT_EQ(dst.Raw(0, 0), 0xFF80007Fu);

  // Per-pixel premultiplied alpha: Dst = Src + Dst * (255 - SrcAlpha) / 255.
  Put(src, 0, 0, 0x80800000u); // red at half alpha
  Put(src, 1, 0, 0x00000000u); // fully transparent
  dst.Clear(kWhite);
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = AC_SRC_ALPHA;
  EXPECT_TRUE(AlphaBlend(dst.DC, 0, 0, 2, 1, src.DC, 0, 0, 2, 1, blend));
  EXPECT_EQ(dst.Raw(0, 0), 0xFFFF7F7Fu);
  EXPECT_EQ(dst.Raw(1, 0), 0xFFFFFFFFu);

  // Both: the source is scaled by SCA first, its alpha too.
  Put(src, 0, 0, 0xFFFF0000u);
  dst.Clear(kBlack);
  Put(dst, 0, 0, 0x00000000u);
  blend.SourceConstantAlpha = 64;
  AlphaBlend(dst.DC, 0, 0, 1, 1, src.DC, 0, 0, 1, 1, blend);
  EXPECT_EQ(dst.Raw(0, 0), 0x40400000u) << "stays premultiplied over transparency";

  // Stretching, and the failures.
  TSurface big(4, 2);
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = 0;
  EXPECT_TRUE(AlphaBlend(big.DC, 0, 0, 4, 2, src.DC, 0, 0, 1, 1, blend));
  EXPECT_EQ(big.Count(kRed), 8);
  EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, 2, 1, src.DC, 1, 0, 2, 1, blend)) << "source outside its surface";
  EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, -2, 1, src.DC, 0, 0, 2, 1, blend));
  blend.BlendOp = 1;
  EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, 1, 1, src.DC, 0, 0, 1, 1, blend));
}

TEST(GdiBlit, TransparentBltSkipsTheKeyColour)
{
  TSurface src(3, 1, kGreen), dst(6, 1, kBlue);
  SetPixel(src.DC, 1, 0, kRed);
  EXPECT_TRUE(TransparentBlt(dst.DC, 0, 0, 6, 1, src.DC, 0, 0, 3, 1, kGreen));
  EXPECT_EQ(dst.Row(0, kRed), "..##..");
  EXPECT_EQ(dst.Row(0, kBlue), "##..##");
  EXPECT_FALSE(TransparentBlt(dst.DC, 0, 0, 1, 1, src.DC, 0, 0, 4, 1, kGreen));
}

TEST(GdiDib, HeaderOnlyThenRoundTrip)
{
  TSurface src(5, 3), dst(5, 3, kBlack);
  Paint(src);
  // All zero but the size, as a caller asking for the format prepares it.
  BITMAPINFOHEADER header;
  header.biPlanes = 0;
  auto* info = reinterpret_cast<BITMAPINFO*>(&header);
  ASSERT_NE(GetDIBits(src.DC, src.Bitmap, 0, 3, nullptr, info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(header.biWidth, 5);
  EXPECT_EQ(header.biHeight, 3);
  EXPECT_EQ(header.biBitCount, 32);
  EXPECT_EQ(header.biCompression, BI_RGB);
  EXPECT_EQ(header.biSizeImage, 5u * 3 * 4);

  std::vector<std::uint32_t> bits(15);
  TDibInfo full;
  full.Header = header;
  EXPECT_EQ(GetDIBits(src.DC, src.Bitmap, 0, 3, bits.data(), full.Info(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(bits[0], src.Raw(0, 2)) << "bottom-up: the first row is the bottom one";
  EXPECT_EQ(StretchDIBits(dst.DC, 0, 0, 5, 3, 0, 0, 5, 3, bits.data(), full.Info(), DIB_RGB_COLORS, SRCCOPY), 3);
  EXPECT_EQ(dst.Pixels(), src.Pixels());
}

TEST(GdiDib, TwentyFourBitRowsArePadded)
{
  TSurface src(3, 2), dst(3, 2, kBlack);
  Paint(src);
  TDibInfo info(3, -2, 24);
  std::vector<std::uint8_t> bits(2 * 12, 0xEE);
  EXPECT_EQ(GetDIBits(src.DC, src.Bitmap, 0, 2, bits.data(), info.Info(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(info.Header.biSizeImage, 24u);
  EXPECT_EQ(bits[3], 100) << "blue of pixel (1, 0)";
  EXPECT_EQ(bits[4], 0) << "green";
  EXPECT_EQ(bits[5], 40) << "red";
  EXPECT_EQ(bits[9], 0) << "padding is cleared";
  StretchDIBits(dst.DC, 0, 0, 3, 2, 0, 0, 3, 2, bits.data(), info.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(dst.Pixels(), src.Pixels());
}

TEST(GdiDib, PaletteFormatsDraw)
{
  TSurface dst(10, 2, kWhite);
  TDibInfo info(10, 2, 1); // bottom-up
  info.Colors[0].rgbRed = 255;
  info.Colors[1].rgbBlue = 255;
  const std::uint8_t mono[] = {0b10100000, 0b01000000, 0, 0,   // bottom row
                               0b11111111, 0b11000000, 0, 0};  // top row
  EXPECT_EQ(StretchDIBits(dst.DC, 0, 0, 10, 2, 0, 0, 10, 2, mono, info.Info(), DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(dst.Row(0, kBlue), "##########");
  EXPECT_EQ(dst.Row(1, kBlue), "#.#......#");
  EXPECT_EQ(dst.Row(1, kRed), ".#.######.");

  info.Header.biBitCount = 4;
  info.Header.biClrUsed = 2;
  info.Header.biHeight = -1;
  const std::uint8_t nibbles[] = {0x01, 0x10, 0x21, 0x00, 0x00, 0, 0, 0};
  StretchDIBits(dst.DC, 0, 0, 10, 1, 0, 0, 10, 1, nibbles, info.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(dst.Row(0, kBlue), ".##..#....");
  EXPECT_EQ(dst.At(4, 0), kBlack) << "an index past the table is black";

  info.Header.biBitCount = 8;
  info.Header.biClrUsed = 0;
  info.Colors[200].rgbGreen = 255;
  const std::uint8_t bytes[] = {200, 1, 0, 200, 1, 1, 1, 1, 1, 1, 0, 0};
  StretchDIBits(dst.DC, 0, 0, 10, 1, 0, 0, 10, 1, bytes, info.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(dst.Row(0, kGreen), "#..#......");
}

TEST(GdiDib, ReadingIntoPaletteFormats)
{
  TSurface src(4, 1);
  SetPixel(src.DC, 0, 0, kBlack);
  SetPixel(src.DC, 1, 0, RGB(250, 250, 250));
  SetPixel(src.DC, 2, 0, RGB(10, 0, 0));
  SetPixel(src.DC, 3, 0, RGB(255, 0, 0));
  TDibInfo info(4, 1, 1);
  std::uint8_t mono[4] = {};
  EXPECT_EQ(GetDIBits(src.DC, src.Bitmap, 0, 1, mono, info.Info(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(mono[0], 0b01000000);
  EXPECT_EQ(info.Colors[1].rgbRed, 255);

  info.Header.biBitCount = 8;
  std::uint8_t indexes[4] = {};
  GetDIBits(src.DC, src.Bitmap, 0, 1, indexes, info.Info(), DIB_RGB_COLORS);
  const RGBQUAD& red = info.Colors[indexes[3]];
  EXPECT_EQ(red.rgbRed, 255);
  EXPECT_EQ(red.rgbGreen, 0);
  EXPECT_EQ(info.Colors[indexes[0]].rgbRed, 0);
}

TEST(GdiDib, BitFieldHeaderReadsTheFourthByte)
{
  TSurface src(2, 2);
  Put(src, 1, 0, 0x7F010203u);
  TV4Header v4;
  v4.Basic.biSize = sizeof v4;
  v4.Basic.biWidth = 2;
  v4.Basic.biHeight = -2;
  v4.Basic.biPlanes = 1;
  v4.Basic.biBitCount = 32;
  v4.Basic.biCompression = BI_BITFIELDS;
  std::uint32_t bits[4] = {};
  EXPECT_EQ(GetDIBits(src.DC, src.Bitmap, 0, 2, bits, reinterpret_cast<BITMAPINFO*>(&v4), DIB_RGB_COLORS), 2);
  EXPECT_EQ(bits[1], 0x7F010203u);
  EXPECT_EQ(v4.Masks[0], 0xFF0000u);
  EXPECT_EQ(v4.Masks[2], 0xFFu);

  // 16-bit 5-6-5 fields drawn.
  TSurface dst(2, 1);
  TDibInfo info(2, 1, 16, BI_BITFIELDS);
  const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
  std::memcpy(info.Colors, masks, sizeof masks);
  const std::uint16_t words[2] = {0xF800, 0x07E0};
  StretchDIBits(dst.DC, 0, 0, 2, 1, 0, 0, 2, 1, words, info.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), kRed);
  EXPECT_EQ(dst.At(1, 0), kGreen);
}

TEST(GdiDib, BadInputFails)
{
  TSurface c(2, 2);
  TDibInfo info(2, 2, 7);
  std::uint32_t bits[4] = {};
  EXPECT_EQ(StretchDIBits(c.DC, 0, 0, 2, 2, 0, 0, 2, 2, bits, info.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(GetDIBits(c.DC, c.Bitmap, 0, 2, bits, info.Info(), DIB_RGB_COLORS), 0);
  info.Header.biBitCount = 32;
  EXPECT_EQ(StretchDIBits(c.DC, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, info.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(c.DC, 0, 0, 2, 2, 0, 0, 2, 2, bits, info.Info(), 1, SRCCOPY), 0);
  info.Header.biWidth = 100000;
  info.Header.biHeight = 100000;
  EXPECT_EQ(StretchDIBits(c.DC, 0, 0, 2, 2, 0, 0, 2, 2, bits, info.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  info.Header.biWidth = 3;
  info.Header.biHeight = 2;
  EXPECT_EQ(GetDIBits(c.DC, c.Bitmap, 0, 2, bits, info.Info(), DIB_RGB_COLORS), 0) << "width must match";
  info.Header.biWidth = 2;
  EXPECT_EQ(GetDIBits(c.DC, c.Bitmap, 5, 2, bits, info.Info(), DIB_RGB_COLORS), 0) << "start past the end";
  EXPECT_EQ(GetDIBits(c.DC, c.Bitmap, 1, 9, bits, info.Info(), DIB_RGB_COLORS), 1);
}

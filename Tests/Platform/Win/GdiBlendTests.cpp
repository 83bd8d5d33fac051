// AlphaBlend's and text's vector code against the plain per-pixel code, bit
// for bit.
#include <QxSurface.hpp>
#include <QxVectorTargets.hpp>

#include "Win.Gdi.Blend.hpp"
#include "Win.Gdi.Raster.hpp"

#include <cstring>
#include <gtest/gtest.h>

using namespace Win;
using QxTest::TSurface;

namespace {

std::vector<std::uint32_t> RandomPixels(std::size_t Count, std::uint32_t Seed)
{
  std::vector<std::uint8_t> bytes = QxTest::RandomBytes(Count * 4, Seed);
  std::vector<std::uint32_t> pixels(Count);
  std::memcpy(pixels.data(), bytes.data(), bytes.size());
  return pixels;
}

// Every way of blending: constant alpha alone, per-pixel alpha scaled by it.
std::vector<BLENDFUNCTION> Blends()
{
  std::vector<BLENDFUNCTION> blends;
  for (BYTE format : {BYTE(0), AC_SRC_ALPHA})
    for (BYTE constant : {0, 1, 64, 127, 128, 200, 254, 255}) {
      BLENDFUNCTION b;
      b.SourceConstantAlpha = constant;
      b.AlphaFormat = format;
      blends.push_back(b);
    }
  return blends;
}

} // namespace

TEST(GdiBlend, RunsMatchThePlainCode)
{
  std::vector<int> sizes = QxTest::VectorEdgeSizes();
  sizes.push_back(4096);
  QxTest::ForEachVectorTarget([&] {
    for (int n : sizes)
      for (const BLENDFUNCTION& blend : Blends()) {
        auto src = RandomPixels(std::size_t(n), std::uint32_t(n));
        // Stretches of transparent pixels, as a plot or an icon has, across
        // whole vectors and parts of them.
        for (std::size_t i = 0; i < src.size(); ++i)
          if (i / 37 % 2)
            src[i] = 0;
        auto expected = RandomPixels(std::size_t(n), std::uint32_t(n) + 1);
        auto actual = expected;
        BlendRunReference(expected.data(), src.data(), expected.size(), blend);
        BlendRun(actual.data(), src.data(), actual.size(), blend);
        ASSERT_EQ(actual, expected) << n << " pixels, constant " << int(blend.SourceConstantAlpha)
                                    << ", format " << int(blend.AlphaFormat);
      }
  });
}

// Glyph coverage: bare, full and partial pixels side by side, under colours
// with and without alpha; the reference itself is the per-channel formula.
TEST(GdiBlend, CoverageRunsMatchThePlainFormula)
{
  std::vector<int> sizes = QxTest::VectorEdgeSizes();
  sizes.push_back(4096);
  for (std::uint32_t v = 0; v < 256; ++v) { // bare pixels stay, covered ones take the colour
    ASSERT_EQ(BlendOverPlain(0x12345678u, v * 0x01010101u, 0), v * 0x01010101u);
    ASSERT_EQ(BlendOverPlain(v * 0x01010101u, 0x9ABCDEF0u, 255), v * 0x01010101u);
  }
  QxTest::ForEachVectorTarget([&] {
    for (int n : sizes)
      for (std::uint32_t src : {0xFF000000u, 0xFFFFFFFFu, 0xFF0A246Au, 0x80C0FF01u}) {
        std::vector<std::uint8_t> coverage = QxTest::RandomBytes(std::size_t(n), std::uint32_t(n) + 2);
        for (std::size_t i = 0; i < coverage.size(); i += 3)
          coverage[i] = i % 2 ? 255 : 0;
        auto expected = RandomPixels(std::size_t(n), std::uint32_t(n) + 3);
        auto actual = expected;
        for (std::size_t i = 0; i < expected.size(); ++i)
          expected[i] = BlendOverPlain(src, expected[i], coverage[i]);
        CoverageRun(actual.data(), coverage.data(), actual.size(), src);
        ASSERT_EQ(actual, expected) << n << " pixels, colour " << src;
      }
  });
}

TEST(GdiBlend, ClippedAndOverlappingBlitsMatchThePlainCode)
{
  // A surface blended onto itself one pixel down and three right, inside a
  // clip rectangle: every pixel blends with the source as it was.
  constexpr int kWidth = 37, kHeight = 9;
  TSurface s(kWidth, kHeight);
  const auto before = RandomPixels(std::size_t(kWidth) * kHeight, 7);
  std::memcpy(BitmapBits(s.Bitmap), before.data(), before.size() * 4);
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = 200;
  blend.AlphaFormat = AC_SRC_ALPHA;
  IntersectClipRect(s.DC, 5, 2, 31, 8);
  ASSERT_TRUE(AlphaBlend(s.DC, 3, 1, 30, 7, s.DC, 0, 0, 30, 7, blend));

  auto expected = before;
  for (int y = 2; y < 8; ++y)
    for (int x = 5; x < 31; ++x)
      expected[size_t(y * kWidth + x)] = BlendPixel(before[size_t((y - 1) * kWidth + x - 3)],
                                                    before[size_t(y * kWidth + x)], blend);
  EXPECT_EQ(s.Pixels(), expected);
}

// A stretched blend takes the source pixels a stretched copy takes and
// blends each of them as the plain code does: grown, shrunk and uneven,
// clipped around a hole (rows of two spans), with runs that leave the source.
TEST(GdiBlend, StretchedBlitsMatchThePlainCode)
{
  constexpr int kWidth = 41, kHeight = 23, kSrcWidth = 13, kSrcHeight = 7;
  TSurface src(kSrcWidth, kSrcHeight);
  const auto source = RandomPixels(std::size_t(kSrcWidth) * kSrcHeight, 11);
  std::memcpy(BitmapBits(src.Bitmap), source.data(), source.size() * 4);
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = 180;
  blend.AlphaFormat = AC_SRC_ALPHA;
  struct {
    int X, Y, Width, Height;
  } const places[] = {{2, 1, 37, 20}, {5, 3, 6, 4}, {-9, 2, 50, 5}, {1, 0, 40, 23}};
  for (const auto& at : places) {
    TSurface stretched(at.Width, at.Height);
    ASSERT_TRUE(StretchBlt(stretched.DC, 0, 0, at.Width, at.Height, src.DC, 0, 0, kSrcWidth, kSrcHeight, SRCCOPY));
    TSurface s(kWidth, kHeight);
    const auto before = RandomPixels(std::size_t(kWidth) * kHeight, std::uint32_t(at.Width));
    std::memcpy(BitmapBits(s.Bitmap), before.data(), before.size() * 4);
    IntersectClipRect(s.DC, 3, 2, 38, 21);
    ExcludeClipRect(s.DC, 10, 5, 20, 9);
    ASSERT_TRUE(AlphaBlend(s.DC, at.X, at.Y, at.Width, at.Height, src.DC, 0, 0, kSrcWidth, kSrcHeight, blend));

    auto expected = before;
    for (int y = std::max(2, at.Y); y < std::min(21, at.Y + at.Height); ++y)
      for (int x = std::max(3, at.X); x < std::min(38, at.X + at.Width); ++x)
        if (x < 10 || x >= 20 || y < 5 || y >= 9)
          expected[size_t(y * kWidth + x)] =
            BlendPixel(stretched.Raw(x - at.X, y - at.Y), before[size_t(y * kWidth + x)], blend);
    EXPECT_EQ(s.Pixels(), expected) << at.X << ", " << at.Y << ", " << at.Width << " x " << at.Height;
  }
}

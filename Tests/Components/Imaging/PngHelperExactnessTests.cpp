// The PNG helper's vector rows against its plain code, bit for bit, on every
// instruction set the CPU runs: random images of many sizes, every colour
// type, sources partly or wholly outside, an image drawn onto itself.
#include "Quorex.Imaging.PngHelper.Reference.hpp"

#include <Quorex.Imaging.PngHelper.hpp>
#include <Quorex.Vcl.PngFunctions.hpp>
#include <QxVectorTargets.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace Vcl;
using namespace Quorex;
namespace H = Quorex::TPngImageHelper;
namespace Ref = Quorex::TPngImageHelper::Reference;

namespace {

// Random bytes with many 0s and 255s, so that the blend's special cases
// (opaque, clear, both clear) come up often.
class TRandomBytes {
public:
  explicit TRandomBytes(std::uint32_t Seed) : FRandom(Seed) {}
  Byte Next()
  {
    const std::uint32_t r = FRandom();
    return (r & 3) == 0 ? 0 : (r & 3) == 1 ? 255 : Byte(r >> 8);
  }

private:
  std::mt19937 FRandom;
};

// A random 8-bit image; a keyed one (colour type 2 with a transparent colour)
// has that colour in about every fourth pixel.
std::unique_ptr<TPngImage> RandomPng(Byte ColorType, int W, int H, std::uint32_t Seed, bool Keyed = false)
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(ColorType, 8, W, H);
  TRandomBytes random(Seed);
  const size_t rowBytes = size_t(W) * (ColorType == COLOR_RGB || ColorType == COLOR_RGBALPHA ? 3 : 1);
  for (int y = 0; y < H; ++y) {
    Byte* row = png->Scanline(y);
    for (size_t i = 0; i < rowBytes; ++i)
      row[i] = random.Next();
    if (Byte* alpha = png->AlphaScanline(y))
      for (int x = 0; x < W; ++x)
        alpha[x] = random.Next();
    if (Keyed)
      for (int x = 0; x < W; x += 4)
        std::memset(row + size_t(x) * 3, 0x20, 3);
  }
  if (Keyed)
    png->SetTransparentColor(TColor(0x202020));
  return png;
}

std::unique_ptr<TPngImage> Copy(const TPngImage& Png)
{
  auto copy = std::make_unique<TPngImage>();
  copy->Assign(&Png);
  return copy;
}

// Same header, settings, colour rows and alpha rows.
::testing::AssertionResult Same(const TPngImage& A, const TPngImage& B)
{
  if (!(A.Header() == B.Header()))
    return ::testing::AssertionFailure() << "headers differ";
  if (A.Gamma() != B.Gamma() || A.CompressionLevel() != B.CompressionLevel() || !(A.Filters() == B.Filters()))
    return ::testing::AssertionFailure() << "settings differ";
  const TChunkIHDR& h = A.Header();
  const size_t rowBytes = size_t(h.Width) * (h.ColorType == COLOR_RGB || h.ColorType == COLOR_RGBALPHA ? 3 : 1);
  for (int y = 0; y < h.Height; ++y) {
    if (std::memcmp(A.Scanline(y), B.Scanline(y), rowBytes) != 0)
      return ::testing::AssertionFailure() << "colour row " << y << " differs";
    const Byte *a = A.AlphaScanline(y), *b = B.AlphaScanline(y);
    if ((a == nullptr) != (b == nullptr) || (a && std::memcmp(a, b, size_t(h.Width)) != 0))
      return ::testing::AssertionFailure() << "alpha row " << y << " differs";
  }
  return ::testing::AssertionSuccess();
}

std::vector<int> WidthsWithWide()
{
  std::vector<int> widths = QxTest::VectorEdgeSizes();
  widths.push_back(4096);
  return widths;
}

} // namespace

TEST(PngHelperExactness, SmoothResizeMatchesThePlainCode)
{
  std::vector<int> sides = QxTest::VectorEdgeSizes();
  std::erase(sides, 1);
  // 9 rows to 13 reads every source row for several destination rows; to 5,
  // some rows for one and some for two; to 2, each row for one at most.
  QxTest::ForEachVectorTarget([&] {
    for (Byte type : {COLOR_RGB, COLOR_RGBALPHA})
      for (int from : sides)
        for (int to : QxTest::VectorEdgeSizes())
          for (int toHeight : {13, 5, 2}) {
            SCOPED_TRACE(testing::Message() << int(type) << ": " << from << " -> " << to << "x" << toHeight);
            auto source = RandomPng(type, from, 9, std::uint32_t(from * 131 + to));
            auto expected = Copy(*source);
            Ref::SmoothResize(*expected, to, toHeight);
            H::SmoothResize(*source, to, toHeight);
            ASSERT_TRUE(Same(*source, *expected));
          }
  });
}

TEST(PngHelperExactness, SmoothResizeMatchesThePlainCodeAtEveryRatio)
{
  struct TCase {
    int FromW, FromH, ToW, ToH;
  };
  // Growing and shrinking by a little, by whole and odd factors, to and from
  // the smallest sizes, and 1:1; every one on random pixels and on a white
  // opaque image, whose sums come nearest the top of the byte range.
  const TCase cases[] = {{4096, 3, 4097, 4}, {4096, 2, 1000, 3}, {1024, 9, 256, 2},  {256, 256, 64, 64},
                         {97, 61, 203, 131}, {2, 2, 4096, 3},    {4096, 5, 1, 2},    {4096, 4, 3, 1},
                         {300, 7, 300, 7},   {33, 40, 1, 1},     {5, 3, 1000, 200},  {1000, 3, 999, 2}};
  QxTest::ForEachVectorTarget([&] {
    for (TCase c : cases)
      for (bool white : {false, true}) {
        SCOPED_TRACE(testing::Message() << c.FromW << "x" << c.FromH << " -> " << c.ToW << "x" << c.ToH
                                        << (white ? " white" : ""));
        auto source = RandomPng(COLOR_RGBALPHA, c.FromW, c.FromH, std::uint32_t(c.ToW));
        if (white)
          for (int y = 0; y < c.FromH; ++y) {
            std::memset(source->Scanline(y), 255, size_t(c.FromW) * 3);
            std::memset(source->AlphaScanline(y), 255, size_t(c.FromW));
          }
        auto expected = Copy(*source);
        Ref::SmoothResize(*expected, c.ToW, c.ToH);
        H::SmoothResize(*source, c.ToW, c.ToH);
        ASSERT_TRUE(Same(*source, *expected));
      }
  });
}

TEST(PngHelperExactness, DrawPngMatchesThePlainCodeForEveryFormatAndPlacement)
{
  struct TFormat {
    Byte Type;
    bool Keyed;
  };
  const TFormat formats[] = {{COLOR_RGB, false}, {COLOR_RGBALPHA, false}, {COLOR_RGB, true},
                             {COLOR_GRAYSCALE, false}, {COLOR_PALETTE, false}};
  // Over the middle, past each edge, wholly outside, and far outside (where
  // the source's far edge lies beyond the largest coordinate).
  const TPoint places[] = {{0, 0},   {3, 2},  {-5, -1},         {20, 7},         {-40, 0},
                           {50, 50}, {1, -9}, {-2147483647, 3}, {2147483640, 0}, {0, 2147483645}};
  QxTest::ForEachVectorTarget([&] {
    std::uint32_t seed = 1;
    for (const TFormat& base : formats)
      for (const TFormat& over : formats)
        for (TPoint place : places)
          for (Byte factor : {Byte(0), Byte(77), Byte(255)}) {
            SCOPED_TRACE(testing::Message() << int(base.Type) << base.Keyed << " under " << int(over.Type)
                                            << over.Keyed << " at " << place.X << "," << place.Y << " factor "
                                            << int(factor));
            auto self = RandomPng(base.Type, 37, 9, ++seed, base.Keyed);
            self->SetGamma(45455);
            self->SetCompressionLevel(9);
            self->SetInterlaceMethod(imAdam7);
            auto source = RandomPng(over.Type, 23, 6, ++seed, over.Keyed);
            auto expected = Copy(*self);
            Ref::DrawPng(*expected, source.get(), place, factor);
            H::DrawPng(*self, source.get(), place, factor);
            ASSERT_TRUE(Same(*self, *expected));
          }
  });
}

TEST(PngHelperExactness, DrawPngMatchesThePlainCodeForEveryPairOfAlphas)
{
  // The base's alpha is its column and the source's its row, so every pair
  // meets once, and the source's rows hold whole runs of clear and opaque
  // (drawn in place, and into a new image for a base without alpha).
  auto over = RandomPng(COLOR_RGBALPHA, 256, 256, 6);
  for (int y = 0; y < 256; ++y)
    std::memset(over->AlphaScanline(y), y, 256);
  for (Byte type : {COLOR_RGBALPHA, COLOR_RGB}) {
    auto base = RandomPng(type, 256, 256, 5);
    for (int y = 0; y < 256 && type == COLOR_RGBALPHA; ++y)
      for (int x = 0; x < 256; ++x)
        base->AlphaScanline(y)[x] = Byte(x);
    QxTest::ForEachVectorTarget([&] {
      for (Byte factor : {Byte(0), Byte(1), Byte(128), Byte(254), Byte(255)}) {
        SCOPED_TRACE(testing::Message() << int(type) << " factor " << int(factor));
        auto fast = Copy(*base), expected = Copy(*base);
        Ref::DrawPng(*expected, over.get(), TPoint(0, 0), factor);
        H::DrawPng(*fast, over.get(), TPoint(0, 0), factor);
        ASSERT_TRUE(Same(*fast, *expected));
      }
    });
  }
}

TEST(PngHelperExactness, DrawPngMatchesThePlainCodeAtEveryWidthAndOntoItself)
{
  QxTest::ForEachVectorTarget([&] {
    for (int w : WidthsWithWide()) {
      SCOPED_TRACE(w);
      auto self = RandomPng(COLOR_RGBALPHA, w, 2, std::uint32_t(w));
      auto source = RandomPng(COLOR_RGBALPHA, w, 2, std::uint32_t(w) + 1);
      auto expected = Copy(*self);
      Ref::DrawPng(*expected, source.get(), TPoint(0, 0), 200);
      H::DrawPng(*self, source.get(), TPoint(0, 0), 200);
      ASSERT_TRUE(Same(*self, *expected));
      // Onto itself, shifted: every pixel reads the image as it was.
      Ref::DrawPng(*expected, expected.get(), TPoint(1, 1), 255);
      H::DrawPng(*self, self.get(), TPoint(1, 1), 255);
      ASSERT_TRUE(Same(*self, *expected));
    }
  });
}

TEST(PngHelperExactness, GreyMatchesThePlainCode)
{
  // Every red and green level beside many blues, then random rows of every width.
  auto all = std::make_unique<TPngImage>();
  all->CreateBlank(COLOR_RGB, 8, 256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      Byte* p = all->Scanline(y) + x * 3;
      p[0] = Byte(x * 7 + y * 13);
      p[1] = Byte(x);
      p[2] = Byte(y);
    }
  QxTest::ForEachVectorTarget([&] {
    auto fast = Copy(*all), expected = Copy(*all);
    Ref::ConvertToGrayScale(*expected);
    H::ConvertToGrayScale(*fast);
    ASSERT_TRUE(Same(*fast, *expected));
    for (Byte type : {COLOR_RGB, COLOR_RGBALPHA})
      for (int w : WidthsWithWide()) {
        SCOPED_TRACE(testing::Message() << int(type) << ": " << w);
        auto png = RandomPng(type, w, 2, std::uint32_t(w));
        expected = Copy(*png);
        Ref::ConvertToGrayScale(*expected);
        MakeImageGrayscale(png.get(), 255);
        ASSERT_TRUE(Same(*png, *expected));
      }
  });
}

TEST(PngHelperExactness, SetTransparentMatchesThePlainCodeForEveryAlphaAndValue)
{
  QxTest::ForEachVectorTarget([&] {
    for (int w : WidthsWithWide()) {
      auto png = RandomPng(COLOR_RGBALPHA, w, 1, std::uint32_t(w));
      for (int x = 0; x < w; ++x)
        png->AlphaScanline(0)[x] = Byte(x);
      for (int value = 0; value < 256; value += w < 256 ? 17 : 1) {
        auto fast = Copy(*png), expected = Copy(*png);
        Ref::SetTransparent(*expected, Byte(value));
        H::SetTransparent(*fast, Byte(value));
        ASSERT_TRUE(Same(*fast, *expected)) << w << " wide, value " << value;
      }
    }
  });
}

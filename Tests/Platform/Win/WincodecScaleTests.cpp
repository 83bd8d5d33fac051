// The scaler's vector rows against its plain per-pixel code, bit for bit.
#include <QxVectorTargets.hpp>

#include "Win.Wincodec.Internal.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Win;
using Win::Wincodec::TRgba16;

namespace {

// Random channels; alphas of 0 and 1 and full ones among them, where the
// premultiplied round trip has its edges.
std::vector<TRgba16> RandomImage(UINT Width, UINT Height, std::uint32_t Seed)
{
  const std::vector<std::uint8_t> bytes = QxTest::RandomBytes(std::size_t(Width) * Height * 8, Seed);
  std::vector<TRgba16> pixels(std::size_t(Width) * Height);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint8_t* b = &bytes[i * 8];
    const std::uint16_t alphas[] = {0, 1, 65535, std::uint16_t(b[6] | b[7] << 8)};
    pixels[i] = {std::uint16_t(b[0] | b[1] << 8), std::uint16_t(b[2] | b[3] << 8), std::uint16_t(b[4] | b[5] << 8),
                 alphas[b[6] % 4]};
  }
  return pixels;
}

bool Same(const std::vector<TRgba16>& a, const std::vector<TRgba16>& b)
{
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TRgba16& p, const TRgba16& q) {
    return p.R == q.R && p.G == q.G && p.B == q.B && p.A == q.A;
  });
}

} // namespace

TEST(WincodecScale, VectorRowsMatchThePlainCode)
{
  struct TCase {
    UINT FromWidth, FromHeight, Width, Height;
  };
  const TCase cases[] = {{256, 256, 16, 16}, {256, 256, 48, 48}, {37, 23, 5, 7}, {7, 3, 3, 1},  {1, 1, 1, 1},
                         {3, 5, 11, 13},     {16, 16, 48, 48},   {9, 9, 9, 9},   {64, 1, 65, 2}};
  const WICBitmapInterpolationMode modes[] = {WICBitmapInterpolationModeNearestNeighbor,
                                              WICBitmapInterpolationModeLinear, WICBitmapInterpolationModeCubic,
                                              WICBitmapInterpolationModeFant};
  QxTest::ForEachVectorTarget([&] {
    for (const TCase& c : cases) {
      const auto source = RandomImage(c.FromWidth, c.FromHeight, c.FromWidth * 1000 + c.Width);
      for (WICBitmapInterpolationMode mode : modes) {
        const auto expected = Wincodec::ResampleReference(source, c.FromWidth, c.FromHeight, c.Width, c.Height, mode);
        const auto actual = Wincodec::Resample(source, c.FromWidth, c.FromHeight, c.Width, c.Height, mode);
        ASSERT_TRUE(Same(actual, expected)) << c.FromWidth << "x" << c.FromHeight << " to " << c.Width << "x"
                                        << c.Height << ", mode " << int(mode);
      }
    }
  });
}

// The stretching machinery shared by the blits and the DIB calls.
#pragma once

#include "Win.Gdi.Raster.hpp"

#include <array>
#include <vector>

namespace Win {

// Where a blit writes (device coordinates) and reads (source pixels), each
// side with its direction: a negative size mirrors.
struct TStretch {
  struct TSide {
    std::int64_t Start = 0;
    std::int64_t Size = 0;
    bool Flip = false;
  };
  TSide DestX, DestY, SrcX, SrcY;
  RECT DestRect() const;
  bool SourceInside(int width, int height) const;
};

// False when a side is empty and nothing is to be drawn.
bool MakeStretch(HDC dest, int x, int y, int width, int height, POINT srcSurfaceOrigin, int srcWidth,
                 int srcHeight, TStretch& out);

// Source pixels, top-down; owns them when they had to be copied.
struct TSourceImage {
  TSourceImage() = default;
  TSourceImage(const TSourceImage&) = delete;
  TSourceImage& operator=(const TSourceImage&) = delete;
  const std::uint32_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Copy;
};

// The source pixel for each destination pixel of a box: the one under the
// destination pixel's centre (looked up per column and row), or, when
// shrinking with `average`, the mean of the source pixels it covers.
class TSampler {
public:
  TSampler(const TStretch& s, const TSourceImage& image, const RECT& box, bool average);
  // False outside the source.
  bool At(int x, int y, std::uint32_t& out) const;
  // Nearest sampling only: writes the source pixels of x, x + 1, ... to
  // `out` while they have one, up to right; returns where the run stopped.
  int NearestRun(int x, int right, int y, std::uint32_t* out) const;
  // Nearest sampling only: the source row under row y, -1 outside.
  int SourceRow(int y) const { return FRows[std::size_t(y - FBox.Top)]; }

private:
  bool Average(std::int64_t u, std::int64_t v, std::uint32_t& out) const;
  const TStretch& FStretch;
  const TSourceImage& FImage;
  RECT FBox;
  bool FAverage;
  std::vector<int> FColumns, FRows; // -1 outside the source
};

// Stretches the image onto the DC with a raster operation.
BOOL RasterBlit(HDC dest, const TStretch& s, const TSourceImage& image, DWORD rop);

} // namespace Win

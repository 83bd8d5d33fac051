// Blits between DCs: BitBlt and StretchBlt with raster operations,
// AlphaBlend and TransparentBlt.
#include "Win.Gdi.Blit.hpp"
#include "Win.Gdi.Blend.hpp"

namespace Win {

namespace {

std::uint32_t Channel(std::uint32_t p, int shift)
{
  return (p >> shift) & 0xFF;
}

// The source of a blit: a DC's surface, copied when it is also the
// destination so that overlapping blits read the pixels as they were.
bool SourceOf(HDC src, const TBitmapObject* dest, TSourceImage& image, POINT& offset)
{
  TBitmapObject* surface = DCSurface(src);
  if (!surface)
    return false;
  image.Width = surface->Width;
  image.Height = surface->Height;
  if (surface == dest) {
    image.Copy = surface->Pixels;
    image.Pixels = image.Copy.data();
  } else {
    image.Pixels = surface->Pixels.data();
  }
  offset = src->SurfaceOffset;
  return true;
}

// A logical rectangle of a DC as a device origin and signed size.
TStretch::TSide Side(std::int64_t deviceStart, int size)
{
  TStretch::TSide s;
  s.Flip = size < 0;
  s.Size = size < 0 ? -std::int64_t(size) : size;
  s.Start = size < 0 ? deviceStart + size : deviceStart;
  return s;
}

} // namespace

bool MakeStretch(HDC dest, int x, int y, int width, int height, POINT srcSurfaceOrigin, int srcWidth,
                 int srcHeight, TStretch& out)
{
  POINT d = LPtoDevice(dest, POINT(x, y));
  out.DestX = Side(d.X, width);
  out.DestY = Side(d.Y, height);
  out.SrcX = Side(srcSurfaceOrigin.X, srcWidth);
  out.SrcY = Side(srcSurfaceOrigin.Y, srcHeight);
  return out.DestX.Size > 0 && out.DestY.Size > 0 && out.SrcX.Size > 0 && out.SrcY.Size > 0;
}

RECT TStretch::DestRect() const
{
  return RECT(SatCoord(DestX.Start), SatCoord(DestY.Start), SatCoord(DestX.Start + DestX.Size),
              SatCoord(DestY.Start + DestY.Size));
}

bool TStretch::SourceInside(int width, int height) const
{
  return SrcX.Start >= 0 && SrcY.Start >= 0 && SrcX.Start + SrcX.Size <= width && SrcY.Start + SrcY.Size <= height;
}

namespace {

// Destination pixel u of a side maps to the source span
// [u * m / n, (u + 1) * m / n); nearest sampling takes the source pixel under
// the destination pixel's centre. Mirroring counts u from the other end.
std::int64_t Mirrored(const TStretch::TSide& dest, const TStretch::TSide& src, std::int64_t u)
{
  return dest.Flip != src.Flip ? dest.Size - 1 - u : u;
}

std::vector<int> NearestMap(const TStretch::TSide& dest, const TStretch::TSide& src, int from, int to, int limit)
{
  std::vector<int> map;
  map.reserve(std::size_t(std::max(0, to - from)));
  for (int d = from; d < to; ++d) {
    std::int64_t u = Mirrored(dest, src, d - dest.Start);
    std::int64_t at = src.Start + ((2 * u + 1) * src.Size) / (2 * dest.Size);
    map.push_back(at >= 0 && at < limit ? int(at) : -1);
  }
  return map;
}

bool Shrinks(const TStretch& s)
{
  return s.SrcX.Size > s.DestX.Size || s.SrcY.Size > s.DestY.Size;
}

} // namespace

TSampler::TSampler(const TStretch& s, const TSourceImage& image, const RECT& box, bool average)
  : FStretch(s), FImage(image), FBox(box), FAverage(average && Shrinks(s))
{
  if (FAverage || box.IsEmpty())
    return;
  FColumns = NearestMap(s.DestX, s.SrcX, box.Left, box.Right, image.Width);
  FRows = NearestMap(s.DestY, s.SrcY, box.Top, box.Bottom, image.Height);
}

bool TSampler::At(int x, int y, std::uint32_t& out) const
{
  if (FAverage)
    return Average(x - FStretch.DestX.Start, y - FStretch.DestY.Start, out);
  int sx = FColumns[std::size_t(x - FBox.Left)], sy = FRows[std::size_t(y - FBox.Top)];
  if (sx < 0 || sy < 0)
    return false;
  out = FImage.Pixels[std::size_t(sy) * std::size_t(FImage.Width) + std::size_t(sx)];
  return true;
}

int TSampler::NearestRun(int x, int right, int y, std::uint32_t* out) const
{
  const int sy = FRows[std::size_t(y - FBox.Top)];
  if (sy < 0)
    return x;
  const std::uint32_t* row = FImage.Pixels + std::size_t(sy) * std::size_t(FImage.Width);
  for (; x < right; ++x) {
    const int sx = FColumns[std::size_t(x - FBox.Left)];
    if (sx < 0)
      break;
    *out++ = row[sx];
  }
  return x;
}

bool TSampler::Average(std::int64_t u, std::int64_t v, std::uint32_t& out) const
{
  const TStretch& s = FStretch;
  u = Mirrored(s.DestX, s.SrcX, u);
  v = Mirrored(s.DestY, s.SrcY, v);
  std::int64_t x0 = std::max<std::int64_t>(s.SrcX.Start + (u * s.SrcX.Size) / s.DestX.Size, 0);
  std::int64_t y0 = std::max<std::int64_t>(s.SrcY.Start + (v * s.SrcY.Size) / s.DestY.Size, 0);
  std::int64_t x1 = std::min<std::int64_t>(
    s.SrcX.Start + ((u + 1) * s.SrcX.Size + s.DestX.Size - 1) / s.DestX.Size, FImage.Width);
  std::int64_t y1 = std::min<std::int64_t>(
    s.SrcY.Start + ((v + 1) * s.SrcY.Size + s.DestY.Size - 1) / s.DestY.Size, FImage.Height);
  if (x0 >= x1 || y0 >= y1)
    return false;
  std::array<std::uint64_t, 4> sum{};
  for (std::int64_t y = y0; y < y1; ++y)
    for (std::int64_t x = x0; x < x1; ++x) {
      std::uint32_t p = FImage.Pixels[std::size_t(y) * std::size_t(FImage.Width) + std::size_t(x)];
      for (int c = 0; c < 4; ++c)
        sum[std::size_t(c)] += Channel(p, 8 * c);
    }
  std::uint64_t n = std::uint64_t((x1 - x0) * (y1 - y0));
  out = 0;
  for (int c = 0; c < 4; ++c)
    out |= std::uint32_t((sum[std::size_t(c)] + n / 2) / n) << (8 * c);
  return true;
}

namespace {

bool OneToOne(const TStretch& s)
{
  return s.SrcX.Size == s.DestX.Size && s.SrcY.Size == s.DestY.Size && s.DestX.Flip == s.SrcX.Flip &&
         s.DestY.Flip == s.SrcY.Flip;
}

// Calls f(pixels, count, source, x, y) for the runs of destination pixels
// that a one-to-one blit takes from inside the source; pixels and source
// point at the run's first pixel, device (x, y).
template <class F>
void ForEachCopiedRun(const TTarget& t, const TStretch& s, const TSourceImage& image, F f)
{
  ForEachSpan(t, TRegion(s.DestRect()), [&](std::uint32_t* row, int left, int right, int y) {
    std::int64_t sy = s.SrcY.Start + (y - s.DestY.Start);
    std::int64_t sx = s.SrcX.Start + (left - s.DestX.Start);
    if (sy < 0 || sy >= image.Height)
      return;
    std::int64_t from = std::max<std::int64_t>(0, -sx), to = std::min<std::int64_t>(right - left, image.Width - sx);
    if (from < to)
      f(row + from, to - from, image.Pixels + sy * image.Width + sx + from, int(left + from), y);
  });
}

// Calls f(pixel, source, x, y) for every destination pixel inside the clip
// that has a source pixel.
template <class F>
void ForEachSourcePixel(const TTarget& t, const TStretch& s, const TSourceImage& image, bool average, F f)
{
  if (OneToOne(s)) {
    ForEachCopiedRun(t, s, image, [&](std::uint32_t* pixels, std::int64_t count, const std::uint32_t* source,
                                      int x, int y) {
      for (std::int64_t i = 0; i < count; ++i)
        f(pixels[i], source[i], x + int(i), y);
    });
    return;
  }
  RECT box;
  IntersectRect(box, s.DestRect(), t.Clip.Box());
  TSampler sampler(s, image, box, average);
  ForEachPixel(t, s.DestRect(), [&](std::uint32_t& p, int x, int y) {
    std::uint32_t src;
    if (sampler.At(x, y, src))
      f(p, src, x, y);
  });
}

} // namespace

BOOL RasterBlit(HDC dest, const TStretch& s, const TSourceImage& image, DWORD rop)
{
  TDC* d = LiveDC(dest);
  if (!d)
    return FALSE;
  TTarget t = MakeTarget(dest);
  if (rop == SRCCOPY && OneToOne(s)) {
    // All 32 bits, alpha included, as a 32-bit DIB blit does.
    ForEachCopiedRun(t, s, image, [](std::uint32_t* pixels, std::int64_t count, const std::uint32_t* source, int,
                                     int) { std::copy_n(source, count, pixels); });
    return TRUE;
  }
  TBrushSource brush(dest, d->State.Brush);
  bool usesPattern = RopUsesPattern(rop);
  ForEachSourcePixel(t, s, image, d->State.StretchMode == HALFTONE,
                     [&](std::uint32_t& p, std::uint32_t src, int x, int y) {
                       if (rop == SRCCOPY) {
                         p = src;
                         return;
                       }
                       std::uint32_t pat = 0;
                       if (usesPattern)
                         brush.At(x, y, pat);
                       p = ApplyRop3(rop, pat, src, p);
                     });
  return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop)
{
  if (!LiveDC(dest))
    return FALSE;
  if (!RopUsesSource(rop))
    return PatBlt(dest, x, y, width, height, rop);
  TSourceImage image;
  POINT offset;
  if (!LiveDC(src) || !SourceOf(src, DCSurface(dest), image, offset))
    return FALSE;
  POINT origin = LPtoDevice(src, POINT(xSrc, ySrc)) + offset;
  TStretch s;
  if (!MakeStretch(dest, x, y, width, height, origin, srcWidth, srcHeight, s))
    return TRUE;
  return RasterBlit(dest, s, image, rop);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop)
{
  return StretchBlt(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

namespace {

// The checks AlphaBlend and TransparentBlt share: live DCs, non-negative
// sizes and a source rectangle inside the source surface.
bool PrepareBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, TSourceImage& image, TStretch& s, bool& empty)
{
  if (!LiveDC(dest) || !LiveDC(src) || width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0)
    return false;
  POINT offset;
  if (!SourceOf(src, DCSurface(dest), image, offset))
    return false;
  POINT origin = LPtoDevice(src, POINT(xSrc, ySrc)) + offset;
  empty = !MakeStretch(dest, x, y, width, height, origin, srcWidth, srcHeight, s);
  return empty || s.SourceInside(image.Width, image.Height);
}

} // namespace

namespace {

// A span's sampled source pixels and the runs that have a source pixel.
// Rows that enlarge one source row repeat it, so a span is sampled again
// only when its source row or its extent changes.
struct TSampledSpan {
  int Row = -1, Left = 0, Right = 0;
  std::vector<std::uint32_t> Pixels;
  std::vector<std::pair<int, int>> Runs; // [start, end) in destination x
};

void Sample(const TSampler& sampler, int left, int right, int y, TSampledSpan& span)
{
  const int row = sampler.SourceRow(y);
  if (row == span.Row && left == span.Left && right == span.Right)
    return;
  span.Row = row;
  span.Left = left;
  span.Right = right;
  span.Pixels.resize(std::size_t(right - left));
  span.Runs.clear();
  for (int x = left; x < right;) {
    const int start = x;
    x = sampler.NearestRun(x, right, y, span.Pixels.data() + (start - left));
    if (x == start)
      ++x; // no source pixel under this one
    else
      span.Runs.emplace_back(start, x);
  }
}

// A stretched blend samples each span's source pixels into a row first, so
// that the runs of sampled pixels blend as vector runs; a pixel's result
// depends only on its source and destination, so the order changes nothing.
void BlendStretchedRuns(const TTarget& t, const TStretch& s, const TSourceImage& image, const BLENDFUNCTION& blend)
{
  RECT box;
  IntersectRect(box, s.DestRect(), t.Clip.Box());
  const TSampler sampler(s, image, box, false);
  TSampledSpan span;
  ForEachSpan(t, TRegion(s.DestRect()), [&](std::uint32_t* pixels, int left, int right, int y) {
    Sample(sampler, left, right, y, span);
    for (const auto& [start, end] : span.Runs)
      BlendRun(pixels + (start - left), span.Pixels.data() + (start - left), std::size_t(end - start), blend);
  });
}

} // namespace

BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, BLENDFUNCTION blend)
{
  if (blend.BlendOp != AC_SRC_OVER)
    return FALSE;
  TSourceImage image;
  TStretch s;
  bool empty = false;
  if (!PrepareBlend(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, image, s, empty))
    return FALSE;
  if (empty)
    return TRUE;
  const TTarget t = MakeTarget(dest);
  if (OneToOne(s)) {
    ForEachCopiedRun(t, s, image, [&](std::uint32_t* pixels, std::int64_t count, const std::uint32_t* source, int,
                                      int) { BlendRun(pixels, source, std::size_t(count), blend); });
    return TRUE;
  }
  BlendStretchedRuns(t, s, image, blend);
  return TRUE;
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, COLORREF transparent)
{
  TSourceImage image;
  TStretch s;
  bool empty = false;
  if (!PrepareBlend(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, image, s, empty))
    return FALSE;
  if (empty)
    return TRUE;
  std::uint32_t key = ToPixel(transparent) & 0xFFFFFF;
  ForEachSourcePixel(MakeTarget(dest), s, image, false, [&](std::uint32_t& p, std::uint32_t sp, int, int) {
    if ((sp & 0xFFFFFF) != key)
      p = sp | 0xFF000000u;
  });
  return TRUE;
}

} // namespace Win

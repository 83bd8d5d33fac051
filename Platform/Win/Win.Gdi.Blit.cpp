// Blits between DCs: BitBlt and StretchBlt with raster operations,
// AlphaBlend and TransparentBlt.
#include "Win.Gdi.Blit.hpp"

namespace Win {

namespace {

// x * a / 255, rounded to nearest, for x, a in 0..255.
constexpr std::uint32_t MulDiv255(std::uint32_t x, std::uint32_t a)
{
  std::uint32_t t = x * a + 128;
  return (t + (t >> 8)) >> 8;
}

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

// Destination pixel u of n maps to the source span [u * m / n, (u + 1) * m / n);
// nearest sampling takes the source pixel under the destination's centre.
bool TSourceImage::Sample(const TStretch& s, std::int64_t u, std::int64_t v, bool average, std::uint32_t& out) const
{
  if (s.DestX.Flip != s.SrcX.Flip)
    u = s.DestX.Size - 1 - u;
  if (s.DestY.Flip != s.SrcY.Flip)
    v = s.DestY.Size - 1 - v;
  std::int64_t x0 = s.SrcX.Start + (u * s.SrcX.Size) / s.DestX.Size;
  std::int64_t y0 = s.SrcY.Start + (v * s.SrcY.Size) / s.DestY.Size;
  std::int64_t x1 = s.SrcX.Start + ((u + 1) * s.SrcX.Size + s.DestX.Size - 1) / s.DestX.Size;
  std::int64_t y1 = s.SrcY.Start + ((v + 1) * s.SrcY.Size + s.DestY.Size - 1) / s.DestY.Size;
  if (!average || (x1 - x0 <= 1 && y1 - y0 <= 1)) {
    std::int64_t x = s.SrcX.Start + ((2 * u + 1) * s.SrcX.Size) / (2 * s.DestX.Size);
    std::int64_t y = s.SrcY.Start + ((2 * v + 1) * s.SrcY.Size) / (2 * s.DestY.Size);
    if (x < 0 || y < 0 || x >= Width || y >= Height)
      return false;
    out = Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)];
    return true;
  }
  x0 = std::max<std::int64_t>(x0, 0);
  y0 = std::max<std::int64_t>(y0, 0);
  x1 = std::min<std::int64_t>(x1, Width);
  y1 = std::min<std::int64_t>(y1, Height);
  if (x0 >= x1 || y0 >= y1)
    return false;
  std::array<std::uint64_t, 4> sum{};
  for (std::int64_t y = y0; y < y1; ++y)
    for (std::int64_t x = x0; x < x1; ++x) {
      std::uint32_t p = Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)];
      for (int c = 0; c < 4; ++c)
        sum[std::size_t(c)] += Channel(p, 8 * c);
    }
  std::uint64_t n = std::uint64_t((x1 - x0) * (y1 - y0));
  out = 0;
  for (int c = 0; c < 4; ++c)
    out |= std::uint32_t((sum[std::size_t(c)] + n / 2) / n) << (8 * c);
  return true;
}

BOOL RasterBlit(HDC dest, const TStretch& s, const TSourceImage& image, DWORD rop)
{
  TDC* d = LiveDC(dest);
  if (!d)
    return FALSE;
  TTarget t = MakeTarget(dest);
  TBrushSource brush(dest, d->State.Brush);
  bool usesPattern = RopUsesPattern(rop);
  bool average = d->State.StretchMode == HALFTONE;
  ForEachPixel(t, s.DestRect(), [&](std::uint32_t& p, int px, int py) {
    std::uint32_t src;
    if (!image.Sample(s, px - s.DestX.Start, py - s.DestY.Start, average, src))
      return;
    if (rop == SRCCOPY) {
      p = src; // all 32 bits, alpha included, as a 32-bit DIB blit does
      return;
    }
    std::uint32_t pat = 0;
    if (usesPattern)
      brush.At(px, py, pat);
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

std::uint32_t BlendPixel(std::uint32_t src, std::uint32_t dst, const BLENDFUNCTION& blend)
{
  std::uint32_t constant = blend.SourceConstantAlpha, out = 0;
  if (blend.AlphaFormat & AC_SRC_ALPHA) {
    // Source premultiplied: Dst = Src * SCA + Dst * (1 - SrcAlpha * SCA).
    std::uint32_t alpha = MulDiv255(Channel(src, 24), constant);
    for (int shift = 0; shift < 32; shift += 8) {
      std::uint32_t c = MulDiv255(Channel(src, shift), constant) + MulDiv255(Channel(dst, shift), 255 - alpha);
      out |= std::min<std::uint32_t>(c, 255) << shift;
    }
    return out;
  }
  for (int shift = 0; shift < 32; shift += 8)
    out |= (MulDiv255(Channel(src, shift), constant) + MulDiv255(Channel(dst, shift), 255 - constant)) << shift;
  return out;
}

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
  ForEachPixel(MakeTarget(dest), s.DestRect(), [&](std::uint32_t& p, int px, int py) {
    std::uint32_t sp;
    if (image.Sample(s, px - s.DestX.Start, py - s.DestY.Start, false, sp))
      p = BlendPixel(sp, p, blend);
  });
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
  ForEachPixel(MakeTarget(dest), s.DestRect(), [&](std::uint32_t& p, int px, int py) {
    std::uint32_t sp;
    if (image.Sample(s, px - s.DestX.Start, py - s.DestY.Start, false, sp) && (sp & 0xFFFFFF) != key)
      p = sp | 0xFF000000u;
  });
  return TRUE;
}

} // namespace Win

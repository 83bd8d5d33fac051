// Pixel plumbing shared by the GDI's drawing units: colour conversion, raster
// operations, brushes as pixel sources, shapes as pixel sets and the clipped
// view of a DC that one drawing call works on.
#pragma once

#include "Win.Gdi.Internal.hpp"

#include <algorithm>
#include <cstdint>

namespace Win {

// The live-handle registry of DCs (objects register themselves).
void RegisterDC(const TDC* dc);
void UnregisterDC(const TDC* dc);

// Surface pixels are Cairo ARGB32 words, 0xAARRGGBB.
constexpr std::uint32_t ToPixel(COLORREF c)
{
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ToColorRef(std::uint32_t p)
{
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// Coordinates saturate at +-2^28 when moved between spaces, so that no later
// sum overflows; no surface comes near that.
int SatCoord(std::int64_t v);
RECT NormalizedRect(int left, int top, int right, int bottom);
RECT RectToDevice(HDC dc, const RECT& logical); // normalised

// Bitmaps are limited to 2^27 pixels (512 MB); larger requests fail.
constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 27;

// Shapes are rasterised row by row; their bounds are limited so that a
// made-up size cannot make a region of millions of bands.
constexpr int kMaxShapeSize = 1 << 16;
constexpr int kMaxPolygonPoints = 1 << 14;
bool ShapeSizeOk(const RECT& r);
RECT PointsBox(const POINT* points, int count);

// Pixels whose centres lie inside the shape. `rows` limits the rows produced.
TRegion EllipseRegion(const RECT& r);
TRegion RoundRectRegion(const RECT& r, int cornerWidth, int cornerHeight);
TRegion PolygonRegion(const POINT* points, int count, int fillMode, const RECT& rows);

// One drawing call's view of its DC: the surface, where device (0, 0) lies
// on it and the effective clip (device coordinates, inside the surface).
struct TTarget {
  TBitmapObject* Surface = nullptr;
  POINT Offset;
  TRegion Clip;
  bool Empty() const { return !Surface || Clip.IsEmpty(); }
  std::uint32_t& At(int x, int y) const
  {
    return Surface->Pixels[std::size_t(y + Offset.Y) * std::size_t(Surface->Width) + std::size_t(x + Offset.X)];
  }
};
TTarget MakeTarget(HDC dc);

// Calls f(row, left, right, y) for every run of device pixels of the area
// inside the clip; row points at the pixel of `left`.
template <class F>
void ForEachSpan(const TTarget& t, const TRegion& area, F f)
{
  if (t.Empty())
    return;
  TRegion visible = area.Intersect(t.Clip);
  for (const RECT& r : visible.Rects())
    for (int y = r.Top; y < r.Bottom; ++y)
      f(&t.At(r.Left, y), r.Left, r.Right, y);
}

// Calls f(pixel, x, y) for every device pixel of the area inside the clip.
template <class F>
void ForEachPixel(const TTarget& t, const TRegion& area, F f)
{
  ForEachSpan(t, area, [&](std::uint32_t* row, int left, int right, int y) {
    for (int x = left; x < right; ++x)
      f(row[x - left], x, y);
  });
}

template <class F>
void ForEachPixel(const TTarget& t, const RECT& area, F f)
{
  ForEachPixel(t, TRegion(area), f);
}

// A brush as a source of pixels at device positions.
class TBrushSource {
public:
  TBrushSource(HDC dc, HBRUSH brush);
  bool IsNull() const { return FBrush == nullptr; }
  // The one colour of a solid brush, which paints every pixel.
  bool IsSolid(std::uint32_t& color) const
  {
    color = FColor;
    return FBrush && FBrush->Style != BS_HATCHED && FBrush->Style != BS_PATTERN;
  }
  // False where the brush leaves the pixel alone (the gaps of a hatch in
  // transparent mode).
  bool At(int x, int y, std::uint32_t& pixel) const;

private:
  const TBrushObject* FBrush = nullptr;
  std::uint32_t FColor = 0;
  std::uint32_t FBack = 0;
  bool FOpaque = true;
  POINT FOrigin;
};

COLORREF BrushColor(const TBrushObject& brush);

// LineTo drawn pixel by pixel, without the run walk of straight lines: the
// reference the fast path is tested against.
BOOL LineToReference(HDC dc, int x, int y);

// Binary raster operation of a pen (R2_...) on the colour bits; alpha 255.
std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t dst);
// Ternary raster operation (the ROP's index byte) of pattern, source and
// destination on the colour bits; alpha 255.
std::uint32_t ApplyRop3(DWORD rop, std::uint32_t pat, std::uint32_t src, std::uint32_t dst);
bool RopUsesSource(DWORD rop);
bool RopUsesPattern(DWORD rop);

// An opaque colour over a premultiplied pixel with a coverage of 0..255:
// per channel round(s * c / 255) + round(d * (255 - c) / 255). The plain
// form goes channel by channel and is the reference; BlendOver, which text
// drawing uses, does two channels at once and equals it bit for bit.
std::uint32_t BlendOverPlain(std::uint32_t src, std::uint32_t dst, std::uint32_t coverage);
constexpr std::uint32_t MulDiv255Lanes(std::uint32_t lanes, std::uint32_t a) // the two 0x00FF00FF lanes
{
  std::uint32_t t = lanes * a + 0x00800080u; // each lane stays below 2^16
  return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}
constexpr std::uint32_t BlendOver(std::uint32_t src, std::uint32_t dst, std::uint32_t coverage)
{
  // A channel's two products sum to at most 255, so the lanes never carry.
  const std::uint32_t rest = 255 - coverage;
  std::uint32_t rb = MulDiv255Lanes(src & 0x00FF00FFu, coverage) + MulDiv255Lanes(dst & 0x00FF00FFu, rest);
  std::uint32_t ag = MulDiv255Lanes((src >> 8) & 0x00FF00FFu, coverage) + MulDiv255Lanes((dst >> 8) & 0x00FF00FFu, rest);
  return rb | (ag << 8);
}

// Fills a device area with a brush through the clip, combining by rop2.
void FillWithBrush(HDC dc, const TTarget& t, const TRegion& area, HBRUSH brush, int rop2);

} // namespace Win

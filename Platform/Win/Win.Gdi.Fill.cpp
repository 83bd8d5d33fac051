// Area operations: brush fills, frames, inversion, single pixels, the focus
// rectangle and pattern blits.
#include "Win.Gdi.Raster.hpp"

namespace Win {

namespace {

// The pixels of `area` less its erosion by w x h: a frame of that thickness
// along every edge of the area.
TRegion FrameOf(const TRegion& area, int w, int h)
{
  RECT box = area.Box();
  w = std::min(w, box.Width());
  h = std::min(h, box.Height());
  TRegion inner = area;
  for (int k = 1; k <= w; ++k)
    for (int dir : {-1, 1}) {
      TRegion moved = area;
      moved.Offset(dir * k, 0);
      inner = inner.Intersect(moved);
    }
  for (int k = 1; k <= h; ++k)
    for (int dir : {-1, 1}) {
      TRegion moved = area;
      moved.Offset(0, dir * k);
      inner = inner.Intersect(moved);
    }
  return area.Subtract(inner);
}

TRegion FrameOf(const RECT& r)
{
  RECT inner = r;
  inner.Inflate(-1, -1);
  return TRegion(r).Subtract(TRegion(inner));
}

} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
  if (!LiveDC(dc) || !rect || !LiveObjectOf<TBrushObject>(brush))
    return 0;
  FillWithBrush(dc, MakeTarget(dc), TRegion(RectToDevice(dc, *rect)), brush, R2_COPYPEN);
  return 1;
}

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush)
{
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!LiveDC(dc) || !r || !LiveObjectOf<TBrushObject>(brush))
    return FALSE;
  FillWithBrush(dc, MakeTarget(dc), r->Region, brush, R2_COPYPEN);
  return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
  if (!LiveDC(dc) || !rect || !LiveObjectOf<TBrushObject>(brush))
    return 0;
  RECT r = RectToDevice(dc, *rect);
  FillWithBrush(dc, MakeTarget(dc), FrameOf(r), brush, R2_COPYPEN);
  return 1;
}

BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height)
{
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!LiveDC(dc) || !r || !LiveObjectOf<TBrushObject>(brush) || width < 1 || height < 1)
    return FALSE;
  FillWithBrush(dc, MakeTarget(dc), FrameOf(r->Region, width, height), brush, R2_COPYPEN);
  return TRUE;
}

BOOL InvertRect(HDC dc, const RECT* rect)
{
  if (!LiveDC(dc) || !rect)
    return FALSE;
  ForEachPixel(MakeTarget(dc), RectToDevice(dc, *rect),
               [](std::uint32_t& p, int, int) { p = ApplyRop2(R2_NOT, 0, p); });
  return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
  TTarget t = MakeTarget(dc);
  POINT p = LPtoDevice(dc, POINT(x, y));
  if (!t.Clip.Contains(p.X, p.Y))
    return CLR_INVALID;
  t.At(p.X, p.Y) = ToPixel(color);
  return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
  TTarget t = MakeTarget(dc);
  POINT p = LPtoDevice(dc, POINT(x, y));
  if (!t.Clip.Contains(p.X, p.Y))
    return CLR_INVALID;
  return ToColorRef(t.At(p.X, p.Y));
}

// The frame is XORed with a checker pattern: the pattern's set pixels with
// the background colour, the others with the text colour, as a monochrome
// pattern brush does. Every pixel is touched once, so a second call undoes it.
BOOL DrawFocusRect(HDC dc, const RECT* rect)
{
  TDC* d = LiveDC(dc);
  if (!d || !rect)
    return FALSE;
  std::uint32_t fore = ToPixel(d->State.TextColor), back = ToPixel(d->State.BkColor);
  POINT org = d->State.BrushOrg;
  ForEachPixel(MakeTarget(dc), FrameOf(RectToDevice(dc, *rect)), [&](std::uint32_t& p, int x, int y) {
    bool set = ((std::int64_t(x) - org.X + std::int64_t(y) - org.Y) & 1) == 0;
    p = ApplyRop2(R2_XORPEN, set ? back : fore, p);
  });
  return TRUE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
  TDC* d = LiveDC(dc);
  if (!d || RopUsesSource(rop))
    return FALSE;
  RECT area = RectToDevice(dc, RECT(x, y, SatCoord(std::int64_t(x) + width), SatCoord(std::int64_t(y) + height)));
  TBrushSource brush(dc, d->State.Brush);
  bool usesPattern = RopUsesPattern(rop);
  if (usesPattern && brush.IsNull())
    return TRUE;
  ForEachPixel(MakeTarget(dc), area, [&](std::uint32_t& p, int px, int py) {
    std::uint32_t pat = 0;
    if (usesPattern && !brush.At(px, py, pat))
      return;
    p = ApplyRop3(rop, pat, 0, p);
  });
  return TRUE;
}

} // namespace Win

#include "Win.Gdi.Raster.hpp"

#include <cmath>

namespace Win {

int SatCoord(std::int64_t v)
{
  constexpr std::int64_t limit = std::int64_t(1) << 28;
  return int(std::clamp(v, -limit, limit));
}

RECT NormalizedRect(int left, int top, int right, int bottom)
{
  RECT r(left, top, right, bottom);
  r.NormalizeRect();
  return r;
}

bool ShapeSizeOk(const RECT& r)
{
  return std::int64_t(r.Right) - r.Left <= kMaxShapeSize && std::int64_t(r.Bottom) - r.Top <= kMaxShapeSize;
}

RECT PointsBox(const POINT* points, int count)
{
  RECT box(points[0].X, points[0].Y, points[0].X, points[0].Y);
  for (int i = 1; i < count; ++i) {
    box.Left = std::min(box.Left, points[i].X);
    box.Top = std::min(box.Top, points[i].Y);
    box.Right = std::max(box.Right, points[i].X);
    box.Bottom = std::max(box.Bottom, points[i].Y);
  }
  return box;
}

// ---- shapes --------------------------------------------------------------------

namespace {

// The first pixel of row y (counted from the ellipse's top) whose centre lies
// inside the ellipse inscribed in a w x h box; w when none does.
int EllipseRowStart(int w, int h, int y)
{
  double a = w / 2.0, b = h / 2.0;
  double dy = (y + 0.5) - b;
  double t = 1.0 - (dy * dy) / (b * b);
  if (t < 0)
    return w;
  double half = a * std::sqrt(t);
  return std::clamp(int(std::ceil(a - half - 0.5)), 0, w);
}

} // namespace

TRegion EllipseRegion(const RECT& r)
{
  int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0)
    return TRegion();
  std::vector<RECT> rows;
  rows.reserve(std::size_t(h));
  // Rows are mirrored from the top half so the shape is exactly symmetric.
  for (int y = 0; y < h; ++y) {
    int x0 = EllipseRowStart(w, h, std::min(y, h - 1 - y));
    if (2 * x0 < w)
      rows.emplace_back(r.Left + x0, r.Top + y, r.Right - x0, r.Top + y + 1);
  }
  return TRegion::FromRects(rows);
}

TRegion RoundRectRegion(const RECT& r, int cornerWidth, int cornerHeight)
{
  int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0)
    return TRegion();
  int cw = std::clamp(cornerWidth, 0, w), ch = std::clamp(cornerHeight, 0, h);
  if (cw < 2 || ch < 2)
    return TRegion(r);
  std::vector<RECT> rows;
  rows.reserve(std::size_t(h));
  for (int y = 0; y < h; ++y) {
    int fromEdge = std::min(y, h - 1 - y);
    int x0 = fromEdge < ch / 2 ? EllipseRowStart(cw, ch, fromEdge) : 0;
    if (2 * x0 < w)
      rows.emplace_back(r.Left + x0, r.Top + y, r.Right - x0, r.Top + y + 1);
  }
  return TRegion::FromRects(rows);
}

TRegion PolygonRegion(const POINT* points, int count, int fillMode, const RECT& rows)
{
  struct TCrossing {
    double X;
    int Dir;
  };
  std::vector<RECT> spans;
  std::vector<TCrossing> xs;
  for (int y = rows.Top; y < rows.Bottom; ++y) {
    double cy = y + 0.5;
    xs.clear();
    for (int i = 0; i < count; ++i) {
      POINT a = points[i], b = points[(i + 1) % count];
      if (a.Y == b.Y)
        continue;
      int dir = a.Y < b.Y ? 1 : -1;
      if (dir < 0)
        std::swap(a, b);
      if (cy < a.Y || cy >= b.Y)
        continue;
      double x = a.X + (cy - a.Y) * (double(b.X) - a.X) / (double(b.Y) - a.Y);
      xs.push_back({x, dir});
    }
    std::sort(xs.begin(), xs.end(), [](const TCrossing& l, const TCrossing& r) { return l.X < r.X; });
    int winding = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      winding += fillMode == WINDING ? xs[i].Dir : 1;
      bool inside = fillMode == WINDING ? winding != 0 : (winding & 1) != 0;
      if (!inside)
        continue;
      // Pixels whose centres lie in [x_i, x_i+1).
      int x0 = int(std::ceil(xs[i].X - 0.5)), x1 = int(std::ceil(xs[i + 1].X - 0.5));
      if (x0 < x1)
        spans.emplace_back(x0, y, x1, y + 1);
    }
  }
  return TRegion::FromRects(spans);
}

// ---- brushes -------------------------------------------------------------------

TBrushSource::TBrushSource(HDC dc, HBRUSH brush)
{
  auto* b = LiveObjectOf<TBrushObject>(brush);
  TDC* d = LiveDC(dc);
  if (!b || !d || b->Style == BS_NULL)
    return;
  if (b->Style == BS_PATTERN && (b->PatternWidth <= 0 || b->PatternHeight <= 0))
    return;
  FBrush = b;
  FColor = ToPixel(BrushColor(*b));
  FBack = ToPixel(d->State.BkColor);
  FOpaque = d->State.BkMode == OPAQUE;
  FOrigin = d->State.BrushOrg;
}

namespace {

int PositiveMod(std::int64_t v, int m)
{
  return int(((v % m) + m) % m);
}

bool HatchAt(int hatch, int x, int y)
{
  bool horizontal = y == 7, vertical = x == 7, forward = x == y, backward = x + y == 7;
  switch (hatch) {
  case HS_HORIZONTAL: return horizontal;
  case HS_VERTICAL: return vertical;
  case HS_FDIAGONAL: return forward;
  case HS_BDIAGONAL: return backward;
  case HS_CROSS: return horizontal || vertical;
  case HS_DIAGCROSS: return forward || backward;
  default: return false;
  }
}

} // namespace

bool TBrushSource::At(int x, int y, std::uint32_t& pixel) const
{
  if (!FBrush)
    return false;
  std::int64_t bx = std::int64_t(x) - FOrigin.X, by = std::int64_t(y) - FOrigin.Y;
  switch (FBrush->Style) {
  case BS_HATCHED:
    if (HatchAt(FBrush->Hatch, PositiveMod(bx, 8), PositiveMod(by, 8))) {
      pixel = FColor;
      return true;
    }
    pixel = FBack;
    return FOpaque;
  case BS_PATTERN: {
    int px = PositiveMod(bx, FBrush->PatternWidth), py = PositiveMod(by, FBrush->PatternHeight);
    pixel = FBrush->Pattern[std::size_t(py) * std::size_t(FBrush->PatternWidth) + std::size_t(px)] | 0xFF000000u;
    return true;
  }
  default:
    pixel = FColor;
    return true;
  }
}

// ---- raster operations ---------------------------------------------------------

std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t dst)
{
  // R2 codes minus one are the truth table over (pen bit, destination bit).
  std::uint32_t table = std::uint32_t(rop2 - 1) & 0xF;
  std::uint32_t p = pen, d = dst, r = 0;
  if (table & 1) r |= ~p & ~d;
  if (table & 2) r |= ~p & d;
  if (table & 4) r |= p & ~d;
  if (table & 8) r |= p & d;
  return r | 0xFF000000u;
}

std::uint32_t ApplyRop3(DWORD rop, std::uint32_t pat, std::uint32_t src, std::uint32_t dst)
{
  // The index byte is the truth table over (pattern, source, destination) bits.
  std::uint32_t table = (rop >> 16) & 0xFF, r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((table >> i) & 1))
      continue;
    std::uint32_t p = (i & 4) ? pat : ~pat, s = (i & 2) ? src : ~src, d = (i & 1) ? dst : ~dst;
    r |= p & s & d;
  }
  return r | 0xFF000000u;
}

bool RopUsesSource(DWORD rop)
{
  std::uint32_t t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}

bool RopUsesPattern(DWORD rop)
{
  std::uint32_t t = (rop >> 16) & 0xFF;
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}

void FillWithBrush(HDC dc, const TTarget& t, const TRegion& area, HBRUSH brush, int rop2)
{
  TBrushSource source(dc, brush);
  if (source.IsNull() || t.Empty())
    return;
  std::uint32_t solid;
  if (rop2 == R2_COPYPEN && source.IsSolid(solid)) {
    ForEachSpan(t, area, [solid](std::uint32_t* row, int left, int right, int) { std::fill(row, row + (right - left), solid); });
    return;
  }
  ForEachPixel(t, area, [&](std::uint32_t& p, int x, int y) {
    std::uint32_t b;
    if (source.At(x, y, b))
      p = rop2 == R2_COPYPEN ? b : ApplyRop2(rop2, b, p);
  });
}

} // namespace Win

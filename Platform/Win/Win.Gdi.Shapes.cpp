// Pen and brush drawing: lines with the pen styles, rectangles, rounded
// rectangles, ellipses and polygons.
#include "Win.Gdi.Raster.hpp"

#include <array>
#include <span>

namespace Win {

namespace {

struct TPen {
  bool Null = true;
  int Style = PS_SOLID;
  int Width = 1;
  std::uint32_t Color = 0;
};

TPen PenOf(HDC dc)
{
  TPen pen;
  auto* p = LiveObjectOf<TPenObject>(dc->State.Pen);
  if (!p || p->Style == PS_NULL)
    return pen;
  pen.Null = false;
  pen.Style = p->Style;
  pen.Width = std::max(p->Width, 1);
  pen.Color = ToPixel(p->Color);
  return pen;
}

// On and off run lengths of the cosmetic pen styles, in pixels.
std::span<const int> StylePattern(int style)
{
  static constexpr std::array<int, 2> dash = {18, 6}, dot = {3, 3};
  static constexpr std::array<int, 4> dashDot = {9, 6, 3, 6};
  static constexpr std::array<int, 6> dashDotDot = {9, 3, 3, 3, 3, 3};
  switch (style) {
  case PS_DASH: return dash;
  case PS_DOT: return dot;
  case PS_DASHDOT: return dashDot;
  case PS_DASHDOTDOT: return dashDotDot;
  default: return {};
  }
}

// Whether a style pattern is on at a position along a line, and at the
// positions after it, step by step; no pattern is solid.
class TPatternWalk {
public:
  TPatternWalk(std::span<const int> pattern, std::int64_t position) : FPattern(pattern)
  {
    if (pattern.empty())
      return;
    int total = 0;
    for (int run : pattern)
      total += run;
    int at = int(position % total);
    while (at >= pattern[FIndex])
      at -= pattern[FIndex++];
    FLeft = pattern[FIndex] - at;
  }
  bool On() const { return FIndex % 2 == 0; }
  void Step()
  {
    if (FPattern.empty() || --FLeft > 0)
      return;
    FIndex = (FIndex + 1) % FPattern.size();
    FLeft = FPattern[FIndex];
  }

private:
  std::span<const int> FPattern;
  std::size_t FIndex = 0;
  int FLeft = 0;
};

// What a raster operation makes of a colour over any pixel; worked out once
// when the result does not depend on the pixel, as for the copying pen:
// each bit is ruled apart, so a pixel of all zeros and one of all ones
// show whether any bit depends on it.
class TInk {
public:
  TInk(int rop2, std::uint32_t color)
    : FRop2(rop2), FColor(color), FFixed(ApplyRop2(rop2, color, 0) == ApplyRop2(rop2, color, ~0u)),
      FValue(ApplyRop2(rop2, color, 0))
  {
  }
  std::uint32_t Over(std::uint32_t pixel) const { return FFixed ? FValue : ApplyRop2(FRop2, FColor, pixel); }

private:
  int FRop2;
  std::uint32_t FColor;
  bool FFixed;
  std::uint32_t FValue;
};

// Draws connected line segments with the DC's pen. Styles run on across the
// segments of one call; a wide pen is a square stamped at every point, all
// stamps painted once at the end so that raster operations see each pixel
// once.
class TLinePainter {
public:
  // Plain walks every line pixel by pixel: the reference for straight lines.
  TLinePainter(HDC dc, const TTarget& target, bool plain = false)
    : FTarget(target), FPen(PenOf(dc)), FRop2(dc->State.Rop2), FOn(FRop2, FPen.Color),
      FOff(FRop2, ToPixel(dc->State.BkColor)), FPlain(plain)
  {
    FBack = ToPixel(dc->State.BkColor);
    FOpaque = dc->State.BkMode == OPAQUE;
    if (FPen.Width == 1)
      FPattern = StylePattern(FPen.Style);
    FBox = target.Clip.Box();
    FBox.Inflate(FPen.Width, FPen.Width);
  }
  ~TLinePainter() { Flush(); }
  TLinePainter(const TLinePainter&) = delete;
  TLinePainter& operator=(const TLinePainter&) = delete;

  // Device coordinates; the end point is left out.
  void Line(POINT a, POINT b)
  {
    if (FPen.Null || FTarget.Empty())
      return;
    std::int64_t dx = std::int64_t(b.X) - a.X, dy = std::int64_t(b.Y) - a.Y;
    std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    bool xMajor = adx >= ady;
    std::int64_t steps = xMajor ? adx : ady;
    if (steps == 0)
      return;
    // Only the steps whose major coordinate can reach the clip are walked.
    int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    std::int64_t start = xMajor ? a.X : a.Y;
    std::int64_t low = xMajor ? FBox.Left : FBox.Top, high = xMajor ? FBox.Right : FBox.Bottom;
    std::int64_t kFirst = sMajor > 0 ? low - start : start - high + 1;
    std::int64_t kLast = sMajor > 0 ? high - 1 - start : start - low;
    kFirst = std::max<std::int64_t>(kFirst, 0);
    kLast = std::min(kLast, steps - 1);
    std::int64_t minor = xMajor ? ady : adx;
    if (minor == 0 && FPen.Width == 1 && !FPlain) {
      Straight(xMajor, a, sMajor, kFirst, kLast);
      FPhase += steps;
      return;
    }
    int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    for (std::int64_t k = kFirst; k <= kLast; ++k) {
      // The minor coordinate is k * minor / steps rounded half up.
      std::int64_t m = (2 * k * minor + steps) / (2 * steps);
      std::int64_t x = xMajor ? a.X + sMajor * k : a.X + sMinor * m;
      std::int64_t y = xMajor ? a.Y + sMinor * m : a.Y + sMajor * k;
      Plot(int(x), int(y), FPhase + k);
    }
    FPhase += steps;
  }

private:
  void Plot(int x, int y, std::int64_t position)
  {
    if (FPen.Width > 1) {
      int half = FPen.Width / 2;
      FStamps.emplace_back(x - half, y - half, x - half + FPen.Width, y - half + FPen.Width);
      return;
    }
    if (!FTarget.Clip.Contains(x, y))
      return;
    bool on = TPatternWalk(FPattern, position).On();
    if (!on && !FOpaque)
      return;
    std::uint32_t& p = FTarget.At(x, y);
    p = ApplyRop2(FRop2, on ? FPen.Color : FBack, p);
  }

  // A one-pixel line along a row (horizontal) or a column, steps kFirst to
  // kLast from a in direction s: the clip's rectangles give its visible
  // runs, along which the pattern steps on, so that no pixel is looked up
  // in the clip or the pattern. The same pixels as Plot.
  void Straight(bool horizontal, POINT a, int s, std::int64_t kFirst, std::int64_t kLast)
  {
    const std::int64_t across = horizontal ? a.Y : a.X, start = horizontal ? a.X : a.Y;
    for (const RECT& r : FTarget.Clip.Rects()) {
      if (across < (horizontal ? r.Top : r.Left) || across >= (horizontal ? r.Bottom : r.Right))
        continue;
      const std::int64_t low = horizontal ? r.Left : r.Top, high = (horizontal ? r.Right : r.Bottom) - 1;
      const std::int64_t k0 = std::max(kFirst, s > 0 ? low - start : start - high);
      const std::int64_t k1 = std::min(kLast, s > 0 ? high - start : start - low);
      if (k0 > k1)
        continue;
      const int along = int(start + s * k0);
      std::uint32_t* first = &FTarget.At(horizontal ? along : int(across), horizontal ? int(across) : along);
      const std::ptrdiff_t step = s * (horizontal ? 1 : std::ptrdiff_t(FTarget.Surface->Width));
      TPatternWalk walk(FPattern, FPhase + k0);
      for (std::ptrdiff_t i = 0; i <= k1 - k0; ++i, walk.Step()) {
        std::uint32_t& p = first[i * step];
        if (walk.On())
          p = FOn.Over(p);
        else if (FOpaque)
          p = FOff.Over(p);
      }
    }
  }

  void Flush()
  {
    if (FStamps.empty())
      return;
    ForEachPixel(FTarget, TRegion::FromRects(FStamps),
                 [this](std::uint32_t& p, int, int) { p = ApplyRop2(FRop2, FPen.Color, p); });
    FStamps.clear();
  }

  const TTarget& FTarget;
  TPen FPen;
  int FRop2;
  std::uint32_t FBack = 0;
  bool FOpaque = true;
  std::span<const int> FPattern;
  RECT FBox;
  std::int64_t FPhase = 0;
  std::vector<RECT> FStamps;
  TInk FOn, FOff; // the pen's and the background's
  bool FPlain;
};

void PaintRegion(const TTarget& t, const TRegion& area, std::uint32_t color, int rop2)
{
  ForEachPixel(t, area, [&](std::uint32_t& p, int, int) { p = ApplyRop2(rop2, color, p); });
}

RECT Deflated(RECT r, int by)
{
  r.Inflate(-by, -by);
  if (r.IsEmpty())
    return RECT();
  return r;
}

// The box a closed figure's pen covers: a pen of width w is centred on the
// figure's edge pixels (its extra pixel going up and left); an inside-frame
// pen stays inside.
RECT PenBox(const RECT& r, const TPen& pen)
{
  if (pen.Style == PS_INSIDEFRAME || pen.Width == 1)
    return r;
  int before = pen.Width / 2, after = pen.Width - 1 - before;
  return RECT(r.Left - before, r.Top - before, r.Right + after, r.Bottom + after);
}

// A closed figure: `shape(box, inset)` gives the figure of a box shrunk by
// `inset` on every side. The pen's band is the figure less its inset by the
// pen width; the brush fills the rest. Without a pen, Win32 makes the figure
// one pixel smaller on the right and bottom.
template <class Shape>
BOOL DrawFigure(HDC dc, const RECT& logical, Shape shape)
{
  if (!LiveDC(dc))
    return FALSE;
  RECT r = RectToDevice(dc, logical);
  TPen pen = PenOf(dc);
  int rop2 = dc->State.Rop2;
  TTarget t = MakeTarget(dc);
  if (pen.Null) {
    RECT inner(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
    if (!ShapeSizeOk(inner))
      return FALSE;
    FillWithBrush(dc, t, shape(inner, 0), dc->State.Brush, rop2);
    return TRUE;
  }
  RECT box = PenBox(r, pen);
  if (!ShapeSizeOk(box))
    return FALSE;
  TRegion outer = shape(box, 0), inner = shape(Deflated(box, pen.Width), pen.Width);
  FillWithBrush(dc, t, inner.Intersect(outer), dc->State.Brush, rop2);
  PaintRegion(t, outer.Subtract(inner), pen.Color, rop2);
  return TRUE;
}

std::vector<POINT> ToDevice(HDC dc, const POINT* points, int count)
{
  std::vector<POINT> out(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    out[std::size_t(i)] = LPtoDevice(dc, points[i]);
  return out;
}

bool PointsOk(HDC dc, const POINT* points, int count)
{
  return LiveDC(dc) && points && count >= 2 && count <= kMaxPolygonPoints;
}

} // namespace

BOOL MoveToEx(HDC dc, int x, int y, POINT* old)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return FALSE;
  if (old)
    *old = d->State.CurrentPos;
  d->State.CurrentPos = POINT(x, y);
  return TRUE;
}

namespace {

BOOL LineToWith(HDC dc, int x, int y, bool plain)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return FALSE;
  TTarget t = MakeTarget(dc);
  TLinePainter(dc, t, plain).Line(LPtoDevice(dc, d->State.CurrentPos), LPtoDevice(dc, POINT(x, y)));
  d->State.CurrentPos = POINT(x, y);
  return TRUE;
}

} // namespace

BOOL LineTo(HDC dc, int x, int y)
{
  return LineToWith(dc, x, y, false);
}

BOOL LineToReference(HDC dc, int x, int y)
{
  return LineToWith(dc, x, y, true);
}

BOOL LineDDA(int xStart, int yStart, int xEnd, int yEnd, LINEDDAPROC proc, LPARAM data)
{
  if (!proc)
    return FALSE;
  std::int64_t dx = std::int64_t(xEnd) - xStart, dy = std::int64_t(yEnd) - yStart;
  std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  bool xMajor = adx >= ady;
  std::int64_t steps = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1, sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
  for (std::int64_t k = 0; k < steps; ++k) {
    // The same points LineTo lights: the minor coordinate rounded half up.
    std::int64_t m = (2 * k * minor + steps) / (2 * steps);
    std::int64_t x = xMajor ? xStart + sMajor * k : xStart + sMinor * m;
    std::int64_t y = xMajor ? yStart + sMinor * m : yStart + sMajor * k;
    proc(int(x), int(y), data);
  }
  return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
  if (!PointsOk(dc, points, count))
    return FALSE;
  std::vector<POINT> pts = ToDevice(dc, points, count);
  TTarget t = MakeTarget(dc);
  TLinePainter painter(dc, t);
  for (std::size_t i = 1; i < pts.size(); ++i)
    painter.Line(pts[i - 1], pts[i]);
  return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count)
{
  if (!PointsOk(dc, points, count))
    return FALSE;
  std::vector<POINT> pts = ToDevice(dc, points, count);
  TTarget t = MakeTarget(dc);
  if (t.Empty())
    return TRUE;
  RECT rows;
  IntersectRect(rows, PointsBox(pts.data(), count), t.Clip.Box());
  FillWithBrush(dc, t, PolygonRegion(pts.data(), count, dc->State.PolyFillMode, rows), dc->State.Brush,
                dc->State.Rop2);
  TLinePainter painter(dc, t);
  for (std::size_t i = 0; i < pts.size(); ++i)
    painter.Line(pts[i], pts[(i + 1) % pts.size()]);
  return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
  TPenObject* pen = LiveDC(dc) ? LiveObjectOf<TPenObject>(dc->State.Pen) : nullptr;
  bool styled = pen && pen->Width <= 1 && !StylePattern(pen->Style).empty();
  if (!styled)
    return DrawFigure(dc, RECT(left, top, right, bottom), [](const RECT& r, int) { return TRegion(r); });
  // Dashed and dotted outlines are drawn as lines around the edge pixels.
  RECT r = RectToDevice(dc, RECT(left, top, right, bottom));
  TTarget t = MakeTarget(dc);
  FillWithBrush(dc, t, TRegion(Deflated(r, 1)), dc->State.Brush, dc->State.Rop2);
  if (r.IsEmpty())
    return TRUE;
  const POINT corners[] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
  TLinePainter painter(dc, t);
  for (int i = 0; i < 4; ++i)
    painter.Line(corners[i], corners[(i + 1) % 4]);
  return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom)
{
  return DrawFigure(dc, RECT(left, top, right, bottom), [](const RECT& r, int) { return EllipseRegion(r); });
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height)
{
  return DrawFigure(dc, RECT(left, top, right, bottom), [=](const RECT& r, int inset) {
    return RoundRectRegion(r, width - 2 * inset, height - 2 * inset);
  });
}

} // namespace Win

// TRegion on pixman's banded regions, and the region calls of the GDI.
#include "Win.Gdi.Internal.hpp"
#include "Win.Gdi.Raster.hpp"

#include <pixman.h>

#include <algorithm>
#include <new>

namespace Win {

namespace {

// pixman works with 32-bit coordinates but forms sums of them; keeping every
// coordinate within +-2^28 leaves it room and is far beyond any surface.
constexpr std::int64_t kCoordLimit = std::int64_t(1) << 28;

int ClampCoord(std::int64_t v)
{
  return int(std::clamp(v, -kCoordLimit, kCoordLimit));
}

class TPixmanRegion {
public:
  TPixmanRegion() { pixman_region32_init(&FRegion); }
  explicit TPixmanRegion(std::span<const RECT> rects)
  {
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(rects.size());
    for (const RECT& r : rects) {
      pixman_box32_t b{ClampCoord(r.Left), ClampCoord(r.Top), ClampCoord(r.Right), ClampCoord(r.Bottom)};
      if (b.x1 < b.x2 && b.y1 < b.y2)
        boxes.push_back(b);
    }
    if (!pixman_region32_init_rects(&FRegion, boxes.data(), int(boxes.size()))) {
      pixman_region32_fini(&FRegion);
      throw std::bad_alloc();
    }
  }
  ~TPixmanRegion() { pixman_region32_fini(&FRegion); }
  TPixmanRegion(const TPixmanRegion&) = delete;
  TPixmanRegion& operator=(const TPixmanRegion&) = delete;

  pixman_region32_t* Get() { return &FRegion; }

  std::vector<RECT> Rects()
  {
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&FRegion, &n);
    std::vector<RECT> rects;
    rects.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
      rects.emplace_back(boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2);
    return rects;
  }

private:
  pixman_region32_t FRegion;
};

using TPixmanOp = pixman_bool_t (*)(pixman_region32_t*, const pixman_region32_t*, const pixman_region32_t*);

std::vector<RECT> Apply(TPixmanOp op, std::span<const RECT> a, std::span<const RECT> b)
{
  TPixmanRegion ra(a), rb(b), out;
  if (!op(out.Get(), ra.Get(), rb.Get()))
    throw std::bad_alloc();
  return out.Rects();
}

bool SameSpans(const RECT* a, const RECT* b, std::size_t count)
{
  for (std::size_t i = 0; i < count; ++i)
    if (a[i].Left != b[i].Left || a[i].Right != b[i].Right)
      return false;
  return true;
}

// Merges vertically adjacent bands with the same spans, so that equal pixel
// sets always have equal rectangle lists.
std::vector<RECT> Coalesce(std::vector<RECT> rects)
{
  std::vector<RECT> out;
  out.reserve(rects.size());
  std::size_t prevStart = 0, prevCount = 0;
  for (std::size_t i = 0; i < rects.size();) {
    std::size_t j = i;
    while (j < rects.size() && rects[j].Top == rects[i].Top)
      ++j;
    std::size_t count = j - i;
    bool merge = prevCount == count && out[prevStart].Bottom == rects[i].Top &&
                 SameSpans(&out[prevStart], &rects[i], count);
    if (merge) {
      for (std::size_t k = 0; k < count; ++k)
        out[prevStart + k].Bottom = rects[i + k].Bottom;
    } else {
      prevStart = out.size();
      prevCount = count;
      out.insert(out.end(), rects.begin() + std::ptrdiff_t(i), rects.begin() + std::ptrdiff_t(j));
    }
    i = j;
  }
  return out;
}

} // namespace

TRegion::TRegion(const RECT& rect)
{
  RECT r(ClampCoord(rect.Left), ClampCoord(rect.Top), ClampCoord(rect.Right), ClampCoord(rect.Bottom));
  FIsRect = !r.IsEmpty();
  if (FIsRect)
    FRect = r;
}

TRegion TRegion::FromRects(const std::vector<RECT>& rects)
{
  TRegion r;
  r.SetRects(Coalesce(TPixmanRegion(rects).Rects()));
  return r;
}

void TRegion::SetRects(std::vector<RECT> rects)
{
  FIsRect = rects.size() == 1;
  if (FIsRect)
    FRect = rects.front();
  FRects = FIsRect ? std::vector<RECT>() : std::move(rects);
}

RECT TRegion::Box() const
{
  if (IsEmpty())
    return RECT();
  const std::span<const RECT> rects = Rects();
  RECT box(rects.front().Left, rects.front().Top, rects.front().Right, rects.back().Bottom);
  for (const RECT& r : rects) {
    box.Left = std::min(box.Left, r.Left);
    box.Right = std::max(box.Right, r.Right);
  }
  return box;
}

bool TRegion::Contains(int x, int y) const
{
  for (const RECT& r : Rects()) {
    if (r.Top > y)
      break;
    if (r.Contains(POINT(x, y)))
      return true;
  }
  return false;
}

bool TRegion::Intersects(const RECT& rect) const
{
  if (rect.IsEmpty())
    return false;
  return std::ranges::any_of(Rects(), [&](const RECT& r) { return r.IntersectsWith(rect); });
}

// The shortcuts below answer the common cases of painting (a rectangle
// against a rectangle, or against a region inside it) without building pixman
// regions; each returns the same canonical rectangle list pixman would.
namespace {

bool Covers(const RECT& outer, const RECT& inner)
{
  return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
         outer.Bottom >= inner.Bottom;
}

bool IsRect(const TRegion& region)
{
  return region.Rects().size() == 1;
}

} // namespace

TRegion TRegion::Intersect(const TRegion& other) const
{
  if (IsEmpty() || other.IsEmpty())
    return TRegion();
  const RECT box = Box(), otherBox = other.Box();
  if (!box.IntersectsWith(otherBox))
    return TRegion();
  if (IsRect(*this) && IsRect(other))
    return TRegion(RECT(std::max(box.Left, otherBox.Left), std::max(box.Top, otherBox.Top),
                        std::min(box.Right, otherBox.Right), std::min(box.Bottom, otherBox.Bottom)));
  if (IsRect(*this) && Covers(box, otherBox))
    return other;
  if (IsRect(other) && Covers(otherBox, box))
    return *this;
  TRegion r;
  r.SetRects(Coalesce(Apply(pixman_region32_intersect, Rects(), other.Rects())));
  return r;
}

TRegion TRegion::Union(const TRegion& other) const
{
  if (other.IsEmpty())
    return *this;
  if (IsEmpty())
    return other;
  if (IsRect(*this) && Covers(Box(), other.Box()))
    return *this;
  if (IsRect(other) && Covers(other.Box(), Box()))
    return other;
  TRegion r;
  r.SetRects(Coalesce(Apply(pixman_region32_union, Rects(), other.Rects())));
  return r;
}

TRegion TRegion::Subtract(const TRegion& other) const
{
  if (IsEmpty() || other.IsEmpty() || !Box().IntersectsWith(other.Box()))
    return *this;
  if (IsRect(other) && Covers(other.Box(), Box()))
    return TRegion();
  TRegion r;
  r.SetRects(Coalesce(Apply(pixman_region32_subtract, Rects(), other.Rects())));
  return r;
}

TRegion TRegion::Xor(const TRegion& other) const
{
  return Subtract(other).Union(other.Subtract(*this));
}

void TRegion::Offset(int dx, int dy)
{
  for (RECT& r : MutableRects())
    r = RECT(ClampCoord(std::int64_t(r.Left) + dx), ClampCoord(std::int64_t(r.Top) + dy),
             ClampCoord(std::int64_t(r.Right) + dx), ClampCoord(std::int64_t(r.Bottom) + dy));
  // Clamping at the limit may flatten rectangles; rebuild only then.
  if (std::ranges::any_of(Rects(), [](const RECT& r) { return r.IsEmpty(); }))
    *this = FromRects(std::vector<RECT>(Rects().begin(), Rects().end()));
}

int TRegion::Complexity() const
{
  if (IsEmpty())
    return NULLREGION;
  return FIsRect ? SIMPLEREGION : COMPLEXREGION;
}

// ---- region objects ------------------------------------------------------------

namespace {

HRGN NewRegion(TRegion region)
{
  auto* obj = new TRegionObject();
  obj->Region = std::move(region);
  return obj;
}

RECT Ordered(int left, int top, int right, int bottom)
{
  RECT r(left, top, right, bottom);
  r.NormalizeRect();
  return r;
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
  return NewRegion(TRegion(Ordered(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT& rect)
{
  return CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom)
{
  RECT r = Ordered(left, top, right, bottom);
  if (!ShapeSizeOk(r))
    return nullptr;
  return NewRegion(EllipseRegion(r));
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height)
{
  RECT r = Ordered(left, top, right, bottom);
  if (!ShapeSizeOk(r))
    return nullptr;
  return NewRegion(RoundRectRegion(r, width, height));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
  if (!points || count < 2 || count > kMaxPolygonPoints || (fillMode != ALTERNATE && fillMode != WINDING))
    return nullptr;
  RECT box = PointsBox(points, count);
  if (!ShapeSizeOk(box))
    return nullptr;
  return NewRegion(PolygonRegion(points, count, fillMode, box));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
  auto* d = LiveObjectOf<TRegionObject>(dest);
  auto* a = LiveObjectOf<TRegionObject>(src1);
  auto* b = LiveObjectOf<TRegionObject>(src2);
  if (!d || !a || (mode != RGN_COPY && !b))
    return ERROR;
  switch (mode) {
  case RGN_AND: d->Region = a->Region.Intersect(b->Region); break;
  case RGN_OR: d->Region = a->Region.Union(b->Region); break;
  case RGN_XOR: d->Region = a->Region.Xor(b->Region); break;
  case RGN_DIFF: d->Region = a->Region.Subtract(b->Region); break;
  case RGN_COPY: d->Region = a->Region; break;
  default: return ERROR;
  }
  return d->Region.Complexity();
}

int OffsetRgn(HRGN rgn, int x, int y)
{
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!r)
    return ERROR;
  r->Region.Offset(x, y);
  return r->Region.Complexity();
}

int GetRgnBox(HRGN rgn, RECT* rect)
{
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!r || !rect)
    return ERROR;
  *rect = r->Region.Box();
  return r->Region.Complexity();
}

BOOL PtInRegion(HRGN rgn, int x, int y)
{
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  return r && r->Region.Contains(x, y);
}

BOOL RectInRegion(HRGN rgn, const RECT* rect)
{
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!r || !rect)
    return FALSE;
  RECT n = *rect;
  n.NormalizeRect();
  return r->Region.Intersects(n);
}

BOOL EqualRgn(HRGN a, HRGN b)
{
  auto* ra = LiveObjectOf<TRegionObject>(a);
  auto* rb = LiveObjectOf<TRegionObject>(b);
  return ra && rb && ra->Region == rb->Region;
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom)
{
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!r)
    return FALSE;
  r->Region = TRegion(Ordered(left, top, right, bottom));
  return TRUE;
}

} // namespace Win

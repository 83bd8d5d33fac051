// 3-D edges and frame controls in the classic look, coloured from the
// system colours so that a changed scheme shows at once.
#include "Win.Gdi.Raster.hpp"

namespace Win {

namespace {

constexpr int kNone = -1;

void FillSys(HDC dc, const RECT& logical, int index)
{
  if (index != kNone)
    DCFillDeviceRect(dc, RectToDevice(dc, logical), GetSysColor(index));
}

// Alternating pixels of two system colours, aligned to the device grid.
void FillChecker(HDC dc, const RECT& logical, int even, int odd)
{
  std::uint32_t a = ToPixel(GetSysColor(even)), b = ToPixel(GetSysColor(odd));
  ForEachPixel(MakeTarget(dc), RectToDevice(dc, logical),
               [&](std::uint32_t& p, int x, int y) { p = ((x + y) & 1) == 0 ? a : b; });
}

struct TRing {
  int TopLeft = kNone;
  int BottomRight = kNone;
  bool Present() const { return TopLeft != kNone; }
};

// The colours of one ring of an edge; kind is 1 raised, 2 sunken.
TRing RingColors(UINT kind, bool outer, UINT flags)
{
  if (kind != BDR_RAISEDOUTER && kind != BDR_SUNKENOUTER)
    return {};
  if (flags & BF_MONO)
    return outer ? TRing{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME} : TRing{COLOR_WINDOW, COLOR_WINDOW};
  if (flags & BF_FLAT)
    return outer ? TRing{COLOR_BTNSHADOW, COLOR_BTNSHADOW} : TRing{COLOR_BTNFACE, COLOR_BTNFACE};
  bool soft = flags & BF_SOFT, raised = kind == BDR_RAISEDOUTER;
  if (outer && raised)
    return {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  if (outer)
    return {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
  if (raised)
    return {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
  return {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

// One pixel wide along the flagged sides; the bottom and right sides are
// drawn last, so they own the top-right and bottom-left corners.
void DrawRing(HDC dc, RECT& r, const TRing& ring, UINT flags)
{
  if (!ring.Present() || r.IsEmpty())
    return;
  if (flags & BF_TOP)
    FillSys(dc, RECT(r.Left, r.Top, r.Right, r.Top + 1), ring.TopLeft);
  if (flags & BF_LEFT)
    FillSys(dc, RECT(r.Left, r.Top, r.Left + 1, r.Bottom), ring.TopLeft);
  if (flags & BF_BOTTOM)
    FillSys(dc, RECT(r.Left, r.Bottom - 1, r.Right, r.Bottom), ring.BottomRight);
  if (flags & BF_RIGHT)
    FillSys(dc, RECT(r.Right - 1, r.Top, r.Right, r.Bottom), ring.BottomRight);
  r = RECT(r.Left + ((flags & BF_LEFT) ? 1 : 0), r.Top + ((flags & BF_TOP) ? 1 : 0),
           r.Right - ((flags & BF_RIGHT) ? 1 : 0), r.Bottom - ((flags & BF_BOTTOM) ? 1 : 0));
}

RECT Square(const RECT& r)
{
  int side = std::max(0, std::min(r.Width(), r.Height()));
  return CenteredRect(r, RECT(0, 0, side, side));
}

RECT Inset(RECT r, int by)
{
  r.Inflate(-by, -by);
  return r;
}

// ---- buttons -------------------------------------------------------------------

BOOL PushButton(HDC dc, RECT* rect, UINT state)
{
  bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
  UINT flags = BF_RECT | BF_SOFT | BF_ADJUST;
  if (state & DFCS_FLAT)
    flags |= BF_FLAT;
  if (state & DFCS_MONO)
    flags |= BF_MONO;
  RECT inner = *rect;
  DrawEdge(dc, &inner, pushed ? EDGE_SUNKEN : EDGE_RAISED, flags);
  if (!(state & DFCS_TRANSPARENT)) {
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED))
      FillChecker(dc, inner, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE);
    else
      FillSys(dc, inner, COLOR_BTNFACE);
  }
  if (state & DFCS_ADJUSTRECT)
    *rect = inner;
  return TRUE;
}

int MarkColor(UINT state)
{
  bool grey = (state & DFCS_INACTIVE) || (state & 0xFF) == DFCS_BUTTON3STATE;
  return grey ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
}

void FillBoxInterior(HDC dc, const RECT& r, UINT state)
{
  if (state & DFCS_TRANSPARENT)
    return;
  if ((state & 0xFF) == DFCS_BUTTON3STATE && (state & DFCS_CHECKED))
    FillChecker(dc, r, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE);
  else
    FillSys(dc, r, (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW);
}

// The classic 7 x 7 check mark, one string per row.
constexpr const char* kCheckMark[] = {
  "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};

BOOL CheckBox(HDC dc, RECT* rect, UINT state)
{
  RECT box = Square(*rect);
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    RECT frame = box;
    int color = (state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
    DrawRing(dc, frame, TRing{color, color}, BF_RECT);
    box = frame;
  } else {
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  FillBoxInterior(dc, box, state);
  if (!(state & DFCS_CHECKED))
    return TRUE;
  RECT mark = CenteredRect(box, RECT(0, 0, 7, 7));
  RECT clip;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      if (kCheckMark[y][x] == '#' &&
          IntersectRect(clip, box, RECT(mark.Left + x, mark.Top + y, mark.Left + x + 1, mark.Top + y + 1)))
        FillSys(dc, clip, MarkColor(state));
  return TRUE;
}

// Paints a device region pixel by pixel with the system colour `color(x, y)`.
template <class Color>
void PaintSys(HDC dc, const TRegion& area, Color color)
{
  ForEachPixel(MakeTarget(dc), area, [&](std::uint32_t& p, int x, int y) {
    int index = color(x, y);
    if (index != kNone)
      p = ToPixel(GetSysColor(index));
  });
}

BOOL RadioButton(HDC dc, RECT* rect, UINT state)
{
  RECT box = RectToDevice(dc, Square(*rect));
  int side = box.Width();
  TRegion e0 = EllipseRegion(box), e1 = EllipseRegion(Inset(box, 1)), e2 = EllipseRegion(Inset(box, 2));
  auto upperLeft = [&](int x, int y) { return (x - box.Left) + (y - box.Top) < side - 1; };
  bool flat = state & (DFCS_FLAT | DFCS_MONO);
  int flatColor = (state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
  int face = (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW;
  PaintSys(dc, e0.Subtract(e1), [&](int x, int y) {
    return flat ? flatColor : upperLeft(x, y) ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
  });
  bool transparent = state & DFCS_TRANSPARENT;
  PaintSys(dc, e1.Subtract(e2), [&](int x, int y) {
    if (flat)
      return transparent ? kNone : face;
    return upperLeft(x, y) ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
  });
  if (!transparent)
    PaintSys(dc, e2, [&](int, int) { return face; });
  if (state & DFCS_CHECKED) {
    int dot = std::max(2, side / 3);
    PaintSys(dc, EllipseRegion(CenteredRect(box, RECT(0, 0, dot, dot))), [&](int, int) { return MarkColor(state); });
  }
  return TRUE;
}

// ---- scroll arrows ----------------------------------------------------------------

enum class TArrow { Up, Down, Left, Right };

void DrawArrow(HDC dc, const RECT& r, TArrow dir, int color, int shift)
{
  int size = std::max(1, (std::min(r.Width(), r.Height()) + 1) / 4);
  bool vertical = dir == TArrow::Up || dir == TArrow::Down;
  int length = 2 * size - 1;
  RECT area = CenteredRect(r, vertical ? RECT(0, 0, length, size) : RECT(0, 0, size, length));
  area.Offset(shift, shift);
  for (int i = 0; i < size; ++i) {
    // Row i from the tip holds 2i + 1 pixels.
    int tip = (dir == TArrow::Up || dir == TArrow::Left) ? i : size - 1 - i;
    RECT line = vertical ? RECT(area.Left + size - 1 - tip, area.Top + i, area.Left + size + tip, area.Top + i + 1)
                         : RECT(area.Left + i, area.Top + size - 1 - tip, area.Left + i + 1, area.Top + size + tip);
    FillSys(dc, line, color);
  }
}

BOOL ScrollButton(HDC dc, RECT* rect, UINT state)
{
  TArrow dir;
  switch (state & 0x1F) {
  case DFCS_SCROLLUP: dir = TArrow::Up; break;
  case DFCS_SCROLLDOWN:
  case DFCS_SCROLLCOMBOBOX: dir = TArrow::Down; break;
  case DFCS_SCROLLLEFT: dir = TArrow::Left; break;
  case DFCS_SCROLLRIGHT: dir = TArrow::Right; break;
  default: return FALSE;
  }
  bool pushed = state & DFCS_PUSHED;
  UINT flags = BF_RECT | BF_ADJUST | BF_MIDDLE;
  if ((state & DFCS_FLAT) || pushed)
    flags |= BF_FLAT;
  if (state & DFCS_MONO)
    flags |= BF_MONO;
  RECT inner = *rect;
  if (state & DFCS_TRANSPARENT)
    flags &= ~BF_MIDDLE;
  DrawEdge(dc, &inner, EDGE_RAISED, flags);
  int shift = pushed ? 1 : 0;
  if (state & DFCS_INACTIVE) {
    DrawArrow(dc, *rect, dir, COLOR_BTNHIGHLIGHT, shift + 1);
    DrawArrow(dc, *rect, dir, COLOR_BTNSHADOW, shift);
  } else {
    DrawArrow(dc, *rect, dir, COLOR_BTNTEXT, shift);
  }
  if (state & DFCS_ADJUSTRECT)
    *rect = inner;
  return TRUE;
}

} // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags)
{
  if (!LiveDC(dc) || !rect || (flags & BF_DIAGONAL))
    return FALSE;
  RECT r = *rect;
  r.NormalizeRect();
  TRing outer = RingColors(edge & 3, true, flags), inner = RingColors((edge >> 2) & 3, false, flags);
  DrawRing(dc, r, outer, flags);
  DrawRing(dc, r, inner, flags);
  if (flags & BF_MIDDLE)
    FillSys(dc, r, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (flags & BF_ADJUST)
    *rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state)
{
  if (!LiveDC(dc) || !rect)
    return FALSE;
  switch (type) {
  case DFC_BUTTON:
    switch (state & 0xFF) {
    case DFCS_BUTTONPUSH: return PushButton(dc, rect, state);
    case DFCS_BUTTONCHECK:
    case DFCS_BUTTON3STATE: return CheckBox(dc, rect, state);
    case DFCS_BUTTONRADIO: return RadioButton(dc, rect, state);
    default: return FALSE;
    }
  case DFC_SCROLL: return ScrollButton(dc, rect, state);
  default: return FALSE;
  }
}

} // namespace Win

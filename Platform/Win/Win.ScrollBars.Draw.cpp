#include "Win.ScrollBars.Internal.hpp"

#include "Win.Themes.hpp"

namespace Win {

namespace {

// The themed look: a light track, a grey thumb that darkens under the
// hand, small dark arrows.
constexpr COLORREF kTrack = 0x00F0F0F0, kThumb = 0x00CDCDCD, kThumbPressed = 0x00606060, kArrowInk = 0x00606060,
                   kArrowDisabled = 0x00BFBFBF, kArrowPressed = 0x00DADADA;

void Fill(HDC dc, const RECT& r, COLORREF color)
{
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// The rectangle of a stretch along the bar, from offset a to offset b.
RECT Stretch(const TScrollBarLayout& l, int a, int b)
{
  return l.Vertical ? RECT(l.Bar.Left, l.Bar.Top + a, l.Bar.Right, l.Bar.Top + b)
                    : RECT(l.Bar.Left + a, l.Bar.Top, l.Bar.Left + b, l.Bar.Bottom);
}

// A small solid triangle pointing away from the bar's middle.
void ThemedArrow(HDC dc, const RECT& r, bool vertical, bool towardStart, COLORREF ink)
{
  constexpr int rows = 4;
  int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  for (int i = 0; i < rows; ++i) {
    int half = towardStart ? i : rows - 1 - i;
    int along = (vertical ? cy : cx) - rows / 2 + i;
    RECT line = vertical ? RECT(cx - half, along, cx + half + 1, along + 1)
                         : RECT(along, cy - half, along + 1, cy + half + 1);
    Fill(dc, line, ink);
  }
}

void DrawThemed(HDC dc, const TScrollBarLayout& l, int pressed)
{
  Fill(dc, l.Bar, kTrack);
  for (int part : {SBI_LINEUP, SBI_LINEDOWN}) {
    bool start = part == SBI_LINEUP;
    RECT r = start ? Stretch(l, 0, l.Arrow) : Stretch(l, l.Length - l.Arrow, l.Length);
    COLORREF ink = l.Enabled ? kArrowInk : kArrowDisabled;
    if (pressed == part)
      Fill(dc, r, kArrowPressed);
    ThemedArrow(dc, r, l.Vertical, start, ink);
  }
  if (!l.HasThumb)
    return;
  RECT thumb = Stretch(l, l.ThumbTop, l.ThumbBottom);
  // The thumb stands a little inside the track, across the bar.
  if (l.Vertical)
    thumb.Inflate(-2, 0);
  else
    thumb.Inflate(0, -2);
  Fill(dc, thumb, pressed == SBI_THUMB ? kThumbPressed : kThumb);
}

void DrawClassic(HDC dc, const TScrollBarLayout& l, int pressed)
{
  Fill(dc, l.Bar, GetSysColor(COLOR_SCROLLBAR));
  if (pressed == SBI_PAGEUP || pressed == SBI_PAGEDOWN) {
    RECT page = pressed == SBI_PAGEUP ? Stretch(l, l.Arrow, l.ThumbTop) : Stretch(l, l.ThumbBottom, l.Length - l.Arrow);
    Fill(dc, page, GetSysColor(COLOR_3DDKSHADOW));
  }
  for (int part : {SBI_LINEUP, SBI_LINEDOWN}) {
    bool start = part == SBI_LINEUP;
    RECT r = start ? Stretch(l, 0, l.Arrow) : Stretch(l, l.Length - l.Arrow, l.Length);
    UINT kind = l.Vertical ? (start ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) : (start ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT);
    if (!l.Enabled)
      kind |= DFCS_INACTIVE;
    if (pressed == part)
      kind |= DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(dc, &r, DFC_SCROLL, kind);
  }
  if (!l.HasThumb)
    return;
  RECT thumb = Stretch(l, l.ThumbTop, l.ThumbBottom);
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

} // namespace

void DrawScrollBar(HDC dc, const TScrollBarLayout& layout, int pressedPart)
{
  if (IsAppThemed())
    DrawThemed(dc, layout, pressedPart);
  else
    DrawClassic(dc, layout, pressedPart);
}

void DrawScrollBarCorner(HDC dc, const RECT& corner)
{
  Fill(dc, corner, IsAppThemed() ? kTrack : GetSysColor(COLOR_BTNFACE));
}

} // namespace Win

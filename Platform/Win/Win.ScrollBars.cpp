#include "Win.ScrollBars.Internal.hpp"

#include "Win.Kernel.hpp"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace Win {

namespace {

// The thumb never gets shorter than this, however long the range.
constexpr int kMinThumb = 8;
constexpr UINT_PTR kRepeatTimerId = UINT_PTR(-0x5C);

struct TWindowBars {
  TScrollBarState Bar[2]; // SB_HORZ, SB_VERT
};

std::unordered_map<HWND, TWindowBars>& Bars()
{
  static std::unordered_map<HWND, TWindowBars> bars;
  return bars;
}

// The one bar the mouse is holding down.
struct TTracking {
  HWND Window = nullptr;
  int Bar = SB_VERT;
  int Part = -1;
  bool Inside = true;   // the pointer is over the held part (arrows and track)
  int Grab = 0;         // thumb: the pointer's offset into the thumb
  int StartPos = 0;
  POINT Last;           // screen
};
TTracking gTrack;

DWORD BarStyle(int nBar)
{
  return nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

bool Shows(HWND hWnd, int nBar)
{
  return (hWnd->Style & BarStyle(nBar)) != 0;
}

int Thickness(int nBar)
{
  return GetSystemMetrics(nBar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
}

TScrollBarState& MutableState(HWND hWnd, int nBar)
{
  return Bars()[hWnd].Bar[nBar];
}

// The largest position the page still fits under.
int MaxPos(const TScrollBarState& s)
{
  return s.Max - std::max(int(s.Page) - 1, 0);
}

// Does the range ask for scrolling at all?
bool NeedsScrolling(const TScrollBarState& s)
{
  return s.Max > s.Min && !(s.Page != 0 && std::int64_t(s.Page) > std::int64_t(s.Max) - s.Min);
}

void ClampState(TScrollBarState& s)
{
  std::int64_t span = std::int64_t(s.Max) - s.Min + 1;
  if (std::int64_t(s.Page) > span)
    s.Page = UINT(std::max<std::int64_t>(span, 0));
  s.Pos = std::clamp(s.Pos, s.Min, std::max(s.Min, MaxPos(s)));
}

POINT WindowPoint(HWND hWnd, POINT screen)
{
  ScreenToClient(hWnd, &screen);
  return screen;
}

int OffsetAlong(const TScrollBarLayout& l, POINT windowPoint)
{
  return l.Vertical ? windowPoint.Y - l.Bar.Top : windowPoint.X - l.Bar.Left;
}

// How far a point lies beside the bar, across it.
int DistanceAcross(const TScrollBarLayout& l, POINT p)
{
  int lo = l.Vertical ? l.Bar.Left : l.Bar.Top, hi = l.Vertical ? l.Bar.Right : l.Bar.Bottom;
  int v = l.Vertical ? p.X : p.Y;
  return v < lo ? lo - v : v >= hi ? v - hi + 1 : 0;
}

// Redraws the strips at once, as the bar moves under the user's hand.
void RedrawBars(HWND hWnd)
{
  if (IsLive(hWnd) && IsWindowVisible(hWnd) && !PaintSuspended(hWnd))
    PaintScrollBars(hWnd);
}

void SetShown(HWND hWnd, int nBar, bool show)
{
  if (Shows(hWnd, nBar) == show)
    return;
  if (show)
    hWnd->Style |= BarStyle(nBar);
  else
    hWnd->Style &= ~BarStyle(nBar);
  FrameChanged(hWnd);
}

void Notify(HWND hWnd, int nBar, WORD code, int pos = 0)
{
  SendMessage(hWnd, nBar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), 0);
}

WORD CodeOfPart(int part)
{
  switch (part) {
  case SBI_LINEUP: return SB_LINEUP;
  case SBI_LINEDOWN: return SB_LINEDOWN;
  case SBI_PAGEUP: return SB_PAGEUP;
  default: return SB_PAGEDOWN;
  }
}

bool ArrowDisabled(const TScrollBarState& s, int part)
{
  return (part == SBI_LINEUP && (s.DisabledArrows & ESB_DISABLE_LTUP)) ||
         (part == SBI_LINEDOWN && (s.DisabledArrows & ESB_DISABLE_RTDN));
}

// Arrows and the track: is the pointer still on the held part? The page
// parts shrink as the thumb comes to meet the pointer.
bool OnHeldPart(POINT screen)
{
  TScrollBarLayout l = ScrollBarLayoutOf(gTrack.Window, gTrack.Bar);
  POINT p = WindowPoint(gTrack.Window, screen);
  return l.Bar.Contains(p) && ScrollBarPartAt(l, OffsetAlong(l, p)) == gTrack.Part;
}

void EndTracking();

void Repeat(HWND hWnd, UINT, UINT_PTR id, DWORD)
{
  if (hWnd != gTrack.Window || id != kRepeatTimerId || !IsLive(hWnd))
    return;
  SetTimer(hWnd, kRepeatTimerId, kScrollRepeatInterval, &Repeat);
  gTrack.Inside = OnHeldPart(gTrack.Last);
  if (gTrack.Inside)
    Notify(hWnd, gTrack.Bar, CodeOfPart(gTrack.Part));
  RedrawBars(hWnd);
}

void DragThumb(POINT screen)
{
  HWND w = gTrack.Window;
  TScrollBarLayout l = ScrollBarLayoutOf(w, gTrack.Bar);
  const TScrollBarState& s = ScrollBarState(w, gTrack.Bar);
  POINT p = WindowPoint(w, screen);
  int pos = gTrack.StartPos;
  int travel = (l.Length - 2 * l.Arrow) - (l.ThumbBottom - l.ThumbTop);
  if (DistanceAcross(l, p) <= kThumbDragTolerance && travel > 0) {
    int top = OffsetAlong(l, p) - gTrack.Grab - l.Arrow;
    std::int64_t range = std::int64_t(MaxPos(s)) - s.Min;
    pos = int(std::clamp<std::int64_t>(s.Min + (std::int64_t(top) * range + travel / 2) / travel, s.Min,
                                       std::max(s.Min, MaxPos(s))));
  }
  if (pos == s.TrackPos)
    return;
  MutableState(w, gTrack.Bar).TrackPos = pos;
  Notify(w, gTrack.Bar, SB_THUMBTRACK, pos);
  RedrawBars(w);
}

void Release()
{
  HWND w = gTrack.Window;
  int bar = gTrack.Bar;
  bool thumb = gTrack.Part == SBI_THUMB;
  EndTracking();
  if (thumb)
    Notify(w, bar, SB_THUMBPOSITION, ScrollBarState(w, bar).TrackPos);
  if (IsLive(w))
    Notify(w, bar, SB_ENDSCROLL);
  RedrawBars(w);
}

void EndTracking()
{
  HWND w = gTrack.Window;
  gTrack = TTracking{};
  if (IsLive(w))
    KillTimer(w, kRepeatTimerId);
}

} // namespace

void FrameChanged(HWND hWnd)
{
  RecalcFrame(hWnd);
  if (!IsLive(hWnd))
    return;
  LayoutChanged();
  SendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(hWnd->Rect.Width(), hWnd->Rect.Height()));
  if (IsLive(hWnd))
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

RECT InsideFrameOf(HWND hWnd)
{
  const RECT& f = hWnd->Frame;
  return RECT(0, 0, std::max(0, hWnd->Rect.Width() - f.Left - f.Right),
              std::max(0, hWnd->Rect.Height() - f.Top - f.Bottom));
}

RECT ClientRectOf(HWND hWnd)
{
  RECT r = InsideFrameOf(hWnd);
  if (Shows(hWnd, SB_VERT))
    r.Right = std::max(0, r.Right - Thickness(SB_VERT));
  if (Shows(hWnd, SB_HORZ))
    r.Bottom = std::max(0, r.Bottom - Thickness(SB_HORZ));
  return r;
}

const TScrollBarState& ScrollBarState(HWND hWnd, int nBar)
{
  static const TScrollBarState fresh;
  auto it = Bars().find(hWnd);
  return it == Bars().end() ? fresh : it->second.Bar[nBar];
}

TScrollBarLayout ScrollBarLayoutOf(HWND hWnd, int nBar)
{
  TScrollBarLayout l;
  l.Vertical = nBar == SB_VERT;
  if (!Shows(hWnd, nBar))
    return l;
  RECT c = ClientRectOf(hWnd), inside = InsideFrameOf(hWnd);
  l.Bar = l.Vertical ? RECT(c.Right, 0, inside.Right, c.Bottom) : RECT(0, c.Bottom, c.Right, inside.Bottom);
  l.Length = l.Vertical ? l.Bar.Height() : l.Bar.Width();
  l.Arrow = std::min(Thickness(nBar), l.Length / 2);
  const TScrollBarState& s = ScrollBarState(hWnd, nBar);
  l.Enabled = IsWindowEnabled(hWnd) && NeedsScrolling(s) && s.DisabledArrows != ESB_DISABLE_BOTH;
  int track = l.Length - 2 * l.Arrow;
  std::int64_t span = std::int64_t(s.Max) - s.Min + 1;
  int thumb = s.Page ? std::max(int(std::int64_t(track) * s.Page / span), kMinThumb) : Thickness(nBar);
  if (!l.Enabled || thumb > track)
    return l;
  l.HasThumb = true;
  int pos = gTrack.Window == hWnd && gTrack.Bar == nBar && gTrack.Part == SBI_THUMB ? s.TrackPos : s.Pos;
  std::int64_t range = std::int64_t(MaxPos(s)) - s.Min;
  l.ThumbTop = l.Arrow + (range > 0 ? int(std::int64_t(track - thumb) * (pos - s.Min) / range) : 0);
  l.ThumbBottom = l.ThumbTop + thumb;
  return l;
}

int ScrollBarPartAt(const TScrollBarLayout& l, int offset)
{
  if (offset < l.Arrow)
    return SBI_LINEUP;
  if (offset >= l.Length - l.Arrow)
    return SBI_LINEDOWN;
  if (!l.HasThumb)
    return SBI_SELF;
  if (offset < l.ThumbTop)
    return SBI_PAGEUP;
  return offset < l.ThumbBottom ? SBI_THUMB : SBI_PAGEDOWN;
}

int PressedScrollBarPart(HWND hWnd, int nBar)
{
  if (gTrack.Window != hWnd || gTrack.Bar != nBar || !gTrack.Inside)
    return -1;
  return gTrack.Part;
}

LRESULT ScrollBarHitTest(HWND hWnd, POINT screen)
{
  POINT p = WindowPoint(hWnd, screen);
  RECT c = ClientRectOf(hWnd);
  if (c.Contains(p))
    return HTCLIENT;
  for (int bar : {SB_VERT, SB_HORZ})
    if (ScrollBarLayoutOf(hWnd, bar).Bar.Contains(p))
      return bar == SB_VERT ? HTVSCROLL : HTHSCROLL;
  return HTNOWHERE;
}

void PaintScrollBars(HWND hWnd)
{
  if (!Shows(hWnd, SB_VERT) && !Shows(hWnd, SB_HORZ))
    return;
  HDC dc = MakeWindowDC(hWnd, NonClientVisibleRegion(hWnd));
  for (int bar : {SB_VERT, SB_HORZ}) {
    TScrollBarLayout l = ScrollBarLayoutOf(hWnd, bar);
    if (!l.Bar.IsEmpty())
      DrawScrollBar(dc, l, PressedScrollBarPart(hWnd, bar));
  }
  if (Shows(hWnd, SB_VERT) && Shows(hWnd, SB_HORZ)) {
    RECT c = ClientRectOf(hWnd), inside = InsideFrameOf(hWnd);
    DrawScrollBarCorner(dc, RECT(c.Right, c.Bottom, inside.Right, inside.Bottom));
  }
  ReleaseDC(hWnd, dc);
}

void PressScrollBar(HWND hWnd, LRESULT hitTest, POINT screen)
{
  int bar = hitTest == HTVSCROLL ? SB_VERT : SB_HORZ;
  TScrollBarLayout l = ScrollBarLayoutOf(hWnd, bar);
  POINT p = WindowPoint(hWnd, screen);
  if (!l.Enabled || !l.Bar.Contains(p) || gTrack.Window)
    return;
  int offset = OffsetAlong(l, p);
  int part = ScrollBarPartAt(l, offset);
  TScrollBarState& s = MutableState(hWnd, bar);
  if (part == SBI_SELF || ArrowDisabled(s, part))
    return;
  gTrack = TTracking{hWnd, bar, part, true, offset - l.ThumbTop, s.Pos, screen};
  if (part == SBI_THUMB) {
    s.TrackPos = s.Pos;
    Notify(hWnd, bar, SB_THUMBTRACK, s.Pos);
  } else {
    SetTimer(hWnd, kRepeatTimerId, kScrollRepeatDelay, &Repeat);
    Notify(hWnd, bar, CodeOfPart(part));
  }
  RedrawBars(hWnd);
}

bool TrackScrollBarInput(const TRawInput& input)
{
  if (!gTrack.Window)
    return false;
  if (!IsLive(gTrack.Window)) {
    EndTracking();
    return false;
  }
  switch (input.Kind) {
  case TRawInput::MouseMove:
    gTrack.Last = input.Pos;
    if (gTrack.Part == SBI_THUMB) {
      DragThumb(input.Pos);
    } else if (bool inside = OnHeldPart(input.Pos); inside != gTrack.Inside) {
      gTrack.Inside = inside;
      RedrawBars(gTrack.Window);
    }
    return true;
  case TRawInput::ButtonUp:
    if (input.Button == 0)
      Release();
    return true;
  case TRawInput::ButtonDown:
    return true;
  default:
    return false;
  }
}

void ScrollBarsWindowDestroyed(HWND hWnd)
{
  if (gTrack.Window == hWnd)
    gTrack = TTracking{};
  Bars().erase(hWnd);
}

void ResetScrollBars()
{
  gTrack = TTracking{};
  Bars().clear();
}

// ---- the calls -------------------------------------------------------------------------

int SetScrollInfo(HWND hWnd, int nBar, const SCROLLINFO* info, BOOL redraw)
{
  if (!IsLive(hWnd) || !info || (nBar != SB_HORZ && nBar != SB_VERT))
    return 0;
  TScrollBarState& s = MutableState(hWnd, nBar);
  if (info->fMask & SIF_RANGE) {
    s.Min = info->nMin;
    s.Max = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE)
    s.Page = info->nPage;
  if (info->fMask & SIF_POS)
    s.Pos = info->nPos;
  ClampState(s);
  int pos = s.Pos;
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
    bool needed = NeedsScrolling(s);
    SetShown(hWnd, nBar, needed || (info->fMask & SIF_DISABLENOSCROLL));
  }
  if (redraw)
    RedrawBars(hWnd);
  return pos;
}

BOOL GetScrollInfo(HWND hWnd, int nBar, SCROLLINFO* info)
{
  if (!IsLive(hWnd) || !info || (nBar != SB_HORZ && nBar != SB_VERT))
    return FALSE;
  const TScrollBarState& s = ScrollBarState(hWnd, nBar);
  if (info->fMask & SIF_RANGE) {
    info->nMin = s.Min;
    info->nMax = s.Max;
  }
  if (info->fMask & SIF_PAGE)
    info->nPage = s.Page;
  if (info->fMask & SIF_POS)
    info->nPos = s.Pos;
  if (info->fMask & SIF_TRACKPOS)
    info->nTrackPos = gTrack.Window == hWnd && gTrack.Bar == nBar && gTrack.Part == SBI_THUMB ? s.TrackPos : s.Pos;
  return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int pos, BOOL redraw)
{
  int old = GetScrollPos(hWnd, nBar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hWnd, nBar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hWnd, int nBar)
{
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(hWnd, nBar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int minPos, int maxPos, BOOL redraw)
{
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minPos;
  si.nMax = maxPos;
  if (!IsLive(hWnd))
    return FALSE;
  SetScrollInfo(hWnd, nBar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hWnd, int nBar, int* minPos, int* maxPos)
{
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (!minPos || !maxPos || !GetScrollInfo(hWnd, nBar, &si))
    return FALSE;
  *minPos = si.nMin;
  *maxPos = si.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int nBar, BOOL show)
{
  if (!IsLive(hWnd) || nBar < SB_HORZ || nBar > SB_BOTH || nBar == SB_CTL)
    return FALSE;
  for (int bar : {SB_HORZ, SB_VERT})
    if (nBar == SB_BOTH || nBar == bar)
      SetShown(hWnd, bar, show != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND hWnd, UINT nBar, UINT arrows)
{
  if (!IsLive(hWnd) || nBar > UINT(SB_BOTH) || nBar == UINT(SB_CTL) || arrows > ESB_DISABLE_BOTH)
    return FALSE;
  for (int bar : {SB_HORZ, SB_VERT})
    if (nBar == UINT(SB_BOTH) || nBar == UINT(bar))
      MutableState(hWnd, bar).DisabledArrows = arrows;
  RedrawBars(hWnd);
  return TRUE;
}

BOOL GetScrollBarInfo(HWND hWnd, int idObject, SCROLLBARINFO* info)
{
  if (!IsLive(hWnd) || !info || (idObject != OBJID_VSCROLL && idObject != OBJID_HSCROLL))
    return FALSE;
  int bar = idObject == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
  TScrollBarLayout l = ScrollBarLayoutOf(hWnd, bar);
  *info = SCROLLBARINFO{};
  POINT origin;
  ClientToScreen(hWnd, &origin);
  info->rcScrollBar = l.Bar;
  info->rcScrollBar.Offset(origin);
  info->dxyLineButton = l.Arrow;
  info->xyThumbTop = l.ThumbTop;
  info->xyThumbBottom = l.ThumbBottom;
  if (l.Bar.IsEmpty())
    info->rgstate[SBI_SELF] = STATE_SYSTEM_INVISIBLE;
  else if (!l.Enabled)
    info->rgstate[SBI_SELF] = STATE_SYSTEM_UNAVAILABLE;
  if (int pressed = PressedScrollBarPart(hWnd, bar); pressed > 0)
    info->rgstate[pressed] |= STATE_SYSTEM_PRESSED;
  return TRUE;
}

} // namespace Win

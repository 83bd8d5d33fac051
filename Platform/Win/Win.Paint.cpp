#include "Win.User.Internal.hpp"

#include <algorithm>
#include <cstring>

namespace Win {

namespace {

// How many windows have an update region that is not empty.
std::size_t gDirtyWindows = 0;

// Counts the changes of window layout; 0 is never current.
std::uint64_t gLayout = 1;

bool CanPaint(HWND hWnd)
{
  return IsWindowVisible(hWnd) && !PaintSuspended(hWnd);
}

void AdjustDirty(HWND hWnd, int delta)
{
  for (HWND w = hWnd; w; w = w->Parent) {
    w->DirtyBelow += delta;
    if (delta > 0)
      w->CleanChildren = 0;
  }
}

void SetUpdate(HWND hWnd, TRegion region)
{
  bool was = !hWnd->Update.IsEmpty();
  hWnd->Update = std::move(region);
  bool is = !hWnd->Update.IsEmpty();
  if (!is)
    hWnd->ErasePending = false;
  if (was == is)
    return;
  AdjustDirty(hWnd, is ? 1 : -1);
  if (is)
    ++gDirtyWindows;
  else
    --gDirtyWindows;
}

bool IncludesChildren(HWND hWnd, UINT flags)
{
  if (flags & RDW_ALLCHILDREN)
    return true;
  return !(flags & RDW_NOCHILDREN) && !(hWnd->Style & WS_CLIPCHILDREN);
}

// region: client coordinates of hWnd.
void Invalidate(HWND hWnd, TRegion region, bool erase, UINT flags)
{
  if (!CanPaint(hWnd))
    return;
  region = region.Intersect(TRegion(WholeRectOf(hWnd)));
  if (region.IsEmpty())
    return;
  SetUpdate(hWnd, hWnd->Update.Union(region));
  hWnd->ErasePending = hWnd->ErasePending || erase;
  if (!IncludesChildren(hWnd, flags))
    return;
  for (HWND c : hWnd->Children) {
    if (!c->Rect.IntersectsWith(region.Box()))
      continue;
    TRegion part = region;
    part.Offset(-c->Rect.Left - c->Frame.Left, -c->Rect.Top - c->Frame.Top);
    Invalidate(c, part, erase, flags);
  }
}

void Validate(HWND hWnd, const TRegion& region, UINT flags)
{
  SetUpdate(hWnd, hWnd->Update.Subtract(region));
  if (!(flags & RDW_ALLCHILDREN))
    return;
  for (HWND c : hWnd->Children) {
    TRegion part = region;
    part.Offset(-c->Rect.Left - c->Frame.Left, -c->Rect.Top - c->Frame.Top);
    Validate(c, part, flags);
  }
}

TRegion RegionArgument(HWND hWnd, const RECT* rect, HRGN rgn)
{
  if (rgn)
    return rgn->Region;
  // Without a rectangle the strips of the scroll bars go with the client.
  return TRegion(rect ? *rect : WholeRectOf(hWnd));
}

void PaintNow(HWND hWnd, bool children)
{
  if (!IsLive(hWnd))
    return;
  if (!hWnd->Update.IsEmpty() && CanPaint(hWnd))
    SendMessage(hWnd, WM_PAINT, 0, 0);
  if (!children || !IsLive(hWnd))
    return;
  std::vector<HWND> kids = hWnd->Children;
  for (HWND c : kids)
    if (IsLive(c))
      PaintNow(c, true);
}

HWND FirstDirty(HWND hWnd)
{
  if (hWnd->DirtyBelow == 0 || !(hWnd->Style & WS_VISIBLE) || hWnd->RedrawOff)
    return nullptr;
  if (!hWnd->Update.IsEmpty())
    return hWnd;
  // Painting goes through the children in order, so the clean ones at the
  // front are passed over once per frame rather than once per paint.
  const auto& kids = hWnd->Children;
  std::size_t i = std::min(hWnd->CleanChildren, kids.size());
  while (i < kids.size() && kids[i]->DirtyBelow == 0)
    ++i;
  hWnd->CleanChildren = i;
  for (; i < kids.size(); ++i)
    if (HWND d = FirstDirty(kids[i]))
      return d;
  return nullptr;
}

} // namespace

RECT WholeRectOf(HWND hWnd)
{
  RECT r(0, 0, hWnd->Rect.Width(), hWnd->Rect.Height());
  r.Offset(-hWnd->Frame.Left, -hWnd->Frame.Top);
  return r;
}

bool RecalcFrame(HWND hWnd)
{
  RECT outer = hWnd->Rect;
  RECT inner = outer;
  SendMessage(hWnd, WM_NCCALCSIZE, FALSE, LPARAM(&inner));
  if (!IsLive(hWnd))
    return false;
  // A frame wider than the window leaves an empty client, never a negative one.
  inner.Right = std::max(inner.Right, inner.Left);
  inner.Bottom = std::max(inner.Bottom, inner.Top);
  RECT frame(inner.Left - outer.Left, inner.Top - outer.Top, outer.Right - inner.Right, outer.Bottom - inner.Bottom);
  if (frame == hWnd->Frame)
    return false;
  hWnd->Frame = frame;
  LayoutChanged();
  return true;
}

bool PaintSuspended(HWND hWnd)
{
  for (HWND w = hWnd; w; w = w->Parent)
    if (w->RedrawOff)
      return true;
  return false;
}

void LayoutChanged()
{
  ++gLayout;
}

// A frame paints every window once, and each one's clipping against its
// siblings is a walk over all of them: it is kept until the layout changes.
TRegion VisibleRegion(HWND hWnd, bool clipChildren)
{
  const std::size_t k = clipChildren ? 1 : 0;
  if (hWnd->VisibleLayout[k] != gLayout) {
    hWnd->Visible[k] = VisibleRegionPlain(hWnd, clipChildren);
    hWnd->VisibleLayout[k] = gLayout;
  }
  return hWnd->Visible[k];
}

namespace {

// What of a region (the window's coordinates) its ancestors and, with
// WS_CLIPSIBLINGS, its siblings above leave showing.
TRegion ClipToAncestors(HWND hWnd, TRegion visible)
{
  POINT offset; // hWnd's client origin in the current ancestor's client
  for (HWND cur = hWnd; cur->Parent; cur = cur->Parent) {
    HWND parent = cur->Parent;
    offset.Offset(cur->Rect.Left + cur->Frame.Left, cur->Rect.Top + cur->Frame.Top);
    RECT parentClient = ClientRectOf(parent);
    parentClient.Offset(-offset.X, -offset.Y);
    visible = visible.Intersect(TRegion(parentClient));
    if (!(cur->Style & WS_CLIPSIBLINGS))
      continue;
    auto& siblings = parent->Children;
    std::vector<RECT> above;
    RECT box = visible.Box();
    for (auto it = std::find(siblings.begin(), siblings.end(), cur) + 1; it < siblings.end(); ++it) {
      RECT r = (*it)->Rect;
      r.Offset(-offset.X, -offset.Y);
      if (((*it)->Style & WS_VISIBLE) && r.IntersectsWith(box))
        above.push_back(r);
    }
    if (!above.empty())
      visible = visible.Subtract(TRegion::FromRects(above));
  }
  return visible;
}

} // namespace

TRegion NonClientVisibleRegion(HWND hWnd)
{
  return ClipToAncestors(hWnd, TRegion(WholeRectOf(hWnd)).Subtract(TRegion(ClientRectOf(hWnd))));
}

TRegion VisibleRegionPlain(HWND hWnd, bool clipChildren)
{
  TRegion visible = ClipToAncestors(hWnd, TRegion(ClientRectOf(hWnd)));
  if (!clipChildren)
    return visible;
  // A WS_EX_TRANSPARENT child shows what its parent paints beneath it, so
  // the parent paints there too.
  std::vector<RECT> children;
  for (HWND c : hWnd->Children)
    if ((c->Style & WS_VISIBLE) && !(c->ExStyle & WS_EX_TRANSPARENT))
      children.push_back(c->Rect);
  return children.empty() ? visible : visible.Subtract(TRegion::FromRects(children));
}

HDC MakeWindowDC(HWND hWnd, const TRegion& visible)
{
  auto* dc = new TDC();
  dc->Window = hWnd;
  DCSetSurface(dc, RootOf(hWnd)->Surface);
  dc->SurfaceOffset = SurfaceOrigin(hWnd);
  dc->HasVisible = true;
  dc->Visible = visible;
  return dc;
}

HDC WindowDC(HWND hWnd)
{
  if (!IsLive(hWnd))
    return nullptr;
  return MakeWindowDC(hWnd, VisibleRegion(hWnd, (hWnd->Style & WS_CLIPCHILDREN) != 0));
}

HDC GetWindowDC(HWND hWnd)
{
  if (!IsLive(hWnd))
    return nullptr;
  TRegion visible = ClipToAncestors(hWnd, TRegion(WholeRectOf(hWnd)));
  if (hWnd->Style & WS_CLIPCHILDREN)
    for (HWND c : hWnd->Children)
      if (c->Style & WS_VISIBLE)
        visible = visible.Subtract(TRegion(c->Rect));
  // Window coordinates: the origin at the frame's top left.
  visible.Offset(hWnd->Frame.Left, hWnd->Frame.Top);
  HDC dc = MakeWindowDC(hWnd, visible);
  dc->SurfaceOffset.Offset(-hWnd->Frame.Left, -hWnd->Frame.Top);
  return dc;
}

void ResizeSurface(HWND hWnd)
{
  if (!hWnd->Surface) {
    hWnd->Surface = CreateBitmap32(1, 1);
    // Owned by the window: uncounted, so that a DC left over from a
    // destroyed window only finds a dead handle.
    hWnd->Surface->Stock = true;
  }
  TBitmapObject& s = *hWnd->Surface;
  s.Width = hWnd->Rect.Width();
  s.Height = hWnd->Rect.Height();
  s.Pixels.assign(size_t(s.Width) * size_t(s.Height), 0xFF000000u);
  RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FreeSurface(HWND hWnd)
{
  if (!hWnd->Surface)
    return;
  hWnd->Surface->Stock = false;
  DeleteObject(hWnd->Surface);
  hWnd->Surface = nullptr;
}

void ForgetPaint(HWND hWnd)
{
  SetUpdate(hWnd, TRegion());
}

void DetachDirty(HWND hWnd)
{
  if (hWnd->Parent)
    AdjustDirty(hWnd->Parent, -hWnd->DirtyBelow);
}

void AttachDirty(HWND hWnd)
{
  if (hWnd->Parent)
    AdjustDirty(hWnd->Parent, hWnd->DirtyBelow);
}

HWND NextWindowToPaint()
{
  if (gDirtyWindows == 0)
    return nullptr;
  for (HWND top : TopLevels())
    if (HWND d = FirstDirty(top))
      return d;
  return nullptr;
}

BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase)
{
  if (!IsLive(hWnd))
    return FALSE;
  Invalidate(hWnd, RegionArgument(hWnd, rect, nullptr), erase != 0, 0);
  return TRUE;
}

BOOL InvalidateRgn(HWND hWnd, HRGN rgn, BOOL erase)
{
  if (!IsLive(hWnd))
    return FALSE;
  Invalidate(hWnd, RegionArgument(hWnd, nullptr, rgn), erase != 0, 0);
  return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* rect)
{
  if (!IsLive(hWnd))
    return FALSE;
  Validate(hWnd, RegionArgument(hWnd, rect, nullptr), 0);
  return TRUE;
}

BOOL ValidateRgn(HWND hWnd, HRGN rgn)
{
  if (!IsLive(hWnd))
    return FALSE;
  Validate(hWnd, RegionArgument(hWnd, nullptr, rgn), 0);
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, RECT* rect, BOOL erase)
{
  if (!IsLive(hWnd))
    return FALSE;
  TRegion update = hWnd->Update.Intersect(TRegion(ClientRectOf(hWnd)));
  if (rect)
    *rect = update.Box();
  bool any = !update.IsEmpty();
  if (any && erase && hWnd->ErasePending && CanPaint(hWnd)) {
    HDC dc = MakeWindowDC(hWnd, VisibleRegion(hWnd, (hWnd->Style & WS_CLIPCHILDREN) != 0).Intersect(update));
    hWnd->ErasePending = false;
    SendMessage(hWnd, WM_ERASEBKGND, WPARAM(dc), 0);
    ReleaseDC(hWnd, dc);
  }
  return any ? TRUE : FALSE;
}

int GetUpdateRgn(HWND hWnd, HRGN rgn, BOOL erase)
{
  if (!IsLive(hWnd) || !rgn)
    return ERROR;
  rgn->Region = hWnd->Update.Intersect(TRegion(ClientRectOf(hWnd)));
  GetUpdateRect(hWnd, nullptr, erase);
  return rgn->Region.Complexity();
}

BOOL UpdateWindow(HWND hWnd)
{
  if (!IsLive(hWnd))
    return FALSE;
  PaintNow(hWnd, false);
  return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* rect, HRGN rgn, UINT flags)
{
  if (!IsLive(hWnd))
    return FALSE;
  TRegion region = RegionArgument(hWnd, rect, rgn);
  if (flags & RDW_INVALIDATE)
    Invalidate(hWnd, region, (flags & RDW_ERASE) != 0, flags);
  if (flags & RDW_VALIDATE)
    Validate(hWnd, region, flags & RDW_ALLCHILDREN);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
    PaintNow(hWnd, IncludesChildren(hWnd, flags));
  return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* ps)
{
  if (!IsLive(hWnd) || !ps)
    return nullptr;
  TRegion update = hWnd->Update.Intersect(TRegion(ClientRectOf(hWnd)));
  bool frame = !hWnd->Update.Subtract(TRegion(ClientRectOf(hWnd))).IsEmpty();
  bool erase = hWnd->ErasePending;
  SetUpdate(hWnd, TRegion()); // validated before the erase: handlers may invalidate again
  if (frame && (SendMessage(hWnd, WM_NCPAINT, 1, 0), !IsLive(hWnd)))
    return nullptr;
  ps->hdc = MakeWindowDC(hWnd, VisibleRegion(hWnd, (hWnd->Style & WS_CLIPCHILDREN) != 0).Intersect(update));
  ps->rcPaint = update.Box();
  ps->fErase = TRUE;
  if (!erase)
    return ps->hdc;
  // The caller gets no DC to end the paint with when the erase handler raises.
  try {
    ps->fErase = SendMessage(hWnd, WM_ERASEBKGND, WPARAM(ps->hdc), 0) ? FALSE : TRUE;
  } catch (...) {
    EndPaint(hWnd, ps);
    throw;
  }
  return ps->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* ps)
{
  if (!ps || !ps->hdc)
    return FALSE;
  ReleaseDC(hWnd, ps->hdc);
  return TRUE;
}

BOOL IsRedrawSuspended(HWND hWnd)
{
  return IsLive(hWnd) && PaintSuspended(hWnd) ? TRUE : FALSE;
}

BOOL ScrollWindow(HWND hWnd, int dx, int dy, const RECT* rect, const RECT* clipRect)
{
  if (!IsLive(hWnd))
    return FALSE;
  RECT area = rect ? *rect : ClientRectOf(hWnd);
  if (clipRect && !IntersectRect(area, area, *clipRect))
    return TRUE;
  if (!IntersectRect(area, area, ClientRectOf(hWnd)))
    return TRUE;
  RECT shifted = area;
  shifted.Offset(dx, dy);
  RECT dest;
  TRegion moved;
  if (IntersectRect(dest, area, shifted))
    moved = VisibleRegion(hWnd, false).Intersect(TRegion(dest));
  TBitmapObject& s = *RootOf(hWnd)->Surface;
  POINT o = SurfaceOrigin(hWnd);
  std::vector<std::uint32_t> before = s.Pixels;
  for (const RECT& r : moved.Rects())
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        int sx = x + o.X, sy = y + o.Y;
        if (sx < 0 || sy < 0 || sx >= s.Width || sy >= s.Height || sx - dx >= s.Width || sy - dy >= s.Height ||
            sx - dx < 0 || sy - dy < 0)
          continue;
        s.Pixels[size_t(sy) * size_t(s.Width) + size_t(sx)] =
          before[size_t(sy - dy) * size_t(s.Width) + size_t(sx - dx)];
      }
  // What was waiting to be painted moves with the pixels.
  TRegion pending = hWnd->Update.Intersect(TRegion(area));
  pending.Offset(dx, dy);
  SetUpdate(hWnd, hWnd->Update.Subtract(TRegion(area)).Union(pending.Intersect(TRegion(area))));
  if (!rect) {
    for (HWND c : hWnd->Children) {
      c->Rect.Offset(dx, dy);
      LayoutChanged();
      SendMessage(c, WM_MOVE, 0, MAKELPARAM(c->Rect.Left, c->Rect.Top));
    }
  }
  Invalidate(hWnd, TRegion(area).Subtract(moved), true, 0);
  return TRUE;
}

} // namespace Win

#include "Win.User.Defer.hpp"
#include "Win.User.Internal.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

namespace Win {

namespace {

std::map<std::string, std::shared_ptr<const TWindowClass>>& Classes()
{
  static std::map<std::string, std::shared_ptr<const TWindowClass>> classes;
  return classes;
}

TPointerSet& LiveSet()
{
  static TPointerSet live;
  return live;
}

std::vector<HWND>& SiblingsOf(HWND hWnd)
{
  return hWnd->Parent ? hWnd->Parent->Children : TopLevels();
}

// The sibling list for a change of order or membership: the parent's hint of
// clean children no longer holds once indices move.
std::vector<HWND>& SiblingsToChange(HWND hWnd)
{
  if (hWnd->Parent)
    hWnd->Parent->CleanChildren = 0;
  LayoutChanged(); // callers change the list right away, nothing reads it in between
  return SiblingsOf(hWnd);
}

void Unlink(HWND hWnd)
{
  auto& list = SiblingsToChange(hWnd);
  list.erase(std::remove(list.begin(), list.end(), hWnd), list.end());
}

// Top-level windows without WS_EX_TOPMOST stay below the topmost ones.
void LinkAtTop(HWND hWnd)
{
  auto& list = SiblingsToChange(hWnd);
  if (hWnd->Parent || (hWnd->ExStyle & WS_EX_TOPMOST)) {
    list.push_back(hWnd);
    return;
  }
  auto firstTopmost = std::find_if(list.begin(), list.end(), [](HWND w) { return (w->ExStyle & WS_EX_TOPMOST) != 0; });
  list.insert(firstTopmost, hWnd);
}

void LinkAtBottom(HWND hWnd)
{
  auto& list = SiblingsOf(hWnd);
  if (!hWnd->Parent && (hWnd->ExStyle & WS_EX_TOPMOST)) {
    auto firstTopmost =
      std::find_if(list.begin(), list.end(), [](HWND w) { return (w->ExStyle & WS_EX_TOPMOST) != 0; });
    list.insert(firstTopmost, hWnd);
    return;
  }
  list.insert(list.begin(), hWnd);
}

void LinkAbove(HWND hWnd, HWND below)
{
  auto& list = SiblingsToChange(hWnd);
  auto it = std::find(list.begin(), list.end(), below);
  if (it == list.end()) {
    LinkAtTop(hWnd);
    return;
  }
  // Win32's "insert after" is the window just above `below` in z-order, i.e.
  // below it here where the list runs bottom first.
  list.insert(it, hWnd);
}

void ApplyZOrder(HWND hWnd, HWND insertAfter)
{
  if (insertAfter == HWND_TOPMOST && !hWnd->Parent)
    hWnd->ExStyle |= WS_EX_TOPMOST;
  else if (insertAfter == HWND_NOTOPMOST && !hWnd->Parent)
    hWnd->ExStyle &= ~WS_EX_TOPMOST;
  Unlink(hWnd);
  if (insertAfter == HWND_BOTTOM)
    LinkAtBottom(hWnd);
  else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST || !IsLive(insertAfter))
    LinkAtTop(hWnd);
  else
    LinkAbove(hWnd, insertAfter);
}

// Exposes the area a child leaves (or takes) in its parent.
void InvalidateInParent(HWND hWnd, const RECT& rect)
{
  if (hWnd->Parent)
    InvalidateRect(hWnd->Parent, &rect, TRUE);
}

void DestroyTree(HWND hWnd)
{
  hWnd->Destroying = true;
  if (IsWindowVisible(hWnd))
    InvalidateInParent(hWnd, hWnd->Rect);
  InputWindowDestroyed(hWnd);
  SendMessage(hWnd, WM_DESTROY, 0, 0);
  // Owned windows go first, then the children (topmost first).
  std::vector<HWND> owned;
  for (HWND w : TopLevels())
    if (w->Owner == hWnd)
      owned.push_back(w);
  for (HWND w : owned)
    if (IsLive(w) && !w->Destroying)
      DestroyTree(w);
  while (!hWnd->Children.empty())
    DestroyTree(hWnd->Children.back());
  SendMessage(hWnd, WM_NCDESTROY, 0, 0);
  TimersWindowDestroyed(hWnd);
  QueueWindowDestroyed(hWnd);
  ScrollBarsWindowDestroyed(hWnd);
  ForgetPaint(hWnd);
  Unlink(hWnd);
  LiveSet().Erase(hWnd);
  FreeSurface(hWnd);
  delete hWnd;
}

} // namespace

std::vector<HWND>& TopLevels()
{
  static std::vector<HWND> topLevels;
  return topLevels;
}

bool IsLive(HWND hWnd)
{
  return LiveSet().Contains(hWnd);
}

TWindow* Live(HWND hWnd)
{
  return IsLive(hWnd) ? hWnd : nullptr;
}

bool IsTopLevel(HWND hWnd)
{
  return hWnd->Parent == nullptr;
}

HWND RootOf(HWND hWnd)
{
  while (hWnd->Parent)
    hWnd = hWnd->Parent;
  return hWnd;
}

POINT SurfaceOrigin(HWND hWnd)
{
  POINT p;
  for (; hWnd; hWnd = hWnd->Parent) {
    p.Offset(hWnd->Frame.Left, hWnd->Frame.Top);
    if (hWnd->Parent)
      p.Offset(hWnd->Rect.Left, hWnd->Rect.Top);
  }
  return p;
}

ATOM RegisterClass(const WNDCLASS& wc)
{
  if (!wc.lpszClassName || !*wc.lpszClassName || !wc.lpfnWndProc)
    return 0;
  auto cls = std::make_shared<TWindowClass>();
  cls->Name = wc.lpszClassName;
  cls->Style = wc.style;
  cls->Proc = wc.lpfnWndProc;
  cls->Cursor = wc.hCursor;
  cls->Background = wc.hbrBackground;
  Classes()[cls->Name] = cls;
  return ATOM(Classes().size());
}

BOOL GetClassInfo(HINSTANCE, const char* className, WNDCLASS* wc)
{
  auto it = className ? Classes().find(className) : Classes().end();
  if (it == Classes().end() || !wc)
    return FALSE;
  const TWindowClass& c = *it->second;
  wc->style = c.Style;
  wc->lpfnWndProc = c.Proc;
  wc->hCursor = c.Cursor;
  wc->hbrBackground = c.Background;
  wc->lpszClassName = it->first.c_str();
  return TRUE;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND hWndParent, HMENU menu, HINSTANCE, void* param)
{
  auto it = className ? Classes().find(className) : Classes().end();
  if (it == Classes().end())
    return nullptr;
  if (hWndParent && !IsLive(hWndParent))
    return nullptr;
  if ((style & WS_CHILD) && !hWndParent)
    return nullptr;
  auto* w = new TWindow;
  w->Class = it->second;
  w->Proc = w->Class->Proc;
  w->Style = style & ~WS_VISIBLE;
  w->ExStyle = exStyle;
  w->Text = windowName ? windowName : "";
  if (style & WS_CHILD) {
    w->Parent = hWndParent;
    w->Id = LONG_PTR(menu);
  } else {
    w->Owner = hWndParent ? RootOf(hWndParent) : nullptr;
  }
  w->Rect = Bounds(x, y, std::max(width, 0), std::max(height, 0));
  LiveSet().Insert(w);
  LinkAtTop(w);
  if (!w->Parent)
    ResizeSurface(w);
  if (!SendMessage(w, WM_NCCREATE, 0, LPARAM(param)) || (RecalcFrame(w), !IsLive(w)) ||
      SendMessage(w, WM_CREATE, 0, LPARAM(param)) == -1) {
    DestroyWindow(w);
    return nullptr;
  }
  if (!IsLive(w))
    return nullptr;
  if (style & WS_VISIBLE)
    ShowWindow(w, SW_SHOW);
  return w;
}

BOOL DestroyWindow(HWND hWnd)
{
  if (!IsLive(hWnd) || hWnd->Destroying)
    return FALSE;
  DestroyTree(hWnd);
  return TRUE;
}

BOOL IsWindow(HWND hWnd)
{
  return IsLive(hWnd) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hWnd)
{
  if (!IsLive(parent) || !IsLive(hWnd))
    return FALSE;
  for (HWND w = hWnd->Parent; w; w = w->Parent)
    if (w == parent)
      return TRUE;
  return FALSE;
}

HWND GetParent(HWND hWnd)
{
  if (!IsLive(hWnd))
    return nullptr;
  return hWnd->Parent ? hWnd->Parent : hWnd->Owner;
}

HWND SetParent(HWND hWnd, HWND newParent)
{
  if (!IsLive(hWnd) || (newParent && !IsLive(newParent)) || newParent == hWnd || IsChild(hWnd, newParent))
    return nullptr;
  HWND old = hWnd->Parent;
  bool visible = IsWindowVisible(hWnd);
  if (visible)
    InvalidateInParent(hWnd, hWnd->Rect);
  DetachDirty(hWnd);
  Unlink(hWnd);
  hWnd->Parent = newParent;
  AttachDirty(hWnd);
  if (newParent) {
    hWnd->Style = (hWnd->Style & ~WS_POPUP) | WS_CHILD;
    FreeSurface(hWnd);
  } else {
    hWnd->Style &= ~WS_CHILD;
  }
  LayoutChanged();
  LinkAtTop(hWnd);
  if (!newParent)
    ResizeSurface(hWnd);
  if (IsWindowVisible(hWnd))
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return old;
}

HWND GetWindow(HWND hWnd, UINT cmd)
{
  if (!IsLive(hWnd))
    return nullptr;
  if (cmd == GW_CHILD)
    return hWnd->Children.empty() ? nullptr : hWnd->Children.back();
  if (cmd == GW_OWNER)
    return hWnd->Owner;
  auto& list = SiblingsOf(hWnd);
  auto pos = std::find(list.begin(), list.end(), hWnd) - list.begin();
  switch (cmd) {
  case GW_HWNDFIRST:
    return list.back();
  case GW_HWNDLAST:
    return list.front();
  case GW_HWNDNEXT:
    return pos > 0 ? list[size_t(pos - 1)] : nullptr;
  case GW_HWNDPREV:
    return size_t(pos + 1) < list.size() ? list[size_t(pos + 1)] : nullptr;
  default:
    return nullptr;
  }
}

HWND GetAncestorRoot(HWND hWnd)
{
  return IsLive(hWnd) ? RootOf(hWnd) : nullptr;
}

LONG_PTR GetWindowLongPtr(HWND hWnd, int index)
{
  if (!IsLive(hWnd))
    return 0;
  switch (index) {
  case GWL_STYLE:
    return LONG_PTR(hWnd->Style);
  case GWL_EXSTYLE:
    return LONG_PTR(hWnd->ExStyle);
  case GWLP_USERDATA:
    return hWnd->UserData;
  case GWLP_ID:
    return hWnd->Id;
  case GWLP_WNDPROC:
    return LONG_PTR(hWnd->Proc);
  case GWLP_HWNDPARENT:
    return LONG_PTR(GetParent(hWnd));
  default:
    return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hWnd, int index, LONG_PTR value)
{
  if (!IsLive(hWnd))
    return 0;
  LONG_PTR old = GetWindowLongPtr(hWnd, index);
  switch (index) {
  case GWL_STYLE: {
    // Visibility changes go through ShowWindow so that the screen follows.
    DWORD keep = hWnd->Style & (WS_VISIBLE | WS_CHILD);
    hWnd->Style = (DWORD(value) & ~(WS_VISIBLE | WS_CHILD)) | keep;
    LayoutChanged();
    break;
  }
  case GWL_EXSTYLE:
    hWnd->ExStyle = DWORD(value);
    LayoutChanged(); // WS_EX_TRANSPARENT changes the parent's clipping
    break;
  case GWLP_USERDATA:
    hWnd->UserData = value;
    break;
  case GWLP_ID:
    hWnd->Id = value;
    break;
  case GWLP_WNDPROC:
    if (value)
      hWnd->Proc = reinterpret_cast<WNDPROC>(value);
    break;
  case GWLP_HWNDPARENT:
    if (!hWnd->Parent)
      hWnd->Owner = IsLive(reinterpret_cast<HWND>(value)) ? RootOf(reinterpret_cast<HWND>(value)) : nullptr;
    break;
  default:
    return 0;
  }
  return old;
}

DWORD GetClassLong(HWND hWnd)
{
  return IsLive(hWnd) ? hWnd->Class->Style : 0;
}

BOOL SetWindowText(HWND hWnd, const char* text)
{
  return IsLive(hWnd) ? BOOL(SendMessage(hWnd, WM_SETTEXT, 0, LPARAM(text ? text : ""))) : FALSE;
}

std::string GetWindowTextString(HWND hWnd)
{
  return IsLive(hWnd) ? hWnd->Text : std::string();
}

int GetWindowText(HWND hWnd, char* buffer, int maxCount)
{
  if (!IsLive(hWnd) || !buffer || maxCount <= 0)
    return 0;
  return int(SendMessage(hWnd, WM_GETTEXT, WPARAM(maxCount), LPARAM(buffer)));
}

int GetWindowTextLength(HWND hWnd)
{
  return IsLive(hWnd) ? int(SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

BOOL EnableWindow(HWND hWnd, BOOL enable)
{
  if (!IsLive(hWnd))
    return FALSE;
  BOOL wasDisabled = (hWnd->Style & WS_DISABLED) ? TRUE : FALSE;
  if (bool(enable) == !wasDisabled)
    return wasDisabled;
  if (enable) {
    hWnd->Style &= ~WS_DISABLED;
  } else {
    hWnd->Style |= WS_DISABLED;
    HWND focus = GetFocus();
    if (focus == hWnd || IsChild(hWnd, focus))
      SetFocus(nullptr);
    HWND capture = GetCapture();
    if (capture == hWnd || IsChild(hWnd, capture))
      ReleaseCapture();
  }
  SendMessage(hWnd, WM_ENABLE, WPARAM(enable ? 1 : 0), 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd)
{
  return IsLive(hWnd) && !(hWnd->Style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd)
{
  if (!IsLive(hWnd))
    return FALSE;
  for (HWND w = hWnd; w; w = w->Parent)
    if (!(w->Style & WS_VISIBLE))
      return FALSE;
  return TRUE;
}

// ---- geometry -------------------------------------------------------------------

namespace {

// The request as the window is asked about it: what the flags keep is
// filled in from the window as it stands.
WINDOWPOS WindowPosRequest(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
  WINDOWPOS pos{hWnd, insertAfter, x, y, std::max(cx, 0), std::max(cy, 0), flags};
  if (flags & SWP_NOMOVE) {
    pos.x = hWnd->Rect.Left;
    pos.y = hWnd->Rect.Top;
  }
  if (flags & SWP_NOSIZE) {
    pos.cx = hWnd->Rect.Width();
    pos.cy = hWnd->Rect.Height();
  }
  return pos;
}

// WM_WINDOWPOSCHANGING may change the request; false when the window went
// away while answering it.
bool AskWindowPos(WINDOWPOS& pos)
{
  SendMessage(pos.hwnd, WM_WINDOWPOSCHANGING, 0, LPARAM(&pos));
  return IsLive(pos.hwnd);
}

// Moves, sizes, reorders, shows or hides the window and invalidates what
// that uncovers; returns what WM_WINDOWPOSCHANGED is to report, or nothing
// when there is nothing to report.
std::optional<WINDOWPOS> ApplyWindowPos(WINDOWPOS pos)
{
  HWND hWnd = pos.hwnd;
  const UINT flags = pos.flags;
  RECT oldRect = hWnd->Rect;
  RECT newRect = Bounds(pos.x, pos.y, std::max(pos.cx, 0), std::max(pos.cy, 0));
  bool moved = newRect.TopLeft() != oldRect.TopLeft();
  bool sized = newRect.Size() != oldRect.Size();
  bool visible = IsWindowVisible(hWnd);
  bool redraw = visible && !(flags & SWP_NOREDRAW) && (moved || sized);
  if (redraw) {
    TRegion exposed = TRegion(oldRect).Subtract(TRegion(newRect));
    for (const RECT& r : exposed.Rects())
      InvalidateInParent(hWnd, r);
  }
  hWnd->Rect = newRect;
  LayoutChanged();
  RECT oldClient = ClientRectOf(hWnd);
  bool reframed = (sized || (flags & SWP_FRAMECHANGED)) && RecalcFrame(hWnd);
  if (!IsLive(hWnd))
    return std::nullopt;
  if (sized && !hWnd->Parent)
    ResizeSurface(hWnd);
  if (!(flags & SWP_NOZORDER))
    ApplyZOrder(hWnd, pos.hwndInsertAfter);
  if (redraw) {
    // The pixels of a moved child are not carried along on the shared
    // surface, so it paints afresh; CS_HREDRAW/CS_VREDRAW ask for that on
    // resize too, and so does a frame, whose right and bottom edges move;
    // otherwise only the uncovered strips are repainted.
    UINT cls = hWnd->Class->Style;
    bool whole = reframed || (moved && hWnd->Parent) || (sized && hWnd->Frame != RECT()) ||
                 (newRect.Width() != oldRect.Width() && (cls & CS_HREDRAW)) ||
                 (newRect.Height() != oldRect.Height() && (cls & CS_VREDRAW));
    if (whole) {
      RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    } else if (sized) {
      TRegion grown = TRegion(ClientRectOf(hWnd)).Subtract(TRegion(RECT(0, 0, oldRect.Width(), oldRect.Height())));
      for (const RECT& r : grown.Rects())
        InvalidateRect(hWnd, &r, TRUE);
    }
  }
  if (flags & SWP_SHOWWINDOW)
    ShowWindow(hWnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  else if (flags & SWP_HIDEWINDOW)
    ShowWindow(hWnd, SW_HIDE);
  else if (!(flags & SWP_NOZORDER) && visible)
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (reframed && visible && !redraw && !(flags & SWP_NOREDRAW))
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  // A new frame alone still changes the client: the window hears of it as
  // of a new size.
  if (reframed && !sized && IsLive(hWnd) && ClientRectOf(hWnd) != oldClient)
    SendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(newRect.Width(), newRect.Height()));
  if (!IsLive(hWnd) || (!moved && !sized && (flags & SWP_NOZORDER)))
    return std::nullopt;
  pos.flags = flags | (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
  pos.x = newRect.Left;
  pos.y = newRect.Top;
  pos.cx = newRect.Width();
  pos.cy = newRect.Height();
  return pos;
}

void ReportWindowPos(WINDOWPOS pos)
{
  if (IsLive(pos.hwnd))
    SendMessage(pos.hwnd, WM_WINDOWPOSCHANGED, 0, LPARAM(&pos));
}

} // namespace

BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
  if (!IsLive(hWnd))
    return FALSE;
  WINDOWPOS pos = WindowPosRequest(hWnd, insertAfter, x, y, cx, cy, flags);
  if (!AskWindowPos(pos))
    return FALSE;
  if (auto done = ApplyWindowPos(pos))
    ReportWindowPos(*done);
  return TRUE;
}

// ---- deferred positions ------------------------------------------------------------

struct TDeferPosObject : THandleStorage {
  std::vector<WINDOWPOS> Moves;
};

namespace {

TPointerSet& LiveBatches()
{
  static TPointerSet live;
  return live;
}

bool IsLiveBatch(HDWP batch)
{
  return batch && LiveBatches().Contains(batch);
}

void FreeBatch(HDWP batch)
{
  LiveBatches().Erase(batch);
  delete batch;
}

} // namespace

HDWP BeginDeferWindowPos(int numWindows)
{
  if (numWindows < 0)
    return nullptr;
  auto* batch = new TDeferPosObject();
  batch->Moves.reserve(std::size_t(numWindows));
  LiveBatches().Insert(batch);
  return batch;
}

HDWP DeferWindowPos(HDWP batch, HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
  if (!IsLiveBatch(batch))
    return nullptr;
  auto& moves = batch->Moves;
  // One batch moves windows of one parent; anything else ends it unapplied.
  if (!IsLive(hWnd) || !hWnd->Parent ||
      std::any_of(moves.begin(), moves.end(), [hWnd](const WINDOWPOS& m) { return m.hwnd->Parent != hWnd->Parent; })) {
    FreeBatch(batch);
    return nullptr;
  }
  WINDOWPOS pos{hWnd, insertAfter, x, y, cx, cy, flags};
  auto same = std::find_if(moves.begin(), moves.end(), [hWnd](const WINDOWPOS& m) { return m.hwnd == hWnd; });
  if (same != moves.end())
    *same = pos;
  else
    moves.push_back(pos);
  return batch;
}

BOOL EndDeferWindowPos(HDWP batch)
{
  if (!IsLiveBatch(batch))
    return FALSE;
  std::vector<WINDOWPOS> moves = std::move(batch->Moves);
  FreeBatch(batch);
  // Every window is asked first and told last, so that none of them sees
  // the batch half done.
  std::vector<WINDOWPOS> asked;
  for (const WINDOWPOS& m : moves) {
    if (!IsLive(m.hwnd))
      continue;
    WINDOWPOS pos = WindowPosRequest(m.hwnd, m.hwndInsertAfter, m.x, m.y, m.cx, m.cy, m.flags);
    if (AskWindowPos(pos))
      asked.push_back(pos);
  }
  std::vector<WINDOWPOS> done;
  for (const WINDOWPOS& pos : asked)
    if (IsLive(pos.hwnd))
      if (auto d = ApplyWindowPos(pos))
        done.push_back(*d);
  for (const WINDOWPOS& pos : done)
    ReportWindowPos(pos);
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int x, int y, int width, int height, BOOL repaint)
{
  return SetWindowPos(hWnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hWnd, int cmd)
{
  if (!IsLive(hWnd))
    return FALSE;
  BOOL wasVisible = (hWnd->Style & WS_VISIBLE) ? TRUE : FALSE;
  bool show = cmd != SW_HIDE;
  if (show == bool(wasVisible)) {
    if (show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && !hWnd->Parent &&
        !(hWnd->ExStyle & WS_EX_NOACTIVATE))
      SetActiveWindow(hWnd);
    return wasVisible;
  }
  SendMessage(hWnd, WM_SHOWWINDOW, WPARAM(show ? 1 : 0), 0);
  if (!IsLive(hWnd))
    return wasVisible;
  if (show) {
    hWnd->Style |= WS_VISIBLE;
    LayoutChanged();
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if (!hWnd->Parent && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && !(hWnd->ExStyle & WS_EX_NOACTIVATE))
      SetActiveWindow(hWnd);
  } else {
    if (IsWindowVisible(hWnd))
      InvalidateInParent(hWnd, hWnd->Rect);
    hWnd->Style &= ~WS_VISIBLE;
    LayoutChanged();
    InputWindowDestroyed(hWnd); // capture and activation leave a hidden window
  }
  return wasVisible;
}

BOOL BringWindowToTop(HWND hWnd)
{
  return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

namespace {

// Screen coordinates of a window near the far edges add up past the range of
// an int: they are summed in 64 bits and held at the edge.
int ClampedCoord(std::int64_t v)
{
  return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

BOOL GetWindowRect(HWND hWnd, RECT* rect)
{
  if (!IsLive(hWnd) || !rect)
    return FALSE;
  POINT p(-hWnd->Frame.Left, -hWnd->Frame.Top);
  ClientToScreen(hWnd, &p);
  *rect = RECT(p.X, p.Y, ClampedCoord(std::int64_t(p.X) + hWnd->Rect.Width()),
               ClampedCoord(std::int64_t(p.Y) + hWnd->Rect.Height()));
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, RECT* rect)
{
  if (!IsLive(hWnd) || !rect)
    return FALSE;
  *rect = ClientRectOf(hWnd);
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, POINT* point)
{
  if (!IsLive(hWnd) || !point)
    return FALSE;
  std::int64_t x = point->X, y = point->Y;
  for (HWND w = hWnd; w; w = w->Parent) {
    x += w->Rect.Left + w->Frame.Left;
    y += w->Rect.Top + w->Frame.Top;
  }
  *point = POINT(ClampedCoord(x), ClampedCoord(y));
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, POINT* point)
{
  if (!IsLive(hWnd) || !point)
    return FALSE;
  for (HWND w = hWnd; w; w = w->Parent)
    point->Offset(-w->Rect.Left - w->Frame.Left, -w->Rect.Top - w->Frame.Top);
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
  POINT origin;
  if (from && !ClientToScreen(from, &origin))
    return 0;
  POINT target;
  if (to && !ClientToScreen(to, &target))
    return 0;
  int dx = origin.X - target.X, dy = origin.Y - target.Y;
  for (UINT i = 0; points && i < count; ++i)
    points[i].Offset(dx, dy);
  return int(WORD(dx)) | (int(WORD(dy)) << 16);
}

namespace {

// The deepest window under the point in hWnd's subtree, asking each
// candidate's WM_NCHITTEST; nullptr when the subtree lets the point through.
HWND HitTree(HWND hWnd, POINT screen, POINT clientOrigin)
{
  RECT client = ClientRectOf(hWnd);
  client.Offset(clientOrigin);
  // Children show only inside the client area, never over the scroll bars.
  for (size_t i = client.Contains(screen) ? hWnd->Children.size() : 0; i-- > 0;) {
    HWND c = hWnd->Children[i];
    if (!(c->Style & WS_VISIBLE) || (c->Style & WS_DISABLED))
      continue;
    RECT r = c->Rect;
    r.Offset(clientOrigin);
    if (!r.Contains(screen))
      continue;
    if (HWND hit = HitTree(c, screen, POINT(r.Left + c->Frame.Left, r.Top + c->Frame.Top)))
      return hit;
  }
  if (SendMessage(hWnd, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y)) == HTTRANSPARENT)
    return nullptr;
  return hWnd;
}

} // namespace

HWND WindowFromPoint(POINT point)
{
  std::vector<HWND> tops = TopLevels(); // hit tests may change the list
  for (size_t i = tops.size(); i-- > 0;) {
    HWND w = tops[i];
    if (!IsLive(w) || !(w->Style & WS_VISIBLE) || !w->Rect.Contains(point))
      continue;
    if (HWND hit = HitTree(w, point, POINT(w->Rect.Left + w->Frame.Left, w->Rect.Top + w->Frame.Top)))
      return hit;
  }
  return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT clientPoint)
{
  if (!IsLive(parent) || !ClientRectOf(parent).Contains(clientPoint))
    return nullptr;
  for (size_t i = parent->Children.size(); i-- > 0;)
    if ((parent->Children[i]->Style & WS_VISIBLE) && parent->Children[i]->Rect.Contains(clientPoint))
      return parent->Children[i];
  return parent;
}

void ResetWindows()
{
  while (!TopLevels().empty())
    DestroyWindow(TopLevels().back());
}

} // namespace Win

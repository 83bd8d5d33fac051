#include "Win.MenuBar.hpp"
#include "Win.Metrics.hpp"
#include "Win.User.Internal.hpp"

#include <System.SysUtils.hpp>

#include <array>
#include <cstdlib>

namespace Win {

struct TCursorObject {
  int Id = 0;
  std::string Name;
};

namespace {

struct TInputState {
  HWND Capture = nullptr;
  HWND Focus = nullptr;
  HWND Active = nullptr;
  HWND Tracked = nullptr; // TrackMouseEvent(TME_LEAVE)
  bool TrackedNonClient = false; // ... with TME_NONCLIENT
  POINT CursorPos;
  std::array<std::uint8_t, 256> Keys{}; // bit 7 down, bit 0 toggled
  HCURSOR Cursor = nullptr;
  // Double clicks: the last press.
  HWND LastDownWindow = nullptr;
  int LastDownButton = -1;
  DWORD LastDownTime = 0;
  POINT LastDownPos;
  UINT DoubleClickTime = 500;
  bool AppActive = true;
};

void BroadcastActivateApp(bool active)
{
  std::vector<HWND> tops = TopLevels();
  for (HWND w : tops)
    if (IsLive(w))
      SendMessage(w, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

TInputState& State()
{
  static TInputState state;
  return state;
}

struct TStandardCursor {
  int Id;
  const char* Name;
};
constexpr TStandardCursor kStandardCursors[] = {
  {IDC_ARROW, "arrow"},     {IDC_IBEAM, "ibeam"},       {IDC_WAIT, "wait"},         {IDC_CROSS, "cross"},
  {IDC_UPARROW, "uparrow"}, {IDC_SIZE, "size"},         {IDC_ICON, "icon"},         {IDC_SIZENWSE, "sizenwse"},
  {IDC_SIZENESW, "sizenesw"}, {IDC_SIZEWE, "sizewe"},   {IDC_SIZENS, "sizens"},     {IDC_SIZEALL, "sizeall"},
  {IDC_NO, "no"},           {IDC_HAND, "hand"},         {IDC_APPSTARTING, "appstarting"}, {IDC_HELP, "help"}};

std::vector<std::unique_ptr<TCursorObject>>& StandardCursors()
{
  static std::vector<std::unique_ptr<TCursorObject>> cursors = [] {
    std::vector<std::unique_ptr<TCursorObject>> list;
    for (const auto& c : kStandardCursors)
      list.push_back(std::make_unique<TCursorObject>(TCursorObject{c.Id, c.Name}));
    return list;
  }();
  return cursors;
}

bool IsStandard(HCURSOR cursor)
{
  for (const auto& c : StandardCursors())
    if (c.get() == cursor)
      return true;
  return false;
}

constexpr UINT kDownMessages[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
constexpr UINT kUpMessages[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
constexpr int kButtonKeys[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};

bool KeyDown(int vk)
{
  return (State().Keys[size_t(vk & 0xFF)] & 0x80) != 0;
}

WPARAM MouseKeys()
{
  WPARAM keys = 0;
  if (KeyDown(VK_LBUTTON))
    keys |= MK_LBUTTON;
  if (KeyDown(VK_RBUTTON))
    keys |= MK_RBUTTON;
  if (KeyDown(VK_MBUTTON))
    keys |= MK_MBUTTON;
  if (KeyDown(VK_SHIFT))
    keys |= MK_SHIFT;
  if (KeyDown(VK_CONTROL))
    keys |= MK_CONTROL;
  return keys;
}

void SetKey(int vk, bool down)
{
  std::uint8_t& k = State().Keys[size_t(vk & 0xFF)];
  if (down && !(k & 0x80))
    k ^= 0x01;
  k = std::uint8_t(down ? (k | 0x80) : (k & ~0x80));
}

LPARAM ClientLParam(HWND hWnd, POINT screen)
{
  ScreenToClient(hWnd, &screen);
  return MAKELPARAM(screen.X, screen.Y);
}

struct TTarget {
  HWND Window = nullptr;
  UINT HitTest = HTNOWHERE;
};

TTarget MouseTarget(POINT screen)
{
  TInputState& s = State();
  if (IsLive(s.Capture))
    return {s.Capture, UINT(HTCLIENT)};
  HWND w = WindowFromPoint(screen);
  if (!w)
    return {};
  LRESULT hit = SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
  return {w, UINT(hit)};
}

bool IsNonClient(UINT hitTest)
{
  return hitTest == UINT(HTVSCROLL) || hitTest == UINT(HTHSCROLL) || hitTest == UINT(HTMENU);
}

UINT LeaveMessage(bool nonClient)
{
  return nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE;
}

// The pointer left the tracked area (the window's client or its non-client
// strips): WM_MOUSELEAVE or WM_NCMOUSELEAVE, once.
void CheckLeave(HWND target, bool nonClient, std::vector<MSG>& out)
{
  TInputState& s = State();
  if (!s.Tracked || (s.Tracked == target && s.TrackedNonClient == nonClient))
    return;
  if (IsLive(s.Tracked))
    out.push_back(MSG{s.Tracked, LeaveMessage(s.TrackedNonClient), 0, 0, 0, {}});
  s.Tracked = nullptr;
}

void SendSetCursor(const TTarget& t, UINT message)
{
  if (!IsLive(State().Capture) && IsLive(t.Window))
    SendMessage(t.Window, WM_SETCURSOR, WPARAM(t.Window), MAKELPARAM(int(t.HitTest), int(message)));
}

// A press on an inactive top-level window activates it unless it declines;
// false when the window eats the click.
bool ActivateOnPress(const TTarget& t, UINT message)
{
  HWND root = RootOf(t.Window);
  if (root == State().Active || (root->ExStyle & WS_EX_NOACTIVATE))
    return true;
  LRESULT answer = SendMessage(t.Window, WM_MOUSEACTIVATE, WPARAM(root), MAKELPARAM(int(t.HitTest), int(message)));
  if (!IsLive(root))
    return false;
  if (answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT)
    SetActiveWindow(root);
  return answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT;
}

UINT PressMessage(const TRawInput& in, HWND target)
{
  TInputState& s = State();
  UINT down = kDownMessages[in.Button];
  bool dbl = (target->Class->Style & CS_DBLCLKS) && s.LastDownWindow == target && s.LastDownButton == in.Button &&
             in.Time - s.LastDownTime <= s.DoubleClickTime &&
             std::abs(in.Pos.X - s.LastDownPos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
             std::abs(in.Pos.Y - s.LastDownPos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  if (dbl) {
    s.LastDownWindow = nullptr; // a third press starts over
    return down + 2;
  }
  s.LastDownWindow = target;
  s.LastDownButton = in.Button;
  s.LastDownTime = in.Time;
  s.LastDownPos = in.Pos;
  return down;
}

std::vector<MSG> CookMouse(const TRawInput& in)
{
  std::vector<MSG> out;
  int button = std::clamp(in.Button, 0, 2);
  UINT message = WM_MOUSEMOVE;
  if (in.Kind == TRawInput::ButtonDown) {
    SetKey(kButtonKeys[button], true);
    message = kDownMessages[button];
  } else if (in.Kind == TRawInput::ButtonUp) {
    SetKey(kButtonKeys[button], false);
    message = kUpMessages[button];
  } else if (in.Kind == TRawInput::Wheel) {
    message = WM_MOUSEWHEEL;
  }
  if (TrackScrollBarInput(in))
    return out;
  TTarget t = MouseTarget(in.Pos);
  // Over a scroll bar or the menu bar the mouse speaks the non-client
  // messages, and the client area counts as left.
  const bool nonClient = IsNonClient(t.HitTest);
  if (CallMouseHooks(message, in.Pos, t.Window, t.HitTest))
    return out;
  if (in.Kind == TRawInput::MouseMove)
    CheckLeave(t.Window, nonClient, out);
  if (!IsLive(t.Window) || !IsWindowEnabled(RootOf(t.Window)))
    return out;
  if (in.Kind == TRawInput::Wheel) {
    out.push_back(MSG{t.Window, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeys()), in.Value), MAKELPARAM(in.Pos.X, in.Pos.Y), in.Time, in.Pos});
    return out;
  }
  if (in.Kind != TRawInput::ButtonUp)
    SendSetCursor(t, message);
  if (in.Kind == TRawInput::ButtonDown) {
    if (!IsLive(t.Window) || !ActivateOnPress(t, message) || !IsLive(t.Window))
      return out;
    message = PressMessage(in, t.Window);
  }
  if (!IsLive(t.Window))
    return out;
  if (nonClient)
    out.push_back(MSG{t.Window, message - WM_MOUSEMOVE + WM_NCMOUSEMOVE, WPARAM(t.HitTest),
                      MAKELPARAM(in.Pos.X, in.Pos.Y), in.Time, in.Pos});
  else
    out.push_back(MSG{t.Window, message, MouseKeys(), ClientLParam(t.Window, in.Pos), in.Time, in.Pos});
  return out;
}

std::vector<MSG> CookKey(const TRawInput& in)
{
  std::vector<MSG> out;
  TInputState& s = State();
  if (in.Kind == TRawInput::Char) {
    if (IsLive(s.Focus))
      out.push_back(MSG{s.Focus, WM_CHAR, WPARAM(in.Value), 1, in.Time, s.CursorPos});
    return out;
  }
  bool down = in.Kind == TRawInput::KeyDown;
  bool wasDown = KeyDown(in.Value);
  LPARAM lParam = 1 | (wasDown ? (LPARAM(1) << 30) : 0) | (down ? 0 : (LPARAM(1) << 30) | (LPARAM(1) << 31));
  SetKey(in.Value, down);
  if (CallKeyboardHooks(in.Value, lParam))
    return out;
  HWND target = IsLive(s.Focus) ? s.Focus : s.Active;
  if (!IsLive(target))
    return out;
  bool sys = KeyDown(VK_MENU) && !KeyDown(VK_CONTROL);
  UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  out.push_back(MSG{target, message, WPARAM(in.Value), lParam, in.Time, s.CursorPos});
  return out;
}

void InjectButton(TInjectButton button, TRawInput::TKind kind)
{
  TRawInput in;
  in.Kind = kind;
  in.Pos = State().CursorPos;
  in.Button = int(button);
  in.Time = GetTickCount();
  PostInput(in);
}

void InjectKeyEvent(int vk, TRawInput::TKind kind)
{
  TRawInput in;
  in.Kind = kind;
  in.Value = vk & 0xFF;
  in.Time = GetTickCount();
  PostInput(in);
}

} // namespace

std::vector<MSG> CookInput(const TRawInput& input)
{
  if (input.Kind == TRawInput::KeyDown || input.Kind == TRawInput::KeyUp || input.Kind == TRawInput::Char)
    return CookKey(input);
  return CookMouse(input);
}

// ---- capture, focus, activation ----------------------------------------------------

HWND SetCapture(HWND hWnd)
{
  TInputState& s = State();
  HWND old = IsLive(s.Capture) ? s.Capture : nullptr;
  if (!IsLive(hWnd) || old == hWnd)
    return old;
  s.Capture = hWnd;
  if (old)
    SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(hWnd));
  return old;
}

BOOL ReleaseCapture()
{
  TInputState& s = State();
  HWND old = s.Capture;
  s.Capture = nullptr;
  if (IsLive(old))
    SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture()
{
  return IsLive(State().Capture) ? State().Capture : nullptr;
}

HWND SetFocus(HWND hWnd)
{
  TInputState& s = State();
  HWND old = IsLive(s.Focus) ? s.Focus : nullptr;
  if (hWnd && !IsLive(hWnd))
    return nullptr;
  if (hWnd == old)
    return old;
  if (hWnd && RootOf(hWnd) != s.Active) {
    SetActiveWindow(RootOf(hWnd));
    if (!IsLive(hWnd))
      return nullptr;
    old = IsLive(s.Focus) ? s.Focus : nullptr;
    if (old == hWnd)
      return old;
  }
  s.Focus = hWnd;
  if (old)
    SendMessage(old, WM_KILLFOCUS, WPARAM(hWnd), 0);
  if (hWnd && s.Focus == hWnd)
    SendMessage(hWnd, WM_SETFOCUS, WPARAM(old), 0);
  return old;
}

HWND GetFocus()
{
  return IsLive(State().Focus) ? State().Focus : nullptr;
}

HWND SetActiveWindow(HWND hWnd)
{
  TInputState& s = State();
  if (hWnd && !IsLive(hWnd))
    return nullptr;
  if (hWnd)
    hWnd = RootOf(hWnd);
  HWND old = IsLive(s.Active) ? s.Active : nullptr;
  if (hWnd == old)
    return old;
  s.Active = hWnd;
  if (hWnd && !s.AppActive) {
    s.AppActive = true;
    BroadcastActivateApp(true);
  }
  if (old) {
    SendMessage(old, WM_NCACTIVATE, FALSE, 0);
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, LPARAM(hWnd));
  }
  // The focus leaves with the window that lost activation.
  if (IsLive(s.Focus) && RootOf(s.Focus) != hWnd) {
    HWND lost = s.Focus;
    s.Focus = nullptr;
    SendMessage(lost, WM_KILLFOCUS, 0, 0);
  }
  if (hWnd && s.Active == hWnd) {
    SendMessage(hWnd, WM_NCACTIVATE, TRUE, 0);
    SendMessage(hWnd, WM_ACTIVATE, WA_ACTIVE, LPARAM(old));
  }
  return old;
}

HWND GetActiveWindow()
{
  return IsLive(State().Active) ? State().Active : nullptr;
}

HWND GetForegroundWindow()
{
  return GetActiveWindow();
}

BOOL SetForegroundWindow(HWND hWnd)
{
  if (!IsLive(hWnd))
    return FALSE;
  SetActiveWindow(hWnd);
  return TRUE;
}

void InputWindowDestroyed(HWND hWnd)
{
  TInputState& s = State();
  auto inside = [hWnd](HWND w) { return w && IsLive(w) && (w == hWnd || IsChild(hWnd, w)); };
  if (inside(s.Capture))
    ReleaseCapture();
  if (inside(s.Focus))
    s.Focus = nullptr;
  if (inside(s.Tracked))
    s.Tracked = nullptr;
  if (s.LastDownWindow == hWnd)
    s.LastDownWindow = nullptr;
  if (inside(s.Active)) {
    s.Active = nullptr;
    // Activation passes to the topmost remaining visible, enabled window.
    auto& tops = TopLevels();
    for (size_t i = tops.size(); i-- > 0;) {
      HWND w = tops[i];
      if (w != hWnd && !w->Destroying && (w->Style & WS_VISIBLE) && !(w->Style & WS_DISABLED) &&
          !(w->ExStyle & WS_EX_NOACTIVATE)) {
        SetActiveWindow(w);
        break;
      }
    }
  }
}

// ---- keys and pointer -------------------------------------------------------------

std::int16_t GetKeyState(int vk)
{
  std::uint8_t k = State().Keys[size_t(vk & 0xFF)];
  return std::int16_t(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

std::int16_t GetAsyncKeyState(int vk)
{
  return std::int16_t(GetKeyState(vk) & 0x8000);
}

BOOL GetCursorPos(POINT* point)
{
  if (!point)
    return FALSE;
  *point = State().CursorPos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
  InjectMouseMove(x, y);
  return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme)
{
  if (!tme)
    return FALSE;
  TInputState& s = State();
  if (tme->dwFlags & TME_CANCEL) {
    if (s.Tracked == tme->hwndTrack)
      s.Tracked = nullptr;
    return TRUE;
  }
  if (!(tme->dwFlags & TME_LEAVE) || !IsLive(tme->hwndTrack))
    return FALSE;
  const bool nonClient = (tme->dwFlags & TME_NONCLIENT) != 0;
  if (s.Tracked == tme->hwndTrack && s.TrackedNonClient == nonClient)
    return TRUE;
  // Asked while the pointer is already elsewhere: the leave comes at once.
  TTarget under = MouseTarget(s.CursorPos);
  if (under.Window != tme->hwndTrack || IsNonClient(under.HitTest) != nonClient) {
    PostMessage(tme->hwndTrack, LeaveMessage(nonClient), 0, 0);
    return TRUE;
  }
  if (IsLive(s.Tracked))
    PostMessage(s.Tracked, LeaveMessage(s.TrackedNonClient), 0, 0);
  s.Tracked = tme->hwndTrack;
  s.TrackedNonClient = nonClient;
  return TRUE;
}

int GetSystemMetrics(int index)
{
  switch (index) {
  case SM_CXSCREEN:
    return ScreenSettings().Width;
  case SM_CYSCREEN:
    return ScreenSettings().Height;
  case SM_CXBORDER:
  case SM_CYBORDER:
    return 1;
  case SM_CYMENU:
    return MulDiv(20, ScreenSettings().LogPixels, 96);
  case SM_CXVSCROLL:
  case SM_CYHSCROLL:
    return MulDiv(17, ScreenSettings().LogPixels, 96);
  case SM_CXICON:
  case SM_CYICON:
  case SM_CXCURSOR:
  case SM_CYCURSOR:
    return MulDiv(32, ScreenSettings().LogPixels, 96);
  case SM_CXSMICON:
  case SM_CYSMICON:
    return MulDiv(16, ScreenSettings().LogPixels, 96);
  case SM_CXDOUBLECLK:
  case SM_CYDOUBLECLK:
    return 4;
  case SM_CXDRAG:
  case SM_CYDRAG:
    return 4;
  // The check mark, like the classic check box it stands for, keeps its
  // 13 pixels at every resolution.
  case SM_CXMENUCHECK:
  case SM_CYMENUCHECK:
    return 13;
  default:
    return 0;
  }
}

UINT GetDoubleClickTime()
{
  return State().DoubleClickTime;
}

BOOL SetDoubleClickTime(UINT ms)
{
  State().DoubleClickTime = ms == 0 ? 500 : ms;
  return TRUE;
}

// ---- cursors --------------------------------------------------------------------------

HCURSOR LoadCursor(HINSTANCE, int id)
{
  for (const auto& c : StandardCursors())
    if (c->Id == id)
      return c.get();
  return nullptr;
}

HCURSOR CreateNamedCursor(const char* name)
{
  return new TCursorObject{0, name ? name : ""};
}

BOOL DestroyCursor(HCURSOR cursor)
{
  if (!cursor || IsStandard(cursor))
    return FALSE;
  if (State().Cursor == cursor)
    State().Cursor = nullptr;
  delete cursor;
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor)
{
  HCURSOR old = State().Cursor;
  State().Cursor = cursor;
  return old;
}

HCURSOR GetCursor()
{
  return State().Cursor;
}

int CursorId(HCURSOR cursor)
{
  return cursor ? cursor->Id : 0;
}

std::string CursorName(HCURSOR cursor)
{
  return cursor ? cursor->Name : std::string();
}

// ---- injection --------------------------------------------------------------------------

void InjectMouseMove(int x, int y)
{
  State().CursorPos = POINT(x, y);
  TRawInput in;
  in.Kind = TRawInput::MouseMove;
  in.Pos = POINT(x, y);
  in.Time = GetTickCount();
  PostInput(in);
}

void InjectMouseDown(TInjectButton button)
{
  InjectButton(button, TRawInput::ButtonDown);
}

void InjectMouseUp(TInjectButton button)
{
  InjectButton(button, TRawInput::ButtonUp);
}

void InjectClick(int x, int y, TInjectButton button)
{
  InjectMouseMove(x, y);
  InjectMouseDown(button);
  InjectMouseUp(button);
}

void InjectWheel(int delta)
{
  TRawInput in;
  in.Kind = TRawInput::Wheel;
  in.Pos = State().CursorPos;
  in.Value = delta;
  in.Time = GetTickCount();
  PostInput(in);
}

void InjectKeyDown(int vk)
{
  InjectKeyEvent(vk, TRawInput::KeyDown);
}

void InjectKeyUp(int vk)
{
  InjectKeyEvent(vk, TRawInput::KeyUp);
}

void InjectKey(int vk)
{
  InjectKeyDown(vk);
  InjectKeyUp(vk);
}

void InjectText(const std::string& utf8)
{
  const char* end = utf8.data() + utf8.size();
  for (const char* p = utf8.data(); p < end;) {
    TRawInput in;
    in.Kind = TRawInput::Char;
    in.Value = int(Vcl::NextUtf8Char(p, end));
    in.Time = GetTickCount();
    PostInput(in);
  }
}

void InjectAppSwitch()
{
  SetActiveWindow(nullptr);
  State().AppActive = false;
  BroadcastActivateApp(false);
}

void ResetInput()
{
  TInputState& s = State();
  UINT dbl = 500;
  s = TInputState{};
  s.DoubleClickTime = dbl;
}

} // namespace Win

#include "Win.UpDown.hpp"

#include "Internal/Win.User.Internal.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Win {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

enum class TArrow { None, Up, Down };

struct TUpDown {
  HWND Wnd = nullptr;
  int Low = 0, High = 100, Pos = 0;
  HWND Buddy = nullptr;
  WNDPROC BuddyProc = nullptr; // the buddy's own procedure while it is subclassed
  std::vector<UDACCEL> Accel{{0, 1}};
  TArrow Pressed = TArrow::None;
  bool PointerOver = false; // the pointer is over the pressed arrow
  DWORD PressTime = 0;
};

// The tables are never destroyed: a window may still be destroyed by a
// static object's destructor at exit, after function statics made later
// are gone.
std::unordered_map<HWND, std::unique_ptr<TUpDown>>& UpDowns()
{
  static auto* upDowns = new std::unordered_map<HWND, std::unique_ptr<TUpDown>>;
  return *upDowns;
}

// Buddy windows whose keys the up-down watches, with the up-down.
std::unordered_map<HWND, HWND>& Buddies()
{
  static auto* buddies = new std::unordered_map<HWND, HWND>;
  return *buddies;
}

TUpDown* UpDownOf(HWND hWnd)
{
  auto it = UpDowns().find(hWnd);
  return it == UpDowns().end() ? nullptr : it->second.get();
}

DWORD StyleOf(const TUpDown& u)
{
  return DWORD(GetWindowLongPtr(u.Wnd, GWL_STYLE));
}

bool Horizontal(const TUpDown& u)
{
  return (StyleOf(u) & UDS_HORZ) != 0;
}

// The two arrow rectangles: up above down, or (horizontal) down left of up.
RECT ArrowRect(const TUpDown& u, TArrow Arrow)
{
  RECT r;
  GetClientRect(u.Wnd, &r);
  if (Horizontal(u)) {
    const int mid = (r.Left + r.Right) / 2;
    return Arrow == TArrow::Up ? RECT(mid, r.Top, r.Right, r.Bottom) : RECT(r.Left, r.Top, mid, r.Bottom);
  }
  const int mid = (r.Top + r.Bottom) / 2;
  return Arrow == TArrow::Up ? RECT(r.Left, r.Top, r.Right, mid) : RECT(r.Left, mid, r.Right, r.Bottom);
}

TArrow ArrowAt(const TUpDown& u, POINT p)
{
  for (TArrow arrow : {TArrow::Up, TArrow::Down}) {
    const RECT r = ArrowRect(u, arrow);
    if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom)
      return arrow;
  }
  return TArrow::None;
}

int Lowest(const TUpDown& u)
{
  return std::min(u.Low, u.High);
}

int Highest(const TUpDown& u)
{
  return std::max(u.Low, u.High);
}

int Clamp(const TUpDown& u, std::int64_t v)
{
  return int(std::clamp<std::int64_t>(v, Lowest(u), Highest(u)));
}

bool BuddyInt(const TUpDown& u)
{
  return u.Buddy && IsWindow(u.Buddy) && (StyleOf(u) & UDS_SETBUDDYINT);
}

// The buddy's text as a whole decimal number (blanks around it allowed).
bool ParseInt(const std::string& text, std::int64_t* value)
{
  size_t from = text.find_first_not_of(" \t");
  size_t to = text.find_last_not_of(" \t");
  if (from == std::string::npos)
    return false;
  const char* first = text.data() + from + (text[from] == '+' ? 1 : 0);
  const char* last = text.data() + to + 1;
  auto [end, error] = std::from_chars(first, last, *value);
  return error == std::errc() && end == last;
}

void WriteBuddy(TUpDown& u)
{
  if (!BuddyInt(u))
    return;
  const std::string text = std::to_string(u.Pos);
  if (GetWindowTextString(u.Buddy) != text)
    SetWindowText(u.Buddy, text.c_str());
}

// Takes a number typed into the buddy as the position; false when the text
// is no number.
bool ReadBuddy(TUpDown& u)
{
  if (!BuddyInt(u))
    return true;
  std::int64_t value = 0;
  if (!ParseInt(GetWindowTextString(u.Buddy), &value))
    return false;
  u.Pos = Clamp(u, value);
  return true;
}

UINT CurrentIncrement(const TUpDown& u)
{
  const DWORD heldSeconds = (GetTickCount() - u.PressTime) / 1000;
  UINT inc = u.Accel.empty() ? 1 : u.Accel.front().nInc;
  for (const UDACCEL& a : u.Accel)
    if (a.nSec <= heldSeconds)
      inc = a.nInc;
  return inc;
}

void Step(TUpDown& u, int Direction)
{
  ReadBuddy(u);
  const std::int64_t delta = std::int64_t(Direction) * CurrentIncrement(u);
  std::int64_t target = std::int64_t(u.Pos) + delta;
  if (StyleOf(u) & UDS_WRAP) {
    if (target > Highest(u))
      target = Lowest(u);
    else if (target < Lowest(u))
      target = Highest(u);
  }
  const int next = Clamp(u, target);
  if (next != u.Pos) {
    NMUPDOWN nm;
    nm.hdr.hwndFrom = u.Wnd;
    nm.hdr.idFrom = UINT_PTR(GetWindowLongPtr(u.Wnd, GWLP_ID));
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = u.Pos;
    nm.iDelta = int(std::clamp<std::int64_t>(next - std::int64_t(u.Pos), INT32_MIN, INT32_MAX));
    const HWND self = u.Wnd;
    if (HWND parent = GetParent(self); parent && SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, LPARAM(&nm)) != 0)
      return;
    if (UpDownOf(self) != &u)
      return; // the parent destroyed it
    u.Pos = next;
  }
  WriteBuddy(u);
  if (HWND parent = GetParent(u.Wnd))
    SendMessage(parent, Horizontal(u) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, u.Pos), LPARAM(u.Wnd));
}

void StepArrow(HWND hWnd, TArrow Arrow)
{
  if (TUpDown* u = UpDownOf(hWnd))
    Step(*u, Arrow == TArrow::Up ? 1 : -1);
}

void Paint(TUpDown& u)
{
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(u.Wnd, &ps);
  const bool enabled = IsWindowEnabled(u.Wnd);
  for (TArrow arrow : {TArrow::Up, TArrow::Down}) {
    RECT r = ArrowRect(u, arrow);
    UINT state = Horizontal(u) ? (arrow == TArrow::Up ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT)
                               : (arrow == TArrow::Up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
    if (!enabled)
      state |= DFCS_INACTIVE;
    else if (u.Pressed == arrow && u.PointerOver)
      state |= DFCS_PUSHED;
    DrawFrameControl(dc, &r, DFC_SCROLL, state);
  }
  EndPaint(u.Wnd, &ps);
}

void Release(TUpDown& u)
{
  if (u.Pressed == TArrow::None)
    return;
  u.Pressed = TArrow::None;
  KillTimer(u.Wnd, kRepeatTimer);
  InvalidateRect(u.Wnd, nullptr, FALSE);
}

// Beside the buddy, as tall as it, on the side the style names.
void AlignToBuddy(TUpDown& u)
{
  const DWORD style = StyleOf(u);
  if (!u.Buddy || !IsWindow(u.Buddy) || !(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)))
    return;
  RECT buddy, self;
  GetWindowRect(u.Buddy, &buddy);
  GetWindowRect(u.Wnd, &self);
  POINT topLeft(style & UDS_ALIGNRIGHT ? buddy.Right : buddy.Left - (self.Right - self.Left), buddy.Top);
  if (HWND parent = GetParent(u.Wnd))
    ScreenToClient(parent, &topLeft);
  SetWindowPos(u.Wnd, nullptr, topLeft.X, topLeft.Y, self.Right - self.Left, buddy.Bottom - buddy.Top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT BuddyProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
void Subclass(TUpDown& u);

void Unsubclass(TUpDown& u)
{
  if (u.Buddy && u.BuddyProc && IsWindow(u.Buddy))
    SetWindowLongPtr(u.Buddy, GWLP_WNDPROC, LONG_PTR(u.BuddyProc));
  Buddies().erase(u.Buddy);
  u.BuddyProc = nullptr;
}

HWND SetBuddy(TUpDown& u, HWND Buddy)
{
  HWND previous = u.Buddy;
  Unsubclass(u);
  u.Buddy = Buddy && IsWindow(Buddy) && !Buddies().count(Buddy) ? Buddy : nullptr;
  if (!u.Buddy)
    return previous;
  // The buddy is watched only for what the style asks of it, so that a
  // buddy whose owner looks windows up by their procedure keeps its own.
  if (StyleOf(u) & (UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_ALIGNLEFT))
    Subclass(u);
  AlignToBuddy(u);
  WriteBuddy(u);
  return previous;
}

void Subclass(TUpDown& u)
{
  u.BuddyProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(u.Buddy, GWLP_WNDPROC));
  SetWindowLongPtr(u.Buddy, GWLP_WNDPROC, LONG_PTR(&BuddyProc));
  Buddies()[u.Buddy] = u.Wnd;
}

// The buddy's messages pass here first: arrow keys step the up-down (with
// UDS_ARROWKEYS), moves and size changes take the up-down along, and the
// buddy's end lets it go.
LRESULT BuddyProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto it = Buddies().find(hWnd);
  TUpDown* u = it == Buddies().end() ? nullptr : UpDownOf(it->second);
  if (!u)
    return DefWindowProc(hWnd, msg, wParam, lParam);
  WNDPROC own = u->BuddyProc;
  if (msg == WM_KEYDOWN && (StyleOf(*u) & UDS_ARROWKEYS) && IsWindowEnabled(u->Wnd) &&
      (wParam == WPARAM(VK_UP) || wParam == WPARAM(VK_DOWN))) {
    StepUpDown(u->Wnd, wParam == WPARAM(VK_UP) ? 1 : -1);
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    u->Buddy = nullptr;
    u->BuddyProc = nullptr;
    Buddies().erase(hWnd);
    SetWindowLongPtr(hWnd, GWLP_WNDPROC, LONG_PTR(own));
    return CallWindowProc(own, hWnd, msg, wParam, lParam);
  }
  const LRESULT result = CallWindowProc(own, hWnd, msg, wParam, lParam);
  if (msg == WM_WINDOWPOSCHANGED)
    if (TUpDown* still = UpDownOf(Buddies().count(hWnd) ? Buddies()[hWnd] : nullptr))
      AlignToBuddy(*still);
  return result;
}

LRESULT UpDownMessage(TUpDown& u, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
  case UDM_SETRANGE32:
    u.Low = int(wParam);
    u.High = int(lParam);
    u.Pos = Clamp(u, u.Pos);
    return 0;
  case UDM_GETRANGE32:
    if (wParam)
      *reinterpret_cast<int*>(wParam) = u.Low;
    if (lParam)
      *reinterpret_cast<int*>(lParam) = u.High;
    return 0;
  case UDM_SETRANGE: // high in the low word, low in the high word, as 16-bit values
    u.High = std::int16_t(LOWORD(std::uintptr_t(lParam)));
    u.Low = std::int16_t(HIWORD(std::uintptr_t(lParam)));
    u.Pos = Clamp(u, u.Pos);
    return 0;
  case UDM_GETRANGE:
    return LRESULT(MAKELPARAM(u.High, u.Low));
  case UDM_SETPOS32:
  case UDM_SETPOS: {
    const int previous = u.Pos;
    u.Pos = Clamp(u, msg == UDM_SETPOS32 ? std::int64_t(int(lParam)) : std::int64_t(std::int16_t(LOWORD(lParam))));
    WriteBuddy(u);
    return previous;
  }
  case UDM_GETPOS32: {
    const bool valid = ReadBuddy(u);
    if (lParam)
      *reinterpret_cast<BOOL*>(lParam) = valid ? FALSE : TRUE;
    return u.Pos;
  }
  case UDM_GETPOS:
    return ReadBuddy(u) ? LRESULT(WORD(u.Pos)) : LRESULT(MAKELPARAM(u.Pos, 1));
  case UDM_SETBUDDY:
    return LRESULT(SetBuddy(u, reinterpret_cast<HWND>(wParam)));
  case UDM_GETBUDDY:
    return LRESULT(u.Buddy);
  case UDM_SETACCEL: {
    if (wParam == 0 || !lParam)
      return FALSE;
    const auto* accel = reinterpret_cast<const UDACCEL*>(lParam);
    u.Accel.assign(accel, accel + wParam);
    std::stable_sort(u.Accel.begin(), u.Accel.end(), [](const UDACCEL& a, const UDACCEL& b) { return a.nSec < b.nSec; });
    return TRUE;
  }
  case UDM_GETACCEL: {
    const size_t n = std::min<size_t>(wParam, u.Accel.size());
    if (lParam)
      std::copy_n(u.Accel.begin(), n, reinterpret_cast<UDACCEL*>(lParam));
    return LRESULT(u.Accel.size());
  }
  default:
    return 0;
  }
}

LRESULT WindowMessage(TUpDown& u, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
  case WM_PAINT:
    Paint(u);
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK: {
    const TArrow arrow = ArrowAt(u, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    if (arrow == TArrow::None || !IsWindowEnabled(u.Wnd))
      return 0;
    SetCapture(u.Wnd);
    u.Pressed = arrow;
    u.PointerOver = true;
    u.PressTime = GetTickCount();
    InvalidateRect(u.Wnd, nullptr, FALSE);
    SetTimer(u.Wnd, kRepeatTimer, kUpDownRepeatDelay, nullptr);
    StepArrow(u.Wnd, arrow);
    return 0;
  }
  case WM_MOUSEMOVE:
    if (u.Pressed != TArrow::None) {
      const bool over = ArrowAt(u, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) == u.Pressed;
      if (over != u.PointerOver) {
        u.PointerOver = over;
        InvalidateRect(u.Wnd, nullptr, FALSE);
      }
    }
    return 0;
  case WM_LBUTTONUP:
    if (GetCapture() == u.Wnd)
      ReleaseCapture();
    Release(u);
    return 0;
  case WM_CAPTURECHANGED:
  case WM_CANCELMODE:
    Release(u);
    return 0;
  case WM_TIMER:
    if (wParam != kRepeatTimer || u.Pressed == TArrow::None)
      return 0;
    SetTimer(u.Wnd, kRepeatTimer, kUpDownRepeatInterval, nullptr);
    if (u.PointerOver)
      StepArrow(u.Wnd, u.Pressed);
    return 0;
  case WM_ENABLE:
    if (!wParam)
      Release(u);
    InvalidateRect(u.Wnd, nullptr, FALSE);
    return 0;
  default:
    if (msg >= UDM_SETRANGE && msg <= UDM_GETPOS32)
      return UpDownMessage(u, msg, wParam, lParam);
    return DefWindowProc(u.Wnd, msg, wParam, lParam);
  }
}

struct TUpDownClassRegistration {
  TUpDownClassRegistration()
  {
    WNDCLASS wc;
    wc.lpfnWndProc = &UpDownWindowProc;
    wc.lpszClassName = UPDOWN_CLASS;
    RegisterClass(wc);
  }
} gUpDownClassRegistration;

} // namespace

void StepUpDown(HWND hWnd, int Direction)
{
  if (TUpDown* u = UpDownOf(hWnd); u && Direction != 0 && IsWindowEnabled(hWnd)) {
    u->PressTime = GetTickCount();
    Step(*u, Direction > 0 ? 1 : -1);
  }
}

LRESULT UpDownWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCCREATE) {
    if (!IsLive(hWnd))
      return FALSE;
    auto u = std::make_unique<TUpDown>();
    u->Wnd = hWnd;
    UpDowns()[hWnd] = std::move(u);
    return DefWindowProc(hWnd, msg, wParam, lParam);
  }
  TUpDown* u = UpDownOf(hWnd);
  if (msg == WM_NCDESTROY) {
    if (u) {
      KillTimer(hWnd, kRepeatTimer);
      Unsubclass(*u);
      UpDowns().erase(hWnd);
    }
    return DefWindowProc(hWnd, msg, wParam, lParam);
  }
  if (!u)
    return DefWindowProc(hWnd, msg, wParam, lParam);
  return WindowMessage(*u, msg, wParam, lParam);
}

} // namespace Win

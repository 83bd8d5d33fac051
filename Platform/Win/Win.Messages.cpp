#include "Win.MenuBar.hpp"
#include "Win.User.Internal.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

namespace Win {

namespace {

struct TQueued {
  MSG Msg;
  bool Raw = false;
  TRawInput Input;
};

struct TQueue {
  std::mutex Lock;
  std::condition_variable Posted;
  std::deque<TQueued> Items;
  bool Quit = false;
  int QuitCode = 0;
};

TQueue& Queue()
{
  static TQueue queue;
  return queue;
}

DWORD gMessageTime = 0;
POINT gMessagePos;

bool Matches(const MSG& m, HWND hWnd, UINT filterMin, UINT filterMax)
{
  if (hWnd && m.hwnd != hWnd && !IsChild(hWnd, m.hwnd))
    return false;
  if (filterMin == 0 && filterMax == 0)
    return true;
  return m.message >= filterMin && m.message <= filterMax;
}

bool RangeIncludes(UINT message, UINT filterMin, UINT filterMax)
{
  return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

void Stamp(MSG* msg)
{
  msg->time = GetTickCount();
  GetCursorPos(&msg->pt);
}

// Turns the raw input at `index` into window messages in its place. Called
// without the lock: hit tests, hooks and activation run window procedures.
void CookAt(size_t index)
{
  TQueue& q = Queue();
  std::unique_lock lock(q.Lock);
  TRawInput input = q.Items[index].Input;
  q.Items.erase(q.Items.begin() + std::ptrdiff_t(index));
  lock.unlock();
  std::vector<MSG> cooked = CookInput(input);
  lock.lock();
  // Only this thread removes items, so everything before `index` is still there.
  auto at = q.Items.begin() + std::ptrdiff_t(std::min(index, q.Items.size()));
  std::vector<TQueued> items;
  for (const MSG& m : cooked)
    items.push_back(TQueued{m, false, {}});
  q.Items.insert(at, items.begin(), items.end());
}

// The first posted message that matches; cooks raw input on the way.
bool TakePosted(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, bool remove)
{
  TQueue& q = Queue();
  for (size_t i = 0;;) {
    std::unique_lock lock(q.Lock);
    if (i >= q.Items.size())
      return false;
    if (q.Items[i].Raw) {
      lock.unlock();
      CookAt(i);
      continue;
    }
    const MSG m = q.Items[i].Msg;
    if (m.hwnd && !IsLive(m.hwnd)) {
      q.Items.erase(q.Items.begin() + std::ptrdiff_t(i));
      continue;
    }
    if (!Matches(m, hWnd, filterMin, filterMax)) {
      ++i;
      continue;
    }
    *msg = m;
    if (remove)
      q.Items.erase(q.Items.begin() + std::ptrdiff_t(i));
    return true;
  }
}

bool TakeQuit(MSG* msg, bool remove)
{
  TQueue& q = Queue();
  std::lock_guard lock(q.Lock);
  if (!q.Quit)
    return false;
  *msg = MSG{nullptr, WM_QUIT, WPARAM(q.QuitCode), 0, 0, {}};
  if (remove)
    q.Quit = false;
  return true;
}

bool TakePaint(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax)
{
  if (!RangeIncludes(WM_PAINT, filterMin, filterMax))
    return false;
  HWND target = NextWindowToPaint();
  if (!target || (hWnd && target != hWnd && !IsChild(hWnd, target)))
    return false;
  *msg = MSG{target, WM_PAINT, 0, 0, 0, {}};
  return true;
}

int CharOfKey(int vk)
{
  bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (vk >= 'A' && vk <= 'Z')
    return control ? vk - 'A' + 1 : (shift ? vk : vk - 'A' + 'a');
  if (vk >= '0' && vk <= '9' && !control)
    return vk;
  switch (vk) {
  case VK_SPACE:
    return ' ';
  case VK_RETURN:
    return '\r';
  case VK_ESCAPE:
    return 27;
  case VK_BACK:
    return 8;
  case VK_TAB:
    return control ? 0 : 9;
  default:
    return 0;
  }
}

DWORD NewThreadId()
{
  static std::atomic<DWORD> next{1};
  return next++;
}

const DWORD gMainThreadId = GetCurrentThreadId();

} // namespace

DWORD GetCurrentThreadId()
{
  thread_local DWORD id = NewThreadId();
  return id;
}

DWORD MainThreadId()
{
  return gMainThreadId;
}

LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  // Windows belong to the user-interface thread; other threads post (and do
  // not look at the window list, which only that thread changes).
  if (GetCurrentThreadId() != gMainThreadId || !IsLive(hWnd))
    return 0;
  return hWnd->Proc(hWnd, msg, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  TQueue& q = Queue();
  {
    std::lock_guard lock(q.Lock);
    q.Items.push_back(TQueued{MSG{hWnd, msg, wParam, lParam, GetTickCount(), {}}, false, {}});
  }
  q.Posted.notify_all();
  return TRUE;
}

void PostInput(const TRawInput& input)
{
  TQueue& q = Queue();
  {
    std::lock_guard lock(q.Lock);
    q.Items.push_back(TQueued{MSG{}, true, input});
  }
  q.Posted.notify_all();
}

void PostQuitMessage(int exitCode)
{
  TQueue& q = Queue();
  {
    std::lock_guard lock(q.Lock);
    q.Quit = true;
    q.QuitCode = exitCode;
  }
  q.Posted.notify_all();
}

BOOL PeekMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
  if (!msg)
    return FALSE;
  bool remove = (removeMsg & PM_REMOVE) != 0;
  bool found = TakePosted(msg, hWnd, filterMin, filterMax, remove) || TakeQuit(msg, remove) ||
               TakePaint(msg, hWnd, filterMin, filterMax) ||
               (RangeIncludes(WM_TIMER, filterMin, filterMax) && TakeDueTimer(msg, remove) &&
                (!hWnd || msg->hwnd == hWnd || IsChild(hWnd, msg->hwnd)));
  if (!found)
    return FALSE;
  Stamp(msg);
  if (remove) {
    gMessageTime = msg->time;
    gMessagePos = msg->pt;
  }
  return TRUE;
}

BOOL WaitMessage()
{
  MSG probe;
  if (PeekMessage(&probe, nullptr, 0, 0, PM_NOREMOVE))
    return TRUE;
  std::uint64_t due = 0;
  bool timer = NextTimerDue(&due);
  // Nothing can happen on a virtual clock but time passing: let it pass.
  if (timer && IsVirtualClock()) {
    if (due > ClockMilliseconds())
      AdvanceClock(due - ClockMilliseconds());
    return TRUE;
  }
  TQueue& q = Queue();
  std::unique_lock lock(q.Lock);
  auto ready = [&] { return !q.Items.empty() || q.Quit; };
  if (timer) {
    std::uint64_t now = ClockMilliseconds();
    q.Posted.wait_for(lock, std::chrono::milliseconds(due > now ? due - now : 0), ready);
  } else {
    q.Posted.wait(lock, ready);
  }
  return TRUE;
}

BOOL GetMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax)
{
  if (!msg)
    return FALSE;
  while (!PeekMessage(msg, hWnd, filterMin, filterMax, PM_REMOVE))
    WaitMessage();
  return msg->message != WM_QUIT;
}

LRESULT DispatchMessage(const MSG* msg)
{
  if (!msg)
    return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), msg->time);
    return 0;
  }
  return IsLive(msg->hwnd) ? SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL TranslateMessage(const MSG* msg)
{
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
    return FALSE;
  int ch = CharOfKey(int(msg->wParam));
  if (ch == 0)
    return FALSE;
  TQueue& q = Queue();
  std::lock_guard lock(q.Lock);
  UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  q.Items.push_front(TQueued{MSG{msg->hwnd, charMsg, WPARAM(ch), msg->lParam, msg->time, msg->pt}, false, {}});
  return TRUE;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  return proc ? proc(hWnd, msg, wParam, lParam) : 0;
}

DWORD GetMessageTime()
{
  return gMessageTime;
}

POINT GetMessagePos()
{
  return gMessagePos;
}

void QueueWindowDestroyed(HWND hWnd)
{
  TQueue& q = Queue();
  std::lock_guard lock(q.Lock);
  q.Items.erase(std::remove_if(q.Items.begin(), q.Items.end(),
                               [hWnd](const TQueued& e) { return !e.Raw && e.Msg.hwnd == hWnd; }),
                q.Items.end());
}

void ResetQueue()
{
  TQueue& q = Queue();
  std::lock_guard lock(q.Lock);
  q.Items.clear();
  q.Quit = false;
  q.QuitCode = 0;
}

// ---- the default window procedure ----------------------------------------------

namespace {

HBRUSH ClassBrush(HWND hWnd)
{
  HBRUSH b = hWnd->Class->Background;
  auto index = reinterpret_cast<std::uintptr_t>(b);
  if (index > 0 && index <= std::uintptr_t(COLOR_MAX) + 1)
    return GetSysColorBrush(int(index) - 1);
  return b;
}

LRESULT DefSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
  if (hWnd->Parent && SendMessage(hWnd->Parent, WM_SETCURSOR, wParam, lParam))
    return TRUE;
  if (std::int16_t(LOWORD(std::uintptr_t(lParam))) != HTCLIENT)
    return FALSE;
  if (hWnd->Class->Cursor) {
    SetCursor(hWnd->Class->Cursor);
    return TRUE;
  }
  if (!hWnd->Parent)
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
  return FALSE;
}

LRESULT DefEraseBackground(HWND hWnd, HDC dc)
{
  HBRUSH brush = ClassBrush(hWnd);
  if (!brush || !dc)
    return 0;
  RECT r(0, 0, hWnd->Rect.Width(), hWnd->Rect.Height());
  FillRect(dc, &r, brush);
  return 1;
}

LRESULT DefGetText(HWND hWnd, WPARAM size, char* buffer)
{
  if (!buffer || size == 0)
    return 0;
  size_t n = std::min(hWnd->Text.size(), size_t(size) - 1);
  std::memcpy(buffer, hWnd->Text.data(), n);
  buffer[n] = 0;
  return LRESULT(n);
}

void DefPositionChanged(HWND hWnd, const WINDOWPOS* pos)
{
  if (!pos)
    return;
  if (!(pos->flags & SWP_NOMOVE))
    SendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
  if (IsLive(hWnd) && !(pos->flags & SWP_NOSIZE))
    SendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(pos->cx, pos->cy));
}

} // namespace

LRESULT DefWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (!IsLive(hWnd))
    return 0;
  switch (msg) {
  case WM_NCCREATE:
    return TRUE;
  case WM_NCCALCSIZE: // no frame of its own but the menu bar's strip
    if (lParam)
      reinterpret_cast<RECT*>(lParam)->Top += hWnd->MenuBar;
    return 0;
  case WM_NCHITTEST: {
    RECT r;
    GetWindowRect(hWnd, &r);
    POINT at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!r.Contains(at))
      return HTNOWHERE;
    return at.Y < r.Top + hWnd->MenuBar ? HTMENU : ScrollBarHitTest(hWnd, at);
  }
  case WM_NCPAINT:
    PaintScrollBars(hWnd);
    return 0;
  case WM_NCLBUTTONDOWN:
  case WM_NCLBUTTONDBLCLK:
    if (LRESULT(wParam) == HTVSCROLL || LRESULT(wParam) == HTHSCROLL)
      PressScrollBar(hWnd, LRESULT(wParam), POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return 0;
  case WM_SETCURSOR:
    return DefSetCursor(hWnd, wParam, lParam);
  case WM_ERASEBKGND:
    return DefEraseBackground(hWnd, reinterpret_cast<HDC>(wParam));
  case WM_PAINT: {
    PAINTSTRUCT ps;
    BeginPaint(hWnd, &ps);
    EndPaint(hWnd, &ps);
    return 0;
  }
  case WM_SETREDRAW:
    hWnd->RedrawOff = wParam == 0;
    return 0;
  case WM_CLOSE:
    DestroyWindow(hWnd);
    return 0;
  case WM_SETTEXT:
    hWnd->Text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    return TRUE;
  case WM_GETTEXT:
    return DefGetText(hWnd, wParam, reinterpret_cast<char*>(lParam));
  case WM_GETTEXTLENGTH:
    return LRESULT(hWnd->Text.size());
  case WM_WINDOWPOSCHANGED:
    DefPositionChanged(hWnd, reinterpret_cast<const WINDOWPOS*>(lParam));
    return 0;
  case WM_RBUTTONUP: {
    POINT at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    ClientToScreen(hWnd, &at);
    SendMessage(hWnd, WM_CONTEXTMENU, WPARAM(hWnd), MAKELPARAM(at.X, at.Y));
    return 0;
  }
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    if (wParam == WPARAM(VK_F10) && (GetKeyState(VK_SHIFT) & 0x8000))
      SendMessage(hWnd, WM_CONTEXTMENU, WPARAM(hWnd), kContextMenuFromKeyboard);
    return 0;
  case WM_KEYUP:
    if (wParam == WPARAM(VK_APPS))
      SendMessage(hWnd, WM_CONTEXTMENU, WPARAM(hWnd), kContextMenuFromKeyboard);
    return 0;
  case WM_MOUSEWHEEL:
  case WM_CONTEXTMENU:
    return hWnd->Parent ? SendMessage(hWnd->Parent, msg, wParam, lParam) : 0;
  case WM_MOUSEACTIVATE:
    if (hWnd->Parent)
      if (LRESULT r = SendMessage(hWnd->Parent, msg, wParam, lParam))
        return r;
    return MA_ACTIVATE;
  case WM_ACTIVATE:
    if (LOWORD(wParam) != WA_INACTIVE)
      SetFocus(hWnd);
    return 0;
  case WM_NCACTIVATE:
    return TRUE;
  default:
    return 0;
  }
}

} // namespace Win

// The window system: window handles in a parent/child tree, window classes,
// messages and the queue of the user-interface thread, painting, input,
// capture, focus, cursors, hooks, the clock and timers, with the Win32
// numbers and semantics. There is no non-client area: a window's rectangle
// is its client rectangle.
#pragma once

#include "Win.Gdi.hpp"
#include "Win.Icon.hpp"

#include <cstdint>
#include <string>

namespace Win {

using ATOM = WORD;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using HINSTANCE = void*;
using HMENU = void*;
struct TCursorObject;
using HCURSOR = TCursorObject*;
struct THookObject;
using HHOOK = THookObject*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using HOOKPROC = LRESULT (*)(int, WPARAM, LPARAM);

constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)); }
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)); }
constexpr int GET_X_LPARAM(LPARAM l) { return int(std::int16_t(LOWORD(std::uintptr_t(l)))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return int(std::int16_t(HIWORD(std::uintptr_t(l)))); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return int(std::int16_t(HIWORD(w))); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }

// ---- messages ----------------------------------------------------------------------
constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
               WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
               WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
               WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
               WM_SHOWWINDOW = 0x0018, WM_ACTIVATEAPP = 0x001C, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
               WM_MOUSEACTIVATE = 0x0021, WM_DRAWITEM = 0x002B, WM_SETFONT = 0x0030, WM_WINDOWPOSCHANGING = 0x0046,
               WM_WINDOWPOSCHANGED = 0x0047, WM_NOTIFY = 0x004E, WM_CONTEXTMENU = 0x007B, WM_NCCREATE = 0x0081,
               WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085,
               WM_NCACTIVATE = 0x0086, WM_GETDLGCODE = 0x0087, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
               WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_COMMAND = 0x0111,
               WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115,
               WM_MOUSEFIRST = 0x0200, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
               WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
               WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
               WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_MOUSELAST = 0x020A,
               WM_CAPTURECHANGED = 0x0215, WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3,
               WM_PRINTCLIENT = 0x0318, WM_USER = 0x0400, WM_APP = 0x8000;

// WM_CONTEXTMENU asked for from the keyboard (Shift+F10, the menu key) has no
// pointer position: its lParam is -1. DefWindowProc sends WM_CONTEXTMENU on
// WM_RBUTTONUP and on those keys, and passes an unanswered one to the parent.
constexpr LPARAM kContextMenuFromKeyboard = -1;

// WM_PRINTCLIENT's drawing options (lParam).
constexpr LPARAM PRF_CHECKVISIBLE = 0x1, PRF_NONCLIENT = 0x2, PRF_CLIENT = 0x4, PRF_ERASEBKGND = 0x8,
                 PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;

constexpr WPARAM MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;

constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2;
constexpr int WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
constexpr int MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
constexpr LRESULT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_WANTCHARS = 0x80;
constexpr int WHEEL_DELTA = 120;
constexpr int SIZE_RESTORED = 0;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF;
constexpr WORD BN_CLICKED = 0;
constexpr UINT ODT_BUTTON = 4, ODA_DRAWENTIRE = 1, ODS_SELECTED = 1, ODS_DISABLED = 4, ODS_FOCUS = 0x10;
struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem;
  std::uintptr_t itemData = 0;
};

// ---- styles --------------------------------------------------------------------------
constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000,
                WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x1, WS_EX_TOPMOST = 0x8, WS_EX_TRANSPARENT = 0x20,
                WS_EX_TOOLWINDOW = 0x80, WS_EX_WINDOWEDGE = 0x100, WS_EX_CLIENTEDGE = 0x200,
                WS_EX_CONTROLPARENT = 0x10000, WS_EX_LAYERED = 0x80000, WS_EX_NOACTIVATE = 0x08000000;
constexpr UINT CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8, CS_SAVEBITS = 0x800,
               CS_DROPSHADOW = 0x20000;

constexpr int GWLP_WNDPROC = -4, GWLP_HWNDPARENT = -8, GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20,
              GWLP_USERDATA = -21;
constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5;

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  HINSTANCE hInstance = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr; // a brush, or (COLOR_x + 1) cast to a brush
  const char* lpszClassName = nullptr;
};

// Re-registering a name replaces its record (windows made before keep theirs).
ATOM RegisterClass(const WNDCLASS& wc);
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* wc);
// Fails (nullptr) for an unknown class or a parent that is not a window.
// hWndParent is the owner of a window without WS_CHILD.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND hWndParent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
BOOL IsChild(HWND parent, HWND hWnd);
HWND GetParent(HWND hWnd); // the parent of a child, the owner of a top-level window
HWND SetParent(HWND hWnd, HWND newParent);
HWND GetWindow(HWND hWnd, UINT cmd); // siblings and children in z-order, topmost first
HWND GetAncestorRoot(HWND hWnd);     // the top-level window holding hWnd
LONG_PTR GetWindowLongPtr(HWND hWnd, int index);
LONG_PTR SetWindowLongPtr(HWND hWnd, int index, LONG_PTR value);
DWORD GetClassLong(HWND hWnd); // the class style
BOOL SetWindowText(HWND hWnd, const char* text);
std::string GetWindowTextString(HWND hWnd);
int GetWindowText(HWND hWnd, char* buffer, int maxCount);
int GetWindowTextLength(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL enable); // returns whether it was disabled before
BOOL IsWindowEnabled(HWND hWnd);
BOOL IsWindowVisible(HWND hWnd); // it and all its ancestors carry WS_VISIBLE

// ---- geometry ------------------------------------------------------------------------
constexpr UINT SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4, SWP_NOREDRAW = 0x8,
               SWP_NOACTIVATE = 0x10, SWP_FRAMECHANGED = 0x20, SWP_SHOWWINDOW = 0x40, SWP_HIDEWINDOW = 0x80,
               SWP_NOCOPYBITS = 0x100, SWP_NOOWNERZORDER = 0x200;
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_SHOWNA = 8;

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hWnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hWnd, int cmd); // returns whether it was visible before
BOOL BringWindowToTop(HWND hWnd);
BOOL GetWindowRect(HWND hWnd, RECT* rect); // screen coordinates
BOOL GetClientRect(HWND hWnd, RECT* rect);
BOOL ClientToScreen(HWND hWnd, POINT* point);
BOOL ScreenToClient(HWND hWnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count); // nullptr: the screen
// The deepest visible, enabled window under a screen point whose hit test
// does not answer HTTRANSPARENT.
HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint); // direct children only, no hit test

// ---- painting --------------------------------------------------------------------------
constexpr UINT RDW_INVALIDATE = 0x1, RDW_INTERNALPAINT = 0x2, RDW_ERASE = 0x4, RDW_VALIDATE = 0x8,
               RDW_NOINTERNALPAINT = 0x10, RDW_NOERASE = 0x20, RDW_NOCHILDREN = 0x40, RDW_ALLCHILDREN = 0x80,
               RDW_UPDATENOW = 0x100, RDW_ERASENOW = 0x200, RDW_FRAME = 0x400, RDW_NOFRAME = 0x800;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = 0; // the background still needs erasing
  RECT rcPaint;
};

// Without WS_CLIPCHILDREN on hWnd its children are invalidated too.
BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hWnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hWnd, const RECT* rect);
BOOL ValidateRgn(HWND hWnd, HRGN rgn);
BOOL GetUpdateRect(HWND hWnd, RECT* rect, BOOL erase);
int GetUpdateRgn(HWND hWnd, HRGN rgn, BOOL erase);
BOOL UpdateWindow(HWND hWnd); // paints hWnd and its children now
BOOL RedrawWindow(HWND hWnd, const RECT* rect, HRGN rgn, UINT flags);
// The DC is clipped to the update region (and, with WS_CLIPCHILDREN, the
// parent minus its visible children); sends WM_ERASEBKGND first when an erase
// is pending and validates the window.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* ps);
HDC GetWindowDC(HWND hWnd);
// Moves the client pixels (all of them when rect is nullptr, then also the
// children), and invalidates what is uncovered.
BOOL ScrollWindow(HWND hWnd, int dx, int dy, const RECT* rect, const RECT* clipRect);
// Painting suspended by WM_SETREDRAW (FALSE)?
BOOL IsRedrawSuspended(HWND hWnd);

// ---- messages and the queue ------------------------------------------------------------
constexpr UINT PM_NOREMOVE = 0x0, PM_REMOVE = 0x1;

LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Any thread may post; the messages are delivered on the user-interface thread.
BOOL PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Waits for a message; false on WM_QUIT. Order: posted (and injected input),
// then WM_PAINT, then WM_TIMER.
BOOL GetMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeMsg);
// Blocks until a message is posted or a timer is due (on the real clock).
BOOL WaitMessage();
LRESULT DispatchMessage(const MSG* msg);
BOOL TranslateMessage(const MSG* msg); // posts WM_CHAR for a character key
LRESULT CallWindowProc(WNDPROC proc, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
DWORD GetMessageTime();
POINT GetMessagePos();
DWORD GetCurrentThreadId();
DWORD MainThreadId(); // the user-interface thread

// ---- input -------------------------------------------------------------------------------
constexpr int VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
              VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
              VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
              VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
              VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_APPS = 0x5D, VK_F1 = 0x70, VK_F4 = 0x73, VK_F10 = 0x79, VK_F12 = 0x7B;

HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hWnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hWnd);
// High bit set while the key is down; bit 0 toggles on every press.
std::int16_t GetKeyState(int vk);
std::int16_t GetAsyncKeyState(int vk);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y); // moves the pointer: the windows see the move

constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_CANCEL = 0x80000000;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
// WM_MOUSELEAVE is posted once when the pointer leaves the window (or moves
// onto another window); tracking ends with it.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CXICON = 11,
              SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37,
              SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CXDRAG = 68, SM_CYDRAG = 69, SM_CXMENUCHECK = 71,
              SM_CYMENUCHECK = 72;
int GetSystemMetrics(int index);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);

// ---- cursors -------------------------------------------------------------------------------
constexpr int IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_UPARROW = 32516,
              IDC_SIZE = 32640, IDC_ICON = 32641, IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643, IDC_SIZEWE = 32644,
              IDC_SIZENS = 32645, IDC_SIZEALL = 32646, IDC_NO = 32648, IDC_HAND = 32649, IDC_APPSTARTING = 32650,
              IDC_HELP = 32651;
// Standard cursors are shared and never destroyed; nullptr for an unknown id.
HCURSOR LoadCursor(HINSTANCE instance, int id);
HCURSOR CreateNamedCursor(const char* name); // a host cursor, destroyed with DestroyCursor
BOOL DestroyCursor(HCURSOR cursor);
HCURSOR SetCursor(HCURSOR cursor); // returns the previous one
HCURSOR GetCursor();
// The standard id of a cursor (0 for a host cursor) and its name.
int CursorId(HCURSOR cursor);
std::string CursorName(HCURSOR cursor);

// ---- hooks ------------------------------------------------------------------------------------
constexpr int WH_KEYBOARD = 2, WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4, WH_MOUSE = 7;
constexpr int HC_ACTION = 0;
struct MOUSEHOOKSTRUCT {
  POINT pt; // screen
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  std::uintptr_t dwExtraInfo = 0;
};
// WH_MOUSE hooks see every mouse message (wParam: the message, lParam: a
// MOUSEHOOKSTRUCT*) before the window does, the latest installed first; a
// non-zero answer discards the message. WH_KEYBOARD: wParam the key, lParam
// bit 31 set on release.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---- clock and timers ----------------------------------------------------------------------
DWORD GetTickCount();
std::uint64_t GetTickCount64();
BOOL QueryPerformanceCounter(std::int64_t* count);
BOOL QueryPerformanceFrequency(std::int64_t* frequency);
void Sleep(DWORD ms); // on the virtual clock: advances it

// A timer of a window is replaced by SetTimer with the same id; without a
// window a new id is made. Intervals below 10 ms become 10 ms.
UINT_PTR SetTimer(HWND hWnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hWnd, UINT_PTR id);

} // namespace Win

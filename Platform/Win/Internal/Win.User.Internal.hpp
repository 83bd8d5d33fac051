// The inside of windows, shared by the parts of the window system (tree,
// painting, input, timers, desktop). Hosts use the handles of Win.User.hpp.
#pragma once

#include "Win.Desktop.hpp"
#include "Win.Gdi.Internal.hpp"
#include "Win.Screen.hpp"
#include "Win.User.hpp"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace Win {

using Vcl::Bounds;
using Vcl::IntersectRect;

struct TWindowClass {
  std::string Name;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
};

struct TWindow : THandleStorage {
  std::shared_ptr<const TWindowClass> Class;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  std::string Text;
  HWND Parent = nullptr; // children only
  HWND Owner = nullptr;  // top-level windows only
  std::vector<HWND> Children; // z-order, bottom first
  RECT Rect;                  // in the parent's client, or on the screen
  // The frame WM_NCCALCSIZE keeps around the client area: the widths along
  // the left, top, right and bottom edges (the scroll bars come inside it).
  RECT Frame;
  LONG_PTR Id = 0;
  LONG_PTR UserData = 0;
  TRegion Update;             // client coordinates
  bool ErasePending = false;
  int DirtyBelow = 0;         // windows in this subtree (itself included) with an update region
  std::size_t CleanChildren = 0; // Children before this index have DirtyBelow == 0 (a search hint)
  bool RedrawOff = false;     // WM_SETREDRAW FALSE
  bool Destroying = false;
  int MenuBar = 0;            // the height of the menu bar strip above the client area
  std::string ThemeSubApp;    // SetWindowTheme's sub-application name
  HBITMAP Surface = nullptr; // top-level windows: the backing store (a live GDI bitmap)
  // VisibleRegion's answers (children not clipped, clipped) and the layout
  // they were worked out for.
  TRegion Visible[2];
  std::uint64_t VisibleLayout[2] = {0, 0};
};

// The client area in client coordinates: the window less its frame and the
// strips of its scroll bars (right and bottom). The client origin lies at
// the frame's top left corner in the window.
RECT ClientRectOf(HWND hWnd);
// The window inside its frame (scroll bars included), client coordinates.
RECT InsideFrameOf(HWND hWnd);
// The whole window, frame included, in client coordinates.
RECT WholeRectOf(HWND hWnd);
// Asks the window for its frame again (WM_NCCALCSIZE); true when it changed.
bool RecalcFrame(HWND hWnd);
// The window's strips changed (WM_NCCALCSIZE asked again): the window hears
// of its new client area as of a resize and repaints whole.
void FrameChanged(HWND hWnd);

// The live windows; handles of destroyed windows are refused everywhere.
bool IsLive(HWND hWnd);
TWindow* Live(HWND hWnd); // nullptr when not a live window
bool IsTopLevel(HWND hWnd);
HWND RootOf(HWND hWnd);
// The window's client origin on its top-level surface.
POINT SurfaceOrigin(HWND hWnd);
// The part of the client area that can show (ancestors' clients, and with
// WS_CLIPSIBLINGS/WS_CLIPCHILDREN the siblings above and the children),
// client coordinates.
TRegion VisibleRegion(HWND hWnd, bool clipChildren);
// The same worked out afresh, without the answers kept from before.
TRegion VisibleRegionPlain(HWND hWnd, bool clipChildren);
// The part of the window outside its client area that can show.
TRegion NonClientVisibleRegion(HWND hWnd);
// Anything that moves, sizes, shows, hides, restyles, reparents or reorders a
// window calls this once the change is made, so that the visible regions
// kept from before are worked out again.
void LayoutChanged();
// A DC on the top-level surface limited to the given region (client coordinates).
HDC MakeWindowDC(HWND hWnd, const TRegion& visible);
// GetDC(hWnd) for a window: clipped like its paint DC, without the update region.
HDC WindowDC(HWND hWnd);
// Does the window or an ancestor suspend painting?
bool PaintSuspended(HWND hWnd);

// The top-level windows, bottom of the z-order first.
std::vector<HWND>& TopLevels();

// Painting: the first window (tree order) that needs a WM_PAINT.
HWND NextWindowToPaint();
void ResizeSurface(HWND hWnd);
void FreeSurface(HWND hWnd);
void ForgetPaint(HWND hWnd);
// Keeps the subtree counts of windows waiting to paint right across a move
// to another parent (call before and after relinking).
void DetachDirty(HWND hWnd);
void AttachDirty(HWND hWnd);

// Input state that destroying a window must clear.
void InputWindowDestroyed(HWND hWnd);
void TimersWindowDestroyed(HWND hWnd);
void QueueWindowDestroyed(HWND hWnd);
// Input as the hardware delivers it: queued in order with the posted
// messages and turned into window messages when the loop reaches it (the
// target, hooks, cursor, capture and activation are decided then).
struct TRawInput {
  enum TKind { MouseMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp, Char } Kind = MouseMove;
  POINT Pos;         // mouse: screen
  int Button = 0;    // 0 left, 1 right, 2 middle
  int Value = 0;     // wheel delta, virtual key or code point
  DWORD Time = 0;
};
void PostInput(const TRawInput& input);
std::vector<MSG> CookInput(const TRawInput& input);
// Scroll bars: the strip under a screen point (HTVSCROLL, HTHSCROLL,
// HTNOWHERE for the corner between them, HTCLIENT elsewhere), painting the
// strips, the press that starts tracking one, and the input a tracking
// takes over (true when it took it).
LRESULT ScrollBarHitTest(HWND hWnd, POINT screen);
void PaintScrollBars(HWND hWnd);
void PressScrollBar(HWND hWnd, LRESULT hitTest, POINT screen);
bool TrackScrollBarInput(const TRawInput& input);
void ScrollBarsWindowDestroyed(HWND hWnd);
// A due timer's message (removed from due when remove is true).
bool TakeDueTimer(MSG* msg, bool remove);
// Runs the WH_MOUSE hooks; true when one of them discards the message.
bool CallMouseHooks(UINT message, POINT screen, HWND hWnd, UINT hitTest);
bool CallKeyboardHooks(int vk, LPARAM lParam);

void ResetWindows();
void ResetInput();
void ResetTimers();
void ResetQueue();
void ResetHooks();
void ResetScrollBars();

} // namespace Win

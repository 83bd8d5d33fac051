// The standard scroll bars of a window: the strips that WS_VSCROLL and
// WS_HSCROLL give a window along its right and bottom edges, outside its
// client area. The window system draws them (in the themed or the classic
// look), tracks the mouse on them and reports to the window with
// WM_VSCROLL/WM_HSCROLL; the window sets their range, page and position.
#pragma once

#include "Win.User.hpp"

namespace Win {

// Which bar (the nBar argument).
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;

// What WM_VSCROLL/WM_HSCROLL report in LOWORD(wParam) (SB_LINEUP and
// SB_LINELEFT are the same code, and so on).
constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
               SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
               SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;

// SCROLLINFO::fMask.
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// EnableScrollBar's arrows.
constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3;

// Where the non-client strip of a bar lies (WM_NCHITTEST), and the mouse
// messages of the non-client area (wParam the hit-test code, lParam the
// screen point).
constexpr LRESULT HTHSCROLL = 6, HTVSCROLL = 7;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2,
               WM_NCLBUTTONDBLCLK = 0x00A3;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// The parts of a bar (SCROLLBARINFO::rgstate indexes) and their states.
constexpr int SBI_SELF = 0, SBI_LINEUP = 1, SBI_PAGEUP = 2, SBI_THUMB = 3, SBI_PAGEDOWN = 4, SBI_LINEDOWN = 5;
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_PRESSED = 0x8, STATE_SYSTEM_INVISIBLE = 0x8000;
constexpr int OBJID_HSCROLL = -6, OBJID_VSCROLL = -5;

struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar;     // screen coordinates
  int dxyLineButton = 0; // the length of each arrow button
  int xyThumbTop = 0;    // the thumb, from the bar's top (left) edge
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};
};

// The position is held in [nMin, nMax - max(nPage - 1, 0)]; the answer is
// the position after the change. A bar whose range no longer needs
// scrolling is hidden (with SIF_DISABLENOSCROLL: shown disabled), and a bar
// that needs it again is shown; either changes the client area (WM_SIZE).
int SetScrollInfo(HWND hWnd, int nBar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hWnd, int nBar, SCROLLINFO* info);
int SetScrollPos(HWND hWnd, int nBar, int pos, BOOL redraw);
int GetScrollPos(HWND hWnd, int nBar);
BOOL SetScrollRange(HWND hWnd, int nBar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hWnd, int nBar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND hWnd, int nBar, BOOL show);
BOOL EnableScrollBar(HWND hWnd, UINT nBar, UINT arrows);
BOOL GetScrollBarInfo(HWND hWnd, int idObject, SCROLLBARINFO* info);

// Auto-repeat while an arrow or the track is held: the first repeat after
// this delay, then one every interval (milliseconds of the window clock).
constexpr UINT kScrollRepeatDelay = 400, kScrollRepeatInterval = 50;
// How far the pointer may stray from a bar while dragging its thumb before
// the thumb jumps back to where the drag started.
constexpr int kThumbDragTolerance = 60;

} // namespace Win

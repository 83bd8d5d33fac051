// The up-down control: the window class "msctls_updown32", a pair of arrow
// buttons that step a 32-bit position within a range, optionally tied to a
// buddy window whose text shows the position as plain decimals (never with
// thousands separators, so that the text reads back as a number).
//
// A press on an arrow steps once, then repeats on the clock while the button
// is held: after kUpDownRepeatDelay, every kUpDownRepeatInterval, by the
// increment of the acceleration entry whose seconds the hold has reached.
// Each step first asks the parent (WM_NOTIFY, UDN_DELTAPOS; a non-zero
// answer refuses it), then writes the buddy and tells the parent
// (WM_VSCROLL or WM_HSCROLL with SB_THUMBPOSITION). Steps stop at the bounds,
// or wrap with UDS_WRAP; arithmetic never overflows.
#pragma once

#include "Win.User.hpp"

namespace Win {

inline constexpr const char* UPDOWN_CLASS = "msctls_updown32";

constexpr DWORD UDS_WRAP = 0x1, UDS_SETBUDDYINT = 0x2, UDS_ALIGNRIGHT = 0x4, UDS_ALIGNLEFT = 0x8,
                UDS_AUTOBUDDY = 0x10, UDS_ARROWKEYS = 0x20, UDS_HORZ = 0x40, UDS_NOTHOUSANDS = 0x80,
                UDS_HOTTRACK = 0x100;

constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102, UDM_SETPOS = WM_USER + 103,
               UDM_GETPOS = WM_USER + 104, UDM_SETBUDDY = WM_USER + 105, UDM_GETBUDDY = WM_USER + 106,
               UDM_SETACCEL = WM_USER + 107, UDM_GETACCEL = WM_USER + 108, UDM_SETBASE = WM_USER + 109,
               UDM_GETBASE = WM_USER + 110, UDM_SETRANGE32 = WM_USER + 111, UDM_GETRANGE32 = WM_USER + 112,
               UDM_SETPOS32 = WM_USER + 113, UDM_GETPOS32 = WM_USER + 114;

constexpr UINT UDN_DELTAPOS = 0u - 722u;
constexpr WORD SB_THUMBPOSITION = 4;

struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;   // the position before the step
  int iDelta = 0; // the step asked for
};

struct UDACCEL {
  UINT nSec = 0; // seconds the arrow has been held
  UINT nInc = 0; // the step from then on
};

constexpr UINT kUpDownRepeatDelay = 400, kUpDownRepeatInterval = 100;

// One step up (Direction > 0) or down, as a press on that arrow makes; for
// hosts that watch the buddy's keys themselves.
void StepUpDown(HWND hWnd, int Direction);

// The class's window procedure, for windows that subclass the class and
// hand it the messages they leave alone.
LRESULT UpDownWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace Win

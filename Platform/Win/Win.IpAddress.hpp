// The IP address control: the window class "SysIPAddress32", four numeric
// fields (single-line edit controls, "Edit") separated by dots. Typing a
// third digit or "." moves on to the next field; Backspace at the start of a
// field and the arrow keys at its ends move between fields. A field left
// (or moved on from) is committed: its number is clamped into the field's
// range and the parent is told with WM_NOTIFY (IPN_FIELDCHANGED), whose
// handler may replace the value (again clamped). A field may be blank.
// Text changes reach the parent as WM_COMMAND (EN_CHANGE) from the control,
// focus entering and leaving it as EN_SETFOCUS and EN_KILLFOCUS.
#pragma once

#include "Win.User.hpp"

namespace Win {

inline constexpr const char* WC_IPADDRESS = "SysIPAddress32";

constexpr UINT IPM_CLEARADDRESS = WM_USER + 100, IPM_SETADDRESS = WM_USER + 101, IPM_GETADDRESS = WM_USER + 102,
               IPM_SETRANGE = WM_USER + 103, IPM_SETFOCUS = WM_USER + 104, IPM_ISBLANK = WM_USER + 105;

constexpr UINT IPN_FIELDCHANGED = 0u - 860u;

struct NMIPADDRESS {
  NMHDR hdr;
  int iField = 0;
  int iValue = 0; // -1 for a blank field
};

constexpr LPARAM MAKEIPRANGE(int low, int high) { return LPARAM((WORD(high) << 8) + BYTE(low)); }
constexpr LPARAM MAKEIPADDRESS(int b1, int b2, int b3, int b4)
{
  return LPARAM((DWORD(BYTE(b1)) << 24) + (DWORD(BYTE(b2)) << 16) + (DWORD(BYTE(b3)) << 8) + DWORD(BYTE(b4)));
}

// The field windows, 0 to 3, for hosts and tests that look inside.
HWND IpAddressField(HWND hWnd, int Field);

// The class's window procedure, for windows that subclass the class and
// hand it the messages they leave alone.
LRESULT IpAddressWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace Win

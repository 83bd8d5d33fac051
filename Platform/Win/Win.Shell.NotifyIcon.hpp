// The shell's notification area: icons that windows register with
// Shell_NotifyIconW, each with the shell's own copy of its picture, a
// tooltip and a balloon that closes on its time-out (on the clock). Mouse
// input on an icon and the balloon's life reach the registering window as
// its callback message (wParam: the icon's id, lParam: the mouse message or
// NIN_BALLOON...). On the headless desktop the icons show in a strip at the
// bottom right of the screen; the functions at the end are how tests and
// demos look at it and act on it.
#pragma once

#include "Win.User.hpp"

#include <Winapi.ActiveX.hpp>

#include <functional>
#include <string>
#include <vector>

namespace Win {

using WCHAR = char16_t;

constexpr DWORD NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x01, NIF_ICON = 0x02, NIF_TIP = 0x04, NIF_INFO = 0x10;
constexpr DWORD NIIF_NONE = 0, NIIF_INFO = 1, NIIF_WARNING = 2, NIIF_ERROR = 3;
constexpr UINT NIN_BALLOONSHOW = 0x0402, NIN_BALLOONHIDE = 0x0403, NIN_BALLOONTIMEOUT = 0x0404,
               NIN_BALLOONUSERCLICK = 0x0405;
constexpr UINT WM_QUERYENDSESSION = 0x0011, WM_ENDSESSION = 0x0016;
// cbSize of the full record, and of the record without the item GUID and
// the balloon icon (what shells before major version 6 know).
constexpr DWORD NOTIFYICONDATAW_SIZE = 956, NOTIFYICONDATAW_V2_SIZE = 936;

// Texts are UTF-16 and zero-terminated within their arrays.
struct NOTIFYICONDATAW {
  DWORD cbSize = 0;
  HWND hWnd = nullptr;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  WCHAR szTip[128] = {};
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  WCHAR szInfo[256] = {};
  UINT uTimeout = 0;
  WCHAR szInfoTitle[64] = {};
  DWORD dwInfoFlags = 0;
  GUID guidItem;
  HICON hBalloonIcon = nullptr;
};

// The Win32 rules: an icon is known by (hWnd, uID); adding a known one, or
// modifying or deleting an unknown one, fails; a null record or a dead
// window fails. The shell keeps a copy of hIcon. A call with NIF_INFO and a
// balloon text shows the balloon (NIN_BALLOONSHOW) unless the same balloon
// already shows; with an empty text it hides the one that shows
// (NIN_BALLOONHIDE). The balloon closes after uTimeout milliseconds
// (NIN_BALLOONTIMEOUT) or when its icon goes.
BOOL Shell_NotifyIconW(DWORD message, const NOTIFYICONDATAW* data);

// UTF-8 into a UTF-16 array of Capacity units, zero included: at most
// Capacity - 1 units, cut before a code point that no longer fits whole;
// an ill-formed sequence becomes U+FFFD.
void CopyToWide(const std::string& Utf8, WCHAR* Dest, size_t Capacity);
std::string WideToUtf8(const WCHAR* Text);

// The menu a desktop's notification area shows for an icon (the strip shows
// none: there a right click reaches the window, which pops up its own).
// Entries are asked for whenever the desktop wants them, so they are always
// current; Choose runs when the user picks one.
struct TNotifyMenuEntry {
  int Id = 0;        // above 0, unique within the menu
  int Parent = 0;    // 0: the top level
  std::string Label; // without hot-key marks
  bool Separator = false;
  bool Enabled = true;
  bool Visible = true;
  bool Checked = false;
};
struct TNotifyIconMenu {
  std::function<std::vector<TNotifyMenuEntry>()> Entries;
  std::function<void(int Id)> Choose;
};
// Gives a registered icon its menu (an empty one takes it away); false for
// an unknown icon. The menu goes with the icon.
bool SetNotifyIconMenu(HWND hWnd, UINT id, TNotifyIconMenu Menu);

// A desktop's own notification area besides the strip: from now on every
// icon is also a StatusNotifierItem on the D-Bus at Address (empty: the
// user's session bus), registered with org.kde.StatusNotifierWatcher, and
// every balloon a notification through org.freedesktop.Notifications.
// Activation from the desktop (Activate, SecondaryActivate, ContextMenu)
// reaches the window as the button's press and release, a click on the
// notification as NIN_BALLOONUSERCLICK, its expiry as NIN_BALLOONTIMEOUT.
// The bus is served from the message loop (a timer of 20 ms). False, with
// the reason in Error, when the bus cannot be reached.
bool UseFreedesktopNotifyArea(const std::string& Address, std::string* Error = nullptr);

// ---- what tests and demos see and do -----------------------------------------
struct TNotifyIconInfo {
  HWND Window = nullptr;
  UINT Id = 0;
  UINT CallbackMessage = 0; // 0 without NIF_MESSAGE
  HICON Icon = nullptr;     // the shell's copy; nullptr without one
  std::string Tip;          // empty without NIF_TIP
  bool BalloonVisible = false;
  std::string BalloonTitle;
  std::string BalloonText;
  DWORD BalloonFlags = NIIF_NONE;
  UINT BalloonTimeout = 0;
  RECT Rect; // where the icon shows on the screen
};
// In the order they were added.
std::vector<TNotifyIconInfo> NotifyIcons();
// The user acts on an icon: posts its callback message with Event (a mouse
// message such as WM_LBUTTONDOWN). False for an unknown icon.
bool InjectNotifyIconEvent(HWND hWnd, UINT id, UINT Event);
// The user clicks the icon's balloon: it closes and NIN_BALLOONUSERCLICK is
// posted. False when no balloon shows.
bool ClickNotifyBalloon(HWND hWnd, UINT id);
// The next Shell_NotifyIconW fails without effect (a shell that refuses).
void FailNextShellNotifyIcon();
// How many Shell_NotifyIconW calls were made since the desktop was reset.
int ShellNotifyIconCalls();

} // namespace Win

// The headless desktop and what tests and demos drive it with: the virtual
// clock, input injection, composition of the top-level windows and
// screenshots.
#pragma once

#include "Win.User.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace Win {

// ---- clock ------------------------------------------------------------------
// On the virtual clock time stands still until advanced; GetTickCount, the
// performance counter and timers all follow it.
void UseVirtualClock(bool on);
bool IsVirtualClock();
void AdvanceClock(std::uint64_t ms);
std::uint64_t ClockMilliseconds();
// The due time (clock milliseconds) of the earliest timer; false when none.
bool NextTimerDue(std::uint64_t* due);

// ---- input injection (screen coordinates) -------------------------------------
enum class TInjectButton { Left, Right, Middle };
void InjectMouseMove(int x, int y);
void InjectMouseDown(TInjectButton button = TInjectButton::Left);
void InjectMouseUp(TInjectButton button = TInjectButton::Left);
void InjectClick(int x, int y, TInjectButton button = TInjectButton::Left);
void InjectWheel(int delta); // WHEEL_DELTA per notch, positive away from the user
void InjectKeyDown(int vk);
void InjectKeyUp(int vk);
void InjectKey(int vk); // down and up
void InjectText(const std::string& utf8); // WM_CHAR per code point (U+FFFD per ill-formed sequence) to the focus
// The user switches to another application: the active window loses
// activation and every top-level window hears WM_ACTIVATEAPP (FALSE). The
// next activation of one of ours brings WM_ACTIVATEAPP (TRUE).
void InjectAppSwitch();

// ---- composition and screenshots -----------------------------------------------
// The screen's size is ScreenSettings(); the desktop is COLOR_BACKGROUND
// under the visible top-level windows in z-order (WS_EX_TOPMOST above).
struct TImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels; // BGRA, opaque
  COLORREF Pixel(int x, int y) const; // CLR_INVALID outside
};
TImage ComposeDesktop();
// The window's pixels as last painted (what its top-level surface holds).
TImage CaptureWindow(HWND hWnd);
// PNG files; throw Vcl::Exception (with the cause) when writing fails.
void SaveImagePng(const TImage& image, const std::string& fileName);
void SaveDesktopScreenshot(const std::string& fileName);
void SaveWindowScreenshot(HWND hWnd, const std::string& fileName);
// Top-level windows, topmost first.
std::vector<HWND> TopLevelWindows();

// Destroys every window and clears the queue, timers, hooks, capture, focus,
// key state and the pointer position: a fresh desktop for the next test.
void ResetWindowSystem();

} // namespace Win

// A fresh headless desktop per test: the window system reset, the clock
// virtual, helpers to run the message loop until idle, inject input,
// advance time and read pixels. A failing test leaves a screenshot of the
// desktop in its scratch directory.
#pragma once

#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace Vcl {
class TControl;
}

namespace QxTest {

class QxDesktopFixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Handles every waiting message (and calls handed over by other threads);
  // fails the test when the loop does not settle within `limit` messages.
  int RunUntilIdle(int limit = 200000);
  // Moves the virtual clock on by `ms`, stopping at every due timer to run
  // the loop, so timers fire in order and as often as they fall due.
  void AdvanceBy(std::uint64_t ms);

  // Input in screen coordinates, each followed by RunUntilIdle.
  void MoveTo(int x, int y);
  void Press(Win::TInjectButton button = Win::TInjectButton::Left);
  void Release(Win::TInjectButton button = Win::TInjectButton::Left);
  void Click(int x, int y, Win::TInjectButton button = Win::TInjectButton::Left);
  void Wheel(int delta);
  void Key(int vk);
  void KeyDown(int vk);
  void KeyUp(int vk);
  void Type(const std::string& text);

  // The same at a point of a control's client area.
  void MoveOnto(Vcl::TControl* Control, int x, int y);
  void ClickOn(Vcl::TControl* Control, int x, int y, Win::TInjectButton button = Win::TInjectButton::Left);

  // Pixels as the screen shows them, as a window last painted them, and at
  // a point of a control's client area on the screen.
  Win::COLORREF ScreenPixel(int x, int y);
  Win::COLORREF WindowPixel(Win::HWND hWnd, int x, int y);
  Win::COLORREF ControlPixel(Vcl::TControl* Control, int x, int y);
  // Saves the desktop as <scratch dir>/<name>.png and returns the path.
  std::string SaveScreenshot(const std::string& name);
};

} // namespace QxTest

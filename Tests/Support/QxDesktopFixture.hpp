// A fresh headless desktop per test: the window system reset, the clock
// virtual, helpers to run the message loop until idle, inject input,
// advance time and read pixels. A failing test leaves a screenshot of the
// desktop in its scratch directory.
#pragma once

#include <Vcl.Controls.hpp>
#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Vcl {
class TForm;
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
  // The pixels of a rectangle of the screen, or of a control's client area
  // (the whole of it by default), row by row.
  std::vector<Win::COLORREF> ScreenPixels(const Vcl::TRect& R);
  std::vector<Win::COLORREF> ControlPixels(Vcl::TControl* Control, std::optional<Vcl::TRect> R = std::nullopt);
  // Saves the desktop as <scratch dir>/<name>.png and returns the path.
  std::string SaveScreenshot(const std::string& name);

  // A new form of the application at its place, coloured when a colour is
  // given, shown.
  static Vcl::TForm* ShowForm(int left, int top, int width, int height,
                              std::optional<Vcl::TColor> color = std::nullopt);

  // Puts a new control at its place in Parent, coloured when a colour is
  // given, in the order a host would: bounds and colour before the parent.
  template <class T>
  static T* Place(T* Control, Vcl::TWinControl* Parent, int left, int top, int width, int height,
                  std::optional<Vcl::TColor> color = std::nullopt)
  {
    Control->SetBounds(left, top, width, height);
    if (color)
      Control->SetColor(*color);
    Control->SetParent(Parent);
    return Control;
  }
};

} // namespace QxTest

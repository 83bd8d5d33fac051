// Scoped window state: what a block begins on a window ends when the block
// ends, also when a handler called in between raises.
#pragma once

#include "Win.User.hpp"

namespace Win {

// BeginPaint now, EndPaint at the end: an owner-draw or paint handler that
// raises must not leave the window's update region and DC taken.
class TWindowPaint {
public:
  explicit TWindowPaint(HWND Window) : FWindow(Window), FDC(BeginPaint(Window, &FPaint)) {}
  ~TWindowPaint()
  {
    if (FDC)
      EndPaint(FWindow, &FPaint);
  }
  TWindowPaint(const TWindowPaint&) = delete;
  TWindowPaint& operator=(const TWindowPaint&) = delete;
  HDC DC() const { return FDC; }
  const PAINTSTRUCT& Paint() const { return FPaint; }

private:
  HWND FWindow;
  PAINTSTRUCT FPaint;
  HDC FDC;
};

} // namespace Win

// Glass: no background at rest, a light two-tone wash (upper and lower
// half) when hot or pressed; no border.
#pragma once

#include "Quorex.Vcl.Button.Painter.hpp"

namespace Quorex {

class TQxButtonGlassPainter : public TQxButtonPainter {
protected:
  void PaintPushButton() override;
  void PaintSplitButtonDropDown() override;
  // Top fills the upper half of R and Bottom the lower; clNone fills nothing.
  void PaintInternal(const TRect& R, TColor Top, TColor Bottom);
};

} // namespace Quorex

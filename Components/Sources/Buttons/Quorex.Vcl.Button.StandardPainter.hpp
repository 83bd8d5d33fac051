// The system's push button look, with a focus rectangle on a focused push,
// check or drop-down button.
#pragma once

#include "Quorex.Vcl.Button.Painter.hpp"

namespace Quorex {

class TQxButtonStandardPainter : public TQxButtonPainter {
protected:
  void PaintPushButton() override;
  void PaintSplitButtonMain() override;
  void PaintSplitButtonDropDown() override;
};

} // namespace Quorex

// Toolbar-style buttons: nothing behind a normal button until the mouse
// comes near.
#pragma once

#include "Quorex.Vcl.Button.Painter.hpp"

namespace Quorex {

class TQxButtonFlatPainter : public TQxButtonPainter {
protected:
  void PaintPushButton() override;
  void PaintSplitButtonMain() override;
  void PaintSplitButtonDropDown() override;
};

} // namespace Quorex

// Solid: one flat fill from the button colour, lighter when hot and
// darker when pressed.
#pragma once

#include "Quorex.Vcl.Button.Painter.hpp"

namespace Quorex {

class TQxButtonSolidPainter : public TQxButtonPainter {
protected:
  void PaintPushButton() override;
  void PaintSplitButtonDropDown() override;
  // clNone fills nothing.
  void PaintInternal(const TRect& R, TColor C);
  TColor GetNormalColor() const;
  TColor GetDisabledColor() const;
  TColor GetHotColor() const;
  TColor GetPressColor() const;

private:
  TColor StateColor(TUIControlState State) const;
};

} // namespace Quorex

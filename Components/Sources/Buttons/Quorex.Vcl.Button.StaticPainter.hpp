// Static: no background in any state; only text, image and, on the
// drop-down part, the arrow and the splitter.
#pragma once

#include "Quorex.Vcl.Button.Painter.hpp"

namespace Quorex {

class TQxButtonStaticPainter : public TQxButtonPainter {
protected:
  void PaintSplitButtonDropDown() override;
};

} // namespace Quorex

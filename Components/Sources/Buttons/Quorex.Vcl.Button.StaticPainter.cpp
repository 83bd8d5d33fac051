#include "Quorex.Vcl.Button.StaticPainter.hpp"

namespace Quorex {

void TQxButtonStaticPainter::PaintSplitButtonDropDown()
{
  PaintArrow();
  PaintSplitter();
}

} // namespace Quorex

#include "Quorex.Vcl.Button.StandardPainter.hpp"

#include <Quorex.Vcl.CanvasHelper.hpp>

#include <Vcl.Themes.hpp>

namespace Quorex {

void TQxButtonStandardPainter::PaintPushButton()
{
  QxDrawButton(FCanvas, GetMainButtonRect(), FState);
  if (FFocused)
    QxDrawFocusRect(FCanvas, GetFocusRect());
}

void TQxButtonStandardPainter::PaintSplitButtonMain()
{
  QxDrawSplitButtonMain(FCanvas, GetMainButtonRect(), FState);
}

// The themed halves have no border between them, so the splitter marks it.
void TQxButtonStandardPainter::PaintSplitButtonDropDown()
{
  QxDrawSplitButtonDropDown(FCanvas, GetArrowAreaRect(), FSplitState);
  PaintArrow();
  if (Vcl::StyleServices()->Enabled())
    PaintSplitter();
}

} // namespace Quorex

#include "Quorex.Vcl.Button.FlatPainter.hpp"

#include <Quorex.Vcl.CanvasHelper.hpp>

#include <Vcl.Themes.hpp>

namespace Quorex {

void TQxButtonFlatPainter::PaintPushButton()
{
  QxDrawFlatButton(FCanvas, GetMainButtonRect(), FState);
}

void TQxButtonFlatPainter::PaintSplitButtonMain()
{
  QxDrawFlatSplitButtonMain(FCanvas, GetMainButtonRect(), FState);
}

// The themed toolbar drop-down part draws its own arrow.
void TQxButtonFlatPainter::PaintSplitButtonDropDown()
{
  QxDrawFlatSplitButtonDropDown(FCanvas, GetArrowAreaRect(), FSplitState);
  if (!Vcl::StyleServices()->Enabled())
    PaintArrow();
}

} // namespace Quorex

#include "Vcl.Forms.Frame.hpp"

namespace Vcl {

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner)
{
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csParentBackground};
  SetBounds(0, 0, 320, 240);
  SetColor(clBtnFace);
}

} // namespace Vcl

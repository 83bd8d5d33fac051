#include "Vcl.Menus.hpp"

namespace Vcl {

void TPopupMenu::Popup(Integer X, Integer Y)
{
  FPopupPoint = TPoint(X, Y);
  if (OnPopup)
    OnPopup(this);
}

} // namespace Vcl

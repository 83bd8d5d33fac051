// One menu item drawn outside an open menu, as an open popup menu level
// draws it: controls that show their own lists in the menu's look use it.
#pragma once

#include "Vcl.Menus.hpp"

namespace Vcl {

// The item (its caption, image of its menu's Images, check, shortcut) in R
// of the canvas, highlighted when Selected; the background under an item
// that is not highlighted is left as it is.
void DrawMenuItem(TMenuItem* Item, TCanvas* Canvas, const TRect& R, bool Selected);

} // namespace Vcl

// A component's reference to an image list it does not own: moving it from
// one list to another carries the change link and the free notification
// along, so that the component hears of the new list's changes and of its
// destruction, and no longer of the old one's.
#pragma once

#include "Vcl.ImgList.hpp"

namespace Vcl {

// Points Images at Value. Returns false, changing nothing, when Value is the
// list Images holds already.
bool LinkImageList(TCustomImageList*& Images, TCustomImageList* Value, TChangeLink* Link, TComponent* Owner);

} // namespace Vcl

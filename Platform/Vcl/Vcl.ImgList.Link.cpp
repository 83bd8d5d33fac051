#include "Vcl.ImgList.Link.hpp"

namespace Vcl {

bool LinkImageList(TCustomImageList*& Images, TCustomImageList* Value, TChangeLink* Link, TComponent* Owner)
{
  if (Images == Value)
    return false;
  if (Images) {
    Images->UnRegisterChanges(Link);
    Images->RemoveFreeNotification(Owner);
  }
  Images = Value;
  if (Images) {
    Images->RegisterChanges(Link);
    Images->FreeNotification(Owner);
  }
  return true;
}

} // namespace Vcl

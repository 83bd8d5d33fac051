#include "Quorex.Vcl.Edit.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <Vcl.ImgList.Link.hpp>
#include <Winapi.Windows.hpp>

namespace Quorex {

using namespace Vcl;

TQxCustomEdit::TQxCustomEdit(TComponent* AOwner)
  : TCustomEdit(AOwner), FImageChangeLink(std::make_unique<TChangeLink>())
{
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
}

TQxCustomEdit::~TQxCustomEdit()
{
  if (FImages)
    FImages->UnRegisterChanges(FImageChangeLink.get());
}

void TQxCustomEdit::SetImages(TCustomImageList* Value)
{
  if (LinkImageList(FImages, Value, FImageChangeLink.get(), this))
    AdjustSize();
}

void TQxCustomEdit::ImageListChange(TObject*)
{
  AdjustSize();
  Invalidate();
}

void TQxCustomEdit::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages)
    FImages = nullptr;
}

void TQxCustomEdit::AlignControls(TControl* AControl, TRect& Rect)
{
  inherited::AlignControls(AControl, Rect);
  UpdateEditMargins();
}

void TQxCustomEdit::UpdateEditMargins()
{
  if (!HandleAllocated())
    return;
  Integer left = 0, right = 0;
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (!child->Visible())
      continue;
    if (child->Align() == alLeft && child->Left() + child->Width() > left)
      left = child->Left() + child->Width() + 2;
    else if (child->Align() == alRight && child->Left() < Width() - right)
      right = Width() - child->Left() + 2;
  }
  SetMargins(left, right);
  Invalidate();
}

// The edit paints its background over its whole window; the children keep
// their pixels.
void TQxCustomEdit::WndProc(TMessage& Message)
{
  if (Message.Msg == CN_CTLCOLOREDIT || Message.Msg == CN_CTLCOLORSTATIC) {
    const auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
    for (Integer i = 0; i < ControlCount(); ++i) {
      const TRect r = Controls(i)->BoundsRect();
      Win::ExcludeClipRect(dc, r.Left + 1, r.Top + 1, r.Right, r.Bottom);
    }
  }
  inherited::WndProc(Message);
}

QX_PUBLISHED_CONTROL(TQxEdit)
{
  EditProperties({});
  Property("Images", &T::Images, &T::SetImages);
}

} // namespace Quorex

#include "Quorex.Vcl.Image.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <Vcl.ImgList.Link.hpp>

namespace Quorex {

using namespace Vcl;

TQxCustomImage::TQxCustomImage(TComponent* AOwner)
  : TGraphicControl(AOwner), FImageChangeLink(std::make_unique<TChangeLink>())
{
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
}

// The change link unregisters itself from the list it is linked to.
TQxCustomImage::~TQxCustomImage() = default;

void TQxCustomImage::SetImages(TCustomImageList* Value)
{
  if (!LinkImageList(FImages, Value, FImageChangeLink.get(), this))
    return;
  AdjustSize();
  Invalidate();
}

void TQxCustomImage::SetImageIndex(TImageIndex Value)
{
  AdjustSize();
  FImageIndex = Value;
  Invalidate();
}

void TQxCustomImage::SetCenter(bool Value)
{
  FCenter = Value;
  Invalidate();
}

void TQxCustomImage::ImageListChange(TObject* Sender)
{
  (void)Sender;
  AdjustSize();
  Invalidate();
}

bool TQxCustomImage::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  if (FImages) {
    NewWidth = FImages->Width();
    NewHeight = FImages->Height();
  }
  return true;
}

TPoint TQxCustomImage::GetImagePos() const
{
  if (!FCenter || !FImages)
    return TPoint(0, 0);
  // In 64 bits: a control and an image at the far ends of the range must
  // not wrap round.
  return TPoint(Integer((Int64(Width()) - FImages->Width()) / 2), Integer((Int64(Height()) - FImages->Height()) / 2));
}

void TQxCustomImage::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent != FImages)
    return;
  FImages = nullptr;
  Invalidate();
}

void TQxCustomImage::Paint()
{
  TCanvas* canvas = Canvas();
  if (ComponentState().Contains(csDesigning)) {
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetStyle(psDash);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(ClientRect());
  }
  if (!FImages || FImageIndex < 0)
    return;
  const TPoint p = GetImagePos();
  FImages->Draw(canvas, p.X, p.Y, FImageIndex, true);
}

QX_PUBLISHED_CONTROL(TQxImage)
{
  // Dock events are left out with DragKind: without it the image never docks.
  for (const char* name : {"Anchors", "Align", "Constraints", "ParentBiDiMode", "ParentShowHint", "PopupMenu",
                           "ShowHint", "Visible", "DragMode", "OnClick", "OnDblClick", "OnContextPopup",
                           "OnMouseActivate", "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove",
                           "OnMouseUp", "OnStartDrag", "OnDragOver", "OnDragDrop", "OnEndDrag"})
    Publish(name);
  Publish("AutoSize").Default(false);
  Property("Center", &T::Center, &T::SetCenter).Default(true);
  Property("Images", &T::Images, &T::SetImages);
  Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(-1);
}

} // namespace Quorex

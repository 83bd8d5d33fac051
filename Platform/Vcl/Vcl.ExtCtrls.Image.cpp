#include "Vcl.ExtCtrls.Image.hpp"

namespace Vcl {

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
  FPicture->OnChange = nullptr;
}

void TImage::Change(bool& Field, bool Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Invalidate();
}

void TImage::SetCenter(bool Value)
{
  Change(FCenter, Value);
}

void TImage::SetStretch(bool Value)
{
  Change(FStretch, Value);
}

void TImage::SetProportional(bool Value)
{
  Change(FProportional, Value);
}

void TImage::PictureChanged(TObject*)
{
  AdjustSize();
  Invalidate();
}

bool TImage::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  if (FPicture->Width() <= 0 || FPicture->Height() <= 0)
    return false;
  NewWidth = FPicture->Width();
  NewHeight = FPicture->Height();
  return true;
}

TRect TImage::DestRect() const
{
  Integer w = FPicture->Width();
  Integer h = FPicture->Height();
  const Integer cw = Width();
  const Integer ch = Height();
  const bool shrink = w > cw || h > ch;
  if (FStretch || (FProportional && shrink)) {
    if (FProportional && w > 0 && h > 0) {
      // The larger of the two ratios decides, in integers.
      if (Int64(cw) * h > Int64(ch) * w) {
        w = Integer(Int64(w) * ch / h);
        h = ch;
      } else {
        h = Integer(Int64(h) * cw / w);
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r(0, 0, w, h);
  if (FCenter)
    r.Offset((cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint()
{
  TGraphic* graphic = FPicture->Graphic();
  if (!graphic || graphic->Empty())
    return;
  Canvas()->StretchDraw(DestRect(), graphic);
}

} // namespace Vcl

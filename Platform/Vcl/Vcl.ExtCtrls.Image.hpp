// The image of the extra controls: a picture painted on its parent, at its
// size, centred, or stretched (keeping its proportions when asked). Kept
// apart from Vcl.ExtCtrls.hpp, which many components include.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

class TImage : public TGraphicControl {
  QX_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(const TPicture* Value) { FPicture->Assign(Value); }
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  // Where the picture goes in the client area.
  TRect DestRect() const;

protected:
  void Paint() override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;

private:
  void PictureChanged(TObject* Sender);
  void Change(bool& Field, bool Value);

  std::unique_ptr<TPicture> FPicture;
  bool FCenter = false;
  bool FStretch = false;
  bool FProportional = false;
};

} // namespace Vcl

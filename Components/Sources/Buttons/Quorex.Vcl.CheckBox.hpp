// The platform check box that can size itself to its box and caption and
// can wear the elevation shield at its right edge, for an option that needs
// administrator rights.
#pragma once

#include <Quorex.Vcl.SystemIcons.hpp>
#include <Vcl.StdCtrls.hpp>

#include <memory>

namespace Quorex {

class TQxCustomCheckBox : public Vcl::TCheckBox {
  QX_CLASS(TQxCustomCheckBox, Vcl::TCheckBox)
public:
  explicit TQxCustomCheckBox(Vcl::TComponent* AOwner);
  ~TQxCustomCheckBox() override;

  // Hides the control's own AutoSize: this one sizes through CalcAutoSize.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) override;
  bool ElevationRequired() const { return FElevationRequired; }
  void SetElevationRequired(bool Value);

  // The check mark's size.
  static Vcl::TSize GetDefaultCheckBoxSize();
  // The shield's images (the small-icon size).
  TQxSystemIconList* SysIcons() const { return FSysIcons.get(); }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  // Sizes the client area to the check mark, the caption and room for the
  // shield. An aligned dimension belongs to the parent and is left alone.
  virtual void CalcAutoSize();
  // Draws over the platform's check box, on Canvas.
  virtual void Paint();
  void CreateWnd() override;
  void Resize() override;

  Vcl::TControlCanvas* Canvas() const { return FCanvas.get(); }

private:
  bool FAutoSize = false;
  bool FElevationRequired = false;
  std::unique_ptr<Vcl::TControlCanvas> FCanvas;
  std::unique_ptr<TQxSystemIconList> FSysIcons;
  // CalcAutoSize's own resize must not start it again.
  bool FCalculatingSize = false;
};

class TQxCheckBox : public TQxCustomCheckBox {
  QX_CLASS(TQxCheckBox, TQxCustomCheckBox)
public:
  using TQxCustomCheckBox::TQxCustomCheckBox;
};

} // namespace Quorex

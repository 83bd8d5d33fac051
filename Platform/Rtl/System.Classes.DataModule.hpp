// The data module: a resource's root that holds non-visual components only
// (timers, action lists, image lists), designed like a form but never shown.
#pragma once

#include "System.Classes.hpp"

namespace Vcl {

class TDataModule : public TComponent {
  QX_CLASS(TDataModule, TComponent)
public:
  explicit TDataModule(TComponent* AOwner) : TComponent(AOwner) {}
  ~TDataModule() override;

  // The size of the designer's window, kept so that a resource read and
  // written again keeps it.
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value) { FHeight = Value; }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }

  void DefineProperties(TFiler* Filer) override;
  // OnCreate runs once the module's resource is read.
  void Loaded() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

private:
  Integer FHeight = 150;
  Integer FWidth = 215;
};

} // namespace Vcl

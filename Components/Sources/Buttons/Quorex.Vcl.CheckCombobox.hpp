// A drop-down control that keeps a list of strings and toggles a popup
// under itself on every click. The popup lists the strings, one a line,
// without check marks yet: it is the place a check list will go.
#pragma once

#include "Quorex.Vcl.PopupForm.hpp"

#include <Quorex.Vcl.CustomControl.hpp>

#include <memory>

namespace Quorex {

class TQxCustomCombobox : public TQxCustomControl {
  QX_CLASS(TQxCustomCombobox, TQxCustomControl)
public:
  using TQxCustomControl::TQxCustomControl;
  // The client rectangle, and the same on the screen.
  Vcl::TRect GetDropRect() const { return ClientRect(); }
  Vcl::TRect GetScreenDropRect() const;
};

class TQxCheckListPopup : public TPopupForm {
  QX_CLASS(TQxCheckListPopup, TPopupForm)
public:
  // The owner is the windowed control the popup drops from (an assertion
  // otherwise).
  explicit TQxCheckListPopup(Vcl::TComponent* AOwner);
  // Shows the popup directly under its owner, as wide as it and 100 high.
  void Popup();

protected:
  void PaintWindow(Win::HDC DC) override;

private:
  Vcl::TWinControl* FOwnerControl;
};

class TQxCustomCheckCombobox : public TQxCustomCombobox {
  QX_CLASS(TQxCustomCheckCombobox, TQxCustomCombobox)
public:
  explicit TQxCustomCheckCombobox(Vcl::TComponent* AOwner);
  ~TQxCustomCheckCombobox() override;

  Vcl::TStrings* Items() const { return FItems.get(); }
  // Copies the strings.
  void SetItems(Vcl::TStrings* Value);
  // The popup while it lives (not at design time).
  TQxCheckListPopup* Popup() const { return FPopup; }

  void Click() override;

protected:
  void Paint() override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  TQxCheckListPopup* FPopup = nullptr;
  std::unique_ptr<Vcl::TStringList> FItems;
};

class TQxCheckCombobox : public TQxCustomCheckCombobox {
  QX_CLASS(TQxCheckCombobox, TQxCustomCheckCombobox)
public:
  using TQxCustomCheckCombobox::TQxCustomCheckCombobox;
};

} // namespace Quorex

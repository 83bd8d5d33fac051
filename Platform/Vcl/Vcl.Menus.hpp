// Popup menus as far as controls refer to them: a component a control can
// point at (PopupMenu, drop-down menus), with its alignment and the popup
// call. Drawing menus is left to the menu classes that need it.
#pragma once

#include <System.Classes.hpp>
#include <System.TypInfo.hpp>
#include <System.Types.hpp>

namespace Vcl {

enum class TPopupAlignment { paLeft, paRight, paCenter };
using enum TPopupAlignment;
QX_ENUM_NAMES(TPopupAlignment, paLeft, paRight, paCenter)

class TPopupMenu : public TComponent {
  QX_CLASS(TPopupMenu, TComponent)
public:
  explicit TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}

  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
  // Where the last Popup was asked for (screen coordinates).
  TPoint PopupPoint() const { return FPopupPoint; }

  // Shows the menu at the screen point and returns when it closes; raises
  // OnPopup first.
  virtual void Popup(Integer X, Integer Y);

  TNotifyEvent OnPopup;

private:
  TPopupAlignment FAlignment = paLeft;
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
};

} // namespace Vcl

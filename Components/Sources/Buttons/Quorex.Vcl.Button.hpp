// The library's custom-drawn push button. ButtonStyle chooses one of four
// behaviours: a push button, a button that opens a drop-down menu, a split
// button (a main part and a separate drop-down part with an arrow) and a
// two-state check button. ButtonTheme chooses the painter that draws it; the
// control itself owns the interaction: mouse and keyboard, the drop-down
// menu, the modal result, the action link and auto size.
#pragma once

#include "Quorex.Vcl.Button.Painter.hpp"

#include <Quorex.Vcl.CustomControl.hpp>

#include <Vcl.ActnList.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.Menus.hpp>
#include <Vcl.StdCtrls.hpp>

#include <memory>
#include <optional>

namespace Quorex {

enum class TQxButtonStyle { bsPushButton, bsDropDownButton, bsSplitButton, bsCheckButton };
using enum TQxButtonStyle;
QX_ENUM_NAMES(TQxButtonStyle, bsPushButton, bsDropDownButton, bsSplitButton, bsCheckButton)

enum class TQxButtonTheme { btStandard, btFlat, btGlass, btSolid, btStatic };
using enum TQxButtonTheme;
QX_ENUM_NAMES(TQxButtonTheme, btStandard, btFlat, btGlass, btSolid, btStatic)

// A new painter of the class that paints the theme.
std::unique_ptr<TQxButtonPainter> CreateButtonPainter(TQxButtonTheme Theme);

class TQxCustomButton : public TQxCustomControl {
  QX_CLASS(TQxCustomButton, TQxCustomControl)
public:
  explicit TQxCustomButton(Vcl::TComponent* AOwner);
  ~TQxCustomButton() override;

  TQxButtonTheme ButtonTheme() const { return FButtonTheme; }
  void SetButtonTheme(TQxButtonTheme Value);
  TQxButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TQxButtonStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  Vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(Vcl::TCustomImageList* Value);
  Vcl::TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Vcl::TImageIndex Value);
  Vcl::TImageAlignment ImageAlignment() const { return FImageAlignment; }
  void SetImageAlignment(Vcl::TImageAlignment Value);
  Vcl::TImageMargins* ImageMargins() const { return FImageMargins.get(); }
  void SetImageMargins(const Vcl::TImageMargins* Value) { FImageMargins->Assign(Value); }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  Vcl::TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(Vcl::TPopupMenu* Value);
  Vcl::TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(Vcl::TModalResult Value) { FModalResult = Value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  bool ElevationRequired() const { return FElevationRequired; }
  void SetElevationRequired(bool Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  bool Focusable() const { return FFocusable; }
  void SetFocusable(bool Value) { FFocusable = Value; }
  TColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(TColor Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  using TQxCustomControl::SetTransparent;
  using TQxCustomControl::Transparent;

  // The visual states of the main and the drop-down part.
  TUIControlState State() const { return FState; }
  TUIControlState SplitState() const { return FSplitState; }
  // The drop-down menu is open.
  bool PopupDropped() const { return FPopupDropped; }
  TQxButtonPainter* Painter() const { return FPainter.get(); }

  void Click() override;
  void WndProc(Vcl::TMessage& Message) override;
  void Dispatch(Vcl::TMessage& Message) override;
  bool PreProcessMessage(Win::MSG& Msg) override;

  Vcl::TNotifyEvent OnDropDownClick;

protected:
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;
  void ActionChange(Vcl::TObject* Sender, bool CheckDefaults) override;
  Vcl::TControlActionLinkClass GetActionLinkClass() const override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void Paint() override;

  // Copies the control's state into the painter, which then draws or
  // measures on Canvas.
  void AssignPainter(TCanvas* Canvas);
  void DisplayDropDown();
  bool NeedShowMenu() const;
  void SaveLastMenuCall();
  void InternalSetChecked(bool Value);
  void ImageListChange(Vcl::TObject* Sender);
  void ImageMarginsChange(Vcl::TObject* Sender);

public:
  // Whether the form resource keeps the value: not while an action link
  // governs it.
  bool IsCheckedStored() const;
  bool IsImageIndexStored() const;

private:
  friend class TMenuClosed;
  friend class TQxButtonActionLink;
  // Sets Checked with command notifications ignored meanwhile.
  void SetCheckedQuietly(bool Value);
  // Whether the button still exists after a handler ran: a handler may
  // free it.
  std::weak_ptr<bool> Liveness() const { return FAlive; }
  void Settle(bool Hot);
  void SetStates(TUIControlState Value);
  void ContentChanged();
  TQxButtonViewStyle ViewStyle() const;
  bool InArrowArea(Vcl::TPoint P) const;
  void TakeFocusOnPress(Vcl::TMessage& Message);
  void LeftButtonDown(const Vcl::TMessage& Message);
  void LeftButtonUp(Vcl::TMessage& Message);
  void MouseMoved(const Vcl::TMessage& Message);
  void MouseLeft();
  void KeyReleased(const Vcl::TMessage& Message);
  bool KeyPressed(Vcl::Word Key);
  void KeyboardDropDown();
  void MenuClosed();
  void DialogKey(Vcl::TMessage& Message);
  void DialogChar(Vcl::TMessage& Message);

  TQxButtonTheme FButtonTheme = btStandard;
  TQxButtonStyle FButtonStyle = bsPushButton;
  std::unique_ptr<TQxButtonPainter> FPainter;
  bool FWordWrap = false;
  Vcl::TCustomImageList* FImages = nullptr;
  Vcl::TImageIndex FImageIndex = -1;
  Vcl::TImageAlignment FImageAlignment = Vcl::iaLeft;
  std::unique_ptr<Vcl::TChangeLink> FImageChangeLink;
  std::unique_ptr<Vcl::TImageMargins> FImageMargins;
  bool FChecked = false;
  TUIControlState FState = uicsNormal;
  TUIControlState FSplitState = uicsNormal;
  bool FIsPressed = false;
  bool FIsSplitPressed = false;
  bool FIsHot = false;
  bool FClicksDisabled = false;
  Vcl::TPopupMenu* FDropDownMenu = nullptr;
  bool FPopupDropped = false;
  Vcl::TModalResult FModalResult = Vcl::mrNone;
  bool FCancel = false;
  bool FElevationRequired = false;
  bool FShowCaption = true;
  bool FFocusable = true;
  TColor FButtonColor = TColor(0x00F2BC00);
  bool FAutoCheck = true;
  // When the drop-down menu last closed; none before it first opened.
  std::optional<Win::DWORD> FLastMenuTime;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Checked and ImageIndex follow the action while the button shows the
// action's value.
class TQxButtonActionLink : public Vcl::TWinControlActionLink {
  QX_CLASS(TQxButtonActionLink, Vcl::TWinControlActionLink)
public:
  bool IsCheckedLinked() const override;
  bool IsImageIndexLinked() const override;

protected:
  // EAssertionFailed unless AClient is a TQxCustomButton.
  void AssignClient(Vcl::TObject* AClient) override;
  void SetChecked(bool Value) override;
  void SetImageIndex(Integer Value) override;

  TQxCustomButton* FClient = nullptr;
};

class TQxButton : public TQxCustomButton {
  QX_CLASS(TQxButton, TQxCustomButton)
public:
  using TQxCustomButton::TQxCustomButton;
};

} // namespace Quorex

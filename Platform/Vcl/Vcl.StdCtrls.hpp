// The push button: a button window that clicks on a released press or on
// Space, tells its parent with WM_COMMAND (BN_CLICKED) and gets it back as
// CN_COMMAND; owner-drawn buttons (BS_OWNERDRAW) are drawn by whoever
// answers the WM_DRAWITEM their parent receives (reflected as CN_DRAWITEM).
// A default button clicks on Enter and a cancel button on Escape, through
// the form's dialog keys. The check box draws its own box and caption in
// the themed or the classic look.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

// Where text that does not fit is shortened with an ellipsis.
enum class TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
using enum TEllipsisPosition;

// The three states of a check box.
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;
QX_ENUM_NAMES(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

// Where a button puts its image: against an edge, or in the middle.
enum class TImageAlignment { iaLeft, iaRight, iaTop, iaBottom, iaCenter };
using enum TImageAlignment;
QX_ENUM_NAMES(TImageAlignment, iaLeft, iaRight, iaTop, iaBottom, iaCenter)

// The space kept around a button's image, one width per side; OnChange
// follows every change of a side.
class TImageMargins : public TPersistent {
  QX_CLASS(TImageMargins, TPersistent)
public:
  void Assign(const TPersistent* Source) override;
  Integer Left() const { return FLeft; }
  Integer Top() const { return FTop; }
  Integer Right() const { return FRight; }
  Integer Bottom() const { return FBottom; }
  void SetLeft(Integer Value) { SetMargin(FLeft, Value); }
  void SetTop(Integer Value) { SetMargin(FTop, Value); }
  void SetRight(Integer Value) { SetMargin(FRight, Value); }
  void SetBottom(Integer Value) { SetMargin(FBottom, Value); }
  TNotifyEvent OnChange;

private:
  void SetMargin(Integer& Field, Integer Value);
  void Change();
  Integer FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
};

class TCustomButton : public TWinControl {
  QX_CLASS(TCustomButton, TWinControl)
public:
  explicit TCustomButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Whether Enter clicks this button now (it is the default, or focused).
  bool Active() const { return FActive; }
  // The button shows pressed.
  bool Pressed() const { return FPressed; }

  void Click() override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void SetButtonStyle(bool ADefault);
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

private:
  void SetPressed(bool Value);
  void PaintButton();
  void NotifyClicked();

  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  bool FPressed = false;
  bool FSpacePressed = false;
  TModalResult FModalResult = mrNone;
};

class TButton : public TCustomButton {
  QX_CLASS(TButton, TCustomButton)
public:
  using TCustomButton::TCustomButton;
};

// The check box: a box and its caption that toggle on a released press or
// on Space; Unchecked goes to Grayed first when AllowGrayed. Every change of
// State, by the user or in code, raises OnClick (not while the form
// resource is read, nor when an action sets it). Alignment places the
// caption: taRightJustify puts it right of the box.
class TCustomCheckBox : public TWinControl {
  QX_CLASS(TCustomCheckBox, TWinControl)
public:
  explicit TCustomCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight Value);
  // The box shows pressed (the mouse or Space holds it).
  bool Pressed() const { return FPressed; }
  // Where the box and the caption go in the client area.
  TRect BoxRect() const;
  TRect CaptionRect() const;

  void Dispatch(TMessage& Message) override;

protected:
  friend class TCheckBoxActionLink;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TControlActionLinkClass GetActionLinkClass() const override;
  // Moves to the next state, as a click does.
  void Toggle();

public:
  // Whether the form resource keeps Checked: not while an action governs it.
  bool IsCheckedStored() const;

private:
  void SetStateQuietly(TCheckBoxState Value);
  void SetPressed(bool Value);
  void PaintCheckBox();
  void DrawBox(Win::HDC DC) const;

  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TLeftRight FAlignment = taRightJustify;
  bool FPressed = false;
  bool FHot = false;
  bool FSpacePressed = false;
  bool FClicksDisabled = false;
};

class TCheckBox : public TCustomCheckBox {
  QX_CLASS(TCheckBox, TCustomCheckBox)
public:
  using TCustomCheckBox::TCustomCheckBox;
};

} // namespace Vcl

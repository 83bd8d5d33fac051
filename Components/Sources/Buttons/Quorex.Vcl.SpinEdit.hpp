// An integer entry field with up and down arrows: a borderless panel holding
// a digits-only edit (the editor) and an up-down tied to it. The up-down
// keeps the number (range, step, position); typed text is pulled into the
// range when the editor is left, or at once without ValidateOnExit.
#pragma once

#include <Vcl.ComCtrls.UpDown.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.StdCtrls.Edit.hpp>

namespace Quorex {

using Vcl::Integer;

class TQxSpinEdit : public Vcl::TCustomPanel {
  QX_CLASS(TQxSpinEdit, Vcl::TCustomPanel)
public:
  explicit TQxSpinEdit(Vcl::TComponent* AOwner);

  Vcl::TEdit* Editor() const { return FEditor; }
  Vcl::TUpDown* UpDown() const { return FUpDown; }

  // The editor sizes itself to its font and the panel takes its height.
  bool AutoSize() const { return FEditor->AutoSize(); }
  void SetAutoSize(bool Value) override;
  Integer MinValue() const { return FUpDown->Min(); }
  void SetMinValue(Integer Value) { FUpDown->SetMin(Value); }
  Integer MaxValue() const { return FUpDown->Max(); }
  void SetMaxValue(Integer Value) { FUpDown->SetMax(Value); }
  Integer Value() const { return FUpDown->Position(); }
  void SetValue(Integer Value) { FUpDown->SetPosition(Value); }
  Integer Increment() const { return FUpDown->Increment(); }
  void SetIncrement(Integer Value) { FUpDown->SetIncrement(Value); }
  // The two parts' state; the panel itself stays enabled.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) override;
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value);
  Vcl::TPopupMenu* PopupMenu() const { return FEditor->PopupMenu(); }
  void SetPopupMenu(Vcl::TPopupMenu* Value) { FEditor->SetPopupMenu(Value); }
  Vcl::TColor Color() const { return FEditor->Color(); }
  void SetColor(Vcl::TColor Value) { FEditor->SetColor(Value); }
  bool ValidateOnExit() const { return FValidateOnExit; }
  void SetValidateOnExit(bool Value) { FValidateOnExit = Value; }

  // Makes the editor's text a number within the range; true when it wrote
  // a new text.
  bool ValidateValue();

  void Dispatch(Vcl::TMessage& Message) override;

  Vcl::TNotifyEvent OnChange;
  Vcl::TNotifyEvent OnEnter;
  Vcl::TNotifyEvent OnExit;

protected:
  void SetControlsState();
  virtual void DoChange();
  void Resize() override;

private:
  void EditorChange(Vcl::TObject* Sender);
  void EditorEnter(Vcl::TObject* Sender);
  void EditorExit(Vcl::TObject* Sender);

  Vcl::TEdit* FEditor = nullptr;
  Vcl::TUpDown* FUpDown = nullptr;
  bool FValidateOnExit = true;
  bool FEnabled = true;
  bool FEditorEnabled = true;
  bool FReadOnly = false;
  // ValidateValue's own writing of the text is not validated again.
  bool FValidating = false;
  bool FResizing = false;
};

} // namespace Quorex

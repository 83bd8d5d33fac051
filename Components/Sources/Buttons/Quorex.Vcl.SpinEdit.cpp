#include "Quorex.Vcl.SpinEdit.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <Vcl.Menus.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

TQxSpinEdit::TQxSpinEdit(TComponent* AOwner) : TCustomPanel(AOwner)
{
  SetWidth(80);
  SetParentColor(true);
  SetParentBackground(true);
  SetShowCaption(false);
  SetBevelOuter(bvNone);
  FEditor = new TEdit(this);
  FEditor->SetParent(this);
  FEditor->SetAlign(alNone);
  FEditor->SetNumbersOnly(true);
  FEditor->SetParentColor(false);
  FEditor->OnChange = [this](TObject* Sender) { EditorChange(Sender); };
  FEditor->OnEnter = [this](TObject* Sender) { EditorEnter(Sender); };
  FEditor->OnExit = [this](TObject* Sender) { EditorExit(Sender); };
  FEditor->SetColor(clWindow);
  FUpDown = new TUpDown(this);
  FUpDown->SetParent(this);
  FUpDown->SetAssociate(FEditor);
  FEditor->SetAutoSize(true);
  SetControlsState();
  SetMinValue(0);
  SetMaxValue(100);
  SetValue(0);
  Resize();
}

void TQxSpinEdit::SetAutoSize(bool Value)
{
  FEditor->SetAutoSize(Value);
  if (HandleAllocated())
    Resize();
}

void TQxSpinEdit::SetEnabled(bool Value)
{
  FEnabled = Value;
  SetControlsState();
}

void TQxSpinEdit::SetReadOnly(bool Value)
{
  FReadOnly = Value;
  SetControlsState();
}

void TQxSpinEdit::SetEditorEnabled(bool Value)
{
  FEditorEnabled = Value;
  SetControlsState();
}

// Without EditorEnabled the arrows still change the value; ReadOnly stops
// every change.
void TQxSpinEdit::SetControlsState()
{
  FEditor->SetEnabled(FEnabled);
  FEditor->SetReadOnly(FReadOnly || !FEditorEnabled);
  FUpDown->SetEnabled(FEnabled && !FReadOnly);
}

bool TQxSpinEdit::ValidateValue()
{
  if (FValidating)
    return false;
  const String text = FEditor->Text();
  Integer number = 0;
  if (!text.empty() && !TryStrToInt(text, number))
    number = FUpDown->Position();
  else if (number > MaxValue())
    number = MaxValue();
  else if (number < MinValue())
    number = MinValue();
  const String valid = IntToStr(number);
  FValidating = true;
  try {
    // The up-down follows the number, so that Value is never stale; it
    // writes the number into the editor when the text differs.
    FUpDown->SetPosition(number);
    if (FEditor->Text() != valid)
      FEditor->SetText(valid);
    if (text != valid)
      FEditor->SetSelStart(Integer(valid.size()));
  } catch (...) {
    FValidating = false;
    throw;
  }
  FValidating = false;
  return text != valid;
}

void TQxSpinEdit::DoChange()
{
  if (OnChange)
    OnChange(this);
}

// The text a validation writes raises the change once, from the inside; the
// change that started it raises nothing more.
void TQxSpinEdit::EditorChange(TObject*)
{
  if (!FValidating && !FValidateOnExit && ValidateValue())
    return;
  DoChange();
}

void TQxSpinEdit::EditorEnter(TObject*)
{
  if (OnEnter)
    OnEnter(this);
}

void TQxSpinEdit::EditorExit(TObject*)
{
  if (FValidateOnExit)
    ValidateValue();
  if (OnExit)
    OnExit(this);
}

void TQxSpinEdit::Resize()
{
  // The panel is sized before its parts exist.
  if (FResizing || !FUpDown) {
    inherited::Resize();
    return;
  }
  FResizing = true;
  try {
    inherited::Resize();
    FEditor->SetBounds(0, 0, FEditor->Width(), FEditor->Height());
    if (AutoSize())
      SetClientHeight(FEditor->Height());
    else
      FEditor->SetHeight(ClientHeight());
    // Four fifths of the height, truncated.
    FUpDown->SetWidth(ClientHeight() * 4 / 5);
    FEditor->SetWidth(ClientWidth() - FUpDown->Width());
    if (ComponentState().Contains(csDesigning))
      FUpDown->SetBounds(FEditor->Width(), 0, FUpDown->Width(), FEditor->Height());
  } catch (...) {
    FResizing = false;
    throw;
  }
  FResizing = false;
}

void TQxSpinEdit::Dispatch(TMessage& Message)
{
  inherited::Dispatch(Message);
  if (Message.Msg == CM_FONTCHANGE || Message.Msg == CM_FONTCHANGED)
    Resize();
}

QX_PUBLISHED_CONTROL(TQxSpinEdit)
{
  Publish("Align").Default(alNone);
  Publish("Alignment").Default(taCenter);
  for (const char* name : {"Anchors", "BiDiMode", "Constraints", "ParentCtl3D", "Ctl3D", "DoubleBuffered",
                           "FullRepaint", "Padding", "ParentBiDiMode", "ParentDoubleBuffered", "ParentFont", "Font",
                           "ParentShowHint", "ShowHint", "TabOrder", "Touch", "Visible", "OnAlignInsertBefore",
                           "OnAlignPosition", "OnCanResize", "OnClick", "OnConstrainedResize", "OnContextPopup",
                           "OnDblClick", "OnGesture", "OnGetSiteInfo", "OnResize"})
    Publish(name);
  Publish("ParentBackground").Default(true);
  Publish("ParentColor").Default(true);
  Publish("TabStop").Default(false);
  Property("AutoSize", &T::AutoSize, &T::SetAutoSize).Default(true);
  Property("MinValue", &T::MinValue, &T::SetMinValue);
  Property("MaxValue", &T::MaxValue, &T::SetMaxValue).Default(100);
  Property("Value", &T::Value, &T::SetValue);
  Property("Increment", &T::Increment, &T::SetIncrement).Default(1);
  Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
  Property("ReadOnly", &T::ReadOnly, &T::SetReadOnly).Default(false);
  Property("EditorEnabled", &T::EditorEnabled, &T::SetEditorEnabled).Default(true);
  Property("PopupMenu", &T::PopupMenu, &T::SetPopupMenu);
  Property("Color", &T::Color, &T::SetColor);
  Property("ValidateOnExit", &T::ValidateOnExit, &T::SetValidateOnExit).Default(true);
  Event("OnChange", &T::OnChange);
  Event("OnEnter", &T::OnEnter);
  Event("OnExit", &T::OnExit);
}

} // namespace Quorex

// The single-line edit of the standard controls: a control on the window
// class "Edit", which does the editing; the control keeps the text, the
// limits and the look across window re-creation, sizes itself to its font
// while AutoSize, colours the window from Color and Font, and raises
// OnChange whenever the text changes (by the user or in code). Positions
// (SelStart, SelLength) count code points. Kept apart from
// Vcl.StdCtrls.hpp, which nearly every component includes.
#pragma once

#include "Vcl.Controls.hpp"
#include "Vcl.Forms.hpp"

#include <Win.Edit.hpp>

namespace Vcl {

constexpr Win::UINT CN_CTLCOLOREDIT = CN_BASE + Win::WM_CTLCOLOREDIT,
                    CN_CTLCOLORSTATIC = CN_BASE + Win::WM_CTLCOLORSTATIC;

// An edit's border: none or single (sunken).
using TBorderStyle = TFormBorderStyle;

// The input-method state an edit asks for when it takes the focus, and the
// input method by name: kept and streamed, for there is no input method
// engine here to tell.
enum class TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                      imSHanguel, imHanguel };
using enum TImeMode;
QX_ENUM_NAMES(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
              imSHanguel, imHanguel)
using TImeName = String;

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;
QX_ENUM_NAMES(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

class TCustomEdit : public TWinControl {
  QX_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* AOwner);

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // Code points; 0 is no limit. Text set in code is not cut.
  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Typing and pasting take digits only.
  bool NumbersOnly() const { return FNumbersOnly; }
  void SetNumbersOnly(bool Value);
  // Shown for every character; 0 shows the text.
  char32_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char32_t Value);
  // The same as a string of at most one character, as form resources keep it.
  String PasswordCharText() const;
  void SetPasswordCharText(const String& Value);
  // Upper or lower case for all text, typed or set; a change converts the
  // text there is (the window is made again with the new style).
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  // Grey text shown while the edit is empty and not focused.
  String TextHint() const { return FTextHint; }
  void SetTextHint(const String& Value);
  // Asks the window for OEM conversion of typed text (ES_OEMCONVERT).
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  TImeName ImeName() const { return FImeName; }
  void SetImeName(const TImeName& Value) { FImeName = Value; }

  bool Modified() const;
  void SetModified(bool Value);
  bool CanUndo() const;
  Integer SelStart() const;
  void SetSelStart(Integer Value);
  Integer SelLength() const;
  void SetSelLength(Integer Value);
  String SelText() const;
  // Replaces the selection (undoably); MaxLength still holds.
  void SetSelText(const String& Value);
  void SelectAll();
  void Clear() { SetText(""); }
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  void ClearUndo();
  // The text margins in pixels (EM_SETMARGINS), kept across re-creation.
  void SetMargins(Integer Left, Integer Right);
  Integer LeftMargin() const { return FLeftMargin; }
  Integer RightMargin() const { return FRightMargin; }

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  String GetText() const override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void AdjustClientRect(TRect& Rect) override;
  void DoEnter() override;
  // The text changed: OnChange.
  virtual void Change();
  // Sizes the height to the font (while AutoSize).
  void AdjustHeight() { AdjustSize(); }
  // While the window is being made its text arrives: no change is raised.
  bool Creating() const { return FCreating; }

private:
  Win::LRESULT SendEdit(Win::UINT Msg, Win::WPARAM WParam = 0, Win::LPARAM LParam = 0) const;
  Integer BorderWidth() const;
  void CNCommand(TMessage& Message);
  void CNCtlColor(TMessage& Message);
  void SyncFont();
  // Stores a value that is part of the window's style: a new window.
  template <class V>
  void SetWindowStyleField(V& Field, V Value)
  {
    if (Field == Value)
      return;
    Field = Value;
    RecreateWnd();
  }

  Win::WNDPROC FDefWndProc = nullptr;
  String FSavedText;
  bool FTextSaved = false;
  TBorderStyle FBorderStyle = bsSingle;
  TAlignment FAlignment = taLeftJustify;
  Integer FMaxLength = 0;
  Integer FLeftMargin = -1; // -1: the window's own
  Integer FRightMargin = -1;
  char32_t FPasswordChar = 0;
  TEditCharCase FCharCase = ecNormal;
  String FTextHint;
  bool FOEMConvert = false;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FReadOnly = false;
  bool FNumbersOnly = false;
  bool FModified = false;
  bool FCreating = false;
};

class TEdit : public TCustomEdit {
  QX_CLASS(TEdit, TCustomEdit)
public:
  using TCustomEdit::TCustomEdit;
};

} // namespace Vcl

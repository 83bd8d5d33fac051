// The edit control on the window class "Edit".
#include "Vcl.StdCtrls.Edit.hpp"

#include <algorithm>

namespace Vcl {

namespace {

bool IsEditMouseMessage(Win::UINT Msg)
{
  return Msg == Win::WM_LBUTTONDOWN || Msg == Win::WM_LBUTTONDBLCLK || Msg == Win::WM_LBUTTONUP ||
         Msg == Win::WM_MOUSEMOVE;
}

} // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
  FControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetAutoSize(true);
}

Win::LRESULT TCustomEdit::SendEdit(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam) const
{
  return FHandle ? Win::SendMessage(FHandle, Msg, WParam, LParam) : 0;
}

Integer TCustomEdit::BorderWidth() const
{
  return FBorderStyle == bsSingle ? 2 : 0;
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Caption = GetText();
  Win::WNDCLASS edit;
  Win::GetClassInfo(nullptr, Win::WC_EDIT, &edit);
  FDefWndProc = edit.lpfnWndProc;
  Params.WindowClass.style |= edit.style;
  Params.Style |= Win::ES_AUTOHSCROLL;
  if (FAlignment == taRightJustify)
    Params.Style |= Win::ES_RIGHT;
  else if (FAlignment == taCenter)
    Params.Style |= Win::ES_CENTER;
  if (!FHideSelection)
    Params.Style |= Win::ES_NOHIDESEL;
  if (FReadOnly)
    Params.Style |= Win::ES_READONLY;
  if (FNumbersOnly)
    Params.Style |= Win::ES_NUMBER;
  if (FCharCase == ecUpperCase)
    Params.Style |= Win::ES_UPPERCASE;
  else if (FCharCase == ecLowerCase)
    Params.Style |= Win::ES_LOWERCASE;
  if (FOEMConvert)
    Params.Style |= Win::ES_OEMCONVERT;
  if (FBorderStyle == bsSingle)
    Params.ExStyle |= Win::WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd()
{
  FCreating = true;
  try {
    inherited::CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  SyncFont();
  SendEdit(Win::EM_LIMITTEXT, Win::WPARAM(FMaxLength));
  if (FPasswordChar)
    SendEdit(Win::EM_SETPASSWORDCHAR, Win::WPARAM(FPasswordChar));
  if (FLeftMargin >= 0)
    SendEdit(Win::EM_SETMARGINS, Win::EC_LEFTMARGIN | Win::EC_RIGHTMARGIN,
             Win::MAKELPARAM(FLeftMargin, FRightMargin));
  SendEdit(Win::EM_SETMODIFY, FModified ? 1 : 0);
  if (!FTextHint.empty())
    SendEdit(Win::EM_SETCUEBANNER, 0, Win::LPARAM(FTextHint.c_str()));
}

void TCustomEdit::DestroyWnd()
{
  // The text lives in the window: it is kept for the next one.
  FSavedText = GetText();
  FTextSaved = true;
  FModified = Modified();
  inherited::DestroyWnd();
}

void TCustomEdit::SyncFont()
{
  SendEdit(Win::WM_SETFONT, Win::WPARAM(Font()->Handle()), 1);
}

String TCustomEdit::GetText() const
{
  if (FHandle)
    return Win::GetWindowTextString(FHandle);
  return FTextSaved ? FSavedText : inherited::GetText();
}

bool TCustomEdit::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  (void)NewWidth;
  Win::DWORD exStyle = FBorderStyle == bsSingle ? Win::WS_EX_CLIENTEDGE : 0;
  NewHeight = Win::EditAutoHeight(Font()->Handle(), exStyle, 0);
  return true;
}

void TCustomEdit::AdjustClientRect(TRect& Rect)
{
  Rect.Inflate(-BorderWidth(), -BorderWidth());
}

void TCustomEdit::DoEnter()
{
  // Tabbing in selects the text; a click places the caret instead.
  if (FAutoSelect && !FControlState.Contains(csLButtonDown) && !(Win::GetKeyState(Win::VK_LBUTTON) & 0x8000))
    SelectAll();
  inherited::DoEnter();
}

void TCustomEdit::Change()
{
  if (OnChange)
    OnChange(this);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value)
{
  if (FBorderStyle == Value)
    return;
  FBorderStyle = Value;
  RecreateWnd();
  if (AutoSize())
    AdjustHeight();
}

void TCustomEdit::SetAlignment(TAlignment Value)
{
  SetWindowStyleField(FAlignment, Value);
}

void TCustomEdit::SetHideSelection(bool Value)
{
  SetWindowStyleField(FHideSelection, Value);
}

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
  SetWindowStyleField(FCharCase, Value);
}

void TCustomEdit::SetOEMConvert(bool Value)
{
  SetWindowStyleField(FOEMConvert, Value);
}

void TCustomEdit::SetTextHint(const String& Value)
{
  if (FTextHint == Value)
    return;
  FTextHint = Value;
  SendEdit(Win::EM_SETCUEBANNER, 0, Win::LPARAM(FTextHint.c_str()));
}

void TCustomEdit::SetMaxLength(Integer Value)
{
  if (FMaxLength == Value)
    return;
  FMaxLength = std::max(0, Value);
  SendEdit(Win::EM_LIMITTEXT, Win::WPARAM(FMaxLength));
}

void TCustomEdit::SetReadOnly(bool Value)
{
  if (FReadOnly == Value)
    return;
  FReadOnly = Value;
  SendEdit(Win::EM_SETREADONLY, Value ? 1 : 0);
}

void TCustomEdit::SetNumbersOnly(bool Value)
{
  if (FNumbersOnly == Value)
    return;
  FNumbersOnly = Value;
  if (!FHandle)
    return;
  Win::LONG_PTR style = Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE);
  Win::LONG_PTR bit = Win::ES_NUMBER;
  Win::SetWindowLongPtr(FHandle, Win::GWL_STYLE, Value ? (style | bit) : (style & ~bit));
}

void TCustomEdit::SetPasswordChar(char32_t Value)
{
  if (FPasswordChar == Value)
    return;
  FPasswordChar = Value;
  SendEdit(Win::EM_SETPASSWORDCHAR, Win::WPARAM(Value));
}

String TCustomEdit::PasswordCharText() const
{
  String text;
  if (FPasswordChar)
    Win::AppendUtf8(text, FPasswordChar);
  return text;
}

void TCustomEdit::SetPasswordCharText(const String& Value)
{
  const char* p = Value.data();
  SetPasswordChar(Value.empty() ? 0 : NextUtf8Char(p, Value.data() + Value.size()));
}

bool TCustomEdit::Modified() const
{
  return FHandle ? SendEdit(Win::EM_GETMODIFY) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value)
{
  FModified = Value;
  SendEdit(Win::EM_SETMODIFY, Value ? 1 : 0);
}

bool TCustomEdit::CanUndo() const
{
  return SendEdit(Win::EM_CANUNDO) != 0;
}

Integer TCustomEdit::SelStart() const
{
  Win::DWORD from = 0, to = 0;
  SendEdit(Win::EM_GETSEL, Win::WPARAM(&from), Win::LPARAM(&to));
  return Integer(from);
}

Integer TCustomEdit::SelLength() const
{
  Win::DWORD from = 0, to = 0;
  SendEdit(Win::EM_GETSEL, Win::WPARAM(&from), Win::LPARAM(&to));
  return Integer(to - from);
}

void TCustomEdit::SetSelStart(Integer Value)
{
  Value = std::max(0, Value);
  HandleNeeded();
  SendEdit(Win::EM_SETSEL, Win::WPARAM(Value), Win::LPARAM(Value));
}

void TCustomEdit::SetSelLength(Integer Value)
{
  HandleNeeded();
  Integer start = SelStart();
  SendEdit(Win::EM_SETSEL, Win::WPARAM(start), Win::LPARAM(start + std::max(0, Value)));
}

String TCustomEdit::SelText() const
{
  String text = GetText();
  Integer start = SelStart();
  Integer length = SelLength();
  std::size_t from = 0;
  const char* p = text.data();
  const char* end = p + text.size();
  for (Integer i = 0; i < start && p < end; ++i)
    NextUtf8Char(p, end);
  from = std::size_t(p - text.data());
  for (Integer i = 0; i < length && p < end; ++i)
    NextUtf8Char(p, end);
  return text.substr(from, std::size_t(p - text.data()) - from);
}

void TCustomEdit::SetSelText(const String& Value)
{
  HandleNeeded();
  SendEdit(Win::EM_REPLACESEL, 1, Win::LPARAM(Value.c_str()));
}

void TCustomEdit::SelectAll()
{
  SendEdit(Win::EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection()
{
  SendEdit(Win::WM_CLEAR);
}

void TCustomEdit::CopyToClipboard()
{
  SendEdit(Win::WM_COPY);
}

void TCustomEdit::CutToClipboard()
{
  SendEdit(Win::WM_CUT);
}

void TCustomEdit::PasteFromClipboard()
{
  SendEdit(Win::WM_PASTE);
}

void TCustomEdit::Undo()
{
  SendEdit(Win::WM_UNDO);
}

void TCustomEdit::ClearUndo()
{
  SendEdit(Win::EM_EMPTYUNDOBUFFER);
}

void TCustomEdit::SetMargins(Integer Left, Integer Right)
{
  FLeftMargin = std::clamp(Left, 0, 0xFFFF);
  FRightMargin = std::clamp(Right, 0, 0xFFFF);
  SendEdit(Win::EM_SETMARGINS, Win::EC_LEFTMARGIN | Win::EC_RIGHTMARGIN, Win::MAKELPARAM(FLeftMargin, FRightMargin));
}

// ---- messages ------------------------------------------------------------------------------------

void TCustomEdit::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case CN_COMMAND:
    CNCommand(Message);
    return;
  case CN_CTLCOLOREDIT:
  case CN_CTLCOLORSTATIC:
    CNCtlColor(Message);
    return;
  case CM_TEXTCHANGED:
    // Set in code while there is no window: the saved text is stale.
    if (!FHandle)
      FTextSaved = false;
    break;
  case CM_FONTCHANGED:
    inherited::Dispatch(Message);
    SyncFont();
    if (AutoSize())
      AdjustHeight();
    return;
  case Win::EM_SETMARGINS:
    // Whoever sets them on the window sets them for the next window too.
    if (Message.WParam != Win::EC_USEFONTINFO) {
      if (Message.WParam & Win::EC_LEFTMARGIN)
        FLeftMargin = Win::LOWORD(std::uintptr_t(Message.LParam));
      if (Message.WParam & Win::EC_RIGHTMARGIN)
        FRightMargin = Win::HIWORD(std::uintptr_t(Message.LParam));
      FLeftMargin = std::max(FLeftMargin, 0);
      FRightMargin = std::max(FRightMargin, 0);
    }
    DefaultHandler(Message);
    return;
  default:
    break;
  }
  // The window places the caret first; the mouse events follow.
  if (IsEditMouseMessage(Message.Msg))
    DefaultHandler(Message);
  inherited::Dispatch(Message);
}

void TCustomEdit::DefaultHandler(TMessage& Message)
{
  if (FHandle && FDefWndProc) {
    Message.Result = Win::CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  inherited::DefaultHandler(Message);
}

void TCustomEdit::CNCommand(TMessage& Message)
{
  if (Win::HIWORD(Message.WParam) == Win::EN_CHANGE && !FCreating)
    Change();
}

void TCustomEdit::CNCtlColor(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  Win::SetTextColor(dc, Win::COLORREF(ColorToRGB(Font()->Color())));
  Win::SetBkColor(dc, Win::COLORREF(ColorToRGB(Brush()->Color())));
  Message.Result = Win::LRESULT(Brush()->Handle());
}

} // namespace Vcl

#include "Vcl.StdCtrls.hpp"

#include "Vcl.Forms.hpp"

#include <Win.Gdi.Guards.hpp>

namespace Vcl {

TCustomButton::TCustomButton(TComponent* AOwner) : TWinControl(AOwner)
{
  FControlStyle = {csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TCustomButton::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style |= FActive ? Win::BS_DEFPUSHBUTTON : Win::BS_PUSHBUTTON;
}

void TCustomButton::SetDefault(bool Value)
{
  if (FDefault == Value)
    return;
  FDefault = Value;
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, Win::LPARAM(form->ActiveControl()));
  else
    SetButtonStyle(Value);
}

void TCustomButton::SetButtonStyle(bool ADefault)
{
  FActive = ADefault;
  if (!HandleAllocated())
    return;
  auto style = Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE);
  if ((style & Win::BS_TYPEMASK) == Win::BS_OWNERDRAW) {
    Invalidate();
    return;
  }
  style = (style & ~Win::LONG_PTR(Win::BS_TYPEMASK)) | (ADefault ? Win::BS_DEFPUSHBUTTON : Win::BS_PUSHBUTTON);
  Win::SetWindowLongPtr(FHandle, Win::GWL_STYLE, style);
  Invalidate();
}

void TCustomButton::Click()
{
  if (TCustomForm* form = GetParentForm(this, false))
    form->SetModalResult(FModalResult);
  inherited::Click();
}

void TCustomButton::SetPressed(bool Value)
{
  if (FPressed == Value)
    return;
  FPressed = Value;
  Invalidate();
}

// What a button window does on a click: tell the parent, which reflects it
// back to the button as CN_COMMAND.
void TCustomButton::NotifyClicked()
{
  Win::HWND parent = HandleAllocated() ? Win::GetParent(FHandle) : nullptr;
  if (parent && (Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE) & Win::WS_CHILD))
    Win::SendMessage(parent, Win::WM_COMMAND, Win::MAKEWPARAM(0, Win::BN_CLICKED), Win::LPARAM(FHandle));
  else
    Click();
}

void TCustomButton::KeyDown(Word& Key, TShiftState Shift)
{
  inherited::KeyDown(Key, Shift);
  if (Key == Win::VK_SPACE) {
    FSpacePressed = true;
    SetPressed(true);
  }
}

void TCustomButton::KeyUp(Word& Key, TShiftState Shift)
{
  inherited::KeyUp(Key, Shift);
  if (Key != Win::VK_SPACE || !FSpacePressed)
    return;
  FSpacePressed = false;
  SetPressed(false);
  NotifyClicked();
}

void TCustomButton::PaintButton()
{
  Win::PAINTSTRUCT ps;
  Win::HDC dc = Win::BeginPaint(FHandle, &ps);
  TRect r = ClientRect();
  Win::UINT state = (FPressed ? Win::ODS_SELECTED : 0) | (Enabled() ? 0 : Win::ODS_DISABLED) |
                    (Focused() ? Win::ODS_FOCUS : 0);
  if ((Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE) & Win::BS_TYPEMASK) == Win::BS_OWNERDRAW) {
    Win::DRAWITEMSTRUCT item;
    item.CtlType = Win::ODT_BUTTON;
    item.itemAction = Win::ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = FHandle;
    item.hDC = dc;
    item.rcItem = r;
    Win::SendMessage(Win::GetParent(FHandle), Win::WM_DRAWITEM, 0, Win::LPARAM(&item));
    Win::EndPaint(FHandle, &ps);
    return;
  }
  // The button Enter would press wears a dark frame around its face.
  if ((Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE) & Win::BS_TYPEMASK) == Win::BS_DEFPUSHBUTTON) {
    Win::FrameRect(dc, &r, Win::GetSysColorBrush(Win::COLOR_WINDOWFRAME));
    r.Inflate(-1, -1);
  }
  Win::DrawFrameControl(dc, &r, Win::DFC_BUTTON,
                        Win::DFCS_BUTTONPUSH | (FPressed ? Win::DFCS_PUSHED : 0) | (Enabled() ? 0 : Win::DFCS_INACTIVE));
  {
    Win::TSelectedObject font(dc, Font()->Handle());
    Win::SetBkMode(dc, Win::TRANSPARENT);
    Win::SetTextColor(dc, Win::COLORREF(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
    String text = Caption();
    Win::DrawText(dc, text.c_str(), -1, &r, Win::DT_CENTER | Win::DT_VCENTER | Win::DT_SINGLELINE);
  }
  if (state & Win::ODS_FOCUS) {
    TRect focus = ClientRect();
    focus.Inflate(-4, -4);
    Win::DrawFocusRect(dc, &focus);
  }
  Win::EndPaint(FHandle, &ps);
}

void TCustomButton::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_PAINT:
    if (Message.WParam == 0 && HandleAllocated()) {
      PaintButton();
      return;
    }
    break;
  case Win::WM_ERASEBKGND:
    Message.Result = 1;
    return;
  case Win::WM_LBUTTONDOWN:
  case Win::WM_LBUTTONDBLCLK:
    if (Enabled() && CanFocus() && !Focused())
      SetFocus();
    Win::SetCapture(FHandle);
    SetPressed(true);
    inherited::Dispatch(Message);
    return;
  case Win::WM_MOUSEMOVE:
    if (Win::GetCapture() == FHandle && HandleAllocated())
      SetPressed(ClientRect().Contains(MessagePos(Message)));
    inherited::Dispatch(Message);
    return;
  case Win::WM_LBUTTONUP: {
    bool clicked = FPressed && Win::GetCapture() == FHandle;
    SetPressed(false);
    if (Win::GetCapture() == FHandle)
      Win::ReleaseCapture();
    inherited::Dispatch(Message);
    if (clicked)
      NotifyClicked();
    return;
  }
  case Win::WM_KILLFOCUS:
    FSpacePressed = false;
    SetPressed(false);
    break;
  case CN_COMMAND:
    if (Win::HIWORD(Message.WParam) == Win::BN_CLICKED)
      Click();
    return;
  case CM_DIALOGKEY: {
    bool plain = KeyDataToShiftState(Message.LParam).Empty();
    if (plain && ((Message.WParam == Win::VK_RETURN && FActive) || (Message.WParam == Win::VK_ESCAPE && FCancel)) &&
        CanFocus()) {
      Click();
      Message.Result = 1;
      return;
    }
    break;
  }
  case CM_FOCUSCHANGED: {
    auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
    SetButtonStyle(dynamic_cast<TCustomButton*>(sender) ? sender == this : FDefault);
    break;
  }
  case CM_ENABLEDCHANGED:
  case CM_TEXTCHANGED:
    Invalidate();
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

void TImageMargins::Assign(const TPersistent* Source)
{
  const auto* margins = dynamic_cast<const TImageMargins*>(Source);
  if (!margins) {
    inherited::Assign(Source);
    return;
  }
  if (FLeft == margins->FLeft && FTop == margins->FTop && FRight == margins->FRight && FBottom == margins->FBottom)
    return;
  FLeft = margins->FLeft;
  FTop = margins->FTop;
  FRight = margins->FRight;
  FBottom = margins->FBottom;
  Change();
}

void TImageMargins::SetMargin(Integer& Field, Integer Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Change();
}

void TImageMargins::Change()
{
  if (OnChange)
    OnChange(this);
}

} // namespace Vcl

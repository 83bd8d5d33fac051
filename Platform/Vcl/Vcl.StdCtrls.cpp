#include "Vcl.StdCtrls.hpp"

#include "Vcl.ActnList.hpp"
#include "Vcl.Forms.hpp"
#include "Vcl.Themes.hpp"

#include <Win.Gdi.Guards.hpp>
#include <Win.User.Guards.hpp>

#include <algorithm>

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
  const Win::TWindowPaint paint(FHandle);
  Win::HDC dc = paint.DC();
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

// ---- check box ----------------------------------------------------------------------------------

namespace {

// The space between the box and its caption.
constexpr Integer kCaptionGap = 4;

TSize CheckMarkSize()
{
  return {Win::GetSystemMetrics(Win::SM_CXMENUCHECK), Win::GetSystemMetrics(Win::SM_CYMENUCHECK)};
}

} // namespace

// Checked follows the action while the box shows the action's value.
class TCheckBoxActionLink : public TWinControlActionLink {
  QX_CLASS(TCheckBoxActionLink, TWinControlActionLink)
public:
  bool IsCheckedLinked() const override
  {
    return inherited::IsCheckedLinked() && FBox->Checked() == CustomAction()->Checked();
  }

protected:
  void AssignClient(TObject* AClient) override
  {
    inherited::AssignClient(AClient);
    FBox = dynamic_cast<TCustomCheckBox*>(AClient);
    QX_ASSERT(FBox, "Vcl.StdCtrls");
  }
  void SetChecked(bool Value) override
  {
    if (IsCheckedLinked())
      FBox->SetStateQuietly(Value ? cbChecked : cbUnchecked);
  }

private:
  TCustomCheckBox* FBox = nullptr;
};

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
  FControlStyle = {csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetParentColor(true);
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
  if (FState == Value)
    return;
  FState = Value;
  Invalidate();
  if (!FClicksDisabled && !ComponentState().Contains(csLoading) && !ComponentState().Contains(csReading))
    Click();
}

void TCustomCheckBox::SetStateQuietly(TCheckBoxState Value)
{
  FClicksDisabled = true;
  SetState(Value);
  FClicksDisabled = false;
}

void TCustomCheckBox::SetAlignment(TLeftRight Value)
{
  if (FAlignment == Value)
    return;
  FAlignment = Value;
  Invalidate();
}

void TCustomCheckBox::Toggle()
{
  switch (FState) {
  case cbUnchecked:
    SetState(FAllowGrayed ? cbGrayed : cbChecked);
    break;
  case cbChecked:
    SetState(cbUnchecked);
    break;
  case cbGrayed:
    SetState(cbChecked);
    break;
  }
}

bool TCustomCheckBox::IsCheckedStored() const
{
  return !ActionLink() || !ActionLink()->IsCheckedLinked();
}

TControlActionLinkClass TCustomCheckBox::GetActionLinkClass() const
{
  return ActionLinkClassOf<TCheckBoxActionLink>;
}

void TCustomCheckBox::ActionChange(TObject* Sender, bool CheckDefaults)
{
  inherited::ActionChange(Sender, CheckDefaults);
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (action && (!CheckDefaults || FState == cbUnchecked))
    SetStateQuietly(action->Checked() ? cbChecked : cbUnchecked);
}

void TCustomCheckBox::SetPressed(bool Value)
{
  if (FPressed == Value)
    return;
  FPressed = Value;
  Invalidate();
}

void TCustomCheckBox::KeyDown(Word& Key, TShiftState Shift)
{
  inherited::KeyDown(Key, Shift);
  if (Key == Win::VK_SPACE) {
    FSpacePressed = true;
    SetPressed(true);
  }
}

void TCustomCheckBox::KeyUp(Word& Key, TShiftState Shift)
{
  inherited::KeyUp(Key, Shift);
  if (Key != Win::VK_SPACE || !FSpacePressed)
    return;
  FSpacePressed = false;
  SetPressed(false);
  Toggle();
}

TRect TCustomCheckBox::BoxRect() const
{
  TSize mark = CheckMarkSize();
  TRect client = ClientRect();
  Integer top = (client.Height() - mark.cy) / 2;
  Integer left = FAlignment == taRightJustify ? 0 : client.Width() - mark.cx;
  return Bounds(left, top, mark.cx, mark.cy);
}

TRect TCustomCheckBox::CaptionRect() const
{
  TRect r = ClientRect();
  Integer mark = CheckMarkSize().cx + kCaptionGap;
  if (FAlignment == taRightJustify)
    r.Left += mark;
  else
    r.Right -= mark;
  return r;
}

void TCustomCheckBox::DrawBox(Win::HDC DC) const
{
  TRect box = BoxRect();
  bool disabled = !Enabled();
  if (ThemeControl(this)) {
    // Rows of four states (normal, hot, pressed, disabled): unchecked, checked, mixed.
    int column = disabled ? 3 : FPressed ? 2 : FHot ? 1 : 0;
    auto detail = TThemedButton(int(tbCheckBoxUncheckedNormal) + int(FState) * 4 + column);
    StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(detail), box);
    return;
  }
  Win::UINT state = Win::DFCS_BUTTONCHECK;
  if (FState != cbUnchecked)
    state |= Win::DFCS_CHECKED;
  if (FState == cbGrayed || disabled)
    state |= Win::DFCS_INACTIVE;
  if (FPressed)
    state |= Win::DFCS_PUSHED;
  Win::DrawFrameControl(DC, &box, Win::DFC_BUTTON, state);
}

void TCustomCheckBox::PaintCheckBox()
{
  Win::PAINTSTRUCT ps;
  Win::HDC dc = Win::BeginPaint(FHandle, &ps);
  TRect client = ClientRect();
  Win::HBRUSH background = Win::CreateSolidBrush(Win::COLORREF(ColorToRGB(Color())));
  Win::FillRect(dc, &client, background);
  Win::DeleteObject(background);
  DrawBox(dc);
  String text = Caption();
  TRect caption = CaptionRect();
  if (!text.empty()) {
    Win::TSelectedObject font(dc, Font()->Handle());
    Win::SetBkMode(dc, Win::TRANSPARENT);
    Win::SetTextColor(dc, Win::COLORREF(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
    Win::DrawText(dc, text.c_str(), -1, &caption, Win::DT_LEFT | Win::DT_VCENTER | Win::DT_SINGLELINE);
    if (Focused()) {
      // The focus rectangle hugs the caption, one pixel out, inside the client area.
      TRect extent = caption;
      Win::DrawText(dc, text.c_str(), -1, &extent, Win::DT_LEFT | Win::DT_SINGLELINE | Win::DT_CALCRECT);
      TRect focus = Bounds(caption.Left, caption.Top + (caption.Height() - extent.Height()) / 2,
                           std::min(extent.Width(), caption.Width()), extent.Height());
      focus.Inflate(1, 1);
      IntersectRect(focus, focus, client);
      Win::DrawFocusRect(dc, &focus);
    }
  }
  Win::EndPaint(FHandle, &ps);
}

void TCustomCheckBox::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_PAINT:
    if (Message.WParam == 0 && HandleAllocated()) {
      PaintCheckBox();
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
    if (Win::GetCapture() == FHandle)
      SetPressed(ClientRect().Contains(MessagePos(Message)));
    inherited::Dispatch(Message);
    return;
  case Win::WM_LBUTTONUP: {
    bool toggled = FPressed && Win::GetCapture() == FHandle;
    SetPressed(false);
    if (Win::GetCapture() == FHandle)
      Win::ReleaseCapture();
    inherited::Dispatch(Message);
    if (toggled)
      Toggle();
    return;
  }
  case Win::WM_KILLFOCUS:
    FSpacePressed = false;
    FPressed = false;
    Invalidate();
    break;
  case Win::WM_SETFOCUS:
  case CM_ENABLEDCHANGED:
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    Invalidate();
    break;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    FHot = Message.Msg == CM_MOUSEENTER;
    Invalidate();
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

} // namespace Vcl

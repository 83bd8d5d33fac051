// The mouse: capture, clicks, wheel, enter and leave, and the cursor a
// windowed control shows for itself and its graphic children.
#include "Vcl.ActnList.hpp"
#include "Vcl.Controls.Internal.hpp"
#include "Vcl.Menus.hpp"

namespace Vcl {

using namespace ControlsInternal;

bool TControl::MouseCapture() const
{
  return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value)
{
  if (MouseCapture() == Value)
    return;
  if (!Value) {
    gCaptureControl = nullptr;
    Win::ReleaseCapture();
    return;
  }
  auto* windowed = dynamic_cast<TWinControl*>(this);
  Win::HWND window = windowed ? windowed->Handle() : ParentHandleOf(this);
  if (!window)
    return;
  gCaptureControl = this;
  Win::SetCapture(window);
}

void TControl::SendCancelMode()
{
  if (TWinControl* form = FormControl(true))
    if (form->HandleAllocated())
      form->Perform(CM_CANCELMODE, 0, Win::LPARAM(this));
}

bool TControl::IsMouseInControl() const
{
  return gMouseControl == this;
}

void TControl::Click()
{
  if (FActionLink && FActionLink->IsOnExecuteLinked() && !ComponentState().Contains(csDesigning)) {
    FActionLink->Execute(this);
    return;
  }
  if (OnClick)
    OnClick(this);
}

void TControl::DblClick()
{
  if (OnDblClick)
    OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  if (OnMouseDown)
    OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y)
{
  if (OnMouseMove)
    OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  if (OnMouseUp)
    OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::DoMouseEvent(TMessage& Message, TMouseButton Button, TShiftState Extra, bool Down)
{
  if (FControlStyle.Contains(csNoStdEvents))
    return;
  TShiftState shift = KeysToShiftState(Message.WParam) + Extra;
  if (Down)
    MouseDown(Button, shift, MessageX(Message), MessageY(Message));
  else
    MouseUp(Button, shift, MessageX(Message), MessageY(Message));
}

void TControl::WMMouseDown(TMessage& Message, TMouseButton Button, TShiftState Extra)
{
  DoMouseEvent(Message, Button, Extra, true);
}

void TControl::WMMouseUp(TMessage& Message, TMouseButton Button)
{
  if (Button == mbLeft && FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    if (ClientRect().Contains(MessagePos(Message)))
      Click();
  }
  DoMouseEvent(Message, Button, {}, false);
}

void TControl::WMMouseMove(TMessage& Message)
{
  if (!GetCaptureControl() || GetCaptureControl() == this)
    SetMouseControl(this);
  if (!FControlStyle.Contains(csNoStdEvents))
    MouseMove(KeysToShiftState(Message.WParam), MessageX(Message), MessageY(Message));
}

void TControl::WMMouseWheel(TMessage& Message)
{
  TPoint pos(Win::GET_X_LPARAM(Message.LParam), Win::GET_Y_LPARAM(Message.LParam));
  TShiftState shift = KeysToShiftState(Win::GET_KEYSTATE_WPARAM(Message.WParam));
  if (DoMouseWheel(shift, Win::GET_WHEEL_DELTA_WPARAM(Message.WParam), pos)) {
    Message.Result = 1;
    return;
  }
  if (FParent) {
    Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos)
{
  bool handled = false;
  if (OnMouseWheel)
    OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled || WheelDelta == 0)
    return handled;
  return WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
  (void)Shift;
  (void)MousePos;
  return false;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
  (void)Shift;
  (void)MousePos;
  return false;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
  if (OnContextPopup)
    OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& Message)
{
  if (Message.Result != 0)
    return;
  TPoint at(Win::GET_X_LPARAM(Message.LParam), Win::GET_Y_LPARAM(Message.LParam));
  bool keyboard = Message.LParam == Win::kContextMenuFromKeyboard;
  bool handled = false;
  DoContextPopup(keyboard ? TPoint(-1, -1) : ScreenToClient(at), handled);
  if (handled) {
    Message.Result = 1;
    return;
  }
  TPopupMenu* menu = GetPopupMenu();
  if (!menu || !menu->AutoPopup())
    return;
  SendCancelMode();
  menu->SetPopupComponent(this);
  if (keyboard)
    at = ClientToScreen(TPoint(0, 0));
  Message.Result = 1;
  menu->Popup(at.X, at.Y); // last: a handler may free the control
}

void TWinControl::WMContextMenu(TMessage& Message)
{
  if (Message.Result != 0)
    return;
  if (Message.LParam != Win::kContextMenuFromKeyboard) {
    TPoint at(Win::GET_X_LPARAM(Message.LParam), Win::GET_Y_LPARAM(Message.LParam));
    if (TControl* child = ControlAtPos(ScreenToClient(at), false)) {
      Message.Result = child->Perform(Message.Msg, Message.WParam, Message.LParam);
      if (Message.Result != 0)
        return;
    }
  }
  TControl::WMContextMenu(Message);
  if (Message.Result == 0)
    DefaultHandler(Message);
}

void TControl::CMMouseEnter(TMessage& Message)
{
  if (FParent)
    FParent->Perform(CM_MOUSEENTER, 0, Message.LParam ? Message.LParam : Win::LPARAM(this));
  if (Message.LParam == 0 && OnMouseEnter)
    OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& Message)
{
  if (FParent)
    FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam ? Message.LParam : Win::LPARAM(this));
  if (Message.LParam == 0 && OnMouseLeave)
    OnMouseLeave(this);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message)
{
  TControl* control = nullptr;
  TControl* capture = GetCaptureControl();
  if (capture && capture->Parent() == this && !capture->FWindowed)
    control = capture;
  else if (!capture)
    control = ControlAtPos(MessagePos(Message), false);
  if (!control)
    return false;
  TPoint p = MessagePos(Message);
  p.Offset(-control->Left(), -control->Top());
  Message.Result = control->Perform(Message.Msg, Message.WParam, Win::MAKELPARAM(p.X, p.Y));
  return true;
}

void TWinControl::WMSetCursor(TMessage& Message)
{
  auto hit = Integer(std::int16_t(Win::LOWORD(std::uintptr_t(Message.LParam))));
  if (reinterpret_cast<Win::HWND>(Message.WParam) == FHandle && hit == Win::HTCLIENT) {
    TCursor cursor = ScreenCursor();
    if (cursor == crDefault) {
      Win::POINT p;
      Win::GetCursorPos(&p);
      if (TControl* child = ControlAtPos(ScreenToClient(p), false))
        cursor = child->Cursor();
      if (cursor == crDefault)
        cursor = Cursor();
    }
    if (cursor != crDefault) {
      Win::SetCursor(CursorHandle(cursor));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::TrackMouseLeave()
{
  if (!FHandle)
    return;
  Win::TRACKMOUSEEVENT tme;
  tme.dwFlags = Win::TME_LEAVE;
  tme.hwndTrack = FHandle;
  Win::TrackMouseEvent(&tme);
}

void TWinControl::WMMouseLeave(TMessage& Message)
{
  if (gMouseControl && (gMouseControl == this || gMouseControl->Parent() == this))
    SetMouseControl(nullptr);
  DefaultHandler(Message);
}

} // namespace Vcl

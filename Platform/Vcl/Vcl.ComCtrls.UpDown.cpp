#include "Vcl.ComCtrls.UpDown.hpp"

#include "Win.UpDown.hpp"

#include <algorithm>
#include <cstdlib>

namespace Vcl {

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner)
{
  SetBounds(Left(), Top(), 16, 24);
  SetTabStop(false);
}

TCustomUpDown::~TCustomUpDown()
{
  Unhook();
}

void TCustomUpDown::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style |= Win::UDS_SETBUDDYINT;
  if (FWrap)
    Params.Style |= Win::UDS_WRAP;
  if (FOrientation == udHorizontal)
    Params.Style |= Win::UDS_HORZ;
}

void TCustomUpDown::CreateWnd()
{
  inherited::CreateWnd();
  SendRange();
  SendIncrement();
  if (FAssociate) {
    // The associate may have moved while neither had a window.
    AlignToAssociate();
    Perform(Win::UDM_SETBUDDY, Win::WPARAM(FAssociate->Handle()), 0);
  }
  Perform(Win::UDM_SETPOS32, 0, Win::LPARAM(FPosition));
}

// The window system's up-down paints, follows the mouse and keeps its own
// timer; the framework's own handling of those messages stays out of its way.
void TCustomUpDown::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_PAINT:
  case Win::WM_ERASEBKGND:
  case Win::WM_TIMER:
  case Win::WM_LBUTTONDOWN:
  case Win::WM_LBUTTONDBLCLK:
  case Win::WM_LBUTTONUP:
  case Win::WM_MOUSEMOVE:
  case Win::WM_CAPTURECHANGED:
    DefaultHandler(Message);
    return;
  case CN_NOTIFY:
    if (reinterpret_cast<const Win::NMHDR*>(Message.LParam)->code == Win::UDN_DELTAPOS) {
      DeltaPos(Message);
      return;
    }
    break;
  case CN_HSCROLL:
  case CN_VSCROLL:
    ScrollNotice(Message);
    return;
  default:
    break;
  }
  inherited::WndProc(Message);
}

void TCustomUpDown::DeltaPos(TMessage& Message)
{
  bool allow = true;
  if (OnChanging)
    OnChanging(this, allow);
  Message.Result = allow ? 0 : 1;
  if (!allow)
    return;
  // The window reports the move it makes: a wrap past one bound lands on
  // the other, against the arrow, and is the only move whose size is not
  // the increment.
  const auto* nm = reinterpret_cast<const Win::NMUPDOWN*>(Message.LParam);
  bool up = nm->iDelta > 0;
  if (FWrap && std::abs(Int64(nm->iDelta)) != std::abs(Int64(FIncrement)))
    up = !up;
  FPendingButton = up ? btNext : btPrev;
}

void TCustomUpDown::ScrollNotice(TMessage& Message)
{
  Message.Result = 0;
  if (Win::LOWORD(Message.WParam) != Win::SB_THUMBPOSITION || !FPendingButton)
    return;
  const TUDBtnType button = *FPendingButton;
  FPendingButton.reset();
  Position();
  Click(button);
}

void TCustomUpDown::Click(TUDBtnType Button)
{
  if (OnClick)
    OnClick(this, Button);
}

void TCustomUpDown::DefaultHandler(TMessage& Message)
{
  if (HandleAllocated())
    Message.Result = Win::UpDownWindowProc(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TCustomUpDown::SetAssociate(TWinControl* Value)
{
  if (Value == FAssociate || Value == this)
    return;
  Unhook();
  FAssociate = Value;
  if (!Value) {
    if (HandleAllocated())
      Perform(Win::UDM_SETBUDDY, 0, 0);
    return;
  }
  Value->FreeNotification(this);
  FAssociateWndProc = Value->WindowProc;
  Value->WindowProc = [this](TMessage& Message) { AssociateWndProc(Message); };
  AlignToAssociate();
  if (HandleAllocated() && Value->Parent())
    Perform(Win::UDM_SETBUDDY, Win::WPARAM(Value->Handle()), 0);
}

void TCustomUpDown::Unhook()
{
  if (!FAssociate)
    return;
  FAssociate->WindowProc = std::move(FAssociateWndProc);
  FAssociateWndProc = nullptr;
  FAssociate->RemoveFreeNotification(this);
}

void TCustomUpDown::AssociateWndProc(TMessage& Message)
{
  if (Message.Msg == Win::WM_KEYDOWN && FArrowKeys && HandleAllocated() &&
      (Message.WParam == Win::WPARAM(Win::VK_UP) || Message.WParam == Win::WPARAM(Win::VK_DOWN))) {
    Win::StepUpDown(Handle(), Message.WParam == Win::WPARAM(Win::VK_UP) ? 1 : -1);
    return;
  }
  // The window of the associate goes: the up-down forgets it until a new one
  // is made.
  FAssociateWndProc(Message);
  if (Message.Msg == Win::WM_WINDOWPOSCHANGED || Message.Msg == Win::WM_SIZE || Message.Msg == Win::WM_MOVE)
    AlignToAssociate();
}

// Beside the associate, as tall as it, at the side AlignButton names.
void TCustomUpDown::AlignToAssociate()
{
  if (!FAssociate || FAssociate->Parent() != Parent())
    return;
  const Integer left = FAlignButton == udRight ? FAssociate->Left() + FAssociate->Width() : FAssociate->Left() - Width();
  SetBounds(left, FAssociate->Top(), Width(), FAssociate->Height());
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) {
    FAssociate->WindowProc = std::move(FAssociateWndProc);
    FAssociateWndProc = nullptr;
    FAssociate = nullptr;
  }
}

void TCustomUpDown::SendRange()
{
  if (HandleAllocated())
    Perform(Win::UDM_SETRANGE32, Win::WPARAM(FMin), Win::LPARAM(FMax));
}

void TCustomUpDown::SendIncrement()
{
  if (!HandleAllocated())
    return;
  Win::UDACCEL accel{0, Win::UINT(FIncrement)};
  Perform(Win::UDM_SETACCEL, 1, Win::LPARAM(&accel));
}

void TCustomUpDown::SetMin(Integer Value)
{
  if (Value == FMin)
    return;
  FMin = Value;
  SendRange();
  SetPosition(Position());
}

void TCustomUpDown::SetMax(Integer Value)
{
  if (Value == FMax)
    return;
  FMax = Value;
  SendRange();
  SetPosition(Position());
}

Integer TCustomUpDown::Position()
{
  if (HandleAllocated())
    FPosition = Integer(Perform(Win::UDM_GETPOS32, 0, 0));
  return FPosition;
}

void TCustomUpDown::SetPosition(Integer Value)
{
  FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
  if (HandleAllocated())
    Perform(Win::UDM_SETPOS32, 0, Win::LPARAM(FPosition));
}

void TCustomUpDown::SetIncrement(Integer Value)
{
  if (Value == FIncrement)
    return;
  FIncrement = Value;
  SendIncrement();
}

void TCustomUpDown::SetWrap(bool Value)
{
  if (Value == FWrap)
    return;
  FWrap = Value;
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value)
{
  if (Value == FAlignButton)
    return;
  FAlignButton = Value;
  AlignToAssociate();
}

void TCustomUpDown::SetOrientation(TUDOrientation Value)
{
  if (Value == FOrientation)
    return;
  FOrientation = Value;
  if (HandleAllocated())
    RecreateWnd();
}

} // namespace Vcl

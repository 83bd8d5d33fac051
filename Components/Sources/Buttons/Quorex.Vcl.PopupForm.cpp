#include "Quorex.Vcl.PopupForm.hpp"

namespace Quorex {

using namespace Vcl;

namespace {

// One watch for the whole user-interface thread: the hook and the popup it
// serves.
Win::HHOOK gMouseHook = nullptr;
TPopupForm* gHookedPopup = nullptr;

bool IsPress(Win::UINT Msg)
{
  return Msg == Win::WM_LBUTTONDOWN || Msg == Win::WM_RBUTTONDOWN || Msg == Win::WM_MBUTTONDOWN;
}

} // namespace

TPopupForm::TPopupForm(TComponent* AOwner) : TCustomForm(AOwner)
{
  SetBorderStyle(bsNone);
}

TPopupForm::~TPopupForm()
{
  ReleaseMouseHook();
}

void TPopupForm::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style = Win::WS_POPUP | Win::WS_CLIPCHILDREN;
  Params.ExStyle |= Win::WS_EX_TOPMOST | Win::WS_EX_NOACTIVATE;
  if (auto* owner = dynamic_cast<TWinControl*>(Owner()))
    Params.WndParent = owner->Handle();
}

bool TPopupForm::IsHooked() const
{
  return gHookedPopup == this && gMouseHook;
}

void TPopupForm::SetMouseHook()
{
  if (gHookedPopup && gHookedPopup != this)
    gHookedPopup->Hide();
  if (IsHooked())
    return;
  gMouseHook = Win::SetWindowsHookEx(Win::WH_MOUSE, &MouseHookProc, nullptr, 0);
  gHookedPopup = this;
}

void TPopupForm::ReleaseMouseHook()
{
  if (gHookedPopup != this)
    return;
  if (gMouseHook)
    Win::UnhookWindowsHookEx(gMouseHook);
  gMouseHook = nullptr;
  gHookedPopup = nullptr;
}

Win::LRESULT TPopupForm::MouseHookProc(int Code, Win::WPARAM WParam, Win::LPARAM LParam)
{
  // Kept for the call down the chain: the popup may close (and let go of the
  // hook) on this very message.
  Win::HHOOK hook = gMouseHook;
  if (Code == Win::HC_ACTION && gHookedPopup) {
    const auto* info = reinterpret_cast<const Win::MOUSEHOOKSTRUCT*>(LParam);
    gHookedPopup->ProcessHookedMouseMessages(Win::UINT(WParam), TPoint(info->pt.X, info->pt.Y), info->hwnd);
  }
  return Win::CallNextHookEx(hook, Code, WParam, LParam);
}

bool TPopupForm::ProcessHookedMouseMessages(Win::UINT Msg, TPoint Point, Win::HWND Wnd)
{
  (void)Wnd;
  if (!IsPress(Msg))
    return false;
  if (ClientRect().Contains(ScreenToClient(Point)) || FInactiveRect.Contains(Point))
    return false;
  Hide();
  return true;
}

void TPopupForm::Show()
{
  SetMouseHook();
  FOpen = true;
  SetVisible(true);
  Win::SetWindowPos(Handle(), Win::HWND_TOPMOST, 0, 0, 0, 0,
                    Win::SWP_NOMOVE | Win::SWP_NOSIZE | Win::SWP_NOACTIVATE);
}

void TPopupForm::Hide()
{
  ReleaseMouseHook();
  if (Visible())
    SetVisible(false); // ends in AfterHidden
  else
    AfterHidden();
}

void TPopupForm::AfterHidden()
{
  ReleaseMouseHook();
  if (HandleAllocated() && Win::GetCapture() == Handle())
    Win::ReleaseCapture();
  if (!FOpen)
    return;
  FOpen = false;
  Closed();
}

void TPopupForm::WMActivate(TMessage& Message)
{
  if (Win::LOWORD(Message.WParam) == Win::WA_INACTIVE)
    return;
  FPrevActiveWindow = reinterpret_cast<Win::HWND>(Message.LParam);
  if (FPrevActiveWindow)
    Win::SendMessage(FPrevActiveWindow, Win::WM_NCACTIVATE, 1, 0);
}

void TPopupForm::WMActivateApp(TMessage& Message)
{
  if (Message.WParam != 0)
    return;
  if (FPrevActiveWindow && Win::IsWindow(FPrevActiveWindow))
    Win::SendMessage(FPrevActiveWindow, Win::WM_NCACTIVATE, 0, 0);
  Hide();
}

void TPopupForm::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ACTIVATE:
    WMActivate(Message);
    return;
  case Win::WM_ACTIVATEAPP:
    WMActivateApp(Message);
    return;
  case CM_VISIBLECHANGED:
    inherited::Dispatch(Message);
    if (!Visible())
      AfterHidden();
    return;
  default:
    inherited::Dispatch(Message);
  }
}

} // namespace Quorex

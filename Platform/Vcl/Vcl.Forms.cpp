#include "Vcl.Forms.hpp"

#include "System.Classes.Streaming.hpp"
#include "Vcl.ActnList.hpp"
#include "Vcl.Menus.Internal.hpp"

#include <Win.Desktop.hpp>
#include <Win.MenuBar.hpp>
#include <Win.Screen.hpp>
#include <Win.SizeMove.hpp>

#include <algorithm>
#include <filesystem>
#include <utility>

namespace Vcl {

namespace {

void WakeUp()
{
  Win::PostMessage(nullptr, Win::WM_NULL, 0, 0);
}

// The actions of a showing form and of its visible controls, each once.
// They are gathered before any runs, since an update handler may change
// the controls.
void CollectActions(const TControl* Control, std::vector<TBasicAction*>& Actions)
{
  if (TBasicAction* action = Control->Action();
      action && std::find(Actions.begin(), Actions.end(), action) == Actions.end())
    Actions.push_back(action);
  auto* container = dynamic_cast<const TWinControl*>(Control);
  if (!container)
    return;
  for (Integer i = 0; i < container->ControlCount(); ++i)
    if (const TControl* child = container->Controls(i); child->Visible())
      CollectActions(child, Actions);
}

bool UpdatesActions(const TCustomForm* Form)
{
  return Form->Showing() && !Form->ComponentState().Contains(csDesigning);
}

// The other windows are disabled while a modal form runs, and enabled
// again however the loop ends.
class TDisabledWindows {
public:
  explicit TDisabledWindows(Win::HWND Keep)
  {
    for (Win::HWND w : Win::TopLevelWindows())
      if (w != Keep && Win::IsWindowVisible(w) && Win::IsWindowEnabled(w)) {
        Win::EnableWindow(w, Win::FALSE);
        FWindows.push_back(w);
      }
  }
  ~TDisabledWindows()
  {
    for (Win::HWND w : FWindows)
      Win::EnableWindow(w, Win::TRUE);
  }
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

private:
  std::vector<Win::HWND> FWindows;
};

} // namespace

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);
TMouse* Mouse = new TMouse();

void HandleControlException(TObject* Sender)
{
  Application->HandleException(Sender);
}

// ---- TCustomForm ------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner)
{
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FVisible = false;
  FWidth = 320;
  FHeight = 240;
  SetColor(clBtnFace);
  // A form keeps a font of its own, which its controls take by default.
  SetParentFont(false);
  FPixelsPerInch = Screen->PixelsPerInch();
  Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm()
{
  Destroying();
  if (OnDestroy)
    OnDestroy(this);
  auto& forms = Screen->FForms;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (Screen->FActiveForm == this) {
    Screen->FActiveForm = nullptr;
    Screen->FActiveControl = nullptr;
  }
  if (Application->FMainForm == this)
    Application->FMainForm = nullptr;
  FMenuBar.reset();
}

void TCustomForm::CreateWnd()
{
  inherited::CreateWnd();
  if (FMenuBar && HandleAllocated())
    Win::SetMenuBar(Handle(), Win::TRUE);
}

// The menu bar comes off what the windowed control's own frame leaves.
TRect TCustomForm::ClientRect() const
{
  TRect r = inherited::ClientRect();
  if (FMenuBar)
    r.Bottom = std::max(0, r.Bottom - Win::GetSystemMetrics(Win::SM_CYMENU));
  return r;
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
  if (FMenu == Value)
    return;
  if (Value && Value->Form())
    throw EInvalidOperation(Format("Menu '%s' is already being used by another form", {Value->Name()}));
  const Integer clientHeight = ClientHeight();
  if (FMenu)
    RemoveFreeNotification(FMenu);
  FMenuBar.reset();
  FMenu = Value;
  if (FMenu) {
    FMenuBar = std::make_unique<MenusInternal::TMenuBar>(this, FMenu);
    FreeNotification(FMenu);
  }
  if (HandleAllocated())
    Win::SetMenuBar(Handle(), FMenu ? Win::TRUE : Win::FALSE);
  if (ComponentState().Contains(csLoading))
    SetClientHeight(clientHeight);
  else
    Realign();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove || !FMenu || AComponent != FMenu)
    return;
  // The menu has let go of its bar already.
  FMenu = nullptr;
  FMenuBar.reset();
  if (HandleAllocated())
    Win::SetMenuBar(Handle(), Win::FALSE);
  if (!ComponentState().Contains(csDestroying))
    Realign();
}

bool TCustomForm::IsMenuKey(const Win::MSG& Msg)
{
  return FMenuBar && FMenuBar->Key(Msg);
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style &= ~(Win::WS_CHILD | Win::WS_CLIPSIBLINGS);
  Params.WndParent = nullptr;
  switch (FBorderStyle) {
  case bsNone:
    Params.Style |= Win::WS_POPUP;
    break;
  case bsSingle:
  case bsToolWindow:
    Params.Style |= Win::WS_CAPTION | Win::WS_SYSMENU;
    break;
  case bsDialog:
    Params.Style |= Win::WS_POPUP | Win::WS_CAPTION | Win::WS_SYSMENU;
    Params.ExStyle |= Win::WS_EX_DLGMODALFRAME;
    break;
  case bsSizeable:
  case bsSizeToolWin:
    Params.Style |= Win::WS_OVERLAPPEDWINDOW;
    break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin)
    Params.ExStyle |= Win::WS_EX_TOOLWINDOW;
  if (!FBorderIcons.Contains(biSystemMenu))
    Params.Style &= ~Win::WS_SYSMENU;
  if (!FBorderIcons.Contains(biMinimize))
    Params.Style &= ~Win::WS_MINIMIZEBOX;
  if (!FBorderIcons.Contains(biMaximize))
    Params.Style &= ~Win::WS_MAXIMIZEBOX;
  if (FFormStyle == fsStayOnTop)
    Params.ExStyle |= Win::WS_EX_TOPMOST;
}

void TCustomForm::SetPixelsPerInch(Integer Value)
{
  if (Value < 1)
    throw EInvalidOperation(Format("Invalid pixels per inch: %d", {Value}));
  FPixelsPerInch = Value;
}

void TCustomForm::Loaded()
{
  inherited::Loaded();
  const Integer screen = Screen->PixelsPerInch();
  if (FScaled && FPixelsPerInch != screen) {
    ScaleBy(screen, FPixelsPerInch);
    FPixelsPerInch = screen;
  }
  if (std::exchange(FShowWhenLoaded, false))
    SetVisible(true);
}

// Hiding does not wait for the load to end; only showing does.
void TCustomForm::SetVisible(bool Value)
{
  if (Value && !Visible() && ComponentState().Contains(csLoading)) {
    FShowWhenLoaded = true;
    return;
  }
  FShowWhenLoaded = false;
  inherited::SetVisible(Value);
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
  if (FBorderIcons == Value)
    return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
  if (FBorderStyle == Value)
    return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
  if (FFormStyle == Value)
    return;
  FFormStyle = Value;
  if (HandleAllocated())
    Win::SetWindowPos(FHandle, Value == fsStayOnTop ? Win::HWND_TOPMOST : Win::HWND_NOTOPMOST, 0, 0, 0, 0,
                      Win::SWP_NOMOVE | Win::SWP_NOSIZE | Win::SWP_NOACTIVATE);
}

void TCustomForm::Show()
{
  SetVisible(true);
  if (HandleAllocated())
    Win::SetWindowPos(FHandle, Win::HWND_TOP, 0, 0, 0, 0, Win::SWP_NOMOVE | Win::SWP_NOSIZE);
}

void TCustomForm::PlaceOnScreen()
{
  if (FPlaced)
    return;
  FPlaced = true;
  TRect area(0, 0, Screen->Width(), Screen->Height());
  TCustomForm* around = nullptr;
  if (FPosition == poMainFormCenter)
    around = Application->MainForm();
  else if (FPosition == poOwnerFormCenter)
    around = dynamic_cast<TCustomForm*>(Owner());
  if (around && around != this)
    area = around->BoundsRect();
  else if (FPosition != poScreenCenter && FPosition != poDesktopCenter && FPosition != poMainFormCenter &&
           FPosition != poOwnerFormCenter)
    return;
  TRect r = CenteredRect(area, BoundsRect());
  SetBounds(r.Left, r.Top, Width(), Height());
}

void TCustomForm::CMShowingChanged(TMessage& Message)
{
  (void)Message;
  if (Showing()) {
    PlaceOnScreen();
    FFormState.Include(fsVisible);
    DoShow();
    if (HandleAllocated())
      Win::ShowWindow(FHandle, Win::SW_SHOW);
    return;
  }
  FFormState.Exclude(fsVisible);
  DoHide();
  if (HandleAllocated())
    Win::ShowWindow(FHandle, Win::SW_HIDE);
}

void TCustomForm::DoShow()
{
  if (OnShow)
    OnShow(this);
}

void TCustomForm::DoHide()
{
  if (OnHide)
    OnHide(this);
}

void TCustomForm::Activate()
{
  if (OnActivate)
    OnActivate(this);
}

void TCustomForm::Deactivate()
{
  if (OnDeactivate)
    OnDeactivate(this);
}

bool TCustomForm::CloseQuery()
{
  bool canClose = true;
  if (OnCloseQuery)
    OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
  if (OnClose)
    OnClose(this, Action);
}

void TCustomForm::Close()
{
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery())
    return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone)
    return;
  if (Application->MainForm() == this)
    Application->Terminate();
  else if (action == caFree)
    Release();
  else
    Hide();
}

void TCustomForm::Release()
{
  Win::PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CloseModal()
{
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    FModalResult = mrNone;
  else if (action == caFree)
    Release();
}

TModalResult TCustomForm::ShowModal()
{
  if (Visible() || !Enabled() || FFormState.Contains(fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  if (Win::HWND capture = Win::GetCapture()) {
    Win::SendMessage(capture, Win::WM_CANCELMODE, 0, 0);
    Win::ReleaseCapture();
  }
  Win::HWND previous = Win::GetActiveWindow();
  FFormState.Include(fsModal);
  FModalResult = mrNone;
  try {
    TDisabledWindows disabled(Handle());
    Show();
    do {
      Application->HandleMessage();
      if (Application->Terminated())
        FModalResult = mrCancel;
      else if (FModalResult != mrNone)
        CloseModal();
    } while (FModalResult == mrNone);
  } catch (...) {
    FFormState.Exclude(fsModal);
    Hide();
    throw;
  }
  FFormState.Exclude(fsModal);
  Hide();
  if (Win::IsWindow(previous))
    Win::SetActiveWindow(previous);
  return FModalResult;
}

bool TCustomForm::CanFocus() const
{
  return Visible() && Enabled();
}

void TCustomForm::SetWindowFocus()
{
  Win::HWND focus = FActiveControl && FActiveControl->CanFocus() ? FActiveControl->Handle() : Handle();
  Win::SetFocus(focus);
}

void TCustomForm::SetFocus()
{
  if (FActive)
    return;
  if (!CanFocus())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

// A form being loaded is not showing yet: its active control is taken as
// the control to focus once it is.
void TCustomForm::SetActiveControl(TWinControl* Control)
{
  const bool loading = ComponentState().Contains(csLoading);
  if (Control && (Control == this || GetParentForm(Control) != this || (!loading && !Control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = Control;
  if (FActive)
    SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control)
{
  bool wasActive = FActive;
  SetActiveControl(Control);
  if (!wasActive)
    SetFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
  if (ComponentState().Contains(csDestroying))
    return true;
  Screen->FActiveControl = Control;
  if (FFocusedControl == Control)
    return true;
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  if (Control != this)
    FActiveControl = Control;
  // CM_EXIT up from the old control, CM_ENTER down to the new one, each
  // stopping at the container both share.
  for (TWinControl* c = old; c && c != this && !c->ContainsControl(Control); c = c->Parent())
    c->Perform(CM_EXIT);
  std::vector<TWinControl*> entered;
  for (TWinControl* c = Control; c && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
    entered.push_back(c);
  for (auto it = entered.rbegin(); it != entered.rend(); ++it)
    (*it)->Perform(CM_ENTER);
  Perform(CM_FOCUSCHANGED, 0, Win::LPARAM(Control));
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing)
{
  if (ComponentState().Contains(csDestroying))
    return;
  if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl))
    FFocusedControl = Control->Parent() != this ? Control->Parent() : nullptr;
  if (FActiveControl && Control->ContainsControl(FActiveControl)) {
    FActiveControl = nullptr;
    if (FActive && HandleAllocated())
      Win::SetFocus(FHandle);
  }
  if (Screen->FActiveControl && Control->ContainsControl(Screen->FActiveControl))
    Screen->FActiveControl = nullptr;
}

void TCustomForm::WMActivate(TMessage& Message)
{
  FActive = Win::LOWORD(Message.WParam) != Win::WA_INACTIVE;
  if (!FActive) {
    Deactivate();
    return;
  }
  Screen->FActiveForm = this;
  FFormState.Include(fsActivated);
  SetWindowFocus();
  Activate();
}

void TCustomForm::CMDialogKey(TMessage& Message)
{
  if (Win::GetKeyState(Win::VK_MENU) >= 0) {
    bool shift = Win::GetKeyState(Win::VK_SHIFT) < 0;
    switch (Message.WParam) {
    case Win::VK_TAB:
      if (Win::GetKeyState(Win::VK_CONTROL) >= 0) {
        SelectNext(FActiveControl, !shift, true);
        Message.Result = 1;
        return;
      }
      break;
    case Win::VK_LEFT:
    case Win::VK_RIGHT:
    case Win::VK_UP:
    case Win::VK_DOWN:
      if (FActiveControl && FActiveControl->Parent()) {
        FActiveControl->Parent()->SelectNext(FActiveControl,
                                             Message.WParam == Win::VK_RIGHT || Message.WParam == Win::VK_DOWN, false);
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
    }
  }
  Broadcast(Message);
}

void TCustomForm::UpdateActions()
{
  if (!UpdatesActions(this))
    return;
  std::vector<TBasicAction*> actions;
  CollectActions(this, actions);
  Vcl::UpdateActions(actions);
}

namespace {

// The frame is the form's, yet controls that keep drawings at their size want
// to know that a size is only passing: every windowed control on the form
// hears the start and the end of an interactive resize.
void PassSizeMove(TWinControl* Parent, Win::UINT Msg)
{
  for (Integer i = 0; i < Parent->ControlCount(); ++i)
    if (auto* control = dynamic_cast<TWinControl*>(Parent->Controls(i))) {
      control->Perform(Msg);
      PassSizeMove(control, Msg);
    }
}

} // namespace

void TCustomForm::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ENTERSIZEMOVE:
  case Win::WM_EXITSIZEMOVE:
    inherited::Dispatch(Message);
    PassSizeMove(this, Message.Msg);
    return;
  case Win::WM_ACTIVATE:
    WMActivate(Message);
    return;
  case Win::WM_CLOSE:
    Close();
    return;
  case CM_DIALOGKEY:
    CMDialogKey(Message);
    return;
  case Win::WM_NCPAINT:
    // The scroll bars first, then the menu bar.
    inherited::Dispatch(Message);
    if (FMenuBar)
      FMenuBar->Message(Message);
    return;
  case Win::WM_NCMOUSEMOVE:
  case Win::WM_NCMOUSELEAVE:
  case Win::WM_NCLBUTTONDOWN:
  case Win::WM_NCLBUTTONDBLCLK:
    if (!FMenuBar || !FMenuBar->Message(Message))
      inherited::Dispatch(Message);
    return;
  case CM_SHOWINGCHANGED:
    CMShowingChanged(Message);
    return;
  case CM_RELEASE:
    delete this;
    return;
  default:
    inherited::Dispatch(Message);
  }
}

// ---- TApplication -------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>())
{
  WakeMainThread = &WakeUp;
}

TApplication::~TApplication()
{
  WakeMainThread = nullptr;
  if (Win::IsWindow(FHandle))
    DeallocateHWnd(FHandle);
}

Win::HWND TApplication::Handle()
{
  if (!Win::IsWindow(FHandle))
    FHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  return FHandle;
}

void TApplication::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ACTIVATEAPP:
    FActive = Message.WParam != 0;
    if (FActive && OnActivate)
      OnActivate(this);
    else if (!FActive && OnDeactivate)
      OnDeactivate(this);
    return;
  case Win::WM_NULL:
    CheckSynchronize();
    return;
  default:
    Message.Result = Win::DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
  }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMainForm)
    FMainForm = nullptr;
}

bool TApplication::IsPreProcessMessage(Win::MSG& Msg)
{
  TWinControl* control = TWinControl::FindControl(Msg.hwnd);
  return control && control->PreProcessMessage(Msg);
}

bool TApplication::IsKeyMsg(Win::MSG& Msg)
{
  if (Msg.message < Win::WM_KEYDOWN || Msg.message > Win::WM_SYSCHAR)
    return false;
  Win::HWND wnd = Msg.hwnd;
  while (wnd && !TWinControl::FindControl(wnd))
    wnd = Win::GetParent(wnd);
  if (!wnd)
    return false;
  // The form's menu bar has the first say, as its shortcuts beat the keys
  // of the control with the focus.
  if (TCustomForm* form = GetParentForm(TWinControl::FindControl(wnd)); form && form->IsMenuKey(Msg))
    return true;
  return Win::SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::ProcessMessage(Win::MSG& Msg)
{
  if (!Win::PeekMessage(&Msg, nullptr, 0, 0, Win::PM_REMOVE))
    return false;
  if (Msg.message == Win::WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  if (OnMessage)
    OnMessage(Msg, handled);
  if (handled || IsPreProcessMessage(Msg) || IsKeyMsg(Msg))
    return true;
  Win::TranslateMessage(&Msg);
  Win::DispatchMessage(&Msg);
  return true;
}

void TApplication::ProcessMessages()
{
  Win::MSG msg;
  for (;;) {
    bool any = ProcessMessage(msg);
    any = CheckSynchronize() || any;
    if (!any)
      return;
  }
}

void TApplication::Idle()
{
  if (OnIdle)
    OnIdle(this);
  DoActionIdle();
  if (!CheckSynchronize())
    Win::WaitMessage();
}

void TApplication::DoActionIdle()
{
  std::vector<TBasicAction*> actions;
  for (Integer i = 0; i < Screen->FormCount(); ++i)
    if (UpdatesActions(Screen->Forms(i)))
      CollectActions(Screen->Forms(i), actions);
  UpdateActions(actions);
}

void TApplication::HandleMessage()
{
  Win::MSG msg;
  if (!ProcessMessage(msg))
    Idle();
}

void TApplication::Run()
{
  if (FMainForm && FShowMainForm)
    FMainForm->Show();
  while (!FTerminated)
    HandleMessage();
}

void TApplication::Terminate()
{
  Win::PostQuitMessage(0);
}

void TApplication::HandleException(TObject* Sender)
{
  try {
    throw;
  } catch (const EAbort&) {
    return;
  } catch (const std::exception& e) {
    if (!OnException)
      throw;
    OnException(Sender, e);
  }
}

String TApplication::ExeName() const
{
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? String() : path.string();
}

// ---- TScreen ----------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

Integer TScreen::PixelsPerInch() const
{
  return Win::ScreenSettings().LogPixels;
}

Integer TScreen::Width() const
{
  return Win::ScreenSettings().Width;
}

Integer TScreen::Height() const
{
  return Win::ScreenSettings().Height;
}

Win::HCURSOR TScreen::Cursors(TCursor Index) const
{
  return CursorHandle(Index);
}

void TScreen::SetCursors(TCursor Index, Win::HCURSOR Handle)
{
  SetCursorHandle(Index, Handle);
}

void TScreen::SetCursor(TCursor Value)
{
  SetScreenCursor(Value);
  if (Value != crDefault) {
    Win::SetCursor(Cursors(Value));
    return;
  }
  Win::POINT p;
  Win::GetCursorPos(&p);
  if (Win::HWND w = Win::WindowFromPoint(p))
    Win::SendMessage(w, Win::WM_SETCURSOR, Win::WPARAM(w), Win::MAKELPARAM(int(Win::HTCLIENT), int(Win::WM_MOUSEMOVE)));
}

// ---- TMouse -------------------------------------------------------------------------------------

TPoint TMouse::CursorPos() const
{
  Win::POINT p;
  Win::GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(TPoint Value)
{
  Win::SetCursorPos(Value.X, Value.Y);
}

// Resources saved by a form designer also carry the designer's own notes (the
// font height it measured, the creation-order flag); they say nothing about
// the form here and are read and dropped.
void TCustomForm::DefineProperties(TFiler* Filer)
{
  inherited::DefineProperties(Filer);
  Filer->DefineProperty("TextHeight", [](TReader* Reader) { Reader->ReadInteger(); }, nullptr, false);
  Filer->DefineProperty("OldCreateOrder", [](TReader* Reader) { Reader->ReadBoolean(); }, nullptr, false);
}

} // namespace Vcl

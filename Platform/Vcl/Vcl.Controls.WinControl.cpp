// The windowed control: its window handle, its children and the way its
// messages are handled; the utility windows of AllocateHWnd.
#include "Vcl.Controls.Internal.hpp"
#include "Vcl.Controls.Padding.hpp"

#include <Win.Edit.hpp>

#include <algorithm>

namespace Vcl {

using namespace ControlsInternal;

namespace {

// The control whose window CreateWindowEx is making: its first messages
// arrive before the handle is known.
TWinControl* gCreatingControl = nullptr;

bool IsMouseMessage(Win::UINT Msg)
{
  return Msg >= Win::WM_MOUSEFIRST && Msg <= Win::WM_MOUSELAST && Msg != Win::WM_MOUSEWHEEL;
}

} // namespace

// ---- TWinControl -------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner)
  : TControl(AOwner), FBrush(std::make_unique<TBrush>()), FPadding(std::make_unique<TPadding>(this))
{
  FWindowed = true;
  FBrush->SetColor(Color());
}

TWinControl::~TWinControl()
{
  Destroying();
  if (FParent) {
    RemoveFocus(true);
    FParent->RemoveControl(this);
  }
  // Children go with their parent, whoever owns them.
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    RemoveControl(child);
    delete child;
  }
  DestroyHandle();
}

TWinControl* TWinControl::FindControl(Win::HWND Handle)
{
  if (!Win::IsWindow(Handle) ||
      Win::GetWindowLongPtr(Handle, Win::GWLP_WNDPROC) != reinterpret_cast<Win::LONG_PTR>(&ControlWndProc))
    return nullptr;
  return reinterpret_cast<TWinControl*>(Win::GetWindowLongPtr(Handle, Win::GWLP_USERDATA));
}

Win::LRESULT TWinControl::ControlWndProc(Win::HWND hWnd, Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam)
{
  auto* control = reinterpret_cast<TWinControl*>(Win::GetWindowLongPtr(hWnd, Win::GWLP_USERDATA));
  if (!control && gCreatingControl) {
    control = gCreatingControl;
    gCreatingControl = nullptr;
    control->FHandle = hWnd;
    Win::SetWindowLongPtr(hWnd, Win::GWLP_USERDATA, Win::LONG_PTR(control));
  }
  if (!control)
    return Win::DefWindowProc(hWnd, Msg, WParam, LParam);
  TMessage message{Msg, WParam, LParam, 0};
  control->MainWndProc(message);
  return message.Result;
}

void TWinControl::MainWndProc(TMessage& Message)
{
  try {
    WindowProc(Message);
  } catch (...) {
    HandleControlException(this);
  }
}

Win::HWND TWinControl::Handle()
{
  if (!FHandle)
    CreateHandle();
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = Win::WS_CHILD | Win::WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= Win::WS_CLIPCHILDREN;
    Params.ExStyle |= Win::WS_EX_CONTROLPARENT;
  }
  if (!Enabled())
    Params.Style |= Win::WS_DISABLED;
  if (FTabStop)
    Params.Style |= Win::WS_TABSTOP;
  Params.X = Left();
  Params.Y = Top();
  Params.Width = Width();
  Params.Height = Height();
  if (FParent)
    Params.WndParent = FParent->Handle();
  else
    Params.WndParent = FParentWindow;
  Params.WindowClass.style = FControlStyle.Contains(csDoubleClicks) ? Win::CS_DBLCLKS : 0;
  Params.WindowClass.hCursor = Win::LoadCursor(nullptr, Win::IDC_ARROW);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateHandle()
{
  if (FHandle)
    return;
  CreateWnd();
  if (!FHandle)
    return;
  // Children that show get their windows now, in z-order.
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c))
      w->UpdateShowing();
  CreateHandleDone();
}

void TWinControl::CreateWnd()
{
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & Win::WS_CHILD) && !params.WndParent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  params.WindowClass.lpfnWndProc = &ControlWndProc;
  params.WindowClass.lpszClassName = params.WinClassName.c_str();
  Win::RegisterClass(params.WindowClass);
  CreateWindowHandle(params);
  if (!FHandle)
    throw EOutOfResources("Error creating window");
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
  gCreatingControl = this;
  Win::HWND h = Win::CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(),
                                     Params.Style & ~Win::WS_VISIBLE, Params.X, Params.Y, Params.Width,
                                     Params.Height, Params.WndParent, nullptr, nullptr, nullptr);
  gCreatingControl = nullptr;
  FHandle = h;
}

void TWinControl::FreeCanvasHandles()
{
  if (auto* custom = dynamic_cast<TCustomControl*>(this))
    static_cast<TControlCanvas*>(custom->Canvas())->FreeHandle();
  for (TControl* c : FControls)
    if (auto* g = dynamic_cast<TGraphicControl*>(c))
      static_cast<TControlCanvas*>(g->Canvas())->FreeHandle();
}

void TWinControl::DestroyHandle()
{
  if (!FHandle)
    return;
  FControlState.Include(csDestroyingHandle);
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c))
      w->DestroyHandle();
  FreeCanvasHandles();
  DestroyWnd();
  FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd()
{
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
  Win::HWND h = FHandle;
  FShowing = false;
  Win::DestroyWindow(h);
  FHandle = nullptr;
}

void TWinControl::RecreateWnd()
{
  if (!FHandle)
    return;
  FControlState.Include(csRecreating);
  DestroyHandle();
  FControlState.Exclude(csRecreating);
  UpdateShowing();
  if (!FHandle && (FParent ? FParent->HandleAllocated() : ShowsWithoutParent()))
    HandleNeeded();
}

void TWinControl::SetParentWindow(Win::HWND Value)
{
  if (FParent || FParentWindow == Value)
    return;
  DestroyHandle();
  FParentWindow = Value;
  UpdateShowing();
}

void TWinControl::UpdateShowing()
{
  bool show = Visible() && (FParent ? FParent->FShowing : ShowsWithoutParent());
  if (show && !FHandle)
    CreateHandle();
  if (FShowing == show)
    return;
  FShowing = show;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c))
      w->UpdateShowing();
  Perform(CM_SHOWINGCHANGED);
}

void TWinControl::CMShowingChanged(TMessage& Message)
{
  (void)Message;
  if (!FHandle)
    return;
  Win::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                    Win::SWP_NOSIZE | Win::SWP_NOMOVE | Win::SWP_NOZORDER | Win::SWP_NOACTIVATE |
                      (FShowing ? Win::SWP_SHOWWINDOW : Win::SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& Message)
{
  (void)Message;
  if (!Visible() && FParent)
    RemoveFocus(false);
  UpdateShowing();
}

void TWinControl::CMEnabledChanged(TMessage& Message)
{
  (void)Message;
  if (!Enabled() && FParent)
    RemoveFocus(false);
  if (FHandle)
    Win::EnableWindow(FHandle, Enabled() ? Win::TRUE : Win::FALSE);
  Invalidate();
}

void TWinControl::CMColorChanged(TMessage& Message)
{
  (void)Message;
  FBrush->SetColor(Color());
  NotifyControls(CM_PARENTCOLORCHANGED);
  Invalidate();
}

void TWinControl::CMFontChanged(TMessage& Message)
{
  (void)Message;
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
}

void TWinControl::CMTextChanged(TMessage& Message)
{
  (void)Message;
  Invalidate();
}

void TWinControl::CMBiDiModeChanged(TMessage& Message)
{
  (void)Message;
  NotifyControls(CM_PARENTBIDIMODECHANGED);
  Invalidate();
}

void TWinControl::CMCtl3DChanged(TMessage& Message)
{
  (void)Message;
  NotifyControls(CM_PARENTCTL3DCHANGED);
  Invalidate();
}

void TWinControl::CMParentDoubleBufferedChanged(TMessage& Message)
{
  (void)Message;
  if (!FParentDoubleBuffered || !FParent)
    return;
  SetDoubleBuffered(FParent->DoubleBuffered());
  FParentDoubleBuffered = true;
}

void TWinControl::InsertControl(TControl* AControl)
{
  if (!AControl || AControl->FParent == this)
    return;
  if (AControl == this || (dynamic_cast<TWinControl*>(AControl) &&
                           static_cast<TWinControl*>(AControl)->ContainsControl(this)))
    throw EInvalidOperation("A control cannot have itself as its parent");
  FControls.push_back(AControl);
  AControl->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(AControl))
    InsertTabList(w);
  AControl->Perform(CM_PARENTCOLORCHANGED);
  AControl->Perform(CM_PARENTFONTCHANGED);
  AControl->Perform(CM_PARENTSHOWHINTCHANGED);
  AControl->Perform(CM_PARENTBIDIMODECHANGED);
  AControl->Perform(CM_PARENTCTL3DCHANGED);
  AControl->Perform(CM_PARENTDOUBLEBUFFEREDCHANGED);
  AControl->UpdateAnchorRules();
  if (auto* w = dynamic_cast<TWinControl*>(AControl))
    w->UpdateShowing();
  else
    AControl->Invalidate();
  Realign();
  Perform(CM_CONTROLCHANGE, Win::WPARAM(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl)
{
  auto it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it == FControls.end())
    return;
  Perform(CM_CONTROLCHANGE, Win::WPARAM(AControl), 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->RemoveFocus(true);
    w->DestroyHandle();
    w->FShowing = false;
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  } else {
    AControl->Invalidate();
    if (auto* g = dynamic_cast<TGraphicControl*>(AControl))
      static_cast<TControlCanvas*>(g->Canvas())->FreeHandle();
  }
  if (gMouseControl == AControl)
    gMouseControl = nullptr;
  if (gCaptureControl == AControl) {
    gCaptureControl = nullptr;
    Win::ReleaseCapture();
  }
  FControls.erase(std::find(FControls.begin(), FControls.end(), AControl));
  AControl->FParent = nullptr;
  Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
  for (const TControl* c = Control; c; c = c->Parent())
    if (c == this)
      return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls)
{
  for (size_t i = FControls.size(); i-- > 0;) {
    TControl* c = FControls[i];
    if ((c->FWindowed && !AllowWinControls) || !c->Visible() || (!c->Enabled() && !AllowDisabled))
      continue;
    if (!c->BoundsRect().Contains(Pos))
      continue;
    if (c->HitTestAt(TPoint(Pos.X - c->Left(), Pos.Y - c->Top())))
      return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
  std::vector<TControl*> controls = FControls;
  for (TControl* c : controls) {
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end())
      continue;
    c->WindowProc(Message);
    if (Message.Result != 0)
      return;
  }
}

void TWinControl::NotifyControls(Win::UINT Msg)
{
  TMessage m{Msg, 0, 0, 0};
  Broadcast(m);
}

// ---- messages -----------------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_SETFOCUS:
    if (TWinControl* form = FormControl(true); form && !form->SetFocusedControl(this))
      return;
    break;
  case Win::WM_NCDESTROY:
    inherited::WndProc(Message);
    Win::SetWindowLongPtr(FHandle, Win::GWLP_USERDATA, 0);
    FHandle = nullptr;
    FShowing = false;
    return;
  case Win::WM_MOUSEMOVE:
    // Also when a graphic child takes the move: leaving the window from
    // the child must be noticed too.
    TrackMouseLeave();
    if (IsControlMouseMsg(Message))
      return;
    break;
  default:
    if (IsMouseMessage(Message.Msg) && IsControlMouseMsg(Message)) {
      // A graphic child's right click asks this window for its context
      // menu, which hands it back to the child under the point.
      if (Message.Msg == Win::WM_RBUTTONUP && Message.Result == 0 && FHandle)
        DefaultHandler(Message);
      return;
    }
    break;
  }
  inherited::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_PAINT:
    WMPaint(Message);
    return;
  case Win::WM_ERASEBKGND:
    WMEraseBkgnd(Message);
    return;
  case Win::WM_SETCURSOR:
    WMSetCursor(Message);
    return;
  case Win::WM_SIZE:
  case Win::WM_MOVE:
    WMSize(Message);
    return;
  case Win::WM_SETFOCUS:
    WMSetFocus(Message);
    return;
  case Win::WM_KILLFOCUS:
    WMKillFocus(Message);
    return;
  case Win::WM_MOUSELEAVE:
    WMMouseLeave(Message);
    return;
  case Win::WM_NCCALCSIZE:
    WMNCCalcSize(Message);
    return;
  case Win::WM_NCPAINT:
    WMNCPaint(Message);
    return;
  case Win::WM_KEYDOWN:
  case Win::WM_SYSKEYDOWN:
    if (!DoKeyDown(Message))
      DefaultHandler(Message);
    return;
  case Win::WM_KEYUP:
  case Win::WM_SYSKEYUP:
    if (!DoKeyUp(Message))
      DefaultHandler(Message);
    return;
  case Win::WM_CHAR:
    if (!DoKeyPress(Message))
      DefaultHandler(Message);
    return;
  case Win::WM_COMMAND:
    ReflectToChild(Message, reinterpret_cast<Win::HWND>(Message.LParam));
    return;
  case Win::WM_NOTIFY:
    ReflectToChild(Message, Message.LParam ? reinterpret_cast<const Win::NMHDR*>(Message.LParam)->hwndFrom : nullptr);
    return;
  case Win::WM_CTLCOLOREDIT:
  case Win::WM_CTLCOLORSTATIC:
    ReflectToChild(Message, reinterpret_cast<Win::HWND>(Message.LParam));
    return;
  case Win::WM_HSCROLL:
  case Win::WM_VSCROLL:
    // A child control's scroll notice is the child's; the window's own bars
    // (no child named) are the window's.
    if (Message.LParam)
      ReflectToChild(Message, reinterpret_cast<Win::HWND>(Message.LParam));
    else
      DefaultHandler(Message);
    return;
  case Win::WM_DRAWITEM:
    ReflectToChild(Message,
                   Message.LParam ? reinterpret_cast<const Win::DRAWITEMSTRUCT*>(Message.LParam)->hwndItem : nullptr);
    return;
  case Win::WM_CONTEXTMENU:
    WMContextMenu(Message);
    return;
  case Win::WM_CAPTURECHANGED:
    if (gCaptureControl && (gCaptureControl == this || gCaptureControl->Parent() == this))
      gCaptureControl = nullptr;
    DefaultHandler(Message);
    return;
  case CN_KEYDOWN:
  case CN_SYSKEYDOWN:
    CNKeyDown(Message);
    return;
  case CN_CHAR:
  case CN_SYSCHAR:
    CNChar(Message);
    return;
  case CM_DIALOGKEY:
    CMDialogKey(Message);
    return;
  case CM_DIALOGCHAR:
    CMDialogChar(Message);
    return;
  case CM_FOCUSCHANGED:
    Broadcast(Message);
    return;
  case CM_COLORCHANGED:
    CMColorChanged(Message);
    return;
  case CM_FONTCHANGED:
    CMFontChanged(Message);
    return;
  case CM_SHOWINGCHANGED:
    CMShowingChanged(Message);
    return;
  case CM_VISIBLECHANGED:
    CMVisibleChanged(Message);
    return;
  case CM_ENABLEDCHANGED:
    CMEnabledChanged(Message);
    return;
  case CM_TEXTCHANGED:
    CMTextChanged(Message);
    return;
  case CM_BIDIMODECHANGED:
    CMBiDiModeChanged(Message);
    return;
  case CM_CTL3DCHANGED:
    CMCtl3DChanged(Message);
    return;
  case CM_PARENTDOUBLEBUFFEREDCHANGED:
    CMParentDoubleBufferedChanged(Message);
    return;
  case CM_ENTER:
    CMEnter(Message);
    return;
  case CM_EXIT:
    CMExit(Message);
    return;
  default:
    inherited::Dispatch(Message);
  }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
  if (FHandle)
    Message.Result = Win::DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::ReflectToChild(TMessage& Message, Win::HWND Child)
{
  if (TWinControl* control = Child ? Vcl::FindControl(Child) : nullptr) {
    Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message)
{
  DefaultHandler(Message);
  if (!FHandle)
    return;
  // Moved or sized by the window system (a top-level window by the user, a
  // child in a deferred batch): the control takes the window's bounds.
  Win::RECT r;
  Win::GetWindowRect(FHandle, &r);
  if (Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE) & Win::WS_CHILD) {
    Win::POINT parentOrigin;
    Win::ClientToScreen(Win::GetParent(FHandle), &parentOrigin);
    r.Offset(-parentOrigin.X, -parentOrigin.Y);
  }
  if (r == BoundsRect())
    return;
  if (!FParent) {
    TControl::SetBounds(r.Left, r.Top, r.Width(), r.Height());
    return;
  }
  // The window is where it is: no size checks, nothing moved back.
  TSize oldClient = ClientRect().Size();
  bool sized = r.Size() != BoundsRect().Size();
  FLeft = r.Left;
  FTop = r.Top;
  FWidth = r.Width();
  FHeight = r.Height();
  UpdateAnchorRules();
  if (!sized)
    return;
  SizeChanged(oldClient);
  Resize();
}

void TWinControl::WMSetFocus(TMessage& Message)
{
  DefaultHandler(Message);
}

void TWinControl::WMKillFocus(TMessage& Message)
{
  DefaultHandler(Message);
}

// ---- utility windows -------------------------------------------------------------------------------

namespace {

using TUtilMethod = std::function<void(TMessage&)>;

Win::LRESULT UtilWndProc(Win::HWND hWnd, Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam)
{
  auto* method = reinterpret_cast<TUtilMethod*>(Win::GetWindowLongPtr(hWnd, Win::GWLP_USERDATA));
  if (Msg == Win::WM_NCDESTROY) {
    Win::SetWindowLongPtr(hWnd, Win::GWLP_USERDATA, 0);
    delete method;
    return 0;
  }
  if (!method)
    return Win::DefWindowProc(hWnd, Msg, WParam, LParam);
  TMessage message{Msg, WParam, LParam, 0};
  try {
    (*method)(message);
  } catch (...) {
    HandleControlException(nullptr);
  }
  return message.Result;
}

constexpr const char* kUtilClass = "TPUtilWindow";

} // namespace

Win::HWND AllocateHWnd(std::function<void(TMessage&)> Method)
{
  Win::WNDCLASS wc;
  wc.lpfnWndProc = &UtilWndProc;
  wc.lpszClassName = kUtilClass;
  Win::RegisterClass(wc);
  Win::HWND h = Win::CreateWindowEx(Win::WS_EX_TOOLWINDOW, kUtilClass, "", Win::WS_POPUP, 0, 0, 0, 0, nullptr,
                                     nullptr, nullptr, nullptr);
  if (!h)
    throw EOutOfResources("Error creating window");
  Win::SetWindowLongPtr(h, Win::GWLP_USERDATA, Win::LONG_PTR(new TUtilMethod(std::move(Method))));
  return h;
}

void DeallocateHWnd(Win::HWND Wnd)
{
  Win::DestroyWindow(Wnd);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
  TControl::GetChildren(Proc, Root);
  for (Integer i = 0; i < ControlCount(); ++i)
    if (Controls(i)->Owner() == Root)
      Proc(Controls(i));
}

} // namespace Vcl

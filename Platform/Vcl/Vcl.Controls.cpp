#include "Vcl.Controls.hpp"
#include "Vcl.Forms.hpp"
#include "Vcl.Menus.hpp"

#include <Win.Gdi.Internal.hpp>

#include <algorithm>

namespace Vcl {

namespace {

TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;
// The control whose window CreateWindowEx is making: its first messages
// arrive before the handle is known.
TWinControl* gCreatingControl = nullptr;

Win::HWND ParentHandleOf(const TControl* Control)
{
  TWinControl* parent = Control->Parent();
  return parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
}

void SetMouseControl(TControl* Control)
{
  if (gMouseControl == Control)
    return;
  TControl* old = gMouseControl;
  gMouseControl = Control;
  if (old)
    old->Perform(CM_MOUSELEAVE);
  if (Control && gMouseControl == Control)
    Control->Perform(CM_MOUSEENTER);
}

bool IsMouseMessage(Win::UINT Msg)
{
  return Msg >= Win::WM_MOUSEFIRST && Msg <= Win::WM_MOUSELAST && Msg != Win::WM_MOUSEWHEEL;
}

} // namespace

TShiftState KeysToShiftState(Win::WPARAM Keys)
{
  TShiftState s;
  if (Keys & Win::MK_SHIFT)
    s.Include(ssShift);
  if (Keys & Win::MK_CONTROL)
    s.Include(ssCtrl);
  if (Keys & Win::MK_LBUTTON)
    s.Include(ssLeft);
  if (Keys & Win::MK_RBUTTON)
    s.Include(ssRight);
  if (Keys & Win::MK_MBUTTON)
    s.Include(ssMiddle);
  if (Win::GetKeyState(Win::VK_MENU) < 0)
    s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(Win::LPARAM KeyData)
{
  (void)KeyData;
  TShiftState s;
  if (Win::GetKeyState(Win::VK_SHIFT) < 0)
    s.Include(ssShift);
  if (Win::GetKeyState(Win::VK_CONTROL) < 0)
    s.Include(ssCtrl);
  if (Win::GetKeyState(Win::VK_MENU) < 0)
    s.Include(ssAlt);
  return s;
}

Win::HCURSOR CursorHandle(TCursor Cursor)
{
  return Screen->Cursors(Cursor);
}

TControl* GetCaptureControl()
{
  Win::HWND capture = Win::GetCapture();
  if (!capture)
    return nullptr;
  if (gCaptureControl && gCaptureControl->Parent() && ParentHandleOf(gCaptureControl) == capture)
    return gCaptureControl;
  return FindControl(capture);
}

TControl* MouseControl()
{
  return gMouseControl;
}

TCustomForm* GetParentForm(const TControl* Control, bool TopForm)
{
  TCustomForm* found = nullptr;
  for (const TControl* c = Control; c; c = c->Parent()) {
    if (auto* form = dynamic_cast<TCustomForm*>(const_cast<TControl*>(c))) {
      found = form;
      if (!TopForm)
        break;
    }
  }
  return found;
}

TWinControl* FindControl(Win::HWND Handle)
{
  return TWinControl::FindControl(Handle);
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled)
{
  TWinControl* window = FindControl(Win::WindowFromPoint(Pos));
  if (!window)
    return nullptr;
  if (TControl* child = window->ControlAtPos(window->ScreenToClient(Pos), AllowDisabled))
    return child;
  return window;
}

// ---- TSizeConstraints ---------------------------------------------------------------

void TSizeConstraints::Assign(const TPersistent* Source)
{
  auto* other = dynamic_cast<const TSizeConstraints*>(Source);
  if (!other) {
    inherited::Assign(Source);
    return;
  }
  FMinWidth = other->FMinWidth;
  FMaxWidth = other->FMaxWidth;
  FMinHeight = other->FMinHeight;
  FMaxHeight = other->FMaxHeight;
  Set(FMinWidth, FMinWidth);
}

void TSizeConstraints::Set(Integer& Field, Integer Value)
{
  Field = std::max(Value, 0);
  if (FControl)
    FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
}

void TSizeConstraints::Apply(Integer& Width, Integer& Height) const
{
  if (FMaxWidth > 0)
    Width = std::min(Width, FMaxWidth);
  if (FMaxHeight > 0)
    Height = std::min(Height, FMaxHeight);
  Width = std::max(Width, FMinWidth);
  Height = std::max(Height, FMinHeight);
}

// ---- TControlCanvas -------------------------------------------------------------------

TControlCanvas::~TControlCanvas()
{
  FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value)
{
  if (FControl == Value)
    return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle()
{
  if (!FDeviceContext)
    return;
  Win::HDC dc = FDeviceContext;
  FDeviceContext = nullptr;
  if (HandleAllocated())
    SetHandle(nullptr);
  if (Win::IsWindow(FWindowHandle))
    Win::ReleaseDC(FWindowHandle, dc);
  else
    delete dc; // its window went first: the context is only memory now
  FWindowHandle = nullptr;
}

void TControlCanvas::CreateHandle()
{
  if (!FControl)
    return;
  auto* windowed = dynamic_cast<TWinControl*>(FControl);
  Win::HWND window = windowed ? windowed->Handle() : ParentHandleOf(FControl);
  if (!window)
    return;
  Win::HDC dc = Win::GetDC(window);
  if (!windowed) {
    Win::SetWindowOrgEx(dc, -FControl->Left(), -FControl->Top(), nullptr);
    Win::IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  FDeviceContext = dc;
  FWindowHandle = window;
  SetHandle(dc);
}

// ---- TControl ----------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
  : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)), FFont(std::make_unique<TFont>())
{
  WindowProc = [this](TMessage& M) { WndProc(M); };
  FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl()
{
  Destroying();
  if (gMouseControl == this)
    gMouseControl = nullptr;
  if (gCaptureControl == this) {
    gCaptureControl = nullptr;
    Win::ReleaseCapture();
  }
  if (FParent)
    FParent->RemoveControl(this);
}

Win::LRESULT TControl::Perform(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam)
{
  TMessage m{Msg, WParam, LParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message)
{
  Win::UINT msg = Message.Msg;
  if ((msg == Win::WM_LBUTTONDBLCLK || msg == Win::WM_RBUTTONDBLCLK || msg == Win::WM_MBUTTONDBLCLK) &&
      !FControlStyle.Contains(csDoubleClicks))
    Message.Msg = msg = msg - 2; // a double click becomes a second press
  if (msg == Win::WM_LBUTTONDOWN || msg == Win::WM_LBUTTONDBLCLK) {
    if (FControlStyle.Contains(csCaptureMouse))
      SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents))
      FControlState.Include(csClicked);
    FControlState.Include(csLButtonDown);
  } else if (msg == Win::WM_LBUTTONUP) {
    FControlState.Exclude(csLButtonDown);
    if (FControlStyle.Contains(csCaptureMouse))
      SetMouseCapture(false);
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_LBUTTONDOWN:
    WMMouseDown(Message, mbLeft, {});
    return;
  case Win::WM_RBUTTONDOWN:
    WMMouseDown(Message, mbRight, {});
    return;
  case Win::WM_MBUTTONDOWN:
    WMMouseDown(Message, mbMiddle, {});
    return;
  case Win::WM_LBUTTONDBLCLK:
    SendCancelMode();
    if (FControlStyle.Contains(csClickEvents))
      DblClick();
    WMMouseDown(Message, mbLeft, {ssDouble});
    return;
  case Win::WM_RBUTTONDBLCLK:
    WMMouseDown(Message, mbRight, {ssDouble});
    return;
  case Win::WM_MBUTTONDBLCLK:
    WMMouseDown(Message, mbMiddle, {ssDouble});
    return;
  case Win::WM_LBUTTONUP:
    WMMouseUp(Message, mbLeft);
    return;
  case Win::WM_RBUTTONUP:
    WMMouseUp(Message, mbRight);
    return;
  case Win::WM_MBUTTONUP:
    WMMouseUp(Message, mbMiddle);
    return;
  case Win::WM_MOUSEMOVE:
    WMMouseMove(Message);
    return;
  case Win::WM_MOUSEWHEEL:
    WMMouseWheel(Message);
    return;
  case CM_HITTEST:
    CMHitTest(Message);
    return;
  case CM_MOUSEENTER:
    CMMouseEnter(Message);
    return;
  case CM_MOUSELEAVE:
    CMMouseLeave(Message);
    return;
  case CM_PARENTFONTCHANGED:
    CMParentFontChanged(Message);
    return;
  case CM_PARENTCOLORCHANGED:
    CMParentColorChanged(Message);
    return;
  case CM_PARENTSHOWHINTCHANGED:
    CMParentShowHintChanged(Message);
    return;
  case CM_VISIBLECHANGED:
    CMVisibleChanged(Message);
    return;
  case CM_ENABLEDCHANGED:
    CMEnabledChanged(Message);
    return;
  case CM_FONTCHANGED:
  case CM_COLORCHANGED:
    Invalidate();
    return;
  default:
    DefaultHandler(Message);
  }
}

void TControl::DefaultHandler(TMessage& Message)
{
  (void)Message;
}

void TControl::SetParent(TWinControl* AParent)
{
  if (FParent == AParent)
    return;
  if (AParent == this)
    throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent)
    FParent->RemoveControl(this);
  if (AParent)
    AParent->InsertControl(this);
}

TCustomForm* TControl::ParentForm(bool TopForm) const
{
  return GetParentForm(this, TopForm);
}

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight)
{
  bool resize = true;
  if (OnCanResize)
    OnCanResize(this, NewWidth, NewHeight, resize);
  return resize;
}

bool TControl::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  (void)NewWidth;
  (void)NewHeight;
  return true;
}

bool TControl::CheckNewSize(Integer& NewWidth, Integer& NewHeight)
{
  Integer w = NewWidth, h = NewHeight;
  if (!CanResize(w, h))
    return false;
  if (FAutoSize && !ComponentState().Contains(csLoading)) {
    Integer aw = w, ah = h;
    if (CanAutoSize(aw, ah)) {
      w = aw;
      h = ah;
    }
  }
  FConstraints->Apply(w, h);
  NewWidth = std::max(w, 0);
  NewHeight = std::max(h, 0);
  return true;
}

void TControl::InvalidateInParent(const TRect& R, bool Erase)
{
  Win::HWND parent = ParentHandleOf(this);
  if (parent)
    Win::InvalidateRect(parent, &R, Erase ? Win::TRUE : Win::FALSE);
}

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight)
{
  if (!CheckNewSize(AWidth, AHeight))
    return;
  TRect old = BoundsRect();
  TSize oldClient = ClientRect().Size();
  bool changed = old != Bounds(ALeft, ATop, AWidth, AHeight);
  if (changed) {
    if (FVisible && !FWindowed)
      InvalidateInParent(old, true);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FVisible && !FWindowed)
      InvalidateInParent(BoundsRect(), !FControlStyle.Contains(csOpaque));
  }
  if (!FParent || !FParent->FControlState.Contains(csAligning))
    UpdateAnchorRules();
  if (!changed)
    return;
  if (old.Size() != BoundsRect().Size()) {
    SizeChanged(oldClient);
    Resize();
  }
  RequestAlign();
}

void TControl::ChangeScale(Integer M, Integer D)
{
  if (M == D || M <= 0 || D <= 0)
    return;
  auto scale = [M, D](Integer Value) { return Win::MulDiv(Value, M, D); };
  // Taken before the constraints change, which may move the control.
  TRect bounds = BoundsRect();
  const TSize client = ClientRect().Size();
  TSizeConstraints constraints(nullptr);
  constraints.SetMinWidth(scale(FConstraints->MinWidth()));
  constraints.SetMaxWidth(scale(FConstraints->MaxWidth()));
  constraints.SetMinHeight(scale(FConstraints->MinHeight()));
  constraints.SetMaxHeight(scale(FConstraints->MaxHeight()));
  FConstraints->Assign(&constraints);
  if (!FParentFont)
    FFont->SetHeight(scale(FFont->Height()));
  if (FParent)
    SetBounds(scale(bounds.Left), scale(bounds.Top), scale(bounds.Width()), scale(bounds.Height()));
  else
    SetBounds(bounds.Left, bounds.Top, bounds.Width() - client.cx + scale(client.cx),
              bounds.Height() - client.cy + scale(client.cy));
}

void TControl::Resize()
{
  if (OnResize)
    OnResize(this);
}

TPoint TControl::ClientOrigin() const
{
  if (auto* windowed = dynamic_cast<const TWinControl*>(this); windowed && windowed->HandleAllocated()) {
    Win::POINT p;
    Win::ClientToScreen(const_cast<TWinControl*>(windowed)->Handle(), &p);
    return p;
  }
  if (!FParent)
    return TPoint(FLeft, FTop);
  TPoint p = FParent->ClientOrigin();
  p.Offset(FLeft, FTop);
  return p;
}

TPoint TControl::ClientToScreen(TPoint Point) const
{
  return Point + ClientOrigin();
}

TPoint TControl::ScreenToClient(TPoint Point) const
{
  return Point - ClientOrigin();
}

TPoint TControl::ClientToParent(TPoint Point, TWinControl* AParent) const
{
  TWinControl* target = AParent ? AParent : FParent;
  const TControl* c = this;
  for (; c && c != target; c = c->FParent)
    Point.Offset(c->FLeft, c->FTop);
  if (!c)
    throw EInvalidOperation("Control '" + (target ? target->Name() : String()) + "' is not a parent of '" + Name() +
                            "'");
  return Point;
}

void TControl::SetAlign(TAlign Value)
{
  if (FAlign == Value)
    return;
  FAlign = Value;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value)
{
  if (FAnchors == Value)
    return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules()
{
  if (!FParent)
    return;
  TSize client = FParent->ClientRect().Size();
  FAnchorParentSize = client;
  FAnchorRules = TRect(FLeft, FTop, client.cx - (FLeft + FWidth), client.cy - (FTop + FHeight));
}

void TControl::ApplyAnchors(TSize NewParentClient)
{
  Integer l = FLeft, t = FTop, w = FWidth, h = FHeight;
  Integer dx = NewParentClient.cx - FAnchorParentSize.cx;
  Integer dy = NewParentClient.cy - FAnchorParentSize.cy;
  bool left = FAnchors.Contains(akLeft), right = FAnchors.Contains(akRight);
  bool top = FAnchors.Contains(akTop), bottom = FAnchors.Contains(akBottom);
  if (left && right)
    w = NewParentClient.cx - FAnchorRules.Left - FAnchorRules.Right;
  else if (right)
    l = NewParentClient.cx - FAnchorRules.Right - w;
  else if (!left)
    l = FAnchorRules.Left + dx / 2;
  if (top && bottom)
    h = NewParentClient.cy - FAnchorRules.Top - FAnchorRules.Bottom;
  else if (bottom)
    t = NewParentClient.cy - FAnchorRules.Bottom - h;
  else if (!top)
    t = FAnchorRules.Top + dy / 2;
  SetBounds(l, t, w, h);
}

void TControl::RequestAlign()
{
  if (FParent && !FParent->FControlState.Contains(csAligning) && !FParent->ComponentState().Contains(csDestroying))
    FParent->Realign();
}

void TControl::SetAutoSize(bool Value)
{
  if (FAutoSize == Value)
    return;
  FAutoSize = Value;
  if (Value)
    AdjustSize();
}

void TControl::AdjustSize()
{
  if (!ComponentState().Contains(csLoading))
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetVisible(bool Value)
{
  if (FVisible == Value)
    return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
  RequestAlign();
}

bool TControl::Showing() const
{
  return FVisible && FParent && FParent->Showing();
}

void TControl::SetEnabled(bool Value)
{
  if (FEnabled == Value)
    return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::FontChanged()
{
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

// A parent switch turned on takes the parent's value at once.
void TControl::SetParentSwitch(bool& Switch, bool Value, Win::UINT ParentChanged)
{
  if (Switch == Value)
    return;
  Switch = Value;
  if (Value && FParent)
    Perform(ParentChanged);
}

void TControl::SetParentFont(bool Value)
{
  SetParentSwitch(FParentFont, Value, CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor Value)
{
  if (FColor == Value && !FParentColor)
    return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value)
{
  SetParentSwitch(FParentColor, Value, CM_PARENTCOLORCHANGED);
}

void TControl::SetCursor(TCursor Value)
{
  if (FCursor == Value)
    return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool Value)
{
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value)
{
  SetParentSwitch(FParentShowHint, Value, CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
  if (FPopupMenu == Value)
    return;
  if (FPopupMenu)
    RemoveFreeNotification(FPopupMenu);
  FPopupMenu = Value;
  if (Value)
    FreeNotification(Value);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FPopupMenu == AComponent)
    FPopupMenu = nullptr;
}

void TControl::SetText(const String& Value)
{
  if (GetText() == Value)
    return;
  FText = Value;
  if (auto* windowed = dynamic_cast<TWinControl*>(this); windowed && windowed->HandleAllocated())
    Win::SetWindowText(windowed->Handle(), Value.c_str());
  Perform(CM_TEXTCHANGED);
}

void TControl::Invalidate()
{
  if (FVisible)
    InvalidateInParent(BoundsRect(), !FControlStyle.Contains(csOpaque));
}

void TControl::Update()
{
  if (FParent)
    FParent->Update();
}

void TControl::Repaint()
{
  Invalidate();
  Update();
}

void TControl::BringToFront()
{
  if (!FParent)
    return;
  auto& list = FParent->FControls;
  list.erase(std::find(list.begin(), list.end(), this));
  list.push_back(this);
  if (auto* windowed = dynamic_cast<TWinControl*>(this); windowed && windowed->HandleAllocated())
    Win::SetWindowPos(windowed->Handle(), Win::HWND_TOP, 0, 0, 0, 0, Win::SWP_NOMOVE | Win::SWP_NOSIZE);
  Invalidate();
}

void TControl::SendToBack()
{
  if (!FParent)
    return;
  auto& list = FParent->FControls;
  list.erase(std::find(list.begin(), list.end(), this));
  list.insert(list.begin(), this);
  if (auto* windowed = dynamic_cast<TWinControl*>(this); windowed && windowed->HandleAllocated())
    Win::SetWindowPos(windowed->Handle(), Win::HWND_BOTTOM, 0, 0, 0, 0, Win::SWP_NOMOVE | Win::SWP_NOSIZE);
  FParent->Invalidate();
}

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
  if (TCustomForm* form = GetParentForm(this))
    if (form->HandleAllocated())
      form->Perform(CM_CANCELMODE, 0, Win::LPARAM(this));
}

bool TControl::IsMouseInControl() const
{
  return gMouseControl == this;
}

void TControl::Click()
{
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

void TControl::CMParentFontChanged(TMessage& Message)
{
  (void)Message;
  if (!FParentFont || !FParent)
    return;
  FFont->Assign(FParent->Font());
  FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& Message)
{
  (void)Message;
  if (!FParentColor || !FParent)
    return;
  SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage& Message)
{
  (void)Message;
  if (FParentShowHint && FParent)
    FShowHint = FParent->ShowHint();
}

void TControl::CMVisibleChanged(TMessage& Message)
{
  (void)Message;
  if (FParent)
    InvalidateInParent(BoundsRect(), true);
}

void TControl::CMEnabledChanged(TMessage& Message)
{
  (void)Message;
  Invalidate();
}

// ---- TGraphicControl ---------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>())
{
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl()
{
  Destroying();
  FCanvas->FreeHandle();
}

void TGraphicControl::Dispatch(TMessage& Message)
{
  if (Message.Msg == Win::WM_PAINT) {
    WMPaint(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  if (!dc)
    return;
  FCanvas->FreeHandle();
  FCanvas->Lock();
  FCanvas->SetHandle(dc);
  try {
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

// ---- TWinControl -------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>())
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

// ---- alignment -----------------------------------------------------------------------------

void TWinControl::DisableAlign()
{
  ++FAlignLevel;
}

void TWinControl::EnableAlign()
{
  if (--FAlignLevel == 0)
    Realign();
}

void TWinControl::Realign()
{
  if (FAlignLevel > 0 || FControlState.Contains(csAligning) || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  FControlState.Include(csAligning);
  try {
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
  } catch (...) {
    FControlState.Exclude(csAligning);
    throw;
  }
  FControlState.Exclude(csAligning);
  if (AutoSize())
    AdjustSize();
}

void TWinControl::DoAlign(TAlign Align, TRect& Rect, TControl* AControl)
{
  std::vector<TControl*> list;
  for (TControl* c : FControls)
    if (c->Align() == Align && c->Visible())
      list.push_back(c);
  // Controls keep their order along the edge they stick to; the one that
  // moved wins a tie.
  auto key = [Align](const TControl* c) {
    switch (Align) {
    case alTop:
      return c->Top();
    case alBottom:
      return -(c->Top() + c->Height());
    case alLeft:
      return c->Left();
    case alRight:
      return -(c->Left() + c->Width());
    default:
      return 0;
    }
  };
  std::stable_sort(list.begin(), list.end(), [&](const TControl* a, const TControl* b) {
    if (key(a) != key(b))
      return key(a) < key(b);
    return a == AControl && b != AControl;
  });
  for (TControl* c : list) {
    switch (Align) {
    case alTop:
      c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
      Rect.Top += c->Height();
      break;
    case alBottom:
      c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
      Rect.Bottom -= c->Height();
      break;
    case alLeft:
      c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
      Rect.Left += c->Width();
      break;
    case alRight:
      c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
      Rect.Right -= c->Width();
      break;
    case alClient:
      c->SetBounds(Rect.Left, Rect.Top, std::max(Rect.Width(), 0), std::max(Rect.Height(), 0));
      break;
    default:
      break;
    }
  }
}

// The children scale from the places they had before: this control's own
// new size would otherwise have moved the anchored ones already.
void TWinControl::ChangeScale(Integer M, Integer D)
{
  if (M == D || M <= 0 || D <= 0)
    return;
  const std::vector<TControl*> children = FControls;
  std::vector<TRect> before;
  for (TControl* c : children)
    before.push_back(c->BoundsRect());
  DisableAlign();
  try {
    TControl::ChangeScale(M, D);
    for (size_t i = 0; i < children.size(); ++i) {
      children[i]->SetBoundsRect(before[i]);
      children[i]->ChangeScale(M, D);
    }
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient})
    DoAlign(a, Rect, AControl);
}

void TWinControl::SizeChanged(TSize OldClientSize)
{
  (void)OldClientSize;
  TSize client = ClientRect().Size();
  FControlState.Include(csAligning);
  try {
    for (TControl* c : std::vector<TControl*>(FControls))
      if (c->Align() == alNone && c->Anchors() != TAnchors{akLeft, akTop})
        c->ApplyAnchors(client);
  } catch (...) {
    FControlState.Exclude(csAligning);
    throw;
  }
  FControlState.Exclude(csAligning);
  Realign();
}

bool TWinControl::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  bool any = false;
  Integer right = 0, bottom = 0;
  for (TControl* c : FControls) {
    if (!c->Visible() || c->Align() == alClient)
      continue;
    any = true;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  if (!any)
    return true;
  NewWidth = right + (Width() - ClientWidth());
  NewHeight = bottom + (Height() - ClientHeight());
  return true;
}

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight)
{
  TRect before = BoundsRect();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FHandle && BoundsRect() != before)
    Win::SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), Height(), Win::SWP_NOZORDER | Win::SWP_NOACTIVATE);
}

// ---- tab order and focus ------------------------------------------------------------------

void TWinControl::InsertTabList(TWinControl* Control)
{
  FTabList.push_back(Control);
}

void TWinControl::SetTabStop(bool Value)
{
  if (FTabStop == Value)
    return;
  FTabStop = Value;
  if (FHandle) {
    auto style = Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE);
    Win::SetWindowLongPtr(FHandle, Win::GWL_STYLE, Value ? (style | Win::WS_TABSTOP) : (style & ~Win::LONG_PTR(Win::WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

Integer TWinControl::TabOrder() const
{
  if (!FParent)
    return -1;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : Integer(it - list.begin());
}

void TWinControl::SetTabOrder(Integer Value)
{
  if (!FParent)
    return;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end())
    return;
  list.erase(it);
  Value = std::clamp(Value, 0, Integer(list.size()));
  list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent)
{
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty())
    return nullptr;
  auto found = std::find(list.begin(), list.end(), CurControl);
  size_t start = found != list.end() ? size_t(found - list.begin()) : (GoForward ? list.size() - 1 : 0);
  size_t i = start;
  do {
    i = GoForward ? (i + 1) % list.size() : (i + list.size() - 1) % list.size();
    TWinControl* c = list[i];
    if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
    next->SetFocus();
}

bool TWinControl::CanFocus() const
{
  TCustomForm* form = GetParentForm(this);
  if (form && (!form->Visible() || !form->Enabled()))
    return false;
  for (const TControl* c = this; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled())
      return false;
  return true;
}

bool TWinControl::Focused() const
{
  return FHandle && Win::GetFocus() == FHandle;
}

void TWinControl::SetFocus()
{
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
    return;
  }
  if (!CanFocus())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  Win::SetFocus(Handle());
}

void TWinControl::RemoveFocus(bool Removing)
{
  if (TCustomForm* form = GetParentForm(this))
    form->DefocusControl(this, Removing);
}

void TWinControl::SetDoubleBuffered(bool Value)
{
  if (FDoubleBuffered == Value)
    return;
  FDoubleBuffered = Value;
  Invalidate();
}

void TWinControl::SetParentBackground(bool Value)
{
  if (ParentBackground() == Value)
    return;
  if (Value)
    FControlStyle.Include(csParentBackground);
  else
    FControlStyle.Exclude(csParentBackground);
  Invalidate();
}

// ---- painting ----------------------------------------------------------------------------------

void TWinControl::Invalidate()
{
  if (FHandle)
    Win::InvalidateRect(FHandle, nullptr, FControlStyle.Contains(csOpaque) ? Win::FALSE : Win::TRUE);
}

void TWinControl::Update()
{
  if (FHandle)
    Win::UpdateWindow(FHandle);
}

void TWinControl::Repaint()
{
  Invalidate();
  Update();
}

void TWinControl::PaintWindow(Win::HDC DC)
{
  TMessage m{Win::WM_PAINT, Win::WPARAM(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(Win::HDC DC, TControl* First)
{
  auto start = First ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
  std::vector<TControl*> controls(start, FControls.end());
  for (TControl* c : controls) {
    if (c->FWindowed || !c->Visible())
      continue;
    TRect r = c->BoundsRect();
    if (!Win::RectVisible(DC, &r))
      continue;
    if (FControlState.Contains(csPaintCopy))
      c->FControlState.Include(csPaintCopy);
    int saved = Win::SaveDC(DC);
    Win::OffsetWindowOrgEx(DC, -c->Left(), -c->Top(), nullptr);
    Win::IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    try {
      c->Perform(Win::WM_PAINT, Win::WPARAM(DC), 0);
    } catch (...) {
      Win::RestoreDC(DC, saved);
      c->FControlState.Exclude(csPaintCopy);
      throw;
    }
    Win::RestoreDC(DC, saved);
    c->FControlState.Exclude(csPaintCopy);
  }
}

void TWinControl::PaintHandler(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  Win::PAINTSTRUCT ps;
  bool own = dc == nullptr;
  if (own)
    dc = Win::BeginPaint(FHandle, &ps);
  if (!dc)
    return;
  try {
    // Opaque graphic children paint over their area themselves.
    int saved = Win::SaveDC(dc);
    for (TControl* c : FControls)
      if (!c->FWindowed && c->Visible() && c->ControlStyle().Contains(csOpaque))
        Win::ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    PaintWindow(dc);
    Win::RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
  } catch (...) {
    if (own)
      Win::EndPaint(FHandle, &ps);
    throw;
  }
  if (own)
    Win::EndPaint(FHandle, &ps);
}

void TWinControl::WMPaint(TMessage& Message)
{
  if (Message.WParam || !FDoubleBuffered) {
    PaintHandler(Message);
    return;
  }
  // Painted off-screen, then copied: the erase of the buffer is marked by
  // both of its DC parameters being the buffer.
  Win::PAINTSTRUCT ps;
  Win::HDC dc = Win::BeginPaint(FHandle, &ps);
  TRect client = ClientRect();
  Win::HDC memDC = Win::CreateCompatibleDC(dc);
  Win::HBITMAP bitmap = Win::CreateCompatibleBitmap(dc, std::max(client.Width(), 1), std::max(client.Height(), 1));
  Win::HGDIOBJ old = Win::SelectObject(memDC, bitmap);
  auto cleanup = [&] {
    Win::SelectObject(memDC, old);
    Win::DeleteObject(bitmap);
    Win::DeleteDC(memDC);
    Win::EndPaint(FHandle, &ps);
  };
  try {
    Perform(Win::WM_ERASEBKGND, Win::WPARAM(memDC), Win::LPARAM(memDC));
    Perform(Win::WM_PAINT, Win::WPARAM(memDC), 0);
    Win::BitBlt(dc, 0, 0, client.Width(), client.Height(), memDC, 0, 0, Win::SRCCOPY);
  } catch (...) {
    cleanup();
    throw;
  }
  cleanup();
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  if (dc && (!FDoubleBuffered || Message.WParam == Win::WPARAM(Message.LParam))) {
    TRect r = ClientRect();
    Win::FillRect(dc, &r, FBrush->Handle());
  }
  Message.Result = 1;
}

void TWinControl::PaintTo(Win::HDC DC, Integer X, Integer Y)
{
  FControlState.Include(csPaintCopy);
  int saved = Win::SaveDC(DC);
  try {
    Win::OffsetWindowOrgEx(DC, -X, -Y, nullptr);
    Win::IntersectClipRect(DC, 0, 0, Width(), Height());
    Perform(Win::WM_ERASEBKGND, Win::WPARAM(DC), Win::LPARAM(DC));
    Perform(Win::WM_PAINT, Win::WPARAM(DC), 0);
    for (TControl* c : FControls)
      if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible())
        w->PaintTo(DC, w->Left(), w->Top());
  } catch (...) {
    Win::RestoreDC(DC, saved);
    FControlState.Exclude(csPaintCopy);
    throw;
  }
  Win::RestoreDC(DC, saved);
  FControlState.Exclude(csPaintCopy);
}

// ---- messages -----------------------------------------------------------------------------------

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

void TWinControl::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_SETFOCUS:
    if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this))
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
    if (IsMouseMessage(Message.Msg) && IsControlMouseMsg(Message))
      return;
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
  case Win::WM_DRAWITEM:
    ReflectToChild(Message,
                   Message.LParam ? reinterpret_cast<const Win::DRAWITEMSTRUCT*>(Message.LParam)->hwndItem : nullptr);
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

void TWinControl::WMSetCursor(TMessage& Message)
{
  auto hit = Integer(std::int16_t(Win::LOWORD(std::uintptr_t(Message.LParam))));
  if (reinterpret_cast<Win::HWND>(Message.WParam) == FHandle && hit == Win::HTCLIENT) {
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault) {
      Win::POINT p;
      Win::GetCursorPos(&p);
      if (TControl* child = ControlAtPos(ScreenToClient(p), false))
        cursor = child->Cursor();
      if (cursor == crDefault)
        cursor = Cursor();
    }
    if (cursor != crDefault) {
      Win::SetCursor(Screen->Cursors(cursor));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message)
{
  DefaultHandler(Message);
  if (!FHandle || FParent)
    return;
  // A top-level window moved or sized by the window system.
  Win::RECT r;
  Win::GetWindowRect(FHandle, &r);
  if (r != BoundsRect())
    TControl::SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TWinControl::WMSetFocus(TMessage& Message)
{
  DefaultHandler(Message);
}

void TWinControl::WMKillFocus(TMessage& Message)
{
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

// ---- keyboard ----------------------------------------------------------------------------------

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
  if (OnKeyDown)
    OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
  if (OnKeyUp)
    OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key)
{
  if (OnKeyPress)
    OnKeyPress(this, Key);
}

// A form that previews keys sees them first; then the control's own handler,
// which swallows the key by setting it to 0.
template <class TKey, class THandler>
bool TWinControl::DoKey(TMessage& Message, bool (TWinControl::*Step)(TMessage&), THandler Handler)
{
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && (form->*Step)(Message))
    return true;
  if (FControlStyle.Contains(csNoStdEvents))
    return false;
  auto key = TKey(Message.WParam);
  Handler(key);
  Message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& Message)
{
  return DoKey<Word>(Message, &TWinControl::DoKeyDown,
                     [&](Word& key) { KeyDown(key, KeyDataToShiftState(Message.LParam)); });
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
  return DoKey<Word>(Message, &TWinControl::DoKeyUp,
                     [&](Word& key) { KeyUp(key, KeyDataToShiftState(Message.LParam)); });
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
  return DoKey<char32_t>(Message, &TWinControl::DoKeyPress, [&](char32_t& key) { KeyPress(key); });
}

void TWinControl::CNKeyDown(TMessage& Message)
{
  Message.Result = 1;
  Win::LRESULT mask = 0;
  switch (Message.WParam) {
  case Win::VK_TAB:
    mask = Win::DLGC_WANTTAB;
    break;
  case Win::VK_LEFT:
  case Win::VK_RIGHT:
  case Win::VK_UP:
  case Win::VK_DOWN:
    mask = Win::DLGC_WANTARROWS;
    break;
  case Win::VK_RETURN:
  case Win::VK_ESCAPE:
  case Win::VK_CANCEL:
    mask = Win::DLGC_WANTALLKEYS;
    break;
  default:
    break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0 &&
      (Perform(Win::WM_GETDLGCODE) & mask) == 0) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
      return;
  }
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
  Message.Result = 1;
  if ((Perform(Win::WM_GETDLGCODE) & Win::DLGC_WANTCHARS) == 0) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
      return;
  }
  Message.Result = 0;
}

void TWinControl::DoEnter()
{
  if (OnEnter)
    OnEnter(this);
}

void TWinControl::DoExit()
{
  if (OnExit)
    OnExit(this);
}

// ---- TCustomControl ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>())
{
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl()
{
  Destroying();
  FCanvas->FreeHandle();
}

void TCustomControl::PaintWindow(Win::HDC DC)
{
  FCanvas->FreeHandle();
  FCanvas->Lock();
  FCanvas->SetHandle(DC);
  try {
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
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

} // namespace Vcl

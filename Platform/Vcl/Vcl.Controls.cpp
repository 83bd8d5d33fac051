// The control: its messages, parent, bounds and inherited properties; the
// graphic and custom controls' making; the cursors the controls show.
#include "Vcl.ActnList.hpp"
#include "System.Classes.Streaming.hpp"
#include "Vcl.Controls.Drag.hpp"
#include "Vcl.Controls.Internal.hpp"
#include "Vcl.Controls.Padding.hpp"
#include "Vcl.Controls.Touch.hpp"
#include "Vcl.Menus.hpp"

#include <algorithm>

namespace Vcl {

namespace ControlsInternal {

TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;

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

} // namespace ControlsInternal

using namespace ControlsInternal;
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

namespace {

struct TCursorTable {
  std::vector<std::pair<TCursor, Win::HCURSOR>> Handles;
  TCursor Override = crDefault;
};

// Made on first use and kept for the life of the process, as the screen
// object that shows it to hosts is.
TCursorTable& Cursors()
{
  static TCursorTable& table = *[] {
    auto* t = new TCursorTable;
    for (auto [cursor, name] : {std::pair{crDrag, "drag"}, {crNoDrop, "nodrop"}, {crHSplit, "hsplit"},
                                {crVSplit, "vsplit"}, {crMultiDrag, "multidrag"}, {crSQLWait, "sqlwait"}})
      t->Handles.emplace_back(cursor, Win::CreateNamedCursor(name));
    return t;
  }();
  return table;
}

} // namespace

Win::HCURSOR CursorHandle(TCursor Cursor)
{
  for (const auto& [cursor, handle] : Cursors().Handles)
    if (cursor == Cursor)
      return handle;
  struct TStandard {
    TCursor Cursor;
    int Id;
  };
  static constexpr TStandard standard[] = {
    {crArrow, Win::IDC_ARROW},       {crCross, Win::IDC_CROSS},     {crIBeam, Win::IDC_IBEAM},
    {crSizeNESW, Win::IDC_SIZENESW}, {crSizeNS, Win::IDC_SIZENS},   {crSizeNWSE, Win::IDC_SIZENWSE},
    {crSizeWE, Win::IDC_SIZEWE},     {crUpArrow, Win::IDC_UPARROW}, {crHourGlass, Win::IDC_WAIT},
    {crNo, Win::IDC_NO},             {crAppStart, Win::IDC_APPSTARTING}, {crHelp, Win::IDC_HELP},
    {crHandPoint, Win::IDC_HAND},    {crSizeAll, Win::IDC_SIZEALL}};
  if (Cursor == crNone)
    return nullptr;
  for (const auto& s : standard)
    if (s.Cursor == Cursor)
      return Win::LoadCursor(nullptr, s.Id);
  return Win::LoadCursor(nullptr, Win::IDC_ARROW);
}

void SetCursorHandle(TCursor Cursor, Win::HCURSOR Handle)
{
  auto& handles = Cursors().Handles;
  for (auto& [cursor, handle] : handles)
    if (cursor == Cursor) {
      handle = Handle;
      return;
    }
  handles.emplace_back(Cursor, Handle);
}

TCursor ScreenCursor()
{
  return Cursors().Override;
}

void SetScreenCursor(TCursor Value)
{
  Cursors().Override = Value;
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
  return Control->ParentForm(TopForm);
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

namespace {

// A limit of 0 is none; the minimum wins over a maximum below it.
void ApplyLimits(Integer& Width, Integer& Height, Integer MinWidth, Integer MinHeight, Integer MaxWidth,
                 Integer MaxHeight)
{
  if (MaxWidth > 0)
    Width = std::min(Width, MaxWidth);
  if (MaxHeight > 0)
    Height = std::min(Height, MaxHeight);
  Width = std::max(Width, MinWidth);
  Height = std::max(Height, MinHeight);
}

} // namespace

void TSizeConstraints::Apply(Integer& Width, Integer& Height) const
{
  ApplyLimits(Width, Height, FMinWidth, FMinHeight, FMaxWidth, FMaxHeight);
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
    Win::DeleteDC(dc); // its window went first: the context is only memory now
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
  : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)), FFont(std::make_unique<TFont>()),
    FMargins(std::make_unique<TMargins>(this)), FTouch(std::make_unique<TTouchManager>(this))
{
  WindowProc = [this](TMessage& M) { WndProc(M); };
  FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl()
{
  Destroying();
  FActionLink.reset();
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
    // An automatic drag takes the press for itself.
    if (FDragMode == dmAutomatic && !ComponentState().Contains(csDesigning)) {
      BeginDrag(this, false);
      return;
    }
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
    // Then the window system turns the release into WM_CONTEXTMENU, last,
    // since the menu's handlers may free the control.
    WMMouseUp(Message, mbRight);
    DefaultHandler(Message);
    return;
  case Win::WM_CONTEXTMENU:
    WMContextMenu(Message);
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
  case CM_DRAG:
    DefaultDragMessage(this, Message);
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
  case CM_PARENTBIDIMODECHANGED:
    CMParentBiDiModeChanged(Message);
    return;
  case CM_PARENTCTL3DCHANGED:
    CMParentCtl3DChanged(Message);
    return;
  case CM_GESTURE:
    CMGesture(Message);
    return;
  case CM_VISIBLECHANGED:
    CMVisibleChanged(Message);
    return;
  case CM_ENABLEDCHANGED:
    CMEnabledChanged(Message);
    return;
  case CM_FONTCHANGED:
  case CM_COLORCHANGED:
  case CM_BIDIMODECHANGED:
  case CM_CTL3DCHANGED:
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
  TWinControl* form = FormControl(TopForm);
  return form ? form->AsForm() : nullptr;
}

TWinControl* TControl::FormControl(bool TopForm) const
{
  TWinControl* found = nullptr;
  TWinControl* c = FWindowed ? static_cast<TWinControl*>(const_cast<TControl*>(this)) : FParent;
  for (; c; c = c->FParent) {
    if (!c->AsForm())
      continue;
    found = c;
    if (!TopForm)
      break;
  }
  return found;
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
  Integer minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
  Integer maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  ApplyLimits(w, h, minW, minH, maxW, maxH);
  NewWidth = std::max(w, 0);
  NewHeight = std::max(h, 0);
  return true;
}

void TControl::ConstrainedResize(Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight)
{
  if (OnConstrainedResize)
    OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
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

void TControl::SetBiDiMode(TBiDiMode Value)
{
  if (FBiDiMode == Value)
    return;
  FBiDiMode = Value;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value)
{
  SetParentSwitch(FParentBiDiMode, Value, CM_PARENTBIDIMODECHANGED);
}

void TControl::SetCtl3D(bool Value)
{
  FParentCtl3D = false;
  if (FCtl3D == Value)
    return;
  FCtl3D = Value;
  Perform(CM_CTL3DCHANGED);
}

void TControl::SetParentCtl3D(bool Value)
{
  SetParentSwitch(FParentCtl3D, Value, CM_PARENTCTL3DCHANGED);
}

void TControl::SetMargins(const TMargins* Value)
{
  FMargins->Assign(Value);
}

void TControl::SetAlignWithMargins(bool Value)
{
  if (FAlignWithMargins == Value)
    return;
  FAlignWithMargins = Value;
  RequestAlign();
}

void TControl::SetTouch(const TTouchManager* Value)
{
  FTouch->Assign(Value);
}

Win::UINT TControl::DrawTextBiDiModeFlags(Win::UINT Flags) const
{
  if (UseRightToLeftAlignment()) {
    if (Flags & Win::DT_RIGHT)
      Flags &= ~Win::DT_RIGHT;
    else if (!(Flags & Win::DT_CENTER))
      Flags |= Win::DT_RIGHT;
  }
  return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

Win::UINT TControl::DrawTextBiDiModeFlagsReadingOnly() const
{
  return UseRightToLeftReading() ? Win::DT_RTLREADING : 0;
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
  if (Operation != opRemove)
    return;
  if (FPopupMenu == AComponent)
    FPopupMenu = nullptr;
  // A freed action let go of the link before it told us.
  if (FActionLink && !FActionLink->Action())
    FActionLink.reset();
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

void TControl::CMParentBiDiModeChanged(TMessage& Message)
{
  (void)Message;
  if (!FParentBiDiMode || !FParent)
    return;
  SetBiDiMode(FParent->BiDiMode());
  FParentBiDiMode = true;
}

void TControl::CMParentCtl3DChanged(TMessage& Message)
{
  (void)Message;
  if (!FParentCtl3D || !FParent)
    return;
  SetCtl3D(FParent->Ctl3D());
  FParentCtl3D = true;
}

void TControl::CMGesture(TMessage& Message)
{
  const auto* info = reinterpret_cast<const TGestureEventInfo*>(Message.LParam);
  bool handled = false;
  if (info && FTouch->WantsGesture(info->GestureID))
    DoGesture(*info, handled);
  Message.Result = handled ? 1 : 0;
}

void TControl::DoGesture(const TGestureEventInfo& EventInfo, bool& Handled)
{
  if (OnGesture)
    OnGesture(this, EventInfo, Handled);
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

// Where a control is written and read in a form resource: inside its parent.
TComponent* TControl::GetParentComponent() const
{
  return FParent;
}

void TControl::SetParentComponent(TComponent* Value)
{
  auto* parent = dynamic_cast<TWinControl*>(Value);
  if (parent || !Value)
    SetParent(parent);
}

// A designer notes where a control was before its parent aligned or
// anchored it and the size it had in the form editor; the size read is what counts
// here, so the notes are read and dropped.
void TControl::DefineProperties(TFiler* Filer)
{
  inherited::DefineProperties(Filer);
  auto skipInteger = [](TReader* Reader) { Reader->ReadInteger(); };
  for (const char* name : {"ExplicitLeft", "ExplicitTop", "ExplicitWidth", "ExplicitHeight"})
    Filer->DefineProperty(name, skipInteger, nullptr, false);
  Filer->DefineProperty("IsControl", [](TReader* Reader) { Reader->ReadBoolean(); }, nullptr, false);
  Filer->DefineProperty(
    "DesignSize",
    [](TReader* Reader) {
      Reader->ReadListBegin();
      while (!Reader->EndOfList())
        Reader->ReadInteger();
      Reader->ReadListEnd();
    },
    nullptr, false);
}

namespace {

// Cursor identifiers by name, for form resources.
constexpr TIdentMapEntry CursorNames[] = {
  {crDefault, "crDefault"}, {crNone, "crNone"},         {crArrow, "crArrow"},         {crCross, "crCross"},
  {crIBeam, "crIBeam"},     {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},
  {crSizeWE, "crSizeWE"},   {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
  {crNoDrop, "crNoDrop"},   {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},       {crMultiDrag, "crMultiDrag"},
  {crSQLWait, "crSQLWait"}, {crNo, "crNo"},             {crAppStart, "crAppStart"},   {crHelp, "crHelp"},
  {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
};

[[maybe_unused]] const bool CursorIdentsRegistered = (RegisterIntegerConsts("TCursor", CursorNames), true);

} // namespace

} // namespace Vcl

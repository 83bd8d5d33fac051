#include "Quorex.Vcl.Tray.hpp"

#include <Vcl.Forms.hpp>

#include <functional>
#include <utility>

namespace Quorex {

using namespace Vcl;

const char* const STrayIconRemoveError = "The notification icon could not be removed";

namespace {

TShiftState KeyboardShift()
{
  TShiftState shift;
  if (Win::GetKeyState(Win::VK_SHIFT) < 0)
    shift.Include(TShiftStateItem::ssShift);
  if (Win::GetKeyState(Win::VK_CONTROL) < 0)
    shift.Include(TShiftStateItem::ssCtrl);
  if (Win::GetKeyState(Win::VK_MENU) < 0)
    shift.Include(TShiftStateItem::ssAlt);
  return shift;
}

TPoint CursorPos()
{
  Win::POINT p;
  Win::GetCursorPos(&p);
  return TPoint(p.X, p.Y);
}

// Every item under Root, depth first, numbered from 1 in that order, with
// the number of its parent (0 for the top level).
void WalkMenu(TMenuItem* Root, const std::function<void(TMenuItem*, int, int)>& Visit)
{
  int next = 0;
  const std::function<void(TMenuItem*, int)> walk = [&](TMenuItem* parent, int parentId) {
    for (Integer i = 0; i < parent->Count(); ++i) {
      TMenuItem* item = parent->Items(i);
      const int id = ++next;
      Visit(item, id, parentId);
      walk(item, id);
    }
  };
  walk(Root, 0);
}

bool HasImages(const TCustomImageList* List)
{
  return List && List->Count() > 0;
}

} // namespace

TQxCustomTrayIcon::TQxCustomTrayIcon(TComponent* AOwner)
  : inherited(AOwner), FCurrentIcon(std::make_unique<TIcon>()), FData(std::make_unique<Win::NOTIFYICONDATAW>()),
    FIcon(std::make_unique<TIcon>()), FTimer(std::make_unique<TTimer>(nullptr))
{
  // A component made for a form in design takes its owner's design state.
  if (AOwner && AOwner->ComponentState().Contains(csDesigning))
    SetDesigning(true, false);
  FData->uTimeout = 10000;
  FCurrentIcon->SetSize(Win::GetSystemMetrics(Win::SM_CXSMICON), Win::GetSystemMetrics(Win::SM_CYSMICON));
  FTimer->SetEnabled(false);
  FTimer->SetInterval(1000);
  FTimer->SetOnTimer([this](TObject* Sender) { DoOnAnimate(Sender); });
  if (Designing())
    return;
  *FData = Win::NOTIFYICONDATAW();
  // The desktop's shell is a current one (major version 6 and later): the
  // full record.
  FData->cbSize = Win::NOTIFYICONDATAW_SIZE;
  FWindow = AllocateHWnd([this](TMessage& Message) { WindowProc(Message); });
  Win::CopyToWide(Application->Title(), FData->szTip, std::size(FData->szTip));
  FData->hWnd = FWindow;
  FData->uID = Win::UINT(reinterpret_cast<std::uintptr_t>(FWindow));
  FData->uTimeout = 10000;
  FData->hIcon = FCurrentIcon->Handle();
  FData->uFlags = Win::NIF_ICON | Win::NIF_MESSAGE;
  FData->uCallbackMessage = WM_TRAYNOTIFY;
  if (!Application->Title().empty())
    FData->uFlags |= Win::NIF_TIP;
  Refresh();
}

TQxCustomTrayIcon::~TQxCustomTrayIcon()
{
  FTimer->SetEnabled(false);
  if (FWindow) {
    Refresh(Win::NIM_DELETE);
    DeallocateHWnd(FWindow);
  }
}

bool TQxCustomTrayIcon::Refresh(Win::DWORD Message)
{
  return Win::Shell_NotifyIconW(Message, FData.get()) != Win::FALSE;
}

void TQxCustomTrayIcon::Refresh()
{
  if (Designing())
    return;
  FData->hIcon = FCurrentIcon->Handle();
  if (FVisible)
    Refresh(Win::NIM_MODIFY);
}

void TQxCustomTrayIcon::ShowBalloonHint()
{
  if (Designing())
    return;
  FData->uFlags |= Win::NIF_INFO;
  FData->dwInfoFlags = Win::DWORD(FBalloonFlags);
  Refresh(Win::NIM_MODIFY);
}

void TQxCustomTrayIcon::SetHint(const String& Value)
{
  if (FHint == Value)
    return;
  FHint = Value;
  Win::CopyToWide(Value, FData->szTip, std::size(FData->szTip));
  // The empty tip too goes out once with the flag: a shell keeps the last
  // tip it was given while later modifications leave the flag out.
  FData->uFlags |= Win::NIF_TIP;
  Refresh();
  if (Value.empty())
    FData->uFlags &= ~Win::NIF_TIP;
}

void TQxCustomTrayIcon::SetBalloonHint(const String& Value)
{
  if (FBalloonHint == Value)
    return;
  FBalloonHint = Value;
  Win::CopyToWide(Value, FData->szInfo, std::size(FData->szInfo));
  if (!Designing())
    Refresh(Win::NIM_MODIFY);
}

void TQxCustomTrayIcon::SetBalloonTitle(const String& Value)
{
  if (FBalloonTitle == Value)
    return;
  FBalloonTitle = Value;
  Win::CopyToWide(Value, FData->szInfoTitle, std::size(FData->szInfoTitle));
  if (!Designing())
    Refresh(Win::NIM_MODIFY);
}

void TQxCustomTrayIcon::SetIcon(const TIcon* Value)
{
  FIcon->Assign(Value);
  FCurrentIcon->Assign(Value);
  Refresh();
}

void TQxCustomTrayIcon::LoadDefaultIcon()
{
  FCurrentIcon->Assign(FIcon->Empty() ? Application->Icon() : FIcon.get());
  if (!Designing())
    FData->hIcon = FCurrentIcon->Handle();
}

void TQxCustomTrayIcon::SetDefaultIcon()
{
  LoadDefaultIcon();
  Refresh();
}

// Only an index the list has is fetched: a missing frame leaves the picture.
void TQxCustomTrayIcon::ShowFrame()
{
  if (FIconList && FIconIndex >= 0 && FIconIndex < FIconList->Count())
    FIconList->GetIcon(FIconIndex, FCurrentIcon.get());
}

void TQxCustomTrayIcon::SetIconList(TCustomImageList* Value)
{
  if (FIconList == Value)
    return;
  if (FIconList)
    FIconList->RemoveFreeNotification(this);
  FIconList = Value;
  if (FIconList)
    FIconList->FreeNotification(this);
  if (!Designing()) {
    if (FIconList)
      ShowFrame();
    else
      SetDefaultIcon();
  }
  UpdateTimer();
  Refresh();
}

void TQxCustomTrayIcon::SetIconIndex(Integer Value)
{
  if (FIconIndex == Value)
    return;
  FIconIndex = Value;
  if (!Designing())
    ShowFrame();
  Refresh();
}

void TQxCustomTrayIcon::SetPopupMenu(TPopupMenu* Value)
{
  if (FPopupMenu == Value)
    return;
  if (FPopupMenu)
    FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu)
    FPopupMenu->FreeNotification(this);
  ExportMenu();
}

void TQxCustomTrayIcon::ExportMenu()
{
  if (Designing() || !FVisible)
    return;
  Win::TNotifyIconMenu menu;
  if (FPopupMenu) {
    const std::weak_ptr<bool> alive = FAlive;
    menu.Entries = [this, alive] {
      return alive.expired() ? std::vector<Win::TNotifyMenuEntry>() : MenuEntries();
    };
    menu.Choose = [this, alive](int Id) {
      if (!alive.expired())
        ChooseMenuEntry(Id);
    };
  }
  Win::SetNotifyIconMenu(FWindow, FData->uID, std::move(menu));
}

std::vector<Win::TNotifyMenuEntry> TQxCustomTrayIcon::MenuEntries() const
{
  std::vector<Win::TNotifyMenuEntry> entries;
  if (!FPopupMenu)
    return entries;
  WalkMenu(FPopupMenu->Items(), [&](TMenuItem* item, int id, int parent) {
    entries.push_back({id, parent, StripHotkey(item->Caption()), item->IsLine(), item->Enabled(), item->Visible(),
                       item->Checked()});
  });
  return entries;
}

void TQxCustomTrayIcon::ChooseMenuEntry(int Id)
{
  TMenuItem* chosen = nullptr;
  if (FPopupMenu)
    WalkMenu(FPopupMenu->Items(), [&](TMenuItem* item, int id, int) {
      if (id == Id)
        chosen = item;
    });
  if (chosen && chosen->Enabled())
    chosen->Click();
}

void TQxCustomTrayIcon::SetAnimate(bool Value)
{
  if (FAnimate == Value)
    return;
  FAnimate = Value;
  if (Designing())
    return;
  UpdateTimer();
  if (!FAnimate && !FCurrentIcon->Empty())
    FIcon->Assign(FCurrentIcon.get());
}

void TQxCustomTrayIcon::UpdateTimer()
{
  FTimer->SetEnabled(!Designing() && FAnimate && FVisible && HasImages(FIconList));
}

void TQxCustomTrayIcon::SetVisible(bool Value)
{
  if (FVisible == Value)
    return;
  FVisible = Value;
  // No modification here: the add or the delete that follows carries the
  // picture, and a modification of an icon not yet added only fails.
  if (!FAnimate || FCurrentIcon->Empty())
    LoadDefaultIcon();
  if (Designing())
    return;
  UpdateTimer();
  if (FVisible) {
    Refresh(Win::NIM_ADD);
    ExportMenu();
    return;
  }
  if (!ComponentState().Contains(csLoading) && !Refresh(Win::NIM_DELETE))
    throw EOutOfResources(STrayIconRemoveError);
}

void TQxCustomTrayIcon::DoOnAnimate(TObject*)
{
  const std::weak_ptr<bool> alive = FAlive;
  if (OnAnimate) {
    OnAnimate(this);
    if (alive.expired())
      return;
  }
  if (FIconList && FIconList->Count() - 1 > FIconIndex)
    SetIconIndex(FIconIndex + 1);
  else
    SetIconIndex(0);
  Refresh();
}

void TQxCustomTrayIcon::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FPopupMenu) {
    FPopupMenu = nullptr;
    ExportMenu();
  }
  if (AComponent == FIconList) {
    FIconList = nullptr;
    UpdateTimer();
  }
}

void TQxCustomTrayIcon::WindowProc(TMessage& Message)
{
  Message.Result = 0;
  switch (Message.Msg) {
  case Win::WM_QUERYENDSESSION:
    Message.Result = 1;
    break;
  case Win::WM_ENDSESSION:
    if (Message.WParam != 0)
      Refresh(Win::NIM_DELETE);
    break;
  case WM_TRAYNOTIFY:
    HandleCallback(Message);
    break;
  default:
    break;
  }
}

void TQxCustomTrayIcon::HandleCallback(TMessage& Message)
{
  const auto event = Win::UINT(Message.LParam);
  switch (event) {
  case Win::WM_MOUSEMOVE:
    if (OnMouseMove) {
      const TPoint p = CursorPos();
      OnMouseMove(this, KeyboardShift(), p.X, p.Y);
    }
    break;
  case Win::WM_LBUTTONDBLCLK:
  case Win::WM_RBUTTONDBLCLK:
  case Win::WM_MBUTTONDBLCLK:
    if (OnDblClick)
      OnDblClick(this);
    break;
  case Win::NIN_BALLOONHIDE:
  case Win::NIN_BALLOONTIMEOUT:
    FData->uFlags &= ~Win::NIF_INFO;
    break;
  case Win::NIN_BALLOONUSERCLICK:
    // The clicked balloon has closed too: later changes must not bring it back.
    FData->uFlags &= ~Win::NIF_INFO;
    if (OnBalloonClick)
      OnBalloonClick(this);
    break;
  default:
    MouseButton(event);
    break;
  }
}

void TQxCustomTrayIcon::MouseButton(Win::UINT Event)
{
  struct TButtonEvent {
    Win::UINT Down, Up;
    TMouseButton Button;
    TShiftStateItem State;
  };
  static constexpr TButtonEvent kButtons[] = {
    {Win::WM_LBUTTONDOWN, Win::WM_LBUTTONUP, TMouseButton::mbLeft, TShiftStateItem::ssLeft},
    {Win::WM_RBUTTONDOWN, Win::WM_RBUTTONUP, TMouseButton::mbRight, TShiftStateItem::ssRight},
    {Win::WM_MBUTTONDOWN, Win::WM_MBUTTONUP, TMouseButton::mbMiddle, TShiftStateItem::ssMiddle}};
  for (const TButtonEvent& b : kButtons) {
    if (Event != b.Down && Event != b.Up)
      continue;
    const std::weak_ptr<bool> alive = FAlive;
    const TPoint p = CursorPos();
    const TShiftState shift = KeyboardShift() + TShiftState{b.State};
    if (Event == b.Down) {
      if (b.Button == TMouseButton::mbLeft)
        FIsClicked = true;
      if (OnMouseDown)
        OnMouseDown(this, b.Button, shift, p.X, p.Y);
      return;
    }
    // The flag is cleared before any handler runs, so a handler that frees
    // the component or pumps messages finds a settled state.
    if (b.Button == TMouseButton::mbLeft && std::exchange(FIsClicked, false) && OnClick) {
      OnClick(this);
      if (alive.expired())
        return;
    }
    if (OnMouseUp) {
      OnMouseUp(this, b.Button, shift, p.X, p.Y);
      if (alive.expired())
        return;
    }
    if (b.Button == TMouseButton::mbRight)
      ShowPopupMenu();
    return;
  }
}

// Pending messages are not processed first: the menu's own loop handles
// them, and handlers run by them could free the menu or this component.
void TQxCustomTrayIcon::ShowPopupMenu()
{
  if (!FPopupMenu)
    return;
  if (TCustomForm* main = Application->MainForm())
    Win::SetForegroundWindow(main->Handle());
  const TPoint p = CursorPos();
  FPopupMenu->SetAutoPopup(false);
  FPopupMenu->SetPopupComponent(Owner());
  FPopupMenu->Popup(p.X, p.Y);
}

QX_PUBLISHED(TQxTrayIcon)
{
  Property("Animate", &T::Animate, &T::SetAnimate).Default(false);
  Property("AnimateInterval", &T::AnimateInterval, &T::SetAnimateInterval).Default(Cardinal(1000));
  Property("Hint", &T::Hint, &T::SetHint);
  Property("BalloonHint", &T::BalloonHint, &T::SetBalloonHint);
  Property("BalloonTitle", &T::BalloonTitle, &T::SetBalloonTitle);
  Property("BalloonTimeout", &T::BalloonTimeout, &T::SetBalloonTimeout).Default(10000);
  Property("BalloonFlags", &T::BalloonFlags, &T::SetBalloonFlags).Default(bfNone);
  Property("Icon", &T::Icon, &T::SetIcon);
  Property("Icons", &T::Icons, &T::SetIconList);
  Property("IconIndex", &T::IconIndex, &T::SetIconIndex).Default(0);
  Property("PopupMenu", &T::PopupMenu, &T::SetPopupMenu);
  Property("Visible", &T::Visible, &T::SetVisible).Default(false);
  Event("OnBalloonClick", &T::OnBalloonClick);
  Event("OnClick", &T::OnClick);
  Event("OnDblClick", &T::OnDblClick);
  Event("OnMouseMove", &T::OnMouseMove);
  Event("OnMouseUp", &T::OnMouseUp);
  Event("OnMouseDown", &T::OnMouseDown);
  Event("OnAnimate", &T::OnAnimate);
}

} // namespace Quorex

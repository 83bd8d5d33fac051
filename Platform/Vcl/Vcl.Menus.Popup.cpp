// The popup menu's modal loop: one top-level popup window per open level
// (the menu and its open sub-menus), hot tracking, keyboard and mouse, and
// closing on a choice, Escape, a press outside, an application switch or a
// cancel-mode request.
//
// The windows never take activation or the capture. While the loop runs it
// reads the keyboard itself, lets the pointer reach only its own windows and
// watches every press through a mouse hook: a press outside ends the loop and
// stays queued for the window beneath, which gets it after the menu closed.
#include "Vcl.Menus.Internal.hpp"

#include <System.Classes.Thread.hpp>
#include <Win.MenuBar.hpp>
#include <Win.Screen.hpp>
#include <Win.User.Guards.hpp>

#include <algorithm>
#include <utility>

namespace Vcl {

using namespace MenusInternal;

namespace {

std::vector<TMenuLoop*> gLoops; // the running loops, innermost last
TMenuLoopIdleHook gIdleHook;
// Installed while any loop runs; the innermost loop answers.
Win::HHOOK gMouseHook = nullptr;
Win::HHOOK gKeyboardHook = nullptr;

constexpr const char* kWindowClass = "QxPopupMenu";

bool IsPress(Win::UINT Message)
{
  return Message == Win::WM_LBUTTONDOWN || Message == Win::WM_RBUTTONDOWN || Message == Win::WM_MBUTTONDOWN ||
         Message == Win::WM_LBUTTONDBLCLK || Message == Win::WM_RBUTTONDBLCLK || Message == Win::WM_MBUTTONDBLCLK;
}

// A press outside the innermost menu closes it; a press on the menu bar the
// menu dropped from is the bar's, and goes no further.
Win::LRESULT MouseHook(int Code, Win::WPARAM WParam, Win::LPARAM LParam)
{
  if (gLoops.empty())
    return 0;
  TMenuLoop* loop = gLoops.back();
  const auto* info = reinterpret_cast<const Win::MOUSEHOOKSTRUCT*>(LParam);
  // A loop that has ended leaves the rest of the input to whoever comes next.
  if (Code == Win::HC_ACTION && IsPress(Win::UINT(WParam)) && !loop->Done() && !loop->OwnsWindow(info->hwnd)) {
    if (loop->BarPress(info->pt))
      return 1;
    loop->Cancel();
  }
  return Win::CallNextHookEx(gMouseHook, Code, WParam, LParam);
}

// Every key goes to the open menu, whichever window has the focus (or none).
Win::LRESULT KeyboardHook(int Code, Win::WPARAM WParam, Win::LPARAM LParam)
{
  if (gLoops.empty())
    return 0;
  if (Code != Win::HC_ACTION)
    return Win::CallNextHookEx(gKeyboardHook, Code, WParam, LParam);
  // Keys typed ahead of a bar's menu that has just ended wait, as messages,
  // for the bar's next menu or the window with the focus.
  if (gLoops.back()->Done() && gLoops.back()->ForBar())
    return Win::CallNextHookEx(gKeyboardHook, Code, WParam, LParam);
  bool released = (std::uintptr_t(LParam) >> 31) & 1;
  if (!released)
    gLoops.back()->KeyDown(int(WParam));
  return 1;
}

// Whoever holds the capture (a pressed button) lets it go before the menu
// shows: the menu's input must not end up there.
void ReleaseOtherCapture()
{
  if (Win::HWND capture = Win::GetCapture()) {
    Win::SendMessage(capture, Win::WM_CANCELMODE, 0, 0);
    Win::ReleaseCapture();
  }
}

// Left and top of a window of Size at the anchor, flipped to the other side
// of the anchor where it would leave the screen, and kept on it.
TPoint PlaceOnScreen(TPoint Anchor, TSize Size, TPopupAlignment Alignment)
{
  Integer screenW = Win::GetSystemMetrics(Win::SM_CXSCREEN), screenH = Win::GetSystemMetrics(Win::SM_CYSCREEN);
  Integer x = Anchor.X;
  if (Alignment == paRight)
    x -= Size.cx;
  else if (Alignment == paCenter)
    x -= Size.cx / 2;
  if (x + Size.cx > screenW && Alignment == paLeft)
    x = Anchor.X - Size.cx;
  else if (x < 0 && Alignment == paRight)
    x = Anchor.X;
  Integer y = Anchor.Y + Size.cy > screenH ? Anchor.Y - Size.cy : Anchor.Y;
  return TPoint(std::clamp(x, 0, std::max(0, screenW - Size.cx)), std::clamp(y, 0, std::max(0, screenH - Size.cy)));
}

} // namespace

namespace MenusInternal {

// ---- one level: a popup window ------------------------------------------------------------

class TMenuLevel {
public:
  TMenuLevel(TMenuLoop& Loop, TMenuItem* Parent) : FLoop(Loop), FParent(Parent), FLayout(LayOutMenu(Parent))
  {
    Win::WNDCLASS wc;
    wc.lpfnWndProc = &WndProc;
    wc.lpszClassName = kWindowClass;
    wc.hCursor = Win::LoadCursor(nullptr, Win::IDC_ARROW);
    Win::RegisterClass(wc);
    FHandle = Win::CreateWindowEx(Win::WS_EX_TOPMOST | Win::WS_EX_TOOLWINDOW | Win::WS_EX_NOACTIVATE, kWindowClass,
                                  "", Win::WS_POPUP, 0, 0, FLayout.Size.cx, FLayout.Size.cy, nullptr, nullptr,
                                  nullptr, nullptr);
    if (!FHandle)
      throw EOutOfResources("Error creating window");
    Win::SetWindowLongPtr(FHandle, Win::GWLP_USERDATA, Win::LONG_PTR(this));
  }
  ~TMenuLevel()
  {
    Win::SetWindowLongPtr(FHandle, Win::GWLP_USERDATA, 0);
    Win::DestroyWindow(FHandle);
  }
  TMenuLevel(const TMenuLevel&) = delete;
  TMenuLevel& operator=(const TMenuLevel&) = delete;

  Win::HWND Handle() const { return FHandle; }
  TMenuItem* Parent() const { return FParent; }
  TSize Size() const { return FLayout.Size; }
  bool Empty() const { return FLayout.Items.empty(); }
  Integer Hot() const { return FHot; }
  TMenuItem* HotItem() const { return FHot >= 0 ? FLayout.Items[std::size_t(FHot)].Item : nullptr; }
  Integer Count() const { return Integer(FLayout.Items.size()); }
  TMenuItem* Item(Integer Index) const { return FLayout.Items[std::size_t(Index)].Item; }

  void ShowAt(TPoint TopLeft)
  {
    Win::SetWindowPos(FHandle, Win::HWND_TOPMOST, TopLeft.X, TopLeft.Y, FLayout.Size.cx, FLayout.Size.cy,
                      Win::SWP_NOACTIVATE | Win::SWP_SHOWWINDOW);
  }

  void SetHot(Integer Index)
  {
    if (FHot == Index)
      return;
    FHot = Index;
    Win::InvalidateRect(FHandle, nullptr, Win::FALSE);
  }

  // The keyboard moves over enabled items only, round the ends.
  bool Selectable(Integer Index) const
  {
    const TMenuItem* item = Item(Index);
    return !item->IsLine() && item->Enabled();
  }
  void MoveHot(Integer From, Integer Step)
  {
    Integer n = Count();
    for (Integer i = 1; i <= n; ++i) {
      Integer index = ((From + Step * i) % n + n) % n;
      if (Selectable(index)) {
        SetHot(index);
        return;
      }
    }
  }
  void HotFirst() { MoveHot(-1, 1); }

  TRect ItemScreenRect(Integer Index) const
  {
    TRect r = FLayout.Items[std::size_t(Index)].Rect;
    Win::POINT origin;
    Win::ClientToScreen(FHandle, &origin);
    r.Offset(origin);
    return r;
  }

  // The item under a client point (separators are never hot); -1 for none.
  Integer ItemAt(TPoint Point) const
  {
    for (Integer i = 0; i < Count(); ++i)
      if (FLayout.Items[std::size_t(i)].Rect.Contains(Point))
        return Item(i)->IsLine() ? -1 : i;
    return -1;
  }

  // The items may go away while the loop winds down: nothing shows them.
  void Forget()
  {
    FLayout.Items.clear();
    FHot = -1;
  }

private:
  static Win::LRESULT WndProc(Win::HWND hWnd, Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam)
  {
    auto* level = reinterpret_cast<TMenuLevel*>(Win::GetWindowLongPtr(hWnd, Win::GWLP_USERDATA));
    if (!level)
      return Win::DefWindowProc(hWnd, Msg, WParam, LParam);
    return level->Handle(Msg, WParam, LParam);
  }

  Win::LRESULT Handle(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam)
  {
    TPoint at(Win::GET_X_LPARAM(LParam), Win::GET_Y_LPARAM(LParam));
    switch (Msg) {
    case Win::WM_PAINT: Paint(); return 0;
    case Win::WM_ERASEBKGND: return 1;
    case Win::WM_MOUSEACTIVATE: return Win::MA_NOACTIVATE;
    case Win::WM_MOUSEMOVE: PointerAt(at); return 0;
    case Win::WM_MOUSELEAVE: PointerLeft(); return 0;
    case Win::WM_LBUTTONDOWN:
    case Win::WM_RBUTTONDOWN:
      PointerAt(at);
      return 0;
    case Win::WM_LBUTTONUP:
    case Win::WM_RBUTTONUP:
      Release(at);
      return 0;
    case Win::WM_ACTIVATEAPP:
      if (!WParam)
        FLoop.Cancel();
      return 0;
    case Win::WM_CANCELMODE: FLoop.Cancel(); return 0;
    default: return Win::DefWindowProc(FHandle, Msg, WParam, LParam);
    }
  }

  void Paint()
  {
    const Win::TWindowPaint paint(FHandle);
    PaintMenu(paint.DC(), FLayout, FHot, FParent->GetImageList());
  }

  void PointerAt(TPoint At)
  {
    Win::TRACKMOUSEEVENT track;
    track.dwFlags = Win::TME_LEAVE;
    track.hwndTrack = FHandle;
    Win::TrackMouseEvent(&track);
    Integer index = ItemAt(At);
    if (index == FHot || (index < 0 && FLoop.SubMenuOpen(this)))
      return;
    SetHot(index);
    FLoop.HotChanged(this);
  }

  void PointerLeft()
  {
    if (!FLoop.SubMenuOpen(this))
      SetHot(-1);
  }

  void Release(TPoint At)
  {
    Integer index = ItemAt(At);
    if (index < 0)
      return;
    SetHot(index);
    FLoop.Activate(this, false);
  }

  TMenuLoop& FLoop;
  TMenuItem* FParent;
  TMenuLayout FLayout;
  Win::HWND FHandle = nullptr;
  Integer FHot = -1;
};

// ---- the loop ----------------------------------------------------------------------------------

TMenuLoop::TMenuLoop(TPopupMenu* Menu) : FMenu(Menu), FRoot(Menu->Items()), FAlignment(Menu->Alignment()) {}

TMenuLoop::TMenuLoop(TMenuBar& Bar, const TBarMove& Move)
  : FRoot(Move.Open ? Bar.Item(Move.Item) : nullptr), FBar(&Bar), FBarItem(Move.Item), FSelectFirst(Move.Keyboard)
{
}

TMenuLoop::~TMenuLoop()
{
  std::erase(gLoops, this);
  if (gLoops.empty()) {
    for (Win::HHOOK* hook : {&gMouseHook, &gKeyboardHook})
      if (*hook)
        Win::UnhookWindowsHookEx(std::exchange(*hook, nullptr));
  }
  while (!FLevels.empty())
    FLevels.pop_back();
}

TMenuItem* TMenuLoop::Run(TPoint At)
{
  ReleaseOtherCapture();
  if (FRoot && HasVisibleItems(FRoot)) {
    auto root = std::make_unique<TMenuLevel>(*this, FRoot);
    root->ShowAt(PlaceOnScreen(At, root->Size(), FAlignment));
    if (FSelectFirst)
      root->HotFirst();
    FLevels.push_back(std::move(root));
  }
  if (gLoops.empty()) {
    gMouseHook = Win::SetWindowsHookEx(Win::WH_MOUSE, &MouseHook, nullptr, Win::GetCurrentThreadId());
    gKeyboardHook = Win::SetWindowsHookEx(Win::WH_KEYBOARD, &KeyboardHook, nullptr, Win::GetCurrentThreadId());
  }
  gLoops.push_back(this);
  while (!FDone) {
    Win::MSG msg;
    // The hooks see the input while the peek turns it into messages: a key
    // may close the menu, and a press outside ends the loop and stays
    // queued for the window beneath.
    bool waiting = Win::PeekMessage(&msg, nullptr, 0, 0, Win::PM_NOREMOVE);
    if (FDone)
      break;
    if (!waiting) {
      Idle();
      continue;
    }
    Win::PeekMessage(&msg, nullptr, 0, 0, Win::PM_REMOVE);
    Handle(msg);
  }
  while (!FLevels.empty())
    FLevels.pop_back();
  return FChosen;
}

void TMenuLoop::Idle()
{
  if (CheckSynchronize())
    return;
  if (!gIdleHook) {
    Win::WaitMessage();
    return;
  }
  TMenuLoopIdleHook hook = gIdleHook; // the hook may replace itself
  hook(FMenu);
}

void TMenuLoop::Handle(Win::MSG& Msg)
{
  switch (Msg.message) {
  case Win::WM_QUIT:
    // The application is ending: close, and leave the request to the loop
    // outside.
    Cancel();
    Win::PostQuitMessage(int(Msg.wParam));
    return;
  case Win::WM_KEYDOWN:
  case Win::WM_SYSKEYDOWN:
    KeyDown(int(Msg.wParam));
    return;
  // The keys came through the keyboard hook already; their characters are
  // not the menu's business.
  case Win::WM_CHAR:
  case Win::WM_SYSCHAR:
  case Win::WM_KEYUP:
  case Win::WM_SYSKEYUP:
    return;
  default:
    // The rest of the application sees no pointer while the menu is open;
    // the menu bar follows it.
    if (FBar && (Msg.message == Win::WM_MOUSEMOVE || Msg.message == Win::WM_NCMOUSEMOVE) && !OwnsWindow(Msg.hwnd)) {
      BarPointer(Msg.pt);
      return;
    }
    if (Msg.message >= Win::WM_MOUSEFIRST && Msg.message <= Win::WM_MOUSELAST && !OwnsWindow(Msg.hwnd))
      return;
    Win::DispatchMessage(&Msg);
  }
}

void TMenuLoop::KeyDown(int Key)
{
  if (FBar && BarKeyDown(Key))
    return;
  TMenuLevel& level = Deepest();
  switch (Key) {
  case Win::VK_DOWN: level.MoveHot(level.Hot(), 1); return;
  case Win::VK_UP: level.MoveHot(level.Hot() < 0 ? level.Count() : level.Hot(), -1); return;
  case Win::VK_HOME: level.HotFirst(); return;
  case Win::VK_END: level.MoveHot(level.Count(), -1); return;
  case Win::VK_RIGHT:
    if (TMenuItem* hot = level.HotItem(); hot && hot->Enabled() && HasVisibleItems(hot))
      OpenSubMenu(FLevels.size() - 1, true);
    return;
  case Win::VK_LEFT:
    if (FLevels.size() > 1)
      CloseLevelsBelow(FLevels.size() - 2);
    return;
  case Win::VK_ESCAPE:
    if (FLevels.size() > 1)
      CloseLevelsBelow(FLevels.size() - 2);
    else
      Cancel();
    return;
  case Win::VK_RETURN: Activate(&level, true); return;
  default:
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
      Accelerator(char32_t(Key));
    return;
  }
}

// A letter picks the item it is the accelerator of; when several items of
// the level share it, each press moves to the next of them.
void TMenuLoop::Accelerator(char32_t Char)
{
  if (Char >= 'a' && Char <= 'z')
    Char = Char - 'a' + 'A';
  TMenuLevel& level = Deepest();
  std::vector<Integer> matches;
  for (Integer i = 0; i < level.Count(); ++i)
    if (level.Selectable(i) && GetHotkey(level.Item(i)->Caption()) == Char)
      matches.push_back(i);
  if (matches.empty())
    return;
  if (matches.size() == 1) {
    level.SetHot(matches.front());
    Activate(&level, true);
    return;
  }
  auto next = std::upper_bound(matches.begin(), matches.end(), level.Hot());
  level.SetHot(next == matches.end() ? matches.front() : *next);
}

void TMenuLoop::Activate(TMenuLevel* Level, bool SelectFirst)
{
  TMenuItem* item = Level->HotItem();
  if (!item || !item->Enabled())
    return;
  if (HasVisibleItems(item)) {
    OpenSubMenu(DepthOf(Level), SelectFirst);
    return;
  }
  Choose(item);
}

void TMenuLoop::HotChanged(TMenuLevel* Level)
{
  std::size_t depth = DepthOf(Level);
  if (SubMenuOpen(Level))
    return;
  CloseLevelsBelow(depth);
  if (TMenuItem* hot = Level->HotItem(); hot && hot->Enabled() && HasVisibleItems(hot))
    OpenSubMenu(depth, false);
}

bool TMenuLoop::SubMenuOpen(const TMenuLevel* Level) const
{
  std::size_t depth = DepthOf(Level);
  return depth + 1 < FLevels.size() && Level->HotItem() && FLevels[depth + 1]->Parent() == Level->HotItem();
}

void TMenuLoop::OpenSubMenu(std::size_t Depth, bool SelectFirst)
{
  TMenuLevel& parent = *FLevels[Depth];
  if (!SubMenuOpen(&parent)) {
    CloseLevelsBelow(Depth);
    auto level = std::make_unique<TMenuLevel>(*this, parent.HotItem());
    Win::RECT parentRect;
    Win::GetWindowRect(parent.Handle(), &parentRect);
    TRect item = parent.ItemScreenRect(parent.Hot());
    Integer overlap = Scaled(3);
    TSize size = level->Size();
    Integer screenW = Win::GetSystemMetrics(Win::SM_CXSCREEN);
    Integer x = parentRect.Right - overlap;
    if (x + size.cx > screenW)
      x = parentRect.Left - size.cx + overlap;
    level->ShowAt(PlaceOnScreen(TPoint(std::max(0, x), item.Top - overlap), size, paLeft));
    FLevels.push_back(std::move(level));
  }
  if (SelectFirst)
    FLevels[Depth + 1]->HotFirst();
}

void TMenuLoop::CloseLevelsBelow(std::size_t Depth)
{
  while (FLevels.size() > Depth + 1)
    FLevels.pop_back();
}

std::size_t TMenuLoop::DepthOf(const TMenuLevel* Level) const
{
  for (std::size_t i = 0; i < FLevels.size(); ++i)
    if (FLevels[i].get() == Level)
      return i;
  return 0;
}

void TMenuLoop::Choose(TMenuItem* Item)
{
  FChosen = Item;
  FDone = true;
}

void TMenuLoop::Cancel()
{

  FChosen = nullptr;
  FDone = true;
  FBarMove = TBarMove();
  for (auto& level : FLevels)
    level->Forget();
}

// ---- dropped from a menu bar ----------------------------------------------------------------

void TMenuLoop::MoveOnBar(Integer Item, bool Open, bool Keyboard)
{
  Cancel();
  FBarMove = TBarMove{Item, Open, Keyboard};
}

bool TMenuLoop::BarPress(Win::POINT Screen)
{
  if (!FBar)
    return false;
  Integer index = FBar->ItemAt(Screen);
  if (index == -2)
    return false;
  if (index == -1 || (index == FBarItem && FRoot)) {
    Cancel(); // a second press on the open item closes its menu
    return true;
  }
  if (FBar->Openable(index))
    MoveOnBar(index, true, false);
  else if (FBar->Item(index)->Enabled())
    Choose(FBar->Item(index));
  return true;
}

void TMenuLoop::BarPointer(Win::POINT Screen)
{
  Integer index = FBar->ItemAt(Screen);
  if (index >= 0 && index != FBarItem && FBar->Item(index)->Enabled())
    MoveOnBar(index, FRoot != nullptr, false);
}

// Keys the bar answers: moving across it, and, while it only has the
// keyboard or the first level is open, opening, closing and leaving.
bool TMenuLoop::BarKeyDown(int Key)
{
  if (Key == Win::VK_MENU || Key == Win::VK_F10) {
    Cancel();
    return true;
  }
  const bool top = FLevels.size() <= 1;
  TMenuItem* hot = FLevels.empty() ? nullptr : Deepest().HotItem();
  switch (Key) {
  case Win::VK_LEFT:
    if (!top)
      return false;
    MoveOnBar(FBar->Next(FBarItem, -1), FRoot != nullptr, true);
    return true;
  case Win::VK_RIGHT:
    if (hot && hot->Enabled() && HasVisibleItems(hot))
      return false;
    MoveOnBar(FBar->Next(FBarItem, 1), FRoot != nullptr, true);
    return true;
  case Win::VK_ESCAPE:
    if (!top)
      return false;
    if (FRoot)
      MoveOnBar(FBarItem, false, true);
    else
      Cancel();
    return true;
  default:
    break;
  }
  if (!FLevels.empty())
    return false;
  // Only the bar has the keyboard.
  if (Key == Win::VK_DOWN || Key == Win::VK_UP || Key == Win::VK_RETURN) {
    if (FBar->Openable(FBarItem))
      MoveOnBar(FBarItem, true, true);
    else if (Key == Win::VK_RETURN && FBar->Item(FBarItem)->Enabled())
      Choose(FBar->Item(FBarItem));
    return true;
  }
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) {
    Integer index = FBar->ItemOfHotkey(char32_t(Key));
    if (index >= 0 && FBar->Openable(index))
      MoveOnBar(index, true, true);
    else if (index >= 0)
      Choose(FBar->Item(index));
  }
  return true;
}

bool TMenuLoop::OwnsWindow(Win::HWND Wnd) const
{
  return Wnd && std::any_of(FLevels.begin(), FLevels.end(), [Wnd](const auto& l) { return l->Handle() == Wnd; });
}

bool TMenuLoop::FindItemRect(const TMenuItem* Item, TRect& Rect) const
{
  for (const auto& level : FLevels)
    for (Integer i = 0; i < level->Count(); ++i)
      if (level->Item(i) == Item) {
        Rect = level->ItemScreenRect(i);
        return true;
      }
  return false;
}

} // namespace MenusInternal

// ---- TPopupMenu ----------------------------------------------------------------------------

TPopupMenu::~TPopupMenu()
{
  *FAlive = false;
  if (FLoop)
    FLoop->Cancel();
  FLoop = nullptr;
}

void TPopupMenu::ItemDestroying(TMenuItem* Item)
{
  (void)Item;
  if (FLoop)
    FLoop->Cancel();
}

void TPopupMenu::Popup(Integer X, Integer Y)
{
  const std::shared_ptr<bool> alive = FAlive;
  FPopupPoint = TPoint(X, Y);
  DoPopup(this);
  if (!*alive || FLoop || !HasVisibleItems(Items()))
    return;
  TMenuItem* chosen = nullptr;
  {
    TMenuLoop loop(this);
    FLoop = &loop;
    try {
      chosen = loop.Run(TPoint(X, Y));
    } catch (...) {
      if (*alive)
        FLoop = nullptr;
      throw;
    }
    if (*alive)
      FLoop = nullptr;
  }
  // Last: the handler may free the menu, its owner or the item.
  if (*alive && chosen)
    chosen->Click();
}

bool GetMenuItemRect(const TMenuItem* Item, TRect& Rect)
{
  if (std::any_of(gLoops.begin(), gLoops.end(), [&](const TMenuLoop* l) { return l->FindItemRect(Item, Rect); }))
    return true;
  auto* menu = Item ? dynamic_cast<TMainMenu*>(Item->GetParentMenu()) : nullptr;
  return menu && menu->FBar && menu->FBar->FindItemRect(Item, Rect);
}

TMenuLoopIdleHook SetMenuLoopIdleHook(TMenuLoopIdleHook Hook)
{
  std::swap(gIdleHook, Hook);
  return Hook;
}

} // namespace Vcl

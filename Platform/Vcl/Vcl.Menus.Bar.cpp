// A form's menu bar: the first-level items of its main menu across the
// strip the window system keeps above the form's client area, drawn in the
// themed or the classic look, hot under the pointer, and the loop that
// drops their menus (the popup menu's windows) and moves across the bar.
#include "Vcl.Menus.Internal.hpp"

#include "Vcl.Themes.hpp"

#include <Win.Gdi.Guards.hpp>
#include <Win.MenuBar.hpp>
#include <Win.Screen.hpp>

#include <algorithm>
#include <utility>

namespace Vcl {

using namespace MenusInternal;

namespace {

constexpr Integer kItemPad = 7, kLeading = 2;

void DrawCaption(TCanvas& Canvas, const String& Caption, TRect R, TColor Color)
{
  Win::HDC dc = Canvas.Handle();
  Win::SetBkMode(dc, Win::TRANSPARENT);
  Win::SetTextColor(dc, Win::COLORREF(ColorToRGB(Color)));
  Win::DrawText(dc, Caption.c_str(), Integer(Caption.size()), &R,
                Win::DT_CENTER | Win::DT_SINGLELINE | Win::DT_VCENTER);
}

// Themed: the item highlighted as a popup item is; classic: a thin raised
// frame when hot, sunken while its menu is open.
void PaintBarItem(TCanvas& Canvas, const TMenuItem* Item, TRect R, bool Hot, bool Pushed)
{
  Win::HDC dc = Canvas.Handle();
  const bool themed = StyleServices()->Enabled();
  if (Hot && themed) {
    StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(tmPopupItemHot), R);
  } else if (Hot) {
    Win::RECT frame = R;
    Win::DrawEdge(dc, &frame, Pushed ? Win::BDR_SUNKENOUTER : Win::BDR_RAISEDINNER, Win::BF_RECT);
    if (Pushed)
      R.Offset(1, 1);
  }
  if (Item->Enabled()) {
    DrawCaption(Canvas, Item->Caption(), R, clMenuText);
    return;
  }
  if (!themed) {
    TRect shifted = R;
    shifted.Offset(1, 1);
    DrawCaption(Canvas, Item->Caption(), shifted, clBtnHighlight);
  }
  DrawCaption(Canvas, Item->Caption(), R, themed ? clGrayText : clBtnShadow);
}

} // namespace

namespace MenusInternal {

TMenuBar::TMenuBar(TWinControl* Form, TMainMenu* Menu) : FForm(Form), FMenu(Menu)
{
  FMenu->FBar = this;
  LayOut();
}

TMenuBar::~TMenuBar()
{
  *FAlive = false;
  Detach();
}

void TMenuBar::Detach()
{
  if (FLoop)
    FLoop->Cancel();
  if (FMenu)
    FMenu->FBar = nullptr;
  FMenu = nullptr;
  FItems.clear();
  FHot = -1;
}

void TMenuBar::CancelTracking()
{
  if (FLoop)
    FLoop->Cancel();
}

void TMenuBar::Changed()
{
  LayOut();
  if (FForm->HandleAllocated())
    Win::DrawMenuBar(FForm->Handle());
}

void TMenuBar::LayOut()
{
  FItems.clear();
  FHot = -1;
  if (!FMenu)
    return;
  Win::TMemoryDC memory(nullptr, 1, 1);
  TCanvas canvas;
  canvas.SetHandle(memory.DC());
  TFont font;
  canvas.SetFont(&font);
  const Integer height = Win::GetSystemMetrics(Win::SM_CYMENU);
  Integer left = Scaled(kLeading);
  const TMenuItem* root = FMenu->Items();
  for (Integer i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (!item->Visible())
      continue;
    Integer width = canvas.TextWidth(StripHotkey(item->Caption())) + 2 * Scaled(kItemPad);
    FItems.push_back({item, TRect(left, 0, left + width, height)});
    left += width;
  }
  canvas.SetHandle(nullptr);
}

TRect TMenuBar::StripRect() const
{
  Win::RECT r;
  if (!FForm->HandleAllocated() || !Win::GetMenuBarRect(FForm->Handle(), &r))
    return TRect();
  return r;
}

void TMenuBar::Paint()
{
  if (!FForm->HandleAllocated() || !Win::IsWindowVisible(FForm->Handle()))
    return;
  Win::HDC dc = Win::GetMenuBarDC(FForm->Handle());
  if (!dc)
    return;
  TRect strip = StripRect();
  strip.Offset(-strip.Left, -strip.Top);
  TCanvas canvas;
  canvas.SetHandle(dc);
  TFont font;
  canvas.SetFont(&font);
  Win::FillRect(dc, &strip, Win::GetSysColorBrush(StyleServices()->Enabled() ? Win::COLOR_MENUBAR : Win::COLOR_MENU));
  for (std::size_t i = 0; i < FItems.size(); ++i)
    PaintBarItem(canvas, FItems[i].Item, FItems[i].Rect, Integer(i) == FHot, FPushed);
  canvas.SetHandle(nullptr);
  Win::ReleaseDC(FForm->Handle(), dc);
}

void TMenuBar::SetHot(Integer Index, bool Pushed)
{
  if (FHot == Index && FPushed == Pushed)
    return;
  FHot = Index;
  FPushed = Pushed;
  Paint();
}

Integer TMenuBar::ItemAt(Win::POINT Screen) const
{
  TRect strip = StripRect();
  if (!strip.Contains(Screen))
    return -2;
  TPoint at(Screen.X - strip.Left, Screen.Y - strip.Top);
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Rect.Contains(at))
      return Integer(i);
  return -1;
}

Integer TMenuBar::ItemOfHotkey(char32_t Char) const
{
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Item->Enabled() && GetHotkey(FItems[i].Item->Caption()) == Char)
      return Integer(i);
  return -1;
}

Integer TMenuBar::Next(Integer Index, Integer Step) const
{
  Integer n = Count();
  for (Integer i = 1; i <= n; ++i) {
    Integer next = ((Index + Step * i) % n + n) % n;
    if (Item(next)->Enabled())
      return next;
  }
  return Index;
}

bool TMenuBar::Openable(Integer Index) const
{
  return Item(Index)->Enabled() && HasVisibleItems(Item(Index));
}

Win::POINT TMenuBar::DropPoint(Integer Index) const
{
  TRect strip = StripRect();
  return Win::POINT(strip.Left + FItems[std::size_t(Index)].Rect.Left, strip.Bottom);
}

bool TMenuBar::FindItemRect(const TMenuItem* Item, TRect& Rect) const
{
  TRect strip = StripRect();
  if (strip.IsEmpty() || !Win::IsWindowVisible(FForm->Handle()))
    return false;
  for (const TBarItem& laid : FItems)
    if (laid.Item == Item) {
      Rect = laid.Rect;
      Rect.Offset(strip.Left, strip.Top);
      return true;
    }
  return false;
}

// The modal part: runs loops for the bar's items until one ends in a
// choice or closes; the chosen item's Click runs last, after the menus'
// windows are gone, so that the handler may free the form.
void TMenuBar::Track(TBarMove Move)
{
  if (FLoop || Move.Item < 0 || Move.Item >= Count())
    return;
  const std::shared_ptr<bool> alive = FAlive;
  TMenuItem* chosen = nullptr;
  TBarMove move = Move;
  while (move.Item >= 0 && !chosen) {
    SetHot(move.Item, move.Open);
    TMenuLoop loop(*this, move);
    FLoop = &loop;
    try {
      chosen = loop.Run(DropPoint(move.Item));
    } catch (...) {
      if (*alive)
        FLoop = nullptr;
      throw;
    }
    if (!*alive)
      return;
    FLoop = nullptr;
    move = loop.BarMove();
  }
  SetHot(-1, false);
  if (chosen)
    chosen->Click();
}

void TMenuBar::Pointer(Win::POINT Screen)
{
  Win::TRACKMOUSEEVENT track;
  track.dwFlags = Win::TME_LEAVE | Win::TME_NONCLIENT;
  track.hwndTrack = FForm->Handle();
  Win::TrackMouseEvent(&track);
  Integer index = ItemAt(Screen);
  SetHot(index >= 0 && Item(index)->Enabled() ? index : -1, false);
}

bool TMenuBar::Message(TMessage& Message)
{
  const bool onBar = Win::LRESULT(Message.WParam) == Win::HTMENU;
  const Win::POINT at(Win::GET_X_LPARAM(Message.LParam), Win::GET_Y_LPARAM(Message.LParam));
  switch (Message.Msg) {
  case Win::WM_NCPAINT:
    Paint();
    return false;
  case Win::WM_NCMOUSEMOVE:
    if (onBar)
      Pointer(at);
    return onBar;
  case Win::WM_NCMOUSELEAVE:
    if (!FLoop)
      SetHot(-1, false);
    return true;
  case Win::WM_NCLBUTTONDOWN:
  case Win::WM_NCLBUTTONDBLCLK: {
    if (!onBar)
      return false;
    Integer index = ItemAt(at);
    if (index < 0 || !Item(index)->Enabled())
      return true;
    if (Openable(index))
      Track(TBarMove{index, true, false});
    else
      Item(index)->Click();
    return true;
  }
  default:
    return false;
  }
}

bool TMenuBar::Key(const Win::MSG& Msg)
{
  if (!FMenu || FLoop)
    return false;
  const Word key = Word(Msg.wParam);
  const bool down = Msg.message == Win::WM_KEYDOWN || Msg.message == Win::WM_SYSKEYDOWN;
  const bool up = Msg.message == Win::WM_KEYUP || Msg.message == Win::WM_SYSKEYUP;
  if (up && key == Win::VK_MENU && std::exchange(FAltAlone, false)) {
    Track(TBarMove{Next(-1, 1), false, true});
    return true;
  }
  if (!down)
    return false;
  const bool repeat = (Msg.lParam >> 30) & 1;
  if (key == Win::VK_MENU) {
    FAltAlone = !repeat;
    return false;
  }
  FAltAlone = false;
  const TShiftState shift = KeyDataToShiftState(Msg.lParam);
  if (TMenuItem* item = FMenu->FindShortCut(ShortCut(key, shift))) {
    item->Click();
    return true;
  }
  if (key == Win::VK_F10 && shift.Empty() && Count() > 0) {
    Track(TBarMove{Next(-1, 1), false, true});
    return true;
  }
  if (Msg.message != Win::WM_SYSKEYDOWN || !shift.Contains(ssAlt))
    return false;
  Integer index = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') ? ItemOfHotkey(char32_t(key)) : -1;
  if (index < 0)
    return false;
  if (Openable(index))
    Track(TBarMove{index, true, true});
  else
    Item(index)->Click();
  return true;
}

} // namespace MenusInternal

// ---- TMainMenu --------------------------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu()
{
  Destroying();
  if (FBar)
    FBar->Detach();
}

void TMainMenu::SetBiDiMode(TBiDiMode Value)
{
  FBiDiMode = Value;
  FParentBiDiMode = false;
}

TWinControl* TMainMenu::Form() const
{
  return FBar ? FBar->Form() : nullptr;
}

bool TMainMenu::IsTracking() const
{
  return FBar && FBar->Tracking();
}

void TMainMenu::ItemDestroying(TMenuItem* Item)
{
  (void)Item;
  if (FBar)
    FBar->CancelTracking();
}

void TMainMenu::MenuChanged(TMenuItem* Source, bool Rebuild)
{
  if (FBar)
    FBar->Changed();
  if (OnChange)
    OnChange(this, Source, Rebuild);
}

} // namespace Vcl

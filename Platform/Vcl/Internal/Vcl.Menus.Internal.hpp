// What the implementation files of Vcl.Menus share: the layout and look of
// one level of an open popup menu, the modal loop that runs the levels, and
// the menu bar of a form, whose menus drop through the same loop.
#pragma once

#include "Vcl.Menus.hpp"

#include <memory>
#include <vector>

namespace Vcl::MenusInternal {

// ---- layout and look (Vcl.Menus.Draw.cpp) ------------------------------------------------
// A length at 96 DPI on the screen's resolution.
Integer Scaled(Integer Px);
bool HasVisibleItems(const TMenuItem* Item);

struct TLaidOutItem {
  TMenuItem* Item = nullptr;
  TRect Rect; // client coordinates of the level's window
};

struct TMenuLayout {
  std::vector<TLaidOutItem> Items; // the visible sub-items, in order
  TSize Size;                      // of the whole window
  Integer TextLeft = 0;            // where captions start
  Integer ShortCutRight = 0;       // where shortcut texts end
  bool Themed = false;
};

// Lays out the visible sub-items of Parent in the current look.
TMenuLayout LayOutMenu(const TMenuItem* Parent);
// Paints the level with the item at Hot (an index of Layout.Items, or -1)
// highlighted.
void PaintMenu(Win::HDC DC, const TMenuLayout& Layout, Integer Hot, TCustomImageList* Images);

// ---- the modal loop (Vcl.Menus.Popup.cpp) ----------------------------------------------
class TMenuLevel;

// Where a loop that runs for a menu bar goes next when it ends without a
// choice: another item of the bar (dropped open or only selected; the
// keyboard's drops start on their first item), or nowhere (Item -1).
struct TBarMove {
  Integer Item = -1;
  bool Open = false;
  bool Keyboard = false;
};

class TMenuLoop {
public:
  explicit TMenuLoop(TPopupMenu* Menu);
  // A loop for the bar's item Move.Item: its sub-items dropped (Move.Open),
  // or only the bar selected for the keyboard.
  TMenuLoop(TMenuBar& Bar, const TBarMove& Move);
  ~TMenuLoop();
  TMenuLoop(const TMenuLoop&) = delete;
  TMenuLoop& operator=(const TMenuLoop&) = delete;

  // Shows the menu with the anchor At and runs until it closes; the chosen
  // item, or nullptr. Every window is gone when it returns.
  TMenuItem* Run(TPoint At);
  // Ends the loop without a choice (a press outside, the menu or one of its
  // items going away, an application switch).
  void Cancel();
  bool FindItemRect(const TMenuItem* Item, TRect& Rect) const;

  // For the levels' windows.
  bool OwnsWindow(Win::HWND Wnd) const;
  void HotChanged(TMenuLevel* Level);
  void Activate(TMenuLevel* Level, bool SelectFirst);
  void Choose(TMenuItem* Item);
  // Does the level show the sub-menu of its hot item?
  bool SubMenuOpen(const TMenuLevel* Level) const;
  // A key pressed while the menu is open.
  void KeyDown(int Key);
  // A press the mouse hook saw; true when the bar takes it.
  bool BarPress(Win::POINT Screen);
  // Where a bar's loop goes next (after Run returned nullptr).
  TBarMove BarMove() const { return FBarMove; }
  bool ForBar() const { return FBar != nullptr; }
  // Closing: a choice was made or the loop was cancelled.
  bool Done() const { return FDone; }

private:
  void Handle(Win::MSG& Msg);
  void Idle();
  void Accelerator(char32_t Char);
  bool BarKeyDown(int Key);
  void BarPointer(Win::POINT Screen);
  void MoveOnBar(Integer Item, bool Open, bool Keyboard);
  void OpenSubMenu(std::size_t Depth, bool SelectFirst);
  void CloseLevelsBelow(std::size_t Depth);
  std::size_t DepthOf(const TMenuLevel* Level) const;
  TMenuLevel& Deepest() const { return *FLevels.back(); }

  TPopupMenu* FMenu = nullptr;
  TMenuItem* FRoot;
  TPopupAlignment FAlignment = paLeft;
  TMenuBar* FBar = nullptr;
  Integer FBarItem = -1;
  bool FSelectFirst = false;
  TBarMove FBarMove;
  std::vector<std::unique_ptr<TMenuLevel>> FLevels;
  bool FDone = false;
  TMenuItem* FChosen = nullptr;
};

// ---- a form's menu bar (Vcl.Menus.Bar.cpp) ------------------------------------------------
// The strip of the form whose Menu a main menu is: its layout and look,
// hot tracking, and the loop that drops the items' menus. The form hands
// it the strip's non-client messages and its keys.
class TMenuBar {
public:
  TMenuBar(TWinControl* Form, TMainMenu* Menu);
  ~TMenuBar();
  TMenuBar(const TMenuBar&) = delete;
  TMenuBar& operator=(const TMenuBar&) = delete;

  TMainMenu* Menu() const { return FMenu; }
  TWinControl* Form() const { return FForm; }
  bool Tracking() const { return FLoop != nullptr; }
  // The menu is going away: nothing touches it any more.
  void Detach();
  // The items changed: the strip shows them anew.
  void Changed();
  // An item is going away: any menu dropped from the bar closes.
  void CancelTracking();
  // The strip's messages (WM_NCPAINT after the default, the non-client
  // mouse); true when handled.
  bool Message(TMessage& Message);
  // A key message on its way to the form's focused control: a shortcut of
  // an item, F10 or Alt alone, Alt with an accelerator; true when taken.
  bool Key(const Win::MSG& Msg);

  // For the loop.
  Integer Count() const { return Integer(FItems.size()); }
  TMenuItem* Item(Integer Index) const { return FItems[std::size_t(Index)].Item; }
  // The item under a screen point; -1 off the items, -2 off the strip.
  Integer ItemAt(Win::POINT Screen) const;
  // The bar's item with the accelerator, -1 for none.
  Integer ItemOfHotkey(char32_t Char) const;
  // The next enabled item from Index in Step's direction, round the ends.
  Integer Next(Integer Index, Integer Step) const;
  bool Openable(Integer Index) const;
  // Where the item's menu drops (screen).
  Win::POINT DropPoint(Integer Index) const;
  // Where a first-level item shows on the screen; false when it does not.
  bool FindItemRect(const TMenuItem* Item, TRect& Rect) const;

private:
  struct TBarItem {
    TMenuItem* Item;
    TRect Rect; // strip coordinates
  };
  void LayOut();
  void Paint();
  void SetHot(Integer Index, bool Pushed);
  void Track(TBarMove Move);
  void Pointer(Win::POINT Screen);
  TRect StripRect() const; // screen

  TWinControl* FForm;
  TMainMenu* FMenu;
  std::vector<TBarItem> FItems;
  Integer FHot = -1;
  bool FPushed = false;
  bool FAltAlone = false;
  TMenuLoop* FLoop = nullptr;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

} // namespace Vcl::MenusInternal

// What the implementation files of Vcl.Menus share: the layout and look of
// one level of an open popup menu, and the modal loop that runs the levels.
#pragma once

#include "Vcl.Menus.hpp"

#include <memory>
#include <vector>

namespace Vcl::MenusInternal {

// ---- layout and look (Vcl.Menus.Draw.cpp) ------------------------------------------------
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

class TMenuLoop {
public:
  explicit TMenuLoop(TPopupMenu* Menu);
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

private:
  void Handle(Win::MSG& Msg);
  void Idle();
  void Accelerator(char32_t Char);
  void OpenSubMenu(std::size_t Depth, bool SelectFirst);
  void CloseLevelsBelow(std::size_t Depth);
  std::size_t DepthOf(const TMenuLevel* Level) const;
  TMenuLevel& Deepest() const { return *FLevels.back(); }

  TPopupMenu* FMenu;
  std::vector<std::unique_ptr<TMenuLevel>> FLevels;
  bool FDone = false;
  TMenuItem* FChosen = nullptr;
};

} // namespace Vcl::MenusInternal

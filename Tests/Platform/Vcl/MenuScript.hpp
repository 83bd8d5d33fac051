// Drives an open menu as a user does: each time the menu's loop runs dry
// the next step runs (it looks at the menus and injects input). A menu
// still open when the steps are spent fails the test and is closed.
#pragma once

#include <Vcl.Menus.hpp>
#include <Win.Desktop.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace QxTest {

using TMenuStep = std::function<void(Vcl::TPopupMenu* Menu)>;

class TMenuScript {
public:
  // A popup menu's script, or (OfBar) the script of a form's menu bar, whose
  // loop runs with no popup menu and is left with F10.
  explicit TMenuScript(std::vector<TMenuStep> Steps, bool OfBar = false) : FSteps(std::move(Steps)), FOfBar(OfBar)
  {
    FOld = Vcl::SetMenuLoopIdleHook([this](Vcl::TPopupMenu* Menu) { Next(Menu); });
  }
  ~TMenuScript() { Vcl::SetMenuLoopIdleHook(FOld); }
  TMenuScript(const TMenuScript&) = delete;
  TMenuScript& operator=(const TMenuScript&) = delete;
  std::size_t Done() const { return FNext; }

private:
  void Next(Vcl::TPopupMenu* Menu)
  {
    if (FOfBar) {
      EXPECT_EQ(Menu, nullptr) << "a bar's menu is no popup menu";
    }
    if (FNext < FSteps.size()) {
      FSteps[FNext++](Menu);
      return;
    }
    if (!FFailed)
      ADD_FAILURE() << "the menu is still open after its script";
    FFailed = true;
    Win::InjectKey(FOfBar ? Win::VK_F10 : Win::VK_ESCAPE);
  }

  std::vector<TMenuStep> FSteps;
  bool FOfBar;
  std::size_t FNext = 0;
  bool FFailed = false;
  Vcl::TMenuLoopIdleHook FOld;
};

// Where an item shows on the screen; a failure when it does not.
inline Vcl::TRect ItemRect(const Vcl::TMenuItem* Item)
{
  Vcl::TRect r;
  EXPECT_TRUE(Vcl::GetMenuItemRect(Item, r)) << Item->Caption() << " does not show";
  return r;
}

inline bool Shows(const Vcl::TMenuItem* Item)
{
  Vcl::TRect r;
  return Vcl::GetMenuItemRect(Item, r);
}

// The pointer onto the middle of an item, or a click there.
inline void HoverOver(const Vcl::TMenuItem* Item)
{
  const Vcl::TPoint c = ItemRect(Item).CenterPoint();
  Win::InjectMouseMove(c.X, c.Y);
}

inline void ClickAt(const Vcl::TMenuItem* Item)
{
  const Vcl::TPoint c = ItemRect(Item).CenterPoint();
  Win::InjectClick(c.X, c.Y);
}

inline void InjectKeys(const std::vector<int>& Keys)
{
  for (int k : Keys)
    Win::InjectKey(k);
}

// The same as steps of a script.
inline TMenuStep HoverItem(const Vcl::TMenuItem* Item)
{
  return [Item](Vcl::TPopupMenu*) { HoverOver(Item); };
}

inline TMenuStep ClickItem(const Vcl::TMenuItem* Item)
{
  return [Item](Vcl::TPopupMenu*) { ClickAt(Item); };
}

inline TMenuStep Keys(std::vector<int> Keys)
{
  return [Keys](Vcl::TPopupMenu*) { InjectKeys(Keys); };
}

} // namespace QxTest

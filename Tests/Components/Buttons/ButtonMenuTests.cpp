// The button with a real drop-down menu: the modal menu opened by mouse and
// keyboard, the press that closes it over the button, an item's handler
// that frees the button, and the mouse let go before the menu runs.
#include "ButtonTestSupport.hpp"

#include <Vcl.Menus.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

class ButtonMenuTest : public QxTest::ButtonFixture {
protected:
  TPopupMenu* RealMenu(TQxButton* Button)
  {
    auto* menu = new TPopupMenu(Form);
    for (const char* caption : {"&First", "&Second"}) {
      auto* item = new TMenuItem(Form);
      item->SetCaption(caption);
      item->OnClick = [this, caption](TObject*) { Log.push_back(String("item ") + caption); };
      menu->Items()->Add(item);
    }
    menu->OnPopup = [this](TObject*) { Log.push_back("popup"); };
    Button->SetDropDownMenu(menu);
    return menu;
  }
  // Runs each step once the open menu's loop is idle, in turn.
  void Script(std::vector<std::function<void()>> Steps)
  {
    FSteps = std::move(Steps);
    FNext = 0;
    FOld = SetMenuLoopIdleHook([this](TPopupMenu*) {
      if (FNext < FSteps.size())
        FSteps[FNext++]();
      else
        Win::InjectKey(Win::VK_ESCAPE);
    });
  }
  void TearDown() override
  {
    SetMenuLoopIdleHook(FOld);
    ButtonFixture::TearDown();
  }

private:
  std::vector<std::function<void()>> FSteps;
  std::size_t FNext = 0;
  TMenuLoopIdleHook FOld;
};

TEST_F(ButtonMenuTest, APressOnTheButtonClosesItsOpenMenuWithoutOpeningItAgain)
{
  TQxButton* button = NewButton(bsDropDownButton);
  RealMenu(button);
  const TPoint onButton = button->ClientToScreen(TPoint(10, 10));
  Script({[&] { Win::InjectClick(onButton.X, onButton.Y); }});
  ClickOn(button, 10, 10);
  EXPECT_EQ(Count("popup"), 1);
  EXPECT_FALSE(button->PopupDropped());
  // The first click after its menu, the second the press that closed it.
  EXPECT_EQ(Count("click"), 2);
}

TEST_F(ButtonMenuTest, AnItemChosenByKeysRunsWithoutAClickOfTheButton)
{
  TQxButton* button = NewButton(bsDropDownButton);
  RealMenu(button);
  button->SetFocus();
  Script({[] {
    Win::InjectKey(Win::VK_DOWN);
    Win::InjectKey(Win::VK_DOWN);
    Win::InjectKey(Win::VK_RETURN);
  }});
  Key(Win::VK_DOWN);
  EXPECT_EQ(Log, (std::vector<std::string>{"dropdown", "popup", "item &Second"}));
  EXPECT_EQ(button->State(), uicsNormal);
}

TEST_F(ButtonMenuTest, TheSplitArrowLetsGoOfTheMouseBeforeTheMenuRuns)
{
  TQxButton* button = NewButton(bsSplitButton);
  RealMenu(button);
  TControl* captured = button;
  bool pressed = false;
  Script({[&] {
    captured = GetCaptureControl();
    pressed = button->SplitState() == uicsPressed;
    Win::InjectKey(Win::VK_ESCAPE);
  }});
  ClickOn(button, 115, 10);
  EXPECT_NE(captured, button);
  EXPECT_TRUE(pressed);
  EXPECT_EQ(Count("click"), 0);
  EXPECT_EQ(Count("popup"), 1);
}

TEST_F(ButtonMenuTest, AnItemsHandlerMayFreeTheButtonThatOpenedTheMenu)
{
  TQxButton* button = NewButton(bsDropDownButton);
  TPopupMenu* menu = RealMenu(button);
  menu->Items()->Items(0)->OnClick = [&](TObject*) { delete button; };
  Script({[] {
    Win::InjectKey(Win::VK_DOWN);
    Win::InjectKey(Win::VK_RETURN);
  }});
  ClickOn(button, 10, 10);
  EXPECT_EQ(Form->ControlCount(), 0);
  EXPECT_EQ(Count("click"), 0);
}

} // namespace

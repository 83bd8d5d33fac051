// The button driven by injected mouse and keyboard on the headless desktop:
// clicks, drop-down and split parts, the menu's reopen guard, keyboard
// presses, default and cancel, accelerators, and buttons freed by their own
// handlers.
#include "ButtonTestSupport.hpp"

#include <Vcl.ActnList.hpp>
#include <Vcl.StdCtrls.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

class ButtonInputTest : public QxTest::ButtonFixture {};

TEST_F(ButtonInputTest, TheSplitArrowOpensTheMenuAtTheAnchorOfItsAlignmentAndOnlyTheMainPartClicks)
{
  TQxButton* button = NewButton(bsSplitButton);
  QxTest::TRecordingMenu* menu = NewMenu(button);
  const TPoint topLeft = button->ClientToScreen(TPoint(0, 0));
  const struct {
    TPopupAlignment Alignment;
    int X;
  } cases[] = {{paLeft, 0}, {paRight, 120}, {paCenter, 60}};
  for (const auto& c : cases) {
    menu->SetAlignment(c.Alignment);
    ClickOn(button, 115, 15);
    ASSERT_FALSE(menu->Anchors.empty());
    EXPECT_EQ(menu->Anchors.back(), TPoint(topLeft.X + c.X, topLeft.Y + 30));
    // Nothing holds the mouse while the modal menu runs.
    EXPECT_EQ(menu->CaptureAtPopup, nullptr);
    LetTheGuardPass();
  }
  EXPECT_EQ(Count("popup"), 3);
  EXPECT_EQ(Count("dropdown"), 3);
  EXPECT_EQ(Count("click"), 0);
  // The menu closed with the mouse still over the button.
  EXPECT_EQ(button->State(), uicsHot);
  Log.clear();
  ClickOn(button, 20, 15);
  EXPECT_EQ(Log, (std::vector<std::string>{"click"}));
}

TEST_F(ButtonInputTest, AReleaseOutsideTheMainPartCancelsTheClick)
{
  TQxButton* push = NewButton(bsPushButton);
  MoveOnto(push, 10, 10);
  Press();
  EXPECT_EQ(push->State(), uicsPressed);
  MoveOnto(push, 200, 10);
  EXPECT_EQ(push->State(), uicsHot);
  Release();
  EXPECT_EQ(Count("click"), 0);

  // Pressed on the main part of a split button, released over its arrow.
  TQxButton* split = NewButton(bsSplitButton, 40, 100);
  NewMenu(split);
  MoveOnto(split, 10, 10);
  Press();
  MoveOnto(split, 115, 10);
  Release();
  EXPECT_EQ(Count("click"), 0);
  EXPECT_EQ(Count("popup"), 0);
}

TEST_F(ButtonInputTest, TheMouseOpensADropDownButtonsMenuClicksAfterItClosesAndNotAgainWithin300Milliseconds)
{
  TQxButton* button = NewButton(bsDropDownButton);
  NewMenu(button);
  ClickOn(button, 10, 10);
  EXPECT_EQ(Log, (std::vector<std::string>{"dropdown", "popup", "click"}));
  EXPECT_FALSE(button->PopupDropped());
  AdvanceBy(300);
  ClickOn(button, 10, 10);
  EXPECT_EQ(Count("popup"), 1);
  AdvanceBy(1);
  ClickOn(button, 10, 10);
  EXPECT_EQ(Count("popup"), 2);
  EXPECT_EQ(Count("click"), 3);
}

TEST_F(ButtonInputTest, TheKeyboardOpensTheMenuWithoutAClick)
{
  TQxButton* dropDown = NewButton(bsDropDownButton);
  NewMenu(dropDown);
  dropDown->SetFocus();
  for (int key : {Win::VK_RETURN, Win::VK_SPACE, Win::VK_DOWN, Win::VK_UP}) {
    Key(key);
    LetTheGuardPass();
  }
  EXPECT_EQ(Count("popup"), 4);

  TQxButton* split = NewButton(bsSplitButton, 40, 100);
  NewMenu(split);
  split->SetFocus();
  Key(Win::VK_DOWN);
  EXPECT_EQ(Count("popup"), 5);
  EXPECT_EQ(Count("click"), 0);
  // Enter on a split button clicks its main part.
  Key(Win::VK_RETURN);
  EXPECT_EQ(Count("click"), 1);
  EXPECT_EQ(Count("popup"), 5);
}

TEST_F(ButtonInputTest, AKeyboardDropDownWithoutAMenuLeavesNothingPressed)
{
  TQxButton* button = NewButton(bsDropDownButton);
  button->SetFocus();
  KeyDown(Win::VK_SPACE);
  EXPECT_EQ(Count("dropdown"), 1);
  EXPECT_EQ(button->State(), uicsNormal);
  KeyUp(Win::VK_SPACE);
  EXPECT_EQ(Count("click"), 0);
}

TEST_F(ButtonInputTest, EnterOnADropDownButtonDoesNotPressTheFormsDefaultButton)
{
  auto* defaultButton = Place(new TButton(Form), Form, 200, 200, 75, 25);
  defaultButton->SetDefault(true);
  int defaultClicks = 0;
  defaultButton->OnClick = [&](TObject*) { ++defaultClicks; };
  TQxButton* button = NewButton(bsDropDownButton);
  NewMenu(button);
  button->SetFocus();
  RunUntilIdle();
  Key(Win::VK_RETURN);
  EXPECT_EQ(Count("popup"), 1);
  EXPECT_EQ(defaultClicks, 0);
}

TEST_F(ButtonInputTest, SpaceAndEnterClickAPushButtonOnRelease)
{
  TQxButton* button = NewButton(bsPushButton);
  button->SetFocus();
  KeyDown(Win::VK_SPACE);
  EXPECT_EQ(button->State(), uicsPressed);
  EXPECT_EQ(Count("click"), 0);
  KeyUp(Win::VK_SPACE);
  EXPECT_EQ(Count("click"), 1);
  Key(Win::VK_RETURN);
  EXPECT_EQ(Count("click"), 2);
  EXPECT_EQ(button->State(), uicsNormal);
}

TEST_F(ButtonInputTest, EscapeClicksACancelButtonAndTheAcceleratorClicksItsButton)
{
  TQxButton* cancel = NewButton(bsPushButton);
  cancel->SetCaption("&Close");
  cancel->SetCancel(true);
  TQxButton* other = NewButton(bsPushButton, 40, 100);
  other->OnClick = [this](TObject*) { Log.push_back("other"); };
  other->SetFocus();
  Key(Win::VK_ESCAPE);
  EXPECT_EQ(Count("click"), 1);
  Type("c");
  EXPECT_EQ(Count("click"), 2);
  Type("x");
  EXPECT_EQ(Count("click"), 2);
  EXPECT_EQ(Count("other"), 0);
}

// The second click comes at once: a double click is two clicks.
TEST_F(ButtonInputTest, EveryClickHandsTheModalResultToTheForm)
{
  TQxButton* button = NewButton(bsPushButton);
  button->SetModalResult(mrOk);
  ClickOn(button, 10, 10);
  EXPECT_EQ(Form->ModalResult(), mrOk);
  button->SetModalResult(mrNone);
  Form->SetModalResult(mrCancel);
  ClickOn(button, 10, 10);
  EXPECT_EQ(Form->ModalResult(), mrNone);
  EXPECT_EQ(Count("click"), 2);
}

TEST_F(ButtonInputTest, APressTakesTheFocusWhereItMayAndClicksEvenWhereItCannot)
{
  TQxButton* focusable = NewButton(bsPushButton);
  TQxButton* plain = NewButton(bsPushButton, 40, 100);
  plain->SetFocusable(false);
  ClickOn(plain, 10, 10);
  EXPECT_FALSE(plain->Focused());
  ClickOn(focusable, 10, 10);
  EXPECT_TRUE(focusable->Focused());
  EXPECT_EQ(Count("click"), 2);

  Form->Hide();
  RunUntilIdle();
  ASSERT_FALSE(focusable->CanFocus());
  focusable->Perform(Win::WM_LBUTTONDOWN, Win::MK_LBUTTON, Win::MAKELPARAM(10, 10));
  focusable->Perform(Win::WM_LBUTTONUP, 0, Win::MAKELPARAM(10, 10));
  EXPECT_EQ(Count("click"), 3);
}

TEST_F(ButtonInputTest, HoverMakesTheButtonHotAndLeavingSettlesIt)
{
  TQxButton* button = NewButton(bsSplitButton);
  MoveOnto(button, 10, 10);
  EXPECT_EQ(button->State(), uicsHot);
  EXPECT_EQ(button->SplitState(), uicsHot);
  MoveTo(400, 300);
  EXPECT_EQ(button->State(), uicsNormal);
}

TEST_F(ButtonInputTest, TheCheckStyleTogglesBeforeOnClickUnlessAnActionDecides)
{
  TQxButton* button = NewButton(bsCheckButton);
  std::vector<bool> seen;
  button->OnClick = [&](TObject*) { seen.push_back(button->Checked()); };
  ClickOn(button, 10, 10);
  ClickOn(button, 10, 10);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  button->SetAutoCheck(false);
  ClickOn(button, 10, 10);
  EXPECT_FALSE(button->Checked());

  button->SetAutoCheck(true);
  auto* action = new TAction(Form);
  int executed = 0;
  action->SetOnExecute([&](TObject*) { ++executed; });
  button->OnClick = nullptr;
  button->SetAction(action);
  ClickOn(button, 10, 10);
  EXPECT_EQ(executed, 1);
  EXPECT_FALSE(button->Checked());
  // An auto-checking action checks its button through the link.
  action->SetAutoCheck(true);
  ClickOn(button, 10, 10);
  EXPECT_TRUE(action->Checked());
  EXPECT_TRUE(button->Checked());
}

// Each handler frees the button; nothing may touch it afterwards (ASan
// watches).
TEST_F(ButtonInputTest, AButtonFreedByItsOwnHandlerIsNotTouchedAgain)
{
  TQxButton* byClick = NewButton(bsPushButton);
  byClick->OnClick = [&](TObject*) { delete byClick; };
  ClickOn(byClick, 10, 10);

  TQxButton* byKey = NewButton(bsPushButton);
  byKey->OnClick = [&](TObject*) { delete byKey; };
  byKey->SetFocus();
  Key(Win::VK_SPACE);

  TQxButton* byDropDown = NewButton(bsSplitButton);
  byDropDown->OnDropDownClick = [&](TObject*) { delete byDropDown; };
  ClickOn(byDropDown, 115, 10);

  TQxButton* byMenu = NewButton(bsDropDownButton);
  NewMenu(byMenu)->OnOpen = [&] { delete byMenu; };
  ClickOn(byMenu, 10, 10);

  TQxButton* byKeyMenu = NewButton(bsDropDownButton);
  NewMenu(byKeyMenu)->OnOpen = [&] { delete byKeyMenu; };
  byKeyMenu->SetFocus();
  Key(Win::VK_DOWN);
  EXPECT_EQ(Form->ControlCount(), 0);
}

} // namespace

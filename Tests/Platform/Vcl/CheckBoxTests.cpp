// The check box driven by injected mouse and keyboard on the headless
// desktop: toggling on a released press or on Space, grayed cycling, OnClick,
// both looks and the focus rectangle in pixels, an action's Checked, and its
// form resource.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>
#include <QxStyleSupport.hpp>

#include <System.Classes.Streaming.hpp>
#include <Win.Desktop.hpp>
#include <Vcl.ActnList.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.StdCtrls.hpp>

#include <algorithm>
#include <vector>

using namespace Vcl;

namespace {

class CheckBoxTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 300, 200);
    Form->SetColor(clWhite);
    Form->Show();
    Box = Place(new TCheckBox(Form), Form, 20, 20, 120, 17);
    Box->SetCaption("Option");
    Box->OnClick = [this](TObject*) { States.push_back(Box->State()); };
    RunUntilIdle();
  }
  // The box's pixels, or those of a rectangle of the control, row by row.
  std::vector<Win::COLORREF> BoxPixels() { return Pixels(Box->BoxRect()); }
  std::vector<Win::COLORREF> Pixels(const TRect& r)
  {
    RunUntilIdle();
    return ControlPixels(Box, r);
  }

  TForm* Form = nullptr;
  TCheckBox* Box = nullptr;
  std::vector<TCheckBoxState> States;
};

TEST_F(CheckBoxTest, AReleasedPressTogglesAndAPressDraggedOffDoesNot)
{
  ClickOn(Box, 5, 8);
  EXPECT_TRUE(Box->Checked());
  EXPECT_TRUE(Box->Focused());

  MoveOnto(Box, 5, 8);
  Press();
  EXPECT_EQ(Win::GetCapture(), Box->Handle());
  EXPECT_TRUE(Box->Pressed());
  MoveOnto(Box, 200, 8); // off the box, on the form
  EXPECT_FALSE(Box->Pressed());
  Release();
  EXPECT_EQ(Win::GetCapture(), nullptr);
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(States, std::vector<TCheckBoxState>{cbChecked});
}

TEST_F(CheckBoxTest, SpaceTogglesAndGrayedComesBetweenUncheckedAndChecked)
{
  Box->SetFocus();
  Key(Win::VK_SPACE);
  EXPECT_EQ(Box->State(), cbChecked);
  Box->SetAllowGrayed(true);
  for (int i = 0; i < 3; ++i) {
    Key(Win::VK_SPACE);
  }
  EXPECT_EQ(States, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbGrayed, cbChecked}));
  EXPECT_FALSE(Box->Pressed());
}

TEST_F(CheckBoxTest, AChangeInCodeClicksOnceAndTheSameStateNotAtAll)
{
  Box->SetState(cbGrayed);
  Box->SetState(cbGrayed);
  Box->SetChecked(false);
  EXPECT_EQ(States, (std::vector<TCheckBoxState>{cbGrayed, cbUnchecked}));
  EXPECT_FALSE(Box->Checked());
}

TEST_F(CheckBoxTest, EachLookDrawsEachStateDifferentlyAndDisabledGrays)
{
  std::vector<std::vector<Win::COLORREF>> seen;
  for (bool themed : {true, false}) {
    QxTest::TVisualStyles styles(themed);
    for (TCheckBoxState state : {cbUnchecked, cbChecked, cbGrayed}) {
      Box->SetState(state);
      Box->Invalidate();
      std::vector<Win::COLORREF> pixels = BoxPixels();
      for (const auto& other : seen)
        EXPECT_NE(pixels, other) << "themed " << themed << " state " << int(state);
      seen.push_back(pixels);
    }
    Box->SetState(cbChecked);
    std::vector<Win::COLORREF> enabled = BoxPixels();
    Box->SetEnabled(false);
    EXPECT_NE(BoxPixels(), enabled) << "themed " << themed;
    Box->SetEnabled(true);
  }
}

TEST_F(CheckBoxTest, TheCaptionSwapsSidesWithAlignment)
{
  EXPECT_EQ(Box->BoxRect().Left, 0);
  EXPECT_EQ(Box->CaptionRect().Left, 13 + 4);
  Box->SetAlignment(taLeftJustify);
  EXPECT_EQ(Box->BoxRect().Right, 120);
  EXPECT_EQ(Box->CaptionRect(), TRect(0, 0, 120 - 13 - 4, 17));
}

TEST_F(CheckBoxTest, TheFocusRectangleHugsTheCaption)
{
  const TRect caption(Box->CaptionRect().Left - 1, 0, 120, 17);
  const std::vector<Win::COLORREF> before = Pixels(caption);
  Box->SetFocus();
  const std::vector<Win::COLORREF> after = Pixels(caption);
  TRect changed(caption.Right, caption.Bottom, caption.Left, caption.Top);
  for (size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i])
      continue;
    int x = caption.Left + int(i) % caption.Width(), y = int(i) / caption.Width();
    changed = TRect(std::min(changed.Left, x), std::min(changed.Top, y), std::max(changed.Right, x + 1),
                    std::max(changed.Bottom, y + 1));
  }
  // From one pixel left of the caption to just past its text, which ends
  // well before the control does; around the text's height.
  EXPECT_EQ(changed.Left, caption.Left);
  EXPECT_GT(changed.Right, caption.Left + 20);
  EXPECT_LT(changed.Right, 100);
  EXPECT_GE(changed.Height(), 12);
}

TEST_F(CheckBoxTest, AnActionsCheckedDrivesTheBoxAndIsNotStoredWhileLinked)
{
  Box->OnClick = nullptr; // the click runs the action only when nothing else handles it
  auto* action = new TAction(Form);
  action->SetAutoCheck(true);
  action->SetChecked(true);
  Box->SetAction(action);
  EXPECT_TRUE(Box->Checked());
  action->SetChecked(false);
  EXPECT_FALSE(Box->Checked());
  EXPECT_TRUE(States.empty());
  ClickOn(Box, 5, 8);
  EXPECT_TRUE(Box->Checked());
  EXPECT_TRUE(action->Checked());
  EXPECT_FALSE(Box->IsCheckedStored());
}

TEST_F(CheckBoxTest, TheResourceKeepsOnlyWhatDiffersAndReadsBack)
{
  Form->SetName("Root");
  Box->SetName("Box1");
  const String plain = WriteComponentRes(Form);
  QxTest::ExpectLacks(plain, {"Alignment", "AllowGrayed", "Checked", "State", "TabStop", "ParentColor"});

  Box->SetAlignment(taLeftJustify);
  Box->SetAllowGrayed(true);
  Box->SetState(cbGrayed);
  const String text = WriteComponentRes(Form);
  QxTest::ExpectHas(text, {"Alignment = taLeftJustify", "AllowGrayed = True", "State = cbGrayed"});
  auto* copy = new TForm(Application);
  ReadComponentRes(text, copy);
  EXPECT_EQ(copy->Name(), "Root_1"); // the resource's name, told apart from the original's
  auto* box = QxTest::FindIn<TCheckBox>(copy, "Box1");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->State(), cbGrayed);
  EXPECT_TRUE(box->AllowGrayed());
  EXPECT_EQ(box->Alignment(), taLeftJustify);
  EXPECT_EQ(States.size(), 1u); // reading raised no click on the original's handler
  delete copy;
}

} // namespace

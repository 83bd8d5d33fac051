// The framework's up-down on a form: values kept before the window exists,
// the window's steps seen through OnChanging and Position, and the
// associated control it sits beside.
#include "TestControls.hpp"

#include <Vcl.ComCtrls.UpDown.hpp>
#include <Win.UpDown.hpp>

using namespace Vcl;
using namespace QxTest;

TEST_F(ControlTest, AnUpDownKeepsItsValuesUntilItHasAWindowAndStepsWithinThem)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* upDown = new TUpDown(form);
  upDown->SetMin(-5);
  upDown->SetMax(5);
  upDown->SetPosition(9);
  EXPECT_EQ(upDown->Position(), 5);
  upDown->SetIncrement(3);
  Place(upDown, form, 100, 10, 16, 30);
  RunUntilIdle();
  EXPECT_EQ(upDown->Position(), 5);
  ClickOn(upDown, 8, 25);
  EXPECT_EQ(upDown->Position(), 2);
  int asked = 0;
  upDown->OnChanging = [&](TObject* sender, bool& allow) {
    EXPECT_EQ(sender, upDown);
    allow = ++asked > 1;
  };
  ClickOn(upDown, 8, 25);
  EXPECT_EQ(upDown->Position(), 2) << "refused";
  ClickOn(upDown, 8, 25);
  EXPECT_EQ(upDown->Position(), -1);
  upDown->SetMin(0);
  EXPECT_EQ(upDown->Position(), 0) << "pulled into the new range";
  upDown->RecreateWnd();
  EXPECT_EQ(upDown->Position(), 0);
}

TEST_F(ControlTest, AnUpDownSitsBesideItsAssociateWhileBothLive)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* box = Place(new TTestControl(form), form, 10, 10, 60, 24);
  auto* upDown = Place(new TUpDown(form), form, 150, 50, 16, 30);
  upDown->SetAssociate(box);
  EXPECT_EQ(upDown->BoundsRect(), TRect(70, 10, 86, 34));
  box->SetBounds(20, 40, 100, 30);
  EXPECT_EQ(upDown->BoundsRect(), TRect(120, 40, 136, 70));
  upDown->SetAlignButton(udLeft);
  EXPECT_EQ(upDown->BoundsRect(), TRect(4, 40, 20, 70));
  // The associate goes first: the up-down lets it go; the up-down goes
  // first: the associate keeps working without it.
  delete box;
  EXPECT_EQ(upDown->Associate(), nullptr);
  auto* other = Place(new TTestControl(form), form, 10, 10, 60, 24);
  upDown->SetAssociate(other);
  delete upDown;
  other->SetBounds(0, 0, 50, 20);
  EXPECT_EQ(other->Width(), 50);
}

TEST_F(ControlTest, AnUpDownsClickNamesTheArrowOfEachStepItTook)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* upDown = Place(new TUpDown(form), form, 100, 10, 16, 30);
  upDown->SetMax(3);
  std::vector<std::pair<TUDBtnType, Integer>> clicks;
  upDown->OnClick = [&](TObject* sender, TUDBtnType button) {
    EXPECT_EQ(sender, upDown);
    clicks.emplace_back(button, upDown->Position());
  };
  auto up = [&] { ClickOn(upDown, 8, 3); };
  auto down = [&] { ClickOn(upDown, 8, 25); };
  up();
  down();
  down();
  upDown->OnChanging = [](TObject*, bool& allow) { allow = false; };
  up();
  upDown->OnChanging = nullptr;
  // Wrapping lands on the far bound, yet the arrow is the one pressed.
  upDown->SetWrap(true);
  upDown->SetIncrement(2);
  down();
  up();
  up();
  EXPECT_EQ(clicks, (std::vector<std::pair<TUDBtnType, Integer>>{
                      {btNext, 1}, {btPrev, 0}, {btPrev, 3}, {btNext, 0}, {btNext, 2}}))
    << "none at the bound nor when refused";
}

#include "TestControls.hpp"

#include <Vcl.Controls.Drag.hpp>
#include <Win.Hooks.hpp>

namespace QxTest {

namespace {

// A source on the left, a target on the right that takes drops only in its
// upper half, and a log of what each hears.
class DragTest : public ControlTest {
protected:
  TForm* Form = nullptr;
  TTestControl* Source = nullptr;
  TTestControl* Target = nullptr;
  std::vector<std::string> Log;

  void SetUp() override
  {
    ControlTest::SetUp();
    Form = MakeForm(0, 0, 400, 200);
    Source = Place(new TTestControl(Form, "source"), Form, 10, 10, 100, 100, clYellow);
    Target = Place(new TTestControl(Form, "target"), Form, 200, 10, 100, 100, clBlue);
    Source->OnStartDrag = [this](TObject*, TDragObject*&) { Log.push_back("start"); };
    Source->OnEndDrag = [this](TObject*, TObject* to, Integer x, Integer y) {
      Log.push_back(to ? "end on " + static_cast<TComponent*>(to)->Name() + " " + std::to_string(x) + "," +
                           std::to_string(y)
                       : "end");
    };
    Source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { Log.push_back("down"); };
    Target->OnDragOver = [this](TObject*, TObject* from, Integer, Integer y, TDragState state, bool& accept) {
      EXPECT_EQ(from, Source);
      accept = y < 50;
      Log.push_back(state == dsDragEnter ? "enter" : state == dsDragLeave ? "leave" : "over");
    };
    Target->OnDragDrop = [this](TObject*, TObject*, Integer x, Integer y) {
      Log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
    };
    RunUntilIdle();
  }
};

} // namespace

TEST_F(DragTest, AnAutomaticDragWaitsForTheThresholdThenDropsWhereAccepted)
{
  Source->SetDragMode(dmAutomatic);
  MoveOnto(Source, 50, 50);
  Press();
  MoveOnto(Source, 53, 50);
  EXPECT_TRUE(Log.empty()) << "inside the threshold nothing starts, and the press is the drag's";
  EXPECT_FALSE(Dragging(Source));
  MoveOnto(Source, 56, 50);
  EXPECT_TRUE(Dragging(Source));
  EXPECT_EQ(Win::GetCursor(), CursorHandle(crNoDrop)) << "over the source itself, which takes nothing";
  MoveOnto(Target, 20, 20);
  EXPECT_EQ(Win::GetCursor(), CursorHandle(crDrag));
  MoveOnto(Target, 20, 80);
  EXPECT_EQ(Win::GetCursor(), CursorHandle(crNoDrop));
  MoveOnto(Target, 30, 25);
  Release();
  EXPECT_EQ(Log, (std::vector<std::string>{"start", "enter", "over", "over", "drop 30,25", "end on target 30,25"}));
  EXPECT_FALSE(Dragging(Source));
  EXPECT_EQ(Win::InstalledHookCount(Win::WH_MOUSE), 0);

  // A release before the threshold is an ordinary click; a release where
  // nothing accepts ends without a drop.
  Log.clear();
  Source->SetDragMode(dmManual);
  Source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { BeginDrag(Source, false); };
  AdvanceBy(1000);
  MoveOnto(Source, 50, 50);
  Press();
  Release();
  EXPECT_TRUE(Log.empty());
  AdvanceBy(1000);
  Press();
  MoveOnto(Target, 20, 80);
  Release();
  EXPECT_EQ(Log, (std::vector<std::string>{"start", "enter", "leave", "end"}));
}

TEST_F(DragTest, EscapeCancelsAndFreeingEitherEndMidDragIsSafe)
{
  MoveOnto(Source, 50, 50);
  BeginDrag(Source, true);
  MoveOnto(Target, 20, 20);
  Key(Win::VK_ESCAPE);
  EXPECT_EQ(Log, (std::vector<std::string>{"start", "enter", "leave", "end"}));
  EXPECT_FALSE(Dragging(Source));
  Log.clear();
  Release();
  MoveOnto(Target, 20, 30);
  EXPECT_TRUE(Log.empty()) << "nothing of the drag is left";

  BeginDrag(Source, true);
  MoveOnto(Target, 20, 20);
  delete Target;
  Target = nullptr;
  MoveOnto(Form, 150, 150);
  Release();
  EXPECT_EQ(Log.back(), "end");
  BeginDrag(Source, true);
  delete Source;
  Source = nullptr;
  MoveOnto(Form, 160, 160);
  Release();
  EXPECT_EQ(Win::InstalledHookCount(Win::WH_MOUSE), 0);
  EXPECT_EQ(Win::InstalledHookCount(Win::WH_KEYBOARD), 0);
}

} // namespace QxTest

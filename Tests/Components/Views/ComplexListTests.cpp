// The complex list as a host uses it: rows painted from the host's editors,
// scrolled by the window's bar and the wheel, selected, hot-tracked and
// reordered by dragging.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.ComplexList.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Controls.Drag.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Win.ScrollBars.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr TColor kNormal = TColor(0x00E0E0E0), kHot = TColor(0x0000FFFF), kSelected = TColor(0x00FF8000);

class ComplexListTest : public QxTest::QxDesktopFixture {
protected:
  TForm* Form = nullptr;
  TQxComplexList* List = nullptr;
  TPanel* Editors[3] = {};
  std::vector<std::string> Closed;

  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 420, 320, clWhite);
    for (TColor color : {kNormal, kHot, kSelected}) {
      auto* editor = new TPanel(Form);
      editor->SetParentBackground(false);
      editor->SetColor(color);
      editor->SetBevelOuter(bvNone);
      Editors[color == kNormal ? 0 : color == kHot ? 1 : 2] = editor;
    }
    List = Place(new TQxComplexList(Form), Form, 20, 20, 200, 150);
    List->OnGetEditor = [this](TComplexItem*, TComplexListItemState state) -> TWinControl* {
      return Editors[int(state)];
    };
    List->OnCloseEditor = [this](TComplexItem* item, TWinControl*) {
      Closed.push_back(std::to_string(item->Index()));
    };
    RunUntilIdle();
  }

  void Fill(int rows)
  {
    List->BeginUpdate();
    for (int i = 0; i < rows; ++i)
      List->Add(static_cast<TObject*>(nullptr));
    List->EndUpdate();
    RunUntilIdle();
  }

  // The middle of a row on the screen.
  TPoint RowPoint(int index)
  {
    TRect r = List->ItemRect(List->Items(index));
    return List->ClientToScreen(TPoint(r.Left + 40, r.Top + r.Height() / 2));
  }
  void Hover(int index)
  {
    TPoint p = RowPoint(index);
    MoveTo(p.X, p.Y);
  }
  Win::COLORREF RowPixel(int index)
  {
    RunUntilIdle();
    TPoint p = RowPoint(index);
    return ScreenPixel(p.X + 60, p.Y);
  }
  static Win::COLORREF Ref(TColor c) { return Win::COLORREF(ColorToRGB(c)); }
};

} // namespace

TEST_F(ComplexListTest, RowsStackFromTheMarginAndScrollByBarWheelAndArrow)
{
  Fill(10);
  EXPECT_EQ(List->AllItemHeight(), 1 + 24 * 10);
  EXPECT_EQ(List->ItemRect(List->Items(2)), TRect(1, 49, List->ClientWidth() - 1, 73));
  EXPECT_EQ(List->ClientWidth(), 200 - Win::GetSystemMetrics(Win::SM_CXVSCROLL)) << "the bar takes its strip";
  EXPECT_EQ(RowPixel(0), Ref(kNormal));

  List->VScrollBar()->DoScroll(1000);
  EXPECT_EQ(List->TopPos(), 241 - 150 + 1) << "content height - client height + 1";
  EXPECT_EQ(Win::GetScrollPos(List->Handle(), Win::SB_VERT), List->TopPos());
  EXPECT_EQ(List->GetTopItem(), 3);
  List->VScrollBar()->DoScroll(-5);
  EXPECT_EQ(List->TopPos(), 0);

  Hover(1);
  Wheel(-Win::WHEEL_DELTA);
  EXPECT_EQ(List->TopPos(), 24);
  Wheel(Win::WHEEL_DELTA);
  EXPECT_EQ(List->TopPos(), 0);
  Win::SCROLLBARINFO bar;
  Win::GetScrollBarInfo(List->Handle(), Win::OBJID_VSCROLL, &bar);
  Click(bar.rcScrollBar.Left + 5, bar.rcScrollBar.Bottom - 5);
  EXPECT_EQ(List->TopPos(), 10) << "the arrow moves a line";
  EXPECT_EQ(RowPixel(1), Ref(kNormal)) << "the content moved with it";

  // Few enough rows and the bar goes, giving its strip to the rows.
  List->BeginUpdate();
  for (int i = 0; i < 8; ++i)
    List->Delete(0);
  List->EndUpdate();
  RunUntilIdle();
  EXPECT_EQ(List->TopPos(), 0);
  EXPECT_EQ(List->ClientWidth(), 200);
  List->Clear();
  EXPECT_EQ(List->GetTopItem(), List->Count());
  EXPECT_THROW(List->Delete(0), EListError);
}

TEST_F(ComplexListTest, TheSelectedRowIsTheLiveEditorExactlyOverItsRow)
{
  Fill(10);
  TPoint p = RowPoint(2);
  Click(p.X, p.Y);
  EXPECT_EQ(List->ItemIndex(), 2);
  TPanel* live = Editors[int(isSelected)];
  ASSERT_EQ(List->SelectEditor(), live);
  EXPECT_EQ(live->Parent(), List);
  EXPECT_TRUE(live->Visible());
  EXPECT_EQ(live->BoundsRect(), List->ItemRect(List->Items(2)));
  EXPECT_EQ(RowPixel(2), Ref(kSelected));

  Wheel(-Win::WHEEL_DELTA);
  RunUntilIdle();
  EXPECT_EQ(live->BoundsRect(), List->ItemRect(List->Items(2))) << "scrolled with the content";
  EXPECT_EQ(live->Top(), 49 - 24);
  List->VScrollBar()->DoScroll(90);
  RunUntilIdle();
  EXPECT_FALSE(live->Visible()) << "scrolled out of view";
  List->VScrollBar()->DoScroll(0);
  RunUntilIdle();
  EXPECT_TRUE(live->Visible());

  // A click on empty space clears the selection and hands the editor back.
  List->BeginUpdate();
  while (List->Count() > 3)
    List->Delete(List->Count() - 1);
  List->EndUpdate();
  RunUntilIdle();
  TPoint empty = List->ClientToScreen(TPoint(50, 130));
  Click(empty.X, empty.Y);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_EQ(Closed, std::vector<std::string>{"2"});
  EXPECT_EQ(live->Parent(), nullptr);
  EXPECT_FALSE(live->Visible());

  // A list freed with a live editor hands it back rather than freeing it.
  List->SetItemIndex(0);
  RunUntilIdle();
  ASSERT_EQ(live->Parent(), List);
  delete List;
  EXPECT_EQ(live->Parent(), nullptr);
  List = Place(new TQxComplexList(Form), Form, 20, 20, 200, 150);
  List->OnGetEditor = [this](TComplexItem*, TComplexListItemState state) -> TWinControl* {
    return Editors[int(state)];
  };
  Fill(3);

  // The host may free its editor while it is live.
  List->SetItemIndex(1);
  RunUntilIdle();
  ASSERT_EQ(List->SelectEditor(), live);
  delete live;
  Editors[int(isSelected)] = nullptr;
  EXPECT_EQ(List->SelectEditor(), nullptr);
  List->SetItemIndex(0);
  List->SetItemIndex(7);
  EXPECT_EQ(List->ItemIndex(), -1);
  RunUntilIdle();
}

TEST_F(ComplexListTest, AHotRowThatGrowsPushesTheRowsBelowEvenWithAHostLeaveHandler)
{
  int leaves = 0;
  List->OnMouseLeave = [&](TObject*) { ++leaves; };
  List->OnGetItemHeight = [this](TComplexItem* item, TComplexListItemState state) {
    return item->Index() == 4 ? -30 : state == isHot ? 48 : 24;
  };
  Fill(6);
  EXPECT_EQ(List->ItemRect(List->Items(4)).Height(), 0) << "a negative height is none";
  Hover(1);
  EXPECT_EQ(List->ItemRect(List->Items(2)).Top, 1 + 24 + 48);
  EXPECT_EQ(RowPixel(1), Ref(kHot));
  MoveTo(400, 300);
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(List->ItemRect(List->Items(2)).Top, 1 + 24 + 24) << "the host's handler did not stop the reset";
  EXPECT_EQ(RowPixel(1), Ref(kNormal));
}

TEST_F(ComplexListTest, ChangesOfTheListForgetTheHotAndTheMovingRow)
{
  Fill(8);
  Hover(7);
  List->Delete(7);
  MoveTo(400, 300); // leaving must not touch the deleted row
  Hover(5);
  List->Sort([](const TComplexItem* a, const TComplexItem* b) { return a < b ? 1 : a > b ? -1 : 0; });
  MoveTo(400, 300);
  Hover(2);
  List->Clear();
  MoveTo(400, 300);

  Fill(4);
  TComplexItem* moving = List->Items(1);
  List->StartMoveItem(moving);
  List->Remove(moving);
  EXPECT_EQ(List->MovingItem(), nullptr);

  // Indexes out of range go to the nearest end, and the host hears where.
  std::vector<int> moves;
  List->OnMoveItem = [&](TComplexItem*, Integer to) { moves.push_back(to); };
  TComplexItem* first = List->Items(0);
  first->SetIndex(100);
  EXPECT_EQ(first->Index(), 2);
  first->SetIndex(-3);
  EXPECT_EQ(first->Index(), 0);
  EXPECT_EQ(moves, (std::vector<int>{2, 0}));

  // Host data by object or by interface.
  auto data = std::make_shared<int>(7);
  TComplexItem* byIntf = List->Add(TComplexItemInterface(data));
  EXPECT_EQ(List->Find(TComplexItemInterface(data)), byIntf);
  EXPECT_EQ(List->Find(TComplexItemInterface(std::make_shared<int>(7))), nullptr);
  TComplexItem* byObject = List->Add(static_cast<TObject*>(List));
  EXPECT_EQ(List->Find(static_cast<const TObject*>(List)), byObject);

  // Clear closes the live editor once, while its row still exists.
  List->SetItemIndex(0);
  RunUntilIdle();
  Closed.clear();
  List->Clear();
  EXPECT_EQ(Closed, std::vector<std::string>{"0"});
}

TEST_F(ComplexListTest, DraggingARowShowsTheDropLineAndMovesItWhereItLands)
{
  Fill(5);
  Editors[int(isSelected)] = nullptr; // the pressed row stays a picture, under the list's own mouse
  List->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer x, Integer y) {
    List->StartMoveItem(List->ItemByPos(TPoint(x, y)));
    BeginDrag(List, false);
  };
  auto lineInk = [this](int y) {
    int grey = 0;
    for (int x = 10; x < 150; ++x)
      grey += ScreenPixel(List->ClientToScreen(TPoint(x, y)).X, List->ClientToScreen(TPoint(x, y)).Y) == 0x00808080;
    return grey;
  };
  TComplexItem* item = List->Items(1);
  Hover(1);
  Press();
  Hover(3);
  RunUntilIdle();
  TRect target = List->ItemRect(List->Items(3));
  EXPECT_GT(lineInk(target.Bottom - 1), 20) << "moving down: the line under the target";
  Release();
  EXPECT_EQ(item->Index(), 3);
  EXPECT_EQ(List->MovingItem(), nullptr);
  RunUntilIdle();
  EXPECT_EQ(lineInk(target.Bottom - 1), 0) << "gone with the drop";

  AdvanceBy(1000);
  Hover(3);
  Press();
  Hover(0);
  RunUntilIdle();
  EXPECT_GT(lineInk(List->ItemRect(List->Items(0)).Top), 20) << "moving up: the line over the target";
  Key(Win::VK_ESCAPE);
  Release();
  EXPECT_EQ(item->Index(), 3) << "Escape leaves the order";
  EXPECT_EQ(List->MovingItem(), nullptr);

  AdvanceBy(1000);
  Hover(0);
  TComplexItem* top = List->Items(0);
  Press();
  TPoint below = List->ClientToScreen(TPoint(50, 140));
  MoveTo(below.X, below.Y);
  Release();
  EXPECT_EQ(top->Index(), 4) << "dropped below the last row: to the end";

  // The dragged row deleted mid-drag leaves nothing behind.
  AdvanceBy(1000);
  Hover(2);
  Press();
  Hover(4);
  List->Delete(2);
  Hover(0);
  Release();
  EXPECT_EQ(List->Count(), 4);
}

TEST_F(ComplexListTest, FormResourcesKeepOnlyWhatDiffersFromTheDefaults)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* list = QxTest::AddNamed<TQxComplexList>(&root, "List1");
  String text = WriteComponentRes(&root);
  QxTest::ExpectLacks(text, {"Color", "TabStop", "DoubleBuffered"});
  list->SetTabStop(true);
  list->SetColor(clYellow);
  QxTest::ExpectReadsBackTheSame(&root, WriteComponentRes(&root));
}

// The report list view driven as a host drives it: owner data with a
// million rows fetched only as painted, selection by mouse and keys with the
// change notifications (and a veto), hit tests, scrolling by keys, wheel and
// scroll bar, owner drawing with a measured height, custom-draw stages, and
// the header's divider tracking and double click.
#include <QxDesktopFixture.hpp>
#include <QxSolidImages.hpp>

#include <Vcl.ComCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace Vcl;

namespace {

class ListViewTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 400, 300);
    Form->Show();
    List = Place(new TListView(Form), Form, 10, 10, 300, 200);
    List->SetViewStyle(vsReport);
    List->SetMultiSelect(true);
    List->SetRowSelect(true);
    for (const char* caption : {"Name", "Size"}) {
      TListColumn* column = List->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(120);
    }
    List->OnSelectItem = [this](TObject*, TListItem* Item, bool Selected) {
      Selections.push_back((Selected ? "+" : "-") + std::to_string(Item ? Item->Index() : -1));
    };
    RunUntilIdle();
  }
  void UseOwnerData(int Count)
  {
    List->SetOwnerData(true);
    List->OnData = [this](TObject*, TListItem* Item) {
      Fetched.insert(Item->Index());
      Item->SetCaption("Row " + std::to_string(Item->Index()));
      Item->SubItems()->Add(std::to_string(Item->Index() * 2));
    };
    List->Items()->SetCount(Count);
    RunUntilIdle();
  }
  void AddItems(int Count)
  {
    for (int i = 0; i < Count; ++i)
      List->Items()->Add()->SetCaption("Item " + std::to_string(i));
    RunUntilIdle();
  }
  // A point in the middle of a row's first cell, in client coordinates.
  TPoint RowPoint(int Index)
  {
    TRect r = List->ItemRect(Index, drBounds);
    return {r.Left + 30, (r.Top + r.Bottom) / 2};
  }
  void ClickRow(int Index) { ClickOn(List, RowPoint(Index).X, RowPoint(Index).Y); }
  std::vector<int> SelectedRows()
  {
    std::vector<int> rows;
    for (int i = 0; i < List->Items()->Count(); ++i)
      if (List->GetItemState(i, Win::LVIS_SELECTED))
        rows.push_back(i);
    return rows;
  }

  // The dark pixels inside a row's check box, whose strip lies left of the
  // icon: the empty box has none within its frame, the checked one its mark.
  int MarkPixels(int Index)
  {
    RunUntilIdle();
    TRect icon = List->ItemRect(Index, drIcon);
    TPoint origin = List->ClientToScreen(TPoint(0, 0));
    auto desktop = Win::ComposeDesktop();
    int strip = Win::GetSystemMetrics(Win::SM_CXSMICON), mark = 0;
    for (int x = icon.Left - strip + 4; x < icon.Left - 4; ++x)
      for (int y = icon.Top + 5; y < icon.Bottom - 5; ++y)
        mark += Win::GetRValue(desktop.Pixel(origin.X + x, origin.Y + y)) < 128;
    return mark;
  }

  TForm* Form = nullptr;
  TListView* List = nullptr;
  std::vector<std::string> Selections;
  std::set<int> Fetched;
};

TEST_F(ListViewTest, OwnerDataWithAMillionRowsFetchesOnlyWhatIsPaintedAndReachesTheEnd)
{
  UseOwnerData(1000000);
  ASSERT_EQ(List->Items()->Count(), 1000000);
  EXPECT_FALSE(Fetched.empty());
  EXPECT_LE(Fetched.size(), size_t(List->VisibleRowCount() + 1));

  List->SetFocus();
  ClickRow(0);
  Key(Win::VK_END);
  EXPECT_EQ(List->ItemIndex(), 999999);
  EXPECT_EQ(List->TopIndex(), 1000000 - List->VisibleRowCount());
  EXPECT_EQ(List->GetItemAt(RowPoint(999999).X, RowPoint(999999).Y)->Caption(), "Row 999999");
  EXPECT_EQ(List->Items()->Item(999999)->SubItems()->Strings(0), "1999998");
  EXPECT_LE(Fetched.size(), size_t(3 * (List->VisibleRowCount() + 1)));
  EXPECT_EQ(List->SelCount(), 1);

  // Shrinking the count drops the selection past the new end.
  List->SetItemCountEx(10, Win::LVSICF_NOSCROLL);
  EXPECT_EQ(List->SelCount(), 0);
  EXPECT_EQ(List->ItemFocused(), nullptr);
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_EQ(List->Items()->Item(10), nullptr);
}

TEST_F(ListViewTest, MouseSelectionWithCtrlAndShiftNotifiesEachChangeOnce)
{
  AddItems(8);
  ClickRow(1);
  KeyDown(Win::VK_CONTROL);
  ClickRow(3);
  KeyUp(Win::VK_CONTROL);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
  KeyDown(Win::VK_SHIFT);
  ClickRow(5);
  KeyUp(Win::VK_SHIFT);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(List->ItemFocused()->Index(), 5);
  EXPECT_EQ(Selections, (std::vector<std::string>{"+1", "+3", "-1", "+4", "+5"}));

  // A click on empty space clears; a press on a selected row with the right
  // button keeps the selection.
  Selections.clear();
  ClickOn(List, 20, 190);
  EXPECT_TRUE(SelectedRows().empty());
  EXPECT_EQ(Selections, (std::vector<std::string>{"-3", "-4", "-5"}));
  ClickRow(2);
  ClickOn(List, RowPoint(2).X, RowPoint(2).Y, Win::TInjectButton::Right);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
}

TEST_F(ListViewTest, AVetoedChangeLeavesTheStateAndSendsNoChangedNotification)
{
  AddItems(4);
  int changed = 0;
  List->OnChanging = [](TObject*, TListItem* Item, TItemChange, bool& Allow) { Allow = Item->Index() != 2; };
  List->OnChange = [&](TObject*, TListItem*, TItemChange) { ++changed; };
  ClickRow(2);
  EXPECT_TRUE(SelectedRows().empty());
  EXPECT_EQ(changed, 0);
  ClickRow(1);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1}));
  EXPECT_EQ(changed, 2); // selected, focused
}

TEST_F(ListViewTest, KeysMoveFocusAndSelectionAndScrollTheFocusIntoView)
{
  AddItems(50);
  ClickRow(0);
  Key(Win::VK_DOWN);
  Key(Win::VK_DOWN);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
  KeyDown(Win::VK_SHIFT);
  Key(Win::VK_DOWN);
  KeyUp(Win::VK_SHIFT);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2, 3}));
  KeyDown(Win::VK_CONTROL);
  Key(Win::VK_DOWN);
  Key(Win::VK_SPACE);
  KeyUp(Win::VK_CONTROL);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2, 3, 4}));

  Key(Win::VK_NEXT);
  int page = List->VisibleRowCount() - 1;
  EXPECT_EQ(List->ItemFocused()->Index(), 4 + page);
  EXPECT_GT(List->TopIndex(), 0);
  EXPECT_LT(List->ItemFocused()->Index() - List->TopIndex(), List->VisibleRowCount());
  Key(Win::VK_HOME);
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{0}));
  Key(Win::VK_UP);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{0}));
}

TEST_F(ListViewTest, HitTestsNameTheHeaderTheRowsAndWhatLiesBelowThem)
{
  auto* images = new TImageList(Form);
  images->SetWidth(16);
  images->SetHeight(16);
  List->SetSmallImages(images);
  AddItems(3);
  TRect icon = List->ItemRect(1, drIcon);
  TRect label = List->ItemRect(1, drLabel);
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(label.Left, icon.Right + 2);
  EXPECT_EQ(label.Right, 120);
  EXPECT_EQ(List->SubItemRect(1, 1, drBounds), TRect(120, label.Top, 240, label.Bottom));

  EXPECT_EQ(List->GetHitTestInfoAt(5, 2), THitTests{htAbove});
  EXPECT_EQ(List->GetHitTestInfoAt(icon.Left + 1, icon.Top + 1), (THitTests{htOnItem, htOnIcon}));
  EXPECT_EQ(List->GetHitTestInfoAt(label.Left + 1, label.Top + 1), (THitTests{htOnItem, htOnLabel}));
  EXPECT_EQ(List->GetHitTestInfoAt(150, label.Top + 1), (THitTests{htOnItem, htOnRight}));
  EXPECT_EQ(List->GetHitTestInfoAt(5, 190), THitTests{htNowhere});
  EXPECT_EQ(List->GetItemAt(5, 190), nullptr);
  EXPECT_EQ(List->GetItemAt(260, label.Top + 1), nullptr); // right of the last column
  EXPECT_EQ(List->GetItemAt(150, label.Top + 1)->Index(), 1);

  // Freeing the image list clears the reference.
  delete images;
  EXPECT_EQ(List->SmallImages(), nullptr);
  EXPECT_EQ(List->ItemRect(1, drIcon).Width(), 0);
}

TEST_F(ListViewTest, TheWheelAndTheScrollBarScrollByRowsAndStopAtBothEnds)
{
  AddItems(40);
  MoveOnto(List, 50, 100);
  Wheel(-Win::WHEEL_DELTA);
  EXPECT_EQ(List->TopIndex(), 3);
  EXPECT_EQ(Win::GetScrollPos(List->Handle(), Win::SB_VERT), 3);
  EXPECT_EQ(List->GetItemAt(RowPoint(3).X, RowPoint(3).Y)->Caption(), "Item 3");
  for (int i = 0; i < 20; ++i)
    Wheel(-Win::WHEEL_DELTA);
  EXPECT_EQ(List->TopIndex(), 40 - List->VisibleRowCount());
  for (int i = 0; i < 20; ++i)
    Wheel(Win::WHEEL_DELTA);
  EXPECT_EQ(List->TopIndex(), 0);

  List->Perform(Win::WM_VSCROLL, Win::SB_PAGEDOWN);
  EXPECT_EQ(List->TopIndex(), List->VisibleRowCount());
  List->Perform(Win::WM_VSCROLL, Win::SB_BOTTOM);
  EXPECT_EQ(List->TopIndex(), 40 - List->VisibleRowCount());
  EXPECT_EQ(Win::GetScrollPos(List->Handle(), Win::SB_VERT), List->TopIndex());
  // Columns wider than the client scroll sideways, the header with them.
  List->Columns()->Items(1)->SetWidth(400);
  List->Perform(Win::WM_HSCROLL, Win::SB_RIGHT);
  EXPECT_EQ(List->ScrollLeft(), 520 - List->ClientWidth());
  EXPECT_EQ(List->SubItemRect(0, 1, drBounds).Left, 120 - List->ScrollLeft());
  Win::RECT header;
  Win::GetWindowRect(List->HeaderHandle(), &header);
  EXPECT_EQ(header.Left, List->ClientToScreen(TPoint(-List->ScrollLeft(), 0)).X);
}

TEST_F(ListViewTest, CheckBoxesToggleByAClickOnTheBoxOrSpaceAsVetoableStateChanges)
{
  List->SetCheckboxes(true);
  AddItems(4);
  std::vector<std::string> events;
  List->WindowProc = [&, old = List->WindowProc](TMessage& M) {
    const auto* nm = reinterpret_cast<const Win::NMLISTVIEW*>(M.LParam);
    if (M.Msg == CN_NOTIFY && nm->hdr.code == Win::LVN_ITEMCHANGING &&
        ((nm->uOldState ^ nm->uNewState) & Win::LVIS_STATEIMAGEMASK))
      events.push_back("changing " + std::to_string(nm->iItem) + " " + std::to_string(nm->uOldState >> 12) + ">" +
                       std::to_string(nm->uNewState >> 12));
    old(M);
  };
  List->OnItemChecked = [&](TObject*, TListItem* Item) {
    events.push_back("checked " + std::to_string(Item->Index()) + (Item->Checked() ? " on" : " off"));
  };
  List->OnChanging = [](TObject*, TListItem* Item, TItemChange, bool& Allow) { Allow = Item->Index() != 3; };
  TRect icon = List->ItemRect(1, drIcon);
  EXPECT_EQ(icon.Left, 2 + Win::GetSystemMetrics(Win::SM_CXSMICON));
  EXPECT_EQ(List->GetHitTestInfoAt(icon.Left - 8, icon.Top + 2), (THitTests{htOnItem, htOnStateIcon}));
  EXPECT_EQ(MarkPixels(1), 0);

  // A click on the box checks the row and leaves the selection where it was.
  ClickRow(0);
  ClickOn(List, icon.Left - 8, (icon.Top + icon.Bottom) / 2);
  EXPECT_TRUE(List->Items()->Item(1)->Checked());
  EXPECT_EQ(SelectedRows(), std::vector<int>{0});
  EXPECT_GT(MarkPixels(1), 4);
  EXPECT_EQ(MarkPixels(0), 0);
  // Space toggles the focused row; a vetoed row stays as it was.
  Key(Win::VK_SPACE);
  List->Items()->Item(3)->SetChecked(true);
  EXPECT_FALSE(List->Items()->Item(3)->Checked());
  List->Items()->Item(1)->SetChecked(false);
  EXPECT_EQ(events, (std::vector<std::string>{"changing 1 0>2", "checked 1 on", "changing 0 0>2", "checked 0 on",
                                              "changing 3 0>2", "changing 1 2>1", "checked 1 off"}));
  EXPECT_TRUE(List->Items()->Item(0)->Checked());
  EXPECT_EQ(SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(MarkPixels(1), 0);

  // A state image list gives the look: image 0 unchecked, 1 checked.
  TImageList* images = QxTest::SolidImages(Form, clRed);
  QxTest::AddSolid(images, clBlue);
  List->SetStateImages(images);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(List, List->ItemRect(0, drIcon).Left - 8, RowPoint(0).Y), Win::RGB(0, 0, 255));
  EXPECT_EQ(ControlPixel(List, List->ItemRect(1, drIcon).Left - 8, RowPoint(1).Y), Win::RGB(255, 0, 0));

  // Every row at once, the vetoed one excepted.
  List->SetItemState(-1, Win::INDEXTOSTATEIMAGEMASK(2), Win::LVIS_STATEIMAGEMASK);
  std::vector<bool> checked;
  for (int i = 0; i < 4; ++i)
    checked.push_back(List->Items()->Item(i)->Checked());
  EXPECT_EQ(checked, (std::vector<bool>{true, true, true, false}));
}

// A list that asks for taller rows than its font needs.
class TMeasuredList : public TListView {
public:
  using TListView::TListView;

protected:
  void MeasureItem(Integer& Height) override { Height = std::max(Height, 30); }
};

TEST_F(ListViewTest, OwnerDrawnRowsTakeTheMeasuredHeightAndPaintWhereTheHostDraws)
{
  auto* list = Place(new TMeasuredList(Form), Form, 10, 220, 300, 70);
  list->SetViewStyle(vsReport);
  list->SetShowColumnHeaders(false);
  list->Columns()->Add()->SetWidth(200);
  list->SetOwnerDraw(true);
  list->SetOwnerData(true);
  std::vector<std::pair<int, TRect>> drawn;
  list->OnDrawItem = [&](TCustomListView* Sender, TListItem* Item, TRect Rect, TOwnerDrawState State) {
    drawn.emplace_back(Item->Index(), Rect);
    Sender->Canvas()->Brush()->SetColor(State.Contains(odSelected) ? clRed : clLime);
    Sender->Canvas()->FillRect(Rect);
  };
  list->Items()->SetCount(5);
  RunUntilIdle();
  EXPECT_EQ(list->RowHeight(), 30);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front(), std::make_pair(0, TRect(0, 0, 300, 30)));
  EXPECT_EQ(ControlPixel(list, 100, 45), Win::RGB(0, 255, 0));
  list->SetItemIndex(1);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(list, 100, 45), Win::RGB(255, 0, 0));
  EXPECT_EQ(ControlPixel(list, 100, 15), Win::RGB(0, 255, 0));
}

TEST_F(ListViewTest, CustomDrawRunsThePrePaintAndPostPaintStagesAroundTheDefaultLook)
{
  AddItems(2);
  List->Items()->Item(0)->SubItems()->Add("sub");
  std::vector<std::string> stages;
  List->OnAdvancedCustomDrawItem = [&](TCustomListView*, TListItem* Item, TCustomDrawState, TCustomDrawStage Stage,
                                       bool& DefaultDraw) {
    stages.push_back((Stage == cdPrePaint ? "pre" : "post") + std::to_string(Item->Index()));
    DefaultDraw = Item->Index() != 1;
  };
  List->OnAdvancedCustomDrawSubItem = [&](TCustomListView*, TListItem* Item, Integer SubItem, TCustomDrawState,
                                          TCustomDrawStage, bool&) {
    stages.push_back("sub" + std::to_string(Item->Index()) + "." + std::to_string(SubItem));
  };
  List->Invalidate();
  RunUntilIdle();
  EXPECT_EQ(stages, (std::vector<std::string>{"pre0", "sub0.1", "post0", "pre1", "post1"}));

  // The default look: the selected row in the highlight colour while focused.
  List->SetFocus();
  ClickRow(0);
  TPoint p = RowPoint(0);
  EXPECT_EQ(ControlPixel(List, 200, p.Y - 2), Win::GetSysColor(Win::COLOR_HIGHLIGHT));
  EXPECT_EQ(ControlPixel(List, 200, RowPoint(1).Y - 2), Win::GetSysColor(Win::COLOR_WINDOW));
}

TEST_F(ListViewTest, TheHeaderTracksADividerAndReportsADoubleClickOnIt)
{
  AddItems(2);
  std::vector<unsigned> codes;
  // The header's notifications come back to the control as CN_NOTIFY.
  List->WindowProc = [this, &codes, old = List->WindowProc](TMessage& M) {
    if (M.Msg == CN_NOTIFY)
      codes.push_back(reinterpret_cast<const Win::NMHDR*>(M.LParam)->code);
    old(M);
  };
  TPoint origin = List->ClientToScreen(TPoint(120, 5));
  MoveTo(origin.X, origin.Y);
  Press();
  MoveTo(origin.X + 30, origin.Y);
  Release();
  EXPECT_EQ(List->Columns()->Items(0)->Width(), 150);
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes.front(), Win::HDN_BEGINTRACK);
  EXPECT_NE(std::find(codes.begin(), codes.end(), Win::HDN_TRACK), codes.end());
  EXPECT_EQ(codes.back(), Win::HDN_ENDTRACK);
  // The rows follow the header's new width.
  EXPECT_EQ(List->SubItemRect(0, 1, drBounds).Left, 150);

  // Without owner data the double click fits the column to its texts.
  Click(origin.X + 30, origin.Y);
  Click(origin.X + 30, origin.Y);
  EXPECT_EQ(codes.back(), Win::HDN_DIVIDERDBLCLICK);
  EXPECT_LT(List->Columns()->Items(0)->Width(), 150);
}

} // namespace

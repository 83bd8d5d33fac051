// The tree list view over a host's own tree, driven by injected input: the
// rows it maps, expansion and check states decided by the host, part
// rectangles and hit tests, a check-box click that keeps a multi-row
// selection, keys, double clicks, stale rows after a recount, hostile host
// graphs (cycles, a very deep chain), column fitting, the header's context
// menu, and its form resource.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.TreeListView.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Graphics.Measure.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

// The host's tree: nodes that remember their own expansion and check state.
// The host fills only what the control reads, so a row that shows a caption
// was described whole.
struct TNode : TObject {
  String Caption;
  std::vector<TNode*> Children;
  bool Expanded = false;
  TCheckBoxState Check = cbUnchecked;
  Integer Deep = 0;
  std::vector<String> Subs;
};

class TreeListViewTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 500, 400);
    Tree = Place(new TQxTreeListView(Form), Form, 10, 10, 400, 300);
    Tree->SetMultiSelect(true);
    for (const char* caption : {"Name", "Kind"}) {
      TListColumn* column = Tree->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(180);
    }
    Tree->OnTreeItemGet = [this](TObject*, TObject* Data, TQxTreeItemInfo* Info) {
      ++Requests;
      const TNode* node = Data ? static_cast<TNode*>(Data) : &Root;
      for (TNode* child : node->Children)
        Info->AddNode(child);
      Info->SetExpanded(node->Expanded);
      if (Info->NodesOnly())
        return;
      Info->SetCaption(node->Caption);
      Info->SetCheckState(node->Check);
      Info->SetDeep(node->Deep);
      for (const String& sub : node->Subs)
        Info->Subitems()->Add(sub);
    };
    Tree->OnTreeItemExpand = [this](TObject*, TObject* Data, bool& Expanded) {
      Expands.push_back(Expanded);
      if (VetoCollapse && !Expanded)
        Expanded = true;
      static_cast<TNode*>(Data)->Expanded = Expanded;
    };
    Tree->OnTreeItemCheck = [](TObject*, TObject* Data, TCheckBoxState& State) {
      static_cast<TNode*>(Data)->Check = State;
    };
  }

  TNode* Add(TNode* Parent, const String& Caption)
  {
    Nodes.push_back(std::make_unique<TNode>());
    TNode* node = Nodes.back().get();
    node->Caption = Caption;
    node->Deep = Parent == &Root ? 0 : Parent->Deep + 1;
    node->Subs = {"kind of " + Caption};
    Parent->Children.push_back(node);
    return node;
  }
  // Three top-level nodes; the second, open, has two children.
  void BuildSmallTree()
  {
    A = Add(&Root, "A");
    B = Add(&Root, "B");
    Add(&Root, "C");
    B->Expanded = true;
    Add(B, "B0");
    Add(B, "B1");
    Refresh();
  }
  void Refresh()
  {
    Tree->UpdateVisibleCount();
    RunUntilIdle();
  }
  std::vector<std::vector<Integer>> Paths()
  {
    std::vector<std::vector<Integer>> paths;
    for (Integer row = 0; row < Tree->Map().Count(); ++row)
      paths.push_back(Tree->Map().Path(row));
    return paths;
  }
  TRect Part(Integer Row, TListItemPart P) { return Tree->TreeItem(Row)->PartRect(P); }
  TPoint Centre(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
  void ClickPart(Integer Row, TListItemPart P)
  {
    TPoint p = Centre(Part(Row, P));
    ClickOn(Tree, p.X, p.Y);
  }
  std::vector<Integer> SelectedRows()
  {
    std::vector<Integer> rows;
    for (Integer i = 0; i < Tree->Items()->Count(); ++i)
      if (Tree->GetItemState(i, Win::LVIS_SELECTED))
        rows.push_back(i);
    return rows;
  }

  TForm* Form = nullptr;
  TQxTreeListView* Tree = nullptr;
  TNode Root;
  TNode* A = nullptr;
  TNode* B = nullptr;
  std::vector<std::unique_ptr<TNode>> Nodes;
  std::vector<bool> Expands;
  bool VetoCollapse = false;
  int Requests = 0;
};

TEST_F(TreeListViewTest, RowsAreThePreOrderOfTheExpandedPartAndFetchTheirNodes)
{
  Tree->UpdateVisibleCount();
  EXPECT_EQ(Tree->Items()->Count(), 0); // nothing at the root yet

  BuildSmallTree();
  B->Expanded = false;
  Refresh();
  EXPECT_EQ(Paths(), (std::vector<std::vector<Integer>>{{0}, {1}, {2}}));
  ClickPart(1, lipExpander);
  EXPECT_EQ(Expands, std::vector<bool>{true});
  EXPECT_EQ(Paths(), (std::vector<std::vector<Integer>>{{0}, {1}, {1, 0}, {1, 1}, {2}}));
  ASSERT_EQ(Tree->Items()->Count(), 5);
  TQxTreeItem* item = Tree->TreeItem(3);
  EXPECT_EQ(item->Caption(), "B1");
  EXPECT_EQ(item->Deep(), 1);
  EXPECT_EQ(item->SubItems()->Strings(0), "kind of B1");
  EXPECT_EQ(Tree->TreeItem(1)->NodeCount(), 2);
  EXPECT_TRUE(Tree->TreeItem(1)->Expanded());
  EXPECT_GE(Tree->RowHeight(), 21);

  // Without a host the tree is empty.
  Tree->OnTreeItemGet = nullptr;
  Refresh();
  EXPECT_EQ(Tree->Items()->Count(), 0);
}

// Each recount asks about every visible node once, in pre-order, for its
// children only; a row's fetch asks for its ancestors' children and for the
// row's node whole. Each description reaches the host as new, whatever the
// node before it left in its own; the sub-item texts behave as any string
// list.
TEST_F(TreeListViewTest, ARecountAsksEachNodeOnceInPreOrderWithAFreshDescription)
{
  BuildSmallTree();
  std::vector<String> asked;
  std::vector<String> stale;
  // A walk hands siblings one description in turn: each way of writing a
  // field must leave nothing for the next sibling, also when a host fills
  // nodes unevenly. The two shifts put every write before a sibling.
  const std::function<void(TQxTreeItemInfo*)> writes[] = {
    [](TQxTreeItemInfo* I) { I->SetCaption("left over"); },
    [](TQxTreeItemInfo* I) { I->SetDeep(3); },
    [](TQxTreeItemInfo* I) { I->SetChecked(true); },
    [](TQxTreeItemInfo* I) { I->SetImageIndex(4); },
    [](TQxTreeItemInfo* I) { I->SetSubImageIndex(1, 2); },
    [](TQxTreeItemInfo* I) { I->Subitems()->Add("left over"); },
  };
  size_t shift = 0;
  Tree->OnTreeItemGet = [&, fill = Tree->OnTreeItemGet](TObject* Sender, TObject* Data, TQxTreeItemInfo* Info) {
    const String name = Data ? static_cast<TNode*>(Data)->Caption : "root";
    asked.push_back(Info->NodesOnly() ? name : name + " whole");
    if (Info->Data() != Data || !Info->Caption().empty() || Info->Count() != 0 || Info->Expanded() ||
        Info->CheckState() != cbUnchecked || Info->Deep() != 0 || Info->ImageIndex() != -1 ||
        Info->SubImageIndex(1) != -1 || Info->Subitems()->Count() != 0)
      stale.push_back(name);
    fill(Sender, Data, Info);
    if (Info->NodesOnly()) {
      writes[(asked.size() + shift) % std::size(writes)](Info);
      return;
    }
    Info->SetImageIndex(4);
    Info->SetSubImageIndex(1, 2);
    Info->Subitems()->InsertObject(0, "first", Info);
  };
  for (size_t each : {3, 0}) {
    shift = each;
    asked.clear();
    Tree->UpdateVisibleCount();
    EXPECT_EQ(asked, (std::vector<String>{"root", "A", "B", "B0", "B1", "C"}));
    EXPECT_TRUE(stale.empty()) << stale.front();
  }

  asked.clear();
  TQxTreeItem* item = Tree->TreeItem(3);
  EXPECT_EQ(asked, (std::vector<String>{"root", "B", "B1 whole"}));
  ASSERT_EQ(item->SubItems()->Count(), 2);
  EXPECT_EQ(item->SubItems()->Strings(0), "first");
  EXPECT_EQ(item->SubItems()->Strings(1), "kind of B1");
  EXPECT_EQ(item->SubItemImages(1), 2);
  std::unique_ptr<TQxTreeItemInfo> info = Tree->Map().ItemByIndex(3);
  TStrings* subs = info->Subitems();
  EXPECT_EQ(subs->Objects(0), info.get());
  subs->Move(0, 1);
  subs->Delete(0);
  subs->Put(0, "moved");
  EXPECT_EQ(subs->Text(), "moved\n");
  EXPECT_THROW(subs->Strings(1), EStringListError);
  EXPECT_THROW(subs->Insert(3, "far"), EStringListError);
}

TEST_F(TreeListViewTest, TheHostDecidesExpansionAndAHalfClickDoesNothing)
{
  BuildSmallTree();
  ClickPart(1, lipExpander);
  EXPECT_EQ(Expands, std::vector<bool>{false});
  EXPECT_EQ(Tree->Items()->Count(), 3);
  // Right and Left act on the focused row.
  Key(Win::VK_RIGHT);
  Key(Win::VK_LEFT);
  EXPECT_EQ(Expands, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(Tree->Items()->Count(), 3);
  Expands.clear();

  // A host that keeps the node open wins.
  ClickPart(1, lipExpander);
  VetoCollapse = true;
  ClickPart(1, lipExpander);
  EXPECT_EQ(Expands, (std::vector<bool>{true, false}));
  EXPECT_EQ(Tree->Items()->Count(), 5);

  // Pressed on the expander, released on the caption of the same row.
  TPoint from = Centre(Part(1, lipExpander));
  TPoint to = Centre(Part(1, lipText));
  MoveOnto(Tree, from.X, from.Y);
  Press();
  MoveOnto(Tree, to.X, to.Y);
  Release();
  EXPECT_EQ(Expands.size(), 2u);

  // A double click on the caption toggles; on the check box it does not.
  VetoCollapse = false;
  ClickPart(1, lipText);
  ClickPart(1, lipText);
  EXPECT_EQ(Expands.size(), 3u);
  EXPECT_EQ(Tree->Items()->Count(), 3);
  Tree->SetCheckboxes(true);
  RunUntilIdle();
  ClickPart(0, lipCheckBox);
  ClickPart(0, lipCheckBox);
  EXPECT_EQ(Expands.size(), 3u);
}

TEST_F(TreeListViewTest, PartsLieByDepthAndHitTestsTakeThemInOrder)
{
  BuildSmallTree();
  TNode* deep = Add(Nodes[3].get(), "deep"); // under B0, depth 2
  Nodes[3]->Expanded = true;
  Refresh();
  ASSERT_EQ(Tree->TreeItem(3)->Caption(), "deep");
  TRect row = Tree->ItemRect(3, drBounds);
  Integer h = row.Height();
  EXPECT_EQ(Part(3, lipExpander), TRect(2 * h, row.Top, 2 * h + 14, row.Bottom));
  EXPECT_EQ(Part(3, lipCheckBox), TRect(2 * h + 17, row.Top, 2 * h + 31, row.Bottom));
  EXPECT_EQ(Part(3, lipIcon), TRect(2 * h + 17, row.Top, 2 * h + 17 + h, row.Bottom));
  EXPECT_EQ(Part(3, lipText), TRect(3 * h + 20, row.Top, 180 - 2, row.Bottom));
  EXPECT_EQ(Part(3, lipNone), TRect(-1, -1, -1, -1));

  // Without check boxes, where the box would be is the icon; a leaf has no
  // expander to hit.
  TQxTreeItem* item = Tree->TreeItem(3);
  EXPECT_EQ(item->PartAtPos(Centre(Part(3, lipCheckBox))), lipIcon);
  EXPECT_EQ(item->PartAtPos(Centre(Part(3, lipExpander))), lipNone);
  EXPECT_EQ(Tree->TreeItem(1)->PartAtPos(Centre(Part(1, lipExpander))), lipExpander);

  Tree->SetCheckboxes(true);
  item = Tree->TreeItem(3);
  EXPECT_EQ(Part(3, lipIcon).Left, 2 * h + 34);
  EXPECT_EQ(item->PartAtPos(Centre(Part(3, lipCheckBox))), lipCheckBox);
  EXPECT_EQ(item->PartAtPos(Centre(Part(3, lipText))), lipText);
  EXPECT_EQ(item->PartAtPos(TPoint(250, row.Top + 2)), lipNone); // a sub-item cell

  // A host's negative depth indents as none.
  deep->Deep = -3;
  Refresh();
  EXPECT_EQ(Part(3, lipExpander).Left, 0);
}

TEST_F(TreeListViewTest, ACheckBoxClickInAMultiRowSelectionKeepsTheSelection)
{
  BuildSmallTree();
  Tree->SetCheckboxes(true);
  Nodes[3]->Check = cbGrayed; // B0, row 2
  Refresh();
  std::vector<std::string> selections;
  Tree->OnSelectItem = [&](TObject*, TListItem* Item, bool Selected) {
    selections.push_back((Selected ? "+" : "-") + std::to_string(Item->Index()));
  };
  ClickPart(1, lipText);
  KeyDown(Win::VK_SHIFT);
  ClickPart(3, lipText);
  KeyUp(Win::VK_SHIFT);
  ASSERT_EQ(SelectedRows(), (std::vector<Integer>{1, 2, 3}));
  selections.clear();

  ClickPart(2, lipCheckBox);
  EXPECT_EQ(Nodes[3]->Check, cbChecked);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 2, 3}));
  EXPECT_EQ(Tree->ItemFocused()->Index(), 3);
  EXPECT_TRUE(selections.empty());
  ClickPart(2, lipCheckBox);
  EXPECT_EQ(Nodes[3]->Check, cbUnchecked);

  // A press on a check box that ends outside the control gives the
  // selection back too.
  TPoint p = Centre(Part(2, lipCheckBox));
  MoveOnto(Tree, p.X, p.Y);
  Press();
  MoveOnto(Tree, 450, 350);
  Release();
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 2, 3}));
  EXPECT_EQ(Nodes[3]->Check, cbUnchecked);
}

TEST_F(TreeListViewTest, HostileGraphsEndAndDeepChainsNeedNoStack)
{
  // A cycle: A's child is B, and B's child is A again (and itself).
  A = Add(&Root, "A");
  B = Add(A, "B");
  A->Expanded = B->Expanded = true;
  B->Children = {A, B};
  Refresh();
  EXPECT_EQ(Paths(), (std::vector<std::vector<Integer>>{{0}, {0, 0}}));

  Root.Children.clear();
  TNode* parent = &Root;
  for (int i = 0; i < 100000; ++i) {
    Nodes.push_back(std::make_unique<TNode>());
    TNode* node = Nodes.back().get();
    node->Expanded = true;
    parent->Children = {node};
    parent = node;
  }
  Requests = 0;
  Tree->UpdateVisibleCount();
  EXPECT_EQ(Tree->Items()->Count(), 100000);
  EXPECT_EQ(Requests, 100001);
  EXPECT_EQ(Tree->Map().Path(99999).size(), 100000u);
}

TEST_F(TreeListViewTest, StalePathsYieldTheDeepestNodeLeftButNeverTheRoot)
{
  BuildSmallTree();
  B->Children.pop_back(); // row 3, [1, 1], now missing its last step
  EXPECT_EQ(Tree->Map().ItemByIndex(3)->Caption(), "B");
  Root.Children.clear();
  EXPECT_EQ(Tree->Map().ItemByIndex(0), nullptr);
  EXPECT_EQ(Tree->Map().ItemByIndex(5), nullptr);
}

TEST_F(TreeListViewTest, RowsHeldForHoverPressAndSelectionDoNotOutliveARecount)
{
  BuildSmallTree();
  Tree->SetCheckboxes(true);
  RunUntilIdle();
  ClickPart(1, lipText);
  KeyDown(Win::VK_CONTROL);
  ClickPart(4, lipText);
  KeyUp(Win::VK_CONTROL);
  TPoint p = Centre(Part(4, lipCheckBox));
  MoveOnto(Tree, p.X, p.Y);
  Press(); // rows 1 and 4 held
  B->Expanded = false;
  Tree->UpdateVisibleCount(); // three rows left while the button is down
  Release();
  EXPECT_EQ(SelectedRows(), std::vector<Integer>{1});
  EXPECT_EQ(Tree->Items()->Count(), 3);
  EXPECT_EQ(Root.Children[2]->Check, cbUnchecked); // the press no longer names a row
}

TEST_F(TreeListViewTest, ColumnsFitTheirWidestRowsAndTheHeaderHasNoContextMenu)
{
  BuildSmallTree();
  Nodes[1]->Subs = {"a much longer kind of node", "extra"};
  Refresh();
  Tree->SizeColumnToFit(1);
  TMeasureCanvas canvas(Tree->Font());
  EXPECT_EQ(Tree->Columns()->Items(1)->Width(), canvas.TextWidth("a much longer kind of node") + 5);
  EXPECT_EQ(Tree->GetItemWidth(Tree->TreeItem(1), 2), canvas.TextWidth("extra") + 5);
  EXPECT_EQ(Tree->GetItemWidth(Tree->TreeItem(0), 2), 10);
  TQxTreeItem* item = Tree->TreeItem(2);
  EXPECT_EQ(Tree->GetItemWidth(item, 0), item->PartRect(lipText).Left + canvas.TextWidth("B0") + 5);

  // A double click on a divider fits the column in owner-data mode.
  Win::HDITEM hd;
  hd.mask = Win::HDI_WIDTH;
  hd.cxy = 40;
  Win::SendMessage(Tree->HeaderHandle(), Win::HDM_SETITEM, 1, reinterpret_cast<Win::LPARAM>(&hd));
  EXPECT_EQ(Tree->Columns()->Items(1)->Width(), 40);
  TPoint divider = Tree->ClientToScreen(TPoint(180 + 40, 5));
  Click(divider.X, divider.Y);
  Click(divider.X, divider.Y);
  EXPECT_EQ(Tree->Columns()->Items(1)->Width(), canvas.TextWidth("a much longer kind of node") + 5);

  std::vector<TPoint> popups;
  Tree->OnContextPopup = [&](TObject*, TPoint MousePos, bool&) { popups.push_back(MousePos); };
  ClickOn(Tree, 50, 5, Win::TInjectButton::Right);
  EXPECT_TRUE(popups.empty());
  ClickOn(Tree, 50, Tree->ItemRect(0, drBounds).Top + 3, Win::TInjectButton::Right);
  EXPECT_EQ(popups.size(), 1u);
}

TEST_F(TreeListViewTest, AHeldCheckBoxPaintsPressedAndTheSelectionStaysPainted)
{
  BuildSmallTree();
  Tree->SetCheckboxes(true);
  RunUntilIdle();
  TPoint sel = Centre(Part(2, lipText));
  ClickOn(Tree, sel.X, sel.Y);
  Win::COLORREF selected = ControlPixel(Tree, Part(2, lipText).Right - 3, sel.Y);
  Win::COLORREF plain = ControlPixel(Tree, Part(0, lipText).Right - 3, Centre(Part(0, lipText)).Y);
  EXPECT_NE(selected, plain);

  TRect box = Part(2, lipCheckBox);
  auto boxPixels = [&] {
    RunUntilIdle();
    Win::TImage shot = Win::CaptureWindow(Tree->Handle());
    std::vector<Win::COLORREF> px;
    for (int y = box.Top; y < box.Bottom; ++y)
      for (int x = box.Left; x < box.Right; ++x)
        px.push_back(shot.Pixel(x, y));
    return px;
  };
  auto before = boxPixels();
  MoveOnto(Tree, Centre(box).X, Centre(box).Y);
  auto hot = boxPixels();
  Press();
  auto pressed = boxPixels();
  // The held row still shows selected while the list itself has none.
  EXPECT_EQ(ControlPixel(Tree, Part(2, lipText).Right - 3, sel.Y), selected);
  Release();
  EXPECT_NE(hot, before);
  EXPECT_NE(pressed, hot);
  EXPECT_NE(boxPixels(), hot); // checked now
}

TEST(TreeItemInfo, SubImageIndexesOutsideTheArrayAreReadAsNoneAndNotWritten)
{
  TQxTreeItemInfo info(nullptr, nullptr);
  EXPECT_EQ(info.SubImageIndex(-1), -1);
  EXPECT_EQ(info.SubImageIndex(0), -1);
  info.SetSubImageIndex(0, 7);
  EXPECT_EQ(info.SubImageIndex(0), 7);
  EXPECT_EQ(info.SubImageIndex(1), -1);
  info.SetSubImageIndex(-1, 3);
  info.SetSubImageIndex(TQxTreeItemInfo::MaxSubImages, 3);
  EXPECT_EQ(info.SubImageIndex(-1), -1);
  EXPECT_EQ(info.SubImageIndex(TQxTreeItemInfo::MaxSubImages), -1);
  info.SetSubImageIndex(2, 5);
  EXPECT_EQ(info.SubImageIndex(1), 0);
}

class TreeListStreamingTest : public QxTest::QxDesktopFixture {};

TEST_F(TreeListStreamingTest, DefaultsStayUnwrittenAndChangesComeBack)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* tree = QxTest::AddNamed<TQxTreeListView>(&root, "Tree1");
  String text = WriteComponentRes(&root);
  QxTest::ExpectLacks(text, {"AutoScroll", "HideSelection", "Checkboxes", "ParentColor", "TabStop", "OwnerData"});

  tree->SetAutoScroll(true);
  tree->SetCheckboxes(true);
  tree->SetHideSelection(true);
  tree->SetMultiSelect(true);
  tree->Columns()->Add()->SetCaption("Name");
  text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"AutoScroll = True", "Checkboxes = True", "HideSelection = True", "MultiSelect = True",
                           "Caption = 'Name'"});
  QxTest::ExpectReadsBackTheSame(&root, text);
}

} // namespace

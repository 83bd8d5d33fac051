#include "Quorex.Vcl.TreeListView.hpp"

#include "Quorex.Vcl.CanvasHelper.hpp"

#include <Vcl.Graphics.Measure.hpp>
#include <Vcl.Themes.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_set>
#include <utility>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr Integer kMinRowHeight = 21;
constexpr Integer kPartSize = 14;
constexpr Integer kPartStep = 17;
constexpr Integer kTextGap = 3;
constexpr Integer kFitMargin = 5;
constexpr Integer kFitNoText = 10;

bool Contains(const TRect& R, TPoint P)
{
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// The sub-item texts of a description. The host fills them for every node a
// walk meets, so emptying keeps the memory for the next node; known only as
// TStrings, the list has no change events anybody could be waiting for.
class TSubItemStrings final : public TStrings {
  QX_CLASS(TSubItemStrings, TStrings)
public:
  Integer Count() const override { return Integer(FItems.size()); }
  String Get(Integer Index) const override { return At(Index).S; }
  void Put(Integer Index, const String& S) override { At(Index).S = S; }
  TObject* GetObject(Integer Index) const override { return At(Index).Object; }
  void PutObject(Integer Index, TObject* AObject) override { At(Index).Object = AObject; }
  void Clear() override { FItems.clear(); }
  void Delete(Integer Index) override
  {
    At(Index);
    FItems.erase(FItems.begin() + Index);
  }
  void Insert(Integer Index, const String& S) override { InsertObject(Index, S, nullptr); }
  void InsertObject(Integer Index, const String& S, TObject* AObject) override
  {
    if (Index < 0 || Index > Count())
      Error("List index out of bounds (%d)", Index);
    FItems.insert(FItems.begin() + Index, TItem{S, AObject});
  }
  Integer Add(const String& S) override { return AddObject(S, nullptr); }
  Integer AddObject(const String& S, TObject* AObject) override
  {
    FItems.push_back(TItem{S, AObject});
    return Count() - 1;
  }

private:
  struct TItem {
    String S;
    TObject* Object = nullptr;
  };
  const TItem& At(Integer Index) const
  {
    if (Index < 0 || Index >= Count())
      Error("List index out of bounds (%d)", Index);
    return FItems[size_t(Index)];
  }
  TItem& At(Integer Index) { return const_cast<TItem&>(std::as_const(*this).At(Index)); }
  std::vector<TItem> FItems;
};

// The data objects of the nodes being walked. Almost every node asked about
// is no ancestor, so a mask of hash bits answers most questions without the
// set's division; a count per bit lets a bit go when its last owner does.
class TAncestorSet {
public:
  bool Contains(TObject* Data) const { return (FMask >> Bit(Data) & 1) != 0 && FSet.contains(Data); }
  // Data must not be among them yet.
  void Insert(TObject* Data)
  {
    FSet.insert(Data);
    if (FCounts[Bit(Data)]++ == 0)
      FMask |= std::uint64_t(1) << Bit(Data);
  }
  void Erase(TObject* Data)
  {
    FSet.erase(Data);
    if (--FCounts[Bit(Data)] == 0)
      FMask &= ~(std::uint64_t(1) << Bit(Data));
  }

private:
  // Objects are aligned, so the low bits say little.
  static unsigned Bit(TObject* Data)
  {
    auto value = reinterpret_cast<std::uintptr_t>(Data);
    return unsigned((value >> 4) ^ (value >> 10)) & 63;
  }
  std::unordered_set<TObject*> FSet;
  std::array<std::uint32_t, 64> FCounts{};
  std::uint64_t FMask = 0;
};

} // namespace

// ---- node descriptions -----------------------------------------------------------------------

TQxTreeItemInfo::TQxTreeItemInfo(TQxCustomTreeListView* ATreeList, TObject* AData)
  : FTreeList(ATreeList), FSubItems(std::make_unique<TSubItemStrings>()), FData(AData)
{
}

TQxTreeItemInfo::~TQxTreeItemInfo() = default;

std::unique_ptr<TQxTreeItemInfo> TQxTreeItemInfo::Items(Integer Index) const
{
  if (Index < 0 || Index >= Count())
    return nullptr;
  return FTreeList->RequestItem(Node(Index));
}

Integer TQxTreeItemInfo::SubImageIndex(Integer Index) const
{
  if (Index < 0 || size_t(Index) >= FSubImages.size())
    return -1;
  return FSubImages[size_t(Index)];
}

void TQxTreeItemInfo::SetSubImageIndex(Integer Index, Integer Value)
{
  if (Index < 0 || Index >= MaxSubImages)
    return;
  FFilled = true;
  if (size_t(Index) >= FSubImages.size())
    FSubImages.resize(size_t(Index) + 1, 0);
  FSubImages[size_t(Index)] = Value;
}

// A walk does this once a node, so it is inline here, and the sub-item list
// is known to be ours.
inline void TQxTreeItemInfo::Reuse(TObject* AData, bool ANodesOnly)
{
  FData = AData;
  FNodesOnly = ANodesOnly;
  FList.clear();
  FExpanded = false;
  // Written through its pointer, the sub-item list cannot tell.
  static_cast<TSubItemStrings&>(*FSubItems).Clear();
  if (FFilled)
    ClearFilled();
}

void TQxTreeItemInfo::ClearFilled()
{
  FFilled = false;
  FCaption.clear();
  FCheckState = cbUnchecked;
  FDeep = 0;
  FImageIndex = -1;
  FSubImages.clear();
}

// ---- rows ---------------------------------------------------------------------------------

void TQxTreeItem::Reset()
{
  TQxListItem::Reset();
  FCheckState = cbUnchecked;
  FExpanded = false;
  FDeep = 0;
  FNodeCount = 0;
}

TRect TQxTreeItem::PartRect(TListItemPart Part) const
{
  if (Part == lipNone)
    return TRect(-1, -1, -1, -1);
  TRect bounds = DisplayRect(drBounds);
  Integer height = bounds.Height();
  // A host may report any depth; less than none indents as none.
  Integer indent = bounds.Left + std::max(FDeep, 0) * height;
  auto span = [&](Integer Left, Integer Right) { return TRect(Left, bounds.Top, Right, bounds.Bottom); };
  if (Part == lipExpander)
    return span(indent, indent + kPartSize);
  if (Part == lipCheckBox)
    return span(indent + kPartStep, indent + kPartStep + kPartSize);
  const auto* list = static_cast<const TQxCustomTreeListView*>(ListView());
  Integer iconLeft = indent + kPartStep + (list->Checkboxes() ? kPartStep : 0);
  if (Part == lipIcon)
    return span(iconLeft, iconLeft + height);
  return span(iconLeft + height + kTextGap, DisplayRect(drLabel).Right - 2);
}

TListItemPart TQxTreeItem::PartAtPos(TPoint Point) const
{
  const auto* list = static_cast<const TQxCustomTreeListView*>(ListView());
  for (TListItemPart part : {lipExpander, lipCheckBox, lipIcon, lipText}) {
    if (part == lipExpander && FNodeCount == 0)
      continue;
    if (part == lipCheckBox && !list->Checkboxes())
      continue;
    if (Contains(PartRect(part), Point))
      return part;
  }
  return lipNone;
}

// ---- the list with column fitting --------------------------------------------------------

Integer TQxCustomListView::GetItemWidth(TListItem* Item, Integer Column)
{
  TMeasureCanvas canvas(Font());
  if (Column == 0) {
    Integer textLeft = Item->DisplayRect(drLabel).Left - Item->DisplayRect(drBounds).Left;
    if (auto* item = dynamic_cast<TQxListItem*>(Item))
      textLeft = item->PartRect(lipText).Left - Item->DisplayRect(drBounds).Left;
    return textLeft + canvas.TextWidth(Item->Caption()) + kFitMargin;
  }
  // Column n shows the n-th sub-item, SubItems[n - 1].
  if (Item->SubItems()->Count() >= Column)
    return canvas.TextWidth(Item->SubItems()->Strings(Column - 1)) + kFitMargin;
  return kFitNoText;
}

void TQxCustomListView::SizeColumnToFit(Integer Column)
{
  if (ViewStyle() != vsReport || Column < 0 || Column >= Columns()->Count())
    return;
  Integer width = 0;
  for (Integer i = 0; i < Items()->Count(); ++i)
    width = std::max(width, GetItemWidth(Items()->Item(i), Column));
  if (Columns()->Items(Column)->Width() != width)
    Columns()->Items(Column)->SetWidth(width);
}

TRect TQxCustomListView::GetSubItemRect(TListItem* Item, Integer SubItem, TDisplayCode Code)
{
  return SubItemRect(Item->Index(), SubItem + 1, Code);
}

void TQxCustomListView::ColumnDividerDblClick(Integer Index)
{
  if (OwnerData())
    SizeColumnToFit(Index);
  else
    inherited::ColumnDividerDblClick(Index);
}

// The cells are drawn by the control, so a column that moved repaints all.
void TQxCustomListView::CNNotify(TMessage& Message)
{
  inherited::CNNotify(Message);
  const auto* hdr = reinterpret_cast<const Win::NMHDR*>(Message.LParam);
  if (hdr->hwndFrom == HeaderHandle() &&
      (hdr->code == Win::HDN_TRACK || hdr->code == Win::HDN_ENDTRACK || hdr->code == Win::HDN_ITEMCHANGED))
    Invalidate();
}

// ---- the tree map -------------------------------------------------------------------------

// Depth first with a stack of its own: a host's chain may be deeper than the
// thread's stack. One description per depth serves the whole walk: a node's
// is done with once its children are walked, when its next sibling's takes
// its place (making one afresh per node, with its lists, costs more than the
// host takes to fill it). The walk reads only children and expansion, and
// says so. A frame holds the node being walked, its row and its next child;
// the siblings run in an inner loop until one opens, all in the one
// description of their depth.
void TQxCustomTreeListView::TTreeMap::Update()
{
  FList.clear();
  std::vector<TInfoPtr> levels;
  auto level = [&](size_t Depth) {
    if (Depth == levels.size())
      levels.push_back(std::make_unique<TQxTreeItemInfo>(FTreeList, nullptr));
    return levels[Depth].get();
  };
  // Checked after the reset, the handler is loaded once for this test and
  // the call's own.
  auto describe = [this](TQxTreeItemInfo* Info, TObject* Data) -> const TQxTreeItemInfo* {
    Info->Reuse(Data, true);
    if (!FTreeList->OnTreeItemGet)
      return nullptr;
    FTreeList->OnTreeItemGet(FTreeList, Data, Info);
    return Info;
  };
  const TQxTreeItemInfo* root = describe(level(0), nullptr);
  if (!root)
    return;
  struct TFrame {
    const TQxTreeItemInfo* Node;
    Integer Row;
    Integer Next;
  };
  std::vector<TFrame> stack{{root, -1, 0}};
  // The root's data object is null: a null child would be the root again.
  TAncestorSet ancestors;
  ancestors.Insert(nullptr);
  while (!stack.empty()) {
    const TFrame frame = stack.back();
    const Integer count = frame.Node->Count();
    TQxTreeItemInfo* children = level(stack.size());
    const TQxTreeItemInfo* opened = nullptr;
    Integer index = frame.Next;
    for (; index < count && !opened; ++index) {
      TObject* data = frame.Node->FList[size_t(index)];
      if (ancestors.Contains(data))
        continue;
      FList.push_back({frame.Row, index});
      const TQxTreeItemInfo* child = describe(children, data);
      if (child && child->Count() > 0 && child->Expanded())
        opened = child;
    }
    if (!opened) {
      ancestors.Erase(frame.Node->Data());
      stack.pop_back();
      continue;
    }
    stack.back().Next = index;
    ancestors.Insert(opened->Data());
    stack.push_back({opened, Count() - 1, 0});
  }
}

std::vector<Integer> TQxCustomTreeListView::TTreeMap::Path(Integer Row) const
{
  std::vector<Integer> path;
  for (Integer row = Row; row >= 0 && row < Count(); row = FList[size_t(row)].Parent)
    path.push_back(FList[size_t(row)].Index);
  std::reverse(path.begin(), path.end());
  return path;
}

std::unique_ptr<TQxTreeItemInfo> TQxCustomTreeListView::TTreeMap::ItemByIndex(Integer Row) const
{
  if (Row < 0 || Row >= Count())
    return nullptr;
  return FindItem(Path(Row));
}

// The nodes on the way are asked for their children only; the node found is
// described whole, also when a stale path ends above its last step.
std::unique_ptr<TQxTreeItemInfo> TQxCustomTreeListView::TTreeMap::FindItem(const std::vector<Integer>& Path) const
{
  TInfoPtr node = FTreeList->RequestItem(nullptr, true);
  size_t depth = 0;
  for (; depth < Path.size() && node && Path[depth] >= 0 && Path[depth] < node->Count(); ++depth) {
    TInfoPtr child = FTreeList->RequestItem(node->Node(Path[depth]), depth + 1 < Path.size());
    if (!child)
      break;
    node = std::move(child);
  }
  if (!node || depth == 0)
    return nullptr;
  if (node->NodesOnly())
    return FTreeList->RequestItem(node->Data(), false);
  return node;
}

// ---- the tree list: model -------------------------------------------------------------------

TQxCustomTreeListView::TQxCustomTreeListView(TComponent* AOwner)
  : TQxCustomListView(AOwner), FMap(std::make_unique<TTreeMap>(this))
{
  SetViewStyle(vsReport);
  SetReadOnly(true);
  SetRowSelect(true);
  SetOwnerData(true);
  SetOwnerDraw(true);
  SetHideSelection(false);
  SetParentColor(true);
  SetTabStop(true);
}

TQxCustomTreeListView::~TQxCustomTreeListView() = default;

std::unique_ptr<TListItem> TQxCustomTreeListView::CreateListItem()
{
  return std::make_unique<TQxTreeItem>(Items());
}

std::unique_ptr<TQxTreeItemInfo> TQxCustomTreeListView::RequestItem(TObject* DataObject, bool NodesOnly)
{
  if (!OnTreeItemGet)
    return nullptr;
  auto info = std::make_unique<TQxTreeItemInfo>(this, DataObject);
  info->FNodesOnly = NodesOnly;
  OnTreeItemGet(this, DataObject, info.get());
  return info;
}

// Row numbers held for hover, press and a held selection name other nodes
// once the rows change, so they do not outlive the recount.
void TQxCustomTreeListView::UpdateVisibleCount()
{
  FMap->Update();
  Integer count = FMap->Count();
  Win::DWORD flags = 0;
  if (count > 0)
    flags = Win::LVSICF_NOINVALIDATEALL | (FAutoScroll ? 0 : Win::LVSICF_NOSCROLL);
  FHoverItemIndex = FMouseItemIndex = -1;
  FHoverItemElem = FMouseItemElem = lipNone;
  std::erase_if(FMultiSelectSave, [count](Integer row) { return row >= count; });
  if (FMultiFocusedSave >= count)
    FMultiFocusedSave = -1;
  SetItemCountEx(count, flags);
  Invalidate();
}

bool TQxCustomTreeListView::DoExpandItem(TObject* DataObject, bool Expanded)
{
  bool result = Expanded;
  if (OnTreeItemExpand)
    OnTreeItemExpand(this, DataObject, result);
  UpdateVisibleCount();
  return result;
}

TCheckBoxState TQxCustomTreeListView::DoCheckItem(TObject* DataObject, TCheckBoxState State)
{
  TCheckBoxState result = State;
  if (OnTreeItemCheck)
    OnTreeItemCheck(this, DataObject, result);
  return result;
}

TCheckBoxState TQxCustomTreeListView::GetNextCheckState(TCheckBoxState State)
{
  return State == cbChecked ? cbUnchecked : cbChecked;
}

Integer TQxCustomTreeListView::ItemIndexAtPos(TPoint Point)
{
  return IndexAt(Point);
}

void TQxCustomTreeListView::SetItemSelected(Integer Index, bool Selected, bool Focused)
{
  if (Focused)
    SetItemState(Index, Win::LVIS_FOCUSED, Win::LVIS_FOCUSED);
  SetItemState(Index, Selected ? Win::LVIS_SELECTED : 0, Win::LVIS_SELECTED);
}

TRect TQxCustomTreeListView::GetSelectionRect(TListItem* Item)
{
  TRect rect = Item->DisplayRect(drBounds);
  rect.Left = static_cast<TQxTreeItem*>(Item)->PartRect(lipIcon).Left;
  return rect;
}

TQxTreeItem* TQxCustomTreeListView::TreeItem(Integer Row)
{
  return static_cast<TQxTreeItem*>(Items()->Item(Row));
}

bool TQxCustomTreeListView::OwnerDataFetch(TListItem* Item, TItemRequest Request)
{
  (void)Request;
  std::unique_ptr<TQxTreeItemInfo> info = FMap->ItemByIndex(Item->Index());
  if (!info)
    return false;
  auto* item = static_cast<TQxTreeItem*>(Item);
  item->SetCaption(info->Caption());
  item->SetExpanded(info->Expanded());
  item->SetDeep(info->Deep());
  item->SetNodeCount(info->Count());
  item->SetData(info->Data());
  item->SetCheckState(info->CheckState());
  for (Integer i = 0; i < info->Subitems()->Count(); ++i) {
    item->SubItems()->Add(info->Subitems()->Strings(i));
    item->SetSubItemImages(i, info->SubImageIndex(i));
  }
  item->SetImageIndex(info->ImageIndex());
  return true;
}

void TQxCustomTreeListView::MeasureItem(Integer& Height)
{
  Height = std::max(kMinRowHeight, Height);
}

// ---- the tree list: painting ----------------------------------------------------------------

bool TQxCustomTreeListView::RowSelected(Integer Row, TOwnerDrawState State) const
{
  if (FMultiSelectSave.empty())
    return State.Contains(odSelected);
  return std::find(FMultiSelectSave.begin(), FMultiSelectSave.end(), Row) != FMultiSelectSave.end();
}

void TQxCustomTreeListView::DrawItem(TListItem* Item, TRect Rect, TOwnerDrawState State)
{
  (void)Rect;
  auto* item = static_cast<TQxTreeItem*>(Item);
  Integer row = Item->Index();
  bool selected = RowSelected(row, State);
  TRect selection = GetSelectionRect(Item);
  DrawSelection(row, selection, selected);
  if (item->NodeCount() > 0)
    DrawItemExpander(item, row);
  if (Checkboxes())
    DrawItemCheckbox(item, row);
  if (SmallImages())
    DrawItemIcon(item);
  DrawItemText(item, selected);
  for (Integer i = 0; i < item->SubItems()->Count(); ++i)
    DrawSubItem(item, i);
  if (selected && Focused())
    QxDrawFocusRect(Canvas(), selection);
}

// The hot look is opaque: over a selected row it would hide the selection,
// so the row under the mouse shows hot only while it is not shown selected.
void TQxCustomTreeListView::DrawSelection(Integer Row, const TRect& Rect, bool Selected)
{
  if (Selected && (Focused() || !HideSelection()))
    QxDrawSelection(Canvas(), this, Rect, Focused() ? lissSelected : lissSelectedNotFocused);
  else if (Row == FHoverItemIndex)
    QxDrawSelection(Canvas(), this, Rect, lissHot);
}

void TQxCustomTreeListView::DrawItemExpander(TQxTreeItem* Item, Integer Row)
{
  TUIControlState state = Row == FHoverItemIndex && FHoverItemElem == lipExpander ? uicsHot : uicsNormal;
  QxDrawTreeExpander(Canvas(), this, Item->PartRect(lipExpander), state, Item->Expanded() ? tvesOpened : tvesClosed);
}

void TQxCustomTreeListView::DrawItemCheckbox(TQxTreeItem* Item, Integer Row)
{
  TUIControlState state = uicsNormal;
  if (Row == FMouseItemIndex && FMouseItemElem == lipCheckBox)
    state = uicsPressed;
  else if (Row == FHoverItemIndex && FHoverItemElem == lipCheckBox)
    state = uicsHot;
  QxDrawCheckbox(Canvas(), this, Item->PartRect(lipCheckBox), state, Item->CheckState());
}

void TQxCustomTreeListView::DrawItemIcon(TQxTreeItem* Item)
{
  TRect part = Item->PartRect(lipIcon);
  TCustomImageList* images = SmallImages();
  images->Draw(Canvas(), part.Left + (part.Width() - images->Width()) / 2,
               part.Top + (part.Height() - images->Height()) / 2, Item->ImageIndex(), true);
}

void TQxCustomTreeListView::DrawItemText(TQxTreeItem* Item, bool Selected)
{
  Canvas()->Font()->Assign(Font());
  if (Selected && (Focused() || !HideSelection()) && !StyleServices()->Enabled() && Focused())
    Canvas()->Font()->SetColor(clHighlightText);
  TRect part = Item->PartRect(lipText);
  QxDrawText(Canvas(), Item->Caption(), part, Enabled(),
             Win::DT_VCENTER | Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS | Win::DT_NOPREFIX |
               DrawTextBiDiModeFlagsReadingOnly());
}

void TQxCustomTreeListView::DrawSubItem(TQxTreeItem* Item, Integer SubItem)
{
  TRect cell = GetSubItemRect(Item, SubItem, drBounds);
  Integer image = Item->SubItemImages(SubItem);
  if (SmallImages() && image >= 0) {
    SmallImages()->Draw(Canvas(), cell.Left + 2, cell.Top + 4, image, true);
    cell.Left += SmallImages()->Width() + 5;
  }
  cell = TRect(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2);
  Canvas()->Font()->Assign(Font());
  QxDrawText(Canvas(), Item->SubItems()->Strings(SubItem), cell, Enabled(),
             Win::DT_VCENTER | Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS | Win::DT_NOPREFIX |
               DrawTextBiDiModeFlagsReadingOnly());
}

// ---- the tree list: input ---------------------------------------------------------------------

void TQxCustomTreeListView::MouseAt(TPoint Point, Integer& Row, TListItemPart& Part)
{
  Row = ItemIndexAtPos(Point);
  Part = lipNone;
  if (TQxTreeItem* item = TreeItem(Row))
    Part = item->PartAtPos(Point);
  if (Part == lipNone)
    Row = -1;
}

void TQxCustomTreeListView::SetHover(Integer Row, TListItemPart Part)
{
  if (Row == FHoverItemIndex && Part == FHoverItemElem)
    return;
  FHoverItemIndex = Row;
  FHoverItemElem = Part;
  Invalidate();
}

void TQxCustomTreeListView::ResetMouse()
{
  FMouseItemIndex = -1;
  FMouseItemElem = lipNone;
}

// A press on a check box keeps the selection: the selected rows are held
// (and shown) while the list selects the pressed row, and come back on the
// click or whenever the press ends otherwise.
void TQxCustomTreeListView::HoldSelection()
{
  FMultiSelectSave = SelectedIndexes();
  FMultiFocusedSave = ItemFocused() ? ItemFocused()->Index() : -1;
  SetItemSelected(-1, false, false);
}

void TQxCustomTreeListView::RestoreHeldSelection()
{
  if (FMultiSelectSave.empty())
    return;
  SetItemSelected(-1, false, false);
  for (Integer row : FMultiSelectSave)
    SetItemSelected(row, true, row == FMultiFocusedSave);
  FMultiSelectSave.clear();
  FMultiFocusedSave = -1;
  Invalidate();
}

void TQxCustomTreeListView::LeftButtonDown(TPoint Point)
{
  Integer row;
  TListItemPart part;
  MouseAt(Point, row, part);
  if (row >= 0) {
    FMouseItemIndex = row;
    FMouseItemElem = part;
    Invalidate();
  }
  FMultiSelectSave.clear();
  FMultiFocusedSave = -1;
  if (FMouseItemElem == lipCheckBox && row >= 0 && SelCount() > 0)
    HoldSelection();
}

void TQxCustomTreeListView::Click()
{
  TPoint cursor;
  Win::GetCursorPos(&cursor);
  Integer row;
  TListItemPart part;
  MouseAt(ScreenToClient(cursor), row, part);
  RestoreHeldSelection();
  if (row >= 0 && row == FMouseItemIndex && part == FMouseItemElem) {
    TQxTreeItem* item = TreeItem(row);
    if (part == lipExpander) {
      item->SetExpanded(DoExpandItem(item->Data(), !item->Expanded()));
    } else if (part == lipCheckBox) {
      item->SetCheckState(DoCheckItem(item->Data(), GetNextCheckState(item->CheckState())));
      Invalidate();
    }
  }
  inherited::Click();
}

void TQxCustomTreeListView::DblClick()
{
  inherited::DblClick();
  TPoint cursor;
  Win::GetCursorPos(&cursor);
  TPoint point = ScreenToClient(cursor);
  TQxTreeItem* item = TreeItem(ItemIndexAtPos(point));
  if (!item)
    return;
  TListItemPart part = item->PartAtPos(point);
  if (part != lipExpander && part != lipCheckBox)
    item->SetExpanded(DoExpandItem(item->Data(), !item->Expanded()));
}

void TQxCustomTreeListView::KeyDown(Word& Key, TShiftState Shift)
{
  inherited::KeyDown(Key, Shift);
  if (Key != Win::VK_LEFT && Key != Win::VK_RIGHT)
    return;
  TListItem* row = ItemFocused() ? ItemFocused() : Selected();
  if (!row)
    return;
  auto* item = static_cast<TQxTreeItem*>(row);
  item->SetExpanded(DoExpandItem(item->Data(), Key == Win::VK_RIGHT));
  Invalidate();
  Key = 0;
}

void TQxCustomTreeListView::DoContextPopup(TPoint MousePos, bool& Handled)
{
  if (HeaderHeight() > 0 && Contains(HeaderRect(), MousePos)) {
    Handled = true;
    return;
  }
  inherited::DoContextPopup(MousePos, Handled);
}

// Only a change of selection or focus reaches the list's events, and none
// while a selection is held for a check-box click.
bool TQxCustomTreeListView::KeepsNotification(const TMessage& Message) const
{
  const auto* hdr = reinterpret_cast<const Win::NMHDR*>(Message.LParam);
  if (hdr->code != Win::LVN_ITEMCHANGING && hdr->code != Win::LVN_ITEMCHANGED)
    return true;
  const auto* nm = reinterpret_cast<const Win::NMLISTVIEW*>(hdr);
  bool stateChange = (nm->uChanged & Win::LVIF_STATE) &&
                     ((nm->uNewState ^ nm->uOldState) & (Win::LVIS_SELECTED | Win::LVIS_FOCUSED));
  return stateChange && FMultiSelectSave.empty();
}

void TQxCustomTreeListView::WndProc(TMessage& Message)
{
  if (Message.Msg != Win::WM_LBUTTONUP) {
    inherited::WndProc(Message);
    return;
  }
  FReleasing = true;
  try {
    inherited::WndProc(Message);
  } catch (...) {
    FReleasing = false;
    throw;
  }
  FReleasing = false;
}

void TQxCustomTreeListView::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case CN_NOTIFY:
    if (!KeepsNotification(Message)) {
      Message.Result = 0;
      return;
    }
    break;
  case Win::WM_LBUTTONDOWN:
  case Win::WM_LBUTTONDBLCLK:
    LeftButtonDown(MessagePos(Message));
    break;
  case Win::WM_MOUSEMOVE: {
    Integer row;
    TListItemPart part;
    MouseAt(MessagePos(Message), row, part);
    SetHover(row, part);
    break;
  }
  case Win::WM_LBUTTONUP:
    inherited::Dispatch(Message);
    RestoreHeldSelection();
    ResetMouse();
    Invalidate();
    return;
  case Win::WM_MOUSELEAVE:
    if (FHoverItemIndex >= 0 || FHoverItemElem != lipNone) {
      SetHover(-1, lipNone);
      ResetMouse();
    }
    break;
  case Win::WM_CAPTURECHANGED:
  case Win::WM_CANCELMODE:
    inherited::Dispatch(Message);
    // A release lets the capture go first; its click still needs the press.
    if (FReleasing)
      return;
    RestoreHeldSelection();
    ResetMouse();
    Invalidate();
    return;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

// ---- published ---------------------------------------------------------------------------

QX_PUBLISHED(TQxTreeListView)
{
  for (const char* name :
       {"Align", "Anchors", "Color", "Columns", "Constraints", "Enabled", "ParentFont", "Font", "ParentShowHint",
        "ShowHint", "PopupMenu", "TabOrder", "Visible", "MultiSelect", "HotTrack", "GridLines", "ShowColumnHeaders",
        "SmallImages", "DoubleBuffered", "OnClick", "OnContextPopup", "OnDblClick", "OnEnter", "OnExit", "OnKeyDown",
        "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnSelectItem", "OnChange",
        "OnChanging", "OnColumnClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnStartDrag", "OnMouseWheel"})
    Publish(name);
  Property("AutoScroll", &T::AutoScroll, &T::SetAutoScroll).Default(false);
  Publish("HideSelection").Default(false);
  Publish("Checkboxes").Default(false);
  Publish("ParentColor").Default(true);
  Publish("TabStop").Default(true);
  Event("OnTreeItemGet", &T::OnTreeItemGet);
  Event("OnTreeItemExpand", &T::OnTreeItemExpand);
  Event("OnTreeItemCheck", &T::OnTreeItemCheck);
}

} // namespace Quorex

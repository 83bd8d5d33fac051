// A tree of host objects shown as the rows of a multi-column report list:
// each row indented by depth, with an expander, an optional check box, an
// icon and a caption, then sub-item columns. The control keeps no tree: it
// asks the host to describe a node whenever it needs one (OnTreeItemGet),
// remembers only which paths of child indexes are visible, and lets the
// host decide expansion and check states (OnTreeItemExpand,
// OnTreeItemCheck). It stands on the platform list view in owner-data,
// owner-draw mode.
#pragma once

#include "Quorex.Vcl.Types.hpp"

#include <System.TypInfo.hpp>
#include <Vcl.ComCtrls.hpp>
#include <Vcl.StdCtrls.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace Quorex {

using Vcl::Integer;
using Vcl::String;
using Vcl::TCheckBoxState;
using Vcl::TObject;
using Vcl::TPoint;
using Vcl::TRect;

// The parts of a row, in hit-test order after lipNone.
enum TListItemPart { lipNone, lipExpander, lipCheckBox, lipIcon, lipText };

class TQxCustomTreeListView;
class TQxTreeItemInfo;

using TQxTreeItemGetEvent = std::function<void(TObject* ASender, TObject* ADataObject, TQxTreeItemInfo* AItem)>;
using TQxTreeItemExpandEvent = std::function<void(TObject* ASender, TObject* ADataObject, bool& AExpanded)>;
using TQxTreeItemCheckEvent =
  std::function<void(TObject* ASender, TObject* ADataObject, TCheckBoxState& ACheckState)>;

// The description of one node: made by the control, filled by the host in
// OnTreeItemGet, dropped by the control right after use.
class TQxTreeItemInfo : public TObject {
  QX_CLASS(TQxTreeItemInfo, TObject)
public:
  // More sub-item images than this is no column layout but a wild index.
  static constexpr Integer MaxSubImages = 4096;

  TQxTreeItemInfo(TQxCustomTreeListView* ATreeList, TObject* AData);
  ~TQxTreeItemInfo() override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value)
  {
    FFilled = true;
    FCaption = Value;
  }
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value) { FExpanded = Value; }
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value)
  {
    FFilled = true;
    FImageIndex = Value;
  }
  Integer Deep() const { return FDeep; }
  void SetDeep(Integer Value)
  {
    FFilled = true;
    FDeep = Value;
  }
  TCheckBoxState CheckState() const { return FCheckState; }
  void SetCheckState(TCheckBoxState Value)
  {
    FFilled = true;
    FCheckState = Value;
  }
  bool Checked() const { return FCheckState == Vcl::cbChecked; }
  void SetChecked(bool Value) { SetCheckState(Value ? Vcl::cbChecked : Vcl::cbUnchecked); }
  TObject* Data() const { return FData; }
  Vcl::TStrings* Subitems() const { return FSubItems.get(); }
  // True when the control only walks the tree through this node (mapping
  // the visible rows, or passing a row's ancestors on the way to it): it
  // then reads the children and Expanded and nothing else, so a host may
  // leave the caption, states, images and sub-items unfilled.
  bool NodesOnly() const { return FNodesOnly; }

  // The children, as the host's data objects in display order.
  void AddNode(TObject* DataObject) { FList.push_back(DataObject); }
  void ClearNodes() { FList.clear(); }
  Integer Count() const { return Integer(FList.size()); }
  TObject* Node(Integer Index) const { return FList.at(size_t(Index)); }
  // The child's description, asked of the control (nullptr without a host).
  std::unique_ptr<TQxTreeItemInfo> Items(Integer Index) const;
  // -1 where no image was set; writes at negative or wild indexes are
  // ignored, others grow the array with zeros.
  Integer SubImageIndex(Integer Index) const;
  void SetSubImageIndex(Integer Index, Integer Value);

private:
  friend class TQxCustomTreeListView;
  // Back to the state of a new description of another node, keeping the
  // memory its lists had.
  void Reuse(TObject* AData, bool ANodesOnly);
  void ClearFilled();

  TQxCustomTreeListView* FTreeList;
  std::vector<TObject*> FList;
  String FCaption;
  TCheckBoxState FCheckState = Vcl::cbUnchecked;
  Integer FDeep = 0;
  bool FExpanded = false;
  std::unique_ptr<Vcl::TStrings> FSubItems;
  Integer FImageIndex = -1;
  std::vector<Integer> FSubImages;
  TObject* FData;
  bool FNodesOnly = false;
  // Set by every setter of what a walk does not read, so a walk whose host
  // fills only the children empties no more than it must.
  bool FFilled = false;
};

// A list item that knows where its parts lie.
class TQxListItem : public Vcl::TListItem {
  QX_CLASS(TQxListItem, Vcl::TListItem)
public:
  using Vcl::TListItem::TListItem;
  virtual TRect PartRect(TListItemPart Part) const = 0;
  virtual TCheckBoxState GetCheckState() const = 0;
};

class TQxTreeItem : public TQxListItem {
  QX_CLASS(TQxTreeItem, TQxListItem)
public:
  using TQxListItem::TQxListItem;
  void Reset() override;
  TRect PartRect(TListItemPart Part) const override;
  TCheckBoxState GetCheckState() const override { return FCheckState; }
  TListItemPart PartAtPos(TPoint Point) const;

  TCheckBoxState CheckState() const { return FCheckState; }
  void SetCheckState(TCheckBoxState Value) { FCheckState = Value; }
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value) { FExpanded = Value; }
  Integer Deep() const { return FDeep; }
  void SetDeep(Integer Value) { FDeep = Value; }
  Integer NodeCount() const { return FNodeCount; }
  void SetNodeCount(Integer Value) { FNodeCount = Value; }

private:
  TCheckBoxState FCheckState = Vcl::cbUnchecked;
  bool FExpanded = false;
  Integer FDeep = 0;
  Integer FNodeCount = 0;
};

// The report list with column fitting and check-box plumbing.
class TQxCustomListView : public Vcl::TCustomListView {
  QX_CLASS(TQxCustomListView, Vcl::TCustomListView)
public:
  using Vcl::TCustomListView::TCustomListView;

  // Widens or narrows a column to its widest row (report style only).
  void SizeColumnToFit(Integer Column);
  virtual Integer GetItemWidth(Vcl::TListItem* Item, Integer Column);
  // SubItem counts from 0 for the first column after the caption.
  TRect GetSubItemRect(Vcl::TListItem* Item, Integer SubItem, Vcl::TDisplayCode Code);

protected:
  void ColumnDividerDblClick(Integer Index) override;
  void CNNotify(Vcl::TMessage& Message) override;
};

class TQxCustomTreeListView : public TQxCustomListView {
  QX_CLASS(TQxCustomTreeListView, TQxCustomListView)
public:
  // The visible rows: one path of child indexes per row, in pre-order of the
  // expanded part of the host's tree. A row keeps its parent row and its
  // index among the parent's children, so deep trees cost a row each.
  class TTreeMap {
  public:
    explicit TTreeMap(TQxCustomTreeListView* ATreeList) : FTreeList(ATreeList) {}
    // Asks the host once for every visible node; a node that is already
    // among its own ancestors (a cyclic host graph) is left out.
    void Update();
    Integer Count() const { return Integer(FList.size()); }
    std::vector<Integer> Path(Integer Row) const;
    // The row's node, or the deepest node of its path that still exists;
    // nullptr past the end or when not even the first step exists.
    std::unique_ptr<TQxTreeItemInfo> ItemByIndex(Integer Row) const;
    std::unique_ptr<TQxTreeItemInfo> FindItem(const std::vector<Integer>& Path) const;

  private:
    using TInfoPtr = std::unique_ptr<TQxTreeItemInfo>;

    struct TRow {
      Integer Parent; // row of the parent, -1 for a top-level node
      Integer Index;  // among the parent's children
    };
    std::vector<TRow> FList;
    TQxCustomTreeListView* FTreeList;
  };

  explicit TQxCustomTreeListView(Vcl::TComponent* AOwner);
  ~TQxCustomTreeListView() override;

  // nullptr without OnTreeItemGet; the root is asked for with no data object.
  std::unique_ptr<TQxTreeItemInfo> RequestItem(TObject* DataObject) { return RequestItem(DataObject, false); }
  // Rebuilds the rows after the host's data changed.
  void UpdateVisibleCount();
  bool DoExpandItem(TObject* DataObject, bool Expanded);
  TCheckBoxState DoCheckItem(TObject* DataObject, TCheckBoxState State);
  static TCheckBoxState GetNextCheckState(TCheckBoxState State);
  Integer ItemIndexAtPos(TPoint Point);
  // Index -1 sets every row.
  void SetItemSelected(Integer Index, bool Selected, bool Focused);
  TRect GetSelectionRect(Vcl::TListItem* Item);
  const TTreeMap& Map() const { return *FMap; }
  // The row as the list fills it (nullptr past the end); valid until the
  // next row is asked for.
  TQxTreeItem* TreeItem(Integer Row);

  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value) { FAutoScroll = Value; }

  TQxTreeItemGetEvent OnTreeItemGet;
  TQxTreeItemExpandEvent OnTreeItemExpand;
  TQxTreeItemCheckEvent OnTreeItemCheck;

  void WndProc(Vcl::TMessage& Message) override;
  void Dispatch(Vcl::TMessage& Message) override;

protected:
  std::unique_ptr<Vcl::TListItem> CreateListItem() override;
  bool OwnerDataFetch(Vcl::TListItem* Item, Vcl::TItemRequest Request) override;
  void MeasureItem(Integer& Height) override;
  void DrawItem(Vcl::TListItem* Item, TRect Rect, Vcl::TOwnerDrawState State) override;
  void KeyDown(Vcl::Word& Key, Vcl::TShiftState Shift) override;
  void Click() override;
  void DblClick() override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;

private:
  std::unique_ptr<TQxTreeItemInfo> RequestItem(TObject* DataObject, bool NodesOnly);
  void DrawSelection(Integer Row, const TRect& Rect, bool Selected);
  void DrawItemExpander(TQxTreeItem* Item, Integer Row);
  void DrawItemCheckbox(TQxTreeItem* Item, Integer Row);
  void DrawItemIcon(TQxTreeItem* Item);
  void DrawItemText(TQxTreeItem* Item, bool Selected);
  void DrawSubItem(TQxTreeItem* Item, Integer SubItem);
  bool RowSelected(Integer Row, Vcl::TOwnerDrawState State) const;
  void MouseAt(TPoint Point, Integer& Row, TListItemPart& Part);
  void LeftButtonDown(TPoint Point);
  void HoldSelection();
  void RestoreHeldSelection();
  void ResetMouse();
  void SetHover(Integer Row, TListItemPart Part);
  bool KeepsNotification(const Vcl::TMessage& Message) const;

  Integer FHoverItemIndex = -1;
  TListItemPart FHoverItemElem = lipNone;
  Integer FMouseItemIndex = -1;
  TListItemPart FMouseItemElem = lipNone;
  std::vector<Integer> FMultiSelectSave;
  Integer FMultiFocusedSave = -1;
  std::unique_ptr<TTreeMap> FMap;
  bool FAutoScroll = false;
  bool FReleasing = false;
};

class TQxTreeListView : public TQxCustomTreeListView {
  QX_CLASS(TQxTreeListView, TQxCustomTreeListView)
public:
  using TQxCustomTreeListView::TQxCustomTreeListView;
};

} // namespace Quorex

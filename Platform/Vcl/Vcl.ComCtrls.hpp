// The framework's report list view: columns under a header strip, items
// with sub-items (kept by the list, or supplied on demand by the host in
// owner-data mode with only a count), selection and focus with
// multi-select, owner drawing with a measured row height, custom-draw
// stages, scrolling by rows with the window's scroll bars, hit testing and
// the keyboard. State changes go out as LVN_ITEMCHANGING/LVN_ITEMCHANGED
// notifications, and the header control's HDN_ notifications are passed on;
// both reach the control itself as CN_NOTIFY, so a descendant can filter
// them on the message layer. With Checkboxes each item has a check box (its
// state image: 1 unchecked, 2 checked) that a click on it or Space on the
// focused item toggles, as a state change like any other; in owner-data
// mode the host handles such clicks itself.
#pragma once

#include <Vcl.Controls.hpp>
#include <Vcl.ImgList.hpp>
#include <Win.ScrollBars.hpp>
#include <Winapi.CommCtrl.ListView.hpp>

#include <memory>
#include <set>
#include <vector>

namespace Vcl {

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using enum TViewStyle;
QX_ENUM_NAMES(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)
enum class TItemChange { ctText, ctImage, ctState };
using enum TItemChange;
enum class TItemRequestItem { irText, irImage, irParam, irState, irIndent };
using enum TItemRequestItem;
using TItemRequest = TSet<TItemRequestItem>;
enum class TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
using enum TDisplayCode;
enum class TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
using enum TCustomDrawStage;
enum class TCustomDrawStateItem { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot };
using enum TCustomDrawStateItem;
using TCustomDrawState = TSet<TCustomDrawStateItem>;
enum class THitTest { htAbove, htBelow, htNowhere, htOnItem, htOnIcon, htOnLabel, htOnRight, htOnStateIcon, htToLeft,
                      htToRight };
using enum THitTest;
using THitTests = TSet<THitTest>;
enum class TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odHotLight };
using enum TOwnerDrawStateItem;
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

class TCustomListView;
class TListItems;

// ---- columns -----------------------------------------------------------------------------
class TListColumn : public TCollectionItem {
  QX_CLASS(TListColumn, TCollectionItem)
public:
  explicit TListColumn(TCollection* Collection);
  void Assign(const TPersistent* Source) override;
  String DisplayName() const override { return FCaption; }

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

private:
  String FCaption;
  Integer FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
};

class TListColumns : public TCollection {
  QX_CLASS(TListColumns, TCollection)
public:
  explicit TListColumns(TCustomListView* AOwner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(Integer Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
  TListColumn* operator[](Integer Index) const { return Items(Index); }
  TPersistent* GetOwner() const override;
  TCustomListView* Owner() const { return FOwner; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomListView* FOwner;
};

// ---- items --------------------------------------------------------------------------------
// An item's texts and images. Its selection and focus live in the list (so
// that owner data with millions of rows keeps them without items); the
// item reads and writes them there through its index.
class TListItem : public TPersistent {
  QX_CLASS(TListItem, TPersistent)
public:
  explicit TListItem(TListItems* AOwner);
  ~TListItem() override;
  // Owner-data items are one scratch item filled afresh for every index.
  virtual void Reset();

  TListItems* Owner() const { return FOwner; }
  TCustomListView* ListView() const;
  Integer Index() const { return FIndex; }

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  TStrings* SubItems() const { return FSubItems.get(); }
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  Integer StateIndex() const { return FStateIndex; }
  void SetStateIndex(Integer Value);
  // -1 for a sub-item without an image (and for any index out of range).
  Integer SubItemImages(Integer Index) const;
  void SetSubItemImages(Integer Index, Integer Value);
  TObject* Data() const { return FData; }
  void SetData(TObject* Value) { FData = Value; }

  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const;
  void SetFocused(bool Value);
  bool Checked() const;
  void SetChecked(bool Value);
  TRect DisplayRect(TDisplayCode Code) const;
  void MakeVisible(bool PartialOK);

private:
  friend class TListItems;
  friend class TCustomListView;
  void Changed();
  TListItems* FOwner;
  Integer FIndex = -1;
  String FCaption;
  std::unique_ptr<TStrings> FSubItems;
  std::vector<Integer> FSubItemImages;
  Integer FImageIndex = -1;
  Integer FStateIndex = -1;
  TObject* FData = nullptr;
};

// The list's items. In owner-data mode only Count is kept and Item(Index)
// answers one scratch item that the host fills for that index (OnData);
// it is valid until the next Item call.
class TListItems : public TPersistent {
  QX_CLASS(TListItems, TPersistent)
public:
  explicit TListItems(TCustomListView* AOwner);
  ~TListItems() override;

  TCustomListView* Owner() const { return FOwner; }
  Integer Count() const;
  void SetCount(Integer Value);
  TListItem* Add();
  TListItem* Insert(Integer Index);
  void Delete(Integer Index);
  void Clear();
  // nullptr for an index out of range.
  TListItem* Item(Integer Index);
  TListItem* operator[](Integer Index) { return Item(Index); }
  void BeginUpdate();
  void EndUpdate();

private:
  friend class TCustomListView;
  void Renumber(Integer From);
  TCustomListView* FOwner;
  std::vector<std::unique_ptr<TListItem>> FItems;
  std::unique_ptr<TListItem> FTempItem; // made on first use, by the list's own class
  Integer FUpdateCount = 0;
};

using TLVDataEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVDrawItemEvent = std::function<void(TCustomListView* Sender, TListItem* Item, TRect Rect, TOwnerDrawState State)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent =
  std::function<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
using TLVCheckedItemEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVCustomDrawEvent = std::function<void(TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawItemEvent = std::function<void(TCustomListView* Sender, TListItem* Item, TCustomDrawState State,
                                                          TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawSubItemEvent =
  std::function<void(TCustomListView* Sender, TListItem* Item, Integer SubItem, TCustomDrawState State,
                     TCustomDrawStage Stage, bool& DefaultDraw)>;

// ---- the list view -------------------------------------------------------------------------
class TCustomListView : public TCustomControl {
  QX_CLASS(TCustomListView, TCustomControl)
public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListColumns* Columns() const { return FColumns.get(); }
  void SetColumns(const TListColumns* Value) { FColumns->Assign(Value); }
  TListItems* Items() const { return FItems.get(); }

  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle Value);
  bool OwnerData() const { return FOwnerData; }
  void SetOwnerData(bool Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool GridLines() const { return FGridLines; }
  void SetGridLines(bool Value);
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool Value);
  virtual bool Checkboxes() const { return FCheckboxes; }
  virtual void SetCheckboxes(bool Value);
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);

  // Selection and focus: the first selected item (or nullptr) and the
  // focused one; -1 clears.
  Integer SelCount() const { return Integer(FSelected.size()); }
  // The selected indexes in order.
  std::vector<Integer> SelectedIndexes() const { return {FSelected.begin(), FSelected.end()}; }
  TListItem* Selected();
  void SetSelected(TListItem* Value);
  Integer ItemIndex() const;
  void SetItemIndex(Integer Value);
  TListItem* ItemFocused();
  void SetItemFocused(TListItem* Value);
  void ClearSelection();
  void SelectAll();
  // The raw states of an index (LVIS_ flags); -1 for Index sets every item.
  // Each change goes out as LVN_ITEMCHANGING (which may veto it) and
  // LVN_ITEMCHANGED.
  Win::UINT GetItemState(Integer Index, Win::UINT Mask) const;
  void SetItemState(Integer Index, Win::UINT State, Win::UINT Mask);
  // The count in owner-data mode with LVSICF_ flags: NOSCROLL keeps the top
  // row, NOINVALIDATEALL repaints only when the visible rows change.
  void SetItemCountEx(Integer Count, Win::DWORD Flags);

  // Geometry in client coordinates.
  Integer RowHeight();
  Integer HeaderHeight();
  TRect HeaderRect();
  // The header control's window (nullptr before the list has its own).
  Win::HWND HeaderHandle() const { return FHeader; }
  TRect ItemRect(Integer Index, TDisplayCode Code);
  // Column is 1-based here: 0 is the whole row, n the cell of column n - 1.
  TRect SubItemRect(Integer Index, Integer Column, TDisplayCode Code);
  Integer IndexAt(TPoint Point);
  TListItem* GetItemAt(Integer X, Integer Y);
  THitTests GetHitTestInfoAt(Integer X, Integer Y);
  TListItem* TopItem();
  Integer TopIndex() const { return FTopIndex; }
  Integer VisibleRowCount();
  void Scroll(Integer DX, Integer DY);
  void ScrollTo(Integer TopIndex, Integer Left);
  Integer ScrollLeft() const { return FScrollX; }
  void EnsureVisible(Integer Index);
  // Repaints the rows of an index range (inclusive).
  void UpdateItems(Integer FirstIndex, Integer LastIndex);

  TLVDataEvent OnData;
  TLVDrawItemEvent OnDrawItem;
  TLVSelectItemEvent OnSelectItem;
  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVCheckedItemEvent OnItemChecked;
  TLVColumnClickEvent OnColumnClick;
  TLVCustomDrawEvent OnCustomDraw;
  TLVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
  TLVAdvancedCustomDrawSubItemEvent OnAdvancedCustomDrawSubItem;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void FontChanged() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void Resize() override;

  // The item class the list makes (descendants return their own).
  virtual std::unique_ptr<TListItem> CreateListItem();
  // The host's data for an owner-data item (OnData); false when nobody
  // answers.
  virtual bool OwnerDataFetch(TListItem* Item, TItemRequest Request);
  // The row height asked of an owner-drawn list; Height comes proposed.
  virtual void MeasureItem(Integer& Height) { (void)Height; }
  // An owner-drawn row: OnDrawItem, or nothing.
  virtual void DrawItem(TListItem* Item, TRect Rect, TOwnerDrawState State);
  // A custom-draw stage of a row: OnAdvancedCustomDrawItem. Answers whether
  // the list's own drawing is to follow (at cdPrePaint).
  virtual bool CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage);
  // CN_NOTIFY from the list and the header: raises the item and column
  // events. Descendants filter by overriding Dispatch.
  virtual void CNNotify(TMessage& Message);
  void HeaderNotify(const Win::NMHEADER& Note);
  // A double click on the divider right of column Index (default: nothing
  // in owner data, the widest text otherwise).
  virtual void ColumnDividerDblClick(Integer Index);
  // The list's own reaction to a press, before the mouse events: focus, and
  // selection by Shift and Ctrl.
  void ListMouseDown(TMessage& Message);

private:
  friend class TListItems;
  friend class TListItem;
  friend class TListColumns;
  void ColumnsChanged();
  void CountChanged(Integer OldCount, Win::DWORD Flags);
  void InsertState(Integer Index);
  void DeleteState(Integer Index);
  void ReindexSelection();
  bool ChangeState(Integer Index, Win::UINT State, Win::UINT Mask);
  Win::LRESULT Notify(Win::UINT Code, Integer Index, Win::UINT NewState, Win::UINT OldState);
  void SelectRange(Integer From, Integer To, bool Only);
  // The list's own check boxes: not in owner-data mode, where the host has
  // the states.
  bool OwnsCheckboxes() const { return FCheckboxes && !FOwnerData; }
  void ToggleChecked(Integer Index);
  // The strip left of the icon for the state image or the check box.
  Integer StateIconWidth();
  void PaintStateIcon(TListItem* Item, const TRect& Icon);
  void MoveFocus(Integer Index, TShiftState Shift);
  // The font's line height, measured without needing the window.
  Integer TextHeight();
  Integer ColumnLeft(Integer Column) const;
  Integer ColumnsWidth() const;
  Integer ContentHeight();
  Integer MaxTopIndex();
  Integer MaxScrollLeft();
  void SyncHeader();
  void LayoutHeader();
  void UpdateScrollBars();
  void WMScroll(TMessage& Message, int Bar);
  void SetHotIndex(Integer Index);
  TOwnerDrawState OwnerDrawStateOf(Integer Index);
  void PaintRow(Integer Index);
  void PaintDefaultRow(TListItem* Item, TCustomDrawState State);
  void ImagesChanged(TObject* Sender);

  std::unique_ptr<TListColumns> FColumns;
  std::unique_ptr<TListItems> FItems;
  // Per index: LVIS_FOCUSED | LVIS_SELECTED and the state image; the
  // selected ones also in order, so that moving a selection costs the
  // selected rows, not the list.
  std::vector<std::uint16_t> FStates;
  std::set<Integer> FSelected;
  Integer FOwnerCount = 0;
  Integer FFocusIndex = -1;
  Integer FAnchorIndex = -1;
  Integer FHotIndex = -1;
  Integer FTopIndex = 0;
  Integer FScrollX = 0;
  Integer FRowHeight = 0; // 0: to be measured
  Integer FTextHeight = 0; // 0: to be measured
  Win::HWND FHeader = nullptr;
  bool FHeaderStale = true;  // columns changed since the header was filled
  bool FSyncingHeader = false;
  bool FUpdatingScrollBars = false;
  TViewStyle FViewStyle = vsIcon;
  bool FOwnerData = false;
  bool FOwnerDraw = false;
  bool FMultiSelect = false;
  bool FRowSelect = false;
  bool FReadOnly = false;
  bool FHideSelection = true;
  bool FHotTrack = false;
  bool FGridLines = false;
  bool FShowColumnHeaders = true;
  bool FCheckboxes = false;
  TCustomImageList* FSmallImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
};

class TListView : public TCustomListView {
  QX_CLASS(TListView, TCustomListView)
public:
  using TCustomListView::TCustomListView;
};

} // namespace Vcl

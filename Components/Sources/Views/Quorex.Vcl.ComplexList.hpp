// A vertically scrolling list of host-drawn rows. For each row and state
// the host lends a windowed control (an editor): rows in the normal and hot
// states are painted as pictures of it, the selected row shows it live.
// Rows may differ in height, scroll by pixels and reorder by dragging.
#pragma once

#include <Vcl.Controls.hpp>
#include <Vcl.Forms.ScrollBars.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace Quorex {

enum class TComplexListItemState { isNormal, isHot, isSelected };
using enum TComplexListItemState;

class TCustomComplexList;

// A host's interface on its data, compared by identity.
using TComplexItemInterface = std::shared_ptr<void>;

class TComplexItem : public Vcl::TObject {
  QX_CLASS(TComplexItem, Vcl::TObject)
public:
  explicit TComplexItem(TCustomComplexList* AList) : FList(AList) {}
  TCustomComplexList* List() const { return FList; }
  Vcl::TObject* Data() const { return FData; }
  void SetData(Vcl::TObject* Value) { FData = Value; }
  const TComplexItemInterface& DataIntf() const { return FDataIntf; }
  void SetDataIntf(TComplexItemInterface Value) { FDataIntf = std::move(Value); }
  Vcl::Integer Index() const;
  // Moves the item; indexes out of range go to the nearest end.
  void SetIndex(Vcl::Integer Value);
  bool Selected() const;
  void SetSelected(bool Value);
  // Measures the row again and repaints it.
  void Update();

private:
  friend class TCustomComplexList;
  TCustomComplexList* FList;
  Vcl::TObject* FData = nullptr;
  Vcl::Integer FOldHeight = 0;
  Vcl::Integer FOldTop = 0;
  TComplexItemInterface FDataIntf;
};

// One scroll bar of a window, driven by its control: the range and page go
// to the window's bar, the messages of the bar come back as positions.
class TControlScrollBar : public Vcl::TObject {
  QX_CLASS(TControlScrollBar, Vcl::TObject)
public:
  TControlScrollBar(Vcl::TWinControl* AControl, Vcl::TScrollBarKind AKind);
  Vcl::TScrollBarKind Kind() const { return FKind; }
  Vcl::Integer Min() const { return FMin; }
  Vcl::Integer Max() const { return FMax; }
  Vcl::Integer Position() const { return FPos; }
  Vcl::Integer PageSize() const { return FPageSize; }
  Vcl::Integer LineSize() const { return FLineSize; }
  void SetLineSize(Vcl::Integer Value) { FLineSize = Value; }
  // Range and page, written to the window's bar when they changed.
  void SetParams(Vcl::Integer AMin, Vcl::Integer AMax, Vcl::Integer APageSize);
  // Holds the position in [Min, Max - PageSize + 1], writes it to the bar
  // and reports it.
  void DoScroll(Vcl::Integer NewPos);
  // WM_VSCROLL / WM_HSCROLL of the control's own bar; true when handled.
  bool ScrollMessage(Vcl::TMessage& Message);
  Vcl::TNotifyEvent OnChangePosition;

private:
  Vcl::Integer ClampedPos(Vcl::Integer Pos) const;
  Vcl::TWinControl* FControl;
  Vcl::TScrollBarKind FKind;
  int FNativeKind;
  Vcl::Integer FMax = 0, FMin = 0, FPos = 0, FPageSize = 1, FLineSize = 1;
  Win::HWND FWrittenTo = nullptr; // the window the range last went to
};

using TOnGetEditor = std::function<Vcl::TWinControl*(TComplexItem* AItem, TComplexListItemState AState)>;
using TOnCloseEditor = std::function<void(TComplexItem* AItem, Vcl::TWinControl* AEditor)>;
using TOnGetItemHeight = std::function<Vcl::Integer(TComplexItem* AItem, TComplexListItemState AState)>;
using TOnMoveItem = std::function<void(TComplexItem* AItem, Vcl::Integer ANewIndex)>;
// Negative when A goes before B, positive after, 0 when equal.
using TComplexItemComparison = std::function<int(const TComplexItem* A, const TComplexItem* B)>;

class TBaseComplexList : public Vcl::TCustomControl {
  QX_CLASS(TBaseComplexList, Vcl::TCustomControl)
public:
  using TCustomControl::TCustomControl;
};

class TCustomComplexList : public TBaseComplexList {
  QX_CLASS(TCustomComplexList, TBaseComplexList)
public:
  static constexpr Vcl::Integer StdItemHeight = 24;
  static constexpr Vcl::Integer WheelStep = 24;

  explicit TCustomComplexList(Vcl::TComponent* AOwner);
  ~TCustomComplexList() override;

  TComplexItem* Add(Vcl::TObject* Data);
  TComplexItem* Add(TComplexItemInterface DataIntf);
  TComplexItem* Insert(Vcl::Integer Index);
  void Delete(Vcl::Integer Index);
  void Remove(TComplexItem* Item);
  void Clear();
  TComplexItem* Find(const Vcl::TObject* Data) const;
  TComplexItem* Find(const TComplexItemInterface& DataIntf) const;
  void Sort(const TComplexItemComparison& Comparer);
  void BeginUpdate();
  void EndUpdate();
  Vcl::Integer Count() const { return Vcl::Integer(FList.size()); }
  TComplexItem* Items(Vcl::Integer Index) const;
  Vcl::Integer ItemIndex() const;
  void SetItemIndex(Vcl::Integer Value);
  TComplexItem* SelectedItem() const { return FSelItem; }
  void SetSelectedItem(TComplexItem* Value);
  // Marks the item a drag (started by the host) carries.
  void StartMoveItem(TComplexItem* Item);
  TComplexItem* MovingItem() const { return FMovingItem; }
  bool CanFocus() const override { return true; }

  // Geometry, in client coordinates.
  Vcl::TRect ItemRect(const TComplexItem* Item) const;
  TComplexItem* ItemByPos(Vcl::TPoint Pos) const;
  Vcl::Integer TopPos() const { return FTopPos; }
  // The first row reaching below the top of the view; Count past the end.
  Vcl::Integer GetTopItem() const;
  Vcl::Integer AllItemHeight() const;
  TControlScrollBar* VScrollBar() const { return FVScrollBar.get(); }
  Vcl::TWinControl* SelectEditor() const { return FSelectEditor; }
  Vcl::TRect ClientRect() const override;
  void Dispatch(Vcl::TMessage& Message) override;

  TOnGetEditor OnGetEditor;
  TOnCloseEditor OnCloseEditor;
  TOnGetItemHeight OnGetItemHeight;
  Vcl::TNotifyEvent OnScrollList;
  Vcl::TNotifyEvent OnSelectItem;
  TOnMoveItem OnMoveItem;

protected:
  void CreateParams(Vcl::TCreateParams& Params) override;
  void Paint() override;
  void Resize() override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;
  void MouseDown(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Vcl::Integer X, Vcl::Integer Y) override;
  void MouseMove(Vcl::TShiftState Shift, Vcl::Integer X, Vcl::Integer Y) override;
  bool DoMouseWheelDown(Vcl::TShiftState Shift, Vcl::TPoint MousePos) override;
  bool DoMouseWheelUp(Vcl::TShiftState Shift, Vcl::TPoint MousePos) override;

private:
  friend class TComplexItem;
  TComplexItem* Append(std::unique_ptr<TComplexItem> Item, Vcl::Integer Index);
  bool ValidIndex(Vcl::Integer Index) const { return Index >= 0 && Index < Count(); }
  Vcl::Integer IndexOf(const TComplexItem* Item) const;
  TComplexListItemState GetItemState(const TComplexItem* Item) const;
  Vcl::Integer RequestItemHeight(TComplexItem* Item) const;
  void RecalcBounds(Vcl::Integer From);
  bool IsVisible(const Vcl::TRect& R) const;
  void UpdateScrollBars();
  void PositionChanged(Vcl::TObject* Sender);
  void ProcessBoundChanges(TComplexItem* Item, Vcl::Integer NewHeight);
  void DoUpdateItem(TComplexItem* Item);
  void DoUpdateAll();
  void DoSelectItem(TComplexItem* Item);
  void InnerSetSelectItem(TComplexItem* Item);
  void CloseEditor(TComplexItem* Item, Vcl::TWinControl* Editor);
  void CloseSelectedEditor();
  void SetHotItem(Vcl::Integer Index);
  void MoveItem(TComplexItem* Item, Vcl::Integer NewIndex);
  // What every change of the list's order or membership resets.
  void ListChanged();
  void Forget(TComplexItem* Item);
  void DrawItems();
  void DrawItem(TComplexItem* Item, const Vcl::TRect& R);
  void DrawPicture(TComplexItem* Item, TComplexListItemState State, const Vcl::TRect& R);
  void DrawSelected(TComplexItem* Item, const Vcl::TRect& R);
  void DrawDragLine(const Vcl::TRect& R);
  void DragMessage(Vcl::TMessage& Message);

public:
  // The drop line for a target row's rectangle, above or below it by the
  // way the moved item goes.
  Vcl::TRect GetDragLineRect(const Vcl::TRect& R) const;

private:
  Vcl::Integer FTopPos = 0;
  Vcl::Integer FTopItem = 0;
  Vcl::Integer FHotItem = -1;
  TComplexItem* FSelItem = nullptr;
  Vcl::TWinControl* FSelectEditor = nullptr;
  std::vector<std::unique_ptr<TComplexItem>> FList;
  Vcl::Integer FLeftMargin = 1, FTopMargin = 1, FRightMargin = 1;
  std::unique_ptr<TControlScrollBar> FVScrollBar;
  Vcl::Integer FUpdateCount = 0;
  TComplexItem* FMovingItem = nullptr;
  Vcl::Integer FDragInsertIndex = -1;
};

class TQxComplexList : public TCustomComplexList {
  QX_CLASS(TQxComplexList, TCustomComplexList)
public:
  using TCustomComplexList::TCustomComplexList;
};

} // namespace Quorex

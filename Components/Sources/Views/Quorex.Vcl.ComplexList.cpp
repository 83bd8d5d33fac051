#include "Quorex.Vcl.ComplexList.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.SysUtils.hpp>
#include <Vcl.Controls.Drag.hpp>
#include <Win.ScrollBars.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

namespace {
constexpr TColor kDragLineColor = TColor(0x00808080);
constexpr Integer kDragLineInset = 5;
} // namespace

// ---- TComplexItem -------------------------------------------------------------------------

Integer TComplexItem::Index() const
{
  return FList->IndexOf(this);
}

void TComplexItem::SetIndex(Integer Value)
{
  FList->MoveItem(this, Value);
}

bool TComplexItem::Selected() const
{
  return FList->FSelItem == this;
}

void TComplexItem::SetSelected(bool Value)
{
  if (Value)
    FList->DoSelectItem(this);
  else if (Selected())
    FList->DoSelectItem(nullptr);
}

void TComplexItem::Update()
{
  FList->DoUpdateItem(this);
}

// ---- making and unmaking ------------------------------------------------------------------

TCustomComplexList::TCustomComplexList(TComponent* AOwner)
  : TBaseComplexList(AOwner), FVScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical))
{
  SetBounds(Left(), Top(), 200, 150);
  SetDoubleBuffered(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetTabStop(false);
  FVScrollBar->SetLineSize(10);
  FVScrollBar->OnChangePosition = [this](TObject* Sender) { PositionChanged(Sender); };
}

TCustomComplexList::~TCustomComplexList()
{
  // The live editor is the host's: it leaves before the children go.
  if (FSelectEditor) {
    FSelectEditor->RemoveFreeNotification(this);
    FSelectEditor->Hide();
    FSelectEditor->SetParent(nullptr);
    FSelectEditor = nullptr;
  }
}

void TCustomComplexList::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style |= Win::WS_CLIPCHILDREN | Win::WS_VSCROLL;
}

TRect TCustomComplexList::ClientRect() const
{
  if (!HandleAllocated())
    return inherited::ClientRect();
  Win::RECT r;
  Win::GetClientRect(const_cast<TCustomComplexList*>(this)->Handle(), &r);
  return r;
}

void TCustomComplexList::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSelectEditor)
    FSelectEditor = nullptr;
}

// ---- the items ----------------------------------------------------------------------------

TComplexItem* TCustomComplexList::Append(std::unique_ptr<TComplexItem> Item, Integer Index)
{
  Index = std::clamp(Index, 0, Count());
  // Starts where the row before it ends, so the tops stay in order even
  // before it is measured.
  Item->FOldTop = Index == 0 ? FTopMargin : FList[size_t(Index - 1)]->FOldTop + FList[size_t(Index - 1)]->FOldHeight;
  TComplexItem* added = Item.get();
  FList.insert(FList.begin() + Index, std::move(Item));
  ListChanged();
  DoUpdateItem(added);
  return added;
}

TComplexItem* TCustomComplexList::Add(TObject* Data)
{
  auto item = std::make_unique<TComplexItem>(this);
  item->FData = Data;
  return Append(std::move(item), Count());
}

TComplexItem* TCustomComplexList::Add(TComplexItemInterface DataIntf)
{
  auto item = std::make_unique<TComplexItem>(this);
  item->FDataIntf = std::move(DataIntf);
  return Append(std::move(item), Count());
}

TComplexItem* TCustomComplexList::Insert(Integer Index)
{
  return Append(std::make_unique<TComplexItem>(this), Index);
}

void TCustomComplexList::Delete(Integer Index)
{
  if (!ValidIndex(Index))
    throw EListError(Format("List index out of bounds (%d)", {Index}));
  TComplexItem* item = FList[size_t(Index)].get();
  if (item == FSelItem) {
    CloseSelectedEditor();
    InnerSetSelectItem(nullptr);
  }
  Forget(item);
  FList.erase(FList.begin() + Index);
  ListChanged();
  if (FUpdateCount == 0)
    DoUpdateAll();
}

void TCustomComplexList::Remove(TComplexItem* Item)
{
  if (Integer i = IndexOf(Item); i >= 0)
    Delete(i);
}

void TCustomComplexList::Clear()
{
  if (FSelItem) {
    CloseSelectedEditor();
    InnerSetSelectItem(nullptr);
  }
  FMovingItem = nullptr;
  FList.clear();
  ListChanged();
  if (FUpdateCount == 0)
    DoUpdateAll();
}

TComplexItem* TCustomComplexList::Find(const TObject* Data) const
{
  for (const auto& item : FList)
    if (item->FData == Data)
      return item.get();
  return nullptr;
}

TComplexItem* TCustomComplexList::Find(const TComplexItemInterface& DataIntf) const
{
  for (const auto& item : FList)
    if (item->FDataIntf == DataIntf)
      return item.get();
  return nullptr;
}

void TCustomComplexList::Sort(const TComplexItemComparison& Comparer)
{
  if (!Comparer)
    return;
  BeginUpdate();
  std::stable_sort(FList.begin(), FList.end(),
                   [&](const auto& a, const auto& b) { return Comparer(a.get(), b.get()) < 0; });
  ListChanged();
  EndUpdate();
}

void TCustomComplexList::BeginUpdate()
{
  ++FUpdateCount;
}

void TCustomComplexList::EndUpdate()
{
  if (FUpdateCount > 0 && --FUpdateCount == 0)
    DoUpdateAll();
}

TComplexItem* TCustomComplexList::Items(Integer Index) const
{
  if (!ValidIndex(Index))
    throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FList[size_t(Index)].get();
}

Integer TCustomComplexList::IndexOf(const TComplexItem* Item) const
{
  for (size_t i = 0; i < FList.size(); ++i)
    if (FList[i].get() == Item)
      return Integer(i);
  return -1;
}

Integer TCustomComplexList::ItemIndex() const
{
  return FSelItem ? IndexOf(FSelItem) : -1;
}

void TCustomComplexList::SetItemIndex(Integer Value)
{
  SetSelectedItem(ValidIndex(Value) ? FList[size_t(Value)].get() : nullptr);
}

void TCustomComplexList::SetSelectedItem(TComplexItem* Value)
{
  if (Value == FSelItem || (Value && IndexOf(Value) < 0))
    return;
  if (FSelItem)
    FSelItem->SetSelected(false);
  if (Value)
    Value->SetSelected(true);
}

void TCustomComplexList::StartMoveItem(TComplexItem* Item)
{
  FMovingItem = IndexOf(Item) >= 0 ? Item : nullptr;
}

void TCustomComplexList::MoveItem(TComplexItem* Item, Integer NewIndex)
{
  if (Count() == 0)
    return;
  NewIndex = std::clamp(NewIndex, 0, Count() - 1);
  if (OnMoveItem)
    OnMoveItem(Item, NewIndex);
  // The host may have changed the list meanwhile.
  Integer from = IndexOf(Item);
  if (from < 0)
    return;
  NewIndex = std::clamp(NewIndex, 0, Count() - 1);
  auto moved = std::move(FList[size_t(from)]);
  FList.erase(FList.begin() + from);
  FList.insert(FList.begin() + NewIndex, std::move(moved));
  if (Item == FSelItem)
    CloseSelectedEditor();
  ListChanged();
  if (FUpdateCount == 0)
    DoUpdateAll();
}

void TCustomComplexList::ListChanged()
{
  FHotItem = -1;
  FDragInsertIndex = -1;
}

void TCustomComplexList::Forget(TComplexItem* Item)
{
  if (FMovingItem == Item)
    FMovingItem = nullptr;
}

// ---- geometry -----------------------------------------------------------------------------

TComplexListItemState TCustomComplexList::GetItemState(const TComplexItem* Item) const
{
  if (Item == FSelItem)
    return isSelected;
  return ValidIndex(FHotItem) && FList[size_t(FHotItem)].get() == Item ? isHot : isNormal;
}

Integer TCustomComplexList::RequestItemHeight(TComplexItem* Item) const
{
  if (!OnGetItemHeight)
    return StdItemHeight;
  return std::max(0, OnGetItemHeight(Item, GetItemState(Item)));
}

void TCustomComplexList::RecalcBounds(Integer From)
{
  From = std::max(0, From);
  Integer top = From == 0 || From > Count() ? FTopMargin
                                            : FList[size_t(From - 1)]->FOldTop + FList[size_t(From - 1)]->FOldHeight;
  for (size_t i = size_t(From); i < FList.size(); ++i) {
    TComplexItem* item = FList[i].get();
    item->FOldTop = top;
    item->FOldHeight = RequestItemHeight(item);
    top += item->FOldHeight;
  }
}

Integer TCustomComplexList::AllItemHeight() const
{
  if (FList.empty())
    return FTopMargin;
  return FList.back()->FOldTop + FList.back()->FOldHeight;
}

TRect TCustomComplexList::ItemRect(const TComplexItem* Item) const
{
  Integer top = Item->FOldTop - FTopPos;
  return TRect(FLeftMargin, top, ClientWidth() - FRightMargin, top + Item->FOldHeight);
}

bool TCustomComplexList::IsVisible(const TRect& R) const
{
  return R.Bottom >= 0 && R.Top <= ClientHeight();
}

Integer TCustomComplexList::GetTopItem() const
{
  // The bottoms rise with the index: a binary search finds the first one
  // below the top of the view.
  auto it = std::partition_point(FList.begin(), FList.end(),
                                 [this](const auto& item) { return item->FOldTop + item->FOldHeight <= FTopPos; });
  return Integer(it - FList.begin());
}

TComplexItem* TCustomComplexList::ItemByPos(TPoint Pos) const
{
  for (Integer i = std::min(FTopItem, Count()); i < Count(); ++i) {
    TRect r = ItemRect(FList[size_t(i)].get());
    if (r.Top > Pos.Y || r.Top > ClientHeight())
      return nullptr;
    if (r.Contains(Pos))
      return FList[size_t(i)].get();
  }
  return nullptr;
}

// ---- scrolling ----------------------------------------------------------------------------

void TCustomComplexList::UpdateScrollBars()
{
  FVScrollBar->SetParams(0, AllItemHeight(), ClientHeight());
}

void TCustomComplexList::PositionChanged(TObject*)
{
  Integer old = FTopPos;
  FTopPos = FVScrollBar->Position();
  FTopItem = GetTopItem();
  if (old != FTopPos && HandleAllocated())
    Win::ScrollWindow(Handle(), 0, old - FTopPos, nullptr, nullptr);
  if (OnScrollList)
    OnScrollList(this);
}

void TCustomComplexList::Resize()
{
  inherited::Resize();
  UpdateScrollBars();
  FVScrollBar->DoScroll(FVScrollBar->Position());
}

bool TCustomComplexList::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
  inherited::DoMouseWheelDown(Shift, MousePos);
  FVScrollBar->DoScroll(FVScrollBar->Position() + WheelStep);
  return true;
}

bool TCustomComplexList::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
  inherited::DoMouseWheelUp(Shift, MousePos);
  FVScrollBar->DoScroll(FVScrollBar->Position() - WheelStep);
  return true;
}

// ---- updating -----------------------------------------------------------------------------

void TCustomComplexList::ProcessBoundChanges(TComplexItem* Item, Integer NewHeight)
{
  // Only this row was measured again: the rows below move by the change,
  // keeping the heights they have.
  Integer delta = NewHeight - Item->FOldHeight;
  Item->FOldHeight = NewHeight;
  for (Integer i = IndexOf(Item) + 1; i < Count(); ++i)
    FList[size_t(i)]->FOldTop += delta;
  UpdateScrollBars();
  if (ItemRect(Item).Top < ClientHeight())
    FVScrollBar->DoScroll(FVScrollBar->Position());
  Invalidate();
}

void TCustomComplexList::DoUpdateItem(TComplexItem* Item)
{
  if (FUpdateCount > 0 || !Item)
    return;
  if (Integer height = RequestItemHeight(Item); height != Item->FOldHeight) {
    ProcessBoundChanges(Item, height);
    return;
  }
  TRect r = ItemRect(Item);
  if (IsVisible(r) && HandleAllocated())
    Win::InvalidateRect(Handle(), &r, Win::TRUE);
}

void TCustomComplexList::DoUpdateAll()
{
  RecalcBounds(0);
  UpdateScrollBars();
  FVScrollBar->DoScroll(FVScrollBar->Position());
  Invalidate();
}

// ---- selection and hot tracking -----------------------------------------------------------

void TCustomComplexList::InnerSetSelectItem(TComplexItem* Item)
{
  FSelItem = Item;
  if (FUpdateCount == 0 && OnSelectItem)
    OnSelectItem(this);
}

void TCustomComplexList::DoSelectItem(TComplexItem* Item)
{
  if (Item == FSelItem)
    return;
  TComplexItem* previous = FSelItem;
  TWinControl* editor = FSelectEditor;
  InnerSetSelectItem(Item);
  if (previous)
    CloseEditor(previous, editor);
  // The handlers may have emptied the list.
  if (IndexOf(previous) >= 0)
    DoUpdateItem(previous);
  if (IndexOf(Item) >= 0)
    DoUpdateItem(Item);
}

void TCustomComplexList::CloseEditor(TComplexItem* Item, TWinControl* Editor)
{
  if (!Editor)
    return;
  if (Editor == FSelectEditor) {
    Editor->RemoveFreeNotification(this);
    FSelectEditor = nullptr;
  }
  Editor->Hide();
  Editor->SetParent(nullptr);
  if (OnCloseEditor)
    OnCloseEditor(Item, Editor);
}

void TCustomComplexList::CloseSelectedEditor()
{
  CloseEditor(FSelItem, FSelectEditor);
}

void TCustomComplexList::SetHotItem(Integer Index)
{
  if (Index == FHotItem)
    return;
  Integer old = FHotItem;
  FHotItem = Index;
  if (ValidIndex(old))
    DoUpdateItem(FList[size_t(old)].get());
  if (ValidIndex(FHotItem))
    DoUpdateItem(FList[size_t(FHotItem)].get());
}

void TCustomComplexList::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseDown(Button, Shift, X, Y);
  if (HandleAllocated() && Showing())
    SetFocus();
  if (Button == mbLeft)
    DoSelectItem(ItemByPos(TPoint(X, Y)));
}

void TCustomComplexList::MouseMove(TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseMove(Shift, X, Y);
  SetHotItem(IndexOf(ItemByPos(TPoint(X, Y))));
}

// ---- messages -----------------------------------------------------------------------------

void TCustomComplexList::Dispatch(TMessage& Message)
{
  if (FVScrollBar->ScrollMessage(Message))
    return;
  switch (Message.Msg) {
  case CM_MOUSELEAVE:
    // Handled here rather than through OnMouseLeave, which is the host's.
    inherited::Dispatch(Message);
    SetHotItem(-1);
    return;
  case CM_DRAG:
    DragMessage(Message);
    return;
  default:
    inherited::Dispatch(Message);
  }
}

void TCustomComplexList::DragMessage(TMessage& Message)
{
  inherited::Dispatch(Message);
  const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
  if (!rec)
    return;
  TPoint p = ScreenToClient(rec->Pos);
  switch (TDragMessage(Message.WParam)) {
  case dmDragEnter:
  case dmDragMove:
    Message.Result = FMovingItem ? 1 : 0;
    if (TComplexItem* target = ItemByPos(p)) {
      FDragInsertIndex = IndexOf(target);
      Invalidate();
    }
    return;
  case dmDragDrop:
    if (FMovingItem) {
      TComplexItem* target = ItemByPos(p);
      if (!target && Count() > 0 && p.Y >= ItemRect(FList.back().get()).Bottom)
        target = FList.back().get();
      TComplexItem* moving = FMovingItem;
      FMovingItem = nullptr;
      FDragInsertIndex = -1;
      if (target)
        moving->SetIndex(IndexOf(target));
    }
    FDragInsertIndex = -1;
    Invalidate();
    return;
  case dmDragLeave:
  case dmDragEnd:
    if (TDragMessage(Message.WParam) == dmDragEnd)
      FMovingItem = nullptr;
    FDragInsertIndex = -1;
    Invalidate();
    return;
  default:
    return;
  }
}

// ---- painting -----------------------------------------------------------------------------

void TCustomComplexList::Paint()
{
  inherited::Paint();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(ClientRect());
  DrawItems();
  UpdateScrollBars();
}

void TCustomComplexList::DrawItems()
{
  if (FSelItem && FSelectEditor && !IsVisible(ItemRect(FSelItem)))
    FSelectEditor->Hide();
  TRect clip = Canvas()->ClipRect();
  for (Integer i = FTopItem; i < Count(); ++i) {
    TComplexItem* item = FList[size_t(i)].get();
    TRect r = ItemRect(item);
    if (r.Top > ClientHeight())
      break;
    TRect visible;
    if (IntersectRect(visible, r, clip))
      DrawItem(item, r);
    if (i == FDragInsertIndex && FMovingItem)
      DrawDragLine(r);
  }
}

void TCustomComplexList::DrawItem(TComplexItem* Item, const TRect& R)
{
  TComplexListItemState state = GetItemState(Item);
  if (state == isSelected)
    DrawSelected(Item, R);
  else
    DrawPicture(Item, state, R);
}

void TCustomComplexList::DrawPicture(TComplexItem* Item, TComplexListItemState State, const TRect& R)
{
  TWinControl* editor = OnGetEditor ? OnGetEditor(Item, State) : nullptr;
  if (!editor)
    return;
  editor->SetBounds(editor->Left(), editor->Top(), R.Width(), R.Height());
  editor->PaintTo(Canvas(), R.Left, R.Top);
}

void TCustomComplexList::DrawSelected(TComplexItem* Item, const TRect& R)
{
  TWinControl* editor = OnGetEditor ? OnGetEditor(Item, isSelected) : nullptr;
  if (editor != FSelectEditor) {
    if (FSelectEditor)
      FSelectEditor->RemoveFreeNotification(this);
    FSelectEditor = editor;
    if (editor)
      editor->FreeNotification(this);
  }
  if (!editor)
    return;
  if (editor->Parent() != this) {
    editor->Hide();
    editor->SetParent(this);
  }
  if (editor->BoundsRect() != R)
    editor->SetBounds(R.Left, R.Top, R.Width(), R.Height());
  if (!editor->Visible())
    editor->Show();
}

TRect TCustomComplexList::GetDragLineRect(const TRect& R) const
{
  Integer moving = IndexOf(FMovingItem);
  if (moving <= FDragInsertIndex)
    return TRect(R.Left + kDragLineInset, R.Bottom - 1, R.Right - kDragLineInset, R.Bottom);
  return TRect(R.Left + kDragLineInset, R.Top, R.Right - kDragLineInset, R.Top + 1);
}

void TCustomComplexList::DrawDragLine(const TRect& R)
{
  TRect line = GetDragLineRect(R);
  TPen* pen = Canvas()->Pen();
  pen->SetColor(kDragLineColor);
  pen->SetStyle(psDot);
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->Rectangle(line);
  pen->SetStyle(psSolid);
  Canvas()->Brush()->SetStyle(bsSolid);
}

// ---- published ----------------------------------------------------------------------------

QX_PUBLISHED_CONTROL(TQxComplexList)
{
  for (const char* name : {"Align", "Anchors", "Constraints", "Enabled", "PopupMenu", "ParentShowHint", "ShowHint",
                           "TabOrder", "Visible", "DragCursor", "DragMode"})
    Publish(name);
  Publish("ParentColor").Default(false);
  Publish("Color").Default(clWindow);
  Publish("ParentDoubleBuffered").Default(false);
  Publish("DoubleBuffered").Default(true);
  Publish("TabStop").Default(false);
  for (const char* name : {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag",
                           "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseEnter",
                           "OnMouseLeave", "OnMouseMove", "OnMouseUp", "OnMouseWheel", "OnResize", "OnStartDrag"})
    Publish(name);
  Event("OnGetEditor", &T::OnGetEditor);
  Event("OnCloseEditor", &T::OnCloseEditor);
  Event("OnGetItemHeight", &T::OnGetItemHeight);
  Event("OnSelectItem", &T::OnSelectItem);
  Event("OnScrollList", &T::OnScrollList);
  Event("OnMoveItem", &T::OnMoveItem);
}

} // namespace Quorex

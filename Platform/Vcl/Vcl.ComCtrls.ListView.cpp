// The list view's item states, notifications, geometry and input.

#include "Vcl.ComCtrls.hpp"
#include "Vcl.ComCtrls.Internal.hpp"

#include <Vcl.Graphics.Measure.hpp>
#include <Win.Gdi.hpp>

#include <algorithm>
#include <utility>

namespace Vcl {

using namespace ListViewMetrics;

// ---- items, states and notifications ---------------------------------------------------------

bool TCustomListView::OwnerDataFetch(TListItem* Item, TItemRequest Request)
{
  (void)Request;
  if (!OnData)
    return false;
  OnData(this, Item);
  return true;
}

void TCustomListView::InsertState(Integer Index)
{
  if (size_t(Index) <= FStates.size())
    FStates.insert(FStates.begin() + Index, 0);
  ReindexSelection();
  if (FFocusIndex >= Index)
    ++FFocusIndex;
  if (FAnchorIndex >= Index)
    ++FAnchorIndex;
  Invalidate();
}

// Items were inserted or deleted in the middle: the selected indexes moved.
void TCustomListView::ReindexSelection()
{
  FSelected.clear();
  for (size_t i = 0; i < FStates.size(); ++i)
    if (FStates[i] & Win::LVIS_SELECTED)
      FSelected.insert(Integer(i));
}

void TCustomListView::DeleteState(Integer Index)
{
  if (size_t(Index) < FStates.size())
    FStates.erase(FStates.begin() + Index);
  ReindexSelection();
  if (FFocusIndex == Index)
    FFocusIndex = -1;
  else if (FFocusIndex > Index)
    --FFocusIndex;
  if (FAnchorIndex >= Index)
    FAnchorIndex = std::max(FAnchorIndex - 1, -1);
  FHotIndex = -1;
  ScrollTo(FTopIndex, FScrollX);
  Invalidate();
}

void TCustomListView::SetItemCountEx(Integer Count, Win::DWORD Flags)
{
  if (!FOwnerData)
    return;
  Integer old = FOwnerCount;
  FOwnerCount = std::max(Count, 0);
  CountChanged(old, Flags);
}

// Drops what lies past the new end; the top row stays only when asked to.
void TCustomListView::CountChanged(Integer OldCount, Win::DWORD Flags)
{
  Integer count = FItems->Count();
  if (FStates.size() > size_t(count))
    FStates.resize(size_t(count));
  FSelected.erase(FSelected.lower_bound(count), FSelected.end());
  if (FFocusIndex >= count)
    FFocusIndex = -1;
  if (FAnchorIndex >= count)
    FAnchorIndex = -1;
  if (FHotIndex >= count)
    FHotIndex = -1;
  ScrollTo((Flags & Win::LVSICF_NOSCROLL) ? FTopIndex : 0, FScrollX);
  UpdateScrollBars();
  bool visibleChanged = std::min(OldCount, FTopIndex + VisibleRowCount() + 1) !=
                        std::min(count, FTopIndex + VisibleRowCount() + 1);
  if (!(Flags & Win::LVSICF_NOINVALIDATEALL) || visibleChanged)
    Invalidate();
}

Win::UINT TCustomListView::GetItemState(Integer Index, Win::UINT Mask) const
{
  if (Index < 0 || size_t(Index) >= FStates.size())
    return 0;
  return FStates[size_t(Index)] & Mask;
}

Win::LRESULT TCustomListView::Notify(Win::UINT Code, Integer Index, Win::UINT NewState, Win::UINT OldState)
{
  Win::NMLISTVIEW nm;
  nm.hdr.hwndFrom = HandleAllocated() ? Handle() : nullptr;
  nm.hdr.code = Code;
  nm.iItem = Index;
  nm.uNewState = NewState;
  nm.uOldState = OldState;
  nm.uChanged = Win::LVIF_STATE;
  return Perform(CN_NOTIFY, 0, reinterpret_cast<Win::LPARAM>(&nm));
}

// One index: asks, changes, tells. False when vetoed or nothing changed.
bool TCustomListView::ChangeState(Integer Index, Win::UINT State, Win::UINT Mask)
{
  if (Index < 0 || Index >= FItems->Count())
    return false;
  if (FStates.size() < size_t(FItems->Count()))
    FStates.resize(size_t(FItems->Count()), 0);
  Win::UINT old = FStates[size_t(Index)];
  Win::UINT now = (old & ~Mask) | (State & Mask & kStateMask);
  if (now == old)
    return false;
  if (Notify(Win::LVN_ITEMCHANGING, Index, now, old) != 0)
    return false;
  // A single focus: taking it moves it away from the old holder.
  if ((now & Win::LVIS_FOCUSED) && FFocusIndex != Index && FFocusIndex >= 0)
    ChangeState(FFocusIndex, 0, Win::LVIS_FOCUSED);
  FStates[size_t(Index)] = std::uint16_t(now);
  if (now & Win::LVIS_SELECTED)
    FSelected.insert(Index);
  else
    FSelected.erase(Index);
  if (now & Win::LVIS_FOCUSED)
    FFocusIndex = Index;
  else if (FFocusIndex == Index)
    FFocusIndex = -1;
  UpdateItems(Index, Index);
  Notify(Win::LVN_ITEMCHANGED, Index, now, old);
  return true;
}

void TCustomListView::SetItemState(Integer Index, Win::UINT State, Win::UINT Mask)
{
  if (Index >= 0) {
    ChangeState(Index, State, Mask);
    return;
  }
  // Every index: clearing visits only the rows that have the state, so it
  // costs the selection, not the list.
  Mask &= kStateMask;
  if (Mask & Win::LVIS_FOCUSED && !(State & Win::LVIS_FOCUSED) && FFocusIndex >= 0)
    ChangeState(FFocusIndex, 0, Win::LVIS_FOCUSED);
  if (Mask & Win::LVIS_SELECTED && !(State & Win::LVIS_SELECTED))
    for (Integer i : SelectedIndexes())
      ChangeState(i, 0, Win::LVIS_SELECTED);
  // Flags are set where asked; the state image is a field, written whole.
  Win::UINT fields = (State & Mask & ~Win::LVIS_STATEIMAGEMASK) | (Mask & Win::LVIS_STATEIMAGEMASK);
  for (Integer i = 0; fields != 0 && i < FItems->Count(); ++i)
    ChangeState(i, State, fields);
}

void TCustomListView::ToggleChecked(Integer Index)
{
  bool checked = GetItemState(Index, Win::LVIS_STATEIMAGEMASK) == Win::INDEXTOSTATEIMAGEMASK(2);
  ChangeState(Index, Win::INDEXTOSTATEIMAGEMASK(checked ? 1 : 2), Win::LVIS_STATEIMAGEMASK);
}

void TCustomListView::SelectRange(Integer From, Integer To, bool Only)
{
  if (From > To)
    std::swap(From, To);
  if (Only)
    for (Integer i : SelectedIndexes())
      if (i < From || i > To)
        ChangeState(i, 0, Win::LVIS_SELECTED);
  for (Integer i = From; i <= To; ++i)
    ChangeState(i, Win::LVIS_SELECTED, Win::LVIS_SELECTED);
}

TListItem* TCustomListView::Selected()
{
  return FSelected.empty() ? nullptr : FItems->Item(*FSelected.begin());
}

void TCustomListView::SetSelected(TListItem* Value)
{
  SetItemIndex(Value ? Value->Index() : -1);
}

Integer TCustomListView::ItemIndex() const
{
  return FSelected.empty() ? -1 : *FSelected.begin();
}

void TCustomListView::SetItemIndex(Integer Value)
{
  if (Value < 0 || Value >= FItems->Count()) {
    ClearSelection();
    return;
  }
  SelectRange(Value, Value, true);
  ChangeState(Value, Win::LVIS_FOCUSED, Win::LVIS_FOCUSED);
  FAnchorIndex = Value;
}

TListItem* TCustomListView::ItemFocused()
{
  return FItems->Item(FFocusIndex);
}

void TCustomListView::SetItemFocused(TListItem* Value)
{
  if (Value)
    ChangeState(Value->Index(), Win::LVIS_FOCUSED, Win::LVIS_FOCUSED);
  else if (FFocusIndex >= 0)
    ChangeState(FFocusIndex, 0, Win::LVIS_FOCUSED);
}

void TCustomListView::ClearSelection()
{
  SetItemState(-1, 0, Win::LVIS_SELECTED);
}

void TCustomListView::SelectAll()
{
  if (FMultiSelect)
    SetItemState(-1, Win::LVIS_SELECTED, Win::LVIS_SELECTED);
}

void TCustomListView::CNNotify(TMessage& Message)
{
  const auto* hdr = reinterpret_cast<const Win::NMHDR*>(Message.LParam);
  if (hdr->hwndFrom == FHeader && FHeader) {
    HeaderNotify(*reinterpret_cast<const Win::NMHEADER*>(hdr));
    return;
  }
  if (hdr->code != Win::LVN_ITEMCHANGING && hdr->code != Win::LVN_ITEMCHANGED)
    return;
  const auto* nm = reinterpret_cast<const Win::NMLISTVIEW*>(hdr);
  TListItem* item = FItems->Item(nm->iItem);
  if (hdr->code == Win::LVN_ITEMCHANGING) {
    bool allow = true;
    if (OnChanging)
      OnChanging(this, item, ctState, allow);
    Message.Result = allow ? 0 : 1;
    return;
  }
  if (OnChange)
    OnChange(this, item, ctState);
  if (((nm->uNewState ^ nm->uOldState) & Win::LVIS_STATEIMAGEMASK) && FCheckboxes && OnItemChecked)
    OnItemChecked(this, item);
  if (((nm->uNewState ^ nm->uOldState) & Win::LVIS_SELECTED) && OnSelectItem)
    OnSelectItem(this, item, (nm->uNewState & Win::LVIS_SELECTED) != 0);
}

void TCustomListView::HeaderNotify(const Win::NMHEADER& Note)
{
  if (Note.iItem < 0 || Note.iItem >= FColumns->Count())
    return;
  TListColumn* column = FColumns->Items(Note.iItem);
  switch (Note.hdr.code) {
  case Win::HDN_ITEMCHANGED:
    if (Note.pitem && (Note.pitem->mask & Win::HDI_WIDTH) && !FSyncingHeader) {
      // The header has the width already: no need to fill it again.
      FSyncingHeader = true;
      column->SetWidth(Note.pitem->cxy);
      FSyncingHeader = false;
      FHeaderStale = false;
      LayoutHeader();
    }
    return;
  case Win::HDN_DIVIDERDBLCLICK:
    ColumnDividerDblClick(Note.iItem);
    return;
  case Win::HDN_ITEMCLICK:
    if (OnColumnClick)
      OnColumnClick(this, column);
    return;
  default:
    return;
  }
}

void TCustomListView::ColumnDividerDblClick(Integer Index)
{
  if (FOwnerData || Index < 0 || Index >= FColumns->Count())
    return;
  TMeasureCanvas canvas(Font());
  Integer width = canvas.TextWidth(FColumns->Items(Index)->Caption()) + 2 * kHeaderTextPadding;
  for (Integer i = 0; i < FItems->Count(); ++i) {
    TListItem* item = FItems->Item(i);
    const String& text = Index == 0 ? item->Caption()
                         : Index - 1 < item->SubItems()->Count() ? item->SubItems()->Strings(Index - 1)
                                                                 : String();
    width = std::max(width, canvas.TextWidth(text) + ItemRect(i, drLabel).Left - ItemRect(i, drBounds).Left +
                                2 * kCellPadding);
  }
  FColumns->Items(Index)->SetWidth(width);
}

// ---- geometry ---------------------------------------------------------------------------------

Integer TCustomListView::HeaderHeight()
{
  if (!FShowColumnHeaders || FViewStyle != vsReport)
    return 0;
  return TextHeight() + 8;
}

TRect TCustomListView::HeaderRect()
{
  return TRect(0, 0, ClientWidth(), HeaderHeight());
}

Integer TCustomListView::RowHeight()
{
  if (FRowHeight > 0)
    return FRowHeight;
  Integer height = TextHeight() + 3;
  if (FSmallImages)
    height = std::max(height, FSmallImages->Height() + 1);
  if (FStateImages)
    height = std::max(height, FStateImages->Height() + 1);
  else if (FCheckboxes)
    height = std::max(height, Win::GetSystemMetrics(Win::SM_CYSMICON) + 1);
  if (FOwnerDraw)
    MeasureItem(height);
  FRowHeight = std::max(height, 1);
  return FRowHeight;
}

Integer TCustomListView::TextHeight()
{
  if (FTextHeight == 0)
    FTextHeight = TMeasureCanvas(Font()).TextHeight("Wg");
  return FTextHeight;
}

Integer TCustomListView::ColumnLeft(Integer Column) const
{
  Integer left = 0;
  for (Integer i = 0; i < Column && i < FColumns->Count(); ++i)
    left += FColumns->Items(i)->Width();
  return left;
}

Integer TCustomListView::ColumnsWidth() const
{
  return ColumnLeft(FColumns->Count());
}

Integer TCustomListView::StateIconWidth()
{
  if (FStateImages)
    return FStateImages->Width();
  return FCheckboxes ? Win::GetSystemMetrics(Win::SM_CXSMICON) : 0;
}

Integer TCustomListView::VisibleRowCount()
{
  return std::max(0, (ClientHeight() - HeaderHeight()) / RowHeight());
}

Integer TCustomListView::MaxTopIndex()
{
  return std::max(0, FItems->Count() - VisibleRowCount());
}

Integer TCustomListView::MaxScrollLeft()
{
  return std::max(0, ColumnsWidth() - ClientWidth());
}

TRect TCustomListView::ItemRect(Integer Index, TDisplayCode Code)
{
  if (Index < 0 || Index >= FItems->Count())
    return TRect(0, 0, 0, 0);
  Integer top = HeaderHeight() + (Index - FTopIndex) * RowHeight();
  TRect row(-FScrollX, top, ColumnsWidth() - FScrollX, top + RowHeight());
  if (Code == drBounds)
    return row;
  Integer cellRight = row.Left + (FColumns->Count() > 0 ? FColumns->Items(0)->Width() : row.Width());
  Integer x = row.Left + kCellPadding + StateIconWidth();
  TRect icon(x, row.Top, x + (FSmallImages ? FSmallImages->Width() : 0), row.Bottom);
  if (Code == drIcon)
    return icon;
  TRect label(icon.Right + kCellPadding, row.Top, std::max(icon.Right + kCellPadding, cellRight), row.Bottom);
  if (Code == drLabel)
    return label;
  return FRowSelect ? row : TRect(icon.Left, row.Top, label.Right, row.Bottom);
}

TRect TCustomListView::SubItemRect(Integer Index, Integer Column, TDisplayCode Code)
{
  if (Column <= 0 || Column >= FColumns->Count())
    return ItemRect(Index, Code == drLabel ? drBounds : Code);
  TRect row = ItemRect(Index, drBounds);
  Integer left = row.Left + ColumnLeft(Column);
  TRect cell(left, row.Top, left + FColumns->Items(Column)->Width(), row.Bottom);
  if (Code == drIcon)
    cell.Right = cell.Left + (FSmallImages ? FSmallImages->Width() : 0);
  return cell;
}

Integer TCustomListView::IndexAt(TPoint Point)
{
  Integer header = HeaderHeight();
  if (Point.Y < header || Point.X < -FScrollX || Point.X >= ColumnsWidth() - FScrollX)
    return -1;
  Integer index = FTopIndex + (Point.Y - header) / RowHeight();
  return index < FItems->Count() ? index : -1;
}

TListItem* TCustomListView::GetItemAt(Integer X, Integer Y)
{
  return FItems->Item(IndexAt(TPoint(X, Y)));
}

THitTests TCustomListView::GetHitTestInfoAt(Integer X, Integer Y)
{
  THitTests result;
  if (Y < HeaderHeight())
    result.Include(htAbove);
  if (Y >= ClientHeight())
    result.Include(htBelow);
  if (X < 0)
    result.Include(htToLeft);
  if (X >= ClientWidth())
    result.Include(htToRight);
  if (!result.Empty())
    return result;
  Integer index = IndexAt(TPoint(X, Y));
  if (index < 0)
    return {htNowhere};
  TRect icon = ItemRect(index, drIcon);
  TRect label = ItemRect(index, drLabel);
  if (X < icon.Left && StateIconWidth() > 0)
    return {htOnItem, htOnStateIcon};
  if (X >= icon.Left && X < icon.Right)
    return {htOnItem, htOnIcon};
  if (X >= label.Left && X < label.Right)
    return {htOnItem, htOnLabel};
  return {htOnItem, htOnRight};
}

TListItem* TCustomListView::TopItem()
{
  return FItems->Item(FTopIndex);
}

void TCustomListView::ScrollTo(Integer TopIndex, Integer Left)
{
  TopIndex = std::clamp(TopIndex, 0, MaxTopIndex());
  Left = std::clamp(Left, 0, MaxScrollLeft());
  if (TopIndex == FTopIndex && Left == FScrollX)
    return;
  bool sideways = Left != FScrollX;
  FTopIndex = TopIndex;
  FScrollX = Left;
  if (sideways)
    LayoutHeader();
  UpdateScrollBars();
  Invalidate();
}

// The bars show rows (vertical) and pixels (horizontal).
void TCustomListView::UpdateScrollBars()
{
  if (!HandleAllocated() || FUpdatingScrollBars)
    return;
  // Showing or hiding a bar resizes the client, which comes back here.
  FUpdatingScrollBars = true;
  Win::SCROLLINFO info;
  info.fMask = Win::SIF_RANGE | Win::SIF_PAGE | Win::SIF_POS;
  info.nMax = FItems->Count() - 1;
  info.nPage = Win::UINT(VisibleRowCount());
  info.nPos = FTopIndex;
  Win::SetScrollInfo(FHandle, Win::SB_VERT, &info, true);
  info.nMax = ColumnsWidth() - 1;
  info.nPage = Win::UINT(std::max(ClientWidth(), 0));
  info.nPos = FScrollX;
  Win::SetScrollInfo(FHandle, Win::SB_HORZ, &info, true);
  FUpdatingScrollBars = false;
  ScrollTo(FTopIndex, FScrollX);
}

void TCustomListView::WMScroll(TMessage& Message, int Bar)
{
  bool vertical = Bar == Win::SB_VERT;
  Integer pos = vertical ? FTopIndex : FScrollX;
  Integer line = vertical ? 1 : kHorizontalLine;
  Integer page = vertical ? std::max(VisibleRowCount(), 1) : std::max(ClientWidth(), 1);
  switch (Win::LOWORD(Message.WParam)) {
  case Win::SB_LINEUP:
    pos -= line;
    break;
  case Win::SB_LINEDOWN:
    pos += line;
    break;
  case Win::SB_PAGEUP:
    pos -= page;
    break;
  case Win::SB_PAGEDOWN:
    pos += page;
    break;
  case Win::SB_THUMBTRACK:
  case Win::SB_THUMBPOSITION: {
    Win::SCROLLINFO info;
    info.fMask = Win::SIF_TRACKPOS;
    Win::GetScrollInfo(FHandle, Bar, &info);
    pos = info.nTrackPos;
    break;
  }
  case Win::SB_TOP:
    pos = 0;
    break;
  case Win::SB_BOTTOM:
    pos = vertical ? MaxTopIndex() : MaxScrollLeft();
    break;
  default:
    return;
  }
  if (vertical)
    ScrollTo(pos, FScrollX);
  else
    ScrollTo(FTopIndex, pos);
}

void TCustomListView::Scroll(Integer DX, Integer DY)
{
  ScrollTo(FTopIndex + DY / RowHeight(), FScrollX + DX);
}

void TCustomListView::EnsureVisible(Integer Index)
{
  if (Index < 0 || Index >= FItems->Count())
    return;
  if (Index < FTopIndex)
    ScrollTo(Index, FScrollX);
  else if (Index >= FTopIndex + VisibleRowCount())
    ScrollTo(Index - VisibleRowCount() + 1, FScrollX);
}

void TCustomListView::UpdateItems(Integer FirstIndex, Integer LastIndex)
{
  if (!HandleAllocated() || FItems->FUpdateCount > 0)
    return;
  FirstIndex = std::max(FirstIndex, FTopIndex);
  LastIndex = std::min(LastIndex, FTopIndex + VisibleRowCount());
  if (FirstIndex > LastIndex)
    return;
  TRect first = ItemRect(FirstIndex, drBounds);
  TRect last = ItemRect(LastIndex, drBounds);
  TRect rect(0, first.Top, ClientWidth(), last.Bottom);
  Win::InvalidateRect(Handle(), &rect, false);
}

// ---- input -------------------------------------------------------------------------------------

bool TCustomListView::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
  (void)Shift;
  (void)MousePos;
  ScrollTo(FTopIndex + kWheelRows, FScrollX);
  return true;
}

bool TCustomListView::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
  (void)Shift;
  (void)MousePos;
  ScrollTo(FTopIndex - kWheelRows, FScrollX);
  return true;
}

void TCustomListView::ListMouseDown(TMessage& Message)
{
  if (CanFocus() && !Focused())
    SetFocus();
  TPoint pt = MessagePos(Message);
  Integer index = IndexAt(pt);
  bool ctrl = (Message.WParam & Win::MK_CONTROL) != 0;
  bool shift = (Message.WParam & Win::MK_SHIFT) != 0;
  if (index < 0) {
    if (!ctrl)
      ClearSelection();
    return;
  }
  // A press on the check box toggles it and leaves the selection alone.
  if (Message.Msg != Win::WM_RBUTTONDOWN && OwnsCheckboxes() && pt.X < ItemRect(index, drIcon).Left &&
      pt.X >= ItemRect(index, drIcon).Left - StateIconWidth()) {
    ToggleChecked(index);
    return;
  }
  if (Message.Msg == Win::WM_RBUTTONDOWN) {
    if (!GetItemState(index, Win::LVIS_SELECTED))
      SetItemIndex(index);
    return;
  }
  if (FMultiSelect && ctrl) {
    ChangeState(index, GetItemState(index, Win::LVIS_SELECTED) ^ Win::LVIS_SELECTED, Win::LVIS_SELECTED);
    ChangeState(index, Win::LVIS_FOCUSED, Win::LVIS_FOCUSED);
    FAnchorIndex = index;
  } else if (FMultiSelect && shift && FAnchorIndex >= 0) {
    SelectRange(FAnchorIndex, index, true);
    ChangeState(index, Win::LVIS_FOCUSED, Win::LVIS_FOCUSED);
  } else {
    SetItemIndex(index);
  }
  EnsureVisible(index);
}

void TCustomListView::SetHotIndex(Integer Index)
{
  if (FHotIndex == Index)
    return;
  Integer old = FHotIndex;
  FHotIndex = Index;
  UpdateItems(old, old);
  UpdateItems(Index, Index);
}

// Without Shift or Ctrl the selection follows the focus; Shift stretches it
// from the anchor; Ctrl moves the focus alone.
void TCustomListView::MoveFocus(Integer Index, TShiftState Shift)
{
  Index = std::clamp(Index, 0, FItems->Count() - 1);
  if (FMultiSelect && Shift.Contains(ssCtrl)) {
    ChangeState(Index, Win::LVIS_FOCUSED, Win::LVIS_FOCUSED);
  } else if (FMultiSelect && Shift.Contains(ssShift)) {
    if (FAnchorIndex < 0)
      FAnchorIndex = std::max(FFocusIndex, 0);
    SelectRange(FAnchorIndex, Index, true);
    ChangeState(Index, Win::LVIS_FOCUSED, Win::LVIS_FOCUSED);
  } else {
    SetItemIndex(Index);
  }
  EnsureVisible(Index);
}

void TCustomListView::KeyDown(Word& Key, TShiftState Shift)
{
  inherited::KeyDown(Key, Shift);
  Integer count = FItems->Count();
  if (Key == 0 || count == 0)
    return;
  Integer page = std::max(VisibleRowCount() - 1, 1);
  Integer focus = FFocusIndex;
  switch (Key) {
  case Win::VK_UP:
    MoveFocus(focus < 0 ? 0 : focus - 1, Shift);
    break;
  case Win::VK_DOWN:
    MoveFocus(focus + 1, Shift);
    break;
  case Win::VK_HOME:
    MoveFocus(0, Shift);
    break;
  case Win::VK_END:
    MoveFocus(count - 1, Shift);
    break;
  case Win::VK_PRIOR:
    MoveFocus(focus - page, Shift);
    break;
  case Win::VK_NEXT:
    MoveFocus(std::max(focus, 0) + page, Shift);
    break;
  case Win::VK_SPACE:
    if (OwnsCheckboxes() && focus >= 0 && !Shift.Contains(ssCtrl)) {
      ToggleChecked(focus);
      break;
    }
    if (!FMultiSelect || focus < 0)
      return;
    ChangeState(focus, Shift.Contains(ssCtrl) ? GetItemState(focus, Win::LVIS_SELECTED) ^ Win::LVIS_SELECTED
                                              : Win::LVIS_SELECTED,
                Win::LVIS_SELECTED);
    break;
  case 'A':
    if (!Shift.Contains(ssCtrl))
      return;
    SelectAll();
    break;
  default:
    return;
  }
  Key = 0;
}

void TCustomListView::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_GETDLGCODE:
    Message.Result = Win::DLGC_WANTARROWS | Win::DLGC_WANTCHARS;
    return;
  case Win::WM_LBUTTONDOWN:
  case Win::WM_LBUTTONDBLCLK:
  case Win::WM_RBUTTONDOWN:
    ListMouseDown(Message);
    break;
  case Win::WM_MOUSEMOVE:
    if (FHotTrack)
      SetHotIndex(IndexAt(MessagePos(Message)));
    break;
  case Win::WM_NOTIFY:
    if (Message.LParam && reinterpret_cast<const Win::NMHDR*>(Message.LParam)->hwndFrom == FHeader && FHeader) {
      Message.Result = Perform(CN_NOTIFY, Message.WParam, Message.LParam);
      return;
    }
    break;
  case Win::WM_VSCROLL:
    if (Message.LParam == 0) {
      WMScroll(Message, Win::SB_VERT);
      return;
    }
    break;
  case Win::WM_HSCROLL:
    if (Message.LParam == 0) {
      WMScroll(Message, Win::SB_HORZ);
      return;
    }
    break;
  case Win::WM_MOUSELEAVE:
    SetHotIndex(-1);
    break;
  case Win::WM_SETFOCUS:
  case Win::WM_KILLFOCUS:
    Invalidate();
    break;
  case CN_NOTIFY:
    CNNotify(Message);
    return;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

} // namespace Vcl

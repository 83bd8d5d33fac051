// The list view's painting: rows by owner draw, custom draw or its own look, grid lines and the header strip.

#include "Vcl.ComCtrls.hpp"
#include "Vcl.ComCtrls.Internal.hpp"

#include <Vcl.Themes.hpp>
#include <Win.Gdi.hpp>

#include <algorithm>
#include <utility>

namespace Vcl {

using namespace ListViewMetrics;

// ---- painting ------------------------------------------------------------------------------------

TOwnerDrawState TCustomListView::OwnerDrawStateOf(Integer Index)
{
  TOwnerDrawState state;
  if (GetItemState(Index, Win::LVIS_SELECTED))
    state.Include(odSelected);
  if (GetItemState(Index, Win::LVIS_FOCUSED) && Focused())
    state.Include(odFocused);
  if (!Enabled())
    state.Include(odDisabled);
  if (Index == FHotIndex)
    state.Include(odHotLight);
  return state;
}

void TCustomListView::DrawItem(TListItem* Item, TRect Rect, TOwnerDrawState State)
{
  if (OnDrawItem)
    OnDrawItem(this, Item, Rect, State);
}

void TCustomListView::Paint()
{
  if (FHeaderStale)
    SyncHeader();
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  bool defaultDraw = true;
  if (OnCustomDraw)
    OnCustomDraw(this, ClientRect(), defaultDraw);
  if (!defaultDraw)
    return;
  TRect clip = canvas->ClipRect();
  canvas->FillRect(clip);
  Integer header = HeaderHeight();
  Integer first = FTopIndex + std::max(0, clip.Top - header) / RowHeight();
  Integer last = std::min(FItems->Count() - 1, FTopIndex + (clip.Bottom - header) / RowHeight());
  for (Integer i = first; i <= last; ++i)
    PaintRow(i);
  if (FGridLines && FViewStyle == vsReport) {
    canvas->Pen()->SetColor(clBtnFace);
    for (Integer c = 1; c <= FColumns->Count(); ++c) {
      canvas->MoveTo(ColumnLeft(c) - FScrollX - 1, header);
      canvas->LineTo(ColumnLeft(c) - FScrollX - 1, ClientHeight());
    }
    for (Integer y = header + RowHeight() - 1; y < ClientHeight(); y += RowHeight()) {
      canvas->MoveTo(0, y);
      canvas->LineTo(ColumnsWidth() - FScrollX, y);
    }
  }
}

void TCustomListView::PaintRow(Integer Index)
{
  TListItem* item = FItems->Item(Index);
  TRect row = ItemRect(Index, drBounds);
  row.Right = std::max(row.Right, ClientWidth());
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  if (FOwnerDraw) {
    DrawItem(item, row, OwnerDrawStateOf(Index));
    return;
  }
  TCustomDrawState state;
  if (GetItemState(Index, Win::LVIS_SELECTED))
    state.Include(cdsSelected);
  if (GetItemState(Index, Win::LVIS_FOCUSED))
    state.Include(cdsFocused);
  if (Index == FHotIndex)
    state.Include(cdsHot);
  if (CustomDrawItem(item, state, cdPrePaint))
    PaintDefaultRow(item, state);
  CustomDrawItem(item, state, cdPostPaint);
}

// With check boxes the state image list (if any) holds the unchecked and
// the checked look at images 0 and 1; without one the platform draws them.
void TCustomListView::PaintStateIcon(TListItem* Item, const TRect& Icon)
{
  TCanvas* canvas = Canvas();
  if (!FCheckboxes) {
    if (FStateImages && Item->StateIndex() >= 0)
      FStateImages->Draw(canvas, Icon.Left - FStateImages->Width(),
                         Icon.Top + (Icon.Height() - FStateImages->Height()) / 2, Item->StateIndex());
    return;
  }
  bool checked = Item->Checked();
  if (FStateImages) {
    FStateImages->Draw(canvas, Icon.Left - FStateImages->Width(), Icon.Top + (Icon.Height() - FStateImages->Height()) / 2,
                       checked ? 1 : 0, Enabled());
    return;
  }
  Integer size = Win::GetSystemMetrics(Win::SM_CXMENUCHECK);
  Integer strip = StateIconWidth();
  TRect box = Bounds(Icon.Left - strip + (strip - size) / 2, Icon.Top + (Icon.Height() - size) / 2, size, size);
  if (ThemeControl(this)) {
    TThemedButton detail = checked ? (Enabled() ? tbCheckBoxCheckedNormal : tbCheckBoxCheckedDisabled)
                                   : (Enabled() ? tbCheckBoxUncheckedNormal : tbCheckBoxUncheckedDisabled);
    StyleServices()->DrawElement(canvas->Handle(), StyleServices()->GetElementDetails(detail), box);
    return;
  }
  Win::UINT state = Win::DFCS_BUTTONCHECK | (checked ? Win::DFCS_CHECKED : 0) | (Enabled() ? 0 : Win::DFCS_INACTIVE);
  Win::DrawFrameControl(canvas->Handle(), &box, Win::DFC_BUTTON, state);
}

bool TCustomListView::CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage)
{
  bool defaultDraw = true;
  if (OnAdvancedCustomDrawItem)
    OnAdvancedCustomDrawItem(this, Item, State, Stage, defaultDraw);
  return defaultDraw;
}

void TCustomListView::PaintDefaultRow(TListItem* Item, TCustomDrawState State)
{
  TCanvas* canvas = Canvas();
  Integer index = Item->Index();
  bool selected = State.Contains(cdsSelected) && (Focused() || !FHideSelection);
  TColor textColor = Font()->Color();
  if (selected) {
    TRect back = ItemRect(index, drSelectBounds);
    canvas->Brush()->SetColor(Focused() ? clHighlight : clBtnFace);
    canvas->FillRect(back);
    textColor = Focused() ? clHighlightText : Font()->Color();
  }
  Win::SetBkMode(canvas->Handle(), Win::TRANSPARENT);
  TRect icon = ItemRect(index, drIcon);
  PaintStateIcon(Item, icon);
  if (FSmallImages && Item->ImageIndex() >= 0)
    FSmallImages->Draw(canvas, icon.Left, icon.Top + (icon.Height() - FSmallImages->Height()) / 2,
                       Item->ImageIndex(), Enabled());
  const Win::UINT flags = Win::DT_SINGLELINE | Win::DT_VCENTER | Win::DT_END_ELLIPSIS | Win::DT_NOPREFIX;
  TRect label = ItemRect(index, drLabel);
  canvas->Font()->SetColor(textColor);
  Win::DrawText(canvas->Handle(), Item->Caption().c_str(), -1, &label, flags);
  for (Integer c = 1; c < FColumns->Count(); ++c) {
    bool defaultDraw = true;
    if (OnAdvancedCustomDrawSubItem)
      OnAdvancedCustomDrawSubItem(this, Item, c, State, cdPrePaint, defaultDraw);
    if (!defaultDraw || c - 1 >= Item->SubItems()->Count())
      continue;
    TRect cell = SubItemRect(index, c, drBounds);
    cell.Left += kCellPadding;
    cell.Right -= kCellPadding;
    if (FSmallImages && Item->SubItemImages(c - 1) >= 0) {
      FSmallImages->Draw(canvas, cell.Left, cell.Top + (cell.Height() - FSmallImages->Height()) / 2,
                         Item->SubItemImages(c - 1), Enabled());
      cell.Left += FSmallImages->Width() + kCellPadding;
    }
    canvas->Font()->SetColor(FRowSelect ? textColor : Font()->Color());
    Win::DrawText(canvas->Handle(), Item->SubItems()->Strings(c - 1).c_str(), -1, &cell, flags);
  }
  if (State.Contains(cdsFocused) && Focused()) {
    TRect focus = ItemRect(index, drSelectBounds);
    Win::DrawFocusRect(canvas->Handle(), &focus);
  }
}

} // namespace Vcl

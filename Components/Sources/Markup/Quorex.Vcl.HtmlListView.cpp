#include "Quorex.Vcl.HtmlListView.hpp"

#include <System.TypInfo.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr Integer kCellInset = 4;

TTextFormat AlignedAs(TAlignment Alignment)
{
  TTextFormat format{tfSingleLine, tfNoPrefix, tfEndEllipsis};
  format.Include(Alignment == taRightJustify ? tfRight : Alignment == taCenter ? tfCenter : tfLeft);
  return format;
}

} // namespace

void THtmlListView::DrawItem(TListItem* Item, TRect Rect, TOwnerDrawState State)
{
  if (OnDrawItem) {
    inherited::DrawItem(Item, Rect, State);
    return;
  }
  DoCustomDraw(Item, cdPrePaint);
}

bool THtmlListView::CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage)
{
  if (OnAdvancedCustomDrawItem)
    return inherited::CustomDrawItem(Item, State, Stage);
  // The whole row is drawn before the list's own drawing would start.
  if (Stage == cdPrePaint)
    DoCustomDraw(Item, Stage);
  return false;
}

void THtmlListView::DoCustomDraw(TListItem* Item, TCustomDrawStage Stage)
{
  (void)Stage;
  const std::unique_ptr<THtmlParser> parser = TCustomHtmlLabel::CreateParser();
  const auto renderer = std::make_unique<THtmlRenderer>();
  String text = Item->Caption();
  if (OnFormatItem)
    OnFormatItem(this, Item, text);

  TCanvas* canvas = Canvas();
  const bool selected = Item->Selected();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(selected ? clHighlight : Item->Index() % 2 == 0 ? EvenRowColor : OddRowColor);
  canvas->Font()->SetColor(selected ? clHighlightText : clBlack);
  canvas->FillRect(Item->DisplayRect(drBounds));
  canvas->Brush()->SetStyle(bsClear);

  const TRect icon = Item->DisplayRect(drIcon);
  if (StateImages() && Item->StateIndex() >= 0)
    StateImages()->Draw(canvas, 4, icon.Top, Item->StateIndex());
  if (SmallImages() && Item->ImageIndex() >= 0)
    SmallImages()->Draw(canvas, icon.Left, icon.Top, Item->ImageIndex());

  parser->SetDefaultFont(canvas->Font());
  parser->Parse(text);
  renderer->SetHtml(parser->Root());
  TRect textRect = Item->DisplayRect(drLabel);
  textRect.Left += 3;
  textRect.Top += 2;
  renderer->SetAutoHeight(true);
  renderer->SetEllipsisPosition(epEndEllipsis);
  renderer->Reparse(textRect);
  renderer->PaintTo(canvas, textRect);
  DrawSubItems(Item, textRect);
}

void THtmlListView::DrawSubItems(TListItem* Item, const TRect& TextRect)
{
  TCanvas* canvas = Canvas();
  Integer left = TextRect.Right;
  for (Integer i = 0; i < Item->SubItems()->Count() && i + 1 < Columns()->Count(); ++i) {
    const TListColumn* column = Columns()->Items(i + 1);
    const TRect cell(left, TextRect.Top, left + column->Width(), TextRect.Bottom);
    left = cell.Right;
    TRect inset(cell.Left + kCellInset, cell.Top, cell.Right - kCellInset, cell.Bottom);
    String subItem = Item->SubItems()->Strings(i);
    canvas->TextRect(inset, subItem, AlignedAs(column->Alignment()));
    if (SmallImages() && Item->SubItemImages(i) >= 0)
      SmallImages()->Draw(canvas, cell.Left + 2, TextRect.Top - 1, Item->SubItemImages(i));
  }
}

// What the framework's list view publishes, and the format event.
QX_PUBLISHED(THtmlListView)
{
  Publish("ParentColor").Default(false);
  for (const char* name :
       {"Align", "Anchors", "Color", "Columns", "Constraints", "Enabled", "ParentFont", "Font", "ParentShowHint",
        "ShowHint", "PopupMenu", "TabOrder", "Visible", "ViewStyle", "OwnerData", "OwnerDraw", "MultiSelect",
        "RowSelect", "ReadOnly", "HideSelection", "HotTrack", "GridLines", "ShowColumnHeaders", "Checkboxes",
        "SmallImages", "StateImages", "DoubleBuffered", "OnClick", "OnContextPopup", "OnDblClick", "OnEnter",
        "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnData",
        "OnDrawItem", "OnSelectItem", "OnChange", "OnChanging", "OnColumnClick", "OnCustomDraw",
        "OnAdvancedCustomDrawItem", "OnAdvancedCustomDrawSubItem"})
    Publish(name);
  Publish("TabStop").Default(true);
  Event("OnFormatItem", &T::OnFormatItem);
}

} // namespace Quorex

// The look of an open popup menu level: its layout from the items' texts and
// images, and its painting in the themed look (the style engine's MENU parts)
// or the classic one (system colours and 3-D edges).
#include "Vcl.Menus.Internal.hpp"

#include "Vcl.Menus.ItemDraw.hpp"
#include "Vcl.Themes.hpp"

#include <Win.Gdi.Guards.hpp>
#include <Win.Screen.hpp>

#include <algorithm>

namespace Vcl::MenusInternal {

Integer Scaled(Integer Px)
{
  return Win::MulDiv(Px, Win::ScreenSettings().LogPixels, 96);
}

bool HasVisibleItems(const TMenuItem* Item)
{
  for (Integer i = 0; i < Item->Count(); ++i)
    if (Item->Items(i)->Visible())
      return true;
  return false;
}

namespace {

// Metrics at 96 DPI, scaled on use.
constexpr Integer kBorder = 3, kImageMargin = 4, kGutterPad = 6, kMinGlyph = 16, kShortCutGap = 24,
                  kArrowColumn = 18, kTextPad = 8, kSeparatorThemed = 7, kSeparatorClassic = 9,
                  kItemThemed = 22, kItemClassic = 20;

bool Themed()
{
  return StyleServices()->Enabled();
}

void SelectItemFont(TCanvas& Canvas, const TMenuItem* Item)
{
  TFont font;
  if (Item->Default())
    font.SetStyle({fsBold});
  Canvas.SetFont(&font);
}

bool HasImage(const TMenuItem* Item, TCustomImageList* Images)
{
  return Images && Item->ImageIndex() >= 0 && Item->ImageIndex() < Images->Count();
}

// The check and image column.
Integer GutterWidth(TCustomImageList* Images)
{
  Integer glyph = std::max(Scaled(kMinGlyph), Images ? Images->Width() : 0);
  return Scaled(kImageMargin) + glyph + Scaled(kGutterPad);
}

Integer ItemHeight(const TMenuItem* Item, TCanvas& Canvas, TCustomImageList* Images, bool IsThemed)
{
  if (Item->IsLine())
    return Scaled(IsThemed ? kSeparatorThemed : kSeparatorClassic);
  SelectItemFont(Canvas, Item);
  Integer text = Canvas.TextHeight("Wg") + Scaled(6);
  Integer image = HasImage(Item, Images) ? Images->Height() + Scaled(4) : 0;
  return std::max({text, image, Scaled(IsThemed ? kItemThemed : kItemClassic)});
}

TColor ItemTextColor(const TMenuItem* Item, bool Hot, bool IsThemed)
{
  if (IsThemed) {
    TThemedMenu state = Item->Enabled() ? tmPopupItemNormal : tmPopupItemDisabled;
    TColor color = clMenuText;
    StyleServices()->GetElementColor(StyleServices()->GetElementDetails(state), ecTextColor, color);
    return color;
  }
  if (!Item->Enabled())
    return clGrayText;
  return Hot ? clHighlightText : clMenuText;
}

void DrawItemText(TCanvas& Canvas, const String& Text, TRect R, Win::UINT Format, TColor Color)
{
  Win::HDC dc = Canvas.Handle();
  Win::SetBkMode(dc, Win::TRANSPARENT);
  Win::SetTextColor(dc, Win::COLORREF(ColorToRGB(Color)));
  Win::DrawText(dc, Text.c_str(), Integer(Text.size()), &R, Format | Win::DT_SINGLELINE | Win::DT_VCENTER);
}

// Classic disabled text is embossed: a highlight copy one pixel down and
// right under the grey one.
void DrawClassicText(TCanvas& Canvas, const String& Text, const TRect& R, Win::UINT Format, const TMenuItem* Item,
                     bool Hot)
{
  if (!Item->Enabled() && !Hot) {
    TRect shifted = R;
    shifted.Offset(1, 1);
    DrawItemText(Canvas, Text, shifted, Format, clBtnHighlight);
    DrawItemText(Canvas, Text, R, Format, clBtnShadow);
    return;
  }
  DrawItemText(Canvas, Text, R, Format, ItemTextColor(Item, Hot, false));
}

void DrawSeparator(Win::HDC DC, const TRect& R, bool IsThemed)
{
  if (IsThemed) {
    TRect line(R.Left + Scaled(2), R.Top, R.Right - Scaled(2), R.Bottom);
    StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(tmPopupSeparator), line);
    return;
  }
  Integer middle = R.Top + R.Height() / 2 - 1;
  Win::RECT etched(R.Left + 1, middle, R.Right - 1, middle + 2);
  Win::DrawEdge(DC, &etched, Win::EDGE_ETCHED, Win::BF_TOP);
}

// A classic check mark or radio bullet in the text colour, centred in Box.
void DrawClassicCheck(TCanvas& Canvas, const TRect& Box, bool Bullet, TColor Color)
{
  TPoint c = Box.CenterPoint();
  Integer u = Scaled(1);
  Canvas.Pen()->SetColor(Color);
  Canvas.Brush()->SetColor(Color);
  Canvas.Brush()->SetStyle(bsSolid);
  if (Bullet) {
    Canvas.Ellipse(c.X - 3 * u, c.Y - 3 * u, c.X + 3 * u + 1, c.Y + 3 * u + 1);
    return;
  }
  for (Integer t = 0; t < 3 * u; ++t) {
    Canvas.MoveTo(c.X - 3 * u, c.Y - u + t);
    Canvas.LineTo(c.X - u, c.Y + u + t);
    Canvas.LineTo(c.X + 4 * u, c.Y - 4 * u + t);
  }
}

void DrawCheck(TCanvas& Canvas, const TRect& Box, const TMenuItem* Item, bool Hot, bool IsThemed, bool WithImage)
{
  Win::HDC dc = Canvas.Handle();
  if (!IsThemed) {
    if (WithImage) {
      Win::RECT frame = Box;
      Win::DrawEdge(dc, &frame, Win::BDR_SUNKENOUTER, Win::BF_RECT);
    } else {
      DrawClassicCheck(Canvas, Box, Item->RadioItem(), ItemTextColor(Item, Hot, false));
    }
    return;
  }
  TThemedMenu back = WithImage ? tmPopupCheckBackgroundBitmap
                               : (Item->Enabled() ? tmPopupCheckBackgroundNormal : tmPopupCheckBackgroundDisabled);
  StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(back), Box);
  if (WithImage)
    return;
  TThemedMenu mark = Item->RadioItem() ? (Item->Enabled() ? tmPopupBulletNormal : tmPopupBulletDisabled)
                                       : (Item->Enabled() ? tmPopupCheckMarkNormal : tmPopupCheckMarkDisabled);
  StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(mark), Box);
}

void DrawSubMenuArrow(TCanvas& Canvas, const TRect& R, const TMenuItem* Item, bool Hot, bool IsThemed)
{
  TRect column(R.Right - Scaled(kArrowColumn), R.Top, R.Right, R.Bottom);
  if (IsThemed) {
    TThemedMenu state = Item->Enabled() ? tmPopupSubMenuNormal : tmPopupSubMenuDisabled;
    StyleServices()->DrawElement(Canvas.Handle(), StyleServices()->GetElementDetails(state), column);
    return;
  }
  TPoint c = column.CenterPoint();
  Integer u = Scaled(1);
  TColor color = ItemTextColor(Item, Hot, false);
  Canvas.Pen()->SetColor(color);
  Canvas.Brush()->SetColor(color);
  Canvas.Brush()->SetStyle(bsSolid);
  Canvas.Polygon({TPoint(c.X - 2 * u, c.Y - 4 * u), TPoint(c.X + 2 * u, c.Y), TPoint(c.X - 2 * u, c.Y + 4 * u)});
}

void DrawItemBackground(Win::HDC DC, const TRect& R, const TMenuItem* Item, bool Hot, bool IsThemed)
{
  if (IsThemed) {
    if (Hot) {
      TThemedMenu state = Item->Enabled() ? tmPopupItemHot : tmPopupItemDisabledHot;
      StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(state), R);
    }
    return;
  }
  if (Hot && Item->Enabled()) {
    Win::HBRUSH brush = Win::GetSysColorBrush(Win::COLOR_HIGHLIGHT);
    Win::FillRect(DC, &R, brush);
  }
}

void PaintItem(TCanvas& Canvas, const TMenuLayout& Layout, const TLaidOutItem& Laid, bool Hot,
               TCustomImageList* Images)
{
  const TMenuItem* item = Laid.Item;
  const TRect& r = Laid.Rect;
  if (item->IsLine()) {
    DrawSeparator(Canvas.Handle(), r, Layout.Themed);
    return;
  }
  DrawItemBackground(Canvas.Handle(), r, item, Hot, Layout.Themed);
  Integer glyph = std::max(Scaled(kMinGlyph), Images ? Images->Width() : 0);
  Integer glyphLeft = r.Left + Scaled(kImageMargin);
  TRect box(glyphLeft - Scaled(2), r.Top + Scaled(1), glyphLeft + glyph + Scaled(2), r.Bottom - Scaled(1));
  bool image = HasImage(item, Images);
  if (item->Checked())
    DrawCheck(Canvas, box, item, Hot, Layout.Themed, image);
  if (image)
    Images->Draw(&Canvas, glyphLeft + (glyph - Images->Width()) / 2, r.Top + (r.Height() - Images->Height()) / 2,
                 item->ImageIndex(), item->Enabled());
  SelectItemFont(Canvas, item);
  TRect text(Layout.TextLeft, r.Top, Layout.ShortCutRight, r.Bottom);
  String shortCut = ShortCutToText(item->ShortCut());
  auto draw = [&](const String& s, Win::UINT format) {
    if (Layout.Themed)
      DrawItemText(Canvas, s, text, format, ItemTextColor(item, Hot, true));
    else
      DrawClassicText(Canvas, s, text, format, item, Hot);
  };
  draw(item->Caption(), Win::DT_LEFT);
  if (!shortCut.empty())
    draw(shortCut, Win::DT_RIGHT | Win::DT_NOPREFIX);
  if (item->Count() > 0)
    DrawSubMenuArrow(Canvas, r, item, Hot, Layout.Themed);
}

} // namespace

TMenuLayout LayOutMenu(const TMenuItem* Parent)
{
  TMenuLayout layout;
  layout.Themed = Themed();
  TCustomImageList* images = Parent->GetImageList();
  Win::TMemoryDC memory(nullptr, 1, 1);
  TCanvas canvas;
  canvas.SetHandle(memory.DC());
  Integer captions = 0, shortCuts = 0, top = Scaled(kBorder);
  for (Integer i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    if (!item->Visible())
      continue;
    Integer height = ItemHeight(item, canvas, images, layout.Themed);
    layout.Items.push_back({item, TRect(0, top, 0, top + height)});
    top += height;
    if (item->IsLine())
      continue;
    SelectItemFont(canvas, item);
    captions = std::max(captions, canvas.TextWidth(StripHotkey(item->Caption())));
    shortCuts = std::max(shortCuts, canvas.TextWidth(ShortCutToText(item->ShortCut())));
  }
  canvas.SetHandle(nullptr);
  Integer border = Scaled(kBorder);
  layout.TextLeft = border + GutterWidth(images);
  layout.ShortCutRight = layout.TextLeft + captions + (shortCuts > 0 ? Scaled(kShortCutGap) + shortCuts : 0);
  Integer width = layout.ShortCutRight + Scaled(kTextPad) + Scaled(kArrowColumn) + border;
  for (TLaidOutItem& laid : layout.Items) {
    laid.Rect.Left = border;
    laid.Rect.Right = width - border;
  }
  layout.Size = TSize(width, top + border);
  return layout;
}

void PaintMenu(Win::HDC DC, const TMenuLayout& Layout, Integer Hot, TCustomImageList* Images)
{
  TRect client(0, 0, Layout.Size.cx, Layout.Size.cy);
  TCanvas canvas;
  canvas.SetHandle(DC);
  if (Layout.Themed) {
    StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(tmPopupBackground), client);
    StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(tmPopupBorders), client);
  } else {
    Win::FillRect(DC, &client, Win::GetSysColorBrush(Win::COLOR_MENU));
    Win::RECT edge = client;
    Win::DrawEdge(DC, &edge, Win::EDGE_RAISED, Win::BF_RECT);
  }
  for (std::size_t i = 0; i < Layout.Items.size(); ++i)
    PaintItem(canvas, Layout, Layout.Items[i], Integer(i) == Hot, Images);
  canvas.SetHandle(nullptr);
}

} // namespace Vcl::MenusInternal

namespace Vcl {

void DrawMenuItem(TMenuItem* Item, TCanvas* Canvas, const TRect& R, bool Selected)
{
  using namespace MenusInternal;
  TCustomImageList* images = Item->GetImageList();
  TMenuLayout layout;
  layout.Themed = Themed();
  layout.TextLeft = R.Left + GutterWidth(images);
  layout.ShortCutRight = R.Right - Scaled(kTextPad);
  PaintItem(*Canvas, layout, TLaidOutItem{Item, R}, Selected, images);
}

} // namespace Vcl

// A dialog framed by a header bar with its caption and a footer bar whose
// layout panel spreads the buttons with a spacer; expand panels; item
// panels in each state, plain and glass; image controls centred and not.
// The tour collapses the live expand panel and shows the page at 144 DPI.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.FooterBar.hpp>
#include <Quorex.Vcl.HeaderBar.hpp>
#include <Quorex.Vcl.Image.hpp>
#include <Quorex.Vcl.ItemPanel.hpp>
#include <Quorex.Vcl.LayoutPanel.hpp>
#include <Quorex.Vcl.SystemIcons.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kTop = 84, kExpandLeft = 488, kImagesLeft = 736, kItemsTop = 372;

template <class T>
T* Put(T* Control, TWinControl* Parent, int Left, int Top, int Width, int Height)
{
  Control->SetBounds(Left, Top, Width, Height);
  Control->SetParent(Parent);
  return Control;
}

TQxPanel* Plain(TComponent* Owner, TWinControl* Parent, const TRect& Bounds, TColor Colour)
{
  auto* panel = Put(new TQxPanel(Owner), Parent, Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
  panel->SetParentColor(false);
  panel->SetColor(Colour);
  return panel;
}

} // namespace

TPanelsPage::TPanelsPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Panels");
  AddLabel("<font color=clGray>Header and footer bars, layout, expand and item panels, image controls.</font>",
           kMargin + 100, 20);
  BuildDialog();
  BuildExpandPanels();
  BuildImages();
  BuildItemPanels();
  BuildRows();
}

void TPanelsPage::BuildDialog()
{
  AddLabel("<b>Header and footer bars</b>", kMargin, kTop - 24);
  Plain(this, Client(), TRect(kMargin - 1, kTop - 1, kMargin + 441, kTop + 241), clSilver);
  TQxPanel* dialog = Plain(this, Client(), TRect(kMargin, kTop, kMargin + 440, kTop + 240), clWhite);

  auto* header = new THeaderBar(this);
  header->SetBarSize(bsMedium);
  header->SetParent(dialog);
  AddLabel("<font color=clWhite size=12><b>Header bar</b></font>", 14, 9, 0, header);

  AddLabel("A medium header bar with a caption on it, and a medium footer bar whose layout panel lines the "
           "buttons up: <i>Help</i> on the left, a dynamic spacer taking the free width, <i>OK</i> and "
           "<i>Cancel</i> on the right.",
           14, 56, 410, dialog);

  auto* footer = new TFooterBar(this);
  footer->SetBarSize(bsMedium);
  footer->SetParent(dialog);
  auto* row = new TQxLayoutPanel(this);
  row->SetAlign(alClient);
  row->SetTransparent(true);
  row->Padding()->SetLeft(10);
  row->Padding()->SetRight(10);
  row->SetSpacing(8);
  row->SetParent(footer);
  // The row follows the children's Left: each placed one pixel after the last.
  row->DisableAlign();
  int order = 0;
  auto button = [&](const String& Caption) {
    Put(new TQxButton(this), row, ++order, 0, 80, 26)->SetCaption(Caption);
  };
  button("Help");
  Put(new TQxDynamicSpacer(this), row, ++order, 0, 16, 16);
  button("OK");
  button("Cancel");
  row->EnableAlign();
}

void TPanelsPage::BuildExpandPanels()
{
  AddLabel("<b>Expand panels</b>", kExpandLeft, kTop - 24);
  auto panel = [this](int Top, const String& Caption, const String& Text) {
    auto* p = new TQxExpandPanel(this);
    p->SetLeft(kExpandLeft);
    p->SetTop(Top);
    p->SetWidth(220);
    p->SetParentColor(false);
    p->SetColor(TColor(0x00FCFAF8));
    p->SetHeaderColor(TColor(0x00F0E4DA));
    p->SetParent(Client());
    AddLabel(Caption, 28, 4, 0, p);
    AddLabel("<font color=clGray>" + Text + "</font>", 12, 34, 196, p);
    return p;
  };
  Expand = panel(kTop, "<b>Live</b>", "A click anywhere on the header collapses the panel to its strip; "
                                       "another brings it back to its full height.");
  Expand->SetExpanded(true);
  TQxExpandPanel* collapsed =
    panel(kTop + 160, "<b>Collapsed</b>", "With ActiveHeader off only the glyph answers the mouse.");
  collapsed->SetActiveHeader(false);
  collapsed->SetExpanded(true);
  collapsed->SetExpanded(false);
  AddLabel("<font color=clGray>Collapsed to its 24-pixel header.</font>", kExpandLeft, kTop + 192);
}

void TPanelsPage::BuildImages()
{
  AddLabel("<b>Image controls</b>", kImagesLeft, kTop - 24);
  auto* icons = new TQxSystemIconList(this);
  icons->FillList();
  auto image = [&](int Column, int Row, int Width, int Height, bool Center, const String& Note) {
    const int x = kImagesLeft + Column * 100, y = kTop + Row * 96;
    TQxPanel* frame = Plain(this, Client(), Bounds(x, y, Width, Height), TColor(0x00E8E0D8));
    auto* control = Put(new TQxImage(this), frame, 0, 0, Width, Height);
    control->SetCenter(Center);
    control->SetImages(icons);
    control->SetImageIndex(icons->GetIndex(TQxIconType(Row * 2 + Column)));
    AddLabel("<font color=clGray>" + Note + "</font>", x, y + Height + 6);
    return control;
  };
  image(0, 0, 64, 48, true, "centred");
  image(1, 0, 64, 48, false, "top left");
  image(0, 1, 24, 24, true, "larger: clipped");
  TQxImage* sized = image(1, 1, 64, 48, true, "AutoSize");
  sized->SetAutoSize(true);
}

void TPanelsPage::BuildItemPanels()
{
  AddLabel("<b>Item panels</b>", kMargin, kItemsTop - 24);
  struct TLook {
    const char* Caption;
    TItemPanelState State;
    TItemPanelStyle Style;
    TColor Begin, End, Border;
    const char* Ink;
  };
  const TLook looks[] = {
    {"Normal", ipsNormal, istGradient, 0, 0, 0, "clBlack"},
    {"Hot", ipsHot, istGradient, 0, 0, 0, "clBlack"},
    {"Selected", ipsSelected, istGradient, 0, 0, 0, "clBlack"},
    {"Custom", ipsCustom, istGradient, TColor(0x00DCF0FF), TColor(0x0090C8F8), TColor(0x003080D0), "clBlack"},
    {"Custom glass", ipsCustom, istGlass, TColor(0x00B07030), TColor(0x00603010), TColor(0x00401800), "clWhite"},
  };
  // On a grey strip, so that the plain white normal state shows.
  TQxPanel* strip = Plain(this, Client(), TRect(kMargin, kItemsTop, kMargin + 16 + 5 * 156, kItemsTop + 72),
                          TColor(0x00F0F0F0));
  int x = 16;
  for (const TLook& look : looks) {
    auto* panel = Put(new TItemPanel(this), strip, x, 12, 140, 48);
    panel->SetState(look.State);
    panel->SetStyle(look.Style);
    panel->SetGradientBegin(look.Begin);
    panel->SetGradientEnd(look.End);
    panel->SetBorderColor(look.Border);
    AddLabel(String("<font color=") + look.Ink + "><b>" + look.Caption + "</b></font>", 12, 15, 0, panel);
    x += 156;
  }
}

void TPanelsPage::BuildRows()
{
  const int top = kItemsTop + 112;
  AddLabel("<b>Layout panels</b> <font color=clGray>top, centre and bottom; the spacer keeps the last block "
           "at the right edge</font>",
           kMargin, top - 24);
  const TVerticalLayout layouts[] = {vlTop, vlCenter, vlBottom};
  const TColor blocks[] = {TColor(0x00C09060), TColor(0x0060A0E0), TColor(0x0080C080)};
  for (int i = 0; i < 3; ++i) {
    auto* row = new TQxLayoutPanel(this);
    row->SetBounds(kMargin + i * 264, top, 250, 64);
    row->SetParentColor(false);
    row->SetColor(TColor(0x00F0F0F0));
    row->SetLayoutVertical(layouts[i]);
    row->Padding()->SetBounds(6, 6, 6, 6);
    row->SetSpacing(6);
    row->SetParent(Client());
    row->DisableAlign();
    for (int b = 0; b < 3; ++b)
      Plain(this, row, Bounds(b * 10, 0, 40, 20 + b * 10), blocks[b]);
    Put(new TQxDynamicSpacer(this), row, 15, 0, 16, 16);
    row->EnableAlign();
  }
}

} // namespace Gallery

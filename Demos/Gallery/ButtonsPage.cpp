// The buttons page: a sheet of every theme and style in each state, drawn by
// the buttons' own painters, beside live buttons for the mouse, the image
// alignments and the shield.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.SystemIcons.hpp>
#include <Vcl.Menus.hpp>

#include <array>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16;
constexpr int kSheetLeft = 112, kSheetTop = 72, kCellWidth = 112, kCellHeight = 22, kRowPitch = 24, kGroupGap = 6;
constexpr int kLiveLeft = kSheetLeft + 6 * kCellWidth + 24, kLiveWidth = 150;

// One look of the sheet: what the button copies into its painter, set by
// hand, so a state the mouse cannot hold still (hot, pressed) shows too.
struct TLook {
  TUIControlState State = uicsNormal;
  TUIControlState SplitState = uicsNormal;
  bool Focused = false;
};

enum TColumn { colNormal, colHot, colPressed, colDisabled, colFocused, colCheckedOrOpen };
constexpr const char* ColumnNames[] = {"normal", "hot", "pressed", "disabled", "focused", "checked / open"};
constexpr const char* ThemeNames[] = {"Standard", "Flat", "Glass", "Solid", "Static"};
constexpr const char* StyleCaptions[] = {"Push", "Drop-down", "Split", "Check"};

TLook LookOf(TColumn Column, TQxButtonStyle Style)
{
  switch (Column) {
  case colNormal:
    return {};
  case colHot:
    return {uicsHot, uicsHot};
  case colPressed:
    return {uicsPressed, uicsPressed};
  case colDisabled:
    return {uicsDisabled, uicsDisabled};
  case colFocused:
    return {uicsNormal, uicsNormal, true};
  case colCheckedOrOpen:
    // A checked check button shows pressed; a split button's open menu
    // presses its drop-down part.
    if (Style == bsSplitButton)
      return {uicsHot, uicsPressed};
    return {uicsPressed, Style == bsCheckButton ? uicsNormal : uicsPressed};
  }
  return {};
}

TQxButtonViewStyle ViewOf(TQxButtonStyle Style)
{
  return Style == bsDropDownButton ? bvsDropDown : Style == bsSplitButton ? bvsSplit : bvsNormal;
}

// A cell of the sheet: paints through a painter the page shares.
class TButtonFace : public TGraphicControl {
public:
  TButtonFace(TComponent* AOwner, TQxButtonPainter* Painter, TQxButtonStyle Style, TLook Look)
    : TGraphicControl(AOwner), FPainter(Painter), FStyle(Style), FLook(Look)
  {
  }

protected:
  void Paint() override
  {
    TQxButtonPainter& p = *FPainter;
    p.FCanvas = Canvas();
    p.FRect = ClientRect();
    p.FCaption = StyleCaptions[int(FStyle)];
    p.FFont = Font();
    p.FStyle = ViewOf(FStyle);
    p.FState = FLook.State;
    p.FSplitState = FLook.SplitState;
    p.FFocused = FLook.Focused;
    p.FColor = TColor(0x00F2BC00);
    p.FImageMargins = &FMargins;
    p.Paint();
  }

private:
  TQxButtonPainter* FPainter;
  TQxButtonStyle FStyle;
  TLook FLook;
  TImageMargins FMargins;
};

} // namespace

struct TButtonsPage::TPainters {
  std::array<std::unique_ptr<TQxButtonPainter>, 5> ByTheme;
};

TButtonsPage::~TButtonsPage() = default;

TButtonsPage::TButtonsPage(TComponent* AOwner) : TGalleryPage(AOwner), FPainters(std::make_unique<TPainters>())
{
  AddTitle("Buttons");
  AddLabel("<font color=clGray>Five themes, four styles, each state; the live buttons on the right answer the "
           "mouse and the keyboard.</font>",
           kMargin + 110, 20);
  for (int c = 0; c < 6; ++c)
    AddLabel(String("<font color=clGray>") + ColumnNames[c] + "</font>", kSheetLeft + c * kCellWidth + 4,
             kSheetTop - 20);
  int top = kSheetTop;
  for (int t = 0; t < 5; ++t) {
    FPainters->ByTheme[size_t(t)] = CreateButtonPainter(TQxButtonTheme(t));
    AddLabel(String("<b>") + ThemeNames[t] + "</b>", kMargin, top + 3);
    for (int s = 0; s < 4; ++s, top += kRowPitch)
      for (int c = 0; c < 6; ++c) {
        const auto style = TQxButtonStyle(s);
        if (c == colCheckedOrOpen && style == bsPushButton)
          continue;
        auto* face = new TButtonFace(this, FPainters->ByTheme[size_t(t)].get(), style, LookOf(TColumn(c), style));
        face->SetBounds(kSheetLeft + c * kCellWidth, top, kCellWidth - 8, kCellHeight);
        face->SetParent(Client());
      }
    top += kGroupGap;
  }

  auto* icons = new TQxSystemIconList(this);
  icons->SetWidth(16);
  icons->SetHeight(16);
  icons->FillList();
  auto add = [&](const String& Caption, int Top, int Height, TQxButtonTheme Theme, TQxButtonStyle Style) {
    auto* button = new TQxButton(this);
    button->SetBounds(kLiveLeft, Top, kLiveWidth, Height);
    button->SetCaption(Caption);
    button->SetButtonTheme(Theme);
    button->SetButtonStyle(Style);
    button->SetParent(Client());
    button->OnClick = [Caption](TObject*) { EventLog().push_back("button clicked: " + Caption); };
    return button;
  };
  AddLabel("<b>Live</b>", kLiveLeft, kSheetTop - 20);
  Menu = new TPopupMenu(this);
  const struct {
    const char* Caption;
    TShortCut ShortCut;
    bool Checked;
  } items[] = {{"&New", ShortCut('N', {ssCtrl}), false},     {"&Open...", ShortCut('O', {ssCtrl}), false},
               {"&Save", ShortCut('S', {ssCtrl}), false},    {cLineCaption, scNone, false},
               {"Show &toolbar", scNone, true},              {"E&xit", scNone, false}};
  for (const auto& i : items) {
    auto* item = new TMenuItem(this);
    item->SetCaption(i.Caption);
    item->SetShortCut(i.ShortCut);
    item->SetChecked(i.Checked);
    const String caption = i.Caption;
    item->OnClick = [caption](TObject*) { EventLog().push_back("menu item: " + caption); };
    Menu->Items()->Add(item);
  }
  MenuButton = add("Glass menu", kSheetTop, 28, btGlass, bsDropDownButton);
  MenuButton->SetDropDownMenu(Menu);
  add("Standard split", kSheetTop + 34, 28, btStandard, bsSplitButton)->SetDropDownMenu(Menu);
  add("Solid toggle", kSheetTop + 68, 28, btSolid, bsCheckButton);
  add("Run as admin", kSheetTop + 102, 28, btStandard, bsPushButton)->SetElevationRequired(true);

  AddLabel("<b>Image alignment</b>", kLiveLeft, kSheetTop + 142);
  const struct {
    TImageAlignment Alignment;
    const char* Caption;
    int Height;
  } alignments[] = {{iaLeft, "Left", 28}, {iaRight, "Right", 28}, {iaTop, "Top", 44}, {iaBottom, "Bottom", 44},
                    {iaCenter, "", 28}};
  int y = kSheetTop + 164;
  for (const auto& a : alignments) {
    TQxButton* button = add(a.Caption, y, a.Height, btStandard, bsPushButton);
    button->SetImages(icons);
    button->SetImageIndex(icons->GetIndex(itInformation));
    button->SetImageAlignment(a.Alignment);
    button->ImageMargins()->SetLeft(a.Alignment == iaLeft ? 6 : 0);
    button->ImageMargins()->SetRight(a.Alignment == iaRight ? 6 : 0);
    button->ImageMargins()->SetTop(a.Alignment == iaTop ? 4 : 0);
    button->ImageMargins()->SetBottom(a.Alignment == iaBottom ? 4 : 0);
    y += a.Height + 6;
  }
}

} // namespace Gallery

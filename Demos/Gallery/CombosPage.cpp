// The combos page: a hold combo box with the system's icons (the tour opens
// it, hovers an item, picks one and rolls the wheel), the check combo box,
// coloured progress bars at 20, 50 and 80 and rings at 0, 25, 75 and 100.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.CheckCombobox.hpp>
#include <Quorex.Vcl.ColoredProgressBar.hpp>
#include <Quorex.Vcl.HoldCombobox.hpp>
#include <Quorex.Vcl.RingProgress.hpp>
#include <Quorex.Vcl.SystemIcons.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kTop = 136, kColumn = 300, kRowPitch = 44;

template <class T>
T* Put(T* Control, TWinControl* Parent, int Left, int Top, int Width, int Height)
{
  Control->SetBounds(Left, Top, Width, Height);
  Control->SetParent(Parent);
  return Control;
}

} // namespace

TCombosPage::TCombosPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Combos");
  AddLabel("<font color=clGray>The hold combo opens its list with the chosen item over the button; the wheel steps "
           "through the items. Progress shows as a bar that turns from red to yellow to green, or as a ring.</font>",
           kMargin + 150, 20, 600);
  BuildCombos();
  BuildBars();
  BuildRings();
}

void TCombosPage::BuildCombos()
{
  AddLabel("<b>Hold combo</b>", kMargin, kTop + 4);
  auto* icons = new TQxSystemIconList(this);
  icons->SetWidth(16);
  icons->SetHeight(16);
  icons->FillList();
  // It fills its parent unless told otherwise, before it has one.
  Hold = new THoldCombobox(this);
  Hold->SetAlign(alNone);
  Put(Hold, Client(), kMargin + 120, kTop, 180, 26);
  Hold->SetImages(icons);
  const struct {
    const char* Caption;
    TQxIconType Icon;
  } items[] = {{"Information", itInformation}, {"Question", itQuestion}, {"Warning", itWarning},
               {"Error", itError},             {"Administrator", itShield}};
  for (const auto& item : items) {
    TComboItem* added = Hold->Items()->Add();
    added->SetCaption(item.Caption);
    added->SetImageIndex(icons->GetIndex(item.Icon));
  }
  Hold->SetItemIndex(2);
  Hold->OnChange = [this](TObject*) { EventLog().push_back("combo: " + Hold->GetDisplayCaption()); };
  AddLabel("<font color=clGray>Press it, or roll the wheel over it.</font>", kMargin + 120, kTop + 34);

  AddLabel("<b>Check combo</b>", kMargin + kColumn + 120, kTop + 4);
  Check = Put(new TQxCheckCombobox(this), Client(), kMargin + kColumn + 230, kTop, 180, 24);
  for (const char* s : {"Bold", "Italic", "Underline"})
    Check->Items()->Add(s);
  AddLabel("<font color=clGray>A click drops its list; the next one closes it.</font>", kMargin + kColumn + 230,
           kTop + 34);
}

void TCombosPage::BuildBars()
{
  const int top = kTop + 3 * kRowPitch;
  AddLabel("<b>Progress bars</b>", kMargin, top - 28);
  int row = 0;
  for (int position : {20, 50, 80}) {
    const int y = top + row++ * 28;
    AddLabel(std::to_string(position) + "%", kMargin, y - 4);
    auto* bar = Put(new TQxColoredProgressBar(this), Client(), kMargin + 60, y, 300, 10);
    bar->SetPosition(position);
  }
}

void TCombosPage::BuildRings()
{
  const int top = kTop + 3 * kRowPitch;
  AddLabel("<b>Rings</b>", kMargin + 420, top - 28);
  int column = 0;
  for (int position : {0, 25, 75, 100}) {
    const int x = kMargin + 420 + column++ * 96;
    auto* ring = Put(new TQxRingProgress(this), Client(), x, top, 72, 72);
    ring->SetPosition(position);
    AddLabel("<font color=clGray>" + std::to_string(position) + "</font>", x + 28, top + 80);
  }
}

} // namespace Gallery

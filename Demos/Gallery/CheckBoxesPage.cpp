// The check boxes page: each state enabled and disabled, with and without
// the shield, sized by themselves; and a live box that cycles through
// grayed. The look menu (or the tour) switches between both looks.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.CheckBox.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16;
constexpr int kGridLeft = 150, kGridTop = 96, kColumnWidth = 150, kRowPitch = 30;
constexpr const char* StateNames[] = {"Unchecked", "Checked", "Grayed"};

} // namespace

TQxCheckBox* TCheckBoxesPage::AddCheckBox(const String& Caption, Integer X, Integer Y)
{
  auto* box = new TQxCheckBox(this);
  box->SetLeft(X);
  box->SetTop(Y);
  box->SetCaption(Caption);
  box->SetParent(Client());
  box->SetAutoSize(true);
  return box;
}

TCheckBoxesPage::TCheckBoxesPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Check boxes");
  AddLabel("<font color=clGray>Each state, enabled and disabled, with and without the elevation shield; every box "
           "sizes itself to its mark, caption and shield.</font>",
           kMargin + 150, 20);
  const char* rows[] = {"<b>Plain</b>", "<b>Disabled</b>", "<b>Shield</b>", "<b>Shield, disabled</b>"};
  for (int r = 0; r < 4; ++r) {
    const int top = kGridTop + r * kRowPitch;
    AddLabel(rows[r], kMargin, top + 1);
    for (int s = 0; s < 3; ++s) {
      TQxCheckBox* box = AddCheckBox(StateNames[s], kGridLeft + s * kColumnWidth, top);
      box->SetAllowGrayed(true);
      box->SetState(TCheckBoxState(s));
      box->SetEnabled(r % 2 == 0);
      box->SetElevationRequired(r >= 2);
    }
  }
  const int liveTop = kGridTop + 4 * kRowPitch + 24;
  AddLabel("<b>Live</b>", kMargin, liveTop + 1);
  Live = AddCheckBox("Allow grayed: click to cycle", kGridLeft, liveTop);
  Live->SetAllowGrayed(true);
  Live->OnClick = [this](TObject*) { EventLog().push_back("check box: " + String(StateNames[int(Live->State())])); };
  AddCheckBox("Caption on the left", kGridLeft + 2 * kColumnWidth, liveTop)->SetAlignment(taLeftJustify);
  AddCheckBox("Install for all users", kGridLeft, liveTop + kRowPitch)->SetElevationRequired(true);
}

} // namespace Gallery

// The editors page: an edit keeping its text clear of a child at its right
// edge, an empty one showing its hint and one in capitals; search edits empty, with text and (in the tour) with the clear
// button hovered; address edits with a valid and an invalid address; a path
// edit; IP address edits with an address, cleared and with restricted
// ranges; spin edits normal, read-only, with the editor disabled and
// disabled.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.BrowsePath.hpp>
#include <Quorex.Vcl.Edit.hpp>
#include <Quorex.Vcl.IpEdit.hpp>
#include <Quorex.Vcl.SearchEdit.hpp>
#include <Quorex.Vcl.SpinEdit.hpp>
#include <Quorex.Vcl.UrlEdit.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kTop = 136, kCaption = 130, kColumn = 330, kRowPitch = 40, kWidth = 180;

void Place(TControl* Control, TWinControl* Parent, int Left, int Top, int Width)
{
  Control->SetBounds(Left, Top, Width, Control->Height());
  Control->SetParent(Parent);
}

// Placed through their TControl: GCC's optimiser, folding the instances of
// one template for edits of different sizes, warned of bounds it mixed up.
template <class T>
T* Put(T* Control, TWinControl* Parent, int Left, int Top, int Width)
{
  Place(Control, Parent, Left, Top, Width);
  return Control;
}

} // namespace

TEditorsPage::TEditorsPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Editors");
  AddLabel("<font color=clGray>Edits that keep their text clear of what sits in them, search and address fields "
           "with buttons, IPv4 addresses in four fields, and numbers with arrows.</font>",
           kMargin + 150, 20, 600);
  BuildEdits();
  BuildIpEdits();
  BuildSpinEdits();
}

void TEditorsPage::BuildEdits()
{
  int top = kTop;
  AddLabel("<b>Edit</b>", kMargin, top + 4);
  auto* edit = Put(new TQxEdit(this), Client(), kMargin + kCaption - 60, top, kWidth);
  auto* unit = new TPanel(this);
  unit->SetWidth(36);
  unit->SetAlign(alRight);
  unit->SetBevelOuter(bvNone);
  unit->SetColor(TColor(0x00F3EEEA));
  unit->SetCaption("kg");
  unit->SetParent(edit);
  edit->SetText("A weight that runs long before the unit");
  Put(new TQxEdit(this), Client(), kMargin + kCaption - 60 + kWidth + 12, top, kWidth)->SetTextHint("Your name");

  top += kRowPitch;
  AddLabel("<b>Search</b>", kMargin, top + 4);
  Search = Put(new TQxSearchEdit(this), Client(), kMargin + kCaption - 60, top, kWidth);
  auto* typed = Put(new TQxSearchEdit(this), Client(), kMargin + kCaption - 60 + kWidth + 12, top, kWidth);
  typed->SetText("gallery");
  top += kRowPitch;
  HoveredSearch = Put(new TQxSearchEdit(this), Client(), kMargin + kCaption - 60, top, kWidth);
  HoveredSearch->SetText("hover the button");
  AddLabel("<font color=clGray>Escape or the button clears.</font>", kMargin + kCaption - 60 + kWidth + 12, top + 4);

  top += kRowPitch;
  AddLabel("<b>Address</b>", kMargin, top + 4);
  Put(new TQxUrlEdit(this), Client(), kMargin + kCaption - 60, top, kWidth)->SetText("https://example.com");
  Put(new TQxUrlEdit(this), Client(), kMargin + kCaption - 60 + kWidth + 12, top, kWidth)->SetText("not an address");

  top += kRowPitch;
  AddLabel("<b>Folder</b>", kMargin, top + 4);
  Put(new TBrowsePath(this), Client(), kMargin + kCaption - 60, top, kWidth)->SetText("/usr/share");

  top += kRowPitch;
  AddLabel("<b>Capitals</b>", kMargin, top + 4);
  auto* capitals = Put(new TQxEdit(this), Client(), kMargin + kCaption - 60, top, kWidth);
  capitals->SetCharCase(ecUpperCase);
  capitals->SetText("typed in any case");
}

void TEditorsPage::BuildIpEdits()
{
  const int left = kMargin + 2 * kColumn - 60;
  int top = kTop;
  AddLabel("<b>IP address</b>", left, top - 24);
  auto* address = Put(new TIPEdit(this), Client(), left, top, 150);
  address->SetAddress("192.168.1.20");
  top += kRowPitch;
  auto* cleared = Put(new TIPEdit(this), Client(), left, top, 150);
  cleared->Clear();
  AddLabel("<font color=clGray>cleared</font>", left + 160, top + 4);
  top += kRowPitch;
  auto* restricted = Put(new TIPEdit(this), Client(), left, top, 150);
  restricted->Ranges()->SetField0Low(10);
  restricted->Ranges()->SetField0High(10);
  restricted->Ranges()->SetField3Low(1);
  restricted->Ranges()->SetField3High(254);
  restricted->SetAddress("10.0.0.1");
  AddLabel("<font color=clGray>10.x.x.1-254</font>", left + 160, top + 4);
}

void TEditorsPage::BuildSpinEdits()
{
  const int left = kMargin + 2 * kColumn - 60;
  int top = kTop + 4 * kRowPitch;
  AddLabel("<b>Spin edit</b>", left, top - 24);
  const struct {
    const char* Caption;
    int Value;
  } states[] = {{"normal", 42}, {"read-only", 7}, {"editor disabled", 15}, {"disabled", 3}};
  for (int i = 0; i < 4; ++i) {
    auto* spin = Put(new TQxSpinEdit(this), Client(), left + (i % 2) * 180, top + (i / 2) * kRowPitch, 70);
    spin->SetValue(states[i].Value);
    AddLabel(String("<font color=clGray>") + states[i].Caption + "</font>", left + (i % 2) * 180 + 76,
             top + (i / 2) * kRowPitch + 4);
    if (i == 0)
      Spin = spin;
    else if (i == 1)
      spin->SetReadOnly(true);
    else if (i == 2)
      spin->SetEditorEnabled(false);
    else
      spin->SetEnabled(false);
  }
}

} // namespace Gallery

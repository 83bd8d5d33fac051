// The round buttons in each state, the details button both ways and the
// back button in its four states; the tour hovers and presses the live ones.
#include "GalleryPages.hpp"

#include <Quorex.Resources.hpp>

#include <System.Streams.hpp>

#include <memory>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kColumn = 150, kRow = 52, kTop = 84;

// The library's own back arrow, as a glyph for a round button.
std::unique_ptr<TPngImage> BackArrow()
{
  TResourceStream stream(HInstance(), "NAV_BACK_NORMAL", Win::RT_RCDATA);
  auto png = std::make_unique<TPngImage>();
  png->LoadFromStream(&stream);
  return png;
}

} // namespace

TRoundButtonsPage::TRoundButtonsPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Round buttons");
  AddLabel("<font color=clGray>Round, details and back buttons; the ones on the left answer the mouse.</font>",
           kMargin + 180, 20);

  AddLabel("<b>Round</b>", kMargin, kTop - 24);
  auto round = [this](const String& Caption, int Row) {
    auto* button = new TQxRoundButton(this);
    button->SetBounds(kMargin, kTop + Row * kRow, 140, 40);
    button->SetCaption(Caption);
    button->SetParent(Client());
    return button;
  };
  LiveRound = round("Live", 0);
  round("Default", 1)->SetDefault(true);
  round("Disabled", 2)->SetEnabled(false);
  round("With glyph", 3)->SetGlyph(BackArrow().get());

  AddLabel("<b>Details</b>", kMargin + kColumn, kTop - 24);
  for (int row = 0; row < 2; ++row) {
    auto* details = new TQxDetailsButton(this);
    details->SetBounds(kMargin + kColumn, kTop + row * kRow, 160, 30);
    details->SetState(row == 0 ? dbsMoreDetails : dbsFewerDetails);
    details->SetParent(Client());
    details->OnClick = [details](TObject*) {
      details->SetState(details->State() == dbsMoreDetails ? dbsFewerDetails : dbsMoreDetails);
    };
  }

  // Normal and disabled here; the tour shows the live one hot and pressed.
  const int left = kMargin + 2 * kColumn + 30;
  AddLabel("<b>Back</b>", left, kTop - 24);
  auto back = [&](const String& Note, int Row) {
    auto* button = new TQxBackButton(this);
    button->SetBounds(left, kTop + Row * kRow, 30, 30);
    button->SetParent(Client());
    AddLabel("<font color=clGray>" + Note + "</font>", left + 40, kTop + Row * kRow + 7);
    return button;
  };
  LiveBack = back("live: hover and press", 0);
  back("disabled", 1)->SetEnabled(false);
}

} // namespace Gallery

// The navigation page: a section bar on the left whose sections slide open
// when a title or an item is clicked, and, beside it, the area that holds the
// tab strip over an animated panel and the splash strip.
#include "GalleryPages.hpp"
#include "NavigationTabs.hpp"

#include <Vcl.ExtCtrls.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

// The page fills the gallery window beside its 190-pixel navigation.
constexpr int kMargin = 16, kTop = 64, kBarWidth = 190, kPageWidth = 1150 - 190, kPageHeight = 620 - kMargin;

struct TSectionEntry {
  const char* Caption;
  std::initializer_list<const char*> Items;
};

const TSectionEntry kSections[] = {
  {"Mail", {"Inbox", "Drafts", "Sent", "Archive"}},
  {"Calendar", {"Today", "This week", "This month"}},
  {"Contacts", {"Everyone", "Favourites"}},
  {"Tasks", {"Open", "Done"}},
};

} // namespace

TNavigationPage::TNavigationPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Navigation");
  AddLabel("<font color=clGray>A section bar: click a title or an item; the open section slides shut as the other "
           "slides open.</font>",
           kMargin + 150, 20);
  Bar = new TSectionBar(this);
  Bar->SetAlign(alNone);
  Bar->SetBounds(kMargin, kTop, kBarWidth, kPageHeight - kTop);
  Bar->SetParent(Client());
  for (const TSectionEntry& entry : kSections) {
    auto* section = new TPageSection(this);
    section->SetCaption(entry.Caption);
    section->OnActivate = [](TObject* Sender) {
      EventLog().push_back("section: " + static_cast<TPageSection*>(Sender)->Caption());
    };
    section->SetParent(Bar);
    for (const char* caption : entry.Items) {
      auto* item = new TPageItem(this);
      item->SetCaption(caption);
      item->OnActivate = [](TObject* Sender) {
        EventLog().push_back("item: " + static_cast<TPageItem*>(Sender)->Caption());
      };
      item->SetParent(section);
    }
  }
  Bar->GetSection(0)->GetItem(0)->SetActive(true);

  // The tab strip, the animated panel and the splash strip live here.
  TabsArea = new TPanel(this);
  TabsArea->SetName("NavigationTabsArea");
  TabsArea->SetBevelOuter(bvNone);
  TabsArea->SetShowCaption(false);
  TabsArea->SetParentColor(true);
  const int left = kMargin + kBarWidth + kMargin;
  TabsArea->SetBounds(left, kTop, kPageWidth - left - kMargin, kPageHeight - kTop);
  TabsArea->SetParent(Client());
  Tabs = new TNavigationTabs(this, TabsArea);
}

} // namespace Gallery

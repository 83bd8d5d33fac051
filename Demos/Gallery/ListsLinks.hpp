// The link menu and the markup list view for the page that shows lists: a
// row of links over actions, one of which drops a popup menu, and a list
// whose first column is markup. The page places them; the tour drives them.
#pragma once

#include <Quorex.Vcl.HtmlListView.hpp>
#include <Quorex.Vcl.LinkMenu.hpp>
#include <Vcl.ActnList.hpp>
#include <Vcl.Menus.hpp>

#include <functional>
#include <string>

namespace Gallery {

using Vcl::Integer;
using Vcl::String;

struct TListsLinks {
  Quorex::TQxLinkMenu* Menu = nullptr; // right edge at X + Width
  Vcl::TPopupMenu* MorePopup = nullptr;
  Quorex::THtmlListView* List = nullptr; // under the menu
};

// Places the pieces on Parent in the Width x Height area at (X, Y); Owner
// owns them. What the user does with them goes to the event log.
TListsLinks PlaceListsLinks(Vcl::TComponent* Owner, Vcl::TWinControl* Parent, Integer X, Integer Y, Integer Width,
                            Integer Height);

// Hovers a link, opens the popup menu from its link and picks an entry,
// then selects a row of the list, calling Shoot with a name at each sight
// worth a screenshot.
void TourListsLinks(const TListsLinks& Links, const std::function<void(const std::string& Name)>& Shoot);

} // namespace Gallery

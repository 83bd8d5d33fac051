#include "ListsLinks.hpp"

#include "GalleryForm.hpp"
#include "GalleryPages.hpp"

#include <Win.Desktop.hpp>

#include <stdexcept>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

TAction* AddAction(TComponent* Owner, TQxLinkMenu* Menu, const String& Caption, bool Enabled = true)
{
  auto* action = new TAction(Owner);
  action->SetCaption(Caption);
  action->SetEnabled(Enabled);
  action->SetOnExecute([Caption](TObject*) { EventLog().push_back("link menu: " + Caption); });
  Menu->Links()->Add()->SetAction(action);
  return action;
}

TPopupMenu* MakePopup(TComponent* Owner)
{
  auto* popup = new TPopupMenu(Owner);
  for (const char* caption : {"Select all", "Invert selection", "Show hidden rows"}) {
    auto* item = new TMenuItem(Owner);
    item->SetCaption(caption);
    item->OnClick = [caption](TObject*) { EventLog().push_back(String("link menu popup: ") + caption); };
    popup->Items()->Add(item);
  }
  return popup;
}

TPoint WordOnScreen(TQxLinkMenu* Menu, const String& Word)
{
  for (const THtmlRenderChunk& chunk : Menu->Renderer()->Chunks())
    if (chunk.Text() == Word)
      return Menu->ClientToScreen(chunk.BoundsRect().CenterPoint());
  throw std::logic_error("the link menu has no word '" + Word + "'");
}

} // namespace

TListsLinks PlaceListsLinks(TComponent* Owner, TWinControl* Parent, Integer X, Integer Y, Integer Width)
{
  TListsLinks links;
  links.Menu = new TQxLinkMenu(Owner);
  links.Menu->SetBounds(X + Width - 10, Y, 10, 10);
  links.Menu->SetParent(Parent);
  AddAction(Owner, links.Menu, "Refresh");
  AddAction(Owner, links.Menu, "Export", false);
  // Disabled itself, yet a link: its popup menu keeps it clickable.
  AddAction(Owner, links.Menu, "More", false);
  links.MorePopup = MakePopup(Owner);
  links.Menu->Links()->Items(2)->SetPopupMenu(links.MorePopup);
  return links;
}

void TourListsLinks(const TListsLinks& Links, const std::function<void(const std::string& Name)>& Shoot)
{
  const TPoint refresh = WordOnScreen(Links.Menu, "Refresh");
  Win::InjectMouseMove(refresh.X, refresh.Y);
  RunUntilIdle();
  Shoot("lists-link-hover");
  int step = 0;
  const TMenuLoopIdleHook old = SetMenuLoopIdleHook([&](TPopupMenu*) {
    // The first entry lit, shot, then chosen.
    if (step == 0)
      Win::InjectKey(Win::VK_DOWN);
    else if (step == 1) {
      Shoot("lists-link-popup");
      Win::InjectKey(Win::VK_RETURN);
    }
    ++step;
  });
  const TPoint more = WordOnScreen(Links.Menu, "More");
  Win::InjectClick(more.X, more.Y);
  RunUntilIdle();
  SetMenuLoopIdleHook(old);
}

} // namespace Gallery

#include "ListsLinks.hpp"

#include "GalleryForm.hpp"
#include "GalleryPages.hpp"

#include <Win.Desktop.hpp>

#include <stdexcept>
#include <tuple>

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

struct TFileRow {
  const char* Caption;
  const char* Size;
  const char* Kind;
};

constexpr TFileRow kRows[] = {
  {"<b>report.pdf</b> <font color=clGray>final</font>", "1.2 MB", "<PDF document>"},
  {"budget.xlsx <font color=$0000C0>changed</font>", "84 KB", "Spreadsheet"},
  {"<i>notes.txt</i>", "3 KB", "Text"},
  {"<u>photos</u> <font color=clGray>(124 files)</font>", "", "Folder"},
  {"<b>setup.exe</b> <font color=$008000>signed</font>", "12.5 MB", "Application"},
  {"readme.md", "6 KB", "Markdown"},
};

THtmlListView* MakeList(TComponent* Owner, TWinControl* Parent, const TRect& Bounds)
{
  auto* list = new THtmlListView(Owner);
  list->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
  list->SetViewStyle(vsReport);
  list->SetRowSelect(true);
  list->SetParent(Parent);
  const Integer nameWidth = Bounds.Width() - 2 * 110 - 4;
  for (auto [caption, width, alignment] : {std::tuple{"Name", nameWidth, taLeftJustify},
                                           std::tuple{"Size", Integer(110), taRightJustify},
                                           std::tuple{"Kind", Integer(110), taLeftJustify}}) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(width);
    column->SetAlignment(alignment);
  }
  for (const TFileRow& row : kRows) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(row.Caption);
    item->SubItems()->Add(row.Size);
    item->SubItems()->Add(row.Kind);
  }
  return list;
}

TPoint WordOnScreen(TQxLinkMenu* Menu, const String& Word)
{
  for (const THtmlRenderChunk& chunk : Menu->Renderer()->Chunks())
    if (chunk.Text() == Word)
      return Menu->ClientToScreen(chunk.BoundsRect().CenterPoint());
  throw std::logic_error("the link menu has no word '" + Word + "'");
}

} // namespace

TListsLinks PlaceListsLinks(TComponent* Owner, TWinControl* Parent, Integer X, Integer Y, Integer Width,
                            Integer Height)
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
  links.List = MakeList(Owner, Parent, TRect(X, Y + 24, X + Width, Y + Height));
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
  const TRect row = Links.List->Items()->Item(2)->DisplayRect(drBounds);
  const TPoint onRow = Links.List->ClientToScreen(TPoint(row.Left + 40, row.Top + row.Height() / 2));
  Win::InjectClick(onRow.X, onRow.Y);
  RunUntilIdle();
  Shoot("lists-markup-list");
}

} // namespace Gallery

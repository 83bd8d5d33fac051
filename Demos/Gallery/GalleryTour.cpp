#include "GalleryTour.hpp"

#include "GalleryForm.hpp"
#include "MessagesTray.hpp"
#include "NavigationTabs.hpp"
#include "ServicesBridges.hpp"

#include <Quorex.Vcl.CheckCombobox.hpp>
#include <Quorex.Vcl.ComplexList.hpp>
#include <Quorex.Vcl.HoldCombobox.hpp>
#include <Quorex.Vcl.SearchEdit.hpp>
#include <Quorex.Vcl.SpinEdit.hpp>

#include <Quorex.Vcl.MessageBar.hpp>
#include <Quorex.Vcl.TreeListView.hpp>

#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Menus.hpp>
#include <Forms.VersionStatus.hpp>
#include <Win.Desktop.hpp>
#include <Win.Screen.hpp>
#include <Win.Themes.hpp>

#include <chrono>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

// The screen point over the middle of the first word of Label that contains
// Word.
TPoint WordOnScreen(THtmlLabel* Label, const String& Word)
{
  for (const THtmlRenderChunk& chunk : Label->Renderer()->Chunks())
    if (chunk.Text().find(Word) != String::npos)
      return Label->ClientToScreen(chunk.BoundsRect().CenterPoint());
  throw std::logic_error("the gallery has no word '" + Word + "'");
}

void MoveTo(TPoint P)
{
  Win::InjectMouseMove(P.X, P.Y);
  RunUntilIdle();
}

void ClickAt(TPoint P)
{
  Win::InjectClick(P.X, P.Y);
  RunUntilIdle();
}

// Moves the virtual clock on by Ms, stopping at every due timer to run the
// loop, so the animations step as they would in real time.
void AdvanceBy(std::uint64_t Ms)
{
  const std::uint64_t end = Win::ClockMilliseconds() + Ms;
  RunUntilIdle();
  std::uint64_t due = 0;
  while (Win::NextTimerDue(&due) && due <= end) {
    if (due > Win::ClockMilliseconds())
      Win::AdvanceClock(due - Win::ClockMilliseconds());
    RunUntilIdle();
  }
  if (end > Win::ClockMilliseconds())
    Win::AdvanceClock(end - Win::ClockMilliseconds());
  RunUntilIdle();
}

int ColoursIn(const Win::TImage& Image, const TRect& Area)
{
  std::set<Win::COLORREF> colours;
  for (int y = Area.Top; y < Area.Bottom; ++y)
    for (int x = Area.Left; x < Area.Right; ++x)
      colours.insert(Image.Pixel(x, y));
  return int(colours.size());
}

class TTour {
public:
  explicit TTour(std::filesystem::path OutputDir) : FDir(std::move(OutputDir)) {}

  TTourResult Run()
  {
    EventLog().clear();
    TGalleryForm gallery;
    RunUntilIdle();
    OpenPage(gallery, "Markup", "markup");
    THtmlLabel* links = gallery.Page<TMarkupPage>()->Links;
    MoveTo(WordOnScreen(links, "documentation"));
    Shoot(gallery, "markup-link-hover");
    ClickAt(WordOnScreen(links, "documentation"));
    OpenPage(gallery, "Transparency", "transparency");
    OpenPage(gallery, "Canvas", "canvas-helper");
    TourFormResource(gallery);
    OpenPage(gallery, "Buttons", "buttons");
    TQxButton* menuButton = gallery.Page<TButtonsPage>()->MenuButton;
    MoveTo(menuButton->ClientToScreen(TPoint(20, 14)));
    Shoot(gallery, "buttons-hot");
    Win::InjectMouseDown();
    RunUntilIdle();
    Shoot(gallery, "buttons-pressed");
    ReleaseWithMenuOpen(gallery);
    TourRoundButtons(gallery);
    OpenPage(gallery, "PNG", "png-buttons");
    OpenPage(gallery, "Check", "check-boxes");
    // Two clicks take the live box through grayed to checked.
    TQxCheckBox* live = gallery.Page<TCheckBoxesPage>()->Live;
    ClickAt(live->ClientToScreen(TPoint(6, live->Height() / 2)));
    ClickAt(live->ClientToScreen(TPoint(6, live->Height() / 2)));
    ShootClassic(gallery, "check-boxes-classic");
    TourCombos(gallery);
    TourEditors(gallery);
    TourNavigation(gallery);
    TourGraphs(gallery);
    TourComplexList(gallery);
    TourLists(gallery);
    TourServices(gallery);
    TourMessages(gallery);
    OpenPage(gallery, "Imaging", "imaging");
    // Last: it scales the whole window.
    TourPanels(gallery);
    FResult.Log = EventLog();
    return std::move(FResult);
  }

private:
  void OpenPage(TGalleryForm& Gallery, const String& NavWord, const std::string& Name)
  {
    ClickAt(WordOnScreen(Gallery.Nav(), NavWord));
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Shoot(Gallery, Name);
  }

  // A click opens the hold combo's list; with the cursor over an item it is
  // shot, a click picks that item and two notches of the wheel step back
  // up; then the check combo's list is dropped, shot and closed.
  void TourCombos(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Combos", "combos");
    TCombosPage* page = Gallery.Page<TCombosPage>();
    const TPoint button = page->Hold->ClientToScreen(TPoint(60, page->Hold->Height() / 2));
    ClickAt(button);
    TComboPopup* list = page->Hold->Popup();
    const TPoint error = list->ClientToScreen(list->GetItemRect(3).CenterPoint());
    MoveTo(error);
    Shoot(Gallery, "combos-open");
    ClickAt(error);
    MoveTo(button);
    for (int notch = 0; notch < 2; ++notch) {
      Win::InjectWheel(Win::WHEEL_DELTA);
      RunUntilIdle();
    }
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Shoot(Gallery, "combos-wheel");
    const TPoint check = page->Check->ClientToScreen(TPoint(20, page->Check->Height() / 2));
    ClickAt(check);
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Shoot(Gallery, "combos-check-open");
    ClickAt(check);
  }

  // The clear button of a search edit under the pointer; text typed into
  // another, partly selected with Shift+Home, then cleared with Escape; the
  // spin edit stepped up twice by its arrow.
  void TourEditors(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Editors", "editors");
    TEditorsPage* page = Gallery.Page<TEditorsPage>();
    TControl* clear = page->HoveredSearch->RightButton()->Glyph();
    MoveTo(clear->ClientToScreen(TPoint(clear->Width() / 2, clear->Height() / 2)));
    Shoot(Gallery, "editors-clear-hot");
    ClickAt(page->Search->ClientToScreen(TPoint(20, page->Search->Height() / 2)));
    Win::InjectText("components");
    Win::InjectKeyDown(Win::VK_SHIFT);
    for (int i = 0; i < 4; ++i)
      Win::InjectKey(Win::VK_LEFT);
    Win::InjectKeyUp(Win::VK_SHIFT);
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Shoot(Gallery, "editors-typed");
    Win::InjectKey(Win::VK_ESCAPE);
    RunUntilIdle();
    TUpDown* arrows = page->Spin->UpDown();
    for (int i = 0; i < 2; ++i)
      ClickAt(arrows->ClientToScreen(TPoint(arrows->Width() / 2, 3)));
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Shoot(Gallery, "editors-stepped");
  }

  // On the virtual clock: the page settles, then a click on a closed
  // section's title starts its slide, filmed at 0, 40, 80 and 160 ms.
  void TourNavigation(TGalleryForm& Gallery)
  {
    const bool wasVirtual = Win::IsVirtualClock();
    Win::UseVirtualClock(true);
    ClickAt(WordOnScreen(Gallery.Nav(), "Navigation"));
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    AdvanceBy(1000);
    Shoot(Gallery, "navigation");
    TPageSection* calendar = Gallery.Page<TNavigationPage>()->Bar->GetSection(1);
    ClickAt(calendar->ClientToScreen(TPoint(40, 20)));
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    std::uint64_t filmed = 0;
    for (std::uint64_t at : {0, 40, 80, 160}) {
      AdvanceBy(at - filmed);
      filmed = at;
      Shoot(Gallery, "navigation-open-" + std::to_string(at) + "ms");
    }
    AdvanceBy(1000);
    TourNavigationTabs(Gallery);
    Win::UseVirtualClock(wasVirtual);
  }

  // Still on the virtual clock: a click on a tab slides its page in, filmed
  // at 0, 100, 300 and 1000 ms; then the splash strip's first showing.
  void TourNavigationTabs(TGalleryForm& Gallery)
  {
    TQxTab* details = Gallery.Page<TNavigationPage>()->Tabs->Tabs->GetTab(1);
    ClickAt(details->ClientToScreen(TPoint(details->Width() / 2, 10)));
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    std::uint64_t filmed = 0;
    for (std::uint64_t at : {0, 100, 300, 1000}) {
      AdvanceBy(at - filmed);
      filmed = at;
      Shoot(Gallery, "navigation-slide-" + std::to_string(at) + "ms");
    }
    AdvanceBy(1500);
    Shoot(Gallery, "navigation-splash");
  }

  // The page in the classic look, then back to the themed one.
  void ShootClassic(TGalleryForm& Gallery, const std::string& Name)
  {
    const bool themed = Win::IsThemeActive() != Win::FALSE;
    Repaint(Gallery, false);
    Shoot(Gallery, Name);
    Repaint(Gallery, themed);
  }
  static void Repaint(TGalleryForm& Gallery, bool Themed)
  {
    Win::EnableTheming(Themed ? Win::TRUE : Win::FALSE);
    Win::RedrawWindow(Gallery.Form()->Handle(), nullptr, nullptr,
                      Win::RDW_INVALIDATE | Win::RDW_ERASE | Win::RDW_ALLCHILDREN | Win::RDW_FRAME);
    RunUntilIdle();
  }

  // Sixty readings on the virtual clock, whatever clock the tour runs on,
  // so that the pictures are the same every time: the traffic grid is shot
  // at its 10K and 100K peaks and past its 1M one.
  void TourGraphs(TGalleryForm& Gallery)
  {
    const bool wasVirtual = Win::IsVirtualClock();
    Win::UseVirtualClock(true);
    OpenPage(Gallery, "Graphs", "graphs");
    const std::uint64_t interval = Gallery.Page<TGraphsPage>()->Feeder->Interval();
    for (int readings = 12; readings <= 60; readings += 24) {
      AdvanceBy(interval * std::uint64_t(readings - Gallery.Page<TGraphsPage>()->Readings()));
      Shoot(Gallery, "graphs-" + std::to_string(readings));
    }
    Win::UseVirtualClock(wasVirtual);
  }

  // The list with a hot row open, then a row carried three rows down, shot
  // with its drop line showing, and let go there.
  void TourComplexList(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Complex", "complex-list");
    TQxComplexList* list = Gallery.Page<TComplexListPage>()->List;
    auto row = [list](int Index) {
      TRect r = list->ItemRect(list->Items(Index));
      return list->ClientToScreen(TPoint(r.Left + 260, r.Top + r.Height() / 2));
    };
    MoveTo(row(5));
    Shoot(Gallery, "complex-list-hot");
    MoveTo(row(7));
    Win::InjectMouseDown();
    RunUntilIdle();
    MoveTo(TPoint(row(7).X, row(7).Y + 8));
    MoveTo(row(10));
    Shoot(Gallery, "complex-list-drag");
    Win::InjectMouseUp();
    RunUntilIdle();
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
  }

  // A row hovered, a module opened by its expander, a check box clicked
  // inside a selection of four rows (which stays), and three notches of the
  // wheel down the report.
  void TourLists(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Lists", "lists");
    TQxTreeListView* tree = Gallery.Page<TListsPage>()->Tree;
    auto at = [tree](Integer Row, TListItemPart Part) {
      const TRect r = tree->TreeItem(Row)->PartRect(Part);
      return tree->ClientToScreen(r.CenterPoint());
    };
    MoveTo(at(5, lipText));
    Shoot(Gallery, "lists-hover");
    ClickAt(at(1, lipExpander));
    Shoot(Gallery, "lists-expanded");
    ClickAt(at(4, lipText));
    Win::InjectKeyDown(Win::VK_SHIFT);
    ClickAt(at(7, lipText));
    Win::InjectKeyUp(Win::VK_SHIFT);
    ClickAt(at(5, lipCheckBox));
    Shoot(Gallery, "lists-checked");
    MoveTo(at(10, lipText));
    for (int notch = 0; notch < 3; ++notch) {
      Win::InjectWheel(-Win::WHEEL_DELTA);
      RunUntilIdle();
    }
    Shoot(Gallery, "lists-wheel");
    TourListsLinks(Gallery.Page<TListsPage>()->Links, [&](const std::string& Name) { Shoot(Gallery, Name); });
  }

  // The live round button pressed, then the live back button hot and
  // pressed: the states the page cannot hold still.
  void TourRoundButtons(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Round", "round-buttons");
    TRoundButtonsPage* page = Gallery.Page<TRoundButtonsPage>();
    MoveTo(page->LiveRound->ClientToScreen(TPoint(20, 20)));
    Win::InjectMouseDown();
    RunUntilIdle();
    Shoot(Gallery, "round-buttons-pressed");
    Win::InjectMouseUp();
    RunUntilIdle();
    MoveTo(page->LiveBack->ClientToScreen(TPoint(15, 15)));
    Shoot(Gallery, "round-buttons-back-hot");
    Win::InjectMouseDown();
    RunUntilIdle();
    Shoot(Gallery, "round-buttons-back-pressed");
    Win::InjectMouseUp();
    RunUntilIdle();
  }

  // The live expand panel collapsed and expanded again, then the page with
  // the whole window at 144 pixels per inch on a screen grown to hold it.
  void TourPanels(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Panels", "panels");
    TQxExpandPanel* expand = Gallery.Page<TPanelsPage>()->Expand;
    const TPoint header = expand->ClientToScreen(TPoint(expand->Width() / 2, 12));
    ClickAt(header);
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Shoot(Gallery, "panels-collapsed");
    ClickAt(header);
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Scale(Gallery, 144, 96);
    Shoot(Gallery, "panels-144dpi");
    Scale(Gallery, 96, 144);
  }
  // The live bar's own "Next" button edits its message twice; the bar
  // rebuilds its buttons while the click that asked for it still runs.
  // Then the tray icon's balloon. On the virtual clock, so that the icon's
  // animation shows the same frame every time.
  void TourMessages(TGalleryForm& Gallery)
  {
    const bool wasVirtual = Win::IsVirtualClock();
    Win::UseVirtualClock(true);
    OpenPage(Gallery, "Messages", "messages");
    for (const char* shot : {"messages-edited", "messages-edited-again"}) {
      TQxButton* next = Gallery.Page<TMessagesPage>()->LiveBar->Buttons(0);
      ClickAt(next->ClientToScreen(TPoint(next->Width() / 2, next->Height() / 2)));
      MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
      Shoot(Gallery, shot);
    }
    TQxButton* balloon = Gallery.Page<TMessagesPage>()->Tray->BalloonButton;
    ClickAt(balloon->ClientToScreen(TPoint(balloon->Width() / 2, balloon->Height() / 2)));
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    AdvanceBy(500);
    Shoot(Gallery, "messages-tray-balloon");
    Win::UseVirtualClock(wasVirtual);
  }
  static void Scale(TGalleryForm& Gallery, int M, int D)
  {
    Win::ScreenSettings().Width = kScreenWidth * M / 96;
    Win::ScreenSettings().Height = kScreenHeight * M / 96;
    Win::ScreenSettings().LogPixels = M;
    Gallery.Form()->SetPixelsPerInch(M);
    Gallery.Form()->ScaleBy(M, D);
    // As after a change of the display's scaling: everything drawn anew.
    Repaint(Gallery, Win::IsThemeActive() != Win::FALSE);
  }

  // The button asks for a check of the gallery's local server; the answer
  // comes from the worker and opens the version status dialog, which is shot
  // while it shows and closed with its Close button.
  void TourServices(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Services", "services");
    TServicesPage* page = Gallery.Page<TServicesPage>();
    bool shot = false;
    Application->OnIdle = [&](TObject*) {
      auto* dialog = dynamic_cast<TVersionStatusForm*>(Screen->ActiveForm());
      if (!dialog || !dialog->FormState().Contains(fsModal))
        return;
      if (!shot)
        Shoot(Gallery, "services-update-dialog");
      shot = true;
      const TPoint close = dialog->buClose->ClientToScreen(TPoint(20, 12));
      Win::InjectClick(close.X, close.Y);
    };
    const std::size_t before = EventLog().size();
    ClickAt(page->CheckButton->ClientToScreen(TPoint(40, 14)));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (EventLog().size() == before && std::chrono::steady_clock::now() < end) {
      CheckSynchronize(10);
      RunUntilIdle();
    }
    Application->OnIdle = nullptr;
    if (!shot)
      throw std::logic_error("the update check showed no dialog");
    MoveTo(TPoint(kScreenWidth - 2, kScreenHeight - 2));
    Shoot(Gallery, "services-checked");
    // The translated panel follows a switch of the language, and back.
    SwitchGalleryLanguage("de");
    RunUntilIdle();
    Shoot(Gallery, "services-german");
    SwitchGalleryLanguage("en");
    RunUntilIdle();
  }

  // The form read beside the page shows its main menu: a click on File
  // drops it, the pointer rests on Save while it is shot, a click on Save
  // runs it; then the form goes.
  void TourFormResource(TGalleryForm& Gallery)
  {
    OpenPage(Gallery, "Form", "form-resource");
    TForm* editor = Gallery.Page<TFormResourcePage>()->ShowMenuForm();
    RunUntilIdle();
    TMenuItem* file = editor->Menu()->Items()->Items(0);
    TMenuItem* save = file->Find("Save");
    TRect r;
    int step = 0;
    const TMenuLoopIdleHook old = SetMenuLoopIdleHook([&](TPopupMenu*) {
      if (step == 0 && GetMenuItemRect(save, r)) {
        Win::InjectMouseMove(r.CenterPoint().X, r.CenterPoint().Y);
      } else if (step == 1) {
        Shoot(Gallery, "form-resource-main-menu");
        GetMenuItemRect(save, r);
        Win::InjectClick(r.CenterPoint().X, r.CenterPoint().Y);
      } else if (step > 1) {
        Win::InjectKey(Win::VK_ESCAPE); // the menu should have closed already
      }
      ++step;
    });
    if (GetMenuItemRect(file, r))
      ClickAt(r.CenterPoint());
    SetMenuLoopIdleHook(old);
    editor->Close();
    RunUntilIdle();
  }

  // The release clicks the drop-down button, whose menu opens; while its
  // modal loop runs, the keys move to the second item, the menu is shot and
  // Escape closes it.
  void ReleaseWithMenuOpen(TGalleryForm& Gallery)
  {
    int step = 0;
    const TMenuLoopIdleHook old = SetMenuLoopIdleHook([&](TPopupMenu*) {
      if (step == 0) {
        Win::InjectKey(Win::VK_DOWN);
        Win::InjectKey(Win::VK_DOWN);
      } else if (step == 1) {
        Shoot(Gallery, "buttons-menu");
        Win::InjectKey(Win::VK_ESCAPE);
      }
      ++step;
    });
    Win::InjectMouseUp();
    RunUntilIdle();
    SetMenuLoopIdleHook(old);
  }

  void Shoot(TGalleryForm& Gallery, const std::string& Name)
  {
    const std::string file = (FDir / (std::to_string(FResult.Shots.size() + 1) + "-" + Name + ".png")).string();
    const Win::TImage image = Win::ComposeDesktop();
    Win::SaveImagePng(image, file);
    TQxFrameHost* host = Gallery.Host();
    const TRect area(host->ClientToScreen(TPoint(0, 0)), host->ClientToScreen(TPoint(host->Width(), host->Height())));
    FResult.Shots.push_back({Name, file, ColoursIn(image, area)});
  }

  std::filesystem::path FDir;
  TTourResult FResult;
};

} // namespace

TTourResult RunGalleryTour(const std::string& OutputDir)
{
  std::filesystem::create_directories(OutputDir);
  Win::ScreenSettings().Width = kScreenWidth;
  Win::ScreenSettings().Height = kScreenHeight;
  return TTour(OutputDir).Run();
}

} // namespace Gallery

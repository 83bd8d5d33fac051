// The gallery's scripted tour, as the README's run command drives it, and the
// navigation page's tab half on its own.
#include <QxDesktopFixture.hpp>
#include <QxTestSupport.hpp>

#include <GalleryTour.hpp>
#include <NavigationTabs.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <algorithm>
#include <filesystem>

namespace {

class GalleryTourTest : public QxTest::QxDesktopFixture {};

TEST_F(GalleryTourTest, EveryPageIsDrawnAndTheLinkClickIsLogged)
{
  // The version status dialog is translated through the shipped localizer,
  // which lives beside the gallery.
  Win::SetDllDirectory(QX_BRIDGE_LIBRARY_DIR);
  const std::string dir = QxTest::TempDir();
  const Gallery::TTourResult result = Gallery::RunGalleryTour(dir);
  std::vector<std::string> pages;
  for (const Gallery::TShot& shot : result.Shots) {
    pages.push_back(shot.Page);
    EXPECT_TRUE(std::filesystem::exists(shot.FileName)) << shot.FileName;
    EXPECT_GT(shot.Colours, 8) << shot.Page << " looks blank";
  }
  EXPECT_EQ(pages, (std::vector<std::string>{"markup", "markup-link-hover", "transparency", "canvas-helper",
                                             "form-resource", "form-resource-main-menu", "buttons", "buttons-hot", "buttons-pressed",
                                             "buttons-menu", "round-buttons", "round-buttons-pressed",
                                             "round-buttons-back-hot", "round-buttons-back-pressed", "png-buttons",
                                             "check-boxes", "check-boxes-classic", "combos", "combos-open",
                                             "combos-wheel", "combos-check-open", "editors", "editors-clear-hot",
                                             "editors-typed", "editors-stepped", "navigation",
                                             "navigation-open-0ms", "navigation-open-40ms", "navigation-open-80ms",
                                             "navigation-open-160ms", "navigation-slide-0ms",
                                             "navigation-slide-100ms", "navigation-slide-300ms",
                                             "navigation-slide-1000ms", "navigation-splash", "graphs", "graphs-12",
                                             "graphs-36", "graphs-60", "complex-list", "complex-list-hot",
                                             "complex-list-drag", "lists", "lists-hover", "lists-expanded",
                                             "lists-checked", "lists-wheel", "lists-link-hover",
                                             "lists-link-popup", "lists-markup-list", "services", "services-update-dialog",
                                             "services-checked", "services-german", "messages", "messages-edited",
                                             "messages-edited-again", "messages-tray-balloon", "imaging", "panels",
                                             "panels-collapsed", "panels-144dpi"}));
  EXPECT_EQ(result.Log, (std::vector<std::string>{"page: markup", "link clicked: docs", "page: transparency",
                                                  "page: canvas", "page: form", "menu item: Save", "page: buttons",
                                                  "button clicked: Glass menu", "page: round", "page: pngbuttons",
                                                  "page: checkboxes", "check box: Grayed", "check box: Checked",
                                                  "page: combos", "combo: Error", "combo: Warning", "combo: Question",
                                                  "page: editors", "page: navigation", "item: Inbox", "section: Calendar",
                                                  "page: graphs", "page: complexlist", "row moved: Task 8 to 11", "page: lists",
                                                  "link menu popup: Select all",
                                                  "page: services", "update: 1.2.0.0", "page: messages",
                                                  "live message: Downloading", "live message: Download paused",
                                                  "live message: Download failed", "page: imaging",
                                                  "page: panels"}));
  Win::SetDllDirectory(nullptr);

}

// The tab half of the navigation page, built as the page builds it: the
// first page, then a clicked tab's page, fills the panel with no strip left
// beside it by the time the tour takes its picture, a second on.
TEST_F(GalleryTourTest, NavigationPagesFillThePanelASecondAfterTheirSlideStarts)
{
  auto* form = new Vcl::TForm(Vcl::Application);
  form->SetBounds(0, 0, 800, 620);
  form->Show();
  auto* area = Place(new Vcl::TPanel(form), form, 16, 16, 722, 540);
  area->SetBevelOuter(Vcl::bvNone);
  auto* tabs = new Gallery::TNavigationTabs(form, area);
  Quorex::TQxAnimatedPanel* slider = tabs->Slider;
  for (int page : {0, 1}) {
    if (page == 1)
      ClickOn(tabs->Tabs->GetTab(1), tabs->Tabs->GetTab(1)->Width() / 2, 10);
    AdvanceBy(1000);
    auto* shown = dynamic_cast<Vcl::TPanel*>(slider->ActiveControl());
    ASSERT_EQ(shown, tabs->Pages[size_t(page)]);
    EXPECT_EQ(shown->BoundsRect(), Vcl::TRect(0, 0, slider->ClientWidth(), slider->ClientHeight())) << page;
    EXPECT_EQ(ControlPixel(slider, 1, slider->ClientHeight() / 2), Vcl::ColorToRGB(shown->Color())) << page;
  }
}

} // namespace

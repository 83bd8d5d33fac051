// The gallery's scripted tour, as the README's run command drives it.
#include <QxDesktopFixture.hpp>
#include <QxTestSupport.hpp>

#include <GalleryTour.hpp>

#include <algorithm>
#include <filesystem>

namespace {

class GalleryTourTest : public QxTest::QxDesktopFixture {};

TEST_F(GalleryTourTest, EveryPageIsDrawnAndTheLinkClickIsLogged)
{
  const std::string dir = QxTest::TempDir();
  const Gallery::TTourResult result = Gallery::RunGalleryTour(dir);
  std::vector<std::string> pages;
  for (const Gallery::TShot& shot : result.Shots) {
    pages.push_back(shot.Page);
    EXPECT_TRUE(std::filesystem::exists(shot.FileName)) << shot.FileName;
    EXPECT_GT(shot.Colours, 8) << shot.Page << " looks blank";
  }
  EXPECT_EQ(pages, (std::vector<std::string>{"markup", "markup-link-hover", "transparency", "canvas-helper",
                                             "form-resource", "buttons", "buttons-hot", "buttons-pressed",
                                             "buttons-menu", "round-buttons", "round-buttons-pressed",
                                             "round-buttons-back-hot", "round-buttons-back-pressed", "png-buttons",
                                             "check-boxes", "check-boxes-classic", "navigation",
                                             "navigation-open-0ms", "navigation-open-40ms", "navigation-open-80ms",
                                             "navigation-open-160ms", "navigation-slide-0ms",
                                             "navigation-slide-100ms", "navigation-slide-300ms",
                                             "navigation-slide-1000ms", "navigation-splash", "graphs", "graphs-12",
                                             "graphs-36", "graphs-60", "panels", "panels-collapsed",
                                             "panels-144dpi", "imaging"}));
  EXPECT_EQ(result.Log, (std::vector<std::string>{"page: markup", "link clicked: docs", "page: transparency",
                                                  "page: canvas", "page: form", "page: buttons",
                                                  "button clicked: Glass menu", "page: round", "page: pngbuttons",
                                                  "page: checkboxes", "check box: Grayed", "check box: Checked",
                                                  "page: navigation", "item: Inbox", "section: Calendar", "page: graphs",
                                                  "page: panels", "page: imaging"}));
}

} // namespace

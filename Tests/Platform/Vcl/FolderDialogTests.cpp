// The folder dialog over a real folder tree in a temporary folder, driven by
// injected clicks and keys, and the seam hosts and tests answer through.
#include "TestControls.hpp"

#include <QxModalDriver.hpp>
#include <Vcl.FileCtrl.hpp>
#include <Vcl.StdCtrls.Label.hpp>
#include <Win.Desktop.hpp>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace Vcl;
using namespace QxTest;
using QxTest::QxModalDriver;
namespace fs = std::filesystem;

namespace {

class FolderDialogTest : public ControlTest {
protected:
  void SetUp() override
  {
    ControlTest::SetUp();
    Root = fs::temp_directory_path() / ("qx-folders-" + std::to_string(getpid()));
    fs::create_directories(Root / "alpha");
    fs::create_directories(Root / "beta" / "gamma");
    std::ofstream(Root / "file.txt") << "x";
  }
  void TearDown() override
  {
    fs::remove_all(Root);
    ControlTest::TearDown();
  }
  static TControl* Part(TCustomForm* Form, const char* Name)
  {
    return static_cast<TControl*>(Form->FindComponent(Name));
  }
  // A click on the list's first row.
  static void ClickFirstRow(TCustomForm* Form)
  {
    TControl* list = Part(Form, "Folders");
    const TPoint p = list->ClientToScreen(TPoint(20, 6));
    Win::InjectClick(p.X, p.Y);
  }

  fs::path Root;
};

} // namespace

TEST_F(FolderDialogTest, OpeningSelectingAndGoingUpAnswerTheChosenFolder)
{
  std::vector<String> paths;
  QxModalDriver driver([&](TCustomForm* form, int step) {
    paths.push_back(Part(form, "Path")->Caption());
    switch (step) {
    case 0: // select "alpha", move to "beta" and open it by key
      EXPECT_EQ(form->Caption(), "Pick one");
      ClickFirstRow(form);
      Win::InjectKey(Win::VK_DOWN);
      Win::InjectKey(Win::VK_RETURN);
      break;
    case 1: // up again, then "beta" selected and OK
      QxModalDriver::ClickOn(Part(form, "Up"));
      break;
    case 2:
      ClickFirstRow(form);
      Win::InjectKey(Win::VK_DOWN);
      QxModalDriver::ClickOn(Part(form, "OK"));
      break;
    }
  });
  EXPECT_EQ(BrowseForFolder({"Pick one", Root.string()}), (Root / "beta").string());
  ASSERT_GE(paths.size(), 3u);
  EXPECT_EQ(paths[0], Root.string());
  EXPECT_EQ(paths[1], (Root / "beta").string());
  EXPECT_EQ(paths[2], Root.string());
}

TEST_F(FolderDialogTest, CancelAnswersNothingAndOkWithoutASelectionTheFolderShown)
{
  QxModalDriver cancel([](TCustomForm* form, int) { QxModalDriver::ClickOn(Part(form, "Cancel")); });
  EXPECT_EQ(BrowseForFolder({"Cancel", Root.string()}), std::nullopt);
  QxModalDriver escape([](TCustomForm*, int) { Win::InjectKey(Win::VK_ESCAPE); });
  EXPECT_EQ(BrowseForFolder({"Escape", Root.string()}), std::nullopt);
  QxModalDriver ok([](TCustomForm* form, int) { QxModalDriver::ClickOn(Part(form, "OK")); });
  EXPECT_EQ(BrowseForFolder({"OK", (Root / "beta" / "gamma").string()}), (Root / "beta" / "gamma").string());
}

// Paths longer than the classic 260 characters neither overflow nor get
// cut; a file or a missing path starts in the nearest existing folder.
TEST_F(FolderDialogTest, LongFileAndMissingStartingPaths)
{
  fs::path deep = Root;
  for (int i = 0; i < 12; ++i)
    deep /= std::string(30, char('a' + i));
  fs::create_directories(deep);
  ASSERT_GT(deep.string().size(), 300u);
  auto startOf = [](const fs::path& start) {
    std::unique_ptr<TForm> dialog(CreateFolderDialog({"", start.string()}));
    return SelectedFolder(dialog.get());
  };
  EXPECT_EQ(startOf(deep), deep.string());
  EXPECT_EQ(startOf(Root / "file.txt"), Root.string());
  EXPECT_EQ(startOf(Root / "missing" / "deeper"), Root.string());
  QxModalDriver ok([](TCustomForm* form, int) { QxModalDriver::ClickOn(Part(form, "OK")); });
  EXPECT_EQ(BrowseForFolder({"", deep.string()}), deep.string());
}

TEST_F(FolderDialogTest, AnInstalledHandlerAnswersInTheDialogsPlace)
{
  std::vector<TBrowseFolderRequest> asked;
  auto previous = SetBrowseFolderHandler([&](const TBrowseFolderRequest& request) -> std::optional<String> {
    asked.push_back(request);
    return asked.size() == 1 ? std::optional<String>("/chosen") : std::nullopt;
  });
  EXPECT_EQ(BrowseForFolder({"Title", "/start"}), "/chosen");
  EXPECT_EQ(BrowseForFolder({"Title", "/start"}), std::nullopt);
  SetBrowseFolderHandler(previous);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].Title, "Title");
  EXPECT_EQ(asked[0].InitialPath, "/start");
}

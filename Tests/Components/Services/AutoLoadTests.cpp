// The auto-load component with the auto-load library shipped with the
// project: autostart entries written, found and removed in a scratch XDG
// folder (and checked by desktop-file-validate), the library's errors, and
// the load failures with stand-in libraries.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>
#include <QxTestSupport.hpp>

#include <Quorex.Vcl.AutoLoad.hpp>
#include <System.Classes.Streaming.hpp>
#include <System.SysUtils.Errors.hpp>
#include <Vcl.Forms.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;
using namespace Quorex;
using ::testing::HasSubstr;

namespace {

// An environment variable set (or unset) for one test.
class TScopedEnv {
public:
  TScopedEnv(const char* name, const char* value) : FName(name)
  {
    if (const char* old = std::getenv(name))
      FOld = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~TScopedEnv() { FOld ? setenv(FName, FOld->c_str(), 1) : unsetenv(FName); }

private:
  const char* FName;
  std::optional<std::string> FOld;
};

// desktop-file-validate's verdict: empty when the entry is valid.
std::string Validate(const fs::path& entry)
{
  std::string output;
  FILE* pipe = popen(("desktop-file-validate '" + entry.string() + "' 2>&1; echo \"exit=$?\"").c_str(), "r");
  if (!pipe)
    return "cannot run desktop-file-validate";
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe))
    output += buffer;
  pclose(pipe);
  return output == "exit=0\n" ? "" : output;
}

String ReadFile(const fs::path& file)
{
  std::ifstream in(file);
  return String((std::istreambuf_iterator<char>(in)), {});
}

class AutoLoadTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    ReleaseAutoLoad();
    Win::SetDllDirectory(QX_BRIDGE_LIBRARY_DIR);
    FHome = QxTest::TempDir();
    FConfig.emplace("XDG_CONFIG_HOME", (FHome + "/config").c_str());
    FSystem.emplace("XDG_CONFIG_DIRS", (FHome + "/system:/etc/xdg").c_str());
    FTitle = Vcl::Application->Title();
    Vcl::Application->SetTitle("Qx AutoLoad Test");
    FAutoLoad = std::make_unique<TQxAutoLoad>(nullptr);
  }

  void TearDown() override
  {
    FAutoLoad.reset();
    Vcl::Application->SetTitle(FTitle);
    ReleaseAutoLoad();
    Win::SetDllDirectory(nullptr);
    QxDesktopFixture::TearDown();
  }

  fs::path UserEntry(const String& name) const { return fs::path(FHome) / "config/autostart" / (name + ".desktop"); }

  // Apply's error, or "none".
  String ApplyError()
  {
    try {
      FAutoLoad->Apply();
    } catch (const Vcl::EOSError& e) {
      return "EOSError " + std::to_string(e.ErrorCode()) + ": " + e.Message();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "none";
  }

  String FHome, FTitle;
  std::optional<TScopedEnv> FConfig, FSystem;
  std::unique_ptr<TQxAutoLoad> FAutoLoad;
};

TEST_F(AutoLoadTest, WritesFindsAndRemovesAValidAutostartEntry)
{
  ASSERT_TRUE(FAutoLoad->IsAvailable());
  EXPECT_EQ(FAutoLoad->Source(), lsRegistry);
  EXPECT_FALSE(FAutoLoad->Elevated());

  // No task name: the application's title names the entry.
  FAutoLoad->SetActive(true);
  EXPECT_EQ(ApplyError(), "none");
  const fs::path entry = UserEntry("Qx-AutoLoad-Test");
  ASSERT_TRUE(fs::exists(entry));
  EXPECT_EQ(Validate(entry), "");
  EXPECT_THAT(ReadFile(entry), HasSubstr("Name=Qx AutoLoad Test\nExec=\"" + FAutoLoad->GetPath() + "\"\n"));
  EXPECT_EQ(GetInstance()->TaskNameOf(FAutoLoad->GetPath()), "Qx AutoLoad Test");

  FAutoLoad->SetActive(false);
  FAutoLoad->Refresh();
  EXPECT_TRUE(FAutoLoad->Active());

  // A new name replaces the entry: the program must not start twice.
  FAutoLoad->SetTaskName("Nightly sync");
  FAutoLoad->SetActive(true);
  EXPECT_EQ(ApplyError(), "none");
  EXPECT_TRUE(fs::exists(UserEntry("Nightly-sync")));
  EXPECT_FALSE(fs::exists(entry));

  // Switching off removes it, whatever it was named.
  FAutoLoad->SetActive(false);
  EXPECT_EQ(ApplyError(), "none");
  EXPECT_TRUE(fs::is_empty(UserEntry("x").parent_path()));
  FAutoLoad->Refresh();
  EXPECT_FALSE(FAutoLoad->Active());
}

TEST_F(AutoLoadTest, AFormResourceKeepsWhatDiffersFromTheDefaults)
{
  Vcl::TForm form(nullptr);
  form.SetName("Settings");
  QxTest::AddNamed<TQxAutoLoad>(&form, "Plain");
  auto* custom = QxTest::AddNamed<TQxAutoLoad>(&form, "Custom");
  custom->SetTaskName("Sync");
  custom->SetSource(lsScheduler);
  custom->SetElevated(true);
  const String text = Vcl::WriteComponentRes(&form);
  EXPECT_THAT(text, HasSubstr("object Plain: TQxAutoLoad\n  end"));
  EXPECT_THAT(text, HasSubstr("TaskName = 'Sync'\n    Source = lsScheduler\n    Elevated = True\n"));

  QxTest::ExpectReadsBackTheSame(&form, text);
}

TEST_F(AutoLoadTest, AnExecutablePathThatNeedsQuotingRoundTrips)
{
  const String path = "/opt/My Apps/run \"$HOME\" `x` 100%\\";
  std::vector<Cardinal> codes;
  const auto& library = GetInstance();
  library->Register("Odd\nname", path, [&](Cardinal code) { codes.push_back(code); });
  const fs::path entry = UserEntry("Odd-name");
  ASSERT_TRUE(fs::exists(entry));
  EXPECT_EQ(Validate(entry), "");
  EXPECT_TRUE(library->IsRegistered(path));
  EXPECT_EQ(library->TaskNameOf(path), "Odd\nname");
  EXPECT_FALSE(library->IsRegistered("/opt/My"));

  // An entry the user switched off in the desktop's settings does not count.
  std::ofstream(entry, std::ios::app) << "Hidden=true\n";
  EXPECT_FALSE(library->IsRegistered(path));

  library->Unregister(path, [&](Cardinal code) { codes.push_back(code); });
  EXPECT_FALSE(fs::exists(entry));
  library->Register("", path, [&](Cardinal code) { codes.push_back(code); });
  EXPECT_EQ(codes, (std::vector<Cardinal>{0, 0, 87}));
}

TEST_F(AutoLoadTest, ElevatedEntriesAreForEveryUser)
{
  FAutoLoad->SetElevated(true);
  FAutoLoad->SetSource(lsScheduler);
  FAutoLoad->SetActive(true);
  EXPECT_EQ(ApplyError(), "none");
  const fs::path entry = fs::path(FHome) / "system/autostart/Qx-AutoLoad-Test.desktop";
  EXPECT_TRUE(fs::exists(entry));
  EXPECT_FALSE(fs::exists(UserEntry("Qx-AutoLoad-Test")));
  EXPECT_EQ(GetInstance()->LoadType(), ltScheduler);
  EXPECT_EQ(Validate(entry), "");
}

TEST_F(AutoLoadTest, ErrorsTheLibraryReportsAreRaisedOrGoToOnError)
{
  // Nowhere to keep entries: no HOME and no XDG_CONFIG_HOME.
  TScopedEnv noHome("HOME", nullptr);
  TScopedEnv noConfig("XDG_CONFIG_HOME", nullptr);
  EXPECT_FALSE(FAutoLoad->IsAvailable());
  FAutoLoad->SetActive(true);
  EXPECT_EQ(ApplyError(), "EOSError 3: System Error.  Code: 3.\nThe system cannot find the path specified.");

  std::vector<std::pair<Vcl::TObject*, Cardinal>> errors;
  FAutoLoad->OnError = [&](Vcl::TObject* sender, Cardinal code) { errors.emplace_back(sender, code); };
  EXPECT_EQ(ApplyError(), "none");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].first, FAutoLoad.get());
  EXPECT_EQ(errors[0].second, 3u);
}

TEST_F(AutoLoadTest, AccessDeniedIsSilentAndOtherCodesAreNot)
{
  ReleaseAutoLoad();
  Win::SetDllDirectory(QX_STANDIN_DIR "/autoload-Held");
  std::vector<Cardinal> errors;
  FAutoLoad->SetActive(true);
  FAutoLoad->SetTaskName("code:5");
  EXPECT_EQ(ApplyError(), "none");

  FAutoLoad->SetTaskName("code:1223");
  EXPECT_EQ(ApplyError(), "EOSError 1223: System Error.  Code: 1223.\nThe operation was canceled by the user.");
  FAutoLoad->OnError = [&](Vcl::TObject*, Cardinal code) { errors.push_back(code); };
  FAutoLoad->SetTaskName("code:5");
  EXPECT_EQ(ApplyError(), "none");
  FAutoLoad->SetTaskName("code:1223");
  EXPECT_EQ(ApplyError(), "none");
  EXPECT_EQ(errors, std::vector<Cardinal>{1223});
}

TEST_F(AutoLoadTest, LoadFailuresRaiseAtTheFirstCallThatNeedsTheLibrary)
{
  const String standIns = QX_STANDIN_DIR;
  auto failure = [&](const String& folder) {
    ReleaseAutoLoad();
    Win::SetDllDirectory(folder.c_str());
    try {
      FAutoLoad->IsAvailable();
    } catch (const std::exception& e) {
      return String(e.what());
    }
    return String("none");
  };
  EXPECT_EQ(failure(QxTest::TempDir()), "Dynamic link librabry \"autoloadlib.dll\" not found.");
  EXPECT_EQ(failure(standIns + "/autoload-NoExport"), "Procedure \"GetInstance\" not found in module \"autoloadlib.dll\".");
  EXPECT_EQ(failure(standIns + "/autoload-Null"),
            "Procedure \"GetInstance\" in module \"autoloadlib.dll\" returned no instance.");
  EXPECT_EQ(failure(standIns + "/autoload-Raises"), "The stand-in refuses to start");
  // Any other failure of the loader is the system's error.
  const String notALibrary = QxTest::TempDir();
  std::ofstream(notALibrary + "/autoloadlib.dll") << "text";
  EXPECT_EQ(failure(notALibrary), "System Error.  Code: 193.\nThe file is not a valid application.");
  // Nothing of a failed load is kept: the next call loads afresh.
  EXPECT_EQ(failure(QX_BRIDGE_LIBRARY_DIR), "none");
}

} // namespace

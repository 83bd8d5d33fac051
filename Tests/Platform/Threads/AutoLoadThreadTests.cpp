// Results the auto-load library reports from a thread of its own reach the
// component on the user-interface thread, and nothing of a component freed
// meanwhile.
#include <QxDesktopFixture.hpp>

#include <Quorex.Vcl.AutoLoad.hpp>
#include <Vcl.Forms.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <memory>

using namespace Quorex;

namespace {

class AutoLoadThreads : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    ReleaseAutoLoad();
    Win::SetDllDirectory(QX_STANDIN_DIR "/autoload-Held");
    // The same library the component loads: the stand-in's own export.
    FModule = Win::LoadLibrary("autoloadlib.dll");
    ASSERT_NE(FModule, nullptr);
    ReportHeld = reinterpret_cast<void (*)(Cardinal)>(Win::GetProcAddress(FModule, "StandInReportHeld"));
    ASSERT_NE(ReportHeld, nullptr);
    FAutoLoad = std::make_unique<TQxAutoLoad>(nullptr);
    FAutoLoad->SetActive(true);
    FAutoLoad->SetTaskName("held");
  }

  void TearDown() override
  {
    FAutoLoad.reset();
    ReportHeld(0); // nothing stays held for the next test
    Vcl::CheckSynchronize();
    ReleaseAutoLoad();
    Win::FreeLibrary(FModule);
    Win::SetDllDirectory(nullptr);
    Vcl::Application->OnException = nullptr;
    QxDesktopFixture::TearDown();
  }

  void (*ReportHeld)(Cardinal) = nullptr;
  std::unique_ptr<TQxAutoLoad> FAutoLoad;

private:
  Win::HMODULE FModule = nullptr;
};

TEST_F(AutoLoadThreads, AResultFromAnotherThreadReachesOnErrorOnTheUIThread)
{
  std::vector<Cardinal> codes;
  bool onUIThread = false;
  FAutoLoad->OnError = [&](Vcl::TObject* sender, Cardinal code) {
    EXPECT_EQ(sender, FAutoLoad.get());
    onUIThread = Vcl::IsMainThread();
    codes.push_back(code);
  };
  FAutoLoad->Apply();
  FAutoLoad->SetActive(false);
  FAutoLoad->Apply();
  ReportHeld(1223);
  EXPECT_TRUE(codes.empty()); // not on the library's thread
  RunUntilIdle();
  EXPECT_EQ(codes, (std::vector<Cardinal>{1223, 1223}));
  EXPECT_TRUE(onUIThread);
}

TEST_F(AutoLoadThreads, AnErrorRaisedOnTheUIThreadGoesToTheApplicationsHandler)
{
  std::vector<std::string> handled;
  Vcl::Application->OnException = [&](Vcl::TObject*, const std::exception& e) {
    auto* os = dynamic_cast<const Vcl::EOSError*>(&e);
    handled.push_back(os ? std::to_string(os->ErrorCode()) : e.what());
  };
  FAutoLoad->Apply();
  ReportHeld(1223);
  RunUntilIdle();
  EXPECT_EQ(handled, std::vector<std::string>{"1223"});
}

TEST_F(AutoLoadThreads, AComponentFreedBeforeItsResultArrivesSeesNothing)
{
  bool called = false;
  FAutoLoad->OnError = [&](Vcl::TObject*, Cardinal) { called = true; };
  FAutoLoad->Apply();
  FAutoLoad.reset();
  ReportHeld(1223);
  RunUntilIdle();
  EXPECT_FALSE(called);
}

} // namespace

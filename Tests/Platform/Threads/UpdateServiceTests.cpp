// The update service component as a host uses it: checks against a local
// server, the dialog or the error box that answers, and the service freed
// from its handlers and while its dialog shows.
#include <Localizer.Intf.hpp>
#include <QxDesktopFixture.hpp>
#include <QxHttpServer.hpp>
#include <QxModalDriver.hpp>
#include <QxTestSupport.hpp>
#include <Quorex.Vcl.UpdateService.hpp>
#include <System.Classes.hpp>
#include <Winapi.Modules.Libraries.hpp>
#include <Winapi.ShellAPI.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace Quorex;
using namespace Vcl;
using QxTest::QxModalDriver;

namespace {

std::string VersionXml(int Minor)
{
  return "<Info><Version><Major>1</Major><Minor>" + std::to_string(Minor) +
         "</Minor><Release>0</Release><Build>0</Build></Version><Description>Notes</Description>"
         "<FollowURL>http://example.invalid/get</FollowURL></Info>";
}

const char* const kUnableText =
  "Unable to obtain version information.\r\nThis may be caused by the problems with the internet connection."
  "\r\n\r\nPlease check your internet connection and firewall settings, then try to update again.";

class UpdateService : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    ReleaseLocalizer();
    Win::SetDllDirectory(QX_BRIDGE_LIBRARY_DIR);
    gLocalizer()->SetCatalogFolder(QxTest::TempDir());
    gLocalizer()->SetLanguage("en");
    QxRtl::gVersion.SetAppVersion({1, 0, 0, 0});
    Server.On("/same.xml", QxTest::HttpReply(200, VersionXml(0)));
    Server.On("/newer.xml", QxTest::HttpReply(200, VersionXml(2)));
    OldShell = Win::SetShellExecuteHandler([this](const Win::TShellExecuteRequest& r) {
      Opened.push_back(r.Operation + " " + r.File);
      return std::intptr_t(42);
    });
    Service = new TQxUpdateService(nullptr);
    Service->OnUpdated = [this](TObject* Sender) {
      EXPECT_EQ(Sender, Service);
      Events += "updated ";
    };
    Service->OnUpdateFailed = [this](TObject*) { Events += "failed "; };
    Service->OnAutoCheckChanged = [this](TObject*) { Events += "autocheck "; };
  }
  void TearDown() override
  {
    delete Service;
    Win::SetShellExecuteHandler(OldShell);
    ReleaseLocalizer();
    Win::SetDllDirectory(nullptr);
    QxDesktopFixture::TearDown();
  }

  // Serves what the workers hand over until an event arrived (real time).
  void WaitForEvent()
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Events.empty() && std::chrono::steady_clock::now() < end)
      CheckSynchronize(10);
    RunUntilIdle();
    ASSERT_FALSE(Events.empty()) << "no event within 10 s";
  }
  void CheckAndWait(const std::string& Path)
  {
    Service->SetUrl(Server.Url(Path));
    Events.clear();
    Service->Check();
    WaitForEvent();
  }

  // Records the dialogs that show and closes each with the control Pick
  // chooses (Escape when it chooses none).
  std::unique_ptr<QxModalDriver> Record(std::function<TControl*(TVersionStatusForm*, int)> Pick = nullptr)
  {
    return std::make_unique<QxModalDriver>([this, Pick](TCustomForm* form, int step) {
      if (auto* status = dynamic_cast<TVersionStatusForm*>(form)) {
        if (step == 0)
          Dialogs.push_back(status->Caption() + " | " + status->lbText->Caption() + " | " +
                            status->lbLatestVersion->Caption() +
                            (status->buDownload->Visible() ? " | download" : ""));
        TControl* target = Pick ? Pick(status, step) : nullptr;
        if (target)
          QxModalDriver::ClickOn(target);
        else
          Win::InjectKey(Win::VK_ESCAPE);
        return;
      }
      Dialogs.push_back(form->Caption() + " | " + form->FindComponent("Message")->GetNamePath() + ": " +
                        static_cast<TControl*>(form->FindComponent("Message"))->Caption());
      Win::InjectKey(Win::VK_RETURN);
    });
  }

  QxTest::QxHttpServer Server;
  TQxUpdateService* Service = nullptr;
  std::string Events;
  std::vector<std::string> Dialogs;
  std::vector<std::string> Opened;
  Win::TShellExecuteHandler OldShell;
};

} // namespace

TEST_F(UpdateService, DefaultsPointNowhereReal)
{
  EXPECT_EQ(Service->URL(), "http://updates.qxcomponents.invalid/files/default-version.xml");
  EXPECT_EQ(Service->DownloadURL(), "http://updates.qxcomponents.invalid/product/default/download");
  EXPECT_TRUE(Service->AutoCheck());
  EXPECT_TRUE(Service->Updater()->AutoCheck());
  EXPECT_EQ(Service->IntervalMin(), 300);
  EXPECT_EQ(Service->FirstCheckDelaySec(), 60);
  // The first timed check goes to the default address: it fails without a
  // lookup and, not asked for by the user, shows nothing.
  auto driver = Record();
  AdvanceBy(60000);
  WaitForEvent();
  EXPECT_EQ(Events, "failed ");
  EXPECT_TRUE(Dialogs.empty());
}

TEST_F(UpdateService, ATimedCheckShowsTheDialogOnlyForANewerVersion)
{
  auto driver = Record();
  Service->SetUrl(Server.Url("/same.xml"));
  AdvanceBy(60000);
  WaitForEvent();
  EXPECT_EQ(Events, "updated ");
  EXPECT_TRUE(Dialogs.empty());
  // CheckOnce is off, so the next tick checks again and finds a newer one.
  Service->SetCheckOnce(false);
  Service->SetUrl(Server.Url("/newer.xml"));
  Service->SetAppName("Gallery");
  Events.clear();
  AdvanceBy(300 * 60000);
  WaitForEvent();
  EXPECT_EQ(Events, "updated ");
  EXPECT_EQ(Dialogs, (std::vector<std::string>{
                       "New Version Available | A new version of Gallery is now available. Click Download button "
                       "to download this update. | Latest Version: 1.2.0.0 | download"}));
  EXPECT_TRUE(Opened.empty()) << "closed, not downloaded";
}

TEST_F(UpdateService, ACheckStartedWhileTheLastOutcomeWaitsTakesBothInTurn)
{
  auto driver = Record();
  Service->SetUrl(Server.Url("/same.xml"));
  Service->Updater()->Check();
  // The worker ends and queues its outcome; nothing hands it over yet.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Service->Updater()->Check();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (Events != "updated updated " && std::chrono::steady_clock::now() < end)
    CheckSynchronize(10);
  EXPECT_EQ(Events, "updated updated ");
}

TEST_F(UpdateService, AUserCheckAlwaysAnswers)
{
  auto driver = Record([](TVersionStatusForm* form, int) {
    return form->buDownload->Visible() ? form->buDownload : form->buClose;
  });
  CheckAndWait("/same.xml");
  ASSERT_EQ(Dialogs.size(), 1u);
  EXPECT_EQ(Dialogs[0], "Version Status | You are using the latest version of this software. | Latest Version: "
                        "1.0.0.0");
  CheckAndWait("/newer.xml");
  ASSERT_EQ(Dialogs.size(), 2u);
  EXPECT_EQ(Opened, (std::vector<std::string>{"open " + Service->DownloadURL()}));

  for (const std::string& path : {std::string("/missing.xml"), std::string("")}) {
    Service->SetUrl(path.empty() ? "" : Server.Url(path));
    Events.clear();
    Service->Check();
    WaitForEvent();
    EXPECT_EQ(Events, "failed ");
    EXPECT_EQ(Dialogs.back(), std::string("Error | Message: ") + kUnableText);
  }
  EXPECT_EQ(Dialogs.size(), 4u);
  // A timed failure stays silent.
  Service->SetCheckOnce(false);
  Events.clear();
  AdvanceBy(300 * 60000);
  WaitForEvent();
  EXPECT_EQ(Events, "failed ");
  EXPECT_EQ(Dialogs.size(), 4u);
}

TEST_F(UpdateService, UntickingTheBoxTurnsAutoCheckOffOnceAndDefaultFormFalseShowsNothing)
{
  auto driver = Record([](TVersionStatusForm* form, int step) {
    return step == 0 ? static_cast<TControl*>(form->chAutoCheck) : form->buClose;
  });
  CheckAndWait("/newer.xml");
  EXPECT_EQ(Events, "autocheck updated ");
  EXPECT_FALSE(Service->AutoCheck());
  EXPECT_FALSE(Service->Updater()->AutoCheck());
  Service->SetDefaultForm(false);
  CheckAndWait("/newer.xml");
  EXPECT_EQ(Dialogs.size(), 1u);
  // The error box answers a failed check the user asked for all the same.
  CheckAndWait("/missing.xml");
  EXPECT_EQ(Events, "failed ");
  EXPECT_EQ(Dialogs.size(), 2u);
}

TEST_F(UpdateService, TheServiceMayBeFreedFromItsHandlersAndWhileItsDialogShows)
{
  auto freeIt = [this](TObject*) {
    Events += "freed ";
    delete Service;
    Service = nullptr;
  };
  auto driver = Record();
  Service->OnUpdated = freeIt;
  CheckAndWait("/newer.xml");
  EXPECT_EQ(Events, "freed ");
  EXPECT_EQ(Dialogs.size(), 1u);

  Service = new TQxUpdateService(nullptr);
  Service->OnUpdateFailed = freeIt;
  CheckAndWait("/missing.xml");
  EXPECT_EQ(Events, "freed ");
  EXPECT_EQ(Dialogs.size(), 1u) << "no error box for a freed service";

  // Freed while its dialog shows: the dialog closes and no event follows.
  Service = new TQxUpdateService(nullptr);
  Service->OnUpdated = [this](TObject*) { Events += "updated "; };
  QxModalDriver freeing([this](TCustomForm*, int) {
    Events += "dialog ";
    delete Service;
    Service = nullptr;
  });
  CheckAndWait("/newer.xml");
  EXPECT_EQ(Events, "dialog ");
  EXPECT_EQ(Screen->FormCount(), 0);
}

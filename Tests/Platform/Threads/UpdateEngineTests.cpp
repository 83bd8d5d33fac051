// The update engine against a local server: what a check reports, how the
// worker and the service let go of each other, and the schedule on the
// virtual clock.
#include <QxDesktopFixture.hpp>
#include <QxHttpServer.hpp>
#include <Quorex.Vcl.UpdateService.Engine.hpp>
#include <System.Classes.hpp>
#include <Vcl.Forms.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace Quorex;
using namespace Vcl;
using QxRtl::gVersion;

namespace {

std::string VersionXml(const std::string& Version, const std::string& Description = "Notes")
{
  std::string major, minor, release, build;
  std::istringstream parts(Version);
  std::getline(parts, major, '.');
  std::getline(parts, minor, '.');
  std::getline(parts, release, '.');
  std::getline(parts, build, '.');
  return "<Info><Version><Major>" + major + "</Major><Minor>" + minor + "</Minor><Release>" + release +
         "</Release><Build>" + build + "</Build></Version><Description>" + Description +
         "</Description><FollowURL>http://example.invalid/get</FollowURL></Info>";
}

class UpdateEngine : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    gVersion.SetAppVersion({1, 0, 0, 0});
    Service = new TUpdateService;
    QxRtl::TDownloadLimits limits;
    limits.TotalTimeoutMs = 5000;
    Service->SetDownloadLimits(limits);
    Service->OnUpdated = [this](TObject* Sender) {
      EXPECT_EQ(Sender, Service);
      EXPECT_TRUE(IsMainThread());
      Events += "updated ";
    };
    Service->OnUpdateFailed = [this](TObject*) { Events += "failed "; };
  }
  void TearDown() override
  {
    delete Service;
    Application->OnException = nullptr;
    QxDesktopFixture::TearDown();
  }

  // Serves the calls that workers hand over until Done holds (in real time:
  // the server and the workers run on real threads).
  void WaitUntil(const std::function<bool()>& Done)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done() && std::chrono::steady_clock::now() < end)
      CheckSynchronize(10);
    RunUntilIdle();
    ASSERT_TRUE(Done()) << "no outcome within 10 s";
  }
  void CheckAndWait(const std::string& Path)
  {
    Service->SetURL(Server.Url(Path));
    Events.clear();
    Service->Check();
    WaitUntil([&] { return !Events.empty(); });
  }

  QxTest::QxHttpServer Server;
  TUpdateService* Service = nullptr;
  std::string Events;
};

} // namespace

TEST_F(UpdateEngine, ASuccessfulCheckTellsWhetherTheServerHasANewerVersion)
{
  EXPECT_FALSE(Service->NewVersionAvailable()) << "before any check";
  Server.On("/same.xml", QxTest::HttpReply(200, VersionXml("1.0.0.0")));
  Server.On("/newer.xml", QxTest::HttpReply(200, VersionXml("1.0.0.1", "Faster")));
  CheckAndWait("/same.xml");
  EXPECT_EQ(Events, "updated ");
  EXPECT_TRUE(Service->Checked());
  EXPECT_FALSE(Service->NewVersionAvailable());
  CheckAndWait("/newer.xml");
  EXPECT_TRUE(Service->NewVersionAvailable());
  EXPECT_EQ(Service->ServerVersion(), (TVersionValue{1, 0, 0, 1}));
  EXPECT_EQ(Service->Description(), "Faster");
  EXPECT_EQ(Service->FollowURL(), "http://example.invalid/get");
  EXPECT_EQ(Service->VersionFile()->Description(), "Faster");
  EXPECT_FALSE(Service->Checking());
}

TEST_F(UpdateEngine, FailedChecksReportAndKeepTheLastGoodValues)
{
  Server.On("/good.xml", QxTest::HttpReply(200, VersionXml("2.1.0.0")));
  Server.On("/error.xml", QxTest::HttpReply(500, VersionXml("3.0.0.0")));
  Server.On("/bad.xml", QxTest::HttpReply(200, VersionXml("3.0.0.65536")));
  Server.On("/broken.xml", QxTest::HttpReply(200, "<Info><Version>"));
  CheckAndWait("/good.xml");
  for (const char* path : {"/error.xml", "/bad.xml", "/broken.xml", "/unscripted.xml"}) {
    CheckAndWait(path);
    EXPECT_EQ(Events, "failed ") << path;
  }
  // An empty URL is a failed check too, not silence.
  Service->SetURL("");
  Events.clear();
  Service->Check();
  WaitUntil([&] { return !Events.empty(); });
  EXPECT_EQ(Events, "failed ");
  EXPECT_EQ(Service->ServerVersion(), (TVersionValue{2, 1, 0, 0}));
  EXPECT_EQ(Service->VersionFile()->Version(), (TVersionValue{2, 1, 0, 0}));
}

TEST_F(UpdateEngine, ChecksDuringADownloadAreDropped)
{
  Server.On("/slow.xml", [](QxTest::QxHttpConnection& c) {
    c.Pause(300);
    QxTest::HttpReply(200, VersionXml("1.2.0.0"))(c);
  });
  Service->SetURL(Server.Url("/slow.xml"));
  for (int i = 0; i < 100; ++i)
    Service->Check();
  EXPECT_TRUE(Service->Checking());
  WaitUntil([&] { return !Events.empty(); });
  EXPECT_EQ(Events, "updated ");
  EXPECT_EQ(Server.Hits("/slow.xml"), 1);
}

TEST_F(UpdateEngine, DestroyingTheServiceMidDownloadCancelsItAtOnceAndRaisesNothing)
{
  Server.On("/drip.xml", QxTest::HttpDrip(1000, 50));
  Service->SetURL(Server.Url("/drip.xml"));
  Service->Check();
  WaitUntil([&] { return Server.Hits("/drip.xml") == 1; });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto start = std::chrono::steady_clock::now();
  delete Service;
  Service = nullptr;
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.5);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  RunUntilIdle();
  EXPECT_EQ(Events, "");
}

TEST_F(UpdateEngine, AHandlerMayFreeTheServiceOrRaise)
{
  Server.On("/good.xml", QxTest::HttpReply(200, VersionXml("1.2.0.0")));
  Service->OnUpdated = [this](TObject*) {
    Events += "updated ";
    delete Service;
    Service = nullptr;
  };
  CheckAndWait("/good.xml");
  EXPECT_EQ(Events, "updated ");

  Service = new TUpdateService;
  Service->OnUpdateFailed = [this](TObject*) {
    Events += "failed ";
    delete Service;
    Service = nullptr;
  };
  CheckAndWait("/missing.xml");
  EXPECT_EQ(Events, "failed ");

  // A raising handler reaches the application's handler; the check counts
  // as the success it was, and the next one runs.
  Service = new TUpdateService;
  std::string reported;
  Application->OnException = [&](TObject*, const std::exception& e) { reported = e.what(); };
  Service->OnUpdated = [this](TObject*) {
    Events += "updated ";
    throw EInvalidOperation("handler failed");
  };
  Service->OnUpdateFailed = [this](TObject*) { Events += "failed "; };
  CheckAndWait("/good.xml");
  EXPECT_EQ(Events, "updated ");
  EXPECT_EQ(reported, "handler failed");
  EXPECT_TRUE(Service->Checked());
  CheckAndWait("/good.xml");
  EXPECT_EQ(Server.Hits("/good.xml"), 3);
}

TEST_F(UpdateEngine, TheScheduleChecksAfterTheFirstDelayThenEveryInterval)
{
  Server.On("/v.xml", QxTest::HttpReply(404, ""));
  Service->SetURL(Server.Url("/v.xml"));
  Service->SetAutoCheck(true);
  AdvanceBy(59999);
  EXPECT_EQ(Server.Hits("/v.xml"), 0);
  AdvanceBy(1);
  WaitUntil([&] { return Events == "failed "; });
  // A failure keeps the ticks checking, 300 minutes apart.
  AdvanceBy(300 * 60000 - 1);
  EXPECT_EQ(Server.Hits("/v.xml"), 1);
  Server.On("/v.xml", QxTest::HttpReply(200, VersionXml("1.0.0.0")));
  AdvanceBy(1);
  WaitUntil([&] { return Events == "failed updated "; });
  // Once a check succeeded the ticks do nothing.
  AdvanceBy(3 * 300 * 60000);
  EXPECT_EQ(Server.Hits("/v.xml"), 2);
  EXPECT_EQ(Events, "failed updated ");
}

TEST_F(UpdateEngine, LongIntervalsDoNotWrapAndAZeroDelayChecksAtOnce)
{
  Server.On("/v.xml", QxTest::HttpReply(404, ""));
  Service->SetURL(Server.Url("/v.xml"));
  Service->SetCheckOnce(false);
  Service->SetFirstCheckDelay(0);
  Service->SetAutoCheck(true);
  AdvanceBy(10);
  WaitUntil([&] { return Events == "failed "; });
  // 71583 minutes overflow 32 bits of milliseconds; the timer waits the
  // longest it can instead of a wrapped few seconds.
  Service->SetCheckInterval(71583);
  AdvanceBy(std::uint64_t(std::numeric_limits<Cardinal>::max()) - 1);
  EXPECT_EQ(Server.Hits("/v.xml"), 1);
  AdvanceBy(1);
  WaitUntil([&] { return Events == "failed failed "; });
}

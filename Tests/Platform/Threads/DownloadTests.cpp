// The downloader against a local server the test scripts: what arrives, and
// every limit that keeps a bad server from holding the caller.
#include <QxHttpServer.hpp>
#include <QxRtl.WinsockLoader.hpp>
#include <QxTestSupport.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace QxRtl;
using QxTest::QxHttpServer;

namespace {

class Download : public ::testing::Test {
protected:
  // Short limits, so that each one is reached quickly.
  Download()
  {
    TDownloadLimits limits;
    limits.MaxBodyBytes = 1000;
    limits.TotalTimeoutMs = 3000;
    limits.LowSpeedBytesPerSec = 16;
    limits.LowSpeedWindowMs = 400;
    Loader.SetLimits(limits);
  }

  // The body, or the failure's message prefixed with "error: ".
  std::string Fetch(const std::string& Url)
  {
    Vcl::TMemoryStream stream;
    try {
      Loader.Download(Url, stream);
    } catch (const EDownloadError& e) {
      EXPECT_EQ(stream.Size(), 0) << "a failed download writes nothing";
      return std::string("error: ") + e.what();
    }
    stream.SetPosition(0);
    const Vcl::TBytes bytes = stream.ReadAll();
    return std::string(bytes.begin(), bytes.end());
  }
  double SecondsFor(const std::function<void()>& Work)
  {
    const auto start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  QxHttpServer Server;
  TWinsockLoader Loader;
};

} // namespace

TEST_F(Download, TwoHundredGivesTheBodyAndErrorStatusesFailEvenWithABody)
{
  Server.On("/v.xml", QxTest::HttpReply(200, "<Info/>"));
  Server.On("/missing", QxTest::HttpReply(404, "<Info/>"));
  Server.On("/broken", QxTest::HttpReply(500, "<Info/>"));
  EXPECT_EQ(Fetch(Server.Url("/v.xml")), "<Info/>");
  EXPECT_EQ(Fetch(Server.Url("/missing")), "error: The server answered 404");
  EXPECT_EQ(Fetch(Server.Url("/broken")), "error: The server answered 500");
  EXPECT_EQ(Fetch(Server.Url("/unscripted")), "error: The server answered 404");
}

TEST_F(Download, TheBodyCapHoldsForEveryWayOfSendingIt)
{
  Server.On("/exact", QxTest::HttpReply(200, std::string(1000, 'a')));
  Server.On("/one-more", QxTest::HttpReply(200, std::string(1001, 'a')));
  Server.On("/endless", QxTest::HttpEndlessChunks());
  Server.On("/huge", QxTest::HttpLongBody(std::uint64_t(1) << 40));
  EXPECT_EQ(Fetch(Server.Url("/exact")).size(), 1000u);
  const std::string tooLarge = "error: The answer is larger than 1000 bytes";
  EXPECT_EQ(Fetch(Server.Url("/one-more")), tooLarge);
  EXPECT_EQ(Fetch(Server.Url("/endless")), tooLarge);
  EXPECT_EQ(Fetch(Server.Url("/huge")), tooLarge);

  // A compressed body is decoded, and the cap counts what it decodes to.
  const std::string gzip500("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\x4b\x4c\x1c\x05\x23\x0d\x00\x00\x11\x41"
                            "\x92\x05\xf4\x01\x00\x00",
                            26);
  const std::string gzip2000("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\x4b\x4c\x1c\x05\xa3\x60\x14\x8c\x82"
                             "\x51\x30\x0a\x46\xc1\x50\x07\x00\x39\x3e\x13\xa8\xd0\x07\x00\x00",
                             35);
  Server.On("/gzip500", QxTest::HttpReply(200, gzip500, "Content-Encoding: gzip\r\n"));
  Server.On("/gzip2000", QxTest::HttpReply(200, gzip2000, "Content-Encoding: gzip\r\n"));
  EXPECT_EQ(Fetch(Server.Url("/gzip500")), std::string(500, 'a'));
  EXPECT_EQ(Fetch(Server.Url("/gzip2000")), tooLarge);
}

TEST_F(Download, ASlowDripAndAnOverlongTransferFailWithinTheirLimits)
{
  Server.On("/drip", QxTest::HttpDrip(500, 200)); // 5 bytes a second
  double seconds = SecondsFor([&] { EXPECT_EQ(Fetch(Server.Url("/drip")), "error: The download is too slow"); });
  EXPECT_LT(seconds, 2.0);

  // Fast enough for the speed check, too long for the whole-transfer limit.
  TDownloadLimits limits = Loader.Limits();
  limits.TotalTimeoutMs = 600;
  limits.LowSpeedBytesPerSec = 1;
  Loader.SetLimits(limits);
  Server.On("/steady", QxTest::HttpDrip(500, 20));
  seconds = SecondsFor([&] { EXPECT_EQ(Fetch(Server.Url("/steady")), "error: The download took too long"); });
  EXPECT_LT(seconds, 2.0);
}

TEST_F(Download, CancelFromAnotherThreadEndsTheDownloadAndEveryLaterOne)
{
  Server.On("/drip", QxTest::HttpDrip(500, 100));
  TDownloadLimits limits = Loader.Limits();
  limits.LowSpeedBytesPerSec = 0; // only the cancel ends it
  Loader.SetLimits(limits);
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    Loader.Cancel();
  });
  const double seconds = SecondsFor([&] { EXPECT_EQ(Fetch(Server.Url("/drip")), "error: Download cancelled"); });
  canceller.join();
  EXPECT_LT(seconds, 1.5);
  Server.On("/v.xml", QxTest::HttpReply(200, "<Info/>"));
  EXPECT_EQ(Fetch(Server.Url("/v.xml")), "error: Download cancelled");
}

TEST_F(Download, RedirectsAreFollowedFiveTimesAndOnlyToHttp)
{
  for (int i = 0; i < 6; ++i)
    Server.On("/hop" + std::to_string(i), QxTest::HttpRedirect(Server.Url("/hop" + std::to_string(i + 1))));
  Server.On("/hop6", QxTest::HttpReply(200, "arrived"));
  EXPECT_EQ(Fetch(Server.Url("/hop1")), "arrived");
  EXPECT_EQ(Fetch(Server.Url("/hop0")), "error: Too many redirects");
  EXPECT_EQ(Server.Hits("/hop6"), 1);

  Server.On("/loop", QxTest::HttpRedirect("/loop", 301));
  EXPECT_EQ(Fetch(Server.Url("/loop")), "error: Too many redirects");
  EXPECT_EQ(Server.Hits("/loop"), 6);

  // A redirect to a local file is refused before anything reads it.
  const std::string secret = QxTest::TempDir() + "/secret.xml";
  std::ofstream(secret) << "<Info/>";
  Server.On("/to-file", QxTest::HttpRedirect("file://" + secret));
  Server.On("/to-ftp", QxTest::HttpRedirect("ftp://127.0.0.1/v.xml"));
  EXPECT_EQ(Fetch(Server.Url("/to-file")), "error: Only http and https URLs can be downloaded: file://" + secret);
  EXPECT_EQ(Fetch(Server.Url("/to-ftp")), "error: Only http and https URLs can be downloaded: ftp://127.0.0.1/v.xml");
}

TEST_F(Download, UrlsThatAreNotHttpOrNameNoHostFailWithoutALookup)
{
  EXPECT_EQ(Fetch(""), "error: No URL to download");
  EXPECT_EQ(Fetch("no url at all"), "error: Invalid URL: no url at all");
  EXPECT_EQ(Fetch("file:///etc/hostname"), "error: Only http and https URLs can be downloaded: file:///etc/hostname");
  EXPECT_EQ(Fetch("http://updates.example.invalid/v.xml"), "error: Host not found: updates.example.invalid");
  // Nothing listens on port 1 of the loopback: connection refused.
  EXPECT_EQ(Fetch("http://127.0.0.1:1/v.xml").rfind("error: ", 0), 0u);
}

TEST_F(Download, HttpsTrustsOnlyTheAuthoritiesGivenAndNeverRedirectsDownToHttp)
{
  QxTest::QxTlsIdentity identity;
  QxHttpServer secure(&identity);
  secure.On("/v.xml", QxTest::HttpReply(200, "<Info/>"));
  secure.On("/across", QxTest::HttpRedirect(secure.Url("/v.xml")));
  secure.On("/down", QxTest::HttpRedirect(Server.Url("/v.xml")));
  Server.On("/v.xml", QxTest::HttpReply(200, "<plain/>"));
  Server.On("/up", QxTest::HttpRedirect(secure.Url("/v.xml")));

  // The system's authorities do not know the test's: the handshake fails
  // before any request is made.
  EXPECT_NE(Fetch(secure.Url("/v.xml")).find("certificate"), std::string::npos);
  EXPECT_EQ(secure.Hits("/v.xml"), 0);

  Loader.SetCertificateAuthorities(identity.CertificateFile());
  EXPECT_EQ(Fetch(secure.Url("/v.xml")), "<Info/>");
  EXPECT_EQ(Fetch(secure.Url("/across")), "<Info/>");
  EXPECT_EQ(Fetch(Server.Url("/up")), "<Info/>");
  EXPECT_EQ(Fetch(secure.Url("/down")), "error: A redirect from https to http is refused: " + Server.Url("/v.xml"));
  EXPECT_EQ(Server.Hits("/v.xml"), 0);

  // Trusting one authority is not trusting every certificate.
  QxTest::QxTlsIdentity stranger;
  QxHttpServer other(&stranger);
  other.On("/v.xml", QxTest::HttpReply(200, "<Info/>"));
  EXPECT_NE(Fetch(other.Url("/v.xml")).find("certificate"), std::string::npos);
  EXPECT_EQ(other.Hits("/v.xml"), 0);
}

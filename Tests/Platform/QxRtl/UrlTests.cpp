// Web addresses: which texts count as one, and how one is opened.
#include <QxRtl.Url.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace QxRtl;

TEST(Url, AddressesThatVerify)
{
  for (const char* text : {"http://example.com", "HTTPS://Example.COM/a/b?c=d#e", "ftp://files.example.org:21/pub",
                           "http://localhost:8080/", "http://10.0.0.1", "www.example.com", "  https://a-b.example.net  ",
                           "http://example.com/ümlaut"})
    EXPECT_TRUE(gUrl.VerifyUrl(text)) << text;
}

TEST(Url, TextsThatDoNot)
{
  for (const char* text : {"", "   ", "example.com", "http://", "http://example", "http://-bad.com", "http://bad-.com",
                           "http://exa mple.com", "http://example.com/a b", "http://example.com:0", "http://example.com:65536",
                           "http://example.com:port", "http://256.1.1.1", "http://1.2.3.400", "http://1.2.3", "file:///etc/passwd",
                           "javascript:alert(1)", "mailto:a@example.com", "http://user@example.com", "-h http://x.com",
                           "http://example.com/\x01", "http://a..com"})
    EXPECT_FALSE(gUrl.VerifyUrl(text)) << text;
}

TEST(Url, GoUrlOpensOnlyVerifiedAddressesInTheirOpenedForm)
{
  std::vector<String> opened;
  gUrl.SetOpener([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  EXPECT_TRUE(gUrl.GoUrl(" www.example.com/x "));
  EXPECT_TRUE(gUrl.GoUrl("https://example.com"));
  EXPECT_FALSE(gUrl.GoUrl("not an address"));
  gUrl.SetOpener([](const String&) { return false; });
  EXPECT_FALSE(gUrl.GoUrl("https://example.com"));
  gUrl.SetOpener({});
  EXPECT_EQ(opened, (std::vector<String>{"http://www.example.com/x", "https://example.com"}));
}

// The desktop opener runs the xdg-open found on PATH with the address as one
// argument: a stand-in program records what it was given, and characters a
// shell would act on arrive untouched.
TEST(Url, TheDesktopOpenerStartsXdgOpenWithoutAShell)
{
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("qx-url-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::path record = dir / "args";
  {
    std::ofstream script(dir / "xdg-open");
    script << "#!/bin/sh\nprintf '%s|' \"$@\" > '" << record.string() << ".tmp'\nmv '" << record.string() << ".tmp' '"
           << record.string() << "'\n";
  }
  fs::permissions(dir / "xdg-open", fs::perms::owner_all);
  String oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);
  const String url = "https://example.com/?q=$(touch%20x);a&b|c";
  EXPECT_TRUE(gUrl.GoUrl(url));
  for (int i = 0; i < 500 && !fs::exists(record); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  setenv("PATH", oldPath.c_str(), 1);
  std::stringstream args;
  args << std::ifstream(record).rdbuf();
  EXPECT_EQ(args.str(), url + "|");
  EXPECT_FALSE(fs::exists(dir / "x"));
  fs::remove_all(dir);
}

// Libraries loaded by file name: the one folder a bare name resolves in, the
// Win32 codes of each failure, and a library planted in the current folder
// that must not be picked up.
#include <QxTestSupport.hpp>
#include <System.SysUtils.Errors.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Win;

namespace {

const std::string StandIns = QX_STANDIN_DIR;

class LibraryLoader : public ::testing::Test {
protected:
  void SetUp() override { FCurrent = fs::current_path(); }
  void TearDown() override
  {
    SetDllDirectory(nullptr);
    fs::current_path(FCurrent);
  }

private:
  fs::path FCurrent;
};

TEST_F(LibraryLoader, BareNamesResolveInTheHostsFolderOrTheExecutables)
{
  const fs::path exeFolder = fs::read_symlink("/proc/self/exe").parent_path();
  EXPECT_EQ(LibraryPath("autoloadlib.dll"), (exeFolder / "autoloadlib.dll").string());
  EXPECT_EQ(LibraryPath("sub/../x.dll"), (exeFolder / "x.dll").string());
  EXPECT_EQ(LibraryPath("/opt/lib/x.dll"), "/opt/lib/x.dll");
  EXPECT_EQ(LibraryPath(""), "");

  // A relative folder is taken against the current folder when it is set,
  // not when a library is loaded later.
  const std::string temp = QxTest::TempDir();
  fs::create_directories(fs::path(temp) / "libs");
  fs::current_path(temp);
  SetDllDirectory("libs");
  fs::current_path("/");
  EXPECT_EQ(LibraryPath("x.dll"), (fs::path(temp) / "libs" / "x.dll").string());
}

TEST_F(LibraryLoader, LoadsFindsAndFrees)
{
  SetDllDirectory((StandIns + "/autoload-Held").c_str());
  HMODULE module = LoadLibrary("autoloadlib.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, "GetInstance"), nullptr);

  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(FreeLibrary(module), TRUE);

  EXPECT_EQ(GetProcAddress(nullptr, "GetInstance"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(LibraryLoader, FailuresCarryTheirWin32Codes)
{
  const std::string temp = QxTest::TempDir();
  SetDllDirectory(temp.c_str());
  EXPECT_EQ(LoadLibrary("missing.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  std::ofstream(fs::path(temp) / "text.dll") << "not a library";
  EXPECT_EQ(LoadLibrary("text.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);

  EXPECT_EQ(LoadLibrary(""), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  // The code is the calling thread's own.
  DWORD elsewhere = 1;
  std::thread([&] { elsewhere = GetLastError(); }).join();
  EXPECT_EQ(elsewhere, ERROR_SUCCESS);
}

TEST_F(LibraryLoader, ALibraryPlantedInTheCurrentFolderIsNotLoaded)
{
  const std::string planted = QxTest::TempDir();
  fs::copy_file(StandIns + "/autoload-Held/autoloadlib.dll", fs::path(planted) / "autoloadlib.dll");
  fs::current_path(planted);

  // Neither by the executable's folder (which has none) nor by a host folder.
  EXPECT_EQ(LoadLibrary("autoloadlib.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  SetDllDirectory((StandIns + "/autoload-Null").c_str());
  HMODULE module = LoadLibrary("autoloadlib.dll");
  ASSERT_NE(module, nullptr);
  // The host folder's library has no held-results export; the planted one has.
  EXPECT_EQ(GetProcAddress(module, "StandInReportHeld"), nullptr);
  FreeLibrary(module);
}

TEST(OSErrors, MessagesNameTheCode)
{
  EXPECT_EQ(Vcl::SysErrorMessage(126), "The specified module could not be found.");
  EXPECT_EQ(Vcl::SysErrorMessage(127), "The specified procedure could not be found.");
  EXPECT_EQ(Vcl::SysErrorMessage(4242), "Unknown error 4242");
  const auto deniedRaised = [] {
    SetLastError(ERROR_ACCESS_DENIED);
    Vcl::RaiseLastOSError();
  };
  EXPECT_THAT(deniedRaised, testing::ThrowsMessage<Vcl::EOSError>("System Error.  Code: 5.\nAccess is denied."));
  EXPECT_THAT(deniedRaised, testing::Throws<Vcl::EOSError>(testing::Property(&Vcl::EOSError::ErrorCode, 5u)));
  EXPECT_THROW(Vcl::RaiseLastOSError(0), Vcl::EOSError);
}

} // namespace

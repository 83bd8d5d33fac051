#include "QxTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace QxTest {

std::string SourceDir()
{
  if (const char* dir = std::getenv("QX_SOURCE_DIR"))
    return dir;
  return QX_SOURCE_ROOT;
}

std::string TempDir()
{
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "qx";
  auto dir = std::filesystem::temp_directory_path() / ("qxtest-" + std::to_string(::getpid()) + "-" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

std::vector<std::uint8_t> ReadBytes(const std::string& Path)
{
  std::ifstream in(Path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace QxTest

// An autostart entry from outside (any program may write one): read through
// the shipped auto-load library as the component does, asking whether a
// program is registered and under what name.
#include <AutoLoad.Intf.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

struct TAutostartHost {
  TAutostartHost() : Folder(std::filesystem::temp_directory_path() / "qx-fuzz-autostart")
  {
    std::filesystem::create_directories(Folder / "autostart");
    setenv("XDG_CONFIG_HOME", Folder.c_str(), 1);
    Win::SetDllDirectory(QX_BRIDGE_LIBRARY_DIR);
  }
  std::filesystem::path Folder;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  static TAutostartHost host;
  std::ofstream(host.Folder / "autostart/entry.desktop", std::ios::binary | std::ios::trunc)
    .write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
  const auto& library = Quorex::GetInstance();
  library->IsRegistered("/usr/bin/app");
  library->TaskNameOf("/opt/My App/run");
  return 0;
}

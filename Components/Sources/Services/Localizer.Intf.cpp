#include "Localizer.Intf.hpp"

#include <Winapi.Modules.Libraries.hpp>

#include <filesystem>

namespace Quorex {

namespace {

std::shared_ptr<ILocalizer>& Instance()
{
  static std::shared_ptr<ILocalizer> instance;
  return instance;
}

} // namespace

bool IsLocalizerAvailable()
{
  std::error_code error;
  return std::filesystem::is_regular_file(Win::LibraryPath(LocalizerLibName), error);
}

bool IsLocalizerAssigned()
{
  return Instance() != nullptr;
}

std::shared_ptr<ILocalizer> MakeLocalizer()
{
  Win::HMODULE module = Win::LoadLibrary(LocalizerLibName);
  if (!module)
    throw Vcl::Exception("LocalizerLib.dll not found");
  // Without the export the library is of no use; calling through a null
  // address would bring the host down instead.
  auto getInstance = reinterpret_cast<TGetLocalizerInstance>(Win::GetProcAddress(module, "GetInstance"));
  if (!getInstance) {
    Win::FreeLibrary(module);
    throw Vcl::Exception("LocalizerLib.dll not found");
  }
  return getInstance();
}

const std::shared_ptr<ILocalizer>& gLocalizer()
{
  std::shared_ptr<ILocalizer>& instance = Instance();
  if (!instance)
    instance = MakeLocalizer();
  return instance;
}

void ReleaseLocalizer()
{
  Instance().reset();
}

} // namespace Quorex

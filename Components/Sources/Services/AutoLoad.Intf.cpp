#include "AutoLoad.Intf.hpp"

#include <System.SysUtils.Errors.hpp>
#include <Winapi.Modules.Libraries.hpp>

namespace Quorex {

namespace {

std::shared_ptr<IAutoLoad>& Instance()
{
  static std::shared_ptr<IAutoLoad> instance;
  return instance;
}

// The module that holds the instance, loaded on first use.
Win::HMODULE LoadAutoLoadLib()
{
  Win::HMODULE module = Win::LoadLibrary(AutoLoadLibName);
  if (module)
    return module;
  const Win::DWORD error = Win::GetLastError();
  if (error == Win::ERROR_MOD_NOT_FOUND)
    throw Vcl::Exception(Vcl::Format("Dynamic link librabry \"%0:s\" not found.", {AutoLoadLibName}));
  Vcl::RaiseLastOSError(error);
}

TGetAutoLoadInstance FindGetInstance(Win::HMODULE module)
{
  auto proc = reinterpret_cast<TGetAutoLoadInstance>(Win::GetProcAddress(module, "GetInstance"));
  if (proc)
    return proc;
  const Win::DWORD error = Win::GetLastError();
  Win::FreeLibrary(module);
  if (error == Win::ERROR_PROC_NOT_FOUND)
    throw Vcl::Exception(
      Vcl::Format("Procedure \"%0:s\" not found in module \"%1:s\".", {"GetInstance", AutoLoadLibName}));
  Vcl::RaiseLastOSError(error);
}

} // namespace

const std::shared_ptr<IAutoLoad>& GetInstance()
{
  std::shared_ptr<IAutoLoad>& instance = Instance();
  if (instance)
    return instance;
  Win::HMODULE module = LoadAutoLoadLib();
  TGetAutoLoadInstance getInstance = FindGetInstance(module);
  std::exception_ptr error;
  try {
    instance = getInstance();
  } catch (...) {
    error = std::current_exception();
  }
  if (error || !instance) {
    Win::FreeLibrary(module);
    if (error)
      std::rethrow_exception(error);
    // Every later call would go through a null instance.
    throw Vcl::Exception(
      Vcl::Format("Procedure \"%0:s\" in module \"%1:s\" returned no instance.", {"GetInstance", AutoLoadLibName}));
  }
  return instance;
}

void ReleaseAutoLoad()
{
  Instance().reset();
}

} // namespace Quorex

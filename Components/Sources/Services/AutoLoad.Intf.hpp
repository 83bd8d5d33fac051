// The interfaces of the external auto-load library ("autoloadlib.dll"),
// which registers an executable to start when the user logs on, and the one
// process-wide instance of it.
//
// A library implements IAutoLoad and exports "GetInstance"
// (TGetAutoLoadInstance) without C++ name decoration. The operations keep a
// fixed order that callers rely on (IAutoLoadBase's first); new ones go at
// the end.
#pragma once

#include <System.Classes.hpp>
#include <Winapi.ActiveX.hpp>

#include <functional>
#include <memory>

namespace Quorex {

using Vcl::Cardinal;
using Vcl::String;

// The mechanism a registration uses; the library may know only some.
enum class TAutoLoadType { ltAuto, ltRegistry, ltScheduler };
using enum TAutoLoadType;

// A result code: 0 for success, otherwise a Win32 error code. The library
// calls it once per request, on any thread, possibly after the request has
// returned; the callbacks the library is given never throw.
using TAsyncResult = std::function<void(Cardinal)>;

class IAutoLoadBase {
public:
  static constexpr Win::GUID IID{0xDEB62C64, 0xBA1F, 0x46BC, {0x9B, 0x41, 0x9B, 0xF4, 0x4C, 0x60, 0x8A, 0xBA}};
  virtual ~IAutoLoadBase() = default;
  // Registers APath to start at log-on under ATaskName, by the current type
  // and elevation.
  virtual void Register(const String& ATaskName, const String& APath, TAsyncResult AResult) = 0;
  // Removes every registration of APath.
  virtual void Unregister(const String& APath, TAsyncResult AResult) = 0;
  // The name APath is registered under; empty when it is not.
  virtual String TaskNameOf(const String& APath) const = 0;
  virtual bool IsAvailable() const = 0;
};

class IAutoLoad : public IAutoLoadBase {
public:
  static constexpr Win::GUID IID{0x5D774F5D, 0x4E16, 0x4602, {0x81, 0xDD, 0xFE, 0x48, 0x3F, 0x15, 0xCB, 0x25}};
  virtual TAutoLoadType LoadType() const = 0;
  virtual void SetLoadType(TAutoLoadType AType) = 0;
  virtual bool Elevated() const = 0;
  virtual void SetElevated(bool AValue) = 0;
  // True when APath is registered (and enabled).
  virtual bool IsRegistered(const String& APath) const = 0;
};

using TGetAutoLoadInstance = std::shared_ptr<IAutoLoad> (*)();

// The library's file name, a bare name resolved as Win::LibraryPath says.
inline constexpr const char* AutoLoadLibName = "autoloadlib.dll";

// The instance, loading the library on first use (main thread only):
// Exception 'Dynamic link librabry "autoloadlib.dll" not found.' without the
// file, 'Procedure "GetInstance" not found in module "autoloadlib.dll".'
// without the export, EOSError for another failure of the loader. What
// "GetInstance" raises is passed on, and a library that gives no instance is
// refused; either way the library is unloaded again.
const std::shared_ptr<IAutoLoad>& GetInstance();
// Lets go of the instance, as the end of the program does (hosts that switch
// libraries, tests). The library stays loaded.
void ReleaseAutoLoad();

} // namespace Quorex

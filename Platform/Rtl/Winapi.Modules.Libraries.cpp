#include "Winapi.Modules.Libraries.hpp"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace Win {

namespace fs = std::filesystem;

namespace {

thread_local DWORD tLastError = ERROR_SUCCESS;

struct TLibraryFolder {
  std::mutex Lock;
  fs::path Folder; // empty: the executable's folder
};

TLibraryFolder& LibraryFolder()
{
  static TLibraryFolder folder;
  return folder;
}

fs::path ExecutableFolder()
{
  std::error_code error;
  fs::path exe = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path("/") : exe.parent_path();
}

fs::path SearchFolder()
{
  TLibraryFolder& f = LibraryFolder();
  std::lock_guard lock(f.Lock);
  return f.Folder.empty() ? ExecutableFolder() : f.Folder;
}

bool IsElfFile(const std::string& path)
{
  char magic[4] = {};
  std::ifstream file(path, std::ios::binary);
  return file.read(magic, sizeof magic) && std::memcmp(magic, "\x7f" "ELF", 4) == 0;
}

} // namespace

DWORD GetLastError()
{
  return tLastError;
}

void SetLastError(DWORD ErrCode)
{
  tLastError = ErrCode;
}

void SetDllDirectory(const char* PathName)
{
  fs::path folder;
  if (PathName && *PathName) {
    std::error_code error;
    folder = fs::absolute(PathName, error).lexically_normal();
  }
  TLibraryFolder& f = LibraryFolder();
  std::lock_guard lock(f.Lock);
  f.Folder = folder;
}

std::string LibraryPath(const char* FileName)
{
  if (!FileName || !*FileName)
    return {};
  fs::path name(FileName);
  if (name.is_absolute())
    return name.lexically_normal().string();
  return (SearchFolder() / name).lexically_normal().string();
}

HMODULE LoadLibrary(const char* FileName)
{
  const std::string path = LibraryPath(FileName);
  if (path.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::error_code error;
  if (!fs::is_regular_file(path, error)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  // A path with a slash is never looked up along the loader's search path.
  HMODULE module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module)
    SetLastError(IsElfFile(path) ? ERROR_MOD_NOT_FOUND : ERROR_BAD_EXE_FORMAT);
  return module;
}

FARPROC GetProcAddress(HMODULE Module, const char* ProcName)
{
  if (!Module || !ProcName) {
    SetLastError(Module ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return nullptr;
  }
  FARPROC proc = dlsym(Module, ProcName);
  if (!proc)
    SetLastError(ERROR_PROC_NOT_FOUND);
  return proc;
}

BOOL FreeLibrary(HMODULE Module)
{
  if (!Module || dlclose(Module) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

} // namespace Win

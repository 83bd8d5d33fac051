// Libraries loaded at run time, the kernel's LoadLibrary, GetProcAddress and
// FreeLibrary on the system's dynamic loader, with the Win32 error codes a
// caller reads through GetLastError.
//
// A library named by a bare file name (or any relative path) is looked for in
// one folder only: the one the host set with SetDllDirectory, or else the
// executable's own. The current folder and the loader's search path are never
// searched, so a library planted there is not loaded in place of ours.
// LibraryPath gives that one absolute path, so a check for the file and the
// load that follows look at the same file.
#pragma once

#include "Winapi.Modules.hpp"

#include <string>

namespace Win {

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;

// The calling thread's last error code.
DWORD GetLastError();
void SetLastError(DWORD ErrCode);

using FARPROC = void*;

// The folder bare library names resolve in; nullptr or "" goes back to the
// executable's folder. A relative folder is made absolute once, here.
void SetDllDirectory(const char* PathName);
// The absolute path a library name resolves to; an absolute name stays as
// it is. Empty for an empty name.
std::string LibraryPath(const char* FileName);

// nullptr on failure, with ERROR_MOD_NOT_FOUND when there is no such file or
// a library it needs is missing, ERROR_BAD_EXE_FORMAT when it is not a
// library.
HMODULE LoadLibrary(const char* FileName);
// nullptr with ERROR_PROC_NOT_FOUND when the library exports no such name.
FARPROC GetProcAddress(HMODULE Module, const char* ProcName);
BOOL FreeLibrary(HMODULE Module);

} // namespace Win

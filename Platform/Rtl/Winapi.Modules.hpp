// Modules and their resources, the kernel's part of the Win32 stand-in. A
// module here is a named table of resources that a library embeds at build
// time and registers when it loads ("user32" holds the system icons, the
// components library its pictures); a resource is found by type and name,
// each a number (MAKEINTRESOURCE) or a string compared without case.
#pragma once

#include "Winapi.WinTypes.hpp"

#include <cstddef>
#include <cstdint>
#include <span>

namespace Win {

using LPCSTR = const char*;
// A module handle points at the module's table (and matches the window
// system's untyped instance handle).
using HMODULE = void*;
using HINSTANCE = HMODULE;
struct TResourceObject;
using HRSRC = const TResourceObject*;
using HGLOBAL = const void*;

inline LPCSTR MAKEINTRESOURCE(WORD Id) { return reinterpret_cast<LPCSTR>(std::uintptr_t(Id)); }
inline bool IS_INTRESOURCE(LPCSTR Name) { return (reinterpret_cast<std::uintptr_t>(Name) >> 16) == 0; }

// Resource types with their Win32 numbers. An icon resource (RT_GROUP_ICON)
// holds a whole icon file here, not the group directory and its separate
// RT_ICON images of a Win32 module.
inline const LPCSTR RT_BITMAP = MAKEINTRESOURCE(2);
inline const LPCSTR RT_ICON = MAKEINTRESOURCE(3);
inline const LPCSTR RT_RCDATA = MAKEINTRESOURCE(10);
inline const LPCSTR RT_GROUP_ICON = MAKEINTRESOURCE(14);

// One resource of a module's table; Data lives as long as the process.
struct TResourceEntry {
  LPCSTR Type;
  LPCSTR Name;
  const std::uint8_t* Data;
  std::size_t Size;
};

// Adds the resources to the module of that name (made on first use); a
// resource of the same type and name as an earlier one replaces it. Called
// by the tables generated at build time, while the libraries load.
void RegisterModuleResources(const char* ModuleName, std::span<const TResourceEntry> Resources);

// The module registered under the name, without case and with or without
// ".dll"; nullptr when there is none.
HMODULE GetModuleHandle(const char* ModuleName);
// nullptr when the module or the resource is unknown.
HRSRC FindResource(HMODULE Module, LPCSTR Name, LPCSTR Type);
HGLOBAL LoadResource(HMODULE Module, HRSRC ResInfo);
const void* LockResource(HGLOBAL ResData);
DWORD SizeofResource(HMODULE Module, HRSRC ResInfo);

} // namespace Win

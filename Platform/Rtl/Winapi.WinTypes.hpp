// The scalar types of the Win32 API and the COM results: the Rtl's COM view
// (Winapi.ActiveX) and the window system above it share them.
#pragma once

#include <cstdint>

namespace Win {

using BOOL = int;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// COM-style results: negative values are failures.
using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0, S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001), E_POINTER = HRESULT(0x80004003),
                  E_FAIL = HRESULT(0x80004005), E_UNEXPECTED = HRESULT(0x8000FFFF),
                  E_HANDLE = HRESULT(0x80070006), E_OUTOFMEMORY = HRESULT(0x8007000E),
                  E_INVALIDARG = HRESULT(0x80070057);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

} // namespace Win

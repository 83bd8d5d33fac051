// The COM stream interface: what a byte source looks like to code that
// reads through IStream (the graphics layer's image readers).
#pragma once

#include "Winapi.WinTypes.hpp"

#include <cstdint>

namespace Win {

using ULONG = std::uint32_t;
using LARGE_INTEGER = std::int64_t;
using ULARGE_INTEGER = std::uint64_t;

struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
};

constexpr DWORD STGTY_STORAGE = 1, STGTY_STREAM = 2;
constexpr DWORD LOCK_WRITE = 1, LOCK_EXCLUSIVE = 2, LOCK_ONLYONCE = 4;
constexpr DWORD STATFLAG_DEFAULT = 0, STATFLAG_NONAME = 1;
constexpr DWORD STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2;
constexpr HRESULT STG_E_INVALIDFUNCTION = HRESULT(0x80030001), STG_E_INVALIDPOINTER = HRESULT(0x80030009),
                  STG_E_MEDIUMFULL = HRESULT(0x80030070), STG_E_READFAULT = HRESULT(0x8003001E);

struct STATSTG {
  char* pwcsName = nullptr;
  DWORD type = 0;
  ULARGE_INTEGER cbSize = 0;
  FILETIME mtime;
  FILETIME ctime;
  FILETIME atime;
  DWORD grfMode = 0;
  DWORD grfLocksSupported = 0;
  GUID clsid;
  DWORD grfStateBits = 0;
  DWORD reserved = 0;
};

class IStream {
public:
  virtual ~IStream() = default;
  virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
  virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;
  virtual HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) = 0;
  virtual HRESULT SetSize(ULARGE_INTEGER libNewSize) = 0;
  virtual HRESULT Commit(DWORD grfCommitFlags) = 0;
  virtual HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
};

} // namespace Win

// TStreamAdapter: the COM stream view of a framework stream. Failures of the
// stream come back as COM results, never as exceptions.
#pragma once

#include "System.Streams.hpp"
#include "Winapi.ActiveX.hpp"

namespace Vcl {

enum class TStreamOwnership { soReference, soOwned };
using enum TStreamOwnership;

class TStreamAdapter : public Win::IStream {
public:
  explicit TStreamAdapter(TStream* Stream, TStreamOwnership Ownership = soReference);
  ~TStreamAdapter() override;
  TStreamAdapter(const TStreamAdapter&) = delete;
  TStreamAdapter& operator=(const TStreamAdapter&) = delete;

  Win::HRESULT Read(void* pv, Win::ULONG cb, Win::ULONG* pcbRead) override;
  Win::HRESULT Write(const void* pv, Win::ULONG cb, Win::ULONG* pcbWritten) override;
  Win::HRESULT Seek(Win::LARGE_INTEGER dlibMove, Win::DWORD dwOrigin, Win::ULARGE_INTEGER* plibNewPosition) override;
  Win::HRESULT SetSize(Win::ULARGE_INTEGER libNewSize) override;
  Win::HRESULT Commit(Win::DWORD grfCommitFlags) override;
  // Type and size only; descendants say more.
  Win::HRESULT Stat(Win::STATSTG* pstatstg, Win::DWORD grfStatFlag) override;

  TStream* Stream() const { return FStream; }

private:
  TStream* FStream;
  TStreamOwnership FOwnership;
};

} // namespace Vcl

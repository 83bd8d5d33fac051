#include "System.StreamAdapter.hpp"

#include "System.SysUtils.hpp"

namespace Vcl {

using namespace Win;

TStreamAdapter::TStreamAdapter(TStream* Stream, TStreamOwnership Ownership)
  : FStream(Stream), FOwnership(Ownership)
{
  // Every call reads or writes through the stream: without one it has nothing to serve.
  QX_ASSERT(Stream, "System.Classes");
}

TStreamAdapter::~TStreamAdapter()
{
  if (FOwnership == soOwned)
    delete FStream;
}

HRESULT TStreamAdapter::Read(void* pv, ULONG cb, ULONG* pcbRead)
{
  if (!pv)
    return STG_E_INVALIDPOINTER;
  try {
    Int64 n = FStream->Read(pv, cb);
    if (pcbRead)
      *pcbRead = ULONG(n);
    return S_OK;
  } catch (const Exception&) {
    return S_FALSE;
  }
}

HRESULT TStreamAdapter::Write(const void* pv, ULONG cb, ULONG* pcbWritten)
{
  if (!pv)
    return STG_E_INVALIDPOINTER;
  try {
    Int64 n = FStream->Write(pv, cb);
    if (pcbWritten)
      *pcbWritten = ULONG(n);
    return n == Int64(cb) ? S_OK : STG_E_MEDIUMFULL;
  } catch (const Exception&) {
    return STG_E_MEDIUMFULL;
  }
}

HRESULT TStreamAdapter::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition)
{
  if (dwOrigin > STREAM_SEEK_END)
    return STG_E_INVALIDFUNCTION;
  try {
    Int64 pos = FStream->Seek(dlibMove, static_cast<TSeekOrigin>(dwOrigin));
    if (plibNewPosition)
      *plibNewPosition = ULARGE_INTEGER(pos);
    return S_OK;
  } catch (const Exception&) {
    return STG_E_INVALIDFUNCTION;
  }
}

HRESULT TStreamAdapter::SetSize(ULARGE_INTEGER libNewSize)
{
  if (libNewSize > ULARGE_INTEGER(INT64_MAX))
    return STG_E_INVALIDFUNCTION;
  try {
    FStream->SetSize(Int64(libNewSize));
    return FStream->Size() == Int64(libNewSize) ? S_OK : E_FAIL;
  } catch (const Exception&) {
    return E_UNEXPECTED;
  }
}

HRESULT TStreamAdapter::Commit(DWORD grfCommitFlags)
{
  (void)grfCommitFlags;
  return S_OK;
}

HRESULT TStreamAdapter::Stat(STATSTG* pstatstg, DWORD grfStatFlag)
{
  (void)grfStatFlag;
  if (!pstatstg)
    return STG_E_INVALIDPOINTER;
  try {
    *pstatstg = STATSTG();
    pstatstg->type = STGTY_STREAM;
    pstatstg->cbSize = ULARGE_INTEGER(FStream->Size());
    return S_OK;
  } catch (const Exception&) {
    return E_UNEXPECTED;
  }
}

} // namespace Vcl

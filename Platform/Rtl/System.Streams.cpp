#include "System.Streams.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vcl {

// ---- TStream -----------------------------------------------------------------------

Int64 TStream::Size()
{
  Int64 pos = Seek(0, soCurrent);
  Int64 size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64 NewSize)
{
  (void)NewSize;
  throw EStreamError("Stream does not support resizing");
}

void TStream::ReadBuffer(void* Buffer, Int64 Count)
{
  if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count))
    throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count)
{
  if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count))
    throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count)
{
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  Int64 done = 0;
  std::vector<Byte> buffer(size_t(std::min<Int64>(std::max<Int64>(Count, 1), 1 << 16)));
  while (done < Count) {
    Int64 n = std::min<Int64>(Count - done, Int64(buffer.size()));
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    done += n;
  }
  return done;
}

TBytes TStream::ReadAll()
{
  TBytes bytes;
  Byte chunk[1 << 14];
  while (true) {
    Int64 n = Read(chunk, sizeof chunk);
    if (n <= 0)
      break;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  return bytes;
}

// ---- memory streams ---------------------------------------------------------------

Int64 TCustomMemoryStream::Read(void* Buffer, Int64 Count)
{
  if (Count <= 0 || FPosition >= Int64(FData.size()))
    return 0;
  Int64 n = std::min<Int64>(Count, Int64(FData.size()) - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, size_t(n));
  FPosition += n;
  return n;
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
  Int64 base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Int64(FData.size());
  Int64 target = base + Offset;
  if (target < 0)
    throw EStreamError("Invalid stream position");
  FPosition = target;
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) const
{
  Stream->WriteBuffer(FData.data(), Int64(FData.size()));
}

void TCustomMemoryStream::SaveToFile(const String& FileName) const
{
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

Int64 TMemoryStream::Write(const void* Buffer, Int64 Count)
{
  if (Count <= 0)
    return 0;
  Int64 end = FPosition + Count;
  if (end > Int64(FData.size()))
    FData.resize(size_t(end));
  std::memcpy(FData.data() + FPosition, Buffer, size_t(Count));
  FPosition = end;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize)
{
  if (NewSize < 0)
    throw EStreamError("Invalid stream size");
  FData.resize(size_t(NewSize));
  FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear()
{
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
  Stream->SetPosition(0);
  TBytes bytes = Stream->ReadAll();
  FData.swap(bytes);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName)
{
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

TBytesStream::TBytesStream(const TBytes& Bytes)
{
  FData = Bytes;
}

TStringStream::TStringStream(const String& S)
{
  FData.assign(S.begin(), S.end());
}

String TStringStream::ReadString(Int64 Count)
{
  Int64 n = std::clamp<Int64>(Count, 0, std::max<Int64>(Int64(FData.size()) - FPosition, 0));
  String s(reinterpret_cast<const char*>(FData.data() + FPosition), size_t(n));
  FPosition += n;
  return s;
}

// ---- TFileStream --------------------------------------------------------------------

TFileStream::TFileStream(const String& FileName, Word Mode) : FFileName(FileName)
{
  if (Mode == fmCreate) {
    FHandle = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (FHandle < 0)
      throw EFCreateError(Format("Cannot create file \"%s\". %s", {FileName, String(std::strerror(errno))}));
    return;
  }
  int flags = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
  FHandle = ::open(FileName.c_str(), flags | O_CLOEXEC);
  if (FHandle < 0)
    throw EFOpenError(Format("Cannot open file \"%s\". %s", {FileName, String(std::strerror(errno))}));
  struct stat st;
  if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    throw EFOpenError(Format("Cannot open file \"%s\". %s", {FileName, String(std::strerror(EISDIR))}));
  }
}

TFileStream::~TFileStream()
{
  if (FHandle >= 0)
    ::close(FHandle);
}

Int64 TFileStream::Read(void* Buffer, Int64 Count)
{
  Int64 done = 0;
  while (done < Count) {
    ssize_t n = ::read(FHandle, static_cast<char*>(Buffer) + done, size_t(Count - done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += n;
  }
  return done;
}

Int64 TFileStream::Write(const void* Buffer, Int64 Count)
{
  Int64 done = 0;
  while (done < Count) {
    ssize_t n = ::write(FHandle, static_cast<const char*>(Buffer) + done, size_t(Count - done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += n;
  }
  return done;
}

Int64 TFileStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
  int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(FHandle, off_t(Offset), whence);
  if (r < 0)
    throw EStreamError("Invalid stream position");
  return Int64(r);
}

void TFileStream::SetSize(Int64 NewSize)
{
  if (NewSize < 0 || ::ftruncate(FHandle, off_t(NewSize)) != 0)
    throw EStreamError("Stream size error");
  if (Position() > NewSize)
    SetPosition(NewSize);
}

// ---- TResourceStream -----------------------------------------------------------------

TResourceStream::TResourceStream(Win::HINSTANCE Instance, const String& ResName, Win::LPCSTR ResType)
{
  Initialize(Instance, ResName.c_str(), ResType, ResName);
}

TResourceStream::TResourceStream(Win::HINSTANCE Instance, Word ResID, Win::LPCSTR ResType)
{
  Initialize(Instance, Win::MAKEINTRESOURCE(ResID), ResType, IntToStr(ResID));
}

void TResourceStream::Initialize(Win::HINSTANCE Instance, Win::LPCSTR Name, Win::LPCSTR ResType,
                                 const String& ShownName)
{
  const Win::HRSRC info = Instance ? Win::FindResource(Instance, Name, ResType) : nullptr;
  if (!info)
    throw EResNotFound(Format("Resource %s not found", {ShownName}));
  const auto* data = static_cast<const Byte*>(Win::LockResource(Win::LoadResource(Instance, info)));
  FData.assign(data, data + Win::SizeofResource(Instance, info));
}

Int64 TResourceStream::Write(const void*, Int64)
{
  throw EStreamError("Can't write to a read-only resource stream");
}

} // namespace Vcl

// Streams: a seekable byte source/sink with the framework's error behaviour
// (ReadBuffer/WriteBuffer raise on a short transfer).
#pragma once

#include "System.SysUtils.hpp"
#include "Winapi.Modules.hpp"

#include <cstdio>

namespace Vcl {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };
using enum TSeekOrigin;

class TStream : public TObject {
public:
  // Transfers up to Count bytes; returns how many were transferred.
  virtual Int64 Read(void* Buffer, Int64 Count) = 0;
  virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 Pos) { Seek(Pos, soBeginning); }
  virtual Int64 Size();
  virtual void SetSize(Int64 NewSize);

  // Exactly Count bytes or EReadError "Stream read error".
  void ReadBuffer(void* Buffer, Int64 Count);
  // Exactly Count bytes or EWriteError "Stream write error".
  void WriteBuffer(const void* Buffer, Int64 Count);
  // Copies Count bytes from Source (all of it from the start when Count is 0).
  Int64 CopyFrom(TStream* Source, Int64 Count);
  // Reads the rest of the stream.
  TBytes ReadAll();
};

class TCustomMemoryStream : public TStream {
public:
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return Int64(FData.size()); }
  const Byte* Memory() const { return FData.data(); }
  Byte* Memory() { return FData.data(); }
  void SaveToStream(TStream* Stream) const;
  void SaveToFile(const String& FileName) const;

protected:
  TBytes FData;
  Int64 FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
  Int64 Write(const void* Buffer, Int64 Count) override;
  void SetSize(Int64 NewSize) override;
  void Clear();
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
};

class TBytesStream : public TMemoryStream {
public:
  TBytesStream() = default;
  explicit TBytesStream(const TBytes& Bytes);
  const TBytes& Bytes() const { return FData; }
};

class TStringStream : public TBytesStream {
public:
  TStringStream() = default;
  explicit TStringStream(const String& S);
  String DataString() const { return String(FData.begin(), FData.end()); }
  String ReadString(Int64 Count);
  void WriteString(const String& S) { WriteBuffer(S.data(), Int64(S.size())); }
};

// File modes of the framework: fmCreate, or an open mode with a share mode.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
public:
  // Raises EFCreateError "Cannot create file "name". reason" or EFOpenError
  // "Cannot open file "name". reason".
  TFileStream(const String& FileName, Word Mode);
  ~TFileStream() override;
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  void SetSize(Int64 NewSize) override;
  const String& FileName() const { return FFileName; }

private:
  String FFileName;
  int FHandle = -1;
};

QX_EXCEPTION(EResNotFound, Exception);

// A read-only stream over a copy of a module's resource. An unknown module or
// resource raises EResNotFound "Resource NAME not found" (a number for a
// numbered resource); writing raises EStreamError.
class TResourceStream : public TCustomMemoryStream {
public:
  TResourceStream(Win::HINSTANCE Instance, const String& ResName, Win::LPCSTR ResType);
  TResourceStream(Win::HINSTANCE Instance, Word ResID, Win::LPCSTR ResType);
  Int64 Write(const void* Buffer, Int64 Count) override;

private:
  void Initialize(Win::HINSTANCE Instance, Win::LPCSTR Name, Win::LPCSTR ResType, const String& ShownName);
};

} // namespace Vcl

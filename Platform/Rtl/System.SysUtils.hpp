// Exceptions and the string and number routines of the runtime.
#pragma once

#include "System.hpp"

#include <cstddef>
#include <exception>
#include <variant>

namespace Vcl {

class Exception : public std::exception {
public:
  explicit Exception(String message) : FMessage(std::move(message)) {}
  const String& Message() const { return FMessage; }
  void SetMessage(const String& value) { FMessage = value; }
  const char* what() const noexcept override { return FMessage.c_str(); }
  virtual String ClassName() const { return "Exception"; }

private:
  String FMessage;
};

#define QX_EXCEPTION(Name, Base)                                          \
  class Name : public Base {                                              \
  public:                                                                 \
    using Base::Base;                                                     \
    String ClassName() const override { return #Name; }                   \
  }

QX_EXCEPTION(EAbort, Exception);
QX_EXCEPTION(EConvertError, Exception);
QX_EXCEPTION(EAssertionFailed, Exception);
QX_EXCEPTION(EInvalidOperation, Exception);
QX_EXCEPTION(EInvalidPointer, Exception);
QX_EXCEPTION(EOutOfMemory, Exception);
QX_EXCEPTION(EOutOfResources, EOutOfMemory);
QX_EXCEPTION(EInvalidGraphic, Exception);
QX_EXCEPTION(EInvalidGraphicOperation, Exception);
QX_EXCEPTION(EListError, Exception);
QX_EXCEPTION(EStringListError, Exception);
QX_EXCEPTION(EComponentError, Exception);
QX_EXCEPTION(EClassNotFound, Exception);
QX_EXCEPTION(EStreamError, Exception);
QX_EXCEPTION(EReadError, EStreamError);
QX_EXCEPTION(EWriteError, EStreamError);
QX_EXCEPTION(EFOpenError, EStreamError);
QX_EXCEPTION(EFCreateError, EStreamError);
QX_EXCEPTION(ERangeError, Exception);

class EOSError : public Exception {
public:
  EOSError(String message, Cardinal errorCode) : Exception(std::move(message)), FErrorCode(errorCode) {}
  Cardinal ErrorCode() const { return FErrorCode; }
  String ClassName() const override { return "EOSError"; }

private:
  Cardinal FErrorCode;
};

// Silent exception: stops an operation without an error message.
[[noreturn]] void Abort();

// Raises EAssertionFailed with "Assertion failure (<unit>, line <n>)".
[[noreturn]] void AssertFailed(const char* unitName, int line);
#define QX_ASSERT(condition, unitName)                   \
  do {                                                   \
    if (!(condition))                                    \
      ::Vcl::AssertFailed((unitName), __LINE__);         \
  } while (0)

// ---- Format ------------------------------------------------------------
// One argument of Format: integers, floating point, strings and pointers.
class TVarRec {
public:
  TVarRec(int v) : FValue(Int64(v)) {}
  TVarRec(long v) : FValue(Int64(v)) {}
  TVarRec(long long v) : FValue(Int64(v)) {}
  TVarRec(unsigned v) : FValue(Int64(v)) {}
  TVarRec(unsigned long v) : FValue(UInt64(v)) {}
  TVarRec(unsigned long long v) : FValue(UInt64(v)) {}
  TVarRec(double v) : FValue(v) {}
  TVarRec(const char* v) : FValue(String(v ? v : "")) {}
  TVarRec(const String& v) : FValue(v) {}
  TVarRec(const void* v) : FValue(v) {}
  TVarRec(bool) = delete;

  using Value = std::variant<Int64, UInt64, double, String, const void*>;
  const Value& Get() const { return FValue; }

private:
  Value FValue;
};

// Delphi-style Format: "%" [index ":"] ["-"] [width] ["." precision] type, with
// types d u x e f g n m p s and "%%". Width and precision may be "*". A bad
// format or a missing or mismatched argument raises EConvertError.
String Format(const String& format, std::initializer_list<TVarRec> args);
String Format(const String& format, const std::vector<TVarRec>& args);

// ---- integers ------------------------------------------------------------
String IntToStr(Int64 value);
String IntToHex(UInt64 value, int digits);
// Decimal or hexadecimal ("$", "0x"); optional sign and leading blanks.
// Hexadecimal values up to $FFFFFFFF wrap into the negative range as the
// framework does; anything else out of range or malformed fails.
bool TryStrToInt(const String& s, Integer& value);
bool TryStrToInt64(const String& s, Int64& value);
Integer StrToInt(const String& s);
Integer StrToIntDef(const String& s, Integer defaultValue);
Int64 StrToInt64(const String& s);

// ---- strings ---------------------------------------------------------------
String UpperCase(const String& s);  // ASCII letters only, like the framework
String LowerCase(const String& s);
bool SameText(const String& a, const String& b);
int CompareText(const String& a, const String& b);
int CompareStr(const String& a, const String& b);
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);
String QuotedStr(const String& s);
bool IsValidIdent(const String& s);

// The character put in place of an ill-formed UTF-8 sequence.
constexpr char32_t ReplacementChar = 0xFFFD;
// Decodes the UTF-8 character at P (P < End) and moves P past it. An
// ill-formed sequence (a stray continuation byte, a lead byte that starts
// nothing, a missing continuation byte, an overlong form, a surrogate, a
// code point past U+10FFFF, a sequence cut off by End) yields
// ReplacementChar and sets Malformed when given; P then moves past the
// longest start of a valid sequence, at least one byte, so the byte that
// shows the sequence ill-formed starts the next character. Nothing at or
// past End is read.
char32_t NextUtf8Char(const char*& P, const char* End, bool* Malformed = nullptr);

struct TReplaceFlags {
  bool ReplaceAll = false;
  bool IgnoreCase = false;
};
String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     TReplaceFlags flags);

// ---- files ---------------------------------------------------------------
bool FileExists(const String& fileName);
String ExtractFileName(const String& fileName);
String ExtractFilePath(const String& fileName);
String ExtractFileExt(const String& fileName);

} // namespace Vcl

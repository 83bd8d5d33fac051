// System queries and string helpers of the closed runtime.
#pragma once

#include <System.SysUtils.hpp>

namespace QxRtl {

using Vcl::Integer;
using Vcl::String;

// The Windows version the components take their look from, as an ordinal
// (8 and above: the flat modern look). Linux has no Windows version: the
// host may choose one; 10 until it does.
class TSystemService {
public:
  Integer GetWindowsVersion() const { return FWindowsVersion; }
  void SetWindowsVersion(Integer Value) { FWindowsVersion = Value; }
  // True when the version lies in From .. To.
  bool IsWindows(Integer From, Integer To) const { return FWindowsVersion >= From && FWindowsVersion <= To; }

private:
  Integer FWindowsVersion = 10;
};

class TStringService {
public:
  // List with Item appended, Separator between them when List is not empty.
  String Add(const String& List, const String& Item, const String& Separator) const;
};

extern TSystemService gSystem;
extern TStringService gString;

} // namespace QxRtl

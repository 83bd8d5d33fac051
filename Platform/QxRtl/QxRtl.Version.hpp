// Version numbers of the closed runtime: the four-part version value and
// the running application's own version, which the host sets.
#pragma once

#include <System.SysUtils.hpp>

#include <compare>

namespace QxRtl {

using Vcl::String;
using Vcl::Word;

struct TVersionValue {
  Word Major = 0;
  Word Minor = 0;
  Word Release = 0;
  Word Build = 0;

  // "Major.Minor.Release.Build".
  String AsLongString() const;
  // Ordered by major, then minor, release and build.
  auto operator<=>(const TVersionValue&) const = default;
};

class TVersionService {
public:
  // What the host declared with SetAppVersion; all zeros before.
  TVersionValue GetAppVersion() const;
  void SetAppVersion(const TVersionValue& Value);

private:
  TVersionValue FAppVersion;
};

extern TVersionService gVersion;

} // namespace QxRtl

// Checking and opening web addresses.
#pragma once

#include <System.SysUtils.hpp>

#include <functional>

namespace QxRtl {

using Vcl::String;

// The address rule: optional blanks around
//   http://, https:// or ftp:// (any case) followed by a host, or a host
//   beginning with "www." (opened as http://);
//   the host: an IPv4 address in dotted decimals (each 0 .. 255), "localhost",
//   or dot-separated labels of ASCII letters, digits and hyphens (1 .. 63
//   characters, no hyphen at either end), at least two labels, the last not
//   all digits;
//   then an optional port ":" 1 .. 65535;
//   then optionally "/", "?" or "#" and more characters, none of them a
//   blank or a control character.
// Nothing else (no user names, no other schemes) counts as an address, so
// that what GoUrl hands to the desktop is always a plain web address.
class TUrlService {
public:
  // Opens a verified address; true when the opener took it.
  using TOpener = std::function<bool(const String& Url)>;

  bool VerifyUrl(const String& Text) const;
  // The address as it is opened (blanks trimmed, http:// added to a bare
  // www. host); empty when Text does not verify.
  String NormalizeUrl(const String& Text) const;
  // Opens Text when it verifies; false when it does not or the opener failed.
  bool GoUrl(const String& Text) const;

  // Hosts and tests replace the opener; an empty one restores the desktop's
  // (xdg-open, started without a shell).
  void SetOpener(TOpener Opener);

private:
  TOpener FOpener;
};

// Starts `xdg-open Url` found on PATH, without a shell, and reaps it in the
// background; true when the program started.
bool OpenWithDesktop(const String& Url);

extern TUrlService gUrl;

} // namespace QxRtl

#include "QxRtl.Url.hpp"

#include <algorithm>
#include <cctype>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace QxRtl {

TUrlService gUrl;

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
  return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin(), [](char p, char c) {
           return std::tolower(static_cast<unsigned char>(c)) == p;
         });
}

bool AllDigits(std::string_view s)
{
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal number of at most five digits within [Low, High].
bool NumberIn(std::string_view s, int Low, int High)
{
  if (!AllDigits(s) || s.size() > 5)
    return false;
  int value = 0;
  for (char c : s)
    value = value * 10 + (c - '0');
  return value >= Low && value <= High;
}

std::vector<std::string_view> Split(std::string_view s, char separator)
{
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    size_t end = s.find(separator, start);
    parts.push_back(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos)
      return parts;
    start = end + 1;
  }
}

bool ValidLabel(std::string_view label)
{
  if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
    return false;
  return std::all_of(label.begin(), label.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; });
}

bool ValidHost(std::string_view host)
{
  if (StartsWithNoCase(host, "localhost") && host.size() == 9)
    return true;
  auto labels = Split(host, '.');
  if (labels.size() == 4 && std::all_of(labels.begin(), labels.end(), AllDigits))
    return std::all_of(labels.begin(), labels.end(), [](std::string_view l) { return NumberIn(l, 0, 255); });
  return labels.size() >= 2 && std::all_of(labels.begin(), labels.end(), ValidLabel) && !AllDigits(labels.back());
}

bool ValidRest(std::string_view rest)
{
  return std::all_of(rest.begin(), rest.end(), [](char c) { return static_cast<unsigned char>(c) > ' ' && c != 0x7F; });
}

// Host, optional port and the rest after the scheme.
bool ValidAuthorityAndRest(std::string_view s)
{
  size_t restAt = s.find_first_of("/?#");
  std::string_view authority = s.substr(0, restAt);
  std::string_view rest = restAt == std::string_view::npos ? std::string_view{} : s.substr(restAt);
  size_t colon = authority.find(':');
  if (colon != std::string_view::npos && !NumberIn(authority.substr(colon + 1), 1, 65535))
    return false;
  return ValidHost(authority.substr(0, colon)) && ValidRest(rest);
}

std::string_view Trimmed(std::string_view s)
{
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && blank(s.back()))
    s.remove_suffix(1);
  return s;
}

} // namespace

String TUrlService::NormalizeUrl(const String& Text) const
{
  std::string_view s = Trimmed(Text);
  for (std::string_view scheme : {"http://", "https://", "ftp://"})
    if (StartsWithNoCase(s, scheme))
      return ValidAuthorityAndRest(s.substr(scheme.size())) ? String(s) : String();
  if (StartsWithNoCase(s, "www.") && ValidAuthorityAndRest(s))
    return "http://" + String(s);
  return {};
}

bool TUrlService::VerifyUrl(const String& Text) const
{
  return !NormalizeUrl(Text).empty();
}

bool TUrlService::GoUrl(const String& Text) const
{
  String url = NormalizeUrl(Text);
  if (url.empty())
    return false;
  return FOpener ? FOpener(url) : OpenWithDesktop(url);
}

void TUrlService::SetOpener(TOpener Opener)
{
  FOpener = std::move(Opener);
}

bool OpenWithDesktop(const String& Url)
{
  std::string program = "xdg-open";
  std::string argument = Url;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0)
    return false;
  // The desktop's opener may run as long as the browser it starts; it is
  // reaped in the background so that it leaves no zombie behind.
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
  return true;
}

} // namespace QxRtl

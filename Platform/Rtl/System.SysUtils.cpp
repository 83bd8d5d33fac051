#include "System.SysUtils.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sys/stat.h>

namespace Vcl {

void Abort()
{
  throw EAbort("Operation aborted");
}

void AssertFailed(const char* unitName, int line)
{
  throw EAssertionFailed(String("Assertion failure (") + (unitName ? unitName : "?") + ", line " +
                         std::to_string(line) + ")");
}

// ---- Format ------------------------------------------------------------------

namespace {

// Widths and precisions beyond this are refused rather than allocated.
constexpr int kMaxFormatWidth = 1 << 20;

class TFormatter {
public:
  TFormatter(const String& format, const std::vector<TVarRec>& args) : FFormat(format), FArgs(args) {}

  String Run()
  {
    String out;
    size_t i = 0;
    while (i < FFormat.size()) {
      char c = FFormat[i++];
      if (c != '%') {
        out += c;
        continue;
      }
      if (i < FFormat.size() && FFormat[i] == '%') {
        out += '%';
        ++i;
        continue;
      }
      i = Directive(i, out);
    }
    return out;
  }

private:
  [[noreturn]] void Invalid() const
  {
    throw EConvertError("Format '" + FFormat + "' invalid or incompatible with argument");
  }
  [[noreturn]] void Missing() const { throw EConvertError("No argument for format '" + FFormat + "'"); }

  const TVarRec::Value& NextArg()
  {
    if (FArgIndex >= FArgs.size())
      Missing();
    return FArgs[FArgIndex++].Get();
  }

  // Digits or "*" (taken from the argument list); -1 when absent.
  int Number(size_t& i)
  {
    if (i < FFormat.size() && FFormat[i] == '*') {
      ++i;
      const auto& v = NextArg();
      if (!std::holds_alternative<Int64>(v))
        Invalid();
      Int64 n = std::get<Int64>(v);
      if (n < 0 || n > kMaxFormatWidth)
        Invalid();
      return int(n);
    }
    if (i >= FFormat.size() || !std::isdigit(static_cast<unsigned char>(FFormat[i])))
      return -1;
    Int64 n = 0;
    while (i < FFormat.size() && std::isdigit(static_cast<unsigned char>(FFormat[i]))) {
      n = n * 10 + (FFormat[i++] - '0');
      if (n > kMaxFormatWidth)
        Invalid();
    }
    return int(n);
  }

  size_t Directive(size_t i, String& out)
  {
    size_t digitsEnd = i;
    while (digitsEnd < FFormat.size() && std::isdigit(static_cast<unsigned char>(FFormat[digitsEnd])))
      ++digitsEnd;
    if (digitsEnd > i && digitsEnd < FFormat.size() && FFormat[digitsEnd] == ':') {
      FArgIndex = size_t(Number(i));
      ++i;
    }
    bool left = false;
    if (i < FFormat.size() && FFormat[i] == '-') {
      left = true;
      ++i;
    }
    int width = Number(i);
    int precision = -1;
    if (i < FFormat.size() && FFormat[i] == '.') {
      ++i;
      precision = Number(i);
      if (precision < 0)
        precision = 0;
    }
    if (i >= FFormat.size())
      Invalid();
    char type = char(std::tolower(static_cast<unsigned char>(FFormat[i++])));
    String text = Convert(type, NextArg(), precision);
    if (width > 0 && text.size() < size_t(width)) {
      String pad(size_t(width) - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
    return i;
  }

  static String ZeroPad(String digits, int precision)
  {
    bool negative = !digits.empty() && digits[0] == '-';
    String body = negative ? digits.substr(1) : digits;
    if (precision > 0 && body.size() < size_t(precision))
      body.insert(0, size_t(precision) - body.size(), '0');
    return negative ? "-" + body : body;
  }

  String Convert(char type, const TVarRec::Value& v, int precision) const
  {
    switch (type) {
    case 'd':
      if (std::holds_alternative<Int64>(v))
        return ZeroPad(std::to_string(std::get<Int64>(v)), precision);
      if (std::holds_alternative<UInt64>(v))
        return ZeroPad(std::to_string(std::get<UInt64>(v)), precision);
      Invalid();
    case 'u':
      if (std::holds_alternative<Int64>(v))
        return ZeroPad(std::to_string(static_cast<std::uint32_t>(std::get<Int64>(v))), precision);
      if (std::holds_alternative<UInt64>(v))
        return ZeroPad(std::to_string(std::get<UInt64>(v)), precision);
      Invalid();
    case 'x':
      if (std::holds_alternative<Int64>(v)) {
        Int64 x = std::get<Int64>(v);
        UInt64 bits = (x < 0 && x >= std::numeric_limits<std::int32_t>::min()) ? UInt64(std::uint32_t(x)) : UInt64(x);
        return IntToHex(bits, std::max(precision, 0));
      }
      if (std::holds_alternative<UInt64>(v))
        return IntToHex(std::get<UInt64>(v), std::max(precision, 0));
      Invalid();
    case 's':
      if (!std::holds_alternative<String>(v))
        Invalid();
      if (precision >= 0 && std::get<String>(v).size() > size_t(precision))
        return std::get<String>(v).substr(0, size_t(precision));
      return std::get<String>(v);
    case 'p':
      if (!std::holds_alternative<const void*>(v))
        Invalid();
      return IntToHex(UInt64(reinterpret_cast<std::uintptr_t>(std::get<const void*>(v))), int(sizeof(void*) * 2));
    case 'e':
    case 'f':
    case 'g':
    case 'n':
    case 'm':
      if (!std::holds_alternative<double>(v))
        Invalid();
      return Float(type, std::get<double>(v), precision);
    default:
      Invalid();
    }
  }

  static String Float(char type, double value, int precision)
  {
    if (std::isnan(value))
      return "NAN";
    if (std::isinf(value))
      return value > 0 ? "INF" : "-INF";
    char buf[512];
    switch (type) {
    case 'e': {
      int p = precision < 0 ? 15 : std::clamp(precision, 1, 18);
      std::snprintf(buf, sizeof buf, "%.*E", p - 1, value);
      return ExpandExponent(buf);
    }
    case 'g': {
      int p = precision < 0 ? 15 : std::clamp(precision, 1, 18);
      std::snprintf(buf, sizeof buf, "%.*G", p, value);
      return buf;
    }
    default: {
      int p = precision < 0 ? 2 : std::min(precision, 18);
      if (std::fabs(value) >= 1e300)
        return Float('e', value, -1);
      std::snprintf(buf, sizeof buf, "%.*f", p, value);
      String s = buf;
      return type == 'f' ? s : GroupThousands(s) + (type == 'm' ? " " : "");
    }
    }
  }

  // The framework writes exponents with at least three digits: 1.5E+003.
  static String ExpandExponent(const String& s)
  {
    size_t e = s.find('E');
    if (e == String::npos || e + 2 > s.size())
      return s;
    const String digits = s.substr(e + 2);
    // Padding built in one piece: g++ 12 at -O3 misreads insert(0, ...) as an overlapping copy.
    const String padding(digits.size() < 3 ? 3 - digits.size() : 0, '0');
    return s.substr(0, e + 2) + padding + digits;
  }

  static String GroupThousands(const String& s)
  {
    size_t begin = (!s.empty() && s[0] == '-') ? 1 : 0;
    size_t dot = s.find('.');
    size_t end = dot == String::npos ? s.size() : dot;
    String intPart = s.substr(begin, end - begin);
    String grouped;
    for (size_t k = 0; k < intPart.size(); ++k) {
      if (k > 0 && (intPart.size() - k) % 3 == 0)
        grouped += ',';
      grouped += intPart[k];
    }
    return s.substr(0, begin) + grouped + s.substr(end);
  }

  const String& FFormat;
  const std::vector<TVarRec>& FArgs;
  size_t FArgIndex = 0;
};

} // namespace

String Format(const String& format, const std::vector<TVarRec>& args)
{
  return TFormatter(format, args).Run();
}

String Format(const String& format, std::initializer_list<TVarRec> args)
{
  return Format(format, std::vector<TVarRec>(args));
}

// ---- integers ------------------------------------------------------------------

String IntToStr(Int64 value)
{
  return std::to_string(value);
}

String IntToHex(UInt64 value, int digits)
{
  static const char kHex[] = "0123456789ABCDEF";
  String s;
  do {
    s.insert(s.begin(), kHex[value & 15]);
    value >>= 4;
  } while (value);
  digits = std::min(digits, 32);
  if (int(s.size()) < digits)
    s.insert(0, size_t(digits) - s.size(), '0');
  return s;
}

namespace {

// Parses into a 64-bit magnitude. Hexadecimal may use the whole unsigned range
// of `hexBits`; decimal must fit the signed range of that width.
bool ParseInteger(const String& s, int bits, Int64& result)
{
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  }
  if (i >= s.size())
    return false;
  const UInt64 unsignedMax = bits == 64 ? std::numeric_limits<UInt64>::max() : (UInt64(1) << bits) - 1;
  const UInt64 signedMax = unsignedMax >> 1;
  const UInt64 limit = hex ? unsignedMax : signedMax + (negative ? 1 : 0);
  const unsigned base = hex ? 16 : 10;
  UInt64 magnitude = 0;
  for (; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    if (magnitude > (limit - digit) / base)
      return false;
    magnitude = magnitude * base + digit;
  }
  // Two's complement wrap of the unsigned pattern into the signed width.
  UInt64 pattern = negative ? (~magnitude + 1) : magnitude;
  if (bits < 64) {
    pattern &= unsignedMax;
    if (pattern > signedMax)
      pattern |= ~unsignedMax;
  }
  result = static_cast<Int64>(pattern);
  return true;
}

} // namespace

bool TryStrToInt(const String& s, Integer& value)
{
  Int64 v;
  if (!ParseInteger(s, 32, v))
    return false;
  value = static_cast<Integer>(v);
  return true;
}

bool TryStrToInt64(const String& s, Int64& value)
{
  return ParseInteger(s, 64, value);
}

Integer StrToInt(const String& s)
{
  Integer v;
  if (!TryStrToInt(s, v))
    throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

Integer StrToIntDef(const String& s, Integer defaultValue)
{
  Integer v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

Int64 StrToInt64(const String& s)
{
  Int64 v;
  if (!TryStrToInt64(s, v))
    throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

// ---- strings ---------------------------------------------------------------------

String UpperCase(const String& s)
{
  String r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z')
      c = char(c - 'a' + 'A');
  return r;
}

String LowerCase(const String& s)
{
  String r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z')
      c = char(c - 'A' + 'a');
  return r;
}

int CompareText(const String& a, const String& b)
{
  return UpperCase(a).compare(UpperCase(b));
}

int CompareStr(const String& a, const String& b)
{
  return a.compare(b);
}

bool SameText(const String& a, const String& b)
{
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z')
      x = char(x - 32);
    if (y >= 'a' && y <= 'z')
      y = char(y - 32);
    if (x != y)
      return false;
  }
  return true;
}

namespace {
bool IsBlank(char c)
{
  return static_cast<unsigned char>(c) <= ' ';
}
} // namespace

String TrimLeft(const String& s)
{
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i]))
    ++i;
  return s.substr(i);
}

String TrimRight(const String& s)
{
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1]))
    --n;
  return s.substr(0, n);
}

String Trim(const String& s)
{
  return TrimLeft(TrimRight(s));
}

String QuotedStr(const String& s)
{
  String r = "'";
  for (char c : s) {
    r += c;
    if (c == '\'')
      r += '\'';
  }
  return r + "'";
}

bool IsValidIdent(const String& s)
{
  if (s.empty())
    return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(s[0]))
    return false;
  return std::all_of(s.begin(), s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

char32_t NextUtf8Char(const char*& P, const char* End, bool* Malformed)
{
  auto result = [Malformed](char32_t cp, bool malformed) {
    if (Malformed)
      *Malformed = malformed;
    return malformed ? ReplacementChar : cp;
  };
  const auto lead = static_cast<unsigned char>(*P++);
  if (lead < 0x80)
    return result(lead, false);
  // Continuation bytes, and the narrower range of the second byte that
  // excludes overlong forms, surrogates and code points past U+10FFFF.
  int length = 0;
  char32_t cp = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 1, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 2, cp = lead & 0x0F;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 3, cp = lead & 0x07;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return result(0, true);
  }
  for (int i = 0; i < length; ++i, low = 0x80, high = 0xBF) {
    const auto byte = P < End ? static_cast<unsigned char>(*P) : 0;
    if (byte < low || byte > high)
      return result(0, true); // the offending byte starts the next character
    cp = (cp << 6) | (byte & 0x3F);
    ++P;
  }
  return result(cp, false);
}

String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags)
{
  if (oldPattern.empty())
    return s;
  const String haystack = flags.IgnoreCase ? UpperCase(s) : s;
  const String needle = flags.IgnoreCase ? UpperCase(oldPattern) : oldPattern;
  String out;
  size_t pos = 0;
  while (true) {
    size_t found = haystack.find(needle, pos);
    if (found == String::npos)
      break;
    out.append(s, pos, found - pos);
    out += newPattern;
    pos = found + needle.size();
    if (!flags.ReplaceAll)
      break;
  }
  out.append(s, pos, String::npos);
  return out;
}

// ---- files -----------------------------------------------------------------------

bool FileExists(const String& fileName)
{
  struct stat st;
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

String ExtractFileName(const String& fileName)
{
  size_t slash = fileName.find_last_of('/');
  return slash == String::npos ? fileName : fileName.substr(slash + 1);
}

String ExtractFilePath(const String& fileName)
{
  size_t slash = fileName.find_last_of('/');
  return slash == String::npos ? String() : fileName.substr(0, slash + 1);
}

String ExtractFileExt(const String& fileName)
{
  String name = ExtractFileName(fileName);
  size_t dot = name.find_last_of('.');
  return dot == String::npos ? String() : name.substr(dot);
}

} // namespace Vcl

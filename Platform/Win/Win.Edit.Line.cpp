// The edit control's line: text, advances, positions and words.
#include "Win.Edit.Internal.hpp"

#include <System.SysUtils.hpp>

#include <unicode/uchar.h>
#include <unicode/ucasemap.h>

#include <limits>

#include <algorithm>
#include <numeric>

namespace Win::EditInternal {

namespace {

bool IsContinuation(char c)
{
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

} // namespace Win::EditInternal

void Win::AppendUtf8(std::string& out, char32_t ch)
{
  if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
    ch = Vcl::ReplacementChar;
  if (ch < 0x80) {
    out += char(ch);
  } else if (ch < 0x800) {
    out += char(0xC0 | (ch >> 6));
    out += char(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    out += char(0xE0 | (ch >> 12));
    out += char(0x80 | ((ch >> 6) & 0x3F));
    out += char(0x80 | (ch & 0x3F));
  } else {
    out += char(0xF0 | (ch >> 18));
    out += char(0x80 | ((ch >> 12) & 0x3F));
    out += char(0x80 | ((ch >> 6) & 0x3F));
    out += char(0x80 | (ch & 0x3F));
  }
}

namespace Win::EditInternal {

std::string Sanitize(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* start = p;
    bool malformed = false;
    char32_t ch = Vcl::NextUtf8Char(p, end, &malformed);
    if (malformed)
      AppendUtf8(out, ch);
    else
      out.append(start, p);
  }
  return out;
}

std::size_t CodePointCount(std::string_view text)
{
  return std::size_t(std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuation(c); }));
}

std::size_t ByteOfCodePoint(std::string_view text, std::size_t index)
{
  std::size_t pos = 0;
  for (; pos < text.size(); ++pos)
    if (!IsContinuation(text[pos]) && index-- == 0)
      return pos;
  return text.size();
}

namespace {

using TCaseMapping = int32_t (*)(const UCaseMap*, char*, int32_t, const char*, int32_t, UErrorCode*);

// The root locale's mapping: the same result for every user.
std::string MapCase(std::string_view text, TCaseMapping mapping)
{
  if (text.empty() || text.size() > std::size_t(std::numeric_limits<int32_t>::max() / 3))
    return std::string(text);
  UErrorCode status = U_ZERO_ERROR;
  UCaseMap* map = ucasemap_open("", 0, &status);
  if (U_FAILURE(status))
    return std::string(text);
  // Most text keeps its length; ICU tells the length when it grows more.
  std::string out(text.size() * 3, '\0');
  int32_t length = mapping(map, out.data(), int32_t(out.size()), text.data(), int32_t(text.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    status = U_ZERO_ERROR;
    out.assign(std::size_t(length), '\0');
    length = mapping(map, out.data(), int32_t(out.size()), text.data(), int32_t(text.size()), &status);
  }
  ucasemap_close(map);
  if (U_FAILURE(status))
    return std::string(text);
  out.resize(std::size_t(length));
  return out;
}

} // namespace

std::string UpperCased(std::string_view text)
{
  return MapCase(text, &ucasemap_utf8ToUpper);
}

std::string LowerCased(std::string_view text)
{
  return MapCase(text, &ucasemap_utf8ToLower);
}

TCharClass ClassOf(char32_t ch)
{
  if (u_isUWhiteSpace(UChar32(ch)))
    return TCharClass::Space;
  if (u_isalnum(UChar32(ch)) || ch == U'_' || u_hasBinaryProperty(UChar32(ch), UCHAR_ALPHABETIC))
    return TCharClass::Word;
  return TCharClass::Other;
}

int TLine::AdvanceOf(char32_t ch) const
{
  return GlyphAdvance(*FFont, FPasswordChar ? FPasswordChar : ch);
}

void TLine::SetFont(std::shared_ptr<TRealizedFont> font, char32_t passwordChar)
{
  FFont = std::move(font);
  FPasswordChar = passwordChar;
  FAdvance.assign(FText.size(), 0);
  FChars = 0;
  long long width = 0;
  for (std::size_t pos = 0; pos < FText.size(); pos = Next(pos)) {
    FAdvance[pos] = AdvanceOf(CharAt(pos));
    width += FAdvance[pos];
    ++FChars;
  }
  FWidth = ClampCoord(width);
  Remember(0, 0);
}

void TLine::Remember(std::size_t pos, long long x) const
{
  FKnownPos = pos;
  FKnownX = x;
}

void TLine::Replace(std::size_t from, std::size_t to, std::string_view text)
{
  long long width = FWidth;
  for (std::size_t pos = from; pos < to; ++pos)
    width -= FAdvance[pos];
  FChars -= CodePointCount(std::string_view(FText).substr(from, to - from));
  FText.replace(from, to - from, text);
  std::vector<int> added(text.size(), 0);
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    std::size_t at = std::size_t(p - text.data());
    added[at] = AdvanceOf(Vcl::NextUtf8Char(p, end));
    width += added[at];
    ++FChars;
  }
  FAdvance.erase(FAdvance.begin() + std::ptrdiff_t(from), FAdvance.begin() + std::ptrdiff_t(to));
  FAdvance.insert(FAdvance.begin() + std::ptrdiff_t(from), added.begin(), added.end());
  FWidth = ClampCoord(width);
  // What lies left of the change keeps its x.
  if (FKnownPos > from)
    Remember(0, 0);
}

int TLine::XOf(std::size_t pos) const
{
  pos = std::min(pos, FAdvance.size());
  auto sum = [this](std::size_t from, std::size_t to) {
    return std::accumulate(FAdvance.begin() + std::ptrdiff_t(from), FAdvance.begin() + std::ptrdiff_t(to), 0LL);
  };
  // From the nearest of the start, the known position and the end.
  std::size_t known = FKnownPos;
  std::size_t toKnown = pos > known ? pos - known : known - pos;
  long long x = 0;
  if (toKnown <= pos && toKnown <= FAdvance.size() - pos)
    x = pos >= known ? FKnownX + sum(known, pos) : FKnownX - sum(pos, known);
  else if (pos <= FAdvance.size() - pos)
    x = sum(0, pos);
  else
    x = FWidth - sum(pos, FAdvance.size());
  Remember(pos, x);
  return ClampCoord(x);
}

std::size_t TLine::FirstAtOrBefore(int x, int* startX) const
{
  std::size_t pos = FKnownPos;
  long long left = FKnownX;
  if (x < left / 2) {
    pos = 0;
    left = 0;
  }
  while (pos > 0 && left > x) {
    pos = Prev(pos);
    left -= FAdvance[pos];
  }
  while (pos < FAdvance.size() && left + FAdvance[pos] <= x) {
    left += FAdvance[pos];
    pos = Next(pos);
  }
  Remember(pos, left);
  *startX = ClampCoord(left);
  return pos;
}

std::size_t TLine::PosOfX(int x) const
{
  int left = 0;
  std::size_t pos = FirstAtOrBefore(x, &left);
  if (pos < FAdvance.size() && x - left > FAdvance[pos] / 2)
    return Next(pos);
  return pos;
}

std::size_t TLine::Next(std::size_t pos) const
{
  if (pos >= FText.size())
    return FText.size();
  ++pos;
  while (pos < FText.size() && IsContinuation(FText[pos]))
    ++pos;
  return pos;
}

std::size_t TLine::Prev(std::size_t pos) const
{
  if (pos == 0)
    return 0;
  --pos;
  while (pos > 0 && IsContinuation(FText[pos]))
    --pos;
  return pos;
}

char32_t TLine::CharAt(std::size_t pos) const
{
  if (pos >= FText.size())
    return 0;
  const char* p = FText.data() + pos;
  return Vcl::NextUtf8Char(p, FText.data() + FText.size());
}

std::size_t TLine::CodePointIndex(std::size_t pos) const
{
  return CodePointCount(std::string_view(FText).substr(0, pos));
}

std::size_t TLine::PosOfCodePoint(std::size_t index) const
{
  return ByteOfCodePoint(FText, index);
}

std::size_t TLine::NextWord(std::size_t pos) const
{
  if (pos >= FText.size())
    return FText.size();
  TCharClass start = ClassOf(CharAt(pos));
  if (start != TCharClass::Space)
    while (pos < FText.size() && ClassOf(CharAt(pos)) == start)
      pos = Next(pos);
  while (pos < FText.size() && ClassOf(CharAt(pos)) == TCharClass::Space)
    pos = Next(pos);
  return pos;
}

std::size_t TLine::PrevWord(std::size_t pos) const
{
  while (pos > 0 && ClassOf(CharAt(Prev(pos))) == TCharClass::Space)
    pos = Prev(pos);
  if (pos == 0)
    return 0;
  TCharClass cls = ClassOf(CharAt(Prev(pos)));
  while (pos > 0 && ClassOf(CharAt(Prev(pos))) == cls)
    pos = Prev(pos);
  return pos;
}

void TLine::WordAt(std::size_t pos, std::size_t* from, std::size_t* to) const
{
  // Past the end, or at a word's end, the run to the left is meant.
  if (pos >= FText.size() && pos > 0)
    pos = Prev(pos);
  *from = *to = pos;
  if (FText.empty())
    return;
  TCharClass cls = ClassOf(CharAt(pos));
  while (*from > 0 && ClassOf(CharAt(Prev(*from))) == cls)
    *from = Prev(*from);
  while (*to < FText.size() && ClassOf(CharAt(*to)) == cls)
    *to = Next(*to);
}

} // namespace Win::EditInternal

// The edit control's line: its text (the window text, UTF-8 kept well
// formed) with one advance per byte (the code point's at its lead byte, 0
// on continuation bytes), so that positions, widths and hit tests are
// plain byte arithmetic and a change touches only the bytes it changes.
// The x of the last position asked for is kept: the next question (the
// caret one character on, a click near the caret) walks only the distance
// from there, so typing costs the same in a short and a long line.
#pragma once

#include "Win.Edit.hpp"
#include "Win.Fonts.hpp"
#include "Win.User.Internal.hpp"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Win::EditInternal {

// Well-formed UTF-8 for any input: ill-formed sequences become U+FFFD.
std::string Sanitize(std::string_view text);
// The code points of UTF-8 text; the byte offset of the Nth code point.
std::size_t CodePointCount(std::string_view text);
std::size_t ByteOfCodePoint(std::string_view text, std::size_t index);
using Win::AppendUtf8;

// Every letter by Unicode's full case mapping (so "ß" becomes "SS"), the
// same for every user's locale; text ICU cannot take comes back unchanged.
std::string UpperCased(std::string_view text);
std::string LowerCased(std::string_view text);

// Word classes for Ctrl+arrows and the double click.
enum class TCharClass { Space, Word, Other };
TCharClass ClassOf(char32_t ch);

class TLine {
public:
  explicit TLine(std::string& text) : FText(text) {}

  const std::string& Text() const { return FText; }
  std::size_t Size() const { return FText.size(); }
  std::size_t Chars() const { return FChars; }
  int Width() const { return FWidth; }

  // A new font, or a new password character (0: none): every advance again.
  void SetFont(std::shared_ptr<TRealizedFont> font, char32_t passwordChar);
  TRealizedFont& Font() const { return *FFont; }
  char32_t PasswordChar() const { return FPasswordChar; }

  // Replaces bytes [from, to) by well-formed text.
  void Replace(std::size_t from, std::size_t to, std::string_view text);

  // The x of a byte position from the start of the line.
  int XOf(std::size_t pos) const;
  // The byte position whose boundary is nearest to x.
  std::size_t PosOfX(int x) const;
  // The first byte position at or left of x, and its x.
  std::size_t FirstAtOrBefore(int x, int* startX) const;
  // Neighbouring code point boundaries.
  std::size_t Next(std::size_t pos) const;
  std::size_t Prev(std::size_t pos) const;
  char32_t CharAt(std::size_t pos) const;
  std::size_t CodePointIndex(std::size_t pos) const;
  std::size_t PosOfCodePoint(std::size_t index) const;
  int Advance(std::size_t pos) const { return FAdvance[pos]; }

  // Word movement: the start of the next word, the start of this or the
  // previous word, and the run of one class around a position.
  std::size_t NextWord(std::size_t pos) const;
  std::size_t PrevWord(std::size_t pos) const;
  void WordAt(std::size_t pos, std::size_t* from, std::size_t* to) const;

private:
  int AdvanceOf(char32_t ch) const;
  void Remember(std::size_t pos, long long x) const;

  std::string& FText;
  std::vector<int> FAdvance;
  std::shared_ptr<TRealizedFont> FFont;
  char32_t FPasswordChar = 0;
  std::size_t FChars = 0;
  int FWidth = 0;
  mutable std::size_t FKnownPos = 0; // a code point boundary whose x is FKnownX
  mutable long long FKnownX = 0;
};

} // namespace Win::EditInternal

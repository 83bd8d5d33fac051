#include <System.SysUtils.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

using namespace Vcl;

TEST(TryStrToInt, DecimalHexAndSigns)
{
  Integer v = 0;
  EXPECT_TRUE(TryStrToInt("123", v));
  EXPECT_EQ(v, 123);
  EXPECT_TRUE(TryStrToInt("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_TRUE(TryStrToInt("+7", v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(TryStrToInt("  42", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(TryStrToInt("$ff", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(TryStrToInt("0x10", v));
  EXPECT_EQ(v, 16);
  EXPECT_TRUE(TryStrToInt("-$10", v));
  EXPECT_EQ(v, -16);
  // System colours are written as hexadecimal with the high byte set.
  EXPECT_TRUE(TryStrToInt("$FF00000F", v));
  EXPECT_EQ(v, Integer(0xFF00000Fu));
  EXPECT_TRUE(TryStrToInt("$FFFFFFFF", v));
  EXPECT_EQ(v, -1);
}

TEST(TryStrToInt, OverflowAndGarbageFailWithoutTouchingTheValue)
{
  for (const char* bad : {"", " ", "-", "$", "0x", "2147483648", "-2147483649", "$100000000",
                          "99999999999999999999999", "12a", "a12", "1 2", "1.0", "$fg", "--1", "+-1", "12 "}) {
    Integer v = 77;
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    EXPECT_EQ(v, 77) << bad;
  }
  EXPECT_THROW(StrToInt("x"), EConvertError);
  EXPECT_THAT([] { StrToInt("abc"); }, testing::ThrowsMessage<EConvertError>("'abc' is not a valid integer value"));
  EXPECT_EQ(StrToIntDef("oops", -5), -5);
  Int64 w;
  EXPECT_TRUE(TryStrToInt64("9223372036854775807", w));
  EXPECT_EQ(w, INT64_MAX);
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", w));
  EXPECT_TRUE(TryStrToInt64("-9223372036854775808", w));
  EXPECT_EQ(w, INT64_MIN);
}

TEST(Format, Directives)
{
  EXPECT_EQ(Format("%s has %d items", {"list", 3}), "list has 3 items");
  EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
  EXPECT_EQ(Format("[%5d][%-5d][%.3d]", {42, 42, -5}), "[   42][42   ][-005]");
  EXPECT_EQ(Format("%x %.4x %X", {255, 10, 0xABCu}), "FF 000A ABC");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%.2s|%*d", {"abcdef", 4, 7}), "ab|   7");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("%.1f %e", {2.75, 1500.0}), "2.8 1.50000000000000E+003");
  EXPECT_EQ(Format("%n", {1234567.5}), "1,234,567.50");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
}

TEST(Format, HostileFormatsRaiseInsteadOfReadingPastTheArguments)
{
  const char* hostile[] = {"%s%s%s%s", "%d", "%s", "%", "%-", "%5", "%.", "%q", "%3:s", "%*d",
                           "%999999999d", "%.999999999s", "%99999999999:d", "%n"};
  for (const char* f : hostile)
    EXPECT_THROW(Format(f, {}), EConvertError) << f;
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {5}), EConvertError);
  EXPECT_THROW(Format("%f", {5}), EConvertError);
  EXPECT_THAT([] { Format("%d", {}); }, testing::ThrowsMessage<EConvertError>("No argument for format '%d'"));
  // A host string passed as an argument is never interpreted as a format.
  EXPECT_EQ(Format("%s", {"%s%d%n"}), "%s%d%n");
}

TEST(Strings, CaseAndTrim)
{
  EXPECT_TRUE(SameText("Tahoma", "TAHOMA"));
  EXPECT_FALSE(SameText("abc", "abd"));
  EXPECT_FALSE(SameText("ab", "abc"));
  EXPECT_EQ(UpperCase("mIxEd é"), "MIXED é");
  EXPECT_EQ(LowerCase("MIXED"), "mixed");
  EXPECT_EQ(Trim("  x y \t"), "x y");
  EXPECT_EQ(IntToHex(0xBEEF, 8), "0000BEEF");
  EXPECT_EQ(IntToStr(-12), "-12");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_TRUE(IsValidIdent("_Label1"));
  EXPECT_FALSE(IsValidIdent("1Label"));
  EXPECT_FALSE(IsValidIdent("a-b"));
  EXPECT_EQ(StringReplace("aXbxc", "x", "-", {true, true}), "a-b-c");
  EXPECT_EQ(StringReplace("aXbxc", "x", "-", {false, false}), "aXb-c");
}

TEST(Assertions, MessageNamesTheUnit)
{
  EXPECT_THAT([] { QX_ASSERT(1 + 1 == 3, "Quorex.Vcl.Example"); },
              testing::ThrowsMessage<EAssertionFailed>(
                  testing::AllOf(testing::HasSubstr("Assertion failure"), testing::HasSubstr("Quorex.Vcl.Example"))));
  EXPECT_THROW(Abort(), EAbort);
  EOSError os("Access denied", 5);
  EXPECT_EQ(os.ErrorCode(), 5u);
  EXPECT_EQ(os.ClassName(), "EOSError");
}

namespace {

// Text decoded whole from a buffer of exactly its size, so that a read past
// the end is caught by the address sanitizer; Malformed counts the
// replacements that stand for ill-formed parts.
std::u32string DecodeUtf8(std::string_view Text, int* Malformed = nullptr)
{
  const std::vector<char> bytes(Text.begin(), Text.end());
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  std::u32string out;
  while (p < end) {
    const char* before = p;
    bool malformed = false;
    out += NextUtf8Char(p, end, &malformed);
    EXPECT_GT(p, before);
    EXPECT_LE(p, end);
    if (Malformed)
      *Malformed += malformed;
  }
  return out;
}

} // namespace

TEST(NextUtf8Char, ReplacesEachIllFormedPartAndNeverReadsPastTheEnd)
{
  const std::u32string R(1, ReplacementChar);
  const struct {
    const char* What;
    std::string_view Bytes;
    std::u32string Chars;
  } cases[] = {
    {"one of each length", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", U"a\u00E9\u20AC\U0001F600"},
    {"the largest code point", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
    {"truncated at the end", "\xF0\x9F\x98", R},
    {"truncated before a character", "\xE2\x82\xC3\xA9", R + U"\u00E9"},
    {"stray continuation bytes", "\x80\xBF", R + R},
    {"overlong two bytes", "\xC0\xAF", R + R},
    {"overlong three bytes", "\xE0\x80\xAF", R + R + R},
    {"overlong four bytes", "\xF0\x8F\xBF\xBF", R + R + R + R},
    {"a surrogate", "\xED\xA0\x80", R + R + R},
    {"past U+10FFFF", "\xF4\x90\x80\x80", R + R + R + R},
    {"a lead byte past F4", "\xF5\x80x", R + R + U"x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    int malformed = 0;
    EXPECT_EQ(DecodeUtf8(c.Bytes, &malformed), c.Chars);
    EXPECT_EQ(malformed, int(std::count(c.Chars.begin(), c.Chars.end(), ReplacementChar)));
  }
  int malformed = 0;
  EXPECT_EQ(DecodeUtf8("\xEF\xBF\xBD", &malformed), R) << "a U+FFFD in the text is not an error";
  EXPECT_EQ(malformed, 0);

  const char euro[] = "\xE2\x82\xAC";
  const char* p = euro;
  EXPECT_EQ(NextUtf8Char(p, euro + 2), ReplacementChar) << "the end cuts the sequence";
  EXPECT_EQ(p, euro + 2);
}

// ICU, with the same policy (one replacement per maximal part that could
// start a character), decodes every string of up to three bytes drawn from
// the bytes at the edges of the ranges the same way, and every four-byte one
// that starts with a four-byte lead.
TEST(NextUtf8Char, AgreesWithIcuAtEveryEdge)
{
  const std::vector<unsigned char> edges = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                            0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE,
                                            0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
  auto icu = [](const std::string& s) {
    std::u32string out;
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const auto length = int32_t(s.size());
    for (int32_t i = 0; i < length;) {
      UChar32 c = 0;
      U8_NEXT_OR_FFFD(bytes, i, length, c);
      out += char32_t(c);
    }
    return out;
  };
  for (size_t length = 1; length <= 4; ++length) {
    std::vector<size_t> digits(length, 0);
    for (;;) {
      std::string s;
      for (size_t d : digits)
        s += char(edges[d]);
      if ((length < 4 || edges[digits[0]] >= 0xF0) && DecodeUtf8(s) != icu(s)) {
        ADD_FAILURE() << "differs on " << ::testing::PrintToString(s);
        return;
      }
      size_t k = 0;
      while (k < length && ++digits[k] == edges.size())
        digits[k++] = 0;
      if (k == length)
        break;
    }
  }
}

#include <System.SysUtils.hpp>

#include <gtest/gtest.h>

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
  try {
    StrToInt("abc");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  }
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
  try {
    Format("%d", {});
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "No argument for format '%d'");
  }
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
  try {
    QX_ASSERT(1 + 1 == 3, "Quorex.Vcl.Example");
    FAIL() << "no exception";
  } catch (const EAssertionFailed& e) {
    EXPECT_NE(e.Message().find("Assertion failure"), String::npos);
    EXPECT_NE(e.Message().find("Quorex.Vcl.Example"), String::npos);
  }
  EXPECT_THROW(Abort(), EAbort);
  EOSError os("Access denied", 5);
  EXPECT_EQ(os.ErrorCode(), 5u);
  EXPECT_EQ(os.ClassName(), "EOSError");
}

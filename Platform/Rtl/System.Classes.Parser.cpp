// The text form format: parsing into the syntax tree and formatting it back.
#include "System.Classes.Streaming.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <iconv.h>

namespace Vcl {

namespace {

enum class TTokenKind { tkEof, tkSymbol, tkString, tkInteger, tkFloat, tkChar, tkBinary };
using enum TTokenKind;

struct TToken {
  TTokenKind Kind = tkEof;
  int Line = 1;
  String Text; // symbol or string
  Int64 Int = 0;
  bool Hex = false;
  double Float = 0;
  char Suffix = 0;
  char Char = 0;
  TBytes Bytes;
};

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexDigit(char c)
{
  if (IsDigit(c))
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

void AppendUtf8(String& s, std::uint32_t cp)
{
  if (cp < 0x80) {
    s += char(cp);
  } else if (cp < 0x800) {
    s += char(0xC0 | (cp >> 6));
    s += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += char(0xE0 | (cp >> 12));
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  } else {
    s += char(0xF0 | (cp >> 18));
    s += char(0x80 | ((cp >> 12) & 0x3F));
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  }
}

// Lone low surrogates that stand for the bytes 0x80..0xFF of a string that
// is not UTF-8, so that such a string is written and read back unchanged.
constexpr std::uint32_t EscapedByteBase = 0xDC00;
bool IsEscapedByte(std::uint32_t unit) { return unit >= EscapedByteBase + 0x80 && unit <= EscapedByteBase + 0xFF; }

// The Windows code page a font's character set stands for, or 0.
int CharsetCodePage(Int64 Charset)
{
  static const std::pair<Int64, int> pages[] = {{0, 1252},   {128, 932},  {129, 949}, {134, 936},
                                                {136, 950},  {161, 1253}, {162, 1254}, {163, 1258},
                                                {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
                                                {222, 874},  {238, 1250}};
  for (auto [charset, page] : pages)
    if (charset == Charset)
      return page;
  return 0;
}

int CharsetCodePage(const TDfmValue& Value)
{
  if (Value.Kind == vkInteger)
    return CharsetCodePage(Value.Int);
  Integer charset = 0;
  if (Value.Kind == vkIdent && IdentToIntOf("TFontCharset", Value.Text, charset))
    return CharsetCodePage(charset);
  return 0;
}

// The code page the root's Font.Charset names, or 0.
int ResourceCodePage(const TDfmObject& Root)
{
  for (const TDfmProp& p : Root.Props)
    if (SameText(p.Name, "Font.Charset"))
      return CharsetCodePage(p.Value);
  return 0;
}

// Bytes of a Windows code page as UTF-8; empty with false when the code
// page is unknown or the bytes are not text in it.
bool DecodeCodePage(const String& Bytes, int CodePage, String& Text)
{
  iconv_t cd = iconv_open("UTF-8", ("CP" + IntToStr(CodePage)).c_str());
  if (cd == iconv_t(-1))
    return false;
  Text.assign(Bytes.size() * 4, '\0');
  char* in = const_cast<char*>(Bytes.data());
  size_t inLeft = Bytes.size();
  char* out = Text.data();
  size_t outLeft = Text.size();
  const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1);
  iconv_close(cd);
  Text.resize(Text.size() - outLeft);
  return ok;
}

class TTextParser {
public:
  TTextParser(const String& Text, int CodePage) : FText(Text), FCodePage(CodePage ? CodePage : 1252)
  {
    if (FText.compare(0, 3, "\xEF\xBB\xBF") == 0)
      FPos = 3;
    Next();
  }

  TDfmObject ParseRoot()
  {
    TDfmObject root = ParseObject();
    if (FToken.Kind != tkEof)
      Error("Text after the final 'end'");
    return root;
  }

  bool SawLegacyText() const { return FSawLegacyText; }

private:
  [[noreturn]] void Error(const String& Message) const { ErrorAt(Message, FToken.Line); }
  [[noreturn]] void ErrorAt(const String& Message, int Line) const
  {
    throw EParserError(Format("%s on line %d", {Message, Line}));
  }

  // ---- tokens ----
  char Peek(size_t ahead = 0) const { return FPos + ahead < FText.size() ? FText[FPos + ahead] : '\0'; }
  bool AtEnd() const { return FPos >= FText.size(); }

  void SkipBlanks()
  {
    while (!AtEnd()) {
      char c = Peek();
      if (c == '\n' || (c == '\r' && Peek(1) != '\n'))
        ++FLine;
      else if (c != ' ' && c != '\t' && c != '\r')
        return;
      ++FPos;
    }
  }

  void Next()
  {
    SkipBlanks();
    FToken = TToken();
    FToken.Line = FLine;
    if (AtEnd())
      return;
    char c = Peek();
    if (IsAlpha(c))
      ScanSymbol();
    else if (c == '\'' || c == '#')
      ScanString();
    else if (IsDigit(c) || c == '-' || c == '$')
      ScanNumber();
    else if (c == '{')
      ScanBinary();
    else if (String("=:[](),<>+").find(c) != String::npos) {
      FToken.Kind = tkChar;
      FToken.Char = c;
      ++FPos;
    } else
      Error(Format("Invalid character #%d", {int(std::uint8_t(c))}));
  }

  void ScanSymbol()
  {
    size_t start = FPos;
    while (IsAlpha(Peek()) || IsDigit(Peek()) || (Peek() == '.' && IsAlpha(Peek(1))))
      ++FPos;
    if (Peek() == '.')
      Error("Invalid identifier");
    FToken.Kind = tkSymbol;
    FToken.Text = FText.substr(start, FPos - start);
  }

  // Quoted pieces and #n character codes, run together: 'a'#13#10'b'.
  // Codes are UTF-16 units; a surrogate pair becomes one character.
  void ScanString()
  {
    String s;
    std::uint32_t high = 0;
    auto requireNoPendingHigh = [&] {
      if (high)
        Error("Unpaired surrogate in string");
    };
    for (;;) {
      if (Peek() == '\'') {
        requireNoPendingHigh();
        ScanQuoted(s);
      } else if (Peek() == '#') {
        std::uint32_t unit = ScanCharCode();
        if (!high && IsEscapedByte(unit)) {
          s += char(unit - EscapedByteBase);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
          if (!high)
            Error("Unpaired surrogate in string");
          AppendUtf8(s, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
          high = 0;
        } else {
          requireNoPendingHigh();
          if (unit >= 0xD800 && unit <= 0xDBFF)
            high = unit;
          else
            AppendUtf8(s, unit);
        }
      } else
        break;
    }
    requireNoPendingHigh();
    FToken.Kind = tkString;
    FToken.Text = std::move(s);
  }

  // A quoted piece that is not UTF-8 holds a legacy code page's bytes.
  void ScanQuoted(String& s)
  {
    ++FPos; // opening quote
    String piece;
    for (;;) {
      if (AtEnd() || Peek() == '\n' || Peek() == '\r')
        Error("Unterminated string");
      if (Peek() == '\'' && Peek(1) != '\'') {
        ++FPos;
        break;
      }
      piece += Peek();
      FPos += Peek() == '\'' ? 2 : 1;
    }
    if (IsValidUtf8(piece)) {
      s += piece;
      return;
    }
    String decoded;
    if (!DecodeCodePage(piece, FCodePage, decoded))
      Error(Format("String is neither UTF-8 nor text of code page %d", {FCodePage}));
    FSawLegacyText = true;
    s += decoded;
  }

  static bool IsValidUtf8(const String& Text)
  {
    const char* p = Text.data();
    const char* end = p + Text.size();
    bool malformed = false;
    while (p < end && !malformed)
      NextUtf8Char(p, end, &malformed);
    return !malformed;
  }

  std::uint32_t ScanCharCode()
  {
    ++FPos; // '#'
    bool hex = Peek() == '$';
    if (hex)
      ++FPos;
    std::uint32_t value = 0;
    size_t digits = 0;
    for (;; ++digits, ++FPos) {
      int d = hex ? HexDigit(Peek()) : (IsDigit(Peek()) ? Peek() - '0' : -1);
      if (d < 0)
        break;
      value = value * (hex ? 16 : 10) + std::uint32_t(d);
      if (value > 0x10FFFF)
        Error("Invalid character code");
    }
    if (digits == 0)
      Error("Invalid character code");
    return value;
  }

  void ScanNumber()
  {
    size_t start = FPos;
    bool negative = Peek() == '-';
    if (negative)
      ++FPos;
    if (Peek() == '$') {
      ScanHex(negative);
      return;
    }
    if (!IsDigit(Peek()))
      Error("Invalid number");
    bool isFloat = false;
    while (IsDigit(Peek()))
      ++FPos;
    if (Peek() == '.' && IsDigit(Peek(1))) {
      isFloat = true;
      for (++FPos; IsDigit(Peek()); ++FPos) {}
    }
    if (Peek() == 'e' || Peek() == 'E') {
      isFloat = true;
      ++FPos;
      if (Peek() == '+' || Peek() == '-')
        ++FPos;
      if (!IsDigit(Peek()))
        Error("Invalid number");
      while (IsDigit(Peek()))
        ++FPos;
    }
    const char* first = FText.data() + start;
    const char* last = FText.data() + FPos;
    const char suffix = char(std::tolower(std::uint8_t(Peek())));
    if (IsAlpha(Peek()) && (IsAlpha(Peek(1)) || IsDigit(Peek(1)) || String("dsc").find(suffix) == String::npos))
      Error("Invalid number");
    if (IsAlpha(Peek())) { // 40070d: a date, single or currency, stored as a float
      ++FPos;
      isFloat = true;
      FToken.Suffix = suffix;
    }
    if (isFloat) {
      auto [p, ec] = std::from_chars(first, last, FToken.Float);
      if (ec != std::errc() || p != last || !std::isfinite(FToken.Float))
        Error(Format("Number out of range: %s", {String(first, last)}));
      FToken.Kind = tkFloat;
      return;
    }
    auto [p, ec] = std::from_chars(first, last, FToken.Int);
    if (ec != std::errc() || p != last)
      Error(Format("Number out of range: %s", {String(first, last)}));
    FToken.Kind = tkInteger;
  }

  void ScanHex(bool negative)
  {
    ++FPos; // '$'
    std::uint64_t value = 0;
    size_t digits = 0;
    for (; HexDigit(Peek()) >= 0; ++FPos, ++digits) {
      if (digits == 16)
        Error("Number out of range");
      value = value * 16 + std::uint64_t(HexDigit(Peek()));
    }
    if (digits == 0 || IsAlpha(Peek()))
      Error("Invalid number");
    if (value > std::uint64_t(std::numeric_limits<Int64>::max()))
      Error("Number out of range");
    FToken.Kind = tkInteger;
    FToken.Hex = true;
    FToken.Int = negative ? -Int64(value) : Int64(value);
  }

  void ScanBinary()
  {
    int startLine = FLine;
    ++FPos; // '{'
    int high = -1;
    for (;;) {
      SkipBlanks();
      if (AtEnd())
        ErrorAt("Unterminated binary value", startLine);
      char c = Peek();
      ++FPos;
      if (c == '}')
        break;
      int d = HexDigit(c);
      if (d < 0)
        Error("Invalid binary value");
      if (high < 0) {
        high = d;
        continue;
      }
      FToken.Bytes.push_back(std::uint8_t(high * 16 + d));
      high = -1;
    }
    if (high >= 0)
      Error("Invalid binary value");
    FToken.Kind = tkBinary;
    FToken.Line = startLine;
  }

  // ---- grammar ----
  bool IsSymbol(const char* word) const { return FToken.Kind == tkSymbol && SameText(FToken.Text, word); }
  bool IsChar(char c) const { return FToken.Kind == tkChar && FToken.Char == c; }
  bool AtObjectStart() const { return IsSymbol("object") || IsSymbol("inherited") || IsSymbol("inline"); }

  void ExpectChar(char c)
  {
    if (!IsChar(c))
      Error(Format("'%s' expected", {String(1, c)}));
    Next();
  }

  String ExpectSymbol()
  {
    if (FToken.Kind != tkSymbol)
      Error("Identifier expected");
    String s = FToken.Text;
    Next();
    return s;
  }

  void ExpectEnd()
  {
    if (!IsSymbol("end"))
      Error("'end' expected");
    Next();
  }

  // Guards against input nested deeper than any resource needs (and than
  // the stack may allow).
  struct TNesting {
    TTextParser& P;
    explicit TNesting(TTextParser& p) : P(p)
    {
      if (++P.FDepth > MaxFormNesting)
        P.Error(Format("Nesting deeper than %d levels", {MaxFormNesting}));
    }
    ~TNesting() { --P.FDepth; }
  };

  TDfmObject ParseObject()
  {
    TNesting nesting(*this);
    if (!AtObjectStart())
      Error("'object' expected");
    TDfmObject obj;
    obj.Line = FToken.Line;
    obj.Kind = IsSymbol("object") ? okObject : IsSymbol("inherited") ? okInherited : okInline;
    Next();
    obj.ClassName = ExpectSymbol();
    if (IsChar(':')) {
      Next();
      obj.Name = obj.ClassName;
      obj.ClassName = ExpectSymbol();
    }
    if (IsChar('[')) { // position among inherited children
      Next();
      if (FToken.Kind != tkInteger || FToken.Int < 0 || FToken.Int > std::numeric_limits<int>::max())
        Error("Number expected");
      obj.Position = int(FToken.Int);
      Next();
      ExpectChar(']');
    }
    while (FToken.Kind == tkSymbol && !AtObjectStart() && !IsSymbol("end"))
      obj.Props.push_back(ParseProperty());
    while (AtObjectStart())
      obj.Children.push_back(ParseObject());
    ExpectEnd();
    return obj;
  }

  TDfmProp ParseProperty()
  {
    TDfmProp prop;
    prop.Line = FToken.Line;
    prop.Name = ExpectSymbol();
    ExpectChar('=');
    prop.Value = ParseValue();
    return prop;
  }

  TDfmValue ParseValue()
  {
    TDfmValue v;
    v.Line = FToken.Line;
    switch (FToken.Kind) {
    case tkString:
      v.Kind = vkString;
      v.Text = FToken.Text;
      for (Next(); IsChar('+');) {
        Next();
        if (FToken.Kind != tkString)
          Error("String expected");
        v.Text += FToken.Text;
        Next();
      }
      return v;
    case tkInteger:
      v.Kind = vkInteger;
      v.Int = FToken.Int;
      v.Hex = FToken.Hex;
      break;
    case tkFloat:
      v.Kind = vkFloat;
      v.Float = FToken.Float;
      v.Suffix = FToken.Suffix;
      break;
    case tkSymbol:
      v.Kind = vkIdent;
      v.Text = FToken.Text;
      break;
    case tkBinary:
      v.Kind = vkBinary;
      v.Bytes = std::move(FToken.Bytes);
      break;
    case tkChar:
      return ParseBracketed();
    case tkEof:
      Error("Property value expected");
    }
    Next();
    return v;
  }

  TDfmValue ParseBracketed()
  {
    TNesting nesting(*this);
    TDfmValue v;
    v.Line = FToken.Line;
    char open = FToken.Char;
    if (open == '[') {
      v.Kind = vkSet;
      ParseSet(v);
    } else if (open == '(') {
      v.Kind = vkList;
      for (Next(); !IsChar(')');)
        v.List.push_back(ParseValue());
      Next();
    } else if (open == '<') {
      v.Kind = vkCollection;
      ParseItems(v);
    } else
      Error("Property value expected");
    return v;
  }

  void ParseSet(TDfmValue& v)
  {
    Next();
    if (IsChar(']')) {
      Next();
      return;
    }
    for (;;) {
      v.Names.push_back(ExpectSymbol());
      if (IsChar(']'))
        break;
      ExpectChar(',');
    }
    Next();
  }

  void ParseItems(TDfmValue& v)
  {
    for (Next(); IsSymbol("item");) {
      TDfmItem item;
      item.Line = FToken.Line;
      Next();
      while (FToken.Kind == tkSymbol && !IsSymbol("end"))
        item.Props.push_back(ParseProperty());
      ExpectEnd();
      v.Items.push_back(std::move(item));
    }
    ExpectChar('>');
  }

  const String& FText;
  const int FCodePage;
  bool FSawLegacyText = false;
  size_t FPos = 0;
  int FLine = 1;
  int FDepth = 0;
  TToken FToken;
};

// ---- formatting -----------------------------------------------------------------------

// Strings longer than this are split into pieces joined with '+'.
constexpr size_t LineLength = 64;

// Quoted runs of printable ASCII and #n codes (UTF-16 units) for everything
// else, cut into pieces of about LineLength characters.
std::vector<String> StringPieces(const String& s)
{
  std::vector<String> pieces(1);
  bool quoted = false;
  auto closeQuote = [&] {
    if (quoted)
      pieces.back() += '\'';
    quoted = false;
  };
  for (size_t i = 0; i < s.size();) {
    if (pieces.back().size() >= LineLength) {
      closeQuote();
      pieces.emplace_back();
    }
    const char* next = s.data() + i;
    bool malformed = false;
    std::uint32_t cp = NextUtf8Char(next, s.data() + s.size(), &malformed);
    if (malformed) {
      cp = EscapedByteBase + std::uint8_t(s[i]);
      next = s.data() + i + 1;
    }
    i = size_t(next - s.data());
    if (cp >= 0x20 && cp < 0x7F) {
      if (!quoted)
        pieces.back() += '\'';
      quoted = true;
      pieces.back() += cp == '\'' ? String("''") : String(1, char(cp));
      continue;
    }
    closeQuote();
    if (cp < 0x10000) {
      pieces.back() += "#" + IntToStr(cp);
      continue;
    }
    cp -= 0x10000;
    pieces.back() += "#" + IntToStr(0xD800 + (cp >> 10)) + "#" + IntToStr(0xDC00 + (cp & 0x3FF));
  }
  closeQuote();
  if (pieces.back().empty())
    pieces.back() = "''";
  return pieces;
}

String IntegerText(const TDfmValue& v)
{
  if (!v.Hex)
    return IntToStr(v.Int);
  const std::uint64_t magnitude = v.Int < 0 ? 0 - std::uint64_t(v.Int) : std::uint64_t(v.Int);
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude, 16);
  (void)ec;
  return (v.Int < 0 ? "-$" : "$") + UpperCase(String(buf, end));
}

String FloatText(double value)
{
  if (!std::isfinite(value))
    throw EWriteError("Cannot write a floating-point value that is not finite");
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;
  String s(buf, end);
  if (s.find_first_of(".e") == String::npos)
    s += ".0";
  return s;
}

class TTextFormatter {
public:
  String Result() const
  {
    String out;
    for (const String& line : FLines)
      out += line + "\n";
    return out;
  }

  void WriteObject(const TDfmObject& obj, int indent)
  {
    static const char* const keywords[] = {"object", "inherited", "inline"};
    String header = String(keywords[int(obj.Kind)]) + " ";
    header += obj.Name.empty() ? obj.ClassName : obj.Name + ": " + obj.ClassName;
    if (obj.Position >= 0)
      header += " [" + IntToStr(obj.Position) + "]";
    Line(indent, header);
    WriteProps(obj.Props, indent + 1);
    for (const TDfmObject& child : obj.Children)
      WriteObject(child, indent + 1);
    Line(indent, "end");
  }

private:
  void Line(int indent, const String& text) { FLines.push_back(String(size_t(indent) * 2, ' ') + text); }
  void Append(const String& text) { FLines.back() += text; }

  void WriteProps(const std::vector<TDfmProp>& props, int indent)
  {
    for (const TDfmProp& p : props)
      WriteValue(p.Value, indent, p.Name + " = ");
  }

  // Writes Value starting with Lead on a new line at indent.
  void WriteValue(const TDfmValue& v, int indent, const String& lead)
  {
    switch (v.Kind) {
    case vkInteger:
      Line(indent, lead + IntegerText(v));
      return;
    case vkFloat:
      Line(indent, lead + (v.Suffix ? SuffixedText(v) : FloatText(v.Float)));
      return;
    case vkIdent:
      Line(indent, lead + v.Text);
      return;
    case vkSet:
      WriteSet(v, indent, lead);
      return;
    case vkString:
      WriteString(v.Text, indent, lead);
      return;
    case vkList:
      Line(indent, lead + "(");
      for (const TDfmValue& e : v.List)
        WriteValue(e, indent + 1, "");
      Append(")");
      return;
    case vkBinary:
      WriteBinary(v.Bytes, indent, lead);
      return;
    case vkCollection:
      Line(indent, lead + "<");
      for (const TDfmItem& item : v.Items) {
        Line(indent + 1, "item");
        WriteProps(item.Props, indent + 2);
        Line(indent + 1, "end");
      }
      Append(">");
      return;
    }
  }

  // A suffixed number keeps the designer's form: 40070d, not 40070.0d.
  static String SuffixedText(const TDfmValue& v)
  {
    String text = FloatText(v.Float);
    if (text.size() > 2 && text.ends_with(".0"))
      text.resize(text.size() - 2);
    return text + v.Suffix;
  }

  void WriteSet(const TDfmValue& v, int indent, const String& lead)
  {
    String s = lead + "[";
    for (size_t i = 0; i < v.Names.size(); ++i)
      s += (i ? ", " : "") + v.Names[i];
    Line(indent, s + "]");
  }

  void WriteString(const String& text, int indent, const String& lead)
  {
    std::vector<String> pieces = StringPieces(text);
    if (pieces.size() == 1) {
      Line(indent, lead + pieces[0]);
      return;
    }
    Line(indent, TrimRight(lead));
    for (size_t i = 0; i < pieces.size(); ++i)
      Line(indent + 1, pieces[i] + (i + 1 < pieces.size() ? " +" : ""));
  }

  void WriteBinary(const TBytes& bytes, int indent, const String& lead)
  {
    static const char digits[] = "0123456789ABCDEF";
    Line(indent, lead + "{");
    for (size_t i = 0; i < bytes.size(); i += LineLength / 2) {
      String row;
      for (size_t k = i; k < std::min(bytes.size(), i + LineLength / 2); ++k) {
        row += digits[bytes[k] >> 4];
        row += digits[bytes[k] & 15];
      }
      Line(indent + 1, row);
    }
    Append("}");
  }

  std::vector<String> FLines;
};

} // namespace

TDfmObject ParseDfm(const String& Text, int CodePage)
{
  TTextParser parser(Text, CodePage);
  TDfmObject root = parser.ParseRoot();
  if (CodePage || !parser.SawLegacyText())
    return root;
  const int named = ResourceCodePage(root);
  return named && named != 1252 ? TTextParser(Text, named).ParseRoot() : root;
}

TDfmObject ParseDfmStream(TStream* Stream, int CodePage)
{
  TBytes bytes = Stream->ReadAll();
  return ParseDfm(String(bytes.begin(), bytes.end()), CodePage);
}

String FormatDfm(const TDfmObject& Root)
{
  TTextFormatter f;
  f.WriteObject(Root, 0);
  return f.Result();
}

} // namespace Vcl

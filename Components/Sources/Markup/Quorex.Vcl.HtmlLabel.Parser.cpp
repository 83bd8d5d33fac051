// The markup parser of the unit Quorex.Vcl.HtmlLabel: the tags and the scan
// that turns a markup string into the node tree.
#include "Quorex.Vcl.HtmlLabel.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr const char* UnitName = "Quorex.Vcl.HtmlLabel";

constexpr TColor SeparatorColor = 0x00C0C0C0;

bool IsAsciiBlank(char C)
{
  return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

// ---- attribute values ----------------------------------------------------------------

// A value in double quotes loses them, with doubled quotes reduced to one and
// anything after the closing quote dropped; without a closing quote it stays
// as written.
String Unquote(const String& Value)
{
  if (Value.empty() || Value[0] != '"')
    return Value;
  String result;
  for (std::size_t i = 1; i < Value.size(); ++i) {
    if (Value[i] != '"') {
      result += Value[i];
      continue;
    }
    if (i + 1 < Value.size() && Value[i + 1] == '"') {
      result += '"';
      ++i;
      continue;
    }
    return result;
  }
  return Value;
}

// Splits an attribute item at its first "="; false when there is none.
bool SplitItem(const String& Item, String& Name, String& Value)
{
  std::size_t eq = Item.find('=');
  if (eq == String::npos)
    return false;
  Name = Item.substr(0, eq);
  Value = Unquote(Item.substr(eq + 1));
  return true;
}

bool ReadColor(const String& Value, TColor& Color)
{
  Integer color = 0;
  if (IdentToColor(Value, color) || TryStrToInt(Value, color)) {
    Color = color;
    return true;
  }
  return false;
}

TNodeFonts& FontsOf(THtmlNode* ANode)
{
  QX_ASSERT(ANode != nullptr, UnitName);
  return ANode->Fonts();
}

// ---- tag detection -----------------------------------------------------------------------

// Finds a character forward from increasing start positions in linear total
// time: what one search learnt (no such character before the hit) answers the
// later ones, so a text of many "<" without ">" is scanned once.
class TForwardFinder {
public:
  static constexpr std::size_t npos = std::string_view::npos;

  TForwardFinder(std::string_view AText, char AChar) : FText(AText), FChar(AChar) {}

  // The first occurrence at or after From, or npos.
  std::size_t Find(std::size_t From)
  {
    if (!FSearched || (FHit != npos && From > FHit)) {
      FHit = FText.find(FChar, From);
    } else if (From < FFrom) {
      std::size_t hit = FText.substr(0, FFrom).find(FChar, From);
      if (hit != npos)
        FHit = hit;
    }
    FSearched = true;
    FFrom = From;
    return FHit;
  }

private:
  std::string_view FText;
  char FChar;
  // No FChar lies in [FFrom, FHit) (up to the end when FHit is npos).
  bool FSearched = false;
  std::size_t FFrom = 0;
  std::size_t FHit = npos;
};

struct TDetectedTag {
  THtmlTag* Tag = nullptr;
  std::size_t TextLength = 0; // the tag text: up to, not including, the ">"
  std::size_t NameLength = 0;
};

bool SameAsciiText(std::string_view A, const String& B)
{
  return A.size() == B.size() &&
         std::equal(A.begin(), A.end(), B.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

class TTagDetector {
public:
  TTagDetector(std::string_view AText, const TObjectList<THtmlTag>& ATags)
    : FText(AText), FTags(ATags), FCloser(AText, '>'), FSpace(AText, ' ')
  {
  }

  // The registered tag whose text starts at Start, if any.
  TDetectedTag Detect(std::size_t Start)
  {
    TDetectedTag result;
    std::size_t close = FCloser.Find(Start);
    if (close == std::string_view::npos)
      return result;
    std::size_t space = FSpace.Find(Start);
    result.TextLength = close - Start;
    result.NameLength = std::min(space, close) - Start;
    std::string_view name = FText.substr(Start, result.NameLength);
    for (THtmlTag* tag : FTags)
      if (SameAsciiText(name, tag->Name())) {
        result.Tag = tag;
        break;
      }
    return result;
  }

private:
  std::string_view FText;
  const TObjectList<THtmlTag>& FTags;
  TForwardFinder FCloser;
  TForwardFinder FSpace;
};

} // namespace

// ---- tags ---------------------------------------------------------------------------------------------

std::unique_ptr<TStringList> THtmlTag::ExtractAttributes(const String& AText) const
{
  auto items = std::make_unique<TStringList>();
  String item;
  char quote = 0;
  for (char c : AText) {
    if (quote) {
      item += c;
      if (c == quote)
        quote = 0;
      continue;
    }
    if (IsAsciiBlank(c)) {
      if (!item.empty())
        items->Add(item);
      item.clear();
      continue;
    }
    if (c == '"' || c == '\'')
      quote = c;
    item += c;
  }
  if (!item.empty())
    items->Add(item);
  return items;
}

TLinkAttrType TLinkTag::DetectAttrType(const String& AName)
{
  return SameText(AName, "href") ? laHref : laUnknown;
}

void TLinkTag::ApplyAttributes(const String& AText, THtmlNode* ANode)
{
  TNodeFonts& fonts = FontsOf(ANode);
  fonts.SetColor(FLinkColor);
  if (FLinkUnderline)
    fonts.Items(nsNormal).Style.Include(fsUnderline);
  fonts.Items(nsHover).Style = fonts.Items(nsNormal).Style + TFontStyles{fsUnderline};
  auto items = ExtractAttributes(AText);
  String name, value;
  for (Integer i = 0; i < items->Count(); ++i)
    if (SplitItem(items->Strings(i), name, value) && DetectAttrType(name) == laHref)
      ANode->SetId(value);
  ANode->SetId("link:" + ANode->Id());
}

TFontAttrType TFontTag::DetectAttrType(const String& AName)
{
  if (SameText(AName, "color"))
    return faColor;
  if (SameText(AName, "face"))
    return faFace;
  if (SameText(AName, "size"))
    return faSize;
  if (SameText(AName, "bgcolor"))
    return faBgColor;
  return faUnknown;
}

void TFontTag::ApplyAttributes(const String& AText, THtmlNode* ANode)
{
  TNodeFonts& fonts = FontsOf(ANode);
  auto items = ExtractAttributes(AText);
  String name, value;
  for (Integer i = 0; i < items->Count(); ++i) {
    if (!SplitItem(items->Strings(i), name, value))
      continue;
    TColor color = 0;
    Integer size = 0;
    switch (DetectAttrType(name)) {
    case faColor:
      if (ReadColor(value, color))
        fonts.SetColor(color);
      break;
    case faBgColor:
      if (ReadColor(value, color))
        fonts.SetBgColor(color);
      break;
    case faFace:
      fonts.SetName(value);
      break;
    case faSize:
      if (TryStrToInt(value, size))
        fonts.SetSize(size);
      break;
    case faUnknown:
      break;
    }
  }
}

void TLineBreakTag::ApplyAttributes(const String& AText, THtmlNode* ANode)
{
  (void)AText;
  QX_ASSERT(ANode != nullptr, UnitName);
  ANode->SetText("\r\n");
}

void TStyleTag::ApplyAttributes(const String& AText, THtmlNode* ANode)
{
  (void)AText;
  FontsOf(ANode).AddStyle({FStyle});
}

void TDivTag::ApplyAttributes(const String& AText, THtmlNode* ANode)
{
  (void)AText;
  FontsOf(ANode).SetColor(SeparatorColor);
  ANode->SetText(" | ");
}

// ---- THtmlParser -------------------------------------------------------------------------------------

THtmlParser::THtmlParser() : FRoot(std::make_unique<THtmlNode>()), FDefaultFont(std::make_unique<TFont>()) {}

THtmlParser::~THtmlParser() = default;

void THtmlParser::RegisterTag(THtmlTag* ATag)
{
  QX_ASSERT(ATag != nullptr, UnitName);
  FTags.Add(ATag);
}

void THtmlParser::RegisterTags()
{
  RegisterTag(new TLinkTag());
  RegisterTag(new TFontTag());
  RegisterTag(new TLineBreakTag());
  RegisterTag(new TBoldTag());
  RegisterTag(new TItalicTag());
  RegisterTag(new TUnderlineTag());
  RegisterTag(new TDivTag());
}

void THtmlParser::SetDefaultFont(const TFont* AFont)
{
  QX_ASSERT(AFont != nullptr, UnitName);
  FDefaultFont->Assign(AFont);
  FRoot->Fonts().Assign(*AFont);
}

void THtmlParser::SetLinkColor(TColor Value)
{
  FLinkColor = Value;
  for (THtmlTag* tag : FTags)
    if (auto* link = dynamic_cast<TLinkTag*>(tag))
      link->SetLinkColor(Value);
}

void THtmlParser::SetLinkUnderline(bool Value)
{
  FLinkUnderline = Value;
  for (THtmlTag* tag : FTags)
    if (auto* link = dynamic_cast<TLinkTag*>(tag))
      link->SetLinkUnderline(Value);
}

THtmlNode* THtmlParser::AddNode(THtmlTag* ATag, const String& AText, THtmlNode* AParent)
{
  THtmlNode* node = ATag ? ATag->CreateNode() : new THtmlNode();
  node->Fonts().Assign(AParent->Fonts());
  node->SetText(AText);
  node->SetParent(AParent);
  return node;
}

void THtmlParser::Parse(const String& AText)
{
  FRoot->Clear();
  std::string_view text(AText);
  const std::size_t n = text.size();
  TTagDetector detector(text, FTags);
  std::size_t i = 0, pending = 0;
  THtmlNode* current = FRoot.get();
  THtmlTag* currentTag = nullptr;
  std::vector<THtmlTag*> stack;
  auto addPending = [&] {
    if (i > pending)
      AddNode(nullptr, String(text.substr(pending, i - pending)), current);
  };

  for (; i < n; ++i) {
    if (text[i] != '<')
      continue;
    if (currentTag && currentTag->RequireClosure() && i + 2 < n && text[i + 1] == '/') {
      TDetectedTag closing = detector.Detect(i + 2);
      if (closing.Tag && closing.Tag == currentTag) {
        addPending();
        i += closing.TextLength + 2;
        pending = i + 1;
        currentTag = stack.back();
        stack.pop_back();
        current = current->Parent();
        continue;
      }
    }
    if (i + 1 >= n)
      continue;
    TDetectedTag opening = detector.Detect(i + 1);
    if (!opening.Tag)
      continue;
    addPending();
    std::size_t start = i + 1;
    i += opening.TextLength + 1;
    pending = i + 1;
    stack.push_back(currentTag);
    currentTag = opening.Tag;
    current = AddNode(opening.Tag, String(), current);
    std::size_t attrStart = std::min(start + opening.NameLength + 1, i);
    opening.Tag->ApplyAttributes(String(text.substr(attrStart, i - attrStart)), current);
    if (!opening.Tag->RequireClosure()) {
      currentTag = stack.back();
      stack.pop_back();
      current = current->Parent();
    }
  }
  addPending();
}

} // namespace Quorex

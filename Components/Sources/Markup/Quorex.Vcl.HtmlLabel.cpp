#include "Quorex.Vcl.HtmlLabel.hpp"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <limits>
#include <string_view>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr const char* UnitName = "Quorex.Vcl.HtmlLabel";

// Markup may ask for any size; fonts are realised within these bounds so that
// a size of 0, -5 or 100000 cannot ask the text engine for absurd glyphs.
constexpr Integer MinRealizedSize = 1;
constexpr Integer MaxRealizedSize = 720;

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

// ---- TFontData, TNodeFonts ---------------------------------------------------------------------

void TFontData::Assign(const TFont& Source)
{
  Name = Source.Name();
  Size = Source.Size();
  Color = Source.Color();
  Style = Source.Style();
}

void TFontData::AssignTo(TFont* Font) const
{
  QX_ASSERT(Font != nullptr, UnitName);
  Font->SetName(Name);
  Font->SetSize(Size);
  Font->SetColor(Color);
  Font->SetStyle(Style);
}

void TNodeFonts::SetName(const String& Value)
{
  SetEach(&TFontData::Name, Value);
}

void TNodeFonts::SetSize(Integer Value)
{
  SetEach(&TFontData::Size, Value);
}

void TNodeFonts::SetColor(TColor Value)
{
  SetEach(&TFontData::Color, Value);
}

void TNodeFonts::SetStyle(TFontStyles Value)
{
  SetEach(&TFontData::Style, Value);
}

void TNodeFonts::SetBgColor(TColor Value)
{
  SetEach(&TFontData::BgColor, Value);
}

void TNodeFonts::AddStyle(TFontStyles AStyle)
{
  for (TFontData& f : FItems)
    f.Style += AStyle;
}

void TNodeFonts::Assign(const TFontData& Source)
{
  FItems.fill(Source);
}

void TNodeFonts::Assign(const TFont& Source)
{
  for (TFontData& f : FItems)
    f.Assign(Source);
}

// ---- THtmlNode ---------------------------------------------------------------------------------------

THtmlNode::~THtmlNode()
{
  if (FParent)
    FParent->FNodes.Remove(this);
  Clear();
}

void THtmlNode::SetState(THtmlNodeState Value)
{
  if (Value == FState)
    return;
  FState = Value;
  StateChanged();
}

void THtmlNode::SetParent(THtmlNode* AParent)
{
  if (FParent)
    FParent->FNodes.Remove(this);
  FParent = AParent;
  if (FParent)
    FParent->FNodes.Add(this);
}

void THtmlNode::DetachChildrenInto(std::vector<THtmlNode*>& Doomed)
{
  for (THtmlNode* child : FNodes) {
    child->FParent = nullptr;
    Doomed.push_back(child);
  }
  FNodes.Clear();
}

void THtmlNode::Clear()
{
  if (FNodes.Count() == 0)
    return;
  ++FGeneration;
  // Breadth first into one list, then delete: each node is childless and
  // parentless by the time it goes, so no destructor recurses.
  std::vector<THtmlNode*> doomed;
  DetachChildrenInto(doomed);
  for (std::size_t i = 0; i < doomed.size(); ++i)
    doomed[i]->DetachChildrenInto(doomed);
  for (THtmlNode* node : doomed)
    delete node;
}

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

// ---- THtmlRenderer ----------------------------------------------------------------------------------

namespace Quorex {

namespace {

bool IsAsciiAlnum(unsigned char C)
{
  return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
}

// The next word of Rest: everything up to and including the first character
// that is not a letter or digit of any script (the whole rest when there is
// none). Ill-formed UTF-8 counts as a separator, and a sequence is never cut.
std::string_view ExtractWord(std::string_view& Rest)
{
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(Rest.data());
  std::size_t i = 0;
  while (i < Rest.size()) {
    if (bytes[i] < 0x80) {
      if (!IsAsciiAlnum(bytes[i++]))
        break;
      continue;
    }
    std::int32_t length = std::int32_t(std::min<std::size_t>(4, Rest.size() - i));
    std::int32_t j = 0;
    UChar32 c = 0;
    U8_NEXT(bytes + i, j, length, c);
    i += std::size_t(j);
    if (c < 0 || !u_isalnum(c))
      break;
  }
  std::string_view word = Rest.substr(0, i);
  Rest.remove_prefix(i);
  return word;
}

Integer ClampToInteger(Int64 Value)
{
  return Integer(std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

Integer RealizedSize(Integer Size)
{
  return std::clamp(Size, MinRealizedSize, MaxRealizedSize);
}

void RealizeFont(const TFontData& Data, TFont* Font)
{
  TFontData realized = Data;
  realized.Size = RealizedSize(Data.Size);
  realized.AssignTo(Font);
}

// Pre-order, without recursion: any nesting depth is safe.
template <class F>
void ForEachNode(THtmlNode* Root, F Visit)
{
  std::vector<THtmlNode*> stack{Root};
  while (!stack.empty()) {
    THtmlNode* node = stack.back();
    stack.pop_back();
    Visit(node);
    const auto& children = node->Nodes();
    for (Integer i = children.Count() - 1; i >= 0; --i)
      stack.push_back(children[i]);
  }
}

GdiPlus::TGPFontStyle ToGPFontStyle(TFontStyles Style)
{
  return GdiPlus::TGPFontStyle::FromBits(Style.Bits());
}

} // namespace

THtmlRenderer::THtmlRenderer() : FCanvas(std::make_unique<TCanvas>())
{
  Win::HDC screen = Win::GetDC(nullptr);
  FMeasureDC = Win::CreateCompatibleDC(screen);
  Win::ReleaseDC(nullptr, screen);
  FCanvas->SetHandle(FMeasureDC);
}

THtmlRenderer::~THtmlRenderer()
{
  FCanvas->SetHandle(nullptr);
  Win::DeleteDC(FMeasureDC);
}

void THtmlRenderer::SetHtml(THtmlNode* Value)
{
  if (Value == FHtml)
    return;
  FHtml = Value;
  FChunks.clear();
  FLastActiveNode = nullptr;
  FLayoutGeneration = Value ? Value->Generation() : 0;
}

void THtmlRenderer::SetWordBreak(bool Value)
{
  FWordBreak = Value;
  if (Value)
    FAutoWidth = false;
}

void THtmlRenderer::SetAutoWidth(bool Value)
{
  FAutoWidth = Value;
  if (Value)
    FWordBreak = false;
}

void THtmlRenderer::DropStaleLayout()
{
  if (!FHtml || FHtml->Generation() == FLayoutGeneration)
    return;
  // The nodes that the chunks and the last active node point at are gone.
  FChunks.clear();
  FLastActiveNode = nullptr;
  FLayoutGeneration = FHtml->Generation();
}

const std::vector<THtmlRenderChunk>& THtmlRenderer::Chunks()
{
  DropStaleLayout();
  return FChunks;
}

THtmlNode* THtmlRenderer::LastActiveNode()
{
  DropStaleLayout();
  return FLastActiveNode;
}

TSize THtmlRenderer::Reparse(const TRect& TextRect)
{
  DropStaleLayout();
  FChunks.clear();
  FParsedWidth = 0;
  FParsedHeight = 0;
  if (!FHtml)
    return TSize(0, 0);

  Int64 x = TextRect.Left, y = TextRect.Top, width = 0, height = 0;
  ForEachNode(FHtml, [&](THtmlNode* node) {
    auto font = std::make_shared<const TFontData>(node->CurrentFont());
    RealizeFont(*font, FCanvas->Font());
    Win::HDC dc = FCanvas->Handle();
    Win::TEXTMETRIC tm;
    Win::GetTextMetrics(dc, &tm);
    std::string_view rest(node->Text());
    while (!rest.empty()) {
      std::string_view word = ExtractWord(rest);
      if (word == "\r") {
        // A line break is CR LF; a CR without its LF shows nothing and the
        // word after it is laid out as usual.
        std::string_view after = rest;
        if (ExtractWord(after) == "\n") {
          rest = after;
          width = std::max(width, x);
          x = TextRect.Left;
          y += tm.tmHeight;
        }
        continue;
      }
      Win::SIZE extent;
      Win::GetTextExtentPoint32(dc, word.data(), Integer(word.size()), &extent);
      height = std::max(height, y + extent.cy);
      if (FWordBreak && x + extent.cx > TextRect.Right && x > TextRect.Left) {
        width = std::max(width, x);
        x = TextRect.Left;
        y = height;
        height += extent.cy;
      }
      FChunks.emplace_back(font, ClampToInteger(x), ClampToInteger(y), extent.cx, extent.cy, String(word), node);
      x += extent.cx;
      width = std::max(width, x);
    }
  });
  FParsedWidth = ClampToInteger(width);
  FParsedHeight = ClampToInteger(height + 2);
  FLayoutGeneration = FHtml->Generation();
  return TSize(FParsedWidth, FParsedHeight);
}

void THtmlRenderer::PaintTo(TCanvas* ACanvas, const TRect& TextRect)
{
  DropStaleLayout();
  Win::UINT flags = Win::DT_SINGLELINE | Win::DT_NOPREFIX;
  if (FEllipsisPosition == epEndEllipsis)
    flags |= Win::DT_END_ELLIPSIS;
  ACanvas->Brush()->SetStyle(bsClear);
  TFontData saved;
  saved.Assign(*ACanvas->Font());
  for (const THtmlRenderChunk& chunk : FChunks) {
    if (chunk.Font().BgColor != 0) {
      ACanvas->Brush()->SetColor(chunk.Font().BgColor);
      ACanvas->Brush()->SetStyle(bsSolid);
    } else {
      ACanvas->Brush()->SetStyle(bsClear);
    }
    RealizeFont(chunk.Font(), ACanvas->Font());
    TRect rect(chunk.X(), chunk.Y(), TextRect.Right, TextRect.Bottom);
    Win::DrawTextEx(ACanvas->Handle(), chunk.Text().data(), Integer(chunk.Text().size()), &rect, flags, nullptr);
  }
  saved.AssignTo(ACanvas->Font());
}

void THtmlRenderer::PaintToPlus(const std::shared_ptr<GdiPlus::IGPGraphics>& Graphics,
                                const GdiPlus::TGPRectF& TextRect)
{
  using namespace GdiPlus;
  DropStaleLayout();
  std::shared_ptr<IGPFont> font;
  std::shared_ptr<IGPSolidBrush> brush;
  const TFontData* last = nullptr;
  for (const THtmlRenderChunk& chunk : FChunks) {
    const TFontData& data = chunk.Font();
    if (!last || (&data != last && !(data == *last))) {
      font = TGPFont::Create(data.Name, float(RealizedSize(data.Size)), ToGPFontStyle(data.Style), UnitPoint);
      brush = TGPSolidBrush::Create(TGPColor::CreateFromColorRef(std::uint32_t(data.Color)));
      last = &data;
    }
    TGPRectF layout(TextRect.X + float(chunk.X()), TextRect.Y + float(chunk.Y()), TextRect.Width, TextRect.Height);
    Graphics->DrawString(chunk.Text(), font, layout, nullptr, brush);
  }
}

const THtmlRenderChunk* THtmlRenderer::ChunkAtXY(Integer X, Integer Y)
{
  DropStaleLayout();
  for (const THtmlRenderChunk& chunk : FChunks)
    if (X >= chunk.X() && Y >= chunk.Y() && Int64(X) < Int64(chunk.X()) + chunk.Width() &&
        Int64(Y) < Int64(chunk.Y()) + chunk.Height())
      return &chunk;
  return nullptr;
}

void THtmlRenderer::RecursivelySetState(THtmlNode* ANode, THtmlNodeState AState)
{
  for (THtmlNode* node = ANode; node; node = node->Parent()) {
    node->SetState(AState);
    if (!FNeedRepaint)
      FNeedRepaint = node->NeedRepaint();
  }
}

void THtmlRenderer::TrackMouse(Integer X, Integer Y)
{
  FTextId.clear();
  const THtmlRenderChunk* chunk = ChunkAtXY(X, Y);
  if (!chunk) {
    if (FLastActiveNode)
      RecursivelySetState(FLastActiveNode, nsNormal);
    FLastActiveNode = nullptr;
    return;
  }
  if (chunk->Node() != FLastActiveNode) {
    if (FLastActiveNode)
      RecursivelySetState(FLastActiveNode, nsNormal);
    FLastActiveNode = chunk->Node();
    RecursivelySetState(FLastActiveNode, nsHover);
  }
  for (THtmlNode* node = chunk->Node(); node; node = node->Parent())
    if (!node->Id().empty()) {
      FTextId = node->Id();
      return;
    }
}

bool THtmlRenderer::GetNeedRepaint()
{
  bool result = FNeedRepaint;
  FNeedRepaint = false;
  return result;
}

} // namespace Quorex

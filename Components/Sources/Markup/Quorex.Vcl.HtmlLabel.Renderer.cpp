// The markup renderer of the unit Quorex.Vcl.HtmlLabel: flows the node tree
// into a rectangle as positioned words, paints them and tracks the mouse.
#include "Quorex.Vcl.HtmlLabel.hpp"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace Quorex {

using namespace Vcl;

namespace {

// Markup may ask for any size; fonts are realised within these bounds so that
// a size of 0, -5 or 100000 cannot ask the text engine for absurd glyphs.
constexpr Integer MinRealizedSize = 1;
constexpr Integer MaxRealizedSize = 720;

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

// Layout coordinates stay within the space the text layer keeps its own in,
// so that no chunk edge, reported size or label bound derived from them
// overflows, however large the fonts and long the lines.
Integer LayoutCoord(Int64 Value)
{
  return Integer(std::clamp<Int64>(Value, -Win::CoordLimit, Win::CoordLimit));
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
  FTreeGeneration = Value ? Value->Generation() : 0;
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
  if (!FHtml || FHtml->Generation() == FTreeGeneration)
    return;
  // The nodes that the chunks and the last active node point at are gone.
  FChunks.clear();
  FLastActiveNode = nullptr;
  FTreeGeneration = FHtml->Generation();
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
  ++FLayoutGeneration;
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
      const Integer left = LayoutCoord(x), top = LayoutCoord(y);
      FChunks.emplace_back(font, left, top, LayoutCoord(x + extent.cx) - left, LayoutCoord(y + extent.cy) - top,
                           String(word), node);
      x += extent.cx;
      width = std::max(width, x);
    }
  });
  FParsedWidth = LayoutCoord(width);
  FParsedHeight = LayoutCoord(height + 2);
  FTreeGeneration = FHtml->Generation();
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

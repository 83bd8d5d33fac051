// The node tree of the markup unit: fonts per interaction state and the nodes
// that the parser builds and the renderer lays out.
#include "Quorex.Vcl.HtmlLabel.hpp"

#include <vector>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr const char* UnitName = "Quorex.Vcl.HtmlLabel";

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

} // namespace Quorex

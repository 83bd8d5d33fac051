// Markup text: a small HTML-like tag language (a, font, br, b, i, u, div),
// the parser that turns it into a tree of nodes with three fonts each
// (normal, hover, click), and the renderer that flows the tree into a
// rectangle as positioned words, paints them and tracks the mouse over links.
#pragma once

#include <GdiPlus.hpp>
#include <System.Classes.hpp>
#include <System.Types.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.StdCtrls.hpp>

#include <array>
#include <memory>
#include <vector>

namespace Quorex {

using Vcl::Integer;
using Vcl::String;

enum class THtmlNodeState { nsNormal, nsHover, nsClick };
using enum THtmlNodeState;

enum class TLinkAttrType { laUnknown, laHref };
using enum TLinkAttrType;

enum class TFontAttrType { faUnknown, faColor, faFace, faSize, faBgColor };
using enum TFontAttrType;

enum class TTagType { ttUnknown, ttLink, ttFont };
using enum TTagType;

// One font description. A new one has every field zero or empty.
class TFontData {
public:
  String Name;
  Vcl::TColor Color = 0;
  Integer Size = 0;
  Vcl::TFontStyles Style;
  Vcl::TColor BgColor = 0; // 0: no background

  void Assign(const TFontData& Source) { *this = Source; }
  // Name, size, colour and style; the background colour is kept.
  void Assign(const Vcl::TFont& Source);
  // Name, size, colour and style; a missing font is a programming error.
  void AssignTo(Vcl::TFont* Font) const;
  std::unique_ptr<TFontData> Clone() const { return std::make_unique<TFontData>(*this); }
  bool operator==(const TFontData&) const = default;
};

using TFontArray = std::array<TFontData, 3>; // indexed by THtmlNodeState

// The three fonts of a node. The properties read the normal state and write
// all three.
class TNodeFonts {
public:
  TFontArray& Items() { return FItems; }
  const TFontArray& Items() const { return FItems; }
  TFontData& Items(THtmlNodeState State) { return FItems[static_cast<int>(State)]; }
  const TFontData& Items(THtmlNodeState State) const { return FItems[static_cast<int>(State)]; }

  const String& Name() const { return FItems[0].Name; }
  void SetName(const String& Value);
  Integer Size() const { return FItems[0].Size; }
  void SetSize(Integer Value);
  Vcl::TColor Color() const { return FItems[0].Color; }
  void SetColor(Vcl::TColor Value);
  Vcl::TFontStyles Style() const { return FItems[0].Style; }
  void SetStyle(Vcl::TFontStyles Value);
  Vcl::TColor BgColor() const { return FItems[0].BgColor; }
  void SetBgColor(Vcl::TColor Value);
  void AddStyle(Vcl::TFontStyles AStyle);

  void Assign(const TNodeFonts& Source) { FItems = Source.FItems; }
  void Assign(const TFontData& Source);
  void Assign(const Vcl::TFont& Source);

private:
  // One field set alike in every state's font.
  template <class V>
  void SetEach(V TFontData::*Field, const V& Value)
  {
    for (TFontData& f : FItems)
      f.*Field = Value;
  }

  TFontArray FItems;
};

// An element of the tree. A node owns its children; destroying it detaches it
// from its parent first. Destruction walks the subtree without recursion, so
// any depth of nesting is safe.
class THtmlNode : public Vcl::TObject {
  QX_CLASS(THtmlNode, Vcl::TObject)
public:
  THtmlNode() = default;
  ~THtmlNode() override;

  THtmlNodeState State() const { return FState; }
  void SetState(THtmlNodeState Value);
  const Vcl::TList<THtmlNode*>& Nodes() const { return FNodes; }
  THtmlNode* Parent() const { return FParent; }
  // Detaches from the current parent and appends to the new one's children.
  void SetParent(THtmlNode* AParent);
  const String& Text() const { return FText; }
  void SetText(const String& Value) { FText = Value; }
  TNodeFonts& Fonts() { return FFonts; }
  const TNodeFonts& Fonts() const { return FFonts; }
  const String& Id() const { return FId; }
  void SetId(const String& Value) { FId = Value; }

  const TFontData& CurrentFont() const { return FFonts.Items(FState); }
  bool NeedRepaint() const { return GetNeedRepaint(); }
  // Destroys every child (and so the whole subtree).
  void Clear();
  // Counts the Clear calls that destroyed children, so that holders of
  // pointers into the subtree can tell that it was rebuilt.
  Vcl::UInt64 Generation() const { return FGeneration; }

protected:
  virtual bool GetNeedRepaint() const { return false; }
  virtual void StateChanged() {}

private:
  void DetachChildrenInto(std::vector<THtmlNode*>& Doomed);

  THtmlNodeState FState = nsNormal;
  Vcl::TList<THtmlNode*> FNodes;
  THtmlNode* FParent = nullptr;
  String FText;
  TNodeFonts FFonts;
  String FId;
  Vcl::UInt64 FGeneration = 0;
};

// A change of state on a link, or below one, needs a new layout and paint.
class THtmlLinkNode : public THtmlNode {
  QX_CLASS(THtmlLinkNode, THtmlNode)
protected:
  bool GetNeedRepaint() const override { return true; }
};

class THtmlTag : public Vcl::TObject {
  QX_CLASS(THtmlTag, Vcl::TObject)
public:
  const String& Name() const { return FName; }
  bool RequireClosure() const { return FRequireClosure; }

  virtual THtmlNode* CreateNode() { return new THtmlNode(); }
  virtual void ApplyAttributes(const String& AText, THtmlNode* ANode)
  {
    (void)AText;
    (void)ANode;
  }

protected:
  THtmlTag(const String& AName, bool ARequireClosure) : FName(AName), FRequireClosure(ARequireClosure) {}
  // The attribute items: split at blanks, tabs and line ends outside quotes.
  std::unique_ptr<Vcl::TStringList> ExtractAttributes(const String& AText) const;

  String FName;
  bool FRequireClosure;
};

class TLinkTag : public THtmlTag {
  QX_CLASS(TLinkTag, THtmlTag)
public:
  TLinkTag() : THtmlTag("a", true) {}
  THtmlNode* CreateNode() override { return new THtmlLinkNode(); }
  void ApplyAttributes(const String& AText, THtmlNode* ANode) override;
  static TLinkAttrType DetectAttrType(const String& AName);

  bool LinkUnderline() const { return FLinkUnderline; }
  void SetLinkUnderline(bool Value) { FLinkUnderline = Value; }
  Vcl::TColor LinkColor() const { return FLinkColor; }
  void SetLinkColor(Vcl::TColor Value) { FLinkColor = Value; }

private:
  bool FLinkUnderline = false;
  Vcl::TColor FLinkColor = 0x00FF0000;
};

class TFontTag : public THtmlTag {
  QX_CLASS(TFontTag, THtmlTag)
public:
  TFontTag() : THtmlTag("font", true) {}
  void ApplyAttributes(const String& AText, THtmlNode* ANode) override;
  static TFontAttrType DetectAttrType(const String& AName);
};

class TLineBreakTag : public THtmlTag {
  QX_CLASS(TLineBreakTag, THtmlTag)
public:
  TLineBreakTag() : THtmlTag("br", false) {}
  void ApplyAttributes(const String& AText, THtmlNode* ANode) override;
};

// "b", "i" and "u": add one style to the enclosed text.
class TStyleTag : public THtmlTag {
  QX_CLASS(TStyleTag, THtmlTag)
public:
  void ApplyAttributes(const String& AText, THtmlNode* ANode) override;

protected:
  TStyleTag(const String& AName, Vcl::TFontStyle AStyle) : THtmlTag(AName, true), FStyle(AStyle) {}

private:
  Vcl::TFontStyle FStyle;
};

class TBoldTag : public TStyleTag {
  QX_CLASS(TBoldTag, TStyleTag)
public:
  TBoldTag() : TStyleTag("b", Vcl::fsBold) {}
};

class TItalicTag : public TStyleTag {
  QX_CLASS(TItalicTag, TStyleTag)
public:
  TItalicTag() : TStyleTag("i", Vcl::fsItalic) {}
};

class TUnderlineTag : public TStyleTag {
  QX_CLASS(TUnderlineTag, TStyleTag)
public:
  TUnderlineTag() : TStyleTag("u", Vcl::fsUnderline) {}
};

class TDivTag : public THtmlTag {
  QX_CLASS(TDivTag, THtmlTag)
public:
  TDivTag() : THtmlTag("div", false) {}
  void ApplyAttributes(const String& AText, THtmlNode* ANode) override;
};

class THtmlParser : public Vcl::TObject {
  QX_CLASS(THtmlParser, Vcl::TObject)
public:
  THtmlParser();
  ~THtmlParser() override;

  // The root lives as long as the parser; each parse replaces its content.
  THtmlNode* Root() const { return FRoot.get(); }
  const Vcl::TObjectList<THtmlTag>& Tags() const { return FTags; }
  Vcl::TFont* DefaultFont() const { return FDefaultFont.get(); }
  bool LinkUnderline() const { return FLinkUnderline; }
  Vcl::TColor LinkColor() const { return FLinkColor; }

  // Takes ownership; a missing tag is a programming error.
  void RegisterTag(THtmlTag* ATag);
  // a, font, br, b, i, u, div, in this order.
  virtual void RegisterTags();
  void SetDefaultFont(const Vcl::TFont* AFont);
  void SetLinkColor(Vcl::TColor Value);
  void SetLinkUnderline(bool Value);
  // Rebuilds the tree under Root. Never fails on input: what is not a tag is
  // text. Runs in time linear in the length of the text.
  void Parse(const String& AText);

private:
  THtmlNode* AddNode(THtmlTag* ATag, const String& AText, THtmlNode* AParent);

  std::unique_ptr<THtmlNode> FRoot;
  Vcl::TObjectList<THtmlTag> FTags;
  std::unique_ptr<Vcl::TFont> FDefaultFont;
  bool FLinkUnderline = false;
  Vcl::TColor FLinkColor = 0x00FF0000;
};

// One laid-out word. Its font is a copy of the node's font at layout time,
// shared by the words of one node so that a long text costs one copy.
class THtmlRenderChunk {
public:
  THtmlRenderChunk(std::shared_ptr<const TFontData> AFont, Integer AX, Integer AY, Integer AWidth,
                   Integer AHeight, String AText, THtmlNode* ANode)
    : FFont(std::move(AFont)), FX(AX), FY(AY), FWidth(AWidth), FHeight(AHeight), FText(std::move(AText)),
      FNode(ANode)
  {
  }
  const TFontData& Font() const { return *FFont; }
  void SetFont(const TFontData& Value) { FFont = std::make_shared<const TFontData>(Value); }
  Integer X() const { return FX; }
  Integer Y() const { return FY; }
  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  const String& Text() const { return FText; }
  THtmlNode* Node() const { return FNode; }
  Vcl::TRect BoundsRect() const { return Vcl::Bounds(FX, FY, FWidth, FHeight); }

private:
  std::shared_ptr<const TFontData> FFont;
  Integer FX, FY, FWidth, FHeight;
  String FText;
  THtmlNode* FNode;
};

class THtmlRenderer : public Vcl::TObject {
  QX_CLASS(THtmlRenderer, Vcl::TObject)
public:
  THtmlRenderer();
  ~THtmlRenderer() override;

  THtmlNode* Html() const { return FHtml; }
  void SetHtml(THtmlNode* Value);
  Vcl::TCanvas* Canvas() const { return FCanvas.get(); }
  bool WordBreak() const { return FWordBreak; }
  void SetWordBreak(bool Value);
  bool AutoWidth() const { return FAutoWidth; }
  void SetAutoWidth(bool Value);
  bool AutoHeight() const { return FAutoHeight; }
  void SetAutoHeight(bool Value) { FAutoHeight = Value; }
  Vcl::TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
  void SetEllipsisPosition(Vcl::TEllipsisPosition Value) { FEllipsisPosition = Value; }
  // The size the last Reparse reported.
  Integer ParsedWidth() const { return FParsedWidth; }
  Integer ParsedHeight() const { return FParsedHeight; }
  // Counts the layouts (Reparse calls), so that holders of chunks can tell
  // that they were laid out again.
  Vcl::UInt64 LayoutGeneration() const { return FLayoutGeneration; }
  const String& TextId() const { return FTextId; }

  // The layout of the last Reparse; empty once the tree has been parsed again.
  const std::vector<THtmlRenderChunk>& Chunks();
  // Forgotten, never touched, once the tree has been parsed again.
  THtmlNode* LastActiveNode();
  void SetLastActiveNode(THtmlNode* Value) { FLastActiveNode = Value; }

  // Lays the tree out from the rectangle's top-left corner and returns the
  // right-most and bottom-most coordinates reached (+2 on the height). Every
  // coordinate and size stays within the text layer's space (Win::CoordLimit),
  // however large the fonts and long the lines.
  Vcl::TSize Reparse(const Vcl::TRect& TextRect);
  void PaintTo(Vcl::TCanvas* ACanvas, const Vcl::TRect& TextRect);
  void PaintToPlus(const std::shared_ptr<GdiPlus::IGPGraphics>& Graphics, const GdiPlus::TGPRectF& TextRect);
  const THtmlRenderChunk* ChunkAtXY(Integer X, Integer Y);
  void TrackMouse(Integer X, Integer Y);
  // Whether a state change since the last call needs a new layout; resets.
  bool GetNeedRepaint();

private:
  void DropStaleLayout();
  void RecursivelySetState(THtmlNode* ANode, THtmlNodeState AState);

  THtmlNode* FHtml = nullptr;
  Vcl::UInt64 FTreeGeneration = 0; // the tree's generation when last laid out
  Vcl::UInt64 FLayoutGeneration = 0;
  std::unique_ptr<Vcl::TCanvas> FCanvas;
  Win::HDC FMeasureDC = nullptr;
  bool FWordBreak = false;
  Vcl::TEllipsisPosition FEllipsisPosition = Vcl::epNone;
  std::vector<THtmlRenderChunk> FChunks;
  bool FAutoHeight = false;
  Integer FParsedHeight = 0;
  bool FAutoWidth = false;
  Integer FParsedWidth = 0;
  String FTextId;
  bool FNeedRepaint = false;
  THtmlNode* FLastActiveNode = nullptr;
};

} // namespace Quorex

// The unit's label control.
#include "Quorex.Vcl.HtmlLabel.Control.hpp"

// The markup label: a windowless label whose caption is markup. It sizes
// itself to its text, underlines a link under the mouse and shows the link
// cursor over it, and reports a press on a link with the link's identifier.
// Part of the unit Quorex.Vcl.HtmlLabel, which includes it.
#pragma once

#include "Quorex.Vcl.HtmlLabel.hpp"

#include <Vcl.Controls.hpp>

#include <functional>
#include <memory>

namespace Quorex {

using TLinkClickEvent = std::function<void(const String& LinkId)>;

class TCustomHtmlLabel : public Vcl::TGraphicControl {
  QX_CLASS(TCustomHtmlLabel, Vcl::TGraphicControl)
public:
  explicit TCustomHtmlLabel(Vcl::TComponent* AOwner);
  ~TCustomHtmlLabel() override;

  // A parser with the label's tag set (a, font, br, b, i, u, div).
  static std::unique_ptr<THtmlParser> CreateParser();

  THtmlParser* Parser() const { return FParser.get(); }
  THtmlRenderer* Renderer() const { return FRenderer.get(); }

  bool AutoHeight() const { return FRenderer->AutoHeight(); }
  void SetAutoHeight(bool Value);
  bool AutoWidth() const { return FRenderer->AutoWidth(); }
  void SetAutoWidth(bool Value);
  bool WordBreak() const { return FRenderer->WordBreak(); }
  void SetWordBreak(bool Value);
  Vcl::TColor LinkColor() const { return FParser->LinkColor(); }
  void SetLinkColor(Vcl::TColor Value);
  bool LinkUnderline() const { return FParser->LinkUnderline(); }
  void SetLinkUnderline(bool Value);
  Vcl::TCursor LinkCursor() const { return FLinkCursor; }
  void SetLinkCursor(Vcl::TCursor Value) { FLinkCursor = Value; }
  Vcl::TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(Vcl::TLeftRight Value) { FAlignment = Value; }
  bool HitTest() const { return FHitTest; }
  void SetHitTest(bool Value) { FHitTest = Value; }
  bool Transparent() const { return !ControlStyle().Contains(Vcl::csOpaque); }
  void SetTransparent(bool Value);

  // Gives the parser the current font and parses the caption again.
  void ReparseCaption();
  // Parses, lays out, sizes and repaints.
  void ViewChanged();

  void Loaded() override;
  void Dispatch(Vcl::TMessage& Message) override;

  TLinkClickEvent OnLinkClick;

protected:
  // Chunk is a copy taken before any handler runs: a handler may change the
  // caption, which frees the layout.
  virtual void DoLinkClick(const String& LinkId, const THtmlRenderChunk* Chunk);
  virtual void AdjustBounds();
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void Paint() override;

private:
  bool Sizing() const;
  // Whether the renderer's chunks are the label's own layout and hold for a
  // label of that width: only a word-breaking layout depends on the width.
  bool LayoutHolds(Integer AWidth) const;
  Vcl::TSize LayOut(const Vcl::TRect& Rect);
  void Relayout() { LayOut(ClientRect()); }
  // Lays out again when the layout does not hold for the label's own width
  // (a size query at another width that the label did not take).
  void LayoutNeeded();
  void MouseMoved(const Vcl::TMessage& Message);
  void MouseLeft();
  void LeftButtonDown(const Vcl::TMessage& Message);
  void HitTested(Vcl::TMessage& Message);

  std::unique_ptr<THtmlParser> FParser;
  std::unique_ptr<THtmlRenderer> FRenderer;
  Vcl::TCursor FLinkCursor = Vcl::crHandPoint;
  Vcl::TLeftRight FAlignment = Vcl::taLeftJustify;
  bool FHitTest = true;
  // The label's last layout: the renderer's layout generation (0: none) and
  // the width it was made for.
  Vcl::UInt64 FLaidOutGeneration = 0;
  Integer FLaidOutWidth = 0;
};

class THtmlLabel : public TCustomHtmlLabel {
  QX_CLASS(THtmlLabel, TCustomHtmlLabel)
public:
  using TCustomHtmlLabel::TCustomHtmlLabel;
};

} // namespace Quorex

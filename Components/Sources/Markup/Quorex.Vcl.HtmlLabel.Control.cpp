#include "Quorex.Vcl.HtmlLabel.Control.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.SysUtils.hpp>

#include <optional>

namespace Quorex {

using namespace Vcl;

namespace {

const String LinkPrefix = "link:";

bool IsLinkId(const String& TextId)
{
  return TextId.size() >= LinkPrefix.size() && SameText(TextId.substr(0, LinkPrefix.size()), LinkPrefix);
}

} // namespace

TCustomHtmlLabel::TCustomHtmlLabel(TComponent* AOwner)
  : TGraphicControl(AOwner), FParser(CreateParser()), FRenderer(std::make_unique<THtmlRenderer>())
{
  SetHeight(13);
  FControlStyle.Include(csReplicatable);
  FControlStyle.Exclude(csOpaque);
  SetParentColor(true);
  FParser->SetDefaultFont(Font());
  FRenderer->SetHtml(FParser->Root());
  FRenderer->SetAutoWidth(true);
  FRenderer->SetAutoHeight(false);
  FRenderer->SetWordBreak(false);
  SetAutoSize(true);
}

TCustomHtmlLabel::~TCustomHtmlLabel()
{
  Destroying();
  FRenderer.reset();
  FParser.reset();
}

std::unique_ptr<THtmlParser> TCustomHtmlLabel::CreateParser()
{
  auto parser = std::make_unique<THtmlParser>();
  parser->RegisterTags();
  return parser;
}

void TCustomHtmlLabel::SetAutoHeight(bool Value)
{
  FRenderer->SetAutoHeight(Value);
  ViewChanged();
}

void TCustomHtmlLabel::SetAutoWidth(bool Value)
{
  FRenderer->SetAutoWidth(Value);
  ViewChanged();
}

void TCustomHtmlLabel::SetWordBreak(bool Value)
{
  FRenderer->SetWordBreak(Value);
  ViewChanged();
}

void TCustomHtmlLabel::SetLinkColor(TColor Value)
{
  if (Value == FParser->LinkColor())
    return;
  FParser->SetLinkColor(Value);
  ViewChanged();
}

void TCustomHtmlLabel::SetLinkUnderline(bool Value)
{
  if (Value == FParser->LinkUnderline())
    return;
  FParser->SetLinkUnderline(Value);
  ViewChanged();
}

void TCustomHtmlLabel::SetTransparent(bool Value)
{
  if (Value == Transparent())
    return;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomHtmlLabel::ReparseCaption()
{
  FParser->SetDefaultFont(Font());
  FRenderer->SetLastActiveNode(nullptr);
  FParser->Parse(Caption());
  FLaidOutGeneration = 0;
}

// One layout: the sizing below answers from it.
void TCustomHtmlLabel::ViewChanged()
{
  ReparseCaption();
  Relayout();
  AdjustBounds();
  Invalidate();
}

bool TCustomHtmlLabel::LayoutHolds(Integer AWidth) const
{
  return FLaidOutGeneration != 0 && FLaidOutGeneration == FRenderer->LayoutGeneration() &&
         (!WordBreak() || AWidth == FLaidOutWidth);
}

TSize TCustomHtmlLabel::LayOut(const TRect& Rect)
{
  const TSize size = FRenderer->Reparse(Rect);
  FLaidOutGeneration = FRenderer->LayoutGeneration();
  FLaidOutWidth = Rect.Width();
  return size;
}

void TCustomHtmlLabel::LayoutNeeded()
{
  if (!LayoutHolds(ClientWidth()))
    Relayout();
}

void TCustomHtmlLabel::Loaded()
{
  inherited::Loaded();
  SetCaption(Caption());
  ViewChanged();
}

bool TCustomHtmlLabel::Sizing() const
{
  return !ControlState().Contains(csCreating) && !ComponentState().Contains(csLoading);
}

bool TCustomHtmlLabel::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  if (!Sizing())
    return true;
  // A query at a new width lays out for the size the label is about to take.
  const TSize size = LayoutHolds(NewWidth) ? TSize(FRenderer->ParsedWidth(), FRenderer->ParsedHeight())
                                           : LayOut(TRect(0, 0, NewWidth, NewHeight));
  if (AutoHeight())
    NewHeight = size.cy;
  // An aligned label's width belongs to its parent.
  if (AutoWidth() && Align() != alTop && Align() != alBottom && Align() != alClient)
    NewWidth = size.cx;
  return true;
}

void TCustomHtmlLabel::AdjustBounds()
{
  if (!Sizing())
    return;
  const TRect client = ClientRect();
  Integer width = Width(), height = Height();
  CanAutoSize(width, height);
  SetBounds(Left(), Top(), width, height);
  if (AutoWidth() && FAlignment == taRightJustify)
    SetLeft(client.Right - Width() + Left());
}

void TCustomHtmlLabel::Paint()
{
  if (!Transparent() && !ControlState().Contains(csGlassPaint)) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(ClientRect());
  }
  Canvas()->Brush()->SetStyle(bsClear);
  LayoutNeeded();
  FRenderer->PaintTo(Canvas(), ClientRect());
}

void TCustomHtmlLabel::DoLinkClick(const String& LinkId, const THtmlRenderChunk* Chunk)
{
  (void)Chunk;
  if (OnLinkClick && !LinkId.empty())
    OnLinkClick(LinkId);
}

void TCustomHtmlLabel::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case CM_FONTCHANGED:
  case CM_TEXTCHANGED:
    inherited::Dispatch(Message);
    ViewChanged();
    return;
  case CM_HITTEST:
    HitTested(Message);
    return;
  case CM_MOUSELEAVE:
    inherited::Dispatch(Message);
    MouseLeft();
    return;
  case Win::WM_MOUSEMOVE:
    inherited::Dispatch(Message);
    MouseMoved(Message);
    return;
  case Win::WM_LBUTTONDOWN:
    inherited::Dispatch(Message);
    LeftButtonDown(Message);
    return;
  default:
    inherited::Dispatch(Message);
  }
}

void TCustomHtmlLabel::HitTested(TMessage& Message)
{
  if (!FHitTest && !ComponentState().Contains(csDesigning)) {
    Message.Result = Win::HTNOWHERE;
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomHtmlLabel::MouseMoved(const TMessage& Message)
{
  LayoutNeeded();
  FRenderer->TrackMouse(MessageX(Message), MessageY(Message));
  SetCursor(IsLinkId(FRenderer->TextId()) ? FLinkCursor : crDefault);
  if (!FRenderer->GetNeedRepaint())
    return;
  Relayout();
  Invalidate();
}

void TCustomHtmlLabel::MouseLeft()
{
  LayoutNeeded();
  FRenderer->TrackMouse(-1, -1);
  if (!FRenderer->GetNeedRepaint())
    return;
  Relayout();
  Invalidate();
}

void TCustomHtmlLabel::LeftButtonDown(const TMessage& Message)
{
  const Integer x = MessageX(Message), y = MessageY(Message);
  LayoutNeeded();
  FRenderer->TrackMouse(x, y);
  const String textId = FRenderer->TextId();
  if (!IsLinkId(textId))
    return;
  std::optional<THtmlRenderChunk> chunk;
  if (const THtmlRenderChunk* hit = FRenderer->ChunkAtXY(x, y))
    chunk = *hit;
  DoLinkClick(textId.substr(LinkPrefix.size()), chunk ? &*chunk : nullptr);
}

QX_PUBLISHED_CONTROL(THtmlLabel)
{
  ControlProperties(alNone, true);
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taLeftJustify);
  Property("AutoHeight", &T::AutoHeight, &T::SetAutoHeight).Default(false);
  // Before WordBreak, which turns it off.
  Property("AutoWidth", &T::AutoWidth, &T::SetAutoWidth).Default(true);
  Property("WordBreak", &T::WordBreak, &T::SetWordBreak).Default(false);
  Property("HitTest", &T::HitTest, &T::SetHitTest).Default(true);
  Property("LinkCursor", &T::LinkCursor, &T::SetLinkCursor).As(pkCursor).Default(crHandPoint);
  Property("LinkUnderline", &T::LinkUnderline, &T::SetLinkUnderline).Default(false);
  Property("LinkColor", &T::LinkColor, &T::SetLinkColor).As(pkColor).Default(TColor(0x00FF0000));
  Property("Transparent", &T::Transparent, &T::SetTransparent).Default(true);
  Event("OnLinkClick", &T::OnLinkClick);
}

} // namespace Quorex

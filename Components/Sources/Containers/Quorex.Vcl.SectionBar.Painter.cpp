// The section bar's look: one off-screen bitmap holding the bar's gradient,
// the open section's band, the captions and the pointer of the active
// element, drawn through the anti-aliased graphics layer.
#include "Quorex.Vcl.SectionBar.hpp"

#include <GdiPlusHelpers.hpp>
#include <GdiPlusUtils.hpp>
#include <Vcl.Graphics.Measure.hpp>
#include <Winapi.Windows.hpp>

namespace Quorex {

using namespace Vcl;
using namespace GdiPlus;

namespace {

constexpr TGPColor kBarTop(0xFFE6E6E6), kBarBottom(0xFFEFEFEF), kBarLine(0xFF808080);
constexpr TGPColor kOpenedTop(0xFFFF7200), kOpenedBottom(0xFFE14B02);
constexpr TGPColor kPointerLine(0xFF808080), kPointerFill(0xFFFFFFFF);

// A gradient over nothing cannot be made, and there is nothing to fill.
void FillVertical(const std::shared_ptr<IGPGraphics>& G, const TRect& R, TGPColor Top, TGPColor Bottom)
{
  if (R.IsEmpty())
    return;
  G->FillRectangle(TGPLinearGradientBrush::Create(ToGPRectF(R), Top, Bottom, LinearGradientModeVertical),
                   ToGPRectF(R));
}

} // namespace

TSectionPainter::TSectionPainter(TCustomSectionBar* Bar) : FBar(Bar), FBmp(std::make_unique<TBitmap>())
{
  FBmp->SetPixelFormat(pf32bit);
}

TSectionPainter::~TSectionPainter() = default;

TBitmap* TSectionPainter::Bmp()
{
  FBmp->SetSize(FBar->Width(), FBar->Height());
  return FBmp.get();
}

void TSectionPainter::PaintBar()
{
  TBitmap* bmp = Bmp();
  if (bmp->Width() <= 0 || bmp->Height() <= 0)
    return;
  {
    auto g = ToGPGraphics(bmp->Canvas());
    g->SetCompositingQuality(CompositingQualityHighQuality);
    // Only what the bar's paint lets through reaches the screen.
    Win::RECT clip;
    if (Win::GetClipBox(FBar->Canvas()->Handle(), &clip) != Win::ERROR)
      g->SetClip(ToGPRectF(clip));
    TRect client = FBar->ClientRect();
    FillVertical(g, client, kBarTop, kBarBottom);
    g->DrawLine(TGPPen::Create(kBarLine, 1.0f), float(client.Right - 1), 0.0f, float(client.Right - 1),
                float(client.Bottom));
    for (Integer i = 0; i < FBar->GetCount(); ++i)
      if (!FBar->GetSection(i)->Hidden())
        PaintSection(FBar->GetSection(i), g, bmp->Canvas());
  }
  FBar->Canvas()->Draw(0, 0, bmp);
}

void TSectionPainter::PaintSection(TPageSection* S, const std::shared_ptr<IGPGraphics>& Graphics, TCanvas* Canvas)
{
  TRect r = GetBoundsRect(S);
  if (S->GetOpened())
    FillVertical(Graphics, r, kOpenedTop, kOpenedBottom);
  if (S->Images()) {
    TPoint p = GetImagePoint(S);
    S->Images()->Draw(Canvas, p.X, p.Y, S->ImageIndex(), true);
  }
  TRect label = GetLabelRect(S);
  Graphics->DrawString(S->Caption(), GetFont(S), ToGPRectF(label), ItemStringFormat(), GetFontBrush(S));
  for (Integer i = 0; i < S->GetCount(); ++i)
    if (!S->GetItem(i)->Hidden())
      PaintSectionItem(S->GetItem(i), Graphics);
  if (S->Active())
    PaintPointer(S, Graphics);
}

void TSectionPainter::PaintSectionItem(TPageItem* I, const std::shared_ptr<IGPGraphics>& Graphics)
{
  TPageSection* s = I->Section();
  if (!s)
    return;
  // Items the sliding section does not hold wholly yet stay undrawn.
  if (I->Top() + I->Height() <= s->Height())
    Graphics->DrawString(I->Caption(), GetFont(I), ToGPRectF(GetBoundsRect(I)), ItemStringFormat(), GetFontBrush(I));
  if (I->Active())
    PaintPointer(I, Graphics);
}

void TSectionPainter::PaintPointer(TPageSection* S, const std::shared_ptr<IGPGraphics>& Graphics)
{
  DoPaintPointer(ToGPRectF(GetLabelRect(S)), Graphics);
}

void TSectionPainter::PaintPointer(TPageItem* I, const std::shared_ptr<IGPGraphics>& Graphics)
{
  DoPaintPointer(ToGPRectF(GetBoundsRect(I)), Graphics);
}

void TSectionPainter::DoPaintPointer(const TGPRectF& R, const std::shared_ptr<IGPGraphics>& Graphics)
{
  float mid = R.Y + R.Height * 0.5f;
  float right = R.X + R.Width;
  Graphics->DrawPolygon(TGPPen::Create(kPointerLine, 1.0f),
                        {{right - 10, mid}, {right + 2, mid - 12}, {right + 2, mid + 12}});
  Graphics->FillPolygon(TGPSolidBrush::Create(kPointerFill),
                        {{right - 9, mid}, {right + 2, mid - 11}, {right + 2, mid + 11}});
}

TRect TSectionPainter::GetBoundsRect(TControl* Element) const
{
  TPoint origin = Element->ClientToParent(TPoint(0, 0), FBar);
  TRect r = Element->ClientRect();
  r.Offset(origin.X, origin.Y);
  r.Right -= 1;
  return r;
}

TRect TSectionPainter::GetLabelRect(TPageSection* S) const
{
  TRect r = GetBoundsRect(S);
  TRect label;
  label.Left = r.Left + S->LeftMargin();
  if (S->Images())
    label.Left += S->Images()->Width() + S->LabelMargin();
  label.Top = r.Top + S->TopMargin();
  label.Right = r.Left + S->Width() - S->RightMargin();
  label.Bottom = label.Top + S->GetTitleClientHeight();
  return label;
}

TPoint TSectionPainter::GetImagePoint(TPageSection* S) const
{
  TRect r = GetBoundsRect(S);
  Integer imageHeight = S->Images() ? S->Images()->Height() : 0;
  return TPoint(r.Left + S->LeftMargin(), r.Top + (S->GetTitleHeight() - imageHeight) / 2);
}

Integer TSectionPainter::GetTitleStrHeight(TPageSection* S) const
{
  if (!S->SectionBar())
    return 0;
  // Measured on a memory context: sizes are asked for while the bar is
  // built or read, before it has a window.
  TMeasureCanvas canvas(FBar->Font());
  auto g = ToGPGraphics(&canvas);
  return Integer(g->MeasureString(S->Caption(), GetFont(S), TGPPointF{0, 0}).Height);
}

std::shared_ptr<IGPFont> TSectionPainter::GetFont(TControl* Element) const
{
  TFont font;
  font.Assign(FBar->Font());
  if (auto* element = dynamic_cast<TBaseSectionBarItem*>(Element))
    element->PrepareFont(&font);
  return ToGPFont(&font);
}

std::shared_ptr<IGPBrush> TSectionPainter::GetFontBrush(TControl* Element) const
{
  TFont font;
  font.Assign(FBar->Font());
  if (auto* element = dynamic_cast<TBaseSectionBarItem*>(Element))
    element->PrepareFont(&font);
  return TGPSolidBrush::Create(TGPColor::CreateFromColorRef(std::uint32_t(font.Color())));
}

std::shared_ptr<IGPStringFormat> TSectionPainter::ItemStringFormat()
{
  auto format = TGPStringFormat::Create();
  format->SetLineAlignment(StringAlignmentCenter);
  return format;
}

} // namespace Quorex

#include "Quorex.Vcl.ItemPanel.hpp"

#include <GdiPlusHelpers.hpp>
#include <GdiPlusUtils.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.ScopeGuards.hpp>
#include <Win.Gdi.Guards.hpp>

namespace Quorex {

using namespace Vcl;
using namespace GdiPlus;

namespace {

constexpr float kCorner = 6;

} // namespace

TCustomItemPanel::TCustomItemPanel(TComponent* AOwner)
  : TCustomControl(AOwner), FBuf(std::make_unique<TBitmap>()), FBufCanvas(std::make_unique<TCanvas>())
{
  FControlStyle.Include(csAcceptsControls);
  FBuf->SetSize(Width(), Height());
}

TCustomItemPanel::~TCustomItemPanel() = default;

void TCustomItemPanel::Dispatch(TMessage& Message)
{
  if (Message.Msg == Win::WM_ERASEBKGND) {
    WMEraseBkgnd(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomItemPanel::WMEraseBkgnd(TMessage& Message)
{
  {
    TCanvasAttachment attached(FBufCanvas.get(), reinterpret_cast<Win::HDC>(Message.WParam));
    DrawBuf(FBufCanvas.get(), true);
  }
  Message.Result = 1;
}

void TCustomItemPanel::Paint()
{
  DrawBuf(Canvas(), false);
}

void TCustomItemPanel::DrawBuf(TCanvas* Target, bool PaintChildren)
{
  // An empty panel has nothing to show, and the graphics layer refuses
  // empty bitmaps and brushes.
  if (FPainting > 0 || Width() <= 0 || Height() <= 0)
    return;
  const TScopedValue painting(FPainting, FPainting + 1);
  FBuf->SetSize(Width(), Height());
  TCanvas* buffer = FBuf->Canvas();
  const TRect clip = Target->ClipRect();
  Win::HRGN region = Win::CreateRectRgn(clip.Left, clip.Top, clip.Right, clip.Bottom);
  Win::SelectClipRgn(buffer->Handle(), region);
  Win::DeleteObject(region);
  DoDraw(buffer);
  if (PaintChildren)
    PaintControls(buffer->Handle(), nullptr);
  Target->Draw(0, 0, FBuf.get());
}

void TCustomItemPanel::DoDraw(TCanvas* ACanvas)
{
  const std::shared_ptr<IGPGraphics> graphics = ToGPGraphics(ACanvas);
  graphics->FillRectangle(TGPSolidBrush::Create(TGPColor(0xFFFFFFFF)),
                          ToGPRectF(TRect(-1, -1, Width() + 1, Height() + 1)));
  switch (FState) {
  case ipsNormal:
    break;
  case ipsHot:
    DrawRect(*graphics, TGPColor(0xFFFFFFFF), TGPColor(0xFFF3F8FF), TGPColor(0xFFB9D7FC));
    break;
  case ipsSelected:
    DrawRect(*graphics, TGPColor(0xFFECF5FF), TGPColor(0xFFD0E5FF), TGPColor(0xFF84ACDD));
    break;
  case ipsCustom: {
    const TGPColor begin = ToGPColor(FGradientBegin), end = ToGPColor(FGradientEnd), border = ToGPColor(FBorderColor);
    if (FStyle == istGlass)
      DrawGlassRect(*graphics, begin, end, border);
    else
      DrawRect(*graphics, begin, end, border);
    break;
  }
  }
}

void TCustomItemPanel::FillRounded(IGPGraphics& Graphics, const TRect& Rect, TGPColor Top, TGPColor Bottom) const
{
  if (Rect.IsEmpty())
    return;
  const TGPRectF r = ToGPRectF(Rect);
  Graphics.FillPath(TGPLinearGradientBrush::Create(r, Top, Bottom, LinearGradientModeVertical), RoundRectPath(r, kCorner));
}

void TCustomItemPanel::Outline(IGPGraphics& Graphics, TGPColor Border) const
{
  const TRect r(0, 0, ClientRect().Right - 1, ClientRect().Bottom - 1);
  if (r.IsEmpty())
    return;
  Graphics.DrawPath(TGPPen::Create(Border, 1), RoundRectPath(ToGPRectF(r), kCorner));
}

void TCustomItemPanel::DrawRect(IGPGraphics& Graphics, TGPColor First, TGPColor Second, TGPColor Border) const
{
  FillRounded(Graphics, ClientRect(), First, Second);
  Outline(Graphics, Border);
}

void TCustomItemPanel::DrawGlassRect(IGPGraphics& Graphics, TGPColor First, TGPColor Second, TGPColor Border) const
{
  FillRounded(Graphics, ClientRect(), Second, First);
  FillRounded(Graphics, TRect(0, 0, ClientWidth(), ClientHeight() / 2), TGPColor(0x88FFFFFF), TGPColor(0x22FFFFFF));
  Outline(Graphics, Border);
}

QX_PUBLISHED_CONTROL(TItemPanel)
{
  for (const char* name : {"Align", "Anchors", "Constraints", "Enabled", "PopupMenu", "ParentShowHint", "ShowHint",
                           "TabOrder", "Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnMouseDown",
                           "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp", "OnResize", "OnMouseActivate",
                           "OnDragDrop", "OnDragOver", "OnEndDrag", "OnStartDrag"})
    Publish(name);
  Publish("TabStop").Default(false);
  Property("State", &T::State, &T::SetState).Default(ipsNormal);
  Property("Style", &T::Style, &T::SetStyle).Default(istGradient);
  Property("BorderColor", &T::BorderColor, &T::SetBorderColor).As(pkColor).Default(0);
  Property("GradientBegin", &T::GradientBegin, &T::SetGradientBegin).As(pkColor).Default(0);
  Property("GradientEnd", &T::GradientEnd, &T::SetGradientEnd).As(pkColor).Default(0);
}

} // namespace Quorex

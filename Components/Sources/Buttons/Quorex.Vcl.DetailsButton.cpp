#include "Quorex.Vcl.DetailsButton.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

using namespace Vcl;
using namespace GdiPlus;

namespace Quorex {

TQxDetailsButton::TQxDetailsButton(TComponent* AOwner) : TQxRoundButton(AOwner)
{
  UpdateCaption();
}

void TQxDetailsButton::SetState(TQxDetailsButtonState Value)
{
  if (FState == Value)
    return;
  FState = Value;
  UpdateCaption();
  Refresh();
}

void TQxDetailsButton::SetCaptionFewerDetails(const String& Value)
{
  FCaptionFewerDetails = Value;
  UpdateCaption();
}

void TQxDetailsButton::SetCaptionMoreDetails(const String& Value)
{
  FCaptionMoreDetails = Value;
  UpdateCaption();
}

// The caption offers the other view: while more details show, a click
// brings fewer.
void TQxDetailsButton::UpdateCaption()
{
  SetCaption(FState == dbsMoreDetails ? FCaptionFewerDetails : FCaptionMoreDetails);
}

void TQxDetailsButton::DrawItem(const Win::DRAWITEMSTRUCT& DrawItemStruct)
{
  inherited::DrawItem(DrawItemStruct);
  const TRect s = CircleRect();
  if (s.Width() <= 0 || s.Height() <= 0)
    return;
  auto graphics = TGPGraphics::Create(DrawItemStruct.hDC);
  graphics->SetSmoothingMode(SmoothingModeHighQuality);
  DrawArrow(*graphics, s, FState == dbsMoreDetails);
}

void TQxDetailsButton::DrawArrow(IGPGraphics& Graphics, const TRect& Rect, bool Up)
{
  const int h = Rect.Bottom - Rect.Top;
  auto pen = TGPPen::Create(TGPColor::Create(255, 0, 0, 0), h < 24 ? 1.0f : 2.0f);
  const int cx = Rect.Left + h / 2, cy = Rect.Top + h / 2, d = h / 8;
  const int tip = Up ? cy - d : cy + d, ends = Up ? cy + d : cy - d;
  Graphics.DrawLine(pen, float(cx), float(tip), float(cx - 2 * d), float(ends));
  Graphics.DrawLine(pen, float(cx), float(tip), float(cx + 2 * d), float(ends));
}

QX_PUBLISHED_CONTROL(TQxDetailsButton)
{
  Property("State", &T::State, &T::SetState).Default(dbsMoreDetails);
  Property("CaptionFewerDetails", &T::CaptionFewerDetails, &T::SetCaptionFewerDetails);
  Property("CaptionMoreDetails", &T::CaptionMoreDetails, &T::SetCaptionMoreDetails);
}

} // namespace Quorex

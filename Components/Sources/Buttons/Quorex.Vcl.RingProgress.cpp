#include "Quorex.Vcl.RingProgress.hpp"

#include <GdiPlusHelpers.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.ScopeGuards.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;
using namespace GdiPlus;

TQxCustomRingProgress::TQxCustomRingProgress(TComponent* AOwner) : TGraphicControl(AOwner)
{
  SetBounds(Left(), Top(), 40, 40);
  SetColor(TColor(0x00CD7330));
}

void TQxCustomRingProgress::SetRingWidthFactor(Integer Value)
{
  FRingWidthFactor = std::clamp(Value, 1, 100);
  Invalidate();
}

float TQxCustomRingProgress::GetCurrentAngle() const
{
  if (FMax == 0)
    return 0;
  return float(double(FPosition) * 360 / FMax);
}

void TQxCustomRingProgress::Resize()
{
  inherited::Resize();
  // Setting the width resizes again; alignment or constraints may refuse
  // the square, and the ring must not keep asking.
  if (FResizing || Width() == Height())
    return;
  const TScopedValue resizing(FResizing, true);
  SetWidth(Height());
}

void TQxCustomRingProgress::Paint()
{
  FRingWidth = (float(ClientWidth()) / 2 - 2) * float(FRingWidthFactor) / 100;
  DoPaint();
}

TGPColor TQxCustomRingProgress::RingColor(Byte Alpha) const
{
  // System colours name no pixels: resolved first.
  const auto rgb = std::uint32_t(ColorToRGB(Color()));
  return TGPColor::Create(Alpha, std::uint8_t(rgb), std::uint8_t(rgb >> 8), std::uint8_t(rgb >> 16));
}

void TQxCustomRingProgress::DoPaint()
{
  PaintRing(RingColor(FInactiveAlpha), 360);
  PaintRing(RingColor(FAlphaBlend), GetCurrentAngle());
}

void TQxCustomRingProgress::PaintRing(TGPColor Color, float Sweep)
{
  const float outer = float(ClientWidth()) - 1, outerHeight = float(ClientHeight()) - 1;
  // Nothing to draw on a control narrower than a pixel (and the graphics
  // layer refuses negative boxes).
  if (outer < 1 || outerHeight < 1)
    return;
  const float w = std::clamp(FRingWidth, 0.0f, std::min(outer, outerHeight) / 2);
  auto graphics = ToGPGraphics(this);
  graphics->SetSmoothingMode(SmoothingModeAntiAlias);
  graphics->SetPixelOffsetMode(PixelOffsetModeHighQuality);
  auto path = TGPGraphicsPath::Create();
  path->AddArc(TGPRectF(0, 0, outer, outerHeight), 0, Sweep);
  path->AddArc(TGPRectF(w, w, outer - 2 * w, outerHeight - 2 * w), Sweep, -Sweep);
  graphics->FillPath(TGPSolidBrush::Create(Color), path);
  graphics->DrawPath(TGPPen::Create(TGPColor(0), 1), path);
}

QX_PUBLISHED_CONTROL(TQxRingProgress)
{
  for (const char* name : {"Align", "Anchors", "Constraints", "Enabled", "ParentShowHint", "ShowHint", "Visible",
                           "OnClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"})
    Publish(name);
  Property("Min", &T::Min, &T::SetMin).Default(0);
  Property("Max", &T::Max, &T::SetMax).Default(100);
  Property("Position", &T::Position, &T::SetPosition).Default(0);
  Publish("Color").Default(TColor(0x00CD7330));
  Property("AlphaBlend", &T::AlphaBlend, &T::SetAlphaBlend).Default(Byte(255));
  Property("InactiveAlpha", &T::InactiveAlpha, &T::SetInactiveAlpha).Default(Byte(40));
  Property("RingWidthFactor", &T::RingWidthFactor, &T::SetRingWidthFactor).Default(30);
}

} // namespace Quorex

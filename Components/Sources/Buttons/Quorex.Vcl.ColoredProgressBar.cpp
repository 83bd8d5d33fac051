#include "Quorex.Vcl.ColoredProgressBar.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

TQxColoredProgressBar::TQxColoredProgressBar(TComponent* AOwner) : TGraphicControl(AOwner)
{
  SetColor(clWindow);
  SetParentColor(true);
  SetBounds(Left(), Top(), 150, 6);
}

void TQxColoredProgressBar::SetColorField(TColor& Field, TColor Value)
{
  Field = Value;
  Invalidate();
}

void TQxColoredProgressBar::CheckProgressValue()
{
  if (FPosition < FMinValue)
    FPosition = FMinValue;
  if (FPosition > FMaxValue)
    FPosition = FMaxValue;
}

void TQxColoredProgressBar::SetMaxValue(Integer Value)
{
  FMaxValue = Value;
  if (FMinValue > FMaxValue)
    FMinValue = FMaxValue;
  CheckProgressValue();
  Invalidate();
}

void TQxColoredProgressBar::SetMinValue(Integer Value)
{
  FMinValue = Value;
  if (FMaxValue < FMinValue)
    FMaxValue = FMinValue;
  CheckProgressValue();
  Invalidate();
}

void TQxColoredProgressBar::SetPosition(Integer Value)
{
  FPosition = Value;
  CheckProgressValue();
  Invalidate();
}

// In 64 bits: twice a large maximum, or the width times a large position,
// does not fit in 32.
TColor TQxColoredProgressBar::FillColor() const
{
  const Int64 max = FMaxValue;
  if (max / 3 > FPosition)
    return FStartColor;
  if (2 * max / 3 < FPosition)
    return FFinishColor;
  return FMiddleColor;
}

Integer TQxColoredProgressBar::FillRight() const
{
  const Int64 width = ClientWidth();
  if (FMaxValue == 0)
    return Integer(width);
  return Integer(std::clamp<Int64>(width * FPosition / FMaxValue, 0, width));
}

void TQxColoredProgressBar::Paint()
{
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  const Integer corner = ClientHeight() / 2;
  canvas->Pen()->SetStyle(psClear);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->RoundRect(r, corner, corner);
  r.Right = FillRight();
  if (r.Right <= r.Left)
    return;
  canvas->Brush()->SetColor(FillColor());
  canvas->RoundRect(r, corner, corner);
}

QX_PUBLISHED_CONTROL(TQxColoredProgressBar)
{
  for (const char* name : {"Align", "Anchors", "Constraints", "Enabled", "ParentShowHint", "ShowHint", "Visible",
                           "OnClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"})
    Publish(name);
  Property("StartColor", &T::StartColor, &T::SetStartColor).As(pkColor).Default(TColor(0x000000FF));
  Property("MiddleColor", &T::MiddleColor, &T::SetMiddleColor).As(pkColor).Default(TColor(0x0000FFFF));
  Property("FinishColor", &T::FinishColor, &T::SetFinishColor).As(pkColor).Default(TColor(0x00008000));
  // Minimum before maximum before position, as they constrain each other.
  Property("MinValue", &T::MinValue, &T::SetMinValue).Default(0);
  Property("MaxValue", &T::MaxValue, &T::SetMaxValue).Default(100);
  Property("Position", &T::Position, &T::SetPosition).Default(50);
  Publish("ParentColor").Default(true);
  Publish("Color").Default(clWindow);
}

} // namespace Quorex

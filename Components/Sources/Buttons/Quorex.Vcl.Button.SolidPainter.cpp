#include "Quorex.Vcl.Button.SolidPainter.hpp"

namespace Quorex {

using namespace Vcl;

namespace {

// The luminance shift works on explicit colours: a system colour is
// resolved first, and no colour stays no colour.
TColor AdjustLuma(TColor C, Integer Shift)
{
  if (C == clNone)
    return clNone;
  return TColor(ColorAdjustLuma(TColorRef(ColorToRGB(C)), Shift, false));
}

} // namespace

void TQxButtonSolidPainter::PaintInternal(const TRect& R, TColor C)
{
  if (C == clNone)
    return;
  FCanvas->Brush()->SetStyle(bsSolid);
  FCanvas->Brush()->SetColor(C);
  FCanvas->FillRect(R);
}

TColor TQxButtonSolidPainter::GetNormalColor() const
{
  return FTransparent ? clNone : FColor;
}

TColor TQxButtonSolidPainter::GetDisabledColor() const
{
  return clBtnFace;
}

TColor TQxButtonSolidPainter::GetHotColor() const
{
  return FTransparent ? FColor : AdjustLuma(FColor, 60);
}

TColor TQxButtonSolidPainter::GetPressColor() const
{
  return AdjustLuma(FColor, -30);
}

TColor TQxButtonSolidPainter::StateColor(TUIControlState State) const
{
  switch (State) {
  case uicsNormal:
    return GetNormalColor();
  case uicsDisabled:
    return GetDisabledColor();
  case uicsHot:
    return GetHotColor();
  case uicsPressed:
    return GetPressColor();
  }
  return clNone;
}

void TQxButtonSolidPainter::PaintPushButton()
{
  PaintInternal(GetMainButtonRect(), StateColor(FState));
}

void TQxButtonSolidPainter::PaintSplitButtonDropDown()
{
  PaintInternal(GetArrowAreaRect(), StateColor(FSplitState));
  PaintArrow();
  PaintSplitter();
}

} // namespace Quorex

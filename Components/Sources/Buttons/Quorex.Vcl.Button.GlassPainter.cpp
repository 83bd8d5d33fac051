#include "Quorex.Vcl.Button.GlassPainter.hpp"

namespace Quorex {

using namespace Vcl;

namespace {

// Upper and lower half colours by state, in TUIControlState order.
struct TGlassColors {
  TColor Top, Bottom;
};
constexpr TGlassColors GlassColors[] = {{clNone, clNone},
                                        {clNone, clNone},
                                        {TColor(0x00FCF3E2), TColor(0x00FBE3B7)},
                                        {TColor(0x00F6E4C2), TColor(0x00F2D7A6)}};

} // namespace

void TQxButtonGlassPainter::PaintInternal(const TRect& R, TColor Top, TColor Bottom)
{
  const Integer middle = R.Top + R.Height() / 2;
  FCanvas->Brush()->SetStyle(bsSolid);
  if (Top != clNone) {
    FCanvas->Brush()->SetColor(Top);
    FCanvas->FillRect(TRect(R.Left, R.Top, R.Right, middle));
  }
  if (Bottom != clNone) {
    FCanvas->Brush()->SetColor(Bottom);
    FCanvas->FillRect(TRect(R.Left, middle, R.Right, R.Bottom));
  }
}

void TQxButtonGlassPainter::PaintPushButton()
{
  const TGlassColors colors = GlassColors[FState];
  PaintInternal(GetMainButtonRect(), colors.Top, colors.Bottom);
}

void TQxButtonGlassPainter::PaintSplitButtonDropDown()
{
  const TGlassColors colors = GlassColors[FSplitState];
  PaintInternal(GetArrowAreaRect(), colors.Top, colors.Bottom);
  PaintArrow();
  PaintSplitter();
}

} // namespace Quorex

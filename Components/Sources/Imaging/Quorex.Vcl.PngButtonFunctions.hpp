// Where a glyph button puts its PNG and its caption.
#pragma once

#include <Vcl.Buttons.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

namespace Quorex {

// Places the glyph and the caption in Client. Margin -1 centres the pair;
// Spacing -1 spreads the free space evenly. TextFlags are DrawText flags
// (DT_RIGHT swaps a glyph-left layout to glyph-right for right-to-left text).
void CalcButtonLayout(Vcl::TCanvas* Canvas, Vcl::TPngImage* Png, const Vcl::TRect& Client, bool Pressed, bool Down,
                      const Vcl::String& Caption, Vcl::TButtonLayout Layout, int Margin, int Spacing,
                      Vcl::TPoint& GlyphPos, Vcl::TPoint& TextPos, int TextFlags);

} // namespace Quorex

// Where a glyph button puts its PNG and its caption.
#pragma once

#include <Vcl.Buttons.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

namespace Vcl {
class TObject;
}

namespace Quorex {

// Places the glyph and the caption in Client. Margin -1 centres the pair;
// Spacing -1 spreads the free space evenly. TextFlags are DrawText flags
// (DT_RIGHT swaps a glyph-left layout to glyph-right for right-to-left text).
void CalcButtonLayout(Vcl::TCanvas* Canvas, Vcl::TPngImage* Png, const Vcl::TRect& Client, bool Pressed, bool Down,
                      const Vcl::String& Caption, Vcl::TButtonLayout Layout, int Margin, int Spacing,
                      Vcl::TPoint& GlyphPos, Vcl::TPoint& TextPos, int TextFlags);

// What a PNG button keeps of an assigned image: a copy (nil: an empty image),
// without the gamma chunk when it is a colour image; an empty image is left
// as it is.
void AssignButtonPng(Vcl::TPngImage& Png, const Vcl::TPngImage* Value);
// Fills Png from the image of an action (Sender) whose list has images and
// whose index is in range, when Png is empty or came from an action before;
// returns whether it did.
bool TakeActionPng(Vcl::TPngImage& Png, Vcl::TObject* Sender, bool FromAction);

} // namespace Quorex

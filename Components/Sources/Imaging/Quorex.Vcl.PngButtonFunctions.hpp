// Where a glyph button puts its PNG and its caption.
#pragma once

#include <Vcl.ActnList.hpp>
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

// What a PNG button keeps of an assigned image: a copy (nil: an empty image),
// without the gamma chunk when it is a colour image; an empty image is left
// as it is.
void AssignButtonPng(Vcl::TPngImage& Png, const Vcl::TPngImage* Value);
// Fills Png from image Index (kActionIndex: the action's own) of the images
// of an action (Sender), when the index is in range and Png is empty or came
// from an action before; returns whether it did.
constexpr int kActionIndex = -2;
bool TakeActionPng(Vcl::TPngImage& Png, Vcl::TObject* Sender, bool FromAction, int Index = kActionIndex);

// The action link of a PNG button: a new image index of the action (told
// before the action holds it) reaches the button, so that an image taken
// from the action follows it.
template <class TLinkBase, class TButtonClass>
class TPngButtonActionLink : public TLinkBase {
protected:
  void SetImageIndex(Vcl::Integer Value) override
  {
    TLinkBase::SetImageIndex(Value);
    if (auto* button = dynamic_cast<TButtonClass*>(this->FClient))
      button->TakeActionImage(this->Action(), Value);
  }
};

} // namespace Quorex

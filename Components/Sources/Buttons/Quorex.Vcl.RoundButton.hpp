// An owner-drawn push button whose face is a disc at the control's left
// edge, as wide as the control is high, with an optional PNG glyph centred
// in it and the caption to its right.
#pragma once

#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>
#include <Vcl.StdCtrls.hpp>

#include <memory>

namespace Quorex {

class TQxRoundButton : public Vcl::TCustomButton {
  QX_CLASS(TQxRoundButton, Vcl::TCustomButton)
public:
  explicit TQxRoundButton(Vcl::TComponent* AOwner);
  ~TQxRoundButton() override;

  // The button keeps a copy of the picture, so the caller's stays the
  // caller's; nil or an empty picture removes the glyph.
  Vcl::TPngImage* Glyph() const { return FGlyph.get(); }
  void SetGlyph(const Vcl::TPngImage* Value);
  // A wrapped caption breaks between words to fit beside the disc and is
  // centred as a block.
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool MouseInControl() const { return FMouseInControl; }
  bool IsFocused() const { return FIsFocused; }
  // The canvas the button draws with; it holds a context only while a paint
  // runs.
  Vcl::TCanvas* Canvas() const { return FCanvas.get(); }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void CreateParams(Vcl::TCreateParams& Params) override;
  void SetButtonStyle(bool ADefault) override;
  virtual void DrawItem(const Win::DRAWITEMSTRUCT& DrawItemStruct);
  // The disc's square: the control's height at its left edge, right and
  // bottom two pixels in, where the outline, glyph and chevron go.
  Vcl::TRect CircleRect() const;
  // The hover state follows the mouse only while styles are on.
  void MouseEnter();
  void MouseLeave();

private:
  void DrawFace(Win::HDC DC, const Win::DRAWITEMSTRUCT& DrawItemStruct);
  void DrawCaption(Vcl::TCanvas* Canvas);
  void DrawWrappedCaption(Vcl::TCanvas* Canvas, Vcl::TRect Text);

  std::unique_ptr<Vcl::TCanvas> FCanvas;
  std::unique_ptr<Vcl::TPngImage> FGlyph;
  bool FMouseInControl = false;
  bool FIsFocused = false;
  bool FWordWrap = false;
};

} // namespace Quorex

#include "Quorex.Vcl.PngSpeedButton.hpp"

#include <Quorex.Vcl.PngButtonFunctions.hpp>

namespace Quorex {

using namespace Vcl;

TPngSpeedButton::TPngSpeedButton(TComponent* AOwner)
  : TSpeedButton(AOwner), FPngImage(std::make_unique<TPngImage>())
{
}

TPngSpeedButton::~TPngSpeedButton() = default;

void TPngSpeedButton::SetPngImage(TPngImage* Value)
{
  AssignButtonPng(*FPngImage, Value);
  FImageFromAction = false;
  CreatePngGlyph();
  Repaint();
}

void TPngSpeedButton::SetPngOptions(TPngOptions Value)
{
  if (FPngOptions == Value)
    return;
  FPngOptions = Value;
  CreatePngGlyph();
  Repaint();
}

TControlActionLinkClass TPngSpeedButton::GetActionLinkClass() const
{
  return ActionLinkClassOf<TPngButtonActionLink<TControlActionLink, TPngSpeedButton>>;
}

void TPngSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
  inherited::ActionChange(Sender, CheckDefaults);
  TakeActionImage(Sender, kActionIndex);
}

void TPngSpeedButton::TakeActionImage(TObject* Sender, Integer Index)
{
  if (!TakeActionPng(*FPngImage, Sender, FImageFromAction, Index))
    return;
  CreatePngGlyph();
  FImageFromAction = true;
  Repaint();
}

void TPngSpeedButton::Loaded()
{
  inherited::Loaded();
  CreatePngGlyph();
}

void TPngSpeedButton::CreatePngGlyph()
{
  TBitmap blank;
  if (!FPngImage->Empty()) {
    blank.SetSize(FPngImage->Width(), FPngImage->Height());
    blank.Canvas()->Brush()->SetColor(clBtnFace);
    blank.Canvas()->FillRect(TRect(0, 0, blank.Width(), blank.Height()));
  }
  SetGlyph(&blank);
  SetNumGlyphs(1);
}

void TPngSpeedButton::Paint()
{
  inherited::Paint();
  if (FPngImage->Empty())
    return;
  TPoint glyph, text;
  CalcButtonLayout(Canvas(), FPngImage.get(), ClientRect(), State() == bsDown, Down(), Caption(), Layout(),
                   Margin(), Spacing(), glyph, text, DrawTextBiDiModeFlags(0));
  DrawPNG(FPngImage.get(), Canvas(),
          TRect(glyph.X, glyph.Y, glyph.X + FPngImage->Width(), glyph.Y + FPngImage->Height()),
          Enabled() ? TPngOptions{} : FPngOptions);
}

QX_PUBLISHED(TPngSpeedButton)
{
  Property("PngImage", &T::PngImage, &T::SetPngImage).Stored(&T::PngImageStored);
  Property("PngOptions", &T::PngOptions, &T::SetPngOptions).Default(TPngOptions{pngBlendOnDisabled});
  Publish("Glyph").Stored(false);
  Publish("NumGlyphs").Stored(false);
}

} // namespace Quorex

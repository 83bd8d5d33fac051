// Form streaming of the graphics classes: the font's published properties,
// colour identifiers and a picture's stored data.
#include "Vcl.Graphics.hpp"

#include "System.Classes.Streaming.hpp"

namespace Vcl {

namespace {

[[maybe_unused]] const bool ColorIdentsRegistered = [] {
  RegisterIntegerConsts(
    "TColor",
    [](const String& Ident, Integer& Value) {
      TColor color = 0;
      if (!IdentToColor(Ident, color))
        return false;
      Value = color;
      return true;
    },
    [](Integer Value, String& Ident) { return ColorToIdent(TColor(Value), Ident); });
  return true;
}();

} // namespace

QX_PUBLISHED(TFont)
{
  Property("Charset", &T::Charset, &T::SetCharset).Default(Win::DEFAULT_CHARSET);
  Property("Color", &T::Color, &T::SetColor).As(pkColor).Default(clWindowText);
  Property("Height", &T::Height, &T::SetHeight);
  Property("Name", &T::Name, &T::SetName);
  Property("Orientation", &T::Orientation, &T::SetOrientation).Default(0);
  Property("Pitch", &T::Pitch, &T::SetPitch).Default(fpDefault);
  Property("Size", &T::Size, &T::SetSize).Stored(false);
  Property("Style", &T::Style, &T::SetStyle).Default(TFontStyles{});
  Property("Quality", &T::Quality, &T::SetQuality).Default(fqDefault);
}

void TPicture::DefineProperties(TFiler* Filer)
{
  Filer->DefineBinaryProperty(
    "Data", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
    Graphic() != nullptr);
}

} // namespace Vcl

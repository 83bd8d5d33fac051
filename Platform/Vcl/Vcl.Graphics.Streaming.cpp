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

constexpr TIdentMapEntry CharsetNames[] = {
  {0, "ANSI_CHARSET"},         {1, "DEFAULT_CHARSET"},      {2, "SYMBOL_CHARSET"},
  {77, "MAC_CHARSET"},         {128, "SHIFTJIS_CHARSET"},   {129, "HANGEUL_CHARSET"},
  {130, "JOHAB_CHARSET"},      {134, "GB2312_CHARSET"},     {136, "CHINESEBIG5_CHARSET"},
  {161, "GREEK_CHARSET"},      {162, "TURKISH_CHARSET"},    {163, "VIETNAMESE_CHARSET"},
  {177, "HEBREW_CHARSET"},     {178, "ARABIC_CHARSET"},     {186, "BALTIC_CHARSET"},
  {204, "RUSSIAN_CHARSET"},    {222, "THAI_CHARSET"},       {238, "EASTEUROPE_CHARSET"},
  {255, "OEM_CHARSET"},
};

[[maybe_unused]] const bool CharsetIdentsRegistered = (RegisterIntegerConsts("TFontCharset", CharsetNames), true);

} // namespace

QX_PUBLISHED(TFont)
{
  Property("Charset", &T::Charset, &T::SetCharset).Idents("TFontCharset").Default(Win::DEFAULT_CHARSET);
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

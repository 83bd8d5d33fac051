// Form streaming of the graphics classes: the font's published properties,
// colour identifiers, a graphic's stored data and its framing in a picture.
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

// A stored font is written whole: a control that does not take its parent's
// font starts from the parent's when it is read, not from a font's defaults,
// so a value equal to the default still has to be written.
QX_PUBLISHED(TFont)
{
  Property("Charset", &T::Charset, &T::SetCharset).Idents("TFontCharset");
  Property("Color", &T::Color, &T::SetColor).As(pkColor);
  Property("Height", &T::Height, &T::SetHeight);
  Property("Name", &T::Name, &T::SetName);
  Property("Orientation", &T::Orientation, &T::SetOrientation).Default(0);
  Property("Pitch", &T::Pitch, &T::SetPitch).Default(fpDefault);
  Property("Size", &T::Size, &T::SetSize).Stored(false);
  Property("Style", &T::Style, &T::SetStyle);
  Property("Quality", &T::Quality, &T::SetQuality).Default(fqDefault);
}

void WriteGraphicClassName(TStream* Stream, const String& ClassName)
{
  if (ClassName.size() > 255)
    throw EWriteError(Format("Invalid graphic class name '%s'", {ClassName}));
  const Byte length = Byte(ClassName.size());
  Stream->WriteBuffer(&length, 1);
  Stream->WriteBuffer(ClassName.data(), length);
}

String ReadGraphicClassName(TStream* Stream)
{
  Byte length = 0;
  if (Stream->Read(&length, 1) != 1)
    throw EReadError("Picture data without a graphic class name");
  String name(length, '\0');
  if (Stream->Read(name.data(), length) != length)
    throw EReadError("Picture data ends inside the graphic class name");
  if (!name.empty() && !IsValidIdent(name))
    throw EReadError(Format("Invalid graphic class name '%s'", {name}));
  return name;
}

void WriteLengthField(TStream* Stream, Cardinal Length)
{
  const Byte b[4] = {Byte(Length), Byte(Length >> 8), Byte(Length >> 16), Byte(Length >> 24)};
  Stream->WriteBuffer(b, 4);
}

Cardinal ReadLengthField(TStream* Stream)
{
  Byte b[4] = {};
  if (Stream->Read(b, 4) != 4)
    throw EReadError("Data ends inside a length field");
  const Cardinal length = Cardinal(b[0]) | Cardinal(b[1]) << 8 | Cardinal(b[2]) << 16 | Cardinal(b[3]) << 24;
  const Int64 left = Stream->Size() - Stream->Position();
  if (Int64(length) > left)
    throw EReadError(Format("Length field of %u bytes exceeds the %d bytes left", {length, left}));
  return length;
}

// No data is what an empty graphic gives (a failed form read puts such a
// graphic back that way): it empties the graphic instead of failing to load.
void TGraphic::DefineProperties(TFiler* Filer)
{
  Filer->DefineBinaryProperty(
    "Data",
    [this](TStream* Stream) {
      if (Stream->Position() < Stream->Size())
        ReadData(Stream);
      else if (!Empty())
        Assign(nullptr);
    },
    [this](TStream* Stream) { WriteData(Stream); }, !Empty());
}

void TPicture::ReadData(TStream* Stream)
{
  const String className = ReadGraphicClassName(Stream);
  if (className.empty()) {
    Adopt(nullptr);
    return;
  }
  TGraphicClass graphicClass = FindGraphicClass(className);
  if (!graphicClass)
    throw EInvalidGraphic("Unsupported picture format (" + className + ")");
  std::unique_ptr<TGraphic> graphic(CreateGraphic(graphicClass));
  graphic->ReadData(Stream);
  Adopt(std::move(graphic));
}

void TPicture::WriteData(TStream* Stream)
{
  WriteGraphicClassName(Stream, FGraphic ? FGraphic->ClassName() : String());
  if (FGraphic)
    FGraphic->WriteData(Stream);
}

void TPicture::DefineProperties(TFiler* Filer)
{
  Filer->DefineBinaryProperty(
    "Data", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
    Graphic() != nullptr);
}

} // namespace Vcl

#include "Vcl.Graphics.hpp"

#include <algorithm>
#include <cstring>

namespace Vcl {

namespace {

Integer ScreenPixelsPerInch()
{
  Win::HDC dc = Win::GetDC(nullptr);
  const Integer ppi = Win::GetDeviceCaps(dc, Win::LOGPIXELSY);
  Win::ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

constexpr Win::BYTE QualityCodes[] = {0, 1, 2, 3, 4, 5, 6}; // DEFAULT_QUALITY .. CLEARTYPE_NATURAL_QUALITY
constexpr Win::BYTE PitchCodes[] = {Win::DEFAULT_PITCH, Win::VARIABLE_PITCH, Win::FIXED_PITCH};

constexpr int PenStyleCodes[] = {Win::PS_SOLID,      Win::PS_DASH, Win::PS_DOT,         Win::PS_DASHDOT,
                                 Win::PS_DASHDOTDOT, Win::PS_NULL, Win::PS_INSIDEFRAME, Win::PS_SOLID,
                                 Win::PS_DOT};

constexpr int HatchCodes[] = {Win::HS_HORIZONTAL, Win::HS_VERTICAL, Win::HS_FDIAGONAL,
                              Win::HS_BDIAGONAL,  Win::HS_CROSS,    Win::HS_DIAGCROSS};

} // namespace

// ---- TGraphicsObject -------------------------------------------------------------
TGraphicsObject::~TGraphicsObject()
{
  Win::DeleteObject(FHandle);
}

Win::HGDIOBJ TGraphicsObject::HandleOf()
{
  if (!FHandle)
    FHandle = CreateHandle();
  return FHandle;
}

void TGraphicsObject::Changed()
{
  Win::HGDIOBJ old = FHandle;
  FHandle = nullptr;
  if (OnChange)
    OnChange(this);
  Win::DeleteObject(old);
}

// ---- TFont ---------------------------------------------------------------------------
TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch())
{
  FHeight = -Win::MulDiv(8, FPixelsPerInch, 72);
}

Win::HFONT TFont::Handle()
{
  return Win::FromGdiObject<Win::HFONT>(HandleOf());
}

template <class T>
void TFont::Set(T& Field, const T& Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Changed();
}

void TFont::SetName(const TFontName& Value)
{
  if (!Value.empty())
    Set(FName, Value);
}

Integer TFont::Size() const
{
  return -Win::MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(Integer Value)
{
  SetHeight(-Win::MulDiv(Value, FPixelsPerInch, 72));
}

void TFont::SetHeight(Integer Value) { Set(FHeight, Value); }
void TFont::SetColor(TColor Value) { Set(FColor, Value); }
void TFont::SetStyle(TFontStyles Value) { Set(FStyle, Value); }
void TFont::SetPitch(TFontPitch Value) { Set(FPitch, Value); }
void TFont::SetCharset(TFontCharset Value) { Set(FCharset, Value); }
void TFont::SetQuality(TFontQuality Value) { Set(FQuality, Value); }
void TFont::SetOrientation(Integer Value) { Set(FOrientation, Value); }

void TFont::SetPixelsPerInch(Integer Value)
{
  if (Value > 0)
    FPixelsPerInch = Value;
}

void TFont::Assign(const TPersistent* Source)
{
  const auto* font = dynamic_cast<const TFont*>(Source);
  if (!font) {
    inherited::Assign(Source);
    return;
  }
  if (font == this)
    return;
  const Integer height = font->FPixelsPerInch == FPixelsPerInch
                           ? font->FHeight
                           : -Win::MulDiv(font->Size(), FPixelsPerInch, 72);
  FName = font->FName;
  FHeight = height;
  FColor = font->FColor;
  FStyle = font->FStyle;
  FPitch = font->FPitch;
  FCharset = font->FCharset;
  FQuality = font->FQuality;
  FOrientation = font->FOrientation;
  Changed();
}

void TFont::SetHandle(Win::HFONT Value)
{
  Win::LOGFONT lf;
  if (!Value || Win::GetObject(Value, sizeof lf, &lf) == 0)
    return;
  FName = String(lf.lfFaceName, strnlen(lf.lfFaceName, Win::LF_FACESIZE));
  FHeight = lf.lfHeight;
  FStyle = TFontStyles();
  if (lf.lfWeight >= Win::FW_BOLD)
    FStyle.Include(fsBold);
  if (lf.lfItalic)
    FStyle.Include(fsItalic);
  if (lf.lfUnderline)
    FStyle.Include(fsUnderline);
  if (lf.lfStrikeOut)
    FStyle.Include(fsStrikeOut);
  FCharset = lf.lfCharSet;
  FQuality = TFontQuality(std::min<Win::BYTE>(lf.lfQuality, Win::BYTE(fqClearTypeNatural)));
  const Win::BYTE pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == Win::FIXED_PITCH ? fpFixed : pitch == Win::VARIABLE_PITCH ? fpVariable : fpDefault;
  FOrientation = lf.lfOrientation;
  Changed();
}

Win::HGDIOBJ TFont::CreateHandle()
{
  Win::LOGFONT lf;
  lf.lfHeight = FHeight;
  lf.lfEscapement = FOrientation;
  lf.lfOrientation = FOrientation;
  lf.lfWeight = FStyle.Contains(fsBold) ? Win::FW_BOLD : Win::FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic);
  lf.lfUnderline = FStyle.Contains(fsUnderline);
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  lf.lfCharSet = FCharset;
  lf.lfQuality = QualityCodes[size_t(FQuality)];
  lf.lfPitchAndFamily = PitchCodes[size_t(FPitch)];
  std::memcpy(lf.lfFaceName, FName.data(), std::min<size_t>(FName.size(), Win::LF_FACESIZE - 1));
  return Win::ToGdiObject(Win::CreateFontIndirect(lf));
}

// ---- TPen ----------------------------------------------------------------------------
Win::HPEN TPen::Handle()
{
  return Win::FromGdiObject<Win::HPEN>(HandleOf());
}

void TPen::SetColor(TColor Value)
{
  if (FColor != Value) {
    FColor = Value;
    Changed();
  }
}

void TPen::SetWidth(Integer Value)
{
  if (Value >= 0 && FWidth != Value) {
    FWidth = Value;
    Changed();
  }
}

void TPen::SetStyle(TPenStyle Value)
{
  if (FStyle != Value) {
    FStyle = Value;
    Changed();
  }
}

void TPen::SetMode(TPenMode Value)
{
  if (FMode != Value) {
    FMode = Value;
    Changed();
  }
}

void TPen::Assign(const TPersistent* Source)
{
  const auto* pen = dynamic_cast<const TPen*>(Source);
  if (!pen) {
    inherited::Assign(Source);
    return;
  }
  if (pen == this)
    return;
  FColor = pen->FColor;
  FWidth = pen->FWidth;
  FStyle = pen->FStyle;
  FMode = pen->FMode;
  Changed();
}

Win::HGDIOBJ TPen::CreateHandle()
{
  return Win::ToGdiObject(Win::CreatePen(PenStyleCodes[size_t(FStyle)], FWidth, Win::COLORREF(ColorToRGB(FColor))));
}

// ---- TBrush --------------------------------------------------------------------------
TBrush::TBrush() = default;
TBrush::~TBrush() = default;

Win::HBRUSH TBrush::Handle()
{
  return Win::FromGdiObject<Win::HBRUSH>(HandleOf());
}

void TBrush::SetColor(TColor Value)
{
  if (FColor == Value && !(Value == clNone && FStyle != bsClear))
    return;
  FColor = Value;
  if (Value == clNone)
    FStyle = bsClear;
  else if (FStyle == bsClear)
    FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
  if (FStyle != Value) {
    FStyle = Value;
    Changed();
  }
}

void TBrush::SetBitmap(TBitmap* Value)
{
  if (!Value && !FBitmap)
    return;
  if (Value) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(Value);
    FBitmap = std::move(copy);
  } else {
    FBitmap.reset();
  }
  Changed();
}

void TBrush::Assign(const TPersistent* Source)
{
  const auto* brush = dynamic_cast<const TBrush*>(Source);
  if (!brush) {
    inherited::Assign(Source);
    return;
  }
  if (brush == this)
    return;
  FColor = brush->FColor;
  FStyle = brush->FStyle;
  if (brush->FBitmap) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(brush->FBitmap.get());
    FBitmap = std::move(copy);
  } else {
    FBitmap.reset();
  }
  Changed();
}

Win::HGDIOBJ TBrush::CreateHandle()
{
  if (FBitmap && !FBitmap->Empty())
    return Win::ToGdiObject(Win::CreatePatternBrush(FBitmap->Handle()));
  const Win::COLORREF color = Win::COLORREF(ColorToRGB(FColor));
  switch (FStyle) {
  case bsSolid:
    return Win::ToGdiObject(Win::CreateSolidBrush(color));
  case bsClear:
    return Win::GetStockObject(Win::NULL_BRUSH);
  default:
    return Win::ToGdiObject(Win::CreateHatchBrush(HatchCodes[size_t(FStyle) - size_t(bsHorizontal)], color));
  }
}

} // namespace Vcl

#include "Vcl.Graphics.hpp"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

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

// Solid brushes shared by every TBrush of the same colour. Painting sets a
// canvas's brush colour several times per control; making and deleting a GDI
// brush each time cost more than the fill. An idle handle (no TBrush holds
// it) stays for the next brush of its colour until too many have gathered.
class TSharedBrushes {
public:
  Win::HGDIOBJ Acquire(Win::COLORREF Color)
  {
    std::lock_guard<std::mutex> guard(FLock);
    auto it = FByColor.find(Color);
    // A host may have deleted a handle it was given; that one is forgotten.
    if (it != FByColor.end() && !IsBrush(it->second.Handle))
      Forget(it);
    if (it == FByColor.end() && !(it = Create(Color), it != FByColor.end()))
      return nullptr;
    if (it->second.Users++ == 0)
      --FIdle;
    return it->second.Handle;
  }

  // False when the handle is not one of ours.
  bool Release(Win::HGDIOBJ Handle)
  {
    std::lock_guard<std::mutex> guard(FLock);
    auto color = FColorOf.find(Handle);
    if (color == FColorOf.end())
      return false;
    if (--FByColor.at(color->second).Users == 0 && ++FIdle > MaxIdle)
      DeleteIdle();
    return true;
  }

private:
  static constexpr int MaxIdle = 64;
  struct TEntry {
    Win::HGDIOBJ Handle;
    int Users;
  };
  using TIterator = std::map<Win::COLORREF, TEntry>::iterator;

  static bool IsBrush(Win::HGDIOBJ Handle) { return Win::GetObjectType(Handle) == Win::OBJ_BRUSH; }

  TIterator Create(Win::COLORREF Color)
  {
    Win::HGDIOBJ handle = Win::ToGdiObject(Win::CreateSolidBrush(Color));
    if (!handle)
      return FByColor.end();
    FColorOf.emplace(handle, Color);
    ++FIdle;
    return FByColor.emplace(Color, TEntry{handle, 0}).first;
  }

  void Forget(TIterator& It)
  {
    if (It->second.Users == 0)
      --FIdle;
    FColorOf.erase(It->second.Handle);
    FByColor.erase(It);
    It = FByColor.end();
  }

  // A handle still selected into some DC cannot be deleted yet; it stays.
  void DeleteIdle()
  {
    for (auto it = FByColor.begin(); it != FByColor.end();) {
      auto next = std::next(it);
      if (it->second.Users == 0 && (!IsBrush(it->second.Handle) || Win::DeleteObject(it->second.Handle)))
        Forget(it);
      it = next;
    }
  }

  std::mutex FLock;
  std::map<Win::COLORREF, TEntry> FByColor;
  std::map<Win::HGDIOBJ, Win::COLORREF> FColorOf;
  int FIdle = 0; // entries with no users
};

// Never destroyed: brushes may be released by statics torn down after it.
TSharedBrushes& SharedBrushes()
{
  static auto* brushes = new TSharedBrushes;
  return *brushes;
}

void DropHandle(Win::HGDIOBJ Handle)
{
  if (Handle && !SharedBrushes().Release(Handle))
    Win::DeleteObject(Handle);
}

} // namespace

// ---- TGraphicsObject -------------------------------------------------------------
TGraphicsObject::~TGraphicsObject()
{
  DropHandle(FHandle);
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
  DropHandle(old);
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
    return SharedBrushes().Acquire(color);
  case bsClear:
    return Win::GetStockObject(Win::NULL_BRUSH);
  default:
    return Win::ToGdiObject(Win::CreateHatchBrush(HatchCodes[size_t(FStyle) - size_t(bsHorizontal)], color));
  }
}

} // namespace Vcl

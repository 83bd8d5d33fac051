// The anti-aliased graphics object layer. Every object is a reference-counted
// interface (std::shared_ptr) that owns one Cairo resource; objects are made
// by the TGP... factories. A call that fails raises EGdiplusException.
#pragma once

#include <System.SysUtils.hpp>
#include <Win.Gdi.hpp>

#include <cstdint>
#include <memory>

namespace GdiPlus {

using Vcl::String;

enum class TGPStatus : int {
  Ok = 0, GenericError = 1, InvalidParameter = 2, OutOfMemory = 3, ObjectBusy = 4,
  InsufficientBuffer = 5, NotImplemented = 6, Win32Error = 7, WrongState = 8, Aborted = 9,
  FileNotFound = 10, ValueOverflow = 11, AccessDenied = 12, UnknownImageFormat = 13,
  FontFamilyNotFound = 14, FontStyleNotFound = 15, NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17, GdiplusNotInitialized = 18, PropertyNotFound = 19,
  PropertyNotSupported = 20, ProfileNotFound = 21
};
using enum TGPStatus;

// "(GDI+ Error) <status text>", or "Unknown error: <number>".
class EGdiplusException : public Vcl::Exception {
public:
  explicit EGdiplusException(TGPStatus AStatus);
  TGPStatus Status() const { return FStatus; }
  String ClassName() const override { return "EGdiplusException"; }

private:
  TGPStatus FStatus;
};

// Raises EGdiplusException for anything but Ok.
void GdipCheck(TGPStatus Status);

struct TGPPointF {
  float X = 0;
  float Y = 0;
};

struct TGPRectF {
  float X = 0;
  float Y = 0;
  float Width = 0;
  float Height = 0;
  constexpr TGPRectF() = default;
  constexpr TGPRectF(float AX, float AY, float AWidth, float AHeight)
    : X(AX), Y(AY), Width(AWidth), Height(AHeight) {}
  constexpr bool operator==(const TGPRectF&) const = default;
};

// A 32-bit ARGB colour (alpha in the top byte, as GDI+ stores it).
class TGPColor {
public:
  constexpr TGPColor() = default;
  constexpr explicit TGPColor(std::uint32_t AArgb) : FArgb(AArgb) {}
  static constexpr TGPColor Create(std::uint8_t A, std::uint8_t R, std::uint8_t G, std::uint8_t B)
  {
    return TGPColor((std::uint32_t(A) << 24) | (std::uint32_t(R) << 16) | (std::uint32_t(G) << 8) | B);
  }
  // A framework colour value (0x00BBGGRR, or a system colour with the high
  // byte 0xFF), fully opaque; system colours are resolved to the scheme's.
  static TGPColor CreateFromColorRef(std::uint32_t ColorRef);

  constexpr std::uint32_t Argb() const { return FArgb; }
  constexpr std::uint8_t A() const { return std::uint8_t(FArgb >> 24); }
  constexpr std::uint8_t R() const { return std::uint8_t(FArgb >> 16); }
  constexpr std::uint8_t G() const { return std::uint8_t(FArgb >> 8); }
  constexpr std::uint8_t B() const { return std::uint8_t(FArgb); }
  constexpr bool operator==(const TGPColor&) const = default;

private:
  std::uint32_t FArgb = 0;
};

enum class TGPFontStyleFlag { FontStyleBold, FontStyleItalic, FontStyleUnderline, FontStyleStrikeout };
using enum TGPFontStyleFlag;
// Bits() gives the GDI+ flags: bold 1, italic 2, underline 4, strike-out 8.
using TGPFontStyle = Vcl::TSet<TGPFontStyleFlag>;

enum class TGPUnit { UnitWorld, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };
using enum TGPUnit;

enum class TGPStringAlignment { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
using enum TGPStringAlignment;

constexpr int StringFormatFlagsNoWrap = 0x1000;
constexpr int StringFormatFlagsNoClip = 0x4000;

class IGPBrush {
public:
  virtual ~IGPBrush() = default;
};

class IGPSolidBrush : public IGPBrush {
public:
  virtual TGPColor Color() const = 0;
  virtual void SetColor(TGPColor Value) = 0;
};

class IGPFont {
public:
  virtual ~IGPFont() = default;
  virtual String FamilyName() const = 0; // as asked for, not as resolved
  virtual float Size() const = 0;
  virtual TGPFontStyle Style() const = 0;
  virtual TGPUnit Unit() const = 0;
};

class IGPStringFormat {
public:
  virtual ~IGPStringFormat() = default;
  virtual TGPStringAlignment Alignment() const = 0;
  virtual void SetAlignment(TGPStringAlignment Value) = 0;
  virtual TGPStringAlignment LineAlignment() const = 0;
  virtual void SetLineAlignment(TGPStringAlignment Value) = 0;
  virtual int FormatFlags() const = 0;
  virtual void SetFormatFlags(int Value) = 0;
};

class IGPImage {
public:
  virtual ~IGPImage() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

// 32-bit ARGB pixels, not premultiplied at this interface.
class IGPBitmap : public IGPImage {
public:
  virtual TGPColor GetPixel(int X, int Y) const = 0;
  virtual void SetPixel(int X, int Y, TGPColor Color) = 0;
};

class IGPGraphics {
public:
  virtual ~IGPGraphics() = default;
  virtual void Clear(TGPColor Color) = 0;
  virtual void FillRectangle(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) = 0;
  // Draws the UTF-8 text in the layout rectangle: lines break at line feeds
  // and, unless the format says no wrap, between words that do not fit; the
  // text is clipped to the rectangle unless the format says no clip. A null
  // format is the default one (near, near, wrapping, clipped).
  virtual void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font,
                          const TGPRectF& LayoutRect, const std::shared_ptr<IGPStringFormat>& Format,
                          const std::shared_ptr<IGPBrush>& Brush) = 0;
  // Resolution that UnitPoint and UnitInch sizes are converted with.
  virtual float DpiY() const = 0;
};

struct TGPSolidBrush {
  static std::shared_ptr<IGPSolidBrush> Create(TGPColor Color);
};

struct TGPFont {
  // The face is the one GDI text resolves the family and style to, so both
  // layers draw with the same font file; EmSize must be positive and finite.
  static std::shared_ptr<IGPFont> Create(const String& FamilyName, float EmSize, TGPFontStyle Style = {},
                                         TGPUnit Unit = UnitPoint);
};

struct TGPStringFormat {
  static std::shared_ptr<IGPStringFormat> Create(int FormatFlags = 0);
};

struct TGPBitmap {
  // A transparent ARGB bitmap.
  static std::shared_ptr<IGPBitmap> Create(int Width, int Height);
};

struct TGPGraphics {
  // Draws into the bitmap; the graphics keeps it alive.
  static std::shared_ptr<IGPGraphics> Create(const std::shared_ptr<IGPImage>& Image);
  // Draws on the bitmap selected into a memory or window DC, through the DC's
  // window origin and clipping as they are now. The DC and its bitmap must
  // outlive the graphics; a DC without pixels (the screen's) is refused.
  static std::shared_ptr<IGPGraphics> Create(Win::HDC DC);
};

} // namespace GdiPlus

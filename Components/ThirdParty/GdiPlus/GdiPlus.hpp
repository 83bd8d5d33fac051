// The anti-aliased graphics object layer. Every object is a reference-counted
// interface (std::shared_ptr) that owns one Cairo resource; objects are made
// by the TGP... factories. A call that fails raises EGdiplusException.
#pragma once

#include <System.SysUtils.hpp>
#include <Win.Gdi.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Vcl {
class TBitmap;
class TPngImage;
} // namespace Vcl

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
  constexpr bool operator==(const TGPPointF&) const = default;
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

// Quality settings carry the GDI+ values (SmoothingModeAntiAlias = 4 ...).
enum class TGPSmoothingMode { SmoothingModeInvalid = -1, SmoothingModeDefault = 0, SmoothingModeHighSpeed = 1,
                              SmoothingModeHighQuality = 2, SmoothingModeNone = 3, SmoothingModeAntiAlias = 4,
                              SmoothingModeAntiAlias8x8 = 5 };
using enum TGPSmoothingMode;
enum class TGPPixelOffsetMode { PixelOffsetModeInvalid = -1, PixelOffsetModeDefault = 0,
                                PixelOffsetModeHighSpeed = 1, PixelOffsetModeHighQuality = 2,
                                PixelOffsetModeNone = 3, PixelOffsetModeHalf = 4 };
using enum TGPPixelOffsetMode;
enum class TGPCompositingQuality { CompositingQualityInvalid = -1, CompositingQualityDefault = 0,
                                   CompositingQualityHighSpeed = 1, CompositingQualityHighQuality = 2,
                                   CompositingQualityGammaCorrected = 3, CompositingQualityAssumeLinear = 4 };
using enum TGPCompositingQuality;
enum class TGPCompositingMode { CompositingModeSourceOver = 0, CompositingModeSourceCopy = 1 };
using enum TGPCompositingMode;
enum class TGPTextRenderingHint { TextRenderingHintSystemDefault = 0, TextRenderingHintSingleBitPerPixelGridFit = 1,
                                  TextRenderingHintSingleBitPerPixel = 2, TextRenderingHintAntiAliasGridFit = 3,
                                  TextRenderingHintAntiAlias = 4, TextRenderingHintClearTypeGridFit = 5 };
using enum TGPTextRenderingHint;
enum class TGPInterpolationMode { InterpolationModeInvalid = -1, InterpolationModeDefault = 0,
                                  InterpolationModeLowQuality = 1, InterpolationModeHighQuality = 2,
                                  InterpolationModeBilinear = 3, InterpolationModeBicubic = 4,
                                  InterpolationModeNearestNeighbor = 5, InterpolationModeHighQualityBilinear = 6,
                                  InterpolationModeHighQualityBicubic = 7 };
using enum TGPInterpolationMode;
enum class TGPFillMode { FillModeAlternate = 0, FillModeWinding = 1 };
using enum TGPFillMode;
enum class TGPCombineMode { CombineModeReplace = 0, CombineModeIntersect = 1, CombineModeUnion = 2,
                            CombineModeXor = 3, CombineModeExclude = 4, CombineModeComplement = 5 };
using enum TGPCombineMode;
enum class TGPMatrixOrder { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };
using enum TGPMatrixOrder;
enum class TGPLinearGradientMode { LinearGradientModeHorizontal = 0, LinearGradientModeVertical = 1,
                                   LinearGradientModeForwardDiagonal = 2, LinearGradientModeBackwardDiagonal = 3 };
using enum TGPLinearGradientMode;

// Pixel formats and lock modes of bitmaps (the GDI+ values).
using TGPPixelFormat = int;
constexpr TGPPixelFormat PixelFormat24bppRGB = 0x00021808;
constexpr TGPPixelFormat PixelFormat32bppRGB = 0x00022009;
constexpr TGPPixelFormat PixelFormat32bppARGB = 0x0026200A;
constexpr TGPPixelFormat PixelFormat32bppPARGB = 0x000E200B;
constexpr unsigned ImageLockModeRead = 1, ImageLockModeWrite = 2;

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

constexpr int StringFormatFlagsMeasureTrailingSpaces = 0x0800;
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

// Colours run from the start to the end line of the gradient and stay the
// end colours beyond them.
class IGPLinearGradientBrush : public IGPBrush {
public:
  virtual TGPColor StartColor() const = 0;
  virtual TGPColor EndColor() const = 0;
  virtual void SetLinearColors(TGPColor Color1, TGPColor Color2) = 0;
  // The rectangle that the gradient spans.
  virtual TGPRectF Rectangle() const = 0;
  // Where the start and end colours lie, in world coordinates.
  virtual TGPPointF StartPoint() const = 0;
  virtual TGPPointF EndPoint() const = 0;
};

// An affine transform: x' = M11 x + M21 y + DX, y' = M12 x + M22 y + DY.
class IGPMatrix {
public:
  virtual ~IGPMatrix() = default;
  // M11, M12, M21, M22, DX, DY.
  virtual std::array<float, 6> Elements() const = 0;
  virtual void SetElements(float M11, float M12, float M21, float M22, float DX, float DY) = 0;
  virtual void Reset() = 0;
  virtual void Translate(float OffsetX, float OffsetY, TGPMatrixOrder Order = MatrixOrderPrepend) = 0;
  virtual void Scale(float ScaleX, float ScaleY, TGPMatrixOrder Order = MatrixOrderPrepend) = 0;
  // Degrees, clockwise on screen.
  virtual void Rotate(float Angle, TGPMatrixOrder Order = MatrixOrderPrepend) = 0;
  virtual void Multiply(const std::shared_ptr<IGPMatrix>& Matrix, TGPMatrixOrder Order = MatrixOrderPrepend) = 0;
  // InvalidParameter when the matrix cannot be inverted.
  virtual void Invert() = 0;
  virtual bool IsIdentity() const = 0;
  virtual bool IsInvertible() const = 0;
  virtual TGPPointF TransformPoint(TGPPointF Point) const = 0;
  virtual std::shared_ptr<IGPMatrix> Clone() const = 0;
};

// Figures of lines and arcs. Lines and arcs added one after another join into
// one open figure; rectangles, ellipses and polygons are closed figures of
// their own. Filling closes every figure.
class IGPGraphicsPath {
public:
  virtual ~IGPGraphicsPath() = default;
  virtual TGPFillMode FillMode() const = 0;
  virtual void SetFillMode(TGPFillMode Value) = 0;
  // The arc of the ellipse in the rectangle from StartAngle sweeping
  // SweepAngle (degrees, clockwise on screen). A rectangle of zero width or
  // height gives the arc's start point only; negative sizes are refused.
  virtual void AddArc(const TGPRectF& Rect, float StartAngle, float SweepAngle) = 0;
  virtual void AddLine(float X1, float Y1, float X2, float Y2) = 0;
  virtual void AddLines(const std::vector<TGPPointF>& Points) = 0;
  virtual void AddBezier(TGPPointF P1, TGPPointF P2, TGPPointF P3, TGPPointF P4) = 0;
  virtual void AddRectangle(const TGPRectF& Rect) = 0;
  virtual void AddEllipse(const TGPRectF& Rect) = 0;
  virtual void AddPolygon(const std::vector<TGPPointF>& Points) = 0;
  virtual void StartFigure() = 0;
  virtual void CloseFigure() = 0;
  virtual void Reset() = 0;
  virtual void Transform(const std::shared_ptr<IGPMatrix>& Matrix) = 0;
  virtual int PointCount() const = 0;
  // The box of the points (curve control points included).
  virtual TGPRectF GetBounds() const = 0;
  // Whether the point lies inside the filled path.
  virtual bool IsVisible(float X, float Y) const = 0;
  virtual std::shared_ptr<IGPGraphicsPath> Clone() const = 0;
};

// An area built from rectangles and paths by combining.
class IGPRegion {
public:
  virtual ~IGPRegion() = default;
  virtual void MakeInfinite() = 0;
  virtual void MakeEmpty() = 0;
  virtual void Combine(const TGPRectF& Rect, TGPCombineMode Mode) = 0;
  virtual void Combine(const std::shared_ptr<IGPGraphicsPath>& Path, TGPCombineMode Mode) = 0;
  virtual void Combine(const std::shared_ptr<IGPRegion>& Region, TGPCombineMode Mode) = 0;
  void Intersect(const TGPRectF& Rect) { Combine(Rect, CombineModeIntersect); }
  void Union(const TGPRectF& Rect) { Combine(Rect, CombineModeUnion); }
  void Exclude(const TGPRectF& Rect) { Combine(Rect, CombineModeExclude); }
  void Xor(const TGPRectF& Rect) { Combine(Rect, CombineModeXor); }
  virtual void Translate(float DX, float DY) = 0;
  virtual void Transform(const std::shared_ptr<IGPMatrix>& Matrix) = 0;
  virtual bool IsInfinite() const = 0;
  virtual bool IsVisible(float X, float Y) const = 0;
  // A box that holds the region (the infinite region's is huge).
  virtual TGPRectF GetBounds() const = 0;
  virtual std::shared_ptr<IGPRegion> Clone() const = 0;
};

class IGPPen {
public:
  virtual ~IGPPen() = default;
  // The solid colour; a pen made from a gradient brush answers its start colour.
  virtual TGPColor Color() const = 0;
  virtual void SetColor(TGPColor Value) = 0;
  // 0 draws one device pixel wide, as GDI+ does.
  virtual float Width() const = 0;
  virtual void SetWidth(float Value) = 0;
  virtual std::shared_ptr<IGPBrush> Brush() const = 0;
  virtual void SetBrush(const std::shared_ptr<IGPBrush>& Value) = 0;
};

class IGPFontFamily {
public:
  virtual ~IGPFontFamily() = default;
  virtual String FamilyName() const = 0;
};

class IGPFont {
public:
  virtual ~IGPFont() = default;
  virtual String FamilyName() const = 0; // as asked for, not as resolved
  virtual float Size() const = 0;
  virtual TGPFontStyle Style() const = 0;
  virtual TGPUnit Unit() const = 0;
  // Line spacing in pixels at the resolution.
  virtual float GetHeight(float Dpi) const = 0;
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

// A colour matrix acts on rows (R, G, B, A, 1) of straight colour in 0..1:
// out = in x M.
using TGPColorMatrix = std::array<std::array<float, 5>, 5>;
constexpr TGPColorMatrix IdentityColorMatrix()
{
  TGPColorMatrix m{};
  for (std::size_t i = 0; i < 5; ++i)
    m[i][i] = 1;
  return m;
}

class IGPImageAttributes {
public:
  virtual ~IGPImageAttributes() = default;
  virtual void SetColorMatrix(const TGPColorMatrix& Matrix) = 0;
  virtual void ClearColorMatrix() = 0;
  virtual bool HasColorMatrix() const = 0;
  virtual TGPColorMatrix ColorMatrix() const = 0;
};

class IGPImage {
public:
  virtual ~IGPImage() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual TGPPixelFormat PixelFormat() const = 0;
};

// The rows of a locked area: 32-bit words 0xAARRGGBB in the format asked
// for (straight ARGB, premultiplied PARGB, or RGB with alpha 255).
struct TGPBitmapData {
  int Width = 0;
  int Height = 0;
  int Stride = 0;
  TGPPixelFormat PixelFormat = PixelFormat32bppARGB;
  void* Scan0 = nullptr;
};

// 32-bit ARGB pixels, not premultiplied at this interface.
class IGPBitmap : public IGPImage {
public:
  virtual TGPColor GetPixel(int X, int Y) const = 0;
  virtual void SetPixel(int X, int Y, TGPColor Color) = 0;
  // One area at a time; written rows reach the bitmap at UnlockBits when the
  // lock allowed writing.
  virtual TGPBitmapData LockBits(const TGPRectF& Rect, unsigned Flags, TGPPixelFormat Format) = 0;
  virtual void UnlockBits(const TGPBitmapData& Data) = 0;
  // A new 32-bit GDI bitmap of the pixels over the background colour
  // (premultiplied, as GDI surfaces are); the caller owns it.
  virtual Win::HBITMAP GetHBITMAP(TGPColor Background) const = 0;
};

class IGPGraphics {
public:
  virtual ~IGPGraphics() = default;

  // ---- settings ----------------------------------------------------------------
  virtual TGPSmoothingMode SmoothingMode() const = 0;
  virtual void SetSmoothingMode(TGPSmoothingMode Value) = 0;
  virtual TGPPixelOffsetMode PixelOffsetMode() const = 0;
  virtual void SetPixelOffsetMode(TGPPixelOffsetMode Value) = 0;
  virtual TGPCompositingQuality CompositingQuality() const = 0;
  virtual void SetCompositingQuality(TGPCompositingQuality Value) = 0;
  virtual TGPCompositingMode CompositingMode() const = 0;
  virtual void SetCompositingMode(TGPCompositingMode Value) = 0;
  virtual TGPTextRenderingHint TextRenderingHint() const = 0;
  virtual void SetTextRenderingHint(TGPTextRenderingHint Value) = 0;
  virtual TGPInterpolationMode InterpolationMode() const = 0;
  virtual void SetInterpolationMode(TGPInterpolationMode Value) = 0;
  // Resolution that UnitPoint and UnitInch sizes are converted with.
  virtual float DpiX() const = 0;
  virtual float DpiY() const = 0;

  // ---- transform (world to page) ---------------------------------------------------
  virtual std::shared_ptr<IGPMatrix> Transform() const = 0;
  virtual void SetTransform(const std::shared_ptr<IGPMatrix>& Matrix) = 0;
  virtual void ResetTransform() = 0;
  virtual void TranslateTransform(float DX, float DY, TGPMatrixOrder Order = MatrixOrderPrepend) = 0;
  virtual void ScaleTransform(float SX, float SY, TGPMatrixOrder Order = MatrixOrderPrepend) = 0;
  virtual void RotateTransform(float Angle, TGPMatrixOrder Order = MatrixOrderPrepend) = 0;
  virtual void MultiplyTransform(const std::shared_ptr<IGPMatrix>& Matrix,
                                 TGPMatrixOrder Order = MatrixOrderPrepend) = 0;

  // ---- clipping (in world coordinates at the time of the call) --------------------------
  virtual void SetClip(const TGPRectF& Rect, TGPCombineMode Mode = CombineModeReplace) = 0;
  virtual void SetClip(const std::shared_ptr<IGPGraphicsPath>& Path, TGPCombineMode Mode = CombineModeReplace) = 0;
  virtual void SetClip(const std::shared_ptr<IGPRegion>& Region, TGPCombineMode Mode = CombineModeReplace) = 0;
  void IntersectClip(const TGPRectF& Rect) { SetClip(Rect, CombineModeIntersect); }
  void ExcludeClip(const TGPRectF& Rect) { SetClip(Rect, CombineModeExclude); }
  virtual void ResetClip() = 0;
  // The clip in world coordinates (infinite when there is none).
  virtual std::shared_ptr<IGPRegion> Clip() const = 0;
  virtual bool IsClipEmpty() const = 0;

  // ---- drawing -------------------------------------------------------------------------
  virtual void Clear(TGPColor Color) = 0;
  virtual void FillRectangle(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) = 0;
  void FillRectangle(const std::shared_ptr<IGPBrush>& Brush, float X, float Y, float Width, float Height)
  {
    FillRectangle(Brush, TGPRectF(X, Y, Width, Height));
  }
  virtual void DrawRectangle(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect) = 0;
  virtual void FillEllipse(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) = 0;
  virtual void DrawEllipse(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect) = 0;
  virtual void DrawArc(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect, float StartAngle,
                       float SweepAngle) = 0;
  virtual void DrawLine(const std::shared_ptr<IGPPen>& Pen, float X1, float Y1, float X2, float Y2) = 0;
  virtual void DrawLines(const std::shared_ptr<IGPPen>& Pen, const std::vector<TGPPointF>& Points) = 0;
  virtual void FillPolygon(const std::shared_ptr<IGPBrush>& Brush, const std::vector<TGPPointF>& Points,
                           TGPFillMode FillMode = FillModeAlternate) = 0;
  virtual void DrawPolygon(const std::shared_ptr<IGPPen>& Pen, const std::vector<TGPPointF>& Points) = 0;
  virtual void FillPath(const std::shared_ptr<IGPBrush>& Brush, const std::shared_ptr<IGPGraphicsPath>& Path) = 0;
  virtual void DrawPath(const std::shared_ptr<IGPPen>& Pen, const std::shared_ptr<IGPGraphicsPath>& Path) = 0;
  virtual void FillRegion(const std::shared_ptr<IGPBrush>& Brush, const std::shared_ptr<IGPRegion>& Region) = 0;

  // The whole image at its size with its top-left corner at (X, Y).
  virtual void DrawImage(const std::shared_ptr<IGPImage>& Image, float X, float Y) = 0;
  virtual void DrawImage(const std::shared_ptr<IGPImage>& Image, const TGPRectF& DestRect) = 0;
  // The source rectangle (pixels) stretched into the destination, through
  // the attributes' colour matrix when given.
  virtual void DrawImage(const std::shared_ptr<IGPImage>& Image, const TGPRectF& DestRect, float SrcX, float SrcY,
                         float SrcWidth, float SrcHeight, TGPUnit SrcUnit = UnitPixel,
                         const std::shared_ptr<IGPImageAttributes>& Attributes = nullptr) = 0;

  // Draws the UTF-8 text in the layout rectangle: lines break at line feeds
  // and, unless the format says no wrap, between words that do not fit; the
  // text is clipped to the rectangle unless the format says no clip. A null
  // format is the default one (near, near, wrapping, clipped). A rectangle
  // of zero width and height lays the text out from its corner, unwrapped.
  virtual void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font,
                          const TGPRectF& LayoutRect, const std::shared_ptr<IGPStringFormat>& Format,
                          const std::shared_ptr<IGPBrush>& Brush) = 0;
  virtual void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font, TGPPointF Origin,
                          const std::shared_ptr<IGPStringFormat>& Format,
                          const std::shared_ptr<IGPBrush>& Brush) = 0;
  // The box the text takes when DrawString lays it out the same way.
  virtual TGPRectF MeasureString(const String& Text, const std::shared_ptr<IGPFont>& Font,
                                 const TGPRectF& LayoutRect,
                                 const std::shared_ptr<IGPStringFormat>& Format = nullptr) = 0;
  virtual TGPRectF MeasureString(const String& Text, const std::shared_ptr<IGPFont>& Font, TGPPointF Origin,
                                 const std::shared_ptr<IGPStringFormat>& Format = nullptr) = 0;
};

struct TGPSolidBrush {
  static std::shared_ptr<IGPSolidBrush> Create(TGPColor Color);
};

struct TGPLinearGradientBrush {
  // From the first point (Color1) to the second (Color2).
  static std::shared_ptr<IGPLinearGradientBrush> Create(TGPPointF Point1, TGPPointF Point2, TGPColor Color1,
                                                        TGPColor Color2);
  // Across the rectangle: horizontal left to right, vertical top to bottom,
  // or along a diagonal.
  static std::shared_ptr<IGPLinearGradientBrush> Create(const TGPRectF& Rect, TGPColor Color1, TGPColor Color2,
                                                        TGPLinearGradientMode Mode);
  // Along the angle (degrees, clockwise from the x axis), spanning the
  // rectangle so that its corners take the end colours.
  static std::shared_ptr<IGPLinearGradientBrush> Create(const TGPRectF& Rect, TGPColor Color1, TGPColor Color2,
                                                        float Angle, bool IsAngleScalable = false);
};

struct TGPPen {
  static std::shared_ptr<IGPPen> Create(TGPColor Color, float Width = 1);
  static std::shared_ptr<IGPPen> Create(const std::shared_ptr<IGPBrush>& Brush, float Width = 1);
};

struct TGPMatrix {
  static std::shared_ptr<IGPMatrix> Create();
  static std::shared_ptr<IGPMatrix> Create(float M11, float M12, float M21, float M22, float DX, float DY);
};

struct TGPGraphicsPath {
  static std::shared_ptr<IGPGraphicsPath> Create(TGPFillMode FillMode = FillModeAlternate);
};

struct TGPRegion {
  // The infinite region.
  static std::shared_ptr<IGPRegion> Create();
  static std::shared_ptr<IGPRegion> Create(const TGPRectF& Rect);
  static std::shared_ptr<IGPRegion> Create(const std::shared_ptr<IGPGraphicsPath>& Path);
};

struct TGPFontFamily {
  // FontFamilyNotFound when fontconfig knows no face of that family.
  static std::shared_ptr<IGPFontFamily> Create(const String& Name);
};

struct TGPFont {
  // The face is the one GDI text resolves the family and style to, so both
  // layers draw with the same font file; EmSize must be positive and finite.
  static std::shared_ptr<IGPFont> Create(const String& FamilyName, float EmSize, TGPFontStyle Style = {},
                                         TGPUnit Unit = UnitPoint);
  static std::shared_ptr<IGPFont> Create(const std::shared_ptr<IGPFontFamily>& Family, float EmSize,
                                         TGPFontStyle Style = {}, TGPUnit Unit = UnitPoint);
};

struct TGPStringFormat {
  static std::shared_ptr<IGPStringFormat> Create(int FormatFlags = 0);
};

struct TGPImageAttributes {
  static std::shared_ptr<IGPImageAttributes> Create();
};

struct TGPBitmap {
  // A transparent ARGB bitmap.
  static std::shared_ptr<IGPBitmap> Create(int Width, int Height);
  // A copy of a GDI bitmap's pixels. Without alpha the pixels are opaque
  // (PixelFormat32bppRGB); with it they are taken as premultiplied, the
  // form GDI surfaces hold.
  static std::shared_ptr<IGPBitmap> FromHBITMAP(Win::HBITMAP Bitmap, bool WithAlpha = false);
  // A copy of straight 32-bit rows (0xAARRGGBB words, top row first).
  static std::shared_ptr<IGPBitmap> FromArgb(int Width, int Height, const std::uint32_t* Pixels, int Stride);
  // The framework's bitmap, opaque or with its alpha (straight or
  // premultiplied as its AlphaFormat says).
  static std::shared_ptr<IGPBitmap> FromBitmap(Vcl::TBitmap* Bitmap, bool WithAlpha);
  // The PNG's colours with its transparency (alpha plane, tRNS colour or
  // palette alphas).
  static std::shared_ptr<IGPBitmap> FromPngImage(const Vcl::TPngImage* Png);
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

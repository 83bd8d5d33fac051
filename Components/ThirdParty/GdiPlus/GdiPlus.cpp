#include "GdiPlus.hpp"
#include "GdiPlus.Internal.hpp"

#include <Win.Fonts.hpp>
#include <Win.Gdi.Internal.hpp>

#include <cairo-ft.h>
#include <cairo.h>
#include <unicode/utf8.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string_view>
#include <tuple>
#include <vector>

namespace GdiPlus {

using namespace Internal;

namespace {

const char* StatusText(TGPStatus Status)
{
  switch (Status) {
  case Ok: return "Ok";
  case GenericError: return "Generic Error";
  case InvalidParameter: return "Invalid Parameter";
  case OutOfMemory: return "Out Of Memory";
  case ObjectBusy: return "Object Busy";
  case InsufficientBuffer: return "Insufficient Buffer";
  case NotImplemented: return "Not Implemented";
  case Win32Error: return "Win32 Error";
  case WrongState: return "Wrong State";
  case Aborted: return "Aborted";
  case FileNotFound: return "File Not Found";
  case ValueOverflow: return "Value Overflow";
  case AccessDenied: return "Access Denied";
  case UnknownImageFormat: return "Unknown Image Format";
  case FontFamilyNotFound: return "Font Family Not Found";
  case FontStyleNotFound: return "Font Style Not Found";
  case NotTrueTypeFont: return "Not TrueType Font";
  case UnsupportedGdiplusVersion: return "Unsupported Gdiplus Version";
  case GdiplusNotInitialized: return "Gdiplus Not Initialized";
  case PropertyNotFound: return "Property Not Found";
  case PropertyNotSupported: return "Property Not Supported";
  case ProfileNotFound: return "Profile Not Found";
  }
  return nullptr;
}

String StatusMessage(TGPStatus Status)
{
  if (const char* text = StatusText(Status))
    return String("(GDI+ Error) ") + text;
  return "Unknown error: " + Vcl::IntToStr(static_cast<int>(Status));
}

TGPStatus CairoStatus(cairo_status_t Status)
{
  switch (Status) {
  case CAIRO_STATUS_SUCCESS: return Ok;
  case CAIRO_STATUS_NO_MEMORY: return OutOfMemory;
  case CAIRO_STATUS_INVALID_SIZE:
  case CAIRO_STATUS_INVALID_MATRIX:
  case CAIRO_STATUS_INVALID_STRING:
  case CAIRO_STATUS_INVALID_FORMAT: return InvalidParameter;
  case CAIRO_STATUS_FILE_NOT_FOUND: return FileNotFound;
  case CAIRO_STATUS_FONT_TYPE_MISMATCH: return FontStyleNotFound;
  default: return GenericError;
  }
}

void CairoCheck(cairo_status_t Status)
{
  GdipCheck(CairoStatus(Status));
}

// ---- brushes, formats ---------------------------------------------------------------

class TCairoSolidBrush final : public IGPSolidBrush {
public:
  explicit TCairoSolidBrush(TGPColor AColor) : FColor(AColor) {}
  TGPColor Color() const override { return FColor; }
  void SetColor(TGPColor Value) override { FColor = Value; }

private:
  TGPColor FColor;
};

class TCairoStringFormat final : public IGPStringFormat {
public:
  explicit TCairoStringFormat(int AFlags) : FFlags(AFlags) {}
  TGPStringAlignment Alignment() const override { return FAlignment; }
  void SetAlignment(TGPStringAlignment Value) override { FAlignment = Value; }
  TGPStringAlignment LineAlignment() const override { return FLineAlignment; }
  void SetLineAlignment(TGPStringAlignment Value) override { FLineAlignment = Value; }
  int FormatFlags() const override { return FFlags; }
  void SetFormatFlags(int Value) override { FFlags = Value; }

private:
  TGPStringAlignment FAlignment = StringAlignmentNear;
  TGPStringAlignment FLineAlignment = StringAlignmentNear;
  int FFlags;
};

// ---- fonts ---------------------------------------------------------------------------

struct TFaceDeleter {
  void operator()(cairo_font_face_t* Face) const { cairo_font_face_destroy(Face); }
};
using TFacePtr = std::unique_ptr<cairo_font_face_t, TFaceDeleter>;

FT_Library FreeType()
{
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0)
      GdipCheck(GenericError);
    return lib;
  }();
  return library;
}

void DoneFace(void* Face)
{
  FT_Done_Face(static_cast<FT_Face>(Face));
}

// The face GDI text draws the family and style with: the text layer's own
// resolution (fontconfig, its face substitutes and last resorts) names the
// file, and what the file lacks is synthesised as the text layer does.
TFacePtr ResolveFace(const String& Family, bool Bold, bool Italic)
{
  Win::LOGFONT lf;
  lf.lfHeight = -16;
  lf.lfWeight = Bold ? Win::FW_BOLD : Win::FW_NORMAL;
  lf.lfItalic = Italic;
  Family.copy(lf.lfFaceName, sizeof(lf.lfFaceName) - 1);
  std::shared_ptr<Win::TRealizedFont> realized = Win::RealizeFont(lf);
  const Win::TFontFile& file = Win::FontFile(*realized);
  const Win::TFontMetrics& metrics = Win::FontMetrics(*realized);
  FT_Face ftFace = nullptr;
  if (FT_New_Face(FreeType(), file.Path.c_str(), file.Index, &ftFace) != 0)
    GdipCheck(FontFamilyNotFound);
  TFacePtr face(cairo_ft_font_face_create_for_ft_face(ftFace, 0));
  static const cairo_user_data_key_t key{};
  if (cairo_font_face_set_user_data(face.get(), &key, ftFace, DoneFace) != CAIRO_STATUS_SUCCESS) {
    FT_Done_Face(ftFace);
    GdipCheck(OutOfMemory);
  }
  unsigned synthesize = (metrics.SyntheticBold ? CAIRO_FT_SYNTHESIZE_BOLD : 0) |
                        (metrics.SyntheticItalic ? CAIRO_FT_SYNTHESIZE_OBLIQUE : 0);
  cairo_ft_font_face_set_synthesize(face.get(), synthesize);
  CairoCheck(cairo_font_face_status(face.get()));
  return face;
}

// Faces are resolved once per family and style: fontconfig matching costs
// far more than drawing a word.
cairo_font_face_t* CachedFace(const String& Family, bool Bold, bool Italic)
{
  static std::map<std::tuple<String, bool, bool>, TFacePtr> cache;
  auto key = std::make_tuple(Family, Bold, Italic);
  auto it = cache.find(key);
  if (it == cache.end())
    it = cache.emplace(key, ResolveFace(Family, Bold, Italic)).first;
  return it->second.get();
}

class TCairoFont final : public IGPFont {
public:
  TCairoFont(const String& AFamily, float ASize, TGPFontStyle AStyle, TGPUnit AUnit)
    : FFamily(AFamily), FSize(ASize), FStyle(AStyle), FUnit(AUnit),
      FFace(cairo_font_face_reference(
        CachedFace(AFamily, AStyle.Contains(FontStyleBold), AStyle.Contains(FontStyleItalic))))
  {
  }
  String FamilyName() const override { return FFamily; }
  float Size() const override { return FSize; }
  TGPFontStyle Style() const override { return FStyle; }
  TGPUnit Unit() const override { return FUnit; }
  cairo_font_face_t* Face() const { return FFace.get(); }

  float GetHeight(float Dpi) const override
  {
    CheckFinite({Dpi});
    if (!(Dpi > 0))
      GdipCheck(InvalidParameter);
    double size = PixelSize(Dpi);
    cairo_matrix_t fontMatrix, ctm;
    cairo_matrix_init_scale(&fontMatrix, size, size);
    cairo_matrix_init_identity(&ctm);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_scaled_font_t* scaled = cairo_scaled_font_create(FFace.get(), &fontMatrix, &ctm, options);
    cairo_font_options_destroy(options);
    cairo_font_extents_t extents{};
    cairo_scaled_font_extents(scaled, &extents);
    cairo_status_t status = cairo_scaled_font_status(scaled);
    cairo_scaled_font_destroy(scaled);
    CairoCheck(status);
    return float(extents.height);
  }

  double PixelSize(double Dpi) const
  {
    switch (FUnit) {
    case UnitPoint: return FSize * Dpi / 72.0;
    case UnitInch: return FSize * Dpi;
    case UnitDocument: return FSize * Dpi / 300.0;
    case UnitMillimeter: return FSize * Dpi / 25.4;
    default: return FSize;
    }
  }

private:
  String FFamily;
  float FSize;
  TGPFontStyle FStyle;
  TGPUnit FUnit;
  TFacePtr FFace;
};

// What Cairo can show of a line: control characters (a carriage return
// before the line feed included) take no room, and ill-formed UTF-8 shows as
// the replacement character instead of failing the whole call.
String Printable(std::string_view Line)
{
  String out;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(Line.data());
  std::size_t i = 0;
  while (i < Line.size()) {
    std::int32_t length = std::int32_t(std::min<std::size_t>(4, Line.size() - i));
    std::int32_t j = 0;
    UChar32 c = 0;
    U8_NEXT(bytes + i, j, length, c);
    if (c < 0)
      out += "\xEF\xBF\xBD";
    else if (c >= 0x20 && c != 0x7F)
      out.append(Line.data() + i, std::size_t(j));
    i += std::size_t(j);
  }
  return out;
}

// Where a line of Extent starts in a span of Size from Origin.
double Align(TGPStringAlignment Alignment, double Origin, double Size, double Extent)
{
  switch (Alignment) {
  case StringAlignmentCenter: return Origin + (Size - Extent) / 2;
  case StringAlignmentFar: return Origin + Size - Extent;
  default: return Origin;
  }
}

// ---- brushes, pens, attributes ----------------------------------------------------------

class TCairoLinearGradientBrush final : public IGPLinearGradientBrush {
public:
  TCairoLinearGradientBrush(TGPPointF AStart, TGPPointF AEnd, TGPColor AColor1, TGPColor AColor2, TGPRectF ARect)
    : FStart(AStart), FEnd(AEnd), FColor1(AColor1), FColor2(AColor2), FRect(ARect)
  {
  }
  TGPColor StartColor() const override { return FColor1; }
  TGPColor EndColor() const override { return FColor2; }
  void SetLinearColors(TGPColor Color1, TGPColor Color2) override
  {
    FColor1 = Color1;
    FColor2 = Color2;
  }
  TGPRectF Rectangle() const override { return FRect; }
  TGPPointF StartPoint() const override { return FStart; }
  TGPPointF EndPoint() const override { return FEnd; }

private:
  TGPPointF FStart, FEnd;
  TGPColor FColor1, FColor2;
  TGPRectF FRect;
};

class TCairoPen final : public IGPPen {
public:
  TCairoPen(std::shared_ptr<IGPBrush> ABrush, float AWidth) : FBrush(std::move(ABrush)) { SetWidth(AWidth); }
  TGPColor Color() const override
  {
    if (auto* solid = dynamic_cast<const IGPSolidBrush*>(FBrush.get()))
      return solid->Color();
    if (auto* gradient = dynamic_cast<const IGPLinearGradientBrush*>(FBrush.get()))
      return gradient->StartColor();
    return TGPColor();
  }
  void SetColor(TGPColor Value) override { FBrush = TGPSolidBrush::Create(Value); }
  float Width() const override { return FWidth; }
  void SetWidth(float Value) override
  {
    CheckFinite({Value});
    if (Value < 0)
      GdipCheck(InvalidParameter);
    FWidth = Value;
  }
  std::shared_ptr<IGPBrush> Brush() const override { return FBrush; }
  void SetBrush(const std::shared_ptr<IGPBrush>& Value) override
  {
    if (!Value)
      GdipCheck(InvalidParameter);
    FBrush = Value;
  }

private:
  std::shared_ptr<IGPBrush> FBrush;
  float FWidth = 1;
};

class TCairoImageAttributes final : public IGPImageAttributes {
public:
  void SetColorMatrix(const TGPColorMatrix& Matrix) override
  {
    for (const auto& row : Matrix)
      for (float v : row)
        CheckFinite({v});
    FMatrix = Matrix;
    FHasMatrix = true;
  }
  void ClearColorMatrix() override { FHasMatrix = false; }
  bool HasColorMatrix() const override { return FHasMatrix; }
  TGPColorMatrix ColorMatrix() const override { return FHasMatrix ? FMatrix : IdentityColorMatrix(); }

private:
  TGPColorMatrix FMatrix = IdentityColorMatrix();
  bool FHasMatrix = false;
};

class TCairoFontFamily final : public IGPFontFamily {
public:
  explicit TCairoFontFamily(String AName) : FName(std::move(AName)) {}
  String FamilyName() const override { return FName; }

private:
  String FName;
};

// ---- bitmaps ---------------------------------------------------------------------------

struct TSurfaceDeleter {
  void operator()(cairo_surface_t* Surface) const { cairo_surface_destroy(Surface); }
};
using TSurfacePtr = std::unique_ptr<cairo_surface_t, TSurfaceDeleter>;

std::uint8_t Premultiply(std::uint8_t Value, std::uint8_t Alpha)
{
  return std::uint8_t((Value * Alpha + 127) / 255);
}

std::uint8_t Unpremultiply(std::uint8_t Value, std::uint8_t Alpha)
{
  return Alpha == 0 ? 0 : std::uint8_t(std::min(255, (Value * 255 + Alpha / 2) / Alpha));
}

std::uint32_t PremultiplyArgb(std::uint32_t Argb)
{
  TGPColor c(Argb);
  return TGPColor::Create(c.A(), Premultiply(c.R(), c.A()), Premultiply(c.G(), c.A()), Premultiply(c.B(), c.A()))
    .Argb();
}

std::uint32_t UnpremultiplyArgb(std::uint32_t Argb)
{
  TGPColor c(Argb);
  return TGPColor::Create(c.A(), Unpremultiply(c.R(), c.A()), Unpremultiply(c.G(), c.A()),
                          Unpremultiply(c.B(), c.A()))
    .Argb();
}

// Larger requests are refused before Cairo is asked for the memory.
constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 27;

TSurfacePtr NewSurface(int Width, int Height)
{
  if (Width <= 0 || Height <= 0 || std::int64_t(Width) * Height > kMaxBitmapPixels)
    GdipCheck(InvalidParameter);
  TSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Width, Height));
  CairoCheck(cairo_surface_status(surface.get()));
  return surface;
}

std::uint32_t* Row(cairo_surface_t* Surface, int Y)
{
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(Surface) +
                                          std::ptrdiff_t(Y) * cairo_image_surface_get_stride(Surface));
}

class TCairoBitmap final : public IGPBitmap {
public:
  TCairoBitmap(int AWidth, int AHeight, TGPPixelFormat AFormat = PixelFormat32bppARGB)
    : FSurface(NewSurface(AWidth, AHeight)), FFormat(AFormat)
  {
  }
  int Width() const override { return cairo_image_surface_get_width(FSurface.get()); }
  int Height() const override { return cairo_image_surface_get_height(FSurface.get()); }
  TGPPixelFormat PixelFormat() const override { return FFormat; }

  TGPColor GetPixel(int X, int Y) const override
  {
    cairo_surface_flush(FSurface.get());
    return TGPColor(UnpremultiplyArgb(*Pixel(X, Y)));
  }
  void SetPixel(int X, int Y, TGPColor Color) override
  {
    cairo_surface_flush(FSurface.get());
    *Pixel(X, Y) = PremultiplyArgb(Color.Argb());
    cairo_surface_mark_dirty(FSurface.get());
  }

  TGPBitmapData LockBits(const TGPRectF& Rect, unsigned Flags, TGPPixelFormat Format) override
  {
    if (FLocked)
      GdipCheck(WrongState);
    TRect area = LockArea(Rect);
    if (Format != PixelFormat32bppARGB && Format != PixelFormat32bppPARGB && Format != PixelFormat32bppRGB)
      GdipCheck(NotImplemented);
    cairo_surface_flush(FSurface.get());
    FLockRect = area;
    FLockFlags = Flags;
    FLockFormat = Format;
    FLockBuffer.assign(std::size_t(area.W) * std::size_t(area.H), 0);
    for (int y = 0; y < area.H; ++y)
      for (int x = 0; x < area.W; ++x)
        FLockBuffer[std::size_t(y) * area.W + x] = FromSurface(Row(FSurface.get(), area.Y + y)[area.X + x]);
    FLocked = true;
    return {area.W, area.H, area.W * 4, Format, FLockBuffer.data()};
  }

  void UnlockBits(const TGPBitmapData& Data) override
  {
    if (!FLocked || Data.Scan0 != FLockBuffer.data())
      GdipCheck(WrongState);
    FLocked = false;
    if (!(FLockFlags & ImageLockModeWrite))
      return;
    for (int y = 0; y < FLockRect.H; ++y)
      for (int x = 0; x < FLockRect.W; ++x)
        Row(FSurface.get(), FLockRect.Y + y)[FLockRect.X + x] = ToSurface(FLockBuffer[std::size_t(y) * FLockRect.W + x]);
    cairo_surface_mark_dirty(FSurface.get());
  }

  Win::HBITMAP GetHBITMAP(TGPColor Background) const override
  {
    cairo_surface_flush(FSurface.get());
    Win::HBITMAP bitmap = Win::CreateBitmap32(Width(), Height());
    if (!bitmap)
      GdipCheck(OutOfMemory);
    std::uint32_t* bits = Win::BitmapBits(bitmap);
    std::uint32_t back = PremultiplyArgb(Background.Argb());
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x)
        bits[std::size_t(y) * Width() + x] = Over(Row(FSurface.get(), y)[x], back);
    return bitmap;
  }

  cairo_surface_t* Surface() const { return FSurface.get(); }

private:
  struct TRect {
    int X, Y, W, H;
  };

  // Whole pixels inside the bitmap; anything else is an invalid parameter.
  TRect LockArea(const TGPRectF& Rect) const
  {
    CheckRect(Rect);
    TRect r{int(Rect.X), int(Rect.Y), int(Rect.Width), int(Rect.Height)};
    if (r.X != Rect.X || r.Y != Rect.Y || r.W != Rect.Width || r.H != Rect.Height || r.X < 0 || r.Y < 0 ||
        r.W <= 0 || r.H <= 0 || r.X + r.W > Width() || r.Y + r.H > Height())
      GdipCheck(InvalidParameter);
    return r;
  }

  std::uint32_t FromSurface(std::uint32_t Pixel) const
  {
    switch (FLockFormat) {
    case PixelFormat32bppPARGB: return Pixel;
    case PixelFormat32bppRGB: return UnpremultiplyArgb(Pixel) | 0xFF000000u;
    default: return UnpremultiplyArgb(Pixel);
    }
  }

  std::uint32_t ToSurface(std::uint32_t Pixel) const
  {
    switch (FLockFormat) {
    case PixelFormat32bppPARGB: {
      // Premultiplied colour never exceeds its alpha.
      TGPColor c(Pixel);
      return TGPColor::Create(c.A(), std::min(c.R(), c.A()), std::min(c.G(), c.A()), std::min(c.B(), c.A())).Argb();
    }
    case PixelFormat32bppRGB: return Pixel | 0xFF000000u;
    default: return PremultiplyArgb(Pixel);
    }
  }

  static std::uint32_t Over(std::uint32_t Src, std::uint32_t Dst)
  {
    unsigned inverse = 255 - (Src >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      unsigned s = (Src >> shift) & 0xFF, d = (Dst >> shift) & 0xFF;
      out |= std::uint32_t(std::min(255u, s + (d * inverse + 127) / 255)) << shift;
    }
    return out;
  }

  std::uint32_t* Pixel(int X, int Y) const
  {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
      GdipCheck(InvalidParameter);
    return Row(FSurface.get(), Y) + X;
  }

  TSurfacePtr FSurface;
  TGPPixelFormat FFormat;
  bool FLocked = false;
  TRect FLockRect{};
  unsigned FLockFlags = 0;
  TGPPixelFormat FLockFormat = PixelFormat32bppARGB;
  std::vector<std::uint32_t> FLockBuffer;
};

const TCairoBitmap& CairoBitmap(const std::shared_ptr<IGPImage>& Image)
{
  auto* bitmap = dynamic_cast<const TCairoBitmap*>(Image.get());
  if (!bitmap)
    GdipCheck(InvalidParameter);
  return *bitmap;
}

// ---- graphics ----------------------------------------------------------------------------

struct TContextDeleter {
  void operator()(cairo_t* Context) const { cairo_destroy(Context); }
};
using TContextPtr = std::unique_ptr<cairo_t, TContextDeleter>;

const TCairoFont& CairoFont(const std::shared_ptr<IGPFont>& Font)
{
  auto* font = dynamic_cast<const TCairoFont*>(Font.get());
  if (!font)
    GdipCheck(InvalidParameter);
  return *font;
}

cairo_matrix_t CairoMatrix(const TAffine& A)
{
  cairo_matrix_t m;
  cairo_matrix_init(&m, A.XX, A.YX, A.XY, A.YY, A.X0, A.Y0);
  return m;
}

void PathToCairo(cairo_t* Cr, const TPathData& Path)
{
  cairo_new_path(Cr);
  std::size_t p = 0;
  for (TPathData::TKind kind : Path.Kinds) {
    switch (kind) {
    case TPathData::TKind::Move: cairo_move_to(Cr, Path.Points[p].X, Path.Points[p].Y); ++p; break;
    case TPathData::TKind::Line: cairo_line_to(Cr, Path.Points[p].X, Path.Points[p].Y); ++p; break;
    case TPathData::TKind::Cubic:
      cairo_curve_to(Cr, Path.Points[p].X, Path.Points[p].Y, Path.Points[p + 1].X, Path.Points[p + 1].Y,
                     Path.Points[p + 2].X, Path.Points[p + 2].Y);
      p += 3;
      break;
    case TPathData::TKind::Close: cairo_close_path(Cr); break;
    }
  }
}

cairo_fill_rule_t FillRule(TGPFillMode Mode)
{
  return Mode == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
}

// How the region's areas combine when painted one on the other (A the
// destination, B the source).
cairo_operator_t CombineOperator(TGPCombineMode Mode)
{
  switch (Mode) {
  case CombineModeIntersect: return CAIRO_OPERATOR_DEST_IN;
  case CombineModeUnion: return CAIRO_OPERATOR_OVER;
  case CombineModeXor: return CAIRO_OPERATOR_XOR;
  case CombineModeExclude: return CAIRO_OPERATOR_DEST_OUT;
  case CombineModeComplement: return CAIRO_OPERATOR_OUT;
  default: return CAIRO_OPERATOR_SOURCE;
  }
}

// The region as an 8-bit mask of the given size, in the coordinates that
// Device maps to mask pixels. Regions have hard edges, as GDI+ clips do.
TSurfacePtr RenderRegion(const TRegionNode& Node, int Width, int Height, const cairo_matrix_t& Device)
{
  TSurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, Width, Height));
  TContextPtr cr(cairo_create(mask.get()));
  switch (Node.Kind) {
  case TRegionNode::TKind::Empty: break;
  case TRegionNode::TKind::Infinite: cairo_paint(cr.get()); break;
  case TRegionNode::TKind::Path:
    cairo_set_matrix(cr.get(), &Device);
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(cr.get(), FillRule(Node.Path.FillMode));
    PathToCairo(cr.get(), Node.Path);
    cairo_fill(cr.get());
    break;
  case TRegionNode::TKind::Combine: {
    TSurfacePtr a = RenderRegion(*Node.A, Width, Height, Device);
    TSurfacePtr b = RenderRegion(*Node.B, Width, Height, Device);
    cairo_set_source_surface(cr.get(), a.get(), 0, 0);
    cairo_paint(cr.get());
    cairo_set_operator(cr.get(), CombineOperator(Node.Mode));
    cairo_set_source_surface(cr.get(), b.get(), 0, 0);
    cairo_paint(cr.get());
    break;
  }
  }
  CairoCheck(cairo_status(cr.get()));
  cairo_surface_flush(mask.get());
  return mask;
}

// One laid-out line of a string.
struct TTextLine {
  String Text;
  double X = 0;
  double Baseline = 0;
  double Width = 0;
};

class TCairoGraphics final : public IGPGraphics {
public:
  TCairoGraphics(std::shared_ptr<IGPImage> AImage, cairo_surface_t* Surface)
    : FImage(std::move(AImage)), FContext(cairo_create(Surface)), FWidth(cairo_image_surface_get_width(Surface)),
      FHeight(cairo_image_surface_get_height(Surface))
  {
    CairoCheck(cairo_status(FContext.get()));
    Win::HDC screen = Win::GetDC(nullptr);
    FDpi = float(Win::GetDeviceCaps(screen, Win::LOGPIXELSY));
    Win::ReleaseDC(nullptr, screen);
    cairo_save(FContext.get()); // the base state, to which every call returns
  }

  // Clips to the DC's region and maps its logical coordinates.
  void MapDevice(Win::HDC DC)
  {
    cairo_t* cr = FContext.get();
    cairo_restore(cr);
    Win::POINT offset = DC->SurfaceOffset;
    const Win::TRegion clip = Win::DCEffectiveClip(DC);
    for (const Win::RECT& r : clip.Rects())
      cairo_rectangle(cr, r.Left + offset.X, r.Top + offset.Y, r.Width(), r.Height());
    cairo_clip(cr);
    Win::POINT origin = Win::LPtoDevice(DC, Win::POINT(0, 0));
    FPage = TAffine::Translation(origin.X + offset.X, origin.Y + offset.Y);
    cairo_save(cr);
    Check();
  }

  // ---- settings --------------------------------------------------------------------

  TGPSmoothingMode SmoothingMode() const override { return FSmoothing; }
  void SetSmoothingMode(TGPSmoothingMode Value) override
  {
    if (Value < SmoothingModeDefault || Value > SmoothingModeAntiAlias8x8)
      GdipCheck(InvalidParameter);
    FSmoothing = Value;
  }
  TGPPixelOffsetMode PixelOffsetMode() const override { return FPixelOffset; }
  void SetPixelOffsetMode(TGPPixelOffsetMode Value) override
  {
    if (Value < PixelOffsetModeDefault || Value > PixelOffsetModeHalf)
      GdipCheck(InvalidParameter);
    FPixelOffset = Value;
  }
  TGPCompositingQuality CompositingQuality() const override { return FCompositingQuality; }
  void SetCompositingQuality(TGPCompositingQuality Value) override
  {
    if (Value < CompositingQualityDefault || Value > CompositingQualityAssumeLinear)
      GdipCheck(InvalidParameter);
    FCompositingQuality = Value;
  }
  TGPCompositingMode CompositingMode() const override { return FCompositingMode; }
  void SetCompositingMode(TGPCompositingMode Value) override
  {
    if (Value != CompositingModeSourceOver && Value != CompositingModeSourceCopy)
      GdipCheck(InvalidParameter);
    FCompositingMode = Value;
  }
  TGPTextRenderingHint TextRenderingHint() const override { return FTextHint; }
  void SetTextRenderingHint(TGPTextRenderingHint Value) override
  {
    if (Value < TextRenderingHintSystemDefault || Value > TextRenderingHintClearTypeGridFit)
      GdipCheck(InvalidParameter);
    FTextHint = Value;
  }
  TGPInterpolationMode InterpolationMode() const override { return FInterpolation; }
  void SetInterpolationMode(TGPInterpolationMode Value) override
  {
    if (Value < InterpolationModeDefault || Value > InterpolationModeHighQualityBicubic)
      GdipCheck(InvalidParameter);
    FInterpolation = Value;
  }
  float DpiX() const override { return FDpi; }
  float DpiY() const override { return FDpi; }

  // ---- transform ---------------------------------------------------------------------

  std::shared_ptr<IGPMatrix> Transform() const override
  {
    return TGPMatrix::Create(float(FWorld.XX), float(FWorld.YX), float(FWorld.XY), float(FWorld.YY),
                             float(FWorld.X0), float(FWorld.Y0));
  }
  void SetTransform(const std::shared_ptr<IGPMatrix>& Matrix) override { SetWorld(AffineOf(Matrix)); }
  void ResetTransform() override { FWorld = TAffine(); }
  void TranslateTransform(float DX, float DY, TGPMatrixOrder Order) override
  {
    CheckFinite({DX, DY});
    Compose(TAffine::Translation(DX, DY), Order);
  }
  void ScaleTransform(float SX, float SY, TGPMatrixOrder Order) override
  {
    CheckFinite({SX, SY});
    Compose(TAffine::Scaling(SX, SY), Order);
  }
  void RotateTransform(float Angle, TGPMatrixOrder Order) override
  {
    CheckFinite({Angle});
    Compose(TAffine::Rotation(Angle), Order);
  }
  void MultiplyTransform(const std::shared_ptr<IGPMatrix>& Matrix, TGPMatrixOrder Order) override
  {
    Compose(AffineOf(Matrix), Order);
  }

  // ---- clipping ------------------------------------------------------------------------

  void SetClip(const TGPRectF& Rect, TGPCombineMode Mode) override
  {
    TPathData path;
    AddRectTo(path, Rect);
    CombineClip(TRegionNode::FromPath(std::move(path)), Mode);
  }
  void SetClip(const std::shared_ptr<IGPGraphicsPath>& Path, TGPCombineMode Mode) override
  {
    CombineClip(TRegionNode::FromPath(PathDataOf(Path)), Mode);
  }
  void SetClip(const std::shared_ptr<IGPRegion>& Region, TGPCombineMode Mode) override
  {
    CombineClip(RegionNodeOf(Region), Mode);
  }
  void ResetClip() override
  {
    FClip.reset();
    FClipMask.reset();
  }
  std::shared_ptr<IGPRegion> Clip() const override
  {
    if (!FClip)
      return TGPRegion::Create();
    return MakeRegion(TRegionNode::Transformed(FClip, FWorld.Inverse()));
  }
  bool IsClipEmpty() const override
  {
    if (!FClipMask)
      return false;
    const unsigned char* data = cairo_image_surface_get_data(FClipMask.get());
    int stride = cairo_image_surface_get_stride(FClipMask.get());
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (data[std::ptrdiff_t(y) * stride + x])
          return false;
    return true;
  }

  // ---- drawing ----------------------------------------------------------------------------

  void Clear(TGPColor Color) override
  {
    Paint(false, [&](cairo_t* cr) {
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      SetColor(cr, Color);
      cairo_paint(cr);
    });
  }

  void FillRectangle(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) override
  {
    TPathData path;
    AddRectTo(path, Rect);
    Fill(Brush, path);
  }
  void DrawRectangle(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect) override
  {
    TPathData path;
    AddRectTo(path, Rect);
    Stroke(Pen, path);
  }
  void FillEllipse(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) override
  {
    Fill(Brush, Ellipse(Rect));
  }
  void DrawEllipse(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect) override
  {
    Stroke(Pen, Ellipse(Rect));
  }
  void DrawArc(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect, float StartAngle,
               float SweepAngle) override
  {
    TPathData path;
    AddArcTo(path, Rect, StartAngle, SweepAngle);
    Stroke(Pen, path);
  }
  void DrawLine(const std::shared_ptr<IGPPen>& Pen, float X1, float Y1, float X2, float Y2) override
  {
    DrawLines(Pen, {{X1, Y1}, {X2, Y2}});
  }
  void DrawLines(const std::shared_ptr<IGPPen>& Pen, const std::vector<TGPPointF>& Points) override
  {
    CheckPoints(Points, 2);
    TPathData path;
    path.MoveTo({Points[0].X, Points[0].Y});
    for (std::size_t i = 1; i < Points.size(); ++i) {
      path.Kinds.push_back(TPathData::TKind::Line); // repeated points still draw their caps
      path.Points.push_back({Points[i].X, Points[i].Y});
    }
    Stroke(Pen, path);
  }
  void FillPolygon(const std::shared_ptr<IGPBrush>& Brush, const std::vector<TGPPointF>& Points,
                   TGPFillMode FillMode) override
  {
    TPathData path = Polygon(Points);
    if (FillMode != FillModeAlternate && FillMode != FillModeWinding)
      GdipCheck(InvalidParameter);
    path.FillMode = FillMode;
    Fill(Brush, path);
  }
  void DrawPolygon(const std::shared_ptr<IGPPen>& Pen, const std::vector<TGPPointF>& Points) override
  {
    Stroke(Pen, Polygon(Points));
  }
  void FillPath(const std::shared_ptr<IGPBrush>& Brush, const std::shared_ptr<IGPGraphicsPath>& Path) override
  {
    Fill(Brush, PathDataOf(Path));
  }
  void DrawPath(const std::shared_ptr<IGPPen>& Pen, const std::shared_ptr<IGPGraphicsPath>& Path) override
  {
    Stroke(Pen, PathDataOf(Path));
  }
  void FillRegion(const std::shared_ptr<IGPBrush>& Brush, const std::shared_ptr<IGPRegion>& Region) override
  {
    std::shared_ptr<const TRegionNode> node = RegionNodeOf(Region);
    ValidateBrush(Brush);
    cairo_matrix_t device = CairoMatrix(Then(FWorld, FPage));
    TSurfacePtr mask = RenderRegion(*node, FWidth, FHeight, device);
    Paint(false, [&](cairo_t* cr) {
      SetBrush(cr, Brush);
      cairo_identity_matrix(cr);
      cairo_mask_surface(cr, mask.get(), 0, 0);
    });
  }

  void DrawImage(const std::shared_ptr<IGPImage>& Image, float X, float Y) override
  {
    const TCairoBitmap& bitmap = CairoBitmap(Image);
    DrawImage(Image, TGPRectF(X, Y, float(bitmap.Width()), float(bitmap.Height())));
  }
  void DrawImage(const std::shared_ptr<IGPImage>& Image, const TGPRectF& DestRect) override
  {
    const TCairoBitmap& bitmap = CairoBitmap(Image);
    DrawImage(Image, DestRect, 0, 0, float(bitmap.Width()), float(bitmap.Height()), UnitPixel, nullptr);
  }
  void DrawImage(const std::shared_ptr<IGPImage>& Image, const TGPRectF& DestRect, float SrcX, float SrcY,
                 float SrcWidth, float SrcHeight, TGPUnit SrcUnit,
                 const std::shared_ptr<IGPImageAttributes>& Attributes) override
  {
    const TCairoBitmap& bitmap = CairoBitmap(Image);
    CheckRect(DestRect);
    CheckRect(TGPRectF(SrcX, SrcY, SrcWidth, SrcHeight));
    if (SrcUnit != UnitPixel && SrcUnit != UnitWorld)
      GdipCheck(NotImplemented);
    if (DestRect.Width == 0 || DestRect.Height == 0 || SrcWidth == 0 || SrcHeight == 0)
      return;
    double originX = 0, originY = 0;
    TSurfacePtr source = SourceArea(bitmap.Surface(), TGPRectF(SrcX, SrcY, SrcWidth, SrcHeight), Attributes,
                                    originX, originY);
    Paint(false, [&](cairo_t* cr) {
      cairo_rectangle(cr, DestRect.X, DestRect.Y, DestRect.Width, DestRect.Height);
      cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source.get());
      cairo_matrix_t m;
      cairo_matrix_init_translate(&m, SrcX - originX, SrcY - originY);
      cairo_matrix_scale(&m, SrcWidth / DestRect.Width, SrcHeight / DestRect.Height);
      cairo_matrix_translate(&m, -DestRect.X, -DestRect.Y);
      cairo_pattern_set_matrix(pattern, &m);
      cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
      cairo_pattern_set_filter(pattern, Filter());
      cairo_set_source(cr, pattern);
      cairo_pattern_destroy(pattern);
      cairo_fill(cr);
    });
  }

  void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font, const TGPRectF& LayoutRect,
                  const std::shared_ptr<IGPStringFormat>& Format,
                  const std::shared_ptr<IGPBrush>& Brush) override
  {
    const TCairoFont& font = CairoFont(Font);
    ValidateBrush(Brush);
    CheckFinite({LayoutRect.X, LayoutRect.Y, LayoutRect.Width, LayoutRect.Height});
    TCairoStringFormat defaults(0);
    const IGPStringFormat& format = Format ? *Format : defaults;
    Paint(false, [&](cairo_t* cr) {
      if (!(format.FormatFlags() & StringFormatFlagsNoClip) && LayoutRect.Width > 0 && LayoutRect.Height > 0) {
        cairo_rectangle(cr, LayoutRect.X, LayoutRect.Y, LayoutRect.Width, LayoutRect.Height);
        cairo_clip(cr);
      }
      SetFont(cr, font);
      SetBrush(cr, Brush);
      for (const TTextLine& line : Layout(cr, Text, LayoutRect, format)) {
        cairo_move_to(cr, line.X, line.Baseline);
        cairo_show_text(cr, line.Text.c_str());
        DrawDecorations(cr, font.Style(), line.X, line.Baseline, line.Width);
      }
    });
  }

  void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font, TGPPointF Origin,
                  const std::shared_ptr<IGPStringFormat>& Format, const std::shared_ptr<IGPBrush>& Brush) override
  {
    DrawString(Text, Font, TGPRectF(Origin.X, Origin.Y, 0, 0), Format, Brush);
  }

  TGPRectF MeasureString(const String& Text, const std::shared_ptr<IGPFont>& Font, const TGPRectF& LayoutRect,
                         const std::shared_ptr<IGPStringFormat>& Format) override
  {
    const TCairoFont& font = CairoFont(Font);
    CheckFinite({LayoutRect.X, LayoutRect.Y, LayoutRect.Width, LayoutRect.Height});
    TCairoStringFormat defaults(0);
    const IGPStringFormat& format = Format ? *Format : defaults;
    cairo_t* cr = FContext.get();
    cairo_save(cr);
    SetWorldMatrix(cr, false);
    SetFont(cr, font);
    std::vector<TTextLine> lines = Layout(cr, Text, LayoutRect, format);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_restore(cr);
    Check();
    double left = lines.front().X, right = left;
    for (const TTextLine& line : lines) {
      left = std::min(left, line.X);
      right = std::max(right, line.X + line.Width);
    }
    double top = lines.front().Baseline - fe.ascent;
    double height = (fe.ascent + fe.descent) * double(lines.size());
    return TGPRectF(float(left), float(top), float(right - left), float(height));
  }

  TGPRectF MeasureString(const String& Text, const std::shared_ptr<IGPFont>& Font, TGPPointF Origin,
                         const std::shared_ptr<IGPStringFormat>& Format) override
  {
    return MeasureString(Text, Font, TGPRectF(Origin.X, Origin.Y, 0, 0), Format);
  }

private:
  void Check() { CairoCheck(cairo_status(FContext.get())); }

  void SetWorld(const TAffine& M)
  {
    // A transform that cannot be inverted would leave Cairo in an error state.
    if (!M.IsInvertible())
      GdipCheck(InvalidParameter);
    FWorld = M;
  }

  void Compose(const TAffine& M, TGPMatrixOrder Order)
  {
    SetWorld(Order == MatrixOrderAppend ? Then(FWorld, M) : Then(M, FWorld));
  }

  void CombineClip(std::shared_ptr<const TRegionNode> Node, TGPCombineMode Mode)
  {
    if (Mode < CombineModeReplace || Mode > CombineModeComplement)
      GdipCheck(InvalidParameter);
    std::shared_ptr<const TRegionNode> page = TRegionNode::Transformed(Node, FWorld);
    std::shared_ptr<const TRegionNode> current = FClip ? FClip : TRegionNode::Make(TRegionNode::TKind::Infinite);
    std::shared_ptr<const TRegionNode> clip = TRegionNode::Combined(current, page, Mode);
    cairo_matrix_t device = CairoMatrix(FPage);
    FClipMask = RenderRegion(*clip, FWidth, FHeight, device);
    FClip = clip;
  }

  // GDI+ puts pixel centres on whole coordinates unless told to offset them
  // by half a pixel; Cairo puts them on halves.
  double PixelShift() const
  {
    return FPixelOffset == PixelOffsetModeHalf || FPixelOffset == PixelOffsetModeHighQuality ? 0 : 0.5;
  }

  void SetWorldMatrix(cairo_t* Cr, bool Shapes)
  {
    TAffine page = Shapes ? Then(FPage, TAffine::Translation(PixelShift(), PixelShift())) : FPage;
    cairo_matrix_t m = CairoMatrix(Then(FWorld, page));
    cairo_set_matrix(Cr, &m);
  }

  // Runs one drawing in world coordinates through the clip, with the
  // context's state put back afterwards, and reports Cairo's failures.
  template <class F>
  void Paint(bool Shapes, F Draw)
  {
    cairo_t* cr = FContext.get();
    cairo_save(cr);
    cairo_set_antialias(cr, Smooth() ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, FCompositingMode == CompositingModeSourceCopy ? CAIRO_OPERATOR_SOURCE
                                                                         : CAIRO_OPERATOR_OVER);
    if (FClipMask)
      cairo_push_group(cr);
    SetWorldMatrix(cr, Shapes);
    Draw(cr);
    if (FClipMask) {
      cairo_pop_group_to_source(cr);
      cairo_identity_matrix(cr);
      cairo_mask_surface(cr, FClipMask.get(), 0, 0);
    }
    cairo_restore(cr);
    Check();
  }

  bool Smooth() const
  {
    return FSmoothing == SmoothingModeAntiAlias || FSmoothing == SmoothingModeAntiAlias8x8 ||
           FSmoothing == SmoothingModeHighQuality;
  }

  cairo_filter_t Filter() const
  {
    switch (FInterpolation) {
    case InterpolationModeNearestNeighbor: return CAIRO_FILTER_NEAREST;
    case InterpolationModeHighQuality:
    case InterpolationModeHighQualityBilinear:
    case InterpolationModeHighQualityBicubic:
    case InterpolationModeBicubic: return CAIRO_FILTER_BEST;
    default: return CAIRO_FILTER_BILINEAR;
    }
  }

  static void SetColor(cairo_t* Cr, TGPColor Color)
  {
    cairo_set_source_rgba(Cr, Color.R() / 255.0, Color.G() / 255.0, Color.B() / 255.0, Color.A() / 255.0);
  }

  static void ValidateBrush(const std::shared_ptr<IGPBrush>& Brush)
  {
    if (!dynamic_cast<const IGPSolidBrush*>(Brush.get()) &&
        !dynamic_cast<const IGPLinearGradientBrush*>(Brush.get()))
      GdipCheck(Brush ? NotImplemented : InvalidParameter);
  }

  // The brush as Cairo's source, in the current world coordinates.
  static void SetBrush(cairo_t* Cr, const std::shared_ptr<IGPBrush>& Brush)
  {
    if (auto* solid = dynamic_cast<const IGPSolidBrush*>(Brush.get())) {
      SetColor(Cr, solid->Color());
      return;
    }
    auto* gradient = dynamic_cast<const IGPLinearGradientBrush*>(Brush.get());
    TGPPointF a = gradient->StartPoint(), b = gradient->EndPoint();
    cairo_pattern_t* pattern = cairo_pattern_create_linear(a.X, a.Y, b.X, b.Y);
    for (auto [offset, color] : {std::pair{0.0, gradient->StartColor()}, std::pair{1.0, gradient->EndColor()}})
      cairo_pattern_add_color_stop_rgba(pattern, offset, color.R() / 255.0, color.G() / 255.0, color.B() / 255.0,
                                        color.A() / 255.0);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_source(Cr, pattern);
    cairo_pattern_destroy(pattern);
  }

  void Fill(const std::shared_ptr<IGPBrush>& Brush, const TPathData& Path)
  {
    ValidateBrush(Brush);
    Paint(true, [&](cairo_t* cr) {
      SetBrush(cr, Brush);
      cairo_set_fill_rule(cr, FillRule(Path.FillMode));
      PathToCairo(cr, Path);
      cairo_fill(cr);
    });
  }

  void Stroke(const std::shared_ptr<IGPPen>& Pen, const TPathData& Path)
  {
    if (!Pen)
      GdipCheck(InvalidParameter);
    std::shared_ptr<IGPBrush> brush = Pen->Brush();
    ValidateBrush(brush);
    Paint(true, [&](cairo_t* cr) {
      SetBrush(cr, brush);
      PathToCairo(cr, Path);
      cairo_set_line_width(cr, Pen->Width());
      if (Pen->Width() == 0) { // one device pixel, whatever the transform
        cairo_identity_matrix(cr);
        cairo_set_line_width(cr, 1);
      }
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
      cairo_stroke(cr);
    });
  }

  static TPathData Ellipse(const TGPRectF& Rect)
  {
    CheckRect(Rect);
    TPathData path;
    AddArcTo(path, Rect, 0, 360);
    path.Close();
    return path;
  }

  static TPathData Polygon(const std::vector<TGPPointF>& Points)
  {
    CheckPoints(Points, 1);
    TPathData path;
    for (const TGPPointF& p : Points)
      path.LineTo({p.X, p.Y});
    path.Close();
    return path;
  }

  // What the image shows of the source rectangle, so that smoothing at its
  // edges does not reach outside it: the whole-pixel area it covers (through
  // the colour matrix when there is one), with that area's top-left corner.
  static TSurfacePtr SourceArea(cairo_surface_t* Image, const TGPRectF& Src,
                                const std::shared_ptr<IGPImageAttributes>& Attributes, double& OriginX,
                                double& OriginY)
  {
    cairo_surface_flush(Image);
    int w = cairo_image_surface_get_width(Image), h = cairo_image_surface_get_height(Image);
    int left = std::clamp(int(std::floor(Src.X)), 0, w - 1), top = std::clamp(int(std::floor(Src.Y)), 0, h - 1);
    int right = std::clamp(int(std::ceil(double(Src.X) + Src.Width)), left + 1, w);
    int bottom = std::clamp(int(std::ceil(double(Src.Y) + Src.Height)), top + 1, h);
    OriginX = left;
    OriginY = top;
    if (Attributes && Attributes->HasColorMatrix())
      return ColorTransformed(Image, left, top, right - left, bottom - top, Attributes->ColorMatrix());
    return TSurfacePtr(cairo_surface_create_for_rectangle(Image, left, top, right - left, bottom - top));
  }

  // A copy of an area with the colour matrix applied to straight colour.
  static TSurfacePtr ColorTransformed(cairo_surface_t* Source, int Left, int Top, int W, int H,
                                      const TGPColorMatrix& M)
  {
    TSurfacePtr out = NewSurface(W, H);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        TGPColor c(UnpremultiplyArgb(Row(Source, Top + y)[Left + x]));
        const double in[5] = {c.R() / 255.0, c.G() / 255.0, c.B() / 255.0, c.A() / 255.0, 1};
        std::uint8_t v[4];
        for (std::size_t j = 0; j < 4; ++j) {
          double sum = 0;
          for (std::size_t i = 0; i < 5; ++i)
            sum += in[i] * M[i][j];
          v[j] = std::uint8_t(std::lround(std::clamp(sum, 0.0, 1.0) * 255));
        }
        Row(out.get(), y)[x] = PremultiplyArgb(TGPColor::Create(v[3], v[0], v[1], v[2]).Argb());
      }
    cairo_surface_mark_dirty(out.get());
    return out;
  }

  void SetFont(cairo_t* Cr, const TCairoFont& Font)
  {
    double emSize = Font.PixelSize(FDpi);
    if (!(emSize > 0) || !std::isfinite(emSize))
      GdipCheck(InvalidParameter);
    cairo_set_font_face(Cr, Font.Face());
    cairo_set_font_size(Cr, emSize);
    cairo_font_options_t* options = cairo_font_options_create();
    bool mono = FTextHint == TextRenderingHintSingleBitPerPixel ||
                FTextHint == TextRenderingHintSingleBitPerPixelGridFit;
    cairo_font_options_set_antialias(options, mono ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(Cr, options);
    cairo_font_options_destroy(options);
  }

  static double Advance(cairo_t* Cr, const String& Text)
  {
    cairo_text_extents_t extents;
    cairo_text_extents(Cr, Text.c_str(), &extents);
    return extents.x_advance;
  }

  // Lines end at line feeds and, with a width, before a word that would pass
  // it; a word longer than the width keeps a line of its own.
  static std::vector<String> BreakLines(cairo_t* Cr, const String& Text, double Width)
  {
    std::vector<String> lines;
    std::size_t start = 0;
    while (start <= Text.size()) {
      std::size_t end = Text.find('\n', start);
      if (end == String::npos)
        end = Text.size();
      WrapLine(Cr, Printable(std::string_view(Text).substr(start, end - start)), Width, lines);
      start = end + 1;
    }
    return lines;
  }

  static void WrapLine(cairo_t* Cr, const String& Line, double Width, std::vector<String>& Lines)
  {
    if (Width <= 0 || Advance(Cr, Line) <= Width) {
      Lines.push_back(Line);
      return;
    }
    String current;
    std::size_t pos = 0;
    while (pos < Line.size()) {
      std::size_t space = Line.find(' ', pos);
      std::size_t end = space == String::npos ? Line.size() : space + 1;
      String word = Line.substr(pos, end - pos);
      if (!current.empty() && Advance(Cr, current + word) > Width) {
        Lines.push_back(current);
        current.clear();
      }
      current += word;
      pos = end;
    }
    Lines.push_back(current);
  }

  // Where each line goes in the rectangle, with the context's font.
  static std::vector<TTextLine> Layout(cairo_t* Cr, const String& Text, const TGPRectF& Rect,
                                       const IGPStringFormat& Format)
  {
    bool wrap = !(Format.FormatFlags() & StringFormatFlagsNoWrap) && Rect.Width > 0;
    std::vector<String> texts = BreakLines(Cr, Text, wrap ? Rect.Width : 0);
    cairo_font_extents_t fe;
    cairo_font_extents(Cr, &fe);
    double lineHeight = fe.ascent + fe.descent;
    double y = Align(Format.LineAlignment(), Rect.Y, Rect.Height, lineHeight * double(texts.size()));
    std::vector<TTextLine> lines;
    for (String& text : texts) {
      double width = Advance(Cr, text);
      lines.push_back({std::move(text), Align(Format.Alignment(), Rect.X, Rect.Width, width), y + fe.ascent, width});
      y += lineHeight;
    }
    return lines;
  }

  // Underline and strike-out as the face describes them, on whole pixels so
  // that they stay crisp.
  static void DrawDecorations(cairo_t* Cr, TGPFontStyle Style, double X, double Baseline, double Width)
  {
    if (!Style.Contains(FontStyleUnderline) && !Style.Contains(FontStyleStrikeout))
      return;
    cairo_matrix_t fontMatrix;
    cairo_get_font_matrix(Cr, &fontMatrix);
    double em = fontMatrix.yy;
    double underlinePos = em / 10, thickness = 1;
    cairo_scaled_font_t* scaled = cairo_get_scaled_font(Cr);
    if (FT_Face face = cairo_ft_scaled_font_lock_face(scaled)) {
      if (face->units_per_EM > 0 && face->underline_position < 0) {
        underlinePos = -double(face->underline_position) * em / face->units_per_EM;
        thickness = double(face->underline_thickness) * em / face->units_per_EM;
      }
      cairo_ft_scaled_font_unlock_face(scaled);
    }
    double height = std::max(1.0, std::round(thickness));
    auto fillLine = [&](double Y) {
      cairo_rectangle(Cr, X, Y, Width, height);
      cairo_fill(Cr);
    };
    if (Style.Contains(FontStyleUnderline))
      fillLine(std::round(Baseline + underlinePos));
    if (Style.Contains(FontStyleStrikeout))
      fillLine(std::round(Baseline - em * 0.28));
  }

  std::shared_ptr<IGPImage> FImage; // keeps the surface alive
  TContextPtr FContext;
  int FWidth, FHeight;
  float FDpi = 96;
  TAffine FPage;  // page to surface pixels (a DC's origin)
  TAffine FWorld; // world to page
  std::shared_ptr<const TRegionNode> FClip; // page coordinates; none is infinite
  TSurfacePtr FClipMask;
  TGPSmoothingMode FSmoothing = SmoothingModeDefault;
  TGPPixelOffsetMode FPixelOffset = PixelOffsetModeDefault;
  TGPCompositingQuality FCompositingQuality = CompositingQualityDefault;
  TGPCompositingMode FCompositingMode = CompositingModeSourceOver;
  TGPTextRenderingHint FTextHint = TextRenderingHintSystemDefault;
  TGPInterpolationMode FInterpolation = InterpolationModeDefault;
};

// The point where the line through P along Direction meets the
// perpendicular through Q.
TGPPointF Project(TGPPointF P, double DX, double DY, TGPPointF Q)
{
  double t = ((Q.X - P.X) * DX + (Q.Y - P.Y) * DY) / (DX * DX + DY * DY);
  return {float(P.X + t * DX), float(P.Y + t * DY)};
}

std::shared_ptr<IGPLinearGradientBrush> GradientAlong(const TGPRectF& Rect, TGPColor Color1, TGPColor Color2,
                                                      double Degrees)
{
  CheckRect(Rect);
  CheckFinite({Degrees});
  if (Rect.Width == 0 || Rect.Height == 0)
    GdipCheck(InvalidParameter);
  double a = Degrees * std::numbers::pi / 180;
  double dx = std::cos(a), dy = std::sin(a);
  // The corners that project furthest back and forth along the direction.
  const TGPPointF corners[] = {{Rect.X, Rect.Y},
                               {Rect.X + Rect.Width, Rect.Y},
                               {Rect.X + Rect.Width, Rect.Y + Rect.Height},
                               {Rect.X, Rect.Y + Rect.Height}};
  const TGPPointF* first = &corners[0];
  const TGPPointF* last = &corners[0];
  for (const TGPPointF& c : corners) {
    if (c.X * dx + c.Y * dy < first->X * dx + first->Y * dy)
      first = &c;
    if (c.X * dx + c.Y * dy > last->X * dx + last->Y * dy)
      last = &c;
  }
  TGPPointF start = *first;
  TGPPointF end = Project(start, dx, dy, *last);
  return std::make_shared<TCairoLinearGradientBrush>(start, end, Color1, Color2, Rect);
}

} // namespace

EGdiplusException::EGdiplusException(TGPStatus AStatus) : Exception(StatusMessage(AStatus)), FStatus(AStatus)
{
}

void GdipCheck(TGPStatus Status)
{
  if (Status != Ok)
    throw EGdiplusException(Status);
}

TGPColor TGPColor::CreateFromColorRef(std::uint32_t ColorRef)
{
  if ((ColorRef & 0xFF000000u) == 0xFF000000u)
    ColorRef = Win::GetSysColor(int(ColorRef & 0xFF));
  return Create(255, Win::GetRValue(ColorRef), Win::GetGValue(ColorRef), Win::GetBValue(ColorRef));
}

std::shared_ptr<IGPSolidBrush> TGPSolidBrush::Create(TGPColor Color)
{
  return std::make_shared<TCairoSolidBrush>(Color);
}

std::shared_ptr<IGPFont> TGPFont::Create(const String& FamilyName, float EmSize, TGPFontStyle Style,
                                         TGPUnit Unit)
{
  if (!(EmSize > 0) || !std::isfinite(EmSize) || Unit == UnitDisplay)
    GdipCheck(InvalidParameter);
  return std::make_shared<TCairoFont>(FamilyName, EmSize, Style, Unit);
}

std::shared_ptr<IGPStringFormat> TGPStringFormat::Create(int FormatFlags)
{
  return std::make_shared<TCairoStringFormat>(FormatFlags);
}

std::shared_ptr<IGPLinearGradientBrush> TGPLinearGradientBrush::Create(TGPPointF Point1, TGPPointF Point2,
                                                                       TGPColor Color1, TGPColor Color2)
{
  CheckPoints({Point1, Point2}, 2);
  if (Point1 == Point2)
    GdipCheck(OutOfMemory); // what GDI+ answers for a gradient of no length
  TGPRectF rect(std::min(Point1.X, Point2.X), std::min(Point1.Y, Point2.Y), std::abs(Point2.X - Point1.X),
                std::abs(Point2.Y - Point1.Y));
  return std::make_shared<TCairoLinearGradientBrush>(Point1, Point2, Color1, Color2, rect);
}

std::shared_ptr<IGPLinearGradientBrush> TGPLinearGradientBrush::Create(const TGPRectF& Rect, TGPColor Color1,
                                                                       TGPColor Color2, TGPLinearGradientMode Mode)
{
  switch (Mode) {
  case LinearGradientModeHorizontal: return GradientAlong(Rect, Color1, Color2, 0);
  case LinearGradientModeVertical: return GradientAlong(Rect, Color1, Color2, 90);
  case LinearGradientModeForwardDiagonal: return GradientAlong(Rect, Color1, Color2, 45);
  case LinearGradientModeBackwardDiagonal: return GradientAlong(Rect, Color1, Color2, 135);
  }
  GdipCheck(InvalidParameter);
  return nullptr;
}

std::shared_ptr<IGPLinearGradientBrush> TGPLinearGradientBrush::Create(const TGPRectF& Rect, TGPColor Color1,
                                                                       TGPColor Color2, float Angle,
                                                                       bool IsAngleScalable)
{
  (void)IsAngleScalable;
  return GradientAlong(Rect, Color1, Color2, Angle);
}

std::shared_ptr<IGPPen> TGPPen::Create(TGPColor Color, float Width)
{
  return std::make_shared<TCairoPen>(TGPSolidBrush::Create(Color), Width);
}

std::shared_ptr<IGPPen> TGPPen::Create(const std::shared_ptr<IGPBrush>& Brush, float Width)
{
  if (!Brush)
    GdipCheck(InvalidParameter);
  return std::make_shared<TCairoPen>(Brush, Width);
}

std::shared_ptr<IGPFontFamily> TGPFontFamily::Create(const String& Name)
{
  if (Name.empty())
    GdipCheck(FontFamilyNotFound);
  return std::make_shared<TCairoFontFamily>(Name);
}

std::shared_ptr<IGPFont> TGPFont::Create(const std::shared_ptr<IGPFontFamily>& Family, float EmSize,
                                         TGPFontStyle Style, TGPUnit Unit)
{
  if (!Family)
    GdipCheck(InvalidParameter);
  return Create(Family->FamilyName(), EmSize, Style, Unit);
}

std::shared_ptr<IGPImageAttributes> TGPImageAttributes::Create()
{
  return std::make_shared<TCairoImageAttributes>();
}

std::shared_ptr<IGPBitmap> TGPBitmap::Create(int Width, int Height)
{
  return std::make_shared<TCairoBitmap>(Width, Height);
}

std::shared_ptr<IGPBitmap> TGPBitmap::FromHBITMAP(Win::HBITMAP Bitmap, bool WithAlpha)
{
  const std::uint32_t* bits = Win::BitmapBits(Bitmap);
  if (!bits)
    GdipCheck(InvalidParameter);
  int w = Win::BitmapWidth(Bitmap), h = Win::BitmapHeight(Bitmap);
  auto bitmap = std::make_shared<TCairoBitmap>(w, h, WithAlpha ? PixelFormat32bppARGB : PixelFormat32bppRGB);
  cairo_surface_t* surface = bitmap->Surface();
  cairo_surface_flush(surface);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = bits[std::size_t(y) * w + x];
      if (!WithAlpha) {
        p |= 0xFF000000u;
      } else { // premultiplied colour never exceeds its alpha
        TGPColor c(p);
        p = TGPColor::Create(c.A(), std::min(c.R(), c.A()), std::min(c.G(), c.A()), std::min(c.B(), c.A())).Argb();
      }
      Row(surface, y)[x] = p;
    }
  cairo_surface_mark_dirty(surface);
  return bitmap;
}

std::shared_ptr<IGPBitmap> TGPBitmap::FromArgb(int Width, int Height, const std::uint32_t* Pixels, int Stride)
{
  if (!Pixels || Stride < Width * 4)
    GdipCheck(InvalidParameter);
  auto bitmap = std::make_shared<TCairoBitmap>(Width, Height);
  cairo_surface_t* surface = bitmap->Surface();
  cairo_surface_flush(surface);
  for (int y = 0; y < Height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(Pixels) +
                                                             std::ptrdiff_t(y) * Stride);
    for (int x = 0; x < Width; ++x)
      Row(surface, y)[x] = PremultiplyArgb(row[x]);
  }
  cairo_surface_mark_dirty(surface);
  return bitmap;
}

std::shared_ptr<IGPGraphics> TGPGraphics::Create(const std::shared_ptr<IGPImage>& Image)
{
  auto* bitmap = dynamic_cast<TCairoBitmap*>(Image.get());
  if (!bitmap)
    GdipCheck(InvalidParameter);
  return std::make_shared<TCairoGraphics>(Image, bitmap->Surface());
}

std::shared_ptr<IGPGraphics> TGPGraphics::Create(Win::HDC DC)
{
  Win::TBitmapObject* bitmap = Win::DCSurface(DC);
  if (!bitmap || bitmap->Width <= 0 || bitmap->Height <= 0)
    GdipCheck(InvalidParameter);
  TSurfacePtr surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(bitmap->Pixels.data()),
                                                          CAIRO_FORMAT_ARGB32, bitmap->Width, bitmap->Height,
                                                          bitmap->Width * 4));
  CairoCheck(cairo_surface_status(surface.get()));
  auto graphics = std::make_shared<TCairoGraphics>(nullptr, surface.get());
  graphics->MapDevice(DC);
  return graphics;
}

} // namespace GdiPlus

#include "GdiPlus.hpp"

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
#include <string_view>
#include <tuple>
#include <vector>

namespace GdiPlus {

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

class TCairoBitmap final : public IGPBitmap {
public:
  TCairoBitmap(int AWidth, int AHeight)
  {
    if (AWidth <= 0 || AHeight <= 0)
      GdipCheck(InvalidParameter);
    FSurface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, AWidth, AHeight));
    CairoCheck(cairo_surface_status(FSurface.get()));
  }
  int Width() const override { return cairo_image_surface_get_width(FSurface.get()); }
  int Height() const override { return cairo_image_surface_get_height(FSurface.get()); }

  TGPColor GetPixel(int X, int Y) const override
  {
    cairo_surface_flush(FSurface.get());
    TGPColor p(*Pixel(X, Y));
    return TGPColor::Create(p.A(), Unpremultiply(p.R(), p.A()), Unpremultiply(p.G(), p.A()),
                            Unpremultiply(p.B(), p.A()));
  }
  void SetPixel(int X, int Y, TGPColor Color) override
  {
    cairo_surface_flush(FSurface.get());
    *Pixel(X, Y) = TGPColor::Create(Color.A(), Premultiply(Color.R(), Color.A()),
                                    Premultiply(Color.G(), Color.A()), Premultiply(Color.B(), Color.A()))
                     .Argb();
    cairo_surface_mark_dirty(FSurface.get());
  }
  cairo_surface_t* Surface() const { return FSurface.get(); }

private:
  std::uint32_t* Pixel(int X, int Y) const
  {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
      GdipCheck(InvalidParameter);
    unsigned char* row = cairo_image_surface_get_data(FSurface.get()) +
                         std::ptrdiff_t(Y) * cairo_image_surface_get_stride(FSurface.get());
    return reinterpret_cast<std::uint32_t*>(row) + X;
  }

  TSurfacePtr FSurface;
};

// ---- graphics ----------------------------------------------------------------------------

struct TContextDeleter {
  void operator()(cairo_t* Context) const { cairo_destroy(Context); }
};
using TContextPtr = std::unique_ptr<cairo_t, TContextDeleter>;

const TCairoSolidBrush& SolidBrush(const std::shared_ptr<IGPBrush>& Brush)
{
  auto* solid = dynamic_cast<const TCairoSolidBrush*>(Brush.get());
  if (!solid)
    GdipCheck(Brush ? NotImplemented : InvalidParameter);
  return *solid;
}

const TCairoFont& CairoFont(const std::shared_ptr<IGPFont>& Font)
{
  auto* font = dynamic_cast<const TCairoFont*>(Font.get());
  if (!font)
    GdipCheck(InvalidParameter);
  return *font;
}

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

class TCairoGraphics final : public IGPGraphics {
public:
  TCairoGraphics(std::shared_ptr<IGPImage> AImage, cairo_surface_t* Surface)
    : FImage(std::move(AImage)), FContext(cairo_create(Surface))
  {
    CairoCheck(cairo_status(FContext.get()));
    Win::HDC screen = Win::GetDC(nullptr);
    FDpi = float(Win::GetDeviceCaps(screen, Win::LOGPIXELSY));
    Win::ReleaseDC(nullptr, screen);
  }

  float DpiY() const override { return FDpi; }

  // Clips to the DC's region and maps its logical coordinates.
  void MapDevice(Win::HDC DC)
  {
    cairo_t* cr = FContext.get();
    Win::POINT offset = DC->SurfaceOffset;
    const Win::TRegion clip = Win::DCEffectiveClip(DC);
    for (const Win::RECT& r : clip.Rects())
      cairo_rectangle(cr, r.Left + offset.X, r.Top + offset.Y, r.Width(), r.Height());
    cairo_clip(cr);
    Win::POINT origin = Win::LPtoDevice(DC, Win::POINT(0, 0));
    cairo_translate(cr, origin.X + offset.X, origin.Y + offset.Y);
    Check();
  }

  void Clear(TGPColor Color) override
  {
    cairo_t* cr = FContext.get();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetSource(Color);
    cairo_paint(cr);
    cairo_restore(cr);
    Check();
  }

  void FillRectangle(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) override
  {
    cairo_t* cr = FContext.get();
    SetSource(SolidBrush(Brush).Color());
    cairo_rectangle(cr, Rect.X, Rect.Y, Rect.Width, Rect.Height);
    cairo_fill(cr);
    Check();
  }

  void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font, const TGPRectF& LayoutRect,
                  const std::shared_ptr<IGPStringFormat>& Format,
                  const std::shared_ptr<IGPBrush>& Brush) override
  {
    const TCairoFont& font = CairoFont(Font);
    TGPColor color = SolidBrush(Brush).Color();
    TCairoStringFormat defaults(0);
    const IGPStringFormat& format = Format ? *Format : defaults;
    double emSize = font.PixelSize(FDpi);
    if (!(emSize > 0) || !std::isfinite(emSize))
      GdipCheck(InvalidParameter);

    cairo_t* cr = FContext.get();
    cairo_save(cr);
    if (!(format.FormatFlags() & StringFormatFlagsNoClip) && LayoutRect.Width > 0 && LayoutRect.Height > 0) {
      cairo_rectangle(cr, LayoutRect.X, LayoutRect.Y, LayoutRect.Width, LayoutRect.Height);
      cairo_clip(cr);
    }
    cairo_set_font_face(cr, font.Face());
    cairo_set_font_size(cr, emSize);
    SetSource(color);
    bool wrap = !(format.FormatFlags() & StringFormatFlagsNoWrap) && LayoutRect.Width > 0;
    DrawLines(BreakLines(Text, wrap ? LayoutRect.Width : 0), font.Style(), LayoutRect, format);
    cairo_restore(cr);
    Check();
  }

private:
  void SetSource(TGPColor Color)
  {
    cairo_set_source_rgba(FContext.get(), Color.R() / 255.0, Color.G() / 255.0, Color.B() / 255.0,
                          Color.A() / 255.0);
  }

  void Check() { CairoCheck(cairo_status(FContext.get())); }

  double Advance(const String& Text)
  {
    cairo_text_extents_t extents;
    cairo_text_extents(FContext.get(), Text.c_str(), &extents);
    return extents.x_advance;
  }

  // Lines end at line feeds (a carriage return before one goes with it) and,
  // with a width, before a word that would pass it; a word longer than the
  // width keeps a line of its own.
  std::vector<String> BreakLines(const String& Text, double Width)
  {
    std::vector<String> lines;
    std::size_t start = 0;
    while (start <= Text.size()) {
      std::size_t end = Text.find('\n', start);
      if (end == String::npos)
        end = Text.size();
      WrapLine(Printable(std::string_view(Text).substr(start, end - start)), Width, lines);
      start = end + 1;
    }
    return lines;
  }

  void WrapLine(const String& Line, double Width, std::vector<String>& Lines)
  {
    if (Width <= 0 || Advance(Line) <= Width) {
      Lines.push_back(Line);
      return;
    }
    String current;
    std::size_t pos = 0;
    while (pos < Line.size()) {
      std::size_t space = Line.find(' ', pos);
      std::size_t end = space == String::npos ? Line.size() : space + 1;
      String word = Line.substr(pos, end - pos);
      if (!current.empty() && Advance(current + word) > Width) {
        Lines.push_back(current);
        current.clear();
      }
      current += word;
      pos = end;
    }
    Lines.push_back(current);
  }

  void DrawLines(const std::vector<String>& Lines, TGPFontStyle Style, const TGPRectF& Rect,
                 const IGPStringFormat& Format)
  {
    cairo_t* cr = FContext.get();
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    double lineHeight = fe.ascent + fe.descent;
    double y = Align(Format.LineAlignment(), Rect.Y, Rect.Height, lineHeight * double(Lines.size()));
    for (const String& line : Lines) {
      double width = Advance(line);
      double x = Align(Format.Alignment(), Rect.X, Rect.Width, width);
      double baseline = y + fe.ascent;
      cairo_move_to(cr, x, baseline);
      cairo_show_text(cr, line.c_str());
      DrawDecorations(Style, x, baseline, width);
      y += lineHeight;
    }
  }

  // Underline and strike-out as the face describes them, on whole pixels so
  // that they stay crisp.
  void DrawDecorations(TGPFontStyle Style, double X, double Baseline, double Width)
  {
    if (!Style.Contains(FontStyleUnderline) && !Style.Contains(FontStyleStrikeout))
      return;
    cairo_t* cr = FContext.get();
    cairo_matrix_t fontMatrix;
    cairo_get_font_matrix(cr, &fontMatrix);
    double em = fontMatrix.yy;
    double underlinePos = em / 10, thickness = 1;
    cairo_scaled_font_t* scaled = cairo_get_scaled_font(cr);
    if (FT_Face face = cairo_ft_scaled_font_lock_face(scaled)) {
      if (face->units_per_EM > 0 && face->underline_position < 0) {
        underlinePos = -double(face->underline_position) * em / face->units_per_EM;
        thickness = double(face->underline_thickness) * em / face->units_per_EM;
      }
      cairo_ft_scaled_font_unlock_face(scaled);
    }
    double height = std::max(1.0, std::round(thickness));
    if (Style.Contains(FontStyleUnderline))
      FillLine(X, std::round(Baseline + underlinePos), Width, height);
    if (Style.Contains(FontStyleStrikeout))
      FillLine(X, std::round(Baseline - em * 0.28), Width, height);
  }

  void FillLine(double X, double Y, double Width, double Height)
  {
    cairo_rectangle(FContext.get(), X, Y, Width, Height);
    cairo_fill(FContext.get());
  }

  std::shared_ptr<IGPImage> FImage; // keeps the surface alive
  TContextPtr FContext;
  float FDpi = 96;
};

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

std::shared_ptr<IGPBitmap> TGPBitmap::Create(int Width, int Height)
{
  return std::make_shared<TCairoBitmap>(Width, Height);
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

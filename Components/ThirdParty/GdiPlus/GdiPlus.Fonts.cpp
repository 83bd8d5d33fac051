// Fonts: faces resolved as the GDI text layer resolves them, and strings laid
// out in lines on a Cairo context.
#include "GdiPlus.Cairo.Internal.hpp"

#include <Win.Fonts.hpp>

#include <cairo-ft.h>
#include <unicode/utf8.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <tuple>

namespace GdiPlus {

using namespace Internal;

namespace {

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

class TCairoFontFamily final : public IGPFontFamily {
public:
  explicit TCairoFontFamily(String AName) : FName(std::move(AName)) {}
  String FamilyName() const override { return FName; }

private:
  String FName;
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

double Advance(cairo_t* Cr, const String& Text)
{
  cairo_text_extents_t extents;
  cairo_text_extents(Cr, Text.c_str(), &extents);
  return extents.x_advance;
}

void WrapLine(cairo_t* Cr, const String& Line, double Width, std::vector<String>& Lines)
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

// Lines end at line feeds and, with a width, before a word that would pass
// it; a word longer than the width keeps a line of its own.
std::vector<String> BreakLines(cairo_t* Cr, const String& Text, double Width)
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

} // namespace

namespace Internal {

TCairoFont::TCairoFont(const String& AFamily, float ASize, TGPFontStyle AStyle, TGPUnit AUnit)
  : FFamily(AFamily), FSize(ASize), FStyle(AStyle), FUnit(AUnit),
    FFace(cairo_font_face_reference(
      CachedFace(AFamily, AStyle.Contains(FontStyleBold), AStyle.Contains(FontStyleItalic))))
{
}

float TCairoFont::GetHeight(float Dpi) const
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

double TCairoFont::PixelSize(double Dpi) const
{
  switch (FUnit) {
  case UnitPoint: return FSize * Dpi / 72.0;
  case UnitInch: return FSize * Dpi;
  case UnitDocument: return FSize * Dpi / 300.0;
  case UnitMillimeter: return FSize * Dpi / 25.4;
  default: return FSize;
  }
}

const TCairoFont& CairoFont(const std::shared_ptr<IGPFont>& Font)
{
  auto* font = dynamic_cast<const TCairoFont*>(Font.get());
  if (!font)
    GdipCheck(InvalidParameter);
  return *font;
}

std::vector<TTextLine> LayoutText(cairo_t* Cr, const String& Text, const TGPRectF& Rect,
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

// On whole pixels so that they stay crisp.
void DrawDecorations(cairo_t* Cr, TGPFontStyle Style, double X, double Baseline, double Width)
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

} // namespace Internal

std::shared_ptr<IGPFont> TGPFont::Create(const String& FamilyName, float EmSize, TGPFontStyle Style,
                                         TGPUnit Unit)
{
  if (!(EmSize > 0) || !std::isfinite(EmSize) || Unit == UnitDisplay)
    GdipCheck(InvalidParameter);
  return std::make_shared<TCairoFont>(FamilyName, EmSize, Style, Unit);
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

} // namespace GdiPlus

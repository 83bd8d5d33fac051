#include "Win.Fonts.hpp"

#include "Win.Gdi.Internal.hpp"

#include <System.SysUtils.hpp>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace Win {

namespace {

constexpr const char* LastResortFamily = "DejaVu Sans";
constexpr int MaxEm = 1024;          // larger requests are realised at this size
constexpr int DefaultCellHeight = 16; // lfHeight 0
constexpr std::size_t FontCacheLimit = 96;

// Windows faces the components name, mapped to the installed family with
// the same role when the face itself is not installed.
const std::map<std::string, std::string>& WindowsFaceSubstitutes()
{
  static const std::map<std::string, std::string> table = {
      {"tahoma", "DejaVu Sans"},           {"ms sans serif", "DejaVu Sans"},
      {"microsoft sans serif", "DejaVu Sans"}, {"ms shell dlg", "DejaVu Sans"},
      {"ms shell dlg 2", "DejaVu Sans"},   {"segoe ui", "DejaVu Sans"},
      {"arial", "DejaVu Sans"},            {"verdana", "DejaVu Sans"},
      {"calibri", "DejaVu Sans"},          {"trebuchet ms", "DejaVu Sans"},
      {"system", "DejaVu Sans"},           {"courier new", "DejaVu Sans Mono"},
      {"courier", "DejaVu Sans Mono"},     {"consolas", "DejaVu Sans Mono"},
      {"lucida console", "DejaVu Sans Mono"}, {"fixedsys", "DejaVu Sans Mono"},
      {"terminal", "DejaVu Sans Mono"},    {"times new roman", "DejaVu Serif"},
      {"times", "DejaVu Serif"},           {"ms serif", "DejaVu Serif"},
      {"georgia", "DejaVu Serif"},         {"cambria", "DejaVu Serif"},
  };
  return table;
}

std::string Lower(std::string_view s)
{
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z')
      c = char(c - 'A' + 'a');
  return out;
}

std::string FaceName(const LOGFONT& lf)
{
  return std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
}

// FreeType's library outlives every face made from it: faces keep a reference.
struct TFreeType {
  FT_Library Library = nullptr;
  std::mutex Lock; // FT_New_Face / FT_Done_Face are not thread-safe on one library
  TFreeType()
  {
    if (FT_Init_FreeType(&Library) != 0)
      throw Vcl::Exception("FreeType could not be initialised");
  }
  ~TFreeType() { FT_Done_FreeType(Library); }
};

std::shared_ptr<TFreeType> FreeType()
{
  static std::shared_ptr<TFreeType> instance = std::make_shared<TFreeType>();
  return instance;
}

struct TFaceChoice {
  std::string File;
  int Index = 0;
  std::string Family;
};

std::string PatternString(FcPattern* p, const char* object, int n = 0)
{
  FcChar8* value = nullptr;
  if (FcPatternGetString(p, object, n, &value) != FcResultMatch || !value)
    return {};
  return reinterpret_cast<const char*>(value);
}

bool HasFamily(FcPattern* p, const std::string& family)
{
  const std::string wanted = Lower(family);
  for (int n = 0;; ++n) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, FC_FAMILY, n, &value) != FcResultMatch)
      return false;
    if (Lower(reinterpret_cast<const char*>(value)) == wanted)
      return true;
  }
}

int Weight(const LOGFONT& lf) { return lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp(lf.lfWeight, 1, 1000); }

// A request for an outline font of the family in the LOGFONT's weight and
// slant, with fontconfig's substitutions applied. The caller destroys it.
FcPattern* StylePattern(const std::string& family, const LOGFONT& lf)
{
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(Weight(lf)));
  FcPatternAddInteger(pattern, FC_SLANT, lf.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

// fontconfig's best match for the family and style; nullptr when it offers
// nothing of that family (fontconfig always answers with something).
FcPattern* MatchFamily(const std::string& family, const LOGFONT& lf)
{
  FcPattern* pattern = StylePattern(family, lf);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match && (!HasFamily(match, family) || PatternString(match, FC_FILE).empty())) {
    FcPatternDestroy(match);
    return nullptr;
  }
  return match;
}

std::string RoleFamily(const std::string& face, BYTE pitchAndFamily)
{
  const auto& table = WindowsFaceSubstitutes();
  if (auto it = table.find(Lower(face)); it != table.end())
    return it->second;
  if ((pitchAndFamily & 0x3) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN)
    return "DejaVu Sans Mono";
  if ((pitchAndFamily & 0xF0) == FF_ROMAN)
    return "DejaVu Serif";
  return LastResortFamily;
}

TFaceChoice ResolveFace(const LOGFONT& lf)
{
  static std::once_flag init;
  std::call_once(init, [] { FcInit(); });
  const std::string face = FaceName(lf);
  FcPattern* match = face.empty() ? nullptr : MatchFamily(face, lf);
  if (!match)
    match = MatchFamily(RoleFamily(face, lf.lfPitchAndFamily), lf);
  if (!match)
    match = MatchFamily(LastResortFamily, lf);
  if (!match)
    throw Vcl::Exception("No font is installed (" + face + ")");
  TFaceChoice choice;
  choice.File = PatternString(match, FC_FILE);
  choice.Family = PatternString(match, FC_FAMILY);
  FcPatternGetInteger(match, FC_INDEX, 0, &choice.Index);
  FcPatternDestroy(match);
  return choice;
}

// The first font in fontconfig's order of preference for the family and
// style that has the character; nothing when none has it.
std::optional<TFaceChoice> CoveringFace(const std::string& family, const LOGFONT& lf, char32_t ch)
{
  FcPattern* pattern = StylePattern(family, lf);
  FcResult result = FcResultNoMatch;
  FcFontSet* fonts = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
  FcPatternDestroy(pattern);
  std::optional<TFaceChoice> found;
  for (int i = 0; fonts && i < fonts->nfont && !found; ++i) {
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &charset) != FcResultMatch ||
        !FcCharSetHasChar(charset, ch) || PatternString(fonts->fonts[i], FC_FILE).empty())
      continue;
    found = TFaceChoice{PatternString(fonts->fonts[i], FC_FILE), 0, PatternString(fonts->fonts[i], FC_FAMILY)};
    FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &found->Index);
  }
  if (fonts)
    FcFontSetDestroy(fonts);
  return found;
}

struct TGlyphEntry {
  TRealizedFont* Source = nullptr; // the font the glyph comes from: the font itself or a fallback
  int Advance = -1; // -1: not loaded yet
  bool Rendered = false;
  ABC Abc;
  TGlyphImage Image;
  std::vector<std::uint8_t> Bits;
};

} // namespace

struct TRealizedFont {
  std::shared_ptr<TFreeType> Library;
  FT_Face Face = nullptr;
  std::string Family;
  TFontFile File;
  TFontMetrics Metrics;
  int BoldStrength = 0; // synthetic bold: extra pixels of stem and advance
  std::mutex Lock;      // one FT_Face is used by one thread at a time
  std::array<TGlyphEntry, 128> Ascii;
  std::unordered_map<char32_t, TGlyphEntry> Others;
  // Characters the face lacks come from other faces at the same em and
  // style. Fallbacks belong to this font alone and are used under its lock;
  // they have no fallbacks of their own.
  LOGFONT Log;
  bool IsFallback = false;
  std::map<std::string, std::unique_ptr<TRealizedFont>> Fallbacks; // by file

  ~TRealizedFont()
  {
    std::lock_guard guard(Library->Lock);
    FT_Done_Face(Face);
  }

  TGlyphEntry& Entry(char32_t ch) { return ch < Ascii.size() ? Ascii[ch] : Others[ch]; }
  TGlyphEntry& Loaded(char32_t ch);
  TGlyphEntry& Rendered(char32_t ch);
  FT_GlyphSlot LoadOutline(char32_t ch);
  TRealizedFont& SourceFor(char32_t ch);
  bool Aliased() const { return Log.lfQuality == NONANTIALIASED_QUALITY; }
};

namespace {

bool IsControl(char32_t ch) { return ch < 0x20; }

long Round(double v) { return std::lround(v); }

// Cell metrics as Win32 derives them from the OS/2 and hhea tables.
void ComputeMetrics(TRealizedFont& font, const LOGFONT& lf)
{
  FT_Face face = font.Face;
  const double upem = face->units_per_EM ? face->units_per_EM : 2048;
  const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const double winAscent = os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender;
  const double winDescent = os2 && os2->usWinAscent ? os2->usWinDescent : -face->descender;
  const double cellUnits = std::max(1.0, winAscent + winDescent);

  const long long request = lf.lfHeight;
  const long long cell = request == 0 ? DefaultCellHeight : request;
  const double emWanted = cell < 0 ? double(-cell) : double(cell) * upem / cellUnits;
  const int em = int(std::clamp<long>(Round(emWanted), 1, MaxEm));
  const double scale = em / upem;

  TFontMetrics& m = font.Metrics;
  m.Em = em;
  m.Ascent = int(Round(winAscent * scale));
  m.Descent = int(Round(winDescent * scale));
  if (cell > 0 && cell <= MaxEm) { // a cell height request is met exactly
    m.Ascent = int(Round(cell * winAscent / cellUnits));
    m.Descent = int(cell) - m.Ascent;
  }
  m.Height = m.Ascent + m.Descent;
  m.InternalLeading = std::max(0, m.Height - em);
  if (hhea) {
    const double hheaHeight = double(hhea->Ascender) - hhea->Descender;
    m.ExternalLeading = std::max(0, int(Round((hhea->Line_Gap - (cellUnits - hheaHeight)) * scale)));
    m.MaxCharWidth = int(Round(hhea->advance_Width_Max * scale));
  }
  m.AveCharWidth = os2 && os2->xAvgCharWidth > 0 ? int(Round(os2->xAvgCharWidth * scale)) : 0;
  m.UnderlineOffset = std::max(1, int(Round(-face->underline_position * scale)));
  m.UnderlineThickness = std::max(1, int(Round(face->underline_thickness * scale)));
  m.StrikeOutOffset = os2 && os2->yStrikeoutPosition > 0 ? int(Round(os2->yStrikeoutPosition * scale)) : m.Ascent / 3;
  m.StrikeOutThickness = os2 && os2->yStrikeoutSize > 0 ? std::max(1, int(Round(os2->yStrikeoutSize * scale)))
                                                        : m.UnderlineThickness;
  m.FixedPitch = FT_IS_FIXED_WIDTH(face);
  font.BoldStrength = m.SyntheticBold ? std::max(1, (em + 12) / 24) : 0;
  if (m.AveCharWidth > 0)
    m.AveCharWidth += font.BoldStrength;
  m.MaxCharWidth += font.BoldStrength;
}

BYTE FamilyClass(const std::string& family, bool fixedPitch)
{
  if (fixedPitch)
    return FF_MODERN;
  return Lower(family).find("serif") != std::string::npos && Lower(family).find("sans") == std::string::npos
             ? FF_ROMAN
             : FF_SWISS;
}

std::unique_ptr<TRealizedFont> OpenFont(const LOGFONT& lf, const TFaceChoice& choice, bool fallback = false)
{
  auto font = std::make_unique<TRealizedFont>();
  font->Library = FreeType();
  font->Log = lf;
  font->IsFallback = fallback;
  {
    std::lock_guard guard(font->Library->Lock);
    if (FT_New_Face(font->Library->Library, choice.File.c_str(), choice.Index, &font->Face) != 0)
      throw Vcl::Exception("Font file could not be opened: " + choice.File);
  }
  font->Family = choice.Family;
  font->File = {choice.File, choice.Index};
  // fontconfig reports the requested style for faces it would synthesise;
  // the face itself tells what it has.
  const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(font->Face, FT_SFNT_OS2));
  const bool faceBold = (font->Face->style_flags & FT_STYLE_FLAG_BOLD) || (os2 && os2->usWeightClass >= FW_SEMIBOLD);
  font->Metrics.SyntheticBold = lf.lfWeight >= FW_SEMIBOLD && !faceBold;
  font->Metrics.SyntheticItalic = lf.lfItalic && !(font->Face->style_flags & FT_STYLE_FLAG_ITALIC);
  ComputeMetrics(*font, lf);
  font->Metrics.Family = FamilyClass(choice.Family, font->Metrics.FixedPitch);
  if (FT_Set_Pixel_Sizes(font->Face, 0, FT_UInt(font->Metrics.Em)) != 0)
    throw Vcl::Exception("Font size could not be set: " + choice.File);
  if (font->Metrics.AveCharWidth == 0)
    font->Metrics.AveCharWidth = GlyphAdvance(*font, U'x');
  return font;
}

using TFontKey = std::tuple<std::string, int, int, int, int, bool>;

struct TFontCache {
  std::mutex Lock;
  std::map<TFontKey, std::shared_ptr<TRealizedFont>> Fonts;

  // Fonts no LOGFONT handle refers to any more go first.
  void Trim()
  {
    if (Fonts.size() < FontCacheLimit)
      return;
    std::erase_if(Fonts, [](const auto& entry) { return entry.second.use_count() == 1; });
  }
};

TFontCache& FontCache()
{
  static TFontCache* cache = new TFontCache; // fonts may be released during exit
  return *cache;
}

} // namespace

FT_GlyphSlot TRealizedFont::LoadOutline(char32_t ch)
{
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (Aliased() ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
  const FT_UInt index = FT_Get_Char_Index(Face, ch);
  if (FT_Load_Glyph(Face, index, flags) != 0 && FT_Load_Glyph(Face, 0, flags) != 0)
    return nullptr;
  return Face->glyph;
}

namespace {

// 8-bit coverage, one byte per pixel and no padding, from a gray or
// one-bit rendering.
bool CopyCoverage(const FT_Bitmap& bitmap, std::vector<std::uint8_t>& bits)
{
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
    return false;
  const std::size_t width = bitmap.width;
  bits.resize(width * bitmap.rows);
  for (std::size_t row = 0; row < bitmap.rows; ++row) {
    const std::uint8_t* src = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
    std::uint8_t* dst = &bits[row * width];
    for (std::size_t x = 0; x < width; ++x)
      dst[x] = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY ? src[x] : ((src[x / 8] >> (7 - x % 8)) & 1) * 255;
  }
  return true;
}

} // namespace

TRealizedFont& TRealizedFont::SourceFor(char32_t ch)
{
  if (IsFallback || FT_Get_Char_Index(Face, ch) != 0)
    return *this;
  const std::optional<TFaceChoice> choice = CoveringFace(Family, Log, ch);
  if (!choice)
    return *this; // its missing-glyph box
  std::unique_ptr<TRealizedFont>& fallback = Fallbacks[choice->File + '#' + std::to_string(choice->Index)];
  if (!fallback) {
    LOGFONT lf = Log;
    lf.lfHeight = -Metrics.Em;
    fallback = OpenFont(lf, *choice, true);
  }
  return *fallback;
}

TGlyphEntry& TRealizedFont::Loaded(char32_t ch)
{
  TGlyphEntry& entry = Entry(ch);
  if (entry.Advance >= 0)
    return entry;
  entry.Advance = 0;
  entry.Source = this;
  if (IsControl(ch))
    return entry;
  try {
    entry.Source = &SourceFor(ch);
  } catch (const Vcl::Exception&) { // an unreadable fallback file: the missing-glyph box
  }
  if (FT_GlyphSlot slot = entry.Source->LoadOutline(ch))
    entry.Advance = int((slot->linearHoriAdvance + 0x8000) >> 16) + entry.Source->BoldStrength;
  return entry;
}

TGlyphEntry& TRealizedFont::Rendered(char32_t ch)
{
  TGlyphEntry& entry = Loaded(ch);
  if (entry.Rendered)
    return entry;
  entry.Rendered = true;
  entry.Abc = ABC{0, 0, entry.Advance};
  TRealizedFont& source = *entry.Source;
  FT_GlyphSlot slot = IsControl(ch) ? nullptr : source.LoadOutline(ch);
  if (!slot || slot->format != FT_GLYPH_FORMAT_OUTLINE)
    return entry;
  if (source.Metrics.SyntheticItalic) {
    FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000}; // about 12 degrees
    FT_Outline_Transform(&slot->outline, &shear);
  }
  if (source.BoldStrength > 0)
    FT_Outline_EmboldenXY(&slot->outline, source.BoldStrength * 64, 0);
  if (FT_Render_Glyph(slot, Aliased() ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
    return entry;
  const FT_Bitmap& bitmap = slot->bitmap;
  const int width = int(bitmap.width), height = int(bitmap.rows);
  if (width == 0 || height == 0 || !CopyCoverage(bitmap, entry.Bits))
    return entry;
  entry.Image = TGlyphImage{slot->bitmap_left, slot->bitmap_top, width, height, entry.Bits.data()};
  entry.Abc = ABC{slot->bitmap_left, UINT(width), entry.Advance - slot->bitmap_left - width};
  return entry;
}

std::shared_ptr<TRealizedFont> RealizeFont(const LOGFONT& lf)
{
  const TFontKey key{Lower(FaceName(lf)), lf.lfHeight, Weight(lf),
                     lf.lfItalic != 0, lf.lfPitchAndFamily, lf.lfQuality == NONANTIALIASED_QUALITY};
  TFontCache& cache = FontCache();
  std::lock_guard guard(cache.Lock);
  if (auto it = cache.Fonts.find(key); it != cache.Fonts.end())
    return it->second;
  cache.Trim();
  std::shared_ptr<TRealizedFont> font = OpenFont(lf, ResolveFace(lf));
  cache.Fonts.emplace(key, font);
  return font;
}

namespace {

const LOGFONT& DefaultGuiLogFont()
{
  static const LOGFONT lf = [] {
    LOGFONT f;
    f.lfHeight = -11;
    std::strcpy(f.lfFaceName, "Tahoma");
    return f;
  }();
  return lf;
}

} // namespace

TRealizedFont& DCFont(HDC dc)
{
  static std::shared_ptr<TRealizedFont> fallback = RealizeFont(DefaultGuiLogFont());
  HFONT font = dc ? dc->State.Font : nullptr;
  if (!font)
    return *fallback;
  static std::mutex lock; // stock fonts are shared by every thread's DCs
  std::lock_guard guard(lock);
  if (!font->Realized)
    font->Realized = RealizeFont(font->Log);
  return *font->Realized;
}

const LOGFONT& DCLogFont(HDC dc)
{
  HFONT font = dc ? dc->State.Font : nullptr;
  return font ? font->Log : DefaultGuiLogFont();
}

const TFontMetrics& FontMetrics(const TRealizedFont& font) { return font.Metrics; }

const std::string& FontFamily(const TRealizedFont& font) { return font.Family; }

const TFontFile& FontFile(const TRealizedFont& font) { return font.File; }

int GlyphAdvance(TRealizedFont& font, char32_t ch)
{
  std::lock_guard guard(font.Lock);
  return font.Loaded(ch).Advance;
}

TGlyphImage GlyphImage(TRealizedFont& font, char32_t ch)
{
  std::lock_guard guard(font.Lock);
  return font.Rendered(ch).Image;
}

ABC GlyphABC(TRealizedFont& font, char32_t ch)
{
  std::lock_guard guard(font.Lock);
  return font.Rendered(ch).Abc;
}

int TextAdvance(TRealizedFont& font, std::string_view text)
{
  std::lock_guard guard(font.Lock);
  const char* p = text.data();
  const char* end = p + text.size();
  long long width = 0;
  while (p < end) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) { // the common case without the decoder
      TGlyphEntry& entry = font.Ascii[byte];
      width += entry.Advance >= 0 ? entry.Advance : font.Loaded(byte).Advance;
      ++p;
      continue;
    }
    width += font.Loaded(Vcl::NextUtf8Char(p, end)).Advance;
  }
  return ClampCoord(width);
}

} // namespace Win

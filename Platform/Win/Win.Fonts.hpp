// The font engine behind the GDI text calls: resolves LOGFONTs to installed
// faces (fontconfig), realises them at a pixel size (FreeType) and caches
// metrics, advances and anti-aliased glyph coverage. The graphics object layer
// draws its text in the same faces.
#pragma once

#include "Win.Gdi.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Win {

struct TFontMetrics {
  int Ascent = 0;
  int Descent = 0;
  int Height = 0; // Ascent + Descent
  int Em = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int UnderlineOffset = 0; // top of the underline, pixels below the baseline
  int UnderlineThickness = 1;
  int StrikeOutOffset = 0; // top of the strike-out line, pixels above the baseline
  int StrikeOutThickness = 1;
  bool FixedPitch = false;
  BYTE Family = 0; // FF_SWISS, FF_ROMAN, FF_MODERN
  bool SyntheticBold = false;
  bool SyntheticItalic = false;
};

// 8-bit coverage of one glyph placed relative to the pen position on the
// baseline: the top-left pixel is (pen x + Left, baseline - Top).
struct TGlyphImage {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  const std::uint8_t* Coverage = nullptr; // Width bytes per row
};

struct TRealizedFont;

// Never null: a face that cannot be resolved falls back to DejaVu Sans.
// Raises Vcl::Exception only when no usable font is installed at all.
std::shared_ptr<TRealizedFont> RealizeFont(const LOGFONT& lf);
// The DC's font, realised on first use; the default GUI font when none is selected.
TRealizedFont& DCFont(HDC dc);
// The LOGFONT of the DC's font (underline and strike-out live there).
const LOGFONT& DCLogFont(HDC dc);

const TFontMetrics& FontMetrics(const TRealizedFont& font);
const std::string& FontFamily(const TRealizedFont& font);
// The file (and face within it) the font was resolved to, for other
// renderers that must draw with the same face.
struct TFontFile {
  std::string Path;
  int Index = 0;
};
const TFontFile& FontFile(const TRealizedFont& font);
// Advance in whole pixels; 0 for C0 control characters.
int GlyphAdvance(TRealizedFont& font, char32_t ch);
// Nothing (Width 0) for blanks and control characters. The coverage stays
// valid as long as the font.
TGlyphImage GlyphImage(TRealizedFont& font, char32_t ch);
ABC GlyphABC(TRealizedFont& font, char32_t ch);
// Sum of the advances of UTF-8 text, at most CoordLimit.
int TextAdvance(TRealizedFont& font, std::string_view text);

// Within the text calls' coordinate space (CoordLimit).
constexpr int ClampCoord(long long v) { return int(v < -CoordLimit ? -CoordLimit : v > CoordLimit ? CoordLimit : v); }

} // namespace Win

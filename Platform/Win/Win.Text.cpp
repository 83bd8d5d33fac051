// Text measuring and single-run drawing (GetTextMetrics ... ExtTextOut).
#include "Win.Text.Internal.hpp"

#include "Win.Fonts.hpp"
#include "Win.Gdi.Internal.hpp"

#include <System.SysUtils.hpp>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace Win {

namespace {

bool ValidText(const char* text, int count) { return count >= 0 && (text || count == 0); }

RECT Intersection(const RECT& a, const RECT& b)
{
  return RECT(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
              std::min(a.Bottom, b.Bottom));
}

bool IsEmpty(const RECT& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// The coverage of a whole run inside the visible area, composed glyph by
// glyph, so that the DC's clip is worked out once per run rather than once
// per glyph.
class TRunMask {
public:
  explicit TRunMask(const RECT& area) : FArea(area), FWidth(area.Width())
  {
    FCoverage.assign(std::size_t(FWidth) * std::size_t(area.Height()), 0);
  }
  void Add(const TGlyphImage& glyph, long long x, long long y)
  {
    const long long left = std::max<long long>(x, FArea.Left), right = std::min<long long>(x + glyph.Width, FArea.Right);
    const long long top = std::max<long long>(y, FArea.Top), bottom = std::min<long long>(y + glyph.Height, FArea.Bottom);
    if (left >= right)
      return;
    const std::size_t count = std::size_t(right - left);
    for (long long row = top; row < bottom; ++row) {
      const std::uint8_t* src = glyph.Coverage + (row - y) * glyph.Width + (left - x);
      std::uint8_t* dst = &FCoverage[std::size_t(row - FArea.Top) * std::size_t(FWidth) + std::size_t(left - FArea.Left)];
      for (std::size_t i = 0; i < count; ++i) {
        const unsigned sum = unsigned(dst[i]) + src[i];
        dst[i] = std::uint8_t(sum > 255 ? 255 : sum); // overlapping glyphs saturate
      }
    }
  }
  void Blend(HDC dc, COLORREF color) const
  {
    DCBlendMask(dc, FArea.Left, FArea.Top, FCoverage.data(), FWidth, FArea.Height(), FWidth, color);
  }

private:
  RECT FArea;
  int FWidth;
  std::vector<std::uint8_t> FCoverage;
};

struct TPlacedGlyph {
  TGlyphImage Image;
  long long X, Y;
};

void DrawGlyphs(HDC dc, TRealizedFont& font, const TTextRun& run, int baseline)
{
  std::vector<TPlacedGlyph> glyphs;
  long long left = std::numeric_limits<int>::max(), right = std::numeric_limits<int>::min();
  long long top = left, bottom = right;
  const char* p = run.Text.data();
  const char* end = p + run.Text.size();
  long long pen = run.X;
  for (std::size_t i = 0; p < end; ++i) {
    const char32_t ch = Vcl::NextUtf8Char(p, end);
    const TPlacedGlyph g{GlyphImage(font, ch), pen, baseline};
    pen += run.Dx ? run.Dx[i] : GlyphAdvance(font, ch);
    if (g.Image.Width == 0)
      continue;
    glyphs.push_back({g.Image, g.X + g.Image.Left, g.Y - g.Image.Top});
    left = std::min(left, glyphs.back().X);
    right = std::max(right, glyphs.back().X + g.Image.Width);
    top = std::min(top, glyphs.back().Y);
    bottom = std::max(bottom, glyphs.back().Y + g.Image.Height);
  }
  // Only the ink that can show: within the DC's clip and the run's own.
  RECT area = DCEffectiveClip(dc).Box();
  if (run.Clip)
    area = Intersection(area, *run.Clip);
  area = RECT(int(std::max<long long>(area.Left, left)), int(std::max<long long>(area.Top, top)),
              int(std::min<long long>(area.Right, right)), int(std::min<long long>(area.Bottom, bottom)));
  if (IsEmpty(area))
    return;
  TRunMask mask(area);
  for (const TPlacedGlyph& g : glyphs)
    mask.Add(g.Image, g.X, g.Y);
  mask.Blend(dc, dc->State.TextColor);
}

} // namespace

void FillDeviceRectClipped(HDC dc, const RECT& rect, const RECT* clip, COLORREF color)
{
  const RECT box = clip ? Intersection(rect, *clip) : rect;
  if (!IsEmpty(box))
    DCFillDeviceRect(dc, box, color);
}

void DrawTextRun(HDC dc, const TTextRun& run)
{
  if (!DCSurface(dc))
    return;
  TRealizedFont& font = DCFont(dc);
  const TFontMetrics& m = FontMetrics(font);
  const LOGFONT& lf = DCLogFont(dc);
  const COLORREF color = dc->State.TextColor;
  const int width = run.Width;
  const int baseline = run.Y + m.Ascent;
  if (run.Opaque)
    FillDeviceRectClipped(dc, RECT(run.X, run.Y, run.X + width, run.Y + m.Height), run.Clip, dc->State.BkColor);
  DrawGlyphs(dc, font, run, baseline);
  if (lf.lfUnderline)
    FillDeviceRectClipped(dc, RECT(run.X, baseline + m.UnderlineOffset, run.X + width,
                                   baseline + m.UnderlineOffset + m.UnderlineThickness), run.Clip, color);
  if (lf.lfStrikeOut)
    FillDeviceRectClipped(dc, RECT(run.X, baseline - m.StrikeOutOffset, run.X + width,
                                   baseline - m.StrikeOutOffset + m.StrikeOutThickness), run.Clip, color);
}

void DrawPrefixUnderline(HDC dc, int x, int y, int width, const RECT* clip)
{
  if (!DCSurface(dc))
    return;
  const TFontMetrics& m = FontMetrics(DCFont(dc));
  const int top = y + m.Ascent + m.UnderlineOffset;
  FillDeviceRectClipped(dc, RECT(x, top, x + width, top + m.UnderlineThickness), clip, dc->State.TextColor);
}

HFONT CreateFontIndirect(const LOGFONT& lf)
{
  auto font = std::make_unique<TFontObject>();
  font->Log = lf;
  font->Log.lfFaceName[LF_FACESIZE - 1] = '\0';
  try {
    font->Realized = RealizeFont(font->Log);
  } catch (const std::exception&) {
    return nullptr;
  }
  return font.release();
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm)
{
  if (!LiveDC(dc) || !tm)
    return FALSE;
  const TFontMetrics& m = FontMetrics(DCFont(dc));
  const LOGFONT& lf = DCLogFont(dc);
  *tm = TEXTMETRIC{};
  tm->tmHeight = m.Height;
  tm->tmAscent = m.Ascent;
  tm->tmDescent = m.Descent;
  tm->tmInternalLeading = m.InternalLeading;
  tm->tmExternalLeading = m.ExternalLeading;
  tm->tmAveCharWidth = m.AveCharWidth;
  tm->tmMaxCharWidth = m.MaxCharWidth;
  tm->tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
  tm->tmItalic = lf.lfItalic ? 1 : 0;
  tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  tm->tmPitchAndFamily = BYTE((m.FixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | m.Family);
  tm->tmCharSet = lf.lfCharSet;
  return TRUE;
}

BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size)
{
  if (!LiveDC(dc) || !size || !ValidText(text, count))
    return FALSE;
  TRealizedFont& font = DCFont(dc);
  *size = SIZE(count ? TextAdvance(font, std::string_view(text, std::size_t(count))) : 0, FontMetrics(font).Height);
  return TRUE;
}

BOOL GetCharABCWidths(HDC dc, UINT firstChar, UINT lastChar, ABC* abc)
{
  if (!LiveDC(dc) || !abc || lastChar < firstChar)
    return FALSE;
  TRealizedFont& font = DCFont(dc);
  for (UINT ch = firstChar;; ++ch) {
    *abc++ = GlyphABC(font, char32_t(ch));
    if (ch == lastChar)
      return TRUE;
  }
}

BOOL GetCharWidth32(HDC dc, UINT firstChar, UINT lastChar, int* widths)
{
  if (!LiveDC(dc) || !widths || lastChar < firstChar)
    return FALSE;
  TRealizedFont& font = DCFont(dc);
  for (UINT ch = firstChar;; ++ch) {
    *widths++ = GlyphAdvance(font, char32_t(ch));
    if (ch == lastChar)
      return TRUE;
  }
}

int GetTextFace(HDC dc, int count, char* faceName)
{
  if (!LiveDC(dc))
    return 0;
  const std::string& family = FontFamily(DCFont(dc));
  if (!faceName)
    return int(family.size()) + 1;
  if (count <= 0)
    return 0;
  const std::size_t copied = std::min(family.size(), std::size_t(count - 1));
  std::memcpy(faceName, family.data(), copied);
  faceName[copied] = '\0';
  return int(copied) + 1;
}

UINT SetTextAlign(HDC dc, UINT align)
{
  if (!LiveDC(dc))
    return GDI_ERROR;
  const UINT old = dc->State.TextAlign;
  dc->State.TextAlign = align;
  return old;
}

UINT GetTextAlign(HDC dc) { return LiveDC(dc) ? dc->State.TextAlign : GDI_ERROR; }

BOOL TextOut(HDC dc, int x, int y, const char* text, int count)
{
  return ExtTextOut(dc, x, y, 0, nullptr, text, count, nullptr);
}

namespace {

int RunWidth(TRealizedFont& font, std::string_view text, const int* dx)
{
  if (!dx)
    return TextAdvance(font, text);
  long long width = 0;
  const char* p = text.data();
  const char* end = p + text.size();
  for (std::size_t i = 0; p < end; ++i, Vcl::NextUtf8Char(p, end))
    width += dx[i];
  return ClampCoord(width);
}

// The cell's top-left corner for a reference point under the alignment flags.
POINT CellOrigin(POINT ref, UINT align, int width, const TFontMetrics& m)
{
  POINT origin = ref;
  if ((align & TA_CENTER) == TA_CENTER)
    origin.X -= width / 2;
  else if ((align & TA_CENTER) == TA_RIGHT)
    origin.X -= width;
  if ((align & TA_BASELINE) == TA_BASELINE)
    origin.Y -= m.Ascent;
  else if ((align & TA_BASELINE) == TA_BOTTOM)
    origin.Y -= m.Height;
  return origin;
}

} // namespace

POINT ClampPoint(POINT p) { return POINT(ClampCoord(p.X), ClampCoord(p.Y)); }

RECT ClampRect(const RECT& r) { return RECT(ClampPoint(r.TopLeft()), ClampPoint(r.BottomRight())); }

RECT DeviceRect(HDC dc, const RECT& r)
{
  return ClampRect(RECT(LPtoDevice(dc, r.TopLeft()), LPtoDevice(dc, r.BottomRight())));
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int count, const int* dx)
{
  if (!LiveDC(dc) || !ValidText(text, count))
    return FALSE;
  TRealizedFont& font = DCFont(dc);
  const TFontMetrics& m = FontMetrics(font);
  const std::string_view run(text ? text : "", std::size_t(count));
  const int width = RunWidth(font, run, dx);
  const UINT align = dc->State.TextAlign;
  const bool updateCP = (align & TA_UPDATECP) != 0;
  const POINT ref = ClampPoint(updateCP ? dc->State.CurrentPos : POINT(x, y));
  const POINT origin = ClampPoint(LPtoDevice(dc, CellOrigin(ref, align, width, m)));
  if (updateCP && (align & TA_CENTER) != TA_CENTER)
    dc->State.CurrentPos.X = ClampCoord(ref.X + (long long)((align & TA_CENTER) == TA_RIGHT ? -width : width));
  if (!DCSurface(dc))
    return TRUE;
  RECT clip;
  if (rect) {
    clip = DeviceRect(dc, *rect);
    if (options & ETO_OPAQUE)
      FillDeviceRectClipped(dc, clip, nullptr, dc->State.BkColor);
  }
  TTextRun textRun;
  textRun.X = origin.X;
  textRun.Y = origin.Y;
  textRun.Width = width;
  textRun.Text = run;
  textRun.Dx = dx;
  textRun.Opaque = dc->State.BkMode == OPAQUE;
  textRun.Clip = rect && (options & ETO_CLIPPED) ? &clip : nullptr;
  DrawTextRun(dc, textRun);
  return TRUE;
}

} // namespace Win

// DrawText and DrawTextEx: prefixes, line breaking, tabs, ellipses,
// alignment and clipping with Win32's rules.
#include "Win.Fonts.hpp"
#include "Win.Gdi.Internal.hpp"
#include "Win.Text.Internal.hpp"

#include <System.SysUtils.hpp>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace Win {

namespace {

constexpr std::string_view Ellipsis = "...";

// The text after "&" processing; Prefixes are the byte offsets of the
// characters to underline.
struct TPrefixedText {
  std::string Text;
  std::vector<std::size_t> Prefixes;
};

struct TLine {
  std::string Text;
  std::vector<std::size_t> Prefixes;
  int Width = 0;
};

struct TLayout {
  TRealizedFont* Font = nullptr;
  UINT Format = 0;
  int TabWidth = 0; // 0: tabs are control characters without width
  int Avail = 0;    // the width a line may take
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int AdvanceOne(const TLayout& layout, int x, char32_t ch)
{
  if (ch == U'\t' && layout.TabWidth > 0)
    return ClampCoord((x / layout.TabWidth + 1) * (long long)layout.TabWidth);
  return ClampCoord((long long)x + GlyphAdvance(*layout.Font, ch));
}

// The pen position after the text when it starts at x.
int Advance(const TLayout& layout, int x, std::string_view text)
{
  if (layout.TabWidth <= 0 || text.find('\t') == std::string_view::npos)
    return ClampCoord((long long)x + TextAdvance(*layout.Font, text));
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end)
    x = AdvanceOne(layout, x, Vcl::NextUtf8Char(p, end));
  return x;
}

// Length in bytes of the longest leading part of the text no wider than
// avail, ending on a character boundary.
std::size_t FittingPrefix(const TLayout& layout, std::string_view text, int avail)
{
  const char* p = text.data();
  const char* end = p + text.size();
  std::size_t fit = 0;
  for (int x = 0; p < end;) {
    x = AdvanceOne(layout, x, Vcl::NextUtf8Char(p, end));
    if (x > avail)
      break;
    fit = std::size_t(p - text.data());
  }
  return fit;
}

TPrefixedText ProcessPrefixes(std::string_view text, UINT format)
{
  TPrefixedText out;
  if (format & DT_NOPREFIX) {
    out.Text = text;
    return out;
  }
  out.Text.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.Text += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '&')
      out.Text += text[++i];
    else if (i + 1 < text.size())
      out.Prefixes.push_back(out.Text.size());
  }
  return out;
}

TLine MakeLine(const TPrefixedText& source, std::size_t begin, std::size_t end)
{
  TLine line;
  line.Text = source.Text.substr(begin, end - begin);
  for (std::size_t p : source.Prefixes)
    if (p >= begin && p < end)
      line.Prefixes.push_back(p - begin);
  return line;
}

// One character at least, however narrow the line.
std::size_t CharacterBreak(const TLayout& layout, std::string_view text, std::size_t start, std::size_t end)
{
  const std::string_view rest = text.substr(start, end - start);
  std::size_t fit = FittingPrefix(layout, rest, layout.Avail);
  if (fit == 0) {
    const char* p = rest.data();
    Vcl::NextUtf8Char(p, rest.data() + rest.size());
    fit = std::size_t(p - rest.data());
  }
  return start + fit;
}

// Where the line that starts at start ends: after the last word that fits,
// or after an over-long first word (which DT_EDITCONTROL breaks instead).
std::size_t BreakLine(const TLayout& layout, std::string_view text, std::size_t start, std::size_t end)
{
  std::size_t fitEnd = std::string_view::npos;
  int x = 0;
  for (std::size_t i = start; i < end;) {
    std::size_t wordEnd = i;
    while (wordEnd < end && !IsBlank(text[wordEnd]))
      ++wordEnd;
    const int xWord = Advance(layout, x, text.substr(i, wordEnd - i));
    if (xWord > layout.Avail && fitEnd != std::string_view::npos)
      return fitEnd;
    if (xWord > layout.Avail)
      return layout.Format & DT_EDITCONTROL ? CharacterBreak(layout, text, start, wordEnd) : wordEnd;
    std::size_t blankEnd = wordEnd;
    while (blankEnd < end && IsBlank(text[blankEnd]))
      ++blankEnd;
    x = Advance(layout, xWord, text.substr(wordEnd, blankEnd - wordEnd));
    if (wordEnd > i)
      fitEnd = wordEnd;
    i = blankEnd;
  }
  return end;
}

void AddParagraph(const TLayout& layout, const TPrefixedText& source, std::size_t begin, std::size_t end,
                  std::vector<TLine>& lines)
{
  if (!(layout.Format & DT_WORDBREAK) || begin == end) {
    lines.push_back(MakeLine(source, begin, end));
    return;
  }
  for (std::size_t start = begin; start < end;) {
    const std::size_t lineEnd = BreakLine(layout, source.Text, start, end);
    lines.push_back(MakeLine(source, start, lineEnd));
    start = lineEnd;
    while (start < end && IsBlank(source.Text[start])) // blanks at a wrap vanish
      ++start;
  }
}

// Lines split at CR, LF and CR LF; a break at the very end adds no line.
std::vector<TLine> SplitLines(const TLayout& layout, const TPrefixedText& source)
{
  std::vector<TLine> lines;
  const std::string& s = source.Text;
  if (s.empty())
    return lines;
  if (layout.Format & DT_SINGLELINE) {
    AddParagraph(layout, source, 0, s.size(), lines);
    return lines;
  }
  std::size_t begin = 0;
  while (begin < s.size()) {
    std::size_t end = s.find_first_of("\r\n", begin);
    if (end == std::string::npos)
      end = s.size();
    AddParagraph(layout, source, begin, end, lines);
    begin = end + (s.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

void KeepPrefix(TLine& line, std::size_t keep, std::string_view suffix)
{
  line.Text = line.Text.substr(0, keep) + std::string(suffix);
  std::erase_if(line.Prefixes, [keep](std::size_t p) { return p >= keep; });
}

void EndEllipsis(const TLayout& layout, TLine& line, int ellipsisWidth)
{
  KeepPrefix(line, FittingPrefix(layout, line.Text, layout.Avail - ellipsisWidth), Ellipsis);
}

// Whole words where possible; a single over-long word is cut like the end.
void WordEllipsis(const TLayout& layout, TLine& line, int ellipsisWidth)
{
  std::size_t keep = FittingPrefix(layout, line.Text, layout.Avail - ellipsisWidth);
  if (keep < line.Text.size() && !IsBlank(line.Text[keep])) {
    const std::size_t blank = line.Text.find_last_of(" \t", keep);
    if (blank != std::string::npos)
      keep = blank;
  }
  while (keep > 0 && IsBlank(line.Text[keep - 1]))
    --keep;
  KeepPrefix(line, keep, Ellipsis);
}

// The last path component is kept and the ellipsis replaces the end of the
// part before it.
void PathEllipsis(const TLayout& layout, TLine& line, int ellipsisWidth)
{
  const std::size_t separator = line.Text.find_last_of("\\/");
  if (separator == std::string::npos || separator == 0) {
    EndEllipsis(layout, line, ellipsisWidth);
    return;
  }
  const std::string tail = line.Text.substr(separator);
  const int room = layout.Avail - ellipsisWidth - Advance(layout, 0, tail);
  const std::size_t keep = room > 0 ? FittingPrefix(layout, std::string_view(line.Text).substr(0, separator), room) : 0;
  KeepPrefix(line, keep, std::string(Ellipsis) + tail);
  if (Advance(layout, 0, line.Text) > layout.Avail)
    EndEllipsis(layout, line, ellipsisWidth);
}

void FitLine(const TLayout& layout, TLine& line)
{
  line.Width = Advance(layout, 0, line.Text);
  if (line.Width <= layout.Avail)
    return;
  const int ellipsisWidth = TextAdvance(*layout.Font, Ellipsis);
  if (layout.Format & DT_PATH_ELLIPSIS)
    PathEllipsis(layout, line, ellipsisWidth);
  else if (layout.Format & DT_WORD_ELLIPSIS)
    WordEllipsis(layout, line, ellipsisWidth);
  else if (layout.Format & DT_END_ELLIPSIS)
    EndEllipsis(layout, line, ellipsisWidth);
  else
    return;
  line.Width = Advance(layout, 0, line.Text);
}

// Per code point advances of a line with tab stops (ExtTextOut's dx).
std::vector<int> TabbedAdvances(const TLayout& layout, std::string_view text)
{
  std::vector<int> dx;
  const char* p = text.data();
  const char* end = p + text.size();
  for (int x = 0; p < end;) {
    const int next = AdvanceOne(layout, x, Vcl::NextUtf8Char(p, end));
    dx.push_back(next - x);
    x = next;
  }
  return dx;
}

int LineLeft(const RECT& area, int width, UINT format)
{
  if (format & DT_CENTER)
    return area.Left + (area.Width() - width) / 2;
  if (format & DT_RIGHT)
    return area.Right - width;
  return area.Left;
}

void DrawLine(HDC dc, const TLayout& layout, const TLine& line, POINT origin, const RECT* clip)
{
  const POINT device = ClampPoint(LPtoDevice(dc, origin));
  if (!(layout.Format & DT_PREFIXONLY)) {
    const bool tabbed = layout.TabWidth > 0 && line.Text.find('\t') != std::string::npos;
    const std::vector<int> dx = tabbed ? TabbedAdvances(layout, line.Text) : std::vector<int>();
    TTextRun run;
    run.X = device.X;
    run.Y = device.Y;
    run.Width = line.Width;
    run.Text = line.Text;
    run.Dx = tabbed ? dx.data() : nullptr;
    run.Opaque = dc->State.BkMode == OPAQUE;
    run.Clip = clip;
    DrawTextRun(dc, run);
  }
  if (layout.Format & DT_HIDEPREFIX)
    return;
  for (std::size_t p : line.Prefixes) {
    const std::string_view rest = std::string_view(line.Text).substr(p);
    const char* q = rest.data();
    const char32_t ch = Vcl::NextUtf8Char(q, rest.data() + rest.size());
    const int x = Advance(layout, 0, std::string_view(line.Text).substr(0, p));
    DrawPrefixUnderline(dc, device.X + x, device.Y, AdvanceOne(layout, x, ch) - x, clip);
  }
}

int TabCharacters(UINT format, const DRAWTEXTPARAMS* params)
{
  if (!(format & DT_TABSTOP))
    return 8;
  if (params)
    return params->iTabLength > 0 ? std::min(params->iTabLength, 0xFFFF) : 8;
  return int((format >> 8) & 0xFF);
}

// The flags as they take effect.
UINT EffectiveFormat(UINT format, const DRAWTEXTPARAMS* params)
{
  if ((format & DT_TABSTOP) && !params) // the tab size took the byte of these flags
    format &= ~UINT(0xFF00);
  if (format & DT_SINGLELINE)
    format &= ~DT_WORDBREAK;
  return format;
}

// The text laid out in lines that fit the area's width.
struct TTextBlock {
  TLayout Layout;
  std::vector<TLine> Lines;
  int LineHeight = 0;
  int MaxWidth = 0;
  int Height = 0;
};

TTextBlock LayOut(HDC dc, std::string_view text, UINT format, int tabCharacters, const RECT& area)
{
  TTextBlock block;
  TRealizedFont& font = DCFont(dc);
  const TFontMetrics& m = FontMetrics(font);
  block.LineHeight = std::max(1, m.Height + (format & DT_EXTERNALLEADING ? m.ExternalLeading : 0));
  block.Layout.Font = &font;
  block.Layout.Format = format;
  block.Layout.TabWidth = format & DT_EXPANDTABS ? ClampCoord((long long)tabCharacters * m.AveCharWidth) : 0;
  block.Layout.Avail = std::max(0, area.Width());
  block.Lines = SplitLines(block.Layout, ProcessPrefixes(text, format));
  for (TLine& line : block.Lines) {
    FitLine(block.Layout, line);
    block.MaxWidth = std::max(block.MaxWidth, line.Width);
  }
  block.Height = ClampCoord((long long)block.Lines.size() * block.LineHeight);
  return block;
}

// With the edit-control rules, wrapped text that runs past the bottom ends
// in an ellipsis on the last line that is wholly visible.
void EllipsizeLastVisibleLine(TTextBlock& block, int boxHeight)
{
  const UINT format = block.Layout.Format;
  if (!(format & DT_EDITCONTROL) || !(format & DT_WORDBREAK) || !(format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)))
    return;
  const std::size_t visible = std::max<std::size_t>(1, std::size_t(std::max(0, boxHeight)) / std::size_t(block.LineHeight));
  if (block.Lines.size() <= visible)
    return;
  block.Lines.resize(visible);
  TLine& last = block.Lines.back();
  const int ellipsisWidth = TextAdvance(*block.Layout.Font, Ellipsis);
  if (format & DT_WORD_ELLIPSIS)
    WordEllipsis(block.Layout, last, ellipsisWidth);
  else
    EndEllipsis(block.Layout, last, ellipsisWidth);
  last.Width = Advance(block.Layout, 0, last.Text);
}

// Where the first line goes: vertical alignment applies to a single line only.
int BlockTop(const RECT& box, int height, UINT format)
{
  if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
    return box.Top + (box.Height() - height) / 2;
  if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
    return box.Bottom - height;
  return box.Top;
}

void DrawBlock(HDC dc, const TTextBlock& block, const RECT& box, const RECT& area, int top)
{
  const UINT format = block.Layout.Format;
  const RECT clip = DeviceRect(dc, box);
  const RECT* clipping = format & DT_NOCLIP ? nullptr : &clip;
  for (std::size_t i = 0; i < block.Lines.size(); ++i) {
    const long long lineTop = top + (long long)i * block.LineHeight;
    if (lineTop > CoordLimit)
      return;
    if ((format & DT_EDITCONTROL) && i > 0 && lineTop + block.LineHeight > box.Bottom)
      return; // an edit control shows no partly visible last line
    const TLine& line = block.Lines[i];
    DrawLine(dc, block.Layout, line, POINT(LineLeft(area, line.Width, format), int(lineTop)), clipping);
  }
}

} // namespace

int DrawTextEx(HDC dc, const char* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params)
{
  if (!LiveDC(dc) || !rect || (params && params->cbSize != sizeof(DRAWTEXTPARAMS)))
    return 0;
  const std::size_t length = !text ? 0 : count < 0 ? std::strlen(text) : std::size_t(count);
  const int tabCharacters = TabCharacters(format, params);
  format = EffectiveFormat(format, params);
  const RECT box = ClampRect(*rect);
  const int leftMargin = ClampCoord(params ? params->iLeftMargin : 0);
  const int rightMargin = ClampCoord(params ? params->iRightMargin : 0);
  const RECT area(box.Left + leftMargin, box.Top, box.Right - rightMargin, box.Bottom);
  TTextBlock block = LayOut(dc, std::string_view(text ? text : "", length), format, tabCharacters, area);
  if (params)
    params->uiLengthDrawn = UINT(length);
  if (format & DT_CALCRECT) {
    rect->Right = ClampCoord((long long)box.Left + leftMargin + block.MaxWidth + rightMargin);
    rect->Bottom = box.Top + block.Height;
    return block.Height;
  }
  EllipsizeLastVisibleLine(block, box.Height());
  const int top = BlockTop(box, block.Height, format);
  if (DCSurface(dc))
    DrawBlock(dc, block, box, area, top);
  return (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)) ? top - box.Top + block.Height
                                                                           : block.Height;
}

int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format)
{
  return DrawTextEx(dc, text, count, rect, format, nullptr);
}

} // namespace Win

// Fonts and text with the installed DejaVu fonts: metrics, measuring,
// DrawText layout and the pixels TextOut and DrawText put down.
#include <QxSurface.hpp>
#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace Win;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);

LOGFONT Font(const char* face, int height, int weight = FW_NORMAL, bool italic = false)
{
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic ? 1 : 0;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

// A white surface with a font selected.
class TCanvas : public QxTest::TSurface {
public:
  explicit TCanvas(const LOGFONT& lf, int width = 200, int height = 60)
    : TSurface(width, height), FFont(CreateFontIndirect(lf)), FOldFont(SelectObject(DC, FFont))
  {
  }
  ~TCanvas()
  {
    SelectObject(DC, FOldFont);
    DeleteObject(FFont);
  }
  SIZE Extent(const std::string& text) const
  {
    SIZE size;
    EXPECT_TRUE(GetTextExtentPoint32(DC, text.data(), int(text.size()), &size));
    return size;
  }
  TEXTMETRIC Metrics() const
  {
    TEXTMETRIC tm;
    EXPECT_TRUE(GetTextMetrics(DC, &tm));
    return tm;
  }
  RECT CalcRect(const std::string& text, RECT rect, UINT format) const
  {
    DrawText(DC, text.c_str(), -1, &rect, format | DT_CALCRECT);
    return rect;
  }
  std::string Face() const
  {
    char face[LF_FACESIZE];
    GetTextFace(DC, LF_FACESIZE, face);
    return face;
  }

private:
  HFONT FFont;
  HGDIOBJ FOldFont;
};

} // namespace

TEST(TextMetrics, CellHeightIsAscentPlusDescentAndEmFollowsDpi)
{
  for (int dpi : {96, 120}) {
    const int em = MulDiv(8, dpi, 72);
    TCanvas canvas(Font("Tahoma", -em));
    const TEXTMETRIC tm = canvas.Metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em) << dpi;
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(canvas.Extent("Hg").cy, tm.tmHeight);
  }
  TCanvas at96(Font("Tahoma", -MulDiv(8, 96, 72)));
  TCanvas at120(Font("Tahoma", -MulDiv(8, 120, 72)));
  EXPECT_LT(at96.Metrics().tmHeight, at120.Metrics().tmHeight);
  EXPECT_LT(at96.Extent("Sample text").cx, at120.Extent("Sample text").cx);

  TCanvas cell(Font("Tahoma", 20)); // positive: the cell height itself
  EXPECT_EQ(cell.Metrics().tmHeight, 20);
  EXPECT_GT(cell.Metrics().tmInternalLeading, 0);
}

TEST(TextMetrics, WindowsFacesResolveToInstalledFamilies)
{
  const std::pair<const char*, const char*> cases[] = {
      {"Tahoma", "DejaVu Sans"},           {"MS Sans Serif", "DejaVu Sans"}, {"Segoe UI", "DejaVu Sans"},
      {"Courier New", "DejaVu Sans Mono"}, {"Consolas", "DejaVu Sans Mono"}, {"Times New Roman", "DejaVu Serif"},
      {"DejaVu Serif", "DejaVu Serif"},    {"No Such Face", "DejaVu Sans"},  {"", "DejaVu Sans"},
  };
  for (auto [face, family] : cases) {
    TCanvas canvas(Font(face, -11));
    EXPECT_EQ(canvas.Face(), family) << face;
  }
  TCanvas mono(Font("Courier New", -11));
  EXPECT_EQ(mono.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0); // set means variable pitch
  TCanvas sans(Font("Tahoma", -11));
  EXPECT_EQ(sans.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, TMPF_FIXED_PITCH);
}

TEST(TextMeasure, MonospaceWidthsAreExact)
{
  for (int em : {11, 13, 16, 24}) {
    TCanvas canvas(Font("DejaVu Sans Mono", -em));
    const int advance = (1233 * em + 1024) / 2048; // DejaVu Sans Mono's advance is 1233 of 2048 units
    int widths[3] = {};
    ASSERT_TRUE(GetCharWidth32(canvas.DC, 'i', 'k', widths));
    EXPECT_EQ(widths[0], advance);
    EXPECT_EQ(widths[2], advance);
    EXPECT_EQ(canvas.Extent("W").cx, advance);
    EXPECT_EQ(canvas.Extent("Hello, world").cx, 12 * advance) << em;
    EXPECT_EQ(canvas.Extent("").cx, 0);
  }
}

TEST(TextMeasure, StylesAndControlCharacters)
{
  TCanvas regular(Font("DejaVu Sans", -13));
  TCanvas bold(Font("DejaVu Sans", -13, FW_BOLD));
  EXPECT_GT(bold.Extent("Hello World").cx, regular.Extent("Hello World").cx);

  LOGFONT decorated = Font("DejaVu Sans", -13);
  decorated.lfUnderline = 1;
  decorated.lfStrikeOut = 1;
  TCanvas lined(decorated);
  EXPECT_EQ(lined.Extent("Hello World").cx, regular.Extent("Hello World").cx);
  EXPECT_EQ(lined.Metrics().tmUnderlined, 1);

  // A face without a bold or italic style gets both synthesised.
  TCanvas plainMath(Font("DejaVu Math TeX Gyre", -16));
  TCanvas boldMath(Font("DejaVu Math TeX Gyre", -16, FW_BOLD));
  EXPECT_GT(boldMath.Extent("Hello").cx, plainMath.Extent("Hello").cx);

  EXPECT_EQ(regular.Extent("a\x01\tb\x1f").cx, regular.Extent("ab").cx);
  EXPECT_EQ(regular.Extent(std::string("a\0b", 3)).cx, regular.Extent("ab").cx);
}

TEST(TextMeasure, MissingCharactersComeFromAnotherFace)
{
  // DejaVu Serif has no Arabic; DejaVu Sans has.
  TCanvas serif(Font("DejaVu Serif", -20)), sans(Font("DejaVu Sans", -20));
  const std::string alef = "\xD8\xA7";
  EXPECT_EQ(serif.Extent(alef).cx, sans.Extent(alef).cx);
  EXPECT_EQ(serif.Extent("a" + alef + "b").cx, serif.Extent("ab").cx + sans.Extent(alef).cx);
  ABC fromSerif, fromSans;
  ASSERT_TRUE(GetCharABCWidths(serif.DC, 0x627, 0x627, &fromSerif));
  ASSERT_TRUE(GetCharABCWidths(sans.DC, 0x627, 0x627, &fromSans));
  EXPECT_EQ(fromSerif.abcB, fromSans.abcB);
  EXPECT_EQ(serif.Face(), "DejaVu Serif");
}

TEST(TextMeasure, MalformedUtf8BecomesReplacementCharacters)
{
  TCanvas canvas(Font("DejaVu Sans", -13));
  const int replacement = canvas.Extent("\xEF\xBF\xBD").cx;
  ASSERT_GT(replacement, 0);
  EXPECT_EQ(canvas.Extent("\xFF").cx, replacement);
  EXPECT_EQ(canvas.Extent("a\xC3").cx, canvas.Extent("a").cx + replacement);
  EXPECT_EQ(canvas.Extent("\xE2\x82x").cx, replacement + canvas.Extent("x").cx);
  EXPECT_EQ(canvas.Extent("\xED\xA0\x80").cx, 3 * replacement); // a surrogate is not a character

  // A count that cuts a character short reads nothing past it.
  auto buffer = std::make_unique<char[]>(1);
  buffer[0] = '\xC3';
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32(canvas.DC, buffer.get(), 1, &size));
  EXPECT_EQ(size.cx, replacement);

  EXPECT_FALSE(GetTextExtentPoint32(canvas.DC, "abc", -1, &size));
  EXPECT_FALSE(GetTextExtentPoint32(canvas.DC, nullptr, 3, &size));
  EXPECT_FALSE(GetTextExtentPoint32(canvas.DC, "abc", 3, nullptr));
}

TEST(TextMeasure, ItalicGlyphsOverhang)
{
  TCanvas italic(Font("DejaVu Sans", -32, FW_NORMAL, true));
  ABC abc;
  ASSERT_TRUE(GetCharABCWidths(italic.DC, 'f', 'f', &abc));
  EXPECT_LT(abc.abcC, 0);
  int advance = 0;
  GetCharWidth32(italic.DC, 'f', 'f', &advance);
  EXPECT_EQ(abc.abcA + int(abc.abcB) + abc.abcC, advance);

  TCanvas synthetic(Font("DejaVu Math TeX Gyre", -32, FW_NORMAL, true));
  ASSERT_TRUE(GetCharABCWidths(synthetic.DC, 'l', 'l', &abc));
  ABC upright;
  TCanvas plain(Font("DejaVu Math TeX Gyre", -32));
  ASSERT_TRUE(GetCharABCWidths(plain.DC, 'l', 'l', &upright));
  EXPECT_LT(abc.abcC, upright.abcC); // sheared to the right

  TCanvas regular(Font("DejaVu Sans", -32));
  ABC space;
  ASSERT_TRUE(GetCharABCWidths(regular.DC, ' ', ' ', &space));
  EXPECT_EQ(space.abcB, 0u);
  EXPECT_FALSE(GetCharABCWidths(regular.DC, 'b', 'a', &space));
}

TEST(DrawTextLayout, CalcRectAgreesWithExtents)
{
  TCanvas canvas(Font("DejaVu Sans", -13));
  const int lineHeight = canvas.Metrics().tmHeight;
  const RECT single = canvas.CalcRect("Hello, world", RECT(5, 7, 5, 7), DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(single, RECT(5, 7, 5 + canvas.Extent("Hello, world").cx, 7 + lineHeight));

  const RECT lines = canvas.CalcRect("one\ntwo three\r\nfour\r\n", RECT(0, 0, 0, 0), 0);
  EXPECT_EQ(lines.Bottom, 3 * lineHeight);
  EXPECT_EQ(lines.Right, canvas.Extent("two three").cx);

  RECT empty(3, 4, 50, 50);
  EXPECT_EQ(DrawText(canvas.DC, "", -1, &empty, DT_CALCRECT | DT_SINGLELINE), 0);
  EXPECT_EQ(empty.Right, 3);

  RECT counted(0, 0, 0, 0);
  EXPECT_EQ(DrawText(canvas.DC, "abcdef", 3, &counted, DT_CALCRECT | DT_SINGLELINE), lineHeight);
  EXPECT_EQ(counted.Right, canvas.Extent("abc").cx);
}

TEST(DrawTextLayout, WordBreakWrapsAtSpaces)
{
  TCanvas canvas(Font("DejaVu Sans Mono", -13));
  const int w = canvas.Extent("x").cx;
  const int h = canvas.Metrics().tmHeight;
  // Seven characters per line: "aaa bbb" fits, "ccc" wraps, the space at the wrap vanishes.
  RECT wrapped = canvas.CalcRect("aaa bbb ccc", RECT(0, 0, 7 * w, 0), DT_WORDBREAK);
  EXPECT_EQ(wrapped, RECT(0, 0, 7 * w, 2 * h));
  wrapped = canvas.CalcRect("aaa bbb ccc", RECT(0, 0, 7 * w - 1, 0), DT_WORDBREAK);
  EXPECT_EQ(wrapped, RECT(0, 0, 3 * w, 3 * h));

  // An over-long word stays whole (and overflows) unless the edit-control rules break it.
  const RECT longWord = canvas.CalcRect("ab abcdefghij cd", RECT(0, 0, 4 * w, 0), DT_WORDBREAK);
  EXPECT_EQ(longWord, RECT(0, 0, 10 * w, 3 * h));
  const RECT broken = canvas.CalcRect("ab abcdefghij cd", RECT(0, 0, 4 * w, 0), DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_EQ(broken, RECT(0, 0, 4 * w, 5 * h)); // ab / abcd / efgh / ij / cd

  const RECT single = canvas.CalcRect("aaa bbb\nccc", RECT(0, 0, 2 * w, 0), DT_WORDBREAK | DT_SINGLELINE);
  EXPECT_EQ(single.Bottom, h);

  const int ave = canvas.Metrics().tmAveCharWidth;
  const RECT tabbed = canvas.CalcRect("a\tb", RECT(0, 0, 0, 0), DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(tabbed.Right, 8 * ave + w);
  DRAWTEXTPARAMS tabs;
  tabs.iTabLength = 4;
  RECT fourTabs;
  DrawTextEx(canvas.DC, "a\tb", -1, &fourTabs, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | DT_CALCRECT, &tabs);
  EXPECT_EQ(fourTabs.Right, 4 * ave + w);
  // Without parameters the tab size takes the flags' second byte, DT_CALCRECT's among them: this draws.
  fourTabs = RECT(0, 0, 100, 100);
  DrawText(canvas.DC, "a\tb", -1, &fourTabs, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | 0x400);
  EXPECT_EQ(fourTabs, RECT(0, 0, 100, 100));

  // Margins narrow the line and widen the measured rectangle.
  DRAWTEXTPARAMS params;
  params.iLeftMargin = 2 * w;
  params.iRightMargin = w;
  RECT margined(0, 0, 10 * w, 0);
  EXPECT_EQ(DrawTextEx(canvas.DC, "aaa bbb ccc", -1, &margined, DT_WORDBREAK | DT_CALCRECT,
                       &params),
            2 * h);
  EXPECT_EQ(margined.Right, 2 * w + 7 * w + w);
  EXPECT_EQ(params.uiLengthDrawn, 11u);
  params.cbSize = 0;
  EXPECT_EQ(DrawTextEx(canvas.DC, "a", -1, &margined, DT_CALCRECT, &params), 0);
}

TEST(DrawTextLayout, EllipsesFitTheRectangle)
{
  TCanvas canvas(Font("DejaVu Sans Mono", -13));
  const int w = canvas.Extent("x").cx;
  const UINT end = DT_SINGLELINE | DT_END_ELLIPSIS;
  EXPECT_EQ(canvas.CalcRect("abcdefghij", RECT(0, 0, 8 * w, 0), end).Right, 8 * w); // abcde...
  EXPECT_EQ(canvas.CalcRect("abcdefghij", RECT(0, 0, 8 * w + 3, 0), end).Right, 8 * w);
  EXPECT_EQ(canvas.CalcRect("abcdef", RECT(0, 0, 8 * w, 0), end).Right, 6 * w); // fits: untouched
  // Word ellipsis keeps whole words: "one two..." rather than "one two th...".
  EXPECT_EQ(canvas.CalcRect("one two three", RECT(0, 0, 12 * w, 0), DT_SINGLELINE | DT_WORD_ELLIPSIS).Right,
            10 * w);
  // Path ellipsis keeps the file name: "C:\...\file.txt".
  EXPECT_EQ(canvas.CalcRect("C:\\folder\\sub\\file.txt", RECT(0, 0, 15 * w, 0), DT_SINGLELINE | DT_PATH_ELLIPSIS)
                .Right,
            15 * w);

  // Drawn, the ellipsis looks exactly like the shortened text drawn as such.
  TCanvas truncated(Font("DejaVu Sans Mono", -13));
  RECT r(2, 2, 2 + 8 * w, 40);
  DrawText(truncated.DC, "abcdefghij", -1, &r, end);
  TCanvas expected(Font("DejaVu Sans Mono", -13));
  DrawText(expected.DC, "abcde...", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(truncated.Pixels(), expected.Pixels());

  // Edit-control rules: wrapped text that runs past the bottom ends in an
  // ellipsis on the last wholly visible line.
  const int h = truncated.Metrics().tmHeight;
  TCanvas wrapped(Font("DejaVu Sans Mono", -13)), wrappedExpected(Font("DejaVu Sans Mono", -13));
  r = RECT(0, 0, 7 * w, 2 * h + h / 2);
  DrawText(wrapped.DC, "aaa bbb ccc ddd eee", -1, &r, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
  DrawText(wrappedExpected.DC, "aaa bbb\nccc ...", -1, &r, 0);
  EXPECT_EQ(wrapped.Pixels(), wrappedExpected.Pixels());

  TCanvas path(Font("DejaVu Sans Mono", -13));
  r = RECT(0, 0, 15 * w, 40);
  DrawText(path.DC, "C:\\folder\\sub\\file.txt", -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS);
  TCanvas pathExpected(Font("DejaVu Sans Mono", -13));
  DrawText(pathExpected.DC, "C:\\...\\file.txt", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(path.Pixels(), pathExpected.Pixels());
}

TEST(DrawTextLayout, PrefixesUnderlineAndDoubleAmpersandsDrawOne)
{
  TCanvas canvas(Font("DejaVu Sans", -13));
  EXPECT_EQ(canvas.CalcRect("&File", RECT(), DT_SINGLELINE).Right, canvas.Extent("File").cx);
  EXPECT_EQ(canvas.CalcRect("A&&B", RECT(), DT_SINGLELINE).Right, canvas.Extent("A&B").cx);
  EXPECT_EQ(canvas.CalcRect("A&&B", RECT(), DT_SINGLELINE | DT_NOPREFIX).Right, canvas.Extent("A&&B").cx);
  EXPECT_EQ(canvas.CalcRect("Tail&", RECT(), DT_SINGLELINE).Right, canvas.Extent("Tail").cx);

  const auto draw = [](const char* text, UINT format) {
    auto c = std::make_unique<TCanvas>(Font("DejaVu Sans", -13));
    SetBkMode(c->DC, TRANSPARENT);
    RECT r(0, 0, 200, 60);
    DrawText(c->DC, text, -1, &r, format | DT_SINGLELINE);
    return c;
  };
  const auto plain = draw("File", DT_NOPREFIX);
  const auto prefixed = draw("&File", 0);
  const auto hidden = draw("&File", DT_HIDEPREFIX);
  const auto only = draw("&File", DT_PREFIXONLY);
  EXPECT_EQ(hidden->Pixels(), plain->Pixels());
  const TEXTMETRIC tm = plain->Metrics();
  // The underline lies below the baseline under the "F" and nowhere else.
  const RECT underline = only->Ink();
  EXPECT_EQ(underline.Left, 0);
  EXPECT_EQ(underline.Right, plain->Extent("F").cx);
  EXPECT_GT(underline.Top, tm.tmAscent - 1);
  for (int y = 0; y < plain->Height(); ++y)
    for (int x = 0; x < plain->Width(); ++x)
      if (prefixed->At(x, y) != plain->At(x, y)) {
        EXPECT_TRUE(underline.Contains(POINT(x, y))) << x << "," << y;
      }
}

TEST(DrawTextPixels, AlignmentMatchesTextOutAtTheComputedPlace)
{
  const LOGFONT lf = Font("DejaVu Sans", -13);
  const RECT box(10, 5, 190, 55);
  struct TCase {
    UINT Format;
    int Dx, Dy; // where TextOut must put it, relative to the box, from the extent
  };
  TCanvas probe(lf);
  const SIZE extent = probe.Extent("Align me");
  const TCase cases[] = {
      {DT_SINGLELINE, 0, 0},
      {DT_SINGLELINE | DT_CENTER, (box.Width() - extent.cx) / 2, 0},
      {DT_SINGLELINE | DT_RIGHT, box.Width() - extent.cx, 0},
      {DT_SINGLELINE | DT_VCENTER, 0, (box.Height() - extent.cy) / 2},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, box.Width() - extent.cx, box.Height() - extent.cy},
      {DT_BOTTOM, 0, 0}, // vertical alignment needs DT_SINGLELINE
  };
  for (const TCase& c : cases) {
    TCanvas drawn(lf), placed(lf);
    RECT r = box;
    const int height = DrawText(drawn.DC, "Align me", -1, &r, c.Format);
    EXPECT_EQ(height, c.Dy + extent.cy);
    TextOut(placed.DC, box.Left + c.Dx, box.Top + c.Dy, "Align me", 8);
    EXPECT_EQ(drawn.Pixels(), placed.Pixels()) << c.Format;
  }
}

TEST(DrawTextPixels, GlyphsInTheTextColourInsideTheCellAndClip)
{
  TCanvas canvas(Font("DejaVu Sans", -20));
  SetTextColor(canvas.DC, Red);
  SetBkMode(canvas.DC, TRANSPARENT);
  ASSERT_TRUE(TextOut(canvas.DC, 10, 8, "HIH", 3));
  const SIZE extent = canvas.Extent("HIH");
  const RECT ink = canvas.Ink();
  const RECT cell(10, 8, 10 + extent.cx, 8 + extent.cy);
  EXPECT_FALSE(ink.IsEmpty());
  EXPECT_TRUE(cell.Contains(ink.TopLeft()));
  EXPECT_LE(ink.Right, cell.Right);
  EXPECT_LE(ink.Bottom, cell.Bottom);
  bool solid = false;
  for (int y = ink.Top; y < ink.Bottom; ++y)
    for (int x = ink.Left; x < ink.Right; ++x) {
      const COLORREF c = canvas.At(x, y);
      solid = solid || c == Red;
      EXPECT_EQ(GetRValue(c), 255) << "blends between white and red only";
      EXPECT_EQ(GetGValue(c), GetBValue(c));
    }
  EXPECT_TRUE(solid);

  // Without anti-aliasing every glyph pixel is the text colour itself.
  LOGFONT aliased = Font("DejaVu Sans", -20);
  aliased.lfQuality = NONANTIALIASED_QUALITY;
  TCanvas crisp(aliased);
  SetTextColor(crisp.DC, Red);
  TextOut(crisp.DC, 10, 8, "HIH", 3);
  EXPECT_EQ(crisp.Extent("HIH"), extent);
  int redPixels = 0;
  for (int y = 0; y < crisp.Height(); ++y)
    for (int x = 0; x < crisp.Width(); ++x) {
      const COLORREF c = crisp.At(x, y);
      EXPECT_TRUE(c == Red || c == White) << x << "," << y;
      redPixels += c == Red;
    }
  EXPECT_GT(redPixels, 20);

  // Opaque background mode fills the whole cell.
  TCanvas opaque(Font("DejaVu Sans", -20));
  SetBkColor(opaque.DC, RGB(0, 0, 255));
  SetBkMode(opaque.DC, OPAQUE);
  TextOut(opaque.DC, 10, 8, "HIH", 3);
  EXPECT_EQ(opaque.Ink(), cell);
  EXPECT_EQ(opaque.At(cell.Left, cell.Top), RGB(0, 0, 255));
  EXPECT_EQ(opaque.At(cell.Right - 1, cell.Bottom - 1), RGB(0, 0, 255));

  // DrawText clips to its rectangle unless told not to.
  TCanvas clipped(Font("DejaVu Sans", -20));
  RECT r(10, 8, 30, 18);
  DrawText(clipped.DC, "Clipped text", -1, &r, DT_SINGLELINE);
  const RECT clippedInk = clipped.Ink();
  EXPECT_FALSE(clippedInk.IsEmpty());
  EXPECT_GE(clippedInk.Left, r.Left);
  EXPECT_LE(clippedInk.Right, r.Right);
  EXPECT_LE(clippedInk.Bottom, r.Bottom);
  TCanvas unclipped(Font("DejaVu Sans", -20));
  DrawText(unclipped.DC, "Clipped text", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(unclipped.Ink().Right, r.Right);

  TCanvas etoClipped(Font("DejaVu Sans", -20));
  ExtTextOut(etoClipped.DC, 10, 8, ETO_CLIPPED, &r, "Clipped text", 12, nullptr);
  EXPECT_EQ(etoClipped.Pixels(), clipped.Pixels());
}

TEST(DrawTextPixels, TextAlignAndAdvances)
{
  const LOGFONT lf = Font("DejaVu Sans Mono", -16);
  TCanvas top(lf), baseline(lf), right(lf);
  const TEXTMETRIC tm = top.Metrics();
  const SIZE extent = top.Extent("abc");
  TextOut(top.DC, 20, 10, "abc", 3);
  SetTextAlign(baseline.DC, TA_BASELINE);
  EXPECT_EQ(GetTextAlign(baseline.DC), TA_BASELINE);
  TextOut(baseline.DC, 20, 10 + tm.tmAscent, "abc", 3);
  EXPECT_EQ(baseline.Pixels(), top.Pixels());
  SetTextAlign(right.DC, TA_RIGHT | TA_BOTTOM);
  TextOut(right.DC, 20 + extent.cx, 10 + extent.cy, "abc", 3);
  EXPECT_EQ(right.Pixels(), top.Pixels());

  TCanvas spaced(lf), separate(lf);
  const int dx[] = {20, 20, 20};
  ExtTextOut(spaced.DC, 5, 5, 0, nullptr, "abc", 3, dx);
  for (int i = 0; i < 3; ++i)
    TextOut(separate.DC, 5 + 20 * i, 5, "abc" + i, 1);
  EXPECT_EQ(spaced.Pixels(), separate.Pixels());

  TCanvas current(lf);
  SetTextAlign(current.DC, TA_UPDATECP); // from the current position (0, 0), moving it along
  TextOut(current.DC, 100, 100, "ab", 2);
  TextOut(current.DC, 100, 100, "c", 1);
  TCanvas whole(lf);
  TextOut(whole.DC, 0, 0, "abc", 3);
  EXPECT_EQ(current.Pixels(), whole.Pixels());
}

TEST(TextHandles, BadInputIsRefusedAndTheScreenDCMeasures)
{
  LOGFONT unterminated = Font("", -11);
  std::memset(unterminated.lfFaceName, 'A', LF_FACESIZE); // no terminating zero
  HFONT font = CreateFontIndirect(unterminated);
  ASSERT_NE(font, nullptr);
  LOGFONT stored;
  ASSERT_EQ(GetObject(font, sizeof(stored), &stored), int(sizeof(stored)));
  EXPECT_EQ(std::strlen(stored.lfFaceName), std::size_t(LF_FACESIZE - 1));

  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size;
  EXPECT_TRUE(GetTextExtentPoint32(screen, "abc", 3, &size));
  EXPECT_GT(size.cx, 0);
  EXPECT_TRUE(TextOut(screen, 0, 0, "abc", 3)); // nothing to draw on, nothing drawn
  RECT r(0, 0, 100, 100);
  EXPECT_GT(DrawText(screen, "abc", 3, &r, DT_SINGLELINE), 0);
  EXPECT_EQ(DrawText(screen, "abc", 3, nullptr, DT_SINGLELINE), 0);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);

  EXPECT_FALSE(GetTextExtentPoint32(screen, "abc", 3, &size)); // released
  TEXTMETRIC tm;
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
  EXPECT_EQ(DrawText(screen, "abc", 3, &r, 0), 0);

  // Coordinates, margins, tab sizes and advances at the ends of the range.
  constexpr int Min = std::numeric_limits<int>::min(), Max = std::numeric_limits<int>::max();
  TCanvas extreme(Font("Tahoma", -11));
  for (POINT at : {POINT(Max, Max), POINT(Min, Min), POINT(Max, Min)}) {
    EXPECT_TRUE(TextOut(extreme.DC, at.X, at.Y, "far away", 8));
    SetTextAlign(extreme.DC, TA_RIGHT | TA_BASELINE | TA_UPDATECP);
    EXPECT_TRUE(TextOut(extreme.DC, at.X, at.Y, "far away", 8));
    SetTextAlign(extreme.DC, TA_LEFT);
    SetWindowOrgEx(extreme.DC, at.X, at.Y, nullptr);
    RECT everything(Min, Min, Max, Max);
    EXPECT_GT(DrawText(extreme.DC, "a\tb", -1, &everything, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_EXPANDTABS), 0);
    DRAWTEXTPARAMS params;
    params.iLeftMargin = at.X;
    params.iRightMargin = at.Y;
    params.iTabLength = Max;
    everything = RECT(Min, Min, Max, Max);
    DrawTextEx(extreme.DC, "a\tb\tc words to wrap", -1, &everything, DT_WORDBREAK | DT_EXPANDTABS | DT_TABSTOP | DT_RIGHT,
               &params);
    everything = RECT(Max, Max, Max, Max);
    DrawTextEx(extreme.DC, "a\tb\tc", -1, &everything, DT_CALCRECT | DT_EXPANDTABS | DT_TABSTOP, &params);
    const int dx[] = {Max, Max, Min};
    EXPECT_TRUE(ExtTextOut(extreme.DC, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &everything, "abc", 3, dx));
  }
  EXPECT_EQ(extreme.Ink(), RECT()); // none of it lands on the surface

  for (int height : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 100000}) {
    TCanvas huge(Font("Tahoma", height));
    EXPECT_GT(huge.Metrics().tmHeight, 0);
    EXPECT_LE(huge.Metrics().tmHeight, 2048);
    EXPECT_TRUE(TextOut(huge.DC, 0, 0, "W", 1));
  }
}

TEST(DrawTextPixels, WindowOriginAndClipRegionApply)
{
  const LOGFONT lf = Font("DejaVu Sans", -16);
  LOGFONT underlined = lf;
  underlined.lfUnderline = 1;
  TCanvas plain(underlined), shifted(underlined);
  TextOut(plain.DC, 20, 10, "Origin", 6);
  SetWindowOrgEx(shifted.DC, 30, -5, nullptr);
  TextOut(shifted.DC, 50, 5, "Origin", 6);
  EXPECT_EQ(shifted.Pixels(), plain.Pixels());

  TCanvas clipped(underlined);
  IntersectClipRect(clipped.DC, 25, 0, 45, 60);
  SetTextColor(clipped.DC, Red);
  SetBkMode(clipped.DC, OPAQUE);
  SetBkColor(clipped.DC, RGB(0, 0, 255));
  TextOut(clipped.DC, 20, 10, "Origin", 6);
  EXPECT_EQ(clipped.Ink(), RECT(25, 10, 45, 10 + clipped.Metrics().tmHeight));
}

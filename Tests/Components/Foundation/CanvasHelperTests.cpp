#include <QxStyleSupport.hpp>
#include <Quorex.Vcl.CanvasHelper.hpp>
#include <Vcl.Themes.hpp>
#include <Winapi.Windows.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr TColor kBack = TColor(0x00FF00FF); // magenta: no primitive draws it

// A bitmap canvas cleared to magenta.
class TSheet {
public:
  TSheet(int W, int H, TColor Back = kBack) : Bitmap(W, H), Background(Back)
  {
    Bitmap.SetPixelFormat(pf32bit);
    Clear();
  }
  void Clear()
  {
    Canvas()->Brush()->SetColor(Background);
    Canvas()->FillRect(TRect(0, 0, Bitmap.Width(), Bitmap.Height()));
    Canvas()->Brush()->SetColor(clWhite);
  }
  TCanvas* Canvas() { return Bitmap.Canvas(); }
  TColor At(int X, int Y) { return Canvas()->Pixels(X, Y); }
  std::vector<TColor> Pixels()
  {
    std::vector<TColor> p;
    for (int y = 0; y < Bitmap.Height(); ++y)
      for (int x = 0; x < Bitmap.Width(); ++x)
        p.push_back(At(x, y));
    return p;
  }
  // The bounding box of everything not magenta.
  TRect Ink()
  {
    TRect box(Bitmap.Width(), Bitmap.Height(), 0, 0);
    for (int y = 0; y < Bitmap.Height(); ++y)
      for (int x = 0; x < Bitmap.Width(); ++x)
        if (At(x, y) != Background)
          box = TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                      std::max(box.Bottom, y + 1));
    return box.Left < box.Right ? box : TRect();
  }
  // Row y from x0 to x1 (exclusive), one letter per pixel from the legend.
  std::string Row(int Y, int X0, int X1, const std::vector<std::pair<TColor, char>>& Legend)
  {
    std::string s;
    for (int x = X0; x < X1; ++x) {
      char c = '?';
      for (const auto& [color, letter] : Legend)
        if (At(x, Y) == color)
          c = letter;
      s += c;
    }
    return s;
  }
  TBitmap Bitmap;
  TColor Background;
};

// Any control: only its presence decides the look. A windowless one without
// a parent, so the look is the common visual-style class.
TControl* SomeControl()
{
  static TControl control(nullptr);
  return &control;
}

constexpr TUIControlState kStates[] = {uicsNormal, uicsDisabled, uicsHot, uicsPressed};

using TPrimitive = std::function<void(TCanvas*, const TRect&, int State)>;

struct TPrimitiveCase {
  const char* Name;
  int States;
  TPrimitive Draw;
};

std::vector<TPrimitiveCase> Primitives()
{
  auto button = [](void (*f)(TCanvas*, TRect, TUIControlState)) {
    return [f](TCanvas* c, const TRect& r, int s) { f(c, r, kStates[s]); };
  };
  std::vector<TPrimitiveCase> cases = {
    {"Button", 4, button(QxDrawButton)},
    {"SplitButtonMain", 4, button(QxDrawSplitButtonMain)},
    {"SplitButtonDropDown", 4, button(QxDrawSplitButtonDropDown)},
    {"FlatButton", 4, button(QxDrawFlatButton)},
    {"FlatSplitButtonMain", 4, button(QxDrawFlatSplitButtonMain)},
    {"FlatSplitButtonDropDown", 4, button(QxDrawFlatSplitButtonDropDown)},
    {"Checkbox", 12,
     [](TCanvas* c, const TRect& r, int s) {
       QxDrawCheckbox(c, SomeControl(), r, kStates[s % 4], TCheckBoxState(s / 4));
     }},
    {"TreeExpander", 8,
     [](TCanvas* c, const TRect& r, int s) {
       QxDrawTreeExpander(c, SomeControl(), r, kStates[s % 4], TTreeViewExpanderState(s / 4));
     }},
    {"Selection", 3,
     [](TCanvas* c, const TRect& r, int s) { QxDrawSelection(c, SomeControl(), r, TListItemSelectionState(s)); }},
  };
  return cases;
}

// The classic check box shows three things: the mark, a grey face (pushed or
// inactive) and a grey mark (inactive); hot changes nothing.
std::tuple<bool, bool, bool> ClassicCheckLook(int State)
{
  bool checked = State / 4 != 0, pressed = State % 4 == 3;
  bool inactive = State / 4 == 2 || State % 4 == 1;
  return {checked, inactive || pressed, checked && inactive};
}

// Which states of a primitive look alike, by design, in each look.
bool AlikeByDesign(const std::string& Name, bool Themed, int A, int B)
{
  auto pair = [&](int x, int y) { return (A == x && B == y) || (A == y && B == x); };
  if (Name == "TreeExpander") // one glyph per expander state; themed, hot has its own
    return A / 4 == B / 4 && (!Themed || (A % 4 != 2 && B % 4 != 2));
  if (Name == "Checkbox")
    return !Themed && ClassicCheckLook(A) == ClassicCheckLook(B);
  if (Name == "Selection")
    return false;
  bool flat = Name.rfind("Flat", 0) == 0;
  if (Themed) // bare toolbar buttons in the normal and disabled states
    return flat && Name != "FlatSplitButtonDropDown" && pair(0, 1);
  // A classic push button shows only whether it is pushed (a flat one in
  // the normal state is bare).
  return A != 3 && B != 3 && (!flat || (A != 0 && B != 0));
}

} // namespace

TEST(CanvasHelper, FlatButtonInTheNormalStateWithoutStylesLeavesTheCanvasUntouched)
{
  QxTest::TVisualStyles off(false);
  TSheet sheet(40, 30);
  std::vector<TColor> before = sheet.Pixels();
  QxDrawFlatButton(sheet.Canvas(), TRect(2, 2, 38, 28), uicsNormal);
  QxDrawFlatSplitButtonMain(sheet.Canvas(), TRect(2, 2, 38, 28), uicsNormal);
  QxDrawFlatSplitButtonDropDown(sheet.Canvas(), TRect(2, 2, 38, 28), uicsNormal);
  EXPECT_EQ(sheet.Pixels(), before);
  QxDrawFlatButton(sheet.Canvas(), TRect(2, 2, 38, 28), uicsHot);
  EXPECT_EQ(sheet.Ink(), TRect(2, 2, 38, 28)); // a classic push button
}

TEST(CanvasHelper, ClassicCheckboxIsThirteenPixelsCentredEvenInASmallerRectangle)
{
  QxTest::TVisualStyles off(false);
  TSheet sheet(40, 40);
  QxDrawCheckbox(sheet.Canvas(), SomeControl(), TRect(0, 0, 40, 40), uicsNormal, cbChecked);
  EXPECT_EQ(sheet.Ink(), TRect(13, 13, 26, 26));
  sheet.Clear();
  QxDrawCheckbox(sheet.Canvas(), SomeControl(), TRect(20, 20, 24, 24), uicsNormal, cbUnchecked);
  EXPECT_EQ(sheet.Ink(), TRect(16, 16, 29, 29)); // (4 - 13) / 2 truncates to -4
  // With styles on but no control, the classic box is drawn too.
  QxTest::TVisualStyles on(true);
  sheet.Clear();
  QxDrawCheckbox(sheet.Canvas(), nullptr, TRect(0, 0, 40, 40), uicsHot, cbGrayed);
  EXPECT_EQ(sheet.Ink(), TRect(13, 13, 26, 26));
}

TEST(CanvasHelper, AdjacentSplitButtonHalvesShowNoBorderWhereTheyTouch)
{
  QxTest::TVisualStyles on(true);
  TColor border = clNone, fill = clNone;
  ASSERT_TRUE(StyleServices()->GetElementColor(StyleServices()->GetElementDetails(tbPushButtonNormal),
                                               ecBorderColor, border));
  ASSERT_TRUE(StyleServices()->GetElementColor(StyleServices()->GetElementDetails(tbPushButtonNormal), ecFillColor,
                                               fill));
  TSheet sheet(90, 40);
  QxDrawSplitButtonMain(sheet.Canvas(), TRect(10, 10, 60, 34), uicsNormal);
  QxDrawSplitButtonDropDown(sheet.Canvas(), TRect(60, 10, 80, 34), uicsNormal);
  EXPECT_EQ(sheet.Ink(), TRect(10, 10, 80, 34));
  EXPECT_EQ(sheet.At(10, 22), border); // outer edges keep their border
  EXPECT_EQ(sheet.At(79, 22), border);
  EXPECT_EQ(sheet.At(59, 22), fill); // the touching edges do not
  EXPECT_EQ(sheet.At(60, 22), fill);
  EXPECT_EQ(sheet.At(59, 10), border); // the top edge runs through
  EXPECT_EQ(sheet.At(60, 33), border);
}

TEST(CanvasHelper, ClassicTreeExpanderDrawsPlusAndMinusAndRestoresTheCanvas)
{
  QxTest::TVisualStyles off(false);
  TSheet sheet(13, 13);
  TCanvas* c = sheet.Canvas();
  c->Pen()->SetColor(clRed);
  c->Pen()->SetStyle(psDash);
  c->Brush()->SetStyle(bsClear);
  const std::vector<std::pair<TColor, char>> legend = {
    {TColor(0x808080), 'G'}, {ColorToRGB(clWindow), 'W'}, {clBlack, 'B'}, {kBack, '.'}};
  QxDrawTreeExpander(c, nullptr, TRect(0, 0, 13, 13), uicsNormal, tvesClosed);
  EXPECT_EQ(sheet.Row(2, 0, 13, legend), "..GGGGGGGGG..");
  EXPECT_EQ(sheet.Row(3, 0, 13, legend), "..GWWWWWWWG..");
  EXPECT_EQ(sheet.Row(4, 0, 13, legend), "..GWWWBWWWG..");
  EXPECT_EQ(sheet.Row(6, 0, 13, legend), "..GWBBBBBWG..");
  EXPECT_EQ(sheet.Row(8, 0, 13, legend), "..GWWWBWWWG..");
  EXPECT_EQ(sheet.Row(9, 0, 13, legend), "..GWWWWWWWG..");
  EXPECT_EQ(sheet.Row(10, 0, 13, legend), "..GGGGGGGGG..");
  EXPECT_EQ(c->Pen()->Color(), clRed);
  EXPECT_EQ(c->Pen()->Style(), psDash);
  EXPECT_EQ(c->Brush()->Style(), bsClear);

  sheet.Clear();
  c->Brush()->SetColor(clLime);
  QxDrawTreeExpander(c, nullptr, TRect(0, 0, 13, 13), uicsHot, tvesOpened);
  EXPECT_EQ(sheet.Row(4, 0, 13, legend), "..GWWWWWWWG..");
  EXPECT_EQ(sheet.Row(6, 0, 13, legend), "..GWBBBBBWG..");
  EXPECT_EQ(sheet.Row(8, 0, 13, legend), "..GWWWWWWWG..");
  EXPECT_EQ(c->Brush()->Color(), clLime);
  EXPECT_EQ(c->Pen()->Color(), clRed);
}

TEST(CanvasHelper, FocusRectangleAndSplitterRestoreTextColourAndPen)
{
  for (bool themed : {false, true}) {
    QxTest::TVisualStyles styles(themed);
    TSheet sheet(30, 30);
    TCanvas* c = sheet.Canvas();
    c->Pen()->SetColor(clRed);
    c->Brush()->SetColor(clYellow);
    Win::HDC dc = c->Handle();
    Win::SetTextColor(dc, Win::RGB(1, 2, 3));
    std::vector<TColor> before = sheet.Pixels();

    QxDrawFocusRect(c, TRect(5, 5, 25, 25));
    EXPECT_EQ(Win::GetTextColor(c->Handle()), Win::RGB(1, 2, 3));
    EXPECT_EQ(sheet.Ink(), themed ? TRect(6, 6, 24, 24) : TRect(5, 5, 25, 25)) << themed;
    QxDrawFocusRect(c, TRect(5, 5, 25, 25)); // an XOR frame: twice is nothing
    EXPECT_EQ(sheet.Pixels(), before);

    QxDrawSplitter(c, 3, 2, 20, true);
    QxDrawSplitter(c, 7, 2, 20, false);
    EXPECT_EQ(sheet.At(3, 2), clBlack);
    EXPECT_EQ(sheet.At(3, 19), clBlack);
    EXPECT_EQ(sheet.At(3, 20), kBack); // the end point is left out
    EXPECT_EQ(sheet.At(7, 10), clSilver);
    EXPECT_EQ(c->Pen()->Color(), clRed);
    EXPECT_EQ(c->Brush()->Color(), clYellow);
    EXPECT_EQ(Win::GetTextColor(c->Handle()), Win::RGB(1, 2, 3));
  }
}

TEST(CanvasHelper, ClassicSelectionFillsAndLeavesTheBrushInTheFillColour)
{
  QxTest::TVisualStyles off(false);
  TSheet sheet(20, 10);
  QxDrawSelection(sheet.Canvas(), SomeControl(), TRect(0, 0, 20, 10), lissHot);
  EXPECT_EQ(sheet.Ink(), TRect());
  QxDrawSelection(sheet.Canvas(), SomeControl(), TRect(0, 0, 20, 10), lissSelected);
  EXPECT_EQ(sheet.At(10, 5), ColorToRGB(clHighlight));
  EXPECT_EQ(sheet.Canvas()->Brush()->Color(), clHighlight);
  QxDrawSelection(sheet.Canvas(), SomeControl(), TRect(0, 0, 20, 10), lissSelectedNotFocused);
  EXPECT_EQ(sheet.At(10, 5), ColorToRGB(clBtnFace));
  EXPECT_EQ(sheet.Canvas()->Brush()->Color(), clBtnFace);
}

TEST(CanvasHelper, EveryPrimitiveHasItsOwnLookInEveryStateInBothLooks)
{
  for (bool themed : {false, true}) {
    QxTest::TVisualStyles styles(themed);
    for (const TPrimitiveCase& p : Primitives()) {
      std::vector<std::vector<TColor>> seen;
      for (int s = 0; s < p.States; ++s) {
        TSheet sheet(40, 30);
        std::vector<TColor> blank = sheet.Pixels();
        p.Draw(sheet.Canvas(), TRect(4, 4, 36, 26), s);
        std::vector<TColor> pixels = sheet.Pixels();
        bool bare = (themed && std::string(p.Name).rfind("Flat", 0) == 0 &&
                     std::string(p.Name) != "FlatSplitButtonDropDown" && (s == 0 || s == 1)) ||
                    (!themed && std::string(p.Name).rfind("Flat", 0) == 0 && s == 0) ||
                    (!themed && std::string(p.Name) == "Selection" && s == 0);
        EXPECT_EQ(pixels == blank, bare) << p.Name << " themed " << themed << " state " << s;
        for (int other = 0; other < int(seen.size()); ++other) {
          if (!AlikeByDesign(p.Name, themed, s, other)) {
            EXPECT_TRUE(pixels != seen[std::size_t(other)]) << p.Name << " themed " << themed << " states " << s
                                                        << ", " << other;
          }
        }
        seen.push_back(pixels);
      }
    }
  }
}

TEST(CanvasHelper, TextWidthCountsOverhangs)
{
  TSheet sheet(10, 10);
  TCanvas* c = sheet.Canvas();
  EXPECT_EQ(QxTextWidth(c, ""), 0);
  c->Font()->SetName("DejaVu Sans");
  c->Font()->SetSize(20);
  c->Font()->SetStyle(TFontStyles{fsItalic});
  Win::ABC abc;
  ASSERT_TRUE(Win::GetCharABCWidths(c->Handle(), 'f', 'f', &abc));
  ASSERT_LT(abc.abcC, 0); // the italic f reaches past its advance
  for (bool themed : {false, true}) {
    QxTest::TVisualStyles styles(themed);
    EXPECT_EQ(QxTextWidth(c, "Leaf"), c->TextWidth("Leaf") - abc.abcC) << themed;
    EXPECT_EQ(QxTextWidth(c, "Lea"), c->TextWidth("Lea")) << themed;
  }
}

TEST(CanvasHelper, DisabledClassicTextIsEmbossedAndTheFontColourComesBack)
{
  QxTest::TVisualStyles off(false);
  TSheet sheet(60, 24, clBlack);
  TCanvas* c = sheet.Canvas();
  c->Font()->SetName("DejaVu Sans");
  c->Font()->SetSize(12);
  c->Font()->SetColor(clRed);
  TRect r(2, 2, 58, 22);
  QxDrawText(c, "Hi", r, true, TTextFormat{tfSingleLine});
  TRect plain = sheet.Ink();
  ASSERT_GT(plain.Width(), 5);
  auto maxChannel = [](TColor p) { return std::max({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF}); };
  EXPECT_EQ(c->Font()->Color(), clRed);

  sheet.Clear();
  QxDrawText(c, "Hi", r, false, Win::DT_SINGLELINE | Win::DT_NOPREFIX);
  EXPECT_EQ(c->Font()->Color(), clRed);
  EXPECT_EQ(Win::GetBkMode(c->Handle()), Win::TRANSPARENT);
  EXPECT_EQ(r, TRect(2, 2, 58, 22)); // drawing does not move the rectangle
  // A highlight copy one pixel right and down, under a shadow copy in place.
  EXPECT_EQ(sheet.Ink(), TRect(plain.Left, plain.Top, plain.Right + 1, plain.Bottom + 1));
  int brightest = 0, red = 0;
  for (int y = plain.Top; y <= plain.Bottom; ++y) {
    brightest = std::max(brightest, maxChannel(sheet.At(plain.Right, y)));
    for (int x = plain.Left; x <= plain.Right; ++x)
      red += (sheet.At(x, y) & 0xFF) > ((sheet.At(x, y) >> 8) & 0xFF) + 8;
  }
  EXPECT_GT(brightest, 0xC0); // only the highlight reaches the last column
  EXPECT_EQ(red, 0);
  EXPECT_LE(maxChannel(sheet.At(plain.Left, (plain.Top + plain.Bottom) / 2)),
            maxChannel(ColorToRGB(clBtnShadow))); // the stem's left edge is shadow
}

TEST(CanvasHelper, ThemedTextUsesTheFontColourOrTheDisabledButtonColour)
{
  QxTest::TVisualStyles on(true);
  TColor disabled = clNone;
  ASSERT_TRUE(StyleServices()->GetElementColor(StyleServices()->GetElementDetails(tbPushButtonDisabled),
                                               ecTextColor, disabled));
  TSheet sheet(60, 24);
  TCanvas* c = sheet.Canvas();
  c->Font()->SetName("DejaVu Sans");
  c->Font()->SetSize(12);
  c->Font()->SetColor(clBlue);
  auto count = [&](TColor colour) {
    int n = 0;
    for (TColor p : sheet.Pixels())
      n += p == colour;
    return n;
  };
  TRect r(2, 2, 58, 22);
  QxDrawText(c, "Hi", r, true, Win::DT_SINGLELINE);
  EXPECT_GT(count(clBlue), 5);
  sheet.Clear();
  QxDrawText(c, "Hi", r, false, Win::DT_SINGLELINE);
  EXPECT_EQ(count(clBlue), 0);
  EXPECT_GT(count(disabled), 5);
  EXPECT_EQ(c->Font()->Color(), clBlue);

  TRect measured(0, 0, 0, 0);
  QxDrawText(c, "Hi", measured, false, Win::DT_SINGLELINE | Win::DT_CALCRECT);
  EXPECT_EQ(measured.Width(), c->TextWidth("Hi"));
  EXPECT_EQ(measured.Height(), c->TextHeight("Hi"));
}

// A null canvas is the caller's programming error: every primitive refuses
// it with the assertion naming the unit, whichever look is on.
TEST(CanvasHelper, EveryPrimitiveRefusesANullCanvas)
{
  const TRect r(0, 0, 20, 20);
  TRect measured = r;
  const std::vector<std::function<void()>> calls = {
    [&] { QxDrawButton(nullptr, r, uicsNormal); },
    [&] { QxDrawSplitButtonMain(nullptr, r, uicsHot); },
    [&] { QxDrawSplitButtonDropDown(nullptr, r, uicsPressed); },
    [&] { QxDrawFlatButton(nullptr, r, uicsHot); },
    [&] { QxDrawFlatSplitButtonMain(nullptr, r, uicsHot); },
    [&] { QxDrawFlatSplitButtonDropDown(nullptr, r, uicsHot); },
    [&] { QxDrawCheckbox(nullptr, SomeControl(), r, uicsNormal, cbChecked); },
    [&] { QxDrawTreeExpander(nullptr, SomeControl(), r, uicsNormal, tvesOpened); },
    [&] { QxDrawSelection(nullptr, SomeControl(), r, lissSelected); },
    [&] { QxDrawFocusRect(nullptr, r); },
    [&] { QxDrawSplitter(nullptr, 1, 0, 10, true); },
    [&] { QxDrawText(nullptr, "text", measured, true, Win::UINT(Win::DT_CALCRECT)); },
    [&] { QxDrawText(nullptr, "text", measured, false, TTextFormat{tfCalcRect}); },
    [&] { QxTextWidth(nullptr, "text"); },
  };
  for (bool styled : {false, true}) {
    QxTest::TVisualStyles style(styled);
    for (size_t i = 0; i < calls.size(); ++i)
      EXPECT_THAT(calls[i], testing::ThrowsMessage<EAssertionFailed>(
                              testing::HasSubstr("Assertion failure (Quorex.Vcl.CanvasHelper")))
        << "call " << i;
  }
  EXPECT_EQ(measured, r);
}

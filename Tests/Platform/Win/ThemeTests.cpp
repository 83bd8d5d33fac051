#include <QxSurface.hpp>

#include "TestWindows.hpp"

#include <QxStyleSupport.hpp>
#include <Vcl.Themes.hpp>
#include <Winapi.UxTheme.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

using namespace Win;
using QxTest::TSurface;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class TTheme {
public:
  explicit TTheme(const char* Classes) : Handle(OpenThemeData(nullptr, Classes)) {}
  ~TTheme()
  {
    if (Handle)
      CloseThemeData(Handle);
  }
  HTHEME Handle;
};

struct TPartCase {
  const char* Class;
  int Part;
  int States;
  std::set<int> Blank; // states that leave the background showing untouched
};

const TPartCase kParts[] = {
  {"BUTTON", BP_PUSHBUTTON, 6, {}},
  {"BUTTON", BP_RADIOBUTTON, 8, {}},
  {"BUTTON", BP_CHECKBOX, 12, {}},
  {"TOOLBAR", TP_BUTTON, 6, {TS_NORMAL, TS_DISABLED}},
  {"TOOLBAR", TP_SPLITBUTTON, 6, {TS_NORMAL, TS_DISABLED}},
  {"TOOLBAR", TP_SPLITBUTTONDROPDOWN, 6, {}},
  {"TREEVIEW", TVP_TREEITEM, 6, {TREIS_NORMAL, TREIS_DISABLED}},
  {"TREEVIEW", TVP_GLYPH, 2, {}},
  {"TREEVIEW", TVP_HOTGLYPH, 2, {}},
  {"EDIT", EP_EDITTEXT, 8, {}},
  {"NAVIGATION", NAV_BACKBUTTON, 4, {}},
};

std::vector<std::uint32_t> Draw(const char* Class, int Part, int State)
{
  TSurface s(40, 34);
  TTheme theme(Class);
  RECT r(2, 2, 38, 32);
  EXPECT_EQ(DrawThemeBackground(theme.Handle, s.DC, Part, State, &r, nullptr), S_OK) << Class << Part << State;
  return s.Pixels();
}

// The theme calls answer only while visual styles are on.
class StylesOn : public testing::Test {
  QxTest::TVisualStyles FOn{true};
};
using ThemeData = StylesOn;
using ThemeBackground = StylesOn;
using StyleServicesTest = StylesOn;
using ThemeText = StylesOn;

} // namespace

TEST_F(ThemeData, OpensKnownClassesOnlyWhileStylesAreOn)
{
  for (const char* name : {"BUTTON", "toolbar", "TreeView", "EDIT", "NAVIGATION", "NoSuch; edit"}) {
    TTheme theme(name);
    EXPECT_NE(theme.Handle, nullptr) << name;
  }
  EXPECT_EQ(OpenThemeData(nullptr, "NoSuch;Other"), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, ""), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);

  HTHEME theme = OpenThemeData(nullptr, "BUTTON");
  EXPECT_EQ(CloseThemeData(theme), S_OK);
  EXPECT_EQ(CloseThemeData(theme), E_HANDLE);
  TSurface s(10, 10);
  RECT r(0, 0, 10, 10);
  EXPECT_EQ(DrawThemeBackground(theme, s.DC, BP_PUSHBUTTON, PBS_NORMAL, &r, nullptr), E_HANDLE);

  {
    QxTest::TVisualStyles off(false);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    EXPECT_EQ(OpenThemeData(nullptr, "BUTTON"), nullptr);
    EXPECT_FALSE(Vcl::StyleServices()->Enabled());
    EXPECT_FALSE(Vcl::StyleServices()->DrawElement(s.DC, {Vcl::teButton, BP_PUSHBUTTON, PBS_NORMAL}, r));
    EXPECT_EQ(s.Ink(), RECT());
  }
  EXPECT_TRUE(IsAppThemed());
  SetThemeAppProperties(STAP_ALLOW_NONCLIENT);
  EXPECT_TRUE(IsThemeActive());
  EXPECT_FALSE(IsAppThemed());
  SetThemeAppProperties(STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT);
}

TEST_F(ThemeBackground, EveryStateOfEveryPartHasItsOwnLook)
{
  const std::vector<std::uint32_t> blank = TSurface(40, 34).Pixels();
  for (const TPartCase& c : kParts) {
    std::vector<std::vector<std::uint32_t>> seen;
    for (int state = 1; state <= c.States; ++state) {
      std::vector<std::uint32_t> pixels = Draw(c.Class, c.Part, state);
      if (c.Blank.count(state)) {
        EXPECT_EQ(pixels, blank) << c.Class << " part " << c.Part << " state " << state;
        continue;
      }
      EXPECT_NE(pixels, blank) << c.Class << " part " << c.Part << " state " << state;
      for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_NE(pixels, seen[i]) << c.Class << " part " << c.Part << " state " << state;
      seen.push_back(pixels);
    }
  }
}

TEST_F(ThemeBackground, UnknownPartsAndStatesDrawNothing)
{
  TSurface s(20, 20);
  TTheme theme("BUTTON");
  RECT r(0, 0, 20, 20);
  EXPECT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_CHECKBOX, 13, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_PUSHBUTTON, 0, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme.Handle, s.DC, 99, 1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_PUSHBUTTON, 1, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(theme.Handle, nullptr, BP_PUSHBUTTON, 1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(s.Ink(), RECT());
  // Degenerate and inside-out rectangles are fine and draw nothing.
  RECT empty(10, 10, 5, 5);
  EXPECT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_PUSHBUTTON, 1, &empty, nullptr), S_OK);
  EXPECT_EQ(s.Ink(), RECT());
}

TEST_F(ThemeBackground, PushButtonFillsItsRectangleWithSoftCorners)
{
  TSurface s(60, 40);
  TTheme theme("BUTTON");
  RECT r(10, 10, 50, 30);
  ASSERT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_PUSHBUTTON, PBS_NORMAL, &r, nullptr), S_OK);
  EXPECT_EQ(s.Ink(), r);
  COLORREF border = 0, fill = 0;
  ASSERT_EQ(GetThemeColor(theme.Handle, BP_PUSHBUTTON, PBS_NORMAL, TMT_BORDERCOLOR, &border), S_OK);
  ASSERT_EQ(GetThemeColor(theme.Handle, BP_PUSHBUTTON, PBS_NORMAL, TMT_FILLCOLOR, &fill), S_OK);
  EXPECT_EQ(s.At(30, 10), border); // straight edges are whole pixels
  EXPECT_EQ(s.At(10, 20), border);
  EXPECT_EQ(s.At(30, 20), fill);
  // The corner pixel is a blend of border and background: anti-aliased.
  COLORREF corner = s.At(10, 10);
  EXPECT_NE(corner, border);
  EXPECT_NE(corner, kWhite);
}

TEST_F(ThemeBackground, ClipRectangleDcClipAndWindowOriginAreHonoured)
{
  TTheme theme("BUTTON");
  RECT r(0, 0, 40, 20);
  {
    TSurface s(40, 20);
    RECT clip(0, 0, 20, 20);
    ASSERT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_PUSHBUTTON, PBS_HOT, &r, &clip), S_OK);
    EXPECT_EQ(s.Ink(), clip);
  }
  {
    TSurface s(40, 20);
    IntersectClipRect(s.DC, 5, 5, 15, 15);
    ASSERT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_PUSHBUTTON, PBS_HOT, &r, nullptr), S_OK);
    EXPECT_EQ(s.Ink(), RECT(5, 5, 15, 15));
  }
  {
    TSurface s(60, 30);
    SetWindowOrgEx(s.DC, -10, -5, nullptr);
    ASSERT_EQ(DrawThemeBackground(theme.Handle, s.DC, BP_PUSHBUTTON, PBS_HOT, &r, nullptr), S_OK);
    EXPECT_EQ(s.Ink(), RECT(10, 5, 50, 25));
  }
}

TEST_F(ThemeBackground, FixedSizePartsAreCentredAndReportTheirSize)
{
  TTheme button("BUTTON");
  TTheme tree("TREEVIEW");
  SIZE size;
  ASSERT_EQ(GetThemePartSize(button.Handle, nullptr, BP_CHECKBOX, CBS_CHECKEDNORMAL, nullptr, TS_TRUE, &size),
            S_OK);
  EXPECT_EQ(size, SIZE(13, 13));
  ASSERT_EQ(GetThemePartSize(tree.Handle, nullptr, TVP_GLYPH, GLPS_OPENED, nullptr, TS_DRAW, &size), S_OK);
  EXPECT_EQ(size, SIZE(16, 16));
  EXPECT_EQ(GetThemePartSize(tree.Handle, nullptr, 3, 1, nullptr, TS_DRAW, &size), E_INVALIDARG);

  TSurface s(40, 40);
  RECT r(0, 0, 40, 40);
  ASSERT_EQ(DrawThemeBackground(button.Handle, s.DC, BP_CHECKBOX, CBS_CHECKEDNORMAL, &r, nullptr), S_OK);
  EXPECT_EQ(s.Ink(), RECT(13, 13, 26, 26));
  // A rectangle smaller than the part still shows the whole part, centred.
  s.Clear();
  RECT small(20, 20, 24, 24);
  ASSERT_EQ(DrawThemeBackground(button.Handle, s.DC, BP_CHECKBOX, CBS_CHECKEDNORMAL, &small, nullptr), S_OK);
  EXPECT_EQ(s.Ink(), RECT(16, 16, 29, 29)); // (4 - 13) / 2 truncates to -4
}

TEST_F(ThemeBackground, ContentRectAndColours)
{
  TTheme button("BUTTON");
  RECT bounds(0, 0, 80, 24), content;
  ASSERT_EQ(GetThemeBackgroundContentRect(button.Handle, nullptr, BP_PUSHBUTTON, PBS_NORMAL, &bounds, &content),
            S_OK);
  EXPECT_EQ(content, RECT(3, 3, 77, 21));

  COLORREF normal = 1, disabled = 1;
  ASSERT_EQ(GetThemeColor(button.Handle, BP_PUSHBUTTON, PBS_NORMAL, TMT_TEXTCOLOR, &normal), S_OK);
  ASSERT_EQ(GetThemeColor(button.Handle, BP_PUSHBUTTON, PBS_DISABLED, TMT_TEXTCOLOR, &disabled), S_OK);
  EXPECT_EQ(normal, RGB(0, 0, 0));
  EXPECT_NE(disabled, normal);
  COLORREF c = 0;
  EXPECT_EQ(GetThemeColor(button.Handle, BP_PUSHBUTTON, PBS_NORMAL, 1234, &c), E_PROP_ID_UNSUPPORTED);
  TTheme tree("TREEVIEW");
  EXPECT_EQ(GetThemeColor(tree.Handle, TVP_TREEITEM, TREIS_NORMAL, TMT_FILLCOLOR, &c), E_PROP_ID_UNSUPPORTED);
  EXPECT_TRUE(IsThemeBackgroundPartiallyTransparent(tree.Handle, TVP_TREEITEM, TREIS_NORMAL));
  EXPECT_TRUE(IsThemePartDefined(tree.Handle, TVP_HOTGLYPH, 0));
  EXPECT_FALSE(IsThemePartDefined(tree.Handle, 3, 0));
}

TEST_F(StyleServicesTest, ElementDetailsCarryTheThemeNumbers)
{
  using namespace Vcl;
  TCustomStyleServices* services = StyleServices();
  EXPECT_EQ(services->GetElementDetails(tbPushButtonNormal), (TThemedElementDetails{teButton, 1, 1}));
  EXPECT_EQ(services->GetElementDetails(tbPushButtonDefaulted), (TThemedElementDetails{teButton, 1, 5}));
  EXPECT_EQ(services->GetElementDetails(tbRadioButtonCheckedDisabled), (TThemedElementDetails{teButton, 2, 8}));
  EXPECT_EQ(services->GetElementDetails(tbCheckBoxUncheckedNormal), (TThemedElementDetails{teButton, 3, 1}));
  EXPECT_EQ(services->GetElementDetails(tbCheckBoxMixedDisabled), (TThemedElementDetails{teButton, 3, 12}));
  EXPECT_EQ(services->GetElementDetails(ttbSplitButtonDropDownHot), (TThemedElementDetails{teToolBar, 4, 2}));
  EXPECT_EQ(services->GetElementDetails(ttItemSelectedNotFocus), (TThemedElementDetails{teTreeview, 1, 5}));
  EXPECT_EQ(services->GetElementDetails(ttHotGlyphOpened), (TThemedElementDetails{teTreeview, 4, 2}));
  EXPECT_EQ(services->GetElementDetails(teEditTextCueBanner), (TThemedElementDetails{teEdit, 1, 8}));
  EXPECT_EQ(services->GetElementDetails(tnBackButtonDisabled), (TThemedElementDetails{teNavigation, 1, 4}));
  EXPECT_EQ(services->GetElementDetails(tbButtonRoot), (TThemedElementDetails{teButton, 0, 0}));
}

TEST_F(StyleServicesTest, DrawsAndMeasuresThroughTheThemeAndFollowsTheSwitch)
{
  using namespace Vcl;
  TCustomStyleServices* services = StyleServices();
  TSurface a(30, 30), b(30, 30);
  TRect r(0, 0, 30, 30);
  ASSERT_TRUE(services->DrawElement(a.DC, services->GetElementDetails(tnBackButtonHot), r));
  TTheme nav("NAVIGATION");
  ASSERT_EQ(DrawThemeBackground(nav.Handle, b.DC, NAV_BACKBUTTON, NAV_BB_HOT, &r, nullptr), S_OK);
  EXPECT_EQ(a.Pixels(), b.Pixels());

  TSize size;
  ASSERT_TRUE(services->GetElementSize(nullptr, services->GetElementDetails(tnBackButtonNormal), esActual, size));
  EXPECT_EQ(size, TSize(30, 30));
  TColor color = clNone;
  ASSERT_TRUE(services->GetElementColor(services->GetElementDetails(tbPushButtonNormal), ecTextColor, color));
  EXPECT_EQ(color, clBlack);
  EXPECT_FALSE(services->GetElementColor(services->GetElementDetails(ttItemNormal), ecFillColor, color));
  EXPECT_TRUE(services->HasTransparentParts(services->GetElementDetails(ttbButtonNormal)));

  int control = 0; // any control: only its presence matters
  EXPECT_TRUE(ThemeControl(reinterpret_cast<const TControl*>(&control)));
  EXPECT_FALSE(ThemeControl(nullptr));
  QxTest::TVisualStyles off(false);
  EXPECT_FALSE(ThemeControl(reinterpret_cast<const TControl*>(&control)));
  EXPECT_FALSE(services->GetElementSize(nullptr, services->GetElementDetails(tnBackButtonNormal), esActual, size));
}

TEST_F(ThemeText, DrawsInThePartsColourOrTheCallersAndMeasures)
{
  TTheme button("BUTTON");
  TSurface s(120, 30);
  SetTextColor(s.DC, RGB(1, 2, 3));
  SetBkMode(s.DC, OPAQUE);
  RECT r(0, 0, 120, 30);
  ASSERT_EQ(DrawThemeTextEx(button.Handle, s.DC, BP_PUSHBUTTON, PBS_DISABLED, "Wide text", -1, DT_SINGLELINE, &r,
                            nullptr),
            S_OK);
  COLORREF disabled = 0;
  ASSERT_EQ(GetThemeColor(button.Handle, BP_PUSHBUTTON, PBS_DISABLED, TMT_TEXTCOLOR, &disabled), S_OK);
  std::set<COLORREF> colours;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x)
      colours.insert(s.At(x, y));
  EXPECT_TRUE(colours.count(disabled)); // solid glyph pixels are the part's colour
  EXPECT_FALSE(colours.count(RGB(1, 2, 3)));
  EXPECT_EQ(GetTextColor(s.DC), RGB(1, 2, 3)); // the DC is left as it was
  EXPECT_EQ(GetBkMode(s.DC), OPAQUE);

  s.Clear();
  DTTOPTS options;
  options.dwFlags = DTT_TEXTCOLOR | DTT_COMPOSITED;
  options.crText = RGB(255, 0, 0);
  ASSERT_EQ(DrawThemeTextEx(button.Handle, s.DC, BP_PUSHBUTTON, PBS_DISABLED, "Wide text", -1, DT_SINGLELINE, &r,
                            &options),
            S_OK);
  RECT ink = s.Ink();
  EXPECT_GT(ink.Width(), 10);
  bool red = false;
  for (int y = ink.Top; y < ink.Bottom; ++y)
    for (int x = ink.Left; x < ink.Right; ++x)
      red |= s.At(x, y) == RGB(255, 0, 0);
  EXPECT_TRUE(red);

  // Measuring draws nothing and gives what DrawText gives.
  s.Clear();
  options.dwFlags = DTT_CALCRECT;
  RECT measured(0, 0, 0, 0), expected(0, 0, 0, 0);
  ASSERT_EQ(DrawThemeTextEx(button.Handle, s.DC, BP_PUSHBUTTON, PBS_NORMAL, "Wide text", -1, DT_SINGLELINE,
                            &measured, &options),
            S_OK);
  DrawText(s.DC, "Wide text", -1, &expected, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(measured, expected);
  EXPECT_GT(measured.Width(), 0);
  EXPECT_EQ(s.Ink(), RECT());
  EXPECT_EQ(DrawThemeTextEx(nullptr, s.DC, BP_PUSHBUTTON, PBS_NORMAL, "x", -1, 0, &measured, nullptr), E_HANDLE);
  EXPECT_EQ(DrawThemeTextEx(button.Handle, s.DC, BP_PUSHBUTTON, PBS_NORMAL, nullptr, -1, 0, &measured, nullptr),
            E_INVALIDARG);
}

namespace {

using ThemeParentBackground = QxTest::WindowTest;

} // namespace

TEST_F(ThemeParentBackground, TheParentPaintsUnderTheChild)
{
  // A parent whose client shows red left of x = 70 and blue from there on.
  Win::HWND parent = Make(nullptr, 0, 0, 200, 100, RGB(255, 0, 0));
  Of(parent).Hook = [](Win::HWND, Win::UINT msg, Win::WPARAM wParam, Win::LPARAM lParam, Win::LRESULT& result) {
    if (msg != Win::WM_PRINTCLIENT || !(lParam & Win::PRF_CLIENT))
      return false;
    QxTest::FillSolid(reinterpret_cast<Win::HDC>(wParam), RECT(0, 0, 70, 100), RGB(255, 0, 0));
    QxTest::FillSolid(reinterpret_cast<Win::HDC>(wParam), RECT(70, 0, 200, 100), RGB(0, 0, 255));
    result = 0;
    return true;
  };
  Win::HWND child = Make(parent, 50, 20, 40, 30, RGB(255, 255, 255));
  TSurface s(40, 30);
  ASSERT_EQ(DrawThemeParentBackground(child, s.DC, nullptr), S_OK);
  EXPECT_EQ(s.At(19, 10), RGB(255, 0, 0)); // parent x 69
  EXPECT_EQ(s.At(20, 10), RGB(0, 0, 255)); // parent x 70
  POINT org;
  Win::GetWindowOrgEx(s.DC, &org);
  EXPECT_EQ(org, POINT(0, 0));

  s.Clear();
  RECT part(0, 0, 10, 30);
  ASSERT_EQ(DrawThemeParentBackground(child, s.DC, &part), S_OK);
  EXPECT_EQ(s.Ink(), part);
  RECT clip;
  EXPECT_EQ(Win::GetClipBox(s.DC, &clip), SIMPLEREGION); // the DC's clip is its own again
  EXPECT_EQ(clip, RECT(0, 0, 40, 30));

  EXPECT_EQ(DrawThemeParentBackground(parent, s.DC, nullptr), E_INVALIDARG); // no parent to ask
  QxTest::TVisualStyles on(true);
  s.Clear();
  Vcl::TThemedElementDetails button = Vcl::StyleServices()->GetElementDetails(Vcl::tbPushButtonNormal);
  Vcl::TThemedElementDetails edit{Vcl::teEdit, EP_EDITTEXT, ETS_NORMAL};
  EXPECT_FALSE(Vcl::StyleServices()->DrawParentBackground(child, s.DC, &edit, true)); // an opaque element
  EXPECT_TRUE(Vcl::StyleServices()->DrawParentBackground(child, s.DC, &button, true));
  EXPECT_EQ(s.At(20, 10), RGB(0, 0, 255));
  Win::DestroyWindow(parent);
}

// A window given the "explorer" sub-application draws the tree glyphs as
// Explorer's triangles (an outline pointing right when closed, a solid one
// pointing down and right when open) instead of the boxed plus and minus;
// the other tree parts are the same, and the name goes with the window.
TEST_F(ThemeParentBackground, ExplorerWindowsDrawTheTreeGlyphAsTriangles)
{
  QxTest::TVisualStyles on(true);
  Win::HWND plain = Make(nullptr, 0, 0, 40, 40, kWhite), explorer = Make(nullptr, 0, 0, 40, 40, kWhite);
  ASSERT_EQ(SetWindowTheme(explorer, "explorer", nullptr), S_OK);
  EXPECT_EQ(GetWindowThemeSubAppName(explorer), "explorer");
  EXPECT_EQ(GetWindowThemeSubAppName(plain), "");

  auto draw = [](Win::HWND Window, int Part, int State) {
    auto s = std::make_unique<TSurface>(16, 16);
    HTHEME theme = OpenThemeData(Window, "TREEVIEW");
    RECT r(0, 0, 16, 16);
    EXPECT_EQ(DrawThemeBackground(theme, s->DC, Part, State, &r, nullptr), S_OK);
    SIZE size;
    EXPECT_EQ(GetThemePartSize(theme, nullptr, Part, State, nullptr, TS_DRAW, &size), S_OK);
    EXPECT_TRUE(Part == TVP_TREEITEM || size == SIZE(16, 16));
    CloseThemeData(theme);
    return s;
  };
  // The box: a grey 9-pixel frame with a dark sign across its middle row;
  // the plus adds the column.
  const COLORREF frame = RGB(0x91, 0x91, 0x91), sign = RGB(0x40, 0x40, 0x40);
  auto closedBox = draw(plain, TVP_GLYPH, GLPS_CLOSED);
  auto openBox = draw(plain, TVP_GLYPH, GLPS_OPENED);
  EXPECT_EQ(closedBox->Row(3, frame), "...#########....");
  EXPECT_EQ(closedBox->Row(7, sign), ".....#####......");
  EXPECT_EQ(closedBox->Row(5, sign), ".......#........");
  EXPECT_EQ(openBox->Row(7, sign), ".....#####......");
  EXPECT_EQ(openBox->Row(5, sign), "................");

  // The triangles: no frame; the closed one hollow, the open one solid in
  // its lower right corner.
  auto closed = draw(explorer, TVP_GLYPH, GLPS_CLOSED);
  auto open = draw(explorer, TVP_GLYPH, GLPS_OPENED);
  EXPECT_NE(closed->Pixels(), closedBox->Pixels());
  EXPECT_NE(open->Pixels(), openBox->Pixels());
  EXPECT_NE(open->Pixels(), closed->Pixels());
  EXPECT_EQ(closed->Row(3, frame), "................");
  EXPECT_EQ(closed->At(7, 8), kWhite);                // inside the outline
  EXPECT_EQ(open->At(10, 10), RGB(0x59, 0x59, 0x59)); // inside the solid triangle
  EXPECT_EQ(open->At(6, 6), kWhite);                  // above its diagonal
  EXPECT_EQ(open->Ink(), RECT(5, 5, 11, 11));
  EXPECT_NE(draw(explorer, TVP_HOTGLYPH, GLPS_OPENED)->Pixels(), open->Pixels());
  EXPECT_EQ(draw(explorer, TVP_TREEITEM, TREIS_SELECTED)->Pixels(),
            draw(plain, TVP_TREEITEM, TREIS_SELECTED)->Pixels());

  ASSERT_EQ(SetWindowTheme(explorer, nullptr, nullptr), S_OK);
  EXPECT_EQ(draw(explorer, TVP_GLYPH, GLPS_CLOSED)->Pixels(), closedBox->Pixels());
  Win::DestroyWindow(explorer);
  Win::DestroyWindow(plain);
  EXPECT_EQ(SetWindowTheme(explorer, "explorer", nullptr), E_HANDLE);
  EXPECT_EQ(GetWindowThemeSubAppName(explorer), "");
}

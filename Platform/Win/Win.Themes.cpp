// The style engine behind the theme calls: a table of the parts it knows,
// each with a shape and one look per state, drawn with Cairo straight onto
// the DC's surface through the DC's window origin and clipping.
#include "Win.Themes.hpp"
#include "Winapi.UxTheme.hpp"

#include "Win.Gdi.Cairo.hpp"
#include "Win.Gdi.Internal.hpp"
#include "Win.Screen.hpp"
#include "Win.User.Internal.hpp"
#include "Win.User.hpp"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace Win {

// ExplorerTreeView is the tree class opened on a window whose sub-application
// is "explorer": it overrides the glyphs and takes the rest from TreeView.
enum class TThemeClass { Button, Toolbar, TreeView, ExplorerTreeView, Edit, Navigation, Menu };

struct TThemeData {
  TThemeClass Class;
};

namespace {

// ---- switches and handles ------------------------------------------------------------

std::atomic<bool> gThemeActive{true};
std::atomic<DWORD> gAppProperties{STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT};

std::mutex gHandlesLock;
std::set<const TThemeData*>& Handles()
{
  static std::set<const TThemeData*> handles;
  return handles;
}

bool LiveTheme(HTHEME theme)
{
  std::lock_guard<std::mutex> lock(gHandlesLock);
  return theme && Handles().count(theme) != 0;
}

bool SameText(const std::string& a, const char* b)
{
  return a.size() == std::strlen(b) &&
         std::equal(a.begin(), a.end(), b, [](char x, char y) { return std::toupper(x) == std::toupper(y); });
}

bool ClassByName(const std::string& name, TThemeClass& cls)
{
  static const struct {
    const char* Name;
    TThemeClass Class;
  } names[] = {{"BUTTON", TThemeClass::Button},
               {"TOOLBAR", TThemeClass::Toolbar},
               {"TREEVIEW", TThemeClass::TreeView},
               {"EDIT", TThemeClass::Edit},
               {"NAVIGATION", TThemeClass::Navigation},
               {"MENU", TThemeClass::Menu}};
  for (const auto& n : names)
    if (SameText(name, n.Name)) {
      cls = n.Class;
      return true;
    }
  return false;
}

std::string Trimmed(const std::string& s)
{
  std::size_t b = s.find_first_not_of(" \t");
  std::size_t e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// ---- the look -----------------------------------------------------------------------

constexpr COLORREF kNone = CLR_INVALID;

// Colours are written 0xRRGGBB here, as designers write them.
constexpr COLORREF Hex(std::uint32_t rgb)
{
  return RGB(BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb));
}

struct TLook {
  COLORREF Fill = kNone;
  COLORREF Border = kNone;
  COLORREF Ink = kNone; // mark, glyph or arrow; for boxes an accent line along the bottom
  COLORREF Text = kNone;
  int BorderWidth = 1;
};

// MenuCheck draws a tick (states 1 and 2) or a bullet (3 and 4) in Ink;
// Separator a line of Border across the middle; SubMenuArrow a small
// right-pointing triangle in Ink.
// PlusMinus draws a box in Fill and Border with a minus (opened) or plus
// (closed) in Ink; Triangle an outlined right-pointing triangle in Border
// (closed) or a filled one pointing down and right in Ink (opened).
enum class TShape {
  Box,
  CheckBox,
  Radio,
  PlusMinus,
  Triangle,
  DropDown,
  BackButton,
  MenuCheck,
  Separator,
  SubMenuArrow
};

struct TPartInfo {
  TThemeClass Class;
  int Part;
  TShape Shape;
  int FixedSize; // at 96 DPI; 0 for parts that fill their rectangle
  int Radius;
  int ContentMargin;
  std::vector<TLook> States; // state 1 first
};

constexpr COLORREF kAccent = Hex(0x0078D7), kAccentDark = Hex(0x005499), kAccentLight = Hex(0xE5F1FB),
                   kAccentPressed = Hex(0xCCE4F7), kWhite = Hex(0xFFFFFF), kBlack = 0, kDisabled = Hex(0xCCCCCC),
                   kDisabledText = Hex(0x838383), kItemHot = Hex(0xE5F3FF), kItemSelected = Hex(0xCCE8FF),
                   kItemBorder = Hex(0x99D1FF), kCheckedBorder = Hex(0x62A2E4), kMenuFill = Hex(0xF2F2F2),
                   kMenuBorder = Hex(0xCCCCCC), kMenuHot = Hex(0x91C9F7), kMenuHotBorder = Hex(0x91C9F7);

const std::vector<TPartInfo>& Parts()
{
  static const std::vector<TPartInfo> parts = {
    {TThemeClass::Button, BP_PUSHBUTTON, TShape::Box, 0, 3, 3,
     {{Hex(0xFDFDFD), Hex(0xADADAD), kNone, kBlack},
      {kAccentLight, kAccent, kNone, kBlack},
      {kAccentPressed, kAccentDark, kNone, kBlack},
      {Hex(0xF4F4F4), Hex(0xD5D5D5), kNone, kDisabledText},
      {Hex(0xFDFDFD), kAccent, kNone, kBlack, 2},
      {kAccentLight, kAccent, kNone, kBlack, 2}}},
    {TThemeClass::Button, BP_RADIOBUTTON, TShape::Radio, 13, 0, 0,
     {{kWhite, Hex(0x333333), kNone, kBlack},
      {kWhite, kAccent, kNone, kBlack},
      {kAccentPressed, kAccentDark, kNone, kBlack},
      {kWhite, kDisabled, kNone, kDisabledText},
      {kWhite, kAccent, kAccent, kBlack},
      {kWhite, Hex(0x2B88D8), Hex(0x2B88D8), kBlack},
      {kAccentPressed, kAccentDark, kAccentDark, kBlack},
      {kWhite, kDisabled, kDisabled, kDisabledText}}},
    {TThemeClass::Button, BP_CHECKBOX, TShape::CheckBox, 13, 2, 0,
     {{kWhite, Hex(0x333333), kNone, kBlack},
      {kWhite, kAccent, kNone, kBlack},
      {kAccentPressed, kAccentDark, kNone, kBlack},
      {kWhite, kDisabled, kNone, kDisabledText},
      {kAccent, kAccent, kWhite, kBlack},
      {Hex(0x2B88D8), Hex(0x2B88D8), kWhite, kBlack},
      {kAccentDark, kAccentDark, kWhite, kBlack},
      {kDisabled, kDisabled, kWhite, kDisabledText},
      {kWhite, Hex(0x333333), Hex(0x333333), kBlack},
      {kWhite, kAccent, kAccent, kBlack},
      {kAccentPressed, kAccentDark, kAccentDark, kBlack},
      {kWhite, kDisabled, kDisabled, kDisabledText}}},
    {TThemeClass::Toolbar, TP_BUTTON, TShape::Box, 0, 2, 3,
     {{kNone, kNone, kNone, kBlack},
      {kItemHot, kItemSelected, kNone, kBlack},
      {kItemSelected, kItemBorder, kNone, kBlack},
      {kNone, kNone, kNone, kDisabledText},
      {kItemSelected, kCheckedBorder, kNone, kBlack},
      {Hex(0xB8DCFF), kCheckedBorder, kNone, kBlack}}},
    {TThemeClass::Toolbar, TP_SPLITBUTTON, TShape::Box, 0, 2, 3,
     {{kNone, kNone, kNone, kBlack},
      {kItemHot, kItemSelected, kNone, kBlack},
      {kItemSelected, kItemBorder, kNone, kBlack},
      {kNone, kNone, kNone, kDisabledText},
      {kItemSelected, kCheckedBorder, kNone, kBlack},
      {Hex(0xB8DCFF), kCheckedBorder, kNone, kBlack}}},
    {TThemeClass::Toolbar, TP_SPLITBUTTONDROPDOWN, TShape::DropDown, 0, 2, 0,
     {{kNone, kNone, Hex(0x404040), kBlack},
      {kItemHot, kItemSelected, Hex(0x404040), kBlack},
      {kItemSelected, kItemBorder, kBlack, kBlack},
      {kNone, kNone, Hex(0xA0A0A0), kDisabledText},
      {kItemSelected, kCheckedBorder, Hex(0x404040), kBlack},
      {Hex(0xB8DCFF), kCheckedBorder, Hex(0x404040), kBlack}}},
    {TThemeClass::TreeView, TVP_TREEITEM, TShape::Box, 0, 2, 0,
     {{kNone, kNone, kNone, kBlack},
      {kItemHot, kItemHot, kNone, kBlack},
      {kItemSelected, kItemBorder, kNone, kBlack},
      {kNone, kNone, kNone, Hex(0x6D6D6D)},
      {Hex(0xD9D9D9), Hex(0xD9D9D9), kNone, kBlack},
      {Hex(0xC4E0FC), Hex(0x7DA2CE), kNone, kBlack}}},
    {TThemeClass::TreeView, TVP_GLYPH, TShape::PlusMinus, 16, 0, 0,
     {{kWhite, Hex(0x919191), Hex(0x404040), kNone}, {kWhite, Hex(0x919191), Hex(0x404040), kNone}}},
    {TThemeClass::TreeView, TVP_HOTGLYPH, TShape::PlusMinus, 16, 0, 0,
     {{kWhite, Hex(0x1C97EA), Hex(0x1C97EA), kNone}, {kWhite, Hex(0x1C97EA), Hex(0x1C97EA), kNone}}},
    {TThemeClass::ExplorerTreeView, TVP_GLYPH, TShape::Triangle, 16, 0, 0,
     {{kNone, Hex(0xA6A6A6), kNone, kNone}, {kNone, kNone, Hex(0x595959), kNone}}},
    {TThemeClass::ExplorerTreeView, TVP_HOTGLYPH, TShape::Triangle, 16, 0, 0,
     {{kNone, Hex(0x1CC4F7), kNone, kNone}, {kNone, kNone, Hex(0x1CC4F7), kNone}}},
    {TThemeClass::Edit, EP_EDITTEXT, TShape::Box, 0, 0, 2,
     {{kWhite, Hex(0x7A7A7A), kNone, kBlack},
      {kWhite, Hex(0x171717), kNone, kBlack},
      {kWhite, kAccent, kNone, kBlack},
      {Hex(0xF0F0F0), kDisabled, kNone, Hex(0x6D6D6D)},
      {kWhite, kAccent, kAccent, kBlack},
      {Hex(0xF0F0F0), Hex(0x7A7A7A), kNone, kBlack},
      {Hex(0xFFFFE1), Hex(0x7A7A7A), kNone, kBlack},
      {Hex(0xFAFAFA), Hex(0x7A7A7A), kNone, Hex(0x6D6D6D)}}},
    {TThemeClass::Navigation, NAV_BACKBUTTON, TShape::BackButton, 30, 0, 0,
     {{kNone, Hex(0x767676), Hex(0x333333), kBlack},
      {kAccentLight, kAccent, kAccent, kBlack},
      {kAccentPressed, kAccentDark, kAccentDark, kBlack},
      {kNone, kDisabled, kDisabled, kDisabledText}}},
    {TThemeClass::Menu, MENU_POPUPBACKGROUND, TShape::Box, 0, 0, 0, {{kMenuFill, kNone, kNone, kBlack}}},
    {TThemeClass::Menu, MENU_POPUPBORDERS, TShape::Box, 0, 0, 2, {{kNone, kMenuBorder, kNone, kBlack}}},
    {TThemeClass::Menu, MENU_POPUPCHECK, TShape::MenuCheck, 0, 0, 0,
     {{kNone, kNone, kBlack, kBlack},
      {kNone, kNone, kDisabledText, kDisabledText},
      {kNone, kNone, kBlack, kBlack},
      {kNone, kNone, kDisabledText, kDisabledText}}},
    {TThemeClass::Menu, MENU_POPUPCHECKBACKGROUND, TShape::Box, 0, 2, 0,
     {{kNone, kMenuBorder, kNone, kDisabledText},
      {kItemSelected, kItemBorder, kNone, kBlack},
      {kItemSelected, kItemBorder, kNone, kBlack}}},
    {TThemeClass::Menu, MENU_POPUPGUTTER, TShape::Box, 0, 0, 0, {{kMenuFill, kNone, kNone, kBlack}}},
    {TThemeClass::Menu, MENU_POPUPITEM, TShape::Box, 0, 2, 0,
     {{kNone, kNone, kNone, kBlack},
      {kMenuHot, kMenuHotBorder, kNone, kBlack},
      {kNone, kNone, kNone, kDisabledText},
      {Hex(0xE6E6E6), Hex(0xE6E6E6), kNone, kDisabledText}}},
    {TThemeClass::Menu, MENU_POPUPSEPARATOR, TShape::Separator, 0, 0, 0, {{kNone, kMenuBorder, kNone, kNone}}},
    {TThemeClass::Menu, MENU_POPUPSUBMENU, TShape::SubMenuArrow, 0, 0, 0,
     {{kNone, kNone, Hex(0x333333), kNone}, {kNone, kNone, kDisabledText, kNone}}},
  };
  return parts;
}

const TPartInfo* FindPart(HTHEME theme, int part)
{
  for (const TPartInfo& p : Parts())
    if (p.Class == theme->Class && p.Part == part)
      return &p;
  if (theme->Class == TThemeClass::ExplorerTreeView)
    for (const TPartInfo& p : Parts())
      if (p.Class == TThemeClass::TreeView && p.Part == part)
        return &p;
  return nullptr;
}

const TLook* FindLook(const TPartInfo* part, int state)
{
  if (!part || state < 1 || state > int(part->States.size()))
    return nullptr;
  return &part->States[std::size_t(state - 1)];
}

int Scaled(int px)
{
  return MulDiv(px, ScreenSettings().LogPixels, 96);
}

// A fixed-size part centred in the rectangle (offsets truncated, so a
// rectangle smaller than the part gives negative ones).
RECT PartRect(const TPartInfo& part, const RECT& r)
{
  if (part.FixedSize == 0)
    return r;
  int size = Scaled(part.FixedSize);
  int left = r.Left + (r.Width() - size) / 2;
  int top = r.Top + (r.Height() - size) / 2;
  return RECT(left, top, left + size, top + size);
}

// ---- shapes ------------------------------------------------------------------------

void SetColor(cairo_t* cr, COLORREF c)
{
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void RoundedPath(cairo_t* cr, double x, double y, double w, double h, double radius)
{
  radius = std::clamp(radius, 0.0, std::min(w, h) / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

// Fill and a border of whole pixels along the inside of r.
void DrawBox(cairo_t* cr, const RECT& r, double radius, const TLook& look)
{
  if (r.Width() <= 0 || r.Height() <= 0)
    return;
  if (look.Fill != kNone) {
    RoundedPath(cr, r.Left, r.Top, r.Width(), r.Height(), radius);
    SetColor(cr, look.Fill);
    cairo_fill(cr);
  }
  if (look.Border != kNone) {
    double half = look.BorderWidth / 2.0;
    RoundedPath(cr, r.Left + half, r.Top + half, r.Width() - look.BorderWidth, r.Height() - look.BorderWidth,
                std::max(0.0, radius - half));
    SetColor(cr, look.Border);
    cairo_set_line_width(cr, look.BorderWidth);
    cairo_stroke(cr);
  }
}

void DrawEllipse(cairo_t* cr, double cx, double cy, double radius, COLORREF fill, COLORREF ring, double width)
{
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, radius - width / 2, 0, 2 * M_PI);
  if (fill != kNone) {
    SetColor(cr, fill);
    cairo_fill_preserve(cr);
  }
  if (ring != kNone) {
    SetColor(cr, ring);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
  }
  cairo_new_path(cr);
}

void StrokePolyline(cairo_t* cr, std::initializer_list<std::pair<double, double>> points, COLORREF color,
                    double width)
{
  cairo_new_path(cr);
  for (const auto& [x, y] : points)
    cairo_line_to(cr, x, y);
  SetColor(cr, color);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void DrawCheckBox(cairo_t* cr, const RECT& r, int state, const TLook& look, double radius)
{
  DrawBox(cr, r, radius, look);
  double s = r.Width(), x = r.Left, y = r.Top;
  if (look.Ink == kNone)
    return;
  if (state >= CBS_MIXEDNORMAL) {
    double inset = std::round(s * 3 / 13);
    RoundedPath(cr, x + inset, y + inset, s - 2 * inset, s - 2 * inset, 1);
    SetColor(cr, look.Ink);
    cairo_fill(cr);
    return;
  }
  StrokePolyline(cr, {{x + s * 0.22, y + s * 0.52}, {x + s * 0.42, y + s * 0.72}, {x + s * 0.78, y + s * 0.30}},
                 look.Ink, std::max(1.0, s * 1.6 / 13));
}

void DrawRadio(cairo_t* cr, const RECT& r, const TLook& look)
{
  double radius = r.Width() / 2.0;
  double cx = r.Left + radius, cy = r.Top + radius;
  DrawEllipse(cr, cx, cy, radius, look.Fill, look.Border, 1);
  if (look.Ink != kNone)
    DrawEllipse(cr, cx, cy, radius * 0.45, look.Ink, kNone, 0);
}

void DrawPlusMinus(cairo_t* cr, const RECT& r, bool opened, const TLook& look)
{
  double u = r.Width() / 16.0; // the glyph is drawn on a 16-unit grid
  // Whole pixels, so that the box's lines and the sign stay crisp.
  double side = std::round(9 * u), left = r.Left + std::floor((r.Width() - side) / 2),
         top = r.Top + std::floor((r.Height() - side) / 2);
  cairo_new_path(cr);
  cairo_rectangle(cr, left + 0.5, top + 0.5, side - 1, side - 1);
  SetColor(cr, look.Fill);
  cairo_fill_preserve(cr);
  SetColor(cr, look.Border);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  double arm = std::round(2 * u), mid = std::floor(side / 2);
  SetColor(cr, look.Ink);
  cairo_rectangle(cr, left + mid - arm, top + mid, 2 * arm + 1, 1);
  if (!opened)
    cairo_rectangle(cr, left + mid, top + mid - arm, 1, 2 * arm + 1);
  cairo_fill(cr);
}

void DrawTriangle(cairo_t* cr, const RECT& r, bool opened, const TLook& look)
{
  double u = r.Width() / 16.0;
  double cx = r.Left + r.Width() / 2.0, cy = r.Top + r.Height() / 2.0;
  cairo_new_path(cr);
  if (opened) {
    cairo_move_to(cr, cx + 3 * u, cy - 3 * u);
    cairo_line_to(cr, cx + 3 * u, cy + 3 * u);
    cairo_line_to(cr, cx - 3 * u, cy + 3 * u);
    cairo_close_path(cr);
    SetColor(cr, look.Ink);
    cairo_fill(cr);
    return;
  }
  cairo_move_to(cr, cx - 2 * u, cy - 4 * u);
  cairo_line_to(cr, cx + 2 * u, cy);
  cairo_line_to(cr, cx - 2 * u, cy + 4 * u);
  cairo_close_path(cr);
  SetColor(cr, look.Border);
  cairo_set_line_width(cr, std::max(1.0, u));
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr);
}

void DrawDropArrow(cairo_t* cr, const RECT& r, COLORREF color)
{
  double u = Scaled(96) / 96.0;
  double cx = r.Left + r.Width() / 2.0, cy = r.Top + r.Height() / 2.0;
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 3.5 * u, cy - 2 * u);
  cairo_line_to(cr, cx + 3.5 * u, cy - 2 * u);
  cairo_line_to(cr, cx, cy + 2 * u);
  cairo_close_path(cr);
  SetColor(cr, color);
  cairo_fill(cr);
}

void DrawBackButton(cairo_t* cr, const RECT& r, const TLook& look)
{
  double radius = r.Width() / 2.0;
  double cx = r.Left + radius, cy = r.Top + radius;
  double u = r.Width() / 30.0;
  DrawEllipse(cr, cx, cy, radius - u, look.Fill, look.Border, 1.5 * u);
  double arm = 7 * u, head = 5 * u;
  StrokePolyline(cr, {{cx + arm, cy}, {cx - arm, cy}}, look.Ink, 2 * u);
  StrokePolyline(cr, {{cx - arm + head, cy - head}, {cx - arm, cy}, {cx - arm + head, cy + head}}, look.Ink,
                 2 * u);
}

void DrawMenuCheck(cairo_t* cr, const RECT& r, int state, COLORREF color)
{
  double u = Scaled(96) / 96.0;
  double cx = r.Left + r.Width() / 2.0, cy = r.Top + r.Height() / 2.0;
  if (state >= MC_BULLETNORMAL) {
    DrawEllipse(cr, cx, cy, 3.5 * u, color, kNone, 0);
    return;
  }
  StrokePolyline(cr, {{cx - 4 * u, cy}, {cx - 1.5 * u, cy + 3 * u}, {cx + 4 * u, cy - 3.5 * u}}, color, 1.6 * u);
}

void DrawSeparator(cairo_t* cr, const RECT& r, COLORREF color)
{
  SetColor(cr, color);
  cairo_rectangle(cr, r.Left, r.Top + r.Height() / 2, r.Width(), 1);
  cairo_fill(cr);
}

void DrawSubMenuArrow(cairo_t* cr, const RECT& r, COLORREF color)
{
  double u = Scaled(96) / 96.0;
  double cx = r.Left + r.Width() / 2.0, cy = r.Top + r.Height() / 2.0;
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 2 * u, cy - 4 * u);
  cairo_line_to(cr, cx + 2 * u, cy);
  cairo_line_to(cr, cx - 2 * u, cy + 4 * u);
  cairo_close_path(cr);
  SetColor(cr, color);
  cairo_fill(cr);
}

void DrawPart(cairo_t* cr, const TPartInfo& part, int state, const TLook& look, const RECT& rect)
{
  RECT r = PartRect(part, rect);
  double radius = Scaled(part.Radius);
  switch (part.Shape) {
  case TShape::Box:
    DrawBox(cr, r, radius, look);
    if (look.Ink != kNone) {
      SetColor(cr, look.Ink);
      cairo_rectangle(cr, r.Left + 1, r.Bottom - 2, std::max(0, r.Width() - 2), 2);
      cairo_fill(cr);
    }
    return;
  case TShape::CheckBox: DrawCheckBox(cr, r, state, look, radius); return;
  case TShape::Radio: DrawRadio(cr, r, look); return;
  case TShape::PlusMinus: DrawPlusMinus(cr, r, state == GLPS_OPENED, look); return;
  case TShape::Triangle: DrawTriangle(cr, r, state == GLPS_OPENED, look); return;
  case TShape::DropDown:
    DrawBox(cr, r, radius, look);
    DrawDropArrow(cr, r, look.Ink);
    return;
  case TShape::BackButton: DrawBackButton(cr, r, look); return;
  case TShape::MenuCheck: DrawMenuCheck(cr, r, state, look.Ink); return;
  case TShape::Separator: DrawSeparator(cr, r, look.Border); return;
  case TShape::SubMenuArrow: DrawSubMenuArrow(cr, r, look.Ink); return;
  }
}

} // namespace

// ---- switches --------------------------------------------------------------------------

BOOL IsThemeActive()
{
  return gThemeActive.load() ? TRUE : FALSE;
}

BOOL IsAppThemed()
{
  return gThemeActive.load() && (gAppProperties.load() & STAP_ALLOW_CONTROLS) ? TRUE : FALSE;
}

HRESULT EnableTheming(BOOL fEnable)
{
  gThemeActive.store(fEnable != FALSE);
  return S_OK;
}

void SetThemeAppProperties(DWORD dwFlags)
{
  gAppProperties.store(dwFlags);
}

DWORD GetThemeAppProperties()
{
  return gAppProperties.load();
}

// ---- theme data -------------------------------------------------------------------------

HTHEME OpenThemeData(HWND hwnd, const char* pszClassList)
{
  if (!pszClassList || !IsAppThemed())
    return nullptr;
  std::string list(pszClassList);
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = std::min(list.find(';', start), list.size());
    TThemeClass cls;
    if (ClassByName(Trimmed(list.substr(start, end - start)), cls)) {
      if (cls == TThemeClass::TreeView && SameText(GetWindowThemeSubAppName(hwnd), "explorer"))
        cls = TThemeClass::ExplorerTreeView;
      auto* theme = new TThemeData{cls};
      std::lock_guard<std::mutex> lock(gHandlesLock);
      Handles().insert(theme);
      return theme;
    }
    start = end + 1;
  }
  return nullptr;
}

HRESULT SetWindowTheme(HWND hwnd, const char* pszSubAppName, const char* pszSubIdList)
{
  (void)pszSubIdList; // one style for every control: there are no ids to pick from
  TWindow* window = Live(hwnd);
  if (!window)
    return E_HANDLE;
  window->ThemeSubApp = pszSubAppName ? pszSubAppName : "";
  // As on the desktop: the window learns of it and repaints with the new look.
  SendMessage(hwnd, WM_THEMECHANGED, 0, 0);
  InvalidateRect(hwnd, nullptr, TRUE);
  return S_OK;
}

std::string GetWindowThemeSubAppName(HWND hwnd)
{
  TWindow* window = Live(hwnd);
  return window ? window->ThemeSubApp : std::string();
}

HRESULT CloseThemeData(HTHEME hTheme)
{
  std::lock_guard<std::mutex> lock(gHandlesLock);
  if (!hTheme || Handles().erase(hTheme) == 0)
    return E_HANDLE;
  delete hTheme;
  return S_OK;
}

// ---- drawing ---------------------------------------------------------------------------

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                            const RECT* pClipRect)
{
  if (!LiveTheme(hTheme))
    return E_HANDLE;
  if (!pRect || !LiveDC(hdc))
    return E_INVALIDARG;
  const TPartInfo* part = FindPart(hTheme, iPartId);
  const TLook* look = FindLook(part, iStateId);
  if (!look)
    return E_INVALIDARG;
  TCairoDC painter(hdc, pClipRect);
  cairo_t* cr = painter.Context();
  if (cr && !painter.ClipEmpty() && cairo_status(cr) == CAIRO_STATUS_SUCCESS)
    DrawPart(cr, *part, iStateId, *look, *pRect);
  return S_OK;
}

HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                      const RECT* pBoundingRect, RECT* pContentRect)
{
  (void)hdc;
  if (!LiveTheme(hTheme))
    return E_HANDLE;
  const TPartInfo* part = FindPart(hTheme, iPartId);
  if (!pBoundingRect || !pContentRect || !FindLook(part, iStateId))
    return E_INVALIDARG;
  int m = Scaled(part->ContentMargin);
  const RECT& b = *pBoundingRect;
  *pContentRect = RECT(b.Left + m, b.Top + m, b.Right - m, b.Bottom - m);
  return S_OK;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId)
{
  if (!LiveTheme(hTheme))
    return FALSE;
  const TPartInfo* part = FindPart(hTheme, iPartId);
  const TLook* look = FindLook(part, iStateId);
  // Rounded corners and fixed-size glyphs leave the background showing.
  return look && (look->Fill == kNone || part->Radius > 0 || part->FixedSize > 0) ? TRUE : FALSE;
}

BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId)
{
  if (!LiveTheme(hTheme))
    return FALSE;
  const TPartInfo* part = FindPart(hTheme, iPartId);
  return part && (iStateId == 0 || FindLook(part, iStateId)) ? TRUE : FALSE;
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* prc, THEMESIZE eSize,
                         SIZE* psz)
{
  (void)hdc;
  (void)prc;
  if (!LiveTheme(hTheme))
    return E_HANDLE;
  const TPartInfo* part = FindPart(hTheme, iPartId);
  if (!psz || !part || (iStateId != 0 && !FindLook(part, iStateId)) || eSize < TS_MIN || eSize > TS_DRAW)
    return E_INVALIDARG;
  int size = part->FixedSize ? Scaled(part->FixedSize) : 2 * Scaled(part->Radius) + 2;
  *psz = SIZE(size, size);
  return S_OK;
}

HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor)
{
  if (!LiveTheme(hTheme))
    return E_HANDLE;
  if (!pColor)
    return E_INVALIDARG;
  const TLook* look = FindLook(FindPart(hTheme, iPartId), iStateId);
  if (!look)
    return E_INVALIDARG;
  COLORREF c = kNone;
  switch (iPropId) {
  case TMT_BORDERCOLOR: c = look->Border; break;
  case TMT_FILLCOLOR: c = look->Fill; break;
  case TMT_TEXTCOLOR: c = look->Text; break;
  default: break;
  }
  if (c == kNone)
    return E_PROP_ID_UNSUPPORTED;
  *pColor = c;
  return S_OK;
}

} // namespace Win

// Visual styles: the theme calls of the Win32 API over our own style engine.
// Classes, parts, states and properties carry the Win32 numbers; the look is
// our own (flat, light, rounded, anti-aliased edges).
//
// Theming can be switched off for the whole desktop (EnableTheming), as a
// user choosing the classic look would; then OpenThemeData gives no handle
// and every control draws its classic look.
#pragma once

#include "Win.Gdi.hpp"
#include "Win.Kernel.hpp"

namespace Win {

struct TThemeData;
using HTHEME = TThemeData*;

// ---- classes, parts and states -------------------------------------------------
// BUTTON
constexpr int BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5,
              PBS_DEFAULTED_ANIMATING = 6;
constexpr int RBS_UNCHECKEDNORMAL = 1, RBS_UNCHECKEDHOT = 2, RBS_UNCHECKEDPRESSED = 3,
              RBS_UNCHECKEDDISABLED = 4, RBS_CHECKEDNORMAL = 5, RBS_CHECKEDHOT = 6, RBS_CHECKEDPRESSED = 7,
              RBS_CHECKEDDISABLED = 8;
constexpr int CBS_UNCHECKEDNORMAL = 1, CBS_UNCHECKEDHOT = 2, CBS_UNCHECKEDPRESSED = 3,
              CBS_UNCHECKEDDISABLED = 4, CBS_CHECKEDNORMAL = 5, CBS_CHECKEDHOT = 6, CBS_CHECKEDPRESSED = 7,
              CBS_CHECKEDDISABLED = 8, CBS_MIXEDNORMAL = 9, CBS_MIXEDHOT = 10, CBS_MIXEDPRESSED = 11,
              CBS_MIXEDDISABLED = 12;
// TOOLBAR
constexpr int TP_BUTTON = 1, TP_DROPDOWNBUTTON = 2, TP_SPLITBUTTON = 3, TP_SPLITBUTTONDROPDOWN = 4;
constexpr int TS_NORMAL = 1, TS_HOT = 2, TS_PRESSED = 3, TS_DISABLED = 4, TS_CHECKED = 5, TS_HOTCHECKED = 6;
// TREEVIEW
constexpr int TVP_TREEITEM = 1, TVP_GLYPH = 2, TVP_HOTGLYPH = 4;
constexpr int TREIS_NORMAL = 1, TREIS_HOT = 2, TREIS_SELECTED = 3, TREIS_DISABLED = 4,
              TREIS_SELECTEDNOTFOCUS = 5, TREIS_HOTSELECTED = 6;
constexpr int GLPS_CLOSED = 1, GLPS_OPENED = 2;
constexpr int HGLPS_CLOSED = 1, HGLPS_OPENED = 2;
// EDIT
constexpr int EP_EDITTEXT = 1;
constexpr int ETS_NORMAL = 1, ETS_HOT = 2, ETS_SELECTED = 3, ETS_DISABLED = 4, ETS_FOCUSED = 5,
              ETS_READONLY = 6, ETS_ASSIST = 7, ETS_CUEBANNER = 8;
// NAVIGATION
constexpr int NAV_BACKBUTTON = 1;
constexpr int NAV_BB_NORMAL = 1, NAV_BB_HOT = 2, NAV_BB_PRESSED = 3, NAV_BB_DISABLED = 4;

// MENU (popup menus)
constexpr int MENU_POPUPBACKGROUND = 9, MENU_POPUPBORDERS = 10, MENU_POPUPCHECK = 11,
              MENU_POPUPCHECKBACKGROUND = 12, MENU_POPUPGUTTER = 13, MENU_POPUPITEM = 14,
              MENU_POPUPSEPARATOR = 15, MENU_POPUPSUBMENU = 16;
constexpr int MC_CHECKMARKNORMAL = 1, MC_CHECKMARKDISABLED = 2, MC_BULLETNORMAL = 3, MC_BULLETDISABLED = 4;
constexpr int MCB_DISABLED = 1, MCB_NORMAL = 2, MCB_BITMAP = 3;
constexpr int MPI_NORMAL = 1, MPI_HOT = 2, MPI_DISABLED = 3, MPI_DISABLEDHOT = 4;
constexpr int MSM_NORMAL = 1, MSM_DISABLED = 2;

// Properties (GetThemeColor).
constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803;

// Failures of the theme calls.
constexpr HRESULT E_PROP_ID_UNSUPPORTED = HRESULT(0x80070490);

// ---- switches ------------------------------------------------------------------------
// Whether the desktop shows visual styles (on at start).
BOOL IsThemeActive();
// Whether this application draws with them: the desktop's switch and the
// application's own properties (STAP_ALLOW_CONTROLS).
BOOL IsAppThemed();
HRESULT EnableTheming(BOOL fEnable);
constexpr DWORD STAP_ALLOW_NONCLIENT = 1, STAP_ALLOW_CONTROLS = 2, STAP_ALLOW_WEBCONTENT = 4;
void SetThemeAppProperties(DWORD dwFlags);
DWORD GetThemeAppProperties();

// ---- theme data ------------------------------------------------------------------------
// A handle for the first class of the semicolon-separated list that the
// engine knows (any case); nullptr when none is known or the application is
// not themed. The window is not needed: every window shares the one style.
HTHEME OpenThemeData(HWND hwnd, const char* pszClassList);
HRESULT CloseThemeData(HTHEME hTheme);

// ---- drawing ------------------------------------------------------------------------
// Draws the part in pRect, clipped to pClipRect when given (logical
// coordinates, through the DC's own clipping). Parts of a fixed size (check
// box, tree glyphs, back button) are centred in pRect.
HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                            const RECT* pClipRect);
// The area of the background left for content (inside the border).
HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                      const RECT* pBoundingRect, RECT* pContentRect);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId);
BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId);

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };
// The part's size at the screen's resolution; sizable parts give their
// smallest size for every request.
HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* prc, THEMESIZE eSize,
                         SIZE* psz);
HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor);

// Lets the window's parent paint its background into the DC under the
// window (WM_ERASEBKGND, then WM_PRINTCLIENT with PRF_CLIENT), limited to
// prc when given (the window's client coordinates). What the parent
// changes in the DC is put back afterwards.
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc);

// ---- text -------------------------------------------------------------------------------
constexpr DWORD DTT_TEXTCOLOR = 0x1, DTT_BORDERCOLOR = 0x2, DTT_SHADOWCOLOR = 0x4, DTT_SHADOWTYPE = 0x8,
                DTT_SHADOWOFFSET = 0x10, DTT_BORDERSIZE = 0x20, DTT_FONTPROP = 0x40, DTT_COLORPROP = 0x80,
                DTT_STATEID = 0x100, DTT_CALCRECT = 0x200, DTT_APPLYOVERLAY = 0x400, DTT_GLOWSIZE = 0x800,
                DTT_CALLBACK = 0x1000, DTT_COMPOSITED = 0x2000;
struct DTTOPTS {
  DWORD dwSize = sizeof(DTTOPTS);
  DWORD dwFlags = 0;
  COLORREF crText = 0;
  COLORREF crBorder = 0;
  COLORREF crShadow = 0;
  int iTextShadowType = 0;
  POINT ptShadowOffset;
  int iBorderSize = 0;
  int iFontPropId = 0;
  int iColorPropId = 0;
  int iStateId = 0;
  BOOL fApplyOverlay = FALSE;
  int iGlowSize = 0;
};
// Text in the DC's font, in DTT_TEXTCOLOR's colour or else the part's text
// colour (the DC's when the part has none). DTT_CALCRECT measures into pRect
// like DT_CALCRECT. Glyphs are written opaque, so DTT_COMPOSITED text is
// already fit for a surface with alpha.
HRESULT DrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const char* pszText, int cchText,
                        DWORD dwTextFlags, RECT* pRect, const DTTOPTS* pOptions);
HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const char* pszText, int cchText,
                      DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect);

} // namespace Win

#include "Quorex.Vcl.CanvasHelper.hpp"

#include <System.SysUtils.hpp>
#include <Vcl.Themes.hpp>
#include <Win.Themes.hpp>

#include <unicode/utf8.h>

#include <memory>

namespace Quorex {

using namespace Vcl;

namespace {

// Theme states of the four control states, in TUIControlState order
// (normal, disabled, hot, pressed); the same numbers serve push buttons,
// toolbar buttons and the unchecked check box.
constexpr int kStateOf[] = {1, 4, 2, 3};

// Every public primitive draws on the canvas it is given; a null one is the
// caller's programming error and is refused before anything is touched.
constexpr const char* kUnitName = "Quorex.Vcl.CanvasHelper";

int ThemeState(TUIControlState AState)
{
  return kStateOf[AState];
}

// Opens the class's theme data for one drawing and closes it after.
class TThemePart {
public:
  explicit TThemePart(const char* ClassName, Win::HWND Window = nullptr)
    : FTheme(Win::OpenThemeData(Window, ClassName))
  {
  }
  ~TThemePart()
  {
    if (FTheme)
      Win::CloseThemeData(FTheme);
  }
  TThemePart(const TThemePart&) = delete;
  TThemePart& operator=(const TThemePart&) = delete;
  Win::HTHEME Handle() const { return FTheme; }
  void Draw(TCanvas* Canvas, int Part, int State, const TRect& R, const TRect* Clip = nullptr) const
  {
    if (FTheme)
      Win::DrawThemeBackground(FTheme, Canvas->Handle(), Part, State, &R, Clip);
  }

private:
  Win::HTHEME FTheme;
};

// Puts back the pen and brush (all of their properties) when it goes, also
// when drawing raises.
class TPenBrushKeeper {
public:
  explicit TPenBrushKeeper(TCanvas* Canvas) : FCanvas(Canvas)
  {
    FPen.Assign(Canvas->Pen());
    FBrush.Assign(Canvas->Brush());
  }
  ~TPenBrushKeeper()
  {
    FCanvas->SetPen(&FPen);
    FCanvas->SetBrush(&FBrush);
  }
  TPenBrushKeeper(const TPenBrushKeeper&) = delete;
  TPenBrushKeeper& operator=(const TPenBrushKeeper&) = delete;

private:
  TCanvas* FCanvas;
  TPen FPen;
  TBrush FBrush;
};

// Puts back the device context's text colour.
class TTextColorKeeper {
public:
  explicit TTextColorKeeper(Win::HDC DC) : FDC(DC), FColor(Win::GetTextColor(DC)) {}
  ~TTextColorKeeper() { Win::SetTextColor(FDC, FColor); }
  TTextColorKeeper(const TTextColorKeeper&) = delete;
  TTextColorKeeper& operator=(const TTextColorKeeper&) = delete;

private:
  Win::HDC FDC;
  Win::COLORREF FColor;
};

// Puts back the font colour.
class TFontColorKeeper {
public:
  explicit TFontColorKeeper(TCanvas* Canvas) : FCanvas(Canvas), FColor(Canvas->Font()->Color()) {}
  ~TFontColorKeeper() { FCanvas->Font()->SetColor(FColor); }
  TFontColorKeeper(const TFontColorKeeper&) = delete;
  TFontColorKeeper& operator=(const TFontColorKeeper&) = delete;

private:
  TCanvas* FCanvas;
  TColor FColor;
};

// A square of Size centred in R; truncated offsets, negative when R is smaller.
TRect CentredSquare(const TRect& R, int Size)
{
  int left = R.Left + (R.Width() - Size) / 2;
  int top = R.Top + (R.Height() - Size) / 2;
  return TRect(left, top, left + Size, top + Size);
}

// ---- the two looks ---------------------------------------------------------------

void DrawThemedButton(TCanvas* Canvas, const TRect& ARect, TUIControlState AState)
{
  TThemePart("BUTTON").Draw(Canvas, Win::BP_PUSHBUTTON, ThemeState(AState), ARect);
}

// The split halves are the push button with the touching edge pushed
// 20 pixels out and clipped away.
constexpr int kSplitOverlap = 20;

void DrawThemedSplitButtonMain(TCanvas* Canvas, const TRect& ARect, TUIControlState AState)
{
  TRect r = ARect;
  r.Right += kSplitOverlap;
  TThemePart("BUTTON").Draw(Canvas, Win::BP_PUSHBUTTON, ThemeState(AState), r, &ARect);
}

void DrawThemedSplitButtonDropDown(TCanvas* Canvas, const TRect& ARect, TUIControlState AState)
{
  TRect r = ARect;
  r.Left -= kSplitOverlap;
  TThemePart("BUTTON").Draw(Canvas, Win::BP_PUSHBUTTON, ThemeState(AState), r, &ARect);
}

void DrawThemedToolbarPart(TCanvas* Canvas, int Part, const TRect& ARect, TUIControlState AState)
{
  TThemePart("TOOLBAR").Draw(Canvas, Part, ThemeState(AState), ARect);
}

void DrawThemedFlatButton(TCanvas* Canvas, const TRect& ARect, TUIControlState AState)
{
  DrawThemedToolbarPart(Canvas, Win::TP_BUTTON, ARect, AState);
}

void DrawThemedFlatSplitButtonMain(TCanvas* Canvas, const TRect& ARect, TUIControlState AState)
{
  DrawThemedToolbarPart(Canvas, Win::TP_SPLITBUTTON, ARect, AState);
}

void DrawThemedFlatSplitButtonDropDown(TCanvas* Canvas, const TRect& ARect, TUIControlState AState)
{
  DrawThemedToolbarPart(Canvas, Win::TP_SPLITBUTTONDROPDOWN, ARect, AState);
}

void DrawClassicButton(TCanvas* Canvas, TRect ARect, TUIControlState AState)
{
  Win::UINT state = Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT;
  if (AState == uicsPressed)
    state |= Win::DFCS_PUSHED;
  if (AState == uicsDisabled)
    state |= Win::DFCS_INACTIVE;
  Win::DrawFrameControl(Canvas->Handle(), &ARect, Win::DFC_BUTTON, state);
}

void DrawThemedCheckbox(TCanvas* Canvas, const TRect& ARect, TUIControlState AState, TCheckBoxState AExState)
{
  int state = static_cast<int>(AExState) * 4 + ThemeState(AState); // rows of four: unchecked, checked, mixed
  TThemePart("BUTTON").Draw(Canvas, Win::BP_CHECKBOX, state, ARect);
}

// The classic box keeps its 13 pixels whatever the resolution.
constexpr int kClassicCheckSize = 13;

void DrawClassicCheckbox(TCanvas* Canvas, const TRect& ARect, TUIControlState AState, TCheckBoxState AExState)
{
  TRect box = CentredSquare(ARect, kClassicCheckSize);
  Win::UINT state = Win::DFCS_BUTTONCHECK;
  if (AExState == cbChecked)
    state |= Win::DFCS_CHECKED;
  if (AExState == cbGrayed)
    state |= Win::DFCS_CHECKED | Win::DFCS_INACTIVE;
  if (AState == uicsDisabled)
    state |= Win::DFCS_INACTIVE;
  if (AState == uicsHot)
    state |= Win::DFCS_HOT;
  if (AState == uicsPressed)
    state |= Win::DFCS_PUSHED;
  Win::DrawFrameControl(Canvas->Handle(), &box, Win::DFC_BUTTON, state);
}

// The window whose visual-style class (SetWindowTheme) picks the glyph's look:
// the control's own, or for a windowless control the one it paints on.
Win::HWND StyleWindow(TControl* AControl)
{
  for (TControl* c = AControl; c; c = c->Parent())
    if (auto* win = dynamic_cast<TWinControl*>(c); win && win->HandleAllocated())
      return win->Handle();
  return nullptr;
}

void DrawThemedTreeExpander(TCanvas* Canvas, TControl* AControl, const TRect& ARect, TUIControlState AState,
                            TTreeViewExpanderState AExState)
{
  TThemePart theme("TREEVIEW", StyleWindow(AControl));
  if (!theme.Handle())
    return;
  int state = AExState == tvesOpened ? Win::GLPS_OPENED : Win::GLPS_CLOSED;
  // The hot glyph exists wherever the styles do.
  int part = AState == uicsHot ? Win::TVP_HOTGLYPH : Win::TVP_GLYPH;
  Win::SIZE size;
  if (Win::FAILED(Win::GetThemePartSize(theme.Handle(), Canvas->Handle(), part, state, nullptr, Win::TS_DRAW,
                                        &size)))
    return;
  int left = ARect.Left + (ARect.Width() - size.cx) / 2;
  int top = ARect.Top + (ARect.Height() - size.cy) / 2;
  theme.Draw(Canvas, part, state, TRect(left, top, left + size.cx, top + size.cy));
}

constexpr int kClassicExpanderSize = 9;

void DrawClassicTreeExpander(TCanvas* Canvas, const TRect& ARect, bool Opened)
{
  TPenBrushKeeper keep(Canvas);
  TRect box = CentredSquare(ARect, kClassicExpanderSize);
  Canvas->Brush()->SetColor(clWindow);
  Canvas->Pen()->SetColor(TColor(0x00808080));
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Rectangle(box);
  Canvas->Pen()->SetColor(clBlack);
  Canvas->MoveTo(box.Left + 2, box.Top + 4);
  Canvas->LineTo(box.Right - 2, box.Top + 4);
  if (Opened)
    return;
  Canvas->MoveTo(box.Left + 4, box.Top + 2);
  Canvas->LineTo(box.Left + 4, box.Bottom - 2);
}

void DrawThemeSelection(TCanvas* Canvas, const TRect& ARect, TListItemSelectionState AState)
{
  static constexpr int states[] = {Win::TREIS_HOT, Win::TREIS_SELECTED, Win::TREIS_SELECTEDNOTFOCUS};
  TThemePart("TREEVIEW").Draw(Canvas, Win::TVP_TREEITEM, states[AState], ARect);
}

void DrawClassicSelection(TCanvas* Canvas, const TRect& ARect, TListItemSelectionState AState)
{
  if (AState == lissHot)
    return;
  Canvas->Brush()->SetColor(AState == lissSelected ? clHighlight : clBtnFace);
  Canvas->FillRect(ARect);
}

void DrawVistaText(TCanvas* Canvas, const String& AText, TRect& ARect, bool AEnabled, Win::UINT AFlags)
{
  bool measuring = (AFlags & Win::DT_CALCRECT) != 0;
  Win::DTTOPTS options;
  options.dwFlags = Win::DTT_TEXTCOLOR | Win::DTT_COMPOSITED | (measuring ? Win::DTT_CALCRECT : 0);
  Win::HDC dc = Canvas->Handle();
  if (AEnabled || measuring) {
    TThemePart theme("EDIT");
    options.crText = Win::GetTextColor(dc);
    Win::DrawThemeTextEx(theme.Handle(), dc, Win::EP_EDITTEXT, Win::ETS_NORMAL, AText.c_str(), int(AText.size()),
                         AFlags, &ARect, &options);
    return;
  }
  TThemePart theme("BUTTON");
  if (Win::FAILED(Win::GetThemeColor(theme.Handle(), Win::BP_PUSHBUTTON, Win::PBS_DISABLED, Win::TMT_TEXTCOLOR,
                                     &options.crText)))
    options.crText = Win::COLORREF(ColorToRGB(Canvas->Font()->Color()));
  Win::DrawThemeTextEx(theme.Handle(), dc, Win::BP_PUSHBUTTON, Win::PBS_DISABLED, AText.c_str(), int(AText.size()),
                       AFlags, &ARect, &options);
}

void DrawTextOnce(TCanvas* Canvas, const String& AText, TRect& ARect, Win::UINT AFlags)
{
  Win::DrawTextEx(Canvas->Handle(), AText.c_str(), int(AText.size()), &ARect, AFlags, nullptr);
}

void DrawClassicText(TCanvas* Canvas, const String& AText, TRect& ARect, bool AEnabled, Win::UINT AFlags)
{
  Win::SetBkMode(Canvas->Handle(), Win::TRANSPARENT);
  if (AEnabled || (AFlags & Win::DT_CALCRECT)) {
    DrawTextOnce(Canvas, AText, ARect, AFlags);
    return;
  }
  TFontColorKeeper keep(Canvas);
  TRect shifted = ARect;
  shifted.Offset(1, 1);
  Canvas->Font()->SetColor(clBtnHighlight);
  DrawTextOnce(Canvas, AText, shifted, AFlags);
  Canvas->Font()->SetColor(clBtnShadow);
  DrawTextOnce(Canvas, AText, ARect, AFlags);
}

// The first and last code points of a UTF-8 text (U+FFFD for broken bytes).
void EndCodePoints(const String& AText, UChar32& First, UChar32& Last)
{
  const auto* s = reinterpret_cast<const std::uint8_t*>(AText.data());
  int32_t length = int32_t(AText.size());
  int32_t i = 0;
  U8_NEXT_OR_FFFD(s, i, length, First);
  i = length;
  U8_PREV_OR_FFFD(s, 0, i, Last);
}

// Glyphs that reach left of their start or right of their advance would be
// cut by a rectangle of the advance width.
void AddOverhangs(TCanvas* Canvas, const String& AText, TRect& ARect)
{
  UChar32 first = 0, last = 0;
  EndCodePoints(AText, first, last);
  Win::ABC abc;
  Win::HDC dc = Canvas->Handle();
  if (Win::GetCharABCWidths(dc, Win::UINT(first), Win::UINT(first), &abc) && abc.abcA < 0)
    ARect.Right += -abc.abcA;
  if (Win::GetCharABCWidths(dc, Win::UINT(last), Win::UINT(last), &abc) && abc.abcC < 0)
    ARect.Right += -abc.abcC;
}

} // namespace

void QxDrawButton(TCanvas* Canvas, TRect ARect, TUIControlState AState)
{
  QX_ASSERT(Canvas, kUnitName);
  if (StyleServices()->Enabled())
    DrawThemedButton(Canvas, ARect, AState);
  else
    DrawClassicButton(Canvas, ARect, AState);
}

void QxDrawSplitButtonMain(TCanvas* Canvas, TRect ARect, TUIControlState AState)
{
  QX_ASSERT(Canvas, kUnitName);
  if (StyleServices()->Enabled())
    DrawThemedSplitButtonMain(Canvas, ARect, AState);
  else
    DrawClassicButton(Canvas, ARect, AState);
}

void QxDrawSplitButtonDropDown(TCanvas* Canvas, TRect ARect, TUIControlState AState)
{
  QX_ASSERT(Canvas, kUnitName);
  if (StyleServices()->Enabled())
    DrawThemedSplitButtonDropDown(Canvas, ARect, AState);
  else
    DrawClassicButton(Canvas, ARect, AState);
}

namespace {

using TFlatDrawing = void (*)(TCanvas*, const TRect&, TUIControlState);

void DrawFlat(TFlatDrawing Themed, TCanvas* Canvas, const TRect& ARect, TUIControlState AState)
{
  if (StyleServices()->Enabled())
    Themed(Canvas, ARect, AState);
  else if (AState != uicsNormal)
    DrawClassicButton(Canvas, ARect, AState);
}

} // namespace

void QxDrawFlatButton(TCanvas* Canvas, TRect ARect, TUIControlState AState)
{
  QX_ASSERT(Canvas, kUnitName);
  DrawFlat(DrawThemedFlatButton, Canvas, ARect, AState);
}

void QxDrawFlatSplitButtonMain(TCanvas* Canvas, TRect ARect, TUIControlState AState)
{
  QX_ASSERT(Canvas, kUnitName);
  DrawFlat(DrawThemedFlatSplitButtonMain, Canvas, ARect, AState);
}

void QxDrawFlatSplitButtonDropDown(TCanvas* Canvas, TRect ARect, TUIControlState AState)
{
  QX_ASSERT(Canvas, kUnitName);
  DrawFlat(DrawThemedFlatSplitButtonDropDown, Canvas, ARect, AState);
}

void QxDrawCheckbox(TCanvas* Canvas, TControl* AControl, TRect ARect, TUIControlState AState,
                    TCheckBoxState AExState)
{
  QX_ASSERT(Canvas, kUnitName);
  if (ThemeControl(AControl))
    DrawThemedCheckbox(Canvas, ARect, AState, AExState);
  else
    DrawClassicCheckbox(Canvas, ARect, AState, AExState);
}

void QxDrawTreeExpander(TCanvas* Canvas, TControl* AControl, TRect ARect, TUIControlState AState,
                        TTreeViewExpanderState AExState)
{
  QX_ASSERT(Canvas, kUnitName);
  if (ThemeControl(AControl))
    DrawThemedTreeExpander(Canvas, AControl, ARect, AState, AExState);
  else
    DrawClassicTreeExpander(Canvas, ARect, AExState == tvesOpened);
}

void QxDrawSelection(TCanvas* Canvas, TControl* AControl, TRect ARect, TListItemSelectionState AState)
{
  QX_ASSERT(Canvas, kUnitName);
  if (ThemeControl(AControl))
    DrawThemeSelection(Canvas, ARect, AState);
  else
    DrawClassicSelection(Canvas, ARect, AState);
}

void QxDrawFocusRect(TCanvas* Canvas, TRect ARect)
{
  QX_ASSERT(Canvas, kUnitName);
  TTextColorKeeper keep(Canvas->Handle());
  if (StyleServices()->Enabled()) {
    ARect.Inflate(-1, -1);
    Win::SetTextColor(Canvas->Handle(), 0x00000000);
  } else {
    Win::SetTextColor(Canvas->Handle(), 0x00FFFFFF);
  }
  Canvas->DrawFocusRect(ARect);
}

void QxDrawSplitter(TCanvas* Canvas, int AX, int AFromY, int AToY, bool AEnabled)
{
  QX_ASSERT(Canvas, kUnitName);
  TPenBrushKeeper keep(Canvas);
  Canvas->Pen()->SetColor(AEnabled ? clBlack : TColor(0x00C0C0C0));
  Canvas->MoveTo(AX, AFromY);
  Canvas->LineTo(AX, AToY);
}

void QxDrawText(TCanvas* Canvas, const String& AText, TRect& ARect, bool AEnabled, Win::UINT AFlags)
{
  QX_ASSERT(Canvas, kUnitName);
  if (StyleServices()->Enabled())
    DrawVistaText(Canvas, AText, ARect, AEnabled, AFlags);
  else
    DrawClassicText(Canvas, AText, ARect, AEnabled, AFlags);
  if (!AText.empty() && (AFlags & Win::DT_CALCRECT))
    AddOverhangs(Canvas, AText, ARect);
}

void QxDrawText(TCanvas* Canvas, const String& AText, TRect& ARect, bool AEnabled, TTextFormat ATextFormat)
{
  QxDrawText(Canvas, AText, ARect, AEnabled, TextFormatToDrawTextFlags(ATextFormat));
}

int QxTextWidth(TCanvas* Canvas, const String& AText)
{
  TRect r(0, 0, 0, 0);
  QxDrawText(Canvas, AText, r, true, Win::DT_CALCRECT | Win::DT_SINGLELINE | Win::DT_NOPREFIX);
  return r.Width();
}

} // namespace Quorex

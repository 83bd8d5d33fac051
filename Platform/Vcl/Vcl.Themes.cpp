#include "Vcl.Themes.hpp"

namespace Vcl {

namespace {

const char* ClassName(TThemedElement Element)
{
  switch (Element) {
  case teButton: return "BUTTON";
  case teEdit: return "EDIT";
  case teMenu: return "MENU";
  case teNavigation: return "NAVIGATION";
  case teToolBar: return "TOOLBAR";
  case teTreeview: return "TREEVIEW";
  }
  return "";
}

// The theme data of one element for the length of one call.
class TThemeHandle {
public:
  explicit TThemeHandle(TThemedElement Element) : FTheme(Win::OpenThemeData(nullptr, ClassName(Element))) {}
  ~TThemeHandle()
  {
    if (FTheme)
      Win::CloseThemeData(FTheme);
  }
  TThemeHandle(const TThemeHandle&) = delete;
  TThemeHandle& operator=(const TThemeHandle&) = delete;
  Win::HTHEME Get() const { return FTheme; }
  explicit operator bool() const { return FTheme != nullptr; }

private:
  Win::HTHEME FTheme;
};

// Enumerators run in groups of consecutive states of one part; each group
// names its first enumerator, its part and how many states it has.
struct TPartRun {
  int First;
  int Part;
  int Count;
};

template <class TEnum, std::size_t N>
TThemedElementDetails Lookup(TThemedElement Element, TEnum Detail, const TPartRun (&Runs)[N])
{
  int value = static_cast<int>(Detail);
  for (const TPartRun& run : Runs)
    if (value >= run.First && value < run.First + run.Count)
      return {Element, run.Part, value - run.First + 1};
  return {Element, 0, 0}; // the "don't care" and root values
}

} // namespace

bool TCustomStyleServices::Enabled() const
{
  return Win::IsAppThemed() != Win::FALSE;
}

bool TCustomStyleServices::Available() const
{
  return Win::IsThemeActive() != Win::FALSE;
}

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedButton Detail) const
{
  static const TPartRun runs[] = {{int(tbPushButtonNormal), Win::BP_PUSHBUTTON, 5},
                                  {int(tbRadioButtonUncheckedNormal), Win::BP_RADIOBUTTON, 8},
                                  {int(tbCheckBoxUncheckedNormal), Win::BP_CHECKBOX, 12}};
  return Lookup(teButton, Detail, runs);
}

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedEdit Detail) const
{
  static const TPartRun runs[] = {{int(teEditTextNormal), Win::EP_EDITTEXT, 8}};
  return Lookup(teEdit, Detail, runs);
}

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedMenu Detail) const
{
  static const TPartRun runs[] = {{int(tmPopupBackground), Win::MENU_POPUPBACKGROUND, 1},
                                  {int(tmPopupBorders), Win::MENU_POPUPBORDERS, 1},
                                  {int(tmPopupCheckMarkNormal), Win::MENU_POPUPCHECK, 4},
                                  {int(tmPopupCheckBackgroundDisabled), Win::MENU_POPUPCHECKBACKGROUND, 3},
                                  {int(tmPopupGutter), Win::MENU_POPUPGUTTER, 1},
                                  {int(tmPopupItemNormal), Win::MENU_POPUPITEM, 4},
                                  {int(tmPopupSeparator), Win::MENU_POPUPSEPARATOR, 1},
                                  {int(tmPopupSubMenuNormal), Win::MENU_POPUPSUBMENU, 2}};
  return Lookup(teMenu, Detail, runs);
}

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedNavigation Detail) const
{
  static const TPartRun runs[] = {{int(tnBackButtonNormal), Win::NAV_BACKBUTTON, 4}};
  return Lookup(teNavigation, Detail, runs);
}

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedToolBar Detail) const
{
  static const TPartRun runs[] = {{int(ttbButtonNormal), Win::TP_BUTTON, 6},
                                  {int(ttbSplitButtonNormal), Win::TP_SPLITBUTTON, 6},
                                  {int(ttbSplitButtonDropDownNormal), Win::TP_SPLITBUTTONDROPDOWN, 6}};
  return Lookup(teToolBar, Detail, runs);
}

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedTreeview Detail) const
{
  static const TPartRun runs[] = {{int(ttItemNormal), Win::TVP_TREEITEM, 6},
                                  {int(ttGlyphClosed), Win::TVP_GLYPH, 2},
                                  {int(ttHotGlyphClosed), Win::TVP_HOTGLYPH, 2}};
  return Lookup(teTreeview, Detail, runs);
}

bool TCustomStyleServices::DrawElement(Win::HDC DC, const TThemedElementDetails& Details, const TRect& R,
                                       const TRect* ClipRect) const
{
  TThemeHandle theme(Details.Element);
  return theme && Win::SUCCEEDED(Win::DrawThemeBackground(theme.Get(), DC, Details.Part, Details.State, &R,
                                                          ClipRect));
}

bool TCustomStyleServices::GetElementSize(Win::HDC DC, const TThemedElementDetails& Details,
                                          TElementSize ElementSize, TSize& Size) const
{
  static const Win::THEMESIZE sizes[] = {Win::TS_MIN, Win::TS_TRUE, Win::TS_DRAW};
  TThemeHandle theme(Details.Element);
  return theme && Win::SUCCEEDED(Win::GetThemePartSize(theme.Get(), DC, Details.Part, Details.State, nullptr,
                                                       sizes[static_cast<int>(ElementSize)], &Size));
}

bool TCustomStyleServices::GetElementContentRect(Win::HDC DC, const TThemedElementDetails& Details,
                                                 const TRect& BoundingRect, TRect& ContentRect) const
{
  TThemeHandle theme(Details.Element);
  return theme && Win::SUCCEEDED(Win::GetThemeBackgroundContentRect(theme.Get(), DC, Details.Part,
                                                                    Details.State, &BoundingRect, &ContentRect));
}

bool TCustomStyleServices::GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor,
                                           TColor& Color) const
{
  static const int props[] = {Win::TMT_BORDERCOLOR, Win::TMT_FILLCOLOR, Win::TMT_TEXTCOLOR};
  TThemeHandle theme(Details.Element);
  Win::COLORREF c = 0;
  if (!theme || Win::FAILED(Win::GetThemeColor(theme.Get(), Details.Part, Details.State,
                                               props[static_cast<int>(ElementColor)], &c)))
    return false;
  Color = TColor(c);
  return true;
}

bool TCustomStyleServices::HasTransparentParts(const TThemedElementDetails& Details) const
{
  TThemeHandle theme(Details.Element);
  return theme && Win::IsThemeBackgroundPartiallyTransparent(theme.Get(), Details.Part, Details.State);
}

bool TCustomStyleServices::DrawParentBackground(Win::HWND Window, Win::HDC Target,
                                                const TThemedElementDetails* Details, bool OnlyIfTransparent,
                                                const TRect* Bounds) const
{
  if (!Enabled() || (OnlyIfTransparent && Details && !HasTransparentParts(*Details)))
    return false;
  return Win::SUCCEEDED(Win::DrawThemeParentBackground(Window, Target, Bounds));
}

bool TCustomStyleServices::DrawText(Win::HDC DC, const TThemedElementDetails& Details, const String& S, TRect& R,
                                    TTextFormat Flags, TColor Color) const
{
  TThemeHandle theme(Details.Element);
  if (!theme)
    return false;
  Win::DTTOPTS options;
  if (Flags.Contains(tfCalcRect))
    options.dwFlags |= Win::DTT_CALCRECT;
  if (Color != clNone) {
    options.dwFlags |= Win::DTT_TEXTCOLOR;
    options.crText = Win::COLORREF(ColorToRGB(Color));
  }
  Win::UINT flags = TextFormatToDrawTextFlags(Flags) & ~Win::DT_CALCRECT;
  return Win::SUCCEEDED(Win::DrawThemeTextEx(theme.Get(), DC, Details.Part, Details.State, S.c_str(),
                                             int(S.size()), flags, &R, &options));
}

TCustomStyleServices* StyleServices()
{
  static TCustomStyleServices services;
  return &services;
}

bool ThemeControl(const TControl* AControl)
{
  return AControl != nullptr && StyleServices()->Enabled();
}

} // namespace Vcl

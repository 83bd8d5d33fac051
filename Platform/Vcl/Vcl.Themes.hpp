// The framework's view of the visual styles: elements named by enumerations,
// resolved to the theme class, part and state numbers, and drawn through the
// theme calls.
#pragma once

#include <System.SysUtils.hpp>
#include <System.Types.hpp>
#include <Vcl.Graphics.hpp>
#include <Win.Themes.hpp>

namespace Vcl {

class TControl;

enum class TThemedElement { teButton, teEdit, teMenu, teNavigation, teToolBar, teTreeview };
using enum TThemedElement;

struct TThemedElementDetails {
  TThemedElement Element = teButton;
  int Part = 0;
  int State = 0;
  constexpr bool operator==(const TThemedElementDetails&) const = default;
};

enum class TThemedButton {
  tbButtonDontCare, tbButtonRoot,
  tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled, tbPushButtonDefaulted,
  tbRadioButtonUncheckedNormal, tbRadioButtonUncheckedHot, tbRadioButtonUncheckedPressed,
  tbRadioButtonUncheckedDisabled, tbRadioButtonCheckedNormal, tbRadioButtonCheckedHot,
  tbRadioButtonCheckedPressed, tbRadioButtonCheckedDisabled,
  tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedHot, tbCheckBoxUncheckedPressed, tbCheckBoxUncheckedDisabled,
  tbCheckBoxCheckedNormal, tbCheckBoxCheckedHot, tbCheckBoxCheckedPressed, tbCheckBoxCheckedDisabled,
  tbCheckBoxMixedNormal, tbCheckBoxMixedHot, tbCheckBoxMixedPressed, tbCheckBoxMixedDisabled
};
using enum TThemedButton;

enum class TThemedEdit {
  teEditDontCare, teEditRoot,
  teEditTextNormal, teEditTextHot, teEditTextSelected, teEditTextDisabled, teEditTextFocused,
  teEditTextReadOnly, teEditTextAssist, teEditTextCueBanner
};
using enum TThemedEdit;

enum class TThemedMenu {
  tmMenuDontCare, tmMenuRoot,
  tmPopupBackground, tmPopupBorders,
  tmPopupCheckMarkNormal, tmPopupCheckMarkDisabled, tmPopupBulletNormal, tmPopupBulletDisabled,
  tmPopupCheckBackgroundDisabled, tmPopupCheckBackgroundNormal, tmPopupCheckBackgroundBitmap,
  tmPopupGutter,
  tmPopupItemNormal, tmPopupItemHot, tmPopupItemDisabled, tmPopupItemDisabledHot,
  tmPopupSeparator,
  tmPopupSubMenuNormal, tmPopupSubMenuDisabled
};
using enum TThemedMenu;

enum class TThemedNavigation {
  tnNavigationDontCare, tnNavigationRoot,
  tnBackButtonNormal, tnBackButtonHot, tnBackButtonPressed, tnBackButtonDisabled
};
using enum TThemedNavigation;

enum class TThemedToolBar {
  ttbToolBarDontCare, ttbToolBarRoot,
  ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled, ttbButtonChecked, ttbButtonCheckedHot,
  ttbSplitButtonNormal, ttbSplitButtonHot, ttbSplitButtonPressed, ttbSplitButtonDisabled,
  ttbSplitButtonChecked, ttbSplitButtonCheckedHot,
  ttbSplitButtonDropDownNormal, ttbSplitButtonDropDownHot, ttbSplitButtonDropDownPressed,
  ttbSplitButtonDropDownDisabled, ttbSplitButtonDropDownChecked, ttbSplitButtonDropDownCheckedHot
};
using enum TThemedToolBar;

enum class TThemedTreeview {
  ttTreeviewDontCare, ttTreeviewRoot,
  ttItemNormal, ttItemHot, ttItemSelected, ttItemDisabled, ttItemSelectedNotFocus, ttItemHotSelected,
  ttGlyphClosed, ttGlyphOpened, ttHotGlyphClosed, ttHotGlyphOpened
};
using enum TThemedTreeview;

enum class TElementSize { esMinimum, esActual, esStretch };
using enum TElementSize;
enum class TElementColor { ecBorderColor, ecFillColor, ecTextColor };
using enum TElementColor;

// Every call opens the element's theme data for itself, so a switch of the
// look takes effect at the next paint; each answers false (and draws
// nothing) when styles are off or the element is unknown.
class TCustomStyleServices {
public:
  // Whether the application draws with visual styles.
  bool Enabled() const;
  // Whether the desktop has them at all.
  bool Available() const;

  TThemedElementDetails GetElementDetails(TThemedButton Detail) const;
  TThemedElementDetails GetElementDetails(TThemedEdit Detail) const;
  TThemedElementDetails GetElementDetails(TThemedMenu Detail) const;
  TThemedElementDetails GetElementDetails(TThemedNavigation Detail) const;
  TThemedElementDetails GetElementDetails(TThemedToolBar Detail) const;
  TThemedElementDetails GetElementDetails(TThemedTreeview Detail) const;

  bool DrawElement(Win::HDC DC, const TThemedElementDetails& Details, const TRect& R,
                   const TRect* ClipRect = nullptr) const;
  bool GetElementSize(Win::HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize,
                      TSize& Size) const;
  bool GetElementContentRect(Win::HDC DC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                             TRect& ContentRect) const;
  bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor, TColor& Color) const;
  bool HasTransparentParts(const TThemedElementDetails& Details) const;
  // The parent's background under the window, or only where the element
  // lets it show through when OnlyIfTransparent (no details: always).
  bool DrawParentBackground(Win::HWND Window, Win::HDC Target, const TThemedElementDetails* Details,
                            bool OnlyIfTransparent, const TRect* Bounds = nullptr) const;
  // The element's text, in Color unless it is clNone (then the element's
  // own); tfCalcRect measures into R.
  bool DrawText(Win::HDC DC, const TThemedElementDetails& Details, const String& S, TRect& R, TTextFormat Flags,
                TColor Color = clNone) const;
};

TCustomStyleServices* StyleServices();

// Whether the control is drawn with visual styles: styles are enabled and
// there is a control to draw.
bool ThemeControl(const TControl* AControl);

} // namespace Vcl

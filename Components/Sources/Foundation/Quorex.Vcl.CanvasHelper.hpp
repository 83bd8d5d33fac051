// Drawing primitives every control shares: buttons, split and flat buttons,
// check boxes, tree expanders, list selections, focus rectangles, splitters
// and text, each in the themed look when visual styles are on and in the
// classic look otherwise. Controls never choose the look themselves.
//
// Rectangles are taken by value, except the text functions' rectangle,
// which receives the measurement when DT_CALCRECT asks for it.
#pragma once

#include "Quorex.Vcl.Types.hpp"

#include <Vcl.Graphics.hpp>
#include <Vcl.StdCtrls.hpp>

namespace Vcl {
class TControl;
}

namespace Quorex {

using Vcl::String;
using Vcl::TCanvas;
using Vcl::TRect;

void QxDrawButton(TCanvas* Canvas, TRect ARect, TUIControlState AState);
// The two halves of a split button; side by side they look like one button
// with a divider.
void QxDrawSplitButtonMain(TCanvas* Canvas, TRect ARect, TUIControlState AState);
void QxDrawSplitButtonDropDown(TCanvas* Canvas, TRect ARect, TUIControlState AState);
// Toolbar-style buttons: without styles, a normal one draws nothing.
void QxDrawFlatButton(TCanvas* Canvas, TRect ARect, TUIControlState AState);
void QxDrawFlatSplitButtonMain(TCanvas* Canvas, TRect ARect, TUIControlState AState);
void QxDrawFlatSplitButtonDropDown(TCanvas* Canvas, TRect ARect, TUIControlState AState);

// AControl decides the look (ThemeControl); it may be nullptr for the classic one.
void QxDrawCheckbox(TCanvas* Canvas, Vcl::TControl* AControl, TRect ARect, TUIControlState AState,
                    Vcl::TCheckBoxState AExState);
void QxDrawTreeExpander(TCanvas* Canvas, Vcl::TControl* AControl, TRect ARect, TUIControlState AState,
                        TTreeViewExpanderState AExState);
// The classic look leaves the brush in the fill colour.
void QxDrawSelection(TCanvas* Canvas, Vcl::TControl* AControl, TRect ARect, TListItemSelectionState AState);

void QxDrawFocusRect(TCanvas* Canvas, TRect ARect);
// A vertical line from (AX, AFromY) to (AX, AToY), black or (disabled) silver.
void QxDrawSplitter(TCanvas* Canvas, int AX, int AFromY, int AToY, bool AEnabled);

// Text with DrawTextEx flags; with DT_CALCRECT it only measures into ARect,
// widened by the overhangs of the first and last characters. Disabled
// classic text is embossed; the classic path leaves the background mode
// transparent.
void QxDrawText(TCanvas* Canvas, const String& AText, TRect& ARect, bool AEnabled, Win::UINT AFlags);
void QxDrawText(TCanvas* Canvas, const String& AText, TRect& ARect, bool AEnabled, Vcl::TTextFormat ATextFormat);
// The width of the text on one line, overhangs included.
int QxTextWidth(TCanvas* Canvas, const String& AText);

} // namespace Quorex

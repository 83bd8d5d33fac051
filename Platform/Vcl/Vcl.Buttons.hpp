// Glyph buttons: the bitmap button (an owner-drawn push button window) and
// the speed button (a graphic tool-bar button that can stay down in a group).
// Both place a bitmap glyph and the caption side by side; the glyph bitmap
// holds NumGlyphs cells side by side (up, disabled, down, held down), its
// bottom-left pixel the transparent colour. A glyph without a disabled cell
// shows disabled as its shape embossed in the highlight and shadow colours.
#pragma once

#include "Vcl.Graphics.hpp"
#include "Vcl.StdCtrls.hpp"

#include <System.TypInfo.hpp>

#include <memory>

namespace Vcl {

// Where a button puts its glyph relative to the caption.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;
QX_ENUM_NAMES(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)

// The glyph cell a button shows.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using enum TButtonState;

// Number of glyph cells in a glyph bitmap, 1 to 4.
using TNumGlyphs = Integer;

// A stock kind gives the button its caption, modal result and glyph.
enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
using enum TBitBtnKind;
QX_ENUM_NAMES(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll)

// The glyph and caption settings the two buttons share.
class TButtonGlyph {
public:
  TButtonGlyph();
  TBitmap* Glyph() const { return FGlyph.get(); }
  // Copies the picture; nil clears it.
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  // Values outside 1 to 4 are ignored.
  void SetNumGlyphs(TNumGlyphs Value);
  // Draws the glyph cell for State and the caption into Client, both moved
  // one pixel right and down when Offset. BiDiFlags are the control's
  // DrawText flags: with DT_RIGHT a glyph left of the caption goes right of
  // it and the other way round.
  void Draw(TCanvas* Canvas, const TRect& Client, bool Offset, const String& Caption, TButtonLayout Layout,
            Integer Margin, Integer Spacing, TButtonState State, bool Enabled, Win::UINT BiDiFlags) const;

private:
  TSize CellSize() const;
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
};

class TBitBtn : public TButton {
  QX_CLASS(TBitBtn, TButton)
public:
  explicit TBitBtn(TComponent* AOwner);

  TBitmap* Glyph() const { return FGlyph.Glyph(); }
  // A glyph of the host's own makes the button a custom one.
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value);
  TBitBtnKind Kind() const { return FKind; }
  // A stock kind sets the caption, the modal result (Cancel for bkCancel)
  // and its stock glyph, one cell.
  void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  // -1 centres glyph and caption together.
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value);
  // -1 spreads the free space evenly.
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  bool IsGlyphStored() const { return FKind == bkCustom && !Glyph()->Empty(); }

  void Click() override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  // Draws one owner-draw request: frame, glyph, caption and focus.
  virtual void CNDrawItem(const Win::DRAWITEMSTRUCT& Item);

private:
  TButtonGlyph FGlyph;
  TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
};

class TSpeedButton : public TGraphicControl {
  QX_CLASS(TSpeedButton, TGraphicControl)
public:
  explicit TSpeedButton(TComponent* AOwner);

  TBitmap* Glyph() const { return FGlyph.Glyph(); }
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value);
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  // Buttons of one parent with the same group index above 0 are exclusive:
  // pressing one lets the others up.
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value);
  bool Down() const { return FDown; }
  // Only a grouped button stays down; the last one down of a group comes up
  // only with AllowAllUp.
  void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  // A flat button shows its frame only under the mouse or down.
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool IsGlyphStored() const { return !Glyph()->Empty(); }
  // The state shown: up, disabled, pressed (bsDown) or held down (bsExclusive).
  TButtonState State() const;
  bool MouseInControl() const { return FMouseInControl; }

  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  // Frame and background for the state; returns the rectangle inside.
  TRect PaintFrame();

private:
  void SetPressed(bool Value);
  void ReleaseGroup();
  TButtonGlyph FGlyph;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
  Integer FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FFlat = false;
  bool FPressed = false;
  bool FMouseInControl = false;
};

} // namespace Vcl

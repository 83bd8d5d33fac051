// The dark, patterned strip of a header or a footer bar: a small tile with a
// grey gradient, a fine diagonal grid and an orange strip along the edge
// facing the form's body, repeated across the bar. The height follows a size
// class scaled by the form's resolution.
#pragma once

#include <GdiPlus.hpp>
#include <Vcl.ExtCtrls.hpp>

#include <cstdint>

#include <memory>

namespace Quorex {

using Vcl::Integer;

enum class TBarSize : std::uint8_t { bsSmall, bsMedium, bsManual };
using enum TBarSize;
QX_ENUM_NAMES(TBarSize, bsSmall, bsMedium, bsManual)

class TCustomHeaderFooterBar : public Vcl::TCustomPanel {
  QX_CLASS(TCustomHeaderFooterBar, Vcl::TCustomPanel)
public:
  enum class TCustomHeaderFooterPanelStyle : std::uint8_t { hfpsHeader, hfpsFooter };
  using enum TCustomHeaderFooterPanelStyle;

  TCustomHeaderFooterBar(Vcl::TComponent* AOwner, TCustomHeaderFooterPanelStyle AStyle);
  ~TCustomHeaderFooterBar() override;

  void Assign(const Vcl::TPersistent* Source) override;
  TBarSize BarSize() const { return FBarSize; }
  void SetBarSize(TBarSize Value);
  TCustomHeaderFooterPanelStyle Style() const { return FStyle; }
  // The resolution the bar is drawn for: its top-level form's, else the screen's.
  Integer GetDPI() const;
  Integer GetOutlineHeight() const;

  // Re-applies the size class at the new resolution.
  void ChangeScale(Integer M, Integer D) override;
  void Loaded() override;
  void Dispatch(Vcl::TMessage& Message) override;

protected:
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void CreateParams(Vcl::TCreateParams& Params) override;
  void Resize() override;
  void Paint() override;
  // Rebuilds the tile when the height or the resolution it was made for changed.
  void UpdatePattern();
  void DoPaint(Win::HDC DC);
  // The tile, for descendants that look at it.
  Vcl::TBitmap* Pattern() const { return FPattern.get(); }

private:
  void BuildPatternGrid(GdiPlus::IGPGraphics& Graphics);
  void BuildOutline(GdiPlus::IGPGraphics& Graphics, const Vcl::TRect& Rect);
  void DrawTiles(Vcl::TCanvas* ACanvas);

  TCustomHeaderFooterPanelStyle FStyle;
  TBarSize FBarSize = bsSmall;
  std::unique_ptr<Vcl::TBitmap> FPattern;
  Integer FPatternDpi = 0;
};

} // namespace Quorex

// A double-buffered panel whose background is a rounded, gradient-filled
// rectangle in a normal, hot, selected or host-coloured state, optionally
// with a glass highlight over its upper half.
#pragma once

#include <GdiPlus.hpp>
#include <Vcl.Controls.hpp>

#include <memory>

namespace Quorex {

using Vcl::Integer;

enum class TItemPanelState { ipsNormal, ipsHot, ipsSelected, ipsCustom };
using enum TItemPanelState;
QX_ENUM_NAMES(TItemPanelState, ipsNormal, ipsHot, ipsSelected, ipsCustom)
enum class TItemPanelStyle { istGradient, istGlass };
using enum TItemPanelStyle;
QX_ENUM_NAMES(TItemPanelStyle, istGradient, istGlass)

class TCustomItemPanel : public Vcl::TCustomControl {
  QX_CLASS(TCustomItemPanel, Vcl::TCustomControl)
public:
  explicit TCustomItemPanel(Vcl::TComponent* AOwner);
  ~TCustomItemPanel() override;

  TItemPanelState State() const { return FState; }
  void SetState(TItemPanelState Value) { Change(FState, Value); }
  TItemPanelStyle Style() const { return FStyle; }
  void SetStyle(TItemPanelStyle Value) { Change(FStyle, Value); }
  // The custom state's colours; taken as plain RGB, system colours unresolved.
  Vcl::TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(Vcl::TColor Value) { Change(FBorderColor, Value); }
  Vcl::TColor GradientBegin() const { return FGradientBegin; }
  void SetGradientBegin(Vcl::TColor Value) { Change(FGradientBegin, Value); }
  Vcl::TColor GradientEnd() const { return FGradientEnd; }
  void SetGradientEnd(Vcl::TColor Value) { Change(FGradientEnd, Value); }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void Paint() override;
  // Paints the face through the back buffer onto Target, inside Target's
  // clip box; with PaintChildren also the graphic children.
  void DrawBuf(Vcl::TCanvas* Target, bool PaintChildren);
  void DoDraw(Vcl::TCanvas* ACanvas);

private:
  template <class T>
  void Change(T& Field, T Value)
  {
    if (Field == Value)
      return;
    Field = Value;
    Invalidate();
  }
  void WMEraseBkgnd(Vcl::TMessage& Message);
  void DrawRect(GdiPlus::IGPGraphics& Graphics, GdiPlus::TGPColor First, GdiPlus::TGPColor Second,
                GdiPlus::TGPColor Border) const;
  void DrawGlassRect(GdiPlus::IGPGraphics& Graphics, GdiPlus::TGPColor First, GdiPlus::TGPColor Second,
                     GdiPlus::TGPColor Border) const;
  void FillRounded(GdiPlus::IGPGraphics& Graphics, const Vcl::TRect& Rect, GdiPlus::TGPColor Top,
                   GdiPlus::TGPColor Bottom) const;
  void Outline(GdiPlus::IGPGraphics& Graphics, GdiPlus::TGPColor Border) const;

  std::unique_ptr<Vcl::TBitmap> FBuf;
  std::unique_ptr<Vcl::TCanvas> FBufCanvas;
  TItemPanelState FState = ipsNormal;
  Integer FPainting = 0;
  Vcl::TColor FBorderColor = 0, FGradientEnd = 0, FGradientBegin = 0;
  TItemPanelStyle FStyle = istGradient;
};

class TItemPanel : public TCustomItemPanel {
  QX_CLASS(TItemPanel, TCustomItemPanel)
public:
  using TCustomItemPanel::TCustomItemPanel;
};

} // namespace Quorex

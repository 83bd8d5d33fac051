// A square, anti-aliased ring: a faint full ring as the track and an
// opaque arc for the value, from three o'clock clockwise. The control keeps
// itself square, following its height. Color is the ring's colour.
#pragma once

#include <GdiPlus.hpp>
#include <Vcl.Controls.hpp>

namespace Quorex {

using Vcl::Integer;

class TQxCustomRingProgress : public Vcl::TGraphicControl {
  QX_CLASS(TQxCustomRingProgress, Vcl::TGraphicControl)
public:
  explicit TQxCustomRingProgress(Vcl::TComponent* AOwner);

  // Only stored: neither validated nor repainted.
  Integer Min() const { return FMin; }
  void SetMin(Integer Value) { FMin = Value; }
  Integer Max() const { return FMax; }
  void SetMax(Integer Value) { FMax = Value; }
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value) { SetAndInvalidate(FPosition, Value); }
  // Opacity of the value arc and of the track.
  Vcl::Byte AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(Vcl::Byte Value) { SetAndInvalidate(FAlphaBlend, Value); }
  Vcl::Byte InactiveAlpha() const { return FInactiveAlpha; }
  void SetInactiveAlpha(Vcl::Byte Value) { SetAndInvalidate(FInactiveAlpha, Value); }
  // Ring thickness in percent of the usable radius, held to 1..100.
  Integer RingWidthFactor() const { return FRingWidthFactor; }
  void SetRingWidthFactor(Integer Value);

  // The value arc's sweep in degrees; 0 when Max is 0.
  float GetCurrentAngle() const;
  // The ring thickness the last paint computed.
  float RingWidth() const { return FRingWidth; }

protected:
  void Paint() override;
  virtual void DoPaint();
  void PaintRing(GdiPlus::TGPColor Color, float Sweep);
  void Resize() override;

private:
  template <class V>
  void SetAndInvalidate(V& Field, V Value)
  {
    if (Field == Value)
      return;
    Field = Value;
    Invalidate();
  }
  GdiPlus::TGPColor RingColor(Vcl::Byte Alpha) const;

  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPosition = 0;
  Vcl::Byte FAlphaBlend = 255;
  Vcl::Byte FInactiveAlpha = 40;
  Integer FRingWidthFactor = 30;
  float FRingWidth = 0;
  bool FResizing = false;
};

class TQxRingProgress : public TQxCustomRingProgress {
  QX_CLASS(TQxRingProgress, TQxCustomRingProgress)
public:
  using TQxCustomRingProgress::TQxCustomRingProgress;
};

} // namespace Quorex

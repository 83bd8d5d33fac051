// A flat horizontal bar with rounded ends whose fill changes colour from a
// start to a middle to a finish colour as the position passes the thirds of
// the maximum.
#pragma once

#include <Vcl.Controls.hpp>

namespace Quorex {

using Vcl::Integer;

class TQxColoredProgressBar : public Vcl::TGraphicControl {
  QX_CLASS(TQxColoredProgressBar, Vcl::TGraphicControl)
public:
  explicit TQxColoredProgressBar(Vcl::TComponent* AOwner);

  Vcl::TColor StartColor() const { return FStartColor; }
  void SetStartColor(Vcl::TColor Value) { SetColorField(FStartColor, Value); }
  Vcl::TColor MiddleColor() const { return FMiddleColor; }
  void SetMiddleColor(Vcl::TColor Value) { SetColorField(FMiddleColor, Value); }
  Vcl::TColor FinishColor() const { return FFinishColor; }
  void SetFinishColor(Vcl::TColor Value) { SetColorField(FFinishColor, Value); }
  // Each bound drags the other along when it passes it; the position is
  // kept between them.
  Integer MinValue() const { return FMinValue; }
  void SetMinValue(Integer Value);
  Integer MaxValue() const { return FMaxValue; }
  void SetMaxValue(Integer Value);
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value);

  // The colour the fill takes at the current position.
  Vcl::TColor FillColor() const;
  // The fill's right edge in client coordinates, within [0, ClientWidth].
  Integer FillRight() const;

protected:
  void CheckProgressValue();
  void Paint() override;

private:
  void SetColorField(Vcl::TColor& Field, Vcl::TColor Value);

  Vcl::TColor FStartColor = Vcl::TColor(0x000000FF);
  Vcl::TColor FMiddleColor = Vcl::TColor(0x0000FFFF);
  Vcl::TColor FFinishColor = Vcl::TColor(0x00008000);
  Integer FMinValue = 0;
  Integer FMaxValue = 100;
  Integer FPosition = 50;
};

} // namespace Quorex

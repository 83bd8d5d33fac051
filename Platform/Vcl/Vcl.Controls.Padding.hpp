// The insets of controls: the margins a control keeps around itself when its
// parent aligns it (with AlignWithMargins), and the padding a windowed
// control keeps between its client edges and the children it aligns.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

class TMargins : public TPersistent {
  QX_CLASS(TMargins, TPersistent)
public:
  // Control, when given, is realigned by its parent after each change while
  // it aligns with margins (and outlives this).
  explicit TMargins(TControl* Control = nullptr) : TMargins(Control, 3) {}
  void Assign(const TPersistent* Source) override;
  Integer Left() const { return FLeft; }
  Integer Top() const { return FTop; }
  Integer Right() const { return FRight; }
  Integer Bottom() const { return FBottom; }
  void SetLeft(Integer Value) { SetSide(FLeft, Value); }
  void SetTop(Integer Value) { SetSide(FTop, Value); }
  void SetRight(Integer Value) { SetSide(FRight, Value); }
  void SetBottom(Integer Value) { SetSide(FBottom, Value); }
  void SetBounds(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  // Rect shrunk by the four insets (it may end up empty or inverted).
  TRect Inset(const TRect& Rect) const;
  // Rect grown by the four insets.
  TRect Outset(const TRect& Rect) const;
  // Raised after every change, after the control realigned.
  TNotifyEvent OnChange;

protected:
  TMargins(TControl* Control, Integer Side) : FControl(Control), FLeft(Side), FTop(Side), FRight(Side), FBottom(Side) {}
  virtual void ControlChange();
  TControl* FControl;

private:
  void SetSide(Integer& Field, Integer Value);
  void Change();
  Integer FLeft, FTop, FRight, FBottom;
};

class TPadding : public TMargins {
  QX_CLASS(TPadding, TMargins)
public:
  // Control, when given, realigns its children after each change (and
  // outlives this).
  explicit TPadding(TWinControl* Control = nullptr) : TMargins(Control, 0) {}

protected:
  void ControlChange() override;
};

} // namespace Vcl

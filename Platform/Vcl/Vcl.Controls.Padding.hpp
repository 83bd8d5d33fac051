// The insets a windowed control keeps between its client edges and the
// children it aligns. A control that has padding owns one, takes it off its
// client rectangle in AdjustClientRect, and is realigned by every change.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

class TPadding : public TPersistent {
  QX_CLASS(TPadding, TPersistent)
public:
  // Control, when given, is realigned after each change (and outlives this).
  explicit TPadding(TWinControl* Control = nullptr) : FControl(Control) {}
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
  // Raised after every change, after the control realigned.
  TNotifyEvent OnChange;

private:
  void SetSide(Integer& Field, Integer Value);
  void Change();
  TWinControl* FControl;
  Integer FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
};

} // namespace Vcl

// A plain container on the library's control base. At run time the mouse
// passes through it to the window beneath.
#pragma once

#include "Quorex.Vcl.CustomControl.hpp"

#include <optional>

namespace Quorex {

class TQxCustomPanel : public TQxCustomControl {
  QX_CLASS(TQxCustomPanel, TQxCustomControl)
public:
  explicit TQxCustomPanel(Vcl::TComponent* AOwner);

  Vcl::TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(Vcl::TLeftRight Value) { FAlignment = Value; }
  using TQxCustomControl::SetTransparent;
  using TQxCustomControl::Transparent;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void Dispatch(Vcl::TMessage& Message) override;

protected:
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void EraseBkGnd() override;

private:
  Vcl::TLeftRight FAlignment = Vcl::taLeftJustify;
  // Where a right-justified auto-size wants the left edge, for the SetBounds
  // call in progress (sizing may nest through the parent's alignment).
  std::optional<Integer>* FAutoSizeLeft = nullptr;
};

class TQxPanel : public TQxCustomPanel {
  QX_CLASS(TQxPanel, TQxCustomPanel)
public:
  using TQxCustomPanel::TQxCustomPanel;
};

} // namespace Quorex

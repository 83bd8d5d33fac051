// A panel with a header strip and a tree-style expander glyph: a click
// collapses it to its header or expands it to the height it was given.
#pragma once

#include <Quorex.Vcl.CustomControl.hpp>
#include <Quorex.Vcl.UIElement.hpp>

#include <memory>

namespace Quorex {

class TQxCustomExpandPanel : public TQxCustomControl {
  QX_CLASS(TQxCustomExpandPanel, TQxCustomControl)
public:
  explicit TQxCustomExpandPanel(Vcl::TComponent* AOwner);

  const std::shared_ptr<IUIElement>& Expander() const { return FExpander; }
  Integer HeaderHeight() const { return FHeaderHeight; }
  void SetHeaderHeight(Integer Value);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  // The expanded height: the height at creation or as loaded.
  Integer FullHeight() const { return FFullHeight; }
  bool ActiveHeader() const { return FActiveHeader; }
  void SetActiveHeader(bool Value);
  Vcl::TColor HeaderColor() const { return FHeaderColor; }
  void SetHeaderColor(Vcl::TColor Value);
  using TQxCustomControl::SetTransparent;
  using TQxCustomControl::Transparent;

  // The header strip, the glyph square at its left end, and the part of
  // the header that answers the mouse.
  Vcl::TRect HeaderRect() const;
  Vcl::TRect ExpanderRect() const;
  Vcl::TRect ExpanderArea() const { return FActiveHeader ? HeaderRect() : ExpanderRect(); }

  void Loaded() override;
  void Dispatch(Vcl::TMessage& Message) override;

  Vcl::TNotifyEvent OnExpandChange;

protected:
  void AdjustExpandState();
  void CreateWnd() override;
  void Resize() override;
  void MouseDown(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(Vcl::TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Integer X, Integer Y) override;
  void EraseBkGnd() override;
  void Paint() override;
  void PaintExpander(const std::shared_ptr<IUIElement>& ASender, Vcl::TCanvas* ACanvas, TUIControlState AState);

private:
  void UpdateExpanderArea() { FExpander->SetRect(ExpanderArea()); }

  std::shared_ptr<IUIElement> FExpander;
  Integer FHeaderHeight = 24;
  bool FExpanded = false;
  Integer FFullHeight = 150;
  bool FActiveHeader = true;
  Vcl::TColor FHeaderColor = Vcl::clNone;
};

class TQxExpandPanel : public TQxCustomExpandPanel {
  QX_CLASS(TQxExpandPanel, TQxCustomExpandPanel)
public:
  using TQxCustomExpandPanel::TQxCustomExpandPanel;
};

} // namespace Quorex

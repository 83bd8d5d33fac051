// A panel that lines its children up from left to right in the order of
// their Left, a fixed spacing apart, placed at the top, the middle or the
// bottom, and shares the width left over among its dynamic spacers.
#pragma once

#include <Quorex.Vcl.Panel.hpp>
#include <Vcl.Controls.Padding.hpp>


namespace Quorex {

enum class TVerticalLayout { vlTop, vlCenter, vlBottom };
using enum TVerticalLayout;
QX_ENUM_NAMES(TVerticalLayout, vlTop, vlCenter, vlBottom)

// Takes up free width in a layout panel; shows only in the designer.
class TQxDynamicSpacer : public Vcl::TGraphicControl {
  QX_CLASS(TQxDynamicSpacer, Vcl::TGraphicControl)
public:
  explicit TQxDynamicSpacer(Vcl::TComponent* AOwner);

protected:
  void Paint() override;
};

class TQxCustomLayoutPanel : public TQxPanel {
  QX_CLASS(TQxCustomLayoutPanel, TQxPanel)
public:
  explicit TQxCustomLayoutPanel(Vcl::TComponent* AOwner);

  TVerticalLayout LayoutVertical() const { return FLayoutVertical; }
  void SetLayoutVertical(TVerticalLayout Value);
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);

  // Places every laid-out child; runs after each alignment of the children.
  void RearrangeControls();
  // The row read from a resource is laid out once all of it is there.
  void Loaded() override;

protected:
  void AlignControls(Vcl::TControl* AControl, Vcl::TRect& Rect) override;

private:
  bool IsLaidOut(const Vcl::TControl* Control) const;
  void ShareFreeWidth();
  Integer ChildTop(const Vcl::TControl* Control) const;

  TVerticalLayout FLayoutVertical = vlCenter;
  Integer FSpacing = 10;
};

class TQxLayoutPanel : public TQxCustomLayoutPanel {
  QX_CLASS(TQxLayoutPanel, TQxCustomLayoutPanel)
public:
  using TQxCustomLayoutPanel::TQxCustomLayoutPanel;
};

} // namespace Quorex

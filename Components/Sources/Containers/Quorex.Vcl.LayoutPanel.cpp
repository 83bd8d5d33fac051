#include "Quorex.Vcl.LayoutPanel.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

#include <algorithm>
#include <limits>
#include <vector>

namespace Quorex {

using namespace Vcl;

namespace {

// Widths, spacings and insets come from the host and from resources: the
// sums run in 64 bits and land back in the coordinate range.
Integer Saturate(Int64 Value)
{
  return Integer(std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

} // namespace

TQxDynamicSpacer::TQxDynamicSpacer(TComponent* AOwner) : TGraphicControl(AOwner)
{
  SetBounds(Left(), Top(), 16, 16);
}

void TQxDynamicSpacer::Paint()
{
  if (!ComponentState().Contains(csDesigning))
    return;
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(clGray);
  canvas->Pen()->SetStyle(psDot);
  const Integer right = Width() - 1, middle = Height() / 2;
  for (Integer x : {0, right}) {
    canvas->MoveTo(x, 0);
    canvas->LineTo(x, Height());
  }
  // A line from edge to edge says that it stretches.
  canvas->MoveTo(0, middle);
  canvas->LineTo(right, middle);
}

TQxCustomLayoutPanel::TQxCustomLayoutPanel(TComponent* AOwner) : TQxPanel(AOwner) {}

void TQxCustomLayoutPanel::SetLayoutVertical(TVerticalLayout Value)
{
  if (FLayoutVertical == Value)
    return;
  FLayoutVertical = Value;
  Realign();
}

void TQxCustomLayoutPanel::SetSpacing(Integer Value)
{
  if (FSpacing == Value)
    return;
  FSpacing = Value;
  Realign();
}

void TQxCustomLayoutPanel::Loaded()
{
  inherited::Loaded();
  Realign();
}

void TQxCustomLayoutPanel::AlignControls(TControl* AControl, TRect& Rect)
{
  inherited::AlignControls(AControl, Rect);
  RearrangeControls();
}

bool TQxCustomLayoutPanel::IsLaidOut(const TControl* Control) const
{
  return Control->Visible() || ComponentState().Contains(csDesigning);
}

// Only laid-out children take a gap or a share: a hidden child or spacer
// left in the count would keep the row from reaching the right edge.
void TQxCustomLayoutPanel::ShareFreeWidth()
{
  std::vector<TControl*> spacers;
  Int64 total = 0, count = 0;
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (!IsLaidOut(child))
      continue;
    ++count;
    if (dynamic_cast<TQxDynamicSpacer*>(child))
      spacers.push_back(child);
    else
      total += child->Width();
  }
  if (spacers.empty())
    return;
  total += (count - 1) * FSpacing;
  const Int64 free = Int64(ClientWidth()) - total - Padding()->Left() - Padding()->Right();
  const Integer each = Saturate(std::max<Int64>(free / Int64(spacers.size()), 0));
  for (TControl* spacer : spacers)
    if (spacer->Width() != each)
      spacer->SetWidth(each);
}

Integer TQxCustomLayoutPanel::ChildTop(const TControl* Control) const
{
  switch (FLayoutVertical) {
  case vlTop:
    return Padding()->Top();
  case vlCenter:
    return Saturate((Int64(Height()) - Control->Height()) / 2);
  case vlBottom:
    return Saturate(Int64(Height()) - Control->Height() - Padding()->Bottom());
  }
  return 0;
}

void TQxCustomLayoutPanel::RearrangeControls()
{
  ShareFreeWidth();
  std::vector<TControl*> row;
  row.reserve(size_t(ControlCount()));
  for (Integer i = 0; i < ControlCount(); ++i)
    row.push_back(Controls(i));
  std::stable_sort(row.begin(), row.end(), [](const TControl* a, const TControl* b) { return a->Left() < b->Left(); });
  Int64 x = Padding()->Left();
  for (TControl* child : row) {
    if (!IsLaidOut(child))
      continue;
    // A row that runs past the coordinate range piles up at its end.
    const Integer left = Saturate(std::min<Int64>(x, Int64(std::numeric_limits<Integer>::max()) - child->Width()));
    const Integer top = ChildTop(child);
    // A child already in place is left alone: most realigns move nothing.
    if (child->Left() != left || child->Top() != top)
      child->SetBounds(left, top, child->Width(), child->Height());
    x += Int64(child->Width()) + FSpacing;
  }
}

QX_PUBLISHED_CONTROL(TQxDynamicSpacer)
{
  for (const char* name : {"Anchors", "Constraints", "Visible"})
    Publish(name);
}

QX_PUBLISHED_CONTROL(TQxLayoutPanel)
{
  Property("LayoutVertical", &T::LayoutVertical, &T::SetLayoutVertical).Default(vlCenter);
  Property("Spacing", &T::Spacing, &T::SetSpacing).Default(10);
  Publish("Padding");
}

} // namespace Quorex

#include "Quorex.Vcl.Panel.hpp"

#include "Quorex.Vcl.ControlProperties.hpp"

#include <utility>

namespace Quorex {

using namespace Vcl;

TQxCustomPanel::TQxCustomPanel(TComponent* AOwner) : TQxCustomControl(AOwner)
{
  FControlStyle.Include(csAcceptsControls);
  FControlStyle.Include(csCaptureMouse);
  FControlStyle.Include(csClickEvents);
  FControlStyle.Include(csSetCaption);
  FControlStyle.Include(csDoubleClicks);
  FControlStyle.Include(csReplicatable);
  FControlStyle.Include(csPannable);
  SetTabStop(false);
  SetParentColor(true);
}

void TQxCustomPanel::Dispatch(TMessage& Message)
{
  if (Message.Msg == Win::WM_NCHITTEST && !ComponentState().Contains(csDesigning)) {
    Message.Result = Win::HTTRANSPARENT;
    return;
  }
  inherited::Dispatch(Message);
}

bool TQxCustomPanel::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  if (!inherited::CanAutoSize(NewWidth, NewHeight))
    return false;
  if (FAlignment == taRightJustify && FAutoSizeLeft && !*FAutoSizeLeft)
    *FAutoSizeLeft = Width() - NewWidth + Left();
  return true;
}

// The framework sizes the panel at the left it was given; a right-justified
// panel then moves so that its right edge stays.
void TQxCustomPanel::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight)
{
  std::optional<Integer> left;
  std::optional<Integer>* outer = std::exchange(FAutoSizeLeft, &left);
  try {
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  } catch (...) {
    FAutoSizeLeft = outer;
    throw;
  }
  FAutoSizeLeft = outer;
  if (left && *left != Left())
    inherited::SetBounds(*left, Top(), Width(), Height());
}

void TQxCustomPanel::EraseBkGnd()
{
  inherited::EraseBkGnd();
  if (!ComponentState().Contains(csDesigning))
    return;
  Canvas()->Pen()->SetColor(clBlack);
  Canvas()->Pen()->SetStyle(psDot);
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->Rectangle(ClientRect());
}

QX_PUBLISHED_CONTROL(TQxPanel)
{
  ControlProperties(alNone, true);
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taLeftJustify);
  Publish("AutoSize");
  Publish("DoubleBuffered");
  Publish("TabOrder");
  Property("Transparent", &T::Transparent, &T::SetTransparent).Default(false);
}

} // namespace Quorex

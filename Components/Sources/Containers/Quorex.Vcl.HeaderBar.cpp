#include "Quorex.Vcl.HeaderBar.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

namespace Quorex {

using namespace Vcl;

THeaderBar::THeaderBar(TComponent* AOwner) : TCustomHeaderFooterBar(AOwner, hfpsHeader)
{
  SetAlign(alTop);
  SetBarSize(bsSmall);
}

QX_PUBLISHED_CONTROL(THeaderBar)
{
  Publish("Align").Default(alTop);
  Property("BarSize", &T::BarSize, &T::SetBarSize).Default(bsSmall);
  // Each parent switch before the value it stands for, so that a stored
  // value is read last and wins.
  Publish("ParentFont").Default(true);
  Publish("Font");
  Publish("ParentDoubleBuffered").Default(true);
  Publish("DoubleBuffered");
}

} // namespace Quorex

#include "Quorex.Vcl.FooterBar.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

namespace Quorex {

using namespace Vcl;

TFooterBar::TFooterBar(TComponent* AOwner) : TCustomHeaderFooterBar(AOwner, hfpsFooter)
{
  SetAlign(alBottom);
  SetBarSize(bsSmall);
}

QX_PUBLISHED_CONTROL(TFooterBar)
{
  Publish("Align").Default(alBottom);
  Property("BarSize", &T::BarSize, &T::SetBarSize).Default(bsSmall);
  // Each parent switch before the value it stands for, so that a stored
  // value is read last and wins.
  Publish("ParentFont").Default(true);
  Publish("Font");
  Publish("ParentDoubleBuffered").Default(true);
  Publish("DoubleBuffered");
}

} // namespace Quorex

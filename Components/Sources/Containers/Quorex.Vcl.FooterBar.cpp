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
  // The parent switch before the font, so that a stored font is read last and wins.
  Publish("ParentFont").Default(true);
  for (const char* name : {"Font", "DoubleBuffered"})
    Publish(name);
}

} // namespace Quorex

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
  // The parent switch before the font, so that a stored font is read last and wins.
  Publish("ParentFont").Default(true);
  for (const char* name : {"Font", "DoubleBuffered"})
    Publish(name);
}

} // namespace Quorex

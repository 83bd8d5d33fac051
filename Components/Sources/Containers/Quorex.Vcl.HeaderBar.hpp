// The patterned bar at the top of a form, its orange strip along the bottom.
#pragma once

#include "Quorex.Vcl.HeaderFooterBar.hpp"

namespace Quorex {

class THeaderBar : public TCustomHeaderFooterBar {
  QX_CLASS(THeaderBar, TCustomHeaderFooterBar)
public:
  explicit THeaderBar(Vcl::TComponent* AOwner);
};

} // namespace Quorex

// The patterned bar at the bottom of a form, its orange strip along the top.
#pragma once

#include "Quorex.Vcl.HeaderFooterBar.hpp"

namespace Quorex {

class TFooterBar : public TCustomHeaderFooterBar {
  QX_CLASS(TFooterBar, TCustomHeaderFooterBar)
public:
  explicit TFooterBar(Vcl::TComponent* AOwner);
};

} // namespace Quorex

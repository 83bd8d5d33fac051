// Visual styles on or off for the length of a test (or a block of it), so
// that both looks of a control can be drawn and compared.
#pragma once

#include <Win.Themes.hpp>

namespace QxTest {

class TVisualStyles {
public:
  explicit TVisualStyles(bool Enabled) : FWas(Win::IsThemeActive() != Win::FALSE)
  {
    Win::EnableTheming(Enabled ? Win::TRUE : Win::FALSE);
  }
  ~TVisualStyles() { Win::EnableTheming(FWas ? Win::TRUE : Win::FALSE); }
  TVisualStyles(const TVisualStyles&) = delete;
  TVisualStyles& operator=(const TVisualStyles&) = delete;

private:
  bool FWas;
};

} // namespace QxTest

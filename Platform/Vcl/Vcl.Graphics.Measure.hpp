// Text measured where there is no window to measure on: while a control is
// built or read from a form resource its own canvas has no device context
// yet, so sizes computed then come from a memory device context carrying the
// control's font, with the same metrics the window's context gives later.
#pragma once

#include <Vcl.Graphics.hpp>

namespace Vcl {

class TMeasureCanvas : public TCanvas {
  QX_CLASS(TMeasureCanvas, TCanvas)
public:
  // The canvas's font is a copy of Font when one is given.
  explicit TMeasureCanvas(const TFont* Font = nullptr);
  ~TMeasureCanvas() override;

private:
  Win::HDC FMemoryDC = nullptr;
};

} // namespace Vcl

#include "Vcl.Graphics.Measure.hpp"

namespace Vcl {

TMeasureCanvas::TMeasureCanvas(const TFont* Font)
{
  Win::HDC screen = Win::GetDC(nullptr);
  FMemoryDC = Win::CreateCompatibleDC(screen);
  Win::ReleaseDC(nullptr, screen);
  if (Font)
    SetFont(Font);
  SetHandle(FMemoryDC);
}

TMeasureCanvas::~TMeasureCanvas()
{
  SetHandle(nullptr);
  Win::DeleteDC(FMemoryDC);
}

} // namespace Vcl

#include "Quorex.System.DPI.hpp"

#include <Winapi.Windows.hpp>

namespace Quorex {

namespace {
// 0 means "not read yet", so a read that yields 0 is simply repeated.
int gCachedDPI = 0;

struct TScreenDC {
  Win::HDC DC = Win::GetDC(nullptr);
  ~TScreenDC() { Win::ReleaseDC(nullptr, DC); }
};
} // namespace

int DPI::GetValue()
{
  if (gCachedDPI != 0)
    return gCachedDPI;
  TScreenDC screen;
  gCachedDPI = Win::GetDeviceCaps(screen.DC, Win::LOGPIXELSY);
  return gCachedDPI;
}

int DPI::Scale(int Value)
{
  return Win::MulDiv(Value, GetValue(), 96);
}

int DPI::ScaleFrom(int Value, int FromDPI)
{
  return Win::MulDiv(Value, GetValue(), FromDPI);
}

// For the tests, which declare it in their support headers (not installed).
namespace Internal {

void ResetDPICacheForTesting()
{
  gCachedDPI = 0;
}

} // namespace Internal

} // namespace Quorex

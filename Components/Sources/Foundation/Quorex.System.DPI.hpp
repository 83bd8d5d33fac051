// Scales pixel metrics given at 96 DPI to the screen's logical resolution,
// which is read once on first use and then kept for the life of the process.
#pragma once

namespace Quorex {

class DPI {
public:
  DPI() = delete;

  // The screen's vertical logical resolution in dots per inch.
  static int GetValue();
  // Value (pixels at 96 DPI) at the screen's resolution.
  static int Scale(int Value);
  // Value (pixels at FromDPI) at the screen's resolution; -1 when FromDPI is 0.
  static int ScaleFrom(int Value, int FromDPI);
};

} // namespace Quorex

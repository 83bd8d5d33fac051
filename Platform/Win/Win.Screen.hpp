// Settings of the (headless) screen that GetDeviceCaps reports. A host or a
// test may change them before the first use; DPI readers cache what they see.
#pragma once

namespace Win {

struct TScreenSettings {
  int Width = 1280;
  int Height = 800;
  int LogPixels = 96;
};

TScreenSettings& ScreenSettings();

} // namespace Win

// The notification area's part in the desktop: its strip drawn over the
// composed screen, and its reset with the window system.
#pragma once

#include "Win.Desktop.hpp"

namespace Win {

// Draws the strip (and the balloon that shows) into the screen image; no
// strip while no icon is registered.
void ComposeNotifyArea(TImage& Screen);
// Forgets every icon (their pictures freed) and the pending failure.
void ResetNotifyArea();

} // namespace Win

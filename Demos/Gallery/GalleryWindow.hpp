// The gallery on a real display: the headless desktop shown in an SDL2
// window, with the window's mouse and keyboard routed into the window system.
#pragma once

namespace Gallery {

// Runs until the window is closed; the process exit code.
int RunGalleryWindow();

} // namespace Gallery

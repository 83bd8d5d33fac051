// The gallery as a host application: a form on the desktop with a frame host
// whose pages show the library, a scripted tour through them with real
// (injected) input, and a screenshot of every page.
#pragma once

#include <string>
#include <vector>

namespace Gallery {

struct TShot {
  std::string Page;
  std::string FileName;
  // Distinct colours inside the frame host: a blank page has one.
  int Colours = 0;
};

struct TTourResult {
  std::vector<TShot> Shots;
  std::vector<std::string> Log; // link clicks and page switches, in order
};

// Runs the tour on the headless desktop and writes the screenshots into
// OutputDir (created when missing).
TTourResult RunGalleryTour(const std::string& OutputDir);

} // namespace Gallery

// The gallery: runs the scripted tour through every page on the headless
// desktop and writes a screenshot of each into the output folder.
//
//   QxGallery [--out DIR] [--window]
#include "GalleryTour.hpp"
#include "GalleryWindow.hpp"

#include <cstring>
#include <exception>
#include <iostream>
#include <string>

namespace {

struct TOptions {
  std::string OutputDir = "out/gallery";
  bool Window = false;
};

bool ParseOptions(int argc, char** argv, TOptions& Options)
{
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0)
      Options.Window = true;
    else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
      Options.OutputDir = argv[++i];
    else {
      std::cerr << "usage: QxGallery [--out DIR] [--window]\n";
      return false;
    }
  }
  return true;
}

} // namespace

int main(int argc, char** argv)
{
  TOptions options;
  if (!ParseOptions(argc, argv, options))
    return 2;
  try {
    if (options.Window)
      return Gallery::RunGalleryWindow();
    const Gallery::TTourResult result = Gallery::RunGalleryTour(options.OutputDir);
    for (const std::string& entry : result.Log)
      std::cout << entry << "\n";
    for (const Gallery::TShot& shot : result.Shots)
      std::cout << "screenshot " << shot.FileName << " (" << shot.Colours << " colours)\n";
    std::cout << "QxComponents gallery: " << result.Shots.size() << " screenshots in " << options.OutputDir << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "QxGallery: " << e.what() << "\n";
    return 1;
  }
}

// Writes the canvas-helper sheet (both looks of every primitive) to a PNG.
#include "../CanvasHelperSheet.hpp"

#include <System.SysUtils.hpp>

#include <iostream>

int main(int argc, char** argv)
{
  Vcl::String fileName = argc > 1 ? argv[1] : "canvas-helper-sheet.png";
  try {
    Gallery::SaveCanvasHelperSheet(fileName);
  } catch (const Vcl::Exception& e) {
    std::cerr << "QxCanvasSheet: " << e.Message() << "\n";
    return 1;
  }
  std::cout << fileName << "\n";
  return 0;
}

// A sheet of every canvas-helper primitive in every state, the classic look
// on the left and the themed look on the right.
#pragma once

#include <Vcl.Graphics.hpp>

namespace Gallery {

// Sizes the bitmap to the sheet and draws it; the visual-style switch is
// left as it was found.
void RenderCanvasHelperSheet(Vcl::TBitmap* Bitmap);
// The sheet as a PNG file.
void SaveCanvasHelperSheet(const Vcl::String& FileName);

} // namespace Gallery

// The graphics layer from the framework's canvas and bitmap, and back.
#pragma once

#include <GdiPlus.hpp>
#include <Vcl.Controls.hpp>
#include <Vcl.Graphics.hpp>

#include <memory>

namespace Quorex {

// A graphics on the canvas's device context; the canvas must outlive it.
std::shared_ptr<GdiPlus::IGPGraphics> ToGPGraphics(Vcl::TCanvas* Canvas);
// The same on a control's own canvas (valid while the control paints).
std::shared_ptr<GdiPlus::IGPGraphics> ToGPGraphics(Vcl::TGraphicControl* Control);
std::shared_ptr<GdiPlus::IGPGraphics> ToGPGraphics(Vcl::TCustomControl* Control);
// A copy of the bitmap's pixels, opaque.
std::shared_ptr<GdiPlus::IGPBitmap> ToGPBitmap(Vcl::TBitmap* Bitmap);
// Replaces the bitmap's picture by the GDI+ bitmap over transparent black
// (premultiplied alpha kept).
void FromGPBitmap(Vcl::TBitmap* Bitmap, const std::shared_ptr<GdiPlus::IGPBitmap>& GPBitmap);

} // namespace Quorex

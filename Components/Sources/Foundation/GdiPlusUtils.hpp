// Conversions of framework values into the anti-aliased graphics layer,
// rounded-rectangle paths, and the stream adapter that layer reads through.
#pragma once

#include <GdiPlus.hpp>
#include <System.StreamAdapter.hpp>
#include <System.Types.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.ImgList.hpp>

#include <memory>

namespace Quorex {

// X = Left, Y = Top, Width = Right - Left, Height = Bottom - Top.
GdiPlus::TGPRectF ToGPRectF(const Vcl::TRect& Rect);
// Opaque; the low three bytes as they are (resolve system colours first).
GdiPlus::TGPColor ToGPColor(Vcl::TColor Color);
GdiPlus::TGPFontStyle ToGPFontStyle(Vcl::TFontStyles Style);
// The font's name, its size in points and its style.
std::shared_ptr<GdiPlus::IGPFont> ToGPFont(const Vcl::TFont* Font);
// The list's image at Index through a framework bitmap, opaque (the image's
// alpha does not come along); an index outside the list raises the layer's
// invalid-parameter error.
std::shared_ptr<GdiPlus::IGPBitmap> ToGPImage(Vcl::TCustomImageList* ImageList, int Index);

// Paths of a rectangle with rounded corners; Corner is the side of the
// square each corner arc is drawn in, taken between 0 and the smaller side.
std::shared_ptr<GdiPlus::IGPGraphicsPath> RoundRectPath(const GdiPlus::TGPRectF& Rect, float Corner);
// The upper half with its top corners rounded, and the lower half with its
// bottom corners rounded: glass-like faces fill them in two colours.
std::shared_ptr<GdiPlus::IGPGraphicsPath> RoundHalfTopRectPath(const GdiPlus::TGPRectF& Rect, float Corner);
std::shared_ptr<GdiPlus::IGPGraphicsPath> RoundHalfBottomRectPath(const GdiPlus::TGPRectF& Rect, float Corner);

// A stream adapter whose Stat reports a stream of the framework stream's
// size, stamped with the current local time, never with a name.
class TMyStreamAdapter : public Vcl::TStreamAdapter {
public:
  using Vcl::TStreamAdapter::TStreamAdapter;
  Win::HRESULT Stat(Win::STATSTG* statstg, Win::DWORD grfStatFlag) override;
};

} // namespace Quorex

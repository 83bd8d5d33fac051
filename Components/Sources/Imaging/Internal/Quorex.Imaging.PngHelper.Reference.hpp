// The plain code of the PNG helper's pixel operations: one pixel at a time,
// the arithmetic written out as it is defined. The helper's vector rows must
// give exactly what these give (the tests hold them to it), and the helper
// falls back on them for the images its rows do not take.
#pragma once

#include <Vcl.Imaging.pngimage.hpp>

#include <memory>

namespace Quorex::TPngImageHelper::Reference {

// Round half to even in the default rounding mode.
int RoundFloat(float Value);

// ---- what the helper and the plain code share ----------------------------------
bool HasAlphaPlane(const Vcl::TPngImage& Png);
bool IsRGBFamily(const Vcl::TPngImage& Png);
// The single transparent colour of an image without alpha, if it has one.
bool SingleTransparentColor(const Vcl::TPngImage& Png, Vcl::TColor& Key);
void RequireRGBA8(const Vcl::TPngImage& Png);
std::unique_ptr<Vcl::TPngImage> BlankRGBA(int Width, int Height);
// SmoothResize's checks: an RGB or RGBA image of at least 2 x 2 pixels and a
// new size of at least 1 x 1; true when the image has alpha.
bool CheckResize(const Vcl::TPngImage& Png, int NewWidth, int NewHeight);

// Where a destination coordinate of SmoothResize samples the source.
struct TSample {
  int Index[2];    // the two source positions (the second held inside)
  float Weight[2]; // 1 - fraction, fraction
};
TSample SampleAt(int Destination, float Scale, int SourceSize);

// DrawPng's composite of one pixel: colour c1 with alpha a1 under colour c2
// with source alpha s.
void BlendPixel(const Vcl::Byte* C1, int A1, const Vcl::Byte* C2, int S, Vcl::Byte Factor, Vcl::Byte* Colour,
                Vcl::Byte& Alpha);

// ---- the operations -----------------------------------------------------------------
void SetTransparent(Vcl::TPngImage& Self, Vcl::Byte Value);
void ConvertToGrayScale(Vcl::TPngImage& Self);
void SmoothResize(Vcl::TPngImage& Self, int NewWidth, int NewHeight);
void DrawPng(Vcl::TPngImage& Self, const Vcl::TPngImage* Source, Vcl::TPoint Position, Vcl::Byte Factor);

} // namespace Quorex::TPngImageHelper::Reference

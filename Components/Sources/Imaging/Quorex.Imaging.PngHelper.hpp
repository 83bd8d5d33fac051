// Pixel operations on PNG images: sprite-sheet cells, alpha scaling, grey,
// bilinear resizing, importing bitmaps and icons with their transparency, and
// compositing. Colour and alpha are kept apart (straight alpha) throughout;
// "Round" is round half to even on the exact value, divisions truncate.
#pragma once

#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <memory>

namespace Quorex {

// The operations extend TPngImage; each takes the image it works on first.
namespace TPngImageHelper {

// A new 8-bit RGBA image filled by CopyFrom of the region / grid cell.
std::unique_ptr<Vcl::TPngImage> Create(const Vcl::TPngImage* Source, const Vcl::TRect& Rect);
std::unique_ptr<Vcl::TPngImage> Create(const Vcl::TPngImage* Source, int Column, int Row, int ColumnCount,
                                       int RowCount);

// Self becomes a copy (colour and alpha) of the region of Source, an 8-bit
// RGBA image. An empty Self first takes Source's format; otherwise Self must be
// 8-bit RGBA. Rectangles that are empty or reach outside Source raise
// EInvalidOperation before anything changes.
void CopyFrom(Vcl::TPngImage& Self, const Vcl::TPngImage* Source, const Vcl::TRect& Rect);
// CopyFrom of the cell (Column, Row) of a ColumnCount x RowCount grid.
void CopyFrame(Vcl::TPngImage& Self, const Vcl::TPngImage* Source, int Column, int Row, int ColumnCount,
               int RowCount);
// The cell rectangle of a grid; EInvalidOperation for a count below 1, an
// index outside the grid or cells of no pixels.
Vcl::TRect FrameRect(const Vcl::TPngImage& Source, int Column, int Row, int ColumnCount, int RowCount);

// Self becomes an RGB or RGBA copy of a PNG, bitmap or icon, its
// transparency (key colour, mask, 32-bit alpha) turned into alpha.
void AssignGraphic(Vcl::TPngImage& Self, Vcl::TGraphic* Graphic);
// Scales alpha by (Value + 1) / 256, giving the image an alpha plane first.
void AlphaBlend(Vcl::TPngImage& Self, Vcl::Byte Value);
// Scales alpha by Value / 255 (8-bit RGBA only).
void SetTransparent(Vcl::TPngImage& Self, Vcl::Byte Value);
// Every pixel becomes its grey level; alpha stays.
void ConvertToGrayScale(Vcl::TPngImage& Self);
// Bilinear resampling of an RGB or RGBA image of at least 2 x 2 pixels.
void SmoothResize(Vcl::TPngImage& Self, int NewWidth, int NewHeight);
// Composites Source over Self with its top-left at Position; Factor 255 uses
// Source's alpha as it is, 0 makes Source opaque. Self becomes 8-bit RGBA.
void DrawPng(Vcl::TPngImage& Self, const Vcl::TPngImage* Source, Vcl::TPoint Position, Vcl::Byte Factor);
// Drawing does nothing without a canvas.
void DrawCentered(Vcl::TPngImage& Self, Vcl::TCanvas* Canvas, const Vcl::TRect& Rect);
void DrawTransparent(Vcl::TPngImage& Self, Vcl::TCanvas* Canvas, const Vcl::TRect& Rect, Vcl::Byte Value);
void DrawFrame(Vcl::TPngImage& Self, Vcl::TCanvas* Canvas, const Vcl::TRect& Rect, int Column, int Row,
               int ColumnCount, int RowCount);
// Rebuilds Png as RGBA with a constant alpha (0 on the key colour when used).
void ForceAlphaChannel(Vcl::TPngImage& Png, bool UseTransparentColor, Vcl::TColor TransparentColor,
                       Vcl::Byte Alpha);

} // namespace TPngImageHelper

// Arithmetic shared by the PNG functions.
namespace PngMath {

// Round(Value / 256 * Multiplier), Value and Multiplier at most 256.
Vcl::Byte ScaleBy256(int Value, int Multiplier);
// Round(0.3 R + 0.59 G + 0.11 B), exactly.
Vcl::Byte GrayLevel(Vcl::Byte Red, Vcl::Byte Green, Vcl::Byte Blue);
// Moves one colour toward its grey by Intensity (255: all the way); the sum
// of the two rounded parts is held at 255.
void Grayscale(Vcl::Byte& Red, Vcl::Byte& Green, Vcl::Byte& Blue, Vcl::Byte Intensity);
// The same for a whole image: its pixels, or the palette of a palette image;
// grey images stay as they are.
void GrayscaleImage(Vcl::TPngImage& Png, Vcl::Byte Intensity);

} // namespace PngMath

} // namespace Quorex

// Drawing PNG images in a normal or disabled look, and converting bitmaps,
// masks and icons into PNG images.
#pragma once

#include <System.Generics.hpp>
#include <System.TypInfo.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

namespace Vcl {
class TCustomImageList;
}

namespace Quorex {

enum class TPngOption { pngBlendOnDisabled, pngGrayscaleOnDisabled };
using enum TPngOption;
using TPngOptions = Vcl::TSet<TPngOption>;
QX_ENUM_NAMES(TPngOption, pngBlendOnDisabled, pngGrayscaleOnDisabled)

// The image class that form resources written long ago name: a PNG image
// under another name, registered with the picture class.
class TPNGObject : public Vcl::TPngImage {
  QX_CLASS(TPNGObject, Vcl::TPngImage)
};

// The normal look with empty options; otherwise a copy made half transparent
// and/or grey is drawn. Png itself never changes.
void DrawPNG(Vcl::TPngImage* Png, Vcl::TCanvas* Canvas, const Vcl::TRect& Rect, TPngOptions Options);
// Alpha scaled by (Amount + 1) / 256 (an alpha plane is added as needed).
void MakeImageBlended(Vcl::TPngImage* Png, Vcl::Byte Amount = 127);
// Colours (or the palette) moved toward grey by Amount; 255 is pure grey.
void MakeImageGrayscale(Vcl::TPngImage* Png, Vcl::Byte Amount = 255);
// A new PNG (the caller owns it) from a PNG, bitmap or icon.
void ConvertToPNG(Vcl::TGraphic* Source, Vcl::TPngImage*& Dest);
// A new PNG from a colour bitmap whose alpha is the mask's red channel
// (inverted with Inverse). Without a mask the image is opaque; a mask of
// another size raises EInvalidOperation.
void CreatePNG(Vcl::TBitmap* Color, Vcl::TBitmap* Mask, Vcl::TPngImage*& Dest, bool Inverse = false);
// A new PNG, transparent exactly where the bitmap has the key colour.
void CreatePNGMasked(Vcl::TBitmap* Bitmap, Vcl::TColor TransparentColor, Vcl::TPngImage*& Dest);
// Png becomes a copy of image Index of the list: a PNG list's item image
// (nothing when there is none), or another list's image with its mask as
// alpha (0 or 255; the image's own alpha is not kept).
void CopyImageFromImageList(Vcl::TPngImage* Png, Vcl::TCustomImageList* ImageList, int Index);
// Cuts Png into Columns x Rows slices, row by row; the list does not own
// them. A count below 1 raises EInvalidOperation.
void SlicePNG(Vcl::TPngImage* Png, int Columns, int Rows, Vcl::TObjectList<Vcl::TPngImage>*& SliceList);

} // namespace Quorex

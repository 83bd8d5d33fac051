// The four state images (disabled, normal, hot, pressed) of a small image
// button, made from one picture: greyed and faded, plain, on the hot
// background, and on the pressed background moved toward the lower right.
#pragma once

#include <Quorex.Imaging.IconEx.hpp>
#include <Quorex.Vcl.PngImageList.hpp>

namespace Quorex {

class TButtonImageBuilder {
public:
  TButtonImageBuilder() = delete;

  // Two thirds of the shorter side, at least 16.
  static Vcl::Integer GetAutoImageSize(Vcl::Integer W, Vcl::Integer H);
  // Nothing when both colours are clNone; otherwise Png becomes an opaque
  // image of its size, Top filling its upper half and Bottom its lower half
  // (each unless clNone).
  static void DrawBackground(Vcl::TPngImage* Png, Vcl::TColor Top, Vcl::TColor Bottom);
  // Src (greyed and half faded with Grey) centred on Dest; Shift moves it a
  // quarter of the free space toward the lower right, never up or left.
  static void DrawBasicImage(Vcl::TPngImage* Dest, const Vcl::TPngImage* Src, bool Grey, bool Shift);

  // List becomes W x H with exactly the four images (indexes 0 to 3) of Png
  // resized to ImageWidth x ImageHeight. The images are made before the list
  // is touched: when they cannot be (a source smaller than 2 x 2 or not RGB
  // that needs resizing, a size below 1) the exception passes and the list
  // keeps its images and size.
  static void Build(TPngImageList* List, const Vcl::TPngImage* Png, Vcl::Integer W, Vcl::Integer H,
                    Vcl::Integer ImageWidth, Vcl::Integer ImageHeight);
  // The images at GetAutoImageSize(W, H).
  static void Build(TPngImageList* List, const Vcl::TPngImage* Png, Vcl::Integer W, Vcl::Integer H);
  // The icon's image for ImageWidth x ImageHeight (TIconEx::ExtractIcon with
  // Resize), at that image's own size.
  static void Build(TPngImageList* List, const TIconEx* Icon, Vcl::Integer W, Vcl::Integer H,
                    Vcl::Integer ImageWidth, Vcl::Integer ImageHeight, bool Resize);
  static void Build(TPngImageList* List, const TIconEx* Icon, Vcl::Integer W, Vcl::Integer H, bool Resize);
};

} // namespace Quorex

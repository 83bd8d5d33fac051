// The Cairo side shared by the units of the object layer: status checks,
// owning pointers, the font and bitmap objects the graphics draw with, and
// the text layout of a string on a context.
#pragma once

#include "GdiPlus.Internal.hpp"

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace GdiPlus::Internal {

// Raises the GDI+ status that matches a Cairo failure.
void CairoCheck(cairo_status_t Status);

struct TSurfaceDeleter {
  void operator()(cairo_surface_t* Surface) const { cairo_surface_destroy(Surface); }
};
using TSurfacePtr = std::unique_ptr<cairo_surface_t, TSurfaceDeleter>;

struct TContextDeleter {
  void operator()(cairo_t* Context) const { cairo_destroy(Context); }
};
using TContextPtr = std::unique_ptr<cairo_t, TContextDeleter>;

struct TFaceDeleter {
  void operator()(cairo_font_face_t* Face) const { cairo_font_face_destroy(Face); }
};
using TFacePtr = std::unique_ptr<cairo_font_face_t, TFaceDeleter>;

// ---- fonts and text -----------------------------------------------------------------

class TCairoFont final : public IGPFont {
public:
  TCairoFont(const String& AFamily, float ASize, TGPFontStyle AStyle, TGPUnit AUnit);
  String FamilyName() const override { return FFamily; }
  float Size() const override { return FSize; }
  TGPFontStyle Style() const override { return FStyle; }
  TGPUnit Unit() const override { return FUnit; }
  cairo_font_face_t* Face() const { return FFace.get(); }
  float GetHeight(float Dpi) const override;
  double PixelSize(double Dpi) const;

private:
  String FFamily;
  float FSize;
  TGPFontStyle FStyle;
  TGPUnit FUnit;
  TFacePtr FFace;
};

const TCairoFont& CairoFont(const std::shared_ptr<IGPFont>& Font); // InvalidParameter for a foreign font

class TCairoStringFormat final : public IGPStringFormat {
public:
  explicit TCairoStringFormat(int AFlags) : FFlags(AFlags) {}
  TGPStringAlignment Alignment() const override { return FAlignment; }
  void SetAlignment(TGPStringAlignment Value) override { FAlignment = Value; }
  TGPStringAlignment LineAlignment() const override { return FLineAlignment; }
  void SetLineAlignment(TGPStringAlignment Value) override { FLineAlignment = Value; }
  int FormatFlags() const override { return FFlags; }
  void SetFormatFlags(int Value) override { FFlags = Value; }

private:
  TGPStringAlignment FAlignment = StringAlignmentNear;
  TGPStringAlignment FLineAlignment = StringAlignmentNear;
  int FFlags;
};

// One laid-out line of a string.
struct TTextLine {
  String Text;
  double X = 0;
  double Baseline = 0;
  double Width = 0;
};

// Where each line goes in the rectangle, with the context's font.
std::vector<TTextLine> LayoutText(cairo_t* Cr, const String& Text, const TGPRectF& Rect,
                                  const IGPStringFormat& Format);
// Underline and strike-out of a line as the context's face describes them.
void DrawDecorations(cairo_t* Cr, TGPFontStyle Style, double X, double Baseline, double Width);

// ---- bitmaps ------------------------------------------------------------------------

std::uint32_t PremultiplyArgb(std::uint32_t Argb);
std::uint32_t UnpremultiplyArgb(std::uint32_t Argb);
// A new ARGB32 surface; InvalidParameter for an empty or oversized one.
TSurfacePtr NewSurface(int Width, int Height);
std::uint32_t* Row(cairo_surface_t* Surface, int Y);
// The surface of a bitmap of this layer; InvalidParameter for any other image.
cairo_surface_t* ImageSurface(const std::shared_ptr<IGPImage>& Image);

} // namespace GdiPlus::Internal

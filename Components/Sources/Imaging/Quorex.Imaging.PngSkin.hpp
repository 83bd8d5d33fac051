// A PNG image drawn as a resizable frame: cut once by four margins into up to
// nine pieces, corners kept at their size, edges stretched along the border
// and the middle stretched both ways. The helper operations of
// Quorex.Imaging.PngHelper apply to a skin as to any PNG; they do not re-cut
// the pieces, so PrepareSkin must run again after changing the image.
#pragma once

#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <array>
#include <memory>

namespace Quorex {

class TPngImageSkin : public Vcl::TPngImage {
  QX_CLASS(TPngImageSkin, Vcl::TPngImage)
public:
  // Within a row the slots are first edge, opposite edge, middle.
  using TPieceRow = std::array<std::unique_ptr<Vcl::TPngImage>, 3>;
  using TPieces = std::array<TPieceRow, 3>;

  // Margins are widths: Left, Top, Right, Bottom. Both left and right above 0
  // (and top and bottom too) cut nine pieces; only left and right, a row of
  // three across; only top and bottom, a row of three down; otherwise none.
  // Margins that together reach past the image, or an image that is not 8-bit
  // RGBA, raise before anything changes: the previous skin stays whole. Margins
  // that meet exactly leave the middle piece null.
  void PrepareSkin(const Vcl::TRect& Margins);
  // Without pieces the whole image is stretched into Rect.
  void DrawSkin(Vcl::TCanvas* Canvas, const Vcl::TRect& Rect);
  void DestroyImages();

  const Vcl::TRect& SkinMargins() const { return FMargins; }
  // Null when the slot holds no piece.
  const Vcl::TPngImage* Piece(int Row, int Column) const { return FImages.at(Row).at(Column).get(); }

protected:
  enum class TSkinMode { None, ByWidth, ByHeight, ByAll };
  static TSkinMode ModeOf(const Vcl::TRect& Margins);

  void PrepareByWidth(const Vcl::TPngImage& Source, const Vcl::TRect& Margins, TPieceRow& Row) const;
  void PrepareByHeight(const Vcl::TPngImage& Source, const Vcl::TRect& Margins, TPieceRow& Row) const;
  void PrepareByAll(const Vcl::TRect& Margins, TPieces& Pieces) const;
  void DrawByWidth(Vcl::TCanvas* Canvas, const Vcl::TRect& Rect, const TPieceRow& Row) const;
  void DrawByHeight(Vcl::TCanvas* Canvas, const Vcl::TRect& Rect, const TPieceRow& Row) const;
  void DrawByAll(Vcl::TCanvas* Canvas, const Vcl::TRect& Rect) const;

private:
  Vcl::TRect FMargins;
  TPieces FImages;
};

} // namespace Quorex

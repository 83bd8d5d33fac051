#include "Quorex.Imaging.PngSkin.hpp"

#include <Quorex.Imaging.PngHelper.hpp>
#include <System.SysUtils.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

// Null for an empty region: margins that meet leave no middle to cut.
std::unique_ptr<TPngImage> Cut(const TPngImage& Source, const TRect& Rect)
{
  if (Rect.IsEmpty())
    return nullptr;
  return TPngImageHelper::Create(&Source, Rect);
}

void DrawPiece(TCanvas* Canvas, const TRect& Rect, const std::unique_ptr<TPngImage>& Piece)
{
  if (Piece)
    Canvas->StretchDraw(Rect, Piece.get());
}

void CheckFits(int First, int Second, int Size, const char* Axis)
{
  if (First + Second > Size)
    throw EInvalidOperation(String("Skin margins exceed the image ") + Axis);
}

} // namespace

TPngImageSkin::TSkinMode TPngImageSkin::ModeOf(const TRect& Margins)
{
  const bool across = Margins.Left > 0 && Margins.Right > 0;
  const bool down = Margins.Top > 0 && Margins.Bottom > 0;
  if (across && down)
    return TSkinMode::ByAll;
  if (across)
    return TSkinMode::ByWidth;
  if (down)
    return TSkinMode::ByHeight;
  return TSkinMode::None;
}

void TPngImageSkin::PrepareSkin(const TRect& Margins)
{
  const TSkinMode mode = ModeOf(Margins);
  if (mode == TSkinMode::ByWidth || mode == TSkinMode::ByAll)
    CheckFits(Margins.Left, Margins.Right, Width(), "width");
  if (mode == TSkinMode::ByHeight || mode == TSkinMode::ByAll)
    CheckFits(Margins.Top, Margins.Bottom, Height(), "height");
  // Cut into a fresh set so that a failure leaves the skin as it was.
  TPieces pieces;
  switch (mode) {
  case TSkinMode::ByWidth:
    PrepareByWidth(*this, Margins, pieces[0]);
    break;
  case TSkinMode::ByHeight:
    PrepareByHeight(*this, Margins, pieces[0]);
    break;
  case TSkinMode::ByAll:
    PrepareByAll(Margins, pieces);
    break;
  case TSkinMode::None:
    break;
  }
  FImages = std::move(pieces);
  FMargins = Margins;
}

void TPngImageSkin::DrawSkin(TCanvas* Canvas, const TRect& Rect)
{
  if (!Canvas)
    return;
  switch (ModeOf(FMargins)) {
  case TSkinMode::ByWidth:
    DrawByWidth(Canvas, Rect, FImages[0]);
    break;
  case TSkinMode::ByHeight:
    DrawByHeight(Canvas, Rect, FImages[0]);
    break;
  case TSkinMode::ByAll:
    DrawByAll(Canvas, Rect);
    break;
  case TSkinMode::None:
    Canvas->StretchDraw(Rect, this);
    break;
  }
}

void TPngImageSkin::DestroyImages()
{
  for (TPieceRow& row : FImages)
    for (auto& piece : row)
      piece.reset();
}

void TPngImageSkin::PrepareByWidth(const TPngImage& Source, const TRect& Margins, TPieceRow& Row) const
{
  const int w = Source.Width(), h = Source.Height();
  Row[0] = Cut(Source, TRect(0, 0, Margins.Left, h));
  Row[1] = Cut(Source, TRect(w - Margins.Right, 0, w, h));
  Row[2] = Cut(Source, TRect(Margins.Left, 0, w - Margins.Right, h));
}

void TPngImageSkin::PrepareByHeight(const TPngImage& Source, const TRect& Margins, TPieceRow& Row) const
{
  const int w = Source.Width(), h = Source.Height();
  Row[0] = Cut(Source, TRect(0, 0, w, Margins.Top));
  Row[1] = Cut(Source, TRect(0, h - Margins.Bottom, w, h));
  Row[2] = Cut(Source, TRect(0, Margins.Top, w, h - Margins.Bottom));
}

void TPngImageSkin::PrepareByAll(const TRect& Margins, TPieces& Pieces) const
{
  const int w = Width(), h = Height();
  PrepareByWidth(*TPngImageHelper::Create(this, TRect(0, 0, w, Margins.Top)), Margins, Pieces[0]);
  PrepareByWidth(*TPngImageHelper::Create(this, TRect(0, h - Margins.Bottom, w, h)), Margins, Pieces[2]);
  const TRect middle(Margins.Left, Margins.Top, w - Margins.Right, h - Margins.Bottom);
  Pieces[1][0] = Cut(*this, TRect(0, middle.Top, middle.Left, middle.Bottom));
  Pieces[1][1] = Cut(*this, TRect(middle.Right, middle.Top, w, middle.Bottom));
  Pieces[1][2] = Cut(*this, middle);
}

void TPngImageSkin::DrawByWidth(TCanvas* Canvas, const TRect& Rect, const TPieceRow& Row) const
{
  DrawPiece(Canvas, TRect(Rect.Left, Rect.Top, Rect.Left + FMargins.Left, Rect.Bottom), Row[0]);
  DrawPiece(Canvas, TRect(Rect.Right - FMargins.Right, Rect.Top, Rect.Right, Rect.Bottom), Row[1]);
  DrawPiece(Canvas, TRect(Rect.Left + FMargins.Left, Rect.Top, Rect.Right - FMargins.Right, Rect.Bottom), Row[2]);
}

void TPngImageSkin::DrawByHeight(TCanvas* Canvas, const TRect& Rect, const TPieceRow& Row) const
{
  DrawPiece(Canvas, TRect(Rect.Left, Rect.Top, Rect.Right, Rect.Top + FMargins.Top), Row[0]);
  DrawPiece(Canvas, TRect(Rect.Left, Rect.Bottom - FMargins.Bottom, Rect.Right, Rect.Bottom), Row[1]);
  DrawPiece(Canvas, TRect(Rect.Left, Rect.Top + FMargins.Top, Rect.Right, Rect.Bottom - FMargins.Bottom), Row[2]);
}

void TPngImageSkin::DrawByAll(TCanvas* Canvas, const TRect& Rect) const
{
  const TRect middle(Rect.Left + FMargins.Left, Rect.Top + FMargins.Top, Rect.Right - FMargins.Right,
                     Rect.Bottom - FMargins.Bottom);
  DrawByWidth(Canvas, TRect(Rect.Left, Rect.Top, Rect.Right, middle.Top), FImages[0]);
  DrawByWidth(Canvas, TRect(Rect.Left, middle.Bottom, Rect.Right, Rect.Bottom), FImages[2]);
  DrawPiece(Canvas, TRect(Rect.Left, middle.Top, middle.Left, middle.Bottom), FImages[1][0]);
  DrawPiece(Canvas, TRect(middle.Right, middle.Top, Rect.Right, middle.Bottom), FImages[1][1]);
  DrawPiece(Canvas, middle, FImages[1][2]);
}

} // namespace Quorex

#include "GdiPlusHelpers.hpp"

namespace Quorex {

using namespace GdiPlus;

std::shared_ptr<IGPGraphics> ToGPGraphics(Vcl::TCanvas* Canvas)
{
  return TGPGraphics::Create(Canvas->Handle());
}

std::shared_ptr<IGPGraphics> ToGPGraphics(Vcl::TGraphicControl* Control)
{
  return ToGPGraphics(Control->Canvas());
}

std::shared_ptr<IGPGraphics> ToGPGraphics(Vcl::TCustomControl* Control)
{
  return ToGPGraphics(Control->Canvas());
}

std::shared_ptr<IGPBitmap> ToGPBitmap(Vcl::TBitmap* Bitmap)
{
  return TGPBitmap::FromBitmap(Bitmap, false);
}

void FromGPBitmap(Vcl::TBitmap* Bitmap, const std::shared_ptr<IGPBitmap>& GPBitmap)
{
  if (!GPBitmap)
    GdipCheck(InvalidParameter);
  Bitmap->SetHandle(GPBitmap->GetHBITMAP(TGPColor(0)));
  Bitmap->SetAlphaFormat(Vcl::afPremultiplied); // so that readers of its alpha take it as it is
}

} // namespace Quorex

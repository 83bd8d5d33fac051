#include "GdiPlusHelpers.hpp"

#include <System.SysUtils.hpp>

namespace Quorex {

using namespace GdiPlus;

namespace {

// A null canvas, control or bitmap is the caller's programming error.
constexpr const char* kUnitName = "GdiPlusHelpers";

} // namespace

std::shared_ptr<IGPGraphics> ToGPGraphics(Vcl::TCanvas* Canvas)
{
  QX_ASSERT(Canvas, kUnitName);
  return TGPGraphics::Create(Canvas->Handle());
}

std::shared_ptr<IGPGraphics> ToGPGraphics(Vcl::TGraphicControl* Control)
{
  QX_ASSERT(Control, kUnitName);
  return ToGPGraphics(Control->Canvas());
}

std::shared_ptr<IGPGraphics> ToGPGraphics(Vcl::TCustomControl* Control)
{
  QX_ASSERT(Control, kUnitName);
  return ToGPGraphics(Control->Canvas());
}

std::shared_ptr<IGPBitmap> ToGPBitmap(Vcl::TBitmap* Bitmap)
{
  QX_ASSERT(Bitmap, kUnitName);
  return TGPBitmap::FromBitmap(Bitmap, false);
}

void FromGPBitmap(Vcl::TBitmap* Bitmap, const std::shared_ptr<IGPBitmap>& GPBitmap)
{
  QX_ASSERT(Bitmap && GPBitmap, kUnitName);
  Bitmap->SetHandle(GPBitmap->GetHBITMAP(TGPColor(0)));
  Bitmap->SetAlphaFormat(Vcl::afPremultiplied); // so that readers of its alpha take it as it is
}

} // namespace Quorex

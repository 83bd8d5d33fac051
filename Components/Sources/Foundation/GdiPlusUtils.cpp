#include "GdiPlusUtils.hpp"

#include <System.SysUtils.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace Quorex {

using namespace GdiPlus;

TGPRectF ToGPRectF(const Vcl::TRect& Rect)
{
  // Edges far apart are more than 32 bits apart: the sizes are formed wider.
  return TGPRectF(float(Rect.Left), float(Rect.Top), float(Vcl::Int64(Rect.Right) - Rect.Left),
                  float(Vcl::Int64(Rect.Bottom) - Rect.Top));
}

TGPColor ToGPColor(Vcl::TColor Color)
{
  auto c = std::uint32_t(Color);
  return TGPColor::Create(255, std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16));
}

TGPFontStyle ToGPFontStyle(Vcl::TFontStyles Style)
{
  TGPFontStyle result;
  if (Style.Contains(Vcl::fsBold))
    result.Include(FontStyleBold);
  if (Style.Contains(Vcl::fsItalic))
    result.Include(FontStyleItalic);
  if (Style.Contains(Vcl::fsUnderline))
    result.Include(FontStyleUnderline);
  if (Style.Contains(Vcl::fsStrikeOut))
    result.Include(FontStyleStrikeout);
  return result;
}

std::shared_ptr<IGPFont> ToGPFont(const Vcl::TFont* Font)
{
  QX_ASSERT(Font, "GdiPlusUtils");
  return TGPFont::Create(Font->Name(), float(Font->Size()), ToGPFontStyle(Font->Style()), UnitPoint);
}

std::shared_ptr<IGPBitmap> ToGPImage(Vcl::TCustomImageList* ImageList, int Index)
{
  QX_ASSERT(ImageList, "GdiPlusUtils");
  if (Index < 0 || Index >= ImageList->Count())
    GdipCheck(InvalidParameter);
  Vcl::TBitmap bitmap;
  ImageList->GetBitmap(Index, &bitmap);
  return TGPBitmap::FromBitmap(&bitmap, false);
}

namespace {

// A corner outside 0 .. the smaller side would make arcs that cross each
// other or have a negative size: keep it inside.
float ClampedCorner(const TGPRectF& Rect, float Corner)
{
  if (!(Corner > 0)) // negative, zero or NaN
    return 0;
  return std::min({Corner, std::max(Rect.Width, 0.0f), std::max(Rect.Height, 0.0f)});
}

} // namespace

std::shared_ptr<IGPGraphicsPath> RoundRectPath(const TGPRectF& Rect, float Corner)
{
  float r = ClampedCorner(Rect, Corner);
  float x = Rect.X, y = Rect.Y, w = Rect.Width, h = Rect.Height;
  auto path = TGPGraphicsPath::Create(FillModeAlternate);
  path->AddArc(TGPRectF(x, y, r, r), 180, 90);
  path->AddArc(TGPRectF(x + w - r, y, r, r), 270, 90);
  path->AddArc(TGPRectF(x + w - r, y + h - r, r, r), 0, 90);
  path->AddArc(TGPRectF(x, y + h - r, r, r), 90, 90);
  path->AddLine(x, y + h - r, x, y + r / 2);
  return path;
}

std::shared_ptr<IGPGraphicsPath> RoundHalfTopRectPath(const TGPRectF& Rect, float Corner)
{
  float r = ClampedCorner(Rect, Corner);
  float x = Rect.X, y = Rect.Y, w = Rect.Width, h = Rect.Height;
  auto path = TGPGraphicsPath::Create();
  path->AddArc(TGPRectF(x, y, r, r), 180, 90);
  path->AddArc(TGPRectF(x + w - r, y, r, r), 270, 90);
  path->AddLine(x + w, y + r, x + w, y + h / 2);
  path->AddLine(x + w, y + h / 2, x, y + h / 2);
  return path;
}

std::shared_ptr<IGPGraphicsPath> RoundHalfBottomRectPath(const TGPRectF& Rect, float Corner)
{
  float r = ClampedCorner(Rect, Corner);
  float x = Rect.X, y = Rect.Y, w = Rect.Width, h = Rect.Height;
  auto path = TGPGraphicsPath::Create();
  path->AddLine(x, y + h / 2, x + w, y + h / 2);
  path->AddArc(TGPRectF(x + w - r, y + h - r, r, r), 0, 90);
  path->AddArc(TGPRectF(x, y + h - r, r, r), 90, 90);
  return path;
}

namespace {

// Now as a framework date-time: days since 1899-12-30, local time.
double LocalNow()
{
  std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  double seconds = double(now) + double(local.tm_gmtoff);
  return seconds / 86400.0 + 25569.0;
}

Win::FILETIME ToFileTime(double DateTime)
{
  auto ticks = std::uint64_t(std::llround((DateTime + 109205.0) * 864000000000.0));
  return {Win::DWORD(ticks & 0xFFFFFFFFu), Win::DWORD(ticks >> 32)};
}

} // namespace

Win::HRESULT TMyStreamAdapter::Stat(Win::STATSTG* statstg, Win::DWORD grfStatFlag)
{
  (void)grfStatFlag; // no name is given out, whatever is asked
  try {
    if (!statstg)
      return Win::S_OK;
    *statstg = Win::STATSTG();
    statstg->type = Win::STGTY_STREAM;
    statstg->cbSize = Win::ULARGE_INTEGER(Stream()->Size());
    Win::FILETIME now = ToFileTime(LocalNow());
    statstg->mtime = statstg->ctime = statstg->atime = now;
    statstg->grfLocksSupported = Win::LOCK_WRITE;
    return Win::S_OK;
  } catch (...) {
    return Win::E_UNEXPECTED;
  }
}

} // namespace Quorex

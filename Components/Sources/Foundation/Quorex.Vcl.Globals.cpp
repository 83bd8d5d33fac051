#include "Quorex.Vcl.Globals.hpp"

#include <System.SysUtils.hpp>
#include <Vcl.Controls.hpp>
#include <Vcl.Graphics.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <vector>

namespace Quorex {

namespace {

// Room for the header and what follows it: the colour table, or three masks.
std::size_t InfoBytes(const Win::BITMAPINFOHEADER& Header)
{
  std::size_t entries = Header.biClrUsed;
  if (entries == 0 && Header.biBitCount <= 8)
    entries = std::size_t(1) << Header.biBitCount;
  if (Header.biCompression == Win::BI_BITFIELDS)
    entries = 3;
  return sizeof(Win::BITMAPINFOHEADER) + entries * sizeof(Win::RGBQUAD);
}

} // namespace

void DrawBitmap(Win::HDC DC, Vcl::TBitmap* Bitmap, int X, int Y)
{
  QX_ASSERT(Bitmap, "Quorex.Vcl.Globals");
  const Win::HBITMAP handle = Bitmap->Handle();
  const auto lines = Win::UINT(Bitmap->Height());
  Win::BITMAPINFO probe{};
  Win::GetDIBits(DC, handle, 0, lines, nullptr, &probe, Win::DIB_RGB_COLORS);
  const std::size_t height = std::size_t(std::abs(probe.bmiHeader.biHeight));
  std::vector<std::uint8_t> pixels(Win::DibStride(probe.bmiHeader.biWidth, probe.bmiHeader.biBitCount) * height);
  std::vector<std::uint8_t> info(std::max(InfoBytes(probe.bmiHeader), sizeof(Win::BITMAPINFO)));
  auto* bitmapInfo = reinterpret_cast<Win::BITMAPINFO*>(info.data());
  bitmapInfo->bmiHeader = probe.bmiHeader;
  Win::GetDIBits(DC, handle, 0, lines, pixels.data(), bitmapInfo, Win::DIB_RGB_COLORS);
  Win::StretchDIBits(DC, X, Y, Bitmap->Width(), Bitmap->Height(), 0, 0, Bitmap->Width(), Bitmap->Height(),
                     pixels.data(), bitmapInfo, Win::DIB_RGB_COLORS, Win::SRCCOPY);
}

Win::LRESULT qxPerformEraseBackground(Vcl::TControl* Control, Win::HDC DC)
{
  QX_ASSERT(Control && Control->Parent(), "Quorex.Vcl.Globals");
  Win::POINT origin{};
  Win::GetWindowOrgEx(DC, &origin);
  Win::SetWindowOrgEx(DC, origin.X + Control->Left(), origin.Y + Control->Top(), nullptr);
  struct TRestoreOrigin {
    Win::HDC DC;
    Win::POINT Origin;
    ~TRestoreOrigin() { Win::SetWindowOrgEx(DC, Origin.X, Origin.Y, nullptr); }
  } restore{DC, origin};
  const auto dc = reinterpret_cast<Win::WPARAM>(DC);
  return Control->Parent()->Perform(Win::WM_ERASEBKGND, dc, Win::LPARAM(dc));
}

} // namespace Quorex

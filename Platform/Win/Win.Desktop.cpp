#include "Win.Shell.NotifyIcon.Internal.hpp"
#include "Win.SizeMove.hpp"
#include "Win.User.Internal.hpp"

#include <System.SysUtils.hpp>

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace Win {

namespace {

std::uint32_t ToPixel(COLORREF c)
{
  return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

void Blit(TImage& dest, const TBitmapObject& src, const RECT& srcRect, POINT at)
{
  for (int y = srcRect.Top; y < srcRect.Bottom; ++y) {
    int dy = at.Y + y - srcRect.Top;
    if (y < 0 || y >= src.Height || dy < 0 || dy >= dest.Height)
      continue;
    for (int x = srcRect.Left; x < srcRect.Right; ++x) {
      int dx = at.X + x - srcRect.Left;
      if (x < 0 || x >= src.Width || dx < 0 || dx >= dest.Width)
        continue;
      dest.Pixels[size_t(dy) * size_t(dest.Width) + size_t(dx)] =
        src.Pixels[size_t(y) * size_t(src.Width) + size_t(x)] | 0xFF000000u;
    }
  }
}

} // namespace

COLORREF TImage::Pixel(int x, int y) const
{
  if (x < 0 || y < 0 || x >= Width || y >= Height)
    return CLR_INVALID;
  std::uint32_t p = Pixels[size_t(y) * size_t(Width) + size_t(x)];
  return RGB(BYTE((p >> 16) & 0xFF), BYTE((p >> 8) & 0xFF), BYTE(p & 0xFF));
}

TImage ComposeDesktop()
{
  TImage image;
  image.Width = std::max(ScreenSettings().Width, 0);
  image.Height = std::max(ScreenSettings().Height, 0);
  image.Pixels.assign(size_t(image.Width) * size_t(image.Height), ToPixel(GetSysColor(COLOR_BACKGROUND)));
  for (HWND w : TopLevels())
    if ((w->Style & WS_VISIBLE) && w->Surface)
      Blit(image, *w->Surface, RECT(0, 0, w->Surface->Width, w->Surface->Height), w->Rect.TopLeft());
  ComposeNotifyArea(image);
  return image;
}

TImage CaptureWindow(HWND hWnd)
{
  TImage image;
  if (!IsLive(hWnd))
    return image;
  image.Width = hWnd->Rect.Width();
  image.Height = hWnd->Rect.Height();
  image.Pixels.assign(size_t(image.Width) * size_t(image.Height), 0xFF000000u);
  POINT o = SurfaceOrigin(hWnd);
  o.Offset(-hWnd->Frame.Left, -hWnd->Frame.Top);
  Blit(image, *RootOf(hWnd)->Surface, Bounds(o.X, o.Y, image.Width, image.Height), POINT());
  return image;
}

void SaveImagePng(const TImage& image, const std::string& fileName)
{
  if (image.Width <= 0 || image.Height <= 0)
    throw Vcl::Exception("Cannot save an empty image to " + fileName);
  int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, image.Width);
  std::vector<unsigned char> data(size_t(stride) * size_t(image.Height));
  for (int y = 0; y < image.Height; ++y)
    std::memcpy(data.data() + size_t(y) * size_t(stride), image.Pixels.data() + size_t(y) * size_t(image.Width),
                size_t(image.Width) * 4);
  cairo_surface_t* surface =
    cairo_image_surface_create_for_data(data.data(), CAIRO_FORMAT_ARGB32, image.Width, image.Height, stride);
  cairo_status_t status = cairo_surface_write_to_png(surface, fileName.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    throw Vcl::Exception("Cannot write " + fileName + ": " + cairo_status_to_string(status));
}

void SaveDesktopScreenshot(const std::string& fileName)
{
  SaveImagePng(ComposeDesktop(), fileName);
}

void SaveWindowScreenshot(HWND hWnd, const std::string& fileName)
{
  SaveImagePng(CaptureWindow(hWnd), fileName);
}

std::vector<HWND> TopLevelWindows()
{
  return std::vector<HWND>(TopLevels().rbegin(), TopLevels().rend());
}

void ResetWindowSystem()
{
  ResetWindows();
  ResetQueue();
  ResetTimers();
  ResetHooks();
  ResetScrollBars();
  ResetInput();
  ResetSizeMove();
  ResetNotifyArea();
  SetCursor(nullptr);
}

} // namespace Win

// Icons read from module resources: an icon file, its image chosen by size
// and, when none has the wanted size, scaled with Cairo.
#include "Win.Icon.hpp"
#include "Win.User.hpp"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Win {

namespace {

constexpr std::size_t kHeaderSize = 6, kEntrySize = 16, kInfoSize = 40;
constexpr int kMaxSize = 1024;

std::uint32_t Get(const std::uint8_t* p, int bytes)
{
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = (v << 8) | p[i];
  return v;
}

struct TFrame {
  int Width;
  int Height;
  const std::uint8_t* Data;
  std::size_t Size;
};

// The file's images; none when the directory does not fit the data.
std::vector<TFrame> ReadFrames(const std::uint8_t* file, std::size_t size)
{
  if (size < kHeaderSize || Get(file + 2, 2) != 1)
    return {};
  const std::size_t count = Get(file + 4, 2);
  if (size < kHeaderSize + count * kEntrySize)
    return {};
  std::vector<TFrame> frames;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = file + kHeaderSize + i * kEntrySize;
    const std::uint64_t bytes = Get(e + 8, 4), offset = Get(e + 12, 4);
    if (offset + bytes > size)
      return {};
    frames.push_back({e[0] ? e[0] : 256, e[1] ? e[1] : 256, file + offset, std::size_t(bytes)});
  }
  return frames;
}

// The wanted size, else the smallest bigger image, else the biggest.
const TFrame* ChooseFrame(const std::vector<TFrame>& frames, int cx, int cy)
{
  auto area = [](const TFrame& f) { return f.Width * f.Height; };
  const TFrame* bigger = nullptr;
  const TFrame* biggest = nullptr;
  for (const TFrame& f : frames) {
    if (f.Width == cx && f.Height == cy)
      return &f;
    if (f.Width >= cx && f.Height >= cy && (!bigger || area(f) < area(*bigger)))
      bigger = &f;
    if (!biggest || area(f) > area(*biggest))
      biggest = &f;
  }
  return bigger ? bigger : biggest;
}

// A 32-bit image's pixels, top row first, straight alpha; empty for any
// other kind of image.
std::vector<std::uint32_t> DecodeFrame(const TFrame& f)
{
  if (f.Size < kInfoSize)
    return {};
  const std::uint8_t* d = f.Data;
  const std::size_t headerSize = Get(d, 4);
  const std::int32_t width = std::int32_t(Get(d + 4, 4)), height = std::int32_t(Get(d + 8, 4));
  if (headerSize < kInfoSize || width != f.Width || height != 2 * f.Height || Get(d + 14, 2) != 32 ||
      Get(d + 16, 4) != 0 || headerSize + std::size_t(f.Width) * std::size_t(f.Height) * 4 > f.Size)
    return {};
  std::vector<std::uint32_t> pixels(std::size_t(f.Width) * std::size_t(f.Height));
  for (int y = 0; y < f.Height; ++y) {
    const std::uint8_t* row = d + headerSize + std::size_t(f.Height - 1 - y) * std::size_t(f.Width) * 4;
    for (int x = 0; x < f.Width; ++x)
      pixels[std::size_t(y) * std::size_t(f.Width) + std::size_t(x)] = Get(row + 4 * x, 4);
  }
  return pixels;
}

std::uint32_t MapColour(std::uint32_t p, std::uint32_t (*channel)(std::uint32_t c, std::uint32_t a))
{
  const std::uint32_t a = p >> 24;
  return (a << 24) | (channel((p >> 16) & 0xFF, a) << 16) | (channel((p >> 8) & 0xFF, a) << 8) |
         channel(p & 0xFF, a);
}

std::uint32_t Premultiply(std::uint32_t c, std::uint32_t a)
{
  return (c * a + 127) / 255;
}

std::uint32_t Unpremultiply(std::uint32_t c, std::uint32_t a)
{
  return a ? std::min<std::uint32_t>(255, (c * 255 + a / 2) / a) : 0;
}

// Cairo scales premultiplied pixels; the edges are padded so that they keep
// their colour instead of fading into nothing.
std::vector<std::uint32_t> Scale(std::vector<std::uint32_t> pixels, int w, int h, int cx, int cy)
{
  for (std::uint32_t& p : pixels)
    p = MapColour(p, Premultiply);
  cairo_surface_t* source = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                                CAIRO_FORMAT_ARGB32, w, h, w * 4);
  cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cx, cy);
  cairo_t* cr = cairo_create(target);
  cairo_scale(cr, double(cx) / w, double(cy) / h);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(target);
  std::vector<std::uint32_t> scaled;
  if (cairo_surface_status(target) == CAIRO_STATUS_SUCCESS) {
    const unsigned char* data = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    scaled.resize(std::size_t(cx) * std::size_t(cy));
    for (int y = 0; y < cy; ++y)
      std::memcpy(&scaled[std::size_t(y) * std::size_t(cx)], data + std::ptrdiff_t(y) * stride, std::size_t(cx) * 4);
    for (std::uint32_t& p : scaled)
      p = MapColour(p, Unpremultiply);
  }
  cairo_surface_destroy(target);
  cairo_surface_destroy(source);
  return scaled;
}

// An alpha icon; its mask is transparent where the alpha is 0.
HICON IconFromPixels(const std::vector<std::uint32_t>& pixels, int w, int h)
{
  ICONINFO info;
  info.hbmColor = CreateBitmap32(w, h);
  info.hbmMask = CreateBitmap32(w, h);
  HICON icon = nullptr;
  if (info.hbmColor && info.hbmMask) {
    std::memcpy(BitmapBits(info.hbmColor), pixels.data(), pixels.size() * 4);
    std::uint32_t* mask = BitmapBits(info.hbmMask);
    for (std::size_t i = 0; i < pixels.size(); ++i)
      mask[i] = (pixels[i] >> 24) ? 0xFF000000u : 0xFFFFFFFFu;
    icon = CreateIconIndirect(&info);
  }
  if (info.hbmColor)
    DeleteObject(info.hbmColor);
  if (info.hbmMask)
    DeleteObject(info.hbmMask);
  return icon;
}

} // namespace

HICON LoadImage(HINSTANCE Instance, LPCSTR Name, UINT Type, int cx, int cy, UINT fuLoad)
{
  const HRSRC resource = Type == IMAGE_ICON ? FindResource(Instance, Name, RT_GROUP_ICON) : nullptr;
  if (!resource)
    return nullptr;
  const auto* file = static_cast<const std::uint8_t*>(LockResource(LoadResource(Instance, resource)));
  const std::vector<TFrame> frames = ReadFrames(file, SizeofResource(Instance, resource));
  if (frames.empty())
    return nullptr;
  const bool defaultSize = fuLoad & LR_DEFAULTSIZE;
  cx = cx ? cx : defaultSize ? GetSystemMetrics(SM_CXICON) : frames.front().Width;
  cy = cy ? cy : defaultSize ? GetSystemMetrics(SM_CYICON) : frames.front().Height;
  if (cx < 1 || cy < 1 || cx > kMaxSize || cy > kMaxSize)
    return nullptr;
  const TFrame& frame = *ChooseFrame(frames, cx, cy);
  std::vector<std::uint32_t> pixels = DecodeFrame(frame);
  if (pixels.empty())
    return nullptr;
  if (frame.Width != cx || frame.Height != cy)
    pixels = Scale(std::move(pixels), frame.Width, frame.Height, cx, cy);
  return pixels.empty() ? nullptr : IconFromPixels(pixels, cx, cy);
}

HICON LoadIcon(HINSTANCE Instance, LPCSTR Name)
{
  return LoadImage(Instance, Name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
}

} // namespace Win

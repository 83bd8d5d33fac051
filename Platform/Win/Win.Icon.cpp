#include "Win.Icon.hpp"

#include "Win.Gdi.Guards.hpp"
#include "Win.Gdi.Internal.hpp"

#include <algorithm>
#include <cstring>

namespace Win {

struct TIconObject {
  HBITMAP Color = nullptr;
  HBITMAP Mask = nullptr;
  bool Alpha = false;
};

namespace {

std::size_t PixelCount(HBITMAP bitmap)
{
  return std::size_t(BitmapWidth(bitmap)) * std::size_t(BitmapHeight(bitmap));
}

HBITMAP CopyBitmap(HBITMAP source)
{
  HBITMAP copy = CreateBitmap32(BitmapWidth(source), BitmapHeight(source));
  if (copy)
    std::memcpy(BitmapBits(copy), BitmapBits(source), PixelCount(source) * 4);
  return copy;
}

bool HasPartialAlpha(HBITMAP color)
{
  const std::uint32_t* px = BitmapBits(color);
  const std::size_t n = PixelCount(color);
  const bool anySet = std::any_of(px, px + n, [](std::uint32_t p) { return (p >> 24) != 0; });
  const bool allOpaque = std::all_of(px, px + n, [](std::uint32_t p) { return (p >> 24) == 0xFF; });
  return anySet && !allOpaque;
}

// Blits one of the icon's bitmaps through a memory DC.
void Blit(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, DWORD rop)
{
  TMemoryDC source(dc, bitmap);
  StretchBlt(dc, x, y, cx, cy, source.DC(), 0, 0, BitmapWidth(bitmap), BitmapHeight(bitmap), rop);
}

void BlendAlpha(HDC dc, int x, int y, int cx, int cy, HBITMAP color)
{
  HBITMAP premultiplied = CopyBitmap(color);
  if (!premultiplied)
    return;
  std::uint32_t* px = BitmapBits(premultiplied);
  for (std::size_t i = 0, n = PixelCount(premultiplied); i < n; ++i) {
    const std::uint32_t a = px[i] >> 24;
    auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    px[i] = (a << 24) | (mul((px[i] >> 16) & 0xFF) << 16) | (mul((px[i] >> 8) & 0xFF) << 8) | mul(px[i] & 0xFF);
  }
  {
    TMemoryDC source(dc, premultiplied);
    BLENDFUNCTION blend;
    blend.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dc, x, y, cx, cy, source.DC(), 0, 0, BitmapWidth(color), BitmapHeight(color), blend);
  }
  DeleteObject(premultiplied);
}

} // namespace

HICON CreateIconIndirect(const ICONINFO* info)
{
  if (!info || !info->hbmColor || !info->hbmMask || BitmapWidth(info->hbmColor) != BitmapWidth(info->hbmMask) ||
      BitmapHeight(info->hbmColor) != BitmapHeight(info->hbmMask) || PixelCount(info->hbmColor) == 0)
    return nullptr;
  auto* icon = new TIconObject;
  icon->Color = CopyBitmap(info->hbmColor);
  icon->Mask = CopyBitmap(info->hbmMask);
  if (!icon->Color || !icon->Mask) {
    DestroyIcon(icon);
    return nullptr;
  }
  icon->Alpha = HasPartialAlpha(icon->Color);
  // Without alpha the colour is XORed onto the screen: its alpha bytes must
  // not disturb the destination's.
  if (!icon->Alpha) {
    std::uint32_t* px = BitmapBits(icon->Color);
    std::for_each(px, px + PixelCount(icon->Color), [](std::uint32_t& p) { p &= 0x00FFFFFF; });
  }
  return icon;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info)
{
  if (!icon || !info)
    return 0;
  info->fIcon = 1;
  info->xHotspot = DWORD(BitmapWidth(icon->Color) / 2);
  info->yHotspot = DWORD(BitmapHeight(icon->Color) / 2);
  info->hbmColor = CopyBitmap(icon->Color);
  info->hbmMask = CopyBitmap(icon->Mask);
  return info->hbmColor && info->hbmMask;
}

BOOL DestroyIcon(HICON icon)
{
  if (!icon)
    return 0;
  if (icon->Color)
    DeleteObject(icon->Color);
  if (icon->Mask)
    DeleteObject(icon->Mask);
  delete icon;
  return 1;
}

HICON CopyIcon(HICON icon)
{
  if (!icon)
    return nullptr;
  ICONINFO info;
  info.hbmColor = icon->Color;
  info.hbmMask = icon->Mask;
  return CreateIconIndirect(&info);
}

int IconWidth(HICON icon)
{
  return icon ? BitmapWidth(icon->Color) : 0;
}

int IconHeight(HICON icon)
{
  return icon ? BitmapHeight(icon->Color) : 0;
}

bool IconHasAlpha(HICON icon)
{
  return icon && icon->Alpha;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT stepIfAniCur, HBRUSH flickerFreeDraw,
                UINT flags)
{
  (void)stepIfAniCur;
  (void)flickerFreeDraw;
  if (!dc || !icon || !(flags & DI_NORMAL))
    return 0;
  cx = cx ? cx : IconWidth(icon);
  cy = cy ? cy : IconHeight(icon);
  if ((flags & DI_NORMAL) == DI_NORMAL && icon->Alpha) {
    BlendAlpha(dc, x, y, cx, cy, icon->Color);
    return 1;
  }
  if (flags & DI_MASK)
    Blit(dc, x, y, cx, cy, icon->Mask, SRCAND);
  if (flags & DI_IMAGE)
    Blit(dc, x, y, cx, cy, icon->Color, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
  return 1;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

} // namespace Win

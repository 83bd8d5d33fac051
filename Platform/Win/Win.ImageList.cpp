#include "Win.ImageList.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Win {

struct TImageListObject {
  int Width = 0;
  int Height = 0;
  UINT Flags = 0;
  std::vector<HICON> Images;
};

namespace {

bool Valid(HIMAGELIST himl, int i)
{
  return himl && i >= 0 && i < int(himl->Images.size());
}

// Cell `index` of a strip as a bitmap of the list's size (pixels beyond the
// strip stay 0); nullptr when out of memory.
HBITMAP Cell(HBITMAP strip, int index, int cx, int cy)
{
  HBITMAP cell = CreateBitmap32(cx, cy);
  if (!cell)
    return nullptr;
  const int sw = BitmapWidth(strip), sh = BitmapHeight(strip);
  const std::uint32_t* src = BitmapBits(strip);
  std::uint32_t* dst = BitmapBits(cell);
  for (int y = 0; y < std::min(cy, sh); ++y) {
    const int x0 = index * cx, n = std::max(0, std::min(cx, sw - x0));
    std::memcpy(dst + std::size_t(y) * cx, src + std::size_t(y) * sw + x0, std::size_t(n) * 4);
  }
  return cell;
}

HBITMAP OpaqueMask(int cx, int cy)
{
  HBITMAP mask = CreateBitmap32(cx, cy);
  if (mask)
    std::fill_n(BitmapBits(mask), std::size_t(cx) * std::size_t(cy), 0xFF000000u);
  return mask;
}

HICON IconOf(HBITMAP color, HBITMAP mask)
{
  ICONINFO info;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = (color && mask) ? CreateIconIndirect(&info) : nullptr;
  if (color)
    DeleteObject(color);
  if (mask)
    DeleteObject(mask);
  return icon;
}

bool IsLight(std::uint32_t pixel)
{
  return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) >= 3 * 128;
}

// Cell `index` of the strip with its mask as an icon; the colour is black
// where the mask hides it, so that drawing through the mask shows nothing.
HICON CellIcon(HIMAGELIST himl, HBITMAP image, HBITMAP mask, int index)
{
  const int cx = himl->Width, cy = himl->Height;
  HBITMAP color = Cell(image, index, cx, cy);
  HBITMAP cellMask = mask ? Cell(mask, index, cx, cy) : OpaqueMask(cx, cy);
  if (color && cellMask) {
    std::uint32_t* c = BitmapBits(color);
    std::uint32_t* m = BitmapBits(cellMask);
    for (std::size_t i = 0, n = std::size_t(cx) * std::size_t(cy); i < n; ++i) {
      m[i] = IsLight(m[i]) ? 0xFFFFFFFFu : 0xFF000000u;
      if (m[i] == 0xFFFFFFFFu)
        c[i] = 0;
    }
  }
  return IconOf(color, cellMask);
}

// The icon at the list's size.
HICON Fitted(HIMAGELIST himl, HICON icon)
{
  if (IconWidth(icon) == himl->Width && IconHeight(icon) == himl->Height)
    return CopyIcon(icon);
  ICONINFO source;
  if (!GetIconInfo(icon, &source))
    return nullptr;
  auto scale = [&](HBITMAP from) {
    HBITMAP to = CreateBitmap32(himl->Width, himl->Height);
    if (!to)
      return to;
    const int sw = BitmapWidth(from), sh = BitmapHeight(from);
    const std::uint32_t* src = BitmapBits(from);
    std::uint32_t* dst = BitmapBits(to);
    for (int y = 0; y < himl->Height; ++y)
      for (int x = 0; x < himl->Width; ++x)
        dst[std::size_t(y) * himl->Width + x] =
          src[std::size_t(y * sh / himl->Height) * sw + std::size_t(x * sw / himl->Width)];
    return to;
  };
  HICON fitted = IconOf(scale(source.hbmColor), scale(source.hbmMask));
  DeleteObject(source.hbmColor);
  DeleteObject(source.hbmMask);
  return fitted;
}

int Append(HIMAGELIST himl, HICON icon)
{
  if (!icon)
    return -1;
  himl->Images.push_back(icon);
  return int(himl->Images.size()) - 1;
}

} // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow)
{
  (void)grow;
  if (cx < 1 || cy < 1)
    return nullptr;
  auto* himl = new TImageListObject{cx, cy, flags, {}};
  himl->Images.reserve(std::size_t(std::max(initial, 0)));
  return himl;
}

BOOL ImageList_Destroy(HIMAGELIST himl)
{
  if (!himl)
    return 0;
  ImageList_Remove(himl, -1);
  delete himl;
  return 1;
}

int ImageList_GetImageCount(HIMAGELIST himl)
{
  return himl ? int(himl->Images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy)
{
  if (!himl || !cx || !cy)
    return 0;
  *cx = himl->Width;
  *cy = himl->Height;
  return 1;
}

BOOL ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy)
{
  if (!himl || cx < 1 || cy < 1)
    return 0;
  ImageList_Remove(himl, -1);
  himl->Width = cx;
  himl->Height = cy;
  return 1;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask)
{
  if (!himl || !image)
    return -1;
  const int count = BitmapWidth(image) / himl->Width;
  const int first = int(himl->Images.size());
  for (int i = 0; i < count; ++i)
    if (Append(himl, CellIcon(himl, image, mask, i)) < 0)
      return -1;
  return count > 0 ? first : -1;
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor)
{
  if (!himl || !image)
    return -1;
  const int w = BitmapWidth(image), h = BitmapHeight(image);
  HBITMAP color = CreateBitmap32(w, h);
  HBITMAP mask = CreateBitmap32(w, h);
  int result = -1;
  if (color && mask) {
    const std::uint32_t* src = BitmapBits(image);
    std::uint32_t* c = BitmapBits(color);
    std::uint32_t* m = BitmapBits(mask);
    // Surfaces hold 0xAARRGGBB; the key is 0x00BBGGRR.
    const std::uint32_t key = (GetRValue(maskColor) << 16) | (GetGValue(maskColor) << 8) | GetBValue(maskColor);
    for (std::size_t i = 0, n = std::size_t(w) * std::size_t(h); i < n; ++i) {
      const bool hidden = (src[i] & 0x00FFFFFF) == key;
      c[i] = hidden ? 0 : (src[i] | 0xFF000000u);
      m[i] = hidden ? 0xFFFFFFFFu : 0xFF000000u;
    }
    result = ImageList_Add(himl, color, mask);
  }
  if (color)
    DeleteObject(color);
  if (mask)
    DeleteObject(mask);
  return result;
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON icon)
{
  if (!himl || !icon || (i != -1 && !Valid(himl, i)))
    return -1;
  HICON fitted = Fitted(himl, icon);
  if (!fitted)
    return -1;
  if (i == -1)
    return Append(himl, fitted);
  DestroyIcon(himl->Images[std::size_t(i)]);
  himl->Images[std::size_t(i)] = fitted;
  return i;
}

BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP image, HBITMAP mask)
{
  if (!Valid(himl, i) || !image)
    return 0;
  HICON icon = CellIcon(himl, image, mask, 0);
  if (!icon)
    return 0;
  DestroyIcon(himl->Images[std::size_t(i)]);
  himl->Images[std::size_t(i)] = icon;
  return 1;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i)
{
  if (!himl)
    return 0;
  if (i == -1) {
    for (HICON icon : himl->Images)
      DestroyIcon(icon);
    himl->Images.clear();
    return 1;
  }
  if (!Valid(himl, i))
    return 0;
  DestroyIcon(himl->Images[std::size_t(i)]);
  himl->Images.erase(himl->Images.begin() + i);
  return 1;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC dc, int x, int y, UINT style)
{
  if (!Valid(himl, i))
    return 0;
  UINT flags = DI_NORMAL;
  if (style & ILD_MASK)
    flags = DI_MASK;
  else if (style & ILD_IMAGE)
    flags = DI_IMAGE;
  return DrawIconEx(dc, x, y, himl->Images[std::size_t(i)], 0, 0, 0, nullptr, flags);
}

HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags)
{
  (void)flags;
  return Valid(himl, i) ? CopyIcon(himl->Images[std::size_t(i)]) : nullptr;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST himl)
{
  if (!himl)
    return nullptr;
  auto* copy = new TImageListObject{himl->Width, himl->Height, himl->Flags, {}};
  for (HICON icon : himl->Images)
    copy->Images.push_back(CopyIcon(icon));
  return copy;
}

} // namespace Win

// Native image lists: images of one size, each a colour bitmap with a mask or
// with 32-bit alpha (kept as icons), drawn and handed out the comctl32 way.
#pragma once

#include "Win.Icon.hpp"

namespace Win {

struct TImageListObject;
using HIMAGELIST = TImageListObject*;

constexpr UINT ILC_MASK = 0x0001, ILC_COLOR = 0x0000, ILC_COLORDDB = 0x00FE, ILC_COLOR4 = 0x0004,
               ILC_COLOR8 = 0x0008, ILC_COLOR16 = 0x0010, ILC_COLOR24 = 0x0018, ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000, ILD_TRANSPARENT = 0x0001, ILD_MASK = 0x0010, ILD_IMAGE = 0x0020;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;

// nullptr for sizes below 1.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
// Removes every image.
BOOL ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy);
// A strip of images of the list's width (the bitmap's width div cx images);
// mask bits that are white are transparent; no mask: opaque. The index of the
// first image added, or -1.
int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask);
// Pixels of the mask colour become transparent (and black in the colour).
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF mask);
// i = -1 appends; the icon is scaled to the list's size. The index, or -1.
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON icon);
#define ImageList_AddIcon(himl, icon) ImageList_ReplaceIcon(himl, -1, icon)
BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP image, HBITMAP mask);
// i = -1 removes all.
BOOL ImageList_Remove(HIMAGELIST himl, int i);
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC dc, int x, int y, UINT style);
// A new icon the caller destroys; nullptr for an index outside the list.
HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags);
HIMAGELIST ImageList_Duplicate(HIMAGELIST himl);

} // namespace Win

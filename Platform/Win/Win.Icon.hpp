// Icons: a colour bitmap with an AND mask (black = opaque, white =
// transparent) or with per-pixel alpha in the colour bitmap (straight, not
// premultiplied), drawn the Win32 way.
#pragma once

#include "Win.Gdi.hpp"

#include <Winapi.Modules.hpp>

namespace Win {

struct TIconObject;
using HICON = TIconObject*;

struct ICONINFO {
  BOOL fIcon = 1;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;  // required; same size as the colour bitmap
  HBITMAP hbmColor = nullptr; // required
};

// Copies both bitmaps; nullptr when they are missing or differ in size. The
// icon has alpha when some alpha byte of the colour bitmap is neither 0 nor
// all of them 255.
HICON CreateIconIndirect(const ICONINFO* info);
// Fresh copies of the icon's bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);
HICON CopyIcon(HICON icon);
int IconWidth(HICON icon);
int IconHeight(HICON icon);
bool IconHasAlpha(HICON icon);

constexpr UINT DI_MASK = 0x1, DI_IMAGE = 0x2, DI_NORMAL = 0x3;
// cx, cy 0: the icon's own size. DI_NORMAL blends alpha icons and applies the
// AND mask, then XORs the colour, for the others; DI_MASK alone ANDs the mask;
// DI_IMAGE alone copies the colour.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT stepIfAniCur, HBRUSH flickerFreeDraw,
                UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTCOLOR = 0x0, LR_DEFAULTSIZE = 0x40;
// An icon from the module's RT_GROUP_ICON resource (IMAGE_ICON only): the
// image of the wanted size, else the nearest bigger one, else the biggest,
// scaled to cx x cy when it differs. A size of 0 is the system's icon size
// with LR_DEFAULTSIZE, otherwise the first image's. Only 32-bit images with
// alpha are read. nullptr when the module, the resource or a usable image is
// missing, or for a size outside 1 .. 1024. The caller destroys the icon.
HICON LoadImage(HINSTANCE Instance, LPCSTR Name, UINT Type, int cx, int cy, UINT fuLoad);
// LoadImage at the system's icon size.
HICON LoadIcon(HINSTANCE Instance, LPCSTR Name);

} // namespace Win

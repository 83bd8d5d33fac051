// Icons: a colour bitmap with an AND mask (black = opaque, white =
// transparent) or with per-pixel alpha in the colour bitmap (straight, not
// premultiplied), drawn the Win32 way.
#pragma once

#include "Win.Gdi.hpp"

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

} // namespace Win

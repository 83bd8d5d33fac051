// Scoped device-context state: what a block saves on a DC, selects into it or
// makes for it is put back or freed when the block ends, by an exception too.
#pragma once

#include "Win.Gdi.hpp"

namespace Win {

// SaveDC now, RestoreDC to that level at the end (nothing when the save failed).
class TSavedDC {
public:
  explicit TSavedDC(HDC DC) : FDC(DC), FLevel(SaveDC(DC)) {}
  ~TSavedDC()
  {
    if (FLevel)
      RestoreDC(FDC, FLevel);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

private:
  HDC FDC;
  int FLevel;
};

// SelectObject now, the object it replaced selected back at the end. The
// object stays the caller's.
class TSelectedObject {
public:
  template <class THandle>
  TSelectedObject(HDC DC, THandle Object) : FDC(DC), FOld(SelectObject(DC, Object))
  {
  }
  ~TSelectedObject()
  {
    if (FOld)
      SelectObject(FDC, FOld);
  }
  TSelectedObject(const TSelectedObject&) = delete;
  TSelectedObject& operator=(const TSelectedObject&) = delete;

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// A memory DC compatible with Reference (nullptr: the screen) with a bitmap
// selected; at the end the DC's own bitmap goes back in and the DC is
// deleted. Over the caller's bitmap, or over a 32-bit bitmap of its own
// (Width x Height) that it deletes after the DC.
class TMemoryDC {
public:
  TMemoryDC(HDC Reference, HBITMAP Bitmap) : FDC(CreateCompatibleDC(Reference)), FBitmap(Bitmap) { Select(); }
  TMemoryDC(HDC Reference, int Width, int Height)
    : FDC(CreateCompatibleDC(Reference)), FBitmap(CreateBitmap32(Width, Height)),
      FOwnsBitmap(true)
  {
    Select();
  }
  ~TMemoryDC()
  {
    if (FOld)
      SelectObject(FDC, FOld);
    if (FDC)
      DeleteDC(FDC);
    if (FOwnsBitmap && FBitmap)
      DeleteObject(FBitmap);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;

  HDC DC() const { return FDC; }
  HBITMAP Bitmap() const { return FBitmap; }
  // The DC and the bitmap were made and the bitmap is selected.
  bool Valid() const { return FOld != nullptr; }

private:
  void Select()
  {
    if (FDC && FBitmap)
      FOld = SelectObject(FDC, FBitmap);
  }

  HDC FDC;
  HBITMAP FBitmap;
  bool FOwnsBitmap = false;
  HGDIOBJ FOld = nullptr;
};

} // namespace Win

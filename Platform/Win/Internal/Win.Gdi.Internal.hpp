// The inside of GDI objects and DCs, shared by the parts of the stand-in
// (drawing, text, window DCs). Hosts use the handles of Win.Gdi.hpp only.
#pragma once

#include "Win.Gdi.hpp"
#include "Win.Handles.Internal.hpp"

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

namespace Win {

// A set of pixels as y-x banded rectangles (the Win32 region model). Empty
// regions are valid.
class TRegion {
public:
  TRegion() = default;
  explicit TRegion(const RECT& rect);
  static TRegion FromRects(const std::vector<RECT>& rects); // any overlap allowed
  bool IsEmpty() const { return !FIsRect && FRects.empty(); }
  RECT Box() const;
  std::span<const RECT> Rects() const { return FIsRect ? std::span<const RECT>(&FRect, 1) : std::span<const RECT>(FRects); }
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& rect) const;
  TRegion Intersect(const TRegion& other) const;
  TRegion Union(const TRegion& other) const;
  TRegion Subtract(const TRegion& other) const;
  TRegion Xor(const TRegion& other) const;
  void Offset(int dx, int dy);
  bool operator==(const TRegion& other) const { return std::ranges::equal(Rects(), other.Rects()); }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION
  int Complexity() const;

private:
  // Normalised rectangles (banded, sorted, non-overlapping, coalesced).
  void SetRects(std::vector<RECT> rects);
  std::span<RECT> MutableRects() { return FIsRect ? std::span<RECT>(&FRect, 1) : std::span<RECT>(FRects); }
  // Most regions are one rectangle, kept without a heap allocation: painting
  // makes and drops several for every window and every fill.
  bool FIsRect = false;
  RECT FRect;
  std::vector<RECT> FRects; // two or more
};

// Every live object and DC registers itself, so that a stale or made-up
// handle is recognised without being dereferenced.
struct TGdiObject : THandleStorage {
  explicit TGdiObject(int type);
  virtual ~TGdiObject();
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  int Type;           // OBJ_PEN, OBJ_BRUSH, ...
  bool Stock = false; // stock objects are never deleted
  int SelectCount = 0; // selections in DCs, saved states included
};

struct TPenObject : TGdiObject {
  static constexpr int Kind = OBJ_PEN;
  TPenObject() : TGdiObject(OBJ_PEN) {}
  int Style = PS_SOLID;
  int Width = 1;
  COLORREF Color = 0;
};

struct TBrushObject : TGdiObject {
  static constexpr int Kind = OBJ_BRUSH;
  TBrushObject() : TGdiObject(OBJ_BRUSH) {}
  int Style = BS_SOLID;
  int Hatch = 0;
  COLORREF Color = 0;
  int SysColorIndex = -1;            // a GetSysColorBrush brush follows the scheme
  std::vector<std::uint32_t> Pattern; // BS_PATTERN pixels (copied at creation)
  int PatternWidth = 0;
  int PatternHeight = 0;
};

// The text engine keeps what it realised for a font (face, size, metrics
// cache) behind this pointer.
struct TRealizedFont;

struct TFontObject : TGdiObject {
  static constexpr int Kind = OBJ_FONT;
  TFontObject() : TGdiObject(OBJ_FONT) {}
  LOGFONT Log;
  std::shared_ptr<TRealizedFont> Realized;
};

struct TBitmapObject : TGdiObject {
  static constexpr int Kind = OBJ_BITMAP;
  TBitmapObject() : TGdiObject(OBJ_BITMAP) {}
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels; // top-down BGRA, Width * Height
};

struct TRegionObject : TGdiObject {
  static constexpr int Kind = OBJ_REGION;
  TRegionObject() : TGdiObject(OBJ_REGION) {}
  TRegion Region;
};

struct TDCState {
  HPEN Pen = nullptr;
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  HBITMAP Bitmap = nullptr;
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int PolyFillMode = ALTERNATE;
  int StretchMode = BLACKONWHITE;
  UINT TextAlign = TA_LEFT | TA_TOP;
  POINT WindowOrg;
  POINT BrushOrg;
  POINT CurrentPos;
  bool HasClip = false;
  TRegion Clip; // device coordinates
};

// A new DC starts with the stock black pen, white brush and GUI font
// selected; deleting it releases whatever its states select.
struct TDC : THandleStorage {
  TDC();
  ~TDC();
  TDC(const TDC&) = delete;
  TDC& operator=(const TDC&) = delete;
  TDCState State;
  std::vector<TDCState> Saved;
  bool IsScreen = false;       // GetDC(nullptr): measures but has no pixels
  HWND Window = nullptr;       // window DCs
  HBITMAP OwnBitmap = nullptr; // the default 1 x 1 bitmap of a memory DC
  // Where device (0, 0) lies on the surface (a child window's client origin).
  POINT SurfaceOffset;
  // The window system's limit (visible part, update region), device
  // coordinates; HasVisible false means the whole surface.
  bool HasVisible = false;
  TRegion Visible;
};

// The live object behind a handle, or nullptr for a stale, foreign or null
// handle (or one of another kind).
TDC* LiveDC(HDC dc);
TGdiObject* LiveObject(HGDIOBJ obj);
template <class T>
T* LiveObjectOf(HGDIOBJ obj)
{
  TGdiObject* o = LiveObject(obj);
  return o && o->Type == T::Kind ? static_cast<T*>(o) : nullptr;
}

// Puts a surface into a DC (a window DC onto its window's backing bitmap),
// keeping the selection counts right; the DC never deletes it.
void DCSetSurface(HDC dc, HBITMAP surface);

// The surface a DC draws on (nullptr for the screen DC).
TBitmapObject* DCSurface(HDC dc);
// Logical to device coordinates (subtracts the window origin).
POINT LPtoDevice(HDC dc, POINT p);
// The effective clip in device coordinates: surface bounds, visible region
// and the application clip intersected.
TRegion DCEffectiveClip(HDC dc);
// Fills device pixels through the effective clip.
void DCFillDeviceRect(HDC dc, const RECT& deviceRect, COLORREF color);
// Blends an 8-bit coverage mask (glyph) of the colour at device (x, y)
// through the effective clip.
void DCBlendMask(HDC dc, int x, int y, const std::uint8_t* coverage, int width, int height, int pitch,
                 COLORREF color);

} // namespace Win

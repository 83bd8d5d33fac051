// Device contexts: creation, selected objects, saved states, attributes,
// window origin and clipping.
#include "Win.Gdi.Blend.hpp"
#include "Win.Gdi.Internal.hpp"
#include "Win.Gdi.Raster.hpp"
#include "Win.Screen.hpp"
#include "Win.User.Internal.hpp"

#include <cstdint>

namespace Win {

namespace {

// Stock objects are shared by every thread and never deleted, so they are
// not counted.
void Retain(HGDIOBJ obj)
{
  if (obj && !obj->Stock)
    ++obj->SelectCount;
}

void Release(HGDIOBJ obj)
{
  if (obj && !obj->Stock && obj->SelectCount > 0)
    --obj->SelectCount;
}

void RetainState(const TDCState& s)
{
  Retain(s.Pen);
  Retain(s.Brush);
  Retain(s.Font);
  Retain(s.Bitmap);
}

void ReleaseState(const TDCState& s)
{
  Release(s.Pen);
  Release(s.Brush);
  Release(s.Font);
  Release(s.Bitmap);
}

template <class T>
T* Swap(T*& slot, T* obj)
{
  T* old = slot;
  Retain(obj);
  Release(old);
  slot = obj;
  return old;
}

// The device area a DC can reach: its surface, or the screen for the screen DC.
RECT DeviceBounds(const TDC& dc)
{
  if (dc.IsScreen)
    return RECT(0, 0, ScreenSettings().Width, ScreenSettings().Height);
  auto* surface = LiveObjectOf<TBitmapObject>(dc.State.Bitmap);
  if (!surface)
    return RECT();
  return RECT(-dc.SurfaceOffset.X, -dc.SurfaceOffset.Y, surface->Width - dc.SurfaceOffset.X,
              surface->Height - dc.SurfaceOffset.Y);
}

// The application clip, or the whole device when there is none.
TRegion CurrentClip(const TDC& dc)
{
  return dc.State.HasClip ? dc.State.Clip : TRegion(DeviceBounds(dc));
}

int SetClip(TDC& dc, TRegion clip)
{
  dc.State.HasClip = true;
  dc.State.Clip = std::move(clip);
  return dc.State.Clip.Complexity();
}

} // namespace

TDC::TDC()
{
  RegisterDC(this);
  State.Pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  State.Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  State.Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

TDC::~TDC()
{
  ReleaseState(State);
  for (const TDCState& s : Saved)
    ReleaseState(s);
  delete OwnBitmap;
  UnregisterDC(this);
}

// ---- screen and memory DCs -----------------------------------------------------

HDC GetDC(HWND hWnd)
{
  if (hWnd)
    return WindowDC(hWnd);
  auto* dc = new TDC();
  dc->IsScreen = true;
  return dc;
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
  (void)hWnd;
  if (!LiveDC(hDC))
    return 0;
  delete hDC;
  return 1;
}

int GetDeviceCaps(HDC hDC, int index)
{
  if (!LiveDC(hDC))
    return 0;
  const TScreenSettings& s = ScreenSettings();
  switch (index) {
  case LOGPIXELSX:
  case LOGPIXELSY:
    return s.LogPixels;
  case HORZRES:
    return s.Width;
  case VERTRES:
    return s.Height;
  case BITSPIXEL:
    return 32;
  default:
    return 0;
  }
}

HDC CreateCompatibleDC(HDC dc)
{
  if (dc && !LiveDC(dc))
    return nullptr;
  HBITMAP bitmap = CreateBitmap32(1, 1);
  if (!bitmap)
    return nullptr;
  auto* mem = new TDC();
  mem->OwnBitmap = bitmap;
  DCSetSurface(mem, bitmap);
  return mem;
}

BOOL DeleteDC(HDC dc)
{
  if (!LiveDC(dc))
    return FALSE;
  delete dc;
  return TRUE;
}

void DCSetSurface(HDC dc, HBITMAP surface)
{
  if (LiveDC(dc))
    Swap(dc->State.Bitmap, surface);
}

// ---- objects -------------------------------------------------------------------

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj)
{
  TDC* d = LiveDC(dc);
  TGdiObject* o = LiveObject(obj);
  if (!d || !o)
    return nullptr;
  switch (o->Type) {
  case OBJ_PEN: return Swap(d->State.Pen, static_cast<HPEN>(o));
  case OBJ_BRUSH: return Swap(d->State.Brush, static_cast<HBRUSH>(o));
  case OBJ_FONT: return Swap(d->State.Font, static_cast<HFONT>(o));
  case OBJ_BITMAP:
    // Screen and window DCs keep the surface they were made with.
    if (d->IsScreen || d->Window)
      return nullptr;
    return Swap(d->State.Bitmap, static_cast<HBITMAP>(o));
  case OBJ_REGION: return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(dc, static_cast<HRGN>(o))));
  default: return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return nullptr;
  switch (type) {
  case OBJ_PEN: return d->State.Pen;
  case OBJ_BRUSH: return d->State.Brush;
  case OBJ_FONT: return d->State.Font;
  case OBJ_BITMAP: return d->State.Bitmap;
  default: return nullptr;
  }
}

// ---- saved states --------------------------------------------------------------

int SaveDC(HDC dc)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return 0;
  d->Saved.push_back(d->State);
  RetainState(d->State);
  return int(d->Saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC)
{
  TDC* d = LiveDC(dc);
  if (!d || savedDC == 0)
    return FALSE;
  std::int64_t count = std::int64_t(d->Saved.size());
  std::int64_t level = savedDC < 0 ? count + 1 + savedDC : savedDC;
  if (level < 1 || level > count)
    return FALSE;
  ReleaseState(d->State);
  d->State = d->Saved[std::size_t(level - 1)];
  for (std::size_t i = std::size_t(level); i < d->Saved.size(); ++i)
    ReleaseState(d->Saved[i]);
  d->Saved.resize(std::size_t(level - 1));
  return TRUE;
}

// ---- attributes ----------------------------------------------------------------

namespace {

// Sets a DC attribute when the value is acceptable; returns the old value,
// or `failure` for a bad DC or value.
template <class T, class Valid>
T SetAttribute(HDC dc, T TDCState::*field, T value, T failure, Valid valid)
{
  TDC* d = LiveDC(dc);
  if (!d || !valid(value))
    return failure;
  T old = d->State.*field;
  d->State.*field = value;
  return old;
}

template <class T>
T GetAttribute(HDC dc, T TDCState::*field, T failure)
{
  TDC* d = LiveDC(dc);
  return d ? d->State.*field : failure;
}

auto InRange(int low, int high)
{
  return [=](int v) { return v >= low && v <= high; };
}

bool AnyColor(COLORREF)
{
  return true;
}

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF color)
{
  return SetAttribute(dc, &TDCState::TextColor, color & 0xFFFFFF, CLR_INVALID, AnyColor);
}

COLORREF GetTextColor(HDC dc)
{
  return GetAttribute(dc, &TDCState::TextColor, CLR_INVALID);
}

COLORREF SetBkColor(HDC dc, COLORREF color)
{
  return SetAttribute(dc, &TDCState::BkColor, color & 0xFFFFFF, CLR_INVALID, AnyColor);
}

COLORREF GetBkColor(HDC dc)
{
  return GetAttribute(dc, &TDCState::BkColor, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode)
{
  return SetAttribute(dc, &TDCState::BkMode, mode, 0, InRange(TRANSPARENT, OPAQUE));
}

int GetBkMode(HDC dc)
{
  return GetAttribute(dc, &TDCState::BkMode, 0);
}

int SetROP2(HDC dc, int rop2)
{
  return SetAttribute(dc, &TDCState::Rop2, rop2, 0, InRange(R2_BLACK, R2_WHITE));
}

int SetPolyFillMode(HDC dc, int mode)
{
  return SetAttribute(dc, &TDCState::PolyFillMode, mode, 0, InRange(ALTERNATE, WINDING));
}

int SetStretchBltMode(HDC dc, int mode)
{
  return SetAttribute(dc, &TDCState::StretchMode, mode, 0, InRange(BLACKONWHITE, HALFTONE));
}

BOOL GetWindowOrgEx(HDC dc, POINT* point)
{
  TDC* d = LiveDC(dc);
  if (!d || !point)
    return FALSE;
  *point = d->State.WindowOrg;
  return TRUE;
}

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return FALSE;
  if (old)
    *old = d->State.WindowOrg;
  d->State.WindowOrg = POINT(SatCoord(x), SatCoord(y));
  return TRUE;
}

BOOL OffsetWindowOrgEx(HDC dc, int x, int y, POINT* old)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return FALSE;
  POINT org = d->State.WindowOrg;
  return SetWindowOrgEx(dc, SatCoord(std::int64_t(org.X) + x), SatCoord(std::int64_t(org.Y) + y), old);
}

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return FALSE;
  if (old)
    *old = d->State.BrushOrg;
  d->State.BrushOrg = POINT(x, y);
  return TRUE;
}

BOOL GetBrushOrgEx(HDC dc, POINT* point)
{
  TDC* d = LiveDC(dc);
  if (!d || !point)
    return FALSE;
  *point = d->State.BrushOrg;
  return TRUE;
}

// ---- the drawing layer's view of a DC --------------------------------------------

TBitmapObject* DCSurface(HDC dc)
{
  TDC* d = LiveDC(dc);
  if (!d || d->IsScreen)
    return nullptr;
  return LiveObjectOf<TBitmapObject>(d->State.Bitmap);
}

POINT LPtoDevice(HDC dc, POINT p)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return p;
  return POINT(SatCoord(std::int64_t(p.X) - d->State.WindowOrg.X),
               SatCoord(std::int64_t(p.Y) - d->State.WindowOrg.Y));
}

RECT RectToDevice(HDC dc, const RECT& logical)
{
  POINT a = LPtoDevice(dc, logical.TopLeft());
  POINT b = LPtoDevice(dc, logical.BottomRight());
  return NormalizedRect(a.X, a.Y, b.X, b.Y);
}

TRegion DCEffectiveClip(HDC dc)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return TRegion();
  TRegion clip(DeviceBounds(*d));
  if (d->HasVisible)
    clip = clip.Intersect(d->Visible);
  if (d->State.HasClip)
    clip = clip.Intersect(d->State.Clip);
  return clip;
}

TTarget MakeTarget(HDC dc)
{
  TTarget t;
  t.Surface = DCSurface(dc);
  if (!t.Surface)
    return t;
  t.Offset = dc->SurfaceOffset;
  t.Clip = DCEffectiveClip(dc);
  return t;
}

// ---- clipping ------------------------------------------------------------------

int SelectClipRgn(HDC dc, HRGN rgn)
{
  return ExtSelectClipRgn(dc, rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return ERROR;
  if (!rgn && mode == RGN_COPY) {
    d->State.HasClip = false;
    d->State.Clip = TRegion();
    return SIMPLEREGION;
  }
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!r)
    return ERROR;
  switch (mode) {
  case RGN_COPY: return SetClip(*d, r->Region);
  case RGN_AND: return SetClip(*d, CurrentClip(*d).Intersect(r->Region));
  case RGN_OR: return SetClip(*d, CurrentClip(*d).Union(r->Region));
  case RGN_XOR: return SetClip(*d, CurrentClip(*d).Xor(r->Region));
  case RGN_DIFF: return SetClip(*d, CurrentClip(*d).Subtract(r->Region));
  default: return ERROR;
  }
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return ERROR;
  TRegion rect(RectToDevice(dc, RECT(left, top, right, bottom)));
  return SetClip(*d, CurrentClip(*d).Intersect(rect));
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom)
{
  TDC* d = LiveDC(dc);
  if (!d)
    return ERROR;
  TRegion rect(RectToDevice(dc, RECT(left, top, right, bottom)));
  return SetClip(*d, CurrentClip(*d).Subtract(rect));
}

int GetClipBox(HDC dc, RECT* rect)
{
  TDC* d = LiveDC(dc);
  if (!d || !rect)
    return ERROR;
  TRegion clip = DCEffectiveClip(dc);
  RECT box = clip.Box();
  if (!clip.IsEmpty())
    box.Offset(d->State.WindowOrg);
  *rect = box;
  return clip.Complexity();
}

int GetClipRgn(HDC dc, HRGN rgn)
{
  TDC* d = LiveDC(dc);
  auto* r = LiveObjectOf<TRegionObject>(rgn);
  if (!d || !r)
    return -1;
  if (!d->State.HasClip)
    return 0;
  r->Region = d->State.Clip;
  return 1;
}

BOOL PtVisible(HDC dc, int x, int y)
{
  if (!LiveDC(dc))
    return FALSE;
  POINT p = LPtoDevice(dc, POINT(x, y));
  return DCEffectiveClip(dc).Contains(p.X, p.Y);
}

BOOL RectVisible(HDC dc, const RECT* rect)
{
  if (!LiveDC(dc) || !rect)
    return FALSE;
  return DCEffectiveClip(dc).Intersects(RectToDevice(dc, *rect));
}

// ---- device pixels for the text engine ---------------------------------------------

void DCFillDeviceRect(HDC dc, const RECT& deviceRect, COLORREF color)
{
  std::uint32_t pixel = ToPixel(color);
  ForEachSpan(MakeTarget(dc), TRegion(deviceRect),
              [pixel](std::uint32_t* row, int left, int right, int) { std::fill(row, row + (right - left), pixel); });
}

namespace {

// x * a / 255, rounded to nearest, for x, a in 0..255.
constexpr std::uint32_t MulDiv255(std::uint32_t x, std::uint32_t a)
{
  std::uint32_t t = x * a + 128;
  return (t + (t >> 8)) >> 8;
}

} // namespace

std::uint32_t BlendOverPlain(std::uint32_t src, std::uint32_t dst, std::uint32_t coverage)
{
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    std::uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= (MulDiv255(s, coverage) + MulDiv255(d, 255 - coverage)) << shift;
  }
  return out;
}

void DCBlendMask(HDC dc, int x, int y, const std::uint8_t* coverage, int width, int height, int pitch,
                 COLORREF color)
{
  if (!coverage || width <= 0 || height <= 0 || pitch < width)
    return;
  const std::uint32_t src = ToPixel(color);
  RECT area(x, y, SatCoord(std::int64_t(x) + width), SatCoord(std::int64_t(y) + height));
  ForEachSpan(MakeTarget(dc), TRegion(area), [&](std::uint32_t* row, int left, int right, int py) {
    CoverageRun(row, coverage + std::size_t(py - y) * std::size_t(pitch) + std::size_t(left - x),
                std::size_t(right - left), src);
  });
}

} // namespace Win

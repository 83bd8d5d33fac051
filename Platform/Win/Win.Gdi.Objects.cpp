// GDI objects: the live-handle registry, system colours, stock objects,
// pens, brushes and bitmaps.
#include "Win.Gdi.Internal.hpp"
#include "Win.Gdi.Raster.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

namespace Win {

namespace {

// Never destroyed: stock objects and DCs may outlive any static.
struct TRegistry {
  std::mutex Lock;
  TPointerSet Live;
  // The last few unregistered, removal n at n % size (written under Lock).
  std::array<const void*, 64> Removed{};
};

// Objects and DCs unregistered so far (written under the registry's lock).
// Outside the registry so that the common check reads it without first
// asking whether the registry has been made.
constinit std::atomic<std::uint64_t> gRemovals{0};

// Each drawing call asks about the same DC, brush and surface several times.
// A thread remembers the last few handles it found live; an answer holds
// until that handle is unregistered. Painting deletes brushes and regions all
// the time, so a removal forgets only the handle removed, unless the thread
// has fallen too far behind to know which ones those were.
struct TRecentlyLive {
  std::array<const void*, 8> Handles{};
  std::size_t Next = 0;
  std::uint64_t Removals = 0;
};
[[gnu::tls_model("initial-exec")]] thread_local TRecentlyLive tRecent;

TRegistry& Registry()
{
  static auto* registry = new TRegistry;
  return *registry;
}

void Remember(const void* p)
{
  tRecent.Handles[tRecent.Next] = p;
  tRecent.Next = (tRecent.Next + 1) % tRecent.Handles.size();
}

void Unregister(const void* p)
{
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  r.Live.Erase(p);
  const std::uint64_t n = gRemovals.load(std::memory_order_relaxed);
  r.Removed[n % r.Removed.size()] = p;
  gRemovals.store(n + 1, std::memory_order_release);
}

// Brings the thread's handles up to date with the removals since it last
// looked (called with the registry locked).
void ForgetRemoved(const TRegistry& r)
{
  const std::uint64_t now = gRemovals.load(std::memory_order_relaxed);
  if (now - tRecent.Removals > r.Removed.size()) {
    tRecent = TRecentlyLive{{}, 0, now};
    return;
  }
  for (std::uint64_t n = tRecent.Removals; n != now; ++n)
    std::replace(tRecent.Handles.begin(), tRecent.Handles.end(), r.Removed[n % r.Removed.size()],
                 static_cast<const void*>(nullptr));
  tRecent.Removals = now;
}

// What a thread makes it uses next: a DC, the brush for a fill.
void Register(const void* p)
{
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  r.Live.Insert(p);
  ForgetRemoved(r);
  Remember(p);
}

bool Remembered(const void* p)
{
  return std::find(tRecent.Handles.begin(), tRecent.Handles.end(), p) != tRecent.Handles.end();
}

[[gnu::noinline]] bool IsLiveInRegistry(const void* p)
{
  TRegistry& r = Registry();
  {
    std::lock_guard<std::mutex> guard(r.Lock);
    ForgetRemoved(r);
    if (Remembered(p))
      return true;
    if (!r.Live.Contains(p))
      return false;
  }
  Remember(p);
  return true;
}

// Every call taking a handle asks this several times: the usual answer comes
// from the thread's own memory, without a call or a lock.
inline bool IsLive(const void* p)
{
  if (!p)
    return false;
  if (tRecent.Removals == gRemovals.load(std::memory_order_acquire) && Remembered(p))
    return true;
  return IsLiveInRegistry(p);
}

// The classic "Windows Standard" scheme. Index 25 is unused by Win32.
constexpr std::array<COLORREF, COLOR_MAX + 1> kClassicColors = {
  RGB(212, 208, 200), // COLOR_SCROLLBAR
  RGB(58, 110, 165),  // COLOR_BACKGROUND
  RGB(10, 36, 106),   // COLOR_ACTIVECAPTION
  RGB(128, 128, 128), // COLOR_INACTIVECAPTION
  RGB(212, 208, 200), // COLOR_MENU
  RGB(255, 255, 255), // COLOR_WINDOW
  RGB(0, 0, 0),       // COLOR_WINDOWFRAME
  RGB(0, 0, 0),       // COLOR_MENUTEXT
  RGB(0, 0, 0),       // COLOR_WINDOWTEXT
  RGB(255, 255, 255), // COLOR_CAPTIONTEXT
  RGB(212, 208, 200), // COLOR_ACTIVEBORDER
  RGB(212, 208, 200), // COLOR_INACTIVEBORDER
  RGB(128, 128, 128), // COLOR_APPWORKSPACE
  RGB(10, 36, 106),   // COLOR_HIGHLIGHT
  RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
  RGB(212, 208, 200), // COLOR_BTNFACE
  RGB(128, 128, 128), // COLOR_BTNSHADOW
  RGB(128, 128, 128), // COLOR_GRAYTEXT
  RGB(0, 0, 0),       // COLOR_BTNTEXT
  RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
  RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
  RGB(64, 64, 64),    // COLOR_3DDKSHADOW
  RGB(212, 208, 200), // COLOR_3DLIGHT
  RGB(0, 0, 0),       // COLOR_INFOTEXT
  RGB(255, 255, 225), // COLOR_INFOBK
  RGB(0, 0, 0),       // 25
  RGB(0, 0, 128),     // COLOR_HOTLIGHT
  RGB(166, 202, 240), // COLOR_GRADIENTACTIVECAPTION
  RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
  RGB(10, 36, 106),   // COLOR_MENUHILIGHT
  RGB(212, 208, 200), // COLOR_MENUBAR
};

std::array<COLORREF, COLOR_MAX + 1>& SysColors()
{
  static std::array<COLORREF, COLOR_MAX + 1> colors = kClassicColors;
  return colors;
}

bool ValidSysColorIndex(int index)
{
  return index >= 0 && index <= COLOR_MAX;
}

template <class T>
T* MakeStock(T* obj)
{
  obj->Stock = true;
  return obj;
}

HBRUSH StockBrush(COLORREF color, int style = BS_SOLID)
{
  auto* b = MakeStock(new TBrushObject());
  b->Color = color;
  b->Style = style;
  return b;
}

HPEN StockPen(COLORREF color, int style = PS_SOLID)
{
  auto* p = MakeStock(new TPenObject());
  p->Color = color;
  p->Style = style;
  return p;
}

HFONT StockGuiFont()
{
  auto* f = MakeStock(new TFontObject());
  f->Log.lfHeight = -11;
  std::strncpy(f->Log.lfFaceName, "Tahoma", LF_FACESIZE - 1);
  return f;
}

struct TStockObjects {
  std::array<HGDIOBJ, DEFAULT_GUI_FONT + 1> Objects{};
  std::array<HBRUSH, COLOR_MAX + 1> SysBrushes{};

  TStockObjects()
  {
    Objects[WHITE_BRUSH] = StockBrush(RGB(255, 255, 255));
    Objects[LTGRAY_BRUSH] = StockBrush(RGB(192, 192, 192));
    Objects[GRAY_BRUSH] = StockBrush(RGB(128, 128, 128));
    Objects[DKGRAY_BRUSH] = StockBrush(RGB(64, 64, 64));
    Objects[BLACK_BRUSH] = StockBrush(RGB(0, 0, 0));
    Objects[NULL_BRUSH] = StockBrush(0, BS_NULL);
    Objects[WHITE_PEN] = StockPen(RGB(255, 255, 255));
    Objects[BLACK_PEN] = StockPen(RGB(0, 0, 0));
    Objects[NULL_PEN] = StockPen(0, PS_NULL);
    Objects[DEFAULT_GUI_FONT] = StockGuiFont();
    for (int i = 0; i <= COLOR_MAX; ++i) {
      SysBrushes[std::size_t(i)] = StockBrush(0);
      SysBrushes[std::size_t(i)]->SysColorIndex = i;
    }
  }
};

TStockObjects& Stock()
{
  static auto* stock = new TStockObjects;
  return *stock;
}

HBITMAP NewBitmap(int width, int height)
{
  if (width <= 0 || height <= 0 || std::int64_t(width) * height > kMaxBitmapPixels)
    return nullptr;
  try {
    auto b = std::make_unique<TBitmapObject>();
    b->Width = width;
    b->Height = height;
    b->Pixels.assign(std::size_t(width) * std::size_t(height), 0u);
    return b.release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

} // namespace

// ---- registry ------------------------------------------------------------------

TGdiObject::TGdiObject(int type) : Type(type)
{
  Register(this);
}

TGdiObject::~TGdiObject()
{
  Unregister(this);
}

void RegisterDC(const TDC* dc)
{
  Register(dc);
}

void UnregisterDC(const TDC* dc)
{
  Unregister(dc);
}

TDC* LiveDC(HDC dc)
{
  return IsLive(dc) ? dc : nullptr;
}

TGdiObject* LiveObject(HGDIOBJ obj)
{
  return IsLive(obj) ? obj : nullptr;
}

// ---- system colours ------------------------------------------------------------

COLORREF GetSysColor(int index)
{
  return ValidSysColorIndex(index) ? SysColors()[std::size_t(index)] : 0;
}

void SetSysColor(int index, COLORREF color)
{
  if (ValidSysColorIndex(index))
    SysColors()[std::size_t(index)] = color & 0xFFFFFF;
}

void ResetSysColors()
{
  SysColors() = kClassicColors;
}

HBRUSH GetSysColorBrush(int index)
{
  return ValidSysColorIndex(index) ? Stock().SysBrushes[std::size_t(index)] : nullptr;
}

COLORREF BrushColor(const TBrushObject& brush)
{
  return brush.SysColorIndex >= 0 ? GetSysColor(brush.SysColorIndex) : brush.Color;
}

// ---- creation ------------------------------------------------------------------

HGDIOBJ GetStockObject(int index)
{
  if (index < 0 || index > DEFAULT_GUI_FONT)
    return nullptr;
  return Stock().Objects[std::size_t(index)];
}

HPEN CreatePen(int style, int width, COLORREF color)
{
  // Wider pens than this draw nothing sensible on any surface.
  constexpr int kMaxPenWidth = 4096;
  if (style < PS_SOLID || style > PS_INSIDEFRAME || width > kMaxPenWidth)
    return nullptr;
  auto* p = new TPenObject();
  p->Style = style;
  p->Width = std::max(width, 1);
  p->Color = color & 0xFFFFFF;
  return p;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
  auto* b = new TBrushObject();
  b->Color = color & 0xFFFFFF;
  return b;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
    return nullptr;
  auto* b = new TBrushObject();
  b->Style = BS_HATCHED;
  b->Hatch = hatch;
  b->Color = color & 0xFFFFFF;
  return b;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
  auto* bm = LiveObjectOf<TBitmapObject>(bitmap);
  if (!bm)
    return nullptr;
  auto* b = new TBrushObject();
  b->Style = BS_PATTERN;
  b->Pattern = bm->Pixels;
  b->PatternWidth = bm->Width;
  b->PatternHeight = bm->Height;
  return b;
}

BOOL DeleteObject(HGDIOBJ obj)
{
  TGdiObject* o = LiveObject(obj);
  if (!o || o->Stock || o->SelectCount > 0)
    return FALSE;
  delete o;
  return TRUE;
}

int GetObjectType(HGDIOBJ obj)
{
  TGdiObject* o = LiveObject(obj);
  return o ? o->Type : 0;
}

int GetObject(HGDIOBJ obj, int size, void* out)
{
  TGdiObject* o = LiveObject(obj);
  if (!o || size < 0)
    return 0;
  if (auto* bm = LiveObjectOf<TBitmapObject>(o)) {
    if (!out)
      return int(sizeof(BITMAP));
    if (std::size_t(size) < sizeof(BITMAP))
      return 0;
    BITMAP info;
    info.bmWidth = bm->Width;
    info.bmHeight = bm->Height;
    info.bmWidthBytes = bm->Width * 4;
    info.bmBits = bm->Pixels.data();
    std::memcpy(out, &info, sizeof info);
    return int(sizeof info);
  }
  if (auto* f = LiveObjectOf<TFontObject>(o)) {
    if (!out)
      return int(sizeof(LOGFONT));
    std::size_t n = std::min(std::size_t(size), sizeof(LOGFONT));
    std::memcpy(out, &f->Log, n);
    return int(n);
  }
  return 0;
}

template <class THandle>
THandle FromGdiObject(HGDIOBJ obj)
{
  return static_cast<THandle>(obj);
}

#define QX_TYPED_HANDLE(Handle)                                                                        \
  HGDIOBJ SelectObject(HDC dc, Handle obj) { return SelectObject(dc, static_cast<HGDIOBJ>(obj)); }       \
  BOOL DeleteObject(Handle obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }                     \
  HGDIOBJ ToGdiObject(Handle obj) { return obj; }                                                       \
  template Handle FromGdiObject<Handle>(HGDIOBJ obj);
QX_TYPED_HANDLE(HPEN)
QX_TYPED_HANDLE(HBRUSH)
QX_TYPED_HANDLE(HFONT)
QX_TYPED_HANDLE(HBITMAP)
QX_TYPED_HANDLE(HRGN)
#undef QX_TYPED_HANDLE

int GetObject(HFONT obj, int size, void* out)
{
  return GetObject(static_cast<HGDIOBJ>(obj), size, out);
}

int GetObject(HBITMAP obj, int size, void* out)
{
  return GetObject(static_cast<HGDIOBJ>(obj), size, out);
}

// ---- bitmaps -------------------------------------------------------------------

HBITMAP CreateBitmap32(int width, int height)
{
  return NewBitmap(width, height);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
  (void)dc; // every surface has the same format
  // As Win32 does, an empty request still gives a (1 x 1) bitmap.
  if (width == 0 || height == 0)
    return width < 0 || height < 0 ? nullptr : NewBitmap(1, 1);
  return NewBitmap(width, height);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset)
{
  (void)dc;
  (void)offset;
  if (bits)
    *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section)
    return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 32 || h.biCompression != BI_RGB ||
      h.biHeight == std::numeric_limits<int>::min())
    return nullptr;
  HBITMAP bm = NewBitmap(h.biWidth, std::abs(h.biHeight));
  if (bm && bits)
    *bits = bm->Pixels.data();
  return bm;
}

std::uint32_t* BitmapBits(HBITMAP bitmap)
{
  auto* bm = LiveObjectOf<TBitmapObject>(bitmap);
  return bm ? bm->Pixels.data() : nullptr;
}

int BitmapWidth(HBITMAP bitmap)
{
  auto* bm = LiveObjectOf<TBitmapObject>(bitmap);
  return bm ? bm->Width : 0;
}

int BitmapHeight(HBITMAP bitmap)
{
  auto* bm = LiveObjectOf<TBitmapObject>(bitmap);
  return bm ? bm->Height : 0;
}

} // namespace Win

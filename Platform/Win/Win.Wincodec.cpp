#include "Internal/Win.Wincodec.Internal.hpp"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace Win {

using namespace Wincodec;

namespace {

// Bigger bitmaps are refused rather than allocated.
constexpr std::uint64_t MaxBitmapBytes = 256ull << 20;
// Conversion and scaling hold every pixel in the intermediate (and scaling
// in floating point as well): beyond this many pixels they refuse.
constexpr std::uint64_t MaxWorkPixels = 1ull << 24;

std::atomic<bool> Available{true};

struct TPixels {
  UINT Width = 0;
  UINT Height = 0;
  const TFormatInfo* Info = nullptr;
  UINT Stride = 0;
  std::vector<BYTE> Bytes;
  bool HasPalette = false;
  std::vector<WICColor> Palette;
  double DpiX = 96;
  double DpiY = 96;
  int Readers = 0;
  bool Writing = false;

  BYTE* Row(UINT Y) { return Bytes.data() + std::size_t(Y) * Stride; }
};

HRESULT NewPixels(UINT Width, UINT Height, const GUID& Format, std::shared_ptr<TPixels>* Out)
{
  const TFormatInfo* info = FindFormat(Format);
  if (!info)
    return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
  if (Width == 0 || Height == 0)
    return E_INVALIDARG;
  if (Width > WICMaxBitmapSide || Height > WICMaxBitmapSide)
    return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  const std::uint64_t stride = (RowBytes(*info, Width) + 3) / 4 * 4;
  if (stride * Height > MaxBitmapBytes)
    return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  auto pixels = std::make_shared<TPixels>();
  pixels->Width = Width;
  pixels->Height = Height;
  pixels->Info = info;
  pixels->Stride = UINT(stride);
  pixels->Bytes.assign(std::size_t(stride * Height), 0);
  *Out = std::move(pixels);
  return S_OK;
}

// The rectangle (nullptr: the whole image) when it lies inside the image.
bool InsideRect(const WICRect* Rect, UINT Width, UINT Height, WICRect& Out)
{
  Out = Rect ? *Rect : WICRect{0, 0, INT(Width), INT(Height)};
  return Out.X >= 0 && Out.Y >= 0 && Out.Width >= 0 && Out.Height >= 0 &&
         std::uint64_t(Out.X) + std::uint64_t(Out.Width) <= Width &&
         std::uint64_t(Out.Y) + std::uint64_t(Out.Height) <= Height;
}

// Stride and buffer checks shared by copying out and creating from memory.
HRESULT CheckBuffer(std::uint64_t RowSize, UINT Rows, UINT Stride, UINT BufferSize, const void* Buffer)
{
  if (!Buffer)
    return E_INVALIDARG;
  if (Stride < RowSize)
    return E_INVALIDARG;
  if (Rows > 0 && std::uint64_t(Stride) * (Rows - 1) + RowSize > BufferSize)
    return WINCODEC_ERR_INSUFFICIENTBUFFER;
  return S_OK;
}

// Copies Width pixels of Bits bits from bit offset X of In to bit 0 of Out.
void CopyBits(const BYTE* In, UINT X, UINT Width, UINT Bits, BYTE* Out)
{
  const std::uint64_t start = std::uint64_t(X) * Bits, count = std::uint64_t(Width) * Bits;
  if (start % 8 == 0) {
    std::memcpy(Out, In + start / 8, std::size_t((count + 7) / 8));
    return;
  }
  std::memset(Out, 0, std::size_t((count + 7) / 8));
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t from = start + i;
    if (In[from / 8] & (0x80 >> (from % 8)))
      Out[i / 8] = BYTE(Out[i / 8] | (0x80 >> (i % 8)));
  }
}

HRESULT CopyPixelsOut(TPixels& P, const WICRect* Rect, UINT Stride, UINT BufferSize, BYTE* Buffer)
{
  WICRect r;
  if (!InsideRect(Rect, P.Width, P.Height, r))
    return E_INVALIDARG;
  const std::uint64_t rowSize = RowBytes(*P.Info, UINT(r.Width));
  if (const HRESULT hr = CheckBuffer(rowSize, UINT(r.Height), Stride, BufferSize, Buffer); FAILED(hr))
    return hr;
  for (INT y = 0; y < r.Height; ++y)
    CopyBits(P.Row(UINT(r.Y + y)), UINT(r.X), UINT(r.Width), P.Info->Bits, Buffer + std::size_t(y) * Stride);
  return S_OK;
}

class TPalette final : public IWICPalette {
public:
  HRESULT InitializePredefined(WICBitmapPaletteType Type, BOOL AddTransparent) override
  {
    std::vector<WICColor> colors = PredefinedPalette(Type);
    if (colors.empty())
      return E_INVALIDARG;
    if (AddTransparent)
      AddTransparentColor(colors);
    return Set(Type, std::move(colors));
  }
  HRESULT InitializeCustom(const WICColor* Colors, UINT Count) override
  {
    if ((!Colors && Count) || Count > 256)
      return E_INVALIDARG;
    return Set(WICBitmapPaletteTypeCustom, std::vector<WICColor>(Colors, Colors + Count));
  }
  HRESULT InitializeFromBitmap(IWICBitmapSource* Source, UINT Count, BOOL AddTransparent) override;
  HRESULT InitializeFromPalette(IWICPalette* Palette) override
  {
    auto* other = dynamic_cast<TPalette*>(Palette);
    if (!other)
      return E_INVALIDARG;
    return Set(other->FType, other->FColors);
  }
  HRESULT GetType(WICBitmapPaletteType* Type) override { return Out(Type, FType); }
  HRESULT GetColorCount(UINT* Count) override { return Out(Count, UINT(FColors.size())); }
  HRESULT GetColors(UINT Count, WICColor* Colors, UINT* Actual) override
  {
    if (!Colors || !Actual)
      return E_INVALIDARG;
    *Actual = std::min<UINT>(Count, UINT(FColors.size()));
    std::copy_n(FColors.begin(), *Actual, Colors);
    return S_OK;
  }
  HRESULT IsBlackWhite(BOOL* Result) override
  {
    const bool bw = FColors.size() == 2 && std::is_permutation(FColors.begin(), FColors.end(),
                                                                 PredefinedPalette(WICBitmapPaletteTypeFixedBW).begin());
    return Out(Result, BOOL(bw));
  }
  HRESULT IsGrayscale(BOOL* Result) override
  {
    return Out(Result, BOOL(!FColors.empty() && std::all_of(FColors.begin(), FColors.end(), [](WICColor c) {
                              return ((c >> 16) & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == ((c >> 8) & 0xFF);
                            })));
  }
  HRESULT HasAlpha(BOOL* Result) override
  {
    return Out(Result,
               BOOL(std::any_of(FColors.begin(), FColors.end(), [](WICColor c) { return (c >> 24) != 0xFF; })));
  }
  const std::vector<WICColor>& Colors() const { return FColors; }

private:
  template <typename T> static HRESULT Out(T* Where, T Value)
  {
    if (!Where)
      return E_INVALIDARG;
    *Where = Value;
    return S_OK;
  }
  static void AddTransparentColor(std::vector<WICColor>& Colors)
  {
    if (Colors.size() >= 256)
      Colors.back() = 0;
    else
      Colors.push_back(0);
  }
  HRESULT Set(WICBitmapPaletteType Type, std::vector<WICColor> Colors)
  {
    FType = Type;
    FColors = std::move(Colors);
    return S_OK;
  }

  WICBitmapPaletteType FType = WICBitmapPaletteTypeCustom;
  std::vector<WICColor> FColors;
};

// Every pixel of a source in the intermediate.
HRESULT ReadSource(IWICBitmapSource* Source, UINT& Width, UINT& Height, std::vector<TRgba16>& Pixels,
                   std::vector<WICColor>* PaletteOut = nullptr)
{
  if (!Source)
    return E_INVALIDARG;
  GUID format;
  if (const HRESULT hr = Source->GetSize(&Width, &Height); FAILED(hr))
    return hr;
  if (const HRESULT hr = Source->GetPixelFormat(&format); FAILED(hr))
    return hr;
  const TFormatInfo* info = FindFormat(format);
  if (!info)
    return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
  TPalette palette;
  if (info->Layout == TLayout::Indexed)
    if (const HRESULT hr = Source->CopyPalette(&palette); FAILED(hr))
      return hr;
  const std::uint64_t rowSize = RowBytes(*info, Width);
  if (std::uint64_t(Width) * Height > MaxWorkPixels)
    return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  std::vector<BYTE> bytes(std::size_t(rowSize * Height));
  if (const HRESULT hr = Source->CopyPixels(nullptr, UINT(rowSize), UINT(bytes.size()), bytes.data()); FAILED(hr))
    return hr;
  Pixels.resize(std::size_t(Width) * Height);
  for (UINT y = 0; y < Height; ++y)
    ReadRow(*info, bytes.data() + std::size_t(y) * rowSize, 0, Width, palette.Colors(), &Pixels[std::size_t(y) * Width]);
  if (PaletteOut && info->Layout == TLayout::Indexed)
    *PaletteOut = palette.Colors();
  return S_OK;
}

HRESULT TPalette::InitializeFromBitmap(IWICBitmapSource* Source, UINT Count, BOOL AddTransparent)
{
  if (Count < 2 || Count > 256)
    return E_INVALIDARG;
  UINT width = 0, height = 0;
  std::vector<TRgba16> pixels;
  if (const HRESULT hr = ReadSource(Source, width, height, pixels); FAILED(hr))
    return hr;
  std::vector<WICColor> colors = MedianCut(pixels, AddTransparent ? Count - 1 : Count);
  if (AddTransparent)
    colors.push_back(0);
  return Set(WICBitmapPaletteTypeMedianCut, std::move(colors));
}

// A fixed palette of the indexed depth's size.
std::vector<WICColor> DefaultPalette(UINT Bits)
{
  switch (Bits) {
  case 1:
    return PredefinedPalette(WICBitmapPaletteTypeFixedBW);
  case 2:
    return PredefinedPalette(WICBitmapPaletteTypeFixedGray4);
  case 4:
    return PredefinedPalette(WICBitmapPaletteTypeFixedHalftone8);
  default:
    return PredefinedPalette(WICBitmapPaletteTypeFixedHalftone256);
  }
}

// New pixels in Format holding the intermediate image.
HRESULT WritePixels(const std::vector<TRgba16>& Image, UINT Width, UINT Height, const GUID& Format,
                    std::vector<WICColor> Palette, std::shared_ptr<TPixels>* Out)
{
  std::shared_ptr<TPixels> pixels;
  if (const HRESULT hr = NewPixels(Width, Height, Format, &pixels); FAILED(hr))
    return hr;
  if (pixels->Info->Layout == TLayout::Indexed) {
    const std::size_t capacity = std::size_t(1) << pixels->Info->Bits;
    if (Palette.empty() || Palette.size() > capacity)
      Palette = DefaultPalette(pixels->Info->Bits);
    pixels->HasPalette = true;
    pixels->Palette = std::move(Palette);
  }
  for (UINT y = 0; y < Height; ++y)
    WriteRow(*pixels->Info, &Image[std::size_t(y) * Width], Width, pixels->Palette, pixels->Row(y));
  *Out = std::move(pixels);
  return S_OK;
}

template <typename Interface> class TSource : public Interface {
public:
  HRESULT GetSize(UINT* Width, UINT* Height) override
  {
    if (!FPixels)
      return WINCODEC_ERR_NOTINITIALIZED;
    if (!Width || !Height)
      return E_INVALIDARG;
    *Width = FPixels->Width;
    *Height = FPixels->Height;
    return S_OK;
  }
  HRESULT GetPixelFormat(WICPixelFormatGUID* Format) override
  {
    if (!FPixels)
      return WINCODEC_ERR_NOTINITIALIZED;
    if (!Format)
      return E_INVALIDARG;
    *Format = *FPixels->Info->Guid;
    return S_OK;
  }
  HRESULT GetResolution(double* DpiX, double* DpiY) override
  {
    if (!FPixels)
      return WINCODEC_ERR_NOTINITIALIZED;
    if (!DpiX || !DpiY)
      return E_INVALIDARG;
    *DpiX = FPixels->DpiX;
    *DpiY = FPixels->DpiY;
    return S_OK;
  }
  HRESULT CopyPalette(IWICPalette* Palette) override
  {
    if (!FPixels)
      return WINCODEC_ERR_NOTINITIALIZED;
    if (!Palette)
      return E_INVALIDARG;
    if (!FPixels->HasPalette)
      return WINCODEC_ERR_PALETTEUNAVAILABLE;
    return Palette->InitializeCustom(FPixels->Palette.data(), UINT(FPixels->Palette.size()));
  }
  HRESULT CopyPixels(const WICRect* Rect, UINT Stride, UINT BufferSize, BYTE* Buffer) override
  {
    if (!FPixels)
      return WINCODEC_ERR_NOTINITIALIZED;
    return CopyPixelsOut(*FPixels, Rect, Stride, BufferSize, Buffer);
  }

protected:
  std::shared_ptr<TPixels> FPixels;
};

class TLock final : public IWICBitmapLock {
public:
  TLock(std::shared_ptr<TPixels> Pixels, const WICRect& Rect, bool Write)
    : FPixels(std::move(Pixels)), FRect(Rect), FWrite(Write)
  {
    if (FWrite)
      FPixels->Writing = true;
    else
      ++FPixels->Readers;
  }
  ~TLock() override
  {
    if (FWrite)
      FPixels->Writing = false;
    else
      --FPixels->Readers;
  }
  HRESULT GetSize(UINT* Width, UINT* Height) override
  {
    if (!Width || !Height)
      return E_INVALIDARG;
    *Width = UINT(FRect.Width);
    *Height = UINT(FRect.Height);
    return S_OK;
  }
  HRESULT GetStride(UINT* Stride) override
  {
    if (!Stride)
      return E_INVALIDARG;
    *Stride = FPixels->Stride;
    return S_OK;
  }
  HRESULT GetDataPointer(UINT* BufferSize, BYTE** Data) override
  {
    if (!BufferSize || !Data)
      return E_INVALIDARG;
    const std::uint64_t first = std::uint64_t(FRect.X) * FPixels->Info->Bits / 8;
    const std::uint64_t last = RowBytes(*FPixels->Info, std::uint64_t(FRect.X) + UINT(FRect.Width));
    *BufferSize = UINT(std::uint64_t(FPixels->Stride) * UINT(FRect.Height - 1) + last - first);
    *Data = FPixels->Row(UINT(FRect.Y)) + first;
    return S_OK;
  }
  HRESULT GetPixelFormat(WICPixelFormatGUID* Format) override
  {
    if (!Format)
      return E_INVALIDARG;
    *Format = *FPixels->Info->Guid;
    return S_OK;
  }

private:
  std::shared_ptr<TPixels> FPixels;
  WICRect FRect;
  bool FWrite;
};

class TBitmap final : public TSource<IWICBitmap> {
public:
  TBitmap(std::shared_ptr<TPixels> Pixels, WICBitmapCreateCacheOption Option) : FOption(Option)
  {
    FPixels = std::move(Pixels);
  }
  HRESULT Lock(const WICRect* Rect, DWORD Flags, std::shared_ptr<IWICBitmapLock>* Lock) override
  {
    WICRect r;
    if (!Lock || !InsideRect(Rect, FPixels->Width, FPixels->Height, r) || r.Width == 0 || r.Height == 0)
      return E_INVALIDARG;
    if (Flags == 0 || (Flags & ~DWORD(WICBitmapLockRead | WICBitmapLockWrite)) != 0)
      return E_INVALIDARG;
    if (std::uint64_t(r.X) * FPixels->Info->Bits % 8 != 0)
      return E_INVALIDARG;
    const bool write = (Flags & WICBitmapLockWrite) != 0;
    if (FPixels->Writing || (write && FPixels->Readers > 0))
      return WINCODEC_ERR_ALREADYLOCKED;
    *Lock = std::make_shared<TLock>(FPixels, r, write);
    return S_OK;
  }
  HRESULT SetPalette(IWICPalette* Palette) override
  {
    auto* palette = dynamic_cast<TPalette*>(Palette);
    if (!palette)
      return E_INVALIDARG;
    if (FPixels->Info->Layout == TLayout::Indexed && palette->Colors().size() > (std::size_t(1) << FPixels->Info->Bits))
      return E_INVALIDARG;
    FPixels->HasPalette = true;
    FPixels->Palette = palette->Colors();
    return S_OK;
  }
  HRESULT SetResolution(double DpiX, double DpiY) override
  {
    if (!(DpiX > 0) || !(DpiY > 0))
      return E_INVALIDARG;
    FPixels->DpiX = DpiX;
    FPixels->DpiY = DpiY;
    return S_OK;
  }
  WICBitmapCreateCacheOption CacheOption() const override { return FOption; }

private:
  WICBitmapCreateCacheOption FOption;
};

// Scalers and converters compute their result once, at Initialize.
template <typename Interface> class TComputed : public TSource<Interface> {
protected:
  HRESULT Keep(const std::vector<TRgba16>& Image, UINT Width, UINT Height, const GUID& Format,
               std::vector<WICColor> Palette, double DpiX, double DpiY)
  {
    if (this->FPixels)
      return WINCODEC_ERR_WRONGSTATE;
    std::shared_ptr<TPixels> pixels;
    if (const HRESULT hr = WritePixels(Image, Width, Height, Format, std::move(Palette), &pixels); FAILED(hr))
      return hr;
    pixels->DpiX = DpiX;
    pixels->DpiY = DpiY;
    this->FPixels = std::move(pixels);
    return S_OK;
  }
};

void ResolutionOf(IWICBitmapSource* Source, double& DpiX, double& DpiY)
{
  if (FAILED(Source->GetResolution(&DpiX, &DpiY)))
    DpiX = DpiY = 96;
}

class TScaler final : public TComputed<IWICBitmapScaler> {
public:
  HRESULT Initialize(IWICBitmapSource* Source, UINT Width, UINT Height, WICBitmapInterpolationMode Mode) override
  {
    if (FPixels)
      return WINCODEC_ERR_WRONGSTATE;
    if (!Source || Width == 0 || Height == 0 || Mode < WICBitmapInterpolationModeNearestNeighbor ||
        Mode > WICBitmapInterpolationModeFant)
      return E_INVALIDARG;
    if (Width > WICMaxBitmapSide || Height > WICMaxBitmapSide || std::uint64_t(Width) * Height > MaxWorkPixels)
      return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
    UINT sourceWidth = 0, sourceHeight = 0;
    std::vector<TRgba16> image;
    GUID format;
    if (const HRESULT hr = ReadSource(Source, sourceWidth, sourceHeight, image); FAILED(hr))
      return hr;
    // The first pass holds the new width at the old height.
    if (std::uint64_t(Width) * sourceHeight > MaxWorkPixels)
      return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
    Source->GetPixelFormat(&format);
    if (FindFormat(format)->Layout == TLayout::Indexed)
      format = WICPixelFormat::BGRA32bpp;
    double dpiX, dpiY;
    ResolutionOf(Source, dpiX, dpiY);
    return Keep(Resample(image, sourceWidth, sourceHeight, Width, Height, Mode), Width, Height, format, {}, dpiX, dpiY);
  }
};

class TConverter final : public TComputed<IWICFormatConverter> {
public:
  HRESULT Initialize(IWICBitmapSource* Source, REFWICPixelFormatGUID Format, WICBitmapDitherType Dither,
                     IWICPalette* Palette, double AlphaThreshold, WICBitmapPaletteType Translate) override
  {
    (void)Dither;
    (void)AlphaThreshold;
    (void)Translate;
    if (FPixels)
      return WINCODEC_ERR_WRONGSTATE;
    if (!FindFormat(Format))
      return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    UINT width = 0, height = 0;
    std::vector<TRgba16> image;
    std::vector<WICColor> palette;
    if (const HRESULT hr = ReadSource(Source, width, height, image, &palette); FAILED(hr))
      return hr;
    if (auto* given = dynamic_cast<TPalette*>(Palette))
      palette = given->Colors();
    double dpiX, dpiY;
    ResolutionOf(Source, dpiX, dpiY);
    return Keep(image, width, height, Format, std::move(palette), dpiX, dpiY);
  }
  HRESULT CanConvert(REFWICPixelFormatGUID From, REFWICPixelFormatGUID To, BOOL* Result) override
  {
    if (!Result)
      return E_INVALIDARG;
    *Result = FindFormat(From) && FindFormat(To);
    return S_OK;
  }
};

template <typename T, typename I> HRESULT Created(std::shared_ptr<I>* Out, std::shared_ptr<T> Object)
{
  if (!Out)
    return E_INVALIDARG;
  *Out = std::move(Object);
  return S_OK;
}

HRESULT BitmapOf(std::shared_ptr<TPixels> Pixels, WICBitmapCreateCacheOption Option, std::shared_ptr<IWICBitmap>* Out)
{
  return Created(Out, std::make_shared<TBitmap>(std::move(Pixels), Option));
}

// A copy of 32-bit surface pixels (0xAARRGGBB) as a bitmap of Format; Alpha,
// when given, replaces each pixel's alpha byte.
HRESULT BitmapFromSurface(HBITMAP Surface, const GUID& Format, HBITMAP AlphaMask, std::shared_ptr<IWICBitmap>* Out)
{
  const int width = BitmapWidth(Surface), height = BitmapHeight(Surface);
  std::shared_ptr<TPixels> pixels;
  if (const HRESULT hr = NewPixels(UINT(std::max(width, 0)), UINT(std::max(height, 0)), Format, &pixels); FAILED(hr))
    return hr;
  const std::uint32_t* bits = BitmapBits(Surface);
  const std::uint32_t* mask = AlphaMask ? BitmapBits(AlphaMask) : nullptr;
  for (UINT y = 0; y < pixels->Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(pixels->Row(y));
    for (UINT x = 0; x < pixels->Width; ++x) {
      std::uint32_t p = bits[std::size_t(y) * pixels->Width + x];
      if (mask)
        p = (mask[std::size_t(y) * pixels->Width + x] & 0xFFFFFF) ? 0 : (p | 0xFF000000u);
      std::memcpy(row + x, &p, 4);
    }
  }
  return BitmapOf(std::move(pixels), WICBitmapCacheOnLoad, Out);
}

bool IsBitmap(HBITMAP Bitmap)
{
  return Bitmap && GetObjectType(ToGdiObject(Bitmap)) == OBJ_BITMAP;
}

class TFactory final : public IWICImagingFactory {
public:
  HRESULT CreatePalette(std::shared_ptr<IWICPalette>* Out) override
  {
    return Created(Out, std::make_shared<TPalette>());
  }
  HRESULT CreateFormatConverter(std::shared_ptr<IWICFormatConverter>* Out) override
  {
    return Created(Out, std::make_shared<TConverter>());
  }
  HRESULT CreateBitmapScaler(std::shared_ptr<IWICBitmapScaler>* Out) override
  {
    return Created(Out, std::make_shared<TScaler>());
  }
  HRESULT CreateBitmap(UINT Width, UINT Height, REFWICPixelFormatGUID Format, WICBitmapCreateCacheOption Option,
                       std::shared_ptr<IWICBitmap>* Out) override
  {
    if (Option < WICBitmapNoCache || Option > WICBitmapCacheOnLoad)
      return E_INVALIDARG;
    std::shared_ptr<TPixels> pixels;
    if (const HRESULT hr = NewPixels(Width, Height, Format, &pixels); FAILED(hr))
      return hr;
    return BitmapOf(std::move(pixels), Option, Out);
  }
  HRESULT CreateBitmapFromSource(IWICBitmapSource* Source, WICBitmapCreateCacheOption Option,
                                 std::shared_ptr<IWICBitmap>* Out) override
  {
    if (!Source || Option < WICBitmapNoCache || Option > WICBitmapCacheOnLoad)
      return E_INVALIDARG;
    UINT width = 0, height = 0;
    if (const HRESULT hr = Source->GetSize(&width, &height); FAILED(hr))
      return hr;
    return CopySource(Source, 0, 0, width, height, Option, Out);
  }
  HRESULT CreateBitmapFromSourceRect(IWICBitmapSource* Source, UINT X, UINT Y, UINT Width, UINT Height,
                                     std::shared_ptr<IWICBitmap>* Out) override
  {
    if (!Source)
      return E_INVALIDARG;
    return CopySource(Source, X, Y, Width, Height, WICBitmapCacheOnLoad, Out);
  }
  HRESULT CreateBitmapFromMemory(UINT Width, UINT Height, REFWICPixelFormatGUID Format, UINT Stride,
                                 UINT BufferSize, const BYTE* Buffer, std::shared_ptr<IWICBitmap>* Out) override
  {
    std::shared_ptr<TPixels> pixels;
    if (const HRESULT hr = NewPixels(Width, Height, Format, &pixels); FAILED(hr))
      return hr;
    const std::uint64_t rowSize = RowBytes(*pixels->Info, Width);
    if (const HRESULT hr = CheckBuffer(rowSize, Height, Stride, BufferSize, Buffer); FAILED(hr))
      return hr;
    for (UINT y = 0; y < Height; ++y)
      std::memcpy(pixels->Row(y), Buffer + std::size_t(y) * Stride, std::size_t(rowSize));
    return BitmapOf(std::move(pixels), WICBitmapCacheOnLoad, Out);
  }
  HRESULT CreateBitmapFromHBITMAP(HBITMAP Bitmap, void* Palette, WICBitmapAlphaChannelOption Option,
                                  std::shared_ptr<IWICBitmap>* Out) override
  {
    (void)Palette;
    if (!IsBitmap(Bitmap))
      return E_INVALIDARG;
    switch (Option) {
    case WICBitmapUseAlpha:
      return BitmapFromSurface(Bitmap, WICPixelFormat::BGRA32bpp, nullptr, Out);
    case WICBitmapUsePremultipliedAlpha:
      return BitmapFromSurface(Bitmap, WICPixelFormat::PBGRA32bpp, nullptr, Out);
    case WICBitmapIgnoreAlpha:
      return BitmapFromSurface(Bitmap, WICPixelFormat::BGR32bpp, nullptr, Out);
    }
    return E_INVALIDARG;
  }
  HRESULT CreateBitmapFromHICON(HICON Icon, std::shared_ptr<IWICBitmap>* Out) override
  {
    ICONINFO info;
    if (!Icon || !GetIconInfo(Icon, &info))
      return E_INVALIDARG;
    const HRESULT hr =
      BitmapFromSurface(info.hbmColor, WICPixelFormat::BGRA32bpp, IconHasAlpha(Icon) ? nullptr : info.hbmMask, Out);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return hr;
  }

private:
  static HRESULT CopySource(IWICBitmapSource* Source, UINT X, UINT Y, UINT Width, UINT Height,
                            WICBitmapCreateCacheOption Option, std::shared_ptr<IWICBitmap>* Out)
  {
    GUID format;
    if (const HRESULT hr = Source->GetPixelFormat(&format); FAILED(hr))
      return hr;
    std::shared_ptr<TPixels> pixels;
    if (const HRESULT hr = NewPixels(Width, Height, format, &pixels); FAILED(hr))
      return hr;
    if (X > INT32_MAX || Y > INT32_MAX)
      return E_INVALIDARG;
    const WICRect rect{INT(X), INT(Y), INT(Width), INT(Height)};
    if (const HRESULT hr = Source->CopyPixels(&rect, pixels->Stride, UINT(pixels->Bytes.size()), pixels->Bytes.data());
        FAILED(hr))
      return hr;
    TPalette palette;
    if (SUCCEEDED(Source->CopyPalette(&palette))) {
      pixels->HasPalette = true;
      pixels->Palette = palette.Colors();
    }
    ResolutionOf(Source, pixels->DpiX, pixels->DpiY);
    return BitmapOf(std::move(pixels), Option, Out);
  }
};

} // namespace

HRESULT WICCreateImagingFactory(std::shared_ptr<IWICImagingFactory>* Factory)
{
  if (!Factory)
    return E_POINTER;
  if (!Available)
    return REGDB_E_CLASSNOTREG;
  *Factory = std::make_shared<TFactory>();
  return S_OK;
}

bool WICIsAvailable()
{
  return Available;
}

void WICSetAvailable(bool Value)
{
  Available = Value;
}

UINT WICBitsPerPixel(REFWICPixelFormatGUID Format)
{
  const TFormatInfo* info = FindFormat(Format);
  return info ? info->Bits : 0;
}

} // namespace Win

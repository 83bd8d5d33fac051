#include "Quorex.Imaging.WincodecAdapter.hpp"

#include <System.SysUtils.Errors.hpp>
#include <System.Win.ComObj.hpp>

#include <mutex>

namespace Quorex {

using namespace Vcl;

namespace {

const char* const kUnit = "Quorex.Imaging.WincodecAdapter";

namespace F = Win::WICPixelFormat;

const std::array<const Win::GUID*, 78>& PixelFormatTable()
{
  static const std::array<const Win::GUID*, 78> table{
  &F::Undefined,
  &F::DontCare,
  &F::Indexed1bpp,
  &F::Indexed2bpp,
  &F::Indexed4bpp,
  &F::Indexed8bpp,
  &F::BlackWhite,
  &F::Gray2bpp,
  &F::Gray4bpp,
  &F::Gray8bpp,
  &F::Alpha8bpp,
  &F::BGR555_16bpp,
  &F::BGR565_16bpp,
  &F::BGRA5551_16bpp,
  &F::Gray16bpp,
  &F::BGR24bpp,
  &F::RGB24bpp,
  &F::BGR32bpp,
  &F::BGRA32bpp,
  &F::PBGRA32bpp,
  &F::GrayFloat32bpp,
  &F::RGBA32bpp,
  &F::PRGBA32bpp,
  &F::RGB48bpp,
  &F::BGR48bpp,
  &F::RGBA64bpp,
  &F::BGRA64bpp,
  &F::PRGBA64bpp,
  &F::PBGRA64bpp,
  &F::GrayFixedPoint16bpp,
  &F::BGR101010_32bpp,
  &F::RGBFixedPoint48bpp,
  &F::BGRFixedPoint48bpp,
  &F::RGBFixedPoint96bpp,
  &F::RGBAFloat128bpp,
  &F::PRGBAFloat128bpp,
  &F::RGBFloat128bpp,
  &F::CMYK32bpp,
  &F::RGBAFixedPoint64bpp,
  &F::BGRAFixedPoint64bpp,
  &F::RGBFixedPoint64bpp,
  &F::RGBAFixedPoint128bpp,
  &F::RGBFixedPoint128bpp,
  &F::RGBAHalf64bpp,
  &F::RGBHalf64bpp,
  &F::RGBHalf48bpp,
  &F::RGBE32bpp,
  &F::GrayHalf16bpp,
  &F::GrayFixedPoint32bpp,
  &F::RGBA1010102_32bpp,
  &F::RGBA1010102XR_32bpp,
  &F::CMYK64bpp,
  &F::Channels3_24bpp,
  &F::Channels4_32bpp,
  &F::Channels5_40bpp,
  &F::Channels6_48bpp,
  &F::Channels7_56bpp,
  &F::Channels8_64bpp,
  &F::Channels3_48bpp,
  &F::Channels4_64bpp,
  &F::Channels5_80bpp,
  &F::Channels6_96bpp,
  &F::Channels7_112bpp,
  &F::Channels8_128bpp,
  &F::CMYKAlpha40bpp,
  &F::CMYKAlpha80bpp,
  &F::Channels3Alpha32bpp,
  &F::Channels4Alpha40bpp,
  &F::Channels5Alpha48bpp,
  &F::Channels6Alpha56bpp,
  &F::Channels7Alpha64bpp,
  &F::Channels8Alpha72bpp,
  &F::Channels3Alpha64bpp,
  &F::Channels4Alpha80bpp,
  &F::Channels5Alpha96bpp,
  &F::Channels6Alpha112bpp,
  &F::Channels7Alpha128bpp,
  &F::Channels8Alpha144bpp
  };
  return table;
}

template <typename TWic, std::size_t N, typename TEnum> TWic ToTable(TEnum Value, const std::array<int, N>& Table)
{
  return TWic(Table[std::size_t(Value)]);
}

// The first value holding the number; the first value for a number not in the table.
template <typename TEnum, std::size_t N> TEnum FromTable(int Value, const std::array<int, N>& Table)
{
  for (std::size_t i = 0; i < N; ++i)
    if (Table[i] == Value)
      return TEnum(i);
  return TEnum(0);
}

// Value is read after the call has filled it.
template <typename T> T Checked(Win::HRESULT Result, const T& Value)
{
  OleCheck(Result);
  return Value;
}

Win::WICRect WholeOrPart(const TRect& Rect)
{
  return TQxRectConverter::ToWIC(Rect);
}

std::shared_ptr<Win::IWICBitmapSource> SourceOf(IQxBitmapSource* Source)
{
  QX_ASSERT(Source != nullptr, kUnit);
  return Source->AsWICBitmapSource();
}

} // namespace

// ---- Converters ---------------------------------------------------------------------

const Win::GUID& TQxPixelFormatConverter::ToWIC(TQxPixelFormat Value)
{
  return *PixelFormatTable()[std::size_t(Value)];
}

TQxPixelFormat TQxPixelFormatConverter::FromWIC(const Win::GUID& Value)
{
  const auto& table = PixelFormatTable();
  for (std::size_t i = 0; i < table.size(); ++i)
    if (*table[i] == Value)
      return TQxPixelFormat(i);
  return pfUndefined;
}

Win::WICBitmapInterpolationMode TQxBitmapInterpolationModeConverter::ToWIC(TQxBitmapInterpolationMode Value)
{
  return ToTable<Win::WICBitmapInterpolationMode>(Value, ConverterTable);
}

TQxBitmapInterpolationMode TQxBitmapInterpolationModeConverter::FromWIC(Win::WICBitmapInterpolationMode Value)
{
  return FromTable<TQxBitmapInterpolationMode>(int(Value), ConverterTable);
}

Win::WICBitmapPaletteType TQxBitmapPaletteTypeConverter::ToWIC(TQxBitmapPaletteType Value)
{
  return ToTable<Win::WICBitmapPaletteType>(Value, ConverterTable);
}

TQxBitmapPaletteType TQxBitmapPaletteTypeConverter::FromWIC(Win::WICBitmapPaletteType Value)
{
  return FromTable<TQxBitmapPaletteType>(int(Value), ConverterTable);
}

Win::WICBitmapAlphaChannelOption TQxAlphaChannelOptionConverter::ToWIC(TQxAlphaChannelOption Value)
{
  return ToTable<Win::WICBitmapAlphaChannelOption>(Value, ConverterTable);
}

TQxAlphaChannelOption TQxAlphaChannelOptionConverter::FromWIC(Win::WICBitmapAlphaChannelOption Value)
{
  return FromTable<TQxAlphaChannelOption>(int(Value), ConverterTable);
}

Win::WICBitmapEncoderCacheOption TQxBitmapEncoderCacheOptionConverter::ToWIC(TQxBitmapEncoderCacheOption Value)
{
  return ToTable<Win::WICBitmapEncoderCacheOption>(Value, ConverterTable);
}

TQxBitmapEncoderCacheOption TQxBitmapEncoderCacheOptionConverter::FromWIC(Win::WICBitmapEncoderCacheOption Value)
{
  return FromTable<TQxBitmapEncoderCacheOption>(int(Value), ConverterTable);
}

Win::WICBitmapCreateCacheOption TQxBitmapEncoderCacheOptionConverter::ToCreateOption(TQxBitmapEncoderCacheOption Value)
{
  switch (ToWIC(Value)) {
  case Win::WICBitmapEncoderCacheInMemory:
    return Win::WICBitmapCacheOnLoad;
  case Win::WICBitmapEncoderCacheTempFile:
    return Win::WICBitmapCacheOnDemand;
  case Win::WICBitmapEncoderNoCache:
    break;
  }
  return Win::WICBitmapNoCache;
}

Win::DWORD TQxBitmapLockFlagsConverter::ToWIC(TQxBitmapLockFlags Value)
{
  Win::DWORD flags = 0;
  for (std::size_t i = 0; i < ConverterTable.size(); ++i)
    if (Value.Contains(TQxBitmapLockFlag(i)))
      flags |= Win::DWORD(ConverterTable[i]);
  return flags;
}

TQxBitmapLockFlags TQxBitmapLockFlagsConverter::FromWIC(Win::DWORD Value)
{
  TQxBitmapLockFlags flags;
  for (std::size_t i = 0; i < ConverterTable.size(); ++i)
    if (Value & Win::DWORD(ConverterTable[i]))
      flags.Include(TQxBitmapLockFlag(i));
  return flags;
}

Win::WICRect TQxRectConverter::ToWIC(const TRect& Value)
{
  return {Value.Left, Value.Top, Value.Right - Value.Left, Value.Bottom - Value.Top};
}

TRect TQxRectConverter::FromWIC(const Win::WICRect& Value)
{
  return TRect(Value.X, Value.Y, Value.X + Value.Width, Value.Y + Value.Height);
}

// ---- TQxPalette ---------------------------------------------------------------------

TQxPalette::TQxPalette(std::shared_ptr<Win::IWICPalette> Palette) : FPalette(std::move(Palette))
{
}

TQxBitmapPaletteType TQxPalette::GetPaletteType()
{
  Win::WICBitmapPaletteType type{};
  return TQxBitmapPaletteTypeConverter::FromWIC(Checked(FPalette->GetType(&type), type));
}

Integer TQxPalette::GetColorCount()
{
  Win::UINT count = 0;
  return Integer(Checked(FPalette->GetColorCount(&count), count));
}

bool TQxPalette::GetIsBlackWhite()
{
  Win::BOOL result = 0;
  return Checked(FPalette->IsBlackWhite(&result), result) != 0;
}

bool TQxPalette::GetIsGrayscale()
{
  Win::BOOL result = 0;
  return Checked(FPalette->IsGrayscale(&result), result) != 0;
}

bool TQxPalette::GetHasAlpha()
{
  Win::BOOL result = 0;
  return Checked(FPalette->HasAlpha(&result), result) != 0;
}

void TQxPalette::InitializePredefined(TQxBitmapPaletteType PaletteType, bool AddTransparentColor)
{
  OleCheck(FPalette->InitializePredefined(TQxBitmapPaletteTypeConverter::ToWIC(PaletteType), AddTransparentColor));
}

void TQxPalette::InitializeFromBitmap(IQxBitmapSource* Source, Integer ColorCount, bool AddTransparentColor)
{
  OleCheck(FPalette->InitializeFromBitmap(SourceOf(Source).get(), Win::UINT(std::max(ColorCount, 0)),
                                          AddTransparentColor));
}

void TQxPalette::InitializeFromPalette(IQxPalette* Palette)
{
  QX_ASSERT(Palette != nullptr, kUnit);
  OleCheck(FPalette->InitializeFromPalette(Palette->AsWICPalette().get()));
}

// ---- TQxBitmapSource ----------------------------------------------------------------

TQxBitmapSource::TQxBitmapSource(std::shared_ptr<Win::IUnknown> Source)
  : FSource(std::dynamic_pointer_cast<Win::IWICBitmapSource>(Source))
{
  if (!FSource)
    throw Exception("IWICBitmapSource is not supported, source interface is wrong.");
}

Integer TQxBitmapSource::GetWidth()
{
  Win::UINT width = 0, height = 0;
  return Integer(Checked(FSource->GetSize(&width, &height), width));
}

Integer TQxBitmapSource::GetHeight()
{
  Win::UINT width = 0, height = 0;
  return Integer(Checked(FSource->GetSize(&width, &height), height));
}

TRect TQxBitmapSource::GetBoundsRect()
{
  Win::UINT width = 0, height = 0;
  OleCheck(FSource->GetSize(&width, &height));
  return TRect(0, 0, Integer(width), Integer(height));
}

TQxPixelFormat TQxBitmapSource::GetPixelFormat()
{
  Win::GUID format;
  return TQxPixelFormatConverter::FromWIC(Checked(FSource->GetPixelFormat(&format), format));
}

double TQxBitmapSource::GetDpiX()
{
  double x = 0, y = 0;
  return Checked(FSource->GetResolution(&x, &y), x);
}

double TQxBitmapSource::GetDpiY()
{
  double x = 0, y = 0;
  return Checked(FSource->GetResolution(&x, &y), y);
}

void TQxBitmapSource::CopyPalette(IQxPalette* Palette)
{
  QX_ASSERT(Palette != nullptr, kUnit);
  OleCheck(FSource->CopyPalette(Palette->AsWICPalette().get()));
}

void TQxBitmapSource::CopyPixels(const TRect& Rect, Cardinal Stride, Cardinal BufferSize, Byte* Buffer)
{
  const Win::WICRect rect = WholeOrPart(Rect);
  OleCheck(FSource->CopyPixels(&rect, Stride, BufferSize, Buffer));
}

std::shared_ptr<IQxBitmapSource> TQxBitmapSource::ConvertTo(TQxPixelFormat Format)
{
  std::shared_ptr<Win::IWICFormatConverter> converter;
  OleCheck(TQxImagingFactory::GetInstance()->AsWICImagingFactory()->CreateFormatConverter(&converter));
  OleCheck(converter->Initialize(FSource.get(), TQxPixelFormatConverter::ToWIC(Format), Win::WICBitmapDitherTypeNone,
                                 nullptr, 0, Win::WICBitmapPaletteTypeCustom));
  return std::make_shared<TQxBitmapSource>(converter);
}

Win::HBITMAP TQxBitmapSource::AsBitmapHandle()
{
  const std::shared_ptr<IQxBitmapSource> converted = ConvertTo(pf32bppBGRA);
  const Integer width = converted->GetWidth(), height = converted->GetHeight();
  Win::HBITMAP bitmap = Win::CreateBitmap32(width, height);
  if (!bitmap)
    throw EOutOfResources("Out of system resources");
  try {
    const Cardinal stride = Cardinal(width) * 4;
    converted->CopyPixels(converted->GetBoundsRect(), stride, stride * Cardinal(height),
                          reinterpret_cast<Byte*>(Win::BitmapBits(bitmap)));
  } catch (...) {
    Win::DeleteObject(bitmap);
    throw;
  }
  return bitmap;
}

Win::HICON TQxBitmapSource::AsIconHandle()
{
  Win::HBITMAP color = AsBitmapHandle();
  Win::HDC screen = Win::GetDC(nullptr);
  Win::HBITMAP mask = Win::CreateCompatibleBitmap(screen, Win::BitmapWidth(color), Win::BitmapHeight(color));
  Win::ReleaseDC(nullptr, screen);
  Win::HICON icon = nullptr;
  if (mask) {
    Win::ICONINFO info;
    info.hbmColor = color;
    info.hbmMask = mask;
    icon = Win::CreateIconIndirect(&info);
    Win::DeleteObject(mask);
  }
  Win::DeleteObject(color);
  return icon;
}

void TQxBitmapSource::AssignTo(TBitmap* Bitmap)
{
  QX_ASSERT(Bitmap != nullptr, kUnit);
  Bitmap->SetHandle(AsBitmapHandle());
}

void TQxBitmapSource::AssignTo(TIcon* Icon)
{
  QX_ASSERT(Icon != nullptr, kUnit);
  Icon->SetHandle(AsIconHandle());
}

void TQxBitmapSource::AssignTo(TIconEx* Icon)
{
  (void)Icon;
}

void TQxBitmapSource::AssignTo(TPngImage* Png)
{
  (void)Png;
}

void TQxBitmapSource::AddToImageList(TCustomImageList* ImageList, TQxBitmapInterpolationMode Mode)
{
  QX_ASSERT(ImageList != nullptr, kUnit);
  QX_ASSERT(!ImageList->Masked(), kUnit);
  const std::shared_ptr<IQxBitmapScaler> scaler = TQxImagingFactory::GetInstance()->CreateBitmapScaler();
  scaler->Initialize(this, ImageList->Width(), ImageList->Height(), Mode);
  TBitmap bitmap;
  scaler->AssignTo(&bitmap);
  ImageList->Add(&bitmap, nullptr);
}

// ---- TQxBitmapLock ------------------------------------------------------------------

TQxBitmapLock::TQxBitmapLock(std::shared_ptr<Win::IWICBitmapLock> Lock) : FLock(std::move(Lock))
{
}

TQxPixelFormat TQxBitmapLock::GetPixelFormat()
{
  Win::GUID format;
  return TQxPixelFormatConverter::FromWIC(Checked(FLock->GetPixelFormat(&format), format));
}

Integer TQxBitmapLock::GetWidth()
{
  Win::UINT width = 0, height = 0;
  return Integer(Checked(FLock->GetSize(&width, &height), width));
}

Integer TQxBitmapLock::GetHeight()
{
  Win::UINT width = 0, height = 0;
  return Integer(Checked(FLock->GetSize(&width, &height), height));
}

Cardinal TQxBitmapLock::GetStride()
{
  Win::UINT stride = 0;
  return Checked(FLock->GetStride(&stride), stride);
}

Cardinal TQxBitmapLock::GetBufferSize()
{
  Win::UINT size = 0;
  Win::BYTE* data = nullptr;
  return Checked(FLock->GetDataPointer(&size, &data), size);
}

Byte* TQxBitmapLock::GetDataPointer()
{
  Win::UINT size = 0;
  Win::BYTE* data = nullptr;
  return Checked(FLock->GetDataPointer(&size, &data), data);
}

// ---- TQxBitmap, TQxBitmapScaler ----------------------------------------------------

TQxBitmap::TQxBitmap(std::shared_ptr<Win::IWICBitmap> Bitmap) : TQxBitmapSource(Bitmap), FBitmap(std::move(Bitmap))
{
}

std::shared_ptr<IQxBitmapLock> TQxBitmap::Lock(const TRect& Rect, TQxBitmapLockFlags Flags)
{
  const Win::WICRect rect = WholeOrPart(Rect);
  std::shared_ptr<Win::IWICBitmapLock> lock;
  OleCheck(FBitmap->Lock(&rect, TQxBitmapLockFlagsConverter::ToWIC(Flags), &lock));
  return std::make_shared<TQxBitmapLock>(std::move(lock));
}

void TQxBitmap::SetPalette(IQxPalette* Palette)
{
  QX_ASSERT(Palette != nullptr, kUnit);
  OleCheck(FBitmap->SetPalette(Palette->AsWICPalette().get()));
}

void TQxBitmap::SetResolution(double DpiX, double DpiY)
{
  OleCheck(FBitmap->SetResolution(DpiX, DpiY));
}

TQxBitmapScaler::TQxBitmapScaler(std::shared_ptr<Win::IWICBitmapScaler> Scaler)
  : TQxBitmapSource(Scaler), FScaler(std::move(Scaler))
{
}

void TQxBitmapScaler::Initialize(IQxBitmapSource* Source, Integer Width, Integer Height,
                                 TQxBitmapInterpolationMode Mode)
{
  OleCheck(FScaler->Initialize(SourceOf(Source).get(), Win::UINT(std::max(Width, 0)), Win::UINT(std::max(Height, 0)),
                               TQxBitmapInterpolationModeConverter::ToWIC(Mode)));
}

// ---- TQxImagingFactory --------------------------------------------------------------

namespace {

std::mutex InstanceLock;
std::shared_ptr<IQxImagingFactory> Instance;

} // namespace

std::shared_ptr<IQxImagingFactory> TQxImagingFactory::GetInstance()
{
  const std::lock_guard guard(InstanceLock);
  if (!Instance)
    Instance = std::make_shared<TQxImagingFactory>();
  return Instance;
}

void TQxImagingFactory::Release()
{
  const std::lock_guard guard(InstanceLock);
  Instance.reset();
}

TQxImagingFactory::TQxImagingFactory() : FIsSupported(Win::WICIsAvailable())
{
  if (FIsSupported)
    OleCheck(Win::WICCreateImagingFactory(&FFactory));
}

void TQxImagingFactory::CheckSupported() const
{
  if (!FIsSupported || !FFactory)
    throw Exception("Windows Imaging Component (WIC) is not supported by your operating system");
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::Wrap(std::shared_ptr<Win::IWICBitmap> Bitmap)
{
  return std::make_shared<TQxBitmap>(std::move(Bitmap));
}

std::shared_ptr<IQxPalette> TQxImagingFactory::CreatePalette()
{
  CheckSupported();
  std::shared_ptr<Win::IWICPalette> palette;
  OleCheck(FFactory->CreatePalette(&palette));
  return std::make_shared<TQxPalette>(std::move(palette));
}

std::shared_ptr<IQxBitmapScaler> TQxImagingFactory::CreateBitmapScaler()
{
  CheckSupported();
  std::shared_ptr<Win::IWICBitmapScaler> scaler;
  OleCheck(FFactory->CreateBitmapScaler(&scaler));
  return std::make_shared<TQxBitmapScaler>(std::move(scaler));
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmap(Integer Width, Integer Height, TQxPixelFormat Format,
                                                           TQxBitmapEncoderCacheOption CacheOption)
{
  CheckSupported();
  std::shared_ptr<Win::IWICBitmap> bitmap;
  OleCheck(FFactory->CreateBitmap(Win::UINT(std::max(Width, 0)), Win::UINT(std::max(Height, 0)),
                                  TQxPixelFormatConverter::ToWIC(Format),
                                  TQxBitmapEncoderCacheOptionConverter::ToCreateOption(CacheOption), &bitmap));
  return Wrap(std::move(bitmap));
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmapFromSource(IQxBitmapSource* Source,
                                                                     TQxBitmapEncoderCacheOption CacheOption)
{
  CheckSupported();
  std::shared_ptr<Win::IWICBitmap> bitmap;
  OleCheck(FFactory->CreateBitmapFromSource(SourceOf(Source).get(),
                                            TQxBitmapEncoderCacheOptionConverter::ToCreateOption(CacheOption), &bitmap));
  return Wrap(std::move(bitmap));
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmapFromSourceRect(IQxBitmapSource* Source, Integer X,
                                                                         Integer Y, Integer Width, Integer Height)
{
  CheckSupported();
  if (X < 0 || Y < 0 || Width < 0 || Height < 0)
    OleCheck(Win::E_INVALIDARG);
  std::shared_ptr<Win::IWICBitmap> bitmap;
  OleCheck(FFactory->CreateBitmapFromSourceRect(SourceOf(Source).get(), Win::UINT(X), Win::UINT(Y),
                                                Win::UINT(Width), Win::UINT(Height), &bitmap));
  return Wrap(std::move(bitmap));
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmapFromMemory(Integer Width, Integer Height,
                                                                     TQxPixelFormat Format, Cardinal Stride,
                                                                     Cardinal BufferSize, const Byte* Buffer)
{
  CheckSupported();
  if (Width < 0 || Height < 0)
    OleCheck(Win::E_INVALIDARG);
  std::shared_ptr<Win::IWICBitmap> bitmap;
  OleCheck(FFactory->CreateBitmapFromMemory(Win::UINT(Width), Win::UINT(Height), TQxPixelFormatConverter::ToWIC(Format),
                                            Stride, BufferSize, Buffer, &bitmap));
  return Wrap(std::move(bitmap));
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmapFromHBITMAP(Win::HBITMAP Bitmap, void* Palette,
                                                                      TQxAlphaChannelOption AlphaOption)
{
  CheckSupported();
  std::shared_ptr<Win::IWICBitmap> bitmap;
  OleCheck(FFactory->CreateBitmapFromHBITMAP(Bitmap, Palette, TQxAlphaChannelOptionConverter::ToWIC(AlphaOption),
                                             &bitmap));
  return Wrap(std::move(bitmap));
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmapFromHICON(Win::HICON Icon)
{
  CheckSupported();
  std::shared_ptr<Win::IWICBitmap> bitmap;
  OleCheck(FFactory->CreateBitmapFromHICON(Icon, &bitmap));
  return Wrap(std::move(bitmap));
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmapFromVclBitmap(TBitmap* Bitmap,
                                                                        TQxAlphaChannelOption AlphaOption)
{
  QX_ASSERT(Bitmap != nullptr, kUnit);
  CheckSupported();
  return CreateBitmapFromHBITMAP(Bitmap->Handle(), nullptr, AlphaOption);
}

std::shared_ptr<IQxBitmap> TQxImagingFactory::CreateBitmapFromVclIcon(TIcon* Icon)
{
  QX_ASSERT(Icon != nullptr, kUnit);
  CheckSupported();
  return CreateBitmapFromHICON(Icon->Handle());
}

// ---- TQxWincodecUtils ---------------------------------------------------------------

void TQxWincodecUtils::ConvertBitmapToIcon(TBitmap* Bitmap, TIcon* Icon)
{
  QX_ASSERT(Bitmap != nullptr && Icon != nullptr, kUnit);
  Win::HDC screen = Win::GetDC(nullptr);
  Win::HBITMAP mask = Win::CreateCompatibleBitmap(screen, Bitmap->Width(), Bitmap->Height());
  Win::ReleaseDC(nullptr, screen);
  if (!mask)
    throw EOutOfResources("Out of system resources");
  Win::ICONINFO info;
  info.hbmColor = Bitmap->Handle();
  info.hbmMask = mask;
  Icon->SetHandle(Win::CreateIconIndirect(&info));
  Win::DeleteObject(mask);
}

void TQxWincodecUtils::ConvertIconToBitmap(TIcon* Icon, TBitmap* Bitmap)
{
  QX_ASSERT(Icon != nullptr && Bitmap != nullptr, kUnit);
  TQxImagingFactory::GetInstance()->CreateBitmapFromVclIcon(Icon)->AssignTo(Bitmap);
}

} // namespace Quorex

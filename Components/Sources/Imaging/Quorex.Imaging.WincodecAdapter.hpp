// The imaging component behind reference-counted interfaces with the
// library's own enumerations: bitmaps, locks, scalers and palettes made by
// one process-wide factory, so that the rest of the library and hosts create,
// convert, scale and export bitmaps without the component's GUIDs. Failing
// component calls raise EOleSysError.
#pragma once

#include "Quorex.Imaging.IconEx.hpp"

#include <System.SysUtils.hpp>
#include <System.Types.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.Imaging.pngimage.hpp>
#include <Winapi.Wincodec.hpp>

#include <array>
#include <memory>

namespace Quorex {

enum class TQxPixelFormat {
  pfUndefined, pfDontCare, pf1bppIndexed, pf2bppIndexed, pf4bppIndexed, pf8bppIndexed, pfBlackWhite,
  pf2bppGray, pf4bppGray, pf8bppGray, pf8bppAlpha, pf16bppBGR555, pf16bppBGR565, pf16bppBGRA5551, pf16bppGray,
  pf24bppBGR, pf24bppRGB, pf32bppBGR, pf32bppBGRA, pf32bppPBGRA, pf32bppGrayFloat, pf32bppRGBA, pf32bppPRGBA,
  pf48bppRGB, pf48bppBGR, pf64bppRGBA, pf64bppBGRA, pf64bppPRGBA, pf64bppPBGRA, pf16bppGrayFixedPoint,
  pf32bppBGR101010, pf48bppRGBFixedPoint, pf48bppBGRFixedPoint, pf96bppRGBFixedPoint, pf128bppRGBAFloat,
  pf128bppPRGBAFloat, pf128bppRGBFloat, pf32bppCMYK, pf64bppRGBAFixedPoint, pf64bppBGRAFixedPoint,
  pf64bppRGBFixedPoint, pf128bppRGBAFixedPoint, pf128bppRGBFixedPoint, pf64bppRGBAHalf, pf64bppRGBHalf,
  pf48bppRGBHalf, pf32bppRGBE, pf16bppGrayHalf, pf32bppGrayFixedPoint, pf32bppRGBA1010102,
  pf32bppRGBA1010102XR, pf64bppCMYK, pf24bpp3Channels, pf32bpp4Channels, pf40bpp5Channels, pf48bpp6Channels,
  pf56bpp7Channels, pf64bpp8Channels, pf48bpp3Channels, pf64bpp4Channels, pf80bpp5Channels, pf96bpp6Channels,
  pf112bpp7Channels, pf128bpp8Channels, pf40bppCMYKAlpha, pf80bppCMYKAlpha, pf32bpp3ChannelsAlpha,
  pf40bpp4ChannelsAlpha, pf48bpp5ChannelsAlpha, pf56bpp6ChannelsAlpha, pf64bpp7ChannelsAlpha,
  pf72bpp8ChannelsAlpha, pf64bpp3ChannelsAlpha, pf80bpp4ChannelsAlpha, pf96bpp5ChannelsAlpha,
  pf112bpp6ChannelsAlpha, pf128bpp7ChannelsAlpha, pf144bpp8ChannelsAlpha
};
using enum TQxPixelFormat;

enum class TQxBitmapInterpolationMode { bimNearestNeighbor, bimLinear, bimCubic, bimFant };
using enum TQxBitmapInterpolationMode;

enum class TQxBitmapPaletteType {
  bptCustom, bptMedianCut, bptFixedBW, bptFixedHalftone8, bptFixedHalftone27, bptFixedHalftone64,
  bptFixedHalftone125, bptFixedHalftone216, bptFixedWebPalette, bptFixedHalftone252, bptFixedHalftone256,
  bptFixedGray4, bptFixedGray16, bptFixedGray256
};
using enum TQxBitmapPaletteType;

enum class TQxAlphaChannelOption { acoUseAlpha, acoUsePremultipliedAlpha, acoIgnoreAlpha };
using enum TQxAlphaChannelOption;

enum class TQxBitmapEncoderCacheOption { becoCacheInMemory, becoCacheTempFile, becoNoCache };
using enum TQxBitmapEncoderCacheOption;

enum class TQxBitmapLockFlag { blfRead, blfWrite };
using enum TQxBitmapLockFlag;
using TQxBitmapLockFlags = Vcl::TSet<TQxBitmapLockFlag>;

class TQxPixelFormatConverter {
public:
  static const Win::GUID& ToWIC(TQxPixelFormat Value);
  // The first value with that GUID (pfUndefined for the undefined GUID and
  // for any GUID not in the table).
  static TQxPixelFormat FromWIC(const Win::GUID& Value);
};

class TQxBitmapInterpolationModeConverter {
public:
  static constexpr std::array<int, 4> ConverterTable{0, 1, 2, 3};
  static Win::WICBitmapInterpolationMode ToWIC(TQxBitmapInterpolationMode Value);
  static TQxBitmapInterpolationMode FromWIC(Win::WICBitmapInterpolationMode Value);
};

class TQxBitmapPaletteTypeConverter {
public:
  static constexpr std::array<int, 14> ConverterTable{0, 1, 2, 3, 4, 5, 6, 7, 7, 8, 9, 10, 11, 12};
  static Win::WICBitmapPaletteType ToWIC(TQxBitmapPaletteType Value);
  static TQxBitmapPaletteType FromWIC(Win::WICBitmapPaletteType Value);
};

class TQxAlphaChannelOptionConverter {
public:
  static constexpr std::array<int, 3> ConverterTable{0, 1, 2};
  static Win::WICBitmapAlphaChannelOption ToWIC(TQxAlphaChannelOption Value);
  static TQxAlphaChannelOption FromWIC(Win::WICBitmapAlphaChannelOption Value);
};

// The table holds the encoder's cache numbers; creating a bitmap takes the
// component's own cache numbers, which run the other way round
// (ToCreateOption maps them by meaning).
class TQxBitmapEncoderCacheOptionConverter {
public:
  static constexpr std::array<int, 3> ConverterTable{0, 1, 2};
  static Win::WICBitmapEncoderCacheOption ToWIC(TQxBitmapEncoderCacheOption Value);
  static TQxBitmapEncoderCacheOption FromWIC(Win::WICBitmapEncoderCacheOption Value);
  // In memory: cache on load; temporary file: cache on demand; no cache.
  static Win::WICBitmapCreateCacheOption ToCreateOption(TQxBitmapEncoderCacheOption Value);
};

class TQxBitmapLockFlagsConverter {
public:
  static constexpr std::array<int, 2> ConverterTable{1, 2};
  static Win::DWORD ToWIC(TQxBitmapLockFlags Value);
  static TQxBitmapLockFlags FromWIC(Win::DWORD Value);
};

class TQxRectConverter {
public:
  static Win::WICRect ToWIC(const Vcl::TRect& Value);
  static Vcl::TRect FromWIC(const Win::WICRect& Value);
};

class IQxBitmapSource;

class IQxPalette {
public:
  virtual ~IQxPalette() = default;
  virtual TQxBitmapPaletteType GetPaletteType() = 0;
  virtual Vcl::Integer GetColorCount() = 0;
  virtual bool GetIsBlackWhite() = 0;
  virtual bool GetIsGrayscale() = 0;
  virtual bool GetHasAlpha() = 0;
  virtual void InitializePredefined(TQxBitmapPaletteType PaletteType, bool AddTransparentColor) = 0;
  virtual void InitializeFromBitmap(IQxBitmapSource* Source, Vcl::Integer ColorCount, bool AddTransparentColor) = 0;
  virtual void InitializeFromPalette(IQxPalette* Palette) = 0;
  virtual std::shared_ptr<Win::IWICPalette> AsWICPalette() = 0;
};

class IQxBitmapSource {
public:
  virtual ~IQxBitmapSource() = default;
  virtual Vcl::Integer GetWidth() = 0;
  virtual Vcl::Integer GetHeight() = 0;
  virtual Vcl::TRect GetBoundsRect() = 0;
  virtual TQxPixelFormat GetPixelFormat() = 0;
  virtual double GetDpiX() = 0;
  virtual double GetDpiY() = 0;
  virtual void CopyPalette(IQxPalette* Palette) = 0;
  virtual void CopyPixels(const Vcl::TRect& Rect, Vcl::Cardinal Stride, Vcl::Cardinal BufferSize, Vcl::Byte* Buffer) = 0;
  virtual std::shared_ptr<IQxBitmapSource> ConvertTo(TQxPixelFormat Format) = 0;
  // The caller owns the handles.
  virtual Win::HICON AsIconHandle() = 0;
  virtual Win::HBITMAP AsBitmapHandle() = 0;
  virtual void AssignTo(Vcl::TBitmap* Bitmap) = 0;
  virtual void AssignTo(Vcl::TIcon* Icon) = 0;
  virtual void AssignTo(TIconEx* Icon) = 0;
  virtual void AssignTo(Vcl::TPngImage* Png) = 0;
  // Scaled to the list's size and added as one 32-bit image without a mask;
  // the list must be assigned and unmasked.
  virtual void AddToImageList(Vcl::TCustomImageList* ImageList, TQxBitmapInterpolationMode Mode) = 0;
  virtual std::shared_ptr<Win::IWICBitmapSource> AsWICBitmapSource() = 0;
};

class IQxBitmapLock {
public:
  virtual ~IQxBitmapLock() = default;
  virtual TQxPixelFormat GetPixelFormat() = 0;
  virtual Vcl::Integer GetWidth() = 0;
  virtual Vcl::Integer GetHeight() = 0;
  virtual Vcl::Cardinal GetStride() = 0;
  virtual Vcl::Cardinal GetBufferSize() = 0;
  virtual Vcl::Byte* GetDataPointer() = 0;
  virtual std::shared_ptr<Win::IWICBitmapLock> AsWICBitmapLock() = 0;
};

class IQxBitmap : public virtual IQxBitmapSource {
public:
  virtual std::shared_ptr<IQxBitmapLock> Lock(const Vcl::TRect& Rect, TQxBitmapLockFlags Flags) = 0;
  virtual void SetPalette(IQxPalette* Palette) = 0;
  virtual void SetResolution(double DpiX, double DpiY) = 0;
  virtual std::shared_ptr<Win::IWICBitmap> AsWICBitmap() = 0;
};

class IQxBitmapScaler : public virtual IQxBitmapSource {
public:
  virtual void Initialize(IQxBitmapSource* Source, Vcl::Integer Width, Vcl::Integer Height,
                          TQxBitmapInterpolationMode Mode) = 0;
  virtual std::shared_ptr<Win::IWICBitmapScaler> AsWICBitmapScaler() = 0;
};

class IQxImagingFactory {
public:
  virtual ~IQxImagingFactory() = default;
  virtual bool GetIsSupported() = 0;
  virtual std::shared_ptr<IQxPalette> CreatePalette() = 0;
  virtual std::shared_ptr<IQxBitmapScaler> CreateBitmapScaler() = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmap(Vcl::Integer Width, Vcl::Integer Height, TQxPixelFormat Format,
                                                  TQxBitmapEncoderCacheOption CacheOption) = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmapFromSource(IQxBitmapSource* Source,
                                                            TQxBitmapEncoderCacheOption CacheOption) = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmapFromSourceRect(IQxBitmapSource* Source, Vcl::Integer X,
                                                                Vcl::Integer Y, Vcl::Integer Width,
                                                                Vcl::Integer Height) = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmapFromMemory(Vcl::Integer Width, Vcl::Integer Height,
                                                            TQxPixelFormat Format, Vcl::Cardinal Stride,
                                                            Vcl::Cardinal BufferSize, const Vcl::Byte* Buffer) = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmapFromHBITMAP(Win::HBITMAP Bitmap, void* Palette,
                                                             TQxAlphaChannelOption AlphaOption) = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmapFromHICON(Win::HICON Icon) = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmapFromVclBitmap(Vcl::TBitmap* Bitmap,
                                                               TQxAlphaChannelOption AlphaOption) = 0;
  virtual std::shared_ptr<IQxBitmap> CreateBitmapFromVclIcon(Vcl::TIcon* Icon) = 0;
  virtual std::shared_ptr<Win::IWICImagingFactory> AsWICImagingFactory() = 0;
};

class TQxPalette : public IQxPalette {
public:
  explicit TQxPalette(std::shared_ptr<Win::IWICPalette> Palette);
  TQxBitmapPaletteType GetPaletteType() override;
  Vcl::Integer GetColorCount() override;
  bool GetIsBlackWhite() override;
  bool GetIsGrayscale() override;
  bool GetHasAlpha() override;
  void InitializePredefined(TQxBitmapPaletteType PaletteType, bool AddTransparentColor) override;
  void InitializeFromBitmap(IQxBitmapSource* Source, Vcl::Integer ColorCount, bool AddTransparentColor) override;
  void InitializeFromPalette(IQxPalette* Palette) override;
  std::shared_ptr<Win::IWICPalette> AsWICPalette() override { return FPalette; }

private:
  std::shared_ptr<Win::IWICPalette> FPalette;
};

class TQxBitmapSource : public virtual IQxBitmapSource {
public:
  // Exception when the object does not offer the bitmap-source interface.
  explicit TQxBitmapSource(std::shared_ptr<Win::IUnknown> Source);
  Vcl::Integer GetWidth() override;
  Vcl::Integer GetHeight() override;
  Vcl::TRect GetBoundsRect() override;
  TQxPixelFormat GetPixelFormat() override;
  double GetDpiX() override;
  double GetDpiY() override;
  void CopyPalette(IQxPalette* Palette) override;
  void CopyPixels(const Vcl::TRect& Rect, Vcl::Cardinal Stride, Vcl::Cardinal BufferSize, Vcl::Byte* Buffer) override;
  std::shared_ptr<IQxBitmapSource> ConvertTo(TQxPixelFormat Format) override;
  Win::HICON AsIconHandle() override;
  Win::HBITMAP AsBitmapHandle() override;
  void AssignTo(Vcl::TBitmap* Bitmap) override;
  void AssignTo(Vcl::TIcon* Icon) override;
  void AssignTo(TIconEx* Icon) override;
  void AssignTo(Vcl::TPngImage* Png) override;
  void AddToImageList(Vcl::TCustomImageList* ImageList, TQxBitmapInterpolationMode Mode) override;
  std::shared_ptr<Win::IWICBitmapSource> AsWICBitmapSource() override { return FSource; }

private:
  std::shared_ptr<Win::IWICBitmapSource> FSource;
};

class TQxBitmapLock : public IQxBitmapLock {
public:
  explicit TQxBitmapLock(std::shared_ptr<Win::IWICBitmapLock> Lock);
  TQxPixelFormat GetPixelFormat() override;
  Vcl::Integer GetWidth() override;
  Vcl::Integer GetHeight() override;
  Vcl::Cardinal GetStride() override;
  Vcl::Cardinal GetBufferSize() override;
  Vcl::Byte* GetDataPointer() override;
  std::shared_ptr<Win::IWICBitmapLock> AsWICBitmapLock() override { return FLock; }

private:
  std::shared_ptr<Win::IWICBitmapLock> FLock;
};

class TQxBitmap : public TQxBitmapSource, public IQxBitmap {
public:
  explicit TQxBitmap(std::shared_ptr<Win::IWICBitmap> Bitmap);
  std::shared_ptr<IQxBitmapLock> Lock(const Vcl::TRect& Rect, TQxBitmapLockFlags Flags) override;
  void SetPalette(IQxPalette* Palette) override;
  void SetResolution(double DpiX, double DpiY) override;
  std::shared_ptr<Win::IWICBitmap> AsWICBitmap() override { return FBitmap; }

private:
  std::shared_ptr<Win::IWICBitmap> FBitmap;
};

class TQxBitmapScaler : public TQxBitmapSource, public IQxBitmapScaler {
public:
  explicit TQxBitmapScaler(std::shared_ptr<Win::IWICBitmapScaler> Scaler);
  void Initialize(IQxBitmapSource* Source, Vcl::Integer Width, Vcl::Integer Height,
                  TQxBitmapInterpolationMode Mode) override;
  std::shared_ptr<Win::IWICBitmapScaler> AsWICBitmapScaler() override { return FScaler; }

private:
  std::shared_ptr<Win::IWICBitmapScaler> FScaler;
};

// One per process: GetInstance makes it on first use, Release frees it (the
// next GetInstance decides support anew).
class TQxImagingFactory : public IQxImagingFactory {
public:
  static std::shared_ptr<IQxImagingFactory> GetInstance();
  static void Release();

  bool GetIsSupported() override { return FIsSupported; }
  std::shared_ptr<IQxPalette> CreatePalette() override;
  std::shared_ptr<IQxBitmapScaler> CreateBitmapScaler() override;
  std::shared_ptr<IQxBitmap> CreateBitmap(Vcl::Integer Width, Vcl::Integer Height, TQxPixelFormat Format,
                                          TQxBitmapEncoderCacheOption CacheOption) override;
  std::shared_ptr<IQxBitmap> CreateBitmapFromSource(IQxBitmapSource* Source,
                                                    TQxBitmapEncoderCacheOption CacheOption) override;
  std::shared_ptr<IQxBitmap> CreateBitmapFromSourceRect(IQxBitmapSource* Source, Vcl::Integer X, Vcl::Integer Y,
                                                        Vcl::Integer Width, Vcl::Integer Height) override;
  std::shared_ptr<IQxBitmap> CreateBitmapFromMemory(Vcl::Integer Width, Vcl::Integer Height, TQxPixelFormat Format,
                                                    Vcl::Cardinal Stride, Vcl::Cardinal BufferSize,
                                                    const Vcl::Byte* Buffer) override;
  std::shared_ptr<IQxBitmap> CreateBitmapFromHBITMAP(Win::HBITMAP Bitmap, void* Palette,
                                                     TQxAlphaChannelOption AlphaOption) override;
  std::shared_ptr<IQxBitmap> CreateBitmapFromHICON(Win::HICON Icon) override;
  std::shared_ptr<IQxBitmap> CreateBitmapFromVclBitmap(Vcl::TBitmap* Bitmap, TQxAlphaChannelOption AlphaOption) override;
  std::shared_ptr<IQxBitmap> CreateBitmapFromVclIcon(Vcl::TIcon* Icon) override;
  std::shared_ptr<Win::IWICImagingFactory> AsWICImagingFactory() override { return FFactory; }

  TQxImagingFactory();

private:
  // Exception "Windows Imaging Component (WIC) is not supported by your
  // operating system" without a component.
  void CheckSupported() const;
  static std::shared_ptr<IQxBitmap> Wrap(std::shared_ptr<Win::IWICBitmap> Bitmap);

  bool FIsSupported = false;
  std::shared_ptr<Win::IWICImagingFactory> FFactory;
};

class TQxWincodecUtils {
public:
  TQxWincodecUtils() = delete;
  // The icon gets the bitmap's pixels (alpha included) over an all-opaque mask.
  static void ConvertBitmapToIcon(Vcl::TBitmap* Bitmap, Vcl::TIcon* Icon);
  // The bitmap gets the icon as 32-bit pixels with straight alpha.
  static void ConvertIconToBitmap(Vcl::TIcon* Icon, Vcl::TBitmap* Bitmap);
};

} // namespace Quorex

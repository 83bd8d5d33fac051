// The imaging component: memory bitmaps with checked locks, format
// conversion through one 16-bit-per-channel intermediate, scaling (nearest,
// linear, cubic, Fant), palettes and the pixel-format GUIDs, behind COM-style
// interfaces whose calls return HRESULTs. Objects are reference counted
// through std::shared_ptr; every interface derives from IUnknown so that a
// holder can ask whether an object offers another interface (dynamic cast).
#pragma once

#include "Win.Icon.hpp"

#include <Winapi.ActiveX.hpp>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace Win {

using BYTE = std::uint8_t;
using INT = std::int32_t;
using WICColor = std::uint32_t; // 0xAARRGGBB, straight alpha
using WICPixelFormatGUID = GUID;
using REFWICPixelFormatGUID = const GUID&;

inline bool operator==(const GUID& a, const GUID& b)
{
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::equal(a.Data4, a.Data4 + 8, b.Data4);
}

struct WICRect {
  INT X = 0;
  INT Y = 0;
  INT Width = 0;
  INT Height = 0;
};

enum WICBitmapInterpolationMode : int {
  WICBitmapInterpolationModeNearestNeighbor = 0,
  WICBitmapInterpolationModeLinear = 1,
  WICBitmapInterpolationModeCubic = 2,
  WICBitmapInterpolationModeFant = 3,
};

enum WICBitmapPaletteType : int {
  WICBitmapPaletteTypeCustom = 0,
  WICBitmapPaletteTypeMedianCut = 1,
  WICBitmapPaletteTypeFixedBW = 2,
  WICBitmapPaletteTypeFixedHalftone8 = 3,
  WICBitmapPaletteTypeFixedHalftone27 = 4,
  WICBitmapPaletteTypeFixedHalftone64 = 5,
  WICBitmapPaletteTypeFixedHalftone125 = 6,
  WICBitmapPaletteTypeFixedHalftone216 = 7,
  WICBitmapPaletteTypeFixedWebPalette = 7,
  WICBitmapPaletteTypeFixedHalftone252 = 8,
  WICBitmapPaletteTypeFixedHalftone256 = 9,
  WICBitmapPaletteTypeFixedGray4 = 10,
  WICBitmapPaletteTypeFixedGray16 = 11,
  WICBitmapPaletteTypeFixedGray256 = 12,
};

enum WICBitmapAlphaChannelOption : int {
  WICBitmapUseAlpha = 0,
  WICBitmapUsePremultipliedAlpha = 1,
  WICBitmapIgnoreAlpha = 2,
};

// How a new bitmap holds its pixels (the numbers the bitmap creation takes).
enum WICBitmapCreateCacheOption : int {
  WICBitmapNoCache = 0,
  WICBitmapCacheOnDemand = 1,
  WICBitmapCacheOnLoad = 2,
};

enum WICBitmapEncoderCacheOption : int {
  WICBitmapEncoderCacheInMemory = 0,
  WICBitmapEncoderCacheTempFile = 1,
  WICBitmapEncoderNoCache = 2,
};

enum WICBitmapLockFlags : int { WICBitmapLockRead = 1, WICBitmapLockWrite = 2 };

enum WICBitmapDitherType : int { WICBitmapDitherTypeNone = 0 };

constexpr HRESULT WINCODEC_ERR_WRONGSTATE = HRESULT(0x88982F04),
                  WINCODEC_ERR_VALUEOUTOFRANGE = HRESULT(0x88982F05),
                  WINCODEC_ERR_NOTINITIALIZED = HRESULT(0x88982F0C),
                  WINCODEC_ERR_ALREADYLOCKED = HRESULT(0x88982F0D),
                  WINCODEC_ERR_PALETTEUNAVAILABLE = HRESULT(0x88982F45),
                  WINCODEC_ERR_UNSUPPORTEDOPERATION = HRESULT(0x88982F50),
                  WINCODEC_ERR_IMAGESIZEOUTOFRANGE = HRESULT(0x88982F60),
                  WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT = HRESULT(0x88982F80),
                  WINCODEC_ERR_INSUFFICIENTBUFFER = HRESULT(0x88982F8C),
                  REGDB_E_CLASSNOTREG = HRESULT(0x80040154);

// The pixel-format GUIDs the component names (GUID_WICPixelFormat<Name>).
namespace WICPixelFormat {
#define QX_WIC_FORMAT(Name, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7) \
  inline constexpr GUID Name{d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};
#define QX_WIC_BASE(Name, last) QX_WIC_FORMAT(Name, 0x6fddc324, 0x4e03, 0x4bfe, 0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, last)
QX_WIC_BASE(Undefined, 0x00)
QX_WIC_BASE(DontCare, 0x00)
QX_WIC_BASE(Indexed1bpp, 0x01)
QX_WIC_BASE(Indexed2bpp, 0x02)
QX_WIC_BASE(Indexed4bpp, 0x03)
QX_WIC_BASE(Indexed8bpp, 0x04)
QX_WIC_BASE(BlackWhite, 0x05)
QX_WIC_BASE(Gray2bpp, 0x06)
QX_WIC_BASE(Gray4bpp, 0x07)
QX_WIC_BASE(Gray8bpp, 0x08)
QX_WIC_FORMAT(Alpha8bpp, 0xe6cd0116, 0xeeba, 0x4161, 0xaa, 0x85, 0x27, 0xdd, 0x9f, 0xb3, 0xa8, 0x95)
QX_WIC_BASE(BGR555_16bpp, 0x09)
QX_WIC_BASE(BGR565_16bpp, 0x0a)
QX_WIC_FORMAT(BGRA5551_16bpp, 0x05ec7c2b, 0xf1e6, 0x4961, 0xad, 0x46, 0xe1, 0xcc, 0x81, 0x0a, 0x87, 0xd2)
QX_WIC_BASE(Gray16bpp, 0x0b)
QX_WIC_BASE(BGR24bpp, 0x0c)
QX_WIC_BASE(RGB24bpp, 0x0d)
QX_WIC_BASE(BGR32bpp, 0x0e)
QX_WIC_BASE(BGRA32bpp, 0x0f)
QX_WIC_BASE(PBGRA32bpp, 0x10)
QX_WIC_BASE(GrayFloat32bpp, 0x11)
QX_WIC_FORMAT(RGBA32bpp, 0xf5c7ad2d, 0x6a8d, 0x43dd, 0xa7, 0xa8, 0xa2, 0x99, 0x35, 0x26, 0x1a, 0xe9)
QX_WIC_FORMAT(PRGBA32bpp, 0x3cc4a650, 0xa527, 0x4d37, 0xa9, 0x16, 0x31, 0x42, 0xc7, 0xeb, 0xed, 0xba)
QX_WIC_BASE(RGB48bpp, 0x15)
QX_WIC_FORMAT(BGR48bpp, 0xe605a384, 0xb468, 0x46ce, 0xbb, 0x2e, 0x36, 0xf1, 0x80, 0xe6, 0x43, 0x13)
QX_WIC_BASE(RGBA64bpp, 0x16)
QX_WIC_FORMAT(BGRA64bpp, 0x1562ff7c, 0xd352, 0x46f9, 0x97, 0x9e, 0x42, 0x97, 0x6b, 0x79, 0x22, 0x46)
QX_WIC_BASE(PRGBA64bpp, 0x17)
QX_WIC_FORMAT(PBGRA64bpp, 0x8c518e8e, 0xa4ec, 0x468b, 0xae, 0x70, 0xc9, 0xa3, 0x5a, 0x9c, 0x55, 0x30)
QX_WIC_BASE(GrayFixedPoint16bpp, 0x13)
QX_WIC_BASE(BGR101010_32bpp, 0x14)
QX_WIC_BASE(RGBFixedPoint48bpp, 0x12)
QX_WIC_FORMAT(BGRFixedPoint48bpp, 0x49ca140e, 0xcab6, 0x493b, 0x9d, 0xdf, 0x60, 0x18, 0x7c, 0x37, 0x53, 0x2a)
QX_WIC_BASE(RGBFixedPoint96bpp, 0x18)
QX_WIC_BASE(RGBAFloat128bpp, 0x19)
QX_WIC_BASE(PRGBAFloat128bpp, 0x1a)
QX_WIC_BASE(RGBFloat128bpp, 0x1b)
QX_WIC_BASE(CMYK32bpp, 0x1c)
QX_WIC_BASE(RGBAFixedPoint64bpp, 0x1d)
QX_WIC_FORMAT(BGRAFixedPoint64bpp, 0x356de33c, 0x54d2, 0x4a23, 0xbb, 0x04, 0x9b, 0x7b, 0xf9, 0xb1, 0xd4, 0x2d)
QX_WIC_BASE(RGBFixedPoint64bpp, 0x40)
QX_WIC_BASE(RGBAFixedPoint128bpp, 0x1e)
QX_WIC_BASE(RGBFixedPoint128bpp, 0x41)
QX_WIC_BASE(RGBAHalf64bpp, 0x3a)
QX_WIC_BASE(RGBHalf64bpp, 0x42)
QX_WIC_BASE(RGBHalf48bpp, 0x3b)
QX_WIC_BASE(RGBE32bpp, 0x3d)
QX_WIC_BASE(GrayHalf16bpp, 0x3e)
QX_WIC_BASE(GrayFixedPoint32bpp, 0x3f)
QX_WIC_FORMAT(RGBA1010102_32bpp, 0x25238d72, 0xfcf9, 0x4522, 0xb5, 0x14, 0x55, 0x78, 0xe5, 0xad, 0x55, 0xe0)
QX_WIC_FORMAT(RGBA1010102XR_32bpp, 0x00de6b9a, 0xc101, 0x434b, 0xb5, 0x02, 0xd0, 0x16, 0x5e, 0xe1, 0x12, 0x2c)
QX_WIC_BASE(CMYK64bpp, 0x1f)
QX_WIC_BASE(Channels3_24bpp, 0x20)
QX_WIC_BASE(Channels4_32bpp, 0x21)
QX_WIC_BASE(Channels5_40bpp, 0x22)
QX_WIC_BASE(Channels6_48bpp, 0x23)
QX_WIC_BASE(Channels7_56bpp, 0x24)
QX_WIC_BASE(Channels8_64bpp, 0x25)
QX_WIC_BASE(Channels3_48bpp, 0x26)
QX_WIC_BASE(Channels4_64bpp, 0x27)
QX_WIC_BASE(Channels5_80bpp, 0x28)
QX_WIC_BASE(Channels6_96bpp, 0x29)
QX_WIC_BASE(Channels7_112bpp, 0x2a)
QX_WIC_BASE(Channels8_128bpp, 0x2b)
QX_WIC_BASE(CMYKAlpha40bpp, 0x2c)
QX_WIC_BASE(CMYKAlpha80bpp, 0x2d)
QX_WIC_BASE(Channels3Alpha32bpp, 0x2e)
QX_WIC_BASE(Channels4Alpha40bpp, 0x2f)
QX_WIC_BASE(Channels5Alpha48bpp, 0x30)
QX_WIC_BASE(Channels6Alpha56bpp, 0x31)
QX_WIC_BASE(Channels7Alpha64bpp, 0x32)
QX_WIC_BASE(Channels8Alpha72bpp, 0x33)
QX_WIC_BASE(Channels3Alpha64bpp, 0x34)
QX_WIC_BASE(Channels4Alpha80bpp, 0x35)
QX_WIC_BASE(Channels5Alpha96bpp, 0x36)
QX_WIC_BASE(Channels6Alpha112bpp, 0x37)
QX_WIC_BASE(Channels7Alpha128bpp, 0x38)
QX_WIC_BASE(Channels8Alpha144bpp, 0x39)
#undef QX_WIC_BASE
#undef QX_WIC_FORMAT
} // namespace WICPixelFormat

class IUnknown {
public:
  virtual ~IUnknown() = default;
};

class IWICBitmapSource;

class IWICPalette : public IUnknown {
public:
  virtual HRESULT InitializePredefined(WICBitmapPaletteType ePaletteType, BOOL fAddTransparentColor) = 0;
  virtual HRESULT InitializeCustom(const WICColor* pColors, UINT cCount) = 0;
  // Median cut over the source's colours (at most cCount, 2 .. 256).
  virtual HRESULT InitializeFromBitmap(IWICBitmapSource* pISurface, UINT cCount, BOOL fAddTransparentColor) = 0;
  virtual HRESULT InitializeFromPalette(IWICPalette* pIPalette) = 0;
  virtual HRESULT GetType(WICBitmapPaletteType* pePaletteType) = 0;
  virtual HRESULT GetColorCount(UINT* pcCount) = 0;
  virtual HRESULT GetColors(UINT cCount, WICColor* pColors, UINT* pcActualColors) = 0;
  virtual HRESULT IsBlackWhite(BOOL* pfIsBlackWhite) = 0;
  virtual HRESULT IsGrayscale(BOOL* pfIsGrayscale) = 0;
  virtual HRESULT HasAlpha(BOOL* pfHasAlpha) = 0;
};

class IWICBitmapSource : public IUnknown {
public:
  virtual HRESULT GetSize(UINT* puiWidth, UINT* puiHeight) = 0;
  virtual HRESULT GetPixelFormat(WICPixelFormatGUID* pPixelFormat) = 0;
  virtual HRESULT GetResolution(double* pDpiX, double* pDpiY) = 0;
  // WINCODEC_ERR_PALETTEUNAVAILABLE for a source without a palette.
  virtual HRESULT CopyPalette(IWICPalette* pIPalette) = 0;
  // prc nullptr is the whole image. The rectangle must lie inside the image,
  // cbStride must hold a row of it and cbBufferSize the rows (the last one
  // needs only its own bytes): otherwise E_INVALIDARG or
  // WINCODEC_ERR_INSUFFICIENTBUFFER and nothing is written.
  virtual HRESULT CopyPixels(const WICRect* prc, UINT cbStride, UINT cbBufferSize, BYTE* pbBuffer) = 0;
};

class IWICBitmapLock : public IUnknown {
public:
  virtual HRESULT GetSize(UINT* puiWidth, UINT* puiHeight) = 0;
  virtual HRESULT GetStride(UINT* pcbStride) = 0;
  // The locked rectangle's bytes: from its first pixel to the last one.
  virtual HRESULT GetDataPointer(UINT* pcbBufferSize, BYTE** ppbData) = 0;
  virtual HRESULT GetPixelFormat(WICPixelFormatGUID* pPixelFormat) = 0;
};

class IWICBitmap : public IWICBitmapSource {
public:
  // Any number of read locks, or one write lock; the lock ends when its
  // last reference goes.
  virtual HRESULT Lock(const WICRect* prcLock, DWORD flags, std::shared_ptr<IWICBitmapLock>* ppILock) = 0;
  virtual HRESULT SetPalette(IWICPalette* pIPalette) = 0;
  virtual HRESULT SetResolution(double dpiX, double dpiY) = 0;
  // How the bitmap was asked to hold its pixels (they are always in memory).
  virtual WICBitmapCreateCacheOption CacheOption() const = 0;
};

// The result keeps the source's format; an indexed source is scaled to
// 32bppBGRA. Colours are averaged in premultiplied space.
class IWICBitmapScaler : public IWICBitmapSource {
public:
  virtual HRESULT Initialize(IWICBitmapSource* pISource, UINT uiWidth, UINT uiHeight,
                             WICBitmapInterpolationMode mode) = 0;
};

class IWICFormatConverter : public IWICBitmapSource {
public:
  // Converting to an indexed format takes pIPalette, else the source's palette,
  // else a fixed palette of the depth's size (black and white, grey 4,
  // halftone 8, halftone 256); the nearest colour is chosen.
  virtual HRESULT Initialize(IWICBitmapSource* pISource, REFWICPixelFormatGUID dstFormat,
                             WICBitmapDitherType dither, IWICPalette* pIPalette, double alphaThresholdPercent,
                             WICBitmapPaletteType paletteTranslate) = 0;
  virtual HRESULT CanConvert(REFWICPixelFormatGUID srcPixelFormat, REFWICPixelFormatGUID dstPixelFormat,
                             BOOL* pfCanConvert) = 0;
};

class IWICImagingFactory : public IUnknown {
public:
  virtual HRESULT CreatePalette(std::shared_ptr<IWICPalette>* ppIPalette) = 0;
  virtual HRESULT CreateFormatConverter(std::shared_ptr<IWICFormatConverter>* ppIFormatConverter) = 0;
  virtual HRESULT CreateBitmapScaler(std::shared_ptr<IWICBitmapScaler>* ppIBitmapScaler) = 0;
  virtual HRESULT CreateBitmap(UINT uiWidth, UINT uiHeight, REFWICPixelFormatGUID pixelFormat,
                               WICBitmapCreateCacheOption option, std::shared_ptr<IWICBitmap>* ppIBitmap) = 0;
  virtual HRESULT CreateBitmapFromSource(IWICBitmapSource* pIBitmapSource, WICBitmapCreateCacheOption option,
                                         std::shared_ptr<IWICBitmap>* ppIBitmap) = 0;
  virtual HRESULT CreateBitmapFromSourceRect(IWICBitmapSource* pIBitmapSource, UINT x, UINT y, UINT width,
                                             UINT height, std::shared_ptr<IWICBitmap>* ppIBitmap) = 0;
  // cbStride must hold a row and cbBufferSize every row (the last needs only
  // its own bytes), else E_INVALIDARG / WINCODEC_ERR_INSUFFICIENTBUFFER.
  virtual HRESULT CreateBitmapFromMemory(UINT uiWidth, UINT uiHeight, REFWICPixelFormatGUID pixelFormat,
                                         UINT cbStride, UINT cbBufferSize, const BYTE* pbBuffer,
                                         std::shared_ptr<IWICBitmap>* ppIBitmap) = 0;
  // A 32bppBGRA bitmap (32bppPBGRA with premultiplied alpha, 32bppBGR when
  // ignoring alpha) of the surface's pixels; hPalette is unused (surfaces
  // have no palette).
  virtual HRESULT CreateBitmapFromHBITMAP(HBITMAP hBitmap, void* hPalette, WICBitmapAlphaChannelOption options,
                                          std::shared_ptr<IWICBitmap>* ppIBitmap) = 0;
  // A 32bppBGRA bitmap: the icon's alpha, or its mask for an icon without.
  virtual HRESULT CreateBitmapFromHICON(HICON hIcon, std::shared_ptr<IWICBitmap>* ppIBitmap) = 0;
};

// The component's largest side. Bitmaps above 256 MiB, and conversions,
// scalings and median cuts over more than 16 M pixels, fail with
// WINCODEC_ERR_IMAGESIZEOUTOFRANGE instead of allocating.
constexpr UINT WICMaxBitmapSide = 65535;

// Creates the component's factory; REGDB_E_CLASSNOTREG while the component
// is switched off.
HRESULT WICCreateImagingFactory(std::shared_ptr<IWICImagingFactory>* ppIFactory);
// Whether this system offers the component; tests switch it off to see the
// paths of a system without it.
bool WICIsAvailable();
void WICSetAvailable(bool Value);
// Bits per pixel of a format the component handles; 0 for any other.
UINT WICBitsPerPixel(REFWICPixelFormatGUID Format);

} // namespace Win

#include <Quorex.Imaging.WincodecAdapter.hpp>

#include <System.Win.ComObj.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

std::shared_ptr<IQxImagingFactory> Factory()
{
  return TQxImagingFactory::GetInstance();
}

// Raises EOleSysError with this code.
template <typename F> void ExpectOleError(Win::HRESULT Code, F&& Call)
{
  try {
    Call();
    ADD_FAILURE() << "no EOleSysError";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), Code) << e.Message();
  }
}

std::shared_ptr<IQxBitmap> FromPixels(Integer Width, Integer Height, TQxPixelFormat Format,
                                      const std::vector<Byte>& Bytes)
{
  const Cardinal stride = Cardinal(Bytes.size() / std::size_t(Height));
  return Factory()->CreateBitmapFromMemory(Width, Height, Format, stride, Cardinal(Bytes.size()), Bytes.data());
}

std::vector<Byte> PixelsOf(IQxBitmapSource& Source, Cardinal BytesPerRow)
{
  std::vector<Byte> bytes(std::size_t(BytesPerRow) * std::size_t(Source.GetHeight()));
  Source.CopyPixels(Source.GetBoundsRect(), BytesPerRow, Cardinal(bytes.size()), bytes.data());
  return bytes;
}

// A 32-bit BGRA checkerboard of single pixels.
std::shared_ptr<IQxBitmap> Checkerboard(Integer Size, std::array<Byte, 4> Even, std::array<Byte, 4> Odd)
{
  std::vector<Byte> bytes;
  for (Integer y = 0; y < Size; ++y)
    for (Integer x = 0; x < Size; ++x) {
      const auto& p = (x + y) % 2 == 0 ? Even : Odd;
      bytes.insert(bytes.end(), p.begin(), p.end());
    }
  return FromPixels(Size, Size, pf32bppBGRA, bytes);
}

class ImagingUnsupported : public ::testing::Test {
protected:
  void SetUp() override
  {
    TQxImagingFactory::Release();
    Win::WICSetAvailable(false);
  }
  void TearDown() override
  {
    Win::WICSetAvailable(true);
    TQxImagingFactory::Release();
  }
};

} // namespace

TEST(WincodecConverters, EveryPixelFormatRoundTripsThroughItsGuid)
{
  std::set<std::vector<Byte>> seen;
  for (int i = 0; i < 78; ++i) {
    const auto format = TQxPixelFormat(i);
    const Win::GUID& guid = TQxPixelFormatConverter::ToWIC(format);
    const auto* raw = reinterpret_cast<const Byte*>(&guid);
    seen.insert(std::vector<Byte>(raw, raw + sizeof guid));
    EXPECT_EQ(TQxPixelFormatConverter::FromWIC(guid), format == pfDontCare ? pfUndefined : format) << i;
  }
  EXPECT_EQ(seen.size(), 77u); // only the undefined GUID is shared
  EXPECT_EQ(TQxPixelFormatConverter::FromWIC(Win::GUID{1, 2, 3, {}}), pfUndefined);
  EXPECT_EQ(TQxPixelFormatConverter::ToWIC(pf144bpp8ChannelsAlpha), Win::WICPixelFormat::Channels8Alpha144bpp);
}

TEST(WincodecConverters, TablesKeepTheirNumbersAndMapCacheOptionsByMeaning)
{
  EXPECT_EQ(TQxBitmapPaletteTypeConverter::ToWIC(bptFixedWebPalette), 7);
  EXPECT_EQ(TQxBitmapPaletteTypeConverter::ToWIC(bptFixedHalftone216), 7);
  EXPECT_EQ(TQxBitmapPaletteTypeConverter::FromWIC(Win::WICBitmapPaletteType(7)), bptFixedHalftone216);
  EXPECT_EQ(TQxBitmapPaletteTypeConverter::FromWIC(Win::WICBitmapPaletteTypeFixedGray256), bptFixedGray256);
  EXPECT_EQ(TQxBitmapInterpolationModeConverter::ToWIC(bimFant), Win::WICBitmapInterpolationModeFant);
  EXPECT_EQ(TQxAlphaChannelOptionConverter::FromWIC(Win::WICBitmapIgnoreAlpha), acoIgnoreAlpha);
  EXPECT_EQ(TQxBitmapLockFlagsConverter::ToWIC({blfRead, blfWrite}), 3u);
  EXPECT_EQ(TQxBitmapLockFlagsConverter::FromWIC(2), TQxBitmapLockFlags{blfWrite});
  const TRect rect(2, 3, 12, 8);
  const Win::WICRect wic = TQxRectConverter::ToWIC(rect);
  EXPECT_EQ(wic.Width, 10);
  EXPECT_EQ(wic.Height, 5);
  EXPECT_EQ(TQxRectConverter::FromWIC(wic), rect);

  // The encoder numbers stay at the interface; the bitmap gets the cache
  // behaviour each one means ("no cache" is not "cache on load").
  EXPECT_EQ(TQxBitmapEncoderCacheOptionConverter::ToWIC(becoNoCache), 2);
  const std::pair<TQxBitmapEncoderCacheOption, Win::WICBitmapCreateCacheOption> meanings[] = {
    {becoCacheInMemory, Win::WICBitmapCacheOnLoad},
    {becoCacheTempFile, Win::WICBitmapCacheOnDemand},
    {becoNoCache, Win::WICBitmapNoCache}};
  for (const auto& [option, expected] : meanings)
    EXPECT_EQ(Factory()->CreateBitmap(4, 4, pf32bppBGRA, option)->AsWICBitmap()->CacheOption(), expected);
}

TEST_F(ImagingUnsupported, EveryCreatingOperationRaisesTheMessage)
{
  auto factory = TQxImagingFactory::GetInstance();
  EXPECT_FALSE(factory->GetIsSupported());
  TBitmap bitmap(4, 4);
  TIcon icon;
  const Byte bytes[16] = {};
  const std::vector<std::function<void()>> calls = {
    [&] { factory->CreatePalette(); },
    [&] { factory->CreateBitmapScaler(); },
    [&] { factory->CreateBitmap(4, 4, pf32bppBGRA, becoCacheInMemory); },
    [&] { factory->CreateBitmapFromSource(nullptr, becoNoCache); },
    [&] { factory->CreateBitmapFromSourceRect(nullptr, 0, 0, 1, 1); },
    [&] { factory->CreateBitmapFromMemory(2, 2, pf32bppBGRA, 8, 16, bytes); },
    [&] { factory->CreateBitmapFromHBITMAP(bitmap.Handle(), nullptr, acoUseAlpha); },
    [&] { factory->CreateBitmapFromHICON(nullptr); },
    [&] { factory->CreateBitmapFromVclBitmap(&bitmap, acoUseAlpha); },
    [&] { factory->CreateBitmapFromVclIcon(&icon); },
  };
  for (std::size_t i = 0; i < calls.size(); ++i) {
    try {
      calls[i]();
      ADD_FAILURE() << "call " << i << " did not raise";
    } catch (const Exception& e) {
      EXPECT_EQ(e.ClassName(), "Exception");
      EXPECT_EQ(e.Message(), "Windows Imaging Component (WIC) is not supported by your operating system") << i;
    }
  }
}

TEST(WincodecAdapter, WrappingAnObjectThatIsNoSourceRaises)
{
  auto palette = Factory()->CreatePalette()->AsWICPalette();
  EXPECT_THAT([&] { TQxBitmapSource source(palette); },
              testing::ThrowsMessage<Exception>("IWICBitmapSource is not supported, source interface is wrong."));
}

TEST(WincodecAdapter, ConversionsGiveTheHandComputedPixels)
{
  // B G R A straight: (0x40, 0x80, 0xC0, 0x80), then a transparent pixel.
  auto bitmap = FromPixels(2, 1, pf32bppBGRA, {0x40, 0x80, 0xC0, 0x80, 0x11, 0x22, 0x33, 0x00});
  EXPECT_EQ(PixelsOf(*bitmap->ConvertTo(pf32bppPBGRA), 8), (std::vector<Byte>{0x20, 0x40, 0x60, 0x80, 0, 0, 0, 0}));
  EXPECT_EQ(PixelsOf(*bitmap->ConvertTo(pf24bppRGB), 8), (std::vector<Byte>{0xC0, 0x80, 0x40, 0x33, 0x22, 0x11, 0, 0}));
  // 565: red 23, green 32, blue 8.
  EXPECT_EQ(PixelsOf(*bitmap->ConvertTo(pf16bppBGR565), 4)[0] | PixelsOf(*bitmap->ConvertTo(pf16bppBGR565), 4)[1] << 8,
            23 << 11 | 32 << 5 | 8);
  // Luma 0.299 R + 0.587 G + 0.114 B = 139.84.
  EXPECT_EQ(PixelsOf(*bitmap->ConvertTo(pf8bppGray), 4)[0], 140);
  EXPECT_EQ(PixelsOf(*bitmap->ConvertTo(pf64bppRGBA), 16),
            (std::vector<Byte>{0xC0, 0xC0, 0x80, 0x80, 0x40, 0x40, 0x80, 0x80, 0x33, 0x33, 0x22, 0x22, 0x11, 0x11, 0, 0}));
  // Through 16 bits and back is exact; premultiplied back to straight too.
  EXPECT_EQ(PixelsOf(*bitmap->ConvertTo(pf64bppPBGRA)->ConvertTo(pf32bppBGRA), 8)[2], 0xC0);
  auto premultiplied = FromPixels(1, 1, pf32bppPBGRA, {0x20, 0x40, 0x60, 0x80});
  EXPECT_EQ(PixelsOf(*premultiplied->ConvertTo(pf32bppBGRA), 4), (std::vector<Byte>{0x40, 0x80, 0xBF, 0x80}));

  // Opaque straight colour reads exactly as the same bytes premultiplied do.
  std::vector<Byte> opaque;
  for (int v = 0; v < 256; ++v)
    opaque.insert(opaque.end(), {Byte(v), Byte(255 - v), Byte(v * 7), 255});
  EXPECT_EQ(PixelsOf(*FromPixels(256, 1, pf32bppBGRA, opaque)->ConvertTo(pf64bppRGBA), 2048),
            PixelsOf(*FromPixels(256, 1, pf32bppPBGRA, opaque)->ConvertTo(pf64bppRGBA), 2048));

  // Greys to black and white: the nearer of the two, most significant bit first.
  auto grays = FromPixels(4, 1, pf8bppGray, {0x00, 0xFF, 0x30, 0xD0});
  auto bw = grays->ConvertTo(pf1bppIndexed);
  EXPECT_EQ(PixelsOf(*bw, 1)[0], 0x50);
  EXPECT_EQ(PixelsOf(*bw->ConvertTo(pf8bppGray), 4), (std::vector<Byte>{0x00, 0xFF, 0x00, 0xFF}));
  EXPECT_EQ(PixelsOf(*FromPixels(2, 1, pf16bppBGR555, {0x00, 0x7C, 0x1F, 0x00})->ConvertTo(pf24bppBGR), 8),
            (std::vector<Byte>{0, 0, 0xFF, 0xFF, 0, 0, 0, 0}));
}

TEST(WincodecAdapter, FormatsOutsideTheSupportedSetAndMissingPalettesRaise)
{
  const std::vector<Byte> bytes(64, 0);
  ExpectOleError(Win::WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT,
                 [&] { Factory()->CreateBitmapFromMemory(2, 2, pf32bppCMYK, 8, 64, bytes.data()); });
  ExpectOleError(Win::WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT,
                 [&] { FromPixels(2, 2, pf32bppBGRA, std::vector<Byte>(16))->ConvertTo(pf128bppRGBAFloat); });
  EXPECT_THAT([] { Factory()->CreateBitmap(1, 1, pfDontCare, becoCacheInMemory); },
              testing::ThrowsMessage<EOleSysError>("The bitmap pixel format is unsupported."));
  // An indexed bitmap without a palette cannot say what its pixels are.
  auto indexed = FromPixels(4, 2, pf8bppIndexed, std::vector<Byte>(8, 1));
  ExpectOleError(Win::WINCODEC_ERR_PALETTEUNAVAILABLE, [&] { indexed->ConvertTo(pf32bppBGRA); });
  auto palette = Factory()->CreatePalette();
  palette->InitializePredefined(bptFixedHalftone8, false);
  indexed->SetPalette(palette.get());
  EXPECT_EQ(PixelsOf(*indexed->ConvertTo(pf32bppBGRA), 16)[2], 0xFF); // index 1: red
}

TEST(WincodecAdapter, FantAveragesACheckerboardInPremultipliedSpace)
{
  auto grey = Checkerboard(8, {0, 0, 0, 255}, {200, 200, 200, 255});
  auto scaler = Factory()->CreateBitmapScaler();
  scaler->Initialize(grey.get(), 4, 4, bimFant);
  EXPECT_EQ(scaler->GetPixelFormat(), pf32bppBGRA);
  for (Byte value : PixelsOf(*scaler, 16))
    ASSERT_TRUE(value == 100 || value == 255) << int(value);

  // Transparent pixels add no colour: half-covered red stays fully red.
  auto alpha = Checkerboard(8, {0, 0, 255, 255}, {255, 255, 255, 0});
  auto scaled = Factory()->CreateBitmapScaler();
  scaled->Initialize(alpha.get(), 4, 4, bimFant);
  EXPECT_EQ(PixelsOf(*scaled, 16)[0], 0);
  EXPECT_EQ(PixelsOf(*scaled, 16)[2], 255);
  EXPECT_EQ(PixelsOf(*scaled, 16)[3], 128);
}

TEST(WincodecAdapter, EveryModeKeepsAUniformImageAndItsSize)
{
  auto uniform = Checkerboard(7, {10, 120, 230, 255}, {10, 120, 230, 255});
  for (auto mode : {bimNearestNeighbor, bimLinear, bimCubic, bimFant})
    for (Integer size : {3, 16}) {
      auto scaler = Factory()->CreateBitmapScaler();
      scaler->Initialize(uniform.get(), size, size + 1, mode);
      ASSERT_EQ(scaler->GetWidth(), size);
      ASSERT_EQ(scaler->GetHeight(), size + 1);
      const auto bytes = PixelsOf(*scaler, Cardinal(size) * 4);
      for (std::size_t i = 0; i < bytes.size(); i += 4)
        ASSERT_EQ(std::vector<Byte>(bytes.begin() + std::ptrdiff_t(i), bytes.begin() + std::ptrdiff_t(i) + 4),
                  (std::vector<Byte>{10, 120, 230, 255}))
          << int(mode) << " " << size;
    }
  auto scaler = Factory()->CreateBitmapScaler();
  ExpectOleError(Win::E_INVALIDARG, [&] { scaler->Initialize(uniform.get(), 0, 4, bimLinear); });
  // A tall strip widened beyond what the work buffers may hold is refused.
  const std::vector<Byte> strip(4096, 0x80);
  auto tall = Factory()->CreateBitmapFromMemory(1, 4096, pf8bppGray, 1, 4096, strip.data());
  ExpectOleError(Win::WINCODEC_ERR_IMAGESIZEOUTOFRANGE, [&] { scaler->Initialize(tall.get(), 8192, 1, bimFant); });
}

TEST(WincodecAdapter, StridesBuffersRectanglesAndLocksAreChecked)
{
  const std::vector<Byte> bytes(2 * 12 + 8, 0x7F); // two padded rows and a last row of 8 bytes
  // Enough: the last row needs only its own bytes.
  auto bitmap = Factory()->CreateBitmapFromMemory(2, 3, pf32bppBGRA, 12, Cardinal(bytes.size()), bytes.data());
  EXPECT_EQ(bitmap->GetHeight(), 3);
  ExpectOleError(Win::E_INVALIDARG,
                 [&] { Factory()->CreateBitmapFromMemory(2, 3, pf32bppBGRA, 7, 1000, bytes.data()); });
  ExpectOleError(Win::WINCODEC_ERR_INSUFFICIENTBUFFER, [&] {
    Factory()->CreateBitmapFromMemory(2, 3, pf32bppBGRA, 12, Cardinal(bytes.size() - 1), bytes.data());
  });
  ExpectOleError(Win::E_INVALIDARG, [&] { Factory()->CreateBitmapFromMemory(2, 3, pf32bppBGRA, 12, 32, nullptr); });
  ExpectOleError(Win::WINCODEC_ERR_IMAGESIZEOUTOFRANGE,
                 [&] { Factory()->CreateBitmap(60000, 60000, pf32bppBGRA, becoCacheInMemory); });

  std::vector<Byte> out(8, 0xEE);
  ExpectOleError(Win::E_INVALIDARG, [&] { bitmap->CopyPixels(TRect(1, 0, 3, 1), 8, 8, out.data()); });
  ExpectOleError(Win::E_INVALIDARG, [&] { bitmap->CopyPixels(TRect(0, 0, 2, 1), 4, 8, out.data()); });
  ExpectOleError(Win::WINCODEC_ERR_INSUFFICIENTBUFFER, [&] { bitmap->CopyPixels(TRect(0, 0, 2, 2), 8, 8, out.data()); });
  EXPECT_EQ(out, std::vector<Byte>(8, 0xEE)); // nothing written on failure

  {
    auto lock = bitmap->Lock(TRect(1, 1, 2, 3), {blfWrite});
    EXPECT_EQ(lock->GetStride(), 8u);
    EXPECT_EQ(lock->GetBufferSize(), 12u); // one stride and one pixel
    EXPECT_EQ(lock->GetPixelFormat(), pf32bppBGRA);
    lock->GetDataPointer()[0] = 0x01;
    ExpectOleError(Win::WINCODEC_ERR_ALREADYLOCKED, [&] { bitmap->Lock(TRect(0, 0, 1, 1), {blfRead}); });
  }
  auto read = bitmap->Lock(TRect(0, 0, 2, 3), {blfRead});
  auto again = bitmap->Lock(TRect(0, 0, 1, 1), {blfRead});
  ExpectOleError(Win::WINCODEC_ERR_ALREADYLOCKED, [&] { bitmap->Lock(TRect(0, 0, 1, 1), {blfWrite}); });
  ExpectOleError(Win::E_INVALIDARG, [&] { bitmap->Lock(TRect(0, 0, 3, 1), {blfRead}); });
  ExpectOleError(Win::E_INVALIDARG, [&] { bitmap->Lock(TRect(0, 0, 1, 1), {}); });
  EXPECT_EQ(PixelsOf(*bitmap, 8)[8 + 4], 0x01);
}

TEST(WincodecAdapter, PalettesArePredefinedCutFromABitmapOrCopied)
{
  auto palette = Factory()->CreatePalette();
  palette->InitializePredefined(bptFixedBW, false);
  EXPECT_TRUE(palette->GetIsBlackWhite());
  EXPECT_TRUE(palette->GetIsGrayscale());
  EXPECT_FALSE(palette->GetHasAlpha());
  palette->InitializePredefined(bptFixedWebPalette, true);
  EXPECT_EQ(palette->GetColorCount(), 217);
  EXPECT_TRUE(palette->GetHasAlpha());
  EXPECT_EQ(palette->GetPaletteType(), bptFixedHalftone216);
  ExpectOleError(Win::E_INVALIDARG, [&] { palette->InitializePredefined(bptMedianCut, false); });

  // Three colours cut into at most four boxes: the three colours.
  auto three = FromPixels(3, 1, pf32bppBGRA, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255});
  auto cut = Factory()->CreatePalette();
  cut->InitializeFromBitmap(three.get(), 4, false);
  EXPECT_EQ(cut->GetPaletteType(), bptMedianCut);
  std::vector<Win::WICColor> colors(4);
  Win::UINT count = 0;
  cut->AsWICPalette()->GetColors(4, colors.data(), &count);
  colors.resize(count);
  EXPECT_EQ(std::set<Win::WICColor>(colors.begin(), colors.end()),
            (std::set<Win::WICColor>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}));
  auto copy = Factory()->CreatePalette();
  copy->InitializeFromPalette(cut.get());
  EXPECT_EQ(copy->GetColorCount(), 3);
}

TEST(WincodecAdapter, BitmapsAndIconsTravelThroughTheComponent)
{
  TBitmap bitmap(3, 2);
  bitmap.SetPixelFormat(pf32bit);
  Win::BitmapBits(bitmap.Handle())[0] = 0x80102030u;
  auto straight = Factory()->CreateBitmapFromVclBitmap(&bitmap, acoUseAlpha);
  EXPECT_EQ(straight->GetPixelFormat(), pf32bppBGRA);
  EXPECT_EQ(Factory()->CreateBitmapFromVclBitmap(&bitmap, acoUsePremultipliedAlpha)->GetPixelFormat(), pf32bppPBGRA);
  EXPECT_EQ(Factory()->CreateBitmapFromVclBitmap(&bitmap, acoIgnoreAlpha)->GetPixelFormat(), pf32bppBGR);

  TIcon icon;
  straight->AssignTo(&icon);
  EXPECT_EQ(icon.Width(), 3);
  TBitmap back;
  TQxWincodecUtils::ConvertIconToBitmap(&icon, &back);
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(Win::BitmapBits(back.Handle())[0], 0x80102030u);

  TIcon fromBitmap;
  TQxWincodecUtils::ConvertBitmapToIcon(&bitmap, &fromBitmap);
  EXPECT_EQ(fromBitmap.Height(), 2);
  auto part = Factory()->CreateBitmapFromSourceRect(straight.get(), 1, 1, 2, 1);
  EXPECT_EQ(part->GetWidth(), 2);
  ExpectOleError(Win::E_INVALIDARG, [&] { Factory()->CreateBitmapFromSourceRect(straight.get(), 2, 1, 2, 1); });
  ExpectOleError(Win::E_INVALIDARG, [&] { Factory()->CreateBitmapFromHBITMAP(nullptr, nullptr, acoUseAlpha); });
}

TEST(WincodecAdapter, AddToImageListScalesToTheListSize)
{
  auto source = Checkerboard(48, {0, 0, 255, 255}, {0, 0, 255, 255});
  TImageList list(16, 16);
  list.SetMasked(false);
  source->AddToImageList(&list, bimFant);
  ASSERT_EQ(list.Count(), 1);
  TBitmap image;
  list.GetBitmap(0, &image);
  EXPECT_EQ(image.Width(), 16);
  EXPECT_EQ(image.Canvas()->Pixels(8, 8), clRed);

  TImageList masked(16, 16);
  EXPECT_THROW(source->AddToImageList(&masked, bimFant), EAssertionFailed);
  EXPECT_THROW(source->AddToImageList(nullptr, bimFant), EAssertionFailed);
}

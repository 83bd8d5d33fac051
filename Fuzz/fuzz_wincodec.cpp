// Bitmaps made from memory with hostile sizes, strides, buffer sizes and
// formats, then converted, scaled, locked and copied out with hostile
// rectangles: every call either fails with a result or stays inside the
// buffers it was given.
#include <Winapi.Wincodec.hpp>

#include <array>
#include <cstdint>
#include <vector>

using namespace Win;

namespace {

// Each case stays small; the size limits themselves are tested elsewhere.
constexpr std::uint64_t kMaxPixels = 1 << 14;

const std::array<const GUID*, 30> Formats{
  &WICPixelFormat::Indexed1bpp, &WICPixelFormat::Indexed2bpp, &WICPixelFormat::Indexed4bpp,
  &WICPixelFormat::Indexed8bpp, &WICPixelFormat::BlackWhite, &WICPixelFormat::Gray2bpp,
  &WICPixelFormat::Gray4bpp, &WICPixelFormat::Gray8bpp, &WICPixelFormat::Gray16bpp,
  &WICPixelFormat::BGR555_16bpp, &WICPixelFormat::BGR565_16bpp, &WICPixelFormat::BGRA5551_16bpp,
  &WICPixelFormat::BGR24bpp, &WICPixelFormat::RGB24bpp, &WICPixelFormat::BGR32bpp,
  &WICPixelFormat::BGRA32bpp, &WICPixelFormat::PBGRA32bpp, &WICPixelFormat::RGBA32bpp,
  &WICPixelFormat::PRGBA32bpp, &WICPixelFormat::RGB48bpp, &WICPixelFormat::BGR48bpp,
  &WICPixelFormat::RGBA64bpp, &WICPixelFormat::BGRA64bpp, &WICPixelFormat::PRGBA64bpp,
  &WICPixelFormat::PBGRA64bpp, &WICPixelFormat::Alpha8bpp, &WICPixelFormat::CMYK32bpp,
  &WICPixelFormat::RGBAFloat128bpp, &WICPixelFormat::Undefined, &WICPixelFormat::Channels8Alpha144bpp};

struct TReader {
  const std::uint8_t* Data;
  std::size_t Size;
  std::uint32_t Next(std::uint32_t Limit)
  {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && Size > 0; ++i, ++Data, --Size)
      v = v << 8 | *Data;
    return Limit ? v % Limit : v;
  }
};

void CopyOut(IWICBitmapSource* Source, TReader& In)
{
  const WICRect rect{INT(In.Next(0)) % 40 - 4, INT(In.Next(0)) % 40 - 4, INT(In.Next(0)) % 40 - 4,
                     INT(In.Next(0)) % 40 - 4};
  const UINT stride = In.Next(512), size = In.Next(8192);
  std::vector<BYTE> buffer(size);
  Source->CopyPixels(In.Next(2) ? &rect : nullptr, stride, size, buffer.data());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  TReader in{Data, Size};
  std::shared_ptr<IWICImagingFactory> factory;
  WICCreateImagingFactory(&factory);
  const UINT width = in.Next(300), height = in.Next(300);
  const GUID& format = *Formats[in.Next(Formats.size())];
  const UINT stride = in.Next(2048), bufferSize = in.Next(1 << 16);
  if (std::uint64_t(width) * height > kMaxPixels)
    return 0;
  std::vector<BYTE> pixels(in.Data, in.Data + in.Size);
  pixels.resize(std::min<std::size_t>(bufferSize, 1 << 16));
  std::shared_ptr<IWICBitmap> bitmap;
  if (FAILED(factory->CreateBitmapFromMemory(width, height, format, stride, UINT(pixels.size()), pixels.data(),
                                             &bitmap)))
    return 0;
  std::shared_ptr<IWICPalette> palette;
  factory->CreatePalette(&palette);
  palette->InitializePredefined(WICBitmapPaletteType(in.Next(14)), in.Next(2));
  if (in.Next(2))
    bitmap->SetPalette(palette.get());
  CopyOut(bitmap.get(), in);

  const WICRect lockRect{INT(in.Next(0)) % 40 - 4, INT(in.Next(0)) % 40 - 4, INT(in.Next(0)) % 40, INT(in.Next(0)) % 40};
  std::shared_ptr<IWICBitmapLock> lock;
  if (SUCCEEDED(bitmap->Lock(&lockRect, in.Next(4), &lock))) {
    UINT size = 0;
    BYTE* data = nullptr;
    lock->GetDataPointer(&size, &data);
    if (size)
      data[size - 1] ^= data[0];
    lock.reset();
  }

  std::shared_ptr<IWICFormatConverter> converter;
  factory->CreateFormatConverter(&converter);
  if (SUCCEEDED(converter->Initialize(bitmap.get(), *Formats[in.Next(Formats.size())], WICBitmapDitherTypeNone,
                                      in.Next(2) ? palette.get() : nullptr, 0, WICBitmapPaletteTypeCustom)))
    CopyOut(converter.get(), in);

  std::shared_ptr<IWICBitmapScaler> scaler;
  factory->CreateBitmapScaler(&scaler);
  const UINT w = in.Next(130), h = in.Next(130);
  if (std::uint64_t(w) * h <= kMaxPixels &&
      SUCCEEDED(scaler->Initialize(bitmap.get(), w, h, WICBitmapInterpolationMode(int(in.Next(5))))))
    CopyOut(scaler.get(), in);

  std::shared_ptr<IWICPalette> cut;
  factory->CreatePalette(&cut);
  cut->InitializeFromBitmap(bitmap.get(), in.Next(300), in.Next(2));
  return 0;
}

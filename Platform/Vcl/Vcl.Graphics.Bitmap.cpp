#include "Vcl.Graphics.Dib.hpp"
#include "Vcl.Graphics.hpp"

#include <algorithm>
#include <cstring>

namespace Vcl {

namespace {

const char* const SInvalidBitmap = "Bitmap image is not valid";
const char* const SScanLine = "Scan line index out of range";
const char* const SInvalidPixelFormat = "Invalid pixel format";
const char* const SOutOfResources = "Out of system resources";

constexpr std::uint32_t OpaqueBlack = 0xFF000000u;
constexpr std::size_t FileHeaderSize = 14;

Win::HBITMAP NewSurface(Integer width, Integer height)
{
  Win::HBITMAP bitmap = Win::CreateBitmap32(width, height);
  if (!bitmap)
    throw EOutOfResources(SOutOfResources);
  return bitmap;
}

Int64 Remaining(TStream* stream)
{
  return stream->Size() - stream->Position();
}

void ReadExactly(TStream* stream, std::uint8_t* buffer, std::size_t count)
{
  if (Int64(count) > Remaining(stream) || stream->Read(buffer, Int64(count)) != Int64(count))
    throw EInvalidGraphic(SInvalidBitmap);
}

unsigned FormatBits(TPixelFormat format)
{
  switch (format) {
  case pf1bit:
    return 1;
  case pf24bit:
    return 24;
  default:
    return 32;
  }
}

std::uint8_t Premultiply(std::uint32_t channel, std::uint32_t alpha)
{
  return std::uint8_t((channel * alpha + 127) / 255);
}

// A BMP file read and checked, not yet decoded.
struct TBmpFile {
  Dib::TDibInfo Info;
  std::vector<std::uint8_t> Table;
  std::vector<std::uint8_t> Bits;
};

TBmpFile ReadBmp(TStream* stream)
{
  std::uint8_t fileHeader[FileHeaderSize];
  ReadExactly(stream, fileHeader, sizeof fileHeader);
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
    throw EInvalidGraphic(SInvalidBitmap);
  const std::uint64_t bitsOffset = Dib::GetU32(fileHeader + 10);

  std::vector<std::uint8_t> header(4);
  ReadExactly(stream, header.data(), 4);
  const std::uint32_t headerSize = Dib::GetU32(header.data());
  if (headerSize > 124)
    throw EInvalidGraphic(SInvalidBitmap);
  header.resize(std::max<std::uint32_t>(headerSize, 4));
  ReadExactly(stream, header.data() + 4, header.size() - 4);
  TBmpFile file;
  file.Info = Dib::ParseInfo(header.data(), header.size(), SInvalidBitmap);
  const Dib::TDibInfo& info = file.Info;

  file.Table.resize(Dib::TableBytes(info));
  ReadExactly(stream, file.Table.data(), file.Table.size());
  const std::uint64_t consumed = FileHeaderSize + header.size() + file.Table.size();
  if (bitsOffset < consumed)
    throw EInvalidGraphic(SInvalidBitmap);
  const std::uint64_t gap = bitsOffset - consumed;
  const std::uint64_t bitsSize = Win::DibStride(info.Width, info.BitCount) * info.Height;
  if (gap + bitsSize > std::uint64_t(Remaining(stream)))
    throw EInvalidGraphic(SInvalidBitmap);
  stream->Seek(Int64(gap), soCurrent);
  file.Bits.resize(bitsSize);
  ReadExactly(stream, file.Bits.data(), file.Bits.size());
  return file;
}

bool IsBlackAndWhite(const std::uint32_t* pixels, std::size_t count)
{
  return std::all_of(pixels, pixels + count, [](std::uint32_t p) { return p == OpaqueBlack || p == 0xFFFFFFFFu; });
}

void WriteBmp(TStream* stream, const std::uint32_t* pixels, Integer width, Integer height, unsigned bitCount)
{
  const std::vector<std::uint8_t> rows = Dib::EncodeRows(pixels, width, height, bitCount);
  const std::uint32_t colors = bitCount == 1 ? 2 : 0;
  const std::vector<std::uint8_t> info =
    Dib::InfoHeader(width, height, bitCount, std::uint32_t(rows.size()), colors);
  const std::uint32_t offset = std::uint32_t(FileHeaderSize + info.size() + 4 * colors);
  std::vector<std::uint8_t> out{'B', 'M'};
  Dib::PutU32(out, offset + std::uint32_t(rows.size()));
  Dib::PutU32(out, 0);
  Dib::PutU32(out, offset);
  out.insert(out.end(), info.begin(), info.end());
  if (colors) {
    Dib::PutU32(out, 0x000000);
    Dib::PutU32(out, 0xFFFFFF);
  }
  stream->WriteBuffer(out.data(), Int64(out.size()));
  stream->WriteBuffer(rows.data(), Int64(rows.size()));
}

} // namespace

// ---- TGraphic ------------------------------------------------------------------
void TGraphic::SetTransparent(bool Value)
{
  if (FTransparent != Value) {
    FTransparent = Value;
    Changed();
  }
}

void TGraphic::SetModified(bool Value)
{
  if (Value)
    Changed();
  else
    FModified = false;
}

void TGraphic::Changed()
{
  FModified = true;
  if (OnChange)
    OnChange(this);
}

void TGraphic::LoadFromFile(const String& FileName)
{
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const String& FileName)
{
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// The graphic drawn over a copy of the destination, which is then blended
// back with the opacity, so any graphic fades the same way.
void TGraphic::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity)
{
  if (Opacity == 255) {
    Draw(ACanvas, Rect);
    return;
  }
  if (Rect.IsEmpty() || Opacity == 0)
    return;
  TBitmap copy(Rect.Width(), Rect.Height());
  copy.Canvas()->CopyRect(TRect(0, 0, Rect.Width(), Rect.Height()), ACanvas, Rect);
  copy.Canvas()->StretchDraw(TRect(0, 0, Rect.Width(), Rect.Height()), this);
  ACanvas->Draw(Rect.Left, Rect.Top, &copy, Opacity);
}

// ---- TBitmap ------------------------------------------------------------------------
class TBitmap::TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext()
  {
    Win::HDC dc = FContext;
    if (!dc)
      return;
    SetHandle(nullptr);
    FContext = nullptr;
    Win::DeleteDC(dc);
  }

protected:
  void CreateHandle() override
  {
    FContext = Win::CreateCompatibleDC(nullptr);
    if (!FContext)
      throw EOutOfResources(SOutOfResources);
    if (FBitmap->FHandle)
      Win::SelectObject(FContext, FBitmap->FHandle);
    SetHandle(FContext);
  }
  void SurfaceNeeded() override { FBitmap->FlushRows(); }
  void Changed() override
  {
    TCanvas::Changed();
    FBitmap->Changed();
  }

private:
  TBitmap* FBitmap;
  Win::HDC FContext = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(Integer AWidth, Integer AHeight)
{
  SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap()
{
  FCanvas.reset();
  if (FHandle)
    Win::DeleteObject(FHandle);
}

void TBitmap::FreeContext()
{
  if (FCanvas)
    static_cast<TBitmapCanvas*>(FCanvas.get())->FreeContext();
}

void TBitmap::Reset(Win::HBITMAP Handle, Integer AWidth, Integer AHeight)
{
  FreeContext();
  if (FHandle && FHandle != Handle)
    Win::DeleteObject(FHandle);
  FHandle = Handle;
  FWidth = Handle ? AWidth : 0;
  FHeight = Handle ? AHeight : 0;
  FRowStride = Integer(Win::DibStride(FWidth, FormatBits(FPixelFormat)));
  FRows = {};
  FRowsState = TRows::Stale;
}

TCanvas* TBitmap::Canvas()
{
  if (!FCanvas)
    FCanvas = std::make_unique<TBitmapCanvas>(this);
  return FCanvas.get();
}

Win::HDC TBitmap::ContextHandle()
{
  return Canvas()->Handle();
}

void TBitmap::SetSize(Integer AWidth, Integer AHeight)
{
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight)
    return;
  FlushRows();
  Win::HBITMAP bitmap = nullptr;
  if (AWidth > 0 && AHeight > 0) {
    bitmap = NewSurface(AWidth, AHeight);
    std::uint32_t* dst = Win::BitmapBits(bitmap);
    if (FPixelFormat != pf32bit)
      std::fill_n(dst, std::size_t(AWidth) * std::size_t(AHeight), OpaqueBlack);
    const Integer w = std::min(AWidth, FWidth), h = std::min(AHeight, FHeight);
    for (Integer y = 0; y < h; ++y)
      std::memcpy(dst + std::size_t(y) * AWidth, Win::BitmapBits(FHandle) + std::size_t(y) * FWidth,
                  std::size_t(w) * 4);
  }
  Reset(bitmap, AWidth, AHeight);
  Changed();
}

void TBitmap::SurfaceToFormat()
{
  if (!FHandle || FPixelFormat == pf32bit || FPixelFormat == pfDevice)
    return;
  std::uint32_t* px = Win::BitmapBits(FHandle);
  for (std::size_t i = 0, n = std::size_t(FWidth) * std::size_t(FHeight); i < n; ++i) {
    if (FPixelFormat == pf1bit)
      px[i] = Dib::IsLight(px[i]) ? 0xFFFFFFFFu : OpaqueBlack;
    else
      px[i] |= OpaqueBlack;
  }
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
  if (Value != pfDevice && Value != pf1bit && Value != pf24bit && Value != pf32bit)
    throw EInvalidGraphicOperation(SInvalidPixelFormat);
  if (Value == FPixelFormat)
    return;
  FlushRows();
  FPixelFormat = Value;
  SurfaceToFormat();
  Reset(FHandle, FWidth, FHeight);
  Changed();
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value)
{
  if (FAlphaFormat != Value) {
    FAlphaFormat = Value;
    Changed();
  }
}

void TBitmap::SetMonochrome(bool Value)
{
  if (Value)
    SetPixelFormat(pf1bit);
  else if (FPixelFormat == pf1bit)
    SetPixelFormat(pfDevice);
}

Byte* TBitmap::ScanLine(Integer Row)
{
  if (Row < 0 || Row >= FHeight)
    throw EInvalidGraphicOperation(SScanLine);
  if (!HasRowCopy())
    return reinterpret_cast<Byte*>(Win::BitmapBits(FHandle) + std::size_t(Row) * FWidth);
  if (FRowsState == TRows::Stale) {
    const std::uint32_t* px = Win::BitmapBits(FHandle);
    FRows.assign(std::size_t(FRowStride) * std::size_t(FHeight), 0);
    for (Integer y = 0; y < FHeight; ++y) {
      Byte* row = FRows.data() + std::size_t(y) * FRowStride;
      const std::uint32_t* src = px + std::size_t(y) * FWidth;
      for (Integer x = 0; x < FWidth; ++x) {
        if (FPixelFormat == pf1bit) {
          if (Dib::IsLight(src[x]))
            row[x / 8] |= Byte(0x80 >> (x % 8));
        } else {
          std::memcpy(row + std::size_t(x) * 3, &src[x], 3);
        }
      }
    }
    FRowsState = TRows::Ahead;
  }
  return FRows.data() + std::size_t(Row) * FRowStride;
}

// Rows handed out by ScanLine may have been written: copy them to the surface.
void TBitmap::FlushRows()
{
  if (FRowsState != TRows::Ahead)
    return;
  FRowsState = TRows::Stale;
  std::uint32_t* px = Win::BitmapBits(FHandle);
  for (Integer y = 0; y < FHeight; ++y) {
    const Byte* row = FRows.data() + std::size_t(y) * FRowStride;
    std::uint32_t* dst = px + std::size_t(y) * FWidth;
    for (Integer x = 0; x < FWidth; ++x) {
      if (FPixelFormat == pf1bit) {
        dst[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFFFFu : OpaqueBlack;
      } else {
        const Byte* p = row + std::size_t(x) * 3;
        dst[x] = OpaqueBlack | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
      }
    }
  }
}

Win::HBITMAP TBitmap::Handle()
{
  FlushRows();
  FreeContext();
  return FHandle;
}

void TBitmap::SetHandle(Win::HBITMAP Value)
{
  if (Value == FHandle)
    return;
  FPixelFormat = pf32bit;
  Reset(Value, Value ? Win::BitmapWidth(Value) : 0, Value ? Win::BitmapHeight(Value) : 0);
  Changed();
}

Win::HBITMAP TBitmap::ReleaseHandle()
{
  FlushRows();
  FreeContext();
  Win::HBITMAP handle = FHandle;
  FHandle = nullptr;
  Reset(nullptr, 0, 0);
  Changed();
  return handle;
}

TColor TBitmap::TransparentColor()
{
  if (FTransparentMode == tmFixed)
    return FTransparentColor;
  if (Empty())
    return clDefault;
  FlushRows();
  const std::uint32_t px = Win::BitmapBits(FHandle)[std::size_t(FHeight - 1) * FWidth];
  return TColor(Win::RGB(Byte(px >> 16), Byte(px >> 8), Byte(px)));
}

void TBitmap::SetTransparentColor(TColor Value)
{
  if (FTransparentColor == Value && FTransparentMode == tmFixed)
    return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
  if (FTransparentMode == Value)
    return;
  FTransparentMode = Value;
  if (Value == tmFixed && FTransparentColor == clDefault)
    FTransparentColor = TransparentColor();
  Changed();
}

void TBitmap::Assign(const TPersistent* Source)
{
  if (!Source) {
    Reset(nullptr, 0, 0);
    Changed();
    return;
  }
  const auto* source = dynamic_cast<const TBitmap*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (source == this)
    return;
  auto* from = const_cast<TBitmap*>(source);
  from->FlushRows();
  Win::HBITMAP bitmap = nullptr;
  if (!from->Empty()) {
    bitmap = NewSurface(from->FWidth, from->FHeight);
    std::memcpy(Win::BitmapBits(bitmap), Win::BitmapBits(from->FHandle),
                std::size_t(from->FWidth) * std::size_t(from->FHeight) * 4);
  }
  FPixelFormat = from->FPixelFormat;
  FAlphaFormat = from->FAlphaFormat;
  FTransparentMode = from->FTransparentMode;
  FTransparentColor = from->FTransparentColor;
  Reset(bitmap, from->FWidth, from->FHeight);
  TGraphic::SetTransparent(from->Transparent());
  Changed();
}

void TBitmap::LoadFromStream(TStream* Stream)
{
  if (Remaining(Stream) == 0) {
    Reset(nullptr, 0, 0);
    Changed();
    return;
  }
  const TBmpFile file = ReadBmp(Stream);
  const Dib::TDibInfo& info = file.Info;
  Win::HBITMAP bitmap = NewSurface(info.Width, info.Height);
  std::uint32_t* pixels = Win::BitmapBits(bitmap);
  Dib::Decode(info, info.Height, file.Table.data(), file.Bits.data(), pixels);
  const std::size_t count = std::size_t(info.Width) * std::size_t(info.Height);
  FPixelFormat = info.BitCount == 32                                 ? pf32bit
                 : info.BitCount == 1 && IsBlackAndWhite(pixels, count) ? pf1bit
                                                                       : pf24bit;
  FAlphaFormat = afIgnored;
  Reset(bitmap, info.Width, info.Height);
  Changed();
}

void TBitmap::SaveToStream(TStream* Stream)
{
  if (Empty())
    return;
  FlushRows();
  const unsigned bits = FPixelFormat == pf1bit ? 1 : FPixelFormat == pf32bit ? 32 : 24;
  WriteBmp(Stream, Win::BitmapBits(FHandle), FWidth, FHeight, bits);
}

void TBitmap::ReadData(TStream* Stream)
{
  // A length of 0 is an empty bitmap (CopyFrom would take 0 as the whole stream).
  const Cardinal size = ReadLengthField(Stream);
  TMemoryStream data;
  if (size > 0)
    data.CopyFrom(Stream, size);
  data.SetPosition(0);
  LoadFromStream(&data);
}

void TBitmap::WriteData(TStream* Stream)
{
  TMemoryStream data;
  SaveToStream(&data);
  WriteLengthField(Stream, Cardinal(data.Size()));
  Stream->WriteBuffer(data.Memory(), data.Size());
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
  if (Empty())
    return;
  if (FPixelFormat == pf32bit && FAlphaFormat != afIgnored) {
    Blend(ACanvas, Rect, 255, true);
    return;
  }
  Win::HDC source = ContextHandle();
  Win::HDC dest = ACanvas->Handle();
  if (Transparent())
    Win::TransparentBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, FWidth, FHeight,
                        Win::COLORREF(ColorToRGB(TransparentColor())));
  else
    Win::StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, FWidth, FHeight,
                    ACanvas->CopyMode());
}

void TBitmap::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity)
{
  if (Empty())
    return;
  const bool perPixel = FPixelFormat == pf32bit && FAlphaFormat != afIgnored;
  if (Transparent() && !perPixel) {
    TGraphic::DrawTransparent(ACanvas, Rect, Opacity);
    return;
  }
  Blend(ACanvas, Rect, Opacity, perPixel);
}

// AlphaBlend wants premultiplied pixels; straight alpha is premultiplied into
// a temporary surface.
void TBitmap::Blend(TCanvas* ACanvas, const TRect& Rect, Byte Opacity, bool PerPixel)
{
  Win::BLENDFUNCTION blend;
  blend.SourceConstantAlpha = Opacity;
  blend.AlphaFormat = PerPixel ? Win::AC_SRC_ALPHA : 0;
  Win::HDC dest = ACanvas->Handle();
  if (!PerPixel || FAlphaFormat == afPremultiplied) {
    Win::AlphaBlend(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), ContextHandle(), 0, 0, FWidth,
                    FHeight, blend);
    return;
  }
  FlushRows();
  TBitmap premultiplied;
  premultiplied.SetPixelFormat(pf32bit);
  premultiplied.SetSize(FWidth, FHeight);
  const std::uint32_t* src = Win::BitmapBits(FHandle);
  std::uint32_t* dst = Win::BitmapBits(premultiplied.FHandle);
  for (std::size_t i = 0, n = std::size_t(FWidth) * std::size_t(FHeight); i < n; ++i) {
    const std::uint32_t a = src[i] >> 24;
    dst[i] = (a << 24) | (std::uint32_t(Premultiply((src[i] >> 16) & 0xFF, a)) << 16) |
             (std::uint32_t(Premultiply((src[i] >> 8) & 0xFF, a)) << 8) | Premultiply(src[i] & 0xFF, a);
  }
  Win::AlphaBlend(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), premultiplied.ContextHandle(), 0, 0,
                  FWidth, FHeight, blend);
}

} // namespace Vcl

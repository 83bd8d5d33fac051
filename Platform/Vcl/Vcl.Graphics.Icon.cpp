#include "Vcl.Graphics.Dib.hpp"
#include "Vcl.Graphics.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Vcl {

namespace {

const char* const SInvalidIcon = "Icon image is not valid";
const char* const SChangeIconSize = "Cannot change the size of an icon";
constexpr Integer StandardIconSize = 32;
constexpr std::size_t IcoHeaderSize = 6, IcoEntrySize = 16;
constexpr std::uint32_t Transparent = 0xFFFFFFFFu, Opaque = 0xFF000000u;
// Icon files beyond this are not icons.
constexpr Int64 MaxIconFile = Int64(1) << 28;

struct TEntry {
  Integer Width;
  Integer Height;
  unsigned BitCount;
  std::uint32_t Size;
  std::uint32_t Offset;
};

std::vector<TEntry> ReadDirectory(const TBytes& data)
{
  if (data.size() < IcoHeaderSize || Dib::GetU16(&data[2]) != 1)
    throw EInvalidGraphic(SInvalidIcon);
  const std::size_t count = Dib::GetU16(&data[4]);
  if (count == 0 || data.size() < IcoHeaderSize + count * IcoEntrySize)
    throw EInvalidGraphic(SInvalidIcon);
  std::vector<TEntry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = &data[IcoHeaderSize + i * IcoEntrySize];
    entries.push_back({e[0] ? e[0] : 256, e[1] ? e[1] : 256, Dib::GetU16(e + 6), Dib::GetU32(e + 8),
                       Dib::GetU32(e + 12)});
  }
  return entries;
}

// Nearest in size to the wanted one; among equals the most colours.
const TEntry& ChooseEntry(const std::vector<TEntry>& entries, Integer width, Integer height)
{
  auto distance = [&](const TEntry& e) { return std::abs(e.Width - width) + std::abs(e.Height - height); };
  return *std::min_element(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
    return distance(a) != distance(b) ? distance(a) < distance(b) : a.BitCount > b.BitCount;
  });
}

Win::HBITMAP SurfaceFrom(const std::vector<std::uint32_t>& pixels, Integer width, Integer height)
{
  Win::HBITMAP bitmap = Win::CreateBitmap32(width, height);
  if (!bitmap)
    throw EOutOfResources("Out of system resources");
  std::memcpy(Win::BitmapBits(bitmap), pixels.data(), pixels.size() * 4);
  return bitmap;
}

// 1 bits of the AND mask are transparent; a 32-bit frame may leave it out.
std::vector<std::uint32_t> DecodeMask(const std::uint8_t* bits, std::size_t available, Integer width,
                                      Integer height, bool optional)
{
  const std::size_t stride = Win::DibStride(width, 1);
  std::vector<std::uint32_t> mask(std::size_t(width) * std::size_t(height), Opaque);
  if (available < stride * std::size_t(height)) {
    if (!optional)
      throw EInvalidGraphic(SInvalidIcon);
    return mask;
  }
  for (Integer y = 0; y < height; ++y) {
    const std::uint8_t* row = bits + std::size_t(height - 1 - y) * stride;
    for (Integer x = 0; x < width; ++x)
      if (row[x / 8] & (0x80 >> (x % 8)))
        mask[std::size_t(y) * width + x] = Transparent;
  }
  return mask;
}

Win::HICON DecodeFrame(const std::uint8_t* frame, std::size_t size)
{
  static const std::uint8_t PngSignature[] = {0x89, 'P', 'N', 'G'};
  if (size >= 4 && std::memcmp(frame, PngSignature, 4) == 0)
    throw EInvalidGraphic(SInvalidIcon);
  Dib::TDibInfo info = Dib::ParseInfo(frame, size, SInvalidIcon);
  const Integer height = info.Height / 2;
  if (height == 0 || info.TopDown)
    throw EInvalidGraphic(SInvalidIcon);
  const std::size_t tableAt = info.HeaderSize, bitsAt = tableAt + Dib::TableBytes(info);
  const std::size_t colorBytes = Win::DibStride(info.Width, info.BitCount) * std::size_t(height);
  if (bitsAt > size || colorBytes > size - bitsAt)
    throw EInvalidGraphic(SInvalidIcon);
  std::vector<std::uint32_t> color(std::size_t(info.Width) * std::size_t(height));
  Dib::Decode(info, height, frame + tableAt, frame + bitsAt, color.data());
  const std::size_t maskAt = bitsAt + colorBytes;
  const std::vector<std::uint32_t> mask =
    DecodeMask(frame + maskAt, size - maskAt, info.Width, height, info.BitCount == 32);

  Win::ICONINFO iconInfo;
  iconInfo.hbmColor = SurfaceFrom(color, info.Width, height);
  try {
    iconInfo.hbmMask = SurfaceFrom(mask, info.Width, height);
  } catch (...) {
    Win::DeleteObject(iconInfo.hbmColor);
    throw;
  }
  Win::HICON icon = Win::CreateIconIndirect(&iconInfo);
  Win::DeleteObject(iconInfo.hbmColor);
  Win::DeleteObject(iconInfo.hbmMask);
  if (!icon)
    throw EOutOfResources("Out of system resources");
  return icon;
}

// The icon's two bitmaps, deleted when done.
class TIconBitmaps {
public:
  explicit TIconBitmaps(Win::HICON icon)
  {
    if (!Win::GetIconInfo(icon, &FInfo))
      throw EOutOfResources("Out of system resources");
  }
  ~TIconBitmaps()
  {
    if (FInfo.hbmColor)
      Win::DeleteObject(FInfo.hbmColor);
    if (FInfo.hbmMask)
      Win::DeleteObject(FInfo.hbmMask);
  }
  TIconBitmaps(const TIconBitmaps&) = delete;
  TIconBitmaps& operator=(const TIconBitmaps&) = delete;
  const std::uint32_t* Color() const { return Win::BitmapBits(FInfo.hbmColor); }
  const std::uint32_t* Mask() const { return Win::BitmapBits(FInfo.hbmMask); }

private:
  Win::ICONINFO FInfo;
};

} // namespace

TIcon::~TIcon()
{
  if (FHandle)
    Win::DestroyIcon(FHandle);
}

Integer TIcon::Width() const
{
  if (FHandle)
    return Win::IconWidth(FHandle);
  return FRequestedWidth ? FRequestedWidth : StandardIconSize;
}

Integer TIcon::Height() const
{
  if (FHandle)
    return Win::IconHeight(FHandle);
  return FRequestedHeight ? FRequestedHeight : StandardIconSize;
}

void TIcon::SetSize(Integer AWidth, Integer AHeight)
{
  if (FHandle)
    throw EInvalidGraphicOperation(SChangeIconSize);
  FRequestedWidth = std::max(AWidth, 0);
  FRequestedHeight = std::max(AHeight, 0);
}

void TIcon::Replace(Win::HICON Handle, TBytes Data)
{
  if (Handle == FHandle && Data == FData)
    return;
  if (FHandle && FHandle != Handle)
    Win::DestroyIcon(FHandle);
  FHandle = Handle;
  FData = std::move(Data);
  Changed();
}

void TIcon::SetHandle(Win::HICON Value)
{
  if (Value == FHandle)
    return;
  Replace(Value, {});
}

Win::HICON TIcon::ReleaseHandle()
{
  Win::HICON handle = FHandle;
  FHandle = nullptr;
  FData.clear();
  Changed();
  return handle;
}

void TIcon::Assign(const TPersistent* Source)
{
  if (!Source) {
    SetHandle(nullptr);
    return;
  }
  const auto* icon = dynamic_cast<const TIcon*>(Source);
  if (!icon) {
    inherited::Assign(Source);
    return;
  }
  if (icon != this)
    Replace(icon->FHandle ? Win::CopyIcon(icon->FHandle) : nullptr, icon->FData);
}

// A bitmap gets the icon as 32-bit pixels with straight alpha; a masked icon's
// transparent pixels become transparent black.
void TIcon::AssignTo(TPersistent* Dest) const
{
  auto* bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!bitmap) {
    inherited::AssignTo(Dest);
    return;
  }
  if (!FHandle) {
    bitmap->Assign(nullptr);
    return;
  }
  const TIconBitmaps bitmaps(FHandle);
  const bool alpha = Win::IconHasAlpha(FHandle);
  const Integer w = Width(), h = Height();
  TBitmap result;
  result.SetPixelFormat(pf32bit);
  result.SetSize(w, h);
  std::uint32_t* px = reinterpret_cast<std::uint32_t*>(result.ScanLine(0));
  for (std::size_t i = 0, n = std::size_t(w) * std::size_t(h); i < n; ++i) {
    const bool hidden = !alpha && Dib::IsLight(bitmaps.Mask()[i]);
    px[i] = hidden ? 0 : alpha ? bitmaps.Color()[i] : (bitmaps.Color()[i] | Opaque);
  }
  result.SetAlphaFormat(afDefined);
  bitmap->Assign(&result);
}

void TIcon::LoadFromStream(TStream* Stream)
{
  const Int64 remaining = Stream->Size() - Stream->Position();
  if (remaining > MaxIconFile)
    throw EInvalidGraphic(SInvalidIcon);
  TBytes data = Stream->ReadAll();
  const std::vector<TEntry> entries = ReadDirectory(data);
  const TEntry& entry = ChooseEntry(entries, FRequestedWidth ? FRequestedWidth : StandardIconSize,
                                    FRequestedHeight ? FRequestedHeight : StandardIconSize);
  if (std::uint64_t(entry.Offset) + entry.Size > data.size())
    throw EInvalidGraphic(SInvalidIcon);
  Win::HICON handle = DecodeFrame(data.data() + entry.Offset, entry.Size);
  Replace(handle, std::move(data));
}

// The other sizes of a loaded file live only in its bytes, so those are
// what is written.
void TIcon::SaveToStream(TStream* Stream)
{
  if (!FData.empty()) {
    Stream->WriteBuffer(FData.data(), Int64(FData.size()));
    return;
  }
  if (!FHandle)
    return;
  const TIconBitmaps bitmaps(FHandle);
  const Integer w = Width(), h = Height();
  const unsigned bits = Win::IconHasAlpha(FHandle) ? 32 : 24;
  const std::vector<std::uint8_t> color = Dib::EncodeRows(bitmaps.Color(), w, h, bits);
  const std::vector<std::uint8_t> mask = Dib::EncodeRows(bitmaps.Mask(), w, h, 1);
  const std::uint32_t imageSize = std::uint32_t(color.size() + mask.size());
  std::vector<std::uint8_t> header = Dib::InfoHeader(w, 2 * h, bits, imageSize, 0);
  // Icon frames carry no resolution.
  std::fill(header.begin() + 24, header.begin() + 32, std::uint8_t(0));

  std::vector<std::uint8_t> out;
  Dib::PutU16(out, 0);
  Dib::PutU16(out, 1);
  Dib::PutU16(out, 1);
  out.push_back(std::uint8_t(w));
  out.push_back(std::uint8_t(h));
  out.push_back(0);
  out.push_back(0);
  Dib::PutU16(out, 1);
  Dib::PutU16(out, std::uint16_t(bits));
  Dib::PutU32(out, std::uint32_t(header.size()) + imageSize);
  Dib::PutU32(out, std::uint32_t(IcoHeaderSize + IcoEntrySize));
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), color.begin(), color.end());
  out.insert(out.end(), mask.begin(), mask.end());
  Stream->WriteBuffer(out.data(), Int64(out.size()));
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect)
{
  if (FHandle)
    Win::DrawIconEx(ACanvas->Handle(), Rect.Left, Rect.Top, FHandle, 0, 0, 0, nullptr, Win::DI_NORMAL);
}

} // namespace Vcl

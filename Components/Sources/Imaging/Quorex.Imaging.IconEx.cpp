#include "Quorex.Imaging.IconEx.hpp"

#include "Quorex.Imaging.PngHelper.hpp"
#include "Quorex.Vcl.PngImageList.hpp"

#include <Win.User.hpp>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace Quorex {

using namespace Vcl;

namespace {

const char* const SInvalidIcon = "Icon image is not valid";
const char* const SChangeIconSize = "Cannot change the size of an icon";
const char* const SIconToClipboard = "Icons cannot be copied to or from the clipboard";
constexpr std::size_t HeaderSize = 6, EntrySize = 16, OneImageOffset = HeaderSize + EntrySize;
// Files beyond this are not icons.
constexpr Int64 MaxIconFile = Int64(1) << 28;
// A colour value of 0 means "unlimited": above every 16-bit count.
constexpr std::uint32_t UnlimitedColors = 0x10000;

Word GetU16(const Byte* p)
{
  return Word(p[0] | (p[1] << 8));
}

Cardinal GetU32(const Byte* p)
{
  return Cardinal(p[0]) | (Cardinal(p[1]) << 8) | (Cardinal(p[2]) << 16) | (Cardinal(p[3]) << 24);
}

Word FileType(const TBytes& Data)
{
  return GetU16(&Data[2]);
}

Integer EntryCount(const TBytes& Data)
{
  return FileType(Data) == 0 ? 1 : GetU16(&Data[4]);
}

// Beyond the directory (the stock header has none, whatever follows it) the
// file ends like a stream that is read past its end.
TIconDirEntry ReadEntry(const TBytes& Data, Integer Index)
{
  const std::size_t at = HeaderSize + EntrySize * std::size_t(Index);
  if (FileType(Data) == 0 || at + EntrySize > Data.size())
    throw EReadError("Stream read error");
  const Byte* e = &Data[at];
  return {e[0], e[1], e[2], e[3], GetU16(e + 4), GetU16(e + 6), GetU32(e + 8), GetU32(e + 12)};
}

// Every size and offset is checked against the file before the bytes are
// taken, in 64-bit arithmetic so that no sum wraps.
void Validate(const TBytes& Data)
{
  if (Data.size() < HeaderSize || FileType(Data) > 1)
    throw EInvalidGraphic(SInvalidIcon);
  if (FileType(Data) == 0)
    return;
  const Integer count = EntryCount(Data);
  if (count == 0 || HeaderSize + EntrySize * std::uint64_t(count) > Data.size())
    throw EInvalidGraphic(SInvalidIcon);
  for (Integer i = 0; i < count; ++i) {
    const TIconDirEntry e = ReadEntry(Data, i);
    if (e.dwBytesInRes == 0 || std::uint64_t(e.dwImageOffset) + e.dwBytesInRes > Data.size())
      throw EInvalidGraphic(SInvalidIcon);
  }
}

Integer EntryWidth(const TIconDirEntry& e)
{
  return e.bWidth ? e.bWidth : 256;
}

Integer EntryHeight(const TIconDirEntry& e)
{
  return e.bHeight ? e.bHeight : 256;
}

std::uint32_t ColorValue(const TIconDirEntry& e)
{
  const std::uint32_t value = e.bColorCount | (std::uint32_t(e.bReserved) << 8);
  return value ? value : UnlimitedColors;
}

bool IsPngFrame(const Byte* Frame, std::size_t Size)
{
  static const Byte Signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return Size >= sizeof Signature && std::memcmp(Frame, Signature, sizeof Signature) == 0;
}

Win::HICON PngFrameIcon(const Byte* Frame, std::size_t Size)
{
  TBytesStream stream(TBytes(Frame, Frame + Size));
  TPngImage png;
  png.LoadFromStream(&stream);
  return TPngImageList::PngToIcon(&png, clNone);
}

// A one-image file around the frame, read the platform icon's way.
Win::HICON BitmapFrameIcon(const TBytes& Data, const TIconDirEntry& e)
{
  const Byte header[HeaderSize] = {Data[0], Data[1], Data[2], Data[3], 1, 0};
  const Byte entry[EntrySize] = {e.bWidth, e.bHeight, e.bColorCount, e.bReserved,
                                 Byte(e.wPlanes), Byte(e.wPlanes >> 8), Byte(e.wBitCount), Byte(e.wBitCount >> 8),
                                 Byte(e.dwBytesInRes), Byte(e.dwBytesInRes >> 8), Byte(e.dwBytesInRes >> 16),
                                 Byte(e.dwBytesInRes >> 24), Byte(OneImageOffset), 0, 0, 0};
  TBytes file;
  file.reserve(OneImageOffset + e.dwBytesInRes);
  file.insert(file.end(), header, header + HeaderSize);
  file.insert(file.end(), entry, entry + EntrySize);
  file.insert(file.end(), Data.begin() + e.dwImageOffset, Data.begin() + e.dwImageOffset + e.dwBytesInRes);
  TBytesStream stream(file);
  TIcon icon;
  icon.LoadFromStream(&stream);
  return icon.ReleaseHandle();
}

// A PNG frame that does not decode falls back to the bitmap reading, which
// rejects it with the invalid-icon error.
Win::HICON FrameIcon(const TBytes& Data, Integer Index)
{
  const TIconDirEntry e = ReadEntry(Data, Index);
  const Byte* frame = Data.data() + e.dwImageOffset;
  if (IsPngFrame(frame, e.dwBytesInRes)) {
    try {
      return PngFrameIcon(frame, e.dwBytesInRes);
    } catch (const Exception&) {
    }
  }
  return BitmapFrameIcon(Data, e);
}

// The system's default application icon: a small window with a title bar.
Win::HICON MakeStockIcon()
{
  constexpr Integer size = 32;
  TBitmap color(size, size), mask(size, size);
  color.SetPixelFormat(pf32bit);
  mask.SetPixelFormat(pf32bit);
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(TRect(0, 0, size, size));
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect(2, 4, 30, 28));
  color.Canvas()->Brush()->SetColor(clBlack);
  color.Canvas()->FillRect(TRect(0, 0, size, size));
  color.Canvas()->Brush()->SetColor(TColor(0x404040));
  color.Canvas()->FillRect(TRect(2, 4, 30, 28));
  color.Canvas()->Brush()->SetColor(TColor(0xC06020));
  color.Canvas()->FillRect(TRect(3, 5, 29, 10));
  color.Canvas()->Brush()->SetColor(clWhite);
  color.Canvas()->FillRect(TRect(3, 11, 29, 27));
  Win::ICONINFO info;
  info.hbmColor = color.Handle();
  info.hbmMask = mask.Handle();
  return Win::CreateIconIndirect(&info);
}

Win::HICON StockIcon()
{
  static const Win::HICON icon = MakeStockIcon();
  return icon;
}

Win::HICON CheckedIcon(Win::HICON Icon)
{
  if (!Icon)
    throw EOutOfResources("Out of system resources");
  return Icon;
}

template <class Better>
Integer FindIndex(const TIconEx& Self, Better IsBetter)
{
  const Integer count = Self.GetIconCount();
  if (count <= 1) // the stock image has no entry to read
    return count - 1;
  Integer best = 0;
  TIconDesc bestDesc = Self.GetIconDescriptions(0);
  for (Integer i = 1; i < count; ++i) {
    const TIconDesc desc = Self.GetIconDescriptions(i);
    if (IsBetter(desc, bestDesc)) {
      best = i;
      bestDesc = desc;
    }
  }
  return best;
}

Int64 Area(const TIconDesc& d)
{
  return Int64(d.Width) * d.Height;
}

} // namespace

// ---- TIconDesc ---------------------------------------------------------------------

void TIconDesc::Assign(const TIconDirEntry& Entry)
{
  Width = Word(EntryWidth(Entry));
  Height = Word(EntryHeight(Entry));
  ColorCount = Entry.bColorCount;
  Planes = Entry.wPlanes;
  BitsPerPixel = Entry.wBitCount;
  BytesUsed = Entry.dwBytesInRes;
}

// ---- TIconImageEx ----------------------------------------------------------------

TIconImageEx::~TIconImageEx()
{
  FreeHandle();
}

void TIconImageEx::Release()
{
  if (--FRefCount == 0)
    delete this;
}

void TIconImageEx::FreeHandle()
{
  if (FHandle && FHandle != StockIcon())
    Win::DestroyIcon(FHandle);
  FHandle = nullptr;
}

// ---- TIconEx ----------------------------------------------------------------------

TIconEx::TIconEx()
{
  Share(new TIconImageEx);
}

TIconEx::TIconEx(TIcon* Icon) : TIconEx()
{
  AssignIcon(Icon);
}

TIconEx::~TIconEx()
{
  FImage->Release();
}

void TIconEx::Share(TIconImageEx* Image)
{
  Image->Reference();
  if (FImage)
    FImage->Release();
  FImage = Image;
}

void TIconEx::NewImage(Win::HICON Handle, TBytes* MemoryImage)
{
  auto* image = new TIconImageEx;
  image->FHandle = Handle;
  if (MemoryImage) {
    image->FHasMemoryImage = true;
    image->FMemoryImage = std::move(*MemoryImage);
  }
  Share(image);
}

void TIconEx::AssignIcon(TIcon* Icon)
{
  if (!Icon || Icon->Empty())
    return;
  TBytesStream stream;
  Icon->SaveToStream(&stream);
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TIconEx::Assign(const TPersistent* Source)
{
  if (!Source) {
    Share(new TIconImageEx);
    Changed();
    return;
  }
  if (const auto* other = dynamic_cast<const TIconEx*>(Source)) {
    if (other->FImage != FImage)
      Share(other->FImage);
    Changed();
    return;
  }
  if (const auto* icon = dynamic_cast<const TIcon*>(Source)) {
    AssignIcon(const_cast<TIcon*>(icon));
    return;
  }
  inherited::Assign(Source);
}

bool TIconEx::Empty() const
{
  return !FImage->FHandle && !FImage->FHasMemoryImage;
}

TSize TIconEx::KnownSize() const
{
  if (FImage->FSize.cx == 0 && FImage->FHasMemoryImage)
    const_cast<TIconEx*>(this)->HandleNeeded();
  return FImage->FSize;
}

Integer TIconEx::Width() const
{
  if (!FImage->FHasMemoryImage && !FImage->FHandle)
    return Win::GetSystemMetrics(Win::SM_CXICON);
  return KnownSize().cx;
}

Integer TIconEx::Height() const
{
  if (!FImage->FHasMemoryImage && !FImage->FHandle)
    return Win::GetSystemMetrics(Win::SM_CYICON);
  return KnownSize().cy;
}

void TIconEx::SetWidth(Integer Value)
{
  SetSize(Value, FRequestedSize.cy);
}

void TIconEx::SetHeight(Integer Value)
{
  SetSize(FRequestedSize.cx, Value);
}

void TIconEx::SetSize(Integer AWidth, Integer AHeight)
{
  if (FImage->FHandle)
    throw EInvalidGraphicOperation(SChangeIconSize);
  FRequestedSize = TSize(AWidth, AHeight);
}

void TIconEx::LoadFromStream(TStream* Stream)
{
  if (Stream->Size() - Stream->Position() > MaxIconFile)
    throw EInvalidGraphic(SInvalidIcon);
  TBytes data = Stream->ReadAll();
  Validate(data);
  NewImage(nullptr, &data);
  Changed();
}

void TIconEx::SaveToStream(TStream* Stream)
{
  ImageNeeded();
  Stream->WriteBuffer(FImage->FMemoryImage.data(), Int64(FImage->FMemoryImage.size()));
}

void TIconEx::LoadFromClipboardFormat(Word Format, std::uintptr_t Data)
{
  (void)Format;
  (void)Data;
  throw EInvalidGraphicOperation(SIconToClipboard);
}

void TIconEx::SaveToClipboardFormat(Word& Format, std::uintptr_t& Data)
{
  (void)Format;
  (void)Data;
  throw EInvalidGraphicOperation(SIconToClipboard);
}

Win::HICON TIconEx::Handle()
{
  HandleNeeded();
  return FImage->FHandle;
}

void TIconEx::SetHandle(Win::HICON Value)
{
  NewImage(Value, nullptr);
  if (Value)
    FImage->FSize = TSize(Win::IconWidth(Value), Win::IconHeight(Value));
  Changed();
}

bool TIconEx::HandleAllocated() const
{
  return FImage && FImage->FHandle;
}

// The entry whose colours the screen shows and whose size is closest to the
// wanted one, preferring the entry at or below it.
void TIconEx::HandleNeeded()
{
  if (FImage->FHandle || !FImage->FHasMemoryImage)
    return;
  const TBytes& data = FImage->FMemoryImage;
  if (FileType(data) == 0) {
    FImage->FHandle = StockIcon();
    FImage->FSize = TSize(Win::IconWidth(StockIcon()), Win::IconHeight(StockIcon()));
    return;
  }
  const Integer wantedX = FRequestedSize.cx ? FRequestedSize.cx : Win::GetSystemMetrics(Win::SM_CXICON);
  const Integer wantedY = FRequestedSize.cy ? FRequestedSize.cy : Win::GetSystemMetrics(Win::SM_CYICON);
  Integer best = 0;
  TIconDirEntry bestEntry = ReadEntry(data, 0);
  for (Integer i = 1, count = EntryCount(data); i < count; ++i) {
    const TIconDirEntry e = ReadEntry(data, i);
    const Integer nx = EntryWidth(e) - wantedX, ny = EntryHeight(e) - wantedY;
    const Integer ox = EntryWidth(bestEntry) - wantedX, oy = EntryHeight(bestEntry) - wantedY;
    const bool sizeBetter = std::abs(nx) <= std::abs(ox) && (nx <= 0 || nx <= ox) && std::abs(ny) <= std::abs(oy) &&
                            (ny <= 0 || ny <= oy);
    if (ColorValue(e) >= ColorValue(bestEntry) && sizeBetter) {
      best = i;
      bestEntry = e;
    }
  }
  Win::HICON icon = FrameIcon(data, best);
  FImage->FHandle = icon;
  FImage->FSize = TSize(Win::IconWidth(icon), Win::IconHeight(icon));
}

void TIconEx::ImageNeeded()
{
  if (FImage->FHasMemoryImage)
    return;
  if (!FImage->FHandle)
    throw EInvalidGraphic(SInvalidIcon);
  TBytes data(HeaderSize, 0);
  if (FImage->FHandle != StockIcon()) {
    TIcon icon;
    icon.SetHandle(CheckedIcon(Win::CopyIcon(FImage->FHandle)));
    TBytesStream stream;
    icon.SaveToStream(&stream);
    data = stream.Bytes();
  }
  FImage->FMemoryImage = std::move(data);
  FImage->FHasMemoryImage = true;
}

// A shared image keeps its handle for the other icons; this one gets a copy.
Win::HICON TIconEx::ReleaseHandle()
{
  Win::HICON handle = nullptr;
  if (FImage->GetRefCount() > 1) {
    handle = FImage->FHandle ? CheckedIcon(Win::CopyIcon(FImage->FHandle)) : nullptr;
    TBytes data = FImage->FMemoryImage;
    const bool hasImage = FImage->FHasMemoryImage;
    NewImage(nullptr, hasImage ? &data : nullptr);
  } else {
    handle = FImage->FHandle == StockIcon() ? CheckedIcon(Win::CopyIcon(StockIcon())) : FImage->FHandle;
    FImage->FHandle = nullptr;
    FImage->FSize = TSize(0, 0);
  }
  Changed();
  return handle;
}

Integer TIconEx::GetIconCount() const
{
  return FImage->FHasMemoryImage ? EntryCount(FImage->FMemoryImage) : 0;
}

TIconDesc TIconEx::GetIconDescriptions(Integer Index) const
{
  if (Index < 0 || Index >= GetIconCount())
    throw Exception("Icon index is out of bounds");
  TIconDesc desc;
  desc.Assign(ReadEntry(FImage->FMemoryImage, Index));
  return desc;
}

// The smallest image that covers the size on both axes, else the largest;
// among equals the later entry.
Integer TIconEx::FindNearestBiggerIconIndex(TSize Size) const
{
  auto covers = [Size](const TIconDesc& d) { return d.Width >= Size.cx && d.Height >= Size.cy; };
  return FindIndex(*this, [&](const TIconDesc& d, const TIconDesc& best) {
    if (covers(d) != covers(best))
      return covers(d);
    return covers(d) ? Area(d) <= Area(best) : Area(d) >= Area(best);
  });
}

TSize TIconEx::FindNearestBiggerSize(TSize Size) const
{
  const Integer index = FindNearestBiggerIconIndex(Size);
  if (index < 0)
    return TSize(0, 0);
  const TIconDesc desc = GetIconDescriptions(index);
  return TSize(desc.Width, desc.Height);
}

Integer TIconEx::FindNearestSmallerIconIndex(TSize Size) const
{
  return FindIndex(*this, [Size](const TIconDesc& d, const TIconDesc& best) {
    const Integer dx = d.Width - Size.cx, dy = d.Height - Size.cy;
    const Integer bx = best.Width - Size.cx, by = best.Height - Size.cy;
    return std::abs(dx) <= std::abs(bx) && !(dx > 0 && dx > bx) && std::abs(dy) <= std::abs(by) &&
           !(dy > 0 && dy > by);
  });
}

void TIconEx::ExtractIcon(Integer Index, TIcon* Icon) const
{
  if (Index < 0 || Index >= GetIconCount())
    throw Exception("Wrong icon index");
  Icon->SetHandle(FrameIcon(FImage->FMemoryImage, Index));
}

void TIconEx::ExtractIcon(Integer Index, TBitmap* Bitmap) const
{
  TIcon icon;
  ExtractIcon(Index, &icon);
  Bitmap->Assign(&icon);
}

void TIconEx::ExtractIcon(Integer Index, TPngImage* Png) const
{
  TIcon icon;
  ExtractIcon(Index, &icon);
  TPngImageHelper::AssignGraphic(*Png, &icon);
}

void TIconEx::ExtractIcon(TSize Size, TIcon* Icon) const
{
  if (GetIconCount() == 0)
    throw Exception("Icon is empty");
  ExtractIcon(FindNearestSmallerIconIndex(Size), Icon);
}

void TIconEx::ExtractIcon(TSize Size, TBitmap* Bitmap) const
{
  TIcon icon;
  ExtractIcon(Size, &icon);
  Bitmap->Assign(&icon);
}

void TIconEx::ExtractIcon(TSize Size, TPngImage* Png, bool Resize) const
{
  if (GetIconCount() == 0)
    throw Exception("Icon is empty");
  if (Resize && (Size.cx < 1 || Size.cy < 1))
    throw EInvalidGraphicOperation("Icon size is not valid");
  TIcon icon;
  ExtractIcon(Resize ? FindNearestBiggerIconIndex(Size) : FindNearestSmallerIconIndex(Size), &icon);
  TPngImageHelper::AssignGraphic(*Png, &icon);
  if (Resize && (Png->Width() != Size.cx || Png->Height() != Size.cy))
    TPngImageHelper::SmoothResize(*Png, Size.cx, Size.cy);
}

// The icon's own alpha, or opaque pixels and transparent black where its
// mask is set.
void TIconEx::AssignTo(TPersistent* Dest) const
{
  auto* bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!bitmap) {
    inherited::AssignTo(Dest);
    return;
  }
  auto* self = const_cast<TIconEx*>(this);
  TIcon icon;
  if (!self->Empty())
    icon.SetHandle(CheckedIcon(Win::CopyIcon(self->Handle())));
  bitmap->Assign(&icon);
}

void TIconEx::Draw(TCanvas* ACanvas, const TRect& Rect)
{
  if (!ACanvas->HandleAllocated())
    throw Exception("The canvas handle was not allocated");
  if (Win::HICON icon = Handle())
    Win::DrawIconEx(ACanvas->Handle(), Rect.Left, Rect.Top, icon, 0, 0, 0, nullptr, Win::DI_NORMAL);
}

} // namespace Quorex

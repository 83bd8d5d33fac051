#include "Vcl.ImgList.hpp"

#include "System.Classes.Streaming.hpp"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace Vcl {

namespace {

// The framework's own image-list stream, as real forms hold it: a 28-byte
// header ("IL", version, image count, capacity, growth, cell width and
// height, background colour, flags, overlays), then the images as one bitmap
// file, four cells to a row, and the mask as a second when the list is masked.
constexpr int ListHeaderSize = 28;
constexpr Integer CellsPerRow = 4;
constexpr int MaxCellSize = 4096;

bool IsFrameworkListStream(TStream* Stream)
{
  const Int64 start = Stream->Position();
  std::uint8_t magic[2] = {};
  const bool framework = Stream->Read(magic, 2) == 2 && magic[0] == 'I' && magic[1] == 'L';
  Stream->SetPosition(start);
  return framework;
}

std::unique_ptr<TBitmap> Cell(TBitmap* Sheet, Integer Index, Integer Width, Integer Height)
{
  auto cell = std::make_unique<TBitmap>();
  cell->SetPixelFormat(Sheet->PixelFormat());
  cell->SetSize(Width, Height);
  const Integer x = Index % CellsPerRow * Width;
  const Integer y = Index / CellsPerRow * Height;
  cell->Canvas()->CopyRect(Rect(0, 0, Width, Height), Sheet->Canvas(), Rect(x, y, x + Width, y + Height));
  return cell;
}

void ReadFrameworkList(TCustomImageList& List, TStream* Stream)
{
  std::uint8_t header[ListHeaderSize];
  Stream->ReadBuffer(header, ListHeaderSize);
  auto word = [&](int at) { return Integer(std::int16_t(header[at] | header[at + 1] << 8)); };
  const Integer count = word(4), width = word(10), height = word(12);
  const bool masked = word(18) & 1;
  if (count < 0 || width < 1 || height < 1 || width > MaxCellSize || height > MaxCellSize)
    throw EReadError("Invalid image list data");
  TBitmap sheet, maskSheet;
  sheet.LoadFromStream(Stream);
  if (masked)
    maskSheet.LoadFromStream(Stream);
  const Integer rows = (count + CellsPerRow - 1) / CellsPerRow;
  for (TBitmap* s : {&sheet, masked ? &maskSheet : &sheet})
    if (count > 0 && (s->Width() < std::min(count, CellsPerRow) * width || s->Height() < rows * height))
      throw EReadError("Image list bitmap smaller than its images");
  List.Clear();
  List.SetWidth(width);
  List.SetHeight(height);
  for (Integer i = 0; i < count; ++i) {
    std::unique_ptr<TBitmap> image = Cell(&sheet, i, width, height);
    std::unique_ptr<TBitmap> mask = masked ? Cell(&maskSheet, i, width, height) : nullptr;
    List.Add(image.get(), mask.get());
  }
}

Win::COLORREF Ref(TColor Color)
{
  return Win::COLORREF(ColorToRGB(Color)) & 0x00FFFFFF;
}

// One icon file per image, each preceded by its length.
void WriteIcon(TStream* Stream, Win::HICON Icon)
{
  TIcon icon;
  icon.SetHandle(Icon);
  TBytesStream data;
  icon.SaveToStream(&data);
  const Cardinal size = Cardinal(data.Size());
  Stream->WriteBuffer(&size, 4);
  Stream->WriteBuffer(data.Bytes().data(), Int64(size));
}

// The image greyed and half transparent: the look of a disabled image.
void DrawDisabled(TCanvas* Canvas, Integer X, Integer Y, Win::HICON Icon)
{
  TIcon icon;
  icon.SetHandle(Icon);
  TBitmap bitmap;
  bitmap.Assign(&icon);
  for (Integer y = 0; y < bitmap.Height(); ++y) {
    auto* px = reinterpret_cast<std::uint32_t*>(bitmap.ScanLine(y));
    for (Integer x = 0; x < bitmap.Width(); ++x) {
      const std::uint32_t p = px[x];
      const std::uint32_t grey = (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29) >> 8;
      px[x] = ((p >> 25) << 24) | (grey << 16) | (grey << 8) | grey;
    }
  }
  bitmap.SetAlphaFormat(afDefined);
  Canvas->Draw(X, Y, &bitmap);
}

} // namespace

// ---- TChangeLink ----------------------------------------------------------------------

TChangeLink::~TChangeLink()
{
  if (FSender)
    FSender->UnRegisterChanges(this);
}

void TChangeLink::Change()
{
  if (OnChange)
    OnChange(FSender);
}

// ---- TCustomImageList --------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner)
{
  CreateNativeList();
}

TCustomImageList::TCustomImageList(Integer AWidth, Integer AHeight) : TComponent(nullptr)
{
  FWidth = std::max(AWidth, 1);
  FHeight = std::max(AHeight, 1);
  CreateNativeList();
}

TCustomImageList::~TCustomImageList()
{
  for (TChangeLink* link : FClients)
    link->SetSender(nullptr);
  Win::ImageList_Destroy(FHandle);
}

Win::UINT TCustomImageList::NativeFlags() const
{
  static const Win::UINT depths[] = {Win::ILC_COLORDDB, Win::ILC_COLOR4, Win::ILC_COLOR8,
                                     Win::ILC_COLOR16, Win::ILC_COLOR24, Win::ILC_COLOR32};
  return depths[std::size_t(FColorDepth)] | (FMasked ? Win::ILC_MASK : 0);
}

void TCustomImageList::CreateNativeList()
{
  if (FHandle)
    Win::ImageList_Destroy(FHandle);
  FHandle = Win::ImageList_Create(FWidth, FHeight, NativeFlags(), 0, FAllocBy);
  if (!FHandle)
    throw EOutOfResources("Out of system resources");
}

std::vector<Win::HICON> TCustomImageList::NativeIcons() const
{
  std::vector<Win::HICON> icons;
  for (Integer i = 0; i < Count(); ++i)
    icons.push_back(Win::ImageList_GetIcon(FHandle, i, Win::ILD_NORMAL));
  return icons;
}

void TCustomImageList::InsertNativeIcon(Integer Index, Win::HICON Icon)
{
  std::vector<Win::HICON> icons = NativeIcons();
  icons.insert(icons.begin() + std::clamp(Index, 0, Integer(icons.size())), Win::CopyIcon(Icon));
  Win::ImageList_Remove(FHandle, -1);
  for (Win::HICON icon : icons) {
    Win::ImageList_ReplaceIcon(FHandle, -1, icon);
    Win::DestroyIcon(icon);
  }
}

void TCustomImageList::Assign(const TPersistent* Source)
{
  const auto* list = dynamic_cast<const TCustomImageList*>(Source);
  if (!list) {
    inherited::Assign(Source);
    return;
  }
  if (list == this)
    return;
  FWidth = list->FWidth;
  FHeight = list->FHeight;
  FMasked = list->FMasked;
  FColorDepth = list->FColorDepth;
  FAllocBy = list->FAllocBy;
  FDrawingStyle = list->FDrawingStyle;
  FBkColor = list->FBkColor;
  Win::HIMAGELIST copy = Win::ImageList_Duplicate(list->FHandle);
  if (!copy)
    throw EOutOfResources("Out of system resources");
  Win::ImageList_Destroy(FHandle);
  FHandle = copy;
  Change();
}

void TCustomImageList::SetWidth(Integer Value)
{
  if (Value == FWidth || Value < 1)
    return;
  FWidth = Value;
  Win::ImageList_SetIconSize(FHandle, FWidth, FHeight);
  Change();
}

void TCustomImageList::SetHeight(Integer Value)
{
  if (Value == FHeight || Value < 1)
    return;
  FHeight = Value;
  Win::ImageList_SetIconSize(FHandle, FWidth, FHeight);
  Change();
}

void TCustomImageList::SetMasked(bool Value)
{
  if (Value == FMasked)
    return;
  FMasked = Value;
  CreateNativeList();
  Change();
}

void TCustomImageList::SetColorDepth(TColorDepth Value)
{
  if (Value == FColorDepth)
    return;
  FColorDepth = Value;
  CreateNativeList();
  Change();
}

Integer TCustomImageList::Count() const
{
  return Win::ImageList_GetImageCount(FHandle);
}

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
  if (!Image)
    return -1;
  const Integer index = Win::ImageList_Add(FHandle, Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
  return index;
}

Integer TCustomImageList::AddIcon(TIcon* Image)
{
  if (!Image || Image->Empty())
    return -1;
  const Integer index = Win::ImageList_ReplaceIcon(FHandle, -1, Image->Handle());
  Change();
  return index;
}

Integer TCustomImageList::AddImage(TCustomImageList* Value, Integer Index)
{
  if (!Value || !Value->ValidIndex(Index))
    return -1;
  TIcon icon;
  Value->GetIcon(Index, &icon);
  return AddIcon(&icon);
}

void TCustomImageList::AddImages(TCustomImageList* Value)
{
  if (!Value || Value == this)
    return;
  for (Integer i = 0; i < Value->Count(); ++i) {
    TIcon icon;
    Value->GetIcon(i, &icon);
    Win::ImageList_ReplaceIcon(FHandle, -1, icon.Handle());
  }
  Change();
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
  if (!Image)
    return -1;
  const Integer index = Win::ImageList_AddMasked(FHandle, Image->Handle(), Ref(MaskColor));
  Change();
  return index;
}

void TCustomImageList::Clear()
{
  Win::ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Delete(Integer Index)
{
  if (!ValidIndex(Index))
    return;
  Win::ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Insert(Integer Index, TBitmap* Image, TBitmap* Mask)
{
  if (!Image || Index < 0 || Index > Count())
    return;
  TImageList one(FWidth, FHeight);
  if (one.Add(Image, Mask) < 0)
    return;
  TIcon icon;
  one.GetIcon(0, &icon);
  InsertNativeIcon(Index, icon.Handle());
  Change();
}

void TCustomImageList::InsertIcon(Integer Index, TIcon* Image)
{
  if (!Image || Image->Empty() || Index < 0 || Index > Count())
    return;
  InsertNativeIcon(Index, Image->Handle());
  Change();
}

void TCustomImageList::InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor)
{
  if (!Image || Index < 0 || Index > Count())
    return;
  TImageList one(FWidth, FHeight);
  if (one.AddMasked(Image, MaskColor) < 0)
    return;
  TIcon icon;
  one.GetIcon(0, &icon);
  InsertNativeIcon(Index, icon.Handle());
  Change();
}

void TCustomImageList::Move(Integer CurIndex, Integer NewIndex)
{
  if (!ValidIndex(CurIndex) || !ValidIndex(NewIndex) || CurIndex == NewIndex)
    return;
  TIcon icon;
  GetIcon(CurIndex, &icon);
  Win::ImageList_Remove(FHandle, CurIndex);
  InsertNativeIcon(NewIndex, icon.Handle());
  Change();
}

void TCustomImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask)
{
  if (!Image || !ValidIndex(Index))
    return;
  Win::ImageList_Replace(FHandle, Index, Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
}

void TCustomImageList::ReplaceIcon(Integer Index, TIcon* Image)
{
  if (!Image || Image->Empty() || !ValidIndex(Index))
    return;
  Win::ImageList_ReplaceIcon(FHandle, Index, Image->Handle());
  Change();
}

void TCustomImageList::ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor)
{
  if (!NewImage || !ValidIndex(Index))
    return;
  TImageList one(FWidth, FHeight);
  if (one.AddMasked(NewImage, MaskColor) < 0)
    return;
  TIcon icon;
  one.GetIcon(0, &icon);
  Win::ImageList_ReplaceIcon(FHandle, Index, icon.Handle());
  Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled)
{
  Draw(Canvas, X, Y, Index, FDrawingStyle, itImage, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled)
{
  if (!Canvas || Index < 0)
    return;
  Win::UINT style = AImageType == itMask ? Win::ILD_MASK : Win::ILD_NORMAL;
  if (ADrawingStyle == dsTransparent)
    style |= Win::ILD_TRANSPARENT;
  DoDraw(Index, Canvas, X, Y, style, Enabled);
}

void TCustomImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, Win::UINT Style, bool Enabled)
{
  if (!ValidIndex(Index))
    return;
  if (Enabled || (Style & Win::ILD_MASK)) {
    Win::ImageList_Draw(FHandle, Index, Canvas->Handle(), X, Y, Style);
    return;
  }
  DrawDisabled(Canvas, X, Y, Win::ImageList_GetIcon(FHandle, Index, Win::ILD_NORMAL));
}

void TCustomImageList::GetIcon(Integer Index, TIcon* Image)
{
  if (Image)
    Image->SetHandle(Win::ImageList_GetIcon(FHandle, Index, Win::ILD_NORMAL));
}

bool TCustomImageList::GetBitmap(Integer Index, TBitmap* Image)
{
  if (!Image || !ValidIndex(Index))
    return false;
  Image->SetPixelFormat(pf32bit);
  Image->SetSize(FWidth, FHeight);
  Image->Canvas()->Brush()->SetColor(clBlack);
  Image->Canvas()->FillRect(TRect(0, 0, FWidth, FHeight));
  Win::ImageList_Draw(FHandle, Index, Image->Canvas()->Handle(), 0, 0, Win::ILD_NORMAL);
  return true;
}

void TCustomImageList::RegisterChanges(TChangeLink* Value)
{
  if (!Value || std::find(FClients.begin(), FClients.end(), Value) != FClients.end())
    return;
  Value->SetSender(this);
  FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value)
{
  const auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end())
    return;
  FClients.erase(it);
  Value->SetSender(nullptr);
}

void TCustomImageList::Change()
{
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying))
    return;
  // A consumer may unregister while being told.
  const std::vector<TChangeLink*> clients = FClients;
  for (TChangeLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end())
      link->Change();
  if (OnChange)
    OnChange(this);
}

void TCustomImageList::DefineProperties(TFiler* Filer)
{
  inherited::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
    "Bitmap", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
    Count() > 0);
}

void TCustomImageList::ReadData(TStream* Stream)
{
  if (IsFrameworkListStream(Stream)) {
    ReadFrameworkList(*this, Stream);
    return;
  }
  Cardinal count = 0;
  Stream->ReadBuffer(&count, 4);
  if (count > Cardinal(Stream->Size() - Stream->Position()) / 4)
    throw EReadError("Stream read error");
  std::vector<TIcon> icons(count);
  for (TIcon& icon : icons) {
    Cardinal size = 0;
    Stream->ReadBuffer(&size, 4);
    if (size > Stream->Size() - Stream->Position())
      throw EReadError("Stream read error");
    TBytes data(size);
    Stream->ReadBuffer(data.data(), Int64(size));
    TBytesStream file(data);
    icon.LoadFromStream(&file);
  }
  Win::ImageList_Remove(FHandle, -1);
  for (TIcon& icon : icons)
    Win::ImageList_ReplaceIcon(FHandle, -1, icon.Handle());
  Change();
}

void TCustomImageList::WriteData(TStream* Stream)
{
  const Cardinal count = Cardinal(Count());
  Stream->WriteBuffer(&count, 4);
  for (Win::HICON icon : NativeIcons())
    WriteIcon(Stream, icon);
}

QX_PUBLISHED(TCustomImageList)
{
  Property("AllocBy", &T::AllocBy, &T::SetAllocBy).Default(4).Protected();
  Property("BkColor", &T::BkColor, &T::SetBkColor).As(pkColor).Default(clNone).Protected();
  Property("ColorDepth", &T::ColorDepth, &T::SetColorDepth).Default(cd32Bit).Protected();
  Property("DrawingStyle", &T::DrawingStyle, &T::SetDrawingStyle).Default(dsNormal).Protected();
  Property("Height", &T::Height, &T::SetHeight).Default(16).Protected();
  Property("Masked", &T::Masked, &T::SetMasked).Default(true).Protected();
  Property("Width", &T::Width, &T::SetWidth).Default(16).Protected();
  Event("OnChange", &T::OnChange).Protected();
}

QX_PUBLISHED(TImageList)
{
  Publish("Height");
  Publish("Width");
  Publish("AllocBy");
  Publish("BkColor");
  Publish("ColorDepth");
  Publish("DrawingStyle");
  Publish("Masked");
  Publish("OnChange");
}

} // namespace Vcl

#include "Quorex.Vcl.PngImageList.hpp"

#include <System.Classes.Streaming.hpp>
#include <System.ScopeGuards.hpp>
#include <System.SysUtils.hpp>
#include <System.TypInfo.hpp>

#include <cstring>

namespace Quorex {

using namespace Vcl;

namespace {

// Runs Action inside an update whose end leaves the native list alone (the
// caller mends it itself), also when Action raises.
template <class TAction>
auto WithoutRebuild(TPngImageList* List, TAction Action)
{
  List->BeginUpdate();
  const auto end = Finally([List] { List->EndUpdate(false); });
  return Action();
}

std::unique_ptr<TPngImage> Owned(TPngImage* Png)
{
  return std::unique_ptr<TPngImage>(Png);
}

Win::HICON CheckedIcon(Win::HICON Icon)
{
  if (!Icon)
    throw EOutOfResources("Out of system resources");
  return Icon;
}

// Surface pixels 0xAARRGGBB; where alpha is 0 the mask is white
// (transparent) and the colour black, as drawing through the mask needs.
Win::HICON IconFromPixels(const std::vector<std::uint32_t>& Pixels, Integer Width, Integer Height)
{
  Win::HBITMAP color = Win::CreateBitmap32(Width, Height);
  Win::HBITMAP mask = Win::CreateBitmap32(Width, Height);
  Win::HICON icon = nullptr;
  if (color && mask) {
    std::uint32_t* c = Win::BitmapBits(color);
    std::uint32_t* m = Win::BitmapBits(mask);
    for (std::size_t i = 0; i < Pixels.size(); ++i) {
      const bool hidden = (Pixels[i] >> 24) == 0;
      c[i] = hidden ? 0 : Pixels[i];
      m[i] = hidden ? 0xFFFFFFFFu : 0xFF000000u;
    }
    Win::ICONINFO info;
    info.hbmColor = color;
    info.hbmMask = mask;
    icon = Win::CreateIconIndirect(&info);
  }
  if (color)
    Win::DeleteObject(color);
  if (mask)
    Win::DeleteObject(mask);
  return CheckedIcon(icon);
}

// The alpha of every pixel: the alpha plane, the single transparent colour,
// or opaque.
std::vector<Byte> AlphaOf(const TPngImage& Png)
{
  const std::size_t w = std::size_t(Png.Width());
  std::vector<Byte> alpha(w * std::size_t(Png.Height()), 255);
  const TPngImage* source = &Png;
  TPngImage copy;
  if (!Png.AlphaScanline(0) && Png.TransparencyMode() != ptmNone) {
    copy.Assign(&Png);
    copy.CreateAlpha();
    source = &copy;
  }
  if (!source->AlphaScanline(0))
    return alpha;
  for (Integer y = 0; y < Png.Height(); ++y)
    std::memcpy(&alpha[std::size_t(y) * w], source->AlphaScanline(y), w);
  return alpha;
}

} // namespace

// ---- TPngImageCollectionItem -------------------------------------------------------

// Joins the collection only once the image exists: joining tells the owner,
// which may rebuild from every item at once.
TPngImageCollectionItem::TPngImageCollectionItem(TCollection* Collection)
  : TCollectionItem(nullptr), FPngImage(std::make_unique<TPngImage>())
{
  SetCollection(Collection);
  FName = Format("PngImage%d", {Index()});
}

TPngImageCollectionItem::~TPngImageCollectionItem() = default;

void TPngImageCollectionItem::Assign(const TPersistent* Source)
{
  const auto* item = dynamic_cast<const TPngImageCollectionItem*>(Source);
  if (!item) {
    inherited::Assign(Source);
    return;
  }
  if (item->FPngImage)
    SetPngImage(item->FPngImage.get());
  else
    FPngImage.reset();
  FBackground = item->FBackground;
  FName = item->FName;
  Changed(false);
}

void TPngImageCollectionItem::AssignTo(TPersistent* Dest) const
{
  auto* item = dynamic_cast<TPngImageCollectionItem*>(Dest);
  if (!item) {
    inherited::AssignTo(Dest);
    return;
  }
  item->SetPngImage(FPngImage.get());
}

void TPngImageCollectionItem::SetPngImage(const TPngImage* Value)
{
  if (!FPngImage)
    FPngImage = std::make_unique<TPngImage>();
  if (Value)
    FPngImage->Assign(Value);
  Changed(false);
}

void TPngImageCollectionItem::SetBackground(TColor Value)
{
  if (Value == FBackground)
    return;
  FBackground = Value;
  Changed(false);
}

TPngImage* TPngImageCollectionItem::Duplicate() const
{
  auto copy = std::make_unique<TPngImage>();
  if (FPngImage)
    copy->Assign(FPngImage.get());
  return copy.release();
}

String TPngImageCollectionItem::DisplayName() const
{
  return FName.empty() ? inherited::DisplayName() : FName;
}

// Designers store the image as "PngImage" or, through the image's own
// data, as "PngImage.Data"; both hold the PNG file's bytes. A name cleared
// on purpose is written too, or the item would read back with the name a
// new item gets.
void TPngImageCollectionItem::DefineProperties(TFiler* Filer)
{
  inherited::DefineProperties(Filer);
  auto read = [this](TStream* Stream) {
    TPngImage png;
    png.LoadFromStream(Stream);
    SetPngImage(&png);
  };
  Filer->DefineBinaryProperty(
    "PngImage", read, [this](TStream* Stream) { FPngImage->SaveToStream(Stream); },
    FPngImage && !FPngImage->Empty());
  Filer->DefineBinaryProperty("PngImage.Data", read, nullptr, false);
  Filer->DefineProperty(
    "Name", [this](TReader* Reader) { SetName(Reader->ReadString()); },
    [this](TWriter* Writer) { Writer->WriteString(FName); }, FName.empty());
}

// ---- TPngImageCollectionItems ------------------------------------------------------

TPngImageCollectionItems::TPngImageCollectionItems(TPersistent* Owner)
  : TCollection(&TPngImageCollectionItem::StaticClass()), FOwner(Owner)
{
}

TPngImageCollectionItem* TPngImageCollectionItems::Add(bool DontCreatePng)
{
  auto* item = static_cast<TPngImageCollectionItem*>(TCollection::Add());
  if (DontCreatePng)
    item->FPngImage.reset();
  return item;
}

TPngImageCollectionItem* TPngImageCollectionItems::Insert(Integer Index, bool DontCreatePng)
{
  TPngImageCollectionItem* item = Add(DontCreatePng);
  item->SetIndex(Index);
  return item;
}

TPngImageCollectionItem* TPngImageCollectionItems::Items(Integer Index) const
{
  if (Index < 0 || Index >= Count())
    return nullptr;
  return static_cast<TPngImageCollectionItem*>(TCollection::Items(Index));
}

void TPngImageCollectionItems::SetItems(Integer Index, TPngImageCollectionItem* Value)
{
  if (TPngImageCollectionItem* item = Items(Index))
    item->Assign(Value);
}

void TPngImageCollectionItems::Update(TCollectionItem* Item)
{
  inherited::Update(Item);
  if (auto* list = dynamic_cast<TPngImageList*>(FOwner))
    list->CopyPngs();
}

// ---- TPngImageList ---------------------------------------------------------------

TPngImageList::TPngImageList(TComponent* AOwner)
  : TImageList(AOwner), FPngImages(std::make_unique<TPngImageCollectionItems>(this))
{
  FPngImages->SetPropName("PngImages");
}

TPngImageList::~TPngImageList()
{
  FLocked = 1; // no rebuilds while the items go
  FPngImages.reset();
}

void TPngImageList::Assign(const TPersistent* Source)
{
  const auto* list = dynamic_cast<const TPngImageList*>(Source);
  if (!list) {
    inherited::Assign(Source);
    return;
  }
  if (list == this)
    return;
  {
    const TUpdateScope update(*this);
    TImageList::SetWidth(list->Width());
    TImageList::SetHeight(list->Height());
    FEnabledImages = list->FEnabledImages;
    FPngOptions = list->FPngOptions;
    FPngImages->Assign(list->FPngImages.get());
  }
  Change();
}

void TPngImageList::AssignTo(TPersistent* Dest) const
{
  if (auto* list = dynamic_cast<TPngImageList*>(Dest)) {
    list->Assign(this);
    return;
  }
  inherited::AssignTo(Dest);
}

void TPngImageList::SetEnabledImages(bool Value)
{
  if (Value == FEnabledImages)
    return;
  FEnabledImages = Value;
  CopyPngs();
}

void TPngImageList::SetPngImages(TPngImageCollectionItems* Value)
{
  if (Value != FPngImages.get())
    FPngImages->Assign(Value);
}

void TPngImageList::SetPngOptions(TPngOptions Value)
{
  if (Value == FPngOptions)
    return;
  FPngOptions = Value;
  CopyPngs();
}

void TPngImageList::SetWidth(Integer Value)
{
  if (Value == Width())
    return;
  TImageList::SetWidth(Value);
  SizeChanged();
}

void TPngImageList::SetHeight(Integer Value)
{
  if (Value == Height())
    return;
  TImageList::SetHeight(Value);
  SizeChanged();
}

// A form resource may give the size after the images: those stay.
void TPngImageList::SizeChanged()
{
  if (ComponentState().Contains(csLoading))
    return;
  Clear();
}

void TPngImageList::Loaded()
{
  inherited::Loaded();
  CopyPngs();
}

Win::HICON TPngImageList::NativeIcon(const TPngImageCollectionItem* Item) const
{
  const TPngImage* png = Item->PngImage();
  if (!png || png->Empty()) {
    const std::vector<std::uint32_t> clear(std::size_t(Width()) * std::size_t(Height()), 0);
    return IconFromPixels(clear, Width(), Height());
  }
  if (FEnabledImages || FPngOptions.Empty())
    return PngToIcon(png, Item->Background());
  TPngImage look;
  look.Assign(png);
  if (FPngOptions.Contains(pngBlendOnDisabled))
    MakeImageBlended(&look, 127);
  if (FPngOptions.Contains(pngGrayscaleOnDisabled))
    MakeImageGrayscale(&look, 255);
  return PngToIcon(&look, clNone);
}

Win::HICON TPngImageList::PngToIcon(const TPngImage* Png, TColor Background)
{
  (void)Background;
  const Integer w = Png->Width(), h = Png->Height();
  const std::vector<Byte> alpha = AlphaOf(*Png);
  std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
  const bool rgb8 = Png->Header().BitDepth == 8 &&
                    (Png->Header().ColorType == COLOR_RGB || Png->Header().ColorType == COLOR_RGBALPHA);
  for (Integer y = 0; y < h; ++y) {
    const Byte* row = Png->Scanline(y);
    for (Integer x = 0; x < w; ++x) {
      const std::size_t i = std::size_t(y) * w + x;
      std::uint32_t rgb = 0;
      if (rgb8) {
        rgb = (std::uint32_t(row[3 * x + 2]) << 16) | (std::uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
      } else {
        const TColor c = Png->Pixels(x, y);
        rgb = (std::uint32_t(c & 0xFF) << 16) | (std::uint32_t(c) & 0xFF00) | ((std::uint32_t(c) >> 16) & 0xFF);
      }
      pixels[i] = (std::uint32_t(alpha[i]) << 24) | rgb;
    }
  }
  return IconFromPixels(pixels, w, h);
}

void TPngImageList::BeginUpdate()
{
  ++FLocked;
}

void TPngImageList::EndUpdate(bool Update)
{
  if (FLocked == 0)
    return;
  if (--FLocked == 0 && Update)
    CopyPngs();
}

void TPngImageList::CopyPngs()
{
  if (FLocked > 0 || ComponentState().Contains(csLoading))
    return;
  CreateNativeList();
  for (Integer i = 0; i < FPngImages->Count(); ++i) {
    Win::HICON icon = NativeIcon(FPngImages->Items(i));
    Win::ImageList_ReplaceIcon(Handle(), -1, icon);
    Win::DestroyIcon(icon);
  }
  // The only notice that changes of the options, of EnabledImages and of items
  // made through the collection give to the consumers that draw from the list.
  Change();
}

// Made inside an update, so that only the caller's change is announced.
TPngImageCollectionItem* TPngImageList::NewItem(Integer Index, const TPngImage* Png, TColor Background)
{
  return WithoutRebuild(this, [&] {
    TPngImageCollectionItem* item = Index < 0 ? FPngImages->Add(true) : FPngImages->Insert(Index, true);
    item->SetPngImage(Png);
    item->SetBackground(Background);
    return item;
  });
}

Integer TPngImageList::AddPng(const TPngImage* Png, TColor Background)
{
  if (!Png)
    return -1;
  TPngImageCollectionItem* item = NewItem(-1, Png, Background);
  Win::HICON icon = NativeIcon(item);
  Win::ImageList_ReplaceIcon(Handle(), -1, icon);
  Win::DestroyIcon(icon);
  Change();
  return item->Index();
}

void TPngImageList::InsertPng(Integer Index, const TPngImage* Png, TColor Background)
{
  if (!Png || Index < 0 || Index > FPngImages->Count())
    return;
  TPngImageCollectionItem* item = NewItem(Index, Png, Background);
  Win::HICON icon = NativeIcon(item);
  InsertNativeIcon(Index, icon);
  Win::DestroyIcon(icon);
  Change();
}

Integer TPngImageList::AddConverted(std::unique_ptr<TPngImage> Png)
{
  return AddPng(Png.get(), clNone);
}

void TPngImageList::InsertConverted(Integer Index, std::unique_ptr<TPngImage> Png)
{
  InsertPng(Index, Png.get(), clNone);
}

void TPngImageList::ReplaceConverted(Integer Index, std::unique_ptr<TPngImage> Png)
{
  TPngImageCollectionItem* item = FPngImages->Items(Index);
  if (!item || !Png)
    return;
  WithoutRebuild(this, [&] { item->SetPngImage(Png.get()); });
  Win::HICON icon = NativeIcon(item);
  Win::ImageList_ReplaceIcon(Handle(), Index, icon);
  Win::DestroyIcon(icon);
  Change();
}

namespace {

std::unique_ptr<TPngImage> FromBitmaps(TBitmap* Image, TBitmap* Mask)
{
  TPngImage* png = nullptr;
  if (Image)
    CreatePNG(Image, Mask, png);
  return Owned(png);
}

std::unique_ptr<TPngImage> FromMasked(TBitmap* Image, TColor MaskColor)
{
  TPngImage* png = nullptr;
  if (Image)
    CreatePNGMasked(Image, MaskColor, png);
  return Owned(png);
}

std::unique_ptr<TPngImage> FromIcon(TIcon* Image)
{
  TPngImage* png = nullptr;
  if (Image && !Image->Empty())
    ConvertToPNG(Image, png);
  return Owned(png);
}

} // namespace

Integer TPngImageList::Add(TBitmap* Image, TBitmap* Mask)
{
  return AddConverted(FromBitmaps(Image, Mask));
}

Integer TPngImageList::AddIcon(TIcon* Image)
{
  return AddConverted(FromIcon(Image));
}

Integer TPngImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
  return AddConverted(FromMasked(Image, MaskColor));
}

Integer TPngImageList::AddImage(TCustomImageList* Value, Integer Index)
{
  if (!Value || Index < 0 || Index >= Value->Count())
    return -1;
  auto png = std::make_unique<TPngImage>();
  CopyImageFromImageList(png.get(), Value, Index);
  return AddConverted(std::move(png));
}

void TPngImageList::AddImages(TCustomImageList* Value)
{
  if (!Value || Value == this)
    return;
  const TUpdateScope update(*this);
  for (Integer i = 0; i < Value->Count(); ++i)
    AddImage(Value, i);
}

void TPngImageList::Insert(Integer Index, TBitmap* Image, TBitmap* Mask)
{
  InsertConverted(Index, FromBitmaps(Image, Mask));
}

void TPngImageList::InsertIcon(Integer Index, TIcon* Image)
{
  InsertConverted(Index, FromIcon(Image));
}

void TPngImageList::InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor)
{
  InsertConverted(Index, FromMasked(Image, MaskColor));
}

void TPngImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask)
{
  if (FPngImages->Items(Index))
    ReplaceConverted(Index, FromBitmaps(Image, Mask));
}

void TPngImageList::ReplaceIcon(Integer Index, TIcon* Image)
{
  if (FPngImages->Items(Index))
    ReplaceConverted(Index, FromIcon(Image));
}

void TPngImageList::ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor)
{
  if (FPngImages->Items(Index))
    ReplaceConverted(Index, FromMasked(NewImage, MaskColor));
}

void TPngImageList::Clear()
{
  WithoutRebuild(this, [&] { FPngImages->Clear(); });
  Win::ImageList_Remove(Handle(), -1);
  Change();
}

void TPngImageList::Delete(Integer Index)
{
  if (!FPngImages->Items(Index))
    return;
  WithoutRebuild(this, [&] { FPngImages->Delete(Index); });
  Win::ImageList_Remove(Handle(), Index);
  Change();
}

void TPngImageList::Move(Integer CurIndex, Integer NewIndex)
{
  TPngImageCollectionItem* item = FPngImages->Items(CurIndex);
  if (!item || !FPngImages->Items(NewIndex) || CurIndex == NewIndex)
    return;
  WithoutRebuild(this, [&] { item->SetIndex(NewIndex); });
  Win::ImageList_Remove(Handle(), CurIndex);
  Win::HICON icon = NativeIcon(item);
  InsertNativeIcon(NewIndex, icon);
  Win::DestroyIcon(icon);
  Change();
}

void TPngImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, Win::UINT Style, bool Enabled)
{
  (void)Style;
  TPngImageCollectionItem* item = FPngImages->Items(Index);
  if (!item || !item->PngImage() || item->PngImage()->Empty())
    return;
  DrawPNG(item->PngImage(), Canvas, TRect(X, Y, X + Width(), Y + Height()), Enabled ? TPngOptions{} : FPngOptions);
}

void TPngImageList::DefineProperties(TFiler* Filer)
{
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
    "Bitmap", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
    false);
}

void TPngImageList::ReadData(TStream* Stream)
{
  (void)Stream;
}

void TPngImageList::WriteData(TStream* Stream)
{
  (void)Stream;
}

// ---- TPngImageCollection -----------------------------------------------------------

TPngImageCollection::TPngImageCollection(TComponent* AOwner)
  : TComponent(AOwner), FItems(std::make_unique<TPngImageCollectionItems>(this))
{
  FItems->SetPropName("Items");
}

TPngImageCollection::~TPngImageCollection() = default;

// The size comes before the images so that reading a resource never drops
// them for a size change.
QX_PUBLISHED(TPngImageList)
{
  Publish("Height").Default(16);
  Publish("Width").Default(16);
  Property("EnabledImages", &T::EnabledImages, &T::SetEnabledImages).Default(true);
  Property("PngImages", &T::PngImages, &T::SetPngImages);
  Property("PngOptions", &T::PngOptions, &T::SetPngOptions).Default(TPngOptions{pngBlendOnDisabled});
}

QX_PUBLISHED(TPngImageCollectionItem)
{
  Property("Background", &T::Background, &T::SetBackground).As(pkColor).Default(clBtnFace);
  Property("Name", &T::Name, &T::SetName);
}

QX_PUBLISHED(TPngImageCollection)
{
  Property("Items", &T::Items, &T::SetItems);
}

} // namespace Quorex

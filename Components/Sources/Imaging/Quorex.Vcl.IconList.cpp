#include "Quorex.Vcl.IconList.hpp"

#include "Quorex.Imaging.WincodecAdapter.hpp"
#include "Quorex.System.DPI.hpp"

#include <System.Classes.Streaming.hpp>
#include <System.ScopeGuards.hpp>
#include <System.TypInfo.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr Integer MaxSize = 256;

// A list-sized 32-bit surface, transparent black, with the icon's pixels
// (its alpha, or its mask for an icon without) copied in unscaled at
// (Left, Top); the caller deletes it.
Win::HBITMAP CentredSurface(Win::HICON Icon, Integer Width, Integer Height)
{
  Win::HBITMAP surface = Win::CreateBitmap32(Width, Height);
  Win::ICONINFO info;
  if (!surface || !Win::GetIconInfo(Icon, &info))
    return surface;
  const Integer w = Win::BitmapWidth(info.hbmColor), h = Win::BitmapHeight(info.hbmColor);
  const Integer left = (Width - w) / 2, top = (Height - h) / 2;
  const bool alpha = Win::IconHasAlpha(Icon);
  const std::uint32_t* color = Win::BitmapBits(info.hbmColor);
  const std::uint32_t* mask = Win::BitmapBits(info.hbmMask);
  std::uint32_t* out = Win::BitmapBits(surface);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      const std::size_t from = std::size_t(y) * std::size_t(w) + std::size_t(x);
      const std::uint32_t pixel =
        alpha ? color[from] : ((mask[from] & 0xFFFFFF) ? 0 : (color[from] | 0xFF000000u));
      out[std::size_t(top + y) * std::size_t(Width) + std::size_t(left + x)] = pixel;
    }
  Win::DeleteObject(info.hbmColor);
  Win::DeleteObject(info.hbmMask);
  return surface;
}

} // namespace

// ---- TIconCollectionItem ------------------------------------------------------------

TIconCollectionItem::TIconCollectionItem(TCollection* Collection)
  : TCollectionItem(Collection), FIcon(std::make_unique<TIcon>())
{
}

TIconCollectionItem::~TIconCollectionItem() = default;

void TIconCollectionItem::Assign(const TPersistent* Source)
{
  if (const auto* other = dynamic_cast<const TIconCollectionItem*>(Source)) {
    SetIcon(other->Icon());
    return;
  }
  inherited::Assign(Source);
}

void TIconCollectionItem::SetIcon(const TIcon* Value)
{
  FIcon->Assign(Value);
  if (auto* owner = dynamic_cast<TCustomIconList*>(Collection() ? Collection()->GetOwner() : nullptr))
    owner->RebuildIconList();
}

void TIconCollectionItem::DefineProperties(TFiler* Filer)
{
  inherited::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
    "Icon",
    [this](TStream* Stream) {
      TIcon icon;
      icon.LoadFromStream(Stream);
      SetIcon(&icon);
    },
    nullptr, false);
}

QX_PUBLISHED(TIconCollectionItem)
{
  Property("Icon", &T::Icon, &T::SetIcon);
}

// ---- TIconCollection ----------------------------------------------------------------

TIconCollection::TIconCollection(TCustomIconList* Owner)
  : TCollection(&TIconCollectionItem::StaticClass()), FOwner(Owner)
{
  SetPropName("Icons");
}

// The list is rebuilt once the new item is whole.
TIconCollectionItem* TIconCollection::Add()
{
  BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    item = TCollection::Add();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return static_cast<TIconCollectionItem*>(item);
}

TIconCollectionItem* TIconCollection::Items(Integer Index) const
{
  if (Index < 0 || Index >= Count())
    return nullptr;
  // An item still being constructed is not yet an icon item.
  return dynamic_cast<TIconCollectionItem*>(TCollection::Items(Index));
}

TPersistent* TIconCollection::GetOwner() const
{
  return FOwner;
}

void TIconCollection::Update(TCollectionItem* Item)
{
  inherited::Update(Item);
  FOwner->RebuildIconList();
}

// ---- TCustomIconList ----------------------------------------------------------------

TCustomIconList::TCustomIconList(TComponent* AOwner)
  : TCustomImageList(AOwner), FIcons(std::make_unique<TIconCollection>(this))
{
  SetColorDepth(cd32Bit);
  SetMasked(false);
}

TCustomIconList::~TCustomIconList()
{
  // Items leaving the collection must not rebuild a list being destroyed.
  ++FUpdating;
  FIcons.reset();
}

void TCustomIconList::SetIcons(TIconCollection* Value)
{
  if (!Value || Value == FIcons.get())
    return;
  const TUpdateScope update(*this);
  FIcons->Assign(Value);
}

void TCustomIconList::SetSmoothScaling(bool Value)
{
  if (Value == FSmoothScaling)
    return;
  FSmoothScaling = Value;
  RebuildIconList();
}

void TCustomIconList::CheckSize(Integer Value)
{
  if (Value > MaxSize)
    throw EIconListIncorrectSize("The maximum supported size is 256x256");
}

void TCustomIconList::SetWidth(Integer Value)
{
  SetSize(Value, Height());
}

void TCustomIconList::SetHeight(Integer Value)
{
  SetSize(Width(), Value);
}

void TCustomIconList::SetSize(Integer AWidth, Integer AHeight)
{
  CheckSize(AWidth);
  CheckSize(AHeight);
  if (AWidth == Width() && AHeight == Height())
    return;
  TCustomImageList::SetWidth(AWidth);
  TCustomImageList::SetHeight(AHeight);
  RebuildIconList();
}

void TCustomIconList::BeginUpdate()
{
  ++FUpdating;
}

void TCustomIconList::EndUpdate()
{
  if (FUpdating == 0)
    return;
  if (--FUpdating == 0)
    RebuildIconList();
}

void TCustomIconList::RebuildIconList()
{
  if (FUpdating > 0 || FIcons->UpdateCount() > 0 || ComponentState().Contains(csLoading))
    return;
  CreateNativeList();
  const TSize size{Width(), Height()};
  ++FUpdating;
  try {
    for (Integer i = 0; i < FIcons->Count(); ++i) {
      const TIconCollectionItem* item = FIcons->Items(i);
      TIconEx icon(item ? item->Icon() : nullptr);
      AddIconImage(&icon, size);
    }
  } catch (...) {
    --FUpdating;
    throw;
  }
  --FUpdating;
  Change();
}

void TCustomIconList::Change()
{
  if (FUpdating == 0)
    TCustomImageList::Change();
}

void TCustomIconList::AddIconImage(TIconEx* Icon, TSize Size)
{
  const Integer before = Count();
  if (!FSmoothScaling)
    AddBestSizeIcon(Icon, Size);
  else if (!Masked() && TQxImagingFactory::GetInstance()->GetIsSupported())
    AddResizedIconFast(Icon, Size);
  else
    AddResizedIconSlow(Icon, Size);
  if (Count() == before)
    AddBlank(Size);
}

void TCustomIconList::AddBlank(TSize Size)
{
  Win::HBITMAP color = Win::CreateBitmap32(Size.cx, Size.cy);
  Win::HBITMAP mask = Win::CreateBitmap32(Size.cx, Size.cy);
  if (color && mask) {
    std::fill_n(Win::BitmapBits(mask), std::size_t(Size.cx) * std::size_t(Size.cy), 0xFFFFFFFFu);
    Win::ImageList_Add(Handle(), color, mask);
  }
  if (color)
    Win::DeleteObject(color);
  if (mask)
    Win::DeleteObject(mask);
}

void TCustomIconList::AddBestSizeIcon(TIconEx* Icon, TSize Size)
{
  const Integer index = Icon->FindNearestSmallerIconIndex(Size);
  if (index < 0)
    return;
  TIcon icon;
  Icon->ExtractIcon(index, &icon);
  if (icon.Width() >= Width() && icon.Height() >= Height()) {
    Win::ImageList_ReplaceIcon(Handle(), -1, icon.Handle());
    return;
  }
  Win::HBITMAP surface = CentredSurface(icon.Handle(), Width(), Height());
  if (!surface)
    throw EOutOfResources("Out of system resources");
  Win::ImageList_Add(Handle(), surface, nullptr);
  Win::DeleteObject(surface);
}

void TCustomIconList::AddResizedIconFast(TIconEx* Icon, TSize Size)
{
  (void)Size;
  const Integer index = Icon->FindNearestBiggerIconIndex(Size);
  if (index < 0)
    return;
  TIcon icon;
  Icon->ExtractIcon(index, &icon);
  TQxImagingFactory::GetInstance()->CreateBitmapFromVclIcon(&icon)->AddToImageList(this, bimFant);
}

void TCustomIconList::AddResizedIconSlow(TIconEx* Icon, TSize Size)
{
  if (Icon->GetIconCount() == 0)
    return;
  TPngImage png;
  Icon->ExtractIcon(Size, &png, true);
  AddPng(&png);
}

Integer TCustomIconList::AddPng(TPngImage* Png)
{
  TBitmap bitmap;
  bitmap.Assign(Png);
  const Integer index = Win::ImageList_Add(Handle(), bitmap.Handle(), nullptr);
  Change();
  return index;
}

void TCustomIconList::DefineProperties(TFiler* Filer)
{
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
    "Bitmap", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
    false);
}

void TCustomIconList::ReadData(TStream* Stream)
{
  (void)Stream;
}

void TCustomIconList::WriteData(TStream* Stream)
{
  (void)Stream;
}

// A stored resolution of 0 or less reads as 96; the scaled size stays within
// what a list can hold.
void TCustomIconList::Loaded()
{
  inherited::Loaded();
  const Integer stored = FPixelsPerInch > 0 ? FPixelsPerInch : 96;
  FPixelsPerInch = DPI::GetValue();
  if (FScaled) {
    auto scaled = [stored](Integer Value) { return std::clamp(DPI::ScaleFrom(Value, stored), 1, MaxSize); };
    // One rebuild below, for the new size; none half-way.
    ++FUpdating;
    const auto resumed = Finally([this] { --FUpdating; });
    SetSize(scaled(Width()), scaled(Height()));
  }
  RebuildIconList();
}

QX_PUBLISHED(TIconList)
{
  Publish("ColorDepth").Default(cd32Bit);
  Publish("Height").Default(16);
  Publish("Width").Default(16);
  Property("Scaled", &T::Scaled, &T::SetScaled).Default(true);
  Property("SmoothScaling", &T::SmoothScaling, &T::SetSmoothScaling).Default(true);
  Property("PixelsPerInch", &T::PixelsPerInch, &T::SetPixelsPerInch).Default(96);
  Property("Icons", &T::Icons, &T::SetIcons);
}


} // namespace Quorex

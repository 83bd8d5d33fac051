// An image list whose images are PNG images with full alpha, and a component
// that only stores a collection of PNG images. The PNG images are the truth;
// the native list that menus and tool bars draw from follows them, one native
// image per item in the same order.
#pragma once

#include "Quorex.Vcl.PngFunctions.hpp"

#include <System.Classes.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <memory>

namespace Quorex {

class TPngImageCollectionItem : public Vcl::TCollectionItem {
  QX_CLASS(TPngImageCollectionItem, Vcl::TCollectionItem)
public:
  explicit TPngImageCollectionItem(Vcl::TCollection* Collection);
  ~TPngImageCollectionItem() override;
  // From another item: its PNG, Background and Name.
  void Assign(const Vcl::TPersistent* Source) override;

  // nullptr when the item was made without an image.
  Vcl::TPngImage* PngImage() const { return FPngImage.get(); }
  // Copies the image (creating this item's image if missing).
  void SetPngImage(const Vcl::TPngImage* Value);
  Vcl::TColor Background() const { return FBackground; }
  void SetBackground(Vcl::TColor Value);
  const Vcl::String& Name() const { return FName; }
  void SetName(const Vcl::String& Value) { FName = Value; }
  // A new copy of the image that the caller owns.
  Vcl::TPngImage* Duplicate() const;
  Vcl::String DisplayName() const override;
  // The image streams as "PngImage": the PNG file's bytes.
  void DefineProperties(Vcl::TFiler* Filer) override;

protected:
  // Another item gets this item's image.
  void AssignTo(Vcl::TPersistent* Dest) const override;

private:
  friend class TPngImageCollectionItems;
  std::unique_ptr<Vcl::TPngImage> FPngImage;
  Vcl::String FName;
  Vcl::TColor FBackground = Vcl::clBtnFace;
};

class TPngImageCollectionItems : public Vcl::TCollection {
  QX_CLASS(TPngImageCollectionItems, Vcl::TCollection)
public:
  explicit TPngImageCollectionItems(Vcl::TPersistent* Owner);

  TPngImageCollectionItem* Add(bool DontCreatePng = false);
  TPngImageCollectionItem* Insert(Vcl::Integer Index, bool DontCreatePng = false);
  // nullptr outside 0 .. Count-1.
  TPngImageCollectionItem* Items(Vcl::Integer Index) const;
  // Ignored outside 0 .. Count-1.
  void SetItems(Vcl::Integer Index, TPngImageCollectionItem* Value);
  Vcl::TPersistent* GetOwner() const override { return FOwner; }

protected:
  // A PNG image list owner rebuilds its native list.
  void Update(Vcl::TCollectionItem* Item) override;

private:
  Vcl::TPersistent* FOwner;
};

class TPngImageList : public Vcl::TImageList {
  QX_CLASS(TPngImageList, Vcl::TImageList)
public:
  explicit TPngImageList(Vcl::TComponent* AOwner = nullptr);
  ~TPngImageList() override;
  // From another PNG list: size, images, EnabledImages and PngOptions.
  void Assign(const Vcl::TPersistent* Source) override;

  bool EnabledImages() const { return FEnabledImages; }
  virtual void SetEnabledImages(bool Value);
  TPngImageCollectionItems* PngImages() const { return FPngImages.get(); }
  virtual void SetPngImages(TPngImageCollectionItems* Value);
  TPngOptions PngOptions() const { return FPngOptions; }
  void SetPngOptions(TPngOptions Value);
  // A different size empties the list, except while it is being read from a
  // form resource.
  void SetWidth(Vcl::Integer Value) override;
  void SetHeight(Vcl::Integer Value) override;

  // -1 (nothing done) for nullptr.
  Vcl::Integer AddPng(const Vcl::TPngImage* Png, Vcl::TColor Background = Vcl::clNone);
  void InsertPng(Vcl::Integer Index, const Vcl::TPngImage* Png, Vcl::TColor Background = Vcl::clNone);

  Vcl::Integer Add(Vcl::TBitmap* Image, Vcl::TBitmap* Mask) override;
  Vcl::Integer AddIcon(Vcl::TIcon* Image) override;
  Vcl::Integer AddImage(Vcl::TCustomImageList* Value, Vcl::Integer Index) override;
  void AddImages(Vcl::TCustomImageList* Value) override;
  Vcl::Integer AddMasked(Vcl::TBitmap* Image, Vcl::TColor MaskColor) override;
  void Clear() override;
  void Delete(Vcl::Integer Index) override;
  void Insert(Vcl::Integer Index, Vcl::TBitmap* Image, Vcl::TBitmap* Mask) override;
  void InsertIcon(Vcl::Integer Index, Vcl::TIcon* Image) override;
  void InsertMasked(Vcl::Integer Index, Vcl::TBitmap* Image, Vcl::TColor MaskColor) override;
  void Move(Vcl::Integer CurIndex, Vcl::Integer NewIndex) override;
  void Replace(Vcl::Integer Index, Vcl::TBitmap* Image, Vcl::TBitmap* Mask) override;
  void ReplaceIcon(Vcl::Integer Index, Vcl::TIcon* Image) override;
  void ReplaceMasked(Vcl::Integer Index, Vcl::TBitmap* NewImage, Vcl::TColor MaskColor) override;

  void BeginUpdate();
  // Never below zero; with Update, the last one rebuilds the native list.
  void EndUpdate(bool Update = true);
  // Rebuilds the native list from the items (not while updating).
  virtual void CopyPngs();

  // A 32-bit icon with the PNG's alpha; its mask is transparent exactly where
  // the alpha is 0. Native lists here always take alpha, so the background
  // colour is not needed. The caller destroys the icon.
  static Win::HICON PngToIcon(const Vcl::TPngImage* Png, Vcl::TColor Background = Vcl::clNone);

  // The native images are not stored in form resources.
  void DefineProperties(Vcl::TFiler* Filer) override;
  void ReadData(Vcl::TStream* Stream) override;
  void WriteData(Vcl::TStream* Stream) override;

protected:
  void AssignTo(Vcl::TPersistent* Dest) const override;
  void DoDraw(Vcl::Integer Index, Vcl::TCanvas* Canvas, Vcl::Integer X, Vcl::Integer Y, Win::UINT Style,
              bool Enabled) override;
  void Loaded() override;

private:
  // The native image of an item in the list's current look; a transparent
  // placeholder for an item without an image.
  Win::HICON NativeIcon(const TPngImageCollectionItem* Item) const;
  // A new item holding a copy of Png, at Index (at the end for -1).
  TPngImageCollectionItem* NewItem(Vcl::Integer Index, const Vcl::TPngImage* Png, Vcl::TColor Background);
  Vcl::Integer AddConverted(std::unique_ptr<Vcl::TPngImage> Png);
  void InsertConverted(Vcl::Integer Index, std::unique_ptr<Vcl::TPngImage> Png);
  void ReplaceConverted(Vcl::Integer Index, std::unique_ptr<Vcl::TPngImage> Png);
  void SizeChanged();

  bool FEnabledImages = true;
  Vcl::Integer FLocked = 0;
  std::unique_ptr<TPngImageCollectionItems> FPngImages;
  TPngOptions FPngOptions{pngBlendOnDisabled};
};

// Stores PNG images only; nothing is rebuilt when they change.
class TPngImageCollection : public Vcl::TComponent {
  QX_CLASS(TPngImageCollection, Vcl::TComponent)
public:
  explicit TPngImageCollection(Vcl::TComponent* AOwner = nullptr);
  ~TPngImageCollection() override;
  TPngImageCollectionItems* Items() const { return FItems.get(); }
  void SetItems(TPngImageCollectionItems* Value) { FItems->Assign(Value); }

private:
  std::unique_ptr<TPngImageCollectionItems> FItems;
};

} // namespace Quorex

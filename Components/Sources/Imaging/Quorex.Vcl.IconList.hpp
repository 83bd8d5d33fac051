// An image list filled from icons: it keeps a collection of icons and makes
// its native images from them at the list's size, choosing the best image of
// each multi-size icon and scaling it smoothly when asked; loaded from a form
// resource it follows the screen's resolution.
#pragma once

#include "Quorex.Imaging.IconEx.hpp"

#include <System.Classes.hpp>
#include <System.SysUtils.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <memory>

namespace Quorex {

using Vcl::Exception;
using Vcl::String;
QX_EXCEPTION(EIconListError, Exception);
QX_EXCEPTION(EIconListIncorrectSize, EIconListError);

class TCustomIconList;

class TIconCollectionItem : public Vcl::TCollectionItem {
  QX_CLASS(TIconCollectionItem, Vcl::TCollectionItem)
public:
  explicit TIconCollectionItem(Vcl::TCollection* Collection);
  ~TIconCollectionItem() override;
  // From another item: its icon.
  void Assign(const Vcl::TPersistent* Source) override;

  Vcl::TIcon* Icon() const { return FIcon.get(); }
  // Copies the icon; the list makes its images anew.
  void SetIcon(const Vcl::TIcon* Value);
  // The icon streams through its own data ("Icon.Data"); resources written
  // before hold its file as "Icon", which still reads.
  void DefineProperties(Vcl::TFiler* Filer) override;

private:
  std::unique_ptr<Vcl::TIcon> FIcon;
};

class TIconCollection : public Vcl::TCollection {
  QX_CLASS(TIconCollection, Vcl::TCollection)
public:
  explicit TIconCollection(TCustomIconList* Owner);

  TIconCollectionItem* Add();
  // nullptr outside 0 .. Count-1.
  TIconCollectionItem* Items(Vcl::Integer Index) const;
  Vcl::TPersistent* GetOwner() const override;

protected:
  void Update(Vcl::TCollectionItem* Item) override;

private:
  TCustomIconList* FOwner;
};

class TCustomIconList : public Vcl::TCustomImageList {
  QX_CLASS(TCustomIconList, Vcl::TCustomImageList)
public:
  explicit TCustomIconList(Vcl::TComponent* AOwner = nullptr);
  ~TCustomIconList() override;

  TIconCollection* Icons() const { return FIcons.get(); }
  // Copies another collection (not the list's own) and makes the images anew.
  void SetIcons(TIconCollection* Value);
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  Vcl::Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Vcl::Integer Value) { FPixelsPerInch = Value; }
  bool SmoothScaling() const { return FSmoothScaling; }
  void SetSmoothScaling(bool Value);

  // EIconListIncorrectSize above 256; a changed size makes the images anew.
  void SetWidth(Vcl::Integer Value) override;
  void SetHeight(Vcl::Integer Value) override;
  void SetSize(Vcl::Integer AWidth, Vcl::Integer AHeight);
  void SetSize(Vcl::Integer Value) { SetSize(Value, Value); }
  static void CheckSize(Vcl::Integer Value);

  // Makes every native image anew from Icons, one per icon in order (an icon
  // without images gives a transparent one, so indexes stay aligned), then
  // tells the change. Deferred while loading or inside BeginUpdate.
  void RebuildIconList();
  void BeginUpdate();
  // The last one makes the images anew.
  void EndUpdate();

  void AddBestSizeIcon(TIconEx* Icon, Vcl::TSize Size);
  void AddResizedIconFast(TIconEx* Icon, Vcl::TSize Size);
  void AddResizedIconSlow(TIconEx* Icon, Vcl::TSize Size);
  // A bitmap copy of the PNG added without a mask; its index.
  Vcl::Integer AddPng(Vcl::TPngImage* Png);

  // The native images are not kept in form resources: the icons are.
  void DefineProperties(Vcl::TFiler* Filer) override;
  void ReadData(Vcl::TStream* Stream) override;
  void WriteData(Vcl::TStream* Stream) override;

protected:
  void Loaded() override;
  // Told once per rebuild, not per image.
  void Change() override;

private:
  // Adds a transparent image when an icon added none.
  void AddIconImage(TIconEx* Icon, Vcl::TSize Size);
  void AddBlank(Vcl::TSize Size);

  std::unique_ptr<TIconCollection> FIcons;
  bool FScaled = true;
  Vcl::Integer FPixelsPerInch = 96;
  bool FSmoothScaling = true;
  Vcl::Integer FUpdating = 0;
};

class TIconList : public TCustomIconList {
  QX_CLASS(TIconList, TCustomIconList)
public:
  using TCustomIconList::TCustomIconList;
};

} // namespace Quorex

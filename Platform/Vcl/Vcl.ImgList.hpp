// Image lists: a native list of images of one size (32-bit colour with masks)
// that menus, tool bars and controls draw from, with change links that tell
// registered consumers when the images change.
#pragma once

#include <System.Classes.hpp>
#include <Vcl.Graphics.hpp>
#include <Win.ImageList.hpp>

#include <vector>

namespace Vcl {

class TCustomImageList;

// An image's place in a list; -1 names no image.
using TImageIndex = Integer;

// A consumer's registration with an image list: OnChange runs after every
// change of the list's images. Destroying a link unregisters it.
class TChangeLink : public TObject {
  QX_CLASS(TChangeLink, TObject)
public:
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  virtual void Change();
  TNotifyEvent OnChange;

private:
  TCustomImageList* FSender = nullptr;
};

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
using enum TDrawingStyle;
enum class TImageType { itImage, itMask };
using enum TImageType;
enum class TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };
using enum TColorDepth;
QX_ENUM_NAMES(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
QX_ENUM_NAMES(TImageType, itImage, itMask)
QX_ENUM_NAMES(TColorDepth, cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit)

// The list's operations are virtual, so a descendant that keeps its images
// in another form (PNG images) is reached through a base reference too.
// Index-taking operations ignore indexes outside 0 .. Count-1.
class TCustomImageList : public TComponent {
  QX_CLASS(TCustomImageList, TComponent)
public:
  explicit TCustomImageList(TComponent* AOwner = nullptr);
  TCustomImageList(Integer AWidth, Integer AHeight);
  ~TCustomImageList() override;
  void Assign(const TPersistent* Source) override;

  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  // A different size empties the list (below 1 is ignored).
  virtual void SetWidth(Integer Value);
  virtual void SetHeight(Integer Value);
  Integer AllocBy() const { return FAllocBy; }
  void SetAllocBy(Integer Value) { FAllocBy = Value; }
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);
  TColorDepth ColorDepth() const { return FColorDepth; }
  void SetColorDepth(TColorDepth Value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value) { FBkColor = Value; }
  // The native image count.
  Integer Count() const;
  Win::HIMAGELIST Handle() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }

  virtual Integer Add(TBitmap* Image, TBitmap* Mask);
  virtual Integer AddIcon(TIcon* Image);
  virtual Integer AddImage(TCustomImageList* Value, Integer Index);
  virtual void AddImages(TCustomImageList* Value);
  virtual Integer AddMasked(TBitmap* Image, TColor MaskColor);
  virtual void Clear();
  virtual void Delete(Integer Index);
  virtual void Insert(Integer Index, TBitmap* Image, TBitmap* Mask);
  virtual void InsertIcon(Integer Index, TIcon* Image);
  virtual void InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor);
  virtual void Move(Integer CurIndex, Integer NewIndex);
  virtual void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  virtual void ReplaceIcon(Integer Index, TIcon* Image);
  virtual void ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor);

  // Draws nothing for an index outside 0 .. Count-1.
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle,
            TImageType AImageType, bool Enabled = true);
  // The native image as an icon (the icon is emptied for a bad index).
  void GetIcon(Integer Index, TIcon* Image);
  // The native image drawn on the bitmap (sized to the list); false for a bad index.
  bool GetBitmap(Integer Index, TBitmap* Image);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  TNotifyEvent OnChange;

  // Form data: the native images as "Bitmap" (see ReadData, WriteData).
  void DefineProperties(TFiler* Filer) override;
  // The native images: a 32-bit count, then one icon file each.
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);

protected:
  virtual void DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, Win::UINT Style, bool Enabled);
  // Tells OnChange and every change link.
  virtual void Change();
  bool ValidIndex(Integer Index) const { return Index >= 0 && Index < Count(); }
  // Makes the native list anew, empty, with the current size and flags.
  void CreateNativeList();
  // Puts the icon at Index of the native list (the end when Index is Count).
  void InsertNativeIcon(Integer Index, Win::HICON Icon);
  // Every native image as an icon (caller destroys them).
  std::vector<Win::HICON> NativeIcons() const;
  Win::UINT NativeFlags() const;

private:
  Integer FWidth = 16;
  Integer FHeight = 16;
  Integer FAllocBy = 4;
  bool FMasked = true;
  TColorDepth FColorDepth = cd32Bit;
  TDrawingStyle FDrawingStyle = dsNormal;
  TColor FBkColor = clNone;
  Win::HIMAGELIST FHandle = nullptr;
  std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
  QX_CLASS(TImageList, TCustomImageList)
public:
  using TCustomImageList::TCustomImageList;
};

} // namespace Vcl

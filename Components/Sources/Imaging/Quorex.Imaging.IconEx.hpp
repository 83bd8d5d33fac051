// A graphic holding a whole multi-image icon file: it reports the images the
// file contains, chooses one for a wanted size and extracts it as an icon, a
// bitmap or a PNG image (PNG frames included). Copies share the file bytes.
#pragma once

#include <System.SysUtils.hpp>

#include <cstdint>
#include <System.Types.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

namespace Quorex {

// One 16-byte directory entry of an icon file.
struct TIconDirEntry {
  Vcl::Byte bWidth = 0;
  Vcl::Byte bHeight = 0;
  Vcl::Byte bColorCount = 0;
  Vcl::Byte bReserved = 0;
  Vcl::Word wPlanes = 0;
  Vcl::Word wBitCount = 0;
  Vcl::Cardinal dwBytesInRes = 0;
  Vcl::Cardinal dwImageOffset = 0;
};

struct TIconDesc {
  Vcl::Word Width = 0;  // 256 for a width byte of 0
  Vcl::Word Height = 0; // likewise
  Vcl::Byte ColorCount = 0;
  Vcl::Word Planes = 0;
  Vcl::Word BitsPerPixel = 0;
  Vcl::Cardinal BytesUsed = 0;
  void Assign(const TIconDirEntry& Entry);
};

// The data that TIconEx objects share: the icon file's bytes (or none) and
// the platform icon built from them (or given), with its size.
class TIconImageEx {
public:
  TIconImageEx() = default;
  ~TIconImageEx();
  TIconImageEx(const TIconImageEx&) = delete;
  TIconImageEx& operator=(const TIconImageEx&) = delete;

  void Reference() { ++FRefCount; }
  // The last release deletes the object (and its handle).
  void Release();
  Vcl::Integer GetRefCount() const { return FRefCount; }
  void FreeHandle();

private:
  friend class TIconEx;
  Vcl::Integer FRefCount = 0;
  bool FHasMemoryImage = false;
  Vcl::TBytes FMemoryImage;
  Vcl::TSize FSize{0, 0};
  Win::HICON FHandle = nullptr;
};

class TIconEx : public Vcl::TGraphic {
  QX_CLASS(TIconEx, Vcl::TGraphic)
public:
  TIconEx();
  explicit TIconEx(Vcl::TIcon* Icon);
  ~TIconEx() override;

  void AssignIcon(Vcl::TIcon* Icon);
  // From nullptr (empty), another TIconEx (shared), a TIcon.
  void Assign(const Vcl::TPersistent* Source) override;

  bool Empty() const override;
  Vcl::Integer Width() const override;
  Vcl::Integer Height() const override;
  // Only the requested size, and only while there is no handle
  // (EInvalidGraphicOperation otherwise).
  void SetWidth(Vcl::Integer Value) override;
  void SetHeight(Vcl::Integer Value) override;
  void SetSize(Vcl::Integer AWidth, Vcl::Integer AHeight) override;
  void SetTransparent(bool Value) override { (void)Value; }
  bool SupportsPartialTransparency() const override { return true; }

  // The icon file from the stream's position to its end. Bad data raises
  // EInvalidGraphic and keeps the previous image.
  void LoadFromStream(Vcl::TStream* Stream) override;
  void SaveToStream(Vcl::TStream* Stream) override;
  // Icons do not travel through the clipboard: EInvalidGraphicOperation.
  void LoadFromClipboardFormat(Vcl::Word Format, std::uintptr_t Data);
  void SaveToClipboardFormat(Vcl::Word& Format, std::uintptr_t& Data);

  Win::HICON Handle();
  // Takes ownership of the handle.
  void SetHandle(Win::HICON Value);
  bool HandleAllocated() const;
  void HandleNeeded();
  void ImageNeeded();
  // The caller owns the returned handle.
  Win::HICON ReleaseHandle();

  Vcl::Integer GetIconCount() const;
  TIconDesc GetIconDescriptions(Vcl::Integer Index) const;
  Vcl::Integer FindNearestBiggerIconIndex(Vcl::TSize Size) const;
  Vcl::TSize FindNearestBiggerSize(Vcl::TSize Size) const;
  Vcl::Integer FindNearestSmallerIconIndex(Vcl::TSize Size) const;

  void ExtractIcon(Vcl::Integer Index, Vcl::TIcon* Icon) const;
  void ExtractIcon(Vcl::Integer Index, Vcl::TBitmap* Bitmap) const;
  void ExtractIcon(Vcl::Integer Index, Vcl::TPngImage* Png) const;
  void ExtractIcon(Vcl::TSize Size, Vcl::TIcon* Icon) const;
  void ExtractIcon(Vcl::TSize Size, Vcl::TBitmap* Bitmap) const;
  // Resize: the nearest bigger image scaled to exactly Size; otherwise the
  // nearest smaller image at its own size.
  void ExtractIcon(Vcl::TSize Size, Vcl::TPngImage* Png, bool Resize) const;

protected:
  void AssignTo(Vcl::TPersistent* Dest) const override;
  void Draw(Vcl::TCanvas* ACanvas, const Vcl::TRect& Rect) override;

private:
  void NewImage(Win::HICON Handle, Vcl::TBytes* MemoryImage);
  void Share(TIconImageEx* Image);
  Vcl::TSize KnownSize() const;

  TIconImageEx* FImage = nullptr;
  Vcl::TSize FRequestedSize{0, 0};
};

} // namespace Quorex

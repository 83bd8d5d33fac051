// Pictures of one colour, the way many tests fill image lists, glyphs and
// icons: what they show is easy to recognise in the pixels drawn from them.
#pragma once

#include <Vcl.Graphics.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <memory>

namespace QxTest {

inline std::unique_ptr<Vcl::TBitmap> SolidBitmap(int Width, int Height, Vcl::TColor Colour,
                                                 Vcl::TPixelFormat Format = Vcl::pf24bit)
{
  auto bitmap = std::make_unique<Vcl::TBitmap>();
  bitmap->SetPixelFormat(Format);
  bitmap->SetSize(Width, Height);
  bitmap->Canvas()->Brush()->SetColor(Colour);
  bitmap->Canvas()->FillRect(Vcl::TRect(0, 0, Width, Height));
  return bitmap;
}

// A PNG of one colour, opaque unless another alpha is given (kept where the
// colour type has an alpha plane).
inline std::unique_ptr<Vcl::TPngImage> SolidPng(Vcl::TColor Colour, int Width = 16, int Height = 16,
                                                Vcl::Byte Alpha = 255, Vcl::Byte ColorType = Vcl::COLOR_RGBALPHA)
{
  auto png = std::make_unique<Vcl::TPngImage>();
  png->CreateBlank(ColorType, 8, Width, Height);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      png->SetPixels(x, y, Colour);
      if (Vcl::Byte* alpha = png->AlphaScanline(y))
        alpha[x] = Alpha;
    }
  return png;
}

// Adds an opaque square of the list's size; its index.
inline int AddSolid(Vcl::TCustomImageList* List, Vcl::TColor Colour)
{
  return List->AddMasked(SolidBitmap(List->Width(), List->Height(), Colour).get(), Vcl::clNone);
}

// A list of Size squares owned by Owner, holding one square of Colour.
inline Vcl::TImageList* SolidImages(Vcl::TComponent* Owner, Vcl::TColor Colour, int Size = 16)
{
  auto* list = new Vcl::TImageList(Owner);
  list->SetWidth(Size);
  list->SetHeight(Size);
  AddSolid(list, Colour);
  return list;
}

// A 16-pixel icon of one colour, made from an image list as a host makes one.
inline std::unique_ptr<Vcl::TIcon> SolidIcon(Vcl::TColor Colour)
{
  Vcl::TImageList list(nullptr);
  AddSolid(&list, Colour);
  auto icon = std::make_unique<Vcl::TIcon>();
  list.GetIcon(0, icon.get());
  return icon;
}

} // namespace QxTest

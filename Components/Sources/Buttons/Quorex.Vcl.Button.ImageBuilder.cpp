#include "Quorex.Vcl.Button.ImageBuilder.hpp"

#include <Quorex.Imaging.PngHelper.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>
#include <array>
#include <memory>

namespace Quorex {

using namespace Vcl;

namespace {

const char* const UnitName = "Quorex.Vcl.Button.ImageBuilder";

struct TStateLook {
  TColor Top;
  TColor Bottom;
  bool Grey;
  bool Shift;
};

// Disabled, normal, hot, pressed: the list's indexes 0 to 3.
constexpr std::array<TStateLook, 4> StateLooks = {{
  {clNone, clNone, true, false},
  {clNone, clNone, false, false},
  {TColor(0x00FCF3E2), TColor(0x00FBE3B7), false, false},
  {TColor(0x00F6E4C2), TColor(0x00F2D7A6), false, true},
}};

} // namespace

Integer TButtonImageBuilder::GetAutoImageSize(Integer W, Integer H)
{
  return std::max(16, Win::MulDiv(std::min(W, H), 16, 24));
}

void TButtonImageBuilder::DrawBackground(TPngImage* Png, TColor Top, TColor Bottom)
{
  QX_ASSERT(Png, UnitName);
  if (Top == clNone && Bottom == clNone)
    return;
  const Integer w = Png->Width(), h = Png->Height();
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(w, h);
  TCanvas* canvas = bitmap.Canvas();
  if (Top != clNone) {
    canvas->Brush()->SetColor(Top);
    canvas->FillRect(TRect(0, 0, w, h / 2));
  }
  if (Bottom != clNone) {
    canvas->Brush()->SetColor(Bottom);
    canvas->FillRect(TRect(0, h / 2, w, h));
  }
  Png->Assign(&bitmap);
}

void TButtonImageBuilder::DrawBasicImage(TPngImage* Dest, const TPngImage* Src, bool Grey, bool Shift)
{
  QX_ASSERT(Dest && Src, UnitName);
  TPngImage copy;
  copy.Assign(Src);
  if (Grey) {
    TPngImageHelper::ConvertToGrayScale(copy);
    TPngImageHelper::AlphaBlend(copy, 127);
  }
  const Integer freeX = Dest->Width() - copy.Width(), freeY = Dest->Height() - copy.Height();
  Integer x = freeX / 2, y = freeY / 2;
  // A source larger than the image has no room to move into.
  if (Shift) {
    x += std::max(0, freeX / 4);
    y += std::max(0, freeY / 4);
  }
  const Byte type = Dest->Header().ColorType;
  if (type == COLOR_GRAYSCALEALPHA || type == COLOR_RGBALPHA)
    TPngImageHelper::DrawPng(*Dest, &copy, TPoint(x, y), 255);
  else
    Dest->Canvas()->StretchDraw(TRect(x, y, x + copy.Width(), y + copy.Height()), &copy);
}

void TButtonImageBuilder::Build(TPngImageList* List, const TPngImage* Png, Integer W, Integer H,
                                Integer ImageWidth, Integer ImageHeight)
{
  QX_ASSERT(List && Png, UnitName);
  TPngImage source;
  source.Assign(Png);
  if (source.Width() != ImageWidth || source.Height() != ImageHeight)
    TPngImageHelper::SmoothResize(source, ImageWidth, ImageHeight);
  TPngImage work;
  work.CreateBlank(COLOR_RGBALPHA, 8, W, H);
  // Each look starts from the one before (normal is drawn over disabled)
  // unless its background replaces it.
  std::array<std::unique_ptr<TPngImage>, StateLooks.size()> images;
  for (std::size_t i = 0; i < StateLooks.size(); ++i) {
    const TStateLook& look = StateLooks[i];
    DrawBackground(&work, look.Top, look.Bottom);
    DrawBasicImage(&work, &source, look.Grey, look.Shift);
    images[i] = std::make_unique<TPngImage>();
    images[i]->Assign(&work);
  }
  List->SetWidth(W);
  List->SetHeight(H);
  List->Clear();
  for (const auto& image : images)
    List->AddPng(image.get(), clNone);
}

void TButtonImageBuilder::Build(TPngImageList* List, const TPngImage* Png, Integer W, Integer H)
{
  const Integer size = GetAutoImageSize(W, H);
  Build(List, Png, W, H, size, size);
}

void TButtonImageBuilder::Build(TPngImageList* List, const TIconEx* Icon, Integer W, Integer H,
                                Integer ImageWidth, Integer ImageHeight, bool Resize)
{
  QX_ASSERT(Icon, UnitName);
  TPngImage png;
  Icon->ExtractIcon(TSize(ImageWidth, ImageHeight), &png, Resize);
  Build(List, &png, W, H, png.Width(), png.Height());
}

void TButtonImageBuilder::Build(TPngImageList* List, const TIconEx* Icon, Integer W, Integer H, bool Resize)
{
  const Integer size = GetAutoImageSize(W, H);
  Build(List, Icon, W, H, size, size, Resize);
}

} // namespace Quorex

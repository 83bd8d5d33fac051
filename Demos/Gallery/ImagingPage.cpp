// The imaging page: the PNG operations (a sprite sheet cut into cells,
// alpha, grey, smooth resizing, compositing, the disabled looks), a
// multi-size icon with its frame list, and icon lists at 16, 32, 48 and 256
// pixels, smoothly and plainly scaled, and scaled on loading as from 96 to
// 144 DPI. Everything is drawn over a checkerboard so that alpha shows.
#include "GalleryPages.hpp"

#include <Quorex.Imaging.IconEx.hpp>
#include <Quorex.Imaging.PngHelper.hpp>
#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.IconList.hpp>
#include <Quorex.Vcl.PngFunctions.hpp>

#include <System.Classes.Streaming.hpp>
#include <Vcl.Imaging.pngimage.Codec.hpp>

#include <cmath>
#include <memory>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16;
constexpr int kLabelWidth = 130, kBigLeft = 680;
constexpr int kRowPngs = 70, kRowIcon = 170, kRowSmooth = 290, kRowPlain = 360, kRowLoaded = 430;

// A disc of Color (0x00BBGGRR) with a soft edge and a lighter ring, Size
// pixels square; Spots small dots mark the frame so that sizes differ.
std::unique_ptr<TPngImage> Disc(Integer Size, TColor Color, Integer Spots = 0)
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(COLOR_RGBALPHA, 8, Size, Size);
  const double r = Size / 2.0 - 0.5, c = (Size - 1) / 2.0;
  for (Integer y = 0; y < Size; ++y)
    for (Integer x = 0; x < Size; ++x) {
      const double d = std::hypot(x - c, y - c);
      const double coverage = std::clamp(r - d + 0.5, 0.0, 1.0);
      const bool ring = d > r * 0.62 && d < r * 0.78;
      const double a = std::atan2(y - c, x - c) + M_PI;
      const bool spot = Spots > 0 && d < r * 0.45 && d > r * 0.2 &&
                        std::fmod(a * Spots / (2 * M_PI), 1.0) < 0.5;
      png->SetPixels(x, y, ring || spot ? clWhite : Color);
      png->AlphaScanline(y)[x] = Byte(std::lround(coverage * 255));
    }
  return png;
}

// An icon file holding one PNG frame per size.
void MultiSizeIcon(TIconEx& Icon, std::initializer_list<Integer> Sizes, TColor Color)
{
  std::vector<TBytes> frames;
  for (Integer size : Sizes) {
    TBytesStream stream;
    Disc(size, Color, size / 8)->SaveToStream(&stream);
    frames.push_back(TBytes(stream.Bytes().begin(), stream.Bytes().begin() + std::ptrdiff_t(stream.Size())));
  }
  TBytesStream file;
  auto word = [&](Word v) { file.WriteBuffer(&v, 2); };
  auto dword = [&](Cardinal v) { file.WriteBuffer(&v, 4); };
  word(0);
  word(1);
  word(Word(frames.size()));
  Cardinal offset = Cardinal(6 + 16 * frames.size());
  std::size_t i = 0;
  for (Integer size : Sizes) {
    const Byte side = Byte(size >= 256 ? 0 : size);
    file.WriteBuffer(&side, 1);
    file.WriteBuffer(&side, 1);
    word(0); // colour count, reserved
    word(1);
    word(32);
    dword(Cardinal(frames[i].size()));
    dword(offset);
    offset += Cardinal(frames[i++].size());
  }
  for (const TBytes& frame : frames)
    file.WriteBuffer(frame.data(), Integer(frame.size()));
  file.SetPosition(0);
  Icon.LoadFromStream(&file);
}

void Checkerboard(TCanvas* Canvas, const TRect& Rect)
{
  for (Integer y = Rect.Top; y < Rect.Bottom; y += 8)
    for (Integer x = Rect.Left; x < Rect.Right; x += 8) {
      Canvas->Brush()->SetColor(((x - Rect.Left) / 8 + (y - Rect.Top) / 8) % 2 ? TColor(0xE0E0E0) : clWhite);
      Canvas->FillRect(TRect(x, y, std::min(x + 8, Rect.Right), std::min(y + 8, Rect.Bottom)));
    }
}

class TImagingView : public TGraphicControl {
public:
  TImagingView(TComponent* AOwner, Integer Width, Integer Height)
    : TGraphicControl(AOwner), FSheet(std::make_unique<TBitmap>(Width, Height))
  {
    SetBounds(0, 0, Width, Height);
    FSheet->Canvas()->Brush()->SetColor(clWindow);
    FSheet->Canvas()->FillRect(TRect(0, 0, Width, Height));
  }
  TCanvas* Sheet() const { return FSheet->Canvas(); }

protected:
  void Paint() override { Canvas()->Draw(0, 0, FSheet.get()); }

private:
  std::unique_ptr<TBitmap> FSheet;
};

} // namespace

TImagingPage::TImagingPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  auto* view = new TImagingView(this, 950, 560);
  view->SetParent(Client());
  // Labels made after the view are drawn over it.
  AddTitle("Imaging");
  AddLabel("<font color=clGray>PNG operations, a multi-size icon, and icon lists filled from icons at each size, "
           "over a checkerboard so that alpha shows.</font>",
           kMargin + 150, 20);
  TCanvas* canvas = view->Sheet();
  const Integer x0 = kMargin + kLabelWidth;

  // A sprite sheet of four cells, then each cell cut from it.
  AddLabel("<b>PNG operations</b>", kMargin, kRowPngs + 8);
  TPngImage sheet;
  sheet.CreateBlank(COLOR_RGBALPHA, 8, 128, 32);
  const TColor colors[] = {clRed, TColor(0x0080FF), clGreen, clBlue};
  for (int i = 0; i < 4; ++i)
    TPngImageHelper::DrawPng(sheet, Disc(32, colors[i]).get(), TPoint(i * 32, 0), 255);
  Checkerboard(canvas, TRect(x0, kRowPngs, x0 + 760, kRowPngs + 64));
  canvas->Draw(x0 + 4, kRowPngs + 4, &sheet);
  for (int i = 0; i < 4; ++i)
    TPngImageHelper::DrawFrame(sheet, canvas, TRect(x0 + 150 + i * 40, kRowPngs + 4, x0 + 182 + i * 40, kRowPngs + 36), i,
                               0, 4, 1);
  auto operation = [&](int slot, TPngImage& png) { canvas->Draw(x0 + 320 + slot * 70, kRowPngs + 4, &png); };
  auto alpha = Disc(32, clRed);
  TPngImageHelper::AlphaBlend(*alpha, 110);
  operation(0, *alpha);
  auto grey = Disc(32, TColor(0x0080FF));
  TPngImageHelper::ConvertToGrayScale(*grey);
  operation(1, *grey);
  auto resized = Disc(20, clGreen);
  TPngImageHelper::SmoothResize(*resized, 56, 56);
  operation(2, *resized);
  auto composite = Disc(48, clBlue);
  TPngImageHelper::DrawPng(*composite, Disc(28, clRed).get(), TPoint(20, 20), 200);
  operation(3, *composite);
  auto blended = Disc(32, clGreen);
  MakeImageBlended(blended.get());
  operation(4, *blended);
  auto greyed = Disc(32, clGreen);
  MakeImageGrayscale(greyed.get());
  operation(5, *greyed);
  const char* captions[] = {"sheet", "cells", "alpha", "grey", "resized", "composite", "blended", "greyed"};
  const int lefts[] = {0, 150, 320, 390, 460, 530, 600, 670};
  for (int i = 0; i < 8; ++i)
    AddLabel(String("<font color=clGray>") + captions[i] + "</font>", x0 + lefts[i], kRowPngs + 66);

  // The multi-size icon: every frame at its own size and the frame list.
  AddLabel("<b>Multi-size icon</b>", kMargin, kRowIcon + 8);
  TIconEx icon;
  MultiSizeIcon(icon, {16, 24, 32, 48, 256}, TColor(0x00A05000));
  Checkerboard(canvas, TRect(x0, kRowIcon, x0 + 140, kRowIcon + 56));
  String frames = "<font color=clGray>";
  for (Integer i = 0, left = x0 + 4; i < icon.GetIconCount(); ++i) {
    const TIconDesc d = icon.GetIconDescriptions(i);
    frames += std::to_string(d.Width) + " x " + std::to_string(d.Height) + ", " + std::to_string(d.BitsPerPixel) +
              " bits" + (i + 1 < icon.GetIconCount() ? "<br>" : "");
    if (d.Width > 48)
      continue;
    TIcon frame;
    icon.ExtractIcon(i, &frame);
    canvas->Draw(left, kRowIcon + 4, &frame);
    left += d.Width + 4;
  }
  AddLabel(frames + "</font>", x0 + 150, kRowIcon);

  // Icon lists of the 256-pixel frame, a 32-pixel icon and a 16-pixel one.
  std::vector<std::unique_ptr<TIcon>> sources;
  for (Integer size : {256, 32, 16}) {
    TIconEx single;
    MultiSizeIcon(single, {size}, size == 256 ? TColor(0x00A05000) : size == 32 ? clRed : clGreen);
    sources.push_back(std::make_unique<TIcon>());
    single.ExtractIcon(0, sources.back().get());
  }
  auto makeList = [&](Integer Size, bool Smooth) {
    auto list = std::make_unique<TIconList>();
    list->BeginUpdate();
    list->SetSize(Size);
    list->SetSmoothScaling(Smooth);
    for (const auto& source : sources)
      list->Icons()->Add()->SetIcon(source.get());
    list->EndUpdate();
    return list;
  };
  auto drawList = [&](TCustomImageList& List, Integer Left, Integer Top) {
    Checkerboard(canvas, TRect(Left, Top, Left + 3 * (List.Width() + 4) + 4, Top + List.Height() + 8));
    for (Integer i = 0; i < List.Count(); ++i)
      List.Draw(canvas, Left + 4 + i * (List.Width() + 4), Top + 4, i);
    return Left + 3 * (List.Width() + 4) + 24;
  };
  AddLabel("<b>Icon lists, smooth</b>", kMargin, kRowSmooth + 8);
  AddLabel("<b>Plain</b>", kMargin, kRowPlain + 8);
  for (bool smooth : {true, false}) {
    Integer left = x0;
    for (Integer size : {16, 32, 48})
      left = drawList(*makeList(size, smooth), left, smooth ? kRowSmooth : kRowPlain);
  }
  auto big = makeList(256, true);
  Checkerboard(canvas, TRect(kBigLeft, kRowIcon - 10, kBigLeft + 264, kRowIcon + 254));
  big->Draw(canvas, kBigLeft + 4, kRowIcon - 6, 0);
  AddLabel("<font color=clGray>256 x 256</font>", kBigLeft, kRowIcon + 256);

  // Lists stored at 16, 32 and 48 pixels, read back with the resolution
  // they were stored at being two thirds of the screen's: scaled 3 : 2 on
  // loading, as a list made at 96 DPI is on a 144-DPI screen.
  AddLabel("<b>Loaded 3 : 2</b><br><font color=clGray>96 to 144 DPI</font>", kMargin, kRowLoaded + 8);
  Integer left = x0;
  for (Integer size : {16, 32, 48}) {
    auto stored = makeList(size, true);
    stored->SetPixelsPerInch(DPI::GetValue() * 2 / 3);
    std::unique_ptr<TComponent> loaded(ReadComponentRes(WriteComponentRes(stored.get())));
    left = drawList(*dynamic_cast<TIconList*>(loaded.get()), left, kRowLoaded);
  }
}

} // namespace Gallery

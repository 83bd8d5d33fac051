// The PNG buttons page: bit and speed buttons with a PNG glyph, enabled and
// disabled, under each set of disabled-look options, the framework's bit
// buttons of stock kinds beside them, and one skin drawn at three sizes.
#include "GalleryPages.hpp"

#include <Quorex.Imaging.PngSkin.hpp>
#include <Quorex.Vcl.PngBitBtn.hpp>
#include <Quorex.Vcl.PngSpeedButton.hpp>
#include <System.Streams.hpp>
#include <Vcl.Buttons.hpp>
#include <Winapi.Modules.hpp>

#include <cmath>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kRowTop = 84, kRowPitch = 40, kColumnLeft = 210, kColumnPitch = 120;

// A disc with a soft edge: colour inside, alpha falling off over one pixel.
void PaintDisc(TPngImage& Png, int Side, TColor Colour)
{
  Png.CreateBlank(COLOR_RGBALPHA, 8, Side, Side);
  const double centre = (Side - 1) / 2.0, radius = Side / 2.0 - 1;
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x) {
      const double d = std::hypot(x - centre, y - centre);
      Png.SetPixels(x, y, d < radius - 3 ? TColor(0x00FFFFFF) : Colour);
      Png.AlphaScanline(y)[x] = Byte(std::lround(255 * std::clamp(radius + 0.5 - d, 0.0, 1.0)));
    }
}

// A 24 x 24 panel: a dark rim, a lighter band and a pale face, corners cut.
void PaintPanel(TPngImage& Png)
{
  constexpr int side = 24;
  Png.CreateBlank(COLOR_RGBALPHA, 8, side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const int edge = std::min(std::min(x, y), std::min(side - 1 - x, side - 1 - y));
      const bool corner = std::min(x, side - 1 - x) + std::min(y, side - 1 - y) < 3;
      Png.SetPixels(x, y, edge == 0 ? TColor(0x00804020) : edge < 5 ? TColor(0x00D09050) : TColor(0x00FFF4E8));
      Png.AlphaScanline(y)[x] = corner ? 0 : 255;
    }
}

// Draws one skin into three rectangles.
class TSkinSheet : public TGraphicControl {
public:
  explicit TSkinSheet(TComponent* AOwner) : TGraphicControl(AOwner)
  {
    PaintPanel(FSkin);
    FSkin.PrepareSkin(TRect(6, 6, 6, 6));
  }

protected:
  void Paint() override
  {
    for (const TRect& r : {TRect(0, 0, 48, 24), TRect(64, 0, 224, 48), TRect(240, 0, 560, 96)})
      FSkin.DrawSkin(Canvas(), r);
  }

private:
  TPngImageSkin FSkin;
};

String OptionsName(TPngOptions Options)
{
  if (Options.Empty())
    return "[]";
  String s;
  if (Options.Contains(pngBlendOnDisabled))
    s = "blend";
  if (Options.Contains(pngGrayscaleOnDisabled))
    s += s.empty() ? "grayscale" : " + grayscale";
  return s;
}

} // namespace

TPngButtonsPage::TPngButtonsPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("PNG buttons");
  TPngImage glyph;
  PaintDisc(glyph, 16, TColor(0x0030A030));
  const char* headings[] = {"bit button", "disabled", "speed button", "disabled"};
  for (int c = 0; c < 4; ++c)
    AddLabel(String("<font color=clGray>") + headings[c] + "</font>", kColumnLeft + c * kColumnPitch, 56);
  const TPngOptions sets[] = {{}, {pngBlendOnDisabled}, {pngGrayscaleOnDisabled},
                              {pngBlendOnDisabled, pngGrayscaleOnDisabled}};
  for (int row = 0; row < 4; ++row) {
    const int top = kRowTop + row * kRowPitch;
    AddLabel("PngOptions " + OptionsName(sets[row]), kMargin, top + 6);
    for (int c = 0; c < 4; ++c) {
      TControl* button = nullptr;
      if (c < 2) {
        auto* bit = new TPngBitBtn(this);
        bit->SetPngImage(&glyph);
        bit->SetPngOptions(sets[row]);
        button = bit;
      } else {
        auto* speed = new TPngSpeedButton(this);
        speed->SetPngImage(&glyph);
        speed->SetPngOptions(sets[row]);
        button = speed;
      }
      button->SetCaption("Accept");
      button->SetEnabled(c % 2 == 0);
      button->SetParent(Client());
      button->SetBounds(kColumnLeft + c * kColumnPitch, top, 104, 30);
    }
  }
  // A stock kind brings its glyph; disabled, a one-cell bitmap glyph is
  // embossed, on the speed button too (here with the stock "retry" bitmap).
  const int stockTop = kRowTop + 4 * kRowPitch;
  AddLabel("Bitmap glyphs", kMargin, stockTop + 6);
  TResourceStream retryData(Win::GetModuleHandle("vcl"), "BBRETRY", Win::RT_BITMAP);
  TBitmap retry;
  retry.LoadFromStream(&retryData);
  for (int c = 0; c < 4; ++c) {
    TControl* button = nullptr;
    if (c < 2) {
      auto* bit = new TBitBtn(this);
      bit->SetKind(bkOK);
      button = bit;
    } else {
      auto* speed = new TSpeedButton(this);
      speed->SetGlyph(&retry);
      speed->SetCaption("Retry");
      button = speed;
    }
    button->SetEnabled(c % 2 == 0);
    button->SetParent(Client());
    button->SetBounds(kColumnLeft + c * kColumnPitch, stockTop, 104, 30);
  }
  const int skinTop = stockTop + kRowPitch + 24;
  AddLabel("<b>PNG skin</b> <font color=clGray>one 24 x 24 image, margins 6, drawn at 48 x 24, 160 x 48 and "
           "320 x 96</font>",
           kMargin, skinTop);
  auto* sheet = new TSkinSheet(this);
  sheet->SetParent(Client());
  sheet->SetBounds(kMargin, skinTop + 28, 560, 96);
}

} // namespace Gallery

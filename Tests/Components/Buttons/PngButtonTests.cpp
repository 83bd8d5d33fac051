#include "ButtonTestSupport.hpp"

#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>
#include <QxStyleSupport.hpp>
#include <QxSurface.hpp>

#include <Quorex.Vcl.PngBitBtn.hpp>
#include <Quorex.Vcl.PngImageList.hpp>
#include <Quorex.Vcl.PngSpeedButton.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.ActnList.hpp>
#include <Win.Desktop.hpp>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Vcl;
using namespace Quorex;
using namespace QxTest;

namespace {

class PngButtons : public ButtonFixture {
protected:
  // Both buttons, 100 x 30, without caption: the 16 x 16 glyph centred at
  // (42, 7).
  void SetUp() override
  {
    ButtonFixture::SetUp();
    Bit = Place(new TPngBitBtn(Form), Form, 10, 10, 100, 30);
    Speed = Place(new TPngSpeedButton(Form), Form, 10, 60, 100, 30);
    for (TControl* c : Buttons())
      c->SetCaption("");
    Bit->SetPngImage(SolidPng(clRed).get());
    Speed->SetPngImage(SolidPng(clRed).get());
    RunUntilIdle();
  }
  std::vector<TControl*> Buttons() { return {Bit, Speed}; }
  TColor GlyphCentre(TControl* Button)
  {
    RunUntilIdle();
    return TColor(ControlPixel(Button, 50, 15));
  }
  // Red pixels along row 15 and column 50 (reading the screen is slow).
  int RedPixels(TControl* Button)
  {
    RunUntilIdle();
    int n = 0;
    for (int x = 0; x < Button->Width(); ++x)
      n += TColor(ControlPixel(Button, x, 15)) == clRed;
    for (int y = 0; y < Button->Height(); ++y)
      n += TColor(ControlPixel(Button, 50, y)) == clRed;
    return n;
  }

  TPngBitBtn* Bit = nullptr;
  TPngSpeedButton* Speed = nullptr;
};

} // namespace

TEST_F(PngButtons, GlyphAtItsOwnSizeAndDisabledLooks)
{
  for (TControl* button : Buttons()) {
    SCOPED_TRACE(button->ClassName());
    EXPECT_EQ(RedPixels(button), 16 + 16);
    EXPECT_EQ(GlyphCentre(button), clRed);
    button->SetEnabled(false);
    // The default options blend the glyph half into the face.
    const TColor blended = GlyphCentre(button);
    EXPECT_NE(blended, clRed);
    EXPECT_GT(Win::GetRValue(Win::COLORREF(blended)), Win::GetGValue(Win::COLORREF(blended)) + 100);
    // Without options the disabled glyph is drawn as it is.
    if (auto* bit = dynamic_cast<TPngBitBtn*>(button))
      bit->SetPngOptions({});
    else
      Speed->SetPngOptions({});
    EXPECT_EQ(GlyphCentre(button), clRed);
  }
}

TEST_F(PngButtons, StockKindDrawsNoPng)
{
  Bit->SetKind(bkOK);
  EXPECT_EQ(Bit->Caption(), "OK");
  EXPECT_EQ(RedPixels(Bit), 0);
}

TEST_F(PngButtons, GammaGoesFromColourImagesOnly)
{
  auto withGamma = [](std::unique_ptr<TPngImage> png) {
    png->SetGamma(45455);
    return png;
  };
  for (Byte type : {COLOR_RGB, COLOR_RGBALPHA}) {
    Bit->SetPngImage(withGamma(SolidPng(clRed, 16, 16, 255, type)).get());
    Speed->SetPngImage(withGamma(SolidPng(clRed, 16, 16, 255, type)).get());
    EXPECT_FALSE(Bit->PngImage()->HasChunk("gAMA"));
    EXPECT_FALSE(Speed->PngImage()->HasChunk("gAMA"));
  }
  Bit->SetPngImage(withGamma(SolidPng(clGray, 16, 16, 255, COLOR_GRAYSCALE)).get());
  Speed->SetPngImage(withGamma(SolidPng(clGray, 16, 16, 255, COLOR_GRAYSCALE)).get());
  EXPECT_TRUE(Bit->PngImage()->HasChunk("gAMA"));
  EXPECT_TRUE(Speed->PngImage()->HasChunk("gAMA"));
  // An empty image is taken as it is by both buttons.
  auto empty = std::make_unique<TPngImage>();
  empty->SetGamma(45455);
  Bit->SetPngImage(empty.get());
  Speed->SetPngImage(empty.get());
  EXPECT_TRUE(Bit->PngImage()->Empty());
  EXPECT_EQ(Bit->PngImage()->Gamma(), empty->Gamma());
  EXPECT_EQ(Speed->PngImage()->Gamma(), empty->Gamma());
  Speed->SetPngImage(nullptr);
  EXPECT_TRUE(Speed->PngImage()->Empty());
  EXPECT_EQ(RedPixels(Speed), 0);
}

TEST_F(PngButtons, ImagesFromActions)
{
  TPngImageList images(nullptr);
  images.SetWidth(16);
  images.SetHeight(16);
  images.AddPng(SolidPng(clBlue).get());
  images.AddPng(SolidPng(clLime).get());
  TActionList list(nullptr);
  list.SetImages(&images);
  TAction action(nullptr);
  action.SetActionList(&list);

  // Out of range: nothing taken.
  action.SetImageIndex(-1);
  Bit->SetPngImage(nullptr);
  Speed->SetPngImage(nullptr);
  Bit->SetAction(&action);
  Speed->SetAction(&action);
  action.SetImageIndex(2);
  EXPECT_TRUE(Bit->PngImage()->Empty());
  EXPECT_TRUE(Speed->PngImage()->Empty());

  // An empty PNG takes the action's image, and follows it; it is not stored.
  action.SetImageIndex(0);
  for (TControl* button : Buttons())
    EXPECT_EQ(GlyphCentre(button), clBlue) << button->ClassName();
  EXPECT_FALSE(Bit->PngImageStored());
  action.SetImageIndex(1);
  EXPECT_EQ(Bit->PngImage()->Pixels(0, 0), clLime);
  EXPECT_EQ(Speed->PngImage()->Pixels(0, 0), clLime);

  // One the host set stays.
  Bit->SetPngImage(SolidPng(clRed).get());
  Speed->SetPngImage(SolidPng(clRed).get());
  EXPECT_TRUE(Speed->PngImageStored());
  action.SetImageIndex(0);
  for (TControl* button : Buttons())
    EXPECT_EQ(GlyphCentre(button), clRed) << button->ClassName();
  Bit->SetAction(nullptr);
  Speed->SetAction(nullptr);
}

TEST_F(PngButtons, FormResourcesKeepDefaultsOutAndTheImageIn)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* bit = AddNamed<TPngBitBtn>(&root, "Bit1");
  auto* speed = AddNamed<TPngSpeedButton>(&root, "Speed1");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"PngImage", "PngOptions", "Glyph", "NumGlyphs", "Kind", "Layout",
                                                 "Margin", "Spacing", "GroupIndex", "Down", "Flat", "AllowAllUp"});

  bit->SetPngImage(SolidPng(clRed).get());
  bit->SetPngOptions({pngGrayscaleOnDisabled});
  speed->SetPngImage(SolidPng(clBlue).get());
  speed->SetFlat(true);
  bit->SetBiDiMode(bdRightToLeft);
  bit->SetDragMode(dmAutomatic);
  speed->SetBiDiMode(bdRightToLeftNoAlign);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"PngOptions = [pngGrayscaleOnDisabled]", "Flat = True", "PngImage",
                           "BiDiMode = bdRightToLeft\n", "DragMode = dmAutomatic", "BiDiMode = bdRightToLeftNoAlign"});
  // The speed button's blank placeholder glyph stays out.
  QxTest::ExpectLacks(text, {"Glyph", "NumGlyphs"});
  ExpectReadsBackTheSame(&root, text);
  auto copy = ReadAs<TQxFrameClient>(text);
  auto* bitCopy = FindIn<TPngBitBtn>(copy.get(), "Bit1");
  auto* speedCopy = FindIn<TPngSpeedButton>(copy.get(), "Speed1");
  ASSERT_TRUE(bitCopy && speedCopy);
  EXPECT_EQ(bitCopy->PngImage()->Pixels(3, 3), clRed);
  EXPECT_EQ(speedCopy->PngImage()->Pixels(3, 3), clBlue);
  EXPECT_EQ(speedCopy->Glyph()->Width(), 16); // the placeholder is rebuilt after loading
}

// Right to left, taken from the form, the glyph goes after the caption,
// which stays in its own place before it rather than against the right edge.
TEST_F(PngButtons, RightToLeftPutsTheGlyphAfterTheCaption)
{
  // Dark (caption) pixels in columns [x0, x1), rows 5 to 25.
  auto textInk = [this](TControl* Button, int x0, int x1) {
    int n = 0;
    for (const Win::COLORREF c : ControlPixels(Button, TRect(x0, 5, x1, 25)))
      n += int(c & 0xFF) + int((c >> 8) & 0xFF) + int((c >> 16) & 0xFF) < 300;
    return n;
  };
  auto firstRed = [this](TControl* Button) {
    RunUntilIdle();
    const auto row = ControlPixels(Button, TRect(0, 15, Button->Width(), 16));
    const auto red = std::find_if(row.begin(), row.end(), [](Win::COLORREF c) { return TColor(c) == clRed; });
    return red == row.end() ? -1 : int(red - row.begin());
  };
  for (TControl* button : Buttons()) {
    SCOPED_TRACE(button->ClassName());
    button->SetCaption("Go");
    const int leftToRight = firstRed(button);
    EXPECT_GE(leftToRight, 0);
    EXPECT_LT(leftToRight, 50 - 16);
    Form->SetBiDiMode(bdRightToLeft);
    const int glyph = firstRed(button);
    EXPECT_GT(glyph, 50);
    EXPECT_GT(textInk(button, 4, glyph), 10);
    EXPECT_EQ(textInk(button, glyph + 16, button->Width() - 4), 0);
    Form->SetBiDiMode(bdLeftToRight);
    EXPECT_EQ(firstRed(button), leftToRight);
  }
}

// The classic look: the system push-button frame (inactive when disabled);
// pressed, a shadow frame inside the focus frame and the glyph one pixel
// right and down.
TEST_F(PngButtons, ClassicFramesAndThePressedShift)
{
  TVisualStyles classic(false);
  for (bool enabled : {true, false}) {
    Bit->SetEnabled(enabled);
    Bit->Invalidate();
    RunUntilIdle();
    TSurface reference(100, 30);
    Win::RECT r(0, 0, 100, 30);
    Win::DrawFrameControl(reference.DC, &r, Win::DFC_BUTTON,
                          Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT | (enabled ? 0 : Win::DFCS_INACTIVE));
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {10, 0}, {99, 29}, {98, 28}, {10, 28}, {5, 15}})
      EXPECT_EQ(ControlPixel(Bit, x, y), reference.At(x, y)) << x << ", " << y << (enabled ? "" : " disabled");
  }
  Bit->SetEnabled(true);
  MoveOnto(Bit, 20, 15);
  Press();
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Bit, 0, 0), Win::GetSysColor(Win::COLOR_WINDOWFRAME));
  EXPECT_EQ(ControlPixel(Bit, 1, 1), Win::GetSysColor(Win::COLOR_BTNSHADOW));
  EXPECT_NE(TColor(ControlPixel(Bit, 42, 7)), clRed);
  EXPECT_EQ(TColor(ControlPixel(Bit, 43, 8)), clRed);
  EXPECT_EQ(TColor(ControlPixel(Bit, 58, 23)), clRed);
  Release();
  RunUntilIdle();
}

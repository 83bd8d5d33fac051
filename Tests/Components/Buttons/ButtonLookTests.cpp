// What the button shows: each painter's pixels by state, the geometry of
// image, text and arrow, and the auto-size arithmetic.
#include "ButtonTestSupport.hpp"

#include <QxStyleSupport.hpp>
#include <QxSolidImages.hpp>

#include <Quorex.Vcl.CanvasHelper.hpp>
#include <Win.Gdi.Guards.hpp>

#include <cstdlib>

using namespace Vcl;
using namespace Quorex;

namespace {

class ButtonLookTest : public QxTest::ButtonFixture {
protected:
  TQxButton* Themed(TQxButtonTheme Theme, TQxButtonStyle Style = bsPushButton, int top = 40)
  {
    TQxButton* button = NewButton(Style, 40, top);
    button->SetButtonTheme(Theme);
    RunUntilIdle();
    return button;
  }
  TColor Pixel(TQxButton* Button, int x, int y) { return TColor(ControlPixel(Button, x, y)); }
  std::vector<Win::COLORREF> Row(TQxButton* Button, int y)
  {
    return ControlPixels(Button, TRect(0, y, Button->Width(), y + 1));
  }
  TImageList* RedImages(int Size = 16) { return QxTest::SolidImages(Form, clRed, Size); }
};

TEST_F(ButtonLookTest, GlassShowsNothingAtRestAndItsTwoTonesWhenHotOrPressed)
{
  TQxButton* button = Themed(btGlass);
  EXPECT_EQ(Pixel(button, 4, 4), clWhite);
  MoveOnto(button, 4, 4);
  EXPECT_EQ(Pixel(button, 4, 4), TColor(0x00FCF3E2));
  EXPECT_EQ(Pixel(button, 4, 25), TColor(0x00FBE3B7));
  Press();
  EXPECT_EQ(Pixel(button, 4, 4), TColor(0x00F6E4C2));
  EXPECT_EQ(Pixel(button, 4, 25), TColor(0x00F2D7A6));
  Release();
  button->SetEnabled(false);
  RunUntilIdle();
  EXPECT_EQ(Pixel(button, 4, 4), clWhite);
}

TEST_F(ButtonLookTest, SolidFillsWithTheButtonColourLighterWhenHotAndDarkerWhenPressed)
{
  TQxButton* button = Themed(btSolid);
  const TColor c = button->ButtonColor();
  EXPECT_EQ(Pixel(button, 4, 4), c);
  MoveOnto(button, 4, 4);
  EXPECT_EQ(Pixel(button, 4, 4), TColor(ColorAdjustLuma(c, 60, false)));
  Press();
  EXPECT_EQ(Pixel(button, 4, 4), TColor(ColorAdjustLuma(c, -30, false)));
  Release();
  button->SetEnabled(false);
  RunUntilIdle();
  EXPECT_EQ(Pixel(button, 4, 4), ColorToRGB(clBtnFace));
}

TEST_F(ButtonLookTest, SolidResolvesSystemColoursTakesNoneAsNoFillAndTransparentAsFillOnlyWhenHot)
{
  TQxButton* system = Themed(btSolid);
  system->SetButtonColor(clHighlight);
  MoveOnto(system, 4, 4);
  EXPECT_EQ(Pixel(system, 4, 4), TColor(ColorAdjustLuma(TColorRef(ColorToRGB(clHighlight)), 60, false)));

  TQxButton* none = Themed(btSolid, bsPushButton, 100);
  none->SetButtonColor(clNone);
  RunUntilIdle();
  EXPECT_EQ(Pixel(none, 4, 4), clWhite);
  MoveOnto(none, 4, 4);
  EXPECT_EQ(Pixel(none, 4, 4), clWhite);
  Press();
  EXPECT_EQ(Pixel(none, 4, 4), clWhite);
  Release();

  TQxButton* transparent = Themed(btSolid, bsPushButton, 160);
  transparent->SetTransparent(true);
  RunUntilIdle();
  EXPECT_EQ(Pixel(transparent, 4, 4), clWhite);
  MoveOnto(transparent, 4, 4);
  EXPECT_EQ(Pixel(transparent, 4, 4), transparent->ButtonColor());
}

TEST_F(ButtonLookTest, TheArrowTurnsSilverOnADisabledButton)
{
  TQxButton* button = Themed(btStatic, bsDropDownButton);
  // The arrow box is centred in the 17-pixel area at the right.
  EXPECT_EQ(Pixel(button, 111, 12), clBlack);
  EXPECT_EQ(Pixel(button, 111, 15), clBlack);
  EXPECT_EQ(Pixel(button, 111, 16), clWhite);
  button->SetEnabled(false);
  RunUntilIdle();
  EXPECT_EQ(Pixel(button, 111, 12), TColor(0x00C0C0C0));
}

TEST_F(ButtonLookTest, OnlyTheStandardPainterDrawsAFocusRectangle)
{
  auto* other = Place(new TQxButton(Form), Form, 300, 250, 60, 30);
  for (bool themed : {false, true}) {
    QxTest::TVisualStyles styles(themed);
    for (TQxButtonTheme theme : {btStandard, btFlat, btGlass, btSolid, btStatic}) {
      TQxButton* button = Themed(theme);
      other->SetFocus();
      RunUntilIdle();
      const std::vector<Win::COLORREF> unfocused = Row(button, 3);
      button->SetFocus();
      RunUntilIdle();
      EXPECT_EQ(Row(button, 3) != unfocused, theme == btStandard) << int(theme) << " themed " << themed;
      delete button;
    }
  }
}

TEST_F(ButtonLookTest, ImagesSitByTheirAlignmentLeftOfTheArrowAndStayColouredWhenDisabled)
{
  TQxButton* button = NewButton(bsSplitButton, 40, 40, 120, 40);
  button->SetImages(RedImages());
  button->SetImageIndex(0);
  button->ImageMargins()->SetLeft(2);
  button->ImageMargins()->SetTop(3);
  button->ImageMargins()->SetRight(4);
  button->ImageMargins()->SetBottom(5);
  const struct {
    TImageAlignment Alignment;
    TRect Image;
  } cases[] = {{iaLeft, TRect(2, 12, 18, 28)},
               {iaRight, TRect(83, 12, 99, 28)},
               {iaTop, TRect(43, 3, 59, 19)},
               {iaBottom, TRect(43, 19, 59, 35)},
               {iaCenter, TRect(43, 12, 59, 28)}};
  for (const auto& c : cases) {
    button->SetImageAlignment(c.Alignment);
    RunUntilIdle();
    EXPECT_EQ(button->Painter()->GetImageRect(), c.Image) << int(c.Alignment);
    EXPECT_EQ(Pixel(button, c.Image.Left + 8, c.Image.Top + 8), clRed);
  }
  button->SetImageAlignment(iaLeft);
  RunUntilIdle();
  // The caption is centred between the image with its margins and the arrow area.
  const TRect text = button->Painter()->GetTextRect();
  EXPECT_LE(std::abs((text.Left - 22) - (103 - text.Right)), 1);
  button->SetEnabled(false);
  RunUntilIdle();
  EXPECT_EQ(Pixel(button, 10, 20), clRed);
}

TEST_F(ButtonLookTest, TheShieldReplacesTheImageWhenElevationIsRequired)
{
  TQxButton* button = NewButton(bsPushButton, 40, 40, 120, 40);
  button->SetElevationRequired(true);
  RunUntilIdle();
  const TRect r = button->Painter()->GetImageRect();
  EXPECT_EQ(r.Width(), Win::GetSystemMetrics(Win::SM_CXSMICON));
  int coloured = 0;
  for (const Win::COLORREF p : ControlPixels(button, r)) {
    const int r8 = p & 0xFF, g8 = (p >> 8) & 0xFF, b8 = (p >> 16) & 0xFF;
    coloured += std::max({r8, g8, b8}) - std::min({r8, g8, b8}) > 40;
  }
  EXPECT_GT(coloured, r.Width() * r.Height() / 4);
}

// ---- auto size -------------------------------------------------------------------------------------

class ButtonAutoSizeTest : public ButtonLookTest {
protected:
  // A button sized before it has a parent window: measured off-screen.
  TQxButton* Sized(TQxButtonStyle Style, const String& Caption)
  {
    auto* button = new TQxButton(Form);
    button->Font()->SetName("DejaVu Sans");
    button->Font()->SetHeight(-12);
    button->SetCaption(Caption);
    button->SetButtonStyle(Style);
    button->SetAutoSize(true);
    return button;
  }
  int TextWidth(TQxButton* Button)
  {
    const Win::TMemoryDC memory(nullptr, 1, 1);
    TCanvas canvas;
    canvas.SetHandle(memory.DC());
    canvas.SetFont(Button->Font());
    const int width = QxTextWidth(&canvas, Button->Caption());
    canvas.SetHandle(nullptr);
    return width;
  }
};

TEST_F(ButtonAutoSizeTest, ACaptionGetsThreeFontHeightsOfRoomOrSixteenPixelsBesideAnImageOrArrow)
{
  TQxButton* push = Sized(bsPushButton, "Auto size");
  EXPECT_FALSE(push->HandleAllocated());
  EXPECT_EQ(push->Width(), TextWidth(push) + 36);
  EXPECT_EQ(push->Height(), 27);

  TQxButton* split = Sized(bsSplitButton, "Auto size");
  EXPECT_EQ(split->Width(), TextWidth(split) + 16 + 17);
  EXPECT_EQ(split->Height(), 27);

  TQxButton* imaged = Sized(bsPushButton, "Auto size");
  imaged->SetImages(RedImages(16));
  imaged->SetImageIndex(0);
  imaged->ImageMargins()->SetLeft(2);
  imaged->ImageMargins()->SetRight(4);
  imaged->ImageMargins()->SetTop(3);
  imaged->ImageMargins()->SetBottom(9);
  EXPECT_EQ(imaged->Width(), TextWidth(imaged) + 16 + 22);
  EXPECT_EQ(imaged->Height(), 28);
  imaged->SetImageAlignment(iaTop);
  EXPECT_EQ(imaged->Width(), TextWidth(imaged) + 16);
  EXPECT_EQ(imaged->Height(), 27 + 28);
  imaged->SetImageAlignment(iaCenter);
  EXPECT_EQ(imaged->Height(), 27);
}

TEST_F(ButtonAutoSizeTest, WithoutACaptionOnlyTheImageItsMarginsAndTheArrowCount)
{
  TQxButton* button = Sized(bsSplitButton, "");
  button->SetImages(RedImages(24));
  button->SetImageIndex(0);
  button->ImageMargins()->SetLeft(3);
  button->ImageMargins()->SetRight(3);
  EXPECT_EQ(button->Width(), 30 + 17);
  EXPECT_EQ(button->Height(), 24);
  button->SetShowCaption(false);
  button->SetCaption("Hidden");
  EXPECT_EQ(button->Width(), 30 + 17);
}

TEST_F(ButtonAutoSizeTest, AWrappingCaptionLeavesTheSizeAsItIs)
{
  TQxButton* button = Sized(bsPushButton, "Auto size");
  button->SetWordWrap(true);
  button->SetBounds(0, 0, 50, 60);
  EXPECT_EQ(button->Width(), 50);
  EXPECT_EQ(button->Height(), 60);
}

} // namespace

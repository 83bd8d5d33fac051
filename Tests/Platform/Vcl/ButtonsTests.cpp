// The bitmap button and the speed button: stock kinds, glyph cells by state,
// and speed buttons held down in groups.
#include "TestControls.hpp"

#include <Vcl.Buttons.hpp>
#include <Vcl.Themes.hpp>

#include <gtest/gtest.h>

using namespace Vcl;
using namespace QxTest;

namespace {

// Two 8 x 8 cells: red (up) and blue (disabled), on a white key colour
// that shows as the bottom-left pixel.
std::unique_ptr<TBitmap> TwoCells()
{
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(16, 8);
  bmp->Canvas()->Brush()->SetColor(clWhite);
  bmp->Canvas()->FillRect(TRect(0, 0, 16, 8));
  bmp->Canvas()->Brush()->SetColor(clRed);
  bmp->Canvas()->FillRect(TRect(1, 0, 8, 7));
  bmp->Canvas()->Brush()->SetColor(clBlue);
  bmp->Canvas()->FillRect(TRect(9, 0, 16, 7));
  return bmp;
}

class GlyphButtons : public ControlTest {
protected:
  void SetUp() override
  {
    ControlTest::SetUp();
    Form = MakeForm(0, 0, 300, 200);
  }
  TSpeedButton* NewSpeed(int Left, int Group)
  {
    auto* b = Place(new TSpeedButton(Form), Form, Left, 100, 30, 30);
    b->SetGroupIndex(Group);
    b->OnClick = [this](TObject*) { ++Clicks; };
    return b;
  }
  TForm* Form = nullptr;
  int Clicks = 0;
};

} // namespace

TEST_F(GlyphButtons, StockKindsAndGlyphCells)
{
  auto* bit = Place(new TBitBtn(Form), Form, 10, 10, 100, 30);
  bit->SetKind(bkCancel);
  EXPECT_EQ(bit->Caption(), "Cancel");
  EXPECT_EQ(bit->ModalResult(), mrCancel);
  EXPECT_TRUE(bit->Cancel());

  // Without caption the 8 x 8 cell sits in the middle: x 46 to 54, y 11 to 19.
  bit->SetKind(bkCustom);
  bit->SetCaption("");
  bit->SetGlyph(TwoCells().get());
  bit->SetNumGlyphs(2);
  RunUntilIdle();
  EXPECT_EQ(TColor(ControlPixel(bit, 50, 14)), clRed);
  EXPECT_NE(TColor(ControlPixel(bit, 46, 18)), clWhite); // the key colour is not drawn
  bit->SetEnabled(false);
  RunUntilIdle();
  EXPECT_EQ(TColor(ControlPixel(bit, 50, 14)), clBlue);
}

TEST_F(GlyphButtons, SpeedButtonsInAGroup)
{
  TSpeedButton* a = NewSpeed(10, 1);
  TSpeedButton* b = NewSpeed(50, 1);
  TSpeedButton* lone = NewSpeed(90, 0);
  ClickOn(a, 15, 15);
  EXPECT_TRUE(a->Down());
  ClickOn(b, 15, 15);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  // The last one down stays down unless all may be up.
  ClickOn(b, 15, 15);
  EXPECT_TRUE(b->Down());
  b->SetAllowAllUp(true);
  ClickOn(b, 15, 15);
  EXPECT_FALSE(b->Down());
  // Outside a group a button never stays down; every click counts.
  lone->SetDown(true);
  EXPECT_FALSE(lone->Down());
  ClickOn(lone, 15, 15);
  EXPECT_FALSE(lone->Down());
  EXPECT_EQ(Clicks, 5);
  // A release away from the button does not click.
  MoveOnto(a, 15, 15);
  Press();
  MoveOnto(lone, 15, 15);
  Release();
  RunUntilIdle();
  EXPECT_EQ(Clicks, 5);
  EXPECT_FALSE(a->Down());
}

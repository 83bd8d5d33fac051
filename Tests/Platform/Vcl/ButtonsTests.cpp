// The bitmap button and the speed button: stock kinds with their glyphs,
// glyph cells by state, the embossed disabled look of a one-cell glyph, and
// speed buttons held down in groups.
#include "TestControls.hpp"

#include <System.Classes.Streaming.hpp>
#include <Vcl.Buttons.hpp>
#include <Vcl.Themes.hpp>
#include <Win.Desktop.hpp>

#include <gtest/gtest.h>

#include <algorithm>

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

// One 8 x 8 cell: a red square in columns 1 to 7 and rows 0 to 6 on a white
// key colour.
std::unique_ptr<TBitmap> OneCell()
{
  auto bmp = TwoCells();
  bmp->SetSize(8, 8);
  return bmp;
}

class GlyphButtons : public ControlTest {
protected:
  // How many pixels of the control have the colour.
  int CountColour(TControl* Control, TColor Colour)
  {
    const std::vector<Win::COLORREF> pixels = ControlPixels(Control);
    return int(std::count(pixels.begin(), pixels.end(), Ref(Colour)));
  }
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

TEST_F(GlyphButtons, GlyphCellsByState)
{
  auto* bit = Place(new TBitBtn(Form), Form, 10, 10, 100, 30);
  // Without caption the 8 x 8 cell sits in the middle: x 46 to 54, y 11 to 19.
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
  EXPECT_EQ(Clicks, 5);
  EXPECT_FALSE(a->Down());
}

TEST_F(GlyphButtons, EveryStockKindHasItsGlyphCaptionAndResult)
{
  const struct {
    TBitBtnKind Kind;
    const char* Caption;
    TModalResult Result;
  } kinds[] = {{bkOK, "OK", mrOk},         {bkCancel, "Cancel", mrCancel}, {bkHelp, "Help", mrNone},
               {bkYes, "Yes", mrYes},      {bkNo, "No", mrNo},             {bkClose, "Close", mrNone},
               {bkAbort, "Abort", mrAbort}, {bkRetry, "Retry", mrRetry},    {bkIgnore, "Ignore", mrIgnore},
               {bkAll, "All", mrAll}};
  auto* bit = Place(new TBitBtn(Form), Form, 10, 10, 100, 30);
  for (const auto& k : kinds) {
    bit->SetKind(k.Kind);
    EXPECT_EQ(bit->Caption(), k.Caption);
    EXPECT_EQ(bit->ModalResult(), k.Result);
    EXPECT_EQ(bit->Glyph()->Width(), 18) << k.Caption;
    EXPECT_EQ(bit->Glyph()->Height(), 18);
    EXPECT_EQ(bit->NumGlyphs(), 1);
    EXPECT_EQ(bit->Cancel(), k.Kind == bkCancel);
  }

  // The OK tick is green beside the caption; disabled, it is embossed grey.
  const TColor tick = TColor(Win::RGB(0x26, 0xA2, 0x69));
  bit->SetKind(bkOK);
  RunUntilIdle();
  EXPECT_GT(CountColour(bit, tick), 20);
  bit->SetEnabled(false);
  RunUntilIdle();
  EXPECT_EQ(CountColour(bit, tick), 0);
  EXPECT_GT(CountColour(bit, clBtnShadow), 20);

  // The kind is stored, its glyph is not; a glyph of the host's own makes the
  // button a custom one again.
  bit->SetName("Ok");
  String text = WriteComponentRes(Form);
  EXPECT_NE(text.find("Kind = bkOK"), String::npos);
  EXPECT_EQ(text.find("Glyph"), String::npos);
  bit->SetGlyph(OneCell().get());
  EXPECT_EQ(bit->Kind(), bkCustom);
  EXPECT_TRUE(bit->IsGlyphStored());
  text = WriteComponentRes(Form);
  EXPECT_EQ(text.find("Kind ="), String::npos);
  // The glyph travels as the bitmap's own data.
  EXPECT_NE(text.find("Glyph.Data = {"), String::npos) << text;
  TForm custom(nullptr);
  ReadComponentRes(text, &custom);
  EXPECT_EQ(static_cast<TBitBtn*>(custom.FindComponent("Ok"))->Glyph()->Width(), 8);
  // A read that fails leaves a button without a glyph without one.
  const std::size_t glyphAt = text.find("    Glyph.Data");
  const String glyph = text.substr(glyphAt, text.find('}', glyphAt) + 2 - glyphAt);
  TBitBtn plain(nullptr);
  EXPECT_THROW(ReadComponentRes("object Ok: TBitBtn\n" + glyph + "    Bogus = 1\nend\n", &plain), EReadError);
  EXPECT_TRUE(plain.Glyph()->Empty());

  // A stock button with a caption of its own keeps it when read back.
  TForm copy(nullptr);
  ReadComponentRes("object F: TForm\n  object B: TBitBtn\n    Caption = 'Proceed'\n    Kind = bkYes\n  end\nend\n",
                   &copy);
  auto* read = static_cast<TBitBtn*>(copy.FindComponent("B"));
  EXPECT_EQ(read->Caption(), "Proceed");
  EXPECT_EQ(read->ModalResult(), mrYes);
  EXPECT_EQ(read->Glyph()->Width(), 18);
}

// Without a disabled cell the glyph's shape shows in the highlight colour one
// pixel right and down, under the shadow colour: on the bitmap button and on
// the speed button alike.
TEST_F(GlyphButtons, AOneCellGlyphIsEmbossedWhenDisabled)
{
  auto* bit = Place(new TBitBtn(Form), Form, 10, 10, 100, 30);
  TSpeedButton* speed = NewSpeed(10, 0);
  speed->SetBounds(10, 100, 100, 30);
  for (TControl* button : std::initializer_list<TControl*>{bit, speed}) {
    if (button == bit)
      bit->SetGlyph(OneCell().get());
    else
      speed->SetGlyph(OneCell().get());
    RunUntilIdle();
    // The cell sits at x 46 to 54, y 11 to 19.
    const int top = 11;
    EXPECT_EQ(TColor(ControlPixel(button, 50, top + 3)), clRed);
    button->SetEnabled(false);
    RunUntilIdle();
    EXPECT_EQ(CountColour(button, clRed), 0);
    EXPECT_EQ(ControlPixel(button, 47, top), Ref(clBtnShadow));     // the shape's top left
    EXPECT_EQ(ControlPixel(button, 53, top + 6), Ref(clBtnShadow)); // its bottom right
    EXPECT_EQ(ControlPixel(button, 54, top + 3), Ref(clBtnHighlight));
    EXPECT_EQ(ControlPixel(button, 50, top + 7), Ref(clBtnHighlight));
    EXPECT_NE(ControlPixel(button, 46, top + 3), Ref(clBtnShadow)); // the key colour's column
  }
}

#include <Quorex.Imaging.PngSkin.hpp>

#include <gtest/gtest.h>

using namespace Vcl;
using namespace Quorex;

namespace {

// Nine zones of a 20 x 10 image, split at the margins (4, 3, 4, 3); each zone
// its own opaque colour.
TColor ZoneColour(int Column, int Row) { return TColor(0x202020 + 0x30 * Column + 0x3000 * Row); }

int Zone(int Position, int Low, int High) { return Position < Low ? 0 : Position >= High ? 2 : 1; }

class PngSkin : public ::testing::Test {
protected:
  TPngImageSkin Skin;
  TBitmap Target;

  void SetUp() override
  {
    Skin.CreateBlank(COLOR_RGBALPHA, 8, 20, 10);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x) {
        Skin.SetPixels(x, y, ZoneColour(Zone(x, 4, 16), Zone(y, 3, 7)));
        Skin.AlphaScanline(y)[x] = 255;
      }
    Target.SetPixelFormat(pf32bit);
    Target.SetSize(100, 30);
  }

  void Draw()
  {
    Target.Canvas()->Brush()->SetColor(clWhite);
    Target.Canvas()->FillRect(TRect(0, 0, 100, 30));
    Skin.DrawSkin(Target.Canvas(), TRect(0, 0, 100, 30));
  }

  // The source zone seen at sample points of the 100 x 30 target: columns
  // 1, 5, 50, 94, 98 and rows 1, 4, 15, 25, 28, as "column row" codes.
  std::string Seen()
  {
    std::string s;
    for (int y : {1, 4, 15, 25, 28}) {
      for (int x : {1, 5, 50, 94, 98}) {
        const TColor c = Target.Canvas()->Pixels(x, y);
        char code = '?';
        for (int col = 0; col < 3; ++col)
          for (int row = 0; row < 3; ++row)
            if (c == ZoneColour(col, row))
              code = char('a' + row * 3 + col);
        if (c == clWhite)
          code = '.';
        s += code;
      }
      s += ' ';
    }
    return s;
  }
};

} // namespace

TEST_F(PngSkin, CutsAndDrawsByMode)
{
  // Nine pieces: corners keep their size, edges stretch along, the centre both ways.
  Skin.PrepareSkin(TRect(4, 3, 4, 3));
  ASSERT_NE(Skin.Piece(1, 2), nullptr);
  EXPECT_EQ(Skin.Piece(1, 2)->Width(), 12);
  EXPECT_EQ(Skin.Piece(1, 2)->Height(), 4);
  EXPECT_EQ(Skin.Piece(0, 1)->Pixels(0, 0), ZoneColour(2, 0)); // the opposite edge before the middle
  Draw();
  EXPECT_EQ(Seen(), "abbbc deeef deeef deeef ghhhi ");

  // A row across: each piece is the full height, stretched to 30.
  Skin.PrepareSkin(TRect(4, 0, 4, 0));
  EXPECT_EQ(Skin.Piece(0, 0)->Width(), 4);
  EXPECT_EQ(Skin.Piece(0, 0)->Height(), 10);
  EXPECT_EQ(Skin.Piece(0, 2)->Width(), 12);
  EXPECT_EQ(Skin.Piece(1, 2), nullptr);
  Draw();
  EXPECT_EQ(Seen(), "abbbc abbbc deeef ghhhi ghhhi ");

  // No complete pair: no pieces, the whole image stretched.
  Skin.PrepareSkin(TRect(4, 3, 0, 0));
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(Skin.Piece(row, column), nullptr);
  Draw();
  EXPECT_EQ(Seen(), "aabcc aabcc ddeff gghii gghii ");
}

TEST_F(PngSkin, BadMarginsKeepThePreviousSkin)
{
  Skin.PrepareSkin(TRect(4, 3, 4, 3));
  Draw();
  const std::string before = Seen();
  EXPECT_THROW(Skin.PrepareSkin(TRect(12, 0, 9, 0)), EInvalidOperation);
  EXPECT_THROW(Skin.PrepareSkin(TRect(4, 6, 4, 5)), EInvalidOperation);
  TPngImageSkin rgb;
  rgb.CreateBlank(COLOR_RGB, 8, 20, 10);
  EXPECT_THROW(rgb.PrepareSkin(TRect(4, 0, 4, 0)), Exception);
  EXPECT_EQ(Skin.SkinMargins(), TRect(4, 3, 4, 3));
  ASSERT_NE(Skin.Piece(2, 2), nullptr);
  Draw();
  EXPECT_EQ(Seen(), before);

  // Margins that meet leave no middle: the right piece (source x 4 to 20)
  // sits at its own width against the right edge, nothing between.
  Skin.PrepareSkin(TRect(4, 0, 16, 0));
  EXPECT_EQ(Skin.Piece(0, 2), nullptr);
  Draw();
  EXPECT_EQ(Seen(), "a..bc a..bc d..ef g..hi g..hi ");
}

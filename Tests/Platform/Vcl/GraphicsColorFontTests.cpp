#include <Vcl.Graphics.hpp>

#include <QxTestSupport.hpp>
#include <gtest/gtest.h>

#include <memory>

using namespace Vcl;

TEST(GraphicsColors, NamesRoundTripCaseInsensitivelyIncludingSystemColours)
{
  TColor color = 0;
  ASSERT_TRUE(IdentToColor("CLBTNFACE", color));
  EXPECT_EQ(color, clBtnFace);
  ASSERT_TRUE(IdentToColor("clwebcornflowerblue", color));
  EXPECT_EQ(color, clWebCornFlowerBlue);
  EXPECT_FALSE(IdentToColor("clNoSuchColour", color));

  for (TColor c : {clBlack, clRed, clMoneyGreen, clSkyBlue, clCream, clMedGray, clScrollBar, clBtnFace,
                   clWindowText, clHighlight, clHotLight, clGrayText, cl3DDkShadow, cl3DLight, clInfoBk,
                   clInfoText, clGradientActiveCaption, clMenuBar, clNone, clDefault}) {
    String name;
    ASSERT_TRUE(ColorToIdent(c, name)) << c;
    TColor back = 0;
    ASSERT_TRUE(IdentToColor(name, back)) << name;
    EXPECT_EQ(back, c) << name;
  }
  // Values sharing a colour report the framework's first name.
  EXPECT_EQ(ColorToString(clLtGray), "clSilver");
  EXPECT_EQ(ColorToString(0x00123456), "$00123456");
  EXPECT_EQ(ColorToString(TColor(0xFF0000FF)), "$FF0000FF");
  EXPECT_EQ(StringToColor("clHighlight"), clHighlight);
  EXPECT_EQ(StringToColor("$00FF8000"), 0x00FF8000);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_THROW(StringToColor("reddish"), EConvertError);
}

TEST(GraphicsColors, SystemColoursResolveThroughTheSchemeAndOutOfRangeIsBlack)
{
  EXPECT_EQ(ColorToRGB(clBtnFace), TColor(Win::GetSysColor(Win::COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clWindowText), 0x000000);
  EXPECT_EQ(ColorToRGB(TColor(0xFF0000FF)), 0); // index 255: outside the table
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(ColorToRGB(0x00336699), 0x00336699);

  Win::SetSysColor(Win::COLOR_BTNFACE, Win::RGB(1, 2, 3));
  EXPECT_EQ(ColorToRGB(clBtnFace), TColor(Win::RGB(1, 2, 3)));
  Win::ResetSysColors();
}

TEST(GraphicsColors, HlsModelAndLumaAdjustmentGiveTheWorkedValues)
{
  Word h, l, s;
  ColorRGBToHLS(Win::RGB(255, 0, 0), h, l, s);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(l, 120);
  EXPECT_EQ(s, 240);
  ColorRGBToHLS(Win::RGB(0, 0, 255), h, l, s);
  EXPECT_EQ(h, 160);
  ColorRGBToHLS(Win::RGB(128, 128, 128), h, l, s);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(l, 120); // (256 * 240 + 255) div 510
  EXPECT_EQ(ColorHLSToRGB(0, 120, 240), Win::RGB(255, 0, 0));
  EXPECT_EQ(ColorHLSToRGB(80, 120, 240), Win::RGB(0, 255, 0));
  EXPECT_EQ(ColorHLSToRGB(0, 240, 0), Win::RGB(255, 255, 255));

  // Gray 128 has L 120; +20 gives 140, i.e. 140 * 255 / 240 rounded = 149.
  EXPECT_EQ(ColorAdjustLuma(Win::RGB(128, 128, 128), 20, false), Win::RGB(149, 149, 149));
  // Red at L 90: the second magic number is 180, so red = 180 * 255 / 240 = 191.
  EXPECT_EQ(ColorAdjustLuma(Win::RGB(255, 0, 0), -30, false), Win::RGB(191, 0, 0));
  // Scaled: 500 tenths of a percent is half of HLSMAX; results clamp.
  EXPECT_EQ(ColorAdjustLuma(Win::RGB(128, 128, 128), 500, true), Win::RGB(255, 255, 255));
  EXPECT_EQ(ColorAdjustLuma(Win::RGB(128, 128, 128), -1000, true), Win::RGB(0, 0, 0));
  // System colours are resolved first.
  EXPECT_EQ(ColorAdjustLuma(TColorRef(clWindow), 0, false), Win::RGB(255, 255, 255));
}

TEST(GraphicsFont, DefaultsOneNotificationPerChangeAndSizeAgreeingWithHeight)
{
  TFont font;
  font.SetPixelsPerInch(96);
  font.SetSize(8);
  EXPECT_EQ(font.Name(), "Tahoma");
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Color(), clWindowText);
  EXPECT_TRUE(font.Style().Empty());

  int changes = 0;
  font.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &font);
    ++changes;
  };
  font.SetStyle({fsBold, fsUnderline});
  font.SetStyle({fsBold, fsUnderline});
  font.SetColor(clRed);
  font.SetColor(clRed);
  font.SetName("DejaVu Sans");
  font.SetSize(8);
  EXPECT_EQ(changes, 3);

  TFont other;
  other.SetName("DejaVu Sans Mono");
  other.SetStyle({fsItalic});
  font.Assign(&other);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(font.Name(), "DejaVu Sans Mono");
  EXPECT_EQ(font.Style(), TFontStyles{fsItalic});
  TPen pen;
  EXPECT_THROW(font.Assign(&pen), EConvertError);

  // Size and height agree at the font's resolution.
  font.SetHeight(-16);
  EXPECT_EQ(font.Size(), 12);

  TFont large;
  large.SetPixelsPerInch(120);
  large.SetSize(8);
  EXPECT_EQ(large.Height(), -13);
  EXPECT_EQ(large.Size(), 8);
  large.SetSize(10);
  EXPECT_EQ(large.Height(), -17);

  // Between resolutions the size in points is kept.
  font.SetSize(10);
  large.Assign(&font);
  EXPECT_EQ(large.Size(), 10);
  EXPECT_EQ(large.Height(), -17);
}

TEST(GraphicsFont, HandleFollowsTheProperties)
{
  TFont font;
  font.SetName("DejaVu Sans");
  font.SetHeight(-20);
  font.SetStyle({fsBold, fsItalic});
  Win::LOGFONT lf;
  ASSERT_NE(Win::GetObject(font.Handle(), sizeof lf, &lf), 0);
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(lf.lfWeight, Win::FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");

  font.SetHeight(-30);
  ASSERT_NE(Win::GetObject(font.Handle(), sizeof lf, &lf), 0);
  EXPECT_EQ(lf.lfHeight, -30);

  TFont copy;
  copy.SetHandle(font.Handle());
  EXPECT_EQ(copy.Name(), "DejaVu Sans");
  EXPECT_EQ(copy.Height(), -30);
  EXPECT_EQ(copy.Style(), (TFontStyles{fsBold, fsItalic}));
}

TEST(GraphicsPenBrush, PropertiesNotifyAndBrushColourNoneClears)
{
  TPen pen;
  int penChanges = 0;
  pen.OnChange = [&](TObject*) { ++penChanges; };
  pen.SetColor(clRed);
  pen.SetWidth(3);
  pen.SetStyle(psDot);
  pen.SetMode(pmXor);
  pen.SetWidth(3);
  EXPECT_EQ(penChanges, 4);

  TBrush brush;
  EXPECT_EQ(brush.Color(), clWhite);
  EXPECT_EQ(brush.Style(), bsSolid);
  brush.SetColor(clNone);
  EXPECT_EQ(brush.Style(), bsClear);
  brush.SetColor(clBlue);
  EXPECT_EQ(brush.Style(), bsSolid);
  brush.SetStyle(bsCross);
  EXPECT_NE(brush.Handle(), nullptr);
}

// Brushes of one colour share a handle; a host deleting the handle it was
// given leaves later brushes of that colour with a live one.
TEST(GraphicsPenBrush, SolidBrushesShareAHandleThatOutlivesAHostDeletingIt)
{
  auto first = std::make_unique<TBrush>(), second = std::make_unique<TBrush>();
  first->SetColor(clRed);
  second->SetColor(clRed);
  ASSERT_EQ(first->Handle(), second->Handle());

  first.reset();
  EXPECT_EQ(Win::GetObjectType(Win::ToGdiObject(second->Handle())), int(Win::OBJ_BRUSH)) << "the other brush still holds it";
  EXPECT_TRUE(Win::DeleteObject(second->Handle()));
  TBrush third;
  third.SetColor(clRed);
  EXPECT_EQ(Win::GetObjectType(Win::ToGdiObject(third.Handle())), int(Win::OBJ_BRUSH));
  second.reset();
  EXPECT_EQ(Win::GetObjectType(Win::ToGdiObject(third.Handle())), int(Win::OBJ_BRUSH));
}

TEST(GraphicsTextFormat, FormatSetMapsToDrawTextFlags)
{
  EXPECT_EQ(TextFormatToDrawTextFlags({}), 0u);
  EXPECT_EQ(TextFormatToDrawTextFlags({tfCalcRect, tfSingleLine, tfNoPrefix}), 0xC20u);
  EXPECT_EQ(TextFormatToDrawTextFlags({tfCenter, tfVerticalCenter, tfWordBreak, tfEndEllipsis, tfExpandTabs,
                                       tfNoClip, tfRight, tfBottom}),
            Win::DT_CENTER | Win::DT_VCENTER | Win::DT_WORDBREAK | Win::DT_END_ELLIPSIS | Win::DT_EXPANDTABS |
              Win::DT_NOCLIP | Win::DT_RIGHT | Win::DT_BOTTOM);
}

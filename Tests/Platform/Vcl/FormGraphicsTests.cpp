#include <System.Classes.Streaming.hpp>
#include <Vcl.Graphics.hpp>

#include <gtest/gtest.h>

#include <memory>

using namespace Vcl;

namespace {

// A component with the graphics classes' published kinds: a colour, a font
// and a picture.
class TPictureHolder : public TComponent {
  QX_CLASS(TPictureHolder, TComponent)
public:
  explicit TPictureHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }

private:
  TColor FColor = clBtnFace;
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
};

} // namespace

QX_PUBLISHED(TPictureHolder)
{
  Property("Color", &T::Color, &T::SetColor).As(pkColor).Default(clBtnFace);
  Property("Font", &T::Font, &T::SetFont);
  Property("Picture", &T::Picture, &T::SetPicture);
}

namespace {

String HexOf(const String& s)
{
  static const char digits[] = "0123456789ABCDEF";
  String out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

TEST(FormGraphics, FontColourAndPictureRoundTrip)
{
  TPictureHolder holder(nullptr);
  holder.SetName("Holder");
  holder.SetColor(clWindow);
  holder.Font()->SetName("DejaVu Sans");
  holder.Font()->SetHeight(-15);
  holder.Font()->SetStyle({fsBold, fsItalic});
  holder.Font()->SetColor(clRed);
  holder.Font()->SetCharset(TFontCharset(2));
  TBitmap bitmap(3, 2);
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas()->SetPixels(1, 1, clLime);
  holder.Picture()->SetGraphic(&bitmap);

  String text = WriteComponentRes(&holder);
  EXPECT_NE(text.find("\n  Color = clWindow\n"), String::npos) << text;
  EXPECT_NE(text.find("\n  Font.Charset = SYMBOL_CHARSET\n  Font.Color = clRed\n  Font.Height = -15\n  Font.Name = 'DejaVu Sans'\n"), String::npos)
    << text;
  EXPECT_EQ(text.find("Font.Size"), String::npos) << text;
  EXPECT_NE(text.find("\n  Font.Style = [fsBold, fsItalic]\n"), String::npos) << text;
  EXPECT_NE(text.find("\n  Picture.Data = {\n    07" + HexOf("TBitmap")), String::npos) << text;

  std::unique_ptr<TComponent> back(ReadComponentRes(text));
  auto* h = dynamic_cast<TPictureHolder*>(back.get());
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->Color(), clWindow);
  EXPECT_EQ(h->Font()->Name(), "DejaVu Sans");
  EXPECT_EQ(h->Font()->Height(), -15);
  EXPECT_EQ(h->Font()->Charset(), TFontCharset(2));
  EXPECT_EQ(h->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
  auto* readBitmap = dynamic_cast<TBitmap*>(h->Picture()->Graphic());
  ASSERT_NE(readBitmap, nullptr);
  EXPECT_EQ(readBitmap->Width(), 3);
  EXPECT_EQ(readBitmap->Canvas()->Pixels(1, 1), clLime);
  EXPECT_EQ(WriteComponentRes(back.get()), text);
}

TEST(FormGraphics, BadPictureDataFailsWithTheLine)
{
  const String head = "object H: TPictureHolder\n  Color = clWebSnow\n  Font.Charset = DEFAULT_CHARSET\n";
  EXPECT_THROW(ReadComponentRes(head + "  Picture.Data = {07" + HexOf("TNoSuch") + "00}\nend\n"), EReadError);
  try {
    ReadComponentRes(head + "  Picture.Data = {07" + HexOf("TBitmap") + "FFFFFF7F424D}\nend\n");
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_NE(e.Message().find("on line 4"), String::npos) << e.Message();
  }
}

} // namespace

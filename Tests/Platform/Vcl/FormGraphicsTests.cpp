#include <QxFormCompare.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Graphics.hpp>

#include <gmock/gmock.h>
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

  QxTest::ExpectReadsBackTheSame(&holder, text);
  auto back = QxTest::ReadAs<TPictureHolder>(text);
  ASSERT_NE(back, nullptr);
  auto* readBitmap = dynamic_cast<TBitmap*>(back->Picture()->Graphic());
  ASSERT_NE(readBitmap, nullptr);
  EXPECT_EQ(readBitmap->Width(), 3);
  EXPECT_EQ(readBitmap->Canvas()->Pixels(1, 1), clLime);
}

TEST(FormGraphics, AnEmptyBitmapRoundTrips)
{
  TPictureHolder holder(nullptr);
  holder.Picture()->Bitmap();
  auto back = QxTest::ReadAs<TPictureHolder>(WriteComponentRes(&holder));
  ASSERT_NE(back, nullptr);
  auto* bitmap = dynamic_cast<TBitmap*>(back->Picture()->Graphic());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(bitmap->Empty());
}

TEST(FormGraphics, StoredGraphicFramingRoundTripsAndChecksItsInput)
{
  TBytesStream data;
  WriteGraphicClassName(&data, "TBitmap");
  WriteLengthField(&data, 2);
  data.WriteBuffer("BM", 2);
  WriteGraphicClassName(&data, "");
  EXPECT_EQ(data.Bytes(), (TBytes{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 2, 0, 0, 0, 'B', 'M', 0}));
  data.SetPosition(0);
  EXPECT_EQ(ReadGraphicClassName(&data), "TBitmap");
  EXPECT_EQ(ReadLengthField(&data), 2u);
  data.SetPosition(data.Position() + 2);
  EXPECT_EQ(ReadGraphicClassName(&data), "");

  const struct {
    TBytes Bytes;
    bool LengthField; // read after a valid class name
    const char* MessagePart;
  } bad[] = {
    {{}, false, "without a graphic class name"},
    {{5, 'T', 'F'}, false, "ends inside the graphic class name"},
    {{3, 'T', ' ', 'x'}, false, "Invalid graphic class name"},
    {{1, 'T', 2, 0}, true, "ends inside a length field"},
    {{1, 'T', 0xFF, 0xFF, 0xFF, 0xFF, 0}, true, "Length field of 4294967295 bytes exceeds the 1 bytes left"},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.MessagePart);
    TBytesStream stream(b.Bytes);
    const auto readFraming = [&] {
      ReadGraphicClassName(&stream);
      if (b.LengthField)
        ReadLengthField(&stream);
    };
    EXPECT_THAT(readFraming, testing::ThrowsMessage<EReadError>(testing::HasSubstr(b.MessagePart)));
  }
  TBytesStream out;
  EXPECT_THROW(WriteGraphicClassName(&out, String(256, 'T')), EWriteError);
  EXPECT_EQ(out.Size(), 0);
}

TEST(FormGraphics, BadPictureDataFailsWithTheLine)
{
  const String head = "object H: TPictureHolder\n  Color = clWebSnow\n  Font.Charset = DEFAULT_CHARSET\n";
  EXPECT_THROW(ReadComponentRes(head + "  Picture.Data = {07" + HexOf("TNoSuch") + "00}\nend\n"), EReadError);
  EXPECT_THAT([&] { ReadComponentRes(head + "  Picture.Data = {07" + HexOf("TBitmap") + "FFFFFF7F424D}\nend\n"); },
              testing::ThrowsMessage<EReadError>(testing::HasSubstr("on line 4")));
}

} // namespace

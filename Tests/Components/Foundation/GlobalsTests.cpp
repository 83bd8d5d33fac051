// DrawBitmap and qxPerformEraseBackground on real device contexts.
#include <QxDesktopFixture.hpp>

#include <Quorex.Vcl.Globals.hpp>
#include <Vcl.Forms.hpp>

using namespace Vcl;

namespace {

class GlobalsTest : public QxTest::QxDesktopFixture {};

TEST_F(GlobalsTest, DrawBitmapCopiesUnscaledAtThePoint)
{
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    TBitmap source(5, 3);
    source.SetPixelFormat(format);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        source.Canvas()->SetPixels(x, y, TColor(0x00102030 + x * 0x10 + y * 0x1000));
    TBitmap target(12, 8);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 12, 8));
    Quorex::DrawBitmap(target.Canvas()->Handle(), &source, 4, 2);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 12; ++x) {
        const bool inside = x >= 4 && x < 9 && y >= 2 && y < 5;
        const TColor expected = inside ? TColor(0x00102030 + (x - 4) * 0x10 + (y - 2) * 0x1000) : clWhite;
        ASSERT_EQ(target.Canvas()->Pixels(x, y), expected) << x << "," << y;
      }
  }
}

// A parent that answers the erase with a pixel at its own (10, 6).
class TMarkingParent : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void Dispatch(TMessage& Message) override
  {
    if (Message.Msg != Win::WM_ERASEBKGND) {
      inherited::Dispatch(Message);
      return;
    }
    Win::SetPixel(reinterpret_cast<Win::HDC>(Message.WParam), 10, 6, clRed);
    Message.Result = 7;
  }
};

TEST_F(GlobalsTest, PerformEraseBackgroundDrawsTheParentUnderTheControlAndKeepsTheOrigin)
{
  auto* form = new TForm(Application);
  auto* parent = new TMarkingParent(form);
  parent->SetParent(form);
  auto* child = Place(new TCustomControl(form), parent, 8, 4, 10, 10);
  TBitmap target(10, 10);
  Win::HDC dc = target.Canvas()->Handle();
  Win::SetWindowOrgEx(dc, 1, 1, nullptr);
  EXPECT_EQ(Quorex::qxPerformEraseBackground(child, dc), 7);
  Win::POINT origin;
  Win::GetWindowOrgEx(dc, &origin);
  EXPECT_EQ(origin, TPoint(1, 1));
  Win::SetWindowOrgEx(dc, 0, 0, nullptr);
  EXPECT_EQ(target.Canvas()->Pixels(10 - 8 - 1, 6 - 4 - 1), clRed);
}

TEST_F(GlobalsTest, AMissingControlParentOrBitmapIsAProgrammingError)
{
  TCustomControl orphan(nullptr);
  TBitmap target(4, 4);
  Win::HDC dc = target.Canvas()->Handle();
  EXPECT_THROW(Quorex::qxPerformEraseBackground(&orphan, dc), EAssertionFailed);
  EXPECT_THROW(Quorex::qxPerformEraseBackground(nullptr, dc), EAssertionFailed);
  EXPECT_THROW(Quorex::DrawBitmap(dc, nullptr, 0, 0), EAssertionFailed);
}

} // namespace

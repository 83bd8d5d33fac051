// The item panel's face by state, drawn through its back buffer, and panels
// too small to have one.
#include "ContainerTestSupport.hpp"
#include <QxSolidImages.hpp>

#include <Quorex.Vcl.ItemPanel.hpp>
#include <Quorex.Vcl.Image.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr Win::COLORREF White = Win::RGB(255, 255, 255);

class ItemPanelTest : public QxTest::ContainerFixture {
protected:
  TItemPanel* NewPanel(int width = 120, int height = 40)
  {
    auto* panel = Place(new TItemPanel(Form), Form, 20, 20, width, height);
    RunUntilIdle();
    return panel;
  }
  void Show(TItemPanel* Panel, TItemPanelState State)
  {
    Panel->SetState(State);
    RunUntilIdle();
  }
};

TEST_F(ItemPanelTest, EachStateHasItsGradientAndBorder)
{
  TItemPanel* panel = NewPanel();
  for (int y : {0, 20, 39})
    for (int x : {0, 60, 119})
      EXPECT_EQ(ControlPixel(panel, x, y), White) << x << "," << y;

  Show(panel, ipsHot);
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 1), White));
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 37), Win::RGB(0xF3, 0xF8, 0xFF)));
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 39), Win::RGB(0xB9, 0xD7, 0xFC), 40));
  // The rounded corner leaves the very corner white.
  EXPECT_EQ(ControlPixel(panel, 0, 0), White);

  Show(panel, ipsSelected);
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 1), Win::RGB(0xEC, 0xF5, 0xFF)));
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 37), Win::RGB(0xD0, 0xE5, 0xFF)));
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 39), Win::RGB(0x84, 0xAC, 0xDD), 60));
}

// The custom colours as plain RGB; glass reverses the gradient and lays a
// white highlight over the upper half only.
TEST_F(ItemPanelTest, CustomColoursAndTheGlassHighlight)
{
  TItemPanel* panel = NewPanel();
  panel->SetGradientBegin(0x00000080);
  panel->SetGradientEnd(0x00800000);
  panel->SetBorderColor(0x00008000);
  Show(panel, ipsCustom);
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 1), Win::RGB(0x80, 0, 0), 8));
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 38), Win::RGB(0, 0, 0x80), 12));
  const Win::COLORREF gradientUpper = ControlPixel(panel, 60, 10);

  panel->SetStyle(istGlass);
  RunUntilIdle();
  EXPECT_TRUE(QxTest::Near(ControlPixel(panel, 60, 38), Win::RGB(0x80, 0, 0), 12));
  const Win::COLORREF glassUpper = ControlPixel(panel, 60, 10);
  EXPECT_GT(Win::GetGValue(glassUpper), Win::GetGValue(gradientUpper) + 30);

  // One colour both ways: the lower half is the same in both styles.
  panel->SetGradientEnd(0x00000080);
  RunUntilIdle();
  const Win::COLORREF glassLower = ControlPixel(panel, 60, 30);
  panel->SetStyle(istGradient);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(panel, 60, 30), glassLower);
  EXPECT_LT(Win::GetGValue(ControlPixel(panel, 60, 10)), Win::GetGValue(glassUpper));
}

TEST_F(ItemPanelTest, GraphicChildrenShowOverTheFace)
{
  TItemPanel* panel = NewPanel();
  auto* image = Place(new TQxImage(Form), panel, 10, 10, 16, 16);
  image->SetImages(QxTest::SolidImages(Form, clRed));
  image->SetImageIndex(0);
  Show(panel, ipsSelected);
  EXPECT_EQ(ControlPixel(panel, 12, 12), Win::RGB(255, 0, 0));
  EXPECT_FALSE(ControlPixel(panel, 40, 12) == Win::RGB(255, 0, 0));
}

TEST_F(ItemPanelTest, EmptyAndOnePixelPanelsPaintWithoutRaising)
{
  for (const TSize size : {TSize(0, 0), TSize(10, 0), TSize(0, 10), TSize(10, 1), TSize(1, 1)}) {
    TItemPanel* panel = NewPanel(size.cx, size.cy);
    panel->SetStyle(istGlass);
    for (TItemPanelState state : {ipsHot, ipsSelected, ipsCustom}) {
      panel->SetState(state);
      EXPECT_NO_THROW(panel->Repaint()) << size.cx << "x" << size.cy;
      EXPECT_NO_THROW(RunUntilIdle());
    }
    delete panel;
  }
}

} // namespace

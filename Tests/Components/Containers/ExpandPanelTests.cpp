// The expand panel through the mouse: collapsing to the header and back with
// its events, the part of the header that answers, and its look.
#include "ContainerTestSupport.hpp"

#include <QxStyleSupport.hpp>

#include <Quorex.Vcl.ExpandPanel.hpp>
#include <Winapi.UxTheme.hpp>

#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

class ExpandPanelTest : public QxTest::ContainerFixture {
protected:
  void SetUp() override
  {
    ContainerFixture::SetUp();
    Panel = new TQxExpandPanel(Form);
    Panel->SetLeft(20);
    Panel->SetTop(20);
    Panel->SetParent(Form);
    Panel->OnExpandChange = [this](TObject*) { ++Changes; };
    RunUntilIdle();
  }

  TQxExpandPanel* Panel = nullptr;
  int Changes = 0;
};

TEST_F(ExpandPanelTest, CollapsesToItsHeaderAndExpandsBackWithAnEventEachTime)
{
  EXPECT_EQ(Panel->Width(), 200);
  EXPECT_EQ(Panel->Height(), 150);
  EXPECT_EQ(Panel->FullHeight(), 150);
  EXPECT_FALSE(Panel->Expanded());
  Panel->SetExpanded(true);
  EXPECT_EQ(Panel->Height(), 150);
  Panel->SetExpanded(false);
  EXPECT_EQ(Panel->Height(), 24);
  Panel->SetExpanded(false);
  EXPECT_EQ(Changes, 2);

  // The whole header answers: a click far from the glyph expands it.
  ClickOn(Panel, 150, 12);
  EXPECT_TRUE(Panel->Expanded());
  EXPECT_EQ(Panel->Height(), 150);
  EXPECT_EQ(Changes, 3);
  // Below the header nothing happens.
  ClickOn(Panel, 150, 80);
  EXPECT_TRUE(Panel->Expanded());
  // A height set at run time is not the one it expands to.
  Panel->SetHeight(90);
  Panel->SetExpanded(false);
  Panel->SetExpanded(true);
  EXPECT_EQ(Panel->Height(), 150);
  // The designer always shows the whole panel.
  Panel->SetDesigning(true);
  Panel->SetExpanded(false);
  EXPECT_EQ(Panel->Height(), 150);
}

// Every change of the header height or of ActiveHeader recomputes the part
// that answers the mouse.
TEST_F(ExpandPanelTest, OnlyTheGlyphAnswersWhenTheHeaderIsNotActive)
{
  Panel->SetActiveHeader(false);
  ClickOn(Panel, 150, 12);
  EXPECT_EQ(Changes, 0);
  ClickOn(Panel, 12, 12);
  EXPECT_EQ(Changes, 1);
  ClickOn(Panel, 23, 23);
  EXPECT_EQ(Changes, 2);
  ClickOn(Panel, 24, 12);
  EXPECT_EQ(Changes, 2);

  Panel->SetActiveHeader(true);
  Panel->SetHeaderHeight(30);
  EXPECT_EQ(Panel->Expander()->Rect(), TRect(0, 0, 200, 30));
  ClickOn(Panel, 150, 27);
  EXPECT_EQ(Changes, 3);
  Panel->SetActiveHeader(false);
  EXPECT_EQ(Panel->Expander()->Rect(), TRect(0, 0, 30, 30));
  ClickOn(Panel, 150, 27);
  EXPECT_EQ(Changes, 3);
}

TEST_F(ExpandPanelTest, PaintsTheHeaderColourAndAPlusOrMinusGlyph)
{
  QxTest::TVisualStyles classic(false);
  Panel->SetExpanded(true);
  Panel->SetHeaderColor(0x00D0E0F0);
  Panel->SetColor(clWhite);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Panel, 100, 5), Win::RGB(0xF0, 0xE0, 0xD0));
  EXPECT_EQ(ControlPixel(Panel, 100, 23), Win::RGB(0xF0, 0xE0, 0xD0));
  EXPECT_EQ(ControlPixel(Panel, 100, 24), Win::RGB(255, 255, 255));
  // The classic 9 by 9 box centred in the 24-pixel square: a minus when
  // expanded, a plus when collapsed.
  EXPECT_EQ(ControlPixel(Panel, 7, 7), Win::RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(ControlPixel(Panel, 9, 11), Win::RGB(0, 0, 0));
  EXPECT_EQ(ControlPixel(Panel, 11, 9), Win::RGB(255, 255, 255));
  Panel->SetExpanded(false);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Panel, 11, 9), Win::RGB(0, 0, 0));
  // No fill at all with clNone: the body colour shows in the header.
  Panel->SetHeaderColor(clNone);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Panel, 100, 5), Win::RGB(255, 255, 255));
  // A window made without visual styles keeps the common look.
  Panel->RecreateWnd();
  EXPECT_EQ(Win::GetWindowThemeSubAppName(Panel->Handle()), "");
}

// With visual styles the panel's window takes Explorer's class: its 16-pixel
// glyph, centred in the 24-pixel square, is a triangle, where a window of
// the common class shows the boxed sign.
TEST_F(ExpandPanelTest, ThemedPanelsShowExplorersTriangle)
{
  QxTest::TVisualStyles on(true);
  Panel->SetColor(clWhite);
  Panel->RecreateWnd();
  RunUntilIdle();
  EXPECT_EQ(Win::GetWindowThemeSubAppName(Panel->Handle()), "explorer");
  Win::TImage shot;
  auto square = [&] {
    RunUntilIdle();
    shot = Win::CaptureWindow(Panel->Handle());
    std::vector<Win::COLORREF> pixels;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x)
        pixels.push_back(shot.Pixel(x, y));
    return pixels;
  };
  const std::vector<Win::COLORREF> closed = square();
  EXPECT_EQ(shot.Pixel(11, 12), Win::RGB(255, 255, 255)); // inside the outline
  Panel->SetExpanded(true);
  const std::vector<Win::COLORREF> open = square();
  EXPECT_EQ(shot.Pixel(14, 14), Win::RGB(0x59, 0x59, 0x59)); // the solid corner
  EXPECT_EQ(shot.Pixel(10, 10), Win::RGB(255, 255, 255));
  EXPECT_NE(open, closed);

  ASSERT_EQ(Win::SetWindowTheme(Panel->Handle(), nullptr, nullptr), Win::S_OK);
  const std::vector<Win::COLORREF> minus = square();
  EXPECT_EQ(shot.Pixel(7, 7), Win::RGB(0x91, 0x91, 0x91)); // the box's corner
  EXPECT_NE(minus, open);
  Panel->SetExpanded(false);
  EXPECT_NE(square(), closed);
}

} // namespace

// The coloured progress bar and the ring: the bar's colour thresholds, fill
// edge and bounds (extreme values included), the ring's sweep read from its
// pixels, its width factor, a ring too small to draw, its squareness, and
// both in form resources.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.ColoredProgressBar.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.RingProgress.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Forms.hpp>

#include <climits>
#include <cmath>
#include <numbers>

using namespace Vcl;
using namespace Quorex;

namespace {

class ProgressTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 400, 300, clWhite);
    Bar = Place(new TQxColoredProgressBar(Form), Form, 20, 20, 150, 6);
    Ring = Place(new TQxRingProgress(Form), Form, 20, 60, 101, 101);
    RunUntilIdle();
  }
  Win::COLORREF BarPixel(int x)
  {
    RunUntilIdle();
    return ControlPixel(Bar, x, 3);
  }
  // The ring's pixel at the angle (degrees clockwise from three o'clock),
  // halfway through its thickness.
  Win::COLORREF RingPixel(double degrees)
  {
    RunUntilIdle();
    const double c = 50, radius = 50 - Ring->RingWidth() / 2, a = degrees * std::numbers::pi / 180;
    return ControlPixel(Ring, int(std::lround(c + radius * std::cos(a))), int(std::lround(c + radius * std::sin(a))));
  }

  TForm* Form = nullptr;
  TQxColoredProgressBar* Bar = nullptr;
  TQxRingProgress* Ring = nullptr;
};

TEST_F(ProgressTest, TheBarChangesColourAtTheThirdsOfItsMaximum)
{
  EXPECT_EQ(Bar->Width(), 150);
  EXPECT_EQ(Bar->Height(), 6);
  const struct {
    Integer Position;
    Win::COLORREF Fill;
  } cases[] = {{32, 0x0000FF}, {33, 0x00FFFF}, {66, 0x00FFFF}, {67, 0x008000}};
  for (const auto& c : cases) {
    Bar->SetPosition(c.Position);
    const Integer right = 150 * c.Position / 100;
    EXPECT_EQ(Bar->FillRight(), right);
    EXPECT_EQ(BarPixel(right - 4), c.Fill) << c.Position;
    EXPECT_EQ(BarPixel(right + 4), Win::RGB(255, 255, 255)) << c.Position;
  }
}

TEST_F(ProgressTest, TheBarsBoundsHoldThePositionAndItsFillStaysInTheBar)
{
  // The minimum does not enter the fraction.
  Bar->SetMinValue(50);
  Bar->SetPosition(50);
  EXPECT_EQ(Bar->FillRight(), 75);
  // A maximum below the minimum pulls both down.
  Bar->SetMaxValue(20);
  EXPECT_EQ(Bar->MinValue(), 20);
  EXPECT_EQ(Bar->Position(), 20);
  Bar->SetMinValue(0);
  Bar->SetMaxValue(0);
  EXPECT_EQ(Bar->FillRight(), 150);
  EXPECT_EQ(BarPixel(148), 0x00FFFF);

  // Extremes do not overflow: the finish colour just below the top, no
  // fill (and no fill drawn left of the bar) below zero.
  Bar->SetMaxValue(INT_MAX);
  Bar->SetPosition(INT_MAX - 1);
  EXPECT_EQ(Bar->FillRight(), 149);
  EXPECT_EQ(BarPixel(140), 0x008000);
  Bar->SetMinValue(INT_MIN);
  Bar->SetPosition(-1000);
  EXPECT_EQ(Bar->FillRight(), 0);
  EXPECT_EQ(BarPixel(4), Win::RGB(255, 255, 255));
  Bar->SetPosition(INT_MIN);
  EXPECT_EQ(Bar->FillRight(), 0);
}

TEST_F(ProgressTest, TheRingSweepsClockwiseFromThreeOclock)
{
  const Win::COLORREF colour = Win::RGB(0x30, 0x73, 0xCD);
  auto isValue = [&](Win::COLORREF p) { return p == colour; };
  auto isTrack = [&](Win::COLORREF p) { return Win::GetRValue(p) > 200 && Win::GetBValue(p) > 235 && p != 0xFFFFFF; };
  const struct {
    Integer Position;
    bool Three, Six, Nine, Twelve; // just past each hour
  } cases[] = {{0, false, false, false, false},
               {25, true, false, false, false},
               {75, true, true, true, false},
               {100, true, true, true, true}};
  for (const auto& c : cases) {
    Ring->SetPosition(c.Position);
    const bool expected[] = {c.Three, c.Six, c.Nine, c.Twelve};
    for (int hour = 0; hour < 4; ++hour) {
      const Win::COLORREF p = RingPixel(hour * 90 + 10);
      EXPECT_TRUE(expected[hour] ? isValue(p) : isTrack(p)) << c.Position << " at " << hour * 90 + 10 << ": " << std::hex << p;
    }
  }
  EXPECT_FLOAT_EQ(Ring->GetCurrentAngle(), 360.0f);
  // No maximum: only the track.
  Ring->SetMax(0);
  Ring->Invalidate();
  EXPECT_FLOAT_EQ(Ring->GetCurrentAngle(), 0.0f);
  EXPECT_TRUE(isTrack(RingPixel(100)));
  // The centre shows the parent.
  EXPECT_EQ(ControlPixel(Ring, 50, 50), Win::RGB(255, 255, 255));
  // A system colour is resolved before it is drawn.
  Ring->SetMax(100);
  Ring->SetColor(clHighlight);
  EXPECT_EQ(RingPixel(10), Win::COLORREF(ColorToRGB(clHighlight)));
}

TEST_F(ProgressTest, TheRingsWidthFactorIsClampedAndSetsItsThickness)
{
  Ring->SetRingWidthFactor(0);
  EXPECT_EQ(Ring->RingWidthFactor(), 1);
  Ring->SetRingWidthFactor(150);
  EXPECT_EQ(Ring->RingWidthFactor(), 100);
  RunUntilIdle();
  EXPECT_FLOAT_EQ(Ring->RingWidth(), (101.0f / 2 - 2));
  Ring->SetRingWidthFactor(30);
  RunUntilIdle();
  EXPECT_FLOAT_EQ(Ring->RingWidth(), (101.0f / 2 - 2) * 0.3f);
}

TEST_F(ProgressTest, ATinyRingPaintsNothingAndRaisesNothingAndARingStaysSquare)
{
  Application->OnException = [](TObject*, const std::exception& e) { ADD_FAILURE() << e.what(); };
  Ring->SetPosition(50);
  for (int size : {0, 1, 2}) {
    Ring->SetBounds(20, 60, size, size);
    Ring->Repaint();
    RunUntilIdle();
  }
  EXPECT_EQ(ControlPixel(Ring, 0, 0), Win::RGB(255, 255, 255));
  Application->OnException = nullptr;

  Ring->SetBounds(20, 60, 40, 30);
  EXPECT_EQ(Ring->Width(), 30);
  EXPECT_EQ(Ring->Height(), 30);
  // Aligned to the top, the parent sets the width and the ring sets it
  // back: the two settle instead of resizing each other for ever.
  Ring->SetAlign(alTop);
  RunUntilIdle();
  EXPECT_EQ(Ring->Height(), 30);
}

TEST_F(ProgressTest, BothKeepTheirValuesInFormResourcesAndWriteNoDefaults)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* bar = QxTest::AddNamed<TQxColoredProgressBar>(&root, "Bar");
  auto* ring = QxTest::AddNamed<TQxRingProgress>(&root, "Ring");
  String text = WriteComponentRes(&root);
  QxTest::ExpectLacks(text, {"Color =", "MinValue =", "MaxValue =", "Position =", "Min =", "Max =", "AlphaBlend =",
                             "InactiveAlpha =", "RingWidthFactor ="});
  bar->SetMinValue(200);
  bar->SetMaxValue(300);
  bar->SetPosition(250);
  bar->SetFinishColor(clBlue);
  ring->SetPosition(40);
  ring->SetMax(80);
  ring->SetColor(clRed);
  ring->SetAlphaBlend(200);
  ring->SetRingWidthFactor(55);
  QxTest::ExpectReadsBackTheSame(&root, WriteComponentRes(&root));
}

} // namespace

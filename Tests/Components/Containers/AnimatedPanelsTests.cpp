// The sliding panel and the splash strip on the virtual clock: the cycle
// and its guards, the slide frame by frame and where it ends, any speed
// multiplier ending, controls that go mid-slide, the automatic advance;
// the splash's timing, its fixed edge, heights held by constraints, events
// that splash again, its border, and both panels' form resources.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.AnimatedPanels.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <algorithm>
#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

class QxAnimationTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 500, 400);
  }
  // Ticks (10 ms each) until Done, at most Limit of them; the count.
  template <class F>
  int TickUntil(F Done, int Limit = 1000)
  {
    int ticks = 0;
    while (!Done() && ticks < Limit) {
      AdvanceBy(10);
      ++ticks;
    }
    return ticks;
  }

  TForm* Form = nullptr;
};

class QxAnimatedPanelTest : public QxAnimationTest {
protected:
  void SetUp() override
  {
    QxAnimationTest::SetUp();
    Panel = Place(new TQxAnimatedPanel(Form), Form, 0, 0, 400, 200);
    Panel->SetBevelOuter(bvNone);
    Panel->OnChange = [this](TObject*) { ++Changes; };
    for (TColor color : {clRed, clLime, clBlue}) {
      auto* page = new TPanel(Form);
      page->SetColor(color);
      page->SetBounds(0, 0, 100, 50);
      Pages.push_back(page);
      Panel->Add(page);
    }
    RunUntilIdle();
  }
  void Finish()
  {
    TickUntil([this] { return Panel->CanChange(); }, 2000);
    ASSERT_TRUE(Panel->CanChange());
  }
  // The cycle's index of the shown control (-1 for none).
  int Shown() const
  {
    for (size_t i = 0; i < Pages.size(); ++i)
      if (Panel->ActiveControl() == Pages[i])
        return int(i);
    return -1;
  }

  TQxAnimatedPanel* Panel = nullptr;
  std::vector<TPanel*> Pages;
  int Changes = 0;
};

TEST_F(QxAnimatedPanelTest, CyclesOneTwoZeroOneIgnoringCallsWhileASlideRuns)
{
  std::vector<int> shown;
  for (int step = 0; step < 4; ++step) {
    Panel->AnimateNext();
    EXPECT_FALSE(Panel->CanChange());
    Panel->AnimateNext();
    Panel->AnimatePrev();
    Panel->SetCurrent(0);
    Panel->SetActiveControl(Pages[2]);
    Finish();
    shown.push_back(Shown());
    EXPECT_EQ(Panel->Current(), shown.back());
    // In place, filling the panel; the one before went back where it came from.
    EXPECT_EQ(Panel->ActiveControl()->BoundsRect(), TRect(0, 0, 400, 200));
    EXPECT_EQ(Panel->ActiveControl()->Align(), alClient);
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(Changes, 4);
  EXPECT_EQ(Pages[0]->Parent(), nullptr);
  EXPECT_EQ(Pages[0]->BoundsRect(), TRect(0, 0, 100, 50));
  EXPECT_THROW(Panel->SetCurrent(3), EListError);
}

TEST_F(QxAnimatedPanelTest, SlidesFrameByFrameEasingOutAndEndsExactlyInPlace)
{
  Panel->SetCurrent(0);
  Finish();
  // A control with a place of its own goes back to it afterwards.
  Pages[1]->SetBounds(10, 250, 60, 30);
  Pages[1]->SetParent(Form);
  Pages[1]->SetAlign(alBottom);
  const TRect home = Pages[1]->BoundsRect();

  Panel->AnimateNext();
  EXPECT_EQ(Pages[1]->Left(), 400);
  EXPECT_EQ(Pages[1]->Parent(), Panel);
  EXPECT_EQ(Panel->Controls(Panel->ControlCount() - 1), Pages[1]) << "the incoming control is not in front";
  // Each 10 ms moves 10 ms x half the distance x 5: 2.5 % of what is left.
  std::vector<int> lefts;
  for (int i = 0; i < 3; ++i) {
    AdvanceBy(10);
    lefts.push_back(Pages[1]->Left());
    EXPECT_EQ(Pages[0]->Left() + Pages[0]->Width(), Pages[1]->Left()) << "the shown control does not follow";
  }
  EXPECT_EQ(lefts, (std::vector<int>{390, 380, 371}));
  int previous = Pages[1]->Left();
  const int ticks = TickUntil([&] {
    EXPECT_GE(Pages[1]->Left(), 0);
    EXPECT_LE(Pages[1]->Left(), previous);
    previous = Pages[1]->Left();
    return Panel->CanChange();
  });
  EXPECT_LT(ticks, 200);
  EXPECT_EQ(Pages[1]->Left(), 0);
  EXPECT_EQ(Pages[0]->Parent(), nullptr);

  // Back from index 1 past 0 to the last, left to right.
  Panel->AnimatePrev();
  Finish();
  Panel->AnimatePrev();
  EXPECT_EQ(Panel->Current(), 2);
  EXPECT_EQ(Panel->Direction(), adLeftToRight);
  EXPECT_EQ(Pages[2]->Left(), -400);
  AdvanceBy(10);
  EXPECT_EQ(Pages[2]->Left(), -390);
  EXPECT_EQ(Pages[0]->Left(), 10);
  Finish();
  EXPECT_EQ(Pages[2]->Left(), 0);
  EXPECT_EQ(Pages[1]->BoundsRect(), home);
  EXPECT_EQ(Pages[1]->Parent(), Form);
  EXPECT_EQ(Pages[1]->Align(), alBottom);
}

TEST_F(QxAnimatedPanelTest, AnySpeedMultiplierEndsTheSlideWithoutPassingTheTarget)
{
  for (int multiplier : {0, -1000, 1, 1000}) {
    Panel->SetSpeedMultiplier(multiplier);
    Panel->AnimateNext();
    TWinControl* incoming = Panel->NewControl();
    ASSERT_TRUE(incoming);
    const int ticks = TickUntil([&] {
      EXPECT_GE(incoming->Left(), 0) << multiplier;
      return Panel->CanChange();
    }, 1000);
    EXPECT_EQ(incoming->Left(), 0) << multiplier;
    EXPECT_LE(ticks, multiplier >= 1000 ? 1 : 400) << multiplier;
  }
}

TEST_F(QxAnimatedPanelTest, ControlsThatGoLeaveTheCycleEvenMidSlide)
{
  Panel->SetCurrent(0);
  Finish();
  Panel->AnimateNext();
  AdvanceBy(50);
  delete Pages[1];
  EXPECT_TRUE(Panel->CanChange());
  EXPECT_EQ(Panel->NewControl(), nullptr);
  EXPECT_EQ(Panel->Count(), 2);
  EXPECT_EQ(Pages[0]->BoundsRect(), TRect(0, 0, 400, 200)) << "the shown control was left half-way";
  AdvanceBy(100); // the cancelled slide ticks no more

  Panel->AnimateNext();
  Finish();
  EXPECT_EQ(Panel->ActiveControl(), Pages[2]);
  delete Pages[2];
  EXPECT_EQ(Panel->ActiveControl(), nullptr);
  EXPECT_EQ(Panel->Count(), 1);
  Panel->AnimateNext();
  Finish();
  EXPECT_EQ(Panel->ActiveControl(), Pages[0]);

  // Nothing to cycle: both ways do nothing.
  Panel->Clear();
  Panel->AnimatePrev();
  Panel->AnimateNext();
  EXPECT_TRUE(Panel->CanChange());
  EXPECT_EQ(Panel->Current(), 0);
}

TEST_F(QxAnimatedPanelTest, AdvancesOnItsOwnEveryIntervalUnlessAutoLeafIsOff)
{
  Panel->SetInterval(1000);
  AdvanceBy(999);
  EXPECT_EQ(Changes, 0);
  AdvanceBy(1);
  EXPECT_EQ(Changes, 1);
  Finish();
  Panel->SetAutoLeaf(false);
  AdvanceBy(3000);
  EXPECT_EQ(Changes, 1);
}

class QxSplashPanelTest : public QxAnimationTest {
protected:
  void SetUp() override
  {
    QxAnimationTest::SetUp();
    Splash = new TQxSplashPanel(Form);
    Splash->SetVisible(false);
    Place(Splash, Form, 0, 300, 300, 50, clYellow);
    Splash->OnSplash = [this](TObject*) { Events.push_back("splash"); };
    Splash->OnSplashDone = [this](TObject*) { Events.push_back("done"); };
  }
  // Ticks until the splash ends; the bottom edge (saBottom) stays where
  // the strip was laid out.
  int Run(int Limit = 1000)
  {
    return TickUntil([&] {
      if (Splash->Visible() && Splash->Height() > 0 && Splash->SplashAlignment() == saBottom) {
        EXPECT_EQ(Splash->Top() + Splash->Height(), 350);
      }
      return !Splash->Splashing();
    }, Limit);
  }

  TQxSplashPanel* Splash = nullptr;
  std::vector<std::string> Events;
};

TEST_F(QxSplashPanelTest, SplashesFirstAfterTheDelayThenEveryIntervalOnlyWhileHidden)
{
  AdvanceBy(9990);
  EXPECT_TRUE(Events.empty());
  EXPECT_FALSE(Splash->Visible());
  AdvanceBy(10);
  EXPECT_EQ(Events, (std::vector<std::string>{"splash"}));
  EXPECT_TRUE(Splash->Visible());
  EXPECT_EQ(Splash->Height(), 0);
  // Growing: the top edge is open, the sides are framed.
  AdvanceBy(200);
  RunUntilIdle();
  EXPECT_GT(Splash->Height(), 2);
  EXPECT_EQ(ControlPixel(Splash, 10, 0), Win::RGB(255, 255, 0));
  EXPECT_EQ(ControlPixel(Splash, 0, 1), Win::RGB(0, 0, 0));
  Run();
  EXPECT_EQ(Splash->BoundsRect(), TRect(0, 300, 300, 350));
  EXPECT_EQ(Events.back(), "done");
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Splash, 10, 0), Win::RGB(0, 0, 0));
  Splash->SetColor(clAqua);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Splash, 10, 10), Win::RGB(0, 255, 255)) << "the fill kept the old colour";

  // Every IntervalSec from then on, but not while it shows.
  Splash->SetIntervalSec(5);
  AdvanceBy(5000);
  EXPECT_EQ(Events.size(), 2u);
  Splash->Splash(ssHiding);
  Run();
  EXPECT_FALSE(Splash->Visible());
  EXPECT_EQ(Splash->BoundsRect(), TRect(0, 300, 300, 350));
  AdvanceBy(5000);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "splash"), 3);
  Run();
  // Zero ends the periodic splashes.
  Splash->Splash(ssHiding);
  Run();
  Splash->SetIntervalSec(0);
  AdvanceBy(60000);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "splash"), 4);
  EXPECT_FALSE(Splash->Visible());
}

TEST_F(QxSplashPanelTest, AnySpeedEndsEvenWithTheHeightHeldByConstraints)
{
  for (int multiplier : {0, -5, 1000}) {
    Splash->SetSpeedMultiplier(multiplier);
    Splash->Splash(ssAppearing);
    EXPECT_LT(Run(), 200) << multiplier;
    EXPECT_EQ(Splash->Height(), 50);
    Splash->Splash(ssHiding);
    EXPECT_LT(Run(), 200) << multiplier;
    EXPECT_FALSE(Splash->Visible());
  }
  Splash->SetSpeedMultiplier(1);
  Splash->Constraints()->SetMinHeight(20);
  Splash->SetSplashAlignment(saTop);
  for (TSplashStyle style : {ssAppearing, ssHiding}) {
    Splash->Splash(style);
    EXPECT_LT(Run(2000), 2000);
    EXPECT_EQ(Splash->Top(), 300);
  }
  EXPECT_FALSE(Splash->Visible());
  EXPECT_EQ(Splash->Height(), 50);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "done"), 8);
}

TEST_F(QxSplashPanelTest, HandlersMaySplashAgainFromEitherEvent)
{
  Splash->SetIntervalSec(0);
  int done = 0, started = 0;
  Splash->OnSplashDone = [&](TObject*) {
    if (++done == 1)
      Splash->Splash(ssHiding);
  };
  // A splash asked for while one is being started is that one.
  Splash->OnSplash = [&](TObject*) {
    ++started;
    Splash->Splash(ssAppearing);
  };
  Splash->Splash(ssHiding);
  EXPECT_TRUE(Splash->Splashing());
  Run();
  EXPECT_EQ(started, 2);
  EXPECT_EQ(done, 2);
  EXPECT_FALSE(Splash->Visible());
  EXPECT_EQ(Splash->BoundsRect(), TRect(0, 300, 300, 350));
}

TEST_F(QxAnimationTest, BothPanelsKeepOnlyWhatDiffersInTheirResource)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* slider = QxTest::AddNamed<TQxAnimatedPanel>(&root, "Slider");
  auto* splash = QxTest::AddNamed<TQxSplashPanel>(&root, "Splash");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"SpeedMultiplier", "Direction", "AutoLeaf", "Interval",
                                                  "FirstTimeDelay", "SplashAlignment", "BorderColor"});

  slider->SetSpeedMultiplier(8);
  slider->SetDirection(adLeftToRight);
  slider->SetAutoLeaf(false);
  slider->SetInterval(3000);
  splash->SetIntervalSec(60);
  splash->SetFirstTimeDelay(500);
  splash->SetSpeedMultiplier(3);
  splash->SetSplashAlignment(saTop);
  splash->SetBorderColor(clRed);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"SpeedMultiplier = 8", "Direction = adLeftToRight", "AutoLeaf = False", "Interval = 3000",
                           "IntervalSec = 60", "SplashAlignment = saTop", "BorderColor = 255"});
  QxTest::ExpectReadsBackTheSame(&root, text);
}

} // namespace

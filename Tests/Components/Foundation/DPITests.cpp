#include <QxDPITesting.hpp>
#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.Globals.hpp>
#include <Quorex.Vcl.Types.hpp>
#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

using Quorex::DPI;

namespace {

class DPIAt : public ::testing::Test {
protected:
  void Use(int dpi)
  {
    Win::ScreenSettings().LogPixels = dpi;
    Quorex::Internal::ResetDPICacheForTesting();
  }
  void TearDown() override { Use(96); }
};

} // namespace

TEST_F(DPIAt, NinetySixLeavesEveryValueUnchanged)
{
  Use(96);
  for (int v : {0, 1, -1, 7, -13, 100000, -100000})
    EXPECT_EQ(DPI::Scale(v), v);
}

TEST_F(DPIAt, OneTwentyRoundsHalvesAwayFromZero)
{
  Use(120);
  EXPECT_EQ(DPI::GetValue(), 120);
  EXPECT_EQ(DPI::Scale(1), 1);
  EXPECT_EQ(DPI::Scale(2), 3);
  EXPECT_EQ(DPI::Scale(16), 20);
  EXPECT_EQ(DPI::Scale(-2), -3);
  EXPECT_EQ(DPI::ScaleFrom(10, 120), 10);
  EXPECT_EQ(DPI::ScaleFrom(10, 0), -1);
}

TEST_F(DPIAt, OneFortyFour)
{
  Use(144);
  EXPECT_EQ(DPI::Scale(1), 2);
  EXPECT_EQ(DPI::Scale(5), 8);
  EXPECT_EQ(DPI::ScaleFrom(96, 192), 72);
}

TEST_F(DPIAt, TheResolutionIsReadOnce)
{
  Use(120);
  EXPECT_EQ(DPI::GetValue(), 120);
  Win::ScreenSettings().LogPixels = 192; // the system changes its scaling later
  EXPECT_EQ(DPI::GetValue(), 120);
  EXPECT_EQ(DPI::Scale(2), 3);
}

TEST(Globals, MinAndStateOrdinals)
{
  EXPECT_EQ(Quorex::Min(3, 3), 3);
  EXPECT_EQ(Quorex::Min(-1, 0), -1);
  EXPECT_EQ(Quorex::Min(5, 2), 2);
  EXPECT_EQ(int(Quorex::uicsPressed), 3);
  EXPECT_EQ(int(Quorex::lissSelectedNotFocused), 2);
  EXPECT_EQ(int(Quorex::tvesClosed), 1);
}

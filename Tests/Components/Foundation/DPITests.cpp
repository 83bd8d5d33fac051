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

// At 96 every value stays; elsewhere halves round away from zero.
TEST_F(DPIAt, ScaleAtEachResolution)
{
  const struct {
    int Dpi, Value, Scaled;
  } cases[] = {{96, 0, 0},   {96, 1, 1},   {96, -13, -13}, {96, 100000, 100000}, {96, -100000, -100000},
               {120, 1, 1},  {120, 2, 3},  {120, 16, 20},  {120, -2, -3},        {144, 1, 2},
               {144, 5, 8}};
  for (const auto& c : cases) {
    Use(c.Dpi);
    EXPECT_EQ(DPI::Scale(c.Value), c.Scaled) << c.Dpi << ": " << c.Value;
  }
  EXPECT_EQ(DPI::ScaleFrom(96, 192), 72);
  Use(120);
  EXPECT_EQ(DPI::ScaleFrom(10, 120), 10);
  EXPECT_EQ(DPI::ScaleFrom(10, 0), -1);

  // The resolution is read once.
  EXPECT_EQ(DPI::GetValue(), 120);
  Win::ScreenSettings().LogPixels = 192; // the system changes its scaling later
  EXPECT_EQ(DPI::GetValue(), 120);
  EXPECT_EQ(DPI::Scale(2), 3);
}

// Form resources and hosts hold these by number.
TEST(Globals, StateOrdinals)
{
  EXPECT_EQ(int(Quorex::uicsPressed), 3);
  EXPECT_EQ(int(Quorex::lissSelectedNotFocused), 2);
  EXPECT_EQ(int(Quorex::tvesClosed), 1);
}

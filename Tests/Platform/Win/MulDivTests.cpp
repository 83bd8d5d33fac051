#include <Winapi.Windows.hpp>

#include <climits>
#include <gtest/gtest.h>

using Win::MulDiv;

TEST(MulDiv, RoundsHalvesAwayFromZero)
{
  EXPECT_EQ(MulDiv(2, 120, 96), 3);   // 2.5
  EXPECT_EQ(MulDiv(-2, 120, 96), -3); // -2.5
  EXPECT_EQ(MulDiv(1, 120, 96), 1);   // 1.25
  EXPECT_EQ(MulDiv(3, 120, 96), 4);   // 3.75
  EXPECT_EQ(MulDiv(5, 144, 96), 8);   // 7.5
  EXPECT_EQ(MulDiv(5, -144, 96), -8);
  EXPECT_EQ(MulDiv(5, 144, -96), -8);
  EXPECT_EQ(MulDiv(-5, -144, -96), -8);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(0, 5, 7), 0);
}

// The product is taken in 64 bits; only a quotient that cannot be an int fails.
TEST(MulDiv, A64BitProductAndMinusOneForZeroDivisorOrOverflow)
{
  EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
  EXPECT_EQ(MulDiv(INT_MIN, INT_MIN, INT_MIN), INT_MIN);
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 1, -1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 2, 1), -1);
}

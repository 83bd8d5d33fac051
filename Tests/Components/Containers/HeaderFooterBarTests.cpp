// Header and footer bars: heights by size class and resolution, the orange
// strip by height and side, the grid, and the tile cache (pixels).
#include "ContainerTestSupport.hpp"

#include <Quorex.Vcl.FooterBar.hpp>
#include <Quorex.Vcl.HeaderBar.hpp>

#include <set>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr Win::COLORREF Orange = Win::RGB(244, 70, 1);

// Shows the tile, so that a test can mark it and see whether it is made anew.
class TOpenHeaderBar : public THeaderBar {
public:
  using THeaderBar::THeaderBar;
  using THeaderBar::Pattern;
};

class HeaderFooterBarTest : public QxTest::ContainerFixture {
protected:
  template <class T = THeaderBar>
  T* NewBar(TBarSize Size = bsSmall, int Height = 0)
  {
    auto* bar = new T(Form);
    bar->SetBarSize(Size);
    if (Height)
      bar->SetHeight(Height);
    bar->SetParent(Form);
    RunUntilIdle();
    return bar;
  }
  // The rows (from the top) whose pixels are all orange.
  int OrangeRows(TControl* Bar, bool FromTop)
  {
    const TShot shot;
    int rows = 0;
    for (int i = 0; i < Bar->Height(); ++i) {
      const int y = FromTop ? i : Bar->Height() - 1 - i;
      for (int x : {0, 1, 2, 3, 50})
        if (shot.At(Bar, x, y) != Orange)
          return rows;
      ++rows;
    }
    return rows;
  }
  // Whether some row above the strip has differing pixels within a tile.
  bool HasGrid(TControl* Bar, int Strip)
  {
    const TShot shot;
    for (int y = Strip; y < Bar->Height() - Strip; ++y) {
      std::set<Win::COLORREF> row;
      for (int x = 0; x < 4; ++x)
        row.insert(shot.At(Bar, x, y));
      if (row.size() > 1)
        return true;
    }
    return false;
  }
};

TEST_F(HeaderFooterBarTest, HeightsFollowTheSizeClassAndTheFormsResolution)
{
  THeaderBar* header = NewBar();
  TFooterBar* footer = NewBar<TFooterBar>(bsMedium);
  EXPECT_EQ(header->Align(), alTop);
  EXPECT_EQ(footer->Align(), alBottom);
  EXPECT_EQ(header->Height(), 20);
  EXPECT_EQ(footer->Height(), 40);
  EXPECT_EQ(footer->Top(), Form->ClientHeight() - 40);
  header->SetHeight(33);
  EXPECT_EQ(header->Height(), 20);
  header->SetBarSize(bsManual);
  header->SetHeight(33);
  EXPECT_EQ(header->Height(), 33);

  // At 144 pixels per inch the classes are 30 and 60; a manual bar scales
  // with the form.
  Form->SetPixelsPerInch(144);
  Form->ScaleBy(144, 96);
  RunUntilIdle();
  EXPECT_EQ(footer->Height(), 60);
  EXPECT_EQ(header->Height(), 50);
  EXPECT_EQ(header->GetOutlineHeight(), 3);
  THeaderBar* small = NewBar();
  EXPECT_EQ(small->Height(), 30);
  EXPECT_EQ(OrangeRows(small, false), 3);
  EXPECT_EQ(OrangeRows(footer, true), 3);
}

TEST_F(HeaderFooterBarTest, OutlineStripGrowsWithTheHeightOnTheSideFacingTheBody)
{
  for (const auto& [height, strip] : {std::pair{20, 2}, {40, 2}, {50, 3}, {60, 3}, {80, 4}, {110, 6}, {140, 6}}) {
    THeaderBar* header = NewBar(bsManual, height);
    TFooterBar* footer = NewBar<TFooterBar>(bsManual, height);
    EXPECT_EQ(header->GetOutlineHeight(), strip) << height;
    EXPECT_EQ(OrangeRows(header, false), strip) << height;
    EXPECT_EQ(OrangeRows(header, true), 0) << height;
    EXPECT_EQ(OrangeRows(footer, true), strip) << height;
    EXPECT_EQ(OrangeRows(footer, false), 0) << height;
    EXPECT_TRUE(HasGrid(header, strip)) << height;
    delete header;
    delete footer;
  }
}

TEST_F(HeaderFooterBarTest, LowBarsHaveNoGridAndAnEmptyBarKeepsItsTile)
{
  for (int height : {3, 6}) {
    auto* bar = NewBar<TOpenHeaderBar>(bsManual, height);
    EXPECT_FALSE(HasGrid(bar, 0)) << height;
    EXPECT_EQ(OrangeRows(bar, false), 2) << height;
    delete bar;
  }
  auto* bar = NewBar<TOpenHeaderBar>(bsManual, 7);
  EXPECT_TRUE(HasGrid(bar, 0));
  bar->SetHeight(0);
  EXPECT_NO_THROW(bar->Repaint());
  EXPECT_NO_THROW(RunUntilIdle());
  EXPECT_EQ(bar->Pattern()->Height(), 7);
}

// A mark in the tile shows in every tile across the bar: widening repaints
// more tiles from the same tile, while a new resolution makes it anew.
TEST_F(HeaderFooterBarTest, WideningAddsTilesAndOnlyHeightOrResolutionRebuild)
{
  auto* bar = NewBar<TOpenHeaderBar>(bsManual, 60);
  bar->SetAlign(alNone);
  bar->SetBounds(0, 0, 101, 60);
  TCanvas* tile = bar->Pattern()->Canvas();
  tile->Brush()->SetColor(clFuchsia);
  tile->FillRect(TRect(1, 5, 2, 6));
  bar->SetWidth(203);
  bar->Invalidate();
  RunUntilIdle();
  const TShot shot;
  for (int x = 1; x < 203; x += 4)
    ASSERT_EQ(shot.At(bar, x, 5), Win::RGB(255, 0, 255)) << x;

  Form->SetPixelsPerInch(120);
  bar->Invalidate();
  RunUntilIdle();
  EXPECT_NE(ControlPixel(bar, 1, 5), Win::RGB(255, 0, 255));
  // 60 at 120 is 48 at 96, whose strip is 2, which is 2.5 at 120: 3.
  EXPECT_EQ(OrangeRows(bar, false), 3);

  // A taller bar is repainted whole: the old strip does not stay behind.
  bar->SetHeight(100);
  RunUntilIdle();
  EXPECT_EQ(OrangeRows(bar, false), 5);
  const TShot taller;
  for (int y = 55; y < 60; ++y)
    EXPECT_NE(taller.At(bar, 2, y), Orange) << y;
}

} // namespace

// The graph grid as a host drives it: its plot area and frame, labels,
// marker lines, the scrolling of values and their store, automatic scaling
// through peaks, the range checks, odd spacings and steps, and sizing.
#include "GridTestSupport.hpp"

#include <GdiPlus.hpp>
#include <Win.SizeMove.hpp>

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

using namespace Vcl;
using namespace Quorex;

namespace {

class GridTest : public QxTest::GridFixture {};

int LabelWidth(TQxGrid* Grid, const String& Text)
{
  TBitmap bitmap(1, 1);
  bitmap.Canvas()->SetFont(Grid->Font());
  return bitmap.Canvas()->TextWidth(Text);
}

TEST_F(GridTest, PlotAreaAndFrameWithAndWithoutLabels)
{
  auto shot = Shot();
  const int labels = LabelWidth(Grid, "100%");
  EXPECT_EQ(Grid->GridRect(), TRect(labels + 12, 7, 193, 93));
  // The outer frame, the plot frame around the plot area, labels in green.
  EXPECT_EQ(shot(0, 50), Win::COLORREF(COLOR_BORDER));
  EXPECT_EQ(shot(labels + 11, 50), Win::COLORREF(COLOR_GRID_BORDER));
  EXPECT_EQ(shot(193, 50), Win::COLORREF(COLOR_GRID_BORDER));
  EXPECT_EQ(shot(100, 6), Win::COLORREF(COLOR_GRID_BORDER));
  EXPECT_EQ(shot(100, 93), Win::COLORREF(COLOR_GRID_BORDER));
  int labelInk = 0;
  for (int y = 6; y < 94; ++y)
    for (int x = 6; x < 6 + labels; ++x)
      labelInk += Win::GetGValue(shot(x, y)) > 0x80 && Win::GetRValue(shot(x, y)) < 0x40;
  EXPECT_GT(labelInk, 20);

  Grid->SetShowLabel(false);
  shot = Shot();
  EXPECT_EQ(Grid->GridRect(), TRect(1, 7, 199, 93));
  // Only the top and bottom frame lines, short of the sides by one pixel.
  EXPECT_EQ(shot(1, 6), Win::COLORREF(COLOR_GRID_BORDER));
  EXPECT_EQ(shot(198, 93), Win::COLORREF(COLOR_GRID_BORDER));
  EXPECT_EQ(shot(0, 6), Win::COLORREF(COLOR_BORDER));
  EXPECT_EQ(shot(199, 93), Win::COLORREF(COLOR_BORDER));
  for (int y = 7; y < 93; ++y)
    EXPECT_NE(shot(1, y), Win::COLORREF(COLOR_GRID_BORDER)) << y;

  // Painted through a buffer the same way.
  Grid->SetDoubleBuffered(true);
  Grid->Invalidate();
  EXPECT_EQ(Shot()(1, 6), Win::COLORREF(COLOR_GRID_BORDER));
}

TEST_F(GridTest, MarkerLinesStandAtTheirPositionInTheRange)
{
  TQxGridMarkerLine* line = Grid->MarkerLines()->Add();
  EXPECT_EQ(line->Position(), 50);
  auto shot = Shot();
  const TRect plot = Grid->GridRect();
  // Halfway up the plot area: Round(93 - 86 x 0.5) = 50, across its width.
  for (int x = plot.Left; x < plot.Right; ++x)
    ASSERT_EQ(shot(x, 50), Win::COLORREF(0x000080)) << x;
  EXPECT_NE(shot(plot.Left + 3, 49), Win::COLORREF(0x000080));
  EXPECT_NE(shot(plot.Left + 3, 51), Win::COLORREF(0x000080));

  // Out-of-range settings are ignored; a new range moves the line.
  line->SetPosition(-1);
  line->SetThickness(0);
  EXPECT_EQ(line->Position(), 50);
  EXPECT_EQ(line->Thickness(), 1);
  Grid->SetTypeGrid(tgNumeric);
  Grid->SetMaxValue(300);
  Grid->SetMinValue(-100);
  shot = Shot();
  // Round(93 - 86 x 150 / 400) = Round(60.75) = 61.
  const int left = Grid->GridRect().Left;
  EXPECT_EQ(shot(left + 3, 61), Win::COLORREF(0x000080));
  EXPECT_NE(shot(left + 3, 50), Win::COLORREF(0x000080));
  // A range so narrow that the line lies infinitely far off: not drawn,
  // and no overflow on the way.
  Grid->SetMinValue(0);
  Grid->SetMaxValue(1e-300);
  shot = Shot();
  EXPECT_NE(shot(left + 3, 61), Win::COLORREF(0x000080));
}

TEST_F(GridTest, TheNewestSegmentEndsAtTheRightEdgeAndScrollsLeft)
{
  AddGraph();
  Grid->SetMoveDelta(5);
  Grid->SetAntiAlias(false);
  Feed({20}, 1);
  // One value draws nothing.
  auto shot = Shot();
  const TRect plot = Grid->GridRect();
  EXPECT_TRUE(InkColumns(shot, 76).empty());
  // The graph bitmap is the client's width, its right edge on the plot's:
  // bitmap x = client x + (200 - plot.Right).
  for (int k = 2; k <= 6; ++k) {
    Feed({20});
    shot = Shot();
    // A flat line at 20 %: 86 - 0.2 x 86 = 68.8 in the graph bitmap, on
    // pixel row 69.
    const std::vector<int> xs = InkColumns(shot, 7 + 69);
    ASSERT_FALSE(xs.empty()) << k;
    // From the oldest point to the newest at x = W - 1: the pixels between.
    EXPECT_EQ(xs.back() + 200 - plot.Right, 199 - 1) << k;
    EXPECT_EQ(xs.front() + 200 - plot.Right, 199 - (k - 1) * 5) << k;
  }
}

// A tick scrolls the picture and adds one segment; a rebuild draws one line
// through every value. Without smoothing, straight runs of values come out
// the same either way, gradient colours included. Smoothed segments overlap
// where they meet, so there a tick is pinned to the scrolled picture.
TEST_F(GridTest, ATickDrawsWhatARebuildOfTheSameValuesDraws)
{
  for (auto [top, bottom] : {std::pair{clRed, clBlue}, std::pair{clYellow, clFuchsia}}) {
    TQxGridGraph* graph = Grid->Graphs()->Add();
    graph->SetMinColor(top);
    graph->SetMaxColor(bottom);
  }
  Grid->SetShowLabel(false);
  Grid->SetMoveDelta(4);
  Grid->SetAntiAlias(false);
  // One pixel per value, 86 pixels high: the points lie exactly in line.
  Grid->SetTypeGrid(tgNumeric);
  Grid->SetMaxValue(86);
  Feed({10, 80});
  // Sixty values, enough to run across the whole plot.
  for (int n = 1; n <= 60; ++n)
    Grid->AddValues({10.0 + n, 80.0 - n});
  const auto ticked = Shot();
  Grid->Reset(false, true, true);
  const auto rebuilt = Shot();
  const TRect plot = Grid->GridRect();
  int ink = 0;
  // Right of the oldest segment, which has scrolled in part out of the plot
  // and which a rebuild leaves out.
  for (int y = plot.Top; y < plot.Bottom; ++y)
    for (int x = plot.Left + 4; x < plot.Right; ++x) {
      ASSERT_EQ(ticked(x, y), rebuilt(x, y)) << x << "," << y;
      ink += Ink(ticked(x, y));
    }
  EXPECT_GT(ink, 2 * plot.Width());

  // The dotted grid changes its phase when its offset wraps: hidden here.
  Grid->SetGridLinesColor(Grid->Color());
  Grid->SetAntiAlias(true);
  Feed({50, 50}, 3);
  const auto before = Shot();
  Feed({60, 20});
  const auto after = Shot();
  for (int y = plot.Top; y < plot.Bottom; ++y)
    for (int x = plot.Left + 4; x < plot.Right - 6; ++x)
      ASSERT_EQ(after(x - 4, y), before(x, y)) << x << "," << y;
  EXPECT_FALSE(InkRows(after, plot.Right - 1).empty());
}

// A rebuild, whatever short cuts it takes, shows what plain Cairo draws of
// the stored values: one anti-aliased line per graph through the pixel
// centres, in the gradient brush's colours, laid over the plot.
TEST_F(GridTest, ARebuildShowsWhatCairoDrawsOfTheStoredValues)
{
  const std::pair<TColor, TColor> colours[] = {{clRed, clBlue}, {clYellow, clFuchsia}};
  for (auto [top, bottom] : colours) {
    TQxGridGraph* graph = Grid->Graphs()->Add();
    graph->SetMinColor(top);
    graph->SetMaxColor(bottom);
  }
  Grid->SetShowLabel(false);
  Grid->SetGridLinesColor(Grid->Color()); // a plain black plot
  // A plot 100 pixels high: a stored percentage is its height in pixels.
  Grid->SetBounds(Grid->Left(), Grid->Top(), 200, 114);
  for (int n = 0; n < 260; ++n)
    Grid->AddValues({50 + 45 * std::sin(n * 0.11), 50 + 30 * std::cos(n * 0.07)});
  Grid->Reset(false, true, true);
  const auto shot = Shot();
  const TRect plot = Grid->GridRect();
  ASSERT_EQ(plot.Height(), 100);

  // The graph bitmap: the client's width, its right edge on the plot's.
  const int w = Grid->ClientWidth(), h = 100;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  cairo_set_line_width(cr, 1);
  for (int g = 0; g < 2; ++g) {
    const TQxGridGraph* graph = Grid->Graphs()->Items(g);
    for (int i = graph->Count() - 1, x = w - 1; i >= 0 && x >= 0; --i, --x)
      cairo_line_to(cr, x + 0.5, double(float(h - graph->Values(i))) + 0.5);
    const auto brush = GdiPlus::TGPLinearGradientBrush::Create(
      GdiPlus::TGPRectF(0, 0, float(w), float(h)), GdiPlus::TGPColor::CreateFromColorRef(colours[g].first),
      GdiPlus::TGPColor::CreateFromColorRef(colours[g].second), GdiPlus::LinearGradientModeVertical);
    const GdiPlus::TGPPointF a = brush->StartPoint(), b = brush->EndPoint();
    cairo_pattern_t* pattern = cairo_pattern_create_linear(a.X + 0.5, a.Y + 0.5, b.X + 0.5, b.Y + 0.5);
    for (auto [offset, c] : {std::pair{0.0, brush->StartColor()}, std::pair{1.0, brush->EndColor()}})
      cairo_pattern_add_color_stop_rgb(pattern, offset, c.R() / 255.0, c.G() / 255.0, c.B() / 255.0);
    cairo_set_source(cr, pattern);
    cairo_stroke(cr);
    cairo_pattern_destroy(pattern);
  }
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  int ink = 0;
  // Over black, the plot shows the premultiplied colours as they are.
  for (int y = plot.Top; y < plot.Bottom; ++y)
    for (int x = plot.Left; x < plot.Right; ++x) {
      std::uint32_t p;
      std::memcpy(&p, data + std::ptrdiff_t(y - plot.Top) * stride + (x + w - plot.Right) * 4, 4);
      const Win::COLORREF expected = Win::RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      ASSERT_EQ(shot(x, y), expected) << x << "," << y;
      ink += Ink(expected);
    }
  EXPECT_GT(ink, 2 * plot.Width());
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

TEST_F(GridTest, ValuesScaleToTheRangeInPercentModeAndRawInNumericMode)
{
  AddGraph();
  Grid->SetMoveDelta(10);
  Grid->SetAntiAlias(false);
  Grid->SetTypeGrid(tgNumeric);
  Grid->SetAutoScale(false);
  Grid->SetMaxValue(150);
  Grid->SetMinValue(50);
  TQxGridMarkerLine* marker = Grid->MarkerLines()->Add();
  marker->SetPosition(100);
  marker->SetColor(clLime);
  Feed({100}, 3);
  auto shot = Shot();
  const TRect plot = Grid->GridRect();
  // Numeric values are scaled from 0, not from MinValue: 100 on 50..150 is
  // at the top of the plot, while a marker at 100 is halfway up.
  const std::vector<int> rows = InkRows(shot, plot.Right - 5);
  ASSERT_FALSE(rows.empty());
  EXPECT_LE(rows.back(), plot.Top + 1);
  EXPECT_EQ(shot(plot.Left + 2, 50), Win::COLORREF(clLime));

  // Percent mode stores (v - Min) / (Max - Min) x 100 of the range it had then.
  Grid->SetTypeGrid(tgPercent);
  Grid->SetMaxValue(220);
  Grid->SetMinValue(20);
  Grid->Graphs()->Items(0)->Clear();
  Feed({70}, 3);
  EXPECT_DOUBLE_EQ(Grid->Graphs()->Items(0)->Values(0), 25);
  shot = Shot();
  const std::vector<int> quarter = InkRows(shot, Grid->GridRect().Right - 5);
  ASSERT_FALSE(quarter.empty());
  EXPECT_NEAR(quarter.front(), plot.Top + 86 * 3 / 4, 1);
}

TEST_F(GridTest, LabelTextsFollowModeFormatsAndScales)
{
  EXPECT_EQ(Grid->GetMaxText(), "100%");
  EXPECT_EQ(Grid->GetMiddleText(), "");
  EXPECT_EQ(Grid->GetMinText(), "  0%");
  Grid->SetShowMiddleLabel(true);
  EXPECT_EQ(Grid->GetMiddleText(), " 50%");

  // The mode alone changes the labels, and the grid shows it at once.
  Grid->SetMaxValueDisplayScale(2);
  auto label = [](const QxTest::GridFixture::TShot& shot) {
    std::vector<Win::COLORREF> pixels;
    for (int y = 6; y < 24; ++y)
      for (int x = 6; x < 40; ++x)
        pixels.push_back(shot(x, y));
    return pixels;
  };
  const auto percent = label(Shot());
  Grid->SetTypeGrid(tgNumeric);
  EXPECT_EQ(Grid->GetMaxText(), "200%");
  EXPECT_NE(label(Shot()), percent);
  Grid->SetMaxValue(2000000);
  Grid->SetMinValue(1000);
  Grid->SetMaxLabelFormat("%.1fM");
  Grid->SetMaxValueDisplayScale(0.000001);
  Grid->SetMiddleLabelFormat("%.0fK");
  Grid->SetMiddleValueDisplayScale(0.001);
  Grid->SetMinLabelFormat("%.0f");
  Grid->SetMinValueDisplayScale(2);
  EXPECT_EQ(Grid->GetMaxText(), "2.0M");
  EXPECT_EQ(Grid->GetMiddleText(), "1000K");
  EXPECT_EQ(Grid->GetMinText(), "2000");
  // A format that does not take one number gives an empty label.
  Grid->SetMinLabelFormat("%d %s");
  EXPECT_EQ(Grid->GetMinText(), "");
  // A change of case only is a change: the label shows it.
  Grid->SetMaxLabelFormat("%.1fm");
  EXPECT_EQ(Grid->GetMaxText(), "2.0m");

  // Back to percent: the formats come back, AutoScale goes off.
  EXPECT_TRUE(Grid->AutoScale());
  Grid->SetTypeGrid(tgPercent);
  EXPECT_EQ(Grid->MaxLabelFormat(), "%3.0f%%");
  EXPECT_EQ(Grid->MinLabelFormat(), "%3.0f%%");
  EXPECT_FALSE(Grid->AutoScale());
}

TEST_F(GridTest, AutoScalingGrowsTheMaximumAndRedrawsTheHistory)
{
  AddGraph();
  Grid->SetAntiAlias(false);
  Grid->SetMoveDelta(10);
  Grid->SetTypeGrid(tgNumeric);
  Feed({50}, 3);
  auto rowAt = [&](int x) {
    const std::vector<int> rows = InkRows(Shot(), x);
    return rows.empty() ? -1 : rows.front();
  };
  const int before = rowAt(Grid->GridRect().Right - 25);
  // A value equal to the maximum changes nothing.
  Feed({100});
  EXPECT_EQ(Grid->MaxValue(), 100);
  // Past it, the maximum grows by a tenth, and the old values sink.
  Feed({150});
  EXPECT_DOUBLE_EQ(Grid->MaxValue(), 165);
  EXPECT_GT(rowAt(Grid->GridRect().Right - 35), before);

  // A negative maximum grows past the value too.
  Grid->SetMinValue(-200);
  Grid->SetMaxValue(-100);
  Feed({-50});
  EXPECT_DOUBLE_EQ(Grid->MaxValue(), -45);
  EXPECT_GT(Grid->MaxValue(), -50);
  // Growth that would overflow stops at the value.
  Feed({1.7e308});
  EXPECT_EQ(Grid->MaxValue(), 1.7e308);
  Grid->SetMaxValue(-45);
  // Values that are no numbers count as MinValue and scale nothing.
  Feed({std::numeric_limits<double>::infinity()});
  Feed({std::nan("")});
  EXPECT_DOUBLE_EQ(Grid->MaxValue(), -45);
  const TQxGridGraph* graph = Grid->Graphs()->Items(0);
  EXPECT_EQ(graph->Values(graph->Count() - 1), -200);
  EXPECT_EQ(graph->Values(graph->Count() - 2), -200);

  // Without AutoScale, or in percent mode, the maximum stays.
  Grid->SetAutoScale(false);
  Feed({1000});
  EXPECT_DOUBLE_EQ(Grid->MaxValue(), -45);
}

TEST_F(GridTest, PeaksPickTheFirstAboveTheValueWithTheirLabels)
{
  AddGraph();
  Grid->SetTypeGrid(tgNumeric);
  Grid->SetShowMiddleLabel(true);
  TQxGridPeak* high = Grid->AutoScalePeaks()->AddPeak();
  // A new peak starts from the grid's values.
  EXPECT_EQ(high->Value(), 100);
  EXPECT_EQ(high->MaxLabelFormat(), "%3.0f%%");
  high->SetValue(1000);
  high->SetMaxLabelFormat("%.0fK");
  high->SetMaxValueDisplayScale(0.001);
  high->SetMiddleLabelFormat("%.1fK");
  high->SetMiddleValueDisplayScale(0.001);
  TQxGridPeak* low = Grid->AutoScalePeaks()->AddPeak();
  low->SetValue(500);
  EXPECT_EQ(Grid->AutoScalePeaks()->GetPeakForValue(150), high);
  EXPECT_EQ(Grid->AutoScalePeaks()->GetPeakForValue(999), high);
  EXPECT_EQ(Grid->AutoScalePeaks()->GetPeakForValue(1000), nullptr);

  Feed({150});
  EXPECT_EQ(Grid->MaxValue(), 1000);
  EXPECT_EQ(Grid->GetMaxText(), "1K");
  EXPECT_EQ(Grid->GetMiddleText(), "0.5K");
  // Past the last peak the maximum grows by a tenth again.
  Feed({2000});
  EXPECT_DOUBLE_EQ(Grid->MaxValue(), 2200);
  EXPECT_EQ(Grid->GetMaxText(), "2K");
}

TEST_F(GridTest, TheStoreKeepsTheLastThousandValuesPerGraph)
{
  TQxGridGraph* first = AddGraph();
  TQxGridGraph* second = AddGraph(clBlue);
  EXPECT_EQ(first->DisplayName(), "TQxGridGraph");
  first->SetValueName("");
  EXPECT_EQ(first->DisplayName(), "TQxGridGraph");
  // Missing values are MinValue; extra ones are ignored.
  Grid->AddValues({7});
  Grid->AddValues({1, 2, 3});
  EXPECT_EQ(second->Count(), 2);
  EXPECT_EQ(second->Values(0), 0);
  EXPECT_EQ(second->Values(1), 2);
  for (int i = 0; i < 1000; ++i)
    Grid->AddValues({double(i)});
  EXPECT_EQ(first->Count(), 1000);
  EXPECT_EQ(first->Values(0), 0);
  EXPECT_EQ(first->Values(999), 999);
  EXPECT_THROW(first->Values(1000), EListError);
  EXPECT_THROW(first->Values(-1), EListError);
  first->Clear();
  EXPECT_EQ(first->Count(), 0);
  EXPECT_EQ(second->Count(), 1000);
}

TEST_F(GridTest, ARangeThatCannotDivideIsRejected)
{
  Grid->SetMinValue(100);
  EXPECT_EQ(Grid->MinValue(), 0);
  Grid->SetMaxValue(0);
  Grid->SetMaxValue(-5);
  EXPECT_EQ(Grid->MaxValue(), 100);
  Grid->SetMaxValue(std::numeric_limits<double>::infinity());
  Grid->SetMinValue(std::nan(""));
  Grid->SetMinValue(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(Grid->MaxValue(), 100);
  EXPECT_EQ(Grid->MinValue(), 0);
  Grid->SetMinValue(99.5);
  EXPECT_EQ(Grid->MinValue(), 99.5);
  // Percent mode comes back to 0..100 whatever range it leaves, even one
  // wholly above 100.
  Grid->SetTypeGrid(tgNumeric);
  Grid->SetMaxValue(1000);
  Grid->SetMinValue(500);
  Grid->SetTypeGrid(tgPercent);
  EXPECT_EQ(Grid->MinValue(), 0);
  EXPECT_EQ(Grid->MaxValue(), 100);
}

TEST_F(GridTest, OddSpacingsAndStepsNeitherHangNorStrayOutsideTheBitmaps)
{
  AddGraph();
  Feed({10}, 20);
  Grid->SetGridRowSize(0);
  Grid->SetGridRowSize(-5);
  EXPECT_EQ(Grid->GridRowSize(), 15);
  Grid->SetGridRowSize(std::numeric_limits<int>::max());
  EXPECT_EQ(Grid->GridRowSize(), TQxCustomGrid::MaxGridRowSize);
  Feed({20}, 3);
  // Shrinking the spacing keeps the scroll phase inside it: the grid still
  // reaches the plot's right edge.
  Grid->SetGridRowSize(2);
  auto shot = Shot();
  int dots = 0;
  for (int y = Grid->GridRect().Top; y < Grid->GridRect().Bottom; ++y)
    for (int x = Grid->GridRect().Right - 6; x < Grid->GridRect().Right; ++x)
      dots += shot(x, y) == Win::COLORREF(COLOR_GRID_LINES);
  EXPECT_GT(dots, 50);
  Feed({30}, 3);
  Grid->SetMoveDelta(0);
  Grid->SetMoveDelta(-3);
  EXPECT_EQ(Grid->MoveDelta(), 1);
  for (int delta : {199, 200, 1000, std::numeric_limits<int>::max()}) {
    Grid->SetMoveDelta(delta);
    Feed({40}, 2);
    Feed({50}, 2);
  }
  // A step as wide as the plot leaves only the newest segment, which starts
  // outside: nothing of the graph shows.
  EXPECT_TRUE(InkColumns(Shot(), 50).empty());
  Grid->SetMoveDelta(1);
  Feed({50}, 3);
  EXPECT_FALSE(InkColumns(Shot(), 7 + 43).empty());
}

TEST_F(GridTest, ChangingTheGridShowsAtOnce)
{
  auto shot = Shot();
  const TRect plot = Grid->GridRect();
  auto count = [&](const QxTest::GridFixture::TShot& s, Win::COLORREF c) {
    int n = 0;
    for (int y = plot.Top; y < plot.Bottom; ++y)
      for (int x = plot.Left; x < plot.Right; ++x)
        n += s(x, y) == c;
    return n;
  };
  const int dots = count(shot, Win::COLORREF(COLOR_GRID_LINES));
  EXPECT_GT(dots, 100);
  Grid->SetGridLinesColor(clYellow);
  shot = Shot();
  EXPECT_EQ(count(shot, Win::COLORREF(COLOR_GRID_LINES)), 0);
  EXPECT_NEAR(count(shot, Win::COLORREF(clYellow)), dots, dots / 10);
  Grid->SetGridRowSize(5);
  EXPECT_GT(count(Shot(), Win::COLORREF(clYellow)), dots * 2);
  // The grid scrolls with the values: one step moves the dots one pixel left.
  const auto before = Shot();
  Feed({0});
  const auto after = Shot();
  for (int x = plot.Left + 1; x < plot.Right - 1; ++x)
    ASSERT_EQ(after(x - 1, plot.Top + 20), before(x, plot.Top + 20)) << x;
  // A new background colour reaches the grid bitmap.
  Grid->SetColor(clNavy);
  EXPECT_GT(count(Shot(), Win::COLORREF(clNavy)), 1000);
}

TEST_F(GridTest, AResizeRedrawsTheHistoryAtTheNewSize)
{
  TQxGridGraph* graph = AddGraph();
  Grid->SetAntiAlias(false);
  Grid->SetMoveDelta(4);
  Feed({50}, 10);
  Grid->SetBounds(20, 20, 300, 150);
  RunUntilIdle();
  EXPECT_EQ(graph->Count(), 10);
  auto shot = Shot();
  const TRect plot = Grid->GridRect();
  EXPECT_EQ(plot.Bottom, 143);
  // Half of the new plot height (136): row 7 + 68.
  const std::vector<int> xs = InkColumns(shot, plot.Top + 68);
  ASSERT_FALSE(xs.empty());
  EXPECT_EQ(xs.back(), plot.Right - 2);
  EXPECT_EQ(xs.front(), plot.Right - 1 - 9 * 4);
}

TEST_F(GridTest, AnInteractiveResizeStretchesThenRedraws)
{
  TQxGridGraph* graph = AddGraph();
  Grid->SetAntiAlias(false);
  Grid->SetMoveDelta(4);
  Grid->SetAlign(alClient);
  Grid->SetShowLabel(false);
  Feed({50}, 10);
  ASSERT_TRUE(Win::InjectSizeMoveStart(Form->Handle()));
  RunUntilIdle();
  EXPECT_TRUE(Grid->InSizeMove());
  const TRect before = Grid->GridRect();
  Win::InjectSizeMoveDrag(Form->Width(), Form->Height() + 100);
  // Values are still stored, but the picture neither scrolls nor redraws:
  // the old one stretches to the new height.
  Feed({50}, 2);
  EXPECT_EQ(graph->Count(), 12);
  auto shot = Shot();
  const TRect during = Grid->GridRect();
  ASSERT_EQ(during.Height(), before.Height() + 100);
  // The old picture: ten values, its line stretched to the new mid-height.
  const int mid = during.Top + during.Height() / 2;
  const std::vector<int> xs = InkColumns(shot, mid);
  ASSERT_FALSE(xs.empty());
  EXPECT_NEAR(int(xs.size()), 9 * 4, 1);
  EXPECT_TRUE(InkColumns(shot, before.Top + before.Height() / 2).empty());
  Win::InjectSizeMoveEnd();
  RunUntilIdle();
  EXPECT_FALSE(Grid->InSizeMove());
  shot = Shot();
  const std::vector<int> after = InkColumns(shot, mid);
  ASSERT_FALSE(after.empty());
  EXPECT_EQ(after.back(), during.Right - 2);
  EXPECT_EQ(after.front(), during.Right - 1 - 11 * 4);
}

TEST_F(GridTest, LabelsKeepTheirColourUnderTheParentsFont)
{
  EXPECT_EQ(Grid->Font()->Color(), COLOR_GRID_LABEL);
  EXPECT_TRUE(Grid->ParentFont());
  Form->Font()->SetSize(12);
  EXPECT_EQ(Grid->Font()->Size(), 12);
  EXPECT_EQ(Grid->Font()->Color(), COLOR_GRID_LABEL);
  EXPECT_TRUE(Grid->ParentFont());
  // A colour the host gives the grid stays.
  Grid->Font()->SetColor(clYellow);
  EXPECT_FALSE(Grid->ParentFont());
  Form->Font()->SetSize(10);
  EXPECT_EQ(Grid->Font()->Color(), clYellow);
}

} // namespace

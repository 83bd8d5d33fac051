// The graphs page: a processor-load monitor in percent with a marker at 80,
// a traffic monitor whose scale climbs through peaks at 10K, 100K and 1M as
// the values outgrow it, and a bare grid without labels. One timer feeds
// all three from made-up but repeatable readings.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.Grid.hpp>
#include <Vcl.ExtCtrls.hpp>

#include <algorithm>
#include <cmath>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16;
constexpr int kGridTop = 96, kGridWidth = 440, kGridHeight = 190, kColumn = kMargin + kGridWidth + 24;

// Readings of step N: a load that wanders and now and then passes 80 %, a
// quieter second load, and traffic that grows about 12 % a step.
double UserReading(int N)
{
  return std::clamp(45 + 30 * std::sin(N * 0.3) + 12 * std::sin(N * 1.1), 0.0, 100.0);
}

double SystemReading(int N)
{
  return 12 + 6 * std::sin(N * 0.7 + 1);
}

double TrafficReading(int N)
{
  return 1500 * std::pow(1.12, N) * (1 + 0.3 * std::sin(N / 3.0));
}

TQxGridGraph* AddGraph(TQxGrid* Grid, const String& Name, TColor Top, TColor Bottom)
{
  TQxGridGraph* graph = Grid->Graphs()->Add();
  graph->SetValueName(Name);
  graph->SetMinColor(Top);
  graph->SetMaxColor(Bottom);
  return graph;
}

void AddPeak(TQxGrid* Grid, double Value, const String& Format, double Scale)
{
  TQxGridPeak* peak = Grid->AutoScalePeaks()->AddPeak();
  peak->SetValue(Value);
  peak->SetMaxLabelFormat(Format);
  peak->SetMiddleLabelFormat(Format);
  peak->SetMaxValueDisplayScale(Scale);
  peak->SetMiddleValueDisplayScale(Scale);
}

} // namespace

TQxGrid* TGraphsPage::AddGrid(Integer X, Integer Y, const String& Caption)
{
  AddLabel(Caption, X, Y - 22);
  auto* grid = new TQxGrid(this);
  grid->SetBounds(X, Y, kGridWidth, kGridHeight);
  grid->SetMoveDelta(5);
  grid->SetParent(Client());
  return grid;
}

TGraphsPage::TGraphsPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Graphs");
  AddLabel("<font color=clGray>Scrolling graph grids, fed four times a second: each new value scrolls the plot and "
           "draws one segment per series.</font>",
           kMargin + 110, 20, 800);

  Load = AddGrid(kMargin, kGridTop, "<b>Processor load</b>, in percent, with a marker at 80");
  Load->SetShowMiddleLabel(true);
  AddGraph(Load, "User", TColor(0x003030FF), TColor(0x0030C030));
  AddGraph(Load, "System", TColor(0x00FFC040), TColor(0x00FF8000));
  TQxGridMarkerLine* marker = Load->MarkerLines()->Add();
  marker->SetPosition(80);
  marker->SetColor(TColor(0x002020C0));
  marker->SetStyle(psDash);

  Traffic = AddGrid(kColumn, kGridTop, "<b>Network traffic</b>: the scale climbs through 10K, 100K and 1M");
  Traffic->SetTypeGrid(tgNumeric);
  Traffic->SetMaxValue(1000);
  Traffic->SetMaxLabelFormat("%.0f");
  Traffic->SetMiddleLabelFormat("%.0f");
  Traffic->SetMinLabelFormat("%.0f");
  Traffic->SetShowMiddleLabel(true);
  Traffic->SetGridLinesColor(TColor(0x00806000));
  Traffic->SetGridBorderColor(TColor(0x00E0B040));
  Traffic->Font()->SetColor(TColor(0x00E0B040));
  AddGraph(Traffic, "Received", TColor(0x0040FFFF), TColor(0x00FF9040));
  AddPeak(Traffic, 10000, "%.0fK", 0.001);
  AddPeak(Traffic, 100000, "%.0fK", 0.001);
  AddPeak(Traffic, 1000000, "%.1fM", 0.000001);

  Bare = AddGrid(kMargin, kGridTop + kGridHeight + 60, "<b>Without labels</b>: three pixels a step, no anti-aliasing");
  Bare->SetShowLabel(false);
  Bare->SetMoveDelta(3);
  Bare->SetAntiAlias(false);
  Bare->SetGridRowSize(10);
  Bare->SetColor(TColor(0x00301810));
  AddGraph(Bare, "User", TColor(0x0000E0FF), TColor(0x000060FF));

  AddLabel("<font color=clGray>The traffic grid starts at 1000. A value above its maximum lifts the maximum to the "
           "first peak above the value, with that peak's labels, and the history is drawn again at the new "
           "scale.</font>",
           kColumn, kGridTop + kGridHeight + 38, kGridWidth);

  Feeder = new TTimer(this);
  Feeder->SetInterval(250);
  Feeder->SetOnTimer([this](TObject*) { AddReadings(); });
}

void TGraphsPage::AddReadings()
{
  const int n = FStep++;
  Load->AddValues({UserReading(n), SystemReading(n)});
  Traffic->AddValues({TrafficReading(n)});
  Bare->AddValues({UserReading(n)});
}

} // namespace Gallery

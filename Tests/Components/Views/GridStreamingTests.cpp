// The grid in form resources: its defaults unwritten, its properties and
// collections read back, peaks that keep what a reader could not know, and
// a range that cannot divide refused as a whole.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.Grid.hpp>
#include <System.Classes.Streaming.hpp>

#include <gmock/gmock.h>

using namespace Vcl;
using namespace Quorex;

namespace {

class GridStreamingTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Root.SetName("Root");
    Grid = QxTest::AddNamed<TQxGrid>(&Root, "Grid1");
  }
  String GridPart()
  {
    const String text = WriteComponentRes(&Root);
    return text.substr(text.find("object Grid1"));
  }
  TQxGrid* ReadBack(TQxFrameClient& Copy)
  {
    ReadComponentRes(WriteComponentRes(&Root), &Copy);
    Copy.SetName("Root");
    QxTest::ExpectSameTree(&Root, &Copy);
    return dynamic_cast<TQxGrid*>(Copy.FindComponent("Grid1"));
  }
  static String Resource(const String& GridLines)
  {
    return "object Root: TQxFrameClient\n  object Grid1: TQxGrid\n" + GridLines + "  end\nend\n";
  }
  TQxFrameClient Root{nullptr};
  TQxGrid* Grid = nullptr;
};

TEST_F(GridStreamingTest, ANewGridWritesNoneOfItsDefaults)
{
  Grid->Graphs()->Add();
  Grid->MarkerLines()->Add();
  QxTest::ExpectLacks(GridPart(),
                      {"TypeGrid", "MoveDelta", "ShowMiddleLabel", "ShowLabel", "LabelFormat", "MaxValue", "MinValue",
                       "BorderColor", "GridLinesColor", "GridRowSize", "AutoScale ", "AntiAlias", "Color =",
                       "ValueName", "MinColor", "MaxColor", "Visible", "Thickness", "Position", "Style", "Font"});
}

TEST_F(GridStreamingTest, EveryPropertyAndItemComesBack)
{
  Grid->SetTypeGrid(tgNumeric);
  // AutoScale after the mode that turns it on.
  Grid->SetAutoScale(false);
  Grid->SetMaxValue(-10);
  Grid->SetMinValue(-50);
  Grid->SetMaxValue(5000);
  Grid->SetMaxLabelFormat("%.0f");
  Grid->SetMiddleLabelFormat("%.1f");
  Grid->SetMinLabelFormat("%.2f");
  Grid->SetShowMiddleLabel(true);
  Grid->SetShowLabel(false);
  Grid->SetMoveDelta(3);
  Grid->SetGridRowSize(20);
  Grid->SetBorderColor(clRed);
  Grid->SetGridBorderColor(clBlue);
  Grid->SetGridLinesColor(clGray);
  Grid->SetColor(clNavy);
  Grid->SetAntiAlias(false);
  Grid->SetDoubleBuffered(true);
  TQxGridGraph* graph = Grid->Graphs()->Add();
  graph->SetValueName("CPU");
  graph->SetMinColor(clYellow);
  graph->SetMaxColor(clLime);
  graph->SetVisible(false);
  Grid->Graphs()->Add();
  TQxGridMarkerLine* line = Grid->MarkerLines()->Add();
  line->SetColor(clFuchsia);
  line->SetThickness(3);
  line->SetPosition(70);
  line->SetStyle(psDash);
  // One peak as the grid is now, one of its own. The grid's display scale
  // is not in its resource, so the first peak's copy of it must be.
  Grid->SetMaxValueDisplayScale(0.5);
  Grid->AutoScalePeaks()->AddPeak();
  TQxGridPeak* peak = Grid->AutoScalePeaks()->AddPeak();
  peak->SetValue(10000);
  peak->SetMaxLabelFormat("%.0fK");
  peak->SetMaxValueDisplayScale(0.001);
  peak->SetMiddleLabelFormat("%.1fK");
  peak->SetMiddleValueDisplayScale(0.001);
  QxTest::ExpectHas(GridPart(), {"TypeGrid = tgNumeric", "AutoScale = False", "ValueName = 'CPU'",
                                 "Style = psDash", "Value = 10000", "DoubleBuffered = True",
                                 "ParentDoubleBuffered = False"});

  TQxFrameClient copy(nullptr);
  TQxGrid* read = ReadBack(copy); // AutoScale, the range and the rest compared there
  ASSERT_TRUE(read);
  ASSERT_EQ(read->AutoScalePeaks()->Count(), 2);
  EXPECT_EQ(read->AutoScalePeaks()->Peaks(0)->Value(), 5000);
  EXPECT_EQ(read->AutoScalePeaks()->Peaks(0)->MaxLabelFormat(), "%.0f");
  EXPECT_EQ(read->AutoScalePeaks()->Peaks(0)->MaxValueDisplayScale(), 0.5);
  EXPECT_EQ(read->MaxValueDisplayScale(), 1.0);
  EXPECT_EQ(read->AutoScalePeaks()->Peaks(1)->MaxValueDisplayScale(), 0.001);
}

TEST_F(GridStreamingTest, ARangeIsCheckedOnceTheResourceHasLoaded)
{
  // Each value alone would not fit the default range; together they do.
  TQxFrameClient negative(nullptr);
  ReadComponentRes(Resource("    MaxValue = -10\n    MinValue = -50\n"), &negative);
  auto* grid = dynamic_cast<TQxGrid*>(negative.FindComponent("Grid1"));
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->MaxValue(), -10);
  EXPECT_EQ(grid->MinValue(), -50);

  for (const char* lines : {"    MaxValue = 10\n    MinValue = 20\n", "    MinValue = 100\n"}) {
    TQxFrameClient broken(nullptr);
    EXPECT_THAT([&] { ReadComponentRes(Resource(lines), &broken); },
                testing::ThrowsMessage<EReadError>(testing::HasSubstr("MaxValue")))
      << lines;
    EXPECT_EQ(broken.FindComponent("Grid1"), nullptr) << lines;
  }
}

} // namespace

// What a windowed control keeps around and within its client area: the
// bevel in its window frame, custom alignment by the host, the host's say
// in the size limits and the panel's full repaint.
#include "TestControls.hpp"

namespace QxTest {

namespace {

Win::COLORREF Sys(int index)
{
  return Win::GetSysColor(index);
}

} // namespace

TEST_F(ControlTest, TheBevelIsDrawnInTheFrameAndTheClientAreaShrinksByItsCuts)
{
  TForm* form = MakeForm(0, 0, 200, 200);
  auto* framed = Place(new TTestControl(form, "framed"), form, 10, 10, 60, 40, clYellow);
  auto* fill = Place(new TTestControl(form, "fill"), framed, 0, 0, 5, 5, clBlue);
  fill->SetAlign(alClient);
  framed->SetBevelKind(bkTile);
  RunUntilIdle();
  // A lowered outer and a raised inner cut, a pixel each, on every edge.
  EXPECT_EQ(framed->ClientRect(), TRect(0, 0, 56, 36));
  Win::RECT client;
  Win::GetClientRect(framed->Handle(), &client);
  EXPECT_EQ(client, Win::RECT(0, 0, 56, 36));
  EXPECT_EQ(fill->BoundsRect(), TRect(0, 0, 56, 36));
  Win::POINT origin;
  Win::ClientToScreen(fill->Handle(), &origin);
  EXPECT_EQ(origin, Win::POINT(12, 12));
  EXPECT_EQ(WindowPixel(framed->Handle(), 0, 0), Sys(Win::COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(framed->Handle(), 1, 1), Sys(Win::COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(WindowPixel(framed->Handle(), 58, 38), Sys(Win::COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(framed->Handle(), 59, 39), Sys(Win::COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(WindowPixel(framed->Handle(), 2, 2), Ref(clBlue));
  EXPECT_EQ(WindowPixel(framed->Handle(), 57, 37), Ref(clBlue));
  // A click on the client lands in the child, one on the frame does not.
  EXPECT_EQ(Win::WindowFromPoint(Win::POINT(12, 12)), fill->Handle());
  EXPECT_NE(Win::WindowFromPoint(Win::POINT(11, 11)), fill->Handle());

  // Only the top edge, two pixels a cut, and no inner cut.
  framed->SetBevelEdges({beTop});
  framed->SetBevelWidth(2);
  framed->SetBevelInner(bvNone);
  RunUntilIdle();
  EXPECT_EQ(fill->BoundsRect(), TRect(0, 0, 60, 38));
  EXPECT_EQ(WindowPixel(framed->Handle(), 0, 1), Sys(Win::COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(framed->Handle(), 0, 2), Ref(clBlue));
  EXPECT_EQ(WindowPixel(framed->Handle(), 59, 39), Ref(clBlue));

  framed->SetBevelKind(bkNone);
  RunUntilIdle();
  EXPECT_EQ(fill->BoundsRect(), TRect(0, 0, 60, 40));
  EXPECT_EQ(WindowPixel(framed->Handle(), 0, 0), Ref(clBlue));
}

TEST_F(ControlTest, CustomAlignedControlsTakeTheOrderAndPlacesTheHostGives)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* top = Place(new TTestControl(form), form, 0, 0, 200, 20);
  top->SetAlign(alTop);
  std::vector<TControl*> custom;
  for (int width : {30, 10, 20}) {
    custom.push_back(Place(new TTestControl(form), form, 100, 50, width, 10));
    custom.back()->SetAlign(alCustom);
  }
  std::vector<Integer> indexes;
  form->OnAlignInsertBefore = [](TWinControl*, TControl* c1, TControl* c2) { return c1->Width() < c2->Width(); };
  // Side by side from the left of what the top control leaves, full height.
  form->OnAlignPosition = [&](TWinControl* sender, TControl*, Integer& left, Integer& top, Integer& width,
                              Integer& height, TRect& rect, const TAlignInfo& info) {
    EXPECT_EQ(sender, form);
    EXPECT_EQ(info.AlignList->size(), 3u);
    indexes.push_back(info.ControlIndex);
    left = rect.Left;
    top = rect.Top;
    height = rect.Height();
    rect.Left += width;
  };
  form->Realign();
  EXPECT_EQ(indexes, (std::vector<Integer>{0, 1, 2}));
  EXPECT_EQ(custom[1]->BoundsRect(), TRect(0, 20, 10, 100));
  EXPECT_EQ(custom[2]->BoundsRect(), TRect(10, 20, 30, 100));
  EXPECT_EQ(custom[0]->BoundsRect(), TRect(30, 20, 60, 100));
}

TEST_F(ControlTest, TheHostNarrowsTheSizeLimitsForOneResizeOnly)
{
  TForm* form = MakeForm(0, 0, 200, 200);
  auto* box = Place(new TBox(form), form, 10, 10, 50, 50);
  box->Constraints()->SetMaxWidth(80);
  Integer seenMax = -1;
  box->OnConstrainedResize = [&](TObject*, Integer& minWidth, Integer&, Integer& maxWidth, Integer& maxHeight) {
    seenMax = maxWidth;
    maxWidth = 70;
    minWidth = 30;
    maxHeight = 40;
  };
  box->SetBounds(10, 10, 100, 100);
  EXPECT_EQ(seenMax, 80);
  EXPECT_EQ(box->BoundsRect(), TRect(10, 10, 80, 50));
  box->SetWidth(5);
  EXPECT_EQ(box->Width(), 30);
  EXPECT_EQ(box->Constraints()->MaxWidth(), 80);
  EXPECT_EQ(box->Constraints()->MinWidth(), 0);
}

TEST_F(ControlTest, APanelRepaintsWhollyOnResizeUnlessFullRepaintIsOff)
{
  TForm* form = MakeForm(0, 0, 300, 200);
  for (bool full : {true, false}) {
    auto* panel = new TPanel(form);
    panel->SetFullRepaint(full);
    Place(panel, form, 0, 0, 100, 50);
    RunUntilIdle();
    panel->SetWidth(120);
    Win::RECT update;
    Win::GetUpdateRect(panel->Handle(), &update, Win::FALSE);
    EXPECT_EQ(update, full ? Win::RECT(0, 0, 120, 50) : Win::RECT(100, 0, 120, 50)) << full;
    delete panel;
  }
}

} // namespace QxTest

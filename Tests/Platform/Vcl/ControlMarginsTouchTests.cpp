// Margins kept by the align pass, the 3-D look and the tablet options a
// control takes from its parent, and gestures as the message layer brings them.
#include "TestControls.hpp"

#include <QxFormCompare.hpp>
#include <System.Classes.Streaming.hpp>

#include <Vcl.Controls.Padding.hpp>
#include <Vcl.Controls.Touch.hpp>

namespace QxTest {

namespace {

TTestControl* Aligned(TWinControl* Parent, TAlign Align, int Size)
{
  auto* c = new TTestControl(Parent);
  c->SetBounds(0, 0, Size, Size);
  c->SetAlignWithMargins(true);
  c->SetAlign(Align);
  c->SetParent(Parent);
  return c;
}

TEST_F(ControlTest, AlignedControlsKeepTheirMarginsFreeOnEverySide)
{
  TForm* form = MakeForm(0, 0, 400, 300);
  auto* client = Aligned(form, alClient, 10);
  auto* top = Aligned(form, alTop, 30);
  auto* bottom = Aligned(form, alBottom, 40);
  auto* left = Aligned(form, alLeft, 50);
  auto* right = Aligned(form, alRight, 60);
  // Each takes its margins (3 on every side) off the space it is given.
  EXPECT_EQ(top->BoundsRect(), TRect(3, 3, 397, 33));
  EXPECT_EQ(bottom->BoundsRect(), TRect(3, 257, 397, 297));
  EXPECT_EQ(left->BoundsRect(), TRect(3, 39, 53, 251));
  EXPECT_EQ(right->BoundsRect(), TRect(337, 39, 397, 251));
  EXPECT_EQ(client->BoundsRect(), TRect(59, 39, 331, 251));

  // Uneven margins, changed after alignment, realign at once; those of a
  // control that does not align with them move nothing.
  top->Margins()->SetBounds(10, 0, 20, 5);
  EXPECT_EQ(top->BoundsRect(), TRect(10, 0, 380, 30));
  EXPECT_EQ(left->BoundsRect(), TRect(3, 38, 53, 251));
  left->SetAlignWithMargins(false);
  EXPECT_EQ(left->BoundsRect(), TRect(0, 35, 50, 254));
  EXPECT_EQ(client->BoundsRect(), TRect(53, 38, 331, 251));
  left->Margins()->SetLeft(40);
  EXPECT_EQ(left->BoundsRect(), TRect(0, 35, 50, 254));

  // Margins wider than the space, however wide, leave an empty control.
  top->Margins()->SetBounds(250, 0, 250, 0);
  EXPECT_EQ(top->Width(), 0);
  const int huge = 1 << 30;
  client->Margins()->SetBounds(huge, huge, huge, huge);
  EXPECT_EQ(client->BoundsRect().Size(), TSize(0, 0));
}

TEST_F(ControlTest, AnAutoSizedParentLeavesRoomForTheMarginsOfItsChildren)
{
  TForm* form = MakeForm(0, 0, 300, 300);
  auto* panel = new TPanel(form);
  panel->SetBevelOuter(bvNone);
  panel->SetParent(form);
  auto* child = Place(new TTestControl(form), panel, 10, 10, 50, 40);
  child->Margins()->SetBounds(0, 0, 7, 9);
  child->SetAlignWithMargins(true);
  panel->SetAutoSize(true);
  EXPECT_EQ(panel->BoundsRect().Size(), TSize(67, 59));
}

// A parent's padding comes off the room its aligned children share, before
// their own margins; it realigns at once and travels in the resource.
TEST_F(ControlTest, PaddingKeepsRoomInsideTheParentForAlignedChildren)
{
  TForm* form = MakeForm(0, 0, 300, 300);
  auto* panel = new TPanel(form);
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 200, 100);
  panel->SetParent(form);
  auto* client = Aligned(panel, alClient, 10);
  client->SetAlignWithMargins(false);
  EXPECT_EQ(client->BoundsRect(), TRect(0, 0, 200, 100));
  panel->Padding()->SetBounds(5, 6, 7, 8);
  EXPECT_EQ(client->BoundsRect(), TRect(5, 6, 193, 92));
  client->SetAlignWithMargins(true);
  EXPECT_EQ(client->BoundsRect(), TRect(8, 9, 190, 89));
  // Padding wider than the panel leaves an empty child, not an inverted one.
  panel->Padding()->SetLeft(1 << 30);
  EXPECT_EQ(client->Width(), 0);
  delete client;

  form->SetName("Root");
  panel->SetName("Panel1");
  const String text = WriteComponentRes(form);
  ExpectHas(text, {"Padding.Left = 1073741824", "Padding.Top = 6", "Padding.Right = 7", "Padding.Bottom = 8"});
  auto* copy = new TForm(Application);
  ReadComponentRes(text, copy);
  auto* read = dynamic_cast<TPanel*>(copy->FindComponent("Panel1"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Padding()->Inset(TRect(0, 0, 100, 100)), TRect(1 << 30, 6, 93, 92));
  delete copy;
}

TEST_F(ControlTest, The3DLookAndTabletOptionsFlowFromParentsUntilAControlSetsItsOwn)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* box = new TBox(form);
  box->SetParent(panel);
  form->SetCtl3D(false);
  EXPECT_FALSE(panel->Ctl3D());
  EXPECT_FALSE(box->Ctl3D());
  EXPECT_TRUE(box->ParentCtl3D());
  // A value of its own holds, even one equal to the parent's.
  panel->SetCtl3D(false);
  EXPECT_FALSE(panel->ParentCtl3D());
  form->SetCtl3D(true);
  EXPECT_FALSE(panel->Ctl3D());
  panel->SetParentCtl3D(true);
  EXPECT_TRUE(box->Ctl3D());
  // A control put into a parent takes its look.
  panel->SetCtl3D(false);
  auto* late = new TBox(form);
  late->SetParent(panel);
  EXPECT_FALSE(late->Ctl3D());

  EXPECT_EQ(panel->Touch()->TabletOptions(), DefaultTabletOptions);
  form->Touch()->SetTabletOptions({toFlicks});
  EXPECT_EQ(box->Touch()->TabletOptions(), TTabletOptions{toFlicks});
  panel->Touch()->SetTabletOptions({toSmoothScrolling});
  EXPECT_EQ(box->Touch()->TabletOptions(), TTabletOptions{toSmoothScrolling});
  panel->Touch()->SetParentTabletOptions(true);
  EXPECT_EQ(box->Touch()->TabletOptions(), TTabletOptions{toFlicks});
}

TEST_F(ControlTest, GesturesReachOnGestureOnlyWhenTheTouchSettingsAskForThem)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* box = new TBox(form);
  box->SetParent(form);
  std::vector<Integer> seen;
  box->OnGesture = [&](TObject* Sender, const TGestureEventInfo& Info, bool& Handled) {
    EXPECT_EQ(Sender, box);
    seen.push_back(Info.GestureID);
    Handled = Info.GestureID != igiPan;
  };
  auto send = [&](Integer id) {
    TGestureEventInfo info;
    info.GestureID = id;
    return box->Perform(CM_GESTURE, 0, Win::LPARAM(&info));
  };
  // Pan and press-and-tap are wanted unless the settings say otherwise;
  // gestures of the host's own always arrive.
  EXPECT_EQ(send(igiZoom), 0);
  EXPECT_EQ(send(igiPan), 0);
  EXPECT_EQ(send(igiPressAndTap), 1);
  box->Touch()->SetInteractiveGestures({igZoom});
  EXPECT_EQ(send(igiZoom), 1);
  EXPECT_EQ(send(igiPan), 0);
  EXPECT_EQ(send(1000), 1);
  EXPECT_EQ(seen, (std::vector<Integer>{igiPan, igiPressAndTap, igiZoom, 1000}));
  EXPECT_EQ(box->Perform(CM_GESTURE, 0, 0), 0);
}

} // namespace

} // namespace QxTest

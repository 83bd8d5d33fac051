// The layout panel: free width shared by spacers, the row in Left order,
// vertical placement, hidden children at run time and in the designer, and
// padding changes that realign at once.
#include "ContainerTestSupport.hpp"

#include <Quorex.Vcl.LayoutPanel.hpp>

#include <limits>

using namespace Vcl;
using namespace Quorex;

namespace {

class LayoutPanelTest : public QxTest::ContainerFixture {
protected:
  void SetUp() override
  {
    ContainerFixture::SetUp();
    Panel = Place(new TQxLayoutPanel(Form), Form, 10, 10, 300, 40);
  }
  // A 50 by 20 child at Left; the panel realigns as each one arrives.
  TControl* Child(int left, int width = 50, int height = 20)
  {
    return Place(new TQxPanel(Form), Panel, left, 0, width, height);
  }
  TQxDynamicSpacer* Spacer(int left) { return Place(new TQxDynamicSpacer(Form), Panel, left, 0, 16, 16); }

  TQxLayoutPanel* Panel = nullptr;
};

TEST_F(LayoutPanelTest, SpacerTakesTheFreeWidthAndTheRowFollowsLeftOrder)
{
  // Made right to left, so that only their Left puts them in order.
  Panel->DisableAlign();
  TControl* right = Child(200);
  TQxDynamicSpacer* spacer = Spacer(100);
  TControl* left = Child(0);
  Panel->EnableAlign();
  EXPECT_EQ(spacer->Width(), 300 - (100 + 2 * 10));
  EXPECT_EQ(left->Left(), 0);
  EXPECT_EQ(spacer->Left(), 60);
  EXPECT_EQ(right->Left(), 250);

  // Two spacers halve it; a narrower panel drives them to nothing, not below.
  TQxDynamicSpacer* second = Spacer(300);
  EXPECT_EQ(spacer->Width(), (300 - (100 + 3 * 10)) / 2);
  EXPECT_EQ(second->Width(), spacer->Width());
  Panel->SetWidth(100);
  EXPECT_EQ(spacer->Width(), 0);
  EXPECT_EQ(second->Width(), 0);
  EXPECT_EQ(right->Left(), 50 + 10 + 0 + 10);
}

TEST_F(LayoutPanelTest, VerticalLayoutPlacesEachChild)
{
  Panel->Padding()->SetTop(5);
  Panel->Padding()->SetBottom(4);
  TControl* even = Child(0, 50, 20);
  TControl* odd = Child(100, 50, 21);
  EXPECT_EQ(even->Top(), 10); // the default: centred, padding aside
  EXPECT_EQ(odd->Top(), 9);   // (40 - 21) div 2
  Panel->SetLayoutVertical(vlTop);
  EXPECT_EQ(even->Top(), 5);
  EXPECT_EQ(odd->Top(), 5);
  Panel->SetLayoutVertical(vlBottom);
  EXPECT_EQ(even->Top(), 40 - 24);
  EXPECT_EQ(odd->Top(), 40 - 25);
  // A child taller than the panel sits above its top when centred.
  Panel->SetLayoutVertical(vlCenter);
  odd->SetHeight(61);
  EXPECT_EQ(odd->Top(), -10);
}

TEST_F(LayoutPanelTest, HiddenChildrenTakeNoPlaceAtRunTimeButDoInTheDesigner)
{
  Panel->DisableAlign();
  TControl* a = Child(0);
  TControl* hidden = Child(70);
  TQxDynamicSpacer* spacer = Spacer(100);
  TControl* b = Child(200);
  hidden->Hide();
  Panel->EnableAlign();
  // Neither the hidden child's width nor its gap counts.
  EXPECT_EQ(spacer->Width(), 300 - (100 + 2 * 10));
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(spacer->Left(), 60);
  EXPECT_EQ(b->Left(), 250);
  EXPECT_EQ(hidden->Left(), 70);

  Panel->SetDesigning(true);
  Panel->Realign();
  EXPECT_EQ(spacer->Width(), 300 - (150 + 3 * 10));
  EXPECT_EQ(spacer->Left(), 60);
  EXPECT_EQ(hidden->Left(), 60 + 120 + 10);
  EXPECT_EQ(b->Left(), 250);
}

TEST_F(LayoutPanelTest, PaddingAndSpacingChangesRealignAtOnce)
{
  TControl* a = Child(0);
  TQxDynamicSpacer* spacer = Spacer(100);
  TControl* b = Child(200);
  Panel->Padding()->SetLeft(7);
  EXPECT_EQ(a->Left(), 7);
  Panel->Padding()->SetRight(13);
  EXPECT_EQ(spacer->Width(), 300 - 120 - 20);
  EXPECT_EQ(b->Left() + b->Width(), 300 - 13);
  Panel->SetSpacing(0);
  EXPECT_EQ(spacer->Left(), 57);
  EXPECT_EQ(b->Left() + b->Width(), 300 - 13);

  // Aligned children keep inside the padding as well.
  auto* top = Place(new TQxPanel(Form), Panel, 0, 0, 10, 10);
  top->SetAlign(alTop);
  Panel->Padding()->SetTop(3);
  Panel->SetLayoutVertical(vlTop);
  EXPECT_EQ(top->Width(), 300 - 7 - 13);
  EXPECT_EQ(top->Top(), 3);
}

TEST_F(LayoutPanelTest, HugeSpacingStaysInRange)
{
  TControl* a = Child(0);
  TQxDynamicSpacer* spacer = Spacer(100);
  TControl* b = Child(200);
  TControl* c = Child(250);
  Panel->SetSpacing(1 << 30);
  // Three gaps of 2^30 overflow 32 bits: the free width is negative.
  EXPECT_EQ(spacer->Width(), 0);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(spacer->Left(), 50 + (1 << 30));
  EXPECT_EQ(b->Left(), std::numeric_limits<int>::max() - 50);
  EXPECT_EQ(c->Left(), std::numeric_limits<int>::max() - 50);
}

} // namespace

// The tab strip as a host uses it: tabs made by the control or placed on it,
// activation by mouse and by code, what the strip paints (captions, the
// active tab's pointer, separators), membership as tabs move between
// parents or go, and its form resource.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <Quorex.Vcl.TabControl.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Controls.Padding.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr Win::COLORREF kWhite = Win::RGB(255, 255, 255), kGrayLine = Win::RGB(0x80, 0x80, 0x80);

bool Orange(Win::COLORREF C)
{
  return Win::GetRValue(C) > 0xD0 && Win::GetGValue(C) > 0x40 && Win::GetGValue(C) < 0x80 && Win::GetBValue(C) < 0x20;
}

class QxTabControlTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 500, 300, clWhite);
    Tabs = new TQxTabControl(Form);
    Tabs->SetParent(Form);
    for (const char* caption : {"One", "Two", "Three"}) {
      TQxTab* tab = Tabs->NewTab();
      tab->SetCaption(caption);
      tab->OnClick = [this, tab](TObject*) { Events.push_back("click " + tab->Caption()); };
    }
    Tabs->OnTabActivate = [this](TQxTab* Tab) { Events.push_back("activate " + Tab->Caption()); };
    RunUntilIdle();
  }
  TQxTab* Tab(int I) const { return Tabs->GetTab(I); }
  void ClickTab(int I) { ClickOn(Tab(I), Tab(I)->Width() / 2, 5); }
  Win::TImage Shot()
  {
    RunUntilIdle();
    return Win::CaptureWindow(Tabs->Handle());
  }
  // Is the separator's dark middle at the tab's left edge?
  static bool SeparatorAt(const Win::TImage& Image, const TQxTab* Tab)
  {
    const Win::COLORREF c = Image.Pixel(Tab->Left(), Tab->Height() / 2);
    return Win::GetRValue(c) < 0xB8;
  }

  TForm* Form = nullptr;
  TQxTabControl* Tabs = nullptr;
  std::vector<std::string> Events;
};

TEST_F(QxTabControlTest, NewTabsLineUpAfterTheLastSizedToCaptionsUnderAStripAsHighAsItsFont)
{
  const int fontHeight = int(std::trunc(15 + TQxTabPainter::GetFont()->GetHeight(96)));
  EXPECT_EQ(Tabs->BoundsRect(), TRect(0, 0, Form->ClientWidth(), fontHeight));
  ASSERT_EQ(Tabs->GetCount(), 3);
  int right = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Tab(i)->BoundsRect(), TRect(right, 0, right + Tab(i)->GetAutoWidth(), Tabs->Height())) << i;
    right = Tab(i)->Left() + Tab(i)->Width();
  }
  EXPECT_GT(Tab(2)->Width(), Tab(0)->Width());
  EXPECT_GT(Tab(0)->Width(), 20);

  // Added last without a far-right placement to overflow; an empty caption
  // is all margin, and a longer caption widens the tab in place.
  TQxTab* fourth = Tabs->NewTab();
  RunUntilIdle();
  EXPECT_EQ(fourth->BoundsRect(), TRect(right, 0, right + 20, Tabs->Height()));
  fourth->SetCaption("Fourth tab");
  EXPECT_GT(fourth->Width(), Tab(2)->Width());
  EXPECT_EQ(fourth->Left(), right);
  EXPECT_THROW(Tabs->GetTab(4), EListError);
}

TEST_F(QxTabControlTest, AClickActivatesOneTabOnceAndCodeActivatesEvenWhenClicksMayNot)
{
  ClickTab(1);
  EXPECT_EQ(Events, (std::vector<std::string>{"click Two", "activate Two"}));
  ClickTab(1);
  EXPECT_EQ(Events.size(), 2u) << "the active tab raised again";
  ClickTab(2);
  EXPECT_FALSE(Tab(1)->Active());
  EXPECT_TRUE(Tab(2)->Active());

  Events.clear();
  Tabs->SetAllowTabActivation(false);
  ClickTab(0);
  EXPECT_FALSE(Tab(0)->Active());
  EXPECT_TRUE(Events.empty());
  Tab(0)->SetActive(true);
  EXPECT_EQ(Events, (std::vector<std::string>{"click One", "activate One"}));
  EXPECT_FALSE(Tab(2)->Active());

  // Deactivating the active tab leaves none, quietly.
  Events.clear();
  Tab(0)->SetActive(false);
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(Tab(i)->Active());
  EXPECT_TRUE(Events.empty());
}

TEST_F(QxTabControlTest, SeparatorsStandBetweenInactiveTabsAndTheActiveOneWearsAPointer)
{
  Win::TImage image = Shot();
  EXPECT_FALSE(SeparatorAt(image, Tab(0)));
  EXPECT_TRUE(SeparatorAt(image, Tab(1)));
  EXPECT_TRUE(SeparatorAt(image, Tab(2)));
  EXPECT_EQ(image.Pixel(Tabs->Width() - 5, Tabs->Height() - 1), kGrayLine);

  Tab(1)->SetActive(true);
  image = Shot();
  EXPECT_FALSE(SeparatorAt(image, Tab(1)));
  EXPECT_FALSE(SeparatorAt(image, Tab(2)));
  const int x = Tab(1)->Left(), bottom = Tabs->Height();
  EXPECT_TRUE(Orange(image.Pixel(x + 2, 2)));
  EXPECT_TRUE(Orange(image.Pixel(x + Tab(1)->Width() - 3, bottom - 3)));
  // The white notch: its tip 10 pixels up, its base cut by the strip's edge.
  EXPECT_EQ(image.Pixel(x + 15, bottom - 4), kWhite);
  EXPECT_EQ(image.Pixel(x + 8, bottom - 1), kWhite);
  EXPECT_NE(image.Pixel(x + 15, bottom - 13), kWhite);
  // Captions: black on the active tab, grey on the others.
  int black = 0, grey = 0;
  for (int y = 0; y < bottom; ++y)
    for (int px = Tab(1)->Left(); px < Tab(2)->Left() + Tab(2)->Width(); ++px) {
      const Win::COLORREF c = image.Pixel(px, y);
      black += px < Tab(2)->Left() && c == Win::RGB(0, 0, 0);
      grey += px >= Tab(2)->Left() && c == kGrayLine;
    }
  EXPECT_GT(black, 10);
  EXPECT_GT(grey, 10);

  // A hidden active tab draws nothing, but the tab after it still counts as
  // next to an active one.
  Tab(1)->SetVisible(false);
  image = Shot();
  EXPECT_EQ(Tab(2)->Left(), Tab(0)->Width());
  EXPECT_FALSE(SeparatorAt(image, Tab(2)));
  EXPECT_FALSE(Orange(image.Pixel(Tab(2)->Left() + 2, 2)));
}

TEST_F(QxTabControlTest, AStripTooLowForItsGradientsStillPaints)
{
  Tab(0)->SetActive(true);
  Tabs->SetAutoSize(false);
  for (int height : {9, 1, 0}) {
    Tabs->SetHeight(height);
    EXPECT_NO_THROW(Tabs->Painter()->DrawTabControl()) << height;
  }
}

TEST_F(QxTabControlTest, TabsBelongToTheControlTheySitOnWhereverTheyMoveOrGo)
{
  auto* other = new TQxTabControl(Form);
  other->SetParent(Form);
  auto* tab = new TQxTab(Form);
  tab->SetParent(Tabs);
  EXPECT_EQ(Tabs->GetCount(), 4);
  EXPECT_EQ(other->GetCount(), 0) << "a tab of the same owner registered elsewhere";
  EXPECT_EQ(tab->Painter(), Tabs->Painter());

  tab->SetParent(other);
  EXPECT_EQ(Tabs->GetCount(), 3);
  EXPECT_EQ(other->GetCount(), 1);
  EXPECT_EQ(tab->Painter(), other->Painter());
  tab->SetParent(Form);
  EXPECT_EQ(other->GetCount(), 0);
  EXPECT_EQ(tab->Painter(), nullptr);
  // A tab away from any tab control activates on a click all the same.
  tab->SetCaption("Loose");
  tab->SetAlign(alNone);
  tab->SetBounds(10, 100, 80, 30);
  RunUntilIdle();
  ClickOn(tab, 10, 10);
  EXPECT_TRUE(tab->Active());

  tab->SetParent(Tabs);
  delete Tab(0);
  EXPECT_EQ(Tabs->GetCount(), 3);
  tab->SetActive(false);
  delete tab;
  EXPECT_EQ(Tabs->GetCount(), 2);
  Tab(1)->SetActive(true); // walks the list: nothing stale in it
  EXPECT_EQ(Events.back(), "activate Three");

  // The control lets go of the tabs it does not own; they outlive it.
  auto* kept = new TQxTab(Form);
  kept->SetParent(other);
  delete other;
  EXPECT_EQ(kept->Parent(), nullptr);
  EXPECT_EQ(kept->Painter(), nullptr);
  kept->SetParent(Tabs);
  EXPECT_EQ(Tabs->GetCount(), 3);
}

TEST_F(QxTabControlTest, TheResourceKeepsOnlyWhatDiffersAndItsTabsRegisterWhenRead)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  root.SetBounds(0, 0, 400, 100);
  auto* strip = QxTest::AddNamed<TQxTabControl>(&root, "Strip");
  auto* first = new TQxTab(&root);
  first->SetName("First");
  first->SetCaption("First");
  first->SetParent(strip);
  QxTest::ExpectLacks(WriteComponentRes(&root), {"AllowTabActivation", "Active", "AutoSize", "Align",
                                                 "OnTabActivate", "AlignWithMargins", "Margins."});

  auto* second = new TQxTab(&root);
  second->SetName("Second");
  second->SetCaption("Second");
  second->SetLeft(first->Width());
  second->SetParent(strip);
  second->SetActive(true);
  strip->SetAllowTabActivation(false);
  strip->Margins()->SetBounds(0, 6, 0, 2);
  strip->SetAlignWithMargins(true);
  EXPECT_EQ(strip->Top(), 6);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"AllowTabActivation = False", "Active = True", "Caption = 'Second'",
                           "AlignWithMargins = True", "Margins.Left = 0", "Margins.Top = 6"});
  QxTest::ExpectLacks(text, {"Margins.Right = 3"});

  QxTest::ExpectReadsBackTheSame(&root, text);
  auto copy = QxTest::ReadAs<TQxFrameClient>(text);
  auto* read = QxTest::FindIn<TQxTabControl>(copy.get(), "Strip");
  ASSERT_TRUE(read);
  ASSERT_EQ(read->GetCount(), 2);
  EXPECT_EQ(read->BoundsRect(), strip->BoundsRect());
  EXPECT_EQ(read->GetTab(1)->Painter(), read->Painter());
}

} // namespace

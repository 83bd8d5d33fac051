// The section bar as a host drives it: activation by code and by clicks, the
// slide on the virtual clock, hidden elements, membership across parents,
// the painted bar, and the bar in form resources.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <Quorex.Vcl.SectionBar.hpp>
#include <System.Classes.Streaming.hpp>
#include <System.SysUtils.hpp>
#include <Vcl.Forms.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

class SectionBarTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 400, 300);
    Bar = new TSectionBar(Form);
    Bar->SetParent(Form);
    Mail = AddSection("Mail", {"Inbox", "Sent"});
    Calendar = AddSection("Calendar", {"Day", "Week"});
    Tasks = AddSection("Tasks", {"Today"});
    Item("Inbox")->SetActive(true);
    Settle();
    Log.clear();
  }

  TPageSection* AddSection(const String& Caption, std::initializer_list<const char*> Items)
  {
    auto* s = new TPageSection(Form);
    s->SetName(Caption);
    s->SetCaption(Caption);
    Watch(s);
    s->SetParent(Bar);
    for (const char* caption : Items) {
      auto* i = new TPageItem(Form);
      i->SetName(caption);
      i->SetCaption(caption);
      Watch(i);
      i->SetParent(s);
    }
    return s;
  }
  void Watch(TBaseSectionBarItem* E)
  {
    E->OnChange = [this, E](TObject*) { Log.push_back(E->Name() + (E->Active() ? ":on" : ":off")); };
    E->OnActivate = [this, E](TObject*) { Log.push_back(E->Name() + ":activate"); };
  }
  TPageItem* Item(const String& Name) { return static_cast<TPageItem*>(Form->FindComponent(Name)); }
  std::vector<Integer> Heights() const
  {
    std::vector<Integer> h;
    for (Integer i = 0; i < Bar->GetCount(); ++i)
      h.push_back(Bar->GetSection(i)->Height());
    return h;
  }
  // The bar's pixels as it last painted them.
  Win::TImage Shot()
  {
    RunUntilIdle();
    return Win::CaptureWindow(Bar->Handle());
  }
  // Long enough for any slide at the default speed to end.
  void Settle() { AdvanceBy(1000); }

  TForm* Form = nullptr;
  TSectionBar* Bar = nullptr;
  TPageSection *Mail = nullptr, *Calendar = nullptr, *Tasks = nullptr;
  std::vector<String> Log;
};

TEST_F(SectionBarTest, ActivatingAnItemOfAClosedSectionSlidesBothSectionsFrameByFrame)
{
  EXPECT_EQ(Heights(), (std::vector<Integer>{88, 40, 40})) << "titles of 40, items of 24";
  EXPECT_FALSE(Bar->Sizer()->Running());
  Item("Week")->SetActive(true);
  // Its own events first, then the deactivation of the element it replaces.
  EXPECT_EQ(Log, (std::vector<String>{"Week:on", "Week:activate", "Inbox:off"}));
  EXPECT_TRUE(Calendar->GetOpened());
  EXPECT_FALSE(Mail->GetOpened());
  // After a long pause the first step is one tick's worth: 400 px/s * 20 ms.
  EXPECT_EQ(Heights(), (std::vector<Integer>{80, 48, 40}));
  std::vector<std::vector<Integer>> frames;
  for (int i = 0; i < 6; ++i) {
    AdvanceBy(20);
    frames.push_back(Heights());
  }
  EXPECT_EQ(frames, (std::vector<std::vector<Integer>>{
                      {72, 56, 40}, {64, 64, 40}, {56, 72, 40}, {48, 80, 40}, {40, 88, 40}, {40, 88, 40}}));
  EXPECT_FALSE(Bar->Sizer()->Running()) << "the timer stops once nothing moves";
  EXPECT_EQ(Tasks->Top(), 5 + 40 + 88) << "the sections stack from the bar's top margin";
  EXPECT_FALSE(Item("Inbox")->Visible());
  EXPECT_TRUE(Item("Week")->Visible());
}

TEST_F(SectionBarTest, EachStepRepaintsOnlyWhatMovedAndLooksAsAWholeRepaintWould)
{
  RunUntilIdle();
  Tasks->SetActive(true);
  for (int step = 0; step < 4; ++step) {
    AdvanceBy(20);
    const Win::TImage stepped = Shot();
    Bar->Invalidate();
    const Win::TImage whole = Shot();
    ASSERT_EQ(stepped.Pixels, whole.Pixels) << "step " << step;
  }
  Settle();
  // Only the last section shrinks now: a step repaints from its top down to
  // where it ended, and nothing above.
  std::vector<TRect> painted;
  auto paint = Bar->WindowProc;
  Bar->WindowProc = [&](TMessage& Message) {
    Win::RECT r;
    if (Message.Msg == Win::WM_PAINT && Win::GetUpdateRect(Bar->Handle(), &r, Win::FALSE))
      painted.push_back(r);
    paint(Message);
  };
  Item("Today")->SetHidden(true); // the first step at once, with the whole bar
  RunUntilIdle();
  painted.clear();
  AdvanceBy(20);
  Bar->WindowProc = paint;
  ASSERT_EQ(painted.size(), 1u);
  EXPECT_EQ(painted[0], TRect(0, Tasks->Top(), Bar->Width(), Tasks->Top() + 40 + 24 - 8));
}

TEST_F(SectionBarTest, ClicksActivateTitlesAndItemsOnceAndOnlyWithTheLeftButton)
{
  ClickOn(Calendar, 30, 20);
  EXPECT_EQ(Log, (std::vector<String>{"Calendar:on", "Calendar:activate", "Inbox:off"}));
  Settle();
  Log.clear();
  ClickOn(Calendar, 30, 20, Win::TInjectButton::Right);
  ClickOn(Calendar, 30, 20);
  EXPECT_TRUE(Log.empty()) << "the active section and other buttons do nothing";
  ClickOn(Item("Day"), 10, 10);
  EXPECT_EQ(Log, (std::vector<String>{"Day:on", "Day:activate", "Calendar:off"}));
  Log.clear();
  ClickOn(Item("Day"), 10, 10);
  EXPECT_TRUE(Log.empty()) << "the active item raises nothing";
}

TEST_F(SectionBarTest, EverySpeedEndsTheSlide)
{
  for (Integer speed : {0, 3, -1, 1000000}) {
    Bar->SetResizeSpeed(speed);
    TPageSection* target = Bar->GetSection(0)->GetOpened() ? Tasks : Mail;
    target->SetActive(true);
    if (speed <= 0) {
      EXPECT_EQ(target->Height(), target->SectionHeight()) << "speed " << speed << " goes there at once";
    }
    AdvanceBy(3000); // 48 pixels at 1 pixel a tick, the slowest
    EXPECT_EQ(target->Height(), target->SectionHeight()) << "speed " << speed;
    EXPECT_FALSE(Bar->Sizer()->Running()) << "speed " << speed;
  }
}

TEST_F(SectionBarTest, HiddenSectionsAndItemsTakeNoSpaceAndNoClicks)
{
  Calendar->SetHidden(true);
  Settle();
  EXPECT_FALSE(Calendar->Visible());
  EXPECT_EQ(Tasks->Top(), 5 + 88);
  // Where the calendar was, the tasks' title now takes the click.
  ClickOn(Bar, 30, 5 + 88 + 10);
  EXPECT_TRUE(Tasks->Active());
  EXPECT_FALSE(Calendar->Active());
  Settle();
  Item("Sent")->SetHidden(true);
  Mail->SetOpened(true);
  Settle();
  EXPECT_EQ(Mail->Height(), 40 + 24);
  EXPECT_FALSE(Item("Sent")->Visible()) << "refreshing the open section keeps it hidden";
  EXPECT_EQ(Tasks->Top(), 5 + 64);
  Calendar->SetHidden(false);
  Settle();
  EXPECT_TRUE(Calendar->Visible());
  EXPECT_EQ(Tasks->Top(), 5 + 64 + 40);
}

TEST_F(SectionBarTest, MembershipFollowsEveryParentChangeAndDestruction)
{
  auto* other = new TSectionBar(Form);
  other->SetParent(Form);
  Calendar->SetParent(other);
  ASSERT_EQ(Bar->GetCount(), 2);
  EXPECT_EQ(Bar->GetSection(1), Tasks);
  EXPECT_EQ(Tasks->Index(), 1) << "indices close the gap";
  EXPECT_EQ(Calendar->SectionBar(), other);
  EXPECT_EQ(Item("Week")->SectionBar(), other) << "items follow their section";
  Calendar->SetParent(other); // again: no second entry
  EXPECT_EQ(other->GetCount(), 1);

  EXPECT_THROW(Calendar->SetParent(Form), EAbort) << "a section lives only in a bar";
  EXPECT_THROW(Item("Day")->SetParent(Bar), EAbort) << "an item lives only in a section";
  EXPECT_EQ(Calendar->Parent(), other);

  Item("Sent")->SetParent(Tasks);
  EXPECT_EQ(Mail->GetCount(), 1);
  ASSERT_EQ(Tasks->GetCount(), 2);
  EXPECT_EQ(Item("Sent")->Index(), 1);
  Item("Sent")->SetParent(nullptr);
  EXPECT_EQ(Tasks->GetCount(), 1);
  EXPECT_EQ(Item("Sent")->Section(), nullptr);
  delete Item("Today");
  EXPECT_EQ(Tasks->GetCount(), 0);
  delete Mail;
  ASSERT_EQ(Bar->GetCount(), 1);
  EXPECT_EQ(Tasks->Index(), 0);
  // The bar goes with its sections and their items; nothing refers back.
  delete other;
  EXPECT_EQ(Form->FindComponent("Week"), nullptr);
  Tasks->SetActive(true);
  Settle();
}

TEST_F(SectionBarTest, IndexMovesSectionsAndItemsWithinTheirLists)
{
  Tasks->SetIndex(0);
  EXPECT_EQ(Bar->GetSection(0), Tasks);
  EXPECT_EQ(Mail->Index(), 1);
  Settle();
  EXPECT_EQ(Mail->Top(), 5 + 40);
  Item("Sent")->SetIndex(0);
  EXPECT_EQ(Mail->GetItem(0), Item("Sent"));
  EXPECT_EQ(Item("Sent")->Top(), 35);
  EXPECT_EQ(Item("Inbox")->Top(), 35 + 24);
  Mail->SetIndex(99); // out of range: last
  EXPECT_EQ(Bar->GetSection(2), Mail);
}

TEST_F(SectionBarTest, TheBarPaintsGradientsCaptionsAndThePointer)
{
  RunUntilIdle();
  const Integer right = Bar->Width();
  EXPECT_EQ(ControlPixel(Bar, 40, 6), Win::RGB(0xFF, 0x72, 0x00)) << "the open section's gradient starts orange";
  EXPECT_EQ(ControlPixel(Bar, right - 1, 200), Win::RGB(0x80, 0x80, 0x80)) << "the edge line";
  Win::COLORREF bottom = ControlPixel(Bar, 40, Bar->Height() - 1);
  EXPECT_NEAR(Win::GetRValue(bottom), 0xEF, 1) << "the bar's gradient ends light";
  // The active item's pointer: a white notch at the right edge, outlined grey.
  TRect inbox = Bar->Painter()->GetBoundsRect(Item("Inbox"));
  Integer mid = inbox.Top + inbox.Height() / 2;
  EXPECT_EQ(ControlPixel(Bar, inbox.Right, mid), Win::RGB(255, 255, 255));
  EXPECT_NE(ControlPixel(Bar, inbox.Right - 12, mid), Win::RGB(255, 255, 255));
  // Captions are drawn: dark ink in the closed calendar title, white in the
  // active item.
  const Win::TImage shot = Shot();
  auto inkIn = [&](TRect R, auto Pred) {
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Left + 40; ++x)
        if (Pred(shot.Pixel(x, y)))
          return true;
    return false;
  };
  EXPECT_TRUE(inkIn(Bar->Painter()->GetLabelRect(Calendar), [](Win::COLORREF c) { return Win::GetRValue(c) < 100; }));
  EXPECT_TRUE(inkIn(inbox, [](Win::COLORREF c) { return c == Win::RGB(255, 255, 255); }));
}

TEST_F(SectionBarTest, ItemsOutsideTheSlidingSectionAreNotDrawnButTheActivePointerIs)
{
  Bar->SetResizeSpeed(400);
  Item("Week")->SetActive(true);
  RunUntilIdle(); // Calendar is 48 high: neither item fits yet
  TRect week = Bar->Painter()->GetBoundsRect(Item("Week"));
  Integer mid = week.Top + week.Height() / 2;
  EXPECT_EQ(ControlPixel(Bar, week.Right, mid), Win::RGB(255, 255, 255)) << "the pointer shows";
  TRect day = Bar->Painter()->GetBoundsRect(Item("Day"));
  const Win::TImage shot = Shot();
  for (Integer x = day.Left; x < day.Left + 40; ++x)
    ASSERT_NE(shot.Pixel(x, day.Top + 12), Win::RGB(0, 0, 0)) << "no caption of an item that does not fit";
}

TEST_F(SectionBarTest, ImagesIndentTheCaptionAndItemsAndAreForgottenWhenFreed)
{
  auto* images = new TImageList(Form);
  images->SetWidth(16);
  images->SetHeight(16);
  Mail->SetImages(images);
  EXPECT_EQ(Item("Inbox")->Left(), 10 + 5 + 16);
  EXPECT_EQ(Bar->Painter()->GetLabelRect(Mail).Left, 10 + 16 + 5);
  delete images;
  EXPECT_EQ(Mail->Images(), nullptr);
  EXPECT_EQ(Item("Inbox")->Left(), 10);
  RunUntilIdle();
}

TEST_F(SectionBarTest, HoverUnderlinesWhateverTheHostDoesWithTheMouseEvents)
{
  int hostEnters = 0;
  TPageItem* sent = Item("Sent");
  sent->OnMouseEnter = [&](TObject*) { ++hostEnters; };
  sent->OnMouseLeave = nullptr;
  auto underlined = [](TBaseSectionBarItem* E) {
    TFont font;
    E->PrepareFont(&font);
    return font.Style().Contains(fsUnderline);
  };
  MoveOnto(sent, 10, 10);
  EXPECT_TRUE(sent->MouseOver());
  EXPECT_TRUE(underlined(sent));
  EXPECT_EQ(hostEnters, 1) << "the host's handler still runs";
  MoveOnto(Tasks, 10, 10);
  EXPECT_FALSE(sent->MouseOver());
  EXPECT_FALSE(underlined(sent));
  EXPECT_TRUE(underlined(Tasks));
  // The active element is white instead.
  ClickOn(Tasks, 10, 10);
  TFont font;
  Tasks->PrepareFont(&font);
  EXPECT_EQ(font.Color(), TColor(0x00FFFFFF));
  EXPECT_EQ(font.Size(), 12);
}

TEST_F(SectionBarTest, BarsTooSmallForTheirGradientsStillPaint)
{
  Bar->SetAlign(alNone);
  for (Integer width : {1, 0}) {
    Bar->SetWidth(width);
    Bar->Invalidate();
    EXPECT_NO_THROW(AdvanceBy(200)) << "width " << width;
  }
  Bar->SetWidth(150);
  Bar->SetHeight(3);
  Bar->Invalidate();
  EXPECT_NO_THROW(AdvanceBy(200));
}

class SectionBarStreamingTest : public QxTest::QxDesktopFixture {
protected:
  TQxFrameClient Root{nullptr};
};

TEST_F(SectionBarStreamingTest, DefaultsStayOutAndLoadingSortsByIndexStably)
{
  Root.SetName("Root");
  auto* bar = QxTest::AddNamed<TSectionBar>(&Root, "Bar");
  QxTest::AddNamed<TPageSection>(&Root, "First", bar);
  const String text = WriteComponentRes(&Root);
  QxTest::ExpectLacks(text, {"ResizeSpeed", "Align", "ImageIndex", "Hidden", "Active"});
  QxTest::ExpectHas(text, {"Index = 0"});

  // Written out of order, with two sections claiming the same place.
  TQxFrameClient copy(nullptr);
  ReadComponentRes("object Root: TQxFrameClient\n"
                   "  object Bar: TSectionBar\n    ResizeSpeed = 100\n"
                   "    object C: TPageSection\n      Index = 2\n"
                   "      object C2: TPageItem\n        Index = 1\n      end\n"
                   "      object C1: TPageItem\n        Index = 0\n      end\n    end\n"
                   "    object B: TPageSection\n      Index = 1\n    end\n"
                   "    object A: TPageSection\n      Index = 1\n    end\n"
                   "  end\nend\n",
                   &copy);
  auto* read = dynamic_cast<TSectionBar*>(copy.FindComponent("Bar"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->ResizeSpeed(), 100);
  ASSERT_EQ(read->GetCount(), 3);
  std::vector<String> order;
  for (Integer i = 0; i < read->GetCount(); ++i)
    order.push_back(read->GetSection(i)->Name() + "=" + IntToStr(read->GetSection(i)->Index()));
  EXPECT_EQ(order, (std::vector<String>{"B=0", "A=1", "C=2"}));
  auto* c = read->GetSection(2);
  ASSERT_EQ(c->GetCount(), 2);
  EXPECT_EQ(c->GetItem(0)->Name(), "C1");
  EXPECT_EQ(c->GetItem(1)->Index(), 1);
  // Sized while read, with no window anywhere: titles are measured all the same.
  AdvanceBy(1000);
  EXPECT_FALSE(read->HandleAllocated());
  EXPECT_EQ(c->Height(), 40);
  c->SetCaption("Two\nlines");
  EXPECT_GT(c->GetTitleHeight(), 40) << "a caption taller than the minimum sets the title's height";
  EXPECT_FALSE(read->HandleAllocated());
}

} // namespace

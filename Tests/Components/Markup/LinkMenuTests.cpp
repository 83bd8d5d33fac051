// The link menu on a form with real actions and popup menus: the markup it
// builds, its colours on the screen, clicks by link and the menu dropped
// under the clicked word, and what happens when a handler frees what the
// menu refers to.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.LinkMenu.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.ActnList.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.Menus.hpp>
#include <Win.Desktop.hpp>

#include <functional>
#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

const String Orange = "$005196FF";
const String Grey = "$00808080";

String Link(int Index, const String& Caption)
{
  return "<a href=\"" + std::to_string(Index) + "\">" + Caption + "</a>";
}

String InMenuColour(const String& Links)
{
  return "<font color=\"" + Orange + "\">" + Links + "</font>";
}

class LinkMenuTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = new TForm(Application);
    Form->SetBounds(20, 20, 400, 240);
    Form->SetColor(clWhite);
    Form->Font()->SetName("DejaVu Sans Mono");
    Form->Font()->SetSize(10);
    Form->Show();
    Menu = new TQxLinkMenu(Form);
    Menu->SetBounds(370, 20, 10, 10); // right-justified: grows to the left
    Menu->SetParent(Form);
    RunUntilIdle();
  }
  void TearDown() override
  {
    SetMenuLoopIdleHook(OldHook);
    QxDesktopFixture::TearDown();
  }
  // An item whose action logs its caption when it runs.
  TLinkMenuItem* AddLink(const String& Caption, bool Enabled = true, bool Visible = true)
  {
    auto* action = new TAction(Form);
    action->SetCaption(Caption);
    action->SetEnabled(Enabled);
    action->SetVisible(Visible);
    action->SetOnExecute([this, Caption](TObject*) { Log.push_back(Caption); });
    TLinkMenuItem* item = Menu->Links()->Add();
    item->SetAction(action);
    return item;
  }
  TPopupMenu* NewPopup()
  {
    auto* popup = new TPopupMenu(Form);
    auto* entry = new TMenuItem(Form);
    entry->SetCaption("Entry");
    popup->Items()->Add(entry);
    popup->OnPopup = [this](TObject*) { Log.push_back("popup"); };
    return popup;
  }
  // Every popup menu that opens closes again at once.
  void CloseMenusAtOnce()
  {
    OldHook = SetMenuLoopIdleHook([](TPopupMenu*) { Win::InjectKey(Win::VK_ESCAPE); });
  }
  // The first chunk whose word is Text.
  const THtmlRenderChunk& ChunkOf(const String& Text)
  {
    for (const THtmlRenderChunk& chunk : Menu->Renderer()->Chunks())
      if (chunk.Text() == Text)
        return chunk;
    ADD_FAILURE() << "no chunk " << Text;
    return Menu->Renderer()->Chunks().front();
  }
  void ClickWord(const String& Text)
  {
    const TRect r = ChunkOf(Text).BoundsRect();
    ClickOn(Menu, r.Left + 2, r.Top + r.Height() / 2);
  }
  // The menu's pixels on the screen, composed once.
  struct TShot {
    Win::TImage Image;
    TPoint Origin;
    Win::COLORREF At(int x, int y) const { return Image.Pixel(Origin.X + x, Origin.Y + y); }
  };
  TShot Shot() { return {Win::ComposeDesktop(), Menu->ClientToScreen(TPoint(0, 0))}; }
  // Pixels of the word's rectangle that pass the test.
  int Count(const TShot& Screen, const String& Text, const std::function<bool(Win::COLORREF)>& Test)
  {
    const TRect r = ChunkOf(Text).BoundsRect();
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        n += Test(Screen.At(x, y));
    return n;
  }

  TForm* Form = nullptr;
  TQxLinkMenu* Menu = nullptr;
  std::vector<String> Log;
  TMenuLoopIdleHook OldHook;
};

TEST_F(LinkMenuTest, TheCaptionJoinsTheShownItemsByTheirIndexInTheWholeCollection)
{
  AddLink("Open");
  AddLink("Hidden", true, false);
  AddLink("Save", false);
  Menu->Links()->Add()->SetPopupMenu(NewPopup()); // no action: no link
  AddLink("Close");
  EXPECT_EQ(Menu->Caption(), InMenuColour(Link(0, "Open") + " | <font color=\"" + Grey + "\">Save</font> | " +
                                          Link(4, "Close")));
  // The actions' changes reach the text at once.
  auto* save = static_cast<TCustomAction*>(Menu->Links()->Items(2)->Action());
  save->SetCaption("Store");
  save->SetEnabled(true);
  static_cast<TCustomAction*>(Menu->Links()->Items(1)->Action())->SetVisible(true);
  static_cast<TCustomAction*>(Menu->Links()->Items(4)->Action())->SetVisible(false);
  EXPECT_EQ(Menu->Caption(), InMenuColour(Link(0, "Open") + " | " + Link(1, "Hidden") + " | " + Link(2, "Store")));
  // A caption set by hand lasts only until the next change of an item.
  Menu->SetCaption("by hand");
  save->SetCaption("Save");
  EXPECT_EQ(Menu->Caption(), InMenuColour(Link(0, "Open") + " | " + Link(1, "Hidden") + " | " + Link(2, "Save")));
}

TEST_F(LinkMenuTest, APopupMenuKeepsADisabledItemALinkAndFreedReferencesLeaveTheirItems)
{
  AddLink("Open");
  TLinkMenuItem* more = AddLink("More", false);
  more->SetPopupMenu(NewPopup());
  EXPECT_TRUE(more->Enabled());
  // The action's own state still follows underneath.
  static_cast<TCustomAction*>(more->Action())->SetEnabled(true);
  static_cast<TCustomAction*>(more->Action())->SetEnabled(false);
  EXPECT_EQ(Menu->Caption(), InMenuColour(Link(0, "Open") + " | " + Link(1, "More")));
  delete more->PopupMenu();
  EXPECT_EQ(more->PopupMenu(), nullptr);
  EXPECT_EQ(Menu->Caption(), InMenuColour(Link(0, "Open") + " | <font color=\"" + Grey + "\">More</font>"));
  delete Menu->Links()->Items(0)->Action();
  EXPECT_EQ(Menu->Links()->Items(0)->Action(), nullptr);
  EXPECT_EQ(Menu->Caption(), InMenuColour("<font color=\"" + Grey + "\">More</font>"));
  // An update asked by the menu reaches the text too.
  auto* action = static_cast<TAction*>(more->Action());
  action->OnUpdate = [action](TObject*) { action->SetEnabled(true); };
  Menu->UpdateLinks();
  EXPECT_EQ(Menu->Caption(), InMenuColour(Link(1, "More")));
  // The form tells its components of each one it frees, the menu among them.
  delete Form;
  Form = nullptr;
  RunUntilIdle();
}

TEST_F(LinkMenuTest, LinksAndSeparatorsShowInOrangeADisabledItemInGreyAndAHoveredLinkUnderlined)
{
  AddLink("Open");
  AddLink("Save", false);
  RunUntilIdle();
  const TShot before = Shot();
  // Orange ink on white: red full, then green, then blue; grey ink: all three alike.
  const auto exactlyOrange = [](Win::COLORREF c) { return c == Win::COLORREF(TQxCustomLinkMenu::LinkMenuColor); };
  const auto orangeInk = [](Win::COLORREF c) {
    return Win::GetRValue(c) == 0xFF && Win::GetGValue(c) < 0xF0 && Win::GetGValue(c) > Win::GetBValue(c) + 20;
  };
  const auto greyInk = [](Win::COLORREF c) {
    return Win::GetRValue(c) < 0xE0 && Win::GetRValue(c) == Win::GetGValue(c) && Win::GetGValue(c) == Win::GetBValue(c);
  };
  EXPECT_GT(Count(before, "Open", exactlyOrange), 5);
  EXPECT_GT(Count(before, "|", orangeInk), 5);
  EXPECT_GT(Count(before, "Save", greyInk), 5);
  EXPECT_EQ(Count(before, "Save", orangeInk), 0);
  // The underline is one solid orange row at the bottom of the word.
  const TRect open = ChunkOf("Open").BoundsRect();
  const auto orangeRows = [&](const TShot& Screen) {
    int rows = 0;
    for (int y = open.Top; y < open.Bottom; ++y) {
      bool full = true;
      for (int x = open.Left; x < open.Right && full; ++x)
        full = Screen.At(x, y) == Win::COLORREF(TQxCustomLinkMenu::LinkMenuColor);
      rows += full;
    }
    return rows;
  };
  EXPECT_EQ(orangeRows(before), 0);
  MoveOnto(Menu, open.Left + 2, open.Top + 3);
  EXPECT_EQ(Menu->Cursor(), crHandPoint);
  EXPECT_EQ(orangeRows(Shot()), 1);
}

TEST_F(LinkMenuTest, AClickRunsTheActionOfTheClickedLinkOnly)
{
  AddLink("Open");
  AddLink("Hidden", true, false);
  AddLink("Save", false);
  AddLink("Close");
  std::vector<String> ids;
  Menu->OnLinkClick = [&](const String& Id) { ids.push_back(Id); };
  RunUntilIdle();
  ClickWord("Close");
  ClickWord("Save"); // grey text, not a link
  ClickWord("|");
  ClickWord("Open");
  EXPECT_EQ(ids, (std::vector<String>{"3", "0"}));
  EXPECT_EQ(Log, (std::vector<String>{"Close", "Open"}));
}

TEST_F(LinkMenuTest, ThePopupDropsFivePixelsUnderTheClickedWordAndADisabledActionDoesNotRun)
{
  AddLink("Open");
  TLinkMenuItem* more = AddLink("More", false);
  TPopupMenu* popup = NewPopup();
  more->SetPopupMenu(popup);
  CloseMenusAtOnce();
  RunUntilIdle();
  const THtmlRenderChunk chunk = ChunkOf("More");
  ClickWord("More");
  EXPECT_EQ(Log, (std::vector<String>{"popup"}));
  EXPECT_EQ(popup->PopupPoint(), Menu->ClientToScreen(TPoint(chunk.X(), chunk.Y() + chunk.Height() + 5)));
  EXPECT_EQ(popup->PopupComponent(), Menu);
  // Enabled, the action runs first.
  static_cast<TCustomAction*>(more->Action())->SetEnabled(true);
  ClickWord("More");
  EXPECT_EQ(Log, (std::vector<String>{"popup", "More", "popup"}));
}

TEST_F(LinkMenuTest, AnActionThatFreesTheMenuOrItsPopupLeavesNothingToDropDown)
{
  TLinkMenuItem* item = AddLink("Go");
  item->SetPopupMenu(NewPopup());
  CloseMenusAtOnce();
  auto* action = static_cast<TAction*>(item->Action());
  action->SetOnExecute([&](TObject*) {
    Log.push_back("Go");
    delete item->PopupMenu();
  });
  RunUntilIdle();
  ClickWord("Go");
  EXPECT_EQ(Log, (std::vector<String>{"Go"}));
  EXPECT_EQ(item->PopupMenu(), nullptr);

  item->SetPopupMenu(NewPopup());
  action->SetOnExecute([&](TObject*) {
    Log.push_back("Go");
    delete Menu;
  });
  RunUntilIdle();
  ClickWord("Go");
  EXPECT_EQ(Log, (std::vector<String>{"Go", "Go"}));
}

TEST(LinkMenuStreamingTest, TheMenuWritesWhatDiffersAndReadsBackItsLinks)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* menu = QxTest::AddNamed<TQxLinkMenu>(&root, "LinkMenu1");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"Alignment", "Transparent", "ParentFont", "ParentColor",
                                                  "AutoHeight", "Caption", "LinkColor", "Links ="});
  auto* action = QxTest::AddNamed<TAction>(&root, "OpenAction");
  action->SetCaption("Open");
  auto* popup = QxTest::AddNamed<TPopupMenu>(&root, "MorePopup");
  menu->Links()->Add()->SetAction(action);
  menu->Links()->Add()->SetPopupMenu(popup);
  menu->SetAlignment(taLeftJustify);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectLacks(text, {"<font"});

  QxTest::ExpectReadsBackTheSame(&root, text);
  auto copy = QxTest::ReadAs<TQxFrameClient>(text);
  auto* read = QxTest::FindIn<TQxLinkMenu>(copy.get(), "LinkMenu1");
  ASSERT_TRUE(read) << text;
  ASSERT_EQ(read->Links()->Count(), 2);
  EXPECT_EQ(read->Links()->Items(0)->Action(), copy->FindComponent("OpenAction"));
  EXPECT_EQ(read->Links()->Items(1)->PopupMenu(), copy->FindComponent("MorePopup"));
  EXPECT_EQ(read->Caption(), InMenuColour(Link(0, "Open")));
}

} // namespace

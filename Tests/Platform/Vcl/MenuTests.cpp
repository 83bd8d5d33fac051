#include "MenuScript.hpp"
#include "TestControls.hpp"

#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>

#include <System.Classes.Streaming.hpp>
#include <Vcl.ActnList.hpp>
#include <Vcl.Menus.hpp>
#include <Win.Themes.hpp>

#include <memory>

namespace QxTest {

namespace {

TMenuItem* NewItem(TMenuItem* Parent, const String& Caption, std::vector<std::string>* Log = nullptr)
{
  auto* item = new TMenuItem(Parent->GetParentMenu() ? Parent->GetParentMenu()->Owner() : nullptr);
  item->SetCaption(Caption);
  if (Log)
    item->OnClick = [Log, item](TObject* Sender) {
      EXPECT_EQ(Sender, item);
      Log->push_back(StripHotkey(item->Caption()));
    };
  Parent->Add(item);
  return item;
}

Win::COLORREF Rgb(std::uint32_t Hex)
{
  return Win::RGB(Win::BYTE(Hex >> 16), Win::BYTE(Hex >> 8), Win::BYTE(Hex));
}

// The menu of most tests: Open, a separator, a disabled item, a sub-menu
// More (Alpha, Beta) and Checked.
struct TSampleMenu {
  TPopupMenu* Menu;
  TMenuItem *Open, *Line, *Disabled, *More, *Alpha, *Beta, *Checked;
  std::vector<std::string> Log;
};

class MenuTest : public ControlTest {
protected:
  TSampleMenu& Sample(TComponent* Owner = nullptr)
  {
    FSample.Menu = new TPopupMenu(Owner ? Owner : Application);
    TMenuItem* root = FSample.Menu->Items();
    FSample.Open = NewItem(root, "&Open", &FSample.Log);
    FSample.Open->SetShortCut(ShortCut('O', {ssCtrl}));
    FSample.Line = NewItem(root, "-");
    FSample.Disabled = NewItem(root, "&Disabled", &FSample.Log);
    FSample.Disabled->SetEnabled(false);
    FSample.More = NewItem(root, "&More");
    FSample.Alpha = NewItem(FSample.More, "&Alpha", &FSample.Log);
    FSample.Beta = NewItem(FSample.More, "&Beta", &FSample.Log);
    FSample.Checked = NewItem(root, "&Checked", &FSample.Log);
    FSample.Checked->SetChecked(true);
    return FSample;
  }
  TSampleMenu FSample;
};

} // namespace

TEST_F(MenuTest, ShortCutsReadAndWriteAsText)
{
  EXPECT_EQ(ShortCutToText(ShortCut('S', {ssCtrl})), "Ctrl+S");
  EXPECT_EQ(ShortCutToText(ShortCut(Win::VK_DELETE, {ssShift})), "Shift+Del");
  EXPECT_EQ(ShortCutToText(ShortCut(Win::VK_F4, {ssAlt})), "Alt+F4");
  EXPECT_EQ(ShortCutToText(ShortCut('1', {ssShift, ssCtrl, ssAlt})), "Shift+Ctrl+Alt+1");
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(0x07), "") << "a key without a name";
  EXPECT_EQ(TextToShortCut("ctrl+shift+f12"), ShortCut(Win::VK_F12, {ssCtrl, ssShift}));
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(ShortCut(Win::VK_RETURN, {ssAlt}), key, shift);
  EXPECT_EQ(key, Win::VK_RETURN);
  EXPECT_EQ(shift, TShiftState{ssAlt});
  EXPECT_EQ(StripHotkey("Save &As && Close&"), "Save As & Close");
  EXPECT_EQ(GetHotkey("Save &as"), U'A');
  EXPECT_EQ(GetHotkey("Fish && Chips"), 0u);
  EXPECT_EQ(GetHotkey("&\xC3\xA9t\xC3\xA9"), U'\u00E9');
}

TEST_F(MenuTest, ItemTreesHoldTheirItemsAndFreeThemWithThemselves)
{
  TSampleMenu& s = Sample();
  TMenuItem* root = s.Menu->Items();
  EXPECT_EQ(root->Count(), 5);
  EXPECT_EQ(root->Find("more"), s.More);
  EXPECT_EQ(root->Find("&Checked"), s.Checked);
  EXPECT_EQ(root->Find("Nothing"), nullptr);
  EXPECT_EQ(s.Beta->MenuIndex(), 1);
  EXPECT_EQ(s.Beta->GetParentMenu(), s.Menu);
  EXPECT_TRUE(s.Line->IsLine());
  EXPECT_THROW(root->Items(5), EMenuError);
  EXPECT_THROW(root->Insert(7, new TMenuItem(Application)), EMenuError);
  EXPECT_THROW(root->Add(s.Beta), EMenuError) << "already in a menu";
  EXPECT_THROW(s.Alpha->Add(s.More), EMenuError);
  s.More->Delete(0);
  EXPECT_EQ(s.Alpha->Parent(), nullptr);
  root->Insert(0, s.Alpha);
  EXPECT_EQ(root->Items(0), s.Alpha);

  // Radio items of one group check one at a time.
  auto* red = NewItem(root, "Red");
  auto* green = NewItem(root, "Green");
  auto* other = NewItem(root, "Other");
  for (TMenuItem* i : {red, green, other})
    i->SetRadioItem(true);
  other->SetGroupIndex(2);
  red->SetChecked(true);
  other->SetChecked(true);
  green->SetChecked(true);
  EXPECT_FALSE(red->Checked());
  EXPECT_TRUE(green->Checked());
  EXPECT_TRUE(other->Checked());
  green->SetAutoCheck(true);
  green->Click();
  EXPECT_TRUE(green->Checked()) << "a radio item stays checked when clicked";

  // Freeing an item frees its sub-items and takes it out of its parent;
  // its owner frees it too, out of the tree first.
  delete s.More;
  EXPECT_EQ(root->Find("More"), nullptr);
  delete red;
  EXPECT_EQ(root->IndexOf(red), -1);
  // Images reach the items through their menu, which forgets them when they go.
  auto* images = new TImageList(Application);
  s.Menu->SetImages(images);
  EXPECT_EQ(s.Alpha->GetImageList(), images);
  delete images;
  EXPECT_EQ(s.Menu->Images(), nullptr);
  delete s.Menu;
}

TEST_F(MenuTest, KeysWalkIntoASubMenuAndTheClickRunsAfterTheMenuClosed)
{
  TSampleMenu& s = Sample();
  bool popped = false;
  s.Menu->OnPopup = [&](TObject* Sender) {
    EXPECT_EQ(Sender, s.Menu);
    EXPECT_FALSE(s.Menu->IsOpen());
    popped = true;
  };
  s.Beta->OnClick = [&](TObject*) {
    TRect r;
    EXPECT_FALSE(s.Menu->IsOpen());
    EXPECT_FALSE(GetMenuItemRect(s.Beta, r)) << "the windows are gone";
    s.Log.push_back("Beta");
  };
  // Down: Open; Down skips the separator and the disabled item; Right opens
  // More on Alpha; Down, Enter: Beta.
  TMenuScript script({Keys({Win::VK_DOWN, Win::VK_DOWN, Win::VK_RIGHT}),
                      [&](TPopupMenu*) {
                        EXPECT_EQ(ItemRect(s.Alpha).Left, ItemRect(s.Open).Right + 3)
                          << "the sub-menu opens beside its item";
                        Win::InjectKey(Win::VK_DOWN);
                        Win::InjectKey(Win::VK_RETURN);
                      }});
  s.Menu->Popup(40, 30);
  EXPECT_TRUE(popped);
  EXPECT_EQ(s.Log, std::vector<std::string>{"Beta"});
  EXPECT_EQ(s.Menu->PopupPoint(), TPoint(40, 30));

  // Left and Escape close one level each; Up wraps to the last item.
  s.Log.clear();
  TMenuScript again({Keys({Win::VK_DOWN, Win::VK_DOWN, Win::VK_RIGHT, Win::VK_LEFT, Win::VK_RIGHT, Win::VK_ESCAPE}),
                     [&](TPopupMenu*) {
                       TRect r;
                       EXPECT_FALSE(GetMenuItemRect(s.Alpha, r));
                       Win::InjectKey(Win::VK_HOME);
                       Win::InjectKey(Win::VK_UP);
                       Win::InjectKey(Win::VK_RETURN);
                     }});
  s.Menu->Popup(40, 30);
  EXPECT_EQ(s.Log, std::vector<std::string>{"Checked"});

  // Accelerators: M opens More, b picks Beta; Escape on the first level
  // closes without a click.
  s.Log.clear();
  TMenuScript letters({Keys({'M', 'B'})});
  s.Menu->Popup(40, 30);
  EXPECT_EQ(s.Log, std::vector<std::string>{"Beta"});
  s.Log.clear();
  TMenuScript escape({Keys({Win::VK_DOWN, Win::VK_ESCAPE})});
  s.Menu->Popup(40, 30);
  EXPECT_TRUE(s.Log.empty());
  EXPECT_EQ(escape.Done(), 1u);
}

TEST_F(MenuTest, TheMouseHoversIntoASubMenuAndClicksAnItem)
{
  TSampleMenu& s = Sample();
  TMenuScript script({HoverItem(s.Disabled), HoverItem(s.More), ClickItem(s.Alpha)});
  s.Menu->Popup(10, 10);
  EXPECT_EQ(s.Log, std::vector<std::string>{"Alpha"});

  // A click on a disabled item, a separator or a sub-menu's item chooses
  // nothing; moving to another item closes the open sub-menu.
  s.Log.clear();
  TMenuScript nothing({ClickItem(s.Disabled), ClickItem(s.More), HoverItem(s.Open), [&](TPopupMenu*) {
                         TRect r;
                         EXPECT_FALSE(GetMenuItemRect(s.Alpha, r));
                         TPoint line = ItemRect(s.Line).CenterPoint();
                         Win::InjectClick(line.X, line.Y);
                       },
                       Keys({Win::VK_ESCAPE})});
  s.Menu->Popup(10, 10);
  EXPECT_TRUE(s.Log.empty());
  EXPECT_EQ(nothing.Done(), 5u);
}

TEST_F(MenuTest, APressOutsideClosesTheMenuAndReachesTheWindowBeneathAfterwards)
{
  TForm* form = MakeForm(0, 0, 400, 300);
  auto* target = Place(new TTestControl(form, "target"), form, 300, 200, 50, 50, clRed);
  bool openAtPress = true, moved = false;
  target->OnMouseMove = [&](TObject*, TShiftState, Integer, Integer) { moved = true; };
  target->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    openAtPress = FSample.Menu->IsOpen();
  };
  TSampleMenu& s = Sample();
  // A control holds the capture (a button being pressed): the menu takes it away.
  target->SetMouseCapture(true);
  TMenuScript script({[&](TPopupMenu*) {
                        EXPECT_EQ(Win::GetCapture(), nullptr);
                        TPoint c = target->ClientToScreen(TPoint(25, 25));
                        Win::InjectMouseMove(c.X, c.Y);
                      },
                      [&](TPopupMenu*) {
                        EXPECT_FALSE(moved) << "the pointer reaches only the menu";
                        Win::InjectMouseDown();
                        Win::InjectMouseUp();
                      }});
  s.Menu->Popup(10, 10);
  EXPECT_FALSE(target->MouseCapture());
  EXPECT_TRUE(s.Log.empty());
  RunUntilIdle();
  EXPECT_FALSE(openAtPress) << "the press arrived after the menu closed";

  // A press on the bare desktop closes it as well.
  TMenuScript desktop({[](TPopupMenu*) { Win::InjectClick(390, 500); }});
  s.Menu->Popup(10, 10);
  EXPECT_EQ(desktop.Done(), 1u);
  // So do a switch to another application and a cancel-mode request.
  TMenuScript away({[](TPopupMenu*) { Win::InjectAppSwitch(); }});
  s.Menu->Popup(10, 10);
  EXPECT_EQ(away.Done(), 1u);
  TMenuScript cancel({[&](TPopupMenu*) {
    for (Win::HWND w : Win::TopLevelWindows())
      if (w != form->Handle())
        Win::SendMessage(w, Win::WM_CANCELMODE, 0, 0);
  }});
  s.Menu->Popup(10, 10);
  EXPECT_EQ(cancel.Done(), 1u);
  EXPECT_TRUE(s.Log.empty());
}

TEST_F(MenuTest, RightClicksAndTheKeyboardAskForTheContextMenu)
{
  TForm* form = MakeForm(50, 40, 400, 300);
  auto* panel = Place(new TTestControl(form, "panel"), form, 10, 10, 300, 200, clWhite);
  auto* box = Place(new TBox(form, "box"), panel, 100, 100, 50, 50, clBlue);
  TSampleMenu& s = Sample(form);
  auto* boxMenu = new TPopupMenu(form);
  NewItem(boxMenu->Items(), "&Box item", &s.Log);
  panel->SetPopupMenu(s.Menu);
  box->SetPopupMenu(boxMenu);
  TPoint asked(-5, -5);
  bool handle = false;
  panel->OnContextPopup = [&](TObject*, TPoint MousePos, bool& Handled) {
    asked = MousePos;
    Handled = handle;
  };
  TPoint click = panel->ClientToScreen(TPoint(20, 30));
  TMenuScript first({[&](TPopupMenu* Menu) {
                       EXPECT_EQ(Menu, s.Menu);
                       EXPECT_EQ(ItemRect(s.Open).Left - 3, click.X) << "the menu opens at the pointer";
                       Win::InjectKey(Win::VK_DOWN);
                       Win::InjectKey(Win::VK_RETURN);
                     }});
  Win::InjectClick(click.X, click.Y, Win::TInjectButton::Right);
  RunUntilIdle();
  EXPECT_EQ(s.Log, std::vector<std::string>{"Open"});
  EXPECT_EQ(asked, TPoint(20, 30));
  EXPECT_EQ(s.Menu->PopupComponent(), panel);

  // The graphic child answers with its own menu.
  s.Log.clear();
  TMenuScript second({Keys({Win::VK_DOWN, Win::VK_RETURN})});
  TPoint onBox = box->ClientToScreen(TPoint(5, 5));
  Win::InjectClick(onBox.X, onBox.Y, Win::TInjectButton::Right);
  RunUntilIdle();
  EXPECT_EQ(s.Log, std::vector<std::string>{"Box item"});
  EXPECT_EQ(boxMenu->PopupComponent(), box);

  // Shift+F10 on the focused control: no position, the menu at its corner.
  panel->SetFocus();
  RunUntilIdle();
  TMenuScript third({[&](TPopupMenu*) {
    EXPECT_EQ(ItemRect(s.Open).TopLeft(), panel->ClientToScreen(TPoint(3, 3)));
    Win::InjectKey(Win::VK_ESCAPE);
  }});
  KeyDown(Win::VK_SHIFT);
  Key(Win::VK_F10);
  KeyUp(Win::VK_SHIFT);
  EXPECT_EQ(asked, TPoint(-1, -1));
  EXPECT_EQ(third.Done(), 1u);
  TMenuScript fourth({Keys({Win::VK_ESCAPE})});
  Key(Win::VK_APPS);
  EXPECT_EQ(fourth.Done(), 1u);

  // Handled, or AutoPopup off: no menu.
  TMenuScript none({});
  handle = true;
  Click(click.X, click.Y, Win::TInjectButton::Right);
  handle = false;
  s.Menu->SetAutoPopup(false);
  Click(click.X, click.Y, Win::TInjectButton::Right);
  EXPECT_EQ(none.Done(), 0u);
  EXPECT_EQ(s.Log.size(), 1u);
  // The menu forgets a component it was shown for that goes away.
  delete box;
  EXPECT_EQ(boxMenu->PopupComponent(), nullptr);
}

TEST_F(MenuTest, AHandlerMayFreeTheMenuAndItsOwner)
{
  TForm* form = MakeForm(0, 0, 300, 200);
  auto* panel = Place(new TTestControl(form, "panel"), form, 0, 0, 300, 200, clWhite);
  TSampleMenu& s = Sample(form);
  panel->SetPopupMenu(s.Menu);
  s.Open->OnClick = [form](TObject*) { delete form; };
  TMenuScript script({Keys({Win::VK_DOWN, Win::VK_RETURN})});
  Click(50, 50, Win::TInjectButton::Right);
  EXPECT_EQ(Screen->FormCount(), 0);

  // The menu freed while it is open (here by the tour) closes it.
  TSampleMenu& t = Sample();
  bool clicked = false;
  t.Open->OnClick = [&](TObject*) { clicked = true; };
  TMenuScript freeing({Keys({Win::VK_DOWN}), [&](TPopupMenu* Menu) { delete Menu; }});
  t.Menu->Popup(10, 10);
  EXPECT_FALSE(clicked);
  EXPECT_EQ(freeing.Done(), 2u);
  // So does one of its items.
  TSampleMenu& u = Sample();
  TMenuScript item({Keys({Win::VK_DOWN, Win::VK_DOWN, Win::VK_RIGHT}), [&](TPopupMenu*) { delete u.Alpha; }});
  u.Menu->Popup(10, 10);
  EXPECT_EQ(u.More->Count(), 1);
  // An OnPopup that frees the menu: nothing shows.
  TSampleMenu& v = Sample();
  v.Menu->OnPopup = [&](TObject*) { delete v.Menu; };
  v.Menu->Popup(10, 10);
}

TEST_F(MenuTest, TheMenuStaysOnTheScreenAndHonoursItsAlignment)
{
  TSampleMenu& s = Sample();
  const int w = Win::GetSystemMetrics(Win::SM_CXSCREEN), h = Win::GetSystemMetrics(Win::SM_CYSCREEN);
  TRect first, sub, last;
  TMenuScript corner({Keys({Win::VK_DOWN, Win::VK_DOWN, Win::VK_RIGHT}), [&](TPopupMenu*) {
                        first = ItemRect(s.Open);
                        sub = ItemRect(s.Alpha);
                        last = ItemRect(s.Checked);
                        Win::InjectKey(Win::VK_ESCAPE);
                        Win::InjectKey(Win::VK_ESCAPE);
                      }});
  s.Menu->Popup(w - 5, h - 5);
  EXPECT_LE(first.Right + 3, w - 5) << "flipped to the left of the point";
  EXPECT_LE(last.Bottom, h);
  EXPECT_LT(sub.Right, first.Left + 3) << "the sub-menu opens on the left";
  EXPECT_GE(first.Top, 0);

  TRect right, centre;
  s.Menu->SetAlignment(paRight);
  TMenuScript r({[&](TPopupMenu*) {
    right = ItemRect(s.Open);
    Win::InjectKey(Win::VK_ESCAPE);
  }});
  s.Menu->Popup(300, 100);
  EXPECT_EQ(right.Right + 3, 300);
  s.Menu->SetAlignment(paCenter);
  TMenuScript c({[&](TPopupMenu*) {
    centre = ItemRect(s.Open);
    Win::InjectKey(Win::VK_ESCAPE);
  }});
  s.Menu->Popup(300, 100);
  EXPECT_NEAR((centre.Left + centre.Right) / 2, 300, 1);
}

// Pixels of an open menu: the hot item, the separator, the check mark and
// the disabled text, in both looks.
TEST_F(MenuTest, BothLooksDrawHotItemSeparatorCheckAndDisabledText)
{
  TSampleMenu& s = Sample();
  TImageList images(nullptr);
  AddSolid(&images, clLime);
  s.Menu->SetImages(&images);
  s.Open->SetImageIndex(0);
  struct TLook {
    bool Themed;
    Win::COLORREF Hot, Line;
    int DisabledDarkest;
  };
  const TLook looks[] = {{true, Rgb(0x91C9F7), Rgb(0xCCCCCC), 0x83},
                         {false, Win::GetSysColor(Win::COLOR_HIGHLIGHT), Win::GetSysColor(Win::COLOR_BTNSHADOW), 0x80}};
  for (const TLook& look : looks) {
    SCOPED_TRACE(look.Themed ? "themed" : "classic");
    Win::EnableTheming(look.Themed);
    TMenuScript script({Keys({Win::VK_DOWN}), [&](TPopupMenu*) {
                          Win::TImage screen = Win::ComposeDesktop();
                          TRect open = ItemRect(s.Open);
                          EXPECT_EQ(screen.Pixel(open.Left + 1, open.Top + open.Height() / 2), look.Hot);
                          // The item's image from the menu's list, in the check column.
                          EXPECT_EQ(screen.Pixel(open.Left + 12, open.Top + open.Height() / 2), Rgb(0x00FF00));
                          TRect more = ItemRect(s.More);
                          EXPECT_NE(screen.Pixel(more.Left + 4, more.Top + more.Height() / 2), look.Hot);
                          // The separator's line runs through its middle.
                          TRect line = ItemRect(s.Line);
                          int y = line.Top + line.Height() / 2 - (look.Themed ? 0 : 1);
                          EXPECT_EQ(screen.Pixel(line.Left + line.Width() / 2, y), look.Line);
                          // A mark in the check column of the checked item only.
                          auto marks = [&](const TRect& r) {
                            int n = 0;
                            for (int py = r.Top; py < r.Bottom; ++py)
                              for (int px = r.Left; px < r.Left + 24; ++px) {
                                Win::COLORREF c = screen.Pixel(px, py);
                                n += std::max({Win::GetRValue(c), Win::GetGValue(c), Win::GetBValue(c)}) < 0x60;
                              }
                            return n;
                          };
                          EXPECT_GT(marks(ItemRect(s.Checked)), 4);
                          EXPECT_EQ(marks(more), 0);
                          // Disabled text is grey: nothing in it is darker.
                          auto darkest = [&](const TRect& r) {
                            int d = 255;
                            for (int py = r.Top; py < r.Bottom; ++py)
                              for (int px = r.Left + 26; px < r.Right; ++px)
                                d = std::min(d, int(Win::GetGValue(screen.Pixel(px, py))));
                            return d;
                          };
                          EXPECT_EQ(darkest(ItemRect(s.Disabled)), look.DisabledDarkest);
                          EXPECT_LT(darkest(more), 0x40);
                          SaveScreenshot(look.Themed ? "menu-themed" : "menu-classic");
                          Win::InjectKey(Win::VK_ESCAPE);
                        }});
    s.Menu->Popup(20, 20);
    EXPECT_EQ(script.Done(), 2u);
  }
  Win::EnableTheming(true);
}

TEST_F(MenuTest, AnItemShowsItsActionAndChoosingItRunsTheAction)
{
  TSampleMenu& s = Sample();
  auto* save = new TAction(Application);
  save->SetCaption("&Save");
  save->SetShortCut(ShortCut('S', {ssCtrl}));
  save->SetImageIndex(2);
  save->SetHint("Saves");
  save->SetAutoCheck(true);
  TMenuItem* item = NewItem(s.Menu->Items(), "");
  int runs = 0;
  save->SetOnExecute([&](TObject* Sender) {
    EXPECT_EQ(Sender, save);
    EXPECT_EQ(save->ActionComponent(), item);
    EXPECT_FALSE(s.Menu->IsOpen());
    ++runs;
  });
  item->SetAction(save);
  EXPECT_EQ(item->Caption(), "&Save");
  EXPECT_EQ(item->ShortCut(), ShortCut('S', {ssCtrl}));
  EXPECT_EQ(item->ImageIndex(), 2);
  EXPECT_EQ(item->Hint(), "Saves");
  EXPECT_FALSE(item->IsCaptionStored());
  save->SetEnabled(false);
  EXPECT_FALSE(item->Enabled());
  save->SetEnabled(true);
  // An item that went its own way keeps its value.
  item->SetHint("Mine");
  save->SetHint("Writes");
  EXPECT_EQ(item->Hint(), "Mine");
  EXPECT_TRUE(item->IsHintStored());

  TMenuScript choose({Keys({Win::VK_END, Win::VK_RETURN})});
  s.Menu->Popup(10, 10);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(save->Checked()) << "the action's AutoCheck";
  EXPECT_TRUE(item->Checked());
  // With an OnClick of its own the item runs that instead.
  item->OnClick = [&](TObject*) { runs += 10; };
  item->Click();
  EXPECT_EQ(runs, 11);
  delete save;
  EXPECT_EQ(item->Action(), nullptr);
  item->Click();
  EXPECT_EQ(runs, 21);
}

TEST_F(MenuTest, ItemsAreReadAndWrittenNestedInTheirMenu)
{
  const String text = "object Host: TForm\n"
                      "  object Menu: TPopupMenu\n"
                      "    Alignment = paCenter\n"
                      "    AutoPopup = False\n"
                      "    object SaveItem: TMenuItem\n"
                      "      Caption = '&Save'\n"
                      "      ShortCut = 16467\n"
                      "    end\n"
                      "    object MoreItem: TMenuItem\n"
                      "      Caption = '&More'\n"
                      "      object RedItem: TMenuItem\n"
                      "        Caption = 'Red'\n"
                      "        Checked = True\n"
                      "        GroupIndex = 1\n"
                      "        RadioItem = True\n"
                      "      end\n"
                      "      object HiddenItem: TMenuItem\n"
                      "        Caption = 'Hidden'\n"
                      "        Enabled = False\n"
                      "        Visible = False\n"
                      "      end\n"
                      "    end\n"
                      "  end\n"
                      "end\n";
  auto form = ReadAs(text);
  auto* menu = FindIn<TPopupMenu>(form.get(), "Menu");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->Alignment(), paCenter);
  EXPECT_FALSE(menu->AutoPopup());
  TMenuItem* more = menu->Items()->Find("More");
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(menu->Items()->Items(0)->ShortCut(), ShortCut('S', {ssCtrl}));
  EXPECT_EQ(more->Count(), 2);
  EXPECT_TRUE(more->Items(0)->RadioItem());
  EXPECT_FALSE(more->Items(1)->Visible());
  EXPECT_EQ(more->GetParentComponent(), menu);
  EXPECT_EQ(more->Items(0)->GetParentComponent(), more);
  // Written back the same (after whatever the form itself writes).
  auto menuPart = [](const String& t) { return t.substr(std::min(t.find("  object Menu"), t.size())); };
  EXPECT_EQ(menuPart(WriteComponentRes(form.get())), menuPart(text));
}

} // namespace QxTest

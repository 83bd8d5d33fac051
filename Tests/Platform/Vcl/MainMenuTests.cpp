// A form's main menu: the bar in the form's non-client strip, driven by
// injected mouse and keys as a user drives it, and a designer's form
// resource holding one.
#include "MenuScript.hpp"
#include "TestControls.hpp"

#include <QxFormCompare.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Menus.hpp>
#include <Vcl.StdCtrls.Edit.hpp>
#include <Win.MenuBar.hpp>

#include <memory>

namespace QxTest {

namespace {

// A script for the menu bar's loop.
class TBarScript : public TMenuScript {
public:
  explicit TBarScript(std::vector<TMenuStep> Steps) : TMenuScript(std::move(Steps), true) {}
};

class MainMenuTest : public ControlTest {
protected:
  // File (New Ctrl+N, Open, a line, Recent (One)), Edit (Undo, Cut
  // disabled), a disabled Tools (Options), Help (no sub-items).
  void SetUp() override
  {
    ControlTest::SetUp();
    Form = MakeForm(40, 40, 360, 240);
    Body = Place(new TTestControl(Form, "body"), Form, 0, 0, 10, 10, clYellow);
    Body->SetAlign(alClient);
    Menu = new TMainMenu(Form);
    File = Item(Menu->Items(), "&File");
    New = Item(File, "&New");
    New->SetShortCut(ShortCut('N', {ssCtrl}));
    Open = Item(File, "&Open");
    Item(File, "-");
    Recent = Item(File, "&Recent");
    One = Item(Recent, "&One");
    Edit = Item(Menu->Items(), "&Edit");
    Undo = Item(Edit, "&Undo");
    Cut = Item(Edit, "Cu&t");
    Cut->SetEnabled(false);
    Cut->SetShortCut(ShortCut('X', {ssCtrl}));
    Tools = Item(Menu->Items(), "&Tools");
    Options = Item(Tools, "&Options");
    Tools->SetEnabled(false);
    Help = Item(Menu->Items(), "&Help");
  }

  TMenuItem* Item(TMenuItem* Parent, const String& Caption)
  {
    auto* item = new TMenuItem(Form);
    item->SetCaption(Caption);
    item->OnClick = [this, item](TObject*) {
      EXPECT_FALSE(Menu->IsTracking()) << "the click runs after the menus closed";
      Log.push_back(StripHotkey(item->Caption()));
    };
    Parent->Add(item);
    return item;
  }

  // Sets the menu and lets the form repaint.
  void Attach()
  {
    Form->SetMenu(Menu);
    RunUntilIdle();
  }

  TForm* Form = nullptr;
  TTestControl* Body = nullptr;
  TMainMenu* Menu = nullptr;
  TMenuItem *File, *New, *Open, *Recent, *One, *Edit, *Undo, *Cut, *Tools, *Options, *Help;
  std::vector<std::string> Log;
};

} // namespace

TEST_F(MainMenuTest, TheBarTakesItsStripFromTheClientAreaAndGivesItBack)
{
  const Integer bar = Win::GetSystemMetrics(Win::SM_CYMENU);
  ASSERT_GT(bar, 0);
  EXPECT_EQ(Body->Height(), 240);
  Attach();
  EXPECT_EQ(Menu->Form(), Form);
  EXPECT_EQ(Form->Height(), 240) << "the window keeps its size";
  EXPECT_EQ(Form->ClientHeight(), 240 - bar);
  EXPECT_EQ(Body->BoundsRect(), Rect(0, 0, 360, 240 - bar));
  Win::RECT client;
  Win::GetClientRect(Form->Handle(), &client);
  EXPECT_EQ(client.Height(), 240 - bar);
  EXPECT_EQ(Form->ClientToScreen(TPoint(0, 0)), TPoint(40, 40 + bar));

  // The strip shows the captions on the menu colour; the client begins
  // below it, and a click there reaches the control at its own point.
  const Win::COLORREF face = ScreenPixel(40 + 355, 40 + bar / 2);
  EXPECT_TRUE(face == Win::GetSysColor(Win::COLOR_MENUBAR) || face == Win::GetSysColor(Win::COLOR_MENU));
  EXPECT_EQ(ScreenPixel(40 + 5, 40 + bar + 1), Ref(clYellow));
  TRect file = ItemRect(File);
  EXPECT_EQ(file.Top, 40);
  EXPECT_EQ(file.Height(), bar);
  EXPECT_LT(ItemRect(File).Right, ItemRect(Edit).Left + 1);
  int textPixels = 0;
  for (Win::COLORREF c : ScreenPixels(file))
    textPixels += Win::GetRValue(c) + Win::GetGValue(c) + Win::GetBValue(c) < 200;
  EXPECT_GT(textPixels, 10) << "the caption is drawn";
  EXPECT_FALSE(Shows(New)) << "sub-items show only when dropped";

  // A second form cannot show the same menu.
  TForm* other = MakeForm(500, 40, 100, 100);
  EXPECT_THROW(other->SetMenu(Menu), EInvalidOperation);

  // Changing the items redraws the bar: a new item shows at the end.
  TMenuItem* window = Item(Menu->Items(), "&Window");
  RunUntilIdle();
  EXPECT_EQ(ItemRect(window).Left, ItemRect(Help).Right);
  Help->SetVisible(false);
  EXPECT_FALSE(Shows(Help));
  EXPECT_EQ(ItemRect(window).Left, ItemRect(Tools).Right);

  // Without the menu the height comes back; freeing the menu does the same.
  Form->SetMenu(nullptr);
  RunUntilIdle();
  EXPECT_EQ(Form->ClientHeight(), 240);
  EXPECT_EQ(Body->Height(), 240);
  EXPECT_EQ(ScreenPixel(40 + 355, 40 + 2), Ref(clYellow));
  other->SetMenu(Menu);
  RunUntilIdle();
  EXPECT_EQ(other->ClientHeight(), 100 - bar);
  delete Menu;
  RunUntilIdle();
  EXPECT_EQ(other->Menu(), nullptr);
  EXPECT_EQ(other->ClientHeight(), 100);
}

TEST_F(MainMenuTest, TheMouseDropsMenusFromTheBarAndMovesAcrossIt)
{
  Attach();
  const Integer bar = Win::GetSystemMetrics(Win::SM_CYMENU);
  // Hot tracking: the item under the pointer is drawn highlighted.
  const TPoint edit = ItemRect(Edit).CenterPoint();
  const auto plain = ScreenPixels(ItemRect(Edit));
  MoveTo(edit.X, edit.Y);
  EXPECT_NE(ScreenPixels(ItemRect(Edit)), plain);
  EXPECT_EQ(ScreenPixels(ItemRect(File)).front(), plain.front()) << "only the item under the pointer";
  MoveTo(edit.X, 40 + bar + 30);
  EXPECT_EQ(ScreenPixels(ItemRect(Edit)), plain) << "leaving the bar clears it";

  // A click drops File under its item; moving over Edit switches menus,
  // the disabled Tools is passed by, and a click on Undo runs it.
  TBarScript script({[&](TPopupMenu*) {
                       EXPECT_TRUE(Menu->IsTracking());
                       EXPECT_EQ(ItemRect(New).Top, ItemRect(File).Bottom + 3) << "below the bar, inside the frame";
                       EXPECT_GE(ItemRect(New).Left, ItemRect(File).Left);
                     },
                     HoverItem(Tools),
                     [&](TPopupMenu*) {
                       EXPECT_TRUE(Shows(New)) << "a disabled item opens nothing";
                       HoverOver(Edit);
                     },
                     [&](TPopupMenu*) {
                       EXPECT_FALSE(Shows(New));
                       ClickAt(Undo);
                     }});
  ClickOn(Form, ItemRect(File).Left - Form->ClientToScreen(TPoint()).X + 3, -bar / 2);
  EXPECT_EQ(script.Done(), 4u);
  EXPECT_EQ(Log, std::vector<std::string>{"Undo"});
  EXPECT_FALSE(Menu->IsTracking());

  // A second press on the open item closes it; so does a press in the
  // client area, which then reaches the control; a disabled item chooses
  // nothing; an item without sub-items runs at once.
  Log.clear();
  bool bodyPressed = false;
  Body->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { bodyPressed = true; };
  TBarScript twice({ClickItem(Cut), ClickItem(Edit)});
  Click(ItemRect(Edit).CenterPoint().X, ItemRect(Edit).CenterPoint().Y);
  EXPECT_EQ(twice.Done(), 2u);
  TBarScript away({[&](TPopupMenu*) { Win::InjectClick(40 + 330, 40 + 200); }});
  Click(ItemRect(File).CenterPoint().X, ItemRect(File).CenterPoint().Y);
  EXPECT_EQ(away.Done(), 1u);
  EXPECT_TRUE(bodyPressed);
  Click(ItemRect(Tools).CenterPoint().X, ItemRect(Tools).CenterPoint().Y);
  Click(ItemRect(Help).CenterPoint().X, ItemRect(Help).CenterPoint().Y);
  EXPECT_EQ(Log, std::vector<std::string>{"Help"});

  // The dropped menu is the popup menu's, with the look of one.
  TBarScript look({[&](TPopupMenu*) {
    TRect r = ItemRect(Open);
    EXPECT_NE(ScreenPixel(r.Left + 1, r.CenterPoint().Y), Ref(clYellow));
    InjectKeys({Win::VK_ESCAPE, Win::VK_ESCAPE});
  }});
  Click(ItemRect(File).CenterPoint().X, ItemRect(File).CenterPoint().Y);
  EXPECT_EQ(look.Done(), 1u);
}

TEST_F(MainMenuTest, KeysFocusTheBarOpenItsMenusAndRunShortCuts)
{
  Attach();
  auto* edit = new TEdit(Form);
  edit->SetParent(Form);
  edit->SetFocus();
  RunUntilIdle();

  // F10 selects the bar; Right moves to Edit, Down drops it, Left moves to
  // File with its menu dropped, Right past the disabled Tools wraps from
  // Help to File; Escape closes the menu and keeps the bar, Escape leaves.
  TBarScript f10({[&](TPopupMenu*) {
                    EXPECT_TRUE(Menu->IsTracking());
                    EXPECT_FALSE(Shows(New));
                    InjectKeys({Win::VK_RIGHT, Win::VK_DOWN});
                  },
                  [&](TPopupMenu*) {
                    EXPECT_TRUE(Shows(Undo));
                    InjectKeys({Win::VK_LEFT});
                  },
                  [&](TPopupMenu*) {
                    EXPECT_FALSE(Shows(Undo));
                    EXPECT_TRUE(Shows(New));
                    InjectKeys({Win::VK_RIGHT, Win::VK_RIGHT});
                  },
                  [&](TPopupMenu*) {
                    EXPECT_FALSE(Shows(New)) << "Help has no menu to drop";
                    EXPECT_FALSE(Shows(Undo));
                    InjectKeys({Win::VK_RIGHT});
                  },
                  [&](TPopupMenu*) {
                    EXPECT_TRUE(Shows(New));
                    InjectKeys({Win::VK_ESCAPE});
                  },
                  [&](TPopupMenu*) {
                    EXPECT_FALSE(Shows(New));
                    EXPECT_TRUE(Menu->IsTracking());
                    InjectKeys({Win::VK_ESCAPE});
                  }});
  Key(Win::VK_F10);
  EXPECT_EQ(f10.Done(), 6u);
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(edit->Focused()) << "the focus never left the edit";

  // Alt with a letter opens that item; the letters of its menu pick, Right
  // on a sub-menu opens it.
  TBarScript alt({Keys({'R', 'O'})});
  KeyDown(Win::VK_MENU);
  Key('F');
  KeyUp(Win::VK_MENU);
  EXPECT_EQ(alt.Done(), 1u);
  EXPECT_EQ(Log, std::vector<std::string>{"One"});

  // Alt alone selects the bar; Enter drops, Enter picks; Alt with the
  // letter of the disabled Tools does nothing.
  Log.clear();
  TBarScript altAlone({Keys({Win::VK_RETURN}), Keys({Win::VK_RETURN})});
  Key(Win::VK_MENU);
  EXPECT_EQ(altAlone.Done(), 2u);
  EXPECT_EQ(Log, std::vector<std::string>{"New"});
  KeyDown(Win::VK_MENU);
  Key('T');
  KeyUp(Win::VK_MENU);
  EXPECT_FALSE(Menu->IsTracking());

  // Shortcuts of the menu's items work wherever the focus is on the form,
  // before the control sees the key; a disabled item's does nothing.
  Log.clear();
  KeyDown(Win::VK_CONTROL);
  Key('N');
  Key('X');
  KeyUp(Win::VK_CONTROL);
  EXPECT_EQ(Log, std::vector<std::string>{"New"});
  Type("ab");
  EXPECT_EQ(edit->Text(), "ab") << "other keys reach the control";
}

TEST_F(MainMenuTest, AMenuGoingAwayWhileDroppedClosesItsMenus)
{
  Attach();
  Undo->OnClick = nullptr;
  TBarScript script({[&](TPopupMenu*) { delete Cut; },
                     [&](TPopupMenu*) {
                       EXPECT_FALSE(Menu->IsTracking());
                       ADD_FAILURE() << "the loop should have ended";
                     }});
  Click(ItemRect(Edit).CenterPoint().X, ItemRect(Edit).CenterPoint().Y);
  EXPECT_EQ(script.Done(), 1u);
  EXPECT_EQ(Edit->Count(), 1);

  // The menu freed from a handler of its own item: the form lets go of it.
  Undo->OnClick = [&](TObject*) { delete Menu; };
  TBarScript freeing({ClickItem(Undo)});
  Click(ItemRect(Edit).CenterPoint().X, ItemRect(Edit).CenterPoint().Y);
  EXPECT_EQ(Form->Menu(), nullptr);
  EXPECT_EQ(Form->ClientHeight(), 240);
}

// As a designer saves a form with a main menu (the client size is the
// size below the bar).
const String SavedEditor = "object Editor: TForm\n"
                           "  Left = 0\n"
                           "  Top = 0\n"
                           "  Caption = 'Editor'\n"
                           "  ClientHeight = 200\n"
                           "  ClientWidth = 300\n"
                           "  Color = clBtnFace\n"
                           "  Font.Charset = DEFAULT_CHARSET\n"
                           "  Font.Color = clWindowText\n"
                           "  Font.Height = -11\n"
                           "  Font.Name = 'Tahoma'\n"
                           "  Font.Style = []\n"
                           "  Menu = MainMenu1\n"
                           "  OldCreateOrder = False\n"
                           "  PixelsPerInch = 96\n"
                           "  TextHeight = 13\n"
                           "  object MainMenu1: TMainMenu\n"
                           "    AutoHotkeys = maManual\n"
                           "    Left = 16\n"
                           "    Top = 8\n"
                           "    object File1: TMenuItem\n"
                           "      Caption = '&File'\n"
                           "      object Save1: TMenuItem\n"
                           "        Caption = '&Save'\n"
                           "        ShortCut = 16467\n"
                           "        OnClick = SaveClick\n"
                           "      end\n"
                           "      object N1: TMenuItem\n"
                           "        Caption = '-'\n"
                           "      end\n"
                           "      object Exit1: TMenuItem\n"
                           "        Caption = 'E&xit'\n"
                           "        Enabled = False\n"
                           "      end\n"
                           "    end\n"
                           "    object Help1: TMenuItem\n"
                           "      Caption = '&Help'\n"
                           "      object About1: TMenuItem\n"
                           "        Caption = '&About...'\n"
                           "        OnClick = SaveClick\n"
                           "      end\n"
                           "    end\n"
                           "  end\n"
                           "end\n";

TEST_F(MainMenuTest, ADesignersFormWithAMainMenuReadsShowsClicksAndWritesBackTheSame)
{
  TMethodTable methods;
  int saves = 0;
  methods.Add<void(TObject*)>("SaveClick", [&](TObject*) { ++saves; });
  auto form = ReadAs<TForm>(SavedEditor, &methods);
  ASSERT_TRUE(form);
  auto* menu = FindIn<TMainMenu>(form.get(), "MainMenu1");
  ASSERT_TRUE(menu);
  EXPECT_EQ(form->Menu(), menu);
  EXPECT_EQ(menu->AutoHotkeys(), maManual);
  ASSERT_EQ(menu->Items()->Count(), 2);
  TMenuItem* file = menu->Items()->Items(0);
  ASSERT_EQ(file->Count(), 3);
  EXPECT_EQ(file->Items(0)->ShortCut(), ShortCut('S', {ssCtrl}));
  EXPECT_FALSE(file->Items(2)->Enabled());
  EXPECT_EQ(form->ClientHeight(), 200) << "the client size stays as read, below the bar";
  EXPECT_EQ(form->Height(), 200 + Win::GetSystemMetrics(Win::SM_CYMENU));

  form->SetLeft(60);
  form->SetTop(60);
  form->Show();
  RunUntilIdle();
  EXPECT_EQ(form->ClientToScreen(TPoint()).Y, 60 + Win::GetSystemMetrics(Win::SM_CYMENU));
  TBarScript script({ClickItem(file->Items(0))});
  TPoint c = ItemRect(file).CenterPoint();
  Click(c.X, c.Y);
  KeyDown(Win::VK_CONTROL);
  Key('S');
  KeyUp(Win::VK_CONTROL);
  EXPECT_EQ(saves, 2);

  const String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n  ClientHeight = 200\n", "\n  Menu = MainMenu1\n", "\n  object MainMenu1: TMainMenu\n",
                   "\n    AutoHotkeys = maManual\n", "\n    object File1: TMenuItem\n",
                   "\n      object Save1: TMenuItem\n        Caption = '&Save'\n        ShortCut = 16467\n"
                   "        OnClick = SaveClick\n      end\n"});
  ExpectReadsBackTheSame(form.get(), text, &methods);
}

} // namespace QxTest

// The hold combo box and the check combo box as a user drives them: where
// the list opens, choosing with a click or a drag, the wheel, every way the
// list closes (each letting go of its mouse hook), the index's bounds,
// deleted items, focus, pixels, and the form resource.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>
#include <QxStyleSupport.hpp>

#include <gmock/gmock.h>

#include <Quorex.Vcl.CheckCombobox.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.HoldCombobox.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Controls.Touch.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.ImgList.hpp>
#include <Win.Desktop.hpp>
#include <Win.Hooks.hpp>

#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

int MouseHooks()
{
  return Win::InstalledHookCount(Win::WH_MOUSE);
}

class HoldComboTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 420, 400, clWhite);
    Combo = NewCombo(100, 200);
    RunUntilIdle();
  }
  THoldCombobox* NewCombo(int left, int top)
  {
    auto* combo = new THoldCombobox(Form);
    combo->SetAlign(alNone);
    Place(combo, Form, left, top, 160, 24);
    for (int i = 0; i < 5; ++i)
      combo->Items()->Add()->SetCaption("Item " + std::to_string(i));
    combo->OnChange = [this](TObject*) { ++Changes; };
    return combo;
  }
  TRect ScreenRect(TControl* Control) const
  {
    const TPoint p = Control->ClientToScreen(TPoint(0, 0));
    return TRect(p.X, p.Y, p.X + Control->Width(), p.Y + Control->Height());
  }
  // A click on the combo: the list opens and stays open.
  TComboPopup* Open(THoldCombobox* C = nullptr)
  {
    C = C ? C : Combo;
    ClickOn(C, 40, 12);
    return C->Popup();
  }
  // The middle of item I of the open list, on the screen.
  TPoint ItemCentre(Integer I) const
  {
    return Combo->Popup()->ClientToScreen(Combo->Popup()->GetItemRect(I).CenterPoint());
  }
  bool IsOpen() const { return Combo->Popup()->Visible(); }

  TForm* Form = nullptr;
  THoldCombobox* Combo = nullptr;
  int Changes = 0;
};

TEST_F(HoldComboTest, TheListOpensWithTheSelectedItemOverTheCombo)
{
  Combo->SetItemIndex(3);
  TComboPopup* popup = Open();
  ASSERT_TRUE(IsOpen());
  const TRect combo = ScreenRect(Combo);
  const Integer top = combo.Top - 2 - 3 * 24;
  EXPECT_EQ(ScreenRect(popup), TRect(combo.Left, top, combo.Right, top + 5 * 24 + 4));
  TRect item3 = popup->GetItemRect(3);
  item3.Offset(popup->Left(), popup->Top());
  EXPECT_EQ(item3, TRect(combo.Left + 2, combo.Top, combo.Right - 2, combo.Bottom));
  // The list neither activates nor sits under other windows.
  EXPECT_NE(Win::GetActiveWindow(), popup->Handle());
  EXPECT_EQ(Win::TopLevelWindows().front(), popup->Handle());
  EXPECT_EQ(MouseHooks(), 1);

  // With nothing selected the first item lies over the combo.
  Click(combo.Right + 100, combo.Bottom + 50);
  EXPECT_FALSE(IsOpen());
  Combo->SetItemIndex(-1);
  Open();
  EXPECT_EQ(popup->Top(), combo.Top - 2);
  EXPECT_EQ(Changes, 2);
}

TEST_F(HoldComboTest, AClickOnAnItemOrAPressDraggedOntoOneChoosesIt)
{
  Combo->SetItemIndex(2);
  Open();
  // The cursor's item is highlighted as it moves.
  const TPoint one = ItemCentre(1), four = ItemCentre(4);
  MoveTo(one.X, one.Y);
  EXPECT_EQ(Combo->Popup()->GetCurrentIndex(), 1);
  const Win::COLORREF hot = ScreenPixel(one.X + 40, one.Y);
  MoveTo(four.X, four.Y);
  EXPECT_NE(ScreenPixel(one.X + 40, one.Y), hot);
  EXPECT_EQ(ScreenPixel(four.X + 40, four.Y), hot);
  Click(four.X, four.Y);
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Combo->ItemIndex(), 4);
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(MouseHooks(), 0);

  // Press on the combo, drag onto item 0, release: chosen in one gesture.
  MoveOnto(Combo, 40, 12);
  Press();
  ASSERT_TRUE(IsOpen());
  const TPoint zero = ItemCentre(0);
  MoveTo(zero.X, zero.Y);
  Release();
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Combo->ItemIndex(), 0);

  // A release on the list's margin, over no item, keeps the selection.
  Open();
  const TPoint margin = Combo->Popup()->ClientToScreen(TPoint(40, 0));
  Click(margin.X, margin.Y);
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Combo->ItemIndex(), 0);
  EXPECT_EQ(Changes, 3);
}

TEST_F(HoldComboTest, APressOutsideOrASwitchAwayClosesWithoutChoosingAndNeverInTheInactiveRect)
{
  Combo->SetItemIndex(1);
  const TRect combo = ScreenRect(Combo);
  for (Win::TInjectButton button : {Win::TInjectButton::Left, Win::TInjectButton::Right, Win::TInjectButton::Middle}) {
    Open();
    ASSERT_TRUE(IsOpen());
    Click(combo.Right + 60, combo.Top, button);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(MouseHooks(), 0);
  }
  Open();
  Combo->Popup()->SetInactiveRect(TRect(0, 0, 50, 50));
  Click(10, 10);
  EXPECT_TRUE(IsOpen());
  // Activated anyway, it remembers the window it took the activation from.
  Win::SetActiveWindow(Combo->Popup()->Handle());
  RunUntilIdle();
  EXPECT_EQ(Combo->Popup()->PrevActiveWindow(), Form->Handle());
  EXPECT_TRUE(IsOpen());
  Win::InjectAppSwitch();
  RunUntilIdle();
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(MouseHooks(), 0);
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Changes, 1);
}

TEST_F(HoldComboTest, EveryWayOfClosingLetsGoOfTheHookAndTheChainStillRuns)
{
  // A host's own hook, installed first, still hears the press that closes
  // the list.
  static int hostPresses = 0;
  hostPresses = 0;
  static Win::HHOOK hostHook = nullptr;
  hostHook = Win::SetWindowsHookEx(
    Win::WH_MOUSE,
    [](int Code, Win::WPARAM W, Win::LPARAM L) {
      hostPresses += W == Win::WM_LBUTTONDOWN;
      return Win::CallNextHookEx(hostHook, Code, W, L);
    },
    nullptr, 0);
  Open();
  EXPECT_EQ(MouseHooks(), 2);
  Click(5, 390);
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(hostPresses, 2);
  Win::UnhookWindowsHookEx(hostHook);

  // Visible := False.
  Open();
  Combo->Popup()->SetVisible(false);
  EXPECT_EQ(MouseHooks(), 0);
  // A second list hides the first before it takes the hook.
  THoldCombobox* other = NewCombo(100, 350);
  RunUntilIdle();
  Open();
  Open(other);
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(other->Popup()->Visible());
  EXPECT_EQ(MouseHooks(), 1);
  // Destroying the combo with its list open.
  delete other;
  EXPECT_EQ(MouseHooks(), 0);
  RunUntilIdle();
  Open();
  delete Form;
  Form = nullptr;
  EXPECT_EQ(MouseHooks(), 0);
  Click(5, 5);
}

TEST_F(HoldComboTest, TheWheelStepsWithinTheItemsAndIsAlwaysHandled)
{
  const TRect combo = ScreenRect(Combo);
  MoveTo(combo.Left + 20, combo.Top + 10);
  Wheel(-Win::WHEEL_DELTA);
  EXPECT_EQ(Combo->ItemIndex(), 0);
  Wheel(Win::WHEEL_DELTA);
  EXPECT_EQ(Combo->ItemIndex(), 0);
  for (int i = 0; i < 7; ++i)
    Wheel(-Win::WHEEL_DELTA);
  EXPECT_EQ(Combo->ItemIndex(), 4);
  EXPECT_EQ(Changes, 5);
  EXPECT_EQ(Combo->Perform(Win::WM_MOUSEWHEEL, Win::MAKEWPARAM(0, -Win::WHEEL_DELTA),
                           Win::MAKELPARAM(combo.Left + 20, combo.Top + 10)),
            1);
  EXPECT_FALSE(IsOpen());
}

TEST_F(HoldComboTest, TheIndexIsBoundedAndDeletedItemsLeaveNoneSelected)
{
  Combo->SetItemIndex(2);
  EXPECT_THAT([&] { Combo->SetItemIndex(5); }, testing::ThrowsMessage<Exception>("Index out of bounds"));
  EXPECT_EQ(Combo->ItemIndex(), 2);
  Combo->SetItemIndex(-3);
  EXPECT_EQ(Combo->GetDisplayCaption(), "");

  Combo->SetItemIndex(4);
  EXPECT_EQ(Combo->GetDisplayCaption(), "Item 4");
  Combo->Items()->Delete(4);
  Combo->Items()->Delete(3);
  EXPECT_EQ(Combo->ItemIndex(), -1);
  Combo->Repaint();
  Combo->Items()->Add()->SetCaption("Item 5");
  EXPECT_EQ(Combo->GetDisplayCaption(), "");
  Combo->SetItemIndex(1);
  // Deleting items with the list open closes it.
  Open();
  Combo->Clear();
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(MouseHooks(), 0);
  Open();
  EXPECT_FALSE(IsOpen());
}

TEST_F(HoldComboTest, TabPassesAHiddenOrDisabledComboWithoutRaising)
{
  auto* before = Place(new TButton(Form), Form, 10, 10, 80, 24);
  auto* after = Place(new TButton(Form), Form, 10, 40, 80, 24);
  before->SetTabOrder(0);
  Combo->SetTabOrder(1);
  after->SetTabOrder(2);
  RunUntilIdle();
  for (bool hide : {true, false}) {
    Combo->SetVisible(!hide);
    Combo->SetEnabled(hide);
    EXPECT_FALSE(Combo->CanFocus());
    before->SetFocus();
    RunUntilIdle();
    Key(Win::VK_TAB);
    EXPECT_TRUE(after->Focused());
  }
  Combo->SetVisible(true);
  Combo->SetEnabled(true);
  EXPECT_TRUE(Combo->CanFocus());
}

TEST_F(HoldComboTest, TheButtonShowsTheSelectionsImageAndCaptionAndHotInBothLooks)
{
  Combo->SetImages(QxTest::SolidImages(Form, clRed));
  Combo->Items()->Items(2)->SetImageIndex(0);
  Combo->SetBounds(100, 200, 160, 28);
  for (bool themed : {false, true}) {
    QxTest::TVisualStyles styles(themed);
    Combo->SetItemIndex(-1);
    Combo->Repaint();
    RunUntilIdle();
    EXPECT_NE(ControlPixel(Combo, 8, 8), Win::RGB(255, 0, 0));
    Combo->SetItemIndex(2);
    RunUntilIdle();
    EXPECT_EQ(ControlPixel(Combo, 8, 8), Win::RGB(255, 0, 0));
    // Caption text right of the image, arrows at the right.
    const TRect caption = Combo->CaptionRect(Combo->ClientRect());
    EXPECT_EQ(caption.Left, 5 + 16);
    const Win::TImage shot = Win::CaptureWindow(Form->Handle());
    int dark = 0;
    for (int x = caption.Left; x < caption.Left + 40; ++x)
      for (int y = 8; y < 20; ++y)
        dark += Win::GetRValue(shot.Pixel(Combo->Left() + x, Combo->Top() + y)) < 100;
    EXPECT_GT(dark, 10);
    const TPoint top = Combo->GetTopArrowPoint(Combo->ClientRect());
    EXPECT_EQ(top, TPoint(160 - 6 - 8, 14 - 3 - 2));
    // Hot while the mouse is over it.
    const Win::COLORREF plain = ControlPixel(Combo, 60, 2);
    MoveOnto(Combo, 60, 20);
    const Win::COLORREF hot = ControlPixel(Combo, 60, 2);
    MoveTo(5, 395);
    EXPECT_EQ(ControlPixel(Combo, 60, 2), plain);
    if (themed) {
      EXPECT_NE(hot, plain);
    }
  }
}

TEST_F(HoldComboTest, FormResourcesKeepItemsAndIndexAndTheDeclaredDefaults)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* plain = QxTest::AddNamed<THoldCombobox>(&root, "Plain");
  EXPECT_EQ(plain->Align(), alClient);
  String text = WriteComponentRes(&root);
  QxTest::ExpectLacks(text, {"Align", "ParentColor", "Color", "TabStop", "AutoSize"});
  QxTest::ExpectHas(text, {"ItemIndex = -1"});

  plain->SetAlign(alNone);
  plain->Items()->Add()->SetCaption("One");
  plain->Items()->Add()->SetCaption("Two");
  plain->Items()->Items(1)->SetImageIndex(3);
  plain->SetItemIndex(1);
  auto* check = QxTest::AddNamed<TQxCheckCombobox>(&root, "Check");
  check->Items()->Add("alpha");
  check->Items()->Add("beta");
  text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"Align = alNone", "Caption = 'Two'", "ImageIndex = 3", "ItemIndex = 1", "'beta'"});
  QxTest::ExpectReadsBackTheSame(&root, text);

  // An index read before its items stands once they are read; one the items
  // do not reach is none.
  const String early = "object Root: TQxFrameClient\n"
                       "  object C: THoldCombobox\n    ItemIndex = 7\n"
                       "    Items = <\n      item\n        Caption = 'A'\n      end>\n  end\n"
                       "  object D: THoldCombobox\n    ItemIndex = 1\n"
                       "    Items = <\n      item\n        Caption = 'A'\n      end\n"
                       "      item\n        Caption = 'B'\n      end>\n  end\nend\n";
  auto loaded = QxTest::ReadAs<TQxFrameClient>(early);
  auto* c = QxTest::FindIn<THoldCombobox>(loaded.get(), "C");
  auto* d = QxTest::FindIn<THoldCombobox>(loaded.get(), "D");
  ASSERT_TRUE(c && d);
  EXPECT_EQ(c->Items()->Count(), 1);
  EXPECT_EQ(c->ItemIndex(), -1);
  EXPECT_EQ(d->GetDisplayCaption(), "B");
}

TEST_F(HoldComboTest, TheFrameworks3DLookAndGestureSettingsTravelThroughTheResource)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* combo = QxTest::AddNamed<THoldCombobox>(&root, "Combo");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"Ctl3D", "Touch.", "OnGesture"});

  // A look of its own equal to the default still wins over a parent's.
  root.SetCtl3D(false);
  EXPECT_FALSE(combo->Ctl3D());
  combo->SetCtl3D(true);
  combo->Touch()->SetInteractiveGestures({igZoom, igPan});
  combo->Touch()->SetTabletOptions({toFlicks});
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"ParentCtl3D = False", "Ctl3D = True", "Touch.InteractiveGestures = [igZoom, igPan]",
                           "Touch.ParentTabletOptions = False", "Touch.TabletOptions = [toFlicks]"});
  QxTest::ExpectLacks(text, {"Touch.InteractiveGestureOptions"});
  TQxFrameClient copy(nullptr);
  copy.SetCtl3D(false);
  ReadComponentRes(text, &copy);
  copy.SetName("Root");
  auto* read = dynamic_cast<THoldCombobox*>(copy.FindComponent("Combo"));
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->Ctl3D());
  EXPECT_EQ(WriteComponentRes(&copy), text);

  // The gesture handler a designer named is bound and answers.
  TMethodTable methods;
  int zooms = 0;
  methods.Add<void(TObject*, const TGestureEventInfo&, bool&)>(
    "Gestured", [&](TObject*, const TGestureEventInfo&, bool& Handled) { Handled = ++zooms > 0; });
  auto bound = QxTest::ReadAs<TQxFrameClient>("object Root: TQxFrameClient\n  object Combo: THoldCombobox\n"
                                               "    Touch.InteractiveGestures = [igZoom]\n    OnGesture = Gestured\n"
                                               "  end\nend\n",
                                               &methods);
  auto* handled = QxTest::FindIn<THoldCombobox>(bound.get(), "Combo");
  ASSERT_TRUE(handled);
  TGestureEventInfo zoom;
  zoom.GestureID = igiZoom;
  EXPECT_EQ(handled->Perform(CM_GESTURE, 0, Win::LPARAM(&zoom)), 1);
  EXPECT_EQ(zooms, 1);
  QxTest::ExpectHas(WriteComponentRes(bound.get()), {"OnGesture = Gestured"});
}

TEST(ComboItemsTest, ObjectsAndIndexOfObjectFollowTheItemsData)
{
  THoldCombobox combo(nullptr);
  TObject a, b;
  combo.Items()->Add()->SetData(&a);
  combo.Items()->Add()->SetData(&b);
  combo.Items()->Add()->SetData(&a);
  EXPECT_EQ(combo.Items()->Objects(1), &b);
  EXPECT_EQ(combo.Items()->IndexOfObject(&a), 0);
  EXPECT_EQ(combo.Items()->IndexOfObject(&b), 1);
  EXPECT_EQ(combo.Items()->IndexOfObject(nullptr), -1);
}

// ---- the check combo box --------------------------------------------------------------------

class CheckComboTest : public HoldComboTest {};

TEST_F(CheckComboTest, AClickDropsTheListUnderItAndTheNextClosesIt)
{
  auto* check = Place(new TQxCheckCombobox(Form), Form, 40, 60, 180, 22);
  check->Items()->Add("alpha");
  RunUntilIdle();
  const TRect screen = ScreenRect(check);
  ClickOn(check, 20, 10);
  TQxCheckListPopup* popup = check->Popup();
  ASSERT_TRUE(popup->Visible());
  EXPECT_EQ(ScreenRect(popup), TRect(screen.Left, screen.Bottom, screen.Right, screen.Bottom + 100));
  EXPECT_EQ(popup->InactiveRect(), screen);
  EXPECT_EQ(MouseHooks(), 1);
  ClickOn(check, 20, 10);
  EXPECT_FALSE(popup->Visible());
  EXPECT_EQ(MouseHooks(), 0);
  // A press elsewhere closes it too.
  ClickOn(check, 20, 10);
  Click(400, 390);
  EXPECT_FALSE(popup->Visible());
  EXPECT_EQ(MouseHooks(), 0);
}

} // namespace

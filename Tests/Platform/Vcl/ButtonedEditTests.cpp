// The edit with image buttons: which image each look shows, clicks, the
// text kept clear of the buttons, and the buttons in form resources.
#include "TestControls.hpp"

#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>
#include <System.Classes.Streaming.hpp>

#include <Vcl.ExtCtrls.ButtonedEdit.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.Menus.hpp>

using namespace Vcl;
using namespace QxTest;

namespace {

// Four 16x16 images, each one colour: red, green, blue, black.
const TColor kColors[] = {clRed, clLime, clBlue, clBlack};

class ButtonedEditTest : public ControlTest {
protected:
  void SetUp() override
  {
    ControlTest::SetUp();
    Form = MakeForm(0, 0, 300, 120);
    Images = SolidImages(Form, kColors[0]);
    for (TColor color : {kColors[1], kColors[2], kColors[3]})
      AddSolid(Images, color);
    Edit = Place(new TButtonedEdit(Form), Form, 10, 10, 150, 24);
    Edit->SetImages(Images);
    TEditButton* right = Edit->RightButton();
    right->SetDisabledImageIndex(0);
    right->SetImageIndex(1);
    right->SetHotImageIndex(2);
    right->SetPressedImageIndex(3);
    right->SetVisible(true);
    RunUntilIdle();
  }
  Win::COLORREF ButtonPixel()
  {
    RunUntilIdle();
    TControl* glyph = Edit->RightButton()->Glyph();
    return ControlPixel(glyph, glyph->Width() / 2, glyph->Height() / 2);
  }

  static std::vector<TImageIndex> Looks(const TEditButton* Button)
  {
    return {Button->DisabledImageIndex(), Button->ImageIndex(), Button->HotImageIndex(), Button->PressedImageIndex()};
  }

  TForm* Form = nullptr;
  TImageList* Images = nullptr;
  TButtonedEdit* Edit = nullptr;
};

} // namespace

TEST_F(ButtonedEditTest, EachLookShowsItsImageAndAClickReachesTheEdit)
{
  int clicks = 0;
  Edit->OnRightButtonClick = [&](TObject* sender) {
    EXPECT_EQ(sender, Edit);
    ++clicks;
  };
  TControl* glyph = Edit->RightButton()->Glyph();
  EXPECT_EQ(ButtonPixel(), Win::RGB(0, 255, 0));
  MoveOnto(glyph, 8, 8);
  EXPECT_EQ(ButtonPixel(), Win::RGB(0, 0, 255));
  Press();
  EXPECT_EQ(ButtonPixel(), Win::RGB(0, 0, 0));
  Release();
  EXPECT_EQ(clicks, 1);
  MoveTo(250, 100);
  EXPECT_EQ(ButtonPixel(), Win::RGB(0, 255, 0));
  Edit->SetEnabled(false);
  EXPECT_EQ(ButtonPixel(), Win::RGB(255, 0, 0));
  ClickOn(glyph, 8, 8);
  EXPECT_EQ(clicks, 1) << "a disabled edit's button does not click";
  // A look without an image of its own shows the normal one.
  Edit->SetEnabled(true);
  Edit->RightButton()->SetHotImageIndex(-1);
  MoveOnto(glyph, 8, 8);
  EXPECT_EQ(ButtonPixel(), Win::RGB(0, 255, 0));
}

TEST_F(ButtonedEditTest, TheTextStaysClearOfTheButtons)
{
  Edit->LeftButton()->SetImageIndex(1);
  Edit->LeftButton()->SetVisible(true);
  RunUntilIdle();
  Win::RECT text;
  Edit->Perform(Win::EM_GETRECT, 0, Win::LPARAM(&text));
  const TRect left = Edit->LeftButton()->Glyph()->BoundsRect();
  const TRect right = Edit->RightButton()->Glyph()->BoundsRect();
  EXPECT_EQ(left.Width(), 16);
  EXPECT_GE(text.Left, left.Right);
  EXPECT_LE(text.Right, right.Left);
  EXPECT_EQ(right.Right, Edit->Width() - (left.Left)) << "both buttons inside the border";
  Edit->RightButton()->SetVisible(false);
  Edit->Perform(Win::EM_GETRECT, 0, Win::LPARAM(&text));
  EXPECT_GT(text.Right, right.Left);
  // Without images there is nothing to show.
  Edit->SetImages(nullptr);
  EXPECT_FALSE(Edit->LeftButton()->Glyph()->Visible());
}

TEST_F(ButtonedEditTest, TheResourceKeepsTheButtonsAndTheirImages)
{
  Form->SetName("Root");
  Images->SetName("Images1");
  Edit->SetName("Edit1");
  Edit->RightButton()->SetEnabled(false);
  Edit->LeftButton()->SetHint("Go back");
  const String text = WriteComponentRes(Form);
  QxTest::ExpectHas(text, {"Images = Images1", "RightButton.DisabledImageIndex = 0", "RightButton.ImageIndex = 1",
                           "RightButton.HotImageIndex = 2", "RightButton.PressedImageIndex = 3",
                           "RightButton.Visible = True", "RightButton.Enabled = False", "LeftButton.Hint = 'Go back'"});
  QxTest::ExpectLacks(text, {"LeftButton.Visible", "LeftButton.ImageIndex", "LeftButton.Enabled"});
  auto* copy = new TForm(Application);
  ReadComponentRes(text, copy);
  auto* edit = dynamic_cast<TButtonedEdit*>(copy->FindComponent("Edit1"));
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->Images(), copy->FindComponent("Images1"));
  EXPECT_EQ(Looks(edit->RightButton()), (std::vector<TImageIndex>{0, 1, 2, 3}));
  EXPECT_TRUE(edit->RightButton()->Visible());
  EXPECT_FALSE(edit->RightButton()->Enabled());
  EXPECT_EQ(edit->LeftButton()->Glyph()->Hint(), "Go back");
  // One button takes another's settings whole.
  edit->SetLeftButton(edit->RightButton());
  EXPECT_EQ(Looks(edit->LeftButton()), (std::vector<TImageIndex>{0, 1, 2, 3}));
  EXPECT_TRUE(edit->LeftButton()->Glyph()->Visible());
  EXPECT_EQ(edit->LeftButton()->Hint(), "");
  delete copy;
}

TEST_F(ButtonedEditTest, AClickRaisesTheEventThenDropsTheButtonsMenuBelowIt)
{
  std::vector<String> log;
  auto* menu = new TPopupMenu(Form);
  menu->SetName("Menu1");
  auto* item = new TMenuItem(Form);
  item->SetCaption("Paste");
  menu->Items()->Add(item);
  menu->OnPopup = [&](TObject*) { log.push_back("popup"); };
  Edit->OnRightButtonClick = [&](TObject*) { log.push_back("click"); };
  Edit->RightButton()->SetDropDownMenu(menu);
  const TMenuLoopIdleHook old = SetMenuLoopIdleHook([](TPopupMenu*) { Win::InjectKey(Win::VK_ESCAPE); });
  TControl* glyph = Edit->RightButton()->Glyph();
  ClickOn(glyph, 8, 8);
  EXPECT_EQ(log, (std::vector<String>{"click", "popup"}));
  EXPECT_EQ(menu->PopupPoint(), glyph->ClientToScreen(TPoint(0, glyph->Height())));
  menu->SetAlignment(paRight);
  ClickOn(glyph, 8, 8);
  EXPECT_EQ(menu->PopupPoint(), glyph->ClientToScreen(TPoint(glyph->Width(), glyph->Height())));

  // The menu is kept by name in the resource.
  Form->SetName("Root");
  Images->SetName("Images1");
  Edit->SetName("Edit1");
  ExpectHas(WriteComponentRes(Form), {"RightButton.DropDownMenu = Menu1"});

  // Both buttons let go of a menu that is freed.
  Edit->LeftButton()->SetDropDownMenu(menu);
  Edit->RightButton()->SetDropDownMenu(nullptr);
  delete menu;
  EXPECT_EQ(Edit->LeftButton()->DropDownMenu(), nullptr);

  // A click handler that frees the edit leaves its menu alone.
  auto* other = new TPopupMenu(Form);
  Edit->RightButton()->SetDropDownMenu(other);
  other->OnPopup = [&](TObject*) { log.push_back("popup after free"); };
  Edit->OnRightButtonClick = [&](TObject*) { delete Edit; };
  ClickOn(glyph, 8, 8);
  EXPECT_EQ(log.back(), "popup");
  SetMenuLoopIdleHook(old);
}

// The button in form resources: its defaults unwritten, its properties read
// back, and Checked and ImageIndex left to a linked action.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.Button.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.ActnList.hpp>
#include <Vcl.Controls.Padding.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

class ButtonStreamingTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Root.SetName("Root");
    Button = QxTest::AddNamed<TQxButton>(&Root, "Button1");
  }
  // The button's lines of the root's resource.
  String ButtonPart()
  {
    const String text = WriteComponentRes(&Root);
    return text.substr(text.find("object Button1"));
  }
  TQxFrameClient Root{nullptr};
  TQxButton* Button = nullptr;
};

TEST_F(ButtonStreamingTest, ANewButtonWritesNoneOfItsDefaultsAndEveryPropertyComesBack)
{
  QxTest::ExpectLacks(WriteComponentRes(&Root),
                      {"AutoCheck", "ButtonColor", "ButtonStyle", "ButtonTheme", "Cancel", "Checked", "DropDownMenu",
                       "ElevationRequired", "Focusable", "ImageAlignment", "ImageIndex", "ImageMargins.", "Images",
                       "ModalResult", "ShowCaption", "Transparent", "WordWrap", "TabStop", "ParentColor", "AutoSize",
                       "AlignWithMargins", "Margins."});

  TMethodTable methods;
  methods.Add<void(TObject*)>("MenuOpening", [](TObject*) {});
  methods.Add<void(TObject*, TPoint, bool&)>("ContextAsked", [](TObject*, TPoint, bool&) {});
  auto* menu = QxTest::AddNamed<TPopupMenu>(&Root, "Menu1");
  auto* images = QxTest::AddNamed<TImageList>(&Root, "Images1");
  Button->SetButtonStyle(bsSplitButton);
  Button->SetButtonTheme(btGlass);
  Button->SetButtonColor(clRed);
  Button->SetAutoCheck(false);
  Button->SetCancel(true);
  Button->SetChecked(true);
  Button->SetDropDownMenu(menu);
  Button->SetElevationRequired(true);
  Button->SetFocusable(false);
  Button->SetImages(images);
  Button->SetImageIndex(3);
  Button->SetImageAlignment(iaBottom);
  Button->ImageMargins()->SetTop(4);
  Button->SetModalResult(mrYes);
  Button->SetShowCaption(false);
  Button->SetTransparent(true);
  Button->SetWordWrap(true);
  Button->SetAlignWithMargins(true);
  Button->Margins()->SetRight(8);
  const String text = WriteComponentRes(&Root);
  QxTest::ExpectHas(text, {"ButtonStyle = bsSplitButton", "ButtonTheme = btGlass", "ImageMargins.Top = 4",
                           "DropDownMenu = Menu1", "AlignWithMargins = True", "Margins.Right = 8"});

  QxTest::ExpectReadsBackTheSame(&Root, text);
  auto copy = QxTest::ReadAs<TQxFrameClient>(text);
  auto* button = QxTest::FindIn<TQxButton>(copy.get(), "Button1");
  ASSERT_TRUE(button);
  EXPECT_EQ(button->DropDownMenu(), copy->FindComponent("Menu1"));

  auto bound = QxTest::ReadAs<TQxFrameClient>("object Root: TQxFrameClient\n  object Button1: TQxButton\n"
                                               "    OnDropDownClick = MenuOpening\n    OnContextPopup = ContextAsked\n"
                                               "  end\nend\n",
                                               &methods);
  auto* handled = QxTest::FindIn<TQxButton>(bound.get(), "Button1");
  ASSERT_TRUE(handled);
  EXPECT_TRUE(handled->OnDropDownClick);
  EXPECT_TRUE(handled->OnContextPopup);
}

TEST_F(ButtonStreamingTest, ALinkedActionKeepsCheckedAndImageIndexOutOfTheResource)
{
  auto* action = QxTest::AddNamed<TAction>(&Root, "Action1");
  action->SetChecked(true);
  action->SetImageIndex(2);
  Button->SetButtonStyle(bsCheckButton);
  Button->SetAction(action);
  EXPECT_TRUE(Button->Checked());
  EXPECT_EQ(Button->ImageIndex(), 2);
  // Changes of the action follow through the link.
  action->SetChecked(false);
  action->SetImageIndex(5);
  EXPECT_FALSE(Button->Checked());
  EXPECT_EQ(Button->ImageIndex(), 5);
  String text = ButtonPart();
  QxTest::ExpectHas(text, {"Action = Action1"});
  QxTest::ExpectLacks(text, {"Checked", "ImageIndex"});

  // A value of the button's own is stored again, and the link no longer
  // governs it.
  Button->SetImageIndex(1);
  action->SetImageIndex(6);
  EXPECT_EQ(Button->ImageIndex(), 1);
  QxTest::ExpectHas(ButtonPart(), {"ImageIndex = 1"});
}

TEST_F(ButtonStreamingTest, AnActionReadWithTheButtonFillsOnlyWhatTheResourceLeftAtItsDefault)
{
  const String text = "object Root: TQxFrameClient\n"
                      "  object Action1: TAction\n    Checked = True\n    ImageIndex = 4\n  end\n"
                      "  object Button2: TQxButton\n    Action = Action1\n    ImageIndex = 7\n  end\n"
                      "end\n";
  auto copy = QxTest::ReadAs<TQxFrameClient>(text);
  auto* button = QxTest::FindIn<TQxButton>(copy.get(), "Button2");
  ASSERT_TRUE(button);
  EXPECT_TRUE(button->Checked());
  EXPECT_EQ(button->ImageIndex(), 7);
}

} // namespace

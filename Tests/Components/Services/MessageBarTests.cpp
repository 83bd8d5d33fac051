// The message bar on a shown form: where its parts go, the icon of each
// kind, its height following the wrapped text, every change of the message
// followed, free notifications, an action that clears the message in its
// own click, and the bar in form resources.
#include "../Containers/ContainerTestSupport.hpp"
#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <Quorex.Vcl.MessageBar.hpp>
#include <System.Classes.Streaming.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

class MessageBarTest : public QxTest::ContainerFixture {
protected:
  void SetUp() override
  {
    ContainerFixture::SetUp();
    Msg = new TQxMessage(Form);
    Bar = new TQxMessageBar(Form);
    Bar->SetParent(Form);
    RunUntilIdle();
  }
  TAction* NewAction(const String& Caption)
  {
    auto* action = new TAction(Form);
    action->SetCaption(Caption);
    action->SetOnExecute([this](TObject*) { ++Executed; });
    return action;
  }
  TQxMessageActionItem* AddAction(const String& Caption)
  {
    TQxMessageActionItem* item = Msg->Actions()->Add();
    item->SetAction(NewAction(Caption));
    return item;
  }
  // A red 16 x 16 image list with one picture.
  TImageList* RedImages() { return QxTest::SolidImages(Form, clRed); }
  Integer ButtonsOnPanel() const { return Bar->ButtonsPanel()->ControlCount(); }

  TQxMessage* Msg = nullptr;
  TQxMessageBar* Bar = nullptr;
  int Executed = 0;
};

TEST_F(MessageBarTest, WithoutAMessageTheBarIsHiddenAndEmpty)
{
  EXPECT_EQ(Bar->Align(), alTop);
  EXPECT_TRUE(Bar->AutoSize());
  Msg->SetTitle("t");
  AddAction("Go");
  Bar->SetMessage(Msg);
  EXPECT_TRUE(Bar->Visible());
  Bar->SetMessage(nullptr);
  EXPECT_FALSE(Bar->Visible());
  EXPECT_EQ(Bar->TitleLabel()->Caption(), "");
  EXPECT_EQ(Bar->TextLabel()->Caption(), "");
  EXPECT_FALSE(Bar->Image()->Visible());
  EXPECT_EQ(Bar->ButtonCount(), 0);
  RunUntilIdle();
  EXPECT_EQ(ButtonsOnPanel(), 0);
}

TEST_F(MessageBarTest, IconThenLargeOrangeTitleThenButtonsAtTheRightInItemOrder)
{
  Msg->SetMessageType(mtWarning);
  Msg->SetTitle("Update ready");
  Msg->SetText("Restart to finish.");
  AddAction("Restart")->SetElevationRequired(true);
  AddAction("Later");
  Bar->SetMessage(Msg);
  RunUntilIdle();

  TQxImage* image = Bar->Image();
  ASSERT_TRUE(image->Visible());
  EXPECT_EQ(image->BoundsRect(), TRect(0, 0, 32, 32));
  EXPECT_EQ(Bar->TitleLabel()->Parent()->Left(), 32 + 10);
  EXPECT_EQ(Bar->TitleLabel()->Font()->Size(), Bar->Font()->Size() + 4);
  EXPECT_EQ(Bar->TitleLabel()->Font()->Color(), TColor(0x000053FF));
  EXPECT_EQ(Bar->TitleLabel()->Caption(), "Update ready");

  ASSERT_EQ(Bar->ButtonCount(), 2);
  TQxButton* restart = Bar->Buttons(0);
  TQxButton* later = Bar->Buttons(1);
  EXPECT_EQ(restart->Caption(), "Restart");
  EXPECT_TRUE(restart->ElevationRequired());
  EXPECT_EQ(later->Caption(), "Later");
  EXPECT_LT(restart->Left(), later->Left());
  const TControl* panel = Bar->ButtonsPanel();
  EXPECT_EQ(panel->Left() + panel->Width(), Bar->ClientWidth() - 10);
  EXPECT_LE(Bar->TitleLabel()->Parent()->Left() + Bar->TitleLabel()->Parent()->Width(), panel->Left());

  // The title is drawn in its colour, and the font change keeps it large.
  TShot shot;
  int orange = 0;
  for (int y = 0; y < Bar->TitleLabel()->Height(); ++y)
    for (int x = 0; x < Bar->TitleLabel()->Width(); ++x)
      orange += QxTest::Near(shot.At(Bar->TitleLabel(), x, y), Win::RGB(0xFF, 0x53, 0x00), 40);
  EXPECT_GT(orange, 20);
  Bar->Font()->SetSize(12);
  EXPECT_EQ(Bar->TitleLabel()->Font()->Size(), 16);
  EXPECT_EQ(Bar->TitleLabel()->Font()->Color(), TColor(0x000053FF));
}

TEST_F(MessageBarTest, TheIconComesFromTheKindOrFromTheHostImagesOnlyForAnIndex)
{
  Bar->SetMessage(Msg);
  // Custom without an index: no icon, the texts at the left edge.
  EXPECT_FALSE(Bar->Image()->Visible());
  EXPECT_EQ(Bar->TitleLabel()->Parent()->Left(), 0);

  TImageList* images = RedImages();
  Bar->SetImages(images);
  Msg->SetImageIndex(0);
  RunUntilIdle();
  EXPECT_TRUE(Bar->Image()->Visible());
  EXPECT_EQ(Bar->Image()->Images(), images);
  EXPECT_EQ(ControlPixel(Bar->Image(), 8, 8), Win::RGB(255, 0, 0));
  EXPECT_EQ(Bar->TitleLabel()->Parent()->Left(), 16 + 10);

  for (TMessageType type : {mtQuestion, mtInformation, mtWarning, mtError}) {
    Msg->SetMessageType(type);
    EXPECT_NE(Bar->Image()->Images(), images);
    EXPECT_EQ(Bar->Image()->ImageIndex(),
              static_cast<TQxSystemIconList*>(Bar->Image()->Images())->GetIndex(MessageTypeToIconType(type)));
  }
  // The host's list freed elsewhere: a custom message shows no icon.
  Msg->SetMessageType(mtCustom);
  delete images;
  EXPECT_EQ(Bar->Images(), nullptr);
  EXPECT_FALSE(Bar->Image()->Visible());
}

TEST_F(MessageBarTest, TheHeightFollowsTheWrappedText)
{
  Form->SetWidth(260);
  Msg->SetTitle("Note");
  Msg->SetText("short");
  Bar->SetMessage(Msg);
  RunUntilIdle();
  const Integer oneLine = Bar->Height();
  const THtmlLabel* text = Bar->TextLabel();
  EXPECT_EQ(oneLine, text->Top() + text->Height());
  Msg->SetText("a long text that has to wrap over several lines in a bar this narrow, and then some more words");
  RunUntilIdle();
  EXPECT_GT(Bar->Height(), oneLine + 20);
  EXPECT_EQ(Bar->Height(), text->Top() + text->Height());
  // A larger font from the form wraps the text into more lines.
  const Integer wrapped = Bar->Height();
  Form->Font()->SetSize(Form->Font()->Size() + 4);
  RunUntilIdle();
  EXPECT_GT(Bar->Height(), wrapped);
  EXPECT_EQ(Bar->Height(), text->Top() + text->Height());
  Form->Font()->SetSize(Form->Font()->Size() - 4);
  // A text shorter than the icon leaves the whole icon showing.
  Msg->SetText("");
  Msg->SetTitle("");
  Msg->SetMessageType(mtError);
  EXPECT_EQ(Bar->Height(), 32);
  Msg->SetMessageType(mtCustom);
  Msg->SetTitle("Note");
  Msg->SetText("short");
  RunUntilIdle();
  EXPECT_EQ(Bar->Height(), oneLine);
}

TEST_F(MessageBarTest, FollowsEveryChangeOfItsMessageAndOnlyOfItsMessage)
{
  Bar->SetMessage(Msg);
  Msg->SetTitle("One");
  Msg->SetText("<b>bold</b>");
  EXPECT_EQ(Bar->TitleLabel()->Caption(), "One");
  EXPECT_EQ(Bar->TextLabel()->Caption(), "<b>bold</b>");
  TQxMessageActionItem* item = Msg->Actions()->Add();
  EXPECT_EQ(Bar->ButtonCount(), 0);
  item->SetAction(NewAction("Now"));
  ASSERT_EQ(Bar->ButtonCount(), 1);
  EXPECT_EQ(Bar->Buttons(0)->Caption(), "Now");

  // Another message: the first one no longer reaches the bar.
  auto* other = new TQxMessage(Form);
  other->SetTitle("Two");
  Bar->SetMessage(other);
  Msg->SetTitle("changed");
  EXPECT_EQ(Bar->TitleLabel()->Caption(), "Two");
  EXPECT_EQ(Bar->ButtonCount(), 0);

  // Its action freed elsewhere, its button goes; the message freed, the bar hides.
  TQxMessageActionItem* otherItem = other->Actions()->Add();
  auto* action = NewAction("Gone");
  otherItem->SetAction(action);
  EXPECT_EQ(Bar->ButtonCount(), 1);
  delete action;
  EXPECT_EQ(Bar->ButtonCount(), 0);
  delete other;
  EXPECT_EQ(Bar->Message(), nullptr);
  EXPECT_FALSE(Bar->Visible());
  RunUntilIdle();
}

TEST_F(MessageBarTest, AnActionThatClearsTheMessageInItsOwnClickLeavesTheButtonAliveUntilTheClickEnds)
{
  Msg->SetTitle("Click me");
  TQxMessageActionItem* item = AddAction("Dismiss");
  TQxButton* button = nullptr;
  item->Action()->SetOnExecute([&](TObject*) {
    ++Executed;
    Msg->SetText("edited");
    Bar->SetMessage(nullptr);
    // Still there for the rest of its click, hidden,
    EXPECT_EQ(ButtonsOnPanel(), 2); // and the one the text change made
    EXPECT_FALSE(button->Visible());
    EXPECT_EQ(item->Action()->ActionComponent(), button);
  });
  Bar->SetMessage(Msg);
  RunUntilIdle();
  ASSERT_EQ(Bar->ButtonCount(), 1);
  button = Bar->Buttons(0);
  ClickOn(button, 5, 5);
  EXPECT_EQ(Executed, 1);
  EXPECT_FALSE(Bar->Visible());
  EXPECT_EQ(Bar->ButtonCount(), 0);
  // The old button is gone once the loop ran.
  EXPECT_EQ(ButtonsOnPanel(), 0);
}

TEST(MessageBarStreamingTest, TheBarWritesNoDefaultsAndReadsBackItsReferences)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  root.SetBounds(0, 0, 400, 300);
  auto* bar = QxTest::AddNamed<TQxMessageBar>(&root, "Bar1");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"Align", "AutoSize", "Color", "ParentFont", "Message =", "Images ="});

  auto* msg = QxTest::AddNamed<TQxMessage>(&root, "Msg1");
  msg->SetTitle("Saved");
  auto* images = QxTest::AddNamed<TImageList>(&root, "Images1");
  bar->SetImages(images);
  bar->SetMessage(msg);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"Message = Msg1", "Images = Images1"});

  QxTest::ExpectReadsBackTheSame(&root, text);
  auto copy = QxTest::ReadAs<TQxFrameClient>(text);
  auto* read = QxTest::FindIn<TQxMessageBar>(copy.get(), "Bar1");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Message(), copy->FindComponent("Msg1"));
  EXPECT_EQ(read->Images(), copy->FindComponent("Images1"));
  EXPECT_EQ(read->TitleLabel()->Caption(), "Saved");
}

} // namespace

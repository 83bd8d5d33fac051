// The edit with children, the search edit, the address edit and the path
// edit on a form, driven by typing, keys, the mouse and the folder dialog's
// seam.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.BrowsePath.hpp>
#include <Quorex.Vcl.Edit.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <Quorex.Vcl.SearchEdit.hpp>
#include <Quorex.Vcl.UrlEdit.hpp>
#include <QxRtl.Url.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Controls.Touch.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.FileCtrl.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

// Text is anti-aliased: its pixels are judged by their shade.
bool Silvery(Win::COLORREF c)
{
  const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return r == g && g == b && r >= 185 && r <= 215;
}

bool Dark(Win::COLORREF c)
{
  return (c & 0xFF) < 80 && ((c >> 8) & 0xFF) < 80 && ((c >> 16) & 0xFF) < 80;
}

class EditsTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 400, 240);
    Other = Place(new TQxEdit(Form), Form, 20, 200, 100, 24);
    RunUntilIdle();
  }
  // How many pixels of the control are of the shade.
  int Count(TWinControl* Control, bool (*Shade)(Win::COLORREF))
  {
    RunUntilIdle();
    int n = 0;
    for (const Win::COLORREF c : ControlPixels(Control, TRect(0, 0, Control->Width(), Control->Height())))
      n += Shade(c) ? 1 : 0;
    return n;
  }
  static std::vector<TImageIndex> Looks(TEditButton* Button)
  {
    return {Button->DisabledImageIndex(), Button->ImageIndex(), Button->HotImageIndex(), Button->PressedImageIndex()};
  }

  TForm* Form = nullptr;
  TQxEdit* Other = nullptr;
};

} // namespace

TEST_F(EditsTest, AnEditsMarginsLeaveRoomForItsAlignedChildren)
{
  auto* edit = Place(new TQxEdit(Form), Form, 20, 20, 200, 24);
  edit->SetBorderStyle(bsNone);
  auto* right = new TPanel(Form);
  right->SetWidth(20);
  right->SetAlign(alRight);
  right->SetParent(edit);
  EXPECT_EQ(right->Left(), edit->Width() - 20);
  EXPECT_EQ(edit->RightMargin(), 22);
  EXPECT_EQ(edit->LeftMargin(), 0);
  auto* left = new TPanel(Form);
  left->SetWidth(30);
  left->SetAlign(alLeft);
  left->SetParent(edit);
  EXPECT_EQ(edit->LeftMargin(), 32);
  left->SetVisible(false);
  EXPECT_EQ(edit->LeftMargin(), 0);
  // The text stops short of the child.
  Win::RECT text;
  edit->Perform(Win::EM_GETRECT, 0, Win::LPARAM(&text));
  EXPECT_LE(text.Right, right->Left());
}

TEST_F(EditsTest, TheSearchButtonTurnsIntoAClearButtonWhileThereIsText)
{
  auto* search = Place(new TQxSearchEdit(Form), Form, 20, 20, 200, 24);
  RunUntilIdle();
  TEditButton* button = search->RightButton();
  EXPECT_EQ(search->State(), sesEmpty);
  EXPECT_EQ(Looks(button), (std::vector<TImageIndex>{4, 5, -1, -1}));
  ASSERT_EQ(search->ButtonImages()->Count(), 6);
  search->SetFocus();
  Type("abc");
  EXPECT_EQ(search->State(), sesShowClearButton);
  EXPECT_EQ(Looks(button), (std::vector<TImageIndex>{0, 1, 2, 3}));
  MoveOnto(button->Glyph(), 4, 4);
  EXPECT_EQ(button->CurrentImageIndex(), 2) << "hot";
  Key(Win::VK_ESCAPE);
  EXPECT_EQ(search->Text(), "");
  EXPECT_EQ(search->State(), sesEmpty);
  EXPECT_EQ(button->CurrentImageIndex(), 5) << "the search icon has no hot look";
  Type("x");
  ClickOn(button->Glyph(), 4, 4);
  EXPECT_EQ(search->Text(), "");
  search->SetText("code");
  search->Clear();
  EXPECT_EQ(search->State(), sesEmpty);
  search->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  // Text given before there is a window counts once there is one.
  auto* early = new TQxSearchEdit(Form);
  early->SetText("early");
  Place(early, Form, 20, 60, 200, 24);
  RunUntilIdle();
  EXPECT_EQ(early->State(), sesShowClearButton);
}

// The images are built only for a real height, and again only when the
// height changes.
TEST_F(EditsTest, SearchAndAddressImagesFollowTheHeightOnly)
{
  auto* search = new TQxSearchEdit(Form);
  search->SetAutoSize(false);
  search->SetBounds(20, 20, 200, 0);
  search->SetParent(Form);
  RunUntilIdle();
  EXPECT_EQ(search->ButtonImages()->Count(), 0);
  search->SetHeight(30);
  ASSERT_EQ(search->ButtonImages()->Count(), 6);
  int rebuilt = 0;
  TChangeLink link;
  link.OnChange = [&](TObject*) { ++rebuilt; };
  search->ButtonImages()->RegisterChanges(&link);
  search->SetWidth(250);
  EXPECT_EQ(rebuilt, 0);
  search->SetHeight(34);
  EXPECT_GT(rebuilt, 0);
  EXPECT_EQ(search->ButtonImages()->Height(), search->RightButton()->Glyph()->Height());
  search->ButtonImages()->UnRegisterChanges(&link);

  auto* url = new TQxUrlEdit(Form);
  url->SetAutoSize(false);
  url->SetBounds(20, 60, 200, 0);
  url->SetParent(Form);
  RunUntilIdle();
  EXPECT_EQ(url->ButtonImages()->Count(), 0);
  url->SetHeight(24);
  EXPECT_EQ(url->ButtonImages()->Count(), 4);
}

TEST_F(EditsTest, TheHintShowsOnlyEmptyAndUnfocusedAndLeavesTheFontAlone)
{
  auto* search = Place(new TQxSearchEdit(Form), Form, 20, 20, 200, 24);
  const TColor fontColor = search->Font()->Color();
  EXPECT_GT(Count(search, Silvery), 10) << "\"Search\" in silver";
  search->SetFocus();
  EXPECT_EQ(Count(search, Silvery), 0);
  Type("typed");
  Other->SetFocus();
  EXPECT_EQ(search->Font()->Color(), fontColor);
  EXPECT_GT(Count(search, Dark), 20) << "the typed text keeps its colour";
  search->Clear();
  search->SetEmptyCaption("  ");
  EXPECT_EQ(Count(search, Silvery), 0);
  search->SetEmptyCaption("Find");
  EXPECT_GT(Count(search, Silvery), 10);
}

TEST_F(EditsTest, TheAddressButtonIsEnabledExactlyWhileTheTextIsAnAddress)
{
  std::vector<String> opened;
  QxRtl::gUrl.SetOpener([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  auto* early = new TQxUrlEdit(Form);
  early->SetText("https://example.com");
  Place(early, Form, 20, 60, 200, 24);
  RunUntilIdle();
  EXPECT_TRUE(early->RightButton()->Enabled()) << "text given before the window";
  auto* url = Place(new TQxUrlEdit(Form), Form, 20, 20, 200, 24);
  TEditButton* button = url->RightButton();
  EXPECT_FALSE(button->Enabled());
  url->SetFocus();
  Type("www.example.com");
  EXPECT_TRUE(button->Enabled());
  ClickOn(button->Glyph(), 4, 4);
  Type(" x");
  EXPECT_FALSE(button->Enabled()) << "no longer an address";
  url->SetText("https://example.org");
  EXPECT_TRUE(button->Enabled());
  url->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  url->SetEnabled(true);
  EXPECT_TRUE(button->Enabled());
  QxRtl::gUrl.SetOpener({});
  EXPECT_EQ(opened, std::vector<String>{"http://www.example.com"});
}

TEST_F(EditsTest, ThePathButtonPutsTheChosenFolderInAndCancelChangesNothing)
{
  auto* path = Place(new TBrowsePath(Form), Form, 20, 20, 200, 24);
  path->SetText("/start/here");
  int selected = 0;
  path->OnPathSelected = [&](TObject* sender) {
    EXPECT_EQ(sender, path);
    ++selected;
  };
  std::vector<TBrowseFolderRequest> asked;
  std::optional<String> answer;
  auto previous = SetBrowseFolderHandler([&](const TBrowseFolderRequest& request) {
    asked.push_back(request);
    return answer;
  });
  TControl* glyph = path->RightButton()->Glyph();
  ClickOn(glyph, 4, 4);
  EXPECT_EQ(path->Text(), "/start/here");
  EXPECT_EQ(selected, 0);
  // A path far longer than the classic limit arrives whole.
  answer = "/" + std::string(400, 'd');
  ClickOn(glyph, 4, 4);
  EXPECT_EQ(path->Text(), *answer);
  EXPECT_EQ(selected, 1);
  SetBrowseFolderHandler(previous);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].Title, "Select directory");
  EXPECT_EQ(asked[0].InitialPath, "/start/here");
}

TEST_F(EditsTest, TheResourceKeepsOnlyChangedPropertiesOfTheEditsAndReadsThemBack)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* search = QxTest::AddNamed<TQxSearchEdit>(&root, "Search1");
  auto* url = QxTest::AddNamed<TQxUrlEdit>(&root, "Url1");
  auto* path = QxTest::AddNamed<TBrowsePath>(&root, "Path1");
  auto* edit = QxTest::AddNamed<TQxEdit>(&root, "Edit1");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"EmptyCaption", "DoubleBuffered", "Caption", "Ctl3D", "Touch.",
                                                 "Bevel", "CharCase", "TextHint", "Ime", "OEMConvert", "Images",
                                                 "LeftButton."});
  edit->SetCharCase(ecUpperCase);
  edit->SetTextHint("Name");
  edit->SetImeMode(imHira);
  edit->SetImeName("Kana");
  edit->SetOEMConvert(true);
  url->LeftButton()->SetVisible(true);
  url->LeftButton()->SetImageIndex(1);
  url->RightButton()->SetHint("Open the address");
  search->SetEmptyCaption("Find a page");
  search->SetCtl3D(false);
  path->Touch()->SetTabletOptions({toFlicks});
  url->SetDoubleBuffered(false);
  url->SetBevelKind(bkSoft);
  path->SetCaption("Pick the output folder");
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"EmptyCaption = 'Find a page'", "DoubleBuffered = False",
                           "Caption = 'Pick the output folder'", "Ctl3D = False",
                           "Touch.TabletOptions = [toFlicks]", "BevelKind = bkSoft", "CharCase = ecUpperCase",
                           "TextHint = 'Name'", "ImeMode = imHira", "ImeName = 'Kana'", "OEMConvert = True",
                           "LeftButton.Visible = True", "LeftButton.ImageIndex = 1",
                           "RightButton.Hint = 'Open the address'"});
  QxTest::ExpectLacks(text, {"Images ="});
  QxTest::ExpectReadsBackTheSame(&root, text);
  auto copy = QxTest::ReadAs<TQxFrameClient>(text);
  const auto* readUrl = QxTest::FindIn<TQxUrlEdit>(copy.get(), "Url1");
  ASSERT_TRUE(readUrl);
  EXPECT_EQ(readUrl->Images(), readUrl->ButtonImages());
  EXPECT_EQ(Looks(readUrl->RightButton()), (std::vector<TImageIndex>{0, 1, 2, 3}));
}

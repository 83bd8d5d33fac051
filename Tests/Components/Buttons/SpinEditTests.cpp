// The spin edit on a form, driven by typing, the arrows and the focus
// leaving it: validation on exit and at once, the value following the text,
// the three state flags, the layout and the form resource.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <Quorex.Vcl.SpinEdit.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Controls.Padding.hpp>
#include <Vcl.Controls.Touch.hpp>
#include <Vcl.Forms.hpp>

#include <climits>

using namespace Vcl;
using namespace Quorex;

namespace {

class SpinEditTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 300, 200);
    Spin = Place(new TQxSpinEdit(Form), Form, 20, 20, 100, 25);
    Other = Place(new TEdit(Form), Form, 20, 100, 100, 25);
    Spin->OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, Spin);
      ++Changes;
    };
    RunUntilIdle();
  }
  // Types into the editor, replacing what it holds.
  void TypeIn(const std::string& text)
  {
    Spin->Editor()->SetFocus();
    Spin->Editor()->SelectAll();
    if (text.empty())
      Key(Win::VK_DELETE);
    else
      Type(text);
  }
  void LeaveEditor()
  {
    Other->SetFocus();
    RunUntilIdle();
  }
  void ClickArrow(bool up)
  {
    TUpDown* upDown = Spin->UpDown();
    ClickOn(upDown, upDown->Width() / 2, up ? 3 : upDown->Height() - 3);
  }
  String Text() const { return Spin->Editor()->Text(); }

  TForm* Form = nullptr;
  TQxSpinEdit* Spin = nullptr;
  TEdit* Other = nullptr;
  int Changes = 0;
};

} // namespace

TEST_F(SpinEditTest, TypedNumbersArePulledIntoTheRangeOnExitAndValueFollows)
{
  EXPECT_EQ(Text(), "0");
  TypeIn("150");
  EXPECT_EQ(Text(), "150") << "left alone while typing";
  LeaveEditor();
  EXPECT_EQ(Text(), "100");
  EXPECT_EQ(Spin->Value(), 100);
  TypeIn("42");
  LeaveEditor();
  EXPECT_EQ(Spin->Value(), 42);
  // Empty counts as 0, or the nearer bound when 0 lies outside the range.
  TypeIn("");
  LeaveEditor();
  EXPECT_EQ(Text(), "0");
  Spin->SetMinValue(5);
  TypeIn("");
  LeaveEditor();
  EXPECT_EQ(Text(), "5");
  // Text that is no number (set in code: typing takes digits only) gives
  // way to the last position.
  Spin->SetValue(7);
  Spin->Editor()->SetText("7x");
  Spin->Editor()->SetFocus();
  LeaveEditor();
  EXPECT_EQ(Text(), "7");
  EXPECT_EQ(Spin->Value(), 7);
}

// Validation writes the text only when it differs, once, and the change it
// makes raises OnChange once: no endless round of changes.
TEST_F(SpinEditTest, WithoutValidateOnExitEveryChangeIsValidatedAtOnce)
{
  Spin->SetValidateOnExit(false);
  TypeIn("15");
  Changes = 0;
  Type("0");
  EXPECT_EQ(Text(), "100");
  EXPECT_EQ(Spin->Value(), 100);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Spin->Editor()->SelStart(), 3) << "the caret stays at the end";
  Changes = 0;
  Key(Win::VK_BACK);
  EXPECT_EQ(Text(), "10");
  EXPECT_EQ(Changes, 1);
  TypeIn("");
  EXPECT_EQ(Text(), "0");
}

TEST_F(SpinEditTest, ArrowsAndKeysStepByTheIncrementAndStopAtTheBoundsNearMaxInt)
{
  Spin->SetIncrement(10);
  ClickArrow(true);
  EXPECT_EQ(Text(), "10");
  EXPECT_EQ(Spin->Value(), 10);
  Spin->Editor()->SetFocus();
  Key(Win::VK_DOWN);
  EXPECT_EQ(Spin->Value(), 0);
  Spin->SetMaxValue(INT_MAX);
  Spin->SetMinValue(INT_MAX - 15);
  EXPECT_EQ(Spin->Value(), INT_MAX - 15);
  ClickArrow(true);
  ClickArrow(true);
  EXPECT_EQ(Spin->Value(), INT_MAX);
  EXPECT_EQ(Text(), "2147483647");
  ClickArrow(true);
  EXPECT_EQ(Spin->Value(), INT_MAX);
  ClickArrow(false);
  ClickArrow(false);
  EXPECT_EQ(Spin->Value(), INT_MAX - 15);
}

TEST_F(SpinEditTest, ReadOnlyEditorEnabledAndEnabledShareOutTheParts)
{
  Spin->SetReadOnly(true);
  EXPECT_TRUE(Spin->Editor()->Enabled());
  EXPECT_TRUE(Spin->Editor()->ReadOnly());
  EXPECT_FALSE(Spin->UpDown()->Enabled());
  ClickArrow(true);
  EXPECT_EQ(Spin->Value(), 0);

  Spin->SetReadOnly(false);
  Spin->SetEditorEnabled(false);
  EXPECT_TRUE(Spin->Editor()->ReadOnly());
  Spin->Editor()->SetFocus();
  Type("5");
  EXPECT_EQ(Text(), "0");
  ClickArrow(true);
  EXPECT_EQ(Spin->Value(), 1) << "the arrows still work";

  Spin->SetEditorEnabled(true);
  Spin->SetEnabled(false);
  EXPECT_FALSE(Spin->Editor()->Enabled());
  EXPECT_FALSE(Spin->UpDown()->Enabled());
  EXPECT_TRUE(Spin->TControl::Enabled()) << "the panel itself stays enabled";
  EXPECT_FALSE(Spin->Enabled());
}

TEST_F(SpinEditTest, TheArrowsTakeFourFifthsOfTheHeightBesideTheEditor)
{
  EXPECT_EQ(Spin->Height(), Spin->Editor()->Height()) << "AutoSize: the panel takes the editor's height";
  Spin->SetAutoSize(false);
  Spin->SetHeight(25);
  EXPECT_EQ(Spin->Editor()->Height(), 25);
  EXPECT_EQ(Spin->UpDown()->Width(), 20);
  EXPECT_EQ(Spin->Editor()->Width(), 80);
  EXPECT_EQ(Spin->UpDown()->BoundsRect(), TRect(80, 0, 100, 25));
  Spin->SetWidth(150);
  EXPECT_EQ(Spin->UpDown()->BoundsRect(), TRect(130, 0, 150, 25));
}

TEST_F(SpinEditTest, TheResourceKeepsMinAndValueAlwaysAndTheRestWhenChanged)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* spin = QxTest::AddNamed<TQxSpinEdit>(&root, "Spin1");
  String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"MinValue = 0", "Value = 0"});
  QxTest::ExpectLacks(text, {"MaxValue", "Increment", "ReadOnly", "EditorEnabled", "ValidateOnExit", "Editor", "Ctl3D",
                             "ParentBackground", "FullRepaint", "Touch.", "OnGesture", "OnAlign", "OnConstrainedResize",
                             "OnGetSiteInfo", "Padding."});
  spin->SetMaxValue(500);
  spin->SetMinValue(-20);
  spin->SetValue(250);
  spin->SetIncrement(5);
  spin->SetReadOnly(true);
  spin->SetValidateOnExit(false);
  spin->SetCtl3D(false);
  spin->SetParentBackground(false);
  spin->Touch()->SetInteractiveGestures({igZoom});
  spin->SetFullRepaint(false);
  spin->Padding()->SetBounds(1, 2, 3, 4);
  // Named host methods; the limits one is the one a size check calls.
  TAlignInsertBeforeEvent before = [](TWinControl*, TControl*, TControl*) { return false; };
  TAlignPositionEvent place = [](auto&&...) {};
  TConstrainedResizeEvent limits = [](TObject*, Integer&, Integer&, Integer& maxWidth, Integer&) { maxWidth = 60; };
  TGetSiteInfoEvent site = [](auto&&...) {};
  TMethodTable methods;
  methods.Add("SpinBefore", before);
  methods.Add("SpinPlace", place);
  methods.Add("SpinLimits", limits);
  methods.Add("SpinSite", site);
  spin->OnAlignInsertBefore = MethodBind("SpinBefore", before);
  spin->OnAlignPosition = MethodBind("SpinPlace", place);
  spin->OnConstrainedResize = MethodBind("SpinLimits", limits);
  spin->OnGetSiteInfo = MethodBind("SpinSite", site);
  text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"ParentCtl3D = False", "Ctl3D = False", "ParentBackground = False",
                           "Touch.InteractiveGestures = [igZoom]", "FullRepaint = False",
                           "OnAlignInsertBefore = SpinBefore", "OnAlignPosition = SpinPlace",
                           "OnConstrainedResize = SpinLimits", "OnGetSiteInfo = SpinSite", "Padding.Left = 1",
                           "Padding.Bottom = 4"});
  QxTest::ExpectReadsBackTheSame(&root, text, &methods);
  auto copy = QxTest::ReadAs<TQxFrameClient>(text, &methods);
  auto* read = QxTest::FindIn<TQxSpinEdit>(copy.get(), "Spin1");
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->OnAlignInsertBefore && read->OnAlignPosition && read->OnGetSiteInfo);
  read->SetWidth(200);
  EXPECT_EQ(read->Width(), 60);
  EXPECT_EQ(read->Constraints()->MaxWidth(), 0);
}

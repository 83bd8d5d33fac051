// The check box that sizes itself and wears the elevation shield: its size
// with and without a caption and after a font change, where the shield
// goes, auto size under an aligning parent, and its form resource.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>
#include <QxStyleSupport.hpp>

#include <Quorex.Vcl.CheckBox.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

class QxCheckBoxTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 400, 300, clWhite);
    Box = Place(new TQxCheckBox(Form), Form, 20, 20, 150, 17);
    RunUntilIdle();
  }
  // The control's pixels in R.
  std::vector<Win::COLORREF> Pixels(const TRect& R)
  {
    RunUntilIdle();
    Win::TImage shot = Win::CaptureWindow(Box->Handle());
    std::vector<Win::COLORREF> pixels;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        pixels.push_back(shot.Pixel(x, y));
    return pixels;
  }

  TForm* Form = nullptr;
  TQxCheckBox* Box = nullptr;
};

TEST_F(QxCheckBoxTest, AutoSizeIsTheMarkPlusRoomForTheShieldAndFollowsCaptionAndFont)
{
  EXPECT_EQ(TQxCheckBox::GetDefaultCheckBoxSize(), TSize(13, 13));
  Box->SetAutoSize(true);
  EXPECT_EQ(Box->Width(), 29);
  EXPECT_EQ(Box->Height(), 17);

  Box->SetCaption("Run as administrator");
  const int captionWidth = Box->Width();
  EXPECT_GT(captionWidth, 29 + 8 + 50);
  Box->Font()->SetSize(Box->Font()->Size() * 2);
  EXPECT_GT(Box->Width(), captionWidth + 50);
  EXPECT_GT(Box->Height(), 17);

  // A size set by hand gives way to the computed one.
  Box->SetBounds(20, 20, 400, 60);
  EXPECT_LT(Box->Width(), 400);
  Box->SetCaption("");
  EXPECT_EQ(Box->Width(), 29);
  EXPECT_EQ(Box->Height(), 17);
}

TEST_F(QxCheckBoxTest, TheShieldSitsAtTheRightEdgeCentredAndGraysWhenDisabled)
{
  Box->SetBounds(20, 20, 150, 40);
  const TRect shield(150 - 16, (40 - 16) / 2, 150, (40 - 16) / 2 + 16);
  const TRect elsewhere(20, 0, 150 - 16, 40);
  const std::vector<Win::COLORREF> plain = Pixels(shield);
  const std::vector<Win::COLORREF> plainElsewhere = Pixels(elsewhere);
  Box->SetElevationRequired(true);
  const std::vector<Win::COLORREF> shown = Pixels(shield);
  EXPECT_NE(shown, plain);
  EXPECT_EQ(Pixels(elsewhere), plainElsewhere);
  Box->SetEnabled(false);
  const std::vector<Win::COLORREF> disabled = Pixels(shield);
  EXPECT_NE(disabled, shown);
  EXPECT_NE(disabled, plain);
  // Both looks keep it.
  QxTest::TVisualStyles classic(false);
  Box->Invalidate();
  EXPECT_EQ(Pixels(shield), disabled);
}

TEST_F(QxCheckBoxTest, AutoSizeLeavesTheDimensionItsParentAlignsAlone)
{
  auto* panel = Place(new TPanel(Form), Form, 10, 60, 300, 120);
  panel->SetBevelOuter(bvNone);
  int resizes = 0;
  std::vector<int> askedWidths;
  auto* top = new TQxCheckBox(Form);
  top->OnResize = [&resizes](TObject*) { ++resizes; };
  top->SetAutoSize(true);
  top->SetAlign(alTop);
  top->SetParent(panel);
  RunUntilIdle();
  top->OnCanResize = [&askedWidths](TObject*, Integer& NewWidth, Integer&, bool&) { askedWidths.push_back(NewWidth); };
  auto* left = new TQxCheckBox(Form);
  left->SetAutoSize(true);
  left->SetAlign(alLeft);
  left->SetParent(panel);
  RunUntilIdle();
  EXPECT_EQ(top->BoundsRect(), TRect(0, 0, 300, 17));
  EXPECT_EQ(left->BoundsRect(), TRect(0, 17, 29, 120));

  panel->SetBounds(10, 60, 360, 150);
  RunUntilIdle();
  EXPECT_EQ(top->BoundsRect(), TRect(0, 0, 360, 17));
  EXPECT_EQ(left->BoundsRect(), TRect(0, 17, 29, 150));
  top->SetCaption("A longer caption");
  EXPECT_EQ(top->Width(), 360);
  // Only the parent ever asked for a width: its own, old or new.
  for (int width : askedWidths)
    EXPECT_TRUE(width == 300 || width == 360) << width;
  // Auto size handles the resizes itself.
  EXPECT_EQ(resizes, 0);
}

TEST_F(QxCheckBoxTest, TheResourceKeepsOnlyWhatDiffersAndReadsBack)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* box = QxTest::AddNamed<TQxCheckBox>(&root, "Box1");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"AutoSize", "ElevationRequired", "State", "TabStop"});

  box->SetCaption("Option");
  box->SetAutoSize(true);
  box->SetElevationRequired(true);
  box->SetState(cbChecked);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"AutoSize = True", "ElevationRequired = True", "Checked = True"});
  QxTest::ExpectReadsBackTheSame(&root, text); // the auto-sized width among the rest
}

} // namespace

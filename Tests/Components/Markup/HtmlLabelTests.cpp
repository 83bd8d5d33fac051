// The markup label on a form: sizing, links under the mouse, hit testing and
// its background, through messages and pixels.
#include <QxDesktopFixture.hpp>

#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

class HtmlLabelTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = new TForm(Application);
    Form->SetBounds(20, 20, 300, 200);
    Form->SetColor(clWhite);
    Form->Font()->SetName("DejaVu Sans Mono");
    Form->Font()->SetSize(10);
    Form->Show();
    RunUntilIdle();
  }
  THtmlLabel* MakeLabel(const String& Caption, int x = 10, int y = 10)
  {
    auto* label = new THtmlLabel(Form);
    label->SetLeft(x);
    label->SetTop(y);
    label->SetParent(Form);
    label->SetCaption(Caption);
    RunUntilIdle();
    return label;
  }
  int TextWidth(const String& Text)
  {
    TBitmap bitmap(1, 1);
    bitmap.Canvas()->SetFont(Form->Font());
    return bitmap.Canvas()->TextWidth(Text);
  }
  TForm* Form = nullptr;
};

TEST_F(HtmlLabelTest, ANewLabelIsExactlyAsWideAsItsTextInItsFontAndKeepsItsHeight)
{
  THtmlLabel* label = MakeLabel("Hello");
  EXPECT_EQ(label->Width(), TextWidth("Hello"));
  EXPECT_EQ(label->Height(), 13);
  // The text starts at the top left.
  std::vector<Win::COLORREF> pixels = ControlPixels(label);
  int firstInk = -1;
  for (size_t i = 0; i < pixels.size() && firstInk < 0; ++i)
    if (pixels[i] != clWhite)
      firstInk = int(i) / label->Width();
  EXPECT_GE(firstInk, 0);
  EXPECT_LT(firstInk, 4);
  // A font change lays the text out again.
  const int narrow = label->Width();
  Form->Font()->SetSize(20);
  EXPECT_GT(label->Width(), narrow);
}

TEST_F(HtmlLabelTest, WordBreakAndAutoWidthExcludeEachOther)
{
  THtmlLabel* label = MakeLabel("one two three four five six");
  label->SetWordBreak(true);
  EXPECT_FALSE(label->AutoWidth());
  label->SetAutoWidth(true);
  EXPECT_FALSE(label->WordBreak());
  label->SetWordBreak(true);
  label->SetWordBreak(false);
  EXPECT_FALSE(label->AutoWidth()) << "turning word break off does not bring auto-width back";
}

TEST_F(HtmlLabelTest, AWordBreakingLabelWithAutoHeightGrowsDownwardsAtItsWidth)
{
  THtmlLabel* label = MakeLabel("one two three four five six seven eight");
  label->SetWordBreak(true);
  label->SetAutoHeight(true);
  label->SetWidth(TextWidth("one two"));
  label->ViewChanged();
  EXPECT_EQ(label->Width(), TextWidth("one two"));
  EXPECT_GT(label->Height(), 3 * 13);
}

TEST_F(HtmlLabelTest, AutoWidthKeepsARightJustifiedLabelsRightEdgeAndLeavesAClientAlignedOneToItsParent)
{
  THtmlLabel* label = MakeLabel("short", 200);
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("a much longer caption");
  EXPECT_EQ(label->Width(), TextWidth("a much longer caption"));
  EXPECT_EQ(label->Left() + label->Width(), right);

  THtmlLabel* client = MakeLabel("Hello");
  client->SetAlign(alClient);
  EXPECT_EQ(client->Width(), Form->ClientWidth());
  client->SetCaption("Hello again");
  EXPECT_EQ(client->Width(), Form->ClientWidth());
}

TEST_F(HtmlLabelTest, HoveringALinkShowsTheHandAndUnderlinesIt)
{
  THtmlLabel* label = MakeLabel("xx <a href=7>go</a>");
  label->SetAutoHeight(true); // room for the underline
  RunUntilIdle();
  std::vector<Win::COLORREF> before = ControlPixels(label);
  const int linkX = TextWidth("xx ") + 3;
  MoveOnto(label, linkX, 5);
  EXPECT_EQ(label->Cursor(), crHandPoint);
  MoveOnto(label, linkX + 1, 5);
  EXPECT_EQ(Win::GetCursor(), Screen->Cursors(crHandPoint));
  EXPECT_NE(ControlPixels(label), before);
  MoveOnto(label, 2, 5);
  EXPECT_EQ(label->Cursor(), crDefault);
  EXPECT_EQ(ControlPixels(label), before) << "the underline goes with the mouse";
}

TEST_F(HtmlLabelTest, PressingALinkReportsItsIdentifierButNotBesideItNorWithoutOne)
{
  THtmlLabel* label = MakeLabel("xx <a href=7>go</a> <a>no</a>");
  std::vector<String> clicks;
  label->OnLinkClick = [&](const String& id) { clicks.push_back(id); };
  const int linkX = TextWidth("xx ") + 2;
  MoveOnto(label, linkX, 5);
  Press();
  EXPECT_EQ(clicks, std::vector<String>{"7"}) << "a link fires on the press";
  Release();
  ClickOn(label, 2, 5);
  // A link without identifier shows the hand but reports nothing.
  const int bareX = TextWidth("xx go ") + 2;
  MoveOnto(label, bareX, 5);
  EXPECT_EQ(label->Cursor(), crHandPoint);
  ClickOn(label, bareX, 5);
  EXPECT_EQ(clicks, std::vector<String>{"7"});
}

// A descendant that reads the chunk after the handler has replaced the
// caption (and with it the layout).
class TChunkReadingLabel : public THtmlLabel {
public:
  using THtmlLabel::THtmlLabel;
  String ChunkText;

protected:
  void DoLinkClick(const String& LinkId, const THtmlRenderChunk* Chunk) override
  {
    THtmlLabel::DoLinkClick(LinkId, Chunk);
    ChunkText = Chunk ? Chunk->Text() : "(none)";
  }
};

TEST_F(HtmlLabelTest, AHandlerMayChangeTheCaptionOfTheLabelItWasCalledFor)
{
  auto* label = Place(new TChunkReadingLabel(Form), Form, 10, 10, 10, 13);
  label->SetCaption("<a href=next>go</a>");
  label->OnLinkClick = [&](const String& id) { label->SetCaption("<b>" + id + " page, with a longer caption</b>"); };
  RunUntilIdle();
  ClickOn(label, 3, 5);
  EXPECT_EQ(label->ChunkText, "go");
  EXPECT_EQ(label->Caption(), "<b>next page, with a longer caption</b>");
}

TEST_F(HtmlLabelTest, WithoutHitTestAClickReachesTheParent)
{
  THtmlLabel* label = MakeLabel("Hello");
  std::vector<std::string> downs;
  label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { downs.push_back("label"); };
  Form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { downs.push_back("form"); };
  ClickOn(label, 3, 5);
  label->SetHitTest(false);
  ClickOn(label, 3, 5);
  EXPECT_EQ(downs, (std::vector<std::string>{"label", "form"}));
  label->SetDesigning(true);
  EXPECT_TRUE(label->HitTestAt(TPoint(3, 5))) << "the designer can still select it";
}

TEST_F(HtmlLabelTest, AnOpaqueLabelFillsItsClientAreaWithItsColour)
{
  THtmlLabel* label = MakeLabel("Hi");
  label->SetColor(clYellow);
  label->SetTransparent(false);
  label->SetAutoWidth(false);
  label->SetWidth(80);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(label, 70, 10), clYellow);
  label->SetTransparent(true);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(label, 70, 10), clWhite);
}

TEST_F(HtmlLabelTest, SettingALinkPropertyToItsValueCausesNoRelayout)
{
  THtmlLabel* label = MakeLabel("<a href=1>one</a>");
  const UInt64 before = label->Renderer()->LayoutGeneration();
  label->SetLinkColor(label->LinkColor());
  label->SetLinkUnderline(label->LinkUnderline());
  EXPECT_EQ(label->Renderer()->LayoutGeneration(), before);
  label->SetLinkColor(clRed);
  label->SetLinkUnderline(true);
  EXPECT_EQ(label->Renderer()->LayoutGeneration(), before + 2);
}

TEST_F(HtmlLabelTest, AChangeLaysOutOnceAndSizeQueriesAndPaintingUseThatLayout)
{
  THtmlLabel* label = MakeLabel("Hello", 200);
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  auto layouts = [&, start = label->Renderer()->LayoutGeneration()] {
    return label->Renderer()->LayoutGeneration() - start;
  };
  label->SetCaption("Hello, <b>world</b>");
  EXPECT_EQ(layouts(), 1u);
  EXPECT_EQ(label->Left() + label->Width(), right);
  label->AdjustSize();
  RunUntilIdle();
  EXPECT_EQ(layouts(), 1u) << "size queries and painting answer from the layout";

  // A word-breaking label lays out once for a new width, and paints that layout.
  label->SetWordBreak(true);
  label->SetAutoHeight(true);
  EXPECT_EQ(layouts(), 3u);
  label->SetWidth(TextWidth("Hello,"));
  RunUntilIdle();
  EXPECT_EQ(layouts(), 4u);
  EXPECT_EQ(label->Renderer()->Chunks().back().Text(), "world");
  EXPECT_GT(label->Renderer()->Chunks().back().Y(), 0);

  // A width the label does not take (its constraints refuse it) is not what it paints.
  label->Constraints()->SetMaxWidth(label->Width());
  label->SetWidth(200);
  RunUntilIdle();
  EXPECT_EQ(label->Width(), TextWidth("Hello,"));
  EXPECT_GT(label->Renderer()->Chunks().back().Y(), 0);
}

TEST_F(HtmlLabelTest, HugeFontsOnLongLinesKeepTheLayoutAndTheBoundsWithinTheTextSpace)
{
  // Every word is wider than the text layer's coordinate space, and all of
  // them together pass 2^31.
  String line;
  for (int i = 0; i < 17; ++i)
    line += String(150000, 'W') + " ";
  THtmlLabel* label = MakeLabel("<font face=\"DejaVu Sans\" size=720>" + line + "</font>");
  EXPECT_EQ(label->Width(), Win::CoordLimit);
  EXPECT_EQ(label->BoundsRect().Right, 10 + Win::CoordLimit);
  for (const THtmlRenderChunk& chunk : label->Renderer()->Chunks())
    EXPECT_LE(chunk.BoundsRect().Right, Win::CoordLimit);
}

} // namespace

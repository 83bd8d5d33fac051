// The markup list view on a form: alternating rows, the selected row, markup
// in the first column and plain sub-items, looked at in pixels.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.HtmlListView.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <functional>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

class HtmlListViewTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = new TForm(Application);
    Form->SetBounds(20, 20, 420, 300);
    Form->Font()->SetName("DejaVu Sans Mono");
    Form->Font()->SetSize(10);
    Form->Show();
    List = Place(new THtmlListView(Form), Form, 10, 10, 380, 240);
    List->SetViewStyle(vsReport);
    for (auto [caption, width] : {std::pair{"Name", 150}, {"Size", 80}, {"Kind", 100}}) {
      TListColumn* column = List->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(width);
    }
    RunUntilIdle();
  }
  TListItem* AddItem(const String& Caption, std::initializer_list<String> SubItems = {})
  {
    TListItem* item = List->Items()->Add();
    item->SetCaption(Caption);
    for (const String& s : SubItems)
      item->SubItems()->Add(s);
    return item;
  }
  // The list's pixels, composed once.
  struct TShot {
    Win::TImage Image;
    TPoint Origin;
    Win::COLORREF At(int x, int y) const { return Image.Pixel(Origin.X + x, Origin.Y + y); }
  };
  TShot Shot()
  {
    RunUntilIdle();
    return {Win::ComposeDesktop(), List->ClientToScreen(TPoint(0, 0))};
  }
  // The columns [Left, Right) of the rectangle that hold a pixel other than Background.
  static std::pair<int, int> InkSpan(const TShot& Screen, const TRect& R, Win::COLORREF Background)
  {
    int left = R.Right, right = R.Left;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        if (Screen.At(x, y) != Background) {
          left = std::min(left, x);
          right = std::max(right, x + 1);
        }
    return {left, right};
  }
  static int Ink(const TShot& Screen, const TRect& R, Win::COLORREF Background)
  {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        n += Screen.At(x, y) != Background;
    return n;
  }
  int TextWidth(const String& Text, TFontStyles Style = {})
  {
    TBitmap bitmap(1, 1);
    bitmap.Canvas()->SetFont(Form->Font());
    bitmap.Canvas()->Font()->SetStyle(Style);
    return bitmap.Canvas()->TextWidth(Text);
  }
  // The item's cell in a column.
  TRect Cell(TListItem* Item, int Column)
  {
    if (Column > 0)
      return List->SubItemRect(Item->Index(), Column, drBounds);
    TRect row = Item->DisplayRect(drBounds);
    row.Right = row.Left + List->Columns()->Items(0)->Width();
    return row;
  }

  TForm* Form = nullptr;
  THtmlListView* List = nullptr;
};

TEST_F(HtmlListViewTest, RowsAlternateWhiteAndLightBlueAndTheSelectedRowTakesTheHighlight)
{
  for (const char* caption : {"zero", "one", "two", "three"})
    AddItem(caption, {"1 KB"});
  List->Items()->Item(2)->SetSelected(true);
  const TShot shot = Shot();
  // A point of the first column that no text reaches.
  const auto blank = [&](int index) {
    const TRect cell = Cell(List->Items()->Item(index), 0);
    return shot.At(cell.Right - 3, cell.Top + 1);
  };
  EXPECT_EQ(blank(0), Win::COLORREF(0x00FFFFFF));
  EXPECT_EQ(blank(1), Win::COLORREF(0x00FFF0F0));
  EXPECT_EQ(blank(2), Win::GetSysColor(Win::COLOR_HIGHLIGHT));
  EXPECT_EQ(blank(3), Win::COLORREF(0x00FFF0F0));
  // The selected row's text, sub-items included, is in the highlight text colour.
  bool highlightText = false;
  const TRect row = List->Items()->Item(2)->DisplayRect(drBounds);
  for (int y = row.Top; y < row.Bottom; ++y)
    for (int x = row.Left; x < row.Right; ++x)
      highlightText |= shot.At(x, y) == Win::GetSysColor(Win::COLOR_HIGHLIGHTTEXT);
  EXPECT_TRUE(highlightText);
}

TEST_F(HtmlListViewTest, TheFirstColumnIsMarkupAndTheSubItemsAreLiteralText)
{
  TListItem* bold = AddItem("<b>Name</b> x", {"<b>7</b>"});
  AddItem("odd");
  TListItem* plain = AddItem("Name x", {"7"});
  const TShot shot = Shot();
  const auto [boldLeft, boldRight] = InkSpan(shot, Cell(bold, 0), 0x00FFFFFF);
  const auto [plainLeft, plainRight] = InkSpan(shot, Cell(plain, 0), 0x00FFFFFF);
  EXPECT_EQ(boldLeft, plainLeft);
  // Bold has more ink than plain, and no tag is shown.
  EXPECT_GT(Ink(shot, Cell(bold, 0), 0x00FFFFFF), Ink(shot, Cell(plain, 0), 0x00FFFFFF));
  EXPECT_LE(boldRight - boldLeft, TextWidth("Name", {fsBold}) + TextWidth(" x"));
  const auto [tagLeft, tagRight] = InkSpan(shot, Cell(bold, 1), 0x00FFFFFF);
  EXPECT_GE(tagRight - tagLeft, TextWidth("<b>7</b>") - 2);
}

TEST_F(HtmlListViewTest, AFormatHandlerChangesWhatIsDrawnNotTheCaption)
{
  TListItem* item = AddItem("Name");
  const TShot before = Shot();
  List->OnFormatItem = [](TObject*, TListItem* Item, String& Text) { Text = "<b>" + Item->Caption() + "</b> (new)"; };
  List->Invalidate();
  const TShot after = Shot();
  EXPECT_EQ(item->Caption(), "Name");
  const auto [l0, r0] = InkSpan(before, Cell(item, 0), 0x00FFFFFF);
  const auto [l1, r1] = InkSpan(after, Cell(item, 0), 0x00FFFFFF);
  EXPECT_GE(r1 - l1, r0 - l0 + TextWidth(" (new)") - 2);
}

TEST_F(HtmlListViewTest, OnlySubItemsWithAColumnAreDrawn)
{
  TListItem* item = AddItem("Name", {"1", "2", "3", "4"});
  const TShot shot = Shot();
  TRect beyond = Cell(item, 2);
  beyond.Left = beyond.Right;
  beyond.Right = List->ClientWidth();
  const auto [left, right] = InkSpan(shot, beyond, 0x00FFFFFF);
  EXPECT_GE(left, right) << "ink right of the last column";
  const auto [l2, r2] = InkSpan(shot, Cell(item, 2), 0x00FFFFFF);
  EXPECT_LT(l2, r2);
}

TEST_F(HtmlListViewTest, TheHostsOwnDrawingHandlersTakeOver)
{
  AddItem("zero");
  TListItem* odd = AddItem("<b>Name</b>");
  // A custom-draw handler that leaves the default drawing on gets the
  // framework's row: the tags show.
  List->OnAdvancedCustomDrawItem = [](TCustomListView*, TListItem*, TCustomDrawState, TCustomDrawStage, bool&) {};
  const TShot custom = Shot();
  const auto [l, r] = InkSpan(custom, Cell(odd, 0), custom.At(Cell(odd, 0).Right - 3, Cell(odd, 0).Top + 1));
  EXPECT_GE(r - l, TextWidth("<b>Name</b>") - 2);
  // An owner-draw handler draws alone: no row colours of the list's own.
  List->OnAdvancedCustomDrawItem = nullptr;
  List->SetOwnerDraw(true);
  int drawn = 0;
  List->OnDrawItem = [&](TCustomListView*, TListItem*, TRect, TOwnerDrawState) { ++drawn; };
  const TShot owner = Shot();
  EXPECT_EQ(drawn, 2);
  EXPECT_NE(owner.At(Cell(odd, 0).Right - 3, Cell(odd, 0).Top + 1), Win::COLORREF(THtmlListView::OddRowColor));
}

TEST(HtmlListViewStreamingTest, TheListViewReadsBackItsColumnsAndSwitches)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* list = QxTest::AddNamed<THtmlListView>(&root, "List1");
  list->SetViewStyle(vsReport);
  list->SetRowSelect(true);
  list->Columns()->Add()->SetCaption("Name");
  const String text = WriteComponentRes(&root);
  QxTest::ExpectReadsBackTheSame(&root, text);
}

} // namespace

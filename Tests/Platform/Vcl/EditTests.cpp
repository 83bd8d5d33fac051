// The single-line edit driven the way a user and a host drive it: injected
// keys, characters and mouse on the headless desktop, the EM_ messages, the
// clipboard, and the pixels where the drawing is the point (margins,
// selection, caret blink, colours).
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <System.Classes.Streaming.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.StdCtrls.Edit.hpp>
#include <Win.Clipboard.hpp>
#include <Win.Desktop.hpp>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace Vcl;

namespace {

class EditTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Win::EmptyClipboard();
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 320, 120);
    Form->SetColor(clWhite);
    Form->Show();
    Edit = new TEdit(Form);
    Edit->Font()->SetName("DejaVu Sans Mono");
    Edit->Font()->SetSize(10);
    Place(Edit, Form, 20, 20, 200, 21);
    Edit->OnChange = [this](TObject*) { ++Changes; };
    RunUntilIdle();
  }
  void TearDown() override
  {
    Win::EmptyClipboard();
    QxDesktopFixture::TearDown();
  }

  void Focus()
  {
    Edit->SetFocus();
    RunUntilIdle();
  }
  void WithKey(int modifier, int vk)
  {
    KeyDown(modifier);
    Key(vk);
    KeyUp(modifier);
  }
  // The client x where the caret stands before code point Index.
  int XOfChar(int Index)
  {
    return Win::GET_X_LPARAM(Edit->Perform(Win::EM_POSFROMCHAR, Win::WPARAM(Index), 0));
  }
  Win::RECT FormatRect()
  {
    Win::RECT r;
    Edit->Perform(Win::EM_GETRECT, 0, Win::LPARAM(&r));
    return r;
  }
  std::pair<Integer, Integer> Selection() { return {Edit->SelStart(), Edit->SelLength()}; }
  // The leftmost column of the format rectangle's middle row darker than
  // the shade (mid-grey): where the text's ink begins.
  int FirstInkColumn(int Shade = 128)
  {
    std::vector<Win::COLORREF> row = Row(Edit, Edit->Height() / 2);
    for (int x = 2; x < int(row.size()); ++x)
      if (Win::GetRValue(row[std::size_t(x)]) < Shade)
        return x;
    return -1;
  }
  // The darkest green of a row of pixels.
  static int Darkest(const std::vector<Win::COLORREF>& Pixels)
  {
    int darkest = 255;
    for (Win::COLORREF pixel : Pixels)
      darkest = std::min<int>(darkest, Win::GetGValue(pixel));
    return darkest;
  }
  // A row of the control's pixels as last painted.
  std::vector<Win::COLORREF> Row(TWinControl* Control, int y)
  {
    RunUntilIdle();
    return ControlPixels(Control, TRect(0, y, Control->Width(), y + 1));
  }

  TForm* Form = nullptr;
  TEdit* Edit = nullptr;
  int Changes = 0;
};

TEST_F(EditTest, TypingAndSelectingByKeysEditsByCodePointsAndWords)
{
  Focus();
  Type("hello big world");
  EXPECT_EQ(Edit->Text(), "hello big world");
  EXPECT_EQ(Changes, 15);
  EXPECT_EQ(Selection(), std::make_pair(15, 0));

  Key(Win::VK_HOME);
  WithKey(Win::VK_SHIFT, Win::VK_RIGHT);
  WithKey(Win::VK_SHIFT, Win::VK_RIGHT);
  EXPECT_EQ(Selection(), std::make_pair(0, 2));
  EXPECT_EQ(Edit->SelText(), "he");
  Key(Win::VK_RIGHT); // collapses to the selection's end
  EXPECT_EQ(Selection(), std::make_pair(2, 0));

  WithKey(Win::VK_CONTROL, Win::VK_RIGHT);
  EXPECT_EQ(Edit->SelStart(), 6); // the start of "big"
  WithKey(Win::VK_CONTROL, Win::VK_RIGHT);
  EXPECT_EQ(Edit->SelStart(), 10);
  KeyDown(Win::VK_SHIFT);
  Key(Win::VK_END);
  KeyUp(Win::VK_SHIFT);
  EXPECT_EQ(Edit->SelText(), "world");
  Type("there");
  EXPECT_EQ(Edit->Text(), "hello big there");
  WithKey(Win::VK_CONTROL, Win::VK_LEFT);
  EXPECT_EQ(Edit->SelStart(), 10);
  Key(Win::VK_BACK);
  Key(Win::VK_DELETE);
  EXPECT_EQ(Edit->Text(), "hello bighere");
  EXPECT_EQ(Changes, 15 + 5 + 2);
}

TEST_F(EditTest, TheMousePlacesDragsAndDoubleClickSelectsAWord)
{
  Edit->SetText("alpha beta gamma");
  RunUntilIdle();
  ClickOn(Edit, XOfChar(3) + 1, 10);
  EXPECT_TRUE(Edit->Focused());
  EXPECT_EQ(Selection(), std::make_pair(3, 0)); // a click selects nothing, also with AutoSelect

  MoveOnto(Edit, XOfChar(6), 10);
  Press();
  MoveOnto(Edit, XOfChar(10), 10);
  Release();
  EXPECT_EQ(Edit->SelText(), "beta");

  ClickOn(Edit, XOfChar(12), 10);
  ClickOn(Edit, XOfChar(12), 10);
  EXPECT_EQ(Edit->SelText(), "gamma");

  // A drag held past the right edge goes on selecting on the clock.
  Edit->SetText(std::string(80, 'w'));
  Key(Win::VK_HOME);
  MoveOnto(Edit, XOfChar(2), 10);
  Press();
  MoveOnto(Edit, Edit->Width() + 30, 10);
  Integer reached = Edit->SelLength();
  AdvanceBy(1000);
  EXPECT_EQ(Edit->SelLength(), reached + 10);
  Release();
  AdvanceBy(1000);
  EXPECT_EQ(Edit->SelLength(), reached + 10);
  Edit->SetText("alpha beta gamma");
  Edit->Perform(Win::EM_SETSEL, 11, 16);

  // Shift+click extends from where the caret was.
  KeyDown(Win::VK_SHIFT);
  ClickOn(Edit, XOfChar(6), 10);
  KeyUp(Win::VK_SHIFT);
  EXPECT_EQ(Selection(), std::make_pair(6, 5));
}

TEST_F(EditTest, ClipboardRoundTripAndOneLevelUndo)
{
  Edit->SetText("copy me");
  Focus(); // AutoSelect: the whole text
  WithKey(Win::VK_CONTROL, 'C');
  EXPECT_EQ(Win::GetClipboardText(), std::optional<std::string>("copy me"));
  Key(Win::VK_END);
  WithKey(Win::VK_CONTROL, 'V');
  EXPECT_EQ(Edit->Text(), "copy mecopy me");

  Edit->SetSelStart(0);
  Edit->SetSelLength(5);
  WithKey(Win::VK_CONTROL, 'X');
  EXPECT_EQ(Edit->Text(), "mecopy me");
  EXPECT_EQ(Win::GetClipboardText(), std::optional<std::string>("copy "));

  Type("xyz"); // one undo step for the typing
  EXPECT_TRUE(Edit->CanUndo());
  WithKey(Win::VK_CONTROL, 'Z');
  EXPECT_EQ(Edit->Text(), "mecopy me");
  WithKey(Win::VK_CONTROL, 'Z'); // undoing the undo
  EXPECT_EQ(Edit->Text(), "xyzmecopy me");

  // Only the first line of a pasted text; a password never leaves.
  Win::SetClipboardText("one\r\ntwo");
  Edit->SelectAll();
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "one");
  Edit->SetPasswordChar(U'*');
  Edit->SelectAll();
  Edit->CopyToClipboard();
  Edit->CutToClipboard();
  EXPECT_EQ(Win::GetClipboardText(), std::optional<std::string>("one\r\ntwo"));
  EXPECT_EQ(Edit->Text(), "one");
}

TEST_F(EditTest, TheHostsClipboardTakesOverWhenGiven)
{
  std::string system;
  Win::SetClipboardBackend({[&](const std::string& t) { system = t; },
                            [&]() { return std::optional<std::string>(system + "!"); }});
  Edit->SetText("abc");
  Focus();
  Edit->CopyToClipboard();
  EXPECT_EQ(system, "abc");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "abc!");
  Win::SetClipboardBackend({});
  EXPECT_EQ(Win::GetClipboardText(), std::nullopt);
}

TEST_F(EditTest, LimitsReadOnlyAndDigitsOnlyRefuseWhatTheyMust)
{
  Edit->SetMaxLength(5);
  Focus();
  Type("abcdefg");
  EXPECT_EQ(Edit->Text(), "abcde");
  Edit->SelectAll();
  Type("xy"); // room again once the selection goes
  EXPECT_EQ(Edit->Text(), "xy");
  Edit->SetText("longer than five"); // code is not cut
  EXPECT_EQ(Edit->Text(), "longer than five");

  Edit->SetText("");
  Edit->SetMaxLength(0);
  Edit->SetNumbersOnly(true);
  Type("1a2-3");
  EXPECT_EQ(Edit->Text(), "123");
  Win::SetClipboardText("45x");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "123");
  Win::SetClipboardText("45");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "12345");

  Edit->SetReadOnly(true);
  int before = Changes;
  Type("6");
  Key(Win::VK_BACK);
  Edit->SelectAll();
  WithKey(Win::VK_CONTROL, 'X');
  WithKey(Win::VK_CONTROL, 'V');
  EXPECT_EQ(Edit->Text(), "12345");
  EXPECT_EQ(Changes, before);
  EXPECT_EQ(Win::GetClipboardText(), std::optional<std::string>("45")); // cut in read-only copies nothing
  WithKey(Win::VK_CONTROL, 'C');
  EXPECT_EQ(Win::GetClipboardText(), std::optional<std::string>("12345"));
}

TEST_F(EditTest, MultiByteTextNeverPutsTheCaretInsideACodePoint)
{
  Edit->SetText("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"); // a é € 😀 z
  Focus();
  Key(Win::VK_HOME);
  for (int i = 1; i <= 5; ++i) {
    Key(Win::VK_RIGHT);
    EXPECT_EQ(Edit->SelStart(), i);
  }
  Edit->SetSelStart(4); // before z
  Key(Win::VK_BACK);    // the emoji goes whole
  EXPECT_EQ(Edit->Text(), "a\xC3\xA9\xE2\x82\xAC" "z");
  Type("\xC3\xBC"); // ü
  EXPECT_EQ(Edit->Text(), "a\xC3\xA9\xE2\x82\xAC\xC3\xBC" "z");
  Edit->Perform(Win::EM_SETSEL, 1, 3);
  EXPECT_EQ(Edit->SelText(), "\xC3\xA9\xE2\x82\xAC");
  // The caret's x grows with every code point, never inside one.
  for (int i = 1; i <= 5; ++i)
    EXPECT_GT(XOfChar(i), XOfChar(i - 1));
  // Ill-formed input arrives well formed.
  Edit->SetText("x\xFFy");
  EXPECT_EQ(Edit->Text(), "x\xEF\xBF\xBDy");
}

TEST_F(EditTest, ChangesAreRaisedOncePerChangeAndNotForSelection)
{
  Edit->SetText("start");
  EXPECT_EQ(Changes, 1);
  Edit->SetText("start"); // the same text: nothing
  Edit->SelectAll();
  Edit->Perform(Win::EM_SETSEL, 1, 2);
  EXPECT_EQ(Changes, 1);
  Edit->SetSelText("X");
  EXPECT_EQ(Edit->Text(), "sXart");
  EXPECT_EQ(Changes, 2);
  Edit->Undo();
  EXPECT_EQ(Edit->Text(), "start");
  EXPECT_EQ(Changes, 3);
  EXPECT_TRUE(Edit->Modified());
}

std::vector<Win::WORD> gCodes;
Win::HBRUSH gParentBrush = nullptr;

Win::LRESULT RecordingParent(Win::HWND hWnd, Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam)
{
  if (Msg == Win::WM_COMMAND)
    gCodes.push_back(Win::HIWORD(WParam));
  if (Msg == Win::WM_CTLCOLOREDIT && gParentBrush)
    return Win::LRESULT(gParentBrush);
  return Win::DefWindowProc(hWnd, Msg, WParam, LParam);
}

// The window class alone, under a parent that is no control: the
// notifications in their order, and the parent's colour answer.
TEST_F(EditTest, ThePlainWindowClassNotifiesItsParentAndTakesItsColours)
{
  Win::WNDCLASS wc;
  wc.lpfnWndProc = &RecordingParent;
  wc.lpszClassName = "EditTestParent";
  Win::RegisterClass(wc);
  Win::HWND parent = Win::CreateWindowEx(0, "EditTestParent", "", Win::WS_POPUP | Win::WS_VISIBLE, 0, 200, 200, 40,
                                         nullptr, nullptr, nullptr, nullptr);
  Win::HWND edit = Win::CreateWindowEx(0, Win::WC_EDIT, "", Win::WS_CHILD | Win::WS_VISIBLE | Win::WS_BORDER, 5, 5,
                                       150, 24, parent, nullptr, nullptr, nullptr);
  ASSERT_TRUE(edit);
  gCodes.clear();
  Win::SetWindowText(edit, "ab");
  Win::SendMessage(edit, Win::EM_SETSEL, 2, 2);
  EXPECT_EQ(gCodes, (std::vector<Win::WORD>{Win::EN_UPDATE, Win::EN_CHANGE}));

  gCodes.clear();
  Win::SetFocus(edit);
  Win::SendMessage(edit, Win::EM_LIMITTEXT, 3, 0);
  Win::SendMessage(edit, Win::WM_CHAR, 'c', 0);
  Win::SendMessage(edit, Win::WM_CHAR, 'd', 0);
  EXPECT_EQ(Win::GetWindowTextString(edit), "abc");
  EXPECT_EQ(gCodes, (std::vector<Win::WORD>{Win::EN_SETFOCUS, Win::EN_UPDATE, Win::EN_CHANGE, Win::EN_MAXTEXT}));

  gParentBrush = Win::CreateSolidBrush(Win::RGB(0, 200, 0));
  Win::InvalidateRect(edit, nullptr, Win::TRUE);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(edit, 140, 12), Win::RGB(0, 200, 0));
  EXPECT_EQ(WindowPixel(edit, 0, 0), Win::GetSysColor(Win::COLOR_WINDOWFRAME));
  Win::DestroyWindow(parent);
  Win::DeleteObject(gParentBrush);
  gParentBrush = nullptr;
}

TEST_F(EditTest, MarginsPlaceTheTextAndScrollingKeepsTheCaretInView)
{
  Edit->SetText("W");
  int plainInk = FirstInkColumn();
  ASSERT_GT(plainInk, 0);
  Win::RECT before = FormatRect();
  Edit->SetMargins(12, 30);
  Win::RECT after = FormatRect();
  EXPECT_EQ(after.Left - before.Left, 11);
  EXPECT_EQ(before.Right - after.Right, 29);
  EXPECT_EQ(FirstInkColumn() - plainInk, 11);
  Edit->RecreateWnd(); // margins, text and limits outlive the window
  RunUntilIdle();
  EXPECT_EQ(FormatRect().Left, after.Left);
  EXPECT_EQ(Edit->Text(), "W");

  Edit->SetText("");
  Focus();
  Type(std::string(60, 'm'));
  Win::RECT r = FormatRect();
  EXPECT_LE(XOfChar(60), r.Right);
  EXPECT_GE(XOfChar(60), r.Left);
  EXPECT_LT(XOfChar(0), r.Left); // the start scrolled out
  Key(Win::VK_HOME);
  EXPECT_EQ(XOfChar(0), r.Left);
}

TEST_F(EditTest, SelectionColoursAndTheCaretBlinkOnTheClock)
{
  Edit->SetColor(clYellow);
  Edit->Font()->SetColor(clBlack);
  Edit->SetText("    ");
  RunUntilIdle();
  Win::RECT r = FormatRect();
  int y = (r.Top + r.Bottom) / 2;
  EXPECT_EQ(ControlPixel(Edit, r.Right - 5, y), Win::RGB(255, 255, 0));
  EXPECT_NE(ControlPixel(Edit, 0, 0), Win::RGB(255, 255, 0)); // the border

  Focus(); // all selected: the highlight shows
  EXPECT_EQ(ControlPixel(Edit, XOfChar(0) + 1, y), Win::GetSysColor(Win::COLOR_HIGHLIGHT));
  Edit->Perform(Win::EM_SETSEL, 4, 4);
  RunUntilIdle();
  int caretX = XOfChar(4);
  Win::COLORREF on = ControlPixel(Edit, caretX, y);
  EXPECT_EQ(on, Win::RGB(0, 0, 0));
  AdvanceBy(Win::kCaretBlinkTime);
  EXPECT_EQ(ControlPixel(Edit, caretX, y), Win::RGB(255, 255, 0));
  AdvanceBy(Win::kCaretBlinkTime);
  EXPECT_EQ(ControlPixel(Edit, caretX, y), Win::RGB(0, 0, 0));
}

TEST_F(EditTest, PasswordAlignmentAndFontShowInThePixels)
{
  auto* shown = new TEdit(Form);
  shown->Font()->Assign(Edit->Font());
  Place(shown, Form, 20, 60, 200, 21);
  shown->SetText("***");
  Edit->SetText("abc");
  Edit->SetPasswordChar(U'*');
  int y = Edit->Height() / 2;
  EXPECT_EQ(Row(Edit, y), Row(shown, y));
  EXPECT_EQ(Edit->Text(), "abc");
  EXPECT_EQ(Win::HFONT(Edit->Perform(Win::WM_GETFONT, 0, 0)), Edit->Font()->Handle());

  Edit->SetPasswordChar(0);
  Edit->SetText("W");
  int left = FirstInkColumn();
  Edit->SetAlignment(taRightJustify);
  EXPECT_GT(FirstInkColumn(), left + 150);
  EXPECT_EQ(Edit->Text(), "W");
}

// Buffered painting and PaintTo hand the edit a DC: it draws there, the
// same pixels as on its window.
TEST_F(EditTest, ItPaintsTheSameOnABufferAndThroughPaintTo)
{
  Edit->SetText("Same pixels");
  int y = Edit->Height() / 2;
  std::vector<Win::COLORREF> plain = Row(Edit, y);
  Edit->SetDoubleBuffered(true);
  Edit->Invalidate();
  EXPECT_EQ(Row(Edit, y), plain);

  TBitmap bitmap;
  bitmap.SetSize(Edit->Width(), Edit->Height());
  Edit->PaintTo(bitmap.Canvas(), 0, 0);
  std::vector<Win::COLORREF> copy;
  for (int x = 0; x < Edit->Width(); ++x)
    copy.push_back(Win::COLORREF(bitmap.Canvas()->Pixels(x, y)));
  EXPECT_EQ(copy, plain);
}

TEST_F(EditTest, ReadOnlyAndDisabledEditsAskForTheStaticColours)
{
  Edit->SetColor(clAqua);
  Edit->SetText("    ");
  Edit->SetReadOnly(true);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Edit, Edit->Width() / 2, Edit->Height() / 2), Win::RGB(0, 255, 255));
  Edit->SetEnabled(false);
  Edit->SetText("mmmm");
  RunUntilIdle();
  // The ink at its darkest is the grey text colour, never the font's black.
  int darkest = Darkest(Row(Edit, Edit->Height() / 2));
  int grey = Win::GetGValue(Win::GetSysColor(Win::COLOR_GRAYTEXT));
  EXPECT_GE(darkest, grey);
  EXPECT_LT(darkest, grey + 40);
}

TEST_F(EditTest, AutoHeightFollowsTheFontAndTheResourceKeepsTheProperties)
{
  Integer small = Edit->Height();
  Edit->Font()->SetSize(20);
  EXPECT_GT(Edit->Height(), small);
  Edit->SetBorderStyle(bsNone);
  EXPECT_EQ(Edit->Height() + 4, Win::EditAutoHeight(Edit->Font()->Handle(), Win::WS_EX_CLIENTEDGE, 0));

  Form->SetName("Root");
  Edit->SetName("Edit1");
  Edit->SetText("secret");
  const String plain = WriteComponentRes(Form);
  QxTest::ExpectLacks(plain, {"MaxLength", "PasswordChar", "ReadOnly", "NumbersOnly", "AutoSelect", "CharCase",
                              "TextHint", "ImeMode", "ImeName", "OEMConvert"});
  QxTest::ExpectHas(plain, {"Text = 'secret'", "BorderStyle = bsNone"});
  Edit->SetMaxLength(8);
  Edit->SetPasswordChar(U'#');
  Edit->SetReadOnly(true);
  Edit->SetCharCase(ecLowerCase);
  Edit->SetTextHint("Your secret");
  Edit->SetImeMode(imAlpha);
  Edit->SetImeName("Latin input");
  Edit->SetOEMConvert(true);
  const String text = WriteComponentRes(Form);
  QxTest::ExpectHas(text, {"MaxLength = 8", "PasswordChar = '#'", "ReadOnly = True", "CharCase = ecLowerCase",
                           "TextHint = 'Your secret'", "ImeMode = imAlpha", "ImeName = 'Latin input'",
                           "OEMConvert = True"});
  QxTest::ExpectReadsBackTheSame(Form, text);
}

// The case styles convert whatever enters the text, by Unicode's full case
// mapping; changing the case converts the text there is.
TEST_F(EditTest, CharCaseConvertsTypedSetPastedAndExistingText)
{
  Edit->SetCharCase(ecUpperCase);
  Focus();
  Type("straße ");
  EXPECT_EQ(Edit->Text(), "STRASSE ");
  EXPECT_EQ(Edit->SelStart(), 8) << "the caret follows the grown text";
  Win::SetClipboardText("ünï");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "STRASSE ÜNÏ");
  Edit->SetText("ǆemal Σ");
  EXPECT_EQ(Edit->Text(), "ǄEMAL Σ");

  Edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(Edit->Text(), "ǆemal σ");
  Focus();
  Key(Win::VK_END);
  Type("ABC");
  EXPECT_EQ(Edit->Text(), "ǆemal σabc");
  // The limit counts the converted text.
  Edit->SetCharCase(ecUpperCase);
  Edit->SetMaxLength(3);
  Edit->SetText("");
  Focus();
  Type("ßß");
  EXPECT_EQ(Edit->Text(), "SSS");

  Edit->SetCharCase(ecNormal);
  Edit->SetMaxLength(0);
  Edit->SetText("MiXeD");
  EXPECT_EQ(Edit->Text(), "MiXeD");
  // The plain window class does the converting: the style is what counts.
  Win::HWND plain = Win::CreateWindowEx(0, Win::WC_EDIT, "Ärger", Win::WS_CHILD | Win::ES_LOWERCASE, 0, 0, 80, 20,
                                        Form->Handle(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Win::GetWindowTextString(plain), "ärger");
  Win::DestroyWindow(plain);
}

// The hint is drawn in the grey text colour where the text would be, while
// the edit is empty and, unless asked otherwise, not focused.
TEST_F(EditTest, TheTextHintShowsGreyWhileEmptyAndSurvivesANewWindow)
{
  auto* other = Place(new TEdit(Form), Form, 20, 60, 100, 21);
  other->SetFocus();
  const int y = Edit->Height() / 2;
  const std::vector<Win::COLORREF> blank = Row(Edit, y);
  Edit->SetTextHint("Your name");
  const std::vector<Win::COLORREF> hinted = Row(Edit, y);
  ASSERT_NE(hinted, blank);
  const int grey = Win::GetGValue(Win::GetSysColor(Win::COLOR_GRAYTEXT));
  EXPECT_NEAR(Darkest(hinted), grey, 10);
  const int hintInk = FirstInkColumn(220);

  // Text, or the focus, hides it; the window's flag shows it focused too.
  Edit->SetText("Your name");
  EXPECT_LT(Darkest(Row(Edit, y)), grey - 60);
  EXPECT_EQ(FirstInkColumn(220), hintInk) << "the hint stands where the text does";
  Edit->SetText("");
  Focus();
  std::vector<Win::COLORREF> focused = Row(Edit, y);
  Edit->SetTextHint("");
  EXPECT_EQ(Row(Edit, y), focused);
  Edit->Perform(Win::EM_SETCUEBANNER, 1, Win::LPARAM("Your name"));
  EXPECT_NE(Row(Edit, y), focused);

  // A new window keeps the hint and aligns it as the text.
  other->SetFocus();
  Edit->SetTextHint("Hint");
  Edit->SetAlignment(taRightJustify);
  char buffer[16] = {};
  EXPECT_TRUE(Edit->Perform(Win::EM_GETCUEBANNER, Win::WPARAM(buffer), sizeof buffer));
  EXPECT_STREQ(buffer, "Hint");
  EXPECT_FALSE(Edit->Perform(Win::EM_GETCUEBANNER, Win::WPARAM(buffer), 4)) << "no room for the zero";
  EXPECT_GT(FirstInkColumn(220), FormatRect().Left + 120);
}

// Random edits, clicks, pastes of arbitrary bytes and undos: the text stays
// well-formed UTF-8, the selection inside it and the caret in view.
TEST_F(EditTest, RandomEditingKeepsTheTextWellFormedAndTheCaretInView)
{
  Focus();
  Win::HWND h = Edit->Handle();
  std::mt19937 random(18);
  const char32_t samples[] = {U'a', U'Z', U' ', U'.', U'\u00E9', U'\u20AC', U'\U0001F600', U'\u0301'};
  const int keys[] = {Win::VK_LEFT, Win::VK_RIGHT, Win::VK_HOME, Win::VK_END, Win::VK_DELETE};
  for (int step = 0; step < 3000; ++step) {
    switch (random() % 7) {
    case 0:
    case 1:
      Win::SendMessage(h, Win::WM_CHAR, Win::WPARAM(samples[random() % std::size(samples)]), 0);
      break;
    case 2:
      Win::SendMessage(h, Win::WM_CHAR, 8, 0);
      break;
    case 3:
      Win::SendMessage(h, Win::WM_KEYDOWN, Win::WPARAM(keys[random() % std::size(keys)]), 0);
      break;
    case 4: {
      std::string bytes;
      for (int n = int(random() % 6); n > 0; --n)
        bytes += char(random() % 256);
      Win::SetClipboardText(bytes);
      Win::SendMessage(h, Win::WM_PASTE, 0, 0);
      break;
    }
    case 5:
      Win::SendMessage(h, Win::WM_LBUTTONDOWN, Win::MK_LBUTTON, Win::MAKELPARAM(int(random() % 220) - 10, 10));
      Win::SendMessage(h, Win::WM_LBUTTONUP, 0, Win::MAKELPARAM(int(random() % 220) - 10, 10));
      break;
    default:
      Win::SendMessage(h, random() % 2 ? Win::WM_UNDO : Win::EM_SETSEL, Win::WPARAM(random() % 40),
                       Win::LPARAM(random() % 40));
      break;
    }
    const String text = Edit->Text();
    bool malformed = false;
    Integer chars = 0;
    for (const char* p = text.data(); p < text.data() + text.size(); ++chars)
      NextUtf8Char(p, text.data() + text.size(), &malformed);
    ASSERT_FALSE(malformed) << "step " << step;
    ASSERT_LE(Edit->SelStart() + Edit->SelLength(), chars) << "step " << step;
    Win::RECT r = FormatRect();
    Win::DWORD from = 0, to = 0;
    Win::SendMessage(h, Win::EM_GETSEL, Win::WPARAM(&from), Win::LPARAM(&to));
    auto inView = [&](Win::DWORD index) {
      int x = XOfChar(Integer(index));
      return x >= r.Left && x <= r.Right;
    };
    ASSERT_TRUE(inView(from) || inView(to)) << "step " << step;
  }
}

} // namespace

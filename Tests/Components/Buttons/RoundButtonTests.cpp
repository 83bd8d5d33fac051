// The round, details and back buttons: disc geometry and outline colours by
// state, tiny heights, glyph ownership, the details chevron both ways and
// the back button's pictures by state.
#include "ButtonTestSupport.hpp"

#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>
#include <QxStyleSupport.hpp>

#include <Quorex.Resources.hpp>
#include <Quorex.Vcl.BackButton.hpp>
#include <Quorex.Vcl.DetailsButton.hpp>
#include <Quorex.Vcl.RoundButton.hpp>
#include <System.Classes.Streaming.hpp>
#include <Win.Desktop.hpp>
#include <System.Streams.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <cstdlib>
#include <memory>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

int R(Win::COLORREF c) { return int(c & 0xFF); }
int G(Win::COLORREF c) { return int((c >> 8) & 0xFF); }
int B(Win::COLORREF c) { return int((c >> 16) & 0xFF); }

// The classic look, so that the face is clBtnFace and the colours are the
// outline's own.
class RoundButtonTest : public QxTest::ButtonFixture {
protected:
  template <class T>
  T* New(int Height, const char* Caption = "Wide")
  {
    auto* button = Place(new T(Form), Form, 20, 20, 160, Height);
    if (Caption)
      button->SetCaption(Caption);
    RunUntilIdle();
    return button;
  }
  // How much darker than the face the square [x0, x1) x [y0, y1) is.
  int Ink(TControl* Control, int x0, int y0, int x1, int y1)
  {
    const Win::COLORREF face = Win::COLORREF(ColorToRGB(clBtnFace));
    int ink = 0;
    for (const Win::COLORREF c : ControlPixels(Control, TRect(x0, y0, x1, y1)))
      ink += std::max(0, (R(face) + G(face) + B(face)) - (R(c) + G(c) + B(c)));
    return ink;
  }
  QxTest::TVisualStyles FClassic{false};
};

TEST_F(RoundButtonTest, FortyHighDiscOutlineByStateAndCaptionAtFortyEight)
{
  auto* button = New<TQxRoundButton>(40);
  const Win::COLORREF face = Win::COLORREF(ColorToRGB(clBtnFace));
  // The outline runs through the square (0, 0, 38, 38): grey at rest.
  const Win::COLORREF rest = ControlPixel(button, 0, 19);
  EXPECT_LT(std::abs(R(rest) - B(rest)), 8);
  EXPECT_LT(R(rest), R(face) - 20);
  EXPECT_EQ(ControlPixel(button, 19, 19), face);
  EXPECT_EQ(ControlPixel(button, 40, 19), face);
  EXPECT_EQ(ControlPixel(button, 19, 39), face);
  // Past the outline's half pixel nothing until the caption at x = 48.
  EXPECT_EQ(Ink(button, 39, 0, 48, 40), 0);
  EXPECT_GT(Ink(button, 48, 0, 70, 40), 0);

  MoveOnto(button, 19, 19);
  Press();
  const Win::COLORREF pressed = ControlPixel(button, 0, 19);
  EXPECT_GT(B(pressed) - R(pressed), 40) << std::hex << pressed;
  Release();
  EXPECT_EQ(ControlPixel(button, 0, 19), rest);
  EXPECT_FALSE(button->Canvas()->HandleAllocated());
}

TEST_F(RoundButtonTest, ThemedDiscShowsEveryState)
{
  QxTest::TVisualStyles themed(true);
  auto* button = New<TQxRoundButton>(40);
  const Win::COLORREF normal = ControlPixel(button, 19, 19);
  MoveOnto(button, 19, 19);
  const Win::COLORREF hot = ControlPixel(button, 19, 19);
  EXPECT_TRUE(button->MouseInControl());
  EXPECT_NE(hot, normal);
  Press();
  EXPECT_NE(ControlPixel(button, 19, 19), hot);
  Release();
  MoveTo(600, 600);
  EXPECT_FALSE(button->MouseInControl());
  button->SetEnabled(false);
  RunUntilIdle();
  EXPECT_NE(ControlPixel(button, 19, 19), normal);
}

TEST_F(RoundButtonTest, HeightsZeroAndOneDrawOnlyBackgroundAndCaption)
{
  for (int height : {0, 1}) {
    auto* button = New<TQxDetailsButton>(height);
    EXPECT_NO_THROW(button->Repaint());
    EXPECT_NO_THROW(RunUntilIdle());
    EXPECT_FALSE(button->Canvas()->HandleAllocated());
    // No disc, outline or chevron squeezed into the one row.
    if (height == 1) {
      EXPECT_EQ(Ink(button, 0, 0, 8, 1), 0);
    }
    delete button;
  }
}

TEST_F(RoundButtonTest, GlyphIsTheButtonsOwnCopy)
{
  auto shared = QxTest::SolidPng(clRed, 10, 10);
  auto* button = New<TQxRoundButton>(40);
  button->SetGlyph(shared.get());
  RunUntilIdle();
  // Centred in the square (0, 0, 38, 38): columns and rows 14 to 23.
  EXPECT_EQ(ControlPixel(button, 14, 14), Win::COLORREF(ColorToRGB(clRed)));
  EXPECT_EQ(ControlPixel(button, 23, 23), Win::COLORREF(ColorToRGB(clRed)));
  EXPECT_NE(ControlPixel(button, 13, 13), Win::COLORREF(ColorToRGB(clRed)));
  // A replaced glyph is let go (the leak check sees it), and the caller's
  // picture outlives the button under the address checks.
  button->SetGlyph(QxTest::SolidPng(clRed, 4, 4).get());
  EXPECT_EQ(button->Glyph()->Width(), 4);
  delete button;
  EXPECT_EQ(shared->Width(), 10);
  EXPECT_EQ(shared->Pixels(0, 0), clRed);

  auto* other = New<TQxRoundButton>(40);
  other->SetGlyph(shared.get());
  other->SetGlyph(nullptr);
  EXPECT_TRUE(other->Glyph()->Empty());
}

TEST_F(RoundButtonTest, DetailsCaptionsAndChevronsBothWays)
{
  auto* details = New<TQxDetailsButton>(40, nullptr);
  EXPECT_EQ(details->State(), dbsMoreDetails);
  EXPECT_EQ(details->Caption(), "Fewer details");
  // Height 38 in the square: centre (19, 19), d = 4; up: tip at y 15.
  const int upTip = Ink(details, 17, 13, 22, 17), upFoot = Ink(details, 17, 22, 22, 26);
  EXPECT_GT(upTip, 0);
  EXPECT_EQ(upFoot, 0);
  details->SetState(dbsFewerDetails);
  RunUntilIdle();
  EXPECT_EQ(details->Caption(), "More details");
  EXPECT_GT(Ink(details, 17, 21, 22, 25), 0);
  EXPECT_EQ(Ink(details, 17, 12, 22, 16), 0);
  details->SetCaptionMoreDetails("Show all");
  EXPECT_EQ(details->Caption(), "Show all");
  details->SetCaptionFewerDetails("Hide");
  details->SetState(dbsMoreDetails);
  EXPECT_EQ(details->Caption(), "Hide");
}

// The pen widens when the chevron's square (the control's height less two)
// reaches 24: a 24-high control still draws with one pixel, 26 with two.
TEST_F(RoundButtonTest, DetailsPenWidensAtASquareOf24)
{
  auto inkPerStep = [this](int height) {
    auto* details = New<TQxDetailsButton>(height, "");
    const int h = height - 2, d = h / 8, c = h / 2;
    const int ink = Ink(details, c - 2 * d - 2, c - d - 2, c + 2 * d + 3, c + d + 3);
    delete details;
    return double(ink) / d;
  };
  const double at24 = inkPerStep(24), at25 = inkPerStep(25), at26 = inkPerStep(26);
  EXPECT_LT(at25 / at24, 1.3);
  EXPECT_GT(at26 / at25, 1.5);
}

TEST_F(RoundButtonTest, FocusedButtonFramesItsCaption)
{
  auto* button = New<TQxRoundButton>(40);
  const int before = Ink(button, 44, 0, 160, 40);
  button->SetFocus();
  RunUntilIdle();
  EXPECT_TRUE(button->IsFocused());
  EXPECT_GT(Ink(button, 44, 0, 160, 40), before);
}

class BackButtonTest : public RoundButtonTest {
protected:
  // The pictures as the resources hold them.
  static std::unique_ptr<TPngImage> Picture(const char* Name)
  {
    TResourceStream stream(HInstance(), Name, Win::RT_RCDATA);
    auto png = std::make_unique<TPngImage>();
    png->LoadFromStream(&stream);
    return png;
  }
  // Whether the button shows the picture (opaque pixels over the form).
  void ExpectShows(TQxBackButton* Button, const char* Name)
  {
    const std::unique_ptr<TPngImage> picture = Picture(Name);
    TPngImage& png = *picture;
    const Win::TImage screen = Win::ComposeDesktop();
    int compared = 0;
    for (int y = 0; y < png.Height(); ++y)
      for (int x = 0; x < png.Width(); ++x)
        if (png.AlphaScanline(y)[x] == 255) {
          ++compared;
          const TPoint p = Button->ClientToScreen(TPoint(x, y));
          ASSERT_EQ(screen.Pixel(p.X, p.Y), Win::COLORREF(ColorToRGB(png.Pixels(x, y))))
            << Name << " at " << x << "," << y;
        }
    EXPECT_GT(compared, 0) << Name;
  }
};

TEST_F(BackButtonTest, ShowsThePictureOfEachState)
{
  auto* back = new TQxBackButton(Form);
  EXPECT_EQ(back->Width(), 30);
  EXPECT_EQ(back->Height(), 30);
  Place(back, Form, 30, 30, 30, 30);
  RunUntilIdle();
  EXPECT_EQ(back->Images()->Count(), 4);
  ExpectShows(back, "NAV_BACK_NORMAL");
  MoveOnto(back, 15, 15);
  ExpectShows(back, "NAV_BACK_HOT");
  Press();
  ExpectShows(back, "NAV_BACK_PRESSED");
  Release();
  MoveTo(600, 600);
  back->SetEnabled(false);
  RunUntilIdle();
  ExpectShows(back, "NAV_BACK_DISABLED");
  // The form's white shows through the pictures' clear corners.
  EXPECT_EQ(ControlPixel(back, 0, 0), Win::COLORREF(ColorToRGB(clWhite)));
  EXPECT_FALSE(back->Canvas()->HandleAllocated());
}

TEST_F(BackButtonTest, DrawsWithoutParentOrWithAStaleBackground)
{
  auto* back = Place(new TQxBackButton(Form), Form, 30, 30, 30, 30);
  RunUntilIdle();
  // The parent shrinks under the button: the background it painted last
  // no longer covers the button, and is not read past its end.
  Form->SetBounds(0, 0, 40, 40);
  back->SetBounds(35, 35, 30, 30);
  EXPECT_NO_THROW(back->Repaint());
  back->SetParent(nullptr);
  EXPECT_NO_THROW(back->Perform(Win::WM_ERASEBKGND, 0, 0));
  delete back;
}

TEST_F(RoundButtonTest, FormResourceKeepsOnlyWhatDiffersAndReadsItBack)
{
  auto* details = New<TQxDetailsButton>(40, nullptr);
  auto* round = New<TQxRoundButton>(40, "Go");
  round->SetName("Round");
  details->SetName("Details");
  String text = WriteComponentRes(Form);
  QxTest::ExpectLacks(text, {"TabStop", "DoubleBuffered", "State =", "Glyph", "BiDiMode", "Drag", "WordWrap"});
  QxTest::ExpectHas(text, {"CaptionMoreDetails = 'More details'"});

  round->SetGlyph(QxTest::SolidPng(clRed, 6, 6).get());
  round->SetWordWrap(true);
  round->SetBiDiMode(bdRightToLeft);
  round->SetDragKind(dkDock);
  details->SetState(dbsFewerDetails);
  details->SetCaptionMoreDetails("Show all");
  details->SetParentDoubleBuffered(true);
  EXPECT_FALSE(details->DoubleBuffered());
  text = WriteComponentRes(Form);
  QxTest::ExpectHas(text, {"State = dbsFewerDetails", "WordWrap = True", "BiDiMode = bdRightToLeft",
                           "DragKind = dkDock", "ParentDoubleBuffered = True"});
  TForm copy(nullptr);
  ReadComponentRes(text, &copy);
  auto* readRound = QxTest::FindIn<TQxRoundButton>(&copy, "Round");
  auto* readDetails = QxTest::FindIn<TQxDetailsButton>(&copy, "Details");
  ASSERT_TRUE(readRound && readDetails);
  QxTest::ExpectSameProperties(round, readRound, "Round");
  QxTest::ExpectSameProperties(details, readDetails, "Details");
  EXPECT_EQ(readRound->Glyph()->Width(), 6);
  EXPECT_EQ(readRound->Glyph()->Pixels(5, 5), clRed);
}

// Wrapped, the caption breaks into lines beside the disc and the block is
// centred; unwrapped it stays one line, cut at the edge.
TEST_F(RoundButtonTest, WordWrapBreaksTheCaptionIntoACentredBlock)
{
  auto* round = New<TQxRoundButton>(60, "alpha beta gamma delta");
  auto inkRows = [&] {
    RunUntilIdle();
    const Win::TImage screen = Win::ComposeDesktop();
    const Win::COLORREF face = Win::COLORREF(ColorToRGB(clBtnFace));
    std::vector<int> rows;
    for (int y = 0; y < round->Height(); ++y)
      for (int x = 68; x < round->Width(); ++x) {
        const TPoint p = round->ClientToScreen(TPoint(x, y));
        if (screen.Pixel(p.X, p.Y) != face) {
          rows.push_back(y);
          break;
        }
      }
    return rows;
  };
  const std::vector<int> single = inkRows();
  ASSERT_FALSE(single.empty());
  round->SetWordWrap(true);
  const std::vector<int> wrapped = inkRows();
  ASSERT_FALSE(wrapped.empty());
  const int line = single.back() - single.front() + 1;
  EXPECT_GT(wrapped.back() - wrapped.front() + 1, line * 3 / 2);
  EXPECT_GT(wrapped.front(), 0);
  EXPECT_LT(wrapped.back(), round->Height() - 1);
  EXPECT_LE(std::abs((wrapped.front() + wrapped.back()) - (single.front() + single.back())), 4);
}

} // namespace

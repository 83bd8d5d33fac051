// The label, the image and the message dialog that the library's dialogs
// are made of.
#include "TestControls.hpp"

#include <QxModalDriver.hpp>
#include <QxSolidImages.hpp>
#include <Vcl.Dialogs.hpp>
#include <Vcl.ExtCtrls.Image.hpp>
#include <Vcl.StdCtrls.Label.hpp>
#include <Win.Desktop.hpp>

#include <algorithm>
#include <functional>

using namespace Vcl;
using namespace QxTest;
using QxTest::QxModalDriver;

TEST_F(ControlTest, ALabelSizesToItsTextAndWrapsAtItsWidth)
{
  TForm* form = MakeForm(0, 0, 400, 300);
  auto* label = Place(new TLabel(form), form, 10, 10, 50, 10);
  label->Font()->SetName("DejaVu Sans Mono");
  label->SetCaption("abcdef");
  const Integer oneLine = label->Height();
  EXPECT_GT(oneLine, 8);
  EXPECT_EQ(label->Width() % 6, 0) << "six glyphs of one advance";
  const Integer glyph = label->Width() / 6;
  label->SetCaption("abc\nde");
  EXPECT_EQ(label->Height(), 2 * oneLine);
  EXPECT_EQ(label->Width(), 3 * glyph);
  label->SetWordWrap(true);
  label->SetWidth(4 * glyph);
  label->SetCaption("ab cd ef gh");
  EXPECT_EQ(label->Width(), 4 * glyph);
  EXPECT_EQ(label->Height(), 4 * oneLine);
  label->SetCaption("");
  EXPECT_EQ(label->Height(), oneLine) << "an empty label keeps one line";

  // It paints its text in the font's colour on the parent's colour.
  label->SetWordWrap(false);
  label->SetCaption("HHHH");
  label->Font()->SetColor(clRed);
  RunUntilIdle();
  int red = 0, white = 0;
  for (Win::COLORREF c : ControlPixels(label)) {
    red += Win::GetRValue(c) > 200 && Win::GetGValue(c) < 80;
    white += c == Win::RGB(255, 255, 255);
  }
  EXPECT_GT(red, 20);
  EXPECT_GT(white, 20);
}

TEST_F(ControlTest, AnImagePlacesItsPictureAtSizeCentredOrStretched)
{
  TForm* form = MakeForm(0, 0, 400, 300);
  auto* image = Place(new TImage(form), form, 0, 0, 100, 50);
  image->Picture()->SetGraphic(SolidBitmap(40, 20, clBlue).get());
  EXPECT_EQ(image->DestRect(), TRect(0, 0, 40, 20));
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), TRect(30, 15, 70, 35));
  image->SetStretch(true);
  EXPECT_EQ(image->DestRect(), TRect(0, 0, 100, 50));
  image->SetProportional(true);
  image->SetBounds(0, 0, 100, 80);
  EXPECT_EQ(image->DestRect(), TRect(0, 15, 100, 65));
  image->SetBounds(0, 0, 30, 80);
  EXPECT_EQ(image->DestRect(), TRect(0, 32, 30, 47)) << "shrunk to fit, proportions kept";
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(image, 15, 40), Win::RGB(0, 0, 255));
  EXPECT_EQ(ControlPixel(image, 15, 10), Win::RGB(255, 255, 255));
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 20);
}

TEST_F(ControlTest, AMessageDialogShowsItsTextAndAnswersWithTheButtonPressed)
{
  std::string seen;
  QxModalDriver driver([&](TCustomForm* form, int) {
    seen = form->Caption() + ": " + static_cast<TControl*>(form->FindComponent("Message"))->Caption();
    QxModalDriver::ClickOn(static_cast<TControl*>(form->FindComponent("No")));
  });
  EXPECT_EQ(MessageDlg("Save the changes?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrNo);
  EXPECT_EQ(seen, "Confirmation: Save the changes?");

  // Enter presses the default button, Escape the cancel one; a long text wraps.
  std::unique_ptr<TForm> dialog(CreateMessageDialog(std::string(300, 'x') + " end", mtError, {mbOK, mbCancel}));
  auto* text = static_cast<TLabel*>(dialog->FindComponent("Message"));
  EXPECT_TRUE(text->WordWrap());
  EXPECT_LE(text->Width(), 360);
  EXPECT_TRUE(static_cast<TButton*>(dialog->FindComponent("OK"))->Default());
  EXPECT_TRUE(static_cast<TButton*>(dialog->FindComponent("Cancel"))->Cancel());
  QxModalDriver keys([](TCustomForm*, int step) { Win::InjectKey(step == 0 ? Win::VK_RETURN : Win::VK_ESCAPE); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(MessageDlg("Only OK", mtInformation, {mbOK}, 0), mrOk);
}

TEST_F(ControlTest, AMessageBoxShowsTheButtonsOfItsFlagsAndAnswersWithTheirIds)
{
  // The buttons from left to right, the default one starred; then the action.
  std::string caption, buttons;
  std::function<void(TCustomForm*, int)> act;
  QxModalDriver driver([&](TCustomForm* form, int step) {
    if (step == 0) {
      std::vector<TButton*> row;
      for (int i = 0; i < form->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(form->Controls(i)))
          row.push_back(b);
      std::sort(row.begin(), row.end(), [](TButton* a, TButton* b) { return a->Left() < b->Left(); });
      caption = form->Caption();
      buttons.clear();
      for (TButton* b : row)
        buttons += b->Name() + (b->Default() ? "* " : " ");
    }
    act(form, step);
  });
  auto click = [&](const char* name) {
    act = [name](TCustomForm* form, int) { QxModalDriver::ClickOn(static_cast<TControl*>(form->FindComponent(name))); };
  };
  auto keys = [&](std::vector<Word> pressed) {
    act = [pressed](TCustomForm*, int step) { Win::InjectKey(pressed.at(size_t(step))); };
  };

  click("No");
  EXPECT_EQ(Application->MessageBox("Keep the old copy?", "Backup", Win::MB_YESNOCANCEL | Win::MB_ICONQUESTION |
                                                                      Win::MB_DEFBUTTON2),
            Win::IDNO);
  EXPECT_EQ(caption, "Backup");
  EXPECT_EQ(buttons, "Yes No* Cancel ");
  click("TryAgain");
  EXPECT_EQ(Application->MessageBox("The disk is busy.", "Copy", Win::MB_CANCELTRYCONTINUE), Win::IDTRYAGAIN);
  EXPECT_EQ(buttons, "Cancel* TryAgain Continue ");

  // Escape: a lone OK answers OK; without a Cancel button it does nothing.
  keys({Win::VK_ESCAPE});
  EXPECT_EQ(Application->MessageBox("Done."), Win::IDOK);
  EXPECT_EQ(caption, Application->Title());
  keys({Win::VK_ESCAPE});
  EXPECT_EQ(Application->MessageBox("Sure?", "Quit", Win::MB_OKCANCEL), Win::IDCANCEL);
  keys({Win::VK_ESCAPE, Win::VK_RETURN});
  EXPECT_EQ(Application->MessageBox("Overwrite?", "Save", Win::MB_YESNO), Win::IDYES);
  // A default button past the last one is the first.
  keys({Win::VK_RETURN});
  EXPECT_EQ(Application->MessageBox("Again?", "Copy", Win::MB_RETRYCANCEL | Win::MB_DEFBUTTON3), Win::IDRETRY);
  EXPECT_EQ(buttons, "Retry* Cancel ");
  EXPECT_EQ(driver.Shown(), 6);
}

// What the button tests share: a shown form to put buttons on, a drop-down
// menu that records where and how it was opened instead of running a modal
// loop, and a log of the events the buttons raise.
#pragma once

#include <QxDesktopFixture.hpp>

#include <Quorex.Vcl.Button.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.Menus.hpp>

#include <functional>
#include <string>
#include <vector>

namespace QxTest {

// Opens nowhere: it notes the anchor, whether anything held the mouse and
// the log, and runs OnOpen as a menu item's handler would.
class TRecordingMenu : public Vcl::TPopupMenu {
public:
  using Vcl::TPopupMenu::TPopupMenu;
  void Popup(Vcl::Integer X, Vcl::Integer Y) override
  {
    Anchors.emplace_back(X, Y);
    CaptureAtPopup = Win::GetCapture();
    if (Log)
      Log->push_back("popup");
    if (OnOpen)
      OnOpen();
  }
  std::vector<Vcl::TPoint> Anchors;
  Win::HWND CaptureAtPopup = nullptr;
  std::vector<std::string>* Log = nullptr;
  std::function<void()> OnOpen;
};

class ButtonFixture : public QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 420, 320, Vcl::clWhite);
    RunUntilIdle();
  }

  // A button with its events logged: "click", "dropdown".
  Quorex::TQxButton* NewButton(Quorex::TQxButtonStyle Style, int left = 40, int top = 40, int width = 120,
                               int height = 30)
  {
    auto* button = Place(new Quorex::TQxButton(Form), Form, left, top, width, height);
    button->SetCaption("Button");
    button->SetButtonStyle(Style);
    button->OnClick = [this](Vcl::TObject*) { Log.push_back("click"); };
    button->OnDropDownClick = [this](Vcl::TObject*) { Log.push_back("dropdown"); };
    RunUntilIdle();
    return button;
  }
  TRecordingMenu* NewMenu(Quorex::TQxButton* Button)
  {
    auto* menu = new TRecordingMenu(Form);
    menu->Log = &Log;
    Button->SetDropDownMenu(menu);
    return menu;
  }
  int Count(const std::string& Entry) const
  {
    int n = 0;
    for (const std::string& e : Log)
      n += e == Entry;
    return n;
  }
  // Past the drop-down menu's reopen guard.
  void LetTheGuardPass() { AdvanceBy(400); }

  Vcl::TForm* Form = nullptr;
  std::vector<std::string> Log;
};

} // namespace QxTest

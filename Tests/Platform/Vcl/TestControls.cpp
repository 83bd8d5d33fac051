#include "TestControls.hpp"

namespace QxTest {

std::vector<std::string> gEvents;

TTestControl::TTestControl(TComponent* AOwner, const String& AName) : TCustomControl(AOwner)
{
  SetName(AName);
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents};
  SetTabStop(true);
}

void TTestControl::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ERASEBKGND:
    if (Message.WParam == Win::WPARAM(Message.LParam))
      SawBufferedErase = true;
    gEvents.push_back(Name() + ":erase");
    break;
  case Win::WM_NCHITTEST:
    Message.Result = HitTestAnswer;
    return;
  case Win::WM_SETFOCUS:
    gEvents.push_back(Name() + ":setfocus");
    break;
  case CM_ENTER:
    gEvents.push_back(Name() + ":enter");
    break;
  case CM_EXIT:
    gEvents.push_back(Name() + ":exit");
    break;
  default:
    break;
  }
  TCustomControl::Dispatch(Message);
}

void TTestControl::Paint()
{
  gEvents.push_back(Name() + ":paint");
  if (FrameColor == clNone)
    return;
  Canvas()->Brush()->SetColor(FrameColor);
  Canvas()->FrameRect(ClientRect());
}

TBox::TBox(TComponent* AOwner, const String& AName) : TGraphicControl(AOwner)
{
  SetName(AName);
  FControlStyle = {csCaptureMouse, csClickEvents, csOpaque};
}

void TBox::Paint()
{
  gEvents.push_back(Name() + ":paint");
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

bool TBox::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  if (Content == TSize())
    return true;
  NewWidth = Content.cx;
  NewHeight = Content.cy;
  return true;
}

void ControlTest::SetUp()
{
  QxDesktopFixture::SetUp();
  gEvents.clear();
}

TForm* ControlTest::MakeForm(int x, int y, int width, int height, TColor color)
{
  auto* form = new TForm(Application);
  form->SetBounds(x, y, width, height);
  form->SetColor(color);
  form->Show();
  RunUntilIdle();
  return form;
}

} // namespace QxTest

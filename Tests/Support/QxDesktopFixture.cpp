#include "QxDesktopFixture.hpp"
#include "QxTestSupport.hpp"

#include <System.Classes.hpp>
#include <Vcl.Forms.hpp>

namespace QxTest {

void QxDesktopFixture::SetUp()
{
  Win::ResetWindowSystem();
  Win::ScreenSettings() = Win::TScreenSettings{};
  Win::UseVirtualClock(true);
}

void QxDesktopFixture::TearDown()
{
  if (HasFailure())
    std::cout << "desktop at failure: " << SaveScreenshot("failure") << std::endl;
  while (Vcl::Screen->FormCount() > 0)
    delete Vcl::Screen->Forms(Vcl::Screen->FormCount() - 1);
  Vcl::Screen->SetCursor(Vcl::crDefault);
  Vcl::Application->Restart();
  Win::ResetWindowSystem();
}

int QxDesktopFixture::RunUntilIdle(int limit)
{
  int handled = 0;
  Win::MSG msg;
  for (;;) {
    bool any = Vcl::CheckSynchronize();
    // Through the application, as a host's loop goes: key messages meet the
    // dialog keys and forms their key preview.
    while (Vcl::Application->ProcessMessage(msg)) {
      any = true;
      if (++handled > limit) {
        ADD_FAILURE() << "the message loop does not settle (last message " << msg.message << ")";
        return handled;
      }
    }
    if (!any)
      return handled;
  }
}

void QxDesktopFixture::AdvanceBy(std::uint64_t ms)
{
  std::uint64_t end = Win::ClockMilliseconds() + ms;
  RunUntilIdle();
  std::uint64_t due = 0;
  while (Win::NextTimerDue(&due) && due <= end) {
    if (due > Win::ClockMilliseconds())
      Win::AdvanceClock(due - Win::ClockMilliseconds());
    RunUntilIdle();
  }
  if (end > Win::ClockMilliseconds())
    Win::AdvanceClock(end - Win::ClockMilliseconds());
  RunUntilIdle();
}

void QxDesktopFixture::MoveTo(int x, int y)
{
  Win::InjectMouseMove(x, y);
  RunUntilIdle();
}

void QxDesktopFixture::Press(Win::TInjectButton button)
{
  Win::InjectMouseDown(button);
  RunUntilIdle();
}

void QxDesktopFixture::Release(Win::TInjectButton button)
{
  Win::InjectMouseUp(button);
  RunUntilIdle();
}

void QxDesktopFixture::Click(int x, int y, Win::TInjectButton button)
{
  Win::InjectClick(x, y, button);
  RunUntilIdle();
}

void QxDesktopFixture::Wheel(int delta)
{
  Win::InjectWheel(delta);
  RunUntilIdle();
}

void QxDesktopFixture::Key(int vk)
{
  Win::InjectKey(vk);
  RunUntilIdle();
}

void QxDesktopFixture::KeyDown(int vk)
{
  Win::InjectKeyDown(vk);
  RunUntilIdle();
}

void QxDesktopFixture::KeyUp(int vk)
{
  Win::InjectKeyUp(vk);
  RunUntilIdle();
}

void QxDesktopFixture::Type(const std::string& text)
{
  Win::InjectText(text);
  RunUntilIdle();
}

Vcl::TForm* QxDesktopFixture::ShowForm(int left, int top, int width, int height, std::optional<Vcl::TColor> color)
{
  auto* form = new Vcl::TForm(Vcl::Application);
  form->SetBounds(left, top, width, height);
  if (color)
    form->SetColor(*color);
  form->Show();
  return form;
}

void QxDesktopFixture::MoveOnto(Vcl::TControl* Control, int x, int y)
{
  Vcl::TPoint p = Control->ClientToScreen(Vcl::TPoint(x, y));
  MoveTo(p.X, p.Y);
}

void QxDesktopFixture::ClickOn(Vcl::TControl* Control, int x, int y, Win::TInjectButton button)
{
  Vcl::TPoint p = Control->ClientToScreen(Vcl::TPoint(x, y));
  Click(p.X, p.Y, button);
}

Win::COLORREF QxDesktopFixture::ControlPixel(Vcl::TControl* Control, int x, int y)
{
  Vcl::TPoint p = Control->ClientToScreen(Vcl::TPoint(x, y));
  return ScreenPixel(p.X, p.Y);
}

std::vector<Win::COLORREF> QxDesktopFixture::ScreenPixels(const Vcl::TRect& R)
{
  const Win::TImage screen = Win::ComposeDesktop();
  std::vector<Win::COLORREF> pixels;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x)
      pixels.push_back(screen.Pixel(x, y));
  return pixels;
}

std::vector<Win::COLORREF> QxDesktopFixture::ControlPixels(Vcl::TControl* Control, std::optional<Vcl::TRect> R)
{
  const Vcl::TRect r = R.value_or(Control->ClientRect());
  return ScreenPixels(Vcl::TRect(Control->ClientToScreen(r.TopLeft()), Control->ClientToScreen(r.BottomRight())));
}

Win::COLORREF QxDesktopFixture::ScreenPixel(int x, int y)
{
  return Win::ComposeDesktop().Pixel(x, y);
}

Win::COLORREF QxDesktopFixture::WindowPixel(Win::HWND hWnd, int x, int y)
{
  return Win::CaptureWindow(hWnd).Pixel(x, y);
}

std::string QxDesktopFixture::SaveScreenshot(const std::string& name)
{
  std::string path = TempDir() + "/" + name + ".png";
  Win::SaveDesktopScreenshot(path);
  return path;
}

} // namespace QxTest

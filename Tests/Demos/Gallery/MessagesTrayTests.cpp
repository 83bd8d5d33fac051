// The gallery's tray icon: in the notification area exactly while its panel
// shows, animating, with its balloon and the user's clicks told on the page.
#include <QxDesktopFixture.hpp>

#include <MessagesTray.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>
#include <Win.Shell.NotifyIcon.hpp>

namespace {

class MessagesTrayTest : public QxTest::QxDesktopFixture {};

TEST_F(MessagesTrayTest, AnimatesShowsItsBalloonAndLeavesWithThePanel)
{
  auto* form = new Vcl::TForm(Vcl::Application);
  form->SetBounds(0, 0, 420, 200);
  const Gallery::TTrayDemo demo = Gallery::PlaceTrayDemo(form, form, 10, 10, 380);
  EXPECT_TRUE(Win::NotifyIcons().empty());
  form->Show();
  RunUntilIdle();
  ASSERT_EQ(Win::NotifyIcons().size(), 1u);
  const Win::TNotifyIconInfo icon = Win::NotifyIcons().front();
  EXPECT_EQ(icon.Tip, "QxComponents Gallery");
  // The badge's sweep turns from one frame to the next.
  const auto strip = [&] {
    const Win::TImage screen = Win::ComposeDesktop();
    std::vector<Win::COLORREF> pixels;
    for (int y = icon.Rect.Top; y < icon.Rect.Bottom; ++y)
      for (int x = icon.Rect.Left; x < icon.Rect.Right; ++x)
        pixels.push_back(screen.Pixel(x, y));
    return pixels;
  };
  const auto first = strip();
  AdvanceBy(250);
  EXPECT_EQ(demo.Tray->IconIndex(), 1);
  EXPECT_NE(strip(), first);

  ClickOn(demo.BalloonButton, 10, 10);
  EXPECT_TRUE(Win::NotifyIcons().front().BalloonVisible);
  EXPECT_EQ(Win::NotifyIcons().front().BalloonTitle, "Backup finished");
  Win::ClickNotifyBalloon(icon.Window, icon.Id);
  RunUntilIdle();
  EXPECT_EQ(demo.Status->Caption(), "You clicked the balloon.");

  form->Hide();
  RunUntilIdle();
  EXPECT_TRUE(Win::NotifyIcons().empty());
  delete form;
}

} // namespace

// What the container tests share: a shown white form to put controls on, a
// picture of the screen to read many pixels from at once, and a colour
// comparison that allows for anti-aliased edges.
#pragma once

#include <QxDesktopFixture.hpp>

#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <cstdlib>

namespace QxTest {

inline bool Near(Win::COLORREF a, Win::COLORREF b, int Tolerance = 3)
{
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > Tolerance)
      return false;
  return true;
}

class ContainerFixture : public QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 420, 320, Vcl::clWhite);
    RunUntilIdle();
  }

  // The screen as it is now, read through a control's client coordinates.
  class TShot {
  public:
    TShot() : FImage(Win::ComposeDesktop()) {}
    Win::COLORREF At(const Vcl::TControl* Control, int x, int y) const
    {
      const Vcl::TPoint p = Control->ClientToScreen(Vcl::TPoint(x, y));
      return FImage.Pixel(p.X, p.Y);
    }

  private:
    Win::TImage FImage;
  };

  Vcl::TForm* Form = nullptr;
};

} // namespace QxTest

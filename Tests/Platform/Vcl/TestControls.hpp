// Controls for the control-layer tests: they paint in one colour and note
// what happens to them in a shared log.
#pragma once

#include <QxDesktopFixture.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.StdCtrls.hpp>

#include <string>
#include <vector>

namespace QxTest {

using namespace Vcl;

extern std::vector<std::string> gEvents;

// A colour as the screen shows it.
inline Win::COLORREF Ref(TColor Color)
{
  return Win::COLORREF(ColorToRGB(Color));
}

// A windowed control: erases with its colour, paints a frame of FrameColor.
class TTestControl : public TCustomControl {
public:
  explicit TTestControl(TComponent* AOwner, const String& AName = "");
  TColor FrameColor = clNone;
  Win::LRESULT HitTestAnswer = Win::HTCLIENT;
  bool SawBufferedErase = false;
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
};

// A graphic control filling its client with its colour.
class TBox : public TGraphicControl {
public:
  explicit TBox(TComponent* AOwner, const String& AName = "");
  // When set, auto-size proposes this size.
  TSize Content;

protected:
  void Paint() override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
};

class ControlTest : public QxDesktopFixture {
protected:
  void SetUp() override;
  // A shown form at (x, y) on the screen with the given client size.
  TForm* MakeForm(int x, int y, int width, int height, TColor color = clWhite);
};

} // namespace QxTest

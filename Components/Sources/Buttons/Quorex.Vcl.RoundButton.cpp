#include "Quorex.Vcl.RoundButton.hpp"

#include <GdiPlusUtils.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>

#include <GdiPlus.hpp>
#include <Vcl.Themes.hpp>
#include <Win.Gdi.Guards.hpp>

using namespace Vcl;
using namespace GdiPlus;

namespace Quorex {

namespace {

// The dotted focus frame alternates between lit and skipped points; the
// phase carries on from line to line and from button to button.
bool FocusDotPhase = false;

void FocusDot(int X, int Y, Win::LPARAM Data)
{
  FocusDotPhase = !FocusDotPhase;
  if (FocusDotPhase)
    Win::SetPixel(reinterpret_cast<Win::HDC>(Data), X, Y, 0);
}

void DottedFrame(Win::HDC DC, const TRect& R)
{
  const auto data = reinterpret_cast<Win::LPARAM>(DC);
  Win::LineDDA(R.Left, R.Top, R.Right, R.Top, FocusDot, data);
  Win::LineDDA(R.Right, R.Top, R.Right, R.Bottom, FocusDot, data);
  Win::LineDDA(R.Right, R.Bottom, R.Left, R.Bottom, FocusDot, data);
  Win::LineDDA(R.Left, R.Bottom, R.Left, R.Top, FocusDot, data);
}

} // namespace

TQxRoundButton::TQxRoundButton(TComponent* AOwner)
  : TCustomButton(AOwner), FCanvas(std::make_unique<TCanvas>()), FGlyph(std::make_unique<TPngImage>())
{
  FControlStyle += TControlStyle{csReflector, csPaintBlackOpaqueOnGlass};
  SetDoubleBuffered(true);
}

TQxRoundButton::~TQxRoundButton()
{
  Destroying();
}

void TQxRoundButton::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~Win::DWORD(Win::BS_TYPEMASK)) | Win::BS_OWNERDRAW;
}

void TQxRoundButton::SetGlyph(const TPngImage* Value)
{
  if (Value == FGlyph.get())
    return;
  FGlyph->Assign(static_cast<const TPersistent*>(Value));
  Refresh();
}

void TQxRoundButton::SetWordWrap(bool Value)
{
  if (FWordWrap == Value)
    return;
  FWordWrap = Value;
  Invalidate();
}

void TQxRoundButton::SetButtonStyle(bool ADefault)
{
  inherited::SetButtonStyle(ADefault);
  if (FIsFocused == ADefault)
    return;
  FIsFocused = ADefault;
  Refresh();
}

void TQxRoundButton::MouseEnter()
{
  if (!StyleServices()->Enabled() || FMouseInControl || ComponentState().Contains(csDesigning))
    return;
  FMouseInControl = true;
  Repaint();
}

void TQxRoundButton::MouseLeave()
{
  if (!StyleServices()->Enabled() || !FMouseInControl)
    return;
  FMouseInControl = false;
  Repaint();
}

TRect TQxRoundButton::CircleRect() const
{
  const TRect c = ClientRect();
  return TRect(c.Left, c.Top, c.Height() - 2, c.Bottom - 2);
}

void TQxRoundButton::DrawItem(const Win::DRAWITEMSTRUCT& DrawItemStruct)
{
  const Win::HDC dc = DrawItemStruct.hDC;
  TCanvasAttachment attached(FCanvas.get(), dc);
  FCanvas->SetFont(Font());
  const bool themed = ThemeControl(this);
  if (themed)
    StyleServices()->DrawParentBackground(Handle(), dc, nullptr, false);
  else {
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(clBtnFace);
    FCanvas->FillRect(ClientRect());
  }
  DrawFace(dc, DrawItemStruct);
  DrawCaption(FCanvas.get());
}

// A control under two pixels high has no room for a disc: only the
// background and the caption are drawn.
void TQxRoundButton::DrawFace(Win::HDC DC, const Win::DRAWITEMSTRUCT& DrawItemStruct)
{
  const TRect s = CircleRect();
  if (s.Width() <= 0 || s.Height() <= 0)
    return;
  const bool pressed = DrawItemStruct.itemState & Win::ODS_SELECTED;
  const bool focus = DrawItemStruct.itemState & Win::ODS_FOCUS;
  if (ThemeControl(this)) {
    TThemedButton state = tbPushButtonNormal;
    if (!Enabled())
      state = tbPushButtonDisabled;
    else if (pressed)
      state = tbPushButtonPressed;
    else if (FMouseInControl)
      state = tbPushButtonHot;
    else if (FIsFocused || focus)
      state = tbPushButtonDefaulted;
    const TRect disc(s.Left, s.Top, s.Right + 2, s.Bottom + 2);
    Win::TSavedDC saved(DC);
    Win::HRGN clip = Win::CreateEllipticRgn(disc.Left, disc.Top, disc.Right, disc.Bottom);
    Win::SelectClipRgn(DC, clip);
    Win::DeleteObject(clip);
    StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(state),
                                 TRect(disc.Left - 4, disc.Top - 4, disc.Right + 4, disc.Bottom + 4));
  }
  {
    auto graphics = TGPGraphics::Create(DC);
    graphics->SetSmoothingMode(SmoothingModeHighQuality);
    if (!ThemeControl(this))
      graphics->FillEllipse(TGPSolidBrush::Create(ToGPColor(ColorToRGB(clBtnFace))), ToGPRectF(s));
    const TColor outline = pressed ? TColor(0x00800000) : TColor(Win::RGB(0x70, 0x70, 0x70));
    graphics->DrawEllipse(TGPPen::Create(ToGPColor(outline), 1.0f), ToGPRectF(s));
  }
  if (FGlyph->Empty())
    return;
  FCanvas->Draw(s.Left + (s.Width() - FGlyph->Width()) / 2, s.Top + (s.Height() - FGlyph->Height()) / 2,
                FGlyph.get());
}

void TQxRoundButton::DrawCaption(TCanvas* Canvas)
{
  TRect t = ClientRect();
  t.Left = Height() + 8;
  String text = Caption();
  Canvas->Brush()->SetStyle(bsClear);
  Win::SetBkMode(Canvas->Handle(), Win::TRANSPARENT);
  if (FWordWrap) {
    DrawWrappedCaption(Canvas, t);
    return;
  }
  Canvas->TextRect(t, text, TTextFormat{tfSingleLine, tfVerticalCenter});
  if (!FIsFocused || text.empty())
    return;
  const TSize extent = Canvas->TextExtent(text);
  t.Inflate(2, (extent.cy - ClientHeight()) / 2 + 2);
  t.Right = t.Left + extent.cx + 3;
  DottedFrame(Canvas->Handle(), t);
}

// DrawText centres only single lines: the wrapped block is measured in the
// caption's width and placed in the middle; focus frames the block.
void TQxRoundButton::DrawWrappedCaption(TCanvas* Canvas, TRect Text)
{
  String text = Caption();
  TRect block = Text;
  Canvas->TextRect(block, text, TTextFormat{tfCalcRect, tfWordBreak});
  block.Offset(0, (Text.Height() - block.Height()) / 2);
  block.Right = Text.Right;
  Canvas->TextRect(block, text, TTextFormat{tfWordBreak});
  if (!FIsFocused || text.empty())
    return;
  Canvas->TextRect(block, text, TTextFormat{tfCalcRect, tfWordBreak});
  DottedFrame(Canvas->Handle(), TRect(block.Left - 2, block.Top - 2, block.Right + 1, block.Bottom + 2));
}

void TQxRoundButton::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case CN_DRAWITEM:
    DrawItem(*reinterpret_cast<const Win::DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
    return;
  case CM_MOUSEENTER:
    MouseEnter();
    break;
  case CM_MOUSELEAVE:
    MouseLeave();
    break;
  case CM_FONTCHANGED:
    Invalidate();
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

QX_PUBLISHED_CONTROL(TQxRoundButton)
{
  PushButtonProperties();
  Publish("Caption");
  Property("Glyph", &T::Glyph, &T::SetGlyph);
  Property("WordWrap", &T::WordWrap, &T::SetWordWrap).Default(false);
}

} // namespace Quorex

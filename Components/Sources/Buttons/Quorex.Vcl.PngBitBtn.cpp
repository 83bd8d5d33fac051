#include "Quorex.Vcl.PngBitBtn.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <Quorex.Vcl.PngButtonFunctions.hpp>
#include <Vcl.Themes.hpp>
#include <Win.Gdi.hpp>

namespace Quorex {

using namespace Vcl;

TPngBitBtn::TPngBitBtn(TComponent* AOwner)
  : TBitBtn(AOwner), FPngImage(std::make_unique<TPngImage>()), FCanvas(std::make_unique<TCanvas>())
{
}

TPngBitBtn::~TPngBitBtn() = default;

void TPngBitBtn::SetPngImage(TPngImage* Value)
{
  AssignButtonPng(*FPngImage, Value);
  FImageFromAction = false;
  Repaint();
}

void TPngBitBtn::SetPngOptions(TPngOptions Value)
{
  if (FPngOptions == Value)
    return;
  FPngOptions = Value;
  Repaint();
}

TControlActionLinkClass TPngBitBtn::GetActionLinkClass() const
{
  return ActionLinkClassOf<TPngButtonActionLink<TWinControlActionLink, TPngBitBtn>>;
}

void TPngBitBtn::ActionChange(TObject* Sender, bool CheckDefaults)
{
  inherited::ActionChange(Sender, CheckDefaults);
  TakeActionImage(Sender, kActionIndex);
}

void TPngBitBtn::TakeActionImage(TObject* Sender, Integer Index)
{
  if (!TakeActionPng(*FPngImage, Sender, FImageFromAction, Index))
    return;
  FImageFromAction = true;
  Repaint();
}

void TPngBitBtn::SetButtonStyle(bool ADefault)
{
  inherited::SetButtonStyle(ADefault);
  if (ADefault == FIsFocused)
    return;
  FIsFocused = ADefault;
  Refresh();
}

void TPngBitBtn::Dispatch(TMessage& Message)
{
  if ((Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) && StyleServices()->Enabled() &&
      !ComponentState().Contains(csDesigning)) {
    FMouseInControl = Message.Msg == CM_MOUSEENTER;
    Repaint();
  }
  inherited::Dispatch(Message);
}

TRect TPngBitBtn::DrawFrame(const Win::DRAWITEMSTRUCT& Item, bool Pressed, bool Focused)
{
  if (StyleServices()->Enabled()) {
    const TThemedButton look = !Enabled()                ? tbPushButtonDisabled
                               : Pressed                 ? tbPushButtonPressed
                               : FMouseInControl         ? tbPushButtonHot
                               : (FIsFocused || Focused) ? tbPushButtonDefaulted
                                                         : tbPushButtonNormal;
    const TThemedElementDetails details = StyleServices()->GetElementDetails(look);
    StyleServices()->DrawParentBackground(Handle(), Item.hDC, &details, true);
    StyleServices()->DrawElement(Item.hDC, details, Item.rcItem);
    TRect r;
    StyleServices()->GetElementContentRect(Item.hDC, details, Item.rcItem, r);
    return r;
  }
  TRect r = ClientRect();
  if (FIsFocused || Focused) {
    FCanvas->Pen()->SetColor(clWindowFrame);
    FCanvas->Pen()->SetWidth(1);
    FCanvas->Brush()->SetStyle(bsClear);
    FCanvas->Rectangle(r);
    r.Inflate(-1, -1);
  }
  if (Pressed) {
    FCanvas->Pen()->SetColor(clBtnShadow);
    FCanvas->Pen()->SetWidth(1);
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(clBtnFace);
    FCanvas->Rectangle(r);
    r.Inflate(-1, -1);
  } else {
    Win::DrawFrameControl(Item.hDC, &r, Win::DFC_BUTTON,
                          Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT | (Enabled() ? 0 : Win::DFCS_INACTIVE));
  }
  if (FIsFocused || Focused) {
    r = ClientRect();
    r.Inflate(-1, -1);
  }
  if (Pressed)
    r.Offset(1, 1);
  return r;
}

void TPngBitBtn::CNDrawItem(const Win::DRAWITEMSTRUCT& Item)
{
  FCanvas->SetHandle(Item.hDC);
  FCanvas->Font()->Assign(Font());
  const bool pressed = Item.itemState & Win::ODS_SELECTED;
  const bool focused = Item.itemState & Win::ODS_FOCUS;
  const TRect frame = DrawFrame(Item, pressed, focused);

  TPoint glyph, text;
  const String caption = Caption();
  CalcButtonLayout(FCanvas.get(), FPngImage.get(), ClientRect(), pressed, false, caption, Layout(), Margin(),
                   Spacing(), glyph, text, DrawTextBiDiModeFlags(0));
  if (Kind() == bkCustom && !FPngImage->Empty())
    DrawPNG(FPngImage.get(), FCanvas.get(),
            TRect(glyph.X, glyph.Y, glyph.X + FPngImage->Width(), glyph.Y + FPngImage->Height()),
            Enabled() ? TPngOptions{} : FPngOptions);
  if (!caption.empty()) {
    TRect r(text.X, text.Y, Width(), Height());
    FCanvas->Brush()->SetStyle(bsClear);
    Win::SetBkMode(Item.hDC, Win::TRANSPARENT);
    Win::SetTextColor(Item.hDC, Win::COLORREF(ColorToRGB(FCanvas->Font()->Color())));
    // The layout has put glyph and caption in reading order; the caption
    // starts at its place, so only the reading order applies to it.
    Win::DrawText(Item.hDC, caption.c_str(), -1, &r, Win::DT_SINGLELINE | DrawTextBiDiModeFlagsReadingOnly());
  }
  if (FIsFocused && focused) {
    TRect r = frame;
    if (!StyleServices()->Enabled()) {
      r = ClientRect();
      r.Inflate(-3, -3);
      FCanvas->Pen()->SetColor(clWindowFrame);
      FCanvas->Brush()->SetColor(clBtnFace);
    }
    FCanvas->DrawFocusRect(r);
  }
  FCanvas->SetHandle(nullptr);
}

QX_PUBLISHED(TPngBitBtn)
{
  Property("PngImage", &T::PngImage, &T::SetPngImage).Stored(&T::PngImageStored);
  Property("PngOptions", &T::PngOptions, &T::SetPngOptions).Default(TPngOptions{pngBlendOnDisabled});
  Publish("Glyph").Stored(false);
  Publish("NumGlyphs").Stored(false);
}

} // namespace Quorex

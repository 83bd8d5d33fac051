#include "Quorex.Vcl.BackButton.hpp"

#include <Quorex.Resources.hpp>
#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>

#include <System.Streams.hpp>
#include <Vcl.Themes.hpp>

using namespace Vcl;

namespace Quorex {

namespace {

// The pictures in image-index order: normal, hot, pressed, disabled.
constexpr const char* BackImageNames[] = {"NAV_BACK_NORMAL", "NAV_BACK_HOT", "NAV_BACK_PRESSED", "NAV_BACK_DISABLED"};
constexpr int BackImageSize = 30;

} // namespace

TQxBackButton::TQxBackButton(TComponent* AOwner)
  : TCustomButton(AOwner), FBackground(std::make_unique<TBitmap>()), FCanvas(std::make_unique<TCanvas>()),
    FImages(std::make_unique<TPngImageList>())
{
  SetCaption("");
  UpdateButtonSize();
  FControlStyle += TControlStyle{csFixedWidth, csFixedHeight, csReflector, csPaintBlackOpaqueOnGlass};
  SetDoubleBuffered(true);
}

TQxBackButton::~TQxBackButton()
{
  Destroying();
}

void TQxBackButton::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~Win::DWORD(Win::BS_TYPEMASK)) | Win::BS_OWNERDRAW;
}

void TQxBackButton::LoadImages()
{
  for (const char* name : BackImageNames) {
    TResourceStream stream(HInstance(), name, Win::RT_RCDATA);
    TPngImage png;
    png.LoadFromStream(&stream);
    FImages->AddPng(&png, clNone);
  }
}

void TQxBackButton::UpdateButtonSize()
{
  const int size = DPI::Scale(BackImageSize);
  SetBounds(Left(), Top(), size, size);
  FImages->Clear();
  FImages->SetWidth(BackImageSize);
  FImages->SetHeight(BackImageSize);
  LoadImages();
  FBackground->SetSize(size, size);
}

void TQxBackButton::ChangeScale(Integer M, Integer D)
{
  inherited::ChangeScale(M, D);
  UpdateButtonSize();
}

void TQxBackButton::SetButtonStyle(bool ADefault)
{
  inherited::SetButtonStyle(ADefault);
  if (FIsFocused == ADefault)
    return;
  FIsFocused = ADefault;
  Refresh();
}

void TQxBackButton::MouseEnter()
{
  if (FMouseInControl || ComponentState().Contains(csDesigning))
    return;
  FMouseInControl = true;
  Repaint();
}

void TQxBackButton::MouseLeave()
{
  if (!FMouseInControl || ComponentState().Contains(csDesigning))
    return;
  FMouseInControl = false;
  Repaint();
}

// Without the theme the button shows the parent's own drawing behind its
// picture: the parent paints its client area into the background bitmap.
void TQxBackButton::EraseBackground(TMessage& Message)
{
  if (ComponentState().Contains(csDesigning) || ThemeControl(this) || !Parent() || !Parent()->HandleAllocated()) {
    inherited::Dispatch(Message);
    return;
  }
  FBackground->SetSize(Parent()->ClientWidth(), Parent()->ClientHeight());
  // A parent that paints its colour on erase and its drawing on print gives
  // both, as the theme's parent background takes them.
  const auto dc = Win::WPARAM(FBackground->Canvas()->Handle());
  Win::SendMessage(Parent()->Handle(), Win::WM_ERASEBKGND, dc, 0);
  Win::SendMessage(Parent()->Handle(), Win::WM_PRINTCLIENT, dc, Win::PRF_CLIENT);
  Message.Result = 1;
}

// The part of the parent's picture under the button, clipped to what the
// bitmap holds: it may be older than a move or a resize of the parent.
void TQxBackButton::DrawBackground(Win::HDC DC)
{
  if (StyleServices()->Enabled() && ThemeControl(this)) {
    StyleServices()->DrawParentBackground(Handle(), DC, nullptr, false);
    return;
  }
  const TRect bitmap(0, 0, FBackground->Width(), FBackground->Height());
  TRect source;
  if (!Parent() || !IntersectRect(source, BoundsRect(), bitmap))
    return;
  const TRect client = ClientRect();
  const TPoint offset(source.Left - Left(), source.Top - Top());
  const TRect dest(client.Left + offset.X, client.Top + offset.Y, client.Left + offset.X + source.Width(),
                   client.Top + offset.Y + source.Height());
  FCanvas->CopyRect(dest, FBackground->Canvas(), source);
}

void TQxBackButton::DrawItem(const Win::DRAWITEMSTRUCT& DrawItemStruct)
{
  const Win::HDC dc = DrawItemStruct.hDC;
  TCanvasAttachment attached(FCanvas.get(), dc);
  TThemedNavigation state = tnBackButtonNormal;
  int image = 0;
  if (!Enabled()) {
    state = tnBackButtonDisabled;
    image = 3;
  } else if (DrawItemStruct.itemState & Win::ODS_SELECTED) {
    state = tnBackButtonPressed;
    image = 2;
  } else if (FMouseInControl) {
    state = tnBackButtonHot;
    image = 1;
  }
  DrawBackground(dc);
  const TRect client = ClientRect();
  if (FIsVistaPlus && StyleServices()->Enabled() && ThemeControl(this) &&
      StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(state), client))
    return;
  FImages->Draw(FCanvas.get(), client.Left + (client.Width() - FImages->Width()) / 2,
                client.Top + (client.Height() - FImages->Height()) / 2, image);
}

void TQxBackButton::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case CN_DRAWITEM:
    DrawItem(*reinterpret_cast<const Win::DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
    return;
  case Win::WM_ERASEBKGND:
    EraseBackground(Message);
    return;
  case CM_MOUSEENTER:
    MouseEnter();
    break;
  case CM_MOUSELEAVE:
    MouseLeave();
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

QX_PUBLISHED_CONTROL(TQxBackButton)
{
  PushButtonProperties();
}

} // namespace Quorex

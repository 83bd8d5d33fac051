#include "Quorex.Vcl.UIElement.hpp"

namespace Quorex {

using namespace Vcl;

TUIElement::TUIElement(TWinControl* AOwner, TUIPaintEvent APaintEvent)
  : FOwner(AOwner), FOnPaint(std::move(APaintEvent))
{
}

void TUIElement::SetState(TUIControlState Value)
{
  if (FState == Value)
    return;
  FState = Value;
  InvalidateOwner();
}

void TUIElement::InvalidateOwner()
{
  if (!FOwner || !FOwner->HandleAllocated())
    return;
  const Win::RECT r = FRect;
  Win::InvalidateRect(FOwner->Handle(), &r, FOwner->ControlStyle().Contains(csOpaque) ? Win::FALSE : Win::TRUE);
}

// A pressed element that neither the keyboard nor the mouse holds any more
// looks hot, so dragging out and back shows pressed, hot, pressed.
void TUIElement::Paint(TCanvas* ACanvas)
{
  if (!FOnPaint)
    return;
  TUIControlState state = FState;
  if (state == uicsPressed && !FKeyPressed && !FMouseInItem)
    state = uicsHot;
  FOnPaint(shared_from_this(), ACanvas, state);
}

void TUIElement::MouseMove(Integer AX, Integer AY)
{
  if (FState == uicsDisabled)
    return;
  const bool inside = Contains(AX, AY);
  if (FState != uicsPressed) {
    FMouseInItem = inside;
    SetState(inside ? uicsHot : uicsNormal);
    return;
  }
  if (FMouseInItem == inside)
    return;
  FMouseInItem = inside;
  InvalidateOwner();
}

void TUIElement::EnabledChanged()
{
  if (FOwner)
    SetState(FOwner->Enabled() ? uicsNormal : uicsDisabled);
}

void TUIElement::LButtonDown(Integer AX, Integer AY)
{
  if (Contains(AX, AY) && FState == uicsHot)
    SetState(uicsPressed);
}

void TUIElement::LButtonUp(Integer AX, Integer AY)
{
  // MouseInItem tells where the last move was; a release is not a move.
  if (FState != uicsPressed)
    return;
  SetState(Contains(AX, AY) ? uicsHot : uicsNormal);
}

void TUIElement::MouseLeave()
{
  FMouseInItem = false;
  if (FState == uicsHot)
    SetState(uicsNormal);
  else if (FState == uicsPressed)
    InvalidateOwner();
}

void TUIElement::KeyDown()
{
  FKeyPressed = true;
  SetState(uicsPressed);
}

void TUIElement::KeyUp()
{
  FKeyPressed = false;
  if (FState != uicsPressed)
    return;
  Win::POINT p{};
  Win::GetCursorPos(&p);
  const TPoint client = FOwner ? FOwner->ScreenToClient(p) : TPoint(p);
  SetState(Contains(client.X, client.Y) ? uicsHot : uicsNormal);
}

} // namespace Quorex

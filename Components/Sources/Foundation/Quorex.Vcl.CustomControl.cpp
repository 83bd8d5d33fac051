#include "Quorex.Vcl.CustomControl.hpp"

#include "Quorex.Vcl.Globals.hpp"

#include <Vcl.Themes.hpp>
#include <Win.Gdi.Guards.hpp>

namespace Quorex {

using namespace Vcl;

TQxCustomControl::TQxCustomControl(TComponent* AOwner) : TCustomControl(AOwner)
{
  FControlStyle.Include(csOpaque);
  SetParentBackground(false);
  SetParentColor(true);
}

void TQxCustomControl::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.WindowClass.style |= Win::CS_HREDRAW | Win::CS_VREDRAW;
}

void TQxCustomControl::DestroyHandle()
{
  if (HandleAllocated())
    Perform(Win::WM_MOUSELEAVE);
  inherited::DestroyHandle();
}

void TQxCustomControl::SetTransparent(bool Value)
{
  if (FTransparent == Value)
    return;
  FTransparent = Value;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  if (!ComponentState().Contains(csLoading) && HandleAllocated())
    RecreateWnd();
}

void TQxCustomControl::LockRedraw()
{
  if (HandleAllocated() && FLockReadrawCount < 1)
    Win::SendMessage(Handle(), Win::WM_SETREDRAW, Win::FALSE, 0);
  ++FLockReadrawCount;
}

void TQxCustomControl::UnlockRedraw(bool AInvalidate)
{
  if (FLockReadrawCount < 1)
    return;
  --FLockReadrawCount;
  if (!HandleAllocated() || FLockReadrawCount >= 1)
    return;
  Win::SendMessage(Handle(), Win::WM_SETREDRAW, Win::TRUE, 0);
  if (AInvalidate)
    InvalidateAll();
}

void TQxCustomControl::InvalidateAll()
{
  if (HandleAllocated())
    Win::RedrawWindow(Handle(), nullptr, nullptr,
                      Win::RDW_INVALIDATE | Win::RDW_ERASE | Win::RDW_ALLCHILDREN | Win::RDW_FRAME);
}

void TQxCustomControl::InvalidateAllControls()
{
  Invalidate();
  for (Integer i = 0; i < ControlCount(); ++i)
    Controls(i)->Invalidate();
}

Win::LRESULT TQxCustomControl::QxPerformEraseBackground(TControl* Control, Win::HDC DC)
{
  return qxPerformEraseBackground(Control, DC);
}

void TQxCustomControl::Dispatch(TMessage& Message)
{
  if (Message.Msg == Win::WM_ERASEBKGND) {
    WMEraseBackground(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TQxCustomControl::WMEraseBackground(TMessage& Message)
{
  Message.Result = 1;
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  if (!dc || (DoubleBuffered() && Message.WParam != Win::WPARAM(Message.LParam)))
    return;
  const Win::TSavedDC saved(dc);
  Canvas()->Lock();
  Canvas()->SetHandle(dc);
  struct TDetach {
    TCanvas* Canvas;
    ~TDetach()
    {
      Canvas->SetHandle(nullptr);
      Canvas->Unlock();
    }
  } detach{Canvas()};
  EraseBkGnd();
}

void TQxCustomControl::FillBackground()
{
  Canvas()->Brush()->SetColor(Color());
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(ClientRect());
}

void TQxCustomControl::EraseBkGnd()
{
  if (!FTransparent) {
    FillBackground();
    return;
  }
  if (!Parent())
    return;
  EraseTransparent();
  if (!ThemeControl(this))
    PaintGraphicSiblings();
}

// The parent's background under the control: through the visual styles when
// they apply, else the parent's own erase handler.
void TQxCustomControl::EraseTransparent()
{
  const bool themed = ThemeControl(this);
  if (themed && !Parent()->DoubleBuffered()) {
    StyleServices()->DrawParentBackground(Handle(), Canvas()->Handle(), nullptr, false);
    return;
  }
  if (QxPerformEraseBackground(this, Canvas()->Handle()) == 1 && themed)
    StyleServices()->DrawParentBackground(Handle(), Canvas()->Handle(), nullptr, false);
}

// Graphic controls of the parent that overlap the control paint into it, so
// that they show through.
void TQxCustomControl::PaintGraphicSiblings()
{
  const TRect bounds = BoundsRect();
  const Win::HDC dc = Canvas()->Handle();
  TWinControl* parent = Parent();
  for (Integer i = 0; i < parent->ControlCount(); ++i) {
    TControl* sibling = parent->Controls(i);
    TRect overlap;
    if (dynamic_cast<TWinControl*>(sibling) || !sibling->Visible() ||
        !IntersectRect(overlap, bounds, sibling->BoundsRect()))
      continue;
    const Win::TSavedDC saved(dc);
    Win::OffsetWindowOrgEx(dc, Left() - sibling->Left(), Top() - sibling->Top(), nullptr);
    sibling->Perform(Win::WM_PAINT, Win::WPARAM(dc), 0);
  }
}

} // namespace Quorex

// Painting: invalidation, the paint handlers of graphic, windowed and
// custom controls, double buffering and PaintTo.
#include "Vcl.Controls.Internal.hpp"

#include <Win.Gdi.Guards.hpp>
#include <Win.User.Guards.hpp>

#include <algorithm>
#include <optional>

namespace Vcl {

using namespace ControlsInternal;

namespace {

// A control's canvas draws on the DC it is painted on, locked, for as long
// as the guard lives.
class TPaintingCanvas {
public:
  TPaintingCanvas(TControlCanvas* Canvas, Win::HDC DC) : FCanvas(Canvas)
  {
    FCanvas->FreeHandle();
    FCanvas->Lock();
    FCanvas->SetHandle(DC);
  }
  ~TPaintingCanvas()
  {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  }
  TPaintingCanvas(const TPaintingCanvas&) = delete;
  TPaintingCanvas& operator=(const TPaintingCanvas&) = delete;

private:
  TControlCanvas* FCanvas;
};

} // namespace

void TControl::Invalidate()
{
  if (FVisible)
    InvalidateInParent(BoundsRect(), !FControlStyle.Contains(csOpaque));
}

void TControl::Update()
{
  if (FParent)
    FParent->Update();
}

void TControl::Repaint()
{
  Invalidate();
  Update();
}

void TGraphicControl::WMPaint(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  if (!dc)
    return;
  TPaintingCanvas painting(FCanvas.get(), dc);
  Paint();
}

void TWinControl::SetDoubleBuffered(bool Value)
{
  if (FDoubleBuffered == Value)
    return;
  FDoubleBuffered = Value;
  FParentDoubleBuffered = false;
  NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED);
  Invalidate();
}

void TWinControl::SetParentDoubleBuffered(bool Value)
{
  SetParentSwitch(FParentDoubleBuffered, Value, CM_PARENTDOUBLEBUFFEREDCHANGED);
}

void TWinControl::SetParentBackground(bool Value)
{
  if (ParentBackground() == Value)
    return;
  if (Value)
    FControlStyle.Include(csParentBackground);
  else
    FControlStyle.Exclude(csParentBackground);
  Invalidate();
}

// ---- painting ----------------------------------------------------------------------------------

void TWinControl::Invalidate()
{
  if (FHandle)
    Win::InvalidateRect(FHandle, nullptr, FControlStyle.Contains(csOpaque) ? Win::FALSE : Win::TRUE);
}

void TWinControl::Update()
{
  if (FHandle)
    Win::UpdateWindow(FHandle);
}

void TWinControl::Repaint()
{
  Invalidate();
  Update();
}

void TWinControl::PaintWindow(Win::HDC DC)
{
  TMessage m{Win::WM_PAINT, Win::WPARAM(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(Win::HDC DC, TControl* First)
{
  auto start = First ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
  std::vector<TControl*> controls(start, FControls.end());
  for (TControl* c : controls) {
    if (c->FWindowed || !c->Visible())
      continue;
    TRect r = c->BoundsRect();
    if (!Win::RectVisible(DC, &r))
      continue;
    TStateFlag copy(c->FControlState, csPaintCopy, FControlState.Contains(csPaintCopy));
    Win::TSavedDC saved(DC);
    Win::OffsetWindowOrgEx(DC, -c->Left(), -c->Top(), nullptr);
    Win::IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(Win::WM_PAINT, Win::WPARAM(DC), 0);
  }
}

void TWinControl::PaintHandler(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  std::optional<Win::TWindowPaint> paint;
  if (!dc)
    dc = paint.emplace(FHandle).DC();
  if (!dc)
    return;
  {
    // Opaque graphic children paint over their area themselves.
    Win::TSavedDC saved(dc);
    for (TControl* c : FControls)
      if (!c->FWindowed && c->Visible() && c->ControlStyle().Contains(csOpaque))
        Win::ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
}

void TWinControl::WMPaint(TMessage& Message)
{
  if (Message.WParam || !FDoubleBuffered) {
    PaintHandler(Message);
    return;
  }
  // Painted off-screen, then copied: the erase of the buffer is marked by
  // both of its DC parameters being the buffer.
  Win::TWindowPaint paint(FHandle);
  TRect client = ClientRect();
  Win::TMemoryDC buffer(paint.DC(), std::max(client.Width(), 1), std::max(client.Height(), 1));
  Perform(Win::WM_ERASEBKGND, Win::WPARAM(buffer.DC()), Win::LPARAM(buffer.DC()));
  Perform(Win::WM_PAINT, Win::WPARAM(buffer.DC()), 0);
  Win::BitBlt(paint.DC(), 0, 0, client.Width(), client.Height(), buffer.DC(), 0, 0, Win::SRCCOPY);
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  if (dc && (!FDoubleBuffered || Message.WParam == Win::WPARAM(Message.LParam))) {
    TRect r = ClientRect();
    Win::FillRect(dc, &r, FBrush->Handle());
  }
  Message.Result = 1;
}

void TWinControl::PaintTo(Win::HDC DC, Integer X, Integer Y)
{
  TStateFlag copy(FControlState, csPaintCopy);
  Win::TSavedDC saved(DC);
  Win::OffsetWindowOrgEx(DC, -X, -Y, nullptr);
  Win::IntersectClipRect(DC, 0, 0, Width(), Height());
  Perform(Win::WM_ERASEBKGND, Win::WPARAM(DC), Win::LPARAM(DC));
  Perform(Win::WM_PAINT, Win::WPARAM(DC), 0);
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible())
      w->PaintTo(DC, w->Left(), w->Top());
}

void TCustomControl::PaintWindow(Win::HDC DC)
{
  TPaintingCanvas painting(FCanvas.get(), DC);
  Paint();
}

} // namespace Vcl

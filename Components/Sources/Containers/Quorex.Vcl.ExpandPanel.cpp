#include "Quorex.Vcl.ExpandPanel.hpp"

#include <Quorex.Imaging.RectHelper.hpp>
#include <Quorex.Vcl.CanvasHelper.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <Vcl.Themes.hpp>
#include <Winapi.UxTheme.hpp>

namespace Quorex {

using namespace Vcl;

TQxCustomExpandPanel::TQxCustomExpandPanel(TComponent* AOwner) : TQxCustomControl(AOwner)
{
  FControlStyle.Include(csAcceptsControls);
  FControlStyle.Include(csCaptureMouse);
  FControlStyle.Include(csClickEvents);
  FControlStyle.Include(csSetCaption);
  FControlStyle.Include(csDoubleClicks);
  FControlStyle.Include(csReplicatable);
  FControlStyle.Include(csPannable);
  FExpander = std::make_shared<TUIElement>(
    this, [this](const std::shared_ptr<IUIElement>& ASender, TCanvas* ACanvas, TUIControlState AState) {
      PaintExpander(ASender, ACanvas, AState);
    });
  SetBounds(Left(), Top(), 200, 150);
  FFullHeight = 150;
  UpdateExpanderArea();
}

void TQxCustomExpandPanel::CreateWnd()
{
  TQxCustomControl::CreateWnd();
  // The platform has only the system style and stands for a system that
  // knows the Explorer variant, so the switch is all there is to ask.
  if (StyleServices()->Enabled())
    Win::SetWindowTheme(Handle(), "explorer", nullptr);
}

TRect TQxCustomExpandPanel::HeaderRect() const
{
  TRect r = ClientRect();
  r.Bottom = r.Top + FHeaderHeight;
  return r;
}

TRect TQxCustomExpandPanel::ExpanderRect() const
{
  return PositionRect(HeaderRect(), FHeaderHeight, FHeaderHeight, taLeftJustify, taVerticalCenter);
}

void TQxCustomExpandPanel::AdjustExpandState()
{
  if (ComponentState().Contains(csLoading))
    return;
  const bool collapsed = !FExpanded && !ComponentState().Contains(csDesigning);
  SetHeight(collapsed ? FHeaderHeight : FFullHeight);
}

void TQxCustomExpandPanel::Loaded()
{
  inherited::Loaded();
  FFullHeight = Height();
  AdjustExpandState();
}

// The header strip is part of the background: its changes erase the
// window, not only repaint it.
void TQxCustomExpandPanel::SetExpanded(bool Value)
{
  if (FExpanded == Value)
    return;
  FExpanded = Value;
  AdjustExpandState();
  InvalidateAll();
  if (OnExpandChange)
    OnExpandChange(this);
}

// The mouse area follows every change of the header: it is the whole strip
// or only the glyph, at the strip's current height.
void TQxCustomExpandPanel::SetHeaderHeight(Integer Value)
{
  FHeaderHeight = Value;
  UpdateExpanderArea();
  AdjustExpandState();
  InvalidateAll();
}

void TQxCustomExpandPanel::SetActiveHeader(bool Value)
{
  if (FActiveHeader == Value)
    return;
  FActiveHeader = Value;
  UpdateExpanderArea();
}

void TQxCustomExpandPanel::SetHeaderColor(TColor Value)
{
  FHeaderColor = Value;
  InvalidateAll();
}

void TQxCustomExpandPanel::Resize()
{
  inherited::Resize();
  UpdateExpanderArea();
}

void TQxCustomExpandPanel::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft)
    FExpander->LButtonDown(X, Y);
}

void TQxCustomExpandPanel::MouseMove(TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseMove(Shift, X, Y);
  FExpander->MouseMove(X, Y);
}

void TQxCustomExpandPanel::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft)
    return;
  FExpander->LButtonUp(X, Y);
  if (FExpander->MouseInItem())
    SetExpanded(!FExpanded);
}

void TQxCustomExpandPanel::Dispatch(TMessage& Message)
{
  inherited::Dispatch(Message);
  if (Message.Msg == CM_MOUSELEAVE)
    FExpander->MouseLeave();
  else if (Message.Msg == CM_ENABLEDCHANGED)
    FExpander->EnabledChanged();
}

void TQxCustomExpandPanel::EraseBkGnd()
{
  inherited::EraseBkGnd();
  TCanvas* canvas = Canvas();
  if (FHeaderColor != clNone) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FHeaderColor);
    canvas->FillRect(HeaderRect());
  }
  if (!ComponentState().Contains(csDesigning))
    return;
  canvas->Pen()->SetColor(clBlack);
  canvas->Pen()->SetStyle(psDot);
  canvas->MoveTo(0, FHeaderHeight);
  canvas->LineTo(Width(), FHeaderHeight);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Rectangle(ClientRect());
}

void TQxCustomExpandPanel::Paint()
{
  inherited::Paint();
  FExpander->Paint(Canvas());
}

void TQxCustomExpandPanel::PaintExpander(const std::shared_ptr<IUIElement>& ASender, TCanvas* ACanvas,
                                         TUIControlState AState)
{
  (void)ASender;
  QxDrawTreeExpander(ACanvas, this, ExpanderRect(), AState, FExpanded ? tvesOpened : tvesClosed);
}

QX_PUBLISHED_CONTROL(TQxExpandPanel)
{
  ControlProperties(alNone, true);
  Property("ActiveHeader", &T::ActiveHeader, &T::SetActiveHeader).Default(true);
  Property("HeaderColor", &T::HeaderColor, &T::SetHeaderColor).As(pkColor).Default(clNone);
  Property("HeaderHeight", &T::HeaderHeight, &T::SetHeaderHeight).Default(24);
  // Stored always: a collapsed panel reads back collapsed.
  Property("Expanded", &T::Expanded, &T::SetExpanded);
  Property("Transparent", &T::Transparent, &T::SetTransparent).Default(false);
  DragAndBiDiProperties();
  // The parent switch before the value it stands for, so that a stored
  // value is read last and wins.
  Publish("ParentDoubleBuffered").Default(true);
  for (const char* name : {"DoubleBuffered", "TabOrder", "TabStop"})
    Publish(name);
}

} // namespace Quorex

#include "Quorex.Vcl.CheckCombobox.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

namespace Quorex {

using namespace Vcl;

TRect TQxCustomCombobox::GetScreenDropRect() const
{
  TRect r = GetDropRect();
  const TPoint origin = ClientToScreen(TPoint(0, 0));
  r.Offset(origin.X, origin.Y);
  return r;
}

// ---- TQxCheckListPopup --------------------------------------------------------------------

TQxCheckListPopup::TQxCheckListPopup(TComponent* AOwner)
  : TPopupForm(AOwner), FOwnerControl(dynamic_cast<TWinControl*>(AOwner))
{
  QX_ASSERT(FOwnerControl, "Quorex.Vcl.CheckCombobox");
}

void TQxCheckListPopup::Popup()
{
  const TPoint at = FOwnerControl->ClientToScreen(TPoint(0, FOwnerControl->Height()));
  HandleNeeded();
  SetBounds(at.X, at.Y, FOwnerControl->Width(), 100);
  Show();
}

void TQxCheckListPopup::PaintWindow(Win::HDC DC)
{
  TCanvas canvas;
  TCanvasAttachment attach(&canvas, DC);
  canvas.Brush()->SetColor(clWindow);
  canvas.Pen()->SetColor(clBtnShadow);
  canvas.Rectangle(ClientRect());
  // The strings, one a line, until the check list comes.
  const auto* combo = dynamic_cast<const TQxCustomCheckCombobox*>(FOwnerControl);
  if (!combo)
    return;
  canvas.SetFont(FOwnerControl->Font());
  canvas.Brush()->SetStyle(bsClear);
  const Integer line = canvas.TextHeight("Wg") + 2;
  for (Integer i = 0; i < combo->Items()->Count(); ++i)
    canvas.TextOut(6, 3 + i * line, combo->Items()->Strings(i));
}

// ---- TQxCustomCheckCombobox ---------------------------------------------------------------

TQxCustomCheckCombobox::TQxCustomCheckCombobox(TComponent* AOwner)
  : TQxCustomCombobox(AOwner), FItems(std::make_unique<TStringList>())
{
  FControlStyle.Include(csClickEvents);
  FControlStyle.Include(csCaptureMouse);
  SetBounds(Left(), Top(), 145, 21);
  if (!ComponentState().Contains(csDesigning))
    FPopup = new TQxCheckListPopup(this);
}

TQxCustomCheckCombobox::~TQxCustomCheckCombobox()
{
  delete FPopup;
  FPopup = nullptr;
}

void TQxCustomCheckCombobox::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopup)
    FPopup = nullptr;
}

void TQxCustomCheckCombobox::SetItems(TStrings* Value)
{
  FItems->Assign(Value);
}

void TQxCustomCheckCombobox::Paint()
{
  Canvas()->Rectangle(ClientRect());
}

void TQxCustomCheckCombobox::Click()
{
  inherited::Click();
  if (!FPopup)
    return;
  if (FPopup->Visible()) {
    FPopup->Hide();
    return;
  }
  // The press on the control itself must not count as a press outside.
  FPopup->SetInactiveRect(GetScreenDropRect());
  FPopup->Popup();
}

QX_PUBLISHED_CONTROL(TQxCheckCombobox)
{
  ControlProperties(alNone, false);
  Publish("TabStop");
  Property("Items", &T::Items, &T::SetItems);
}

} // namespace Quorex

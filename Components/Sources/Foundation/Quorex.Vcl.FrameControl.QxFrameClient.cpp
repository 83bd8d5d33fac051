#include "Quorex.Vcl.FrameControl.QxFrameClient.hpp"

#include "Quorex.Vcl.ControlProperties.hpp"

namespace Quorex {

using namespace Vcl;

void DrawDesignFrame(TControl* Control, TCanvas* Canvas)
{
  if (!Control->ComponentState().Contains(csDesigning))
    return;
  Canvas->Pen()->SetColor(clBlack);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psDash);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(0, 0, Control->Width(), Control->Height());
}

TQxCustomFrameClient::TQxCustomFrameClient(TComponent* AOwner) : TCustomControl(AOwner)
{
  SetAlign(alClient);
}

void TQxCustomFrameClient::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style |= Win::WS_CLIPCHILDREN;
}

void TQxCustomFrameClient::Paint()
{
  DrawDesignFrame(this, Canvas());
}

void TQxCustomFrameClient::Resize()
{
  if (!FAdopting)
    inherited::Resize();
}

TQxFrameClient::TQxFrameClient(TComponent* AOwner) : TQxCustomFrameClient(AOwner) {}

QX_PUBLISHED_CONTROL(TQxFrameClient)
{
  ControlProperties(alClient, false);
  Publish("DoubleBuffered");
  Publish("TabOrder");
  Event("OnBeforeEnter", &T::OnBeforeEnter);
  Event("OnEnter", &T::OnEnter);
  Event("OnBeforeLeave", &T::OnBeforeLeave);
  Event("OnLeave", &T::OnLeave);
}

} // namespace Quorex

#include "Quorex.Vcl.FrameControl.QxFrameHost.hpp"

#include "Quorex.Vcl.ControlProperties.hpp"

namespace Quorex {

using namespace Vcl;

TQxCustomFrameHost::TQxCustomFrameHost(TComponent* AOwner) : TQxCustomControl(AOwner)
{
  SetAlign(alClient);
}

TQxCustomFrameHost::~TQxCustomFrameHost()
{
  Destroying();
  FCache.clear();
  FFrame = nullptr;
}

void TQxCustomFrameHost::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style |= Win::WS_CLIPCHILDREN;
}

void TQxCustomFrameHost::EraseBkGnd()
{
  FillBackground();
}

void TQxCustomFrameHost::Paint()
{
  DrawDesignFrame(this, Canvas());
}

TQxFrameClient* TQxCustomFrameHost::AddFrame(TQxFrameClient* AClient)
{
  if (!AClient || AClient->Parent() == this)
    return AClient;
  AClient->FreeNotification(this);
  {
    const TScopedValue adopting(AClient->FAdopting, true);
    AClient->Hide();
    AClient->SetParent(this);
    AClient->SetAlign(alClient);
    // A hidden control is not aligned; sized now, showing it later does not
    // resize it again.
    AClient->SetBoundsRect(ClientRect());
  }
  AClient->Resize();
  return AClient;
}

TQxFrameClient* TQxCustomFrameHost::AddFrame(const TClassInfo& AFrameClass)
{
  if (auto cached = FCache.find(&AFrameClass); cached != FCache.end())
    return cached->second;
  TComponent* instance = CreateComponent(AFrameClass, this);
  TQxFrameClient* client = nullptr;
  for (TComponent* c : instance->ComponentList())
    if ((client = dynamic_cast<TQxFrameClient*>(c)))
      break;
  // Classes without a client are remembered too, so that asking again does
  // not make another hidden instance.
  FCache[&AFrameClass] = client;
  return AddFrame(client);
}

void TQxCustomFrameHost::SetActiveFrame(TQxFrameClient* Value)
{
  if (Value == FFrame)
    return;
  LeavePage();
  EnterPage(Value);
}

void TQxCustomFrameHost::LeavePage()
{
  if (!FFrame)
    return;
  const auto redraw = ScopedRedrawLock();
  FFrame->Fire(FFrame->OnBeforeLeave);
  FFrame->Deactivate();
  FFrame->Hide();
  FireOrDrop(FFrame->OnLeave);
}

void TQxCustomFrameHost::EnterPage(TQxFrameClient* Value)
{
  const auto redraw = ScopedRedrawLock();
  FFrame = AddFrame(Value);
  if (!FFrame)
    return;
  FireOrDrop(FFrame->OnBeforeEnter);
  FFrame->Show();
  FFrame->Activate();
  FFrame->Fire(FFrame->OnEnter);
}

// A handler that raises on a hidden page leaves no page shown: the host says
// so, and asking for that page again enters it again.
void TQxCustomFrameHost::FireOrDrop(const TNotifyEvent& Event)
{
  try {
    FFrame->Fire(Event);
  } catch (...) {
    FFrame = nullptr;
    throw;
  }
}

void TQxCustomFrameHost::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FFrame)
    FFrame = nullptr;
  std::erase_if(FCache, [AComponent](const auto& entry) { return entry.second == AComponent; });
}

QX_PUBLISHED_CONTROL(TQxFrameHost)
{
  ControlProperties(alClient, true);
  Publish("DoubleBuffered");
  Publish("TabOrder");
}

} // namespace Quorex

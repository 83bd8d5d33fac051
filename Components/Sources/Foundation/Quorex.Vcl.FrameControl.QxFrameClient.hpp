// The panel inside a frame or form class that a frame host shows as one of
// its pages, with the page-switching notifications.
#pragma once

#include <Vcl.Controls.hpp>

namespace Quorex {

class TQxCustomFrameHost;

class TQxCustomFrameClient : public Vcl::TCustomControl {
  QX_CLASS(TQxCustomFrameClient, Vcl::TCustomControl)
public:
  explicit TQxCustomFrameClient(Vcl::TComponent* AOwner);

  bool IsActive() const { return FIsActive; }
  void Activate() { FIsActive = true; }
  void Deactivate() { FIsActive = false; }

  Vcl::TNotifyEvent OnBeforeEnter;
  Vcl::TNotifyEvent OnEnter;
  Vcl::TNotifyEvent OnBeforeLeave;
  Vcl::TNotifyEvent OnLeave;

protected:
  void CreateParams(Vcl::TCreateParams& Params) override;
  void Paint() override;
  void Resize() override;

private:
  friend class TQxCustomFrameHost;
  void Fire(const Vcl::TNotifyEvent& Event) { if (Event) Event(this); }
  bool FIsActive = false;
  // While the host adopts the client, the alignment's resizes wait for the
  // one OnResize that adoption raises.
  bool FAdopting = false;
};

class TQxFrameClient : public TQxCustomFrameClient {
  QX_CLASS(TQxFrameClient, TQxCustomFrameClient)
public:
  explicit TQxFrameClient(Vcl::TComponent* AOwner);
};

// The black dashed frame that marks frames and hosts in the designer.
void DrawDesignFrame(Vcl::TControl* Control, Vcl::TCanvas* Canvas);

} // namespace Quorex

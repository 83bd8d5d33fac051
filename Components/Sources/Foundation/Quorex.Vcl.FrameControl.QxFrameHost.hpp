// Shows one page at a time. Each page is a frame or form class built on
// its own that holds a TQxFrameClient; the host creates each class once, on
// first use, adopts its frame client as a child filling the host, and
// switches pages with leave and enter notifications.
#pragma once

#include "Quorex.Vcl.CustomControl.hpp"
#include "Quorex.Vcl.FrameControl.QxFrameClient.hpp"

#include <map>

namespace Quorex {

class TQxCustomFrameHost : public TQxCustomControl {
  QX_CLASS(TQxCustomFrameHost, TQxCustomControl)
public:
  explicit TQxCustomFrameHost(Vcl::TComponent* AOwner);
  ~TQxCustomFrameHost() override;

  // The frame client of the class, made on first use; nullptr when the
  // class holds none (the class is remembered, its instance stays hidden).
  // A constructor's exception passes on, the current page unchanged.
  TQxFrameClient* AddFrame(const Vcl::TClassInfo& AFrameClass);
  template <class T>
  TQxFrameClient* AddFrame() { return AddFrame(T::StaticClass()); }
  // Adopts a client as a hidden child filling the host.
  TQxFrameClient* AddFrame(TQxFrameClient* AClient);
  void SetFrame(const Vcl::TClassInfo& AFrameClass) { SetActiveFrame(AddFrame(AFrameClass)); }
  template <class T>
  void SetFrame() { SetFrame(T::StaticClass()); }

  TQxFrameClient* Frame() const { return FFrame; }
  void SetActiveFrame(TQxFrameClient* Value);

protected:
  void CreateParams(Vcl::TCreateParams& Params) override;
  void EraseBkGnd() override;
  void Paint() override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  void LeavePage();
  void EnterPage(TQxFrameClient* Value);
  void FireOrDrop(const Vcl::TNotifyEvent& Event);

  TQxFrameClient* FFrame = nullptr;
  std::map<const Vcl::TClassInfo*, TQxFrameClient*> FCache;
};

class TQxFrameHost : public TQxCustomFrameHost {
  QX_CLASS(TQxFrameHost, TQxCustomFrameHost)
public:
  using TQxCustomFrameHost::TQxCustomFrameHost;
};

} // namespace Quorex

// Switches the host application's own start at user log-on on and off,
// through the auto-load library.
#pragma once

#include "AutoLoad.Intf.hpp"

#include <System.TypInfo.hpp>

#include <vector>

namespace Quorex {

enum class TQxAutoLoadSource { lsAuto, lsRegistry, lsScheduler };
using enum TQxAutoLoadSource;
QX_ENUM_NAMES(TQxAutoLoadSource, lsAuto, lsRegistry, lsScheduler)

using TAutoLoadError = std::function<void(Vcl::TObject* Sender, Cardinal ACode)>;

class TQxCustomAutoLoad : public Vcl::TComponent {
  QX_CLASS(TQxCustomAutoLoad, Vcl::TComponent)
public:
  explicit TQxCustomAutoLoad(Vcl::TComponent* AOwner);
  // Results the library reports after this are dropped.
  ~TQxCustomAutoLoad() override;

  // The full path of the host executable.
  String GetPath() const;
  // TaskName, or the application's title, or the executable's name.
  String GetTaskName() const;
  // These three load the library on first use and raise its load errors.
  bool IsAvailable();
  // Active := whether the executable is registered.
  void Refresh();
  // Registers the executable (Active) or removes its registration, by
  // Source and Elevated. A result reported during the call is handled before
  // Apply returns; one reported later from another thread is handled on the
  // user-interface thread, where an error it raises goes to the
  // application's exception handler.
  void Apply();

  const String& TaskName() const { return FTaskName; }
  void SetTaskName(const String& Value) { FTaskName = Value; }
  TQxAutoLoadSource Source() const { return FSource; }
  void SetSource(TQxAutoLoadSource Value) { FSource = Value; }
  bool Elevated() const { return FElevated; }
  void SetElevated(bool Value) { FElevated = Value; }
  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }

  TAutoLoadError OnError;

protected:
  // 0 (success) and 5 (access denied: the user declined elevation) are
  // ignored; another code goes to OnError, or is raised as EOSError.
  virtual void ResultHandler(Cardinal Code);

private:
  // Shared with the callbacks handed to the library, which hold it weakly:
  // once the component is gone they find nothing.
  struct TResultRelay {
    TQxCustomAutoLoad* Component;
    std::vector<Cardinal> Held; // reported on the UI thread during a call
  };
  TAsyncResult ResultCallback() const;
  void HandleHeldResults();

  String FTaskName;
  TQxAutoLoadSource FSource = lsRegistry;
  bool FElevated = false;
  bool FActive = false;
  std::shared_ptr<TResultRelay> FRelay;
};

class TQxAutoLoad : public TQxCustomAutoLoad {
  QX_CLASS(TQxAutoLoad, TQxCustomAutoLoad)
public:
  using TQxCustomAutoLoad::TQxCustomAutoLoad;
};

} // namespace Quorex

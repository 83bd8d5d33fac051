// The update service component: checks on a schedule whether a newer
// version of the host application is published, and shows the version
// status dialog when one is, or when the user asked for the check (a
// failed check the user asked for shows an error box instead).
//
// It may be freed from any of its handlers or while its dialog shows: the
// code after each call-out sees that it is gone and touches nothing.
#pragma once

#include "Quorex.Vcl.Dialogs.VersionStatus.hpp"
#include "Quorex.Vcl.UpdateService.Engine.hpp"

#include <memory>

namespace Quorex {

// Where the defaults point: a reserved name that never resolves.
inline const char* const kDefaultVersionUrl = "http://updates.qxcomponents.invalid/files/default-version.xml";
inline const char* const kDefaultDownloadUrl = "http://updates.qxcomponents.invalid/product/default/download";

class TQxUpdateService : public Vcl::TComponent {
  QX_CLASS(TQxUpdateService, Vcl::TComponent)
public:
  explicit TQxUpdateService(Vcl::TComponent* AOwner);
  ~TQxUpdateService() override;

  // A check the user asked for: it answers with the dialog or the error box.
  void Check();

  String URL() const { return FUpdater->URL(); }
  void SetUrl(const String& Value) { FUpdater->SetURL(Value); }
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);
  Integer IntervalMin() const { return FUpdater->CheckInterval(); }
  void SetInterval(Integer Value) { FUpdater->SetCheckInterval(Value); }
  Integer FirstCheckDelaySec() const { return FUpdater->FirstCheckDelay(); }
  void SetFirstDelay(Integer Value) { FUpdater->SetFirstCheckDelay(Value); }
  bool DefaultForm() const { return FDefaultForm; }
  void SetDefaultForm(bool Value) { FDefaultForm = Value; }
  const String& DownloadURL() const { return FDownloadUrl; }
  void SetDownloadURL(const String& Value) { FDownloadUrl = Value; }
  bool CheckOnce() const { return FUpdater->CheckOnce(); }
  void SetCheckOnce(bool Value) { FUpdater->SetCheckOnce(Value); }
  const String& AppName() const { return FAppName; }
  void SetAppName(const String& Value) { FAppName = Value; }

  // The engine, for what it reports (ServerVersion, NewVersionAvailable,
  // Checking) and its download limits.
  TUpdateService* Updater() const { return FUpdater.get(); }
  // The dialog while it shows, nullptr otherwise.
  TVersionStatusDialog* Dialog() const { return FDialog; }

  TNotifyEvent OnUpdated;
  TNotifyEvent OnUpdateFailed;
  TNotifyEvent OnAutoCheckChanged;

private:
  void VersionUpdated(TObject* Sender);
  void VersionUpdateFailed(TObject* Sender);
  bool NeedShowForm(bool Forced) const;
  void ShowDefaultForm();
  // Runs Work; an exception goes to the application's handler. False when
  // the component was freed meanwhile.
  bool Guarded(const std::function<void()>& Work);

  std::unique_ptr<TUpdateService> FUpdater;
  bool FDefaultForm = true;
  String FDownloadUrl = kDefaultDownloadUrl;
  bool FFormShown = false;
  bool FAutoCheck = true;
  String FAppName;
  bool FForcedCheck = false;
  TVersionStatusDialog* FDialog = nullptr;
  std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

} // namespace Quorex

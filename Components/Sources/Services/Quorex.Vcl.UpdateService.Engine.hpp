// The update engine: the version file, and checks that download it on a
// worker thread on a schedule and report to the main thread whether a newer
// version of the host application has been published.
//
// The worker never waits for the main thread: it queues its result with a
// liveness token of the service, so a service that is freed meanwhile (also
// from one of its own handlers) simply gets nothing. It parses into a
// version file of its own; the service takes the values over only after a
// successful check.
#pragma once

#include <QxRtl.Objects.hpp>
#include <QxRtl.Version.hpp>
#include <QxRtl.WinsockLoader.hpp>
#include <System.Classes.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Xml.XMLIntf.hpp>

#include <memory>

namespace Quorex {

using QxRtl::TVersionValue;
using Vcl::Integer;
using Vcl::String;
using Vcl::TNotifyEvent;
using Vcl::TObject;

// Runs Handler (a copy of it, so that freeing its owner from inside is
// safe) when assigned; an exception it raises goes to the application's
// exception handler instead of the caller.
void CallHandler(const TNotifyEvent& Handler, TObject* Sender);
// Inside a catch block: hands the exception to the application's handler
// (dropped when there is none).
void ReportHandlerException(TObject* Sender);

// A version number of the file: 1 to 5 decimal digits, at most 65535;
// EConvertError "'<text>' is not a valid version number" for anything else.
Vcl::Word StrToVersionNumber(const String& Text);

class TVersionFile : public TObject {
  QX_CLASS(TVersionFile, TObject)
public:
  TVersionFile();

  const Vcl::IXMLDocumentPtr& XML() const { return FXML; }
  TVersionValue Version() const { return FVersion; }
  void SetVersion(const TVersionValue& Value) { FVersion = Value; }
  const String& Description() const { return FDescription; }
  void SetDescription(const String& Value) { FDescription = Value; }
  const String& FollowURL() const { return FFollowUrl; }
  void SetFollowURL(const String& Value) { FFollowUrl = Value; }

  // Reads "Version" (with "Major", "Minor", "Release", "Build"),
  // "Description" and "FollowURL" under the document element, whatever it
  // is called. A malformed document, a missing element or a bad number
  // raises, and the values read before stay as they were.
  void LoadFromStream(Vcl::TStream& Stream);
  // Writes the "Info" document of the values, indented.
  void SaveToStream(Vcl::TStream& Stream);
  // The values and the document of Source.
  void Assign(const TVersionFile& Source);

private:
  static TVersionValue LoadVersion(const Vcl::IXMLNodePtr& Node);
  void SaveVersion(const Vcl::IXMLNodePtr& Node) const;

  Vcl::IXMLDocumentPtr FXML;
  TVersionValue FVersion;
  String FDescription;
  String FFollowUrl;
};

// One check: downloads the URL, parses it into its own version file and
// queues the outcome for the main thread. Created suspended; its owner frees
// it (which waits for it).
class TUpdateThread : public Vcl::TThread {
  QX_CLASS(TUpdateThread, Vcl::TThread)
public:
  using TUpdatedEvent = std::function<void(std::shared_ptr<TVersionFile> File)>;
  using TFailedEvent = std::function<void()>;

  TUpdateThread();
  ~TUpdateThread() override;

  const String& URL() const { return FUrl; }
  void SetURL(const String& Value) { FUrl = Value; }
  void SetDownloadLimits(const QxRtl::TDownloadLimits& Value) { FLoader->SetLimits(Value); }
  // Any thread: the download stops at once and the check fails.
  void Cancel() { FLoader->Cancel(); }

  // Set before Start; queued to the main thread, which runs them after the
  // worker has let go of everything it shares.
  TUpdatedEvent OnUpdated;
  TFailedEvent OnUpdateFailed;

protected:
  void Execute() override { Check(); }
  void Check();
  void ParseContent(Vcl::TStream& Stream);

private:
  std::unique_ptr<QxRtl::TWinsockLoader> FLoader;
  std::shared_ptr<TVersionFile> FFile;
  String FUrl;
};

class TUpdateService : public QxRtl::TWeakReferencedObject {
public:
  TUpdateService();
  // Cancels a running check and waits for its worker, which ends at once;
  // no event is raised any more.
  ~TUpdateService() override;

  // A check now (dropped while one runs); the timer moves to the long
  // interval. Without a URL the check fails (OnUpdateFailed).
  void Check();

  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);
  // Minutes between timed checks (below 1 counts as 1).
  Integer CheckInterval() const { return FCheckInterval; }
  void SetCheckInterval(Integer Value);
  // Seconds from switching AutoCheck on to the first check; 0 or less: now.
  Integer FirstCheckDelay() const { return FFirstCheckDelay; }
  void SetFirstCheckDelay(Integer Value);
  const String& URL() const { return FUrl; }
  void SetURL(const String& Value) { FUrl = Value; }
  bool CheckOnce() const { return FCheckOnce; }
  void SetCheckOnce(bool Value) { FCheckOnce = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  const QxRtl::TDownloadLimits& DownloadLimits() const { return FLimits; }
  void SetDownloadLimits(const QxRtl::TDownloadLimits& Value) { FLimits = Value; }

  // The application's version is older than the server's.
  bool NewVersionAvailable() const;
  TVersionValue ServerVersion() const { return FServerVersion; }
  const String& Description() const { return FDescription; }
  const String& FollowURL() const { return FFollowURL; }
  void SetFollowURL(const String& Value) { FFollowURL = Value; }
  TVersionFile* VersionFile() const { return FFile.get(); }
  // A worker has been started and its outcome has not arrived yet.
  bool Checking() const { return FChecking; }

  // Sender is the service.
  TNotifyEvent OnUpdated;
  TNotifyEvent OnUpdateFailed;

private:
  void UpdateTimer();
  void TimerHandler(TObject* Sender);
  void DoCheck();
  // The outcome of the worker of that generation, on the main thread.
  void UpdateSuccessfull(unsigned Generation, const TVersionFile& File);
  void UpdateFailed(unsigned Generation);
  void WorkerDone(unsigned Generation);

  std::unique_ptr<TUpdateThread> FThread;
  std::unique_ptr<Vcl::TTimer> FTimer;
  std::unique_ptr<TVersionFile> FFile;
  Integer FChecks = 0;
  bool FAutoCheck = false;
  Integer FCheckInterval = 300;
  TVersionValue FServerVersion;
  String FDescription;
  String FUrl;
  Integer FFirstCheckDelay = 60;
  String FFollowURL;
  bool FCheckOnce = true;
  bool FChecked = false;
  bool FChecking = false;
  unsigned FGeneration = 0;
  QxRtl::TDownloadLimits FLimits;
};

} // namespace Quorex

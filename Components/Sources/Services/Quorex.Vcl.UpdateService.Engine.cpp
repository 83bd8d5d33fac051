#include "Quorex.Vcl.UpdateService.Engine.hpp"

#include <Vcl.Forms.hpp>
#include <Xml.XMLDoc.hpp>

#include <algorithm>
#include <limits>

namespace Quorex {

using namespace Vcl;

void ReportHandlerException(TObject* Sender)
{
  if (!Application)
    return;
  try {
    Application->HandleException(Sender);
  } catch (...) {
    // No application handler: the failure ends here, as the event's caller
    // is the message loop, which has nobody to report to.
  }
}

void CallHandler(const TNotifyEvent& Handler, TObject* Sender)
{
  if (!Handler)
    return;
  const TNotifyEvent handler = Handler;
  try {
    handler(Sender);
  } catch (...) {
    ReportHandlerException(Sender);
  }
}

Word StrToVersionNumber(const String& Text)
{
  const bool digits = !Text.empty() && Text.size() <= 5 &&
                      std::all_of(Text.begin(), Text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const long value = digits ? std::stol(Text) : -1;
  if (value < 0 || value > 65535)
    throw EConvertError(Format("'%s' is not a valid version number", {Text}));
  return Word(value);
}

// ---- TVersionFile -----------------------------------------------------------------------------

TVersionFile::TVersionFile() : FXML(NewXMLDocument("1.0"))
{
  FXML->SetEncoding("UTF-8");
  FXML->SetOptions({doNodeAutoIndent});
}

void TVersionFile::LoadFromStream(TStream& Stream)
{
  FXML->LoadFromStream(Stream);
  const IXMLNodePtr root = FXML->DocumentElement();
  const TVersionValue version = LoadVersion(root->ChildNodes("Version"));
  String description = root->ChildNodes("Description")->Text();
  String followUrl = root->ChildNodes("FollowURL")->Text();
  FVersion = version;
  FDescription = std::move(description);
  FFollowUrl = std::move(followUrl);
}

TVersionValue TVersionFile::LoadVersion(const IXMLNodePtr& Node)
{
  TVersionValue v;
  v.Major = StrToVersionNumber(Node->ChildNodes("Major")->Text());
  v.Minor = StrToVersionNumber(Node->ChildNodes("Minor")->Text());
  v.Release = StrToVersionNumber(Node->ChildNodes("Release")->Text());
  v.Build = StrToVersionNumber(Node->ChildNodes("Build")->Text());
  return v;
}

void TVersionFile::SaveToStream(TStream& Stream)
{
  const IXMLNodePtr root = FXML->AddChild("Info");
  SaveVersion(root->AddChild("Version"));
  root->AddChild("Description")->SetText(FDescription);
  root->AddChild("FollowURL")->SetText(FFollowUrl);
  FXML->SaveToStream(Stream);
}

void TVersionFile::SaveVersion(const IXMLNodePtr& Node) const
{
  Node->AddChild("Major")->SetText(IntToStr(FVersion.Major));
  Node->AddChild("Minor")->SetText(IntToStr(FVersion.Minor));
  Node->AddChild("Release")->SetText(IntToStr(FVersion.Release));
  Node->AddChild("Build")->SetText(IntToStr(FVersion.Build));
}

void TVersionFile::Assign(const TVersionFile& Source)
{
  FXML->LoadFromXML(Source.FXML->XML());
  FVersion = Source.FVersion;
  FDescription = Source.FDescription;
  FFollowUrl = Source.FFollowUrl;
}

// ---- TUpdateThread ----------------------------------------------------------------------------

TUpdateThread::TUpdateThread()
  : TThread(true), FLoader(std::make_unique<QxRtl::TWinsockLoader>()), FFile(std::make_shared<TVersionFile>())
{
}

TUpdateThread::~TUpdateThread()
{
  // Execute uses the loader and the file: the thread ends before they go.
  if (Started() && !Finished()) {
    Cancel();
    WaitFor();
  }
}

void TUpdateThread::Check()
{
  try {
    TMemoryStream stream;
    FLoader->Download(FUrl, stream);
    stream.SetPosition(0);
    ParseContent(stream);
  } catch (...) {
    if (OnUpdateFailed)
      Queue(nullptr, OnUpdateFailed);
    return;
  }
  if (OnUpdated)
    Queue(nullptr, [handler = OnUpdated, file = FFile] { handler(file); });
}

void TUpdateThread::ParseContent(TStream& Stream)
{
  FFile->LoadFromStream(Stream);
}

// ---- TUpdateService ---------------------------------------------------------------------------

TUpdateService::TUpdateService()
{
  FFile = std::make_unique<TVersionFile>();
  FTimer = std::make_unique<TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetOnTimer([this](TObject* Sender) { TimerHandler(Sender); });
}

TUpdateService::~TUpdateService()
{
  // Outcomes that the wait below lets through must find the service gone.
  ClearWeakReferences();
  if (FThread)
    FThread->Cancel();
  FThread.reset();
  FTimer.reset();
  FFile.reset();
}

void TUpdateService::Check()
{
  ++FChecks;
  UpdateTimer();
  DoCheck();
}

void TUpdateService::SetAutoCheck(bool Value)
{
  FAutoCheck = Value;
  UpdateTimer();
}

void TUpdateService::SetCheckInterval(Integer Value)
{
  FCheckInterval = Value;
  UpdateTimer();
}

void TUpdateService::SetFirstCheckDelay(Integer Value)
{
  FFirstCheckDelay = Value;
  UpdateTimer();
}

bool TUpdateService::NewVersionAvailable() const
{
  return QxRtl::gVersion.GetAppVersion() < FServerVersion;
}

void TUpdateService::UpdateTimer()
{
  // In 64 bits and clamped to what the timer holds: 300 minutes fit, a
  // year of minutes does not; 1 ms is "at the next turn of the loop".
  const Int64 ms = FChecks >= 1 ? Int64(std::max<Integer>(FCheckInterval, 1)) * 60000
                                : Int64(FFirstCheckDelay) * 1000;
  FTimer->SetInterval(Cardinal(std::clamp<Int64>(ms, 1, std::numeric_limits<Cardinal>::max())));
  FTimer->SetEnabled(FAutoCheck);
}

void TUpdateService::TimerHandler(TObject*)
{
  if (!FCheckOnce || !FChecked)
    Check();
}

void TUpdateService::DoCheck()
{
  if (FThread && !FThread->Finished())
    return;
  // The finished worker's outcome may still be queued, and waiting for the
  // worker in its destructor hands it over. So it goes last, once the new
  // check stands whole: its outcome then meets a consistent service, as
  // stale.
  const std::unique_ptr<TUpdateThread> last = std::move(FThread);
  auto worker = std::make_unique<TUpdateThread>();
  worker->SetURL(FUrl);
  worker->SetDownloadLimits(FLimits);
  const unsigned generation = ++FGeneration;
  const QxRtl::TWeakRef<TUpdateService> self(this);
  worker->OnUpdated = [self, generation](std::shared_ptr<TVersionFile> File) {
    if (TUpdateService* service = self.Get())
      service->UpdateSuccessfull(generation, *File);
  };
  worker->OnUpdateFailed = [self, generation] {
    if (TUpdateService* service = self.Get())
      service->UpdateFailed(generation);
  };
  FThread = std::move(worker);
  FChecking = true;
  FThread->Start();
}

void TUpdateService::WorkerDone(unsigned Generation)
{
  if (Generation != FGeneration)
    return;
  // The worker queued its outcome as its last act; once it has ended
  // nothing of the check runs any more while the events do.
  FThread->WaitFor();
  FChecking = false;
}

void TUpdateService::UpdateSuccessfull(unsigned Generation, const TVersionFile& File)
{
  WorkerDone(Generation);
  FFile->Assign(File);
  FChecked = true;
  FDescription = File.Description();
  FServerVersion = File.Version();
  FFollowURL = File.FollowURL();
  CallHandler(OnUpdated, this);
}

void TUpdateService::UpdateFailed(unsigned Generation)
{
  WorkerDone(Generation);
  CallHandler(OnUpdateFailed, this);
}

} // namespace Quorex

#include "Quorex.Vcl.UpdateService.hpp"

#include <System.TypInfo.hpp>
#include <Vcl.Dialogs.hpp>
#include <Winapi.ShellAPI.hpp>

#include <utility>

namespace Quorex {

using namespace Vcl;

namespace {

const char* const kUnableToObtain =
  "Unable to obtain version information.\r\nThis may be caused by the problems with the internet connection."
  "\r\n\r\nPlease check your internet connection and firewall settings, then try to update again.";

} // namespace

TQxUpdateService::TQxUpdateService(TComponent* AOwner) : TComponent(AOwner), FUpdater(std::make_unique<TUpdateService>())
{
  FUpdater->SetAutoCheck(!ComponentState().Contains(csDesigning));
  FUpdater->SetURL(kDefaultVersionUrl);
  FUpdater->SetFirstCheckDelay(60);
  FUpdater->OnUpdated = [this](TObject* Sender) { VersionUpdated(Sender); };
  FUpdater->OnUpdateFailed = [this](TObject* Sender) { VersionUpdateFailed(Sender); };
}

TQxUpdateService::~TQxUpdateService()
{
  FAlive.reset();
  // An open dialog closes; the code that shows it finds the component gone.
  if (FDialog && FDialog->Form()) {
    FDialog->Form()->SetModalResult(mrCancel);
    // Wakes a modal loop that waits for a message.
    Win::PostMessage(FDialog->Form()->Handle(), Win::WM_NULL, 0, 0);
  }
  FUpdater.reset();
}

void TQxUpdateService::Check()
{
  FForcedCheck = true;
  FUpdater->Check();
}

void TQxUpdateService::SetAutoCheck(bool Value)
{
  FUpdater->SetAutoCheck(Value && !ComponentState().Contains(csDesigning));
  if (FAutoCheck == Value)
    return;
  FAutoCheck = Value;
  if (!ComponentState().Contains(csLoading))
    CallHandler(OnAutoCheckChanged, this);
}

bool TQxUpdateService::Guarded(const std::function<void()>& Work)
{
  const std::weak_ptr<int> alive = FAlive;
  try {
    Work();
  } catch (...) {
    ReportHandlerException(this);
  }
  return !alive.expired();
}

bool TQxUpdateService::NeedShowForm(bool Forced) const
{
  return FDefaultForm && (FUpdater->NewVersionAvailable() || Forced);
}

void TQxUpdateService::VersionUpdated(TObject*)
{
  const bool forced = std::exchange(FForcedCheck, false);
  if (NeedShowForm(forced) && !Guarded([this] { ShowDefaultForm(); }))
    return;
  CallHandler(OnUpdated, this);
}

void TQxUpdateService::VersionUpdateFailed(TObject*)
{
  const bool forced = std::exchange(FForcedCheck, false);
  const std::weak_ptr<int> alive = FAlive;
  CallHandler(OnUpdateFailed, this);
  if (alive.expired() || !forced)
    return;
  Guarded([] { MessageDlg(kUnableToObtain, mtError, {mbOK}, 0); });
}

void TQxUpdateService::ShowDefaultForm()
{
  if (FFormShown)
    return;
  const std::weak_ptr<int> alive = FAlive;
  auto dialog = std::make_unique<TVersionStatusDialog>(nullptr);
  dialog->SetNewAvailable(FUpdater->NewVersionAvailable());
  dialog->SetYourVersion(QxRtl::gVersion.GetAppVersion().AsLongString());
  dialog->SetLatestVersion(FUpdater->ServerVersion().AsLongString());
  dialog->SetAutoCheck(FAutoCheck);
  dialog->SetAppName(FAppName);
  FFormShown = true;
  FDialog = dialog.get();
  struct TShown {
    TQxUpdateService* Self;
    const std::weak_ptr<int>& Alive;
    ~TShown()
    {
      if (Alive.expired())
        return;
      Self->FFormShown = false;
      Self->FDialog = nullptr;
    }
  } shown{this, alive};
  const TModalResult result = dialog->Show();
  if (alive.expired())
    return;
  if (result == mrOk)
    Win::ShellExecute(nullptr, "open", FDownloadUrl.c_str(), "", "", Win::SW_SHOWNORMAL);
  if (dialog->AutoCheck() != FAutoCheck)
    SetAutoCheck(dialog->AutoCheck());
}

QX_PUBLISHED(TQxUpdateService)
{
  Property("URL", &T::URL, &T::SetUrl).Default(String(kDefaultVersionUrl));
  Property("AutoCheck", &T::AutoCheck, &T::SetAutoCheck).Default(true);
  Property("IntervalMin", &T::IntervalMin, &T::SetInterval).Default(300);
  Property("FirstCheckDelaySec", &T::FirstCheckDelaySec, &T::SetFirstDelay).Default(60);
  Property("DefaultForm", &T::DefaultForm, &T::SetDefaultForm).Default(true);
  Property("DownloadURL", &T::DownloadURL, &T::SetDownloadURL).Default(String(kDefaultDownloadUrl));
  Property("CheckOnce", &T::CheckOnce, &T::SetCheckOnce).Default(true);
  Property("AppName", &T::AppName, &T::SetAppName);
  Event("OnUpdated", &T::OnUpdated);
  Event("OnUpdateFailed", &T::OnUpdateFailed);
  Event("OnAutoCheckChanged", &T::OnAutoCheckChanged);
}

} // namespace Quorex

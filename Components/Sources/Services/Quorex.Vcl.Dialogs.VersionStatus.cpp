#include "Quorex.Vcl.Dialogs.VersionStatus.hpp"

#include <System.TypInfo.hpp>

#include <memory>

namespace Quorex {

using namespace Vcl;

TModalResult TVersionStatusDialog::Show()
{
  auto form = std::make_unique<TVersionStatusForm>(nullptr);
  form->SetYourVersion(FYourVersion);
  form->SetLatestVersion(FLatestVersion);
  form->SetAutoCheck(FAutoCheck);
  form->SetAppName(FAppName);
  form->SetNewAvailable(FNewAvailable);
  struct TShowing {
    TVersionStatusForm*& Field;
    ~TShowing() { Field = nullptr; }
  } showing{FForm = form.get()};
  const TModalResult result = form->ShowModal();
  FAutoCheck = form->AutoCheck();
  return result;
}

QX_PUBLISHED(TVersionStatusDialog)
{
  Property("YourVersion", &T::YourVersion, &T::SetYourVersion);
  Property("LatestVersion", &T::LatestVersion, &T::SetLatestVersion);
  Property("AutoCheck", &T::AutoCheck, &T::SetAutoCheck).Default(false);
  Property("AppName", &T::AppName, &T::SetAppName);
  Property("NewAvailable", &T::NewAvailable, &T::SetNewAvailable).Default(false);
}

} // namespace Quorex

#include "Quorex.Vcl.Dialogs.VersionStatus.hpp"

#include "Localizer.Intf.hpp"

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
  // The library's own texts, in the user's language (the form's templates
  // are published for that).
  gLocalizer()->Projects()->FindByModule("QxComponents.bpl")->Localize(form.get(), "");
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

#include "Forms.VersionStatus.hpp"

#include "Quorex.Resources.hpp"

#include <System.Classes.Streaming.hpp>
#include <System.TypInfo.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr TColor kNewVersionColor = 0x000060F0;
constexpr TColor kLatestVersionColor = 0x00333333;

template <class T>
T* Part(TComponent* Form, const char* Name)
{
  auto* part = dynamic_cast<T*>(Form->FindComponent(Name));
  QX_ASSERT(part, "Forms.VersionStatus");
  return part;
}

} // namespace

TVersionStatusForm::TVersionStatusForm(TComponent* AOwner) : TForm(AOwner)
{
  FNewVersionAvailable = "New Version Available";
  FLatestVersionInstalled = "You are using the latest version of %s.";
  FLatestVersionTemplate = "Latest Version: %s";
  FYourVersionTemplate = "Your Version: %s";
  FDownloadNewVersion = "A new version of %s is now available. Click Download button to download this update.";
  FVersionStatus = "Version Status";
  SetName("VersionStatusForm");
  TResourceStream resource(HInstance(), "TVERSIONSTATUSFORM", Win::RT_RCDATA);
  const TBytes text = resource.ReadAll();
  ReadComponentRes(String(text.begin(), text.end()), this);
  lbText = Part<TLabel>(this, "lbText");
  paVersion = Part<TPanel>(this, "paVersion");
  iIcon = Part<TImage>(this, "iIcon");
  lbYourVersion = Part<TLabel>(this, "lbYourVersion");
  lbLatestVersion = Part<TLabel>(this, "lbLatestVersion");
  paControls = Part<TPanel>(this, "paControls");
  chAutoCheck = Part<TCheckBox>(this, "chAutoCheck");
  buDownload = Part<TButton>(this, "buDownload");
  buClose = Part<TButton>(this, "buClose");
}

void TVersionStatusForm::DoShow()
{
  Localize();
  inherited::DoShow();
}

String TVersionStatusForm::Apply(const String& Template, const String& Value)
{
  try {
    return Format(Template, {Value});
  } catch (const EConvertError&) {
    return Template;
  }
}

String TVersionStatusForm::MakeAppName() const
{
  return FAppName.empty() ? String("this software") : FAppName;
}

void TVersionStatusForm::Localize()
{
  lbYourVersion->SetCaption(Apply(FYourVersionTemplate, FYourVersion));
  lbLatestVersion->SetCaption(Apply(FLatestVersionTemplate, FLatestVersion));
  const String name = MakeAppName();
  if (FNewAvailable) {
    lbText->SetCaption(Apply(FDownloadNewVersion, name));
    buDownload->SetVisible(true);
    SetCaption(FNewVersionAvailable);
    lbText->Font()->SetColor(kNewVersionColor);
  } else {
    lbText->SetCaption(Apply(FLatestVersionInstalled, name));
    buDownload->SetVisible(false);
    SetCaption(FVersionStatus);
    lbText->Font()->SetColor(kLatestVersionColor);
  }
  LayOut();
}

void TVersionStatusForm::LayOut()
{
  // The parts sit under each other with the margins 8 around the text,
  // 15 above and 3 below the version panel and 8 above the buttons.
  const Integer width = ClientWidth();
  lbText->SetBounds(8, 8, width - 16, lbText->Height());
  lbText->AdjustSize();
  paVersion->SetBounds(8, lbText->Top() + lbText->Height() + 15, width - 16, paVersion->Height());
  paControls->SetBounds(0, paVersion->Top() + paVersion->Height() + 3 + 8, width, paControls->Height());
  SetClientHeight(paControls->Top() + paControls->Height());
}

QX_PUBLISHED(TVersionStatusForm)
{
  Property("strNewVersionAvailable", &T::strNewVersionAvailable, &T::SetstrNewVersionAvailable);
  Property("strLatestVersionInstalled", &T::strLatestVersionInstalled, &T::SetstrLatestVersionInstalled);
  Property("strLatestVersion", &T::strLatestVersion, &T::SetstrLatestVersion);
  Property("strYourVersion", &T::strYourVersion, &T::SetstrYourVersion);
  Property("strDownloadNewVersion", &T::strDownloadNewVersion, &T::SetstrDownloadNewVersion);
  Property("strVersionStatus", &T::strVersionStatus, &T::SetstrVersionStatus);
}

} // namespace Quorex

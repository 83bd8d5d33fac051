// The version status form: what the update service shows after a check,
// built from its form resource ("TVERSIONSTATUSFORM"). Its six text
// templates are published so that a localizer can translate them.
#pragma once

#include <Vcl.ExtCtrls.Image.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.StdCtrls.Label.hpp>
#include <Vcl.StdCtrls.hpp>

namespace Quorex {

using Vcl::String;

class TVersionStatusForm : public Vcl::TForm {
  QX_CLASS(TVersionStatusForm, Vcl::TForm)
public:
  explicit TVersionStatusForm(Vcl::TComponent* AOwner);

  Vcl::TLabel* lbText = nullptr;
  Vcl::TPanel* paVersion = nullptr;
  Vcl::TImage* iIcon = nullptr;
  Vcl::TLabel* lbYourVersion = nullptr;
  Vcl::TLabel* lbLatestVersion = nullptr;
  Vcl::TPanel* paControls = nullptr;
  Vcl::TCheckBox* chAutoCheck = nullptr;
  Vcl::TButton* buDownload = nullptr;
  Vcl::TButton* buClose = nullptr;

  const String& YourVersion() const { return FYourVersion; }
  void SetYourVersion(const String& Value) { FYourVersion = Value; }
  const String& LatestVersion() const { return FLatestVersion; }
  void SetLatestVersion(const String& Value) { FLatestVersion = Value; }
  bool AutoCheck() const { return chAutoCheck->Checked(); }
  void SetAutoCheck(bool Value) { chAutoCheck->SetChecked(Value); }
  bool NewAvailable() const { return FNewAvailable; }
  void SetNewAvailable(bool Value) { FNewAvailable = Value; }
  const String& AppName() const { return FAppName; }
  void SetAppName(const String& Value) { FAppName = Value; }

  // The templates, each a Format string with one %s.
  const String& strNewVersionAvailable() const { return FNewVersionAvailable; }
  void SetstrNewVersionAvailable(const String& Value) { FNewVersionAvailable = Value; }
  const String& strLatestVersionInstalled() const { return FLatestVersionInstalled; }
  void SetstrLatestVersionInstalled(const String& Value) { FLatestVersionInstalled = Value; }
  const String& strLatestVersion() const { return FLatestVersionTemplate; }
  void SetstrLatestVersion(const String& Value) { FLatestVersionTemplate = Value; }
  const String& strYourVersion() const { return FYourVersionTemplate; }
  void SetstrYourVersion(const String& Value) { FYourVersionTemplate = Value; }
  const String& strDownloadNewVersion() const { return FDownloadNewVersion; }
  void SetstrDownloadNewVersion(const String& Value) { FDownloadNewVersion = Value; }
  const String& strVersionStatus() const { return FVersionStatus; }
  void SetstrVersionStatus(const String& Value) { FVersionStatus = Value; }

  // Fills the texts, colour and buttons from the values (run on show).
  void Localize();

protected:
  void DoShow() override;

private:
  String MakeAppName() const;
  // Stacks the parts under the wrapped text and fits the form around them.
  void LayOut();
  // A template applied to a value; a template broken by a translation
  // shows as it is rather than failing the dialog.
  static String Apply(const String& Template, const String& Value);

  bool FNewAvailable = false;
  String FYourVersion;
  String FLatestVersion;
  String FAppName;
  String FNewVersionAvailable;
  String FLatestVersionInstalled;
  String FLatestVersionTemplate;
  String FYourVersionTemplate;
  String FDownloadNewVersion;
  String FVersionStatus;
};

} // namespace Quorex

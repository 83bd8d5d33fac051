// The version status dialog: fills the version status form from its
// properties, shows it modally and takes the check box back.
#pragma once

#include "Forms.VersionStatus.hpp"

namespace Quorex {

class TVersionStatusDialog : public Vcl::TComponent {
  QX_CLASS(TVersionStatusDialog, Vcl::TComponent)
public:
  using TComponent::TComponent;

  const String& AppName() const { return FAppName; }
  void SetAppName(const String& Value) { FAppName = Value; }
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  const String& LatestVersion() const { return FLatestVersion; }
  void SetLatestVersion(const String& Value) { FLatestVersion = Value; }
  bool NewAvailable() const { return FNewAvailable; }
  void SetNewAvailable(bool Value) { FNewAvailable = Value; }
  const String& YourVersion() const { return FYourVersion; }
  void SetYourVersion(const String& Value) { FYourVersion = Value; }

  // Translates the form through the localizer library (which must be
  // there: "LocalizerLib.dll not found" otherwise), shows it and returns
  // its modal result: mrOk for Download, mrClose for Close.
  Vcl::TModalResult Show();
  // The form while Show runs, nullptr otherwise.
  TVersionStatusForm* Form() const { return FForm; }

private:
  String FAppName;
  bool FAutoCheck = false;
  String FLatestVersion;
  bool FNewAvailable = false;
  String FYourVersion;
  TVersionStatusForm* FForm = nullptr;
};

} // namespace Quorex

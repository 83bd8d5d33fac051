// A non-visual component that has its owner (a windowed control: a form, a
// panel) translated by the localizer library when loading finishes and again
// on every change of language.
#pragma once

#include "Localizer.Intf.hpp"

namespace Quorex {

class TLocalizerNotifier : public Vcl::TComponent, public ISubscriber {
  QX_CLASS(TLocalizerNotifier, Vcl::TComponent)
public:
  // Outside design time it obtains the localizer ("LocalizerLib.dll not
  // found" when it cannot) and subscribes to its language changes.
  explicit TLocalizerNotifier(Vcl::TComponent* AOwner);
  ~TLocalizerNotifier() override;

  void Loaded() override;
  void LocaleUpdated() override;
  // Translates the owner under AdvancedName, then raises OnUpdate.
  // EInvalidCast when the owner is not a windowed control.
  void Localize();

  bool Auto() const { return FAuto; }
  void SetAuto(bool Value) { FAuto = Value; }
  const String& AdvancedName() const { return FAdvancedName; }
  void SetAdvancedName(const String& Value) { FAdvancedName = Value; }
  bool Localized() const { return FLocalized; }

  Vcl::TNotifyEvent OnUpdate;

private:
  bool Designing() const { return ComponentState().Contains(Vcl::csDesigning); }

  bool FLocalized = false;
  bool FAuto = true;
  String FAdvancedName;
  // What it subscribed to; empty at design time.
  std::shared_ptr<ILocalizer> FLocalizer;
};

} // namespace Quorex

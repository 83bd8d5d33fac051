#include "Quorex.Vcl.Localizer.hpp"

#include <System.SysUtils.Errors.hpp>
#include <System.TypInfo.hpp>
#include <Vcl.Controls.hpp>

namespace Quorex {

TLocalizerNotifier::TLocalizerNotifier(Vcl::TComponent* AOwner) : Vcl::TComponent(AOwner)
{
  if (AOwner && AOwner->ComponentState().Contains(Vcl::csDesigning))
    SetDesigning(true);
  if (Designing())
    return;
  const std::shared_ptr<ILocalizer>& localizer = gLocalizer();
  QX_ASSERT_MESSAGE(localizer, "Localizer instance not initialized", "Quorex.Vcl.Localizer");
  FLocalizer = localizer;
  FLocalizer->Publisher()->Subscribe(this);
}

TLocalizerNotifier::~TLocalizerNotifier()
{
  if (FLocalizer)
    FLocalizer->Publisher()->Unsubscribe(this);
}

void TLocalizerNotifier::Loaded()
{
  Vcl::TComponent::Loaded();
  if (!Designing() && FAuto)
    Localize();
}

void TLocalizerNotifier::LocaleUpdated()
{
  Localize();
}

void TLocalizerNotifier::Localize()
{
  FLocalized = true;
  auto* owner = dynamic_cast<Vcl::TWinControl*>(Owner());
  if (!owner)
    throw Vcl::EInvalidCast("Invalid class typecast");
  // The instance it subscribed to, which outlives a release of the global one.
  (FLocalizer ? FLocalizer : gLocalizer())->ApplicationProject()->Localize(owner, FAdvancedName);
  if (OnUpdate)
    OnUpdate(this);
}

QX_PUBLISHED(TLocalizerNotifier)
{
  Property("Auto", &T::Auto, &T::SetAuto).Default(true);
  Property("AdvancedName", &T::AdvancedName, &T::SetAdvancedName);
  Event("OnUpdate", &T::OnUpdate);
}

} // namespace Quorex

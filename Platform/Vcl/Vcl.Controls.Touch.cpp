#include "Vcl.Controls.Touch.hpp"

namespace Vcl {

void TTouchManager::Assign(const TPersistent* Source)
{
  const auto* touch = dynamic_cast<const TTouchManager*>(Source);
  if (!touch) {
    inherited::Assign(Source);
    return;
  }
  FInteractiveGestures = touch->FInteractiveGestures;
  FInteractiveGestureOptions = touch->FInteractiveGestureOptions;
  FTabletOptions = touch->FTabletOptions;
  FParentTabletOptions = touch->FParentTabletOptions;
}

TTabletOptions TTouchManager::TabletOptions() const
{
  if (FParentTabletOptions && FControl->Parent())
    return FControl->Parent()->Touch()->TabletOptions();
  return FTabletOptions;
}

void TTouchManager::SetTabletOptions(TTabletOptions Value)
{
  FTabletOptions = Value;
  FParentTabletOptions = false;
}

void TTouchManager::SetParentTabletOptions(bool Value)
{
  FParentTabletOptions = Value;
}

bool TTouchManager::WantsGesture(Integer GestureID) const
{
  if (GestureID < igiZoom || GestureID > igiLast)
    return true;
  return FInteractiveGestures.Contains(TInteractiveGesture(GestureID - igiZoom));
}

QX_PUBLISHED(TTouchManager)
{
  Property("InteractiveGestures", &T::InteractiveGestures, &T::SetInteractiveGestures)
    .Default(DefaultInteractiveGestures);
  Property("InteractiveGestureOptions", &T::InteractiveGestureOptions, &T::SetInteractiveGestureOptions)
    .Default(DefaultInteractiveGestureOptions);
  // The switch before the options, so that options of its own are read last.
  Property("ParentTabletOptions", &T::ParentTabletOptions, &T::SetParentTabletOptions).Default(true);
  Property("TabletOptions", &T::TabletOptions, &T::SetTabletOptions)
    .StoredWhen([](const TObject* o) { return !static_cast<const TTouchManager*>(o)->ParentTabletOptions(); });
}

} // namespace Vcl

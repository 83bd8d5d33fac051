// The gesture settings a control keeps (which interactive gestures it wants
// and how panning behaves, and the tablet options it takes from its parent
// unless it has its own). Form resources store them under the control's
// Touch property; gestures reach the control as CM_GESTURE.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

enum class TInteractiveGesture { igZoom, igPan, igRotate, igTwoFingerTap, igPressAndTap };
using enum TInteractiveGesture;
QX_ENUM_NAMES(TInteractiveGesture, igZoom, igPan, igRotate, igTwoFingerTap, igPressAndTap)
using TInteractiveGestures = TSet<TInteractiveGesture>;

enum class TInteractiveGestureOption {
  igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia, igoPanGutter, igoParentPassthrough
};
using enum TInteractiveGestureOption;
QX_ENUM_NAMES(TInteractiveGestureOption, igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia,
              igoPanGutter, igoParentPassthrough)
using TInteractiveGestureOptions = TSet<TInteractiveGestureOption>;

enum class TTabletOption {
  toPressAndHold, toPenTapFeedback, toPenBarrelFeedback, toTouchUIForceOn, toTouchUIForceOff, toTouchSwitch,
  toFlicks, toSmoothScrolling, toFlickFallbackKeys
};
using enum TTabletOption;
QX_ENUM_NAMES(TTabletOption, toPressAndHold, toPenTapFeedback, toPenBarrelFeedback, toTouchUIForceOn,
              toTouchUIForceOff, toTouchSwitch, toFlicks, toSmoothScrolling, toFlickFallbackKeys)
using TTabletOptions = TSet<TTabletOption>;

// The identifiers of the interactive gestures, as TGestureEventInfo carries
// them; other identifiers are the host's own and always delivered.
constexpr Integer igiFirst = 256, igiBegin = igiFirst + 1, igiEnd = igiFirst + 2, igiZoom = igiFirst + 3,
                  igiPan = igiFirst + 4, igiRotate = igiFirst + 5, igiTwoFingerTap = igiFirst + 6,
                  igiPressAndTap = igiFirst + 7, igiLast = igiPressAndTap;

inline constexpr TInteractiveGestures DefaultInteractiveGestures{igPan, igPressAndTap};
inline constexpr TInteractiveGestureOptions DefaultInteractiveGestureOptions{
  igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia, igoPanGutter, igoParentPassthrough};
inline constexpr TTabletOptions DefaultTabletOptions{toPressAndHold};

class TTouchManager : public TPersistent {
  QX_CLASS(TTouchManager, TPersistent)
public:
  // Control owns this and outlives it.
  explicit TTouchManager(TControl* Control) : FControl(Control) {}
  void Assign(const TPersistent* Source) override;

  TInteractiveGestures InteractiveGestures() const { return FInteractiveGestures; }
  void SetInteractiveGestures(TInteractiveGestures Value) { FInteractiveGestures = Value; }
  TInteractiveGestureOptions InteractiveGestureOptions() const { return FInteractiveGestureOptions; }
  void SetInteractiveGestureOptions(TInteractiveGestureOptions Value) { FInteractiveGestureOptions = Value; }
  // While ParentTabletOptions (the default), the options are the parent
  // control's; options of its own clear the switch.
  TTabletOptions TabletOptions() const;
  void SetTabletOptions(TTabletOptions Value);
  bool ParentTabletOptions() const { return FParentTabletOptions; }
  void SetParentTabletOptions(bool Value);
  // Whether the control takes the gesture with this identifier.
  bool WantsGesture(Integer GestureID) const;

private:
  TControl* FControl;
  TInteractiveGestures FInteractiveGestures = DefaultInteractiveGestures;
  TInteractiveGestureOptions FInteractiveGestureOptions = DefaultInteractiveGestureOptions;
  TTabletOptions FTabletOptions = DefaultTabletOptions;
  bool FParentTabletOptions = true;
};

} // namespace Vcl

// Panels that animate on the performance counter: one that slides from one
// host control to the next (the new one pushes the old one out), on request
// or at a fixed interval, and a strip that now and then grows into view
// from one of its edges and can shrink away again. Each tick moves half the
// remaining distance, scaled by the time since the last tick and a speed
// multiplier, and never less than a pixel.
#pragma once

#include <Vcl.ExtCtrls.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace Quorex {

enum class TAnimationDirection { adRightToLeft, adLeftToRight };
using enum TAnimationDirection;
enum class TSplashStyle { ssAppearing, ssHiding };
using enum TSplashStyle;
enum class TSplashAlignment { saBottom, saTop };
using enum TSplashAlignment;
QX_ENUM_NAMES(TAnimationDirection, adRightToLeft, adLeftToRight)
QX_ENUM_NAMES(TSplashStyle, ssAppearing, ssHiding)
QX_ENUM_NAMES(TSplashAlignment, saBottom, saTop)

// Where a control was before a panel borrowed it.
struct TControlInfo {
  Vcl::TWinControl* Parent = nullptr;
  Vcl::TAlign Align = Vcl::alNone;
  Vcl::Integer Left = 0, Top = 0, Width = 0, Height = 0;
};

class TQxAnimatedPanel;

// One step towards Target from Position: Scale times the remaining distance
// (Scale = seconds x 0.5 x multiplier), at least a pixel and never past the
// target, whatever the multiplier.
float EaseStep(float Position, float Target, double Scale);

// Runs an animation on a timer: every tick calls Animate until it reports
// the end or the animation is stopped, then raises OnAnimationDone.
class TControlAnimator : public Vcl::TObject {
  QX_CLASS(TControlAnimator, Vcl::TObject)
public:
  TControlAnimator();
  ~TControlAnimator() override;

  // Ignored while running; a null panel is an assertion failure.
  virtual void StartAnimation(TQxAnimatedPanel* Panel, Vcl::TWinControl* Control);
  // The animation ends at the next tick.
  void StopAnimation() { FTerminated = true; }
  // Ends at once, without a done event (the control went away).
  void Cancel();
  bool Active() const;
  Vcl::Cardinal Interval() const;
  void SetInterval(Vcl::Cardinal Value);
  TAnimationDirection Direction() const { return FDirection; }
  void SetDirection(TAnimationDirection Value) { FDirection = Value; }
  Vcl::Integer SpeedMultiplier() const { return FSpeedMultiplier; }
  void SetSpeedMultiplier(Vcl::Integer Value) { FSpeedMultiplier = Value; }

  Vcl::TNotifyEvent OnAnimationDone;

protected:
  // True when the animation is finished.
  virtual bool Animate() { return true; }
  // Seconds between the last tick and this one, at most 0.02.
  double Elapsed() const;

  TQxAnimatedPanel* FPanel = nullptr;
  Vcl::TWinControl* FControlToAnimate = nullptr;
  TAnimationDirection FDirection = adRightToLeft;
  Vcl::Integer FSpeedMultiplier = 5;

private:
  void OnTimer(Vcl::TObject* Sender);

  std::unique_ptr<Vcl::TTimer> FTimer;
  bool FTerminated = false;
  std::int64_t FPerfFreq = 1;
  std::int64_t FStartTime = 0, FCurrentTime = 0;
};

// Slides the new control in from one side while the shown one leaves on the
// other.
class THorzScrollAnimator : public TControlAnimator {
  QX_CLASS(THorzScrollAnimator, TControlAnimator)
public:
  void StartAnimation(TQxAnimatedPanel* Panel, Vcl::TWinControl* NewControl) override;

protected:
  bool Animate() override;

private:
  Vcl::Integer FTargetPosition = 0;
  float FCurrentPosition = 0;
};

class TQxAnimatedPanel : public Vcl::TCustomPanel {
  QX_CLASS(TQxAnimatedPanel, Vcl::TCustomPanel)
public:
  explicit TQxAnimatedPanel(Vcl::TComponent* AOwner);
  ~TQxAnimatedPanel() override;

  // The controls to cycle through (not owned; a destroyed one leaves).
  void Add(Vcl::TWinControl* Control);
  void Clear();
  Vcl::Integer Count() const { return Vcl::Integer(FAniControls.size()); }
  // Slide to the next (right to left) or previous (left to right) control,
  // wrapping round; nothing while a slide runs or with no controls.
  void AnimateNext();
  void AnimatePrev();
  Vcl::Integer Current() const { return FCurrent; }
  // Ignored while a slide runs; an index outside the list raises EListError.
  void SetCurrent(Vcl::Integer Value);
  Vcl::TWinControl* ActiveControl() const { return FActiveControl; }
  // Slides Control in, unless a slide runs or it is shown already.
  void SetActiveControl(Vcl::TWinControl* Control);
  // The control sliding in (none when idle).
  Vcl::TWinControl* NewControl() const { return FNewControl; }
  bool CanChange() const { return !FAnimator->Active(); }

  Vcl::Integer SpeedMultiplier() const { return FAnimator->SpeedMultiplier(); }
  void SetSpeedMultiplier(Vcl::Integer Value) { FAnimator->SetSpeedMultiplier(Value); }
  TAnimationDirection Direction() const { return FAnimator->Direction(); }
  void SetDirection(TAnimationDirection Value) { FAnimator->SetDirection(Value); }
  // False stops the automatic advance; AnimateNext still slides on request.
  bool AutoLeaf() const { return FAutoLeaf; }
  void SetAutoLeaf(bool Value) { FAutoLeaf = Value; }
  Vcl::Integer Interval() const { return FInterval; }
  void SetInterval(Vcl::Integer Value);

  Vcl::TNotifyEvent OnChange;

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void Resize() override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  void AnimationDone(Vcl::TObject* Sender);
  void AutoAdvance(Vcl::TObject* Sender);
  void Step(Vcl::Integer Delta, TAnimationDirection Direction);
  void Watch(Vcl::TWinControl* Control);
  static TControlInfo SaveControl(Vcl::TWinControl* Control);
  static void RestoreControl(Vcl::TWinControl* Control, const TControlInfo& Info);

  Vcl::TWinControl* FActiveControl = nullptr;
  TControlInfo FActiveCtrlInfo;
  Vcl::TWinControl* FNewControl = nullptr;
  TControlInfo FNewCtrlInfo;
  std::unique_ptr<TControlAnimator> FAnimator;
  bool FResized = false;
  std::vector<Vcl::TWinControl*> FAniControls;
  Vcl::Integer FCurrent = 0;
  Vcl::Integer FInterval = 15000;
  bool FAutoLeaf = true;
  std::unique_ptr<Vcl::TTimer> FTimer;
};

class TQxSplashPanel : public Vcl::TCustomPanel {
  QX_CLASS(TQxSplashPanel, Vcl::TCustomPanel)
public:
  explicit TQxSplashPanel(Vcl::TComponent* AOwner);
  ~TQxSplashPanel() override;

  // Grows into view or shrinks away; ignored while splashing.
  void Splash(TSplashStyle Style);
  bool Splashing() const;

  Vcl::Integer IntervalSec() const { return FIntervalSec; }
  // Below 1 stops the periodic splashes.
  void SetIntervalSec(Vcl::Integer Value);
  Vcl::Integer FirstTimeDelay() const { return FFirstTimeDelay; }
  void SetFirstTimeDelay(Vcl::Integer Value);
  Vcl::Integer SpeedMultiplier() const { return FSpeedMultiplier; }
  void SetSpeedMultiplier(Vcl::Integer Value) { FSpeedMultiplier = Value; }
  TSplashAlignment SplashAlignment() const { return FSplashAlignment; }
  void SetSplashAlignment(TSplashAlignment Value);
  Vcl::TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(Vcl::TColor Value);

  Vcl::TNotifyEvent OnSplash;
  Vcl::TNotifyEvent OnSplashDone;

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void Paint() override;

private:
  struct TGdiObjects;
  void IntervalTimer(Vcl::TObject* Sender);
  void OnTimer(Vcl::TObject* Sender);
  void FinishSplash();
  void DoPaint(Win::HDC DC);

  std::unique_ptr<Vcl::TTimer> FIntTimer;
  std::unique_ptr<Vcl::TTimer> FTimer;
  std::int64_t FPerfFreq = 1;
  std::int64_t FStartTime = 0;
  Vcl::Integer FTop = 0;
  Vcl::Integer FTargetHeight = 0;
  float FCurrentHeight = 0;
  Vcl::Integer FRealHeight = 0, FRealTop = 0;
  Vcl::Integer FSpeedMultiplier = 1;
  double FSpeedMult = 1;
  Vcl::TColor FBorderColor = Vcl::clBlack;
  std::unique_ptr<TGdiObjects> FGdi;
  std::unique_ptr<Vcl::TBitmap> FPaintBuffer;
  Vcl::Integer FShownCount = 0;
  bool FStarting = false;
  TSplashAlignment FSplashAlignment = saBottom;
  Vcl::Integer FFirstTimeDelay = 10000;
  Vcl::Integer FIntervalSec = 1200;
};

} // namespace Quorex

#include "Quorex.Vcl.AnimatedPanels.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <Quorex.Vcl.Globals.hpp>
#include <System.ScopeGuards.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr const char* kUnit = "Quorex.Vcl.AnimatedPanels";
// Both animations tick this often.
constexpr Cardinal kTickMs = 10;
// A tick never counts for more than this, however late it comes.
constexpr double kMaxTickSeconds = 0.02;

std::int64_t PerformanceCounter()
{
  std::int64_t count = 0;
  Win::QueryPerformanceCounter(&count);
  return count;
}

std::int64_t PerformanceFrequency()
{
  std::int64_t frequency = 1;
  Win::QueryPerformanceFrequency(&frequency);
  return std::max<std::int64_t>(frequency, 1);
}

double TickSeconds(std::int64_t From, std::int64_t To, std::int64_t Frequency)
{
  return std::min(double(To - From) / double(Frequency), kMaxTickSeconds);
}

// Half-way cases to the even neighbour.
Integer Round(double Value)
{
  return Integer(std::nearbyint(Value));
}

std::unique_ptr<TTimer> MakeTimer(Cardinal Interval, bool Enabled, TNotifyEvent Handler)
{
  auto timer = std::make_unique<TTimer>(nullptr);
  timer->SetEnabled(Enabled);
  timer->SetInterval(Interval);
  timer->SetOnTimer(std::move(Handler));
  return timer;
}

// Milliseconds as a timer interval; below 1 there is no period.
Cardinal TimerInterval(std::int64_t Milliseconds)
{
  return Cardinal(std::clamp<std::int64_t>(Milliseconds, 0, std::numeric_limits<Cardinal>::max()));
}

} // namespace

float EaseStep(float Position, float Target, double Scale)
{
  const double remaining = double(Target) - double(Position);
  double step = Scale * remaining;
  // A step that stalls or heads away (a multiplier of 0 or below) becomes
  // one pixel towards the target; none goes past it.
  if (!(std::abs(step) >= 1) || (step < 0) != (remaining < 0))
    step = remaining < 0 ? -1 : 1;
  if (std::abs(step) > std::abs(remaining))
    step = remaining;
  return float(step);
}

// ---- TControlAnimator ------------------------------------------------------------------------

TControlAnimator::TControlAnimator()
  : FTimer(MakeTimer(kTickMs, false, [this](TObject* Sender) { OnTimer(Sender); })),
    FPerfFreq(PerformanceFrequency())
{
}

TControlAnimator::~TControlAnimator()
{
  FTimer->SetEnabled(false);
}

void TControlAnimator::StartAnimation(TQxAnimatedPanel* Panel, TWinControl* Control)
{
  QX_ASSERT(Panel, kUnit);
  if (Active())
    return;
  FPanel = Panel;
  FControlToAnimate = Control;
  FTerminated = false;
  FStartTime = PerformanceCounter();
  FTimer->SetEnabled(true);
}

void TControlAnimator::Cancel()
{
  FTimer->SetEnabled(false);
  FControlToAnimate = nullptr;
}

bool TControlAnimator::Active() const
{
  return FTimer->Enabled();
}

Cardinal TControlAnimator::Interval() const
{
  return FTimer->Interval();
}

void TControlAnimator::SetInterval(Cardinal Value)
{
  FTimer->SetInterval(Value);
}

double TControlAnimator::Elapsed() const
{
  return TickSeconds(FStartTime, FCurrentTime, FPerfFreq);
}

void TControlAnimator::OnTimer(TObject* Sender)
{
  (void)Sender;
  FCurrentTime = PerformanceCounter();
  const bool finished = Animate();
  FStartTime = FCurrentTime;
  if (!finished && !FTerminated)
    return;
  FTimer->SetEnabled(false);
  if (OnAnimationDone)
    OnAnimationDone(this);
}

// ---- THorzScrollAnimator ---------------------------------------------------------------------

void THorzScrollAnimator::StartAnimation(TQxAnimatedPanel* Panel, TWinControl* NewControl)
{
  QX_ASSERT(Panel, kUnit);
  TWinControl* shown = Panel->ActiveControl();
  if (!NewControl && !shown)
    return;
  FTargetPosition = 0;
  FCurrentPosition = float(FDirection == adRightToLeft ? Panel->Width() : -Panel->Width());
  if (shown)
    shown->SetLeft(0);
  if (NewControl)
    NewControl->SetLeft(Round(FCurrentPosition));
  TControlAnimator::StartAnimation(Panel, NewControl);
}

bool THorzScrollAnimator::Animate()
{
  TWinControl* incoming = FControlToAnimate;
  TWinControl* shown = FPanel->ActiveControl();
  // Moved by someone else: carry on from where it is now.
  if (incoming && incoming->Left() != Round(FCurrentPosition))
    FCurrentPosition = float(incoming->Left());
  FCurrentPosition += EaseStep(FCurrentPosition, float(FTargetPosition), Elapsed() * 0.5 * FSpeedMultiplier);
  if (shown) {
    const double incomingWidth = incoming ? incoming->Width() : 0;
    shown->SetLeft(FDirection == adRightToLeft ? Round(double(FCurrentPosition) - shown->Width())
                                               : Round(incomingWidth + FCurrentPosition));
  }
  if (incoming)
    incoming->SetLeft(Round(FCurrentPosition));
  if (std::abs(double(FTargetPosition) - FCurrentPosition) >= 1)
    return false;
  if (incoming)
    incoming->SetLeft(FTargetPosition);
  return true;
}

// ---- TQxAnimatedPanel -------------------------------------------------------------------------

TQxAnimatedPanel::TQxAnimatedPanel(TComponent* AOwner)
  : TCustomPanel(AOwner), FAnimator(std::make_unique<THorzScrollAnimator>()),
    FTimer(MakeTimer(TimerInterval(FInterval), true, [this](TObject* Sender) { AutoAdvance(Sender); }))
{
  FAnimator->OnAnimationDone = [this](TObject* Sender) { AnimationDone(Sender); };
}

TQxAnimatedPanel::~TQxAnimatedPanel()
{
  FTimer->SetEnabled(false);
  FAnimator->Cancel();
}

void TQxAnimatedPanel::Watch(TWinControl* Control)
{
  if (Control)
    FreeNotification(Control);
}

void TQxAnimatedPanel::Add(TWinControl* Control)
{
  if (!Control)
    return;
  Watch(Control);
  FAniControls.push_back(Control);
}

void TQxAnimatedPanel::Clear()
{
  FAniControls.clear();
  FCurrent = 0;
}

void TQxAnimatedPanel::SetInterval(Integer Value)
{
  FInterval = Value;
  FTimer->SetInterval(TimerInterval(Value));
}

void TQxAnimatedPanel::Step(Integer Delta, TAnimationDirection Direction)
{
  if (!CanChange() || FAniControls.empty())
    return;
  const Integer count = Count();
  FCurrent = ((FCurrent + Delta) % count + count) % count;
  SetDirection(Direction);
  SetActiveControl(FAniControls[size_t(FCurrent)]);
}

void TQxAnimatedPanel::AnimateNext()
{
  Step(1, adRightToLeft);
}

void TQxAnimatedPanel::AnimatePrev()
{
  Step(-1, adLeftToRight);
}

void TQxAnimatedPanel::SetCurrent(Integer Value)
{
  if (!CanChange())
    return;
  if (Value < 0 || Value >= Count())
    throw EListError("List index out of bounds (" + IntToStr(Value) + ")");
  FCurrent = Value;
  SetActiveControl(FAniControls[size_t(Value)]);
}

TControlInfo TQxAnimatedPanel::SaveControl(TWinControl* Control)
{
  return {Control->Parent(), Control->Align(), Control->Left(), Control->Top(), Control->Width(),
          Control->Height()};
}

void TQxAnimatedPanel::RestoreControl(TWinControl* Control, const TControlInfo& Info)
{
  Control->SetParent(Info.Parent);
  Control->SetAlign(Info.Align);
  Control->SetBounds(Info.Left, Info.Top, Info.Width, Info.Height);
  Control->SetAlign(Info.Align);
}

void TQxAnimatedPanel::SetActiveControl(TWinControl* Control)
{
  if (!Control || !CanChange() || Control == FActiveControl)
    return;
  if (Control == this || Control->ContainsControl(this))
    throw EInvalidOperation("A control cannot have itself as its parent");
  Watch(Control);
  Watch(Control->Parent());
  FNewControl = Control;
  FNewCtrlInfo = SaveControl(Control);
  Control->SetAlign(alNone);
  Control->SetBounds(Width(), 0, Width(), Height());
  Control->SetParent(this);
  Control->BringToFront();
  if (FActiveControl)
    FActiveControl->SetAlign(alNone);
  FAnimator->StartAnimation(this, Control);
  if (OnChange)
    OnChange(this);
}

void TQxAnimatedPanel::AnimationDone(TObject* Sender)
{
  (void)Sender;
  if (FActiveControl)
    RestoreControl(FActiveControl, FActiveCtrlInfo);
  FActiveControl = FNewControl;
  FActiveCtrlInfo = FNewCtrlInfo;
  FNewControl = nullptr;
  if (!FActiveControl)
    return;
  FActiveControl->SetBounds(FActiveControl->Left(), FActiveControl->Top(), Width(), Height());
  FActiveControl->SetAlign(alClient);
}

void TQxAnimatedPanel::AutoAdvance(TObject* Sender)
{
  (void)Sender;
  if (FAutoLeaf && !ComponentState().Contains(csDesigning))
    AnimateNext();
}

void TQxAnimatedPanel::Resize()
{
  inherited::Resize();
  FResized = true;
  for (TWinControl* control : {FNewControl, FActiveControl})
    if (control)
      control->SetBounds(control->Left(), control->Top(), ClientWidth(), ClientHeight());
}

void TQxAnimatedPanel::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  for (TControlInfo* info : {&FActiveCtrlInfo, &FNewCtrlInfo})
    if (info->Parent == AComponent)
      info->Parent = nullptr;
  if (FActiveControl == AComponent)
    FActiveControl = nullptr;
  if (FNewControl == AComponent) {
    // The incoming control went mid-slide: the shown one stays where it was.
    FAnimator->Cancel();
    FNewControl = nullptr;
    if (FActiveControl) {
      FActiveControl->SetLeft(0);
      FActiveControl->SetAlign(alClient);
    }
  }
  auto it = std::find(FAniControls.begin(), FAniControls.end(), AComponent);
  if (it == FAniControls.end())
    return;
  if (it - FAniControls.begin() < FCurrent)
    --FCurrent;
  FAniControls.erase(it);
  // The cycle goes on from the control on show.
  if (auto shown = std::find(FAniControls.begin(), FAniControls.end(), FActiveControl); shown != FAniControls.end())
    FCurrent = Integer(shown - FAniControls.begin());
  if (FCurrent >= Count())
    FCurrent = 0;
}

void TQxAnimatedPanel::Dispatch(TMessage& Message)
{
  if (Message.Msg == Win::WM_ERASEBKGND) {
    // The sliding controls cover the whole panel.
    if (!CanChange() && !FResized) {
      Message.Result = 1;
      return;
    }
    FResized = false;
  }
  inherited::Dispatch(Message);
}

// ---- TQxSplashPanel ----------------------------------------------------------------------------

struct TQxSplashPanel::TGdiObjects {
  Win::HPEN Pen = nullptr;
  Win::HBRUSH Brush = nullptr;
  TGdiObjects() = default;
  TGdiObjects(const TGdiObjects&) = delete;
  TGdiObjects& operator=(const TGdiObjects&) = delete;
  ~TGdiObjects()
  {
    DropPen();
    DropBrush();
  }
  void DropPen()
  {
    if (Pen)
      Win::DeleteObject(Pen);
    Pen = nullptr;
  }
  void DropBrush()
  {
    if (Brush)
      Win::DeleteObject(Brush);
    Brush = nullptr;
  }
};

TQxSplashPanel::TQxSplashPanel(TComponent* AOwner)
  : TCustomPanel(AOwner), FTimer(MakeTimer(kTickMs, false, [this](TObject* Sender) { OnTimer(Sender); })),
    FPerfFreq(PerformanceFrequency()), FGdi(std::make_unique<TGdiObjects>()),
    FPaintBuffer(std::make_unique<TBitmap>())
{
  // Here rather than above: the delay is a member declared after the timer.
  FIntTimer = MakeTimer(TimerInterval(FFirstTimeDelay), true, [this](TObject* Sender) { IntervalTimer(Sender); });
}

TQxSplashPanel::~TQxSplashPanel()
{
  FIntTimer->SetEnabled(false);
  FTimer->SetEnabled(false);
}

bool TQxSplashPanel::Splashing() const
{
  return FTimer->Enabled();
}

void TQxSplashPanel::SetIntervalSec(Integer Value)
{
  FIntervalSec = Value;
  // Past the first splash the new period applies at once.
  if (FShownCount > 0)
    FIntTimer->SetInterval(TimerInterval(std::int64_t(Value) * 1000));
  FIntTimer->SetEnabled(Value >= 1);
}

void TQxSplashPanel::SetFirstTimeDelay(Integer Value)
{
  FFirstTimeDelay = Value;
  FIntTimer->SetInterval(TimerInterval(Value));
}

void TQxSplashPanel::SetSplashAlignment(TSplashAlignment Value)
{
  if (!Splashing())
    FSplashAlignment = Value;
}

void TQxSplashPanel::SetBorderColor(TColor Value)
{
  FBorderColor = Value;
  FGdi->DropPen();
  Invalidate();
}

void TQxSplashPanel::IntervalTimer(TObject* Sender)
{
  (void)Sender;
  if (FShownCount++ == 0)
    FIntTimer->SetInterval(TimerInterval(std::int64_t(FIntervalSec) * 1000));
  if (!ComponentState().Contains(csDesigning) && !Visible())
    Splash(ssAppearing);
}

void TQxSplashPanel::Splash(TSplashStyle Style)
{
  if (Splashing() || FStarting)
    return;
  if (OnSplash) {
    // A splash asked for by the handler is this one.
    const TScopedValue starting(FStarting, true);
    OnSplash(this);
  }
  FRealHeight = Height();
  FRealTop = Top();
  FSpeedMult = FSpeedMultiplier;
  if (Style == ssAppearing) {
    FTargetHeight = Height();
    FCurrentHeight = 0;
    FTop = Top();
    SetHeight(0);
  } else {
    FTargetHeight = 0;
    FCurrentHeight = float(Height());
    FTop = Top() + Height();
  }
  Show();
  FStartTime = PerformanceCounter();
  FTimer->SetEnabled(true);
}

void TQxSplashPanel::OnTimer(TObject* Sender)
{
  (void)Sender;
  const std::int64_t now = PerformanceCounter();
  const double seconds = TickSeconds(FStartTime, now, FPerfFreq);
  FStartTime = now;
  FCurrentHeight += EaseStep(FCurrentHeight, float(FTargetHeight), seconds * 0.5 * FSpeedMult);
  const Integer height = Round(FCurrentHeight);
  const Integer top = FSplashAlignment == saBottom ? FTop + FTargetHeight - height : Top();
  SetBounds(Left(), top, Width(), height);
  // Judged on the animated height: constraints or alignment may hold the
  // panel's own.
  if (height == FTargetHeight)
    FinishSplash();
}

void TQxSplashPanel::FinishSplash()
{
  FTimer->SetEnabled(false);
  if (FTargetHeight == 0) {
    Hide();
    SetBounds(Left(), FRealTop, Width(), FRealHeight);
  }
  if (HandleAllocated())
    Win::RedrawWindow(Handle(), nullptr, nullptr, Win::RDW_INVALIDATE | Win::RDW_ERASE | Win::RDW_ALLCHILDREN);
  // Last: the handler may splash again, or free the panel.
  if (OnSplashDone)
    OnSplashDone(this);
}

void TQxSplashPanel::DoPaint(Win::HDC DC)
{
  if (!FGdi->Pen)
    FGdi->Pen = Win::CreatePen(Win::PS_SOLID, 1, ColorToRGB(FBorderColor));
  if (!FGdi->Brush)
    FGdi->Brush = Win::CreateSolidBrush(ColorToRGB(Color()));
  const Win::RECT r(0, 0, ClientWidth(), ClientHeight());
  Win::FillRect(DC, &r, FGdi->Brush);
  const Win::TSelectedObject pen(DC, FGdi->Pen);
  const Integer right = r.Right - 1, bottom = r.Bottom - 1;
  const bool splashing = Splashing();
  auto edge = [DC](Integer X1, Integer Y1, Integer X2, Integer Y2) {
    Win::MoveToEx(DC, X1, Y1, nullptr);
    Win::LineTo(DC, X2, Y2);
  };
  edge(0, 0, 0, bottom + 1);
  edge(right, 0, right, bottom + 1);
  if (!splashing || FSplashAlignment != saBottom)
    edge(0, 0, right + 1, 0);
  if (!splashing || FSplashAlignment != saTop)
    edge(0, bottom, right + 1, bottom);
}

void TQxSplashPanel::Paint()
{
  inherited::Paint();
  DoPaint(Canvas()->Handle());
}

void TQxSplashPanel::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ERASEBKGND: {
    FPaintBuffer->SetSize(Width(), Height());
    DoPaint(FPaintBuffer->Canvas()->Handle());
    DrawBitmap(reinterpret_cast<Win::HDC>(Message.WParam), FPaintBuffer.get(), 0, 0);
    Message.Result = 1;
    return;
  }
  case CM_COLORCHANGED:
    FGdi->DropBrush();
    inherited::Dispatch(Message);
    return;
  default:
    inherited::Dispatch(Message);
  }
}

// ---- published properties ------------------------------------------------------------------

namespace {

// What the framework's panel publishes, for both panels.
constexpr const char* kPanelProperties[] = {
  "Align", "Alignment", "Anchors", "BevelInner", "BevelOuter", "BevelWidth", "BorderWidth", "Caption",
  "Constraints", "DoubleBuffered", "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu",
  "ShowCaption", "ShowHint", "TabOrder", "TabStop", "VerticalAlignment", "Visible", "OnCanResize", "OnClick",
  "OnContextPopup", "OnDblClick", "OnEnter", "OnExit", "OnMouseDown", "OnMouseEnter", "OnMouseLeave",
  "OnMouseMove", "OnMouseUp", "OnResize"};

} // namespace

QX_PUBLISHED_CONTROL(TQxAnimatedPanel)
{
  for (const char* name : kPanelProperties)
    Publish(name);
  Publish("Color").Default(clBtnFace);
  Property("SpeedMultiplier", &T::SpeedMultiplier, &T::SetSpeedMultiplier).Default(5);
  Property("Direction", &T::Direction, &T::SetDirection).Default(adRightToLeft);
  Property("AutoLeaf", &T::AutoLeaf, &T::SetAutoLeaf).Default(true);
  Property("Interval", &T::Interval, &T::SetInterval).Default(15000);
  Event("OnChange", &T::OnChange);
}

QX_PUBLISHED_CONTROL(TQxSplashPanel)
{
  for (const char* name : kPanelProperties)
    Publish(name);
  Publish("Color").Default(clBtnFace);
  Property("IntervalSec", &T::IntervalSec, &T::SetIntervalSec).Default(1200);
  Property("FirstTimeDelay", &T::FirstTimeDelay, &T::SetFirstTimeDelay).Default(10000);
  Property("SpeedMultiplier", &T::SpeedMultiplier, &T::SetSpeedMultiplier).Default(1);
  Property("SplashAlignment", &T::SplashAlignment, &T::SetSplashAlignment).Default(saBottom);
  Property("BorderColor", &T::BorderColor, &T::SetBorderColor).Default(clBlack);
  Event("OnSplash", &T::OnSplash);
  Event("OnSplashDone", &T::OnSplashDone);
}

} // namespace Quorex

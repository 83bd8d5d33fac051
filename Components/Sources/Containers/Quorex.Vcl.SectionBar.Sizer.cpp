// The section bar's slide: every section steps towards its target height on
// a 20 ms timer, the windows moving together in one deferred batch.
#include "Quorex.Vcl.SectionBar.hpp"

#include <System.ScopeGuards.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>
#include <climits>
#include <cmath>

namespace Quorex {

using namespace Vcl;

namespace {

constexpr Cardinal kSizerInterval = 20;

} // namespace

TControlSizer::TControlSizer(TCustomSectionBar* Bar) : FBar(Bar), FTimer(std::make_unique<TTimer>(nullptr))
{
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kSizerInterval);
  FTimer->SetOnTimer([this](TObject* Sender) { Fire(Sender); });
}

TControlSizer::~TControlSizer() = default;

void TControlSizer::BeginUpdate()
{
  FTimer->SetEnabled(false);
}

void TControlSizer::EndUpdate()
{
  Reposition();
  FTimer->SetEnabled(true);
}

void TControlSizer::Fire(TObject* Sender)
{
  (void)Sender;
  Reposition();
}

void TControlSizer::Reposition()
{
  {
    // A section's OnResize may raise; the sections must not stay locked.
    LockSections();
    const auto unlock = Finally([this] { UnlockSections(); });
    if (!DoReposition())
      FTimer->SetEnabled(false);
  }
  if (FChangedBottom > FChangedTop && FBar->HandleAllocated()) {
    TRect band(0, FChangedTop, FBar->Width(), FChangedBottom);
    Win::InvalidateRect(FBar->Handle(), &band, Win::FALSE);
    FBar->Update();
  }
}

void TControlSizer::LockSections()
{
  for (Integer i = 0; i < FBar->GetCount(); ++i)
    FBar->GetSection(i)->BeginUpdate();
}

void TControlSizer::UnlockSections()
{
  for (Integer i = 0; i < FBar->GetCount(); ++i)
    FBar->GetSection(i)->EndUpdate();
}

Integer TControlSizer::StepFor(Win::DWORD Now) const
{
  if (FResizeSpeed <= 0)
    return INT_MAX; // no slide: straight to the targets
  double seconds = double(Now - FTicks) * 0.001;
  if (seconds > 0.1)
    seconds = kSizerInterval * 0.001; // after a pause, one tick's worth
  double step = std::nearbyint(double(FResizeSpeed) * seconds);
  return Integer(std::clamp(step, 1.0, double(INT_MAX)));
}

bool TControlSizer::DoReposition()
{
  // No band until a section moves.
  FChangedTop = INT_MAX;
  FChangedBottom = INT_MIN;
  Win::DWORD now = Win::GetTickCount();
  if (now == FTicks && FResizeSpeed > 0)
    return true; // no time has passed: the next tick moves
  Integer step = StepFor(now);
  FTicks = now;
  bool changed = false;
  Integer y = FBar->TopMargin();
  Integer width = FBar->Width() - FBar->RightMargin();
  std::vector<TRect> places;
  for (Integer i = 0; i < FBar->GetCount(); ++i) {
    TPageSection* s = FBar->GetSection(i);
    if (s->Hidden()) {
      places.push_back(s->BoundsRect());
      continue;
    }
    Integer height = GetNewHeight(s, step);
    changed = changed || height != s->Height();
    places.push_back(Bounds(FBar->LeftMargin(), y, width, height));
    y += height;
  }
  MoveSections(places);
  return changed;
}

void TControlSizer::MoveSections(const std::vector<TRect>& Places)
{
  std::vector<std::pair<TPageSection*, TRect>> batched;
  std::vector<TPageSection*> widened;
  for (Integer i = 0; i < FBar->GetCount(); ++i) {
    TPageSection* s = FBar->GetSection(i);
    const TRect& from = s->BoundsRect();
    const TRect& to = Places[std::size_t(i)];
    if (from == to)
      continue;
    FChangedTop = std::min({FChangedTop, from.Top, to.Top});
    FChangedBottom = std::max({FChangedBottom, from.Bottom, to.Bottom});
    if (to.Width() != from.Width())
      widened.push_back(s);
    if (s->HandleAllocated())
      batched.emplace_back(s, to);
    else
      s->SetBounds(to.Left, to.Top, to.Width(), to.Height()); // in update mode: taken as it is
  }
  // The windows move together and their controls' bounds follow them.
  Win::HDWP batch = Win::BeginDeferWindowPos(Integer(batched.size()));
  for (const auto& [s, to] : batched)
    batch = Win::DeferWindowPos(batch, s->Handle(), nullptr, to.Left, to.Top, to.Width(), to.Height(),
                                Win::SWP_NOZORDER | Win::SWP_NOACTIVATE | Win::SWP_NOREDRAW);
  Win::EndDeferWindowPos(batch);
  for (TPageSection* s : widened)
    s->RepositionControls();
}

Integer TControlSizer::GetNewHeight(TPageSection* S, Integer Step) const
{
  Integer target = S->SizeInfo()->Height();
  Integer current = S->Height();
  if (std::abs(std::int64_t(current) - target) >= Step)
    return current + Direction(S) * Step;
  return target;
}

Integer TControlSizer::Direction(TPageSection* S)
{
  return S->SizeInfo()->Height() < S->Height() ? -1 : 1;
}

} // namespace Quorex

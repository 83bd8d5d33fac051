#include "Win.User.Internal.hpp"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace Win {

namespace {

struct TClock {
  std::atomic<bool> Virtual{false};
  std::atomic<std::uint64_t> VirtualMs{0};
  std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
};

TClock& Clock()
{
  static TClock clock;
  return clock;
}

// Real time starts one hour in, so that "now minus an interval" never wraps
// for the intervals controls use.
constexpr std::uint64_t kEpochMs = 3600 * 1000;

std::uint64_t RealMs()
{
  auto elapsed = std::chrono::steady_clock::now() - Clock().Start;
  return kEpochMs + std::uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

std::int64_t RealTicks100ns()
{
  auto elapsed = std::chrono::steady_clock::now() - Clock().Start;
  return std::int64_t(kEpochMs) * 10000 + std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100;
}

struct TTimer {
  HWND Window = nullptr;
  UINT_PTR Id = 0;
  UINT Elapse = 0;
  TIMERPROC Proc = nullptr;
  std::uint64_t Due = 0;
  std::uint64_t Order = 0; // among timers due at the same time, the older first
};

struct TTimers {
  std::vector<TTimer> List;
  std::uint64_t NextOrder = 0;
  UINT_PTR NextId = 0x7FF0;
};

TTimers& Timers()
{
  static TTimers timers;
  return timers;
}

constexpr UINT kMinimumInterval = 10;

TTimer* EarliestTimer()
{
  TTimer* best = nullptr;
  for (TTimer& t : Timers().List)
    if (!best || t.Due < best->Due || (t.Due == best->Due && t.Order < best->Order))
      best = &t;
  return best;
}

} // namespace

void UseVirtualClock(bool on)
{
  TClock& c = Clock();
  if (on && !c.Virtual)
    c.VirtualMs = RealMs();
  c.Virtual = on;
}

bool IsVirtualClock()
{
  return Clock().Virtual;
}

void AdvanceClock(std::uint64_t ms)
{
  Clock().VirtualMs += ms;
}

std::uint64_t ClockMilliseconds()
{
  return Clock().Virtual ? Clock().VirtualMs.load() : RealMs();
}

DWORD GetTickCount()
{
  return DWORD(ClockMilliseconds());
}

std::uint64_t GetTickCount64()
{
  return ClockMilliseconds();
}

BOOL QueryPerformanceFrequency(std::int64_t* frequency)
{
  if (!frequency)
    return FALSE;
  *frequency = 10'000'000;
  return TRUE;
}

BOOL QueryPerformanceCounter(std::int64_t* count)
{
  if (!count)
    return FALSE;
  *count = Clock().Virtual ? std::int64_t(Clock().VirtualMs.load()) * 10000 : RealTicks100ns();
  return TRUE;
}

void Sleep(DWORD ms)
{
  if (IsVirtualClock())
    AdvanceClock(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

UINT_PTR SetTimer(HWND hWnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
  if (hWnd && !IsLive(hWnd))
    return 0;
  TTimers& timers = Timers();
  elapse = std::max(elapse, kMinimumInterval);
  if (!hWnd)
    id = ++timers.NextId;
  TTimer fresh{hWnd, id, elapse, proc, ClockMilliseconds() + elapse, timers.NextOrder++};
  for (TTimer& t : timers.List)
    if (hWnd && t.Window == hWnd && t.Id == id) {
      t = fresh;
      return id;
    }
  timers.List.push_back(fresh);
  return hWnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR id)
{
  auto& list = Timers().List;
  auto it = std::find_if(list.begin(), list.end(), [&](const TTimer& t) { return t.Window == hWnd && t.Id == id; });
  if (it == list.end())
    return FALSE;
  list.erase(it);
  return TRUE;
}

bool NextTimerDue(std::uint64_t* due)
{
  TTimer* t = EarliestTimer();
  if (!t)
    return false;
  if (due)
    *due = t->Due;
  return true;
}

bool TakeDueTimer(MSG* msg, bool remove)
{
  TTimer* t = EarliestTimer();
  std::uint64_t now = ClockMilliseconds();
  if (!t || t->Due > now)
    return false;
  *msg = MSG{t->Window, WM_TIMER, WPARAM(t->Id), LPARAM(t->Proc), DWORD(now), {}};
  if (remove) {
    t->Due = now + t->Elapse;
    t->Order = Timers().NextOrder++;
  }
  return true;
}

void TimersWindowDestroyed(HWND hWnd)
{
  auto& list = Timers().List;
  list.erase(std::remove_if(list.begin(), list.end(), [hWnd](const TTimer& t) { return t.Window == hWnd; }), list.end());
}

void ResetTimers()
{
  Timers().List.clear();
  Clock().Virtual = false;
}

} // namespace Win

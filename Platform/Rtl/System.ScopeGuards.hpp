// Paired state held by a scope: whatever a block begins (an update, a lock, a
// flag) ends when the block ends, also when a host's handler raises inside it.
#pragma once

#include <exception>
#include <utility>

namespace Vcl {

// The ending of a guard. The end may raise on a normal exit (an EndUpdate
// that fires a host's OnChange); while an exception is already unwinding the
// scope, one raised by the end is dropped so that the first one goes on
// instead of terminating the program.
class TScopeEnd {
protected:
  template <class TAction>
  void End(TAction& Action) const
  {
    if (std::uncaught_exceptions() == FUnwinding) {
      Action();
      return;
    }
    try {
      Action();
    } catch (...) {
    }
  }

private:
  int FUnwinding = std::uncaught_exceptions();
};

// Runs its action when the scope ends.
template <class TAction>
class TFinally : TScopeEnd {
public:
  explicit TFinally(TAction Action) : FAction(std::move(Action)) {}
  ~TFinally() noexcept(false) { End(FAction); }
  TFinally(const TFinally&) = delete;
  TFinally& operator=(const TFinally&) = delete;

private:
  TAction FAction;
};

template <class TAction>
[[nodiscard]] TFinally<TAction> Finally(TAction Action)
{
  return TFinally<TAction>(std::move(Action));
}

// BeginUpdate now, EndUpdate when the scope ends: for collections, string
// lists, image lists and anything else with that pair.
template <class TTarget>
class TUpdateScope : TScopeEnd {
public:
  explicit TUpdateScope(TTarget& Target) : FTarget(Target) { FTarget.BeginUpdate(); }
  ~TUpdateScope() noexcept(false)
  {
    auto end = [this] { FTarget.EndUpdate(); };
    End(end);
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
  TTarget& FTarget;
};

// Sets a flag for the length of a scope and puts back the value it had:
// "in handler" and "inside a loop" markers that guard against re-entry.
template <class TValue>
class TScopedValue {
public:
  TScopedValue(TValue& Target, TValue Value) : FTarget(Target), FSaved(std::exchange(Target, std::move(Value))) {}
  ~TScopedValue() { FTarget = std::move(FSaved); }
  TScopedValue(const TScopedValue&) = delete;
  TScopedValue& operator=(const TScopedValue&) = delete;

private:
  TValue& FTarget;
  TValue FSaved;
};

} // namespace Vcl

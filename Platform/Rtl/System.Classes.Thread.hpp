// Threads of the runtime: TThread over std::thread, and the hand-over of
// work to the main (user-interface) thread through Synchronize and Queue,
// which the main thread serves in CheckSynchronize (its message loop and
// WaitFor call it).
#pragma once

#include "System.SysUtils.hpp"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace Vcl {

using TThreadMethod = std::function<void()>;
using TThreadProcedure = std::function<void()>;

// The thread that loaded the runtime: the user-interface thread.
std::thread::id MainThreadID();
bool IsMainThread();

// Runs the calls that other threads handed over with Synchronize or Queue;
// true when it ran any. Only the main thread serves them; elsewhere it
// returns false. A positive Timeout (ms) waits that long for a first call.
bool CheckSynchronize(int Timeout = 0);
// Called (from any thread) when a call is handed over, so that a main
// thread blocked in its message loop wakes up and serves it. The window
// system sets it.
extern std::atomic<void (*)()> WakeMainThread;

class TThread : public TObject {
  QX_CLASS(TThread, TObject)
public:
  explicit TThread(bool CreateSuspended = true);
  // A running thread is told to terminate and waited for (serving
  // Synchronize meanwhile when called on the main thread). By then the
  // derived parts are gone: a class whose Execute uses its own members
  // stops the thread (Terminate, WaitFor) in its own destructor.
  ~TThread() override;

  // EThread "Thread already started" the second time.
  void Start();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  bool Finished() const { return FFinished; }
  bool Started() const { return FStarted; }
  // Waits for Execute to end and returns ReturnValue; on the main thread it
  // keeps running synchronised calls so a worker blocked in Synchronize can
  // finish. EThread when the thread waits for itself or was never started.
  Integer WaitFor();

  bool FreeOnTerminate() const { return FFreeOnTerminate; }
  void SetFreeOnTerminate(bool Value) { FFreeOnTerminate = Value; }
  Integer ReturnValue() const { return FReturnValue; }
  // What escaped Execute, if anything.
  std::exception_ptr FatalException() const { return FFatalException; }
  std::thread::id ThreadID() const { return FThreadID; }

  // Runs Method on the main thread and waits for it; an exception it raises
  // is raised again here. On the main thread it runs at once.
  void Synchronize(const TThreadMethod& Method) { Synchronize(this, Method); }
  static void Synchronize(TThread* AThread, const TThreadMethod& Method);
  // Hands Method to the main thread without waiting (runs at once when
  // called there).
  void Queue(const TThreadMethod& Method) { Queue(this, Method); }
  static void Queue(TThread* AThread, const TThreadMethod& Method);
  static TThread* CurrentThread();

  // Raised on the main thread after Execute ends.
  TNotifyEvent OnTerminate;

protected:
  virtual void Execute() = 0;
  virtual void DoTerminate();
  void SetReturnValue(Integer Value) { FReturnValue = Value; }

private:
  void Run();

  std::thread FThread;
  std::mutex FStartLock; // the new thread waits until Start has stored FThread
  std::thread::id FThreadID;
  std::atomic<bool> FStarted{false};
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::atomic<bool> FFreeOnTerminate{false};
  std::atomic<Integer> FReturnValue{0};
  std::exception_ptr FFatalException;
};

QX_EXCEPTION(EThread, Exception);

} // namespace Vcl

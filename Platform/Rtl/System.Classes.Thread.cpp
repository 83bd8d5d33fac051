#include "System.Classes.Thread.hpp"

#include <chrono>
#include <deque>
#include <memory>

namespace Vcl {

std::atomic<void (*)()> WakeMainThread{nullptr};

namespace {

const std::thread::id gMainThreadID = std::this_thread::get_id();
thread_local TThread* tCurrentThread = nullptr;

struct TSyncRequest {
  TThreadMethod Method;
  bool Done = false;
  std::exception_ptr Error;
};

// Calls waiting for the main thread, and the signal that wakes a main
// thread sitting in WaitFor (a call arrived or a thread finished).
struct TSyncQueue {
  std::mutex Lock;
  std::condition_variable Changed;
  std::deque<std::shared_ptr<TSyncRequest>> Requests;
};

TSyncQueue& SyncQueue()
{
  static TSyncQueue queue;
  return queue;
}

void Wake()
{
  SyncQueue().Changed.notify_all();
  if (auto wake = WakeMainThread.load())
    wake();
}

std::shared_ptr<TSyncRequest> HandOver(const TThreadMethod& Method)
{
  auto request = std::make_shared<TSyncRequest>();
  request->Method = Method;
  {
    std::lock_guard lock(SyncQueue().Lock);
    SyncQueue().Requests.push_back(request);
  }
  Wake();
  return request;
}

void RunRequest(TSyncRequest& request)
{
  try {
    request.Method();
  } catch (...) {
    request.Error = std::current_exception();
  }
}

} // namespace

std::thread::id MainThreadID()
{
  return gMainThreadID;
}

bool IsMainThread()
{
  return std::this_thread::get_id() == gMainThreadID;
}

bool CheckSynchronize(int Timeout)
{
  if (!IsMainThread())
    return false;
  TSyncQueue& q = SyncQueue();
  std::deque<std::shared_ptr<TSyncRequest>> taken;
  {
    std::unique_lock lock(q.Lock);
    if (q.Requests.empty() && Timeout > 0)
      q.Changed.wait_for(lock, std::chrono::milliseconds(Timeout), [&] { return !q.Requests.empty(); });
    taken.swap(q.Requests);
  }
  for (auto& request : taken) {
    RunRequest(*request);
    {
      std::lock_guard lock(q.Lock);
      request->Done = true;
    }
    q.Changed.notify_all();
  }
  return !taken.empty();
}

TThread::TThread(bool CreateSuspended)
{
  if (!CreateSuspended)
    Start();
}

TThread::~TThread()
{
  if (!FThread.joinable())
    return;
  if (CurrentThread() == this) {
    FThread.detach();
    return;
  }
  Terminate();
  WaitFor();
}

void TThread::Start()
{
  if (FStarted.exchange(true))
    throw EThread("Thread already started");
  std::lock_guard lock(FStartLock);
  FThread = std::thread([this] { Run(); });
  FThreadID = FThread.get_id();
}

void TThread::Run()
{
  tCurrentThread = this;
  { std::lock_guard lock(FStartLock); }
  try {
    Execute();
  } catch (...) {
    FFatalException = std::current_exception();
  }
  try {
    DoTerminate();
  } catch (...) {
    if (!FFatalException)
      FFatalException = std::current_exception();
  }
  bool selfFree = FFreeOnTerminate;
  {
    std::lock_guard lock(SyncQueue().Lock);
    FFinished = true;
  }
  Wake();
  if (selfFree) {
    FThread.detach();
    delete this;
  }
}

void TThread::DoTerminate()
{
  if (OnTerminate)
    Synchronize([this] { OnTerminate(this); });
}

Integer TThread::WaitFor()
{
  if (!FStarted)
    throw EThread("Cannot wait for a thread that was not started");
  if (CurrentThread() == this)
    throw EThread("A thread cannot wait for itself");
  if (FFreeOnTerminate)
    throw EThread("Cannot wait for a thread that frees itself");
  TSyncQueue& q = SyncQueue();
  for (;;) {
    CheckSynchronize();
    std::unique_lock lock(q.Lock);
    if (FFinished)
      break;
    q.Changed.wait(lock, [&] { return FFinished || (IsMainThread() && !q.Requests.empty()); });
  }
  if (FThread.joinable())
    FThread.join();
  return FReturnValue;
}

void TThread::Synchronize(TThread* AThread, const TThreadMethod& Method)
{
  (void)AThread;
  if (!Method)
    return;
  if (IsMainThread()) {
    Method();
    return;
  }
  auto request = HandOver(Method);
  TSyncQueue& q = SyncQueue();
  std::unique_lock lock(q.Lock);
  q.Changed.wait(lock, [&] { return request->Done; });
  if (request->Error)
    std::rethrow_exception(request->Error);
}

void TThread::Queue(TThread* AThread, const TThreadMethod& Method)
{
  (void)AThread;
  if (!Method)
    return;
  if (IsMainThread()) {
    Method();
    return;
  }
  HandOver(Method);
}

TThread* TThread::CurrentThread()
{
  return tCurrentThread;
}

} // namespace Vcl

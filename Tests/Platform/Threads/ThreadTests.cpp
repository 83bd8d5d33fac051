#include <System.Classes.hpp>
#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Vcl;

namespace {

class TLambdaThread : public TThread {
public:
  explicit TLambdaThread(std::function<void(TLambdaThread&)> body) : TThread(true), FBody(std::move(body)) {}
  // Execute uses FBody, so the thread must end before it goes.
  ~TLambdaThread() override
  {
    if (Started() && !Finished()) {
      Terminate();
      WaitFor();
    }
  }
  using TThread::SetReturnValue;

protected:
  void Execute() override { FBody(*this); }

private:
  std::function<void(TLambdaThread&)> FBody;
};

} // namespace

TEST(Threads, SynchronizeRunsOnTheMainThreadWhileItWaits)
{
  std::vector<std::thread::id> ranOn;
  TLambdaThread worker([&](TLambdaThread& self) {
    for (int i = 0; i < 3; ++i)
      self.Synchronize([&] { ranOn.push_back(std::this_thread::get_id()); });
    self.SetReturnValue(42);
  });
  bool terminated = false;
  worker.OnTerminate = [&](TObject*) { terminated = IsMainThread(); };
  worker.Start();
  EXPECT_EQ(worker.WaitFor(), 42);
  ASSERT_EQ(ranOn.size(), 3u);
  for (auto id : ranOn)
    EXPECT_EQ(id, MainThreadID());
  EXPECT_TRUE(terminated) << "OnTerminate runs on the main thread";
  EXPECT_TRUE(worker.Finished());
  EXPECT_THROW(worker.Start(), EThread);
}

TEST(Threads, ExceptionsCrossBackToTheirThread)
{
  bool caught = false;
  TLambdaThread worker([&](TLambdaThread& self) {
    try {
      self.Synchronize([] { throw EConvertError("bad"); });
    } catch (const EConvertError&) {
      caught = true;
    }
    throw EInvalidOperation("worker failed");
  });
  worker.Start();
  worker.WaitFor();
  EXPECT_TRUE(caught);
  ASSERT_TRUE(worker.FatalException());
  EXPECT_THROW(std::rethrow_exception(worker.FatalException()), EInvalidOperation);
}

TEST(Threads, QueueDoesNotWaitAndTerminateIsSeen)
{
  std::atomic<int> queued{0};
  TLambdaThread worker([&](TLambdaThread& self) {
    while (!self.Terminated())
      std::this_thread::yield();
    self.Queue([&] { queued = IsMainThread() ? 1 : -1; });
  });
  worker.Start();
  worker.Terminate();
  worker.WaitFor();
  CheckSynchronize();
  EXPECT_EQ(queued.load(), 1);
}

TEST(Threads, FreeOnTerminateThreadsDeleteThemselves)
{
  static std::atomic<int> destroyed{0};
  class TSelfFreeing : public TThread {
  public:
    TSelfFreeing() : TThread(true) { SetFreeOnTerminate(true); }
    ~TSelfFreeing() override { ++destroyed; }

  protected:
    void Execute() override {}
  };
  destroyed = 0;
  auto* t = new TSelfFreeing;
  EXPECT_THROW(t->WaitFor(), EThread) << "not started";
  t->Start();
  for (int i = 0; i < 2000 && destroyed == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(destroyed.load(), 1);
}

TEST(Threads, DestroyingARunningThreadTerminatesAndWaits)
{
  std::atomic<bool> stopped{false};
  {
    TLambdaThread worker([&](TLambdaThread& self) {
      while (!self.Terminated())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      self.Synchronize([&] { stopped = true; });
    });
    worker.Start();
  }
  EXPECT_TRUE(stopped.load());
}

TEST(Threads, AHandedOverCallWakesAMainThreadBlockedInGetMessage)
{
  // What the application object does: turn a hand-over into a posted message.
  WakeMainThread = [] { Win::PostMessage(nullptr, Win::WM_NULL, 0, 0); };
  bool ran = false;
  TLambdaThread worker([&](TLambdaThread& self) { self.Synchronize([&] { ran = true; }); });
  worker.Start();
  Win::MSG msg;
  while (!ran) {
    ASSERT_TRUE(Win::GetMessage(&msg, nullptr, 0, 0));
    CheckSynchronize();
  }
  worker.WaitFor();
  WakeMainThread = nullptr;
  Win::ResetWindowSystem();
  EXPECT_TRUE(ran);
}

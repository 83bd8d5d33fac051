// A canvas shared between threads: Lock makes read-modify-write sequences on
// it atomic, TryLock does not wait.
#include <Vcl.Graphics.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Vcl;

namespace {

// The pixel at (0, 0) holds a counter in its red and green bytes.
int ReadCounter(TCanvas* canvas)
{
  const TColor c = canvas->Pixels(0, 0);
  return Win::GetRValue(c) + 256 * Win::GetGValue(c);
}

void Increment(TCanvas* canvas, int times)
{
  for (int i = 0; i < times; ++i) {
    canvas->Lock();
    const int next = ReadCounter(canvas) + 1;
    canvas->Brush()->SetColor(TColor(Win::RGB(Byte(next & 0xFF), Byte(next >> 8), 0)));
    canvas->FillRect(TRect(0, 0, 1, 1));
    canvas->Unlock();
  }
}

} // namespace

TEST(GraphicsCanvasLock, LockSerialisesDrawingFromSeveralThreads)
{
  TBitmap bitmap(1, 1);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Lock();
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(TRect(0, 0, 1, 1));
  canvas->Unlock();

  std::thread a(Increment, canvas, 300), b(Increment, canvas, 300);
  a.join();
  b.join();
  canvas->Lock();
  EXPECT_EQ(ReadCounter(canvas), 600);
  EXPECT_EQ(canvas->LockCount(), 1);

  std::atomic<bool> acquired{true};
  std::thread other([&] {
    acquired = canvas->TryLock();
    if (acquired)
      canvas->Unlock();
  });
  other.join();
  EXPECT_FALSE(acquired);
  canvas->Unlock();
  EXPECT_EQ(canvas->LockCount(), 0);
}

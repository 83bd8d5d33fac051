#include "Win.Handles.Internal.hpp"

#include <array>
#include <mutex>
#include <new>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace Win {

namespace {

struct THeld {
  void* P = nullptr;
  std::size_t Size = 0;
};

// Never destroyed: handles are freed until the very end of the process.
struct TQuarantine {
  std::mutex Lock;
  std::array<THeld, 256> Held;
  std::size_t Next = 0;
};

TQuarantine& Quarantine()
{
  static auto* quarantine = new TQuarantine;
  return *quarantine;
}

// Held storage stays unreadable to AddressSanitizer, as freed memory would be.
void Hold(void* P, std::size_t Size)
{
#if defined(__SANITIZE_ADDRESS__)
  ASAN_POISON_MEMORY_REGION(P, Size);
#else
  (void)P, (void)Size;
#endif
}

void Release(const THeld& Held)
{
#if defined(__SANITIZE_ADDRESS__)
  ASAN_UNPOISON_MEMORY_REGION(Held.P, Held.Size);
#endif
  ::operator delete(Held.P);
}

} // namespace

void* THandleStorage::operator new(std::size_t Size)
{
  return ::operator new(Size);
}

void THandleStorage::operator delete(void* P, std::size_t Size)
{
  if (!P)
    return;
  Hold(P, Size);
  THeld evicted;
  {
    TQuarantine& q = Quarantine();
    std::lock_guard<std::mutex> guard(q.Lock);
    evicted = std::exchange(q.Held[q.Next], THeld{P, Size});
    q.Next = (q.Next + 1) % q.Held.size();
  }
  if (evicted.P)
    Release(evicted);
}

} // namespace Win

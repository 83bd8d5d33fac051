#include "Win.Handles.Internal.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
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

std::size_t TPointerSet::Home(const void* P) const
{
  // Objects are at least 16-byte aligned; Fibonacci hashing spreads the rest.
  return std::size_t(((std::uintptr_t(P) >> 4) * 0x9E3779B97F4A7C15ull) >> (64 - FBits));
}

std::size_t TPointerSet::Find(const void* P) const
{
  std::size_t i = Home(P);
  while (FSlots[i] && FSlots[i] != P)
    i = Next(i);
  return i;
}

bool TPointerSet::Contains(const void* P) const
{
  if (!P || !FCount)
    return false;
  if (P == FLast)
    return true;
  if (FSlots[Find(P)] != P)
    return false;
  FLast = P;
  return true;
}

void TPointerSet::Insert(const void* P)
{
  if (!P || Contains(P))
    return;
  if (2 * (FCount + 1) > FSlots.size())
    Grow();
  FSlots[Find(P)] = P;
  ++FCount;
}

void TPointerSet::Erase(const void* P)
{
  if (!Contains(P))
    return;
  std::size_t hole = Find(P);
  FSlots[hole] = nullptr;
  FLast = nullptr;
  --FCount;
  // Entries after the hole that could not sit at their home slot move back
  // into it, so that no search stops early at the hole.
  for (std::size_t i = Next(hole); FSlots[i]; i = Next(i)) {
    const std::size_t home = Home(FSlots[i]);
    const bool between = hole < i ? hole < home && home <= i : hole < home || home <= i;
    if (between)
      continue;
    FSlots[hole] = FSlots[i];
    FSlots[i] = nullptr;
    hole = i;
  }
}

void TPointerSet::Grow()
{
  std::vector<const void*> old = std::move(FSlots);
  FBits = std::max(FBits + 1, 6);
  FSlots.assign(std::size_t(1) << FBits, nullptr);
  for (const void* p : old)
    if (p)
      FSlots[Find(p)] = p;
}

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

// Storage for objects whose addresses serve as handles (windows, DCs, GDI
// objects). Freed storage is held back for the next few hundred frees, so a
// stale handle a caller kept does not name the next object made: optimised
// allocators hand a freed address straight back, and the live-handle checks
// would then take the stale handle for the new object.
#pragma once

#include <cstddef>
#include <vector>

namespace Win {

struct THandleStorage {
  static void* operator new(std::size_t Size);
  static void operator delete(void* P, std::size_t Size);
};

// The addresses of live objects, asked about by every call that takes a
// handle: open addressing on the address bits, so that a look-up is a probe
// or two rather than a division and a walk down a bucket.
class TPointerSet {
public:
  bool Contains(const void* P) const;
  void Insert(const void* P);
  void Erase(const void* P);

private:
  std::size_t Home(const void* P) const;
  std::size_t Next(std::size_t Slot) const { return (Slot + 1) & (FSlots.size() - 1); }
  // The slot holding P, or the free slot where the search for it ended.
  std::size_t Find(const void* P) const;
  void Grow();
  std::vector<const void*> FSlots; // nullptr marks a free slot; the size is a power of two
  std::size_t FCount = 0;
  int FBits = 0;
  mutable const void* FLast = nullptr; // the last one found: calls ask about one window many times
};

} // namespace Win

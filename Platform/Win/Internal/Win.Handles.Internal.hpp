// Storage for objects whose addresses serve as handles (windows, DCs, GDI
// objects). Freed storage is held back for the next few hundred frees, so a
// stale handle a caller kept does not name the next object made: optimised
// allocators hand a freed address straight back, and the live-handle checks
// would then take the stale handle for the new object.
#pragma once

#include <cstddef>

namespace Win {

struct THandleStorage {
  static void* operator new(std::size_t Size);
  static void operator delete(void* P, std::size_t Size);
};

} // namespace Win

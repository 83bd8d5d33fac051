// Free routines shared by the whole library.
#pragma once

namespace Quorex {

// The smaller of A and B (B when they are equal).
inline int Min(int A, int B)
{
  return A < B ? A : B;
}

} // namespace Quorex

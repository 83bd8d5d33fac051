// The vector code dispatches at run time to the best instruction set of the
// CPU; its exactness tests run once for every instruction set it was built
// for that this CPU can run, the plain one included.
#pragma once

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cstdint>
#include <random>
#include <vector>

namespace QxTest {

// Calls Check with the dispatch held to each instruction set in turn, then
// frees the dispatch again.
template <class F>
void ForEachVectorTarget(F Check)
{
  struct TRelease {
    ~TRelease() { hwy::SetSupportedTargetsForTest(0); }
  } release;
  for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
    SCOPED_TRACE(hwy::TargetName(target));
    hwy::SetSupportedTargetsForTest(target);
    Check();
  }
}

// Sizes that meet every vector width: 1, 2, 3, every width around 4, 8, 16,
// 32 and 64 lanes, and a few odd ones.
inline std::vector<int> VectorEdgeSizes()
{
  std::vector<int> sizes{1, 2, 3, 5, 7, 11, 13, 23, 37, 100};
  for (int w : {4, 8, 16, 32, 64})
    for (int d : {-1, 0, 1})
      sizes.push_back(w + d);
  return sizes;
}

// Random bytes, the same for every run of a test.
inline std::vector<std::uint8_t> RandomBytes(std::size_t Count, std::uint32_t Seed)
{
  std::mt19937 random(Seed);
  std::vector<std::uint8_t> bytes(Count);
  for (auto& b : bytes)
    b = std::uint8_t(random());
  return bytes;
}

} // namespace QxTest

// Test seam of the DPI unit. The library exports the function under an
// internal name; hosts never see it, since this header is not installed.
#pragma once

namespace Quorex::Internal {

// Forgets the cached screen resolution, so that the next DPI call reads it again.
void ResetDPICacheForTesting();

} // namespace Quorex::Internal

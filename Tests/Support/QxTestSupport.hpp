// Helpers shared by the test executables.
#pragma once

#include <string>

namespace QxTest {

// The source tree (for fixtures), from QX_SOURCE_DIR or the build's own path.
std::string SourceDir();
// A fresh, empty scratch directory named after the calling test.
std::string TempDir();

} // namespace QxTest

// Helpers shared by the test executables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace QxTest {

// The source tree (for fixtures), from QX_SOURCE_DIR or the build's own path.
std::string SourceDir();
// A fresh, empty scratch directory named after the calling test.
std::string TempDir();
// Every byte of a file (none when it cannot be read).
std::vector<std::uint8_t> ReadBytes(const std::string& Path);

} // namespace QxTest

// System metrics of window borders, answered by GetSystemMetrics like the
// others (Win.User.hpp). They live apart so that code measuring borders
// includes them where it needs them.
#pragma once

#include "Win.User.hpp"

namespace Win {

// The width and height of a one-pixel window border: 1 at every resolution.
constexpr int SM_CXBORDER = 5, SM_CYBORDER = 6;
// The height of a window's menu bar.
constexpr int SM_CYMENU = 15;

} // namespace Win

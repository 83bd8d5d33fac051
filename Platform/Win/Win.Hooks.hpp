// What the window system can tell about the hooks installed on it: a host's
// diagnostics, and tests that check a component let go of its hook.
#pragma once

#include "Win.User.hpp"

namespace Win {

// Live hooks of the kind (WH_MOUSE, WH_KEYBOARD); a hook removed while the
// chain runs no longer counts.
int InstalledHookCount(int idHook);

} // namespace Win

#include "Quorex.Resources.hpp"

namespace Quorex {

// The table generated from Components/Resources registers the module.
Win::HINSTANCE HInstance()
{
  return Win::GetModuleHandle("QxComponents");
}

} // namespace Quorex

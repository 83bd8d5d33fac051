#include "Win.Screen.hpp"

namespace Win {

TScreenSettings& ScreenSettings()
{
  static TScreenSettings settings;
  return settings;
}

} // namespace Win

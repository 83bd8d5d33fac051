// The list view's metrics, shared by its geometry, input and painting.
#pragma once

#include <Vcl.ComCtrls.hpp>

namespace Vcl::ListViewMetrics {

inline constexpr Integer kWheelRows = 3;
inline constexpr Integer kHorizontalLine = 10;
inline constexpr Integer kCellPadding = 2;
inline constexpr Integer kHeaderTextPadding = 6;
inline constexpr Win::UINT kStateMask = Win::LVIS_FOCUSED | Win::LVIS_SELECTED | Win::LVIS_STATEIMAGEMASK;

} // namespace Vcl::ListViewMetrics

// Aligning a rectangle inside another one.
#pragma once

#include <System.Classes.hpp>
#include <System.Types.hpp>

namespace Quorex {

// Places Item (its size only) inside Bounds by the two alignments. Halving
// truncates toward zero, so an item larger than the bounds overhangs equally
// with the odd pixel toward the right/bottom.
Vcl::TRect PositionRect(const Vcl::TRect& Bounds, const Vcl::TRect& Item, Vcl::TAlignment Horizontal,
                        Vcl::TVerticalAlignment Vertical);
Vcl::TRect PositionRect(const Vcl::TRect& Bounds, int Width, int Height, Vcl::TAlignment Horizontal,
                        Vcl::TVerticalAlignment Vertical);

} // namespace Quorex

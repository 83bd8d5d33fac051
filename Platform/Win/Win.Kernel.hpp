#pragma once

#include <Winapi.WinTypes.hpp>

namespace Win {

// Number * Numerator / Denominator with a 64-bit intermediate product, rounded
// to nearest with halves away from zero; -1 when Denominator is 0 or the
// result does not fit in 32 bits.
int MulDiv(int Number, int Numerator, int Denominator);

} // namespace Win

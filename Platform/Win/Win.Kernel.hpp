#pragma once

#include <cstdint>

namespace Win {

using BOOL = int;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// Number * Numerator / Denominator with a 64-bit intermediate product, rounded
// to nearest with halves away from zero; -1 when Denominator is 0 or the
// result does not fit in 32 bits.
int MulDiv(int Number, int Numerator, int Denominator);

} // namespace Win

#include "Win.Kernel.hpp"

#include <cstdlib>
#include <limits>

namespace Win {

int MulDiv(int Number, int Numerator, int Denominator)
{
  if (Denominator == 0)
    return -1;
  // |product| < 2^62 and |Denominator| <= 2^31, so the doubled remainder and
  // the quotient fit in 64 bits.
  std::int64_t product = std::int64_t(Number) * Numerator;
  std::int64_t quotient = product / Denominator;
  std::int64_t remainder = product % Denominator;
  if (2 * std::llabs(remainder) >= std::llabs(std::int64_t(Denominator)))
    quotient += ((product < 0) != (Denominator < 0)) ? -1 : 1;
  if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min())
    return -1;
  return int(quotient);
}

} // namespace Win

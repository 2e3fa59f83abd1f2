#pragma once

#include <cmath>

namespace lumiset {

/// \brief Nearest whole number, halves to the even neighbour (2.5 → 2, 3.5 → 4).
///
/// Done by hand rather than with std::nearbyint, whose result follows the
/// floating-point rounding mode in force. This is the program's one rounding
/// rule for geometry and colours; number texts round their decimal digits in
/// NumberText.
inline double roundHalfEven(double value)
{
    const double fl = std::floor(value);
    const double diff = value - fl;
    if (diff < 0.5)
        return fl;
    if (diff > 0.5)
        return fl + 1.0;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

/// \brief roundHalfEven() as an int, for values known to fit.
inline int roundHalfEvenToInt(double value)
{
    return int(roundHalfEven(value));
}

} // namespace lumiset

#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

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

/// \brief A sample of 0 … \a maximum as the 8-bit level the views and cell
/// colours use: v × 255 / maximum to the nearest level, halves to even as the
/// program's other colours round (only an even maximum has halves: 65535 =
/// 255 × 257 has none). A sample above the maximum, which only a faulty file
/// holds, shows as 255.
inline std::uint8_t eightBitSample(int sample, int maximum)
{
    if (sample >= maximum)
        return 255;
    if (maximum == 255) // bytes of the full range are their own level
        return std::uint8_t(sample);
    const int scaled = sample * 255; // at most 65535 × 255: an int holds it
    int level = scaled / maximum;
    const int twiceRest = 2 * (scaled % maximum);
    if (twiceRest > maximum || (twiceRest == maximum && level % 2 != 0))
        ++level;
    return std::uint8_t(level);
}

/// \brief A palette component (0..255, held as a float) as the byte every view,
/// count and cell colour uses: the nearest level, halves to even, kept in 0..255.
inline std::uint8_t paletteLevel(float component)
{
    return std::uint8_t(std::clamp(roundHalfEven(component), 0.0, 255.0));
}

} // namespace lumiset

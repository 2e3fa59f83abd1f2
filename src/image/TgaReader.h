#pragma once

#include "ImageStore.h"
#include "OpenWindowView.h"

#include <array>
#include <cstdint>

namespace lumiset {

class ByteSource;

/// \brief Stage one of a TGA file (FileSignature already "TG"): report, size label, colour map and swatch,
/// table sizes, preview and the export command.
void openTga(ImageStore& store, OpenWindowView& view, ByteSource& source);

/// \brief Bytes per stored pixel: 1 for grey and colour-mapped, 2/3/4 for true colour.
int tgaBytesPerPixel(const ImageStore& store);

/// \brief Red, green, blue of a true-colour pixel of \a bytes bytes (2: 5 bits a
/// component, widened to 8; 3 or 4: blue, green, red[, alpha]).
inline std::array<std::uint8_t, 3> decodeTgaTrueColour(const std::uint8_t* p, int bytes)
{
    if (bytes == 2) {
        const unsigned w = unsigned(p[0]) | (unsigned(p[1]) << 8);
        auto widen = [](unsigned v) { return std::uint8_t((v << 3) | (v >> 2)); };
        return {widen((w >> 10) & 31u), widen((w >> 5) & 31u), widen(w & 31u)};
    }
    return {p[2], p[1], p[0]};
}

} // namespace lumiset

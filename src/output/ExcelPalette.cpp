#include "output/ExcelPalette.h"

namespace lumiset {

std::optional<std::uint32_t> paletteColorRgb(int colorIndex)
{
    if (colorIndex < 1 || colorIndex > 56)
        return std::nullopt;
    for (int row = 0; row < kExcelPaletteFilledRows; ++row) {
        const PaletteRow& entry = ExcelPalette[std::size_t(row)];
        if (entry.ColorIndex == colorIndex)
            return std::uint32_t(entry.red) << 16 | std::uint32_t(entry.green) << 8 | std::uint32_t(entry.blue);
    }
    return std::nullopt;
}

} // namespace lumiset

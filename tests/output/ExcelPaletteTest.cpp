#include "output/ExcelPalette.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace lumiset {
namespace {

// The workbook paints a colour index with the colour of its table row, so a
// wrong lookup shows as a wrongly coloured cell.
TEST(ExcelPaletteTest, ColourOfIndex)
{
    struct Case {
        const char* name;
        int index;
        std::optional<std::uint32_t> rgb;
    };
    const std::array<Case, 10> cases{{
        {"index 0 names no colour", 0, std::nullopt},
        {"black", 1, 0x000000u},
        {"white is row 2, not the index-0 row", 2, 0xFFFFFFu},
        {"red", 3, 0xFF0000u},
        {"green of the measure line", 10, 0x008000u},
        {"dark blue of the measure line", 11, 0x000080u},
        {"index without a row of its own", 18, std::nullopt},
        {"index after a gap", 33, 0x00CCFFu},
        {"last index", 56, 0x333333u},
        {"beyond the palette", 57, std::nullopt},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(paletteColorRgb(c.index), c.rgb);
    }
    EXPECT_EQ(paletteColorRgb(-1), std::nullopt);
}

} // namespace
} // namespace lumiset

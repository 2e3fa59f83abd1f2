#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace lumiset {

/// \brief One colour of the spreadsheet's 56-colour palette as the program matches it.
struct PaletteRow {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    std::int32_t ColorIndex = 0; ///< the spreadsheet's colour index of this colour
    std::int32_t textIndex = 0;  ///< colour index of text that stays readable on it (1 black, 2 white)
};

/// Rows of ExcelPalette that carry a colour; the table has 57 rows, 47 … 56 stay empty.
inline constexpr int kExcelPaletteFilledRows = 47;
inline constexpr int kExcelPaletteRows = 57;

/// \brief The spreadsheet's default colours in the order the matcher scans them.
///
/// Row 0 is white with colour index 0 (no colour at all), so near-white points
/// keep the sheet's own background; row 2 is the real white, index 2. Indices
/// 18, 20 and 25 … 32 repeat colours already present and have no row.
inline constexpr std::array<PaletteRow, kExcelPaletteRows> ExcelPalette{{
    {255, 255, 255, 0, 1},  {0, 0, 0, 1, 2},        {255, 255, 255, 2, 1},  {255, 0, 0, 3, 2},
    {0, 255, 0, 4, 1},      {0, 0, 255, 5, 2},      {255, 255, 0, 6, 1},    {255, 0, 255, 7, 2},
    {0, 255, 255, 8, 1},    {128, 0, 0, 9, 2},      {0, 128, 0, 10, 2},     {0, 0, 128, 11, 2},
    {128, 128, 0, 12, 2},   {128, 0, 128, 13, 2},   {0, 128, 128, 14, 2},   {192, 192, 192, 15, 1},
    {128, 128, 128, 16, 1}, {153, 153, 255, 17, 1}, {255, 255, 204, 19, 1}, {102, 0, 102, 21, 2},
    {255, 128, 128, 22, 1}, {0, 102, 204, 23, 2},   {204, 204, 255, 24, 1}, {0, 204, 255, 33, 1},
    {204, 255, 255, 34, 1}, {204, 255, 204, 35, 1}, {255, 255, 153, 36, 1}, {153, 204, 255, 37, 1},
    {255, 153, 204, 38, 1}, {204, 153, 255, 39, 1}, {255, 204, 153, 40, 1}, {51, 102, 255, 41, 2},
    {51, 204, 204, 42, 1},  {153, 204, 0, 43, 1},   {255, 204, 0, 44, 1},   {255, 153, 0, 45, 1},
    {255, 102, 0, 46, 1},   {102, 102, 153, 47, 2}, {150, 150, 150, 48, 1}, {0, 51, 102, 49, 2},
    {51, 153, 102, 50, 1},  {0, 51, 0, 51, 2},      {51, 51, 0, 52, 2},     {153, 51, 0, 53, 2},
    {153, 51, 102, 54, 2},  {51, 51, 153, 55, 2},   {51, 51, 51, 56, 2},
}};

/// \brief 0xRRGGBB of a palette colour index as the workbook writer paints it.
///
/// \param colorIndex a spreadsheet colour index 1 … 56.
/// \return the colour of the first ExcelPalette row with that index; nothing for
///         index 0 (it names no colour), for indices outside 1 … 56 and for the
///         indices that have no row of their own.
std::optional<std::uint32_t> paletteColorRgb(int colorIndex);

} // namespace lumiset

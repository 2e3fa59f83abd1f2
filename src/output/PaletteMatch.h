#pragma once

#include "image/Rounding.h"

#include <QtGlobal>

#include <array>
#include <cstdint>

namespace lumiset {

/// \brief The spreadsheet colours chosen for one point, and how they were found.
struct PaletteMatch {
    qint32 fill = 0;         ///< interior colour index of the cell
    qint32 font = 0;         ///< font colour index that stays readable on the fill
    qint32 bestRow = -1;     ///< ExcelPalette row taken; -1 when the grey ladder decided
    qint32 bestDistance = 0; ///< sum of absolute differences to that row
    int rowsExamined = 0;    ///< palette rows looked at before the search stopped
};

/// \brief Maps a point's colour onto the spreadsheet's palette.
///
/// Grey points (and every point of a grey region, \a colorPointCount = 0) take a
/// rung of a six-step grey ladder chosen by the red component alone. Other
/// points take the first ExcelPalette row nearer than 18 (sum of absolute
/// differences), or else the nearest of all 47 rows, the earlier row winning a
/// tie. The early stop is deliberate: it keeps the scan short and makes colours
/// close to white settle on row 0, whose index 0 leaves the cell unfilled.
///
/// The farthest any colour of the 0 … 255 cube lies from its nearest row is 178
/// (at (102, 255, 76)), below the starting distance of 255, so the row always
/// comes from this call and no state has to survive between points.
PaletteMatch matchCellColour(int red, int green, int blue, qint32 colorPointCount);

struct ImageStore;

/// \brief The 0..255 colour of point (\a column, \a row) that chooses its cell
/// colours: palette entries rounded, grey levels repeated, samples scaled by
/// ImageStore::sampleMaximum().
std::array<int, 3> cellColourOf(const ImageStore& image, int column, int row);

} // namespace lumiset

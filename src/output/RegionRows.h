#pragma once

#include "image/ImageStore.h"
#include "output/ExportState.h"
#include "output/PointValues.h"

#include <cstdint>
#include <vector>

namespace lumiset {

/// \brief Fill and font colour indices of one cell; 0 leaves the sheet's default
/// (no fill, black text).
struct CellColours {
    std::uint8_t fill = 0;
    std::uint8_t font = 0;
};

/// \brief The values and cell colours of a region, one image row at a time, as
/// the writers stream them: nothing of the region is held beyond one row.
class RegionRows {
public:
    /// \pre checkRegion(image, region) == RegionError::None.
    RegionRows(const ImageStore& image, const Selection& region, const MeasureSettings& m);

    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }

    /// Values of table row \a row (1-based), as pointValue() gives them.
    const double* values(int row);
    /// \brief Colours of table row \a row as matchCellColour() picks them, with
    /// the white fill (2) and the black text (1) left at the sheet's default.
    const CellColours* colours(int row);

private:
    const ImageStore& image_;
    PixelKind kind_;
    Selection region_;
    MeasureSettings m_;
    int rows_;
    int columns_;
    std::vector<double> values_;
    std::vector<CellColours> colours_;
};

} // namespace lumiset

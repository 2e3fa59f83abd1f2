#pragma once

#include "image/ImageStore.h"

#include <QString>

#include <array>
#include <vector>

namespace lumiset {

/// Brightness measures, numbered as the program has always numbered them.
enum Measure : int {
    MeasureRed = 1,
    MeasureGreen = 2,
    MeasureBlue = 3,
    MeasureMean = 4,
    MeasureMaximum = 5,
    MeasureLuminance = 6,
};

/// \brief The region of the export: 1-based image columns and rows, row 1 = top,
/// both bounds inclusive.
struct Selection {
    qint32 SelColumnFrom = 1;
    qint32 SelColumnTo = 1;
    qint32 SelRowFrom = 1;
    qint32 SelRowTo = 1;
};

/// \brief What the export window hands to the writers: one value per cell and,
/// when cells are to be filled, the fill and font colour indices of each.
///
/// Cell (i, j), both from 1, holds image point (SelColumnFrom + j - 1,
/// SelRowFrom + i - 1); the block always starts at A1.
struct ExportRequest {
    int rowCount = 0;
    int columnCount = 0;
    std::vector<float> CellValues;              ///< row-major, rowCount × columnCount
    std::vector<std::array<qint32, 2>> CellColors; ///< fill index, font index; same layout
    QString LastColumnName;
    bool FillCellBackground = false;

    float& value(int row, int column) { return CellValues[index(row, column)]; }
    float value(int row, int column) const { return CellValues[index(row, column)]; }
    std::array<qint32, 2>& colors(int row, int column) { return CellColors[index(row, column)]; }
    const std::array<qint32, 2>& colors(int row, int column) const { return CellColors[index(row, column)]; }

private:
    std::size_t index(int row, int column) const
    {
        return std::size_t(row - 1) * std::size_t(columnCount) + std::size_t(column - 1);
    }
};

/// \brief Everything that lives for the whole run and is shared by the windows:
/// the opened picture, the region, the measure and its weights, and the last
/// export request.
struct Workspace {
    ImageStore image;
    Selection selection;
    int BrightnessMeasure = MeasureRed;
    float CoefRed = 0.299f;
    float CoefGreen = 0.587f;
    float CoefBlue = 0.114f;
    /// Points of the region whose red, green and blue are not all equal, as the
    /// zoomed view last counted them; 0 makes every output use the red component.
    qint32 ColorPointCount = 0;
    /// Hue of the pulsing selection frame: 2 green, 3 blue, anything else red.
    int FrameHue = 0;
    bool ExportCancelled = true;
    /// Name of the file chosen in the file list; the CSV command reuses it for its path.
    QString SelectedFileName;
    ExportRequest request;
};

} // namespace lumiset

#pragma once

#include "image/ImageStore.h"
#include "output/ExportState.h"
#include "output/PointValues.h"
#include "output/RegionStatistics.h"
#include "output/SpreadsheetAutomation.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace lumiset {

/// \brief The texts of the summary sheet, kept in one table so that they are
/// translated together.
enum class SummaryLabel {
    SheetName,
    File,
    Path,
    Format,
    Size,
    BitsPerPixel,
    BitsPerChannel,
    Columns,
    Rows,
    Measures,
    Weights,
    MadeAt,
    Version,
    Measure,
    Points,
    Minimum,
    Maximum,
    Mean,
    Deviation,
    Median,
    Histogram,
    Value,
    From,
    To,
    Count,
    GreyMeasure,
};

QString summaryLabel(SummaryLabel label);

/// \brief Adds the summary sheet, after the value sheets: what was measured
/// (file, path, format, size, bits, the region's first and last column and
/// row, the measures and weights, \a madeAt, the program's version), one row
/// of \a statistics per measure, and each histogram as a table with a column
/// chart beside it. Numbers are written as numbers; a standard deviation that
/// does not exist (one point) leaves its cell empty.
SheetStatus writeSummarySheet(SpreadsheetAutomation& sheet, const ImageStore& image, const Selection& region,
                              const MeasureSettings& m, const std::vector<RegionStatistics>& statistics,
                              const QDateTime& madeAt);

} // namespace lumiset

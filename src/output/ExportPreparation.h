#pragma once

#include "output/ExportState.h"
#include "output/WorksheetLimits.h"

#include <QString>

namespace lumiset {

enum class RegionError {
    None,
    PixelsMissing,   ///< the pixel tables of the picture have not been loaded
    OutsideImage,    ///< a bound lies outside the picture, or a first bound after its last
    TallerThanSheet, ///< more rows (long layout: points) than a worksheet holds with its description lines
};

/// \brief Whether every point of \a region can be read from \a image.
RegionError checkRegion(const ImageStore& image, const Selection& region);

/// \brief ColorPointCount: points of \a region whose red, green and blue are not
/// all equal, counted as the zoomed view counts them (palette colours rounded
/// to bytes, grey TGA pictures never count). 0 for a region that cannot be read.
qint32 countColorPoints(const ImageStore& image, const Selection& region);

/// \brief Spreadsheet letters of column \a columnCount (1 … 16384): A … Z, AA … ZZ, AAA … XFD.
QString lastColumnName(int columnCount);

/// \brief The export command of the export window: clamps the columns (written
/// back to the selection), fills ws.request and sets ExportCancelled = false.
///
/// A region that is still not inside the picture after the clamp is refused
/// (the request and ExportCancelled are left as they were), since reading it
/// would run off the pixel tables; so is one a worksheet cannot hold in the
/// layout of ws.output: more than kMaxWorkbookRegionRows rows in the table
/// layout, more than kMaxLongLayoutPoints points in the long one (TallerThanSheet
/// for both). Only the table layout clamps the width to kMaxExportColumns.
RegionError prepareExportRequest(Workspace& ws, bool fillCells);

/// \brief Whether regions written in \a layout are at most kMaxExportColumns
/// wide: the table layout gives each image column a worksheet column, the long
/// layout gives each point a row and takes any width.
bool limitsRegionWidth(TableLayout layout);

/// \brief The column clamp of both exports: first column at least 1, last
/// column at most the picture width; with \a limitWidth also at most kMaxExportColumns columns.
void clampColumns(Selection& region, int imageWidth, bool limitWidth);

} // namespace lumiset

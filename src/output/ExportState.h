#pragma once

#include "image/ImageStore.h"
#include "output/MeasureSettings.h"
#include "output/OutputOptions.h"

#include <QString>

namespace lumiset {

/// \brief The region of the export: 1-based image columns and rows, row 1 = top,
/// both bounds inclusive.
struct Selection {
    qint32 SelColumnFrom = 1;
    qint32 SelColumnTo = 1;
    qint32 SelRowFrom = 1;
    qint32 SelRowTo = 1;
};

/// \brief What the export window hands to the writers: the shape of the table
/// and whether its cells are to be filled. The values and colours themselves are
/// computed row by row while the file is written (see RegionRows.h), so an
/// export holds no table of the region.
///
/// Cell (i, j), both from 1, holds image point (SelColumnFrom + j - 1,
/// SelRowFrom + i - 1); the block always starts at A1. In the long layout the
/// counts still describe the region; the long table's shape follows from them
/// and the measures (LongColumns).
struct ExportRequest {
    int rowCount = 0;
    int columnCount = 0;
    QString LastColumnName;
    bool FillCellBackground = false;
};

/// \brief Everything that lives for the whole run and is shared by the windows:
/// the opened picture, the region, the measure and its weights, and the last
/// export request.
struct Workspace {
    ImageStore image;
    Selection selection;
    /// The measure and weights of the exports; its ColorPointCount is the
    /// region's, as the zoomed view last counted it.
    MeasureSettings measure;
    /// Hue of the pulsing selection frame: 2 green, 3 blue, anything else red.
    int FrameHue = 0;
    bool ExportCancelled = true;
    /// Name of the file chosen in the file list; the CSV command reuses it for its path.
    QString SelectedFileName;
    ExportRequest request;
    /// Layout and encoding of the exports, kept between them.
    OutputOptions output;
};

} // namespace lumiset

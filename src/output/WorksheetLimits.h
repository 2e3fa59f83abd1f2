#pragma once

namespace lumiset {

/// \brief The widest region one table may hold: the width of the worksheets the
/// workbook export writes. Drag selection, the region bars and boxes, the export
/// clamp and the command-line front end all use this one limit.
inline constexpr int kMaxExportColumns = 16384;

/// \brief The rows of one worksheet. A workbook region leaves three of them for
/// the description lines below the values.
inline constexpr int kMaxSheetRows = 1048576;
inline constexpr int kMaxWorkbookRegionRows = kMaxSheetRows - 3;

/// \brief The points one worksheet holds in the long layout: a row each, below
/// the heading row and above the three description lines.
inline constexpr int kMaxLongLayoutPoints = kMaxSheetRows - 4;

} // namespace lumiset

#pragma once

namespace lumiset {

/// \brief The widest region one table may hold: the width of the worksheets the
/// workbook export writes. Drag selection, the region bars and boxes, the export
/// clamp and the command-line front end all use this one limit.
inline constexpr int kMaxExportColumns = 256;

} // namespace lumiset

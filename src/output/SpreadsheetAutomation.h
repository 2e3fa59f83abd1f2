#pragma once

#include <QString>

namespace lumiset {

enum class SheetStatus {
    Ok,
    Refused,  ///< the operation failed; outside the cell colouring this ends the export
    NotShown, ///< only from activateSheet(): the sheet is complete but could not be put in front of the user
};

/// \brief The spreadsheet application as the exports drive it: one new, empty
/// worksheet of at least 256 columns, cells addressed by row and column from 1.
///
/// Colour indices are those of the spreadsheet's 56-colour palette; their
/// colours are the ExcelPalette rows. Operations are listed in the order the
/// export uses them.
class SpreadsheetAutomation {
public:
    virtual ~SpreadsheetAutomation() = default;

    /// Starts (or connects to) the application and opens a new worksheet.
    virtual SheetStatus createApplication() = 0;
    /// Off while writing, so the sheet is not redrawn after every cell.
    virtual SheetStatus setScreenUpdating(bool on) = 0;
    /// \brief Puts a block of numbers into \a address ("A1:" + letters + rows).
    /// \param values row-major, \a rows × \a columns.
    virtual SheetStatus putRangeValues(const QString& address, int rows, int columns, const float* values) = 0;
    virtual SheetStatus putCellText(int row, int column, const QString& text) = 0;
    virtual SheetStatus setFontColorIndex(int row, int column, int colorIndex) = 0;
    virtual SheetStatus setInteriorColorIndex(int row, int column, int colorIndex) = 0;
    /// \param columns "A:" + letters; the format applies to the entire columns.
    virtual SheetStatus setColumnsNumberFormat(const QString& columns, const QString& format) = 0;
    /// Fits the widths of the entire \a columns to what they show at this moment.
    virtual SheetStatus autoFitColumns(const QString& columns) = 0;
    virtual SheetStatus setVisible(bool visible) = 0;
    /// Puts the finished sheet in front of the user.
    virtual SheetStatus activateSheet() = 0;
    /// Lets go of the application; it stays open and belongs to the user.
    virtual void release() = 0;
    /// Where the user finds the sheet (a file path), for messages.
    virtual QString documentLocation() const = 0;
};

} // namespace lumiset

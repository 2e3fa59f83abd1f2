#pragma once

#include "output/RegionRows.h"

#include <QList>
#include <QString>

#include <cmath>
#include <functional>
#include <vector>

namespace lumiset {

enum class SheetStatus {
    Ok,
    Refused,  ///< the operation failed; this ends the export
    NotShown, ///< only from activateSheet(): the sheet is complete but could not be put in front of the user
    Stopped,  ///< only from saveWorkbook(): the user stopped the save; nothing is left
};

/// Why a workbook file could not be written; workbookFailureMessage() words it.
enum class WorkbookError {
    FolderMissing, ///< the folder is not there, or a file stands where it should be
    FolderDenied,  ///< the folder exists but may not be written
    WriteFailed,   ///< writing or compressing the file failed, most likely on a full disk
    NameRefused,   ///< the system would not give the finished file its name
    TargetInUse,   ///< another program holds the file to be replaced open (Windows); it is kept as it was
};

/// One file the workbook could not be written to.
struct WorkbookFailure {
    QString path;
    WorkbookError error = WorkbookError::WriteFailed;
};

/// \brief One cell of a row of labelled figures (SpreadsheetAutomation::putCells()).
struct SheetCell {
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    QString text;
    double number = 0.0;
    /// False for a long text that may run over the empty cells to its right:
    /// it does not widen its column when the widths are fitted.
    bool fitsColumn = true;

    static SheetCell ofText(const QString& text, bool fitsColumn = true) { return {Kind::Text, text, 0.0, fitsColumn}; }
    /// A number; NaN and infinities leave the cell empty.
    static SheetCell ofNumber(double value)
    {
        return std::isfinite(value) ? SheetCell{Kind::Number, {}, value, true} : SheetCell{};
    }
};

/// \brief A column chart of two columns of the current sheet; rows and columns count from 1.
struct ColumnChart {
    QString title;
    QString categoryTitle; ///< name of the horizontal axis
    QString valueTitle;    ///< name of the vertical axis
    int firstRow = 1;
    int lastRow = 1;
    int categoryColumn = 1;
    int valueColumn = 2;
    int anchorRow = 1; ///< the cell under the chart's top left corner
    int anchorColumn = 1;
};

/// Called a few times a second while a workbook is saved; false abandons the save.
using SaveWait = std::function<bool()>;

/// \brief The workbook as the exports write it: worksheets filled row by row,
/// top to bottom, each row's values and colours together, so that nothing of a
/// region has to be held while it is written. Rows and columns count from 1.
///
/// Colour indices are those of the spreadsheet's 56-colour palette; their
/// colours are the ExcelPalette rows. Operations are listed in the order the
/// export uses them.
class SpreadsheetAutomation {
public:
    virtual ~SpreadsheetAutomation() = default;

    /// Starts a new workbook (nothing is visible under its name yet).
    virtual SheetStatus createApplication() = 0;
    /// \brief Starts the next worksheet, named \a name, for a block of \a rows ×
    /// \a columns from A1; the columns whose entry of \a twoDecimals is true
    /// show "0.00" (entries missing: the general form).
    virtual SheetStatus addSheet(const QString& name, int rows, int columns, const std::vector<bool>& twoDecimals) = 0;
    /// \brief Row \a row of the value block, rows in order; \a colours (may be
    /// null: no colours) of every cell, an index without a palette row leaving
    /// the cell as it is.
    virtual SheetStatus putRow(int row, const double* values, const CellColours* colours) = 0;
    /// Fits the widths of the block's columns to what they show so far.
    virtual SheetStatus autoFitColumns() = 0;
    /// \brief A text cell in a font colour (0 none): in a row below everything
    /// written so far, or right of the last text in its row (a heading row, or
    /// the description lines below the values).
    virtual SheetStatus putCellText(int row, int column, const QString& text, int fontColorIndex) = 0;
    /// \brief Row \a row of a sheet of labelled figures (started by addSheet()
    /// with the rows and columns it uses): \a cells from column 1, rows in
    /// order, gaps allowed. autoFitColumns() then fits the widths to them.
    virtual SheetStatus putCells(int row, const QList<SheetCell>& cells) = 0;
    /// Draws \a chart on the current sheet.
    virtual SheetStatus putColumnChart(const ColumnChart& chart) = 0;
    /// \brief Completes the workbook under its name. The file is compressed on a
    /// helper thread while \a keepWaiting is called (at least once) to let the
    /// window work; when it returns false the save is abandoned and Stopped
    /// returned: nothing is left and an earlier file of that name stays.
    virtual SheetStatus saveWorkbook(const SaveWait& keepWaiting) = 0;
    /// Puts the finished sheet in front of the user.
    virtual SheetStatus activateSheet() = 0;
    /// Drops what was written so far: no file is left and an earlier file stays.
    virtual void discard() = 0;
    /// Lets go of the application; it stays open and belongs to the user.
    virtual void release() = 0;
    /// Where the user finds the sheet (a file path), for messages.
    virtual QString documentLocation() const = 0;
    /// \brief After a refused operation: each file that could not be written
    /// and why, in the order they were tried.
    virtual QList<WorkbookFailure> failures() const = 0;
};

} // namespace lumiset

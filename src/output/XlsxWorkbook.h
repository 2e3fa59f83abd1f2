#pragma once

#include "output/SpreadsheetAutomation.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace lumiset {

/// \brief Keeps the C library's numbers in their plain form (a decimal point).
/// On Unix, Qt's application object sets the C library's locale from the
/// user's, and the workbook writer prints the numbers of its XML (column
/// widths, margins) through the C library: with a Russian locale they would
/// get decimal commas and spreadsheets would find the file damaged. Called
/// after every application object is made.
void keepCNumberFormatting();

/// Opens a finished workbook for the user; false when nothing could show it.
using DocumentOpener = std::function<bool(const QString& path)>;

/// \brief Where a workbook goes.
struct WorkbookTarget {
    /// A new workbook beside this picture, named after it: tyu2.xlsx, then
    /// "tyu2 (2).xlsx", …; an existing file is never replaced.
    QString imagePath;
    /// Used the same way when the picture's folder cannot be written.
    QString fallbackFolder;
    /// When set, the workbook is written exactly here (replacing a file of that
    /// name only once the new one is complete); the two fields above are unused.
    QString exactPath;
};

/// \brief The workbook written as it comes, in libxlsxwriter's constant-memory
/// mode, to a temporary file that gets its name once the workbook is complete;
/// "activating" it hands the file to \a opener. The final compression runs on a
/// helper thread; a save abandoned by the user goes on there until it can
/// remove its file.
///
/// Values are written with the 16 significant digits libxlsxwriter keeps (the
/// seven-digit values of 8-bit pictures exactly); fills and font colours use the
/// ExcelPalette colour of each index (index 0 and indices without a row give
/// none); widths fitted to the block follow Calibri 11 metrics as the
/// spreadsheet measures them, from the extremes of each column seen while the
/// rows went by and the texts written in the block before the fit.
class XlsxWorkbook : public SpreadsheetAutomation {
public:
    explicit XlsxWorkbook(WorkbookTarget target, DocumentOpener opener = {});
    ~XlsxWorkbook() override;
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    SheetStatus createApplication() override;
    SheetStatus addSheet(const QString& name, int rows, int columns, const std::vector<bool>& twoDecimals) override;
    SheetStatus putRow(int row, const double* values, const CellColours* colours) override;
    SheetStatus autoFitColumns() override;
    SheetStatus putCellText(int row, int column, const QString& text, int fontColorIndex) override;
    SheetStatus putCells(int row, const QList<SheetCell>& cells) override;
    SheetStatus putColumnChart(const ColumnChart& chart) override;
    SheetStatus saveWorkbook(const SaveWait& keepWaiting) override;
    SheetStatus activateSheet() override;
    void discard() override;
    void release() override { }
    QString documentLocation() const override { return savedPath_; }
    QList<WorkbookFailure> failures() const override;

    /// \brief Waits until every abandoned save has ended and removed its file;
    /// the programs call it before they end.
    static void waitForAbandonedSaves();

    /// \brief Width in characters the spreadsheet's autofit gives a column whose
    /// widest shown text is \a text.
    static double fittedWidth(const QString& text);

private:
    /// What decides a column's fitted width: its largest and most negative
    /// plain values, and the widest text of the values measured one by one.
    struct ColumnExtremes {
        double largest = 0.0;  ///< largest value >= 0
        double smallest = 0.0; ///< most negative value
        bool anyLarge = false;
        bool anyNegative = false;
        int otherPixels = 0; ///< widest text of the other values
        double otherWidth = 0.0;
    };
    lxw_format* formatFor(CellColours style, bool twoDecimals);
    bool twoDecimalColumn(int column) const { return column >= 1 && column <= columns_ && twoDecimals_[column - 1]; }
    /// Counts a shown text of column \a column (from 1) towards its fitted width.
    void fitToText(int column, const QString& shown);
    /// Takes a value of column \a column into its extremes.
    void noteValue(int column, double value);
    /// Names the compressed temporary file when it was \a written completely.
    bool finish(bool written);
    /// The file a new workbook in \a folder is first meant to be.
    QString plannedPath(const QString& folder) const;

    WorkbookTarget target_;
    DocumentOpener opener_;
    QString tempPath_;
    QString folder_; ///< where the numbered names are tried
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    QByteArray sheetName_; ///< of the current sheet, for the ranges of its charts
    lxw_format* columnFormat_ = nullptr;
    std::vector<lxw_format*> formats_;
    std::vector<bool> formatKnown_;
    QString savedPath_;
    QList<WorkbookFailure> failures_;

    int rows_ = 0;
    int columns_ = 0;
    std::vector<bool> twoDecimals_; ///< per column of the block
    int lastRow_ = 0;               ///< last row written to the current sheet
    int lastColumn_ = 0;            ///< last column written in that row
    bool fitted_ = false;           ///< texts written after the fit do not widen the columns
    std::vector<ColumnExtremes> extremes_;
};

} // namespace lumiset

#pragma once

#include "output/SpreadsheetAutomation.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace lumiset {

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

/// \brief The worksheet collected in memory and written as an .xlsx file when it
/// is made visible; "activating" it hands the file to \a opener.
///
/// Values keep their float value exactly; fills and font colours use the
/// ExcelPalette colour of each index (index 0 and indices without a row are
/// refused); widths fitted to the value block follow Calibri 11 metrics as the
/// spreadsheet measures them. Rows are written in order in constant-memory mode.
class XlsxWorkbook : public SpreadsheetAutomation {
public:
    explicit XlsxWorkbook(WorkbookTarget target, DocumentOpener opener = {});

    SheetStatus createApplication() override;
    SheetStatus setScreenUpdating(bool) override { return SheetStatus::Ok; }
    SheetStatus putRangeValues(const QString& address, int rows, int columns, const float* values) override;
    SheetStatus putCellText(int row, int column, const QString& text) override;
    SheetStatus setFontColorIndex(int row, int column, int colorIndex) override;
    SheetStatus setInteriorColorIndex(int row, int column, int colorIndex) override;
    SheetStatus setColumnsNumberFormat(const QString& columns, const QString& format) override;
    SheetStatus autoFitColumns(const QString& columns) override;
    SheetStatus setVisible(bool visible) override;
    SheetStatus activateSheet() override;
    void release() override {}
    QString documentLocation() const override { return savedPath_; }

    /// \brief Width in characters the spreadsheet's autofit gives a column whose
    /// widest shown text is \a text.
    static double fittedWidth(const QString& text);

private:
    struct CellStyle {
        std::uint8_t fill = 0; ///< colour index, 0 none
        std::uint8_t font = 0;
    };
    int lastColumnOf(const QString& columns) const;
    bool inBlock(int row, int column) const;
    CellStyle& styleOf(int row, int column);
    bool save();
    bool writeTo(const QString& path) const;

    WorkbookTarget target_;
    DocumentOpener opener_;
    bool created_ = false;
    QString savedPath_;

    int rows_ = 0;
    int columns_ = 0;
    std::vector<float> values_;
    std::vector<CellStyle> blockStyles_;
    std::map<std::pair<int, int>, QString> texts_;
    std::map<std::pair<int, int>, CellStyle> textStyles_;
    int numberFormatColumns_ = 0; ///< columns 1 … n show "0.00"
    std::vector<double> widths_;  ///< fitted widths; empty: the sheet's default
};

/// \brief Number of the column named by \a letters (A = 1 … IV = 256); 0 when malformed.
int columnNumber(const QString& letters);

} // namespace lumiset

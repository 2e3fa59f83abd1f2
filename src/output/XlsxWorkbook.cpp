#include "output/XlsxWorkbook.h"

#include "image/NumberText.h"
#include "image/Rounding.h"
#include "output/ExcelPalette.h"
#include "output/ExportPreparation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cmath>
#include <filesystem>
#include <system_error>

namespace lumiset {

namespace {

constexpr int kMaxSheetRows = 1048576;

// Calibri 11 at 96 dpi: digits are 7 pixels, the separators narrower; the
// spreadsheet adds 7 pixels of padding when it fits a column.
int textPixels(const QString& text)
{
    int px = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('.') || c == QLatin1Char(','))
            px += 4;
        else if (c == QLatin1Char('-'))
            px += 5;
        else
            px += 7;
    }
    return px;
}

// What a cell shows: two decimals under "0.00", otherwise the General form.
QString shownText(float value, bool twoDecimals)
{
    if (twoDecimals)
        return fixedText(double(value), 2, Precision::Double, QLocale::c());
    return QString::number(double(value), 'g', 10);
}

lxw_color_t lxwColor(std::uint32_t rgb)
{
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(rgb); // 0 would mean "no colour" to the writer
}

} // namespace

int columnNumber(const QString& letters)
{
    if (letters.isEmpty() || letters.size() > 2)
        return 0;
    int n = 0;
    for (const QChar c : letters) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            return 0;
        n = n * 26 + (c.unicode() - 'A' + 1);
    }
    return n <= kMaxExportColumns ? n : 0;
}

XlsxWorkbook::XlsxWorkbook(WorkbookTarget target, DocumentOpener opener)
    : target_(std::move(target)), opener_(std::move(opener))
{
}

SheetStatus XlsxWorkbook::createApplication()
{
    created_ = true;
    return SheetStatus::Ok;
}

SheetStatus XlsxWorkbook::putRangeValues(const QString& address, int rows, int columns, const float* values)
{
    static const QRegularExpression pattern(QStringLiteral("^A1:([A-Z]{1,2})([1-9][0-9]*)$"));
    const auto match = pattern.match(address);
    if (!created_ || !match.hasMatch() || rows < 1 || columns < 1 || rows > kMaxSheetRows
        || columnNumber(match.captured(1)) != columns || match.captured(2).toInt() != rows || !values)
        return SheetStatus::Refused;
    rows_ = rows;
    columns_ = columns;
    values_.assign(values, values + std::size_t(rows) * std::size_t(columns));
    blockStyles_.assign(values_.size(), CellStyle{});
    return SheetStatus::Ok;
}

bool XlsxWorkbook::inBlock(int row, int column) const
{
    return row >= 1 && row <= rows_ && column >= 1 && column <= columns_;
}

XlsxWorkbook::CellStyle& XlsxWorkbook::styleOf(int row, int column)
{
    if (inBlock(row, column) && !texts_.count({row, column}))
        return blockStyles_[std::size_t(row - 1) * std::size_t(columns_) + std::size_t(column - 1)];
    return textStyles_[{row, column}];
}

SheetStatus XlsxWorkbook::putCellText(int row, int column, const QString& text)
{
    if (!created_ || row < 1 || row > kMaxSheetRows || column < 1 || column > kMaxExportColumns)
        return SheetStatus::Refused;
    texts_[{row, column}] = text;
    return SheetStatus::Ok;
}

SheetStatus XlsxWorkbook::setFontColorIndex(int row, int column, int colorIndex)
{
    if (!created_ || !paletteColorRgb(colorIndex) || row < 1 || row > kMaxSheetRows || column < 1
        || column > kMaxExportColumns)
        return SheetStatus::Refused;
    styleOf(row, column).font = std::uint8_t(colorIndex);
    return SheetStatus::Ok;
}

SheetStatus XlsxWorkbook::setInteriorColorIndex(int row, int column, int colorIndex)
{
    if (!created_ || !paletteColorRgb(colorIndex) || row < 1 || row > kMaxSheetRows || column < 1
        || column > kMaxExportColumns)
        return SheetStatus::Refused;
    styleOf(row, column).fill = std::uint8_t(colorIndex);
    return SheetStatus::Ok;
}

int XlsxWorkbook::lastColumnOf(const QString& columns) const
{
    if (!columns.startsWith(QLatin1String("A:")))
        return 0;
    return columnNumber(columns.mid(2));
}

SheetStatus XlsxWorkbook::setColumnsNumberFormat(const QString& columns, const QString& format)
{
    const int last = lastColumnOf(columns);
    if (!created_ || last == 0 || format != QLatin1String("0.00"))
        return SheetStatus::Refused;
    numberFormatColumns_ = qMax(numberFormatColumns_, last);
    return SheetStatus::Ok;
}

double XlsxWorkbook::fittedWidth(const QString& text)
{
    const int px = textPixels(text) + 7;
    const double width = px <= 12 ? px / 12.0 : (px - 5) / 7.0;
    // Widths are kept in 1/256 of a character; 256 · px / 12 and 256 · (px - 5) / 7
    // never fall on a half, so the rounding rule does not matter here.
    return roundHalfEven(width * 256.0) / 256.0;
}

SheetStatus XlsxWorkbook::autoFitColumns(const QString& columns)
{
    const int last = lastColumnOf(columns);
    if (!created_ || last == 0)
        return SheetStatus::Refused;
    widths_.assign(std::size_t(last), 0.0);
    const int fitted = qMin(last, columns_);

    // A shown text's width grows with the value's magnitude, and a minus sign
    // adds to it, for "0.00" and for whole numbers in the General form alike;
    // the widest text of a column is then that of its largest value or of its
    // most negative one, and only those two are written out. Columns holding
    // anything else (text cells, fractions in the General form, -0, infinities,
    // NaN) are measured cell by cell.
    struct Extremes {
        float largest = 0.0f;  ///< largest value >= 0
        float smallest = 0.0f; ///< most negative value
        bool anyLarge = false;
        bool anyNegative = false;
        bool cellByCell = false;
    };
    std::vector<Extremes> extremes(std::size_t(qMax(fitted, 0)));
    for (const auto& [cell, text] : texts_)
        if (cell.first <= rows_ && cell.second <= fitted)
            extremes[std::size_t(cell.second - 1)].cellByCell = true;
    for (int r = 1; r <= rows_; ++r) {
        const float* row = values_.data() + std::size_t(r - 1) * std::size_t(columns_);
        for (int c = 1; c <= fitted; ++c) {
            const float v = row[c - 1];
            Extremes& e = extremes[std::size_t(c - 1)];
            const bool plain = std::isfinite(v) && !(v == 0.0f && std::signbit(v))
                && (c <= numberFormatColumns_ || (v == std::trunc(v) && std::fabs(v) < 1e9f));
            if (!plain) {
                e.cellByCell = true;
            } else if (v < 0.0f) {
                e.smallest = e.anyNegative ? qMin(e.smallest, v) : v;
                e.anyNegative = true;
            } else {
                e.largest = e.anyLarge ? qMax(e.largest, v) : v;
                e.anyLarge = true;
            }
        }
    }

    for (int c = 1; c <= fitted; ++c) {
        const bool twoDecimals = c <= numberFormatColumns_;
        const Extremes& e = extremes[std::size_t(c - 1)];
        int widest = 0;
        double width = 0.0;
        const auto consider = [&](const QString& shown) {
            const int px = textPixels(shown);
            if (px > widest) {
                widest = px;
                width = fittedWidth(shown);
            }
        };
        if (!e.cellByCell) {
            if (e.anyLarge)
                consider(shownText(e.largest, twoDecimals));
            if (e.anyNegative)
                consider(shownText(e.smallest, twoDecimals));
        } else {
            for (int r = 1; r <= rows_; ++r) {
                const auto text = texts_.find({r, c});
                consider(text != texts_.end()
                             ? text->second
                             : shownText(values_[std::size_t(r - 1) * std::size_t(columns_) + std::size_t(c - 1)],
                                         twoDecimals));
            }
        }
        widths_[std::size_t(c - 1)] = width;
    }
    return SheetStatus::Ok;
}

SheetStatus XlsxWorkbook::setVisible(bool visible)
{
    if (!created_)
        return SheetStatus::Refused;
    if (!visible || !savedPath_.isEmpty())
        return SheetStatus::Ok;
    return save() ? SheetStatus::Ok : SheetStatus::Refused;
}

SheetStatus XlsxWorkbook::activateSheet()
{
    if (savedPath_.isEmpty())
        return SheetStatus::Refused;
    if (!opener_)
        return SheetStatus::Ok;
    return opener_(savedPath_) ? SheetStatus::Ok : SheetStatus::NotShown;
}

namespace {

// A file name in \a folder no other file has yet, made now so the workbook can
// be written there before it gets its real name.
QString reserveTemporary(const QString& folder)
{
    QTemporaryFile file(QDir(folder).filePath(QStringLiteral(".lumiset-XXXXXX.xlsx")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    const QString path = file.fileName();
    file.close();
    return path;
}

// The temporary file was made readable by its owner only; a finished workbook
// gets the usual permissions of a document.
void makeShareable(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                              | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace

bool XlsxWorkbook::save()
{
    if (!target_.exactPath.isEmpty()) {
        if (target_.exactPath.contains(QChar(0)))
            return false; // the system would cut the name there and replace another file
        const QString temp = reserveTemporary(QFileInfo(target_.exactPath).absolutePath());
        if (temp.isEmpty() || !writeTo(temp)) {
            if (!temp.isEmpty())
                QFile::remove(temp);
            return false;
        }
        // One rename that replaces the earlier file: removing it first would lose
        // it if the rename then failed.
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(temp.toStdU16String()),
                                std::filesystem::path(target_.exactPath.toStdU16String()), error);
        if (error) {
            QFile::remove(temp);
            return false;
        }
        savedPath_ = target_.exactPath;
        makeShareable(savedPath_);
        return true;
    }

    const QFileInfo image(target_.imagePath);
    QString base = image.completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("Lumiset");
    for (const QString& folder : {image.absolutePath(), target_.fallbackFolder}) {
        if (folder.isEmpty())
            continue;
        const QString temp = reserveTemporary(folder);
        if (temp.isEmpty())
            continue; // this folder cannot be written: try the next one
        if (!writeTo(temp)) {
            QFile::remove(temp);
            return false;
        }
        const QDir dir(folder);
        for (int n = 1; n < 10000; ++n) {
            const QString name = n == 1 ? base + QStringLiteral(".xlsx")
                                        : base + QStringLiteral(" (") + integerText(n) + QStringLiteral(").xlsx");
            const QString path = dir.filePath(name);
            if (QFileInfo::exists(path))
                continue;
            if (QFile::rename(temp, path)) { // never replaces a file that appeared meanwhile
                savedPath_ = path;
                makeShareable(path);
                return true;
            }
        }
        QFile::remove(temp);
        return false;
    }
    return false;
}

bool XlsxWorkbook::writeTo(const QString& path) const
{
    const QByteArray nativePath = QFile::encodeName(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(nativePath.constData(), &options);
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Лист1");
    if (!sheet) {
        workbook_close(book);
        return false;
    }
    bool ok = true;

    // One format per fill × font × number format in use; a cell's own format
    // replaces its column's, so filled cells must carry "0.00" themselves.
    // Looked up for every cell, so a flat table by fill, font and number format.
    std::vector<lxw_format*> formats(std::size_t(256) * 256 * 2, nullptr);
    auto formatFor = [&](CellStyle style, bool twoDecimals) -> lxw_format* {
        if (style.fill == 0 && style.font == 0)
            return nullptr; // inherits the column's format
        lxw_format*& found = formats[(std::size_t(style.fill) * 256 + style.font) * 2 + (twoDecimals ? 1 : 0)];
        if (found)
            return found;
        lxw_format* f = workbook_add_format(book);
        if (style.fill != 0) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, lxwColor(*paletteColorRgb(style.fill)));
        }
        if (style.font != 0)
            format_set_font_color(f, lxwColor(*paletteColorRgb(style.font)));
        if (twoDecimals)
            format_set_num_format(f, "0.00");
        found = f;
        return f;
    };

    lxw_format* columnFormat = nullptr;
    if (numberFormatColumns_ > 0) {
        columnFormat = workbook_add_format(book);
        format_set_num_format(columnFormat, "0.00");
    }
    const int formattedOrFitted = qMax(numberFormatColumns_, int(widths_.size()));
    for (int c = 1; c <= formattedOrFitted; ++c) {
        const double width = c <= int(widths_.size()) && widths_[std::size_t(c - 1)] > 0
            ? widths_[std::size_t(c - 1)]
            : LXW_DEF_COL_WIDTH;
        ok = ok
            && worksheet_set_column(sheet, lxw_col_t(c - 1), lxw_col_t(c - 1), width,
                                    c <= numberFormatColumns_ ? columnFormat : nullptr)
                == LXW_NO_ERROR;
    }

    int lastRow = rows_;
    if (!texts_.empty())
        lastRow = qMax(lastRow, texts_.rbegin()->first.first);
    for (const auto& [cell, style] : textStyles_)
        lastRow = qMax(lastRow, cell.first);
    bool textsInBlock = false; // usually the text lines lie below the values
    for (const auto& [cell, unused] : texts_)
        textsInBlock = textsInBlock || inBlock(cell.first, cell.second);
    auto text = texts_.begin();
    auto textStyle = textStyles_.begin();
    for (int r = 1; r <= lastRow && ok; ++r) {
        const lxw_row_t row = lxw_row_t(r - 1);
        for (int c = 1; c <= columns_ && r <= rows_; ++c) {
            if (textsInBlock && texts_.count({r, c}))
                continue;
            const std::size_t at = std::size_t(r - 1) * std::size_t(columns_) + std::size_t(c - 1);
            ok = ok
                && worksheet_write_number(sheet, row, lxw_col_t(c - 1), double(values_[at]),
                                          formatFor(blockStyles_[at], c <= numberFormatColumns_))
                    == LXW_NO_ERROR;
        }
        for (; text != texts_.end() && text->first.first == r; ++text) {
            const int c = text->first.second;
            const auto styled = textStyles_.find(text->first);
            const CellStyle style = styled != textStyles_.end() ? styled->second : CellStyle{};
            const QByteArray utf8 = text->second.toUtf8();
            ok = ok
                && worksheet_write_string(sheet, row, lxw_col_t(c - 1), utf8.constData(),
                                          formatFor(style, c <= numberFormatColumns_))
                    == LXW_NO_ERROR;
        }
        // Colours set on cells that hold nothing: a blank cell carries them.
        for (; textStyle != textStyles_.end() && textStyle->first.first <= r; ++textStyle) {
            const auto& [cell, style] = *textStyle;
            if (cell.first == r && !texts_.count(cell) && !inBlock(cell.first, cell.second))
                if (lxw_format* f = formatFor(style, cell.second <= numberFormatColumns_))
                    ok = ok && worksheet_write_blank(sheet, row, lxw_col_t(cell.second - 1), f) == LXW_NO_ERROR;
        }
    }
    const lxw_error closed = workbook_close(book);
    return ok && closed == LXW_NO_ERROR;
}

} // namespace lumiset

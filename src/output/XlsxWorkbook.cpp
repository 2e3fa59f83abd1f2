#include "output/XlsxWorkbook.h"

#include "image/NumberText.h"
#include "image/Rounding.h"
#include "output/ExcelPalette.h"
#include "output/FileInUse.h"
#include "output/WorksheetLimits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <clocale>

#include <xlsxwriter.h>

#include <algorithm>
#ifdef Q_OS_WIN
#include <io.h> // _commit
#else
#include <unistd.h> // fsync
#endif

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace lumiset {

namespace {

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
QString shownText(double value, bool twoDecimals)
{
    if (twoDecimals)
        return fixedText(value, 2, Precision::Double, QLocale::c());
    return QString::number(value, 'g', 10);
}

lxw_color_t lxwColor(std::uint32_t rgb)
{
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(rgb); // 0 would mean "no colour" to the writer
}

// A file name in \a folder no other file has yet, made now so the workbook can
// be written there before it gets its real name.
QString reserveTemporary(const QString& folder)
{
    QTemporaryFile file(QDir(folder).filePath(QStringLiteral(".lumiset-XXXXXX.xlsx")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    QString path = file.fileName();
    file.close();
    return path;
}

// The temporary file was made readable by its owner only; a finished workbook
// gets the usual permissions of a document.
void makeShareable(const QString& path)
{
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                              | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

// Waits until the bytes of \a file are on the disk, as QSaveFile does before
// it renames: otherwise a crash or power cut soon after the rename could leave
// an empty or partial workbook in place of the earlier one.
bool flushToDisk(const std::filesystem::path& file)
{
    QFile f(QString::fromStdU16String(file.u16string()));
    // Write access, as Windows flushes only such handles; never a new, empty file.
    if (!f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
#ifdef Q_OS_WIN
    return _commit(f.handle()) == 0;
#else
    return ::fsync(f.handle()) == 0;
#endif
}

WorkbookError folderError(const QString& folder)
{
    return QFileInfo(folder).isDir() ? WorkbookError::FolderDenied : WorkbookError::FolderMissing;
}

/// How often the window gets a turn while the workbook is compressed.
constexpr std::chrono::milliseconds kSavePoll{40};

// The saves running on helper threads. One the user stopped runs on until it
// can remove its file, so the program waits for them all before it ends.
class HelperSaves {
public:
    ~HelperSaves() { waitForAll(); }
    void started()
    {
        const std::lock_guard lock(mutex_);
        ++running_;
    }
    void ended()
    {
        const std::lock_guard lock(mutex_);
        --running_;
        allEnded_.notify_all();
    }
    void waitForAll()
    {
        std::unique_lock lock(mutex_);
        allEnded_.wait(lock, [this] { return running_ == 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable allEnded_;
    int running_ = 0;
};

HelperSaves& helperSaves()
{
    static HelperSaves saves;
    return saves;
}

// One workbook being compressed into its temporary file on a helper thread.
struct SaveJob {
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    bool abandoned = false; ///< the helper removes the file when it ends
    bool written = false;   ///< complete and on the disk
    std::filesystem::path file;

    void removeFile()
    {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
    }
};

void compress(const std::shared_ptr<SaveJob>& job, lxw_workbook* book)
{
    const bool written = workbook_close(book) == LXW_NO_ERROR && flushToDisk(job->file);
    const std::lock_guard lock(job->mutex);
    job->written = written;
    job->finished = true;
    if (job->abandoned)
        job->removeFile();
    job->ended.notify_all();
}

} // namespace

void XlsxWorkbook::waitForAbandonedSaves()
{
    helperSaves().waitForAll();
}

XlsxWorkbook::XlsxWorkbook(WorkbookTarget target, DocumentOpener opener)
    : target_(std::move(target)), opener_(std::move(opener))
{
}

XlsxWorkbook::~XlsxWorkbook()
{
    discard();
}

SheetStatus XlsxWorkbook::createApplication()
{
    if (book_ || !tempPath_.isEmpty() || !savedPath_.isEmpty())
        return SheetStatus::Refused;
    failures_.clear();
    if (!target_.exactPath.isEmpty()) {
        if (target_.exactPath.contains(QChar(0))) { // the system would cut the name there and replace another file
            failures_.append({target_.exactPath, WorkbookError::NameRefused});
            return SheetStatus::Refused;
        }
        const QString folder = QFileInfo(target_.exactPath).absolutePath();
        tempPath_ = reserveTemporary(folder);
        if (tempPath_.isEmpty())
            failures_.append({target_.exactPath, folderError(folder)});
    } else {
        for (const QString& folder : {QFileInfo(target_.imagePath).absolutePath(), target_.fallbackFolder}) {
            if (folder.isEmpty())
                continue;
            tempPath_ = reserveTemporary(folder);
            if (!tempPath_.isEmpty()) {
                folder_ = folder;
                failures_.clear(); // the fallback folder took it
                break;
            }
            failures_.append({plannedPath(folder), folderError(folder)}); // try the next one
        }
    }
    if (tempPath_.isEmpty())
        return SheetStatus::Refused;
    return SheetStatus::Ok;
}

QString XlsxWorkbook::plannedPath(const QString& folder) const
{
    QString base = QFileInfo(target_.imagePath).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("Lumiset");
    return QDir(folder).filePath(base + QStringLiteral(".xlsx"));
}

QList<WorkbookFailure> XlsxWorkbook::failures() const
{
    if (!failures_.isEmpty())
        return failures_;
    // An operation refused inside the writer: most likely a temporary file it could not write.
    if (!target_.exactPath.isEmpty())
        return {{target_.exactPath, WorkbookError::WriteFailed}};
    return {{plannedPath(folder_.isEmpty() ? QFileInfo(target_.imagePath).absolutePath() : folder_),
             WorkbookError::WriteFailed}};
}

SheetStatus XlsxWorkbook::addSheet(const QString& name, int rows, int columns, const std::vector<bool>& twoDecimals)
{
    if (tempPath_.isEmpty() || rows < 1 || rows > kMaxSheetRows || columns < 1 || columns > kMaxExportColumns)
        return SheetStatus::Refused;
    if (!book_) {
#ifdef Q_OS_WIN
        // The Windows build of libxlsxwriter opens its files by wide-character
        // paths and takes them in UTF-8, so every name works, not only those of
        // the ANSI code page.
        const QByteArray nativePath = QDir::toNativeSeparators(tempPath_).toUtf8();
#else
        const QByteArray nativePath = QFile::encodeName(tempPath_);
#endif
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        // A sheet of 64 million cells may pass the 4 GB a plain zip entry holds.
        options.use_zip64 = qint64(rows) * columns >= (qint64(1) << 26) ? LXW_TRUE : LXW_FALSE;
        book_ = workbook_new_opt(nativePath.constData(), &options);
        if (!book_)
            return SheetStatus::Refused;
        formats_.assign(std::size_t(256) * 256 * 2, nullptr);
        formatKnown_.assign(formats_.size(), false);
    }
    sheetName_ = name.toUtf8();
    sheet_ = workbook_add_worksheet(book_, sheetName_.constData());
    if (!sheet_)
        return SheetStatus::Refused;
    twoDecimals_.assign(std::size_t(columns), false);
    std::copy_n(twoDecimals.begin(), std::min(twoDecimals.size(), twoDecimals_.size()), twoDecimals_.begin());
    if (std::find(twoDecimals_.begin(), twoDecimals_.end(), true) != twoDecimals_.end() && !columnFormat_) {
        columnFormat_ = workbook_add_format(book_);
        format_set_num_format(columnFormat_, "0.00");
    }
    // Cells without their own format take the column's at the time they are
    // written, so "0.00" goes on before the rows, one range per run of such
    // columns; the widths follow them.
    for (int first = 0; first < columns;) {
        int last = first;
        while (last + 1 < columns && twoDecimals_[std::size_t(last) + 1] == twoDecimals_[std::size_t(first)])
            ++last;
        if (twoDecimals_[std::size_t(first)]
            && worksheet_set_column(sheet_, lxw_col_t(first), lxw_col_t(last), LXW_DEF_COL_WIDTH, columnFormat_)
                != LXW_NO_ERROR)
            return SheetStatus::Refused;
        first = last + 1;
    }
    rows_ = rows;
    columns_ = columns;
    lastRow_ = 0;
    lastColumn_ = 0;
    fitted_ = false;
    extremes_.assign(std::size_t(columns), ColumnExtremes{});
    return SheetStatus::Ok;
}

lxw_format* XlsxWorkbook::formatFor(CellColours style, bool twoDecimals)
{
    // One format per fill × font × number format in use; a cell's own format
    // replaces its column's, so filled cells must carry "0.00" themselves.
    // Looked up for every cell, so a flat table by fill, font and number format.
    const std::size_t key = (std::size_t(style.fill) * 256 + style.font) * 2 + (twoDecimals ? 1 : 0);
    if (formatKnown_[key])
        return formats_[key];
    formatKnown_[key] = true;
    const auto fill = paletteColorRgb(style.fill);
    const auto font = paletteColorRgb(style.font);
    if ((!fill || style.fill == 0) && (!font || style.font == 0))
        return nullptr; // inherits the column's format
    lxw_format* f = workbook_add_format(book_);
    if (fill && style.fill != 0) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, lxwColor(*fill));
    }
    if (font && style.font != 0)
        format_set_font_color(f, lxwColor(*font));
    if (twoDecimals)
        format_set_num_format(f, "0.00");
    formats_[key] = f;
    return f;
}

SheetStatus XlsxWorkbook::putRow(int row, const double* values, const CellColours* colours)
{
    if (!sheet_ || row != lastRow_ + 1 || row > rows_ || !values)
        return SheetStatus::Refused;
    lastRow_ = row;
    lastColumn_ = columns_;
    const lxw_row_t at = lxw_row_t(row - 1);
    for (int c = 0; c < columns_; ++c) {
        const double v = values[c];
        const bool twoDecimals = twoDecimals_[std::size_t(c)];
        lxw_format* format = colours ? formatFor(colours[c], twoDecimals) : nullptr;
        if (worksheet_write_number(sheet_, at, lxw_col_t(c), v, format) != LXW_NO_ERROR)
            return SheetStatus::Refused;
        noteValue(c, v);
    }
    return SheetStatus::Ok;
}

void XlsxWorkbook::noteValue(int column, double v)
{
    // A shown text's width grows with the value's magnitude, and a minus sign
    // adds to it, for "0.00" and for whole numbers in the General form alike;
    // the widest text of a column is then that of its largest value or of its
    // most negative one. Anything else (fractions in the General form, -0,
    // infinities, NaN) is measured as it comes.
    const bool twoDecimals = twoDecimals_[std::size_t(column)];
    ColumnExtremes& e = extremes_[std::size_t(column)];
    const bool plain = std::isfinite(v) && !(v == 0.0 && std::signbit(v))
        && (twoDecimals || (v == std::trunc(v) && std::fabs(v) < 1e9));
    if (!plain) {
        fitToText(column + 1, shownText(v, twoDecimals));
    } else if (v < 0.0) {
        e.smallest = e.anyNegative ? qMin(e.smallest, v) : v;
        e.anyNegative = true;
    } else {
        e.largest = e.anyLarge ? qMax(e.largest, v) : v;
        e.anyLarge = true;
    }
}

void XlsxWorkbook::fitToText(int column, const QString& shown)
{
    ColumnExtremes& e = extremes_[std::size_t(column - 1)];
    if (const int px = textPixels(shown); px > e.otherPixels) {
        e.otherPixels = px;
        e.otherWidth = fittedWidth(shown);
    }
}

double XlsxWorkbook::fittedWidth(const QString& text)
{
    const int px = textPixels(text) + 7;
    const double width = px <= 12 ? px / 12.0 : (px - 5) / 7.0;
    // Widths are kept in 1/256 of a character; 256 · px / 12 and 256 · (px - 5) / 7
    // never fall on a half, so the rounding rule does not matter here.
    return roundHalfEven(width * 256.0) / 256.0;
}

SheetStatus XlsxWorkbook::autoFitColumns()
{
    if (!sheet_)
        return SheetStatus::Refused;
    fitted_ = true;
    for (int c = 0; c < columns_; ++c) {
        const bool twoDecimals = twoDecimals_[std::size_t(c)];
        const ColumnExtremes& e = extremes_[std::size_t(c)];
        int widest = e.otherPixels;
        double width = e.otherWidth;
        for (const auto& [any, value] : {std::pair{e.anyLarge, e.largest}, std::pair{e.anyNegative, e.smallest}}) {
            if (!any)
                continue;
            const QString shown = shownText(value, twoDecimals);
            if (const int px = textPixels(shown); px > widest) {
                widest = px;
                width = fittedWidth(shown);
            }
        }
        if (worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), width > 0 ? width : LXW_DEF_COL_WIDTH,
                                 twoDecimals ? columnFormat_ : nullptr)
            != LXW_NO_ERROR)
            return SheetStatus::Refused;
    }
    return SheetStatus::Ok;
}

SheetStatus XlsxWorkbook::putCellText(int row, int column, const QString& text, int fontColorIndex)
{
    // Rows go out in order: a text lies below everything written so far, or
    // right of it in the same row.
    if (!sheet_ || row < lastRow_ || (row == lastRow_ && column <= lastColumn_) || row > kMaxSheetRows || column < 1
        || column > kMaxExportColumns || (fontColorIndex != 0 && !paletteColorRgb(fontColorIndex)))
        return SheetStatus::Refused;
    lastRow_ = row;
    lastColumn_ = column;
    if (!fitted_ && column <= columns_)
        fitToText(column, text);
    CellColours style;
    style.font = std::uint8_t(fontColorIndex);
    const QByteArray utf8 = text.toUtf8();
    return worksheet_write_string(sheet_, lxw_row_t(row - 1), lxw_col_t(column - 1), utf8.constData(),
                                  formatFor(style, twoDecimalColumn(column)))
            == LXW_NO_ERROR
        ? SheetStatus::Ok
        : SheetStatus::Refused;
}

SheetStatus XlsxWorkbook::putCells(int row, const QList<SheetCell>& cells)
{
    if (!sheet_ || row <= lastRow_ || row > kMaxSheetRows || cells.size() > columns_)
        return SheetStatus::Refused;
    lastRow_ = row;
    lastColumn_ = int(cells.size());
    for (int c = 0; c < int(cells.size()); ++c) {
        const SheetCell& cell = cells[c];
        lxw_error written = LXW_NO_ERROR;
        if (cell.kind == SheetCell::Kind::Number) {
            written = worksheet_write_number(sheet_, lxw_row_t(row - 1), lxw_col_t(c), cell.number, nullptr);
            noteValue(c, cell.number);
        } else if (cell.kind == SheetCell::Kind::Text) {
            written = worksheet_write_string(sheet_, lxw_row_t(row - 1), lxw_col_t(c), cell.text.toUtf8().constData(),
                                             nullptr);
            if (cell.fitsColumn)
                fitToText(c + 1, cell.text);
        }
        if (written != LXW_NO_ERROR)
            return SheetStatus::Refused;
    }
    return SheetStatus::Ok;
}

SheetStatus XlsxWorkbook::putColumnChart(const ColumnChart& c)
{
    const auto inSheet = [](int row, int column) {
        return row >= 1 && row <= kMaxSheetRows && column >= 1 && column <= kMaxExportColumns;
    };
    if (!sheet_ || !inSheet(c.firstRow, c.categoryColumn) || !inSheet(c.lastRow, c.valueColumn)
        || c.lastRow < c.firstRow || !inSheet(c.anchorRow, c.anchorColumn))
        return SheetStatus::Refused;
    lxw_chart* chart = workbook_add_chart(book_, LXW_CHART_COLUMN);
    lxw_chart_series* series = chart ? chart_add_series(chart, nullptr, nullptr) : nullptr;
    if (!series)
        return SheetStatus::Refused;
    const auto first = lxw_row_t(c.firstRow - 1);
    const auto last = lxw_row_t(c.lastRow - 1);
    chart_series_set_categories(series, sheetName_.constData(), first, lxw_col_t(c.categoryColumn - 1), last,
                                lxw_col_t(c.categoryColumn - 1));
    chart_series_set_values(series, sheetName_.constData(), first, lxw_col_t(c.valueColumn - 1), last,
                            lxw_col_t(c.valueColumn - 1));
    chart_set_series_gap(chart, 10); // bars of a histogram nearly touch
    chart_title_set_name(chart, c.title.toUtf8().constData());
    chart_axis_set_name(chart->x_axis, c.categoryTitle.toUtf8().constData());
    chart_axis_set_name(chart->y_axis, c.valueTitle.toUtf8().constData());
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    return worksheet_insert_chart(sheet_, lxw_row_t(c.anchorRow - 1), lxw_col_t(c.anchorColumn - 1), chart)
            == LXW_NO_ERROR
        ? SheetStatus::Ok
        : SheetStatus::Refused;
}

SheetStatus XlsxWorkbook::saveWorkbook(const SaveWait& keepWaiting)
{
    if (!savedPath_.isEmpty())
        return SheetStatus::Ok;
    if (!book_)
        return SheetStatus::Refused;
    auto job = std::make_shared<SaveJob>();
    job->file = std::filesystem::path(tempPath_.toStdU16String());
    lxw_workbook* book = std::exchange(book_, nullptr);
    // The formats and the sheet go with the workbook.
    sheet_ = nullptr;
    columnFormat_ = nullptr;
    formats_.clear();
    formatKnown_.clear();
    try {
        helperSaves().started();
        std::thread([job, book] {
            compress(job, book);
            helperSaves().ended();
        }).detach();
    } catch (const std::system_error&) { // no thread to be had: compress here
        helperSaves().ended();
        compress(job, book);
    }

    for (;;) {
        const bool goOn = !keepWaiting || keepWaiting();
        std::unique_lock lock(job->mutex);
        if (!goOn) {
            if (job->finished)
                job->removeFile();
            else
                job->abandoned = true;
            tempPath_.clear();
            return SheetStatus::Stopped;
        }
        if (job->ended.wait_for(lock, kSavePoll, [&job] { return job->finished; }))
            break;
    }
    return finish(job->written) ? SheetStatus::Ok : SheetStatus::Refused;
}

SheetStatus XlsxWorkbook::activateSheet()
{
    if (savedPath_.isEmpty())
        return SheetStatus::Refused;
    if (!opener_)
        return SheetStatus::Ok;
    return opener_(savedPath_) ? SheetStatus::Ok : SheetStatus::NotShown;
}

void XlsxWorkbook::discard()
{
    if (book_) {
        lxw_workbook_free(book_); // nothing more is written; the row store goes with it
        book_ = nullptr;
    }
    sheet_ = nullptr;
    columnFormat_ = nullptr;
    if (!tempPath_.isEmpty()) {
        QFile::remove(tempPath_);
        tempPath_.clear();
    }
}

void keepCNumberFormatting()
{
    std::setlocale(LC_NUMERIC, "C");
}

bool XlsxWorkbook::finish(bool written)
{
    const QString temp = tempPath_;
    tempPath_.clear();
    const QString wanted = !target_.exactPath.isEmpty() ? target_.exactPath : plannedPath(folder_);
    auto fail = [&](WorkbookError error) {
        QFile::remove(temp);
        // A folder that went away meanwhile is told as such.
        const QString folder = QFileInfo(wanted).absolutePath();
        failures_.append({wanted, QFileInfo(folder).isDir() ? error : WorkbookError::FolderMissing});
        return false;
    };
    if (!written)
        return fail(WorkbookError::WriteFailed);
    if (!target_.exactPath.isEmpty()) {
        // One rename that replaces the earlier file: removing it first would lose
        // it if the rename then failed.
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(temp.toStdU16String()),
                                std::filesystem::path(target_.exactPath.toStdU16String()), error);
        if (error) // the earlier file, held open by another program (Windows), or a name the system refuses
            return fail(fileInUse(target_.exactPath) ? WorkbookError::TargetInUse : WorkbookError::NameRefused);
        savedPath_ = target_.exactPath;
        makeShareable(savedPath_);
        return true;
    }

    const QString first = plannedPath(folder_);
    const QString base = QFileInfo(first).completeBaseName();
    const QDir dir(folder_);
    for (int n = 1; n < 10000; ++n) {
        const QString path = n == 1
            ? first
            : dir.filePath(base + QStringLiteral(" (") + integerText(n) + QStringLiteral(").xlsx"));
        if (QFileInfo::exists(path))
            continue;
        if (QFile::rename(temp, path)) { // never replaces a file that appeared meanwhile
            savedPath_ = path;
            makeShareable(path);
            return true;
        }
    }
    return fail(WorkbookError::NameRefused);
}

} // namespace lumiset

#include "output/SpreadsheetExport.h"

#include "image/NumberText.h"
#include "image/Rounding.h"
#include "output/DescriptionLines.h"
#include "output/ExportPreparation.h"
#include "output/LongLayout.h"
#include "output/PointValues.h"
#include "output/SummarySheet.h"
#include "output/WorksheetLimits.h"

#include <QCoreApplication>
#include <QDir>

#include <deque>
#include <optional>

namespace lumiset {

namespace {

struct WorkbookTexts {
    Q_DECLARE_TR_FUNCTIONS(WorkbookTexts)
};

/// Interval of the stop-button polls and progress updates.
constexpr qint64 kPollMilliseconds = 100;

// The progress strip over all rows of the workbook: bar width, "Осталось" from
// the average row so far, and the stop button.
class RowPacer {
public:
    RowPacer(ExportProgressView& view, qint64 totalRows) : view_(view), total_(totalRows)
    {
        view_.clearStopRequest();
        view_.setRemainingVisible(true);
        view_.setStopButtonActive(true);
        start_ = lastPoll_ = view_.nowMilliseconds();
    }

    /// Before row \a done + 1 of all; true once the stop button was pressed.
    bool stopBefore(qint64 done)
    {
        const qint64 now = view_.nowMilliseconds();
        if (done > 0 && now - lastPoll_ < kPollMilliseconds)
            return false;
        lastPoll_ = now;
        view_.processEvents();
        if (view_.stopRequested())
            return true;
        view_.setProgressWidth(int((done + 1) * kProgressBarWidth / total_));
        if (const qint64 seconds = secondsLeft(now - start_, done, total_); seconds > 0)
            view_.setRemainingText(WorkbookTexts::tr("Осталось  %1 с").arg(integerText(seconds)));
        return false;
    }

    void finish()
    {
        view_.setProgressWidth(1);
        view_.setStopButtonActive(false);
    }

private:
    ExportProgressView& view_;
    qint64 total_;
    qint64 start_ = 0;
    qint64 lastPoll_ = 0;
};

enum class SheetResult { Ok, Failed, Stopped };

// The finished workbook is compressed while the window stays usable: the strip
// says so with its bar moving, and the stop button still drops the file.
SheetStatus saveShowingIt(SpreadsheetAutomation& sheet, ExportProgressView& view)
{
    view.clearStopRequest();
    view.setRemainingText(WorkbookTexts::tr("Сохранение…"));
    view.setStopButtonActive(true);
    view.setSaving(true);
    const SheetStatus saved = sheet.saveWorkbook([&view] {
        view.processEvents();
        return !view.stopRequested();
    });
    view.setSaving(false);
    view.setStopButtonActive(false);
    return saved;
}

// The file, measure and region lines from \a firstRow down, in column A; none
// for a picture of a format the lines cannot describe.
SheetResult putDescriptionLines(const Workspace& ws, SpreadsheetAutomation& sheet, int firstRow,
                                const QString& measureLine, int measureFont, const QString& regionLine)
{
    if (!ws.image.knownFormat())
        return SheetResult::Ok;
    const bool written = sheet.putCellText(firstRow, 1, sheetFileLine(fileNamePart(ws.image.FilePath), ws.image), 0)
            == SheetStatus::Ok
        && sheet.putCellText(firstRow + 1, 1, measureLine, measureFont) == SheetStatus::Ok
        && sheet.putCellText(firstRow + 2, 1, regionLine, 0) == SheetStatus::Ok;
    return written ? SheetResult::Ok : SheetResult::Failed;
}

// One value sheet; with \a gathered, the statistics of its values are counted
// row by row as they are written and added there.
SheetResult writeBlock(const Workspace& ws, const MeasureSettings& m, const QString& name, SpreadsheetAutomation& sheet,
                       RowPacer& pacer, qint64& done, bool& colouring, const QLocale& locale,
                       std::vector<RegionStatistics>* gathered)
{
    const ExportRequest& req = ws.request;
    const int rowCount = req.rowCount;
    if (sheet.addSheet(name, rowCount, req.columnCount,
                       std::vector<bool>(std::size_t(req.columnCount), measureHasDecimals(m)))
        != SheetStatus::Ok)
        return SheetResult::Failed;
    RegionRows rows(ws.image, ws.selection, m);
    std::optional<PointRowWriter> counter;
    std::optional<ValueTally> tally;
    if (gathered) {
        counter.emplace(ws.image, m, QLocale::c(), '.');
        tally = counter->makeTally();
    }
    const Selection& r = ws.selection;
    for (int i = 1; i <= rowCount; ++i, ++done) {
        if ((colouring || !req.FillCellBackground) && pacer.stopBefore(done)) {
            if (!req.FillCellBackground)
                return SheetResult::Stopped;
            colouring = false; // the rest of the rows stay uncoloured
            pacer.finish();
        }
        if (sheet.putRow(i, rows.values(i), colouring ? rows.colours(i) : nullptr) != SheetStatus::Ok)
            return SheetResult::Failed;
        if (tally)
            counter->tallyRow(*tally, r.SelRowFrom + i - 1, r.SelColumnFrom, r.SelColumnTo);
    }
    if (tally)
        gathered->push_back(tally->statistics());
    // Before the description lines, so their long texts do not widen column A.
    if (sheet.autoFitColumns() != SheetStatus::Ok)
        return SheetResult::Failed;

    return putDescriptionLines(ws, sheet, rowCount + 1, measureLineText(m, locale), measureLineFontColor(m),
                               sheetRegionLine(ws.selection, req.LastColumnName, rowCount));
}

// Counts the values of the measure columns of a long table row by row, as
// the value sheet of each measure would.
class LongTallies {
public:
    LongTallies(const ImageStore& image, const LongColumns& columns)
    {
        for (std::size_t k = columns.components; k < columns.values.size(); ++k) {
            counters_.emplace_back(image, columns.values[k], QLocale::c(), '.');
            tallies_.push_back(counters_.back().makeTally());
        }
    }
    void row(int y, int columnFrom, int columnTo)
    {
        for (std::size_t k = 0; k < tallies_.size(); ++k)
            counters_[k].tallyRow(tallies_[k], y, columnFrom, columnTo);
    }
    void addTo(std::vector<RegionStatistics>& gathered)
    {
        for (ValueTally& t : tallies_)
            gathered.push_back(t.statistics());
    }

private:
    std::deque<PointRowWriter> counters_; // a writer is never moved once made
    std::vector<ValueTally> tallies_;
};

// The long layout: one worksheet, a heading row, a row per point (no colours:
// the point's colour is in its components), then the description lines.
SheetResult writeLongSheet(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                           const QLocale& locale, const std::vector<int>& measures,
                           std::vector<RegionStatistics>* gathered)
{
    const LongColumns columns = longColumns(ws.measure, measures);
    const Selection& r = ws.selection;
    const qint64 points = qint64(ws.request.rowCount) * ws.request.columnCount;
    if (points < 1 || points > kMaxLongLayoutPoints)
        return SheetResult::Failed; // prepareExportRequest() refuses such regions
    const int rowCount = int(points) + 1;
    if (sheet.addSheet(WorkbookTexts::tr("Лист1"), rowCount, columns.count(), columns.twoDecimals()) != SheetStatus::Ok)
        return SheetResult::Failed;
    const QStringList headings = columns.headings();
    for (int c = 0; c < headings.size(); ++c)
        if (sheet.putCellText(1, c + 1, headings[c], 0) != SheetStatus::Ok)
            return SheetResult::Failed;

    RowPacer pacer(view, points);
    LongRowValues values(ws.image, columns);
    std::optional<LongTallies> tallies;
    if (gathered)
        tallies.emplace(ws.image, columns);
    qint64 done = 0;
    for (int y = r.SelRowFrom; y <= r.SelRowTo; ++y) {
        for (int x = r.SelColumnFrom; x <= r.SelColumnTo; ++x, ++done) {
            const bool stopped = pacer.stopBefore(done);
            if (stopped || sheet.putRow(int(done) + 2, values.at(x, y), nullptr) != SheetStatus::Ok) {
                pacer.finish();
                return stopped ? SheetResult::Stopped : SheetResult::Failed;
            }
        }
        if (tallies)
            tallies->row(y, r.SelColumnFrom, r.SelColumnTo);
    }
    pacer.finish();
    if (tallies)
        tallies->addTo(*gathered);
    if (sheet.autoFitColumns() != SheetStatus::Ok)
        return SheetResult::Failed;
    return putDescriptionLines(ws, sheet, rowCount + 1, columns.measureLine(locale), columns.measureLineFontColor(),
                               sheetRegionLine(r, lastColumnName(columns.count()), rowCount));
}

// The value sheets of the table layout, one per measure; with \a gathered,
// the statistics of each measure (of a grey region: one) are added there.
SheetResult writeTableSheets(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                             const QLocale& locale, const std::vector<int>& measures,
                             std::vector<RegionStatistics>* gathered)
{
    const std::vector<int> written = measures.empty() ? std::vector<int>{ws.measure.BrightnessMeasure} : measures;
    RowPacer pacer(view, qint64(ws.request.rowCount) * qint64(written.size()));
    qint64 done = 0;
    bool colouring = ws.request.FillCellBackground;
    // Every sheet of a grey region holds its red component: counted once.
    const bool grey = ws.measure.ColorPointCount == 0 || ws.image.pixelKind() == PixelKind::Grey;
    for (const int measure : written) {
        MeasureSettings m = ws.measure;
        m.BrightnessMeasure = measure;
        const QString name = measures.empty() ? WorkbookTexts::tr("Лист1") : measureSheetName(measure);
        const bool counted = gathered && (!grey || gathered->empty());
        const SheetResult result = writeBlock(ws, m, name, sheet, pacer, done, colouring, locale,
                                              counted ? gathered : nullptr);
        if (result != SheetResult::Ok) {
            pacer.finish();
            return result;
        }
    }
    if (colouring || !ws.request.FillCellBackground)
        pacer.finish();
    return SheetResult::Ok;
}

SheetResult writeSheets(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                        const QLocale& locale, const std::vector<int>& measures, const WorkbookExtras& extras)
{
    if (sheet.createApplication() != SheetStatus::Ok)
        return SheetResult::Failed;
    view.setBusyPointer(true);
    const bool summary = extras.summarySheet || ws.output.summarySheet;
    const bool gather = summary || extras.statistics;
    std::vector<RegionStatistics> statistics;
    const SheetResult written = ws.output.layout == TableLayout::Long
        ? writeLongSheet(ws, sheet, view, locale, measures, gather ? &statistics : nullptr)
        : writeTableSheets(ws, sheet, view, locale, measures, gather ? &statistics : nullptr);
    if (written != SheetResult::Ok)
        return written;
    if (summary
        && writeSummarySheet(sheet, ws.image, ws.selection, ws.measure, statistics, extras.madeAt) != SheetStatus::Ok)
        return SheetResult::Failed;
    if (extras.statistics)
        *extras.statistics = std::move(statistics);

    const SheetStatus saved = saveShowingIt(sheet, view);
    if (saved == SheetStatus::Stopped)
        return SheetResult::Stopped;
    if (saved != SheetStatus::Ok)
        return SheetResult::Failed;
    const SheetStatus shown = sheet.activateSheet();
    if (shown == SheetStatus::Refused)
        return SheetResult::Failed;
    if (shown == SheetStatus::NotShown) {
        const UserMessage notice = workbookNotOpenedMessage(sheet.documentLocation());
        view.showMessage(MessageIcon::Information, notice.title, notice.text);
    }
    return SheetResult::Ok;
}

} // namespace

SpreadsheetOutcome exportToSpreadsheet(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                                       const QLocale& locale, const std::vector<int>& measures,
                                       const WorkbookExtras& extras)
{
    if (ws.ExportCancelled) {
        view.setExportButtonFrame(ExportButtonFrame::Resting);
        return SpreadsheetOutcome::Cancelled;
    }
    view.setExportButtonFrame(ExportButtonFrame::Busy);
    view.setOpenButtonsVisible(false);

    const SheetResult result = writeSheets(ws, sheet, view, locale, measures, extras);
    if (result != SheetResult::Ok)
        sheet.discard();
    sheet.release();
    view.setBusyPointer(false);
    view.setOpenButtonsVisible(true);
    view.setRemainingVisible(false);
    view.setExportButtonFrame(ExportButtonFrame::Resting);
    switch (result) {
    case SheetResult::Failed: return SpreadsheetOutcome::Failed;
    case SheetResult::Stopped: return SpreadsheetOutcome::Stopped;
    case SheetResult::Ok: break;
    }
    return SpreadsheetOutcome::Written;
}

QString measureSheetName(int measure)
{
    switch (measure) {
    case MeasureRed: return WorkbookTexts::tr("Красный");
    case MeasureGreen: return WorkbookTexts::tr("Зелёный");
    case MeasureBlue: return WorkbookTexts::tr("Синий");
    case MeasureMean: return WorkbookTexts::tr("Среднее");
    case MeasureMaximum: return WorkbookTexts::tr("Максимум");
    case MeasureLuminance: return WorkbookTexts::tr("Яркость");
    default: return WorkbookTexts::tr("Лист%1").arg(integerText(measure));
    }
}

UserMessage workbookFailureMessage(const QList<WorkbookFailure>& failures)
{
    QStringList lines;
    for (const WorkbookFailure& f : failures) {
        const QString path = QDir::toNativeSeparators(f.path);
        const QString cannotCreate = WorkbookTexts::tr("Не удалось создать файл %1").arg(path);
        switch (f.error) {
        case WorkbookError::FolderMissing: lines << cannotCreate << WorkbookTexts::tr("Папка не найдена."); break;
        case WorkbookError::FolderDenied:
            lines << cannotCreate << WorkbookTexts::tr("Нет права записи в эту папку.");
            break;
        case WorkbookError::WriteFailed:
            lines << WorkbookTexts::tr("Не удалось записать файл %1").arg(path)
                  << WorkbookTexts::tr("Возможно, диск заполнен.");
            break;
        case WorkbookError::NameRefused:
            lines << cannotCreate << WorkbookTexts::tr("Система не принимает такое название файла.");
            break;
        case WorkbookError::TargetInUse:
            lines << WorkbookTexts::tr("Не удалось заменить файл %1").arg(path)
                  << WorkbookTexts::tr("Он открыт в другой программе. Закройте его там и повторите вывод в таблицу.");
            break;
        }
    }
    return {WorkbookTexts::tr("Вывод в таблицу"), lines.join(kCrLf)};
}

UserMessage workbookNotOpenedMessage(const QString& location)
{
    return {
        WorkbookTexts::tr("Вывод в таблицу"),
        WorkbookTexts::tr("Таблица сохранена, но открыть её не удалось.\r\nОна находится в файле\r\n%1").arg(location)};
}

UserMessage tallerThanSheetMessage(TableLayout layout)
{
    if (layout == TableLayout::Long)
        return {WorkbookTexts::tr("Вывод в таблицу"),
                WorkbookTexts::tr("Выделено больше точек, чем вмещает лист таблицы.\r\nНа листе помещается не больше "
                                  "%1 точек (1 048 576 строк листа без строки заголовков и трёх строк описания).\r\n"
                                  "Выделите меньше точек или сохраните выделение в файл CSV.")
                    .arg(integerText(kMaxLongLayoutPoints))};
    return {WorkbookTexts::tr("Вывод в таблицу"),
            WorkbookTexts::tr("Выделено больше строк, чем вмещает лист таблицы.\r\nНа листе помещается не больше "
                              "%1 строк изображения (1 048 576 строк листа без трёх строк описания).\r\n"
                              "Выделите меньше строк или сохраните выделение в файл CSV.")
                .arg(integerText(kMaxWorkbookRegionRows))};
}

} // namespace lumiset

#include "output/SpreadsheetExport.h"

#include "image/NumberText.h"
#include "image/Rounding.h"
#include "output/DescriptionLines.h"
#include "output/PointValues.h"
#include "output/SummarySheet.h"
#include "output/WorksheetLimits.h"

#include <QDir>

#include <optional>

namespace lumiset {

namespace {

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
        if (done > 0) {
            const qint64 secondsLeft = qint64(
                roundHalfEven(double(now - start_) * double(total_ - done) / double(done) / 1000.0));
            if (secondsLeft > 0)
                view_.setRemainingText(QStringLiteral("Осталось  ") + integerText(secondsLeft) + QStringLiteral(" с"));
        }
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
    view.setRemainingText(QStringLiteral("Сохранение…"));
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

// One value sheet; with \a gathered, the statistics of its values are counted
// row by row as they are written and added there.
SheetResult writeBlock(const Workspace& ws, const MeasureSettings& m, const QString& name, SpreadsheetAutomation& sheet,
                       RowPacer& pacer, qint64& done, bool& colouring, const QLocale& locale,
                       std::vector<RegionStatistics>* gathered)
{
    const ExportRequest& req = ws.request;
    const int rowCount = req.rowCount;
    if (sheet.addSheet(name, rowCount, req.columnCount, measureHasDecimals(m)) != SheetStatus::Ok)
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

    if (ws.image.knownFormat()) {
        const int headerRow = rowCount + 1;
        if (sheet.putCellText(headerRow, 1, sheetFileLine(fileNamePart(ws.image.FilePath), ws.image), 0)
                != SheetStatus::Ok
            || sheet.putCellText(headerRow + 1, 1, measureLineText(m, locale), measureLineFontColor(m))
                != SheetStatus::Ok
            || sheet.putCellText(headerRow + 2, 1, sheetRegionLine(ws.selection, req.LastColumnName, rowCount), 0)
                != SheetStatus::Ok)
            return SheetResult::Failed;
    }
    return SheetResult::Ok;
}

SheetResult writeSheets(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                        const QLocale& locale, const std::vector<int>& measures, const WorkbookExtras& extras)
{
    if (sheet.createApplication() != SheetStatus::Ok)
        return SheetResult::Failed;
    view.setBusyPointer(true);
    const std::vector<int> written = measures.empty() ? std::vector<int>{ws.BrightnessMeasure} : measures;
    RowPacer pacer(view, qint64(ws.request.rowCount) * qint64(written.size()));
    qint64 done = 0;
    bool colouring = ws.request.FillCellBackground;
    const bool gather = extras.summarySheet || extras.statistics;
    // Every sheet of a grey region holds its red component: counted once.
    const bool grey = ws.ColorPointCount == 0 || ws.image.pixelKind() == PixelKind::Grey;
    std::vector<RegionStatistics> statistics;
    for (const int measure : written) {
        MeasureSettings m = measureSettings(ws);
        m.BrightnessMeasure = measure;
        const QString name = measures.empty() ? QStringLiteral("Лист1") : measureSheetName(measure);
        const bool counted = gather && (!grey || statistics.empty());
        const SheetResult result = writeBlock(ws, m, name, sheet, pacer, done, colouring, locale,
                                              counted ? &statistics : nullptr);
        if (result != SheetResult::Ok) {
            pacer.finish();
            return result;
        }
    }
    if (colouring || !ws.request.FillCellBackground)
        pacer.finish();
    if (extras.summarySheet
        && writeSummarySheet(sheet, ws.image, ws.selection, measureSettings(ws), statistics, extras.madeAt)
            != SheetStatus::Ok)
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
    case MeasureRed: return QStringLiteral("Красный");
    case MeasureGreen: return QStringLiteral("Зелёный");
    case MeasureBlue: return QStringLiteral("Синий");
    case MeasureMean: return QStringLiteral("Среднее");
    case MeasureMaximum: return QStringLiteral("Максимум");
    case MeasureLuminance: return QStringLiteral("Яркость");
    default: return QStringLiteral("Лист") + integerText(measure);
    }
}

UserMessage workbookFailureMessage(const QList<WorkbookFailure>& failures)
{
    QStringList lines;
    for (const WorkbookFailure& f : failures) {
        const QString path = QDir::toNativeSeparators(f.path);
        switch (f.error) {
        case WorkbookError::FolderMissing:
            lines << QStringLiteral("Не удалось создать файл ") + path << QStringLiteral("Папка не найдена.");
            break;
        case WorkbookError::FolderDenied:
            lines << QStringLiteral("Не удалось создать файл ") + path
                  << QStringLiteral("Нет права записи в эту папку.");
            break;
        case WorkbookError::WriteFailed:
            lines << QStringLiteral("Не удалось записать файл ") + path << QStringLiteral("Возможно, диск заполнен.");
            break;
        case WorkbookError::NameRefused:
            lines << QStringLiteral("Не удалось создать файл ") + path
                  << QStringLiteral("Система не принимает такое название файла.");
            break;
        }
    }
    return {QStringLiteral("Вывод в таблицу"), lines.join(QStringLiteral("\r\n"))};
}

UserMessage workbookNotOpenedMessage(const QString& location)
{
    return {QStringLiteral("Вывод в таблицу"),
            QStringLiteral("Таблица сохранена, но открыть её не удалось.\r\nОна находится в файле\r\n") + location};
}

UserMessage tallerThanSheetMessage()
{
    return {QStringLiteral("Вывод в таблицу"),
            QStringLiteral("Выделено больше строк, чем вмещает лист таблицы.\r\nНа листе помещается не больше ")
                + integerText(kMaxWorkbookRegionRows)
                + QStringLiteral(" строк изображения (1 048 576 строк листа без трёх строк описания).\r\n"
                                 "Выделите меньше строк или сохраните выделение в файл CSV.")};
}

} // namespace lumiset

#include "output/SpreadsheetExport.h"

#include "image/NumberText.h"
#include "output/DescriptionLines.h"
#include "output/PointValues.h"

#include "image/Rounding.h"

namespace lumiset {

void colourCells(const ExportRequest& request, SpreadsheetAutomation& sheet, ExportProgressView& view)
{
    const int rowCount = request.rowCount;
    view.clearStopRequest();
    view.setRemainingVisible(true);
    view.setStopButtonActive(true);
    qint64 rowStart = view.nowMilliseconds();

    for (int i = 1; i <= rowCount; ++i) {
        view.processEvents();
        if (view.stopRequested())
            break;
        view.setProgressWidth(int(qint64(i) * kProgressBarWidth / rowCount));
        for (int j = 1; j <= request.columnCount; ++j) {
            const auto& c = request.colors(i, j);
            if (c[0] != 2)
                sheet.setInteriorColorIndex(i, j, c[0]); // a refused colour leaves the cell as it is
            if (c[1] > 1)
                sheet.setFontColorIndex(i, j, c[1]);
        }
        const qint64 now = view.nowMilliseconds();
        const qint64 rowSeconds = qint64(roundHalfEven(double(now - rowStart) / 1000.0));
        rowStart = now;
        const qint64 secondsLeft = rowSeconds * (rowCount - i);
        if (secondsLeft > 0)
            view.setRemainingText(QStringLiteral("Осталось  ") + integerText(secondsLeft) + QStringLiteral(" с"));
    }

    view.setProgressWidth(1);
    view.setStopButtonActive(false);
}

namespace {

bool writeSheet(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view, const QLocale& locale)
{
    const ExportRequest& req = ws.request;
    const Selection& sel = ws.selection;
    const int rowCount = req.rowCount;
    const int headerRow = rowCount + 1;
    const QString columns = QStringLiteral("A:") + req.LastColumnName;
    const MeasureSettings m = measureSettings(ws);

    if (sheet.createApplication() != SheetStatus::Ok)
        return false;
    view.setBusyPointer(true);
    if (sheet.setScreenUpdating(false) != SheetStatus::Ok)
        return false;
    const QString address = QStringLiteral("A1:") + req.LastColumnName + integerText(rowCount);
    if (sheet.putRangeValues(address, rowCount, req.columnCount, req.CellValues.data()) != SheetStatus::Ok)
        return false;
    if (req.FillCellBackground)
        colourCells(req, sheet, view);
    if (measureHasDecimals(m) && sheet.setColumnsNumberFormat(columns, QStringLiteral("0.00")) != SheetStatus::Ok)
        return false;
    // Before the description lines, so their long texts do not widen column A.
    if (sheet.autoFitColumns(columns) != SheetStatus::Ok)
        return false;

    if (ws.image.knownFormat()) {
        if (sheet.putCellText(headerRow, 1, sheetFileLine(fileNamePart(ws.image.FilePath), ws.image))
                != SheetStatus::Ok
            || sheet.putCellText(headerRow + 1, 1, measureLineText(m, locale)) != SheetStatus::Ok)
            return false;
        if (const int color = measureLineFontColor(m);
            color != 0 && sheet.setFontColorIndex(headerRow + 1, 1, color) != SheetStatus::Ok)
            return false;
        if (sheet.putCellText(headerRow + 2, 1, sheetRegionLine(sel, req.LastColumnName, rowCount))
            != SheetStatus::Ok)
            return false;
    }

    if (sheet.setScreenUpdating(true) != SheetStatus::Ok || sheet.setVisible(true) != SheetStatus::Ok)
        return false;
    const SheetStatus shown = sheet.activateSheet();
    if (shown == SheetStatus::Refused)
        return false;
    if (shown == SheetStatus::NotShown) {
        const UserMessage notice = workbookNotOpenedMessage(sheet.documentLocation());
        view.showMessage(MessageIcon::Information, notice.title, notice.text);
    }
    return true;
}

} // namespace

SpreadsheetOutcome exportToSpreadsheet(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                                       const QLocale& locale)
{
    if (ws.ExportCancelled) {
        view.setExportButtonFrame(ExportButtonFrame::Resting);
        return SpreadsheetOutcome::Cancelled;
    }
    view.setExportButtonFrame(ExportButtonFrame::Busy);
    view.setOpenButtonsVisible(false);

    const bool written = writeSheet(ws, sheet, view, locale);
    sheet.release();
    view.setBusyPointer(false);
    if (!written)
        return SpreadsheetOutcome::Failed;
    view.setOpenButtonsVisible(true);
    view.setRemainingVisible(false);
    view.setExportButtonFrame(ExportButtonFrame::Resting);
    return SpreadsheetOutcome::Written;
}

UserMessage automationFailureMessage()
{
    return {QStringLiteral("Ошибка с открытием листа Excel-а"),
            QStringLiteral("        Перезапустите программу.\r\nПрограмма будет закрыта.")};
}

UserMessage workbookNotOpenedMessage(const QString& location)
{
    return {QStringLiteral("Вывод в таблицу"),
            QStringLiteral("Таблица сохранена, но открыть её не удалось.\r\nОна находится в файле\r\n") + location};
}

} // namespace lumiset

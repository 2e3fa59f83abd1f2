#include "output/SpreadsheetExport.h"

#include "output/ExportPreparation.h"
#include "output/OutputFixtures.h"
#include "output/RecordingExportProgress.h"
#include "output/XlsxWorkbook.h"

#include <QRegularExpression>

#include <gtest/gtest.h>


namespace lumiset {
namespace {

using namespace lumiset::test;

/// A spreadsheet that writes down every call; \a refuse names the one operation
/// that fails, and fill or font index 0 is refused as the spreadsheet refuses it.
class RecordingSheet : public SpreadsheetAutomation {
public:
    QString refuse;
    SheetStatus shown = SheetStatus::Ok;
    QStringList calls;

    SheetStatus record(const QString& op, const QString& detail = {}, bool refused = false)
    {
        calls << (detail.isEmpty() ? op : op + QLatin1Char(' ') + detail);
        return refused || op == refuse ? SheetStatus::Refused : SheetStatus::Ok;
    }
    static QString at(int row, int column, const QString& what)
    {
        return QStringLiteral("%1,%2 %3").arg(row).arg(column).arg(what);
    }
    SheetStatus createApplication() override { return record(QStringLiteral("create")); }
    SheetStatus setScreenUpdating(bool) override { return record(QStringLiteral("updating")); }
    SheetStatus putRangeValues(const QString& address, int, int, const float*) override
    {
        return record(QStringLiteral("range"), address);
    }
    SheetStatus putCellText(int row, int column, const QString& text) override
    {
        return record(QStringLiteral("text"), at(row, column, text));
    }
    SheetStatus setFontColorIndex(int row, int column, int index) override
    {
        return record(QStringLiteral("font"), at(row, column, QString::number(index)), index == 0);
    }
    SheetStatus setInteriorColorIndex(int row, int column, int index) override
    {
        return record(QStringLiteral("fill"), at(row, column, QString::number(index)), index == 0);
    }
    SheetStatus setColumnsNumberFormat(const QString& columns, const QString& format) override
    {
        return record(QStringLiteral("format"), columns + QLatin1Char(' ') + format);
    }
    SheetStatus autoFitColumns(const QString& columns) override { return record(QStringLiteral("autofit"), columns); }
    SheetStatus setVisible(bool) override { return record(QStringLiteral("visible")); }
    SheetStatus activateSheet() override
    {
        calls << QStringLiteral("activate");
        return shown;
    }
    void release() override { calls << QStringLiteral("release"); }
    QString documentLocation() const override { return QStringLiteral("/docs/tyu2.xlsx"); }

    QStringList matching(const QString& prefix) const
    {
        return calls.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
    }
};

Workspace prepared(std::vector<std::vector<Rgb8>> rows, Selection sel, int measure, bool fill)
{
    Workspace ws;
    ws.image = trueColourImage(rows);
    ws.selection = sel;
    ws.BrightnessMeasure = measure;
    ws.ColorPointCount = countColorPoints(ws.image, sel);
    EXPECT_EQ(prepareExportRequest(ws, fill), RegionError::None);
    return ws;
}

TEST(SpreadsheetExportTest, CancelledWritesNothing)
{
    Workspace ws;
    ws.ExportCancelled = true;
    RecordingSheet sheet;
    RecordingExportProgress view;
    EXPECT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Cancelled);
    EXPECT_TRUE(sheet.calls.isEmpty());
    EXPECT_EQ(view.events, QStringList{QStringLiteral("frame resting")});
}

TEST(SpreadsheetExportTest, RefusedOperationFailsTheExport)
{
    for (const char* op : {"create", "range", "format", "autofit", "text", "visible"}) {
        SCOPED_TRACE(op);
        Workspace ws = prepared({{Rgb8{1, 2, 3}}}, region(1, 1, 1, 1), MeasureMean, false);
        RecordingSheet sheet;
        sheet.refuse = QString::fromLatin1(op);
        RecordingExportProgress view;
        EXPECT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Failed);
        EXPECT_FALSE(sheet.calls.contains(QStringLiteral("activate")));
    }
}

TEST(SpreadsheetExportTest, UnopenedWorkbookIsNoFailure)
{
    Workspace ws = prepared({{Rgb8{1, 2, 3}}}, region(1, 1, 1, 1), MeasureMean, false);
    RecordingSheet sheet;
    sheet.shown = SheetStatus::NotShown;
    RecordingExportProgress view;
    EXPECT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Written);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(view.messages[0].text.contains(QStringLiteral("/docs/tyu2.xlsx")));
}

TEST(ColourCellsTest, StopDuringRowThreeLeavesTheRest)
{
    std::vector<std::vector<Rgb8>> rows(10, std::vector<Rgb8>(2, Rgb8{255, 0, 0}));
    Workspace ws = prepared(rows, region(1, 1, 2, 10), MeasureRed, true);
    RecordingSheet sheet;
    RecordingExportProgress view;
    view.stopDuringEventRun = 4; // the click arrives while row 3 is coloured
    ASSERT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Written);
    EXPECT_EQ(sheet.matching(QStringLiteral("fill")).size(), 6);
    EXPECT_TRUE(sheet.matching(QStringLiteral("fill 4,")).isEmpty());
    EXPECT_EQ(sheet.matching(QStringLiteral("text")).size(), 3);
    EXPECT_EQ(view.progressWidths, (std::vector<int>{13, 26, 39, 1}));
}

TEST(ColourCellsTest, RemainingTimeFromTheLastRow)
{
    struct Case {
        const char* name;
        std::vector<qint64> clock;
        QStringList texts;
    };
    const Case cases[] = {
        {"2.4 s with 5 rows left", {0, 1000, 3400, 3400}, {QStringLiteral("Осталось  6 с"), QStringLiteral("Осталось  10 с")}},
        {"half a second rounds to even 0", {0, 500, 1000, 1500}, {}},
        {"a fast row keeps the last text", {0, 3000, 3100, 3100}, {QStringLiteral("Осталось  18 с")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::vector<Rgb8>> rows(7, std::vector<Rgb8>(1, Rgb8{255, 0, 0}));
        Workspace ws = prepared(rows, region(1, 1, 1, 7), MeasureRed, true);
        RecordingSheet sheet;
        RecordingExportProgress view;
        view.clock = c.clock;
        view.clock.push_back(c.clock.back()); // later rows take no time
        colourCells(ws.request, sheet, view);
        EXPECT_EQ(view.remainingTexts, c.texts);
    }
}

TEST(XlsxWorkbookTest, RefusesWhatTheSpreadsheetWouldRefuse)
{
    XlsxWorkbook book({QStringLiteral("/tmp/x.bmp"), QString(), QString()});
    const float values[2] = {1, 2};
    EXPECT_EQ(book.putRangeValues(QStringLiteral("A1:B1"), 1, 2, values), SheetStatus::Refused); // not created
    ASSERT_EQ(book.createApplication(), SheetStatus::Ok);
    EXPECT_EQ(book.putRangeValues(QStringLiteral("A1:C1"), 1, 2, values), SheetStatus::Refused);
    EXPECT_EQ(book.putRangeValues(QStringLiteral("A1:B1"), 1, 2, values), SheetStatus::Ok);
    EXPECT_EQ(book.setInteriorColorIndex(1, 1, 0), SheetStatus::Refused);
    EXPECT_EQ(book.setInteriorColorIndex(1, 1, 18), SheetStatus::Refused);
    EXPECT_EQ(book.setInteriorColorIndex(1, 1, 1), SheetStatus::Ok);
    EXPECT_EQ(book.setColumnsNumberFormat(QStringLiteral("A:IW"), QStringLiteral("0.00")), SheetStatus::Refused);
    EXPECT_EQ(columnNumber(QStringLiteral("IV")), 256);
    EXPECT_EQ(columnNumber(QStringLiteral("a")), 0);
}

} // namespace
} // namespace lumiset

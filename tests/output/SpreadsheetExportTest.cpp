#include "output/SpreadsheetExport.h"

#include "output/ExportPreparation.h"
#include "output/OutputFixtures.h"
#include "output/RecordingExportProgress.h"
#include "output/XlsxWorkbook.h"
#include "support/ImageBuilders.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zlib.h>

namespace lumiset {
namespace {

using namespace lumiset::test;

/// A workbook that writes down every call; \a refuse names the one operation
/// that fails.
class RecordingSheet : public SpreadsheetAutomation {
public:
    QString refuse;
    SheetStatus shown = SheetStatus::Ok;
    int waits = 1; ///< calls of the save's wait
    QStringList calls;

    SheetStatus record(const QString& op, const QString& detail = {})
    {
        calls << (detail.isEmpty() ? op : op + QLatin1Char(' ') + detail);
        return op == refuse ? SheetStatus::Refused : SheetStatus::Ok;
    }
    SheetStatus createApplication() override { return record(QStringLiteral("create")); }
    // The columns' "0.00" flags: one digit when all agree, else one per column.
    SheetStatus addSheet(const QString& name, int rows, int columns, const std::vector<bool>& twoDecimals) override
    {
        QString flags;
        for (const bool d : twoDecimals)
            flags += d ? QLatin1Char('1') : QLatin1Char('0');
        if (flags.count(flags.front()) == flags.size())
            flags.truncate(1);
        return record(QStringLiteral("sheet"),
                      QStringLiteral("%1 %2x%3 %4").arg(name).arg(rows).arg(columns).arg(flags));
    }
    SheetStatus putRow(int row, const double*, const CellColours* colours) override
    {
        return record(QStringLiteral("row"), QStringLiteral("%1 %2").arg(row).arg(colours ? colours[0].fill : -1));
    }
    SheetStatus autoFitColumns() override { return record(QStringLiteral("autofit")); }
    SheetStatus putCellText(int row, int column, const QString& text, int font) override
    {
        return record(QStringLiteral("text"), QStringLiteral("%1,%2 %3 %4").arg(row).arg(column).arg(font).arg(text));
    }
    SheetStatus saveWorkbook(const SaveWait& keepWaiting) override
    {
        for (int i = 0; i < waits; ++i) {
            if (!keepWaiting()) {
                calls << QStringLiteral("save stopped");
                return SheetStatus::Stopped;
            }
        }
        return record(QStringLiteral("save"));
    }
    SheetStatus activateSheet() override
    {
        calls << QStringLiteral("activate");
        return shown;
    }
    void discard() override { calls << QStringLiteral("discard"); }
    void release() override { calls << QStringLiteral("release"); }
    QString documentLocation() const override { return QStringLiteral("/docs/tyu2.xlsx"); }
    QList<WorkbookFailure> failures() const override { return {}; }

    QStringList matching(const QString& prefix) const
    {
        return calls.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
    }
};

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

TEST(SpreadsheetExportTest, RefusedOperationFailsTheExportAndDropsTheFile)
{
    for (const char* op : {"create", "sheet", "row", "autofit", "text", "save"}) {
        SCOPED_TRACE(op);
        Workspace ws = preparedWorkspace(trueColourImage({{Rgb8{1, 2, 3}}}), region(1, 1, 1, 1), MeasureMean, false);
        RecordingSheet sheet;
        sheet.refuse = QString::fromLatin1(op);
        RecordingExportProgress view;
        EXPECT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Failed);
        EXPECT_FALSE(sheet.calls.contains(QStringLiteral("activate")));
        EXPECT_TRUE(sheet.calls.contains(QStringLiteral("discard")));
        // The program goes on: the open window is as before the export.
        EXPECT_EQ(view.events.mid(view.events.size() - 4),
                  (QStringList{"pointer default", "buttons shown", "remaining hidden", "frame resting"}));
    }
}

TEST(SpreadsheetExportTest, UnopenedWorkbookIsNoFailure)
{
    Workspace ws = preparedWorkspace(trueColourImage({{Rgb8{1, 2, 3}}}), region(1, 1, 1, 1), MeasureMean, false);
    RecordingSheet sheet;
    sheet.shown = SheetStatus::NotShown;
    RecordingExportProgress view;
    EXPECT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Written);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(view.messages[0].text.contains(QStringLiteral("/docs/tyu2.xlsx")));
}

// Ten rows, the clock 100 ms further at every reading, the stop clicked before row 4.
TEST(SpreadsheetExportTest, StopColouringWritesTheRestUncolouredStopValuesDropsTheWorkbook)
{
    for (const bool fill : {true, false}) {
        SCOPED_TRACE(fill);
        Workspace ws = preparedWorkspace(
            trueColourImage(std::vector<std::vector<Rgb8>>(10, std::vector<Rgb8>(2, Rgb8{255, 0, 0}))),
            region(1, 1, 2, 10), MeasureRed, fill);
        RecordingSheet sheet;
        RecordingExportProgress view;
        for (qint64 t = 0; t < 100; ++t)
            view.clock.push_back(t * 100);
        view.stopDuringEventRun = 4;
        EXPECT_EQ(exportToSpreadsheet(ws, sheet, view),
                  fill ? SpreadsheetOutcome::Written : SpreadsheetOutcome::Stopped);
        const QStringList rows = sheet.matching(QStringLiteral("row"));
        EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral(" 3$"))).size(), fill ? 3 : 0);
        EXPECT_EQ(rows.filter(QStringLiteral(" -1")).size(), fill ? 7 : 3);
        EXPECT_EQ(sheet.calls.contains(QStringLiteral("discard")), !fill);
        EXPECT_EQ(sheet.matching(QStringLiteral("text")).size(), fill ? 3 : 0);
        EXPECT_EQ(view.progressWidths, (std::vector<int>{13, 26, 39, 1}));
    }
}

// While the file is saved the strip says so and the stop button is back, also
// after a stopped colouring; a stop then drops the workbook.
TEST(SpreadsheetExportTest, StopWhileSavingDropsTheWorkbook)
{
    for (const bool fill : {true, false}) {
        SCOPED_TRACE(fill);
        Workspace ws = preparedWorkspace(trueColourImage({{Rgb8{1, 2, 3}}, {Rgb8{4, 5, 6}}}), region(1, 1, 1, 2),
                                         MeasureRed, fill);
        RecordingSheet sheet;
        sheet.waits = 3;
        RecordingExportProgress view;
        view.stopDuringEventRun = 3; // run 1 before the rows, then the save's waits
        EXPECT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Stopped);
        EXPECT_EQ(sheet.calls.mid(sheet.calls.size() - 3), (QStringList{"save stopped", "discard", "release"}));
        EXPECT_EQ(view.eventRuns, 3);
        EXPECT_EQ(view.events.mid(5),
                  (QStringList{"stop hidden", "stop shown", "saving", "saved", "stop hidden", "pointer default",
                               "buttons shown", "remaining hidden", "frame resting"}));
        EXPECT_EQ(view.remainingTexts, QStringList{QStringLiteral("Сохранение…")});
    }
}

TEST(SpreadsheetExportTest, RemainingTimeFromTheAverageRow)
{
    struct Case {
        const char* name;
        std::vector<qint64> clock;
        QStringList texts;
    };
    const Case cases[] = {
        // Start at 0; row 2 polled at 1000 (1 row in 1 s, 6 left), row 3 at 3000 (1.5 s a row, 5 left).
        {"from the rows so far",
         {0, 0, 1000, 3000},
         {QStringLiteral("Осталось  6 с"), QStringLiteral("Осталось  8 с"), QStringLiteral("Сохранение…")}},
        {"polls closer than 100 ms are skipped",
         {0, 0, 50, 2000},
         {QStringLiteral("Осталось  5 с"), QStringLiteral("Сохранение…")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = preparedWorkspace(
            trueColourImage(std::vector<std::vector<Rgb8>>(7, std::vector<Rgb8>(1, Rgb8{255, 0, 0}))),
            region(1, 1, 1, 7), MeasureRed, true);
        RecordingSheet sheet;
        RecordingExportProgress view;
        view.clock = c.clock;
        EXPECT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Written);
        EXPECT_EQ(view.remainingTexts, c.texts);
    }
}

TEST(SpreadsheetExportTest, OneSheetPerMeasureEachWithItsLines)
{
    Workspace ws = preparedWorkspace(trueColourImage({{Rgb8{1, 2, 3}, Rgb8{4, 5, 6}}}), region(1, 1, 2, 1), MeasureRed,
                                     false);
    RecordingSheet sheet;
    RecordingExportProgress view;
    ASSERT_EQ(exportToSpreadsheet(ws, sheet, view, QLocale::c(), {MeasureGreen, MeasureLuminance}),
              SpreadsheetOutcome::Written);
    EXPECT_EQ(sheet.matching(QStringLiteral("sheet")),
              (QStringList{QStringLiteral("sheet Зелёный 1x2 0"), QStringLiteral("sheet Яркость 1x2 1")}));
    const QStringList texts = sheet.matching(QStringLiteral("text 3,1"));
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("text 3,1 10 Выведена ЯРКОСТЬ ЗЕЛЁНОЙ")));
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("text 3,1 0 Выведена ЯРКОСТЬ = 0.299")));
}

// Whole rows of today's worksheet width: the table's shape and the lines naming it.
TEST(WideRegionTest, CsvAndWorkbookTakeTheWholeWidth)
{
    for (const auto& [width, letters] : {std::pair{1000, "ALL"}, std::pair{kMaxExportColumns, "XFD"}}) {
        SCOPED_TRACE(width);
        Workspace ws = preparedWorkspace(
            trueColourImage(std::vector<std::vector<Rgb8>>(2, std::vector<Rgb8>(std::size_t(width), Rgb8{9, 9, 9}))),
            region(1, 1, width, 2), MeasureRed, false);
        const QList<QByteArray> lines
            = csvBytes(ws.image, ws.selection, measureSettings(ws), QStringLiteral("w.bmp"), QLocale::c()).split('\n');
        ASSERT_EQ(lines.size(), 6); // two rows, three description lines, nothing after the last CR LF
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(lines[i].count(';'), width - 1) << i;
        EXPECT_TRUE(lines[1].startsWith("9;9;9;"));
        EXPECT_TRUE(lines[4].contains("[" + QByteArray::number(width) + " , 2]"));

        RecordingSheet sheet;
        RecordingExportProgress view;
        ASSERT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Written);
        EXPECT_EQ(sheet.matching(QStringLiteral("sheet")),
                  QStringList{QStringLiteral("sheet Лист1 2x%1 0").arg(width)});
        EXPECT_EQ(sheet.matching(QStringLiteral("row")).size(), 2);
        EXPECT_TRUE(sheet.matching(QStringLiteral("text 5,1 0"))
                        .value(0)
                        .endsWith(QStringLiteral("[A1:%1%2]").arg(QLatin1String(letters)).arg(2)));
    }
}

// Entry \a name of the zip file \a zip, found by its local header (the first
// place the name appears) and inflated with zlib until its stream ends.
QByteArray zipEntry(const QByteArray& zip, const QByteArray& name)
{
    const qsizetype at = zip.indexOf(name);
    const qsizetype data = at + name.size() + quint8(zip[at - 2]) + 256 * quint8(zip[at - 1]);
    QByteArray out(1 << 20, '\0');
    z_stream z{};
    inflateInit2(&z, -MAX_WBITS);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.constData() + data));
    z.avail_in = uInt(zip.size() - data);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    inflate(&z, Z_FINISH);
    out.truncate(qsizetype(z.total_out));
    inflateEnd(&z);
    return out;
}

// The cells of a worksheet's XML, one text per row: "A1=X B1=Y …", a "0.00" cell marked "#".
QStringList sheetCells(const QByteArray& xml)
{
    static const QRegularExpression cell(QStringLiteral(
        R"re(<c r="([A-Z]+)(\d+)"( s="\d+")?[^>]*>(?:<v>([^<]*)</v>|<is><t[^>]*>([^<]*)</t></is>)</c>)re"));
    QStringList rows;
    QString row;
    for (const auto& m : cell.globalMatch(QString::fromUtf8(xml))) {
        if (m.captured(2) != row)
            rows << QString(), row = m.captured(2);
        rows.back() += (rows.back().isEmpty() ? QString() : QStringLiteral(" ")) + m.captured(1) + row
            + (m.captured(3).isEmpty() ? QStringLiteral("=") : QStringLiteral("#")) + m.captured(4) + m.captured(5);
    }
    return rows;
}

// The long layout read back from the workbook file: headings, a row per point
// with the picture's coordinates, "0.00" on the mean and the luminance only.
TEST(XlsxWorkbookTest, LongLayoutRowPerPoint)
{
    Workspace ws = workspaceOf(trueColourImage({{Rgb8{10, 20, 31}, Rgb8{255, 0, 0}}, {Rgb8{1, 1, 1}, Rgb8{2, 2, 2}}}),
                               region(1, 1, 2, 1), MeasureRed);
    ws.output.layout = TableLayout::Long;
    ASSERT_EQ(prepareExportRequest(ws, true), RegionError::None);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.xlsx"));
    XlsxWorkbook book({QString(), QString(), path});
    RecordingExportProgress view;
    ASSERT_EQ(exportToSpreadsheet(ws, book, view, QLocale::c(), {MeasureRed, MeasureMean, MeasureLuminance}),
              SpreadsheetOutcome::Written);
    const QStringList rows = sheetCells(zipEntry(readBytes(path), "xl/worksheets/sheet1.xml"));
    const QStringList expected{
        QStringLiteral("A1=X B1=Y C1=Красный D1=Зелёный E1=Синий F1=Красный G1#Среднее H1#Яркость"),
        QStringLiteral("A2=1 B2=1 C2=10 D2=20 E2=31 F2=10 G2#20.33333 H2#18.264"),
        QStringLiteral("A3=2 B3=1 C3=255 D3=0 E3=0 F3=255 G3#85 H3#76.245"),
        QStringLiteral("A4=Файл: tyu2.bmp ;    Точек 2x2   ; 16777216 цветов"),
        QStringLiteral("A5=Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ / Выведена ЯРКОСТЬ как среднее арифметическое от "
                       "красной, зелёной и синей составляющей / Выведена ЯРКОСТЬ = 0.299•R + 0.587•G + 0.114•B"),
        QStringLiteral("A6=От [1;1] до [2;1] (отсчёт с левого верхнего угла), занятый диапазон в таблице [A1:H3]"),
    };
    EXPECT_EQ(rows, expected);
}

// Wider than a worksheet: the long layout writes every point, in the file and the workbook.
TEST(WideRegionTest, LongLayoutTakesMoreThanTheSheetsColumns)
{
    constexpr int width = kMaxExportColumns + 16;
    Workspace ws = workspaceOf(singlePlaneImage({std::vector<std::uint8_t>(std::size_t(width), 7)}, {}, true),
                               region(1, 1, width, 1));
    ws.output.layout = TableLayout::Long;
    ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
    const QList<QByteArray> lines = csvBytes(ws.image, ws.selection, measureSettings(ws), QStringLiteral("w.tga"),
                                             QLocale::c(), ws.output)
                                        .split('\n');
    ASSERT_EQ(lines.size(), width + 5);
    EXPECT_EQ(lines[width], "16400;1;7\r");
    EXPECT_TRUE(lines[width + 3].startsWith(QByteArray("\xCE\xF2 [1 , 1] \xE4\xEE [16400 , 1]")));

    RecordingSheet sheet;
    RecordingExportProgress view;
    ASSERT_EQ(exportToSpreadsheet(ws, sheet, view), SpreadsheetOutcome::Written);
    EXPECT_EQ(sheet.matching(QStringLiteral("sheet")), QStringList{QStringLiteral("sheet Лист1 16401x3 0")});
    EXPECT_EQ(sheet.matching(QStringLiteral("row")).size(), width);
    EXPECT_TRUE(sheet.matching(QStringLiteral("text 16404,1 0")).value(0).endsWith(QStringLiteral("[A1:C16401]")));
}

TEST(XlsxWorkbookTest, RefusesWhatTheSpreadsheetWouldRefuse)
{
    QTemporaryDir dir;
    XlsxWorkbook book({QString(), QString(), dir.filePath(QStringLiteral("x.xlsx"))});
    const double values[2] = {1, 2};
    ASSERT_EQ(book.createApplication(), SheetStatus::Ok);
    EXPECT_EQ(book.addSheet(QStringLiteral("a"), 1, kMaxExportColumns + 1, {}), SheetStatus::Refused);
    ASSERT_EQ(book.addSheet(QStringLiteral("a"), 2, 2, {}), SheetStatus::Ok);
    EXPECT_EQ(book.putRow(2, values, nullptr), SheetStatus::Refused) << "rows go in order";
    EXPECT_EQ(book.putRow(1, values, nullptr), SheetStatus::Ok);
    EXPECT_EQ(book.putCellText(1, 1, QStringLiteral("above"), 0), SheetStatus::Refused);
    book.discard();
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

} // namespace
} // namespace lumiset

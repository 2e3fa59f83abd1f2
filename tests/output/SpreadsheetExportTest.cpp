#include "output/SpreadsheetExport.h"

#include "output/ExportPreparation.h"
#include "output/OutputFixtures.h"
#include "output/RecordingExportProgress.h"
#include "output/RecordingSheet.h"
#include "output/XlsxWorkbook.h"
#include "support/ImageBuilders.h"

#include "Version.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lumiset {
namespace {

using namespace lumiset::test;

Workspace onePoint()
{
    return preparedWorkspace(trueColourImage({{Rgb8{1, 2, 3}}}), region(1, 1, 1, 1), MeasureMean);
}

/// A red picture one point wide and \a height tall, all of it the region.
Workspace redColumn(int height, int measure, bool fill)
{
    return preparedWorkspace(
        trueColourImage(std::vector<std::vector<Rgb8>>(std::size_t(height), std::vector<Rgb8>(1, Rgb8{255, 0, 0}))),
        region(1, 1, 1, height), measure, fill);
}

TEST(SpreadsheetExportTest, CancelledWritesNothing)
{
    Workspace ws;
    ws.ExportCancelled = true;
    RecordedExport e;
    EXPECT_EQ(e.run(ws), SpreadsheetOutcome::Cancelled);
    EXPECT_TRUE(e.sheet.calls.isEmpty());
    EXPECT_EQ(e.view.events, QStringList{QStringLiteral("frame resting")});
}

TEST(SpreadsheetExportTest, RefusedOperationFailsTheExportAndDropsTheFile)
{
    for (const char* op : {"create", "sheet", "row", "autofit", "text", "save"}) {
        SCOPED_TRACE(op);
        RecordedExport e;
        e.sheet.refuse = QString::fromLatin1(op);
        EXPECT_EQ(e.run(onePoint()), SpreadsheetOutcome::Failed);
        EXPECT_FALSE(e.sheet.calls.contains(QStringLiteral("activate")));
        EXPECT_TRUE(e.sheet.calls.contains(QStringLiteral("discard")));
        // The program goes on: the open window is as before the export.
        EXPECT_EQ(e.view.events.mid(e.view.events.size() - 4),
                  (QStringList{"pointer default", "buttons shown", "remaining hidden", "frame resting"}));
    }
}

TEST(SpreadsheetExportTest, UnopenedWorkbookIsNoFailure)
{
    RecordedExport e;
    e.sheet.shown = SheetStatus::NotShown;
    EXPECT_EQ(e.run(onePoint()), SpreadsheetOutcome::Written);
    ASSERT_EQ(e.view.messages.size(), 1u);
    EXPECT_TRUE(e.view.messages[0].text.contains(QStringLiteral("/docs/tyu2.xlsx")));
}

// Ten rows, the clock 100 ms further at every reading, the stop clicked before row 4.
TEST(SpreadsheetExportTest, StopColouringWritesTheRestUncolouredStopValuesDropsTheWorkbook)
{
    for (const bool fill : {true, false}) {
        SCOPED_TRACE(fill);
        RecordedExport e;
        for (qint64 t = 0; t < 100; ++t)
            e.view.clock.push_back(t * 100);
        e.view.stopDuringEventRun = 4;
        EXPECT_EQ(e.run(redColumn(10, MeasureRed, fill)),
                  fill ? SpreadsheetOutcome::Written : SpreadsheetOutcome::Stopped);
        const QStringList rows = e.sheet.matching(QStringLiteral("row"));
        EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral(" 3$"))).size(), fill ? 3 : 0);
        EXPECT_EQ(rows.filter(QStringLiteral(" -1")).size(), fill ? 7 : 3);
        EXPECT_EQ(e.sheet.calls.contains(QStringLiteral("discard")), !fill);
        EXPECT_EQ(e.sheet.matching(QStringLiteral("text")).size(), fill ? 3 : 0);
        EXPECT_EQ(e.view.progressWidths, (std::vector<int>{13, 26, 39, 1}));
    }
}

// While the file is saved the strip says so and the stop button is back, also
// after a stopped colouring; a stop then drops the workbook.
TEST(SpreadsheetExportTest, StopWhileSavingDropsTheWorkbook)
{
    for (const bool fill : {true, false}) {
        SCOPED_TRACE(fill);
        RecordedExport e;
        e.sheet.waits = 3;
        e.view.stopDuringEventRun = 3; // run 1 before the rows, then the save's waits
        EXPECT_EQ(e.run(redColumn(2, MeasureRed, fill)), SpreadsheetOutcome::Stopped);
        EXPECT_EQ(e.sheet.calls.mid(e.sheet.calls.size() - 3), (QStringList{"save stopped", "discard", "release"}));
        EXPECT_EQ(e.view.eventRuns, 3);
        EXPECT_EQ(e.view.events.mid(5),
                  (QStringList{"stop hidden", "stop shown", "saving", "saved", "stop hidden", "pointer default",
                               "buttons shown", "remaining hidden", "frame resting"}));
        EXPECT_EQ(e.view.remainingTexts, QStringList{QStringLiteral("Сохранение…")});
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
        RecordedExport e;
        e.view.clock = c.clock;
        EXPECT_EQ(e.run(redColumn(7, MeasureRed, true)), SpreadsheetOutcome::Written);
        EXPECT_EQ(e.view.remainingTexts, c.texts);
    }
}

// Whole rows of today's worksheet width: the table's shape and the lines naming it.
// (Worksheets sized to the region and the range named: xlsx_readback.)
TEST(WideRegionTest, CsvTakesTheWholeWidth)
{
    constexpr int width = kMaxExportColumns;
    const Workspace ws = preparedWorkspace(
        trueColourImage(std::vector<std::vector<Rgb8>>(2, std::vector<Rgb8>(std::size_t(width), Rgb8{9, 9, 9}))),
        region(1, 1, width, 2));
    const QList<QByteArray> lines
        = csvBytes(ws.image, ws.selection, ws.measure, QStringLiteral("w.bmp"), QLocale::c()).split('\n');
    ASSERT_EQ(lines.size(), 6); // two rows, three description lines, nothing after the last CR LF
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lines[i].count(';'), width - 1) << i;
    EXPECT_TRUE(lines[1].startsWith("9;9;9;"));
    EXPECT_TRUE(lines[4].contains("[16384 , 2]"));
}

// Wider than a worksheet: the long layout writes every point.
TEST(WideRegionTest, LongLayoutTakesMoreThanTheSheetsColumns)
{
    constexpr int width = kMaxExportColumns + 16;
    Workspace ws = workspaceOf(singlePlaneImage({std::vector<std::uint8_t>(std::size_t(width), 7)}, {}, true),
                               region(1, 1, width, 1));
    ws.output.layout = TableLayout::Long;
    ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
    const QList<QByteArray> lines
        = csvBytes(ws.image, ws.selection, ws.measure, QStringLiteral("w.tga"), QLocale::c(), ws.output).split('\n');
    ASSERT_EQ(lines.size(), width + 5);
    EXPECT_EQ(lines[width], "16400;1;7\r");
    EXPECT_TRUE(lines[width + 3].startsWith(QByteArray("\xCE\xF2 [1 , 1] \xE4\xEE [16400 , 1]")));
}

Workspace summaryWorkspace()
{
    return preparedWorkspace(trueColourImage({{Rgb8{1, 2, 4}, Rgb8{0, 0, 1}}, {Rgb8{255, 255, 254}, Rgb8{10, 20, 31}}}),
                             region(1, 1, 2, 2));
}

const WorkbookExtras kSummary{true, QDateTime(QDate(2024, 5, 1), QTime(12, 34, 56)), nullptr};

// Statistics worked out by hand from the texts 2.33, 0.33, 254.67, 20.33 (mean)
// and 1.93, 0.11, 254.89, 18.26 (luminance).
TEST(SummarySheetTest, WhatWasMeasuredTheStatisticsAndAChartPerHistogram)
{
    RecordedExport e;
    ASSERT_EQ(e.run(summaryWorkspace(), {MeasureMean, MeasureLuminance}, kSummary), SpreadsheetOutcome::Written);
    const RecordingSheet& sheet = e.sheet;
    EXPECT_EQ(sheet.matching(QStringLiteral("sheet")),
              (QStringList{"sheet Среднее 2x2 1", "sheet Яркость 2x2 1", "sheet Сводка 533x7 0"}));
    const QStringList cells = sheet.matching(QStringLiteral("cells"));
    ASSERT_EQ(cells.size(), 14 + 2 * 258);
    EXPECT_EQ(cells.mid(0, 15),
              (QStringList{"cells 1 Файл|tyu2.bmp", "cells 2 Путь|" + QDir::toNativeSeparators("/pictures/tyu2.bmp"),
                           "cells 3 Формат|BMP", "cells 4 Размер (ширина, высота)|2|2", "cells 5 Бит на точку|24",
                           "cells 6 Столбцы (первый, последний)|1|2", "cells 7 Строки (первая, последняя)|1|2",
                           "cells 8 Мера|Среднее, Яркость", "cells 9 Веса (R, G, B)|0.299|0.587|0.114",
                           "cells 10 Дата и время|01.05.2024 12:34:56",
                           "cells 11 Версия программы|Lumiset " + QString::fromLatin1(kVersionText),
                           "cells 13 Мера|Точек|Мин.|Макс.|Среднее|Ст. откл.|Медиана",
                           "cells 14 Среднее|4|0.33|254.67|69.415|123.830376860176|11.33",
                           "cells 15 Яркость|4|0.11|254.89|68.7975|124.329793526465|10.095",
                           "cells 17 Гистограмма: Среднее"}));
    EXPECT_EQ(cells.value(15), QStringLiteral("cells 18 От|До|Точек"));
    EXPECT_EQ(cells.value(17), QStringLiteral("cells 20 1.33|2.32|0")); // bars one hundredth-unit apart
    for (const int first : {16, 16 + 258}) {
        int points = 0;
        for (int i = first; i < first + 256; ++i)
            points += cells[i].section(QLatin1Char('|'), -1).toInt();
        EXPECT_EQ(points, 4) << first;
    }
    EXPECT_EQ(sheet.matching(QStringLiteral("chart")),
              (QStringList{"chart Гистограмма: Среднее 19:274 1,3 at 18,5",
                           "chart Гистограмма: Яркость 278:533 1,3 at 277,5"}));
    EXPECT_EQ(sheet.calls.mid(sheet.calls.size() - 4), (QStringList{"autofit", "save", "activate", "release"}));
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

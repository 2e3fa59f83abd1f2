// In-process side of bench/table_output.sh: loads a picture once, then times
// the table writers the CLI and the export window call, on one region with the
// luminance measure:
//   csv   writeCsv: values from the pixel tables, text, windows-1251, saved file
//   csv_bytes  csvBytes alone: the same file's bytes in memory
//   xlsx  prepareExportRequest (values and cell colours) + exportToSpreadsheet
//         into an XlsxWorkbook with filled cells
// Prints "csv_seconds S", "csv_bytes_seconds S" and "xlsx_seconds S" (medians), so the driver can put
// them beside the Python figures measured the same way.
//   bench_table_output IMAGE OUTDIR [columns rows] [csv_repeats] [xlsx_repeats]

#include "BenchSupport.h"

#include "image/PixelLoader.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/RecordingExportProgress.h"
#include "output/SpreadsheetExport.h"
#include "output/XlsxWorkbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace lumiset;

namespace {

// The median keeps one run disturbed by the other processes on the machine
// from moving the figure either way.
double medianSeconds(int runs, const std::function<bool()>& work)
{
    std::vector<double> times;
    if (runs < 1)
        return 0.0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!work())
            return -1.0;
        times.push_back(double(t.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_table_output IMAGE OUTDIR [columns rows] [csv_repeats] [xlsx_repeats]\n");
        return 2;
    }
    const int columns = args.size() > 4 ? args[3].toInt() : 256;
    const int rows = args.size() > 4 ? args[4].toInt() : 9000;
    const int csvRuns = args.size() > 5 ? args[5].toInt() : 7;
    const int xlsxRuns = args.size() > 6 ? args[6].toInt() : 3;
    const QDir out(args[2]);

    Workspace ws;
    const OpenOutcome opened = bench::openForBench(ws.image, args[1], true);
    if (opened != OpenOutcome::Bmp && opened != OpenOutcome::Tga) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(args[1]));
        return 1;
    }
    if (loadPixels(ws.image) != LoadResult::Loaded) {
        std::fprintf(stderr, "cannot read the pixels of %s\n", qPrintable(args[1]));
        return 1;
    }
    ws.image.ImageState = 2;
    const Selection region{1, columns, 1, rows}; // from, to columns; from, to rows
    ws.selection = region;
    ws.ColorPointCount = countColorPoints(ws.image, region);
    ws.BrightnessMeasure = MeasureLuminance;

    const QLocale locale = QLocale::c();
    const QString csvPath = out.filePath(QStringLiteral("lumiset.csv"));
    const double csv = medianSeconds(csvRuns, [&] {
        ws.selection = region;
        return writeCsv(ws, csvPath, locale) == CsvError::None;
    });
    // The bytes alone, without the file: the save flushes to the disk before it
    // replaces an earlier file, and that wait belongs to the disk, not the writer.
    const MeasureSettings m = measureSettings(ws);
    const QString name = QStringLiteral("bench.bmp");
    qsizetype bytes = 0;
    const double csvText = medianSeconds(csvRuns, [&] {
        bytes = csvBytes(ws.image, region, m, name, locale).size();
        return bytes > 0;
    });
    const QString xlsxPath = out.filePath(QStringLiteral("lumiset.xlsx"));
    const double xlsx = medianSeconds(xlsxRuns, [&] {
        ws.selection = region;
        if (prepareExportRequest(ws, true) != RegionError::None)
            return false;
        WorkbookTarget target;
        target.exactPath = xlsxPath;
        XlsxWorkbook book(target);
        RecordingExportProgress progress;
        return exportToSpreadsheet(ws, book, progress, locale) == SpreadsheetOutcome::Written;
    });
    if (csv < 0 || xlsx < 0) {
        std::fprintf(stderr, "an export failed\n");
        return 1;
    }
    std::printf("csv_seconds %.6f\ncsv_bytes_seconds %.6f\nxlsx_seconds %.6f\n", csv, csvText, xlsx);
    return 0;
}

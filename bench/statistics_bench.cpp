// What the statistics of a region cost. Prints, for an 8-bit colour picture
// (luminance) and a 16-bit grey one, the time of a CSV export and of a workbook
// export with the statistics counted in the same pass against the time
// without them, and the peak memory the standalone statistics take beyond the
// pixel tables of a 12000 x 9000 picture (measured in a child process, so
// that the peak is theirs alone). Times are the processor time of the whole
// process (the workbook is compressed on a helper thread), which a machine
// busy with other work disturbs far less than the clock on the wall.
//
// Usage: bench_statistics [--width=W --height=H] [--book-width=W --book-height=H] [--runs=N]
//        bench_statistics --memory 8|16      (the child: one line LUMISET_STATS_MEMORY ...)

#include "BenchSupport.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/RecordingExportProgress.h"
#include "output/RegionStatistics.h"
#include "output/SpreadsheetExport.h"
#include "output/XlsxWorkbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace lumiset;

namespace {

// Noisy gradients: every row differs, neighbouring points mostly differ too.
std::uint32_t nextNoise(std::uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

ImageStore colourPicture(int width, int height, bool wide)
{
    ImageStore s;
    s.FilePath = QStringLiteral("/bench/picture.png");
    if (wide) {
        s.FileSignature = QStringLiteral("QT");
        s.DecodedColourType = DecodedColour::Colour;
        s.BitsPerChannel = 16;
    } else {
        s.FileSignature = QStringLiteral("BM");
        s.BitsPerPixel = 24;
    }
    s.ImageWidth = width;
    s.ImageHeight = height;
    std::uint32_t state = 2463534242u;
    for (PixelPlane* p : {&s.PixelRed, &s.PixelGreen, &s.PixelBlue}) {
        p->resize(width, height, wide ? 2 : 1);
        p->allocate();
        for (int y = 1; y <= height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = (std::uint32_t(x) * 40503u + std::uint32_t(y) * 2654435u) / 4096u
                    + nextNoise(state) % 4096u;
                if (wide)
                    p->wordRow(y)[x] = std::uint16_t(v);
                else
                    p->row(y)[x] = std::uint8_t(v >> 4);
            }
    }
    s.ImageState = ImageState::PixelsLoaded;
    return s;
}

ImageStore greyPicture(int width, int height)
{
    ImageStore s;
    s.FilePath = QStringLiteral("/bench/grey.png");
    s.FileSignature = QStringLiteral("QT");
    s.DecodedColourType = DecodedColour::Grey;
    s.BitsPerChannel = 16;
    s.ImageWidth = width;
    s.ImageHeight = height;
    s.PixelRed.resize(width, height, 2);
    s.PixelRed.allocate();
    std::uint32_t state = 88172645u;
    for (int y = 1; y <= height; ++y)
        for (int x = 0; x < width; ++x)
            s.PixelRed.wordRow(y)[x] = std::uint16_t(x * 5 + y * 3 + int(nextNoise(state) % 2048u));
    s.ImageState = ImageState::PixelsLoaded;
    return s;
}

Workspace workspaceOn(ImageStore image, int width, int height, int measure)
{
    Workspace ws;
    ws.image = std::move(image);
    ws.selection = {1, width, 1, height};
    ws.measure.BrightnessMeasure = measure;
    ws.measure.ColorPointCount = countColorPoints(ws.image, ws.selection);
    prepareExportRequest(ws, false);
    return ws;
}

// Best of \a runs, with and without the statistics taken in turn so that the
// machine's drift falls on both alike.
template <class Export> std::pair<double, double> bestTimes(int runs, Export run)
{
    double plain = 1e300;
    double counted = 1e300;
    for (int i = 0; i < runs; ++i)
        for (const bool statistics : {false, true}) {
            const std::clock_t start = std::clock();
            run(statistics);
            double& best = statistics ? counted : plain;
            best = std::min(best, double(std::clock() - start) / CLOCKS_PER_SEC);
        }
    return {plain, counted};
}

void report(const char* what, std::pair<double, double> t)
{
    std::printf("%-40s without %7.3f s   with %7.3f s   ratio %.3f\n", what, t.first, t.second, t.second / t.first);
}

void timeExports(Workspace&& ws, const Workspace& bookWs, const char* name, int runs, const QString& folder)
{
    const QString csv = folder + QStringLiteral("/bench.csv");
    report((QByteArray(name) + " CSV").constData(), bestTimes(runs, [&](bool statistics) {
               RegionStatistics s;
               writeCsv(ws, csv, QLocale::c(), {}, {}, statistics ? &s : nullptr);
           }));
    report((QByteArray(name) + " workbook").constData(), bestTimes(runs, [&](bool statistics) {
               std::vector<RegionStatistics> s;
               XlsxWorkbook book({QString(), QString(), folder + QStringLiteral("/bench.xlsx")});
               RecordingExportProgress view;
               exportToSpreadsheet(bookWs, book, view, QLocale::c(), {}, {false, {}, statistics ? &s : nullptr});
           }));
}

int memoryChild(int bits)
{
    const int width = bench::kDefaultWidth;
    const int height = bench::kDefaultHeight;
    ImageStore image = colourPicture(width, height, bits == 16);
    const Selection all{1, width, 1, height};
    MeasureSettings m;
    m.ColorPointCount = countColorPoints(image, all);
    const std::int64_t baseline = bench::procStatusBytes("VmHWM");
    QElapsedTimer clock;
    clock.start();
    const auto results = regionStatistics(
        image, all, m, {MeasureRed, MeasureGreen, MeasureBlue, MeasureMean, MeasureMaximum, MeasureLuminance});
    const double seconds = clock.nsecsElapsed() / 1e9;
    const std::int64_t peak = bench::procStatusBytes("VmHWM");
    std::printf("LUMISET_STATS_MEMORY bits=%d measures=%zu baseline=%lld peak=%lld seconds=%.3f\n", bits,
                results ? results->size() : 0, (long long)baseline, (long long)peak, seconds);
    return results ? 0 : 1;
}

int intOption(const QStringList& args, const QString& name, int fallback)
{
    for (const QString& a : args)
        if (a.startsWith(name + QLatin1Char('=')))
            return a.mid(name.size() + 1).toInt();
    return fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--memory"))
        return memoryChild(args[2].toInt());

    const int width = intOption(args, QStringLiteral("--width"), 4000);
    const int height = intOption(args, QStringLiteral("--height"), 3000);
    const int bookWidth = intOption(args, QStringLiteral("--book-width"), 1000);
    const int bookHeight = intOption(args, QStringLiteral("--book-height"), 1000);
    const int runs = intOption(args, QStringLiteral("--runs"), 3);
    QTemporaryDir folder;
    std::printf("CSV of %d x %d points, workbook of %d x %d, best of %d runs\n", width, height, bookWidth, bookHeight,
                runs);
    timeExports(workspaceOn(colourPicture(width, height, false), width, height, MeasureLuminance),
                workspaceOn(colourPicture(bookWidth, bookHeight, false), bookWidth, bookHeight, MeasureLuminance),
                "8-bit colour, luminance", runs, folder.path());
    timeExports(workspaceOn(colourPicture(width, height, false), width, height, MeasureMean),
                workspaceOn(colourPicture(bookWidth, bookHeight, false), bookWidth, bookHeight, MeasureMean),
                "8-bit colour, mean", runs, folder.path());
    timeExports(workspaceOn(colourPicture(width, height, true), width, height, MeasureLuminance),
                workspaceOn(colourPicture(bookWidth, bookHeight, true), bookWidth, bookHeight, MeasureLuminance),
                "16-bit colour, luminance", runs, folder.path());
    timeExports(workspaceOn(greyPicture(width, height), width, height, MeasureRed),
                workspaceOn(greyPicture(bookWidth, bookHeight), bookWidth, bookHeight, MeasureRed), "16-bit grey", runs,
                folder.path());

    for (const char* bits : {"8", "16"}) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), QString::fromLatin1(bits)});
        child.waitForFinished(-1);
        const QString line = QString::fromLatin1(child.readAllStandardOutput()).trimmed();
        const auto field = [&](const char* name) {
            for (const QString& part : line.split(QLatin1Char(' ')))
                if (part.startsWith(QLatin1String(name) + QLatin1Char('=')))
                    return part.mid(int(qstrlen(name)) + 1).toDouble();
            return -1.0;
        };
        std::printf("statistics of all six measures over %d x %d, %s-bit colour: %.1f MiB beyond the pixel tables, "
                    "%.2f s\n",
                    bench::kDefaultWidth, bench::kDefaultHeight, bits, (field("peak") - field("baseline")) / 1048576.0,
                    field("seconds"));
    }
    return 0;
}

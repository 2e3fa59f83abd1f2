// Table files of a whole large picture: the long layout (a line per point) in
// time and peak memory beyond the pixel tables, and the UTF-8 table file
// against the windows-1251 one. Prints seconds, MB/s, MiB and ratios.
//   bench_long_csv [width height]   (default 12000 × 9000, 24-bit)
// The long file of the default picture takes about 3 GB in a temporary folder
// under $TMPDIR (or /tmp); every file is removed when it has been measured.

#include "BenchSupport.h"

#include "image/PixelLoader.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <fstream>

using namespace lumiset;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kFlatMiB = 16.0; // what a streamed write may hold beyond the tables
constexpr int kRepetitions = 3;

// Starts a new peak of the resident size where the system allows it (Linux
// since 4.0), so that the peak measured next belongs to the write alone.
bool resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear.flush());
}

/// Resident size once the picture's tables are loaded, before any write.
double residentBeforeWrites = -1;

struct Written {
    double seconds = 0;
    double cpuSeconds = 0; ///< this process's processor time: the writer's own work, without waiting for the disk
    double megabytes = 0;
    double peakMiB = -1; ///< peak resident size during the write beyond residentBeforeWrites
};

Written writeOnce(Workspace& ws, const QString& path)
{
#ifdef __GLIBC__
    malloc_trim(0); // what an earlier write freed goes back, so it is not counted again
#endif
    const bool peakReset = resetPeak();
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpu = std::clock();
    const CsvError error = writeCsv(ws, path, QLocale(QLocale::Russian, QLocale::Russia));
    Written w;
    w.cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    w.seconds = double(clock.nsecsElapsed()) / 1e9;
    if (error != CsvError::None) {
        std::fprintf(stderr, "the write failed (%d)\n", int(error));
        std::exit(1);
    }
    w.megabytes = double(QFileInfo(path).size()) / 1e6;
    if (peakReset && residentBeforeWrites > 0)
        w.peakMiB = (double(bench::procStatusBytes("VmHWM")) - residentBeforeWrites) / kMiB;
    QFile::remove(path);
    return w;
}

Written bestOf(int runs, Workspace& ws, const QString& path)
{
    Written best;
    best.seconds = 1e300;
    for (int i = 0; i < runs; ++i) {
        const Written w = writeOnce(ws, path);
        best.peakMiB = std::max(best.peakMiB, w.peakMiB);
        if (w.seconds < best.seconds) {
            best.seconds = w.seconds;
            best.cpuSeconds = w.cpuSeconds;
            best.megabytes = w.megabytes;
        }
    }
    return best;
}

void report(const char* what, const Written& w)
{
    std::printf("%-30s %6.2f s (processor %6.2f s)  %5.0f MB  %4.0f MB/s  peak +%.1f MiB%s\n", what, w.seconds,
                w.cpuSeconds, w.megabytes, w.megabytes / w.seconds, w.peakMiB, w.peakMiB < 0 ? " (not measured)" : "");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : bench::kDefaultWidth;
    const int height = argc > 2 ? std::atoi(argv[2]) : bench::kDefaultHeight;

    QTemporaryDir dir;
    const QString picture = QDir(dir.path()).filePath(QStringLiteral("big.bmp"));
    if (!bench::writeGradientBmp(picture, width, height)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(picture));
        return 1;
    }
    Workspace ws;
    bench::openForBench(ws.image, picture, false);
    if (loadPixels(ws.image) != LoadResult::Loaded) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(picture));
        return 1;
    }
    QFile::remove(picture);
    ws.selection = {1, width, 1, height};
    ws.measure.ColorPointCount = countColorPoints(ws.image, ws.selection);
    const double tablesMiB = 3.0 * width * height / kMiB;
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    residentBeforeWrites = double(bench::procStatusBytes("VmRSS"));
    std::printf("picture %d x %d, 24-bit, pixel tables %.0f MiB, resident before the writes %.0f MiB;\n"
                "peaks are the resident size during a write beyond that\n",
                width, height, tablesMiB, residentBeforeWrites / kMiB);
    const QString csv = QDir(dir.path()).filePath(QStringLiteral("out.csv"));

    // Table layout, red component: windows-1251 against UTF-8, alternately.
    ws.measure.BrightnessMeasure = MeasureRed;
    const Written cp1251 = bestOf(kRepetitions, ws, csv);
    ws.output.csvEncoding = CsvEncoding::Utf8;
    const Written utf8 = bestOf(kRepetitions, ws, csv);
    report("table, red, windows-1251", cp1251);
    report("table, red, UTF-8", utf8);
    std::printf("UTF-8 / windows-1251: time %.3f, processor time %.3f\n", utf8.seconds / cp1251.seconds,
                utf8.cpuSeconds / cp1251.cpuSeconds);

    // Long layout: X;Y;R;G;B and the measure, a line per point.
    ws.output = {TableLayout::Long, CsvEncoding::Windows1251};
    const Written longRed = writeOnce(ws, csv);
    report("long, red, windows-1251", longRed);
    ws.measure.BrightnessMeasure = MeasureLuminance;
    const Written longLuma = writeOnce(ws, csv);
    report("long, luminance, windows-1251", longLuma);
    ws.output.csvEncoding = CsvEncoding::Utf8;
    const Written longUtf8 = writeOnce(ws, csv);
    report("long, luminance, UTF-8", longUtf8);
    std::printf("long / table (red): time %.2f, processor time %.2f, bytes %.2f\n", longRed.seconds / cp1251.seconds,
                longRed.cpuSeconds / cp1251.cpuSeconds, longRed.megabytes / cp1251.megabytes);

    const double peak = std::max({longRed.peakMiB, longLuma.peakMiB, longUtf8.peakMiB});
    if (peak >= 0)
        std::printf("long layout peak beyond the resident size before the writes: %.1f MiB (goal: under %.0f MiB) %s\n",
                    peak, kFlatMiB, peak < kFlatMiB ? "ok" : "OVER");
    return 0;
}

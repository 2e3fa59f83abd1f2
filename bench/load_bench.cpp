// Loading-path benchmarks on one large 24-bit BMP, generated at start-up in a
// temporary folder. Every figure is printed as a ratio against something measured
// in the same run on the same machine (Qt's own reader, a plain read of the file),
// so the verdicts do not depend on how fast the machine is.
//
// Extra options (after Google Benchmark's own):
//   --width=N --height=N   size of the generated picture (default 12000 × 9000)
//   --file=PATH            use an existing 24-bit BMP instead of generating one
//   --no-memory            skip the peak-memory child

#include "BenchSupport.h"
#include "image/PixelLoader.h"
#include "image/RecordingOpenView.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace lumiset;

namespace {

// Targets of the loading path.
constexpr double kLoaderVsQtMax = 0.8;      // loader time / QImageReader time
constexpr double kStageOneMaxSeconds = 0.3; // report and preview of the large picture
constexpr double kPeakBytesPerPixel = 3.0;  // the three tables...
constexpr double kPeakOverheadMiB = 64.0;   // ...plus this much for everything else

QString g_path;
bool g_generated = false; // g_path is the gradient written at start-up
int g_qtDefaultLimitMiB = 128;

// Seconds per iteration of every finished repetition, by benchmark function name:
// wall-clock, and CPU time of the benchmark thread (user and kernel), which other
// programs on a shared machine disturb much less.
std::map<std::string, std::vector<double>> g_seconds;
std::map<std::string, std::vector<double>> g_cpuSeconds;

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                g_seconds[run.run_name.function_name].push_back(run.real_accumulated_time / double(run.iterations));
                g_cpuSeconds[run.run_name.function_name].push_back(run.cpu_accumulated_time / double(run.iterations));
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double medianOf(const char* name, const std::map<std::string, std::vector<double>>& runs = g_seconds)
{
    const auto it = runs.find(name);
    return it == runs.end() ? -1 : median(it->second);
}

// ---------------------------------------------------------------------------
// The floor: the bytes of the file, read and thrown away.

void BM_Floor_ReadLoop(benchmark::State& state)
{
    std::int64_t bytes = 0;
    for (auto _ : state) {
        bytes = bench::readWholeFile(g_path);
        if (bytes <= 0) {
            state.SkipWithError("cannot read the picture file");
            return;
        }
    }
    state.SetBytesProcessed(bytes * std::int64_t(state.iterations()));
}

// ---------------------------------------------------------------------------
// This program's loader: stage one once, then stage two from empty tables.

void BM_Lumiset_LoadPixels(benchmark::State& state)
{
    ImageStore store;
    if (bench::openForBench(store, g_path, false) != OpenOutcome::Bmp || store.BitsPerPixel != 24) {
        state.SkipWithError("the picture did not open as a 24-bit BMP");
        return;
    }
    for (auto _ : state) {
        const LoadResult result = loadPixels(store);
        state.PauseTiming();
        if (result != LoadResult::Loaded) {
            state.SkipWithError("loadPixels did not load the picture");
            return;
        }
        benchmark::DoNotOptimize(store.PixelRed.row(1));
        // A fast loader is worth nothing if it gets the pixels wrong; the check is
        // only possible on the picture this program generated.
        if (g_generated && !bench::tablesHoldGradient(store)) {
            state.SkipWithError("the loaded tables do not hold the generated picture");
            return;
        }
        // Tables released outside the timed region: every load allocates and
        // touches fresh memory, as when a new file is opened.
        bench::releasePlanes(store);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(std::int64_t(store.ImageWidth) * store.ImageHeight * std::int64_t(state.iterations()));
}

// ---------------------------------------------------------------------------
// Qt's own reader of the same file, with its allocation limit lifted so that it
// accepts the picture at all.

void BM_Qt_QImageReader(benchmark::State& state)
{
    QImageReader::setAllocationLimit(0);
    qint64 pixels = 0;
    for (auto _ : state) {
        QImageReader reader(g_path);
        QImage image = reader.read();
        state.PauseTiming();
        if (image.isNull()) {
            QImageReader::setAllocationLimit(g_qtDefaultLimitMiB);
            state.SkipWithError(qPrintable(QStringLiteral("QImageReader failed: ") + reader.errorString()));
            return;
        }
        pixels = qint64(image.width()) * image.height();
        benchmark::DoNotOptimize(image.constBits());
        image = QImage(); // freed outside the timed region, like the loader's tables
        state.ResumeTiming();
    }
    QImageReader::setAllocationLimit(g_qtDefaultLimitMiB);
    state.SetItemsProcessed(pixels * std::int64_t(state.iterations()));
}

// ---------------------------------------------------------------------------
// Stage one with the "show file" box ticked: header, report and preview, under
// Qt's default allocation limit as the program runs.

QString g_stageOnePath; // which preview stage one produced, for the summary

void BM_StageOne_ShowFile(benchmark::State& state)
{
    QImageReader::setAllocationLimit(g_qtDefaultLimitMiB);
    ImageStore store;
    for (auto _ : state) {
        RecordingOpenView view;
        view.showFile = true;
        const QFileInfo info(g_path);
        const OpenOutcome outcome = openCommand(store, view, info.absolutePath(), info.fileName());
        state.PauseTiming();
        if (outcome != OpenOutcome::Bmp) {
            state.SkipWithError("the picture did not open as a BMP");
            return;
        }
        g_stageOnePath = view.drawnVisible ? QStringLiteral("point-by-point preview")
            : !view.pictureBox.isNull()    ? QStringLiteral("Qt-decoded picture")
                                           : QStringLiteral("no preview");
        state.ResumeTiming();
    }
}

// Stage one as it would run if the program lifted Qt's allocation limit: the
// whole picture is decoded by Qt only to be shrunk into the preview band. Not a
// target; it shows what the limit is saving.
void BM_StageOne_ShowFile_QtLimitLifted(benchmark::State& state)
{
    QImageReader::setAllocationLimit(0);
    ImageStore store;
    for (auto _ : state) {
        RecordingOpenView view;
        view.showFile = true;
        const QFileInfo info(g_path);
        benchmark::DoNotOptimize(openCommand(store, view, info.absolutePath(), info.fileName()));
    }
    QImageReader::setAllocationLimit(g_qtDefaultLimitMiB);
}

struct MemoryFigures {
    bool ok = false;
    double pixels = 0;
    double baseline = 0;
    double peak = 0;
    QString note;
};

MemoryFigures measurePeakInChild()
{
    MemoryFigures m;
#ifdef __linux__
    const QString exe = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_load_memory");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(exe, {g_path});
    if (!child.waitForFinished(10 * 60 * 1000)) {
        m.note = QStringLiteral("cannot run ") + exe + QStringLiteral(": ") + child.errorString();
        return m;
    }
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    static const QRegularExpression re(
        QStringLiteral("LUMISET_MEMORY pixels=(\\d+) baseline=(-?\\d+) peak=(-?\\d+) result=(\\d+)"));
    const QRegularExpressionMatch match = re.match(out);
    if (!match.hasMatch() || child.exitCode() != 0) {
        m.note = QStringLiteral("bench_load_memory failed: ") + out.trimmed();
        return m;
    }
    m.pixels = match.captured(1).toDouble();
    m.baseline = match.captured(2).toDouble();
    m.peak = match.captured(3).toDouble();
    m.ok = m.pixels > 0 && m.peak > 0;
#else
    m.note = QStringLiteral("peak memory is measured on Linux only");
#endif
    return m;
}

const char* verdict(bool pass)
{
    return pass ? "PASS" : "FAIL";
}

void printRow(const char* what, const QString& value, const char* target, const char* outcome)
{
    std::printf("%-46s %14s %12s %8s\n", what, qPrintable(value), target, outcome);
}

QString ms(double seconds)
{
    return seconds < 0 ? QStringLiteral("not run") : QString::number(seconds * 1e3, 'f', 1) + QStringLiteral(" ms");
}

QString ratio(double a, double b)
{
    return a < 0 || b <= 0 ? QStringLiteral("n/a") : QString::number(a / b, 'f', 3);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Stage one asks Qt for the whole picture first; Qt's refusal of a picture over
    // its limit is expected here and would only flood the output.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.warning=false"));

    // Repetitions of the loader and of Qt are interleaved unless told otherwise, so
    // that a burst of load from other programs hits both sides alike.
    std::vector<char*> args(argv, argv + argc);
    bool interleaveGiven = false;
    for (int i = 1; i < argc; ++i)
        interleaveGiven |= std::string(argv[i]).rfind("--benchmark_enable_random_interleaving", 0) == 0;
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (!interleaveGiven)
        args.insert(args.begin() + 1, interleave);
    int benchArgc = int(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    int width = bench::kDefaultWidth;
    int height = bench::kDefaultHeight;
    QString existing;
    bool memory = true;
    for (int i = 1; i < benchArgc; ++i) {
        const QString a = QString::fromLocal8Bit(args[std::size_t(i)]);
        if (a.startsWith(QLatin1String("--width=")))
            width = a.mid(8).toInt();
        else if (a.startsWith(QLatin1String("--height=")))
            height = a.mid(9).toInt();
        else if (a.startsWith(QLatin1String("--file=")))
            existing = a.mid(7);
        else if (a == QLatin1String("--no-memory"))
            memory = false;
        else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(a));
            return 2;
        }
    }

    g_qtDefaultLimitMiB = QImageReader::allocationLimit();

    QTemporaryDir dir; // removed with everything in it when the run ends
    if (existing.isEmpty()) {
        if (!dir.isValid()) {
            std::fprintf(stderr, "cannot create a temporary folder\n");
            return 1;
        }
        g_path = dir.filePath(QStringLiteral("gradient-%1x%2.bmp").arg(width).arg(height));
        QElapsedTimer t;
        t.start();
        if (!bench::writeGradientBmp(g_path, width, height)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(g_path));
            return 1;
        }
        g_generated = true;
        std::printf("Generated %s (%d x %d, %lld bytes) in %.2f s\n", qPrintable(g_path), width, height,
                    (long long)QFileInfo(g_path).size(), t.elapsed() / 1000.0);
    } else {
        g_path = QFileInfo(existing).absoluteFilePath();
        ImageStore probe;
        bench::openForBench(probe, g_path, false);
        width = probe.ImageWidth;
        height = probe.ImageHeight;
    }

    // Puts the file in the page cache, so every reader below starts from the same place.
    bench::readWholeFile(g_path);
    bench::readWholeFile(g_path);

    // The very first open of the process pays for Qt's one-time set-up (image
    // format plugins); shown apart from the steady figure.
    double firstStageOne = -1;
    {
        ImageStore store;
        QElapsedTimer t;
        t.start();
        bench::openForBench(store, g_path, true);
        firstStageOne = t.nsecsElapsed() / 1e9;
    }

    benchmark::RegisterBenchmark("BM_Floor_ReadLoop", BM_Floor_ReadLoop)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2)
        ->Repetitions(5);
    benchmark::RegisterBenchmark("BM_Lumiset_LoadPixels", BM_Lumiset_LoadPixels)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2)
        ->Repetitions(5);
    benchmark::RegisterBenchmark("BM_Qt_QImageReader", BM_Qt_QImageReader)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2)
        ->Repetitions(5);
    benchmark::RegisterBenchmark("BM_StageOne_ShowFile", BM_StageOne_ShowFile)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.5)
        ->Repetitions(3);
    benchmark::RegisterBenchmark("BM_StageOne_ShowFile_QtLimitLifted", BM_StageOne_ShowFile_QtLimitLifted)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(1);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    MemoryFigures mem;
    if (memory)
        mem = measurePeakInChild();

    const double floorS = medianOf("BM_Floor_ReadLoop");
    const double loadS = medianOf("BM_Lumiset_LoadPixels");
    const double qtS = medianOf("BM_Qt_QImageReader");
    const double floorCpu = medianOf("BM_Floor_ReadLoop", g_cpuSeconds);
    const double loadCpu = medianOf("BM_Lumiset_LoadPixels", g_cpuSeconds);
    const double qtCpu = medianOf("BM_Qt_QImageReader", g_cpuSeconds);
    const double stageS = medianOf("BM_StageOne_ShowFile");
    const double liftedS = medianOf("BM_StageOne_ShowFile_QtLimitLifted");

    std::printf("\nLumiset loading summary: %s, %d x %d, 24-bit, in the page cache\n",
                qPrintable(QFileInfo(g_path).fileName()), width, height);
    std::printf("Medians of the repetitions. Floor = this process reading the file with read() into a 1 MiB buffer.\n");
    std::printf("%-46s %14s %12s %8s\n", "measure", "value", "target", "verdict");
    printRow("floor: read the file", ms(floorS), "", "");
    printRow("loadPixels (stage two, fresh tables)", ms(loadS), "", "");
    printRow("QImageReader::read (limit lifted)", ms(qtS), "", "");
    if (loadS > 0 && qtS > 0)
        printRow("loader / QImageReader (wall clock)", ratio(loadS, qtS), "<= 0.800",
                 verdict(loadS / qtS <= kLoaderVsQtMax));
    else
        printRow("loader / QImageReader (wall clock)", QStringLiteral("n/a"), "<= 0.800", "not run");
    printRow("loader / QImageReader (thread CPU time)", ratio(loadCpu, qtCpu), "(same)", "");
    printRow("loader / floor", ratio(loadS, floorS), "", "");
    printRow("QImageReader / floor", ratio(qtS, floorS), "", "");
    printRow("loader / floor (thread CPU time)", ratio(loadCpu, floorCpu), "", "");

    if (mem.ok) {
        const double mib = 1024.0 * 1024.0;
        const double budget = kPeakBytesPerPixel * mem.pixels + kPeakOverheadMiB * mib;
        printRow("peak RSS while loading (VmHWM)", QString::number(mem.peak / mib, 'f', 1) + QStringLiteral(" MiB"), "",
                 "");
        printRow("  peak before loading (after stage one)",
                 QString::number(mem.baseline / mib, 'f', 1) + QStringLiteral(" MiB"), "", "");
        printRow("peak bytes per pixel", QString::number(mem.peak / mem.pixels, 'f', 3), "", "");
        printRow("peak - 3 B/px (overhead)",
                 QString::number((mem.peak - kPeakBytesPerPixel * mem.pixels) / mib, 'f', 1) + QStringLiteral(" MiB"),
                 "<= 64 MiB", verdict(mem.peak <= budget));
        printRow("peak / (3 B/px + 64 MiB)", ratio(mem.peak, budget), "<= 1.000", "");
    } else {
        printRow("peak RSS while loading", QStringLiteral("n/a"), "3 B/px+64M", memory ? "FAIL" : "not run");
        if (!mem.note.isEmpty())
            std::printf("  (%s)\n", qPrintable(mem.note));
    }

    if (stageS >= 0) {
        printRow("stage one, show file ticked", QString::number(stageS, 'f', 4) + QStringLiteral(" s"), "< 0.300 s",
                 verdict(stageS < kStageOneMaxSeconds));
        printRow("stage one / 0.3 s", ratio(stageS, kStageOneMaxSeconds), "< 1.000", "");
        printRow("  preview drawn as", g_stageOnePath, "", "");
    } else {
        printRow("stage one, show file ticked", QStringLiteral("not run"), "< 0.300 s", "not run");
    }
    printRow("stage one, first open of the process", QString::number(firstStageOne, 'f', 4) + QStringLiteral(" s"), "",
             "");
    if (liftedS > 0)
        printRow("stage one if Qt's limit were lifted (info)", QString::number(liftedS, 'f', 4) + QStringLiteral(" s"),
                 "", "");
    return 0;
}

// Pictures that Qt's readers decode: the table fill of a large PNG against Qt's
// own QImageReader::read of the same file, the peak memory of that fill, and the
// first preview of a large JPEG. The pictures are written at start-up with
// QImageWriter into a temporary folder. Every speed figure is a ratio against
// something measured in the same run, or a time against its target.
//
// Options: --width=N --height=N (the PNG, default 12000 × 9000),
//          --jpeg-width=N --jpeg-height=N (default 6000 × 4000), --no-memory.

#include "BenchSupport.h"
#include "image/PixelLoader.h"
#include "image/RecordingOpenView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace lumiset;

namespace {

constexpr double kFillVsQtMax = 1.15;    // table fill / QImageReader::read
constexpr double kFirstPreviewMax = 0.3; // seconds, JPEG report and preview
constexpr double kOverheadMiB = 64.0;    // peak beyond decoded picture and tables
constexpr int kRepetitions = 3;

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

QImage gradientPicture(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y) {
        if (format == QImage::Format_Grayscale16) {
            auto* line = reinterpret_cast<quint16*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) // every low byte used, no two rows alike
                line[x] = quint16((qint64(x) * 65535 / std::max(1, width - 1)) ^ (y & 0xff));
        } else {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                const auto c = bench::gradientColour(x, y, width, height);
                std::copy(c.begin(), c.end(), line + 3 * x);
            }
        }
    }
    return image;
}

bool writePicture(const QString& path, const QImage& image, int quality = -1)
{
    QImageWriter writer(path);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool opened(OpenOutcome outcome)
{
    switch (outcome) {
    case OpenOutcome::NothingSelected:
    case OpenOutcome::EmptyFile:
    case OpenOutcome::UnknownFormat:
    case OpenOutcome::Ignored:
    case OpenOutcome::CannotOpen: return false;
    default: return true;
    }
}

struct FillFigures {
    double fill = -1, qt = -1;
    double fillCpu = -1, qtCpu = -1; // process CPU time, which the other programs of a shared machine disturb less
    bool exact = true;
};

// Interleaved repetitions of the fill (stage one outside the timing) and of Qt.
FillFigures timeFill(const QString& path, bool checkGradient)
{
    FillFigures f;
    std::vector<double> fills, qts, fillCpus, qtCpus;
    const auto cpuSince = [](std::clock_t start) { return double(std::clock() - start) / CLOCKS_PER_SEC; };
    for (int i = 0; i < kRepetitions; ++i) {
        ImageStore store;
        if (!opened(bench::openForBench(store, path, false)))
            return f;
        QElapsedTimer t;
        t.start();
        std::clock_t cpu = std::clock();
        const LoadResult result = loadPixels(store);
        fills.push_back(t.nsecsElapsed() / 1e9);
        fillCpus.push_back(cpuSince(cpu));
        if (result != LoadResult::Loaded)
            return f;
        if (checkGradient)
            f.exact = f.exact && bench::tablesHoldGradient(store);
        bench::releasePlanes(store);

        QImageReader::setAllocationLimit(0);
        t.restart();
        cpu = std::clock();
        QImageReader reader(path);
        QImage image = reader.read();
        qts.push_back(t.nsecsElapsed() / 1e9);
        qtCpus.push_back(cpuSince(cpu));
        if (image.isNull())
            return f;
    }
    f.fill = medianOf(fills);
    f.qt = medianOf(qts);
    f.fillCpu = medianOf(fillCpus);
    f.qtCpu = medianOf(qtCpus);
    return f;
}

// The child process prints the peak resident size of loading the file alone.
bool peakOfLoad(const QString& path, double& pixels, double& peak)
{
#ifdef __linux__
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_load_memory"), {path});
    if (!child.waitForFinished(10 * 60 * 1000) || child.exitCode() != 0)
        return false;
    static const QRegularExpression re(QStringLiteral("pixels=(\\d+) baseline=(-?\\d+) peak=(-?\\d+)"));
    const QRegularExpressionMatch m = re.match(QString::fromLocal8Bit(child.readAllStandardOutput()));
    pixels = m.captured(1).toDouble();
    peak = m.captured(3).toDouble();
    return m.hasMatch();
#else
    (void)path, (void)pixels, (void)peak;
    return false;
#endif
}

void printRow(const char* what, const QString& value, const char* target, const char* verdict)
{
    std::printf("%-48s %14s %14s %8s\n", what, qPrintable(value), target, verdict);
}

QString fixed(double v, int decimals = 3)
{
    return v < 0 ? QStringLiteral("n/a") : QString::number(v, 'f', decimals);
}

QString secondsText(double v, int decimals = 3)
{
    return v < 0 ? QStringLiteral("n/a") : fixed(v, decimals) + QStringLiteral(" s");
}

const char* verdict(bool known, bool pass)
{
    return !known ? "not run" : pass ? "PASS" : "FAIL";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.warning=false"));
    int width = bench::kDefaultWidth, height = bench::kDefaultHeight;
    int jpegWidth = 6000, jpegHeight = 4000;
    bool memory = true;
    for (const QString& a : app.arguments().mid(1)) {
        const auto number = [&a] { return a.mid(a.indexOf(u'=') + 1).toInt(); };
        if (a.startsWith(QLatin1String("--width=")))
            width = number();
        else if (a.startsWith(QLatin1String("--height=")))
            height = number();
        else if (a.startsWith(QLatin1String("--jpeg-width=")))
            jpegWidth = number();
        else if (a.startsWith(QLatin1String("--jpeg-height=")))
            jpegHeight = number();
        else if (a == QLatin1String("--no-memory"))
            memory = false;
        else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(a));
            return 2;
        }
    }
    const int qtDefaultLimit = QImageReader::allocationLimit();
    QTemporaryDir dir;
    const QString colourPng = dir.filePath(QStringLiteral("colour24.png"));
    const QString greyPng = dir.filePath(QStringLiteral("grey16.png"));
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    QElapsedTimer t;
    t.start();
    if (!dir.isValid() || !writePicture(colourPng, gradientPicture(width, height, QImage::Format_RGB888))
        || !writePicture(greyPng, gradientPicture(width, height, QImage::Format_Grayscale16))
        || !writePicture(jpeg, gradientPicture(jpegWidth, jpegHeight, QImage::Format_RGB888), 90))
        return 1;
    std::printf("Wrote %d x %d PNGs (24-bit colour, 16-bit grey) and a %d x %d JPEG in %.1f s\n", width, height,
                jpegWidth, jpegHeight, t.elapsed() / 1000.0);
    for (const QString& p : {colourPng, greyPng, jpeg}) // into the page cache
        bench::readWholeFile(p);

    // The first open of the process pays for loading Qt's JPEG plugin: that is
    // what the user waits for on the first file, so it is the figure that counts.
    double firstPreview = -1;
    std::vector<double> previews;
    bool previewShown = false;
    for (int i = 0; i < 1 + kRepetitions; ++i) {
        QImageReader::setAllocationLimit(qtDefaultLimit);
        ImageStore store;
        RecordingOpenView view;
        view.showFile = true;
        const QFileInfo info(jpeg);
        t.restart();
        const OpenOutcome outcome = openCommand(store, view, info.absolutePath(), info.fileName());
        const double s = t.nsecsElapsed() / 1e9;
        previewShown = opened(outcome) && !view.reportText.isEmpty()
            && (!view.pictureBox.isNull() || view.drawnVisible);
        if (i == 0)
            firstPreview = s;
        else
            previews.push_back(s);
    }

    const FillFigures colour = timeFill(colourPng, true);
    const FillFigures grey = timeFill(greyPng, false);
    QImageReader::setAllocationLimit(qtDefaultLimit);

    double pixels = 0, colourPeak = -1, greyPeak = -1;
    if (memory) {
        peakOfLoad(colourPng, pixels, colourPeak);
        peakOfLoad(greyPng, pixels, greyPeak);
    }

    std::printf("\nPictures decoded by Qt's readers, medians of %d interleaved repetitions\n", kRepetitions);
    std::printf("%-48s %14s %14s %8s\n", "measure", "value", "target", "verdict");
    const bool colourRun = colour.fill > 0 && colour.qt > 0;
    printRow("24-bit PNG: table fill", secondsText(colour.fill), "", "");
    printRow("24-bit PNG: QImageReader::read (limit lifted)", secondsText(colour.qt), "", "");
    printRow("24-bit PNG: fill / QImageReader", colourRun ? fixed(colour.fill / colour.qt) : QStringLiteral("n/a"),
             "<= 1.150", verdict(colourRun, colourRun && colour.fill / colour.qt <= kFillVsQtMax));
    printRow("24-bit PNG: fill / QImageReader (CPU time)",
             colour.qtCpu > 0 ? fixed(colour.fillCpu / colour.qtCpu) : QStringLiteral("n/a"), "(same)", "");
    printRow("24-bit PNG: tables hold the picture", colour.exact ? QStringLiteral("yes") : QStringLiteral("NO"), "",
             verdict(colourRun, colour.exact));
    const bool greyRun = grey.fill > 0 && grey.qt > 0;
    printRow("16-bit grey PNG: fill / QImageReader", greyRun ? fixed(grey.fill / grey.qt) : QStringLiteral("n/a"),
             "<= 1.150", verdict(greyRun, greyRun && grey.fill / grey.qt <= kFillVsQtMax));
    printRow("16-bit grey PNG: fill / QImageReader (CPU time)",
             grey.qtCpu > 0 ? fixed(grey.fillCpu / grey.qtCpu) : QStringLiteral("n/a"), "(same)", "");

    const double mib = 1024.0 * 1024.0;
    // Decoded as RGB32 (4 B/px) into 3 byte tables; grey as Grayscale16 into one word table.
    const struct {
        const char* name;
        double peak, decodedBytes, tableBytes;
    } peaks[] = {
        {"24-bit PNG: peak beyond decoded + tables", colourPeak, 4, 3},
        {"16-bit grey PNG: peak beyond decoded + tables", greyPeak, 2, 2},
    };
    for (const auto& p : peaks) {
        const bool known = p.peak > 0 && pixels > 0;
        const double beyond = (p.peak - (p.decodedBytes + p.tableBytes) * pixels) / mib;
        // Below zero when the decoder wrote into the tables and no decoded copy was made.
        printRow(p.name, known ? QString::number(beyond, 'f', 1) + QStringLiteral(" MiB") : QStringLiteral("n/a"),
                 "<= 64 MiB", verdict(known, beyond <= kOverheadMiB));
    }

    printRow("JPEG: first preview (report and preview)", secondsText(firstPreview, 4), "< 0.300 s",
             verdict(previewShown, firstPreview < kFirstPreviewMax));
    printRow("JPEG: first preview / 0.3 s", fixed(firstPreview / kFirstPreviewMax), "< 1.000", "");
    printRow("JPEG: later previews (median)", secondsText(medianOf(previews), 4), "", "");
    return 0;
}

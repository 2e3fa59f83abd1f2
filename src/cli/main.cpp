// lumiset-cli: the batch front end. Other programs parse its output, so every
// line and exit status is part of its contract.

#include "Version.h"
#include "image/ByteSource.h"
#include "image/OpenCommand.h"
#include "image/PixelLoader.h"
#include "image/RecordingOpenView.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/RecordingExportProgress.h"
#include "output/SelectionMath.h"
#include "output/SpreadsheetExport.h"
#include "output/XlsxWorkbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWriteFailed = 3;

const char* const kUsage = "Usage: lumiset-cli info IMAGE\n"
                           "       lumiset-cli export IMAGE [--from COL,ROW] [--to COL,ROW]\n"
                           "                   [--measure red|green|blue|mean|max|luma[,...]] [--weights R,G,B]\n"
                           "                   [--csv FILE] [--xlsx FILE] [--fill] [--locale NAME] [--progress]\n"
                           "       lumiset-cli --help\n"
                           "\n"
                           "info IMAGE   Opens IMAGE (BMP, TGA, PNG, JPEG, TIFF, GIF, WebP or PNM) as the\n"
                           "             Lumiset open window does with \"Показывать файл\" ticked and prints,\n"
                           "             in UTF-8 with LF line ends:\n"
                           "               the file report, one line per line;\n"
                           "               a line \"--\";\n"
                           "               \"size: \" and the size label;\n"
                           "               \"notice: \" and the notice, when one is shown;\n"
                           "               \"message: \" title \" | \" text, for each message box, in order;\n"
                           "               \"export: yes\" or \"export: no\": whether the picture can be exported.\n"
                           "             Line breaks inside a notice or message are written as \" | \".\n"
                           "\n"
                           "Exit status: 0 the file was opened (whatever its kind), 1 it cannot be opened\n"
                           "at all (the reason goes to standard error), 2 usage error.\n"
                           "\n"
                           "export IMAGE  Opens IMAGE as info does, reads its pixels and writes the region\n"
                           "             as the Lumiset export window does:\n"
                           "  --from COL,ROW  first point, 1-based, row 1 at the top (default 1,1)\n"
                           "  --to COL,ROW    last point, inclusive (default: 20,20 or the picture's edge)\n"
                           "  --measure M     red, green, blue, mean, max or luma (default: mean for\n"
                           "                  8-bit pictures, red for 24-bit ones); a grey region always\n"
                           "                  writes the red component; with --xlsx a comma-separated\n"
                           "                  list writes one worksheet per measure (Красный, Зелёный,\n"
                           "                  Синий, Среднее, Максимум, Яркость)\n"
                           "  --weights R,G,B luminance weights, \".\" or \",\" as decimal separator\n"
                           "                  (default 0.299,0.587,0.114; quote them when using \",\")\n"
                           "  --csv FILE      the semicolon-separated file of the CSV button (windows-1251,\n"
                           "                  CR LF), naming the picture's file in its first description line\n"
                           "  --xlsx FILE     the worksheet of the spreadsheet export, written to FILE and\n"
                           "                  not opened\n"
                           "  --fill          colour the worksheet's cells like their points\n"
                           "  --locale NAME   locale whose decimal separator is used, e.g. ru_RU, en_US\n"
                           "                  (default: the user's locale)\n"
                           "  --progress      print a progress line to standard error during long writes\n"
                           "Exit status: 0 written, 1 the picture cannot be exported (reason on standard\n"
                           "error), 2 usage error or a region outside the picture, first after last or\n"
                           "wider than 16384 columns, a measure list with --csv, 3 an output file could\n"
                           "not be written.\n";

void print(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

QString oneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
}

// Runs the open command on \a path with "Показывать файл" ticked (or, for an
// export, unticked: the preview is not decoded). False, with the reason on
// standard error, when the file cannot be opened at all.
bool openAsTheWindowDoes(const QString& path, lumiset::ImageStore& store, lumiset::RecordingOpenView& view,
                         bool showFile = true)
{
    QFile probe(path);
    const QFileInfo fi(path);
    if (fi.isDir() || !probe.open(QIODevice::ReadOnly)) {
        const QString reason = fi.isDir() ? QStringLiteral("is a folder") : probe.errorString();
        std::fprintf(stderr, "lumiset-cli: cannot open %s: %s\n", qPrintable(path), qPrintable(reason));
        return false;
    }
    probe.close();
    view.showFile = showFile;
    lumiset::openCommand(store, view, fi.path(), fi.fileName());
    return true;
}

int info(const QString& path)
{
    lumiset::ImageStore store;
    lumiset::RecordingOpenView view;
    if (!openAsTheWindowDoes(path, store, view))
        return kExitCannotOpen;

    for (const QString& line : view.reportLines())
        print(line);
    print(QStringLiteral("--"));
    print(QStringLiteral("size: ") + view.labelText(lumiset::OpenLabel::SizeCaption));
    const auto& notice = view.label(lumiset::OpenLabel::Notice);
    if (notice.visible)
        print(QStringLiteral("notice: ") + oneLine(notice.text));
    for (const auto& m : view.messages)
        print(QStringLiteral("message: ") + oneLine(m.title) + QStringLiteral(" | ") + oneLine(m.text));
    print(view.exportEnabled() ? QStringLiteral("export: yes") : QStringLiteral("export: no"));
    return kExitOk;
}

int usageError(const QString& message)
{
    std::fprintf(stderr, "lumiset-cli: %s\n", qPrintable(message));
    return kExitUsage;
}

// "COL,ROW" as two whole numbers.
bool parsePoint(const QString& text, int& column, int& row)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return false;
    bool okColumn = false;
    bool okRow = false;
    column = parts[0].trimmed().toInt(&okColumn);
    row = parts[1].trimmed().toInt(&okRow);
    return okColumn && okRow;
}

// "R,G,B". Decimal commas make that list ambiguous, so six comma-separated
// parts are read as three weights with decimal commas ("0,3,0,5,0,2"), and the
// weights may be separated by ";" instead.
bool parseWeights(const QString& text, float (&weights)[3])
{
    QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() != 3) {
        const QStringList commaParts = text.split(QLatin1Char(','));
        if (commaParts.size() == 3)
            parts = commaParts;
        else if (commaParts.size() == 6)
            parts = {commaParts[0] + QLatin1Char(',') + commaParts[1], commaParts[2] + QLatin1Char(',') + commaParts[3],
                     commaParts[4] + QLatin1Char(',') + commaParts[5]};
        else
            return false;
    }
    for (int i = 0; i < 3; ++i) {
        const lumiset::ParsedWeight w = lumiset::parseWeight(parts[i]);
        if (w.kind != lumiset::WeightInput::Number)
            return false;
        weights[i] = w.value;
    }
    return true;
}

// The reason the export command stays disabled, from what the open window showed.
QString refusalReason(const lumiset::RecordingOpenView& view)
{
    if (!view.messages.isEmpty())
        return oneLine(view.messages.last().text);
    const auto& notice = view.label(lumiset::OpenLabel::Notice);
    if (notice.visible && !notice.text.isEmpty())
        return oneLine(notice.text);
    return QStringLiteral("the picture cannot be exported");
}

// "progress: 42 %, 12 s left" on standard error, at most twice a second and
// only once the write has run for a second.
class ProgressLine {
public:
    explicit ProgressLine(bool on) : on_(on) { clock_.start(); }
    void show(double fraction)
    {
        const qint64 now = clock_.elapsed();
        if (!on_ || now < 1000 || now - last_ < 500 || fraction <= 0)
            return;
        last_ = now;
        const qint64 left = qint64(double(now) * (1 - fraction) / fraction / 1000.0 + 0.5);
        std::fprintf(stderr, "progress: %d %%, %lld s left\n", int(fraction * 100), static_cast<long long>(left));
    }

private:
    bool on_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
};

// The open window's progress strip, seen through the line above.
class StripProgress : public lumiset::RecordingExportProgress {
public:
    explicit StripProgress(bool on) : line_(on) { clock_.start(); }
    qint64 nowMilliseconds() override { return clock_.elapsed(); }
    void setProgressWidth(int width) override
    {
        if (width > 1)
            line_.show(double(width) / lumiset::kProgressBarWidth);
    }

private:
    ProgressLine line_;
    QElapsedTimer clock_;
};

int exportCommand(const QStringList& args)
{
    const QString path = args.value(0);
    int fromColumn = 1, fromRow = 1, toColumn = 0, toRow = 0;
    bool haveFrom = false, haveTo = false, fill = false, haveWeights = false, progress = false;
    QString measureName, csvPath, xlsxPath, localeName;
    float weights[3] = {0.299f, 0.587f, 0.114f};
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--fill")) {
            fill = true;
        } else if (a == QLatin1String("--progress")) {
            progress = true;
        } else if (!hasValue) {
            return usageError(QStringLiteral("missing value or unknown option: ") + a);
        } else if (a == QLatin1String("--from")) {
            if (!parsePoint(args[++i], fromColumn, fromRow))
                return usageError(QStringLiteral("--from wants COL,ROW"));
            haveFrom = true;
        } else if (a == QLatin1String("--to")) {
            if (!parsePoint(args[++i], toColumn, toRow))
                return usageError(QStringLiteral("--to wants COL,ROW"));
            haveTo = true;
        } else if (a == QLatin1String("--measure")) {
            measureName = args[++i];
        } else if (a == QLatin1String("--weights")) {
            if (!parseWeights(args[++i], weights))
                return usageError(QStringLiteral("--weights wants three numbers R,G,B"));
            haveWeights = true;
        } else if (a == QLatin1String("--csv")) {
            csvPath = args[++i];
        } else if (a == QLatin1String("--xlsx")) {
            xlsxPath = args[++i];
        } else if (a == QLatin1String("--locale")) {
            localeName = args[++i];
        } else {
            return usageError(QStringLiteral("unknown option: ") + a);
        }
    }
    static const QStringList kMeasures{QStringLiteral("red"),  QStringLiteral("green"), QStringLiteral("blue"),
                                       QStringLiteral("mean"), QStringLiteral("max"),   QStringLiteral("luma")};
    const QStringList measureNames = measureName.isEmpty() ? QStringList() : measureName.split(QLatin1Char(','));
    std::vector<int> measures;
    for (const QString& name : measureNames) {
        if (!kMeasures.contains(name))
            return usageError(QStringLiteral("unknown measure: ") + name);
        measures.push_back(int(kMeasures.indexOf(name)) + 1);
    }
    if (measures.size() > 1 && !csvPath.isEmpty())
        return usageError(QStringLiteral("a list of measures needs --xlsx, not --csv"));
    const QLocale locale = localeName.isEmpty() ? QLocale() : QLocale(localeName);

    lumiset::Workspace ws;
    lumiset::RecordingOpenView view;
    if (!openAsTheWindowDoes(path, ws.image, view, false))
        return kExitCannotOpen;
    if (!view.exportEnabled()) {
        // Told as the window tells it, preview included.
        view = lumiset::RecordingOpenView();
        ws.image = lumiset::ImageStore();
        openAsTheWindowDoes(path, ws.image, view);
        std::fprintf(stderr, "lumiset-cli: cannot export %s: %s\n", qPrintable(path), qPrintable(refusalReason(view)));
        return kExitCannotOpen;
    }
    if (lumiset::loadPixels(ws.image) != lumiset::LoadResult::Loaded) {
        std::fprintf(stderr, "lumiset-cli: cannot read the pixels of %s\n", qPrintable(path));
        return kExitCannotOpen;
    }
    ws.image.ImageState = lumiset::ImageState::PixelsLoaded;

    ws.selection = lumiset::defaultSelection(ws.image.ImageWidth, ws.image.ImageHeight);
    if (haveFrom) {
        ws.selection.SelColumnFrom = fromColumn;
        ws.selection.SelRowFrom = fromRow;
    }
    if (haveTo) {
        ws.selection.SelColumnTo = toColumn;
        ws.selection.SelRowTo = toRow;
    }
    const lumiset::Selection& r = ws.selection;
    if (lumiset::checkRegion(ws.image, r) == lumiset::RegionError::OutsideImage)
        return usageError(QStringLiteral("the region lies outside the picture or ends before it begins"));
    if (qint64(r.SelColumnTo) - r.SelColumnFrom + 1 > lumiset::kMaxExportColumns)
        return usageError(QStringLiteral("the region is wider than 16384 columns"));

    ws.ColorPointCount = lumiset::countColorPoints(ws.image, r);
    if (!measures.empty())
        ws.BrightnessMeasure = measures.front();
    else if (ws.image.BitsPerPixel == 8)
        ws.BrightnessMeasure = lumiset::MeasureMean;
    else if (ws.image.BitsPerPixel == 24)
        ws.BrightnessMeasure = lumiset::MeasureRed;
    if (haveWeights) {
        ws.CoefRed = weights[0];
        ws.CoefGreen = weights[1];
        ws.CoefBlue = weights[2];
    }
    ws.SelectedFileName = QFileInfo(path).fileName();

    if (!csvPath.isEmpty()) {
        ProgressLine line(progress);
        const lumiset::CsvError error = lumiset::writeCsv(ws, csvPath, locale, [&line](qint64 done, qint64 total) {
            line.show(double(done) / double(total));
            return true;
        });
        if (error != lumiset::CsvError::None) {
            std::fprintf(stderr, "lumiset-cli: %s\n",
                         qPrintable(oneLine(lumiset::csvErrorMessage(error, csvPath).text)));
            return kExitWriteFailed;
        }
    }
    if (!xlsxPath.isEmpty()) {
        const lumiset::RegionError prepared = lumiset::prepareExportRequest(ws, fill);
        if (prepared == lumiset::RegionError::TallerThanSheet)
            return usageError(QStringLiteral("the region is taller than a worksheet holds (")
                              + QString::number(lumiset::kMaxWorkbookRegionRows) + QStringLiteral(" rows)"));
        if (prepared != lumiset::RegionError::None)
            return usageError(QStringLiteral("the region cannot be read"));
        lumiset::WorkbookTarget target;
        target.exactPath = xlsxPath;
        lumiset::XlsxWorkbook book(target);
        StripProgress strip(progress);
        if (lumiset::exportToSpreadsheet(ws, book, strip, locale, measures.size() > 1 ? measures : std::vector<int>())
            != lumiset::SpreadsheetOutcome::Written) {
            std::fprintf(stderr, "lumiset-cli: %s\n",
                         qPrintable(oneLine(lumiset::workbookFailureMessage(book.failures()).text)));
            return kExitWriteFailed;
        }
    }
    return kExitOk;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        print(QStringLiteral("lumiset-cli ") + QLatin1String(lumiset::kVersionText));
        return kExitOk;
    }
    if (args.size() == 2 && args[0] == QLatin1String("info"))
        return info(args[1]);
    if (args.size() >= 2 && args[0] == QLatin1String("export"))
        return exportCommand(args.mid(1));
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

#include "cli/Commands.h"

#include "image/OpenCommand.h"
#include "image/PixelLoader.h"
#include "image/RecordingOpenView.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/RecordingExportProgress.h"
#include "output/SelectionMath.h"
#include "output/SpreadsheetExport.h"
#include "output/StandardStreams.h"
#include "output/XlsxWorkbook.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace lumiset::cli {

namespace {

QString oneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
}

// Runs the open command on \a path with "Показывать файл" ticked (or, for an
// export, unticked: the preview is not decoded). False, with the reason on
// standard error, when the file cannot be opened at all.
bool openAsTheWindowDoes(const QString& path, ImageStore& store, RecordingOpenView& view, bool showFile = true)
{
    QFile probe(path);
    const QFileInfo fi(path);
    if (fi.isDir() || !probe.open(QIODevice::ReadOnly)) {
        const QString reason = fi.isDir() ? QStringLiteral("is a folder") : probe.errorString();
        printError(QStringLiteral("cannot open ") + path + QStringLiteral(": ") + reason);
        return false;
    }
    probe.close();
    view.showFile = showFile;
    openCommand(store, view, fi.path(), fi.fileName());
    return true;
}

// The reason the export command stays disabled, from what the open window showed.
QString refusalReason(const RecordingOpenView& view)
{
    if (!view.messages.isEmpty())
        return oneLine(view.messages.last().text);
    const auto& notice = view.label(OpenLabel::Notice);
    if (notice.visible && !notice.text.isEmpty())
        return oneLine(notice.text);
    return QStringLiteral("the picture cannot be exported");
}

// The open window's progress strip, seen through the line above.
class StripProgress : public RecordingExportProgress {
public:
    explicit StripProgress(bool on) : line_(on) { clock_.start(); }
    qint64 nowMilliseconds() override { return clock_.elapsed(); }
    void setProgressWidth(int width) override
    {
        if (width > 1)
            line_.show(width, kProgressBarWidth);
    }

private:
    ProgressLine line_;
    QElapsedTimer clock_;
};

} // namespace

void ProgressLine::show(qint64 done, qint64 total)
{
    const qint64 now = clock_.elapsed();
    if (!on_ || now < 1000 || now - last_ < 500 || done <= 0)
        return;
    last_ = now;
    writeText(stderr,
              QString::asprintf("progress: %d %%, %lld s left\n", int(double(done) / double(total) * 100),
                                static_cast<long long>(secondsLeft(now, done, total))));
}

int loadForExport(const QString& path, ImageStore& image, const std::function<void(double)>& progress)
{
    RecordingOpenView view;
    if (!openAsTheWindowDoes(path, image, view, false))
        return kExitCannotOpen;
    if (!view.exportEnabled()) {
        // Told as the window tells it, preview included.
        view = RecordingOpenView();
        image = ImageStore();
        openAsTheWindowDoes(path, image, view);
        printError(QStringLiteral("cannot export ") + path + QStringLiteral(": ") + refusalReason(view));
        return kExitCannotOpen;
    }
    const int rows = std::max(image.ImageHeight, 1);
    const RowProgress rowProgress = progress ? RowProgress([&](int done) { progress(double(done) / rows); })
                                             : RowProgress();
    if (loadPixels(image, rowProgress) != LoadResult::Loaded) {
        printError(QStringLiteral("cannot read the pixels of ") + path);
        return kExitCannotOpen;
    }
    image.ImageState = lumiset::ImageState::PixelsLoaded;
    image.FilePath = QFileInfo(path).absoluteFilePath(); // as the window has it: the summary sheet shows the full path
    return kExitOk;
}

namespace {

// The measure columns of a long table, or the worksheets of a table workbook;
// empty for one measure, which the workspace holds.
std::vector<int> measureList(const ExportRequest& request)
{
    return request.measures.size() > 1 ? request.measures : std::vector<int>();
}

int writeCsvFile(Workspace& ws, const ExportRequest& request, const QLocale& locale)
{
    ProgressLine line(request.progress);
    const CsvError error = writeCsv(
        ws, request.csvPath, locale,
        [&line](qint64 done, qint64 total) {
            line.show(done, total);
            return true;
        },
        measureList(request));
    if (error == CsvError::None)
        return kExitOk;
    printError(oneLine(csvErrorMessage(error, request.csvPath).text));
    return kExitWriteFailed;
}

// Refuses a region a worksheet cannot hold before any file is written.
int prepareWorkbook(Workspace& ws, const ExportRequest& request)
{
    const RegionError prepared = prepareExportRequest(ws, request.fill);
    if (prepared == RegionError::TallerThanSheet && request.layout == TableLayout::Long)
        return usageError(QStringLiteral("the region has more points than a worksheet holds (")
                          + QString::number(kMaxLongLayoutPoints) + QStringLiteral(")"));
    if (prepared == RegionError::TallerThanSheet)
        return usageError(QStringLiteral("the region is taller than a worksheet holds (")
                          + QString::number(kMaxWorkbookRegionRows) + QStringLiteral(" rows)"));
    if (prepared != RegionError::None)
        return usageError(QStringLiteral("the region cannot be read"));
    return kExitOk;
}

int writeWorkbookFile(Workspace& ws, const ExportRequest& request, const QLocale& locale)
{
    WorkbookTarget target;
    target.exactPath = request.xlsxPath;
    XlsxWorkbook book(target);
    StripProgress strip(request.progress);
    if (exportToSpreadsheet(ws, book, strip, locale, measureList(request)) == SpreadsheetOutcome::Written)
        return kExitOk;
    printError(oneLine(workbookFailureMessage(book.failures()).text));
    return kExitWriteFailed;
}

} // namespace

void printLine(const QString& line)
{
    writeText(stdout, line + QLatin1Char('\n'));
}

void printError(const QString& message)
{
    writeText(stderr, QStringLiteral("lumiset-cli: ") + message + QLatin1Char('\n'));
}

int usageError(const QString& message)
{
    printError(message);
    return kExitUsage;
}

int infoCommand(const QString& path)
{
    ImageStore store;
    RecordingOpenView view;
    if (!openAsTheWindowDoes(path, store, view))
        return kExitCannotOpen;

    for (const QString& line : view.reportLines())
        printLine(line);
    printLine(QStringLiteral("--"));
    printLine(QStringLiteral("size: ") + view.labelText(OpenLabel::SizeCaption));
    const auto& notice = view.label(OpenLabel::Notice);
    if (notice.visible)
        printLine(QStringLiteral("notice: ") + oneLine(notice.text));
    for (const auto& m : view.messages)
        printLine(QStringLiteral("message: ") + oneLine(m.title) + QStringLiteral(" | ") + oneLine(m.text));
    printLine(view.exportEnabled() ? QStringLiteral("export: yes") : QStringLiteral("export: no"));
    return kExitOk;
}

int exportCommand(const ExportRequest& request)
{
    const QLocale locale = request.localeName.isEmpty() ? QLocale() : QLocale(request.localeName);
    Workspace ws;
    if (const int status = loadForExport(request.image, ws.image); status != kExitOk)
        return status;

    ws.selection = defaultSelection(ws.image.ImageWidth, ws.image.ImageHeight);
    if (request.from) {
        ws.selection.SelColumnFrom = request.from->column;
        ws.selection.SelRowFrom = request.from->row;
    }
    if (request.to) {
        ws.selection.SelColumnTo = request.to->column;
        ws.selection.SelRowTo = request.to->row;
    }
    const Selection& r = ws.selection;
    if (checkRegion(ws.image, r) == RegionError::OutsideImage)
        return usageError(QStringLiteral("the region lies outside the picture or ends before it begins"));
    ws.output.layout = request.layout;
    ws.output.csvEncoding = request.encoding;
    ws.output.summarySheet = request.summary;
    if (limitsRegionWidth(request.layout) && qint64(r.SelColumnTo) - r.SelColumnFrom + 1 > kMaxExportColumns)
        return usageError(QStringLiteral("the region is wider than 16384 columns"));

    ws.measure.ColorPointCount = countColorPoints(ws.image, r);
    ws.measure.BrightnessMeasure = request.measures.empty() ? defaultMeasure(ws.image) : request.measures.front();
    if (request.weights) {
        ws.measure.CoefRed = (*request.weights)[0];
        ws.measure.CoefGreen = (*request.weights)[1];
        ws.measure.CoefBlue = (*request.weights)[2];
    }
    ws.SelectedFileName = QFileInfo(request.image).fileName();

    if (!request.xlsxPath.isEmpty())
        if (const int status = prepareWorkbook(ws, request); status != kExitOk)
            return status;
    if (!request.csvPath.isEmpty())
        if (const int status = writeCsvFile(ws, request, locale); status != kExitOk)
            return status;
    if (!request.xlsxPath.isEmpty())
        return writeWorkbookFile(ws, request, locale);
    return kExitOk;
}

} // namespace lumiset::cli

// The road of the pictures Qt's readers decode (PNG, JPEG, TIFF, GIF, WebP,
// PNM): the bytes are written to a file without an extension, so only their
// first bytes can name the kind; the open command reads the header, draws the
// preview and writes the report; when the export would be allowed the tables
// are filled and a small region goes into a CSV table and a workbook.
//
// The input is the file itself; its length picks the measure, so a seed file of
// any kind exercises the whole road.
#include "FuzzSupport.h"

#include "image/OpenCommand.h"
#include "image/PixelLoader.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/PointValues.h"
#include "output/RecordingExportProgress.h"
#include "output/SpreadsheetExport.h"
#include "output/XlsxWorkbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Decoding time grows with the picture, the findings do not.
constexpr qint64 kMaxLoadPixels = 512 * 512;
constexpr int kRegionSide = 6;

QTemporaryDir* folder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    lumiset::fuzz::initialise(argc, argv);
    folder = new QTemporaryDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumiset;
    const QString entry = QStringLiteral("input");
    {
        QFile file(QDir(folder->path()).filePath(entry));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(fuzz::bytesOf(data, size));
    }
    Workspace ws;
    RecordingOpenView view;
    openCommand(ws.image, view, folder->path(), entry);
    fuzz::consumeView(view);
    if (!view.exportEnabled() || qint64(ws.image.ImageWidth) * ws.image.ImageHeight > kMaxLoadPixels)
        return 0;
    if (loadPixels(ws.image) != LoadResult::Loaded)
        return 0;
    ws.image.ImageState = ImageState::PixelsLoaded;

    // A small region in the bottom right corner: the last row and column of the
    // tables are where a wrong stride or row order shows.
    ws.selection.SelColumnTo = ws.image.ImageWidth;
    ws.selection.SelColumnFrom = std::max(1, ws.image.ImageWidth - kRegionSide + 1);
    ws.selection.SelRowTo = ws.image.ImageHeight;
    ws.selection.SelRowFrom = std::max(1, ws.image.ImageHeight - kRegionSide + 1);
    ws.measure.BrightnessMeasure = int(size % 6) + 1;
    ws.measure.ColorPointCount = countColorPoints(ws.image, ws.selection);
    ws.SelectedFileName = entry;
    const QLocale locale = QLocale::c();
    if (checkRegion(ws.image, ws.selection) != RegionError::None)
        return 0;
    const QByteArray bytes = csvBytes(ws.image, ws.selection, ws.measure, ws.SelectedFileName, locale);
    volatile char last = bytes.isEmpty() ? 0 : bytes.back();
    (void)last;

    if (prepareExportRequest(ws, size % 2) != RegionError::None)
        return 0;
    const QString path = QDir(folder->path()).filePath(QStringLiteral("out.xlsx"));
    WorkbookTarget target;
    target.exactPath = path;
    XlsxWorkbook book(target, [](const QString&) { return true; });
    RecordingExportProgress progress;
    exportToSpreadsheet(ws, book, progress, locale);
    QFile::remove(path);
    return 0;
}

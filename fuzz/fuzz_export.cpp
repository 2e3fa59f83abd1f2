// A fuzzed region, measure and weights over a small fuzzed picture, written as
// a CSV table in memory and as a workbook in a temporary folder.
//
// Input: 18 bytes of settings, then the picture file.
//   0      bit 0: TGA (else BMP), bit 1: fill cells, bits 2-3: locale,
//          bit 4: take the region as grey (ColorPointCount 0)
//   1      measure (1 … 6)
//   2 … 5  first and last column, first and last row (1-based; 0 and values
//          past the picture are left for the checks to refuse)
//   6 … 17 red, green, blue weights as raw floats
#include "FuzzSupport.h"

#include "image/PixelLoader.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/RecordingExportProgress.h"
#include "output/SpreadsheetExport.h"
#include "output/XlsxWorkbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t kSettingsBytes = 18;
// Large pictures add only time: the writers see the same rows again.
constexpr qint64 kMaxExportPixels = 64 * 64;

float weightAt(const std::uint8_t* p)
{
    float w;
    std::memcpy(&w, p, sizeof w);
    // The weight boxes take only digits and one separator: never negative, never
    // infinite or NaN, though any finite size is allowed.
    return std::isfinite(w) ? std::fabs(w) : 0.0f;
}

QLocale localeFor(int code)
{
    switch (code) {
    case 1: return QLocale(QLocale::Russian, QLocale::Russia);
    case 2: return QLocale(QLocale::English, QLocale::UnitedStates);
    case 3: return QLocale(QLocale::German, QLocale::Germany);
    default: return QLocale::c();
    }
}

QTemporaryDir* outputFolder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    lumiset::fuzz::initialise(argc, argv);
    outputFolder = new QTemporaryDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumiset;
    if (size < kSettingsBytes)
        return 0;
    const std::uint8_t flags = data[0];
    MemoryByteSource source(fuzz::bytesOf(data + kSettingsBytes, size - kSettingsBytes));

    Workspace ws;
    RecordingOpenView view;
    const fuzz::Format format = (flags & 1) ? fuzz::Format::Tga : fuzz::Format::Bmp;
    if (!fuzz::openBytes(ws.image, view, source, format, fuzz::rejectPicture) || !view.exportEnabled())
        return 0;
    if (qint64(ws.image.ImageWidth) * ws.image.ImageHeight > kMaxExportPixels)
        return 0;
    if (loadPixels(ws.image, source) != LoadResult::Loaded)
        return 0;
    ws.image.ImageState = ImageState::PixelsLoaded;

    ws.selection.SelColumnFrom = data[2];
    ws.selection.SelColumnTo = data[3];
    ws.selection.SelRowFrom = data[4];
    ws.selection.SelRowTo = data[5];
    ws.measure.BrightnessMeasure = data[1] % 6 + 1;
    ws.measure.CoefRed = weightAt(data + 6);
    ws.measure.CoefGreen = weightAt(data + 10);
    ws.measure.CoefBlue = weightAt(data + 14);
    ws.measure.ColorPointCount = (flags & 16) ? 0 : countColorPoints(ws.image, ws.selection);
    ws.SelectedFileName = QStringLiteral("input");
    const QLocale locale = localeFor((flags >> 2) & 3);

    // The CSV command clamps the columns to the picture before it checks the region.
    Selection csvRegion = ws.selection;
    clampColumns(csvRegion, ws.image.ImageWidth, false);
    if (checkRegion(ws.image, csvRegion) == RegionError::None) {
        const QByteArray bytes = csvBytes(ws.image, csvRegion, ws.measure, ws.SelectedFileName, locale);
        volatile char last = bytes.isEmpty() ? 0 : bytes.back();
        (void)last;
    }

    if (prepareExportRequest(ws, flags & 2) != RegionError::None)
        return 0;
    const QString path = QDir(outputFolder->path()).filePath(QStringLiteral("out.xlsx"));
    WorkbookTarget target;
    target.exactPath = path;
    XlsxWorkbook book(target, [](const QString&) { return true; });
    RecordingExportProgress progress;
    exportToSpreadsheet(ws, book, progress, locale);
    QFile::remove(path);
    return 0;
}

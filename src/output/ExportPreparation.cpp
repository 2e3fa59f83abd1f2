#include "output/ExportPreparation.h"

#include "image/Rounding.h"
#include "output/PaletteMatch.h"
#include "output/PointValues.h"

#include <array>
#include <cstdint>
#include <cstdlib>

namespace lumiset {

RegionError checkRegion(const ImageStore& image, const Selection& r)
{
    if (r.SelColumnFrom < 1 || r.SelRowFrom < 1 || r.SelColumnFrom > r.SelColumnTo || r.SelRowFrom > r.SelRowTo
        || r.SelColumnTo > image.ImageWidth || r.SelRowTo > image.ImageHeight)
        return RegionError::OutsideImage;
    auto covers = [&r](const PixelPlane& plane) {
        return plane.allocated() && plane.width() >= r.SelColumnTo && plane.height() >= r.SelRowTo;
    };
    switch (image.pixelKind()) {
    case PixelKind::Unsupported:
        return RegionError::None; // nothing is read
    case PixelKind::TrueColour:
        if (!covers(image.PixelGreen) || !covers(image.PixelBlue))
            return RegionError::PixelsMissing;
        [[fallthrough]];
    case PixelKind::Grey:
    case PixelKind::Palette:
        if (!covers(image.PixelRed))
            return RegionError::PixelsMissing;
    }
    return RegionError::None;
}

qint32 countColorPoints(const ImageStore& image, const Selection& r)
{
    const PixelKind kind = image.pixelKind();
    if (kind == PixelKind::Unsupported || kind == PixelKind::Grey || checkRegion(image, r) != RegionError::None)
        return 0;
    if (image.sampleBytes() == 2)
        return countWideColourPoints(image, r);
    // The zoomed view recounts on every redraw of the region, so the loops run
    // over whole rows and a palette picture judges each entry only once.
    qint32 count = 0;
    if (kind == PixelKind::Palette) {
        std::array<bool, 256> coloured{};
        for (std::size_t i = 0; i < coloured.size(); ++i) {
            const auto& e = image.PaletteRGB[i];
            const int red = roundHalfEvenToInt(e[0]), green = roundHalfEvenToInt(e[1]), blue = roundHalfEvenToInt(e[2]);
            coloured[i] = red != green || blue != red;
        }
        for (int y = r.SelRowFrom; y <= r.SelRowTo; ++y) {
            const std::uint8_t* index = image.PixelRed.row(y);
            for (int x = r.SelColumnFrom - 1; x < r.SelColumnTo; ++x)
                count += coloured[index[x]];
        }
        return count;
    }
    for (int y = r.SelRowFrom; y <= r.SelRowTo; ++y) {
        const std::uint8_t* red = image.PixelRed.row(y);
        const std::uint8_t* green = image.PixelGreen.row(y);
        const std::uint8_t* blue = image.PixelBlue.row(y);
        for (int x = r.SelColumnFrom - 1; x < r.SelColumnTo; ++x)
            count += (red[x] != green[x] || blue[x] != red[x]);
    }
    return count;
}

QString lastColumnName(int c)
{
    if (c < 1 || c > kMaxExportColumns)
        return {};
    if (c <= 26)
        return QString(QChar(64 + c));
    if (c % 26 == 0)
        return QString(QChar(c / 26 + 63)) + QLatin1Char('Z');
    return QString(QChar(c / 26 + 64)) + QChar(c % 26 + 64);
}

void clampColumns(Selection& r, int imageWidth, bool limitWidth)
{
    if (r.SelColumnFrom < 1)
        r.SelColumnFrom = 1;
    if (r.SelColumnTo > imageWidth)
        r.SelColumnTo = imageWidth;
    if (limitWidth && std::abs(qint64(r.SelColumnTo) - r.SelColumnFrom) > kMaxExportColumns - 1)
        r.SelColumnTo = qint32(qMin<qint64>(qint64(r.SelColumnFrom) + (kMaxExportColumns - 1), INT32_MAX));
}

RegionError prepareExportRequest(Workspace& ws, bool fillCells)
{
    Selection& sel = ws.selection;
    clampColumns(sel, ws.image.ImageWidth, true);
    if (const RegionError error = checkRegion(ws.image, sel); error != RegionError::None)
        return error;

    ExportRequest& req = ws.request;
    req.rowCount = sel.SelRowTo - sel.SelRowFrom + 1;
    req.columnCount = sel.SelColumnTo - sel.SelColumnFrom + 1;
    const std::size_t cells = std::size_t(req.rowCount) * std::size_t(req.columnCount);
    req.CellValues.assign(cells, 0.0f);
    req.CellColors.assign(cells, {0, 0});
    req.LastColumnName = lastColumnName(req.columnCount);

    const int rowOffset = sel.SelRowFrom - 1;
    const int columnOffset = sel.SelColumnFrom - 1;
    const PixelKind kind = ws.image.pixelKind();
    const MeasureSettings m = measureSettings(ws);
    if (kind != PixelKind::Unsupported) {
        for (int y = sel.SelRowFrom; y <= sel.SelRowTo; ++y)
            for (int x = sel.SelColumnFrom; x <= sel.SelColumnTo; ++x)
                req.value(y - rowOffset, x - columnOffset) = pointValue(ws.image, kind, x, y, m);
    }

    if (fillCells && kind != PixelKind::Unsupported) {
        for (int y = sel.SelRowFrom; y <= sel.SelRowTo; ++y) {
            for (int x = sel.SelColumnFrom; x <= sel.SelColumnTo; ++x) {
                const auto [red, green, blue] = cellColourOf(ws.image, x, y);
                const PaletteMatch match = matchCellColour(red, green, blue, ws.ColorPointCount);
                req.colors(y - rowOffset, x - columnOffset) = {match.fill, match.font};
            }
        }
    }

    req.FillCellBackground = fillCells;
    ws.ExportCancelled = false;
    return RegionError::None;
}

} // namespace lumiset

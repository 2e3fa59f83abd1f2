#include "output/ExportPreparation.h"

#include "image/Rounding.h"
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
    case PixelKind::Unsupported: return RegionError::None; // nothing is read
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

namespace {

// Points of the region whose three samples are not all equal; \a rowOf gives a
// plane's row in its own sample type.
template <typename RowOf> qint32 countUnequalSamples(const ImageStore& image, const Selection& r, RowOf rowOf)
{
    qint32 count = 0;
    for (int y = r.SelRowFrom; y <= r.SelRowTo; ++y) {
        const auto* red = rowOf(image.PixelRed, y);
        const auto* green = rowOf(image.PixelGreen, y);
        const auto* blue = rowOf(image.PixelBlue, y);
        for (int x = r.SelColumnFrom - 1; x < r.SelColumnTo; ++x)
            count += (red[x] != green[x] || blue[x] != red[x]);
    }
    return count;
}

} // namespace

qint32 countColorPoints(const ImageStore& image, const Selection& r)
{
    const PixelKind kind = image.pixelKind();
    if (kind == PixelKind::Unsupported || kind == PixelKind::Grey || checkRegion(image, r) != RegionError::None)
        return 0;
    if (image.sampleBytes() == 2)
        return countUnequalSamples(image, r, [](const PixelPlane& p, int y) { return p.wordRow(y); });
    // The zoomed view recounts on every redraw of the region, so the loops run
    // over whole rows and a palette picture judges each entry only once.
    qint32 count = 0;
    if (kind == PixelKind::Palette) {
        std::array<bool, 256> coloured{};
        for (std::size_t i = 0; i < coloured.size(); ++i) {
            const auto [red, green, blue] = image.paletteColour(int(i));
            coloured[i] = red != green || blue != red;
        }
        for (int y = r.SelRowFrom; y <= r.SelRowTo; ++y) {
            const std::uint8_t* index = image.PixelRed.row(y);
            for (int x = r.SelColumnFrom - 1; x < r.SelColumnTo; ++x)
                count += coloured[index[x]];
        }
        return count;
    }
    return countUnequalSamples(image, r, [](const PixelPlane& p, int y) { return p.row(y); });
}

QString lastColumnName(int c)
{
    if (c < 1 || c > kMaxExportColumns)
        return {};
    // Bijective base 26: A … Z, AA … ZZ, AAA … XFD.
    QString letters;
    for (; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
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

bool limitsRegionWidth(TableLayout layout)
{
    return layout == TableLayout::Table;
}

RegionError prepareExportRequest(Workspace& ws, bool fillCells)
{
    Selection& sel = ws.selection;
    clampColumns(sel, ws.image.ImageWidth, limitsRegionWidth(ws.output.layout));
    if (const RegionError error = checkRegion(ws.image, sel); error != RegionError::None)
        return error;
    const qint64 rows = qint64(sel.SelRowTo) - sel.SelRowFrom + 1;
    const qint64 points = rows * (qint64(sel.SelColumnTo) - sel.SelColumnFrom + 1);
    if (ws.output.layout == TableLayout::Long ? points > kMaxLongLayoutPoints : rows > kMaxWorkbookRegionRows)
        return RegionError::TallerThanSheet;

    ExportRequest& req = ws.request;
    req.rowCount = sel.SelRowTo - sel.SelRowFrom + 1;
    req.columnCount = sel.SelColumnTo - sel.SelColumnFrom + 1;
    req.LastColumnName = lastColumnName(req.columnCount);
    req.FillCellBackground = fillCells;
    ws.ExportCancelled = false;
    return RegionError::None;
}

} // namespace lumiset

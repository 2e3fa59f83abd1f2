#include "output/PaletteMatch.h"

#include "output/ExcelPalette.h"

#include "image/ImageStore.h"
#include "image/Rounding.h"

#include <cstdlib>

namespace lumiset {

namespace {

struct GreyRung {
    int upTo; // last grey level of the rung
    qint32 fill;
    qint32 font;
};

constexpr GreyRung kGreyLadder[] = {
    {25, 1, 2}, {89, 56, 2}, {139, 16, 1}, {171, 48, 1}, {223, 15, 1}, {255, 2, 1},
};

constexpr qint32 kStartDistance = 255;
constexpr qint32 kCloseEnough = 18; // a row nearer than this ends the scan

} // namespace

PaletteMatch matchCellColour(int red, int green, int blue, qint32 colorPointCount)
{
    PaletteMatch m;
    if (colorPointCount == 0 || (red == green && green == blue)) {
        for (const GreyRung& rung : kGreyLadder) {
            if (red <= rung.upTo) {
                m.fill = rung.fill;
                m.font = rung.font;
                return m;
            }
        }
        m.fill = 2; // levels outside 0 … 255 cannot come from a byte; keep them white
        m.font = 1;
        return m;
    }

    m.bestDistance = kStartDistance;
    for (int e = 0; e < kExcelPaletteFilledRows; ++e) {
        const PaletteRow& row = ExcelPalette[std::size_t(e)];
        const qint32 distance = std::abs(green - row.green) + std::abs(red - row.red) + std::abs(blue - row.blue);
        m.rowsExamined = e + 1;
        if (distance < m.bestDistance) {
            m.bestDistance = distance;
            m.bestRow = e;
        }
        if (m.bestDistance < kCloseEnough)
            break;
    }
    if (m.bestRow < 0) // only colours far outside the byte cube get here
        m.bestRow = 0;
    const PaletteRow& best = ExcelPalette[std::size_t(m.bestRow)];
    m.fill = best.ColorIndex;
    m.font = best.textIndex;
    return m;
}

std::array<int, 3> cellColourOf(const ImageStore& image, int column, int row)
{
    const PixelKind kind = image.pixelKind();
    const int maximum = image.sampleMaximum();
    const auto level = [maximum](const PixelPlane& plane, int c, int r) {
        return int(eightBitSample(plane.sample(c, r), maximum));
    };
    if (kind == PixelKind::Grey) {
        const int v = level(image.PixelRed, column, row);
        return {v, v, v};
    }
    if (kind == PixelKind::Palette) {
        const auto c = image.paletteColour(image.PixelRed(column, row));
        return {c[0], c[1], c[2]};
    }
    return {level(image.PixelRed, column, row), level(image.PixelGreen, column, row),
            level(image.PixelBlue, column, row)};
}

} // namespace lumiset

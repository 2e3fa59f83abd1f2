#include "output/PaletteMatch.h"

#include "output/ExcelPalette.h"

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

PaletteMatch Podbor_Cvetov(int MatchRed, int MatchGreen, int MatchBlue, qint32 ColorPointCount)
{
    PaletteMatch m;
    if (ColorPointCount == 0 || (MatchRed == MatchGreen && MatchGreen == MatchBlue)) {
        for (const GreyRung& rung : kGreyLadder) {
            if (MatchRed <= rung.upTo) {
                m.fill = rung.fill;
                m.font = rung.font;
                return m;
            }
        }
        m.fill = 2; // levels outside 0 … 255 cannot come from a byte; keep them white
        m.font = 1;
        return m;
    }

    m.BestDistance = kStartDistance;
    for (int e = 0; e < kExcelPaletteFilledRows; ++e) {
        const PaletteRow& row = ExcelPalette[std::size_t(e)];
        const qint32 MatchDistance =
            std::abs(MatchGreen - row.green) + std::abs(MatchRed - row.red) + std::abs(MatchBlue - row.blue);
        m.rowsExamined = e + 1;
        if (MatchDistance < m.BestDistance) {
            m.BestDistance = MatchDistance;
            m.BestEntry = e;
        }
        if (m.BestDistance < kCloseEnough)
            break;
    }
    if (m.BestEntry < 0) // only colours far outside the byte cube get here
        m.BestEntry = 0;
    const PaletteRow& best = ExcelPalette[std::size_t(m.BestEntry)];
    m.fill = best.ColorIndex;
    m.font = best.textIndex;
    return m;
}

} // namespace lumiset

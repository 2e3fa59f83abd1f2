#include "output/RegionRows.h"

#include "output/PaletteMatch.h"

namespace lumiset {

RegionRows::RegionRows(const ImageStore& image, const Selection& region, const MeasureSettings& m)
    : image_(image), kind_(image.pixelKind()), region_(region), m_(m), rows_(region.SelRowTo - region.SelRowFrom + 1),
      columns_(region.SelColumnTo - region.SelColumnFrom + 1), values_(std::size_t(qMax(columns_, 0))),
      colours_(std::size_t(qMax(columns_, 0)))
{
}

const double* RegionRows::values(int row)
{
    const int y = region_.SelRowFrom + row - 1;
    for (int j = 0; j < columns_; ++j)
        values_[std::size_t(j)] = pointValue(image_, kind_, region_.SelColumnFrom + j, y, m_);
    return values_.data();
}

const CellColours* RegionRows::colours(int row)
{
    const int y = region_.SelRowFrom + row - 1;
    // Neighbouring points often share a colour; the palette search then runs once.
    int lastRed = -1, lastGreen = -1, lastBlue = -1;
    CellColours last;
    for (int j = 0; j < columns_; ++j) {
        const int x = region_.SelColumnFrom + j;
        if (kind_ == PixelKind::Unsupported) {
            colours_[std::size_t(j)] = {};
            continue;
        }
        const auto [red, green, blue] = cellColourOf(image_, x, y);
        if (red != lastRed || green != lastGreen || blue != lastBlue) {
            const PaletteMatch match = matchCellColour(red, green, blue, m_.ColorPointCount);
            last.fill = match.fill == 2 || match.fill < 0 || match.fill > 255 ? 0 : std::uint8_t(match.fill);
            last.font = match.font <= 1 || match.font > 255 ? 0 : std::uint8_t(match.font);
            lastRed = red;
            lastGreen = green;
            lastBlue = blue;
        }
        colours_[std::size_t(j)] = last;
    }
    return colours_.data();
}

} // namespace lumiset

#include "SelectionMath.h"

#include "image/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace lumiset {

namespace {

bool greyTga(const ImageStore& s)
{
    return s.isTga() && (s.TgaImageType == 3 || s.TgaImageType == 11);
}

bool loaded(const ImageStore& s)
{
    return s.PixelRed.allocated() && s.PixelRed.width() == s.ImageWidth && s.PixelRed.height() == s.ImageHeight
        && (s.BitsPerPixel == 8 || (s.PixelGreen.allocated() && s.PixelBlue.allocated()));
}

std::uint8_t paletteByte(float v)
{
    return std::uint8_t(std::clamp(roundHalfEven(v), 0.0, 255.0));
}

std::array<std::uint8_t, 3> paletteColour(const ImageStore& s, int index)
{
    const auto& e = s.PaletteRGB[std::size_t(index)];
    return {paletteByte(e[0]), paletteByte(e[1]), paletteByte(e[2])};
}

std::uint32_t argb(std::array<std::uint8_t, 3> c)
{
    return 0xff000000u | (std::uint32_t(c[0]) << 16) | (std::uint32_t(c[1]) << 8) | c[2];
}

/// A palette component as its single-precision text: whole numbers without decimals.
QString componentText(float v, const QLocale& locale)
{
    if (v == std::floor(v))
        return integerText(qint64(v));
    return locale.toString(double(v), 'g', 7);
}

} // namespace

Selection defaultSelection(int imageWidth, int imageHeight)
{
    Selection s;
    s.SelRowFrom = 1;
    s.SelColumnFrom = 1;
    s.SelRowTo = std::min(imageHeight, kDefaultSelectionSide);
    s.SelColumnTo = std::min(imageWidth, kDefaultSelectionSide);
    return s;
}

QPoint imagePoint(double x, double y, int imageWidth, int imageHeight)
{
    const double c = std::clamp(roundHalfEven(x), 0.0, double(std::max(0, imageWidth - 1)));
    const double r = std::clamp(roundHalfEven(y), 0.0, double(std::max(0, imageHeight - 1)));
    return QPoint(int(c), int(r));
}

Selection dragSelection(QPoint anchor, QPoint pointer, int imageWidth, int imageHeight)
{
    qint64 left, width, top, height;
    if (pointer.x() <= anchor.x()) {
        width = qint64(anchor.x()) - pointer.x() + 1;
        left = pointer.x();
    } else {
        width = qint64(pointer.x()) - anchor.x() + 1;
        left = anchor.x();
    }
    width = std::min<qint64>(width, kMaxExportColumns); // the left edge stays where it is
    if (pointer.y() > anchor.y()) {
        height = qint64(pointer.y()) - anchor.y() + 1;
        top = anchor.y();
    } else {
        height = qint64(anchor.y()) - pointer.y() + 1;
        top = pointer.y();
    }

    left = std::clamp<qint64>(left, 0, std::max(0, imageWidth - 1));
    width = std::max<qint64>(width, 1);
    if (left + width > imageWidth)
        width = std::max<qint64>(1, imageWidth - left);
    top = std::clamp<qint64>(top, 0, std::max(0, imageHeight - 1));
    height = std::max<qint64>(height, 1);
    if (top + height > imageHeight)
        height = std::max<qint64>(1, imageHeight - top);

    Selection s;
    s.SelColumnFrom = qint32(left + 1);
    s.SelColumnTo = qint32(left + width);
    s.SelRowFrom = qint32(top + 1);
    s.SelRowTo = qint32(top + height);
    return s;
}

QPoint zoomedPoint(double x, double y, int zoom, const Selection& sel)
{
    zoom = std::max(1, zoom);
    // Kept inside the region, so a pointer on the canvas's last screen pixel
    // still names a point of the region.
    const double maxX = double(zoom) * (qint64(sel.SelColumnTo) - sel.SelColumnFrom + 1) - 1;
    const double maxY = double(zoom) * (qint64(sel.SelRowTo) - sel.SelRowFrom + 1) - 1;
    const qint64 mx = qint64(std::clamp(roundHalfEven(x), 0.0, std::max(0.0, maxX)));
    const qint64 my = qint64(std::clamp(roundHalfEven(y), 0.0, std::max(0.0, maxY)));
    return QPoint(int(mx / zoom + sel.SelColumnFrom), int(my / zoom + sel.SelRowFrom));
}

QString strForm(qint64 value)
{
    return value < 0 ? integerText(value) : QLatin1Char(' ') + integerText(value);
}

ParsedRegionNumber parseRegionNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    qint64 v = 0;
    for (QChar ch : t) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return {RegionInput::NotDigits, 0};
        const int d = ch.unicode() - '0';
        v = v > (std::numeric_limits<qint64>::max() - d) / 10 ? std::numeric_limits<qint64>::max() : v * 10 + d;
    }
    return {RegionInput::Number, v};
}

std::optional<Selection> applyRegionNumber(RegionBox box, qint64 v, const Selection& sel, int imageWidth,
                                           int imageHeight)
{
    Selection s = sel;
    switch (box) {
    case RegionBox::FirstRow:
        if (v > imageHeight || v > sel.SelRowTo || v < 1)
            return std::nullopt;
        s.SelRowFrom = qint32(v);
        break;
    case RegionBox::LastRow:
        if (v > imageHeight || v < sel.SelRowFrom || v < 1)
            return std::nullopt;
        s.SelRowTo = qint32(v);
        break;
    case RegionBox::FirstColumn:
        if (qint64(sel.SelColumnTo) - v + 1 > kMaxExportColumns || v > imageWidth || v > sel.SelColumnTo || v < 1)
            return std::nullopt;
        s.SelColumnFrom = qint32(v);
        break;
    case RegionBox::LastColumn:
        if (v - sel.SelColumnFrom + 1 > kMaxExportColumns || v > imageWidth || v < sel.SelColumnFrom || v < 1)
            return std::nullopt;
        s.SelColumnTo = qint32(v);
        break;
    }
    return s;
}

ParsedWeight parseWeight(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    QByteArray normal;
    int separators = 0;
    for (QChar ch : t) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            normal += char(ch.unicode());
        } else if (ch == QLatin1Char('.') || ch == QLatin1Char(',')) {
            normal += '.';
            ++separators;
        } else {
            return {WeightInput::Invalid, 0};
        }
    }
    if (separators > 1)
        return {WeightInput::Invalid, 0};
    // Read with "." whatever the C locale says: QApplication sets LC_NUMERIC
    // from the user's environment on Unix, and strtod under ru_RU would stop
    // at the "." and read "0.3" as 0. A lone separator reads as 0.
    double v = 0;
    if (normal != ".") {
        const char* end = normal.constData() + normal.size();
        const auto [stop, error] = std::from_chars(normal.constData(), end, v, std::chars_format::fixed);
        if (error == std::errc::result_out_of_range) {
            // Too small only rounds to 0; too large cannot be a single-precision weight.
            const qsizetype point = normal.indexOf('.');
            const QByteArray whole = point < 0 ? normal : normal.left(point);
            if (std::any_of(whole.begin(), whole.end(), [](char d) { return d != '0'; }))
                return {WeightInput::Invalid, 0};
            v = 0;
        } else if (error != std::errc() || stop != end) {
            return {WeightInput::Invalid, 0};
        }
    }
    if (v > double(std::numeric_limits<float>::max()))
        return {WeightInput::Invalid, 0}; // would be an infinite weight
    return {WeightInput::Number, float(v)};
}

ImageViewColours::ImageViewColours(const ImageStore& s)
{
    if (!loaded(s))
        return;
    if (s.isTga()) {
        switch (s.TgaImageType) {
        case 1:
        case 9:
            // A colour-mapped TGA draws white points too.
            for (int i = 0; i < 256; ++i)
                lookup_[std::size_t(i)] = argb(paletteColour(s, i));
            kind_ = Kind::Lookup;
            break;
        case 3:
        case 11:
            for (int v = 0; v < 255; ++v)
                lookup_[std::size_t(v)] = argb({std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)});
            kind_ = Kind::Lookup; // 255 stays 0: not drawn
            break;
        case 2:
        case 10: kind_ = Kind::TrueColour; break;
        default: break;
        }
    } else if (s.isBmp()) {
        if (s.BitsPerPixel == 8) {
            // Only the lowest white entry among the colours the file says it uses is left out.
            const int last = (s.ColorsUsed == 0 || s.ColorsUsed == 256) ? 255 : std::clamp(s.ColorsUsed, 0, 255);
            int white = -1;
            for (int i = 0; i <= last && white < 0; ++i) {
                const auto c = paletteColour(s, i);
                if (c[0] == 255 && c[1] == 255 && c[2] == 255)
                    white = i;
            }
            for (int i = 0; i < 256; ++i)
                lookup_[std::size_t(i)] = i == white ? 0u : argb(paletteColour(s, i));
            kind_ = Kind::Lookup;
        } else if (s.BitsPerPixel == 24) {
            kind_ = Kind::TrueColour;
        }
    }
}

std::optional<std::array<std::uint8_t, 3>> zoomedColour(const ImageStore& s, int column, int row)
{
    if (!loaded(s) || !(s.isBmp() || s.isTga()))
        return std::nullopt;
    if (s.BitsPerPixel == 8) {
        const std::uint8_t v = s.PixelRed(column, row);
        if (greyTga(s))
            return std::array<std::uint8_t, 3>{v, v, v};
        return paletteColour(s, v);
    }
    if (s.BitsPerPixel == 24)
        return std::array<std::uint8_t, 3>{s.PixelRed(column, row), s.PixelGreen(column, row), s.PixelBlue(column, row)};
    return std::nullopt;
}

Readout pixelReadout(const ImageStore& s, int column, int row, ReadoutView view, int measure,
                     const Workspace& w, qint32 colorPoints, const QLocale& locale)
{
    Readout out;
    out.column = (view == ReadoutView::Image ? QStringLiteral("X:  ") : QStringLiteral("Х:  ")) + integerText(column);
    out.row = QStringLiteral("Y:  ") + integerText(row);
    if (!loaded(s) || column < 1 || row < 1 || column > s.ImageWidth || row > s.ImageHeight)
        return out;
    if (view == ReadoutView::Zoomed && !(s.isBmp() || s.isTga()))
        return out;
    const QString brightness = QStringLiteral("Яркость ");
    float R, G, B;
    if (s.BitsPerPixel == 24) {
        R = s.PixelRed(column, row);
        G = s.PixelGreen(column, row);
        B = s.PixelBlue(column, row);
        out.red = QStringLiteral("Красный  ") + integerText(qint64(R));
        out.green = QStringLiteral("Зелёный  ") + integerText(qint64(G));
        out.blue = QStringLiteral("Синий  ") + integerText(qint64(B));
    } else if (s.BitsPerPixel == 8 && greyTga(s)) {
        out.brightness = brightness + integerText(s.PixelRed(column, row));
        return out;
    } else if (s.BitsPerPixel == 8) {
        const auto& e = s.PaletteRGB[s.PixelRed(column, row)];
        R = e[0];
        G = e[1];
        B = e[2];
        out.red = QStringLiteral("Красный  ") + componentText(R, locale);
        out.green = QStringLiteral("Зелёный  ") + componentText(G, locale);
        out.blue = QStringLiteral("Синий  ") + componentText(B, locale);
    } else {
        return out;
    }
    if (colorPoints == 0)
        return out;
    switch (measure) {
    case MeasureMean: {
        const float mean = (R + G + B) / 3.0f;
        out.brightness = brightness + fixedText(mean, view == ReadoutView::Image ? 1 : 2, Precision::Single, locale);
        break;
    }
    case MeasureMaximum: out.brightness = brightness + integerText(qint64(std::max({R, G, B}))); break;
    case MeasureLuminance: {
        const float y = w.CoefGreen * G + w.CoefRed * R + w.CoefBlue * B;
        out.brightness = brightness + fixedText(y, 2, Precision::Single, locale);
        break;
    }
    default: break;
    }
    return out;
}

std::array<int, 3> FramePulse::colour(int hue) const
{
    const int q = level / 4;
    if (hue == 2)
        return {q, level, q};
    if (hue == 3)
        return {q, q, level};
    return {level, q, q};
}

void FramePulse::step()
{
    if (rising) {
        level += 30;
        if (level > 255) {
            level = 255;
            rising = false;
        }
    } else {
        level -= 30;
        if (level < 83) {
            level = 83;
            rising = true;
        }
    }
}

} // namespace lumiset

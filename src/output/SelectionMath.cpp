#include "SelectionMath.h"

#include "image/NumberText.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace lumiset {

namespace {

struct Readouts {
    Q_DECLARE_TR_FUNCTIONS(Readouts)
};

/// The tables hold the whole picture, in as many planes as its kind needs.
bool loaded(const ImageStore& s)
{
    return s.pixelKind() != PixelKind::Unsupported && s.PixelRed.allocated() && s.PixelRed.width() == s.ImageWidth
        && s.PixelRed.height() == s.ImageHeight
        && (s.singlePlane() || (s.PixelGreen.allocated() && s.PixelBlue.allocated()));
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
    switch (s.pixelKind()) {
    case PixelKind::Palette:
        if (s.isBmp() || s.isDecoded()) {
            // Only the lowest white entry among the colours the file says it uses is left out
            // (a decoded palette says nothing: ColorsUsed 0, every entry searched).
            const int last = (s.ColorsUsed == 0 || s.ColorsUsed == 256) ? 255 : std::clamp(s.ColorsUsed, 0, 255);
            int white = -1;
            for (int i = 0; i <= last && white < 0; ++i) {
                const auto c = s.paletteColour(i);
                if (c[0] == 255 && c[1] == 255 && c[2] == 255)
                    white = i;
            }
            for (int i = 0; i < 256; ++i)
                lookup_[std::size_t(i)] = i == white ? 0u : argb(s.paletteColour(i));
        } else {
            // A colour-mapped TGA draws white points too.
            for (int i = 0; i < 256; ++i)
                lookup_[std::size_t(i)] = argb(s.paletteColour(i));
        }
        kind_ = Kind::Lookup;
        break;
    case PixelKind::Grey:
    case PixelKind::TrueColour: {
        const int maximum = s.sampleMaximum();
        const bool wide = s.sampleBytes() == 2;
        if (wide || maximum != 255) {
            levels_.resize(wide ? 65536 : 256);
            for (std::size_t v = 0; v < levels_.size(); ++v)
                levels_[v] = eightBitSample(int(v), maximum);
        }
        if (s.pixelKind() == PixelKind::TrueColour) {
            kind_ = levels_.empty() ? Kind::TrueColour : Kind::ScaledTrueColour;
            break;
        }
        // A grey point that shows as white (level 255) is not drawn.
        for (int v = 0; v < 256; ++v) {
            const std::uint8_t level = wide || levels_.empty() ? std::uint8_t(v) : levels_[std::size_t(v)];
            lookup_[std::size_t(v)] = level == 255 ? 0u : argb({level, level, level});
        }
        kind_ = wide ? Kind::WideLookup : Kind::Lookup;
        break;
    }
    case PixelKind::Unsupported: break;
    }
}

std::optional<std::array<std::uint8_t, 3>> zoomedColour(const ImageStore& s, int column, int row)
{
    if (!loaded(s))
        return std::nullopt;
    switch (s.pixelKind()) {
    case PixelKind::Palette: return s.paletteColour(s.PixelRed(column, row));
    case PixelKind::Grey:
    case PixelKind::TrueColour: {
        const auto c = cellColourOf(s, column, row); // samples scaled to 8 bits
        return std::array<std::uint8_t, 3>{std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2])};
    }
    case PixelKind::Unsupported: break;
    }
    return std::nullopt;
}

std::optional<QString> readoutBrightness(const ImageStore& s, PixelKind kind, int column, int row, ReadoutView view,
                                         const MeasureSettings& m, const QLocale& locale)
{
    if (m.ColorPointCount == 0)
        return std::nullopt;
    switch (m.BrightnessMeasure) {
    case MeasureMean:
        if (view == ReadoutView::Image)
            return fixedText(pointValue(s, kind, column, row, m), 1, Precision::Double, locale);
        [[fallthrough]];
    case MeasureLuminance: return pointText(pointValue(s, kind, column, row, m), kind, m, locale);
    case MeasureMaximum: return integerText(qint64(pointValue(s, kind, column, row, m)));
    default: return std::nullopt;
    }
}

Readout pixelReadout(const ImageStore& s, int column, int row, ReadoutView view, int measure, const Workspace& w,
                     qint32 colorPoints, const QLocale& locale)
{
    Readout out;
    // The zoom view's X has always been a Cyrillic letter.
    out.column = view == ReadoutView::Image ? QStringLiteral("X:  ") + integerText(column)
                                            : Readouts::tr("Х:  %1").arg(integerText(column));
    out.row = QStringLiteral("Y:  ") + integerText(row);
    if (!loaded(s) || column < 1 || row < 1 || column > s.ImageWidth || row > s.ImageHeight)
        return out;
    const QString brightness = Readouts::tr("Яркость %1");
    const QString red = Readouts::tr("Красный  %1");
    const QString green = Readouts::tr("Зелёный  %1");
    const QString blue = Readouts::tr("Синий  %1");
    const PixelKind kind = s.pixelKind();
    switch (kind) {
    case PixelKind::TrueColour:
        out.red = red.arg(integerText(s.PixelRed.sample(column, row))); // 0..255 or 0..65535
        out.green = green.arg(integerText(s.PixelGreen.sample(column, row)));
        out.blue = blue.arg(integerText(s.PixelBlue.sample(column, row)));
        break;
    case PixelKind::Grey: out.brightness = brightness.arg(integerText(s.PixelRed.sample(column, row))); return out;
    case PixelKind::Palette: {
        const auto& e = s.PaletteRGB[s.PixelRed(column, row)];
        out.red = red.arg(componentText(e[0], locale));
        out.green = green.arg(componentText(e[1], locale));
        out.blue = blue.arg(componentText(e[2], locale));
        break;
    }
    case PixelKind::Unsupported: return out;
    }
    MeasureSettings m = w.measure;
    m.BrightnessMeasure = measure;
    m.ColorPointCount = colorPoints;
    if (const auto text = readoutBrightness(s, kind, column, row, view, m, locale))
        out.brightness = brightness.arg(*text);

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

#include "output/PointValues.h"

#include "image/NumberText.h"

#include <charconv>
#include <cmath>

namespace lumiset {

TableKind tableKind(const ImageStore& image)
{
    if (!image.isBmp() && !image.isTga())
        return TableKind::Unsupported;
    if (image.BitsPerPixel == 8) {
        if (image.isTga() && (image.TgaImageType == 3 || image.TgaImageType == 11))
            return TableKind::GreyTga;
        return TableKind::Palette;
    }
    if (image.BitsPerPixel == 24)
        return TableKind::TrueColour;
    return TableKind::Unsupported;
}

MeasureSettings measureSettings(const Workspace& ws)
{
    return {ws.BrightnessMeasure, ws.CoefRed, ws.CoefGreen, ws.CoefBlue, ws.ColorPointCount};
}

float pointValue(const ImageStore& image, TableKind kind, int column, int row, const MeasureSettings& m)
{
    double r = 0;
    double g = 0;
    double b = 0;
    switch (kind) {
    case TableKind::Unsupported:
        return 0.0f;
    case TableKind::GreyTga:
        return float(image.PixelRed(column, row));
    case TableKind::Palette: {
        const auto& e = image.PaletteRGB[image.PixelRed(column, row)];
        r = e[0];
        g = e[1];
        b = e[2];
        break;
    }
    case TableKind::TrueColour:
        r = image.PixelRed(column, row);
        g = image.PixelGreen(column, row);
        b = image.PixelBlue(column, row);
        break;
    }
    if (m.ColorPointCount == 0)
        return float(r);
    switch (m.BrightnessMeasure) {
    case MeasureRed: return float(r);
    case MeasureGreen: return float(g);
    case MeasureBlue: return float(b);
    case MeasureMean: return float((g + r + b) / 3.0);
    case MeasureMaximum: return float(r > g ? (r > b ? r : b) : (g > b ? g : b));
    case MeasureLuminance:
        return float(g * double(m.CoefGreen) + r * double(m.CoefRed) + b * double(m.CoefBlue));
    default: return 0.0f;
    }
}

bool measureHasDecimals(const MeasureSettings& m)
{
    return m.ColorPointCount != 0 && (m.BrightnessMeasure == MeasureMean || m.BrightnessMeasure == MeasureLuminance);
}

namespace {

// Shortest text that reads back as the same float, with the locale's separator.
QString shortestSingleText(float value, const QLocale& locale)
{
    if (value == std::trunc(value) && std::fabs(value) < 1e7f)
        return integerText(qint64(value));
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    QString text = QString::fromLatin1(buf, int(res.ptr - buf));
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}

} // namespace

QString pointText(float value, TableKind kind, const MeasureSettings& m, const QLocale& locale)
{
    if (measureHasDecimals(m) && kind != TableKind::GreyTga && kind != TableKind::Unsupported)
        return fixedText(double(value), 2, Precision::Single, locale);
    if (kind == TableKind::Palette)
        return shortestSingleText(value, locale);
    return integerText(qint64(value));
}

} // namespace lumiset

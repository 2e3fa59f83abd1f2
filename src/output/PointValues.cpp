#include "output/PointValues.h"

#include "image/NumberText.h"
#include "output/Cp1251.h"

#include <charconv>
#include <cmath>
#include <cstdint>

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

int twoDecimalsOfSingle(float value, char decimalPoint, char* buf)
{
    // Seven significant digits m of v: v · 10^(6 - e) with e = floor(log10 v).
    // A float has 24 significant bits and 5^k needs at most 26 bits for k <= 11,
    // so the product is exact in double and rounding it gives the same digits
    // as a correctly rounded decimal conversion.
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11};
    static constexpr std::int64_t kIntPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    if (!(value >= 0.0f) || value >= 1e5f || value != value)
        return 0;
    if (value == 0.0f) {
        buf[0] = '0';
        buf[1] = decimalPoint;
        buf[2] = '0';
        buf[3] = '0';
        return 4;
    }
    const double v = value;
    int e = 0;
    if (v >= 1.0) {
        while (e < 4 && v >= kPow10[e + 1])
            ++e;
    } else {
        while (e > -5 && v < 1.0 / kPow10[-e])
            --e;
        if (v < 1.0 / kPow10[-e])
            return 0;
    }
    double scaled = v * kPow10[6 - e];
    std::int64_t m = std::int64_t(roundHalfEven(scaled));
    if (m >= 10000000) { // rounding carried into an eighth digit: one more power of ten
        ++e;
        if (e > 4)
            return 0;
        scaled = v * kPow10[6 - e];
        m = std::int64_t(roundHalfEven(scaled));
    }
    // m · 10^(e - 6): keep two decimals, the first dropped digit decides (half away from zero).
    const int dropped = 4 - e;
    std::int64_t q = m;
    if (dropped > 7) { // all seven digits lie below the thousandths: 0.00
        q = 0;
    } else if (dropped > 0) {
        const std::int64_t unit = kIntPow10[dropped];
        const std::int64_t rem = m % unit;
        q = m / unit;
        if (rem * 10 >= 5 * unit)
            ++q;
    }
    const std::int64_t whole = q / 100;
    const int frac = int(q % 100);
    char digits[24];
    int n = 0;
    std::int64_t w = whole;
    do {
        digits[n++] = char('0' + w % 10);
        w /= 10;
    } while (w > 0);
    int len = 0;
    while (n > 0)
        buf[len++] = digits[--n];
    buf[len++] = decimalPoint;
    buf[len++] = char('0' + frac / 10);
    buf[len++] = char('0' + frac % 10);
    return len;
}

void appendPointText(QByteArray& out, float value, TableKind kind, const MeasureSettings& m,
                     const QLocale& locale, char decimalPoint)
{
    char buf[32];
    if (measureHasDecimals(m) && kind != TableKind::GreyTga && kind != TableKind::Unsupported) {
        if (const int len = twoDecimalsOfSingle(value, decimalPoint, buf)) {
            out.append(buf, len);
            return;
        }
    } else if (value >= 0.0f && value < 1e7f && value == std::trunc(value)) {
        const auto res = std::to_chars(buf, buf + sizeof buf, std::int32_t(value));
        out.append(buf, int(res.ptr - buf));
        return;
    }
    out += toCp1251(pointText(value, kind, m, locale)); // the rare forms
}

QString pointText(float value, TableKind kind, const MeasureSettings& m, const QLocale& locale)
{
    if (measureHasDecimals(m) && kind != TableKind::GreyTga && kind != TableKind::Unsupported)
        return fixedText(double(value), 2, Precision::Single, locale);
    if (kind == TableKind::Palette)
        return shortestSingleText(value, locale);
    return integerText(qint64(value));
}

} // namespace lumiset

#include "output/PointValues.h"

#include "image/NumberText.h"
#include "image/Rounding.h"
#include "output/Cp1251.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>

namespace lumiset {

MeasureSettings measureSettings(const Workspace& ws)
{
    return {ws.BrightnessMeasure, ws.CoefRed, ws.CoefGreen, ws.CoefBlue, ws.ColorPointCount};
}

namespace {

constexpr double kDecimalPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11};

// The number written by the seven significant digits of \a value: 2.1359999f
// gives 2.136. Between 10^-5 and 10^7, v · 10^k with k = 6 - floor(log10 v) is
// exact in double (24 bits of v, at most 26 of 5^k), so rounding it gives the
// digits m of a correctly rounded conversion, and m / 10^k (both exact) is the
// double nearest to that decimal, as reading the text back would give.
double sevenDigitValue(float value)
{
    const double v = std::fabs(double(value));
    if (v >= 1e-5 && v < 1e7) {
        int k = 0;
        while (v * kDecimalPowers[k] < 1e6)
            ++k;
        const double digits = roundHalfEven(v * kDecimalPowers[k]) / kDecimalPowers[k];
        return value < 0.0f ? -digits : digits;
    }
    if (value == 0.0f || !std::isfinite(value))
        return value;
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 6);
    double digits = value;
    std::from_chars(buf, written.ptr, digits);
    return digits;
}

// A mean or luminance as it is kept: the double sum for 16-bit samples, the
// seven digits of its float for 8-bit ones.
double keptSum(double sum, bool wide)
{
    return wide ? sum : sevenDigitValue(float(sum));
}

// The measure of one point from its components (already in double), in the
// order pointValue() documents.
double measureOf(double r, double g, double b, const MeasureSettings& m, bool wide)
{
    if (m.ColorPointCount == 0)
        return r;
    switch (m.BrightnessMeasure) {
    case MeasureRed: return r;
    case MeasureGreen: return g;
    case MeasureBlue: return b;
    case MeasureMean: return keptSum((g + r + b) / 3.0, wide);
    case MeasureMaximum: return r > g ? (r > b ? r : b) : (g > b ? g : b);
    case MeasureLuminance:
        return keptSum(g * double(m.CoefGreen) + r * double(m.CoefRed) + b * double(m.CoefBlue), wide);
    default: return 0.0;
    }
}

} // namespace

double pointValue(const ImageStore& image, PixelKind kind, int column, int row, const MeasureSettings& m)
{
    switch (kind) {
    case PixelKind::Unsupported: return 0.0;
    case PixelKind::Grey: return image.PixelRed.sample(column, row);
    case PixelKind::Palette: {
        const auto& e = image.PaletteRGB[image.PixelRed(column, row)];
        return measureOf(e[0], e[1], e[2], m, false);
    }
    case PixelKind::TrueColour: // 8- or 16-bit samples, the same formulas
        return measureOf(image.PixelRed.sample(column, row), image.PixelGreen.sample(column, row),
                         image.PixelBlue.sample(column, row), m, image.PixelRed.sampleBytes() == 2);
    }
    return 0.0;
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

namespace {

// (n + 10^d / 2) / 10^d: drops the last d digits of n, the first of them
// deciding half away from zero. Only the values near a half and the large ones
// come here, so a plain division is quick enough.
inline std::uint32_t dropDigitsHalfUp(std::uint32_t n, int d)
{
    static constexpr std::uint32_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    return (n + kPow10[d] / 2) / kPow10[d];
}

constexpr char kTwoDigits[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                              "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                              "8081828384858687888990919293949596979899";

// Writes q / 100 (q at most 10^7) and two decimals; returns the length.
inline int writeHundredths(std::uint32_t q, char decimalPoint, char* buf)
{
    const auto pair = [](std::uint32_t n) { // two digits as they sit in memory
        std::uint16_t chars;
        std::memcpy(&chars, kTwoDigits + 2 * n, 2);
        return std::uint64_t(chars);
    };
    const std::uint32_t whole = q / 100;
    const std::uint32_t frac = q % 100;
    // 99999.995 and up (six digits, once in a long while), and machines whose
    // words do not start with their lowest byte, take the plain way.
    if (whole >= 100000 || std::endian::native != std::endian::little) {
        const int len = std::snprintf(buf, 16, "%u", unsigned(whole));
        buf[len] = decimalPoint;
        std::memcpy(buf + len + 1, kTwoDigits + 2 * frac, 2);
        return len + 3;
    }
    // The five digits and the tail put together in one register: bytes written
    // one by one and read back as a word would stall the store buffer.
    const std::uint32_t lo = whole % 10000;
    const std::uint64_t five = std::uint64_t('0' + whole / 10000) | pair(lo / 100) << 8 | pair(lo % 100) << 24;
    const int digits = 1 + int(whole >= 10) + int(whole >= 100) + int(whole >= 1000) + int(whole >= 10000);
    const std::uint64_t tail = std::uint64_t(std::uint8_t(decimalPoint)) | pair(frac) << 8;
    const std::uint64_t word = five >> (8 * (5 - digits)) | tail << (8 * digits);
    std::memcpy(buf, &word, 8);
    return digits + 3;
}

// The seven digits move v by at most half a unit of the seventh digit: below
// 1000 that is at most 0.005 hundredths. So unless v · 100 (exact: 100 adds
// five significant bits) lies that close to a half, its nearest whole number
// is already the answer. 0 when the value needs the full rounding.
inline int twoDecimalsAwayFromHalves(float value, char decimalPoint, char* buf)
{
    if (!(value >= 0.0f && value < 1000.0f))
        return 0;
    const double t = double(value) * 100.0;
    const auto whole = std::uint32_t(t);
    const double frac = t - double(whole);
    if (!(std::fabs(frac - 0.5) > 0.006))
        return 0;
    return writeHundredths(whole + std::uint32_t(frac > 0.5), decimalPoint, buf);
}

} // namespace

int twoDecimalsOfSingle(float value, char decimalPoint, char* buf)
{
    // Seven significant digits m of v: v · 10^(6 - e) with e = floor(log10 v).
    // A float has 24 significant bits and 5^k needs at most 26 bits for k <= 11,
    // so the product is exact in double and rounding it gives the same digits
    // as a correctly rounded decimal conversion.
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11};
    if (const int len = twoDecimalsAwayFromHalves(value, decimalPoint, buf))
        return len;
    if (!(value >= 0.0f) || value >= 1e5f)
        return 0; // negative, NaN or too large
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
        e = int(v >= 10.0) + int(v >= 100.0) + int(v >= 1000.0) + int(v >= 10000.0);
    } else {
        while (e > -5 && v < 1.0 / kPow10[-e])
            --e;
        if (v < 1.0 / kPow10[-e])
            return 0;
    }
    // The product is exact and below 2^53, so its halves are true halves.
    auto m = std::int64_t(roundHalfEven(v * kPow10[6 - e]));
    if (m >= 10000000) { // rounding carried into an eighth digit: one more power of ten
        ++e;
        if (e > 4)
            return 0;
        m = std::int64_t(roundHalfEven(v * kPow10[6 - e]));
    }
    // m · 10^(e - 6): keep two decimals, the first dropped digit decides (half away from zero).
    const int dropped = 4 - e;
    const std::uint32_t q = dropped > 7 ? 0 : dropDigitsHalfUp(std::uint32_t(m), dropped);
    return writeHundredths(q, decimalPoint, buf);
}

int twoDecimalsOfDouble(double value, char decimalPoint, char* buf)
{
    // Below 10^7 the fifteen digits move v by at most 5e-9, that is 5e-7
    // hundredths, and v · 100 (below 2^30) is off by at most 2^-24: unless it
    // lies within 10^-6 of a half, its nearest whole number is the rounded text.
    if (!(value >= 0.0 && value < 1e7))
        return 0;
    const double t = value * 100.0;
    const auto whole = std::uint32_t(t);
    const double frac = t - double(whole);
    if (!(std::fabs(frac - 0.5) > 1e-6))
        return 0;
    return writeHundredths(whole + std::uint32_t(frac > 0.5), decimalPoint, buf);
}

namespace {

bool writesDecimals(PixelKind kind, const MeasureSettings& m)
{
    return measureHasDecimals(m) && kind != PixelKind::Grey && kind != PixelKind::Unsupported;
}

} // namespace

void appendPointText(QByteArray& out, double value, PixelKind kind, const MeasureSettings& m, const QLocale& locale,
                     char decimalPoint)
{
    char buf[32];
    if (writesDecimals(kind, m)) {
        if (const int len = twoDecimalsOfDouble(value, decimalPoint, buf)) {
            out.append(buf, len);
            return;
        }
    } else if (value >= 0.0 && value < 1e7 && value == std::trunc(value)) {
        const auto res = std::to_chars(buf, buf + sizeof buf, std::int32_t(value));
        out.append(buf, int(res.ptr - buf));
        return;
    }
    out += toCp1251(pointText(value, kind, m, locale)); // the rare forms
}

PointRowWriter::PointRowWriter(const ImageStore& image, const MeasureSettings& m, const QLocale& locale,
                               char decimalPoint)
    : image_(image), kind_(image.pixelKind()), m_(m), locale_(locale), decimalPoint_(decimalPoint),
      wide_(image.sampleBytes() == 2)
{
    if (wide_) {
        textStart_.push_back(0); // 16-bit samples are written value by value
        return;
    }
    // Every measure but the colour luminance takes its value from a byte or a
    // sum of three bytes, so its texts are written once here, by appendPointText.
    int keys = 256;
    std::function<double(int)> value = [](int key) { return double(key); };
    if (kind_ == PixelKind::Palette) {
        value = [&](int i) {
            const auto& e = image.PaletteRGB[std::size_t(i)];
            return measureOf(e[0], e[1], e[2], m, false);
        };
    } else if (kind_ == PixelKind::TrueColour && m.ColorPointCount != 0) {
        switch (m.BrightnessMeasure) {
        case MeasureRed: break;
        case MeasureGreen: key_ = Key::Green; break;
        case MeasureBlue: key_ = Key::Blue; break;
        case MeasureMaximum: key_ = Key::Maximum; break;
        case MeasureMean:
            key_ = Key::Sum;
            keys = 3 * 255 + 1;
            value = [](int sum) { return keptSum(double(sum) / 3.0, false); };
            break;
        case MeasureLuminance:
            key_ = Key::Luminance;
            keys = 0;
            for (int i = 0; i < 256; ++i) {
                lumRed_[std::size_t(i)] = double(i) * double(m.CoefRed);
                lumGreen_[std::size_t(i)] = double(i) * double(m.CoefGreen);
                lumBlue_[std::size_t(i)] = double(i) * double(m.CoefBlue);
            }
            break;
        default: value = [](int) { return 0.0; }; break;
        }
    }
    QByteArray text;
    for (int k = 0; k < keys; ++k) {
        text.clear();
        appendPointText(text, value(k), kind_, m, locale, decimalPoint);
        textStart_.push_back(std::uint32_t(texts_.size()));
        texts_.append(text.constData(), std::size_t(text.size()));
        longestText_ = std::max(longestText_, text.size());
    }
    textStart_.push_back(std::uint32_t(texts_.size()));
}

void PointRowWriter::appendRow(QByteArray& out, int row, int columnFrom, int columnTo) const
{
    if (columnTo < columnFrom || kind_ == PixelKind::Unsupported)
        return;
    if (wide_) {
        appendWideRow(out, row, columnFrom, columnTo);
        return;
    }
    const std::uint8_t* red = image_.PixelRed.row(row) + (columnFrom - 1);
    const std::uint8_t* green = kind_ == PixelKind::TrueColour ? image_.PixelGreen.row(row) + (columnFrom - 1)
                                                               : nullptr;
    const std::uint8_t* blue = kind_ == PixelKind::TrueColour ? image_.PixelBlue.row(row) + (columnFrom - 1) : nullptr;
    const int count = columnTo - columnFrom + 1;

    // Room for the whole row in one go; the capacity doubles so that rows never
    // copy the file written so far more than a few times.
    const qsizetype perValue = std::max<qsizetype>(longestText_, 32) + 1;
    qsizetype pos = out.size();
    const auto makeRoom = [&](qsizetype bytes) {
        if (out.capacity() < pos + bytes)
            out.reserve(std::max(pos + bytes, out.capacity() * 2));
        out.resize(pos + bytes);
        return out.data() + pos;
    };
    char* p = makeRoom(perValue * count);
    char* end = p + perValue * count;
    const auto putKey = [&](int key) {
        const std::uint32_t from = textStart_[std::size_t(key)];
        const std::uint32_t len = textStart_[std::size_t(key) + 1] - from;
        std::memcpy(p, texts_.data() + from, len);
        p += len;
    };
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            *p++ = ';';
        switch (key_) {
        case Key::Red: putKey(red[i]); break;
        case Key::Green: putKey(green[i]); break;
        case Key::Blue: putKey(blue[i]); break;
        case Key::Maximum: putKey(std::max(red[i], std::max(green[i], blue[i]))); break;
        case Key::Sum: putKey(red[i] + green[i] + blue[i]); break;
        case Key::Luminance: {
            const float value = float(lumGreen_[green[i]] + lumRed_[red[i]] + lumBlue_[blue[i]]);
            // The common case inline; twoDecimalsOfSingle() for values near a half.
            int len = twoDecimalsAwayFromHalves(value, decimalPoint_, p);
            if (len == 0)
                len = twoDecimalsOfSingle(value, decimalPoint_, p);
            if (len != 0) {
                p += len;
                break;
            }
            // Negative weights or other rare values: the general text, with room made for it.
            QByteArray text;
            appendPointText(text, sevenDigitValue(value), kind_, m_, locale_, decimalPoint_);
            if (end - p < text.size() + perValue * (count - i)) {
                const qsizetype done = p - (out.data() + pos);
                const qsizetype need = done + text.size() + perValue * (count - i);
                p = makeRoom(need) + done;
                end = out.data() + pos + need;
            }
            std::memcpy(p, text.constData(), std::size_t(text.size()));
            p += text.size();
            break;
        }
        }
    }
    out.resize(p - out.data());
}

void PointRowWriter::appendWideRow(QByteArray& out, int row, int columnFrom, int columnTo) const
{
    // 65536 levels (or 196606 sums) are too many texts to write ahead for one
    // region, so each value is measured and written on its own: the same
    // pointValue() as the workbook's cells.
    for (int column = columnFrom; column <= columnTo; ++column) {
        if (column > columnFrom)
            out += ';';
        appendPointText(out, pointValue(image_, kind_, column, row, m_), kind_, m_, locale_, decimalPoint_);
    }
}

QString pointText(double value, PixelKind kind, const MeasureSettings& m, const QLocale& locale)
{
    if (writesDecimals(kind, m)) {
        char buf[32];
        if (const int len = twoDecimalsOfDouble(value, '.', buf))
            return QString::fromLatin1(buf, len).replace(QLatin1Char('.'), locale.decimalPoint());
        return fixedText(value, 2, Precision::Double, locale);
    }
    if (kind == PixelKind::Palette)
        return shortestSingleText(float(value), locale);
    return integerText(qint64(value));
}

} // namespace lumiset

#include "output/PointValues.h"

#include "image/NumberText.h"
#include "image/Rounding.h"
#include "output/Cp1251.h"
#include "output/RegionStatistics.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace lumiset {

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

bool writesTwoDecimals(PixelKind kind, const MeasureSettings& m)
{
    return measureHasDecimals(m) && kind != PixelKind::Grey && kind != PixelKind::Unsupported;
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
// is already the answer. False when the value needs the full rounding.
inline bool hundredthsAwayFromHalves(float value, std::uint32_t& q)
{
    if (!(value >= 0.0f && value < 1000.0f))
        return false;
    const double t = double(value) * 100.0;
    const auto whole = std::uint32_t(t);
    const double frac = t - double(whole);
    if (!(std::fabs(frac - 0.5) > 0.006))
        return false;
    q = whole + std::uint32_t(frac > 0.5);
    return true;
}

// The hundredths of the "0.00" text of a float read with seven significant
// digits; false outside the range handled exactly here.
bool hundredthsOfSingle(float value, std::uint32_t& q)
{
    // Seven significant digits m of v: v · 10^(6 - e) with e = floor(log10 v).
    // A float has 24 significant bits and 5^k needs at most 26 bits for k <= 11,
    // so the product is exact in double and rounding it gives the same digits
    // as a correctly rounded decimal conversion.
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11};
    if (hundredthsAwayFromHalves(value, q))
        return true;
    if (!(value >= 0.0f) || value >= 1e5f)
        return false; // negative, NaN or too large
    if (value == 0.0f) {
        q = 0;
        return true;
    }
    const double v = value;
    int e = 0;
    if (v >= 1.0) {
        e = int(v >= 10.0) + int(v >= 100.0) + int(v >= 1000.0) + int(v >= 10000.0);
    } else {
        while (e > -5 && v < 1.0 / kPow10[-e])
            --e;
        if (v < 1.0 / kPow10[-e])
            return false;
    }
    // The product is exact and below 2^53, so its halves are true halves.
    auto m = std::int64_t(roundHalfEven(v * kPow10[6 - e]));
    if (m >= 10000000) { // rounding carried into an eighth digit: one more power of ten
        ++e;
        if (e > 4)
            return false;
        m = std::int64_t(roundHalfEven(v * kPow10[6 - e]));
    }
    // m · 10^(e - 6): keep two decimals, the first dropped digit decides (half away from zero).
    const int dropped = 4 - e;
    q = dropped > 7 ? 0 : dropDigitsHalfUp(std::uint32_t(m), dropped);
    return true;
}

// The hundredths of the "0.00" text of a double; false when only the full
// rounding can tell.
bool hundredthsOfDouble(double value, std::uint32_t& q)
{
    // Below 10^7 the fifteen digits move v by at most 5e-9, that is 5e-7
    // hundredths, and v · 100 (below 2^30) is off by at most 2^-24: unless it
    // lies within 10^-6 of a half, its nearest whole number is the rounded text.
    if (!(value >= 0.0 && value < 1e7))
        return false;
    const double t = value * 100.0;
    const auto whole = std::uint32_t(t);
    const double frac = t - double(whole);
    if (!(std::fabs(frac - 0.5) > 1e-6))
        return false;
    q = whole + std::uint32_t(frac > 0.5);
    return true;
}

// The hundredths of an 8-bit luminance kept as a float, as its text shows them.
double singleHundredths(float value)
{
    std::uint32_t q = 0;
    if (hundredthsOfSingle(value, q))
        return double(q);
    return writtenHundredths(sevenDigitValue(value));
}

} // namespace

int twoDecimalsOfSingle(float value, char decimalPoint, char* buf)
{
    std::uint32_t q = 0;
    return hundredthsOfSingle(value, q) ? writeHundredths(q, decimalPoint, buf) : 0;
}

int twoDecimalsOfDouble(double value, char decimalPoint, char* buf)
{
    std::uint32_t q = 0;
    return hundredthsOfDouble(value, q) ? writeHundredths(q, decimalPoint, buf) : 0;
}

double writtenHundredths(double value)
{
    std::uint32_t q = 0;
    if (hundredthsOfDouble(value, q))
        return double(q);
    if (!std::isfinite(value))
        return value;
    // The full rounding of the text, read back without its point.
    QByteArray digits = fixedText(value, 2, Precision::Double, QLocale::c()).toLatin1();
    digits.remove(digits.size() - 3, 1);
    double units = 0.0;
    std::from_chars(digits.constData(), digits.constData() + digits.size(), units);
    return units;
}

void appendPointText(QByteArray& out, double value, PixelKind kind, const MeasureSettings& m, const QLocale& locale,
                     char decimalPoint)
{
    char buf[32];
    if (writesTwoDecimals(kind, m)) {
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

double writtenUnits(double value, PixelKind kind, const MeasureSettings& m)
{
    return writesTwoDecimals(kind, m) ? writtenHundredths(value) : value;
}

PointRowWriter::PointRowWriter(const ImageStore& image, const MeasureSettings& m, const QLocale& locale,
                               char decimalPoint)
    : image_(image), kind_(image.pixelKind()), m_(m), locale_(locale), decimalPoint_(decimalPoint),
      wide_(image.sampleBytes() == 2)
{
    // Every measure but the colour luminance takes its value from a sample or
    // a sum of three (its key); palette indices and grey levels are the red key.
    const int levels = wide_ ? 65536 : 256;
    keys_ = levels;
    if (kind_ == PixelKind::TrueColour && m.ColorPointCount != 0) {
        switch (m.BrightnessMeasure) {
        case MeasureRed: break;
        case MeasureGreen: key_ = Key::Green; break;
        case MeasureBlue: key_ = Key::Blue; break;
        case MeasureMaximum: key_ = Key::Maximum; break;
        case MeasureMean:
            key_ = Key::Sum;
            keys_ = 3 * (levels - 1) + 1;
            break;
        case MeasureLuminance:
            key_ = Key::Luminance;
            keys_ = 0;
            for (int i = 0; i < 256; ++i) {
                lumRed_[std::size_t(i)] = double(i) * double(m.CoefRed);
                lumGreen_[std::size_t(i)] = double(i) * double(m.CoefGreen);
                lumBlue_[std::size_t(i)] = double(i) * double(m.CoefBlue);
            }
            break;
        default: zero_ = true; break;
        }
    }
    if (wide_) {
        textStart_.push_back(0); // 16-bit samples are written value by value
        return;
    }
    // 8-bit keys are few: their texts are written once here, by appendPointText.
    QByteArray text;
    for (int k = 0; k < keys_; ++k) {
        text.clear();
        appendPointText(text, keyValue(k), kind_, m, locale, decimalPoint);
        textStart_.push_back(std::uint32_t(texts_.size()));
        texts_.append(text.constData(), std::size_t(text.size()));
        longestText_ = std::max(longestText_, text.size());
    }
    textStart_.push_back(std::uint32_t(texts_.size()));
}

template <typename Sample>
int PointRowWriter::keyOf(Key key, const Sample* red, const Sample* green, const Sample* blue, int i)
{
    switch (key) {
    case Key::Green: return green[i];
    case Key::Blue: return blue[i];
    case Key::Maximum: return std::max(red[i], std::max(green[i], blue[i]));
    case Key::Sum: return int(red[i]) + int(green[i]) + int(blue[i]);
    case Key::Red:
    case Key::Luminance: break;
    }
    return red[i];
}

double PointRowWriter::keyValue(int key) const
{
    if (kind_ == PixelKind::Palette) {
        const auto& e = image_.PaletteRGB[std::size_t(key)];
        return measureOf(e[0], e[1], e[2], m_, false);
    }
    if (zero_)
        return 0.0;
    return key_ == Key::Sum ? keptSum(double(key) / 3.0, wide_) : double(key);
}

void PointRowWriter::appendRow(QByteArray& out, int row, int columnFrom, int columnTo, ValueTally* tally) const
{
    if (columnTo < columnFrom || kind_ == PixelKind::Unsupported)
        return;
    if (wide_) {
        if (tally)
            appendWideRow<true>(out, row, columnFrom, columnTo, tally);
        else
            appendWideRow<false>(out, row, columnFrom, columnTo, nullptr);
    } else if (tally) {
        appendBytesRow<true>(out, row, columnFrom, columnTo, tally);
    } else {
        appendBytesRow<false>(out, row, columnFrom, columnTo, nullptr);
    }
}

template <bool kTally>
void PointRowWriter::appendBytesRow(QByteArray& out, int row, int columnFrom, int columnTo, ValueTally* tally) const
{
    const std::uint8_t* red = image_.PixelRed.row(row) + (columnFrom - 1);
    const std::uint8_t* green = kind_ == PixelKind::TrueColour ? image_.PixelGreen.row(row) + (columnFrom - 1)
                                                               : nullptr;
    const std::uint8_t* blue = kind_ == PixelKind::TrueColour ? image_.PixelBlue.row(row) + (columnFrom - 1) : nullptr;
    const int count = columnTo - columnFrom + 1;
    // Keys are counted as their texts are copied (in the first lane of the
    // counts): the copies take longer than the increments, which hide behind them.
    std::uint32_t* counts = nullptr;
    if constexpr (kTally)
        counts = tally->keyCounts();

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
        if constexpr (kTally)
            ++counts[key];
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
            // The common case inline; hundredthsOfSingle() for values near a half.
            std::uint32_t q = 0;
            if (hundredthsAwayFromHalves(value, q) || hundredthsOfSingle(value, q)) {
                p += writeHundredths(q, decimalPoint_, p);
                if constexpr (kTally)
                    tally->addUnits(std::int64_t(q));
                break;
            }
            // Negative weights or other rare values: the general text, with room made for it.
            const double kept = sevenDigitValue(value);
            QByteArray text;
            appendPointText(text, kept, kind_, m_, locale_, decimalPoint_);
            if constexpr (kTally)
                tally->addUnits(writtenHundredths(kept));
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

template <bool kTally>
void PointRowWriter::appendWideRow(QByteArray& out, int row, int columnFrom, int columnTo, ValueTally* tally) const
{
    // 65536 levels (or 196606 sums) are too many texts to write ahead for one
    // region, so each value is measured and written on its own, by the
    // formulas of pointValue().
    const bool colour = kind_ == PixelKind::TrueColour;
    const std::uint16_t* red = image_.PixelRed.wordRow(row) + (columnFrom - 1);
    const std::uint16_t* green = colour ? image_.PixelGreen.wordRow(row) + (columnFrom - 1) : nullptr;
    const std::uint16_t* blue = colour ? image_.PixelBlue.wordRow(row) + (columnFrom - 1) : nullptr;
    std::uint32_t* counts = nullptr;
    if constexpr (kTally)
        counts = key_ == Key::Luminance ? nullptr : tally->keyCounts();
    char buf[32];
    for (int i = 0; i <= columnTo - columnFrom; ++i) {
        if (i > 0)
            out += ';';
        if (key_ != Key::Luminance) {
            const int k = keyOf(key_, red, green, blue, i);
            appendPointText(out, keyValue(k), kind_, m_, locale_, decimalPoint_);
            if constexpr (kTally)
                ++counts[k];
            continue;
        }
        const double value = measureOf(red[i], green[i], blue[i], m_, true);
        std::uint32_t q = 0;
        if (hundredthsOfDouble(value, q)) {
            out.append(buf, writeHundredths(q, decimalPoint_, buf));
            if constexpr (kTally)
                tally->addUnits(std::int64_t(q));
        } else {
            appendPointText(out, value, kind_, m_, locale_, decimalPoint_);
            if constexpr (kTally)
                tally->addUnits(writtenHundredths(value));
        }
    }
}

template <typename Sample>
void PointRowWriter::tallySamples(ValueTally& tally, const Sample* red, const Sample* green, const Sample* blue,
                                  int count) const
{
    if (key_ == Key::Luminance) {
        for (int i = 0; i < count; ++i) {
            if constexpr (sizeof(Sample) == 2) {
                const double value = measureOf(red[i], green[i], blue[i], m_, true);
                std::uint32_t q = 0;
                if (hundredthsOfDouble(value, q))
                    tally.addUnits(std::int64_t(q));
                else
                    tally.addUnits(writtenHundredths(value));
            } else {
                tally.addUnits(singleHundredths(float(lumGreen_[green[i]] + lumRed_[red[i]] + lumBlue_[blue[i]])));
            }
        }
        return;
    }
    std::uint32_t* counts = tally.keyCounts();
    const int lanes = tally.lanes();
    const auto keys = std::size_t(keys_);
    const auto countKeys = [&](auto keyOfPoint) {
        // Four lanes of counts for 8-bit keys: an increment need not wait for
        // the one before when neighbouring points share their key.
        int i = 0;
        if (lanes == 4) {
            for (; i + 4 <= count; i += 4) {
                ++counts[keyOfPoint(i)];
                ++counts[keys + keyOfPoint(i + 1)];
                ++counts[2 * keys + keyOfPoint(i + 2)];
                ++counts[3 * keys + keyOfPoint(i + 3)];
            }
        }
        for (; i < count; ++i)
            ++counts[keyOfPoint(i)];
    };
    // One loop per key, so that the choice is not made again at every point.
    switch (key_) {
    case Key::Red: countKeys([red](int i) { return std::size_t(red[i]); }); break;
    case Key::Green: countKeys([green](int i) { return std::size_t(green[i]); }); break;
    case Key::Blue: countKeys([blue](int i) { return std::size_t(blue[i]); }); break;
    case Key::Maximum:
        countKeys([=](int i) { return std::size_t(std::max(red[i], std::max(green[i], blue[i]))); });
        break;
    case Key::Sum: countKeys([=](int i) { return std::size_t(red[i]) + green[i] + blue[i]; }); break;
    case Key::Luminance: break;
    }
}

void PointRowWriter::tallyRow(ValueTally& tally, int row, int columnFrom, int columnTo) const
{
    if (columnTo < columnFrom || kind_ == PixelKind::Unsupported)
        return;
    const bool colour = kind_ == PixelKind::TrueColour;
    const int at = columnFrom - 1;
    const int count = columnTo - columnFrom + 1;
    if (wide_)
        tallySamples(tally, image_.PixelRed.wordRow(row) + at, colour ? image_.PixelGreen.wordRow(row) + at : nullptr,
                     colour ? image_.PixelBlue.wordRow(row) + at : nullptr, count);
    else
        tallySamples(tally, image_.PixelRed.row(row) + at, colour ? image_.PixelGreen.row(row) + at : nullptr,
                     colour ? image_.PixelBlue.row(row) + at : nullptr, count);
}

QString pointText(double value, PixelKind kind, const MeasureSettings& m, const QLocale& locale)
{
    if (writesTwoDecimals(kind, m)) {
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

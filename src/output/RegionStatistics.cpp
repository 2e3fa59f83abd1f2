#include "output/RegionStatistics.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace lumiset {

ValueTally ValueTally::byKey(const ValueKind& kind, std::vector<double> unitsOfKey, int lanes)
{
    ValueTally tally;
    tally.kind_ = kind;
    tally.lanes_ = std::max(lanes, 1);
    tally.counts_.assign(unitsOfKey.size() * std::size_t(tally.lanes_), 0);
    tally.unitsOfKey_ = std::move(unitsOfKey);
    return tally;
}

ValueTally ValueTally::byUnits(const ValueKind& kind, double lowest, double highest)
{
    ValueTally tally;
    tally.kind_ = kind;
    // Bounds that are not numbers (absurd weights) leave everything to the map.
    if (highest >= lowest && highest - lowest < kMaxDenseUnits) {
        tally.low_ = std::int64_t(lowest);
        tally.dense_.assign(std::size_t(highest - lowest) + 1, 0);
    }
    return tally;
}

void ValueTally::countPending()
{
    const std::size_t size = dense_.size();
    for (std::size_t k = 0; k < pendingCount_; ++k) {
        const auto i = std::uint64_t(pending_[k] - low_);
        if (i >= size)
            addOutside(double(pending_[k]));
        else if (++dense_[std::size_t(i)] == 0)
            ++wraps_[std::size_t(i)];
    }
    pendingCount_ = 0;
}

void ValueTally::addOutside(double units)
{
    if (std::isnan(units))
        ++notNumbers_;
    else
        ++outside_[units];
}

namespace {

// The counted values in ascending order, handed to \a visit as (units, count):
// the array of a tally by units merged with the listed ones (keys looked up,
// values outside the array).
template <class Visit>
void ascending(const std::vector<std::uint16_t>& dense, const std::unordered_map<std::size_t, std::uint64_t>& wraps,
               std::int64_t low, const std::vector<std::pair<double, std::uint64_t>>& listed, Visit visit)
{
    auto next = listed.begin();
    for (std::size_t i = 0; i < dense.size(); ++i) {
        std::uint64_t count = dense[i];
        if (!wraps.empty())
            if (const auto wrapped = wraps.find(i); wrapped != wraps.end())
                count += wrapped->second << 16;
        if (count == 0)
            continue;
        const double units = double(low + std::int64_t(i));
        for (; next != listed.end() && next->first < units; ++next)
            visit(next->first, next->second);
        visit(units, count);
    }
    for (; next != listed.end(); ++next)
        visit(next->first, next->second);
}

} // namespace

RegionStatistics ValueTally::statistics()
{
    countPending();
    RegionStatistics s;
    s.measure = kind_.measure;
    s.grey = kind_.grey;
    s.decimals = kind_.decimals;
    s.medianDecimals = kind_.decimals;

    std::vector<std::pair<double, std::uint64_t>> listed(outside_.begin(), outside_.end());
    std::uint64_t notNumbers = notNumbers_;
    const std::size_t keys = unitsOfKey_.size();
    for (std::size_t k = 0; k < keys; ++k) {
        std::uint64_t count = 0;
        for (std::size_t lane = 0; lane < std::size_t(lanes_); ++lane)
            count += counts_[lane * keys + k];
        if (count != 0 && std::isnan(unitsOfKey_[k]))
            notNumbers += count;
        else if (count != 0)
            listed.emplace_back(unitsOfKey_[k], count);
    }
    std::sort(listed.begin(), listed.end());

    // First pass: count, extremes and the sum. Units are whole numbers, so the
    // sum is exact in 64 bits while they stay below 2^31 (points stay below 2^32).
    std::uint64_t n = 0;
    double lowest = 0.0;
    double highest = 0.0;
    std::uint64_t wholeSum = 0; // two's complement, read as signed at the end
    long double sum = 0.0L;
    bool exact = true;
    ascending(dense_, wraps_, low_, listed, [&](double units, std::uint64_t count) {
        if (n == 0)
            lowest = units;
        highest = units;
        n += count;
        if (std::fabs(units) < 2147483648.0)
            wholeSum += std::uint64_t(std::int64_t(units)) * count;
        else
            exact = false;
        sum += (long double)units * (long double)count;
    });
    s.points = n + notNumbers;
    if (n == 0 || notNumbers != 0)
        return s;

    const double scale = kind_.decimals == 2 ? 100.0 : 1.0;
    const long double meanUnits = exact ? (long double)std::int64_t(wholeSum) / (long double)n : sum / (long double)n;
    s.minimum = lowest / scale;
    s.maximum = highest / scale;
    s.mean = double(meanUnits / scale);

    // Second pass: spread about the mean, the middle values and the bars.
    s.valueBins = kind_.eightBit && kind_.decimals == 0 && lowest >= 0.0 && highest <= 255.0;
    const double width = s.valueBins ? 1.0 : std::max(1.0, std::ceil((highest - lowest + 1.0) / kHistogramBins));
    const double first = s.valueBins ? 0.0 : lowest;
    s.histogram.resize(kHistogramBins);
    for (int k = 0; k < kHistogramBins; ++k) {
        s.histogram[std::size_t(k)].lower = (first + k * width) / scale;
        s.histogram[std::size_t(k)].upper = (first + (k + 1) * width - 1.0) / scale;
    }
    const std::uint64_t lowRank = (n + 1) / 2; // the two middle points, 1-based; one for an odd count
    const std::uint64_t highRank = n / 2 + 1;
    double lowMiddle = 0.0;
    double highMiddle = 0.0;
    std::uint64_t seen = 0;
    long double squares = 0.0L;
    ascending(dense_, wraps_, low_, listed, [&](double units, std::uint64_t count) {
        const long double d = (long double)units - meanUnits;
        squares += d * d * (long double)count;
        if (seen < lowRank && seen + count >= lowRank)
            lowMiddle = units;
        if (seen < highRank && seen + count >= highRank)
            highMiddle = units;
        seen += count;
        const double bar = std::floor((units - first) / width);
        s.histogram[std::size_t(std::clamp(bar, 0.0, double(kHistogramBins - 1)))].count += count;
    });
    if (n > 1)
        s.standardDeviation = double(std::sqrt(squares / (long double)(n - 1)) / scale);
    const double twice = lowMiddle + highMiddle;
    s.median = twice / (2.0 * scale);
    if (std::fmod(twice, 2.0) != 0.0)
        ++s.medianDecimals;
    return s;
}

ValueTally PointRowWriter::makeTally() const
{
    const ValueKind kind{m_.BrightnessMeasure, m_.ColorPointCount == 0 || kind_ == PixelKind::Grey,
                         writesTwoDecimals(kind_, m_) ? 2 : 0, !wide_};
    if (key_ == Key::Luminance) {
        // Each term lies between 0 and its weight times the largest sample. The
        // float of an 8-bit sum and its seven digits move it by a few parts in
        // 10^7, the text by half a hundredth: the margins cover both.
        const double top = wide_ ? 65535.0 : 255.0;
        double low = 0.0;
        double high = 0.0;
        for (const float w : {m_.CoefRed, m_.CoefGreen, m_.CoefBlue})
            (w < 0.0f ? low : high) += top * double(w) * 100.0;
        return ValueTally::byUnits(kind, std::floor(low * (1.0 + 1e-6)) - 1.0, std::ceil(high * (1.0 + 1e-6)) + 1.0);
    }
    std::vector<double> units(std::size_t(std::max(keys_, 0)));
    for (int k = 0; k < keys_; ++k)
        units[std::size_t(k)] = writtenUnits(keyValue(k), kind_, m_);
    return ValueTally::byKey(kind, std::move(units), wide_ ? 1 : 4);
}

namespace {

constexpr qint64 kProgressMilliseconds = 100;

} // namespace

std::optional<std::vector<RegionStatistics>> regionStatistics(const ImageStore& image, const Selection& region,
                                                              const MeasureSettings& m,
                                                              const std::vector<int>& measures,
                                                              const StatisticsProgress& progress)
{
    std::vector<int> asked = measures.empty() ? std::vector<int>{m.BrightnessMeasure} : measures;
    if (m.ColorPointCount == 0 || image.pixelKind() == PixelKind::Grey)
        asked.resize(1); // every measure writes the red component
    // The writers keep a reference to the picture and their own measure; their
    // texts are a few hundred short strings.
    std::vector<PointRowWriter> counters;
    std::vector<ValueTally> tallies;
    counters.reserve(asked.size());
    for (const int measure : asked) {
        MeasureSettings one = m;
        one.BrightnessMeasure = measure;
        counters.emplace_back(image, one, QLocale::c(), '.');
        tallies.push_back(counters.back().makeTally());
    }
    const qint64 rows = qint64(region.SelRowTo) - region.SelRowFrom + 1;
    QElapsedTimer clock;
    clock.start();
    qint64 lastCall = -kProgressMilliseconds;
    for (int y = region.SelRowFrom; y <= region.SelRowTo; ++y) {
        for (std::size_t i = 0; i < counters.size(); ++i)
            counters[i].tallyRow(tallies[i], y, region.SelColumnFrom, region.SelColumnTo);
        if (progress && clock.elapsed() - lastCall >= kProgressMilliseconds) {
            lastCall = clock.elapsed();
            if (!progress(qint64(y) - region.SelRowFrom + 1, rows))
                return std::nullopt;
        }
    }
    std::vector<RegionStatistics> results;
    results.reserve(tallies.size());
    for (ValueTally& tally : tallies)
        results.push_back(tally.statistics());
    return results;
}

} // namespace lumiset

#pragma once

#include "image/ImageStore.h"
#include "output/ExportState.h"
#include "output/PointValues.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace lumiset {

/// Bars of every histogram.
inline constexpr int kHistogramBins = 256;

/// \brief One bar of a histogram: the points whose written value lies from
/// \a lower to \a upper, both included (equal for a bar of one value).
struct HistogramBin {
    double lower = 0.0;
    double upper = 0.0;
    std::uint64_t count = 0;
};

/// \brief The statistics of the values one measure writes for a region, taken
/// from the numbers as the table file writes them: the two-decimal values of
/// the mean and the luminance of colour regions, whole numbers otherwise.
///
/// To print them as the files do, write the minimum and maximum with
/// \a decimals decimals and the median with \a medianDecimals (fixedText() in
/// the C locale gives a decimal point whatever the user's locale).
struct RegionStatistics {
    int measure = MeasureRed; ///< the measure asked for
    bool grey = false;        ///< a grey region: its red component, whatever measure was asked
    int decimals = 0;         ///< decimals of the written values: 2 or 0
    std::uint64_t points = 0;
    double minimum = std::numeric_limits<double>::quiet_NaN();
    double maximum = std::numeric_limits<double>::quiet_NaN();
    double mean = std::numeric_limits<double>::quiet_NaN(); ///< from the exact sum of the written values
    /// Sample standard deviation (divided by points - 1); NaN for a single point.
    double standardDeviation = std::numeric_limits<double>::quiet_NaN();
    /// The middle value, or the mean of the two middle ones for an even count:
    /// it can then fall halfway between two written values (12.5, 1.015).
    double median = std::numeric_limits<double>::quiet_NaN();
    int medianDecimals = 0; ///< decimals, or one more when the median falls halfway
    /// True when every bar holds one value: 8-bit whole values, bars 0 … 255.
    /// Otherwise kHistogramBins bars of equal width from the minimum, each a
    /// whole number of the file's last decimal wide; bars past the maximum are empty.
    bool valueBins = false;
    std::vector<HistogramBin> histogram; ///< counts add up to points; empty without points
};

/// \brief What a tally counts: copied into its statistics.
struct ValueKind {
    int measure = MeasureRed;
    bool grey = false;
    int decimals = 0;     ///< 2 when the units are hundredths
    bool eightBit = true; ///< values of 8-bit pictures (whole values then lie in 0 … 255)
};

/// \brief The written values of one measure over a region, counted as whole
/// numbers of units of their last decimal (writtenUnits()), not kept.
///
/// Two shapes. By key: a 32-bit count per byte, sample or sum of samples, whose
/// written value is looked up at the end (256 to 196606 counts; no picture
/// holds 2^32 points). By units: a 16-bit count per unit between two bounds
/// worked out from the weights (the 16-bit luminance at the usual weights takes
/// 6.6 million counts, 13 MiB), up to kMaxDenseUnits of them; values outside
/// the bounds, and every value when the bounds are wider than that, are counted
/// in a map that grows with the number of distinct values.
class ValueTally {
public:
    /// The widest range of units counted in an array.
    static constexpr double kMaxDenseUnits = double(1 << 24);

    ValueTally() = default;
    /// \brief Counts by key: a point of key k writes unitsOfKey[k] units. With
    /// several \a lanes the counts are kept that many times over (lane l at
    /// keyCounts() + l · keys), so that neighbouring points of equal keys do
    /// not wait for each other's increments.
    static ValueTally byKey(const ValueKind& kind, std::vector<double> unitsOfKey, int lanes = 1);
    /// \brief Counts by units, expected from \a lowest to \a highest.
    static ValueTally byUnits(const ValueKind& kind, double lowest, double highest);

    /// The counts by key (of a tally by key), for the writers' inner loops.
    std::uint32_t* keyCounts() { return counts_.data(); }
    int lanes() const { return lanes_; }
    /// \brief Counts a value by its units. Values wait in a short queue that
    /// is counted in a loop of nothing but increments: the counts of a 16-bit
    /// luminance are too many for the processor's caches, and only such a loop
    /// lets their memory reads overlap.
    void addUnits(std::int64_t units)
    {
        pending_[pendingCount_++] = units;
        if (pendingCount_ == pending_.size())
            countPending();
    }
    void addUnits(double units)
    {
        if (std::fabs(units) < 9007199254740992.0) // 2^53: whole numbers of units, held exactly
            addUnits(std::int64_t(units));
        else
            addOutside(units);
    }

    /// \brief The statistics and histogram of everything counted.
    RegionStatistics statistics();

private:
    void addOutside(double units);
    void countPending();

    ValueKind kind_;
    std::vector<std::uint32_t> counts_; ///< by key (lanes one after the other)
    /// By units: 16 bits a count, which halves what the caches must hold; a
    /// count that passes 65535 starts again from 0 and is noted in wraps_.
    std::vector<std::uint16_t> dense_;
    std::unordered_map<std::size_t, std::uint64_t> wraps_;
    std::vector<double> unitsOfKey_; ///< empty for a tally by units
    int lanes_ = 1;
    std::int64_t low_ = 0; ///< units of dense_[0]
    std::unordered_map<double, std::uint64_t> outside_;
    std::uint64_t notNumbers_ = 0; ///< NaN values, possible only with absurd weights
    std::array<std::int64_t, 256> pending_{};
    std::size_t pendingCount_ = 0;
};

/// Told how many of \a rowsTotal rows have been counted; false stops.
using StatisticsProgress = std::function<bool(qint64 rowsDone, qint64 rowsTotal)>;

/// \brief The statistics of \a region for each of \a measures (none: m.BrightnessMeasure),
/// in one read of the pixels; nullopt when \a progress stopped it.
///
/// Everything but the luminance is counted by key (at most 196606 counts, 768
/// KiB); the luminance needs at most kMaxDenseUnits counts (32 MiB) at weights
/// up to 2.56 in all for 16-bit pictures and up to 658 for 8-bit ones, beyond
/// which its memory grows with its distinct values. So all six measures take
/// at most 34 MiB beyond the pixel tables, whatever the size of the region.
/// A grey region (m.ColorPointCount 0, as countColorPoints() gives it) writes
/// its red component whatever the measure, so it gives one result, marked
/// grey, for the first measure asked.
/// \pre checkRegion(image, region) == RegionError::None.
std::optional<std::vector<RegionStatistics>> regionStatistics(const ImageStore& image, const Selection& region,
                                                              const MeasureSettings& m,
                                                              const std::vector<int>& measures = {},
                                                              const StatisticsProgress& progress = {});

} // namespace lumiset

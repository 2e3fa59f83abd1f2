// Statistics of the values as the files write them. Expected figures were
// worked out with exact fractions from the written texts; the writers' own
// counts (CSV rows, workbook sheets) must give the same figures.

#include "output/RegionStatistics.h"

#include "output/CsvExport.h"
#include "output/OutputFixtures.h"
#include "output/RecordingExportProgress.h"
#include "output/RecordingSheet.h"
#include "output/SpreadsheetExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace lumiset {
namespace {

using namespace lumiset::test;

ImageStore wideGreyImage(const std::vector<std::uint16_t>& levels)
{
    ImageStore s = loadedImage("QT", 16, int(levels.size()), 1, false);
    s.DecodedColourType = DecodedColour::Grey;
    s.BitsPerChannel = 16;
    s.PixelRed.resize(s.ImageWidth, 1, 2);
    s.PixelRed.allocate();
    std::copy(levels.begin(), levels.end(), s.PixelRed.wordRow(1));
    return s;
}

// Every figure and bar, to 17 digits, so that two results compare as one text.
QString describe(const RegionStatistics& s)
{
    QStringList parts;
    for (const double v : {double(s.points), s.minimum, s.maximum, s.mean, s.standardDeviation, s.median,
                           double(s.decimals), double(s.medianDecimals), double(s.valueBins), double(s.grey)})
        parts << QString::number(v, 'g', 17);
    for (const HistogramBin& b : s.histogram)
        parts << QStringLiteral("%1..%2:%3").arg(b.lower, 0, 'g', 17).arg(b.upper, 0, 'g', 17).arg(b.count);
    return parts.join(QLatin1Char(' '));
}

using Bar = std::tuple<int, double, double, std::uint64_t>; // bar, lower, upper, count

struct Figures {
    std::uint64_t points;
    double minimum, maximum, mean, deviation, median;
    int decimals, medianDecimals;
};

struct Asked {
    ImageStore (*image)();
    Selection region;
    int measure;
    std::array<float, 3> weights;
};

struct Case {
    const char* name;
    Asked asked;
    Figures want;
    std::vector<Bar> bars;
};

constexpr std::array<float, 3> kUsual{0.299f, 0.587f, 0.114f};

ImageStore grey8()
{
    return singlePlaneImage({{10, 20, 31}, {40, 50, 255}}, {}, true);
}
ImageStore colour8()
{
    return trueColourImage({{Rgb8{1, 2, 4}, Rgb8{0, 0, 1}}, {Rgb8{255, 255, 254}, Rgb8{10, 20, 31}}});
}
ImageStore palette8()
{
    return singlePlaneImage({{0, 1, 2, 1}}, {Rgb8{255, 255, 254}, Rgb8{1, 2, 4}, Rgb8{10, 20, 31}});
}
ImageStore grey16()
{
    return wideGreyImage({0, 1000, 1001, 65535});
}
ImageStore colour16()
{
    return wideColourImage(
        {{{54445, 4235, 35909}, {15455, 64937, 58915}, {65535, 65535, 65534}, {48766, 58307, 35158}, {1, 2, 4}}});
}

// Red 0 … 999 with green one above: a luminance of weights 1, 0, 0 writes 0.00 … 999.00.
ImageStore ramp16()
{
    std::vector<std::array<std::uint16_t, 3>> row(1000);
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = {std::uint16_t(i), std::uint16_t(i + 1), 0};
    return wideColourImage({row});
}

ImageStore flat16()
{
    using Row = std::vector<std::array<std::uint16_t, 3>>;
    return wideColourImage(std::vector<Row>(10, Row(7000, {1, 2, 4})));
}

TEST(RegionStatisticsTest, WrittenValuesOfEachKindAndMeasure)
{
    const Case cases[] = {
        {"8-bit grey, even count: median halfway",
         {grey8, region(1, 1, 3, 2), MeasureMean, kUsual},
         {6, 10, 255, 67.66666666666667, 92.85831501091685, 35.5, 0, 1},
         {{31, 31, 31, 1}, {255, 255, 255, 1}, {0, 0, 0, 0}}},
        {"8-bit grey, odd count",
         {grey8, region(1, 1, 3, 1), MeasureRed, kUsual},
         {3, 10, 31, 20.333333333333332, 10.503967504392486, 20, 0, 0},
         {{20, 20, 20, 1}}},
        {"8-bit colour mean: two-decimal values",
         {colour8, region(1, 1, 2, 2), MeasureMean, kUsual},
         {4, 0.33, 254.67, 69.415, 123.83037686017649, 11.33, 2, 2},
         {{0, 0.33, 1.32, 1}, {2, 2.33, 3.32, 1}, {254, 254.33, 255.32, 1}}},
        {"palette luminance: keys whose values are out of order; a median of three decimals",
         {palette8, region(1, 1, 4, 1), MeasureLuminance, kUsual},
         {4, 1.93, 254.89, 69.2525, 123.99751943083378, 10.095, 2, 3},
         {{0, 1.93, 2.91, 2}, {16, 17.77, 18.75, 1}, {255, 254.38, 255.36, 1}}},
        {"negative and large weights: counted outside the array",
         {colour8, region(1, 1, 2, 2), MeasureLuminance, {-1.5f, 700.25f, 0.001f}},
         {4, 0, 178181.5, 48392.6325, 86754.32277708256, 7694.515, 2, 3},
         {{2, 1392.06, 2088.08, 1}, {255, 177487.65, 178183.67, 1}}},
        {"16-bit grey: bars 256 levels wide",
         {grey16, region(1, 1, 4, 1), MeasureRed, kUsual},
         {4, 0, 65535, 16884, 32437.429008271705, 1000.5, 0, 1},
         {{0, 0, 255, 1}, {3, 768, 1023, 2}, {255, 65280, 65535, 1}}},
        {"16-bit luminance from the double sums",
         {colour16, region(1, 1, 5, 1), MeasureLuminance, kUsual},
         {5, 1.93, 65534.89, 38133.216, 26371.922923372123, 49455.37, 2, 2},
         {{0, 1.93, 257.91, 1}, {89, 22785.04, 23041.02, 1}, {255, 65279.38, 65535.36, 1}}},
        {"16-bit luminance of many points: mean and median of 0 … 999, deviation sqrt(1000 · 1001 / 12)",
         {ramp16, region(1, 1, 1000, 1), MeasureLuminance, {1, 0, 0}},
         {1000, 0, 999, 499.5, 288.8194360957494, 499.5, 2, 2},
         {{0, 0, 3.9, 4}, {255, 997.05, 1000.95, 2}}},
        {"70000 equal points: a 16-bit count passes 65535",
         {flat16, region(1, 1, 7000, 10), MeasureLuminance, kUsual},
         {70000, 1.93, 1.93, 1.93, 0, 1.93, 2, 2},
         {{0, 1.93, 1.93, 70000}}},
        {"16-bit mean by sums of samples",
         {colour16, region(1, 1, 5, 1), MeasureMean, kUsual},
         {5, 2.33, 65534.67, 38182.534, 24512.21324920865, 46435.67, 2, 2},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Asked& in = c.asked;
        Workspace ws = preparedWorkspace(in.image(), in.region, in.measure);
        std::tie(ws.measure.CoefRed, ws.measure.CoefGreen, ws.measure.CoefBlue) = std::tuple(
            in.weights[0], in.weights[1], in.weights[2]);
        const auto all = regionStatistics(ws.image, ws.selection, ws.measure, {in.measure});
        ASSERT_TRUE(all && all->size() == 1);
        const RegionStatistics& s = all->front();
        const Figures& w = c.want;
        EXPECT_EQ(std::tuple(s.points, s.minimum, s.maximum, s.median, s.decimals, s.medianDecimals),
                  std::tuple(w.points, w.minimum, w.maximum, w.median, w.decimals, w.medianDecimals));
        EXPECT_DOUBLE_EQ(s.mean, w.mean);
        EXPECT_DOUBLE_EQ(s.standardDeviation, w.deviation);
        ASSERT_EQ(s.histogram.size(), std::size_t(kHistogramBins));
        std::uint64_t total = 0;
        for (const HistogramBin& b : s.histogram)
            total += b.count;
        EXPECT_EQ(total, w.points);
        for (const auto& [bar, lower, upper, count] : c.bars) {
            const HistogramBin& b = s.histogram[std::size_t(bar)];
            EXPECT_EQ(std::tuple(b.lower, b.upper, b.count), std::tuple(lower, upper, count)) << "bar " << bar;
        }

        // The same figures counted while the CSV rows and the workbook sheet are written.
        RegionStatistics fromCsv;
        csvBytes(ws.image, ws.selection, ws.measure, QStringLiteral("x.bmp"), QLocale::c(), {}, {}, &fromCsv);
        EXPECT_EQ(describe(fromCsv), describe(s));
        std::vector<RegionStatistics> fromBook;
        RecordingSheet sheet;
        RecordingExportProgress view;
        ASSERT_EQ(exportToSpreadsheet(ws, sheet, view, QLocale::c(), {}, {false, {}, &fromBook}),
                  SpreadsheetOutcome::Written);
        ASSERT_EQ(fromBook.size(), 1u);
        EXPECT_EQ(describe(fromBook[0]), describe(s));
    }
}

// A grey region writes its red component whatever the measure: one result.
TEST(RegionStatisticsTest, GreyRegionGivesOneResult)
{
    const ImageStore image = trueColourImage({{Rgb8{7, 7, 7}, Rgb8{9, 9, 9}}, {Rgb8{1, 2, 3}, Rgb8{4, 5, 6}}});
    const Selection grey = region(1, 1, 2, 1);
    MeasureSettings m;
    m.ColorPointCount = countColorPoints(image, grey);
    const auto all = regionStatistics(image, grey, m, {MeasureMean, MeasureLuminance});
    ASSERT_TRUE(all && all->size() == 1);
    EXPECT_TRUE(all->front().grey);
    EXPECT_EQ(all->front().mean, 8.0);
    EXPECT_EQ(all->front().decimals, 0);
    EXPECT_FALSE(regionStatistics(image, grey, m, {}, [](qint64, qint64) { return false; })) << "stopped";
}

} // namespace
} // namespace lumiset

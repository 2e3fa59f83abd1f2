// The number texts: fixedText() and its rounding, and the table files' shortcuts
// (the "0.00" writers, whole rows of ready-made texts), which must give the texts
// of fixedText() and of the point-by-point path, and the readout the texts of the file.

#include "output/PointValues.h"

#include "OutputFixtures.h"
#include "image/NumberText.h"
#include "output/SelectionMath.h"
#include "support/ImageBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <span>

namespace lumiset {
namespace {

using test::Rgb8;

TEST(FixedText, RoundsTheDecimalTextHalfAwayFromZero)
{
    constexpr auto D = Precision::Double;
    const struct {
        const char* rule;
        double value;
        int decimals;
        Precision precision;
        QLocale::Language language;
        const char* expected;
    } cases[] = {
        {"480 / 161 under a comma locale", 480.0 / 161, 2, D, QLocale::Russian, "2,98"},
        {"0.815 lies below the tie in binary but its text rounds up", 0.815, 2, D, QLocale::Russian, "0,82"},
        {"single 76.244995 reads 76.24500 at 7 digits", double(76.244995f), 2, Precision::Single, QLocale::Russian,
         "76,25"},
        {"exact binary tie goes away from zero", 0.125, 2, D, QLocale::Russian, "0,13"},
        {"negative tie goes away from zero", -1.005, 2, D, QLocale::Russian, "-1,01"},
        {"carry through nines", 9.995, 2, D, QLocale::Russian, "10,00"},
        {"negative that rounds to zero has no sign", -0.001, 2, D, QLocale::Russian, "0,00"},
    };
    for (const auto& c : cases) {
        const QLocale locale(c.language, c.language == QLocale::Russian ? QLocale::Russia : QLocale::UnitedStates);
        EXPECT_EQ(fixedText(c.value, c.decimals, c.precision, locale), QString(c.expected)) << c.rule;
    }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {{2.5, 2},    {3.5, 4},    {-2.5, -2}, {-3.5, -4},    {0.5, 0},
                                               {1.4999, 1}, {1.5001, 2}, {-0.2, 0},  {4096.5, 4096}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(roundHalfEven(in), out) << in;
}

TEST(PowerOfTwoText, ExactDigitsWhileDoubleHoldsThemThenNoInfinity)
{
    EXPECT_EQ(powerOfTwoText(64), "18446744073709551616");
    const QString big = powerOfTwoText(1023);
    EXPECT_TRUE(big.startsWith("898846567431157953864652595394512366")) << big.toStdString();
    EXPECT_EQ(big.size(), 308);
    EXPECT_EQ(powerOfTwoText(1024), "2^1024");
}

QString viaSingle(float v)
{
    char buf[32];
    const int len = twoDecimalsOfSingle(v, '.', buf);
    return len ? QString::fromLatin1(buf, len) : QString();
}

QString viaDouble(double v)
{
    char buf[32];
    const int len = twoDecimalsOfDouble(v, '.', buf);
    return len ? QString::fromLatin1(buf, len) : QString();
}

// Each shortcut, where it answers, against fixedText: seven significant digits
// for the floats of 8-bit rows, fifteen for point values.
void expectShortcutsAgree(float single, double value)
{
    if (const QString got = viaSingle(single); !got.isNull()) {
        ASSERT_EQ(got, fixedText(single, 2, Precision::Single, QLocale::c())) << single;
    }
    if (const QString got = viaDouble(value); !got.isNull()) {
        ASSERT_EQ(got, fixedText(value, 2, Precision::Double, QLocale::c())) << value;
    }
}

TEST(PointTextTest, ShortcutAgreesWithFixedText)
{
    const QLocale comma = test::commaLocale();
    MeasureSettings luminance;
    luminance.BrightnessMeasure = MeasureLuminance;
    luminance.ColorPointCount = 1;
    // Ties of the decimal text, values just below them, carries into a new
    // digit, tiny and large values, and what the shortcut leaves to fixedText.
    const double ties[] = {0.0,  0.815, 76.245, 20.33333, 0.005,    0.004999,  9.999995, 99.99995, 255.0, 99999.99,
                           1e-5, 1e-9,  0.125,  2.675,    1000.005, 0.0499999, 290.7,    -1.0,     1e5,   3e7};
    const double exact[] = {22858.625782050192, 65534.994999999995, 9999999.995, 99999.995, 0.004999999999999};
    for (const auto& values : {std::span<const double>(ties), std::span<const double>(exact)})
        for (const double v : values) {
            SCOPED_TRACE(v);
            QByteArray written;
            appendPointText(written, v, PixelKind::TrueColour, luminance, comma, ',');
            EXPECT_EQ(QString::fromLatin1(written), fixedText(v, 2, Precision::Double, comma));
        }
    std::mt19937 gen(12345);
    std::uniform_real_distribution<float> range(0.0f, 1000.0f);
    std::uniform_real_distribution<double> wide(0.0, 1e7);
    std::uniform_int_distribution<std::uint32_t> bits(0x37000000u, 0x47C34FFFu); // 7.6e-6 … 99999.99
    for (int i = 0; i < 200000; ++i) {
        float v = range(gen);
        if (i % 2) {
            const std::uint32_t b = bits(gen);
            std::memcpy(&v, &b, 4);
        }
        expectShortcutsAgree(v, i % 2 ? double(v) * 97.0 : wide(gen));
    }
    // Values either side of every half hundredth below 1000 and of a sample
    // above: floats a few steps away, where the seven-digit text decides the
    // rounding, and doubles just outside the margin the double shortcut leaves.
    for (int k = 0; k < 100000; ++k) {
        const double half = ((k < 99990 ? k : k * 97) + 0.5) / 100.0;
        float v = float(half);
        for (int i = 0; i < 4; ++i)
            v = std::nextafter(v, 0.0f);
        for (int i = 0; i < 9; ++i, v = std::nextafter(v, 1e30f))
            expectShortcutsAgree(v, half + (i - 4) * 4e-9);
    }
}

// What the table files held before rows were written whole: point by point.
QByteArray pointByPoint(const ImageStore& image, int row, int from, int to, const MeasureSettings& m,
                        const QLocale& locale, char point)
{
    QByteArray out;
    for (int x = from; x <= to; ++x) {
        appendPointText(out, pointValue(image, image.pixelKind(), x, row, m), image.pixelKind(), m, locale, point);
        if (x < to)
            out += ';';
    }
    return out;
}

TEST(PointRowWriterTest, RowsMatchPointByPointForEveryKindAndMeasure)
{
    std::mt19937 gen(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    const auto rgb = [&] { return Rgb8{std::uint8_t(byte(gen)), std::uint8_t(byte(gen)), std::uint8_t(byte(gen))}; };
    std::vector<std::vector<Rgb8>> colour(4, std::vector<Rgb8>(300));
    std::vector<std::vector<std::uint8_t>> indices(4, std::vector<std::uint8_t>(300));
    std::vector<Rgb8> palette(256);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 300; ++x) {
            colour[std::size_t(y)][std::size_t(x)] = rgb();
            indices[std::size_t(y)][std::size_t(x)] = std::uint8_t(byte(gen));
        }
    for (auto& c : palette)
        c = rgb();
    std::vector<MeasureSettings> measures;
    for (const int measure : {1, 2, 3, 4, 5, 6, 99})
        for (const qint32 colourPoints : {0, 5})
            measures.push_back({measure, 0.299f, 0.587f, 0.114f, colourPoints});
    measures.push_back({MeasureLuminance, -1.5f, 700.25f, 0.001f, 1}); // negative and large sums
    std::vector<std::vector<std::array<std::uint16_t, 3>>> wide(4, std::vector<std::array<std::uint16_t, 3>>(300));
    for (auto& row : wide)
        for (auto& c : row)
            c = {std::uint16_t(byte(gen) * 257), std::uint16_t(gen()), std::uint16_t(gen())};
    const ImageStore images[] = {test::trueColourImage(colour), test::singlePlaneImage(indices, palette),
                                 test::singlePlaneImage(indices, palette, true), test::wideColourImage(wide)};
    for (const ImageStore& image : images)
        for (const MeasureSettings& m : measures)
            for (const auto& [locale, point] : {std::pair{test::commaLocale(), ','}, std::pair{QLocale::c(), '.'}})
                for (int row = 1; row <= 4; ++row)
                    for (const auto& [from, to] : {std::pair{1, 300}, std::pair{37, 37}, std::pair{100, 140}}) {
                        SCOPED_TRACE(testing::Message()
                                     << "bits " << image.BitsPerPixel << " measure " << m.BrightnessMeasure << " count "
                                     << m.ColorPointCount << " weights " << m.CoefRed << " row " << row);
                        QByteArray out("prefix|"); // rows are appended to what is already there
                        PointRowWriter(image, m, locale, point).appendRow(out, row, from, to);
                        ASSERT_EQ(out, "prefix|" + pointByPoint(image, row, from, to, m, locale, point));
                    }
}

// One number per point: the zoomed readout shows the text the file writes, for
// every 8-bit colour and for 16-bit samples whose means and luminances come from
// the double sum, at the default weights.
TEST(PointRowWriterTest, ReadoutShowsTheFileTextOfEveryColour)
{
    ImageStore every = test::loadedImage("BM", 24, 4096, 4096, true);
    for (int colour = 0; colour < (1 << 24); ++colour) {
        const int x = colour % 4096 + 1, y = colour / 4096 + 1;
        every.PixelRed(x, y) = std::uint8_t(colour >> 16);
        every.PixelGreen(x, y) = std::uint8_t(colour >> 8);
        every.PixelBlue(x, y) = std::uint8_t(colour);
    }
    const ImageStore wide = test::wideColourImage(
        {{{54445, 4235, 35909}, {15455, 64937, 58915}, {65535, 65535, 65534}, {48766, 58307, 35158}, {1, 2, 4}}});
    const QLocale comma = test::commaLocale();
    for (const ImageStore* image : std::array<const ImageStore*, 2>{&every, &wide})
        for (const int measure : {MeasureLuminance, MeasureMean}) {
            const MeasureSettings m{measure, 0.299f, 0.587f, 0.114f, 1};
            const PointRowWriter writer(*image, m, comma, ',');
            int differ = 0;
            QByteArray row;
            for (int y = 1; y <= image->ImageHeight; ++y) {
                row.clear();
                writer.appendRow(row, y, 1, image->ImageWidth);
                const char* text = row.constData();
                for (int x = 1; x <= image->ImageWidth; ++x, ++text) {
                    const char* const stop = std::find(text, row.constData() + row.size(), ';');
                    const auto shown = readoutBrightness(*image, PixelKind::TrueColour, x, y, ReadoutView::Zoomed, m,
                                                         comma);
                    if (shown != QLatin1String(text, stop - text) && differ++ == 0)
                        ADD_FAILURE() << "point " << x << "," << y << " shows " << qPrintable(shown.value_or(""))
                                      << ", the file writes " << std::string(text, stop);
                    text = stop;
                }
            }
            EXPECT_EQ(differ, 0) << "bits " << image->BitsPerPixel << " measure " << measure;
        }
}

} // namespace
} // namespace lumiset

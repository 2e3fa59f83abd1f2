#include "output/PointValues.h"

#include "OutputFixtures.h"
#include "image/NumberText.h"

#include <gtest/gtest.h>

#include <random>

namespace lumiset {
namespace {

using test::Rgb8;

// What the table files held before rows were written whole: point by point
// through pointValue() and appendPointText().
QByteArray pointByPoint(const ImageStore& image, int row, int from, int to, const MeasureSettings& m,
                        const QLocale& locale, char point)
{
    QByteArray out;
    const PixelKind kind = image.pixelKind();
    for (int x = from; x <= to; ++x) {
        appendPointText(out, pointValue(image, kind, x, row, m), kind, m, locale, point);
        if (x < to)
            out += ';';
    }
    return out;
}

QByteArray wholeRow(const ImageStore& image, int row, int from, int to, const MeasureSettings& m,
                    const QLocale& locale, char point)
{
    QByteArray out("prefix|"); // rows are appended to what is already there
    PointRowWriter(image, m, locale, point).appendRow(out, row, from, to);
    return out.mid(7);
}

std::vector<MeasureSettings> everyMeasure()
{
    std::vector<MeasureSettings> all;
    for (const int measure : {int(MeasureRed), int(MeasureGreen), int(MeasureBlue), int(MeasureMean), int(MeasureMaximum),
                              int(MeasureLuminance), 99})
        for (const qint32 colourPoints : {0, 5}) {
            MeasureSettings m;
            m.BrightnessMeasure = measure;
            m.ColorPointCount = colourPoints;
            all.push_back(m);
        }
    MeasureSettings odd; // weights that give negative and large sums: the general texts
    odd.BrightnessMeasure = MeasureLuminance;
    odd.ColorPointCount = 1;
    odd.CoefRed = -1.5f;
    odd.CoefGreen = 700.25f;
    odd.CoefBlue = 0.001f;
    all.push_back(odd);
    return all;
}

TEST(PointRowWriterTest, RowsMatchPointByPointForEveryKindAndMeasure)
{
    std::mt19937 gen(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::vector<Rgb8>> colour(6, std::vector<Rgb8>(300));
    std::vector<std::vector<std::uint8_t>> indices(6, std::vector<std::uint8_t>(300));
    for (auto& row : colour)
        for (auto& c : row)
            c = {std::uint8_t(byte(gen)), std::uint8_t(byte(gen)), std::uint8_t(byte(gen))};
    for (auto& row : indices)
        for (auto& i : row)
            i = std::uint8_t(byte(gen));
    std::vector<Rgb8> palette(256);
    for (auto& c : palette)
        c = {std::uint8_t(byte(gen)), std::uint8_t(byte(gen)), std::uint8_t(byte(gen))};

    const ImageStore images[] = {test::trueColourImage(colour), test::singlePlaneImage(indices, palette),
                                 test::singlePlaneImage(indices, palette, true)};
    for (const ImageStore& image : images)
        for (const MeasureSettings& m : everyMeasure())
            for (const auto& [locale, point] : {std::pair{test::commaLocale(), ','}, std::pair{QLocale::c(), '.'}})
                for (int row = 1; row <= 6; ++row) {
                    SCOPED_TRACE(testing::Message() << "bits " << image.BitsPerPixel << " measure "
                                                    << m.BrightnessMeasure << " count " << m.ColorPointCount
                                                    << " weights " << m.CoefRed << " row " << row);
                    ASSERT_EQ(wholeRow(image, row, 1, 300, m, locale, point),
                              pointByPoint(image, row, 1, 300, m, locale, point));
                    ASSERT_EQ(wholeRow(image, row, 37, 37, m, locale, point),
                              pointByPoint(image, row, 37, 37, m, locale, point));
                    ASSERT_EQ(wholeRow(image, row, 100, 140, m, locale, point),
                              pointByPoint(image, row, 100, 140, m, locale, point));
                }
}

// Every colour a 24-bit point can have, in strides, with the default weights:
// the luminance texts agree with the number formatting helper.
TEST(PointRowWriterTest, LuminanceOfColoursAgreesWithFixedText)
{
    std::vector<std::vector<Rgb8>> rows(1, std::vector<Rgb8>(256));
    MeasureSettings m;
    m.BrightnessMeasure = MeasureLuminance;
    m.ColorPointCount = 1;
    for (int red = 0; red < 256; red += 3)
        for (int green = red % 5; green < 256; green += 5) {
            for (int blue = 0; blue < 256; ++blue)
                rows[0][std::size_t(blue)] = {std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue)};
            const ImageStore image = test::trueColourImage(rows);
            const QByteArray written = wholeRow(image, 1, 1, 256, m, QLocale::c(), '.');
            QStringList expected;
            for (int blue = 0; blue < 256; ++blue)
                expected << fixedText(pointValue(image, PixelKind::TrueColour, blue + 1, 1, m), 2, Precision::Single,
                                      QLocale::c());
            ASSERT_EQ(QString::fromLatin1(written), expected.join(QLatin1Char(';'))) << red << "," << green;
        }
}

} // namespace
} // namespace lumiset

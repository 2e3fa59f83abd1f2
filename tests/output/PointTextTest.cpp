// The table files' shortcuts (the "0.00" writer, whole rows of ready-made texts)
// must give the texts of fixedText() and of the point-by-point path.

#include "output/PointValues.h"

#include "OutputFixtures.h"
#include "image/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace lumiset {
namespace {

using test::Rgb8;

QString viaShortcut(float v)
{
    char buf[32];
    const int len = twoDecimalsOfSingle(v, '.', buf);
    return len ? QString::fromLatin1(buf, len) : QStringLiteral("<none>");
}

void expectShortcutAgrees(float v)
{
    const QString got = viaShortcut(v);
    if (got != QLatin1String("<none>"))
        ASSERT_EQ(got, fixedText(v, 2, Precision::Single, QLocale::c())) << v;
}

TEST(PointTextTest, ShortcutAgreesWithFixedText)
{
    const QLocale comma = test::commaLocale();
    MeasureSettings luminance;
    luminance.BrightnessMeasure = MeasureLuminance;
    luminance.ColorPointCount = 1;
    // Ties of the seven-digit text, values just below them, carries into a new
    // digit, tiny and large values, and what the shortcut leaves to fixedText.
    for (const float v : {0.0f, 0.815f, 76.244995f, 20.333334f, 0.005f, 0.004999f, 9.999995f, 99.99995f, 255.0f,
                          99999.99f, 1e-5f, 1e-9f, 0.125f, 2.675f, 1000.005f, 0.0499999f, 290.7f, -1.0f, 1e5f, 3e7f}) {
        SCOPED_TRACE(v);
        QByteArray written;
        appendPointText(written, v, PixelKind::TrueColour, luminance, comma, ',');
        EXPECT_EQ(QString::fromLatin1(written), fixedText(v, 2, Precision::Single, comma));
    }
    std::mt19937 gen(12345);
    std::uniform_real_distribution<float> range(0.0f, 1000.0f);
    std::uniform_int_distribution<std::uint32_t> bits(0x37000000u, 0x47C34FFFu); // 7.6e-6 … 99999.99
    for (int i = 0; i < 200000; ++i) {
        float v = range(gen);
        if (i % 2) {
            const std::uint32_t b = bits(gen);
            std::memcpy(&v, &b, 4);
        }
        expectShortcutAgrees(v);
    }
    // Floats a few steps either side of every half hundredth below 1000 and of a
    // sample above: where the seven-digit text decides the rounding.
    for (int k = 0; k < 100000; ++k) {
        float v = float(((k < 99990 ? k : k * 97) + 0.5) / 100.0);
        for (int i = 0; i < 4; ++i)
            v = std::nextafter(v, 0.0f);
        for (int i = 0; i < 9; ++i, v = std::nextafter(v, 1e30f))
            expectShortcutAgrees(v);
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
    const ImageStore images[] = {test::trueColourImage(colour), test::singlePlaneImage(indices, palette),
                                 test::singlePlaneImage(indices, palette, true)};
    for (const ImageStore& image : images)
        for (const MeasureSettings& m : measures)
            for (const auto& [locale, point] : {std::pair{test::commaLocale(), ','}, std::pair{QLocale::c(), '.'}})
                for (int row = 1; row <= 4; ++row)
                    for (const auto& [from, to] : {std::pair{1, 300}, std::pair{37, 37}, std::pair{100, 140}}) {
                        SCOPED_TRACE(testing::Message() << "bits " << image.BitsPerPixel << " measure "
                                                        << m.BrightnessMeasure << " count " << m.ColorPointCount
                                                        << " weights " << m.CoefRed << " row " << row);
                        QByteArray out("prefix|"); // rows are appended to what is already there
                        PointRowWriter(image, m, locale, point).appendRow(out, row, from, to);
                        ASSERT_EQ(out, "prefix|" + pointByPoint(image, row, from, to, m, locale, point));
                    }
}

} // namespace
} // namespace lumiset

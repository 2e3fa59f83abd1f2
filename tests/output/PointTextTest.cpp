#include "output/PointValues.h"

#include "image/NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>

namespace lumiset {
namespace {

// The table files write "0.00" texts through a shortcut; it must agree with the
// program's number formatting for every float a luminance or mean can produce.
QString viaShortcut(float v, char point)
{
    char buf[32];
    const int len = twoDecimalsOfSingle(v, point, buf);
    return len ? QString::fromLatin1(buf, len) : QStringLiteral("<none>");
}

TEST(PointTextTest, ShortcutAgreesWithFixedText)
{
    const QLocale comma(QLocale::Russian, QLocale::Russia);
    const std::array<float, 16> edges{0.0f,      0.815f,     76.244995f, 20.333334f, 0.005f,    0.004999f,
                                      9.999995f, 99.99995f,  255.0f,     99999.99f,  1e-5f,     0.125f,
                                      2.675f,    1000.005f,  0.0499999f, 290.7f};
    MeasureSettings luminance;
    luminance.BrightnessMeasure = MeasureLuminance;
    luminance.ColorPointCount = 1;
    for (const float v : edges) {
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
        const QString got = viaShortcut(v, '.');
        if (got == QLatin1String("<none>"))
            continue;
        ASSERT_EQ(got, fixedText(v, 2, Precision::Single, QLocale::c())) << v;
    }
}

TEST(PointTextTest, ShortcutDeclinesWhatItCannotDoExactly)
{
    char buf[32];
    EXPECT_EQ(twoDecimalsOfSingle(-1.0f, '.', buf), 0);
    EXPECT_EQ(twoDecimalsOfSingle(100000.0f, '.', buf), 0);
    // Tiny values are within reach again through v · 100: they round to 0.00.
    EXPECT_EQ(viaShortcut(1e-9f, '.'), fixedText(1e-9f, 2, Precision::Single, QLocale::c()));
}

} // namespace
} // namespace lumiset

namespace lumiset {
namespace {

// Floats a few steps either side of every half hundredth below 1000 (and of a
// sample of them above): where the seven-digit text decides the rounding.
TEST(PointTextTest, ShortcutAgreesWithFixedTextNearHalves)
{
    for (int k = 0; k < 100000; ++k) {
        const int hundredths = k < 99990 ? k : k * 97;
        const float centre = float((hundredths + 0.5) / 100.0);
        float v = centre;
        for (int i = 0; i < 4; ++i)
            v = std::nextafter(v, 0.0f);
        for (int i = 0; i < 9; ++i, v = std::nextafter(v, 1e30f)) {
            const QString got = viaShortcut(v, '.');
            if (got == QLatin1String("<none>"))
                continue;
            ASSERT_EQ(got, fixedText(v, 2, Precision::Single, QLocale::c())) << v;
        }
    }
}

} // namespace
} // namespace lumiset

#include "image/NumberText.h"

#include "support/ImageBuilders.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumiset;

namespace {

struct FixedCase {
    const char* rule;
    double value;
    int decimals;
    Precision precision;
    QLocale::Language language;
    const char* expected;
};

class FixedText : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedText, RoundsTheDecimalTextHalfAwayFromZero)
{
    const FixedCase& c = GetParam();
    const QLocale locale(c.language, c.language == QLocale::Russian ? QLocale::Russia : QLocale::UnitedStates);
    EXPECT_EQ(fixedText(c.value, c.decimals, c.precision, locale), QString::fromUtf8(c.expected)) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FixedText,
    ::testing::Values(
        FixedCase{"480 / 161 under a comma locale", 480.0 / 161, 2, Precision::Double, QLocale::Russian, "2,98"},
        FixedCase{"point locale", 480.0 / 161, 2, Precision::Double, QLocale::English, "2.98"},
        FixedCase{"0.815 lies below the tie in binary but its text rounds up", 0.815, 2, Precision::Double,
                  QLocale::Russian, "0,82"},
        FixedCase{"single 76.244995 reads 76.24500 at 7 digits", double(76.244995f), 2, Precision::Single,
                  QLocale::Russian, "76,25"},
        FixedCase{"single 20.333334 to one decimal", double(20.333334f), 1, Precision::Single, QLocale::Russian,
                  "20,3"},
        FixedCase{"exact binary tie goes away from zero", 0.125, 2, Precision::Double, QLocale::Russian, "0,13"},
        FixedCase{"negative tie goes away from zero", -1.005, 2, Precision::Double, QLocale::Russian, "-1,01"},
        FixedCase{"carry through nines", 9.995, 2, Precision::Double, QLocale::Russian, "10,00"},
        FixedCase{"no group separator", 1234567.5, 2, Precision::Double, QLocale::Russian, "1234567,50"},
        FixedCase{"tiny number", 1e-20, 3, Precision::Double, QLocale::Russian, "0,000"},
        FixedCase{"negative that rounds to zero has no sign", -0.001, 2, Precision::Double, QLocale::Russian,
                  "0,00"},
        FixedCase{"three decimals", 2.0 / 3, 3, Precision::Double, QLocale::Russian, "0,667"},
        FixedCase{"large whole number with zeros", 1e15, 1, Precision::Double, QLocale::Russian,
                  "1000000000000000,0"},
        FixedCase{"zero", 0.0, 2, Precision::Double, QLocale::Russian, "0,00"}));

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0},
                                               {1.4999, 1}, {1.5001, 2}, {-0.2, 0}, {4096.5, 4096}};
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(roundHalfEven(in), out);
    }
}

TEST(PowerOfTwoText, ExactDigitsWhileDoubleHoldsThemThenNoInfinity)
{
    EXPECT_EQ(powerOfTwoText(0), "1");
    EXPECT_EQ(powerOfTwoText(24), "16777216");
    EXPECT_EQ(powerOfTwoText(64), "18446744073709551616");
    const QString big = powerOfTwoText(1023);
    EXPECT_TRUE(big.startsWith("898846567431157953864652595394512366")) << big.toStdString();
    EXPECT_EQ(big.size(), 308);
    EXPECT_EQ(powerOfTwoText(1024), "2^1024");
    EXPECT_EQ(powerOfTwoText(65535), "2^65535");
}

} // namespace

#include "image/NumberText.h"

#include <gtest/gtest.h>

using namespace lumiset;

namespace {

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

} // namespace

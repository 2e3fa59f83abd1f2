#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace lumiset {

QString integerText(qint64 value)
{
    return QString::number(value);
}

QString fixedText(double value, int decimals, Precision precision, const QLocale& locale)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NaN") : (value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf"));
    const int significant = int(precision);
    // Scientific text with the precision's significant digits: d.ddddddde±x
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                                   significant - 1);
    const std::string sci(buf, res.ptr);
    const auto ePos = sci.find('e');
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.')
            digits += sci[i];
    const int exponent = std::atoi(sci.c_str() + ePos + 1);

    // digits[k] has weight 10^(exponent - k). Build the integer and fraction parts
    // as digit strings with `decimals` fraction digits plus the rest for rounding.
    const int intCount = exponent + 1; // digits before the point (may be <= 0)
    std::string intPart;
    std::string fracPart;
    if (intCount <= 0) {
        intPart = "0";
        fracPart = std::string(std::size_t(-intCount), '0') + digits;
    } else if (intCount >= int(digits.size())) {
        intPart = digits + std::string(std::size_t(intCount - int(digits.size())), '0');
    } else {
        intPart = digits.substr(0, std::size_t(intCount));
        fracPart = digits.substr(std::size_t(intCount));
    }
    const bool roundUp = int(fracPart.size()) > decimals && fracPart[std::size_t(decimals)] >= '5';
    fracPart.resize(std::size_t(decimals), '0');
    std::string all = intPart + fracPart;
    if (roundUp) {
        int i = int(all.size()) - 1;
        while (i >= 0 && all[std::size_t(i)] == '9')
            all[std::size_t(i--)] = '0';
        if (i < 0)
            all.insert(all.begin(), '1');
        else
            ++all[std::size_t(i)];
    }
    const std::size_t intLen = all.size() - std::size_t(decimals);
    std::string whole = all.substr(0, intLen);
    const std::string frac = all.substr(intLen);
    const auto nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? "0" : whole.substr(nz);

    const bool negative = value < 0 && all.find_first_not_of('0') != std::string::npos;
    QString text = QString::fromLatin1(whole.c_str());
    if (decimals > 0)
        text += locale.decimalPoint() + QString::fromLatin1(frac.c_str());
    if (negative)
        text.prepend(QLatin1Char('-'));
    return text;
}

QString powerOfTwoText(int exponent)
{
    if (exponent < 0 || exponent > 1023)
        return QStringLiteral("2^") + QString::number(exponent);
    // Exact decimal digits by repeated doubling in base 10^9.
    std::vector<std::uint32_t> limbs{1};
    for (int i = 0; i < exponent; ++i) {
        std::uint32_t carry = 0;
        for (auto& limb : limbs) {
            const std::uint64_t v = std::uint64_t(limb) * 2 + carry;
            limb = std::uint32_t(v % 1000000000u);
            carry = std::uint32_t(v / 1000000000u);
        }
        if (carry)
            limbs.push_back(carry);
    }
    QString text = QString::number(limbs.back());
    for (auto it = limbs.rbegin() + 1; it != limbs.rend(); ++it)
        text += QStringLiteral("%1").arg(*it, 9, 10, QLatin1Char('0'));
    return text;
}

} // namespace lumiset

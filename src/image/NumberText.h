#pragma once

#include "image/Rounding.h"

#include <QLocale>
#include <QString>

namespace lumiset {

/// How many significant digits a number's decimal text carries before it is
/// rounded for display: 7 for single precision, 15 for double.
enum class Precision { Single = 7, Double = 15 };

/// \brief A whole number as the program shows it: plain decimal, "-" when negative.
QString integerText(qint64 value);

/// \brief \a value with exactly \a decimals decimals (the patterns "0.0", "0.00",
/// "0.000") and the decimal separator of \a locale.
///
/// The number is first written with the significant digits of its precision
/// and that decimal text is rounded half away from zero, so 0.815 gives "0,82"
/// although its binary value lies just below the tie. No group separators.
QString fixedText(double value, int decimals, Precision precision = Precision::Double,
                  const QLocale& locale = QLocale());

/// \brief Decimal text of 2 to the power \a exponent without exponent or decimals;
/// "2^n" once the power is too large to be held exactly in double precision.
QString powerOfTwoText(int exponent);

} // namespace lumiset

#include "output/XlsxWorkbook.h"

#include "image/NumberText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace lumiset {
namespace {

// The fitted widths measure every shown text of a column, as the spreadsheet's
// autofit does. Widths come from each column's extremes unless a column holds
// something else; both ways must give what measuring every cell gives.
int pixels(const QString& text)
{
    int px = 0;
    for (const QChar c : text)
        px += c == QLatin1Char('.') || c == QLatin1Char(',') ? 4 : c == QLatin1Char('-') ? 5 : 7;
    return px;
}

double widthByEveryCell(const std::vector<float>& values, int rows, int columns, int column, bool twoDecimals)
{
    int widest = 0;
    double width = 0.0;
    for (int r = 0; r < rows; ++r) {
        const float v = values[std::size_t(r) * std::size_t(columns) + std::size_t(column)];
        const QString shown = twoDecimals ? fixedText(double(v), 2, Precision::Double, QLocale::c())
                                          : QString::number(double(v), 'g', 10);
        if (pixels(shown) > widest) {
            widest = pixels(shown);
            width = XlsxWorkbook::fittedWidth(shown);
        }
    }
    return width;
}

// The width the file stores for a width in characters: whole pixels of 7-pixel
// digits with 5 pixels of padding, in 256ths of a digit.
double storedWidth(double characters)
{
    const int px = characters < 1 ? int(characters * 12 + 0.5) : int(characters * 7 + 0.5) + 5;
    return std::floor(px / 7.0 * 256.0) / 256.0;
}

TEST(XlsxColumnWidthTest, FittedWidthsMatchMeasuringEveryCell)
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    const int rows = 40;
    const int columns = 12;
    std::mt19937 gen(99);
    std::uniform_real_distribution<float> any(-1500.0f, 1500.0f);
    std::uniform_int_distribution<int> whole(-300, 300);
    std::vector<float> values(std::size_t(rows * columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            float v = c % 2 ? float(whole(gen)) : any(gen);
            if (c >= 8)
                v = std::fabs(v) / 100.0f; // small, some rounding up to the next width
            values[std::size_t(r * columns + c)] = v;
        }
    values[3 * columns + 1] = -0.0f;                                  // General column with -0
    values[5 * columns + 3] = 12.5f;                                  // General column with a fraction
    values[7 * columns + 5] = std::numeric_limits<float>::infinity(); // and an infinity
    values[9 * columns + 6] = -0.004f;                                // "0.00" without its minus sign
    values[2 * columns + 8] = 9.995f;                                 // rounds to a longer text

    for (const int formatted : {0, 6, columns}) {
        SCOPED_TRACE(formatted);
        QTemporaryDir dir;
        WorkbookTarget target;
        target.exactPath = dir.filePath(QStringLiteral("w.xlsx"));
        XlsxWorkbook book(target);
        ASSERT_EQ(book.createApplication(), SheetStatus::Ok);
        ASSERT_EQ(book.putRangeValues(QStringLiteral("A1:L40"), rows, columns, values.data()), SheetStatus::Ok);
        if (formatted > 0)
            ASSERT_EQ(book.setColumnsNumberFormat(QStringLiteral("A:") + QChar(u'A' + formatted - 1),
                                                  QStringLiteral("0.00")),
                      SheetStatus::Ok);
        ASSERT_EQ(book.autoFitColumns(QStringLiteral("A:L")), SheetStatus::Ok);
        ASSERT_EQ(book.setVisible(true), SheetStatus::Ok);

        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), target.exactPath,
                                              QStringLiteral("xl/worksheets/sheet1.xml")});
        ASSERT_TRUE(unzip.waitForFinished());
        const QString xml = QString::fromUtf8(unzip.readAllStandardOutput());
        static const QRegularExpression col(QStringLiteral("<col min=\"(\\d+)\" max=\"\\d+\" width=\"([0-9.]+)\""));
        int seen = 0;
        for (auto it = col.globalMatch(xml); it.hasNext();) {
            const auto m = it.next();
            const int c = m.captured(1).toInt() - 1;
            const double expected = widthByEveryCell(values, rows, columns, c, c < formatted);
            if (expected > 0)
                EXPECT_DOUBLE_EQ(m.captured(2).toDouble(), storedWidth(expected)) << c;
            ++seen;
        }
        EXPECT_EQ(seen, columns);
    }
}

} // namespace
} // namespace lumiset

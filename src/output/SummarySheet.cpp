#include "output/SummarySheet.h"

#include "Version.h"
#include "output/DescriptionLines.h"
#include "output/SpreadsheetExport.h"

#include <QCoreApplication>
#include <QDir>

#include <charconv>

namespace lumiset {

QString summaryLabel(SummaryLabel label)
{
    static const char* const kLabels[] = {
        QT_TRANSLATE_NOOP("SummaryLabels", "Сводка"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Файл"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Путь"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Формат"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Размер (ширина, высота)"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Бит на точку"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Бит на канал"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Столбцы (первый, последний)"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Строки (первая, последняя)"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Мера"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Веса (R, G, B)"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Дата и время"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Версия программы"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Мера"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Точек"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Мин."),
        QT_TRANSLATE_NOOP("SummaryLabels", "Макс."),
        QT_TRANSLATE_NOOP("SummaryLabels", "Среднее"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Ст. откл."),
        QT_TRANSLATE_NOOP("SummaryLabels", "Медиана"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Гистограмма: "),
        QT_TRANSLATE_NOOP("SummaryLabels", "Значение"),
        QT_TRANSLATE_NOOP("SummaryLabels", "От"),
        QT_TRANSLATE_NOOP("SummaryLabels", "До"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Точек"),
        QT_TRANSLATE_NOOP("SummaryLabels", "Яркость чёрно-белого изображения"),
    };
    static_assert(std::size(kLabels) == std::size_t(SummaryLabel::GreyMeasure) + 1);
    return QCoreApplication::translate("SummaryLabels", kLabels[std::size_t(label)]);
}

namespace {

using Row = QList<SheetCell>;

// A text of the provenance or a heading: it may run over the empty cells to
// its right, so it does not widen the narrow columns of numbers.
SheetCell text(const QString& t)
{
    return SheetCell::ofText(t, false);
}

SheetCell label(SummaryLabel l)
{
    return SheetCell::ofText(summaryLabel(l));
}

SheetCell number(double value)
{
    return SheetCell::ofNumber(value);
}

// A weight as it was typed: the shortest text of its float, read as a double
// (0.299f is written 0.299, not 0.29899999).
double typedWeight(float weight)
{
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, weight);
    double value = weight;
    std::from_chars(buf, written.ptr, value);
    return value;
}

QString formatName(const ImageStore& image)
{
    if (image.isBmp())
        return QStringLiteral("BMP");
    if (image.isTga())
        return QStringLiteral("TGA");
    return QString::fromLatin1(image.DecodedFormat).toUpper();
}

QString measureName(const RegionStatistics& s)
{
    return s.grey ? summaryLabel(SummaryLabel::GreyMeasure) : measureSheetName(s.measure);
}

// What was measured, one labelled row each.
std::vector<Row> provenanceRows(const ImageStore& image, const Selection& r, const MeasureSettings& m,
                                const std::vector<RegionStatistics>& statistics, const QDateTime& madeAt)
{
    std::vector<Row> rows;
    rows.push_back({label(SummaryLabel::File), text(fileNamePart(image.FilePath))});
    rows.push_back({label(SummaryLabel::Path), text(QDir::toNativeSeparators(image.FilePath))});
    rows.push_back({label(SummaryLabel::Format), text(formatName(image))});
    rows.push_back({label(SummaryLabel::Size), number(image.ImageWidth), number(image.ImageHeight)});
    if (image.isDecoded())
        rows.push_back({label(SummaryLabel::BitsPerChannel), number(image.BitsPerChannel)});
    else
        rows.push_back({label(SummaryLabel::BitsPerPixel), number(image.BitsPerPixel)});
    rows.push_back({label(SummaryLabel::Columns), number(r.SelColumnFrom), number(r.SelColumnTo)});
    rows.push_back({label(SummaryLabel::Rows), number(r.SelRowFrom), number(r.SelRowTo)});
    QStringList names;
    bool luminance = false;
    for (const RegionStatistics& s : statistics) {
        names << measureName(s);
        luminance = luminance || (!s.grey && s.measure == MeasureLuminance);
    }
    rows.push_back({label(SummaryLabel::Measures), text(names.join(QStringLiteral(", ")))});
    if (luminance)
        rows.push_back({label(SummaryLabel::Weights), number(typedWeight(m.CoefRed)), number(typedWeight(m.CoefGreen)),
                        number(typedWeight(m.CoefBlue))});
    rows.push_back({label(SummaryLabel::MadeAt), text(madeAt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))});
    rows.push_back(
        {label(SummaryLabel::Version), text(QStringLiteral("Lumiset ") + QString::fromLatin1(kVersionText))});
    return rows;
}

constexpr int kChartColumn = 5; ///< charts stand to the right of their tables, from column E

} // namespace

SheetStatus writeSummarySheet(SpreadsheetAutomation& sheet, const ImageStore& image, const Selection& region,
                              const MeasureSettings& m, const std::vector<RegionStatistics>& statistics,
                              const QDateTime& madeAt)
{
    const std::vector<Row> about = provenanceRows(image, region, m, statistics,
                                                  madeAt.isValid() ? madeAt : QDateTime::currentDateTime());
    // Provenance, a blank row, the statistics with their heading, then each
    // histogram: a heading, the names of its columns, its bars and a blank row.
    const int statisticsRow = int(about.size()) + 2;
    int rows = statisticsRow + int(statistics.size());
    for (const RegionStatistics& s : statistics)
        rows += 3 + int(s.histogram.size());
    if (sheet.addSheet(summaryLabel(SummaryLabel::SheetName), rows, 7, std::vector<bool>(7, false)) != SheetStatus::Ok)
        return SheetStatus::Refused;

    int row = 0;
    const auto put = [&](int at, const Row& cells) {
        row = at;
        return sheet.putCells(at, cells) == SheetStatus::Ok;
    };
    for (const Row& cells : about)
        if (!put(row + 1, cells))
            return SheetStatus::Refused;
    if (!put(statisticsRow,
             {label(SummaryLabel::Measure), label(SummaryLabel::Points), label(SummaryLabel::Minimum),
              label(SummaryLabel::Maximum), label(SummaryLabel::Mean), label(SummaryLabel::Deviation),
              label(SummaryLabel::Median)}))
        return SheetStatus::Refused;
    for (const RegionStatistics& s : statistics)
        if (!put(row + 1,
                 {SheetCell::ofText(measureName(s)), number(double(s.points)), number(s.minimum), number(s.maximum),
                  number(s.mean), number(s.standardDeviation), number(s.median)}))
            return SheetStatus::Refused;

    for (const RegionStatistics& s : statistics) {
        if (s.histogram.empty())
            continue;
        const QString name = measureName(s);
        if (!put(row + 2, {text(summaryLabel(SummaryLabel::Histogram) + name)}))
            return SheetStatus::Refused;
        const Row heading = s.valueBins
            ? Row{label(SummaryLabel::Value), label(SummaryLabel::Count)}
            : Row{label(SummaryLabel::From), label(SummaryLabel::To), label(SummaryLabel::Count)};
        if (!put(row + 1, heading))
            return SheetStatus::Refused;
        const int headingRow = row;
        for (const HistogramBin& bin : s.histogram) {
            const Row bar = s.valueBins ? Row{number(bin.lower), number(double(bin.count))}
                                        : Row{number(bin.lower), number(bin.upper), number(double(bin.count))};
            if (!put(row + 1, bar))
                return SheetStatus::Refused;
        }
        ColumnChart chart;
        chart.title = summaryLabel(SummaryLabel::Histogram) + name;
        chart.categoryTitle = summaryLabel(s.valueBins ? SummaryLabel::Value : SummaryLabel::From);
        chart.valueTitle = summaryLabel(SummaryLabel::Count);
        chart.firstRow = headingRow + 1;
        chart.lastRow = row;
        chart.categoryColumn = 1;
        chart.valueColumn = int(heading.size());
        chart.anchorRow = headingRow;
        chart.anchorColumn = kChartColumn;
        if (sheet.putColumnChart(chart) != SheetStatus::Ok)
            return SheetStatus::Refused;
    }
    return sheet.autoFitColumns();
}

} // namespace lumiset

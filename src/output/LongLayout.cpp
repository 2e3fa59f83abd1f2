#include "output/LongLayout.h"

#include "output/DescriptionLines.h"
#include "output/SpreadsheetExport.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace lumiset {

LongColumns longColumns(const MeasureSettings& m, const std::vector<int>& measures)
{
    LongColumns columns;
    if (m.ColorPointCount == 0) {
        columns.values.push_back(m);
        return columns;
    }
    const auto add = [&](int measure) {
        MeasureSettings s = m;
        s.BrightnessMeasure = measure;
        columns.values.push_back(s);
    };
    for (const int component : {MeasureRed, MeasureGreen, MeasureBlue})
        add(component);
    columns.components = 3;
    if (measures.empty())
        add(m.BrightnessMeasure);
    for (const int measure : measures)
        add(measure);
    return columns;
}

QStringList LongColumns::headings() const
{
    QStringList names{QStringLiteral("X"), QStringLiteral("Y")};
    for (const MeasureSettings& s : values)
        names << (s.ColorPointCount == 0 ? QCoreApplication::translate("LongLayout", "Яркость")
                                         : measureSheetName(s.BrightnessMeasure));
    return names;
}

std::vector<bool> LongColumns::twoDecimals() const
{
    std::vector<bool> decimals(2, false);
    for (const MeasureSettings& s : values)
        decimals.push_back(measureHasDecimals(s));
    return decimals;
}

QString LongColumns::measureLine(const QLocale& locale) const
{
    QStringList lines;
    for (std::size_t k = components; k < values.size(); ++k)
        lines << measureLineText(values[k], locale);
    return lines.join(QStringLiteral(" / "));
}

int LongColumns::measureLineFontColor() const
{
    return values.size() == components + 1 ? lumiset::measureLineFontColor(values.back()) : 0;
}

LongLineWriter::LongLineWriter(const ImageStore& image, const LongColumns& columns, const QLocale& locale,
                               char decimalPoint)
    : slices_(columns.values.size()), cursors_(columns.values.size())
{
    writers_.reserve(columns.values.size());
    for (const MeasureSettings& s : columns.values)
        writers_.emplace_back(image, s, locale, decimalPoint);
}

void LongLineWriter::appendLines(QByteArray& out, int row, int columnFrom, int columnTo)
{
    // Each value column's texts of a slice are written in one go by the fast row
    // writers, then interleaved point by point.
    char rowText[16];
    const auto rowLength = qsizetype(std::to_chars(rowText, rowText + sizeof rowText, row).ptr - rowText);
    for (qint64 first = columnFrom; first <= columnTo; first += kSliceColumns) {
        const int last = int(std::min<qint64>(first + kSliceColumns - 1, columnTo));
        qsizetype bytes = 0;
        for (std::size_t k = 0; k < writers_.size(); ++k) {
            slices_[k].resize(0);
            writers_[k].appendRow(slices_[k], row, int(first), last);
            cursors_[k] = slices_[k].constData();
            bytes += slices_[k].size();
        }
        // Every line: the column (at most ten digits), the row, a separator
        // before each value and CR LF, besides the values themselves.
        const qint64 points = last - first + 1;
        const qsizetype need = bytes + points * (10 + rowLength + qsizetype(writers_.size()) + 3);
        const qsizetype pos = out.size();
        // Grown to what is needed, not doubled: a streaming writer empties the
        // block long before, so the capacity settles at a block and a slice.
        if (out.capacity() < pos + need)
            out.reserve(pos + need);
        out.resize(pos + need);
        char* p = out.data() + pos;
        for (qint64 x = first; x <= last; ++x) {
            p = std::to_chars(p, p + 10, int(x)).ptr;
            *p++ = ';';
            std::memcpy(p, rowText, std::size_t(rowLength));
            p += rowLength;
            // A value's text is digits, a sign and the decimal separator: the
            // next ";" (or the slice's end) closes it.
            for (std::size_t k = 0; k < writers_.size(); ++k) {
                const char* from = cursors_[k];
                const char* end = slices_[k].constData() + slices_[k].size();
                *p++ = ';';
                while (from != end && *from != ';') // a few bytes: a plain loop beats a library call
                    *p++ = *from++;
                cursors_[k] = from == end ? end : from + 1;
            }
            *p++ = '\r';
            *p++ = '\n';
        }
        out.resize(p - out.constData());
    }
}

LongRowValues::LongRowValues(const ImageStore& image, const LongColumns& columns)
    : image_(image), kind_(image.pixelKind()), settings_(columns.values), values_(columns.values.size() + 2)
{
}

const double* LongRowValues::at(int column, int row)
{
    values_[0] = column;
    values_[1] = row;
    for (std::size_t k = 0; k < settings_.size(); ++k)
        values_[k + 2] = pointValue(image_, kind_, column, row, settings_[k]);
    return values_.data();
}

} // namespace lumiset

#pragma once

#include "image/ImageStore.h"
#include "output/PointValues.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

namespace lumiset {

/// \brief The columns of a table in the long layout: "X" and "Y" (the point's
/// 1-based column and row, row 1 at the top), then one column of values each.
///
/// A colour region (ColorPointCount != 0) writes its red, green and blue
/// components first, as the component measures write them, then one column per
/// measure; a grey region writes one column of its levels ("Яркость"), whatever
/// measures were asked. Every value is the one the table layout writes for that
/// measure (pointValue(), appendPointText()).
struct LongColumns {
    /// The value columns after X and Y, each as the settings it is measured with.
    std::vector<MeasureSettings> values;
    /// How many of them are the components (3 for a colour region, else 0).
    std::size_t components = 0;

    /// All columns, X and Y included.
    int count() const { return int(values.size()) + 2; }
    /// "X", "Y", then each value column's name ("Красный" … "Яркость").
    QStringList headings() const;
    /// Whether each column, X and Y included, shows two decimals ("0.00").
    std::vector<bool> twoDecimals() const;
    /// \brief The measure line below the table: the line of the table layout for
    /// the measure (or the grey region); for several measures their lines in
    /// the order of their columns, joined by " / ".
    QString measureLine(const QLocale& locale) const;
    /// The worksheet font colour of that line: the measure's own for one measure, else 0.
    int measureLineFontColor() const;
};

/// \brief The long layout's columns for the region measured by \a m: one column
/// per entry of \a measures (Measure numbers, in that order), or m's own measure
/// when the list is empty.
LongColumns longColumns(const MeasureSettings& m, const std::vector<int>& measures = {});

/// \brief Writes the lines of a long table file, one image row at a time:
/// "X;Y;value;…" and CR LF per point, left to right, with the same value texts
/// as PointRowWriter. A row is taken in slices of a few thousand points, so
/// memory stays flat however wide the region is.
class LongLineWriter {
public:
    /// \a decimalPoint is the locale's separator already encoded, as for PointRowWriter.
    LongLineWriter(const ImageStore& image, const LongColumns& columns, const QLocale& locale, char decimalPoint);

    /// Points of a row written in one go; a writer that streams hands over
    /// at most that many at a time.
    static constexpr int kSliceColumns = 4096;

    /// Appends the lines of the points \a columnFrom … \a columnTo of \a row
    /// (1-based, inside the picture).
    void appendLines(QByteArray& out, int row, int columnFrom, int columnTo);

private:
    std::vector<PointRowWriter> writers_; ///< one per value column
    std::vector<QByteArray> slices_;      ///< each column's texts of the current slice, ";"-separated
    std::vector<const char*> cursors_;
};

/// \brief The values of one worksheet row of a long table: X, Y and the value
/// columns of the point, as pointValue() gives them.
class LongRowValues {
public:
    LongRowValues(const ImageStore& image, const LongColumns& columns);

    /// The values of point (\a column, \a row), 1-based, inside the picture;
    /// valid until the next call.
    const double* at(int column, int row);

private:
    const ImageStore& image_;
    PixelKind kind_;
    std::vector<MeasureSettings> settings_;
    std::vector<double> values_;
};

} // namespace lumiset

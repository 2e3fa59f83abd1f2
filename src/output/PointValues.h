#pragma once

#include "image/ImageStore.h"
#include "output/MeasureSettings.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lumiset {

class ValueTally;

/// \brief The value of point (\a column, \a row), 1-based: what the readout of
/// both views shows, the table file writes and the workbook cell holds.
///
/// Means and luminances are summed in double precision, green term first, then
/// red, then blue (the order the program has always used, so sums that land
/// near a rounding edge keep their old last digit); the weights keep their
/// single-precision value. For 16-bit samples that sum is the value. For 8-bit
/// samples and palettes the sum is stored as single precision and the value is
/// the number that float's seven significant digits write (20.333334f gives
/// 20.33333), the number the table files have always rounded to two decimals.
/// Other measures give whole numbers (palette components as stored). \a kind
/// is image.pixelKind(), asked once per region; Unsupported kinds and unknown
/// measures give 0.
double pointValue(const ImageStore& image, PixelKind kind, int column, int row, const MeasureSettings& m);

/// \brief The text of a point value (pointValue()) in a table file and the
/// readout: means and luminances rounded to two decimals in \a locale (their
/// fifteen significant digits first, then half away from zero), whole numbers
/// as they are.
QString pointText(double value, PixelKind kind, const MeasureSettings& m, const QLocale& locale);

/// \brief Appends the text of pointText() to \a out as windows-1251 bytes;
/// \a decimalPoint is the locale's separator already encoded. The table files
/// of whole regions go through here, so the common forms avoid QString.
void appendPointText(QByteArray& out, double value, PixelKind kind, const MeasureSettings& m, const QLocale& locale,
                     char decimalPoint);

/// \brief The "0.00" text of \a value as fixedText(value, 2) writes it, into
/// \a buf (at least 32 bytes) with \a decimalPoint. Returns the length, or 0
/// when the value is negative, 10^7 or more, or so near a half hundredth that
/// only the full rounding can tell.
int twoDecimalsOfDouble(double value, char decimalPoint, char* buf);

/// \brief The "0.00" text of a float read with seven significant digits, as
/// fixedText(value, 2, Precision::Single) writes it, into \a buf (at least 32
/// bytes) with \a decimalPoint. Returns the length, or 0 when the value is
/// outside the range this shortcut handles exactly.
int twoDecimalsOfSingle(float value, char decimalPoint, char* buf);

/// \brief The hundredths that the "0.00" text of \a value shows, as
/// fixedText(value, 2) writes it: 20.33333 gives 2033, 0.815 gives 82. A whole
/// number, exact below 2^53; beyond that the double nearest to the written
/// number. Infinities and NaN come back as they are.
double writtenHundredths(double value);

/// \brief The number a point value (pointValue()) is written as, in units of
/// its last decimal: the hundredths of the two-decimal measures, the whole
/// value otherwise. Statistics count these units, so that they describe the
/// numbers of the file exactly.
double writtenUnits(double value, PixelKind kind, const MeasureSettings& m);

/// \brief Writes whole rows of a table file: the same bytes as pointValue() and
/// appendPointText() give point by point, with ";" between the values.
///
/// Texts of values that come from one byte (a component, the maximum, a palette
/// index, a grey level) or from the sum of three (the mean) are written once when
/// the writer is made; the 8-bit luminance is summed from per-byte products and
/// its float written by twoDecimalsOfSingle().
///
/// The writer can also count the written values of its rows for statistics
/// (see RegionStatistics.h), while it writes them or without writing: every
/// measure but the luminance of a colour region is counted by its byte, sample
/// or sum of samples (its key), and the key's written value is looked up once
/// at the end; the luminance is counted by the hundredths its text shows.
class PointRowWriter {
public:
    PointRowWriter(const ImageStore& image, const MeasureSettings& m, const QLocale& locale, char decimalPoint);

    /// Appends the texts of columns \a columnFrom … \a columnTo of \a row (1-based,
    /// inside the picture), no line end; with \a tally (made by makeTally()) the
    /// values written are counted in it as well.
    void appendRow(QByteArray& out, int row, int columnFrom, int columnTo, ValueTally* tally = nullptr) const;

    /// \brief Counts the values that appendRow() would write for these points, without writing them.
    void tallyRow(ValueTally& tally, int row, int columnFrom, int columnTo) const;

    /// \brief An empty tally shaped for the values of this writer's rows.
    ValueTally makeTally() const;

private:
    template <bool kTally>
    void appendBytesRow(QByteArray& out, int row, int columnFrom, int columnTo, ValueTally* tally) const;
    template <bool kTally>
    void appendWideRow(QByteArray& out, int row, int columnFrom, int columnTo, ValueTally* tally) const;
    template <typename Sample>
    void tallySamples(ValueTally& tally, const Sample* red, const Sample* green, const Sample* blue, int count) const;
    /// The value written for a point of key \a key (all measures but the colour luminance).
    double keyValue(int key) const;

    enum class Key { Red, Green, Blue, Maximum, Sum, Luminance };
    /// The key of point \a i of a row: a component, the largest one or their sum.
    template <typename Sample>
    static int keyOf(Key key, const Sample* red, const Sample* green, const Sample* blue, int i);
    const ImageStore& image_;
    PixelKind kind_;
    MeasureSettings m_;
    QLocale locale_;
    char decimalPoint_;
    bool wide_ = false;  ///< 16-bit samples
    Key key_ = Key::Red; ///< palette indices and grey levels sit in the red plane
    int keys_ = 256;     ///< number of keys; 0 for the colour luminance
    bool zero_ = false;  ///< an unknown measure of a colour region: every point writes 0
    std::string texts_;
    std::vector<std::uint32_t> textStart_; ///< text k is texts_[textStart_[k], textStart_[k + 1])
    qsizetype longestText_ = 0;
    std::array<double, 256> lumRed_{};
    std::array<double, 256> lumGreen_{};
    std::array<double, 256> lumBlue_{};
};

/// \brief True when the measure writes two decimals (mean or luminance of a colour region).
bool measureHasDecimals(const MeasureSettings& m);

/// \brief True when points of pictures of \a kind are written with two
/// decimals under \a m (grey pictures never are).
bool writesTwoDecimals(PixelKind kind, const MeasureSettings& m);

} // namespace lumiset

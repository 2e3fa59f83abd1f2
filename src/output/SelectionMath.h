#pragma once

#include "ExportState.h"
#include "WorksheetLimits.h" // the command-line front end checks regions against it
#include "image/ImageStore.h"
#include "output/PaletteMatch.h"
#include "output/PointValues.h"

#include <QLocale>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumiset {

/// The default region is the top-left corner of at most this many points a side.
inline constexpr int kDefaultSelectionSide = 20;

/// \brief The region a freshly shown export window starts with: the top-left
/// 20 × 20 points, or the whole picture when it is smaller.
Selection defaultSelection(int imageWidth, int imageHeight);

/// \brief 0-based image point under a pointer at (\a x, \a y) of the image view:
/// rounded to the nearest pixel (halves to even) and kept inside the picture.
QPoint imagePoint(double x, double y, int imageWidth, int imageHeight);

/// \brief The 1-based image point shown under a pointer at (\a x, \a y) of the
/// zoomed view, which draws \a selection at \a zoom screen pixels per point.
QPoint zoomedPoint(double x, double y, int zoom, const Selection& selection);

/// What the user answered in a weight's input box.
enum class WeightInput { Empty, Invalid, Number };

struct ParsedWeight {
    WeightInput kind = WeightInput::Empty;
    float value = 0;
};

/// \brief Reads a luminance weight: blanks around ignored, "." and "," both the
/// decimal separator (at most one), digits otherwise; ".5" is 0.5, "5." is 5.
/// The C locale plays no part. No range check: weights above 1 are allowed and
/// need not sum to 1; only a number too large for single precision is invalid.
ParsedWeight parseWeight(const QString& text);

/// \brief How the image view paints one point: the colour, or nothing (the
/// canvas background shows) for pure white true-colour and grey points and the
/// lowest white palette entry of a BMP.
class ImageViewColours {
public:
    explicit ImageViewColours(const ImageStore& store);
    /// 0xffRRGGBB, or 0 for a point that is not drawn.
    std::uint32_t at(const ImageStore& store, int column, int row) const
    {
        switch (kind_) {
        case Kind::Lookup: return lookup_[store.PixelRed(column, row)];
        case Kind::WideLookup: return lookup_[levels_[store.PixelRed.word(column, row)]];
        case Kind::TrueColour:
            return trueColour(store.PixelRed(column, row), store.PixelGreen(column, row), store.PixelBlue(column, row));
        case Kind::ScaledTrueColour:
            return trueColour(levels_[store.PixelRed.sample(column, row)],
                              levels_[store.PixelGreen.sample(column, row)],
                              levels_[store.PixelBlue.sample(column, row)]);
        case Kind::Nothing: break;
        }
        return 0;
    }
    bool drawsAnything() const { return kind_ != Kind::Nothing; }

private:
    static std::uint32_t trueColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        return (r & g & b) == 255 ? 0u : 0xff000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
    }
    /// WideLookup and ScaledTrueColour take each sample's 8-bit level from levels_
    /// first (16-bit samples, or bytes whose file stops short of 255).
    enum class Kind { Nothing, Lookup, WideLookup, TrueColour, ScaledTrueColour };
    Kind kind_ = Kind::Nothing;
    std::array<std::uint32_t, 256> lookup_{};
    std::vector<std::uint8_t> levels_; ///< eightBitSample() of every value the tables can hold
};

/// \brief Colour of a point in the zoomed view (white included), or nothing
/// for a kind of picture the view does not draw.
std::optional<std::array<std::uint8_t, 3>> zoomedColour(const ImageStore& store, int column, int row);

/// Which view the pointer is over; the two show the mean with different precision.
enum class ReadoutView { Image, Zoomed };

/// \brief Texts of the pixel readout; a member without a value leaves its label as it is.
struct Readout {
    QString column;
    QString row;
    std::optional<QString> red;
    std::optional<QString> green;
    std::optional<QString> blue;
    std::optional<QString> brightness;
};

/// \brief The number after "Яркость " for the 1-based point (\a column, \a row)
/// of a loaded colour or palette picture: its pointValue() in the readout's
/// form, the mean with one decimal on the image view and two on the zoomed
/// one, the luminance with two (the text of the table file), the maximum
/// whole. Nothing for the components and for a grey region (m.ColorPointCount 0).
std::optional<QString> readoutBrightness(const ImageStore& store, PixelKind kind, int column, int row, ReadoutView view,
                                         const MeasureSettings& m, const QLocale& locale);

/// \brief The readout for the 1-based point (\a column, \a row).
///
/// The brightness follows \a measure only for the mean, the maximum and the
/// luminance, and only when the region holds colour (\a colorPoints ≠ 0); a
/// grey TGA shows its grey level as the brightness and nothing else.
Readout pixelReadout(const ImageStore& store, int column, int row, ReadoutView view, int measure,
                     const Workspace& weights, qint32 colorPoints, const QLocale& locale = QLocale());

/// \brief Brightness of the selection frame's pulse, 83 … 255 once under way.
struct FramePulse {
    int level = 70;
    bool rising = true;
    /// The border colour for \a hue (2 green, 3 blue, otherwise red) at the current level.
    std::array<int, 3> colour(int hue) const;
    /// Moves one step of 30 toward 255 or back toward 83, turning at the ends.
    void step();
};

} // namespace lumiset

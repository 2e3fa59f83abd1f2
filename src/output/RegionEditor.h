#pragma once

#include "ExportState.h"

#include <QPoint>
#include <QString>

#include <bitset>
#include <optional>

namespace lumiset {

/// \brief The export window's controls that show the region: four bounds, each
/// a scroll bar and a number box, and two counts that have only a box.
enum class RegionField { FirstRow, LastRow, FirstColumn, LastColumn, Columns, Rows };

/// \brief What one edit of the region did and which controls must show it.
struct RegionChange {
    enum class Outcome {
        Ignored, ///< nothing to do (an empty box)
        Refused, ///< the input cannot be a bound; the region is unchanged
        Applied, ///< the region may have changed; update the marked controls
    };
    Outcome outcome = Outcome::Ignored;
    std::bitset<4> bars;  ///< bound bars (indexed by RegionField) to move to the new bound
    std::bitset<6> boxes; ///< boxes (indexed by RegionField) whose text must be rewritten

    bool bar(RegionField f) const { return bars.test(std::size_t(f)); }
    bool box(RegionField f) const { return boxes.test(std::size_t(f)); }
};

/// \brief The rules by which the region's bars, boxes and mouse drags edit the
/// selection of a picture of a given size; no region it makes leaves the
/// picture or has its first bound after its last, and with \a limitWidth (the
/// table layout, see limitsRegionWidth()) none is wider than kMaxExportColumns.
///
/// The window maps its controls to the fields and applies the returned change;
/// setting a bar from a change must not run the bar's rule again.
class RegionEditor {
public:
    RegionEditor(Selection& selection, int imageWidth, int imageHeight, bool limitWidth = true);

    /// The bar of bound \a bar was moved to \a value: the opposite bound follows
    /// so that the region stays the right way round and not too wide.
    RegionChange moveBar(RegionField bar, qint64 value);
    /// The user typed \a text into the box of bound \a box. Blanks around are
    /// ignored, only digits count; a bound outside the picture, past the other
    /// bound or making the region too wide is refused.
    RegionChange typeBox(RegionField box, const QString& text);
    /// A mouse drag from the 0-based \a anchor to the 0-based \a pointer: a drag
    /// to the left keeps its left edge at the pointer when the width is cut.
    RegionChange drag(QPoint anchor, QPoint pointer);

    /// The number \a field of \a selection stands for (a bound or a count).
    static qint32 value(RegionField field, const Selection& selection);
    /// The text a box shows for \a field of \a selection.
    static QString boxText(RegionField field, const Selection& selection);
    /// What the box of bound \a box shows once the user is done with it (it
    /// loses the focus, or an export starts) while it holds \a text: the bound
    /// in force, or nothing to change when \a text already stands for it. A
    /// refused or emptied box thus never shows a region other than the one used.
    static std::optional<QString> settledText(RegionField box, const QString& text, const Selection& selection);

private:
    Selection& sel_;
    int width_;
    int height_;
    qint64 widest_; ///< the most columns a region may have
};

/// \brief A number box's text as the runtime's Str writes a number: a blank
/// takes the place of the sign of a number that is not negative.
QString strForm(qint64 value);

} // namespace lumiset

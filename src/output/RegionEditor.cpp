#include "RegionEditor.h"

#include "WorksheetLimits.h"
#include "image/NumberText.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace lumiset {

namespace {

constexpr std::size_t at(RegionField f)
{
    return std::size_t(f);
}

bool isRow(RegionField f)
{
    return f == RegionField::FirstRow || f == RegionField::LastRow;
}

} // namespace

qint32 RegionEditor::value(RegionField f, const Selection& s)
{
    switch (f) {
    case RegionField::FirstRow: return s.SelRowFrom;
    case RegionField::LastRow: return s.SelRowTo;
    case RegionField::FirstColumn: return s.SelColumnFrom;
    case RegionField::LastColumn: return s.SelColumnTo;
    case RegionField::Columns: return qint32(qint64(s.SelColumnTo) - s.SelColumnFrom + 1);
    case RegionField::Rows: return qint32(qint64(s.SelRowTo) - s.SelRowFrom + 1);
    }
    return 0;
}

namespace {

/// The bound a box holds, or nothing for an empty box; a number too long for 64
/// bits saturates, so it is refused as too large.
std::optional<qint64> parseBound(const QString& text, bool& digitsOnly)
{
    digitsOnly = true;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    qint64 v = 0;
    for (QChar ch : t) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) {
            digitsOnly = false;
            return std::nullopt;
        }
        const int d = ch.unicode() - '0';
        v = v > (std::numeric_limits<qint64>::max() - d) / 10 ? std::numeric_limits<qint64>::max() : v * 10 + d;
    }
    return v;
}

/// The region with \a box set to \a v, or nothing when \a v does not fit.
std::optional<Selection> withBound(RegionField box, qint64 v, const Selection& sel, int width, int height,
                                   qint64 widest)
{
    Selection s = sel;
    switch (box) {
    case RegionField::FirstRow:
        if (v > height || v > sel.SelRowTo || v < 1)
            return std::nullopt;
        s.SelRowFrom = qint32(v);
        break;
    case RegionField::LastRow:
        if (v > height || v < sel.SelRowFrom || v < 1)
            return std::nullopt;
        s.SelRowTo = qint32(v);
        break;
    case RegionField::FirstColumn:
        if (qint64(sel.SelColumnTo) - v + 1 > widest || v > width || v > sel.SelColumnTo || v < 1)
            return std::nullopt;
        s.SelColumnFrom = qint32(v);
        break;
    case RegionField::LastColumn:
        if (v - sel.SelColumnFrom + 1 > widest || v > width || v < sel.SelColumnFrom || v < 1)
            return std::nullopt;
        s.SelColumnTo = qint32(v);
        break;
    default: return std::nullopt;
    }
    return s;
}

} // namespace

RegionEditor::RegionEditor(Selection& selection, int imageWidth, int imageHeight, bool limitWidth)
    : sel_(selection), width_(imageWidth), height_(imageHeight),
      widest_(limitWidth ? kMaxExportColumns : std::numeric_limits<qint32>::max()) // no region is wider than that
{
}

RegionChange RegionEditor::moveBar(RegionField bar, qint64 value)
{
    RegionChange change;
    if (int(bar) > int(RegionField::LastColumn))
        return change;
    change.outcome = RegionChange::Outcome::Applied;
    const qint64 extent = std::max(1, isRow(bar) ? height_ : width_);
    const qint32 v = qint32(std::clamp<qint64>(value, 1, extent)); // a bar never leaves its range
    const qint64 widest = widest_ - 1;
    switch (bar) {
    case RegionField::LastColumn:
    case RegionField::FirstColumn: {
        const bool last = bar == RegionField::LastColumn;
        (last ? sel_.SelColumnTo : sel_.SelColumnFrom) = v;
        qint32& other = last ? sel_.SelColumnFrom : sel_.SelColumnTo;
        const qint32 before = other;
        if (qint64(sel_.SelColumnTo) - sel_.SelColumnFrom > widest)
            other = qint32(last ? v - widest : v + widest);
        if (sel_.SelColumnTo < sel_.SelColumnFrom)
            other = v;
        change.bars.set(at(last ? RegionField::FirstColumn : RegionField::LastColumn), other != before);
        change.boxes.set(at(RegionField::FirstColumn)).set(at(RegionField::LastColumn)).set(at(RegionField::Columns));
        break;
    }
    case RegionField::LastRow:
    case RegionField::FirstRow: {
        const bool last = bar == RegionField::LastRow;
        (last ? sel_.SelRowTo : sel_.SelRowFrom) = v;
        if (sel_.SelRowTo < sel_.SelRowFrom) {
            const RegionField other = last ? RegionField::FirstRow : RegionField::LastRow;
            (last ? sel_.SelRowFrom : sel_.SelRowTo) = v;
            change.bars.set(at(other));
            change.boxes.set(at(other));
        }
        change.boxes.set(at(bar)).set(at(RegionField::Rows));
        break;
    }
    default: break;
    }
    return change;
}

RegionChange RegionEditor::typeBox(RegionField box, const QString& text)
{
    RegionChange change;
    bool digitsOnly = true;
    const std::optional<qint64> typed = parseBound(text, digitsOnly);
    if (!typed && digitsOnly)
        return change; // empty
    const std::optional<Selection> next = typed ? withBound(box, *typed, sel_, width_, height_, widest_) : std::nullopt;
    if (!next) {
        change.outcome = RegionChange::Outcome::Refused;
        return change;
    }
    // The bar follows the box; when it moves, its own rule rewrites the boxes
    // of its bound (the typed one excepted).
    const bool moved = value(box, sel_) != *typed;
    sel_ = *next;
    if (moved)
        change = moveBar(box, *typed);
    change.outcome = RegionChange::Outcome::Applied;
    change.bars.set(at(box));
    change.boxes.set(at(isRow(box) ? RegionField::Rows : RegionField::Columns));
    change.boxes.reset(at(box));
    return change;
}

RegionChange RegionEditor::drag(QPoint anchor, QPoint pointer)
{
    qint64 left, width, top, height;
    if (pointer.x() <= anchor.x()) {
        width = qint64(anchor.x()) - pointer.x() + 1;
        left = pointer.x();
    } else {
        width = qint64(pointer.x()) - anchor.x() + 1;
        left = anchor.x();
    }
    width = std::min(width, widest_); // the left edge stays where it is
    if (pointer.y() > anchor.y()) {
        height = qint64(pointer.y()) - anchor.y() + 1;
        top = anchor.y();
    } else {
        height = qint64(anchor.y()) - pointer.y() + 1;
        top = pointer.y();
    }

    left = std::clamp<qint64>(left, 0, std::max(0, width_ - 1));
    width = std::max<qint64>(width, 1);
    if (left + width > width_)
        width = std::max<qint64>(1, width_ - left);
    top = std::clamp<qint64>(top, 0, std::max(0, height_ - 1));
    height = std::max<qint64>(height, 1);
    if (top + height > height_)
        height = std::max<qint64>(1, height_ - top);

    Selection s;
    s.SelColumnFrom = qint32(left + 1);
    s.SelColumnTo = qint32(left + width);
    s.SelRowFrom = qint32(top + 1);
    s.SelRowTo = qint32(top + height);

    // Every bar follows; a bar that moves rewrites the boxes of its bound.
    RegionChange change;
    change.outcome = RegionChange::Outcome::Applied;
    change.bars.set();
    for (RegionField f : {RegionField::FirstColumn, RegionField::LastColumn}) {
        if (value(f, s) != value(f, sel_))
            change.boxes.set(at(RegionField::FirstColumn))
                .set(at(RegionField::LastColumn))
                .set(at(RegionField::Columns));
    }
    for (RegionField f : {RegionField::FirstRow, RegionField::LastRow}) {
        if (value(f, s) != value(f, sel_))
            change.boxes.set(at(f)).set(at(RegionField::Rows));
    }
    sel_ = s;
    return change;
}

QString RegionEditor::boxText(RegionField field, const Selection& s)
{
    // The row bounds are written without Str's blank.
    return isRow(field) ? integerText(value(field, s)) : strForm(value(field, s));
}

std::optional<QString> RegionEditor::settledText(RegionField box, const QString& text, const Selection& s)
{
    bool digitsOnly = true;
    const std::optional<qint64> shown = parseBound(text, digitsOnly);
    if (shown && *shown == value(box, s))
        return std::nullopt; // leading zeros and blanks the user typed stay
    return boxText(box, s);
}

QString strForm(qint64 value)
{
    return value < 0 ? integerText(value) : QLatin1Char(' ') + integerText(value);
}

} // namespace lumiset

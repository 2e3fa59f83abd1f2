#include "output/RegionEditor.h"
#include "output/WorksheetLimits.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace lumiset {
namespace {

Selection region(qint64 c0, qint64 c1, qint64 r0, qint64 r1)
{
    return Selection{qint32(c0), qint32(c1), qint32(r0), qint32(r1)};
}

/// Controls named by one letter each: r/R first/last row, c/C first/last column, n/m the column/row counts.
std::string marked(unsigned long bits, int count)
{
    const char letters[] = "rRcCnm";
    std::string out;
    for (int i = 0; i < count; ++i)
        if (bits & (1ul << i))
            out += letters[i];
    return out;
}

// Wide enough for two regions of the widest export; rows are never limited.
constexpr qint64 K = kMaxExportColumns;
constexpr int kWidth = int(2 * K + 100);
constexpr int kHeight = 400;

enum class Edit { Bar, Box, Drag };
using Outcome = RegionChange::Outcome;

struct EditCase {
    const char* rule;
    Selection before;
    Edit edit;
    RegionField field; // bar or box
    qint64 value;      // bar value
    std::string text;  // box text
    QPoint anchor, pointer;
    Outcome outcome;
    Selection after;
    const char* bars;  // bars to set
    const char* boxes; // boxes to rewrite
    bool limitWidth = true;
};

EditCase bar(const char* rule, Selection before, RegionField f, qint64 v, Selection after, const char* bars,
             const char* boxes)
{
    return {rule, before, Edit::Bar, f, v, {}, {}, {}, Outcome::Applied, after, bars, boxes};
}

EditCase box(const char* rule, Selection before, RegionField f, std::string text, Outcome outcome, Selection after,
             const char* bars = "", const char* boxes = "")
{
    return {rule, before, Edit::Box, f, 0, std::move(text), {}, {}, outcome, after, bars, boxes};
}

EditCase refused(const char* rule, Selection before, RegionField f, std::string text)
{
    return box(rule, before, f, std::move(text), Outcome::Refused, before);
}

EditCase drag(const char* rule, Selection before, QPoint anchor, QPoint pointer, Selection after, const char* boxes)
{
    return {rule,  before, Edit::Drag, RegionField::FirstRow, 0, {}, anchor, pointer, Outcome::Applied,
            after, "rRcC", boxes};
}

/// The same edit for a layout that takes any width.
EditCase anyWidth(EditCase c)
{
    c.limitWidth = false;
    return c;
}

const Selection s = region(10, 50, 10, 50);
const Selection far = region(K + 50, 2 * K + 40, 10, 50);
using F = RegionField;

class RegionEditing : public testing::TestWithParam<EditCase> { };

TEST_P(RegionEditing, NewRegionAndTheControlsThatFollow)
{
    const EditCase& c = GetParam();
    Selection sel = c.before;
    RegionEditor editor(sel, kWidth, kHeight, c.limitWidth);
    const RegionChange change = c.edit == Edit::Bar ? editor.moveBar(c.field, c.value)
        : c.edit == Edit::Box                       ? editor.typeBox(c.field, QString::fromStdString(c.text))
                                                    : editor.drag(c.anchor, c.pointer);
    EXPECT_EQ(change.outcome, c.outcome);
    EXPECT_EQ((std::array{sel.SelColumnFrom, sel.SelColumnTo, sel.SelRowFrom, sel.SelRowTo}),
              (std::array{c.after.SelColumnFrom, c.after.SelColumnTo, c.after.SelRowFrom, c.after.SelRowTo}));
    EXPECT_EQ(marked(change.bars.to_ulong(), 4), c.bars);
    EXPECT_EQ(marked(change.boxes.to_ulong(), 6), c.boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RegionEditing,
    testing::Values(
        bar("last column bar: the column boxes follow", s, F::LastColumn, 60, region(10, 60, 10, 50), "", "cCn"),
        bar("last column bar past the limit drags the first along", s, F::LastColumn, K + 20,
            region(21, K + 20, 10, 50), "c", "cCn"),
        bar("last column bar before the first pulls it along", s, F::LastColumn, 5, region(5, 5, 10, 50), "c", "cCn"),
        bar("first column bar past the last pushes it along", s, F::FirstColumn, 60, region(60, 60, 10, 50), "C",
            "cCn"),
        bar("first column bar beyond the limit pulls the last back", far, F::FirstColumn, 1, region(1, K, 10, 50), "C",
            "cCn"),
        bar("last row bar leaves the first row box alone", s, F::LastRow, 60, region(10, 50, 10, 60), "", "Rm"),
        bar("last row bar before the first pulls it along", s, F::LastRow, 5, region(10, 50, 5, 5), "r", "rRm"),
        bar("first row bar past the last pushes it along", s, F::FirstRow, 70, region(10, 50, 70, 70), "R", "rRm"),
        bar("rows have no limit", region(1, 1, 300, 400), F::FirstRow, 1, region(1, 1, 1, 400), "", "rm"),
        bar("a bar value beyond the picture stops at its edge", s, F::LastRow, 100000, region(10, 50, 10, kHeight), "",
            "Rm"),
        box("empty box is ignored", s, F::FirstRow, "   ", Outcome::Ignored, s),
        refused("letters are refused", s, F::FirstRow, "1a"), refused("a sign is refused", s, F::LastRow, "-1"),
        refused("first row 0 is refused", s, F::FirstRow, "0"),
        refused("first row after the last is refused", s, F::FirstRow, "51"),
        refused("last row below the picture is refused", s, F::LastRow, "401"),
        refused("a number too long for 64 bits is refused", s, F::LastRow, "99999999999999999999999"),
        refused("last column beyond the picture is refused", s, F::LastColumn, std::to_string(kWidth + 1)),
        refused("last column one past the limit is refused", s, F::LastColumn, std::to_string(10 + K)),
        box("last column at the limit moves its bar, the other column boxes follow", s, F::LastColumn,
            std::to_string(9 + K), Outcome::Applied, region(10, 9 + K, 10, 50), "C", "cn"),
        refused("first column one past the limit is refused", far, F::FirstColumn, std::to_string(K + 40)),
        box("first column at the limit", far, F::FirstColumn, std::to_string(K + 41), Outcome::Applied,
            region(K + 41, 2 * K + 40, 10, 50), "c", "Cn"),
        box("typed row: only the row count follows", s, F::LastRow, "60", Outcome::Applied, region(10, 50, 10, 60), "R",
            "m"),
        box("the same bound with blanks and zeros rewrites only the count", s, F::LastColumn, " 050 ", Outcome::Applied,
            s, "C", "n"),
        drag("right and down from the anchor", s, {10, 5}, {14, 8}, region(11, 15, 6, 9), "rRcCnm"),
        drag("left and up: the pointer is the top-left corner", s, {10, 5}, {5, 2}, region(6, 11, 3, 6), "rRcCnm"),
        drag("rows only: the column boxes stay", region(11, 15, 6, 9), {10, 5}, {14, 20}, region(11, 15, 6, 21), "Rm"),
        drag("right beyond the limit stops at it", s, {10, 0}, {int(10 + 2 * K), 0}, region(11, 10 + K, 1, 1),
             "rRcCnm"),
        drag("left beyond the limit keeps the left edge at the pointer", s, {int(2 * K + 50), 0}, {10, 0},
             region(11, 10 + K, 1, 1), "rRcCnm"),
        drag("rows are not limited", s, {0, 0}, {0, 399}, region(1, 1, 1, 400), "rRcCnm"),
        drag("past the right edge is cut at the edge", s, {kWidth - 10, 0}, {kWidth + 100, 0},
             region(kWidth - 9, kWidth, 1, 1), "rRcCnm"),
        drag("past the bottom is cut at the bottom", s, {0, 390}, {0, 500}, region(1, 1, 391, 400), "rRcCnm"),
        anyWidth(bar("any width: the last column bar leaves the first alone", s, F::LastColumn, K + 20,
                     region(10, K + 20, 10, 50), "", "cCn")),
        anyWidth(box("any width: a last column past the limit is taken", s, F::LastColumn, std::to_string(10 + K),
                     Outcome::Applied, region(10, 10 + K, 10, 50), "C", "cn")),
        anyWidth(drag("any width: a drag across the whole picture", s, {kWidth - 1, 0}, {0, 0}, region(1, kWidth, 1, 1),
                      "rRcCnm"))));

// Keystroke by keystroke, as the box's text changes; then the box is left and shows
// its bound as the program writes it: columns after a blank, rows without.
TEST(RegionBoxSettling, ALeftBoxShowsTheBoundInForce)
{
    const Selection start = region(1, 20, 1, 20);
    const struct {
        const char* rule;
        RegionField field;
        std::vector<const char*> texts;
        Selection after;
        const char* settled; // "kept": the box keeps what was typed
    } cases[] = {
        {"99999 into the last column of an 8000-wide picture stops at 999",
         F::LastColumn,
         {"9", "99", "999", "9999", "99999"},
         region(1, 999, 1, 20),
         " 999"},
        {"first column 100 past the last column 20 stays at 10",
         F::FirstColumn,
         {"1", "10", "100"},
         region(10, 20, 1, 20),
         " 10"},
        {"first row past the last is written without the blank", F::FirstRow, {"3", "30"}, region(1, 20, 3, 20), "3"},
        {"a letter leaves the bound as it was", F::LastRow, {"1", "1x"}, region(1, 20, 1, 1), "1"},
        {"an emptied box shows the bound again", F::LastColumn, {""}, start, " 20"},
        {"a bound in force keeps its zeros", F::FirstRow, {"0", "05"}, region(1, 20, 5, 20), "kept"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Selection sel = start;
        RegionEditor editor(sel, 8000, 400);
        for (const char* text : c.texts)
            editor.typeBox(c.field, QString::fromLatin1(text));
        EXPECT_EQ((std::array{sel.SelColumnFrom, sel.SelColumnTo, sel.SelRowFrom, sel.SelRowTo}),
                  (std::array{c.after.SelColumnFrom, c.after.SelColumnTo, c.after.SelRowFrom, c.after.SelRowTo}));
        EXPECT_EQ(RegionEditor::settledText(c.field, QString::fromLatin1(c.texts.back()), sel).value_or("kept"),
                  QLatin1String(c.settled));
    }
}

} // namespace
} // namespace lumiset

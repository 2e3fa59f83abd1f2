#pragma once

#include "output/OutputOptions.h"
#include "output/RegionEditor.h"

#include <QObject>

#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QScrollBar;
class QWidget;

namespace lumiset {

struct ImageStore;

/// \brief The region's bounds on the export window: a scroll bar and a number
/// box for each of the four, and a box for each count. Bars, boxes and drags
/// all edit the selection through one RegionEditor, whose width limit follows
/// the layout of the output options; a refused number keeps its box in the
/// tooltip colour until the box is left.
class RegionControls : public QObject {
    Q_OBJECT
public:
    /// Places the controls of \a selection of \a image on \a window; \a output
    /// is read at each edit.
    RegionControls(QWidget* window, Selection& selection, const ImageStore& image, const OutputOptions& output);

    /// A new showing: the bars cover the whole picture from 1, the boxes are empty.
    void reset();
    /// Sets the captions and tips in the current language.
    void retranslate();
    /// Every box and bar shows the selection; true when a bar had to move.
    bool showSelection();
    /// The bars reach the picture's last column and row.
    void fitBarsToPicture();
    RegionEditor editor();
    /// Shows what \a change marks; the bars' own rules do not run again.
    void apply(const RegionChange& change);
    /// Every box the user has left a refused or empty number in shows the bound in force.
    void settleAll();
    /// The boxes in the order the Tab key visits them.
    QList<QWidget*> focusChain() const;

signals:
    /// An applied change may have moved the region.
    void changed();
    /// A bar has moved the region.
    void barMoved();
    /// A typed bound has moved the region.
    void typed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollBar* bar(RegionField field) const;
    QLineEdit* box(RegionField field) const;
    void barChanged(RegionField field);
    void setBox(QLineEdit* target, const QString& text);
    void boxTyped(RegionField field);
    /// A box the user is done with shows the bound in force again.
    void settleBox(RegionField field);

    Selection& sel_;
    const ImageStore& image_;
    const OutputOptions& output_;
    QLineEdit* typingBox_ = nullptr; ///< the box whose own input is being applied
    QLineEdit* boxes_[6] = {};       ///< indexed by RegionField
    QScrollBar* bars_[4] = {};       ///< indexed by RegionField
    /// The fixed captions and their texts in the source language.
    std::vector<std::pair<QLabel*, const char*>> captions_;
    QLabel* rowsCaption_ = nullptr; ///< "Будет выведено", in one or two lines
};

} // namespace lumiset

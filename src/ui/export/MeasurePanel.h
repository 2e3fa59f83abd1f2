#pragma once

#include <QObject>

class QLabel;
class QRadioButton;
class QWidget;

namespace lumiset {

class ClickLabel;

/// \brief The export window's choice of what a cell holds: a radio button per
/// measure, the luminance formula whose weights are edited by a click, and the
/// caption that stands in for all of them when the region has no colour.
class MeasurePanel : public QObject {
    Q_OBJECT
public:
    /// Places the controls on \a window.
    explicit MeasurePanel(QWidget* window);

    /// Checks the button of \a measure; measureChosen() follows even when it
    /// was checked already.
    void select(int measure);
    void showWeights(float red, float green, float blue);
    /// Shows the new weight of component \a which (0 red, 1 green, 2 blue).
    void showWeight(int which, float value);
    /// A region with colour offers every measure; a grey one shows only the caption.
    void showChoices(bool colour);
    /// Sets the captions in the current language.
    void retranslate();
    /// The controls the Tab key visits, in order.
    QList<QWidget*> focusChain() const;

signals:
    void measureChosen(int measure);
    /// The weight of component \a which was clicked; the luminance is chosen already.
    void weightRequested(int which);

private:
    /// Closes up the formula from its part \a from on, after a text has changed.
    void layoutFormula(int from);

    QRadioButton* buttons_[7] = {}; ///< indexed by measure, 1 … 6
    /// Caption, red weight, caption, green weight, caption, blue weight.
    ClickLabel* formula_[6] = {};
    QLabel* greyCaption_ = nullptr;
    QLabel* caption_ = nullptr;
};

} // namespace lumiset

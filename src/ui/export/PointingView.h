#pragma once

#include <QWidget>

namespace lumiset {

/// \brief A view that reports the pointer in its own coordinates: presses and
/// moves with the buttons the views act on (left, right, middle; back and
/// forward are ignored).
class PointingView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

signals:
    void pressed(Qt::MouseButtons buttons, QPointF pos);
    void moved(Qt::MouseButtons buttons, QPointF pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Both presses of a double-click already arrived as presses; QWidget's
    /// default would deliver the second one a third time.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace lumiset

#pragma once

#include <QLabel>

namespace lumiset {

/// \brief Tells whether a press and release make a click: the left button,
/// pressed on the widget and let go over it, as a push button counts one.
class LeftClick {
public:
    void press(const QMouseEvent* event);
    /// True when this release completes a click on a widget of \a size.
    bool release(const QMouseEvent* event, QSize size);

private:
    bool armed_ = false;
};

/// \brief A label that reports clicks (the formula of the luminance measure);
/// one given the focus reports Enter and the space bar too, and shows the focus mark.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    LeftClick click_;
};

} // namespace lumiset

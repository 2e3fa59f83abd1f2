#include "ClickLabel.h"

#include "common/Artwork.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumiset {

void LeftClick::press(const QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        armed_ = true;
}

bool LeftClick::release(const QMouseEvent* event, QSize size)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const bool inside = QRect(QPoint(0, 0), size).contains(event->position().toPoint());
    const bool click = armed_ && inside;
    armed_ = false;
    return click;
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    click_.press(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (click_.release(event, size()))
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !event->isAutoRepeat())
        emit clicked();
    else
        QLabel::keyPressEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    if (hasFocus()) {
        QPainter p(this);
        art::focusBackdrop(p, QRectF(rect()));
    }
    QLabel::paintEvent(event);
}

} // namespace lumiset

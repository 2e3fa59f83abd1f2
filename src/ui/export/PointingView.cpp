#include "PointingView.h"

#include <QMouseEvent>

namespace lumiset {

namespace {

Qt::MouseButtons viewButtons(Qt::MouseButtons buttons)
{
    return buttons & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
}

} // namespace

void PointingView::mousePressEvent(QMouseEvent* event)
{
    emit pressed(viewButtons(event->buttons()), event->position());
}

void PointingView::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(viewButtons(event->buttons()), event->position());
}

void PointingView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

} // namespace lumiset

#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace lumiset {

BusyCursor::~BusyCursor()
{
    while (depth_ > 0)
        hide();
}

void BusyCursor::show(Qt::CursorShape shape)
{
    QGuiApplication::setOverrideCursor(shape);
    ++depth_;
}

void BusyCursor::hide()
{
    if (depth_ == 0)
        return;
    QGuiApplication::restoreOverrideCursor();
    --depth_;
}

} // namespace lumiset

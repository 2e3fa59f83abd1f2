#include "ScrollBars.h"

#include "image/Rounding.h"

#include <QScrollBar>
#include <QSignalBlocker>

namespace lumiset {

namespace {

QScrollBar* makeBar(QWidget* window, Qt::Orientation orientation, const char* name, const QRect& geometry)
{
    auto* bar = new QScrollBar(orientation, window);
    bar->setObjectName(QLatin1String(name));
    bar->setGeometry(geometry);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    return bar;
}

struct Span {
    int start;
    int length;
    bool scrolls;
};

Span fitAlong(QScrollBar* bar, int view, int start, int length, int border)
{
    if (view < length) {
        bar->hide();
        return {roundHalfEvenToInt(start + (length - view) / 2.0), view + border, false};
    }
    bar->setRange(0, view - length + border);
    bar->show();
    return {start, length, true};
}

} // namespace

ScrollBars::ScrollBars(QWidget* window, const char* horizontalName, const QRect& horizontal, const char* verticalName,
                       const QRect& vertical)
    : horizontal_(makeBar(window, Qt::Horizontal, horizontalName, horizontal)),
      vertical_(makeBar(window, Qt::Vertical, verticalName, vertical))
{
}

void ScrollBars::scroll(QWidget* view) const
{
    QObject::connect(horizontal_, &QScrollBar::valueChanged, view, [view](int x) { view->move(-x, view->y()); });
    QObject::connect(vertical_, &QScrollBar::valueChanged, view, [view](int y) { view->move(view->x(), -y); });
}

void ScrollBars::clearRanges() const
{
    for (QScrollBar* b : {horizontal_, vertical_}) {
        const QSignalBlocker block(b);
        b->setRange(0, 0);
    }
}

void ScrollBars::rewind() const
{
    for (QScrollBar* b : {horizontal_, vertical_}) {
        const QSignalBlocker block(b);
        b->setValue(0);
    }
}

void ScrollBars::hide() const
{
    horizontal_->hide();
    vertical_->hide();
}

void ScrollBars::setPageStep(int step) const
{
    horizontal_->setPageStep(step);
    vertical_->setPageStep(step);
}

QRect ScrollBars::fit(QSize view, const QRect& area, int border) const
{
    const Span rows = fitAlong(vertical_, view.height(), area.top(), area.height(), border);
    const Span columns = fitAlong(horizontal_, view.width(), area.left(), area.width(), border);
    const QRect place(columns.start, rows.start, columns.length, rows.length);
    if (columns.scrolls)
        horizontal_->setGeometry(place.left(), place.top() + place.height(), place.width(), horizontal_->height());
    vertical_->move(place.left() + place.width(), vertical_->y());
    return place;
}

} // namespace lumiset

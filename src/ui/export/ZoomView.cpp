#include "ZoomView.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace lumiset {

namespace {
const QColor kBackground(128, 128, 128);
}

ZoomView::ZoomView(QWidget* parent) : PointingView(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void ZoomView::setRegion(const ImageStore* store, const Selection& selection, int zoom)
{
    store_ = store;
    selection_ = selection;
    zoom_ = zoom;
    update();
}

void ZoomView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect area = event->rect();
    p.fillRect(area, kBackground);
    const int z = zoom_;
    if (!store_ || z < 1 || !zoomedColour(*store_, selection_.SelColumnFrom, selection_.SelRowFrom))
        return;
    const int columns = selection_.SelColumnTo - selection_.SelColumnFrom + 1;
    const int rows = selection_.SelRowTo - selection_.SelRowFrom + 1;
    // The cells that the exposed rectangle touches.
    const int c0 = std::max(0, area.left() / z), c1 = std::min(columns - 1, area.right() / z);
    const int r0 = std::max(0, area.top() / z), r1 = std::min(rows - 1, area.bottom() / z);
    if (c0 > c1 || r0 > r1)
        return;
    QImage cells(c1 - c0 + 1, r1 - r0 + 1, QImage::Format_RGB32);
    for (int r = r0; r <= r1; ++r) {
        auto* line = reinterpret_cast<QRgb*>(cells.scanLine(r - r0));
        for (int c = c0; c <= c1; ++c) {
            const auto rgb = *zoomedColour(*store_, selection_.SelColumnFrom + c, selection_.SelRowFrom + r);
            line[c - c0] = qRgb(rgb[0], rgb[1], rgb[2]);
        }
    }
    // Whole-number scaling without smoothing gives exact z × z squares.
    p.drawImage(QRect(c0 * z, r0 * z, cells.width() * z, cells.height() * z), cells);
    if (z >= kGridZoom) {
        for (int c = c0; c <= c1; ++c)
            p.fillRect(c * z + z - 1, r0 * z, 1, cells.height() * z, kBackground);
        for (int r = r0; r <= r1; ++r)
            p.fillRect(c0 * z, r * z + z - 1, cells.width() * z, 1, kBackground);
    }
}

} // namespace lumiset

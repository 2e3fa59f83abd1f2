#include "ImageView.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace lumiset {

SelectionFrame::SelectionFrame(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents); // drags go to the picture below
}

void SelectionFrame::setMode(Mode mode)
{
    mode_ = mode;
    update();
}

void SelectionFrame::setColour(const QColor& colour)
{
    if (colour_ == colour)
        return;
    colour_ = colour;
    update();
}

void SelectionFrame::nextMode()
{
    switch (mode_) {
    case CopyPen: setMode(Invert); break;
    case Invert:
        setMode(MergePen);
        setColour(QColor(0, 255, 0));
        break;
    case MergePen: setMode(MaskPenNot); break;
    case MaskPenNot:
        setMode(CopyPen);
        setColour(QColor(255, 0, 0));
        break;
    }
}

void SelectionFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    switch (mode_) {
    case CopyPen: p.setCompositionMode(QPainter::CompositionMode_Source); break;
    case Invert: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case MergePen: p.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case MaskPenNot: p.setCompositionMode(QPainter::RasterOp_NotSourceAndDestination); break;
    }
    // Four edges that never overlap: inverting a corner twice would undo it.
    const int w = width(), h = height();
    const QColor c = colour_;
    p.fillRect(0, 0, w, 1, c);
    if (h > 1)
        p.fillRect(0, h - 1, w, 1, c);
    if (h > 2) {
        p.fillRect(0, 1, 1, h - 2, c);
        if (w > 1)
            p.fillRect(w - 1, 1, 1, h - 2, c);
    }
}

ImageView::ImageView(QWidget* parent) : PointingView(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the readout follows the pointer without a button held
    frame_ = new SelectionFrame(this);
    frame_->setObjectName(QStringLiteral("Vydelenie"));
}

void ImageView::setStore(const ImageStore* store)
{
    store_ = store;
    colours_ = store ? ImageViewColours(*store) : ImageViewColours(ImageStore{});
    update();
}

void ImageView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect area = event->rect();
    const QColor background = palette().color(QPalette::Base);
    const QRect picture = store_ ? QRect(0, 0, store_->ImageWidth, store_->ImageHeight) & area : QRect();
    if (picture.isEmpty() || !colours_.drawsAnything()) {
        p.fillRect(area, background);
        return;
    }
    if (picture != area)
        p.fillRect(area, background);
    // One line buffer of the exposed width: a 12000 × 9000 picture costs only what shows.
    QImage strip(picture.width(), picture.height(), QImage::Format_RGB32);
    const QRgb bg = background.rgb();
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        const int row = picture.top() + y + 1;
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t c = colours_.at(*store_, picture.left() + x + 1, row);
            line[x] = c ? c : bg;
        }
    }
    p.drawImage(picture.topLeft(), strip);
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->button(), event->position());
}

} // namespace lumiset

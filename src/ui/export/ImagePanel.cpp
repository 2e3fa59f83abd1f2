#include "ImagePanel.h"

#include "ImageView.h"
#include "ScrollBars.h"
#include "common/PictureButton.h"
#include "image/ImageStore.h"
#include "output/SelectionMath.h"

#include <QGuiApplication>
#include <QScrollBar>

#include <algorithm>

namespace lumiset {

namespace {

constexpr QRect kViewport{392, 144, 233, 209}; // only its width follows a resize
constexpr int kViewportBorders = 2;            // the viewport runs two pixels past the picture
constexpr QRect kHorizontalBar{392, 352, 233, 17};
constexpr QRect kVerticalBar{624, 144, 17, 209};
constexpr int kRightMargin = 16;

const QColor kViewportColour(255, 192, 128);

/// The left button selects, also with the right one held.
bool selects(Qt::MouseButtons buttons)
{
    return buttons == Qt::LeftButton || buttons == (Qt::LeftButton | Qt::RightButton);
}

} // namespace

ImagePanel::ImagePanel(QWidget* window, const ImageStore& image) : QObject(window), window_(window), image_(image)
{
    viewport_ = colourPanel(window, "Picture2", kViewport, kViewportColour);
    view_ = new ImageView(viewport_);
    view_->setObjectName(QStringLiteral("Picture3"));
    view_->setCursor(Qt::CrossCursor);
    view_->installEventFilter(this);
    view_->setFocusPolicy(Qt::ClickFocus);
    frame_ = view_->frame();

    bars_ = ScrollBars(window, "HScroll1", kHorizontalBar, "VScroll1", kVerticalBar);
    bars_.scroll(view_);
    connect(view_, &ImageView::pressed, this, &ImagePanel::pressed);
    connect(view_, &ImageView::moved, this, &ImagePanel::moved);
    connect(view_, &ImageView::released, this, &ImagePanel::released);
}

void ImagePanel::reset()
{
    viewport_->setGeometry(kViewport);
    view_->hide();
    view_->setStore(nullptr);
    bars_.clearRanges();
    bars_.horizontal()->setGeometry(kHorizontalBar);
    bars_.vertical()->setGeometry(kVerticalBar);
    frame_->setMode(SelectionFrame::CopyPen);
    frame_->setColour(QColor(255, 0, 0));
    view_->move(0, 0);
    frame_->setGeometry(0, 0, 20, 20);
    frame_->show();
    view_->resize(std::max(1, image_.ImageWidth), std::max(1, image_.ImageHeight));
    dragging_ = false;
    pulseRising_ = true;
    pulseLevel_ = 70;
}

void ImagePanel::drawPicture()
{
    // The view paints whatever part of the picture is exposed straight from the pixel planes.
    view_->setStore(&image_);
}

void ImagePanel::setPictureVisible(bool visible)
{
    view_->setVisible(visible);
    viewport_->setVisible(visible);
}

void ImagePanel::focusPicture()
{
    view_->setFocus(Qt::OtherFocusReason);
}

void ImagePanel::fit()
{
    viewport_->setGeometry(bars_.fit(view_->size(), kViewport, kViewportBorders));
}

void ImagePanel::followWindowWidth()
{
    QScrollBar* const across = bars_.horizontal();
    QScrollBar* const down = bars_.vertical();
    const int free = window_->width() - viewport_->x() - kRightMargin
        - (down->isVisibleTo(window_) ? down->width() : 0);
    auto widen = [this, across, down](int w) {
        viewport_->resize(w, viewport_->height());
        across->setGeometry(viewport_->x(), across->y(), w, across->height());
        across->setMaximum(std::max(0, view_->width() - w + kViewportBorders));
        across->show();
        down->move(viewport_->x() + w, down->y());
    };
    if (free > viewport_->width()) {
        if (view_->width() > viewport_->width())
            widen(free);
        else
            viewport_->resize(view_->width(), viewport_->height());
    } else if (free > 7) {
        widen(free);
    }
}

void ImagePanel::placeFrame(const Selection& sel)
{
    frame_->setGeometry(sel.SelColumnFrom - 1, sel.SelRowFrom - 1, sel.SelColumnTo - sel.SelColumnFrom + 1,
                        sel.SelRowTo - sel.SelRowFrom + 1);
}

void ImagePanel::pulse(int hue)
{
    FramePulse pulse{pulseLevel_, pulseRising_};
    const auto c = pulse.colour(hue);
    frame_->setColour(QColor(c[0], c[1], c[2]));
    pulse.step();
    pulseLevel_ = pulse.level;
    pulseRising_ = pulse.rising;
}

QPoint ImagePanel::pointAt(QPointF pos) const
{
    return imagePoint(pos.x(), pos.y(), image_.ImageWidth, image_.ImageHeight);
}

void ImagePanel::pressed(Qt::MouseButtons buttons, QPointF pos)
{
    if (selects(buttons)) {
        frame_->show();
        // The region starts at the point under the press; a press without a
        // move leaves the region as it was.
        if (!dragging_) {
            dragging_ = true;
            anchor_ = pointAt(pos);
        }
    } else if (buttons == Qt::RightButton) {
        frame_->show();
        frame_->nextMode();
    } else if (buttons & Qt::MiddleButton) {
        frame_->hide();
    }
}

void ImagePanel::moved(Qt::MouseButtons buttons, QPointF pos)
{
    const QPoint p = pointAt(pos);
    if (dragging_ && !(buttons & Qt::LeftButton)) {
        // The left button went up where this view could not see it.
        dragLost();
    } else if (selects(buttons)) {
        if (!dragging_) { // the press went elsewhere: the drag starts where this view first sees it
            dragging_ = true;
            anchor_ = p;
        }
        emit dragged(anchor_, p);
        // Bring the picture back when the pointer leaves the view at the left or top.
        for (const auto& [bar, at] : {std::pair(bars_.horizontal(), p.x()), std::pair(bars_.vertical(), p.y())})
            if (at > 0 && bar->value() > 0 && at <= bar->value())
                bar->setValue(at);
    }
    emit pointed(p + QPoint(1, 1));
}

void ImagePanel::released(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    dragging_ = false;
    emit dragEnded();
}

void ImagePanel::dragLost()
{
    if (!dragging_)
        return;
    dragging_ = false;
    emit dragEnded(); // the region the drag reached, as its release would have drawn it
}

bool ImagePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_ && (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut)) {
        // While the button is held the view grabs the mouse and sees no Leave;
        // one arriving now means the drag is over.
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
            dragLost();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumiset

#include "ExportStrip.h"

#include "common/Artwork.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QTimerEvent>

namespace lumiset {

namespace {
constexpr int kSlideInterval = 30;
}

ExportStrip::ExportStrip(QWidget* window) : KeyButton(window), slideTimer_(new QTimer(this))
{
    setGeometry(0, 0, art::kStripFrameWidth, art::kStripFrameHeight * art::kStripFrames);
    setCursor(Qt::PointingHandCursor);
    slideTimer_->setObjectName(QStringLiteral("Timer0"));
    slideTimer_->setInterval(kSlideInterval);
    connect(slideTimer_, &QTimer::timeout, this, &ExportStrip::slideTick);
}

void ExportStrip::setFrame(int frame)
{
    move(0, -kFrameHeight * frame);
}

void ExportStrip::setSliding(bool sliding)
{
    if (sliding)
        slideTimer_->start();
    else
        slideTimer_->stop();
}

void ExportStrip::slideTick()
{
    if (y() > -kFrameHeight * kLastSlideFrame) {
        move(0, y() - kFrameHeight);
        repaint();
    } else {
        slideTimer_->stop();
    }
}

void ExportStrip::paintEvent(QPaintEvent* event)
{
    // Only the frame under the window is ever visible; paint just the exposed ones.
    QPainter p(this);
    const QRect exposed = event->rect();
    for (int k = exposed.top() / kFrameHeight; k <= exposed.bottom() / kFrameHeight && k < art::kStripFrames; ++k) {
        const QRectF frame(0, k * kFrameHeight, art::kStripFrameWidth, kFrameHeight);
        art::exportFrame(p, frame, k);
        if (hasFocus()) // on every frame, so the mark stays as the strip moves
            art::focusMark(p, frame);
    }
}

void ExportStrip::mousePressEvent(QMouseEvent* event)
{
    // Any mouse button shows the pressed look; only the left one makes a click.
    if (isEnabled())
        setFrame(kPressedFrame);
    KeyButton::mousePressEvent(event);
}

void ExportStrip::mouseReleaseEvent(QMouseEvent* event)
{
    KeyButton::mouseReleaseEvent(event);
    unpress();
}

void ExportStrip::keyPressEvent(QKeyEvent* event)
{
    KeyButton::keyPressEvent(event);
    if (isDown())
        setFrame(kPressedFrame);
}

void ExportStrip::keyReleaseEvent(QKeyEvent* event)
{
    KeyButton::keyReleaseEvent(event);
    unpress();
}

void ExportStrip::unpress()
{
    if (isEnabled() && frame() == kPressedFrame)
        setFrame(kLastSlideFrame);
}

ProgressPicture::ProgressPicture(QWidget* parent) : QWidget(parent)
{
}

void ProgressPicture::setMoving(bool moving)
{
    if (moving)
        timer_.start(40, this);
    else
        timer_.stop();
    phase_ = 0;
    update();
}

void ProgressPicture::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    phase_ = (phase_ + 1) % art::kProgressStripePeriod;
    update();
}

void ProgressPicture::paintEvent(QPaintEvent*)
{
    // The bar picture is always 130 wide; the box shows as much of it as its width.
    QPainter p(this);
    art::progressBar(p, QRectF(0, 0, art::kStripFrameWidth, art::kStripFrameHeight), phase_);
}

} // namespace lumiset

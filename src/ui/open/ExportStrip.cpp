#include "ExportStrip.h"

#include "common/Artwork.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

namespace lumiset {

ExportStrip::ExportStrip(QWidget* window) : QAbstractButton(window)
{
    setGeometry(0, 0, art::kStripFrameWidth, art::kStripFrameHeight * art::kStripFrames);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void ExportStrip::setFrame(int frame)
{
    move(0, -kFrameHeight * frame);
}

void ExportStrip::paintEvent(QPaintEvent* event)
{
    // Only the frame under the window is ever visible; paint just the exposed ones.
    QPainter p(this);
    const QRect exposed = event->rect();
    for (int k = exposed.top() / kFrameHeight; k <= exposed.bottom() / kFrameHeight && k < art::kStripFrames; ++k)
        art::exportFrame(p, QRectF(0, k * kFrameHeight, art::kStripFrameWidth, kFrameHeight), k);
}

void ExportStrip::mousePressEvent(QMouseEvent* event)
{
    // Any mouse button shows the pressed look; only the left one makes a click.
    if (isEnabled())
        setFrame(kPressedFrame);
    QAbstractButton::mousePressEvent(event);
}

void ExportStrip::mouseReleaseEvent(QMouseEvent* event)
{
    QAbstractButton::mouseReleaseEvent(event);
    // The export command sets the frame it leaves behind; when no command ran
    // (another mouse button, or released outside) the button must not stay pressed.
    if (isEnabled() && frame() == kPressedFrame)
        setFrame(kLastSlideFrame);
}

ProgressPicture::ProgressPicture(QWidget* parent) : QWidget(parent) {}

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

#pragma once

#include "common/PictureButton.h"

#include <QBasicTimer>

class QTimer;

namespace lumiset {

/// \brief The export button: a 130 × 338 strip of 13 frames that moves up
/// inside its 130 × 26 window, frame k showing when its top is −26·k.
///
/// A mouse press (or Enter, or the space bar) shows the pressed frame 11; the
/// click is the export command. Sliding in, it moves up a frame every 30 ms
/// until it rests on frame 10.
class ExportStrip : public KeyButton {
    Q_OBJECT
public:
    explicit ExportStrip(QWidget* window);

    void setFrame(int frame);
    int frame() const { return -y() / kFrameHeight; }
    void setSliding(bool sliding);

    static constexpr int kFrameHeight = 26;
    static constexpr int kLastSlideFrame = 10;
    static constexpr int kPressedFrame = 11;
    static constexpr int kBusyFrame = 12;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    /// Back to the resting frame when no export command set another (another
    /// mouse button, or released outside): the button must not stay pressed.
    void unpress();
    void slideTick();

    QTimer* slideTimer_;
};

/// \brief The progress bar picture (130 × 26), revealed by widening its box;
/// while moving, its stripes run along it to show work without a known end.
class ProgressPicture : public QWidget {
    Q_OBJECT
public:
    explicit ProgressPicture(QWidget* parent = nullptr);
    void setMoving(bool moving);
    bool moving() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QBasicTimer timer_;
    int phase_ = 0;
};

} // namespace lumiset

#pragma once

#include <QAbstractButton>
#include <QBasicTimer>

namespace lumiset {

/// \brief The export button: a 130 × 338 strip of 13 frames that moves up
/// inside its 130 × 26 window, frame k showing when its top is −26·k.
///
/// A mouse press shows the pressed frame 11; the click is the export command.
class ExportStrip : public QAbstractButton {
    Q_OBJECT
public:
    explicit ExportStrip(QWidget* window);

    void setFrame(int frame);
    int frame() const { return -y() / kFrameHeight; }

    static constexpr int kFrameHeight = 26;
    static constexpr int kLastSlideFrame = 10;
    static constexpr int kPressedFrame = 11;
    static constexpr int kBusyFrame = 12;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
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

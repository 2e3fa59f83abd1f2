#pragma once

#include <QAbstractButton>
#include <QObject>

namespace lumiset {

class ArtView;
struct ImageStore;

/// \brief The reading progress bar, revealed from the left by widening its box.
/// A click with the left button moves it; it takes no focus.
class ReadingBar : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kLength = 466;
    static constexpr int kHeight = 26;
    explicit ReadingBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

/// \brief The progress of the export window's start-up over the command
/// buttons: a bar that grows while the pixels are read and on to its full
/// length while the picture goes into the view, in a frame shown while the
/// pixels wait. A click moves the bar just below the buttons and back.
///
/// Its position carries over from one showing to the next, as the window's does.
class ReadingProgress : public QObject {
    Q_OBJECT
public:
    /// Places the frame and the bar on \a window.
    explicit ReadingProgress(QWidget* window);

    /// A new showing: the bar is hidden and one unit long; the frame shows
    /// when the pixels have yet to be read.
    void reset(bool pixelsWaiting);
    /// The rows of \a image are about to be read.
    void startReading(const ImageStore& image);
    /// The reader has delivered \a rowsDone rows.
    void rowsRead(int rowsDone);
    /// The picture, \a rows tall, goes into the view: the bar's second phase.
    void startDrawing(int rows);
    /// The pixels are ready: the frame goes and the bar rolls up.
    void finish();
    /// The pixels could not be read: bar and frame go.
    void abandon();

private:
    void setWidth(int width);

    ArtView* frame_ = nullptr;
    ReadingBar* bar_ = nullptr;
    bool bottomUp_ = false;
    float position_ = 0;
    float step_ = 0;
};

} // namespace lumiset

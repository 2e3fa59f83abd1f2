#pragma once

#include "ScrollBars.h"

#include <QObject>
#include <QPoint>

class QWidget;

namespace lumiset {

class ImageView;
class SelectionFrame;
struct ImageStore;
struct Selection;

/// \brief The picture at one screen pixel a point, in its viewport with two
/// scroll bars, and the pulsing frame of the selection over it. A drag with
/// the left button selects a region; the right button cycles the frame's
/// looks, the middle one hides it.
class ImagePanel : public QObject {
    Q_OBJECT
public:
    /// Places the viewport of \a image and its scroll bars on \a window.
    ImagePanel(QWidget* window, const ImageStore& image);

    /// A new showing: no pixels drawn yet, the red frame at its start, no drag under way.
    void reset();
    /// Takes the picture's colour rule and draws it; before, only the background shows.
    void drawPicture();
    void setPictureVisible(bool visible);
    /// Gives the picture the focus, so that no number box shows a caret the user did not ask for.
    void focusPicture();
    /// Centres the picture in its viewport and sizes its scroll bars.
    void fit();
    /// Follows the window's new width: the viewport takes what is free on the right.
    void followWindowWidth();
    void placeFrame(const Selection& selection);
    /// The next colour of the frame's pulse, in the hue of the measure (2 green, 3 blue, otherwise red).
    void pulse(int hue);

    /// True while a mouse drag is selecting a region.
    bool dragging() const { return dragging_; }
    /// A drag whose release never came (focus taken by a popup, pointer let go
    /// outside the window) ends, so the next drag starts a new region.
    void dragLost();
    ImageView* view() const { return view_; }

signals:
    /// The drag from the 0-based \a anchor has reached the 0-based \a pointer.
    void dragged(QPoint anchor, QPoint pointer);
    /// The drag is over: its region is final.
    void dragEnded();
    /// The pointer is over \a point (1-based) of the picture.
    void pointed(QPoint point);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressed(Qt::MouseButtons buttons, QPointF pos);
    void moved(Qt::MouseButtons buttons, QPointF pos);
    void released(Qt::MouseButton button);
    QPoint pointAt(QPointF pos) const;

    QWidget* window_;
    const ImageStore& image_;
    QWidget* viewport_ = nullptr;
    ImageView* view_ = nullptr;
    SelectionFrame* frame_ = nullptr;
    ScrollBars bars_;
    bool dragging_ = false;
    QPoint anchor_;
    bool pulseRising_ = true;
    int pulseLevel_ = 70;
};

} // namespace lumiset

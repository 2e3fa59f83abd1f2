#pragma once

#include "ScrollBars.h"
#include "common/Artwork.h"

#include <QObject>
#include <QPoint>
#include <QRect>

class QLabel;
class QWidget;

namespace lumiset {

class ZoomView;
struct ImageStore;
struct Selection;

/// \brief The region magnified, with its caption and scroll bars: the left
/// button zooms in, the right or middle one out, and the zoom lasts as long as
/// the window object. With the focus on the view, + and Page Up zoom in, − and
/// Page Down out, a step at a time as the clicks do, the arrows scroll by a
/// point, and the caption shows the focus mark.
class ZoomPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxZoom = 20;

    /// Places the view of \a selection of \a image on \a window.
    ZoomPanel(QWidget* window, const ImageStore& image, const Selection& selection);

    /// Screen pixels per point; a new zoom takes effect at the next draw().
    int zoom() const { return zoom_; }
    void setZoom(int zoom) { zoom_ = zoom; }
    /// Sets the caption in the current language.
    void retranslate();
    art::ZoomGlyph pointer() const { return pointer_; }
    /// The view that takes the focus.
    QWidget* view() const;

    /// A new showing: nothing drawn yet, the caption without its percentage.
    void reset();
    /// Draws the selection at the current zoom; returns the view's frame on the window.
    QRect draw();

signals:
    /// A click changed the zoom: the region must be drawn again.
    void zoomStepped();
    /// The pointer is over \a point (1-based) of the picture.
    void pointed(QPoint point);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressed(Qt::MouseButtons buttons);
    /// One step of the zoom, in or out, within 1 … kMaxZoom.
    void step(bool in);
    /// Handles a key pressed on the view; false for a key it leaves to the window.
    bool keyPressed(int key);
    void setPointer(art::ZoomGlyph glyph);

    const ImageStore& image_;
    const Selection& selection_;
    int zoom_ = 0;
    int captionZoom_ = 0; ///< the zoom the caption names; 0 before the region is drawn
    art::ZoomGlyph pointer_ = art::ZoomGlyph::Plain;
    QLabel* caption_ = nullptr;
    QWidget* viewport_ = nullptr;
    ZoomView* view_ = nullptr;
    ScrollBars bars_;
};

} // namespace lumiset

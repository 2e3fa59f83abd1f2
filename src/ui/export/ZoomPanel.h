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
/// the window object.
class ZoomPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxZoom = 20;

    /// Places the view of \a selection of \a image on \a window.
    ZoomPanel(QWidget* window, const ImageStore& image, const Selection& selection);

    /// Screen pixels per point; a new zoom takes effect at the next draw().
    int zoom() const { return zoom_; }
    void setZoom(int zoom) { zoom_ = zoom; }
    art::ZoomGlyph pointer() const { return pointer_; }

    /// A new showing: nothing drawn yet, the caption without its percentage.
    void reset();
    /// Draws the selection at the current zoom; returns the view's frame on the window.
    QRect draw();

signals:
    /// A click changed the zoom: the region must be drawn again.
    void zoomStepped();
    /// The pointer is over \a point (1-based) of the picture.
    void pointed(QPoint point);

private:
    void pressed(Qt::MouseButtons buttons);
    void setPointer(art::ZoomGlyph glyph);

    const ImageStore& image_;
    const Selection& selection_;
    int zoom_ = 0;
    art::ZoomGlyph pointer_ = art::ZoomGlyph::Plain;
    QLabel* caption_ = nullptr;
    QWidget* viewport_ = nullptr;
    ZoomView* view_ = nullptr;
    ScrollBars bars_;
};

} // namespace lumiset

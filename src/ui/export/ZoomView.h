#pragma once

#include "output/SelectionMath.h"

#include <QWidget>

namespace lumiset {

/// \brief The selected region magnified: each point a square of zoom × zoom
/// screen pixels, with a one-pixel grid of the background from zoom 7 on.
///
/// Only the exposed cells are painted, so a tall region at a high zoom costs
/// no more than a small one.
class ZoomView : public QWidget {
    Q_OBJECT
public:
    /// Zoom from which cells are drawn one pixel smaller, leaving grid lines.
    static constexpr int kGridZoom = 7;

    explicit ZoomView(QWidget* parent = nullptr);

    void setRegion(const ImageStore* store, const Selection& selection, int zoom);
    int zoom() const { return zoom_; }

signals:
    void pressed(Qt::MouseButtons buttons, QPointF pos);
    void moved(Qt::MouseButtons buttons, QPointF pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const ImageStore* store_ = nullptr;
    Selection selection_;
    int zoom_ = 0;
};

} // namespace lumiset

#pragma once

#include "PointingView.h"
#include "output/SelectionMath.h"

namespace lumiset {

/// \brief The selected region magnified: each point a square of zoom × zoom
/// screen pixels, with a one-pixel grid of the background from zoom 7 on.
///
/// Only the exposed cells are painted, so a tall region at a high zoom costs
/// no more than a small one.
class ZoomView : public PointingView {
    Q_OBJECT
public:
    /// Zoom from which cells are drawn one pixel smaller, leaving grid lines.
    static constexpr int kGridZoom = 7;

    explicit ZoomView(QWidget* parent = nullptr);

    void setRegion(const ImageStore* store, const Selection& selection, int zoom);
    int zoom() const { return zoom_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ImageStore* store_ = nullptr;
    Selection selection_;
    int zoom_ = 0;
};

} // namespace lumiset

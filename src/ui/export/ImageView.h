#pragma once

#include "PointingView.h"
#include "output/SelectionMath.h"

#include <QColor>
#include <QWidget>

namespace lumiset {

/// \brief The selection rectangle drawn over the image view: a one-pixel border
/// combined with the picture by one of four raster operations.
class SelectionFrame : public QWidget {
    Q_OBJECT
public:
    /// The drawing modes the right button cycles through, numbered as the
    /// Windows raster operations they stand for.
    enum Mode { CopyPen = 13, Invert = 6, MergePen = 15, MaskPenNot = 5 };

    explicit SelectionFrame(QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    void setMode(Mode mode);
    QColor colour() const { return colour_; }
    void setColour(const QColor& colour);
    /// Copy → invert → merge (green) → mask-not → copy (red).
    void nextMode();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Mode mode_ = CopyPen;
    QColor colour_{255, 0, 0};
};

/// \brief The whole picture at one screen pixel per image pixel; only the part
/// that is exposed is painted, straight from the pixel planes.
class ImageView : public PointingView {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    /// Takes the colour rule of \a store and repaints; nullptr shows only the background.
    void setStore(const ImageStore* store);
    SelectionFrame* frame() const { return frame_; }

signals:
    void released(Qt::MouseButton button, QPointF pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const ImageStore* store_ = nullptr;
    ImageViewColours colours_{ImageStore{}};
    SelectionFrame* frame_ = nullptr;
};

} // namespace lumiset

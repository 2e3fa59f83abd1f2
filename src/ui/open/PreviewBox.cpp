#include "PreviewBox.h"

#include "common/Artwork.h"

#include <QPaintEvent>
#include <QPainter>

namespace lumiset {

PreviewBox::PreviewBox(Fit fit, QWidget* parent) : QWidget(parent), fit_(fit)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PreviewBox::setPicture(const QImage& picture, bool bordered)
{
    picture_ = picture;
    bordered_ = bordered;
    update();
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect inside = bordered_ ? rect().adjusted(1, 1, -1, -1) : rect();
    if (!picture_.isNull()) {
        if (fit_ == Fit::Stretch) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(inside, picture_);
        } else {
            // Drawn point by point: one image pixel per screen pixel, never scaled.
            p.drawImage(inside.topLeft(), picture_);
        }
    }
    if (bordered_) {
        p.setPen(art::colour::edge);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

PaletteSwatch::PaletteSwatch(QWidget* parent) : QWidget(parent)
{
    resize(sizeHint());
}

void PaletteSwatch::setCells(const std::array<std::optional<QRgb>, 256>& cells)
{
    cells_ = cells;
    update();
}

void PaletteSwatch::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    for (int n = 0; n < 256; ++n) {
        if (!cells_[n])
            continue;
        const QRect square(kMargin + 10 * (n % 32), kMargin + 10 * (n / 32), 9, 9);
        if (event->rect().intersects(square))
            p.fillRect(square, QColor::fromRgb(*cells_[n]));
    }
}

} // namespace lumiset

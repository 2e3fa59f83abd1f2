#include "ReadingProgress.h"

#include "common/Artwork.h"
#include "common/PictureButton.h"
#include "image/ImageStore.h"
#include "image/Rounding.h"

#include <QPainter>

#include <algorithm>

namespace lumiset {

namespace {
constexpr int kLeft = 88;
constexpr int kTop = 8;
constexpr int kReadingPhaseEnd = 350; // the bar's length when the pixels are read
} // namespace

ReadingBar::ReadingBar(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ReadingBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    art::readingBar(p, QRectF(0, 0, kLength, kHeight));
}

ReadingProgress::ReadingProgress(QWidget* window) : QObject(window)
{
    frame_ = new ArtView(art::readingFrame, QSize(472, 32), window);
    frame_->setObjectName(QStringLiteral("Image6"));
    frame_->move(kLeft - 3, kTop - 3);
    bar_ = new ReadingBar(window);
    bar_->setObjectName(QStringLiteral("Picture1"));
    bar_->setGeometry(kLeft, kTop, 1, ReadingBar::kHeight);
    connect(bar_, &ReadingBar::clicked, this,
            [this] { bar_->move(bar_->x(), bar_->y() == kTop ? bar_->y() + bar_->height() : kTop); });
}

void ReadingProgress::reset(bool pixelsWaiting)
{
    bar_->hide();
    bar_->setGeometry(kLeft, kTop, 1, ReadingBar::kHeight);
    frame_->setVisible(pixelsWaiting);
}

void ReadingProgress::startReading(const ImageStore& image)
{
    frame_->show();
    frame_->raise();
    bar_->show();
    bar_->raise();
    setWidth(1);
    position_ = 0;
    step_ = float(kReadingPhaseEnd) / float(std::max(1, image.ImageHeight));
    // Bottom-up files count one row less, so the bar ends a row short of 350.
    bottomUp_ = image.isBmp() ? !image.RowsTopDown : image.isTga() && !image.TgaTopOrigin;
}

void ReadingProgress::rowsRead(int rowsDone)
{
    const int n = bottomUp_ ? rowsDone - 1 : rowsDone;
    if (n * step_ - position_ >= 2) {
        position_ = n * step_;
        setWidth(roundHalfEvenToInt(position_));
    }
}

void ReadingProgress::startDrawing(int rows)
{
    position_ -= kReadingPhaseEnd - 1;
    step_ = float(ReadingBar::kLength - kReadingPhaseEnd) / float(std::max(1, rows));
    const float end = rows * step_;
    if (end - position_ >= 2)
        position_ = end;
    if (bar_->isVisible())
        setWidth(kReadingPhaseEnd + roundHalfEvenToInt(position_));
}

void ReadingProgress::finish()
{
    frame_->hide();
    for (int i = 1; i <= 25; ++i) {
        bar_->resize(bar_->width(), ReadingBar::kHeight - i);
        bar_->repaint();
    }
    bar_->hide();
    bar_->resize(bar_->width(), ReadingBar::kHeight);
}

void ReadingProgress::abandon()
{
    frame_->hide();
    bar_->hide();
}

void ReadingProgress::setWidth(int width)
{
    bar_->resize(std::clamp(width, 1, ReadingBar::kLength), bar_->height());
    bar_->repaint();
}

} // namespace lumiset

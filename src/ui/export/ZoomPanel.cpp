#include "ZoomPanel.h"

#include "ScrollBars.h"
#include "ZoomView.h"
#include "common/PictureButton.h"
#include "image/NumberText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace lumiset {

namespace {

constexpr QRect kArea{0, 184, 153, 169};
constexpr int kCaptionGap = 20; // the caption's top above the zoomed frame
constexpr int kCaptionTopmost = 146;
constexpr int kBarThickness = 17;
// No widget may be taller than this; a region taller than it at a high zoom is cut.
constexpr qint64 kMaxCanvas = 16000000;

const QColor kFrameColour(128, 128, 255);

/// The caption, which carries the focus mark of the view under it: the view
/// may be a few pixels small, or mostly scrolled out of sight.
class ZoomCaption : public QLabel {
public:
    ZoomCaption(const QString& text, QWidget* parent, const QWidget* view) : QLabel(text, parent), view_(view) { }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (view_->hasFocus()) {
            QPainter p(this);
            const int width = fontMetrics().horizontalAdvance(text()) + 8;
            art::focusBackdrop(p, QRect((this->width() - width) / 2, 0, width, height()));
        }
        QLabel::paintEvent(event);
    }

private:
    const QWidget* view_;
};

} // namespace

ZoomPanel::ZoomPanel(QWidget* window, const ImageStore& image, const Selection& selection)
    : QObject(window), image_(image), selection_(selection)
{
    bars_ = ScrollBars(window, "HScroll4", {0, 352, 153, kBarThickness}, "VScroll4", {152, 184, kBarThickness, 169});

    viewport_ = colourPanel(window, "Picture4", kArea, kFrameColour);
    view_ = new ZoomView(viewport_);
    view_->setObjectName(QStringLiteral("Picture5"));
    view_->setFocusPolicy(Qt::StrongFocus);
    view_->installEventFilter(this);
    caption_ = new ZoomCaption(QString(), window, view_);
    caption_->setObjectName(QStringLiteral("Label9"));
    caption_->setGeometry(0, 164, 153, 18);
    caption_->setAlignment(Qt::AlignCenter);

    bars_.scroll(view_);
    connect(view_, &ZoomView::pressed, this, &ZoomPanel::pressed);
    connect(view_, &ZoomView::moved, this,
            [this](Qt::MouseButtons, QPointF pos) { emit pointed(zoomedPoint(pos.x(), pos.y(), zoom_, selection_)); });
    retranslate();
}

void ZoomPanel::retranslate()
{
    view_->setAccessibleName(tr("Масштаб"));
    caption_->setText(captionZoom_ == 0 ? tr("Масштаб")
                                        : tr("Масштаб %1%").arg(integerText(qint64(captionZoom_) * 100)));
}

void ZoomPanel::reset()
{
    viewport_->hide();
    caption_->hide();
    captionZoom_ = 0;
    retranslate();
    bars_.clearRanges();
    bars_.hide();
    bars_.setPageStep(1);
    setPointer(art::ZoomGlyph::Plain);
}

QRect ZoomPanel::draw()
{
    const int Z = zoom_;
    const Selection& sel = selection_;
    captionZoom_ = Z;
    retranslate();
    caption_->show();
    viewport_->hide();
    const qint64 W5 = std::min(kMaxCanvas, (qint64(sel.SelColumnTo) - sel.SelColumnFrom + 1) * Z);
    const qint64 H5 = std::min(kMaxCanvas, (qint64(sel.SelRowTo) - sel.SelRowFrom + 1) * Z);
    view_->setGeometry(0, 0, int(W5), int(H5));
    const QRect frame = bars_.fit(QSize(int(W5), int(H5)), kArea, 0);
    viewport_->setGeometry(frame);
    bars_.rewind(); // the canvas starts at its top-left corner again, so do the thumbs
    view_->setRegion(&image_, sel, Z);
    view_->move(0, 0);
    view_->show();
    viewport_->setVisible(W5 > 0 && H5 > 0);
    // The caption sits just above the frame, wherever the region's size puts it.
    caption_->move(caption_->x(), std::max(kCaptionTopmost, frame.top() - kCaptionGap));
    return frame;
}

QWidget* ZoomPanel::view() const
{
    return view_;
}

void ZoomPanel::pressed(Qt::MouseButtons buttons)
{
    // The left button zooms in, also with the right one held; the right or the
    // middle one alone zooms out.
    const bool in = buttons == Qt::LeftButton || buttons == (Qt::LeftButton | Qt::RightButton);
    const bool out = buttons == Qt::RightButton || buttons == Qt::MiddleButton;
    if (in || out)
        step(in);
}

void ZoomPanel::step(bool in)
{
    if (in) {
        if (zoom_ >= kMaxZoom) {
            setPointer(art::ZoomGlyph::Out);
            return;
        }
        ++zoom_;
        setPointer(art::ZoomGlyph::In);
    } else if (zoom_ >= 2) {
        setPointer(art::ZoomGlyph::Out);
        --zoom_;
    } else {
        return;
    }
    emit zoomStepped();
    bars_.setPageStep(zoom_);
    setPointer(art::ZoomGlyph::Plain);
}

bool ZoomPanel::keyPressed(int key)
{
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: // the + key without Shift
    case Qt::Key_PageUp: step(true); return true;
    case Qt::Key_Minus:
    case Qt::Key_PageDown: step(false); return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        QScrollBar* bar = key == Qt::Key_Left || key == Qt::Key_Right ? bars_.horizontal() : bars_.vertical();
        const bool back = key == Qt::Key_Left || key == Qt::Key_Up;
        bar->setValue(bar->value() + (back ? -zoom_ : zoom_)); // a point at a time
        return true;
    }
    default: return false;
    }
}

bool ZoomPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            caption_->update();
        if (event->type() == QEvent::KeyPress && keyPressed(static_cast<QKeyEvent*>(event)->key()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void ZoomPanel::setPointer(art::ZoomGlyph glyph)
{
    pointer_ = glyph;
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    art::zoomCursor(p, QRectF(0, 0, 32, 32), glyph);
    p.end();
    view_->setCursor(QCursor(picture, 12, 12));
}

} // namespace lumiset

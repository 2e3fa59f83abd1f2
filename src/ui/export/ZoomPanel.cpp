#include "ZoomPanel.h"

#include "ZoomView.h"
#include "common/PictureButton.h"
#include "image/NumberText.h"
#include "image/Rounding.h"

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
            art::focusBackdrop(p, QRectF((this->width() - width) / 2, 0, width, height()));
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
    auto bar = [window](const char* name, Qt::Orientation o, QRect geometry) {
        auto* b = new QScrollBar(o, window);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(geometry);
        b->setSingleStep(1);
        b->setPageStep(1);
        return b;
    };
    hScroll_ = bar("HScroll4", Qt::Horizontal, {0, 352, 153, kBarThickness});
    vScroll_ = bar("VScroll4", Qt::Vertical, {152, 184, kBarThickness, 169});

    viewport_ = colourPanel(window, "Picture4", kArea, kFrameColour);
    view_ = new ZoomView(viewport_);
    view_->setObjectName(QStringLiteral("Picture5"));
    view_->setFocusPolicy(Qt::StrongFocus);
    view_->setAccessibleName(QStringLiteral("Масштаб"));
    view_->installEventFilter(this);
    caption_ = new ZoomCaption(QStringLiteral("Масштаб"), window, view_);
    caption_->setObjectName(QStringLiteral("Label9"));
    caption_->setGeometry(0, 164, 153, 18);
    caption_->setAlignment(Qt::AlignCenter);

    connect(hScroll_, &QScrollBar::valueChanged, this, [this](int x) { view_->move(-x, view_->y()); });
    connect(vScroll_, &QScrollBar::valueChanged, this, [this](int y) { view_->move(view_->x(), -y); });
    connect(view_, &ZoomView::pressed, this, &ZoomPanel::pressed);
    connect(view_, &ZoomView::moved, this,
            [this](Qt::MouseButtons, QPointF pos) { emit pointed(zoomedPoint(pos.x(), pos.y(), zoom_, selection_)); });
}

void ZoomPanel::reset()
{
    viewport_->hide();
    caption_->hide();
    caption_->setText(QStringLiteral("Масштаб"));
    for (QScrollBar* b : {hScroll_, vScroll_}) {
        const QSignalBlocker block(b);
        b->setRange(0, 0);
        b->hide();
        b->setPageStep(1);
    }
    setPointer(art::ZoomGlyph::Plain);
}

QRect ZoomPanel::draw()
{
    const int Z = zoom_;
    const Selection& sel = selection_;
    caption_->setText(QStringLiteral("Масштаб ") + integerText(qint64(Z) * 100) + QLatin1Char('%'));
    caption_->show();
    viewport_->hide();
    const qint64 W5 = std::min(kMaxCanvas, (qint64(sel.SelColumnTo) - sel.SelColumnFrom + 1) * Z);
    const qint64 H5 = std::min(kMaxCanvas, (qint64(sel.SelRowTo) - sel.SelRowFrom + 1) * Z);
    view_->setGeometry(0, 0, int(W5), int(H5));
    QRect frame;
    if (H5 < kArea.height()) {
        frame.setTop(roundHalfEvenToInt(kArea.top() + (kArea.height() - H5) / 2.0));
        frame.setHeight(int(H5));
        vScroll_->hide();
    } else {
        frame.setTop(kArea.top());
        frame.setHeight(kArea.height());
        vScroll_->setRange(0, int(H5 - kArea.height()));
        vScroll_->show();
    }
    if (W5 < kArea.width()) {
        frame.setLeft(roundHalfEvenToInt((kArea.width() - W5) / 2.0));
        frame.setWidth(int(W5));
        hScroll_->hide();
    } else {
        frame.setLeft(0);
        frame.setWidth(kArea.width());
        hScroll_->setRange(0, int(W5 - kArea.width()));
        hScroll_->move(hScroll_->x(), frame.top() + frame.height());
        hScroll_->show();
    }
    viewport_->setGeometry(frame);
    vScroll_->move(frame.left() + frame.width(), vScroll_->y());
    // The canvas starts at its top-left corner again, so do the thumbs.
    for (QScrollBar* b : {hScroll_, vScroll_}) {
        const QSignalBlocker block(b);
        b->setValue(0);
    }
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
    hScroll_->setPageStep(zoom_);
    vScroll_->setPageStep(zoom_);
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
        QScrollBar* bar = key == Qt::Key_Left || key == Qt::Key_Right ? hScroll_ : vScroll_;
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

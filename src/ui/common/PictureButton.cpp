#include "PictureButton.h"

#include <QKeyEvent>
#include <QPaintEvent>

namespace lumiset {

namespace {

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

/// The space-bar twin of an Enter key event.
QKeyEvent asSpace(const QKeyEvent* event)
{
    return QKeyEvent(event->type(), Qt::Key_Space, event->modifiers(), QStringLiteral(" "), event->isAutoRepeat());
}

/// Enter acts as the space bar: \a handle gets \a event, or for Enter its space-bar twin.
template <class Handler> void enterAsSpace(QKeyEvent* event, Handler handle)
{
    if (!isEnter(event))
        return handle(event);
    QKeyEvent space = asSpace(event);
    handle(&space);
    event->setAccepted(space.isAccepted());
}

} // namespace

KeyButton::KeyButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void KeyButton::keyPressEvent(QKeyEvent* event)
{
    enterAsSpace(event, [this](QKeyEvent* key) { QAbstractButton::keyPressEvent(key); });
}

void KeyButton::keyReleaseEvent(QKeyEvent* event)
{
    enterAsSpace(event, [this](QKeyEvent* key) { QAbstractButton::keyReleaseEvent(key); });
}

PictureButton::PictureButton(art::PictureFn drawing, QSize size, QWidget* parent)
    : KeyButton(parent), picture_(drawing), size_(size)
{
    resize(size);
}

void PictureButton::setPicture(art::PictureFn drawing)
{
    picture_ = drawing;
    update();
}

void PictureButton::setHeld(bool held)
{
    if (held_ == held)
        return;
    held_ = held;
    update();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    picture_(p, QRectF(rect()), showsPressed());
    if (hasFocus())
        art::focusMark(p, QRectF(rect()));
}

ArtView::ArtView(Fn fn, QSize size, QWidget* parent) : QWidget(parent), fn_(fn), size_(size)
{
    resize(size);
}

void ArtView::setArt(Fn fn)
{
    fn_ = fn;
    update();
}

void ArtView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    fn_(p, QRectF(rect()));
}

LineControl::LineControl(QWidget* parent, QColor colour) : QWidget(parent), colour_(colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::setLine(QPoint from, QPoint to)
{
    from_ = from;
    to_ = to;
    setGeometry(QRect(from, to).normalized()); // both end points inclusive
    update();
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour_, 1));
    const QPointF origin = pos();
    p.drawLine(QPointF(from_) - origin + QPointF(0.5, 0.5), QPointF(to_) - origin + QPointF(0.5, 0.5));
}

QWidget* colourPanel(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    QPalette filled = panel->palette();
    filled.setColor(QPalette::Window, colour);
    panel->setPalette(filled);
    return panel;
}

} // namespace lumiset

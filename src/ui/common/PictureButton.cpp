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

} // namespace

KeyButton::KeyButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void KeyButton::keyPressEvent(QKeyEvent* event)
{
    if (!isEnter(event))
        return QAbstractButton::keyPressEvent(event);
    QKeyEvent space = asSpace(event);
    QAbstractButton::keyPressEvent(&space);
    event->setAccepted(space.isAccepted());
}

void KeyButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!isEnter(event))
        return QAbstractButton::keyReleaseEvent(event);
    QKeyEvent space = asSpace(event);
    QAbstractButton::keyReleaseEvent(&space);
    event->setAccepted(space.isAccepted());
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

} // namespace lumiset

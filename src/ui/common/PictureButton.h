#pragma once

#include "Artwork.h"

#include <QAbstractButton>

class QKeyEvent;

namespace lumiset {

/// \brief A painted button the keyboard reaches: it takes the focus by Tab and
/// by click, and Enter presses it as the space bar does.
class KeyButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit KeyButton(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

/// \brief A button drawn by one of the program's pictures, with the focus mark
/// over it while it has the focus.
///
/// It shows its pressed picture while the mouse holds it down, and also while
/// it is held by its command (the open button stays pressed while a file opens).
class PictureButton : public KeyButton {
    Q_OBJECT
public:
    PictureButton(art::PictureFn picture, QSize size, QWidget* parent = nullptr);

    void setPicture(art::PictureFn picture);
    art::PictureFn picture() const { return picture_; }
    /// Keeps the pressed picture although the mouse is up.
    void setHeld(bool held);
    bool held() const { return held_; }
    /// True when the pressed picture is the one on screen.
    bool showsPressed() const { return isDown() || held_; }

    QSize sizeHint() const override { return size_; }
    QSize minimumSizeHint() const override { return size_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    art::PictureFn picture_;
    QSize size_;
    bool held_ = false;
};

/// \brief A static illustration painted by an art function.
class ArtView : public QWidget {
    Q_OBJECT
public:
    using Fn = void (*)(QPainter&, const QRectF&);
    ArtView(Fn fn, QSize size, QWidget* parent = nullptr);
    void setArt(Fn fn);
    Fn art() const { return fn_; }
    QSize sizeHint() const override { return size_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Fn fn_;
    QSize size_;
};

/// \brief A line control: a straight line between two points of its parent,
/// transparent to the mouse.
class LineControl : public QWidget {
    Q_OBJECT
public:
    explicit LineControl(QWidget* parent = nullptr, QColor colour = art::colour::ink);
    void setLine(QPoint from, QPoint to);
    QPoint from() const { return from_; }
    QPoint to() const { return to_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_, to_;
    QColor colour_;
};

/// A plain panel of one colour named \a name at \a geometry on \a parent: the
/// views' viewports, the white panel of the row bounds.
QWidget* colourPanel(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour);

} // namespace lumiset

#pragma once

#include <QRect>

class QScrollBar;
class QWidget;

namespace lumiset {

/// \brief The two scroll bars of a view larger than its viewport, standing on
/// the window against the viewport's bottom and right edges. The bars belong
/// to the window; this only points at them.
class ScrollBars {
public:
    ScrollBars() = default;
    /// Makes both bars on \a window, moving a point a step and a page.
    ScrollBars(QWidget* window, const char* horizontalName, const QRect& horizontal, const char* verticalName,
               const QRect& vertical);

    QScrollBar* horizontal() const { return horizontal_; }
    QScrollBar* vertical() const { return vertical_; }

    /// Moving a thumb moves \a view the other way, as if its viewport scrolled.
    void scroll(QWidget* view) const;
    /// Both ranges empty; the view stays where it is.
    void clearRanges() const;
    /// Both thumbs back at the start; the view stays where it is.
    void rewind() const;
    void hide() const;
    void setPageStep(int step) const;

    /// \brief The viewport of a view of size \a view in \a area. Along each
    /// axis a view shorter than the area is centred (halves to even) in a
    /// viewport as long as it plus \a border, and its bar hides; a longer one
    /// fills the area and its bar scrolls over the rest. The bars move to the
    /// viewport's edges.
    QRect fit(QSize view, const QRect& area, int border) const;

private:
    QScrollBar* horizontal_ = nullptr;
    QScrollBar* vertical_ = nullptr;
};

} // namespace lumiset

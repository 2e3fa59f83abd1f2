#pragma once

#include <QObject>
#include <QRect>

class QLabel;
class QWidget;

namespace lumiset {

class LineControl;
struct Readout;

/// \brief The panel that shows the point under the pointer: its place, its
/// components and its brightness, with the two lines that lead to it from the
/// zoomed view's frame.
class PixelReadout : public QObject {
    Q_OBJECT
public:
    /// Places the panel and its lines on \a window.
    explicit PixelReadout(QWidget* window);

    /// Back to the bare captions, as before the pointer has met a point.
    void clear();
    void show(const Readout& readout);
    /// Sets in bold what \a measure reads: one component, or the brightness,
    /// which shows only for the measures that compute one.
    void emphasise(int measure);
    /// Draws the lines from the right-hand corners of the zoomed view's \a frame.
    void leadFrom(const QRect& frame);

private:
    QWidget* window_;
    QLabel* panel_ = nullptr;
    QLabel* column_ = nullptr;
    QLabel* row_ = nullptr;
    QLabel* components_[3] = {}; ///< red, green, blue
    QLabel* brightness_ = nullptr;
    LineControl* upperLine_ = nullptr;
    LineControl* lowerLine_ = nullptr;
};

} // namespace lumiset

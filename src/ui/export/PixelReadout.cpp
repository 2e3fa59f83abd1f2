#include "PixelReadout.h"

#include "common/PictureButton.h"
#include "output/ExportState.h"
#include "output/SelectionMath.h"

#include <QLabel>

namespace lumiset {

PixelReadout::PixelReadout(QWidget* window) : QObject(window), window_(window)
{
    auto label = [window](const char* name, const QString& text, QRect geometry) {
        auto* l = new QLabel(text, window);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(geometry);
        return l;
    };
    panel_ = label("Label5", QString(), {192, 278, 154, 92});
    panel_->setFrameShape(QFrame::StyledPanel);
    panel_->setAutoFillBackground(true);
    column_ = label("Label10", QStringLiteral("X:"), {200, 284, 68, 16});
    row_ = label("Label11", QStringLiteral("Y:"), {272, 284, 68, 16});
    components_[0] = label("Label12", QStringLiteral("Красный"), {200, 302, 140, 16});
    components_[1] = label("Label13", QStringLiteral("Зелёный"), {200, 318, 140, 16});
    components_[2] = label("Label14", QStringLiteral("Синий"), {200, 334, 140, 16});
    brightness_ = label("Label16", QStringLiteral("Яркость"), {200, 350, 140, 16});
    upperLine_ = new LineControl(window);
    upperLine_->setObjectName(QStringLiteral("Line11"));
    lowerLine_ = new LineControl(window);
    lowerLine_->setObjectName(QStringLiteral("Line12"));
}

void PixelReadout::clear()
{
    for (QLabel* l : {column_, row_, components_[0], components_[1], components_[2]})
        l->setText(l->text().section(QLatin1Char(' '), 0, 0));
    brightness_->setText(QStringLiteral("Яркость"));
}

void PixelReadout::show(const Readout& r)
{
    column_->setText(r.column);
    row_->setText(r.row);
    const std::optional<QString>* components[3] = {&r.red, &r.green, &r.blue};
    for (int i = 0; i < 3; ++i)
        if (*components[i])
            components_[i]->setText(**components[i]);
    if (r.brightness)
        brightness_->setText(*r.brightness);
}

void PixelReadout::emphasise(int measure)
{
    for (int i = 0; i < 3; ++i) {
        QFont f = window_->font();
        f.setBold(measure == i + 1);
        components_[i]->setFont(f);
    }
    QFont f = window_->font();
    f.setBold(measure >= MeasureMean);
    brightness_->setFont(f);
    brightness_->setVisible(measure >= MeasureMean);
}

void PixelReadout::leadFrom(const QRect& frame)
{
    const QPoint topRight(frame.left() + frame.width(), frame.top());
    const QPoint bottomRight(frame.left() + frame.width(), frame.top() + frame.height());
    upperLine_->setLine(topRight, panel_->geometry().topLeft());
    lowerLine_->setLine(bottomRight, QPoint(panel_->x(), panel_->y() + panel_->height()));
    // The lines run unbroken from the frame to the readout, over the zoomed view's scroll bars.
    upperLine_->raise();
    lowerLine_->raise();
}

} // namespace lumiset

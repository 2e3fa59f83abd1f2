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
    column_ = label("Label10", QString(), {200, 284, 68, 16});
    row_ = label("Label11", QString(), {272, 284, 68, 16});
    components_[0] = label("Label12", QString(), {200, 302, 140, 16});
    components_[1] = label("Label13", QString(), {200, 318, 140, 16});
    components_[2] = label("Label14", QString(), {200, 334, 140, 16});
    brightness_ = label("Label16", QString(), {200, 350, 140, 16});
    clear();
    upperLine_ = new LineControl(window);
    upperLine_->setObjectName(QStringLiteral("Line11"));
    lowerLine_ = new LineControl(window);
    lowerLine_->setObjectName(QStringLiteral("Line12"));
}

void PixelReadout::clear()
{
    // The bare captions, in the current language.
    column_->setText(QStringLiteral("X:"));
    row_->setText(QStringLiteral("Y:"));
    components_[0]->setText(tr("Красный"));
    components_[1]->setText(tr("Зелёный"));
    components_[2]->setText(tr("Синий"));
    brightness_->setText(tr("Яркость"));
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

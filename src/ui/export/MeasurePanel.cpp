#include "MeasurePanel.h"

#include "ClickLabel.h"
#include "image/NumberText.h"
#include "output/ExportState.h"

#include <QRadioButton>

#include <algorithm>

namespace lumiset {

MeasurePanel::MeasurePanel(QWidget* window) : QObject(window)
{
    caption_ = new QLabel(window);
    caption_->setObjectName(QStringLiteral("Label23"));
    caption_->setGeometry(8, 40, 120, 16);
    QFont bold = window->font();
    bold.setBold(true);
    caption_->setFont(bold);
    const QRect places[6] = {{8, 58, 184, 18}, {194, 58, 84, 18}, {280, 58, 70, 18},
                             {8, 78, 330, 18}, {8, 98, 330, 18},  {8, 118, 20, 18}};
    for (int n = 1; n <= 6; ++n) {
        buttons_[n] = new QRadioButton(window);
        buttons_[n]->setObjectName(QStringLiteral("Option%1").arg(n));
        buttons_[n]->setGeometry(places[n - 1]);
        connect(buttons_[n], &QRadioButton::toggled, this, [this, n](bool on) {
            if (on)
                emit measureChosen(n);
        });
    }
    for (int i = 0; i < 6; ++i) {
        auto* l = new ClickLabel(QString(), window);
        l->setObjectName(QStringLiteral("Label%1").arg(17 + i));
        l->setGeometry(28, 119, 10, 16);
        l->setCursor(Qt::PointingHandCursor);
        if (i % 2 == 0) {
            connect(l, &ClickLabel::clicked, this, [this] { select(MeasureLuminance); });
        } else {
            QFont f = window->font();
            f.setUnderline(true); // the weights are edited by a click, or by Enter
            l->setFont(f);
            l->setFocusPolicy(Qt::StrongFocus);
            connect(l, &ClickLabel::clicked, this, [this, i] {
                select(MeasureLuminance);
                emit weightRequested(i / 2);
            });
        }
        formula_[i] = l;
    }
    greyCaption_ = new QLabel(window);
    greyCaption_->setObjectName(QStringLiteral("Label15"));
    greyCaption_->setGeometry(8, 78, 330, 18);
    greyCaption_->hide();
    retranslate();
}

void MeasurePanel::retranslate()
{
    caption_->setText(tr("ВЫВЕСТИ :"));
    const QString captions[5] = {tr("Красную составляющую"), tr("Зелёную"), tr("Синюю"),
                                 tr("Среднее арифметическое значение"), tr("Максимальное значение")};
    for (int n = 1; n <= 5; ++n)
        buttons_[n]->setText(captions[n - 1]);
    const QString formulaTip = tr(
        "Красный·0,299 + Зелёный·0,587 + Синий·0,114 - вклады в яркость в практике для телевизионного сигнала");
    const QString parts[3] = {tr("Яркость = Красн.·"), tr(" + Зел.·"), tr(" + Син.·")};
    for (int i = 0; i < 3; ++i) {
        formula_[2 * i]->setText(parts[i]);
        formula_[2 * i]->setToolTip(formulaTip);
    }
    greyCaption_->setText(tr("Яркость чёрно-белого изображения"));
    layoutFormula(0);
}

void MeasurePanel::select(int measure)
{
    if (buttons_[measure]->isChecked())
        emit measureChosen(measure);
    else
        buttons_[measure]->setChecked(true); // its toggled handler reports the measure
}

void MeasurePanel::showWeights(float red, float green, float blue)
{
    formula_[1]->setText(fixedText(red, 3, Precision::Single));
    formula_[3]->setText(fixedText(green, 3, Precision::Single));
    formula_[5]->setText(fixedText(blue, 3, Precision::Single));
    layoutFormula(0);
}

void MeasurePanel::showWeight(int which, float value)
{
    formula_[1 + 2 * which]->setText(fixedText(value, 3, Precision::Single));
    layoutFormula(1 + 2 * which);
}

void MeasurePanel::showChoices(bool colour)
{
    for (int n = 1; n <= 6; ++n)
        buttons_[n]->setVisible(colour);
    for (QLabel* l : formula_)
        l->setVisible(colour);
    greyCaption_->setVisible(!colour);
}

QList<QWidget*> MeasurePanel::focusChain() const
{
    return {buttons_[1], buttons_[2], buttons_[3], buttons_[4], buttons_[5],
            buttons_[6], formula_[1], formula_[3], formula_[5]};
}

void MeasurePanel::layoutFormula(int from)
{
    for (QLabel* l : formula_)
        l->adjustSize();
    for (int i = std::max(1, from); i < 6; ++i)
        formula_[i]->move(formula_[i - 1]->x() + formula_[i - 1]->width() + 1, formula_[i]->y());
}

} // namespace lumiset

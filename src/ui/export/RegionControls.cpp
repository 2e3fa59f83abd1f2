#include "RegionControls.h"

#include "common/PictureButton.h"
#include "image/ImageStore.h"
#include "output/ExportPreparation.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace lumiset {

namespace {

constexpr QRect kRowPanel{192, 184, 161, 89}; // under the window's white wedge, as wide as its widest line
constexpr int kBarThickness = 17;
constexpr RegionField kBounds[] = {RegionField::FirstRow, RegionField::LastRow, RegionField::FirstColumn,
                                   RegionField::LastColumn};

QColor windowColour()
{
    return QApplication::palette().color(QPalette::Base);
}

/// The colour a box takes when its number is refused.
QColor rejectedBoxColour()
{
    return QToolTip::palette().color(QPalette::ToolTipBase);
}

void setBoxColour(QLineEdit* box, const QColor& colour)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, colour);
    box->setPalette(pal);
}

} // namespace

RegionControls::RegionControls(QWidget* window, Selection& selection, const ImageStore& image,
                               const OutputOptions& output)
    : QObject(window), sel_(selection), image_(image), output_(output)
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    // A caption with its text in the source language, relabelled on a language change.
    auto label = [&](const char* name, QRect geometry, const char* text) {
        auto* l = new QLabel(window);
        named(l, name)->setGeometry(geometry);
        captions_.push_back({l, text});
        return l;
    };
    auto addBox = [&](RegionField field, const char* name, QRect geometry) {
        auto* b = new QLineEdit(window);
        named(b, name)->setGeometry(geometry);
        b->setAlignment(Qt::AlignRight); // the blank Str puts before a number stays out of sight
        boxes_[int(field)] = b;
    };

    // Column bounds above their scroll bars, right edges on the bars' right edge.
    label("LabelFromColumn", {392, 46, 76, 16}, QT_TR_NOOP("Со столбца"));
    addBox(RegionField::FirstColumn, "Text3", {470, 44, 50, 20});
    label("LabelToColumn", {520, 46, 55, 16}, QT_TR_NOOP("до"))->setAlignment(Qt::AlignCenter);
    addBox(RegionField::LastColumn, "Text4", {575, 44, 50, 20});
    label("LabelColumns", {392, 74, 176, 16}, QT_TR_NOOP("Будет выведено"));
    addBox(RegionField::Columns, "Text5", {575, 72, 50, 20});

    // Row bounds on a white panel below the window's wedge, which becomes its
    // tapered head reaching up to the row bars.
    colourPanel(window, "RowPanel", kRowPanel, Qt::white);
    label("LabelFromRow", {198, 192, 92, 16}, QT_TR_NOOP("Со строки"));
    addBox(RegionField::FirstRow, "Text1", {296, 190, 50, 20});
    label("LabelToRow", {198, 218, 92, 16}, QT_TR_NOOP("до"));
    addBox(RegionField::LastRow, "Text2", {296, 216, 50, 20});
    rowsCaption_ = new QLabel(window); // its text depends on its width: see retranslate()
    named(rowsCaption_, "LabelRows")->setGeometry({198, 238, 92, 32});
    rowsCaption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    addBox(RegionField::Rows, "Text6", {296, 244, 50, 20});
    for (RegionField counter : {RegionField::Columns, RegionField::Rows})
        box(counter)->setReadOnly(true);
    for (RegionField f : kBounds) {
        connect(box(f), &QLineEdit::textChanged, this, [this, f] { boxTyped(f); });
        box(f)->installEventFilter(this); // a box that is left shows the bound in force
    }

    const struct {
        RegionField field;
        const char* name;
        Qt::Orientation orientation;
        QRect geometry;
    } bars[] = {
        {RegionField::FirstColumn, "HScroll3", Qt::Horizontal, {392, 104, 233, kBarThickness}},
        {RegionField::LastColumn, "HScroll2", Qt::Horizontal, {392, 120, 233, kBarThickness}},
        {RegionField::FirstRow, "VScroll3", Qt::Vertical, {352, 144, kBarThickness, 209}},
        {RegionField::LastRow, "VScroll2", Qt::Vertical, {368, 144, kBarThickness, 209}},
    };
    for (const auto& b : bars) {
        auto* sb = new QScrollBar(b.orientation, window);
        named(sb, b.name)->setGeometry(b.geometry);
        sb->setSingleStep(1);
        sb->setPageStep(10);
        bars_[int(b.field)] = sb;
        // A value change while the thumb is held is a scroll; any other (click,
        // key, release, code) is a change. The last-row bar only acts when its
        // thumb is let go.
        connect(sb, &QScrollBar::valueChanged, this, [this, sb, f = b.field] {
            if (f != RegionField::LastRow || !sb->isSliderDown())
                barChanged(f);
        });
        connect(sb, &QScrollBar::sliderReleased, this, [this, f = b.field] { barChanged(f); });
    }
    retranslate();
}

void RegionControls::retranslate()
{
    for (const auto& [caption, text] : captions_)
        caption->setText(tr(text));
    // The rows' caption breaks in two where its column is too narrow for one line.
    const QString rowsCaption = tr("Будет выведено");
    const bool oneLine = rowsCaption_->fontMetrics().horizontalAdvance(rowsCaption) <= rowsCaption_->width();
    rowsCaption_->setText(oneLine ? rowsCaption : tr("Будет\nвыведено"));
    bar(RegionField::FirstColumn)->setToolTip(tr("Первый столбец"));
    bar(RegionField::LastColumn)->setToolTip(tr("Последний столбец"));
    bar(RegionField::FirstRow)->setToolTip(tr("Первая строка"));
    bar(RegionField::LastRow)->setToolTip(tr("Последняя строка"));
}

QScrollBar* RegionControls::bar(RegionField field) const
{
    return bars_[int(field)];
}

QLineEdit* RegionControls::box(RegionField field) const
{
    return boxes_[int(field)];
}

RegionEditor RegionControls::editor()
{
    return RegionEditor(sel_, image_.ImageWidth, image_.ImageHeight, limitsRegionWidth(output_.layout));
}

void RegionControls::reset()
{
    // The bars cover the whole picture from the start, so no bound can leave it
    // even when the pixels cannot be read.
    for (RegionField f : kBounds) {
        QScrollBar* b = bar(f);
        const QSignalBlocker block(b);
        const bool column = f == RegionField::FirstColumn || f == RegionField::LastColumn;
        b->setRange(1, std::max(1, column ? image_.ImageWidth : image_.ImageHeight));
        b->setValue(1);
    }
    for (QLineEdit* b : boxes_) {
        const QSignalBlocker block(b);
        b->clear();
        setBoxColour(b, windowColour());
    }
}

bool RegionControls::showSelection()
{
    RegionChange everything;
    everything.outcome = RegionChange::Outcome::Applied;
    everything.boxes.set();
    for (RegionField f : kBounds)
        everything.bars.set(std::size_t(f), bar(f)->value() != RegionEditor::value(f, sel_));
    apply(everything);
    return everything.bars.any();
}

void RegionControls::fitBarsToPicture()
{
    for (RegionField f : kBounds) {
        const bool column = f == RegionField::FirstColumn || f == RegionField::LastColumn;
        bar(f)->setMaximum(std::max(1, column ? image_.ImageWidth : image_.ImageHeight));
    }
}

void RegionControls::apply(const RegionChange& change)
{
    if (change.outcome != RegionChange::Outcome::Applied)
        return;
    for (int i = 0; i < 6; ++i) {
        const auto field = RegionField(i);
        if (i < 4 && change.bar(field)) {
            QScrollBar* b = bar(field);
            const QSignalBlocker block(b); // the editor has applied the bar's rule already
            b->setValue(RegionEditor::value(field, sel_));
        }
        if (change.box(field))
            setBox(box(field), RegionEditor::boxText(field, sel_));
    }
    emit changed();
}

void RegionControls::settleAll()
{
    for (RegionField f : kBounds)
        settleBox(f);
}

QList<QWidget*> RegionControls::focusChain() const
{
    return {box(RegionField::FirstColumn), box(RegionField::LastColumn), box(RegionField::Columns),
            box(RegionField::FirstRow),    box(RegionField::LastRow),    box(RegionField::Rows)};
}

void RegionControls::barChanged(RegionField field)
{
    apply(editor().moveBar(field, bar(field)->value()));
    // A thumb drag redraws the zoomed view as it goes, as the number boxes it
    // updates always have.
    emit barMoved();
}

void RegionControls::setBox(QLineEdit* target, const QString& text)
{
    if (target == typingBox_)
        return; // leave what the user is typing alone
    // What the program writes is a valid bound: it needs no check.
    const QSignalBlocker block(target);
    target->setText(text);
    setBoxColour(target, windowColour());
}

void RegionControls::boxTyped(RegionField field)
{
    QLineEdit* edited = box(field);
    const RegionChange change = editor().typeBox(field, edited->text());
    if (change.outcome == RegionChange::Outcome::Ignored)
        return;
    const bool refused = change.outcome == RegionChange::Outcome::Refused;
    setBoxColour(edited, refused ? rejectedBoxColour() : windowColour());
    if (refused)
        return;
    typingBox_ = edited;
    apply(change);
    typingBox_ = nullptr;
    emit typed();
}

void RegionControls::settleBox(RegionField field)
{
    QLineEdit* b = box(field);
    if (const std::optional<QString> text = RegionEditor::settledText(field, b->text(), sel_))
        setBox(b, *text);
}

bool RegionControls::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Another control of this window took the focus; a switch to another
        // window or a context menu leaves the box as it is.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        for (RegionField f : kBounds)
            if (watched == box(f) && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                settleBox(f);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumiset

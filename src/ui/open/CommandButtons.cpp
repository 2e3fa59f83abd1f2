#include "CommandButtons.h"

#include "ExportStrip.h"
#include "common/PictureButton.h"
#include "image/Rounding.h"

#include <QLabel>

#include <algorithm>

namespace lumiset {

namespace {

constexpr int kButtonsTop = 4;
constexpr int kSecondRowTop = 33; // help and stop buttons end 7 above the preview band

} // namespace

void CommandButtons::retranslate()
{
    openButton_->setToolTip(tr("Открыть файл"));
    stopButton_->setToolTip(tr("Остановить"));
    helpButton_->setToolTip(tr("Справка"));
}

CommandButtons::CommandButtons(QWidget* window) : QObject(window), window_(window)
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    openButton_ = new PictureButton(art::openButton, QSize(32, 26), window);
    named(openButton_, "Image1")->move(341, kButtonsTop);
    exportSlot_ = new QWidget(window);
    named(exportSlot_, "Picture2")->setGeometry(380, kButtonsTop, art::kStripFrameWidth, art::kStripFrameHeight);
    exportStrip_ = new ExportStrip(exportSlot_);
    named(exportStrip_, "Picture3");
    progressBar_ = new ProgressPicture(exportSlot_);
    named(progressBar_, "Picture4")->setGeometry(0, 0, 1, art::kStripFrameHeight);
    progressBar_->hide(); // shown by the cell colouring only
    stopButton_ = new PictureButton(art::stopButton, QSize(32, 24), window);
    named(stopButton_, "Image13")->move(341, kSecondRowTop);
    stopButton_->hide();
    remainingLabel_ = new QLabel(window);
    named(remainingLabel_, "Label5")->setGeometry(380, kSecondRowTop + 4, 90, 17);
    remainingLabel_->hide();
    helpButton_ = new PictureButton(art::helpButton, QSize(92, 24), window);
    named(helpButton_, "Image3")->move(428, kSecondRowTop);
    retranslate();

    connect(openButton_, &QAbstractButton::clicked, this, &CommandButtons::openClicked);
    connect(exportStrip_, &QAbstractButton::clicked, this, &CommandButtons::exportClicked);
    connect(stopButton_, &QAbstractButton::clicked, this, &CommandButtons::stopClicked);
    connect(helpButton_, &QAbstractButton::clicked, this, &CommandButtons::helpClicked);
}

QList<QWidget*> CommandButtons::tabOrder() const
{
    return {openButton_, exportStrip_, stopButton_, helpButton_};
}

void CommandButtons::place(int band, int bandWidth)
{
    stopButton_->move(band, stopButton_->y());
    openButton_->move(band, openButton_->y());
    helpButton_->move(band + roundHalfEvenToInt(bandWidth - helpButton_->width()) / 2, helpButton_->y());
    exportSlot_->move(openButton_->x() + openButton_->width() + 7, exportSlot_->y());
    remainingLabel_->move(exportSlot_->x(), remainingLabel_->y());
}

int CommandButtons::stopBottom() const
{
    return stopButton_->y() + stopButton_->height();
}

int CommandButtons::helpBottom() const
{
    return helpButton_->y() + helpButton_->height();
}

void CommandButtons::setOpenHeld(bool held)
{
    openButton_->setHeld(held);
}

bool CommandButtons::helpVisible() const
{
    return helpButton_->isVisible();
}

void CommandButtons::helpClosed()
{
    helpButton_->update();
}

// ---- the export strip -----------------------------------------------------------

bool CommandButtons::exportEnabled() const
{
    return exportStrip_->isEnabled();
}

void CommandButtons::setExportEnabled(bool enabled)
{
    exportStrip_->setEnabled(enabled);
}

void CommandButtons::setExportFrame(int frame)
{
    exportStrip_->setFrame(frame);
}

void CommandButtons::setSlideTimerActive(bool active)
{
    exportStrip_->setSliding(active);
}

// ---- while the cells are coloured ---------------------------------------------------

void CommandButtons::setExportButtonFrame(ExportButtonFrame frame)
{
    exportStrip_->setFrame(frame == ExportButtonFrame::Busy ? ExportStrip::kBusyFrame : ExportStrip::kLastSlideFrame);
}

void CommandButtons::setOpenButtonsVisible(bool visible)
{
    openButton_->setVisible(visible);
    helpButton_->setVisible(visible);
}

void CommandButtons::setStopButtonActive(bool active)
{
    stopButton_->setEnabled(active);
    stopButton_->setVisible(active);
    // The progress bar lies over the export button only while cells are coloured.
    progressBar_->setVisible(active);
    if (active)
        progressBar_->raise();
    // The workbook is saved next without a return to the event loop: paint the
    // place of the button and the bar now, or they stay on screen until then.
    else if (window_->isVisible())
        window_->repaint(stopButton_->geometry().united(exportSlot_->geometry()));
}

void CommandButtons::setProgressWidth(int width)
{
    progressBar_->resize(std::clamp(width, 1, int(kProgressBarWidth)), art::kStripFrameHeight);
    if (progressBar_->isVisible())
        progressBar_->repaint();
}

void CommandButtons::setRemainingVisible(bool visible)
{
    // An estimate left from an earlier export would be wrong for this one.
    if (visible)
        remainingLabel_->clear();
    remainingLabel_->setVisible(visible);
}

void CommandButtons::setRemainingText(const QString& text)
{
    remainingLabel_->setText(text);
}

void CommandButtons::setSaving(bool saving)
{
    // The whole bar, its stripes moving while the file is compressed.
    setProgressWidth(saving ? kProgressBarWidth : 1);
    progressBar_->setMoving(saving);
}

} // namespace lumiset

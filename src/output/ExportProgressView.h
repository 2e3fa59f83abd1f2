#pragma once

#include "image/OpenWindowView.h"
#include "image/Rounding.h"

#include <QString>

namespace lumiset {

/// Width of the open window's progress bar (Picture4) when a fill is complete.
inline constexpr int kProgressBarWidth = 130;

/// \brief The seconds a write still needs when \a done of its \a total steps
/// took \a elapsedMilliseconds: the average step so far times the steps left,
/// to the nearest second, halves to even. 0 before the first step and after the last.
inline qint64 secondsLeft(qint64 elapsedMilliseconds, qint64 done, qint64 total)
{
    if (done <= 0 || done >= total)
        return 0;
    return qint64(roundHalfEven(double(elapsedMilliseconds) * double(total - done) / double(done) / 1000.0));
}

enum class ExportButtonFrame {
    Resting, ///< frame 10 at top -260
    Busy,    ///< frame 12 at top -312
};

/// \brief What the spreadsheet export shows on the open window while it runs:
/// the export button's frame, the hidden open and help buttons, the progress
/// bar with its remaining-time caption and the stop button.
class ExportProgressView {
public:
    virtual ~ExportProgressView() = default;

    virtual void setExportButtonFrame(ExportButtonFrame frame) = 0;
    /// The open (Image1) and help (Image3) buttons.
    virtual void setOpenButtonsVisible(bool visible) = 0;
    /// Arrow-and-hourglass while the sheet is written, default afterwards.
    virtual void setBusyPointer(bool busy) = 0;
    /// Lets pending user-interface events run, so a click on the stop button can arrive.
    virtual void processEvents() = 0;
    virtual bool stopRequested() const = 0;
    virtual void clearStopRequest() = 0;
    /// The stop button (Image13): shown and enabled, or disabled and hidden.
    virtual void setStopButtonActive(bool active) = 0;
    virtual void setProgressWidth(int width) = 0;
    /// The remaining-time caption (Label5).
    virtual void setRemainingVisible(bool visible) = 0;
    virtual void setRemainingText(const QString& text) = 0;
    /// While the finished workbook is compressed: the bar moves without filling.
    virtual void setSaving(bool saving) = 0;
    /// Milliseconds of a steady clock; only differences are used.
    virtual qint64 nowMilliseconds() = 0;
    virtual void showMessage(MessageIcon icon, const QString& title, const QString& text) = 0;
};

} // namespace lumiset

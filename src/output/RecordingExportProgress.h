#pragma once

#include "output/ExportProgressView.h"

#include <QStringList>

#include <vector>

namespace lumiset {

/// \brief An open window without widgets for the spreadsheet export: records
/// every effect in order, answers the stop button as scripted and runs a
/// scripted clock. Used by the batch front end and by the tests.
class RecordingExportProgress : public ExportProgressView {
public:
    struct Message {
        MessageIcon icon;
        QString title;
        QString text;
    };

    void setExportButtonFrame(ExportButtonFrame frame) override;
    void setOpenButtonsVisible(bool visible) override;
    void setBusyPointer(bool busy) override;
    void processEvents() override;
    bool stopRequested() const override { return stop; }
    void clearStopRequest() override;
    void setStopButtonActive(bool active) override;
    void setProgressWidth(int width) override;
    void setRemainingVisible(bool visible) override;
    void setRemainingText(const QString& text) override;
    void setSaving(bool saving) override;
    qint64 nowMilliseconds() override;
    void showMessage(MessageIcon icon, const QString& title, const QString& text) override;

    /// The stop button is "clicked" during the n-th pending-events run (1-based); 0 never.
    int stopDuringEventRun = 0;
    /// Clock readings handed out in turn; the last one repeats. Empty: always 0.
    std::vector<qint64> clock;

    QStringList events;
    std::vector<int> progressWidths;
    QStringList remainingTexts;
    std::vector<Message> messages;
    int eventRuns = 0;
    bool stop = false;

private:
    std::size_t clockAt_ = 0;
};

} // namespace lumiset

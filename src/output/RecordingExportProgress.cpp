#include "output/RecordingExportProgress.h"

namespace lumiset {

void RecordingExportProgress::setExportButtonFrame(ExportButtonFrame frame)
{
    events << (frame == ExportButtonFrame::Busy ? QStringLiteral("frame busy") : QStringLiteral("frame resting"));
}

void RecordingExportProgress::setOpenButtonsVisible(bool visible)
{
    events << (visible ? QStringLiteral("buttons shown") : QStringLiteral("buttons hidden"));
}

void RecordingExportProgress::setBusyPointer(bool busy)
{
    events << (busy ? QStringLiteral("pointer busy") : QStringLiteral("pointer default"));
}

void RecordingExportProgress::processEvents()
{
    ++eventRuns;
    if (stopDuringEventRun > 0 && eventRuns == stopDuringEventRun)
        stop = true;
}

void RecordingExportProgress::clearStopRequest()
{
    stop = false;
}

void RecordingExportProgress::setStopButtonActive(bool active)
{
    events << (active ? QStringLiteral("stop shown") : QStringLiteral("stop hidden"));
}

void RecordingExportProgress::setProgressWidth(int width)
{
    progressWidths.push_back(width);
}

void RecordingExportProgress::setRemainingVisible(bool visible)
{
    events << (visible ? QStringLiteral("remaining shown") : QStringLiteral("remaining hidden"));
}

void RecordingExportProgress::setRemainingText(const QString& text)
{
    remainingTexts << text;
}

void RecordingExportProgress::setSaving(bool saving)
{
    events << (saving ? QStringLiteral("saving") : QStringLiteral("saved"));
}

qint64 RecordingExportProgress::nowMilliseconds()
{
    if (clock.empty())
        return 0;
    const qint64 t = clock[qMin(clockAt_, clock.size() - 1)];
    ++clockAt_;
    return t;
}

void RecordingExportProgress::showMessage(MessageIcon icon, const QString& title, const QString& text)
{
    messages.push_back({icon, title, text});
    events << QStringLiteral("message");
}

} // namespace lumiset

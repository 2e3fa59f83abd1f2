#include "CsvProgressBox.h"

#include "output/ExportProgressView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace lumiset {

namespace {
constexpr int kSteps = 1000;
}

CsvError writeCsvShowingProgress(QWidget* parent, Workspace& ws, const QString& answer, int delayMs)
{
    QProgressDialog progress(QCoreApplication::translate("CsvProgressBox", "Запись файла CSV…"),
                             QCoreApplication::translate("CsvProgressBox", "Остановить"), 0, kSteps, parent);
    progress.setObjectName(QStringLiteral("CsvProgress"));
    progress.setWindowTitle(csvPromptTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(delayMs); // shorter writes show no box
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QElapsedTimer clock;
    clock.start();
    const CsvError error = csvCommand(ws, answer, QLocale(), [&](qint64 done, qint64 total) {
        progress.setValue(int(done * kSteps / qMax<qint64>(total, 1)));
        progress.setLabelText(QCoreApplication::translate("CsvProgressBox", "Запись файла CSV…\nОсталось  %1 с")
                                  .arg(secondsLeft(clock.elapsed(), done, total)));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    return error;
}

} // namespace lumiset

#pragma once

#include "output/ExportProgressView.h"

#include <QObject>

class QLabel;
class QWidget;

namespace lumiset {

class ExportStrip;
class PictureButton;
class ProgressPicture;

/// \brief The open window's commands above the preview band: open, the export
/// strip that slides into its slot, help, and while the cells of an export are
/// coloured the progress bar over the strip, the remaining time and the stop button.
///
/// Its controls are the window's children, placed in the window's coordinates.
class CommandButtons : public QObject {
    Q_OBJECT
public:
    explicit CommandButtons(QWidget* window);

    /// Lines the buttons up on the preview band starting at \a band, \a bandWidth wide.
    void place(int band, int bandWidth);
    /// The controls in the order the Tab key visits them.
    QList<QWidget*> tabOrder() const;
    int stopBottom() const;
    int helpBottom() const;

    void setOpenHeld(bool held);
    bool helpVisible() const;
    /// Paints the help button's resting picture again once the help window is closed.
    void helpClosed();

    bool exportEnabled() const;
    void setExportEnabled(bool enabled);
    void setExportFrame(int frame);
    void setSlideTimerActive(bool active);

    void setExportButtonFrame(ExportButtonFrame frame);
    void setOpenButtonsVisible(bool visible);
    void setStopButtonActive(bool active);
    void setProgressWidth(int width);
    void setRemainingVisible(bool visible);
    void setRemainingText(const QString& text);
    void setSaving(bool saving);
    /// Sets the tips in the current language.
    void retranslate();

signals:
    void openClicked();
    void exportClicked();
    void helpClicked();
    void stopClicked();

private:
    QWidget* window_;
    PictureButton* openButton_ = nullptr;
    QWidget* exportSlot_ = nullptr;
    ExportStrip* exportStrip_ = nullptr;
    ProgressPicture* progressBar_ = nullptr;
    PictureButton* stopButton_ = nullptr;
    QLabel* remainingLabel_ = nullptr;
    PictureButton* helpButton_ = nullptr;
};

} // namespace lumiset

#pragma once

#include "CommandButtons.h"
#include "Drives.h"
#include "FileBrowser.h"
#include "FileReport.h"
#include "common/BusyCursor.h"
#include "image/ImageStore.h"
#include "image/OpenWindowView.h"
#include "output/ExportProgressView.h"
#include "output/ExportState.h"
#include "output/XlsxWorkbook.h"

#include <QElapsedTimer>
#include <QWidget>

namespace lumiset {

class ExportForm;
class LineControl;

/// \brief The start-up window: drive, folder and file lists with the type
/// filter and the path box, the file report with its preview and palette, and
/// the open, export, help and stop buttons.
///
/// It is the view through which the readers report on the opened file and
/// through which the spreadsheet export shows its progress. It builds its parts
/// (the browser, the report, the command buttons) and wires them; every control
/// carries its classic name as objectName.
class OpenForm : public QWidget, public OpenWindowView, public ExportProgressView {
    Q_OBJECT
public:
    /// Opens on \a startFolder (the current folder when empty or unusable);
    /// the drive list reads \a drives at start and each time it drops down.
    explicit OpenForm(const QString& startFolder = QString(), DriveSource drives = systemDrives,
                      QWidget* parent = nullptr);
    /// The same with a fixed set of drives.
    OpenForm(const QString& startFolder, const QList<DriveEntry>& drives, QWidget* parent = nullptr);
    ~OpenForm() override;

    ImageStore& store() { return workspace_.image; }
    const ImageStore& store() const { return workspace_.image; }
    /// The run's shared state: the picture, the region, the measure and its weights.
    Workspace& workspace() { return workspace_; }
    const Workspace& workspace() const { return workspace_; }
    /// The export window; created on first use, it lives as long as this window.
    ExportForm& exportForm();

    int selectedFileIndex() const { return browser_->chosenRow(); }
    QString selectedFileName() const { return browser_->chosenName(); }
    QString fileListPath() const { return browser_->folder(); }
    QString filePattern() const { return browser_->pattern(); }

    void setStopRequested(bool requested) { stopRequested_ = requested; }

    /// Hands the finished workbook to the user; the desktop's handler unless replaced (tests).
    void setDocumentOpener(DocumentOpener opener) { documentOpener_ = std::move(opener); }
    /// Where a workbook goes when the picture's folder cannot be written.
    void setWorkbookFallbackFolder(const QString& folder) { workbookFallback_ = folder; }

    // What the readers write
    void setReport(const QString& text) override { report_->setReport(text); }
    QString report() const override { return report_->report(); }
    void setFileNameBox(const QString& name) override { report_->setFileNameBox(name); }
    void setLabelText(OpenLabel label, const QString& text) override { report_->setLabelText(label, text); }
    QString labelText(OpenLabel label) const override { return report_->labelText(label); }
    void setLabelVisible(OpenLabel label, bool visible) override { report_->setLabelVisible(label, visible); }
    void setPictureBox(const QImage& picture, const QRectF& rect, bool bordered) override
    {
        report_->setPictureBox(picture, rect, bordered);
    }
    void setPictureBoxVisible(bool visible) override { report_->setPictureBoxVisible(visible); }
    void setDrawnPreview(const PointPreview& preview) override;
    void setDrawnPreviewVisible(bool visible) override { report_->setDrawnPreviewVisible(visible); }
    void setCrossVisible(bool visible) override { report_->setCrossVisible(visible); }
    void setSwatch(const Swatch& swatch) override { report_->setSwatch(swatch); }
    void setSwatchVisible(bool visible) override { report_->setSwatchVisible(visible); }
    bool exportEnabled() const override { return commands_->exportEnabled(); }
    void setExportEnabled(bool enabled) override { commands_->setExportEnabled(enabled); }
    void setExportFrame(int frame) override { commands_->setExportFrame(frame); }
    void setSlideTimerActive(bool active) override { commands_->setSlideTimerActive(active); }
    bool showFileTicked() const override { return report_->showFileTicked(); }
    /// Modal box; tests replace it to record instead of blocking.
    void showMessage(MessageIcon icon, const QString& title, const QString& text) override;
    void restoreOpenButton() override { commands_->setOpenHeld(false); }
    void setBusyCursor(bool busy) override;

    // What the spreadsheet export shows while it runs
    void setExportButtonFrame(ExportButtonFrame frame) override { commands_->setExportButtonFrame(frame); }
    void setOpenButtonsVisible(bool visible) override { commands_->setOpenButtonsVisible(visible); }
    void setBusyPointer(bool busy) override;
    void processEvents() override;
    bool stopRequested() const override { return stopRequested_; }
    void clearStopRequest() override { stopRequested_ = false; }
    void setStopButtonActive(bool active) override { commands_->setStopButtonActive(active); }
    void setProgressWidth(int width) override { commands_->setProgressWidth(width); }
    void setRemainingVisible(bool visible) override { commands_->setRemainingVisible(visible); }
    void setRemainingText(const QString& text) override { commands_->setRemainingText(text); }
    void setSaving(bool saving) override { commands_->setSaving(saving); }
    qint64 nowMilliseconds() override { return clock_.elapsed(); }

    /// Opens the entry \a row of the file list, as selecting it does.
    void openListEntry(int row) { browser_->chooseRow(row); }
    /// \brief Opens \a fileName of the folder shown as a click on it in the file
    /// list does, first switching the type filter to every file when it hides the name.
    void selectFile(const QString& fileName) { browser_->selectFile(fileName); }
    /// Shows the folder of the file \a path and opens the file there; false when it is no file.
    bool openFile(const QString& path) { return browser_->openFile(path); }
    /// A file was written at \a path: the file list shows it when it lies in the folder shown.
    void fileWritten(const QString& path) { browser_->fileWritten(path); }

signals:
    /// The export button was clicked (the export command).
    void exportRequested();
    /// The export window was left through its export command: the request in
    /// workspace() is ready for the spreadsheet.
    void exportConfirmed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    /// Shows the help window modally; tests replace it.
    virtual void showHelp();
    /// Shows the export window modally; tests replace it. After a failed
    /// workbook it is shown again with the region of the last showing.
    virtual void showExportWindow(bool keepRegion);

private:
    void buildControls(DriveSource drives);
    void enterStartFolder(const QString& startFolder);
    void layoutControls();
    /// Asks the reader again for the report and captions of the open file.
    void refreshReport();

    /// Opens \a entry of \a folder; an empty entry when none is chosen.
    void openEntry(const QString& folder, const QString& entry);
    void exportCommand();
    /// False when the workbook could not be written (the user was told why).
    bool writeSpreadsheet();

    Workspace workspace_;
    ExportForm* exportForm_ = nullptr;
    bool stopRequested_ = false;
    bool exporting_ = false;
    QElapsedTimer clock_;
    DocumentOpener documentOpener_;
    QString workbookFallback_;
    BusyCursor busyCursor_;

    FileBrowser* browser_ = nullptr;
    FileReport* report_ = nullptr;
    CommandButtons* commands_ = nullptr;
    static constexpr int kGripStrokes = 4;
    LineControl* gripStrokes_[kGripStrokes] = {};
};

} // namespace lumiset

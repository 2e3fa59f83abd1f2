#pragma once

#include "Drives.h"
#include "common/BusyCursor.h"
#include "image/ImageStore.h"
#include "image/OpenWindowView.h"
#include "output/ExportProgressView.h"
#include "output/ExportState.h"
#include "output/XlsxWorkbook.h"

#include <QElapsedTimer>
#include <QHash>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTimer;

namespace lumiset {

class ExportForm;
class ExportStrip;
class FolderList;
class LineControl;
class PaletteSwatch;
class PictureButton;
class PreviewBox;
class ProgressPicture;

/// \brief The start-up window: drive, folder and file lists with the type
/// filter and the path box, the file report with its preview and palette, and
/// the open, export, help and stop buttons.
///
/// It is the view through which the readers report on the opened file and
/// through which the spreadsheet export shows its progress. Every control
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

    int selectedFileIndex() const { return selectedFileIndex_; }
    QString selectedFileName() const { return selectedFileName_; }
    QString fileListPath() const { return fileFolder_; }
    QString filePattern() const { return pattern_; }

    void setStopRequested(bool requested) { stopRequested_ = requested; }

    /// Hands the finished workbook to the user; the desktop's handler unless replaced (tests).
    void setDocumentOpener(DocumentOpener opener) { documentOpener_ = std::move(opener); }
    /// Where a workbook goes when the picture's folder cannot be written.
    void setWorkbookFallbackFolder(const QString& folder) { workbookFallback_ = folder; }

    // What the readers write
    void setReport(const QString& text) override;
    QString report() const override { return reportText_; }
    void setFileNameBox(const QString& name) override;
    void setLabelText(OpenLabel label, const QString& text) override;
    QString labelText(OpenLabel label) const override;
    void setLabelVisible(OpenLabel label, bool visible) override;
    void setPictureBox(const QImage& picture, const QRectF& rect, bool bordered) override;
    void setPictureBoxVisible(bool visible) override;
    void setDrawnPreview(const PointPreview& preview) override;
    void setDrawnPreviewVisible(bool visible) override;
    void setCrossVisible(bool visible) override;
    void setSwatch(const Swatch& swatch) override;
    void setSwatchVisible(bool visible) override;
    bool exportEnabled() const override;
    void setExportEnabled(bool enabled) override;
    void setExportFrame(int frame) override;
    void setSlideTimerActive(bool active) override;
    bool showFileTicked() const override;
    /// Modal box; tests replace it to record instead of blocking.
    void showMessage(MessageIcon icon, const QString& title, const QString& text) override;
    void restoreOpenButton() override;
    void setBusyCursor(bool busy) override;

    // What the spreadsheet export shows while it runs
    void setExportButtonFrame(ExportButtonFrame frame) override;
    void setOpenButtonsVisible(bool visible) override;
    void setBusyPointer(bool busy) override;
    void processEvents() override;
    bool stopRequested() const override { return stopRequested_; }
    void clearStopRequest() override { stopRequested_ = false; }
    void setStopButtonActive(bool active) override;
    void setProgressWidth(int width) override;
    void setRemainingVisible(bool visible) override;
    void setRemainingText(const QString& text) override;
    void setSaving(bool saving) override;
    qint64 nowMilliseconds() override { return clock_.elapsed(); }

    /// Opens the entry \a row of the file list, as selecting it does.
    void openListEntry(int row);
    /// \brief Opens \a fileName of the folder shown as a click on it in the file
    /// list does, first switching the type filter to every file when it hides the name.
    void selectFile(const QString& fileName);
    /// Shows the folder of the file \a path and opens the file there; false when it is no file.
    bool openFile(const QString& path);
    /// A file was written at \a path: the file list shows it when it lies in the folder shown.
    void fileWritten(const QString& path);

signals:
    /// The export button was clicked (the export command).
    void exportRequested();
    /// The export window was left through its export command: the request in
    /// workspace() is ready for the spreadsheet.
    void exportConfirmed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Shows the help window modally; tests replace it.
    virtual void showHelp();
    /// Shows the export window modally; tests replace it. After a failed
    /// workbook it is shown again with the region of the last showing.
    virtual void showExportWindow(bool keepRegion);

private:
    void buildControls();
    void enterStartFolder(const QString& startFolder);
    void layoutControls();

    void patternChosen(int index);
    void driveChanged(int index);
    void readDrives();
    bool enterDrive(int index);
    void driveFallback(const QString& firstLine);
    void folderChosen(const QString& folder);
    void folderChanged();
    void refreshFiles();
    void fileSelected(int row);
    void openSelected();
    void pathEntered();
    void slideTick();
    void exportCommand();
    /// False when the workbook could not be written (the user was told why).
    bool writeSpreadsheet();
    void placePictureBox();
    void placeLines();
    QString driveRoot() const;
    QLabel* labelWidget(OpenLabel label) const;
    QString errorLine(const QString& folder, bool driveRoot) const;

    Workspace workspace_;
    ExportForm* exportForm_ = nullptr;
    DriveSource driveSource_;
    QList<DriveEntry> drives_;
    QHash<QString, QString> driveFolders_; ///< last folder shown on each drive
    int currentDrive_ = -1;
    QString fileFolder_;
    QString pattern_ = QStringLiteral("*.bmp");
    QString reportText_;
    QString labelTexts_[3];
    QRectF pictureRect_{0, 0, kPreviewBandWidth, kPreviewBandHeight};
    int selectedFileIndex_ = -1;
    QString selectedFileName_;
    bool stopRequested_ = false;
    bool exporting_ = false;
    QElapsedTimer clock_;
    DocumentOpener documentOpener_;
    QString workbookFallback_;
    bool fileOpenedOnPress_ = false;
    BusyCursor busyCursor_;

    QComboBox* driveList_ = nullptr;
    FolderList* folderList_ = nullptr;
    QListWidget* fileList_ = nullptr;
    QComboBox* filterBox_ = nullptr;
    QLineEdit* pathBox_ = nullptr;
    QLineEdit* fileNameBox_ = nullptr;
    QCheckBox* showFileBox_ = nullptr;
    QPlainTextEdit* reportBox_ = nullptr;
    QLabel* sizeCaption_ = nullptr;
    QLabel* driveCaption_ = nullptr;
    QLabel* noticeLabel_ = nullptr;
    QLabel* remainingLabel_ = nullptr;
    QLabel* fileCaption_ = nullptr;
    PictureButton* openButton_ = nullptr;
    PictureButton* helpButton_ = nullptr;
    PictureButton* stopButton_ = nullptr;
    QWidget* exportSlot_ = nullptr;
    ExportStrip* exportStrip_ = nullptr;
    ProgressPicture* progressBar_ = nullptr;
    PaletteSwatch* paletteSwatch_ = nullptr;
    PreviewBox* pictureBox_ = nullptr;
    PreviewBox* drawnPreview_ = nullptr;
    LineControl* crossDown_ = nullptr;
    LineControl* crossUp_ = nullptr;
    static constexpr int kGripStrokes = 4;
    LineControl* gripStrokes_[kGripStrokes] = {};
    QTimer* slideTimer_ = nullptr;
};

} // namespace lumiset

#include "OpenForm.h"

#include "OpenLayout.h"
#include "common/PictureButton.h"
#include "export/ExportForm.h"
#include "help/HelpOpenForm.h"
#include "image/OpenCommand.h"
#include "image/ReaderMessages.h"
#include "image/RecordingOpenView.h"
#include "image/Rounding.h"
#include "output/SpreadsheetExport.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace lumiset {

namespace {

// The window's design: vertical positions never change; horizontal ones are
// the starting points that layoutControls() recomputes on every resize.
constexpr int kStartWidth = 620; // 9300 twips at 15 twips per pixel; wider when the filter entries need it
constexpr int kStartHeight = 460;
// The window's width less the list area.
constexpr int kRightColumnWidth = kPreviewBandWidth + 7 + openlayout::kMargin + 14;

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

OpenForm::OpenForm(const QString& startFolder, const QList<DriveEntry>& drives, QWidget* parent)
    : OpenForm(startFolder, DriveSource([drives] { return drives; }), parent)
{
}

OpenForm::OpenForm(const QString& startFolder, DriveSource drives, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("OpenForm"));
    setWindowTitle(QStringLiteral("Lumiset"));
    clock_.start();
    documentOpener_ = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    workbookFallback_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    buildControls(std::move(drives));
    enterStartFolder(startFolder);
}

OpenForm::~OpenForm() = default; // the busy cursor takes down what the window left up

void OpenForm::buildControls(DriveSource drives)
{
    browser_ = new FileBrowser(std::move(drives), this);
    report_ = new FileReport(this);
    commands_ = new CommandButtons(this);
    // The size grip's four strokes, from the shortest.
    const char* const gripNames[] = {"Line13", "Line14", "Line15", "Line16"};
    for (int i = 0; i < kGripStrokes; ++i) {
        gripStrokes_[i] = new LineControl(this, art::colour::edge);
        gripStrokes_[i]->setObjectName(QLatin1String(gripNames[i]));
    }

    connect(browser_, &FileBrowser::fileChosen, this, [this](const QString& folder, const QString& name) {
        commands_->setOpenHeld(true);
        openEntry(folder, name);
    });
    connect(browser_, &FileBrowser::messageRequested, this, &OpenForm::showMessage);
    connect(commands_, &CommandButtons::openClicked, this,
            [this] { openEntry(browser_->folder(), browser_->chosenEntry()); });
    connect(commands_, &CommandButtons::helpClicked, this, [this] { showHelp(); });
    connect(commands_, &CommandButtons::stopClicked, this, [this] { stopRequested_ = true; });
    connect(commands_, &CommandButtons::exportClicked, this, [this] { emit exportRequested(); });
    connect(this, &OpenForm::exportRequested, this, &OpenForm::exportCommand);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] {
        if (commands_->helpVisible()) // not while the cells are coloured
            showHelp();
    });

    // Tab follows the eye: the lists' column from the top, then the commands and the report.
    const QList<QWidget*> tabOrder = browser_->tabOrder() + QList<QWidget*>{report_->fileNameBox()}
        + commands_->tabOrder() + QList<QWidget*>{report_->reportBox(), report_->showFileBox()};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void OpenForm::enterStartFolder(const QString& startFolder)
{
    // The list area grows with the window; start (and stay) wide enough for
    // the filter box to show its longest entry whole.
    const int startWidth = std::max(kStartWidth, browser_->neededListArea() + kRightColumnWidth);
    setMinimumWidth(startWidth);
    resize(startWidth, kStartHeight);
    browser_->enterStartFolder(startFolder);

    workspace_.image.ImageState = ImageState::NoPicture;
    workspace_.ExportCancelled = true;
    commands_->setOpenHeld(false);
    disableExport(*this);
    commands_->setProgressWidth(1);
    workspace_.measure.restoreDefaultWeights();
    showEmptyPreview(*this);
}

// ---- opening ----------------------------------------------------------------

void OpenForm::openEntry(const QString& folder, const QString& entry)
{
    openCommand(workspace_.image, *this, folder, entry);
    restoreOpenButton();
}

void OpenForm::showHelp()
{
    HelpOpenForm help(this);
    help.exec();
    commands_->helpClosed();
}

ExportForm& OpenForm::exportForm()
{
    if (!exportForm_) {
        exportForm_ = new ExportForm(workspace_, this);
        connect(exportForm_, &ExportForm::fileWritten, this, &OpenForm::fileWritten);
    }
    return *exportForm_;
}

void OpenForm::showExportWindow(bool keepRegion)
{
    if (keepRegion)
        exportForm().keepRegionAtNextShowing();
    exportForm().exec();
}

void OpenForm::exportCommand()
{
    // The colouring lets clicks through between rows; a second export must not
    // start inside the first.
    if (exporting_)
        return;
    // A workbook that could not be written brings the export window back with
    // its region, for another try or a CSV file.
    bool again = false;
    do {
        // Only the export window's own export command confirms a request.
        workspace_.ExportCancelled = true;
        showExportWindow(again);
        if (!workspace_.ExportCancelled)
            emit exportConfirmed();
        again = !writeSpreadsheet();
    } while (again);
}

bool OpenForm::writeSpreadsheet()
{
    exporting_ = true;
    // While the cells are coloured, a click on the file list would open another
    // picture under the export and the description lines would name it.
    commands_->setExportEnabled(false);
    browser_->setFileListEnabled(false);
    XlsxWorkbook book({workspace_.image.FilePath, workbookFallback_, QString()}, documentOpener_);
    const SpreadsheetOutcome outcome = exportToSpreadsheet(workspace_, book, *this);
    browser_->setFileListEnabled(true);
    commands_->setExportEnabled(true);
    exporting_ = false;
    if (outcome == SpreadsheetOutcome::Written)
        fileWritten(book.documentLocation());
    if (outcome != SpreadsheetOutcome::Failed)
        return true;
    const UserMessage failure = workbookFailureMessage(book.failures());
    showMessage(MessageIcon::Exclamation, failure.title, failure.text);
    return false;
}

// ---- the view the readers write -----------------------------------------

void OpenForm::setDrawnPreview(const PointPreview& preview)
{
    // 7 right of the folder list; under the stop button for a bitmap, the help button for a TGA.
    const int left = browser_->listsRight() + 7;
    int top = commands_->stopBottom() + 7;
    if (preview.anchor != PreviewAnchor::Bmp)
        top = commands_->helpBottom() + (preview.anchor == PreviewAnchor::TgaStretched ? 3 : 7);
    report_->setDrawnPreview(preview, QPoint(left, top));
}

void OpenForm::showMessage(MessageIcon icon, const QString& title, const QString& text)
{
    QMessageBox box(boxIcon(icon), title, shownText(text), QMessageBox::Ok, this);
    box.exec();
}

void OpenForm::setBusyCursor(bool busy)
{
    if (busy)
        busyCursor_.show(Qt::BusyCursor);
    else
        busyCursor_.hide();
}

// ---- what the spreadsheet export shows ------------------------------------

void OpenForm::setBusyPointer(bool busy)
{
    setBusyCursor(busy);
}

void OpenForm::processEvents()
{
    QCoreApplication::processEvents();
}

// ---- layout -------------------------------------------------------------

void OpenForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    layoutControls();
}

void OpenForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void OpenForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    report_->retranslate();
    commands_->retranslate();
    refreshReport();
    layoutControls();
}

void OpenForm::refreshReport()
{
    const QString path = workspace_.image.FilePath;
    if (path.isEmpty())
        return;
    // The report and the captions are the reader's: it writes them again, in
    // the new language, into a scratch store and view, so that the picture
    // already read, and what the window shows of it, stay as they are.
    ImageStore scratch;
    RecordingOpenView texts;
    texts.showFile = report_->showFileTicked();
    const QFileInfo file(path);
    openCommand(scratch, texts, file.absolutePath(), file.fileName());
    if (!texts.messages.isEmpty())
        return; // the file has changed since: the window keeps what it showed
    setReport(texts.reportText);
    for (OpenLabel label : {OpenLabel::SizeCaption, OpenLabel::DriveCaption, OpenLabel::Notice})
        setLabelText(label, texts.labels[int(label)].text);
}

void OpenForm::layoutControls()
{
    const int w = width(), h = height();
    // The size grip: four short strokes down to the left from the right edge.
    const struct {
        int length, above;
    } grip[kGripStrokes] = {{4, 32}, {6, 33}, {9, 36}, {10, 37}};
    for (int i = 0; i < kGripStrokes; ++i)
        gripStrokes_[i]->setLine(QPoint(w - 9, h - grip[i].above),
                                 QPoint(w - 9 - grip[i].length, h - grip[i].above + grip[i].length));

    const int listArea = (w - kRightColumnWidth) & ~1; // even, so that the report box starts on an even column
    if (report_->swatchRight() > listArea + 12)
        return; // too narrow: everything keeps its last place
    browser_->layOut(listArea);
    report_->layOut(listArea, h);
    commands_->place(report_->band(), report_->bandWidth());
}

} // namespace lumiset

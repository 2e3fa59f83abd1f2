#include "OpenForm.h"

#include "ExportStrip.h"
#include "FolderList.h"
#include "PreviewBox.h"
#include "common/PictureButton.h"
#include "export/ExportForm.h"
#include "help/HelpOpenForm.h"
#include "image/OpenCommand.h"
#include "image/Rounding.h"
#include "output/SpreadsheetExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace lumiset {

namespace {

// The window's design: vertical positions never change; horizontal ones are
// the starting points that layoutControls() recomputes on every resize.
constexpr int kStartWidth = 620; // 9300 twips at 15 twips per pixel; wider when the filter entries need it
constexpr int kStartHeight = 460;
constexpr int kMargin = 6;
constexpr int kReportWidth = kPreviewBandWidth; // the report box spans the preview band
constexpr int kButtonsTop = 4;
constexpr int kSecondRowTop = 33; // help and stop buttons end 7 above the preview band
constexpr int kSlideInterval = 30;
constexpr int kCaptionTop = 228; // the size caption, under the preview band
constexpr int kReportBottom = 407;
constexpr double kFileListShare = 0.515625;
constexpr double kFolderListShare = 0.478125;
constexpr int kRightColumnWidth = kReportWidth + 7 + kMargin + 14; // the window's width less the list area

constexpr int kFilterEntries = 4;
// Several patterns are separated by ';'. Names match in any case.
const char* const kPatterns[kFilterEntries] = {
    "*.bmp", "*.tga", "*.*", "*.bmp;*.tga;*.png;*.jpg;*.jpeg;*.jpe;*.tif;*.tiff;*.gif;*.webp;*.pbm;*.pgm;*.ppm;*.pnm"};

// Number and description of the file-system errors the lists can meet.
constexpr int kErrDeviceUnavailable = 68;
constexpr int kErrPathNotFound = 76;

/// A list or text box whose border is drawn whole at scale factors 1.5 and 2
/// as well: there a box keeps its frame only when it starts on an even
/// coordinate and ends on an odd one (its width and height are odd).
QRect framedBox(int left, int top, int width, int height)
{
    left += left & 1;
    top += top & 1;
    return QRect(left, top, width - 1 + (width & 1), height - 1 + (height & 1));
}

/// Control positions are whole pixels; halves go to the even neighbour.
QRect wholePixels(const QRectF& r)
{
    return QRect(roundHalfEvenToInt(r.x()), roundHalfEvenToInt(r.y()), std::max(1, roundHalfEvenToInt(r.width())),
                 std::max(1, roundHalfEvenToInt(r.height())));
}

QString shown(const QString& text)
{
    // The readers separate lines with CR LF; widgets want bare line feeds.
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

/// The drive list reads the volumes again whenever it drops down, so a volume
/// mounted or removed since start-up shows as it is now.
class DriveBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

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

OpenForm::OpenForm(const QString& startFolder, DriveSource drives, QWidget* parent)
    : QWidget(parent), driveSource_(std::move(drives)), drives_(driveSource_())
{
    setObjectName(QStringLiteral("OpenForm"));
    setWindowTitle(QStringLiteral("Lumiset"));
    clock_.start();
    documentOpener_ = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    workbookFallback_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    buildControls();
    enterStartFolder(startFolder);
}

OpenForm::~OpenForm()
{
    while (busyDepth_ > 0)
        setBusyCursor(false);
}

void OpenForm::buildControls()
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    pathBox_ = new QLineEdit(this);
    named(pathBox_, "Text5")->setGeometry(kMargin, 6, 329, 22);
    driveCaption_ = new QLabel(this);
    // Also the notice of a compressed TGA: it ends where the lists end and
    // may use their whole width, clear of the buttons.
    named(driveCaption_, "Label2")->setGeometry(kMargin, 31, 329, 17);
    driveCaption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    driveCaption_->setStyleSheet(QStringLiteral("color: #b83b3b;"));
    driveCaption_->hide();
    filterBox_ = new QComboBox(this);
    named(filterBox_, "ComboPattern")->setGeometry(kMargin, 49, 170, 22);
    filterBox_->setEditable(true);
    filterBox_->setInsertPolicy(QComboBox::NoInsert);
    // Typing must not be completed into an entry: "*" would become the bitmap entry.
    filterBox_->setCompleter(nullptr);
    filterBox_->addItems({QStringLiteral("*.BMP (изображение Bitmap)"), QStringLiteral("*.TGA (изображение TarGA)"),
                          QStringLiteral("*.*   (все форматы)"),
                          QStringLiteral("*.BMP;*.PNG;*.JPG… (все изображения)")});
    filterBox_->setItemData(3, QString::fromLatin1(kPatterns[3]).toUpper().replace(u';', u' '), Qt::ToolTipRole);
    // Wide enough for the longest entry, in the box and in its drop-down.
    filterBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    filterBox_->view()->setTextElideMode(Qt::ElideNone);
    filterBox_->view()->setMinimumWidth(filterBox_->sizeHint().width());
    filterBox_->setCurrentIndex(-1);
    filterBox_->setEditText(QStringLiteral("*.BMP"));
    auto* driveBox = new DriveBox(this);
    driveBox->beforePopup = [this] { readDrives(); };
    driveList_ = driveBox;
    named(driveList_, "Drive1")->setGeometry(177, 49, 157, 22);
    for (const DriveEntry& d : drives_)
        driveList_->addItem(d.label);
    fileList_ = new QListWidget(this);
    named(fileList_, "File1")->setGeometry(framedBox(kMargin, 75, 170, 236));
    folderList_ = new FolderList(this);
    named(folderList_, "Dir1")->setGeometry(framedBox(179, 75, 157, 236));
    fileCaption_ = new QLabel(QStringLiteral("Файл:"), this);
    named(fileCaption_, "Label6")->setGeometry(kMargin, 317, 48, 22);
    fileNameBox_ = new QLineEdit(this);
    named(fileNameBox_, "Text4")->setGeometry(56, 317, 278, 22);
    fileNameBox_->setReadOnly(true);
    paletteSwatch_ = new PaletteSwatch(this);
    named(paletteSwatch_, "Picture1")->move(kMargin, 347);
    paletteSwatch_->hide();
    noticeLabel_ = new QLabel(this);
    named(noticeLabel_, "Label4")->setGeometry(kMargin, 347, 323, 60);
    noticeLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    noticeLabel_->setWordWrap(true); // a long line breaks between words; layoutControls() gives it the room
    noticeLabel_->setStyleSheet(QStringLiteral("color: #b83b3b; font-weight: bold;"));
    noticeLabel_->hide();

    openButton_ = new PictureButton(art::openButton, QSize(32, 26), this);
    named(openButton_, "Image1")->move(341, kButtonsTop);
    openButton_->setToolTip(QStringLiteral("Открыть файл"));
    exportSlot_ = new QWidget(this);
    named(exportSlot_, "Picture2")->setGeometry(380, kButtonsTop, art::kStripFrameWidth, art::kStripFrameHeight);
    exportStrip_ = new ExportStrip(exportSlot_);
    named(exportStrip_, "Picture3");
    progressBar_ = new ProgressPicture(exportSlot_);
    named(progressBar_, "Picture4")->setGeometry(0, 0, 1, art::kStripFrameHeight);
    progressBar_->hide(); // shown by the cell colouring only
    stopButton_ = new PictureButton(art::stopButton, QSize(32, 24), this);
    named(stopButton_, "Image13")->move(341, kSecondRowTop);
    stopButton_->setToolTip(QStringLiteral("Остановить"));
    stopButton_->hide();
    remainingLabel_ = new QLabel(this);
    named(remainingLabel_, "Label5")->setGeometry(380, kSecondRowTop + 4, 90, 17);
    remainingLabel_->hide();
    helpButton_ = new PictureButton(art::helpButton, QSize(92, 24), this);
    named(helpButton_, "Image3")->move(428, kSecondRowTop);
    helpButton_->setToolTip(QStringLiteral("Справка"));

    pictureBox_ = new PreviewBox(PreviewBox::Fit::Stretch, this);
    named(pictureBox_, "Image11")->setGeometry(341, kPreviewBandTop, kPreviewBandWidth, kPreviewBandHeight);
    drawnPreview_ = new PreviewBox(PreviewBox::Fit::Actual, this);
    named(drawnPreview_, "Picture5")->hide();
    crossDown_ = new LineControl(this);
    named(crossDown_, "Line1");
    crossUp_ = new LineControl(this);
    named(crossUp_, "Line2");
    sizeCaption_ = new QLabel(this);
    // Size, scale and colour count of a reduced picture can need two lines;
    // the type never shrinks.
    const int captionHeight = 2 * fontMetrics().lineSpacing() + 4;
    named(sizeCaption_, "Label1")->setGeometry(341, kCaptionTop, kReportWidth, captionHeight);
    sizeCaption_->setWordWrap(true);
    sizeCaption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sizeCaption_->setIndent(3); // the first glyph clear of the box's edge at any scale
    reportBox_ = new QPlainTextEdit(this);
    const int reportTop = kCaptionTop + captionHeight + 2;
    named(reportBox_, "Text7")->setGeometry(framedBox(342, reportTop, kReportWidth, kReportBottom - reportTop));
    reportBox_->setReadOnly(true);
    reportBox_->setToolTip(QStringLiteral("Информация о файле"));
    showFileBox_ = new QCheckBox(QStringLiteral("Показывать файл"), this);
    named(showFileBox_, "Check1");
    showFileBox_->setChecked(true);
    showFileBox_->adjustSize();
    showFileBox_->move(341 + (kReportWidth - showFileBox_->width()) / 2, 416);

    // The size grip's four strokes, from the shortest.
    const char* const gripNames[] = {"Line13", "Line14", "Line15", "Line16"};
    for (int i = 0; i < kGripStrokes; ++i)
        named(gripStrokes_[i] = new LineControl(this, art::colour::edge), gripNames[i]);

    slideTimer_ = new QTimer(this);
    slideTimer_->setObjectName(QStringLiteral("Timer0"));
    slideTimer_->setInterval(kSlideInterval);

    connect(filterBox_, &QComboBox::activated, this, &OpenForm::patternChosen);
    connect(filterBox_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        // Typed text is a list entry only when it matches one exactly.
        patternChosen(filterBox_->findText(text, Qt::MatchExactly));
    });
    connect(driveList_, &QComboBox::currentIndexChanged, this, &OpenForm::driveChanged);
    connect(folderList_, &FolderList::folderChosen, this, &OpenForm::folderChosen);
    connect(fileList_, &QListWidget::currentRowChanged, this, [this](int row) {
        fileOpenedOnPress_ = true;
        fileSelected(row);
    });
    connect(fileList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A click on the entry that is already selected opens it again.
        if (!fileOpenedOnPress_)
            fileSelected(fileList_->row(item));
        fileOpenedOnPress_ = false;
    });
    connect(pathBox_, &QLineEdit::returnPressed, this, &OpenForm::pathEntered);
    connect(slideTimer_, &QTimer::timeout, this, &OpenForm::slideTick);
    connect(openButton_, &QAbstractButton::clicked, this, &OpenForm::openSelected);
    connect(helpButton_, &QAbstractButton::clicked, this, [this] { showHelp(); });
    connect(stopButton_, &QAbstractButton::clicked, this, [this] { stopRequested_ = true; });
    connect(exportStrip_, &QAbstractButton::clicked, this, [this] { emit exportRequested(); });
    connect(this, &OpenForm::exportRequested, this, &OpenForm::exportCommand);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] {
        if (helpButton_->isVisible()) // not while the cells are coloured
            showHelp();
    });
    // Enter in the file list opens the entry, as a click on it does.
    fileList_->installEventFilter(this);

    // Tab follows the eye: the lists' column from the top, then the commands and the report.
    QWidget* const tabOrder[] = {pathBox_,    filterBox_,   driveList_,  fileList_,   folderList_, fileNameBox_,
                                 openButton_, exportStrip_, stopButton_, helpButton_, reportBox_,  showFileBox_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

bool OpenForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fileList_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            fileSelected(fileList_->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OpenForm::enterStartFolder(const QString& startFolder)
{
    // The list area grows with the window; start (and stay) wide enough for
    // the filter box to show its longest entry whole.
    const int listAreaNeeded = int(std::ceil(filterBox_->sizeHint().width() / kFileListShare));
    const int startWidth = std::max(kStartWidth, listAreaNeeded + kRightColumnWidth);
    setMinimumWidth(startWidth);
    resize(startWidth, kStartHeight);

    QStringList candidates{startFolder, QDir::currentPath()};
    for (const DriveEntry& d : drives_)
        candidates.append(d.root);
    for (const QString& folder : candidates) {
        if (folder.isEmpty() || !folderList_->setPath(folder))
            continue;
        currentDrive_ = driveOf(drives_, folderList_->path());
        const QSignalBlocker block(driveList_);
        driveList_->setCurrentIndex(currentDrive_);
        break;
    }
    folderChanged();

    workspace_.image.ImageState = 0;
    workspace_.ExportCancelled = true;
    openButton_->setHeld(false);
    disableExport(*this);
    progressBar_->setGeometry(0, 0, 1, art::kStripFrameHeight);
    workspace_.CoefRed = 0.299f;
    workspace_.CoefGreen = 0.587f;
    workspace_.CoefBlue = 0.114f;
    showEmptyPreview(*this);
}

// ---- browsing -------------------------------------------------------------

void OpenForm::patternChosen(int index)
{
    if (index >= 0 && index < kFilterEntries)
        pattern_ = QLatin1String(kPatterns[index]);
    refreshFiles();
}

void OpenForm::refreshFiles()
{
    // "*.*" means every file, also those without an extension, as on Windows.
    const QStringList filters = pattern_ == QLatin1String("*.*") ? QStringList{QStringLiteral("*")}
                                                                 : pattern_.split(u';');
    const QStringList names
        = QDir(fileFolder_).entryList(filters, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker block(fileList_);
    fileList_->clear();
    fileList_->addItems(names);
}

QString OpenForm::errorLine(const QString& folder, bool driveRoot) const
{
    const QStorageInfo volume(folder);
    const bool deviceMissing = QFileInfo::exists(folder) ? volume.isValid() && !volume.isReady() : driveRoot;
    if (deviceMissing)
        return QStringLiteral("Ошибка %1 Устройство недоступно").arg(kErrDeviceUnavailable);
    if (QFileInfo::exists(folder))                                       // there, but not for this user
        return QStringLiteral("Ошибка №75 Ошибка доступа к пути/файлу"); // as for a file that cannot be read
    return QStringLiteral("Ошибка %1 Путь не найден").arg(kErrPathNotFound);
}

bool OpenForm::enterDrive(int index)
{
    if (index < 0 || index >= drives_.size())
        return false;
    const QString root = drives_[index].root;
    const QString remembered = driveFolders_.value(root, root);
    if (!folderList_->setPath(remembered) && !folderList_->setPath(root))
        return false;
    currentDrive_ = index;
    const QSignalBlocker block(driveList_);
    driveList_->setCurrentIndex(index);
    folderChanged();
    return true;
}

void OpenForm::driveChanged(int index)
{
    if (index == currentDrive_ || enterDrive(index))
        return;
    driveFallback(errorLine(drives_.value(index).root, true));
}

void OpenForm::readDrives()
{
    const QString shownRoot = currentDrive_ >= 0 ? drives_[currentDrive_].root : QString();
    drives_ = driveSource_();
    const QSignalBlocker block(driveList_);
    driveList_->clear();
    currentDrive_ = -1;
    for (int i = 0; i < drives_.size(); ++i) {
        driveList_->addItem(drives_[i].label);
        if (drives_[i].root == shownRoot)
            currentDrive_ = i;
    }
    if (currentDrive_ < 0) // the shown drive went away: the list names the drive of the folder on screen
        currentDrive_ = driveOf(drives_, fileFolder_);
    driveList_->setCurrentIndex(currentDrive_);
}

void OpenForm::driveFallback(const QString& firstLine)
{
    const QString title = QStringLiteral("Ошибка");
    showMessage(MessageIcon::None, title, firstLine);
    struct Step {
        QString root;
        QString unavailable; // added to the next box when this drive fails too
    };
#ifdef Q_OS_WIN
    const Step steps[] = {{QStringLiteral("C:/"), QStringLiteral("Диск C: недоступен.")},
                          {QStringLiteral("A:/"), QStringLiteral("Диск А: недоступен.")},
                          {QStringLiteral("D:/"), QString()}};
#else
    // Without drive letters the fallback is the file-system root.
    const Step steps[] = {{drives_.isEmpty() ? QStringLiteral("/") : drives_.first().root, QString()}};
#endif
    for (const Step& step : steps) {
        int index = -1;
        for (int i = 0; i < drives_.size(); ++i)
            if (drives_[i].root.compare(step.root, Qt::CaseInsensitive) == 0)
                index = i;
        if (enterDrive(index))
            return;
        if (step.unavailable.isEmpty())
            break;
        showMessage(MessageIcon::None, title, firstLine + QStringLiteral("\r\n") + step.unavailable);
    }
    // Nothing usable: the drive list shows where the folder list really is.
    const QSignalBlocker block(driveList_);
    driveList_->setCurrentIndex(currentDrive_);
}

void OpenForm::folderChosen(const QString& folder)
{
    if (folderList_->setPath(folder)) {
        folderChanged();
        return;
    }
    showMessage(MessageIcon::None, QStringLiteral("Ошибка"), errorLine(folder, false));
    if (folderList_->setPath(driveRoot()))
        folderChanged();
}

void OpenForm::folderChanged()
{
    fileFolder_ = folderList_->path();
    // The drive list names the drive of the folder on screen, also after the
    // folder list or the path box left the drive chosen before.
    if (const int drive = driveOf(drives_, fileFolder_); drive >= 0 && drive != currentDrive_) {
        currentDrive_ = drive;
        const QSignalBlocker block(driveList_);
        driveList_->setCurrentIndex(drive);
    }
    if (currentDrive_ >= 0)
        driveFolders_[drives_[currentDrive_].root] = fileFolder_;
    refreshFiles();
    pathBox_->setText(QDir::toNativeSeparators(fileFolder_));
}

QString OpenForm::driveRoot() const
{
    return currentDrive_ >= 0 ? drives_[currentDrive_].root : QDir::rootPath();
}

void OpenForm::pathEntered()
{
    QString input = pathBox_->text();
    while (input.endsWith(QLatin1Char(' ')))
        input.chop(1); // trailing blanks go; leading ones stay part of the path
    if (input == QDir::toNativeSeparators(fileFolder_) || input == fileFolder_)
        return;

    auto refuse = [this] {
        showMessage(MessageIcon::Exclamation, QStringLiteral("Невозможно открыть путь"),
                    QStringLiteral("Файловый путь не доступен или не существует"));
    };
    QString target;
    if (input.size() >= 2 && input[1] == QLatin1Char(':')) {
        const char16_t letter = input[0].unicode();
        const bool isLetter = (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
        if (!isLetter)
            return;
#ifdef Q_OS_WIN
        const QString drive = input.left(2).toLower() + QLatin1Char('/');
        int index = -1;
        for (int i = 0; i < drives_.size(); ++i)
            if (drives_[i].root.compare(drive, Qt::CaseInsensitive) == 0)
                index = i;
        if (index < 0) {
            refuse();
            return;
        }
        if (index != currentDrive_ && !enterDrive(index)) {
            refuse();
            return;
        }
        target = input;
#else
        refuse(); // no drive letters here
        return;
#endif
    } else {
        // "\name" and "/name" start at the file-system root (on Windows the
        // drive's root); a bare name starts at the root of the drive shown.
        QString rest = input;
        rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
        QString from = driveRoot();
        if (rest.startsWith(QLatin1Char('/'))) {
            rest.remove(0, 1);
#ifndef Q_OS_WIN
            from = QDir::rootPath();
#endif
        }
        target = from + rest;
    }
    // A file: its folder, with the file opened there.
    if (openFile(target))
        return;
    if (!folderList_->setPath(target)) {
        refuse();
        return;
    }
    folderChanged();
}

// ---- opening ----------------------------------------------------------------

void OpenForm::fileSelected(int row)
{
    if (row < 0)
        return;
    openListEntry(row);
}

void OpenForm::openListEntry(int row)
{
    openButton_->setHeld(true);
    selectedFileIndex_ = row;
    selectedFileName_ = fileList_->item(row) ? fileList_->item(row)->text() : QString();
    openSelected();
}

void OpenForm::openSelected()
{
    QListWidgetItem* entry = selectedFileIndex_ >= 0 ? fileList_->item(selectedFileIndex_) : nullptr;
    openCommand(workspace_.image, *this, fileFolder_, entry ? entry->text() : QString());
    restoreOpenButton();
}

void OpenForm::showHelp()
{
    HelpOpenForm help(this);
    help.exec();
    helpButton_->update();
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
    exportStrip_->setEnabled(false);
    fileList_->setEnabled(false);
    XlsxWorkbook book({workspace_.image.FilePath, workbookFallback_, QString()}, documentOpener_);
    const SpreadsheetOutcome outcome = exportToSpreadsheet(workspace_, book, *this);
    fileList_->setEnabled(true);
    exportStrip_->setEnabled(true);
    exporting_ = false;
    if (outcome == SpreadsheetOutcome::Written)
        fileWritten(book.documentLocation());
    if (outcome != SpreadsheetOutcome::Failed)
        return true;
    const UserMessage failure = workbookFailureMessage(book.failures());
    showMessage(MessageIcon::Exclamation, failure.title, failure.text);
    return false;
}

void OpenForm::fileWritten(const QString& path)
{
    const QFileInfo written(path);
    if (written.absoluteDir() != QDir(fileFolder_))
        return;
    refreshFiles();
    // The entry that was opened stays selected, without being opened again.
    const QList<QListWidgetItem*> items = fileList_->findItems(selectedFileName_, Qt::MatchExactly);
    if (items.isEmpty())
        return;
    const QSignalBlocker block(fileList_);
    fileList_->setCurrentItem(items.first());
    selectedFileIndex_ = fileList_->row(items.first());
}

void OpenForm::selectFile(const QString& fileName)
{
    if (fileList_->findItems(fileName, Qt::MatchExactly).isEmpty()) {
        // The "*.*" entry lists every file of the folder.
        const int everyFile = filterBox_->findText(QStringLiteral("*.*"), Qt::MatchStartsWith);
        filterBox_->setCurrentIndex(everyFile);
        patternChosen(everyFile);
    }
    const QList<QListWidgetItem*> items = fileList_->findItems(fileName, Qt::MatchExactly);
    if (items.isEmpty())
        return;
    if (fileList_->currentItem() == items.first())
        openListEntry(fileList_->row(items.first())); // already selected: open it again
    else
        fileList_->setCurrentItem(items.first());
}

bool OpenForm::openFile(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !folderList_->setPath(file.absolutePath()))
        return false;
    folderChanged();
    selectFile(file.fileName());
    return true;
}

void OpenForm::slideTick()
{
    if (exportStrip_->y() > -ExportStrip::kFrameHeight * ExportStrip::kLastSlideFrame) {
        exportStrip_->move(0, exportStrip_->y() - ExportStrip::kFrameHeight);
        exportStrip_->repaint();
    } else {
        slideTimer_->stop();
    }
}

// ---- the view the readers write -----------------------------------------

void OpenForm::setReport(const QString& text)
{
    reportText_ = text;
    reportBox_->setPlainText(shown(text));
}

void OpenForm::setFileNameBox(const QString& name)
{
    fileNameBox_->setText(name);
}

void OpenForm::setLabelText(OpenLabel label, const QString& text)
{
    labelTexts_[int(label)] = text;
    labelWidget(label)->setText(shown(text));
}

QLabel* OpenForm::labelWidget(OpenLabel label) const
{
    switch (label) {
    case OpenLabel::SizeCaption: return sizeCaption_;
    case OpenLabel::DriveCaption: return driveCaption_;
    case OpenLabel::Notice: break;
    }
    return noticeLabel_;
}

QString OpenForm::labelText(OpenLabel label) const
{
    return labelTexts_[int(label)];
}

void OpenForm::setLabelVisible(OpenLabel label, bool visible)
{
    labelWidget(label)->setVisible(visible);
}

void OpenForm::setPictureBox(const QImage& picture, const QRectF& rect, bool bordered)
{
    pictureRect_ = rect;
    pictureBox_->setPicture(picture, bordered);
    placePictureBox();
}

void OpenForm::placePictureBox()
{
    pictureBox_->setGeometry(wholePixels(pictureRect_).translated(reportBox_->x(), kPreviewBandTop));
    placeLines();
}

void OpenForm::placeLines()
{
    // Two rules crossing the preview box from corner to corner.
    const int left = reportBox_->x();
    const int right = pictureBox_->x() + pictureBox_->width() - 1;
    const int top = kPreviewBandTop, bottom = kPreviewBandTop + kPreviewBandHeight - 1;
    crossDown_->setLine(QPoint(left, top), QPoint(right, bottom));
    crossUp_->setLine(QPoint(right, top), QPoint(left, bottom));
}

void OpenForm::setPictureBoxVisible(bool visible)
{
    pictureBox_->setVisible(visible);
}

void OpenForm::setDrawnPreview(const PointPreview& preview)
{
    const int left = folderList_->x() + folderList_->width() + 7;
    int top = stopButton_->y() + stopButton_->height() + 7;
    if (preview.anchor != PreviewAnchor::Bmp)
        top = helpButton_->y() + helpButton_->height() + (preview.anchor == PreviewAnchor::TgaStretched ? 3 : 7);
    drawnPreview_->setGeometry(wholePixels(QRectF(QPointF(left, top) + preview.offset, preview.box)));
    drawnPreview_->setPicture(preview.image, preview.bordered);
}

void OpenForm::setDrawnPreviewVisible(bool visible)
{
    drawnPreview_->setVisible(visible);
}

void OpenForm::setCrossVisible(bool visible)
{
    crossDown_->setVisible(visible);
    crossUp_->setVisible(visible);
    if (visible) {
        crossDown_->raise();
        crossUp_->raise();
    }
}

void OpenForm::setSwatch(const Swatch& swatch)
{
    paletteSwatch_->setCells(swatch.cells);
}
void OpenForm::setSwatchVisible(bool visible)
{
    paletteSwatch_->setVisible(visible);
}
bool OpenForm::exportEnabled() const
{
    return exportStrip_->isEnabled();
}
void OpenForm::setExportEnabled(bool enabled)
{
    exportStrip_->setEnabled(enabled);
}
void OpenForm::setExportFrame(int frame)
{
    exportStrip_->setFrame(frame);
}

void OpenForm::setSlideTimerActive(bool active)
{
    if (active)
        slideTimer_->start();
    else
        slideTimer_->stop();
}

bool OpenForm::showFileTicked() const
{
    return showFileBox_->isChecked();
}

void OpenForm::showMessage(MessageIcon icon, const QString& title, const QString& text)
{
    QMessageBox box(boxIcon(icon), title, shown(text), QMessageBox::Ok, this);
    box.exec();
}

void OpenForm::restoreOpenButton()
{
    openButton_->setHeld(false);
}

void OpenForm::setBusyCursor(bool busy)
{
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

// ---- what the spreadsheet export shows ------------------------------------

void OpenForm::setExportButtonFrame(ExportButtonFrame frame)
{
    exportStrip_->setFrame(frame == ExportButtonFrame::Busy ? ExportStrip::kBusyFrame : ExportStrip::kLastSlideFrame);
}

void OpenForm::setOpenButtonsVisible(bool visible)
{
    openButton_->setVisible(visible);
    helpButton_->setVisible(visible);
}

void OpenForm::setBusyPointer(bool busy)
{
    setBusyCursor(busy);
}

void OpenForm::processEvents()
{
    QCoreApplication::processEvents();
}

void OpenForm::setStopButtonActive(bool active)
{
    stopButton_->setEnabled(active);
    stopButton_->setVisible(active);
    // The progress bar lies over the export button only while cells are coloured.
    progressBar_->setVisible(active);
    if (active)
        progressBar_->raise();
    // The workbook is saved next without a return to the event loop: paint the
    // place of the button and the bar now, or they stay on screen until then.
    else if (isVisible())
        repaint(stopButton_->geometry().united(exportSlot_->geometry()));
}

void OpenForm::setProgressWidth(int width)
{
    progressBar_->resize(std::clamp(width, 1, int(kProgressBarWidth)), art::kStripFrameHeight);
    if (progressBar_->isVisible())
        progressBar_->repaint();
}

void OpenForm::setRemainingVisible(bool visible)
{
    // An estimate left from an earlier export would be wrong for this one.
    if (visible)
        remainingLabel_->clear();
    remainingLabel_->setVisible(visible);
}

void OpenForm::setRemainingText(const QString& text)
{
    remainingLabel_->setText(text);
}

void OpenForm::setSaving(bool saving)
{
    // The whole bar, its stripes moving while the file is compressed.
    setProgressWidth(saving ? kProgressBarWidth : 1);
    progressBar_->setMoving(saving);
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

    for (QWidget* control : {static_cast<QWidget*>(fileList_), static_cast<QWidget*>(filterBox_),
                             static_cast<QWidget*>(pathBox_), static_cast<QWidget*>(fileCaption_)})
        control->move(kMargin, control->y());
    const int listArea = (w - kRightColumnWidth) & ~1; // even, so that the report box starts on an even column
    if (paletteSwatch_->x() + paletteSwatch_->width() > listArea + 12)
        return; // too narrow: everything keeps its last place

    fileList_->setGeometry(
        framedBox(kMargin, fileList_->y(), roundHalfEvenToInt(listArea * kFileListShare), fileList_->height()));
    filterBox_->resize(fileList_->width(), filterBox_->height());
    folderList_->setGeometry(framedBox(fileList_->x() + fileList_->width() + 3, folderList_->y(),
                                       roundHalfEvenToInt(listArea * kFolderListShare), folderList_->height()));
    driveList_->resize(folderList_->width(), driveList_->height());
    driveList_->move(folderList_->x(), driveList_->y());
    driveCaption_->setGeometry(kMargin, driveCaption_->y(), listArea, driveCaption_->height());
    // The notice spans the lists' width and may run down to the window's bottom edge.
    noticeLabel_->setGeometry(kMargin, noticeLabel_->y(), listArea, std::max(60, h - noticeLabel_->y() - kMargin));
    if (listArea - 51 > 3)
        fileNameBox_->resize(listArea - 51, fileNameBox_->height());
    pathBox_->resize(listArea, pathBox_->height());
    sizeCaption_->move(listArea + 12, sizeCaption_->y());
    reportBox_->move(listArea + 12, reportBox_->y());
    const int band = reportBox_->x();
    pictureBox_->move(band + roundHalfEvenToInt((kPreviewBandWidth - pictureBox_->width()) / 2.0), pictureBox_->y());
    drawnPreview_->move(band + roundHalfEvenToInt((kPreviewBandWidth - drawnPreview_->width()) / 2.0),
                        drawnPreview_->y());
    stopButton_->move(band, stopButton_->y());
    openButton_->move(band, openButton_->y());
    showFileBox_->move(band + roundHalfEvenToInt(reportBox_->width() - showFileBox_->width()) / 2, showFileBox_->y());
    helpButton_->move(band + roundHalfEvenToInt(reportBox_->width() - helpButton_->width()) / 2, helpButton_->y());
    exportSlot_->move(openButton_->x() + openButton_->width() + 7, exportSlot_->y());
    remainingLabel_->move(exportSlot_->x(), remainingLabel_->y());
    placeLines();
}

} // namespace lumiset

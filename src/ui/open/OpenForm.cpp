#include "OpenForm.h"

#include "ExportStrip.h"
#include "FolderList.h"
#include "PreviewBox.h"
#include "common/PictureButton.h"
#include "export/ExportForm.h"
#include "help/HelpOpenForm.h"
#include "image/OpenCommand.h"
#include "output/SpreadsheetExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
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
constexpr int kStartWidth = 620; // 9300 twips at 15 twips per pixel
constexpr int kStartHeight = 460;
constexpr int kMargin = 5;
constexpr int kReportWidth = kPreviewBandWidth; // the report box spans the preview band
constexpr int kButtonsTop = 4;
constexpr int kSecondRowTop = 33; // help and stop buttons end 7 above the preview band
constexpr int kSlideInterval = 30;

constexpr int kFilterEntries = 3;
const char* const kPatterns[kFilterEntries] = {"*.bmp", "*.tga", "*.*"};

// VB-style number and description of the two file-system errors the lists can meet.
constexpr int kErrDeviceUnavailable = 68;
constexpr int kErrPathNotFound = 76;

int roundEven(double v) { return int(std::nearbyint(v)); }

/// Control positions are whole pixels; halves go to the even neighbour.
QRect wholePixels(const QRectF& r)
{
    return QRect(roundEven(r.x()), roundEven(r.y()), std::max(1, roundEven(r.width())),
                 std::max(1, roundEven(r.height())));
}

QString shown(const QString& text)
{
    // The readers separate lines with CR LF; widgets want bare line feeds.
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

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
    : QWidget(parent), drives_(drives)
{
    setObjectName(QStringLiteral("OpenForm"));
    setWindowTitle(QStringLiteral("Lumiset"));
    clock_.start();
    documentOpener_ = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    workbookFallback_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    endProgram_ = [this] {
        close();
        QCoreApplication::exit(1);
    };
    buildControls();
    formLoad(startFolder);
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

    Text5 = new QLineEdit(this);
    named(Text5, "Text5")->setGeometry(kMargin, 6, 329, 22);
    Label2 = new QLabel(this);
    named(Label2, "Label2")->setGeometry(177, 31, 250, 17);
    Label2->setStyleSheet(QStringLiteral("color: #b83b3b;"));
    Label2->hide();
    ComboPattern = new QComboBox(this);
    named(ComboPattern, "ComboPattern")->setGeometry(kMargin, 49, 170, 22);
    ComboPattern->setEditable(true);
    ComboPattern->setInsertPolicy(QComboBox::NoInsert);
    ComboPattern->addItems({QStringLiteral("*.BMP (изображение Bitmap)"), QStringLiteral("*.TGA (изображение TarGA)"),
                            QStringLiteral("*.*   (все форматы)")});
    ComboPattern->setCurrentIndex(-1);
    ComboPattern->setEditText(QStringLiteral("*.BMP"));
    Drive1 = new QComboBox(this);
    named(Drive1, "Drive1")->setGeometry(177, 49, 157, 22);
    for (const DriveEntry& d : drives_)
        Drive1->addItem(d.label);
    File1 = new QListWidget(this);
    named(File1, "File1")->setGeometry(kMargin, 75, 170, 236);
    Dir1 = new FolderList(this);
    named(Dir1, "Dir1")->setGeometry(177, 75, 157, 236);
    Label6 = new QLabel(QStringLiteral("Файл:"), this);
    named(Label6, "Label6")->setGeometry(kMargin, 317, 48, 22);
    Text4 = new QLineEdit(this);
    named(Text4, "Text4")->setGeometry(56, 317, 278, 22);
    Text4->setReadOnly(true);
    Picture1 = new PaletteSwatch(this);
    named(Picture1, "Picture1")->move(kMargin, 347);
    Picture1->hide();
    Label4 = new QLabel(this);
    named(Label4, "Label4")->setGeometry(kMargin, 347, 323, 60);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setStyleSheet(QStringLiteral("color: #b83b3b; font-weight: bold;"));
    Label4->hide();

    Image1 = new PictureButton(art::openButton, QSize(32, 26), this);
    named(Image1, "Image1")->move(341, kButtonsTop);
    Image1->setToolTip(QStringLiteral("Открыть файл"));
    Picture2 = new QWidget(this);
    named(Picture2, "Picture2")->setGeometry(380, kButtonsTop, art::kStripFrameWidth, art::kStripFrameHeight);
    Picture3 = new ExportStrip(Picture2);
    named(Picture3, "Picture3");
    Picture4 = new ProgressPicture(Picture2);
    named(Picture4, "Picture4")->setGeometry(0, 0, 1, art::kStripFrameHeight);
    Picture4->hide(); // shown by the cell colouring only
    Image13 = new PictureButton(art::stopButton, QSize(32, 24), this);
    named(Image13, "Image13")->move(341, kSecondRowTop);
    Image13->setToolTip(QStringLiteral("Остановить"));
    Image13->hide();
    Label5 = new QLabel(this);
    named(Label5, "Label5")->setGeometry(380, kSecondRowTop + 4, 90, 17);
    Label5->hide();
    Image3 = new PictureButton(art::helpButton, QSize(92, 24), this);
    named(Image3, "Image3")->move(428, kSecondRowTop);
    Image3->setToolTip(QStringLiteral("Справка"));

    Image11 = new PreviewBox(PreviewBox::Fit::Stretch, this);
    named(Image11, "Image11")->setGeometry(341, kPreviewBandTop, kPreviewBandWidth, kPreviewBandHeight);
    Picture5 = new PreviewBox(PreviewBox::Fit::Actual, this);
    named(Picture5, "Picture5")->hide();
    Line1 = new LineControl(this);
    named(Line1, "Line1");
    Line2 = new LineControl(this);
    named(Line2, "Line2");
    Label1 = new QLabel(this);
    named(Label1, "Label1")->setGeometry(335, 228, 284, 18); // reaches the window's right edge
    Text7 = new QPlainTextEdit(this);
    named(Text7, "Text7")->setGeometry(341, 248, kReportWidth, 160);
    Text7->setReadOnly(true);
    Text7->setToolTip(QStringLiteral("Информация о файле"));
    Check1 = new QCheckBox(QStringLiteral("Показывать файл"), this);
    named(Check1, "Check1");
    Check1->setChecked(true);
    Check1->adjustSize();
    Check1->move(341 + (kReportWidth - Check1->width()) / 2, 416);

    Line13 = new LineControl(this, art::colour::edge);
    Line14 = new LineControl(this, art::colour::edge);
    Line15 = new LineControl(this, art::colour::edge);
    Line16 = new LineControl(this, art::colour::edge);
    named(Line13, "Line13");
    named(Line14, "Line14");
    named(Line15, "Line15");
    named(Line16, "Line16");

    Timer0 = new QTimer(this);
    Timer0->setObjectName(QStringLiteral("Timer0"));
    Timer0->setInterval(kSlideInterval);

    connect(ComboPattern, &QComboBox::activated, this, &OpenForm::patternChosen);
    connect(ComboPattern, &QComboBox::editTextChanged, this, [this](const QString& text) {
        // Typed text is a list entry only when it matches one exactly.
        patternChosen(ComboPattern->findText(text, Qt::MatchExactly));
    });
    connect(Drive1, &QComboBox::currentIndexChanged, this, &OpenForm::driveChanged);
    connect(Dir1, &FolderList::folderChosen, this, &OpenForm::folderChosen);
    connect(File1, &QListWidget::currentRowChanged, this, [this](int row) {
        fileOpenedOnPress_ = true;
        fileSelected(row);
    });
    connect(File1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A click on the entry that is already selected opens it again.
        if (!fileOpenedOnPress_)
            fileSelected(File1->row(item));
        fileOpenedOnPress_ = false;
    });
    connect(Text5, &QLineEdit::returnPressed, this, &OpenForm::pathEntered);
    connect(Timer0, &QTimer::timeout, this, &OpenForm::slideTick);
    connect(Image1, &QAbstractButton::clicked, this, &OpenForm::openSelected);
    connect(Image3, &QAbstractButton::clicked, this, [this] { showHelp(); });
    connect(Image13, &QAbstractButton::clicked, this, [this] { stopRequested_ = true; });
    connect(Picture3, &QAbstractButton::clicked, this, [this] { emit exportRequested(); });
    connect(this, &OpenForm::exportRequested, this, &OpenForm::exportCommand);
}

void OpenForm::formLoad(const QString& startFolder)
{
    resize(kStartWidth, kStartHeight);

    QStringList candidates{startFolder, QDir::currentPath()};
    for (const DriveEntry& d : drives_)
        candidates.append(d.root);
    for (const QString& folder : candidates) {
        if (folder.isEmpty() || !Dir1->setPath(folder))
            continue;
        currentDrive_ = driveOf(drives_, Dir1->path());
        const QSignalBlocker block(Drive1);
        Drive1->setCurrentIndex(currentDrive_);
        break;
    }
    folderChanged();

    workspace_.image.ImageState = 0;
    workspace_.ExportCancelled = true;
    Image1->setHeld(false);
    disableExport(*this);
    Picture4->setGeometry(0, 0, 1, art::kStripFrameHeight);
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
    const QString filter = pattern_ == QLatin1String("*.*") ? QStringLiteral("*") : pattern_;
    const QStringList names = QDir(fileFolder_).entryList({filter}, QDir::Files | QDir::Hidden,
                                                          QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker block(File1);
    File1->clear();
    File1->addItems(names);
}

QString OpenForm::errorLine(const QString& folder) const
{
    const QStorageInfo volume(folder);
    if (QFileInfo::exists(folder) || (volume.isValid() && !volume.isReady()))
        return QStringLiteral("Ошибка %1 Устройство недоступно").arg(kErrDeviceUnavailable);
    return QStringLiteral("Ошибка %1 Путь не найден").arg(kErrPathNotFound);
}

bool OpenForm::enterDrive(int index)
{
    if (index < 0 || index >= drives_.size())
        return false;
    const QString root = drives_[index].root;
    const QString remembered = driveFolders_.value(root, root);
    if (!Dir1->setPath(remembered) && !Dir1->setPath(root))
        return false;
    currentDrive_ = index;
    const QSignalBlocker block(Drive1);
    Drive1->setCurrentIndex(index);
    folderChanged();
    return true;
}

void OpenForm::driveChanged(int index)
{
    if (index == currentDrive_ || enterDrive(index))
        return;
    driveFallback(errorLine(drives_.value(index).root));
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
    const QSignalBlocker block(Drive1);
    Drive1->setCurrentIndex(currentDrive_);
}

void OpenForm::folderChosen(const QString& folder)
{
    if (Dir1->setPath(folder)) {
        folderChanged();
        return;
    }
    showMessage(MessageIcon::None, QStringLiteral("Ошибка"), errorLine(folder));
    if (Dir1->setPath(driveRoot()))
        folderChanged();
}

void OpenForm::folderChanged()
{
    fileFolder_ = Dir1->path();
    if (currentDrive_ >= 0)
        driveFolders_[drives_[currentDrive_].root] = fileFolder_;
    refreshFiles();
    Text5->setText(QDir::toNativeSeparators(fileFolder_));
}

QString OpenForm::driveRoot() const
{
    return currentDrive_ >= 0 ? drives_[currentDrive_].root : QDir::rootPath();
}

void OpenForm::pathEntered()
{
    QString input = Text5->text();
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
        // "\name" and "/name" start at the drive's root; so does a bare name.
        QString rest = input;
        rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (rest.startsWith(QLatin1Char('/')))
            rest.remove(0, 1);
        target = driveRoot() + rest;
    }
    if (!Dir1->setPath(target)) {
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
    Image1->setHeld(true);
    selectedFileIndex_ = row;
    selectedFileName_ = File1->item(row) ? File1->item(row)->text() : QString();
    openSelected();
}

void OpenForm::openSelected()
{
    QListWidgetItem* entry = selectedFileIndex_ >= 0 ? File1->item(selectedFileIndex_) : nullptr;
    openCommand(workspace_.image, *this, fileFolder_, entry ? entry->text() : QString());
    restoreOpenButton();
}

void OpenForm::showHelp()
{
    HelpOpenForm help(this);
    help.exec();
    Image3->update();
}

ExportForm& OpenForm::exportForm()
{
    if (!exportForm_)
        exportForm_ = new ExportForm(workspace_, this);
    return *exportForm_;
}

void OpenForm::showExportWindow()
{
    exportForm().exec();
}

void OpenForm::exportCommand()
{
    // The colouring lets clicks through between rows; a second export must not
    // start inside the first.
    if (exporting_)
        return;
    // Only the export window's own export command confirms a request.
    workspace_.ExportCancelled = true;
    showExportWindow();
    if (!workspace_.ExportCancelled)
        emit exportConfirmed();
    writeSpreadsheet();
}

void OpenForm::writeSpreadsheet()
{
    exporting_ = true;
    // While the cells are coloured, a click on the file list would open another
    // picture under the export and the description lines would name it.
    Picture3->setEnabled(false);
    File1->setEnabled(false);
    XlsxWorkbook book({workspace_.image.FilePath, workbookFallback_, QString()}, documentOpener_);
    const SpreadsheetOutcome outcome = exportToSpreadsheet(workspace_, book, *this);
    File1->setEnabled(true);
    Picture3->setEnabled(true);
    exporting_ = false;
    if (outcome != SpreadsheetOutcome::Failed)
        return;
    const UserMessage failure = automationFailureMessage();
    showMessage(MessageIcon::Critical, failure.title, failure.text);
    if (endProgram_)
        endProgram_();
}

void OpenForm::slideTick()
{
    if (Picture3->y() > -ExportStrip::kFrameHeight * ExportStrip::kLastSlideFrame) {
        Picture3->move(0, Picture3->y() - ExportStrip::kFrameHeight);
        Picture3->repaint();
    } else {
        Timer0->stop();
    }
}

// ---- the view the readers write -----------------------------------------

void OpenForm::setReport(const QString& text)
{
    reportText_ = text;
    Text7->setPlainText(shown(text));
}

void OpenForm::setFileNameBox(const QString& name) { Text4->setText(name); }

static QLabel* labelFor(OpenLabel label, QLabel* l1, QLabel* l2, QLabel* l4)
{
    return label == OpenLabel::SizeCaption ? l1 : label == OpenLabel::DriveCaption ? l2 : l4;
}

void OpenForm::setLabelText(OpenLabel label, const QString& text)
{
    labelTexts_[int(label)] = text;
    QLabel* target = labelFor(label, Label1, Label2, Label4);
    target->setText(shown(text));
    if (target == Label1) {
        // Size, scale and colour count share one line: shrink the type rather
        // than cut off the colour count of a reduced picture.
        QFont f = font();
        while (f.pointSizeF() > 6.5 && QFontMetrics(f).horizontalAdvance(target->text()) > target->width())
            f.setPointSizeF(f.pointSizeF() - 0.5);
        target->setFont(f);
    }
}

QString OpenForm::labelText(OpenLabel label) const { return labelTexts_[int(label)]; }

void OpenForm::setLabelVisible(OpenLabel label, bool visible)
{
    labelFor(label, Label1, Label2, Label4)->setVisible(visible);
}

void OpenForm::setPictureBox(const QImage& picture, const QRectF& rect, bool bordered)
{
    pictureRect_ = rect;
    Image11->setPicture(picture, bordered);
    placePictureBox();
}

void OpenForm::placePictureBox()
{
    Image11->setGeometry(wholePixels(pictureRect_).translated(Text7->x(), kPreviewBandTop));
    placeLines();
}

void OpenForm::placeLines()
{
    // Two rules crossing the preview box from corner to corner.
    const int left = Text7->x();
    const int right = Image11->x() + Image11->width() - 1;
    const int top = kPreviewBandTop, bottom = kPreviewBandTop + kPreviewBandHeight - 1;
    Line1->setLine(QPoint(left, top), QPoint(right, bottom));
    Line2->setLine(QPoint(right, top), QPoint(left, bottom));
}

void OpenForm::setPictureBoxVisible(bool visible) { Image11->setVisible(visible); }

void OpenForm::setDrawnPreview(const PointPreview& preview)
{
    const int left = Dir1->x() + Dir1->width() + 7;
    int top = Image13->y() + Image13->height() + 7;
    if (preview.anchor != PreviewAnchor::Bmp)
        top = Image3->y() + Image3->height() + (preview.anchor == PreviewAnchor::TgaStretched ? 3 : 7);
    Picture5->setGeometry(wholePixels(QRectF(QPointF(left, top) + preview.offset, preview.box)));
    Picture5->setPicture(preview.image, preview.bordered);
}

void OpenForm::setDrawnPreviewVisible(bool visible) { Picture5->setVisible(visible); }

void OpenForm::setCrossVisible(bool visible)
{
    Line1->setVisible(visible);
    Line2->setVisible(visible);
    if (visible) {
        Line1->raise();
        Line2->raise();
    }
}

void OpenForm::setSwatch(const Swatch& swatch) { Picture1->setCells(swatch.cells); }
void OpenForm::setSwatchVisible(bool visible) { Picture1->setVisible(visible); }
bool OpenForm::exportEnabled() const { return Picture3->isEnabled(); }
void OpenForm::setExportEnabled(bool enabled) { Picture3->setEnabled(enabled); }
void OpenForm::setExportFrame(int frame) { Picture3->setFrame(frame); }

void OpenForm::setSlideTimerActive(bool active)
{
    if (active)
        Timer0->start();
    else
        Timer0->stop();
}

bool OpenForm::showFileTicked() const { return Check1->isChecked(); }

void OpenForm::showMessage(MessageIcon icon, const QString& title, const QString& text)
{
    QMessageBox box(boxIcon(icon), title, shown(text), QMessageBox::Ok, this);
    box.exec();
}

void OpenForm::restoreOpenButton() { Image1->setHeld(false); }

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
    Picture3->setFrame(frame == ExportButtonFrame::Busy ? ExportStrip::kBusyFrame : ExportStrip::kLastSlideFrame);
}

void OpenForm::setOpenButtonsVisible(bool visible)
{
    Image1->setVisible(visible);
    Image3->setVisible(visible);
}

void OpenForm::setBusyPointer(bool busy) { setBusyCursor(busy); }

void OpenForm::processEvents() { QCoreApplication::processEvents(); }

void OpenForm::setStopButtonActive(bool active)
{
    Image13->setEnabled(active);
    Image13->setVisible(active);
    // The progress bar lies over the export button only while cells are coloured.
    Picture4->setVisible(active);
    if (active)
        Picture4->raise();
}

void OpenForm::setProgressWidth(int width)
{
    Picture4->resize(std::clamp(width, 1, int(kProgressBarWidth)), art::kStripFrameHeight);
    if (Picture4->isVisible())
        Picture4->repaint();
}

void OpenForm::setRemainingVisible(bool visible)
{
    // An estimate left from an earlier export would be wrong for this one.
    if (visible)
        Label5->clear();
    Label5->setVisible(visible);
}

void OpenForm::setRemainingText(const QString& text) { Label5->setText(text); }

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
    const int W = width(), H = height();
    // The size grip: four short strokes down to the left from the right edge.
    const struct { LineControl* line; int k, c; } grip[] = {{Line13, 4, 32}, {Line14, 6, 33}, {Line15, 9, 36}, {Line16, 10, 37}};
    for (const auto& g : grip)
        g.line->setLine(QPoint(W - 9, H - g.c), QPoint(W - 9 - g.k, H - g.c + g.k));

    for (QWidget* w : {static_cast<QWidget*>(File1), static_cast<QWidget*>(ComboPattern),
                       static_cast<QWidget*>(Text5), static_cast<QWidget*>(Label6)})
        w->move(kMargin, w->y());
    const int L = roundEven(W - Text7->width() - 7 - File1->x() - 14);
    listAreaWidth_ = L;
    if (Picture1->x() + Picture1->width() > L + 12)
        return; // too narrow: everything keeps its last place

    File1->resize(roundEven(L * 0.515625), File1->height());
    ComboPattern->resize(File1->width(), ComboPattern->height());
    Dir1->resize(roundEven(L * 0.478125), Dir1->height());
    Drive1->resize(Dir1->width(), Drive1->height());
    Dir1->move(File1->x() + File1->width() + 3, Dir1->y());
    Drive1->move(Dir1->x(), Drive1->y());
    Label2->move(Dir1->x(), Label2->y());
    if (L - 51 > 3)
        Text4->resize(L - 51, Text4->height());
    Text5->resize(L, Text5->height());
    Label1->move(L + 6, Label1->y());
    Text7->move(L + 12, Text7->y());
    const int band = Text7->x();
    Image11->move(band + roundEven((kPreviewBandWidth - Image11->width()) / 2.0), Image11->y());
    Picture5->move(band + roundEven((kPreviewBandWidth - Picture5->width()) / 2.0), Picture5->y());
    Image13->move(band, Image13->y());
    Image1->move(band, Image1->y());
    Check1->move(band + roundEven(Text7->width() - Check1->width()) / 2, Check1->y());
    Image3->move(band + roundEven(Text7->width() - Image3->width()) / 2, Image3->y());
    Picture2->move(Image1->x() + Image1->width() + 7, Picture2->y());
    Label5->move(Picture2->x(), Label5->y());
    placeLines();
}

} // namespace lumiset

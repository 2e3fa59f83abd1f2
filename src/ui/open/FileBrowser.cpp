#include "FileBrowser.h"

#include "DriveBox.h"
#include "FolderList.h"
#include "OpenLayout.h"
#include "image/ReaderMessages.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QStorageInfo>

#include <cmath>

namespace lumiset {

using namespace openlayout;

namespace {

constexpr double kFileListShare = 0.515625;
constexpr double kFolderListShare = 0.478125;

constexpr int kFilterEntries = 4;
// Several patterns are separated by ';'. Names match in any case.
const char* const kPatterns[kFilterEntries] = {
    "*.bmp", "*.tga", "*.*", "*.bmp;*.tga;*.png;*.jpg;*.jpeg;*.jpe;*.tif;*.tiff;*.gif;*.webp;*.pbm;*.pgm;*.ppm;*.pnm"};

// Number and description of the file-system errors the lists can meet.
constexpr int kErrDeviceUnavailable = 68;
constexpr int kErrPathNotFound = 76;

} // namespace

FileBrowser::FileBrowser(DriveSource drives, QWidget* window) : QWidget(window)
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    pathBox_ = new QLineEdit(this);
    named(pathBox_, "Text5")->setGeometry(kMargin, 6, 329, 22);
    filterBox_ = new QComboBox(this);
    named(filterBox_, "ComboPattern")->setGeometry(kMargin, 49, 170, 22);
    filterBox_->setEditable(true);
    filterBox_->setInsertPolicy(QComboBox::NoInsert);
    // Typing must not be completed into an entry: "*" would become the bitmap entry.
    filterBox_->setCompleter(nullptr);
    filterBox_->addItems({QString(), QString(), QString(), QString()});
    retranslate();
    filterBox_->setItemData(3, QString::fromLatin1(kPatterns[3]).toUpper().replace(u';', u' '), Qt::ToolTipRole);
    // Wide enough for the longest entry, in the box and in its drop-down.
    filterBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    filterBox_->view()->setTextElideMode(Qt::ElideNone);
    filterBox_->view()->setMinimumWidth(filterBox_->sizeHint().width());
    filterBox_->setCurrentIndex(-1);
    filterBox_->setEditText(QStringLiteral("*.BMP"));
    driveList_ = new DriveBox(std::move(drives), this);
    named(driveList_, "Drive1")->setGeometry(177, 49, 157, 22);
    fileList_ = new QListWidget(this);
    named(fileList_, "File1")->setGeometry(framedBox(kMargin, 75, 170, 236));
    folderList_ = new FolderList(this);
    named(folderList_, "Dir1")->setGeometry(framedBox(179, 75, 157, 236));
    fitToControls();

    connect(filterBox_, &QComboBox::activated, this, &FileBrowser::patternChosen);
    connect(filterBox_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        // Typed text is a list entry only when it matches one exactly.
        patternChosen(filterBox_->findText(text, Qt::MatchExactly));
    });
    connect(driveList_, &DriveBox::driveChosen, this, [this](int index) {
        if (!enterDrive(index))
            driveFallback(errorLine(driveList_->drives().value(index).root, true));
    });
    connect(folderList_, &FolderList::folderChosen, this, &FileBrowser::folderChosen);
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
    connect(pathBox_, &QLineEdit::returnPressed, this, &FileBrowser::pathEntered);
    // Enter in the file list opens the entry, as a click on it does.
    fileList_->installEventFilter(this);
}

QList<QWidget*> FileBrowser::tabOrder() const
{
    return {pathBox_, filterBox_, driveList_, fileList_, folderList_};
}

bool FileBrowser::eventFilter(QObject* watched, QEvent* event)
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

void FileBrowser::enterStartFolder(const QString& startFolder)
{
    QStringList candidates{startFolder, QDir::currentPath()};
    for (const DriveEntry& d : driveList_->drives())
        candidates.append(d.root);
    for (const QString& folder : candidates) {
        if (folder.isEmpty() || !folderList_->setPath(folder))
            continue;
        driveList_->showDrive(driveOf(driveList_->drives(), folderList_->path()));
        break;
    }
    folderChanged();
}

// ---- layout -----------------------------------------------------------------

int FileBrowser::neededListArea() const
{
    return int(std::ceil(filterBox_->sizeHint().width() / kFileListShare));
}

void FileBrowser::layOut(int listArea)
{
    fileList_->setGeometry(
        framedBox(kMargin, fileList_->y(), roundHalfEvenToInt(listArea * kFileListShare), fileList_->height()));
    filterBox_->resize(fileList_->width(), filterBox_->height());
    folderList_->setGeometry(framedBox(fileList_->x() + fileList_->width() + 3, folderList_->y(),
                                       roundHalfEvenToInt(listArea * kFolderListShare), folderList_->height()));
    driveList_->resize(folderList_->width(), driveList_->height());
    driveList_->move(folderList_->x(), driveList_->y());
    pathBox_->resize(listArea, pathBox_->height());
    fitToControls();
}

void FileBrowser::fitToControls()
{
    // From the window's corner to the farthest control, so nothing is clipped.
    const QRect used = childrenRect();
    resize(used.right() + 1, used.bottom() + 1);
}

int FileBrowser::listsRight() const
{
    return x() + folderList_->x() + folderList_->width();
}

void FileBrowser::setFileListEnabled(bool enabled)
{
    fileList_->setEnabled(enabled);
}

// ---- the file list ------------------------------------------------------------

void FileBrowser::patternChosen(int index)
{
    if (index >= 0 && index < kFilterEntries)
        pattern_ = QLatin1String(kPatterns[index]);
    refreshFiles();
}

void FileBrowser::refreshFiles()
{
    // "*.*" means every file, also those without an extension, as on Windows.
    const QStringList filters = pattern_ == QLatin1String("*.*") ? QStringList{QStringLiteral("*")}
                                                                 : pattern_.split(u';');
    const QStringList names = QDir(folder_).entryList(filters, QDir::Files | QDir::Hidden,
                                                      QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker block(fileList_);
    fileList_->clear();
    fileList_->addItems(names);
}

void FileBrowser::fileSelected(int row)
{
    if (row < 0)
        return;
    chooseRow(row);
}

void FileBrowser::chooseRow(int row)
{
    chosenRow_ = row;
    chosenName_ = fileList_->item(row) ? fileList_->item(row)->text() : QString();
    emit fileChosen(folder_, chosenName_);
}

QString FileBrowser::chosenEntry() const
{
    const QListWidgetItem* entry = chosenRow_ >= 0 ? fileList_->item(chosenRow_) : nullptr;
    return entry ? entry->text() : QString();
}

void FileBrowser::selectFile(const QString& fileName)
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
        chooseRow(fileList_->row(items.first())); // already selected: open it again
    else
        fileList_->setCurrentItem(items.first());
}

bool FileBrowser::openFile(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !folderList_->setPath(file.absolutePath()))
        return false;
    folderChanged();
    selectFile(file.fileName());
    return true;
}

void FileBrowser::fileWritten(const QString& path)
{
    const QFileInfo written(path);
    if (written.absoluteDir() != QDir(folder_))
        return;
    refreshFiles();
    // The entry that was opened stays selected, without being opened again.
    const QList<QListWidgetItem*> items = fileList_->findItems(chosenName_, Qt::MatchExactly);
    if (items.isEmpty())
        return;
    const QSignalBlocker block(fileList_);
    fileList_->setCurrentItem(items.first());
    chosenRow_ = fileList_->row(items.first());
}

void FileBrowser::retranslate()
{
    const QString entries[] = {tr("*.BMP (изображение Bitmap)"), tr("*.TGA (изображение TarGA)"),
                               tr("*.*   (все форматы)"), tr("*.BMP;*.PNG;*.JPG… (все изображения)")};
    // A pattern typed into the box stays; a chosen entry is renamed with the list.
    const bool typed = filterBox_->currentText() != filterBox_->itemText(filterBox_->currentIndex());
    const QString typedText = filterBox_->currentText();
    for (int i = 0; i < 4; ++i)
        filterBox_->setItemText(i, entries[i]);
    if (typed)
        filterBox_->setEditText(typedText);
}

void FileBrowser::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

// ---- drives and folders ---------------------------------------------------------

QString FileBrowser::errorLine(const QString& folder, bool driveRoot) const
{
    const QStorageInfo volume(folder);
    const bool deviceMissing = QFileInfo::exists(folder) ? volume.isValid() && !volume.isReady() : driveRoot;
    if (deviceMissing)
        return tr("Ошибка %1 Устройство недоступно").arg(kErrDeviceUnavailable);
    if (QFileInfo::exists(folder))                              // there, but not for this user
        return readerMessage(ReaderMessage::AccessDenied).text; // as for a file that cannot be read
    return tr("Ошибка %1 Путь не найден").arg(kErrPathNotFound);
}

bool FileBrowser::enterDrive(int index)
{
    if (index < 0 || index >= driveList_->drives().size())
        return false;
    if (!folderList_->setPath(driveList_->folderOf(index)) && !folderList_->setPath(driveList_->drives()[index].root))
        return false;
    driveList_->showDrive(index);
    folderChanged();
    return true;
}

void FileBrowser::driveFallback(const QString& firstLine)
{
    const QString title = tr("Ошибка");
    emit messageRequested(MessageIcon::None, title, firstLine);
    struct Step {
        QString root;
        QString unavailable; // added to the next box when this drive fails too
    };
#ifdef Q_OS_WIN
    const Step steps[] = {{QStringLiteral("C:/"), tr("Диск C: недоступен.")},
                          {QStringLiteral("A:/"), tr("Диск А: недоступен.")},
                          {QStringLiteral("D:/"), QString()}};
#else
    // Without drive letters the fallback is the file-system root.
    const QList<DriveEntry>& drives = driveList_->drives();
    const Step steps[] = {{drives.isEmpty() ? QStringLiteral("/") : drives.first().root, QString()}};
#endif
    for (const Step& step : steps) {
        if (enterDrive(driveList_->indexOfRoot(step.root)))
            return;
        if (step.unavailable.isEmpty())
            break;
        emit messageRequested(MessageIcon::None, title, firstLine + QStringLiteral("\r\n") + step.unavailable);
    }
    // Nothing usable: the drive list shows where the folder list really is.
    driveList_->showDrive(driveList_->current());
}

void FileBrowser::folderChosen(const QString& folder)
{
    if (folderList_->setPath(folder)) {
        folderChanged();
        return;
    }
    emit messageRequested(MessageIcon::None, tr("Ошибка"), errorLine(folder, false));
    if (folderList_->setPath(driveList_->shownRoot()))
        folderChanged();
}

void FileBrowser::folderChanged()
{
    folder_ = folderList_->path();
    driveList_->folderShown(folder_);
    refreshFiles();
    pathBox_->setText(QDir::toNativeSeparators(folder_));
}

// ---- the path box -------------------------------------------------------------

void FileBrowser::pathEntered()
{
    QString input = pathBox_->text();
    while (input.endsWith(QLatin1Char(' ')))
        input.chop(1); // trailing blanks go; leading ones stay part of the path
    if (input == QDir::toNativeSeparators(folder_) || input == folder_)
        return;

    auto refuse = [this] {
        emit messageRequested(MessageIcon::Exclamation, tr("Невозможно открыть путь"),
                              tr("Файловый путь не доступен или не существует"));
    };
    QString target;
    if (input.size() >= 2 && input[1] == QLatin1Char(':')) {
        const char16_t letter = input[0].unicode();
        const bool isLetter = (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
        if (!isLetter)
            return;
#ifdef Q_OS_WIN
        const int index = driveList_->indexOfRoot(input.left(2).toLower() + QLatin1Char('/'));
        if (index < 0) {
            refuse();
            return;
        }
        if (index != driveList_->current() && !enterDrive(index)) {
            refuse();
            return;
        }
        target = QDir::fromNativeSeparators(input); // C:\Папка is kept as C:/Папка, as every path here
#else
        refuse(); // no drive letters here
        return;
#endif
    } else {
        // "\name" and "/name" start at the file-system root (on Windows the
        // drive's root); a bare name starts at the root of the drive shown.
        QString rest = input;
        rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
        QString from = driveList_->shownRoot();
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

} // namespace lumiset

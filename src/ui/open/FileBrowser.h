#pragma once

#include "Drives.h"
#include "image/OpenWindowView.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace lumiset {

class DriveBox;
class FolderList;

/// \brief The open window's browser: the path box, the type filter, the drive
/// list, the file list and the folder list.
///
/// It lies at the window's corner, so its controls keep the window's
/// coordinates. A file chosen in the list (selected, Enter on it, a click on the
/// entry already selected) or typed into the path box is announced by
/// fileChosen; what goes wrong on the way is handed to the window to show.
class FileBrowser : public QWidget {
    Q_OBJECT
public:
    /// The drive list reads \a drives now and each time it drops down.
    explicit FileBrowser(DriveSource drives, QWidget* window);

    /// Shows \a startFolder, else the current folder, else the first drive that can be read.
    void enterStartFolder(const QString& startFolder);
    /// The list area the filter box needs to show its longest entry whole.
    int neededListArea() const;
    /// Spreads the lists and the boxes above them over \a listArea pixels.
    void layOut(int listArea);
    /// The right edge of the folder list, in the window.
    int listsRight() const;
    /// The controls in the order the Tab key visits them.
    QList<QWidget*> tabOrder() const;
    /// The file list takes no clicks while the cells of an export are coloured.
    void setFileListEnabled(bool enabled);

    QString folder() const { return folder_; }
    QString pattern() const { return pattern_; }
    int chosenRow() const { return chosenRow_; }
    QString chosenName() const { return chosenName_; }
    /// The entry now at the row chosen last; empty when there is none.
    QString chosenEntry() const;

    /// Chooses the entry \a row of the file list, as selecting it does.
    void chooseRow(int row);
    /// \brief Chooses \a fileName of the folder shown, first switching the type
    /// filter to every file when it hides the name.
    void selectFile(const QString& fileName);
    /// Shows the folder of the file \a path and chooses the file there; false when it is no file.
    bool openFile(const QString& path);
    /// A file was written at \a path: the list shows it when it lies in the folder shown.
    void fileWritten(const QString& path);

signals:
    /// \a name of the file list in \a folder was chosen.
    void fileChosen(const QString& folder, const QString& name);
    /// A box the window shows before the browser goes on.
    void messageRequested(MessageIcon icon, const QString& title, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Names the filter entries in the current language.
    void retranslate();
    void patternChosen(int index);
    void refreshFiles();
    void fileSelected(int row);
    bool enterDrive(int index);
    void driveFallback(const QString& firstLine);
    void folderChosen(const QString& folder);
    void folderChanged();
    void pathEntered();
    QString errorLine(const QString& folder, bool driveRoot) const;
    void fitToControls();

    QString folder_;
    QString pattern_ = QStringLiteral("*.bmp");
    int chosenRow_ = -1;
    QString chosenName_;
    bool fileOpenedOnPress_ = false;

    QLineEdit* pathBox_ = nullptr;
    QComboBox* filterBox_ = nullptr;
    DriveBox* driveList_ = nullptr;
    QListWidget* fileList_ = nullptr;
    FolderList* folderList_ = nullptr;
};

} // namespace lumiset

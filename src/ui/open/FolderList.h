#pragma once

#include <QListWidget>

namespace lumiset {

/// \brief The folder list: the chain of folders from the root down to the
/// current one, then the current folder's sub-folders, indented as a tree.
///
/// Activating an entry (double click or Enter) chooses that folder.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    /// Shows \a folder; returns false, leaving the list as it was, when the
    /// folder does not exist or cannot be read.
    bool setPath(const QString& folder);
    QString path() const { return path_; }

signals:
    void folderChosen(const QString& folder);

private:
    QString path_;
};

} // namespace lumiset

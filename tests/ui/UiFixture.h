#pragma once

#include "common/PictureButton.h"
#include "open/OpenForm.h"
#include "open/PreviewBox.h"
#include "support/ImageBuilders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace lumiset::test {

/// The open window with its message boxes, help window and document opener
/// recorded instead of shown or launched.
class RecordingForm : public OpenForm {
public:
    RecordingForm(const QString& startFolder, const QList<DriveEntry>& drives)
        : RecordingForm(startFolder, DriveSource([drives] { return drives; }))
    {
    }
    RecordingForm(const QString& startFolder, DriveSource drives) : OpenForm(startFolder, std::move(drives))
    {
        setDocumentOpener([this](const QString& path) {
            opened << path;
            return true;
        });
    }

    struct Box {
        MessageIcon icon;
        QString title;
        QString text;
    };
    void showMessage(MessageIcon icon, const QString& title, const QString& text) override
    {
        boxes.append({icon, title, text});
    }
    void showHelp() override { ++helpShown; }
    void showExportWindow(bool) override { ++exportShown; }

    template <class T> T* control(const char* name) const
    {
        T* w = findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QListWidget* files() const { return control<QListWidget>("File1"); }
    QStringList fileEntries() const
    {
        QStringList names;
        for (int i = 0; i < files()->count(); ++i)
            names << files()->item(i)->text();
        return names;
    }
    QWidget* exportButton() const { return control<QWidget>("Picture3"); }
    int exportFrame() const { return -exportButton()->y() / 26; }

    QList<Box> boxes;
    int helpShown = 0;
    int exportShown = 0;
    QStringList opened; ///< files handed to the document opener
};

/// A scratch folder that is the only "drive" of the window under test.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    QString rootPath() const { return QDir(root.path()).canonicalPath() + QLatin1Char('/'); }
    QString write(const QString& relative, const QByteArray& bytes) const
    {
        const QString path = rootPath() + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(writeBytes(path, bytes)) << path.toStdString();
        return path;
    }
    QString mkdir(const QString& relative) const
    {
        QDir().mkpath(rootPath() + relative);
        return rootPath() + relative;
    }
    /// A window on \a folder (relative to the scratch root) whose drives are the
    /// scratch root and \a extraDrives.
    std::unique_ptr<RecordingForm> makeForm(const QString& folder = QString(),
                                            const QList<DriveEntry>& extraDrives = {}) const
    {
        QList<DriveEntry> drives{{QStringLiteral("test"), rootPath()}};
        drives += extraDrives;
        auto form = std::make_unique<RecordingForm>(rootPath() + folder, drives);
        form->show();
        return form;
    }

    static QByteArray greyTga(int width, int height, std::uint8_t level)
    {
        TgaBuilder t;
        t.imageType = 3;
        t.pixelDepth = 8;
        t.width = width;
        t.height = height;
        t.indices.assign(height, std::vector<std::uint8_t>(width, level));
        return t.build();
    }

    QTemporaryDir root;
};

} // namespace lumiset::test

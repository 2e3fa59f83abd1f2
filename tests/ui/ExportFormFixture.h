#pragma once

#include "export/ExportForm.h"
#include "export/ImageView.h"
#include "image/OpenCommand.h"
#include "image/RecordingOpenView.h"
#include "support/ImageBuilders.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <memory>

namespace lumiset::test {

/// The export window with its input boxes, help and error boxes recorded.
class TestExportForm : public ExportForm {
public:
    using ExportForm::ExportForm;

    QStringList answers; ///< next answers of the weight box; empty = cancelled
    QStringList asked;   ///< "title|prompt" of every weight box shown
    QStringList errors;  ///< texts of the reading error boxes
    int helpShown = 0;
    QStringList csvAnswers; ///< next answers of the table file's name box
    QStringList csvErrors;  ///< "title|text" of every CSV error box shown

protected:
    QString askWeight(const QString& title, const QString& prompt) override
    {
        asked << title + QLatin1Char('|') + prompt;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    void showHelp() override { ++helpShown; }
    void showReadError(const QString&, const QString& text) override { errors << text; }
    QString askCsvName(const QString&, const QString&) override
    {
        return csvAnswers.isEmpty() ? QString() : csvAnswers.takeFirst();
    }
    void showCsvError(const QString& title, const QString& text) override
    {
        csvErrors << title + QLatin1Char('|') + text;
    }
    int csvProgressDelay() const override { return 0; }
};

class ExportFormTest : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    /// Opens \a bytes as \a name the way the open window does (header, report, sizes).
    void open(const QByteArray& bytes, const QString& name = QStringLiteral("picture.bmp"))
    {
        folder = writeTempFile(name, bytes);
        path = QDir(folder).filePath(name);
        openCommand(ws.image, view, folder, name);
        ASSERT_EQ(ws.image.ImageState, ImageState::HeaderRead) << "the file was not accepted";
    }
    /// Shows the window and runs its first timer tick, which reads the pixels.
    void start()
    {
        if (!form)
            form = std::make_unique<TestExportForm>(ws);
        form->showWindow();
        form->startupTick();
    }
    /// The control named \a name (its objectName).
    template <class T = QWidget> T* c(const char* name) const
    {
        T* w = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) const
    {
        auto* box = form->findChild<QLineEdit*>(QLatin1String(name));
        return box ? box->text() : c<QLabel>(name)->text();
    }
    void click(const char* name, Qt::MouseButton button = Qt::LeftButton, QPoint at = {})
    {
        QTest::mouseClick(c(name), button, Qt::NoModifier, at);
    }
    Selection& sel() { return ws.selection; }

    /// A mouse move with \a buttons held, as the window system sends it during a drag.
    static void moveWith(QWidget* w, QPoint pos, Qt::MouseButtons buttons)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static bool refusedLook(QLineEdit* box)
    {
        return box->palette().color(QPalette::Base) == QToolTip::palette().color(QPalette::ToolTipBase);
    }

    Workspace ws;
    RecordingOpenView view;
    QString folder;
    QString path;
    std::unique_ptr<TestExportForm> form;
};

} // namespace lumiset::test

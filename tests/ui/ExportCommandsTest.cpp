#include "ExportFormFixture.h"
#include "UiFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QSignalSpy>

#include <functional>

namespace lumiset::test {
namespace {

/// The open window whose export window is driven by a script instead of a user,
/// and whose colouring loop can press the stop button.
class ScriptedForm : public RecordingForm {
public:
    using RecordingForm::RecordingForm;

    std::function<void(ExportForm&)> user; ///< what the user does in the shown export window
    int stopAtRun = 0;                     ///< the stop button is clicked during this run (1-based)
    QList<int> frames;                     ///< the export button's frame at each colouring run

    void processEvents() override
    {
        frames << exportFrame();
        if (frames.size() == stopAtRun)
            QTest::mouseClick(control<QAbstractButton>("Image13"), Qt::LeftButton);
        RecordingForm::processEvents();
    }

protected:
    void showExportWindow() override
    {
        ++exportShown;
        exportForm().showWindow();
        exportForm().startupTick(); // reads the pixels
        if (user)
            user(exportForm());
    }
};

void press(ExportForm& window, const char* name)
{
    QTest::mouseClick(window.findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
}

class ExportCommandTest : public UiTest {
protected:
    /// A picture of 4 × 3 red points in "pics", opened in the open window.
    std::unique_ptr<ScriptedForm> openPicture()
    {
        BmpBuilder b;
        b.width = 3;
        b.height = 4;
        b.pixels.assign(4, std::vector<Rgb>(3, Rgb{255, 0, 0}));
        folder = QFileInfo(write(QStringLiteral("pics/tyu2.bmp"), b.build())).absolutePath();
        auto form = std::make_unique<ScriptedForm>(folder, QList<DriveEntry>{{QStringLiteral("test"), rootPath()}});
        form->setWorkbookFallbackFolder(mkdir(QStringLiteral("documents")));
        form->show();
        form->openListEntry(form->fileEntries().indexOf(QStringLiteral("tyu2.bmp")));
        form->setSlideTimerActive(false);
        form->setExportFrame(10);
        return form;
    }
    static void clickExport(ScriptedForm& form)
    {
        QTest::mouseClick(form.exportButton(), Qt::LeftButton, {}, QPoint(65, 13 + 260));
    }
    QString folder;
};

TEST_F(ExportCommandTest, CancelWritesNothingAndEachConfirmWritesANewWorkbook)
{
    auto form = openPicture();
    QSignalSpy confirmed(form.get(), &OpenForm::exportConfirmed);
    form->user = [](ExportForm& window) { press(window, "Image2"); };
    clickExport(*form);
    EXPECT_EQ(form->exportShown, 1);
    EXPECT_EQ(confirmed.count(), 0);
    EXPECT_TRUE(form->opened.isEmpty());

    form->user = [](ExportForm& window) { press(window, "Image1"); };
    clickExport(*form);
    clickExport(*form);
    EXPECT_EQ(confirmed.count(), 2);
    EXPECT_EQ(form->opened, (QStringList{QDir(folder).filePath(QStringLiteral("tyu2.xlsx")),
                                         QDir(folder).filePath(QStringLiteral("tyu2 (2).xlsx"))}));
    EXPECT_TRUE(QFileInfo::exists(form->opened.last()));
    EXPECT_TRUE(form->boxes.isEmpty());
    EXPECT_TRUE(form->frames.isEmpty()) << "without the tick no colouring runs";
    EXPECT_EQ(form->exportFrame(), 10);
}

TEST_F(ExportCommandTest, StopButtonEndsTheColouringAtItsRun)
{
    auto form = openPicture();
    form->stopAtRun = 2;
    form->user = [](ExportForm& window) {
        QTest::mouseClick(window.findChild<QCheckBox*>(QStringLiteral("Check1")), Qt::LeftButton);
        press(window, "Image1");
    };
    clickExport(*form);
    EXPECT_EQ(form->frames, (QList<int>{12, 12})) << "the busy frame, until the run in which stop was clicked";
    EXPECT_EQ(form->exportFrame(), 10);
    EXPECT_EQ(form->opened.size(), 1);
}

} // namespace
} // namespace lumiset::test

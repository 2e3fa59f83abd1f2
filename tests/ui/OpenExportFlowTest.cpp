#include "UiFixture.h"

#include "export/ExportForm.h"
#include "image/PixelLoader.h"
#include "open/ExportStrip.h"
#include "output/ExportPreparation.h"
#include "output/SpreadsheetExport.h"

#include <QDir>
#include <QTest>

namespace lumiset::test {
namespace {

/// The export window replaced by its outcome (whole picture, or cancel, also when
/// it comes back after a failure); a clock 100 ms further at every reading; the
/// strip seen at every events run, stop clicked at \a stopAtRun or while saving.
class FlowForm : public RecordingForm {
public:
    using RecordingForm::RecordingForm;
    bool confirm = true;
    int stopAtRun = 0;
    bool stopWhileSaving = false;
    int runs = 0;
    std::vector<int> widths;
    QStringList remaining;
    int movingRuns = 0; ///< runs that saw the bar moving
    int shownAgain = 0; ///< showings that kept the region of a failed workbook

    qint64 nowMilliseconds() override { return clock_ += 100; }
    void processEvents() override
    {
        ++runs;
        widths.push_back(control<QWidget>("Picture4")->width());
        remaining << control<QLabel>("Label5")->text();
        movingRuns += control<ProgressPicture>("Picture4")->moving() && control<QWidget>("Image13")->isVisible();
        if (runs == stopAtRun || (stopWhileSaving && movingRuns > 0))
            QTest::mouseClick(control<QWidget>("Image13"), Qt::LeftButton);
        RecordingForm::processEvents();
    }

protected:
    void showExportWindow(bool keepRegion) override
    {
        ++exportShown;
        shownAgain += keepRegion;
        Workspace& ws = workspace();
        if (!confirm || keepRegion
            || (ws.image.ImageState != ImageState::PixelsLoaded && loadPixels(ws.image) != LoadResult::Loaded))
            return;
        ws.image.ImageState = ImageState::PixelsLoaded;
        ws.selection = {1, ws.image.ImageWidth, 1, ws.image.ImageHeight};
        ws.measure.ColorPointCount = countColorPoints(ws.image, ws.selection);
        ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
    }

private:
    qint64 clock_ = 0;
};

using OpenExportFlowTest = UiTest;

TEST_F(OpenExportFlowTest, CancelWritesNothingTheWorkbookComesBesideThePictureAndStops)
{
    const QString folder = mkdir(QStringLiteral("pics"));
    write("pics/tyu2.bmp", bmp24(30, 40, {255, 0, 0}));
    FlowForm form(folder, QList<DriveEntry>{{QStringLiteral("test"), rootPath()}});
    form.show();
    form.selectFile(QStringLiteral("tyu2.xlsx")); // not there: the filter now lists every file
    form.openListEntry(form.fileEntries().indexOf(QStringLiteral("tyu2.bmp")));
    const auto workbooks = [&] {
        return QDir(folder).entryList({QStringLiteral("*.xlsx")}, QDir::Files | QDir::Hidden);
    };

    form.confirm = false;
    emit form.exportRequested();
    EXPECT_EQ(form.exportShown, 1);
    EXPECT_TRUE(workbooks().isEmpty()) << "cancel writes nothing";

    form.confirm = true;
    emit form.exportRequested();
    emit form.exportRequested();
    EXPECT_EQ(form.opened,
              (QStringList{folder + QStringLiteral("/tyu2.xlsx"), folder + QStringLiteral("/tyu2 (2).xlsx")}));
    EXPECT_EQ(form.fileEntries(), (QStringList{"tyu2 (2).xlsx", "tyu2.bmp", "tyu2.xlsx"}))
        << "the list shows what was written";
    EXPECT_EQ(form.files()->currentItem()->text(), QStringLiteral("tyu2.bmp"));
    write("pics/tyu2.csv", "1\r\n");
    emit form.exportForm().fileWritten(folder + QStringLiteral("/tyu2.csv")); // the export window's CSV button
    EXPECT_TRUE(form.fileEntries().contains(QStringLiteral("tyu2.csv")));
    EXPECT_GT(form.widths.size(), 10u) << "the strip is polled while the rows go out";
    EXPECT_TRUE(std::is_sorted(form.widths.begin() + 1, form.widths.begin() + 10));
    EXPECT_FALSE(form.remaining.filter(QStringLiteral("Осталось")).isEmpty());
    EXPECT_TRUE(form.remaining.contains(QStringLiteral("Сохранение…")));
    EXPECT_GT(form.movingRuns, 0) << "the bar moves, the stop button shows while the file is saved";

    form.stopAtRun = form.runs + 5; // the stop button while plain values are written
    emit form.exportRequested();
    form.stopWhileSaving = true;
    emit form.exportRequested();
    XlsxWorkbook::waitForAbandonedSaves();
    EXPECT_EQ(workbooks().size(), 2) << "no workbook, no temporary file";
    EXPECT_TRUE(form.boxes.isEmpty());

    // Neither the picture's folder nor the fallback can take the workbook: the
    // program says why and goes on, the export window comes back with its region.
    form.stopWhileSaving = false;
    form.setWorkbookFallbackFolder(rootPath() + QStringLiteral("missing"));
    QDir(folder).removeRecursively();
    emit form.exportRequested();
    ASSERT_EQ(form.boxes.size(), 1);
    EXPECT_EQ(form.boxes[0].title, QStringLiteral("Вывод в таблицу"));
    EXPECT_EQ(form.boxes[0].text,
              QStringLiteral("Не удалось создать файл ")
                  + QDir::toNativeSeparators(folder + QStringLiteral("/tyu2.xlsx"))
                  + QStringLiteral("\r\nПапка не найдена.\r\n") + QStringLiteral("Не удалось создать файл ")
                  + QDir::toNativeSeparators(rootPath() + QStringLiteral("missing/tyu2.xlsx"))
                  + QStringLiteral("\r\nПапка не найдена."));
    EXPECT_EQ(form.shownAgain, 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.exportButton()->isEnabled());
}

} // namespace
} // namespace lumiset::test

#include "UiFixture.h"

#include "image/PixelLoader.h"
#include "output/ExportPreparation.h"
#include "output/SpreadsheetExport.h"

#include <QTest>

namespace lumiset::test {
namespace {

/// The export window replaced by its outcome (whole picture or cancel); a clock 100 ms
/// further at every reading; the strip seen at every events run, stop clicked at \a stopAtRun.
class FlowForm : public RecordingForm {
public:
    using RecordingForm::RecordingForm;
    bool confirm = true;
    int stopAtRun = 0;
    int runs = 0;
    std::vector<int> widths;
    QStringList remaining;

    qint64 nowMilliseconds() override { return clock_ += 100; }
    void processEvents() override
    {
        ++runs;
        widths.push_back(control<QWidget>("Picture4")->width());
        remaining << control<QLabel>("Label5")->text();
        if (runs == stopAtRun)
            QTest::mouseClick(control<QWidget>("Image13"), Qt::LeftButton);
        RecordingForm::processEvents();
    }

protected:
    void showExportWindow() override
    {
        ++exportShown;
        Workspace& ws = workspace();
        if (!confirm || (ws.image.ImageState != 2 && loadPixels(ws.image) != LoadResult::Loaded))
            return;
        ws.image.ImageState = 2;
        ws.selection = {1, ws.image.ImageWidth, 1, ws.image.ImageHeight};
        ws.ColorPointCount = countColorPoints(ws.image, ws.selection);
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
    form.openListEntry(form.fileEntries().indexOf(QStringLiteral("tyu2.bmp")));
    const auto workbooks = [&] { return QDir(folder).entryList({QStringLiteral("*.xlsx")}, QDir::Files | QDir::Hidden); };

    form.confirm = false;
    emit form.exportRequested();
    EXPECT_EQ(form.exportShown, 1);
    EXPECT_TRUE(workbooks().isEmpty()) << "cancel writes nothing";

    form.confirm = true;
    emit form.exportRequested();
    emit form.exportRequested();
    EXPECT_EQ(form.opened, (QStringList{folder + QStringLiteral("/tyu2.xlsx"), folder + QStringLiteral("/tyu2 (2).xlsx")}));
    EXPECT_GT(form.widths.size(), 10u) << "the strip is polled while the rows go out";
    EXPECT_TRUE(std::is_sorted(form.widths.begin() + 1, form.widths.begin() + 10));
    EXPECT_FALSE(form.remaining.filter(QStringLiteral("Осталось")).isEmpty());

    form.stopAtRun = form.runs + 5; // the stop button while plain values are written
    emit form.exportRequested();
    EXPECT_EQ(workbooks().size(), 2);
    EXPECT_TRUE(form.boxes.isEmpty());

    // Neither the picture's folder nor the fallback can take the workbook.
    form.setWorkbookFallbackFolder(rootPath() + QStringLiteral("missing"));
    QDir(folder).removeRecursively();
    emit form.exportRequested();
    const UserMessage failure = automationFailureMessage();
    ASSERT_EQ(form.boxes.size(), 1);
    EXPECT_EQ(form.boxes[0].title, failure.title);
    EXPECT_EQ(form.programEnds, 1);
}

} // namespace
} // namespace lumiset::test

#include "ExportFormFixture.h"
#include "UiFixture.h"

#include <QProgressDialog>
#include <QSignalSpy>

#include "common/PictureButton.h"
#include "output/CsvExport.h"

#include <QBuffer>
#include <QCheckBox>

#include <functional>
#include <tuple>

namespace lumiset::test {
namespace {

// ---- start-up and reading -------------------------------------------------------------

TEST_F(ExportFormTest, FirstTickReadsThePixelsAndShowsTheDefaultRegion)
{
    open(bmp24(30, 30));
    ws.ExportCancelled = false; // the start-up must set it, not the fresh workspace
    form = std::make_unique<TestExportForm>(ws);
    form->showWindow();
    EXPECT_TRUE(c("Image6")->isVisible()) << "the progress frame shows while the pixels wait";

    form->startupTick();
    EXPECT_TRUE(ws.image.PixelRed.allocated());
    EXPECT_TRUE(ws.ExportCancelled);
    EXPECT_TRUE(c<QRadioButton>("Option1")->isChecked()) << "true colour starts on the red component";
    EXPECT_TRUE(c("Picture3")->isVisible());
    EXPECT_FALSE(c("Image6")->isVisible());
    EXPECT_EQ(text("Label9"), QStringLiteral("Масштаб 300%"));
    EXPECT_EQ(c("Picture5")->size(), QSize(60, 60));
    EXPECT_EQ(c("Vydelenie")->geometry(), QRect(0, 0, 20, 20));
    EXPECT_EQ(text("Text2") + text("Text4"), QStringLiteral("20 20")) << "the boxes show the region";
}

// 100 bottom-up rows: 3.5 units a row up to 350, one row short, redrawn once it
// has grown by 2; the drawing phase then brings it to the full 466.
TEST_F(ExportFormTest, ReadingProgressGrowsRowByRow)
{
    struct Widths : QObject {
        QList<int> seen;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            const int w = static_cast<QWidget*>(o)->width(); // the height changes as it closes
            if (e->type() == QEvent::Resize && (seen.isEmpty() || seen.last() != w))
                seen << w;
            return false;
        }
    } widths;
    open(bmp24(2, 100));
    form = std::make_unique<TestExportForm>(ws);
    c("Picture1")->installEventFilter(&widths);
    start();
    ASSERT_EQ(widths.seen.size(), 1 + 99 + 1);
    EXPECT_EQ(widths.seen.mid(0, 5), (QList<int>{1, 4, 7, 10, 14})) << "halves to even";
    EXPECT_EQ(widths.seen.at(99), 346);
    EXPECT_EQ(widths.seen.last(), 466);
}

TEST_F(ExportFormTest, UnreadableFileIsReportedAndTheWindowCloses)
{
    open(bmp24(8, 8));
    QFile::remove(path); // gone between opening and exporting
    start();
    ASSERT_EQ(form->errors.size(), 1);
    EXPECT_TRUE(form->errors.first().contains(QDir::toNativeSeparators(path)));
    EXPECT_EQ(ws.image.ImageState, ImageState::HeaderRead) << "the next showing tries again";
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(ws.ExportCancelled);
}

TEST_F(ExportFormTest, SecondShowingKeepsZoomAndWeightsAndDoesNotReadAgain)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    open(bmp24(3, 2));
    start();
    form->answers = {QStringLiteral("0,3")};
    click("Label18");
    click("Picture5", Qt::LeftButton, {1, 1});
    c<QScrollBar>("HScroll2")->setValue(2);
    click("Image2");

    QFile::remove(path); // a second reading would fail now
    start();
    EXPECT_TRUE(form->errors.isEmpty());
    EXPECT_EQ(form->zoom(), 4);
    EXPECT_EQ(text("Label18"), QStringLiteral("0,300"));
    EXPECT_EQ(ws.measure.BrightnessMeasure, MeasureRed) << "the measure is chosen again";
    EXPECT_EQ(sel().SelColumnTo, 3) << "the region is the default again";
    EXPECT_EQ(text("Label9"), QStringLiteral("Масштаб 400%")) << "the bars' change redraws the zoomed view";

    c<QScrollBar>("HScroll2")->setValue(2);
    click("Image2");
    form->keepRegionAtNextShowing(); // back after a workbook that could not be written
    start();
    EXPECT_EQ(sel().SelColumnTo, 2);
    EXPECT_EQ(text("Text4"), QStringLiteral(" 2"));
}

// ---- the region: bars, boxes, drag ------------------------------------------------------

TEST_F(ExportFormTest, BarMovesItsBoxTheOtherBoundAndTheFrame)
{
    open(bmp24(400, 50));
    start();
    c<QScrollBar>("HScroll3")->setValue(350);
    EXPECT_EQ(c<QScrollBar>("HScroll2")->value(), 350) << "the last column follows the first";
    EXPECT_EQ(text("Text3"), QStringLiteral(" 350"));
    EXPECT_EQ(text("Text4"), QStringLiteral(" 350"));
    EXPECT_EQ(text("Text5"), QStringLiteral(" 1"));
    EXPECT_EQ(c("Vydelenie")->geometry(), QRect(349, 0, 1, 20));
    EXPECT_EQ(c("Picture5")->size(), QSize(3, 60)) << "the zoomed view follows";

    auto* lastRow = c<QScrollBar>("VScroll2");
    lastRow->setSliderDown(true);
    lastRow->setValue(40);
    EXPECT_EQ(sel().SelRowTo, 20) << "the last-row bar waits for its thumb to be let go";
    lastRow->setSliderDown(false);
    EXPECT_EQ(text("Text2"), QStringLiteral("40"));
    EXPECT_EQ(text("Text6"), QStringLiteral(" 40"));
}

TEST_F(ExportFormTest, TypedBoxMovesItsBarOrIsRefusedUntilItIsLeft)
{
    open(bmp24(300, 100));
    start();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* lastRow = c<QLineEdit>("Text2");
    lastRow->setFocus();
    lastRow->selectAll();
    QTest::keyClicks(lastRow, QStringLiteral("45"));
    EXPECT_EQ(c<QScrollBar>("VScroll2")->value(), 45);
    EXPECT_EQ(text("Text6"), QStringLiteral(" 45"));
    EXPECT_EQ(c("Vydelenie")->height(), 45);
    EXPECT_EQ(lastRow->text(), QStringLiteral("45")) << "the box keeps what was typed";

    // A refused text keeps the tooltip colour until the box is left, which shows the bound in force.
    auto* lastColumn = c<QLineEdit>("Text4");
    lastColumn->setFocus();
    lastColumn->selectAll();
    QTest::keyClicks(lastColumn, QStringLiteral("999"));
    EXPECT_TRUE(refusedLook(lastColumn));
    EXPECT_EQ(text("Text5"), QStringLiteral(" 99"));
    QTest::keyClick(lastColumn, Qt::Key_Backspace);
    EXPECT_FALSE(refusedLook(lastColumn)) << "a valid number clears the colour";
    QTest::keyClick(lastColumn, Qt::Key_9);
    lastRow->setFocus();
    EXPECT_EQ(lastColumn->text(), QStringLiteral(" 99"));
    EXPECT_FALSE(refusedLook(lastColumn));
    // An export started while a box still holds one writes the region the boxes then show.
    lastColumn->setFocus();
    QTest::keyClicks(lastColumn, QStringLiteral("x"));
    EXPECT_TRUE(refusedLook(lastColumn));
    emit form->exportCommand();
    EXPECT_EQ(lastColumn->text(), QStringLiteral(" 99"));
    EXPECT_EQ(ws.request.columnCount, 99);
}

TEST_F(ExportFormTest, DragSelectsAndTheReleaseRedrawsTheZoomedView)
{
    open(bmp24(1200, 400));
    start();
    QWidget* picture = c("Picture3");
    // The region runs from the point under the press, wherever the first move lands.
    QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, {10, 5});
    for (QPoint p : {QPoint(12, 6), QPoint(5, 3), QPoint(15, 8)})
        QTest::mouseMove(picture, p);
    EXPECT_TRUE(form->dragging());
    EXPECT_EQ(c("Picture5")->size(), QSize(60, 60)) << "the zoomed view waits for the release";
    QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, {15, 8});
    EXPECT_FALSE(form->dragging());
    EXPECT_EQ(c("Vydelenie")->geometry(), QRect(10, 5, 6, 4));
    EXPECT_EQ(c<QScrollBar>("HScroll3")->value(), 11);
    EXPECT_EQ(c<QScrollBar>("VScroll2")->value(), 9);
    EXPECT_EQ(text("Text5"), QStringLiteral(" 6"));
    EXPECT_EQ(text("Text1"), QStringLiteral("6"));
    EXPECT_EQ(c("Picture5")->size(), QSize(18, 12));

    // A release that went elsewhere: the next move without the button ends the drag.
    moveWith(picture, {0, 0}, Qt::LeftButton);
    moveWith(picture, {99, 9}, Qt::LeftButton);
    moveWith(picture, {120, 30}, Qt::NoButton);
    EXPECT_FALSE(form->dragging());
    EXPECT_EQ(c("Picture5")->size(), QSize(300, 30)) << "the region the drag reached is drawn";

    // A drag across a thousand columns selects them all.
    QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, {999, 4});
    moveWith(picture, {0, 0}, Qt::LeftButton);
    QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, {1, 1});
    EXPECT_EQ(text("Text5"), QStringLiteral(" 1000"));
    EXPECT_EQ(c("Vydelenie")->geometry(), QRect(0, 0, 1000, 5));
}

// ---- zoom and readout -----------------------------------------------------------------

TEST_F(ExportFormTest, ZoomClicksStayBetween1And20AndADoubleClickCountsTwice)
{
    open(bmp24(30, 30));
    start();
    click("Picture5", Qt::LeftButton, {1, 1});
    EXPECT_EQ(form->zoom(), 4);
    form->setZoom(20);
    click("Picture5", Qt::LeftButton, {1, 1});
    EXPECT_EQ(form->zoom(), 20);
    EXPECT_EQ(form->zoomPointer(), art::ZoomGlyph::Out) << "only the pointer changes at the limit";
    form->setZoom(1);
    click("Picture5", Qt::RightButton, {1, 1});
    EXPECT_EQ(form->zoom(), 1) << "nor at 1";

    QWidget* zoomed = c("Picture5");
    auto send = [zoomed](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(1, 1), zoomed->mapToGlobal(QPointF(1, 1)), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(zoomed, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(form->zoom(), 3);
}

TEST_F(ExportFormTest, ReadoutLabelsFollowThePointerOnBothViews)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    open(bmp24(3, 2, {10, 20, 31}));
    start();
    c<QRadioButton>("Option4")->click();
    moveWith(c("Picture3"), {2, 1}, Qt::NoButton);
    // The texts are SelectionMath's (Readout tests); here only which point and view reach them.
    EXPECT_EQ(text("Label10") + text("Label11"), QStringLiteral("X:  3Y:  2"));
    EXPECT_EQ(text("Label16"), QStringLiteral("Яркость 20,3"));
    moveWith(c("Picture5"), {3, 0}, Qt::NoButton); // the second point at zoom 3
    EXPECT_EQ(text("Label10") + text("Label11"), QStringLiteral("Х:  2Y:  1")) << "the zoomed view's own X";
}

// ---- measures and weights --------------------------------------------------------------

TEST_F(ExportFormTest, MeasureButtonsAndWeightLabels)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    open(bmp24(3, 2));
    start();
    c<QRadioButton>("Option2")->click();
    EXPECT_EQ(ws.measure.BrightnessMeasure, MeasureGreen);
    EXPECT_TRUE(c<QLabel>("Label13")->font().bold());
    EXPECT_FALSE(c("Label16")->isVisible());
    form->pulseTick();
    EXPECT_EQ(form->findChild<SelectionFrame*>(QStringLiteral("Vydelenie"))->colour(), QColor(17, 70, 17));

    // Which answers are numbers is SelectionMath's (Weight tests); here a refused one and a wider caption.
    for (const auto& [answer, red, caption] :
         {std::tuple{"1,2,3", 0.299f, "0,299"}, std::tuple{"12", 12.0f, "12,000"}}) {
        SCOPED_TRACE(answer);
        form->answers = {QString::fromUtf8(answer)};
        click("Label18", Qt::LeftButton, {2, 2});
        EXPECT_FLOAT_EQ(ws.measure.CoefRed, red);
        EXPECT_EQ(text("Label18"), QLatin1String(caption));
        EXPECT_EQ(c("Label19")->x(), c("Label18")->x() + c("Label18")->width() + 1) << "the formula closes up";
    }
    EXPECT_EQ(form->asked.first(),
              QStringLiteral("Ввести коэффициент красной составляющей|Введите долю красной составляющей "));
    EXPECT_TRUE(c<QRadioButton>("Option6")->isChecked()) << "a weight chooses the luminance";
}

// ---- commands ---------------------------------------------------------------------------

TEST_F(ExportFormTest, CancelHelpAndPressedLooks)
{
    open(bmp24(3, 2));
    start();
    for (const char* name : {"Image1", "Image15", "Image2", "Image3"}) {
        auto* b = c<PictureButton>(name);
        const QImage up = b->grab().toImage();
        QTest::mousePress(b, Qt::LeftButton);
        EXPECT_NE(b->grab().toImage(), up) << name << ": the pressed picture is drawn";
        b->setDown(false);
        EXPECT_EQ(b->grab().toImage(), up) << name;
    }
    ws.ExportCancelled = false;
    click("Image2");
    EXPECT_TRUE(ws.ExportCancelled);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->findChild<QTimer*>(QStringLiteral("Timer2"))->isActive()) << "the pulse stops";
}

TEST_F(ExportFormTest, ExportPreparesTheRequestWithTheTickAndCloses)
{
    for (const bool ticked : {false, true}) {
        SCOPED_TRACE(ticked ? "ticked" : "not ticked");
        form.reset();
        ws = Workspace{};
        open(bmp24(3, 2, {255, 0, 0}));
        start();
        EXPECT_FALSE(c<QCheckBox>("Check1")->isChecked()) << "each showing starts without colouring";
        if (ticked)
            click("Check1");
        click("Image1");
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(ws.ExportCancelled);
        EXPECT_EQ(ws.request.rowCount, 2);
        EXPECT_EQ(ws.request.columnCount, 3);
        EXPECT_EQ(ws.request.FillCellBackground, ticked);
    }
}

TEST_F(ExportFormTest, CsvIsWrittenBesideThePictureOrTheErrorShown)
{
    open(bmp24(3, 2));
    start();
    form->csvAnswers << QStringLiteral("missing/res") << QStringLiteral("res");
    QSignalSpy written(form.get(), &ExportForm::fileWritten);
    click("Image15");
    const QString target = QDir(folder).filePath(QStringLiteral("missing/res.csv"));
    const UserMessage expected = csvErrorMessage(CsvError::CannotCreate, QDir::toNativeSeparators(target));
    EXPECT_EQ(form->csvErrors, QStringList{expected.title + QLatin1Char('|') + expected.text});
    click("Image15");
    EXPECT_EQ(form->csvErrors.size(), 1);
    EXPECT_TRUE(form->isVisible()) << "the window stays open";
    EXPECT_TRUE(ws.ExportCancelled) << "saving a table file is no export";
    QFile csv(QDir(folder).filePath(QStringLiteral("res.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith("200;200;200\r\n200;200;200\r\n"));
    ASSERT_EQ(written.count(), 1) << "only the file that was written";
    EXPECT_EQ(written[0][0].toString(), csv.fileName());
}

TEST_F(ExportFormTest, CsvProgressBoxShowsAndItsStopLeavesNoFile)
{
    open(bmp24(50, 40));
    start();
    form->csvAnswers << QStringLiteral("res");
    bool shown = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* box = form->findChild<QProgressDialog*>(QStringLiteral("CsvProgress"));
        shown = box && box->isVisible();
        if (box)
            box->cancel();
    });
    click("Image15");
    EXPECT_TRUE(shown);
    EXPECT_TRUE(form->csvErrors.isEmpty()) << "a stop is no error";
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath(QStringLiteral("res.csv"))));
}

// ---- pictures decoded by Qt -------------------------------------------------------------

TEST_F(ExportFormTest, SixteenBitPictureReadsOutAndExportsItsOwnValues)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    QImage picture(3, 2, QImage::Format_RGBX64);
    picture.fill(QColor::fromRgba64(1000, 40000, 65535));
    picture.setPixelColor(2, 1, QColor::fromRgba64(51400, 300, 65280));
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&png, "PNG"));
    open(png.data(), QStringLiteral("deep.png"));
    start();
    c<QRadioButton>("Option4")->click(); // the mean
    // The texts are the core's; here the window hands over the 16-bit samples, not 8-bit ones.
    moveWith(c("Picture5"), {8, 5}, Qt::NoButton);
    EXPECT_EQ(text("Label12"), QStringLiteral("Красный  51400"));
    EXPECT_EQ(text("Label16"), QStringLiteral("Яркость 38993,33"));
    click("Image1");
    EXPECT_EQ(ws.request.rowCount, 2);
    EXPECT_FALSE(ws.ExportCancelled);
}

// ---- the keyboard ----------------------------------------------------------------------

struct KeyCase {
    const char* rule;
    QWidget* control;
    Qt::Key key;
    std::function<int()> count; ///< 0 before the key, 1 after it
};

/// Tab from \a from reaches the controls named in \a order in turn; each key case
/// presses its key on its control.
void checkKeyboard(QWidget* window, QWidget* from, const char* order, const std::vector<KeyCase>& keys)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    from->setFocus();
    QStringList reached;
    for (qsizetype i = 0, n = QString::fromLatin1(order).count(u' ') + 1; i < n; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(reached.join(u' '), QLatin1String(order));
    for (const KeyCase& k : keys) {
        SCOPED_TRACE(k.rule);
        k.control->setFocus();
        EXPECT_EQ(k.count(), 0);
        QTest::keyClick(k.control, k.key);
        EXPECT_EQ(k.count(), 1);
    }
}

// Tab follows the eye through both windows; Enter and the space bar press what has the
// focus, Enter in the file list opens the file, F1 opens the help of the window in front.
TEST_F(ExportFormTest, KeyboardReachesAndPressesEveryCommandOfBothWindows)
{
    open(bmp24(30, 30));
    RecordingForm openForm(folder, QList<DriveEntry>{{QStringLiteral("test"), folder}});
    openForm.show();
    openForm.openListEntry(0);
    checkKeyboard(
        &openForm, openForm.files(), "Dir1 Text4 Image1 Picture3 Image3 Text7 Check1 Text5 ComboPattern Drive1 File1",
        {{"Enter in the file list opens the file", openForm.files(), Qt::Key_Return,
          [&, calls = 0]() mutable { // the first call clears the report
              if (calls++ == 0)
                  openForm.setReport(QString());
              return int(openForm.report().startsWith(QStringLiteral("BMP формат")));
          }},
         {"Enter on help", openForm.control<QWidget>("Image3"), Qt::Key_Enter, [&] { return openForm.helpShown; }},
         {"F1 in the file list", openForm.files(), Qt::Key_F1, [&] { return openForm.helpShown - 1; }},
         {"space bar on export", openForm.exportButton(), Qt::Key_Space, [&] { return openForm.exportShown; }}});

    start();
    checkKeyboard(
        form.get(), c("Picture3"),
        "Image1 Image15 Image2 Image3 OutputOptions Option1 Label18 Label20 Label22 Text3 Text4 Text5 Text1 Text2 "
        "Text6 Picture5 Check1 Image1",
        {{"Enter on help", c("Image3"), Qt::Key_Return, [&] { return form->helpShown; }},
         {"F1 in a region box", c("Text1"), Qt::Key_F1, [&] { return form->helpShown - 1; }},
         {"Enter on a weight", c("Label20"), Qt::Key_Return, [&] { return int(form->asked.size()); }}});
    c("Image1")->setFocus();
    const QImage withFocus = c("Image1")->grab().toImage();
    c("Image15")->setFocus();
    EXPECT_NE(c("Image1")->grab().toImage(), withFocus) << "the focus mark shows";
}

} // namespace
} // namespace lumiset::test

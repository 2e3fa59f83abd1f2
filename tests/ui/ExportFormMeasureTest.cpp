#include "ExportFormFixture.h"

#include "common/PictureButton.h"

namespace lumiset::test {
namespace {

/// A 3 × 2 true-colour picture whose top-left point is (10, 20, 31).
QByteArray meanPicture(bool grey = false)
{
    BmpBuilder b;
    b.width = 3;
    b.height = 2;
    b.pixels.assign(2, std::vector<Rgb>(3, Rgb{90, 90, 90}));
    if (!grey)
        b.pixels[0][0] = Rgb{10, 20, 31};
    return b.build();
}

// ---- the readout -----------------------------------------------------------------------

TEST_F(ExportFormTest, ReadoutOfTrueColourOnBothViewsUnderACommaLocale)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    open(meanPicture());
    start();
    c<QRadioButton>("Option4")->click();
    moveWith(c("Picture3"), {0, 0}, Qt::NoButton);
    EXPECT_EQ(form->text("Label10"), QStringLiteral("X:  1"));
    EXPECT_EQ(form->text("Label11"), QStringLiteral("Y:  1"));
    EXPECT_EQ(form->text("Label12"), QStringLiteral("Красный  10"));
    EXPECT_EQ(form->text("Label13"), QStringLiteral("Зелёный  20"));
    EXPECT_EQ(form->text("Label14"), QStringLiteral("Синий  31"));
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость 20,3"));

    moveWith(c("Picture5"), {2, 2}, Qt::NoButton); // still the first point at zoom 3
    EXPECT_EQ(form->text("Label10"), QStringLiteral("Х:  1"));
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость 20,33"));
    moveWith(c("Picture5"), {3, 3}, Qt::NoButton);
    EXPECT_EQ(form->text("Label10"), QStringLiteral("Х:  2"));
    EXPECT_EQ(form->text("Label11"), QStringLiteral("Y:  2"));
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость 90,00"));

    c<QRadioButton>("Option5")->click();
    moveWith(c("Picture3"), {0, 0}, Qt::NoButton);
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость 31"));
}

TEST_F(ExportFormTest, ReadoutOfAPaletteImageShowsThePaletteColour)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    BmpBuilder b;
    b.width = b.height = 2;
    b.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i)
        b.palette.push_back(Rgb{std::uint8_t(i), std::uint8_t(255 - i), 7});
    b.indices.assign(2, std::vector<std::uint8_t>(2, 3));
    open(b.build(), QStringLiteral("p8.bmp"));
    start();
    moveWith(c("Picture3"), {1, 1}, Qt::NoButton);
    EXPECT_EQ(form->text("Label12"), QStringLiteral("Красный  3"));
    EXPECT_EQ(form->text("Label13"), QStringLiteral("Зелёный  252"));
    EXPECT_EQ(form->text("Label14"), QStringLiteral("Синий  7"));
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость 87,3")) << "the mean chosen for 8-bit pictures";
}

TEST_F(ExportFormTest, ReadoutOfAGreyTgaShowsOnlyTheLevel)
{
    TgaBuilder t;
    t.imageType = 3;
    t.pixelDepth = 8;
    t.width = 2;
    t.height = 2;
    t.indices = {{77, 78}, {79, 80}};
    open(t.build(), QStringLiteral("grey.tga"));
    start();
    EXPECT_EQ(ws.ColorPointCount, 0);
    EXPECT_FALSE(c("Option1")->isVisible());
    EXPECT_TRUE(c("Label15")->isVisible());
    moveWith(c("Picture3"), {1, 1}, Qt::NoButton);
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость 80"));
    EXPECT_EQ(form->text("Label12"), QStringLiteral("Красный")) << "components are not shown";
    moveWith(c("Picture5"), {0, 0}, Qt::NoButton);
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость 77"));
}

TEST_F(ExportFormTest, GreyRegionHidesTheMeasuresAndFreezesTheBrightness)
{
    open(meanPicture(true));
    start();
    EXPECT_EQ(ws.ColorPointCount, 0);
    for (const char* name : {"Option1", "Option6", "Label17", "Label22"})
        EXPECT_FALSE(c(name)->isVisible()) << name;
    EXPECT_TRUE(c("Label15")->isVisible());
    EXPECT_EQ(form->text("Label15"), QStringLiteral("Яркость чёрно-белого изображения"));
    c<QRadioButton>("Option4")->setChecked(true);
    moveWith(c("Picture3"), {0, 0}, Qt::NoButton);
    EXPECT_EQ(form->text("Label16"), QStringLiteral("Яркость"));
}

// ---- measures and weights -------------------------------------------------------------

TEST_F(ExportFormTest, OptionsSetMeasureBoldLabelAndFrameHue)
{
    open(meanPicture());
    start();
    c<QRadioButton>("Option2")->click();
    EXPECT_EQ(ws.BrightnessMeasure, MeasureGreen);
    EXPECT_EQ(ws.FrameHue, 2);
    EXPECT_TRUE(c<QLabel>("Label13")->font().bold());
    EXPECT_FALSE(c<QLabel>("Label12")->font().bold());
    EXPECT_FALSE(c("Label16")->isVisible());
    form->timer2Tick();
    EXPECT_EQ(form->findChild<SelectionFrame*>(QStringLiteral("Vydelenie"))->colour(), QColor(17, 70, 17));

    c<QRadioButton>("Option5")->click();
    EXPECT_EQ(ws.BrightnessMeasure, MeasureMaximum);
    EXPECT_EQ(ws.FrameHue, 2) << "the maximum keeps the hue";
    EXPECT_TRUE(c("Label16")->isVisible());
    EXPECT_TRUE(c<QLabel>("Label16")->font().bold());
    QTest::mouseClick(c("Label19"), Qt::LeftButton);
    EXPECT_TRUE(c<QRadioButton>("Option6")->isChecked());
    EXPECT_EQ(ws.BrightnessMeasure, MeasureLuminance);
}

TEST_F(ExportFormTest, WeightBoxAnswers)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    open(meanPicture());
    start();
    const struct {
        const char* answer;
        float red;
        const char* caption;
    } cases[] = {
        {" 0,3 ", 0.3f, "0,300"}, {"0.25", 0.25f, "0,250"}, {"1,2,3", 0.25f, "0,250"}, {"0.3a", 0.25f, "0,250"},
        {"-0.3", 0.25f, "0,250"}, {"0 3", 0.25f, "0,250"},  {"2", 2.0f, "2,000"},      {"", 2.0f, "2,000"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.answer);
        c<QRadioButton>("Option1")->click();
        form->answers = {QString::fromUtf8(k.answer)};
        QTest::mouseClick(c("Label18"), Qt::LeftButton);
        EXPECT_FLOAT_EQ(ws.CoefRed, k.red);
        EXPECT_EQ(form->text("Label18"), QLatin1String(k.caption));
        EXPECT_TRUE(c<QRadioButton>("Option6")->isChecked()) << "luminance stays chosen";
        EXPECT_EQ(ws.BrightnessMeasure, MeasureLuminance);
        EXPECT_EQ(c("Label19")->x(), c("Label18")->x() + c("Label18")->width() + 1);
    }
    EXPECT_EQ(form->asked.first(),
              QStringLiteral("Ввести коэффициент красной составляющей|Введите долю красной составляющей "));
    form->answers = {QStringLiteral("0,5")};
    QTest::mouseClick(c("Label22"), Qt::LeftButton);
    EXPECT_FLOAT_EQ(ws.CoefBlue, 0.5f);
    EXPECT_EQ(form->asked.last(), QStringLiteral("Ввести коэффициент синей составляющей|Введите долю синей составляющей "));
}

// Only a left click let go over the label edits a weight; a right click or a
// press dragged off the label is not a click.
TEST_F(ExportFormTest, WeightLabelsAnswerOnlyALeftClick)
{
    open(meanPicture());
    start();
    QWidget* weight = c("Label18");
    QTest::mouseClick(weight, Qt::RightButton);
    QTest::mouseClick(weight, Qt::MiddleButton);
    QTest::mousePress(weight, Qt::LeftButton, Qt::NoModifier, {2, 2});
    QTest::mouseRelease(weight, Qt::LeftButton, Qt::NoModifier, {2, weight->height() + 30});
    QTest::mouseClick(c("Label17"), Qt::RightButton);
    EXPECT_TRUE(form->asked.isEmpty());
    EXPECT_EQ(ws.BrightnessMeasure, MeasureRed);
    QTest::mouseClick(weight, Qt::LeftButton, Qt::NoModifier, {2, 2});
    EXPECT_EQ(form->asked.size(), 1);
    EXPECT_EQ(ws.BrightnessMeasure, MeasureLuminance);
}

// ---- buttons and showings ---------------------------------------------------------------

TEST_F(ExportFormTest, CancelCloseAndExportSetExportCancelled)
{
    open(meanPicture());
    start();
    ws.ExportCancelled = false;
    c<QAbstractButton>("Image2")->click();
    EXPECT_TRUE(ws.ExportCancelled);
    EXPECT_FALSE(form->isVisible());
    auto* timer2 = form->findChild<QTimer*>(QStringLiteral("Timer2"));
    EXPECT_FALSE(timer2->isActive()) << "the pulse stops with the window";

    start();
    EXPECT_TRUE(timer2->isActive());
    form->close();
    EXPECT_TRUE(ws.ExportCancelled);

    start();
    form->finishExport();
    EXPECT_FALSE(ws.ExportCancelled);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ExportFormTest, HelpAndPressedLooks)
{
    open(meanPicture());
    start();
    for (const char* name : {"Image1", "Image15", "Image2", "Image3"}) {
        auto* b = c<PictureButton>(name);
        const QImage up = b->grab().toImage();
        QTest::mousePress(b, Qt::LeftButton);
        EXPECT_TRUE(b->showsPressed()) << name;
        const QImage down = b->grab().toImage();
        b->setDown(false);
        EXPECT_NE(down, up) << name << ": the pressed picture is drawn";
        EXPECT_EQ(b->grab().toImage(), up) << name << ": and the released one comes back";
    }
    c<QAbstractButton>("Image3")->click();
    EXPECT_EQ(form->helpShown, 1);
    EXPECT_TRUE(form->isVisible()) << "help leaves the window as it was";
}

TEST_F(ExportFormTest, SecondShowingKeepsZoomAndWeightsAndDoesNotReadAgain)
{
    QLocale::setDefault(QLocale(QLocale::Russian));
    open(meanPicture());
    start();
    form->answers = {QStringLiteral("0,3")};
    QTest::mouseClick(c("Label18"), Qt::LeftButton);
    QTest::mouseClick(c("Picture5"), Qt::LeftButton, Qt::NoModifier, {1, 1});
    c<QScrollBar>("HScroll2")->setValue(2);
    c<QAbstractButton>("Image2")->click();

    QFile::remove(path); // a second reading would fail now
    start();
    EXPECT_TRUE(form->errors.isEmpty());
    EXPECT_EQ(ws.image.ImageState, 3);
    EXPECT_EQ(form->Zoom, 4);
    EXPECT_EQ(form->text("Label18"), QStringLiteral("0,300"));
    EXPECT_EQ(ws.BrightnessMeasure, MeasureRed) << "the measure is chosen again by depth";
    EXPECT_EQ(sel().SelColumnTo, 3) << "the region is the default again";
    EXPECT_EQ(form->text("Label9"), QStringLiteral("Масштаб 400%"));
}

// A palette picture starts on the mean, which leaves the frame's hue alone:
// the blue chosen on the last showing still colours the pulse.
TEST_F(ExportFormTest, FrameHueKeptAcrossShowingsAndImage6OnlyWhileReading)
{
    BmpBuilder b;
    b.width = b.height = 2;
    b.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i)
        b.palette.push_back(Rgb{std::uint8_t(i), 0, 0});
    b.indices.assign(2, std::vector<std::uint8_t>(2, 5));
    open(b.build(), QStringLiteral("p8.bmp"));
    start();
    c<QRadioButton>("Option3")->click();
    EXPECT_EQ(ws.FrameHue, 3);
    form->timer2Tick();
    auto* frame = form->findChild<SelectionFrame*>(QStringLiteral("Vydelenie"));
    EXPECT_EQ(frame->colour(), QColor(17, 17, 70)) << "blue pulse";
    c<QAbstractButton>("Image2")->click();

    form->showWindow();
    EXPECT_FALSE(c("Image6")->isVisible()) << "the pixels are read already";
    form->timer1Tick();
    EXPECT_TRUE(c<QRadioButton>("Option4")->isChecked());
    EXPECT_EQ(ws.FrameHue, 3);
    form->timer2Tick();
    EXPECT_EQ(frame->colour(), QColor(17, 17, 70));
}

TEST_F(ExportFormTest, ResizeWidensOnlyTheViewport)
{
    open(bmp24(1000, 50));
    start();
    form->resize(760, form->height());
    QApplication::processEvents();
    EXPECT_EQ(c("Picture2")->width(), 760 - 392 - 16);
    EXPECT_EQ(c("HScroll1")->width(), c("Picture2")->width());
    EXPECT_EQ(c<QScrollBar>("HScroll1")->maximum(), 1000 - (760 - 392 - 16) + 2);
    EXPECT_EQ(c("Picture4")->geometry().top(), 184 + (169 - 60) / 2) << "the zoomed view stays";
    auto* grip = form->findChild<LineControl*>(QStringLiteral("Line18"));
    EXPECT_EQ(grip->from(), QPoint(760 - 9, form->height() - 41));

    form->resize(392 + 16 + 7, form->height());
    QApplication::processEvents();
    EXPECT_EQ(c("Picture2")->width(), 760 - 392 - 16) << "too narrow: nothing changes";

    ws = Workspace{};
    form.reset();
    open(bmp24(100, 50));
    start();
    form->resize(800, form->height());
    QApplication::processEvents();
    EXPECT_EQ(c("Picture2")->width(), 100) << "a narrow picture is shown whole";
}

TEST_F(ExportFormTest, ProgressStripClickMovesItDownAndBack)
{
    open(meanPicture());
    start();
    QWidget* strip = c("Picture1");
    strip->show();
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, {0, 2});
    EXPECT_EQ(strip->y(), 8 + 26);
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, {0, 2});
    EXPECT_EQ(strip->y(), 8);
    QTest::mouseClick(strip, Qt::RightButton, Qt::NoModifier, {0, 2});
    QTest::mousePress(strip, Qt::LeftButton, Qt::NoModifier, {0, 2});
    QTest::mouseRelease(strip, Qt::LeftButton, Qt::NoModifier, {0, 60});
    EXPECT_EQ(strip->y(), 8) << "neither the right button nor a release off the strip moves it";
}

} // namespace
} // namespace lumiset::test

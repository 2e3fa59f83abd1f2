#include "UiFixture.h"

#include "common/Artwork.h"
#include "common/PictureButton.h"
#include "open/PreviewBox.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimerEvent>

namespace lumiset::test {
namespace {

class ReportTest : public UiTest {
protected:
    /// Opens \a name of the scratch root through the file list, as a click does.
    void open(RecordingForm& form, const QString& name)
    {
        const QList<QListWidgetItem*> items = form.files()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        form.files()->setCurrentItem(items.first());
    }
    void showAllFiles(RecordingForm& form) { emit form.control<QComboBox>("ComboPattern")->activated(2); }
    /// One tick of the slide timer, delivered as the event loop would.
    static void tick(QTimer* timer)
    {
        ASSERT_TRUE(timer->isActive());
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }
    static QRect geometryOf(const RecordingForm& form, const char* name)
    {
        return form.control<QWidget>(name)->geometry();
    }
};

TEST_F(ReportTest, EmptyFileIsReportedWithTheCrossedPreview)
{
    write("full.bmp", bmp24(3, 2));
    write("empty.bmp", QByteArray());
    auto form = makeForm();
    open(*form, "full.bmp");
    open(*form, "empty.bmp");
    EXPECT_EQ(form->report(), QStringLiteral("Файл занимает 0 байт."));
    EXPECT_TRUE(form->boxes.isEmpty());
    EXPECT_TRUE(form->control<QWidget>("Line1")->isVisible());
    EXPECT_TRUE(form->control<QWidget>("Line2")->isVisible());
    auto* box = form->control<PreviewBox>("Image11");
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->picture().isNull());
    EXPECT_TRUE(box->bordered());
    const QRect text7 = geometryOf(*form, "Text7");
    EXPECT_EQ(box->geometry(), QRect(text7.x(), 64, 265, 161));
    EXPECT_FALSE(form->exportButton()->isEnabled());
    EXPECT_EQ(form->exportFrame(), 0);
    EXPECT_FALSE(form->control<QTimer>("Timer0")->isActive());
    // The cross runs corner to corner over the emptied box.
    auto* line1 = form->control<QWidget>("Line1");
    EXPECT_EQ(line1->geometry(), QRect(text7.x(), 64, 265, 161));
}

TEST_F(ReportTest, BitmapNamedFileThatIsNotABitmapIsRefusedWithABox)
{
    write("letter.bmp", "Dear reader");
    auto form = makeForm();
    open(*form, "letter.bmp");
    ASSERT_EQ(form->boxes.size(), 1);
    EXPECT_EQ(form->boxes[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(form->boxes[0].title, QStringLiteral("Неизвестный формат файла"));
    EXPECT_EQ(form->boxes[0].text, QStringLiteral("Файл letter.bmp\r\n или имеет неизвестный формат или\r\n"
                                                  "не является изображением, а содержит что-то другое."));
    EXPECT_FALSE(form->exportButton()->isEnabled());
    EXPECT_FALSE(form->control<QAbstractButton>("Image1")->isDown());
}

TEST_F(ReportTest, SmallBitmapIsShownAtActualSizeInTheMiddleOfTheBand)
{
    write("small.bmp", bmp24(100, 50, {10, 20, 30}));
    auto form = makeForm();
    open(*form, "small.bmp");
    EXPECT_EQ(form->labelText(OpenLabel::SizeCaption), QStringLiteral("100 x 50   Масштаб 1:1    16 млн. цветов"));
    EXPECT_EQ(form->control<QLabel>("Label1")->text(), form->labelText(OpenLabel::SizeCaption));
    auto* box = form->control<PreviewBox>("Image11");
    const QRect text7 = geometryOf(*form, "Text7");
    EXPECT_TRUE(box->isVisible());
    // (265 - 100) / 2 and (161 - 50) / 2 end in halves, which go to the even pixel.
    EXPECT_EQ(box->geometry(), QRect(text7.x() + 82, 64 + 56, 100, 50));
    EXPECT_FALSE(form->control<QWidget>("Line1")->isVisible());
    EXPECT_FALSE(form->control<QWidget>("Picture1")->isVisible());
    const QImage grabbed = box->grab().toImage();
    EXPECT_EQ(QColor(grabbed.pixel(50, 25)), QColor(10, 20, 30));
}

TEST_F(ReportTest, LargeBitmapIsScaledIntoTheBand)
{
    write("wide.bmp", bmp24(530, 100));
    auto form = makeForm();
    open(*form, "wide.bmp");
    auto* box = form->control<PreviewBox>("Image11");
    EXPECT_LE(box->width(), 265);
    EXPECT_LE(box->height(), 161);
    EXPECT_EQ(box->width(), 265);
    EXPECT_TRUE(form->labelText(OpenLabel::SizeCaption).contains(QStringLiteral("Уменьшено в")));
    // The whole line, colour count included, stays readable in the label.
    auto* label = form->control<QLabel>("Label1");
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width());
}

TEST_F(ReportTest, PalettedBitmapShowsItsSwatch)
{
    write("p8.bmp", bmp8(4, 2));
    write("plain.bmp", bmp24(2, 2));
    auto form = makeForm();
    open(*form, "p8.bmp");
    auto* swatch = form->control<PaletteSwatch>("Picture1");
    ASSERT_TRUE(swatch->isVisible());
    EXPECT_TRUE(form->labelText(OpenLabel::SizeCaption).endsWith(QStringLiteral("256 цветов")));
    // Cell n shows palette entry n; the synthetic palette is (n, 255 - n, 7).
    const QImage grabbed = swatch->grab().toImage();
    const struct { int n; QColor colour; } cells[] = {{0, {0, 255, 7}}, {33, {33, 222, 7}}, {255, {255, 0, 7}}};
    for (const auto& c : cells) {
        SCOPED_TRACE(c.n);
        const QPoint centre(PaletteSwatch::kMargin + 10 * (c.n % 32) + 4, PaletteSwatch::kMargin + 10 * (c.n / 32) + 4);
        EXPECT_EQ(QColor(grabbed.pixel(centre)), c.colour);
    }
    open(*form, "plain.bmp");
    EXPECT_FALSE(swatch->isVisible());
}

TEST_F(ReportTest, GreyTgaIsDrawnPointByPointUnderTheHelpButton)
{
    write("grey.tga", greyTga(5, 3, 200));
    auto form = makeForm();
    showAllFiles(*form);
    open(*form, "grey.tga");
    auto* drawn = form->control<PreviewBox>("Picture5");
    ASSERT_TRUE(drawn->isVisible());
    EXPECT_FALSE(form->control<QWidget>("Image11")->isVisible());
    const QRect help = geometryOf(*form, "Image3");
    EXPECT_EQ(drawn->y(), help.y() + help.height() + 7 + (161 - 3) / 2);
    EXPECT_EQ(drawn->size(), QSize(5, 3));
    const QImage grabbed = drawn->grab().toImage();
    EXPECT_EQ(QColor(grabbed.pixel(4, 2)), QColor(200, 200, 200));
    EXPECT_TRUE(form->exportButton()->isEnabled());
}

TEST_F(ReportTest, UntickedShowFileLeavesTheCrossedBox)
{
    write("a.bmp", bmp24(20, 10));
    auto form = makeForm();
    form->control<QCheckBox>("Check1")->setChecked(false);
    open(*form, "a.bmp");
    EXPECT_TRUE(form->control<QWidget>("Line1")->isVisible());
    EXPECT_TRUE(form->control<PreviewBox>("Image11")->picture().isNull());
    EXPECT_TRUE(form->report().contains(QStringLiteral("Ширина 20")));
}

TEST_F(ReportTest, UnsupportedDepthShowsTheNoticeInsteadOfThePalette)
{
    BmpBuilder b;
    b.width = 4;
    b.height = 2;
    b.bitsPerPixel = 4;
    b.palette.assign(16, Rgb{1, 2, 3});
    write("c16.bmp", b.build());
    auto form = makeForm();
    open(*form, "c16.bmp");
    auto* notice = form->control<QLabel>("Label4");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), QStringLiteral("16-ти цветное изображение\nне поддерживается."));
    EXPECT_FALSE(form->exportButton()->isEnabled());
}

TEST_F(ReportTest, ExportButtonSlidesInFrameByFrameAndStays)
{
    write("a.bmp", bmp24(2, 2));
    write("b.bmp", bmp24(3, 3));
    auto form = makeForm();
    auto* timer = form->control<QTimer>("Timer0");
    EXPECT_EQ(timer->interval(), 30);
    EXPECT_FALSE(form->exportButton()->isEnabled());

    open(*form, "a.bmp");
    EXPECT_TRUE(form->exportButton()->isEnabled());
    EXPECT_EQ(form->exportFrame(), 0);
    for (int frame = 1; frame <= 10; ++frame) {
        tick(timer);
        EXPECT_EQ(form->exportFrame(), frame);
    }
    tick(timer);
    EXPECT_EQ(form->exportFrame(), 10);
    EXPECT_FALSE(timer->isActive());

    // A second supported file leaves the ready button alone.
    open(*form, "b.bmp");
    EXPECT_EQ(form->exportFrame(), 10);
    EXPECT_FALSE(timer->isActive());
}

TEST_F(ReportTest, PressShowsThePressedFrameAndClickRequestsTheExport)
{
    write("a.bmp", bmp24(2, 2));
    auto form = makeForm();
    QSignalSpy requests(form.get(), &OpenForm::exportRequested);
    QWidget* button = form->exportButton();
    const QPoint inside(65, 13 + 260); // frame 10 in the strip's own coordinates

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(65, 13));
    EXPECT_EQ(requests.count(), 0); // disabled until a supported file is open

    open(*form, "a.bmp");
    form->setExportFrame(10);
    form->setSlideTimerActive(false);
    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(form->exportFrame(), 11);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(65, 13 + 286));
    EXPECT_EQ(requests.count(), 1);
    EXPECT_EQ(form->exportFrame(), 10);

    QTest::mousePress(button, Qt::RightButton, {}, inside);
    EXPECT_EQ(form->exportFrame(), 11);
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(65, 13 + 286));
    EXPECT_EQ(requests.count(), 1);
    EXPECT_EQ(form->exportFrame(), 10);
}

TEST_F(ReportTest, StripFramesDifferFromEachOther)
{
    // Every frame of the strip must be distinguishable, or the slide would stall visibly.
    QImage strip(art::kStripFrameWidth, art::kStripFrameHeight * art::kStripFrames, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    {
        QPainter p(&strip);
        for (int k = 0; k < art::kStripFrames; ++k)
            art::exportFrame(p, QRectF(0, 26 * k, 130, 26), k);
    }
    for (int k = 1; k < art::kStripFrames; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NE(strip.copy(0, 26 * k, 130, 26), strip.copy(0, 26 * (k - 1), 130, 26));
    }
}

TEST_F(ReportTest, OpenButtonShowsItsNormalPictureAfterOpening)
{
    write("a.bmp", bmp24(2, 2));
    auto form = makeForm();
    open(*form, "a.bmp");
    auto* button = form->control<PictureButton>("Image1");
    EXPECT_FALSE(button->showsPressed());
    EXPECT_EQ(button->toolTip(), QStringLiteral("Открыть файл"));
}

} // namespace
} // namespace lumiset::test

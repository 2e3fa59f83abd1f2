#include "ExportFormFixture.h"

namespace lumiset::test {
namespace {

// ---- start-up, reading and the viewport -------------------------------------------

TEST_F(ExportFormTest, DefaultRegionOfSmallAndLargePictures)
{
    const struct {
        int w, h;
        QRect frame;
        const char *firstColumn, *lastColumn, *columns, *lastRow, *rows;
    } cases[] = {
        {1, 1, {0, 0, 1, 1}, " 1", " 1", " 1", "1", " 1"},
        {15, 300, {0, 0, 15, 20}, " 1", " 15", " 15", "20", " 20"},
        {400, 300, {0, 0, 20, 20}, " 1", " 20", " 20", "20", " 20"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.w << " x " << k.h);
        ws = Workspace{};
        form.reset();
        open(bmp24(k.w, k.h));
        ws.ExportCancelled = false; // the start-up must set it, not the fresh workspace
        start();
        EXPECT_EQ(c("Vydelenie")->geometry(), k.frame);
        EXPECT_EQ(form->text("Text3"), QLatin1String(k.firstColumn));
        EXPECT_EQ(form->text("Text4"), QLatin1String(k.lastColumn));
        EXPECT_EQ(form->text("Text5"), QLatin1String(k.columns));
        EXPECT_EQ(form->text("Text1"), QStringLiteral("1")) << "row boxes have no leading blank";
        EXPECT_EQ(form->text("Text2"), QLatin1String(k.lastRow));
        EXPECT_EQ(form->text("Text6"), QLatin1String(k.rows));
        EXPECT_TRUE(ws.ExportCancelled);
    }
}

TEST_F(ExportFormTest, DefaultMeasureFollowsTheDepth)
{
    open(bmp24(4, 4));
    start();
    EXPECT_TRUE(c<QRadioButton>("Option1")->isChecked());
    EXPECT_EQ(ws.BrightnessMeasure, MeasureRed);
    EXPECT_EQ(ws.FrameHue, 1);

    BmpBuilder b;
    b.width = b.height = 2;
    b.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i)
        b.palette.push_back(Rgb{std::uint8_t(i), 0, 0});
    b.indices.assign(2, std::vector<std::uint8_t>(2, 5));
    ws = Workspace{};
    open(b.build(), QStringLiteral("p8.bmp"));
    start();
    EXPECT_TRUE(c<QRadioButton>("Option4")->isChecked());
    EXPECT_EQ(ws.BrightnessMeasure, MeasureMean);
}

TEST_F(ExportFormTest, FirstTickReadsPixelsAndDrawsTheZoomedRegion)
{
    open(bmp24(30, 30));
    form = std::make_unique<TestExportForm>(ws);
    form->showWindow();
    EXPECT_TRUE(c("Image6")->isVisible()) << "the progress frame shows while pixels wait";
    EXPECT_FALSE(c("Picture3")->isVisible());
    auto* timer1 = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer1, nullptr);
    EXPECT_TRUE(timer1->isActive());
    EXPECT_EQ(form->Zoom, 0);

    form->timer1Tick();
    EXPECT_EQ(ws.image.ImageState, 2);
    EXPECT_TRUE(ws.image.PixelRed.allocated());
    EXPECT_EQ(form->Zoom, 3);
    EXPECT_TRUE(c("Picture3")->isVisible());
    EXPECT_FALSE(c("Image6")->isVisible());
    EXPECT_FALSE(c("Picture1")->isVisible());
    EXPECT_EQ(form->text("Label9"), QStringLiteral("Масштаб 300%"));
    EXPECT_EQ(c("Picture5")->size(), QSize(60, 60));
    EXPECT_EQ(c("Picture4")->geometry(), QRect(46, 238, 60, 60)) << "centred, halves to even";
    EXPECT_FALSE(c("HScroll4")->isVisible());
    EXPECT_FALSE(c("VScroll4")->isVisible());

    form->timer1Tick();
    EXPECT_FALSE(timer1->isActive()) << "the second tick stops the timer";
    EXPECT_EQ(ws.image.ImageState, 3);
}

TEST_F(ExportFormTest, LayoutAlignsBoxesCaptionAndConnectors)
{
    open(bmp24(300, 300));
    start();
    const int barsRight = c("HScroll2")->geometry().right();
    for (const char* name : {"Text4", "Text5"})
        EXPECT_EQ(c(name)->geometry().right(), barsRight) << name;
    EXPECT_EQ(c("Text1")->geometry().right(), c("Label5")->geometry().right()) << "row boxes over the readout's edge";
    for (const char* name : {"Text1", "Text3", "Text5"})
        EXPECT_TRUE(c<QLineEdit>(name)->alignment() & Qt::AlignRight) << name << ": the leading blank is hidden";
    EXPECT_EQ(form->focusWidget(), c("Picture3")) << "no number box starts with the caret";

    // Small region: the caption follows the frame down; a tall one keeps it in the window.
    EXPECT_EQ(c("Label9")->y(), c("Picture4")->y() - 20);
    form->Zoom = 10;
    c<QScrollBar>("VScroll2")->setValue(100);
    EXPECT_EQ(c("Picture4")->y(), 184);
    EXPECT_EQ(c("Label9")->y(), 164);
    // The connectors are drawn over the zoomed frame's scroll bars.
    const QObjectList order = form->children();
    EXPECT_GT(order.indexOf(c("Line11")), order.indexOf(c("VScroll4")));
    EXPECT_GT(order.indexOf(c("Line12")), order.indexOf(c("HScroll4")));
}

// 100 rows: 3.5 units a row up to 350, redrawn only once it has grown by 2,
// then the drawing phase brings it to the full 466.
TEST_F(ExportFormTest, ProgressBarWidthsWhileReading)
{
    struct Widths : QObject {
        QList<int> seen;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            const int w = static_cast<QWidget*>(o)->width();
            if (e->type() == QEvent::Resize && (seen.isEmpty() || seen.last() != w))
                seen << w;
            return false;
        }
    };
    const struct {
        const char* name;
        QByteArray file;
        QString fileName;
        int lastReadingWidth;
        int redraws; ///< the width of 1 it starts from, one a row read, the drawn 466
    } cases[] = {
        {"bottom-up BMP: one row short of 350", bmp24(2, 100), QStringLiteral("p.bmp"), 346, 1 + 99 + 1},
        {"top-down TGA", [] {
             TgaBuilder t;
             t.width = 2;
             t.height = 100;
             t.descriptor = 0x20;
             t.pixels.assign(100, std::vector<Rgb>(2, Rgb{1, 2, 3}));
             return t.build();
         }(), QStringLiteral("p.tga"), 350, 1 + 100 + 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        ws = Workspace{};
        form.reset();
        open(k.file, k.fileName);
        form = std::make_unique<TestExportForm>(ws);
        Widths widths;
        c("Picture1")->installEventFilter(&widths);
        form->showWindow();
        form->timer1Tick();
        ASSERT_GE(widths.seen.size(), 10);
        EXPECT_EQ(widths.seen.mid(0, 9), (QList<int>{1, 4, 7, 10, 14, 18, 21, 24, 28})) << "halves to even";
        EXPECT_EQ(widths.seen.size(), k.redraws) << "one redraw a row: every row adds 3.5 >= 2";
        EXPECT_EQ(widths.seen.at(widths.seen.size() - 2), k.lastReadingWidth);
        EXPECT_EQ(widths.seen.last(), 466);
    }
}

TEST_F(ExportFormTest, ZoomIsZeroUntilPixelsAreReadAndThreeAfterEachReading)
{
    open(bmp24(30, 30));
    form = std::make_unique<TestExportForm>(ws);
    form->showWindow();
    EXPECT_EQ(form->text("Label9"), QStringLiteral("Масштаб 0%")) << "the start-up's bars redraw before reading";
    form->timer1Tick();
    QTest::mouseClick(c("Picture5"), Qt::LeftButton, Qt::NoModifier, {1, 1});
    ASSERT_EQ(form->Zoom, 4);
    c<QAbstractButton>("Image2")->click();

    open(bmp24(40, 40), QStringLiteral("other.bmp")); // a new file is read again
    start();
    EXPECT_EQ(form->Zoom, 3);
    EXPECT_EQ(form->text("Label9"), QStringLiteral("Масштаб 300%"));
}

TEST_F(ExportFormTest, ViewportFitsSmallPicturesAndScrollsLargeOnes)
{
    open(bmp24(150, 120));
    start();
    EXPECT_EQ(c("Picture2")->geometry(), QRect(434, 188, 152, 122));
    EXPECT_FALSE(c("HScroll1")->isVisible());
    EXPECT_FALSE(c("VScroll1")->isVisible());

    ws = Workspace{};
    form.reset();
    open(bmp24(1000, 800));
    start();
    EXPECT_EQ(c("Picture2")->geometry(), QRect(392, 144, 233, 209));
    EXPECT_EQ(c<QScrollBar>("HScroll1")->maximum(), 769);
    EXPECT_EQ(c<QScrollBar>("VScroll1")->maximum(), 593);
    c<QScrollBar>("HScroll1")->setValue(100);
    c<QScrollBar>("VScroll1")->setValue(7);
    EXPECT_EQ(c("Picture3")->pos(), QPoint(-100, -7));
}

TEST_F(ExportFormTest, UnreadableFileIsReportedAndTheWindowStaysForCancel)
{
    open(bmp24(8, 8));
    QFile::remove(path); // gone between opening and exporting
    start();
    ASSERT_EQ(form->errors.size(), 1);
    EXPECT_TRUE(form->errors.first().contains(QDir::toNativeSeparators(path)));
    EXPECT_FALSE(ws.image.PixelRed.allocated()) << "no stale pixels";
    EXPECT_EQ(ws.image.ImageState, 1) << "the next showing tries again";
    EXPECT_FALSE(c("Image1")->isEnabled());
    EXPECT_FALSE(c("Image15")->isEnabled());
    EXPECT_FALSE(c("Picture3")->isVisible());
    c<QAbstractButton>("Image2")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(ws.ExportCancelled);
}

// ---- the selection scroll bars ----------------------------------------------------

TEST_F(ExportFormTest, LastColumnBarDragsTheFirstAlongAt256Columns)
{
    open(bmp24(400, 50));
    start();
    c<QScrollBar>("HScroll2")->setValue(300);
    EXPECT_EQ(sel().SelColumnFrom, 45);
    EXPECT_EQ(sel().SelColumnTo, 300);
    EXPECT_EQ(c<QScrollBar>("HScroll3")->value(), 45);
    EXPECT_EQ(form->text("Text3"), QStringLiteral(" 45"));
    EXPECT_EQ(form->text("Text4"), QStringLiteral(" 300"));
    EXPECT_EQ(form->text("Text5"), QStringLiteral(" 256"));
    EXPECT_EQ(c("Vydelenie")->geometry(), QRect(44, 0, 256, 20));
    EXPECT_EQ(boxColour(c<QLineEdit>("Text4")), boxColour(c<QLineEdit>("Text1")));
}

TEST_F(ExportFormTest, FirstBoundsPastTheLastDragTheLastAlong)
{
    open(bmp24(400, 50));
    start();
    c<QScrollBar>("HScroll3")->setValue(350);
    EXPECT_EQ(sel().SelColumnTo, 350);
    EXPECT_EQ(c<QScrollBar>("HScroll2")->value(), 350);
    EXPECT_EQ(form->text("Text5"), QStringLiteral(" 1"));

    c<QScrollBar>("VScroll3")->setValue(30);
    EXPECT_EQ(sel().SelRowTo, 30);
    EXPECT_EQ(c<QScrollBar>("VScroll2")->value(), 30);
    EXPECT_EQ(form->text("Text1"), QStringLiteral("30"));
    EXPECT_EQ(form->text("Text2"), QStringLiteral("30"));

    c<QScrollBar>("VScroll2")->setValue(10);
    EXPECT_EQ(sel().SelRowFrom, 10) << "a last row above the first moves the first up";
    EXPECT_EQ(c<QScrollBar>("VScroll3")->value(), 10);
}

TEST_F(ExportFormTest, LastRowBarActsOnlyWhenItsThumbIsLetGo)
{
    open(bmp24(10, 100));
    start();
    auto* bar = c<QScrollBar>("VScroll2");
    bar->setSliderDown(true);
    bar->setValue(70);
    EXPECT_EQ(sel().SelRowTo, 20) << "no scroll handling while dragged";
    bar->setSliderDown(false); // release
    EXPECT_EQ(sel().SelRowTo, 70);
    EXPECT_EQ(form->text("Text6"), QStringLiteral(" 70"));

    auto* first = c<QScrollBar>("HScroll3");
    first->setSliderDown(true);
    first->setValue(4);
    EXPECT_EQ(sel().SelColumnFrom, 4) << "the first-column bar follows its thumb";
    first->setSliderDown(false);
}

TEST_F(ExportFormTest, PicturesBeyond32767ColumnsUseTheFullRange)
{
    BmpBuilder b;
    b.width = 40000;
    b.height = 1;
    b.pixels.assign(1, std::vector<Rgb>(40000, Rgb{1, 2, 3}));
    open(b.build());
    start();
    EXPECT_EQ(c<QScrollBar>("HScroll2")->maximum(), 40000);
    c<QScrollBar>("HScroll2")->setValue(40000);
    EXPECT_EQ(sel().SelColumnTo, 40000);
    EXPECT_EQ(sel().SelColumnFrom, 40000 - 255);
    EXPECT_EQ(form->text("Text4"), QStringLiteral(" 40000"));
    EXPECT_EQ(c("Vydelenie")->geometry(), QRect(40000 - 256, 0, 256, 1));
}

// ---- dragging a selection -----------------------------------------------------------

class ExportDragTest : public ExportFormTest {
protected:
    void SetUp() override
    {
        open(bmp24(600, 400));
        start();
        view3 = c("Picture3");
    }
    void drag(std::initializer_list<QPoint> points)
    {
        auto it = points.begin();
        QTest::mousePress(view3, Qt::LeftButton, Qt::NoModifier, *it);
        for (; it != points.end(); ++it)
            moveWith(view3, *it, Qt::LeftButton);
        QTest::mouseRelease(view3, Qt::LeftButton, Qt::NoModifier, *(points.end() - 1));
    }
    QWidget* view3 = nullptr;
};

TEST_F(ExportDragTest, DragWritesTheRegionToBarsBoxesAndFrame)
{
    drag({{10, 5}, {5, 3}, {15, 8}});
    EXPECT_EQ(sel().SelColumnFrom, 11);
    EXPECT_EQ(sel().SelColumnTo, 16);
    EXPECT_EQ(sel().SelRowFrom, 6);
    EXPECT_EQ(sel().SelRowTo, 9);
    EXPECT_EQ(c("Vydelenie")->geometry(), QRect(10, 5, 6, 4));
    EXPECT_EQ(c<QScrollBar>("HScroll3")->value(), 11);
    EXPECT_EQ(c<QScrollBar>("VScroll2")->value(), 9);
    EXPECT_EQ(form->text("Text5"), QStringLiteral(" 6"));
    EXPECT_TRUE(form->NewSelectionPending);
    EXPECT_EQ(c("Picture5")->size(), QSize(18, 12)) << "the release redraws the zoomed view";
}

TEST_F(ExportDragTest, At256ColumnsBothWays)
{
    drag({{10, 0}, {400, 0}});
    EXPECT_EQ(sel().SelColumnFrom, 11);
    EXPECT_EQ(sel().SelColumnTo, 266) << "stops 256 columns from the anchor";
    drag({{400, 0}, {10, 0}});
    EXPECT_EQ(sel().SelColumnFrom, 11) << "the left edge follows the pointer";
    EXPECT_EQ(sel().SelColumnTo, 266);
}

TEST_F(ExportDragTest, ClampedAtTheEdgesNeverEmpty)
{
    drag({{590, 390}, {900, 900}});
    EXPECT_EQ(sel().SelColumnTo, 600);
    EXPECT_EQ(sel().SelRowTo, 400);
    drag({{3, 3}, {-40, -40}});
    EXPECT_EQ(sel().SelColumnFrom, 1);
    EXPECT_EQ(sel().SelRowFrom, 1);
    EXPECT_EQ(sel().SelColumnTo, 4);
}

TEST_F(ExportDragTest, ScrollsBackAtTheLeftAndTopButNotAtTheRight)
{
    auto* h = c<QScrollBar>("HScroll1");
    auto* v = c<QScrollBar>("VScroll1");
    h->setValue(100);
    v->setValue(50);
    drag({{150, 80}, {80, 40}});
    EXPECT_EQ(h->value(), 80);
    EXPECT_EQ(v->value(), 40);
    EXPECT_EQ(c("Picture3")->pos(), QPoint(-80, -40));
    drag({{150, 80}, {500, 80}});
    EXPECT_EQ(h->value(), 80) << "no scrolling toward the right";
}

TEST_F(ExportDragTest, ZoomedViewWaitsForTheRelease)
{
    QTest::mousePress(view3, Qt::LeftButton, Qt::NoModifier, {0, 0});
    moveWith(view3, {0, 0}, Qt::LeftButton);
    moveWith(view3, {99, 9}, Qt::LeftButton);
    EXPECT_FALSE(form->NewSelectionPending);
    EXPECT_EQ(c("Picture5")->size(), QSize(60, 60)) << "still the region before the drag";
    QTest::mouseRelease(view3, Qt::LeftButton, Qt::NoModifier, {99, 9});
    EXPECT_EQ(c("Picture5")->size(), QSize(300, 30));
}

// A release that went to another window must not leave the view thinking the
// drag goes on: the next drag would extend the old region from its stale anchor.
TEST_F(ExportDragTest, LostReleaseEndsTheDragOnTheNextMoveOrLeave)
{
    moveWith(view3, {0, 0}, Qt::LeftButton);
    moveWith(view3, {99, 9}, Qt::LeftButton);
    ASSERT_FALSE(form->NewSelectionPending);
    moveWith(view3, {120, 30}, Qt::NoButton);
    EXPECT_TRUE(form->NewSelectionPending);
    EXPECT_EQ(c("Picture5")->size(), QSize(300, 30)) << "the region the drag reached is drawn";
    EXPECT_EQ(sel().SelColumnTo, 100) << "a move without the button does not stretch the region";
    moveWith(view3, {50, 50}, Qt::LeftButton);
    moveWith(view3, {52, 51}, Qt::LeftButton);
    EXPECT_EQ(sel().SelColumnFrom, 51) << "a new drag anchors afresh";

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view3, &leave);
    EXPECT_TRUE(form->NewSelectionPending);
    EXPECT_EQ(c("Picture5")->size(), QSize(9, 6));
}

// Redraws started by the selection bars leave the window usable: the arrow with
// hourglass. A drag's release and the reading hold it: the hourglass.
TEST_F(ExportDragTest, BusyPointerShapes)
{
    QList<Qt::CursorShape> seen;
    struct Recorder : QObject {
        QList<Qt::CursorShape>* seen;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide)
                *seen << (QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                            : Qt::ArrowCursor);
            return false;
        }
    } recorder;
    recorder.seen = &seen;
    c("Picture4")->installEventFilter(&recorder); // the redraw hides the frame first
    c<QScrollBar>("HScroll2")->setValue(30);
    c<QScrollBar>("VScroll3")->setValue(2);
    drag({{3, 3}, {8, 8}});
    EXPECT_EQ(seen, (QList<Qt::CursorShape>{Qt::BusyCursor, Qt::BusyCursor, Qt::WaitCursor}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the pointer is restored";
}

TEST_F(ExportDragTest, RightButtonCyclesFourLooksMiddleHides)
{
    auto* frame = form->findChild<SelectionFrame*>(QStringLiteral("Vydelenie"));
    ASSERT_NE(frame, nullptr);
    const SelectionFrame::Mode expected[] = {SelectionFrame::Invert, SelectionFrame::MergePen,
                                             SelectionFrame::MaskPenNot, SelectionFrame::CopyPen};
    for (SelectionFrame::Mode m : expected) {
        QTest::mousePress(view3, Qt::RightButton, Qt::NoModifier, {5, 5});
        QTest::mouseRelease(view3, Qt::RightButton, Qt::NoModifier, {5, 5});
        EXPECT_EQ(frame->mode(), m);
    }
    EXPECT_EQ(frame->colour(), QColor(255, 0, 0));
    QTest::mousePress(view3, Qt::MiddleButton, Qt::NoModifier, {5, 5});
    EXPECT_FALSE(frame->isVisible());
    QTest::mouseRelease(view3, Qt::MiddleButton, Qt::NoModifier, {5, 5});
    QTest::mousePress(view3, Qt::LeftButton, Qt::NoModifier, {5, 5});
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(ExportDragTest, InvertedFrameInvertsThePictureUnderIt)
{
    auto* frame = form->findChild<SelectionFrame*>(QStringLiteral("Vydelenie"));
    frame->setMode(SelectionFrame::Invert);
    const QImage shot = view3->grab(QRect(0, 0, 4, 4)).toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(255 - 200, 255 - 100, 255 - 50)) << "border pixel";
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(200, 100, 50)) << "inside the frame";
}

// ---- typed region numbers -----------------------------------------------------------

TEST_F(ExportFormTest, TypedNumbersAcceptedAndRefused)
{
    open(bmp24(300, 100));
    start();
    auto* lastRow = c<QLineEdit>("Text2");
    lastRow->selectAll();
    QTest::keyClicks(lastRow, QStringLiteral("45"));
    EXPECT_EQ(sel().SelRowTo, 45);
    EXPECT_EQ(form->text("Text6"), QStringLiteral(" 45"));
    EXPECT_EQ(c<QScrollBar>("VScroll2")->value(), 45);
    EXPECT_EQ(c("Vydelenie")->height(), 45);
    EXPECT_EQ(lastRow->text(), QStringLiteral("45")) << "the box keeps what was typed";
    EXPECT_NE(boxColour(lastRow), tooltipColour());

    const Selection before = sel();
    const struct {
        const char* box;
        const char* text;
    } refused[] = {{"Text1", "0"}, {"Text1", "46"}, {"Text2", "101"}, {"Text3", "x"},
                   {"Text4", "2 0"}, {"Text4", "300000000000000000000000"}, {"Text3", "-1"}};
    for (const auto& r : refused) {
        SCOPED_TRACE(testing::Message() << r.box << " = " << r.text);
        auto* box = c<QLineEdit>(r.box);
        box->setText(QString::fromUtf8(r.text));
        EXPECT_EQ(boxColour(box), tooltipColour());
        EXPECT_EQ(sel().SelRowFrom, before.SelRowFrom);
        EXPECT_EQ(sel().SelRowTo, before.SelRowTo);
        EXPECT_EQ(sel().SelColumnFrom, before.SelColumnFrom);
        EXPECT_EQ(sel().SelColumnTo, before.SelColumnTo);
        box->clear();
        EXPECT_EQ(boxColour(box), tooltipColour()) << "clearing keeps the colour";
        const Selection& b = before;
        const qint32 valid = box == c<QLineEdit>("Text1") ? b.SelRowFrom : box == c<QLineEdit>("Text2") ? b.SelRowTo
                           : box == c<QLineEdit>("Text3") ? b.SelColumnFrom : b.SelColumnTo;
        box->setText(QString::number(valid));
        EXPECT_NE(boxColour(box), tooltipColour()) << "a valid number clears it";
    }
}

TEST_F(ExportFormTest, TypedColumnsKeepThe256Limit)
{
    open(bmp24(600, 10));
    start();
    c<QLineEdit>("Text4")->setText(QStringLiteral("257"));
    EXPECT_EQ(boxColour(c<QLineEdit>("Text4")), tooltipColour());
    EXPECT_EQ(sel().SelColumnTo, 20);
    c<QLineEdit>("Text4")->setText(QStringLiteral("256"));
    EXPECT_EQ(sel().SelColumnTo, 256);
    EXPECT_EQ(form->text("Text5"), QStringLiteral(" 256"));
    EXPECT_EQ(c<QScrollBar>("HScroll2")->value(), 256);
}

// ---- zoom clicks ---------------------------------------------------------------------

TEST_F(ExportFormTest, ZoomClicksStayBetween1And20)
{
    open(bmp24(30, 30));
    start();
    QWidget* zoomed = c("Picture5");
    QTest::mouseClick(zoomed, Qt::LeftButton, Qt::NoModifier, {1, 1});
    EXPECT_EQ(form->Zoom, 4);
    EXPECT_EQ(form->text("Label9"), QStringLiteral("Масштаб 400%"));
    EXPECT_EQ(c<QScrollBar>("HScroll4")->pageStep(), 4);
    EXPECT_EQ(form->zoomPointer(), art::ZoomGlyph::Plain);

    form->Zoom = 20;
    QTest::mouseClick(zoomed, Qt::LeftButton, Qt::NoModifier, {1, 1});
    EXPECT_EQ(form->Zoom, 20);
    EXPECT_EQ(form->zoomPointer(), art::ZoomGlyph::Out) << "only the pointer changes at the limit";

    QTest::mouseClick(zoomed, Qt::RightButton, Qt::NoModifier, {1, 1});
    EXPECT_EQ(form->Zoom, 19);
    QTest::mouseClick(zoomed, Qt::MiddleButton, Qt::NoModifier, {1, 1});
    EXPECT_EQ(form->Zoom, 18);
    form->Zoom = 1;
    QTest::mouseClick(zoomed, Qt::RightButton, Qt::NoModifier, {1, 1});
    EXPECT_EQ(form->Zoom, 1);
}

// Each press of a double-click is a click on the zoomed view, as two quick
// single clicks would be: two steps. The window system sends press, release,
// press, double-click, release; the double-click must not add a third.
TEST_F(ExportFormTest, DoubleClickOnTheZoomedViewZoomsTwice)
{
    open(bmp24(30, 30));
    start();
    QWidget* zoomed = c("Picture5");
    const QPointF at(1, 1);
    auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent e(type, at, zoomed->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(zoomed, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(form->Zoom, 5);
    EXPECT_EQ(form->text("Label9"), QStringLiteral("Масштаб 500%"));
}

TEST_F(ExportFormTest, ZoomedFrameScrollsWhenTheRegionOutgrowsIt)
{
    open(bmp24(300, 120));
    start();
    c<QScrollBar>("HScroll2")->setValue(256);
    c<QScrollBar>("VScroll2")->setValue(100);
    form->Zoom = 6;
    QTest::mouseClick(c("Picture5"), Qt::LeftButton, Qt::NoModifier, {1, 1});
    EXPECT_EQ(c("Picture5")->size(), QSize(1792, 700));
    EXPECT_EQ(c<QScrollBar>("HScroll4")->maximum(), 1639);
    EXPECT_EQ(c<QScrollBar>("VScroll4")->maximum(), 531);
    EXPECT_TRUE(c("HScroll4")->isVisible());
    // Zoom 7 draws 6 × 6 cells on a grey grid.
    const QImage cells = c("Picture5")->grab(QRect(0, 0, 14, 14)).toImage();
    EXPECT_EQ(QColor(cells.pixel(5, 5)), QColor(200, 100, 50));
    EXPECT_EQ(QColor(cells.pixel(6, 3)), QColor(128, 128, 128));
    EXPECT_EQ(QColor(cells.pixel(3, 13)), QColor(128, 128, 128));
}

} // namespace
} // namespace lumiset::test

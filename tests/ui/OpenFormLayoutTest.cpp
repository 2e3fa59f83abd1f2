#include "UiFixture.h"

#include "common/PictureButton.h"

#include <cmath>

namespace lumiset::test {
namespace {

int even(double v) { return int(std::nearbyint(v)); }

class LayoutTest : public UiTest {
protected:
    QRect at(const char* name) const { return form->control<QWidget>(name)->geometry(); }
    void SetUp() override
    {
        UiTest::SetUp();
        form = makeForm();
    }
    std::unique_ptr<RecordingForm> form;
};

TEST_F(LayoutTest, StartsNinetyThreeHundredTwipsWide)
{
    EXPECT_EQ(form->width(), 620);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Lumiset"));
}

TEST_F(LayoutTest, ListsShareTheFreeWidthInTheirRatioAndTheRightColumnFollows)
{
    for (int width : {620, 700, 901, 1280}) {
        SCOPED_TRACE(width);
        form->resize(width, 460);
        const int L = width - 265 - 7 - 5 - 14;
        EXPECT_EQ(form->listAreaWidth(), L);
        const QRect file1 = at("File1"), dir1 = at("Dir1"), text7 = at("Text7");
        EXPECT_EQ(file1.x(), 5);
        EXPECT_EQ(file1.width(), even(L * 0.515625));
        EXPECT_EQ(at("ComboPattern").width(), file1.width());
        EXPECT_EQ(dir1.width(), even(L * 0.478125));
        EXPECT_EQ(at("Drive1").width(), dir1.width());
        EXPECT_EQ(dir1.x(), file1.x() + file1.width() + 3);
        EXPECT_EQ(at("Drive1").x(), dir1.x());
        EXPECT_EQ(at("Label2").x(), dir1.x());
        EXPECT_EQ(at("Text5").width(), L);
        EXPECT_EQ(at("Text4").width(), L - 51);
        EXPECT_EQ(at("Text4").right(), at("Text5").right()); // the two boxes end together
        EXPECT_EQ(at("Label1").x(), L + 6);
        EXPECT_EQ(text7.x(), L + 12);
        EXPECT_EQ(text7.right(), width - 15); // the report keeps its width
        EXPECT_EQ(at("Image1").x(), text7.x());
        EXPECT_EQ(at("Image13").x(), text7.x());
        EXPECT_EQ(at("Picture2").x(), at("Image1").right() + 1 + 7);
        EXPECT_EQ(at("Label5").x(), at("Picture2").x());
        const int helpCentre = at("Image3").x() + at("Image3").width() / 2;
        EXPECT_LE(std::abs(helpCentre - (text7.x() + 132)), 1);
        const int checkCentre = at("Check1").x() + at("Check1").width() / 2;
        EXPECT_LE(std::abs(checkCentre - (text7.x() + 132)), 1);
        const QRect band = at("Image11");
        EXPECT_EQ(band.x(), text7.x() + even((265 - band.width()) / 2.0));
        auto* line1 = form->control<LineControl>("Line1");
        auto* line2 = form->control<LineControl>("Line2");
        EXPECT_EQ(line1->from().x(), text7.x());
        EXPECT_EQ(line1->to().x(), band.x() + band.width() - 1);
        EXPECT_EQ(line2->from().x(), line1->to().x());
        EXPECT_EQ(line2->to().x(), text7.x());
    }
}

TEST_F(LayoutTest, TooNarrowForThePaletteLeavesEverythingButTheGrip)
{
    form->resize(700, 460);
    const QStringList names{"File1", "Dir1", "Drive1", "Text5", "Text4", "Text7", "Image1", "Picture2", "Image3"};
    QList<QRect> before;
    for (const QString& n : names)
        before << at(n.toLatin1().constData());
    // The swatch needs left + width <= L + 12, i.e. a width of at least 5 + 323 - 12 + 291.
    form->resize(5 + 323 - 12 + 291 - 1, 460);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(at(names[i].toLatin1().constData()), before[i]) << names[i].toStdString();
    auto* grip = form->control<LineControl>("Line16");
    EXPECT_EQ(grip->from(), QPoint(form->width() - 9, 460 - 37));
    EXPECT_EQ(grip->to(), QPoint(form->width() - 19, 460 - 27));
}

TEST_F(LayoutTest, SizeGripFollowsTheCorner)
{
    form->resize(800, 500);
    const struct { const char* name; int k, c; } strokes[] = {
        {"Line13", 4, 32}, {"Line14", 6, 33}, {"Line15", 9, 36}, {"Line16", 10, 37}};
    for (const auto& s : strokes) {
        SCOPED_TRACE(s.name);
        auto* line = form->control<LineControl>(s.name);
        EXPECT_EQ(line->from(), QPoint(800 - 9, 500 - s.c));
        EXPECT_EQ(line->to(), QPoint(800 - 9 - s.k, 500 - s.c + s.k));
    }
}

TEST_F(LayoutTest, ReaderPreviewFollowsTheRightColumn)
{
    write("a.bmp", bmp24(40, 20));
    form = makeForm();
    form->files()->setCurrentRow(0);
    form->resize(900, 460);
    const QRect text7 = at("Text7"), band = at("Image11");
    EXPECT_EQ(band.x(), text7.x() + even((265 - 40) / 2.0));
    EXPECT_EQ(band.width(), 40);
}

} // namespace
} // namespace lumiset::test

#include "output/SelectionMath.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace lumiset {

static void PrintTo(const Selection& s, std::ostream* os)
{
    *os << "columns " << s.SelColumnFrom << ".." << s.SelColumnTo << ", rows " << s.SelRowFrom << ".." << s.SelRowTo;
}

static bool operator==(const Selection& a, const Selection& b)
{
    return a.SelColumnFrom == b.SelColumnFrom && a.SelColumnTo == b.SelColumnTo && a.SelRowFrom == b.SelRowFrom
        && a.SelRowTo == b.SelRowTo;
}

namespace {

Selection region(int c0, int c1, int r0, int r1)
{
    Selection s;
    s.SelColumnFrom = c0;
    s.SelColumnTo = c1;
    s.SelRowFrom = r0;
    s.SelRowTo = r1;
    return s;
}

TEST(DefaultSelection, CornerOfAtMostTwentyPoints)
{
    const struct {
        int w, h;
        Selection expected;
    } cases[] = {
        {1, 1, region(1, 1, 1, 1)},
        {15, 300, region(1, 15, 1, 20)},
        {12000, 9000, region(1, 20, 1, 20)},
        {20, 21, region(1, 20, 1, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        EXPECT_EQ(defaultSelection(c.w, c.h), c.expected);
    }
}

TEST(ImagePoint, RoundsHalfToEvenAndStaysInThePicture)
{
    EXPECT_EQ(imagePoint(2.5, 3.5, 10, 10), QPoint(2, 4));
    EXPECT_EQ(imagePoint(-7, -0.4, 10, 10), QPoint(0, 0));
    EXPECT_EQ(imagePoint(9.6, 100, 10, 10), QPoint(9, 9));
}

struct DragCase {
    const char* rule;
    QPoint anchor, pointer;
    Selection expected;
};

class DragSelection : public testing::TestWithParam<DragCase> {};

TEST_P(DragSelection, FrameFromAnchorAndPointer)
{
    const DragCase& c = GetParam();
    EXPECT_EQ(dragSelection(c.anchor, c.pointer, 600, 400), c.expected) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DragSelection,
    testing::Values(
        DragCase{"right and down from the anchor", {10, 5}, {14, 8}, region(11, 15, 6, 9)},
        DragCase{"left and up: the pointer is the top-left corner", {10, 5}, {5, 2}, region(6, 11, 3, 6)},
        DragCase{"back over the anchor: the left edge returns to it", {10, 5}, {15, 5}, region(11, 16, 6, 6)},
        DragCase{"right beyond 256 columns stops 256 from the anchor", {10, 0}, {400, 0}, region(11, 266, 1, 1)},
        DragCase{"left beyond 256 columns: left edge follows the pointer", {400, 0}, {10, 0}, region(11, 266, 1, 1)},
        DragCase{"rows are not limited", {0, 0}, {0, 399}, region(1, 1, 1, 400)},
        DragCase{"a pointer past the right edge is cut at the edge", {590, 0}, {700, 0}, region(591, 600, 1, 1)},
        DragCase{"a pointer past the bottom is cut at the bottom", {0, 390}, {0, 500}, region(1, 1, 391, 400)},
        DragCase{"to the first column", {5, 0}, {0, 0}, region(1, 6, 1, 1)}));

TEST(ZoomedPoint, ScreenPixelsToRegionPoints)
{
    const Selection s = region(11, 30, 5, 24);
    EXPECT_EQ(zoomedPoint(0, 0, 3, s), QPoint(11, 5));
    EXPECT_EQ(zoomedPoint(2, 2, 3, s), QPoint(11, 5));
    EXPECT_EQ(zoomedPoint(3, 5, 3, s), QPoint(12, 6));
    // The pointer never names a point outside the region.
    EXPECT_EQ(zoomedPoint(5000, 5000, 3, s), QPoint(30, 24));
    EXPECT_EQ(zoomedPoint(-4, -4, 3, s), QPoint(11, 5));
}

TEST(StrForm, BlankInPlaceOfThePlusSign)
{
    EXPECT_EQ(strForm(20), QStringLiteral(" 20"));
    EXPECT_EQ(strForm(0), QStringLiteral(" 0"));
    EXPECT_EQ(strForm(-3), QStringLiteral("-3"));
}

TEST(RegionNumber, DigitsOnlyAfterTrimming)
{
    EXPECT_EQ(parseRegionNumber(QStringLiteral("   ")).kind, RegionInput::Empty);
    EXPECT_EQ(parseRegionNumber(QStringLiteral(" 007 ")).value, 7);
    EXPECT_EQ(parseRegionNumber(QStringLiteral("1a")).kind, RegionInput::NotDigits);
    EXPECT_EQ(parseRegionNumber(QStringLiteral("-1")).kind, RegionInput::NotDigits);
    EXPECT_EQ(parseRegionNumber(QStringLiteral("1 2")).kind, RegionInput::NotDigits);
    // Too long for any integer: saturates and is refused as larger than the picture.
    const auto huge = parseRegionNumber(QStringLiteral("99999999999999999999999999"));
    EXPECT_EQ(huge.kind, RegionInput::Number);
    EXPECT_FALSE(applyRegionNumber(RegionBox::LastRow, huge.value, region(1, 20, 1, 20), 600, 400));
}

TEST(RegionNumber, AcceptedAndRefusedBounds)
{
    const Selection s = region(10, 50, 10, 50);
    const struct {
        const char* rule;
        RegionBox box;
        qint64 v;
        std::optional<Selection> expected;
    } cases[] = {
        {"first row 0", RegionBox::FirstRow, 0, std::nullopt},
        {"first row after the last", RegionBox::FirstRow, 51, std::nullopt},
        {"first row ok", RegionBox::FirstRow, 50, region(10, 50, 50, 50)},
        {"last row below the picture", RegionBox::LastRow, 401, std::nullopt},
        {"last row before the first", RegionBox::LastRow, 9, std::nullopt},
        {"last row at the bottom", RegionBox::LastRow, 400, region(10, 50, 10, 400)},
        {"first column after the last", RegionBox::FirstColumn, 51, std::nullopt},
        {"first column ok", RegionBox::FirstColumn, 1, region(1, 50, 10, 50)},
        {"last column making 257 columns", RegionBox::LastColumn, 266, std::nullopt},
        {"last column making 256 columns", RegionBox::LastColumn, 265, region(10, 265, 10, 50)},
        {"last column beyond the picture", RegionBox::LastColumn, 601, std::nullopt},
        {"last column before the first", RegionBox::LastColumn, 9, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const auto got = applyRegionNumber(c.box, c.v, s, 600, 400);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got)
            EXPECT_EQ(*got, *c.expected);
    }
}

// Columns 300 … 400: a first column of 144 is inside the picture and before the
// last, so only the 256-column limit can refuse it.
TEST(RegionNumber, FirstColumnRefusedOnlyByTheColumnLimit)
{
    const Selection s = region(300, 400, 10, 50);
    EXPECT_FALSE(applyRegionNumber(RegionBox::FirstColumn, 144, s, 600, 400)) << "257 columns";
    EXPECT_EQ(applyRegionNumber(RegionBox::FirstColumn, 145, s, 600, 400), region(145, 400, 10, 50)) << "256 columns";
}

TEST(Weight, AnswersOfTheInputBox)
{
    const struct {
        const char* answer;
        WeightInput kind;
        float value;
    } cases[] = {
        {"0,3", WeightInput::Number, 0.3f},   {" 0.3 ", WeightInput::Number, 0.3f},
        {"2", WeightInput::Number, 2.0f},     {".5", WeightInput::Number, 0.5f},
        {"5.", WeightInput::Number, 5.0f},    {",", WeightInput::Number, 0.0f},
        {"", WeightInput::Empty, 0},          {"   ", WeightInput::Empty, 0},
        {"1,2,3", WeightInput::Invalid, 0},   {"0.3a", WeightInput::Invalid, 0},
        {"-0.3", WeightInput::Invalid, 0},    {"0 3", WeightInput::Invalid, 0},
        {"1e3", WeightInput::Invalid, 0},     {"007,250", WeightInput::Number, 7.25f},
        // Beyond single precision the weight would be infinite.
        {"340282350000000000000000000000000000001", WeightInput::Invalid, 0},
        {"0,0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "00000000000000000000000000000000000001",
         WeightInput::Number, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const ParsedWeight w = parseWeight(QString::fromUtf8(c.answer));
        EXPECT_EQ(w.kind, c.kind);
        if (c.kind == WeightInput::Number)
            EXPECT_FLOAT_EQ(w.value, c.value);
    }
}

// QApplication takes LC_NUMERIC from the user's environment on Unix; a
// Russian or German user's "0.3" must still be 0.3, not 0.
TEST(Weight, ReadWithAPointWhateverTheCLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = name;
            break;
        }
    if (!comma)
        GTEST_SKIP() << "no locale with a decimal comma is installed (locale -a)";
    ASSERT_EQ(std::localeconv()->decimal_point, std::string(","));
    const ParsedWeight point = parseWeight(QStringLiteral("0.3"));
    const ParsedWeight decimalComma = parseWeight(QStringLiteral("0,3"));
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_FLOAT_EQ(point.value, 0.3f) << comma;
    EXPECT_FLOAT_EQ(decimalComma.value, 0.3f) << comma;
}

TEST(FramePulse, LevelsRiseToTheTopAndFallTo83)
{
    FramePulse pulse;
    std::vector<int> levels;
    for (int i = 0; i < 16; ++i) {
        levels.push_back(pulse.colour(0)[0]);
        pulse.step();
    }
    EXPECT_EQ(levels, (std::vector<int>{70, 100, 130, 160, 190, 220, 250, 255, 225, 195, 165, 135, 105, 83, 113, 143}));
}

TEST(FramePulse, HueSelectsTheBrightComponent)
{
    FramePulse pulse{100, true};
    EXPECT_EQ(pulse.colour(2), (std::array<int, 3>{25, 100, 25}));
    EXPECT_EQ(pulse.colour(3), (std::array<int, 3>{25, 25, 100}));
    EXPECT_EQ(pulse.colour(1), (std::array<int, 3>{100, 25, 25}));
    EXPECT_EQ(pulse.colour(0), (std::array<int, 3>{100, 25, 25}));
}

ImageStore trueColour(int w, int h)
{
    ImageStore s;
    s.FileSignature = QStringLiteral("BM");
    s.ImageWidth = w;
    s.ImageHeight = h;
    s.BitsPerPixel = 24;
    for (PixelPlane* p : {&s.PixelRed, &s.PixelGreen, &s.PixelBlue}) {
        p->resize(w, h);
        p->allocate();
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x)
                (*p)(x, y) = 40;
    }
    return s;
}

TEST(ImageViewColours, WhiteIsLeftToTheBackgroundByKind)
{
    ImageStore s;
    s.FileSignature = QStringLiteral("BM");
    s.ImageWidth = 4;
    s.ImageHeight = 1;
    s.BitsPerPixel = 8;
    s.PixelRed.resize(4, 1);
    s.PixelRed.allocate();
    for (int x = 1; x <= 4; ++x)
        s.PixelRed(x, 1) = std::uint8_t(x - 1);
    s.PaletteRGB[0] = {1.f, 2.f, 3.f};
    s.PaletteRGB[1] = {255.f, 255.f, 255.f};
    s.PaletteRGB[2] = {255.f, 255.f, 255.f};
    s.PaletteRGB[3] = {0.f, 0.f, 0.f};
    ImageViewColours bmp(s);
    EXPECT_EQ(bmp.at(s, 1, 1), 0xff010203u);
    EXPECT_EQ(bmp.at(s, 2, 1), 0u) << "the lowest white entry is not drawn";
    EXPECT_EQ(bmp.at(s, 3, 1), 0xffffffffu) << "a second white entry is drawn";

    s.ColorsUsed = 1; // searches entries 0 and 1 only
    s.PaletteRGB[1] = {9.f, 9.f, 9.f};
    EXPECT_EQ(ImageViewColours(s).at(s, 3, 1), 0xffffffffu) << "entry 2 lies beyond ColorsUsed";

    s.FileSignature = QStringLiteral("TG");
    s.TgaImageType = 1;
    EXPECT_EQ(ImageViewColours(s).at(s, 3, 1), 0xffffffffu) << "a mapped TGA draws white";
    s.TgaImageType = 3;
    s.PixelRed(4, 1) = 255;
    EXPECT_EQ(ImageViewColours(s).at(s, 4, 1), 0u) << "grey 255 is not drawn";
    EXPECT_EQ(ImageViewColours(s).at(s, 3, 1), 0xff020202u);
}

TEST(Readout, TrueColourMeanHasOneDecimalOnTheImageAndTwoZoomed)
{
    ImageStore s = trueColour(2, 2);
    s.PixelRed(1, 2) = 10;
    s.PixelGreen(1, 2) = 20;
    s.PixelBlue(1, 2) = 31;
    Workspace w;
    const QLocale ru(QLocale::Russian);
    const Readout image = pixelReadout(s, 1, 2, ReadoutView::Image, MeasureMean, w, 1, ru);
    EXPECT_EQ(image.column, QStringLiteral("X:  1"));
    EXPECT_EQ(image.row, QStringLiteral("Y:  2"));
    EXPECT_EQ(image.red, QStringLiteral("Красный  10"));
    EXPECT_EQ(image.green, QStringLiteral("Зелёный  20"));
    EXPECT_EQ(image.blue, QStringLiteral("Синий  31"));
    EXPECT_EQ(image.brightness, QStringLiteral("Яркость 20,3"));
    const Readout zoomed = pixelReadout(s, 1, 2, ReadoutView::Zoomed, MeasureMean, w, 1, ru);
    EXPECT_EQ(zoomed.column, QStringLiteral("Х:  1")) << "Cyrillic Kha on the zoomed view";
    EXPECT_EQ(zoomed.brightness, QStringLiteral("Яркость 20,33"));
    EXPECT_EQ(pixelReadout(s, 1, 2, ReadoutView::Image, MeasureMaximum, w, 1, ru).brightness,
              QStringLiteral("Яркость 31"));
    // 0.587·20 + 0.299·10 + 0.114·31 = 18.264
    EXPECT_EQ(pixelReadout(s, 1, 2, ReadoutView::Image, MeasureLuminance, w, 1, ru).brightness,
              QStringLiteral("Яркость 18,26"));
    EXPECT_FALSE(pixelReadout(s, 1, 2, ReadoutView::Image, MeasureGreen, w, 1, ru).brightness);
    EXPECT_FALSE(pixelReadout(s, 1, 2, ReadoutView::Image, MeasureMean, w, 0, ru).brightness)
        << "a grey region leaves the brightness label alone";
}

TEST(Readout, GreyTgaShowsOnlyTheLevel)
{
    ImageStore s;
    s.FileSignature = QStringLiteral("TG");
    s.TgaImageType = 3;
    s.BitsPerPixel = 8;
    s.ImageWidth = s.ImageHeight = 1;
    s.PixelRed.resize(1, 1);
    s.PixelRed.allocate();
    s.PixelRed(1, 1) = 77;
    const Readout r = pixelReadout(s, 1, 1, ReadoutView::Image, MeasureMean, Workspace{}, 0);
    EXPECT_EQ(r.brightness, QStringLiteral("Яркость 77"));
    EXPECT_FALSE(r.red);
    EXPECT_FALSE(r.green);
}

} // namespace
} // namespace lumiset

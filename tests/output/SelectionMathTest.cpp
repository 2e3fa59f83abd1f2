#include "output/SelectionMath.h"
#include "OutputFixtures.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace lumiset {

namespace {

TEST(DefaultSelection, CornerOfAtMostTwentyPoints)
{
    const struct {
        int w, h;
        std::array<qint32, 4> columnsAndRows;
    } cases[] = {{1, 1, {1, 1, 1, 1}}, {15, 300, {1, 15, 1, 20}}, {12000, 9000, {1, 20, 1, 20}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        const Selection s = defaultSelection(c.w, c.h);
        EXPECT_EQ((std::array<qint32, 4>{s.SelColumnFrom, s.SelColumnTo, s.SelRowFrom, s.SelRowTo}), c.columnsAndRows);
    }
}

TEST(ImagePoint, RoundsHalfToEvenAndStaysInThePicture)
{
    EXPECT_EQ(imagePoint(2.5, 3.5, 10, 10), QPoint(2, 4));
    EXPECT_EQ(imagePoint(-7, -0.4, 10, 10), QPoint(0, 0));
    EXPECT_EQ(imagePoint(9.6, 100, 10, 10), QPoint(9, 9));
}

TEST(ZoomedPoint, ScreenPixelsToRegionPoints)
{
    const Selection s{11, 30, 5, 24};
    EXPECT_EQ(zoomedPoint(0, 0, 3, s), QPoint(11, 5));
    EXPECT_EQ(zoomedPoint(2, 2, 3, s), QPoint(11, 5));
    EXPECT_EQ(zoomedPoint(3, 5, 3, s), QPoint(12, 6));
    // The pointer never names a point outside the region.
    EXPECT_EQ(zoomedPoint(5000, 5000, 3, s), QPoint(30, 24));
    EXPECT_EQ(zoomedPoint(-4, -4, 3, s), QPoint(11, 5));
}

TEST(Weight, AnswersOfTheInputBox)
{
    const QString tiny = QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QLatin1Char('1');
    const struct {
        QString answer;
        WeightInput kind;
        float value;
    } cases[] = {
        {"0,3", WeightInput::Number, 0.3f},
        {" 0.3 ", WeightInput::Number, 0.3f},
        {".5", WeightInput::Number, 0.5f},
        {"5.", WeightInput::Number, 5.0f},
        {",", WeightInput::Number, 0.0f},
        {"   ", WeightInput::Empty, 0},
        {"1,2,3", WeightInput::Invalid, 0},
        {"0.3a", WeightInput::Invalid, 0},
        {"-0.3", WeightInput::Invalid, 0},
        {"0 3", WeightInput::Invalid, 0},
        {"1e3", WeightInput::Invalid, 0},
        {"007,250", WeightInput::Number, 7.25f},
        {"340282350000000000000000000000000000001", WeightInput::Invalid, 0}, // infinite in single precision
        {tiny, WeightInput::Number, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        const ParsedWeight w = parseWeight(c.answer);
        EXPECT_EQ(w.kind, c.kind);
        if (c.kind == WeightInput::Number) {
            EXPECT_FLOAT_EQ(w.value, c.value);
        }
    }
}

// QApplication takes LC_NUMERIC from the user's environment on Unix; a
// Russian or German user's "0.3" must still be 0.3, not 0.
TEST(Weight, ReadWithAPointWhateverTheCLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                             "ru-RU", "de-DE"}) // the last two: Windows' names
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

TEST(FramePulse, LevelsRiseToTheTopAndFallTo83InTheHuesColour)
{
    FramePulse pulse;
    std::vector<int> levels;
    for (int i = 0; i < 16; ++i) {
        levels.push_back(pulse.colour(0)[0]);
        pulse.step();
    }
    EXPECT_EQ(levels, (std::vector<int>{70, 100, 130, 160, 190, 220, 250, 255, 225, 195, 165, 135, 105, 83, 113, 143}));
    const FramePulse at100{100, true};
    EXPECT_EQ(at100.colour(2), (std::array<int, 3>{25, 100, 25}));
    EXPECT_EQ(at100.colour(3), (std::array<int, 3>{25, 25, 100}));
    EXPECT_EQ(at100.colour(1), (std::array<int, 3>{100, 25, 25}));
}

TEST(ImageViewColours, WhiteIsLeftToTheBackgroundByKind)
{
    ImageStore s = test::loadedImage("BM", 8, 4, 1, false);
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

    s.FileSignature = QStringLiteral("QT");
    s.DecodedColourType = DecodedColour::Palette;
    s.BitsPerChannel = 8;
    s.ColorsUsed = 0;
    EXPECT_EQ(ImageViewColours(s).at(s, 3, 1), 0u) << "a decoded palette picture is drawn as a BMP";

    s.FileSignature = QStringLiteral("TG");
    s.TgaImageType = 1;
    EXPECT_EQ(ImageViewColours(s).at(s, 3, 1), 0xffffffffu) << "a mapped TGA draws white";
    s.TgaImageType = 3;
    s.PixelRed(4, 1) = 255;
    EXPECT_EQ(ImageViewColours(s).at(s, 4, 1), 0u) << "grey 255 is not drawn";
    EXPECT_EQ(ImageViewColours(s).at(s, 3, 1), 0xff020202u);
    EXPECT_EQ(zoomedColour(s, 4, 1), (std::array<std::uint8_t, 3>{255, 255, 255})) << "the zoomed view draws white";
    s.TgaImageType = 2; // true colour cannot have one plane of 8 bits
    EXPECT_FALSE(ImageViewColours(s).drawsAnything());
    EXPECT_FALSE(zoomedColour(s, 1, 1));
}

TEST(ImageViewColours, SamplesAreShownScaledByTheFilesLargestSample)
{
    const struct {
        const char* rule;
        DecodedColour colour;
        int bits;
        int largest;  ///< 0: the full range of the tables
        int white[3]; ///< samples of point 1, which shows as white and is not drawn
        int other[3]; ///< samples of point 2
        std::uint32_t shown;
    } cases[] = {
        {"16-bit colour", DecodedColour::Colour, 16, 0, {65535, 65407, 65535}, {32896, 300, 65280}, 0xff8001feu},
        {"16-bit colour up to 1000", DecodedColour::Colour, 16, 1000, {1000, 999, 1000}, {500, 4, 996}, 0xff8001feu},
        {"8-bit colour up to 100", DecodedColour::Colour, 8, 100, {100, 100, 100}, {50, 1, 99}, 0xff8003fcu},
        {"16-bit grey up to 1000", DecodedColour::Grey, 16, 1000, {999}, {300}, 0xff4c4c4cu},
        {"8-bit grey up to 100", DecodedColour::Grey, 8, 100, {100}, {50}, 0xff808080u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const bool colour = c.colour == DecodedColour::Colour;
        ImageStore s = test::loadedImage("QT", 0, 2, 1, false);
        s.DecodedColourType = c.colour;
        s.BitsPerChannel = c.bits;
        s.LargestSample = c.largest;
        PixelPlane* planes[3] = {&s.PixelRed, &s.PixelGreen, &s.PixelBlue};
        for (int k = 0; k < (colour ? 3 : 1); ++k) {
            planes[k]->resize(2, 1, c.bits / 8);
            planes[k]->allocate();
            for (int x = 1; x <= 2; ++x) {
                const int v = (x == 1 ? c.white : c.other)[k];
                if (c.bits == 16)
                    planes[k]->wordRow(1)[x - 1] = std::uint16_t(v);
                else
                    (*planes[k])(x, 1) = std::uint8_t(v);
            }
        }
        EXPECT_EQ(ImageViewColours(s).at(s, 1, 1), 0u);
        EXPECT_EQ(ImageViewColours(s).at(s, 2, 1), c.shown);
        const auto zoomed = zoomedColour(s, 2, 1);
        ASSERT_TRUE(zoomed);
        EXPECT_EQ(0xff000000u | std::uint32_t((*zoomed)[0]) << 16 | std::uint32_t((*zoomed)[1]) << 8 | (*zoomed)[2],
                  c.shown)
            << "the zoomed view and the cell fill show what the image view shows";
    }
}

TEST(Readout, TrueColourMeanHasOneDecimalOnTheImageAndTwoZoomed)
{
    ImageStore s = test::loadedImage("BM", 24, 2, 2, true);
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
    ImageStore s = test::loadedImage("TG", 8, 1, 1, false);
    s.TgaImageType = 3;
    s.PixelRed(1, 1) = 77;
    const Readout r = pixelReadout(s, 1, 1, ReadoutView::Image, MeasureMean, Workspace{}, 0);
    EXPECT_EQ(r.brightness, QStringLiteral("Яркость 77"));
    EXPECT_FALSE(r.red);
    EXPECT_FALSE(r.green);
}

} // namespace
} // namespace lumiset

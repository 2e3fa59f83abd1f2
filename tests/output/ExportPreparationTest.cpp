#include "output/ExportPreparation.h"

#include "output/ExportProgressView.h"
#include "output/OutputFixtures.h"
#include "output/PaletteMatch.h"
#include "output/RegionRows.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace lumiset {
namespace {

using namespace lumiset::test;

enum class Picture { Colour, Palette, GreyTga, Colour16 };

// (10, 20, 31) beside a colour point, so the region counts as colour; grey TGA
// level 77; 16-bit (54445, 4235, 35909).
ImageStore pointImage(Picture kind)
{
    switch (kind) {
    case Picture::Colour: return trueColourImage({{Rgb8{10, 20, 31}, Rgb8{1, 2, 3}}});
    case Picture::Palette:
        return singlePlaneImage({{4, 9}}, {{0, 0, 0}, {}, {}, {}, Rgb8{10, 20, 31}, {}, {}, {}, {}, Rgb8{1, 2, 3}});
    case Picture::GreyTga: return singlePlaneImage({{77, 200}}, {}, true);
    case Picture::Colour16: return wideColourImage({{{54445, 4235, 35909}, {1, 2, 3}}});
    }
    return {};
}

// Exact values: 8-bit sums are the seven digits of the float the program has
// always stored (20.333334f, 18.263999f), 16-bit sums the double itself.
TEST(CellValuesTest, EveryMeasureOnEveryKind)
{
    struct Case {
        const char* name;
        Picture picture;
        int measure;
        double expected;
        std::array<float, 3> weights = {0.299f, 0.587f, 0.114f};
    };
    const Case cases[] = {
        {"24-bit red", Picture::Colour, MeasureRed, 10.0},
        {"24-bit blue", Picture::Colour, MeasureBlue, 31.0},
        {"24-bit mean 61/3: seven digits of the float", Picture::Colour, MeasureMean, 20.33333},
        {"24-bit luminance in double, float, seven digits", Picture::Colour, MeasureLuminance, 18.264},
        {"24-bit luminance, own weights above 1", Picture::Colour, MeasureLuminance, 35.5, {2.0f, 0.0f, 0.5f}},
        {"unknown measure writes 0", Picture::Colour, 9, 0.0},
        {"palette blue through the palette", Picture::Palette, MeasureBlue, 31.0},
        {"palette mean", Picture::Palette, MeasureMean, 20.33333},
        {"palette luminance", Picture::Palette, MeasureLuminance, 18.264},
        {"grey TGA luminance is the level", Picture::GreyTga, MeasureLuminance, 77.0, {0.3f, 0.3f, 0.3f}},
        {"grey TGA blue", Picture::GreyTga, MeasureBlue, 77.0},
        {"16-bit maximum", Picture::Colour16, MeasureMaximum, 54445.0},
        {"16-bit mean in double", Picture::Colour16, MeasureMean, 31529.666666666668},
        {"16-bit luminance in double", Picture::Colour16, MeasureLuminance, 22858.625782050192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = workspaceOf(pointImage(c.picture), region(1, 1, 2, 1), c.measure);
        std::tie(ws.measure.CoefRed, ws.measure.CoefGreen, ws.measure.CoefBlue) = std::tuple(c.weights[0], c.weights[1],
                                                                                             c.weights[2]);
        EXPECT_EQ(RegionRows(ws.image, ws.selection, ws.measure).values(1)[0], c.expected);
    }
}

TEST(LastColumnNameTest, Letters)
{
    const std::pair<int, const char*> cases[] = {
        {1, "A"},    {26, "Z"},    {27, "AA"},     {52, "AZ"},  {53, "BA"}, {256, "IV"},
        {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}, {16385, ""}, {0, ""},
    };
    for (const auto& [columns, letters] : cases)
        EXPECT_EQ(lastColumnName(columns), QString::fromLatin1(letters)) << columns;
}

TEST(ColumnClampTest, WidthAndImageEdge)
{
    struct Case {
        const char* name;
        int width;
        Selection in;
        int from, to;
        RegionError error;
        TableLayout layout = TableLayout::Table;
    };
    const Case cases[] = {
        {"16400 wide from 10 is cut to 10..16393", 16500, region(10, 1, 16409, 1), 10, 16393, RegionError::None},
        {"beyond the edge: image width first, then 16384", 16500, region(1, 1, 17000, 1), 1, 16384, RegionError::None},
        {"beyond the edge of a narrow image", 5, region(2, 1, 9, 1), 2, 5, RegionError::None},
        {"first column 0 becomes 1", 5, region(0, 1, 3, 1), 1, 3, RegionError::None},
        {"reversed far apart is refused, not read", 20000, region(19990, 1, 10, 1), 19990, 36373,
         RegionError::OutsideImage},
        {"first column beyond the picture is refused", 5, region(7, 1, 5, 1), 7, 5, RegionError::OutsideImage},
        {"long layout: only the image edge", 16500, region(10, 1, 17000, 1), 10, 16500, RegionError::None,
         TableLayout::Long},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = workspaceOf(trueColourImage({std::vector<Rgb8>(std::size_t(c.width), Rgb8{1, 2, 3})}), c.in,
                                   MeasureRed);
        ws.output.layout = c.layout;
        EXPECT_EQ(prepareExportRequest(ws, false), c.error);
        EXPECT_EQ(ws.selection.SelColumnFrom, c.from);
        EXPECT_EQ(ws.selection.SelColumnTo, c.to);
        EXPECT_EQ(ws.ExportCancelled, c.error != RegionError::None);
    }
}

TEST(RegionCheckTest, RefusesWhatCannotBeRead)
{
    ImageStore image = trueColourImage({{Rgb8{1, 2, 3}, Rgb8{4, 5, 6}}, {Rgb8{7, 8, 9}, Rgb8{1, 1, 2}}});
    EXPECT_EQ(checkRegion(image, region(1, 1, 2, 2)), RegionError::None);
    EXPECT_EQ(checkRegion(image, region(1, 0, 2, 2)), RegionError::OutsideImage);
    image.PixelBlue.release();
    EXPECT_EQ(checkRegion(image, region(1, 1, 1, 1)), RegionError::PixelsMissing);
    EXPECT_EQ(countColorPoints(image, region(1, 1, 2, 2)), 0) << "tables not read count nothing";
    image.PixelBlue.resize(1, 2);
    image.PixelBlue.allocate();
    EXPECT_EQ(checkRegion(image, region(1, 1, 2, 1)), RegionError::PixelsMissing) << "a plane narrower than the region";
}

TEST(ColorPointCountTest, CountsAsTheZoomedViewDoes)
{
    struct Case {
        const char* name;
        std::function<ImageStore()> image;
        Selection sel;
        qint32 expected;
    };
    const std::vector<std::vector<Rgb8>> mixed{{Rgb8{5, 5, 5}, Rgb8{5, 5, 6}, Rgb8{7, 6, 6}},
                                               {Rgb8{0, 0, 0}, Rgb8{9, 8, 9}, Rgb8{255, 255, 255}}};
    const auto roundedPalette = [] { // the same byte 10 each once rounded, then a real colour
        ImageStore image = singlePlaneImage({{0, 1, 1}}, {Rgb8{}, Rgb8{10, 12, 10}});
        image.PaletteRGB[0] = {10.4f, 9.6f, 10.f};
        return image;
    };
    const Case cases[] = {
        {"24-bit: any differing component counts", [&] { return trueColourImage(mixed); }, region(1, 1, 3, 2), 3},
        {"palette judged by colours rounded to bytes", roundedPalette, region(1, 1, 3, 1), 2},
        {"grey TGA never counts",
         [] {
             return singlePlaneImage({{10, 250}}, {}, true);
         },
         region(1, 1, 2, 1), 0},
        {"only the region counts, nothing off the picture", [&] { return trueColourImage(mixed); }, region(2, 1, 4, 2),
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(countColorPoints(c.image(), c.sel), c.expected);
    }
}

// 1048576 worksheet rows: a table row per image row and three description
// lines, or in the long layout a heading row, a row per point and the lines.
TEST(WorkbookRowLimitTest, MoreThanTheSheetHoldsIsRefused)
{
    const std::tuple<TableLayout, int, int, bool> cases[] = {
        // layout, width, height, refused
        {TableLayout::Table, 1, 1048573, false}, {TableLayout::Table, 1, 1048574, true},
        {TableLayout::Long, 2, 524286, false},                                          // 1048572 points
        {TableLayout::Long, 2, 524287, true},    {TableLayout::Long, 1, 1048573, true}, // the heading row takes one
    };
    for (const auto& [layout, width, height, refused] : cases) {
        SCOPED_TRACE(height);
        Workspace ws = workspaceOf(trueColourImage({{Rgb8{1, 2, 3}}}), region(1, 1, width, height), MeasureRed);
        ws.output.layout = layout;
        ws.image.ImageWidth = width;
        ws.image.ImageHeight = height;
        for (PixelPlane* plane : {&ws.image.PixelRed, &ws.image.PixelGreen, &ws.image.PixelBlue})
            plane->resize(width, height), plane->allocate();
        EXPECT_EQ(prepareExportRequest(ws, false), refused ? RegionError::TallerThanSheet : RegionError::None);
        EXPECT_EQ(ws.ExportCancelled, refused);
    }
}

TEST(PaletteMatchTest, ChoosesFillAndFont)
{
    struct Case {
        const char* name;
        int red, green, blue;
        qint32 colorPoints; // 0: the region is grey
        qint32 fill, font;
        qint32 row; // -1: decided by the grey ladder
        qint32 distance;
        int rowsExamined;
    };
    const Case cases[] = {
        // Grey ladder edges: fills 1 | 56 | 16 | 48 | 15 | 2, white text up to 89.
        {"grey 0 black", 0, 0, 0, 5, 1, 2, -1, 0, 0},
        {"grey 25 last black", 25, 25, 25, 5, 1, 2, -1, 0, 0},
        {"grey 26 first dark grey", 26, 26, 26, 5, 56, 2, -1, 0, 0},
        {"grey 89 last white text", 89, 89, 89, 5, 56, 2, -1, 0, 0},
        {"grey 90 first black text", 90, 90, 90, 5, 16, 1, -1, 0, 0},
        {"grey 139", 139, 139, 139, 5, 16, 1, -1, 0, 0},
        {"grey 140", 140, 140, 140, 5, 48, 1, -1, 0, 0},
        {"grey 171", 171, 171, 171, 5, 48, 1, -1, 0, 0},
        {"grey 172", 172, 172, 172, 5, 15, 1, -1, 0, 0},
        {"grey 223", 223, 223, 223, 5, 15, 1, -1, 0, 0},
        {"grey 224 white", 224, 224, 224, 5, 2, 1, -1, 0, 0},
        // A grey region looks at red alone, whatever the other two say.
        {"grey region, red 30 decides", 30, 250, 0, 0, 56, 2, -1, 0, 0},
        {"grey region, pure red is white", 255, 0, 0, 0, 2, 1, -1, 0, 0},
        // Colour search: the first row nearer than 18 ends it, else the nearest wins.
        {"pure red stops at row 3", 255, 0, 0, 7, 3, 2, 3, 0, 4},
        {"(250,10,10) row 3 after a full scan", 250, 10, 10, 7, 3, 2, 3, 25, 47},
        {"(100,150,200) ends at row 37", 100, 150, 200, 7, 47, 2, 37, 97, 47},
        {"near white stops at row 0, fill 0", 255, 255, 250, 7, 0, 1, 0, 5, 1},
        {"distance 17 stops early", 255, 255, 238, 7, 0, 1, 0, 17, 1},
        {"distance 18 scans on, row 0 stays best", 255, 255, 237, 7, 0, 1, 0, 18, 47},
        {"tie keeps the earlier row", 64, 0, 0, 7, 1, 2, 1, 64, 47},
        {"farthest colour of the cube still finds a row", 102, 255, 76, 7, 4, 1, 4, 178, 47},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PaletteMatch m = matchCellColour(c.red, c.green, c.blue, c.colorPoints);
        EXPECT_EQ(m.fill, c.fill);
        EXPECT_EQ(m.font, c.font);
        EXPECT_EQ(m.bestRow, c.row);
        if (c.row >= 0) {
            EXPECT_EQ(m.bestDistance, c.distance);
            EXPECT_EQ(m.rowsExamined, c.rowsExamined);
        }
    }
}

TEST(PaletteMatchTest, SamplesScaleByTheFilesLargestSampleToTheNearestEightBitLevel)
{
    // {sample, largest sample, level}: v × 255 / largest, halves to even. 65280 is 254.01, where
    // taking the high byte would give 255; a sample above the largest (a faulty file) still shows white.
    const int cases[][3] = {{0, 65535, 0},       {128, 65535, 0},     {129, 65535, 1},     {32896, 65535, 128},
                            {65280, 65535, 254}, {65406, 65535, 254}, {65407, 65535, 255}, {65535, 65535, 255},
                            {200, 255, 200},     {100, 1000, 26},     {300, 1000, 76},     {998, 1000, 254},
                            {999, 1000, 255},    {1000, 1000, 255},   {4000, 1000, 255},   {50, 100, 128},
                            {1, 1, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(eightBitSample(c[0], c[1]), c[2]) << c[0] << " of " << c[1];
}

TEST(CellColorsTest, FromEachKindsColours)
{
    using Colours = std::vector<std::pair<int, int>>;
    const auto coloursOf = [](const Workspace& ws) {
        RegionRows rows(ws.image, ws.selection, ws.measure);
        const CellColours* c = rows.colours(1);
        Colours out;
        for (int j = 0; j < rows.columnCount(); ++j)
            out.emplace_back(c[j].fill, c[j].font);
        return out;
    };
    // The grey point of a colour region takes the grey ladder; white fill (2)
    // and black text (1) stay the sheet's defaults (0).
    const Workspace ws = workspaceOf(trueColourImage({{Rgb8{255, 0, 0}, Rgb8{250, 10, 10}, Rgb8{30, 30, 30}}}),
                                     region(1, 1, 3, 1), MeasureMean);
    EXPECT_EQ(coloursOf(ws), (Colours{{3, 2}, {3, 2}, {56, 2}}));
    const Workspace tga = workspaceOf(singlePlaneImage({{20, 100, 230}}, {}, true), region(1, 1, 3, 1), MeasureRed);
    EXPECT_EQ(coloursOf(tga), (Colours{{1, 2}, {16, 0}, {0, 0}}));
    const Workspace pal = workspaceOf(singlePlaneImage({{1, 0}}, {Rgb8{0, 0, 0}, Rgb8{100, 150, 200}}),
                                      region(1, 1, 2, 1), MeasureMean);
    EXPECT_EQ(coloursOf(pal), (Colours{{47, 2}, {1, 2}}));
}

// The window and the command line start from the same measure; the picture's
// kind alone decides it, whatever its depth.
TEST(DefaultMeasureTest, MeanForOnePlaneRedForColour)
{
    struct Case {
        const char* name;
        const char* signature;
        int bitsPerPixel;
        std::uint8_t tgaType;
        DecodedColour decoded;
        int bitsPerChannel;
        int expected;
    };
    const Case cases[] = {
        {"8-bit BMP palette", "BM", 8, 0, DecodedColour::Unreadable, 0, MeasureMean},
        {"24-bit BMP", "BM", 24, 0, DecodedColour::Unreadable, 0, MeasureRed},
        {"grey TGA", "TG", 8, 3, DecodedColour::Unreadable, 0, MeasureMean},
        {"1-bit PBM", "QT", 1, 0, DecodedColour::Grey, 1, MeasureMean},
        {"16-bit grey PNG", "QT", 16, 0, DecodedColour::Grey, 16, MeasureMean},
        {"4-bit palette PNG", "QT", 8, 0, DecodedColour::Palette, 4, MeasureMean},
        {"16-bit colour PNG", "QT", 48, 0, DecodedColour::Colour, 16, MeasureRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImageStore image;
        image.FileSignature = QString::fromLatin1(c.signature);
        image.BitsPerPixel = c.bitsPerPixel;
        image.TgaImageType = c.tgaType;
        image.DecodedColourType = c.decoded;
        image.BitsPerChannel = c.bitsPerChannel;
        EXPECT_EQ(defaultMeasure(image), c.expected);
    }
}

TEST(SecondsLeftTest, AverageStepTimesStepsLeft)
{
    struct Case {
        const char* name;
        qint64 elapsed, done, total, expected;
    };
    const Case cases[] = {
        {"nothing done yet", 5000, 0, 10, 0},     {"1 s a step, 6 left", 1000, 1, 7, 6},
        {"2.4 s a step, 5 left", 2400, 1, 6, 12}, {"7.5 rounds to even 8", 3000, 2, 7, 8},
        {"2.5 rounds to even 2", 2500, 1, 2, 2},  {"all done", 9000, 7, 7, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(secondsLeft(c.elapsed, c.done, c.total), c.expected);
    }
}

} // namespace
} // namespace lumiset

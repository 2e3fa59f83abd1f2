#include "output/ExportPreparation.h"

#include "output/OutputFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>

namespace lumiset {
namespace {

using namespace lumiset::test;

// Exact float bits: the sums must land on the same float the program has
// always stored, not merely a near one.
void expectSameFloat(float actual, float expected)
{
    std::uint32_t a, e;
    std::memcpy(&a, &actual, 4);
    std::memcpy(&e, &expected, 4);
    EXPECT_EQ(a, e) << actual << " vs " << expected;
}

Workspace workspaceOf(ImageStore image, Selection sel, int measure)
{
    Workspace ws;
    ws.image = std::move(image);
    ws.selection = sel;
    ws.BrightnessMeasure = measure;
    ws.ColorPointCount = countColorPoints(ws.image, sel);
    return ws;
}

struct ValueCase {
    const char* name;
    int kind; // 0 true colour, 1 palette, 2 grey TGA
    int measure;
    float coefRed, coefGreen, coefBlue;
    float expected;
};

// One point, (10, 20, 31), beside a colour point so the region counts as colour;
// grey TGA level 77.
ImageStore pointImage(int kind)
{
    if (kind == 0)
        return trueColourImage({{Rgb8{10, 20, 31}, Rgb8{1, 2, 3}}});
    if (kind == 1)
        return singlePlaneImage({{4, 9}}, {{0, 0, 0}, {}, {}, {}, Rgb8{10, 20, 31}, {}, {}, {}, {}, Rgb8{1, 2, 3}});
    return singlePlaneImage({{77, 200}}, {}, true);
}

TEST(CellValuesTest, EveryMeasureOnEveryKind)
{
    const std::array<ValueCase, 19> cases{{
        {"24-bit red", 0, MeasureRed, 0.299f, 0.587f, 0.114f, 10.0f},
        {"24-bit green", 0, MeasureGreen, 0.299f, 0.587f, 0.114f, 20.0f},
        {"24-bit blue", 0, MeasureBlue, 0.299f, 0.587f, 0.114f, 31.0f},
        {"24-bit mean 61/3 as float", 0, MeasureMean, 0.299f, 0.587f, 0.114f, 20.333334f},
        {"24-bit maximum", 0, MeasureMaximum, 0.299f, 0.587f, 0.114f, 31.0f},
        {"24-bit luminance in double, then float", 0, MeasureLuminance, 0.299f, 0.587f, 0.114f,
         float(20.0 * double(0.587f) + 10.0 * double(0.299f) + 31.0 * double(0.114f))},
        {"24-bit luminance, own weights above 1", 0, MeasureLuminance, 2.0f, 0.0f, 0.5f, 35.5f},
        {"unknown measure writes 0", 0, 9, 0.299f, 0.587f, 0.114f, 0.0f},
        {"palette red through the palette", 1, MeasureRed, 0.299f, 0.587f, 0.114f, 10.0f},
        {"palette green", 1, MeasureGreen, 0.299f, 0.587f, 0.114f, 20.0f},
        {"palette blue", 1, MeasureBlue, 0.299f, 0.587f, 0.114f, 31.0f},
        {"palette mean", 1, MeasureMean, 0.299f, 0.587f, 0.114f, 20.333334f},
        {"palette maximum", 1, MeasureMaximum, 0.299f, 0.587f, 0.114f, 31.0f},
        {"palette luminance", 1, MeasureLuminance, 0.299f, 0.587f, 0.114f,
         float(20.0 * double(0.587f) + 10.0 * double(0.299f) + 31.0 * double(0.114f))},
        {"grey TGA red", 2, MeasureRed, 0.299f, 0.587f, 0.114f, 77.0f},
        {"grey TGA mean is the level", 2, MeasureMean, 0.299f, 0.587f, 0.114f, 77.0f},
        {"grey TGA luminance is the level", 2, MeasureLuminance, 0.3f, 0.3f, 0.3f, 77.0f},
        {"grey TGA maximum", 2, MeasureMaximum, 0.299f, 0.587f, 0.114f, 77.0f},
        {"grey TGA blue", 2, MeasureBlue, 0.299f, 0.587f, 0.114f, 77.0f},
    }};
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = workspaceOf(pointImage(c.kind), region(1, 1, 2, 1), c.measure);
        ws.CoefRed = c.coefRed;
        ws.CoefGreen = c.coefGreen;
        ws.CoefBlue = c.coefBlue;
        ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
        expectSameFloat(ws.request.value(1, 1), c.expected);
    }
}

TEST(CellValuesTest, KnownFloatsOfTheProgram)
{
    struct Case {
        const char* name;
        Rgb8 point;
        int measure;
        float expected;
    };
    const std::array<Case, 5> cases{{
        {"mean of (10,20,31)", {10, 20, 31}, MeasureMean, 20.333334f},
        {"luminance of pure red", {255, 0, 0}, MeasureLuminance, 76.244995f},
        {"luminance of white is exactly 255", {255, 255, 255}, MeasureLuminance, 255.0f},
        {"maximum with green on top", {5, 200, 100}, MeasureMaximum, 200.0f},
        {"maximum of equal red and blue", {90, 10, 90}, MeasureMaximum, 90.0f},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = workspaceOf(trueColourImage({{c.point, Rgb8{0, 0, 1}}}), region(1, 1, 2, 1), c.measure);
        ASSERT_NE(ws.ColorPointCount, 0);
        ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
        expectSameFloat(ws.request.value(1, 1), c.expected);
    }
}

// A region whose points are all grey writes red whatever the measure and weights.
TEST(CellValuesTest, GreyRegionWritesRed)
{
    for (int measure = MeasureRed; measure <= MeasureLuminance; ++measure) {
        SCOPED_TRACE(measure);
        Workspace ws = workspaceOf(trueColourImage({{Rgb8{40, 40, 40}, Rgb8{200, 200, 200}, Rgb8{1, 250, 3}}}),
                                   region(1, 1, 2, 1), measure);
        ws.CoefRed = 0.9f;
        ws.CoefGreen = 0.9f;
        ws.CoefBlue = 0.9f;
        ASSERT_EQ(ws.ColorPointCount, 0);
        ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
        EXPECT_EQ(ws.request.value(1, 1), 40.0f);
        EXPECT_EQ(ws.request.value(1, 2), 200.0f);
    }
}

TEST(CellValuesTest, CellsFollowImageRowsAndColumns)
{
    // 3 × 2 region at (2, 2) of a 4 × 3 picture; red = 10·column + row.
    std::vector<std::vector<Rgb8>> rows(3, std::vector<Rgb8>(4));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            rows[std::size_t(y)][std::size_t(x)] = {std::uint8_t(10 * (x + 1) + (y + 1)), 0, 0};
    Workspace ws = workspaceOf(trueColourImage(rows), region(2, 2, 4, 3), MeasureRed);
    ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
    ASSERT_EQ(ws.request.rowCount, 2);
    ASSERT_EQ(ws.request.columnCount, 3);
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(ws.request.value(i, j), float(10 * (j + 1) + (i + 1))) << i << "," << j;
    EXPECT_EQ(ws.request.LastColumnName, QStringLiteral("C"));
    EXPECT_FALSE(ws.ExportCancelled);
}

TEST(LastColumnNameTest, Letters)
{
    const std::array<std::pair<int, const char*>, 9> cases{{
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {78, "BZ"}, {255, "IU"}, {256, "IV"}, {257, ""},
    }};
    for (const auto& [columns, letters] : cases) {
        SCOPED_TRACE(columns);
        EXPECT_EQ(lastColumnName(columns), QString::fromLatin1(letters));
    }
}

TEST(ColumnClampTest, WidthAndImageEdge)
{
    struct Case {
        const char* name;
        int width;
        Selection in;
        int from, to;
        RegionError error;
    };
    const std::array<Case, 6> cases{{
        {"300 wide from 10 is cut to 10..265", 400, region(10, 1, 309, 1), 10, 265, RegionError::None},
        {"beyond the edge: image width first, then 256", 600, region(1, 1, 700, 1), 1, 256, RegionError::None},
        {"beyond the edge of a narrow image", 5, region(2, 1, 9, 1), 2, 5, RegionError::None},
        {"first column 0 becomes 1", 5, region(0, 1, 3, 1), 1, 3, RegionError::None},
        {"reversed far apart is refused, not read", 300, region(290, 1, 10, 1), 290, 545,
         RegionError::OutsideImage},
        {"first column beyond the picture is refused", 5, region(7, 1, 5, 1), 7, 5, RegionError::OutsideImage},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::vector<Rgb8>> rows(1, std::vector<Rgb8>(std::size_t(c.width), Rgb8{1, 2, 3}));
        Workspace ws = workspaceOf(trueColourImage(rows), c.in, MeasureRed);
        EXPECT_EQ(prepareExportRequest(ws, false), c.error);
        EXPECT_EQ(ws.selection.SelColumnFrom, c.from);
        EXPECT_EQ(ws.selection.SelColumnTo, c.to);
        EXPECT_EQ(ws.ExportCancelled, c.error != RegionError::None);
        if (c.error == RegionError::None)
            EXPECT_EQ(ws.request.columnCount, c.to - c.from + 1);
    }
}

TEST(RegionCheckTest, RefusesWhatCannotBeRead)
{
    const ImageStore image = trueColourImage({{Rgb8{1, 2, 3}, Rgb8{4, 5, 6}}, {Rgb8{7, 8, 9}, Rgb8{1, 1, 2}}});
    EXPECT_EQ(checkRegion(image, region(1, 1, 2, 2)), RegionError::None);
    EXPECT_EQ(checkRegion(image, region(1, 1, 2, 3)), RegionError::OutsideImage);
    EXPECT_EQ(checkRegion(image, region(1, 0, 2, 2)), RegionError::OutsideImage);
    EXPECT_EQ(checkRegion(image, region(1, 2, 2, 1)), RegionError::OutsideImage);
    ImageStore notLoaded = trueColourImage({{Rgb8{1, 2, 3}}});
    notLoaded.PixelBlue.release();
    EXPECT_EQ(checkRegion(notLoaded, region(1, 1, 1, 1)), RegionError::PixelsMissing);
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
    const std::vector<Case> cases{
        {"24-bit: any differing component counts", [&] { return trueColourImage(mixed); }, region(1, 1, 3, 2), 3},
        {"24-bit: only the region is counted", [&] { return trueColourImage(mixed); }, region(1, 2, 1, 2), 0},
        {"palette of greys counts nothing",
         [] { return singlePlaneImage({{0, 1}}, {Rgb8{3, 3, 3}, Rgb8{200, 200, 200}}); }, region(1, 1, 2, 1), 0},
        {"palette colour counts per point",
         [] { return singlePlaneImage({{0, 1, 1}}, {Rgb8{3, 3, 3}, Rgb8{200, 0, 200}}); }, region(1, 1, 3, 1), 2},
        {"grey TGA never counts", [] { return singlePlaneImage({{10, 250}}, {}, true); }, region(1, 1, 2, 1), 0},
        {"region off the picture counts nothing", [&] { return trueColourImage(mixed); }, region(2, 1, 4, 2), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(countColorPoints(c.image(), c.sel), c.expected);
    }
}

TEST(ColorPointCountTest, OnlyTheRegionOfLoadedTablesCounts)
{
    std::vector<std::vector<Rgb8>> rows(3, std::vector<Rgb8>(4, Rgb8{40, 40, 40}));
    rows[1][1] = Rgb8{41, 40, 40}; // inside
    rows[2][2] = Rgb8{40, 40, 0};  // inside
    rows[0][3] = Rgb8{40, 7, 40};  // outside the region
    ImageStore image = trueColourImage(rows);
    EXPECT_EQ(countColorPoints(image, region(1, 1, 3, 3)), 2);
    image.PixelRed.release();
    EXPECT_EQ(countColorPoints(image, region(1, 1, 3, 3)), 0) << "released tables count nothing";
    image = trueColourImage(rows);
    image.PixelBlue.resize(2, 3);
    image.PixelBlue.allocate();
    EXPECT_EQ(countColorPoints(image, region(1, 1, 3, 3)), 0) << "a plane narrower than the region is not read";
}

TEST(ColorPointCountTest, PaletteJudgedByItsColourRoundedToBytes)
{
    ImageStore image = singlePlaneImage({{0, 1, 2}}, {Rgb8{10, 10, 10}, Rgb8{10, 12, 10}, Rgb8{10, 10, 10}});
    image.PaletteRGB[2] = {10.4f, 9.6f, 10.f}; // the same byte 10 each once rounded
    EXPECT_EQ(countColorPoints(image, region(1, 1, 3, 1)), 1);
    image.FileSignature = QStringLiteral("TG");
    image.TgaImageType = 3;
    EXPECT_EQ(countColorPoints(image, region(1, 1, 3, 1)), 0) << "a grey TGA never counts";
}

TEST(CellColorsTest, FilledOnlyWhenAsked)
{
    Workspace ws = workspaceOf(trueColourImage({{Rgb8{255, 0, 0}, Rgb8{250, 10, 10}, Rgb8{30, 30, 30}}}), region(1, 1, 3, 1), MeasureMean);
    ASSERT_EQ(prepareExportRequest(ws, false), RegionError::None);
    EXPECT_FALSE(ws.request.FillCellBackground);
    for (int j = 1; j <= 3; ++j)
        EXPECT_EQ(ws.request.colors(1, j), (std::array<qint32, 2>{0, 0}));

    ASSERT_EQ(prepareExportRequest(ws, true), RegionError::None);
    EXPECT_TRUE(ws.request.FillCellBackground);
    EXPECT_EQ(ws.request.colors(1, 1), (std::array<qint32, 2>{3, 2}));
    EXPECT_EQ(ws.request.colors(1, 2), (std::array<qint32, 2>{3, 2}));
    EXPECT_EQ(ws.request.colors(1, 3), (std::array<qint32, 2>{56, 2})); // grey point in a colour region
}

TEST(CellColorsTest, GreyTgaAndPaletteColoursFromTheirOwnTables)
{
    Workspace tga = workspaceOf(singlePlaneImage({{20, 100, 230}}, {}, true), region(1, 1, 3, 1), MeasureRed);
    ASSERT_EQ(prepareExportRequest(tga, true), RegionError::None);
    EXPECT_EQ(tga.request.colors(1, 1), (std::array<qint32, 2>{1, 2}));
    EXPECT_EQ(tga.request.colors(1, 2), (std::array<qint32, 2>{16, 1}));
    EXPECT_EQ(tga.request.colors(1, 3), (std::array<qint32, 2>{2, 1}));

    Workspace pal = workspaceOf(singlePlaneImage({{1, 0}}, {Rgb8{0, 0, 0}, Rgb8{100, 150, 200}}),
                                region(1, 1, 2, 1), MeasureMean);
    ASSERT_EQ(prepareExportRequest(pal, true), RegionError::None);
    EXPECT_EQ(pal.request.colors(1, 1), (std::array<qint32, 2>{47, 2}));
    EXPECT_EQ(pal.request.colors(1, 2), (std::array<qint32, 2>{1, 2}));
}

TEST(ExportRequestTest, UnsupportedDepthWritesZeros)
{
    ImageStore image = trueColourImage({{Rgb8{9, 9, 1}}});
    image.BitsPerPixel = 32;
    Workspace ws = workspaceOf(std::move(image), region(1, 1, 1, 1), MeasureRed);
    ASSERT_EQ(prepareExportRequest(ws, true), RegionError::None);
    EXPECT_EQ(ws.request.value(1, 1), 0.0f);
    EXPECT_EQ(ws.request.colors(1, 1), (std::array<qint32, 2>{0, 0}));
    EXPECT_FALSE(ws.ExportCancelled);
}

} // namespace
} // namespace lumiset

#include "output/PaletteMatch.h"

#include <gtest/gtest.h>

namespace lumiset {
namespace {

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

} // namespace
} // namespace lumiset

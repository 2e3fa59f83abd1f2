#include "ReaderFixtures.h"

#include "image/PointPreview.h"
#include "support/ImageBuilders.h"

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;

namespace {

struct GeometryCase {
    const char* rule;
    bool tga;
    int w, h;
    int boxW, boxH;
    int rows, cols;
    float scale;
};

TEST(PreviewGeometry, BoxRowsColumnsAndScaleForEachCase)
{
    const GeometryCase cases[] = {
        {"BMP unstretched 100 x 50", false, 100, 50, 102, 52, 50, 100, 1.0f},
        {"BMP wide 1000 x 100: box height 26.5 is held as 26", false, 1000, 100, 267, 26, 24, 265, 1000.0f / 267},
        {"BMP tall 100 x 1000", false, 100, 1000, 16, 163, 161, 14, 1000.0f / 163},
        {"BMP exactly the band", false, 265, 161, 267, 163, 161, 265, 1.0f},
        {"TGA unstretched", true, 20, 10, 20, 10, 10, 20, 1.0f},
        {"TGA wide 1000 x 100", true, 1000, 100, 267, 26, 26, 267, 1000.0f / 267},
        {"TGA tall 300 x 600: width 80.5 is held as 80", true, 300, 600, 80, 163, 163, 80, 600.0f / 163},
        {"TGA wide 1000 x 70: the last row would pass the picture and is cut", true, 1000, 70, 267, 18, 18, 267,
         1000.0f / 267},
        {"TGA without points", true, 0, 5, 0, 0, 0, 0, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const PreviewGeometry g = c.tga ? tgaPreviewGeometry(c.w, c.h) : bmpPreviewGeometry(c.w, c.h);
        EXPECT_EQ(g.boxWidth, c.boxW);
        EXPECT_EQ(g.boxHeight, c.boxH);
        EXPECT_EQ(g.rows, c.rows);
        EXPECT_EQ(g.cols, c.cols);
        EXPECT_FLOAT_EQ(g.scale, c.scale);
    }
}

QRgb at(const PointPreview& p, int x, int y)
{
    return p.image.pixel(x, y);
}

TEST(BmpPreview, UnstretchedPictureIsCopiedBottomRowLast)
{
    BmpBuilder b{.width = 100, .height = 50};
    b.pixels.assign(50, std::vector<Rgb>(100, Rgb{1, 2, 3}));
    b.pixels[49][0] = {200, 100, 50}; // bottom left
    b.pixels[0][99] = {9, 8, 7};      // top right
    Opened o;
    runBmp(o, b.build(), fixedLoader(PictureResult::Status::Rejected));
    const PointPreview& p = o.view.drawn;
    EXPECT_EQ(p.box, QSizeF(102, 52));
    EXPECT_EQ(p.image.size(), QSize(100, 50));
    EXPECT_EQ(p.offset, QPointF(82.5, 55.5));
    EXPECT_EQ(at(p, 0, 49), qRgb(200, 100, 50));
    EXPECT_EQ(at(p, 99, 0), qRgb(9, 8, 7));
    EXPECT_EQ(at(p, 50, 20), qRgb(1, 2, 3));
}

TEST(BmpPreview, PalettePictureTakesItsColoursFromThePalette)
{
    BmpBuilder b{.width = 3, .height = 1, .bitsPerPixel = 8};
    b.palette.assign(256, Rgb{});
    b.palette[7] = {70, 80, 90};
    b.indices = {{0, 7, 0}};
    Opened o;
    runBmp(o, b.build(), fixedLoader(PictureResult::Status::Rejected));
    EXPECT_EQ(at(o.view.drawn, 1, 0), qRgb(70, 80, 90));
    EXPECT_EQ(at(o.view.drawn, 0, 0), qRgb(0, 0, 0));
}

// A wide picture whose columns carry their own number in red: every drawn point
// shows which columns it averaged.
TEST(BmpPreview, ScaleOfTwoOrMoreAveragesFourPixels)
{
    const int W = 1000, H = 100;
    BmpBuilder b{.width = W, .height = H};
    b.pixels.assign(H, std::vector<Rgb>(W));
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c)
            b.pixels[r][c] = {std::uint8_t(c % 256), std::uint8_t(r), 0};
    Opened o;
    runBmp(o, b.build(), fixedLoader(PictureResult::Status::Rejected));
    const PointPreview& p = o.view.drawn;
    const double scale = 1000.0f / 267;
    ASSERT_EQ(p.image.size(), QSize(265, 24));
    // Point K (x = K - 1) averages columns c = Int(K × scale) and c - 1 (1-based),
    // i.e. 0-based columns c - 1 and c - 2, over two stored rows.
    const int K = 10;
    const int c = int(K * scale);
    const int red = ((c - 1) % 256 * 2 + (c - 2) % 256 * 2) / 4;
    EXPECT_EQ(qRed(at(p, K - 1, 10)), red);
    // Point 1 averages two rows of one column only.
    EXPECT_EQ(qRed(at(p, 0, 10)), (int(scale) - 1) % 256);
    // Rows: row L (y = rows - L) averages stored rows R(L × scale) and R(L × scale + 1)
    // counted from the bottom; green holds the picture row from the top (0-based).
    const int L = 5;
    const int s1 = int(std::nearbyint(L * scale)), s2 = int(std::nearbyint(L * scale + 1));
    const int g1 = H - s1, g2 = H - s2;
    EXPECT_EQ(qGreen(at(p, 0, 24 - L)), (g1 + g2) / 2);
    // The last row (y = 0) is not smoothed.
    const int sLast = int(std::nearbyint(24 * scale));
    EXPECT_EQ(qGreen(at(p, 0, 0)), H - sLast);
}

TEST(BmpPreview, ScaleBetweenOneAndTwoIsNotSmoothed)
{
    const int W = 400, H = 10;
    BmpBuilder b{.width = W, .height = H};
    b.pixels.assign(H, std::vector<Rgb>(W));
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c)
            b.pixels[r][c] = {std::uint8_t(c % 256), 0, 0};
    Opened o;
    runBmp(o, b.build(), fixedLoader(PictureResult::Status::Rejected));
    const double scale = 400.0f / 267;
    for (int K : {2, 3, 100, 265}) {
        SCOPED_TRACE(K);
        EXPECT_EQ(qRed(at(o.view.drawn, K - 1, 0)), (int(K * scale) - 1) % 256);
    }
}

TEST(TgaPreview, GreyBottomLeftPointsCarryTheirLevels)
{
    TgaBuilder b;
    b.imageType = 3;
    b.pixelDepth = 8;
    b.indices = {{10, 200}};
    Opened o;
    runTga(o, b.build());
    ASSERT_TRUE(o.view.drawnVisible);
    EXPECT_EQ(at(o.view.drawn, 0, 0), qRgb(10, 10, 10));
    EXPECT_EQ(at(o.view.drawn, 1, 0), qRgb(200, 200, 200));
    EXPECT_EQ(o.view.drawn.anchor, PreviewAnchor::TgaUnstretched);
}

TEST(TgaPreview, BothOriginsShowTheTopRowFirst)
{
    for (int descriptor : {0x00, 0x20}) {
        SCOPED_TRACE(descriptor);
        TgaBuilder b;
        b.width = 1;
        b.height = 2;
        b.descriptor = descriptor;
        b.pixels = {{Rgb{255, 0, 0}}, {Rgb{0, 0, 255}}};
        Opened o;
        runTga(o, b.build());
        EXPECT_EQ(at(o.view.drawn, 0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(at(o.view.drawn, 0, 1), qRgb(0, 0, 255));
    }
}

TEST(TgaPreview, StretchedPictureSamplesEveryPointInsideThePicture)
{
    TgaBuilder b;
    b.width = 300;
    b.height = 600;
    b.imageType = 3;
    b.pixelDepth = 8;
    b.indices.assign(600, std::vector<std::uint8_t>(300, 0));
    for (int r = 0; r < 600; ++r)
        for (int c = 0; c < 300; ++c)
            b.indices[r][c] = std::uint8_t(1 + (r + c) % 250); // never 0: every point must come from the picture
    Opened o;
    runTga(o, b.build());
    const PointPreview& p = o.view.drawn;
    EXPECT_EQ(p.anchor, PreviewAnchor::TgaStretched);
    ASSERT_EQ(p.image.size(), QSize(80, 163));
    for (int y = 0; y < p.image.height(); ++y)
        for (int x = 0; x < p.image.width(); ++x)
            ASSERT_NE(qRed(p.image.pixel(x, y)), 0) << x << "," << y;
}

} // namespace

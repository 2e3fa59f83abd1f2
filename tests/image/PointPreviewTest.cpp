#include "ReaderFixtures.h"

#include "image/PointPreview.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumiset;
using namespace lumiset::test;

namespace {

PointPreview drawnBmp(const BmpBuilder& b)
{
    return opened(b, PictureResult::Status::Rejected).view.drawn;
}

// Qt's reader rejected the file: the reader draws it and it stays exportable.
TEST(BmpPreview, UnstretchedPictureIsCopiedWithPaletteColours)
{
    BmpBuilder b{.width = 3, .height = 2, .bitsPerPixel = 8, .palette = std::vector<Rgb>(256)};
    b.palette[7] = {70, 80, 90};
    b.indices = {{0, 0, 0}, {7, 0, 0}}; // bottom left
    const Opened o = opened(b, PictureResult::Status::Rejected);
    EXPECT_TRUE(o.view.drawnVisible && o.view.exportOn && o.view.swatchVisible);
    EXPECT_FALSE(o.view.pictureBoxVisible || o.view.crossVisible);
    EXPECT_EQ(o.view.labelText(OpenLabel::SizeCaption), "3 x 2"); // no scale, no colour count
    const PointPreview& p = o.view.drawn;
    EXPECT_EQ(p.box, QSizeF(5, 4));
    EXPECT_EQ(p.offset, QPointF(131, 79.5));
    EXPECT_EQ(p.image.pixel(0, 1), qRgb(70, 80, 90));
    EXPECT_EQ(p.image.pixel(0, 0), qRgb(0, 0, 0));
}

// Columns carry their number in red and rows their number from the top in green:
// every drawn point shows which pixels it took.
BmpBuilder numbered(int W, int H)
{
    BmpBuilder b{.width = W, .height = H};
    b.pixels.assign(H, std::vector<Rgb>(W));
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c)
            b.pixels[r][c] = {std::uint8_t(c % 256), std::uint8_t(r), 0};
    return b;
}

TEST(BmpPreview, ScaleOfTwoOrMoreAveragesFourPixelsBelowTwoNone)
{
    const PointPreview p = drawnBmp(numbered(1000, 100));
    const double scale = 1000.0f / 267;
    ASSERT_EQ(p.image.size(), QSize(265, 24));
    // Point K averages 1-based columns Int(K × scale) and the one before, over two stored rows.
    const int K = 10, c = int(K * scale);
    EXPECT_EQ(qRed(p.image.pixel(K - 1, 10)), ((c - 1) % 256 * 2 + (c - 2) % 256 * 2) / 4);
    EXPECT_EQ(qRed(p.image.pixel(0, 10)), (int(scale) - 1) % 256); // point 1: one column only
    // Row L averages stored rows R(L × scale) and R(L × scale + 1) counted from the bottom.
    const int L = 5, s1 = int(std::nearbyint(L * scale)), s2 = int(std::nearbyint(L * scale + 1));
    EXPECT_EQ(qGreen(p.image.pixel(0, 24 - L)), (100 - s1 + 100 - s2) / 2);
    EXPECT_EQ(qGreen(p.image.pixel(0, 0)), 100 - int(std::nearbyint(24 * scale))); // the last row is not smoothed

    const PointPreview below2 = drawnBmp(numbered(400, 10)); // a scale between 1 and 2 is not smoothed
    for (int point : {2, 3, 100, 265})
        EXPECT_EQ(qRed(below2.image.pixel(point - 1, 0)), (int(point * (400.0f / 267)) - 1) % 256) << point;
}

TEST(TgaPreview, BothOriginsShowTheTopRowFirst)
{
    for (int descriptor : {0x00, 0x20}) {
        SCOPED_TRACE(descriptor);
        const Opened o = opened(TgaBuilder{.width = 1,
                                           .height = 2,
                                           .descriptor = descriptor,
                                           .pixels = {{Rgb{255, 0, 0}}, {Rgb{0, 0, 255}}}});
        EXPECT_EQ(o.view.drawn.anchor, PreviewAnchor::TgaUnstretched);
        EXPECT_EQ(o.view.drawn.image.pixel(0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(o.view.drawn.image.pixel(0, 1), qRgb(0, 0, 255));
    }
}

TEST(TgaPreview, LastRowThatWouldPassThePictureIsCut)
{
    const PreviewGeometry g = tgaPreviewGeometry(1000, 70); // the 19th row at 1000/267 a point would be row 71
    EXPECT_EQ(QSize(g.cols, g.rows), QSize(267, 18));
}

TEST(TgaPreview, StretchedGreyPictureSamplesEveryPointInsideThePicture)
{
    TgaBuilder b{.imageType = 3, .width = 300, .height = 600, .pixelDepth = 8};
    b.indices.assign(600, std::vector<std::uint8_t>(300));
    for (int r = 0; r < 600; ++r)
        for (int c = 0; c < 300; ++c)
            b.indices[r][c] = std::uint8_t(1 + (r + c) % 250); // never 0: every point must come from the picture
    const PointPreview p = opened(b).view.drawn;
    EXPECT_EQ(p.anchor, PreviewAnchor::TgaStretched);
    ASSERT_EQ(p.image.size(), QSize(80, 163));
    for (int y = 0; y < p.image.height(); ++y)
        for (int x = 0; x < p.image.width(); ++x) {
            const QRgb v = p.image.pixel(x, y);
            ASSERT_TRUE(qRed(v) != 0 && qRed(v) == qGreen(v) && qGreen(v) == qBlue(v)) << x << "," << y;
        }
}

} // namespace

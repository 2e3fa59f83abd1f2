#include "ReaderFixtures.h"

#include "image/OpenCommand.h"
#include "image/PixelLoader.h"
#include "support/ImageBuilders.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;

namespace {

PictureLoader rejectAll()
{
    return fixedLoader(PictureResult::Status::Rejected);
}

LoadResult load(Opened& o, const QByteArray& bytes)
{
    MemoryByteSource src(bytes);
    return loadPixels(o.store, src);
}

TEST(PixelLoader, Bmp24WithTwoFillerBytesPerRow)
{
    // Stored bottom row first: (1 2 3)(4 5 6) filler, then (7 8 9)(10 11 12) filler.
    QByteArray bytes = BmpBuilder{.width = 2, .height = 2}.build();
    const char rows[] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    bytes.replace(54, 16, QByteArray(rows, 16));
    Opened o;
    runBmp(o, bytes, rejectAll());
    ASSERT_EQ(o.store.RowPadding, 2);
    ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
    EXPECT_EQ(o.store.PixelRed(1, 1), 9);
    EXPECT_EQ(o.store.PixelGreen(1, 1), 8);
    EXPECT_EQ(o.store.PixelBlue(1, 1), 7);
    EXPECT_EQ(o.store.PixelRed(2, 2), 6);
    EXPECT_EQ(o.store.PixelBlue(1, 2), 1);
}

TEST(PixelLoader, Bmp8ThreeWideSkipsOneFillerByte)
{
    BmpBuilder b{.width = 3, .height = 2, .bitsPerPixel = 8};
    b.palette.resize(256);
    b.indices = {{10, 11, 12}, {20, 21, 22}};
    const QByteArray bytes = b.build();
    Opened o;
    runBmp(o, bytes, rejectAll());
    ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
    EXPECT_EQ(o.store.PixelRed(1, 1), 10);
    EXPECT_EQ(o.store.PixelRed(3, 2), 22);
    EXPECT_FALSE(o.store.PixelGreen.allocated()); // palette indices need one plane only
}

TEST(PixelLoader, TopDownBmpKeepsTheFileOrder)
{
    BmpBuilder b{.width = 1, .height = -2};
    b.pixels = {{Rgb{1, 2, 3}}, {Rgb{4, 5, 6}}};
    const QByteArray bytes = b.build();
    Opened o;
    runBmp(o, bytes, rejectAll());
    ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
    EXPECT_EQ(o.store.rgb(1, 1), (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(o.store.rgb(1, 2), (std::array<std::uint8_t, 3>{4, 5, 6}));
}

TEST(PixelLoader, TgaTrueColourBottomLeft)
{
    TgaBuilder b;
    b.rawPixels = QByteArray("\x0A\x14\x1E\x28\x32\x3C", 6); // 10 20 30 40 50 60
    const QByteArray bytes = b.build();
    Opened o;
    runTga(o, bytes);
    ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
    EXPECT_EQ(o.store.PixelRed(1, 1), 30);
    EXPECT_EQ(o.store.PixelBlue(2, 1), 40);
}

struct OrientationCase {
    const char* rule;
    int descriptor;
    int yOrigin;
};

TEST(PixelLoader, TgaRowOrderFollowsTheTopOriginBitAlone)
{
    const OrientationCase cases[] = {
        {"bottom-left, Y origin 0", 0x00, 0},
        {"bottom-left with a Y origin", 0x00, 5},
        {"top-left, Y origin = height", 0x20, 3},
        {"top-left, Y origin 0 as many writers store it", 0x20, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        TgaBuilder b;
        b.imageType = 3;
        b.pixelDepth = 8;
        b.width = 2;
        b.height = 3;
        b.descriptor = c.descriptor;
        b.yOrigin = c.yOrigin;
        b.indices = {{1, 2}, {3, 4}, {5, 6}}; // top row first; the builder stores them as the descriptor says
        const QByteArray bytes = b.build();
        Opened o;
        runTga(o, bytes);
        ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
        EXPECT_EQ(o.store.PixelRed(1, 1), 1);
        EXPECT_EQ(o.store.PixelRed(2, 3), 6);
        EXPECT_EQ(o.store.rgb(2, 2), (std::array<std::uint8_t, 3>{4, 4, 4}));
    }
}

TEST(PixelLoader, TgaTrueColourDepthsDecodeToTheSameColours)
{
    const std::vector<std::vector<Rgb>> picture = {{Rgb{255, 0, 8}, Rgb{16, 128, 248}}, {Rgb{0, 0, 0}, Rgb{248, 248, 248}}};
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        TgaBuilder b;
        b.width = 2;
        b.height = 2;
        b.pixelDepth = depth;
        b.pixels = picture;
        const QByteArray bytes = b.build();
        Opened o;
        runTga(o, bytes);
        ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
        for (int r = 1; r <= 2; ++r)
            for (int c = 1; c <= 2; ++c) {
                Rgb want = picture[r - 1][c - 1];
                if (depth < 24)
                    for (auto& v : want)
                        v = std::uint8_t((v >> 3 << 3) | (v >> 5));
                EXPECT_EQ(o.store.rgb(c, r), want) << c << "," << r;
            }
    }
}

TEST(PixelLoader, ColourMappedTgaReadsIndicesAfterTheMapItDeclares)
{
    TgaBuilder b;
    b.colorMapType = 1;
    b.imageType = 1;
    b.colorMapLength = 2;
    b.pixelDepth = 8;
    b.idLength = 3;
    b.colourMap = {Rgb{10, 20, 30}, Rgb{200, 100, 50}};
    b.width = 3;
    b.indices = {{1, 0, 1}};
    const QByteArray bytes = b.build();
    Opened o;
    runTga(o, bytes);
    ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
    EXPECT_EQ(o.store.rgb(1, 1), (std::array<std::uint8_t, 3>{200, 100, 50}));
    EXPECT_EQ(o.store.rgb(2, 1), (std::array<std::uint8_t, 3>{10, 20, 30}));
}

// What the loader must equal: every pixel byte read by itself at the position the
// header facts give, reads past the end yielding 0.
std::array<std::uint8_t, 3> referencePixel(const ImageStore& s, const QByteArray& f, int c, int r)
{
    auto at = [&](qint64 pos) -> std::uint8_t { return pos >= 0 && pos < f.size() ? std::uint8_t(f[pos]) : 0; };
    const int W = s.ImageWidth;
    const int H = s.ImageHeight;
    const int bpp = s.BitsPerPixel / 8;
    const qint64 B = bpp == 1 ? W + s.RowPadding : qint64(std::llround(W * 3.0 + s.RowPadding));
    const qint64 stored = H - r; // bottom row first
    const qint64 pos = s.PixelDataOffset + stored * B + qint64(c - 1) * bpp;
    if (bpp == 1)
        return {at(pos), 0, 0};
    return {at(pos + 2), at(pos + 1), at(pos)};
}

TEST(PixelLoader, EqualsByteByByteReadsForOddWidthsPaddingsAndShortFiles)
{
    QRandomGenerator rng(42);
    for (int round = 0; round < 60; ++round) {
        BmpBuilder b;
        b.width = rng.bounded(1, 9);
        b.height = rng.bounded(1, 6);
        b.bitsPerPixel = round % 2 ? 8 : 24;
        if (b.bitsPerPixel == 8)
            b.palette.resize(256);
        b.rowPadding = rng.bounded(0, 6);
        b.pixels.assign(std::size_t(b.height), std::vector<Rgb>(std::size_t(b.width)));
        b.indices.assign(std::size_t(b.height), std::vector<std::uint8_t>(std::size_t(b.width)));
        for (auto& row : b.pixels)
            for (auto& px : row)
                px = {std::uint8_t(rng.bounded(256)), std::uint8_t(rng.bounded(256)), std::uint8_t(rng.bounded(256))};
        for (auto& row : b.indices)
            for (auto& v : row)
                v = std::uint8_t(rng.bounded(256));
        QByteArray bytes = b.build();
        if (round % 3 == 0)
            bytes.chop(rng.bounded(1, 8)); // a truncated tail
        SCOPED_TRACE(QStringLiteral("%1x%2x%3 pad %4 size %5")
                         .arg(b.width).arg(b.height).arg(b.bitsPerPixel).arg(b.rowPadding).arg(bytes.size())
                         .toStdString());
        Opened o;
        runBmp(o, bytes, rejectAll());
        ASSERT_EQ(load(o, bytes), LoadResult::Loaded);
        for (int r = 1; r <= b.height; ++r)
            for (int c = 1; c <= b.width; ++c) {
                const auto want = referencePixel(o.store, bytes, c, r);
                ASSERT_EQ(o.store.PixelRed(c, r), want[0]) << c << "," << r;
                if (b.bitsPerPixel == 24) {
                    ASSERT_EQ(o.store.PixelGreen(c, r), want[1]);
                    ASSERT_EQ(o.store.PixelBlue(c, r), want[2]);
                }
            }
    }
}

TEST(PixelLoader, ReportsProgressOncePerRow)
{
    const QByteArray bytes = BmpBuilder{.width = 2, .height = 5}.build();
    Opened o;
    runBmp(o, bytes, rejectAll());
    MemoryByteSource src(bytes);
    std::vector<int> seen;
    ASSERT_EQ(loadPixels(o.store, src, [&](int done) { seen.push_back(done); }), LoadResult::Loaded);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(PixelLoader, RefusedOrUnknownKindsReadNothing)
{
    Opened o;
    const QByteArray fourBit = BmpBuilder{.width = 2, .height = 2, .bitsPerPixel = 4}.build();
    runBmp(o, fourBit, rejectAll());
    EXPECT_EQ(load(o, fourBit), LoadResult::NotDecoded);
    EXPECT_FALSE(o.store.PixelRed.allocated());

    Opened z;
    const QByteArray empty = BmpBuilder{.width = 0, .height = 2}.build();
    runBmp(z, empty, rejectAll());
    EXPECT_EQ(load(z, empty), LoadResult::NotDecoded);
}

TEST(PixelLoader, FileThatVanishedAfterStageOneIsReportedNotPresentedAsGood)
{
    const QByteArray bytes = BmpBuilder{.width = 2, .height = 2}.build();
    const QString folder = writeTempFile("gone.bmp", bytes);
    Opened o;
    ASSERT_EQ(openCommand(o.store, o.view, folder, "gone.bmp"), OpenOutcome::Bmp);
    ASSERT_TRUE(QFile::remove(QDir(folder).filePath("gone.bmp")));
    EXPECT_EQ(loadPixels(o.store), LoadResult::Unreadable);
    EXPECT_FALSE(o.store.PixelRed.allocated());
    EXPECT_EQ(o.store.ImageState, 1);
}

} // namespace

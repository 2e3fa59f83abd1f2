#include "ReaderFixtures.h"

#include "image/OpenCommand.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <vector>

using namespace lumiset;
using namespace lumiset::test;

namespace {

// What the loader must equal: every pixel byte read by itself at the position the
// header facts give, reads past the end yielding 0.
Rgb referencePixel(const ImageStore& s, const QByteArray& f, int c, int r)
{
    auto at = [&](qint64 pos) -> std::uint8_t { return pos >= 0 && pos < f.size() ? std::uint8_t(f[pos]) : 0; };
    const int bpp = s.BitsPerPixel / 8;
    const qint64 stride = qint64(s.ImageWidth) * bpp + s.RowPadding;
    const qint64 stored = s.RowsTopDown ? r - 1 : s.ImageHeight - r;
    const qint64 pos = s.PixelDataOffset + stored * stride + qint64(c - 1) * bpp;
    return bpp == 1 ? Rgb{at(pos), 0, 0} : Rgb{at(pos + 2), at(pos + 1), at(pos)};
}

TEST(PixelLoader, BmpEqualsByteByByteReadsForOddWidthsPaddingsRowOrdersAndShortFiles)
{
    QRandomGenerator rng(42);
    for (int round = 0; round < 60; ++round) {
        BmpBuilder b{.width = rng.bounded(1, 9), .height = rng.bounded(1, 6), .bitsPerPixel = round % 2 ? 8 : 24};
        b.palette.resize(b.bitsPerPixel == 8 ? 256 : 0);
        b.rowPadding = rng.bounded(0, 6);
        QByteArray bytes = b.build();
        for (int i = b.bitsPerPixel == 8 ? 54 + 1024 : 54; i < bytes.size(); ++i) // pixels and filler
            bytes[i] = char(rng.bounded(256));
        if (round % 3 == 0)
            bytes.chop(rng.bounded(1, 8)); // a truncated tail
        Bytes file{bytes};
        if (round % 4 >= 2) // rows stored top first: the same bytes under a negative height
            file.patch32(22, -b.height);
        bytes = file.data;
        SCOPED_TRACE(QStringLiteral("%1x%2x%3 pad %4 size %5")
                         .arg(b.width)
                         .arg(b.height)
                         .arg(b.bitsPerPixel)
                         .arg(b.rowPadding)
                         .arg(bytes.size())
                         .toStdString()
                     + (round % 4 >= 2 ? " top-down" : ""));
        Opened o;
        runBmp(o, bytes, fixedLoader(PictureResult::Status::Rejected));
        ASSERT_EQ(o.load(), LoadResult::Loaded);
        EXPECT_EQ(o.store.PixelGreen.allocated(), b.bitsPerPixel == 24); // palette indices need one plane only
        for (int r = 1; r <= b.height; ++r)
            for (int c = 1; c <= b.width; ++c) {
                const Rgb want = referencePixel(o.store, bytes, c, r);
                ASSERT_EQ(o.store.PixelRed(c, r), want[0]) << c << "," << r;
                if (b.bitsPerPixel == 24) {
                    ASSERT_EQ(o.store.rgb(c, r), want) << c << "," << r;
                }
            }
    }
}

TEST(PixelLoader, TgaRowOrderFollowsTheTopOriginBitAlone)
{
    const struct {
        const char* rule;
        int descriptor, yOrigin;
    } cases[] = {{"bottom-left", 0x00, 0},
                 {"bottom-left with a Y origin", 0x00, 5},
                 {"top-left, Y origin = height", 0x20, 3},
                 {"top-left, Y origin 0 as many writers store it", 0x20, 0},
                 {"interleave bits do not move the origin", 0xC0, 0},
                 {"top-left with interleave bits", 0xE0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Opened o = opened(TgaBuilder{.imageType = 3,
                                     .yOrigin = c.yOrigin,
                                     .width = 2,
                                     .height = 3,
                                     .pixelDepth = 8,
                                     .descriptor = c.descriptor,
                                     .indices = {{1, 2}, {3, 4}, {5, 6}}});
        ASSERT_EQ(o.load(), LoadResult::Loaded);
        EXPECT_EQ(o.store.PixelRed(1, 1), 1);
        EXPECT_EQ(o.store.PixelRed(2, 3), 6);
        EXPECT_EQ(o.store.rgb(2, 2), (Rgb{4, 4, 4}));
    }
}

TEST(PixelLoader, TgaTrueColourDepthsDecodeToTheSameColours)
{
    // Components that 5 bits widened back by repeating their top bits give unchanged.
    const std::vector<std::vector<Rgb>> picture = {{Rgb{255, 0, 8}, Rgb{16, 132, 247}},
                                                   {Rgb{0, 0, 0}, Rgb{247, 247, 247}}};
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        Opened o = opened(TgaBuilder{.width = 2, .height = 2, .pixelDepth = depth, .pixels = picture});
        EXPECT_EQ(o.store.BitsPerPixel, 24);
        ASSERT_EQ(o.load(), LoadResult::Loaded);
        for (int r = 1; r <= 2; ++r)
            for (int c = 1; c <= 2; ++c)
                EXPECT_EQ(o.store.rgb(c, r), picture[r - 1][c - 1]) << c << "," << r;
    }
}

TEST(PixelLoader, ColourMappedTgaReadsIndicesAfterTheIdFieldAndTheMap)
{
    Opened o = opened(TgaBuilder{.idLength = 3,
                                 .colorMapType = 1,
                                 .imageType = 1,
                                 .colorMapLength = 2,
                                 .width = 3,
                                 .pixelDepth = 8,
                                 .colourMap = {Rgb{10, 20, 30}, Rgb{200, 100, 50}},
                                 .indices = {{1, 0, 1}}});
    ASSERT_EQ(o.load(), LoadResult::Loaded);
    EXPECT_EQ(o.store.rgb(1, 1), (Rgb{200, 100, 50}));
    EXPECT_EQ(o.store.rgb(2, 1), (Rgb{10, 20, 30}));
}

TEST(PixelLoader, RefusedKindsReadNothing)
{
    for (const BmpBuilder& b : {BmpBuilder{.width = 2, .height = 2, .bitsPerPixel = 4}, BmpBuilder{.width = 0}}) {
        Opened o = opened(b);
        EXPECT_EQ(o.load(), LoadResult::NotDecoded);
        EXPECT_FALSE(o.store.PixelRed.allocated());
    }
}

TEST(PixelLoader, FileThatVanishedAfterStageOneIsReportedNotPresentedAsGood)
{
    const QString folder = writeTempFile("gone.bmp", BmpBuilder{}.build());
    Opened o;
    ASSERT_EQ(openCommand(o.store, o.view, folder, "gone.bmp"), OpenOutcome::Bmp);
    ASSERT_TRUE(QFile::remove(QDir(folder).filePath("gone.bmp")));
    EXPECT_EQ(loadPixels(o.store), LoadResult::Unreadable);
    EXPECT_FALSE(o.store.PixelRed.allocated());
}

TEST(ByteSource, ReadsOutsideTheFileYieldZerosAndAreRecorded)
{
    const struct {
        qint64 offset;
        std::vector<int> bytes;
        bool truncated;
    } cases[] = {{2, {3, 4, 0, 0}, true}, {-1, {0, 1, 2}, true}, {0, {1, 2}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        MemoryByteSource src(QByteArray("\x01\x02\x03\x04", 4));
        std::uint8_t buf[8];
        ASSERT_TRUE(src.read(c.offset, buf, qint64(c.bytes.size())));
        EXPECT_EQ(std::vector<int>(buf, buf + c.bytes.size()), c.bytes);
        EXPECT_EQ(src.truncated(), c.truncated);
    }
}

// The file source reads through a block cache and straight into large buffers;
// whatever the mix of reads, it must give the same bytes as the memory source.
TEST(FileByteSource, GivesTheSameBytesAsMemoryForAnyMixOfReads)
{
    QByteArray bytes(300000, '\0');
    QRandomGenerator rng(7);
    for (auto& b : bytes)
        b = char(rng.bounded(256));
    FileByteSource file(QDir(test::writeTempFile("data.bin", bytes)).filePath("data.bin"));
    ASSERT_TRUE(file.isOpen());
    MemoryByteSource memory(bytes);
    ASSERT_EQ(file.size(), memory.size());
    std::vector<std::uint8_t> a, b;
    for (int i = 0; i < 400; ++i) {
        const qint64 length = i % 7 == 0 ? rng.bounded(1, 120000) : rng.bounded(1, 5000);
        const qint64 offset = rng.bounded(-100, 310000);
        a.assign(std::size_t(length), 0xEE);
        b.assign(std::size_t(length), 0xDD);
        ASSERT_TRUE(file.read(offset, a.data(), length));
        ASSERT_TRUE(memory.read(offset, b.data(), length));
        ASSERT_EQ(a, b) << "offset " << offset << " length " << length;
    }
}

} // namespace

#include "image/ByteSource.h"

#include "support/ImageBuilders.h"

#include <QDir>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <vector>

using namespace lumiset;

namespace {

TEST(ByteSource, ReadsOutsideTheFileYieldZerosAndAreRecorded)
{
    MemoryByteSource src(QByteArray("\x01\x02\x03\x04", 4));
    std::uint8_t buf[8];
    ASSERT_TRUE(src.read(2, buf, 4));
    EXPECT_EQ(std::vector<int>(buf, buf + 4), (std::vector<int>{3, 4, 0, 0}));
    EXPECT_TRUE(src.truncated());

    MemoryByteSource before(QByteArray("\x01\x02", 2));
    ASSERT_TRUE(before.read(-1, buf, 3));
    EXPECT_EQ(std::vector<int>(buf, buf + 3), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(before.truncated());

    MemoryByteSource inside(QByteArray("\x01\x02", 2));
    ASSERT_TRUE(inside.read(0, buf, 2));
    EXPECT_FALSE(inside.truncated());
}

TEST(CalcWord, ReadsUnsignedLittleEndianAtOneBasedPositions)
{
    MemoryByteSource src(QByteArray("\x00\x34\x12\xFF\xFF", 5));
    EXPECT_EQ(CalcWord(src, 2), 4660);
    EXPECT_EQ(CalcWord(src, 4), 65535);
    EXPECT_EQ(CalcWord(src, 5), 255); // high byte past the end reads 0
    ByteCursor cur(src);
    EXPECT_EQ(cur.i32le(1), qint32(0xFFFF1234u));
}

// The file source reads through a block cache and straight into large buffers;
// whatever the mix of reads, it must give the same bytes as the memory source.
TEST(FileByteSource, GivesTheSameBytesAsMemoryForAnyMixOfReads)
{
    QByteArray bytes(300000, '\0');
    QRandomGenerator rng(7);
    for (auto& b : bytes)
        b = char(rng.bounded(256));
    const QString folder = test::writeTempFile("data.bin", bytes);
    FileByteSource file(QDir(folder).filePath("data.bin"));
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

TEST(FileByteSource, MissingFileIsNotOpen)
{
    FileByteSource file(QDir::temp().filePath("lumiset-no-such-file.bmp"));
    EXPECT_FALSE(file.isOpen());
}

} // namespace

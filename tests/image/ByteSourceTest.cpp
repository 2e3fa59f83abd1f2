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

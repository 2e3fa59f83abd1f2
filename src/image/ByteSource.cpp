#include "ByteSource.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>

namespace lumiset {

bool ByteSource::read(qint64 offset, std::uint8_t* dst, qint64 length)
{
    if (length <= 0)
        return true;
    // Split the request into the part before the file, inside it and after it.
    const qint64 end = offset + length;
    const qint64 from = std::clamp<qint64>(offset, 0, size_);
    const qint64 to = std::clamp<qint64>(end, 0, size_);
    if (from > offset || to < end)
        truncated_ = true;
    if (from >= to) {
        std::memset(dst, 0, std::size_t(length));
        return true;
    }
    if (from > offset)
        std::memset(dst, 0, std::size_t(from - offset));
    if (to < end)
        std::memset(dst + (to - offset), 0, std::size_t(end - to));
    if (!readInside(from, dst + (from - offset), to - from)) {
        failed_ = true;
        std::memset(dst + (from - offset), 0, std::size_t(to - from));
        return false;
    }
    return true;
}

MemoryByteSource::MemoryByteSource(QByteArray bytes) : bytes_(std::move(bytes))
{
    size_ = bytes_.size();
}

std::unique_ptr<QIODevice> MemoryByteSource::openDevice() const
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes_);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

bool MemoryByteSource::readInside(qint64 offset, std::uint8_t* dst, qint64 length)
{
    std::memcpy(dst, bytes_.constData() + offset, std::size_t(length));
    return true;
}

FileByteSource::FileByteSource(const QString& path) : path_(path), file_(path)
{
    if (file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        size_ = file_.size();
}

std::unique_ptr<QIODevice> FileByteSource::openDevice() const
{
    auto file = std::make_unique<QFile>(path_);
    file->open(QIODevice::ReadOnly);
    return file;
}

bool FileByteSource::readInside(qint64 offset, std::uint8_t* dst, qint64 length)
{
    // Large reads (whole rows of wide pictures) go straight to the caller's buffer.
    if (length >= kBlockSize / 4) {
        if (!file_.seek(offset))
            return false;
        qint64 done = 0;
        while (done < length) {
            const qint64 n = file_.read(reinterpret_cast<char*>(dst) + done, length - done);
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }
    if (blockStart_ < 0 || offset < blockStart_ || offset + length > blockStart_ + blockLength_) {
        block_.resize(std::size_t(kBlockSize));
        const qint64 want = std::min<qint64>(kBlockSize, size_ - offset);
        if (!file_.seek(offset))
            return false;
        qint64 done = 0;
        while (done < want) {
            const qint64 n = file_.read(reinterpret_cast<char*>(block_.data()) + done, want - done);
            if (n <= 0) {
                blockStart_ = -1;
                return false;
            }
            done += n;
        }
        blockStart_ = offset;
        blockLength_ = want;
    }
    std::memcpy(dst, block_.data() + (offset - blockStart_), std::size_t(length));
    return true;
}

std::uint8_t ByteCursor::u8(qint64 offset)
{
    std::uint8_t b = 0;
    source_.read(offset, &b, 1);
    return b;
}

std::uint16_t ByteCursor::u16le(qint64 offset)
{
    std::uint8_t b[2];
    source_.read(offset, b, 2);
    return std::uint16_t(unsigned(b[0]) | (unsigned(b[1]) << 8));
}

qint32 ByteCursor::i32le(qint64 offset)
{
    std::uint8_t b[4];
    source_.read(offset, b, 4);
    const std::uint32_t v = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16)
        | (std::uint32_t(b[3]) << 24);
    return static_cast<qint32>(v);
}

std::uint16_t ByteCursor::u16(qint64 offset)
{
    std::uint8_t b[2];
    source_.read(offset, b, 2);
    const unsigned first = b[0], second = b[1];
    return std::uint16_t(order_ == ByteOrder::BigEndian ? first << 8 | second : first | second << 8);
}

std::uint32_t ByteCursor::u32(qint64 offset)
{
    const std::uint32_t first = u16(offset), second = u16(offset + 2);
    return order_ == ByteOrder::BigEndian ? first << 16 | second : first | second << 16;
}

} // namespace lumiset

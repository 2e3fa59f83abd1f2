#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

namespace lumiset {

/// \brief Random-access bytes of one image file: a file read in blocks, or a
/// buffer in memory (tests, fuzzers).
///
/// Reads past the end (or before the start) yield zero bytes, as the readers of
/// this program have always treated short files; truncated() records that it
/// happened.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    qint64 size() const { return size_; }
    /// \brief Copies \a length bytes from \a offset (0-based) into \a dst,
    /// zero-filling what lies outside the file. Returns false on an I/O error.
    bool read(qint64 offset, std::uint8_t* dst, qint64 length);
    bool truncated() const { return truncated_; }
    bool failed() const { return failed_; }

    /// \brief A fresh device over the same bytes, for Qt's picture loader.
    virtual std::unique_ptr<QIODevice> openDevice() const = 0;

protected:
    /// Reads [offset, offset + length) that lies wholly inside the file.
    virtual bool readInside(qint64 offset, std::uint8_t* dst, qint64 length) = 0;
    qint64 size_ = 0;

private:
    bool truncated_ = false;
    bool failed_ = false;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(QByteArray bytes);
    std::unique_ptr<QIODevice> openDevice() const override;

protected:
    bool readInside(qint64 offset, std::uint8_t* dst, qint64 length) override;

private:
    QByteArray bytes_;
};

/// \brief A file read through one reusable block buffer, so that row reads and
/// header fields never cost a system call each.
class FileByteSource final : public ByteSource {
public:
    /// Opens \a path; check isOpen() and errorString().
    explicit FileByteSource(const QString& path);
    bool isOpen() const { return file_.isOpen(); }
    QString errorString() const { return file_.errorString(); }
    QFileDevice::FileError error() const { return file_.error(); }
    std::unique_ptr<QIODevice> openDevice() const override;

protected:
    bool readInside(qint64 offset, std::uint8_t* dst, qint64 length) override;

private:
    static constexpr qint64 kBlockSize = 64 << 10;
    QString path_;
    QFile file_;
    std::vector<std::uint8_t> block_;
    qint64 blockStart_ = -1;
    qint64 blockLength_ = 0;
};

/// \brief Byte order of a file's multi-byte fields.
enum class ByteOrder { LittleEndian, BigEndian };

/// \brief Field reads at 0-based offsets: the only code that decodes binary
/// header fields (BMP, TGA, and the PNG, JPEG and TIFF fields Qt's answer lacks).
/// Elsewhere the first bytes are only compared with format signatures, PNM's
/// text header has a cursor of its own, and the loaders copy whole pixel rows.
class ByteCursor {
public:
    explicit ByteCursor(ByteSource& source, ByteOrder order = ByteOrder::LittleEndian) : source_(source), order_(order)
    {
    }
    std::uint8_t u8(qint64 offset);
    std::uint16_t u16le(qint64 offset);
    qint32 i32le(qint64 offset);
    /// \brief 16 and 32 bits in the cursor's byte order.
    std::uint16_t u16(qint64 offset);
    std::uint32_t u32(qint64 offset);
    ByteSource& source() { return source_; }

private:
    ByteSource& source_;
    ByteOrder order_;
};

} // namespace lumiset

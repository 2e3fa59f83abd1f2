#include "PnmReader.h"

#include "ByteSource.h"

#include <vector>

namespace lumiset {

namespace {

bool isBlank(std::uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/// Reads the file forward in blocks, for the header and the plain (text) samples.
class TextCursor {
public:
    TextCursor(ByteSource& source, qint64 pos) : source_(source), pos_(pos) { }

    qint64 pos() const { return pos_; }
    bool atEnd() const { return pos_ >= source_.size(); }
    std::uint8_t peek()
    {
        if (pos_ < blockStart_ || pos_ >= blockStart_ + qint64(block_.size())) {
            blockStart_ = pos_;
            block_.assign(std::size_t(std::min<qint64>(kBlock, std::max<qint64>(source_.size() - pos_, 1))), 0);
            source_.read(pos_, block_.data(), qint64(block_.size()));
        }
        return block_[std::size_t(pos_ - blockStart_)];
    }
    void next() { ++pos_; }

    /// Skips blanks and comments, then reads a decimal number; -1 when there is
    /// none or it passes \a limit. With \a oneDigit (P1) a digit stands alone.
    qint64 number(qint64 limit, bool oneDigit = false)
    {
        while (!atEnd()) {
            const std::uint8_t c = peek();
            if (c == '#') {
                while (!atEnd() && peek() != '\n' && peek() != '\r')
                    next();
            } else if (isBlank(c)) {
                next();
            } else {
                break;
            }
        }
        qint64 value = -1;
        while (!atEnd() && peek() >= '0' && peek() <= '9') {
            value = (value < 0 ? 0 : value) * 10 + (peek() - '0');
            next();
            if (value > limit)
                return -1;
            if (oneDigit)
                break;
        }
        return value;
    }

private:
    static constexpr qint64 kBlock = 64 * 1024;
    ByteSource& source_;
    qint64 pos_;
    qint64 blockStart_ = 0;
    std::vector<std::uint8_t> block_;
};

} // namespace

PnmHeader readPnmHeader(ByteSource& source)
{
    PnmHeader h;
    std::uint8_t magic[2] = {};
    source.read(0, magic, 2);
    if (magic[0] != 'P' || magic[1] < '1' || magic[1] > '6')
        return h;
    h.magic = char(magic[1]);
    TextCursor cursor(source, 2);
    h.width = cursor.number(INT32_MAX);
    h.height = cursor.number(INT32_MAX);
    h.maxval = h.bitmap() ? 1 : int(cursor.number(kPnmMaxval));
    // One blank ends the header; the samples follow it.
    if (h.width <= 0 || h.height <= 0 || h.maxval <= 0 || cursor.atEnd() || !isBlank(cursor.peek()))
        return h;
    h.dataOffset = cursor.pos() + 1;
    h.valid = true;
    return h;
}

LoadResult loadPnmSamples(ImageStore& s, ByteSource& source, const PnmHeader& h, const RowProgress& progress)
{
    const int W = s.ImageWidth;
    const int channels = h.channels();
    const bool wide = s.sampleBytes() == 2;
    PixelPlane* planes[3] = {&s.PixelRed, &s.PixelGreen, &s.PixelBlue};
    if (h.bitmap() || !h.valid || h.width != W || h.height != s.ImageHeight || wide != (h.maxval > 255))
        return LoadResult::NotDecoded;
    const auto put = [&](int channel, int row, int column, int value) {
        if (wide)
            planes[channel]->wordRow(row)[column] = std::uint16_t(value);
        else
            planes[channel]->row(row)[column] = std::uint8_t(value);
    };

    TextCursor text(source, h.dataOffset);
    const int sampleBytes = h.maxval > 255 ? 2 : 1;
    std::vector<std::uint8_t> bytes(h.plain() ? 0 : std::size_t(W) * std::size_t(channels * sampleBytes));
    for (int row = 1; row <= s.ImageHeight; ++row) {
        if (!h.plain()
            && !source.read(h.dataOffset + qint64(row - 1) * qint64(bytes.size()), bytes.data(), qint64(bytes.size())))
            return LoadResult::Unreadable;
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < channels; ++c) {
                qint64 v = 0;
                if (h.plain()) {
                    v = text.number(wide ? 65535 : 255);
                    if (v < 0)
                        return LoadResult::NotDecoded; // missing or too large for the tables
                } else {
                    const std::uint8_t* p = bytes.data() + std::size_t(x * channels + c) * std::size_t(sampleBytes);
                    v = sampleBytes == 2 ? (qint64(p[0]) << 8 | p[1]) : p[0];
                }
                put(c, row, x, int(v));
            }
        if (progress)
            progress(row);
    }
    return LoadResult::Loaded;
}

} // namespace lumiset

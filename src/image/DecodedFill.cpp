#include "DecodedFill.h"

#include "PnmReader.h"
#include "QtDecoder.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

namespace lumiset {

namespace {

void releaseAll(ImageStore& s)
{
    s.PixelRed.release();
    s.PixelGreen.release();
    s.PixelBlue.release();
}

// The format in which a picture's decoder may write straight into its one
// table, or Format_Invalid where the rows must be copied.
QImage::Format inPlaceFormat(const ImageStore& s)
{
    switch (s.pixelKind()) {
    case PixelKind::Grey: return s.sampleBytes() == 2 ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8;
    case PixelKind::Palette: return QImage::Format_Indexed8;
    default: return QImage::Format_Invalid;
    }
}

// Pictures from this many points up fill their tables on two threads.
constexpr qint64 kParallelFillPixels = qint64(1) << 22;

// One row of the decoded picture in \a format, converted from its own when it differs.
template <typename Fill> void withRow(const QImage& image, int y, QImage::Format format, Fill fill)
{
    if (image.format() == format) {
        fill(image.constScanLine(y));
        return;
    }
    const QImage row = image.copy(0, y, image.width(), 1).convertToFormat(format);
    fill(row.constScanLine(0));
}

void fillRow(ImageStore& s, const QImage& image, int y)
{
    const int w = s.ImageWidth;
    const std::size_t n = std::size_t(w);
    const int row = y + 1;
    const bool wide = s.sampleBytes() == 2;
    switch (s.pixelKind()) {
    case PixelKind::Palette:
        withRow(image, y, QImage::Format_Indexed8, [&](const uchar* p) { std::memcpy(s.PixelRed.row(row), p, n); });
        break;
    case PixelKind::Grey:
        if (wide)
            withRow(image, y, QImage::Format_Grayscale16,
                    [&](const uchar* p) { std::memcpy(s.PixelRed.wordRow(row), p, n * 2); });
        else
            withRow(image, y, QImage::Format_Grayscale8,
                    [&](const uchar* p) { std::memcpy(s.PixelRed.row(row), p, n); });
        break;
    case PixelKind::TrueColour:
        if (wide) {
            // Straight (not premultiplied) samples: alpha plays no part in the colour.
            const QImage::Format f = image.format() == QImage::Format_RGBX64 ? QImage::Format_RGBX64
                                                                             : QImage::Format_RGBA64;
            withRow(image, y, f, [&](const uchar* p) {
                const auto* px = reinterpret_cast<const QRgba64*>(p);
                std::uint16_t* r = s.PixelRed.wordRow(row);
                std::uint16_t* g = s.PixelGreen.wordRow(row);
                std::uint16_t* b = s.PixelBlue.wordRow(row);
                for (int x = 0; x < w; ++x) {
                    r[x] = px[x].red();
                    g[x] = px[x].green();
                    b[x] = px[x].blue();
                }
            });
        } else {
            const QImage::Format f = image.format() == QImage::Format_RGB32 ? QImage::Format_RGB32
                                                                            : QImage::Format_ARGB32;
            withRow(image, y, f, [&](const uchar* p) {
                std::uint8_t* r = s.PixelRed.row(row);
                std::uint8_t* g = s.PixelGreen.row(row);
                std::uint8_t* b = s.PixelBlue.row(row);
                // The pixels pass through a local block: the planes are byte
                // pointers that could alias the picture as far as the compiler
                // knows, and the block lets it split them with vector code.
                constexpr int kBlock = 256;
                QRgb block[kBlock];
                for (int x0 = 0; x0 < w; x0 += kBlock) {
                    const int count = std::min(kBlock, w - x0);
                    std::memcpy(block, p + std::size_t(x0) * sizeof(QRgb), std::size_t(count) * sizeof(QRgb));
                    for (int i = 0; i < count; ++i) {
                        r[x0 + i] = std::uint8_t(block[i] >> 16);
                        g[x0 + i] = std::uint8_t(block[i] >> 8);
                        b[x0 + i] = std::uint8_t(block[i]);
                    }
                }
            });
        }
        break;
    case PixelKind::Unsupported: break;
    }
}

/// The decoded picture is of the kind stage one read from the header.
bool matchesHeader(const ImageStore& s, const QImage& image)
{
    if (image.width() != s.ImageWidth || image.height() != s.ImageHeight)
        return false;
    const FormatFacts facts = factsOf(image.format());
    if (s.DecodedFormat == "gif")
        return facts.colour != DecodedColour::Unreadable && !facts.floating;
    if (facts.colour == DecodedColour::Palette) // 1-bit or 8-bit indices: both read as 8
        return s.DecodedColourType == DecodedColour::Palette;
    return facts.colour == s.DecodedColourType && facts.bits == s.BitsPerChannel && !facts.floating;
}

} // namespace

LoadResult loadDecodedPixels(ImageStore& s, ByteSource& source, const RowProgress& progress)
{
    const PixelKind kind = s.pixelKind();
    const int W = s.ImageWidth;
    const int H = s.ImageHeight;
    const bool threePlanes = kind == PixelKind::TrueColour;
    const auto sized = [&](const PixelPlane& p) {
        return p.width() == W && p.height() == H && p.sampleBytes() == s.sampleBytes();
    };
    if (kind == PixelKind::Unsupported || W <= 0 || H <= 0 || !sized(s.PixelRed)
        || (threePlanes && (!sized(s.PixelGreen) || !sized(s.PixelBlue)))) {
        releaseAll(s);
        return LoadResult::NotDecoded;
    }
    if (!s.PixelRed.allocate() || (threePlanes && (!s.PixelGreen.allocate() || !s.PixelBlue.allocate()))) {
        releaseAll(s);
        return LoadResult::OutOfMemory;
    }
    if (s.DecodedFormat == "pgm" || s.DecodedFormat == "ppm") {
        const LoadResult result = loadPnmSamples(s, source, readPnmHeader(source), progress);
        if (result != LoadResult::Loaded)
            releaseAll(s);
        return result;
    }
    {
        const Decoder reader = decoderFor(s, source);
        // Grey and palette pictures are offered a picture made on their own
        // table: a decoder that fills it in place saves the copy and the memory.
        const QImage::Format direct = inPlaceFormat(s);
        uchar* table = nullptr;
        QImage image;
        if (direct != QImage::Format_Invalid) {
            table = s.sampleBytes() == 2 ? reinterpret_cast<uchar*>(s.PixelRed.wordRow(1)) : s.PixelRed.row(1);
            image = QImage(table, W, H, qsizetype(W) * s.sampleBytes(), direct);
        }
        // While a large picture decodes on this thread, a helper touches the
        // colour tables, so the system maps their pages in the meantime instead
        // of during the split below.
        std::thread prefault;
        if (threePlanes && qint64(W) * H >= kParallelFillPixels) {
            const std::size_t bytes = std::size_t(W) * std::size_t(H) * std::size_t(s.sampleBytes());
            const auto planeStart = [&s](PixelPlane& p) -> void* {
                return s.sampleBytes() == 2 ? static_cast<void*>(p.wordRow(1)) : static_cast<void*>(p.row(1));
            };
            void* planes[] = {planeStart(s.PixelRed), planeStart(s.PixelGreen), planeStart(s.PixelBlue)};
            try {
                prefault = std::thread([planes, bytes] {
                    for (void* plane : planes)
                        std::memset(plane, 0, bytes);
                });
            } catch (const std::system_error&) {
                // the split below maps the pages itself
            }
        }
        const bool decoded = reader->read(&image);
        if (prefault.joinable())
            prefault.join();
        if (!decoded || image.isNull()) {
            releaseAll(s);
            return reader->error() == QImageReader::InvalidDataError
                    || reader->error() == QImageReader::UnsupportedFormatError
                ? LoadResult::NotDecoded
                : LoadResult::Unreadable;
        }
        if (!matchesHeader(s, image)) {
            releaseAll(s);
            return LoadResult::NotDecoded;
        }
        if (kind == PixelKind::Palette && image.format() == QImage::Format_Indexed8)
            takePalette(s, image);
        if (table && image.constBits() == table) {
            if (progress)
                progress(H);
            return LoadResult::Loaded;
        }
        // Large pictures are split between this thread and a helper (rows of
        // their own, so no row is written twice); progress is reported from
        // this thread only, as it may drive a window.
        std::atomic<int> helperRows{0};
        int split = qint64(W) * H >= kParallelFillPixels ? H / 2 : H;
        std::thread helper;
        if (split < H) {
            try {
                helper = std::thread([&s, &image, &helperRows, split, H] {
                    for (int y = split; y < H; ++y) {
                        fillRow(s, image, y);
                        helperRows.fetch_add(1, std::memory_order_relaxed);
                    }
                });
            } catch (const std::system_error&) {
                split = H; // no thread to be had: this one fills every row
            }
        }
        for (int y = 0; y < split; ++y) {
            fillRow(s, image, y);
            if (progress)
                progress(y + 1 + helperRows.load(std::memory_order_relaxed));
        }
        if (helper.joinable())
            helper.join();
        if (progress && split < H)
            progress(H);
    } // the decoded picture goes here, before anything else is done with the tables
    return LoadResult::Loaded;
}

} // namespace lumiset

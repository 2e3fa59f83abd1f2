#include "PixelLoader.h"

#include "ByteSource.h"
#include "DecodedFill.h"
#include "NumberText.h"
#include "TgaReader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace lumiset {

namespace {

struct Layout {
    qint64 firstRow = 0;   ///< 0-based offset of the first stored row
    qint64 stride = 0;     ///< bytes from one stored row to the next
    int bytesPerPixel = 1; ///< 1 index or grey level; 2, 3, 4 true colour
    bool topDown = false;  ///< the first stored row is the top row
    bool threePlanes = false;
};

void bmpLayout(const ImageStore& s, Layout& l)
{
    l.bytesPerPixel = l.threePlanes ? 3 : 1;
    l.stride = l.threePlanes ? qint64(roundHalfEven(s.ImageWidth * 24.0 / 8 + s.RowPadding))
                             : qint64(s.ImageWidth) + s.RowPadding;
    l.firstRow = s.PixelDataOffset;
    l.topDown = s.RowsTopDown;
}

void tgaLayout(const ImageStore& s, Layout& l)
{
    l.bytesPerPixel = tgaBytesPerPixel(s);
    l.stride = qint64(s.ImageWidth) * l.bytesPerPixel;
    l.firstRow = s.TgaPixelDataOffset;
    // The descriptor's top-origin bit alone decides the row order; the Y origin is
    // a screen position and many top-left files store 0 there.
    l.topDown = s.TgaTopOrigin == 1;
}

// Splits blue-green-red triples into the three planes. The byte-at-a-time loop
// dominated loading, so on little-endian machines four pixels (12 bytes) go
// through three word loads and three word stores.
void splitBgr(const std::uint8_t* p, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue, int n)
{
    int c = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; c + 4 <= n; c += 4, p += 12) {
            std::uint32_t w0, w1, w2;
            std::memcpy(&w0, p, 4);     // b0 g0 r0 b1
            std::memcpy(&w1, p + 4, 4); // g1 r1 b2 g2
            std::memcpy(&w2, p + 8, 4); // r2 b3 g3 r3
            const std::uint32_t b = (w0 & 0xFFu) | ((w0 >> 24) << 8) | (((w1 >> 16) & 0xFFu) << 16)
                | (((w2 >> 8) & 0xFFu) << 24);
            const std::uint32_t g = ((w0 >> 8) & 0xFFu) | ((w1 & 0xFFu) << 8) | ((w1 >> 24) << 16)
                | (((w2 >> 16) & 0xFFu) << 24);
            const std::uint32_t r = ((w0 >> 16) & 0xFFu) | (((w1 >> 8) & 0xFFu) << 8) | ((w2 & 0xFFu) << 16)
                | ((w2 >> 24) << 24);
            std::memcpy(blue + c, &b, 4);
            std::memcpy(green + c, &g, 4);
            std::memcpy(red + c, &r, 4);
        }
    }
    for (; c < n; ++c, p += 3) {
        blue[c] = p[0];
        green[c] = p[1];
        red[c] = p[2];
    }
}

void releaseAll(ImageStore& s)
{
    s.PixelRed.release();
    s.PixelGreen.release();
    s.PixelBlue.release();
}

} // namespace

LoadResult loadPixels(ImageStore& s, ByteSource& source, const RowProgress& progress)
{
    if (s.isDecoded())
        return loadDecodedPixels(s, source, progress);
    Layout l;
    const PixelKind kind = s.pixelKind();
    const bool known = kind != PixelKind::Unsupported;
    l.threePlanes = kind == PixelKind::TrueColour;
    if (known && s.isBmp())
        bmpLayout(s, l);
    else if (known)
        tgaLayout(s, l);
    const int W = s.ImageWidth;
    const int H = s.ImageHeight;
    if (!known || W <= 0 || H <= 0 || s.PixelRed.width() != W || s.PixelRed.height() != H) {
        releaseAll(s);
        return LoadResult::NotDecoded;
    }
    if (!s.PixelRed.allocate()
        || (l.threePlanes && (s.PixelGreen.width() != W || !s.PixelGreen.allocate() || !s.PixelBlue.allocate()))) {
        releaseAll(s);
        return l.threePlanes && s.PixelGreen.width() != W ? LoadResult::NotDecoded : LoadResult::OutOfMemory;
    }

    const qint64 rowBytes = qint64(W) * l.bytesPerPixel;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    const bool twoByte = l.bytesPerPixel == 2;
    for (int stored = 0; stored < H; ++stored) {
        if (!source.read(l.firstRow + stored * l.stride, row.data(), rowBytes)) {
            releaseAll(s);
            return LoadResult::Unreadable;
        }
        const int pictureRow = l.topDown ? stored + 1 : H - stored;
        std::uint8_t* red = s.PixelRed.row(pictureRow);
        if (!l.threePlanes) {
            std::copy(row.begin(), row.end(), red);
        } else {
            std::uint8_t* green = s.PixelGreen.row(pictureRow);
            std::uint8_t* blue = s.PixelBlue.row(pictureRow);
            const std::uint8_t* p = row.data();
            if (twoByte) {
                for (int c = 0; c < W; ++c, p += 2) {
                    const auto rgb = decodeTgaTrueColour(p, 2);
                    red[c] = rgb[0];
                    green[c] = rgb[1];
                    blue[c] = rgb[2];
                }
            } else if (l.bytesPerPixel == 3) {
                splitBgr(p, red, green, blue, W);
            } else {
                for (int c = 0; c < W; ++c, p += 4) { // blue, green, red, alpha
                    blue[c] = p[0];
                    green[c] = p[1];
                    red[c] = p[2];
                }
            }
        }
        if (progress)
            progress(stored + 1);
    }
    return LoadResult::Loaded;
}

LoadResult loadPixels(ImageStore& s, const RowProgress& progress)
{
    FileByteSource file(s.FilePath);
    if (!file.isOpen()) {
        releaseAll(s);
        return LoadResult::Unreadable;
    }
    return loadPixels(s, file, progress);
}

} // namespace lumiset

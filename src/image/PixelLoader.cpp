#include "PixelLoader.h"

#include "ByteSource.h"
#include "NumberText.h"
#include "TgaReader.h"

#include <algorithm>
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

bool bmpLayout(const ImageStore& s, Layout& l)
{
    if (s.BitsPerPixel != 8 && s.BitsPerPixel != 24)
        return false;
    l.bytesPerPixel = s.BitsPerPixel / 8;
    l.threePlanes = s.BitsPerPixel == 24;
    l.stride = s.BitsPerPixel == 8 ? qint64(s.ImageWidth) + s.RowPadding
                                   : qint64(roundHalfEven(s.ImageWidth * 24.0 / 8 + s.RowPadding));
    l.firstRow = s.PixelDataOffset;
    l.topDown = s.RowsTopDown;
    return true;
}

bool tgaLayout(const ImageStore& s, Layout& l)
{
    const TgaPixelKind kind = tgaPixelKind(s);
    if (kind == TgaPixelKind::None)
        return false;
    l.bytesPerPixel = tgaBytesPerPixel(s);
    l.threePlanes = kind == TgaPixelKind::TrueColour;
    l.stride = qint64(s.ImageWidth) * l.bytesPerPixel;
    l.firstRow = s.TgaPixelDataOffset;
    // The descriptor's top-origin bit alone decides the row order; the Y origin is
    // a screen position and many top-left files store 0 there.
    l.topDown = s.TgaTopOrigin == 1;
    return true;
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
    Layout l;
    const bool known = s.isBmp() ? bmpLayout(s, l) : s.isTga() ? tgaLayout(s, l) : false;
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
            } else {
                const int step = l.bytesPerPixel;
                for (int c = 0; c < W; ++c, p += step) {
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

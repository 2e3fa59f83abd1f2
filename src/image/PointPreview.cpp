#include "PointPreview.h"

#include "ByteSource.h"
#include "NumberText.h"
#include "TgaReader.h"

#include <vector>

namespace lumiset {

namespace {

constexpr int kBandW = kPreviewBandWidth;  // 265
constexpr int kBandH = kPreviewBandHeight; // 161
// A stretched box is two points larger than the band: the drawing fills the band
// and the border sits outside it.
constexpr int kStretchedW = kBandW + 2; // 267
constexpr int kStretchedH = kBandH + 2; // 163

// Bytes of one stored row, [first, first + length), read in one go.
class RowReader {
public:
    explicit RowReader(ByteSource& source) : source_(source) { }
    const std::uint8_t* read(qint64 offset, qint64 length)
    {
        buffer_.resize(std::size_t(qMax<qint64>(length, 1)));
        source_.read(offset, buffer_.data(), length);
        return buffer_.data();
    }

private:
    ByteSource& source_;
    std::vector<std::uint8_t> buffer_;
};

QRgb paletteColour(const ImageStore& s, std::uint8_t index)
{
    const auto c = s.paletteColour(index);
    return qRgb(c[0], c[1], c[2]);
}

constexpr int kBorders = 2; // a one-pixel border on either side

/// The box and the points of a preview whose box is \a borders wider and
/// higher than its drawing area (kBorders or 0).
PreviewGeometry previewGeometry(int width, int height, int borders)
{
    PreviewGeometry g;
    const double w = width;
    const double h = height;
    switch (bandFit(width, height)) {
    case BandFit::Whole:
        g.boxWidth = width + borders;
        g.boxHeight = height + borders;
        g.left = (kBandW - w) / 2;
        g.top = (kBandH - h) / 2;
        g.scale = 1;
        g.rows = height;
        g.cols = width;
        break;
    case BandFit::ToHeight:
        g.boxWidth = roundHalfEvenToInt(w * kBandH / h);
        g.boxHeight = kStretchedH;
        g.left = (kBandW - g.boxWidth) / 2.0;
        g.scale = float(h / kStretchedH);
        g.rows = kStretchedH - borders;
        g.cols = g.boxWidth - borders;
        g.stretched = true;
        break;
    case BandFit::ToWidth:
        g.boxWidth = kStretchedW;
        g.boxHeight = roundHalfEvenToInt(h * kBandW / w);
        g.top = (kBandH - g.boxHeight) / 2.0;
        g.scale = float(w / kStretchedW);
        g.rows = g.boxHeight - borders;
        g.cols = kStretchedW - borders;
        g.stretched = true;
        break;
    }
    return g;
}

// The cleared box: a bordered box draws inside its one-pixel border.
PointPreview emptyPreview(const PreviewGeometry& g, PreviewAnchor anchor, bool bordered)
{
    PointPreview p;
    p.anchor = anchor;
    p.bordered = bordered;
    p.box = QSizeF(g.boxWidth, g.boxHeight);
    p.offset = QPointF(g.left, g.top);
    const int border = bordered ? kBorders : 0;
    p.image = QImage(qMax(g.boxWidth - border, 1), qMax(g.boxHeight - border, 1), QImage::Format_ARGB32);
    p.image.fill(Qt::transparent);
    return p;
}

} // namespace

PreviewGeometry bmpPreviewGeometry(int width, int height)
{
    PreviewGeometry g = previewGeometry(width, height, kBorders);
    g.rows = qMax(g.rows, 0);
    g.cols = qMax(g.cols, 0);
    return g;
}

PreviewGeometry tgaPreviewGeometry(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {}; // nothing to draw; the box stays empty
    PreviewGeometry g = previewGeometry(width, height, 0);
    // The last preview row must not pass the last picture row.
    if (roundHalfEvenToInt(g.rows * double(g.scale)) > height) {
        --g.rows;
        g.boxHeight = g.rows;
    }
    return g;
}

PointPreview drawBmpPreview(const ImageStore& s, ByteSource& source)
{
    const int W = s.ImageWidth;
    const int H = s.ImageHeight;
    const PreviewGeometry g = bmpPreviewGeometry(W, H);
    PointPreview p = emptyPreview(g, PreviewAnchor::Bmp, true);

    const bool eight = s.pixelKind() == PixelKind::Palette;
    const qint64 stride = eight ? qint64(W) + s.RowPadding : qint64(roundHalfEvenToInt(W * 24.0 / 8 + s.RowPadding));
    const double scale = g.scale;
    // Stored row number s (1 = first stored) of the row that is the s-th from the bottom.
    auto rowOffset = [&](qint64 fromBottom) {
        const qint64 stored = s.RowsTopDown ? qint64(H) + 1 - fromBottom : fromBottom;
        return qint64(s.PixelDataOffset) + (stored - 1) * stride;
    };
    const int bytesPerPixel = eight ? 1 : 3;
    // Point K takes column Int(K × Scale); one read covers the row up to the last column used
    // (and the pixel left of the first, for smoothing).
    const qint64 span = (qint64(g.cols * scale) + 1) * bytesPerPixel;
    RowReader rowA(source);
    RowReader rowB(source);
    const bool smoothing = !eight && scale >= 2;

    for (int L = 1; L <= g.rows; ++L) {
        const int y = g.rows - L;
        const qint64 srcRow = roundHalfEvenToInt(L * scale);
        const qint64 start = rowOffset(srcRow) - bytesPerPixel; // byte of column 0
        const std::uint8_t* a = rowA.read(start, span + bytesPerPixel);
        const bool smoothRow = smoothing && L < g.rows;
        const std::uint8_t* b = smoothRow
            ? rowB.read(rowOffset(roundHalfEvenToInt(L * scale + 1)) - bytesPerPixel, span + bytesPerPixel)
            : nullptr;
        auto* line = reinterpret_cast<QRgb*>(p.image.scanLine(y));
        for (int K = 1; K <= g.cols; ++K) {
            const qint64 c = qint64(K * scale); // Int(): scale and K are positive
            const std::uint8_t* pa = a + c * bytesPerPixel;
            QRgb colour;
            if (eight) {
                colour = paletteColour(s, *pa);
            } else if (!smoothRow) {
                colour = qRgb(pa[2], pa[1], pa[0]);
            } else {
                const std::uint8_t* pb = b + c * bytesPerPixel;
                int rgb[3];
                for (int k = 0; k < 3; ++k) {
                    const int sum = pa[2 - k] + pb[2 - k];
                    rgb[k] = K == 1 ? sum / 2 : (sum + pa[2 - k - 3] + pb[2 - k - 3]) / 4;
                }
                colour = qRgb(rgb[0], rgb[1], rgb[2]);
            }
            line[K - 1] = colour;
        }
    }
    return p;
}

PointPreview drawTgaPreview(const ImageStore& s, ByteSource& source)
{
    const int W = s.ImageWidth;
    const int H = s.ImageHeight;
    const PreviewGeometry g = tgaPreviewGeometry(W, H);
    PointPreview p = emptyPreview(g, g.stretched ? PreviewAnchor::TgaStretched : PreviewAnchor::TgaUnstretched, false);
    if (g.rows <= 0 || g.cols <= 0)
        return p;

    const PixelKind kind = s.pixelKind();
    if (kind == PixelKind::Unsupported)
        return p;
    const int bpp = tgaBytesPerPixel(s);
    const qint64 stride = qint64(W) * bpp;
    const double scale = g.scale;
    const qint64 span = (qint64(roundHalfEvenToInt(g.cols * scale)) + 1) * bpp;
    RowReader reader(source);
    for (int L = 1; L <= g.rows; ++L) {
        const qint64 pictureRow = roundHalfEvenToInt(L * scale); // 1 = top
        const qint64 stored = s.TgaTopOrigin ? pictureRow - 1 : qint64(H) - pictureRow;
        const std::uint8_t* row = reader.read(s.TgaPixelDataOffset + stored * stride, span);
        auto* line = reinterpret_cast<QRgb*>(p.image.scanLine(L - 1));
        if (kind == PixelKind::TrueColour) {
            for (int K = 1; K <= g.cols; ++K) {
                const qint64 pixel = roundHalfEvenToInt(K * scale) - 1;
                const auto rgb = pixel < 0 ? std::array<std::uint8_t, 3>{}
                                           : decodeTgaTrueColour(row + pixel * bpp, bpp);
                line[K - 1] = qRgb(rgb[0], rgb[1], rgb[2]);
            }
        } else {
            for (int K = 0; K < g.cols; ++K) {
                const std::uint8_t v = row[roundHalfEvenToInt(K * scale)];
                line[K] = kind == PixelKind::Grey ? qRgb(v, v, v) : paletteColour(s, v);
            }
        }
    }
    return p;
}

} // namespace lumiset

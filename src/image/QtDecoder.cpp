#include "QtDecoder.h"

#include "ByteSource.h"
#include "DecodedHeaderProbe.h"
#include "MemoryBudget.h"

#include <QPixelFormat>

#include <algorithm>
#include <climits>

namespace lumiset {

namespace {

constexpr qint64 kMiB = qint64(1) << 20;

/// Qt's allocation limit, in MiB, for decoding \a s: what the budget leaves
/// beside the tables, and never more than the widest decoded picture of the
/// header's size.
int allocationLimit(const ImageStore& s)
{
    const qint64 pixels = qint64(s.ImageWidth) * s.ImageHeight;
    qint64 bytes = pixels * kWidestDecodedPixel + kMiB;
    const qint64 available = availableMemory();
    if (available >= 0)
        bytes = std::min(bytes, available - kMemoryReserve - pixels * tableBytesPerPixel(s));
    return int(std::clamp<qint64>((bytes + kMiB - 1) / kMiB, 1, INT_MAX));
}

/// \brief A file's bytes with one stretch left out, read through the file's own
/// device. Qt's PNG decoder applies a transparency key by turning the keyed
/// points into transparent black (and garbles the rows of a 16-bit colour
/// picture that has one); left out, the key changes no sample.
class CutDevice final : public QIODevice {
public:
    CutDevice(std::unique_ptr<QIODevice> whole, qint64 cutAt, qint64 cutLength)
        : whole_(std::move(whole)), cutAt_(cutAt), cutLength_(cutLength)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered); // so that pos() is where readData() reads
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return whole_->size() - cutLength_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        qint64 done = 0;
        while (done < maxSize) {
            const qint64 at = pos() + done;
            const bool before = at < cutAt_;
            const qint64 want = before ? std::min(maxSize - done, cutAt_ - at) : maxSize - done;
            const qint64 physical = before ? at : at + cutLength_;
            if (whole_->pos() != physical && !whole_->seek(physical))
                return done > 0 ? done : -1;
            const qint64 got = whole_->read(data + done, want);
            if (got < 0)
                return done > 0 ? done : -1;
            done += got;
            if (got < want)
                break; // the end of the file
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::unique_ptr<QIODevice> whole_;
    qint64 cutAt_;
    qint64 cutLength_;
};

} // namespace

FormatFacts factsOf(QImage::Format f)
{
    FormatFacts facts;
    if (f == QImage::Format_Invalid)
        return facts;
    const QPixelFormat pf = QImage::toPixelFormat(f);
    facts.alpha = pf.alphaUsage() == QPixelFormat::UsesAlpha;
    facts.floating = pf.typeInterpretation() == QPixelFormat::FloatingPoint;
    facts.bytesPerPixel = std::max(1, int(pf.bitsPerPixel()) / 8);
    switch (f) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        facts.colour = DecodedColour::Palette;
        facts.bits = 1;
        break;
    case QImage::Format_Indexed8:
        facts.colour = DecodedColour::Palette;
        facts.bits = 8;
        break;
    case QImage::Format_Grayscale8:
        facts.colour = DecodedColour::Grey;
        facts.bits = 8;
        break;
    case QImage::Format_Grayscale16:
        facts.colour = DecodedColour::Grey;
        facts.bits = 16;
        break;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        facts.colour = DecodedColour::Colour;
        facts.bits = 16;
        break;
    default:
        facts.colour = DecodedColour::Colour;
        facts.bits = facts.floating ? int(pf.bitsPerPixel()) / 4 : 8;
        break;
    }
    return facts;
}

Decoder decoderFor(const ImageStore& s, ByteSource& source)
{
    Decoder d;
    d.device = source.openDevice();
    if (s.DecodedFormat == "png") {
        const PngHeader png = readPngHeader(source);
        if (png.keyLength > 0)
            d.device = std::make_unique<CutDevice>(std::move(d.device), png.keyAt, png.keyLength);
    }
    d.reader = std::make_unique<QImageReader>(d.device.get(), s.DecodedFormat);
    d.reader->setAllocationLimit(allocationLimit(s));
    // The stored grid, as the header gives its size: an EXIF turn would swap it.
    d.reader->setAutoTransform(false);
    return d;
}

qint64 tableBytesPerPixel(const ImageStore& s)
{
    return qint64(s.singlePlane() ? 1 : 3) * s.sampleBytes();
}

void takePalette(ImageStore& s, const QImage& image)
{
    s.clearPalette();
    const QList<QRgb> table = image.colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i)
        s.PaletteRGB[std::size_t(i)] = {float(qRed(table[i])), float(qGreen(table[i])), float(qBlue(table[i]))};
}

} // namespace lumiset

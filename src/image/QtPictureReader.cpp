#include "QtPictureReader.h"

#include "ByteSource.h"
#include "MemoryBudget.h"
#include "NumberText.h"
#include "PnmReader.h"

#include <QColorSpace>
#include <QImageReader>
#include <QPixelFormat>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>

namespace lumiset {

namespace {

constexpr qint64 kMiB = qint64(1) << 20;
/// The widest sample the decoders give for the kinds that are read (RGBA, 16 bits each).
constexpr qint64 kWidestDecodedPixel = 8;

const QString kCrLf = QStringLiteral("\r\n");

bool startsWith(const std::uint8_t* head, qint64 length, const char* signature, qint64 offset = 0)
{
    const auto n = qint64(std::strlen(signature));
    return length >= offset + n && std::memcmp(head + offset, signature, std::size_t(n)) == 0;
}

/// What Qt says of a decoded pixel format.
struct FormatFacts {
    DecodedColour colour = DecodedColour::Unreadable;
    int bits = 0; ///< bits per channel
    bool alpha = false;
    bool floating = false;
    int bytesPerPixel = 0; ///< of the decoded picture
};

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

QString bitsWord(int n)
{
    const int last = n % 10;
    const bool teen = n % 100 >= 11 && n % 100 <= 14;
    if (!teen && last >= 2 && last <= 4)
        return QStringLiteral(" бита");
    return QStringLiteral(" бит");
}

QString formatTitle(const QByteArray& format)
{
    if (format == "png")
        return QStringLiteral("PNG формат - переносимая сетевая графика");
    if (format == "jpeg")
        return QStringLiteral("JPEG формат - сжатие с потерями");
    if (format == "tiff")
        return QStringLiteral("TIFF формат - теговый файл изображения");
    if (format == "gif")
        return QStringLiteral("GIF формат - графический формат обмена");
    if (format == "webp")
        return QStringLiteral("WebP формат");
    if (format == "pbm")
        return QStringLiteral("PNM формат - чёрно-белый растр (PBM)");
    if (format == "pgm")
        return QStringLiteral("PNM формат - растр в градациях серого (PGM)");
    return QStringLiteral("PNM формат - цветной растр (PPM)");
}

// The reason a decoder gave up, in the program's words.
QString decoderReason(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError: return QStringLiteral("файл не найден.");
    case QImageReader::DeviceError: return QStringLiteral("ошибка чтения файла.");
    case QImageReader::UnsupportedFormatError: return QStringLiteral("эта разновидность формата не поддерживается.");
    case QImageReader::InvalidDataError: return QStringLiteral("данные изображения повреждены или обрезаны.");
    case QImageReader::UnknownError: break;
    }
    return QStringLiteral("данные изображения не удаётся прочитать.");
}

QString decoderNotice(QImageReader::ImageReaderError error)
{
    return QStringLiteral("Изображение не удаётся декодировать:") + kCrLf + decoderReason(error);
}

/// Big- or little-endian field reads over ByteCursor's bytes.
struct EndianCursor {
    ByteCursor cur;
    bool big = true;
    quint32 u16(qint64 o)
    {
        return big ? quint32(cur.u8(o)) << 8 | cur.u8(o + 1) : quint32(cur.u8(o)) | quint32(cur.u8(o + 1)) << 8;
    }
    quint32 u32(qint64 o) { return big ? u16(o) << 16 | u16(o + 2) : u16(o) | u16(o + 2) << 16; }
};

/// \brief Corrects \a facts with the BitsPerSample and SampleFormat tags of a
/// TIFF's first page: Qt's header answer is 8-bit colour for samples it then
/// fails to decode (32-bit integers, 32-bit floats), which deserve their own notice.
FormatFacts withTiffSampleTags(ByteSource& source, FormatFacts facts)
{
    EndianCursor c{ByteCursor(source), ByteCursor(source).u8(0) == 'M'};
    const auto u16 = [&](qint64 o) { return c.u16(o); };
    const auto u32 = [&](qint64 o) { return c.u32(o); };
    ByteCursor& cur = c.cur;
    const qint64 ifd = u32(4);
    const quint32 entries = std::min<quint32>(u16(ifd), 4096);
    for (quint32 i = 0; i < entries; ++i) {
        const qint64 e = ifd + 2 + 12 * qint64(i);
        const quint32 tag = u16(e);
        if (tag != 258 && tag != 339) // BitsPerSample, SampleFormat
            continue;
        const quint32 type = u16(e + 2); // 3 SHORT, 4 LONG, otherwise taken as BYTE
        const quint32 width = type == 3 ? 2 : type == 4 ? 4 : 1;
        const qint64 at = qint64(u32(e + 4)) * width <= 4 ? e + 8 : qint64(u32(e + 8));
        const quint32 first = type == 3 ? u16(at) : type == 4 ? u32(at) : cur.u8(at); // the first sample's
        if (tag == 258 && first > 16)
            facts.bits = int(std::min<quint32>(first, 1024));
        if (tag == 339 && first == 3)
            facts.floating = true;
    }
    return facts;
}

int perMetreFromInches(double dotsPerInch)
{
    return int(std::clamp(std::round(dotsPerInch * 100 / 2.54), 0.0, double(INT_MAX)));
}

struct Resolution {
    int x = 0; ///< pixels per metre; 0 = not stored
    int y = 0;
};

/// What a PNG's chunks before its pixel data say beyond Qt's answer.
struct PngHeader {
    int bitDepth = 0;      ///< IHDR: bits per sample, or per index of a palette
    int colourType = 0;    ///< IHDR: 0 grey, 2 colour, 3 palette, 4 and 6 the same with alpha
    qint64 keyAt = 0;      ///< the tRNS chunk of a grey or colour picture: its transparency key …
    qint64 keyLength = 0;  ///< … with its length, type and checksum (0: no key)
    Resolution resolution; ///< pHYs in metres (unit 1); unit 0 gives only the aspect
};

PngHeader readPngHeader(ByteSource& source)
{
    EndianCursor c{ByteCursor(source)};
    PngHeader h;
    h.bitDepth = c.cur.u8(24);
    h.colourType = c.cur.u8(25);
    for (qint64 at = 8; at + 8 <= source.size();) {
        const qint64 length = c.u32(at);
        const quint32 type = c.u32(at + 4);
        if (type == 0x49444154u || type == 0x49454E44u) // IDAT, IEND: the header chunks are over
            break;
        if (type == 0x70485973u && length >= 9 && c.cur.u8(at + 16) == 1) // pHYs
            h.resolution = {int(std::min<quint32>(c.u32(at + 8), INT_MAX)),
                            int(std::min<quint32>(c.u32(at + 12), INT_MAX))};
        const bool key = h.colourType == 0 || h.colourType == 2;               // a palette's tRNS holds alphas instead
        if (type == 0x74524E53u && key && at + 12 + length <= source.size()) { // tRNS
            h.keyAt = at;
            h.keyLength = 12 + length;
        }
        at += 12 + length;
    }
    return h;
}

// JPEG: the JFIF segment's density in dots per inch (1) or per centimetre (2).
Resolution jpegResolution(ByteSource& source)
{
    EndianCursor c{ByteCursor(source)};
    for (qint64 at = 2; at + 4 <= source.size() && c.cur.u8(at) == 0xFF;) {
        const int marker = c.cur.u8(at + 1);
        if (marker == 0xDA || marker == 0xD9) // scan or end: the header is over
            break;
        if (marker == 0xE0 && c.u32(at + 4) == 0x4A464946u && c.cur.u8(at + 8) == 0) { // "JFIF\0"
            const int unit = c.cur.u8(at + 11);
            const double x = c.u16(at + 12), y = c.u16(at + 14);
            if (unit == 1)
                return {perMetreFromInches(x), perMetreFromInches(y)};
            if (unit == 2)
                return {int(x * 100), int(y * 100)};
            return {};
        }
        at += 2 + c.u16(at + 2);
    }
    return {};
}

// TIFF: XResolution and YResolution of the first page, per inch (unit 2, the
// default) or per centimetre (unit 3).
Resolution tiffResolution(ByteSource& source)
{
    EndianCursor c{ByteCursor(source), ByteCursor(source).u8(0) == 'M'};
    const qint64 ifd = c.u32(4);
    double res[2] = {0, 0};
    quint32 unit = 2;
    for (quint32 i = 0, n = std::min<quint32>(c.u16(ifd), 4096); i < n; ++i) {
        const qint64 e = ifd + 2 + 12 * qint64(i);
        const quint32 tag = c.u16(e);
        if (tag == 282 || tag == 283) { // RATIONAL at an offset
            const qint64 at = c.u32(e + 8);
            const quint32 den = c.u32(at + 4);
            res[tag - 282] = den == 0 ? 0 : double(c.u32(at)) / den;
        } else if (tag == 296) {
            unit = c.u16(e + 8);
        }
    }
    if (unit == 2)
        return {perMetreFromInches(res[0]), perMetreFromInches(res[1])};
    if (unit == 3)
        return {int(std::min(res[0] * 100, double(INT_MAX))), int(std::min(res[1] * 100, double(INT_MAX)))};
    return {};
}

Resolution storedResolution(ByteSource& source, const QByteArray& format)
{
    if (format == "png")
        return readPngHeader(source).resolution;
    if (format == "jpeg")
        return jpegResolution(source);
    if (format == "tiff")
        return tiffResolution(source);
    return {}; // GIF, WebP and PNM store none
}

void resetDecodedHeader(ImageStore& s)
{
    s.ImageWidth = 0;
    s.ImageHeight = 0;
    s.BitsPerPixel = 0;
    s.BitsPerChannel = 0;
    s.LargestSample = 0;
    s.DecodedFloat = false;
    s.DecodedColourType = DecodedColour::Unreadable;
    s.ColorsUsed = 0;
    s.HorizontalResolution = 0;
    s.VerticalResolution = 0;
    s.clearPalette();
    s.PixelRed.resize(0, 0);
    s.PixelGreen.resize(0, 0);
    s.PixelBlue.resize(0, 0);
}

/// Bytes a pixel of the tables takes.
qint64 tableBytesPerPixel(const ImageStore& s)
{
    return qint64(s.singlePlane() ? 1 : 3) * s.sampleBytes();
}

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

/// Qt's reader of one picture, with the device it reads.
struct Decoder {
    std::unique_ptr<QIODevice> device;
    std::unique_ptr<QImageReader> reader; // declared last: gone before its device
    QImageReader* operator->() const { return reader.get(); }
};

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

void takePalette(ImageStore& s, const QImage& image)
{
    s.clearPalette();
    const QList<QRgb> table = image.colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i)
        s.PaletteRGB[std::size_t(i)] = {float(qRed(table[i])), float(qGreen(table[i])), float(qBlue(table[i]))};
}

void setKind(ImageStore& s, const FormatFacts& facts)
{
    s.DecodedColourType = facts.colour;
    s.BitsPerChannel = facts.bits;
    s.DecodedFloat = facts.floating;
    switch (facts.colour) {
    case DecodedColour::Palette: s.BitsPerPixel = 8; break;
    case DecodedColour::Grey: s.BitsPerPixel = facts.bits; break;
    case DecodedColour::Colour: s.BitsPerPixel = 3 * facts.bits; break;
    case DecodedColour::Unreadable: s.BitsPerPixel = 0; break;
    }
}

QString colourCaption(const ImageStore& s, int paletteSize)
{
    const qint64 levels = qint64(s.sampleMaximum()) + 1; // a sample's values, 0 included
    switch (s.DecodedColourType) {
    case DecodedColour::Palette: return QStringLiteral("    ") + integerText(paletteSize) + QStringLiteral(" цветов");
    case DecodedColour::Grey: return QStringLiteral("    ") + integerText(levels) + QStringLiteral(" градаций серого");
    case DecodedColour::Colour:
        if (levels == 256)
            return QStringLiteral("    16 млн. цветов");
        return QStringLiteral("    ") + integerText(levels * levels * levels) + QStringLiteral(" цветов");
    case DecodedColour::Unreadable: break;
    }
    return {};
}

QSize previewSize(int width, int height)
{
    const QRectF place = picturePlacement(width, height);
    return QSize(std::max(1, int(std::ceil(place.width()))), std::max(1, int(std::ceil(place.height()))));
}

} // namespace

QByteArray decodedFormatOf(const std::uint8_t* head, qint64 length)
{
    if (startsWith(head, length, "\x89PNG\r\n\x1a\n"))
        return "png";
    if (startsWith(head, length, "\xff\xd8\xff"))
        return "jpeg";
    if (length >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0))
        return "tiff";
    if (startsWith(head, length, "GIF87a") || startsWith(head, length, "GIF89a"))
        return "gif";
    if (startsWith(head, length, "RIFF") && startsWith(head, length, "WEBP", 8))
        return "webp";
    // "P1".."P6" and a blank or a comment: a plain text starting "P1" is not taken.
    if (length >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6'
        && (head[2] == ' ' || head[2] == '\t' || head[2] == '\n' || head[2] == '\r' || head[2] == '#')) {
        static const char* const kNames[] = {"pbm", "pgm", "ppm"};
        return kNames[(head[1] - '1') % 3];
    }
    return {};
}

PictureDescription describeDecodedPicture(ImageStore& s, ByteSource& source, bool preview)
{
    resetDecodedHeader(s);
    PictureDescription d;
    d.report << formatTitle(s.DecodedFormat)
             << QStringLiteral("Размер файла ") + integerText(s.FileLength) + QStringLiteral(" байт");

    const Decoder header = decoderFor(s, source);
    const QSize size = header->size();
    if (!size.isValid() || size.width() <= 0 || size.height() <= 0) {
        d.notice = decoderNotice(header->error());
        return d;
    }
    s.ImageWidth = d.width = size.width();
    s.ImageHeight = d.height = size.height();
    d.report << QStringLiteral("Ширина ") + integerText(s.ImageWidth)
             << QStringLiteral("Высота ") + integerText(s.ImageHeight);

    FormatFacts facts = factsOf(header->imageFormat());
    if (s.DecodedFormat == "gif")
        facts = factsOf(QImage::Format_RGB32); // Qt decodes GIF to colour: its palette is not kept
    // Grey and colour PNM are read by the program itself (exact samples of any range).
    const PnmHeader pnm = s.DecodedFormat == "pgm" || s.DecodedFormat == "ppm" ? readPnmHeader(source) : PnmHeader{};
    QImage decoded; // the whole picture, when its kind could only be learnt by decoding it
    if (facts.colour == DecodedColour::Unreadable) {
        // The header does not tell (WebP): decode it, the budget checked for the widest kind first.
        const qint64 widest = 3 * 2 + kWidestDecodedPixel;
        if (const SizeVerdict v = checkPictureSize(s.ImageWidth, s.ImageHeight, int(widest)); v != SizeVerdict::Fits) {
            d.notice = sizeRefusalNotice(v, s.ImageWidth, s.ImageHeight, widest);
            return d;
        }
        const Decoder reader = decoderFor(s, source);
        decoded = reader->read();
        facts = factsOf(decoded.format());
        if (decoded.isNull() || decoded.size() != size) {
            d.notice = decoderNotice(reader->error());
            return d;
        }
    }
    if (s.DecodedFormat == "tiff")
        facts = withTiffSampleTags(source, facts);
    if (s.DecodedFormat == "png") {
        const PngHeader png = readPngHeader(source);
        facts.alpha = facts.alpha || png.keyLength > 0; // a key is transparency too, and it is left out
        if (facts.colour == DecodedColour::Palette && png.bitDepth >= 1 && png.bitDepth <= 8)
            facts.bits = png.bitDepth; // Qt widens 2- and 4-bit indices (and grey levels) to 8 bits
    }
    if (pnm.magic != 0) {
        if (!pnm.valid || pnm.width != size.width() || pnm.height != size.height()) {
            d.notice = decoderNotice(QImageReader::InvalidDataError);
            return d;
        }
        facts.bits = pnm.maxval > 255 ? 16 : 8;
        s.LargestSample = pnm.maxval; // full brightness, whatever the width of the tables
    }
    setKind(s, facts);
    // Palette entries are 8-bit colours whatever the depth of the indices, which Qt widens to 8 bits.
    d.report << (facts.colour == DecodedColour::Palette ? QStringLiteral("Цвета палитры по 8 бит на канал.")
                                                        : QStringLiteral("Глубина цвета ") + integerText(facts.bits)
                         + bitsWord(facts.bits) + QStringLiteral(" на канал."));
    switch (facts.colour) {
    case DecodedColour::Palette: d.report << QStringLiteral("Изображение с палитрой."); break;
    case DecodedColour::Grey: d.report << QStringLiteral("Изображение в градациях серого."); break;
    default: d.report << QStringLiteral("Цветное изображение (красный, зелёный, синий)."); break;
    }
    if (facts.alpha)
        d.report << QStringLiteral("Есть альфа-канал (прозрачность), он не учитывается.");
    const int frames = decoderFor(s, source)->imageCount(); // a fresh start: TIFF counts its pages from the top
    if (frames > 1)
        d.report << (s.DecodedFormat == "tiff" ? QStringLiteral("Страниц в файле ") + integerText(frames)
                             + QStringLiteral(", показана первая.")
                                               : QStringLiteral("Кадров в файле ") + integerText(frames)
                             + QStringLiteral(", показан первый."));

    if (facts.floating) {
        d.notice = QStringLiteral("Изображение с отсчётами с плавающей точкой") + kCrLf
            + QStringLiteral("не поддерживается.");
        return d;
    }
    if (s.pixelKind() == PixelKind::Unsupported) {
        d.notice = QStringLiteral("Глубина цвета ") + integerText(facts.bits) + bitsWord(facts.bits)
            + QStringLiteral(" на канал") + kCrLf + QStringLiteral("не поддерживается.");
        return d;
    }
    if (pnm.magic != 0)
        d.report << QStringLiteral("Наибольшее значение отсчёта ") + integerText(pnm.maxval);

    if (const Resolution r = storedResolution(source, s.DecodedFormat); r.x > 0 || r.y > 0) {
        s.HorizontalResolution = r.x;
        s.VerticalResolution = r.y;
        d.report << QStringLiteral("Горизонтальное разрешение ") + integerText(r.x) + QStringLiteral(" пиксель/метр")
                 << QStringLiteral("Вертикальное разрешение ") + integerText(r.y) + QStringLiteral(" пиксель/метр");
    }

    // The budget from the header: the tables, and the decoded picture while they fill.
    const qint64 perPixel = tableBytesPerPixel(s) + std::max<qint64>(facts.bytesPerPixel, 1);
    const SizeVerdict verdict = checkPictureSize(s.ImageWidth, s.ImageHeight, int(perPixel));
    if (verdict != SizeVerdict::Fits) {
        d.notice = sizeRefusalNotice(verdict, s.ImageWidth, s.ImageHeight, perPixel);
        return d;
    }

    int paletteSize = 0;
    const bool palette = facts.colour == DecodedColour::Palette;
    if (preview || palette) {
        QImage picture = std::move(decoded);
        if (picture.isNull()) {
            const Decoder reader = decoderFor(s, source);
            if (!palette && (s.ImageWidth > kPreviewBandWidth || s.ImageHeight > kPreviewBandHeight))
                reader->setScaledSize(previewSize(s.ImageWidth, s.ImageHeight)); // JPEG scales while decoding
            picture = reader->read();
            if (picture.isNull()) {
                d.notice = decoderNotice(reader->error());
                s.DecodedColourType = DecodedColour::Unreadable;
                return d;
            }
        }
        if (palette) {
            if (picture.format() != QImage::Format_Indexed8)
                picture = picture.convertToFormat(QImage::Format_Indexed8);
            takePalette(s, picture);
            paletteSize = int(std::min<qsizetype>(picture.colorCount(), 256));
            Swatch swatch;
            for (int i = 0; i < paletteSize; ++i)
                swatch.cells[std::size_t(i)] = picture.color(i);
            d.swatch = swatch;
            d.report[d.report.indexOf(QStringLiteral("Изображение с палитрой."))]
                = QStringLiteral("Изображение с палитрой из ") + integerText(paletteSize) + QStringLiteral(" цветов.");
        }
        if (preview && (picture.width() > kPreviewBandWidth * 2 || picture.height() > kPreviewBandHeight * 2)) {
            picture = picture.scaled(previewSize(s.ImageWidth, s.ImageHeight), Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
        }
        if (preview)
            d.picture = picture;
    }
    d.colourCaption = colourCaption(s, paletteSize);

    const int sampleBytes = s.sampleBytes();
    s.PixelRed.resize(s.ImageWidth, s.ImageHeight, sampleBytes);
    if (!s.singlePlane()) {
        s.PixelGreen.resize(s.ImageWidth, s.ImageHeight, sampleBytes);
        s.PixelBlue.resize(s.ImageWidth, s.ImageHeight, sampleBytes);
    }
    return d;
}

void openDecodedPicture(ImageStore& store, OpenWindowView& view, ByteSource& source)
{
    presentPicture(view, describeDecodedPicture(store, source, view.showFileTicked()));
}

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

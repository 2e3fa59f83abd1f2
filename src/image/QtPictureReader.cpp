#include "QtPictureReader.h"

#include "ByteSource.h"
#include "MemoryBudget.h"
#include "NumberText.h"

#include <QColorSpace>
#include <QImageReader>
#include <QPixelFormat>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

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
    int bits = 0;          ///< bits per channel
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
    case QImage::Format_MonoLSB: facts.colour = DecodedColour::Palette; facts.bits = 1; break;
    case QImage::Format_Indexed8: facts.colour = DecodedColour::Palette; facts.bits = 8; break;
    case QImage::Format_Grayscale8: facts.colour = DecodedColour::Grey; facts.bits = 8; break;
    case QImage::Format_Grayscale16: facts.colour = DecodedColour::Grey; facts.bits = 16; break;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied: facts.colour = DecodedColour::Colour; facts.bits = 16; break;
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
    if (format == "png") return QStringLiteral("PNG формат - переносимая сетевая графика");
    if (format == "jpeg") return QStringLiteral("JPEG формат - сжатие с потерями");
    if (format == "tiff") return QStringLiteral("TIFF формат - теговый файл изображения");
    if (format == "gif") return QStringLiteral("GIF формат - графический формат обмена");
    if (format == "webp") return QStringLiteral("WebP формат");
    if (format == "pbm") return QStringLiteral("PNM формат - чёрно-белый растр (PBM)");
    if (format == "pgm") return QStringLiteral("PNM формат - растр в градациях серого (PGM)");
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

/// The largest sample value a PNM header declares (1 for the bitmaps), or -1.
int pnmMaximum(ByteSource& source)
{
    std::uint8_t head[256] = {};
    source.read(0, head, sizeof head);
    if (head[1] == '1' || head[1] == '4')
        return 1;
    int field = 0;
    int value = -1;
    for (std::size_t i = 2; i < sizeof head; ++i) {
        const char c = char(head[i]);
        if (c == '#') {
            while (i < sizeof head && head[i] != '\n' && head[i] != '\r')
                ++i;
        } else if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value) * 10 + (c - '0');
            if (value > 1 << 20)
                return -1;
        } else if (value >= 0) {
            if (++field == 3)
                return value;
            value = -1;
        }
    }
    return -1;
}

void resetDecodedHeader(ImageStore& s)
{
    s.ImageWidth = 0;
    s.ImageHeight = 0;
    s.BitsPerPixel = 0;
    s.BitsPerChannel = 0;
    s.DecodedFloat = false;
    s.DecodedColourType = DecodedColour::Unreadable;
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

std::unique_ptr<QImageReader> readerFor(const ImageStore& s, QIODevice* device)
{
    auto reader = std::make_unique<QImageReader>(device, s.DecodedFormat);
    reader->setAllocationLimit(allocationLimit(s));
    return reader;
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
    switch (s.DecodedColourType) {
    case DecodedColour::Palette: return QStringLiteral("    ") + integerText(paletteSize) + QStringLiteral(" цветов");
    case DecodedColour::Grey:
        return QStringLiteral("    ") + powerOfTwoText(s.BitsPerChannel) + QStringLiteral(" градаций серого");
    case DecodedColour::Colour:
        return s.BitsPerChannel == 8 ? QStringLiteral("    16 млн. цветов")
                                     : QStringLiteral("    ") + powerOfTwoText(3 * s.BitsPerChannel) + QStringLiteral(" цветов");
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

    const auto device = source.openDevice();
    const auto header = readerFor(s, device.get());
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
    const bool pnm = s.DecodedFormat == "pbm" || s.DecodedFormat == "pgm" || s.DecodedFormat == "ppm";
    const int pnmMax = pnm ? pnmMaximum(source) : 0;
    QImage decoded; // the whole picture, when its kind could only be learnt by decoding it
    if (facts.colour == DecodedColour::Unreadable) {
        // The header does not tell (WebP): decode it, the budget checked for the widest kind first.
        const qint64 widest = 3 * 2 + kWidestDecodedPixel;
        if (const SizeVerdict v = checkPictureSize(s.ImageWidth, s.ImageHeight, int(widest)); v != SizeVerdict::Fits) {
            d.notice = sizeRefusalNotice(v, s.ImageWidth, s.ImageHeight, widest);
            return d;
        }
        const auto device = source.openDevice();
        const auto reader = readerFor(s, device.get());
        decoded = reader->read();
        facts = factsOf(decoded.format());
        if (decoded.isNull() || decoded.size() != size) {
            d.notice = decoderNotice(reader->error());
            return d;
        }
    }
    setKind(s, facts);
    d.report << QStringLiteral("Глубина цвета ") + integerText(facts.bits) + bitsWord(facts.bits)
            + QStringLiteral(" на канал.");
    switch (facts.colour) {
    case DecodedColour::Palette: d.report << QStringLiteral("Изображение с палитрой."); break;
    case DecodedColour::Grey: d.report << QStringLiteral("Изображение в градациях серого."); break;
    default: d.report << QStringLiteral("Цветное изображение (красный, зелёный, синий)."); break;
    }
    if (facts.alpha)
        d.report << QStringLiteral("Есть альфа-канал (прозрачность), он не учитывается.");
    const auto countDevice = source.openDevice(); // a fresh start: TIFF counts its pages from the top
    const int frames = QImageReader(countDevice.get(), s.DecodedFormat).imageCount();
    if (frames > 1)
        d.report << (s.DecodedFormat == "tiff"
                         ? QStringLiteral("Страниц в файле ") + integerText(frames) + QStringLiteral(", показана первая.")
                         : QStringLiteral("Кадров в файле ") + integerText(frames) + QStringLiteral(", показан первый."));

    if (facts.floating) {
        d.notice = QStringLiteral("Изображение с отсчётами с плавающей точкой") + kCrLf + QStringLiteral("не поддерживается.");
        return d;
    }
    if (s.pixelKind() == PixelKind::Unsupported) {
        d.notice = QStringLiteral("Глубина цвета ") + integerText(facts.bits) + bitsWord(facts.bits)
            + QStringLiteral(" на канал") + kCrLf + QStringLiteral("не поддерживается.");
        return d;
    }
    if (pnm && pnmMax != 1 && pnmMax != 255) {
        // Qt rescales other ranges to 0..255, which would not be the file's numbers.
        d.report << QStringLiteral("Наибольшее значение отсчёта ") + integerText(pnmMax);
        d.notice = QStringLiteral("PNM с наибольшим значением ") + integerText(pnmMax) + kCrLf
            + QStringLiteral("не поддерживается.");
        s.DecodedColourType = DecodedColour::Unreadable;
        return d;
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
            const auto pictureDevice = source.openDevice();
            const auto reader = readerFor(s, pictureDevice.get());
            if (!palette && (s.ImageWidth > kPreviewBandWidth || s.ImageHeight > kPreviewBandHeight))
                reader->setScaledSize(previewSize(s.ImageWidth, s.ImageHeight)); // JPEG scales while decoding
            picture = reader->read();
            if (picture.isNull()) {
                d.notice = decoderNotice(reader->error());
                s.DecodedColourType = DecodedColour::Unreadable;
                return d;
            }
        }
        const QImage blank(1, 1, picture.format());
        if (picture.dotsPerMeterX() != blank.dotsPerMeterX() || picture.dotsPerMeterY() != blank.dotsPerMeterY()) {
            s.HorizontalResolution = picture.dotsPerMeterX();
            s.VerticalResolution = picture.dotsPerMeterY();
            d.report << QStringLiteral("Горизонтальное разрешение ") + integerText(s.HorizontalResolution)
                    + QStringLiteral(" пиксель/метр")
                     << QStringLiteral("Вертикальное разрешение ") + integerText(s.VerticalResolution)
                    + QStringLiteral(" пиксель/метр");
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
            d.report[d.report.indexOf(QStringLiteral("Изображение с палитрой."))] =
                QStringLiteral("Изображение с палитрой из ") + integerText(paletteSize) + QStringLiteral(" цветов.");
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

// One row of the decoded picture in \a format, converted from its own when it differs.
template <typename Fill>
void withRow(const QImage& image, int y, QImage::Format format, Fill fill)
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
    const int row = y + 1;
    const bool wide = s.sampleBytes() == 2;
    switch (s.pixelKind()) {
    case PixelKind::Palette:
        withRow(image, y, QImage::Format_Indexed8, [&](const uchar* p) { std::memcpy(s.PixelRed.row(row), p, std::size_t(w)); });
        break;
    case PixelKind::Grey:
        if (wide)
            withRow(image, y, QImage::Format_Grayscale16, [&](const uchar* p) {
                std::memcpy(s.PixelRed.wordRow(row), p, std::size_t(w) * 2);
            });
        else
            withRow(image, y, QImage::Format_Grayscale8, [&](const uchar* p) { std::memcpy(s.PixelRed.row(row), p, std::size_t(w)); });
        break;
    case PixelKind::TrueColour:
        if (wide) {
            // Straight (not premultiplied) samples: alpha plays no part in the colour.
            const QImage::Format f = image.format() == QImage::Format_RGBX64 ? QImage::Format_RGBX64 : QImage::Format_RGBA64;
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
            const QImage::Format f = image.format() == QImage::Format_RGB32 ? QImage::Format_RGB32 : QImage::Format_ARGB32;
            withRow(image, y, f, [&](const uchar* p) {
                const auto* px = reinterpret_cast<const QRgb*>(p);
                std::uint8_t* r = s.PixelRed.row(row);
                std::uint8_t* g = s.PixelGreen.row(row);
                std::uint8_t* b = s.PixelBlue.row(row);
                for (int x = 0; x < w; ++x) {
                    r[x] = std::uint8_t(qRed(px[x]));
                    g[x] = std::uint8_t(qGreen(px[x]));
                    b[x] = std::uint8_t(qBlue(px[x]));
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
    {
        const auto device = source.openDevice();
        const auto reader = readerFor(s, device.get());
        const QImage image = reader->read();
        if (image.isNull()) {
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
        for (int y = 0; y < H; ++y) {
            fillRow(s, image, y);
            if (progress)
                progress(y + 1);
        }
    } // the decoded picture goes here, before anything else is done with the tables
    return LoadResult::Loaded;
}

} // namespace lumiset

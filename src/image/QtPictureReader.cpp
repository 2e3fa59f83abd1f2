#include "QtPictureReader.h"

#include "DecodedHeaderProbe.h"
#include "MemoryBudget.h"
#include "NumberText.h"
#include "PnmReader.h"
#include "QtDecoder.h"
#include "ReaderMessages.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumiset {

namespace {

bool startsWith(const std::uint8_t* head, qint64 length, const char* signature, qint64 offset = 0)
{
    const auto n = qint64(std::strlen(signature));
    return length >= offset + n && std::memcmp(head + offset, signature, std::size_t(n)) == 0;
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
    return readerMessage(ReaderMessage::DecodeFailed, decoderReason(error)).text;
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
    if (s.DecodedFormat == "tiff") {
        const TiffSampleTags tags = readTiffSampleTags(source);
        facts.bits = tags.bits > 0 ? tags.bits : facts.bits;
        facts.floating = facts.floating || tags.floating;
    }
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
        d.notice = readerMessage(ReaderMessage::FloatSamples).text;
        return d;
    }
    if (s.pixelKind() == PixelKind::Unsupported) {
        d.notice = readerMessage(ReaderMessage::ChannelDepthUnsupported, integerText(facts.bits) + bitsWord(facts.bits))
                       .text;
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

} // namespace lumiset

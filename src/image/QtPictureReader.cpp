#include "QtPictureReader.h"

#include "DecodedHeaderProbe.h"
#include "MemoryBudget.h"
#include "NumberText.h"
#include "PnmReader.h"
#include "QtDecoder.h"
#include "ReaderMessages.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumiset {

namespace {

struct PictureReport {
    Q_DECLARE_TR_FUNCTIONS(PictureReport)
};
struct SizeLabel {
    Q_DECLARE_TR_FUNCTIONS(SizeLabel)
};

bool startsWith(const std::uint8_t* head, qint64 length, const char* signature, qint64 offset = 0)
{
    const auto n = qint64(std::strlen(signature));
    return length >= offset + n && std::memcmp(head + offset, signature, std::size_t(n)) == 0;
}

// "32 бита", "16 бит": the number with its word.
QString bitsText(int n)
{
    const int last = n % 10;
    const bool teen = n % 100 >= 11 && n % 100 <= 14;
    if (!teen && last >= 2 && last <= 4)
        return PictureReport::tr("%1 бита").arg(integerText(n));
    return PictureReport::tr("%1 бит").arg(integerText(n));
}

QString formatTitle(const QByteArray& format)
{
    if (format == "png")
        return PictureReport::tr("PNG формат - переносимая сетевая графика");
    if (format == "jpeg")
        return PictureReport::tr("JPEG формат - сжатие с потерями");
    if (format == "tiff")
        return PictureReport::tr("TIFF формат - теговый файл изображения");
    if (format == "gif")
        return PictureReport::tr("GIF формат - графический формат обмена");
    if (format == "webp")
        return PictureReport::tr("WebP формат");
    if (format == "pbm")
        return PictureReport::tr("PNM формат - чёрно-белый растр (PBM)");
    if (format == "pgm")
        return PictureReport::tr("PNM формат - растр в градациях серого (PGM)");
    return PictureReport::tr("PNM формат - цветной растр (PPM)");
}

// The reason a decoder gave up, in the program's words.
QString decoderReason(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError: return PictureReport::tr("файл не найден.");
    case QImageReader::DeviceError: return PictureReport::tr("ошибка чтения файла.");
    case QImageReader::UnsupportedFormatError: return PictureReport::tr("эта разновидность формата не поддерживается.");
    case QImageReader::InvalidDataError: return PictureReport::tr("данные изображения повреждены или обрезаны.");
    case QImageReader::UnknownError: break;
    }
    return PictureReport::tr("данные изображения не удаётся прочитать.");
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
    case DecodedColour::Palette:
        return QStringLiteral("    ") + SizeLabel::tr("%1 цветов").arg(integerText(paletteSize));
    case DecodedColour::Grey:
        return QStringLiteral("    ") + SizeLabel::tr("%1 градаций серого").arg(integerText(levels));
    case DecodedColour::Colour:
        if (levels == 256)
            return QStringLiteral("    ") + SizeLabel::tr("16 млн. цветов");
        return QStringLiteral("    ") + SizeLabel::tr("%1 цветов").arg(integerText(levels * levels * levels));
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
             << PictureReport::tr("Размер файла %1 байт").arg(integerText(s.FileLength));

    const Decoder header = decoderFor(s, source);
    const QSize size = header->size();
    if (!size.isValid() || size.width() <= 0 || size.height() <= 0) {
        d.notice = decoderNotice(header->error());
        return d;
    }
    s.ImageWidth = d.width = size.width();
    s.ImageHeight = d.height = size.height();
    d.report << PictureReport::tr("Ширина %1").arg(integerText(s.ImageWidth))
             << PictureReport::tr("Высота %1").arg(integerText(s.ImageHeight));

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
    d.report << (facts.colour == DecodedColour::Palette
                     ? PictureReport::tr("Цвета палитры по 8 бит на канал.")
                     : PictureReport::tr("Глубина цвета %1 на канал.").arg(bitsText(facts.bits)));
    const qsizetype kindLine = d.report.size(); // the palette's line gets its size once the palette is read
    switch (facts.colour) {
    case DecodedColour::Palette: d.report << PictureReport::tr("Изображение с палитрой."); break;
    case DecodedColour::Grey: d.report << PictureReport::tr("Изображение в градациях серого."); break;
    default: d.report << PictureReport::tr("Цветное изображение (красный, зелёный, синий)."); break;
    }
    if (facts.alpha)
        d.report << PictureReport::tr("Есть альфа-канал (прозрачность), он не учитывается.");
    const int frames = decoderFor(s, source)->imageCount(); // a fresh start: TIFF counts its pages from the top
    if (frames > 1)
        d.report << (s.DecodedFormat == "tiff" ? PictureReport::tr("Страниц в файле %1, показана первая.")
                                               : PictureReport::tr("Кадров в файле %1, показан первый."))
                        .arg(integerText(frames));

    if (facts.floating) {
        d.notice = readerMessage(ReaderMessage::FloatSamples).text;
        return d;
    }
    if (s.pixelKind() == PixelKind::Unsupported) {
        d.notice = readerMessage(ReaderMessage::ChannelDepthUnsupported, bitsText(facts.bits)).text;
        return d;
    }
    if (pnm.magic != 0)
        d.report << PictureReport::tr("Наибольшее значение отсчёта %1").arg(integerText(pnm.maxval));

    if (const Resolution r = storedResolution(source, s.DecodedFormat); r.x > 0 || r.y > 0) {
        s.HorizontalResolution = r.x;
        s.VerticalResolution = r.y;
        d.report << PictureReport::tr("Горизонтальное разрешение %1 пиксель/метр").arg(integerText(r.x))
                 << PictureReport::tr("Вертикальное разрешение %1 пиксель/метр").arg(integerText(r.y));
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
            d.report[kindLine]
                = PictureReport::tr("Изображение с палитрой из %1 цветов.").arg(integerText(paletteSize));
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

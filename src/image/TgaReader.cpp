#include "TgaReader.h"

#include "ByteSource.h"
#include "MemoryBudget.h"
#include "NumberText.h"
#include "PointPreview.h"
#include "ReaderMessages.h"

#include <QCoreApplication>

namespace lumiset {

namespace {

struct TgaReport {
    Q_DECLARE_TR_FUNCTIONS(TgaReport)
};

QString idFieldLine(int length)
{
    const QString n = integerText(length);
    switch (length) {
    case 1: return TgaReport::tr("%1 байт содержится в поле Идентификатора.", "one byte").arg(n);
    case 21:
    case 31:
    case 41: return TgaReport::tr("%1 байт содержится в поле Идентификатора.").arg(n);
    case 2:
    case 3:
    case 4: return TgaReport::tr("%1 байта содержатся в поле Идентификатора.").arg(n);
    default: return TgaReport::tr("%1 байт содержатся в поле Идентификатора.").arg(n);
    }
}

void refuse(OpenWindowView& view)
{
    view.setCrossVisible(true);
    disableExport(view);
}

// Reads the colour map (at most 256 entries) into PaletteRGB. Entries of 15 and
// 16 bits hold 5 bits a component; 24 and 32 bits hold blue, green, red bytes.
int readColourMap(ImageStore& s, ByteSource& source)
{
    const int count = qMin(s.TgaColorMapLength, 256);
    const qint64 first = 18 + qint64(s.TgaIdLength);
    ByteCursor cur(source);
    for (int i = 0; i < count; ++i) {
        const qint64 at = first + qint64(i) * s.PaletteEntrySize;
        if (s.TgaColorMapDepth == 15 || s.TgaColorMapDepth == 16) {
            const std::uint8_t word[2] = {cur.u8(at), cur.u8(at + 1)};
            const auto rgb = decodeTgaTrueColour(word, 2);
            for (int k = 0; k < 3; ++k)
                s.PaletteRGB[i][k] = rgb[k];
        } else {
            s.PaletteRGB[i][0] = cur.u8(at + 2);
            s.PaletteRGB[i][1] = cur.u8(at + 1);
            s.PaletteRGB[i][2] = cur.u8(at);
        }
    }
    return count;
}

// The image type alone, before the pixel depth is known: it decides how many
// bytes a pixel takes in the tables and which depths the decoders accept.
bool trueColourType(std::uint8_t imageType)
{
    return imageType == 2 || imageType == 10;
}

bool trueColourDepth(int depth)
{
    return depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

} // namespace

int tgaBytesPerPixel(const ImageStore& s)
{
    if (s.pixelKind() != PixelKind::TrueColour)
        return 1;
    switch (s.TgaPixelDepth) {
    case 15:
    case 16: return 2;
    case 32: return 4;
    default: return 3;
    }
}

void openTga(ImageStore& s, OpenWindowView& view, ByteSource& source)
{
    s.TgaIdLength = s.TgaColorMapType = s.TgaImageType = 0;
    s.TgaColorMapStart = s.TgaColorMapLength = 0;
    s.TgaColorMapDepth = 0;
    s.TgaXOrigin = s.TgaYOrigin = 0;
    s.ImageWidth = s.ImageHeight = 0;
    s.TgaPixelDepth = s.TgaDescriptor = 0;
    s.TgaTopOrigin = s.TgaRightToLeft = 0;
    s.BitsPerPixel = 0;
    s.PaletteEntrySize = 0;
    s.TgaPixelDataOffset = 18;
    // A palette index this file does not define reads as black, never as a colour
    // left over from the previous file.
    s.clearPalette();
    view.setLabelText(OpenLabel::Notice, QString());

    armExport(view);

    s.FileLength = source.size();
    if (s.FileLength == 0) {
        view.setReport(readerMessage(ReaderMessage::EmptyFile).text);
        refuse(view);
        view.setSwatchVisible(false);
        showEmptyPreview(view);
        return;
    }

    ByteCursor cur(source);
    s.TgaIdLength = cur.u8(0);
    view.setReport(s.TgaIdLength != 0 ? idFieldLine(s.TgaIdLength)
                                      : TgaReport::tr("Поле идентификатора не используется."));

    s.TgaColorMapType = cur.u8(1);
    if (s.TgaColorMapType == 0) {
        appendReport(view, TgaReport::tr("Не содержит карту цветов."));
    } else if (s.TgaColorMapType == 1) {
        appendReport(view, TgaReport::tr("Файл содержит карту цветов."));
        s.TgaColorMapStart = cur.u16le(3);
        s.TgaColorMapLength = cur.u16le(5);
        appendReport(view, TgaReport::tr("карта содержит %1 цветов").arg(integerText(s.TgaColorMapLength)));
        appendReport(view, TgaReport::tr("и начинается по адресу %1").arg(integerText(s.TgaColorMapStart)));
        s.TgaColorMapDepth = cur.u8(7);
        const int d = s.TgaColorMapDepth;
        appendReport(view,
                     (d == 4 || d == 24 || d == 32 ? TgaReport::tr("На каждый цвет палитры отведено по %1 бита.")
                                                   : TgaReport::tr("На каждый цвет палитры отведено по %1 бит."))
                         .arg(integerText(d)));
    }
    // Bytes of one colour-map entry; the map lies between the ID field and the pixels.
    const auto entrySize = std::uint8_t(s.TgaColorMapDepth == 0 ? 3 : int(roundHalfEven(s.TgaColorMapDepth / 8.0)));
    s.TgaPixelDataOffset = 18 + qint64(s.TgaIdLength) + qint64(s.TgaColorMapLength) * entrySize;

    s.TgaImageType = cur.u8(2);
    switch (s.TgaImageType) {
    case 0:
        appendReport(view, TgaReport::tr("Нет изображения."));
        refuse(view);
        view.setSwatchVisible(false);
        break;
    case 1:
    case 9: {
        appendReport(view, TgaReport::tr("Изображение с палитрой."));
        s.PaletteEntrySize = entrySize;
        const int count = readColourMap(s, source);
        // The swatch shows the map from its last entry backwards, only entries the file defines.
        Swatch swatch;
        for (int n = 0; n < count; ++n) {
            const auto c = s.paletteColour(count - 1 - n);
            swatch.cells[n] = qRgb(c[0], c[1], c[2]);
        }
        showSwatch(view, swatch);
        break;
    }
    case 2:
    case 10:
        appendReport(view, TgaReport::tr("Полноцветное изображение 16 млн. цветов."));
        view.setSwatchVisible(false);
        break;
    case 3:
    case 11: {
        appendReport(view, TgaReport::tr("Изображение в градациях серого."));
        Swatch ramp;
        for (int n = 0; n < 256; ++n)
            ramp.cells[n] = qRgb(n, n, n);
        showSwatch(view, ramp);
        break;
    }
    default:
        // No palette of this file to show; never leave the previous file's swatch up.
        view.setSwatchVisible(false);
        break;
    }

    if (s.TgaImageType > 3) {
        appendReport(view, TgaReport::tr("Используется сжатие"));
        refuse(view);
    } else {
        appendReport(view, TgaReport::tr("Без сжатия"));
    }

    s.TgaXOrigin = cur.u16le(8);
    if (s.TgaXOrigin != 0) {
        appendReport(view,
                     TgaReport::tr("Начало изображения со столбца %1 от левого края.").arg(integerText(s.TgaXOrigin)));
        refuse(view);
    } else {
        appendReport(view, TgaReport::tr("Начало изображения слева"));
    }

    s.TgaYOrigin = cur.u16le(10);
    if (s.TgaYOrigin != 0)
        appendReport(view, TgaReport::tr("Начало изображения со строки %1 от низа.").arg(integerText(s.TgaYOrigin)));
    else
        appendReport(view, TgaReport::tr("Начало изображения снизу"));

    s.TgaDescriptor = cur.u8(17);
    const int t = s.TgaDescriptor >> 4;
    const int interleave = t < 2 ? 0 : t / 4;
    s.TgaTopOrigin = std::uint8_t(t < 2 ? 0 : (t / 2) % 2);
    s.TgaRightToLeft = std::uint8_t(t - 2 * s.TgaTopOrigin - 4 * interleave);
    const int attributeBits = s.TgaDescriptor - 16 * s.TgaRightToLeft - 32 * s.TgaTopOrigin - 64 * interleave;
    // The "C" of both lines is a Latin capital, as the program has always written it.
    appendReport(view,
                 s.TgaTopOrigin == 1 ? TgaReport::tr("Порядок обхода: Cверху вниз и")
                                     : TgaReport::tr("Порядок обхода: Cнизу вверх и"));
    if (s.TgaRightToLeft == 1) {
        appendReport(view, TgaReport::tr("справа налево."));
        refuse(view);
    } else {
        appendReport(view, TgaReport::tr("слева направо."));
    }

    s.ImageHeight = cur.u16le(14);
    s.ImageWidth = cur.u16le(12);
    appendReport(view, TgaReport::tr("Ширина %1").arg(integerText(s.ImageWidth)));
    appendReport(view, TgaReport::tr("Высота %1").arg(integerText(s.ImageHeight)));
    setSizeCaption(view, s.ImageWidth, s.ImageHeight);

    s.TgaPixelDepth = cur.u8(16);
    const int pd = s.TgaPixelDepth;
    // True colour of 15, 16 or 32 bits is decoded into 8-bit components, so from
    // here on it is the 24-bit picture it has become.
    s.BitsPerPixel = trueColourType(s.TgaImageType) && trueColourDepth(pd) ? 24 : pd;
    const PixelKind kind = s.pixelKind();
    const SizeVerdict verdict = checkPictureSize(s.ImageWidth, s.ImageHeight, trueColourType(s.TgaImageType) ? 3 : 1);
    const bool sized = kind != PixelKind::Unsupported && verdict == SizeVerdict::Fits;
    s.PixelRed.resize(sized ? s.ImageWidth : 0, sized ? s.ImageHeight : 0);
    const bool threePlanes = sized && kind == PixelKind::TrueColour;
    s.PixelGreen.resize(threePlanes ? s.ImageWidth : 0, threePlanes ? s.ImageHeight : 0);
    s.PixelBlue.resize(threePlanes ? s.ImageWidth : 0, threePlanes ? s.ImageHeight : 0);

    appendReport(view,
                 (pd == 2 || pd == 4 || pd == 24 || pd == 32 ? TgaReport::tr("Глубина цвета %1 бита на пиксель.")
                                                             : TgaReport::tr("Глубина цвета %1 бит на пиксель."))
                     .arg(integerText(pd)));
    appendReport(view, TgaReport::tr("Число атрибутивных бит на пиксель %1").arg(integerText(attributeBits)));

    // Kinds the loader could read but whose size or depth it cannot take.
    if (s.TgaImageType >= 1 && s.TgaImageType <= 3
        && (verdict != SizeVerdict::Fits || kind == PixelKind::Unsupported)) {
        const QString notice = verdict != SizeVerdict::Fits
            ? sizeRefusalNotice(verdict, s.ImageWidth, s.ImageHeight)
            : readerMessage(ReaderMessage::TgaDepthUnsupported, integerText(pd)).text;
        refusePicture(view, notice);
        return;
    }

    view.setDrawnPreviewVisible(false);
    if (!view.showFileTicked()) {
        emptyPictureBox(view);
        return;
    }
    view.setPictureBoxVisible(false);
    view.setCrossVisible(false);

    if (s.TgaImageType > 3) {
        view.setDrawnPreviewVisible(false);
        const UserMessage compressed = readerMessage(ReaderMessage::TgaCompressed, integerText(s.TgaImageType));
        view.setLabelText(OpenLabel::DriveCaption, compressed.title);
        view.setLabelVisible(OpenLabel::DriveCaption, true);
        appendLabel(view, OpenLabel::Notice, compressed.text);
        view.setLabelVisible(OpenLabel::Notice, true);
        showEmptyPreview(view);
        return;
    }

    showDrawnPreview(view, [&] { return drawTgaPreview(s, source); });
    view.setLabelVisible(OpenLabel::Notice, false);
    view.setLabelVisible(OpenLabel::DriveCaption, false);
}

} // namespace lumiset

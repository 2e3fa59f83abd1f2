#include "BmpReader.h"

#include "ByteSource.h"
#include "MemoryBudget.h"
#include "NumberText.h"
#include "PointPreview.h"
#include "ReaderMessages.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QImageReader>

#include <cmath>
#include <limits>

namespace lumiset {

namespace {

struct BmpReport {
    Q_DECLARE_TR_FUNCTIONS(BmpReport)
};
struct SizeLabel {
    Q_DECLARE_TR_FUNCTIONS(SizeLabel)
};

// The row-padding rule rounds as everything else does, then keeps the result
// inside the 32-bit field it lands in.
qint32 roundToInt32Field(double x)
{
    const double r = roundHalfEven(x);
    if (!(r >= std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    if (r > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return qint32(r);
}

bool colorsUsedIsFullPalette(qint32 colorsUsed, int bits)
{
    return bits >= 0 && bits < 31 && colorsUsed == (qint32(1) << bits);
}

// Bytes per palette entry: the room between the headers and the pixels shared
// out among the entries. False when it cannot be a byte count.
bool computePaletteEntrySize(ImageStore& s)
{
    const double d = s.ColorsUsed < 1 ? std::ldexp(1.0, s.BitsPerPixel) : double(s.ColorsUsed);
    const double size = roundHalfEven((double(s.PixelDataOffset) - s.InfoHeaderSize - 14) / d);
    if (!(size >= 0 && size <= 255))
        return false;
    s.PaletteEntrySize = std::uint8_t(size);
    return true;
}

void reportOverflow(OpenWindowView& view)
{
    showReaderMessage(view, MessageIcon::Critical, ReaderMessage::Overflow);
    disableExport(view);
}

} // namespace

PictureResult loadPictureWithQt(const ByteSource& source)
{
    PictureResult result;
    auto device = source.openDevice();
    if (!device || !device->isOpen()) {
        result.status = PictureResult::Status::Failed;
        result.error = ReaderMessage::FileNotFound;
        return result;
    }
    QImageReader reader(device.get());
    reader.setDecideFormatFromContent(true);
    result.image = reader.read();
    if (!result.image.isNull()) {
        result.status = PictureResult::Status::Loaded;
        return result;
    }
    if (reader.error() == QImageReader::DeviceError) {
        result.status = PictureResult::Status::Failed;
        result.error = ReaderMessage::DeviceError;
        return result;
    }
    result.status = PictureResult::Status::Rejected;
    return result;
}

qint32 bmpRowPadding(const ImageStore& s)
{
    const double w = s.ImageWidth;
    const double h = s.ImageHeight;
    const double pixelBytes = s.BitsPerPixel / 8.0 * h * w;
    if (s.CompressionType != 0)
        return (4 - s.ImageWidth % 4) % 4;
    if (s.FileLength > s.DeclaredFileSize) {
        const qint32 fromLength = roundToInt32Field((double(s.FileLength) - s.PixelDataOffset - pixelBytes) / h);
        if (fromLength > 3)
            return roundToInt32Field((double(s.DeclaredFileSize) - s.PixelDataOffset - pixelBytes) / h);
        return fromLength;
    }
    if (s.FileLength == s.DeclaredFileSize)
        return roundToInt32Field((double(s.DeclaredFileSize) - s.PixelDataOffset - pixelBytes) / h);
    return s.ImageWidth % 4; // the file is shorter than it says
}

Swatch readBmpPalette(ImageStore& s, ByteSource& source)
{
    // ColorsUsed above 256 keeps the first 256 entries: the palette has no more.
    const bool partial = s.ColorsUsed != 0 && s.ColorsUsed != 256;
    const int count = partial ? qBound(0, s.ColorsUsed, 256) : 256;
    ByteCursor cur(source);
    Swatch swatch;
    for (int i = 0; i < count; ++i) {
        const qint64 entry = qint64(s.InfoHeaderSize) + 14 + qint64(i) * s.PaletteEntrySize;
        s.PaletteRGB[i][0] = cur.u8(entry + 2);
        s.PaletteRGB[i][1] = cur.u8(entry + 1);
        s.PaletteRGB[i][2] = cur.u8(entry);
        const auto c = s.paletteColour(i);
        swatch.cells[i] = qRgb(c[0], c[1], c[2]);
    }
    return swatch;
}

void openBmp(ImageStore& s, OpenWindowView& view, ByteSource& source, const PictureLoader& loader)
{
    s.DeclaredFileSize = s.PixelDataOffset = s.InfoHeaderSize = 0;
    s.ImageWidth = s.ImageHeight = s.BitsPerPixel = 0;
    s.CompressionType = s.HorizontalResolution = s.VerticalResolution = 0;
    s.ColorsUsed = s.ColorsImportant = 0;
    s.HasInfoHeader = 0;
    s.RowPadding = 0;
    s.RowsTopDown = false;
    s.HeaderShift = 0;
    s.PaletteEntrySize = 0;
    // A palette index this file does not define reads as black, never as a colour
    // left over from the previous file.
    s.clearPalette();
    s.FileLength = source.size();

    ByteCursor cur(source);
    s.DeclaredFileSize = cur.i32le(2);
    s.PixelDataOffset = cur.i32le(10);
    s.InfoHeaderSize = cur.i32le(14);

    // An OS/2 core header keeps its 16-bit height where a Windows header keeps the
    // high half of its 32-bit width, which is 0 below 65536 pixels.
    qint64 headerHeight = cur.u16le(20);
    if (headerHeight > 0) {
        view.setReport(BmpReport::tr("BMP формат - растр OS/2"));
        s.ImageWidth = cur.u16le(18);
        s.HeaderShift = 0;
    } else {
        view.setReport(BmpReport::tr("BMP формат - растр Windows"));
        s.ImageWidth = cur.i32le(18);
        headerHeight = cur.i32le(22);
        s.HeaderShift = 4;
    }
    // A negative height means the rows are stored top row first.
    if (headerHeight < 0) {
        s.RowsTopDown = true;
        headerHeight = -headerHeight;
    }
    s.ImageHeight = headerHeight > std::numeric_limits<qint32>::max() ? 0 : qint32(headerHeight);
    const int n = s.HeaderShift;

    if (s.FileLength > s.DeclaredFileSize)
        appendReport(view,
                     BmpReport::tr("Размер файла %1 байт, а в файле указан %2")
                         .arg(integerText(s.FileLength), integerText(s.DeclaredFileSize)));
    else
        appendReport(view, BmpReport::tr("Размер файла %1 байт").arg(integerText(s.DeclaredFileSize)));
    appendReport(view, BmpReport::tr("Ширина %1").arg(integerText(s.ImageWidth)));
    appendReport(view, BmpReport::tr("Высота %1").arg(integerText(headerHeight)));
    if (s.RowsTopDown)
        appendReport(view, BmpReport::tr("Строки записаны сверху вниз"));
    setSizeCaption(view, s.ImageWidth, headerHeight);

    s.BitsPerPixel = cur.u16le(n + 24);
    appendReport(view, BmpReport::tr("%1 бит на каждый пиксель ").arg(integerText(s.BitsPerPixel)));

    // Nothing is sized for a picture without points or one that memory cannot hold.
    const PixelKind kind = s.pixelKind();
    const SizeVerdict verdict = checkPictureSize(s.ImageWidth, headerHeight, kind == PixelKind::Palette ? 1 : 3);
    if (verdict == SizeVerdict::Fits) {
        s.PixelRed.resize(s.ImageWidth, s.ImageHeight);
        s.PixelGreen.resize(s.ImageWidth, s.ImageHeight);
        s.PixelBlue.resize(s.ImageWidth, s.ImageHeight);
    } else {
        s.PixelRed.resize(0, 0);
        s.PixelGreen.resize(0, 0);
        s.PixelBlue.resize(0, 0);
    }

    // The header reaches the compression field: more than 16 bytes for a Windows
    // header, more than 12 for an OS/2 one.
    if (qint64(s.InfoHeaderSize) + 15 > n + 27) {
        s.HasInfoHeader = 1;
        s.CompressionType = cur.i32le(n + 26);
        appendReport(view,
                     s.CompressionType != 0 ? BmpReport::tr("%1 тип сжатия").arg(integerText(s.CompressionType))
                                            : BmpReport::tr("Сжатия нет"));
        s.HorizontalResolution = cur.i32le(n + 34);
        appendReport(view,
                     BmpReport::tr("Горизонтальное разрешение устройства %1 пиксель/метр")
                         .arg(integerText(s.HorizontalResolution)));
        s.VerticalResolution = cur.i32le(n + 38);
        appendReport(
            view,
            BmpReport::tr("Вертикальное разрешение устройства %1 пиксель/метр").arg(integerText(s.VerticalResolution)));
        s.ColorsUsed = cur.i32le(n + 42);
        if (s.ColorsUsed != 0 && !colorsUsedIsFullPalette(s.ColorsUsed, s.BitsPerPixel))
            appendReport(view,
                         BmpReport::tr("Используется %1 цветов из %2 цветной палитры")
                             .arg(integerText(s.ColorsUsed), powerOfTwoText(s.BitsPerPixel)));
        else
            appendReport(view, BmpReport::tr("Используется все цвета палитры"));
        s.ColorsImportant = cur.i32le(n + 46);
        appendReport(view, BmpReport::tr("Число важных цветов %1").arg(integerText(s.ColorsImportant)));
    }

    if (verdict != SizeVerdict::Fits) {
        view.setSwatchVisible(false);
        refusePicture(view, sizeRefusalNotice(verdict, s.ImageWidth, headerHeight));
        return;
    }

    s.RowPadding = bmpRowPadding(s);
    if (s.RowPadding != (4 - s.ImageWidth % 4) % 4)
        appendReport(view, BmpReport::tr("Нет выравнивания строк по 4 байтной границе"));

    const bool show = view.showFileTicked();
    // The picture is decoded only to be shown: unticked, the file goes on as if the
    // loader had taken it, so the palette and the export command are still set.
    if (show) {
        const PictureResult picture = loader ? loader() : loadPictureWithQt(source);
        if (picture.status == PictureResult::Status::Failed) {
            showReaderMessage(view, MessageIcon::Critical, picture.error);
            disableExport(view);
            return;
        }
        if (picture.status == PictureResult::Status::Rejected) {
            if (kind == PixelKind::Unsupported) {
                view.restoreOpenButton();
                showEmptyPreview(view);
                disableExport(view);
                showReaderMessage(view, MessageIcon::Exclamation, ReaderMessage::BmpDepthUnsupported,
                                  integerText(s.BitsPerPixel));
                emptyPictureBox(view);
                return;
            }
            view.setPictureBoxVisible(false);
            view.setDrawnPreviewVisible(false);
            if (s.CompressionType != 0) {
                view.setCrossVisible(true);
                showReaderMessage(view, MessageIcon::Exclamation, ReaderMessage::BmpCompressionRejected,
                                  integerText(s.CompressionType));
                disableExport(view);
                emptyPictureBox(view);
                return;
            }
            // No stale swatch or notice of the previous file stays beside this preview.
            view.setSwatchVisible(false);
            view.setLabelVisible(OpenLabel::Notice, false);
            if (kind == PixelKind::Palette) {
                if (!computePaletteEntrySize(s)) {
                    reportOverflow(view);
                    emptyPictureBox(view);
                    return;
                }
                showSwatch(view, readBmpPalette(s, source));
            }
            showDrawnPreview(view, [&] { return drawBmpPreview(s, source); });
            view.setCrossVisible(false);
            armExport(view);
            emptyPictureBox(view);
            return;
        }
        showPictureBox(view, &picture.image, s.ImageWidth, s.ImageHeight);
    } else {
        showPictureBox(view, nullptr, s.ImageWidth, s.ImageHeight);
    }

    if (s.BitsPerPixel < 24 && !computePaletteEntrySize(s)) {
        reportOverflow(view);
        return;
    }
    view.setSwatchVisible(false);
    view.setLabelVisible(OpenLabel::Notice, false);

    if (kind == PixelKind::Unsupported) {
        disableExport(view);
        const QString colours = powerOfTwoText(s.BitsPerPixel);
        appendLabel(view, OpenLabel::SizeCaption, QStringLiteral("    ") + SizeLabel::tr("%1 цветов").arg(colours));
        view.setLabelText(OpenLabel::Notice, readerMessage(ReaderMessage::BmpColoursUnsupported, colours).text);
        view.setLabelVisible(OpenLabel::Notice, true);
        return;
    }

    if (s.CompressionType != 0) {
        showReaderMessage(view, MessageIcon::None, ReaderMessage::BmpCompressed, integerText(s.CompressionType));
        disableExport(view);
    } else {
        armExport(view);
    }

    if (kind == PixelKind::TrueColour) {
        view.setSwatchVisible(false);
        appendLabel(view, OpenLabel::SizeCaption, QStringLiteral("    ") + SizeLabel::tr("16 млн. цветов"));
    } else {
        showSwatch(view, readBmpPalette(s, source));
        appendLabel(view, OpenLabel::SizeCaption, QStringLiteral("    ") + SizeLabel::tr("%1 цветов").arg(256));
    }
}

} // namespace lumiset

#include "ReaderFixtures.h"

#include "image/OpenCommand.h"
#include "output/CsvExport.h"

#include <QBuffer>
#include <QImageWriter>

#include <functional>

using namespace lumiset;
using namespace lumiset::test;

namespace {

constexpr int kW = 3;
constexpr int kH = 2;

// Samples that no 8-bit picture could hold: not multiples of 257.
int wide(int channel, int x, int y)
{
    return 1000 + 9000 * x + 20011 * y + 7 * channel + (channel == 2 ? 20000 : 0);
}

int narrow(int channel, int x, int y)
{
    return 10 + 60 * x + 100 * y + 3 * channel;
}

QByteArray written(const QImage& image, const char* format, int quality = -1)
{
    QBuffer buffer; // the writer opens it
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
    return buffer.data();
}

QImage picture(QImage::Format format, const std::function<int(int, int, int)>& sample)
{
    QImage image(kW, kH, format);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (format == QImage::Format_Grayscale16)
                reinterpret_cast<quint16*>(image.scanLine(y))[x] = quint16(sample(0, x, y));
            else if (format == QImage::Format_Grayscale8)
                image.scanLine(y)[x] = uchar(sample(0, x, y));
            else if (format == QImage::Format_RGBX64)
                image.setPixelColor(x, y, QColor::fromRgba64(sample(0, x, y), sample(1, x, y), sample(2, x, y)));
            else
                image.setPixel(x, y, qRgb(sample(0, x, y), sample(1, x, y), sample(2, x, y)));
        }
    return image;
}

int monoSample(int, int x, int y)
{
    return (x + y) % 2 ? 255 : 0;
}

int paletteIndex(int, int x, int y)
{
    return (x + 2 * y) % 4;
}

int paletteSample(int channel, int x, int y)
{
    static const int kColours[4][3] = {{10, 70, 130}, {200, 0, 5}, {1, 2, 3}, {250, 251, 252}};
    return kColours[paletteIndex(0, x, y)][channel];
}

// A 3 × 2 GIF with the colour table of paletteSample and the indices of paletteIndex;
// each 3-bit LZW code is preceded by a clear code, so no table entries come into play.
QByteArray gifBytes()
{
    // Header and colour table, then the image: descriptor, one block of 5 code bytes, end.
    return QByteArray::fromHex("474946383961030002008100000a4682c80005010203fafbfc"
                               "2c00000000030002000002050443511c51003b");
}

// PNM of \a magic ("P2", "P3": text; "P5", "P6": binary) with samples of \a sample.
QByteArray pnm(const char* magic, int channels, int maxval, const std::function<int(int, int, int)>& sample)
{
    const bool plain = magic[1] == '2' || magic[1] == '3';
    QByteArray b = QByteArray(magic) + "\n# made in the test\n3 2\n" + QByteArray::number(maxval) + "\n";
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < channels; ++c) {
                const int v = sample(c, x, y);
                if (plain)
                    b += QByteArray::number(v) + (x == kW - 1 && c == channels - 1 ? "\n" : " ");
                else if (maxval > 255)
                    b += char(v >> 8) + QByteArray(1, char(v & 0xff));
                else
                    b += char(v);
            }
    return b;
}

QByteArray word(quint32 v) // 16 bits, big-endian
{
    return QByteArray(1, char(v >> 8)) + char(v);
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    const QByteArray body = type + data;
    quint32 crc = 0xffffffffu;
    for (const char ch : body) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return word(quint32(data.size()) >> 16) + word(quint32(data.size())) + body + word(~crc >> 16) + word(~crc);
}

// A 3 × 2 PNG whose rows pack \a stored(channel, x, y) at \a depth bits, with
// \a chunks (PLTE, tRNS) before the pixel data.
QByteArray png(int depth, int colourType, int channels, const std::function<int(int, int, int)>& stored,
               const QByteArray& chunks)
{
    QByteArray raw;
    for (int y = 0; y < kH; ++y) {
        raw += '\0'; // no filter
        quint32 bits = 0;
        int held = 0;
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < channels; ++c)
                for (bits = bits << depth | quint32(stored(c, x, y)), held += depth; held >= 8; held -= 8)
                    raw += char(bits >> (held - 8));
        if (held > 0)
            raw += char(bits << (8 - held));
    }
    QByteArray header = word(0) + word(kW) + word(0) + word(kH);
    header += QByteArray(1, char(depth)) + char(colourType) + QByteArray(3, '\0');
    return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + chunks + pngChunk("IDAT", qCompress(raw).mid(4))
        + pngChunk("IEND", {});
}

struct KindCase {
    const char* rule;
    const char* name;
    std::function<QByteArray()> bytes;
    PixelKind kind;
    int sampleBytes;
    std::function<int(int, int, int)> sample; ///< what the test put in (grey: channel 0)
    int tolerance;                            ///< 0 for the lossless kinds
    const char* caption;                      ///< the end of the size label
    const char* described;                    ///< the colour count of the table files
};

int flat(int channel, int, int)
{
    return 40 + 80 * channel;
}

// Samples of a PNM whose largest sample is 1000.
int upTo1000(int channel, int x, int y)
{
    return 7 + 300 * x + 390 * y + channel;
}

QByteArray paletteChunk()
{
    QByteArray entries;
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            entries += char(paletteSample(c, i, 0));
    return pngChunk("PLTE", entries);
}

constexpr const char* k2p48 = "281474976710656 цветов";

const KindCase kKinds[] = {
    {"16-bit grey PNG keeps its 16-bit values", "g16.png",
     [] { return written(picture(QImage::Format_Grayscale16, wide), "png"); }, PixelKind::Grey, 2, wide, 0,
     "65536 градаций серого", "65536"},
    {"16-bit colour PNG keeps its 16-bit values", "c16.png",
     [] { return written(picture(QImage::Format_RGBX64, wide), "png"); }, PixelKind::TrueColour, 2, wide, 0, k2p48,
     "281474976710656"},
    {"16-bit grey TIFF keeps its 16-bit values", "g16.tif",
     [] { return written(picture(QImage::Format_Grayscale16, wide), "tiff"); }, PixelKind::Grey, 2, wide, 0,
     "65536 градаций серого", "65536"},
    {"16-bit colour TIFF keeps its 16-bit values", "c16.tif",
     [] { return written(picture(QImage::Format_RGBX64, wide), "tiff"); }, PixelKind::TrueColour, 2, wide, 0, k2p48,
     "281474976710656"},
    {"8-bit grey PNG", "g8.png", [] { return written(picture(QImage::Format_Grayscale8, narrow), "png"); },
     PixelKind::Grey, 1, narrow, 0, "256 градаций серого", "256"},
    {"key of a 16-bit colour PNG changes no sample", "c16key.png",
     [] {
         return png(16, 2, 3, wide, pngChunk("tRNS", word(wide(0, 1, 0)) + word(wide(1, 1, 0)) + word(wide(2, 1, 0))));
     },
     PixelKind::TrueColour, 2, wide, 0, k2p48, "281474976710656"},
    {"8-bit grey PNG with a key stays grey and keeps the keyed level", "g8key.png",
     [] { return png(8, 0, 1, narrow, pngChunk("tRNS", word(narrow(0, 1, 0)))); }, PixelKind::Grey, 1, narrow, 0,
     "256 градаций серого", "256"},
    {"palette PNG reads indices into its palette", "p.png", [] { return png(8, 3, 1, paletteIndex, paletteChunk()); },
     PixelKind::Palette, 1, paletteSample, 0, "4 цветов", "256"},
    {"4-bit palette PNG counts 2^4 colours", "p4.png", [] { return png(4, 3, 1, paletteIndex, paletteChunk()); },
     PixelKind::Palette, 1, paletteSample, 0, "4 цветов", "16"},
    {"1-bit grey PNG is read as a palette of its 2 levels", "m.png",
     [] { return png(1, 0, 1, [](int, int x, int y) { return (x + y) % 2; }, {}); }, PixelKind::Palette, 1, monoSample,
     0, "2 цветов", "2"},
    {"colour PNG under a .tga name is a PNG", "looks.tga",
     [] { return written(picture(QImage::Format_RGB32, narrow), "png"); }, PixelKind::TrueColour, 1, narrow, 0,
     "16 млн. цветов", "16777216"},
    {"lossless WebP", "c.webp", [] { return written(picture(QImage::Format_RGB32, narrow), "webp", 100); },
     PixelKind::TrueColour, 1, narrow, 0, "16 млн. цветов", "16777216"},
    {"GIF is read as colour", "p.gif", gifBytes, PixelKind::TrueColour, 1, paletteSample, 0, "16 млн. цветов",
     "16777216"},
    {"binary PGM under a .bmp name", "grey.bmp", [] { return pnm("P5", 1, 255, narrow); }, PixelKind::Grey, 1, narrow,
     0, "256 градаций серого", "256"},
    {"binary PPM", "c.ppm", [] { return pnm("P6", 3, 255, narrow); }, PixelKind::TrueColour, 1, narrow, 0,
     "16 млн. цветов", "16777216"},
    {"16-bit PGM: big-endian words, not Qt's rescaled bytes", "g16.pgm", [] { return pnm("P5", 1, 65535, wide); },
     PixelKind::Grey, 2, wide, 0, "65536 градаций серого", "65536"},
    {"PGM counts its largest sample's levels", "g1000.pgm", [] { return pnm("P5", 1, 1000, upTo1000); },
     PixelKind::Grey, 2, upTo1000, 0, "1001 градаций серого", "1001"},
    {"plain PPM counts its largest sample's levels cubed", "c16.ppm", [] { return pnm("P3", 3, 60000, wide); },
     PixelKind::TrueColour, 2, wide, 0, "216010800180001 цветов", "216010800180001"},
    {"grey JPEG", "g.jpg", [] { return written(picture(QImage::Format_Grayscale8, flat), "jpeg", 100); },
     PixelKind::Grey, 1, flat, 2, "256 градаций серого", "256"},
    {"colour JPEG", "c.jpg", [] { return written(picture(QImage::Format_RGB32, flat), "jpeg", 100); },
     PixelKind::TrueColour, 1, flat, 3, "16 млн. цветов", "16777216"},
};

} // namespace

TEST(QtPictureReader, EveryKindOpensLoadsAndWritesTheValuesPutIn)
{
    for (const KindCase& c : kKinds) {
        SCOPED_TRACE(c.rule);
        ImageStore store;
        RecordingOpenView view;
        view.showFile = true;
        ASSERT_EQ(openCommand(store, view, writeTempFile(c.name, c.bytes()), c.name), OpenOutcome::Decoded)
            << view.reportText.toStdString();
        EXPECT_TRUE(view.exportOn) << view.labelText(OpenLabel::Notice).toStdString();
        EXPECT_TRUE(view.labelText(OpenLabel::SizeCaption).endsWith(QString::fromUtf8(c.caption)))
            << view.labelText(OpenLabel::SizeCaption).toStdString();
        EXPECT_EQ(view.swatchVisible, c.kind == PixelKind::Palette);
        ASSERT_EQ(store.pixelKind(), c.kind);
        ASSERT_EQ(store.sampleBytes(), c.sampleBytes);
        ASSERT_EQ(loadPixels(store), LoadResult::Loaded);

        QStringList firstRow;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                for (int ch = 0; ch < 3; ++ch) {
                    int got = 0;
                    if (c.kind == PixelKind::Palette)
                        got = int(store.PaletteRGB[store.PixelRed(x + 1, y + 1)][std::size_t(ch)]);
                    else if (c.kind == PixelKind::Grey)
                        got = store.PixelRed.sample(x + 1, y + 1);
                    else
                        got = (ch == 0       ? store.PixelRed
                                   : ch == 1 ? store.PixelGreen
                                             : store.PixelBlue)
                                  .sample(x + 1, y + 1);
                    EXPECT_NEAR(got, c.sample(c.kind == PixelKind::Grey ? 0 : ch, x, y), c.tolerance)
                        << x << "," << y << " channel " << ch;
                }
                if (y == 0)
                    firstRow << QString::number(c.sample(0, x, y));
            }
        // A grey region (no colour points) writes the red component whatever the measure.
        const Selection all{.SelColumnFrom = 1, .SelColumnTo = kW, .SelRowFrom = 1, .SelRowTo = kH};
        const QByteArray csv = csvBytes(store, all, {}, c.name, QLocale::c());
        if (c.tolerance == 0) {
            EXPECT_EQ(csv.left(csv.indexOf("\r\n")), firstRow.join(';').toLatin1());
        }
        EXPECT_TRUE(csv.contains(QByteArray("3x2   , ") + c.described + ' ')) << csv.toStdString();
    }
}

TEST(QtPictureReader, PicturesThatCannotBeTakenAreRefusedWithANotice)
{
    const QByteArray png = written(picture(QImage::Format_RGB32, narrow), "png");
    const struct {
        const char* rule;
        const char* name;
        QByteArray bytes;
        qint64 memory;
        const char* notice;
        bool showFile = true; ///< unticked: nothing is decoded at opening, the loader meets the fault
    } cases[] = {
        {"plain PGM sample above what its tables hold", "w.pgm", "P2 1 1 255 256 ", -1, ""},
        {"PNG cut after its header", "cut.png", png.left(40), -1, "Изображение не удаётся декодировать"},
        {"PNG cut in its pixels, met only when the tables fill", "late.png", png.left(png.size() - 24), -1, "", false},
        {"32-bit float TIFF", "f.tif", written(picture(QImage::Format_RGBX32FPx4, narrow), "tiff"), -1,
         "плавающей точкой"},
        {"over the memory budget before decoding", "m.png", png, kMemoryReserve + 10, "не хватит памяти"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ImageStore store;
        RecordingOpenView view;
        view.showFile = c.showFile;
        view.exportOn = true;
        {
            const MemoryOverride memory(c.memory);
            EXPECT_EQ(openCommand(store, view, writeTempFile(c.name, c.bytes), c.name), OpenOutcome::Decoded);
        }
        EXPECT_EQ(view.exportOn, !*c.notice) << "a sample is only met when the tables fill";
        EXPECT_TRUE(view.labelText(OpenLabel::Notice).contains(QString::fromUtf8(c.notice)))
            << view.labelText(OpenLabel::Notice).toStdString();
        EXPECT_NE(loadPixels(store), LoadResult::Loaded);
        EXPECT_FALSE(store.PixelRed.allocated() || store.PixelGreen.allocated() || store.PixelBlue.allocated())
            << "no half-filled tables";
    }
}

TEST(QtPictureReader, LargeColourPictureFilledOnTwoThreadsHoldsEveryPoint)
{
    // From 2^22 points the rows are split between two threads: both halves,
    // and the row where they meet, must hold the picture's own samples.
    constexpr int kSide = 2048;
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kSide; ++x)
            line[x] = qRgb(x & 255, y & 255, (x * 7 + y * 3) & 255);
    }
    ImageStore store;
    RecordingOpenView view;
    EXPECT_EQ(openCommand(store, view, writeTempFile("big.png", written(image, "png", 90)), "big.png"),
              OpenOutcome::Decoded);
    int last = 0;
    bool steady = true;
    ASSERT_EQ(loadPixels(store,
                         [&](int rows) {
                             steady = steady && rows >= last && rows <= kSide;
                             last = rows;
                         }),
              LoadResult::Loaded);
    EXPECT_TRUE(steady) << "progress only grows and stays within the rows";
    EXPECT_EQ(last, kSide);
    int wrong = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            wrong += store.PixelRed(x + 1, y + 1) != (x & 255) || store.PixelGreen(x + 1, y + 1) != (y & 255)
                || store.PixelBlue(x + 1, y + 1) != ((x * 7 + y * 3) & 255);
    EXPECT_EQ(wrong, 0);
}

TEST(QtPictureReader, StoredResolutionIsReportedFromTheHeaderWithoutDecoding)
{
    QImage image = picture(QImage::Format_RGB32, narrow);
    image.setDotsPerMeterX(3937); // 100 dots per inch
    image.setDotsPerMeterY(7874);
    for (const char* format : {"png", "jpeg", "tiff"}) {
        SCOPED_TRACE(format);
        ImageStore store;
        RecordingOpenView view; // "Показывать файл" not ticked: nothing is decoded
        const QString name = QStringLiteral("r.") + format;
        ASSERT_EQ(openCommand(store, view, writeTempFile(name, written(image, format)), name), OpenOutcome::Decoded);
        EXPECT_TRUE(view.reportText.contains(QStringLiteral("Горизонтальное разрешение 3937 пиксель/метр\r\n"
                                                            "Вертикальное разрешение 7874 пиксель/метр")))
            << view.reportText.toStdString();
    }
}

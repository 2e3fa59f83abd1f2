#include "ReaderFixtures.h"

#include "image/MemoryBudget.h"
#include "support/ImageBuilders.h"

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;
using Status = PictureResult::Status;

namespace {

std::vector<Rgb> greyPalette(int n)
{
    std::vector<Rgb> p;
    for (int i = 0; i < n; ++i)
        p.push_back({std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)});
    return p;
}

struct ReportCase {
    const char* rule;
    BmpBuilder file;
    QStringList report;
    const char* label1;
    qint32 rowPadding;
    bool exportable;
};

class BmpReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(BmpReport, WritesTheReportSizeLabelAndPadding)
{
    const ReportCase& c = GetParam();
    ScopedLocale ru(QLocale::Russian, QLocale::Russia);
    Opened o;
    runBmp(o, c.file.build(), fixedLoader(Status::Loaded, c.file.width, std::abs(c.file.height)));
    EXPECT_EQ(o.view.reportLines(), c.report);
    EXPECT_EQ(o.view.labelText(OpenLabel::SizeCaption), QString::fromUtf8(c.label1));
    EXPECT_EQ(o.store.RowPadding, c.rowPadding);
    EXPECT_EQ(o.view.exportEnabled(), c.exportable);
    EXPECT_TRUE(o.view.messages.isEmpty());
}

BmpBuilder windows640x480()
{
    BmpBuilder b;
    b.width = 640;
    b.height = 480;
    return b;
}

BmpBuilder sized(int w, int h, int bits)
{
    BmpBuilder b;
    b.width = w;
    b.height = h;
    b.bitsPerPixel = bits;
    if (bits == 8)
        b.palette = greyPalette(256);
    return b;
}

BmpBuilder with(BmpBuilder b, std::function<void(BmpBuilder&)> change)
{
    change(b);
    return b;
}

const QStringList kWindowsTail24 = lines({"24 бит на каждый пиксель ", "Сжатия нет",
                                          "Горизонтальное разрешение устройства 2835 пиксель/метр",
                                          "Вертикальное разрешение устройства 2835 пиксель/метр",
                                          "Используется все цвета палитры", "Число важных цветов 0"});

INSTANTIATE_TEST_SUITE_P(
    Files, BmpReport,
    ::testing::Values(
        ReportCase{"640 x 480 Windows 24-bit, reduced 480/161 times", windows640x480(),
                   lines({"BMP формат - растр Windows", "Размер файла 921654 байт", "Ширина 640", "Высота 480"})
                       + kWindowsTail24,
                   "640 x 480   Уменьшено в 2,98 раза    16 млн. цветов", 0, true},
        ReportCase{"24-bit 3 wide: 3 filler bytes differ from (4 - W mod 4) mod 4", sized(3, 2, 24),
                   lines({"BMP формат - растр Windows", "Размер файла 78 байт", "Ширина 3", "Высота 2"})
                       + kWindowsTail24 + lines({"Нет выравнивания строк по 4 байтной границе"}),
                   "3 x 2   Масштаб 1:1    16 млн. цветов", 3, true},
        ReportCase{"8-bit 3 wide: 1 filler byte is the expected alignment", sized(3, 2, 8),
                   lines({"BMP формат - растр Windows", "Размер файла 1086 байт", "Ширина 3", "Высота 2",
                          "8 бит на каждый пиксель ", "Сжатия нет",
                          "Горизонтальное разрешение устройства 2835 пиксель/метр",
                          "Вертикальное разрешение устройства 2835 пиксель/метр", "Используется все цвета палитры",
                          "Число важных цветов 0"}),
                   "3 x 2   Масштаб 1:1    256 цветов", 1, true},
        ReportCase{"file longer than declared: padding from the length above 3 is taken from the declared size",
                   with(sized(2, 2, 24), [](BmpBuilder& b) { b.trailing = 4; b.declaredSize = 70; }),
                   lines({"BMP формат - растр Windows", "Размер файла 74 байт, а в файле указан 70", "Ширина 2",
                          "Высота 2"}) + kWindowsTail24,
                   "2 x 2   Масштаб 1:1    16 млн. цветов", 2, true},
        ReportCase{"file longer than declared: padding up to 3 is taken from the length",
                   with(sized(2, 2, 24), [](BmpBuilder& b) { b.trailing = 2; b.declaredSize = 70; }),
                   lines({"BMP формат - растр Windows", "Размер файла 72 байт, а в файле указан 70", "Ширина 2",
                          "Высота 2"}) + kWindowsTail24 + lines({"Нет выравнивания строк по 4 байтной границе"}),
                   "2 x 2   Масштаб 1:1    16 млн. цветов", 3, true},
        ReportCase{"file shorter than declared: padding is W mod 4",
                   with(sized(3, 2, 24), [](BmpBuilder& b) { b.declaredSize = 1000; }),
                   lines({"BMP формат - растр Windows", "Размер файла 1000 байт", "Ширина 3", "Высота 2"})
                       + kWindowsTail24 + lines({"Нет выравнивания строк по 4 байтной границе"}),
                   "3 x 2   Масштаб 1:1    16 млн. цветов", 3, true},
        ReportCase{"OS/2 core header: no compression, resolution or colour lines",
                   with(sized(2, 2, 8), [](BmpBuilder& b) { b.os2 = true; }),
                   lines({"BMP формат - растр OS/2", "Размер файла 802 байт", "Ширина 2", "Высота 2",
                          "8 бит на каждый пиксель "}),
                   "2 x 2   Масштаб 1:1    256 цветов", 2, true},
        ReportCase{"8-bit with 16 colours used still counts as 256 colours",
                   with(sized(2, 2, 8), [](BmpBuilder& b) { b.palette = greyPalette(16); b.colorsUsed = 16; }),
                   lines({"BMP формат - растр Windows", "Размер файла 126 байт", "Ширина 2", "Высота 2",
                          "8 бит на каждый пиксель ", "Сжатия нет",
                          "Горизонтальное разрешение устройства 2835 пиксель/метр",
                          "Вертикальное разрешение устройства 2835 пиксель/метр",
                          "Используется 16 цветов из 256 цветной палитры", "Число важных цветов 0"}),
                   "2 x 2   Масштаб 1:1    256 цветов", 2, true},
        ReportCase{"4-bit: colour count in the size label, refused",
                   with(sized(2, 2, 4), [](BmpBuilder& b) { b.palette = greyPalette(16); }),
                   lines({"BMP формат - растр Windows", "Размер файла 134 байт", "Ширина 2", "Высота 2",
                          "4 бит на каждый пиксель ", "Сжатия нет",
                          "Горизонтальное разрешение устройства 2835 пиксель/метр",
                          "Вертикальное разрешение устройства 2835 пиксель/метр", "Используется все цвета палитры",
                          "Число важных цветов 0", "Нет выравнивания строк по 4 байтной границе"}),
                   "2 x 2   Масштаб 1:1    16 цветов", 7, false},
        ReportCase{"a depth whose power of two no double holds prints no infinity",
                   with(sized(1, 1, 24), [](BmpBuilder& b) { b.bitsPerPixel = 2000; b.colorsUsed = 5; }),
                   lines({"BMP формат - растр Windows", "Размер файла 58 байт", "Ширина 1", "Высота 1",
                          "2000 бит на каждый пиксель ", "Сжатия нет",
                          "Горизонтальное разрешение устройства 2835 пиксель/метр",
                          "Вертикальное разрешение устройства 2835 пиксель/метр",
                          "Используется 5 цветов из 2^2000 цветной палитры", "Число важных цветов 0",
                          "Нет выравнивания строк по 4 байтной границе"}),
                   "1 x 1   Масштаб 1:1    2^2000 цветов", -246, false}));

TEST(BmpReader, UnsupportedDepthShowsATwoLineNoticeAndNoMessage)
{
    BmpBuilder b = sized(2, 2, 4);
    b.palette = greyPalette(16);
    Opened o;
    o.view.exportOn = true;
    runBmp(o, b.build(), fixedLoader(Status::Loaded, 2, 2));
    EXPECT_EQ(o.view.label(OpenLabel::Notice).text, QString::fromUtf8("16-ти цветное изображение\r\nне поддерживается."));
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).visible);
    EXPECT_FALSE(o.view.exportOn);
    EXPECT_FALSE(o.view.slideTimer);
    EXPECT_EQ(o.view.exportFrame, 0);
}

TEST(BmpReader, CompressedFileIsRefusedWithAMessageButItsPaletteIsShown)
{
    BmpBuilder b = sized(2, 2, 8);
    b.compression = 1;
    Opened o;
    runBmp(o, b.build(), fixedLoader(Status::Loaded, 2, 2));
    ASSERT_EQ(o.view.messages.size(), 1);
    EXPECT_EQ(o.view.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(o.view.messages[0].title, QString::fromUtf8("Не поддерживаемый формат"));
    EXPECT_EQ(o.view.messages[0].text,
              QString::fromUtf8("Изображение с типом сжатия 1\r\n            не поддерживается"));
    EXPECT_TRUE(o.view.reportLines().contains(QString::fromUtf8("1 тип сжатия")));
    EXPECT_FALSE(o.view.exportOn);
    EXPECT_TRUE(o.view.swatchVisible);
    EXPECT_EQ(o.store.RowPadding, 2); // (4 - W mod 4) mod 4 for compressed files
    EXPECT_EQ(o.store.PaletteRGB[7][1], 248.0f);
}

TEST(BmpReader, AcceptedFileSlidesTheExportButtonInOnlyWhenItWasDisabled)
{
    Opened o;
    runBmp(o, sized(2, 2, 24).build(), fixedLoader(Status::Loaded, 2, 2));
    EXPECT_TRUE(o.view.exportOn);
    EXPECT_TRUE(o.view.slideTimer);
    EXPECT_EQ(o.view.exportFrame, 0);

    // Ready at its resting frame: a second good file leaves it alone.
    o.view.slideTimer = false;
    o.view.exportFrame = 10;
    runBmp(o, sized(2, 2, 24).build(), fixedLoader(Status::Loaded, 2, 2));
    EXPECT_FALSE(o.view.slideTimer);
    EXPECT_EQ(o.view.exportFrame, 10);
}

TEST(BmpReader, PaletteOfAnOs2FileIsThreeBytesAnEntry)
{
    BmpBuilder b = sized(2, 2, 8);
    b.os2 = true;
    Opened o;
    runBmp(o, b.build(), fixedLoader(Status::Loaded, 2, 2));
    EXPECT_EQ(o.store.PaletteEntrySize, 3);
    EXPECT_EQ(o.store.HeaderShift, 0);
    EXPECT_EQ(o.store.HasInfoHeader, 0);
    for (int i : {0, 5, 255}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(o.store.PaletteRGB[i][0], float(i));
        EXPECT_EQ(o.store.PaletteRGB[i][1], float(255 - i));
        EXPECT_EQ(o.store.PaletteRGB[i][2], float(i / 2));
    }
}

TEST(BmpReader, PartialPaletteDrawsOnlyTheEntriesRead)
{
    BmpBuilder b = sized(2, 2, 8);
    b.palette = greyPalette(16);
    b.colorsUsed = 16;
    Opened o;
    runBmp(o, b.build(), fixedLoader(Status::Loaded, 2, 2));
    EXPECT_EQ(o.store.PaletteEntrySize, 4);
    EXPECT_TRUE(o.view.swatch.cells[15].has_value());
    EXPECT_EQ(*o.view.swatch.cells[15], qRgb(15, 240, 7));
    EXPECT_FALSE(o.view.swatch.cells[16].has_value());
    EXPECT_EQ(o.store.PaletteRGB[16][0], 0.0f);
}

TEST(BmpReader, ColoursUsedAbove256KeepsTheFirst256Entries)
{
    BmpBuilder b = sized(2, 2, 8);
    b.colorsUsed = 300;
    b.palette = greyPalette(256);
    b.paletteEntrySize = 4;
    b.pixelOffset = 54 + 300 * 4; // entry size works out as 4
    Opened o;
    runBmp(o, b.build(), fixedLoader(Status::Loaded, 2, 2));
    EXPECT_EQ(o.store.PaletteEntrySize, 4);
    EXPECT_EQ(o.store.PaletteRGB[255][0], 255.0f);
    EXPECT_TRUE(o.view.swatch.cells[255].has_value());
    EXPECT_TRUE(o.view.exportOn);
}

TEST(BmpReader, OpeningAFileClearsThePaletteOfThePreviousOne)
{
    Opened o;
    runBmp(o, sized(2, 2, 8).build(), fixedLoader(Status::Loaded, 2, 2));
    ASSERT_EQ(o.store.PaletteRGB[200][0], 200.0f);
    BmpBuilder small = sized(2, 2, 8);
    small.palette = greyPalette(2);
    small.colorsUsed = 2;
    runBmp(o, small.build(), fixedLoader(Status::Loaded, 2, 2));
    EXPECT_EQ(o.store.PaletteRGB[1][1], 254.0f);
    EXPECT_EQ(o.store.PaletteRGB[200][0], 0.0f);
    EXPECT_EQ(o.store.PaletteRGB[200][1], 0.0f);
}

TEST(BmpReader, NegativeHeightIsReadAsRowsStoredTopFirst)
{
    BmpBuilder b = sized(2, -3, 24);
    Opened o;
    runBmp(o, b.build(), fixedLoader(Status::Loaded, 2, 3));
    EXPECT_TRUE(o.store.RowsTopDown);
    EXPECT_EQ(o.store.ImageHeight, 3);
    EXPECT_EQ(o.store.PixelRed.height(), 3);
    EXPECT_TRUE(o.view.reportLines().contains(QString::fromUtf8("Строки записаны сверху вниз")));
    EXPECT_EQ(o.view.labelText(OpenLabel::SizeCaption), QString::fromUtf8("2 x 3   Масштаб 1:1    16 млн. цветов"));
    EXPECT_EQ(o.store.RowPadding, 2);
    EXPECT_TRUE(o.view.exportOn);
}

struct RefusalCase {
    const char* rule;
    BmpBuilder file;
    qint64 memory; ///< pretend available memory, -1 for the real figure
    const char* noticeStart;
};

class BmpRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BmpRefusal, SizesNothingAndDisablesExport)
{
    const RefusalCase& c = GetParam();
    overrideAvailableMemory(c.memory);
    Opened o;
    o.view.exportOn = true;
    o.view.swatchVisible = true;
    runBmp(o, c.file.build(), fixedLoader(Status::Loaded, 1, 1));
    overrideAvailableMemory(-1);
    EXPECT_FALSE(o.view.exportOn);
    EXPECT_FALSE(o.view.slideTimer);
    EXPECT_TRUE(o.view.crossVisible);
    EXPECT_FALSE(o.view.swatchVisible);
    EXPECT_EQ(o.store.PixelRed.width() * o.store.PixelRed.height(), 0);
    EXPECT_FALSE(o.store.PixelRed.allocated());
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).visible);
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).text.startsWith(QString::fromUtf8(c.noticeStart)))
        << o.view.label(OpenLabel::Notice).text.toStdString();
    EXPECT_TRUE(o.view.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpRefusal,
    ::testing::Values(
        RefusalCase{"width 0", sized(0, 2, 24), -1, "Изображение без точек (0 x 2)"},
        RefusalCase{"height 0", sized(2, 0, 24), -1, "Изображение без точек (2 x 0)"},
        // The high half of a negative width is not 0, so the header is taken for an OS/2 one.
        RefusalCase{"negative width", with(sized(1, 1, 24), [](BmpBuilder& b) { b.width = -5; }), -1,
                    "Изображение 65531 x 65535 слишком велико"},
        RefusalCase{"OS/2 width 0", with(sized(0, 2, 8), [](BmpBuilder& b) { b.os2 = true; }), -1,
                    "Изображение без точек"},
        RefusalCase{"more than free memory", sized(100, 100, 24), 0, "Изображению 100 x 100 не хватит памяти"}));

TEST(BmpReader, HugeDimensionsInTheHeaderAllocateNothing)
{
    // Only the header: 2^31-1 wide and 30000 high would need terabytes.
    BmpBuilder b = sized(1, 1, 24);
    QByteArray bytes = b.build();
    Bytes patch;
    patch.data = bytes;
    patch.patch32(18, 0x7FFFFFFF);
    patch.patch32(22, 30000);
    Opened o;
    runBmp(o, patch.data, fixedLoader(Status::Loaded, 1, 1));
    EXPECT_FALSE(o.view.exportOn);
    EXPECT_EQ(o.store.PixelRed.width(), 0);
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).text.contains(QString::fromUtf8("слишком велико")));

    // Just above 2^30 pixels.
    patch.patch32(18, 32768);
    patch.patch32(22, 32769);
    Opened k;
    runBmp(k, patch.data, fixedLoader(Status::Loaded, 1, 1));
    EXPECT_FALSE(k.view.exportOn);
    EXPECT_EQ(k.store.PixelRed.width(), 0);

    patch.patch32(18, 1);
    patch.patch32(22, std::numeric_limits<qint32>::min());
    Opened m;
    runBmp(m, patch.data, fixedLoader(Status::Loaded, 1, 1));
    EXPECT_FALSE(m.view.exportOn);
    EXPECT_EQ(m.store.PixelRed.height(), 0);
}

TEST(BmpReader, RejectedPictureIsDrawnPointByPointAndExportable)
{
    Opened o;
    runBmp(o, sized(2, 2, 24).build(), fixedLoader(Status::Rejected));
    EXPECT_TRUE(o.view.drawnVisible);
    EXPECT_FALSE(o.view.pictureBoxVisible);
    EXPECT_FALSE(o.view.crossVisible);
    EXPECT_TRUE(o.view.exportOn);
    EXPECT_EQ(o.view.labelText(OpenLabel::SizeCaption), "2 x 2"); // no scale, no colour count
    EXPECT_EQ(o.view.drawn.box, QSizeF(4, 4));
    EXPECT_TRUE(o.view.drawn.bordered);
}

TEST(BmpReader, RejectedPalettePictureReadsItsPaletteWithTheRightEntrySize)
{
    Opened o;
    runBmp(o, sized(2, 2, 8).build(), fixedLoader(Status::Rejected));
    EXPECT_EQ(o.store.PaletteEntrySize, 4);
    EXPECT_EQ(o.store.PaletteRGB[9][1], 246.0f);
    EXPECT_TRUE(o.view.swatchVisible);
    EXPECT_TRUE(o.view.exportOn);
}

struct FailureCase {
    const char* rule;
    BmpBuilder file;
    Status loader;
    MessageIcon icon;
    const char* title;
    const char* text;
};

class BmpFailurePath : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BmpFailurePath, ShowsTheMessageAndDisablesExport)
{
    const FailureCase& c = GetParam();
    Opened o;
    o.view.exportOn = true;
    runBmp(o, c.file.build(), fixedLoader(c.loader, 2, 2));
    ASSERT_EQ(o.view.messages.size(), 1);
    EXPECT_EQ(o.view.messages[0].icon, c.icon);
    EXPECT_EQ(o.view.messages[0].title, QString::fromUtf8(c.title));
    EXPECT_EQ(o.view.messages[0].text, QString::fromUtf8(c.text));
    EXPECT_FALSE(o.view.exportOn);
    EXPECT_FALSE(o.view.drawnVisible);
}

// The "c" before " 16 бит" and "о сжатием" is a Latin c in these messages.
INSTANTIATE_TEST_SUITE_P(
    Messages, BmpFailurePath,
    ::testing::Values(
        FailureCase{"rejected 16-bit", sized(2, 2, 16), Status::Rejected, MessageIcon::Exclamation,
                    "Неподдерживаемая версия формата BMP",
                    "Формат BMP файла c 16 бит на пиксель не поддерживается.\r\n"
                    "Возможно только 8 бит или 24 бита на пиксель."},
        FailureCase{"rejected compressed 24-bit", with(sized(2, 2, 24), [](BmpBuilder& b) { b.compression = 3; }),
                    Status::Rejected, MessageIcon::Exclamation, "Неподдерживаемая версия формата BMP",
                    "Формат BMP файла cо сжатием 3 не поддерживается.\r\n"
                    "Возможно только 8 бит или 24 бита на пиксель."},
        FailureCase{"loader cannot read the file", sized(2, 2, 24), Status::Failed, MessageIcon::Critical, "Ошибка",
                    "Ошибка №57 Ошибка ввода-вывода устройства"},
        FailureCase{"palette entry size beyond a byte",
                    with(sized(2, 2, 8), [](BmpBuilder& b) { b.pixelOffset = 1000000; }), Status::Loaded,
                    MessageIcon::Critical, "Ошибка", "Ошибка №6 Переполнение"},
        FailureCase{"negative palette entry size",
                    with(sized(2, 2, 8), [](BmpBuilder& b) { b.pixelOffset = -1000; }), Status::Loaded,
                    MessageIcon::Critical, "Ошибка", "Ошибка №6 Переполнение"}));

TEST(BmpReader, UntickedShowFileSkipsTheLoaderButStillReadsThePalette)
{
    Opened o;
    o.view.showFile = false;
    int calls = 0;
    runBmp(o, sized(2, 2, 8).build(), [&] {
        ++calls;
        return PictureResult{};
    });
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(o.view.pictureBox.isNull());
    EXPECT_TRUE(o.view.pictureBordered);
    EXPECT_TRUE(o.view.crossVisible);
    EXPECT_TRUE(o.view.swatchVisible);
    EXPECT_TRUE(o.view.exportOn);
    EXPECT_EQ(o.view.labelText(OpenLabel::SizeCaption), QString::fromUtf8("2 x 2    256 цветов"));
}

struct PlacementCase {
    int w, h;
    QRectF rect;
};

TEST(PicturePlacement, CentresSmallPicturesAndFitsLargeOnesInTheBand)
{
    const PlacementCase cases[] = {
        {100, 50, QRectF(82.5, 55.5, 100, 50)},
        {265, 161, QRectF(0, 0, 265, 161)},
        {640, 480, QRectF((265 - 640.0 / 480 * 161) / 2, 0, 640.0 / 480 * 161, 161)},
        {1000, 100, QRectF(0, (161 - 26.5) / 2, 265, 26.5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const QRectF r = picturePlacement(c.w, c.h);
        EXPECT_DOUBLE_EQ(r.x(), c.rect.x());
        EXPECT_DOUBLE_EQ(r.y(), c.rect.y());
        EXPECT_DOUBLE_EQ(r.width(), c.rect.width());
        EXPECT_DOUBLE_EQ(r.height(), c.rect.height());
    }
}

} // namespace

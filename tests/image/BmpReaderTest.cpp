#include "ReaderFixtures.h"

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;
using Status = PictureResult::Status;

namespace {

BmpBuilder sized(int w, int h, int bits, int paletteEntries = 256)
{
    BmpBuilder b{.width = w, .height = h, .bitsPerPixel = bits};
    for (int i = 0; i < (bits == 24 ? 0 : paletteEntries); ++i)
        b.palette.push_back({std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)});
    return b;
}

struct ReportCase {
    const char* rule;
    BmpBuilder file;
    const char* line; ///< a line the report must hold
    bool unaligned;   ///< "Нет выравнивания строк" is reported
    qint32 rowPadding;
    bool exportable;
};

class BmpReport : public ::testing::TestWithParam<ReportCase> { };

TEST_P(BmpReport, ReportLinePaddingAndExport)
{
    const ReportCase& c = GetParam();
    const Opened o = opened(c.file);
    const QStringList report = o.view.reportLines();
    EXPECT_TRUE(report.contains(QString(c.line))) << report.join('|').toStdString();
    EXPECT_EQ(report.contains(QString("Нет выравнивания строк по 4 байтной границе")), c.unaligned);
    EXPECT_EQ(o.store.RowPadding, c.rowPadding);
    EXPECT_EQ(o.view.exportOn, c.exportable);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmpReport,
    ::testing::Values(ReportCase{"8-bit 3 wide: 1 filler byte is the expected alignment", sized(3, 2, 8),
                                 "8 бит на каждый пиксель ", false, 1, true},
                      ReportCase{"longer than declared, padding from the length above 3: from the declared size",
                                 BmpBuilder{.declaredSize = 70, .trailing = 4},
                                 "Размер файла 74 байт, а в файле указан 70", false, 2, true},
                      ReportCase{"longer than declared, padding up to 3: from the length",
                                 BmpBuilder{.declaredSize = 70, .trailing = 2},
                                 "Размер файла 72 байт, а в файле указан 70", true, 3, true},
                      ReportCase{"shorter than declared: padding is W mod 4",
                                 BmpBuilder{.width = 3, .declaredSize = 1000}, "Размер файла 1000 байт", true, 3, true},
                      ReportCase{"OS/2 core header", with(sized(2, 2, 8), [](BmpBuilder& b) { b.os2 = true; }),
                                 "BMP формат - растр OS/2", false, 2, true},
                      ReportCase{"16 of 256 colours used",
                                 with(sized(2, 2, 8, 16), [](BmpBuilder& b) { b.colorsUsed = 16; }),
                                 "Используется 16 цветов из 256 цветной палитры", false, 2, true},
                      ReportCase{"negative height", sized(2, -3, 24), "Строки записаны сверху вниз", false, 2, true},
                      ReportCase{"compressed: padding is (4 - W mod 4) mod 4",
                                 with(sized(2, 2, 8), [](BmpBuilder& b) { b.compression = 1; }), "1 тип сжатия", false,
                                 2, false},
                      ReportCase{"a depth whose power of two no double holds",
                                 BmpBuilder{.width = 1, .height = 1, .bitsPerPixel = 2000, .colorsUsed = 5},
                                 "Используется 5 цветов из 2^2000 цветной палитры", true, -246, false}));

TEST(BmpReader, SwatchShowsOnlyTheColoursUsed)
{
    const Opened o = opened(with(sized(2, 2, 8, 16), [](BmpBuilder& b) { b.colorsUsed = 16; }));
    EXPECT_EQ(o.view.swatch.cells[15], qRgb(15, 240, 7));
    EXPECT_FALSE(o.view.swatch.cells[16].has_value());
    EXPECT_EQ(o.view.labelText(OpenLabel::SizeCaption), "2 x 2   Масштаб 1:1    256 цветов");
}

TEST(BmpReader, OpeningAFileClearsThePaletteOfThePreviousOne)
{
    Opened o;
    runBmp(o, sized(2, 2, 8).build(), fixedLoader(Status::Loaded));
    ASSERT_EQ(o.store.PaletteRGB[200][0], 200.0f);
    runBmp(o, with(sized(2, 2, 8, 2), [](BmpBuilder& b) { b.colorsUsed = 2; }).build(), fixedLoader(Status::Loaded));
    EXPECT_EQ(o.store.PaletteRGB[1][1], 254.0f);
    EXPECT_EQ(o.store.PaletteRGB[200][0], 0.0f);
}

QByteArray patchedSize(qint32 width, qint32 height)
{
    Bytes b;
    b.data = sized(1, 1, 24).build();
    b.patch32(18, width);
    b.patch32(22, height);
    return b.data;
}

struct RefusalCase {
    const char* rule;
    QByteArray file;
    qint64 memory; ///< pretend available memory, -1 for the real figure
    const char* noticeStart;
};

class BmpRefusal : public ::testing::TestWithParam<RefusalCase> { };

TEST_P(BmpRefusal, SizesNothingAndExplainsWhy)
{
    const RefusalCase& c = GetParam();
    const MemoryOverride memory(c.memory);
    Opened o;
    o.view.exportOn = o.view.swatchVisible = true;
    runBmp(o, c.file, fixedLoader(Status::Loaded));
    EXPECT_FALSE(o.view.exportOn || o.view.slideTimer || o.view.swatchVisible);
    EXPECT_TRUE(o.view.crossVisible);
    EXPECT_EQ(qint64(o.store.PixelRed.width()) * o.store.PixelRed.height(), 0);
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).visible);
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).text.startsWith(QString(c.noticeStart)))
        << o.view.label(OpenLabel::Notice).text.toStdString();
    EXPECT_TRUE(o.view.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpRefusal,
    ::testing::Values(
        RefusalCase{"width 0", sized(0, 2, 24).build(), -1, "Изображение без точек (0 x 2)"},
        RefusalCase{"height 0", sized(2, 0, 24).build(), -1, "Изображение без точек (2 x 0)"},
        // The high half of a negative width is not 0, so the header is taken for an OS/2 one.
        RefusalCase{"negative width", sized(-5, 1, 24).build(), -1, "Изображение 65531 x 65535 слишком велико"},
        RefusalCase{"just above 2^30 points", patchedSize(32768, 32769), -1, "Изображение 32768 x 32769 слишком"},
        RefusalCase{"height INT_MIN", patchedSize(1, std::numeric_limits<qint32>::min()), -1, "Изображение 1 x"},
        RefusalCase{"more than free memory", sized(100, 100, 24).build(), 0,
                    "Изображению 100 x 100 не хватит памяти"}));

struct FailureCase {
    const char* rule;
    BmpBuilder file;
    Status loader;
    MessageIcon icon;
    const char* title;
    const char* text;
};

class BmpFailure : public ::testing::TestWithParam<FailureCase> { };

TEST_P(BmpFailure, ShowsTheMessageAndDisablesExport)
{
    const FailureCase& c = GetParam();
    Opened o;
    o.view.exportOn = true;
    runBmp(o, c.file.build(), fixedLoader(c.loader));
    ASSERT_EQ(o.view.messages.size(), 1);
    EXPECT_EQ(o.view.messages[0].icon, c.icon);
    EXPECT_EQ(o.view.messages[0].title, QString(c.title));
    EXPECT_EQ(o.view.messages[0].text, QString(c.text));
    EXPECT_FALSE(o.view.exportOn || o.view.drawnVisible);
}

// The "c" before " 16 бит" and "о сжатием" is a Latin c in these messages.
INSTANTIATE_TEST_SUITE_P(
    Messages, BmpFailure,
    ::testing::Values(
        FailureCase{
            "rejected 16-bit", sized(2, 2, 16, 0), Status::Rejected, MessageIcon::Exclamation,
            "Неподдерживаемая версия формата BMP",
            "Формат BMP файла c 16 бит на пиксель не поддерживается.\r\nВозможно только 8 бит или 24 бита на пиксель."},
        FailureCase{
            "rejected compressed 24-bit", with(sized(2, 2, 24), [](BmpBuilder& b) { b.compression = 3; }),
            Status::Rejected, MessageIcon::Exclamation, "Неподдерживаемая версия формата BMP",
            "Формат BMP файла cо сжатием 3 не поддерживается.\r\nВозможно только 8 бит или 24 бита на пиксель."},
        FailureCase{"compressed", with(sized(2, 2, 8), [](BmpBuilder& b) { b.compression = 1; }), Status::Loaded,
                    MessageIcon::None, "Не поддерживаемый формат",
                    "Изображение с типом сжатия 1\r\n            не поддерживается"},
        FailureCase{"loader cannot read the file", sized(2, 2, 24), Status::Failed, MessageIcon::Critical, "Ошибка",
                    "Ошибка №57 Ошибка ввода-вывода устройства"},
        FailureCase{"palette entry size beyond a byte",
                    with(sized(2, 2, 8), [](BmpBuilder& b) { b.pixelOffset = 1000000; }), Status::Loaded,
                    MessageIcon::Critical, "Ошибка", "Ошибка №6 Переполнение"},
        FailureCase{"negative palette entry size", with(sized(2, 2, 8), [](BmpBuilder& b) { b.pixelOffset = -1000; }),
                    Status::Loaded, MessageIcon::Critical, "Ошибка", "Ошибка №6 Переполнение"}));

TEST(BmpReader, UntickedShowFileSkipsTheLoaderButStillReadsThePalette)
{
    Opened o;
    o.view.showFile = false;
    int calls = 0;
    runBmp(o, sized(2, 2, 8).build(), [&] { return ++calls, PictureResult{}; });
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(o.view.pictureBox.isNull() && o.view.crossVisible);
    EXPECT_TRUE(o.view.swatchVisible && o.view.exportOn);
    EXPECT_EQ(o.view.labelText(OpenLabel::SizeCaption), QString("2 x 2    256 цветов"));
}

} // namespace
